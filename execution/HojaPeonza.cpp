#include "HojaPeonza.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace HojaPeonza {

namespace {

// The sixteen colours of the classic palette.
QList<QRgb> paleta16()
{
    return {qRgb(0, 0, 0), qRgb(128, 0, 0), qRgb(0, 128, 0), qRgb(128, 128, 0), qRgb(0, 0, 128), qRgb(128, 0, 128),
        qRgb(0, 128, 128), qRgb(192, 192, 192), qRgb(128, 128, 128), qRgb(255, 0, 0), qRgb(0, 255, 0),
        qRgb(255, 255, 0), qRgb(0, 0, 255), qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// One frame: the top turned by a twentieth of a circle per frame, its axis wobbling a little, a
// full turn in 18 frames.
void dibujarPeonza(QPainter& p, QRectF celda, int k)
{
    constexpr double pi = std::numbers::pi;
    const double giro = 2 * pi * k / celdas;
    const QPointF centro = celda.center();
    const double rx = celda.width() * 0.34;
    const double ry = rx * 0.28;
    const double yBorde = -celda.height() * 0.08;
    const QPointF punta(0, celda.height() * 0.40);

    // The shadow stays on the floor; the body leans.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(128, 128, 128));
    p.drawEllipse(centro + punta + QPointF(0, 1), rx * 0.45, ry * 0.5);

    p.save();
    p.translate(centro + punta);
    p.rotate(8.0 * std::sin(giro));
    p.translate(-punta);

    const auto borde = [&](double angulo) { return QPointF(rx * std::sin(angulo), yBorde + ry * std::cos(angulo)); };

    // Six coloured segments of the cone, drawn from the back to the front.
    const QColor colores[] = {Qt::red, Qt::yellow, Qt::blue, Qt::green, Qt::magenta, Qt::cyan};
    constexpr int segmentos = 6;
    std::vector<int> orden(segmentos);
    for (int j = 0; j < segmentos; ++j)
        orden[j] = j;
    const auto mitad = [&](int j) { return giro + 2 * pi * (j + 0.5) / segmentos; };
    std::sort(orden.begin(), orden.end(), [&](int a, int b) { return std::cos(mitad(a)) < std::cos(mitad(b)); });
    p.setPen(QPen(Qt::black, 1));
    for (int j : orden) {
        QPolygonF cara;
        const double desde = giro + 2 * pi * j / segmentos;
        for (int paso = 0; paso <= 6; ++paso)
            cara << borde(desde + 2 * pi / segmentos * paso / 6);
        cara << punta;
        p.setBrush(colores[j]);
        p.drawPolygon(cara);
    }

    // The flat top and the handle.
    p.setBrush(QColor(192, 192, 192));
    p.drawEllipse(QPointF(0, yBorde), rx, ry);
    p.setBrush(QColor(128, 0, 0));
    const double asa = rx * 0.16;
    p.drawRect(QRectF(-asa, yBorde - celda.height() * 0.26, 2 * asa, celda.height() * 0.26));
    p.drawEllipse(QPointF(0, yBorde - celda.height() * 0.26), asa, asa * 0.5);
    p.restore();
}

QImage dibujarHoja()
{
    QImage lienzo(ancho, alto, QImage::Format_RGB32);
    lienzo.fill(Qt::white);
    {
        QPainter p(&lienzo);
        const QSize celda = tamanoCelda();
        for (int k = 0; k < celdas; ++k) {
            const QRectF rect((k % columnas) * celda.width(), (k / columnas) * celda.height(), celda.width(),
                celda.height());
            dibujarPeonza(p, rect, k);
        }
    }
    return lienzo.convertToFormat(QImage::Format_Indexed8, paleta16(), Qt::ThresholdDither | Qt::AvoidDither);
}

} // namespace

const QImage& hoja()
{
    static const QImage imagen = dibujarHoja();
    return imagen;
}

QSize tamanoCelda()
{
    return {ancho / columnas, alto / filas};
}

QPixmap celda(int k)
{
    const QSize t = tamanoCelda();
    return QPixmap::fromImage(hoja().copy((k % columnas) * t.width(), (k / columnas) * t.height(), t.width(), t.height()));
}

} // namespace HojaPeonza
