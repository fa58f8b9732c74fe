#pragma once

class QDialog;

// Runs the program's own modal dialogs (login, server error, translated query). The real runner
// shows the dialog and waits for it to close; tests drive the dialog's controls instead.
class EjecutorModal {
public:
    virtual ~EjecutorModal() = default;
    // The dialog's result (QDialog::Accepted or Rejected) once it has closed.
    virtual int ejecutar(QDialog& dialogo) = 0;
};

class QtEjecutorModal final : public EjecutorModal {
public:
    int ejecutar(QDialog& dialogo) override;
};
