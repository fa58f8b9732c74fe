#pragma once

#include "AlmacenFilas.h"

#include <QString>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

namespace exportar {

// A table to write out: row 0 is the header, the rest are data rows, each with columnas() cells.
class FuenteTabla {
public:
    virtual ~FuenteTabla() = default;
    virtual int columnas() const = 0;
    virtual qint64 filas() const = 0;
    // Appends the cell's text as UTF-8.
    virtual void anadirCelda(std::string& destino, qint64 fila, int columna) const = 0;
};

// The grid's own store: its row 0 is the header, its column 0 the row numbers.
class FuenteAlmacen final : public FuenteTabla {
public:
    explicit FuenteAlmacen(const filas::AlmacenFilas& celdas)
        : celdas_(celdas)
    {
    }
    int columnas() const override { return celdas_.columnas(); }
    qint64 filas() const override { return celdas_.filas(); }
    void anadirCelda(std::string& destino, qint64 fila, int columna) const override
    {
        celdas_.anadirTextoA(destino, fila, columna);
    }

private:
    const filas::AlmacenFilas& celdas_;
};

// Writes a table row by row: empezar once, cabecera for row 0, fila for each data row, terminar.
// Output is buffered and written in large pieces; lines end in CR LF. After a failed write every
// further call does nothing and error() says what happened.
class EscritorTabla {
public:
    explicit EscritorTabla(QIODevice& salida);
    virtual ~EscritorTabla();
    EscritorTabla(const EscritorTabla&) = delete;
    EscritorTabla& operator=(const EscritorTabla&) = delete;

    virtual void empezar(int columnas) = 0;
    virtual void cabecera(const std::vector<std::string_view>& celdas) = 0;
    virtual void fila(const std::vector<std::string_view>& celdas) = 0;
    virtual void terminar() = 0;

    // Writes what is buffered; false when the device refused it.
    bool vaciar();
    bool correcto() const { return error_.isEmpty(); }
    QString error() const { return error_; }

protected:
    std::string& buffer() { return buffer_; }
    void linea(std::string_view texto);
    void finDeLinea() { buffer_ += "\r\n"; vaciarSiLleno(); }
    void vaciarSiLleno();

private:
    QIODevice& salida_;
    std::string buffer_;
    QString error_;
};

// A LaTeX tabular: one "l" column per grid column, the header line closed by a double rule, one
// line per row, cells separated by "&". Characters special to LaTeX are escaped.
class EscritorLatex final : public EscritorTabla {
public:
    using EscritorTabla::EscritorTabla;
    void empezar(int columnas) override;
    void cabecera(const std::vector<std::string_view>& celdas) override;
    void fila(const std::vector<std::string_view>& celdas) override;
    void terminar() override;
};

// An HTML page with one TABLE: each cell on a line of its own after its TH or TD tag. Cell texts and
// the title are escaped, and characters beyond ASCII written as character references.
class EscritorHtml final : public EscritorTabla {
public:
    EscritorHtml(QIODevice& salida, QString titulo)
        : EscritorTabla(salida)
        , titulo_(std::move(titulo))
    {
    }
    void empezar(int columnas) override;
    void cabecera(const std::vector<std::string_view>& celdas) override;
    void fila(const std::vector<std::string_view>& celdas) override;
    void terminar() override;

private:
    QString titulo_;
};

// Comma-separated values: a field holding a comma, a quote or a line break is quoted, its quotes
// doubled.
class EscritorCsv final : public EscritorTabla {
public:
    using EscritorTabla::EscritorTabla;
    void empezar(int) override {}
    void cabecera(const std::vector<std::string_view>& celdas) override { fila(celdas); }
    void fila(const std::vector<std::string_view>& celdas) override;
    void terminar() override {}
};

// Escapes for one cell.
void anadirLatex(std::string& destino, std::string_view texto);
void anadirHtml(std::string& destino, std::string_view utf8);
void anadirCsv(std::string& destino, std::string_view texto);

// Writes a whole table through a writer and flushes it. False, with the writer's error, when a
// write failed.
bool exportar(const FuenteTabla& tabla, EscritorTabla& escritor);

} // namespace exportar
