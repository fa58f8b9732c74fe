#pragma once

#include <QWidget>

#include <functional>

class QFrame;
class QIcon;
class QLabel;

// The splash window: the program's name, version, credits and terms, without a caption. Shown while
// the program starts and again from the main window's indicator. A click anywhere on it closes it
// (it is deleted); a click on the logo also opens the About box.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(const QIcon& logo, QWidget* propietario = nullptr);

    // What a click on the logo opens once the splash has closed.
    void alPulsarLogo(std::function<void()> paso) { m_alPulsarLogo = std::move(paso); }

    // Event handlers.
    void Form_Click();
    void picLogo_Click();

    // Controls, by their names.
    QFrame* fraMainFrame = nullptr;
    QFrame* Frame1 = nullptr;
    QFrame* Frame2 = nullptr;
    QLabel* picLogo = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* msg = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblAutores = nullptr;
    QLabel* lblLicenseTo = nullptr;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;

private:
    std::function<void()> m_alPulsarLogo;
};
