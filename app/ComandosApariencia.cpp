#include "ComandosApariencia.h"

#include "DocumentoConsulta.h"
#include "EditorConsulta.h"
#include "Module1.h"

using namespace Qt::StringLiterals;

namespace {

// The editor's selection, to put back when a dialog is cancelled.
struct Seleccion {
    explicit Seleccion(const EditorConsulta* editor)
        : inicio(editor->selStart())
        , longitud(editor->selLength())
    {
    }
    void restaurar(EditorConsulta* editor) const
    {
        editor->setSelStart(inicio);
        editor->setSelLength(longitud);
    }
    int inicio;
    int longitud;
};

} // namespace

ComandosApariencia::ComandosApariencia(
    Module1& estado, const Platform& plataforma, DocumentoConsulta& documento, EditorConsulta* editor, QWidget* ventana)
    : m_estado(estado)
    , m_plataforma(plataforma)
    , m_documento(documento)
    , m_editor(editor)
    , m_ventana(ventana)
{
}

AparienciaEditor ComandosApariencia::valoresPorDefecto()
{
    AparienciaEditor a;
    a.fuente = u"Courier"_s;
    a.tamano = 10;
    return a;
}

void ComandosApariencia::seleccionarPrimerCaracter()
{
    m_editor->setSelStart(0);
    m_editor->setSelLength(1);
}

void ComandosApariencia::seleccionarTodo()
{
    m_editor->setSelStart(0);
    m_editor->setSelLength(m_editor->longitudTexto());
}

void ComandosApariencia::caretAlFinal()
{
    m_editor->setSelStart(m_editor->longitudTexto());
}

void ComandosApariencia::edicion()
{
    m_documento.marcarModificado();
    m_estado.SentenciaSQL.clear();
}

void ComandosApariencia::mnuFonts_Click()
{
    const Seleccion antes(m_editor);
    seleccionarPrimerCaracter();
    EleccionFuente actual;
    actual.nombre = m_editor->selFontName();
    actual.tamano = m_editor->selFontSize();
    actual.negrita = m_editor->selBold();
    actual.cursiva = m_editor->selItalic();
    actual.tachado = m_editor->selStrikethru();
    actual.subrayado = m_editor->selUnderline();
    actual.color = m_editor->selColor();
    const std::optional<EleccionFuente> elegida = m_plataforma.dialogos.fuente(actual, m_ventana);
    if (!elegida) {
        antes.restaurar(m_editor);
        return;
    }
    seleccionarTodo();
    m_editor->setSelFontName(elegida->nombre);
    edicion();
    const auto propio = [this](auto&& paso) {
        CambioPropio cambio(m_estado);
        paso();
    };
    propio([&] { m_editor->setSelFontSize(elegida->tamano); });
    propio([&] { m_editor->setSelBold(elegida->negrita); });
    propio([&] { m_editor->setSelItalic(elegida->cursiva); });
    propio([&] { m_editor->setSelStrikethru(elegida->tachado); });
    propio([&] { m_editor->setSelUnderline(elegida->subrayado); });
    propio([&] { m_editor->setSelColor(elegida->color); });
    caretAlFinal();
}

void ComandosApariencia::mnuForeColor_Click()
{
    const Seleccion antes(m_editor);
    seleccionarPrimerCaracter();
    const std::optional<quint32> color = m_plataforma.dialogos.color(m_editor->selColor(), m_ventana);
    if (!color) {
        antes.restaurar(m_editor);
        return;
    }
    seleccionarTodo();
    {
        CambioPropio cambio(m_estado);
        m_editor->setSelColor(*color);
    }
    caretAlFinal();
}

void ComandosApariencia::mnuBackColor_Click()
{
    const std::optional<quint32> color = m_plataforma.dialogos.color(m_editor->backColor(), m_ventana);
    if (color)
        m_editor->setBackColor(*color);
}

void ComandosApariencia::mnuValoresDefecto_Click()
{
    const AparienciaEditor a = valoresPorDefecto();
    seleccionarTodo();
    m_editor->setSelColor(a.colorTexto);
    m_editor->setBackColor(a.colorFondo);
    m_editor->setSelFontName(a.fuente);
    m_editor->setSelFontSize(a.tamano);
    m_editor->setSelBold(a.negrita);
    m_editor->setSelItalic(a.cursiva);
    m_editor->setSelStrikethru(a.tachado);
    m_editor->setSelUnderline(a.subrayado);
    edicion();
    caretAlFinal();
}
