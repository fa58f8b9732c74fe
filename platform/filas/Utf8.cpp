#include "Utf8.h"

#include <cstdint>
#include <cstring>

namespace filas {

namespace {

constexpr std::uint64_t BitsAltos = 0x8080808080808080ULL;

// Index of the first byte at or after `i` that is not ASCII, read eight bytes at a time.
size_t saltarAscii(const unsigned char* p, size_t n, size_t i)
{
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, sizeof w);
        if (w & BitsAltos)
            break;
    }
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

bool continuacion(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

} // namespace

bool esUtf8Valido(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while ((i = saltarAscii(p, n, i)) < n) {
        const unsigned char b = p[i];
        size_t largo;
        unsigned char min2 = 0x80, max2 = 0xBF; // the range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            largo = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            largo = 3;
            if (b == 0xE0)
                min2 = 0xA0; // overlong below U+0800
            else if (b == 0xED)
                max2 = 0x9F; // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            largo = 4;
            if (b == 0xF0)
                min2 = 0x90; // overlong below U+10000
            else if (b == 0xF4)
                max2 = 0x8F; // past U+10FFFF
        } else {
            return false; // a continuation byte, an overlong C0/C1 lead or F5..FF
        }
        if (n - i < largo || p[i + 1] < min2 || p[i + 1] > max2)
            return false;
        for (size_t k = 2; k < largo; ++k)
            if (!continuacion(p[i + k]))
                return false;
        i += largo;
    }
    return true;
}

qsizetype longitudUtf16(std::string_view utf8)
{
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t n = utf8.size();
    qsizetype unidades = 0;
    size_t i = 0;
    while (true) {
        const size_t ascii = saltarAscii(p, n, i);
        unidades += qsizetype(ascii - i);
        i = ascii;
        if (i >= n)
            return unidades;
        // A lead byte: one unit per character, two for those past U+FFFF.
        if (!continuacion(p[i]))
            unidades += p[i] >= 0xF0 ? 2 : 1;
        ++i;
    }
}

} // namespace filas
