#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace filas {

class FuenteFila;

// What one cell holds. Integers and reals are kept as their 8 bytes, text as UTF-8, a blob as it is.
enum class TipoCelda : quint8 { Nulo = 0, Entero = 1, Real = 2, Texto = 3, Blob = 4 };

// The rows of a result, typed cell by cell and packed in large chunks: each row is one block of
// per-cell end offsets and types followed by the cells' bytes, so a short text cell costs its bytes
// plus three (plus five in a row of 64 KiB or more, whose offsets take four bytes). Cells are read in O(1) by row and column; nothing is allocated per cell, and a
// QVariant or QString is built only when asked for. The database library keeps a dynaset's rows in
// it and the result grid keeps its cells in it, so that rows reach the screen without a copy per cell.
//
// Rows are appended one at a time (empezarFila, one anadir… per column, terminarFila). A row that is
// changed later is written again at the end and the old block is left unused; reordering rows moves
// only their 8-byte positions.
class AlmacenFilas {
public:
    explicit AlmacenFilas(int columnas = 0);
    AlmacenFilas(AlmacenFilas&&) noexcept;
    AlmacenFilas& operator=(AlmacenFilas&&) noexcept;
    ~AlmacenFilas();
    AlmacenFilas(const AlmacenFilas&) = delete;
    AlmacenFilas& operator=(const AlmacenFilas&) = delete;

    int columnas() const { return columnas_; }
    qint64 filas() const { return qint64(posiciones_.size()); }
    // Memory held: chunks and the row index, used or not.
    qint64 bytesReservados() const;

    // Empties the store and gives it `columnas` columns. Frees every chunk.
    void vaciar(int columnas);
    void vaciar() { vaciar(columnas_); }

    // Appending a row: one call per column, in order. terminarFila throws std::logic_error when the
    // row has not exactly columnas() cells.
    void empezarFila();
    void anadirNulo();
    void anadirEntero(qint64 valor);
    void anadirReal(double valor);
    void anadirTexto(std::string_view utf8);
    void anadirTexto(const char* utf8) { anadirTexto(std::string_view(utf8)); }
    void anadirTexto(const QString& texto);
    void anadirBlob(std::string_view bytes);
    void terminarFila();
    // Appends a row of NULL cells.
    void anadirFilaNula();
    // Appends a whole row read from `fuente`, written straight into the chunk with no copy between.
    // Throws std::logic_error when its column count differs or a row is being appended.
    void anadirFila(const FuenteFila& fuente);

    TipoCelda tipo(qint64 fila, int columna) const;
    bool esNulo(qint64 fila, int columna) const { return tipo(fila, columna) == TipoCelda::Nulo; }
    // The stored bytes: UTF-8 of a text cell, the blob's bytes, empty for NULL. For numbers, their
    // 8 raw bytes; use entero/real for those. Valid until the store is changed.
    std::string_view bytes(qint64 fila, int columna) const;
    qint64 entero(qint64 fila, int columna) const; // 0 unless the cell is an integer
    double real(qint64 fila, int columna) const;   // the number of an integer or real cell, else 0
    // A QVariant of the cell's type: null for NULL, qlonglong, double, QString or QByteArray.
    QVariant valor(qint64 fila, int columna) const;
    // The cell as text: empty for NULL, integers in full, reals in the shortest form that reads back
    // to the same double, blobs as X'hex'.
    QString texto(qint64 fila, int columna) const;
    // The same as UTF-8 bytes appended to `destino`, without building a QString.
    void anadirTextoA(std::string& destino, qint64 fila, int columna) const;

    // Replaces one cell by a text (or NULL) value; the row is written again at the end. Not while a
    // row is being appended.
    void ponerTexto(qint64 fila, int columna, std::string_view utf8);
    void ponerTexto(qint64 fila, int columna, const QString& texto);
    void ponerNulo(qint64 fila, int columna);

    // Keeps the first `filas` rows, or adds rows of NULLs up to that count.
    void redimensionar(qint64 filas);
    // Room for the positions of `filas` rows, so that growing to that count moves none of them.
    void reservarFilas(qint64 filas) { posiciones_.reserve(size_t(std::max<qint64>(filas, 0))); }
    // Changes the column count of every row: new columns are NULL, removed ones are dropped.
    void cambiarColumnas(int columnas);
    // Reorders rows desde .. desde + orden.size() - 1: the row at desde + i becomes the one that was
    // at row orden[i] (an absolute row number within that range). orden must be a permutation.
    void permutar(qint64 desde, const std::vector<qint64>& orden);
    // Moves rows only by their positions: swaps two rows.
    void intercambiar(qint64 a, qint64 b);

private:
    struct Posicion {
        quint32 trozo : 31;
        quint32 ancho : 1; // end offsets of four bytes, not two
        quint32 desplazamiento;
    };
    struct Liberar {
        void operator()(char* p) const;
    };
    struct Trozo {
        std::unique_ptr<char[], Liberar> datos;
        size_t capacidad = 0;
        size_t usado = 0;
    };
    struct Celda {
        TipoCelda tipo;
        const char* datos;
        size_t tamano;
    };

    Celda celda(qint64 fila, int columna) const;
    // Bytes of a row block's offsets and types.
    size_t cabecera(bool ancho) const { return size_t(columnas_) * (ancho ? sizeof(quint32) + 1 : sizeof(quint16) + 1); }
    // Writes a row block's header: the end offsets (as wide or narrow) and the types.
    static void escribirCabecera(char* p, const quint32* fin, const TipoCelda* tipos, size_t n, bool ancho);
    // Room for a row block of `tamano` bytes at the end of the last chunk, or of a new one.
    char* reservar(size_t tamano, Posicion& donde);
    void anadirCelda(TipoCelda tipo, const char* datos, size_t tamano);
    // Writes the pending row (fin_, tipos_, pendiente_) and returns where it went.
    Posicion escribirPendiente();
    // Writes row `fila` again at the end with one cell replaced. Not while a row is being appended.
    void reemplazar(qint64 fila, int columna, TipoCelda tipo, const char* datos, size_t tamano);

    int columnas_ = 0;
    std::vector<Trozo> trozos_;
    std::vector<Posicion> posiciones_;
    // The row being built.
    std::vector<quint32> fin_;
    std::vector<TipoCelda> tipos_;
    std::string pendiente_;
    bool enFila_ = false;
    // The cells of a row being taken from a FuenteFila, and its numbers' bytes.
    std::vector<Celda> fuente_;
    std::vector<qint64> numeros_;
};

} // namespace filas
