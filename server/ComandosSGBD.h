#pragma once

#include "ErrorServidor.h"
#include "Platform.h"
#include "Traducida.h"

#include <QObject>
#include <QPointer>

#include <functional>

class VerErrores;
struct Module1;

// What the server commands need from the main window.
struct AnfitrionSGBD {
    QWidget* ventana = nullptr;
    // The query editor's whole text.
    std::function<QString()> textoConsulta;
    // The editor's appearance at the selection, for the translated-query window.
    std::function<AparienciaTexto()> apariencia;
    // Shows the connection state: connected with this user name, or not connected.
    std::function<void(bool conectado, const QString& usuario)> indicador;
};

// The commands of the SGBD menu that reach the server (connect, translate, disconnect) and the
// shared operations other commands use: the connection guard, the translation call, the error
// browser and the server error dialog.
class ComandosSGBD : public QObject {
    Q_OBJECT
public:
    ComandosSGBD(Module1& estado, const Platform& plataforma, AnfitrionSGBD anfitrion, QObject* parent = nullptr);
    ~ComandosSGBD() override;

    // Menu commands.
    void mnuConnect_Click();
    void mnuDesconectar_Click();
    void mnuTraducir_Click();

    // The connection guard: false, with the user told, when not connected.
    bool comprobarConexion();
    // Translates the query text; NoHecho when the call failed (the user was told).
    int TraducirConsulta(const QString& consulta);
    // Opens the error browser on the errors of the last translation.
    void MostrarErrores();
    // Closes the error browser when it is open.
    void cerrarErrores();
    // The server error dialog, modal, on the connection's error state and the failure caught.
    void mostrarErrorServidor(const servidor::Fallo& fallo);
    // The main window is closing: the user's server state ends when connected and the server was used.
    void Form_Unload();

    // The open error browser, if any.
    VerErrores* verErrores() const;

private:
    void mostrarLogin();
    void mostrarTraducida();
    // Left with the main window, 4100 twips below its top, kept on the screen.
    void colocarBajoPrincipal(QWidget* ventana) const;

    Module1& m_estado;
    Platform m_plataforma;
    AnfitrionSGBD m_anfitrion;
    QPointer<VerErrores> m_verErrores;
};
