// The platform helpers: colour values, twips, centring and the settings store.
#include "ColorValue.h"
#include "MessageBoxes.h"
#include "Module1.h"
#include "SettingsStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace Qt::StringLiterals;

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void colorValue_rgbIsLaidOutBlueGreenRed();
    void colorValue_systemColoursFollowThePalette();
    void posicionCentrada_data();
    void posicionCentrada();
    void centrarVentana_movesWithoutResizing();
    void settings_writeFailureIsReported();
    void messageBoxes_data();
    void messageBoxes();
};

void TestPlatform::colorValue_rgbIsLaidOutBlueGreenRed()
{
    QCOMPARE(ColorValue::desdeColor(QColor(0x12, 0x34, 0x56)), 0x00563412u);
    const QPalette paleta;
    QCOMPARE(ColorValue::aColor(0x00563412u, paleta), QColor(0x12, 0x34, 0x56));
    QVERIFY(!ColorValue::esDeSistema(0x00FFFFFFu));
    QVERIFY(ColorValue::esDeSistema(ColorValue::textoVentana));
}

void TestPlatform::colorValue_systemColoursFollowThePalette()
{
    QPalette paleta;
    paleta.setColor(QPalette::Active, QPalette::Text, QColor(1, 2, 3));
    paleta.setColor(QPalette::Active, QPalette::Base, QColor(250, 251, 252));
    QCOMPARE(ColorValue::aColor(ColorValue::textoVentana, paleta), QColor(1, 2, 3));
    QCOMPARE(ColorValue::aColor(ColorValue::fondoVentana, paleta), QColor(250, 251, 252));
}

void TestPlatform::posicionCentrada_data()
{
    QTest::addColumn<QSize>("pantalla");
    QTest::addColumn<QSize>("ventana");
    QTest::addColumn<QPoint>("esperada");
    QTest::newRow("even") << QSize(15360, 11520) << QSize(7550, 4515) << QPoint(3905, 3502);
    QTest::newRow("odd difference drops the half") << QSize(101, 51) << QSize(0, 0) << QPoint(50, 25);
    QTest::newRow("larger than the screen, towards zero") << QSize(100, 100) << QSize(115, 101) << QPoint(-7, 0);
}

void TestPlatform::posicionCentrada()
{
    QFETCH(QSize, pantalla);
    QFETCH(QSize, ventana);
    QFETCH(QPoint, esperada);
    QCOMPARE(::posicionCentrada(pantalla, ventana), esperada);
}

void TestPlatform::centrarVentana_movesWithoutResizing()
{
    QWidget ventana;
    ventana.resize(300, 200);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ventana));
    CentrarVentana(&ventana);
    const QRect pantalla = ventana.screen()->geometry();
    QCOMPARE(ventana.size(), QSize(300, 200));
    QVERIFY(qAbs(ventana.frameGeometry().center().x() - pantalla.center().x()) <= 1);
    QVERIFY(qAbs(ventana.frameGeometry().center().y() - pantalla.center().y()) <= 1);
}

void TestPlatform::settings_writeFailureIsReported()
{
    // A folder that cannot exist (its parent is a file) stands for a store that cannot be written.
    QTemporaryDir carpeta;
    QFile tapon(carpeta.filePath(u"tapon"_s));
    QVERIFY(tapon.open(QIODevice::WriteOnly));
    tapon.close();
    QSettingsStore ajustes(carpeta.filePath(u"tapon/Nimbo.ini"_s));
    ajustes.escribir(u"MainLeft"_s, u"1000"_s);
    QVERIFY(!ajustes.guardar());
}

void TestPlatform::messageBoxes_data()
{
    QTest::addColumn<Mensaje>("mensaje");
    QTest::addColumn<QStringList>("botones");
    QTest::addColumn<int>("tecla");
    QTest::addColumn<Respuesta>("respuesta");
    const Mensaje aviso = Mensaje::aviso(u"Nimbo: Aviso"_s, u"Primera\rSegunda"_s, Mensaje::Icono::Informacion);
    const Mensaje siNo = Mensaje::preguntaSiNo(u"¿Desconectar?"_s, u"¿Seguro?"_s);
    const Mensaje siNoCancelar = Mensaje::preguntaSiNoCancelar(u"¿Salvar?"_s, u"¿Guardar?"_s);
    QTest::newRow("notice, Enter") << aviso << QStringList{u"Aceptar"_s} << int(Qt::Key_Return) << Respuesta::Aceptar;
    QTest::newRow("yes/no, Enter takes No")
        << siNo << QStringList{u"&Sí"_s, u"&No"_s} << int(Qt::Key_Return) << Respuesta::No;
    QTest::newRow("yes/no, Escape is No")
        << siNo << QStringList{u"&Sí"_s, u"&No"_s} << int(Qt::Key_Escape) << Respuesta::No;
    QTest::newRow("yes/no/cancel, Enter takes Cancelar")
        << siNoCancelar << QStringList{u"&Sí"_s, u"&No"_s, u"Cancelar"_s} << int(Qt::Key_Return) << Respuesta::Cancelar;
    QTest::newRow("yes/no/cancel, Escape is Cancelar")
        << siNoCancelar << QStringList{u"&Sí"_s, u"&No"_s, u"Cancelar"_s} << int(Qt::Key_Escape) << Respuesta::Cancelar;
}

void TestPlatform::messageBoxes()
{
    QFETCH(Mensaje, mensaje);
    QFETCH(QStringList, botones);
    QFETCH(int, tecla);
    QFETCH(Respuesta, respuesta);
    QStringList vistos;
    QString texto;
    QString titulo;
    // The box is modal: look at it and answer from inside its own event loop.
    QTimer::singleShot(0, [&] {
        auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(caja);
        titulo = caja->windowTitle();
        texto = caja->text();
        const auto lista = caja->buttons();
        for (QAbstractButton* b : lista)
            vistos.append(b->text());
        QTest::keyClick(caja, Qt::Key(tecla));
    });
    QtMessageBoxes cajas;
    QCOMPARE(cajas.mostrar(mensaje), respuesta);
    QCOMPARE(titulo, mensaje.titulo);
    QCOMPARE(texto, QString(mensaje.texto).replace(u'\r', u'\n'));
    std::sort(vistos.begin(), vistos.end());
    std::sort(botones.begin(), botones.end());
    QCOMPARE(vistos, botones);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
