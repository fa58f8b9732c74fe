#pragma once

#include "AlmacenFilas.h"
#include "DialectoOracle.h"
#include "ErrorOra.h"
#include "LectorFilas.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace db {

// Named bind values, keyed by the name in capitals without ":".
using Enlaces = QHash<QString, QVariant>;

// The rows of one query as a backend hands them over: the whole result is counted, only the first
// rows are kept.
struct Resultado {
    QStringList nombres;
    QList<int> tamanos;           // display size of each field
    qint64 total = 0;             // rows in the whole result
    filas::AlmacenFilas celdas;   // the kept rows
    qint64 filasGuardadas() const { return celdas.filas(); }
};

// One open connection to a database. Every failure is thrown as ErrorOra.
class Backend {
public:
    virtual ~Backend() = default;
    // The database's number for this connection, distinct from every other connection to it.
    virtual qint64 sesion() const = 0;
    // Runs a statement that returns no rows.
    virtual void ejecutar(const QString& sql, const Enlaces& enlaces) = 0;
    // Runs a query, counting all its rows and keeping at most `retener` of them (all when negative).
    virtual Resultado consultar(const QString& sql, const Enlaces& enlaces, qint64 retener) = 0;
    // Runs a query and hands its first `leer` rows (all when negative) to `lector` as they are stepped,
    // keeping none; the others are only counted. Returns the whole result's row count.
    virtual qint64 recorrer(const QString& sql, const Enlaces& enlaces, LectorFilas& lector, qint64 leer) = 0;
    // Runs a call of an installed server package; returns the function's value (null for a procedure).
    virtual QVariant llamar(const LlamadaBloque& llamada, const QList<QVariant>& argumentos) = 0;
    // While a statement runs, `cancelar` is asked now and then; true stops it with error 1013. It may
    // process window events.
    virtual void setCancelador(std::function<bool()> cancelar) = 0;
    // Every failure of this connection passes here before the caller sees it: the backend may make it
    // clearer (a damaged file named by its path) and stop writing to a damaged file.
    virtual ErrorOra revisar(const ErrorOra& error) { return error; }
    // What opening the connection did that the user should know of (a file set aside and rebuilt).
    virtual QStringList avisos() const { return {}; }
};

// Opens the database of that name for the user: "2:" is the embedded database, a path ending in .db,
// .sqlite or .sqlite3 another SQLite file, "host:port/dbname" or a postgresql:// URI a PostgreSQL one.
std::unique_ptr<Backend> abrirBackend(const QString& nombre, const QString& usuario, const QString& clave);

} // namespace db
