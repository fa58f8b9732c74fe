#pragma once

#include <QString>

// Splits a command-line text into words at blanks and tabs and returns the last word collected,
// reading no more than maxArgs words; empty when there is none. Quotes have no special meaning.
// LineaDeOrdenes(texto, 1) is the first word.
QString LineaDeOrdenes(const QString& lineaDeOrdenes, int maxArgs = 10);
