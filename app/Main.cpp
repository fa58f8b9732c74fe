#include "Main.h"

#include "ComandosAcercaDe.h"
#include "DocumentoConsulta.h"
#include "Ejecucion.h"
#include "EnlaceEjecucion.h"
#include "EnlaceHerramientas.h"
#include "EnlaceSGBD.h"
#include "Iconos.h"
#include "Module1.h"
#include "Platform.h"
#include "ProgramasEscritorio.h"
#include "WinSeek.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace {

// The About entry and the indicator's click: the About box, and the splash again.
void enlazarAcercaDe(frmMain& principal, Module1& estado, const Platform& plataforma, InstanciaTabla& tabla)
{
    EntornoAcercaDe entorno;
    entorno.tabla = &tabla;
    entorno.mnuNotePad = principal.entradaMenu(ProgramasEscritorio::blocDeNotas);
    const ProgramasEscritorio::Herramienta* bloc = ProgramasEscritorio::herramienta(ProgramasEscritorio::blocDeNotas);
    entorno.editores = {{bloc->nombre.programa, bloc->nombre.argumentos}, {bloc->ruta.programa, bloc->ruta.argumentos}};
    entorno.infoSistema = AcercaDe::programasInfoSistema();
    entorno.carpetaPrograma = QCoreApplication::applicationDirPath();
    auto* acercaDe = new ComandosAcercaDe(estado, plataforma, std::move(entorno), Iconos::aplicacion(), &principal);
    principal.registrarComando(u"mnuHelpAbout"_s, [acercaDe] { acercaDe->mnuHelpAbout_Click(); });
    principal.alPulsarIndicador([acercaDe] { acercaDe->Picture1_Click(); });
}

} // namespace

std::unique_ptr<frmMain> Arrancar(Module1& estado, const Platform& plataforma, const QStringList& argumentos)
{
    estado.VerTablaActiva = true;
    estado.PonerCeroAuto = true;

    // The splash stays above every window while the program starts.
    auto* splash = new frmSplash(Iconos::aplicacion());
    splash->setWindowFlag(Qt::WindowStaysOnTopHint);
    splash->show();
    splash->repaint();

    auto principal = std::make_unique<frmMain>(estado, plataforma);
    ComandosSGBD* sgbd = enlazarSGBD(*principal, estado, plataforma);
    Ejecucion* ejecucion = enlazarEjecucion(*principal, estado, plataforma, *sgbd);
    enlazarHerramientas(*principal, plataforma);
    principal->registrarComando(u"mnuBuscarArchivo"_s, comandoBuscarArchivos(*principal, plataforma));
    enlazarAcercaDe(*principal, estado, plataforma, ejecucion->tabla());
    principal->show();
    principal->repaint();

    estado.TodasLasFilas = true;
    estado.SentidoOrden = 1;
    splash->close();

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
