#pragma once

#include "frmAbout.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

class frmSplash;

// The main window's About entry and its indicator's click: the About box, modal and owned by the main
// window, and the splash, not modal. Lives as a child of the main window.
class ComandosAcercaDe : public QObject {
    Q_OBJECT
public:
    ComandosAcercaDe(Module1& estado, const Platform& plataforma, EntornoAcercaDe entorno, const QIcon& logo,
        QWidget* principal);

    // Opens a new About box and waits for it to close.
    void mnuHelpAbout_Click();
    // Shows the splash, or brings it to the front when it is already shown.
    void Picture1_Click();
    // The splash on screen, if any.
    frmSplash* splash() const { return m_splash; }

private:
    Module1& m_estado;
    Platform m_plataforma;
    EntornoAcercaDe m_entorno;
    QIcon m_logo;
    QWidget* m_principal;
    QPointer<frmSplash> m_splash;
};
