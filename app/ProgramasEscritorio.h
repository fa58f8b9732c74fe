#pragma once

#include "Lanzador.h"

#include <QAction>
#include <QDir>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// The desktop programs the client starts beside itself: the calculator, file manager and two text
// editors of the Herramientas menu, which the About box's read-me button also uses. Each is tried
// by its bare name on the search path first, then by a full path. Header only, so that windows
// outside the main window's library can start them too.
namespace ProgramasEscritorio {

// One way of starting a program, with the arguments it always takes.
struct Intento {
    QString programa;
    QStringList argumentos;
};

struct Herramienta {
    QString entrada; // object name of its menu entry
    Intento nombre;  // bare name, found on the search path
    Intento ruta;    // full path, when the bare name fails
    QString mensaje; // shown when both fail
};

inline const QString tituloNoEncontrado = QStringLiteral("Programa no encontrado");
inline const QString blocDeNotas = QStringLiteral("mnuNotePad");

// The four tools in menu order.
inline const QList<Herramienta>& herramientas()
{
    static const QList<Herramienta> tabla{
        {QStringLiteral("mnuCalculadora"), {QStringLiteral("gnome-calculator"), {}},
            {QStringLiteral("/usr/bin/xcalc"), {}}, QStringLiteral("No he podido ejecutar la calculadora.")},
        {QStringLiteral("mnuExplorer"), {QStringLiteral("xdg-open"), {QDir::homePath()}},
            {QStringLiteral("/usr/bin/nautilus"), {QDir::homePath()}},
            QStringLiteral("No he podido ejecutar el Explorador de ficheros.")},
        {QStringLiteral("mnuWordPad"), {QStringLiteral("abiword"), {}},
            {QStringLiteral("/usr/bin/libreoffice"), {QStringLiteral("--writer")}},
            QStringLiteral("No he podido ejecutar el editor WordPad.")},
        {blocDeNotas, {QStringLiteral("gedit"), {}}, {QStringLiteral("/usr/bin/mousepad"), {}},
            QStringLiteral("No he podido ejecutar el editor Bloc de notas.")},
    };
    return tabla;
}

// The tool of a menu entry, or nullptr.
inline const Herramienta* herramienta(const QString& entrada)
{
    for (const Herramienta& h : herramientas()) {
        if (h.entrada == entrada)
            return &h;
    }
    return nullptr;
}

// Starts the tool by its bare name, else by its full path. Whether either start succeeded.
inline bool iniciar(Lanzador& programas, const Herramienta& h)
{
    return programas.iniciar(h.nombre.programa, h.nombre.argumentos)
        || programas.iniciar(h.ruta.programa, h.ruta.argumentos);
}

// Disables a menu entry of the main window by its name, for the rest of the run: a tool that could
// not be started is not offered again.
inline void deshabilitar(QObject* ventanaPrincipal, const QString& entrada)
{
    if (auto* accion = ventanaPrincipal ? ventanaPrincipal->findChild<QAction*>(entrada) : nullptr)
        accion->setEnabled(false);
}

} // namespace ProgramasEscritorio
