#pragma once

#include "AjustesEditor.h"
#include "Platform.h"

class DocumentoConsulta;
class EditorConsulta;
class QWidget;
struct Module1;

// The Opciones menu's commands on the editor's appearance: font, text colour, background and the
// defaults. The text is always formatted as a whole. A new font or the defaults count as an edit of
// the query; colours do not. Cancelling a dialog changes nothing, the selection included.
class ComandosApariencia {
public:
    ComandosApariencia(Module1& estado, const Platform& plataforma, DocumentoConsulta& documento,
        EditorConsulta* editor, QWidget* ventana);

    // What "Valores por defecto" gives: Courier 10 in the desktop's window colours.
    static AparienciaEditor valoresPorDefecto();

    void mnuFonts_Click();
    void mnuForeColor_Click();
    void mnuBackColor_Click();
    void mnuValoresDefecto_Click();

private:
    void seleccionarPrimerCaracter();
    void seleccionarTodo();
    void caretAlFinal();
    // A step that changes how the query looks as an edit of it, whether or not the editor says so.
    void edicion();

    Module1& m_estado;
    Platform m_plataforma;
    DocumentoConsulta& m_documento;
    EditorConsulta* m_editor;
    QWidget* m_ventana;
};
