#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// The program's windows in the order they were made, hidden ones included, so that the main window
// can close them all as it closes, the most recently opened first.
class RegistroVentanas : public QObject {
    Q_OBJECT
public:
    // Watches the application for new windows other than the given main window.
    explicit RegistroVentanas(QWidget* principal);

    // The other windows still there, in the order they were made; windows made before the registry
    // come first.
    QList<QWidget*> ventanas() const;
    // Closes each of them, the most recently made first.
    void cerrarTodas();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    bool esVentana(const QWidget* widget) const;

    QWidget* m_principal;
    QList<QPointer<QWidget>> m_orden;
};
