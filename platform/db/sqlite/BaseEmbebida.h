#pragma once

#include <QString>

namespace db {

// The database the program opens as "2:": an SQLite file in the user's data folder, created on first
// use with the NIEB server and the demo data.
inline const QString nombreBaseEmbebida = QStringLiteral("2:");
inline const QString usuarioDemo = QStringLiteral("SCOTT");
inline const QString claveDemo = QStringLiteral("ravel");

QString rutaBaseEmbebida();

// Why the path cannot be opened as a database file ("el fichero no existe", "es una carpeta, no un
// fichero", ...), or empty when it is an ordinary file.
QString queNoEsFichero(const QString& ruta);

// Creates the embedded database when its file does not exist yet, or is empty. A file there that is
// no database with the NIEB server is set aside under a dated name first, never deleted; a damaged
// database is left as it is for the opening to report. Returns what the user should be told (empty
// when nothing was done but creating). Throws ErrorOra when the database cannot be made.
QString asegurarBaseEmbebida();

// Prepares an SQLite file for Nimbo: accounts, the NIEB server and the account `usuario` (the
// server's owner when it is installed now). Creates the file when it does not exist. Returns false
// when the account existed already (it is kept as it was). The file is left in WAL mode. Throws
// ErrorOra.
bool instalarEnFichero(const QString& ruta, const QString& usuario, const QString& clave, bool conDemo = false);

} // namespace db
