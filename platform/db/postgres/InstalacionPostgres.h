#pragma once

#include <QString>

namespace db {

enum class GuionPostgres { Servidor, Demo };

// The script as it runs: the NIEB server's with the module's name ('nieb') in place of
// MODULE_PATHNAME, or the demo tables and their catalogue rows. Empty when this build has none.
QString guionPostgres(GuionPostgres guion);

// Installs the NIEB server (or the demo, which needs it) into the PostgreSQL database `nombre`, in one
// transaction: all or nothing. False when the server was there already and nothing was done. Throws
// ErrorOra; a module the server cannot load is told with what to do about it.
bool instalarEnPostgres(const QString& nombre, const QString& usuario, const QString& clave, GuionPostgres guion);

} // namespace db
