#pragma once

#include "ColorValue.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <memory>

class QWidget;

namespace db {
class OraSession;
class OraDatabase;
}

// Result of an operation that can end in more than one way. NoHecho means cancelled or failed,
// with the user already told.
enum Resultado : int { Hecho = 0, NoHecho = 1 };

// The program-wide state: one instance for the whole run, created by Main and handed to the windows
// and commands that read or write it. Nothing in it outlives the run.
struct Module1 {
    // The database connection. The password is never kept: the connect string lives only for the open.
    struct Conexion {
        bool conectado = false;
        QString usuario;            // user name at the last successful login
        QString baseDeDatos;        // database name at the last successful login
        bool servidorUsado = false; // a translation has run on this connection's server; never cleared
        // Replaced at every login attempt (the session) and whenever an open returns a database; a
        // disconnect leaves both as they are.
        std::shared_ptr<db::OraSession> sesion;
        std::shared_ptr<db::OraDatabase> base;
    };

    // The column the label dialog looked up last; it prefills the dialog.
    struct ColumnaRecordada {
        QString esquema;
        QString tabla;
        QString columna;
    };

    // How the result window looked when it was last closed.
    struct AparienciaTabla {
        bool mostradaAntes = false;
        short alto = 0, ancho = 0, izquierda = 0, arriba = 0; // twips
        quint32 colorTexto = ColorValue::textoVentana;
        quint32 colorFondo = ColorValue::fondoVentana;
        bool negrita = false, subrayado = false, tachado = false, cursiva = false;
        QString fuente;
        float tamano = 0;
        float estiloTexto = 0;
        float estiloCabecera = 0;
        float lineasRejilla = 0;
    };

    Conexion conexion;

    // The pending SQL: the translation of the editor text, or the text sent untranslated. Emptied
    // whenever the editor text can no longer match it.
    QString SentenciaSQL;
    int numErrores = 0;  // translation errors reported by the last translation
    QString TituloTabla; // caption of the next result window
    double SegundosTraduccion = 0;
    double SegundosConsulta = 0;

    // Row limit of a retrieval.
    bool TodasLasFilas = true;
    qint32 LimiteFilas = 0;
    bool OperacionCancelada = false;

    // The two options of the main window's Opciones menu.
    bool VerTablaActiva = true;
    bool PonerCeroAuto = true;

    short SentidoOrden = 1; // column-sort toggle of the result window

    // The query document.
    QString FicheroActual; // the file the query was last read from or written to; empty when unnamed
    // One-shot: the editor change now happening is the program's own, not an edit. Set only through
    // CambioPropio, so that it can never outlive the step that set it.
    bool IgnorarCambio = false;

    ColumnaRecordada columnaRecordada;
    AparienciaTabla aparienciaTabla;
};

// Marks an editor change as the program's own for as long as it lives: the change handler ignores
// every notification raised meanwhile, and the flag is cleared when the step ends even if the editor
// raised no notification at all.
class CambioPropio {
public:
    explicit CambioPropio(Module1& estado)
        : m_estado(estado)
    {
        m_estado.IgnorarCambio = true;
    }
    ~CambioPropio() { m_estado.IgnorarCambio = false; }
    CambioPropio(const CambioPropio&) = delete;
    CambioPropio& operator=(const CambioPropio&) = delete;

private:
    Module1& m_estado;
};

// Where a window of the given size (twips) goes to stand centred on a screen of the given size.
QPoint posicionCentrada(QSize pantalla, QSize ventana);

// Centres a window on its screen without resizing it.
void CentrarVentana(QWidget* ventana);
