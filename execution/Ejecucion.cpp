#include "Ejecucion.h"

#include "MaxFilas.h"
#include "Recuperacion.h"
#include "Twips.h"
#include "VistaTabla.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScopedValueRollback>
#include <QScreen>
#include <QToolBar>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

// The toolbar buttons a run locks, by key.
const QStringList& botonesBloqueados()
{
    static const QStringList claves = {
        u"Traducir"_s, u"Envio"_s, u"Conexión"_s, u"EnviarSQL"_s, u"Info"_s, u"Desconectar"_s};
    return claves;
}

const QStringList& menusBloqueados()
{
    static const QStringList nombres = {u"mnuSGBD"_s, u"mnuEdit"_s};
    return nombres;
}

} // namespace

Ejecucion::Ejecucion(Module1& estado, const Platform& plataforma, AnfitrionEjecucion anfitrion)
    : QObject(anfitrion.principal)
    , m_estado(estado)
    , m_plataforma(plataforma)
    , m_anfitrion(std::move(anfitrion))
    , m_tabla(estado, plataforma)
{
    setObjectName(u"Ejecucion"_s);
}

template <typename T> T* Ejecucion::control(const QString& nombre) const
{
    return m_anfitrion.principal->findChild<T*>(nombre);
}

QAction* Ejecucion::accion(const QString& nombre) const
{
    return control<QAction>(nombre);
}

void Ejecucion::mnuMaxFilas()
{
    MaxFilas dialogo(m_estado, m_plataforma, m_anfitrion.principal);
    dialogo.exec();
}

void Ejecucion::mnuEnviar()
{
    if (m_enCurso || !m_anfitrion.comprobarConexion())
        return;
    const QString texto = m_anfitrion.textoConsulta();
    if (!texto.contains(u"SELECT"_s, Qt::CaseInsensitive)) {
        m_plataforma.mensajes.mostrar(Mensaje::aviso(u"Nimbo: Aviso"_s,
                                          u"No es una sentencia SELECT: Nimbo sólo admite sentencias SELECT."_s,
                                          Mensaje::Icono::Informacion),
            m_anfitrion.principal);
        return;
    }
    // A pending translation is the translation of this very text: it is run again as it is.
    if (m_estado.SentenciaSQL.isEmpty()) {
        if (m_anfitrion.traducirConsulta(texto) != Hecho)
            return;
        if (m_estado.numErrores > 0) {
            m_anfitrion.mostrarErrores();
            return;
        }
    }
    m_estado.TituloTabla = u"Nimbo: "_s + texto;
    VamosAlaTabla();
}

void Ejecucion::mnuSinNIEB()
{
    if (m_enCurso)
        return;
    m_estado.SentenciaSQL = m_anfitrion.textoConsulta();
    m_estado.SegundosTraduccion = 0;
    mnuEnviar();
    m_estado.SentenciaSQL.clear();
}

Ejecucion::Bloqueo Ejecucion::bloquear()
{
    Bloqueo bloqueo;
    control<QWidget>(u"Consulta"_s)->setEnabled(false);
    control<QToolBar>(u"tbToolBar"_s)->setEnabled(false);
    // A disabled menu still lets its entries' shortcut keys through: the entries are locked too,
    // and get back the state their own rules gave them.
    for (const QString& nombre : menusBloqueados()) {
        QMenu* menu = control<QMenu>(nombre);
        menu->menuAction()->setEnabled(false);
        const auto acciones = menu->actions();
        for (QAction* a : acciones) {
            if (a->isSeparator())
                continue;
            bloqueo.acciones << a;
            bloqueo.estados << a->isEnabled();
            a->setEnabled(false);
        }
    }
    accion(u"mnuSinNIEB"_s)->setEnabled(false);
    auto* barra = control<QToolBar>(u"tbToolBar"_s);
    for (const QString& clave : botonesBloqueados())
        barra->findChild<QAction*>(clave, Qt::FindDirectChildrenOnly)->setEnabled(false);
    return bloqueo;
}

void Ejecucion::desbloquear(const Bloqueo& bloqueo)
{
    for (qsizetype i = 0; i < bloqueo.acciones.size(); ++i) {
        if (bloqueo.acciones[i])
            bloqueo.acciones[i]->setEnabled(bloqueo.estados[i]);
    }
    control<QWidget>(u"Consulta"_s)->setEnabled(true);
    control<QToolBar>(u"tbToolBar"_s)->setEnabled(true);
    for (const QString& nombre : menusBloqueados())
        control<QMenu>(nombre)->menuAction()->setEnabled(true);
    accion(u"mnuSinNIEB"_s)->setEnabled(true);
    auto* barra = control<QToolBar>(u"tbToolBar"_s);
    for (const QString& clave : botonesBloqueados())
        barra->findChild<QAction*>(clave, Qt::FindDirectChildrenOnly)->setEnabled(true);
}

Resultado Ejecucion::VamosAlaTabla()
{
    if (m_enCurso)
        return NoHecho;
    const QScopedValueRollback enCurso(m_enCurso, true);
    QWidget* principal = m_anfitrion.principal;

    m_tabla.descargar();
    if (m_anfitrion.cerrarErrores)
        m_anfitrion.cerrarErrores();
    const Bloqueo bloqueo = bloquear();

    const bool verTabla = accion(u"mnuVerTabla"_s)->isChecked();
    if (verTabla) {
        m_tabla.ventana().show();
        principal->setEnabled(false);
    }

    Resultado resultado = NoHecho;
    {
        VistaTabla vista(m_estado, m_tabla, principal, m_anfitrion.mostrarErrorServidor);
        Recuperacion recuperacion(m_estado, m_plataforma.reloj, vista);
        if (m_intervalo >= 0)
            recuperacion.setIntervaloEventos(m_intervalo);
        db::OraSession* sesion = m_anfitrion.sesion ? m_anfitrion.sesion() : nullptr;
        if (db::OraDatabase* base = m_anfitrion.base ? m_anfitrion.base() : nullptr)
            resultado = recuperacion.RecuperarTabla(*base, sesion);
        else
            m_anfitrion.comprobarConexion();
    }

    Tabla* tabla = m_tabla.existente();
    if (resultado == Hecho && tabla) {
        tabla->setWindowTitle(m_estado.TituloTabla);
        const QScreen* pantalla = tabla->screen() ? tabla->screen() : QGuiApplication::primaryScreen();
        const QRect antes(tabla->izquierda(), tabla->arriba(), tabla->ancho(), tabla->alto());
        const QRect despues = ajustadaAPantalla(antes, Twips::desdePixeles(pantalla->geometry().size()));
        if (despues.width() != antes.width()) {
            tabla->ponerAncho(despues.width());
            tabla->ponerIzquierda(despues.left());
        }
        if (despues.height() != antes.height()) {
            tabla->ponerAlto(despues.height());
            tabla->ponerArriba(despues.top());
        }
        if (!verTabla)
            tabla->show();
    }
    if (verTabla)
        principal->setEnabled(true);
    desbloquear(bloqueo);
    if (tabla && tabla->isVisible()) {
        tabla->activateWindow();
        tabla->setFocus();
    }
    return resultado;
}

QRect ajustadaAPantalla(QRect ventana, QSize pantalla)
{
    if (ventana.width() > pantalla.width()) {
        ventana.setWidth(pantalla.width());
        ventana.moveLeft(0);
    }
    if (ventana.height() > pantalla.height()) {
        ventana.setHeight(pantalla.height());
        ventana.moveTop(0);
    }
    return ventana;
}
