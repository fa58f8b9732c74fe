#include "ComandosArchivo.h"

#include "DocumentoConsulta.h"
#include "EditorConsulta.h"
#include "FicheroConsulta.h"
#include "PunteroOcupado.h"

#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

using namespace Qt::StringLiterals;

ComandosArchivo::ComandosArchivo(
    Module1& estado, const Platform& plataforma, DocumentoConsulta& documento, EditorConsulta* editor, QWidget* ventana)
    : m_estado(estado)
    , m_plataforma(plataforma)
    , m_documento(documento)
    , m_editor(editor)
    , m_ventana(ventana)
{
    m_dialogo.filtro = filtroConsultas;
    m_dialogo.indiceFiltro = 2; // "*.?ql"
}

Resultado ComandosArchivo::PreguntarSalvar()
{
    if (!m_documento.modificado())
        return Hecho;
    const QString nombre = m_estado.FicheroActual.isEmpty() ? DocumentoConsulta::sinNombre : m_estado.FicheroActual;
    const Mensaje pregunta = Mensaje::preguntaSiNoCancelar(u"¿Salvar?"_s,
        u"La consulta ha sido modificada y no ha salvado los cambios.\r"
        u"¿Desea guardar las modificaciones en el fichero \r\""_s
            + nombre + u"\"?"_s);
    switch (m_plataforma.mensajes.mostrar(pregunta, m_ventana)) {
    case Respuesta::Si:
        // An unnamed query goes through "Guardar como..."; a save cancelled or failed there is a
        // Cancelar, so that the text is not dropped.
        if (mnuFileSave_Click() == Hecho)
            return Hecho;
        break;
    case Respuesta::No: return Hecho;
    case Respuesta::Aceptar:
    case Respuesta::Cancelar: break;
    }
    m_editor->setSelLength(0);
    return NoHecho;
}

void ComandosArchivo::mnuFileNew_Click()
{
    if (PreguntarSalvar() == NoHecho)
        return;
    m_editor->reemplazarTexto(u"SELECT "_s);
    m_estado.SentenciaSQL.clear();
    m_editor->setSelStart(7);
    m_estado.FicheroActual.clear();
    m_documento.setEtiqueta(DocumentoConsulta::sinNombre);
}

void ComandosArchivo::mnuFileOpen_Click()
{
    if (PreguntarSalvar() == NoHecho)
        return;
    OpcionesFichero opciones = m_dialogo;
    opciones.titulo = u"Abrir consulta SQL/NIEB"_s;
    const std::optional<EleccionFichero> eleccion = m_plataforma.dialogos.abrirFichero(opciones, m_ventana);
    if (!eleccion)
        return;
    recordar(*eleccion);
    m_documento.Leer_Fichero(eleccion->ruta);
}

Resultado ComandosArchivo::mnuFileSave_Click()
{
    if (m_estado.FicheroActual.isEmpty())
        return mnuFileSaveAs_Click();
    return escribir(m_estado.FicheroActual);
}

Resultado ComandosArchivo::mnuFileSaveAs_Click()
{
    OpcionesFichero opciones = m_dialogo;
    opciones.titulo = u"Guardar consulta SQL/NIEB como..."_s;
    opciones.extensionPorDefecto = u"vql"_s;
    const std::optional<EleccionFichero> eleccion = m_plataforma.dialogos.guardarFichero(opciones, m_ventana);
    if (!eleccion || eleccion->ruta.isEmpty())
        return NoHecho;
    recordar(*eleccion);
    return escribir(eleccion->ruta);
}

// Writes the text; the file becomes the document's name, unedited, only once it holds the text.
Resultado ComandosArchivo::escribir(const QString& ruta)
{
    FicheroConsulta::Escritura escritura;
    {
        PunteroOcupado puntero;
        escritura = FicheroConsulta::escribir(ruta, m_editor->toPlainText());
    }
    if (!escritura.hecha) {
        m_plataforma.mensajes.mostrar(Mensaje::aviso(u"Error de Escritura"_s,
                                          u"Imposible guardar el fichero "_s + ruta + u".\r- "_s + escritura.error
                                              + u"\rLa consulta sigue en el editor sin guardar."_s,
                                          Mensaje::Icono::Critico),
            m_ventana);
        return NoHecho;
    }
    m_estado.FicheroActual = ruta;
    m_documento.setEtiqueta(ruta);
    return Hecho;
}

void ComandosArchivo::recordar(const EleccionFichero& eleccion)
{
    m_dialogo.nombreFichero = eleccion.ruta;
    m_dialogo.carpetaInicial = QFileInfo(eleccion.ruta).absolutePath();
    m_dialogo.indiceFiltro = eleccion.indiceFiltro;
}

void ComandosArchivo::mnuFilePrint_Click()
{
    const bool conSeleccion = m_editor->selLength() > 0;
    const std::optional<RangoImpresion> rango = m_plataforma.dialogos.imprimir(
        {u"Imprimir texto de la Consulta"_s, conSeleccion, conSeleccion}, m_ventana);
    if (!rango)
        return;
    bool impreso = false;
    {
        PunteroOcupado puntero;
        if (*rango == RangoImpresion::Seleccion && conSeleccion) {
            QTextDocument seleccion;
            seleccion.setDefaultFont(m_editor->document()->defaultFont());
            QTextCursor(&seleccion).insertFragment(m_editor->textCursor().selection());
            impreso = m_plataforma.impresora.imprimirTexto(seleccion);
        } else {
            impreso = m_plataforma.impresora.imprimirTexto(*m_editor->document());
        }
    }
    if (!impreso) {
        m_plataforma.mensajes.mostrar(
            Mensaje::aviso(u"Nimbo: Aviso"_s, u"No se ha podido imprimir la consulta."_s, Mensaje::Icono::Critico),
            m_ventana);
    }
}

void ComandosArchivo::mnuConfigPrinter_Click()
{
    m_plataforma.dialogos.configurarImpresora(u"Configurar Impresora"_s, m_ventana);
}
