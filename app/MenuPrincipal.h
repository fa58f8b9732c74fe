#pragma once

#include <QList>
#include <QString>

class QMenuBar;
class QToolBar;

// The main window's menu bar and toolbar, built from fixed tables. Every menu, entry and separator
// gets its table name as its object name; every toolbar button's action gets its key.
namespace MenuPrincipal {

// A toolbar button and the menu entry whose command it runs.
struct BotonBarra {
    QString clave;
    QString consejo; // tool tip
    QString entrada; // menu entry
};

// The buttons in order; an entry with an empty key is a separator.
const QList<BotonBarra>& botones();

void construirMenus(QMenuBar* barra);
void construirBarra(QToolBar* barra);

} // namespace MenuPrincipal
