#pragma once

#include "Dialogos.h"
#include "Platform.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;
struct Module1;
namespace exportar {
class EscritorTabla;
}
namespace rejilla {
class Rejilla;
}

// The result window: the grid Grid1 with the rows of the last query, two counters, the two time
// labels, and the commands that reshape, restyle, export and print the table. Closing it unloads
// it (the object is deleted); its appearance is kept in Module1 for the next one.
class Tabla : public QMainWindow {
    Q_OBJECT
public:
    // Loading the window: Form_Load runs here. It is not shown.
    Tabla(Module1& estado, Platform plataforma, QWidget* padre = nullptr);
    ~Tabla() override;

    rejilla::Rejilla* Grid1() const { return m_grid; }
    // Closed: unloaded and about to be deleted.
    bool descargada() const { return m_descargada; }
    QLabel* NumColumnas() const { return m_numColumnas; }
    QLabel* NumTuplas() const { return m_numTuplas; }
    // A menu entry by name ("mnuReducir", "mnuArchivoTabla", ...) and a toolbar button by key.
    QAction* entradaMenu(const QString& nombre) const { return m_menu.value(nombre); }
    QAction* boton(const QString& clave) const { return m_botones.value(clave); }

    // The outer rectangle in twips, as the window's Height, Width, Left and Top.
    int alto() const;
    int ancho() const;
    int izquierda() const;
    int arriba() const;
    void ponerAlto(int twips);
    void ponerAncho(int twips);
    void ponerIzquierda(int twips);
    void ponerArriba(int twips);

    // Handlers, named after their controls.
    void Form_Activate();
    void Form_Resize();
    void Toolbar1_ButtonClick(const QString& clave);
    void mnuGuardarAltaCalidad_Click();
    void mnuGuardarBajaCalidad_Click();
    void mnuGuardaLaTeX_Click();
    void mnuGuardaHTML_Click();
    void mnuGuardaCSV_Click();
    void mnuPrintTabla_Click();
    void mnuCerrarTabla_Click();
    void mnuReducir_Click();
    void mnuAmpliar_Click();
    void mnuOrdenNFila_Click();
    void mnuOrdenarCol_Click();
    void mnuAlinearCol_Click();
    void mnuMergeCells_Click();
    void mnuMergeCol_Click();
    void mnuMergeRow_Click();
    void mnuPonCero_Click();
    void mnuWordWrap_Click();
    void mnuFonts_Click();
    void mnuForeColor_Click();
    void mnuBackColor_Click();
    void mnuEstiloLetra_Click();
    void mnuEstiloLetraCab_Click();
    void mnuLineasTabla_Click();
    void mnuAnchuraPant_Click();
    void mnuAlturaPant_Click();

protected:
    bool event(QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void moveEvent(QMoveEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void crearControles();
    void crearMenus();
    void crearBarra();
    QAction* entrada(QMenu* menu, const char* nombre, const QString& texto, const QKeySequence& atajo,
        void (Tabla::*orden)());
    // A menu (a top-level one when padre is null) registered under its name like the entries.
    QMenu* submenu(QMenu* padre, const char* nombre, const QString& texto);
    void Form_Load();
    void Form_Unload();
    void colocarControles();
    QSize marco() const; // outer size minus the inner one, pixels
    // Shows a save dialog; the chosen path, or empty when cancelled.
    QString elegirFichero(const QString& titulo, const QString& filtro, const QString& extension);
    // Writes the grid's table through a writer made for the open file.
    void guardarTexto(const QString& titulo, const QString& filtro, const QString& extension,
        const std::function<std::unique_ptr<exportar::EscritorTabla>(QIODevice&)>& escritor);
    void GuardarImagenBMP();
    void avisarFallo(const QString& texto);

    Module1& m_estado;
    Platform m_plataforma;

    QToolBar* m_toolbar = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_numColumnas = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_numTuplas = nullptr;
    QLabel* m_tiempoTraducir = nullptr;
    QLabel* m_tiempoConsulta = nullptr;
    QPushButton* m_cerrar = nullptr;
    rejilla::Rejilla* m_grid = nullptr;
    QHash<QString, QAction*> m_menu;
    QHash<QString, QAction*> m_botones;

    // The outer rectangle in twips, exact when set in twips (pixels are coarser).
    QRect m_twips;
    // What the shared dialog last held.
    QString m_ultimoFichero;
    EleccionFuente m_ultimaFuente;
    quint32 m_ultimoColor = 0;
    bool m_descargada = false;
};

// The program's one result window, made on demand and gone once closed.
class InstanciaTabla {
public:
    InstanciaTabla(Module1& estado, Platform plataforma)
        : m_estado(estado)
        , m_plataforma(plataforma)
    {
    }
    // The loaded window, if any (a closed one is no longer loaded).
    Tabla* existente() const { return m_ventana && !m_ventana->descargada() ? m_ventana.data() : nullptr; }
    // The window, loaded (not shown) if it is not there.
    Tabla& ventana();
    // Closes (unloads) the window if it is loaded.
    void descargar();

private:
    Module1& m_estado;
    Platform m_plataforma;
    QPointer<Tabla> m_ventana;
};

// Enables the result window's two menus and five toolbar buttons, loading the window if needed.
void HabilitarOpcionesTabla(InstanciaTabla& tabla);
