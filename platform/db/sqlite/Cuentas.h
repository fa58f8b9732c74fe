#pragma once

#include <QString>

#include <optional>

namespace nieb {
class ConexionSqlite;
}

namespace db {

// Accounts of a database installed by Nimbo: user name, salted password hash, id and creation date.
// User names are case-insensitive and kept in capitals, as the vendor's are.
struct Cuenta {
    qint64 id = 0;
    QString usuario;
    QString creada;
};

// Password hash as stored: "pbkdf2-sha256$<iterations>$<salt base64>$<hash base64>".
QString cifrarClave(const QString& clave);
bool claveCorrecta(const QString& clave, const QString& guardada);

namespace cuentas {
bool instaladas(nieb::ConexionSqlite& conexion);
void instalar(nieb::ConexionSqlite& conexion);
// Creates the account; false when one of that name exists already (it is left as it is).
bool crear(nieb::ConexionSqlite& conexion, const QString& usuario, const QString& clave);
std::optional<Cuenta> verificar(nieb::ConexionSqlite& conexion, const QString& usuario, const QString& clave);
// A new session number, never given before in this database, also to other processes.
qint64 nuevaSesion(nieb::ConexionSqlite& conexion, qint64 idCuenta);
} // namespace cuentas

} // namespace db
