#pragma once

#include "FuenteFila.h"

#include <QStringList>

namespace db {

// Takes the rows of a query one at a time, as the backend steps them; the backend keeps none.
class LectorFilas {
public:
    virtual ~LectorFilas() = default;
    // Once, after the first step succeeded (so before the first row, also when there are none).
    virtual void empezar(const QStringList& nombres) = 0;
    // One row; its cells are valid only during the call.
    virtual void fila(const filas::FuenteFila& fila) = 0;
};

} // namespace db
