#pragma once

#include <QString>

// Query files: plain text, the editor's whole text, lines ended by CR LF.
namespace FicheroConsulta {

// Files longer than this are no queries and are not read.
inline constexpr qint64 tamanoMaximo = 32768;

struct Lectura {
    enum class Estado { Leido, DemasiadoGrande, Ilegible };
    Estado estado = Estado::Ilegible;
    QString texto;     // the text, with lines ended by "\n"
    qint64 tamano = 0; // size in bytes, when known
};

// Reads a query file. Never reads more than one byte past the limit, so a device or pipe given as
// a file name cannot make it read forever. A file with NUL bytes or other control characters is no
// text and reads as unreadable.
Lectura leer(const QString& ruta);

struct Escritura {
    bool hecha = false;
    QString error; // why not, as the system tells it
};

// Writes the text as a query file: UTF-8, lines ended by CR LF. A regular file is written to a new
// file in the same folder that replaces the old one only once it is complete, so a failed write
// (no access, disk full) leaves the old file as it was. A target that is no regular file (a device)
// is written in place.
Escritura escribir(const QString& ruta, const QString& texto);

// The bytes of a query file for a text whose lines end in "\n".
QByteArray codificar(const QString& texto);

// Text of a query file: UTF-8 when the bytes are valid UTF-8, else Windows-1252 (files written on
// the classic desktop); any line ending becomes "\n".
QString decodificar(const QByteArray& bytes);

} // namespace FicheroConsulta
