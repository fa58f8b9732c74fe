#pragma once

#include <QString>

#include <optional>

class QWidget;

// A request to the help viewer: a help file, opened at its contents page or at the topic of a
// context number (a server error code, for one).
struct PeticionAyuda {
    enum class Orden { Contenido, Contexto };

    QString fichero;
    Orden orden = Orden::Contenido;
    int contexto = 0;

    bool operator==(const PeticionAyuda&) const = default;
};

// Shows help. Returns the description of the failure when help could not be shown, nothing when it
// was; the caller tells the user.
class VisorAyuda {
public:
    virtual ~VisorAyuda() = default;
    virtual std::optional<QString> mostrar(const PeticionAyuda& peticion, QWidget* propietario = nullptr) = 0;
};

// Until the program has a viewer of its own: opens the folder that holds the help file in the
// desktop's file manager, or says that help is not installed when the file is not there.
class CarpetaAyuda final : public VisorAyuda {
public:
    std::optional<QString> mostrar(const PeticionAyuda& peticion, QWidget* propietario = nullptr) override;
};
