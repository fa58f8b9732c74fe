#include "SqliteBackend.h"

#include "BaseEmbebida.h"
#include "Cuentas.h"
#include "ErrorOra.h"
#include "FuncionesDifusas.h"
#include "Paquete.h"
#include "Utf8.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <sqlite3.h>

#include <optional>
#include <string>

using namespace Qt::StringLiterals;

namespace db {

namespace {

nieb::Valor aValor(const QVariant& v)
{
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::Bool: return std::int64_t{v.toLongLong()};
    case QMetaType::Double:
    case QMetaType::Float: return v.toDouble();
    default: return v.toString().toStdString();
    }
}

QVariant aVariant(const nieb::Valor& v)
{
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return qint64{*i};
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* s = std::get_if<std::string>(&v))
        return QString::fromStdString(*s);
    return {};
}

// The current row of a statement, read straight from SQLite's buffers. Each cell's value is asked of
// SQLite once a row and then read without the connection's lock, which every sqlite3_column_ call
// takes: the connection is used by one thread at a time.
class FilaSqlite final : public filas::FuenteFila {
public:
    FilaSqlite(sqlite3_stmt* s, int columnas)
        : s_(s)
        , columnas_(columnas)
        , valores_(size_t(columnas), nullptr)
    {
    }
    // Called after each step.
    void nueva() { std::fill(valores_.begin(), valores_.end(), nullptr); }
    int columnas() const override { return columnas_; }
    filas::TipoCelda tipo(int c) const override
    {
        switch (sqlite3_value_type(valor(c))) {
        case SQLITE_INTEGER: return filas::TipoCelda::Entero;
        case SQLITE_FLOAT: return filas::TipoCelda::Real;
        case SQLITE_NULL: return filas::TipoCelda::Nulo;
        case SQLITE_BLOB: return filas::TipoCelda::Blob;
        default: return filas::TipoCelda::Texto;
        }
    }
    qint64 entero(int c) const override { return sqlite3_value_int64(valor(c)); }
    double real(int c) const override { return sqlite3_value_double(valor(c)); }
    std::string_view bytes(int c) const override
    {
        // Text is asked for as text, so that it comes as UTF-8 whatever the file's encoding.
        sqlite3_value* v = valor(c);
        const void* datos = sqlite3_value_type(v) == SQLITE_BLOB ? sqlite3_value_blob(v) : sqlite3_value_text(v);
        const int tamano = sqlite3_value_bytes(v);
        return datos ? std::string_view(static_cast<const char*>(datos), size_t(tamano)) : std::string_view();
    }

private:
    sqlite3_value* valor(int c) const
    {
        sqlite3_value*& v = valores_[size_t(c)];
        if (!v)
            v = sqlite3_column_value(s_, c);
        return v;
    }
    sqlite3_stmt* s_;
    int columnas_;
    mutable std::vector<sqlite3_value*> valores_;
};

// Display size from the declared type: its length when it has one (VARCHAR(30) gives 30), the
// vendor's 22 for numbers; 0 when the type says nothing and the values must tell.
int tamanoDeclarado(const char* tipo)
{
    if (!tipo)
        return 0;
    const QString t = QString::fromUtf8(tipo).toUpper();
    static const QRegularExpression longitud(u"\\(\\s*(\\d+)"_s);
    if (const auto m = longitud.match(t); m.hasMatch())
        return qBound(1, m.captured(1).toInt(), 4000);
    for (const auto& clave : {u"INT"_s, u"NUM"_s, u"REAL"_s, u"FLOA"_s, u"DOUB"_s, u"DEC"_s})
        if (t.contains(clave))
            return 22;
    if (t.contains(u"DATE"_s) || t.contains(u"TIME"_s))
        return 19;
    return 0;
}

// Display size of one value of an undeclared column: a text's length, the vendor's 22 for a number
// (not written out per row: results can be large).
int tamanoDeValor(const filas::AlmacenFilas& celdas, qint64 fila, int c)
{
    switch (celdas.tipo(fila, c)) {
    case filas::TipoCelda::Texto: {
        const std::string_view texto = celdas.bytes(fila, c);
        const qsizetype largo = filas::esUtf8Valido(texto)
            ? filas::longitudUtf16(texto)
            : QString::fromUtf8(texto.data(), qsizetype(texto.size())).size();
        return int(std::min<qsizetype>(largo, 4000));
    }
    case filas::TipoCelda::Blob: return int(std::min<size_t>(celdas.bytes(fila, c).size(), 4000));
    case filas::TipoCelda::Entero:
    case filas::TipoCelda::Real: return 22;
    case filas::TipoCelda::Nulo: return 0;
    }
    return 0;
}

void enlazar(sqlite3_stmt* s, const Enlaces& enlaces)
{
    for (int i = 1; i <= sqlite3_bind_parameter_count(s); ++i) {
        const char* nombre = sqlite3_bind_parameter_name(s, i);
        if (!nombre)
            throw ErrorOra::variableSinEnlazar(u"?%1"_s.arg(i));
        const QString clave = QString::fromUtf8(nombre + 1).toUpper();
        const auto it = enlaces.constFind(clave);
        if (it == enlaces.constEnd())
            throw ErrorOra::variableSinEnlazar(QString::fromUtf8(nombre));
        const QVariant& v = *it;
        if (v.isNull())
            sqlite3_bind_null(s, i);
        else if (const auto valor = aValor(v); std::holds_alternative<std::int64_t>(valor))
            sqlite3_bind_int64(s, i, std::get<std::int64_t>(valor));
        else if (std::holds_alternative<double>(valor))
            sqlite3_bind_double(s, i, std::get<double>(valor));
        else {
            const QByteArray texto = v.toString().toUtf8();
            sqlite3_bind_text(s, i, texto.constData(), int(texto.size()), SQLITE_TRANSIENT);
        }
    }
}

void userenv(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const auto* conexion = static_cast<const nieb::ConexionSqlite*>(sqlite3_user_data(ctx));
    const char* parametro = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QString p = QString::fromUtf8(parametro ? parametro : "").trimmed().toUpper();
    if (p == u"SESSIONID"_s)
        sqlite3_result_int64(ctx, conexion->sesion());
    else if (p == u"LANGUAGE"_s)
        sqlite3_result_text(ctx, "SPANISH_SPAIN.AL32UTF8", -1, SQLITE_STATIC);
    else
        sqlite3_result_null(ctx);
}

QString literal(const QString& s)
{
    return u"'"_s + QString(s).replace(u'\'', u"''"_s) + u"'"_s;
}

[[noreturn]] void falloSqlite(sqlite3* db)
{
    throw ErrorOra::deSqlite(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
}

// Prepares a query: one statement that returns rows and changes nothing (the query commands never
// alter data), with its values bound.
nieb::Sentencia prepararConsulta(sqlite3* db, const QString& sql, const Enlaces& enlaces)
{
    if (variasSentencias(sql))
        throw ErrorOra::masDeUnaSentencia();
    const QByteArray texto = sql.toUtf8();
    sqlite3_stmt* crudo = nullptr;
    if (sqlite3_prepare_v2(db, texto.constData(), int(texto.size()), &crudo, nullptr) != SQLITE_OK)
        falloSqlite(db);
    nieb::Sentencia s(crudo);
    if (!s || sqlite3_column_count(s.get()) == 0 || !sqlite3_stmt_readonly(s.get()))
        throw ErrorOra::noEsConsulta();
    enlazar(s.get(), enlaces);
    return s;
}

// While it lives, the connection's page cache holds a few pages only: a count reads each page once,
// and through the usual cache counting a large table would cost as much memory as that cache.
class CachePequena {
public:
    explicit CachePequena(sqlite3* db)
        : db_(db)
    {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, "PRAGMA cache_size", -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            antes_ = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
        if (antes_)
            sqlite3_exec(db_, "PRAGMA cache_size = -64", nullptr, nullptr, nullptr);
    }
    ~CachePequena()
    {
        if (antes_)
            sqlite3_exec(db_, ("PRAGMA cache_size = " + std::to_string(*antes_)).c_str(), nullptr, nullptr, nullptr);
    }
    CachePequena(const CachePequena&) = delete;
    CachePequena& operator=(const CachePequena&) = delete;

private:
    sqlite3* db_;
    std::optional<sqlite3_int64> antes_;
};

// The row count of the query `s` as a whole, by a count over its text. It runs in the read
// transaction that `s`, still open, holds, so it sees the same rows; their cells are not computed.
// Empty when the text does not wrap so or the count fails: the caller steps the rows instead.
std::optional<qint64> contarAparte(sqlite3* db, sqlite3_stmt* s, const Enlaces& enlaces)
{
    QByteArray texto(sqlite3_sql(s));
    while (!texto.isEmpty() && (QChar::isSpace(uchar(texto.back())) || texto.back() == ';'))
        texto.chop(1);
    // The line break ends a trailing "--" comment before the parenthesis. count(1), not count(*):
    // SQLite counts a whole table for count(*) in one step of its program, which the progress handler
    // never interrupts, so a cancel would wait for the whole count and the windows would not paint.
    const QByteArray envuelta = "SELECT count(1) FROM (" + texto + "\n)";
    sqlite3_stmt* crudo = nullptr;
    const char* resto = nullptr;
    const int rc = sqlite3_prepare_v2(db, envuelta.constData(), int(envuelta.size()), &crudo, &resto);
    nieb::Sentencia cuenta(crudo);
    if (rc != SQLITE_OK || !cuenta || QByteArray(resto).trimmed().size() != 0
        || sqlite3_column_count(cuenta.get()) != 1 || !sqlite3_stmt_readonly(cuenta.get()))
        return std::nullopt;
    try {
        enlazar(cuenta.get(), enlaces);
    } catch (const ErrorOra&) {
        return std::nullopt;
    }
    CachePequena cache(db);
    if (sqlite3_step(cuenta.get()) != SQLITE_ROW)
        return std::nullopt;
    return sqlite3_column_int64(cuenta.get(), 0);
}

// Steps `s` to its end, handing its first `leer` rows (all when negative) to `fila` and counting the
// others without reading their cells; `empezar` runs once the first step has succeeded. Returns the
// row count.
template <typename Empezar, typename Fila>
qint64 pasarFilas(sqlite3* db, sqlite3_stmt* s, const Enlaces& enlaces, qint64 leer, Empezar&& empezar, Fila&& fila)
{
    FilaSqlite actual(s, sqlite3_column_count(s));
    int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        falloSqlite(db);
    empezar();
    qint64 total = 0;
    for (; rc == SQLITE_ROW; rc = sqlite3_step(s)) {
        if (total == leer) {
            // Rows that come out of a sort cost little more to step. Rows still to be computed are
            // counted by a count(*) that computes none of their cells, unless that count disagrees
            // with the rows already seen (a query that is not repeatable).
            if (sqlite3_stmt_status(s, SQLITE_STMTSTATUS_SORT, 0) == 0)
                if (const auto cuenta = contarAparte(db, s, enlaces); cuenta && *cuenta > total)
                    return *cuenta;
            do
                ++total;
            while ((rc = sqlite3_step(s)) == SQLITE_ROW);
            break;
        }
        actual.nueva();
        fila(actual);
        ++total;
    }
    if (rc != SQLITE_DONE)
        falloSqlite(db);
    return total;
}

} // namespace

// Asks the cancel function now and then while a statement runs.
struct SqliteBackend::Vigilancia {
    Vigilancia(sqlite3* db, const std::function<bool()>& cancelar)
        : db_(db)
    {
        if (cancelar)
            sqlite3_progress_handler(db_, 20000, &Vigilancia::preguntar, const_cast<std::function<bool()>*>(&cancelar));
    }
    ~Vigilancia() { sqlite3_progress_handler(db_, 0, nullptr, nullptr); }
    static int preguntar(void* p) { return (*static_cast<std::function<bool()>*>(p))() ? 1 : 0; }
    sqlite3* db_;
};

SqliteBackend::SqliteBackend(const QString& ruta, const QString& usuario, const QString& clave)
try : ruta_(ruta), conexion_(QFile::encodeName(ruta).toStdString(), nieb::ConexionSqlite::Apertura::Existente) {
    conexion_.ejecutar("PRAGMA foreign_keys = ON");
    // Reading the schema now finds a file that is not a database before anything else is done.
    conexion_.consultar("SELECT count(*) FROM sqlite_schema");
    nieb::registrarFuncionesComunes(conexion_.handle());
    nieb::registrarFuncionesDifusas(conexion_.handle());
    sqlite3_create_function_v2(
        conexion_.handle(), "USERENV", 1, SQLITE_UTF8, &conexion_, userenv, nullptr, nullptr, nullptr);

    const bool conCuentas = cuentas::instaladas(conexion_);
    servidor_ = nieb::servidorInstalado(conexion_);
    // Files of Nimbo's own are switched to WAL once, so that readers never keep a session from opening.
    if (conCuentas || servidor_)
        nieb::usarWal(conexion_);
    std::optional<qint64> idCuenta;
    if (conCuentas) {
        const auto cuenta = cuentas::verificar(conexion_, usuario, clave);
        if (!cuenta)
            throw ErrorOra::credenciales();
        idCuenta = cuenta->id;
    }
    abrirSesion(idCuenta);
    if (servidor_)
        nieb::Paquete(conexion_).prepararSesion();
    crearDiccionario(usuario.trimmed().toUpper(), idCuenta);
} catch (const nieb::ErrorSqlite& e) {
    const int primario = e.codigo & 0xff;
    const QString causa = QString::fromStdString(e.what());
    if (primario == SQLITE_CANTOPEN)
        throw ErrorOra::sinResolver(ruta, u"no se puede abrir el fichero (%1)"_s.arg(causa));
    if (e.porDano())
        throw ErrorOra::ficheroDanado(ruta, causa);
    throw ErrorOra::deSqlite(e.codigo, u"%1 (%2)"_s.arg(causa, ruta));
}

SqliteBackend::~SqliteBackend() = default;

void SqliteBackend::abrirSesion(std::optional<qint64> idCuenta)
{
    // A file this connection cannot write to still serves reads: its session takes a number that is
    // not recorded, drawn above the recorded ones.
    const auto alAzar = [] { return QRandomGenerator::system()->bounded(1'000'000'000, 2'000'000'000); };
    if (conexion_.soloLectura() || (!idCuenta && !servidor_)) {
        conexion_.setSesion(alAzar());
        return;
    }
    // One short writing transaction, which under WAL waits only for other writers, never for readers.
    nieb::Transaccion t(conexion_, nieb::Transaccion::Modo::Escritura);
    conexion_.setSesion(idCuenta ? cuentas::nuevaSesion(conexion_, *idCuenta) : alAzar());
    if (servidor_)
        nieb::Paquete(conexion_).sesionIniciada();
    t.confirmar();
}

ErrorOra SqliteBackend::traducir(const nieb::ErrorBaseDatos& e) const
{
    if (const auto* s = dynamic_cast<const nieb::ErrorSqlite*>(&e)) {
        if (s->porDano())
            return ErrorOra::ficheroDanado(ruta_, QString::fromStdString(s->what()));
        return ErrorOra::deSqlite(s->codigo, QString::fromStdString(s->what()));
    }
    return ErrorOra::deSqlite(SQLITE_ERROR, QString::fromStdString(e.what()));
}

ErrorOra SqliteBackend::revisar(const ErrorOra& error)
{
    if (error.codigo() != NimboFicheroDanado)
        return error;
    conexion_.marcarDanada();
    return ErrorOra::ficheroDanado(ruta_, error.detalle());
}

void SqliteBackend::exigirSano() const
{
    if (conexion_.danada())
        throw ErrorOra::ficheroDanado(ruta_, u"ya se encontró dañado en esta sesión"_s);
}

void SqliteBackend::crearDiccionario(const QString& usuario, std::optional<qint64> idCuenta)
{
    const QString usuarios = idCuenta
        ? u"SELECT USERNAME, USER_ID, DEFAULT_TABLESPACE, TEMPORARY_TABLESPACE, CREATED, 'OPEN' AS ACCOUNT_STATUS "
          u"FROM main.NIMBO_CUENTAS WHERE USER_ID = %1"_s.arg(*idCuenta)
        : u"SELECT %1 AS USERNAME, 0 AS USER_ID, 'MAIN' AS DEFAULT_TABLESPACE, 'TEMP' AS TEMPORARY_TABLESPACE, "
          u"NULL AS CREATED, 'OPEN' AS ACCOUNT_STATUS"_s.arg(literal(usuario));
    const QString paquetes = servidor_
        ? u" UNION ALL SELECT OBJECT_NAME, OBJECT_TYPE, STATUS, %1 FROM main.NIEB_PAQUETES"_s.arg(
            literal(QString::fromStdString(nieb::Catalogo(conexion_).propietario())))
        : QString();
    const QString sql = uR"(
        CREATE TEMP VIEW DUAL AS SELECT 'X' AS DUMMY;
        CREATE TEMP VIEW USER_USERS AS %1;
        CREATE TEMP VIEW SESSION_ROLES (ROLE) AS VALUES ('CONNECT'), ('RESOURCE');
        CREATE TEMP VIEW SESSION_PRIVS (PRIVILEGE) AS
          VALUES ('CREATE SESSION'), ('CREATE TABLE'), ('CREATE VIEW'), ('SELECT ANY TABLE');
        CREATE TEMP VIEW USER_RESOURCE_LIMITS (RESOURCE_NAME, "LIMIT") AS
          VALUES ('SESSIONS_PER_USER', 'UNLIMITED'), ('CPU_PER_SESSION', 'UNLIMITED'),
                 ('CONNECT_TIME', 'UNLIMITED'), ('IDLE_TIME', 'UNLIMITED');
        CREATE TEMP VIEW NLS_DATABASE_PARAMETERS (PARAMETER, VALUE) AS
          VALUES ('NLS_RDBMS_VERSION', sqlite_version()), ('NLS_CHARACTERSET', 'AL32UTF8'),
                 ('NLS_LANGUAGE', 'SPANISH'), ('NLS_TERRITORY', 'SPAIN'), ('NLS_NUMERIC_CHARACTERS', '.,');
        CREATE TEMP VIEW ALL_OBJECTS (OBJECT_NAME, OBJECT_TYPE, STATUS, OWNER) AS
          SELECT name, upper(type), 'VALID', %2 FROM main.sqlite_schema
          WHERE type IN ('table', 'view') AND name NOT LIKE 'sqlite\_%' ESCAPE '\'%3;
    )"_s.arg(usuarios, literal(usuario), paquetes);
    conexion_.ejecutar(sql.toStdString());
}

void SqliteBackend::ejecutar(const QString& sql, const Enlaces& enlaces)
{
    exigirSano();
    Vigilancia vigilancia(conexion_.handle(), cancelar_);
    try {
        // Several statements run all or none, unless the text manages its own transactions.
        std::optional<nieb::Transaccion> lote;
        if (variasSentencias(sql) && !controlaTransacciones(sql))
            lote.emplace(conexion_, nieb::Transaccion::Modo::Escritura);
        conexion_.ejecutarSentencias(sql.toStdString(), [&](sqlite3_stmt* s) {
            // A query would run and show nothing: refused, with what came before it in the text.
            if (sqlite3_column_count(s) > 0 && sqlite3_stmt_readonly(s))
                throw ErrorOra::devuelveFilas();
            enlazar(s, enlaces);
        });
        if (lote)
            lote->confirmar();
    } catch (const nieb::ErrorBaseDatos& e) {
        throw traducir(e);
    }
}

Resultado SqliteBackend::consultar(const QString& sql, const Enlaces& enlaces, qint64 retener)
{
    sqlite3* db = conexion_.handle();
    const nieb::Sentencia s = prepararConsulta(db, sql, enlaces);
    const int columnas = sqlite3_column_count(s.get());
    Resultado r;
    r.celdas.vaciar(columnas);
    QList<int> observado(columnas, 0);
    QList<int> sinDeclarar; // the columns whose display size the values tell
    for (int i = 0; i < columnas; ++i) {
        r.nombres.append(QString::fromUtf8(sqlite3_column_name(s.get(), i)));
        r.tamanos.append(tamanoDeclarado(sqlite3_column_decltype(s.get(), i)));
        if (r.tamanos[i] == 0)
            sinDeclarar.append(i);
    }
    Vigilancia vigilancia(db, cancelar_);
    r.total = pasarFilas(db, s.get(), enlaces, retener, [] {}, [&](const filas::FuenteFila& fila) {
        r.celdas.anadirFila(fila);
        for (const int i : sinDeclarar)
            // A text has no more characters than bytes: shorter ones cannot raise the size.
            if (observado[i] < 4000 && r.celdas.bytes(r.celdas.filas() - 1, i).size() > size_t(observado[i]))
                observado[i] = std::max(observado[i], tamanoDeValor(r.celdas, r.celdas.filas() - 1, i));
    });
    for (const int i : sinDeclarar)
        r.tamanos[i] = std::max<int>({observado[i], int(r.nombres[i].size()), 1});
    return r;
}

qint64 SqliteBackend::recorrer(const QString& sql, const Enlaces& enlaces, LectorFilas& lector, qint64 leer)
{
    sqlite3* db = conexion_.handle();
    const nieb::Sentencia s = prepararConsulta(db, sql, enlaces);
    QStringList nombres;
    for (int i = 0; i < sqlite3_column_count(s.get()); ++i)
        nombres.append(QString::fromUtf8(sqlite3_column_name(s.get(), i)));
    Vigilancia vigilancia(db, cancelar_);
    return pasarFilas(
        db, s.get(), enlaces, leer, [&] { lector.empezar(nombres); },
        [&](const filas::FuenteFila& fila) { lector.fila(fila); });
}

QVariant SqliteBackend::llamar(const LlamadaBloque& llamada, const QList<QVariant>& argumentos)
{
    exigirSano();
    const QString nombre = llamada.paquete + u'.' + llamada.funcion;
    if (!servidor_ || llamada.paquete != QString::fromUtf8(nieb::Paquete::nombre))
        throw ErrorOra::bloqueNoDeclarado(llamada.columna, nombre);
    std::vector<nieb::Valor> valores;
    for (const auto& a : argumentos)
        valores.push_back(aValor(a));
    Vigilancia vigilancia(conexion_.handle(), cancelar_);
    try {
        nieb::Paquete paquete(conexion_);
        return aVariant(paquete.llamar(llamada.funcion.toStdString(), valores));
    } catch (const nieb::ErrorLlamada& e) {
        if (e.motivo == nieb::ErrorLlamada::Motivo::FuncionDesconocida)
            throw ErrorOra::componenteNoDeclarado(llamada.columna + int(llamada.paquete.size()) + 1, llamada.funcion);
        throw ErrorOra::argumentosIncorrectos(llamada.columna + int(llamada.paquete.size()) + 1, llamada.funcion);
    } catch (const nieb::ErrorBaseDatos& e) {
        throw traducir(e);
    }
}

std::unique_ptr<Backend> abrirSqlite(const QString& nombre, const QString& usuario, const QString& clave)
{
    if (nombre == nombreBaseEmbebida) {
        const QString aviso = asegurarBaseEmbebida();
        auto backend = std::make_unique<SqliteBackend>(rutaBaseEmbebida(), usuario, clave);
        if (!aviso.isEmpty())
            backend->anadirAviso(aviso);
        return backend;
    }
    static const QRegularExpression ficheroSqlite(u"\\.(db|sqlite3?)$"_s, QRegularExpression::CaseInsensitiveOption);
    if (!ficheroSqlite.match(nombre).hasMatch())
        return nullptr;
    if (const QString motivo = queNoEsFichero(nombre); !motivo.isEmpty())
        throw ErrorOra::sinResolver(nombre, motivo);
    return std::make_unique<SqliteBackend>(nombre, usuario, clave);
}

} // namespace db
