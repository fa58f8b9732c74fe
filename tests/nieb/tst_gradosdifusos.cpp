// Degrees of the fuzzy comparators against tables worked out by hand, plus the laws every degree obeys.
#include "GradosDifusos.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace nieb;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(nieb::ValorDifuso)
Q_DECLARE_METATYPE(nieb::FilaTipo2)

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double noNumero = std::numeric_limits<double>::quiet_NaN();
constexpr double NULO = -1; // an expected SQL NULL in the tables below
constexpr double tolerancia = 1e-12;

const Trapecio joven{-inf, -inf, 25, 35}; // a label of an age column

// The value columns of the degree table: "crisp 10", "interval [14,19]", "trapezoid (12,15,15,18)",
// "trapezoid $[11,16,18,22]", "UNKNOWN", "UNDEFINED", "NULL".
std::optional<ValorDifuso> leerValor(const QString& texto)
{
    if (texto == u"UNKNOWN"_s)
        return desconocido();
    if (texto == u"UNDEFINED"_s)
        return indefinido();
    if (texto == u"NULL"_s)
        return nulo();
    static const QRegularExpression numero(u"-?[0-9]+(\\.[0-9]+)?"_s);
    QList<double> n;
    for (const QRegularExpressionMatch& m : numero.globalMatch(texto))
        n.append(m.captured().toDouble());
    if (texto.startsWith(u"crisp "_s) && n.size() == 1)
        return nitido(n[0]);
    if (texto.startsWith(u"interval ["_s) && n.size() == 2)
        return intervalo(n[0], n[1]);
    if (texto.startsWith(u"trapezoid "_s) && n.size() == 4)
        return definido({n[0], n[1], n[2], n[3]});
    return std::nullopt;
}

// "NULL", "1", "7/8".
std::optional<double> leerFraccion(const QString& texto)
{
    if (texto == u"NULL"_s)
        return NULO;
    const QStringList partes = texto.split(u'/');
    bool ok1 = true, ok2 = true;
    const double num = partes[0].toDouble(&ok1);
    const double den = partes.size() == 2 ? partes[1].toDouble(&ok2) : 1;
    if (!ok1 || !ok2 || partes.size() > 2)
        return std::nullopt;
    return num / den;
}

void compararGrado(std::optional<double> obtenido, double esperado)
{
    if (esperado == NULO) {
        QVERIFY2(!obtenido, qPrintable(u"expected NULL, got %1"_s.arg(obtenido.value_or(0))));
        return;
    }
    QVERIFY2(obtenido, "expected a degree, got NULL");
    QVERIFY2(std::abs(*obtenido - esperado) <= tolerancia,
        qPrintable(u"expected %1, got %2"_s.arg(esperado, 0, 'g', 17).arg(*obtenido, 0, 'g', 17)));
}

QStringList filasDeLaTabla()
{
    QFile f(QStringLiteral(NIMBO_FUZZY_DEGREES_TSV));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList filas = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    filas.removeIf([](const QString& l) { return l.startsWith(u'#') || l.startsWith(u"comparator\t"_s); });
    return filas;
}

// Points on a small integer grid so that edges often coincide (vertical edges, crisp values, touching
// supports); now and then an end at infinity.
Trapecio trapecioAlAzar(QRandomGenerator& azar)
{
    std::array<double, 4> p;
    for (double& x : p)
        x = azar.bounded(12);
    std::sort(p.begin(), p.end());
    if (azar.bounded(8) == 0)
        p[0] = p[1] = -inf;
    if (azar.bounded(8) == 0)
        p[2] = p[3] = inf;
    return {p[0], p[1], p[2], p[3]};
}

QString texto(const Trapecio& t)
{
    return u"(%1,%2,%3,%4)"_s.arg(t.a).arg(t.b).arg(t.c).arg(t.d);
}

constexpr std::array todos{Comparador::FEQ, Comparador::FGEQ, Comparador::FGT, Comparador::FLEQ, Comparador::FLT,
    Comparador::MGT, Comparador::MLT};

} // namespace

class TestGradosDifusos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tablaIndependiente_data();
    void tablaIndependiente();
    void tablaIndependienteCompleta();
    void aMano_data();
    void aMano();
    void necesidadNoSuperaPosibilidad();
    void nitidoDaLoMismoEnAmbosModos();
    void necesidadEsElComplementoDelOpuesto();
    void nombres();
    void decodificarTipo2_data();
    void decodificarTipo2();
};

void TestGradosDifusos::tablaIndependiente_data()
{
    QTest::addColumn<QString>("fila");
    for (const QString& fila : filasDeLaTabla())
        QTest::newRow(qPrintable(fila)) << fila;
}

void TestGradosDifusos::tablaIndependiente()
{
    QFETCH(QString, fila);
    const QStringList c = fila.split(u'\t');
    QCOMPARE(c.size(), 6);
    const auto op = leerComparador(c[0].toStdString());
    const auto a = leerValor(c[1]);
    const auto b = leerValor(c[2]);
    bool ok = false;
    const double mucho = c[3].toDouble(&ok);
    const auto esperado = leerFraccion(c[4]);
    QVERIFY(op && a && b && ok && esperado);
    compararGrado(grado(*op, *a, *b, mucho), *esperado);
}

// A moved or truncated file must not pass quietly with fewer rows.
void TestGradosDifusos::tablaIndependienteCompleta()
{
    QCOMPARE(filasDeLaTabla().size(), 420);
}

void TestGradosDifusos::aMano_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<ValorDifuso>("a");
    QTest::addColumn<ValorDifuso>("b");
    QTest::addColumn<double>("mucho");
    QTest::addColumn<double>("esperado");

    const ValorDifuso bajo = definido({-inf, -inf, 20, 30});
    const ValorDifuso alto = definido({50, 60, inf, inf});
    const ValorDifuso medio = definido({55, 60, 70, 80});
    // Infinite ends in B and so in P.
    QTest::newRow("FGEQ, B unbounded below: everything qualifies")
        << u"NFGEQ"_s << definido({10, 12, 14, 16}) << bajo << 4.0 << 1.0;
    QTest::newRow("FGT, B unbounded below: A's falling ramp meets P's rising one")
        << u"FGT"_s << definido({18, 22, 26, 30}) << bajo << 4.0 << 5.0 / 7;
    QTest::newRow("NFGT, B unbounded below: A's rising ramp against P's")
        << u"NFGT"_s << definido({18, 22, 26, 30}) << bajo << 4.0 << 1.0 / 7;
    QTest::newRow("FLT, B unbounded below: nothing is below all of it") << u"FLT"_s << nitido(0) << bajo << 4.0 << 0.0;
    QTest::newRow("FGT, B unbounded above: nothing is above all of it") << u"FGT"_s << medio << alto << 4.0 << 0.0;
    QTest::newRow("MGT, B unbounded above") << u"MGT"_s << medio << alto << 4.0 << 0.0;
    QTest::newRow("NFLEQ, B unbounded above: everything qualifies") << u"NFLEQ"_s << medio << alto << 4.0 << 1.0;
    QTest::newRow("FEQ, right shoulder") << u"FEQ"_s << medio << alto << 4.0 << 1.0;
    QTest::newRow("NFEQ, right shoulder: 1 - muA meets muP at 170/3") << u"NFEQ"_s << medio << alto << 4.0 << 2.0 / 3;
    // Infinite ends in A.
    QTest::newRow("FGEQ, A unbounded below") << u"FGEQ"_s << definido({-inf, -inf, 10, 20}) << nitido(15) << 4.0 << 0.5;
    QTest::newRow("NFGEQ, A unbounded below")
        << u"NFGEQ"_s << definido({-inf, -inf, 10, 20}) << nitido(15) << 4.0 << 0.0;
    QTest::newRow("NFGEQ, A unbounded above, all of it above")
        << u"NFGEQ"_s << definido({30, 40, inf, inf}) << nitido(15) << 4.0 << 1.0;
    QTest::newRow("FLT, A unbounded above, limit below 35")
        << u"FLT"_s << definido({30, 40, inf, inf}) << nitido(35) << 4.0 << 0.5;
    QTest::newRow("NFLT, A unbounded above") << u"NFLT"_s << definido({30, 40, inf, inf}) << nitido(35) << 4.0 << 0.0;
    QTest::newRow("FEQ, A the whole line") << u"FEQ"_s << definido({-inf, -inf, inf, inf}) << nitido(5) << 4.0 << 1.0;
    QTest::newRow("NFEQ, A the whole line") << u"NFEQ"_s << definido({-inf, -inf, inf, inf}) << nitido(5) << 4.0 << 0.0;
    QTest::newRow("FGT, UNKNOWN A, B unbounded above: P is empty") << u"FGT"_s << desconocido() << alto << 4.0 << 0.0;
    QTest::newRow("FGEQ, UNKNOWN A, B unbounded below") << u"FGEQ"_s << desconocido() << bajo << 4.0 << 1.0;
    QTest::newRow("FEQ UNKNOWN UNKNOWN") << u"FEQ"_s << desconocido() << desconocido() << 4.0 << 1.0;
    // A ramp reaching infinity is flat in the limit: (x + L) / (5 + L) -> 1 and (x - 5) / L -> 0.
    QTest::newRow("ramp from -inf is a shoulder") << u"FEQ"_s << nitido(0) << definido({-inf, 5, 20, 30}) << 4.0 << 1.0;
    QTest::newRow("ramp from +inf is a shoulder") << u"FEQ"_s << nitido(25) << definido({0, 0, 20, inf}) << 4.0 << 1.0;
    QTest::newRow("ramp down from -inf never falls")
        << u"FEQ"_s << nitido(0) << definido({-inf, -inf, -inf, 5}) << 4.0 << 0.0;
    // No finite point possible at all: as UNDEFINED, whatever the comparator.
    QTest::newRow("B ramping up to +inf") << u"NFLEQ"_s << nitido(0) << definido({5, inf, inf, inf}) << 4.0 << 0.0;
    QTest::newRow("A ramping up to +inf") << u"FGEQ"_s << definido({5, inf, inf, inf}) << nitido(3) << 4.0 << 0.0;
    QTest::newRow("NFGEQ, UNKNOWN A, B unbounded below: P is everything")
        << u"NFGEQ"_s << desconocido() << bajo << 4.0 << 1.0;

    // Vertical edges meeting the excluded point or each other.
    QTest::newRow("FGT [10,20] 20: A never above") << u"FGT"_s << intervalo(10, 20) << nitido(20) << 4.0 << 0.0;
    QTest::newRow("FGEQ [10,20] 20: the edge point counts")
        << u"FGEQ"_s << intervalo(10, 20) << nitido(20) << 4.0 << 1.0;
    QTest::newRow("NFGEQ [10,20] 20") << u"NFGEQ"_s << intervalo(10, 20) << nitido(20) << 4.0 << 0.0;
    QTest::newRow("FGT [20,30] 20") << u"FGT"_s << intervalo(20, 30) << nitido(20) << 4.0 << 1.0;
    QTest::newRow("NFGT [20,30] 20: 20 is possible and excluded")
        << u"NFGT"_s << intervalo(20, 30) << nitido(20) << 4.0 << 0.0;
    QTest::newRow("NFGT sloped A from 20: 20 itself impossible")
        << u"NFGT"_s << definido({20, 21, 30, 30}) << nitido(20) << 4.0 << 1.0;
    QTest::newRow("NFGEQ [20,30] 20") << u"NFGEQ"_s << intervalo(20, 30) << nitido(20) << 4.0 << 1.0;
    QTest::newRow("FLT [10,20] 20") << u"FLT"_s << intervalo(10, 20) << nitido(20) << 4.0 << 1.0;
    QTest::newRow("NFLT [10,20] 20: 20 is possible and excluded")
        << u"NFLT"_s << intervalo(10, 20) << nitido(20) << 4.0 << 0.0;
    QTest::newRow("NFLEQ [10,20] 20") << u"NFLEQ"_s << intervalo(10, 20) << nitido(20) << 4.0 << 1.0;
    QTest::newRow("FEQ intervals touching") << u"FEQ"_s << intervalo(10, 20) << intervalo(20, 30) << 4.0 << 1.0;
    QTest::newRow("NFEQ intervals touching") << u"NFEQ"_s << intervalo(10, 20) << intervalo(20, 30) << 4.0 << 0.0;
    QTest::newRow("FEQ interval against a sloped foot")
        << u"FEQ"_s << intervalo(10, 20) << definido({20, 25, 25, 30}) << 4.0 << 0.0;
    QTest::newRow("FGT, B's vertical right edge: sup approached above 15")
        << u"FGT"_s << definido({13, 15, 15, 17}) << definido({10, 12, 15, 15}) << 4.0 << 1.0;
    QTest::newRow("NFGT, B's vertical right edge, A sloped from 15")
        << u"NFGT"_s << definido({15, 16, 17, 18}) << definido({10, 12, 15, 15}) << 4.0 << 1.0;
    QTest::newRow("NFGT, B's vertical right edge, A vertical at 15")
        << u"NFGT"_s << definido({15, 15, 17, 18}) << definido({10, 12, 15, 15}) << 4.0 << 0.0;
    QTest::newRow("NFLEQ, A's vertical right edge on P's ramp")
        << u"NFLEQ"_s << definido({10, 12, 15, 15}) << definido({10, 12, 14, 18}) << 4.0 << 0.75;

    // Approximate values (margin 2) and labels.
    QTest::newRow("FGEQ #20 21") << u"FGEQ"_s << aproximado(20, 2) << nitido(21) << 4.0 << 0.5;
    QTest::newRow("NFGEQ #20 21") << u"NFGEQ"_s << aproximado(20, 2) << nitido(21) << 4.0 << 0.0;
    QTest::newRow("NFLEQ #20 21: limit above 21") << u"NFLEQ"_s << aproximado(20, 2) << nitido(21) << 4.0 << 0.5;
    QTest::newRow("FEQ #20 #23") << u"FEQ"_s << aproximado(20, 2) << aproximado(23, 2) << 4.0 << 0.25;
    QTest::newRow("NFEQ #20 #23") << u"NFEQ"_s << aproximado(20, 2) << aproximado(23, 2) << 4.0 << 0.0;
    QTest::newRow("FEQ 30 $Joven") << u"FEQ"_s << nitido(30) << definido(joven) << 4.0 << 0.5;
    QTest::newRow("FEQ #30 $Joven: crossing at 350/12")
        << u"FEQ"_s << aproximado(30, 2) << definido(joven) << 4.0 << 7.0 / 12;
    QTest::newRow("NFEQ #30 $Joven: crossing at 370/12")
        << u"NFEQ"_s << aproximado(30, 2) << definido(joven) << 4.0 << 5.0 / 12;

    // UNKNOWN, UNDEFINED and NULL on the right (a constant or another attribute's value).
    QTest::newRow("FGT UNKNOWN") << u"FGT"_s << definido({1, 2, 3, 4}) << desconocido() << 4.0 << 1.0;
    QTest::newRow("NFGT UNKNOWN") << u"NFGT"_s << definido({1, 2, 3, 4}) << desconocido() << 4.0 << 1.0;
    QTest::newRow("NMLT UNKNOWN") << u"NMLT"_s << nitido(5) << desconocido() << 4.0 << 1.0;
    QTest::newRow("NFEQ UNKNOWN UNKNOWN") << u"NFEQ"_s << desconocido() << desconocido() << 4.0 << 1.0;
    QTest::newRow("MGT UNDEFINED UNKNOWN") << u"MGT"_s << indefinido() << desconocido() << 4.0 << 0.0;
    QTest::newRow("FEQ NULL UNKNOWN") << u"FEQ"_s << nulo() << desconocido() << 4.0 << NULO;
    QTest::newRow("FEQ 5 UNDEFINED") << u"FEQ"_s << nitido(5) << indefinido() << 4.0 << 0.0;
    QTest::newRow("NFEQ UNKNOWN UNDEFINED") << u"NFEQ"_s << desconocido() << indefinido() << 4.0 << 0.0;
    QTest::newRow("FGT 5 NULL") << u"FGT"_s << nitido(5) << nulo() << 4.0 << NULO;
    QTest::newRow("FGT UNDEFINED NULL") << u"FGT"_s << indefinido() << nulo() << 4.0 << NULO;
    QTest::newRow("FGT NULL UNDEFINED") << u"FGT"_s << nulo() << indefinido() << 4.0 << NULO;

    // MGT and MLT: the much distance, and the excluded point when it is 0.
    QTest::newRow("MGT 10 10, M 0") << u"MGT"_s << nitido(10) << nitido(10) << 0.0 << 0.0;
    QTest::newRow("MGT 10.5 10, M 0") << u"MGT"_s << nitido(10.5) << nitido(10) << 0.0 << 1.0;
    QTest::newRow("MGT [10,12] 10, M 0") << u"MGT"_s << intervalo(10, 12) << nitido(10) << 0.0 << 1.0;
    QTest::newRow("NMGT [10,12] 10, M 0") << u"NMGT"_s << intervalo(10, 12) << nitido(10) << 0.0 << 0.0;
    QTest::newRow("MGT, M 0, limit above the peak")
        << u"MGT"_s << definido({8, 10, 10, 12}) << nitido(10) << 0.0 << 1.0;
    QTest::newRow("NMGT, M 0, A sloped from 10") << u"NMGT"_s << definido({10, 11, 11, 12}) << nitido(10) << 0.0 << 1.0;
    QTest::newRow("MGT 12 10, M 4") << u"MGT"_s << nitido(12) << nitido(10) << 4.0 << 0.5;
    QTest::newRow("MGT 14 10, M 4") << u"MGT"_s << nitido(14) << nitido(10) << 4.0 << 1.0;
    QTest::newRow("MLT 8 10, M 4") << u"MLT"_s << nitido(8) << nitido(10) << 4.0 << 0.5;
    QTest::newRow("MLT 10 10, M 0") << u"MLT"_s << nitido(10) << nitido(10) << 0.0 << 0.0;
    QTest::newRow("MLT 9.5 10, M 0") << u"MLT"_s << nitido(9.5) << nitido(10) << 0.0 << 1.0;
    QTest::newRow("MGT M 2 after an interval")
        << u"MGT"_s << definido({19, 21, 24, 30}) << intervalo(14, 19) << 2.0 << 1.0;
    QTest::newRow("NMGT M 2 after an interval")
        << u"NMGT"_s << definido({19, 21, 24, 30}) << intervalo(14, 19) << 2.0 << 0.5;
    QTest::newRow("NMLT M 2, all of A far below")
        << u"NMLT"_s << definido({10, 12, 14, 16}) << nitido(20) << 2.0 << 1.0;
    QTest::newRow("NMLT M 2, ramps cross at 19.5")
        << u"NMLT"_s << definido({17, 18, 19, 21}) << nitido(20) << 2.0 << 0.25;

    // Values that cannot be evaluated count as NULL.
    QTest::newRow("A out of order") << u"FEQ"_s << definido({3, 2, 4, 5}) << nitido(3) << 4.0 << NULO;
    QTest::newRow("B with a NaN") << u"NFEQ"_s << nitido(3) << definido({1, noNumero, 4, 5}) << 4.0 << NULO;
    QTest::newRow("negative much distance") << u"MGT"_s << nitido(30) << nitido(3) << -1.0 << NULO;
    QTest::newRow("NaN much distance") << u"NMLT"_s << nitido(0) << nitido(3) << noNumero << NULO;
    QTest::newRow("much distance unused by FEQ") << u"FEQ"_s << nitido(3) << nitido(3) << -1.0 << 1.0;
}

void TestGradosDifusos::aMano()
{
    QFETCH(QString, op);
    QFETCH(ValorDifuso, a);
    QFETCH(ValorDifuso, b);
    QFETCH(double, mucho);
    QFETCH(double, esperado);
    const auto operador = leerComparador(op.toStdString());
    QVERIFY(operador);
    compararGrado(grado(*operador, a, b, mucho), esperado);
}

void TestGradosDifusos::necesidadNoSuperaPosibilidad()
{
    QRandomGenerator azar(20261206);
    for (int i = 0; i < 20000; ++i) {
        const ValorDifuso a = definido(trapecioAlAzar(azar));
        const ValorDifuso b = definido(trapecioAlAzar(azar));
        const double mucho = azar.bounded(3);
        for (Comparador op : todos) {
            const double pi = grado(op, Modo::Posibilidad, a, b, mucho).value();
            const double n = grado(op, Modo::Necesidad, a, b, mucho).value();
            QVERIFY(0 <= n && n <= pi && pi <= 1);
        }
    }
}

void TestGradosDifusos::nitidoDaLoMismoEnAmbosModos()
{
    QRandomGenerator azar(7);
    for (int i = 0; i < 20000; ++i) {
        const ValorDifuso a = nitido(azar.bounded(24) / 2.0);
        const ValorDifuso b = definido(trapecioAlAzar(azar));
        for (Comparador op : todos)
            QCOMPARE(grado(op, Modo::Necesidad, a, b, 1), grado(op, Modo::Posibilidad, a, b, 1));
    }
}

// P of FGEQ and of FLT are each other's complement, and so are FGT and FLEQ, excluded points included.
// Hence N(A op B) = 1 - Π(A opposite B), which ties the necessity of every ordering comparator to an
// independently computed possibility.
void TestGradosDifusos::necesidadEsElComplementoDelOpuesto()
{
    const std::array<std::pair<Comparador, Comparador>, 4> opuestos{{{Comparador::FGEQ, Comparador::FLT},
        {Comparador::FLT, Comparador::FGEQ}, {Comparador::FGT, Comparador::FLEQ}, {Comparador::FLEQ, Comparador::FGT}}};
    QRandomGenerator azar(42);
    for (int i = 0; i < 20000; ++i) {
        const ValorDifuso a = definido(trapecioAlAzar(azar));
        const ValorDifuso b = definido(trapecioAlAzar(azar));
        for (auto [op, opuesto] : opuestos) {
            const double n = grado(op, Modo::Necesidad, a, b, 0).value();
            const double pi = grado(opuesto, Modo::Posibilidad, a, b, 0).value();
            QVERIFY2(std::abs(n + pi - 1) <= tolerancia,
                qPrintable(u"op %1, A %2, B %3"_s.arg(int(op)).arg(texto(a.t), texto(b.t))));
        }
    }
}

void TestGradosDifusos::nombres()
{
    for (Comparador c : todos)
        for (Modo m : {Modo::Posibilidad, Modo::Necesidad}) {
            const std::string_view nombre = nombreComparador(c, m);
            QVERIFY(leerComparador(nombre) == (OperadorDifuso{c, m}));
            QCOMPARE(nombre.front() == 'N', m == Modo::Necesidad);
        }
    QVERIFY(leerComparador("nFgEq") == (OperadorDifuso{Comparador::FGEQ, Modo::Necesidad}));
    QVERIFY(leerComparador("mlt") == (OperadorDifuso{Comparador::MLT, Modo::Posibilidad}));
    for (const char* malo : {"", "FE", "FEQS", "NNFEQ", "FEQ ", "GT", "NMGE", "=", "F\xc9Q"})
        QVERIFY2(!leerComparador(malo), malo);
}

void TestGradosDifusos::decodificarTipo2_data()
{
    QTest::addColumn<FilaTipo2>("fila");
    QTest::addColumn<double>("margen");
    QTest::addColumn<bool>("legible");
    QTest::addColumn<ValorDifuso>("valor");

    QTest::newRow("XT NULL") << FilaTipo2{{}, 1, 2, 3, 4} << 1.0 << true << nulo();
    QTest::newRow("0 UNKNOWN") << FilaTipo2{0, {}, {}, {}, {}} << 1.0 << true << desconocido();
    QTest::newRow("1 UNDEFINED") << FilaTipo2{1, {}, {}, {}, {}} << 1.0 << true << indefinido();
    QTest::newRow("2 NULL") << FilaTipo2{2, 5, {}, {}, {}} << 1.0 << true << nulo();
    QTest::newRow("3 crisp, other points ignored") << FilaTipo2{3, 25, 99, {}, {}} << 1.0 << true << nitido(25);
    QTest::newRow("5 interval") << FilaTipo2{5, 20, 30, {}, {}} << 1.0 << true << intervalo(20, 30);
    QTest::newRow("6 approximate") << FilaTipo2{6, 25, {}, {}, {}} << 3.0 << true << definido({22, 25, 25, 28});
    QTest::newRow("6 approximate, margin 0") << FilaTipo2{6, 25, {}, {}, {}} << 0.0 << true << nitido(25);
    QTest::newRow("7 trapezoid") << FilaTipo2{7, 20, 25, 30, 35} << 1.0 << true << definido({20, 25, 30, 35});

    QTest::newRow("3 without X1") << FilaTipo2{3, {}, {}, {}, {}} << 1.0 << false << nulo();
    QTest::newRow("3 infinite") << FilaTipo2{3, inf, {}, {}, {}} << 1.0 << false << nulo();
    QTest::newRow("4 label: the caller's job") << FilaTipo2{4, 1, {}, {}, {}} << 1.0 << false << nulo();
    QTest::newRow("5 reversed interval") << FilaTipo2{5, 30, 20, {}, {}} << 1.0 << false << nulo();
    QTest::newRow("5 without X2") << FilaTipo2{5, 20, {}, {}, {}} << 1.0 << false << nulo();
    QTest::newRow("6 negative margin") << FilaTipo2{6, 25, {}, {}, {}} << -1.0 << false << nulo();
    QTest::newRow("7 out of order") << FilaTipo2{7, 20, 30, 25, 35} << 1.0 << false << nulo();
    QTest::newRow("7 without X4") << FilaTipo2{7, 20, 25, 30, {}} << 1.0 << false << nulo();
    QTest::newRow("7 NaN") << FilaTipo2{7, 20, noNumero, 30, 35} << 1.0 << false << nulo();
    QTest::newRow("8 no such kind") << FilaTipo2{8, 1, 2, 3, 4} << 1.0 << false << nulo();
    QTest::newRow("-1 no such kind") << FilaTipo2{-1, 1, 2, 3, 4} << 1.0 << false << nulo();
}

void TestGradosDifusos::decodificarTipo2()
{
    QFETCH(FilaTipo2, fila);
    QFETCH(double, margen);
    QFETCH(bool, legible);
    QFETCH(ValorDifuso, valor);
    const auto v = nieb::decodificarTipo2(fila, margen);
    QCOMPARE(v.has_value(), legible);
    if (!v)
        return;
    QCOMPARE(v->clase, valor.clase);
    QVERIFY(valor.clase != Clase::Definido || v->t == valor.t);
}

QTEST_APPLESS_MAIN(TestGradosDifusos)
#include "tst_gradosdifusos.moc"
