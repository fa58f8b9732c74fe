#pragma once

#include "AlmacenFilas.h"

#include <QAbstractTableModel>

#include <vector>

namespace rejilla {

// The alignment codes of a cell, in the grid's order.
enum Alineacion : quint8 {
    IzquierdaArriba = 0,
    IzquierdaCentro = 1,
    IzquierdaAbajo = 2,
    CentroArriba = 3,
    CentroCentro = 4,
    CentroAbajo = 5,
    DerechaArriba = 6,
    DerechaCentro = 7,
    DerechaAbajo = 8,
    General = 9, // text to the left, numbers to the right, vertically centred
};
inline constexpr int NumAlineaciones = 10;

// How a cell with that code is drawn; General puts numbers to the right and the rest to the left.
Qt::Alignment alineacionQt(int codigo, bool esNumero);

// The cells of the grid, header rows and columns included: row r and column c of the model are
// row r and column c of the grid. The texts live in one compact row store; each cell's alignment
// is one byte in a per-column array that exists only once a cell of that column was aligned.
//
// Bulk filling: append rows to lote() (AlmacenFilas's row calls), then publicar() tells the views
// about all of them in one insert. Rows appended but not yet published are not part of the model.
class ModeloRejilla : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloRejilla(QObject* padre = nullptr);

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int rol = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;

    qint64 filas() const { return publicadas_; }
    int columnas() const { return celdas_.columnas(); }
    // Changes the size; new cells are empty, removed ones are gone.
    void ponerFilas(qint64 filas);
    void ponerColumnas(int columnas);
    // Empties every cell and sets the size.
    void vaciar(qint64 filas, int columnas);

    QString texto(qint64 fila, int columna) const;
    void ponerTexto(qint64 fila, int columna, const QString& texto);

    int alineacion(qint64 fila, int columna) const;
    void ponerAlineacion(qint64 fila, int columna, int codigo);

    // The rows as they are stored, for readers that do not need a model (exporters, the picture).
    const filas::AlmacenFilas& almacen() const { return celdas_; }

    // Bulk filling. lote() is the store itself: append whole rows with exactly columnas() cells.
    filas::AlmacenFilas& lote() { return celdas_; }
    // Publishes the rows appended since the last call, in one insert. Returns how many.
    qint64 publicar();

    // Generic sort of rows desde..hasta on the key columns; whole rows move, alignments with them.
    void ordenar(qint64 desde, qint64 hasta, const std::vector<int>& claves, bool descendente);

private:
    int filasQt() const;
    void comprobarSinPendientes() const;

    filas::AlmacenFilas celdas_;
    qint64 publicadas_ = 0;
    // Per column: empty while every cell has the default alignment, else one code per row.
    std::vector<std::vector<quint8>> alineaciones_;
};

} // namespace rejilla
