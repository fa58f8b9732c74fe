#include "PunteroPantalla.h"

#include <QCursor>
#include <QGuiApplication>

namespace PunteroPantalla {

namespace {
Forma g_forma = Normal;
}

void poner(Forma forma)
{
    if (forma == g_forma)
        return;
    const Qt::CursorShape figura = forma == Reloj ? Qt::WaitCursor : Qt::BusyCursor;
    if (forma == Normal)
        QGuiApplication::restoreOverrideCursor();
    else if (g_forma == Normal)
        QGuiApplication::setOverrideCursor(figura);
    else
        QGuiApplication::changeOverrideCursor(figura);
    g_forma = forma;
}

Forma actual()
{
    return g_forma;
}

} // namespace PunteroPantalla
