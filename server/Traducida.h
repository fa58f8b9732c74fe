#pragma once

#include "ColorValue.h"
#include "Platform.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTextEdit;
struct Module1;

// How the editor's text looks, taken over by the translated-query window.
struct AparienciaTexto {
    quint32 colorTexto = ColorValue::textoVentana;
    quint32 colorFondo = ColorValue::fondoVentana;
    QString fuente;
    double tamano = 8;
    bool negrita = false;
    bool cursiva = false;
    bool tachado = false;
    bool subrayado = false;
};

// The translated query: the pending SQL, read-only, the time its translation took, and a way to save
// it as a one-line text file.
class Traducida : public QDialog {
    Q_OBJECT
public:
    Traducida(Module1& estado, const Platform& plataforma, QWidget* parent = nullptr);

    // Takes over the editor's appearance (done right before each showing).
    void aplicarApariencia(const AparienciaTexto& apariencia);

    void Form_Load();
    void ConsultaTraducida_Change();
    void BotonSalvar_Click();
    void Command1_Click();

    QTextEdit* ConsultaTraducida = nullptr;
    QLabel* TiempoTraducir = nullptr;
    QPushButton* BotonSalvar = nullptr;
    QPushButton* Command1 = nullptr;

private:
    Module1& m_estado;
    Platform m_plataforma;
};
