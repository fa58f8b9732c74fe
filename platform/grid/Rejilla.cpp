#include "Rejilla.h"

#include "ColorValue.h"
#include "PintorRejilla.h"
#include "Twips.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace rejilla {

namespace {

constexpr int AnchoPorDefecto = 960; // twips

template <typename T>
T limitar(T valor, T minimo, T maximo)
{
    return valor < minimo ? minimo : (valor > maximo ? maximo : valor);
}

} // namespace

Rejilla::Rejilla(QWidget* padre)
    : QAbstractScrollArea(padre)
    , modelo_(new ModeloRejilla(this))
    , foreColor_(0x80000008u)
    , backColor_(0x80000005u)
    , foreColorFixed_(0x80000012u)
    , backColorFixed_(0x8000000Fu)
    , gridColor_(0x00C0C0C0u)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    connect(modelo_, &QAbstractItemModel::rowsInserted, this, &Rejilla::alCambiarModelo);
    connect(modelo_, &QAbstractItemModel::rowsRemoved, this, &Rejilla::alCambiarModelo);
    connect(modelo_, &QAbstractItemModel::columnsInserted, this, &Rejilla::alCambiarModelo);
    connect(modelo_, &QAbstractItemModel::columnsRemoved, this, &Rejilla::alCambiarModelo);
    connect(modelo_, &QAbstractItemModel::modelReset, this, &Rejilla::alCambiarModelo);
    connect(modelo_, &QAbstractItemModel::dataChanged, viewport(), qOverload<>(&QWidget::update));
    modelo_->vaciar(2, 2);
}

void Rejilla::alCambiarModelo()
{
    const int nc = cols();
    anchos_.resize(size_t(nc), -1);
    alineacionFija_.resize(size_t(nc), General);
    mezclaColumnas_.resize(size_t(nc), false);
    if (mezclaFilas_.size() > size_t(rows()))
        mezclaFilas_.resize(size_t(rows()));
    while (!altos_.empty() && std::prev(altos_.end())->first >= rows())
        altos_.erase(std::prev(altos_.end()));
        const qint64 ultimaFila = std::max<qint64>(0, rows() - 1);
    const int ultimaCol = std::max(0, nc - 1);
    row_ = limitar<qint64>(row_, 0, ultimaFila);
    rowSel_ = limitar<qint64>(rowSel_, 0, ultimaFila);
    col_ = limitar(col_, 0, ultimaCol);
    colSel_ = limitar(colSel_, 0, ultimaCol);
    topRow_ = limitar<qint64>(topRow_, fixedRows(), std::max<qint64>(fixedRows(), ultimaFila));
    leftCol_ = limitar(leftCol_, fixedCols(), std::max(fixedCols(), ultimaCol));
    ajustarBarras();
    viewport()->update();
}

void Rejilla::setRows(qint64 filas)
{
    modelo_->ponerFilas(filas);
}

void Rejilla::setCols(int columnas)
{
    modelo_->ponerColumnas(columnas);
}

void Rejilla::setFixedRows(int filas)
{
    filasFijas_ = std::max(0, filas);
    alCambiarModelo();
}

void Rejilla::setFixedCols(int columnas)
{
    columnasFijas_ = std::max(0, columnas);
    alCambiarModelo();
}

void Rejilla::setRow(qint64 fila)
{
    if (fila < 0 || fila >= rows())
        return;
    row_ = rowSel_ = fila;
    colSel_ = col_;
    seleccionNueva();
}

void Rejilla::setCol(int columna)
{
    if (columna < 0 || columna >= cols())
        return;
    col_ = colSel_ = columna;
    rowSel_ = row_;
    seleccionNueva();
}

void Rejilla::setRowSel(qint64 fila)
{
    if (fila < 0 || fila >= rows())
        return;
    rowSel_ = fila;
    seleccionNueva();
}

void Rejilla::setColSel(int columna)
{
    if (columna < 0 || columna >= cols())
        return;
    colSel_ = columna;
    seleccionNueva();
}

void Rejilla::seleccionNueva()
{
    viewport()->update();
    Q_EMIT seleccionCambiada();
}

void Rejilla::setTopRow(qint64 fila)
{
    verticalScrollBar()->setValue(int(limitar<qint64>(fila - fixedRows(), 0, verticalScrollBar()->maximum())));
}

void Rejilla::setLeftCol(int columna)
{
    horizontalScrollBar()->setValue(limitar(columna - fixedCols(), 0, horizontalScrollBar()->maximum()));
}

int Rejilla::colWidth(int columna) const
{
    if (columna < 0 || size_t(columna) >= anchos_.size())
        return 0;
    return anchos_[size_t(columna)] < 0 ? AnchoPorDefecto : anchos_[size_t(columna)];
}

void Rejilla::setColWidth(int columna, int twips)
{
    if (columna < 0 || size_t(columna) >= anchos_.size())
        return;
    anchos_[size_t(columna)] = std::max(0, twips);
    ajustarBarras();
    viewport()->update();
}

int Rejilla::altoPorDefecto() const
{
    return Twips::desdePixeles(fontMetrics().height() + 4);
}

int Rejilla::rowHeight(qint64 fila) const
{
    if (fila < 0 || fila >= rows())
        return 0;
    const auto i = altos_.find(fila);
    return i == altos_.end() ? altoPorDefecto() : i->second;
}

void Rejilla::setRowHeight(qint64 fila, int twips)
{
    if (fila < 0 || fila >= rows())
        return;
    altos_[fila] = std::max(0, twips);
    ajustarBarras();
    viewport()->update();
}

int Rejilla::anchoPx(int columna) const
{
    return Twips::aPixeles(colWidth(columna));
}

int Rejilla::altoPx(qint64 fila) const
{
    return Twips::aPixeles(rowHeight(fila));
}

int Rejilla::fixedAlignment(int columna) const
{
    return columna >= 0 && size_t(columna) < alineacionFija_.size() ? alineacionFija_[size_t(columna)] : int(General);
}

void Rejilla::setFixedAlignment(int columna, int codigo)
{
    if (columna < 0 || size_t(columna) >= alineacionFija_.size())
        return;
    alineacionFija_[size_t(columna)] = codigo >= 0 && codigo < NumAlineaciones ? codigo : int(General);
    viewport()->update();
}

void Rejilla::setTextStyle(int estilo)
{
    textStyle_ = limitar(estilo, 0, 4);
    viewport()->update();
}

void Rejilla::setTextStyleFixed(int estilo)
{
    textStyleFixed_ = limitar(estilo, 0, 4);
    viewport()->update();
}

void Rejilla::setGridLines(int lineas)
{
    gridLines_ = limitar(lineas, 0, 3);
    viewport()->update();
}

void Rejilla::setGridLinesFixed(int lineas)
{
    gridLinesFixed_ = limitar(lineas, 0, 3);
    viewport()->update();
}

void Rejilla::setMergeCells(int modo)
{
    mergeCells_ = limitar(modo, 0, 4);
    viewport()->update();
}

bool Rejilla::mergeCol(int columna) const
{
    return columna >= 0 && size_t(columna) < mezclaColumnas_.size() && mezclaColumnas_[size_t(columna)];
}

void Rejilla::setMergeCol(int columna, bool unir)
{
    if (columna < 0 || size_t(columna) >= mezclaColumnas_.size())
        return;
    mezclaColumnas_[size_t(columna)] = unir;
    viewport()->update();
}

bool Rejilla::mergeRow(qint64 fila) const
{
    return fila >= 0 && size_t(fila) < mezclaFilas_.size() && mezclaFilas_[size_t(fila)];
}

void Rejilla::setMergeRow(qint64 fila, bool unir)
{
    if (fila < 0 || fila >= rows())
        return;
    if (size_t(fila) >= mezclaFilas_.size()) {
        if (!unir)
            return;
        mezclaFilas_.resize(size_t(fila) + 1, false);
    }
    mezclaFilas_[size_t(fila)] = unir;
    viewport()->update();
}

bool Rejilla::unidaConIzquierda(qint64 fila, int columna) const
{
    // Cells join along a flagged row when equal and on the same side of the fixed columns. With
    // rows restricted, a pair joins only when the pair above it joined too (or it is the first row
    // of its part), so that joins grow down from the top like a hierarchy. Walked upwards in a loop:
    // a long run of flagged rows must not nest calls.
    if (mergeCells_ == MezclaNunca || columna < 1 || columna >= cols() || columna == fixedCols())
        return false;
    const bool restringido = mergeCells_ == MezclaRestringirFilas || mergeCells_ == MezclaRestringirTodo;
    const filas::AlmacenFilas& a = modelo_->almacen();
    for (qint64 f = fila;; --f) {
        if (f < 0 || f >= rows() || !mergeRow(f) || a.tipo(f, columna) != a.tipo(f, columna - 1)
            || a.bytes(f, columna) != a.bytes(f, columna - 1))
            return false;
        if (!restringido || f == 0 || f == fixedRows())
            return true;
    }
}

bool Rejilla::unidaConArriba(qint64 fila, int columna) const
{
    // The same down a flagged column; restricted columns join only where the column to the left
    // joined the same two rows.
    if (mergeCells_ == MezclaNunca || fila < 1 || fila >= rows() || columna < 0 || columna >= cols())
        return false;
    if (!mergeCol(columna) || fila == fixedRows())
        return false;
    if (modelo_->almacen().bytes(fila, columna) != modelo_->almacen().bytes(fila - 1, columna)
        || modelo_->almacen().tipo(fila, columna) != modelo_->almacen().tipo(fila - 1, columna))
        return false;
    const bool restringido = mergeCells_ == MezclaRestringirColumnas || mergeCells_ == MezclaRestringirTodo;
    if (restringido && columna != 0 && columna != fixedCols())
        return unidaConArriba(fila, columna - 1);
    return true;
}

void Rejilla::setWordWrap(bool dividir)
{
    wordWrap_ = dividir;
    viewport()->update();
}

void Rejilla::setSort(int tipo)
{
    if (tipo != GenericoAscendente && tipo != GenericoDescendente)
        return;
    const int c0 = std::min(col_, colSel_), c1 = std::max(col_, colSel_);
    std::vector<int> claves;
    for (int c = c0; c <= c1; ++c)
        claves.push_back(c);
    qint64 desde = fixedRows(), hasta = rows() - 1;
    if (row_ != rowSel_) {
        desde = std::max<qint64>(fixedRows(), std::min(row_, rowSel_));
        hasta = std::max(row_, rowSel_);
    }
    modelo_->ordenar(desde, hasta, claves, tipo == GenericoDescendente);
}

void Rejilla::setForeColor(quint32 color)
{
    foreColor_ = color;
    viewport()->update();
}

void Rejilla::setBackColor(quint32 color)
{
    backColor_ = color;
    viewport()->update();
}

void Rejilla::setForeColorFixed(quint32 color)
{
    foreColorFixed_ = color;
    viewport()->update();
}

void Rejilla::setBackColorFixed(quint32 color)
{
    backColorFixed_ = color;
    viewport()->update();
}

void Rejilla::setGridColor(quint32 color)
{
    gridColor_ = color;
    viewport()->update();
}

void Rejilla::setPictureType(int tipo)
{
    pictureType_ = tipo == ImagenMonocroma ? ImagenMonocroma : ImagenColor;
}

QImage Rejilla::picture() const
{
    std::vector<Tramo> filas, columnas;
    qint64 alto = 0, ancho = 0;
    for (int c = 0; c < cols(); ++c) {
        columnas.push_back({c, int(ancho), anchoPx(c)});
        ancho += anchoPx(c);
        if (ancho > LadoMaximoImagen)
            return {};
    }
    for (qint64 f = 0; f < rows(); ++f) {
        filas.push_back({f, int(alto), altoPx(f)});
        alto += altoPx(f);
        if (alto > LadoMaximoImagen)
            return {};
    }
    if (alto == 0 || ancho == 0 || alto * ancho > qint64(256) << 20)
        return {};
    QImage imagen(int(ancho), int(alto), QImage::Format_RGB32);
    if (imagen.isNull())
        return {};
    const bool monocromo = pictureType_ == ImagenMonocroma;
    imagen.fill(monocromo ? Qt::white : ColorValue::aColor(backColor_, palette()));
    {
        QPainter p(&imagen);
        PintorRejilla(*this, {false, monocromo}).pintar(p, filas, columnas);
    }
    if (monocromo)
        return imagen.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither | Qt::MonoOnly);
    return imagen;
}

QString Rejilla::textoSeleccion() const
{
    const qint64 f0 = std::min(row_, rowSel_), f1 = std::max(row_, rowSel_);
    const int c0 = std::min(col_, colSel_), c1 = std::max(col_, colSel_);
    QString salida;
    for (qint64 f = f0; f <= f1 && f < rows(); ++f) {
        for (int c = c0; c <= c1 && c < cols(); ++c) {
            if (c > c0)
                salida += QLatin1Char('\t');
            QString t = textMatrix(f, c);
            t.replace(QLatin1Char('\t'), QLatin1Char(' '));
            t.replace(QLatin1Char('\r'), QLatin1Char(' '));
            t.replace(QLatin1Char('\n'), QLatin1Char(' '));
            salida += t;
        }
        salida += QLatin1Char('\n');
    }
    return salida;
}

std::vector<Rejilla::Tramo> Rejilla::filasEnPantalla() const
{
    std::vector<Tramo> salida;
    const int alto = viewport()->height();
    int y = 0;
    for (qint64 f = 0; f < fixedRows() && f < rows() && y < alto; ++f) {
        salida.push_back({f, y, altoPx(f)});
        y += altoPx(f);
    }
    for (qint64 f = topRow_; f < rows() && y < alto; ++f) {
        salida.push_back({f, y, altoPx(f)});
        y += altoPx(f);
    }
    return salida;
}

std::vector<Rejilla::Tramo> Rejilla::columnasEnPantalla() const
{
    std::vector<Tramo> salida;
    const int ancho = viewport()->width();
    int x = 0;
    for (int c = 0; c < fixedCols() && c < cols() && x < ancho; ++c) {
        salida.push_back({c, x, anchoPx(c)});
        x += anchoPx(c);
    }
    for (int c = leftCol_; c < cols() && x < ancho; ++c) {
        salida.push_back({c, x, anchoPx(c)});
        x += anchoPx(c);
    }
    return salida;
}

QRect Rejilla::rectanguloCelda(qint64 fila, int columna) const
{
    for (const Tramo& f : filasEnPantalla()) {
        if (f.indice != fila)
            continue;
        for (const Tramo& c : columnasEnPantalla())
            if (c.indice == columna)
                return QRect(c.inicio, f.inicio, c.tamano, f.tamano);
    }
    return {};
}

bool Rejilla::celdaEn(QPoint punto, qint64* fila, int* columna) const
{
    bool enFila = false, enColumna = false;
    for (const Tramo& f : filasEnPantalla())
        if (punto.y() >= f.inicio && punto.y() < f.inicio + f.tamano) {
            *fila = f.indice;
            enFila = true;
        }
    for (const Tramo& c : columnasEnPantalla())
        if (punto.x() >= c.inicio && punto.x() < c.inicio + c.tamano) {
            *columna = int(c.indice);
            enColumna = true;
        }
    return enFila && enColumna;
}

void Rejilla::ajustarBarras()
{
    // Scrolling is by whole rows and columns: the bars count the scrollable ones, up to the first
    // that still leaves the last one fully on screen.
    int fijo = 0;
    for (qint64 f = 0; f < fixedRows() && f < rows(); ++f)
        fijo += altoPx(f);
    int libre = viewport()->height() - fijo;
    qint64 ultimaArriba = rows() - 1;
    for (; ultimaArriba > fixedRows(); --ultimaArriba) {
        libre -= altoPx(ultimaArriba);
        if (libre < altoPx(ultimaArriba - 1))
            break;
    }
    const qint64 filasMax = std::max<qint64>(0, ultimaArriba - fixedRows());
    verticalScrollBar()->setRange(0, int(std::min<qint64>(filasMax, std::numeric_limits<int>::max())));
    verticalScrollBar()->setPageStep(std::max(1, viewport()->height() / std::max(1, altoPx(fixedRows()))));
    verticalScrollBar()->setSingleStep(1);

    fijo = 0;
    for (int c = 0; c < fixedCols() && c < cols(); ++c)
        fijo += anchoPx(c);
    libre = viewport()->width() - fijo;
    int ultimaIzquierda = cols() - 1;
    for (; ultimaIzquierda > fixedCols(); --ultimaIzquierda) {
        libre -= anchoPx(ultimaIzquierda);
        if (libre < anchoPx(ultimaIzquierda - 1))
            break;
    }
    horizontalScrollBar()->setRange(0, std::max(0, ultimaIzquierda - fixedCols()));
    horizontalScrollBar()->setPageStep(1);
    horizontalScrollBar()->setSingleStep(1);
    topRow_ = fixedRows() + verticalScrollBar()->value();
    leftCol_ = fixedCols() + horizontalScrollBar()->value();
}

void Rejilla::scrollContentsBy(int, int)
{
    topRow_ = fixedRows() + verticalScrollBar()->value();
    leftCol_ = fixedCols() + horizontalScrollBar()->value();
    viewport()->update();
}

void Rejilla::resizeEvent(QResizeEvent* evento)
{
    QAbstractScrollArea::resizeEvent(evento);
    ajustarBarras();
}

void Rejilla::changeEvent(QEvent* evento)
{
    QAbstractScrollArea::changeEvent(evento);
    if (evento->type() == QEvent::FontChange) {
        ajustarBarras();
        viewport()->update();
    }
}

void Rejilla::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Dark));
    PintorRejilla(*this, {true, false}).pintar(p, filasEnPantalla(), columnasEnPantalla());
}

void Rejilla::hacerVisible(qint64 fila, int columna)
{
    if (fila >= fixedRows()) {
        if (fila < topRow_)
            setTopRow(fila);
        else {
            // Scroll down until the row is fully on screen.
            while (topRow_ < fila) {
                int y = 0;
                for (qint64 f = 0; f < fixedRows(); ++f)
                    y += altoPx(f);
                for (qint64 f = topRow_; f <= fila; ++f)
                    y += altoPx(f);
                if (y <= viewport()->height())
                    break;
                const qint64 antes = topRow_;
                setTopRow(topRow_ + 1);
                if (topRow_ == antes)
                    break;
            }
        }
    }
    if (columna >= fixedCols()) {
        if (columna < leftCol_)
            setLeftCol(columna);
        else {
            while (leftCol_ < columna) {
                int x = 0;
                for (int c = 0; c < fixedCols(); ++c)
                    x += anchoPx(c);
                for (int c = leftCol_; c <= columna; ++c)
                    x += anchoPx(c);
                if (x <= viewport()->width())
                    break;
                const int antes = leftCol_;
                setLeftCol(leftCol_ + 1);
                if (leftCol_ == antes)
                    break;
            }
        }
    }
}

void Rejilla::moverActual(qint64 fila, int columna, bool extender)
{
    if (rows() <= fixedRows() || cols() <= fixedCols())
        return;
    fila = limitar<qint64>(fila, fixedRows(), rows() - 1);
    columna = limitar(columna, fixedCols(), cols() - 1);
    if (extender) {
        rowSel_ = fila;
        colSel_ = columna;
    } else {
        row_ = rowSel_ = fila;
        col_ = colSel_ = columna;
    }
    hacerVisible(fila, columna);
    seleccionNueva();
}

void Rejilla::keyPressEvent(QKeyEvent* evento)
{
    if (evento->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(textoSeleccion());
        return;
    }
    const bool extender = evento->modifiers() & Qt::ShiftModifier;
    const qint64 f = extender ? rowSel_ : row_;
    const int c = extender ? colSel_ : col_;
    const qint64 pagina = std::max(1, verticalScrollBar()->pageStep());
    switch (evento->key()) {
    case Qt::Key_Up: moverActual(f - 1, c, extender); break;
    case Qt::Key_Down: moverActual(f + 1, c, extender); break;
    case Qt::Key_Left: moverActual(f, c - 1, extender); break;
    case Qt::Key_Right: moverActual(f, c + 1, extender); break;
    case Qt::Key_PageUp: moverActual(f - pagina, c, extender); break;
    case Qt::Key_PageDown: moverActual(f + pagina, c, extender); break;
    case Qt::Key_Home:
        if (evento->modifiers() & Qt::ControlModifier)
            moverActual(fixedRows(), c, extender);
        else
            moverActual(f, fixedCols(), extender);
        break;
    case Qt::Key_End:
        if (evento->modifiers() & Qt::ControlModifier)
            moverActual(rows() - 1, c, extender);
        else
            moverActual(f, cols() - 1, extender);
        break;
    default:
        // Enter, Escape and the rest belong to the window.
        evento->ignore();
        return;
    }
}

void Rejilla::mousePressEvent(QMouseEvent* evento)
{
    setFocus(Qt::MouseFocusReason);
    qint64 fila = 0;
    int columna = 0;
    arrastrando_ = false;
    if (evento->button() != Qt::LeftButton || !celdaEn(evento->position().toPoint(), &fila, &columna))
        return;
    if (fila < fixedRows() && columna >= fixedCols() && rows() > fixedRows()) {
        // A header cell selects its whole column.
        row_ = fixedRows();
        rowSel_ = rows() - 1;
        col_ = colSel_ = columna;
        seleccionNueva();
        return;
    }
    if (columna < fixedCols() && fila >= fixedRows() && cols() > fixedCols()) {
        row_ = rowSel_ = fila;
        col_ = fixedCols();
        colSel_ = cols() - 1;
        seleccionNueva();
        return;
    }
    if (fila < fixedRows() || columna < fixedCols())
        return;
    moverActual(fila, columna, evento->modifiers() & Qt::ShiftModifier);
    arrastrando_ = true;
}

void Rejilla::mouseMoveEvent(QMouseEvent* evento)
{
    qint64 fila = 0;
    int columna = 0;
    if (arrastrando_ && (evento->buttons() & Qt::LeftButton) && celdaEn(evento->position().toPoint(), &fila, &columna)
        && (fila != rowSel_ || columna != colSel_))
        moverActual(fila, columna, true);
}

QSize Rejilla::sizeHint() const
{
    return {400, 300};
}

} // namespace rejilla
