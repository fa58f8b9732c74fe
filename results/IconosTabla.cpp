#include "IconosTabla.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

using namespace Qt::StringLiterals;

namespace {

void flecha(QPainter& p, QPointF desde, QPointF hasta)
{
    p.drawLine(desde, hasta);
    const QPointF d = hasta - desde;
    const double largo = std::hypot(d.x(), d.y());
    if (largo == 0)
        return;
    const QPointF u = d / largo, n(-u.y(), u.x());
    QPainterPath punta;
    punta.moveTo(hasta);
    punta.lineTo(hasta - u * 4 + n * 3);
    punta.lineTo(hasta - u * 4 - n * 3);
    punta.closeSubpath();
    p.fillPath(punta, p.pen().color());
}

} // namespace

QIcon iconoTabla(const QString& clave)
{
    QPixmap imagen(20, 20);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor azul(0, 64, 160), rojo(176, 32, 32);
    p.setPen(QPen(azul, 1.6));
    if (clave == u"Reducir"_s || clave == u"Ampliar"_s) {
        // A column between two bars, arrows pointing in or out.
        p.setPen(QPen(Qt::black, 1.2));
        p.drawLine(QPointF(2, 3), QPointF(2, 17));
        p.drawLine(QPointF(18, 3), QPointF(18, 17));
        p.setPen(QPen(azul, 1.6));
        if (clave == u"Reducir"_s) {
            flecha(p, {3, 10}, {9, 10});
            flecha(p, {17, 10}, {11, 10});
        } else {
            flecha(p, {9, 10}, {3.5, 10});
            flecha(p, {11, 10}, {16.5, 10});
        }
    } else if (clave == u"OrdenarFila"_s || clave == u"Ordenar"_s) {
        QFont letra = p.font();
        letra.setPixelSize(8);
        letra.setBold(true);
        p.setFont(letra);
        p.setPen(Qt::black);
        if (clave == u"OrdenarFila"_s) {
            p.drawText(QRectF(0, 0, 11, 10), Qt::AlignCenter, u"1"_s);
            p.drawText(QRectF(0, 10, 11, 10), Qt::AlignCenter, u"9"_s);
        } else {
            p.drawText(QRectF(0, 0, 11, 10), Qt::AlignCenter, u"A"_s);
            p.drawText(QRectF(0, 10, 11, 10), Qt::AlignCenter, u"Z"_s);
        }
        p.setPen(QPen(azul, 1.6));
        flecha(p, {15, 3}, {15, 17});
    } else if (clave == u"Salir"_s) {
        // An open door with an arrow leaving it.
        p.setPen(QPen(Qt::black, 1.2));
        p.drawRect(QRectF(3, 2, 9, 16));
        p.fillRect(QRectF(3.5, 2.5, 5, 15), QColor(200, 160, 96));
        p.setPen(QPen(rojo, 1.8));
        flecha(p, {9, 10}, {18, 10});
    }
    return QIcon(imagen);
}
