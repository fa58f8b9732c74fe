// The NIEB server as a PostgreSQL module: the fuzzy SQL functions the translated statements call and
// the entry points of NIEB_PKG. C++ stays inside functions that catch everything; what may raise a
// PostgreSQL error (a longjmp) runs in frames that hold no object with a destructor.

#include "ConexionPostgres.h"
#include "GradosDifusos.h"
#include "Nombres.h"
#include "Paquete.h"
#include "ValoresTexto.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>

extern "C" {
#include "postgres.h"

#include "catalog/pg_type.h"
#include "executor/spi.h"
#include "fmgr.h"
#include "utils/array.h"
#include "utils/builtins.h"
#include "utils/memutils.h"

PG_MODULE_MAGIC;
}

namespace {

using nieb::EtiquetaCodificada;
using Etiquetas = std::vector<EtiquetaCodificada>;

// A type-3 similarity relation keyed by both labels in capitals, in both orders.
struct TablaSemejanzas {
    std::unordered_map<std::string, double> grados;
    static std::string clave(std::string_view a, std::string_view b)
    {
        return nieb::etiquetaEnMayusculas(a) + '\0' + nieb::etiquetaEnMayusculas(b);
    }
};

// What a function keeps from row to row of one statement (fn_extra): the label tables decoded from
// their constant text, each redone only when the text changes, and the last text result.
struct Memoria {
    struct Tabla {
        bool lista = false;
        std::string clave;
        Etiquetas etiquetas;
        TablaSemejanzas semejanzas;
    };
    Tabla tablas[2];
    std::string salida;

    const Etiquetas& etiquetas(int i, std::string_view texto)
    {
        Tabla& t = tablas[i];
        if (!t.lista || t.clave != texto) {
            t.etiquetas = nieb::decodificarEtiquetas(texto);
            t.clave = texto;
            t.lista = true;
        }
        return t.etiquetas;
    }
    const TablaSemejanzas& semejanzas(std::string_view texto)
    {
        Tabla& t = tablas[0];
        if (!t.lista || t.clave != texto) {
            t.semejanzas.grados.clear();
            for (const auto& s : nieb::decodificarSemejanzas(texto)) {
                t.semejanzas.grados.emplace(TablaSemejanzas::clave(s.a, s.b), s.grado);
                t.semejanzas.grados.emplace(TablaSemejanzas::clave(s.b, s.a), s.grado);
            }
            t.clave = texto;
            t.lista = true;
        }
        return t.semejanzas;
    }
};

void borrarMemoria(void* p)
{
    delete static_cast<Memoria*>(p);
}

// The function's memory, made on its first row and deleted with the statement's function cache.
Memoria* memoria(FunctionCallInfo fcinfo)
{
    if (fcinfo->flinfo->fn_extra)
        return static_cast<Memoria*>(fcinfo->flinfo->fn_extra);
    auto* aviso = static_cast<MemoryContextCallback*>(MemoryContextAlloc(fcinfo->flinfo->fn_mcxt, sizeof(MemoryContextCallback)));
    Memoria* m = nullptr;
    try {
        m = new Memoria;
    } catch (...) {
        return nullptr;
    }
    aviso->func = borrarMemoria;
    aviso->arg = m;
    MemoryContextRegisterResetCallback(fcinfo->flinfo->fn_mcxt, aviso);
    fcinfo->flinfo->fn_extra = m;
    return m;
}

// The arguments as plain data, read before any C++ runs.
struct Argumentos {
    static constexpr int maximo = 16;
    bool nulo[maximo];
    double numero[maximo];
    std::string_view texto[maximo];
};

void leer(FunctionCallInfo fcinfo, const char* tipos, Argumentos* a)
{
    for (int i = 0; tipos[i]; ++i) {
        a->nulo[i] = PG_ARGISNULL(i);
        a->numero[i] = 0;
        a->texto[i] = {};
        if (a->nulo[i])
            continue;
        if (tipos[i] == 'd') {
            a->numero[i] = PG_GETARG_FLOAT8(i);
        } else {
            text* t = PG_GETARG_TEXT_PP(i);
            a->texto[i] = std::string_view(VARDATA_ANY(t), VARSIZE_ANY_EXHDR(t));
        }
    }
}

std::optional<double> numero(const Argumentos& a, int i)
{
    return a.nulo[i] ? std::nullopt : std::optional(a.numero[i]);
}

// A kind code: a number with an integral value.
std::optional<long long> clase(const Argumentos& a, int i)
{
    const double x = a.numero[i];
    if (x == std::floor(x) && std::fabs(x) < 1e18)
        return static_cast<long long>(x);
    return std::nullopt;
}

// The value in arguments i..i+6: kind, four points, margin, labels. nullopt is a row that cannot be read.
std::optional<nieb::ValorDifuso> valor(Memoria& m, const Argumentos& a, int i, int tabla)
{
    if (a.nulo[i])
        return nieb::nulo();
    const auto tipo = clase(a, i);
    if (!tipo)
        return std::nullopt;
    if (tipo == 4) {
        const auto id = numero(a, i + 1);
        const auto& etiquetas = m.etiquetas(tabla, a.texto[i + 6]);
        const auto e = std::ranges::find_if(
            etiquetas, [&](const EtiquetaCodificada& e) { return id && static_cast<double>(e.id) == *id; });
        if (e == etiquetas.end())
            return std::nullopt;
        return nieb::definido(e->t);
    }
    const nieb::FilaTipo2 fila{tipo, numero(a, i + 1), numero(a, i + 2), numero(a, i + 3), numero(a, i + 4)};
    return nieb::decodificarTipo2(fila, numero(a, i + 5).value_or(0));
}

enum class Fallo { Ninguno, Comparador, Memoria };

// NIEB_GRADO's degree; NaN stands for SQL NULL.
Fallo grado(Memoria& m, const Argumentos& a, double* r) noexcept
{
    try {
        const auto op = nieb::leerComparador(a.texto[0]);
        if (!op)
            return Fallo::Comparador;
        const auto x = valor(m, a, 1, 0);
        const auto y = valor(m, a, 8, 1);
        const auto g = x && y ? nieb::grado(*op, *x, *y, numero(a, 15).value_or(0)) : std::nullopt;
        *r = g ? *g : std::nan("");
        return Fallo::Ninguno;
    } catch (...) {
        return Fallo::Memoria;
    }
}

Fallo grado3(Memoria& m, const Argumentos& a, double* r) noexcept
{
    using nieb::mismoNombre;
    try {
        const bool necesidad = mismoNombre(a.texto[0], "N");
        const auto x = a.texto[1], y = a.texto[2];
        if (mismoNombre(x, "UNDEFINED") || mismoNombre(y, "UNDEFINED"))
            *r = 0;
        else if (mismoNombre(y, "UNKNOWN"))
            *r = 1;
        else if (mismoNombre(x, "UNKNOWN"))
            *r = necesidad ? 0 : 1;
        else if (nieb::mismaEtiqueta(x, y))
            *r = 1;
        else {
            const auto& tabla = m.semejanzas(a.texto[3]);
            const auto s = tabla.grados.find(TablaSemejanzas::clave(x, y));
            *r = s == tabla.grados.end() ? 0 : s->second;
        }
        return Fallo::Ninguno;
    } catch (...) {
        return Fallo::Memoria;
    }
}

// NIEB_TEXTO's text, left in m.salida; false for NULL.
bool texto(Memoria& m, const Argumentos& a, Fallo* fallo) noexcept
{
    *fallo = Fallo::Ninguno;
    try {
        const auto tipo = clase(a, 0);
        if (!tipo)
            return false;
        const nieb::FilaTipo2 fila{*tipo, numero(a, 1), numero(a, 2), numero(a, 3), numero(a, 4)};
        const auto t = nieb::textoTipo2(fila, m.etiquetas(0, a.texto[5]));
        if (!t)
            return false;
        m.salida = *t;
        return true;
    } catch (...) {
        *fallo = Fallo::Memoria;
        return false;
    }
}

// ---- NIEB_PKG ----------------------------------------------------------------------------------

struct SalidaPaquete {
    bool error;
    bool nulo;
    std::int64_t valor;
    char sqlstate[6];
    char mensaje[2048];
};

bool sesionContada = false; // this backend's session has been counted in NIEB_STATS

void anotar(SalidaPaquete* s, std::string_view sqlstate, std::string_view mensaje)
{
    s->error = true;
    const size_t n = std::min(sqlstate.size(), sizeof s->sqlstate - 1);
    std::memcpy(s->sqlstate, sqlstate.data(), n);
    s->sqlstate[n] = '\0';
    const size_t m = std::min(mensaje.size(), sizeof s->mensaje - 1);
    std::memcpy(s->mensaje, mensaje.data(), m);
    s->mensaje[m] = '\0';
}

void llamarPaquete(const char* funcion, const Argumentos& a, const char* tipos, SalidaPaquete* s) noexcept
{
    try {
        nieb::ConexionPostgres conexion;
        try {
            nieb::Paquete paquete(conexion, nieb::Dialecto::postgresql());
            if (!sesionContada) {
                paquete.sesionIniciada();
                sesionContada = true;
            }
            std::vector<nieb::Valor> argumentos;
            for (int i = 0; tipos[i]; ++i) {
                if (a.nulo[i])
                    argumentos.emplace_back();
                else if (tipos[i] == 'i')
                    argumentos.emplace_back(static_cast<std::int64_t>(a.numero[i]));
                else
                    argumentos.emplace_back(std::string(a.texto[i]));
            }
            const nieb::Valor v = paquete.llamar(funcion, argumentos);
            s->nulo = nieb::esNulo(v);
            s->valor = nieb::comoEntero(v);
        } catch (const nieb::ErrorPostgres& e) {
            const auto& causa = conexion.interrupcion() ? *conexion.interrupcion() : e;
            anotar(s, causa.sqlstate, causa.what());
        } catch (const std::exception& e) {
            if (conexion.interrupcion())
                anotar(s, conexion.interrupcion()->sqlstate, conexion.interrupcion()->what());
            else
                anotar(s, "XX000", std::string("NIEB_PKG.") + funcion + ": " + e.what());
        }
    } catch (...) {
        anotar(s, "53200", "NIEB_PKG: memoria agotada");
    }
}

// Runs NIEB_PKG.<funcion> in an SPI connection of its own; `tipos` gives each argument's kind.
Datum paquete(FunctionCallInfo fcinfo, const char* funcion, const char* tipos)
{
    Argumentos a;
    for (int i = 0; tipos[i]; ++i) {
        a.nulo[i] = PG_ARGISNULL(i);
        a.numero[i] = 0;
        a.texto[i] = {};
        if (a.nulo[i])
            continue;
        if (tipos[i] == 'i') {
            a.numero[i] = static_cast<double>(PG_GETARG_INT64(i));
        } else {
            text* t = PG_GETARG_TEXT_PP(i);
            a.texto[i] = std::string_view(VARDATA_ANY(t), VARSIZE_ANY_EXHDR(t));
        }
    }
    SalidaPaquete s{};
    if (SPI_connect() != SPI_OK_CONNECT)
        elog(ERROR, "NIEB_PKG: SPI_connect falló");
    llamarPaquete(funcion, a, tipos, &s);
    SPI_finish();
    if (s.error)
        ereport(ERROR,
            (errcode(MAKE_SQLSTATE(s.sqlstate[0], s.sqlstate[1], s.sqlstate[2], s.sqlstate[3], s.sqlstate[4])),
                errmsg("%s", s.mensaje)));
    if (s.nulo)
        PG_RETURN_NULL();
    PG_RETURN_INT64(s.valor);
}

[[noreturn]] void fallo(const char* funcion, Fallo f)
{
    if (f == Fallo::Comparador)
        ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE), errmsg("%s: comparador desconocido", funcion)));
    ereport(ERROR, (errcode(ERRCODE_OUT_OF_MEMORY), errmsg("%s: memoria agotada", funcion)));
}

Memoria* exigirMemoria(FunctionCallInfo fcinfo, const char* funcion)
{
    Memoria* m = memoria(fcinfo);
    if (!m)
        fallo(funcion, Fallo::Memoria);
    return m;
}

// NIEB_LEAST and NIEB_GREATEST: NULL when any argument is NULL, as the logic functions are on the
// other databases (PostgreSQL's own LEAST and GREATEST skip NULLs).
Datum extremo(FunctionCallInfo fcinfo, int signo)
{
    ArrayType* lista = PG_GETARG_ARRAYTYPE_P(0);
    Datum* valores = nullptr;
    bool* nulos = nullptr;
    int n = 0;
    deconstruct_array(lista, FLOAT8OID, sizeof(float8), FLOAT8PASSBYVAL, TYPALIGN_DOUBLE, &valores, &nulos, &n);
    if (n == 0)
        PG_RETURN_NULL();
    double mejor = 0;
    for (int i = 0; i < n; ++i) {
        if (nulos[i])
            PG_RETURN_NULL();
        const double x = DatumGetFloat8(valores[i]);
        if (i == 0 || (signo < 0 ? x < mejor : x > mejor))
            mejor = x;
    }
    PG_RETURN_FLOAT8(mejor);
}

} // namespace

extern "C" {

PG_FUNCTION_INFO_V1(nieb_grado);
PG_FUNCTION_INFO_V1(nieb_grado3);
PG_FUNCTION_INFO_V1(nieb_texto);
PG_FUNCTION_INFO_V1(nieb_menor);
PG_FUNCTION_INFO_V1(nieb_mayor);
PG_FUNCTION_INFO_V1(nieb_pkg_nieb2sql);
PG_FUNCTION_INFO_V1(nieb_pkg_nieb_obj);
PG_FUNCTION_INFO_V1(nieb_pkg_nieb_col);
PG_FUNCTION_INFO_V1(nieb_pkg_nieb_ftype);
PG_FUNCTION_INFO_V1(nieb_pkg_nieb_fin);

// NIEB_GRADO(op, at, a1, a2, a3, a4, margenA, etiquetasA, bt, b1, b2, b3, b4, margenB, etiquetasB, mucho)
Datum nieb_grado(PG_FUNCTION_ARGS)
{
    Argumentos a;
    leer(fcinfo, "tddddddtddddddtd", &a);
    double r = 0;
    const Fallo f = grado(*exigirMemoria(fcinfo, "NIEB_GRADO"), a, &r);
    if (f != Fallo::Ninguno)
        fallo("NIEB_GRADO", f);
    if (std::isnan(r))
        PG_RETURN_NULL();
    PG_RETURN_FLOAT8(r);
}

// NIEB_GRADO3(modo, x, y, semejanzas): declared STRICT, so no argument is NULL here.
Datum nieb_grado3(PG_FUNCTION_ARGS)
{
    Argumentos a;
    leer(fcinfo, "tttt", &a);
    double r = 0;
    const Fallo f = grado3(*exigirMemoria(fcinfo, "NIEB_GRADO3"), a, &r);
    if (f != Fallo::Ninguno)
        fallo("NIEB_GRADO3", f);
    PG_RETURN_FLOAT8(r);
}

// NIEB_TEXTO(xt, x1, x2, x3, x4, etiquetas)
Datum nieb_texto(PG_FUNCTION_ARGS)
{
    if (PG_ARGISNULL(0))
        PG_RETURN_NULL();
    Argumentos a;
    leer(fcinfo, "dddddt", &a);
    Memoria* m = exigirMemoria(fcinfo, "NIEB_TEXTO");
    Fallo f;
    const bool hay = texto(*m, a, &f);
    if (f != Fallo::Ninguno)
        fallo("NIEB_TEXTO", f);
    if (!hay)
        PG_RETURN_NULL();
    PG_RETURN_TEXT_P(cstring_to_text_with_len(m->salida.data(), static_cast<int>(m->salida.size())));
}

Datum nieb_menor(PG_FUNCTION_ARGS)
{
    return extremo(fcinfo, -1);
}

Datum nieb_mayor(PG_FUNCTION_ARGS)
{
    return extremo(fcinfo, 1);
}

Datum nieb_pkg_nieb2sql(PG_FUNCTION_ARGS)
{
    return paquete(fcinfo, "NIEB2SQL", "t");
}

Datum nieb_pkg_nieb_obj(PG_FUNCTION_ARGS)
{
    return paquete(fcinfo, "NIEB_OBJ", "tt");
}

Datum nieb_pkg_nieb_col(PG_FUNCTION_ARGS)
{
    return paquete(fcinfo, "NIEB_COL", "ttt");
}

Datum nieb_pkg_nieb_ftype(PG_FUNCTION_ARGS)
{
    return paquete(fcinfo, "NIEB_FTYPE", "ii");
}

Datum nieb_pkg_nieb_fin(PG_FUNCTION_ARGS)
{
    paquete(fcinfo, "NIEB_FIN", "");
    PG_RETURN_VOID();
}

} // extern "C"
