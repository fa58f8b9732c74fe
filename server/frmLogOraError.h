#pragma once

#include "ErrorServidor.h"
#include "Platform.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

namespace db {
class OraSession;
class OraDatabase;
} // namespace db

// The server error dialog: the one way a failed call of the database library or the server is told.
// It reads the error state the failed call left on the session and the database, and the failure
// the command caught; the session's server error comes first.
class frmLogOraError : public QDialog {
    Q_OBJECT
public:
    frmLogOraError(const Platform& plataforma, std::shared_ptr<const db::OraSession> sesion,
        std::shared_ptr<const db::OraDatabase> base, servidor::Fallo fallo, QWidget* parent = nullptr);

    // Where the help file is looked for: beside the program.
    static QString ficheroAyuda();

    void Form_Load();
    void HelpBoton_Click();
    void OK_Click();

    QLabel* ErrText = nullptr;
    QLabel* Image2 = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* HelpBoton = nullptr;

private:
    Platform m_plataforma;
    std::shared_ptr<const db::OraSession> m_sesion;
    std::shared_ptr<const db::OraDatabase> m_base;
    servidor::Fallo m_fallo;
};
