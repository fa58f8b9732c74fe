#pragma once

#include "ModeloRejilla.h"

#include <QAbstractScrollArea>
#include <QImage>

#include <map>
#include <vector>

namespace rejilla {

enum EstiloTexto { Plano = 0, Elevado = 1, Hundido = 2, ElevadoLigero = 3, HundidoLigero = 4 };
enum LineasRejilla { SinLineas = 0, LineasPlanas = 1, LineasHundidas = 2, LineasElevadas = 3 };
enum ModoMezcla { MezclaNunca = 0, MezclaLibre = 1, MezclaRestringirFilas = 2, MezclaRestringirColumnas = 3, MezclaRestringirTodo = 4 };
enum TipoImagen { ImagenColor = 0, ImagenMonocroma = 1 };
enum TipoOrden { SinOrden = 0, GenericoAscendente = 1, GenericoDescendente = 2 };

// A flexible grid: fixed header rows and columns, a current cell and a selection, sizes in twips,
// per-cell alignment, text styles, grid lines, merging of equal neighbours, word wrap, a generic
// sort and a picture of the whole table. Its cells live in a ModeloRejilla (one compact row store);
// it draws only the rows and columns that are on screen. Sizes are twips, colours 0x00BBGGRR values
// or system colours (ColorValue).
class Rejilla : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit Rejilla(QWidget* padre = nullptr);

    ModeloRejilla* modelo() const { return modelo_; }

    qint64 rows() const { return modelo_->filas(); }
    void setRows(qint64 filas);
    int cols() const { return modelo_->columnas(); }
    void setCols(int columnas);
    // Header rows and columns; never more than the grid has.
    int fixedRows() const { return int(std::min<qint64>(filasFijas_, rows())); }
    void setFixedRows(int filas);
    int fixedCols() const { return std::min(columnasFijas_, cols()); }
    void setFixedCols(int columnas);

    // The current cell. Setting Row or Col moves it and collapses the selection to it.
    qint64 row() const { return row_; }
    void setRow(qint64 fila);
    int col() const { return col_; }
    void setCol(int columna);
    // The other corner of the selection.
    qint64 rowSel() const { return rowSel_; }
    void setRowSel(qint64 fila);
    int colSel() const { return colSel_; }
    void setColSel(int columna);
    // First scrollable row and column on screen.
    qint64 topRow() const { return topRow_; }
    void setTopRow(qint64 fila);
    int leftCol() const { return leftCol_; }
    void setLeftCol(int columna);

    QString text() const { return textMatrix(row_, col_); }
    void setText(const QString& texto) { setTextMatrix(row_, col_, texto); }
    QString textMatrix(qint64 fila, int columna) const { return modelo_->texto(fila, columna); }
    void setTextMatrix(qint64 fila, int columna, const QString& texto) { modelo_->ponerTexto(fila, columna, texto); }

    int colWidth(int columna) const;
    void setColWidth(int columna, int twips);
    int rowHeight(qint64 fila) const;
    void setRowHeight(qint64 fila, int twips);

    int cellAlignment() const { return modelo_->alineacion(row_, col_); }
    void setCellAlignment(int codigo) { modelo_->ponerAlineacion(row_, col_, codigo); }
    // Alignment of the fixed cells of a column; General leaves each fixed cell to its own.
    int fixedAlignment(int columna) const;
    void setFixedAlignment(int columna, int codigo);

    int textStyle() const { return textStyle_; }
    void setTextStyle(int estilo);
    int textStyleFixed() const { return textStyleFixed_; }
    void setTextStyleFixed(int estilo);
    int gridLines() const { return gridLines_; }
    void setGridLines(int lineas);
    int gridLinesFixed() const { return gridLinesFixed_; }
    void setGridLinesFixed(int lineas);

    int mergeCells() const { return mergeCells_; }
    void setMergeCells(int modo);
    bool mergeCol(int columna) const;
    void setMergeCol(int columna, bool unir);
    bool mergeRow(qint64 fila) const;
    void setMergeRow(qint64 fila, bool unir);
    // Whether a cell is shown as one with its left (upper) neighbour.
    bool unidaConIzquierda(qint64 fila, int columna) const;
    bool unidaConArriba(qint64 fila, int columna) const;

    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool dividir);

    // Generic sort on the columns Col..ColSel: the selected rows when the selection spans rows,
    // else every scrollable row. Fixed rows never move.
    void setSort(int tipo);

    QString tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }

    quint32 foreColor() const { return foreColor_; }
    void setForeColor(quint32 color);
    quint32 backColor() const { return backColor_; }
    void setBackColor(quint32 color);
    quint32 foreColorFixed() const { return foreColorFixed_; }
    void setForeColorFixed(quint32 color);
    quint32 backColorFixed() const { return backColorFixed_; }
    void setBackColorFixed(quint32 color);
    quint32 gridColor() const { return gridColor_; }
    void setGridColor(quint32 color);

    int pictureType() const { return pictureType_; }
    void setPictureType(int tipo);
    // The whole table (every row and column) as the grid draws it, in the picture type. Null when
    // the table is too large for one picture.
    QImage picture() const;
    // Largest side of a picture, in pixels.
    static constexpr int LadoMaximoImagen = 32767;

    // The selected cells as tab-separated lines; tabs and line breaks inside cells become spaces.
    QString textoSeleccion() const;

    // Bulk filling: append rows with cols() cells to lote(), then publicar() shows them in one step.
    filas::AlmacenFilas& lote() { return modelo_->lote(); }
    qint64 publicar() { return modelo_->publicar(); }

    // Where a cell is in the viewport (pixels); empty when it is not on screen.
    QRect rectanguloCelda(qint64 fila, int columna) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void seleccionCambiada();

protected:
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* evento) override;

private:
    friend class PintorRejilla;
    struct Tramo {
        qint64 indice;
        int inicio; // pixels
        int tamano; // pixels
    };
    int anchoPx(int columna) const;
    int altoPx(qint64 fila) const;
    int altoPorDefecto() const; // twips, from the font
    std::vector<Tramo> filasEnPantalla() const;
    std::vector<Tramo> columnasEnPantalla() const;
    // Cell under a viewport point; false outside the cells.
    bool celdaEn(QPoint punto, qint64* fila, int* columna) const;
    void ajustarBarras();
    void alCambiarModelo();
    void hacerVisible(qint64 fila, int columna);
    void moverActual(qint64 fila, int columna, bool extender);
    void seleccionNueva();

    ModeloRejilla* modelo_;
    int filasFijas_ = 1, columnasFijas_ = 1;
    qint64 row_ = 1, rowSel_ = 1;
    int col_ = 1, colSel_ = 1;
    qint64 topRow_ = 1;
    int leftCol_ = 1;
    std::vector<int> anchos_;                   // twips, -1 for the default
    std::map<qint64, int> altos_;               // twips, only rows given their own height
    std::vector<int> alineacionFija_;           // per column
    std::vector<bool> mezclaColumnas_, mezclaFilas_;
    int textStyle_ = Plano, textStyleFixed_ = Plano;
    int gridLines_ = LineasPlanas, gridLinesFixed_ = LineasHundidas;
    int mergeCells_ = MezclaNunca;
    bool wordWrap_ = false;
    QString tag_;
    quint32 foreColor_, backColor_, foreColorFixed_, backColorFixed_, gridColor_;
    int pictureType_ = ImagenColor;
    bool arrastrando_ = false;
};

} // namespace rejilla
