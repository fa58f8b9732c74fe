#pragma once

#include "Platform.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextDocument>

#include <functional>
#include <memory>
#include <optional>

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

// Standard dialogs that answer from scripts and record how they were shown. An empty script
// cancels. A scripted file name goes through the dialog's default extension as a typed name would.
class FakeDialogos final : public Dialogos {
public:
    enum class Tipo { Abrir, Guardar };
    struct DialogoFichero {
        Tipo tipo;
        OpcionesFichero opciones;
    };

    std::optional<EleccionFichero> abrirFichero(const OpcionesFichero& opciones, QWidget* = nullptr) override
    {
        return fichero(Tipo::Abrir, opciones);
    }
    std::optional<EleccionFichero> guardarFichero(const OpcionesFichero& opciones, QWidget* = nullptr) override
    {
        return fichero(Tipo::Guardar, opciones);
    }
    std::optional<EleccionFuente> fuente(const EleccionFuente& inicial, QWidget* = nullptr) override
    {
        fuentesMostradas.append(inicial);
        std::optional<EleccionFuente> elegida = fuentes.isEmpty() ? std::nullopt : fuentes.takeFirst();
        if (elegida) { // strikethrough, underline and colour are not offered: they come back as given
            elegida->tachado = inicial.tachado;
            elegida->subrayado = inicial.subrayado;
            elegida->color = inicial.color;
        }
        return elegida;
    }
    std::optional<quint32> color(quint32 inicial, QWidget* = nullptr) override
    {
        coloresMostrados.append(inicial);
        return colores.isEmpty() ? std::nullopt : colores.takeFirst();
    }
    std::optional<RangoImpresion> imprimir(const OpcionesImpresion& opciones, QWidget* = nullptr) override
    {
        impresionesMostradas.append(opciones);
        if (impresiones.isEmpty())
            return std::nullopt;
        return impresiones.takeFirst();
    }
    bool configurarImpresora(const QString& titulo, QWidget* = nullptr) override
    {
        configuracionesMostradas.append(titulo);
        return !configuraciones.isEmpty() && configuraciones.takeFirst();
    }

    // Scripts: a path (the filter index stays as shown), a font, a colour, a print range, an
    // accepted set-up; std::nullopt or false cancels.
    QList<std::optional<QString>> rutas;
    QList<std::optional<EleccionFuente>> fuentes;
    QList<std::optional<quint32>> colores;
    QList<std::optional<RangoImpresion>> impresiones;
    QList<bool> configuraciones;

    // What was shown.
    QList<DialogoFichero> ficherosMostrados;
    QList<EleccionFuente> fuentesMostradas;
    QList<quint32> coloresMostrados;
    QList<OpcionesImpresion> impresionesMostradas;
    QStringList configuracionesMostradas;

private:
    std::optional<EleccionFichero> fichero(Tipo tipo, const OpcionesFichero& opciones)
    {
        ficherosMostrados.append({tipo, opciones});
        const std::optional<QString> ruta = rutas.isEmpty() ? std::nullopt : rutas.takeFirst();
        if (!ruta)
            return std::nullopt;
        return EleccionFichero{opciones.completar(*ruta), opciones.indiceFiltro};
    }
};

// The printer of a test: the real one, writing a PDF file in the test's folder, which also keeps the
// plain text of every document printed and the size of every picture.
class FakeImpresora final : public Impresora {
public:
    explicit FakeImpresora(const QString& rutaPdf)
        : rutaPdf(rutaPdf)
    {
    }
    bool imprimirTexto(const QTextDocument& texto) override
    {
        textos.append(texto.toPlainText());
        return real().imprimirTexto(texto);
    }
    bool imprimirImagen(const QImage& imagen) override
    {
        imagenes.append(imagen.size());
        return real().imprimirImagen(imagen);
    }

    const QString rutaPdf;
    QStringList textos;
    QList<QSize> imagenes;

private:
    QtImpresora& real()
    {
        if (!m_real) {
            m_real = std::make_unique<QtImpresora>();
            m_real->setSalidaPdf(rutaPdf);
        }
        return *m_real;
    }
    std::unique_ptr<QtImpresora> m_real;
};

// A help viewer that records what it was asked and fails when told to.
class FakeVisorAyuda final : public VisorAyuda {
public:
    std::optional<QString> mostrar(const PeticionAyuda& peticion, QWidget* = nullptr) override
    {
        peticiones.append(peticion);
        return fallo;
    }
    QList<PeticionAyuda> peticiones;
    std::optional<QString> fallo;
};

// Runs the program's own modal dialogs without an event loop: each is handed to the next script,
// which drives its controls (an empty script leaves it as it is). Records the dialogs by name.
class FakeEjecutorModal final : public EjecutorModal {
public:
    int ejecutar(QDialog& dialogo) override
    {
        mostrados.append(dialogo.objectName());
        if (!guiones.isEmpty())
            guiones.takeFirst()(dialogo);
        return dialogo.result();
    }
    QList<std::function<void(QDialog&)>> guiones;
    QStringList mostrados;
};

// Starts nothing: records each try, and answers as if only the programs in `instalados` existed.
class FakeLanzador final : public Lanzador {
public:
    bool iniciar(const QString& programa, const QStringList& argumentos = {}) override
    {
        intentos.append(argumentos.isEmpty() ? programa : programa + u' ' + argumentos.join(u' '));
        return instalados.contains(programa);
    }
    QStringList instalados;
    QStringList intentos;
};

// The outside world for a test: fakes, and real settings in an INI file of a temporary folder.
class FakePlatform {
public:
    FakePlatform()
        : ajustes(rutaAjustes())
        , impresora(carpeta.filePath(QStringLiteral("impresion.pdf")))
    {
    }

    QString rutaAjustes() const { return carpeta.filePath(QStringLiteral("Nimbo.ini")); }
    Platform servicios() { return {mensajes, ajustes, reloj, teclado, dialogos, impresora, ayuda, modales, programas}; }

    QTemporaryDir carpeta;
    FakeMessageBoxes mensajes;
    QSettingsStore ajustes;
    FakeClock reloj;
    FakeKeyboard teclado;
    FakeDialogos dialogos;
    FakeImpresora impresora;
    FakeVisorAyuda ayuda;
    FakeEjecutorModal modales;
    FakeLanzador programas;
};
