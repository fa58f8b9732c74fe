#include "ErrorOra.h"
#include "SentenciaPg.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace db;

// Named binds become PostgreSQL's numbered ones; nothing that only looks like a bind is touched.
class tst_SentenciaPg : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bindsAreNumberedOutsideStringsCommentsAndCasts_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QStringList>("enlaces");
        QTest::newRow("two names, one twice, any case")
            << u"SELECT :a, :B FROM T WHERE X = :A"_s << u"SELECT $1, $2 FROM T WHERE X = $1"_s
            << QStringList{u"A"_s, u"B"_s};
        QTest::newRow("strings and quoted names")
            << u"SELECT ':A', 'it''s :A', \":A\", :C"_s << u"SELECT ':A', 'it''s :A', \":A\", $1"_s
            << QStringList{u"C"_s};
        QTest::newRow("escape string") << u"SELECT E'\\' :A', :B"_s << u"SELECT E'\\' :A', $1"_s << QStringList{u"B"_s};
        QTest::newRow("casts") << u"SELECT :A::text, X::int, :B :: int"_s << u"SELECT $1::text, X::int, $2 :: int"_s
                               << QStringList{u"A"_s, u"B"_s};
        QTest::newRow("comments, nested")
            << u"SELECT /* :A /* :B */ :C */ :D -- :E\n, :F"_s << u"SELECT /* :A /* :B */ :C */ $1 -- :E\n, $2"_s
            << QStringList{u"D"_s, u"F"_s};
        QTest::newRow("dollar quotes") << u"SELECT $$ :A $$, $f$ :B $$ $f$, :C, $1"_s
                                       << u"SELECT $$ :A $$, $f$ :B $$ $f$, $1, $1"_s << QStringList{u"C"_s};
        QTest::newRow("no bind inside names or slices")
            << u"SELECT a[1:2], x:y FROM T"_s << u"SELECT a[1:2], x:y FROM T"_s << QStringList{};
        QTest::newRow("unterminated string") << u"SELECT :A, 'x :B"_s << u"SELECT $1, 'x :B"_s << QStringList{u"A"_s};
    }
    void bindsAreNumberedOutsideStringsCommentsAndCasts()
    {
        QFETCH(QString, sql);
        QFETCH(QString, texto);
        QFETCH(QStringList, enlaces);
        const SentenciaPg s = numerarEnlaces(sql);
        QCOMPARE(s.texto, texto);
        QCOMPARE(s.enlaces, enlaces);
    }

    void valuesWrittenInAreLiteralsOfTheirType()
    {
        const auto citar = [](const QString& t) { return u"<"_s + t + u">"_s; };
        const Enlaces enlaces{{u"N"_s, 42}, {u"R"_s, 0.1}, {u"T"_s, u"o'neil"_s}, {u"X"_s, QVariant()}};
        QCOMPARE(escribirEnlaces(u"VALUES (:n, :r, :t, :x, ':n')"_s, enlaces, citar),
            u"VALUES (42, '0.10000000000000001'::float8, <o'neil>, NULL, ':n')"_s);
        QVERIFY_THROWS_EXCEPTION(ErrorOra, escribirEnlaces(u"VALUES (:falta)"_s, enlaces, citar));
    }
};

QTEST_GUILESS_MAIN(tst_SentenciaPg)
#include "tst_sentenciapg.moc"
