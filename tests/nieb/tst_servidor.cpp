// The fuzzy server on the demo database after the changes users make to it: labels of any text, Spanish
// labels in any case, schema changes, long queries, extreme constants, the logic options and the limits
// of its error messages. Each test works on a fresh copy of the demo, in memory on the embedded server
// and, inside a transaction rolled back at its end, on the server installed in PostgreSQL.
#include "BancosNieb.h"
#include "Lexico.h"
#include "SqlDifuso.h"
#include "ValoresTexto.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <set>

using namespace Qt::StringLiterals;
using nieb::comoEntero;
using nieb::comoReal;
using nieb::comoTexto;

namespace {

std::string texto(const QString& s)
{
    return s.toStdString();
}

using pq::normalizadas;

} // namespace

// Every case runs on the embedded server and, where NIMBO_PG names a PostgreSQL server, on the server
// installed in it; the cases about SQLite's own reading of values run on the first only.
class tst_Servidor : public QObject {
    Q_OBJECT

    std::unique_ptr<Banco> banco_;
    nieb::ConexionSqlite* db_ = nullptr; // the embedded database, for the cases only it has
    // Beside PostgreSQL, the embedded server given the same changes: every query must answer alike.
    std::unique_ptr<BancoSqlite> gemelo_;
#ifdef NIMBO_PRUEBAS_POSTGRES
    std::unique_ptr<pq::BaseDePrueba> basePg_;
#endif

    std::vector<nieb::Fila> filas(const std::string& sql, const std::vector<nieb::Valor>& p = {})
    {
        return banco_->consultar(sql, p);
    }
    std::int64_t entero(const std::string& sql, const std::vector<nieb::Valor>& p = {})
    {
        return comoEntero(banco_->consultar(sql, p).at(0).at(0));
    }
    void ejecutar(const std::string& sql, const std::vector<nieb::Valor>& p = {})
    {
        banco_->ejecutar(sql, p);
        if (gemelo_)
            gemelo_->ejecutar(sql, p);
    }

    // Translates and runs a query that must translate; failures are reported with the SQL.
    std::vector<nieb::Fila> consultar(const std::string& nieb)
    {
        nieb::Traduccion t;
        try {
            t = banco_->traducir(nieb);
            if (!t.errores.empty()) {
                QTest::qFail(("did not translate: " + t.errores.front()).c_str(), __FILE__, __LINE__);
                return {};
            }
            auto r = banco_->consultar(t.sql);
            if (gemelo_ && normalizadas(r) != normalizadas(gemelo_->consultar(gemelo_->traducir(nieb).sql, {})))
                QTest::qFail(("other rows or degrees than on SQLite: " + nieb.substr(0, 300)).c_str(), __FILE__, __LINE__);
            return r;
        } catch (const std::exception& e) {
            QTest::qFail((std::string(e.what()) + "\n" + t.sql.substr(0, 2000)).c_str(), __FILE__, __LINE__);
            return {};
        }
    }
    std::vector<std::string> errores(const std::string& nieb) { return banco_->traducir(nieb).errores; }

    std::int64_t tabla(const char* nombre) { return banco_->tabla(nombre); }
    // The fuzzy type of a column as the client asks for it: its number, then its type.
    int tipo(const char* tablaNombre, const char* columna)
    {
        const auto col = banco_->columna(tablaNombre, columna);
        return col ? banco_->tipoDifuso(banco_->tabla(tablaNombre), col) : -1;
    }

private Q_SLOTS:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("sqlite") << false;
        QTest::newRow("postgres") << true;
    }
    void init()
    {
        QFETCH_GLOBAL(bool, postgres);
        db_ = nullptr;
        if (!postgres) {
            auto sqlite = std::make_unique<BancoSqlite>();
            db_ = &sqlite->conexion();
            banco_ = std::move(sqlite);
            return;
        }
#ifdef NIMBO_PRUEBAS_POSTGRES
        if (pq::entorno("NIMBO_PG").empty())
            QSKIP("NIMBO_PG is not set: start a server with scripts/postgres.sh start BUILD_DIR");
        if (!basePg_)
            basePg_ = std::make_unique<pq::BaseDePrueba>();
        auto pg = std::make_unique<BancoPostgres>(basePg_->nombre());
        pg->empezar();
        gemelo_ = std::make_unique<BancoSqlite>(pg->propietario());
        banco_ = std::move(pg);
#else
        QSKIP("built without PostgreSQL");
#endif
    }
    void cleanup()
    {
#ifdef NIMBO_PRUEBAS_POSTGRES
        if (auto* pg = dynamic_cast<BancoPostgres*>(banco_.get()))
            pg->terminar();
#endif
        banco_.reset();
        gemelo_.reset();
        db_ = nullptr;
    }
    void cleanupTestCase()
    {
#ifdef NIMBO_PRUEBAS_POSTGRES
        basePg_.reset();
#endif
    }

    // ---- Labels ------------------------------------------------------------------------------------

    // A label may hold any text the catalogue can store. Renaming one must change nothing else: the
    // same rows and degrees for queries on the attribute, and the new name where the value is shown.
    void labelsOfAnyTextKeepAnswers_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QByteArray>("nombre");
        const QList<QByteArray> nombres{"Jo|ven", "Jo;ven", "O'Neil", "a,b", "Pe\"dro", QByteArray("nu\0l", 4), "25",
            "1e999", "-- x", "' OR 1=1 --", "\xff\xfe"};
        for (int tipo : {1, 2, 3})
            for (const auto& n : nombres)
                QTest::newRow(qPrintable(u"type %1, %2"_s.arg(tipo).arg(QString::fromLatin1(n.toHex()))))
                    << tipo << n;
    }
    void labelsOfAnyTextKeepAnswers()
    {
        QFETCH(int, tipo);
        QFETCH(QByteArray, nombre);
        const std::string nuevo(nombre.constData(), static_cast<size_t>(nombre.size()));
        if (!db_ && (nombre.contains('\0') || QString::fromUtf8(nombre).toUtf8() != nombre))
            QSKIP("PostgreSQL text holds neither NUL bytes nor invalid UTF-8");
        // One query per type on the renamed label's attribute, by its other labels and by special values.
        const std::vector<std::string> consultas = tipo == 1
            ? std::vector<std::string>{"SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE SUELDO FEQ $Alto OR "
                                       "SUELDO FLEQ $Bajo ORDER BY ID_EMPLEADO"}
            : tipo == 2 ? std::vector<std::string>{"SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Adulto "
                                                   "OR EDAD NFGEQ $Mayor ORDER BY ID_EMPLEADO",
                              "SELECT COUNT(*) FROM EMPLEADOS WHERE EDAD FEQ UNKNOWN"}
                        : std::vector<std::string>{"SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE CARACTER FEQ $Serio "
                                                   "THOLD 0 ORDER BY ID_EMPLEADO",
                              "SELECT C.ID_CANDIDATO, E.ID_EMPLEADO, CDEG(*) FROM CANDIDATOS C, EMPLEADOS E WHERE "
                              "C.ID_CANDIDATO = E.ID_EMPLEADO AND C.CARACTER NFEQ E.CARACTER ORDER BY 1"};
        std::vector<std::vector<nieb::Fila>> antes;
        for (const auto& q : consultas)
            antes.push_back(consultar(q));
        const auto mostradosAntes = consultar("SELECT ID_EMPLEADO, EDAD FROM EMPLEADOS ORDER BY ID_EMPLEADO");

        if (tipo == 1) {
            ejecutar("UPDATE LFOC SET LABEL = ?1 WHERE LABEL = 'Medio'", {nuevo});
        } else if (tipo == 2) {
            ejecutar("UPDATE LFOC SET LABEL = ?1 WHERE LABEL = 'Joven'", {nuevo});
        } else {
            ejecutar("UPDATE LOCT3 SET LABEL_1 = ?1 WHERE LABEL_1 = 'Alegre'", {nuevo});
            ejecutar("UPDATE LOCT3 SET LABEL_2 = ?1 WHERE LABEL_2 = 'Alegre'", {nuevo});
            ejecutar("UPDATE EMPLEADOS SET CARACTER = ?1 WHERE CARACTER = 'Alegre'", {nuevo});
            ejecutar("UPDATE CANDIDATOS SET CARACTER = ?1 WHERE CARACTER = 'Alegre'", {nuevo});
        }
        for (size_t i = 0; i < consultas.size(); ++i)
            QVERIFY2(consultar(consultas[i]) == antes[i], consultas[i].c_str());

        // Type 2 values stored as the renamed label now show its new name, and nothing else changes.
        const auto mostrados = consultar("SELECT ID_EMPLEADO, EDAD FROM EMPLEADOS ORDER BY ID_EMPLEADO");
        QCOMPARE(mostrados.size(), mostradosAntes.size());
        int renombrados = 0;
        for (size_t i = 0; i < mostrados.size(); ++i) {
            const bool eraJoven = comoTexto(mostradosAntes[i][1]) == "$Joven";
            const std::string esperado = tipo == 2 && eraJoven ? "$" + nuevo : comoTexto(mostradosAntes[i][1]);
            QCOMPARE(comoTexto(mostrados[i][1]), esperado);
            QCOMPARE(nieb::esNulo(mostrados[i][1]), nieb::esNulo(mostradosAntes[i][1]));
            renombrados += eraJoven;
        }
        QVERIFY(renombrados > 0);
    }

    // Spanish labels are written in any case: Pequeño is $PEQUEÑO and $pequeño, for every type, and a
    // type-3 value stored in another case is still that label.
    void labelsMatchWithoutCaseOverUnicode_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("catalogada");
        QTest::addColumn<QString>("escrita");
        QTest::newRow("type 1, Pequeño") << 1 << u"Pequeño"_s << u"PEQUEÑO"_s;
        QTest::newRow("type 1, ÁREA") << 1 << u"ÁREA"_s << u"área"_s;
        QTest::newRow("type 2, Frío") << 2 << u"Frío"_s << u"FRÍO"_s;
        QTest::newRow("type 2, Él") << 2 << u"Él"_s << u"él"_s;
        QTest::newRow("type 2, Ürün") << 2 << u"Ürün"_s << u"üRÜN"_s;
        QTest::newRow("type 3, Añil") << 3 << u"Añil"_s << u"AÑIL"_s;
        QTest::newRow("type 3, Çedilla") << 3 << u"Çedilla"_s << u"çEDILLA"_s;
        QTest::newRow("type 3, Ωμέγα") << 3 << u"Ωμέγα"_s << u"ωΜΈΓΑ"_s;
    }
    void labelsMatchWithoutCaseOverUnicode()
    {
        QFETCH(int, tipo);
        QFETCH(QString, catalogada);
        QFETCH(QString, escrita);
        const char* const viejas[] = {"", "Alto", "Joven", "Alegre"};
        const std::string vieja = viejas[tipo];
        const std::string columna = tipo == 1 ? "SUELDO" : tipo == 2 ? "EDAD" : "CARACTER";
        auto consulta = [&](const std::string& etiqueta) {
            return "SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE " + columna + " FEQ $" + etiqueta
                + " THOLD 0 ORDER BY ID_EMPLEADO";
        };
        const auto antes = consultar(consulta(vieja));
        if (tipo == 3) {
            ejecutar("UPDATE LOCT3 SET LABEL_1 = ?1 WHERE LABEL_1 = ?2", {texto(catalogada), vieja});
            ejecutar("UPDATE LOCT3 SET LABEL_2 = ?1 WHERE LABEL_2 = ?2", {texto(catalogada), vieja});
            // Stored in capitals: still the same label.
            ejecutar("UPDATE EMPLEADOS SET CARACTER = ?1 WHERE CARACTER = ?2", {texto(catalogada.toUpper()), vieja});
        } else {
            ejecutar("UPDATE LFOC SET LABEL = ?1 WHERE LABEL = ?2", {texto(catalogada), vieja});
        }
        QCOMPARE(consultar(consulta(texto(escrita))), antes);
        QVERIFY(!antes.empty());
        if (tipo == 3 && db_) {
            // The similarity of two labels is found whatever the case either is written in.
            nieb::Catalogo c(*db_);
            const auto obj = tabla("EMPLEADOS");
            const auto col = c.numeroColumna("SCOTT", "EMPLEADOS", "CARACTER");
            QVERIFY(c.semejanza(obj, col, texto(catalogada), "Serio") > 0
                || c.semejanza(obj, col, texto(catalogada), "Extrovertido") > 0);
            QCOMPARE(c.semejanza(obj, col, texto(escrita), "SERIO"), c.semejanza(obj, col, texto(catalogada), "Serio"));
        }
    }

    // ---- Numbers and long queries ------------------------------------------------------------------

    // An extreme but valid constant either translates into SQL whose every number is finite and which
    // runs, or is refused with the constant's place. The catalogue can hold infinite numbers too.
    void noNonFiniteNumberReachesTheSql_data()
    {
        QTest::addColumn<QString>("cambio"); // sets ?1 to the infinity of the sign given
        QTest::addColumn<int>("signo");
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<int>("columnaError"); // 0: must translate
        QTest::newRow("wide trapezoid, type 1") << QString() << 0
                                                << u"SELECT * FROM EMPLEADOS WHERE SUELDO FEQ $[-1e308,1e308,1e308,1e308]"_s
                                                << 42;
        QTest::newRow("wide trapezoid, type 2")
            << QString() << 0 << u"SELECT * FROM EMPLEADOS WHERE EDAD FGEQ $[-1.7e308,1.7e308,1.7e308,1.7e308] THOLD 0.5"_s
            << 41;
        QTest::newRow("much greater than the largest")
            << QString() << 0 << u"SELECT * FROM EMPLEADOS WHERE SUELDO MGT 1.7976931348623157e308"_s << 0;
        QTest::newRow("much less than the lowest")
            << QString() << 0 << u"SELECT * FROM EMPLEADOS WHERE EDAD NMLT -1.7976931348623157e308 THOLD 0.3"_s << 0;
        QTest::newRow("approximately the largest")
            << QString() << 0 << u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ #1.7976931348623157e308"_s << 0;
        QTest::newRow("huge interval") << QString() << 0
                                       << u"SELECT * FROM EMPLEADOS WHERE EXPERIENCIA NFEQ [-1e308,1e308] THOLD 0.9"_s
                                       << 0;
        QTest::newRow("infinite label point")
            << u"UPDATE LFOC SET DELTA = ?1 WHERE LABEL = 'Alto'"_s << 1
            << u"SELECT * FROM EMPLEADOS WHERE SUELDO FEQ $Alto THOLD 0.5"_s << 42;
        QTest::newRow("infinite margin") << u"UPDATE FCL SET MARGEN = ?1 WHERE F_TYPE = 2"_s << 1
                                         << u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ #30"_s << 40;
        QTest::newRow("infinite much distance")
            << u"UPDATE FCL SET MUCHO = ?1 WHERE F_TYPE = 2"_s << -1
            << u"SELECT * FROM EMPLEADOS E, CANDIDATOS C WHERE E.EDAD FEQ C.EDAD"_s << 49;
    }
    void noNonFiniteNumberReachesTheSql()
    {
        QFETCH(QString, cambio);
        QFETCH(int, signo);
        QFETCH(QString, consulta);
        QFETCH(int, columnaError);
        if (!cambio.isEmpty())
            ejecutar(texto(cambio), {signo * std::numeric_limits<double>::infinity()});
        const auto t = banco_->traducir(texto(consulta));
        if (columnaError) {
            QCOMPARE(t.errores.size(), 1u);
            QVERIFY2(QString::fromStdString(t.errores[0]).startsWith(u"Línea 1, columna %1: "_s.arg(columnaError)),
                t.errores[0].c_str());
            return;
        }
        QVERIFY2(t.errores.empty(), t.errores.empty() ? "" : t.errores[0].c_str());
        for (const auto& token : nieb::tokenizar(t.sql)) {
            if (token.tipo == nieb::TipoToken::Numero)
                QVERIFY2(std::isfinite(std::strtod(std::string(token.texto).c_str(), nullptr)), t.sql.c_str());
            QVERIFY(!nieb::esPalabra(token, "INF") && !nieb::esPalabra(token, "NAN"));
        }
        banco_->consultar(t.sql);
    }

    // Hundreds of fuzzy conditions translate, and the SQL runs: no nesting per condition. CDEG(*) of
    // an OR of conditions that each hold fully for their rows is 1 on every row found.
    void manyConditionsTranslateAndRun_data()
    {
        QTest::addColumn<QString>("opcionOr");
        QTest::addColumn<int>("condiciones");
        QTest::newRow("default, 1200") << QString() << 1200;
        QTest::newRow("expression, 1200") << u"1 - (1 - X) * (1 - Y)"_s << 1200;
        QTest::newRow("function name, 3000") << u"MAX"_s << 3000;
    }
    void manyConditionsTranslateAndRun()
    {
        QFETCH(QString, opcionOr);
        QFETCH(int, condiciones);
        if (!opcionOr.isEmpty())
            ejecutar("INSERT INTO NIEB_OPTIONS (OPCION, VALOR) VALUES ('OR', ?1)", {texto(opcionOr)});
        // Salaries in [10k, 10k + 5] for each k: degree 1 inside, and rows outside all of them fail.
        std::string q = "SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE SUELDO IS NOT NULL AND (";
        for (int k = 0; k < condiciones; ++k)
            q += (k ? " OR " : "") + ("SUELDO FEQ [" + std::to_string(k * 10) + "," + std::to_string(k * 10 + 5) + "]");
        q += ") ORDER BY CDEG(*) DESC, ID_EMPLEADO";
        const auto r = consultar(q);
        std::set<std::int64_t> esperados;
        for (const auto& f : filas("SELECT ID_EMPLEADO, SUELDO FROM EMPLEADOS WHERE SUELDO IS NOT NULL")) {
            const double s = comoReal(f[1]);
            const double k = std::floor(s / 10);
            if (k < condiciones && s - k * 10 <= 5)
                esperados.insert(comoEntero(f[0]));
        }
        QVERIFY(!esperados.empty());
        std::set<std::int64_t> vistos;
        for (const auto& f : r) {
            vistos.insert(comoEntero(f[0]));
            QCOMPARE(comoReal(f[1]), 1.0);
        }
        QCOMPARE(vistos, esperados);
        // The same chain under AND, each condition true for every salary: all rows, degree 1.
        std::string todas = "SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE ";
        for (int k = 0; k < condiciones; ++k)
            todas += (k ? " AND " : "") + std::string("SUELDO FGEQ 0");
        const auto r2 = consultar(todas);
        QCOMPARE(std::int64_t(r2.size()), entero("SELECT COUNT(*) FROM EMPLEADOS WHERE SUELDO >= 0"));
        QVERIFY(std::ranges::all_of(r2, [](const auto& f) { return comoReal(f[1]) == 1.0; }));
    }

    // Type-2 values are shown in the shortest text that reads back as the same number.
    void typeTwoNumbersAreShownShortest_data()
    {
        QTest::addColumn<double>("valor");
        QTest::addColumn<QString>("visto");
        QTest::newRow("1e23") << 1e23 << u"1e23"_s;
        QTest::newRow("1e21") << 1e21 << u"1e21"_s;
        QTest::newRow("1e20") << 1e20 << u"100000000000000000000"_s;
        QTest::newRow("0.1") << 0.1 << u"0.1"_s;
        QTest::newRow("-2.5e-7") << -2.5e-7 << u"-2.5e-7"_s;
        QTest::newRow("0.000001") << 0.000001 << u"0.000001"_s;
        QTest::newRow("123.456") << 123.456 << u"123.456"_s;
        QTest::newRow("largest") << 1.7976931348623157e308 << u"1.7976931348623157e308"_s;
    }
    void typeTwoNumbersAreShownShortest()
    {
        QFETCH(double, valor);
        QFETCH(QString, visto);
        ejecutar("UPDATE EMPLEADOS SET EDADT = 3, EDAD1 = ?1 WHERE ID_EMPLEADO = 1", {valor});
        const auto r = consultar("SELECT EDAD FROM EMPLEADOS WHERE ID_EMPLEADO = 1");
        QCOMPARE(QString::fromStdString(comoTexto(r.at(0).at(0))), visto);
        QCOMPARE(std::strtod(comoTexto(r.at(0).at(0)).c_str(), nullptr), valor);
    }

    // The crisp tests written beside a type-2 degree read only the points the stored kind uses: a value
    // left in an unused point column must not hide a row the degree function would take.
    void unusedPointsDoNotHideRows_data()
    {
        QTest::addColumn<QString>("fila"); // SET clause for employee 1
        QTest::newRow("crisp with leftovers") << u"EDADT = 3, EDAD1 = 30, EDAD2 = -5, EDAD3 = -5, EDAD4 = -5"_s;
        QTest::newRow("approximate with leftovers") << u"EDADT = 6, EDAD1 = 30, EDAD2 = -5, EDAD4 = -5"_s;
        QTest::newRow("interval with leftovers") << u"EDADT = 5, EDAD1 = 29, EDAD2 = 31, EDAD4 = -5"_s;
        QTest::newRow("kind as text") << u"EDADT = '3', EDAD1 = 30"_s;
        QTest::newRow("kind as a fraction") << u"EDADT = 3.5, EDAD1 = 30"_s;
    }
    void unusedPointsDoNotHideRows()
    {
        QFETCH(QString, fila);
        if (!db_)
            QSKIP("the embedded server's values of any kind, and its translation without crisp ranges");
        db_->ejecutar("UPDATE EMPLEADOS SET EDAD1 = NULL, EDAD2 = NULL, EDAD3 = NULL, EDAD4 = NULL, " + texto(fila)
            + " WHERE ID_EMPLEADO = 1");
        nieb::Dialecto sinRangos;
        sinRangos.prefiltro = false;
        for (const char* q : {"SELECT ID_EMPLEADO FROM EMPLEADOS WHERE EDAD FEQ 30 THOLD 0.5 ORDER BY 1",
                 "SELECT ID_EMPLEADO FROM EMPLEADOS WHERE EDAD NFLEQ [25,32] ORDER BY 1",
                 "SELECT ID_EMPLEADO FROM EMPLEADOS WHERE EDAD FGT 20 THOLD 0.9 ORDER BY 1"}) {
            const auto con = consultar(q);
            const auto sin = db_->consultar(nieb::traducir(q, *db_, sinRangos).sql);
            QCOMPARE(con, sin);
        }
    }

    // The comparisons written for a type-2 condition decide every row as the degree function does:
    // rows of every kind (NULL, 0 to 7, none), points out of order, infinite or missing, and points on
    // and one double beside each end of the cut, for every comparator, constant and threshold. The
    // translation without crisp ranges is the degree function alone.
    void typeTwoRowsAreDecidedAsByTheFunction()
    {
        if (!db_)
            QSKIP("the embedded server's values of any kind, and its translation without crisp ranges");
        db_->ejecutar("CREATE TABLE T2 (ID INTEGER, VT INTEGER, V1 REAL, V2 REAL, V3 REAL, V4 REAL)");
        db_->ejecutar("INSERT INTO NIEB_OBJETOS (TABLE_NAME) VALUES ('T2');"
                      "INSERT INTO FCL SELECT \"OBJ#\", 2, 2, NULL, 2, 5, NULL FROM NIEB_OBJETOS WHERE TABLE_NAME = 'T2';"
                      "INSERT INTO LFOC SELECT \"OBJ#\", 2, 1, 'Bajo', -60, -50, -20, -10 FROM NIEB_OBJETOS "
                      "WHERE TABLE_NAME = 'T2';"
                      "INSERT INTO LFOC SELECT \"OBJ#\", 2, 2, 'Alto', 10, 20, 20, 60 FROM NIEB_OBJETOS "
                      "WHERE TABLE_NAME = 'T2';");
        using nieb::Trapecio;
        const std::vector<std::pair<std::string, Trapecio>> constantes{{"7.5", {7.5, 7.5, 7.5, 7.5}},
            {"$Alto", {10, 20, 20, 60}}, {"[-10,12.5]", {-10, -10, 12.5, 12.5}}, {"#-3", {-5, -3, -3, -1}},
            {"$[-20,-5,5,30]", {-20, -5, 5, 30}}, {"$[0.1,0.2,0.3,0.7]", {0.1, 0.2, 0.3, 0.7}}};
        const std::vector<std::optional<double>> umbrales{std::nullopt, 0.25, 0.5, 0.8, 1};
        const char* comparadores[] = {"FEQ", "FGEQ", "FGT", "FLEQ", "FLT", "MGT", "MLT"};

        // Points: a grid of quarters, the ends of every cut with their neighbours, and extremes.
        std::vector<double> puntos{-1e999, 1e999, -1.5e308, 1.5e308};
        for (int i = -240; i <= 240; ++i)
            puntos.push_back(i / 4.0);
        for (const char* c : comparadores)
            for (const auto& [texto, t] : constantes)
                for (const auto& u : umbrales) {
                    const auto op = *nieb::leerComparador(c);
                    const auto exacto = nieb::corteExacto(op, t, 5, u);
                    const auto [desde, hasta] = nieb::corte(op, t, 5, u.value_or(0));
                    for (const double x : {desde, hasta, exacto ? exacto->first : 0.0, exacto ? exacto->second : 0.0})
                        if (std::isfinite(x))
                            for (const double y : {x, std::nextafter(x, -1e999), std::nextafter(x, 1e999), x - 2, x + 2})
                                puntos.push_back(y);
                }
        QRandomGenerator azar(20261207);
        auto punto = [&]() -> nieb::Valor {
            if (azar.bounded(40) == 0)
                return {};
            return puntos[azar.bounded(int(puntos.size()))];
        };
        const std::vector<nieb::Valor> clases{nieb::Valor{}, std::int64_t{0}, std::int64_t{1}, std::int64_t{2},
            std::int64_t{3}, std::int64_t{4}, std::int64_t{5}, std::int64_t{6}, std::int64_t{7}, std::int64_t{8}, 3.5};
        nieb::Transaccion lote(*db_);
        for (int i = 0; i < 4000; ++i) {
            std::vector<nieb::Valor> fila{std::int64_t{i}, clases[azar.bounded(int(clases.size()))], punto(), punto(),
                punto(), punto()};
            // Mostly points in order, as valid values have them.
            if (azar.bounded(5) != 0) {
                std::vector<double> p;
                for (int k = 2; k < 6; ++k)
                    if (const auto* d = std::get_if<double>(&fila[k]))
                        p.push_back(*d);
                std::ranges::sort(p);
                for (int k = 2, j = 0; k < 6; ++k)
                    if (std::holds_alternative<double>(fila[k]))
                        fila[k] = p[j++];
            }
            if (fila[1] == nieb::Valor{std::int64_t{4}})
                fila[2] = double(azar.bounded(4)); // a label's id, or none
            db_->ejecutar("INSERT INTO T2 VALUES (?1, ?2, ?3, ?4, ?5, ?6)", fila);
        }
        lote.confirmar();

        nieb::Dialecto soloFuncion;
        soloFuncion.prefiltro = false;
        int comparadas = 0, exactas = 0;
        for (const char* c : comparadores)
            for (const char* n : {"", "N"})
                for (const auto& [texto, trapecio] : constantes) {
                    const auto& u = umbrales[size_t(comparadas) % umbrales.size()];
                    const std::string q = "SELECT ID FROM T2 WHERE V " + std::string(n) + c + " " + texto
                        + (u ? " THOLD " + nieb::numeroExacto(*u) : "") + " ORDER BY ID";
                    if (!*n && nieb::corteExacto(*nieb::leerComparador(c), trapecio, 5, u))
                        ++exactas;
                    const auto con = consultar(q);
                    const auto sin = db_->consultar(nieb::traducir(q, *db_, soloFuncion).sql);
                    QVERIFY2(con == sin, q.c_str());
                    ++comparadas;
                }
        QVERIFY(exactas > 10);
    }

    // A number called safe is read back exactly from the SQL numeroSql writes for it.
    void safeNumbersAreReadExactly()
    {
        if (!db_)
            QSKIP("how SQLite reads a literal");
        QVERIFY(nieb::numeroSeguro(62.5) && nieb::numeroSeguro(-0.125) && nieb::numeroSeguro(40));
        QVERIFY(!nieb::numeroSeguro(0.1) && !nieb::numeroSeguro(9007199254740992.0) && !nieb::numeroSeguro(1e999));
        QRandomGenerator azar(7);
        int seguros = 0;
        for (int i = 0; i < 20000; ++i) {
            // Fractions of powers of two, safe while their digits are few, and decimals, mostly not.
            const double x = i % 2 ? double(azar.bounded(-1000000, 1000000)) / std::pow(10, azar.bounded(12))
                                   : std::ldexp(double(azar.bounded(-(1 << 24), 1 << 24)), -azar.bounded(24));
            if (!nieb::numeroSeguro(x))
                continue;
            ++seguros;
            const double leido = comoReal(db_->consultar("SELECT " + nieb::numeroSql(x)).at(0).at(0));
            QVERIFY2(leido == x, nieb::numeroSql(x).c_str());
        }
        QVERIFY(seguros > 2000);
    }

    // ---- Schema ------------------------------------------------------------------------------------

    // The catalogue follows columns, not positions: after a schema change every fuzzy attribute is on
    // the column it was defined on, with its labels, through renames of the column or its table; a
    // dropped fuzzy column takes its rows along, and so does one dropped while another is added.
    void attributesFollowTheirColumns_data()
    {
        QTest::addColumn<QString>("cambio");
        QTest::addColumn<QString>("tabla");       // EMPLEADOS' name after the change
        QTest::addColumn<QString>("sueldo");      // SUELDO's name after it, or a column added in its place
        QTest::addColumn<QStringList>("difusas"); // column:type in that table after the change
        QTest::addColumn<int>("etiquetasSueldo"); // LFOC rows of that column
        const QStringList todas{u"SUELDO:1"_s, u"EDADT:2"_s, u"EXPERIENCIAT:2"_s, u"CARACTER:3"_s, u"PUESTO:0"_s,
            u"EDAD1:0"_s};
        QStringList salario = todas;
        salario[0] = u"SALARIO:1"_s;
        const auto fila = [](const char* nombre, const QString& cambio, const QStringList& difusas, int etiquetas,
                              const QString& tabla = u"EMPLEADOS"_s, const QString& sueldo = u"SUELDO"_s) {
            QTest::newRow(nombre) << cambio << tabla << sueldo << difusas << etiquetas;
        };
        fila("an earlier column dropped", u"ALTER TABLE EMPLEADOS DROP COLUMN PUESTO"_s,
            QStringList{todas.mid(0, 4) << u"EDAD1:0"_s}, 3);
        fila("two earlier columns dropped",
            u"ALTER TABLE EMPLEADOS DROP COLUMN FECHA_ALTA; ALTER TABLE EMPLEADOS DROP COLUMN APELLIDOS"_s, todas, 3);
        fila("the fuzzy column dropped", u"ALTER TABLE EMPLEADOS DROP COLUMN SUELDO"_s,
            QStringList{u"EDADT:2"_s, u"EXPERIENCIAT:2"_s, u"CARACTER:3"_s, u"EDAD1:0"_s}, 0);
        fila("the fuzzy column dropped with an earlier one",
            u"ALTER TABLE EMPLEADOS DROP COLUMN PUESTO; ALTER TABLE EMPLEADOS DROP COLUMN SUELDO"_s,
            QStringList{u"EDADT:2"_s, u"CARACTER:3"_s, u"EDAD1:0"_s}, 0);
        fila("a column added", u"ALTER TABLE EMPLEADOS ADD COLUMN NOTA TEXT"_s, todas, 3);
        fila("columns dropped and added",
            u"ALTER TABLE EMPLEADOS DROP COLUMN PUESTO; ALTER TABLE EMPLEADOS ADD COLUMN PUESTO TEXT"_s, todas, 3);
        fila("the fuzzy column renamed", u"ALTER TABLE EMPLEADOS RENAME COLUMN SUELDO TO SALARIO"_s, salario, 3,
            u"EMPLEADOS"_s, u"SALARIO"_s);
        fila("the fuzzy column renamed, a column added",
            u"ALTER TABLE EMPLEADOS RENAME COLUMN SUELDO TO SALARIO; ALTER TABLE EMPLEADOS ADD COLUMN NOTA TEXT"_s,
            salario, 3, u"EMPLEADOS"_s, u"SALARIO"_s);
        fila("the table renamed", u"ALTER TABLE EMPLEADOS RENAME TO PLANTILLA"_s, todas, 3, u"PLANTILLA"_s);
        fila("the table and the fuzzy column renamed",
            u"ALTER TABLE EMPLEADOS RENAME TO PLANTILLA; ALTER TABLE PLANTILLA RENAME COLUMN SUELDO TO SALARIO"_s,
            salario, 3, u"PLANTILLA"_s, u"SALARIO"_s);
        // A drop and an add between two looks at the schema may not be a rename: the attribute goes.
        fila("the fuzzy column dropped, another added",
            u"ALTER TABLE EMPLEADOS DROP COLUMN SUELDO; ALTER TABLE EMPLEADOS ADD COLUMN SALARIO INTEGER"_s,
            QStringList{u"SALARIO:0"_s, u"EDADT:2"_s, u"CARACTER:3"_s}, 0, u"EMPLEADOS"_s, u"SALARIO"_s);
        fila("the table dropped, another made from the candidates",
            u"DROP TABLE EMPLEADOS; CREATE TABLE PLANTILLA AS SELECT * FROM CANDIDATOS"_s,
            QStringList{u"SUELDO_DESEADO:0"_s, u"EDADT:0"_s, u"CARACTER:0"_s}, 0, u"PLANTILLA"_s, u"SUELDO_DESEADO"_s);
    }
    void attributesFollowTheirColumns()
    {
        QFETCH(QString, cambio);
        QFETCH(QString, tabla);
        QFETCH(QString, sueldo);
        QFETCH(QStringList, difusas);
        QFETCH(int, etiquetasSueldo);
        const auto consultaEdad = [](const QString& t) {
            return texto(u"SELECT ID_EMPLEADO, CDEG(*) FROM %1 WHERE EDAD FEQ $Joven AND CARACTER FEQ $Serio "
                         u"ORDER BY ID_EMPLEADO"_s.arg(t));
        };
        const auto consultaSueldo = [](const QString& t, const QString& s) {
            return texto(u"SELECT ID_EMPLEADO, CDEG(*) FROM %1 WHERE %2 FEQ $Alto OR %2 FLEQ $Bajo THOLD 0.2 "
                         u"ORDER BY ID_EMPLEADO"_s.arg(t, s));
        };
        const auto edadAntes = consultar(consultaEdad(u"EMPLEADOS"_s));
        const auto sueldoAntes = consultar(consultaSueldo(u"EMPLEADOS"_s, u"SUELDO"_s));
        auto compatiblesAntes = filas("SELECT * FROM ACT3");
        for (auto& f : compatiblesAntes)
            std::ranges::replace(f, nieb::Valor(std::string("EMPLEADOS")), nieb::Valor(texto(tabla)));
        ejecutar(texto(cambio));
        const std::string t = texto(tabla);
        for (const auto& d : difusas) {
            const auto partes = d.split(u':');
            QCOMPARE(tipo(t.c_str(), qPrintable(partes[0])), partes[1].toInt());
        }
        const auto obj = banco_->tabla(t);
        QCOMPARE(entero("SELECT COUNT(*) FROM LFOC WHERE \"OBJ#\" = ?1 AND \"COL#\" = ?2",
                     {obj, banco_->columna(t, texto(sueldo))}),
            std::int64_t(etiquetasSueldo));
        // Nothing is left pointing at a position where no attribute is.
        QCOMPARE(entero("SELECT COUNT(*) FROM LFOC l WHERE NOT EXISTS (SELECT 1 FROM FCL f " "WHERE f.\"OBJ#\" = l.\"OBJ#\" AND f.\"COL#\" = l.\"COL#\")"),
            0);
        // The answers on the attributes that stayed do not change, nor do the compatible pairs.
        const bool sigue = difusas.contains(u"CARACTER:3"_s);
        if (sigue)
            QCOMPARE(consultar(consultaEdad(tabla)), edadAntes);
        QCOMPARE(filas("SELECT * FROM ACT3"), sigue ? compatiblesAntes : std::vector<nieb::Fila>{});
        if (etiquetasSueldo > 0)
            QCOMPARE(consultar(consultaSueldo(tabla, sueldo)), sueldoAntes);
        else
            QVERIFY(!errores(texto(u"SELECT * FROM %1 WHERE %2 FEQ $Alto"_s.arg(tabla, sueldo))).empty());
    }

    // Tables whose shapes were not kept: fuzzy attributes defined since the schema last changed, or a
    // database file from an earlier version (without its columns' names and schema version either).
    // The first translation fills what is missing, loses nothing, and a rename after it keeps the attribute.
    void earlierCataloguesAreCompleted_data()
    {
        QTest::addColumn<QString>("quitar");
        // Up to date with the schema as it is.
        QTest::newRow("without shapes") << u"DELETE FROM NIEB_ESTRUCTURA; UPDATE NIEB_SINCRONIA SET VERSION_ESQUEMA = "
                                           u"(SELECT schema_version FROM pragma_schema_version)"_s;
        QTest::newRow("without names nor version")
            << u"DROP TABLE NIEB_ESTRUCTURA; DROP TABLE NIEB_SINCRONIA; DROP TABLE NIEB_COLUMNAS; "
               u"DROP TRIGGER NIEB_FCL_NUEVA; DROP TRIGGER NIEB_FCL_MOVIDA; DROP TRIGGER NIEB_FCL_BORRADA"_s;
    }
    void earlierCataloguesAreCompleted()
    {
        if (!db_)
            QSKIP("database files of earlier versions are embedded ones");
        QFETCH(QString, quitar);
        const auto catalogado = [&] {
            return filas("SELECT (SELECT COUNT(*) FROM FCL), (SELECT COUNT(*) FROM LFOC), (SELECT COUNT(*) FROM "
                         "LOCT3), (SELECT COUNT(*) FROM NIEB_COMPATIBLES), (SELECT COUNT(*) FROM NIEB_OBJETOS)");
        };
        const auto antes = catalogado();
        const std::string sueldo = "SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE SUELDO FEQ $Medio ORDER BY 1";
        const auto sueldoAntes = consultar(sueldo);
        db_->ejecutar(texto(quitar));
        QCOMPARE(consultar(sueldo), sueldoAntes);
        QCOMPARE(catalogado(), antes);
        db_->ejecutar("ALTER TABLE EMPLEADOS RENAME COLUMN SUELDO TO SALARIO");
        QCOMPARE(
            consultar("SELECT ID_EMPLEADO, CDEG(*) FROM EMPLEADOS WHERE SALARIO FEQ $Medio ORDER BY 1"), sueldoAntes);
        QCOMPARE(catalogado(), antes);
    }

    // Table numbers follow the tables in one pass, and only when the schema changed: a stale number
    // stays until a change of schema, then goes with its attributes.
    void tableNumbersFollowTheSchema()
    {
        if (!db_)
            QSKIP("the embedded catalogue's table numbers; the server in PostgreSQL follows its own dictionary");
        nieb::Catalogo c(*db_);
        db_->ejecutar("CREATE TABLE NUEVA (A INTEGER)");
        c.sincronizarTablas();
        const auto nueva = c.numeroTabla("SCOTT", "nueva");
        QVERIFY(nueva > 0);
        db_->ejecutar("INSERT INTO FCL (\"OBJ#\", \"COL#\", F_TYPE) VALUES (?1, 1, 1)", {nueva});
        c.sincronizarTablas(); // keeps the shape of a table that has fuzzy attributes now
        db_->ejecutar("INSERT INTO NIEB_OBJETOS (TABLE_NAME) VALUES ('FANTASMA')");
        c.sincronizarTablas();
        QVERIFY(c.numeroTabla("SCOTT", "FANTASMA") > 0); // no schema change: nothing was looked at
        db_->ejecutar("DROP TABLE NUEVA");
        c.sincronizarTablas();
        QCOMPARE(c.numeroTabla("SCOTT", "NUEVA"), 0);
        QCOMPARE(c.numeroTabla("SCOTT", "FANTASMA"), 0);
        QCOMPARE(entero("SELECT COUNT(*) FROM FCL WHERE \"OBJ#\" = ?1", {nueva}), 0);
        QVERIFY(c.numeroTabla("SCOTT", "EMPLEADOS") > 0);
    }

    // ---- Logic options -----------------------------------------------------------------------------

    // A NIEB_OPTIONS value is a function name or an expression over X and Y; anything else is never
    // pasted into the SQL: the default is used and a notice is kept once in NIEB_INFO.
    void logicOptionsAreChecked_data()
    {
        QTest::addColumn<QString>("opcion");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("formula"); // what CDEG(*) must be for degrees x, y; empty: refused
        QTest::newRow("function name") << u"AND"_s << u"MIN"_s << u"min"_s;
        QTest::newRow("product") << u"AND"_s << u"X * Y"_s << u"product"_s;
        QTest::newRow("probabilistic sum") << u"OR"_s << u"X + Y - X * Y"_s << u"probor"_s;
        QTest::newRow("default written out") << u"AND"_s << u"least (x,y)"_s << u"min"_s;
        QTest::newRow("comment") << u"AND"_s << u"X -- Y"_s << QString();
        QTest::newRow("statement") << u"AND"_s << u"X); DELETE FROM EMPLEADOS; --"_s << QString();
        QTest::newRow("string") << u"AND"_s << u"X || 'a'"_s << QString();
        QTest::newRow("other column") << u"AND"_s << u"X * SUELDO"_s << QString();
        QTest::newRow("only one operand") << u"AND"_s << u"X"_s << QString();
        QTest::newRow("unknown function") << u"OR"_s << u"RANDOM(X, Y)"_s << QString();
        QTest::newRow("unbalanced") << u"OR"_s << u"MAX((X, Y)"_s << QString();
        QTest::newRow("subquery") << u"OR"_s << u"(SELECT X)"_s << QString();
        QTest::newRow("not with y") << u"NOT"_s << u"1 - Y"_s << QString();
    }
    void logicOptionsAreChecked()
    {
        QFETCH(QString, opcion);
        QFETCH(QString, valor);
        QFETCH(QString, formula);
        ejecutar("INSERT INTO NIEB_OPTIONS (OPCION, VALOR) VALUES (?1, ?2)", {texto(opcion), texto(valor)});
        // CDEG(SUELDO) under NOT is already the negated degree.
        const std::string q = "SELECT CDEG(EDAD), CDEG(SUELDO), CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Joven THOLD 0 "
            + (opcion == u"NOT"_s ? std::string("AND NOT (SUELDO FEQ $Alto THOLD 1)")
                                  : texto(opcion) + " SUELDO FEQ $Medio THOLD 0");
        // NIEB_PKG leaves its notices in NIEB_INFO only.
        for (int vez = 0; vez < 2; ++vez) {
            const auto t = banco_->traducir(q);
            if (db_)
                QCOMPARE(t.avisos.size(), formula.isEmpty() ? 1u : 0u);
        }
        const auto avisos = filas("SELECT VALOR FROM NIEB_INFO WHERE OPCION = 'AVISO'");
        QCOMPARE(avisos.size(), formula.isEmpty() ? 1u : 0u);
        QCOMPARE(entero("SELECT COUNT(*) FROM EMPLEADOS"), 200);
        int comprobadas = 0;
        for (const auto& f : consultar(q)) {
            if (nieb::esNulo(f[0]) || nieb::esNulo(f[1]))
                continue;
            const double x = comoReal(f[0]), y = comoReal(f[1]), g = comoReal(f[2]);
            double esperado = std::min(x, y);
            if (formula == u"product"_s)
                esperado = x * y;
            else if (formula == u"probor"_s)
                esperado = x + y - x * y;
            else if (opcion == u"OR"_s)
                esperado = std::max(x, y);
            QVERIFY2(std::fabs(g - esperado) < 1e-12, qPrintable(u"%1 %2 -> %3"_s.arg(x).arg(y).arg(g)));
            ++comprobadas;
        }
        QVERIFY(comprobadas > 10);
        // Once the option is mended the notice goes.
        ejecutar("DELETE FROM NIEB_OPTIONS WHERE OPCION = ?1", {texto(opcion)});
        banco_->traducir(q);
        QCOMPARE(entero("SELECT COUNT(*) FROM NIEB_INFO WHERE OPCION = 'AVISO'"), 0);
    }

    // ---- Errors ------------------------------------------------------------------------------------

    // Names and tokens in messages: whole up to 40 bytes, cut with "…" after, never inside a character.
    void longNamesAreCutInMessages_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QString>("mostrado");
        const QString a39(39, u'a');
        QTest::newRow("label of 40 bytes")
            << u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ $%1"_s.arg(a39) << u"la etiqueta $%1 no"_s.arg(a39);
        QTest::newRow("label of 41 bytes")
            << u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ $%1"_s.arg(a39 + u'b') << u"la etiqueta $%1…"_s.arg(a39);
        QTest::newRow("label of a megabyte")
            << u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ $%1"_s.arg(QString(1 << 20, u'x'))
            << u"la etiqueta $%1…"_s.arg(QString(39, u'x'));
        QTest::newRow("table of 40 bytes") << u"SELECT * FROM T%1"_s.arg(a39) << u"la tabla T%1 no"_s.arg(a39);
        QTest::newRow("table of 41 bytes")
            << u"SELECT * FROM T%1b"_s.arg(a39) << u"la tabla T%1…"_s.arg(a39);
        QTest::newRow("table of a megabyte")
            << u"SELECT * FROM T%1"_s.arg(QString(1 << 20, u'x')) << u"la tabla T%1…"_s.arg(QString(39, u'x'));
        // 38 bytes then ñ (two bytes): cutting at 40 would split it.
        QTest::newRow("cut before a character")
            << u"SELECT * FROM T%1ñ"_s.arg(QString(38, u'x')) << u"la tabla T%1…"_s.arg(QString(38, u'x'));
        QTest::newRow("number of 41 bytes")
            << u"SELECT * FROM EMPLEADOS WHERE EDAD FEQ 1%1"_s.arg(QString(400, u'0'))
            << u"'1%1…'"_s.arg(QString(39, u'0'));
    }
    void longNamesAreCutInMessages()
    {
        QFETCH(QString, consulta);
        QFETCH(QString, mostrado);
        const auto e = errores(texto(consulta));
        QVERIFY(!e.empty());
        const QString primero = QString::fromStdString(e.front());
        QVERIFY2(primero.contains(mostrado), qPrintable(primero));
        QVERIFY2(primero.size() < 200, qPrintable(primero.left(300)));
    }

    // A comment passes into the SQL as it is: one with a NUL byte, which would end the statement, is refused.
    void nulInACommentIsRefused()
    {
        if (!db_)
            QSKIP("PostgreSQL text holds no NUL byte");
        const auto e = errores(std::string("SELECT NOMBRE /* x\0y */ FROM EMPLEADOS -- z\0", 44));
        QCOMPARE(e.size(), 2u);
        QVERIFY2(QString::fromStdString(e[0]).startsWith(u"Línea 1, columna 15: carácter nulo"_s), e[0].c_str());
        QVERIFY2(QString::fromStdString(e[1]).startsWith(u"Línea 1, columna 40: carácter nulo"_s), e[1].c_str());
    }

    // Fault reports that are not faults: a CDEG out of place is one error, not two.
    void misplacedCdegIsOneError()
    {
        const auto e = errores("SELECT NOMBRE FROM EMPLEADOS WHERE CDEG(*) > 0.5 AND EDAD FEQ $Joven");
        QCOMPARE(e.size(), 1u);
        QVERIFY2(QString::fromStdString(e[0]).contains(u"CDEG solo puede ir"_s), e[0].c_str());
    }

    // At most 100 messages; past that the last one says there are more. Exactly 100 are all shown.
    void errorsStopAtOneHundred_data()
    {
        QTest::addColumn<int>("cuantos");
        QTest::addColumn<bool>("hayMas");
        QTest::newRow("99") << 99 << false;
        QTest::newRow("100") << 100 << false;
        QTest::newRow("101") << 101 << true;
        QTest::newRow("150") << 150 << true;
    }
    void errorsStopAtOneHundred()
    {
        QFETCH(int, cuantos);
        QFETCH(bool, hayMas);
        std::string q = "SELECT * FROM EMPLEADOS WHERE ";
        for (int i = 0; i < cuantos; ++i)
            q += (i ? " OR " : "") + ("EDAD FEQ $Nada" + std::to_string(i));
        const auto e = errores(q);
        QCOMPARE(int(e.size()), std::min(cuantos, 100));
        QCOMPARE(QString::fromStdString(e.back()).contains(u"más de 100 errores"_s), hayMas);
        QVERIFY(QString::fromStdString(e.front()).contains(u"$Nada0"_s));
        if (!hayMas)
            QVERIFY(QString::fromStdString(e.back()).contains(u"$Nada%1 "_s.arg(cuantos - 1)));
    }

    // ---- Crisp tests on fuzzy attributes -----------------------------------------------------------

    // IS [NOT] UNKNOWN / UNDEFINED / NULL select exactly the rows of their kind: the stored kind code
    // of type 2 (0 UNKNOWN, 1 UNDEFINED, NULL or 2 NULL), never for a precise number, the stored word of
    // type 3. Compared row by row with crisp statements written from the storage rules.
    void isTestsSelectExactlyTheirRows_data()
    {
        QTest::addColumn<QString>("prueba");
        QTest::addColumn<QString>("equivalente");
        QTest::newRow("type 2 unknown") << u"EDAD IS UNKNOWN"_s << u"EDADT = 0"_s;
        QTest::newRow("type 2 undefined") << u"EDAD IS UNDEFINED"_s << u"EDADT = 1"_s;
        QTest::newRow("type 2 null") << u"EDAD IS NULL"_s << u"EDADT IS NULL OR EDADT = 2"_s;
        QTest::newRow("type 2 not unknown") << u"EDAD IS NOT UNKNOWN"_s << u"EDADT IS NULL OR EDADT <> 0"_s;
        QTest::newRow("type 2 not undefined") << u"EDAD IS NOT UNDEFINED"_s << u"EDADT IS NULL OR EDADT <> 1"_s;
        QTest::newRow("type 2 not null") << u"EDAD IS NOT NULL"_s << u"EDADT IN (0, 1, 3, 4, 5, 6, 7)"_s;
        QTest::newRow("type 2 unknown, experience") << u"EXPERIENCIA IS UNKNOWN"_s << u"EXPERIENCIAT = 0"_s;
        QTest::newRow("type 2 undefined, experience") << u"EXPERIENCIA IS UNDEFINED"_s << u"EXPERIENCIAT = 1"_s;
        QTest::newRow("type 1 unknown") << u"SUELDO IS UNKNOWN"_s << u"0 = 1"_s;
        QTest::newRow("type 1 undefined") << u"SUELDO IS UNDEFINED"_s << u"0 = 1"_s;
        QTest::newRow("type 1 not unknown") << u"SUELDO IS NOT UNKNOWN"_s << u"1 = 1"_s;
        QTest::newRow("type 1 not undefined") << u"SUELDO IS NOT UNDEFINED"_s << u"1 = 1"_s;
        QTest::newRow("type 1 null") << u"SUELDO IS NULL"_s << u"SUELDO IS NULL"_s;
        QTest::newRow("type 3 unknown") << u"CARACTER IS UNKNOWN"_s << u"CARACTER = 'UNKNOWN'"_s;
        QTest::newRow("type 3 not undefined")
            << u"CARACTER IS NOT UNDEFINED"_s << u"CARACTER IS NULL OR CARACTER <> 'UNDEFINED'"_s;
    }
    void isTestsSelectExactlyTheirRows()
    {
        QFETCH(QString, prueba);
        QFETCH(QString, equivalente);
        // Make the kinds differ in number, so that a swapped code cannot select as many rows by chance.
        ejecutar("UPDATE EMPLEADOS SET EDADT = 0 WHERE ID_EMPLEADO IN (SELECT ID_EMPLEADO FROM EMPLEADOS WHERE "
                      "EDADT = 3 ORDER BY 1 LIMIT 3)");
        ejecutar("UPDATE EMPLEADOS SET EXPERIENCIAT = 1 WHERE ID_EMPLEADO IN (SELECT ID_EMPLEADO FROM "
                      "EMPLEADOS WHERE EXPERIENCIAT = 3 ORDER BY 1 LIMIT 5)");
        ejecutar("UPDATE EMPLEADOS SET SUELDO = NULL WHERE ID_EMPLEADO IN (7, 8)");
        const auto r = consultar("SELECT ID_EMPLEADO FROM EMPLEADOS WHERE " + texto(prueba) + " ORDER BY 1");
        const auto esperadas = filas("SELECT ID_EMPLEADO FROM EMPLEADOS WHERE " + texto(equivalente) + " ORDER BY 1");
        QCOMPARE(r, esperadas);
        QCOMPARE(r.empty(), equivalente == u"0 = 1"_s);
    }

    // ---- Compatibility of type-3 attributes --------------------------------------------------------

    // Two type-3 attributes compare only when NIEB_COMPATIBLES lists the pair, whichever way round;
    // within one table as across two.
    void typeThreeNeedsCompatibleAttributes_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<bool>("listada");
        QTest::newRow("same table, not listed")
            << u"SELECT * FROM EMPLEADOS WHERE CARACTER FEQ HUMOR"_s << false;
        QTest::newRow("across tables, not listed")
            << u"SELECT * FROM EMPLEADOS E, CANDIDATOS C WHERE C.HUMOR NFEQ E.CARACTER"_s << false;
        QTest::newRow("across tables, listed")
            << u"SELECT * FROM EMPLEADOS E, CANDIDATOS C WHERE C.CARACTER NFEQ E.CARACTER"_s << true;
        QTest::newRow("across tables, listed the other way")
            << u"SELECT * FROM EMPLEADOS E, CANDIDATOS C WHERE E.CARACTER FEQ C.CARACTER"_s << true;
        QTest::newRow("same attribute") << u"SELECT * FROM EMPLEADOS A, EMPLEADOS B WHERE A.CARACTER FEQ B.CARACTER"_s
                                        << true;
    }
    void typeThreeNeedsCompatibleAttributes()
    {
        QFETCH(QString, consulta);
        QFETCH(bool, listada);
        // A second type-3 attribute in each table, with the same labels, listed as compatible with nothing.
        for (const char* t : {"EMPLEADOS", "CANDIDATOS"}) {
            ejecutar(std::string("ALTER TABLE ") + t + " ADD COLUMN HUMOR TEXT");
            ejecutar(std::string("UPDATE ") + t + " SET HUMOR = CARACTER");
            const auto obj = tabla(t);
            const auto col = banco_->columna(t, "HUMOR");
            const auto car = banco_->columna(t, "CARACTER");
            ejecutar("INSERT INTO FCL (\"OBJ#\", \"COL#\", F_TYPE, LEN) VALUES (?1, ?2, 3, 20)", {obj, col});
            ejecutar("INSERT INTO LOCT3 SELECT \"OBJ#\", CAST(?2 AS INTEGER), LABEL_1, LABEL_2, DEGREE FROM LOCT3 " "WHERE \"OBJ#\" = ?1 AND \"COL#\" = ?3",
                {obj, col, car});
        }
        const auto e = errores(texto(consulta));
        if (listada) {
            QVERIFY2(e.empty(), e.empty() ? "" : e[0].c_str());
            return;
        }
        QCOMPARE(e.size(), 1u);
        QVERIFY2(QString::fromStdString(e[0]).contains(u"no son compatibles"_s), e[0].c_str());
    }

    // ---- The package's rows ------------------------------------------------------------------------

    // The client reads the rows ORDER BY INDICE and numbers errors from 1: both tables start at 1 and
    // have no gaps.
    void packageRowsAreNumberedFromOne()
    {
        const auto sesion = banco_->sesion();
        QCOMPARE(banco_->nieb2sql("SELECT NOMBRE FROM EMPLEADOS WHERE EDAD FEQ $Joven"), 0);
        auto r = filas("SELECT MIN(INDICE), MAX(INDICE), COUNT(*) FROM NIEB_QUERY WHERE SESSIONID = ?1", {sesion});
        QCOMPARE(comoEntero(r[0][0]), 1);
        QCOMPARE(comoEntero(r[0][1]), comoEntero(r[0][2]));
        QCOMPARE(banco_->nieb2sql("SELECT * FROM EMPLEADOS WHERE EDAD FEQ $Nada OR SUELDO FEQ $Nada"), 2);
        r = filas("SELECT INDICE FROM NIEB_ERRORS WHERE SESSIONID = ?1 ORDER BY INDICE", {sesion});
        QCOMPARE(r.size(), 2u);
        QCOMPARE(comoEntero(r[0][0]), 1);
        QCOMPARE(comoEntero(r[1][0]), 2);
    }
};

QTEST_GUILESS_MAIN(tst_Servidor)
#include "tst_servidor.moc"
