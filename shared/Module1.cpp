#include "Module1.h"

#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QPoint posicionCentrada(QSize pantalla, QSize ventana)
{
    // Halved with the fraction dropped towards zero, also when the window is larger than the screen.
    return {(pantalla.width() - ventana.width()) / 2, (pantalla.height() - ventana.height()) / 2};
}

void CentrarVentana(QWidget* ventana)
{
    const QScreen* pantalla = ventana->screen() ? ventana->screen() : QGuiApplication::primaryScreen();
    if (!pantalla)
        return;
    const QPoint destino = posicionCentrada(
        Twips::desdePixeles(pantalla->geometry().size()), Twips::desdePixeles(ventana->frameGeometry().size()));
    ventana->move(pantalla->geometry().topLeft() + Twips::aPixeles(destino));
}
