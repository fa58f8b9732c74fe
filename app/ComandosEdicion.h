#pragma once

class EditorConsulta;
class MessageBoxes;
class QWidget;

// The Edición menu's commands on the query editor, through the desktop clipboard's plain text.
namespace ComandosEdicion {

// The selection goes to the clipboard (an empty selection leaves it holding empty text) and out of
// the text.
void mnuEditCut_Click(EditorConsulta* editor);
void mnuEditCopy_Click(EditorConsulta* editor);
// The clipboard's text replaces the selection; an empty clipboard just removes it.
void mnuEditPaste_Click(EditorConsulta* editor);
void mnuSelTodo_Click(EditorConsulta* editor);
// Undo is not offered by the menu: the entry only says so.
void mnuEditUndo_Click(MessageBoxes& mensajes, QWidget* ventana);

} // namespace ComandosEdicion
