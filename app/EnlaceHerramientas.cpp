#include "EnlaceHerramientas.h"

#include "ComandosHerramientas.h"
#include "ProgramasEscritorio.h"
#include "frmMain.h"

#include <QCoreApplication>

#include <memory>

using namespace Qt::StringLiterals;

void enlazarHerramientas(frmMain& principal, const Platform& plataforma)
{
    // The commands live as long as the window keeps the entries' commands.
    const auto comandos = std::make_shared<ComandosHerramientas>(
        plataforma, &principal, QString::fromUtf8(NIMBO_FICHERO_AYUDA), QCoreApplication::applicationDirPath());
    for (const ProgramasEscritorio::Herramienta& h : ProgramasEscritorio::herramientas())
        principal.registrarComando(h.entrada, [comandos, &h] { comandos->herramienta_Click(h); });
    principal.registrarComando(u"mnuHelpContents"_s, [comandos] { comandos->mnuHelpContents_Click(); });
    principal.registrarComando(u"mnuHelpSearch"_s, [comandos] { comandos->mnuHelpSearch_Click(); });
    principal.registrarComando(u"mnuMsgsOra"_s, [comandos] { comandos->mnuMsgsOra_Click(); });
}
