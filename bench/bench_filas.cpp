// What keeping a query's rows costs: a dynaset that keeps every row of a large table against stepping
// the same rows as text through SQLite's C API, in time (medians of runs taken in turn, in this one
// process) and in memory (the row store's bytes against the rows' text). `--smoke` runs it small, for
// CI; `--rows N` and `--db FILE` (a table T, else one of N x 8 twelve-character texts is made) choose
// the data.
#include "OraSession.h"
#include "TablaT.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Reloj = std::chrono::steady_clock;

double segundos(const std::function<void()>& f)
{
    const auto inicio = Reloj::now();
    f();
    return std::chrono::duration<double>(Reloj::now() - inicio).count();
}

double mediana(std::vector<double> v)
{
    std::ranges::sort(v);
    return v[v.size() / 2];
}

long picoKiB()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

using bench::crearTabla;
using bench::exigir;

// Steps every row and reads each cell as text, as a client of the C API that copies nothing does.
// Returns the text's size in bytes.
long long pasarComoTexto(const std::string& ruta)
{
    sqlite3* db = nullptr;
    exigir(sqlite3_open_v2(ruta.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), db);
    sqlite3_stmt* s = nullptr;
    exigir(sqlite3_prepare_v2(db, "SELECT * FROM T", -1, &s, nullptr), db);
    const int columnas = sqlite3_column_count(s);
    long long bytes = 0;
    while (sqlite3_step(s) == SQLITE_ROW)
        for (int c = 0; c < columnas; ++c) {
            sqlite3_column_text(s, c);
            bytes += sqlite3_column_bytes(s, c);
        }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return bytes;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    long filas = 1'000'000;
    int veces = 5;
    std::string ruta;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--smoke") {
            filas = 20'000;
            veces = 1;
        } else if (a == "--rows" && i + 1 < argc) {
            filas = std::stol(argv[++i]);
        } else if (a == "--runs" && i + 1 < argc) {
            veces = std::max(1, std::stoi(argv[++i]));
        } else if (a == "--db" && i + 1 < argc) {
            ruta = argv[++i];
        } else {
            std::fprintf(stderr, "usage: bench_filas [--smoke] [--rows N] [--runs N] [--db FILE]\n");
            return 2;
        }
    }
    QTemporaryDir dir;
    if (ruta.empty()) {
        ruta = dir.filePath(u"filas.db"_s).toStdString();
        crearTabla(ruta, filas);
    }

    db::OraSession sesion;
    const auto base = sesion.DbOpenDatabase(QString::fromStdString(ruta), u"bench/bench"_s, 0);
    std::vector<double> api, dynaset;
    long long texto = 0;
    qint64 reservados = 0, celdas = 0;
    for (int i = 0; i < veces; ++i) {
        api.push_back(segundos([&] { texto = pasarComoTexto(ruta); }));
        dynaset.push_back(segundos([&] {
            const auto d = base->DbCreateDynaset(u"SELECT * FROM T"_s);
            reservados = d->celdas().bytesReservados();
            celdas = d->celdas().filas() * d->celdas().columnas();
        }));
    }
    const double tApi = mediana(api), tDynaset = mediana(dynaset);
    std::printf("rows kept: %lld cells, %.1f MB of text\n", static_cast<long long>(celdas), double(texto) / 1e6);
    std::printf("C API, rows stepped as text   %8.3f s\n", tApi);
    std::printf("dynaset keeping every row     %8.3f s   %.2fx\n", tDynaset, tDynaset / tApi);
    std::printf("row store                     %8.1f MB  %.2fx the text, %.1f bytes per cell (text %.1f)\n",
        double(reservados) / 1e6, double(reservados) / double(texto), double(reservados) / double(celdas),
        double(texto) / double(celdas));
    std::printf("peak memory of this process   %8.1f MiB\n", double(picoKiB()) / 1024);
    // Keeping the rows must not cost more than the targets allow: the smoke run fails otherwise.
    return reservados <= 2 * texto + (qint64(8) << 20) ? 0 : 1;
}
