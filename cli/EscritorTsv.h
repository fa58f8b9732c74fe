#pragma once

#include "LectorFilas.h"

#include <QTextStream>

#include <functional>
#include <string>
#include <string_view>

namespace cli {

// Writes a query's rows as they are stepped, as tab-separated UTF-8 text under a header line of the
// column names: NULL as "NULL", reals in the shortest form that reads back the same, blobs as X'HEX';
// tabs, line breaks and backslashes inside values as \t, \n, \r and \\ so every row stays one line.
// Text that is not valid UTF-8 is written with U+FFFD for the bad bytes. Lines are gathered in a
// buffer and handed to `escribir` in blocks of whole lines; nothing else is kept.
class EscritorTsv final : public db::LectorFilas {
public:
    using Escribir = std::function<void(std::string_view)>;
    explicit EscritorTsv(Escribir escribir);

    void empezar(const QStringList& nombres) override;
    void fila(const filas::FuenteFila& fila) override;
    // Hands over what is still in the buffer.
    void terminar();

    // Where the lines of `salida` go: straight to its file descriptor when it writes to a file
    // (throwing std::runtime_error when a write fails), else through the stream.
    static Escribir hacia(QTextStream& salida);

private:
    void celda(const filas::FuenteFila& fila, int columna);
    void texto(std::string_view utf8);

    Escribir escribir_;
    std::string buffer_;
};

} // namespace cli
