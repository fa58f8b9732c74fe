#include "ColorValue.h"

#include <QPalette>

namespace ColorValue {

quint32 desdeColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return quint32(rgb.red()) | quint32(rgb.green()) << 8 | quint32(rgb.blue()) << 16;
}

namespace {

// System colour indices of the classic desktop palette and the palette role that plays each part.
QPalette::ColorRole rolDeSistema(quint32 indice)
{
    switch (indice) {
    case 4: return QPalette::Window;     // menu background
    case 5: return QPalette::Base;       // window background
    case 7: return QPalette::WindowText; // menu text
    case 8: return QPalette::Text;       // window text
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;          // button face
    case 16: return QPalette::Dark;            // button shadow
    case 17: return QPalette::PlaceholderText; // grey text
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;    // button highlight
    case 21: return QPalette::Shadow;   // 3-D dark shadow
    case 22: return QPalette::Midlight; // 3-D light
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    default: return QPalette::Window;
    }
}

} // namespace

QColor aColor(quint32 valor, const QPalette& paleta)
{
    if (esDeSistema(valor))
        return paleta.color(QPalette::Active, rolDeSistema(valor & 0xFFu));
    return QColor(int(valor & 0xFFu), int(valor >> 8 & 0xFFu), int(valor >> 16 & 0xFFu));
}

bool seVenIguales(quint32 a, quint32 b, const QPalette& paleta)
{
    return desdeColor(aColor(a, paleta)) == desdeColor(aColor(b, paleta));
}

} // namespace ColorValue
