#include "ConexionSqlite.h"

#include "Catalogo.h"

#include <sqlite3.h>

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

} // namespace

ConexionSqlite::ConexionSqlite(const std::string& ruta, Apertura apertura)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (apertura == Apertura::Crear)
        flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(ruta.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string mensaje = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        const int extendido = db_ ? sqlite3_extended_errcode(db_) : rc;
        sqlite3_close(db_);
        db_ = nullptr;
        throw ErrorSqlite(extendido, mensaje);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, esperaPorBloqueoMs);
}

ConexionSqlite::~ConexionSqlite()
{
    preparadas_.clear();
    sqlite3_close_v2(db_);
}

void ConexionSqlite::fallar(int codigo) const
{
    throw ErrorSqlite(codigo, sqlite3_errmsg(db_));
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
    std::vector<std::string> nombres;
    for (const auto& f : consultar("SELECT name FROM main.sqlite_schema WHERE type IN ('table', 'view') "
                                   "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"))
        nombres.push_back(comoTexto(f[0]));
    return nombres;
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

bool ConexionSqlite::existeTabla(std::string_view nombre)
{
    return !consultar("SELECT 1 FROM main.sqlite_schema WHERE type IN ('table', 'view') AND name = ?1 COLLATE NOCASE",
        {std::string(nombre)})
                .empty();
}

void registrarFuncionesComunes(sqlite3* db)
{
    static int menor = -1, mayor = 1;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "LEAST", -1, flags, &menor, extremo, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "GREATEST", -1, flags, &mayor, extremo, nullptr, nullptr, nullptr);
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
