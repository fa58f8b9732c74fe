#include "BasePostgres.h"
#include "NimboQuery.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Salida {
    int estado = -1;
    QString out, err;
};

Salida nimboQuery(QStringList argumentos, const QString& stdinTexto = {})
{
    argumentos.prepend(u"nimbo-query"_s);
    Salida s;
    QString entradaTexto = stdinTexto;
    QTextStream entrada(&entradaTexto), out(&s.out), err(&s.err);
    s.estado = cli::ejecutar(argumentos, entrada, out, err);
    out.flush();
    err.flush();
    return s;
}

} // namespace

class tst_NimboQuery : public QObject {
    Q_OBJECT
    QTemporaryDir datos_;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", datos_.path().toUtf8());
        qunsetenv("NIMBO_PASSWORD");
    }

    // The server and then the demo go into an empty PostgreSQL database; a second install of the
    // server changes nothing, and a demo without the server is refused.
    void installsTheServerAndTheDemoIntoPostgres()
    {
        if (const QString falta = BasePostgres::sinServidor(); !falta.isEmpty())
            QSKIP(qPrintable(falta));
        if (!BasePostgres::conGuiones())
            QSKIP("this build has no scripts for the NIEB server on PostgreSQL");
        BasePostgres base(BasePostgres::Contenido::Vacia);
        QVERIFY2(base.error().isEmpty(), qPrintable(base.error()));
        const QStringList login{u"--db"_s, base.nombre(), u"--user"_s, BasePostgres::usuario(), u"--password"_s,
            BasePostgres::clave()};

        auto s = nimboQuery(login + QStringList{u"--install-demo"_s});
        QCOMPARE(s.estado, 1);
        QVERIFY2(s.err.contains(u"--install-server"_s), qPrintable(s.err));
        s = nimboQuery(login + QStringList{u"--install-server"_s});
        QVERIFY2(s.estado == 0, qPrintable(s.err));
        QVERIFY(s.out.startsWith(u"NIEB server installed"_s));
        s = nimboQuery(login + QStringList{u"--install-server"_s});
        QCOMPARE(s.estado, 0);
        QVERIFY(s.out.contains(u"already"_s));
        s = nimboQuery(login + QStringList{u"--install-demo"_s});
        QVERIFY2(s.estado == 0, qPrintable(s.err));

        s = nimboQuery(login
            + QStringList{u"--query"_s, u"SELECT NOMBRE FROM EMPLEADOS WHERE EDAD FEQ $Joven ORDER BY NOMBRE"_s});
        QVERIFY2(s.estado == 0, qPrintable(s.err));
        QVERIFY(s.out.startsWith(u"NOMBRE\n"_s) && s.out.count(u'\n') > 2);
    }

    void printsRowsAsTabSeparatedText()
    {
        const auto s
            = nimboQuery({u"--sql"_s, u"SELECT 1 AS A, NULL AS B, 'x' || char(9) || 'y' AS C, 2.5 AS D FROM DUAL"_s});
        QCOMPARE(s.estado, 0);
        QCOMPARE(s.out, u"A\tB\tC\tD\n1\tNULL\tx\\ty\t2.5\n"_s);
        QVERIFY(s.err.isEmpty());

        const auto desdeEntrada = nimboQuery({u"--sql"_s, u"-"_s}, u"SELECT USERENV('SESSIONID') FROM DUAL"_s);
        QCOMPARE(desdeEntrada.estado, 0);
        QVERIFY(desdeEntrada.out.split(u'\n').value(1).toLongLong() > 0);
    }

    void reportsServerErrorsOnStderr()
    {
        const auto s = nimboQuery({u"--sql"_s, u"SELECT * FROM NO_EXISTE"_s});
        QCOMPARE(s.estado, 1);
        QVERIFY(s.out.isEmpty());
        QVERIFY(s.err.startsWith(u"942\tORA-00942"_s));

        qputenv("NIMBO_PASSWORD", "mala");
        const auto clave = nimboQuery({u"--sql"_s, u"SELECT 1 FROM DUAL"_s});
        qunsetenv("NIMBO_PASSWORD");
        QCOMPARE(clave.estado, 1);
        QVERIFY(clave.err.startsWith(u"1017\t"_s));

        QCOMPARE(nimboQuery({u"--sql"_s, u"x"_s, u"--exec"_s, u"y"_s}).estado, 2);
        QCOMPARE(nimboQuery({u"--nada"_s}).estado, 2);
    }

    void translatesAndRunsNiebQueries()
    {
        const QString consulta = u"SELECT NOMBRE, SUELDO, CDEG(*) FROM EMPLEADOS WHERE SUELDO FEQ $Alto THOLD 0.75 "
                                 u"ORDER BY CDEG(*) DESC, SUELDO"_s;
        const auto sql = nimboQuery({u"--translate"_s, consulta});
        QCOMPARE(sql.estado, 0);
        QVERIFY(sql.out.startsWith(u"SELECT NOMBRE"_s));
        QVERIFY(!sql.out.contains(u"FEQ"_s));
        // The translated SQL runs as plain SQL and gives what --query gives.
        const auto crudo = nimboQuery({u"--sql"_s, sql.out.trimmed()});
        const auto filas = nimboQuery({u"--query"_s, u"-"_s}, consulta);
        QCOMPARE(filas.estado, 0);
        QCOMPARE(filas.out, crudo.out);
        QCOMPARE(filas.out.split(u'\n').value(0), u"NOMBRE\tSUELDO\tCDEG(*)"_s);

        const auto limitadas = nimboQuery({u"--query"_s, consulta, u"--limit"_s, u"3"_s});
        QCOMPARE(limitadas.out.count(u'\n'), 4);
        QCOMPARE(limitadas.out, filas.out.section(u'\n', 0, 3) + u'\n');

        const auto errores
            = nimboQuery({u"--translate"_s, u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ $Viejo OR NOMBRE FEQ 3"_s});
        QCOMPARE(errores.estado, 3);
        QVERIFY(errores.out.isEmpty());
        QVERIFY(errores.err.startsWith(u"1: Línea 1, columna 40: la etiqueta $Viejo"_s));
        QVERIFY(errores.err.contains(u"\n2: Línea 1, columna 50: la columna NOMBRE"_s));
        QCOMPARE(nimboQuery({u"--translate"_s, consulta, u"--limit"_s, u"3"_s}).estado, 2);
    }

    void installsTheServerIntoAFile()
    {
        const QString ruta = datos_.filePath(u"propia.db"_s);
        const QStringList cuenta{u"--db"_s, ruta, u"--user"_s, u"ana"_s, u"--password"_s, u"secreta"_s};
        const auto instalar = nimboQuery(QStringList{u"--install-server"_s} + cuenta);
        QCOMPARE(instalar.estado, 0);

        QCOMPARE(nimboQuery(QStringList{u"--exec"_s, u"CREATE TABLE PISOS (PRECIO NUMBER)"_s} + cuenta).estado, 0);
        const auto obj = nimboQuery(
            QStringList{u"--sql"_s, u"SELECT OWNER, TABLE_NAME FROM ACCESSIBLE_TABLES WHERE TABLE_NAME = 'PISOS'"_s}
            + cuenta);
        QCOMPARE(obj.out, u"OWNER\tTABLE_NAME\nANA\tPISOS\n"_s);

        const auto ajena = nimboQuery({u"--db"_s, ruta, u"--sql"_s, u"SELECT 1 FROM DUAL"_s});
        QCOMPARE(ajena.estado, 1); // the demo account does not exist there

        // Installing again keeps the account and its password.
        const auto otraVez
            = nimboQuery({u"--install-server"_s, u"--db"_s, ruta, u"--user"_s, u"ANA"_s, u"--password"_s, u"otra"_s});
        QCOMPARE(otraVez.estado, 0);
        QVERIFY(otraVez.err.contains(u"kept"_s));
        QCOMPARE(nimboQuery(QStringList{u"--sql"_s, u"SELECT 1 FROM DUAL"_s} + cuenta).estado, 0);

        QCOMPARE(nimboQuery({u"--where"_s}).out.trimmed(), datos_.filePath(u"Nimbo/nimbo.db"_s));
    }

    // --exec runs its statements all or none, and refuses a query, which would print nothing.
    void execRunsAllOrNothing_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("estado");
        QTest::addColumn<int>("nuevas");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("all good") << u"INSERT INTO NOTAS VALUES (1); INSERT INTO NOTAS VALUES (2)"_s << 0 << 2 << QString();
        QTest::newRow("second fails") << u"INSERT INTO NOTAS VALUES (1); INSERT INTO NOEXISTE VALUES (2)"_s << 1 << 0
                                      << u"942\t"_s;
        QTest::newRow("first fails") << u"INSERT INTO NOEXISTE VALUES (1); INSERT INTO NOTAS VALUES (2)"_s << 1 << 0
                                     << u"942\t"_s;
        QTest::newRow("query") << u"SELECT * FROM NOTAS"_s << 2 << 0 << u"--sql"_s;
        QTest::newRow("query after a change") << u"INSERT INTO NOTAS VALUES (1); SELECT * FROM NOTAS"_s << 2 << 0
                                              << u"--sql"_s;
        QTest::newRow("own transaction") << u"SAVEPOINT a; INSERT INTO NOTAS VALUES (1); RELEASE a"_s << 0 << 1
                                         << QString();
    }
    void execRunsAllOrNothing()
    {
        QFETCH(QString, sql);
        QFETCH(int, estado);
        QFETCH(int, nuevas);
        QFETCH(QString, mensaje);
        nimboQuery({u"--exec"_s, u"CREATE TABLE IF NOT EXISTS NOTAS (A INTEGER)"_s});
        const auto contar = [] { return nimboQuery({u"--sql"_s, u"SELECT COUNT(*) FROM NOTAS"_s}).out.section(u'\n', 1, 1).toInt(); };
        const int antes = contar();
        const auto s = nimboQuery({u"--exec"_s, sql});
        QCOMPARE(s.estado, estado);
        QVERIFY2(s.err.contains(mensaje), qPrintable(s.err));
        QVERIFY(s.out.isEmpty());
        QCOMPARE(contar(), antes + nuevas);
    }

    // No note when no row is left out; the note itself is in the recorded outputs' .err files.
    void noLimitNoteWhenNoRowIsLeftOut()
    {
        for (const QString& limite : {u"6"_s, u"7"_s}) {
            const auto s = nimboQuery({u"--sql"_s, u"SELECT * FROM DEPARTAMENTOS"_s, u"--limit"_s, limite});
            QCOMPARE(s.estado, 0);
            QCOMPARE(s.err, QString());
            QCOMPARE(s.out.count(u'\n'), 7);
        }
    }
};

QTEST_GUILESS_MAIN(tst_NimboQuery)
#include "tst_nimboquery.moc"
