// A large query's rows copied into the result window by the real retrieval (Recuperacion through the
// result window's grid and the busy window), one way per process so that each has its own peak memory:
//   --mode hidden | visible | limit100   one retrieval of SELECT * FROM T; prints seconds and peak KiB
//   --mode primeras                      milliseconds from the start to the first rows painted
//   --mode cancelar                      milliseconds from a cancel request to the retrieval's return
//   --mode lenta                         the same for a statement that works for long before its first
//                                        row, and how often the busy window painted meanwhile
// --make FILE --rows N makes the table T; --db FILE picks it; --runs N repeats in-process (primeras,
// cancelar). --smoke makes a small table and runs every way once, checking the grid got the rows.
#include "Module1.h"
#include "OraSession.h"
#include "Platform.h"
#include "Recuperacion.h"
#include "Rejilla.h"
#include "TablaT.h"
#include "Tabla.h"
#include "VistaTabla.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

long picoKiB()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss;
}

double mediana(std::vector<double> v)
{
    std::ranges::sort(v);
    return v.empty() ? 0 : v[v.size() / 2];
}

// Notes the first paint of the grid once its first data row is published (row 1 has its number).
class VigiaPintura final : public QObject {
public:
    explicit VigiaPintura(rejilla::Rejilla* grid)
        : m_grid(grid)
    {
    }
    qint64 primera = -1; // ms on reloj
    QElapsedTimer reloj;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        if (primera < 0 && evento->type() == QEvent::Paint && (objeto == m_grid || objeto == m_grid->viewport())
            && m_grid->rows() > 1 && !m_grid->textMatrix(1, 0).isEmpty())
            primera = reloj.elapsed();
        return false;
    }

private:
    rejilla::Rejilla* m_grid;
};

// Counts the paints of the busy window and of what it holds.
class VigiaPeonza final : public QObject {
public:
    int pinturas = 0;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        if (evento->type() == QEvent::Paint)
            for (QObject* o = objeto; o; o = o->parent())
                if (o->inherits("Peonza")) {
                    ++pinturas;
                    break;
                }
        return false;
    }
};

// One retrieval as the main window runs it: the result window shown first or kept hidden.
struct Banco {
    SystemPlatform plataforma;
    Module1 estado;
    QWidget principal;
    InstanciaTabla tabla{estado, plataforma.servicios()};
    std::unique_ptr<VistaTabla> vista;
    std::unique_ptr<Recuperacion> recuperacion;

    Banco(bool visible, qint64 limite)
    {
        estado.conexion.conectado = true;
        estado.SentenciaSQL = u"SELECT * FROM T"_s;
        estado.TodasLasFilas = limite < 0;
        estado.LimiteFilas = limite < 0 ? 0 : limite;
        principal.resize(400, 300);
        principal.show();
        if (visible)
            tabla.ventana().show();
        vista = std::make_unique<VistaTabla>(estado, tabla, &principal, [](int codigo, const QString& texto) {
            std::fprintf(stderr, "server error %d: %s\n", codigo, qPrintable(texto));
        });
        recuperacion = std::make_unique<Recuperacion>(estado, plataforma.servicios().reloj, *vista);
    }
    rejilla::Rejilla* grid() { return tabla.ventana().Grid1(); }
};

struct Ejecucion {
    Resultado resultado;
    double segundos;
    qint64 filas;
    QString ultima; // the last data row's first text cell
};

Ejecucion recuperar(db::OraDatabase& base, bool visible, qint64 limite)
{
    Banco b(visible, limite);
    QElapsedTimer t;
    t.start();
    const Resultado r = b.recuperacion->RecuperarTabla(base);
    const double s = t.nsecsElapsed() / 1e9;
    const qint64 filas = b.grid()->rows();
    return {r, s, filas, filas > 1 ? b.grid()->textMatrix(filas - 1, 1) : QString()};
}

double primerasFilas(db::OraDatabase& base)
{
    Banco b(true, -1);
    VigiaPintura vigia(b.grid());
    qApp->installEventFilter(&vigia);
    vigia.reloj.start();
    b.recuperacion->RecuperarTabla(base);
    qApp->removeEventFilter(&vigia);
    return double(vigia.primera);
}

// Milliseconds from the moment the cancel was due (and from the timer actually firing) to the return.
// With `sql`, that statement is run instead of the table's.
std::pair<double, double> cancelar(db::OraDatabase& base, int trasMs, bool visible, const QString& sql = {})
{
    Banco b(visible, -1);
    if (!sql.isEmpty())
        b.estado.SentenciaSQL = sql;
    QElapsedTimer t;
    qint64 disparo = -1;
    // Owned here, so that a request not needed (the retrieval ended first) dies with this run.
    QTimer temporizador;
    temporizador.setSingleShot(true);
    temporizador.setTimerType(Qt::PreciseTimer);
    QObject::connect(&temporizador, &QTimer::timeout, [&] {
        disparo = t.nsecsElapsed();
        b.estado.OperacionCancelada = true;
    });
    temporizador.start(trasMs);
    t.start();
    const Resultado r = b.recuperacion->RecuperarTabla(base);
    const qint64 fin = t.nsecsElapsed();
    if (r != NoHecho || disparo < 0) {
        std::fprintf(stderr, "the retrieval ended before the cancel at %d ms\n", trasMs);
        return {-1, -1};
    }
    return {(fin - qint64(trasMs) * 1'000'000) / 1e6, (fin - disparo) / 1e6};
}

// Works for minutes before its one row.
const QString sentenciaLenta = u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000000000) "
                                "SELECT count(*) FROM n"_s;

// A cancel of the long statement after trasMs: milliseconds from the timer to the return, and the busy
// window's paints per second until then.
std::pair<double, double> cancelarLenta(db::OraDatabase& base, int trasMs)
{
    VigiaPeonza vigia;
    qApp->installEventFilter(&vigia);
    const double tras = cancelar(base, trasMs, true, sentenciaLenta).second;
    qApp->removeEventFilter(&vigia);
    return {tras, vigia.pinturas * 1000.0 / trasMs};
}

} // namespace

int main(int argc, char* argv[])
{
    // The result window's settings go to a scratch folder, never the user's.
    QTemporaryDir carpeta;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(carpeta.filePath(u"config"_s)));
    qputenv("XDG_DATA_HOME", QFile::encodeName(carpeta.filePath(u"data"_s)));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::string ruta, crear, modo;
    long filas = 1'000'000;
    int veces = 3;
    bool smoke = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--smoke")
            smoke = true;
        else if (a == "--db" && i + 1 < argc)
            ruta = argv[++i];
        else if (a == "--make" && i + 1 < argc)
            crear = argv[++i];
        else if (a == "--rows" && i + 1 < argc)
            filas = std::stol(argv[++i]);
        else if (a == "--runs" && i + 1 < argc)
            veces = std::max(1, std::stoi(argv[++i]));
        else if (a == "--mode" && i + 1 < argc)
            modo = argv[++i];
        else {
            std::fprintf(stderr, "usage: bench_recuperar [--smoke] [--make FILE --rows N] [--db FILE --mode "
                                 "hidden|visible|limit100|primeras|cancelar|lenta [--runs N]]\n");
            return 2;
        }
    }
    if (!crear.empty()) {
        bench::crearTabla(crear, filas);
        return 0;
    }
    if (smoke) {
        filas = 20'000;
        ruta = carpeta.filePath(u"t.db"_s).toStdString();
        bench::crearTabla(ruta, filas);
    }
    if (ruta.empty()) {
        std::fprintf(stderr, "--db FILE, --make FILE or --smoke\n");
        return 2;
    }

    db::OraSession sesion;
    const auto base = sesion.DbOpenDatabase(QString::fromStdString(ruta), u"bench/bench"_s, 0);
    const QString ultimaEsperada = u"a%1"_s.arg(filas, 11, 10, QLatin1Char('0'));

    if (smoke) {
        // Every way once, small: the grid must hold what each way promises.
        int fallos = 0;
        const auto comprobar = [&](const char* nombre, const Ejecucion& e, qint64 filasGrid, const QString& ultima) {
            const bool bien = e.resultado == Hecho && e.filas == filasGrid && e.ultima == ultima;
            std::printf("%-8s %s %.3f s, %lld grid rows\n", nombre, bien ? "ok  " : "FAIL", e.segundos,
                static_cast<long long>(e.filas));
            fallos += !bien;
        };
        comprobar("hidden", recuperar(*base, false, -1), filas + 1, ultimaEsperada);
        comprobar("visible", recuperar(*base, true, -1), filas + 1, ultimaEsperada);
        comprobar("limit100", recuperar(*base, false, 100), 101, u"a00000000100"_s);
        std::printf("first rows painted after %.0f ms\n", primerasFilas(*base));
        const double tras = cancelar(*base, 0, true).second;
        std::printf("cancel   %s acted on %.1f ms after the request\n", tras >= 0 ? "ok  " : "FAIL", tras);
        fallos += tras < 0;
        const auto [trasLenta, pinturas] = cancelarLenta(*base, 300);
        const bool lentaBien = trasLenta >= 0 && pinturas > 0;
        std::printf("slow     %s acted on %.1f ms after the request, busy window painted %.0f times a second\n",
            lentaBien ? "ok  " : "FAIL", trasLenta, pinturas);
        fallos += !lentaBien;
        return fallos == 0 ? 0 : 1;
    }

    if (modo == "hidden" || modo == "visible" || modo == "limit100") {
        const Ejecucion e = recuperar(*base, modo == "visible", modo == "limit100" ? 100 : -1);
        std::printf("%s %.3f s, %lld grid rows, peak %.1f MiB\n", modo.c_str(), e.segundos,
            static_cast<long long>(e.filas), double(picoKiB()) / 1024);
        return e.resultado == Hecho ? 0 : 1;
    }
    if (modo == "primeras") {
        std::vector<double> ms;
        for (int i = 0; i < veces; ++i)
            ms.push_back(primerasFilas(*base));
        std::printf("first rows painted: median %.1f ms of %d runs\n", mediana(ms), veces);
        return 0;
    }
    if (modo == "cancelar") {
        // Early and midway while the statement runs, and late while rows are copied into the grid:
        // at a tenth, two fifths and four fifths of an uncancelled retrieval.
        for (const bool visible : {false, true}) {
            const double entera = recuperar(*base, visible, -1).segundos * 1000;
            for (const double parte : {0.1, 0.4, 0.8}) {
                const int tras = int(entera * parte);
                std::vector<double> debido, disparo;
                for (int i = 0; i < veces; ++i) {
                    const auto [d, t] = cancelar(*base, tras, visible);
                    if (t >= 0) {
                        debido.push_back(d);
                        disparo.push_back(t);
                    }
                }
                std::printf("cancel at %4d ms of %4.0f, %-7s: returned %6.1f ms after it was due, %6.1f ms after "
                            "the timer fired (medians of %zu)\n",
                    tras, entera, visible ? "visible" : "hidden", mediana(debido), mediana(disparo), debido.size());
            }
        }
        return 0;
    }
    if (modo == "lenta") {
        std::vector<double> tras, pinturas;
        for (int i = 0; i < veces; ++i) {
            const auto [t, p] = cancelarLenta(*base, 1000);
            tras.push_back(t);
            pinturas.push_back(p);
        }
        std::printf("cancel of a statement still before its first row, at 1000 ms: returned %.1f ms after the timer "
                    "fired, busy window painted %.0f times a second (medians of %d)\n",
            mediana(tras), mediana(pinturas), veces);
        return 0;
    }
    std::fprintf(stderr, "unknown mode\n");
    return 2;
}
