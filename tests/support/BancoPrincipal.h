#pragma once

// One run of the program against fake surroundings: settings, files and the printer's PDF in a
// temporary folder, dialogs and message boxes answering from scripts.
#include "FakePlatform.h"
#include "Main.h"
#include "Module1.h"
#include "frmMain.h"

#include <QAction>
#include <QFile>

struct BancoPrincipal {
    FakePlatform plataforma;
    Platform servicios = plataforma.servicios();
    Module1 estado;
    std::unique_ptr<frmMain> ventana;

    frmMain& arrancar(const QStringList& argumentos = {})
    {
        ventana = Arrancar(estado, servicios, argumentos);
        return *ventana;
    }
    // Settings as a user might have left them, before the program starts.
    void ajustar(const QByteArray& seccion)
    {
        QFile fichero(plataforma.rutaAjustes());
        if (!fichero.open(QIODevice::WriteOnly))
            qFatal("cannot write the settings");
        fichero.write("[Settings]\n" + seccion);
        fichero.close();
        plataforma.ajustes.guardar(); // the store takes in what was written behind its back
    }
    QString guardado(const QString& clave) const
    {
        return QSettingsStore(plataforma.rutaAjustes()).leer(clave, QStringLiteral("<ausente>"));
    }
    QString ruta(const QString& nombre) const { return plataforma.carpeta.filePath(nombre); }
    QString escribirFichero(const QString& nombre, const QByteArray& bytes)
    {
        const QString destino = ruta(nombre);
        QFile fichero(destino);
        if (!fichero.open(QIODevice::WriteOnly) || fichero.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(destino));
        return destino;
    }
    static QByteArray contenido(const QString& ruta)
    {
        QFile fichero(ruta);
        return fichero.open(QIODevice::ReadOnly) ? fichero.readAll() : QByteArray("<ilegible>");
    }
    // Runs a menu entry as the user would.
    void menu(const QString& entrada) { ventana->entradaMenu(entrada)->trigger(); }
};
