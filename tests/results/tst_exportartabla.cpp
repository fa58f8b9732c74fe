// The text exports of a table: LaTeX, HTML and CSV, read from the row store.
#include "AlmacenFilas.h"
#include "ExportarTabla.h"

#include <QBuffer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A table as the grid holds it: the header row, then the rows with their numbers in column 0.
filas::AlmacenFilas tabla(const QStringList& cabecera, const QList<QStringList>& filas)
{
    filas::AlmacenFilas a(int(cabecera.size()));
    for (const QStringList& f : QList<QStringList>{cabecera} + filas) {
        a.empezarFila();
        for (const QString& c : f)
            a.anadirTexto(c);
        a.terminarFila();
    }
    return a;
}

const QStringList Cabecera{u"Nº Fila"_s, u"NOMBRE"_s, u"EDAD"_s};
// How the exports of a table with that header begin.
const QStringList InicioLatex{u"\\begin{tabular}{|lll|} \\hline"_s, u"Nº Fila&NOMBRE&EDAD\\\\ \\hline\\hline"_s};
const QStringList InicioHtml{u"<!-- Página Web generada automáticamente por Nimbo (Nimbolia) -->"_s, u"<HTML>"_s,
    u"<HEAD><TITLE>C</TITLE></HEAD>"_s, u"<TABLE BORDER=4> <TR>"_s, u"<TH>N&#186; Fila"_s, u"<TH>NOMBRE"_s,
    u"<TH>EDAD"_s};

enum class Formato { Latex, Html, Csv };

QByteArray escribir(const filas::AlmacenFilas& a, Formato formato, const QString& titulo = u"C"_s)
{
    QBuffer salida;
    salida.open(QIODevice::WriteOnly);
    std::unique_ptr<exportar::EscritorTabla> e;
    switch (formato) {
    case Formato::Latex: e = std::make_unique<exportar::EscritorLatex>(salida); break;
    case Formato::Html: e = std::make_unique<exportar::EscritorHtml>(salida, titulo); break;
    case Formato::Csv: e = std::make_unique<exportar::EscritorCsv>(salida); break;
    }
    if (!exportar::exportar(exportar::FuenteAlmacen(a), *e))
        qFatal("export failed");
    return salida.data();
}

QByteArray lineas(const QStringList& l)
{
    return (l.join(u"\r\n"_s) + u"\r\n"_s).toUtf8();
}

// A device that accepts a few bytes and then refuses.
class DispositivoLleno : public QIODevice {
public:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 n) override
    {
        if (escrito > 100) {
            setErrorString(u"disco lleno"_s);
            return -1;
        }
        escrito += n;
        return n;
    }
    qint64 escrito = 0;
};

} // namespace

class tst_ExportarTabla : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void latexYHtmlDeEjemplo();
    void resultadoVacioYSoloCabecera_data();
    void resultadoVacioYSoloCabecera();
    void caracteresEspeciales();
    void csvCitaLoNecesario();
    void escrituraFallidaSeDice();
};

void tst_ExportarTabla::latexYHtmlDeEjemplo()
{
    const auto a = tabla(Cabecera, {{u"1"_s, u"ANA"_s, u"30"_s}, {u"2"_s, u"LUIS"_s, u"41"_s}});
    QCOMPARE(escribir(a, Formato::Latex),
        lineas(InicioLatex + QStringList{u"1&ANA&30\\\\"_s, u"2&LUIS&41\\\\"_s, u"\\hline\\end{tabular}"_s}));
    // The header's "º" goes out as a character reference.
    QCOMPARE(escribir(a, Formato::Html),
        lineas(InicioHtml
            + QStringList{u"<TR>"_s, u"<TD>1"_s, u"<TD>ANA"_s, u"<TD>30"_s, u"<TR>"_s, u"<TD>2"_s, u"<TD>LUIS"_s,
                u"<TD>41"_s, u"</TABLE>"_s, u"</HTML>"_s}));
}

void tst_ExportarTabla::resultadoVacioYSoloCabecera_data()
{
    QTest::addColumn<bool>("filaVacia");
    QTest::addColumn<QByteArray>("latex");
    QTest::addColumn<QByteArray>("html");
    // An empty result leaves one empty data row: Cols - 1 separators and nothing else.
    QTest::newRow("resultado vacio")
        << true
        << lineas(InicioLatex + QStringList{u"&&\\\\"_s, u"\\hline\\end{tabular}"_s})
        << lineas(InicioHtml + QStringList{u"<TR>"_s, u"<TD>"_s, u"<TD>"_s, u"<TD>"_s, u"</TABLE>"_s, u"</HTML>"_s});
    QTest::newRow("solo cabecera")
        << false
        << lineas(InicioLatex + QStringList{u"\\hline\\end{tabular}"_s})
        << lineas(InicioHtml + QStringList{u"</TABLE>"_s, u"</HTML>"_s});
}

void tst_ExportarTabla::resultadoVacioYSoloCabecera()
{
    QFETCH(bool, filaVacia);
    QFETCH(QByteArray, latex);
    QFETCH(QByteArray, html);
    const auto a = tabla(Cabecera, filaVacia ? QList<QStringList>{QStringList{QString(), QString(), QString()}} : QList<QStringList>{});
    QCOMPARE(escribir(a, Formato::Latex), latex);
    QCOMPARE(escribir(a, Formato::Html), html);
}

void tst_ExportarTabla::caracteresEspeciales()
{
    const auto a = tabla({u"Nº Fila"_s, u"A_B"_s}, {{u"1"_s, u"Smith & Wesson"_s}, {u"2"_s, u"<script>alert(\"x\")</script>"_s},
                                                       {u"3"_s, u"50% {$#~^\\} año"_s}});
    // LaTeX: no extra column, no broken group.
    const QList<QByteArray> latex = escribir(a, Formato::Latex).split('\n');
    QCOMPARE(latex[1], "Nº Fila&A\\_B\\\\ \\hline\\hline\r");
    QCOMPARE(latex[2], "1&Smith \\& Wesson\\\\\r");
    QCOMPARE(latex[4], "3&50\\% \\{\\$\\#\\textasciitilde{}\\textasciicircum{}\\textbackslash{}\\} año\\\\\r");

    // HTML: no markup from a value, the title included; the rest is plain ASCII.
    const QByteArray html = escribir(a, Formato::Html, u"Tom & <Jerry> ñ"_s);
    QVERIFY(html.contains("<HEAD><TITLE>Tom &amp; &lt;Jerry&gt; &#241;</TITLE></HEAD>\r\n"));
    QVERIFY(html.contains("<TD>Smith &amp; Wesson\r\n"));
    QVERIFY(html.contains("<TD>&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;\r\n"));
    QVERIFY(html.contains("<TD>50% {$#~^\\} a&#241;o\r\n"));
    QVERIFY(!html.contains("<script>"));
    const QByteArray sinComentario = html.mid(html.indexOf('\n') + 1);
    for (char c : sinComentario)
        QVERIFY2(quint8(c) < 0x80, "non-ASCII byte in the HTML");
}

void tst_ExportarTabla::csvCitaLoNecesario()
{
    const auto a = tabla({u"Nº Fila"_s, u"NOMBRE"_s, u"NOTA"_s},
        {{u"1"_s, u"Pérez, Ana"_s, u"dijo \"sí\""_s}, {u"2"_s, u"dos\r\nlíneas"_s, u""_s}, {u"3"_s, u" x "_s, u"NULL"_s}});
    QCOMPARE(escribir(a, Formato::Csv),
        u"Nº Fila,NOMBRE,NOTA\r\n1,\"Pérez, Ana\",\"dijo \"\"sí\"\"\"\r\n2,\"dos\r\nlíneas\",\r\n3, x ,NULL\r\n"_s.toUtf8());
}

void tst_ExportarTabla::escrituraFallidaSeDice()
{
    filas::AlmacenFilas a(2);
    for (int i = 0; i < 50000; ++i) {
        a.empezarFila();
        a.anadirEntero(i);
        a.anadirTexto("un texto de relleno");
        a.terminarFila();
    }
    DispositivoLleno lleno;
    lleno.open(QIODevice::WriteOnly);
    exportar::EscritorLatex e(lleno);
    QVERIFY(!exportar::exportar(exportar::FuenteAlmacen(a), e));
    QCOMPARE(e.error(), u"disco lleno"_s);
}

QTEST_GUILESS_MAIN(tst_ExportarTabla)
#include "tst_exportartabla.moc"
