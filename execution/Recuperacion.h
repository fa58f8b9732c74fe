#pragma once

#include "Module1.h"
#include "PunteroPantalla.h"

#include <QString>

#include <vector>

class Clock;
namespace db {
class OraDatabase;
class OraFields;
class OraSession;
}
namespace filas {
class AlmacenFilas;
}

// Everything a retrieval shows: the result window's grid, counters and commands, the busy window, the
// mouse pointer and the server error dialog. The program's is made of windows; tests record.
class VistaRecuperacion {
public:
    virtual ~VistaRecuperacion() = default;

    // The result window's Archivo and Opciones menus and its toolbar buttons.
    virtual void deshabilitarOpcionesTabla() = 0;
    virtual void habilitarOpcionesTabla() = 0;
    virtual void ponerNumTuplas(const QString& texto) = 0;
    virtual void ponerNumColumnas(const QString& texto) = 0;

    // The grid: its size, its fixed rows and columns, a header cell with its column's width (twips)
    // and the alignment of the column's fixed cells.
    virtual void ponerColumnas(int columnas) = 0;
    virtual void ponerFilas(qint64 filas) = 0;
    virtual void ponerFijas(int filas, int columnas) = 0;
    virtual void ponerCabecera(int columna, const QString& texto, int anchoTwips, int alineacionFija) = 0;
    // A column widened after its header was written, for a long value among the rows copied.
    virtual void ponerAncho(int columna, int anchoTwips) = 0;
    // Rows appended here, one cell per column, are added below the last row by publicar, in one step.
    virtual filas::AlmacenFilas& lote() = 0;
    virtual void publicar() = 0;

    // The busy window: shown and painted; kept above every window or not; unloaded; its texts.
    virtual void mostrarPeonza() = 0;
    virtual void peonzaEncima(bool encima) = 0;
    virtual void descargarPeonza() = 0;
    virtual void ponerContaRecu(const QString& texto) = 0;
    virtual void ponerNumFilas(const QString& texto) = 0;
    virtual void ponerProgreso(qint64 valor, qint64 maximo) = 0;
    // After a cancel the busy window removes itself; whatever must not outlive the run if it is gone
    // already (the busy pointer) goes here.
    virtual void trasCancelar() = 0;

    virtual void puntero(PunteroPantalla::Forma forma) = 0;
    // Lets pending window events run: the busy window animates, its cancel button works.
    virtual void procesarEventos() = 0;
    // The server error dialog, modal, with the database's error.
    virtual void mostrarErrorServidor(int codigo, const QString& texto) = 0;
};

// Runs the pending statement and copies its rows into the result grid under the row limit, with the
// busy window up. The result is counted first; the rows then go to the grid in batches: after every
// row the cancel request is looked at, and whenever the interval has passed since the last time the
// rows copied so far are shown and pending window events run, so that the grid paints at a steady
// pace however fast rows come.
class Recuperacion {
public:
    static constexpr int intervaloPorDefecto = 16; // ms

    Recuperacion(Module1& estado, const Clock& reloj, VistaRecuperacion& vista);

    // Milliseconds between two rounds of window events while rows are copied; 0 runs them after every
    // row.
    void setIntervaloEventos(int ms) { m_intervalo = ms; }
    // Rows the counting keeps at most. A result that has no more rows to copy is copied from them,
    // so that its query runs once; a larger one is run again and its rows go straight from the
    // database into the grid, so that its cells are held once. Keeping more delays the first rows of
    // a large result a little (ten thousand short rows: a few milliseconds); keeping fewer runs more
    // slow queries twice.
    void setFilasRetenidas(qint64 filas) { m_retenidas = filas; }
    static constexpr qint64 retenidasPorDefecto = 10000;

    // Hecho when the grid holds every row it was to get (or the result has none); NoHecho when the
    // user cancelled or the database failed, the user told.
    // The session's last error is cleared with the database's, when a session is given.
    Resultado RecuperarTabla(db::OraDatabase& base, db::OraSession* sesion = nullptr);

private:
    Resultado salidaCancelada(const QString& numTuplas);
    Resultado salidaError(int codigo, const QString& texto);
    Resultado salidaNormal(double inicio);
    // The header row; returns the data columns' widths.
    std::vector<int> escribirCabecera(const db::OraFields& campos);

    Module1& m_estado;
    const Clock& m_reloj;
    VistaRecuperacion& m_vista;
    int m_intervalo = intervaloPorDefecto;
    qint64 m_retenidas = retenidasPorDefecto;
};
