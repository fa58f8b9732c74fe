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

// One row of a store, read as a source.
class FilaDeAlmacen final : public FuenteFila {
public:
    FilaDeAlmacen(const AlmacenFilas& almacen, qint64 fila)
        : a_(almacen)
        , f_(fila)
    {
    }
    int columnas() const override { return a_.columnas(); }
    TipoCelda tipo(int c) const override { return a_.tipo(f_, c); }
    qint64 entero(int c) const override { return a_.entero(f_, c); }
    double real(int c) const override { return a_.real(f_, c); }
    std::string_view bytes(int c) const override
    {
        const TipoCelda t = a_.tipo(f_, c);
        return t == TipoCelda::Texto || t == TipoCelda::Blob ? a_.bytes(f_, c) : std::string_view();
    }

private:
    const AlmacenFilas& a_;
    qint64 f_;
};

} // namespace filas
