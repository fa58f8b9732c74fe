// The NIEB server inside PostgreSQL against the embedded one: the same NIEB queries, translated by the
// module through NIEB_PKG and by the library on SQLite, give the same rows and the same degrees to the
// last bit; sessions keep their rows to themselves; the catalogue follows schema changes. Runs on the
// server NIMBO_PG names (scripts/postgres.sh start), in databases of its own, dropped at the end.
#include "Backend.h"
#include "Catalogo.h"
#include "ConexionSqlite.h"
#include "Emisor.h"
#include "FuncionesDifusas.h"
#include "OraDatabase.h"
#include "OraDynaset.h"
#include "ServidorPq.h"
#include "TraduccionServidor.h"
#include "Traductor.h"
#include "ValoresTexto.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <memory>
#include <stdexcept>

using namespace Qt::StringLiterals;
using nieb::comoEntero;
using nieb::comoReal;
using nieb::comoTexto;
using nieb::Fila;
using pq::BaseDePrueba;
using pq::entorno;
using pq::Pq;

extern const char* const demoSqlite;

namespace {

using pq::normalizadas;

QString mostrar(const std::vector<Fila>& filas)
{
    QStringList lineas;
    for (size_t i = 0; i < std::min<size_t>(filas.size(), 5); ++i) {
        QStringList celdas;
        for (const auto& v : filas[i])
            celdas << (nieb::esNulo(v) ? u"NULL"_s : QString::fromStdString(comoTexto(v)));
        lineas << celdas.join(u" | "_s);
    }
    return lineas.join(u'\n');
}

// The rows as text, numbers written to the last bit, in their order.
QStringList comoLineas(const std::vector<Fila>& filas)
{
    QStringList lineas;
    for (const auto& f : filas) {
        QStringList celdas;
        for (const auto& v : f)
            celdas << (nieb::esNulo(v)                       ? u"NULL"_s
                    : std::holds_alternative<std::string>(v) ? QString::fromStdString(comoTexto(v))
                                                             : QString::number(comoReal(v), 'g', 17));
        lineas << celdas.join(u'|');
    }
    return lineas;
}

QStringList comoLineas(db::OraDatabase& base, const QString& sql)
{
    const auto d = base.DbCreateDynaset(sql);
    QStringList lineas;
    for (; !d->Eof(); d->DbMoveNext()) {
        QStringList celdas;
        for (int i = 0; i < d->Fields().Count(); ++i) {
            const QVariant v = d->Fields()(i).Value();
            celdas << (v.isNull()                      ? u"NULL"_s
                    : v.typeId() == QMetaType::QString ? v.toString()
                                                       : QString::number(v.toDouble(), 'g', 17));
        }
        lineas << celdas.join(u'|');
    }
    return lineas;
}

// An empty database of its own on NIMBO_PG's server, dropped with the object.
class BaseVacia {
public:
    BaseVacia()
        : nombre_("nimbo_" + QString::number(QRandomGenerator::global()->generate64(), 36).toStdString())
    {
        Pq("").ejecutar("CREATE DATABASE " + nombre_);
    }
    ~BaseVacia()
    {
        try {
            Pq("").ejecutar("DROP DATABASE IF EXISTS " + nombre_ + " WITH (FORCE)");
        } catch (const std::exception&) {
        }
    }
    BaseVacia(const BaseVacia&) = delete;
    BaseVacia& operator=(const BaseVacia&) = delete;
    const std::string& nombre() const { return nombre_; }

private:
    std::string nombre_;
};

// Runs a PostgreSQL client program (pg_dump, psql) on a database of NIMBO_PG's server: what it
// wrote on its error output when it failed, empty when it did not.
QString correrCliente(const QString& programa, const std::string& base, QStringList argumentos)
{
    const QString direccion = QString::fromStdString(entorno("NIMBO_PG")); // host:port/dbname
    const auto dosPuntos = direccion.indexOf(u':'), barra = direccion.indexOf(u'/');
    argumentos << u"-h"_s << direccion.left(dosPuntos) << u"-p"_s << direccion.mid(dosPuntos + 1, barra - dosPuntos - 1)
               << u"-U"_s << QString::fromStdString(entorno("NIMBO_PG_USUARIO")) << u"-d"_s
               << QString::fromStdString(base);
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert(u"PGPASSWORD"_s, QString::fromStdString(entorno("NIMBO_PG_CLAVE")));
    QProcess p;
    p.setProcessEnvironment(variables);
    p.start(programa, argumentos);
    if (!p.waitForFinished(120000))
        return programa + u": "_s + p.errorString();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return programa + u": "_s + QString::fromUtf8(p.readAllStandardError());
    return {};
}

} // namespace

class tst_ServidorPostgres : public QObject {
    Q_OBJECT

    std::unique_ptr<BaseDePrueba> base_;
    std::unique_ptr<Pq> pg_;
    std::unique_ptr<nieb::ConexionSqlite> sqlite_;

private Q_SLOTS:
    void initTestCase()
    {
        if (entorno("NIMBO_PG").empty())
            QSKIP("NIMBO_PG is not set: start a server with scripts/postgres.sh start BUILD_DIR");
        base_ = std::make_unique<BaseDePrueba>();
        pg_ = std::make_unique<Pq>(base_->nombre());
        // The embedded demo, owned by the same name as the server's, so that owner prefixes agree.
        const std::string propietario = comoTexto(
            pg_->consultar("SELECT VALOR FROM NIEB_INFO WHERE OPCION = 'PROPIETARIO'").at(0).at(0));
        sqlite_ = std::make_unique<nieb::ConexionSqlite>(":memory:", nieb::ConexionSqlite::Apertura::Crear);
        nieb::registrarFuncionesComunes(sqlite_->handle());
        nieb::registrarFuncionesDifusas(sqlite_->handle());
        sqlite_->ejecutar("PRAGMA foreign_keys = ON");
        nieb::instalarServidor(*sqlite_, propietario, "2026-01-01");
        sqlite_->ejecutar(demoSqlite);
        sqlite_->setSesion(1);
        // A label in Spanish with an accent, on both.
        const char* pequeno = R"(INSERT INTO LFOC ("OBJ#", "COL#", FUZZY_ID, LABEL, ALFA, BETA, GAMMA, DELTA)
            SELECT "OBJ#", "COL#", 4, 'Pequeño', 0, 0, 2, 4 FROM FCL
            WHERE "OBJ#" = (SELECT "OBJ#" FROM NIEB_OBJETOS WHERE upper(TABLE_NAME) = 'EMPLEADOS') AND "COL#" = 13)";
        sqlite_->ejecutar(pequeno);
        pg_->ejecutar(pequeno);
    }
    void cleanupTestCase()
    {
        pg_.reset();
        base_.reset();
    }

    // Every construct of the language and the translation errors (the README's queries run in the
    // translator's suite on both databases).
    void sameRowsAndDegreesAsTheEmbeddedServer_data()
    {
        QTest::addColumn<QString>("consulta");
        const QStringList consultas{
            u"SELECT * FROM EMPLEADOS WHERE EDAD IS UNKNOWN OR EXPERIENCIA IS NOT UNDEFINED"_s,
            // The demo itself: its rows and its catalogue.
            u"SELECT * FROM CANDIDATOS"_s,
            u"SELECT * FROM EMPLEADOS"_s,
            u"SELECT * FROM DEPARTAMENTOS"_s,
            u"SELECT t.TABLE_NAME, f.\"COL#\", F_TYPE, LEN, MARGEN, MUCHO, COM, LABEL, ALFA, BETA, GAMMA, DELTA FROM FCL f "
            u"JOIN ACCESSIBLE_TABLES t ON t.\"OBJ#\" = f.\"OBJ#\" LEFT JOIN LFOC l ON l.\"OBJ#\" = f.\"OBJ#\" AND "
            u"l.\"COL#\" = f.\"COL#\""_s,
            u"SELECT t.TABLE_NAME, s.\"COL#\", LABEL_1, LABEL_2, DEGREE FROM LOCT3 s JOIN ACCESSIBLE_TABLES t ON "
            u"t.\"OBJ#\" = s.\"OBJ#\""_s,
            u"SELECT * FROM ACT3"_s,
            u"SELECT OWNER, TABLE_NAME FROM ACCESSIBLE_TABLES WHERE TABLE_NAME IN ('EMPLEADOS', 'NIEB_INFO')"_s,
            u"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE EDAD IS NULL OR CARACTER IS UNKNOWN"_s,
            u"SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE SUELDO FEQ #3000 THOLD 0.5"_s,
            u"SELECT ID_EMPLEADO, CDEG(SUELDO) FROM EMPLEADOS WHERE SUELDO MGT 3000 OR SUELDO NFLT $Medio"_s,
            u"SELECT ID_CANDIDATO, CDEG(*) FROM CANDIDATOS WHERE SUELDO_DESEADO FGT 2000 THOLD 0"_s,
            // The set operators are of one precedence, left to right, on both.
            u"SELECT NOMBRE FROM EMPLEADOS UNION SELECT NOMBRE FROM CANDIDATOS INTERSECT SELECT NOMBRE FROM EMPLEADOS "
            u"WHERE SUELDO FGT 3000 MINUS SELECT NOMBRE FROM CANDIDATOS WHERE EDAD FEQ $Joven ORDER BY 1"_s,
            u"SELECT NOMBRE, CDEG(EDAD), CDEG(*) FROM EMPLEADOS WHERE NOT (EDAD FEQ $Joven) AND (SUELDO NFGEQ #3000 OR "
            u"EDAD MGT 40)"_s,
            // A NULL degree in an OR: the logic functions give NULL, on both databases.
            u"SELECT ID_CANDIDATO, CDEG(*) FROM CANDIDATOS WHERE SUELDO_DESEADO FEQ $Alto OR EDAD FEQ $Joven"_s,
            u"SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE EXPERIENCIA FEQ [-1,2] OR EXPERIENCIA FLT $[-2,-1,0,1]"_s,
            u"SELECT ID_EMPLEADO, CDEG(*) FROM %OWNER%.EMPLEADOS WHERE EDAD NMLT 30 THOLD 0.9"_s,
            u"SELECT NOMBRE, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ UNKNOWN"_s,
            u"SELECT E.ID_EMPLEADO, CDEG(*) FROM EMPLEADOS E, CANDIDATOS C WHERE E.ID_EMPLEADO = C.ID_CANDIDATO AND "
            u"E.EDAD FGEQ C.EDAD THOLD 0.5"_s,
            u"SELECT C.ID_CANDIDATO, E.ID_EMPLEADO, CDEG(*) FROM CANDIDATOS C, EMPLEADOS E WHERE C.ID_CANDIDATO = "
            u"E.ID_EMPLEADO AND C.CARACTER NFEQ E.CARACTER"_s,
            u"SELECT ID_EMPLEADO, EXPERIENCIA, CDEG(*) FROM EMPLEADOS WHERE EXPERIENCIA FEQ $PEQUEÑO OR "
            u"EXPERIENCIA NFLEQ $pequeño"_s,
            // Ramps of a precise number in thirds and sevenths: worked out in single precision they would
            // differ in the last digits.
            u"SELECT ID_EMPLEADO, SUELDO, CDEG(*) FROM EMPLEADOS WHERE SUELDO FEQ $[1000,1300,2000,2700]"_s,
            u"SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE SUELDO NFEQ $[1500,1800,2000,2700] AND EDAD NFGT #40 "
            u"AND EXPERIENCIA MLT 10 THOLD 0"_s,
            u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ $Anciano OR NOMBRE FEQ 3 OR CARACTER FGT $Serio"_s,
            u"SELECT NOMBRE FROM EMPLEADOS, CANDIDATOS\nWHERE EDAD FEQ 30 AND X.EDAD FEQ 3 AND EDAD FEQ $[5,4,6,7]"_s,
            u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ UNDEFINED AND NOMBRE = 'Ana"_s,
            u"SELECT CDEG(SUELDO) FROM EMPLEADAS WHERE EDAD FEQ 30 THOLD 1.5"_s,
        };
        for (int i = 0; i < consultas.size(); ++i)
            QTest::newRow(qPrintable(u"%1: %2"_s.arg(i + 1).arg(consultas[i].left(60)))) << consultas[i];
    }
    void sameRowsAndDegreesAsTheEmbeddedServer()
    {
        QFETCH(QString, consulta);
        const QString propietario = QString::fromStdString(
            comoTexto(sqlite_->consultar("SELECT VALOR FROM NIEB_INFO WHERE OPCION = 'PROPIETARIO'").at(0).at(0)));
        const std::string nieb = consulta.replace(u"%OWNER%"_s, propietario).toStdString();
        const auto enSqlite = nieb::traducir(nieb, *sqlite_);
        const auto enPostgres = pg_->traducir(nieb);
        QCOMPARE(enPostgres.errores, enSqlite.errores);
        if (!enSqlite.errores.empty())
            return;
        std::vector<Fila> filasPg;
        try {
            filasPg = normalizadas(pg_->consultar(enPostgres.sql));
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
        const auto filasSqlite = normalizadas(sqlite_->consultar(enSqlite.sql));
        QVERIFY(!filasSqlite.empty());
        QCOMPARE(filasPg.size(), filasSqlite.size());
        QVERIFY2(filasPg == filasSqlite,
            qPrintable(u"PostgreSQL:\n%1\nSQLite:\n%2"_s.arg(mostrar(filasPg), mostrar(filasSqlite))));
    }

    // A precise number of any value, not only the demo's whole euros: the ramps are worked out in
    // double precision on both databases.
    void preciseNumbersGiveTheSameDegrees()
    {
        sqlite_->ejecutar("CREATE TABLE MEDIDAS (ID INTEGER, P REAL)");
        pg_->ejecutar("CREATE TABLE MEDIDAS (ID INTEGER, P DOUBLE PRECISION)");
        std::string valores;
        for (int i = 0; i < 400; ++i) {
            const double p = i / 7.0 - 20.0 / 3;
            sqlite_->ejecutar("INSERT INTO MEDIDAS VALUES (?1, ?2)", {std::int64_t{i}, p});
            valores += (i ? ", (" : "(") + std::to_string(i) + ", " + nieb::numeroExacto(p) + ")";
        }
        pg_->ejecutar("INSERT INTO MEDIDAS VALUES " + valores);
        const std::string propietario = comoTexto(
            pg_->consultar("SELECT VALOR FROM NIEB_INFO WHERE OPCION = 'PROPIETARIO'").at(0).at(0));
        nieb::Catalogo(*sqlite_).sincronizarTablas();
        QVERIFY(pg_->entero("SELECT NIEB_PKG.NIEB_OBJ($1, 'MEDIDAS')", {propietario}) > 0);
        const char* atributo = R"(INSERT INTO FCL ("OBJ#", "COL#", F_TYPE, MARGEN, MUCHO)
            SELECT "OBJ#", 2, 1, 1.3, 2.1 FROM NIEB_OBJETOS WHERE upper(TABLE_NAME) = 'MEDIDAS')";
        sqlite_->ejecutar(atributo);
        pg_->ejecutar(atributo);
        for (const char* c : {"P FEQ #1.7", "P NFGT $[-3.3,-1.1,0.7,2.9]", "P MLT 4.4 THOLD 0.3", "P NMGT [-0.1,0.1]"}) {
            const std::string q = std::string("SELECT ID, P, CDEG(*) FROM MEDIDAS WHERE ") + c;
            const auto enSqlite = normalizadas(sqlite_->consultar(nieb::traducir(q, *sqlite_).sql));
            const auto enPostgres = normalizadas(pg_->consultar(pg_->traducir(q).sql));
            QVERIFY(enSqlite.size() > 5);
            QVERIFY2(enPostgres == enSqlite, c);
        }
    }

    // Each connection is a session of its own: its translation and errors are not seen, nor removed,
    // by another, and NIEB_FIN removes only its own.
    void sessionsKeepTheirRowsToThemselves()
    {
        Pq otra(base_->nombre());
        QVERIFY(pg_->entero("SELECT USERENV('SESSIONID')") != otra.entero("SELECT USERENV('SESSIONID')"));
        QVERIFY(pg_->traducir("SELECT NOMBRE FROM DEPARTAMENTOS").errores.empty());
        QCOMPARE(otra.traducir("SELECT * FROM EMPLEADOS WHERE EDAD FEQ $Nada").errores.size(), 1u);
        // Not even a query without the session's number sees the other's rows.
        QCOMPARE(pg_->entero("SELECT COUNT(*) FROM NIEB_ERRORS"), 0);
        QCOMPARE(otra.entero("SELECT COUNT(*) FROM NIEB_QUERY"), 0);
        QCOMPARE(pg_->entero("SELECT COUNT(*) FROM NIEB_QUERY"), 4);
        otra.ejecutar("SELECT NIEB_PKG.NIEB_FIN()");
        QCOMPARE(otra.entero("SELECT COUNT(*) FROM NIEB_ERRORS"), 0);
        QCOMPARE(pg_->entero("SELECT COUNT(*) FROM NIEB_QUERY"), 4);
        // Nothing reaches the catalogue's shared tables.
        QCOMPARE(pg_->entero("SELECT COUNT(*) FROM public.NIEB_QUERY"), 0);
        QVERIFY(pg_->entero("SELECT NUM FROM NIEB_STATS WHERE EVENTO = 'SESIONES'") >= 2);
    }

    // Sessions translating while tables come and go all bring the catalogue up to date at once: none
    // may fail on another's new numbers or wait for it in a cycle.
    void concurrentSessionsFollowNewTables()
    {
        std::vector<std::thread> hilos;
        std::atomic<int> hechas = 0;
        std::mutex m;
        QStringList fallos;
        for (int h = 0; h < 6; ++h)
            hilos.emplace_back([&, h] {
                try {
                    Pq c(base_->nombre());
                    const std::string tabla = "CONCURRENTE_" + std::to_string(h);
                    for (int i = 0; i < 15; ++i) {
                        c.ejecutar("CREATE TABLE " + tabla + " (A INTEGER)");
                        if (!c.traducir("SELECT * FROM " + tabla + " WHERE A = 1").errores.empty())
                            throw std::runtime_error("the new table was not found");
                        c.ejecutar("DROP TABLE " + tabla);
                        if (!c.traducir("SELECT NOMBRE FROM EMPLEADOS WHERE EDAD FEQ $Joven").errores.empty())
                            throw std::runtime_error("the demo's query did not translate");
                        ++hechas;
                    }
                } catch (const std::exception& e) {
                    const std::lock_guard bloqueo(m);
                    fallos << QString::fromUtf8(e.what());
                }
            });
        for (auto& h : hilos)
            h.join();
        QVERIFY2(fallos.isEmpty(), qPrintable(fallos.join(u'\n')));
        QCOMPARE(hechas.load(), 90);
    }

    // A statement PostgreSQL refuses inside the package comes back as the database's error, and the
    // session goes on; the package's look-ups answer as on the embedded server.
    void packageLookUpsAndErrors()
    {
        const std::string propietario = comoTexto(
            pg_->consultar("SELECT VALOR FROM NIEB_INFO WHERE OPCION = 'PROPIETARIO'").at(0).at(0));
        const auto obj = pg_->entero("SELECT NIEB_PKG.NIEB_OBJ($1, 'empleados')", {propietario});
        QVERIFY(obj > 0);
        QCOMPARE(pg_->entero("SELECT NIEB_PKG.NIEB_COL($1, 'EMPLEADOS', 'EDADT')", {propietario}), 8);
        QCOMPARE(pg_->entero("SELECT NIEB_PKG.NIEB_FTYPE($1, 8)", {std::to_string(obj)}), 2);
        QCOMPARE(pg_->entero("SELECT NIEB_PKG.NIEB_FTYPE($1, 1)", {std::to_string(obj)}), 0);
        QCOMPARE(pg_->entero("SELECT NIEB_PKG.NIEB_OBJ('OTRO', 'EMPLEADOS')"), 0);
        // The logic option replaces the server's NULL-keeping LEAST.
        const std::string y = "SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ 30 AND SUELDO FEQ $Alto";
        QVERIFY(QString::fromStdString(pg_->traducir(y).sql).contains(u"NIEB_LEAST("_s));
        pg_->ejecutar("INSERT INTO NIEB_OPTIONS (OPCION, VALOR) VALUES ('AND', 'X * Y')");
        const auto t = pg_->traducir(y);
        pg_->ejecutar("DELETE FROM NIEB_OPTIONS WHERE OPCION = 'AND'");
        QVERIFY(t.errores.empty());
        QVERIFY(!QString::fromStdString(t.sql).contains(u"NIEB_LEAST"_s));
        pg_->ejecutar("ALTER TABLE NIEB_STATS RENAME TO NIEB_STATS_APARTE");
        bool fallo = false;
        try {
            pg_->traducir("SELECT NOMBRE FROM DEPARTAMENTOS");
        } catch (const std::runtime_error& e) {
            fallo = QString::fromUtf8(e.what()).contains(u"nieb_stats"_s);
        }
        pg_->ejecutar("ALTER TABLE NIEB_STATS_APARTE RENAME TO NIEB_STATS");
        QVERIFY(fallo);
        QVERIFY(pg_->traducir("SELECT NOMBRE FROM DEPARTAMENTOS").errores.empty());
    }

    // Schema changes under the server: a dropped column before a fuzzy one moves it, and its labels go
    // along; a dropped table takes its attributes; a new table gets a number.
    void theCatalogueFollowsSchemaChanges()
    {
        BaseDePrueba base;
        Pq c(base.nombre());
        const std::string consulta
            = "SELECT ID_EMPLEADO, EDAD, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Joven THOLD 0.5 AND CARACTER FEQ $Serio";
        const auto antes = normalizadas(c.consultar(c.traducir(consulta).sql));
        QVERIFY(!antes.empty());
        c.ejecutar("ALTER TABLE EMPLEADOS DROP COLUMN PUESTO");
        const auto despues = c.traducir(consulta);
        QVERIFY(despues.errores.empty());
        QVERIFY(normalizadas(c.consultar(despues.sql)) == antes);
        const auto obj = c.entero("SELECT \"OBJ#\" FROM NIEB_OBJETOS WHERE TABLE_NAME = 'empleados'");
        QCOMPARE(c.entero("SELECT COUNT(*) FROM LFOC WHERE \"OBJ#\" = $1 AND \"COL#\" = 7", {std::to_string(obj)}), 3);
        QCOMPARE(c.entero("SELECT COUNT(*) FROM FCL WHERE \"OBJ#\" = $1 AND \"COL#\" = 17", {std::to_string(obj)}), 1);

        c.ejecutar("DROP TABLE CANDIDATOS");
        c.ejecutar("CREATE TABLE \"Nueva\" (\"Edad\" INTEGER)");
        QCOMPARE(c.traducir("SELECT * FROM CANDIDATOS").errores.size(), 1u);
        QCOMPARE(c.entero("SELECT COUNT(*) FROM FCL"), 4);
        QCOMPARE(c.entero("SELECT COUNT(*) FROM NIEB_COMPATIBLES"), 0);
        QVERIFY(c.entero("SELECT COUNT(*) FROM NIEB_OBJETOS WHERE TABLE_NAME = 'Nueva'") == 1);
        // A column with capitals is quoted where the SQL names it.
        c.ejecutar("INSERT INTO \"Nueva\" VALUES (30), (40)");
        c.ejecutar("INSERT INTO FCL (\"OBJ#\", \"COL#\", F_TYPE, MARGEN, MUCHO) SELECT \"OBJ#\", 1, 1, 5, 10 FROM "
                   "NIEB_OBJETOS WHERE TABLE_NAME = 'Nueva'");
        const auto t = c.traducir("SELECT \"Edad\", CDEG(*) FROM \"Nueva\" WHERE \"Edad\" FEQ #32");
        QVERIFY(t.errores.empty());
        const auto filas = c.consultar(t.sql);
        QCOMPARE(filas.size(), 1u);
        QCOMPARE(comoReal(filas[0][1]), 0.6);
    }

    // A plain role (no superuser, granted nothing: the demo and the server are for every user) logs in
    // through the client's database library and uses the server as its installer does: same
    // translation and rows, its own session rows, its translation's notices kept in NIEB_INFO, and
    // after a schema change its session brings the catalogue up to date. Labels, options and the rest
    // of NIEB_INFO stay the owner's to write.
    void aPlainRoleUsesTheServer()
    {
        BaseDePrueba base;
        Pq duenio(base.nombre());
        const std::string rol = "nimbo_" + QString::number(QRandomGenerator::global()->generate64(), 36).toStdString();
        duenio.ejecutar("CREATE ROLE " + rol + " LOGIN PASSWORD 'clave de prueba'");
        std::unique_ptr<db::OraDatabase> usuario;
        const auto fin = qScopeGuard([&] {
            usuario.reset();
            try {
                duenio.ejecutar("DROP OWNED BY " + rol + "; DROP ROLE " + rol);
            } catch (const std::exception&) {
            }
        });
        const QString direccion = QString::fromStdString(entorno("NIMBO_PG"));
        const QString nombre = direccion.left(direccion.lastIndexOf(u'/') + 1) + QString::fromStdString(base.nombre());
        try {
            usuario = std::make_unique<db::OraDatabase>(
                nombre, db::abrirBackend(nombre, QString::fromStdString(rol), u"clave de prueba"_s));
            const QString joven = u"SELECT NOMBRE, APELLIDOS, EDAD, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Joven THOLD 0.5 "
                                  u"ORDER BY CDEG(*) DESC, NOMBRE, APELLIDOS"_s;
            const auto t = servidor::traducir(*usuario, joven);
            QCOMPARE(t.errores, 0);
            const auto delDuenio = duenio.traducir(joven.toStdString());
            QCOMPARE(t.sql, QString::fromStdString(delDuenio.sql));
            const auto filas = comoLineas(*usuario, t.sql);
            QVERIFY(filas.size() > 10);
            QCOMPARE(filas, comoLineas(duenio.consultar(delDuenio.sql)));

            // Each sees only its own translation.
            const auto suyas = comoLineas(*usuario, u"SELECT COUNT(*) FROM NIEB_QUERY"_s);
            QCOMPARE(duenio.entero("SELECT COUNT(*) FROM NIEB_QUERY WHERE SESSIONID = $1", {std::to_string(usuario->sesion())}), 0);
            QCOMPARE(comoLineas(*usuario, u"SELECT COUNT(*) FROM NIEB_QUERY WHERE SESSIONID <> USERENV('SESSIONID')"_s),
                QStringList{u"0"_s});
            QCOMPARE(suyas, QStringList{QString::number(duenio.entero("SELECT COUNT(*) FROM NIEB_QUERY"))});

            for (const QString& cambio : {u"INSERT INTO LFOC SELECT \"OBJ#\", \"COL#\", 9, 'Otra', 0, 1, 2, 3 FROM LFOC LIMIT 1"_s,
                     u"UPDATE FCL SET MARGEN = 0"_s, u"DELETE FROM LOCT3"_s, u"INSERT INTO NIEB_OPTIONS VALUES ('AND', 'X')"_s,
                     u"DELETE FROM NIEB_OBJETOS"_s, u"INSERT INTO NIEB_INFO VALUES ('AVISO', 'x')"_s,
                     u"DELETE FROM NIEB_INFO WHERE OPCION = 'AVISO'"_s, u"UPDATE NIEB_INFO SET VALOR = 'x'"_s})
                QVERIFY_THROWS_EXCEPTION(db::ErrorOra, usuario->DbExecuteSQL(cambio));

            // A malformed option: the user's translation leaves its notice, and takes it away once mended.
            const auto avisos = [&] { return duenio.entero("SELECT COUNT(*) FROM NIEB_INFO WHERE OPCION = 'AVISO'"); };
            duenio.ejecutar("INSERT INTO NIEB_OPTIONS VALUES ('AND', 'X +')");
            QCOMPARE(servidor::traducir(*usuario, joven).errores, 0);
            QCOMPARE(avisos(), 1);
            duenio.ejecutar("DELETE FROM NIEB_OPTIONS WHERE OPCION = 'AND'");
            QCOMPARE(servidor::traducir(*usuario, joven).errores, 0);
            QCOMPARE(avisos(), 0);

            // A column dropped before the fuzzy ones: the user's translation moves their attributes.
            const QString serio = u"SELECT ID_EMPLEADO, EDAD, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Joven THOLD 0.5 AND "
                                  u"CARACTER FEQ $Serio ORDER BY 1"_s;
            const auto antes = comoLineas(*usuario, servidor::traducir(*usuario, serio).sql);
            QVERIFY(!antes.isEmpty());
            duenio.ejecutar("ALTER TABLE EMPLEADOS DROP COLUMN PUESTO");
            // A table of the user's own by a catalogue table's name gets none of the owner's writes.
            usuario->DbExecuteSQL(u"CREATE TEMP TABLE NIEB_SINCRONIA (VERSION_ESQUEMA BIGINT)"_s);
            const auto despues = servidor::traducir(*usuario, serio);
            QCOMPARE(despues.errores, 0);
            QCOMPARE(comoLineas(*usuario, despues.sql), antes);
            QCOMPARE(duenio.entero(R"(SELECT COUNT(*) FROM FCL f JOIN NIEB_OBJETOS o ON o."OBJ#" = f."OBJ#"
                                      WHERE o.TABLE_NAME = 'empleados' AND f."COL#" = 17)"), 1);
            QCOMPARE(comoLineas(*usuario, u"SELECT COUNT(*) FROM pg_temp.NIEB_SINCRONIA"_s), QStringList{u"0"_s});
            // Its session is its own again afterwards.
            QCOMPARE(comoLineas(*usuario, u"SELECT current_user, current_setting('search_path') FROM DUAL"_s),
                QStringList{QString::fromStdString(rol) + u"|\"$user\", public"_s});
        } catch (const db::ErrorOra& e) {
            QFAIL(qPrintable(e.texto()));
        }
    }

    // The administrators' route, where the server has the extension's files (cmake --install BUILD
    // --component nieb_pg): CREATE EXTENSION nieb in a fresh database gives the README's rows as the
    // installer's script does; pg_dump and a restore keep its labels, options and table numbers; DROP
    // EXTENSION takes away everything it made.
    void theExtensionInstallsSurvivesADumpAndDropsCleanly()
    {
        if (pg_->consultar("SELECT 1 FROM pg_available_extensions WHERE name = 'nieb'").empty())
            QSKIP("the extension nieb is not installed in this PostgreSQL server: cmake --install BUILD --component "
                  "nieb_pg (scripts/test.sh does it when run as root)");
        // Every object outside PostgreSQL's own schemas, and the extensions.
        const std::string propios = R"(WITH n AS (SELECT oid, nspname FROM pg_namespace
                WHERE nspname NOT LIKE 'pg\_%' AND nspname <> 'information_schema')
            SELECT 'schema ' || nspname FROM n
            UNION ALL SELECT 'relation ' || c.oid::regclass::text FROM pg_class c JOIN n ON n.oid = c.relnamespace
            UNION ALL SELECT 'function ' || p.oid::regprocedure::text FROM pg_proc p JOIN n ON n.oid = p.pronamespace
            UNION ALL SELECT 'type ' || t.oid::regtype::text FROM pg_type t JOIN n ON n.oid = t.typnamespace
            UNION ALL SELECT 'extension ' || extname FROM pg_extension ORDER BY 1)";
        const BaseVacia base, copia;
        Pq c(base.nombre());
        const auto antes = c.consultar(propios);
        try {
            c.ejecutar("CREATE EXTENSION nieb");
            c.ejecutar(demoPostgres);
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
        const auto mismasFilas = [&](Pq& en) {
            for (const char* q : {"SELECT NOMBRE, APELLIDOS, EDAD, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Joven "
                                  "THOLD 0.5 ORDER BY CDEG(*) DESC",
                     "SELECT C.NOMBRE, E.NOMBRE, CDEG(*) FROM CANDIDATOS C, EMPLEADOS E WHERE C.ID_DEPARTAMENTO = "
                     "E.ID_DEPARTAMENTO AND E.PUESTO = 'Jefe de proyecto' AND C.CARACTER FEQ E.CARACTER THOLD 0.8"}) {
                const auto t = en.traducir(q);
                const auto filas = t.errores.empty() ? normalizadas(en.consultar(t.sql)) : std::vector<Fila>{};
                if (filas.size() < 5 || filas != normalizadas(pg_->consultar(pg_->traducir(q).sql)))
                    return false;
            }
            return true;
        };
        QVERIFY(mismasFilas(c));

        const QString bin = QString::fromStdString(
            comoTexto(c.consultar("SELECT setting FROM pg_config WHERE name = 'BINDIR'").at(0).at(0)));
        if (!QFileInfo::exists(bin + u"/pg_dump"_s))
            QSKIP("no pg_dump beside the PostgreSQL server");
        c.ejecutar("INSERT INTO NIEB_OPTIONS VALUES ('AND', 'X * Y')");
        const QTemporaryDir carpeta;
        const QString volcado = carpeta.filePath(u"volcado.sql"_s);
        QCOMPARE(correrCliente(bin + u"/pg_dump"_s, base.nombre(), {u"-f"_s, volcado}), QString());
        QCOMPARE(correrCliente(bin + u"/psql"_s, copia.nombre(),
                     {u"-X"_s, u"-q"_s, u"-v"_s, u"ON_ERROR_STOP=1"_s, u"-f"_s, volcado}),
            QString());
        Pq r(copia.nombre());
        QVERIFY(mismasFilas(r));
        const char* opciones = "SELECT OPCION, VALOR FROM NIEB_OPTIONS ORDER BY 1";
        QCOMPARE(comoLineas(r.consultar(opciones)), comoLineas(c.consultar(opciones)));
        r.ejecutar("CREATE TABLE NUEVA (A INTEGER)");
        QVERIFY(r.entero("SELECT NIEB_PKG.NIEB_OBJ(VALOR, 'NUEVA') FROM NIEB_INFO WHERE OPCION = 'PROPIETARIO'") > 0);

        // The demo's tables are its own, not the extension's.
        c.ejecutar("DROP EXTENSION nieb; DROP TABLE CANDIDATOS, EMPLEADOS, DEPARTAMENTOS");
        QCOMPARE(comoLineas(c.consultar(propios)), comoLineas(antes));
    }

    // ROUND of a degree in a logic option: the same degrees on both databases.
    void roundInALogicOptionGivesTheSameDegrees()
    {
        const char* opciones = "INSERT INTO NIEB_OPTIONS (OPCION, VALOR) VALUES ('AND', 'ROUND(X * Y, 2)'), "
                               "('OR', 'ROUND((X + Y) / 3, 1)')";
        sqlite_->ejecutar(opciones);
        pg_->ejecutar(opciones);
        const auto fin = qScopeGuard([&] {
            const char* borrar = "DELETE FROM NIEB_OPTIONS WHERE OPCION IN ('AND', 'OR')";
            sqlite_->ejecutar(borrar);
            pg_->ejecutar(borrar);
        });
        for (const char* q : {"SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Joven AND SUELDO FEQ $[1000,1300,2000,2700]",
                 "SELECT ID_CANDIDATO, CDEG(*) FROM CANDIDATOS WHERE EXPERIENCIA FGEQ $Media OR EDAD NFEQ $Adulto"}) {
            const auto enSqlite = nieb::traducir(q, *sqlite_);
            const auto enPostgres = pg_->traducir(q);
            QVERIFY(enPostgres.errores.empty());
            QVERIFY(QString::fromStdString(enPostgres.sql).contains(u"ROUND("_s));
            std::vector<Fila> filasPg;
            try {
                filasPg = normalizadas(pg_->consultar(enPostgres.sql));
            } catch (const std::exception& e) {
                QFAIL(e.what());
            }
            const auto filasSqlite = normalizadas(sqlite_->consultar(enSqlite.sql));
            QVERIFY(filasSqlite.size() > 10);
            QVERIFY2(filasPg == filasSqlite, q);
        }
        // Whole numbers are still rounded exactly, as numeric.
        QCOMPARE(comoTexto(pg_->consultar("SELECT ROUND(9007199254740993::bigint, 0)::text || ' ' || "
                                          "pg_typeof(ROUND(7, 2))::text || ' ' || ROUND(7::smallint, 2)").at(0).at(0)),
            std::string("9007199254740993 numeric 7.00"));
    }
};

QTEST_GUILESS_MAIN(tst_ServidorPostgres)
#include "tst_servidor_postgres.moc"
