#include "frmSplash.h"

#include "Module1.h"

#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QLabel* etiqueta(const QString& nombre, const QString& texto, QWidget* padre, Qt::Alignment alineacion = Qt::AlignRight)
{
    auto* l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    l->setAlignment(alineacion | Qt::AlignVCenter);
    return l;
}

QFrame* marco(const QString& nombre, QWidget* padre)
{
    auto* f = new QFrame(padre);
    f->setObjectName(nombre);
    f->setFrameStyle(QFrame::Box | QFrame::Sunken);
    return f;
}

bool esClicIzquierdo(const QEvent* evento)
{
    return evento->type() == QEvent::MouseButtonRelease
        && static_cast<const QMouseEvent*>(evento)->button() == Qt::LeftButton;
}

} // namespace

frmSplash::frmSplash(const QIcon& logo, QWidget* propietario)
    : QWidget(propietario, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(u"frmSplash"_s);
    setAttribute(Qt::WA_DeleteOnClose);

    fraMainFrame = marco(u"fraMainFrame"_s, this);
    fraMainFrame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    fraMainFrame->setLineWidth(2);

    picLogo = new QLabel(fraMainFrame);
    picLogo->setObjectName(u"picLogo"_s);
    picLogo->setPixmap(logo.pixmap(96, 96));
    picLogo->setAlignment(Qt::AlignCenter);
    picLogo->setCursor(Qt::PointingHandCursor);

    Label1 = etiqueta(u"Label1"_s, u"Cliente NIEB"_s, fraMainFrame);
    lblProductName = etiqueta(u"lblProductName"_s, u"Nimbo"_s, fraMainFrame);
    QFont nombre(u"Times New Roman"_s);
    nombre.setPointSize(40);
    nombre.setBold(true);
    lblProductName->setFont(nombre);
    Label2 = etiqueta(u"Label2"_s, u"Brumaria"_s, fraMainFrame);
    msg = etiqueta(u"msg"_s, u"Nimbolia"_s, fraMainFrame);
    lblVersion = etiqueta(u"lblVersion"_s, u"Versión 1.2, para Windows"_s, fraMainFrame);
    QFont negrita = lblVersion->font();
    negrita.setBold(true);
    for (QLabel* l : {Label1, Label2, msg, lblVersion})
        l->setFont(negrita);

    Frame1 = marco(u"Frame1"_s, fraMainFrame);
    lblAutores = etiqueta(u"lblAutores"_s, u"Escrito por los desarrolladores de Nimbo."_s, Frame1, Qt::AlignLeft);
    (new QVBoxLayout(Frame1))->addWidget(lblAutores);
    Frame2 = marco(u"Frame2"_s, fraMainFrame);
    lblLicenseTo = etiqueta(u"lblLicenseTo"_s,
        u"De uso libre y gratuito: puede usarlo, copiarlo y repartirlo sin pagar nada a nadie. Se ofrece tal cual, "
        "sin garantía de ningún tipo."_s,
        Frame2, Qt::AlignLeft);
    lblLicenseTo->setWordWrap(true);
    (new QVBoxLayout(Frame2))->addWidget(lblLicenseTo);

    auto* dentro = new QGridLayout(fraMainFrame);
    dentro->setColumnMinimumWidth(1, 320);
    dentro->addWidget(picLogo, 0, 0, 5, 1);
    dentro->addWidget(Label1, 0, 1);
    dentro->addWidget(lblProductName, 1, 1);
    dentro->addWidget(Label2, 2, 1);
    dentro->addWidget(msg, 3, 1);
    dentro->addWidget(lblVersion, 4, 1);
    dentro->addWidget(Frame1, 5, 0, 1, 2);
    dentro->addWidget(Frame2, 6, 0, 1, 2);

    auto* fuera = new QVBoxLayout(this);
    fuera->setContentsMargins(4, 4, 4, 4);
    fuera->setSizeConstraint(QLayout::SetFixedSize);
    fuera->addWidget(fraMainFrame);

    // Every part of the window answers a click the same way.
    const auto partes = findChildren<QWidget*>();
    for (QWidget* parte : partes)
        parte->installEventFilter(this);

    adjustSize();
    CentrarVentana(this);
}

void frmSplash::Form_Click()
{
    close();
}

void frmSplash::picLogo_Click()
{
    const std::function<void()> abrir = m_alPulsarLogo;
    close();
    if (abrir)
        abrir();
}

bool frmSplash::eventFilter(QObject* objeto, QEvent* evento)
{
    if (esClicIzquierdo(evento)) {
        if (objeto == picLogo)
            picLogo_Click();
        else
            Form_Click();
        return true;
    }
    return QWidget::eventFilter(objeto, evento);
}

void frmSplash::mouseReleaseEvent(QMouseEvent* evento)
{
    if (evento->button() == Qt::LeftButton)
        Form_Click();
    QWidget::mouseReleaseEvent(evento);
}
