#include "ComandosEdicion.h"

#include "EditorConsulta.h"
#include "MessageBoxes.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace ComandosEdicion {

void mnuEditCut_Click(EditorConsulta* editor)
{
    mnuEditCopy_Click(editor);
    editor->setSelText(QString());
}

void mnuEditCopy_Click(EditorConsulta* editor)
{
    QClipboard* portapapeles = QGuiApplication::clipboard();
    portapapeles->clear();
    portapapeles->setText(editor->selText());
}

void mnuEditPaste_Click(EditorConsulta* editor)
{
    editor->setSelText(QGuiApplication::clipboard()->text());
}

void mnuSelTodo_Click(EditorConsulta* editor)
{
    editor->setSelStart(0);
    editor->setSelLength(editor->longitudTexto());
}

void mnuEditUndo_Click(MessageBoxes& mensajes, QWidget* ventana)
{
    mensajes.mostrar(
        Mensaje::aviso(u"Nimbo"_s, u"Aquí se sitúa el código para deshacer"_s, Mensaje::Icono::Ninguno), ventana);
}

} // namespace ComandosEdicion
