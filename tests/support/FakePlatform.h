#pragma once

#include "Platform.h"

#include <QList>
#include <QTemporaryDir>

// Message boxes that record what was shown and answer from a script (the default button when the
// script is empty).
class FakeMessageBoxes final : public MessageBoxes {
public:
    Respuesta mostrar(const Mensaje& mensaje, QWidget* = nullptr) override
    {
        mostrados.append(mensaje);
        return respuestas.isEmpty() ? mensaje.porDefecto : respuestas.takeFirst();
    }
    QList<Mensaje> mostrados;
    QList<Respuesta> respuestas;
};

class FakeClock final : public Clock {
public:
    QDateTime ahora() const override { return momento; }
    QDateTime momento = QDateTime(QDate(2026, 12, 6), QTime(9, 5, 30, 250));
};

class FakeKeyboard final : public KeyboardState {
public:
    bool bloqMayus() const override { return mayusculas; }
    bool mayusculas = false;
};

// The outside world for a test: fakes, and real settings in an INI file of a temporary folder.
class FakePlatform {
public:
    FakePlatform()
        : ajustes(rutaAjustes())
    {
    }

    QString rutaAjustes() const { return carpeta.filePath(QStringLiteral("Nimbo.ini")); }
    Platform servicios() { return {mensajes, ajustes, reloj, teclado}; }

    QTemporaryDir carpeta;
    FakeMessageBoxes mensajes;
    QSettingsStore ajustes;
    FakeClock reloj;
    FakeKeyboard teclado;
};
