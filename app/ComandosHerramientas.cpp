#include "ComandosHerramientas.h"

#include "ProgramasEscritorio.h"

#include <QDir>
#include <QWidget>

using namespace Qt::StringLiterals;

ComandosHerramientas::ComandosHerramientas(
    const Platform& plataforma, QWidget* ventana, const QString& ficheroAyuda, const QString& carpetaPrograma)
    : m_plataforma(plataforma)
    , m_ventana(ventana)
    , m_ficheroAyuda(ficheroAyuda)
    , m_carpetaPrograma(carpetaPrograma)
{
}

QString ComandosHerramientas::ficheroMensajesOra(const QString& carpetaPrograma)
{
    return QDir(carpetaPrograma).filePath(u"Ora.hlp"_s);
}

void ComandosHerramientas::herramienta_Click(const ProgramasEscritorio::Herramienta& herramienta)
{
    if (ProgramasEscritorio::iniciar(m_plataforma.programas, herramienta))
        return;
    avisar(ProgramasEscritorio::tituloNoEncontrado, herramienta.mensaje);
    ProgramasEscritorio::deshabilitar(m_ventana, herramienta.entrada);
}

void ComandosHerramientas::mnuHelpContents_Click()
{
    if (m_ficheroAyuda.isEmpty()) {
        avisar(m_ventana ? m_ventana->windowTitle() : u"Nimbo"_s,
            u"Imposible mostrar los contenidos de la Ayuda. No hay una Ayuda asociada con este proyecto."_s);
        return;
    }
    mostrarAyuda({m_ficheroAyuda, PeticionAyuda::Orden::Contenido, 0});
}

void ComandosHerramientas::mnuHelpSearch_Click()
{
    avisar(u"Error"_s, u"Fichero de ayuda no encontrado."_s);
}

void ComandosHerramientas::mnuMsgsOra_Click()
{
    mostrarAyuda({ficheroMensajesOra(m_carpetaPrograma), PeticionAyuda::Orden::Contexto, 0});
}

void ComandosHerramientas::mostrarAyuda(const PeticionAyuda& peticion)
{
    if (const std::optional<QString> fallo = m_plataforma.ayuda.mostrar(peticion, m_ventana))
        avisar(u"Error"_s, *fallo);
}

void ComandosHerramientas::avisar(const QString& titulo, const QString& texto)
{
    m_plataforma.mensajes.mostrar(Mensaje::aviso(titulo, texto, Mensaje::Icono::Informacion), m_ventana);
}
