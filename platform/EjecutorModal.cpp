#include "EjecutorModal.h"

#include <QDialog>

int QtEjecutorModal::ejecutar(QDialog& dialogo)
{
    return dialogo.exec();
}
