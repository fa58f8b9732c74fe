// The main window's entries that run a query or steer how it runs, as the program wires them.
#include "FakePlatform.h"
#include "Main.h"
#include "EditorConsulta.h"
#include "MaxFilas.h"
#include "Module1.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestOpcionesEjecucion : public QObject {
    Q_OBJECT

    struct Banco {
        FakePlatform plataforma;
        Platform servicios = plataforma.servicios();
        Module1 estado;
        std::unique_ptr<frmMain> ventana = Arrancar(estado, servicios, {});
    };

private Q_SLOTS:
    void opcionesMarcadasAlArrancarYSusEspejos();
    void maxFilasDesdeElMenu();
    void enviarSinConexion_data();
    void enviarSinConexion();
};

void TestOpcionesEjecucion::opcionesMarcadasAlArrancarYSusEspejos()
{
    Banco b;
    QAction* poner0 = b.ventana->entradaMenu(u"mnuPoner0"_s);
    QAction* verTabla = b.ventana->entradaMenu(u"mnuVerTabla"_s);
    QVERIFY(poner0->isChecked() && b.estado.PonerCeroAuto);
    QVERIFY(verTabla->isChecked() && b.estado.VerTablaActiva);
    QVERIFY(b.estado.TodasLasFilas);
    poner0->trigger();
    QVERIFY(!poner0->isChecked() && !b.estado.PonerCeroAuto);
    QVERIFY(b.estado.VerTablaActiva);
    verTabla->trigger();
    QVERIFY(!verTabla->isChecked() && !b.estado.VerTablaActiva);
    verTabla->trigger();
    QVERIFY(verTabla->isChecked() && b.estado.VerTablaActiva);
}

void TestOpcionesEjecucion::maxFilasDesdeElMenu()
{
    Banco b;
    bool visto = false;
    QTimer::singleShot(0, [&] {
        auto* dialogo = qobject_cast<MaxFilas*>(QApplication::activeModalWidget());
        QVERIFY(dialogo);
        visto = true;
        QVERIFY(dialogo->Option1->isChecked());
        dialogo->Option4->setChecked(true);
        dialogo->Ok->click();
    });
    b.ventana->entradaMenu(u"mnuMaxFilas"_s)->trigger();
    QVERIFY(visto);
    QVERIFY(!b.estado.TodasLasFilas);
    QCOMPARE(b.estado.LimiteFilas, 250);
}

void TestOpcionesEjecucion::enviarSinConexion_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::newRow("F8") << u"mnuEnviar"_s;
    QTest::newRow("F9") << u"mnuSinNIEB"_s;
}

void TestOpcionesEjecucion::enviarSinConexion()
{
    QFETCH(QString, entrada);
    Banco b;
    b.ventana->Consulta->setPlainText(u"SELECT * FROM EMPLEADOS"_s);
    b.ventana->entradaMenu(entrada)->trigger();
    QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
    QCOMPARE(b.plataforma.mensajes.mostrados.first(),
        Mensaje::aviso(u"Nimbo: Aviso"_s, u"Debe conectarse antes al SGBD."_s, Mensaje::Icono::Informacion));
    QVERIFY(b.estado.SentenciaSQL.isEmpty());
}

QTEST_MAIN(TestOpcionesEjecucion)
#include "tst_opcionesejecucion.moc"
