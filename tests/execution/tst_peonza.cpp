// The busy window: placement, animation, the icon's interval cycle and cancelling.
#include "HojaPeonza.h"
#include "Module1.h"
#include "Peonza.h"
#include "PunteroPantalla.h"
#include "Twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestPeonza : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hojaDeDieciochoFotogramasDistintos();
    void cargaLimpiaLaCancelacionYEmpiezaEnElFotogramaDos();
    void colocacionSegunVerTabla_data();
    void colocacionSegunVerTabla();
    void fotogramasDanLaVuelta();
    void clicsEnElIconoRecorrenLosIntervalos();
    void cancelarPideParar_data();
    void cancelarPideParar();
    void cancelarConLaAnimacionParadaCierraLaVentana();
    void encimaSinMoverse();
    void punteroDePantalla();
};

namespace {

// Lets the window's own deferred steps (the close after a cancel, its deletion) happen.
void procesar()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

void TestPeonza::hojaDeDieciochoFotogramasDistintos()
{
    for (int a = 0; a < HojaPeonza::celdas; ++a) {
        const QImage celda = HojaPeonza::celda(a).toImage();
        QCOMPARE(celda.size(), QSize(65, 60));
        for (int b = a + 1; b < HojaPeonza::celdas; ++b)
            QVERIFY2(celda != HojaPeonza::celda(b).toImage(), qPrintable(u"frames %1 and %2 are alike"_s.arg(a).arg(b)));
    }
}

void TestPeonza::cargaLimpiaLaCancelacionYEmpiezaEnElFotogramaDos()
{
    Module1 estado;
    estado.OperacionCancelada = true;
    Peonza peonza(estado);
    QVERIFY(!estado.OperacionCancelada);
    QCOMPARE(peonza.fotograma(), 2);
    QCOMPARE(peonza.Picture1->pixmap().toImage(), HojaPeonza::celda(2).toImage());
    QVERIFY(peonza.Timer1->isActive());
}

void TestPeonza::colocacionSegunVerTabla_data()
{
    QTest::addColumn<bool>("verTabla");
    QTest::newRow("table watched: top right") << true;
    QTest::newRow("table hidden: centred") << false;
}

void TestPeonza::colocacionSegunVerTabla()
{
    QFETCH(bool, verTabla);
    Module1 estado;
    estado.VerTablaActiva = verTabla;
    Peonza peonza(estado);
    peonza.show();
    const QRect pantalla = peonza.screen()->geometry();
    const QRect marco = peonza.frameGeometry();
    if (verTabla) {
        QCOMPARE(marco.right(), pantalla.right());
        QCOMPARE(marco.top(), pantalla.top());
    } else {
        const QPoint centrada = Twips::aPixeles(
            posicionCentrada(Twips::desdePixeles(pantalla.size()), Twips::desdePixeles(marco.size())));
        QVERIFY((marco.topLeft() - pantalla.topLeft() - centrada).manhattanLength() <= 1);
    }
}

void TestPeonza::fotogramasDanLaVuelta()
{
    Module1 estado;
    Peonza peonza(estado);
    QList<int> vistos;
    for (int i = 0; i < 19; ++i) {
        peonza.Timer1_Timer();
        vistos << peonza.fotograma();
    }
    const QList<int> esperados = {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 0, 1, 2, 3};
    QCOMPARE(vistos, esperados);
    QCOMPARE(peonza.Picture1->pixmap().toImage(), HojaPeonza::celda(3).toImage());
}

void TestPeonza::clicsEnElIconoRecorrenLosIntervalos()
{
    Module1 estado;
    Peonza peonza(estado);
    QVERIFY(peonza.Picture2->toolTip().isEmpty());
    QList<int> intervalos;
    for (int i = 0; i < 8; ++i) {
        QTest::mouseClick(peonza.Picture2, Qt::LeftButton);
        intervalos << peonza.Timer1->interval();
    }
    QCOMPARE(intervalos, (QList<int>{150, 200, 1, 51, 101, 151, 201, 2}));
    QCOMPARE(peonza.Picture2->toolTip(), u"2"_s);
    QVERIFY(peonza.Timer1->isActive());
}

void TestPeonza::cancelarPideParar_data()
{
    QTest::addColumn<QString>("como");
    QTest::newRow("button") << u"button"_s;
    QTest::newRow("Enter") << u"enter"_s;
    QTest::newRow("Escape") << u"escape"_s;
    QTest::newRow("window closed") << u"close"_s;
}

void TestPeonza::cancelarPideParar()
{
    QFETCH(QString, como);
    Module1 estado;
    QPointer<Peonza> peonza = new Peonza(estado);
    peonza->show();
    QVERIFY(QTest::qWaitForWindowActive(peonza));
    PunteroPantalla::poner(PunteroPantalla::FlechaReloj);
    if (como == u"button")
        QTest::mouseClick(peonza->Cancelar, Qt::LeftButton);
    else if (como == u"enter")
        QTest::keyClick(peonza, Qt::Key_Return);
    else if (como == u"escape")
        QTest::keyClick(peonza, Qt::Key_Escape);
    else
        peonza->close();
    QVERIFY(estado.OperacionCancelada);
    // Cancelling only asks: the window goes at its next tick, and takes the busy pointer with it.
    QVERIFY(peonza->isVisible());
    QCOMPARE(PunteroPantalla::actual(), PunteroPantalla::FlechaReloj);
    peonza->Timer1_Timer();
    QVERIFY(peonza->descargada());
    QVERIFY(!peonza->isVisible());
    QCOMPARE(PunteroPantalla::actual(), PunteroPantalla::Normal);
    procesar();
    QVERIFY(peonza.isNull());
}

// The icon's clicks reach an interval of 0 after 247 of them, which stops the animation; a cancel
// must still take the window away.
void TestPeonza::cancelarConLaAnimacionParadaCierraLaVentana()
{
    Module1 estado;
    QPointer<Peonza> peonza = new Peonza(estado);
    peonza->show();
    int clics = 0;
    while (peonza->Timer1->interval() != 0 && clics < 1000) {
        peonza->Picture2_Click();
        ++clics;
    }
    QCOMPARE(clics, 247);
    QCOMPARE(peonza->Picture2->toolTip(), u"0"_s);
    QVERIFY(!peonza->Timer1->isActive());

    QTest::mouseClick(peonza->Cancelar, Qt::LeftButton);
    QVERIFY(estado.OperacionCancelada);
    procesar();
    QVERIFY(peonza.isNull());

    // One click more and the animation runs again.
    Peonza otra(estado);
    for (int i = 0; i < 247; ++i)
        otra.Picture2_Click();
    QVERIFY(!otra.Timer1->isActive());
    otra.Picture2_Click();
    QCOMPARE(otra.Timer1->interval(), 50);
    QVERIFY(otra.Timer1->isActive());
}

void TestPeonza::encimaSinMoverse()
{
    Module1 estado;
    Peonza peonza(estado);
    peonza.show();
    const QPoint donde = peonza.pos();
    peonza.ponerEncima(true);
    QVERIFY(peonza.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(peonza.isVisible());
    QCOMPARE(peonza.pos(), donde);
    peonza.ponerEncima(false);
    QVERIFY(!(peonza.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(peonza.isVisible());
    QCOMPARE(peonza.pos(), donde);
}

void TestPeonza::punteroDePantalla()
{
    QVERIFY(!QGuiApplication::overrideCursor());
    PunteroPantalla::poner(PunteroPantalla::Reloj);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    PunteroPantalla::poner(PunteroPantalla::FlechaReloj);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    PunteroPantalla::poner(PunteroPantalla::FlechaReloj);
    PunteroPantalla::poner(PunteroPantalla::Normal);
    // Changed in place, never stacked: one reset ends the busy state.
    QVERIFY(!QGuiApplication::overrideCursor());
    PunteroPantalla::poner(PunteroPantalla::Normal);
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(TestPeonza)
#include "tst_peonza.moc"
