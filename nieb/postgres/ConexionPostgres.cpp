#include "ConexionPostgres.h"

#include "Nombres.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

// PostgreSQL's headers come last: they redefine printf and friends for the code after them.
extern "C" {
#include "postgres.h"

#include "access/xact.h"
#include "access/xlog.h"
#include "catalog/pg_type.h"
#include "executor/spi.h"
#include "miscadmin.h"
#include "utils/builtins.h"
#include "utils/guc.h"
#include "utils/memutils.h"
#include "utils/resowner.h"
}

namespace nieb {

namespace {

// What crosses between the C++ side and the code that may meet a PostgreSQL error (a longjmp): plain
// data only, so that no object with a destructor lives in a frame that a longjmp leaves.
struct ParametroC {
    char clase; // 'n' NULL, 'i' integer, 'd' double, 't' text
    std::int64_t entero;
    double real;
    const char* texto;
    size_t largo;
};

struct CeldaC {
    char clase; // as ParametroC
    std::int64_t entero;
    double real;
    const char* texto;
};

struct ResultadoC {
    MemoryContext contexto; // holds the cells; deleted by the caller
    CeldaC* celdas;
    std::uint64_t filas;
    int columnas;
    bool error;
    char sqlstate[6];
    char mensaje[2048];
};

void anotarError(ErrorData* e, ResultadoC* r)
{
    r->error = true;
    std::memcpy(r->sqlstate, unpack_sql_state(e->sqlerrcode), 6);
    strlcpy(r->mensaje, e->message ? e->message : "error de PostgreSQL", sizeof r->mensaje);
}

// Copies the rows of the last statement into r's context: numbers as numbers, anything else as text.
void copiarFilas(ResultadoC* r)
{
    SPITupleTable* tabla = SPI_tuptable;
    if (!tabla)
        return;
    const int columnas = tabla->tupdesc->natts;
    r->columnas = columnas;
    r->filas = SPI_processed;
    MemoryContext antes = MemoryContextSwitchTo(r->contexto);
    r->celdas = static_cast<CeldaC*>(palloc0(sizeof(CeldaC) * (r->filas * columnas + 1)));
    for (std::uint64_t f = 0; f < r->filas; ++f)
        for (int c = 0; c < columnas; ++c) {
            CeldaC* celda = &r->celdas[f * columnas + c];
            bool nulo = false;
            const Datum d = SPI_getbinval(tabla->vals[f], tabla->tupdesc, c + 1, &nulo);
            if (nulo) {
                celda->clase = 'n';
                continue;
            }
            switch (SPI_gettypeid(tabla->tupdesc, c + 1)) {
            case INT2OID: celda->clase = 'i'; celda->entero = DatumGetInt16(d); break;
            case INT4OID: celda->clase = 'i'; celda->entero = DatumGetInt32(d); break;
            case INT8OID: celda->clase = 'i'; celda->entero = DatumGetInt64(d); break;
            case BOOLOID: celda->clase = 'i'; celda->entero = DatumGetBool(d) ? 1 : 0; break;
            case FLOAT4OID: celda->clase = 'd'; celda->real = DatumGetFloat4(d); break;
            case FLOAT8OID: celda->clase = 'd'; celda->real = DatumGetFloat8(d); break;
            case NUMERICOID:
                celda->clase = 'd';
                celda->real = std::strtod(SPI_getvalue(tabla->vals[f], tabla->tupdesc, c + 1), nullptr);
                break;
            default: celda->clase = 't'; celda->texto = SPI_getvalue(tabla->vals[f], tabla->tupdesc, c + 1); break;
            }
        }
    MemoryContextSwitchTo(antes);
    SPI_freetuptable(tabla);
}

// Runs one statement in a subtransaction of its own; a PostgreSQL error rolls it back and is left in r.
// The statement's plan is kept in *plan (prepared on first use), which PostgreSQL prepares again by
// itself when the tables under it change.
void correrSpi(const char* sql, const ParametroC* parametros, int n, bool conFilas, SPIPlanPtr* plan, ResultadoC* r)
{
    MemoryContext contexto = CurrentMemoryContext;
    ResourceOwner dueno = CurrentResourceOwner;
    volatile bool enSubtransaccion = false;
    PG_TRY();
    {
        r->contexto = AllocSetContextCreate(contexto, "nieb", ALLOCSET_SMALL_SIZES);
        MemoryContextSwitchTo(r->contexto);
        const int m = n > 0 ? n : 1;
        Oid* tipos = static_cast<Oid*>(palloc0(sizeof(Oid) * m));
        Datum* valores = static_cast<Datum*>(palloc0(sizeof(Datum) * m));
        char* nulos = static_cast<char*>(palloc0(m + 1));
        for (int i = 0; i < n; ++i) {
            nulos[i] = ' ';
            switch (parametros[i].clase) {
            case 'i': tipos[i] = INT8OID; valores[i] = Int64GetDatum(parametros[i].entero); break;
            case 'd': tipos[i] = FLOAT8OID; valores[i] = Float8GetDatum(parametros[i].real); break;
            case 't':
                tipos[i] = TEXTOID;
                valores[i] = PointerGetDatum(
                    cstring_to_text_with_len(parametros[i].texto, static_cast<int>(parametros[i].largo)));
                break;
            default: tipos[i] = TEXTOID; nulos[i] = 'n'; break;
            }
        }
        MemoryContextSwitchTo(contexto);
        BeginInternalSubTransaction(nullptr);
        enSubtransaccion = true;
        MemoryContextSwitchTo(contexto);
        if (!*plan) {
            SPIPlanPtr nuevo = SPI_prepare(sql, n, tipos);
            if (!nuevo)
                elog(ERROR, "SPI: %s", SPI_result_code_string(SPI_result));
            if (SPI_keepplan(nuevo) != 0)
                elog(ERROR, "SPI: no se puede guardar el plan");
            *plan = nuevo;
        }
        const int rc = SPI_execute_plan(*plan, valores, nulos, false, 0);
        if (rc < 0)
            elog(ERROR, "SPI: %s", SPI_result_code_string(rc));
        if (conFilas)
            copiarFilas(r);
        else if (SPI_tuptable)
            SPI_freetuptable(SPI_tuptable);
        ReleaseCurrentSubTransaction();
        enSubtransaccion = false;
        MemoryContextSwitchTo(contexto);
        CurrentResourceOwner = dueno;
    }
    PG_CATCH();
    {
        MemoryContextSwitchTo(contexto);
        ErrorData* e = CopyErrorData();
        FlushErrorState();
        if (enSubtransaccion)
            RollbackAndReleaseCurrentSubTransaction();
        MemoryContextSwitchTo(contexto);
        CurrentResourceOwner = dueno;
        anotarError(e, r);
        FreeErrorData(e);
    }
    PG_END_TRY();
}

// Savepoints: 'a' opens one, 'l' releases the last, 'v' rolls it back.
void subtransaccion(char accion, MemoryContext* contexto, ResourceOwner* dueno, ResultadoC* r)
{
    if (accion == 'a') {
        *contexto = CurrentMemoryContext;
        *dueno = CurrentResourceOwner;
    }
    PG_TRY();
    {
        if (accion == 'a')
            BeginInternalSubTransaction(nullptr);
        else if (accion == 'l')
            ReleaseCurrentSubTransaction();
        else
            RollbackAndReleaseCurrentSubTransaction();
        MemoryContextSwitchTo(*contexto);
        if (accion != 'a')
            CurrentResourceOwner = *dueno;
    }
    PG_CATCH();
    {
        MemoryContextSwitchTo(*contexto);
        ErrorData* e = CopyErrorData();
        FlushErrorState();
        if (accion != 'a') {
            // A savepoint that could not be released is undone, so that the nesting stays right.
            RollbackAndReleaseCurrentSubTransaction();
            MemoryContextSwitchTo(*contexto);
            CurrentResourceOwner = *dueno;
        }
        anotarError(e, r);
        FreeErrorData(e);
    }
    PG_END_TRY();
}

// Acts as the role `dueno` with the search path `ruta` until volverAlUsuario: a restricted operation, as
// PostgreSQL's own maintenance runs as a table's owner. False when the path was refused.
bool actuarComo(Oid dueno, const char* ruta, Oid* usuario, int* seguridad, int* nivel)
{
    GetUserIdAndSecContext(usuario, seguridad);
    *nivel = NewGUCNestLevel();
    if (set_config_option("search_path", ruta, PGC_USERSET, PGC_S_SESSION, GUC_ACTION_SAVE, true, WARNING, false) <= 0) {
        AtEOXact_GUC(false, *nivel);
        return false;
    }
    SetUserIdAndSecContext(dueno, *seguridad | SECURITY_LOCAL_USERID_CHANGE | SECURITY_RESTRICTED_OPERATION);
    return true;
}

void volverAlUsuario(Oid usuario, int seguridad, int nivel)
{
    AtEOXact_GUC(true, nivel);
    SetUserIdAndSecContext(usuario, seguridad);
}

// Plans of the statements run so far in this backend, by statement text and parameter kinds.
std::unordered_map<std::string, void*> planes;

} // namespace

bool ErrorPostgres::porBloqueo() const
{
    return sqlstate == "55P03" || sqlstate == "40P01" || sqlstate == "40001";
}

bool ErrorPostgres::interrumpe() const
{
    return sqlstate == "57014" || sqlstate.starts_with("57P") || sqlstate.starts_with("53");
}

std::string parametrosPostgres(std::string_view sql)
{
    std::string r;
    r.reserve(sql.size());
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"') { // to the closing quote; a doubled quote stays inside
            const size_t fin = sql.find(c, i + 1);
            const size_t hasta = fin == std::string_view::npos ? sql.size() : fin + 1;
            r.append(sql.substr(i, hasta - i));
            i = hasta - 1;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            const size_t fin = sql.find('\n', i);
            const size_t hasta = fin == std::string_view::npos ? sql.size() : fin;
            r.append(sql.substr(i, hasta - i));
            i = hasta - 1;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            const size_t fin = sql.find("*/", i + 2);
            const size_t hasta = fin == std::string_view::npos ? sql.size() : fin + 2;
            r.append(sql.substr(i, hasta - i));
            i = hasta - 1;
        } else if (c == '?' && i + 1 < sql.size() && sql[i + 1] >= '0' && sql[i + 1] <= '9') {
            r += '$';
        } else {
            r += c;
        }
    }
    return r;
}

ConexionPostgres::~ConexionPostgres()
{
    while (!puntos_.empty())
        try {
            volverAlPunto();
        } catch (const ErrorBaseDatos&) {
        }
    dejarDeSerPropietario();
}

void ConexionPostgres::fallar(const char* sqlstate, const char* mensaje)
{
    ErrorPostgres error(sqlstate, mensaje);
    if (error.interrumpe() && !interrupcion_)
        interrupcion_ = error;
    throw error;
}

std::vector<Fila> ConexionPostgres::correr(std::string_view sql, const std::vector<Valor>& parametros, bool conFilas)
{
    if (interrupcion_)
        throw *interrupcion_;
    const std::string texto = parametrosPostgres(sql);
    std::vector<ParametroC> ps;
    ps.reserve(parametros.size());
    for (const Valor& v : parametros) {
        ParametroC p{'n', 0, 0, nullptr, 0};
        if (const auto* e = std::get_if<std::int64_t>(&v))
            p = {'i', *e, 0, nullptr, 0};
        else if (const auto* d = std::get_if<double>(&v))
            p = {'d', 0, *d, nullptr, 0};
        else if (const auto* t = std::get_if<std::string>(&v))
            p = {'t', 0, 0, t->data(), t->size()};
        ps.push_back(p);
    }
    // The plans are kept for the life of the backend, one per statement text and parameter kinds.
    std::string clave = texto;
    clave += '\x01';
    for (const auto& p : ps)
        clave += p.clase == 'n' ? 't' : p.clase;
    if (planes.size() >= 256 && !planes.contains(clave)) {
        for (auto& [_, plan] : planes)
            SPI_freeplan(static_cast<SPIPlanPtr>(plan));
        planes.clear();
    }
    void*& plan = planes[clave];
    auto r = std::make_unique<ResultadoC>();
    std::memset(r.get(), 0, sizeof(ResultadoC));
    correrSpi(texto.c_str(), ps.data(), static_cast<int>(ps.size()), conFilas, reinterpret_cast<SPIPlanPtr*>(&plan), r.get());
    if (!plan)
        planes.erase(clave);
    // The cells' memory goes on every way out.
    const std::unique_ptr<ResultadoC, void (*)(ResultadoC*)> liberar(r.get(), [](ResultadoC* x) {
        if (x->contexto)
            MemoryContextDelete(x->contexto);
    });
    if (r->error)
        fallar(r->sqlstate, r->mensaje);
    std::vector<Fila> filas;
    filas.reserve(r->filas);
    for (std::uint64_t f = 0; f < r->filas; ++f) {
        Fila fila;
        fila.reserve(static_cast<size_t>(r->columnas));
        for (int c = 0; c < r->columnas; ++c) {
            const CeldaC& celda = r->celdas[f * static_cast<std::uint64_t>(r->columnas) + static_cast<std::uint64_t>(c)];
            switch (celda.clase) {
            case 'i': fila.emplace_back(celda.entero); break;
            case 'd': fila.emplace_back(celda.real); break;
            case 't': fila.emplace_back(std::string(celda.texto ? celda.texto : "")); break;
            default: fila.emplace_back(); break;
            }
        }
        filas.push_back(std::move(fila));
    }
    return filas;
}

void ConexionPostgres::ejecutar(std::string_view sql, const std::vector<Valor>& parametros)
{
    correr(sql, parametros, false);
}

std::vector<Fila> ConexionPostgres::consultar(std::string_view sql, const std::vector<Valor>& parametros)
{
    return correr(sql, parametros, true);
}

std::int64_t ConexionPostgres::sesion() const
{
    return MyProcPid;
}

bool ConexionPostgres::soloLectura() const
{
    return XactReadOnly || RecoveryInProgress();
}

void ConexionPostgres::abrirPunto()
{
    if (interrupcion_)
        throw *interrupcion_;
    ResultadoC r{};
    MemoryContext contexto = nullptr;
    ResourceOwner dueno = nullptr;
    subtransaccion('a', &contexto, &dueno, &r);
    if (r.error)
        fallar(r.sqlstate, r.mensaje);
    puntos_.emplace_back(contexto, dueno);
}

void ConexionPostgres::liberarPunto()
{
    cerrarPunto('l');
}

void ConexionPostgres::volverAlPunto()
{
    cerrarPunto('v');
}

// Ends the innermost savepoint: 'l' releases it, 'v' rolls back to it.
void ConexionPostgres::cerrarPunto(char orden)
{
    if (propietario_ && puntos_.size() <= propietario_->punto)
        dejarDeSerPropietario();
    auto [contexto, dueno] = puntos_.back();
    puntos_.pop_back();
    ResultadoC r{};
    auto* c = static_cast<MemoryContext>(contexto);
    auto* d = static_cast<ResourceOwner>(dueno);
    subtransaccion(orden, &c, &d, &r);
    if (r.error)
        fallar(r.sqlstate, r.mensaje);
}

namespace {

constexpr const char* clasesDeTabla = "c.relkind IN ('r', 'v', 'm', 'p', 'f')";

std::vector<std::string> primeraColumna(const std::vector<Fila>& filas)
{
    std::vector<std::string> r;
    r.reserve(filas.size());
    for (const auto& f : filas)
        r.push_back(comoTexto(f[0]));
    return r;
}

std::vector<Identificado> identificados(const std::vector<Fila>& filas)
{
    std::vector<Identificado> r;
    r.reserve(filas.size());
    for (const auto& f : filas)
        r.push_back({comoTexto(f[0]), comoEntero(f[1])});
    return r;
}

} // namespace

std::string ConexionPostgres::esquemasVisibles() const
{
    return "n.nspname = ANY (" + esquemas_ + ") AND n.nspname <> 'nieb_pkg'";
}

std::string ConexionPostgres::ordenDeBusqueda() const
{
    return "array_position(" + esquemas_ + ", n.nspname::text)";
}

std::vector<std::string> ConexionPostgres::tablas()
{
    return nombresDe(tablasIdentificadas());
}

std::vector<Identificado> ConexionPostgres::tablasIdentificadas()
{
    // One name per table, the first of the search path when two schemas have it, whatever its case; a
    // table's OID stays with it through renames.
    return identificados(consultar(std::string("SELECT relname, oid::bigint FROM (SELECT DISTINCT ON "
                                               "(upper(c.relname)) c.relname, c.oid "
                                               "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace WHERE ")
        + esquemasVisibles() + " AND " + clasesDeTabla + " ORDER BY upper(c.relname), " + ordenDeBusqueda()
        + ") t ORDER BY relname"));
}

std::vector<std::string> ConexionPostgres::consultables()
{
    auto nombres = tablas();
    for (auto& t : primeraColumna(consultar(std::string("SELECT c.relname FROM pg_class c WHERE c.relnamespace = "
                                                        "pg_my_temp_schema() AND ")
             + clasesDeTabla)))
        nombres.push_back(std::move(t));
    return nombres;
}

std::vector<std::string> ConexionPostgres::columnas(std::string_view tabla)
{
    return nombresDe(columnasIdentificadas(tabla));
}

std::vector<Identificado> ConexionPostgres::columnasIdentificadas(std::string_view tabla)
{
    // The session's temporary table first, then the name as written, then the search path's order. A
    // column's number stays with it through renames and is never given to another.
    return identificados(consultar(std::string(R"(SELECT a.attname, a.attnum::bigint FROM pg_attribute a
        WHERE a.attrelid = (
          SELECT c.oid FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace
          WHERE (()") + esquemasVisibles() + ") OR c.relnamespace = pg_my_temp_schema()) AND " + clasesDeTabla
        + R"( AND upper(c.relname) = upper(?1)
          ORDER BY c.relnamespace = pg_my_temp_schema() DESC, c.relname = ?1 DESC, )" + ordenDeBusqueda() + R"(
          LIMIT 1)
        AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum)",
        {std::string(tabla)}));
}

std::int64_t ConexionPostgres::versionEsquema()
{
    // A signature of the catalogue rows of every visible table and column: a row's xmin changes with
    // each change to it (made, renamed, altered, dropped column), and a dropped table takes its rows.
    const auto filas = consultar(std::string(R"(SELECT ('x' || substr(md5(
          coalesce((SELECT string_agg(c.oid::text || ':' || c.xmin::text, ',' ORDER BY c.oid)
                    FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace WHERE ()")
        + esquemasVisibles() + ") AND " + clasesDeTabla + R"(), '') || '/' ||
          coalesce((SELECT string_agg(a.attrelid::text || ':' || a.attnum || ':' || a.xmin::text, ',' ORDER BY a.attrelid, a.attnum)
                    FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace
                    WHERE a.attnum > 0 AND ()"
        + esquemasVisibles() + ") AND " + clasesDeTabla + R"(), '')), 1, 15))::bit(60)::bigint)");
    return comoEntero(filas.at(0).at(0));
}

void ConexionPostgres::crearSeguimiento()
{
    // A server installed before the tables' shapes were kept gets their table here, as its owner.
    const std::string tabla = tablaCompartida("NIEB_ESTRUCTURA");
    ejecutar("CREATE TABLE IF NOT EXISTS " + tabla + R"( ("OBJ#" INTEGER NOT NULL, "COL#" INTEGER NOT NULL,
        NOMBRE TEXT NOT NULL, IDENTIDAD BIGINT NOT NULL, PRIMARY KEY ("OBJ#", "COL#")))");
    ejecutar("GRANT SELECT ON " + tabla + " TO PUBLIC");
}

void ConexionPostgres::bloquearCatalogo()
{
    // Sessions that bring the catalogue up to date at the same moment would wait for each other's
    // rows in opposite orders.
    ejecutar("SELECT pg_advisory_xact_lock(hashtext('NIEB_CATALOGO'))");
    serPropietario();
}

void ConexionPostgres::serPropietario()
{
    if (propietario_)
        return;
    const auto filas = consultar("SELECT c.relowner::bigint, quote_literal(current_schemas(false)::text), "
                                 "quote_ident(n.nspname) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                                 "WHERE c.oid = to_regclass(?1)",
        {tablaCompartida("FCL")});
    if (filas.empty() || static_cast<Oid>(comoEntero(filas[0][0])) == GetUserId())
        return;
    // The tables are still those of the user's search path; names resolve in the catalogue's schema
    // first, after PostgreSQL's own, and a temporary table of the user's never stands in for one.
    const std::string ruta = "pg_catalog, " + comoTexto(filas[0][2]) + ", pg_temp";
    Propietario p{puntos_.size(), 0, 0, 0};
    Oid usuario = InvalidOid;
    if (!actuarComo(static_cast<Oid>(comoEntero(filas[0][0])), ruta.c_str(), &usuario, &p.seguridad, &p.nivelGuc))
        throw ErrorPostgres("42501", "NIEB: no se puede actuar como propietario del catálogo");
    p.usuario = usuario;
    esquemas_ = comoTexto(filas[0][1]) + "::name[]";
    propietario_ = p;
}

void ConexionPostgres::dejarDeSerPropietario()
{
    if (!propietario_)
        return;
    volverAlUsuario(static_cast<Oid>(propietario_->usuario), propietario_->seguridad, propietario_->nivelGuc);
    esquemas_ = "current_schemas(false)";
    propietario_.reset();
}

std::string ConexionPostgres::tablaCompartida(std::string_view tabla)
{
    if (esquemaCatalogo_.empty()) {
        const auto filas = consultar(std::string("SELECT quote_ident(n.nspname) FROM pg_class c JOIN pg_namespace n ON "
                                                 "n.oid = c.relnamespace WHERE c.relname = 'nieb_info' AND ")
            + esquemasVisibles() + " ORDER BY " + ordenDeBusqueda() + " LIMIT 1");
        esquemaCatalogo_ = filas.empty() ? std::string("public") : comoTexto(filas[0][0]);
    }
    return esquemaCatalogo_ + "." + std::string(tabla);
}

bool ConexionPostgres::existeTemporal(std::string_view tabla)
{
    return !consultar("SELECT 1 FROM pg_class WHERE relnamespace = pg_my_temp_schema() AND relname = lower(?1)",
        {std::string(tabla)})
                .empty();
}

} // namespace nieb
