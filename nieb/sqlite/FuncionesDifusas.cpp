#include "FuncionesDifusas.h"

#include "GradosDifusos.h"
#include "Nombres.h"
#include "ValoresTexto.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cctype>
#include <string>
#include <unordered_map>

namespace nieb {

namespace {

std::string_view texto(sqlite3_value* v)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? std::string_view(p, static_cast<size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

std::optional<double> numero(sqlite3_value* v)
{
    if (sqlite3_value_type(v) == SQLITE_NULL)
        return std::nullopt;
    return sqlite3_value_double(v);
}

// A constant table argument, decoded on first use in a statement and kept by SQLite until the
// statement ends.
template <typename T, typename Decodificar>
const T& tablaConstante(sqlite3_context* ctx, sqlite3_value** argv, int i, Decodificar decodificar)
{
    if (auto* guardada = static_cast<T*>(sqlite3_get_auxdata(ctx, i)))
        return *guardada;
    auto* nueva = new T(decodificar(texto(argv[i])));
    sqlite3_set_auxdata(ctx, i, nueva, [](void* p) { delete static_cast<T*>(p); });
    if (auto* guardada = static_cast<T*>(sqlite3_get_auxdata(ctx, i)))
        return *guardada;
    // SQLite could not keep it (the argument is not constant): decode it for this row only.
    static thread_local T deEstaFila;
    deEstaFila = decodificar(texto(argv[i]));
    return deEstaFila;
}

using Etiquetas = std::vector<EtiquetaCodificada>;

// A kind code: an integer, or a real with an integral value. Text or a fraction is no kind (the
// translated SQL compares kinds as numbers and would not take it either).
std::optional<long long> clase(sqlite3_value* v)
{
    if (sqlite3_value_type(v) == SQLITE_INTEGER)
        return sqlite3_value_int64(v);
    if (sqlite3_value_type(v) == SQLITE_FLOAT) {
        const double x = sqlite3_value_double(v);
        if (x == std::floor(x) && std::fabs(x) < 1e18)
            return static_cast<long long>(x);
    }
    return std::nullopt;
}

// The value in argv[i..i+6]: kind, four points, margin, labels. nullopt is NULL.
std::optional<ValorDifuso> valor(sqlite3_context* ctx, sqlite3_value** argv, int i)
{
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
        return nulo();
    const auto tipo = clase(argv[i]);
    if (!tipo)
        return std::nullopt;
    if (tipo == 4) {
        const auto id = numero(argv[i + 1]);
        const auto& etiquetas = tablaConstante<Etiquetas>(ctx, argv, i + 6, decodificarEtiquetas);
        const auto e = std::ranges::find_if(
            etiquetas, [&](const EtiquetaCodificada& e) { return id && static_cast<double>(e.id) == *id; });
        if (e == etiquetas.end())
            return std::nullopt;
        return definido(e->t);
    }
    const FilaTipo2 fila{tipo, numero(argv[i + 1]), numero(argv[i + 2]), numero(argv[i + 3]), numero(argv[i + 4])};
    return decodificarTipo2(fila, numero(argv[i + 5]).value_or(0));
}

void resultado(sqlite3_context* ctx, std::optional<double> g)
{
    if (g)
        sqlite3_result_double(ctx, *g);
    else
        sqlite3_result_null(ctx);
}

void nieb_grado(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const auto op = leerComparador(texto(argv[0]));
    if (!op) {
        sqlite3_result_error(ctx, "NIEB_GRADO: comparador desconocido", -1);
        return;
    }
    const auto a = valor(ctx, argv, 1);
    const auto b = valor(ctx, argv, 8);
    if (!a || !b) {
        sqlite3_result_null(ctx);
        return;
    }
    resultado(ctx, grado(*op, *a, *b, numero(argv[15]).value_or(0)));
}

// A type-3 similarity relation keyed by both labels in capitals, in both orders.
struct TablaSemejanzas {
    std::unordered_map<std::string, double> grados;
    static std::string clave(std::string_view a, std::string_view b)
    {
        return etiquetaEnMayusculas(a) + '\0' + etiquetaEnMayusculas(b);
    }
};

TablaSemejanzas leerSemejanzas(std::string_view texto)
{
    TablaSemejanzas t;
    for (const auto& s : decodificarSemejanzas(texto)) {
        t.grados.emplace(TablaSemejanzas::clave(s.a, s.b), s.grado);
        t.grados.emplace(TablaSemejanzas::clave(s.b, s.a), s.grado);
    }
    return t;
}

void nieb_grado3(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool necesidad = mismoNombre(texto(argv[0]), "N");
    const auto x = texto(argv[1]), y = texto(argv[2]);
    if (mismoNombre(x, "UNDEFINED") || mismoNombre(y, "UNDEFINED"))
        sqlite3_result_double(ctx, 0);
    else if (mismoNombre(y, "UNKNOWN"))
        sqlite3_result_double(ctx, 1);
    else if (mismoNombre(x, "UNKNOWN"))
        sqlite3_result_double(ctx, necesidad ? 0 : 1);
    else if (mismaEtiqueta(x, y))
        sqlite3_result_double(ctx, 1);
    else {
        const auto& tabla = tablaConstante<TablaSemejanzas>(ctx, argv, 3, leerSemejanzas);
        const auto s = tabla.grados.find(TablaSemejanzas::clave(x, y));
        sqlite3_result_double(ctx, s == tabla.grados.end() ? 0 : s->second);
    }
}

void nieb_texto(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto tipo = clase(argv[0]);
    if (!tipo) {
        sqlite3_result_null(ctx);
        return;
    }
    const FilaTipo2 fila{*tipo, numero(argv[1]), numero(argv[2]), numero(argv[3]), numero(argv[4])};
    const auto t = textoTipo2(fila, tablaConstante<Etiquetas>(ctx, argv, 5, decodificarEtiquetas));
    if (t)
        sqlite3_result_text(ctx, t->data(), static_cast<int>(t->size()), SQLITE_TRANSIENT);
    else
        sqlite3_result_null(ctx);
}

} // namespace

void registrarFuncionesDifusas(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "NIEB_GRADO", 16, flags, nullptr, nieb_grado, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "NIEB_GRADO3", 4, flags, nullptr, nieb_grado3, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "NIEB_TEXTO", 6, flags, nullptr, nieb_texto, nullptr, nullptr, nullptr);
}

} // namespace nieb
