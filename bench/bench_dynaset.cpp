// One query into a dynaset on any database Nimbo opens, for timing from outside (time and peak
// memory of the whole process): bench/postgres_filas.sh runs it against psql.
//   bench_dynaset --db NAME --user USER --password PASSWORD --sql TEXT [--keep N]
// Prints the row count and the rows kept.
#include "OraSession.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    const QCommandLineOption db(u"db"_s, u"Database"_s, u"NAME"_s), usuario(u"user"_s, u"User"_s, u"USER"_s),
        clave(u"password"_s, u"Password"_s, u"PASSWORD"_s), sql(u"sql"_s, u"Query"_s, u"TEXT"_s),
        retener(u"keep"_s, u"Rows to keep (all when absent)"_s, u"N"_s);
    p.addOptions({db, usuario, clave, sql, retener});
    p.process(app);
    try {
        db::OraSession sesion;
        const auto base = sesion.DbOpenDatabase(p.value(db), p.value(usuario) + u'/' + p.value(clave), 0);
        const qint64 n = p.isSet(retener) ? p.value(retener).toLongLong() : -1;
        const auto d = base->DbCreateDynaset(p.value(sql), {}, n);
        std::printf("%lld rows, %lld kept\n", static_cast<long long>(d->RecordCount()),
            static_cast<long long>(d->celdas().filas()));
        return 0;
    } catch (const db::ErrorOra& e) {
        std::fprintf(stderr, "%d %s\n", e.codigo(), e.what());
        return 1;
    }
}
