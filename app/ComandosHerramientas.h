#pragma once

#include "Platform.h"

#include <QString>

class QWidget;

namespace ProgramasEscritorio {
struct Herramienta;
}

// The Herramientas menu's desktop tools and the Ayuda menu's help files. None of them touches the
// query or the database; each tells the user of its own failure.
class ComandosHerramientas {
public:
    // ficheroAyuda: the application's help file, empty when none is installed; carpetaPrograma: the
    // folder of the executable, which holds the vendor's messages file.
    ComandosHerramientas(
        const Platform& plataforma, QWidget* ventana, const QString& ficheroAyuda, const QString& carpetaPrograma);

    // The vendor's messages file beside the program.
    static QString ficheroMensajesOra(const QString& carpetaPrograma);

    // Starts the tool; when neither of its programs starts, says so and disables its entry.
    void herramienta_Click(const ProgramasEscritorio::Herramienta& herramienta);
    void mnuHelpContents_Click();
    void mnuHelpSearch_Click();
    void mnuMsgsOra_Click();

private:
    void mostrarAyuda(const PeticionAyuda& peticion);
    void avisar(const QString& titulo, const QString& texto);

    Platform m_plataforma;
    QWidget* m_ventana;
    QString m_ficheroAyuda;
    QString m_carpetaPrograma;
};
