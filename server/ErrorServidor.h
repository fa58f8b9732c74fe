#pragma once

#include <QString>

#include <exception>

namespace db {
class OraSession;
class OraDatabase;
} // namespace db

// What the server error dialog reports, worked out from the error state a failed call left behind.
namespace servidor {

// A failure caught by a command: its number and description, numbered as the desktop's automation
// runtime numbers them. A real failure never has the number 0.
struct Fallo {
    int numero = 0;
    QString descripcion;

    bool pendiente() const { return numero != 0; }
};

// A failure of the database library (its text names the server's error).
inline constexpr int falloAutomatizacion = 440;
// Any other failure.
inline constexpr int falloInterno = 51;

Fallo falloDe(const std::exception& e);

// The sentence put in front of a failure when the database reports a PL/SQL error: the server's
// package is then most likely missing or broken.
inline const QString avisoServidorNoInstalado
    = QStringLiteral("Posiblemente el Servidor NIEB NO esté instalado correctamente. ");

// The dialog's message: the session's server error when it has one; otherwise the pending failure,
// as "VB-<number>: <description>", after the sentence above when the database's error is 6550;
// otherwise nothing. Either object may be missing (no session could be made, nothing opened yet).
QString textoErrorServidor(const db::OraSession* sesion, const db::OraDatabase* base, const Fallo& fallo);

// The help topic of the error: the session's error code, or the database's when the session has none.
int contextoAyuda(const db::OraSession* sesion, const db::OraDatabase* base);

} // namespace servidor
