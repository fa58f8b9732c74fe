#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
struct Module1;

// The busy window: what a long operation is doing, a spinning top, a progress bar and a cancel button.
// Cancelar (also Enter, Escape and the window's close button) only asks the operation to stop; the
// window removes itself at its next animation tick once it sees the request.
class Peonza : public QDialog {
    Q_OBJECT
public:
    static constexpr int intervaloInicial = 100; // ms

    explicit Peonza(Module1& estado, QWidget* propietario = nullptr);
    ~Peonza() override;

    int fotograma() const { return m_fotograma; }
    // True once the window has been unloaded; it is deleted when the event loop next gets control.
    bool descargada() const { return m_descargada; }

    // Keeps the window above all others, or lets it go back among them, without moving it.
    void ponerEncima(bool encima);
    // Unloads the window: it disappears, the animation stops and the mouse pointer is the default.
    void descargar();

    // Event handlers.
    void Form_Load();
    void Timer1_Timer();
    void Picture2_Click();
    void Cancelar_Click();

    // Controls, by their names.
    QFrame* Picture6 = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* ContaRecu = nullptr;
    QLabel* NumFilas = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Picture2 = nullptr;
    QPushButton* Cancelar = nullptr;
    QTimer* Timer1 = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void colocar();
    void mostrarFotograma(int k);

    Module1& m_estado;
    int m_fotograma = 0;
    bool m_colocada = false;
    bool m_descargada = false;
};
