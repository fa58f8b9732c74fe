#pragma once

#include "Backend.h"

#include <QString>
#include <QVariant>

namespace db {

class OraDynaset;

// One field of a dynaset, read at the dynaset's current row.
class OraField {
public:
    QString Name() const;
    QVariant Value() const; // null QVariant for SQL NULL; throws ErrorOra off the rows
    bool esNulo() const { return Value().isNull(); }
    int OraMaxDSize() const;

private:
    friend class OraFields;
    OraField(const OraDynaset& dynaset, int indice)
        : dynaset_(dynaset)
        , indice_(indice)
    {
    }
    const OraDynaset& dynaset_;
    int indice_;
};

class OraFields {
public:
    int Count() const;
    OraField operator()(int posicion) const;          // from 0
    OraField operator()(const QString& nombre) const; // case-insensitive

private:
    friend class OraDynaset;
    explicit OraFields(const OraDynaset& dynaset)
        : dynaset_(dynaset)
    {
    }
    const OraDynaset& dynaset_;
};

// The rows of one query, positioned on the first. RecordCount is the whole result's; only the rows
// kept by the backend (the first N when a limit was given) can be visited, and moving past them is
// moving past the end.
class OraDynaset {
public:
    explicit OraDynaset(Resultado resultado)
        : r_(std::move(resultado))
    {
    }

    OraFields Fields() const { return OraFields(*this); }
    // The kept rows themselves, for views that read them without a copy.
    const filas::AlmacenFilas& celdas() const { return r_.celdas; }
    qint64 RecordCount() const { return r_.total; }
    // EOF and BOF (EOF itself is a C macro): past the last row, before the first; both when empty.
    bool Eof() const { return fila_ >= r_.filasGuardadas(); }
    bool Bof() const { return fila_ < 0 || r_.filasGuardadas() == 0; }
    void DbMoveFirst() { fila_ = 0; }
    void DbMoveLast() { fila_ = std::max<qint64>(r_.filasGuardadas() - 1, 0); }
    void DbMoveNext() { fila_ = std::min(fila_ + 1, r_.filasGuardadas()); }
    void DbMovePrevious() { fila_ = std::max<qint64>(fila_ - 1, -1); }

private:
    friend class OraField;
    friend class OraFields;
    Resultado r_;
    qint64 fila_ = 0;
};

} // namespace db
