#include "AlmacenFilas.h"

#include <QTest>

#include <limits>

using filas::AlmacenFilas;
using filas::TipoCelda;
using namespace Qt::StringLiterals;

class tst_AlmacenFilas : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cadaTipoVuelveComoEntro();
    void filaMalFormadaNoSeGuarda();
    void filaMayorQueUnTrozo();
    void unMillonDeFilasPorPosicion();
    void permutarYCambiarCeldas();
    void redimensionarYCambiarColumnas();
};

void tst_AlmacenFilas::cadaTipoVuelveComoEntro()
{
    AlmacenFilas a(7);
    const std::string blob("a\0b\xff", 4);
    a.empezarFila();
    a.anadirNulo();
    a.anadirTexto(std::string_view());
    a.anadirEntero(std::numeric_limits<qint64>::min());
    a.anadirReal(1e23);
    a.anadirTexto(u"Pequeño"_s);
    a.anadirBlob(blob);
    a.anadirReal(0.1);
    a.terminarFila();

    QCOMPARE(a.filas(), 1);
    // NULL and empty text are different cells.
    QCOMPARE(a.tipo(0, 0), TipoCelda::Nulo);
    QVERIFY(a.valor(0, 0).isNull());
    QCOMPARE(a.tipo(0, 1), TipoCelda::Texto);
    QVERIFY(!a.valor(0, 1).isNull());
    QCOMPARE(a.valor(0, 1).toString(), QString());

    QCOMPARE(a.entero(0, 2), std::numeric_limits<qint64>::min());
    QCOMPARE(a.valor(0, 2).typeId(), QMetaType::LongLong);
    QCOMPARE(a.texto(0, 2), u"-9223372036854775808"_s);
    QCOMPARE(a.real(0, 3), 1e23);
    QCOMPARE(a.texto(0, 3), u"1e+23"_s);
    QCOMPARE(a.texto(0, 6), u"0.1"_s);
    QCOMPARE(a.bytes(0, 4), std::string_view("Peque\xc3\xb1o"));
    QCOMPARE(a.valor(0, 4).toString(), u"Pequeño"_s);
    QCOMPARE(a.bytes(0, 5), std::string_view(blob));
    QCOMPARE(a.valor(0, 5).toByteArray(), QByteArray(blob.data(), 4));
    QCOMPARE(a.texto(0, 5), u"X'610062FF'"_s);
}

void tst_AlmacenFilas::filaMalFormadaNoSeGuarda()
{
    AlmacenFilas a(2);
    a.empezarFila();
    a.anadirEntero(1);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, a.terminarFila());
    QCOMPARE(a.filas(), 0);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, a.tipo(0, 0));
    a.anadirFilaNula();
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, a.tipo(0, 2));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, a.tipo(1, 0));
}

void tst_AlmacenFilas::filaMayorQueUnTrozo()
{
    AlmacenFilas a(3);
    const std::string grande(9 << 20, 'x');
    for (int i = 0; i < 3; ++i) {
        a.empezarFila();
        a.anadirEntero(i);
        a.anadirTexto(i == 1 ? std::string_view(grande) : std::string_view("corto"));
        a.anadirTexto("fin");
        a.terminarFila();
    }
    QCOMPARE(a.bytes(1, 1).size(), grande.size());
    QCOMPARE(a.bytes(1, 1), std::string_view(grande));
    QCOMPARE(a.bytes(0, 1), std::string_view("corto"));
    QCOMPARE(a.bytes(2, 1), std::string_view("corto"));
    QCOMPARE(a.entero(2, 0), 2);
    QCOMPARE(a.bytes(2, 2), std::string_view("fin"));
}

void tst_AlmacenFilas::unMillonDeFilasPorPosicion()
{
    constexpr qint64 n = 1'000'000;
    AlmacenFilas a(3);
    char buf[32];
    for (qint64 f = 0; f < n; ++f) {
        a.empezarFila();
        a.anadirEntero(f);
        const int largo = std::snprintf(buf, sizeof buf, "fila %lld", static_cast<long long>(f));
        a.anadirTexto(std::string_view(buf, size_t(largo)));
        if (f % 7 == 0)
            a.anadirNulo();
        else
            a.anadirReal(double(f) / 4);
        a.terminarFila();
    }
    QCOMPARE(a.filas(), n);
    for (qint64 f : {qint64(0), qint64(1), qint64(524287), qint64(524288), n - 1}) {
        QCOMPARE(a.entero(f, 0), f);
        QCOMPARE(a.texto(f, 1), u"fila "_s + QString::number(f));
        QCOMPARE(a.esNulo(f, 2), f % 7 == 0);
        if (f % 7)
            QCOMPARE(a.real(f, 2), double(f) / 4);
    }
    // Short cells cost their bytes plus a few: well under twice the text of such a row.
    QVERIFY2(a.bytesReservados() / (n * 3) < 24, qPrintable(QString::number(a.bytesReservados() / (n * 3))));
    a.vaciar();
    QCOMPARE(a.filas(), 0);
    QCOMPARE(a.bytesReservados(), 0);
}

void tst_AlmacenFilas::permutarYCambiarCeldas()
{
    AlmacenFilas a(2);
    for (int f = 0; f < 5; ++f) {
        a.empezarFila();
        a.anadirEntero(f);
        a.anadirTexto(QString(QChar(u'a' + f)));
        a.terminarFila();
    }
    // Rows 1..3 reversed; rows 0 and 4 stay, and each row moves whole.
    a.permutar(1, {3, 2, 1});
    QList<qint64> numeros;
    QString letras;
    for (int f = 0; f < 5; ++f) {
        numeros << a.entero(f, 0);
        letras += a.texto(f, 1);
    }
    QCOMPARE(numeros, (QList<qint64>{0, 3, 2, 1, 4}));
    QCOMPARE(letras, u"adcbe"_s);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, a.permutar(0, {0, 0}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, a.permutar(1, {0, 1}));

    a.ponerTexto(2, 1, u"cambiada"_s);
    a.ponerNulo(3, 0);
    QCOMPARE(a.texto(2, 1), u"cambiada"_s);
    QCOMPARE(a.entero(2, 0), 2);
    QVERIFY(a.esNulo(3, 0));
    QCOMPARE(a.texto(3, 1), u"b"_s);
    a.intercambiar(0, 4);
    QCOMPARE(a.entero(0, 0), 4);
    QCOMPARE(a.texto(4, 1), u"a"_s);
}

void tst_AlmacenFilas::redimensionarYCambiarColumnas()
{
    AlmacenFilas a(1);
    a.empezarFila();
    a.anadirTexto("uno");
    a.terminarFila();
    a.redimensionar(3);
    QCOMPARE(a.filas(), 3);
    QVERIFY(a.esNulo(2, 0));
    a.cambiarColumnas(2);
    QCOMPARE(a.texto(0, 0), u"uno"_s);
    QVERIFY(a.esNulo(0, 1));
    a.cambiarColumnas(1);
    QCOMPARE(a.columnas(), 1);
    QCOMPARE(a.texto(0, 0), u"uno"_s);
    a.redimensionar(1);
    QCOMPARE(a.filas(), 1);
}

QTEST_GUILESS_MAIN(tst_AlmacenFilas)
#include "tst_almacenfilas.moc"
