#include "SqlDifuso.h"

#include "Lexico.h"
#include "ValoresTexto.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <vector>

namespace nieb {

namespace {
constexpr double infinito = std::numeric_limits<double>::infinity();
}

std::string nombreSql(std::string_view nombre)
{
    const bool simple = !nombre.empty() && !std::isdigit(static_cast<unsigned char>(nombre[0]))
        && std::ranges::all_of(nombre, [](unsigned char c) { return std::isalnum(c) || c == '_'; });
    if (simple)
        return std::string(nombre);
    std::string r = "\"";
    for (char c : nombre)
        r += c == '"' ? std::string("\"\"") : std::string(1, c);
    return r + '"';
}

std::string cadenaSql(std::string_view texto)
{
    std::string r = "'";
    for (char c : texto)
        r += c == '\'' ? std::string("''") : std::string(1, c);
    return r + '\'';
}

std::string numeroSql(double x)
{
    const std::string n = numeroExacto(x);
    return x < 0 ? "(" + n + ")" : n;
}

Trapecio predicado(OperadorDifuso op, const Trapecio& b, double mucho)
{
    switch (op.comparador) {
    case Comparador::FEQ: return b;
    case Comparador::FGEQ: return {b.a, b.b, infinito, infinito};
    case Comparador::FGT: return {b.c, b.d, infinito, infinito};
    case Comparador::FLEQ: return {-infinito, -infinito, b.c, b.d};
    case Comparador::FLT: return {-infinito, -infinito, b.a, b.b};
    case Comparador::MGT: return {b.d, b.d + mucho, infinito, infinito};
    case Comparador::MLT: return {-infinito, -infinito, b.a - mucho, b.a};
    }
    return b;
}

// The degree of a precise number x against the constant, written out in SQL: for a crisp value both
// possibility and necessity are P's membership at x, a CASE over P's pieces the database works out
// without calling a function. The strict comparators exclude their end point of a vertical edge.
std::string gradoNitido(OperadorDifuso op, const Trapecio& b, double mucho, const std::string& x)
{
    const Trapecio p = predicado(op, b, mucho);
    const bool sinIzquierda = op.comparador == Comparador::FGT || op.comparador == Comparador::MGT;
    const bool sinDerecha = op.comparador == Comparador::FLT || op.comparador == Comparador::MLT;
    std::vector<std::string> nucleo;
    if (!std::isinf(p.b))
        nucleo.push_back(x + (sinIzquierda && p.a == p.b ? " > " : " >= ") + numeroSql(p.b));
    if (!std::isinf(p.c))
        nucleo.push_back(x + (sinDerecha && p.c == p.d ? " < " : " <= ") + numeroSql(p.c));
    std::string sql = "CASE WHEN " + x + " IS NULL THEN NULL WHEN "
        + (nucleo.empty()            ? std::string("1")
                : nucleo.size() == 1 ? nucleo[0]
                                     : nucleo[0] + " AND " + nucleo[1])
        + " THEN 1";
    if (!std::isinf(p.a) && p.a < p.b)
        sql += " WHEN " + x + " > " + numeroSql(p.a) + " AND " + x + " < " + numeroSql(p.b) + " THEN (CAST(" + x
            + " AS REAL) - " + numeroSql(p.a) + ") / " + numeroSql(p.b - p.a);
    if (!std::isinf(p.d) && p.c < p.d)
        sql += " WHEN " + x + " > " + numeroSql(p.c) + " AND " + x + " < " + numeroSql(p.d) + " THEN (" + numeroSql(p.d)
            + " - CAST(" + x + " AS REAL)) / " + numeroSql(p.d - p.c);
    return sql + " ELSE 0 END";
}

std::pair<double, double> corte(OperadorDifuso op, const Trapecio& b, double mucho, double umbral)
{
    const Trapecio p = predicado(op, b, mucho);
    return {std::isinf(p.a) ? -infinito : p.a + umbral * (p.b - p.a),
        std::isinf(p.d) ? infinito : p.d - umbral * (p.d - p.c)};
}

double holgura(double x)
{
    return 1e-9 * std::max(1.0, std::fabs(x));
}

std::string rango(const std::string& x, double desde, double hasta)
{
    std::string r;
    if (!std::isinf(desde))
        r = x + " >= " + numeroSql(desde);
    if (!std::isinf(hasta))
        r += (r.empty() ? "" : " AND ") + x + " <= " + numeroSql(hasta);
    return r;
}

std::string sustituir(std::string_view plantilla, const std::string& x, const std::string& y)
{
    std::string r;
    for (const Token& t : tokenizar(plantilla)) {
        if (t.tipo == TipoToken::Identificador && (esPalabra(t, "X") || esPalabra(t, "Y")))
            r += "(" + (esPalabra(t, "X") ? x : y) + ")";
        else
            r += t.texto;
    }
    return r;
}

} // namespace nieb
