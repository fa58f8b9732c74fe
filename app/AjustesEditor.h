#pragma once

#include "ColorValue.h"

#include <QPoint>
#include <QString>

class SettingsStore;

// How the query editor's text looks: it is always formatted as a whole.
struct AparienciaEditor {
    quint32 colorTexto = ColorValue::textoVentana;
    quint32 colorFondo = ColorValue::fondoVentana;
    QString fuente = QStringLiteral("MS Sans Serif");
    double tamano = 8;
    bool negrita = false;
    bool cursiva = false;
    bool tachado = false;
    bool subrayado = false;

    bool operator==(const AparienciaEditor&) const = default;
};

// The main window's settings kept between runs: the editor's appearance and the window's position.
// Every value is stored as text; a value that is absent, or that cannot be read as its type because
// it was edited by hand, gives that key's default.
namespace AjustesEditor {

// Position of the main window's top left corner in twips; 1000, 1000 when not stored.
QPoint leerPosicion(const SettingsStore& ajustes);
void escribirPosicion(SettingsStore& ajustes, QPoint twips);

AparienciaEditor leerApariencia(const SettingsStore& ajustes);
void escribirApariencia(SettingsStore& ajustes, const AparienciaEditor& apariencia);

// A stored truth value is false when its text begins with an upper-case F ("False", "Falso") and
// true for any other text.
bool leerVerdad(const QString& texto, bool porDefecto);

} // namespace AjustesEditor
