// nimbo-query writing rows as CSV, LaTeX and HTML, laid out as the result grid shows them.
#include "NimboQuery.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Salida {
    int estado = -1;
    QString out, err;
};

Salida nimboQuery(QStringList argumentos)
{
    argumentos.prepend(u"nimbo-query"_s);
    Salida s;
    QString nada;
    QTextStream entrada(&nada), out(&s.out), err(&s.err);
    s.estado = cli::ejecutar(argumentos, entrada, out, err);
    out.flush();
    err.flush();
    return s;
}

const QString Consulta = u"SELECT 'a,b' AS X, NULL AS \"Y_1\", 3 AS Z FROM DUAL UNION ALL SELECT 'ñ<&>', 'q\"', 4 FROM DUAL"_s;

} // namespace

class tst_FormatosTabla : public QObject {
    Q_OBJECT
    QTemporaryDir datos_;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", datos_.path().toUtf8());
        qunsetenv("NIMBO_PASSWORD");
    }

    void formatos_data()
    {
        QTest::addColumn<QString>("formato");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("csv") << u"csv"_s
                             << u"Nº Fila,X,Y_1,Z\r\n1,\"a,b\",NULL,3\r\n2,ñ<&>,\"q\"\"\",4\r\n"_s;
        QTest::newRow("latex") << u"latex"_s
                               << u"\\begin{tabular}{|llll|} \\hline\r\nNº Fila&X&Y\\_1&Z\\\\ \\hline\\hline\r\n"
                                  "1&a,b&NULL&3\\\\\r\n2&ñ<\\&>&q\"&4\\\\\r\n\\hline\\end{tabular}\r\n"_s;
        QTest::newRow("html") << u"html"_s
                              << u"<!-- Página Web generada automáticamente por Nimbo (Nimbolia) -->\r\n<HTML>\r\n"
                                 "<HEAD><TITLE>consulta</TITLE></HEAD>\r\n<TABLE BORDER=4> <TR>\r\n<TH>N&#186; Fila\r\n"
                                 "<TH>X\r\n<TH>Y_1\r\n<TH>Z\r\n<TR>\r\n<TD>1\r\n<TD>a,b\r\n<TD>NULL\r\n<TD>3\r\n<TR>\r\n"
                                 "<TD>2\r\n<TD>&#241;&lt;&amp;&gt;\r\n<TD>q&quot;\r\n<TD>4\r\n</TABLE>\r\n</HTML>\r\n"_s;
    }

    void formatos()
    {
        QFETCH(QString, formato);
        QFETCH(QString, esperado);
        const Salida s = nimboQuery({u"--sql"_s, Consulta, u"--format"_s, formato});
        QCOMPARE(s.err, QString());
        QCOMPARE(s.estado, 0);
        // The page's title is the statement, escaped like the cells.
        QString titulo = Consulta;
        titulo.replace(u"&"_s, u"&amp;"_s).replace(u"<"_s, u"&lt;"_s).replace(u">"_s, u"&gt;"_s);
        titulo.replace(u"\""_s, u"&quot;"_s).replace(u"ñ"_s, u"&#241;"_s);
        esperado.replace(u"<TITLE>consulta</TITLE>"_s, u"<TITLE>"_s + titulo + u"</TITLE>"_s);
        QCOMPARE(s.out, esperado);
    }

    void sinFilasYLimite()
    {
        // A result without rows still gives a whole table; --limit cuts the rows, not the table.
        Salida s = nimboQuery({u"--sql"_s, u"SELECT 1 AS A FROM DUAL WHERE 1 = 0"_s, u"--format"_s, u"latex"_s});
        QCOMPARE(s.out, u"\\begin{tabular}{|ll|} \\hline\r\nNº Fila&A\\\\ \\hline\\hline\r\n\\hline\\end{tabular}\r\n"_s);
        s = nimboQuery({u"--sql"_s, Consulta, u"--format"_s, u"csv"_s, u"--limit"_s, u"1"_s});
        QCOMPARE(s.out, u"Nº Fila,X,Y_1,Z\r\n1,\"a,b\",NULL,3\r\n"_s);
    }

    void formatoDesconocido()
    {
        for (const QStringList& malos : {QStringList{u"--sql"_s, Consulta, u"--format"_s, u"xml"_s},
                 QStringList{u"--where"_s, u"--format"_s, u"csv"_s}}) {
            const Salida s = nimboQuery(malos);
            QCOMPARE(s.estado, 2);
            QVERIFY(s.out.isEmpty());
            QVERIFY(s.err.contains(u"--format"_s));
        }
    }
};

QTEST_GUILESS_MAIN(tst_FormatosTabla)
#include "tst_formatostabla.moc"
