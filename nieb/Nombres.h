#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// Names as SQL compares them: ASCII letters without regard to case. Labels are compared without regard
// to case over Unicode (Pequeño, PEQUEÑO), see etiquetaEnMayusculas.
namespace nieb {

inline char mayuscula(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string mayusculas(std::string_view s)
{
    std::string r(s);
    std::ranges::transform(r, r.begin(), mayuscula);
    return r;
}

inline bool mismoNombre(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, {}, mayuscula, mayuscula);
}

// A label in capitals for comparing: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters
// are put in upper case; other characters and bytes that are not UTF-8 are kept as they are.
std::string etiquetaEnMayusculas(std::string_view s);

inline bool mismaEtiqueta(std::string_view a, std::string_view b)
{
    return etiquetaEnMayusculas(a) == etiquetaEnMayusculas(b);
}

} // namespace nieb
