#include "RegistroVentanas.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

RegistroVentanas::RegistroVentanas(QWidget* principal)
    : QObject(principal)
    , m_principal(principal)
{
    qApp->installEventFilter(this);
}

bool RegistroVentanas::esVentana(const QWidget* widget) const
{
    if (widget == m_principal || !widget->isWindow())
        return false;
    // Menus, tool tips and the like come and go with the mouse; they are not the program's windows.
    switch (widget->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::Desktop: return false;
    default: return true;
    }
}

bool RegistroVentanas::eventFilter(QObject* objeto, QEvent* evento)
{
    // Every widget announces itself with a Create event while it is being made.
    if (evento->type() == QEvent::Create && objeto->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(objeto);
        if (esVentana(widget) && !m_orden.contains(widget))
            m_orden.append(widget);
    }
    return QObject::eventFilter(objeto, evento);
}

QList<QWidget*> RegistroVentanas::ventanas() const
{
    QList<QWidget*> lista;
    const auto todas = QApplication::topLevelWidgets();
    for (QWidget* ventana : todas) {
        if (esVentana(ventana) && !m_orden.contains(ventana))
            lista.append(ventana);
    }
    for (const QPointer<QWidget>& ventana : m_orden) {
        // A window that was given a parent since is closed with that parent.
        if (ventana && esVentana(ventana))
            lista.append(ventana);
    }
    return lista;
}

void RegistroVentanas::cerrarTodas()
{
    const QList<QWidget*> lista = ventanas();
    QList<QPointer<QWidget>> pendientes(lista.crbegin(), lista.crend());
    // Closing one window may close or delete another.
    for (const QPointer<QWidget>& ventana : pendientes) {
        if (ventana)
            ventana->close();
    }
}
