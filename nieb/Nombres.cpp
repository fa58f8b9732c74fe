#include "Nombres.h"

namespace nieb {

namespace {

// The capital of a lower-case letter of the scripts a label is written in; other code points unchanged.
char32_t mayusculaUnicode(char32_t p)
{
    if (p >= 'a' && p <= 'z')
        return p - 0x20;
    if (p < 0xB5)
        return p;
    if (p == 0xB5)
        return 0x39C; // micro sign
    if ((p >= 0xE0 && p <= 0xFE && p != 0xF7))
        return p - 0x20;
    if (p == 0xFF)
        return 0x178;
    if (p >= 0x100 && p <= 0x17F) {
        // Latin Extended-A pairs capital and small letters, mostly capital first; three runs start small.
        const bool capitalImpar = (p >= 0x139 && p <= 0x148) || (p >= 0x179 && p <= 0x17E);
        if (p == 0x131 || p == 0x138 || p == 0x149 || p == 0x17F)
            return p == 0x17F ? 'S' : (p == 0x131 ? 'I' : p);
        if (capitalImpar)
            return (p % 2 == 0) ? p - 1 : p;
        return (p % 2 == 1) ? p - 1 : p;
    }
    if (p >= 0x3B1 && p <= 0x3C9 && p != 0x3C2)
        return p - 0x20;
    if (p == 0x3C2)
        return 0x3A3; // final sigma
    if (p >= 0x3AC && p <= 0x3AF)
        return p == 0x3AC ? 0x386 : p - 0x25;
    if (p == 0x3CC)
        return 0x38C;
    if (p == 0x3CD || p == 0x3CE)
        return p - 0x3F;
    if (p >= 0x430 && p <= 0x44F)
        return p - 0x20;
    if (p >= 0x450 && p <= 0x45F)
        return p - 0x50;
    return p;
}

void escribir(std::string& r, char32_t p)
{
    if (p < 0x80) {
        r += static_cast<char>(p);
    } else if (p < 0x800) {
        r += static_cast<char>(0xC0 | (p >> 6));
        r += static_cast<char>(0x80 | (p & 0x3F));
    } else {
        r += static_cast<char>(0xE0 | (p >> 12));
        r += static_cast<char>(0x80 | ((p >> 6) & 0x3F));
        r += static_cast<char>(0x80 | (p & 0x3F));
    }
}

} // namespace

std::string etiquetaEnMayusculas(std::string_view s)
{
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        if (b0 < 0x80) {
            r += mayuscula(static_cast<char>(b0));
            ++i;
            continue;
        }
        // Two- and three-byte sequences hold every letter changed above; anything else is copied.
        const auto b1 = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
        const auto b2 = i + 2 < s.size() ? static_cast<unsigned char>(s[i + 2]) : 0;
        if ((b0 & 0xE0) == 0xC0 && b0 >= 0xC2 && (b1 & 0xC0) == 0x80) {
            escribir(r, mayusculaUnicode(static_cast<char32_t>(((b0 & 0x1F) << 6) | (b1 & 0x3F))));
            i += 2;
        } else if ((b0 & 0xF0) == 0xE0 && (b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80) {
            r.append(s.substr(i, 3)); // no letter of the scripts above lies past U+07FF
            i += 3;
        } else {
            r += static_cast<char>(b0);
            ++i;
        }
    }
    return r;
}

} // namespace nieb
