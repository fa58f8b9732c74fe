#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace db {

// The client writes its statements for the vendor's database. These helpers let another backend take
// them unchanged: identifiers with "#" (OBJ#) are quoted, and PL/SQL blocks that call a server
// package are recognised so the backend can dispatch the call.

// Puts double quotes around the bare names SQLite would not take as names: those containing "#"
// (OBJ#), and LIMIT where it names a column. Strings, quoted identifiers and comments stay as they are.
QString adaptarIdentificadores(const QString& sql);

// True when the text is a PL/SQL block (its first word is DECLARE or BEGIN).
bool esBloque(const QString& sql);

// A block of the form `[declare ...;] Begin [:SALIDA :=] PAQUETE.FUNCION [(args)]; end;`.
struct LlamadaBloque {
    struct Argumento {
        QString enlace; // the bind name without ":", or empty for a literal
        QVariant literal;
    };
    QString salida;  // bind name of the result, empty for a procedure call
    QString paquete; // in capitals
    QString funcion; // in capitals
    QList<Argumento> argumentos;
    int columna = 1; // where the package name starts, for the vendor-style messages
};

// The call a block makes, or nullopt with the reason in `causa` when the block has another form.
std::optional<LlamadaBloque> analizarBloque(const QString& sql, QString* causa = nullptr);

// Whether the text has more than one statement (anything but blanks and comments after the first ";").
bool variasSentencias(const QString& sql);

// Whether one of the text's statements opens or ends a transaction (BEGIN, COMMIT, END, ROLLBACK,
// SAVEPOINT, RELEASE) or cannot run inside one (VACUUM).
bool controlaTransacciones(const QString& sql);

} // namespace db
