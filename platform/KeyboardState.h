#pragma once

#include <QObject>

// Lock-key state of the keyboard, for the status bar indicators.
class KeyboardState {
public:
    virtual ~KeyboardState() = default;
    virtual bool bloqMayus() const = 0;
};

// Asks the X server for the Caps Lock indicator when the program runs on X11. Elsewhere (Wayland,
// offscreen) there is no portable query, so it follows the Caps Lock presses the application receives.
class SystemKeyboardState final : public QObject, public KeyboardState {
    Q_OBJECT
public:
    explicit SystemKeyboardState(QObject* parent = nullptr);
    bool bloqMayus() const override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    bool m_pulsado = false;
};
