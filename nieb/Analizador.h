#pragma once

#include "Sintaxis.h"

#include <string_view>

namespace nieb {

// Deepest nesting the parser follows. Each parenthesis, subquery, NOT, sign or FROM item nested in
// another counts one level (a subquery counts two: the query and its parentheses). Deeper input is
// reported and not parsed further, so no input can exhaust the stack.
inline constexpr int profundidadMaxima = 200;

// Tokenizes and parses a NIEB query: a query expression, one optional ';', the end. Every lexical and
// syntax error found in one pass goes to Arbol::errores (after an error the parser resumes at the next
// clause keyword or closing parenthesis). The tree is complete even then: a part that could not be read
// is an erroneous node. The tree keeps views into `fuente`, which must outlive it.
//
// Checked here as well, since they need only the text: a trapezoid has four points in order, an
// interval's ends are in order, a THOLD threshold lies in [0, 1], CDEG appears only in a select list or
// an ORDER BY, and conditions and values each stand where the grammar wants them.
Arbol analizar(std::string_view fuente);

} // namespace nieb
