#pragma once

#include "NavegadorErrores.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;

// The translation-error browser: the errors the server found in a query, one at a time. Modeless;
// it stays beside the main window until closed or replaced.
class VerErrores : public QWidget {
    Q_OBJECT
public:
    VerErrores(std::unique_ptr<servidor::NavegadorErrores> errores, QWidget* parent = nullptr);

    void Form_Load();
    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void Command1_Click();

    QLabel* Label1 = nullptr;
    QLabel* Nerrores = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* ErrorNum = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* ErrorMsg = nullptr;
    QPushButton* cmdFirst = nullptr;
    QPushButton* cmdPrevious = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdLast = nullptr;
    QPushButton* Command1 = nullptr;

private:
    // Shows the current error and the buttons the browser offers; beeps when a move ran into an end.
    void MostrarErrorActual(bool pitar = false);

    std::unique_ptr<servidor::NavegadorErrores> m_errores;
};
