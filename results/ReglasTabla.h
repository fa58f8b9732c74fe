#pragma once

#include <QLocale>
#include <QSize>
#include <QString>

// The result window's rules that need no window.
namespace ReglasTabla {

// The leading-zero rule: a text that starts with "," or "." followed by a digit gets a "0" in front;
// any other text comes back unchanged.
QString conCeroDelante(const QString& texto);

// The window's smallest size, twips: a smaller one snaps up to it.
inline constexpr int AltoMinimo = 3000;
inline constexpr int AnchoMinimo = 5000;
// From this width (twips) on the two time labels fit and are shown.
inline constexpr int AnchoConTiempos = 8500;

// Height and width (twips) after snapping up to the smallest size.
QSize tamanoAjustado(QSize twips);
inline bool tiemposVisibles(int anchoTwips)
{
    return anchoTwips >= AnchoConTiempos;
}

// "Tiempo Traducción:  1.234,6  sgs." and its query twin: seconds with one decimal and thousands
// grouping in the given locale.
QString textoTiempoTraduccion(double segundos, const QLocale& local = QLocale());
QString textoTiempoConsulta(double segundos, const QLocale& local = QLocale());

// A window coordinate (twips) in a 16-bit saved field: values beyond its range are clamped.
short a16Bits(int twips);

} // namespace ReglasTabla
