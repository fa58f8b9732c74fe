#pragma once

#include <QString>

class QWidget;

// The answer a message box gave.
enum class Respuesta { Aceptar, Si, No, Cancelar };

// A modal message: title, text, icon and buttons. Line breaks inside the text are single carriage
// returns ("\r"), as the program's messages are written.
struct Mensaje {
    enum class Icono { Ninguno, Critico, Pregunta, Informacion };
    enum class Botones { Aceptar, SiNo, SiNoCancelar };

    QString titulo;
    QString texto;
    Icono icono = Icono::Ninguno;
    Botones botones = Botones::Aceptar;
    Respuesta porDefecto = Respuesta::Aceptar;

    // A notice with an OK button.
    static Mensaje aviso(const QString& titulo, const QString& texto, Icono icono);
    // A yes/no question; it defaults to No.
    static Mensaje preguntaSiNo(const QString& titulo, const QString& texto);
    // A yes/no/cancel question; it defaults to Cancelar.
    static Mensaje preguntaSiNoCancelar(const QString& titulo, const QString& texto);

    bool operator==(const Mensaje&) const = default;
};

// Shows modal message boxes. The program's logic reaches the user only through this seam.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual Respuesta mostrar(const Mensaje& mensaje, QWidget* propietario = nullptr) = 0;
};

// The real message boxes, with Spanish button texts whatever the locale.
class QtMessageBoxes final : public MessageBoxes {
public:
    Respuesta mostrar(const Mensaje& mensaje, QWidget* propietario = nullptr) override;
};
