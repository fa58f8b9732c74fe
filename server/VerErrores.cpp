#include "VerErrores.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

template <typename T> T* control(T* c, const QString& nombre)
{
    c->setObjectName(nombre);
    return c;
}

} // namespace

VerErrores::VerErrores(std::unique_ptr<servidor::NavegadorErrores> errores, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_errores(std::move(errores))
{
    setObjectName(u"VerErrores"_s);
    setWindowTitle(u"Errores de la consulta NIEB"_s);
    setAttribute(Qt::WA_DeleteOnClose);

    Label1 = control(new QLabel(u"Errores Encontrados : "_s, this), u"Label1"_s);
    Nerrores = control(new QLabel(this), u"Nerrores"_s);
    Label2 = control(new QLabel(u"Error número : "_s, this), u"Label2"_s);
    ErrorNum = control(new QLabel(this), u"ErrorNum"_s);
    Frame1 = control(new QGroupBox(u"Texto del Error"_s, this), u"Frame1"_s);
    ErrorMsg = control(new QLabel(Frame1), u"ErrorMsg"_s);
    ErrorMsg->setTextFormat(Qt::PlainText);
    ErrorMsg->setWordWrap(true);
    ErrorMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ErrorMsg->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdFirst = control(new QPushButton(u"&Primero"_s, this), u"cmdFirst"_s);
    cmdPrevious = control(new QPushButton(u"&Anterior"_s, this), u"cmdPrevious"_s);
    cmdNext = control(new QPushButton(u"&Siguiente"_s, this), u"cmdNext"_s);
    cmdLast = control(new QPushButton(u"&Ultimo"_s, this), u"cmdLast"_s);
    Command1 = control(new QPushButton(u"&Cerrar"_s, this), u"Command1"_s);

    auto* cuenta = new QGridLayout;
    cuenta->addWidget(Label1, 0, 0);
    cuenta->addWidget(Nerrores, 0, 1);
    cuenta->addWidget(Label2, 1, 0);
    cuenta->addWidget(ErrorNum, 1, 1);
    cuenta->setColumnStretch(1, 1);
    auto* marco = new QVBoxLayout(Frame1);
    marco->addWidget(ErrorMsg);
    auto* botones = new QHBoxLayout;
    for (QPushButton* b : {cmdFirst, cmdPrevious, cmdNext, cmdLast}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    botones->addSpacing(12);
    botones->addWidget(Command1);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(cuenta);
    todo->addWidget(Frame1, 1);
    todo->addLayout(botones);
    Frame1->setMinimumHeight(90);
    setMinimumWidth(460);

    connect(cmdFirst, &QPushButton::clicked, this, &VerErrores::cmdFirst_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &VerErrores::cmdPrevious_Click);
    connect(cmdNext, &QPushButton::clicked, this, &VerErrores::cmdNext_Click);
    connect(cmdLast, &QPushButton::clicked, this, &VerErrores::cmdLast_Click);
    connect(Command1, &QPushButton::clicked, this, &VerErrores::Command1_Click);
    Form_Load();
}

void VerErrores::Form_Load()
{
    Nerrores->setText(QString::number(m_errores->numErrores()));
    MostrarErrorActual();
    adjustSize();
}

void VerErrores::MostrarErrorActual(bool pitar)
{
    if (pitar)
        QApplication::beep();
    ErrorNum->setText(m_errores->errorNum());
    ErrorMsg->setText(m_errores->errorMsg());
    const servidor::NavegadorErrores::Botones& b = m_errores->botones();
    cmdFirst->setEnabled(b.primero);
    cmdPrevious->setEnabled(b.anterior);
    cmdNext->setEnabled(b.siguiente);
    cmdLast->setEnabled(b.ultimo);
}

void VerErrores::cmdFirst_Click()
{
    MostrarErrorActual(m_errores->primero());
}

void VerErrores::cmdPrevious_Click()
{
    MostrarErrorActual(m_errores->anterior());
}

void VerErrores::cmdNext_Click()
{
    MostrarErrorActual(m_errores->siguiente());
}

void VerErrores::cmdLast_Click()
{
    MostrarErrorActual(m_errores->ultimo());
}

void VerErrores::Command1_Click()
{
    close();
}
