#include "DocumentoConsulta.h"

#include "EditorConsulta.h"
#include "FicheroConsulta.h"
#include "Module1.h"
#include "Platform.h"
#include "PunteroOcupado.h"

#include <QGroupBox>

using namespace Qt::StringLiterals;

namespace {
const QString prefijoModificado = u"» "_s;
} // namespace

DocumentoConsulta::DocumentoConsulta(
    Module1& estado, const Platform& plataforma, EditorConsulta* editor, QGroupBox* marco, QObject* parent)
    : QObject(parent)
    , m_estado(estado)
    , m_plataforma(plataforma)
    , m_editor(editor)
    , m_marco(marco)
{
    setEtiqueta(sinNombre);
}

void DocumentoConsulta::setEtiqueta(const QString& etiqueta)
{
    m_etiqueta = etiqueta;
    // A frame caption takes "&" as an access key; a file name shows it as it is.
    m_marco->setTitle(QString(etiqueta).replace(u'&', u"&&"_s));
}

bool DocumentoConsulta::modificado() const
{
    return m_etiqueta.startsWith(u'»');
}

void DocumentoConsulta::marcarModificado()
{
    if (!modificado())
        setEtiqueta(prefijoModificado + m_etiqueta);
}

void DocumentoConsulta::Leer_Fichero(const QString& NombreF)
{
    if (NombreF.isEmpty())
        return;
    PunteroOcupado puntero;
    const FicheroConsulta::Lectura lectura = FicheroConsulta::leer(NombreF);
    switch (lectura.estado) {
    case FicheroConsulta::Lectura::Estado::DemasiadoGrande:
        m_plataforma.mensajes.mostrar(Mensaje::aviso(u"Imposible abrir fichero"_s,
            u"Fichero "_s + NombreF
                + u" demasiado extenso para editarlo aquí. Seguramente no se trata de una consulta SQL/NIEB."_s
                + u"\r- Tamaño del fichero: "_s + QString::number(lectura.tamano) + u" bytes."_s
                + u"\r- Tamaño máximo de fichero: 32768 bytes (32KB)."_s,
            Mensaje::Icono::Critico));
        return;
    case FicheroConsulta::Lectura::Estado::Ilegible:
        m_plataforma.mensajes.mostrar(
            Mensaje::aviso(u"Error de Lectura"_s, u"Imposible abrir el fichero."_s, Mensaje::Icono::Critico));
        return;
    case FicheroConsulta::Lectura::Estado::Leido: break;
    }
    m_estado.FicheroActual = NombreF;
    setEtiqueta(NombreF);
    {
        CambioPropio cambio(m_estado);
        m_editor->reemplazarTexto(lectura.texto);
    }
    m_estado.SentenciaSQL.clear();
}
