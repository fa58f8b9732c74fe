#include "ErrorOra.h"
#include "Libpq.h"
#include "PostgresBackend.h"
#include "SentenciaPg.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace db;

// What the PostgreSQL backend makes of names before it talks to a server: database names become
// libpq's connection keywords, named binds PostgreSQL's numbered ones.
class tst_PostgresNombres : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void serverNamesBecomeConnectionKeywords_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("claves"); // the keywords before the fixed ones, "" for no server name
        QTest::newRow("host, port, database") << u"db.example:5433/ventas"_s << u"ana"_s
                                              << u"host=db.example port=5433 dbname=ventas user=ana"_s;
        QTest::newRow("default port") << u"localhost/ventas"_s << u"ana"_s << u"host=localhost dbname=ventas user=ana"_s;
        QTest::newRow("IPv6") << u"[::1]:5432/v"_s << u"ana"_s << u"host=::1 port=5432 dbname=v user=ana"_s;
        // A database name is never read as a list of keywords.
        QTest::newRow("name with =") << u"h/a=b"_s << u"ana"_s << u"host=h dbname=a=b user=ana"_s;
        // The login's user comes after the URI's, so it wins; an empty one leaves the URI's.
        QTest::newRow("URI") << u"postgresql://eva@h:1/v"_s << u"ana"_s << u"dbname=postgresql://eva@h:1/v user=ana"_s;
        QTest::newRow("URI, no login user") << u"POSTGRES://eva@h/v"_s << QString() << u"dbname=POSTGRES://eva@h/v"_s;
        for (const auto& otro : {u"2:"_s, u"servidor:5432"_s, u"/tmp/a/b"_s, u"./a"_s, u"a/b/c"_s, u"h:puerto/v"_s})
            QTest::addRow("not a server: %s", qPrintable(otro)) << otro << u"ana"_s << QString();
    }
    void serverNamesBecomeConnectionKeywords()
    {
        QFETCH(QString, nombre);
        QFETCH(QString, usuario);
        QFETCH(QString, claves);
        const auto p = parametrosPostgres(nombre, usuario, u"secreto"_s);
        QCOMPARE(p.has_value(), !claves.isEmpty());
        if (!p)
            return;
        QStringList escritas;
        for (const auto& [k, v] : *p)
            if (k != "password" && k != "client_encoding" && k != "application_name" && k != "connect_timeout")
                escritas << QString::fromUtf8(k + '=' + v);
        QCOMPARE(escritas.join(u' '), claves);
        QVERIFY(p->contains(qMakePair(QByteArray("password"), QByteArray("secreto"))));
        QVERIFY(p->contains(qMakePair(QByteArray("client_encoding"), QByteArray("UTF8"))));
    }

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

    // libpq and the libraries it needs are mapped only once a PostgreSQL server is to be opened, so a
    // program that never talks to one does not pay for loading them at every start.
    void libpqIsLoadedOnlyWhenNeeded()
    {
        const auto mapeada = [] {
            QFile mapas(u"/proc/self/maps"_s);
            return mapas.open(QIODevice::ReadOnly) && mapas.readAll().contains("/libpq.so");
        };
        QVERIFY(!mapeada());
        QString fallo;
        QVERIFY2(libpqCargada(&fallo), qPrintable(fallo));
        QVERIFY(mapeada());
    }
};

QTEST_GUILESS_MAIN(tst_PostgresNombres)
#include "tst_postgresnombres.moc"
