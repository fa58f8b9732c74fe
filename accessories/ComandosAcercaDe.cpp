#include "ComandosAcercaDe.h"

#include "frmSplash.h"

ComandosAcercaDe::ComandosAcercaDe(
    Module1& estado, const Platform& plataforma, EntornoAcercaDe entorno, const QIcon& logo, QWidget* principal)
    : QObject(principal)
    , m_estado(estado)
    , m_plataforma(plataforma)
    , m_entorno(std::move(entorno))
    , m_logo(logo)
    , m_principal(principal)
{
}

void ComandosAcercaDe::mnuHelpAbout_Click()
{
    frmAbout caja(m_estado, m_plataforma, m_entorno, m_principal);
    m_plataforma.modales.ejecutar(caja);
}

void ComandosAcercaDe::Picture1_Click()
{
    // A closed splash is on its way out (deleted once back in the event loop): a click makes a new one.
    if (!m_splash || !m_splash->isVisible()) {
        m_splash = new frmSplash(m_logo);
        m_splash->alPulsarLogo([this] { mnuHelpAbout_Click(); });
    }
    m_splash->show();
    m_splash->raise();
    m_splash->activateWindow();
}
