#include "FakePlatform.h"
#include "ProgramasEscritorio.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace Qt::StringLiterals;

class TestHerramientas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unIntentoPorNombreYOtroPorRuta();
    void elEditorRecibeElFicheroEnAmbosIntentos();
    void deshabilitarSoloLaEntradaNombrada();
};

// Each tool is tried by bare name, and by full path only when that fails.
void TestHerramientas::unIntentoPorNombreYOtroPorRuta()
{
    QCOMPARE(ProgramasEscritorio::herramientas().size(), 4);
    for (const auto& h : ProgramasEscritorio::herramientas()) {
        QVERIFY2(!h.nombre.programa.contains(u'/'), qPrintable(h.entrada));
        QVERIFY2(h.ruta.programa.startsWith(u'/'), qPrintable(h.entrada));
        QCOMPARE(ProgramasEscritorio::herramienta(h.entrada), &h);

        FakeLanzador porNombre;
        porNombre.instalados = {h.nombre.programa};
        QVERIFY(ProgramasEscritorio::iniciar(porNombre, h));
        QCOMPARE(porNombre.intentos.size(), 1);
        QVERIFY(porNombre.intentos.first().startsWith(h.nombre.programa));

        FakeLanzador porRuta;
        porRuta.instalados = {h.ruta.programa};
        QVERIFY(ProgramasEscritorio::iniciar(porRuta, h));
        QCOMPARE(porRuta.intentos.size(), 2);
        QVERIFY(porRuta.intentos.last().startsWith(h.ruta.programa));

        FakeLanzador ninguno;
        QVERIFY(!ProgramasEscritorio::iniciar(ninguno, h));
        QCOMPARE(ninguno.intentos.size(), 2);
    }
    QCOMPARE(ProgramasEscritorio::herramienta(u"mnuHelpAbout"_s), nullptr);
}

// The read-me is opened by the notepad's programs with the file after their own arguments.
void TestHerramientas::elEditorRecibeElFicheroEnAmbosIntentos()
{
    const auto* bloc = ProgramasEscritorio::herramienta(ProgramasEscritorio::blocDeNotas);
    QVERIFY(bloc);
    FakeLanzador programas;
    QVERIFY(!ProgramasEscritorio::iniciar(programas, *bloc, {u"/opt/nimbo/Leeme.TXT"_s}));
    QCOMPARE(programas.intentos,
        QStringList({bloc->nombre.programa + u" /opt/nimbo/Leeme.TXT"_s,
            bloc->ruta.programa + u" /opt/nimbo/Leeme.TXT"_s}));
}

void TestHerramientas::deshabilitarSoloLaEntradaNombrada()
{
    QMainWindow ventana;
    QMenu* menu = ventana.menuBar()->addMenu(u"&Herramientas"_s);
    QAction* bloc = menu->addAction(u"&Bloc de notas"_s);
    bloc->setObjectName(u"mnuNotePad"_s);
    QAction* calculadora = menu->addAction(u"&Calculadora"_s);
    calculadora->setObjectName(u"mnuCalculadora"_s);

    ProgramasEscritorio::deshabilitar(&ventana, ProgramasEscritorio::blocDeNotas);
    QVERIFY(!bloc->isEnabled());
    QVERIFY(calculadora->isEnabled());
    ProgramasEscritorio::deshabilitar(nullptr, ProgramasEscritorio::blocDeNotas); // no window: nothing
}

QTEST_MAIN(TestHerramientas)
#include "tst_herramientas.moc"
