// Reading query files: the size limit, unreadable paths and the two text encodings.
#include "FicheroConsulta.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Estado = FicheroConsulta::Lectura::Estado;

class TestFicheroConsulta : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sizeLimitIsInclusive();
    void unreadablePaths();
    void encodingsAndLineEnds_data();
    void encodingsAndLineEnds();

private:
    QString escribir(const QString& nombre, const QByteArray& bytes);
    QTemporaryDir m_carpeta;
};

QString TestFicheroConsulta::escribir(const QString& nombre, const QByteArray& bytes)
{
    const QString ruta = m_carpeta.filePath(nombre);
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::WriteOnly) || fichero.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(ruta));
    return ruta;
}

void TestFicheroConsulta::sizeLimitIsInclusive()
{
    const auto limite = escribir(u"limite.vql"_s, QByteArray(32768, 'a'));
    const auto lectura = FicheroConsulta::leer(limite);
    QCOMPARE(lectura.estado, Estado::Leido);
    QCOMPARE(lectura.texto.size(), 32768);

    const auto grande = FicheroConsulta::leer(escribir(u"grande.vql"_s, QByteArray(32769, 'a')));
    QCOMPARE(grande.estado, Estado::DemasiadoGrande);
    QCOMPARE(grande.tamano, 32769);
    QVERIFY(grande.texto.isEmpty());
}

void TestFicheroConsulta::unreadablePaths()
{
    QCOMPARE(FicheroConsulta::leer(m_carpeta.filePath(u"no existe.vql"_s)).estado, Estado::Ilegible);
    QCOMPARE(FicheroConsulta::leer(m_carpeta.path()).estado, Estado::Ilegible);
    // A device would never end: it is no query file.
    QCOMPARE(FicheroConsulta::leer(u"/dev/zero"_s).estado, Estado::Ilegible);
}

void TestFicheroConsulta::encodingsAndLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("texto");
    QTest::newRow("UTF-8") << QByteArray("SELECT a\xc3\xb1o FROM t") << u"SELECT año FROM t"_s;
    QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xef\xbb\xbfSELECT 1") << u"SELECT 1"_s;
    QTest::newRow("Windows-1252") << QByteArray("SELECT a\xf1o, '\x80' FROM t") << u"SELECT año, '€' FROM t"_s;
    QTest::newRow("CR LF and lone CR") << QByteArray("SELECT *\r\nFROM t\rWHERE x") << u"SELECT *\nFROM t\nWHERE x"_s;
}

void TestFicheroConsulta::encodingsAndLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, texto);
    const auto lectura
        = FicheroConsulta::leer(escribir(QString::fromLatin1(QTest::currentDataTag()) + u".vql"_s, bytes));
    QCOMPARE(lectura.estado, Estado::Leido);
    QCOMPARE(lectura.texto, texto);
}

QTEST_GUILESS_MAIN(TestFicheroConsulta)
#include "tst_ficheroconsulta.moc"
