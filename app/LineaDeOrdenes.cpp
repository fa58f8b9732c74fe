#include "LineaDeOrdenes.h"

QString LineaDeOrdenes(const QString& lineaDeOrdenes, int maxArgs)
{
    QString palabra;
    int cuenta = 0;
    bool dentro = false;
    for (const QChar c : lineaDeOrdenes) {
        if (c == u' ' || c == u'\t') {
            dentro = false;
            continue;
        }
        if (!dentro) {
            if (cuenta == maxArgs)
                break;
            ++cuenta;
            dentro = true;
            palabra.clear(); // only the word of the final count is returned
        }
        palabra.append(c);
    }
    return palabra;
}
