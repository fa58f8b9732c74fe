#include "Iconos.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <initializer_list>

// Every picture is drawn on a 32 x 32 grid and scaled to the wanted size.
// Outlines are 2 units wide and lie on odd coordinates, so at 16 and 32
// pixels they fall exactly on pixel rows and columns.

namespace {

const QColor kTinta(0x2b, 0x36, 0x45); // outlines
const QColor kPapel(0xff, 0xff, 0xff);
const QColor kGrisClaro(0xd5, 0xdb, 0xe2);
const QColor kGris(0x9a, 0xa4, 0xb0);
const QColor kAzul(0x2f, 0x7f, 0xd0);
const QColor kAzulClaro(0xbf, 0xdc, 0xf7);
const QColor kVerde(0x2e, 0xa0, 0x4f);
const QColor kRojo(0xd9, 0x3a, 0x3a);
const QColor kAmbar(0xf2, 0xb6, 0x3f);
const QColor kAmbarClaro(0xfb, 0xd9, 0x8a);

using Dibujo = void (*)(QPainter&);

QPen trazo(const QColor& color = kTinta, qreal ancho = 2)
{
    return QPen(color, ancho, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void rellenar(QPainter& p, const QPainterPath& forma, const QColor& relleno)
{
    p.setPen(trazo());
    p.setBrush(relleno);
    p.drawPath(forma);
}

void rellenar(QPainter& p, const QPolygonF& forma, const QColor& relleno)
{
    p.setPen(trazo());
    p.setBrush(relleno);
    p.drawPolygon(forma);
}

// A sheet of paper with its top right corner folded; "lineas" text lines.
void pagina(QPainter& p, const QRectF& r, int lineas = 0, bool ondas = false)
{
    const qreal d = qMin<qreal>(6, r.width() * 0.36);
    rellenar(p,
        QPolygonF({r.topLeft(), {r.right() - d, r.top()}, {r.right(), r.top() + d}, r.bottomRight(), r.bottomLeft()}),
        kPapel);
    rellenar(
        p, QPolygonF({{r.right() - d, r.top()}, {r.right() - d, r.top() + d}, {r.right(), r.top() + d}}), kGrisClaro);
    p.setPen(trazo(ondas ? kAzul : kGris));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < lineas; ++i) {
        const qreal y = r.top() + 10 + 4 * i;
        const qreal x0 = r.left() + 4, x1 = r.right() - 4;
        if (ondas) { // a wavy line stands for vague, fuzzy text
            QPainterPath onda({x0, y});
            const qreal paso = (x1 - x0) / 2;
            onda.quadTo(x0 + paso / 2, y - 2.5, x0 + paso, y);
            onda.quadTo(x0 + 1.5 * paso, y + 2.5, x1, y);
            p.drawPath(onda);
        } else {
            p.drawLine(QPointF(x0, y), QPointF(x1, y));
        }
    }
}

// A database drum: body, lighter lid and one band.
void cilindro(QPainter& p, const QRectF& r, const QColor& color)
{
    const qreal e = r.width() * 0.4;
    const QRectF tapa(r.left(), r.top(), r.width(), e);
    QPainterPath cuerpo({r.left(), r.top() + e / 2});
    cuerpo.lineTo(r.left(), r.bottom() - e / 2);
    cuerpo.arcTo(QRectF(r.left(), r.bottom() - e, r.width(), e), 180, 180);
    cuerpo.lineTo(r.right(), r.top() + e / 2);
    cuerpo.arcTo(tapa, 0, 180);
    rellenar(p, cuerpo, color);
    const qreal medio = (r.top() + r.bottom()) / 2;
    QPainterPath banda({r.left(), medio});
    banda.arcTo(QRectF(r.left(), medio - e / 2, r.width(), e), 180, 180);
    p.setBrush(Qt::NoBrush);
    p.drawPath(banda);
    p.setBrush(color.lighter(135));
    p.drawEllipse(tapa);
}

// The "run" triangle; the round pen joins soften its corners.
void flechaPlay(QPainter& p, const QRectF& r)
{
    rellenar(p, QPolygonF({r.topLeft(), {r.right(), r.center().y()}, r.bottomLeft()}), kVerde);
}

// A round badge with a white cross: something is missing or being removed.
void cruz(QPainter& p, const QPointF& c, qreal radio)
{
    p.setPen(trazo());
    p.setBrush(kRojo);
    p.drawEllipse(c, radio, radio);
    const qreal a = radio * 0.42;
    p.setPen(trazo(kPapel, 2.2));
    p.drawLine(c + QPointF(-a, -a), c + QPointF(a, a));
    p.drawLine(c + QPointF(-a, a), c + QPointF(a, -a));
}

QPainterPath formaNube(const QRectF& r)
{
    // Proportions taken from a 26 x 18 cloud.
    const qreal sx = r.width() / 26, sy = r.height() / 18;
    auto bola = [&](qreal x, qreal y, qreal rx) {
        QPainterPath b;
        b.addEllipse(QPointF(r.left() + x * sx, r.top() + y * sy), rx * sx, rx * sy);
        return b;
    };
    QPainterPath base;
    base.addRoundedRect(QRectF(r.left(), r.top() + 9 * sy, r.width(), 9 * sy), 4.5 * sy, 4.5 * sy);
    return base.united(bola(7.5, 10, 5.5)).united(bola(14, 7, 7)).united(bola(20.5, 11, 5));
}

void dibujaNuevo(QPainter& p)
{
    pagina(p, QRectF(7, 3, 18, 26));
}

void dibujaAbrir(QPainter& p)
{
    rellenar(p, QPolygonF({{3, 5}, {11, 5}, {14, 8}, {25, 8}, {25, 27}, {3, 27}}), kAmbar);
    p.setPen(trazo());
    p.setBrush(kPapel);
    p.drawRect(QRectF(7, 11, 15, 12));
    rellenar(p, QPolygonF({{3, 27}, {8, 15}, {30, 15}, {25, 27}}), kAmbarClaro);
}

void dibujaGuardar(QPainter& p)
{
    rellenar(p, QPolygonF({{4, 4}, {24, 4}, {28, 8}, {28, 28}, {4, 28}}), kAzul);
    p.setBrush(kGrisClaro);
    p.drawRect(QRectF(9, 4, 12, 8));
    p.setBrush(kTinta);
    p.drawRect(QRectF(17, 6, 1.5, 4));
    p.setBrush(kPapel);
    p.drawRect(QRectF(8, 17, 16, 11));
    p.setPen(trazo(kGris));
    p.drawLine(QPointF(12, 22), QPointF(20, 22));
}

void dibujaImprimir(QPainter& p)
{
    p.setPen(trazo());
    p.setBrush(kPapel);
    p.drawRect(QRectF(9, 3, 14, 9));
    p.setBrush(kGris);
    p.drawRoundedRect(QRectF(3, 11, 26, 13), 2, 2);
    p.setBrush(kPapel);
    p.drawRect(QRectF(9, 19, 14, 10));
    p.setPen(trazo(kGris));
    p.drawLine(QPointF(12, 23), QPointF(20, 23));
    p.setPen(Qt::NoPen);
    p.setBrush(kVerde);
    p.drawEllipse(QPointF(25, 15), 1.6, 1.6);
}

void dibujaCortar(QPainter& p)
{
    // Blades crossing above two ring handles.
    p.setPen(trazo(kTinta, 2.6));
    p.drawLine(QPointF(13, 19), QPointF(22, 3));
    p.drawLine(QPointF(19, 19), QPointF(10, 3));
    p.setPen(trazo(kRojo, 2.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10.5, 24), 4.5, 4.5);
    p.drawEllipse(QPointF(21.5, 24), 4.5, 4.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kTinta);
    p.drawEllipse(QPointF(16, 13.5), 1.6, 1.6);
}

void dibujaCopiar(QPainter& p)
{
    pagina(p, QRectF(3, 3, 16, 20), 2);
    pagina(p, QRectF(13, 9, 16, 20), 2);
}

void dibujaPegar(QPainter& p)
{
    p.setPen(trazo());
    p.setBrush(kAmbar);
    p.drawRoundedRect(QRectF(4, 5, 20, 24), 2, 2);
    p.setBrush(kGris);
    p.drawRoundedRect(QRectF(9, 2, 10, 6), 1.5, 1.5);
    pagina(p, QRectF(13, 11, 16, 19), 2);
}

// A plug seen from the side, its pins pointing along "angulo" degrees.
void enchufe(QPainter& p, const QPointF& centro, qreal angulo, const QColor& color)
{
    p.save();
    p.translate(centro);
    p.rotate(angulo);
    p.setPen(trazo(kTinta, 2.6));
    p.drawLine(QPointF(-4, 0), QPointF(-8, 0));
    p.drawLine(QPointF(4, -2.5), QPointF(8.5, -2.5));
    p.drawLine(QPointF(4, 2.5), QPointF(8.5, 2.5));
    p.setPen(trazo());
    p.setBrush(color);
    p.drawRoundedRect(QRectF(-5, -5.5, 9, 11), 2, 2);
    p.restore();
}

void dibujaConexion(QPainter& p)
{
    cilindro(p, QRectF(3, 2, 16, 24), kAzul);
    enchufe(p, QPointF(24, 22), -90, kVerde);
}

void dibujaDesconectar(QPainter& p)
{
    cilindro(p, QRectF(3, 2, 16, 24), kAzul);
    cruz(p, QPointF(23, 23), 7);
}

void dibujaTraducir(QPainter& p)
{
    pagina(p, QRectF(3, 3, 14, 18), 2, true);
    pagina(p, QRectF(15, 12, 14, 18), 2);
    // Arrow from the fuzzy text towards the plain one.
    p.setPen(trazo(kAzul, 3));
    p.drawLine(QPointF(19, 6), QPointF(24, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(kAzul);
    p.drawPolygon(QPolygonF({{23, 1.5}, {29.5, 6}, {23, 10.5}}));
}

void dibujaEnvio(QPainter& p)
{
    // The run arrow on a trapezoid, the usual shape of a fuzzy label.
    rellenar(p, QPolygonF({{2, 28}, {10, 4}, {22, 4}, {30, 28}}), kAzulClaro);
    flechaPlay(p, QRectF(11.5, 9, 12, 16));
}

void dibujaEnviarSQL(QPainter& p)
{
    cilindro(p, QRectF(3, 8, 14, 21), kAzul);
    flechaPlay(p, QRectF(13, 3, 16, 22));
}

void dibujaInfo(QPainter& p)
{
    p.setPen(trazo());
    p.setBrush(kAzul);
    p.drawEllipse(QPointF(16, 16), 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(kPapel);
    p.drawEllipse(QPointF(16, 9), 2.5, 2.5);
    p.drawRoundedRect(QRectF(14, 13, 4, 12), 1, 1);
}

void dibujaAcercaDe(QPainter& p)
{
    rellenar(p, formaNube(QRectF(3, 6, 26, 20)), kAzulClaro);
    // A question mark inside the cloud.
    p.setPen(trazo(kAzul, 2.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath gancho({12.5, 13.5});
    gancho.cubicTo(12.5, 9, 19.5, 9, 19.5, 13.5);
    gancho.cubicTo(19.5, 16, 16, 16, 16, 19);
    p.drawPath(gancho);
    p.setPen(Qt::NoPen);
    p.setBrush(kAzul);
    p.drawEllipse(QPointF(16, 22.5), 1.6, 1.6);
}

void dibujaNube(QPainter& p)
{
    rellenar(p, formaNube(QRectF(3, 7, 26, 18)), kAzulClaro);
}

QPixmap lienzo(int lado, Dibujo dibujo)
{
    QPixmap pm(lado, lado);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(lado / 32.0, lado / 32.0);
    dibujo(p);
    return pm;
}

QIcon icono(Dibujo dibujo, std::initializer_list<int> lados = {16, 24, 32})
{
    QIcon ic;
    for (int lado : lados)
        ic.addPixmap(lienzo(lado, dibujo));
    return ic;
}

} // namespace

namespace Iconos {

QIcon botonBarra(const QString& clave)
{
    static const QHash<QString, Dibujo> dibujos = {
        {QStringLiteral("New"), dibujaNuevo},
        {QStringLiteral("Open"), dibujaAbrir},
        {QStringLiteral("Save"), dibujaGuardar},
        {QStringLiteral("Print"), dibujaImprimir},
        {QStringLiteral("Cut"), dibujaCortar},
        {QStringLiteral("Copy"), dibujaCopiar},
        {QStringLiteral("Paste"), dibujaPegar},
        {QStringLiteral("Conexión"), dibujaConexion},
        {QStringLiteral("Traducir"), dibujaTraducir},
        {QStringLiteral("Envio"), dibujaEnvio},
        {QStringLiteral("EnviarSQL"), dibujaEnviarSQL},
        {QStringLiteral("Info"), dibujaInfo},
        {QStringLiteral("Desconectar"), dibujaDesconectar},
        {QStringLiteral("About"), dibujaAcercaDe},
    };
    const Dibujo dibujo = dibujos.value(clave, nullptr);
    return dibujo ? icono(dibujo) : QIcon();
}

QPixmap conexion(bool conectado)
{
    QPixmap pm(34, 34);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(1, 1); // the 32-unit grid centred, one pixel of margin
    if (conectado) {
        cilindro(p, QRectF(5, 2, 20, 27), kAzul);
        // A lit green lamp.
        p.setPen(trazo());
        p.setBrush(kVerde);
        p.drawEllipse(QPointF(24, 24), 6, 6);
        p.setPen(Qt::NoPen);
        p.setBrush(kVerde.lighter(160));
        p.drawEllipse(QPointF(22.5, 22.5), 2, 2);
    } else {
        cilindro(p, QRectF(5, 2, 20, 27), kGris);
        cruz(p, QPointF(24, 24), 6);
    }
    return pm;
}

QIcon aplicacion()
{
    return icono(dibujaNube, {16, 24, 32, 48, 64, 128});
}

} // namespace Iconos
