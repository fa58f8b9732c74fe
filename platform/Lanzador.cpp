#include "Lanzador.h"

#include <QProcess>

bool QtLanzador::iniciar(const QString& programa, const QStringList& argumentos)
{
    return !programa.isEmpty() && QProcess::startDetached(programa, argumentos);
}
