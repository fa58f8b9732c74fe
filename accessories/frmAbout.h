#pragma once

#include "AcercaDe.h"
#include "Platform.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

class InstanciaTabla;
class QAction;
class QFrame;
class QLabel;
class QPushButton;
struct Module1;

// What the About box reaches outside itself.
struct EntornoAcercaDe {
    // The result window that shows the wonders' table.
    InstanciaTabla* tabla = nullptr;
    // The main window's Bloc de notas entry, disabled when the read-me cannot be opened.
    QPointer<QAction> mnuNotePad;
    // Text editors for the read-me, and system information programs, each tried in order.
    QList<AcercaDe::Orden> editores;
    QStringList infoSistema;
    // The folder the program runs from, which holds Leeme.TXT.
    QString carpetaPrograma;
};

// The About box: what Nimbo is, who wrote it and on what terms, buttons for the system information
// and the read-me, and two amusements behind the icon and the program's name. Made anew for every
// opening, so the texts the icon swaps last only until it closes.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(Module1& estado, const Platform& plataforma, EntornoAcercaDe entorno, QWidget* propietario = nullptr);

    // Event handlers.
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void Leeme_Click();
    void Nimbo_Click();
    void picIcon_Click();

    // Controls, by their names.
    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* Nimbo = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* Nombre = nullptr;
    QLabel* lblLicenseTo = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QPushButton* Leeme = nullptr;
    QFrame* Frame1 = nullptr;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void construirControles();
    void cambiarTextos();
    void mostrarJuguete();

    Module1& m_estado;
    Platform m_plataforma;
    EntornoAcercaDe m_entorno;
};
