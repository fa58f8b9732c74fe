#include "KeyboardState.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <optional>

namespace {
std::optional<bool> bloqMayusX11();
} // namespace

SystemKeyboardState::SystemKeyboardState(QObject* parent)
    : QObject(parent)
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

bool SystemKeyboardState::bloqMayus() const
{
    return bloqMayusX11().value_or(m_pulsado);
}

bool SystemKeyboardState::eventFilter(QObject* objeto, QEvent* evento)
{
    // One key press reaches the filter once per object on its way; count it at its window only.
    if (evento->type() == QEvent::KeyPress && objeto->isWindowType()) {
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->key() == Qt::Key_CapsLock && !tecla->isAutoRepeat())
            m_pulsado = !m_pulsado;
    }
    return false;
}

// Xlib's headers define macros (KeyPress, Bool, ...) that clash with Qt's names: they come last.
#ifdef NIMBO_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace {

std::optional<bool> bloqMayusX11()
{
#ifdef NIMBO_HAVE_X11
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        unsigned int indicadores = 0;
        if (XkbGetIndicatorState(x11->display(), XkbUseCoreKbd, &indicadores) == Success)
            return (indicadores & 0x1u) != 0; // the first indicator is Caps Lock
    }
#endif
    return std::nullopt;
}

} // namespace
