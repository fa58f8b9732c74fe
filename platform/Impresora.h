#pragma once

#include <QString>

#include <memory>

class QImage;
class QPrinter;
class QTextDocument;

// The program's printer: the one chosen in the print and printer set-up dialogs. Each call prints
// one document; false when it could not be printed (no printer, output not writable).
class Impresora {
public:
    virtual ~Impresora() = default;
    // Prints a rich text with its formatting, over as many pages as it needs.
    virtual bool imprimirTexto(const QTextDocument& texto) = 0;
    // Draws a picture on one page, its top left corner at the top left of the printable area, at its
    // own size (a picture of 96 dots an inch prints as large as it shows on such a screen).
    virtual bool imprimirImagen(const QImage& imagen) = 0;
};

// The printer through QPrinter. It is made on first use, so that a run that never prints does not
// look for printers.
class QtImpresora final : public Impresora {
public:
    QtImpresora();
    ~QtImpresora() override;

    bool imprimirTexto(const QTextDocument& texto) override;
    bool imprimirImagen(const QImage& imagen) override;

    // From now on every document goes to this PDF file, replaced at each print.
    void setSalidaPdf(const QString& ruta);
    QPrinter& qprinter();

private:
    std::unique_ptr<QPrinter> m_printer;
    QString m_salidaPdf;
};
