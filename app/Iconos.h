#pragma once
#include <QIcon>
#include <QPixmap>
#include <QString>

// Pictures drawn by the program itself, so that it needs no image files.
namespace Iconos {
// Icon for a main-toolbar button, by its key; a null QIcon for an unknown key.
QIcon botonBarra(const QString& clave);
// The connection indicator: 34 x 34 pixels; a connected picture and a not-connected picture.
QPixmap conexion(bool conectado);
// The program's window icon: a small cloud (Nimbo = nimbus cloud).
QIcon aplicacion();
} // namespace Iconos
