#pragma once

#include <QString>

// Writing the program's one-line text files.
namespace FicheroTexto {

// Writes `texto` as one line, 8-bit in the platform's code page and ended by CR LF, replacing the
// file as a whole or not at all. Returns the reason of a
// failure, empty when written.
QString escribirLinea(const QString& ruta, const QString& texto);

} // namespace FicheroTexto
