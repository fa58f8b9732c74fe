#pragma once

#include <QList>
#include <QString>

class EditorConsulta;
class QMenu;

// The Insertar menu: a palette of the NIEB language. Each entry types a fixed text where the caret
// stands; the template entries then select the part the user must replace. One table holds the
// menu tree and what each entry inserts, so that menu and behaviour cannot drift apart.
namespace Paleta {

struct Entrada {
    enum class Tipo { Submenu, Texto, Separador };
    Tipo tipo = Tipo::Texto;
    QString nombre; // object name of the menu or action
    QString padre;  // the menu it belongs to
    QString titulo; // caption as shown, runs of blanks included
    QString texto;  // what it inserts
    // A template selects, afterwards, seleccion characters starting retroceso characters before the caret.
    int retroceso = 0;
    int seleccion = 0;
};

// The rows in menu order, below the menu "mnuInsertar".
const QList<Entrada>& entradas();

// Fills the Insertar menu with its submenus, separators and entries.
void construirMenu(QMenu* insertar);

// Replaces the editor's selection by the entry's text and selects its placeholder, if it has one.
void insertar(EditorConsulta* editor, const Entrada& entrada);

} // namespace Paleta
