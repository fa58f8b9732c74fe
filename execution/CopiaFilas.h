#pragma once

#include "AlmacenFilas.h"
#include "FuenteFila.h"

#include <QString>

#include <string>
#include <vector>

// Appends a result's rows to the grid's store as the grid shows them: the row number in front, NULL
// as its name, a blob as X'HEX', texts that are not UTF-8 with their bad bytes replaced and, when
// ponerCero, a text that begins with "," or "." and a digit with a "0" in front. Cells that need no
// change go from the source to the store in one copy; nothing is allocated per cell.
// It also notes the widest value of each column, for the columns' widths.
class CopiaFilas {
public:
    CopiaFilas(filas::AlmacenFilas& destino, int columnas, bool ponerCero);

    // Appends `fila` (columnas cells) numbered `numero`.
    void anadir(const filas::FuenteFila& fila, qint64 numero);
    // Display size (characters, up to 4000) of the widest value copied to that column (from 0), when
    // it reached the width that widens a column; 0 otherwise.
    int anchoVisto(int columna) const { return m_vistos[size_t(columna)]; }

    static constexpr int anchoQueCuenta = 1000;

    // A cell text that begins with "," or "." and a digit gets a "0" in front.
    static QString ponerCero(const QString& texto);

private:
    class Fila;

    filas::AlmacenFilas& m_destino;
    bool m_ponerCero;
    std::vector<std::string> m_cambiadas; // per column, the text of a cell that had to change
    std::vector<int> m_vistos;
};
