#pragma once

#include <QIcon>
#include <QString>

// The pictures of the result window's toolbar buttons, drawn at run time, by button key.
QIcon iconoTabla(const QString& clave);
