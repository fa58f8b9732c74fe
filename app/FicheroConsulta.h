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
// a file name cannot make it read forever.
Lectura leer(const QString& ruta);

// Text of a query file: UTF-8 when the bytes are valid UTF-8, else Windows-1252 (files written on
// the classic desktop); any line ending becomes "\n".
QString decodificar(const QByteArray& bytes);

} // namespace FicheroConsulta
