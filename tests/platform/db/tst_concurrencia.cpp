// Several sessions on one database file at once: readers, writers and translations must not lock
// each other out, and a session's server rows go with it however it ends.
#include "BaseEmbebida.h"
#include "BasePostgres.h"
#include "ConexionSqlite.h"
#include "ErrorOra.h"
#include "OraSession.h"
#include "TraduccionServidor.h"

#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

using namespace Qt::StringLiterals;
using namespace db;

namespace {

QString unValor(OraDatabase& base, const QString& sql)
{
    const auto d = base.DbCreateDynaset(sql, 0);
    return d->Eof() ? u"<ninguna>"_s : d->Fields()(0).Value().toString();
}

// One nimbo-query run: its arguments and, once finished, what it said.
struct Ejecucion {
    Ejecucion(QString nombre = {}, QStringList argumentos = {})
        : nombre(std::move(nombre))
        , argumentos(std::move(argumentos))
    {
    }
    QString nombre;
    QStringList argumentos;
    int estado = -1;
    QString salida, errores;
};

// A join of three tables with fuzzy conditions on every pair: long enough to be read while others
// open sessions, short enough to run whole in a test.
const QString unionLarga = u"SELECT COUNT(*), SUM(CDEG(*)) FROM EMPLEADOS E, CANDIDATOS C, EMPLEADOS E2 "
                           u"WHERE E.EDAD FEQ E2.EDAD AND E2.CARACTER FEQ C.CARACTER "
                           u"AND C.EXPERIENCIA NFGEQ E.EXPERIENCIA"_s;
// The same with a fourth table (and on PostgreSQL, which runs it in seconds, two more): it runs for
// minutes, and is killed while it reads.
QString unionInterminable(bool postgres)
{
    return u"SELECT COUNT(*) FROM EMPLEADOS E, CANDIDATOS C, EMPLEADOS E2, CANDIDATOS C2"_s
        + (postgres ? u", EMPLEADOS E3, EMPLEADOS E4"_s : QString())
        + u" WHERE E.EDAD FEQ E2.EDAD AND E2.CARACTER FEQ C.CARACTER AND C2.EXPERIENCIA NFGEQ E.EXPERIENCIA"_s;
}

} // namespace

class tst_Concurrencia : public QObject {
    Q_OBJECT

    QTemporaryDir datos_;

    static QProcess* lanzar(const QStringList& argumentos, QObject* padre)
    {
        auto* p = new QProcess(padre);
        p->start(QStringLiteral(NIMBO_QUERY_BIN), argumentos);
        return p;
    }
    static void recoger(QProcess& p, Ejecucion& e)
    {
        QVERIFY2(p.state() == QProcess::NotRunning || p.waitForFinished(90000), qPrintable(e.nombre));
        e.estado = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        e.salida = QString::fromUtf8(p.readAllStandardOutput());
        e.errores = QString::fromUtf8(p.readAllStandardError());
    }
    static int filasDelServidor(OraDatabase& base)
    {
        return unValor(base, u"SELECT (SELECT COUNT(*) FROM main.NIEB_QUERY) + (SELECT COUNT(*) FROM main.NIEB_ERRORS) "
                             u"FROM DUAL"_s)
            .toInt();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(datos_.isValid());
        qputenv("XDG_DATA_HOME", datos_.path().toUtf8());
        qunsetenv("NIMBO_PASSWORD");
        nieb::ConexionSqlite::esperaPorBloqueoMs = 300;
        OraSession s;
        QVERIFY(s.DbOpenDatabase(nombreBaseEmbebida, u"scott/ravel"_s));
    }

    // A session opens, translates and reads while another connection is in the middle of a read.
    void aReaderKeepsNoSessionOut()
    {
        nieb::ConexionSqlite lector(rutaBaseEmbebida().toStdString(), nieb::ConexionSqlite::Apertura::Existente);
        lector.ejecutar("BEGIN");
        QCOMPARE(nieb::comoEntero(lector.consultar("SELECT COUNT(*) FROM EMPLEADOS")[0][0]), 200);

        OraSession s;
        std::shared_ptr<OraDatabase> base;
        try {
            base = s.DbOpenDatabase(nombreBaseEmbebida, u"scott/ravel"_s);
            const auto t = servidor::traducir(*base, u"SELECT NOMBRE FROM EMPLEADOS WHERE EDAD FEQ $Joven"_s);
            QCOMPARE(t.errores, 0);
            QCOMPARE(unValor(*base, u"SELECT COUNT(*) FROM DEPARTAMENTOS"_s), u"6"_s);
        } catch (const ErrorOra& e) {
            QFAIL(qPrintable(e.texto()));
        }
        lector.ejecutar("COMMIT");
    }

    // While another connection holds the write lock, a translation still runs and its rows are read.
    void aTranslationTakesNoWriteLock()
    {
        OraSession s;
        const auto base = s.DbOpenDatabase(nombreBaseEmbebida, u"scott/ravel"_s);
        nieb::ConexionSqlite escritor(rutaBaseEmbebida().toStdString(), nieb::ConexionSqlite::Apertura::Existente);
        escritor.ejecutar("BEGIN IMMEDIATE");
        escritor.ejecutar("UPDATE DEPARTAMENTOS SET CIUDAD = CIUDAD");
        auto fin = qScopeGuard([&] { escritor.ejecutar("ROLLBACK"); });
        try {
            const auto t = servidor::traducir(*base, u"SELECT NOMBRE FROM EMPLEADOS WHERE EDAD FEQ $Joven"_s);
            QCOMPARE(t.errores, 0);
            QVERIFY(t.sql.startsWith(u"SELECT NOMBRE FROM EMPLEADOS"_s));
            const auto errores = servidor::traducir(*base, u"SELECT NOMBRE FROM EMPLEADOS WHERE EDAD FEQ $Viejo"_s);
            QCOMPARE(errores.errores, 1);
            QCOMPARE(servidor::erroresDeTraduccion(*base).size(), 1);
        } catch (const ErrorOra& e) {
            QFAIL(qPrintable(e.texto()));
        }
    }

    // Real processes on one database, the embedded file or a PostgreSQL server: a long fuzzy join, and
    // one that is killed while it reads, beside rounds of processes that open sessions, translate and
    // read. Nobody waits out a lock, every answer is the one a run alone gives, and no server row of an
    // ended session is left.
    void processesShareOneFile_data()
    {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("sqlite") << false;
        QTest::newRow("postgres") << true;
    }
    void processesShareOneFile()
    {
        QFETCH(bool, postgres);
        // nimbo-query's arguments naming the database: none for the embedded one.
        QStringList conexion;
        std::unique_ptr<BasePostgres> pg;
        if (postgres) {
            if (!BasePostgres::sinServidor().isEmpty())
                QSKIP(qPrintable(BasePostgres::sinServidor()));
            pg = std::make_unique<BasePostgres>();
            QVERIFY2(pg->error().isEmpty(), qPrintable(pg->error()));
            conexion = {u"--db"_s, pg->nombre(), u"--user"_s, BasePostgres::usuario(), u"--password"_s,
                BasePostgres::clave()};
        }
        const QString jovenes = u"SELECT NOMBRE, APELLIDOS, EDAD, CDEG(*) FROM EMPLEADOS "
                                u"WHERE EDAD FEQ $Joven THOLD 0.5 ORDER BY CDEG(*) DESC, ID_EMPLEADO"_s;
        const QString madrid = u"SELECT E.NOMBRE, E.SUELDO, CDEG(*) FROM EMPLEADOS E JOIN DEPARTAMENTOS D "
                               u"ON D.ID_DEPARTAMENTO = E.ID_DEPARTAMENTO WHERE D.CIUDAD = 'Madrid' "
                               u"AND E.SUELDO FEQ $Alto THOLD 0.75 ORDER BY CDEG(*) DESC, E.ID_EMPLEADO"_s;
        QList<Ejecucion> cortas{
            {u"translate"_s, conexion + QStringList{u"--translate"_s, jovenes}},
            {u"query"_s, conexion + QStringList{u"--query"_s, madrid}},
            {u"translation errors"_s,
                conexion + QStringList{u"--translate"_s, u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ $Viejo"_s}},
            {u"plain read"_s, conexion + QStringList{u"--sql"_s, u"SELECT * FROM DEPARTAMENTOS ORDER BY ID_DEPARTAMENTO"_s}},
            {u"session number"_s, conexion + QStringList{u"--sql"_s, u"SELECT USERENV('SESSIONID') FROM DUAL"_s}},
        };
        Ejecucion larga{u"long join"_s, conexion + QStringList{u"--query"_s, unionLarga}};

        // What each says when it runs alone.
        std::map<QString, Ejecucion> solas;
        for (const auto& e : cortas + QList<Ejecucion>{larga}) {
            QProcess p;
            p.start(QStringLiteral(NIMBO_QUERY_BIN), e.argumentos);
            Ejecucion sola = e;
            recoger(p, sola);
            QVERIFY2(sola.estado == 0 || (sola.estado == 3 && e.nombre == u"translation errors"_s),
                qPrintable(e.nombre + u": "_s + sola.errores));
            solas[e.nombre] = sola;
        }

        QObject procesos;
        QProcess* interminable = lanzar(conexion + QStringList{u"--query"_s, unionInterminable(postgres)}, &procesos);
        QVERIFY(interminable->waitForStarted(30000));
        // QProcess::kill sends SIGKILL to that one process, as kill -9 does.
        auto matar = qScopeGuard([&] {
            interminable->kill();
            interminable->waitForFinished(10000);
        });
        QProcess* pLarga = lanzar(larga.argumentos, &procesos);
        QSet<qint64> sesiones;
        int rondas = 0;
        // Rounds of short runs for as long as the long join runs, and at least two.
        const auto sigue = [](QProcess* p) {
            p->waitForFinished(0);
            return p->state() != QProcess::NotRunning;
        };
        while (rondas < 2 || (sigue(pLarga) && rondas < 12)) {
            ++rondas;
            QList<QProcess*> ronda;
            for (const auto& e : cortas)
                ronda.append(lanzar(e.argumentos, &procesos));
            for (qsizetype i = 0; i < ronda.size(); ++i) {
                Ejecucion e = cortas[i];
                recoger(*ronda[i], e);
                const Ejecucion& sola = solas[e.nombre];
                QVERIFY2(!e.errores.contains(u"ORA-00054"_s), qPrintable(e.nombre + u": "_s + e.errores));
                QVERIFY2(e.estado == sola.estado, qPrintable(e.nombre + u": "_s + e.errores));
                if (e.nombre == u"session number"_s) {
                    const qint64 numero = e.salida.section(u'\n', 1, 1).toLongLong();
                    QVERIFY(numero > 0);
                    QVERIFY2(!sesiones.contains(numero), "two sessions got the same number");
                    sesiones.insert(numero);
                } else {
                    QCOMPARE(e.salida, sola.salida);
                    QCOMPARE(e.errores, sola.errores);
                }
            }
        }
        qInfo("%d rounds of %d processes beside the long join", rondas, int(cortas.size()));
        interminable->waitForFinished(0);
        QVERIFY2(interminable->state() == QProcess::Running, "the endless join ended by itself");
        recoger(*pLarga, larga);
        QVERIFY2(larga.estado == 0, qPrintable(larga.errores));
        QCOMPARE(larga.salida, solas[larga.nombre].salida);

        interminable->kill();
        QVERIFY(interminable->waitForFinished(10000));
        QCOMPARE(interminable->exitStatus(), QProcess::CrashExit);

        OraSession s;
        if (!postgres) {
            const auto base = s.DbOpenDatabase(nombreBaseEmbebida, u"scott/ravel"_s);
            QCOMPARE(filasDelServidor(*base), 0);
            return;
        }
        // A session's rows there are its own temporary ones, gone with it: none reached the shared
        // tables, and a new session starts with none.
        const auto base = s.DbOpenDatabase(pg->nombre(), BasePostgres::conexion());
        QCOMPARE(unValor(*base, u"SELECT (SELECT COUNT(*) FROM public.NIEB_QUERY) + (SELECT COUNT(*) FROM "
                                u"public.NIEB_ERRORS) FROM DUAL"_s),
            u"0"_s);
        QCOMPARE(unValor(*base, u"SELECT (SELECT COUNT(*) FROM NIEB_QUERY) + (SELECT COUNT(*) FROM NIEB_ERRORS) FROM DUAL"_s),
            u"0"_s);
        // The killed run's statement does not go on reading on the server for nobody: its session ends.
        const QString otras = u"SELECT COUNT(*) FROM pg_stat_activity WHERE datname = current_database() AND "
                              u"pid <> pg_backend_pid() AND backend_type = 'client backend'"_s;
        QTRY_COMPARE_WITH_TIMEOUT(unValor(*base, otras), u"0"_s, 30000);
    }
};

QTEST_GUILESS_MAIN(tst_Concurrencia)
#include "tst_concurrencia.moc"
