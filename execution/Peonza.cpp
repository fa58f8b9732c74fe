#include "Peonza.h"

#include "HojaPeonza.h"
#include "Module1.h"
#include "PunteroPantalla.h"
#include "Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

using namespace Qt::StringLiterals;

Peonza::Peonza(Module1& estado, QWidget* propietario)
    : QDialog(propietario)
    , m_estado(estado)
{
    setObjectName(u"Peonza"_s);
    setWindowTitle(u"Nimbo: Procesando..."_s);
    setModal(false);
    setFixedSize(Twips::aPixeles(QSize(5100, 1305)));

    Picture6 = new QFrame(this);
    Picture6->setObjectName(u"Picture6"_s);
    Picture6->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture6->setGeometry(Twips::aPixeles(QRect(45, 30, 1350, 1245)));
    QPalette blanco = Picture6->palette();
    blanco.setColor(QPalette::Window, Qt::white);
    Picture6->setPalette(blanco);
    Picture6->setAutoFillBackground(true);

    Picture1 = new QLabel(Picture6);
    Picture1->setObjectName(u"Picture1"_s);
    Picture1->setGeometry(Twips::aPixeles(QRect(90, 60, 825, 720)));

    ContaRecu = new QLabel(u"Contando filas..."_s, this);
    ContaRecu->setObjectName(u"ContaRecu"_s);
    ContaRecu->setGeometry(Twips::aPixeles(QRect(1410, 90, 2745, 255)));
    NumFilas = new QLabel(u"(espere un momento)"_s, this);
    NumFilas->setObjectName(u"NumFilas"_s);
    NumFilas->setGeometry(Twips::aPixeles(QRect(1410, 495, 2745, 255)));

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(Twips::aPixeles(QRect(1455, 900, 2625, 375)));

    Picture2 = new QLabel(this);
    Picture2->setObjectName(u"Picture2"_s);
    Picture2->setAlignment(Qt::AlignCenter);
    const QIcon icono = propietario ? propietario->windowIcon() : QApplication::windowIcon();
    Picture2->setPixmap(icono.pixmap(32, 32));
    Picture2->setGeometry(Twips::aPixeles(QRect(4365, 165, 540, 540)));
    Picture2->installEventFilter(this);

    Cancelar = new QPushButton(u"&Cancelar"_s, this);
    Cancelar->setObjectName(u"Cancelar"_s);
    Cancelar->setToolTip(u"Pinche aquí para cancelar la operación "_s);
    Cancelar->setDefault(true);
    Cancelar->setGeometry(Twips::aPixeles(QRect(4140, 915, 915, 360)));
    connect(Cancelar, &QPushButton::clicked, this, &Peonza::Cancelar_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(intervaloInicial);
    connect(Timer1, &QTimer::timeout, this, &Peonza::Timer1_Timer);

    Form_Load();
}

Peonza::~Peonza()
{
    // However the window goes, it leaves the default pointer behind.
    if (!m_descargada)
        PunteroPantalla::poner(PunteroPantalla::Normal);
}

void Peonza::Form_Load()
{
    colocar();
    m_estado.OperacionCancelada = false;
    mostrarFotograma(2);
    // Picture1 takes the size of one cell and stands in the middle of its frame.
    Picture1->resize(HojaPeonza::tamanoCelda());
    const QRect dentro = Picture6->contentsRect();
    Picture1->move(dentro.left() + (dentro.width() - Picture1->width()) / 2,
        dentro.top() + (dentro.height() - Picture1->height()) / 2);
    Timer1->start();
    Cancelar->setFocus();
}

// Top right corner of the screen while the result window fills in view, so that it hides little of
// it; in the middle otherwise.
void Peonza::colocar()
{
    if (!m_estado.VerTablaActiva) {
        CentrarVentana(this);
        return;
    }
    const QScreen* pantalla = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!pantalla)
        return;
    const QRect area = pantalla->geometry();
    move(area.left() + area.width() - frameGeometry().width(), area.top());
}

void Peonza::showEvent(QShowEvent* evento)
{
    QDialog::showEvent(evento);
    // The frame's size is known once the window is shown the first time.
    if (!m_colocada) {
        m_colocada = true;
        colocar();
    }
}

void Peonza::mostrarFotograma(int k)
{
    m_fotograma = k;
    Picture1->setPixmap(HojaPeonza::celda(k));
}

void Peonza::Timer1_Timer()
{
    if (m_estado.OperacionCancelada) {
        descargar();
        return;
    }
    mostrarFotograma(m_fotograma + 1 == HojaPeonza::celdas ? 0 : m_fotograma + 1);
}

void Peonza::Picture2_Click()
{
    const int intervalo = (Timer1->interval() + 50) % 249;
    Timer1->setInterval(intervalo);
    // An interval of 0 stops the animation; it starts again with the next click.
    if (intervalo == 0)
        Timer1->stop();
    else if (!Timer1->isActive() && !m_descargada)
        Timer1->start();
    Picture2->setToolTip(QString::number(intervalo));
}

void Peonza::Cancelar_Click()
{
    m_estado.OperacionCancelada = true;
    // With the animation stopped no tick would ever come to remove the window: go at once, after
    // this click has been handled.
    if (!Timer1->isActive())
        QTimer::singleShot(0, this, [this] {
            if (!m_descargada)
                descargar();
        });
}

// Escape cancels the operation instead of closing the window under it.
void Peonza::reject()
{
    Cancelar_Click();
}

void Peonza::closeEvent(QCloseEvent* evento)
{
    evento->ignore();
    Cancelar_Click();
}

bool Peonza::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == Picture2 && evento->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(evento)->button() == Qt::LeftButton)
        Picture2_Click();
    return QDialog::eventFilter(objeto, evento);
}

void Peonza::ponerEncima(bool encima)
{
    if (m_descargada || encima == bool(windowFlags() & Qt::WindowStaysOnTopHint))
        return;
    const QPoint donde = pos();
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, encima);
    // Changing the flags hides the window: show it again where it was.
    move(donde);
    if (visible)
        show();
}

void Peonza::descargar()
{
    if (m_descargada)
        return;
    m_descargada = true;
    Timer1->stop();
    hide();
    PunteroPantalla::poner(PunteroPantalla::Normal);
    deleteLater();
}
