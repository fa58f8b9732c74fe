#pragma once

#include "Platform.h"
#include "SesionSGBD.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
struct Module1;

// The login dialog: user name, password and database. OK logs in and closes, telling a failure
// through the server error dialog; the password goes no further than the open.
class frmLogin : public QDialog {
    Q_OBJECT
public:
    frmLogin(Module1& estado, const Platform& plataforma, QWidget* parent = nullptr);

    // Where new sessions come from (tests make it fail).
    void setFabricaSesion(sesion::FabricaSesion fabrica) { m_fabrica = std::move(fabrica); }

    void Form_Load();
    void OK_Click();
    void Cancel_Click();

    QLabel* lblUsername = nullptr;
    QLabel* lblPassword = nullptr;
    QLabel* lblDatabaseName = nullptr;
    QLineEdit* lUsername = nullptr;
    QLineEdit* lPassword = nullptr;
    QLineEdit* lDatabaseName = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    Module1& m_estado;
    Platform m_plataforma;
    sesion::FabricaSesion m_fabrica = sesion::sesionNueva;
};
