#pragma once

#include <QStringList>
#include <QTextStream>

namespace db {
class OraDynaset;
}

namespace cli {

// nimbo-query: the program's database work without windows. Returns the process exit status:
// 0 done, 1 a server or database error (told on `err` as code and text), 2 a usage error, 3 a NIEB
// query with translation errors (numbered on `err`).
int ejecutar(const QStringList& argumentos, QTextStream& entrada, QTextStream& salida, QTextStream& err);

// SIGINT, SIGTERM and SIGHUP cancel the running statement instead of killing the process, so that
// the session is ended on the way out; a second one kills it.
void atenderSenales();

} // namespace cli
