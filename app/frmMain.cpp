#include "frmMain.h"

#include "AjustesEditor.h"
#include "ComandosApariencia.h"
#include "ComandosArchivo.h"
#include "ComandosEdicion.h"
#include "DocumentoConsulta.h"
#include "EditorConsulta.h"
#include "Iconos.h"
#include "MenuPrincipal.h"
#include "Paleta.h"
#include "Module1.h"
#include "Platform.h"
#include "PunteroOcupado.h"
#include "RegistroVentanas.h"
#include "Twips.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Smallest outer size the window keeps, and the height below which it opens again, in twips.
constexpr int anchoMinimo = 6160;
constexpr int altoMinimo = 2450;
constexpr int altoColapsado = 500;

QLabel* panel(const QString& nombre, const QString& texto = {})
{
    auto* etiqueta = new QLabel(texto);
    etiqueta->setObjectName(nombre);
    etiqueta->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    etiqueta->setAlignment(Qt::AlignCenter);
    return etiqueta;
}

// Pixels enough to hold the given twips: a size snapped to a minimum must not fall short by rounding.
int pixelesPorExceso(int twips)
{
    return (twips + Twips::porPixel - 1) / Twips::porPixel;
}

} // namespace

frmMain::frmMain(Module1& estado, const Platform& plataforma, QWidget* parent)
    : QMainWindow(parent)
    , m_estado(estado)
    , m_plataforma(plataforma)
{
    setObjectName(u"frmMain"_s);
    setWindowTitle(u"Nimbo"_s);
    setWindowIcon(Iconos::aplicacion());

    MenuPrincipal::construirMenus(menuBar());
    construirControles();
    construirBarraEstado();
    m_documento = new DocumentoConsulta(m_estado, m_plataforma, Consulta, Frame2, this);
    m_ventanas = new RegistroVentanas(this);
    registrarComandosEditor();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(10000);
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    Timer1->start();

    // Every entry runs the command registered for it; the toolbar runs the same commands by key.
    const auto acciones = menuBar()->findChildren<QAction*>();
    for (QAction* accion : acciones) {
        if (!accion->isSeparator() && !accion->menu() && !accion->objectName().isEmpty())
            connect(
                accion, &QAction::triggered, this, [this, nombre = accion->objectName()] { ejecutarEntrada(nombre); });
    }
    connect(tbToolBar, &QToolBar::actionTriggered, this,
        [this](QAction* accion) { tbToolBar_ButtonClick(accion->objectName()); });
    connect(menu(u"mnuEdit"_s), &QMenu::aboutToShow, this, &frmMain::mnuEdit_click);
    connect(menu(u"mnuSGBD"_s), &QMenu::aboutToShow, this, &frmMain::mnuSGBD_click);
    // The two checked options mirror their check marks in the program-wide state.
    connect(entradaMenu(u"mnuPoner0"_s), &QAction::toggled, this,
        [this](bool marcado) { m_estado.PonerCeroAuto = marcado; });
    connect(entradaMenu(u"mnuVerTabla"_s), &QAction::toggled, this,
        [this](bool marcado) { m_estado.VerTablaActiva = marcado; });

    Consulta->setAtajosDeVentana([this](const QKeySequence& tecla) { return atajoConComando(tecla); });
    connect(Consulta, &QTextEdit::textChanged, this, &frmMain::Consulta_Change);
    connect(Consulta, &QTextEdit::selectionChanged, this, &frmMain::Consulta_SelChange);
    connect(Consulta, &EditorConsulta::modoSobrescrituraCambiado, this, &frmMain::actualizarIndicadores);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &frmMain::habilitarBotonesEdicion);
    qApp->installEventFilter(this);

    // The window's own snapping sets its least size (Form_Resize), not the layout's minimum.
    setMinimumSize(1, 1);
    resize(Twips::aPixeles(QSize(anchoInicial, altoInicial)));
    Form_Load();
}

frmMain::~frmMain() = default;

// The commands on the query and its editor: the Archivo menu, the Edición menu, the Insertar palette
// and the editor's appearance.
void frmMain::registrarComandosEditor()
{
    m_archivo = std::make_unique<ComandosArchivo>(m_estado, m_plataforma, *m_documento, Consulta, this);
    m_apariencia = std::make_unique<ComandosApariencia>(m_estado, m_plataforma, *m_documento, Consulta, this);
    ComandosArchivo* archivo = m_archivo.get();
    registrarComando(u"mnuFileNew"_s, [archivo] { archivo->mnuFileNew_Click(); });
    registrarComando(u"mnuFileOpen"_s, [archivo] { archivo->mnuFileOpen_Click(); });
    registrarComando(u"mnuFileSave"_s, [archivo] { archivo->mnuFileSave_Click(); });
    registrarComando(u"mnuFileSaveAs"_s, [archivo] { archivo->mnuFileSaveAs_Click(); });
    registrarComando(u"mnuFilePrint"_s, [archivo] { archivo->mnuFilePrint_Click(); });
    registrarComando(u"mnuConfigPrinter"_s, [archivo] { archivo->mnuConfigPrinter_Click(); });
    // Leaving asks the save question as the window closes, as the close box does.
    registrarComando(u"mnuFileExit"_s, [this] { close(); });

    EditorConsulta* editor = Consulta;
    registrarComando(u"mnuEditCut"_s, [editor] { ComandosEdicion::mnuEditCut_Click(editor); });
    registrarComando(u"mnuEditCopy"_s, [editor] { ComandosEdicion::mnuEditCopy_Click(editor); });
    registrarComando(u"mnuEditPaste"_s, [editor] { ComandosEdicion::mnuEditPaste_Click(editor); });
    registrarComando(u"mnuSelTodo"_s, [editor] { ComandosEdicion::mnuSelTodo_Click(editor); });
    registrarComando(
        u"mnuEditUndo"_s, [this] { ComandosEdicion::mnuEditUndo_Click(m_plataforma.mensajes, this); });

    for (const Paleta::Entrada& entrada : Paleta::entradas()) {
        if (entrada.tipo == Paleta::Entrada::Tipo::Texto)
            registrarComando(entrada.nombre, [editor, &entrada] { Paleta::insertar(editor, entrada); });
    }

    ComandosApariencia* apariencia = m_apariencia.get();
    registrarComando(u"mnuFonts"_s, [apariencia] { apariencia->mnuFonts_Click(); });
    registrarComando(u"mnuForeColor"_s, [apariencia] { apariencia->mnuForeColor_Click(); });
    registrarComando(u"mnuBackColor"_s, [apariencia] { apariencia->mnuBackColor_Click(); });
    registrarComando(u"mnuValoresDefecto"_s, [apariencia] { apariencia->mnuValoresDefecto_Click(); });
}

void frmMain::construirControles()
{
    auto* central = new QWidget(this);
    central->setObjectName(u"frmMainArea"_s);
    setCentralWidget(central);

    tbToolBar = new QToolBar(central);
    tbToolBar->setObjectName(u"tbToolBar"_s);
    tbToolBar->setMovable(false);
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    MenuPrincipal::construirBarra(tbToolBar);

    Label1 = new QLabel(u"Consulta en NIEB:"_s, central);
    Label1->setObjectName(u"Label1"_s);

    Frame2 = new QGroupBox(central);
    Frame2->setObjectName(u"Frame2"_s);

    Consulta = new EditorConsulta(central);
    Consulta->setObjectName(u"Consulta"_s);
    Consulta->setToolTip(u"Aquí puede escribir su consulta en NIEB"_s);
    Consulta->setPlainText(u"SELECT "_s);

    Picture1 = new QLabel(central);
    Picture1->setObjectName(u"Picture1"_s);
    Picture1->setPixmap(Iconos::conexion(false));
    Picture1->setToolTip(u"No conectado al SGBD"_s);
    Picture1->setAlignment(Qt::AlignCenter);
}

void frmMain::construirBarraEstado()
{
    auto* barra = statusBar();
    barra->setObjectName(u"sbStatusBar"_s);
    barra->setSizeGripEnabled(false);

    const QString lema = u"Nimbo = Nimbolia (Brumaria)"_s;
    m_panelEstado = panel(u"panEstado"_s, lema);
    m_panelEstado->setToolTip(lema);
    m_panelEstado->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Its width follows the window; it must not hold the window wider than the user wants it.
    m_panelEstado->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_panelMayus = panel(u"panMayus"_s, u"MAYÚS"_s);
    m_panelIns = panel(u"panIns"_s, u"INS"_s);
    m_panelFecha = panel(u"panDate"_s);
    m_panelHora = panel(u"panTime"_s);
    barra->addWidget(m_panelEstado, 1);
    barra->addWidget(m_panelMayus);
    barra->addWidget(m_panelIns);
    barra->addWidget(m_panelFecha);
    barra->addWidget(m_panelHora);
    actualizarIndicadores();
}

void frmMain::registrarComando(const QString& entrada, std::function<void()> comando)
{
    m_comandos.insert(entrada, std::move(comando));
}

QAction* frmMain::entradaMenu(const QString& nombre) const
{
    return menuBar()->findChild<QAction*>(nombre);
}

QAction* frmMain::boton(const QString& clave) const
{
    return tbToolBar->findChild<QAction*>(clave, Qt::FindDirectChildrenOnly);
}

QMenu* frmMain::menu(const QString& nombre) const
{
    return menuBar()->findChild<QMenu*>(nombre);
}

void frmMain::ejecutarEntrada(const QString& entrada)
{
    const auto comando = m_comandos.constFind(entrada);
    if (comando != m_comandos.cend())
        (*comando)();
}

// The editor claims standard keys such as Ctrl+A or Ctrl+C for itself. A key held by an enabled
// entry that has a command runs that command instead; any other key stays the editor's.
bool frmMain::atajoConComando(const QKeySequence& tecla) const
{
    const auto acciones = menuBar()->findChildren<QAction*>();
    return std::any_of(acciones.cbegin(), acciones.cend(), [&](const QAction* accion) {
        return accion->isEnabled() && accion->shortcut() == tecla && m_comandos.contains(accion->objectName());
    });
}

bool frmMain::portapapelesConTexto() const
{
    return !QGuiApplication::clipboard()->text().isEmpty();
}

void frmMain::Form_Load()
{
    Timer1_Timer();

    Consulta->setSelStart(0);
    Consulta->setSelLength(Consulta->longitudTexto());
    aplicarApariencia();
    // The stored appearance is where the user starts from, not a step to undo.
    Consulta->document()->clearUndoRedoStacks();

    move(Twips::aPixeles(AjustesEditor::leerPosicion(m_plataforma.ajustes)));

    Consulta->setSelStart(Consulta->selLength());

    // Nothing is selected now, so Copy and Cut start disabled.
    habilitarBotonesEdicion();
    habilitarBotonesConsulta();
}

// Applies the stored appearance to the selection, one attribute at a time, none of them an edit.
void frmMain::aplicarApariencia()
{
    const AparienciaEditor a = AjustesEditor::leerApariencia(m_plataforma.ajustes);
    const auto propio = [this](auto&& paso) {
        CambioPropio cambio(m_estado);
        paso();
    };
    propio([&] { Consulta->setSelColor(a.colorTexto); });
    propio([&] { Consulta->setBackColor(a.colorFondo); });
    propio([&] { Consulta->setSelFontName(a.fuente); });
    propio([&] { Consulta->setSelFontSize(a.tamano); });
    propio([&] { Consulta->setSelBold(a.negrita); });
    propio([&] { Consulta->setSelItalic(a.cursiva); });
    propio([&] { Consulta->setSelStrikethru(a.tachado); });
    propio([&] { Consulta->setSelUnderline(a.subrayado); });
}

// What the window's frame adds to its inside; the sizes here are outer sizes.
QSize frmMain::margenMarco() const
{
    return frameGeometry().size() - size();
}

QSize frmMain::tamanoExteriorTwips() const
{
    return Twips::desdePixeles(frameGeometry().size());
}

void frmMain::showEvent(QShowEvent* evento)
{
    QMainWindow::showEvent(evento);
    if (!m_mostrada) {
        m_mostrada = true;
        m_esperandoMarco = true;
        ajustarTamanoInicial();
        // Without a window manager no frame ever comes.
        QTimer::singleShot(2000, this, [this] { m_esperandoMarco = false; });
    }
}

// The opening size is the outer size: the frame comes off the inside. A window manager puts its
// frame around the window only after the first showing, so the size is set again once it is known.
void frmMain::ajustarTamanoInicial()
{
    const QSize margen = margenMarco();
    resize(Twips::aPixeles(QSize(anchoInicial, altoInicial)) - margen);
    if (!margen.isNull())
        m_esperandoMarco = false;
}

void frmMain::moveEvent(QMoveEvent* evento)
{
    QMainWindow::moveEvent(evento);
    if (m_esperandoMarco && !margenMarco().isNull())
        ajustarTamanoInicial();
}

void frmMain::resizeEvent(QResizeEvent* evento)
{
    QMainWindow::resizeEvent(evento);
    if (m_esperandoMarco && !margenMarco().isNull())
        ajustarTamanoInicial();
    Form_Resize();
}

void frmMain::Form_Resize()
{
    if (isMinimized())
        return;
    const QSize exterior = tamanoExteriorTwips();
    QSize destino = exterior;
    if (destino.width() < anchoMinimo)
        destino.setWidth(anchoMinimo);
    if (destino.height() < altoMinimo)
        destino.setHeight(destino.height() < altoColapsado ? altoInicial : altoMinimo);
    if (destino != exterior) {
        resize(QSize(pixelesPorExceso(destino.width()), pixelesPorExceso(destino.height())) - margenMarco());
    }
    colocarControles(destino);
}

void frmMain::colocarControles(QSize exteriorTwips)
{
    const int W = exteriorTwips.width();
    const int H = exteriorTwips.height();
    const auto colocar = [](QWidget* control, int izquierda, int arriba, int ancho, int alto) {
        control->setGeometry(Twips::aPixeles(QRect(izquierda, arriba, std::max(ancho, 0), std::max(alto, 0))));
    };
    tbToolBar->setGeometry(0, 0, centralWidget()->width(), tbToolBar->sizeHint().height());
    Label1->move(Twips::aPixeles(QPoint(270, 510)));
    Label1->adjustSize();
    colocar(Frame2, 90, 765, W - 290, H - 1755);
    colocar(Consulta, 180, 960, W - 470, H - 2025);
    colocar(Picture1, W - 845, 450, 510, 510);
    Picture1->raise();
    m_panelEstado->setMaximumWidth(Twips::aPixeles(std::max(W - 3350, 0)));
}

void frmMain::Timer1_Timer()
{
    const QDateTime ahora = m_plataforma.reloj.ahora();
    m_panelFecha->setText(QLocale().toString(ahora.date(), QLocale::ShortFormat));
    m_panelHora->setText(ahora.time().toString(u"HH:mm"_s));
}

void frmMain::habilitarBotonesEdicion()
{
    const bool seleccion = Consulta->selLength() > 0;
    boton(u"Copy"_s)->setEnabled(seleccion);
    boton(u"Cut"_s)->setEnabled(seleccion);
    boton(u"Paste"_s)->setEnabled(portapapelesConTexto());
}

// The buttons that send the query need one.
void frmMain::habilitarBotonesConsulta()
{
    const bool conTexto = Consulta->longitudTexto() > 0;
    boton(u"Traducir"_s)->setEnabled(conTexto);
    boton(u"Envio"_s)->setEnabled(conTexto);
    boton(u"EnviarSQL"_s)->setEnabled(conTexto);
}

void frmMain::Consulta_Change()
{
    habilitarBotonesEdicion();
    habilitarBotonesConsulta();

    // The program's own change; CambioPropio clears the flag when its step ends.
    if (m_estado.IgnorarCambio)
        return;
    m_documento->marcarModificado();
    m_estado.SentenciaSQL.clear();
}

void frmMain::Consulta_SelChange()
{
    habilitarBotonesEdicion();
}

void frmMain::tbToolBar_ButtonClick(const QString& clave)
{
    for (const MenuPrincipal::BotonBarra& b : MenuPrincipal::botones()) {
        if (!b.clave.isEmpty() && b.clave == clave) {
            ejecutarEntrada(b.entrada);
            return;
        }
    }
}

void frmMain::mnuEdit_click()
{
    const bool seleccion = Consulta->selLength() > 0;
    entradaMenu(u"mnuEditCut"_s)->setEnabled(seleccion);
    entradaMenu(u"mnuEditCopy"_s)->setEnabled(seleccion);
    entradaMenu(u"mnuEditPaste"_s)->setEnabled(portapapelesConTexto());
    entradaMenu(u"mnuSelTodo"_s)->setEnabled(Consulta->longitudTexto() > 0);
    entradaMenu(u"mnuEditUndo"_s)->setEnabled(false);
}

void frmMain::mnuSGBD_click()
{
    const bool conTexto = Consulta->longitudTexto() > 0;
    entradaMenu(u"mnuTraducir"_s)->setEnabled(conTexto);
    entradaMenu(u"mnuEnviar"_s)->setEnabled(conTexto);
    entradaMenu(u"mnuSinNIEB"_s)->setEnabled(conTexto);
    entradaMenu(u"mnuDesconectar"_s)->setEnabled(m_estado.conexion.conectado);
}

void frmMain::mostrarConexion(bool conectado, const QString& usuario)
{
    Picture1->setPixmap(Iconos::conexion(conectado));
    Picture1->setToolTip(conectado ? u"Conectado al SGBD: Usuario: "_s + usuario : u"No conectado al SGBD"_s);
    // F12 works without the menu being opened first, so the entry follows the state at once.
    entradaMenu(u"mnuDesconectar"_s)->setEnabled(conectado);
}

void frmMain::actualizarIndicadores()
{
    // An indicator is drawn dimmed while its mode is off.
    m_panelMayus->setEnabled(m_plataforma.teclado.bloqMayus());
    m_panelIns->setEnabled(!Consulta->overwriteMode());
}

bool frmMain::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == Picture1 && evento->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(evento)->button() == Qt::LeftButton)
        Picture1_Click();
    // Caps Lock can change in any window, this program's or another's: look again after every key
    // (changeEvent looks whenever the window becomes active).
    if (evento->type() == QEvent::KeyPress || evento->type() == QEvent::KeyRelease)
        QTimer::singleShot(0, this, &frmMain::actualizarIndicadores);
    return QMainWindow::eventFilter(objeto, evento);
}

void frmMain::Picture1_Click()
{
    if (m_alPulsarIndicador)
        m_alPulsarIndicador();
}

void frmMain::changeEvent(QEvent* evento)
{
    if (evento->type() == QEvent::ActivationChange) {
        actualizarIndicadores();
        if (m_esperandoMarco && !margenMarco().isNull())
            ajustarTamanoInicial();
    }
    QMainWindow::changeEvent(evento);
}

void frmMain::closeEvent(QCloseEvent* evento)
{
    if (!m_cerrado) {
        // An edited query is not dropped without the save question.
        if (m_archivo->PreguntarSalvar() == NoHecho) {
            evento->ignore();
            return;
        }
        m_cerrado = true;
        Form_Unload();
    }
    evento->accept();
}

void frmMain::Form_Unload()
{
    bool guardados = false;
    {
        PunteroOcupado puntero;
        if (m_alDescargar)
            m_alDescargar();
        // Every other window goes with the main window, hidden ones too, the most recent first.
        m_ventanas->cerrarTodas();
        if (!isMinimized())
            AjustesEditor::escribirPosicion(m_plataforma.ajustes, Twips::desdePixeles(pos()));
        guardados = guardarAjustes();
    }
    if (!guardados) {
        m_plataforma.mensajes.mostrar(
            Mensaje::aviso(
                u"Nimbo: Aviso"_s, u"No se han podido guardar los ajustes del editor."_s, Mensaje::Icono::Critico),
            this);
    }
}

// Stores the appearance of the first character, which stands for the whole text; false when the
// settings could not be written.
bool frmMain::guardarAjustes()
{
    Consulta->setSelStart(0);
    Consulta->setSelLength(1);
    AparienciaEditor a;
    a.colorTexto = Consulta->selColor();
    a.colorFondo = Consulta->backColor();
    a.fuente = Consulta->selFontName();
    a.tamano = Consulta->selFontSize();
    a.negrita = Consulta->selBold();
    a.cursiva = Consulta->selItalic();
    a.tachado = Consulta->selStrikethru();
    a.subrayado = Consulta->selUnderline();
    // Text in the colour of its background would come back invisible at the next start.
    if (ColorValue::seVenIguales(a.colorTexto, a.colorFondo, QApplication::palette())) {
        a.colorTexto = ColorValue::textoVentana;
        a.colorFondo = ColorValue::fondoVentana;
    }
    AjustesEditor::escribirApariencia(m_plataforma.ajustes, a);
    return m_plataforma.ajustes.guardar();
}
