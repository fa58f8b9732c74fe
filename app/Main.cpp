#include "Main.h"

#include "DocumentoConsulta.h"
#include "EnlaceEjecucion.h"
#include "EnlaceHerramientas.h"
#include "EnlaceSGBD.h"
#include "Module1.h"
#include "Platform.h"
#include "frmMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

std::unique_ptr<frmMain> Arrancar(Module1& estado, const Platform& plataforma, const QStringList& argumentos)
{
    estado.VerTablaActiva = true;
    estado.PonerCeroAuto = true;

    auto principal = std::make_unique<frmMain>(estado, plataforma);
    ComandosSGBD* sgbd = enlazarSGBD(*principal, estado, plataforma);
    enlazarEjecucion(*principal, estado, plataforma, *sgbd);
    enlazarHerramientas(*principal, plataforma);
    principal->show();
    principal->repaint();

    estado.TodasLasFilas = true;
    estado.SentidoOrden = 1;

    // The shell has split the arguments already: the first is the file's whole path, blanks and all.
    const QString fichero = argumentos.value(0);
    if (!fichero.trimmed().isEmpty())
        principal->documento().Leer_Fichero(fichero);
    return principal;
}

int Main(int argc, char* argv[])
{
    QApplication aplicacion(argc, argv);
    QApplication::setOrganizationName(u"Nimbo"_s);
    QApplication::setApplicationName(u"Nimbo"_s);
    QApplication::setApplicationVersion(u"1.2"_s);

    // Qt's own dialogs and buttons speak Spanish too.
    QTranslator traduccionQt;
    if (traduccionQt.load(u"qtbase_es"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduccionQt);

    SystemPlatform sistema;
    Platform plataforma = sistema.servicios();
    Module1 estado;
    const auto principal = Arrancar(estado, plataforma, QApplication::arguments().mid(1));
    return QApplication::exec();
}
