#pragma once

#include <QString>

namespace db {

// Loads libpq on first use. False, with the loader's reason in `fallo`, when it is not installed:
// PostgreSQL servers cannot be reached then, everything else works.
bool libpqCargada(QString* fallo = nullptr);

} // namespace db
