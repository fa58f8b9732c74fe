#pragma once

#include <QString>

namespace db {

// The database the program opens as "2:": an SQLite file in the user's data folder, created on first
// use with the NIEB server and the demo data.
inline const QString nombreBaseEmbebida = QStringLiteral("2:");
inline const QString usuarioDemo = QStringLiteral("SCOTT");
inline const QString claveDemo = QStringLiteral("ravel");

QString rutaBaseEmbebida();

// Creates the embedded database when its file does not exist yet. A file that exists is never
// replaced, whatever it holds. Throws ErrorOra when it cannot be created.
void asegurarBaseEmbebida();

// Prepares an SQLite file for Nimbo: accounts, the NIEB server and the account `usuario` (the
// server's owner when it is installed now). Creates the file when it does not exist. Returns false
// when the account existed already (it is kept as it was). Throws ErrorOra.
bool instalarEnFichero(const QString& ruta, const QString& usuario, const QString& clave, bool conDemo = false);

} // namespace db
