#include "frmLogOraError.h"

#include "Module1.h"
#include "OraSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

frmLogOraError::frmLogOraError(const Platform& plataforma, std::shared_ptr<const db::OraSession> sesion,
    std::shared_ptr<const db::OraDatabase> base, servidor::Fallo fallo, QWidget* parent)
    : QDialog(parent)
    , m_plataforma(plataforma)
    , m_sesion(std::move(sesion))
    , m_base(std::move(base))
    , m_fallo(std::move(fallo))
{
    setObjectName(u"frmLogOraError"_s);
    setWindowTitle(u"Oracle Messages and Codes"_s);

    Image2 = new QLabel(this);
    Image2->setObjectName(u"Image2"_s);
    Image2->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    Image2->setAlignment(Qt::AlignTop);

    ErrText = new QLabel(this);
    ErrText->setObjectName(u"ErrText"_s);
    ErrText->setTextFormat(Qt::PlainText);
    ErrText->setWordWrap(true);
    ErrText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ErrText->setMinimumWidth(360);
    ErrText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ok = new QPushButton(u"&OK"_s, this);
    ok->setObjectName(u"ok"_s);
    ok->setDefault(true);
    HelpBoton = new QPushButton(u"&Ayuda"_s, this);
    HelpBoton->setObjectName(u"HelpBoton"_s);
    HelpBoton->setAutoDefault(false);

    auto* mensaje = new QHBoxLayout;
    mensaje->addWidget(Image2);
    mensaje->addWidget(ErrText, 1);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(ok);
    botones->addWidget(HelpBoton);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(mensaje, 1);
    todo->addLayout(botones);
    todo->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &frmLogOraError::OK_Click);
    connect(HelpBoton, &QPushButton::clicked, this, &frmLogOraError::HelpBoton_Click);
    Form_Load();
}

QString frmLogOraError::ficheroAyuda()
{
    return QCoreApplication::applicationDirPath() + u"/Ora.hlp"_s;
}

void frmLogOraError::Form_Load()
{
    ErrText->setText(servidor::textoErrorServidor(m_sesion.get(), m_base.get(), m_fallo));
    adjustSize();
    CentrarVentana(this);
}

void frmLogOraError::HelpBoton_Click()
{
    const PeticionAyuda peticion{
        ficheroAyuda(), PeticionAyuda::Orden::Contexto, servidor::contextoAyuda(m_sesion.get(), m_base.get())};
    if (const auto fallo = m_plataforma.ayuda.mostrar(peticion, this))
        m_plataforma.mensajes.mostrar(Mensaje::aviso(u"Nimbo"_s, *fallo, Mensaje::Icono::Ninguno), this);
}

void frmLogOraError::OK_Click()
{
    accept();
}
