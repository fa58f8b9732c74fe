#pragma once

// Scripts for the login dialog and the server error dialog, which tests hand to the fake modal runner.
#include "frmLogOraError.h"
#include "frmLogin.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

using Guion = std::function<void(QDialog&)>;

// Fills in the login dialog and presses OK.
inline Guion entrar(const QString& usuario, const QString& clave, const QString& base = QStringLiteral("2:"))
{
    return [=](QDialog& d) {
        auto& login = dynamic_cast<frmLogin&>(d);
        login.lUsername->setText(usuario);
        login.lPassword->setText(clave);
        login.lDatabaseName->setText(base);
        login.ok->click();
    };
}

// Reads the server error dialog's message, then closes it.
inline Guion leerError(QString* texto)
{
    return [texto](QDialog& d) {
        auto& error = dynamic_cast<frmLogOraError&>(d);
        *texto = error.ErrText->text();
        error.ok->click();
    };
}
