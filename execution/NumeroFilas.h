#pragma once

#include <QLocale>
#include <QString>

#include <variant>

// Reading the row limit typed into the row-limit dialog.
namespace NumeroFilas {

enum class Rechazo {
    NoEsNumero,     // not a decimal number
    NoPositivo,     // zero or less, or so small that it rounds to no rows at all
    DemasiadoGrande // does not fit a 32-bit signed integer once rounded
};

// The limit as a whole number of rows: a plain decimal number with an optional sign and the locale's
// decimal separator, blanks around it allowed, rounded to the nearest whole number with halves going
// to the even neighbour. Worked out on the digits themselves, so that no number of digits overflows.
std::variant<qint32, Rechazo> leer(const QString& texto, const QLocale& idioma = QLocale());

// The message that tells the user why a text was refused.
QString mensaje(Rechazo rechazo);

} // namespace NumeroFilas
