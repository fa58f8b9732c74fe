// The main window's settings: defaults, the truth rule, hand-edited values and the round trip.
#include "AjustesEditor.h"
#include "SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestAjustesEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void absentKeysGiveTheDefaults();
    void truthRule_data();
    void truthRule();
    void handEditedValuesFallBackPerKey();
    void storedFontSize_data();
    void storedFontSize();
    void valuesOfAnotherDesktopAreRead();
    void roundTrip();

private:
    // A settings file as a user might have edited it.
    QString ficheroCon(const QByteArray& seccion);
    QTemporaryDir m_carpeta;
    int m_ficheros = 0;
};

QString TestAjustesEditor::ficheroCon(const QByteArray& seccion)
{
    const QString ruta = m_carpeta.filePath(u"ajustes%1.ini"_s.arg(++m_ficheros));
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(ruta));
    fichero.write("[Settings]\n" + seccion);
    return ruta;
}

void TestAjustesEditor::absentKeysGiveTheDefaults()
{
    QSettingsStore vacio(m_carpeta.filePath(u"vacio.ini"_s));
    const AparienciaEditor a = AjustesEditor::leerApariencia(vacio);
    QCOMPARE(a.colorTexto, 0x80000008u);
    QCOMPARE(a.colorFondo, 0x80000005u);
    QCOMPARE(a.fuente, u"MS Sans Serif"_s);
    QCOMPARE(a.tamano, 8.0);
    QVERIFY(!a.negrita && !a.cursiva && !a.tachado && !a.subrayado);
    QCOMPARE(AjustesEditor::leerPosicion(vacio), QPoint(1000, 1000));
}

void TestAjustesEditor::truthRule_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("valor");
    QTest::newRow("False") << u"False"_s << false;
    QTest::newRow("Falso") << u"Falso"_s << false;
    QTest::newRow("any F word") << u"Fuera"_s << false;
    QTest::newRow("True") << u"True"_s << true;
    QTest::newRow("Verdadero") << u"Verdadero"_s << true;
    QTest::newRow("lower-case f is true") << u"false"_s << true;
    QTest::newRow("digit") << u"0"_s << true;
}

void TestAjustesEditor::truthRule()
{
    QFETCH(QString, texto);
    QFETCH(bool, valor);
    QCOMPARE(AjustesEditor::leerVerdad(texto, !valor), valor);
}

void TestAjustesEditor::handEditedValuesFallBackPerKey()
{
    // Each unreadable value gives its own key's default; the readable ones are kept.
    QSettingsStore ajustes(ficheroCon("ForeColor=rojo\n"
                                      "BackColor=99999999999\n"
                                      "FontName=\n"
                                      "FontSize=-3\n"
                                      "FontBold=\n"
                                      "FontItalic=True\n"
                                      "FontUnderline=a, b\n"
                                      "MainLeft=izquierda\n"
                                      "MainTop=250\n"));
    const AparienciaEditor a = AjustesEditor::leerApariencia(ajustes);
    QCOMPARE(a.colorTexto, 0x80000008u);
    QCOMPARE(a.colorFondo, 0x80000005u);
    QCOMPARE(a.fuente, u"MS Sans Serif"_s);
    QCOMPARE(a.tamano, 8.0);
    QCOMPARE(a.negrita, false);
    QCOMPARE(a.cursiva, true);
    QCOMPARE(a.subrayado, false);
    QCOMPARE(AjustesEditor::leerPosicion(ajustes), QPoint(1000, 250));
}

void TestAjustesEditor::storedFontSize_data()
{
    // A size the editor cannot show falls back to 8 points; any size it can show is kept.
    QTest::addColumn<QByteArray>("guardado");
    QTest::addColumn<double>("puntos");
    QTest::newRow("zero") << QByteArray("0") << 8.0;
    QTest::newRow("zero with a decimal comma") << QByteArray("\"0,0\"") << 8.0;
    QTest::newRow("negative") << QByteArray("-3") << 8.0;
    QTest::newRow("just below zero") << QByteArray("-0.25") << 8.0;
    QTest::newRow("not a number") << QByteArray("grande") << 8.0;
    QTest::newRow("above the largest") << QByteArray("1639") << 8.0;
    QTest::newRow("smallest fraction") << QByteArray("0.5") << 0.5;
    QTest::newRow("largest") << QByteArray("1638") << 1638.0;
    QTest::newRow("ordinary") << QByteArray("12") << 12.0;
}

void TestAjustesEditor::storedFontSize()
{
    QFETCH(QByteArray, guardado);
    QFETCH(double, puntos);
    QSettingsStore ajustes(ficheroCon("FontSize=" + guardado + "\n"));
    QCOMPARE(AjustesEditor::leerApariencia(ajustes).tamano, puntos);
}

void TestAjustesEditor::valuesOfAnotherDesktopAreRead()
{
    // A size written with a decimal comma, colours as unsigned decimals, blanks around values.
    QSettingsStore ajustes(ficheroCon("ForeColor=2147483656\n"
                                      "BackColor= 255 \n"
                                      "FontSize=\"9,75\"\n"
                                      "FontStrikethru=Verdadero\n"));
    const AparienciaEditor a = AjustesEditor::leerApariencia(ajustes);
    QCOMPARE(a.colorTexto, 0x80000008u);
    QCOMPARE(a.colorFondo, 0x000000FFu);
    QCOMPARE(a.tamano, 9.75);
    QCOMPARE(a.tachado, true);
}

void TestAjustesEditor::roundTrip()
{
    const QString ruta = m_carpeta.filePath(u"vuelta.ini"_s);
    AparienciaEditor a;
    a.colorTexto = 0x000080FFu;
    a.colorFondo = ColorValue::fondoVentana;
    a.fuente = u"Courier New"_s;
    a.tamano = 10.5;
    a.negrita = true;
    a.subrayado = true;
    {
        QSettingsStore ajustes(ruta);
        AjustesEditor::escribirApariencia(ajustes, a);
        AjustesEditor::escribirPosicion(ajustes, QPoint(-300, 4500));
        QVERIFY(ajustes.guardar());
    }
    QSettingsStore leidos(ruta);
    QCOMPARE(AjustesEditor::leerApariencia(leidos), a);
    QCOMPARE(AjustesEditor::leerPosicion(leidos), QPoint(-300, 4500));
    // System colours are stored as the negative decimals other programs expect, in section [Settings].
    QFile fichero(ruta);
    QVERIFY(fichero.open(QIODevice::ReadOnly));
    QVERIFY(fichero.readAll().contains("[Settings]\nBackColor=-2147483643\n"));
}

QTEST_GUILESS_MAIN(TestAjustesEditor)
#include "tst_ajusteseditor.moc"
