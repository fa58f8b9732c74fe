#pragma once

#include <QTextEdit>

#include <functional>

// The query editor: a rich-text editor whose text is formatted as a whole. It offers the selection
// operations of a classic rich-text box (selection start and length, and the selection's colour and
// font), keeps colours as stored colour values so that a system colour stays one, and toggles
// overwrite mode with the Insert key.
class EditorConsulta : public QTextEdit {
    Q_OBJECT
public:
    explicit EditorConsulta(QWidget* parent = nullptr);

    int longitudTexto() const;
    int selStart() const;
    int selLength() const;
    // The caret goes to the position, nothing selected.
    void setSelStart(int inicio);
    // Selects that many characters from the selection start.
    void setSelLength(int longitud);
    // The selected text, lines ended by "\n".
    QString selText() const;
    // Replaces the selection (or inserts at the caret) with a plain text in the editor's appearance;
    // the caret stands after it, nothing selected.
    void setSelText(const QString& texto);
    // Replaces the whole text and starts a new undo history; the new text keeps the editor's appearance.
    void reemplazarTexto(const QString& texto);

    // Attributes of the selection, read from its first character (or at the caret when empty);
    // setting one applies it to the whole selection.
    quint32 selColor() const;
    void setSelColor(quint32 valor);
    QString selFontName() const;
    void setSelFontName(const QString& nombre);
    double selFontSize() const;
    void setSelFontSize(double puntos);
    bool selBold() const;
    void setSelBold(bool activo);
    bool selItalic() const;
    void setSelItalic(bool activo);
    bool selStrikethru() const;
    void setSelStrikethru(bool activo);
    bool selUnderline() const;
    void setSelUnderline(bool activo);

    // Keys that a command of the window holds: the editor leaves them to the window instead of
    // acting on them itself (Ctrl+A, Ctrl+C and the like).
    void setAtajosDeVentana(std::function<bool(const QKeySequence&)> esDeVentana)
    {
        m_esDeVentana = std::move(esDeVentana);
    }

    // The background is a property of the editor, not of the text: changing it raises no change.
    quint32 backColor() const { return m_backColor; }
    void setBackColor(quint32 valor);

Q_SIGNALS:
    // Overwrite mode was switched with the Insert key.
    void modoSobrescrituraCambiado(bool sobrescribir);

protected:
    bool event(QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void changeEvent(QEvent* evento) override;

private:
    QTextCharFormat formatoSeleccion() const;
    void aplicarFormato(const QTextCharFormat& formato);
    void pintarColores();

    quint32 m_backColor;
    std::function<bool(const QKeySequence&)> m_esDeVentana;
};
