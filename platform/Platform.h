#pragma once

#include "Clock.h"
#include "Dialogos.h"
#include "EjecutorModal.h"
#include "Impresora.h"
#include "KeyboardState.h"
#include "Lanzador.h"
#include "MessageBoxes.h"
#include "SettingsStore.h"
#include "VisorAyuda.h"

// Everything the program's logic needs from the outside world, handed to those who need it.
// Tests build one from fakes.
struct Platform {
    MessageBoxes& mensajes;
    SettingsStore& ajustes;
    Clock& reloj;
    KeyboardState& teclado;
    Dialogos& dialogos;
    Impresora& impresora;
    VisorAyuda& ayuda;
    EjecutorModal& modales;
    Lanzador& programas;
};

// The real outside world: Qt message boxes, the user's settings, the system clock and keyboard, the
// desktop's programs.
class SystemPlatform {
public:
    Platform servicios()
    {
        return {m_mensajes, m_ajustes, m_reloj, m_teclado, m_dialogos, m_impresora, m_ayuda, m_modales, m_programas};
    }

private:
    QtMessageBoxes m_mensajes;
    QSettingsStore m_ajustes;
    SystemClock m_reloj;
    SystemKeyboardState m_teclado;
    QtImpresora m_impresora; // before the dialogs, which set it up
    QtDialogos m_dialogos{m_impresora};
    CarpetaAyuda m_ayuda;
    QtEjecutorModal m_modales;
    QtLanzador m_programas;
};
