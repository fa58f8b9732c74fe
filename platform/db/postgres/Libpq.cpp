// libpq is loaded when the first PostgreSQL server is opened, not when the program starts: linked in,
// it brings some twenty libraries (TLS, Kerberos, LDAP) whose loading cost every start of nimbo and
// nimbo-query about 15 ms of CPU, though most never talk to PostgreSQL; and a machine without libpq
// still runs Nimbo on SQLite. The functions the backend calls are defined here under libpq's own names
// and forward to the loaded library.
#include "Libpq.h"

#include <dlfcn.h>

#include <libpq-fe.h>

namespace db {
namespace {

struct Biblioteca {
    void* handle = nullptr;
    QString fallo;
};

const Biblioteca& biblioteca()
{
    static const Biblioteca b = [] {
        Biblioteca r;
        for (const char* nombre : {"libpq.so.5", "libpq.so"}) {
            if ((r.handle = dlopen(nombre, RTLD_NOW | RTLD_LOCAL)))
                return r;
        }
        r.fallo = QString::fromLocal8Bit(dlerror());
        return r;
    }();
    return b;
}

// Every caller has passed through libpqCargada(), so the library is there; a symbol missing from it
// (a libpq older than the functions used) ends the program with a message rather than a wild jump.
void* simbolo(const char* nombre)
{
    void* f = biblioteca().handle ? dlsym(biblioteca().handle, nombre) : nullptr;
    if (!f)
        qFatal("libpq: falta la función %s", nombre);
    return f;
}

} // namespace

bool libpqCargada(QString* fallo)
{
    if (fallo)
        *fallo = biblioteca().fallo;
    return biblioteca().handle != nullptr;
}

} // namespace db

#define LIBPQ(tipo, nombre, parametros, argumentos)                                                     \
    extern "C" tipo nombre parametros                                                                   \
    {                                                                                                   \
        static const auto real = reinterpret_cast<decltype(&::nombre)>(db::simbolo(#nombre));         \
        return real argumentos;                                                                        \
    }

LIBPQ(PGconn*, PQconnectdbParams, (const char* const* k, const char* const* v, int e), (k, v, e))
LIBPQ(void, PQfinish, (PGconn * c), (c))
LIBPQ(ConnStatusType, PQstatus, (const PGconn* c), (c))
LIBPQ(PGTransactionStatusType, PQtransactionStatus, (const PGconn* c), (c))
LIBPQ(char*, PQerrorMessage, (const PGconn* c), (c))
LIBPQ(int, PQsocket, (const PGconn* c), (c))
LIBPQ(int, PQbackendPID, (const PGconn* c), (c))
LIBPQ(PQnoticeProcessor, PQsetNoticeProcessor, (PGconn * c, PQnoticeProcessor p, void* a), (c, p, a))
LIBPQ(PGresult*, PQexec, (PGconn * c, const char* q), (c, q))
LIBPQ(PGresult*, PQexecParams,
    (PGconn * c, const char* q, int n, const Oid* t, const char* const* v, const int* l, const int* f, int r),
    (c, q, n, t, v, l, f, r))
LIBPQ(int, PQsendQuery, (PGconn * c, const char* q), (c, q))
LIBPQ(int, PQsendQueryParams,
    (PGconn * c, const char* q, int n, const Oid* t, const char* const* v, const int* l, const int* f, int r),
    (c, q, n, t, v, l, f, r))
LIBPQ(int, PQsetSingleRowMode, (PGconn * c), (c))
LIBPQ(int, PQconsumeInput, (PGconn * c), (c))
LIBPQ(int, PQisBusy, (PGconn * c), (c))
LIBPQ(PGresult*, PQgetResult, (PGconn * c), (c))
LIBPQ(PGcancel*, PQgetCancel, (PGconn * c), (c))
LIBPQ(int, PQcancel, (PGcancel * c, char* b, int n), (c, b, n))
LIBPQ(void, PQfreeCancel, (PGcancel * c), (c))
LIBPQ(char*, PQescapeLiteral, (PGconn * c, const char* s, size_t n), (c, s, n))
LIBPQ(unsigned char*, PQunescapeBytea, (const unsigned char* s, size_t* n), (s, n))
LIBPQ(void, PQfreemem, (void* p), (p))
LIBPQ(ExecStatusType, PQresultStatus, (const PGresult* r), (r))
LIBPQ(char*, PQresultErrorMessage, (const PGresult* r), (r))
LIBPQ(char*, PQresultErrorField, (const PGresult* r, int c), (r, c))
LIBPQ(char*, PQcmdStatus, (PGresult * r), (r))
LIBPQ(void, PQclear, (PGresult * r), (r))
LIBPQ(int, PQntuples, (const PGresult* r), (r))
LIBPQ(int, PQnfields, (const PGresult* r), (r))
LIBPQ(char*, PQfname, (const PGresult* r, int c), (r, c))
LIBPQ(Oid, PQftype, (const PGresult* r, int c), (r, c))
LIBPQ(int, PQfmod, (const PGresult* r, int c), (r, c))
LIBPQ(char*, PQgetvalue, (const PGresult* r, int f, int c), (r, f, c))
LIBPQ(int, PQgetlength, (const PGresult* r, int f, int c), (r, f, c))
LIBPQ(int, PQgetisnull, (const PGresult* r, int f, int c), (r, f, c))
