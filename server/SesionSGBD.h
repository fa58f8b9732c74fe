#pragma once

#include "ErrorServidor.h"
#include "Module1.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class Clock;

namespace db {
class OraSession;
}

// The connection's work on the database, without windows: logging in, ending the user's server
// state, translating a query. Failures come back as values for the caller to report.
namespace sesion {

using FabricaSesion = std::function<std::shared_ptr<db::OraSession>()>;

// A new library session.
std::shared_ptr<db::OraSession> sesionNueva();

struct IntentoLogin {
    bool conectado = false;
    servidor::Fallo fallo; // pending when the session could not be made or the open failed
    // The attempt's own session, which the error dialog asks; empty when none could be made.
    std::shared_ptr<db::OraSession> sesion;
    // What opening the database did that the user must know of (a damaged file set aside and rebuilt).
    QStringList avisos;
};

// Logs in: a new session replaces the connection's (when one can be made), then opens `baseDeDatos`
// with "user/password". On success the connection is marked connected with these names and takes
// the opened database; on failure everything else stays as it was, a previous connection included.
// The connect string exists only for the open.
IntentoLogin iniciarSesion(Module1::Conexion& conexion, const QString& usuario, const QString& clave,
    const QString& baseDeDatos, const FabricaSesion& fabrica = sesionNueva);

inline const QString bloqueFinSesion = QStringLiteral("Begin NIEB_PKG.NIEB_FIN; end;");

// Ends the user's state on the server; any failure is ignored.
void finSesionServidor(Module1::Conexion& conexion);

// The translation call: binds the query, runs NIEB2SQL, keeps the error count and, when it is 0, the
// rebuilt SQL in SentenciaSQL (left alone otherwise); then the time taken (on the monotonic clock)
// and the server as used. On failure returns it, with the time and the used flag as they were.
std::optional<servidor::Fallo> traducirConsulta(Module1& estado, const QString& consulta, const Clock& reloj);

} // namespace sesion
