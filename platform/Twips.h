#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Window coordinates are kept in twips: 1440 to the inch, 15 to a (96 dpi) logical pixel.
namespace Twips {

inline constexpr int porPixel = 15;
inline constexpr int porPulgada = 1440;

constexpr int aPixeles(int twips)
{
    return (twips >= 0 ? twips + porPixel / 2 : twips - porPixel / 2) / porPixel;
}
constexpr int desdePixeles(int pixeles)
{
    return pixeles * porPixel;
}

inline QPoint aPixeles(QPoint twips)
{
    return {aPixeles(twips.x()), aPixeles(twips.y())};
}
inline QSize aPixeles(QSize twips)
{
    return {aPixeles(twips.width()), aPixeles(twips.height())};
}
inline QRect aPixeles(QRect twips)
{
    return {aPixeles(twips.topLeft()), aPixeles(twips.size())};
}
inline QPoint desdePixeles(QPoint pixeles)
{
    return pixeles * porPixel;
}
inline QSize desdePixeles(QSize pixeles)
{
    return pixeles * porPixel;
}

} // namespace Twips
