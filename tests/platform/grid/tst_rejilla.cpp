// The grid: its model over the row store, the generic sort, merging, selection and its picture.
#include "OrdenRejilla.h"
#include "Rejilla.h"
#include "Twips.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using rejilla::Rejilla;

namespace {

// A grid laid out as a query result: header row, row numbers in column 0, then the data.
void llenar(Rejilla& g, const QStringList& cabecera, const QList<QStringList>& filas)
{
    g.modelo()->vaciar(0, int(cabecera.size()) + 1);
    auto& lote = g.lote();
    lote.empezarFila();
    lote.anadirTexto(u"Nº Fila"_s);
    for (const QString& c : cabecera)
        lote.anadirTexto(c);
    lote.terminarFila();
    for (int i = 0; i < filas.size(); ++i) {
        lote.empezarFila();
        lote.anadirTexto(QString::number(i + 1));
        for (const QString& c : filas[i])
            lote.anadirTexto(c);
        lote.terminarFila();
    }
    g.publicar();
}

QStringList columna(const Rejilla& g, int c)
{
    QStringList salida;
    for (qint64 f = 0; f < g.rows(); ++f)
        salida << g.textMatrix(f, c);
    return salida;
}

} // namespace

class tst_Rejilla : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void modeloCumpleElContrato();
    void loteEntraEnUnaSolaInsercion();
    void leerNumero_data();
    void leerNumero();
    void ordenGenerico_data();
    void ordenGenerico();
    void ordenConVariasClavesYFilasSeleccionadas();
    void alineacionViajaConSuFila();
    void seleccionSeColapsaAlMoverLaCelda();
    void mezcla_data();
    void mezcla();
    void mezclaRestringidaEnMuchasFilas();
    void imagenDeTodaLaTabla_data();
    void palabraSolaNoSePartePorSusSignos();
    void imagenDeTodaLaTabla();
    void copiarLaSeleccion();
    void ratonYTeclado();
};

void tst_Rejilla::modeloCumpleElContrato()
{
    Rejilla g;
    QAbstractItemModelTester probador(g.modelo(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    llenar(g, {u"A"_s, u"B"_s}, {{u"x"_s, u"2"_s}, {u"y"_s, u"1"_s}});
    g.setRows(6);
    g.setCols(5);
    g.setTextMatrix(5, 4, u"fin"_s);
    g.setRow(1);
    g.setCol(2);
    g.setCellAlignment(rejilla::DerechaAbajo);
    g.setSort(rejilla::GenericoAscendente);
    g.setRows(2);
    g.setCols(2);
    g.modelo()->vaciar(3, 3);
    QCOMPARE(g.rows(), 3);
    QCOMPARE(g.cols(), 3);
    QCOMPARE(g.textMatrix(2, 2), QString());
}

void tst_Rejilla::loteEntraEnUnaSolaInsercion()
{
    Rejilla g;
    g.modelo()->vaciar(0, 3);
    QSignalSpy insertadas(g.modelo(), &QAbstractItemModel::rowsInserted);
    for (int i = 0; i < 1000; ++i) {
        g.lote().empezarFila();
        g.lote().anadirEntero(i);
        g.lote().anadirTexto("texto");
        g.lote().anadirNulo();
        g.lote().terminarFila();
    }
    QCOMPARE(g.rows(), 0); // not part of the model until published
    QCOMPARE(g.publicar(), 1000);
    QCOMPARE(insertadas.size(), 1);
    QCOMPARE(insertadas[0][1].toInt(), 0);
    QCOMPARE(insertadas[0][2].toInt(), 999);
    QCOMPARE(g.textMatrix(999, 0), u"999"_s);
    QCOMPARE(g.publicar(), 0);
}

void tst_Rejilla::leerNumero_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("esNumero");
    QTest::addColumn<double>("valor");
    QTest::newRow("entero") << u"42"_s << true << 42.0;
    QTest::newRow("negativo con blancos") << u" -7 "_s << true << -7.0;
    QTest::newRow("punto decimal") << u"0.5"_s << true << 0.5;
    QTest::newRow("coma decimal") << u"0,25"_s << true << 0.25;
    QTest::newRow("sin cero") << u".75"_s << true << 0.75;
    QTest::newRow("exponente") << u"1e3"_s << true << 1000.0;
    QTest::newRow("vacio") << QString() << false << 0.0;
    QTest::newRow("punto solo") << u"."_s << false << 0.0;
    QTest::newRow("dos separadores") << u"1.2.3"_s << false << 0.0;
    QTest::newRow("con unidad") << u"5 kg"_s << false << 0.0;
    QTest::newRow("exponente sin cifras") << u"2e"_s << false << 0.0;
    QTest::newRow("etiqueta") << u"$Joven"_s << false << 0.0;
}

void tst_Rejilla::leerNumero()
{
    QFETCH(QString, texto);
    QFETCH(bool, esNumero);
    QFETCH(double, valor);
    double leido = -1;
    QCOMPARE(rejilla::leerNumero(texto.toStdString(), &leido), esNumero);
    if (esNumero)
        QCOMPARE(leido, valor);
}

void tst_Rejilla::ordenGenerico_data()
{
    QTest::addColumn<QStringList>("valores");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QStringList>("esperado");
    QTest::addColumn<QStringList>("numerosDeFila");
    // Numbers compare as numbers (9 before 10), text by its characters.
    QTest::newRow("numeros ascendente") << QStringList{u"10"_s, u"9"_s, u"-1"_s, u"2.5"_s} << 1
                                        << QStringList{u"-1"_s, u"2.5"_s, u"9"_s, u"10"_s}
                                        << QStringList{u"3"_s, u"4"_s, u"2"_s, u"1"_s};
    QTest::newRow("numeros descendente") << QStringList{u"10"_s, u"9"_s, u"-1"_s, u"2.5"_s} << 2
                                         << QStringList{u"10"_s, u"9"_s, u"2.5"_s, u"-1"_s}
                                         << QStringList{u"1"_s, u"2"_s, u"4"_s, u"3"_s};
    QTest::newRow("texto") << QStringList{u"LUIS"_s, u"ANA"_s, u"Ana"_s, u"BEA"_s} << 1
                           << QStringList{u"ANA"_s, u"Ana"_s, u"BEA"_s, u"LUIS"_s}
                           << QStringList{u"2"_s, u"3"_s, u"4"_s, u"1"_s};
    // Between a number and a text the comparison is by text: "10" < "9a" < "NULL".
    QTest::newRow("mezcla") << QStringList{u"NULL"_s, u"9a"_s, u"10"_s} << 1
                            << QStringList{u"10"_s, u"9a"_s, u"NULL"_s}
                            << QStringList{u"3"_s, u"2"_s, u"1"_s};
    // Equal keys keep their order, both ways.
    QTest::newRow("estable") << QStringList{u"b"_s, u"a"_s, u"b"_s, u"a"_s} << 2
                             << QStringList{u"b"_s, u"b"_s, u"a"_s, u"a"_s}
                             << QStringList{u"1"_s, u"3"_s, u"2"_s, u"4"_s};
}

void tst_Rejilla::ordenGenerico()
{
    QFETCH(QStringList, valores);
    QFETCH(int, tipo);
    QFETCH(QStringList, esperado);
    QFETCH(QStringList, numerosDeFila);
    Rejilla g;
    QList<QStringList> filas;
    for (const QString& v : valores)
        filas << QStringList{v};
    llenar(g, {u"V"_s}, filas);
    g.setRow(1);
    g.setCol(1);
    g.setSort(tipo);
    // The header stays on top; whole rows move, each with its number.
    QCOMPARE(columna(g, 1), QStringList{u"V"_s} + esperado);
    QCOMPARE(columna(g, 0), QStringList{u"Nº Fila"_s} + numerosDeFila);
}

void tst_Rejilla::ordenConVariasClavesYFilasSeleccionadas()
{
    Rejilla g;
    llenar(g, {u"A"_s, u"B"_s},
        {{u"2"_s, u"z"_s}, {u"1"_s, u"y"_s}, {u"2"_s, u"a"_s}, {u"1"_s, u"b"_s}, {u"0"_s, u"c"_s}});
    // Keys Col..ColSel given right to left: still compared left to right.
    g.setRow(1);
    g.setCol(2);
    g.setColSel(1);
    g.setSort(rejilla::GenericoAscendente);
    QCOMPARE(columna(g, 0), (QStringList{u"Nº Fila"_s, u"5"_s, u"4"_s, u"2"_s, u"3"_s, u"1"_s}));

    // A selection over rows 2..4 reorders only those.
    g.setRow(2);
    g.setCol(2);
    g.setRowSel(4);
    g.setSort(rejilla::GenericoDescendente);
    QCOMPARE(columna(g, 2), (QStringList{u"B"_s, u"c"_s, u"y"_s, u"b"_s, u"a"_s, u"z"_s}));

    // Sorting on the row-number column restores the order of arrival.
    g.setColSel(0);
    g.setCol(0);
    g.setSort(rejilla::GenericoAscendente);
    QCOMPARE(columna(g, 0), (QStringList{u"Nº Fila"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}));
}

void tst_Rejilla::alineacionViajaConSuFila()
{
    Rejilla g;
    llenar(g, {u"A"_s}, {{u"b"_s}, {u"a"_s}});
    g.setRow(1);
    g.setCol(1);
    QCOMPARE(g.cellAlignment(), int(rejilla::General));
    g.setCellAlignment(rejilla::CentroAbajo);
    g.setSort(rejilla::GenericoAscendente);
    QCOMPARE(g.textMatrix(2, 1), u"b"_s);
    QCOMPARE(g.modelo()->alineacion(2, 1), int(rejilla::CentroAbajo));
    QCOMPARE(g.modelo()->alineacion(1, 1), int(rejilla::General));
    QCOMPARE(g.modelo()->data(g.modelo()->index(2, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(),
        Qt::AlignHCenter | Qt::AlignBottom);
}

void tst_Rejilla::seleccionSeColapsaAlMoverLaCelda()
{
    Rejilla g;
    llenar(g, {u"A"_s, u"B"_s}, {{u"1"_s, u"2"_s}, {u"3"_s, u"4"_s}});
    g.setRow(1);
    g.setCol(1);
    g.setRowSel(2);
    g.setColSel(2);
    QCOMPARE(g.textoSeleccion(), u"1\t2\n3\t4\n"_s);
    g.setCol(2);
    QCOMPARE(g.rowSel(), 1);
    QCOMPARE(g.colSel(), 2);
    g.setRowSel(2);
    g.setRow(2);
    QCOMPARE(g.rowSel(), 2);
    QCOMPARE(g.colSel(), 2);
    QCOMPARE(g.text(), u"4"_s);
}

void tst_Rejilla::mezcla_data()
{
    QTest::addColumn<int>("modo");
    QTest::addColumn<bool>("col1");
    QTest::addColumn<bool>("col2");
    QTest::addColumn<bool>("fila2");
    QTest::addColumn<QString>("unidas"); // "r,c^" joined upwards, "r,c<" joined leftwards
    // Data:   A  A        (row 1)
    //         A  A        (row 2)
    //         B  A        (row 3)
    QTest::newRow("nunca") << 0 << true << true << true << QString();
    QTest::newRow("libre columnas") << 1 << true << true << false << u"2,1^ 2,2^ 3,2^"_s;
    QTest::newRow("libre solo col 2") << 1 << false << true << false << u"2,2^ 3,2^"_s;
    QTest::newRow("libre fila") << 1 << false << false << true << u"2,2<"_s;
    // Restricted columns: column 2 joins rows only where column 1 joined them.
    QTest::newRow("restringir columnas") << 3 << true << true << false << u"2,1^ 2,2^"_s;
    QTest::newRow("restringir todo") << 4 << true << true << false << u"2,1^ 2,2^"_s;
    // Restricted rows: row 2 joins along only where row 1 joined the same pair (row 1 is not flagged).
    QTest::newRow("restringir filas") << 2 << false << false << true << QString();
}

void tst_Rejilla::mezcla()
{
    QFETCH(int, modo);
    QFETCH(bool, col1);
    QFETCH(bool, col2);
    QFETCH(bool, fila2);
    QFETCH(QString, unidas);
    Rejilla g;
    llenar(g, {u"X"_s, u"Y"_s}, {{u"A"_s, u"A"_s}, {u"A"_s, u"A"_s}, {u"B"_s, u"A"_s}});
    g.setMergeCells(modo);
    g.setMergeCol(1, col1);
    g.setMergeCol(2, col2);
    g.setMergeRow(2, fila2);
    QStringList vistas;
    for (int f = 0; f < 4; ++f)
        for (int c = 0; c < 3; ++c) {
            if (g.unidaConArriba(f, c))
                vistas << u"%1,%2^"_s.arg(f).arg(c);
            if (g.unidaConIzquierda(f, c))
                vistas << u"%1,%2<"_s.arg(f).arg(c);
        }
    vistas.sort();
    QStringList esperadas = unidas.split(u' ', Qt::SkipEmptyParts);
    esperadas.sort();
    QCOMPARE(vistas, esperadas);
}

void tst_Rejilla::mezclaRestringidaEnMuchasFilas()
{
    // A join that depends on every row above it must not nest one call per row.
    Rejilla g;
    g.modelo()->vaciar(0, 3);
    for (int i = 0; i < 300000; ++i) {
        g.lote().empezarFila();
        g.lote().anadirTexto(QString::number(i));
        g.lote().anadirTexto("igual");
        g.lote().anadirTexto("igual");
        g.lote().terminarFila();
    }
    g.publicar();
    g.setMergeCells(rejilla::MezclaRestringirFilas);
    for (qint64 f = 0; f < g.rows(); ++f)
        g.setMergeRow(f, true);
    QVERIFY(g.unidaConIzquierda(g.rows() - 1, 2));
    g.setMergeRow(7, false);
    QVERIFY(!g.unidaConIzquierda(g.rows() - 1, 2));
    QVERIFY(g.unidaConIzquierda(6, 2));
}

// A narrow one-line cell holding one word: wrapping must not break it at its punctuation, which
// left a type-2 value such as $[20,25,30,35] showing as "$". Text with blanks still wraps.
void tst_Rejilla::palabraSolaNoSePartePorSusSignos()
{
    const auto dibujo = [](const QString& texto, bool dividir) {
        Rejilla g;
        llenar(g, {u"EDAD"_s}, {{texto}});
        g.setColWidth(1, 600);
        g.setRowHeight(1, 600);
        g.setWordWrap(dividir);
        return g.picture();
    };
    QCOMPARE(dibujo(u"$[20,25,30,35]"_s, true), dibujo(u"$[20,25,30,35]"_s, false));
    QVERIFY(dibujo(u"García López de la Fuente"_s, true) != dibujo(u"García López de la Fuente"_s, false));
}

void tst_Rejilla::imagenDeTodaLaTabla_data()
{
    QTest::addColumn<int>("tipo");
    QTest::newRow("color") << int(rejilla::ImagenColor);
    QTest::newRow("monocroma") << int(rejilla::ImagenMonocroma);
}

void tst_Rejilla::imagenDeTodaLaTabla()
{
    QFETCH(int, tipo);
    Rejilla g;
    g.resize(120, 60); // far smaller than the table: the picture holds all of it anyway
    QList<QStringList> filas;
    for (int i = 0; i < 40; ++i)
        filas << QStringList{u"Nombre %1"_s.arg(i), QString::number(i * 7)};
    llenar(g, {u"NOMBRE"_s, u"EDAD"_s}, filas);
    g.setColWidth(1, 2000);
    g.setRowHeight(3, 600);
    g.setBackColor(0x00FFFF00u); // cyan
    g.setPictureType(tipo);

    int ancho = 0, alto = 0;
    for (int c = 0; c < g.cols(); ++c)
        ancho += Twips::aPixeles(g.colWidth(c));
    for (int f = 0; f < g.rows(); ++f)
        alto += Twips::aPixeles(g.rowHeight(f));

    QBuffer bmp;
    bmp.open(QIODevice::ReadWrite);
    QVERIFY(g.picture().save(&bmp, "BMP"));
    QVERIFY(bmp.data().startsWith("BM"));
    const QImage leida = QImage::fromData(bmp.data(), "BMP");
    QCOMPARE(leida.size(), QSize(ancho, alto));
    QSet<QRgb> colores;
    for (int y = 0; y < leida.height(); y += 3)
        for (int x = 0; x < leida.width(); x += 3)
            colores.insert(leida.pixel(x, y) & 0xFFFFFF);
    if (tipo == rejilla::ImagenMonocroma) {
        QCOMPARE(leida.depth(), 1);
        QCOMPARE(colores, (QSet<QRgb>{0x000000, 0xFFFFFF}));
    } else {
        QVERIFY(colores.contains(0x00FFFF)); // the data cells' background
        QVERIFY(colores.size() > 3);
    }
}

void tst_Rejilla::copiarLaSeleccion()
{
    Rejilla g;
    llenar(g, {u"A"_s, u"B"_s}, {{u"uno\tdos"_s, u"x"_s}, {u"línea\nnueva"_s, u"y"_s}});
    g.setRow(1);
    g.setCol(1);
    g.setRowSel(2);
    g.setColSel(2);
    QTest::keyClick(&g, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), u"uno dos\tx\nlínea nueva\ty\n"_s);
}

void tst_Rejilla::ratonYTeclado()
{
    Rejilla g;
    g.resize(400, 200);
    QList<QStringList> filas;
    for (int i = 0; i < 50; ++i)
        filas << QStringList{QString::number(i), u"x"_s};
    llenar(g, {u"A"_s, u"B"_s}, filas);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    // A header cell selects its column's data rows, ready for a column sort.
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.rectanguloCelda(0, 2).center());
    QCOMPARE(g.row(), 1);
    QCOMPARE(g.rowSel(), 50);
    QCOMPARE(g.col(), 2);
    QCOMPARE(g.colSel(), 2);
    // A data cell becomes current; shift and the arrows stretch the selection, and the grid scrolls
    // to keep it on screen.
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.rectanguloCelda(2, 1).center());
    QCOMPARE(g.row(), 2);
    QCOMPARE(g.rowSel(), 2);
    QTest::keyClick(&g, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&g, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(g.row(), 2);
    QCOMPARE(g.rowSel(), 50);
    QCOMPARE(g.colSel(), 2);
    QVERIFY(!g.rectanguloCelda(50, 2).isEmpty());
    QVERIFY(g.topRow() > 1);
    QTest::keyClick(&g, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(g.row(), 1);
    QCOMPARE(g.topRow(), 1);
}

QTEST_MAIN(tst_Rejilla)
#include "tst_rejilla.moc"
