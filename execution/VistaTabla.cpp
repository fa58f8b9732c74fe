#include "VistaTabla.h"

#include "Peonza.h"
#include "Rejilla.h"
#include "Tabla.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

int acotado(qint64 n)
{
    return int(std::clamp<qint64>(n, 0, std::numeric_limits<int>::max()));
}

} // namespace

VistaTabla::VistaTabla(Module1& estado, InstanciaTabla& tabla, QWidget* principal,
    std::function<void(int, const QString&)> errorServidor)
    : m_estado(estado)
    , m_instancia(tabla)
    , m_principal(principal)
    , m_errorServidor(std::move(errorServidor))
{
}

VistaTabla::~VistaTabla() = default;

Tabla* VistaTabla::tabla() const
{
    return m_tabla && !m_tabla->descargada() ? m_tabla.data() : nullptr;
}

Peonza* VistaTabla::peonza() const
{
    return m_peonza && !m_peonza->descargada() ? m_peonza.data() : nullptr;
}

void VistaTabla::deshabilitarOpcionesTabla()
{
    // This loads the window, hidden, when there is none.
    m_tabla = &m_instancia.ventana();
    m_tabla->entradaMenu(u"mnuArchivoTabla"_s)->setEnabled(false);
    m_tabla->entradaMenu(u"mnuOpcionesTabla"_s)->setEnabled(false);
    for (const char* clave : {"Reducir", "Ampliar", "OrdenarFila", "Ordenar", "Salir"})
        m_tabla->boton(QString::fromLatin1(clave))->setEnabled(false);
}

void VistaTabla::habilitarOpcionesTabla()
{
    // Only the window this run filled: one the user closed meanwhile is not brought back.
    if (tabla())
        HabilitarOpcionesTabla(m_instancia);
}

void VistaTabla::ponerNumTuplas(const QString& texto)
{
    if (Tabla* t = tabla())
        t->NumTuplas()->setText(texto);
}

void VistaTabla::ponerNumColumnas(const QString& texto)
{
    if (Tabla* t = tabla())
        t->NumColumnas()->setText(texto);
}

void VistaTabla::ponerColumnas(int columnas)
{
    if (Tabla* t = tabla())
        t->Grid1()->setCols(columnas);
}

void VistaTabla::ponerFilas(qint64 filas)
{
    if (Tabla* t = tabla())
        t->Grid1()->setRows(filas);
}

void VistaTabla::ponerFijas(int filas, int columnas)
{
    if (Tabla* t = tabla()) {
        t->Grid1()->setFixedRows(filas);
        t->Grid1()->setFixedCols(columnas);
    }
}

void VistaTabla::ponerCabecera(int columna, const QString& texto, int anchoTwips, int alineacionFija)
{
    if (Tabla* t = tabla()) {
        rejilla::Rejilla* g = t->Grid1();
        g->setTextMatrix(0, columna, texto);
        g->setColWidth(columna, anchoTwips);
        g->setFixedAlignment(columna, alineacionFija);
    }
}

void VistaTabla::ponerAncho(int columna, int anchoTwips)
{
    if (Tabla* t = tabla())
        t->Grid1()->setColWidth(columna, anchoTwips);
}

filas::AlmacenFilas& VistaTabla::lote()
{
    if (Tabla* t = tabla())
        return t->Grid1()->lote();
    m_descarte.vaciar();
    return m_descarte;
}

void VistaTabla::publicar()
{
    if (Tabla* t = tabla())
        t->Grid1()->publicar();
    else
        m_descarte.vaciar();
}

void VistaTabla::mostrarPeonza()
{
    m_peonza = new Peonza(m_estado, m_principal);
    m_peonza->show();
    m_peonza->repaint();
}

void VistaTabla::peonzaEncima(bool encima)
{
    if (Peonza* p = peonza())
        p->ponerEncima(encima);
}

void VistaTabla::descargarPeonza()
{
    if (Peonza* p = peonza())
        p->descargar();
}

void VistaTabla::ponerContaRecu(const QString& texto)
{
    if (Peonza* p = peonza())
        p->ContaRecu->setText(texto);
}

void VistaTabla::ponerNumFilas(const QString& texto)
{
    if (Peonza* p = peonza())
        p->NumFilas->setText(texto);
}

void VistaTabla::ponerProgreso(qint64 valor, qint64 maximo)
{
    if (Peonza* p = peonza()) {
        p->ProgressBar1->setMaximum(acotado(maximo));
        p->ProgressBar1->setValue(acotado(valor));
    }
}

void VistaTabla::trasCancelar()
{
    // The busy window takes the busy pointer with it when it goes; if it is gone already, nobody would.
    if (!peonza())
        PunteroPantalla::poner(PunteroPantalla::Normal);
}

void VistaTabla::puntero(PunteroPantalla::Forma forma)
{
    PunteroPantalla::poner(forma);
}

void VistaTabla::procesarEventos()
{
    QCoreApplication::processEvents();
    // Closing the result window while it fills leaves nothing to fill: that is a cancel.
    if (m_tabla.isNull() || m_tabla->descargada())
        m_estado.OperacionCancelada = true;
}

void VistaTabla::mostrarErrorServidor(int codigo, const QString& texto)
{
    if (m_errorServidor)
        m_errorServidor(codigo, texto);
}
