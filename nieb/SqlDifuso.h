#pragma once

#include "GradosDifusos.h"

#include <string>
#include <string_view>
#include <utility>

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
std::string gradoNitido(OperadorDifuso op, const Trapecio& b, double mucho, const std::string& x);
// Where P's degree reaches the threshold (its support for a threshold of 0), infinite ends kept.
std::pair<double, double> corte(OperadorDifuso op, const Trapecio& b, double mucho, double umbral);
// A hair's breadth beside x, far above the rounding of the degree's arithmetic.
double holgura(double x);
// "x >= desde AND x <= hasta", leaving out an infinite end; empty when both are.
std::string rango(const std::string& x, double desde, double hasta);
// A logic function of the server ("LEAST (X,Y)") with X and Y put in.
std::string sustituir(std::string_view plantilla, const std::string& x, const std::string& y);

} // namespace nieb
