#pragma once

#include "Clock.h"
#include "Dialogos.h"
#include "Impresora.h"
#include "KeyboardState.h"
#include "MessageBoxes.h"
#include "SettingsStore.h"

// Everything the program's logic needs from the outside world, handed to those who need it.
// Tests build one from fakes.
struct Platform {
    MessageBoxes& mensajes;
    SettingsStore& ajustes;
    Clock& reloj;
    KeyboardState& teclado;
    Dialogos& dialogos;
    Impresora& impresora;
};

// The real outside world: Qt message boxes, the user's settings, the system clock and keyboard.
class SystemPlatform {
public:
    Platform servicios() { return {m_mensajes, m_ajustes, m_reloj, m_teclado, m_dialogos, m_impresora}; }

private:
    QtMessageBoxes m_mensajes;
    QSettingsStore m_ajustes;
    SystemClock m_reloj;
    SystemKeyboardState m_teclado;
    QtImpresora m_impresora; // before the dialogs, which set it up
    QtDialogos m_dialogos{m_impresora};
};
