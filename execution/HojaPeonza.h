#pragma once

#include <QImage>
#include <QPixmap>

// The busy window's animation: a spinning top drawn by the program in 18 frames, laid out as one
// 16-colour picture of 393 x 182 pixels cut into 3 rows by 6 columns of cells.
namespace HojaPeonza {

inline constexpr int ancho = 393;
inline constexpr int alto = 182;
inline constexpr int filas = 3;
inline constexpr int columnas = 6;
inline constexpr int celdas = filas * columnas;

// The whole picture, drawn once.
const QImage& hoja();
// Cell k (0 to 17), counted row by row from the top left. Every cell has the same size: the picture
// divided by the number of columns and rows, the remainder dropped.
QPixmap celda(int k);
QSize tamanoCelda();

} // namespace HojaPeonza
