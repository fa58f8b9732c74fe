#pragma once

#include "AlmacenFilas.h"

#include <cstdint>
#include <vector>

namespace rejilla {

// Generic comparison of two cells: as numbers when both hold numbers (typed numbers, or texts that
// read as one), as text otherwise (UTF-8 bytes, which is code point order).
// Whether a text reads as a number: optional blanks and sign, digits with at most one decimal
// point or comma, an optional exponent. Sets *valor when it does.
bool leerNumero(std::string_view texto, double* valor);

// The order of rows desde..hasta (inclusive) of `celdas` under a generic sort on the key columns,
// compared left to right. Equal rows keep their order. The result is a list of absolute row
// numbers, ready for AlmacenFilas::permutar(desde, ...).
std::vector<qint64> ordenGenerico(
    const filas::AlmacenFilas& celdas, qint64 desde, qint64 hasta, const std::vector<int>& claves, bool descendente);

} // namespace rejilla
