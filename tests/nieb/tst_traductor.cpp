#include "BancosNieb.h"
#include "BaseEmbebida.h"
#include "GradosDifusos.h"
#include "OraSession.h"
#include "TraduccionServidor.h"
#include "ValoresTexto.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;
using nieb::comoReal;
using nieb::comoTexto;

namespace {

// The client rebuilds the statement from the rows with its own rule: it must give back exactly the SQL
// the translator made.
QString reglaDelCliente(const std::vector<std::string>& filas)
{
    QStringList textos;
    for (const auto& f : filas)
        textos << QString::fromStdString(f);
    return servidor::reconstruirSentencia(textos);
}

// Registers AZAR's P as a type-1 attribute and V (VT, V1..V4) as a type-2 one, with two labels each,
// once the catalogue has given the table its number.
const char* const catalogoDeAzar
    = "INSERT INTO FCL (\"OBJ#\", \"COL#\", F_TYPE, MARGEN, MUCHO) SELECT \"OBJ#\", 2, 1, 2, 5 FROM NIEB_OBJETOS "
      "WHERE upper(TABLE_NAME) = 'AZAR';"
      "INSERT INTO FCL (\"OBJ#\", \"COL#\", F_TYPE, MARGEN, MUCHO) SELECT \"OBJ#\", 3, 2, 3, 5 FROM NIEB_OBJETOS "
      "WHERE upper(TABLE_NAME) = 'AZAR';"
      "INSERT INTO LFOC SELECT \"OBJ#\", c, 1, 'Bajo', -60, -50, -20, -10 FROM NIEB_OBJETOS, "
      "(SELECT 2 AS c UNION SELECT 3) AS columnas WHERE upper(TABLE_NAME) = 'AZAR';"
      "INSERT INTO LFOC SELECT \"OBJ#\", c, 2, 'Alto', 10, 20, 20, 60 FROM NIEB_OBJETOS, "
      "(SELECT 2 AS c UNION SELECT 3) AS columnas WHERE upper(TABLE_NAME) = 'AZAR';";

} // namespace

// Every case runs on the embedded server and, where NIMBO_PG names a PostgreSQL server, on the server
// installed in it: there the query is translated by NIEB_PKG inside PostgreSQL and run there, and its
// rows and degrees must be those of the embedded server given the same changes.
class tst_Traductor : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta_;
    std::unique_ptr<BancoSqlite> sqlite_;
#ifdef NIMBO_PRUEBAS_POSTGRES
    std::unique_ptr<pq::BaseDePrueba> basePg_;
    std::unique_ptr<BancoPostgres> postgres_;
    std::unique_ptr<BancoSqlite> gemeloPg_;
#endif
    // The row's database, and beside PostgreSQL its embedded twin; the catalogue the translation
    // without crisp ranges reads, and the dialect it is written in.
    Banco* banco_ = nullptr;
    BancoSqlite* gemelo_ = nullptr;
    nieb::ConexionSqlite* catalogo_ = nullptr;
    nieb::Dialecto dialecto_;
    std::string propietario_;
    // How the client logs in to the row's database.
    QString base_;
    QString conexion_;

    // Translates, checks the rebuild, runs the SQL and returns its rows. Without prefilter the query is
    // translated in-process against the catalogue, in the database's dialect.
    std::vector<nieb::Fila> consultar(const QString& consulta, bool prefiltro = true)
    {
        const std::string nieb = consulta.toStdString();
        nieb::Traduccion t;
        try {
            nieb::Dialecto sinPrefiltro = dialecto_;
            sinPrefiltro.prefiltro = false;
            t = prefiltro ? banco_->traducir(nieb) : nieb::traducir(nieb, *catalogo_, sinPrefiltro);
            for (const auto& e : t.errores)
                qWarning() << e.c_str();
            if (!t.errores.empty() || reglaDelCliente(t.filas) != QString::fromStdString(t.sql)) {
                QTest::qFail("the query did not translate, or its rows do not rebuild its SQL", __FILE__, __LINE__);
                return {};
            }
            auto r = banco_->consultar(t.sql);
#ifdef NIMBO_PRUEBAS_POSTGRES
            if (gemelo_ && pq::normalizadas(r) != pq::normalizadas(gemelo_->consultar(gemelo_->traducir(nieb).sql, {})))
                QTest::qFail(("other rows or degrees than on SQLite: " + nieb).c_str(), __FILE__, __LINE__);
#endif
            return r;
        } catch (const std::exception& e) {
            QTest::qFail(e.what(), __FILE__, __LINE__);
            qWarning() << "SQL:" << QString::fromStdString(t.sql.substr(0, 3000));
            return {};
        }
    }
    // A statement on the row's database and on its twin.
    void ejecutar(const std::string& sql)
    {
        banco_->ejecutar(sql);
        if (gemelo_)
            gemelo_->ejecutar(sql, {});
    }

    std::vector<std::string> errores(const QString& nieb) { return banco_->traducir(nieb.toStdString()).errores; }

private Q_SLOTS:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("sqlite") << false;
        QTest::newRow("postgres") << true;
    }
    // Each database is made when its row first runs and kept for the rest.
    void init()
    {
        QFETCH_GLOBAL(bool, postgres);
        if (!postgres) {
            base_ = carpeta_.filePath(u"demo.db"_s);
            if (!sqlite_) {
                QVERIFY(db::instalarEnFichero(base_, u"SCOTT"_s, u"ravel"_s, true));
                sqlite_ = std::make_unique<BancoSqlite>(base_.toStdString(), "SCOTT");
            }
            banco_ = sqlite_.get();
            gemelo_ = nullptr;
            catalogo_ = &sqlite_->conexion();
            dialecto_ = {};
            propietario_ = "SCOTT";
            conexion_ = u"SCOTT/ravel"_s;
            return;
        }
#ifdef NIMBO_PRUEBAS_POSTGRES
        if (pq::entorno("NIMBO_PG").empty())
            QSKIP("NIMBO_PG is not set: start a server with scripts/postgres.sh start BUILD_DIR");
        if (!postgres_) {
            basePg_ = std::make_unique<pq::BaseDePrueba>();
            postgres_ = std::make_unique<BancoPostgres>(basePg_->nombre());
            gemeloPg_ = std::make_unique<BancoSqlite>(postgres_->propietario());
        }
        banco_ = postgres_.get();
        gemelo_ = gemeloPg_.get();
        catalogo_ = &gemeloPg_->conexion();
        dialecto_ = nieb::Dialecto::postgresql();
        propietario_ = postgres_->propietario();
        const QString direccion = QString::fromStdString(pq::entorno("NIMBO_PG"));
        base_ = direccion.left(direccion.lastIndexOf(u'/') + 1) + QString::fromStdString(basePg_->nombre());
        conexion_ = QString::fromStdString(pq::entorno("NIMBO_PG_USUARIO") + '/' + pq::entorno("NIMBO_PG_CLAVE"));
#else
        QSKIP("built without PostgreSQL");
#endif
    }
    void cleanupTestCase()
    {
#ifdef NIMBO_PRUEBAS_POSTGRES
        postgres_.reset();
        basePg_.reset();
#endif
    }

    // Results worked out by hand from the demo data and the labels' definitions.
    void rankedQueriesOnTheDemo()
    {
        auto filas
            = consultar(u"SELECT NOMBRE, APELLIDOS, EDAD, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Joven THOLD 0.5 "
                        u"ORDER BY CDEG(*) DESC"_s);
        QCOMPARE(filas.size(), 47u);
        QCOMPARE(std::count_if(filas.begin(), filas.end(), [](const auto& f) { return comoReal(f[3]) == 1.0; }), 16);
        QCOMPARE(comoReal(filas.back()[3]), 0.5);
        QVERIFY(std::is_sorted(
            filas.begin(), filas.end(), [](const auto& a, const auto& b) { return comoReal(a[3]) > comoReal(b[3]); }));
        const auto eva = std::find_if(
            filas.begin(), filas.end(), [](const auto& f) { return comoTexto(f[2]) == "$[28,30,34,36]"; });
        QVERIFY(eva != filas.end());
        QCOMPARE(comoReal((*eva)[3]), 7.0 / 12.0);

        filas = consultar(u"SELECT E.NOMBRE, E.SUELDO, CDEG(*) FROM EMPLEADOS E JOIN DEPARTAMENTOS D ON "
                          u"D.ID_DEPARTAMENTO = E.ID_DEPARTAMENTO WHERE D.CIUDAD = 'Madrid' AND E.SUELDO FEQ $Alto "
                          u"THOLD 0.75 ORDER BY CDEG(*) DESC"_s);
        QCOMPARE(filas.size(), 29u);
        QCOMPARE(comoReal(filas[22][1]), 2780.0);
        QCOMPARE(comoReal(filas[22][2]), 0.96);

        filas = consultar(u"SELECT NOMBRE, EXPERIENCIA, CARACTER, CDEG(*) FROM CANDIDATOS WHERE EXPERIENCIA FGEQ "
                          u"$Media THOLD 0.5 AND CARACTER FEQ $Extrovertido THOLD 0.8 ORDER BY CDEG(*) DESC"_s);
        QCOMPARE(filas.size(), 29u);

        filas = consultar(u"SELECT C.NOMBRE, E.NOMBRE, CDEG(*) FROM CANDIDATOS C, EMPLEADOS E WHERE "
                          u"C.ID_DEPARTAMENTO = E.ID_DEPARTAMENTO AND E.PUESTO = 'Jefe de proyecto' AND C.CARACTER FEQ "
                          u"E.CARACTER THOLD 0.8 ORDER BY CDEG(*) DESC"_s);
        QCOMPARE(filas.size(), 11u);
    }

    // Each construct translates and runs; where a crisp statement worked out by hand from the labels and
    // the data selects the same rows, the rows are compared, else their number is.
    void everyConstructTranslatesAndRuns_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QString>("equivalente");
        QTest::addColumn<int>("filas");
        QTest::newRow("crisp passes through")
            << u"SELECT NOMBRE FROM DEPARTAMENTOS WHERE CIUDAD = 'Madrid'"_s << QString() << 2;
        QTest::newRow("the vendor's different")
            << u"SELECT NOMBRE FROM DEPARTAMENTOS WHERE CIUDAD ^= 'Madrid'"_s << QString() << 4;
        QTest::newRow("star shows logical attributes")
            << u"SELECT * FROM EMPLEADOS WHERE EDAD IS UNKNOWN"_s << QString() << 6;
        QTest::newRow("is not undefined")
            << u"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE EDAD IS NOT UNDEFINED"_s << QString() << 194;
        QTest::newRow("is null on type 2")
            << u"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE EDAD IS NULL"_s << QString() << 10;
        QTest::newRow("type 3 unknown") << u"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE CARACTER IS UNKNOWN"_s
                                        << u"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE CARACTER = 'UNKNOWN'"_s << -1;
        QTest::newRow("approximately, type 1")
            << u"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE SUELDO FEQ #3000 THOLD 0.5"_s
            << u"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE SUELDO BETWEEN 2950 AND 3050"_s << -1;
        QTest::newRow("much greater, full degree")
            << u"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE SUELDO MGT 3000 THOLD 1"_s
            << u"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE SUELDO >= 3500"_s << -1;
        QTest::newRow("necessity, less than a label")
            << u"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE SUELDO NFLT $Medio"_s
            << u"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE SUELDO < 1700"_s << -1;
        QTest::newRow("threshold 0 keeps every value")
            << u"SELECT ID_CANDIDATO FROM CANDIDATOS WHERE SUELDO_DESEADO FGT 2000 THOLD 0"_s
            << u"SELECT ID_CANDIDATO FROM CANDIDATOS WHERE SUELDO_DESEADO IS NOT NULL"_s << 95;
        QTest::newRow("subquery with fuzzy condition")
            << u"SELECT NOMBRE FROM DEPARTAMENTOS WHERE ID_DEPARTAMENTO IN (SELECT ID_DEPARTAMENTO FROM EMPLEADOS "
               u"WHERE SUELDO FEQ $Alto THOLD 1)"_s
            << u"SELECT NOMBRE FROM DEPARTAMENTOS WHERE ID_DEPARTAMENTO IN (SELECT ID_DEPARTAMENTO FROM EMPLEADOS "
               u"WHERE SUELDO >= 2800)"_s
            << -1;
        QTest::newRow("union and minus")
            << u"SELECT NOMBRE FROM EMPLEADOS WHERE SUELDO FGT 4000 UNION SELECT NOMBRE FROM CANDIDATOS MINUS "
               u"SELECT NOMBRE FROM CANDIDATOS WHERE SUELDO_DESEADO NFLEQ 2000"_s
            << u"SELECT NOMBRE FROM EMPLEADOS WHERE SUELDO > 4000 UNION SELECT NOMBRE FROM CANDIDATOS EXCEPT "
               u"SELECT NOMBRE FROM CANDIDATOS WHERE SUELDO_DESEADO <= 2000"_s
            << -1;
        // Some age over 45 is possible: UNKNOWN, a crisp age over 45, the labels Adulto (2) and Mayor (3),
        // or an interval, approximate value (margin 2) or trapezoid reaching past 45.
        QTest::newRow("group by having, type 2")
            << u"SELECT ID_DEPARTAMENTO, COUNT(*) FROM EMPLEADOS WHERE EDAD FEQ $Mayor GROUP BY ID_DEPARTAMENTO "
               u"HAVING COUNT(*) > 1 ORDER BY 1"_s
            << u"SELECT ID_DEPARTAMENTO, COUNT(*) FROM EMPLEADOS WHERE EDADT = 0 OR (EDADT = 3 AND EDAD1 > 45) OR "
               u"(EDADT = 4 AND EDAD1 IN (2, 3)) OR (EDADT = 5 AND EDAD2 > 45) OR (EDADT = 6 AND EDAD1 + 2 > 45) OR "
               u"(EDADT = 7 AND EDAD4 > 45) GROUP BY ID_DEPARTAMENTO HAVING COUNT(*) > 1 ORDER BY 1"_s
            << -1;
        QTest::newRow("not, or and cdeg of one attribute")
            << u"SELECT NOMBRE, CDEG(EDAD) FROM EMPLEADOS WHERE NOT (EDAD FEQ $Joven) AND (SUELDO NFGEQ #3000 OR "
               u"EDAD MGT 40) ORDER BY CDEG(EDAD) DESC"_s
            << QString() << -1;
        QTest::newRow("intervals and trapezoids with negatives")
            << u"SELECT NOMBRE FROM EMPLEADOS WHERE EXPERIENCIA FEQ [-1,2] OR EXPERIENCIA FLT $[-2,-1,0,1]"_s
            << QString() << -1;
        QTest::newRow("much less and owner prefix")
            << u"SELECT NOMBRE FROM SCOTT.EMPLEADOS WHERE EDAD NMLT 30 THOLD 0.9"_s << QString() << -1;
        QTest::newRow("unknown on the right")
            << u"SELECT NOMBRE FROM EMPLEADOS WHERE EDAD FEQ UNKNOWN"_s << QString() << 184;
        QTest::newRow("comments and strings kept")
            << u"SELECT 'a  -- b' AS T /* c */ FROM DEPARTAMENTOS -- fin\nWHERE ID_DEPARTAMENTO = 3 - -1 - 1"_s
            << u"SELECT 'a  -- b' FROM DEPARTAMENTOS WHERE ID_DEPARTAMENTO = 3"_s << 1;
        QTest::newRow("two-dimensional fuzzy join")
            << u"SELECT E.NOMBRE FROM EMPLEADOS E, CANDIDATOS C WHERE E.ID_EMPLEADO = C.ID_CANDIDATO AND E.EDAD "
               u"FGEQ C.EDAD THOLD 0.5"_s
            << QString() << -1;
    }
    void everyConstructTranslatesAndRuns()
    {
        QFETCH(QString, consulta);
        QFETCH(QString, equivalente);
        QFETCH(int, filas);
        auto r = consultar(consulta.replace(u"SCOTT."_s, QString::fromStdString(propietario_ + '.')));
        if (filas >= 0)
            QCOMPARE(int(r.size()), filas);
        if (!equivalente.isEmpty()) {
            auto esperadas = banco_->consultar(equivalente.toStdString());
            std::ranges::sort(r);
            std::ranges::sort(esperadas);
            QVERIFY(!esperadas.empty());
            QVERIFY(r == esperadas);
        }
    }

    // CDEG(EDAD) under NOT (EDAD FEQ $Joven) AND (SUELDO ... OR EDAD MGT 40) leaves the salary out:
    // LEAST(1 - Joven(x), MGT40(x)). Worked out for crisp ages: Joven is 1 up to 25 and falls to 0 at 35;
    // MGT 40 (much distance 10) is 0 up to 40 and rises to 1 at 50.
    void cdegCombinesAlongTheCondition()
    {
        const auto filas = consultar(u"SELECT EDAD, CDEG(EDAD), CDEG(*) FROM EMPLEADOS WHERE NOT (EDAD FEQ $Joven) AND "
                                     u"(SUELDO NFGEQ #3000 OR EDAD MGT 40)"_s);
        int nitidas = 0;
        for (const auto& f : filas) {
            bool entero = false;
            const double v = QString::fromStdString(comoTexto(f[0])).toDouble(&entero);
            if (!entero)
                continue;
            const double joven = v <= 25 ? 1 : v >= 35 ? 0 : (35 - v) / 10;
            const double mucho = v <= 40 ? 0 : v >= 50 ? 1 : (v - 40) / 10;
            QCOMPARE(comoReal(f[1]), std::min(1 - joven, mucho));
            QVERIFY(comoReal(f[2]) >= comoReal(f[1])); // the OR with the salary can only raise it
            ++nitidas;
        }
        QVERIFY(nitidas > 20);
    }

    void typeTwoValuesAreShownAsText()
    {
        const auto filas = consultar(u"SELECT EDAD, EXPERIENCIA FROM EMPLEADOS ORDER BY ID_EMPLEADO"_s);
        QStringList vistos;
        for (const auto& f : filas)
            for (const auto& v : f)
                vistos << (nieb::esNulo(v) ? u"NULL"_s : QString::fromStdString(comoTexto(v)));
        for (const auto& patron :
            {u"^\\d+$"_s, u"^\\$[A-Z][a-z]+$"_s, u"^\\[\\d+(\\.\\d+)?,\\d+(\\.\\d+)?\\]$"_s, u"^#\\d+$"_s,
                u"^\\$\\[[\\d.]+,[\\d.]+,[\\d.]+,[\\d.]+\\]$"_s, u"^UNKNOWN$"_s, u"^UNDEFINED$"_s, u"^NULL$"_s})
            QVERIFY2(!vistos.filter(QRegularExpression(patron)).isEmpty(), qPrintable(patron));
        QVERIFY(vistos.filter(u".0"_s).isEmpty());
        const auto star = banco_->consultar(banco_->traducir("SELECT * FROM EMPLEADOS").sql);
        QCOMPARE(star.front().size(), 10u); // 20 columns, two type-2 attributes shown as one each
    }

    void errorsAreAllReportedWithTheirPlace_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QStringList>("esperados");
        QTest::newRow("unknown label") << u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ $Anciano"_s
                                       << QStringList{u"Línea 1, columna 40: la etiqueta $Anciano"_s};
        QTest::newRow("crisp column") << u"SELECT * FROM EMPLEADOS WHERE NOMBRE FEQ 3"_s
                                      << QStringList{
                                             u"Línea 1, columna 31: la columna NOMBRE no es un atributo difuso"_s};
        QTest::newRow("ordering on type 3") << u"SELECT * FROM EMPLEADOS WHERE CARACTER FGT $Serio"_s
                                            << QStringList{u"Línea 1, columna 40: el comparador FGT"_s};
        QTest::newRow("type 3 against a number")
            << u"SELECT * FROM EMPLEADOS WHERE CARACTER FEQ 3"_s << QStringList{u"Línea 1, columna 44:"_s};
        QTest::newRow("trapezoid out of order")
            << u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ $[5,4,6,7]"_s << QStringList{u"Línea 1, columna"_s};
        QTest::newRow("ambiguous and unknown")
            << u"SELECT NOMBRE FROM EMPLEADOS, CANDIDATOS\nWHERE EDAD FEQ 30 AND X.EDAD FEQ 3"_s
            << QStringList{u"Línea 1, columna 8: la columna NOMBRE es ambigua"_s,
                   u"Línea 2, columna 7: la columna EDAD es ambigua"_s,
                   u"Línea 2, columna 25: la columna X.EDAD no existe"_s};
        QTest::newRow("threshold") << u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ 3 THOLD 1.5"_s
                                   << QStringList{u"Línea 1, columna"_s};
        QTest::newRow("unterminated string and more")
            << u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ UNDEFINED AND NOMBRE = 'Ana"_s
            << QStringList{u"Línea 1, columna 40: UNDEFINED no se puede comparar"_s,
                   u"Línea 1, columna 63: cadena sin terminar"_s};
        QTest::newRow("cdeg without condition") << u"SELECT CDEG(SUELDO) FROM EMPLEADOS WHERE EDAD FEQ 30"_s
                                                << QStringList{u"Línea 1, columna 8: CDEG(SUELDO)"_s};
        QTest::newRow("incompatible attributes")
            << u"SELECT * FROM EMPLEADOS E, CANDIDATOS C WHERE E.EDAD FEQ C.CARACTER"_s
            << QStringList{u"Línea 1, columna 58: no se pueden comparar"_s};
        QTest::newRow("unknown table") << u"SELECT * FROM EMPLEADAS"_s
                                       << QStringList{u"Línea 1, columna 15: la tabla EMPLEADAS"_s};
    }
    void errorsAreAllReportedWithTheirPlace()
    {
        QFETCH(QString, consulta);
        QFETCH(QStringList, esperados);
        const auto e = errores(consulta);
        QStringList vistos;
        for (const auto& s : e)
            vistos << QString::fromStdString(s);
        QVERIFY2(vistos.size() >= esperados.size(), qPrintable(vistos.join(u'\n')));
        for (int i = 0; i < esperados.size(); ++i)
            QVERIFY2(vistos[i].startsWith(esperados[i]), qPrintable(vistos.join(u'\n')));
    }

    void translatesThroughTheClientsBlock()
    {
        db::OraSession sesion;
        const auto base = sesion.DbOpenDatabase(base_, conexion_, 0);
        // What NIEB_STATS has counted so far: errors, then translations.
        auto estadisticas = [&] {
            const auto d = base->DbCreateDynaset(u"SELECT NUM FROM NIEB_STATS WHERE EVENTO IN "
                                                 u"('TRADUCCIONES', 'ERRORES DE TRADUCCION') ORDER BY EVENTO"_s);
            const int errores = d->Fields()(0).Value().toInt();
            d->DbMoveNext();
            return std::pair{errores, d->Fields()(0).Value().toInt()};
        };
        const auto antes = estadisticas();
        const QString nieb = u"SELECT NOMBRE, CDEG(*) FROM EMPLEADOS WHERE SUELDO NFEQ #3000 ORDER BY CDEG(*) DESC"_s;
        const auto bien = servidor::traducir(*base, nieb);
        QCOMPARE(bien.errores, 0);
        QCOMPARE(bien.sql.toStdString(), banco_->traducir(nieb.toStdString()).sql);
        QCOMPARE(base->Parameters().Count(), 0);
        QVERIFY(base->DbCreateDynaset(bien.sql)->RecordCount() > 0);

        const auto mal
            = servidor::traducir(*base, u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ $Nada OR SUELDO FGT $[3,2,1,0]"_s);
        QCOMPARE(mal.errores, 2);
        const auto mensajes = servidor::erroresDeTraduccion(*base);
        QCOMPARE(mensajes.size(), 2);
        QVERIFY(mensajes[0].contains(u"$Nada"_s));
        // The failed translation replaced the good one: nothing is left to run.
        QCOMPARE(base->DbCreateDynaset(servidor::consultaTraducida)->RecordCount(), 0);
        const auto despues = estadisticas();
        QCOMPARE(despues.first - antes.first, 2);
        QVERIFY(despues.second - antes.second >= 2);
    }

    // The crisp range added beside each degree test must never lose a row that meets the threshold:
    // the rows are those of the translation without it.
    void thePrefilterNeverDropsARow()
    {
        // Names in lower case, as PostgreSQL keeps them, so that the twin's catalogue names them alike.
        ejecutar("CREATE TABLE AZAR (id INTEGER, p DOUBLE PRECISION, vt INTEGER, v1 DOUBLE PRECISION, "
                 "v2 DOUBLE PRECISION, v3 DOUBLE PRECISION, v4 DOUBLE PRECISION)");
        QRandomGenerator azar(20261206);
        auto numero = [&] { return double(azar.bounded(-200, 200)) / 4; };
        std::string valores;
        for (int i = 0; i < 3000; ++i) {
            const int tipo = int(azar.bounded(8));
            double v[4] = {numero(), numero(), numero(), numero()};
            std::sort(std::begin(v), std::end(v));
            // Twelfths: the quarters of the constants' end points, and thirds no single-precision
            // float holds.
            const double p = double(azar.bounded(-600, 600)) / 12;
            if (tipo == 4)
                v[0] = 1.0 + azar.bounded(2); // a label's id
            valores += (i ? ",(" : "(") + std::to_string(i) + ',' + nieb::numeroExacto(p) + ',' + std::to_string(tipo);
            for (const double x : v)
                valores += ',' + nieb::numeroExacto(x);
            valores += ')';
        }
        ejecutar("INSERT INTO AZAR VALUES " + valores);
        QVERIFY(banco_->tabla("AZAR") > 0);
        if (gemelo_)
            QVERIFY(gemelo_->tabla("AZAR") > 0);
        ejecutar(catalogoDeAzar);
        const QStringList comparadores{u"FEQ"_s, u"FGEQ"_s, u"FGT"_s, u"FLEQ"_s, u"FLT"_s, u"MGT"_s, u"MLT"_s};
        const QStringList constantes{
            u"7.5"_s, u"$Alto"_s, u"$Bajo"_s, u"[-10,12.5]"_s, u"#-3"_s, u"$[-20,-5,5,30]"_s, u"$[1,1,4,4]"_s};
        const QStringList umbrales{QString(), u" THOLD 0.25"_s, u" THOLD 0.5"_s, u" THOLD 1"_s};
        int comparadas = 0;
        for (const QString& atributo : {u"P"_s, u"V"_s}) {
            for (const QString& c : comparadores)
                for (const QString& n : {QString(), u"N"_s})
                    for (int k = 0; k < constantes.size(); ++k) {
                        const QString consulta = u"SELECT ID FROM AZAR WHERE %1 %2%3 %4%5 ORDER BY ID"_s.arg(
                            atributo, n, c, constantes[k], umbrales[(k + comparadas) % umbrales.size()]);
                        QVERIFY2(consultar(consulta) == consultar(consulta, false), qPrintable(consulta));
                        ++comparadas;
                    }
        }
        QVERIFY(comparadas > 100);

        // For a precise number the degree is written out as a CASE in SQL: it must agree with the
        // degree function everywhere, end points and excluded points included.
        const std::vector<std::pair<QString, nieb::Trapecio>> trapecios{{u"7.5"_s, {7.5, 7.5, 7.5, 7.5}},
            {u"[-10,12.5]"_s, {-10, -10, 12.5, 12.5}}, {u"#-3"_s, {-5, -3, -3, -1}},
            {u"$[-20,-5,5,30]"_s, {-20, -5, 5, 30}}, {u"$Alto"_s, {10, 20, 20, 60}}};
        for (const QString& c : comparadores)
            for (const QString& n : {QString(), u"N"_s})
                for (const auto& [texto, trapecio] : trapecios) {
                    const auto op = nieb::leerComparador((n + c).toStdString());
                    const auto filas
                        = consultar(u"SELECT P, CDEG(*) FROM AZAR WHERE P %1%2 %3 THOLD 0"_s.arg(n, c, texto));
                    QCOMPARE(filas.size(), 3000u);
                    for (const auto& f : filas) {
                        const auto esperado
                            = nieb::grado(*op, nieb::nitido(comoReal(f[0])), nieb::definido(trapecio), 5);
                        QVERIFY2(std::fabs(comoReal(f[1]) - esperado.value()) < 1e-12,
                            qPrintable(u"%1%2 %3 at %4"_s.arg(n, c, texto).arg(comoReal(f[0]))));
                    }
                }
    }
};

QTEST_GUILESS_MAIN(tst_Traductor)
#include "tst_traductor.moc"
