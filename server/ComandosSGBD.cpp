#include "ComandosSGBD.h"

#include "Module1.h"
#include "NavegadorErrores.h"
#include "OraDatabase.h"
#include "PunteroOcupado.h"
#include "SesionSGBD.h"
#include "TraduccionServidor.h"
#include "Twips.h"
#include "VerErrores.h"
#include "frmLogOraError.h"
#include "frmLogin.h"

#include <QGuiApplication>
#include <QScreen>

using namespace Qt::StringLiterals;

ComandosSGBD::ComandosSGBD(Module1& estado, const Platform& plataforma, AnfitrionSGBD anfitrion, QObject* parent)
    : QObject(parent)
    , m_estado(estado)
    , m_plataforma(plataforma)
    , m_anfitrion(std::move(anfitrion))
{
}

ComandosSGBD::~ComandosSGBD()
{
    delete m_verErrores.data();
}

VerErrores* ComandosSGBD::verErrores() const
{
    return m_verErrores;
}

void ComandosSGBD::mostrarLogin()
{
    frmLogin login(m_estado, m_plataforma, m_anfitrion.ventana);
    m_plataforma.modales.ejecutar(login);
}

void ComandosSGBD::mnuConnect_Click()
{
    auto& c = m_estado.conexion;
    try {
        if (c.conectado) {
            const Respuesta r = m_plataforma.mensajes.mostrar(
                Mensaje::preguntaSiNo(u"¡Ya conectado!"_s,
                    u"Ya está conectado como usuario %1 a la base de datos %2.\r¿Desea conectarse con otros datos?"_s
                        .arg(c.usuario, c.baseDeDatos)),
                m_anfitrion.ventana);
            if (r != Respuesta::Si)
                return;
            mostrarLogin();
            // Connected still, with the new names or, when the login failed, the old ones.
            m_anfitrion.indicador(true, c.usuario);
            m_estado.SentenciaSQL.clear();
            return;
        }
        mostrarLogin();
        if (c.conectado) {
            m_anfitrion.indicador(true, c.usuario);
            m_estado.SentenciaSQL.clear();
        } else {
            m_anfitrion.indicador(false, {});
        }
    } catch (const std::exception&) {
        m_plataforma.mensajes.mostrar(
            Mensaje::aviso(u"Error de conexión"_s,
                u"Error en la conexión al SGBD Oracle: Revise que todo esté correctamente instalado."_s,
                Mensaje::Icono::Informacion),
            m_anfitrion.ventana);
    }
}

void ComandosSGBD::mnuDesconectar_Click()
{
    auto& c = m_estado.conexion;
    if (!c.conectado) {
        m_plataforma.mensajes.mostrar(Mensaje::aviso(u"Nimbo: Desconexión imposible"_s,
                                          u"No está conectado a ningún SGBD Oracle"_s, Mensaje::Icono::Informacion),
            m_anfitrion.ventana);
        return;
    }
    const Respuesta r = m_plataforma.mensajes.mostrar(
        Mensaje::preguntaSiNo(u"¿Desconectar?"_s,
            u"Desea desconectarse como usuario %1 de la base de datos %2?"_s.arg(c.usuario, c.baseDeDatos)),
        m_anfitrion.ventana);
    if (r != Respuesta::Si)
        return;
    PunteroOcupado puntero;
    c.conectado = false;
    m_estado.SentenciaSQL.clear();
    m_anfitrion.indicador(false, {});
    if (c.servidorUsado)
        sesion::finSesionServidor(c);
}

bool ComandosSGBD::comprobarConexion()
{
    if (m_estado.conexion.conectado)
        return true;
    m_plataforma.mensajes.mostrar(
        Mensaje::aviso(u"Nimbo: Aviso"_s, u"Debe conectarse antes al SGBD."_s, Mensaje::Icono::Informacion),
        m_anfitrion.ventana);
    return false;
}

int ComandosSGBD::TraducirConsulta(const QString& consulta)
{
    std::optional<servidor::Fallo> fallo;
    {
        PunteroOcupado puntero;
        fallo = sesion::traducirConsulta(m_estado, consulta, m_plataforma.reloj);
    }
    if (fallo) {
        mostrarErrorServidor(*fallo);
        return NoHecho;
    }
    return Hecho;
}

void ComandosSGBD::mostrarErrorServidor(const servidor::Fallo& fallo)
{
    frmLogOraError dialogo(
        m_plataforma, m_estado.conexion.sesion, m_estado.conexion.base, fallo, m_anfitrion.ventana);
    m_plataforma.modales.ejecutar(dialogo);
}

void ComandosSGBD::cerrarErrores()
{
    if (m_verErrores)
        m_verErrores->close();
}

void ComandosSGBD::MostrarErrores()
{
    cerrarErrores();
    std::unique_ptr<servidor::NavegadorErrores> errores;
    try {
        if (!m_estado.conexion.base)
            throw std::runtime_error("no hay ninguna base de datos abierta");
        errores = std::make_unique<servidor::NavegadorErrores>(
            m_estado.numErrores, m_estado.conexion.base->DbCreateDynaset(servidor::consultaErrores, 0));
    } catch (const std::exception& e) {
        mostrarErrorServidor(servidor::falloDe(e));
        return;
    }
    m_verErrores = new VerErrores(std::move(errores), m_anfitrion.ventana);
    colocarBajoPrincipal(m_verErrores);
    m_verErrores->show();
}

void ComandosSGBD::mnuTraducir_Click()
{
    if (!comprobarConexion())
        return;
    if (m_estado.SentenciaSQL.isEmpty()) {
        if (TraducirConsulta(m_anfitrion.textoConsulta()) != Hecho)
            return;
        if (m_estado.numErrores != 0) {
            MostrarErrores();
            return;
        }
        cerrarErrores();
    }
    mostrarTraducida();
}

void ComandosSGBD::mostrarTraducida()
{
    Traducida ventana(m_estado, m_plataforma, m_anfitrion.ventana);
    colocarBajoPrincipal(&ventana);
    ventana.aplicarApariencia(m_anfitrion.apariencia());
    m_plataforma.modales.ejecutar(ventana);
}

void ComandosSGBD::colocarBajoPrincipal(QWidget* ventana) const
{
    const QWidget* principal = m_anfitrion.ventana;
    if (!principal)
        return;
    const QScreen* pantalla = principal->screen() ? principal->screen() : QGuiApplication::primaryScreen();
    const QPoint esquina = principal->frameGeometry().topLeft();
    QPoint destino(esquina.x(), esquina.y() + Twips::aPixeles(4100));
    if (pantalla) {
        const QRect area = pantalla->geometry();
        const int alto = ventana->frameGeometry().height();
        if (destino.y() + alto > area.bottom() + 1)
            destino.setY(area.bottom() + 1 - alto);
    }
    ventana->move(destino);
}

void ComandosSGBD::Form_Unload()
{
    if (m_estado.conexion.conectado && m_estado.conexion.servidorUsado)
        sesion::finSesionServidor(m_estado.conexion);
}
