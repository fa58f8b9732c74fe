// The main window: start-up, settings kept between runs, resizing, edit tracking and enabling rules.
#include "BancoPrincipal.h"
#include "ColorValue.h"
#include "DocumentoConsulta.h"
#include "EditorConsulta.h"
#include "FakePlatform.h"
#include "Main.h"
#include "MenuPrincipal.h"
#include "Module1.h"
#include "Twips.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace {

using Banco = BancoPrincipal;

bool habilitado(frmMain& v, const QString& clave)
{
    return v.boton(clave)->isEnabled();
}
bool entradaHabilitada(frmMain& v, const QString& nombre)
{
    return v.entradaMenu(nombre)->isEnabled();
}
QLabel* panel(frmMain& v, const char* nombre)
{
    return v.findChild<QLabel*>(QString::fromLatin1(nombre));
}

void seleccionarTodo(EditorConsulta* e)
{
    e->setSelStart(0);
    e->setSelLength(e->longitudTexto());
}

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QGuiApplication::clipboard()->clear(); }

    void firstStartWithoutSettings();
    void toolbarButtonsRunTheirMenuEntries();
    void menuShortcutsWinOverTheEditor();
    void settingsRoundTripThroughClose();
    void closeGuardsAgainstInvisibleText_data();
    void closeGuardsAgainstInvisibleText();
    void minimizedCloseKeepsStoredPosition();
    void settingsWriteFailureIsReported();
    void shutDownClosesEveryWindowNewestFirst();
    void resizeSnaps_data();
    void resizeSnaps();
    void layoutFollowsTheWindowWidth();
    void editsMarkTheDocumentOnce();
    void programChangesAreNotEdits();
    void enablingRulesOfButtons();
    void enablingRulesOfMenus();
    void startUpOpensTheFirstArgumentWhole();
    void startUpReportsAnUnreadableFile_data();
    void startUpReportsAnUnreadableFile();
    void indicatorsFollowTheKeyboard();
    void clockPanels();
};

void TestFrmMain::firstStartWithoutSettings()
{
    Banco b;
    frmMain& v = b.arrancar();
    QCOMPARE(v.windowTitle(), u"Nimbo"_s);
    QCOMPARE(v.Consulta->toPlainText(), u"SELECT "_s);
    QCOMPARE(v.Consulta->selStart(), 7);
    QCOMPARE(v.Consulta->selLength(), 0);
    QVERIFY(!habilitado(v, u"Copy"_s));
    QVERIFY(!habilitado(v, u"Cut"_s));
    QVERIFY(!habilitado(v, u"Paste"_s));
    QVERIFY(habilitado(v, u"Traducir"_s));
    QVERIFY(habilitado(v, u"Envio"_s));
    QVERIFY(habilitado(v, u"EnviarSQL"_s));

    v.Consulta->setSelStart(0);
    v.Consulta->setSelLength(1);
    QCOMPARE(v.Consulta->selFontName(), u"MS Sans Serif"_s);
    QCOMPARE(v.Consulta->selFontSize(), 8.0);
    QCOMPARE(v.Consulta->selColor(), ColorValue::textoVentana);
    QCOMPARE(v.Consulta->backColor(), ColorValue::fondoVentana);
    QVERIFY(!v.Consulta->selBold() && !v.Consulta->selItalic());
    QCOMPARE(Twips::desdePixeles(v.pos()), QPoint(1005, 1005)); // 1000 twips, to the nearest pixel
    QCOMPARE(v.documento().etiqueta(), u"<sin nombre>"_s);
    QVERIFY(!v.documento().modificado());
    QVERIFY(!v.Consulta->document()->isUndoAvailable());
    QCOMPARE(v.Picture1->toolTip(), u"No conectado al SGBD"_s);
    QVERIFY(b.plataforma.mensajes.mostrados.isEmpty());
}

void TestFrmMain::toolbarButtonsRunTheirMenuEntries()
{
    Banco b;
    frmMain& v = b.arrancar();
    QStringList ejecutadas;
    const auto& botones = MenuPrincipal::botones();
    for (const auto& boton : botones) {
        if (!boton.clave.isEmpty())
            v.registrarComando(boton.entrada, [&ejecutadas, boton] { ejecutadas.append(boton.entrada); });
    }
    // A click runs the command of the button's menu entry.
    for (const auto& boton : botones) {
        if (boton.clave.isEmpty())
            continue;
        QVERIFY2(v.entradaMenu(boton.entrada), qPrintable(boton.entrada));
        QAction* accion = v.boton(boton.clave);
        accion->setEnabled(true);
        QTest::mouseClick(v.tbToolBar->widgetForAction(accion), Qt::LeftButton);
        QCOMPARE(ejecutadas.takeLast(), boton.entrada);
    }
    v.tbToolBar_ButtonClick(u"Nada"_s);
    QVERIFY(ejecutadas.isEmpty());
}

void TestFrmMain::menuShortcutsWinOverTheEditor()
{
    Banco b;
    frmMain& v = b.arrancar();
    QApplication::setActiveWindow(&v);
    QVERIFY(QTest::qWaitForWindowActive(&v));
    v.Consulta->setFocus();
    // Until a command is routed to the entry, the key is the editor's.
    QTest::keyClick(v.Consulta, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(v.Consulta->selLength(), 7);
    v.Consulta->setSelStart(7);

    int compatibles = 0;
    v.registrarComando(u"mnuAtribCompatibles"_s, [&] { ++compatibles; });

    // Ctrl+A is the compatible-attributes command, not the editor's select-all.
    QTest::keyClick(v.Consulta, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(compatibles, 1);
    QCOMPARE(v.Consulta->selLength(), 0);

    // A key whose entry is disabled goes back to the editor.
    v.entradaMenu(u"mnuAtribCompatibles"_s)->setEnabled(false);
    QTest::keyClick(v.Consulta, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(compatibles, 1);
    QCOMPARE(v.Consulta->selLength(), 7);
}

void TestFrmMain::settingsRoundTripThroughClose()
{
    Banco b;
    {
        frmMain& v = b.arrancar();
        QTest::keyClicks(v.Consulta, u"* FROM EMPLEADOS"_s);
        seleccionarTodo(v.Consulta);
        v.Consulta->setSelColor(0x00336699u);
        v.Consulta->setSelFontName(u"Courier New"_s);
        v.Consulta->setSelFontSize(12.5);
        v.Consulta->setSelBold(true);
        v.Consulta->setSelItalic(true);
        v.Consulta->setSelStrikethru(true);
        v.Consulta->setSelUnderline(true);
        v.Consulta->setBackColor(0x00E0F0F0u);
        v.Consulta->setSelStart(3); // the caret anywhere: the first character is what is stored
        v.move(40, 50);
        b.plataforma.mensajes.respuestas = {Respuesta::No}; // the edited query is not wanted
        QVERIFY(v.close());
    }
    QCOMPARE(b.guardado(u"MainLeft"_s), u"600"_s);
    QCOMPARE(b.guardado(u"MainTop"_s), u"750"_s);
    QCOMPARE(b.guardado(u"FontBold"_s), u"True"_s);
    QCOMPARE(b.guardado(u"FontSize"_s), u"12.5"_s);

    // The next run reads the file anew.
    Banco siguiente;
    QFile::remove(siguiente.plataforma.rutaAjustes());
    QVERIFY(QFile::copy(b.plataforma.rutaAjustes(), siguiente.plataforma.rutaAjustes()));
    siguiente.plataforma.ajustes.guardar();
    frmMain* v = &siguiente.arrancar();
    QCOMPARE(v->pos(), QPoint(40, 50));
    v->Consulta->setSelStart(0);
    v->Consulta->setSelLength(1);
    QCOMPARE(v->Consulta->selColor(), 0x00336699u);
    QCOMPARE(v->Consulta->backColor(), 0x00E0F0F0u);
    QCOMPARE(v->Consulta->selFontName(), u"Courier New"_s);
    QCOMPARE(v->Consulta->selFontSize(), 12.5);
    QVERIFY(v->Consulta->selBold() && v->Consulta->selItalic());
    QVERIFY(v->Consulta->selStrikethru() && v->Consulta->selUnderline());
    // Applying stored settings is not an edit.
    QVERIFY(!v->documento().modificado());
}

void TestFrmMain::closeGuardsAgainstInvisibleText_data()
{
    // Text that would be invisible is stored in the system colours; different colours are kept (the
    // round trip through close).
    QTest::addColumn<quint32>("texto");
    QTest::addColumn<quint32>("fondo");
    QTest::newRow("same RGB") << 0x00123456u << 0x00123456u;
    QTest::newRow("RGB that looks like the system background")
        << ColorValue::desdeColor(ColorValue::aColor(ColorValue::fondoVentana, QApplication::palette()))
        << ColorValue::fondoVentana;
}

void TestFrmMain::closeGuardsAgainstInvisibleText()
{
    QFETCH(quint32, texto);
    QFETCH(quint32, fondo);
    Banco b;
    {
        frmMain& v = b.arrancar();
        seleccionarTodo(v.Consulta);
        v.Consulta->setSelColor(texto);
        v.Consulta->setBackColor(fondo);
        b.plataforma.mensajes.respuestas = {Respuesta::No};
        QVERIFY(v.close());
    }
    QCOMPARE(b.guardado(u"ForeColor"_s), u"-2147483640"_s);
    QCOMPARE(b.guardado(u"BackColor"_s), u"-2147483643"_s);
}

void TestFrmMain::minimizedCloseKeepsStoredPosition()
{
    Banco b;
    b.ajustar("MainLeft=2010\nMainTop=3000\nFontName=Arial\n");
    {
        frmMain& v = b.arrancar();
        QCOMPARE(v.pos(), QPoint(134, 200));
        v.move(10, 10);
        v.showMinimized();
        QVERIFY(v.isMinimized());
        v.close();
    }
    QCOMPARE(b.guardado(u"MainLeft"_s), u"2010"_s);
    QCOMPARE(b.guardado(u"MainTop"_s), u"3000"_s);
    // The editor settings are stored all the same.
    QCOMPARE(b.guardado(u"FontName"_s), u"Arial"_s);
    QCOMPARE(b.guardado(u"FontSize"_s), u"8"_s);
}

void TestFrmMain::settingsWriteFailureIsReported()
{
    Banco b;
    frmMain& v = b.arrancar();
    // A folder where the settings file should be: it cannot be written, not even by root.
    QVERIFY(QDir().mkpath(b.plataforma.rutaAjustes()));
    v.close();
    QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
    QCOMPARE(b.plataforma.mensajes.mostrados.first().texto, u"No se han podido guardar los ajustes del editor."_s);
}

// Notes the order in which windows receive their close event.
class OrdenDeCierre : public QObject {
public:
    QStringList cerradas;
    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        if (evento->type() == QEvent::Close)
            cerradas.append(objeto->objectName());
        return false;
    }
};

void TestFrmMain::shutDownClosesEveryWindowNewestFirst()
{
    Banco b;
    frmMain& v = b.arrancar();
    OrdenDeCierre orden;
    std::vector<std::unique_ptr<QWidget>> ventanas;
    const auto abrir = [&](const char* nombre, bool mostrar) {
        ventanas.push_back(std::make_unique<QWidget>());
        QWidget* w = ventanas.back().get();
        w->setObjectName(QString::fromLatin1(nombre));
        w->installEventFilter(&orden);
        if (mostrar)
            w->show();
        return w;
    };
    abrir("cargadaOculta", false); // loaded at start, never shown, like the result window
    abrir("primera", true);
    QWidget* efimera = abrir("efimera", true);
    abrir("ultima", true);
    QWidget* segunda = abrir("segunda", false);
    // Showing a window later does not make it newer; one that is gone is skipped.
    segunda->show();
    std::erase_if(ventanas, [&](const auto& w) { return w.get() == efimera; });
    QMenu menu;
    menu.setObjectName(u"menu"_s);
    menu.installEventFilter(&orden);

    QVERIFY(v.close());
    QCOMPARE(orden.cerradas, (QStringList{u"segunda"_s, u"ultima"_s, u"primera"_s, u"cargadaOculta"_s}));
    for (const auto& w : ventanas)
        QVERIFY(!w->isVisible());
}

void TestFrmMain::resizeSnaps_data()
{
    // Sizes in pixels; the snapped twips need whole pixels enough to hold them.
    QTest::addColumn<QSize>("pedido");
    QTest::addColumn<QSize>("esperado");
    QTest::newRow("narrow springs back to 6160") << QSize(200, 400) << QSize(411, 400);
    QTest::newRow("low springs back to 2450") << QSize(600, 100) << QSize(600, 164);
    QTest::newRow("collapsed opens again at 4515") << QSize(600, 20) << QSize(600, 301);
    QTest::newRow("both") << QSize(10, 10) << QSize(411, 301);
    QTest::newRow("large enough is left alone") << QSize(700, 500) << QSize(700, 500);
}

void TestFrmMain::resizeSnaps()
{
    QFETCH(QSize, pedido);
    QFETCH(QSize, esperado);
    Banco b;
    frmMain& v = b.arrancar();
    const QSize marco = v.frameGeometry().size() - v.size();
    v.resize(pedido - marco);
    QTRY_COMPARE(v.frameGeometry().size(), esperado);
}

void TestFrmMain::layoutFollowsTheWindowWidth()
{
    Banco b;
    frmMain& v = b.arrancar();
    QCOMPARE(v.frameGeometry().size(), QSize(503, 301)); // 7550 by 4515 twips
    v.resize(QSize(800, 600) - (v.frameGeometry().size() - v.size()));
    QTRY_COMPARE(v.Consulta->width(), Twips::aPixeles(800 * 15 - 470));
    QCOMPARE(v.Consulta->height(), Twips::aPixeles(600 * 15 - 2025));
    QCOMPARE(v.Picture1->x(), Twips::aPixeles(800 * 15 - 845));
    QVERIFY(panel(v, "panEstado")->width() <= Twips::aPixeles(800 * 15 - 3350));
}

void TestFrmMain::editsMarkTheDocumentOnce()
{
    Banco b;
    frmMain& v = b.arrancar();
    b.estado.SentenciaSQL = u"SELECT NOMBRE FROM EMPLEADOS"_s;
    QTest::keyClicks(v.Consulta, u"*"_s);
    QCOMPARE(v.documento().etiqueta(), u"» <sin nombre>"_s);
    QVERIFY(b.estado.SentenciaSQL.isEmpty());

    b.estado.SentenciaSQL = u"SELECT 1 FROM DUAL"_s;
    QTest::keyClick(v.Consulta, Qt::Key_Backspace);
    QCOMPARE(v.documento().etiqueta(), u"» <sin nombre>"_s);
    QVERIFY(b.estado.SentenciaSQL.isEmpty());

    // A file read is not an edit; the first key afterwards is.
    const QString ruta = b.escribirFichero(u"q.vql"_s, "SELECT * FROM T");
    v.documento().Leer_Fichero(ruta);
    QCOMPARE(v.documento().etiqueta(), ruta);
    QCOMPARE(b.estado.FicheroActual, ruta);
    // Undo cannot bring back the text of before the file, which a save would then write over it.
    QVERIFY(!v.Consulta->document()->isUndoAvailable());
    QTest::keyClicks(v.Consulta, u" "_s);
    QCOMPARE(v.documento().etiqueta(), u"» "_s + ruta);
}

void TestFrmMain::programChangesAreNotEdits()
{
    Banco b;
    frmMain& v = b.arrancar();
    // A formatting step the program does not mark as its own counts as an edit.
    seleccionarTodo(v.Consulta);
    v.Consulta->setSelFontName(u"Arial"_s);
    QVERIFY(v.documento().modificado());
    v.documento().setEtiqueta(DocumentoConsulta::sinNombre);

    b.estado.SentenciaSQL = u"SELECT 1 FROM DUAL"_s;
    {
        CambioPropio cambio(b.estado);
        v.Consulta->reemplazarTexto(u"SELECT * FROM PISOS"_s);
    }
    QCOMPARE(v.Consulta->toPlainText(), u"SELECT * FROM PISOS"_s);
    QVERIFY(!v.documento().modificado());
    QCOMPARE(b.estado.SentenciaSQL, u"SELECT 1 FROM DUAL"_s);

    // Steps that raise no change notification must not swallow the user's next edit.
    {
        CambioPropio cambio(b.estado);
        v.Consulta->setBackColor(0x00C0FFFFu);
    }
    {
        CambioPropio cambio(b.estado);
        v.Consulta->setSelBold(false); // nothing selected, nothing changes
    }
    QVERIFY(!b.estado.IgnorarCambio);
    QTest::keyClicks(v.Consulta, u"x"_s);
    QVERIFY(v.documento().modificado());
    QVERIFY(b.estado.SentenciaSQL.isEmpty());
}

void TestFrmMain::enablingRulesOfButtons()
{
    Banco b;
    frmMain& v = b.arrancar();
    seleccionarTodo(v.Consulta);
    QVERIFY(habilitado(v, u"Copy"_s) && habilitado(v, u"Cut"_s));
    v.Consulta->setSelStart(2);
    QVERIFY(!habilitado(v, u"Copy"_s) && !habilitado(v, u"Cut"_s));

    QGuiApplication::clipboard()->setText(u"FEQ"_s);
    QVERIFY(habilitado(v, u"Paste"_s));
    QGuiApplication::clipboard()->clear();
    QVERIFY(!habilitado(v, u"Paste"_s));

    v.Consulta->clear();
    QVERIFY(!habilitado(v, u"Traducir"_s));
    QVERIFY(!habilitado(v, u"Envio"_s));
    QVERIFY(!habilitado(v, u"EnviarSQL"_s));
    QTest::keyClicks(v.Consulta, u"S"_s);
    QVERIFY(habilitado(v, u"Traducir"_s) && habilitado(v, u"Envio"_s) && habilitado(v, u"EnviarSQL"_s));
}

void TestFrmMain::enablingRulesOfMenus()
{
    Banco b;
    frmMain& v = b.arrancar();
    v.Consulta->clear();
    v.mnuSGBD_click();
    QVERIFY(!entradaHabilitada(v, u"mnuTraducir"_s));
    QVERIFY(!entradaHabilitada(v, u"mnuEnviar"_s));
    QVERIFY(!entradaHabilitada(v, u"mnuSinNIEB"_s));
    QVERIFY(!entradaHabilitada(v, u"mnuDesconectar"_s));
    QVERIFY(entradaHabilitada(v, u"mnuConnect"_s));

    QTest::keyClicks(v.Consulta, u"SELECT"_s);
    b.estado.conexion.conectado = true;
    v.mnuSGBD_click();
    QVERIFY(entradaHabilitada(v, u"mnuTraducir"_s) && entradaHabilitada(v, u"mnuEnviar"_s));
    QVERIFY(entradaHabilitada(v, u"mnuSinNIEB"_s) && entradaHabilitada(v, u"mnuDesconectar"_s));

    v.mnuEdit_click();
    QVERIFY(!entradaHabilitada(v, u"mnuEditUndo"_s));
    QVERIFY(!entradaHabilitada(v, u"mnuEditCut"_s) && !entradaHabilitada(v, u"mnuEditCopy"_s));
    QVERIFY(!entradaHabilitada(v, u"mnuEditPaste"_s));
    QVERIFY(entradaHabilitada(v, u"mnuSelTodo"_s));

    seleccionarTodo(v.Consulta);
    QGuiApplication::clipboard()->setText(u"NFEQ"_s);
    // The rules run as the menu opens.
    QMenu* edicion = v.menuBar()->findChild<QMenu*>(u"mnuEdit"_s);
    Q_EMIT edicion->aboutToShow();
    QVERIFY(entradaHabilitada(v, u"mnuEditCut"_s) && entradaHabilitada(v, u"mnuEditCopy"_s));
    QVERIFY(entradaHabilitada(v, u"mnuEditPaste"_s));
    v.entradaMenu(u"mnuEditUndo"_s)->setEnabled(true);
    Q_EMIT edicion->aboutToShow();
    QVERIFY(!entradaHabilitada(v, u"mnuEditUndo"_s));

    v.Consulta->clear();
    v.mnuEdit_click();
    QVERIFY(!entradaHabilitada(v, u"mnuSelTodo"_s));
}

void TestFrmMain::startUpOpensTheFirstArgumentWhole()
{
    Banco b;
    b.ajustar("FontBold=True\nFontName=Courier\n");
    const QString ruta = b.escribirFichero(u"mi consulta.vql"_s, "SELECT * FROM PISOS\r\nWHERE PRECIO FEQ #200\r\n");
    frmMain& v = b.arrancar({ruta, u"otra.vql"_s});
    QCOMPARE(v.Consulta->toPlainText(), u"SELECT * FROM PISOS\nWHERE PRECIO FEQ #200\n"_s);
    QCOMPARE(v.documento().etiqueta(), ruta);
    QCOMPARE(b.estado.FicheroActual, ruta);
    QVERIFY(!v.documento().modificado());
    QVERIFY(b.plataforma.mensajes.mostrados.isEmpty());
    // The text read takes the stored appearance.
    v.Consulta->setSelStart(0);
    v.Consulta->setSelLength(1);
    QVERIFY(v.Consulta->selBold());
    QCOMPARE(v.Consulta->selFontName(), u"Courier"_s);
}

void TestFrmMain::startUpReportsAnUnreadableFile_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<QString>("linea");
    QTest::newRow("missing") << u"no existe.vql"_s << -1 << u"Error de Lectura"_s << u"Imposible abrir el fichero."_s;
    QTest::newRow("too large") << u"grande.vql"_s << 32769 << u"Imposible abrir fichero"_s
                               << u"- Tamaño del fichero: 32769 bytes."_s;
}

void TestFrmMain::startUpReportsAnUnreadableFile()
{
    QFETCH(QString, nombre);
    QFETCH(int, bytes);
    QFETCH(QString, titulo);
    QFETCH(QString, linea);
    Banco b;
    const QString ruta
        = bytes < 0 ? b.plataforma.carpeta.filePath(nombre) : b.escribirFichero(nombre, QByteArray(bytes, 'x'));
    frmMain& v = b.arrancar({ruta});
    QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
    const Mensaje m = b.plataforma.mensajes.mostrados.first();
    QCOMPARE(m.titulo, titulo);
    QCOMPARE(m.icono, Mensaje::Icono::Critico);
    QVERIFY2(m.texto.split(u'\r').contains(linea), qPrintable(m.texto));
    // Nothing changed: the program starts as usual.
    QCOMPARE(v.Consulta->toPlainText(), u"SELECT "_s);
    QCOMPARE(v.documento().etiqueta(), u"<sin nombre>"_s);
    QVERIFY(b.estado.FicheroActual.isEmpty());
}

void TestFrmMain::indicatorsFollowTheKeyboard()
{
    Banco b;
    frmMain& v = b.arrancar();
    QLabel* mayus = panel(v, "panMayus");
    QLabel* ins = panel(v, "panIns");
    QVERIFY(!mayus->isEnabled());
    QVERIFY(ins->isEnabled());

    b.plataforma.teclado.mayusculas = true;
    QTest::keyClick(v.Consulta, Qt::Key_CapsLock);
    QTRY_VERIFY(mayus->isEnabled());

    QTest::keyClick(v.Consulta, Qt::Key_Insert);
    QVERIFY(v.Consulta->overwriteMode());
    QVERIFY(!ins->isEnabled());
    QTest::keyClick(v.Consulta, Qt::Key_Insert);
    QVERIFY(ins->isEnabled());
}

void TestFrmMain::clockPanels()
{
    Banco b;
    b.plataforma.reloj.momento = QDateTime(QDate(2026, 3, 1), QTime(21, 7, 59));
    frmMain& v = b.arrancar();
    QCOMPARE(panel(v, "panTime")->text(), u"21:07"_s);
    QCOMPARE(panel(v, "panDate")->text(), QLocale().toString(QDate(2026, 3, 1), QLocale::ShortFormat));
    b.plataforma.reloj.momento = QDateTime(QDate(2026, 3, 2), QTime(0, 0, 5));
    v.Timer1_Timer();
    QCOMPARE(panel(v, "panTime")->text(), u"00:00"_s);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
