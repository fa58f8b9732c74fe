#pragma once

#include "ArbolCarpetas.h"
#include "BusquedaArchivos.h"
#include "Platform.h"

#include <QDialog>

#include <functional>

class ListaCarpetas;
class ListaFicheros;
class ListaUnidades;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The file finder: searches a folder tree for the files whose names match a pattern, by default the
// query files, and lists their full paths. Not modal. The criteria panel shows before a search, the
// results panel during and after it. Closing it unloads it (the object is deleted); a close asked for
// during a search cancels the search and happens once it has stopped.
class WinSeek : public QDialog {
    Q_OBJECT
public:
    explicit WinSeek(const Platform& plataforma, QWidget* propietario = nullptr);
    ~WinSeek() override;

    // Event handlers, named after their controls.
    void Form_Load();
    void drvList_Change();
    void dirList_Change();
    void dirList_LostFocus();
    void txtSearchSpec_Change();
    void txtSearchSpec_GotFocus();
    void cmdSearch_Click();
    void cmdExit_Click();

    // Controls, by their names.
    QFrame* Picture1 = nullptr;
    QLabel* lblCriteria = nullptr;
    QLineEdit* txtSearchSpec = nullptr;
    ListaUnidades* drvList = nullptr;
    ListaFicheros* filList = nullptr;
    ListaCarpetas* dirList = nullptr;
    QFrame* Picture2 = nullptr;
    QLabel* lblfound = nullptr;
    QLabel* lblCount = nullptr;
    QListWidget* lstFoundFiles = nullptr;
    QPushButton* cmdSearch = nullptr;
    QPushButton* cmdExit = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    AnfitrionBusqueda anfitrion();
    void ClearResults();

    Platform m_plataforma;
    ArbolDisco m_arbol;
    BusquedaArchivos m_busqueda;
    QString m_carpetaBuscada;     // where the walk is; the folder list follows once it ends
    bool m_cerrarAlParar = false; // a close came during the search
};

// The main window's "&Buscar archivos" command: shows the file finder beside the window, making one
// when none is open, and brings it forward when it is.
std::function<void()> comandoBuscarArchivos(QWidget& principal, const Platform& plataforma);
