// Splitting a command-line text into words.
#include "LineaDeOrdenes.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLineaDeOrdenes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void words_data();
    void words();
};

void TestLineaDeOrdenes::words_data()
{
    QTest::addColumn<QString>("linea");
    QTest::addColumn<int>("maxArgs");
    QTest::addColumn<QString>("palabra");

    QTest::newRow("empty line") << u""_s << 1 << u""_s;
    QTest::newRow("blanks and tabs only") << u" \t  \t"_s << 1 << u""_s;
    QTest::newRow("one word, blanks around") << u"  \tconsulta.vql  "_s << 1 << u"consulta.vql"_s;
    QTest::newRow("two names open the first") << u"uno.vql dos.vql"_s << 1 << u"uno.vql"_s;
    QTest::newRow("tab separates") << u"uno.vql\tdos.vql"_s << 1 << u"uno.vql"_s;
    QTest::newRow("quoted path is cut at the blank, quote kept")
        << u"\"C:\\Mis consultas\\a.vql\""_s << 1 << u"\"C:\\Mis"_s;
    QTest::newRow("default limit gives the last word") << u"a b c"_s << 10 << u"c"_s;
    QTest::newRow("limit stops the walk") << u"a b c d e"_s << 3 << u"c"_s;
    QTest::newRow("limit of zero reads nothing") << u"a b"_s << 0 << u""_s;
}

void TestLineaDeOrdenes::words()
{
    QFETCH(QString, linea);
    QFETCH(int, maxArgs);
    QFETCH(QString, palabra);
    QCOMPARE(LineaDeOrdenes(linea, maxArgs), palabra);
}

QTEST_APPLESS_MAIN(TestLineaDeOrdenes)
#include "tst_lineadeordenes.moc"
