// The result grid's model at a million rows: filling it from SQLite, clearing it and sorting it,
// beside the sqlite3 command-line tool writing the same rows as CSV to /dev/null.
//
//   bench_rejilla [filas]      (1,000,000 by default; --smoke for a quick run)
#include "FuenteFila.h"
#include "ModeloRejilla.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int Columnas = 8;
constexpr int Largo = 12;

// Seconds of processor time used by this process: steadier than the wall clock on a busy machine.
double cpu()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The current SQLite row with its number in front, as the retrieval hands rows to the grid.
class FilaSqlite final : public filas::FuenteFila {
public:
    explicit FilaSqlite(sqlite3_stmt* st)
        : st_(st)
    {
    }
    void siguiente(qint64 n) { largo_ = size_t(std::snprintf(numero_, sizeof numero_, "%lld", static_cast<long long>(n))); }
    int columnas() const override { return Columnas + 1; }
    filas::TipoCelda tipo(int) const override { return filas::TipoCelda::Texto; }
    qint64 entero(int) const override { return 0; }
    double real(int) const override { return 0; }
    std::string_view bytes(int c) const override
    {
        if (c == 0)
            return {numero_, largo_};
        return {reinterpret_cast<const char*>(sqlite3_column_text(st_, c - 1)), size_t(sqlite3_column_bytes(st_, c - 1))};
    }

private:
    sqlite3_stmt* st_;
    char numero_[24] = {};
    size_t largo_ = 0;
};

long picoKiB()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

long actualKiB()
{
    long paginas = 0, residentes = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &paginas, &residentes) != 2)
            residentes = 0;
        std::fclose(f);
    }
    return residentes * 4;
}

void comprobar(int rc, sqlite3* db, const char* que)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", que, sqlite3_errmsg(db));
        std::exit(1);
    }
}

// A table T of `filas` rows and eight columns of 12 random letters.
void generar(const QString& ruta, qint64 filas)
{
    sqlite3* db = nullptr;
    comprobar(sqlite3_open(ruta.toUtf8().constData(), &db), db, "open");
    comprobar(sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
                               "CREATE TABLE T (C1 TEXT, C2 TEXT, C3 TEXT, C4 TEXT, C5 TEXT, C6 TEXT, C7 TEXT, C8 TEXT)",
                  nullptr, nullptr, nullptr),
        db, "create");
    sqlite3_stmt* st = nullptr;
    comprobar(sqlite3_prepare_v2(db, "INSERT INTO T VALUES (?,?,?,?,?,?,?,?)", -1, &st, nullptr), db, "prepare");
    std::mt19937 azar(42);
    char texto[Largo];
    for (qint64 f = 0; f < filas; ++f) {
        for (int c = 0; c < Columnas; ++c) {
            for (char& x : texto)
                x = char('A' + azar() % 26);
            sqlite3_bind_text(st, c + 1, texto, Largo, SQLITE_TRANSIENT);
        }
        comprobar(sqlite3_step(st), db, "insert");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    comprobar(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

// Steps every row; with a model, appends each as the retrieval does (row number first).
double leer(const QString& ruta, rejilla::ModeloRejilla* modelo, double* proceso)
{
    sqlite3* db = nullptr;
    comprobar(sqlite3_open_v2(ruta.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), db, "open");
    sqlite3_stmt* st = nullptr;
    comprobar(sqlite3_prepare_v2(db, "SELECT * FROM T", -1, &st, nullptr), db, "prepare");
    QElapsedTimer reloj;
    reloj.start();
    const double cpu0 = cpu();
    qint64 n = 0;
    size_t suma = 0;
    FilaSqlite fila(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++n;
        if (modelo) {
            fila.siguiente(n);
            modelo->lote().anadirFila(fila);
        } else {
            for (int c = 0; c < Columnas; ++c) {
                const unsigned char* t = sqlite3_column_text(st, c);
                suma += size_t(sqlite3_column_bytes(st, c)) + (t ? t[0] : 0);
            }
        }
    }
    if (modelo)
        modelo->publicar();
    const double s = reloj.nsecsElapsed() / 1e9;
    *proceso = cpu() - cpu0;
    sqlite3_finalize(st);
    sqlite3_close(db);
    if (suma == 1)
        std::puts(""); // keeps the baseline's reads
    return s;
}

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool humo = argc > 1 && std::strcmp(argv[1], "--smoke") == 0;
    const qint64 filas = humo ? 5000 : (argc > 1 ? std::atoll(argv[1]) : 1000000);
    const int vueltas = humo ? 1 : 3;

    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("bench.db"));
    generar(ruta, filas);
    std::printf("%lld rows x %d columns of %d-character texts; median of %d runs\n", static_cast<long long>(filas),
        Columnas, Largo, vueltas);

    // The sqlite3 tool writing the rows as CSV, as a reference.
    const QString cli = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (!cli.isEmpty()) {
        std::vector<double> t;
        for (int i = 0; i < vueltas; ++i) {
            QProcess p;
            p.setStandardOutputFile(QStringLiteral("/dev/null"));
            QElapsedTimer reloj;
            reloj.start();
            p.start(cli, {QStringLiteral("-csv"), ruta, QStringLiteral("SELECT * FROM T")});
            p.waitForFinished(-1);
            t.push_back(reloj.nsecsElapsed() / 1e9);
        }
        std::printf("sqlite3 -csv > /dev/null        %8.3f s  (wall)\n", mediana(t));
    } else {
        std::printf("sqlite3 -csv                    (sqlite3 not installed)\n");
    }

    std::vector<double> paso, pasoCpu;
    for (int i = 0; i < vueltas; ++i) {
        double p = 0;
        paso.push_back(leer(ruta, nullptr, &p));
        pasoCpu.push_back(p);
    }
    const double base = mediana(paso), baseCpu = mediana(pasoCpu);
    std::printf("                                    wall     processor\n");
    std::printf("stepping the rows (C API)       %8.3f s  %8.3f s\n", base, baseCpu);

    std::vector<double> llenar, vaciar, ordenar, llenarCpu, vaciarCpu, ordenarCpu;
    double bytesCelda = 0, rssCelda = 0;
    const long antes = actualKiB();
    for (int i = 0; i < vueltas; ++i) {
        rejilla::ModeloRejilla modelo;
        modelo.vaciar(0, Columnas + 1);
        double p = 0;
        llenar.push_back(leer(ruta, &modelo, &p));
        llenarCpu.push_back(p);
        const double celdas = double(filas) * Columnas;
        bytesCelda = double(modelo.almacen().bytesReservados()) / celdas;
        rssCelda = double(actualKiB() - antes) * 1024 / celdas;

        QElapsedTimer reloj;
        reloj.start();
        double c0 = cpu();
        modelo.ordenar(0, modelo.filas() - 1, {3}, false);
        ordenar.push_back(reloj.nsecsElapsed() / 1e9);
        ordenarCpu.push_back(cpu() - c0);

        reloj.restart();
        c0 = cpu();
        modelo.vaciar(0, Columnas + 1);
        vaciar.push_back(reloj.nsecsElapsed() / 1e9);
        vaciarCpu.push_back(cpu() - c0);
    }
    const double lleno = mediana(llenar);
    const double llenoCpu = mediana(llenarCpu);
    std::printf("filling the grid model          %8.3f s  %8.3f s  (+%.3f s, +%.3f s over stepping)\n", lleno,
        llenoCpu, lleno - base, llenoCpu - baseCpu);
    std::printf("  store: %.1f bytes a cell (row-number column included: %.1f a cell of %d)\n",
        bytesCelda * Columnas / (Columnas + 1), bytesCelda, Columnas);
    std::printf("  resident memory added: %.1f bytes a cell; raw text %d bytes a cell\n", rssCelda, Largo);
    std::printf("sorting by one column           %8.3f s  %8.3f s\n", mediana(ordenar), mediana(ordenarCpu));
    std::printf("clearing                        %8.3f s  %8.3f s\n", mediana(vaciar), mediana(vaciarCpu));
    std::printf("peak resident memory            %8.1f MiB\n", picoKiB() / 1024.0);
    return 0;
}
