#include "frmLogin.h"

#include "BaseEmbebida.h"
#include "Module1.h"
#include "PunteroOcupado.h"
#include "frmLogOraError.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

frmLogin::frmLogin(Module1& estado, const Platform& plataforma, QWidget* parent)
    : QDialog(parent)
    , m_estado(estado)
    , m_plataforma(plataforma)
{
    setObjectName(u"frmLogin"_s);
    setWindowTitle(u"Oracle Login"_s);

    const auto campo = [this](const QString& nombre, const QString& valor) {
        auto* c = new QLineEdit(valor, this);
        c->setObjectName(nombre);
        c->setMinimumWidth(200);
        c->installEventFilter(this);
        return c;
    };
    lUsername = campo(u"lUsername"_s, db::usuarioDemo);
    lPassword = campo(u"lPassword"_s, db::claveDemo);
    lPassword->setEchoMode(QLineEdit::Password);
    lPassword->setStyleSheet(u"lineedit-password-character: 42"_s); // masked with "*"
    lDatabaseName = campo(u"lDatabaseName"_s, db::nombreBaseEmbebida);
    lDatabaseName->setToolTip(u"\"2:\" es la base de datos local; también el camino de un fichero SQLite, o un "
                              u"servidor PostgreSQL: servidor:puerto/base o postgresql://…"_s);

    const auto etiqueta = [this](const QString& nombre, const QString& texto, QLineEdit* campoDe) {
        auto* l = new QLabel(texto, this);
        l->setObjectName(nombre);
        l->setBuddy(campoDe);
        return l;
    };
    lblUsername = etiqueta(u"lblUsername"_s, u"User Name:"_s, lUsername);
    lblPassword = etiqueta(u"lblPassword"_s, u"Password:"_s, lPassword);
    lblDatabaseName = etiqueta(u"lblDatabaseName"_s, u"Database:"_s, lDatabaseName);

    ok = new QPushButton(u"&OK"_s, this);
    ok->setObjectName(u"ok"_s);
    ok->setDefault(true);
    Cancel = new QPushButton(u"&Cancel"_s, this);
    Cancel->setObjectName(u"Cancel"_s);
    Cancel->setAutoDefault(false);

    auto* campos = new QFormLayout;
    campos->addRow(lblUsername, lUsername);
    campos->addRow(lblPassword, lPassword);
    campos->addRow(lblDatabaseName, lDatabaseName);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(ok);
    botones->addWidget(Cancel);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(campos);
    todo->addLayout(botones);
    todo->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &frmLogin::OK_Click);
    // Escape reaches the dialog's reject, which closes it as Cancel does.
    connect(Cancel, &QPushButton::clicked, this, &frmLogin::Cancel_Click);
    Form_Load();
}

void frmLogin::Form_Load()
{
    adjustSize();
    CentrarVentana(this);
}

// A field that gets the focus selects its whole text (after the click that placed the caret).
bool frmLogin::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::FocusIn) {
        if (auto* c = qobject_cast<QLineEdit*>(objeto))
            QTimer::singleShot(0, c, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(objeto, evento);
}

void frmLogin::OK_Click()
{
    if (lUsername->text().isEmpty())
        return;
    sesion::IntentoLogin intento;
    {
        PunteroOcupado puntero;
        intento = sesion::iniciarSesion(
            m_estado.conexion, lUsername->text(), lPassword->text(), lDatabaseName->text(), m_fabrica);
    }
    if (!intento.conectado) {
        // When no session could be made, the failure is all there is to tell: the database was not asked.
        const auto base = intento.sesion ? m_estado.conexion.base : nullptr;
        frmLogOraError error(m_plataforma, intento.sesion, base, intento.fallo, this);
        m_plataforma.modales.ejecutar(error);
    }
    for (const QString& aviso : intento.avisos)
        m_plataforma.mensajes.mostrar(Mensaje::aviso(u"Nimbo"_s, aviso, Mensaje::Icono::Informacion), this);
    // The password is not kept once the attempt is over.
    lPassword->clear();
    done(intento.conectado ? Accepted : Rejected);
}

void frmLogin::Cancel_Click()
{
    reject();
}
