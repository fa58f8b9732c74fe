#include "WinSeek.h"

#include "ListasArchivos.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString salir = u"&Salir"_s;
const QString cancelar = u"Cancelar"_s;
const QString buscar = u"&Buscar"_s;
const QString volver = u"&Volver"_s;
const QString patronInicial = u"*.?ql"_s;

// The window's inner size in twips: the criteria panel and a margin below it.
constexpr int anchoInterior = 6555;
constexpr int altoInterior = 3735;

template <class Control> Control* colocar(Control* control, const char* nombre, int x, int y, int ancho, int alto)
{
    control->setObjectName(QString::fromLatin1(nombre));
    control->setGeometry(Twips::aPixeles(QRect(x, y, ancho, alto)));
    return control;
}

// A label takes the width its text needs in this font; the control to its right gives up room on its
// left, keeping its right edge.
void hacerSitio(QLabel* etiqueta, QWidget* siguiente)
{
    etiqueta->resize(std::max(etiqueta->width(), etiqueta->sizeHint().width()), etiqueta->height());
    const int izquierda = etiqueta->geometry().right() + 5;
    if (siguiente->x() < izquierda) {
        const int derecha = siguiente->geometry().right();
        siguiente->setGeometry(izquierda, siguiente->y(), derecha + 1 - izquierda, siguiente->height());
    }
}

} // namespace

WinSeek::WinSeek(const Platform& plataforma, QWidget* propietario)
    : QDialog(propietario)
    , m_plataforma(plataforma)
    , m_busqueda(m_arbol, m_plataforma.mensajes, anfitrion())
{
    setObjectName(u"WinSeek"_s);
    setWindowTitle(u"Búscar archivos"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(Twips::aPixeles(QSize(anchoInterior, altoInterior)));

    Picture1 = colocar(new QFrame(this), "Picture1", 0, 120, 6555, 3495);
    lblCriteria = colocar(new QLabel(u"&Criterio de búsqueda:"_s, Picture1), "lblCriteria", 60, 180, 1875, 255);
    txtSearchSpec = colocar(new QLineEdit(patronInicial, Picture1), "txtSearchSpec", 2040, 90, 1575, 315);
    lblCriteria->setBuddy(txtSearchSpec);
    drvList = colocar(new ListaUnidades(Picture1), "drvList", 3780, 90, 2745, 315);
    filList = colocar(new ListaFicheros(m_arbol, Picture1), "filList", 60, 480, 2535, 2235);
    filList->ponerPatron(patronInicial);
    dirList = colocar(new ListaCarpetas(m_arbol, Picture1), "dirList", 2640, 510, 3855, 2790);

    Picture2 = colocar(new QFrame(this), "Picture2", 720, 1080, 5835, 3795);
    lblfound = colocar(new QLabel(u"&Archivos encontrados:"_s, Picture2), "lblfound", 120, 120, 1935, 255);
    lblCount = colocar(new QLabel(u"0"_s, Picture2), "lblCount", 2160, 120, 555, 255);
    lstFoundFiles = colocar(new QListWidget(Picture2), "lstFoundFiles", 150, 390, 6270, 2205);
    lblfound->setBuddy(lstFoundFiles);
    Picture2->hide();
    hacerSitio(lblCriteria, txtSearchSpec);
    hacerSitio(lblfound, lblCount);
    // Room for the count of a full list.
    lblCount->resize(
        std::max(lblCount->width(),
            lblCount->fontMetrics().horizontalAdvance(QString::number(BusquedaArchivos::capacidadPorDefecto)) + 4),
        lblCount->height());

    // The buttons stand over both panels.
    cmdSearch = colocar(new QPushButton(buscar, this), "cmdSearch", 90, 2820, 1170, 420);
    cmdSearch->setDefault(true);
    cmdExit = colocar(new QPushButton(salir, this), "cmdExit", 1410, 2820, 1170, 420);

    // The current folder and its drive; the home folder when the current one cannot be read.
    if (!dirList->ponerRuta(QDir::currentPath()).isEmpty())
        dirList->ponerRuta(QDir::homePath());
    drvList->seleccionar(ListaUnidades::unidadDe(dirList->ruta()));
    filList->ponerRuta(dirList->ruta());

    connect(drvList, &QComboBox::currentIndexChanged, this, &WinSeek::drvList_Change);
    connect(dirList, &ListaCarpetas::cambiada, this, &WinSeek::dirList_Change);
    connect(dirList, &ListaCarpetas::focoPerdido, this, &WinSeek::dirList_LostFocus);
    connect(txtSearchSpec, &QLineEdit::textChanged, this, &WinSeek::txtSearchSpec_Change);
    txtSearchSpec->installEventFilter(this);
    connect(cmdSearch, &QPushButton::clicked, this, &WinSeek::cmdSearch_Click);
    connect(cmdExit, &QPushButton::clicked, this, &WinSeek::cmdExit_Click);

    Form_Load();
}

WinSeek::~WinSeek() = default;

AnfitrionBusqueda WinSeek::anfitrion()
{
    AnfitrionBusqueda anfitrion;
    anfitrion.ventana = this;
    anfitrion.mostrarCarpeta = [this](const QString& carpeta) { m_carpetaBuscada = carpeta; };
    anfitrion.hallado = [this](const QString& ruta) {
        lstFoundFiles->addItem(ruta);
        lblCount->setText(QString::number(m_busqueda.hallados()));
    };
    anfitrion.atenderEventos = [] { QCoreApplication::processEvents(); };
    return anfitrion;
}

void WinSeek::Form_Load()
{
    for (QFrame* panel : {Picture1, Picture2}) {
        panel->setGeometry(0, panel->y(), width(), panel->height());
        panel->setAutoFillBackground(true);
        panel->setBackgroundRole(QPalette::Window);
    }
    for (QLabel* etiqueta : {lblCount, lblCriteria, lblfound}) {
        etiqueta->setAutoFillBackground(true);
        etiqueta->setBackgroundRole(QPalette::Window);
    }
}

void WinSeek::drvList_Change()
{
    // A drive that cannot be read leaves everything as it was.
    if (!dirList->ponerRuta(drvList->unidad()).isEmpty())
        drvList->seleccionar(ListaUnidades::unidadDe(dirList->ruta()));
}

void WinSeek::dirList_Change()
{
    filList->ponerRuta(dirList->ruta());
}

void WinSeek::dirList_LostFocus()
{
    dirList->ponerRuta(dirList->resaltada());
}

void WinSeek::txtSearchSpec_Change()
{
    filList->ponerPatron(txtSearchSpec->text());
}

void WinSeek::txtSearchSpec_GotFocus()
{
    // After the click that gave the focus has placed the cursor.
    QTimer::singleShot(0, txtSearchSpec, &QLineEdit::selectAll);
}

void WinSeek::cmdSearch_Click()
{
    if (cmdSearch->text() == volver) {
        ClearResults();
        txtSearchSpec->setFocus();
        return;
    }
    // The user sees the chosen folder first; the next press searches it.
    if (dirList->ruta() != dirList->resaltada()) {
        dirList->ponerRuta(dirList->resaltada());
        return;
    }

    // Where the criteria were, so that the list stays clear of the buttons.
    Picture2->move(0, Picture1->y());
    Picture1->hide();
    Picture2->show();
    cmdExit->setText(cancelar);
    cmdSearch->setEnabled(false);
    filList->ponerPatron(txtSearchSpec->text());

    m_carpetaBuscada = dirList->ruta();
    m_busqueda.buscar(dirList->ruta(), patronesDe(txtSearchSpec->text()));
    // The folder list was hidden during the walk: it shows where the walk ended.
    dirList->ponerRuta(m_carpetaBuscada);
    filList->ponerRuta(dirList->ruta());

    cmdSearch->setText(volver);
    cmdSearch->setEnabled(true);
    cmdSearch->setFocus();
    cmdExit->setText(salir);
    if (m_cerrarAlParar)
        close();
}

void WinSeek::cmdExit_Click()
{
    if (cmdExit->text() == salir)
        close();
    else
        m_busqueda.cancelar();
}

void WinSeek::ClearResults()
{
    lstFoundFiles->clear();
    lblCount->setText(u"0"_s);
    m_busqueda.limpiar();
    Picture2->hide();
    cmdSearch->setEnabled(true);
    cmdSearch->setText(buscar);
    cmdExit->setText(salir);
    Picture1->show();
}

// Escape is the exit button's.
void WinSeek::reject()
{
    cmdExit_Click();
}

void WinSeek::closeEvent(QCloseEvent* evento)
{
    // The search still runs below this event: the window goes once it has stopped.
    if (m_busqueda.buscando()) {
        m_cerrarAlParar = true;
        m_busqueda.cancelar();
        evento->ignore();
        return;
    }
    // Not the dialog's own close, which would run the exit button through reject().
    evento->accept();
}

bool WinSeek::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == txtSearchSpec && evento->type() == QEvent::FocusIn)
        txtSearchSpec_GotFocus();
    return QDialog::eventFilter(objeto, evento);
}

std::function<void()> comandoBuscarArchivos(QWidget& principal, const Platform& plataforma)
{
    return [&principal, plataforma, ventana = QPointer<WinSeek>()]() mutable {
        if (!ventana) {
            ventana = new WinSeek(plataforma, &principal);
            // To the right of the main window, when the screen has room, so that both can be seen.
            const QRect sitio(principal.frameGeometry().topRight() + QPoint(1, 0), ventana->frameGeometry().size());
            if (principal.screen() && principal.screen()->availableGeometry().contains(sitio))
                ventana->move(sitio.topLeft());
        }
        ventana->show();
        ventana->raise();
        ventana->activateWindow();
    };
}
