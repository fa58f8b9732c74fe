#include "PintorRejilla.h"

#include "ColorValue.h"
#include "OrdenRejilla.h"

#include <algorithm>

namespace rejilla {

PintorRejilla::PintorRejilla(const Rejilla& rejilla, Opciones opciones)
    : g_(rejilla)
    , o_(opciones)
{
}

QColor PintorRejilla::color(quint32 valor) const
{
    return ColorValue::aColor(valor, g_.palette());
}

void PintorRejilla::pintar(QPainter& p, const std::vector<Tramo>& filas, const std::vector<Tramo>& columnas) const
{
    const int nf = int(filas.size()), nc = int(columnas.size());
    if (nf == 0 || nc == 0)
        return;
    // Each cell on the list belongs to one zone: itself, or a run of equal neighbours. Rows are
    // joined first; a cell already joined along its row is not joined down its column.
    std::vector<Zona> zonas;
    std::vector<int> dueno(size_t(nf) * size_t(nc), -1);
    auto en = [&](int i, int j) -> int& { return dueno[size_t(i) * size_t(nc) + size_t(j)]; };
    for (int i = 0; i < nf; ++i) {
        int j = 0;
        while (j < nc) {
            int fin = j;
            while (fin + 1 < nc && columnas[size_t(fin + 1)].indice == columnas[size_t(fin)].indice + 1
                   && g_.unidaConIzquierda(filas[size_t(i)].indice, int(columnas[size_t(fin + 1)].indice)))
                ++fin;
            zonas.push_back({i, i, j, fin});
            for (int k = j; k <= fin; ++k)
                en(i, k) = int(zonas.size() - 1);
            j = fin + 1;
        }
    }
    for (int j = 0; j < nc; ++j) {
        for (int i = 1; i < nf; ++i) {
            Zona& abajo = zonas[size_t(en(i, j))];
            const int zArriba = en(i - 1, j);
            Zona& arriba = zonas[size_t(zArriba)];
            if (abajo.c0 != abajo.c1 || arriba.c0 != arriba.c1 || arriba.c0 != j)
                continue;
            if (filas[size_t(i)].indice != filas[size_t(i - 1)].indice + 1
                || !g_.unidaConArriba(filas[size_t(i)].indice, int(columnas[size_t(j)].indice)))
                continue;
            abajo.f0 = -1; // absorbed
            arriba.f1 = i;
            en(i, j) = zArriba;
        }
    }
    for (const Zona& z : zonas)
        if (z.f0 >= 0)
            pintarZona(p, z, filas, columnas);
}

void PintorRejilla::pintarZona(
    QPainter& p, const Zona& z, const std::vector<Tramo>& filas, const std::vector<Tramo>& columnas) const
{
    const Tramo& f0 = filas[size_t(z.f0)];
    const Tramo& f1 = filas[size_t(z.f1)];
    const Tramo& c0 = columnas[size_t(z.c0)];
    const Tramo& c1 = columnas[size_t(z.c1)];
    const QRect r(c0.inicio, f0.inicio, c1.inicio + c1.tamano - c0.inicio, f1.inicio + f1.tamano - f0.inicio);
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const qint64 fila = f0.indice;
    const int columna = int(c0.indice);
    const bool fija = fila < g_.fixedRows() || columna < g_.fixedCols();

    const qint64 selF0 = std::min(g_.row_, g_.rowSel_), selF1 = std::max(g_.row_, g_.rowSel_);
    const int selC0 = std::min(g_.col_, g_.colSel_), selC1 = std::max(g_.col_, g_.colSel_);
    const bool actual = fila == g_.row_ && columna == g_.col_;
    const bool variasCeldas = selF0 != selF1 || selC0 != selC1;
    const bool seleccionada = o_.seleccion && !fija && variasCeldas && !actual && fila >= selF0 && fila <= selF1
        && columna >= selC0 && columna <= selC1;

    QColor fondo, tinta;
    if (o_.monocromo) {
        fondo = Qt::white;
        tinta = Qt::black;
    } else if (seleccionada) {
        fondo = color(0x8000000Du);
        tinta = color(0x8000000Eu);
    } else if (fija) {
        fondo = color(g_.backColorFixed_);
        tinta = color(g_.foreColorFixed_);
    } else {
        fondo = color(g_.backColor_);
        tinta = color(g_.foreColor_);
    }
    p.fillRect(r, fondo);

    const QString texto = g_.textMatrix(fila, columna);
    if (!texto.isEmpty()) {
        int codigo = g_.modelo_->alineacion(fila, columna);
        if (fila < g_.fixedRows() && g_.fixedAlignment(columna) != General)
            codigo = g_.fixedAlignment(columna);
        double numero;
        const bool esNumero = codigo == General && leerNumero(texto.toStdString(), &numero);
        Qt::Alignment alineacion = alineacionQt(codigo, esNumero);
        const QRect caja = r.adjusted(3, 1, -3, -1);
        // Lines break only between words: Qt would also break a single word such as $[20,25,30,35]
        // at its punctuation, leaving "$" alone on the only line a short row shows.
        const bool partir = g_.wordWrap_ && std::any_of(texto.begin(), texto.end(), [](QChar c) { return c.isSpace(); });
        if (partir) {
            // Wrapped text taller than its cell starts at the top, so that its first line shows whole.
            const QRect necesario = QFontMetrics(g_.font()).boundingRect(caja, int(alineacion) | Qt::TextWordWrap, texto);
            if (necesario.height() > caja.height())
                alineacion = (alineacion & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
        }
        const int flags = int(alineacion) | (partir ? Qt::TextWordWrap : Qt::TextSingleLine);
        pintarTexto(p, caja, texto, flags, fija ? g_.textStyleFixed_ : g_.textStyle_, tinta);
    }
    pintarLineas(p, r, fija ? g_.gridLinesFixed_ : g_.gridLines_);
    if (o_.seleccion && actual && g_.hasFocus()) {
        QPen pen(o_.monocromo ? QColor(Qt::black) : tinta, 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
}

void PintorRejilla::pintarTexto(QPainter& p, const QRect& r, const QString& texto, int flags, int estilo, const QColor& tinta) const
{
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setFont(g_.font());
    const QColor claro = o_.monocromo ? QColor(Qt::white) : QColor(Qt::white);
    const QColor oscuro = o_.monocromo ? QColor(Qt::black) : QColor(128, 128, 128);
    // Raised text has its light edge up-left and its shadow down-right; inset text the reverse.
    // The light variants draw one edge only.
    switch (estilo) {
    case Elevado:
        p.setPen(claro);
        p.drawText(r.translated(-1, -1), flags, texto);
        p.setPen(oscuro);
        p.drawText(r.translated(1, 1), flags, texto);
        break;
    case Hundido:
        p.setPen(oscuro);
        p.drawText(r.translated(-1, -1), flags, texto);
        p.setPen(claro);
        p.drawText(r.translated(1, 1), flags, texto);
        break;
    case ElevadoLigero:
        p.setPen(oscuro);
        p.drawText(r.translated(1, 1), flags, texto);
        break;
    case HundidoLigero:
        p.setPen(claro);
        p.drawText(r.translated(1, 1), flags, texto);
        break;
    default:
        break;
    }
    p.setPen(tinta);
    p.drawText(r, flags, texto);
    p.restore();
}

void PintorRejilla::pintarLineas(QPainter& p, const QRect& r, int lineas) const
{
    const int x0 = r.left(), y0 = r.top(), x1 = r.right(), y1 = r.bottom();
    const QColor claro = Qt::white;
    const QColor oscuro = o_.monocromo ? QColor(Qt::black) : QColor(128, 128, 128);
    switch (lineas) {
    case LineasPlanas:
        p.setPen(o_.monocromo ? QColor(Qt::black) : color(g_.gridColor_));
        p.drawLine(x1, y0, x1, y1);
        p.drawLine(x0, y1, x1, y1);
        break;
    case LineasHundidas:
        p.setPen(oscuro);
        p.drawLine(x0, y0, x1, y0);
        p.drawLine(x0, y0, x0, y1);
        p.setPen(o_.monocromo ? oscuro : claro);
        p.drawLine(x1, y0, x1, y1);
        p.drawLine(x0, y1, x1, y1);
        break;
    case LineasElevadas:
        p.setPen(o_.monocromo ? oscuro : claro);
        p.drawLine(x0, y0, x1, y0);
        p.drawLine(x0, y0, x0, y1);
        p.setPen(oscuro);
        p.drawLine(x1, y0, x1, y1);
        p.drawLine(x0, y1, x1, y1);
        break;
    default:
        break;
    }
}

} // namespace rejilla
