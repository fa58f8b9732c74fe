#pragma once

#include <QString>

#include <optional>

class QWidget;
class QtImpresora;

// What an open or save dialog is shown with. The caller keeps what it wants remembered between uses
// (folder, file name, filter) and hands it in again.
struct OpcionesFichero {
    QString titulo;
    // Pairs of description and pattern separated by "|":
    // "Todos los archivos (*.*)|*.*|Ficheros de consulta NIEB (*.vql)|*.vql".
    QString filtro;
    int indiceFiltro = 1; // the filter shown first, counted from 1
    QString carpetaInicial;
    QString nombreFichero; // preset file name (a bare name or a full path)
    // Added, after a dot, to a name chosen without an extension; empty adds nothing.
    QString extensionPorDefecto;

    // The chosen name with the default extension added when it has none.
    QString completar(const QString& ruta) const;
};

// The file chosen in an open or save dialog, and the filter that was showing.
struct EleccionFichero {
    QString ruta; // full path
    int indiceFiltro = 1;
};

// A font as the font dialog presents and returns it, with the text colour that goes with it.
struct EleccionFuente {
    QString nombre;
    double tamano = 8; // points
    bool negrita = false;
    bool cursiva = false;
    bool tachado = false;
    bool subrayado = false;
    quint32 color = 0x80000008u; // stored colour value, not offered by the dialog: it comes back as given

    bool operator==(const EleccionFuente&) const = default;
};

// What is to be printed, as chosen in the print dialog.
enum class RangoImpresion { Todo, Seleccion };

struct OpcionesImpresion {
    QString titulo;
    bool seleccionPosible = false; // the "selection" choice is offered
    bool seleccionMarcada = false; // ... and preset
};

// The standard dialogs of the desktop: open and save a file, font, colour, print and printer set-up.
// Every one returns nothing (or false) when the user cancels it. The program's logic shows them only
// through this seam.
class Dialogos {
public:
    virtual ~Dialogos() = default;
    // Open dialog; the chosen file need not exist.
    virtual std::optional<EleccionFichero> abrirFichero(const OpcionesFichero& opciones, QWidget* propietario = nullptr)
        = 0;
    // Save dialog; it does not ask before an existing file is replaced.
    virtual std::optional<EleccionFichero> guardarFichero(
        const OpcionesFichero& opciones, QWidget* propietario = nullptr)
        = 0;
    // Font dialog without the effects group: face, size, bold and italic are offered; strikethrough,
    // underline and colour come back as given.
    virtual std::optional<EleccionFuente> fuente(const EleccionFuente& inicial, QWidget* propietario = nullptr) = 0;
    // Colour dialog; colours are stored colour values (see ColorValue).
    virtual std::optional<quint32> color(quint32 inicial, QWidget* propietario = nullptr) = 0;
    // Print dialog for the program's printer: no print-to-file box, no page range. What the user sets
    // there (printer, orientation, copies) stays with the printer.
    virtual std::optional<RangoImpresion> imprimir(const OpcionesImpresion& opciones, QWidget* propietario = nullptr)
        = 0;
    // Printer set-up dialog for the program's printer; false when cancelled.
    virtual bool configurarImpresora(const QString& titulo, QWidget* propietario = nullptr) = 0;
};

// The real dialogs: Qt's file, font and colour dialogs, and the print dialogs of the given printer.
class QtDialogos final : public Dialogos {
public:
    explicit QtDialogos(QtImpresora& impresora)
        : m_impresora(impresora)
    {
    }

    std::optional<EleccionFichero> abrirFichero(const OpcionesFichero& opciones, QWidget* propietario) override;
    std::optional<EleccionFichero> guardarFichero(const OpcionesFichero& opciones, QWidget* propietario) override;
    std::optional<EleccionFuente> fuente(const EleccionFuente& inicial, QWidget* propietario) override;
    std::optional<quint32> color(quint32 inicial, QWidget* propietario) override;
    std::optional<RangoImpresion> imprimir(const OpcionesImpresion& opciones, QWidget* propietario) override;
    bool configurarImpresora(const QString& titulo, QWidget* propietario) override;

private:
    QtImpresora& m_impresora;
};
