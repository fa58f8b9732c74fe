#include "ConexionSqlite.h"

#include "Catalogo.h"

#include <sqlite3.h>

#include <cctype>
#include <memory>

extern const char* const catalogoSqlite;

namespace nieb {

namespace {

void enlazar(sqlite3_stmt* s, const std::vector<Valor>& parametros)
{
    const int n = std::min<int>(sqlite3_bind_parameter_count(s), static_cast<int>(parametros.size()));
    for (int i = 0; i < n; ++i) {
        const Valor& v = parametros[static_cast<size_t>(i)];
        if (const auto* e = std::get_if<std::int64_t>(&v))
            sqlite3_bind_int64(s, i + 1, *e);
        else if (const auto* d = std::get_if<double>(&v))
            sqlite3_bind_double(s, i + 1, *d);
        else if (const auto* t = std::get_if<std::string>(&v))
            sqlite3_bind_text(s, i + 1, t->data(), static_cast<int>(t->size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(s, i + 1);
    }
}

Valor columna(sqlite3_stmt* s, int i)
{
    switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER: return std::int64_t{sqlite3_column_int64(s, i)};
    case SQLITE_FLOAT: return sqlite3_column_double(s, i);
    case SQLITE_NULL: return {};
    default:
        return std::string(
            reinterpret_cast<const char*>(sqlite3_column_text(s, i)), static_cast<size_t>(sqlite3_column_bytes(s, i)));
    }
}

int comparar(sqlite3_value* a, sqlite3_value* b)
{
    const bool numA = sqlite3_value_numeric_type(a) != SQLITE_TEXT && sqlite3_value_type(a) != SQLITE_BLOB;
    const bool numB = sqlite3_value_numeric_type(b) != SQLITE_TEXT && sqlite3_value_type(b) != SQLITE_BLOB;
    if (numA && numB) {
        const double x = sqlite3_value_double(a), y = sqlite3_value_double(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const std::string_view x(
        reinterpret_cast<const char*>(sqlite3_value_text(a)), static_cast<size_t>(sqlite3_value_bytes(a)));
    const std::string_view y(
        reinterpret_cast<const char*>(sqlite3_value_text(b)), static_cast<size_t>(sqlite3_value_bytes(b)));
    return x.compare(y);
}

// LEAST(a, b, ...) and GREATEST(a, b, ...); the user data tells which (-1 least, +1 greatest).
void extremo(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    const int signo = *static_cast<int*>(sqlite3_user_data(ctx));
    sqlite3_value* mejor = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
        if (!mejor || comparar(argv[i], mejor) * signo > 0)
            mejor = argv[i];
    }
    if (mejor)
        sqlite3_result_value(ctx, mejor);
    else
        sqlite3_result_null(ctx);
}

// "file:" URI of a path, every byte that is not plainly safe written as %XX.
std::string uriDeFichero(const std::string& ruta, std::string_view consulta)
{
    static const char* const hex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (const char c : ruta) {
        const auto b = static_cast<unsigned char>(c);
        if (std::isalnum(b) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            uri += c;
        } else {
            uri += '%';
            uri += hex[b >> 4];
            uri += hex[b & 15];
        }
    }
    return uri + '?' + std::string(consulta);
}

sqlite3* abrirSqlite(const std::string& nombre, int flags)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(nombre.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string mensaje = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        const int extendido = db ? sqlite3_extended_errcode(db) : rc;
        sqlite3_close(db);
        throw ErrorSqlite(extendido, mensaje);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, ConexionSqlite::esperaPorBloqueoMs);
    return db;
}

// Kept beside the catalogue: the name of each fuzzy attribute's column, recorded when FCL gets the row
// (COL# is a position, which an earlier column's drop changes), the schema version of the last
// synchronisation and the tables with fuzzy attributes as they were then (NIEB_ESTRUCTURA: COL# 0 the
// table, then its columns). Databases installed before these existed get them on their next
// synchronisation.
constexpr std::string_view seguimiento = R"(
CREATE TABLE IF NOT EXISTS NIEB_COLUMNAS (
  "OBJ#" INTEGER NOT NULL,
  "COL#" INTEGER NOT NULL,
  NOMBRE TEXT NOT NULL,
  PRIMARY KEY ("OBJ#", "COL#")
);
CREATE TABLE IF NOT EXISTS NIEB_SINCRONIA (VERSION_ESQUEMA INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS NIEB_ESTRUCTURA (
  "OBJ#" INTEGER NOT NULL,
  "COL#" INTEGER NOT NULL,
  NOMBRE TEXT NOT NULL,
  IDENTIDAD INTEGER NOT NULL,
  PRIMARY KEY ("OBJ#", "COL#")
);
CREATE TRIGGER IF NOT EXISTS NIEB_FCL_NUEVA AFTER INSERT ON FCL BEGIN
  INSERT OR REPLACE INTO NIEB_COLUMNAS ("OBJ#", "COL#", NOMBRE)
    SELECT NEW."OBJ#", NEW."COL#", c.name FROM NIEB_OBJETOS o, pragma_table_info(o.TABLE_NAME) c
    WHERE o."OBJ#" = NEW."OBJ#" AND c.cid = NEW."COL#" - 1;
END;
CREATE TRIGGER IF NOT EXISTS NIEB_FCL_MOVIDA AFTER UPDATE OF "OBJ#", "COL#" ON FCL BEGIN
  DELETE FROM NIEB_COLUMNAS WHERE "OBJ#" = OLD."OBJ#" AND "COL#" = OLD."COL#";
  INSERT OR REPLACE INTO NIEB_COLUMNAS ("OBJ#", "COL#", NOMBRE)
    SELECT NEW."OBJ#", NEW."COL#", c.name FROM NIEB_OBJETOS o, pragma_table_info(o.TABLE_NAME) c
    WHERE o."OBJ#" = NEW."OBJ#" AND c.cid = NEW."COL#" - 1;
END;
CREATE TRIGGER IF NOT EXISTS NIEB_FCL_BORRADA AFTER DELETE ON FCL BEGIN
  DELETE FROM NIEB_COLUMNAS WHERE "OBJ#" = OLD."OBJ#" AND "COL#" = OLD."COL#";
END;
INSERT OR IGNORE INTO NIEB_COLUMNAS ("OBJ#", "COL#", NOMBRE)
  SELECT f."OBJ#", f."COL#", c.name FROM FCL f JOIN NIEB_OBJETOS o ON o."OBJ#" = f."OBJ#",
    pragma_table_info(o.TABLE_NAME) c WHERE c.cid = f."COL#" - 1;
)";

} // namespace

bool ErrorSqlite::porBloqueo() const
{
    const int primario = codigo & 0xff;
    return primario == SQLITE_BUSY || primario == SQLITE_LOCKED;
}

bool ErrorSqlite::porDano() const
{
    const int primario = codigo & 0xff;
    return primario == SQLITE_CORRUPT || primario == SQLITE_NOTADB;
}

ConexionSqlite::ConexionSqlite(const std::string& ruta, Apertura apertura)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (apertura == Apertura::Crear)
        flags |= SQLITE_OPEN_CREATE;
    if (apertura == Apertura::Inmutable)
        db_ = abrirSqlite(uriDeFichero(ruta, "immutable=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI);
    else
        db_ = abrirSqlite(ruta, flags);
    // A WAL database in a folder this user cannot write has no shared reading state to join: read the
    // file as it stands (what others write to it meanwhile is not seen).
    if (apertura == Apertura::Existente && soloLectura()
        && (sqlite3_exec(db_, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) & 0xff)
            == SQLITE_READONLY) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        db_ = abrirSqlite(uriDeFichero(ruta, "immutable=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI);
    }
}

ConexionSqlite::~ConexionSqlite()
{
    preparadas_.clear();
    sqlite3_close_v2(db_);
}

void ConexionSqlite::fallar(int codigo)
{
    ErrorSqlite error(codigo, sqlite3_errmsg(db_));
    if (error.porDano())
        marcarDanada();
    throw error;
}

void ConexionSqlite::marcarDanada()
{
    if (danada_)
        return;
    danada_ = true;
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_exec(db_, "PRAGMA query_only = ON", nullptr, nullptr, nullptr);
}

bool ConexionSqlite::soloLectura() const
{
    return sqlite3_db_readonly(db_, "main") == 1;
}

bool ConexionSqlite::enTransaccion() const
{
    return sqlite3_get_autocommit(db_) == 0;
}

void FinalizarSentencia::operator()(sqlite3_stmt* s) const
{
    sqlite3_finalize(s);
}

void ConexionSqlite::ejecutar(std::string_view sql, const std::vector<Valor>& parametros)
{
    ejecutarSentencias(sql, [&](sqlite3_stmt* s) { enlazar(s, parametros); });
}

void ConexionSqlite::ejecutarSentencias(std::string_view sql, const std::function<void(sqlite3_stmt*)>& enlazar)
{
    const char* resto = sql.data();
    const char* fin = sql.data() + sql.size();
    while (resto < fin) {
        sqlite3_stmt* crudo = nullptr;
        const char* siguiente = nullptr;
        if (sqlite3_prepare_v2(db_, resto, static_cast<int>(fin - resto), &crudo, &siguiente) != SQLITE_OK)
            fallar(sqlite3_extended_errcode(db_));
        Sentencia s(crudo);
        resto = siguiente;
        if (!s)
            continue; // only blanks or comments were left
        enlazar(s.get());
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) { }
        if (rc != SQLITE_DONE)
            fallar(sqlite3_extended_errcode(db_));
    }
}

std::vector<Fila> ConexionSqlite::consultar(std::string_view sql, const std::vector<Valor>& parametros)
{
    // The server asks the same catalogue questions over and over: keep them prepared. SQLite prepares
    // a kept statement again by itself when the schema changes.
    auto guardada = preparadas_.find(sql);
    if (guardada == preparadas_.end()) {
        sqlite3_stmt* crudo = nullptr;
        if (sqlite3_prepare_v3(
                db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &crudo, nullptr)
            != SQLITE_OK)
            fallar(sqlite3_extended_errcode(db_));
        if (preparadas_.size() >= 64)
            preparadas_.clear();
        guardada
            = preparadas_.emplace(std::string(sql), std::shared_ptr<sqlite3_stmt>(crudo, FinalizarSentencia{})).first;
    }
    sqlite3_stmt* s = guardada->second.get();
    // Reset on every way out, so that no kept statement holds the database open for reading.
    const std::unique_ptr<sqlite3_stmt, void (*)(sqlite3_stmt*)> enUso(s, [](sqlite3_stmt* x) {
        sqlite3_reset(x);
        sqlite3_clear_bindings(x);
    });
    enlazar(s, parametros);
    std::vector<Fila> filas;
    const int columnas = sqlite3_column_count(s);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        Fila f;
        f.reserve(static_cast<size_t>(columnas));
        for (int i = 0; i < columnas; ++i)
            f.push_back(columna(s, i));
        filas.push_back(std::move(f));
    }
    if (rc != SQLITE_DONE)
        fallar(sqlite3_extended_errcode(db_));
    return filas;
}

std::vector<std::string> ConexionSqlite::tablas()
{
    return nombresDe(tablasIdentificadas());
}

std::vector<Identificado> ConexionSqlite::tablasIdentificadas()
{
    // A rename keeps a table's root page and its row in sqlite_schema; a table made after another's drop
    // may take the page, and only when that one was the last made also the row.
    std::vector<Identificado> r;
    for (const auto& f : consultar("SELECT name, CASE WHEN rootpage > 0 THEN rowid * 4294967296 + rootpage ELSE 0 END "
                                   "FROM main.sqlite_schema WHERE type IN ('table', 'view') "
                                   "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"))
        r.push_back({comoTexto(f[0]), comoEntero(f[1])});
    return r;
}

std::vector<std::string> ConexionSqlite::consultables()
{
    auto nombres = tablas();
    for (const auto& f : consultar("SELECT name FROM temp.sqlite_schema WHERE type IN ('table', 'view')"))
        nombres.push_back(comoTexto(f[0]));
    return nombres;
}

std::vector<std::string> ConexionSqlite::columnas(std::string_view tabla)
{
    std::vector<std::string> nombres;
    for (const auto& f : consultar("SELECT name FROM pragma_table_info(?1) ORDER BY cid", {std::string(tabla)}))
        nombres.push_back(comoTexto(f[0]));
    return nombres;
}

std::int64_t ConexionSqlite::versionEsquema()
{
    return comoEntero(consultar("PRAGMA schema_version").at(0).at(0));
}

void ConexionSqlite::crearSeguimiento()
{
    ejecutar(seguimiento);
}

void ConexionSqlite::aplazarClavesAjenas()
{
    ejecutar("PRAGMA defer_foreign_keys = ON");
}

bool ConexionSqlite::existeTabla(std::string_view nombre)
{
    // Naming sqlite_schema makes SQLite read the schema, and report a file it cannot read, here. The
    // name is then looked up in SQLite's own table of the schema, case aside, without a scan.
    consultar("SELECT 1 FROM main.sqlite_schema WHERE 0");
    const std::string tabla(nombre);
    return sqlite3_table_column_metadata(db_, "main", tabla.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)
        == SQLITE_OK;
}

void registrarFuncionesComunes(sqlite3* db)
{
    static int menor = -1, mayor = 1;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "LEAST", -1, flags, &menor, extremo, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "GREATEST", -1, flags, &mayor, extremo, nullptr, nullptr, nullptr);
}

bool usarWal(ConexionSqlite& conexion)
{
    const auto modo = [&](const char* sql) {
        const auto filas = conexion.consultar(sql);
        return filas.empty() ? std::string() : mayusculas(comoTexto(filas[0][0]));
    };
    try {
        if (modo("PRAGMA journal_mode") == "WAL")
            return true;
        if (conexion.soloLectura() || conexion.enTransaccion())
            return false;
        // The change needs the file to itself for a moment: try briefly, and leave it for a later
        // connection when others are reading.
        sqlite3_busy_timeout(conexion.handle(), 200);
        const bool hecho = modo("PRAGMA journal_mode = WAL") == "WAL";
        sqlite3_busy_timeout(conexion.handle(), ConexionSqlite::esperaPorBloqueoMs);
        return hecho;
    } catch (const ErrorSqlite& e) {
        sqlite3_busy_timeout(conexion.handle(), ConexionSqlite::esperaPorBloqueoMs);
        if (e.porDano())
            throw;
        return false;
    }
}

bool servidorInstalado(ConexionSqlite& conexion)
{
    for (const char* t : {"NIEB_OBJETOS", "NIEB_INFO", "NIEB_PAQUETES", "FCL", "LFOC", "LOCT3", "NIEB_QUERY",
             "NIEB_ERRORS", "NIEB_OPTIONS", "NIEB_STATS"})
        if (!conexion.existeTabla(t))
            return false;
    return true;
}

void instalarServidor(ConexionSqlite& conexion, const std::string& propietario, const std::string& fecha)
{
    Transaccion t(conexion);
    conexion.ejecutar(catalogoSqlite);
    conexion.ejecutar("INSERT INTO NIEB_INFO (OPCION, VALOR) VALUES ('NOMBRE', 'Servidor NIEB de Nimbo'), "
                      "('VERSION', '1.0'), ('SGBD', 'SQLite ' || sqlite_version()), ('PROPIETARIO', ?1), "
                      "('FECHA DE INSTALACION', ?2)",
        {propietario, fecha});
    Catalogo(conexion).sincronizarTablas();
    t.confirmar();
}

} // namespace nieb
