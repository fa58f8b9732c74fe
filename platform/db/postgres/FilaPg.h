#pragma once

#include "FuenteFila.h"

#include <libpq-fe.h>

#include <QString>
#include <QVariant>

#include <string>
#include <vector>

namespace db {

// Type OIDs of the built-in types (fixed by PostgreSQL).
enum TipoPg : Oid {
    TipoBool = 16,
    TipoBytea = 17,
    TipoInt8 = 20,
    TipoInt2 = 21,
    TipoInt4 = 23,
    TipoText = 25,
    TipoOid = 26,
    TipoFloat4 = 700,
    TipoFloat8 = 701,
    TipoBpchar = 1042,
    TipoVarchar = 1043,
    TipoNumeric = 1700,
};

// Display size from a column's type and modifier: varchar(30) gives 30, numeric(6,2) 6, the vendor's
// 22 for other numbers; 0 when the type says nothing and the values must tell.
int tamanoDeclaradoPg(Oid tipo, int modificador);

// Names without capitals are shown in capitals, as the vendor folds unquoted names.
QString nombreColumnaPg(const char* nombre);

// The row of a result in text format, each cell typed from its column's type: integers, exact enough
// numerics and floats as numbers, bool as 1 or 0, bytea as a blob, anything else as PostgreSQL writes
// it. Text cells point into the result, which must outlive the reading of the row.
class FilaPg final : public filas::FuenteFila {
public:
    explicit FilaPg(const PGresult* r);
    void leer(const PGresult* r, int fila = 0);

    int columnas() const override { return int(celdas_.size()); }
    filas::TipoCelda tipo(int c) const override { return celdas_[size_t(c)].tipo; }
    qint64 entero(int c) const override { return celdas_[size_t(c)].entero; }
    double real(int c) const override { return celdas_[size_t(c)].real; }
    std::string_view bytes(int c) const override;
    QVariant valor(int c) const;

    // How a column's text is read into a cell.
    enum class Lectura : quint8 { Entero, Real, Numerico, Logico, Bytea, Texto };

private:
    struct Celda {
        filas::TipoCelda tipo = filas::TipoCelda::Nulo;
        qint64 entero = 0;
        double real = 0;
        std::string_view bytes;
        std::string blob;
    };
    static void entero(Celda& celda, std::string_view t);
    static void real(Celda& celda, std::string_view t);
    static void numerico(Celda& celda, std::string_view t);
    static void bytea(Celda& celda, std::string_view t);

    std::vector<Lectura> lecturas_;
    std::vector<Celda> celdas_;
};

} // namespace db
