#pragma once

#include <QtGlobal>

#include <string_view>

namespace filas {

// True when `bytes` is well-formed UTF-8: no stray or missing continuation bytes, overlong forms,
// surrogates or values past U+10FFFF. Such text is what QString::fromUtf8 reads without a U+FFFD.
bool esUtf8Valido(std::string_view bytes);

// The number of UTF-16 units (QString::size()) of well-formed UTF-8, without decoding it.
qsizetype longitudUtf16(std::string_view utf8);

} // namespace filas
