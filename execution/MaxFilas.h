#pragma once

#include "Platform.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct Module1;

// The row-limit dialog: all rows, one of four fixed limits, or a number typed by the user. It reads
// and writes the row-limit setting only, and only when Ok accepts a valid choice.
class MaxFilas : public QDialog {
    Q_OBJECT
public:
    MaxFilas(Module1& estado, const Platform& plataforma, QWidget* parent = nullptr);

    // Event handlers.
    void Form_Load();
    void MaxNumFilas_GotFocus();
    void Ok_Click();
    void Cancelar_Click();

    // Controls, by their names. Option1 is every row; Option2 to Option5 the fixed limits; Option6 the
    // number in MaxNumFilas.
    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QRadioButton* Option4 = nullptr;
    QRadioButton* Option5 = nullptr;
    QRadioButton* Option6 = nullptr;
    QLineEdit* MaxNumFilas = nullptr;
    QPushButton* Ok = nullptr;
    QPushButton* Cancelar = nullptr;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QRadioButton* opcionFija(qint32 limite) const;
    void rechazar(const QString& texto);

    Module1& m_estado;
    Platform m_plataforma;
};
