#include "Traducida.h"

#include "FicheroTexto.h"
#include "Module1.h"
#include "PunteroOcupado.h"
#include "TraduccionServidor.h"
#include "Twips.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString filtroConsultas = u"Todos los archivos (*.*)|*.*|Ficheros de consulta (*.?ql)|*.?ql|"
                                u"Ficheros de consulta NIEB (*.vql)|*.vql|Ficheros de consulta SQL (*.sql)|*.sql"_s;

} // namespace

Traducida::Traducida(Module1& estado, const Platform& plataforma, QWidget* parent)
    : QDialog(parent)
    , m_estado(estado)
    , m_plataforma(plataforma)
{
    setObjectName(u"Traducida"_s);
    setWindowTitle(u"Nimbo: Sentencia NIEB traducida a SQL"_s);

    ConsultaTraducida = new QTextEdit(this);
    ConsultaTraducida->setObjectName(u"ConsultaTraducida"_s);
    ConsultaTraducida->setAcceptRichText(false);
    ConsultaTraducida->setReadOnly(true);
    ConsultaTraducida->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    TiempoTraducir = new QLabel(this);
    TiempoTraducir->setObjectName(u"TiempoTraducir"_s);
    BotonSalvar = new QPushButton(u"&Guardar como..."_s, this);
    BotonSalvar->setObjectName(u"BotonSalvar"_s);
    BotonSalvar->setToolTip(u"Guarda la consulta NIEB traducida a SQL en un fichero de texto (en una línea)."_s);
    BotonSalvar->setAutoDefault(false);
    Command1 = new QPushButton(u"&OK"_s, this);
    Command1->setObjectName(u"Command1"_s);
    Command1->setToolTip(u"Cierra esta ventana, que tengo frío... ;-)"_s);
    Command1->setDefault(true);

    auto* pie = new QHBoxLayout;
    pie->addWidget(TiempoTraducir, 1);
    pie->addWidget(BotonSalvar);
    pie->addWidget(Command1);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(ConsultaTraducida, 1);
    todo->addLayout(pie);
    resize(Twips::aPixeles(QSize(7550, 3000)));

    connect(ConsultaTraducida, &QTextEdit::textChanged, this, &Traducida::ConsultaTraducida_Change);
    connect(BotonSalvar, &QPushButton::clicked, this, &Traducida::BotonSalvar_Click);
    connect(Command1, &QPushButton::clicked, this, &Traducida::Command1_Click);
    Form_Load();
}

void Traducida::aplicarApariencia(const AparienciaTexto& a)
{
    QPalette paleta = ConsultaTraducida->palette();
    paleta.setColor(QPalette::Text, ColorValue::aColor(a.colorTexto, QApplication::palette()));
    paleta.setColor(QPalette::Base, ColorValue::aColor(a.colorFondo, QApplication::palette()));
    ConsultaTraducida->setPalette(paleta);
    QFont fuente = ConsultaTraducida->font();
    if (!a.fuente.isEmpty())
        fuente.setFamilies({a.fuente});
    if (a.tamano > 0)
        fuente.setPointSizeF(a.tamano);
    fuente.setBold(a.negrita);
    fuente.setItalic(a.cursiva);
    fuente.setStrikeOut(a.tachado);
    fuente.setUnderline(a.subrayado);
    ConsultaTraducida->setFont(fuente);
}

void Traducida::Form_Load()
{
    ConsultaTraducida->setPlainText(m_estado.SentenciaSQL);
    TiempoTraducir->setText(u"Tiempo empleado en la traducción: %1 sgs."_s.arg(
        servidor::textoSegundos(m_estado.SegundosTraduccion, QLocale())));
}

// The text shows the pending SQL and nothing else: any change is undone at once.
void Traducida::ConsultaTraducida_Change()
{
    if (ConsultaTraducida->toPlainText() != m_estado.SentenciaSQL)
        ConsultaTraducida->setPlainText(m_estado.SentenciaSQL);
}

void Traducida::BotonSalvar_Click()
{
    OpcionesFichero opciones;
    opciones.titulo = u"Guardar consulta NIEB traducida a SQL como..."_s;
    opciones.filtro = filtroConsultas;
    opciones.indiceFiltro = 3;
    opciones.extensionPorDefecto = u"sql"_s;
    const std::optional<EleccionFichero> eleccion = m_plataforma.dialogos.guardarFichero(opciones, this);
    if (!eleccion || eleccion->ruta.isEmpty())
        return;
    QString error;
    {
        PunteroOcupado puntero;
        error = FicheroTexto::escribirLinea(eleccion->ruta, ConsultaTraducida->toPlainText());
    }
    if (!error.isEmpty()) {
        // The window stays open with the text, so the user can try another place.
        m_plataforma.mensajes.mostrar(Mensaje::aviso(u"Nimbo: Aviso"_s, error, Mensaje::Icono::Critico), this);
        return;
    }
    accept();
}

void Traducida::Command1_Click()
{
    accept();
}
