#pragma once

#include <QColor>
#include <QtGlobal>

class QPalette;

// A stored colour: a 32-bit value that is either an RGB colour laid out 0x00BBGGRR, or, with the top
// bit set, a reference to a system colour whose index is the low byte (0x80000008 window text,
// 0x80000005 window background). Settings keep the value as signed decimal text.
namespace ColorValue {

inline constexpr quint32 textoVentana = 0x80000008u;
inline constexpr quint32 fondoVentana = 0x80000005u;

constexpr bool esDeSistema(quint32 valor)
{
    return (valor & 0x80000000u) != 0;
}

// The RGB value of a concrete colour (alpha dropped).
quint32 desdeColor(const QColor& color);

// The colour a value stands for; system colours are looked up in the given palette.
QColor aColor(quint32 valor, const QPalette& paleta);

// Whether two values show as the same colour under the palette (a system colour and an RGB value can).
bool seVenIguales(quint32 a, quint32 b, const QPalette& paleta);

} // namespace ColorValue
