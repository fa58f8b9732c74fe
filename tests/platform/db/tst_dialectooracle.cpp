#include "DialectoOracle.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace db;

class tst_DialectoOracle : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quotesNamesSqliteWouldRefuse_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("bare") << u"SELECT Label FROM LFOC WHERE OBJ#=12 AND COL#=3"_s
                              << u"SELECT Label FROM LFOC WHERE \"OBJ#\"=12 AND \"COL#\"=3"_s;
        QTest::newRow("qualified") << u"select l.obj# from lfoc l"_s << u"select l.\"obj#\" from lfoc l"_s;
        QTest::newRow("string kept") << u"SELECT 'OBJ#' FROM DUAL WHERE X='it''s #1'"_s
                                     << u"SELECT 'OBJ#' FROM DUAL WHERE X='it''s #1'"_s;
        QTest::newRow("quoted kept") << u"SELECT \"OBJ#\" FROM T"_s << u"SELECT \"OBJ#\" FROM T"_s;
        QTest::newRow("comments kept") << u"SELECT A -- OBJ#\n, /* COL# */ B# FROM T"_s
                                       << u"SELECT A -- OBJ#\n, /* COL# */ \"B#\" FROM T"_s;
        QTest::newRow("fuzzy approx constant") << u"WHERE X FEQ #25"_s << u"WHERE X FEQ #25"_s;
        QTest::newRow("limit as a column") << u"SELECT RESOURCE_NAME, LIMIT FROM USER_RESOURCE_LIMITS"_s
                                           << u"SELECT RESOURCE_NAME, \"LIMIT\" FROM USER_RESOURCE_LIMITS"_s;
        QTest::newRow("limit first and qualified")
            << u"SELECT limit, u.limit FROM U"_s << u"SELECT \"limit\", u.\"limit\" FROM U"_s;
        QTest::newRow("qualified limit in where and order by")
            << u"SELECT R.RESOURCE_NAME FROM USER_RESOURCE_LIMITS R WHERE R.LIMIT = 'UNLIMITED' ORDER BY r.limit"_s
            << u"SELECT R.RESOURCE_NAME FROM USER_RESOURCE_LIMITS R WHERE R.\"LIMIT\" = 'UNLIMITED' ORDER BY r.\"limit\""_s;
        QTest::newRow("limit clause kept")
            << u"SELECT A FROM T ORDER BY A LIMIT 5"_s << u"SELECT A FROM T ORDER BY A LIMIT 5"_s;
        QTest::newRow("unterminated string") << u"SELECT 'OBJ# FROM T"_s << u"SELECT 'OBJ# FROM T"_s;
    }
    void quotesNamesSqliteWouldRefuse()
    {
        QFETCH(QString, sql);
        QFETCH(QString, esperado);
        QCOMPARE(adaptarIdentificadores(sql), esperado);
    }

    void recognisesTheClientsBlocks()
    {
        const auto traducir = analizarBloque(
            u"declare NUMERRORES number(4); Begin :NUMERRORES:=NIEB_PKG.NIEB2SQL (:SELECT_CMD); end;"_s);
        QVERIFY(traducir);
        QCOMPARE(traducir->salida, u"NUMERRORES"_s);
        QCOMPARE(traducir->paquete, u"NIEB_PKG"_s);
        QCOMPARE(traducir->funcion, u"NIEB2SQL"_s);
        QCOMPARE(traducir->argumentos.size(), 1);
        QCOMPARE(traducir->argumentos[0].enlace, u"SELECT_CMD"_s);
        QCOMPARE(traducir->columna, 50);

        const auto columna = analizarBloque(
            u"declare NUMCOL ACCESSIBLE_TABLES.OBJ#%TYPE; Begin :NUMCOL:=NIEB_PKG.NIEB_COL (:SCH,:TBL,:ATT); end;"_s);
        QVERIFY(columna);
        QCOMPARE(columna->argumentos.size(), 3);
        QCOMPARE(columna->argumentos[2].enlace, u"ATT"_s);

        const auto fin = analizarBloque(u"Begin NIEB_PKG.NIEB_FIN; end;"_s);
        QVERIFY(fin);
        QVERIFY(fin->salida.isEmpty());
        QVERIFY(fin->argumentos.isEmpty());

        const auto literales = analizarBloque(u"begin :X := P.F('a,''b', -2.5, :Y); end"_s);
        QVERIFY(literales);
        QCOMPARE(literales->argumentos.size(), 3);
        QCOMPARE(literales->argumentos[0].literal.toString(), u"a,'b"_s);
        QCOMPARE(literales->argumentos[1].literal.toDouble(), -2.5);
        QCOMPARE(literales->argumentos[2].enlace, u"Y"_s);
    }

    void refusesOtherBlocks_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("two calls") << u"Begin P.A; P.B; end;"_s;
        QTest::newRow("no package") << u"Begin F(:X); end;"_s;
        QTest::newRow("expression argument") << u"Begin :X := P.F(1 + 2); end;"_s;
        QTest::newRow("missing end") << u"Begin P.F;"_s;
    }
    void refusesOtherBlocks()
    {
        QFETCH(QString, sql);
        QVERIFY(esBloque(sql));
        QString causa;
        QVERIFY(!analizarBloque(sql, &causa));
        QVERIFY(!causa.isEmpty());
    }

    void countsStatements_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("varias");
        QTest::addColumn<bool>("transacciones");
        QTest::newRow("one") << u"SELECT 1 FROM DUAL"_s << false << false;
        QTest::newRow("trailing semicolon and blanks") << u"SELECT 1 FROM DUAL ;  \n"_s << false << false;
        QTest::newRow("comment after") << u"SELECT 1; -- fin"_s << false << false;
        QTest::newRow("semicolon in string") << u"SELECT ';DROP' FROM DUAL"_s << false << false;
        QTest::newRow("two") << u"SELECT 1; DELETE FROM T"_s << true << false;
        QTest::newRow("string after") << u"SELECT 1;'x'"_s << true << false;
        QTest::newRow("own transaction") << u"begin; INSERT INTO T VALUES (1); COMMIT;"_s << true << true;
        QTest::newRow("savepoint after a comment")
            << u"INSERT INTO T VALUES (1);\n/* luego */ SAVEPOINT a"_s << true << true;
        QTest::newRow("keyword inside a string")
            << u"INSERT INTO T VALUES ('x; COMMIT'); INSERT INTO T VALUES (2)"_s << true << false;
        QTest::newRow("a word that only starts alike") << u"INSERT INTO T VALUES (1); ENDING"_s << true << false;
    }
    void countsStatements()
    {
        QFETCH(QString, sql);
        QFETCH(bool, varias);
        QFETCH(bool, transacciones);
        QCOMPARE(variasSentencias(sql), varias);
        QCOMPARE(controlaTransacciones(sql), transacciones);
    }
};

QTEST_GUILESS_MAIN(tst_DialectoOracle)
#include "tst_dialectooracle.moc"
