#pragma once

#include "Backend.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace db {

// A statement with named binds (:NAME) made ready for PostgreSQL. Strings (also E'…' and dollar
// quoted ones), quoted identifiers, comments and "::" casts are left as they are.
struct SentenciaPg {
    QString texto;       // each :NAME replaced by $n; a name used twice keeps its number
    QStringList enlaces; // the names in capitals by number, the first for $1
};

SentenciaPg numerarEnlaces(const QString& sql);

// The statement with each :NAME replaced by its value written as a literal through `citar` (which
// quotes a text safely for the connection), for texts of several statements that cannot take $n.
// Throws ErrorOra 1008 for a name without a value.
// How a bound value goes to the server.
enum class ClaseValor { Nulo, Entero, Real, Texto };
ClaseValor claseDe(const QVariant& v);

QString escribirEnlaces(const QString& sql, const Enlaces& enlaces, const std::function<QString(const QString&)>& citar);

} // namespace db
