#pragma once

#include <QString>
#include <QStringList>

namespace db {
class OraDatabase;
}

// The client's side of a translation, without windows: the bound call of NIEB2SQL and the reading of
// its answer. Server failures are thrown as db::ErrorOra, with every bound name removed.
namespace servidor {

inline const QString bloqueTraduccion
    = QStringLiteral("declare NUMERRORES number(4); Begin :NUMERRORES:=NIEB_PKG.NIEB2SQL (:SELECT_CMD); end;");
inline const QString consultaTraducida = QStringLiteral(
    "SELECT ATRIBUTO FROM NIEB_QUERY WHERE ATRIBUTO IS NOT NULL AND SESSIONID=USERENV('SESSIONID') ORDER BY INDICE");
inline const QString consultaErrores
    = QStringLiteral("SELECT INDICE,MSG_ERROR FROM NIEB_ERRORS WHERE SESSIONID=USERENV('SESSIONID') ORDER BY INDICE");

// Rebuilds the statement from the server's rows: the first row as it is; then a row that is exactly
// one of , . = ; - + ( ) / * > < sticks to what stands before it and pulls the next row onto itself,
// a row so pulled resets the pull, and any other row gets one blank in front.
QString reconstruirSentencia(const QStringList& filas);

struct ResultadoTraduccion {
    int errores = 0; // the server's count; 0: `sql` holds the translation
    QString sql;
};

// Binds NUMERRORES (output, 0) and SELECT_CMD (input), runs the block, reads the count and, when it
// is 0, rebuilds the SQL from NIEB_QUERY. A translation without rows counts as a failure.
ResultadoTraduccion traducir(db::OraDatabase& base, const QString& consulta);

// The messages of the last translation's errors, in order.
QStringList erroresDeTraduccion(db::OraDatabase& base);

} // namespace servidor

class QLocale;

namespace servidor {

// A translation time as the translated-query window shows it: thousands grouped, two decimals, in
// the separators of the given locale ("1.234,50" in Spain).
QString textoSegundos(double segundos, const QLocale& local);

} // namespace servidor
