#pragma once

#include "GradosDifusos.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Pieces of the SQL the translator writes: names, literals, and the crisp forms of fuzzy conditions.
namespace nieb {

// A column name, quoted only when it must be.
std::string nombreSql(std::string_view nombre);
std::string cadenaSql(std::string_view texto);
// A number in its shortest exact form; a negative one in parentheses, so that no two minus signs
// ever meet.
std::string numeroSql(double x);

// The predicate P a comparator derives from the constant b (its possibility and necessity share it).
Trapecio predicado(OperadorDifuso op, const Trapecio& b, double mucho);
// The degree of the precise number x (an SQL expression) against the constant, as a CASE over P's pieces.
// `tipoReal` is the database's name of a double-precision type, which x is cast to for the ramps.
std::string gradoNitido(
    OperadorDifuso op, const Trapecio& b, double mucho, const std::string& x, std::string_view tipoReal = "REAL");
// Where P's degree reaches the threshold (its support for a threshold of 0), infinite ends kept.
std::pair<double, double> corte(OperadorDifuso op, const Trapecio& b, double mucho, double umbral);
// A hair's breadth beside x, far above the rounding of the degree's arithmetic.
double holgura(double x);
// True when every SQL database reads back exactly the double that numeroSql writes for x: below 2^53,
// with at most 15 significant digits in its exact decimal form (62.5, 0.25 or 40, not 0.1).
bool numeroSeguro(double x);
// The cut as the degree function draws it: [desde, hasta], infinite where a side has no end, such that a
// precise finite number x meets the threshold (degree >= umbral, or > 0 without one) exactly when
// desde <= x <= hasta. nullopt unless the constant, the much distance, the threshold and both finite
// ends are numbers the database reads exactly, so that SQL comparing with them decides as the function
// would on the same row.
std::optional<std::pair<double, double>> corteExacto(
    OperadorDifuso op, const Trapecio& b, double mucho, std::optional<double> umbral);
// The constant's trapezoid, the predicate's points and every number a fuzzy condition derives from them
// are finite (apart from the predicate's deliberately infinite ends).
bool calculable(OperadorDifuso op, const Trapecio& b, double mucho, double margen);
// "x >= desde AND x <= hasta", leaving out an infinite end; empty when both are.
std::string rango(const std::string& x, double desde, double hasta);
// A logic function of the server ("LEAST (X,Y)") with X and Y put in.
std::string sustituir(std::string_view plantilla, const std::string& x, const std::string& y);

// How CDEG combines degrees for NOT, AND and OR.
enum class OperadorLogico { No, Y, O };
struct Logica {
    std::string plantilla; // an expression over X (and Y): "1 - X", "LEAST (X,Y)", "X * Y"
    std::string variadica; // the function's name when it takes any number of arguments: "LEAST"
};
// 1 - X, LEAST (X,Y), GREATEST (X,Y).
Logica logicaPorDefecto(OperadorLogico op);
// A NIEB_OPTIONS value: a function name ("MIN": MIN (X,Y), or MIN (X) for NOT) or an expression made of
// X, Y (only X for NOT; both for AND and OR), numbers, + - * /, parentheses and calls of the database's
// arithmetic functions. nullopt for anything else, which must never reach the SQL.
std::optional<Logica> leerLogicaOpcion(OperadorLogico op, std::string_view valor);
// The degrees combined with an AND or OR function: flat calls of at most 100 arguments for a variadic
// function, a balanced tree of the expression otherwise; nesting stays logarithmic in the count.
std::string combinar(const Logica& logica, const std::vector<std::string>& grados);

} // namespace nieb
