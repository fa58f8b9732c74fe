#pragma once

#include "Platform.h"

#include <QObject>

class QWidget;
struct Module1;

// The main window's commands that run a query or steer how it runs. Lives as a child of the main
// window, whose controls it finds by their names.
class Ejecucion : public QObject {
    Q_OBJECT
public:
    Ejecucion(Module1& estado, const Platform& plataforma, QWidget* principal);

    // Shows the row-limit dialog.
    void mnuMaxFilas();

private:
    Module1& m_estado;
    Platform m_plataforma;
    QWidget* m_principal;
};
