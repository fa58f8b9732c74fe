#pragma once

#include "Rejilla.h"

#include <QPainter>

namespace rejilla {

// Draws a part of a grid: the given rows and columns at their pixel positions, with merging,
// alignments, text styles and grid lines. The screen and the picture of the whole table share it.
class PintorRejilla {
public:
    using Tramo = Rejilla::Tramo;
    struct Opciones {
        bool seleccion = false;  // highlight the selection and mark the current cell
        bool monocromo = false;  // black on white, for the monochrome picture
    };

    PintorRejilla(const Rejilla& rejilla, Opciones opciones);
    void pintar(QPainter& p, const std::vector<Tramo>& filas, const std::vector<Tramo>& columnas) const;

private:
    struct Zona {
        int f0, f1, c0, c1; // positions in the row and column lists
    };
    void pintarZona(QPainter& p, const Zona& z, const std::vector<Tramo>& filas, const std::vector<Tramo>& columnas) const;
    void pintarTexto(QPainter& p, const QRect& r, const QString& texto, int flags, int estilo, const QColor& color) const;
    void pintarLineas(QPainter& p, const QRect& r, int lineas) const;
    QColor color(quint32 valor) const;

    const Rejilla& g_;
    Opciones o_;
};

} // namespace rejilla
