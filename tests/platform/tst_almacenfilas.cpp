#include "AlmacenFilas.h"
#include "FuenteFila.h"
#include "Utf8.h"

#include <QTest>

#include <array>
#include <limits>

using filas::AlmacenFilas;
using filas::TipoCelda;
using namespace Qt::StringLiterals;

namespace {

// A row handed over cell by cell, as a database cursor hands it.
struct FilaDePrueba : filas::FuenteFila {
    struct Celda {
        TipoCelda tipo;
        qint64 entero = 0;
        double real = 0;
        std::string bytes;
    };
    static Celda de(TipoCelda tipo, qint64 entero = 0, double real = 0, std::string bytes = {})
    {
        return {tipo, entero, real, std::move(bytes)};
    }
    std::vector<Celda> celdas;
    int columnas() const override { return int(celdas.size()); }
    TipoCelda tipo(int c) const override { return celdas[size_t(c)].tipo; }
    qint64 entero(int c) const override { return celdas[size_t(c)].entero; }
    double real(int c) const override { return celdas[size_t(c)].real; }
    std::string_view bytes(int c) const override { return celdas[size_t(c)].bytes; }
};

} // namespace

class tst_AlmacenFilas : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cadaTipoVuelveComoEntro();
    void filaMalFormadaNoSeGuarda();
    void filaMayorQueUnTrozo();
    void filasEnElLimiteDeLosDesplazamientosCortos();
    void unMillonDeFilasPorPosicion();
    void permutarYCambiarCeldas();
    void redimensionarYCambiarColumnas();
    void filaEnteraDesdeUnaFuente();
    void textoConMarcaDeOrdenConservaLaMarca();
    void utf8ValidoComoLoLeeQt_data();
    void utf8ValidoComoLoLeeQt();
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

// Rows under 64 KiB keep two-byte offsets, larger ones four: both sides of the edge, by cells and
// from a source, read back whole and after a cell is replaced.
void tst_AlmacenFilas::filasEnElLimiteDeLosDesplazamientosCortos()
{
    AlmacenFilas a(3);
    FilaDePrueba fila;
    using F = FilaDePrueba;
    // With the other two cells (11 bytes) the rows hold 65534, 65535 and 65536 bytes, and more.
    const std::array<size_t, 4> tamanos = {0xFFFF - 12, 0xFFFF - 11, 0xFFFF - 10, 0x10000};
    for (const size_t tamano : tamanos) {
        const std::string texto(tamano, 'k');
        a.empezarFila();
        a.anadirTexto(texto);
        a.anadirEntero(-7);
        a.anadirTexto("fin");
        a.terminarFila();
        fila.celdas = {F::de(TipoCelda::Texto, 0, 0, texto), F::de(TipoCelda::Entero, -7), F::de(TipoCelda::Texto, 0, 0, "fin")};
        a.anadirFila(fila);
    }
    a.ponerTexto(0, 2, std::string(8, 'w')); // grows the first row past the edge
    QCOMPARE(a.filas(), 8);
    for (qint64 f = 0; f < a.filas(); ++f) {
        QCOMPARE(a.bytes(f, 0).size(), tamanos[size_t(f / 2)]);
        QCOMPARE(a.entero(f, 1), -7);
        QCOMPARE(a.bytes(f, 2), std::string_view(f == 0 ? "wwwwwwww" : "fin"));
    }
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
    // The added rows share their NULL block; changing one leaves the others NULL.
    a.ponerTexto(1, 0, std::string_view("dos"));
    QCOMPARE(a.texto(1, 0), u"dos"_s);
    QVERIFY(a.esNulo(2, 0));
    a.ponerTexto(1, 0, std::string_view());
    a.ponerNulo(1, 0);
    a.cambiarColumnas(2);
    QCOMPARE(a.texto(0, 0), u"uno"_s);
    QVERIFY(a.esNulo(0, 1));
    a.cambiarColumnas(1);
    QCOMPARE(a.columnas(), 1);
    QCOMPARE(a.texto(0, 0), u"uno"_s);
    a.redimensionar(1);
    QCOMPARE(a.filas(), 1);

    // A million added rows cost their positions, not a block each.
    AlmacenFilas grande(4);
    grande.redimensionar(1'000'000);
    QCOMPARE(grande.filas(), 1'000'000);
    QVERIFY(grande.esNulo(999'999, 3));
    QVERIFY2(grande.bytesReservados() < 16'000'000, qPrintable(QString::number(grande.bytesReservados())));
}

void tst_AlmacenFilas::filaEnteraDesdeUnaFuente()
{
    const std::string blob("\0\xff\0", 3);
    const std::string grande(5 << 20, 'y');
    FilaDePrueba fila;
    using F = FilaDePrueba;
    fila.celdas = {F::de(TipoCelda::Nulo), F::de(TipoCelda::Texto), F::de(TipoCelda::Entero, INT64_MAX),
        F::de(TipoCelda::Real, 0, -2.5), F::de(TipoCelda::Texto, 0, 0, "caf\xc3\xa9"), F::de(TipoCelda::Blob, 0, 0, blob)};
    AlmacenFilas a(6);
    a.empezarFila();
    a.anadirTexto("antes");
    // Not while a row is being built cell by cell, nor with another column count.
    QVERIFY_THROWS_EXCEPTION(std::logic_error, a.anadirFila(fila));
    a = AlmacenFilas(5);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, a.anadirFila(fila));
    a = AlmacenFilas(6);
    a.anadirFila(fila);
    fila.celdas[1].bytes = grande; // a row larger than a chunk goes to one of its own
    a.anadirFila(fila);
    fila.celdas[1].bytes.assign(1, 'z');
    a.anadirFila(fila);

    QCOMPARE(a.filas(), 3);
    for (qint64 f = 0; f < 3; ++f) {
        QCOMPARE(a.tipo(f, 0), TipoCelda::Nulo);
        QCOMPARE(a.tipo(f, 1), TipoCelda::Texto);
        QCOMPARE(a.entero(f, 2), std::numeric_limits<qint64>::max());
        QCOMPARE(a.real(f, 3), -2.5);
        QCOMPARE(a.valor(f, 4).toString(), u"café"_s);
        QCOMPARE(a.tipo(f, 5), TipoCelda::Blob);
        QCOMPARE(a.bytes(f, 5), std::string_view(blob));
    }
    QCOMPARE(a.bytes(0, 1), std::string_view());
    QCOMPARE(a.bytes(1, 1), std::string_view(grande));
    QCOMPARE(a.bytes(2, 1), std::string_view("z"));
}

void tst_AlmacenFilas::textoConMarcaDeOrdenConservaLaMarca()
{
    AlmacenFilas a(1);
    a.empezarFila();
    a.anadirTexto("\xEF\xBB\xBFinicio");
    a.terminarFila();
    QCOMPARE(a.texto(0, 0), u"\uFEFFinicio"_s);
    QCOMPARE(a.valor(0, 0).toString(), u"\uFEFFinicio"_s);
}

void tst_AlmacenFilas::utf8ValidoComoLoLeeQt_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii, long") << QByteArray("una fila de texto corriente, con tab\t");
    QTest::newRow("two, three, four bytes") << QByteArray("\xc3\xb1 \xe2\x82\xac \xf0\x9d\x84\x9e fin");
    QTest::newRow("last code point") << QByteArray("\xf4\x8f\xbf\xbf");
    QTest::newRow("noncharacter") << QByteArray("\xef\xbf\xbe");
    QTest::newRow("NUL") << QByteArray("a\0b", 3);
    QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80");
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80");
    QTest::newRow("overlong two") << QByteArray("\xc0\x80");
    QTest::newRow("overlong three") << QByteArray("\xe0\x9f\xbf");
    QTest::newRow("overlong four") << QByteArray("\xf0\x8f\xbf\xbf");
    QTest::newRow("lone continuation") << QByteArray("12345678\x80");
    QTest::newRow("cut short at the end") << QByteArray("abcdefgh\xe2\x82");
    QTest::newRow("lead without continuation") << QByteArray("\xe2(\xa1");
    QTest::newRow("F5 and up") << QByteArray("\xf5\x80\x80\x80");
}

void tst_AlmacenFilas::utf8ValidoComoLoLeeQt()
{
    QFETCH(QByteArray, bytes);
    const std::string_view v(bytes.constData(), size_t(bytes.size()));
    // Valid exactly when a QString holds it unchanged, and then as long as that QString.
    const QString leido = QString::fromUtf8(bytes);
    QCOMPARE(filas::esUtf8Valido(v), leido.toUtf8() == bytes);
    if (filas::esUtf8Valido(v))
        QCOMPARE(filas::longitudUtf16(v), leido.size());
}

QTEST_GUILESS_MAIN(tst_AlmacenFilas)
#include "tst_almacenfilas.moc"
