#pragma once

struct sqlite3;

namespace nieb {

// Registers the fuzzy functions the translated SQL calls:
//   NIEB_GRADO(op, at, a1, a2, a3, a4, margenA, etiquetasA, bt, b1, b2, b3, b4, margenB, etiquetasB, mucho)
//     the degree of "A op B" for values of types 1 and 2 given as kind code and points (a type-1 value
//     is kind 3 with its number in the first point); labels (kind 4) are looked up in the label table
//     passed as text; NULL is SQL NULL.
//   NIEB_GRADO3(modo, x, y, semejanzas): the degree of a type-3 comparison, modo 'P' or 'N'.
//   NIEB_TEXTO(xt, x1, x2, x3, x4, etiquetas): the text a type-2 value is shown as.
// The label and similarity tables are constant in a statement and are decoded once per statement.
void registrarFuncionesDifusas(sqlite3* db);

} // namespace nieb
