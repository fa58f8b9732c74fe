// The printer and file-dialog helpers: PDF pages of a long text, a picture on one page, a printer
// that cannot be opened, and the default extension of a typed file name.
#include "Dialogos.h"
#include "Impresora.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// Pages of a PDF written by Qt: one "/Type /Page" object each (the page tree is "/Type /Pages").
int paginasPdf(const QString& ruta)
{
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::ReadOnly))
        return -1;
    const QString texto = QString::fromLatin1(fichero.readAll());
    if (!texto.startsWith(u"%PDF-"_s))
        return -1;
    static const QRegularExpression pagina(u"/Type\\s*/Page(?!s)"_s);
    int paginas = 0;
    for (auto coincidencias = pagina.globalMatch(texto); coincidencias.hasNext(); coincidencias.next())
        ++paginas;
    return paginas;
}

} // namespace

class TestImpresora : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultExtension_data();
    void defaultExtension();
    void textRunsOverPages();
    void pictureOnOnePage();
    void unwritableOutputFails();

private:
    QTemporaryDir m_carpeta;
};

void TestImpresora::defaultExtension_data()
{
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("ruta");
    QTest::newRow("bare name") << u"/tmp/consulta"_s << u"vql"_s << u"/tmp/consulta.vql"_s;
    QTest::newRow("own extension kept") << u"/tmp/consulta.sql"_s << u"vql"_s << u"/tmp/consulta.sql"_s;
    QTest::newRow("trailing dot") << u"/tmp/consulta."_s << u"vql"_s << u"/tmp/consulta.vql"_s;
    QTest::newRow("dot in the folder only") << u"/tmp/a.b/consulta"_s << u"sql"_s << u"/tmp/a.b/consulta.sql"_s;
    QTest::newRow("no default") << u"/tmp/consulta"_s << QString() << u"/tmp/consulta"_s;
    QTest::newRow("cancelled stays empty") << QString() << u"vql"_s << QString();
}

void TestImpresora::defaultExtension()
{
    QFETCH(QString, tecleado);
    QFETCH(QString, extension);
    QFETCH(QString, ruta);
    OpcionesFichero opciones;
    opciones.extensionPorDefecto = extension;
    QCOMPARE(opciones.completar(tecleado), ruta);
}

void TestImpresora::textRunsOverPages()
{
    const QString ruta = m_carpeta.filePath(u"texto.pdf"_s);
    QtImpresora impresora;
    impresora.setSalidaPdf(ruta);
    QTextDocument corto(u"SELECT * FROM EMPLEADOS"_s);
    QVERIFY(impresora.imprimirTexto(corto));
    QCOMPARE(paginasPdf(ruta), 1);

    // Two hundred lines in 12 points do not fit on one page.
    QStringList lineas;
    for (int i = 0; i < 200; ++i)
        lineas.append(u"WHERE EDAD FEQ $Joven THOLD 0.5 -- %1"_s.arg(i));
    QTextDocument largo(lineas.join(u'\n'));
    QFont fuente = largo.defaultFont();
    fuente.setPointSize(12);
    largo.setDefaultFont(fuente);
    QVERIFY(impresora.imprimirTexto(largo));
    QVERIFY2(paginasPdf(ruta) >= 3, qPrintable(QString::number(paginasPdf(ruta))));
}

void TestImpresora::pictureOnOnePage()
{
    const QString ruta = m_carpeta.filePath(u"imagen.pdf"_s);
    QtImpresora impresora;
    impresora.setSalidaPdf(ruta);
    QImage imagen(400, 300, QImage::Format_RGB32);
    imagen.fill(Qt::darkCyan);
    QVERIFY(impresora.imprimirImagen(imagen));
    QCOMPARE(paginasPdf(ruta), 1);
}

void TestImpresora::unwritableOutputFails()
{
    QtImpresora impresora;
    impresora.setSalidaPdf(m_carpeta.filePath(u"no existe/impresion.pdf"_s));
    QTextDocument texto(u"SELECT 1 FROM DUAL"_s);
    QVERIFY(!impresora.imprimirTexto(texto));
    QVERIFY(!impresora.imprimirImagen(QImage(10, 10, QImage::Format_RGB32)));
}

QTEST_MAIN(TestImpresora)
#include "tst_impresora.moc"
