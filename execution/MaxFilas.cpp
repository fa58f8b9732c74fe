#include "MaxFilas.h"

#include "Module1.h"
#include "NumeroFilas.h"
#include "Twips.h"

#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

// The fixed limits of Option2 to Option5.
constexpr std::array<qint32, 4> limitesFijos = {25, 100, 250, 500};

// Places a control at its place in twips; a control never gets less than it needs to show its text.
void colocar(QWidget* control, int izquierda, int arriba, int ancho, int alto)
{
    const QSize pedido = Twips::aPixeles(QSize(ancho, alto));
    const QSize necesario = control->sizeHint();
    control->setGeometry(QRect(Twips::aPixeles(QPoint(izquierda, arriba)),
        QSize(std::max(pedido.width(), necesario.width()), std::max(pedido.height(), necesario.height()))));
}

} // namespace

MaxFilas::MaxFilas(Module1& estado, const Platform& plataforma, QWidget* parent)
    : QDialog(parent)
    , m_estado(estado)
    , m_plataforma(plataforma)
{
    setObjectName(u"MaxFilas"_s);
    setWindowTitle(u"Número Máximo de Filas Leídas"_s);
    setFixedSize(Twips::aPixeles(QSize(3375, 2850)));

    Frame1 = new QGroupBox(u" Recuperar...  "_s, this);
    Frame1->setObjectName(u"Frame1"_s);
    Frame1->setGeometry(Twips::aPixeles(QRect(60, 60, 3255, 2145)));

    const auto opcion = [this](const QString& nombre, const QString& texto, int arriba, int ancho) {
        auto* boton = new QRadioButton(texto, Frame1);
        boton->setObjectName(nombre);
        colocar(boton, 240, arriba, ancho, 195);
        return boton;
    };
    Option1 = opcion(u"Option1"_s, u"TODAS las Filas que existan."_s, 330, 2355);
    Option2 = opcion(u"Option2"_s, u"  25 Filas como Máximo."_s, 570, 2115);
    Option3 = opcion(u"Option3"_s, u"100 Filas como Máximo."_s, 810, 1995);
    Option4 = opcion(u"Option4"_s, u"250 Filas como Máximo."_s, 1050, 2055);
    Option5 = opcion(u"Option5"_s, u"500 Filas como Máximo."_s, 1290, 2295);
    Option6 = opcion(u"Option6"_s, u"Otro Número de Filas como Máximo:"_s, 1530, 2955);

    MaxNumFilas = new QLineEdit(u"50"_s, Frame1);
    MaxNumFilas->setObjectName(u"MaxNumFilas"_s);
    colocar(MaxNumFilas, 480, 1740, 1335, 285);
    MaxNumFilas->installEventFilter(this);

    Ok = new QPushButton(u"Ok"_s, this);
    Ok->setObjectName(u"Ok"_s);
    Ok->setDefault(true);
    colocar(Ok, 540, 2310, 1335, 435);
    Cancelar = new QPushButton(u"Cancelar"_s, this);
    Cancelar->setObjectName(u"Cancelar"_s);
    colocar(Cancelar, 1980, 2310, 1335, 435);

    connect(Ok, &QPushButton::clicked, this, &MaxFilas::Ok_Click);
    connect(Cancelar, &QPushButton::clicked, this, &MaxFilas::Cancelar_Click);
    Form_Load();
}

void MaxFilas::Form_Load()
{
    CentrarVentana(this);
    QRadioButton* elegida = Option1;
    if (!m_estado.TodasLasFilas) {
        elegida = opcionFija(m_estado.LimiteFilas);
        if (!elegida) {
            elegida = Option6;
            MaxNumFilas->setText(QString::number(m_estado.LimiteFilas));
        }
    }
    elegida->setChecked(true);
    // The text box would select Option6 if it took the focus first.
    elegida->setFocus();
}

QRadioButton* MaxFilas::opcionFija(qint32 limite) const
{
    const std::array<QRadioButton*, 4> opciones = {Option2, Option3, Option4, Option5};
    for (size_t i = 0; i < limitesFijos.size(); ++i) {
        if (limitesFijos[i] == limite)
            return opciones[i];
    }
    return nullptr;
}

bool MaxFilas::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == MaxNumFilas && evento->type() == QEvent::FocusIn)
        MaxNumFilas_GotFocus();
    return QDialog::eventFilter(objeto, evento);
}

void MaxFilas::MaxNumFilas_GotFocus()
{
    Option6->setChecked(true);
}

void MaxFilas::Ok_Click()
{
    if (Option1->isChecked()) {
        m_estado.TodasLasFilas = true;
        accept();
        return;
    }
    const std::array<QRadioButton*, 4> opciones = {Option2, Option3, Option4, Option5};
    for (size_t i = 0; i < opciones.size(); ++i) {
        if (opciones[i]->isChecked()) {
            m_estado.TodasLasFilas = false;
            m_estado.LimiteFilas = limitesFijos[i];
            accept();
            return;
        }
    }
    const auto leido = NumeroFilas::leer(MaxNumFilas->text());
    if (const auto* rechazo = std::get_if<NumeroFilas::Rechazo>(&leido)) {
        rechazar(NumeroFilas::mensaje(*rechazo));
        return;
    }
    m_estado.TodasLasFilas = false;
    m_estado.LimiteFilas = std::get<qint32>(leido);
    accept();
}

// The dialog stays open with the text as typed, so that the user can mend it or cancel.
void MaxFilas::rechazar(const QString& texto)
{
    m_plataforma.mensajes.mostrar(Mensaje::aviso(u"Error"_s, texto, Mensaje::Icono::Critico), this);
}

void MaxFilas::Cancelar_Click()
{
    reject();
}
