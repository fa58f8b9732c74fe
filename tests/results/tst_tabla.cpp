// The result window: its commands, resizing, the appearance kept between showings, exports and print.
#include "FakePlatform.h"
#include "Module1.h"
#include "ReglasTabla.h"
#include "Rejilla.h"
#include "Tabla.h"
#include "Twips.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;
using rejilla::Rejilla;

namespace {

struct Banco {
    FakePlatform plataforma;
    Module1 estado;
    InstanciaTabla instancia{estado, plataforma.servicios()};

    // A new window filled as a retrieval leaves it, with the given data column.
    Tabla& abrir(const QStringList& valores = {u"30"_s, u"9"_s, u"41"_s, u"100"_s})
    {
        instancia.descargar();
        Tabla& t = instancia.ventana();
        Rejilla* g = t.Grid1();
        g->modelo()->vaciar(0, 3);
        g->lote().empezarFila();
        g->lote().anadirTexto(u"Nº Fila"_s);
        g->lote().anadirTexto(u"NOMBRE"_s);
        g->lote().anadirTexto(u"EDAD"_s);
        g->lote().terminarFila();
        for (int i = 0; i < valores.size(); ++i) {
            g->lote().empezarFila();
            g->lote().anadirTexto(QString::number(i + 1));
            g->lote().anadirTexto(u"P%1"_s.arg(i + 1));
            g->lote().anadirTexto(valores[i]);
            g->lote().terminarFila();
        }
        g->publicar();
        g->setRow(1);
        g->setCol(1);
        return t;
    }
    QString ruta(const QString& nombre) const { return plataforma.carpeta.filePath(nombre); }
};

QStringList columna(const Tabla& t, int c)
{
    QStringList s;
    for (qint64 f = 1; f < t.Grid1()->rows(); ++f)
        s << t.Grid1()->textMatrix(f, c);
    return s;
}

QByteArray leer(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_Tabla : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ordenarColumnaAlternaEntreVentanas();
    void ordenNumeroFilaEmpiezaDescendente();
    void comandosSinEfectoEnResultadoVacio();
    void reducirYAmpliar_data();
    void reducirYAmpliar();
    void alinearColumnaCicla();
    void ponerCero_data();
    void ponerCero();
    void ponerCeroAutomaticoDesactivaElMenu();
    void aparienciaSobreviveAlCierre();
    void tamanoMinimoYEtiquetasDeTiempo();
    void rectanguloFueraDe16BitsSeLimita();
    void tiemposConFormatoLocal();
    void enterYEscapeCierran();
    void barraDespachaPorClave();
    void habilitarOpcionesCreaLaVentana();
    void fuentesYColoresPorElDialogo();
    void estilosYLineasCiclan();
    void exportarRecuerdaElNombreYCancelarNoToca();
    void imagenesBmpDelTamanoDeLaTabla_data();
    void imagenesBmpDelTamanoDeLaTabla();
    void imprimirUnaPaginaPdf();
    void ficheroImposibleSeAvisa();
};

void tst_Tabla::ordenarColumnaAlternaEntreVentanas()
{
    Banco b;
    Tabla* t = &b.abrir();
    t->Grid1()->setCol(2);
    t->mnuOrdenarCol_Click();
    QCOMPARE(columna(*t, 2), (QStringList{u"9"_s, u"30"_s, u"41"_s, u"100"_s}));
    t->mnuOrdenarCol_Click();
    QCOMPARE(columna(*t, 2), (QStringList{u"100"_s, u"41"_s, u"30"_s, u"9"_s}));
    QCOMPARE(columna(*t, 0), (QStringList{u"4"_s, u"3"_s, u"1"_s, u"2"_s}));
    // The direction is the program's, not the window's.
    t = &b.abrir();
    t->Grid1()->setCol(2);
    t->mnuOrdenarCol_Click();
    QCOMPARE(columna(*t, 2), (QStringList{u"9"_s, u"30"_s, u"41"_s, u"100"_s}));
}

void tst_Tabla::ordenNumeroFilaEmpiezaDescendente()
{
    Banco b;
    Tabla* t = &b.abrir();
    t->Grid1()->setCol(2);
    t->Grid1()->setColSel(1); // the row-number sort keys on column 0 alone, whatever was selected
    t->mnuOrdenNFila_Click();
    QCOMPARE(columna(*t, 0), (QStringList{u"4"_s, u"3"_s, u"2"_s, u"1"_s}));
    QCOMPARE(t->Grid1()->tag(), u"DES"_s);
    QCOMPARE(t->Grid1()->col(), 0);
    t->mnuOrdenNFila_Click();
    QCOMPARE(columna(*t, 0), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    t->mnuOrdenNFila_Click();
    t = &b.abrir(); // a reopened window starts over
    QVERIFY(t->Grid1()->tag().isEmpty());
    t->mnuOrdenNFila_Click();
    QCOMPARE(columna(*t, 0), (QStringList{u"4"_s, u"3"_s, u"2"_s, u"1"_s}));
}

void tst_Tabla::comandosSinEfectoEnResultadoVacio()
{
    Banco b;
    Tabla& t = b.abrir({QString()});
    t.Grid1()->setTextMatrix(1, 0, QString()); // the retrieval leaves one empty data row
    t.Grid1()->setCol(2);
    t.mnuOrdenarCol_Click();
    t.mnuOrdenNFila_Click();
    t.Grid1()->setCol(2);
    t.mnuPonCero_Click();
    QCOMPARE(t.Grid1()->rows(), 2);
    QCOMPARE(columna(t, 0) + columna(t, 2), (QStringList{QString(), QString()}));
    const int antes = t.Grid1()->colWidth(2);
    t.mnuAmpliar_Click();
    QCOMPARE(t.Grid1()->colWidth(2), antes + 50);
}

void tst_Tabla::reducirYAmpliar_data()
{
    QTest::addColumn<int>("ancho");
    QTest::addColumn<int>("reducido");
    QTest::addColumn<int>("ampliado");
    QTest::newRow("100 no se reduce") << 100 << 100 << 150;
    QTest::newRow("101 pasa a 51") << 101 << 51 << 151;
    QTest::newRow("0") << 0 << 0 << 50;
    QTest::newRow("sin limite") << 30000 << 29950 << 30050;
}

void tst_Tabla::reducirYAmpliar()
{
    QFETCH(int, ancho);
    QFETCH(int, reducido);
    QFETCH(int, ampliado);
    Banco b;
    Tabla& t = b.abrir();
    t.Grid1()->setColWidth(0, 700);
    t.Grid1()->setColWidth(1, ancho);
    t.Grid1()->setColWidth(2, ancho);
    t.mnuReducir_Click();
    QCOMPARE(t.Grid1()->colWidth(1), reducido);
    QCOMPARE(t.Grid1()->colWidth(2), reducido);
    QCOMPARE(t.Grid1()->colWidth(0), 700);
    t.Grid1()->setColWidth(1, ancho);
    t.boton(u"Ampliar"_s)->trigger();
    QCOMPARE(t.Grid1()->colWidth(1), ampliado);
    QCOMPARE(t.Grid1()->colWidth(0), 700);
}

void tst_Tabla::alinearColumnaCicla()
{
    Banco b;
    Tabla& t = b.abrir();
    Rejilla* g = t.Grid1();
    g->setCol(2);
    g->setRow(2);
    g->setCellAlignment(rejilla::DerechaAbajo);
    g->setRow(3);
    g->setCellAlignment(rejilla::IzquierdaArriba);
    t.mnuAlinearCol_Click();
    // Each cell from its own code: general wraps to 0, 8 to 9, 0 to 1; the header is left alone.
    QCOMPARE(g->modelo()->alineacion(1, 2), 0);
    QCOMPARE(g->modelo()->alineacion(2, 2), 9);
    QCOMPARE(g->modelo()->alineacion(3, 2), 1);
    QCOMPARE(g->modelo()->alineacion(0, 2), int(rejilla::General));
    QCOMPARE(g->modelo()->alineacion(1, 1), int(rejilla::General));
    QCOMPARE(g->row(), g->rows() - 1);
    QCOMPARE(g->col(), 2);
    for (int i = 0; i < 9; ++i)
        t.mnuAlinearCol_Click();
    QCOMPARE(g->modelo()->alineacion(1, 2), 9); // ten presses come back round
    QCOMPARE(g->modelo()->alineacion(2, 2), 8);
}

void tst_Tabla::ponerCero_data()
{
    QTest::addColumn<QString>("antes");
    QTest::addColumn<QString>("despues");
    QTest::newRow("punto") << u".75"_s << u"0.75"_s;
    QTest::newRow("coma") << u",5"_s << u"0,5"_s;
    QTest::newRow("con unidad") << u".5 kg"_s << u"0.5 kg"_s;
    QTest::newRow("negativo") << u"-.5"_s << u"-.5"_s;
    QTest::newRow("punto solo") << u"."_s << u"."_s;
    QTest::newRow("vacio") << QString() << QString();
    QTest::newRow("ya con cero") << u"0.5"_s << u"0.5"_s;
    QTest::newRow("entero y decimal") << u"5.5"_s << u"5.5"_s;
    QTest::newRow("letra") << u".x"_s << u".x"_s;
}

void tst_Tabla::ponerCero()
{
    QFETCH(QString, antes);
    QFETCH(QString, despues);
    QCOMPARE(ReglasTabla::conCeroDelante(antes), despues);
    Banco b;
    b.estado.PonerCeroAuto = false;
    Tabla& t = b.abrir({u"1"_s, antes});
    QVERIFY(t.entradaMenu(u"mnuPonCero"_s)->isEnabled());
    t.Grid1()->setCol(2);
    t.mnuPonCero_Click();
    QCOMPARE(columna(t, 2), (QStringList{u"1"_s, despues}));
    QCOMPARE(t.Grid1()->row(), 2);
}

void tst_Tabla::ponerCeroAutomaticoDesactivaElMenu()
{
    Banco b;
    QVERIFY(!b.abrir().entradaMenu(u"mnuPonCero"_s)->isEnabled());
    QVERIFY(!b.abrir().entradaMenu(u"mnuPonCero"_s)->isEnabled());
}

void tst_Tabla::aparienciaSobreviveAlCierre()
{
    Banco b;
    Tabla* t = &b.abrir();
    QVERIFY(b.estado.aparienciaTabla.mostradaAntes); // the first load centres and sets the flag
    t->ponerAlto(3500);
    t->ponerAncho(6000);
    t->ponerIzquierda(1500);
    t->ponerArriba(900);
    QFont letra = t->Grid1()->font();
    letra.setFamilies({u"DejaVu Serif"_s});
    letra.setPointSizeF(12);
    letra.setBold(true);
    letra.setItalic(true);
    t->Grid1()->setFont(letra);
    t->Grid1()->setForeColor(0x000000FFu);
    t->Grid1()->setBackColor(0x00E0FFFFu);
    t->mnuEstiloLetra_Click();
    t->mnuEstiloLetraCab_Click();
    t->mnuEstiloLetraCab_Click();
    t->mnuLineasTabla_Click();
    t->mnuWordWrap_Click();
    QVERIFY(!t->Grid1()->wordWrap());
    t->Grid1()->setColWidth(1, 3000);
    t->mnuCerrarTabla_Click();
    QVERIFY(!b.instancia.existente() || b.instancia.existente() != t);

    t = &b.abrir();
    QCOMPARE(t->alto(), 3500);
    QCOMPARE(t->ancho(), 6000);
    QCOMPARE(t->izquierda(), 1500);
    QCOMPARE(t->arriba(), 900);
    QCOMPARE(t->Grid1()->font().family(), u"DejaVu Serif"_s);
    QCOMPARE(t->Grid1()->font().pointSizeF(), 12.0);
    QVERIFY(t->Grid1()->font().bold() && t->Grid1()->font().italic());
    QVERIFY(!t->Grid1()->font().underline() && !t->Grid1()->font().strikeOut());
    QCOMPARE(t->Grid1()->foreColor(), 0x000000FFu);
    QCOMPARE(t->Grid1()->backColor(), 0x00E0FFFFu);
    QCOMPARE(t->Grid1()->textStyle(), 1);
    QCOMPARE(t->Grid1()->textStyleFixed(), 2);
    QCOMPARE(t->Grid1()->gridLines(), 2);
    QCOMPARE(t->Grid1()->gridLinesFixed(), 2);
    // Not kept: column widths, and word wrap comes back on.
    QCOMPARE(t->Grid1()->colWidth(1), Rejilla().colWidth(1));
    QVERIFY(t->entradaMenu(u"mnuWordWrap"_s)->isChecked());
    t->show();
    t->Form_Activate();
    QVERIFY(t->Grid1()->wordWrap());
}

void tst_Tabla::tamanoMinimoYEtiquetasDeTiempo()
{
    Banco b;
    Tabla& t = b.abrir();
    t.show();
    QLabel* traducir = t.findChild<QLabel*>(u"TiempoTraducir"_s);
    QLabel* consulta = t.findChild<QLabel*>(u"TiempoConsulta"_s);
    t.ponerAlto(2000);
    t.ponerAncho(4000);
    QCOMPARE(t.alto(), 3000);
    QCOMPARE(t.ancho(), 5000);
    QVERIFY(!traducir->isVisible());
    t.ponerAncho(8499);
    QVERIFY(!traducir->isVisible() && !consulta->isVisible());
    t.ponerAncho(8500);
    QVERIFY(traducir->isVisible() && consulta->isVisible());
    // The grid and the button follow the window.
    t.ponerAncho(9000);
    t.ponerAlto(6000);
    QCOMPARE(t.Grid1()->width(), Twips::aPixeles(9000 - 120));
    QCOMPARE(t.Grid1()->height(), Twips::aPixeles(6000 - 1770));
    QCOMPARE(t.findChild<QWidget*>(u"Cerrar"_s)->x(), Twips::aPixeles(9000 - 1385));
}

void tst_Tabla::rectanguloFueraDe16BitsSeLimita()
{
    QCOMPARE(ReglasTabla::a16Bits(-1200), short(-1200));
    Banco b;
    Tabla* t = &b.abrir();
    t->ponerAncho(40000);
    t->ponerIzquierda(-36000);
    t->close();
    QCOMPARE(b.estado.aparienciaTabla.ancho, short(32767));
    QCOMPARE(b.estado.aparienciaTabla.izquierda, short(-32768));
}

void tst_Tabla::tiemposConFormatoLocal()
{
    const QLocale es(QLocale::Spanish, QLocale::Spain), en(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(ReglasTabla::textoTiempoTraduccion(1234.56, es), u"Tiempo Traducción:  1.234,6  sgs."_s);
    QCOMPARE(ReglasTabla::textoTiempoConsulta(1234.56, en), u"Tiempo Consulta     :  1,234.6  sgs."_s);
    QCOMPARE(ReglasTabla::textoTiempoConsulta(0.04, en), u"Tiempo Consulta     :  0.0  sgs."_s);
    Banco b;
    b.estado.SegundosTraduccion = 0.25;
    Tabla& t = b.abrir();
    t.Form_Activate();
    QCOMPARE(t.findChild<QLabel*>(u"TiempoTraducir"_s)->text(), ReglasTabla::textoTiempoTraduccion(0.25));
}

void tst_Tabla::enterYEscapeCierran()
{
    for (Qt::Key tecla : {Qt::Key_Return, Qt::Key_Escape}) {
        Banco b;
        QPointer<Tabla> t = &b.abrir();
        t->show();
        QVERIFY(QTest::qWaitForWindowActive(t));
        t->Grid1()->setFocus();
        QTest::keyClick(t->Grid1(), tecla);
        QTRY_VERIFY(t.isNull());
    }
}

void tst_Tabla::barraDespachaPorClave()
{
    Banco b;
    Tabla& t = b.abrir();
    const int antes = t.Grid1()->colWidth(1);
    t.Toolbar1_ButtonClick(u"reducir"_s); // keys are case-sensitive: nothing happens
    t.Toolbar1_ButtonClick(u"Nada"_s);
    QCOMPARE(t.Grid1()->colWidth(1), antes);
    t.Toolbar1_ButtonClick(u"Reducir"_s);
    QCOMPARE(t.Grid1()->colWidth(1), antes - 50);
    t.boton(u"OrdenarFila"_s)->trigger();
    QCOMPARE(t.Grid1()->tag(), u"DES"_s);
    QPointer<Tabla> p = &t;
    t.boton(u"Salir"_s)->trigger();
    QTRY_VERIFY(p.isNull());
}

void tst_Tabla::habilitarOpcionesCreaLaVentana()
{
    Banco b;
    QVERIFY(!b.instancia.existente());
    HabilitarOpcionesTabla(b.instancia);
    QVERIFY(b.instancia.existente());
    Tabla& t = *b.instancia.existente();
    QVERIFY(!t.isVisible());
    const QStringList nombres{u"mnuArchivoTabla"_s, u"mnuOpcionesTabla"_s};
    const QStringList claves{u"Reducir"_s, u"Ampliar"_s, u"OrdenarFila"_s, u"Ordenar"_s, u"Salir"_s};
    for (const QString& n : nombres)
        t.entradaMenu(n)->setEnabled(false);
    for (const QString& k : claves)
        t.boton(k)->setEnabled(false);
    HabilitarOpcionesTabla(b.instancia);
    QCOMPARE(b.instancia.existente(), &t);
    for (const QString& n : nombres)
        QVERIFY(t.entradaMenu(n)->isEnabled());
    for (const QString& k : claves)
        QVERIFY(t.boton(k)->isEnabled());
}

void tst_Tabla::fuentesYColoresPorElDialogo()
{
    Banco b;
    Tabla& t = b.abrir();
    const QFont antes = t.Grid1()->font();
    b.plataforma.dialogos.fuentes = {std::nullopt, EleccionFuente{u"DejaVu Sans Mono"_s, 11, true, false, false, false}};
    t.mnuFonts_Click(); // cancelled: nothing changes
    QCOMPARE(t.Grid1()->font(), antes);
    t.mnuFonts_Click();
    QCOMPARE(t.Grid1()->font().family(), u"DejaVu Sans Mono"_s);
    QCOMPARE(t.Grid1()->font().pointSizeF(), 11.0);
    QVERIFY(t.Grid1()->font().bold());
    // Not primed with the grid's font: the second dialog opens with what the first one gave.
    QCOMPARE(b.plataforma.dialogos.fuentesMostradas.size(), 2);
    QCOMPARE(b.plataforma.dialogos.fuentesMostradas[1], b.plataforma.dialogos.fuentesMostradas[0]);

    b.plataforma.dialogos.colores = {0x000080FFu, std::nullopt, 0x00203040u};
    t.mnuForeColor_Click();
    t.mnuBackColor_Click();
    QCOMPARE(t.Grid1()->foreColor(), 0x000080FFu);
    QCOMPARE(t.Grid1()->backColor(), quint32(0x80000005u));
    t.mnuBackColor_Click();
    QCOMPARE(t.Grid1()->backColor(), 0x00203040u);
}

void tst_Tabla::estilosYLineasCiclan()
{
    Banco b;
    Tabla& t = b.abrir();
    QList<int> estilos, lineas, mezclas;
    for (int i = 0; i < 5; ++i) {
        t.mnuEstiloLetra_Click();
        estilos << t.Grid1()->textStyle();
        t.mnuLineasTabla_Click();
        lineas << t.Grid1()->gridLines();
        QCOMPARE(t.Grid1()->gridLinesFixed(), t.Grid1()->gridLines());
        t.mnuMergeCells_Click();
        mezclas << t.Grid1()->mergeCells();
    }
    QCOMPARE(estilos, (QList<int>{1, 2, 3, 4, 0}));
    QCOMPARE(lineas, (QList<int>{2, 3, 0, 1, 2}));
    QCOMPARE(mezclas, (QList<int>{1, 2, 3, 4, 0}));
    t.Grid1()->setCol(2);
    t.Grid1()->setRow(3);
    t.mnuMergeCol_Click();
    t.mnuMergeRow_Click();
    QVERIFY(t.Grid1()->mergeCol(2) && t.Grid1()->mergeRow(3));
    t.mnuMergeCol_Click();
    QVERIFY(!t.Grid1()->mergeCol(2));
}

void tst_Tabla::exportarRecuerdaElNombreYCancelarNoToca()
{
    Banco b;
    Tabla& t = b.abrir({u"30"_s});
    t.setWindowTitle(u"Edades & <más>"_s);
    auto& d = b.plataforma.dialogos;
    const QString tex = b.ruta(u"tabla"_s), html = b.ruta(u"tabla.htm"_s);
    d.rutas = {tex, html, std::nullopt, b.ruta(u"tabla.csv"_s)};
    t.mnuGuardaLaTeX_Click();
    t.mnuGuardaHTML_Click();
    t.mnuGuardaLaTeX_Click(); // cancelled
    t.mnuGuardaCSV_Click();
    QCOMPARE(d.ficherosMostrados.size(), 4);
    const auto& latex = d.ficherosMostrados[0].opciones;
    QCOMPARE(latex.titulo, u"Guardar Tabla, con el formato tabular de LaTeX, como..."_s);
    QCOMPARE(latex.indiceFiltro, 2);
    QCOMPARE(latex.extensionPorDefecto, u"tex"_s);
    QVERIFY(latex.nombreFichero.isEmpty());
    // Each dialog opens with the name chosen last in any of them.
    QCOMPARE(d.ficherosMostrados[1].opciones.nombreFichero, tex + u".tex"_s);
    QCOMPARE(d.ficherosMostrados[1].opciones.filtro,
        u"Todos los archivos (*.*)|*.*|Ficheros de HTML (*.htm*)|*.htm*|Ficheros de texto (*.txt)|*.txt"_s);
    QCOMPARE(d.ficherosMostrados[2].opciones.nombreFichero, html);
    QCOMPARE(d.ficherosMostrados[3].opciones.nombreFichero, html);

    QCOMPARE(leer(tex + u".tex"_s),
        "\\begin{tabular}{|lll|} \\hline\r\nNº Fila&NOMBRE&EDAD\\\\ \\hline\\hline\r\n1&P1&30\\\\\r\n\\hline\\end{tabular}\r\n");
    QVERIFY(leer(html).contains("<HEAD><TITLE>Edades &amp; &lt;m&#225;s&gt;</TITLE></HEAD>\r\n"));
    QCOMPARE(leer(b.ruta(u"tabla.csv"_s)), "Nº Fila,NOMBRE,EDAD\r\n1,P1,30\r\n");

    // Cancelling leaves an existing file as it was.
    QFile::remove(html);
    QFile viejo(html);
    QVERIFY(viejo.open(QIODevice::WriteOnly));
    viejo.write("antiguo");
    viejo.close();
    d.rutas = {std::nullopt};
    t.mnuGuardaHTML_Click();
    QCOMPARE(leer(html), "antiguo");
    QVERIFY(b.plataforma.mensajes.mostrados.isEmpty());
}

void tst_Tabla::imagenesBmpDelTamanoDeLaTabla_data()
{
    QTest::addColumn<bool>("alta");
    QTest::newRow("alta calidad") << true;
    QTest::newRow("baja calidad") << false;
}

void tst_Tabla::imagenesBmpDelTamanoDeLaTabla()
{
    QFETCH(bool, alta);
    Banco b;
    QStringList muchas;
    for (int i = 0; i < 60; ++i)
        muchas << QString::number(i);
    Tabla& t = b.abrir(muchas); // more rows than the window shows
    const QString ruta = b.ruta(u"tabla.bmp"_s);
    b.plataforma.dialogos.rutas = {ruta};
    if (alta)
        t.mnuGuardarAltaCalidad_Click();
    else
        t.mnuGuardarBajaCalidad_Click();
    QCOMPARE(b.plataforma.dialogos.ficherosMostrados[0].opciones.titulo,
        u"Guardar Tabla en formato Bit MaP (.BMP) como..."_s);
    const QImage imagen(ruta, "BMP");
    QVERIFY(!imagen.isNull());
    int ancho = 0, alto = 0;
    for (int c = 0; c < t.Grid1()->cols(); ++c)
        ancho += Twips::aPixeles(t.Grid1()->colWidth(c));
    for (int f = 0; f < t.Grid1()->rows(); ++f)
        alto += Twips::aPixeles(t.Grid1()->rowHeight(f));
    QCOMPARE(imagen.size(), QSize(ancho, alto));
    QVERIFY(alto > t.Grid1()->height());
    QCOMPARE(imagen.depth() == 1, !alta);
    QCOMPARE(t.Grid1()->pictureType(), alta ? 0 : 1);
}

void tst_Tabla::imprimirUnaPaginaPdf()
{
    Banco b;
    Tabla& t = b.abrir();
    b.plataforma.dialogos.impresiones = {std::nullopt, RangoImpresion::Todo};
    t.mnuPrintTabla_Click(); // cancelled
    QVERIFY(b.plataforma.impresora.imagenes.isEmpty());
    t.mnuGuardarBajaCalidad_Click(); // its dialog is cancelled, the picture type stays
    t.mnuPrintTabla_Click();
    QCOMPARE(b.plataforma.dialogos.impresionesMostradas[0].titulo, u"Imprimir imagen de la tabla"_s);
    QVERIFY(!b.plataforma.dialogos.impresionesMostradas[0].seleccionPosible);
    QCOMPARE(b.plataforma.impresora.imagenes, QList<QSize>{t.Grid1()->picture().size()});
    const QByteArray pdf = leer(b.plataforma.impresora.rutaPdf);
    QVERIFY(pdf.startsWith("%PDF"));

    // The page, rendered at 96 dots an inch, shows the picture at its own size in its top left corner.
    const QString pdftoppm = QStandardPaths::findExecutable(u"pdftoppm"_s);
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    QProcess p;
    p.start(pdftoppm, {u"-r"_s, u"96"_s, u"-png"_s, b.plataforma.impresora.rutaPdf, b.ruta(u"pagina"_s)});
    QVERIFY(p.waitForFinished(60000));
    QDir carpeta(b.plataforma.carpeta.path());
    const QStringList paginas = carpeta.entryList({u"pagina*.png"_s});
    QCOMPARE(paginas.size(), 1);
    const QImage pagina(carpeta.filePath(paginas[0]));
    QRect tinta;
    for (int y = 0; y < pagina.height(); ++y)
        for (int x = 0; x < pagina.width(); ++x)
            if (qGray(pagina.pixel(x, y)) < 200)
                tinta |= QRect(x, y, 1, 1);
    const QSize esperado = t.Grid1()->picture().size();
    QVERIFY2(qAbs(tinta.width() - esperado.width()) <= 3 && qAbs(tinta.height() - esperado.height()) <= 3,
        qPrintable(u"printed %1x%2, picture %3x%4"_s.arg(tinta.width()).arg(tinta.height()).arg(esperado.width()).arg(esperado.height())));
}

void tst_Tabla::ficheroImposibleSeAvisa()
{
    Banco b;
    Tabla& t = b.abrir();
    b.plataforma.dialogos.rutas = {b.ruta(u"no/existe/tabla.tex"_s)};
    t.mnuGuardaLaTeX_Click();
    QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
    QVERIFY(b.plataforma.mensajes.mostrados[0].texto.contains(u"no/existe/tabla.tex"_s));
}

QTEST_MAIN(tst_Tabla)
#include "tst_tabla.moc"
