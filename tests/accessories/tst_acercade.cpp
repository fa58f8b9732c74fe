// The About box and the splash: the icon's two amusements, the read-me and system information
// buttons, the wonders' table in the result window, and the splash's clicks.
#include "BancoPrincipal.h"
#include "Maravillas.h"
#include "Peonza.h"
#include "ProgramasEscritorio.h"
#include "Rejilla.h"
#include "Tabla.h"
#include "frmAbout.h"
#include "frmSplash.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestAcercaDe : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void iconoCambiaTextosLuegoJugueteYLaSiguienteAperturaEmpiezaDeNuevo();
    void leemeConElPrimerEditorQueArranque_data();
    void leemeConElPrimerEditorQueArranque();
    void informacionDelSistema_data();
    void informacionDelSistema();
    void maravillasEnLaVentanaDeResultados_data();
    void maravillasEnLaVentanaDeResultados();
    void splashDesdeElIndicadorYSusClics();
};

namespace {

// Opens the About box from the main window's menu and runs the script on it.
void abrirAcercaDe(BancoPrincipal& b, std::function<void(frmAbout&)> guion)
{
    b.plataforma.modales.guiones.append([guion](QDialog& d) { guion(static_cast<frmAbout&>(d)); });
    b.ventana->entradaMenu(u"mnuHelpAbout"_s)->trigger();
}

frmSplash* splashVisible()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* s = qobject_cast<frmSplash*>(w); s && s->isVisible())
            return s;
    }
    return nullptr;
}

} // namespace

void TestAcercaDe::iconoCambiaTextosLuegoJugueteYLaSiguienteAperturaEmpiezaDeNuevo()
{
    BancoPrincipal b;
    b.arrancar();
    abrirAcercaDe(b, [&](frmAbout& caja) {
        QCOMPARE(caja.parentWidget(), b.ventana.get());
        QTest::mouseClick(caja.picIcon, Qt::LeftButton);
        QCOMPARE(caja.lblTitle->text(), u"Dedicado a todos los que aportan su granito de arena a la ciencia."_s);
        QVERIFY(caja.lblVersion->isHidden());
        QCOMPARE(caja.Nombre->text(), u"El primer Cliente NIEB de la Historia."_s);
        QCOMPARE(caja.lblLicenseTo->text(), u"¡Pincha en todos los iconos y en la palabra Nimbo de esta ventana!"_s);

        b.plataforma.modales.guiones.append([&](QDialog& d) {
            auto& peonza = static_cast<Peonza&>(d);
            QCOMPARE(peonza.windowTitle(), u"Pulse Cancelar para FIN"_s);
            QCOMPARE(peonza.NumFilas->text(), u"Nimbo = Nimbolia"_s);
            QVERIFY(peonza.ProgressBar1->isHidden() && peonza.ContaRecu->isHidden());
            QVERIFY(!b.estado.OperacionCancelada);
            peonza.Cancelar->click();
            QVERIFY(b.estado.OperacionCancelada);
        });
        QTest::mouseClick(caja.picIcon, Qt::LeftButton);
    });
    abrirAcercaDe(b, [](frmAbout& caja) {
        QCOMPARE(caja.lblTitle->text(), u"Nimbolia, Brumaria"_s);
        QVERIFY(!caja.lblVersion->isHidden());
        QCOMPARE(caja.Nombre->text(), u"Escrito por los desarrolladores de Nimbo."_s);
    });
    QCOMPARE(b.plataforma.modales.mostrados, QStringList({u"frmAbout"_s, u"Peonza"_s, u"frmAbout"_s}));
}

void TestAcercaDe::leemeConElPrimerEditorQueArranque_data()
{
    const ProgramasEscritorio::Herramienta* bloc = ProgramasEscritorio::herramienta(ProgramasEscritorio::blocDeNotas);
    QTest::addColumn<QStringList>("instalados");
    QTest::addColumn<int>("intentos");
    QTest::newRow("by bare name") << QStringList{bloc->nombre.programa} << 1;
    QTest::newRow("by full path") << QStringList{bloc->ruta.programa} << 2;
    QTest::newRow("neither") << QStringList{} << 2;
}

void TestAcercaDe::leemeConElPrimerEditorQueArranque()
{
    QFETCH(QStringList, instalados);
    QFETCH(int, intentos);
    BancoPrincipal b;
    b.arrancar();
    b.plataforma.programas.instalados = instalados;
    abrirAcercaDe(b, [](frmAbout& caja) { caja.Leeme->click(); });

    const ProgramasEscritorio::Herramienta* bloc = ProgramasEscritorio::herramienta(ProgramasEscritorio::blocDeNotas);
    const QString leeme = QDir(QCoreApplication::applicationDirPath()).filePath(u"Leeme.TXT"_s);
    const QStringList esperados{
        (QStringList{bloc->nombre.programa} + bloc->nombre.argumentos + QStringList{leeme}).join(u' '),
        (QStringList{bloc->ruta.programa} + bloc->ruta.argumentos + QStringList{leeme}).join(u' ')};
    QCOMPARE(b.plataforma.programas.intentos, esperados.mid(0, intentos));

    const bool fallo = instalados.isEmpty();
    QCOMPARE(b.ventana->entradaMenu(u"mnuNotePad"_s)->isEnabled(), !fallo);
    QCOMPARE(b.plataforma.mensajes.mostrados.size(), fallo ? 1 : 0);
    if (fallo)
        QCOMPARE(b.plataforma.mensajes.mostrados[0],
            Mensaje::aviso(u"Nimbo"_s,
                u"No he podido ejecutar el editor Bloc de notas con el fichero Leeme.TXT de Nimbo."_s,
                Mensaje::Icono::Ninguno));
}

void TestAcercaDe::informacionDelSistema_data()
{
    QTest::addColumn<QStringList>("instalados");
    QTest::addColumn<int>("intentos");
    const QStringList programas = AcercaDe::programasInfoSistema();
    QTest::newRow("the second of the list") << QStringList{programas[1]} << 2;
    QTest::newRow("none") << QStringList{} << int(programas.size());
}

void TestAcercaDe::informacionDelSistema()
{
    QFETCH(QStringList, instalados);
    QFETCH(int, intentos);
    BancoPrincipal b;
    b.arrancar();
    b.plataforma.programas.instalados = instalados;
    abrirAcercaDe(b, [](frmAbout& caja) { caja.cmdSysInfo->click(); });

    QCOMPARE(b.plataforma.programas.intentos, AcercaDe::programasInfoSistema().mid(0, intentos));
    if (instalados.isEmpty())
        QCOMPARE(b.plataforma.mensajes.mostrados,
            QList<Mensaje>{Mensaje::aviso(u"Nimbo"_s,
                u"La información del sistema no está disponible en este momento"_s, Mensaje::Icono::Ninguno)});
    else
        QVERIFY(b.plataforma.mensajes.mostrados.isEmpty());
}

void TestAcercaDe::maravillasEnLaVentanaDeResultados_data()
{
    QTest::addColumn<bool>("conConsultaEnPantalla");
    QTest::addColumn<QString>("etiquetaPulsada");
    QTest::newRow("hidden window, program name") << false << u"Nimbo"_s;
    QTest::newRow("query on screen, title") << true << u"lblTitle"_s;
}

void TestAcercaDe::maravillasEnLaVentanaDeResultados()
{
    QFETCH(bool, conConsultaEnPantalla);
    QFETCH(QString, etiquetaPulsada);
    FakePlatform plataforma;
    Module1 estado;
    InstanciaTabla tabla{estado, plataforma.servicios()};
    Tabla& ventana = tabla.ventana();
    ventana.entradaMenu(u"mnuWordWrap"_s)->setChecked(false); // as start-up leaves it
    rejilla::Rejilla& grid = *ventana.Grid1();
    if (conConsultaEnPantalla) {
        grid.setCols(12);
        grid.setRows(40);
        grid.setRowHeight(3, 2000);
        ventana.show();
    }

    EntornoAcercaDe entorno;
    entorno.tabla = &tabla;
    frmAbout caja(estado, plataforma.servicios(), entorno);
    QTest::mouseClick(caja.findChild<QLabel*>(etiquetaPulsada), Qt::LeftButton);

    QCOMPARE(grid.cols(), 7);
    QCOMPARE(grid.rows(), 8);
    QCOMPARE(grid.fixedRows(), 1);
    QCOMPARE(grid.fixedCols(), 1);
    QVERIFY(grid.wordWrap());
    QVERIFY(ventana.entradaMenu(u"mnuWordWrap"_s)->isChecked());
    const QStringList cabeceras{u"Nº Fila"_s, u"Maravilla del Mundo Antiguo"_s, u"Lugar donde está o estaba"_s,
        u"Autor"_s, u"Fecha de realización aproximada"_s, u"Descripción"_s, u"Historia"_s};
    const QList<int> anchos{550, 2700, 2200, 2600, 4600, 5800, 8000};
    for (int c = 0; c < 7; ++c) {
        QCOMPARE(grid.textMatrix(0, c), cabeceras[c]);
        QCOMPARE(grid.colWidth(c), anchos[c]);
    }
    QCOMPARE(grid.fixedAlignment(0), 2);
    const int alto = grid.rowHeight(1);
    QCOMPARE(alto, 3 * grid.rowHeight(0));
    for (int f = 2; f <= 6; ++f)
        QCOMPARE(grid.rowHeight(f), alto);
    QCOMPARE(grid.rowHeight(7), 3 * alto);
    for (int f = 1; f <= 7; ++f) {
        QCOMPARE(grid.textMatrix(f, 0), QString::number(f));
        for (int c = 1; c < 7; ++c)
            QVERIFY2(!grid.textMatrix(f, c).isEmpty(), qPrintable(u"row %1, column %2"_s.arg(f).arg(c)));
    }

    const auto texto
        = [&ventana](const char* nombre) { return ventana.findChild<QLabel*>(QString::fromLatin1(nombre))->text(); };
    QCOMPARE(texto("Label3"), u"Elegidas por :"_s);
    QCOMPARE(texto("NumColumnas"), Maravillas::compilador);
    QCOMPARE(texto("Label1"), u"Fecha              :"_s);
    QCOMPARE(texto("NumTuplas"), Maravillas::siglo);
    QCOMPARE(ventana.windowTitle(), u"Las Siete Maravillas del Mundo Antiguo"_s);
    QVERIFY(ventana.isVisible());
    // A window already showing a query stays an ordinary one.
    QCOMPARE(ventana.windowModality(), conConsultaEnPantalla ? Qt::NonModal : Qt::ApplicationModal);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    ventana.close();
}

void TestAcercaDe::splashDesdeElIndicadorYSusClics()
{
    BancoPrincipal b;
    b.arrancar();
    QCOMPARE(splashVisible(), nullptr); // start-up has closed it

    QTest::mouseClick(b.ventana->Picture1, Qt::LeftButton);
    frmSplash* splash = splashVisible();
    QVERIFY(splash);
    QVERIFY(!splash->isModal());
    QTest::mouseClick(splash->Label2, Qt::LeftButton);
    QCOMPARE(splashVisible(), nullptr);
    QVERIFY(b.plataforma.modales.mostrados.isEmpty());

    QTest::mouseClick(b.ventana->Picture1, Qt::LeftButton);
    QTest::mouseClick(splashVisible()->picLogo, Qt::LeftButton);
    QCOMPARE(splashVisible(), nullptr);
    QCOMPARE(b.plataforma.modales.mostrados, QStringList{u"frmAbout"_s});
}

QTEST_MAIN(TestAcercaDe)
#include "tst_acercade.moc"
