// The Insertar palette and the Edición commands, run from the main window's menu entries.
#include "BancoPrincipal.h"
#include "DocumentoConsulta.h"
#include "EditorConsulta.h"
#include "Paleta.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The placeholder each template entry leaves selected, written out independently of the table.
const QHash<QString, QString>& marcadores()
{
    static const QHash<QString, QString> tabla = {
        {u"mnuInsBetween"_s, u"??"_s},
        {u"mnuInsNotBetween"_s, u"??"_s},
        {u"mnuInsExists"_s, u"sub-consulta"_s},
        {u"mnuInsNOTExists"_s, u"sub-consulta"_s},
        {u"mnuInsTrape"_s, u"a"_s},
        {u"mnuInsLabel"_s, u"Label"_s},
        {u"mnuInsInter"_s, u"n"_s},
        {u"mnuInsAprox"_s, u"n"_s},
    };
    return tabla;
}

const QString textoInicial = u"SELECT NOMBRE FROM EMPLEADOS WHERE EDAD"_s;

// A query as read from a file: not edited.
void poner(BancoPrincipal& b, const QString& texto)
{
    CambioPropio cambio(b.estado);
    b.ventana->Consulta->reemplazarTexto(texto);
}

} // namespace

class TestPaleta : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QGuiApplication::clipboard()->clear(); }

    void entryInsertsItsText_data();
    void entryInsertsItsText();
    void menuTreeFollowsTheTable();
    void typingReplacesThePlaceholder();
    void cutAndCopy_data();
    void cutAndCopy();
    void paste_data();
    void paste();
    void selectAllAndUndo();
};

void TestPaleta::entryInsertsItsText_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("conSeleccion"); // the text replaces a selected word, or goes at the caret
    for (const Paleta::Entrada& e : Paleta::entradas()) {
        if (e.tipo != Paleta::Entrada::Tipo::Texto)
            continue;
        QTest::addRow("%s at the caret", qPrintable(e.nombre)) << e.nombre << e.texto << false;
        QTest::addRow("%s over a selection", qPrintable(e.nombre)) << e.nombre << e.texto << true;
    }
}

void TestPaleta::entryInsertsItsText()
{
    QFETCH(QString, entrada);
    QFETCH(QString, texto);
    QFETCH(bool, conSeleccion);
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    poner(b, textoInicial);
    b.estado.SentenciaSQL = u"SELECT NOMBRE FROM EMPLEADOS"_s;
    const int posicion = int(textoInicial.indexOf(u"EDAD"_s));
    v.Consulta->setSelStart(posicion);
    v.Consulta->setSelLength(conSeleccion ? 4 : 0);

    b.menu(entrada);

    const QString resto = conSeleccion ? QString() : u"EDAD"_s;
    QCOMPARE(v.Consulta->toPlainText(), textoInicial.left(posicion) + texto + resto);
    const QString marcador = marcadores().value(entrada);
    if (marcador.isEmpty()) {
        QCOMPARE(v.Consulta->selStart(), posicion + texto.size());
        QCOMPARE(v.Consulta->selLength(), 0);
    } else {
        QCOMPARE(v.Consulta->selText(), marcador);
        QCOMPARE(v.Consulta->selStart(), posicion + texto.indexOf(marcador));
    }
    // An insertion is an edit: the query is marked and its translation dropped.
    QVERIFY(v.documento().modificado());
    QVERIFY(b.estado.SentenciaSQL.isEmpty());
}

void TestPaleta::menuTreeFollowsTheTable()
{
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    auto* insertar = v.menuBar()->findChild<QMenu*>(u"mnuInsertar"_s);
    QVERIFY(insertar);
    QStringList submenus;
    for (QAction* a : insertar->actions())
        submenus.append(a->objectName());
    QCOMPARE(submenus,
        QStringList({u"mnuOpLog"_s, u"mnuSets"_s, u"mnuInsComparador"_s, u"mnuInsCompFuzzy"_s, u"mnuInsCte"_s}));

    for (const Paleta::Entrada& e : Paleta::entradas()) {
        QAction* accion = v.entradaMenu(e.nombre);
        QVERIFY2(accion, qPrintable(e.nombre));
        // Each row sits in the menu the table names, with its caption as written.
        auto* padre = qobject_cast<QMenu*>(accion->parent());
        if (e.tipo == Paleta::Entrada::Tipo::Submenu)
            padre = qobject_cast<QMenu*>(accion->menu()->parent());
        QVERIFY2(padre && padre->objectName() == e.padre, qPrintable(e.nombre));
        QVERIFY(padre->actions().contains(accion));
        QCOMPARE(accion->text(), e.titulo); // runs of blanks kept
    }
}

void TestPaleta::typingReplacesThePlaceholder()
{
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    poner(b, u"SELECT * FROM EMPLEADOS WHERE EDAD"_s);
    v.Consulta->setSelStart(v.Consulta->longitudTexto());
    b.menu(u"mnuInsBetween"_s);
    QTest::keyClicks(v.Consulta, u"20"_s);
    QCOMPARE(v.Consulta->toPlainText(), u"SELECT * FROM EMPLEADOS WHERE EDAD BETWEEN 20 AND ?? "_s);
    v.Consulta->setSelStart(v.Consulta->longitudTexto());
    b.menu(u"mnuInsTrape"_s);
    QTest::keyClicks(v.Consulta, u"18"_s);
    QVERIFY(v.Consulta->toPlainText().endsWith(u" $[18,b,c,d] "_s));
}

void TestPaleta::cutAndCopy_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<int>("longitud");
    QTest::addColumn<QString>("portapapeles");
    QTest::addColumn<QString>("texto");
    QTest::newRow("cut") << u"mnuEditCut"_s << 6 << u"NOMBRE"_s << u"SELECT  FROM T"_s;
    QTest::newRow("copy") << u"mnuEditCopy"_s << 6 << u"NOMBRE"_s << u"SELECT NOMBRE FROM T"_s;
    QTest::newRow("cut, nothing selected") << u"mnuEditCut"_s << 0 << QString() << u"SELECT NOMBRE FROM T"_s;
    QTest::newRow("copy, nothing selected") << u"mnuEditCopy"_s << 0 << QString() << u"SELECT NOMBRE FROM T"_s;
}

void TestPaleta::cutAndCopy()
{
    QFETCH(QString, entrada);
    QFETCH(int, longitud);
    QFETCH(QString, portapapeles);
    QFETCH(QString, texto);
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    poner(b, u"SELECT NOMBRE FROM T"_s);
    QGuiApplication::clipboard()->setText(u"lo de antes"_s);
    v.Consulta->setSelStart(7);
    v.Consulta->setSelLength(longitud);
    // The shortcut runs the command while the entry is enabled, even with nothing selected.
    v.entradaMenu(entrada)->setEnabled(true);
    b.menu(entrada);
    QCOMPARE(QGuiApplication::clipboard()->text(), portapapeles);
    QCOMPARE(v.Consulta->toPlainText(), texto);
    QCOMPARE(v.documento().modificado(), texto != u"SELECT NOMBRE FROM T"_s);
}

void TestPaleta::paste_data()
{
    QTest::addColumn<QString>("portapapeles");
    QTest::addColumn<int>("longitud");
    QTest::addColumn<QString>("texto");
    QTest::newRow("over a selection") << u"APELLIDOS"_s << 6 << u"SELECT APELLIDOS FROM T"_s;
    QTest::newRow("at the caret") << u"E."_s << 0 << u"SELECT E.NOMBRE FROM T"_s;
    QTest::newRow("empty clipboard removes the selection") << QString() << 7 << u"SELECT FROM T"_s;
    QTest::newRow("lines keep their breaks") << u"A,\nB"_s << 6 << u"SELECT A,\nB FROM T"_s;
}

void TestPaleta::paste()
{
    QFETCH(QString, portapapeles);
    QFETCH(int, longitud);
    QFETCH(QString, texto);
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    poner(b, u"SELECT NOMBRE FROM T"_s);
    if (portapapeles.isEmpty())
        QGuiApplication::clipboard()->clear();
    else
        QGuiApplication::clipboard()->setText(portapapeles);
    v.Consulta->setSelStart(7);
    v.Consulta->setSelLength(longitud);
    v.entradaMenu(u"mnuEditPaste"_s)->setEnabled(true);
    b.menu(u"mnuEditPaste"_s);
    QCOMPARE(v.Consulta->toPlainText(), texto);
    QCOMPARE(v.Consulta->selLength(), 0);
    QVERIFY(v.documento().modificado());
}

void TestPaleta::selectAllAndUndo()
{
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    poner(b, u"SELECT *\nFROM T"_s);
    b.menu(u"mnuSelTodo"_s);
    QCOMPARE(v.Consulta->selStart(), 0);
    QCOMPARE(v.Consulta->selLength(), 15);
    QCOMPARE(v.Consulta->selText(), u"SELECT *\nFROM T"_s);

    b.menu(u"mnuEditUndo"_s);
    QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
    const Mensaje m = b.plataforma.mensajes.mostrados.first();
    QCOMPARE(m.titulo, u"Nimbo"_s);
    QCOMPARE(m.texto, u"Aquí se sitúa el código para deshacer"_s);
    QCOMPARE(m.icono, Mensaje::Icono::Ninguno);
    QCOMPARE(m.botones, Mensaje::Botones::Aceptar);
    QCOMPARE(v.Consulta->toPlainText(), u"SELECT *\nFROM T"_s);
    QVERIFY(!v.documento().modificado());
}

QTEST_MAIN(TestPaleta)
#include "tst_paleta.moc"
