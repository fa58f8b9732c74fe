#pragma once

// Degrees of the fuzzy comparators: how well a stored value A satisfies "A op B". Every degree is worked
// out exactly from the breakpoints of the two membership functions and the crossings of their ramps, so a
// query gives the same ranking on every backend. Called once per row: no allocation, no sampling.

#include <optional>
#include <string_view>

namespace nieb {

// A trapezoidal possibility distribution, a <= b <= c <= d. Membership is 1 on [b, c] (a vertical edge,
// a = b or c = d, belongs to the core), rises on (a, b), falls on (c, d) and is 0 elsewhere. An infinite
// end stretches that side out for good: (-inf, -inf, c, d) is "at most about c..d".
struct Trapecio {
    double a, b, c, d;
    friend bool operator==(const Trapecio&, const Trapecio&) = default;
};

enum class Clase {
    Desconocido, // UNKNOWN: applicable, any value possible
    Indefinido,  // UNDEFINED: not applicable
    Nulo,        // NULL: total ignorance
    Definido     // a trapezoid
};

struct ValorDifuso {
    Clase clase;
    Trapecio t; // meaningful only for Clase::Definido
};

enum class Comparador { FEQ, FGEQ, FGT, FLEQ, FLT, MGT, MLT };

// Possibility: FEQ, FGT, ..., MGT, MLT. Necessity: NFEQ, NFGT, ..., NMGT, NMLT.
enum class Modo { Posibilidad, Necesidad };

struct OperadorDifuso {
    Comparador comparador;
    Modo modo;
    friend bool operator==(const OperadorDifuso&, const OperadorDifuso&) = default;
};

// Degree of "a op b": a is the row's value, b the constant or the other attribute's value in the row,
// mucho the column's "much" distance (used by MGT and MLT only). std::nullopt is SQL NULL: a NULL on
// either side, an invalid trapezoid (points out of order or NaN) or a negative/NaN much distance. An
// UNDEFINED on either side gives 0, and so does a trapezoid with no finite point possible, such as
// (5, +inf, +inf, +inf). An UNKNOWN on the right admits every value, whatever the comparator.
std::optional<double> grado(Comparador, Modo, const ValorDifuso& a, const ValorDifuso& b, double mucho);

inline std::optional<double> grado(OperadorDifuso op, const ValorDifuso& a, const ValorDifuso& b, double mucho)
{
    return grado(op.comparador, op.modo, a, b, mucho);
}

// "FEQ", "nfgt", "Mlt", ... (ASCII, any case). std::nullopt for anything else.
std::optional<OperadorDifuso> leerComparador(std::string_view nombre);
// The upper-case name: "NFGEQ" for (FGEQ, Necesidad).
std::string_view nombreComparador(Comparador, Modo);

constexpr ValorDifuso desconocido()
{
    return {Clase::Desconocido, {}};
}
constexpr ValorDifuso indefinido()
{
    return {Clase::Indefinido, {}};
}
constexpr ValorDifuso nulo()
{
    return {Clase::Nulo, {}};
}
constexpr ValorDifuso definido(Trapecio t)
{
    return {Clase::Definido, t};
}
constexpr ValorDifuso nitido(double x)
{
    return definido({x, x, x, x});
}
constexpr ValorDifuso intervalo(double n, double m)
{
    return definido({n, n, m, m});
}
constexpr ValorDifuso aproximado(double n, double margen)
{
    return definido({n - margen, n, n, n + margen});
}

// A type-2 value as stored: kind code XT and points X1..X4, std::nullopt for SQL NULL. Kinds: 0 UNKNOWN,
// 1 UNDEFINED, 2 NULL, 3 crisp X1, 4 label, 5 interval [X1, X2], 6 approximately X1 (margen is the
// column's margin), 7 trapezoid X1..X4. A NULL XT is NULL; points a kind does not use are ignored.
// Labels (kind 4) are looked up by the caller among the column's labels (X1 is the label's id), which
// then passes definido(label's trapezoid).
// std::nullopt means the row cannot be read: an unknown kind, kind 4, a missing or non-finite point,
// points out of order, a negative or non-finite margin. The evaluator counts such a row as NULL, so the
// condition fails for it; a consistency check can report it instead.
struct FilaTipo2 {
    std::optional<long long> xt;
    std::optional<double> x1, x2, x3, x4;
};
std::optional<ValorDifuso> decodificarTipo2(const FilaTipo2& fila, double margen);

} // namespace nieb
