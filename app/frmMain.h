#pragma once

#include "Platform.h"

#include <QHash>
#include <QMainWindow>

#include <functional>
#include <memory>

class ComandosApariencia;
class ComandosArchivo;
class DocumentoConsulta;
class EditorConsulta;
class QGroupBox;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class RegistroVentanas;
struct Module1;

// The main window: the query editor and the menus, toolbar and status bar around it. It owns no
// command of its own beyond its enabling rules: each menu entry's command is registered with it and
// runs from the entry, its shortcut and its toolbar button alike.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // The window's opening size in twips.
    static constexpr int anchoInicial = 7550;
    static constexpr int altoInicial = 4515;

    frmMain(Module1& estado, const Platform& plataforma, QWidget* parent = nullptr);
    ~frmMain() override;

    // Routes a menu entry to its command. Entries without one do nothing.
    void registrarComando(const QString& entrada, std::function<void()> comando);
    // A menu entry, separator or menu title by its name; a toolbar button by its key.
    QAction* entradaMenu(const QString& nombre) const;
    QAction* boton(const QString& clave) const;

    // The connection indicator: connected as that user, or not connected.
    void mostrarConexion(bool conectado, const QString& usuario);
    // Run as the window closes, before the other windows go: the end of the user's server state.
    void alDescargar(std::function<void()> paso) { m_alDescargar = std::move(paso); }
    // Run when the connection indicator is clicked: the splash window.
    void alPulsarIndicador(std::function<void()> paso) { m_alPulsarIndicador = std::move(paso); }

    // The query in the editor, with its file name and document label.
    DocumentoConsulta& documento() { return *m_documento; }
    // The Archivo menu's commands on the query, and its dialog settings.
    ComandosArchivo& archivo() { return *m_archivo; }

    // Event handlers.
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void Consulta_Change();
    void Consulta_SelChange();
    void Timer1_Timer();
    void tbToolBar_ButtonClick(const QString& clave);
    void mnuEdit_click();
    void mnuSGBD_click();
    void Picture1_Click();

    // Controls, by their names.
    QToolBar* tbToolBar = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Picture1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    EditorConsulta* Consulta = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void moveEvent(QMoveEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    void changeEvent(QEvent* evento) override;

private:
    void construirControles();
    void construirBarraEstado();
    void registrarComandosEditor();
    void ajustarTamanoInicial();
    void aplicarApariencia();
    bool guardarAjustes();
    void habilitarBotonesEdicion();
    void habilitarBotonesConsulta();
    void actualizarIndicadores();
    void ejecutarEntrada(const QString& entrada);
    void colocarControles(QSize exteriorTwips);
    QSize margenMarco() const;
    QSize tamanoExteriorTwips() const;
    QMenu* menu(const QString& nombre) const;
    bool portapapelesConTexto() const;
    bool atajoConComando(const QKeySequence& tecla) const;

    Module1& m_estado;
    Platform m_plataforma;
    DocumentoConsulta* m_documento = nullptr;
    std::unique_ptr<ComandosArchivo> m_archivo;
    std::unique_ptr<ComandosApariencia> m_apariencia;
    RegistroVentanas* m_ventanas = nullptr;
    QHash<QString, std::function<void()>> m_comandos;
    std::function<void()> m_alDescargar;
    std::function<void()> m_alPulsarIndicador;
    QLabel* m_panelEstado = nullptr;
    QLabel* m_panelMayus = nullptr;
    QLabel* m_panelIns = nullptr;
    QLabel* m_panelFecha = nullptr;
    QLabel* m_panelHora = nullptr;
    bool m_mostrada = false;
    bool m_esperandoMarco = false; // shown, but the window manager's frame is not known yet
    bool m_cerrado = false;
};
