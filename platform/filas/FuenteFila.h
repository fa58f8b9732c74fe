#pragma once

#include "AlmacenFilas.h"

#include <string_view>

namespace filas {

// One row as its producer (a database cursor, another store) holds it, read cell by cell without a
// copy. What bytes() returns stays valid until the row is left, also while other cells are read.
class FuenteFila {
public:
    virtual int columnas() const = 0;
    virtual TipoCelda tipo(int columna) const = 0;
    virtual qint64 entero(int columna) const = 0;
    virtual double real(int columna) const = 0;
    // UTF-8 of a text cell, the bytes of a blob; empty for the others.
    virtual std::string_view bytes(int columna) const = 0;

protected:
    ~FuenteFila() = default;
};

} // namespace filas
