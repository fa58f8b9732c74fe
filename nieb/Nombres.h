#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// Names as SQL compares them: ASCII letters without regard to case.
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

} // namespace nieb
