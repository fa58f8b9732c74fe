#include "frmAbout.h"

#include "AcercaDe.h"
#include "Maravillas.h"
#include "Peonza.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString tituloMaravillas = u"Nimbo es una maravilla del Mundo Moderno. Pincha aquí para ver las 7 Maravillas "
                                 "del Mundo Antiguo."_s;

QLabel* etiqueta(const QString& nombre, const QString& texto, QWidget* padre)
{
    auto* l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    l->setWordWrap(true);
    return l;
}

} // namespace

frmAbout::frmAbout(Module1& estado, const Platform& plataforma, EntornoAcercaDe entorno, QWidget* propietario)
    : QDialog(propietario)
    , m_estado(estado)
    , m_plataforma(plataforma)
    , m_entorno(std::move(entorno))
{
    setObjectName(u"frmAbout"_s);
    setWindowTitle(u"Acerca de Nimbo"_s);
    // A fixed box: a title and a close button, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    construirControles();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(Leeme, &QPushButton::clicked, this, &frmAbout::Leeme_Click);
    for (QLabel* pulsable : {picIcon, lblTitle, Nimbo}) {
        pulsable->installEventFilter(this);
        pulsable->setCursor(Qt::PointingHandCursor);
    }
}

void frmAbout::construirControles()
{
    picIcon = new QLabel(this);
    picIcon->setObjectName(u"picIcon"_s);
    picIcon->setPixmap(windowIcon().pixmap(48, 48));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    picIcon->setToolTip(u"¡Eh! ¡pincha aquí! ¡Hay premio!"_s);

    lblTitle = etiqueta(u"lblTitle"_s, u"Nimbolia, Brumaria"_s, this);
    lblTitle->setToolTip(tituloMaravillas);
    Nimbo = etiqueta(u"Nimbo"_s, u"Nimbo"_s, this);
    Nimbo->setToolTip(tituloMaravillas);
    QFont grande(u"Times New Roman"_s);
    grande.setPointSize(28);
    grande.setBold(true);
    Nimbo->setFont(grande);
    lblVersion = etiqueta(u"lblVersion"_s, u"Versión 1.2, para Windows95/98/NT"_s, this);
    QSizePolicy reservado = lblVersion->sizePolicy(); // hidden by the icon, the box keeps its shape
    reservado.setRetainSizeWhenHidden(true);
    lblVersion->setSizePolicy(reservado);
    lblDescription = etiqueta(u"lblDescription"_s,
        u"Nimbo es un cliente para hacer consultas difusas o flexibles, en el lenguaje NIEB, sobre bases de datos "
        "relacionales difusas o clásicas."_s,
        this);
    Nombre = etiqueta(u"Nombre"_s, u"Escrito por los desarrolladores de Nimbo."_s, this);
    lblLicenseTo = etiqueta(u"lblLicenseTo"_s,
        u"Nimbo es de uso libre y gratuito: puede usarlo, copiarlo y repartirlo sin pagar nada a nadie. Se "
        "ofrece tal cual, sin garantía de ningún tipo."_s,
        this);
    lblDisclaimer = etiqueta(u"lblDisclaimer"_s,
        u"Aviso: Nimbo necesita una base de datos con el servidor NIEB instalado. La base de datos integrada ya "
        "lo trae; en un servidor PostgreSQL hay que instalarlo antes. Sin el servidor NIEB sólo podrá hacer "
        "consultas clásicas en el SQL de la base de datos."_s,
        this);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(u"Frame1"_s);
    Frame1->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    cmdOK = new QPushButton(u"&Aceptar"_s, this);
    cmdOK->setObjectName(u"cmdOK"_s);
    cmdSysInfo = new QPushButton(u"&Información..."_s, this);
    cmdSysInfo->setObjectName(u"cmdSysInfo"_s);
    Leeme = new QPushButton(u"&Leeme"_s, this);
    Leeme->setObjectName(u"Leeme"_s);

    auto* rejilla = new QGridLayout(this);
    rejilla->setColumnMinimumWidth(1, 360);
    rejilla->addWidget(picIcon, 0, 0, 5, 1);
    rejilla->addWidget(lblTitle, 0, 1, 1, 2);
    rejilla->addWidget(Nimbo, 1, 1, 1, 2);
    rejilla->addWidget(lblVersion, 2, 1, 1, 2);
    rejilla->addWidget(lblDescription, 3, 1, 1, 2);
    rejilla->addWidget(Nombre, 4, 1, 1, 2);
    rejilla->addWidget(lblLicenseTo, 5, 1, 1, 2);
    rejilla->addWidget(Frame1, 6, 0, 1, 3);
    rejilla->addWidget(lblDisclaimer, 7, 0, 3, 2, Qt::AlignTop);
    rejilla->addWidget(cmdOK, 7, 2);
    rejilla->addWidget(cmdSysInfo, 8, 2);
    rejilla->addWidget(Leeme, 9, 2);
    // The swapped texts wrap within the same width; the box grows downwards if they need to.
    setFixedWidth(sizeHint().width());
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    AcercaDe::StartSysInfo(m_plataforma.programas, m_plataforma.mensajes, m_entorno.infoSistema, this);
}

void frmAbout::Leeme_Click()
{
    if (AcercaDe::AbrirLeeme(m_plataforma.programas, m_plataforma.mensajes, m_entorno.editores,
            m_entorno.carpetaPrograma, this))
        return;
    if (m_entorno.mnuNotePad)
        m_entorno.mnuNotePad->setEnabled(false);
}

void frmAbout::Nimbo_Click()
{
    if (m_entorno.tabla)
        Maravillas::Nimbo_Click(*m_entorno.tabla);
}

// The first click swaps the texts; once swapped, the icon opens the busy window as a toy.
void frmAbout::picIcon_Click()
{
    if (lblTitle->text().startsWith(u'D'))
        mostrarJuguete();
    else
        cambiarTextos();
}

void frmAbout::cambiarTextos()
{
    lblTitle->setText(u"Dedicado a todos los que aportan su granito de arena a la ciencia."_s);
    lblVersion->hide();
    Nombre->setText(u"El primer Cliente NIEB de la Historia."_s);
    lblLicenseTo->setText(u"¡Pincha en todos los iconos y en la palabra Nimbo de esta ventana!"_s);
    lblDescription->setText(u"Los desarrolladores de Nimbo escribieron este cliente y el prototipo de servidor NIEB "
                            "que lo acompaña para que cualquiera pueda hacer consultas difusas sobre bases de "
                            "datos relacionales."_s);
    lblDisclaimer->setText(u"«Caminante, no hay camino, se hace camino al andar.»  Antonio Machado"_s);
}

// The busy window, spinning for its own sake until Cancelar; it removes itself at its next tick.
void frmAbout::mostrarJuguete()
{
    auto* peonza = new Peonza(m_estado, this);
    peonza->setWindowTitle(u"Pulse Cancelar para FIN"_s);
    peonza->NumFilas->setText(u"Nimbo = Nimbolia"_s);
    peonza->ProgressBar1->hide();
    peonza->ContaRecu->hide();
    m_plataforma.modales.ejecutar(*peonza);
}

bool frmAbout::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(evento)->button() == Qt::LeftButton) {
        if (objeto == picIcon)
            picIcon_Click();
        else if (objeto == lblTitle || objeto == Nimbo)
            Nimbo_Click();
    }
    return QDialog::eventFilter(objeto, evento);
}
