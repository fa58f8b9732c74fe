#include "EditorConsulta.h"

#include "ColorValue.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>

#include <algorithm>

namespace {
// The stored colour value of a stretch of text, kept beside its painted foreground.
constexpr int propiedadColor = QTextFormat::UserProperty + 1;
} // namespace

EditorConsulta::EditorConsulta(QWidget* parent)
    : QTextEdit(parent)
    , m_backColor(ColorValue::fondoVentana)
{
    // Pasted text takes the editor's formatting: the query has one appearance.
    setAcceptRichText(false);
    setTabChangesFocus(false);
    pintarColores();
}

int EditorConsulta::longitudTexto() const
{
    return document()->characterCount() - 1;
}

int EditorConsulta::selStart() const
{
    return textCursor().selectionStart();
}

int EditorConsulta::selLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void EditorConsulta::setSelStart(int inicio)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(inicio, 0, longitudTexto()));
    setTextCursor(cursor);
}

void EditorConsulta::setSelLength(int longitud)
{
    QTextCursor cursor = textCursor();
    const int inicio = cursor.selectionStart();
    cursor.setPosition(inicio);
    cursor.setPosition(std::clamp(inicio + longitud, inicio, longitudTexto()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString EditorConsulta::selText() const
{
    QString texto = textCursor().selectedText();
    // A selection across lines holds paragraph separators where the text has line ends.
    texto.replace(QChar::ParagraphSeparator, u'\n');
    texto.replace(QChar::LineSeparator, u'\n');
    return texto;
}

void EditorConsulta::setSelText(const QString& texto)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(texto);
    setTextCursor(cursor);
}

void EditorConsulta::reemplazarTexto(const QString& texto)
{
    QTextCursor primero(document());
    primero.setPosition(std::min(1, longitudTexto()));
    const QTextCharFormat apariencia = primero.charFormat();
    QTextCursor todo(document());
    todo.select(QTextCursor::Document);
    todo.insertText(texto, apariencia);
    // A new text starts a new history: undo must not bring back a text that belongs to another file.
    document()->clearUndoRedoStacks();
}

QTextCharFormat EditorConsulta::formatoSeleccion() const
{
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) {
        // A cursor reports the format of the character before it: stand after the first selected one.
        const int inicio = cursor.selectionStart();
        cursor.setPosition(inicio + 1);
    }
    return cursor.charFormat();
}

void EditorConsulta::aplicarFormato(const QTextCharFormat& formato)
{
    mergeCurrentCharFormat(formato);
    // With the whole text selected the format also goes to the empty paragraph ends, so that text
    // typed after deleting everything keeps the appearance.
    const QTextCursor cursor = textCursor();
    if (cursor.selectionStart() == 0 && cursor.selectionEnd() == longitudTexto()) {
        for (QTextBlock bloque = document()->begin(); bloque.isValid(); bloque = bloque.next()) {
            QTextCursor enBloque(bloque);
            enBloque.mergeBlockCharFormat(formato);
        }
    }
}

quint32 EditorConsulta::selColor() const
{
    const QTextCharFormat formato = formatoSeleccion();
    if (formato.hasProperty(propiedadColor))
        return quint32(formato.property(propiedadColor).toULongLong());
    if (formato.hasProperty(QTextFormat::ForegroundBrush))
        return ColorValue::desdeColor(formato.foreground().color());
    return ColorValue::textoVentana;
}

void EditorConsulta::setSelColor(quint32 valor)
{
    QTextCharFormat formato;
    formato.setForeground(ColorValue::aColor(valor, palette()));
    formato.setProperty(propiedadColor, qulonglong(valor));
    aplicarFormato(formato);
}

QString EditorConsulta::selFontName() const
{
    const QStringList familias = formatoSeleccion().fontFamilies().toStringList();
    return familias.isEmpty() ? font().family() : familias.constFirst();
}

void EditorConsulta::setSelFontName(const QString& nombre)
{
    // The name is kept as given; a face that is not installed is substituted when drawing.
    QTextCharFormat formato;
    formato.setFontFamilies({nombre});
    aplicarFormato(formato);
}

double EditorConsulta::selFontSize() const
{
    const double puntos = formatoSeleccion().fontPointSize();
    return puntos > 0 ? puntos : font().pointSizeF();
}

void EditorConsulta::setSelFontSize(double puntos)
{
    QTextCharFormat formato;
    formato.setFontPointSize(puntos);
    aplicarFormato(formato);
}

bool EditorConsulta::selBold() const
{
    return formatoSeleccion().fontWeight() >= QFont::Bold;
}

void EditorConsulta::setSelBold(bool activo)
{
    QTextCharFormat formato;
    formato.setFontWeight(activo ? QFont::Bold : QFont::Normal);
    aplicarFormato(formato);
}

bool EditorConsulta::selItalic() const
{
    return formatoSeleccion().fontItalic();
}

void EditorConsulta::setSelItalic(bool activo)
{
    QTextCharFormat formato;
    formato.setFontItalic(activo);
    aplicarFormato(formato);
}

bool EditorConsulta::selStrikethru() const
{
    return formatoSeleccion().fontStrikeOut();
}

void EditorConsulta::setSelStrikethru(bool activo)
{
    QTextCharFormat formato;
    formato.setFontStrikeOut(activo);
    aplicarFormato(formato);
}

bool EditorConsulta::selUnderline() const
{
    return formatoSeleccion().fontUnderline();
}

void EditorConsulta::setSelUnderline(bool activo)
{
    QTextCharFormat formato;
    formato.setFontUnderline(activo);
    aplicarFormato(formato);
}

void EditorConsulta::setBackColor(quint32 valor)
{
    m_backColor = valor;
    pintarColores();
}

void EditorConsulta::pintarColores()
{
    QPalette paleta = palette();
    paleta.setColor(QPalette::Base, ColorValue::aColor(m_backColor, QApplication::palette()));
    setPalette(paleta);
}

void EditorConsulta::changeEvent(QEvent* evento)
{
    // A system background follows the desktop's colours when they change.
    if (evento->type() == QEvent::ApplicationPaletteChange && ColorValue::esDeSistema(m_backColor))
        pintarColores();
    QTextEdit::changeEvent(evento);
}

bool EditorConsulta::event(QEvent* evento)
{
    if (evento->type() == QEvent::ShortcutOverride && m_esDeVentana
        && m_esDeVentana(QKeySequence(static_cast<QKeyEvent*>(evento)->keyCombination()))) {
        evento->ignore();
        return false;
    }
    return QTextEdit::event(evento);
}

void EditorConsulta::keyPressEvent(QKeyEvent* evento)
{
    if (evento->key() == Qt::Key_Insert && evento->modifiers() == Qt::NoModifier) {
        setOverwriteMode(!overwriteMode());
        Q_EMIT modoSobrescrituraCambiado(overwriteMode());
        return;
    }
    QTextEdit::keyPressEvent(evento);
}
