#pragma once

#include "Module1.h"
#include "Platform.h"
#include "Tabla.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QWidget;
namespace db {
class OraDatabase;
class OraSession;
}

// What running a query needs from the main window and the server commands.
struct AnfitrionEjecucion {
    // The main window; its controls are found by their names.
    QWidget* principal = nullptr;
    // The query editor's whole text.
    std::function<QString()> textoConsulta;
    // The connection guard: false, with the user told, when not connected.
    std::function<bool()> comprobarConexion;
    // Translates the text into SentenciaSQL; NoHecho when the call failed (the user was told).
    std::function<int(const QString&)> traducirConsulta;
    // Opens the translation-error browser; closes it.
    std::function<void()> mostrarErrores;
    std::function<void()> cerrarErrores;
    // The server error dialog for a failure of the database library.
    std::function<void(int codigo, const QString& texto)> mostrarErrorServidor;
    // The connection's session and open database; null when there is none.
    std::function<db::OraSession*()> sesion;
    std::function<db::OraDatabase*()> base;
};

// The main window's commands that run a query or steer how it runs, and the one road every run
// takes (VamosAlaTabla). Lives as a child of the main window.
class Ejecucion : public QObject {
    Q_OBJECT
public:
    Ejecucion(Module1& estado, const Platform& plataforma, AnfitrionEjecucion anfitrion);

    // The program's one result window.
    InstanciaTabla& tabla() { return m_tabla; }

    // F8: translates the editor's query when no translation is pending, and runs it.
    void mnuEnviar();
    // F9: runs the editor's text as it is.
    void mnuSinNIEB();
    // Runs SentenciaSQL into a new result window captioned TituloTabla. Hecho when the window holds
    // the whole result.
    Resultado VamosAlaTabla();
    // Shows the row-limit dialog.
    void mnuMaxFilas();

    // Milliseconds between two rounds of window events while rows are copied.
    void setIntervaloEventos(int ms) { m_intervalo = ms; }

private:
    // The commands a run locks: the editor, the toolbar, two menus and their entries, and six buttons.
    struct Bloqueo {
        QList<QPointer<QAction>> acciones; // menu entries, enabled as they were
        QList<bool> estados;
    };
    Bloqueo bloquear();
    void desbloquear(const Bloqueo& bloqueo);
    QAction* accion(const QString& nombre) const;
    template <typename T> T* control(const QString& nombre) const;

    Module1& m_estado;
    Platform m_plataforma;
    AnfitrionEjecucion m_anfitrion;
    InstanciaTabla m_tabla;
    int m_intervalo = -1;
    bool m_enCurso = false;
};

// Fits a window given in twips to a screen: a side larger than the screen's becomes the screen's, and
// the window goes to that edge; the other side is left alone.
QRect ajustadaAPantalla(QRect ventana, QSize pantalla);
