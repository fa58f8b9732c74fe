#include "Backend.h"

#include "PostgresBackend.h"
#include "SqliteBackend.h"

using namespace Qt::StringLiterals;

namespace db {

std::unique_ptr<Backend> abrirBackend(const QString& nombre, const QString& usuario, const QString& clave)
{
    const QString limpio = nombre.trimmed();
    if (auto backend = abrirSqlite(limpio, usuario, clave))
        return backend;
    if (auto backend = abrirPostgres(limpio, usuario, clave))
        return backend;
    throw ErrorOra::sinResolver(limpio,
        u"no es la base de datos local \"2:\", ni un fichero SQLite (.db, .sqlite, .sqlite3), ni un servidor "
        u"PostgreSQL (servidor:puerto/base o postgresql://…)"_s);
}

} // namespace db
