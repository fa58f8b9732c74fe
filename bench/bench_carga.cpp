// Many users on one server: CLIENTS threads, each with a session of its own, translate and run
// QUERIES fuzzy queries each (the README's, in turn) against the embedded database and against a
// PostgreSQL database with the server and the demo (on the server NIMBO_PG names, made for the run
// and dropped after it). Every translation must equal the one a lone session gets, no session may see
// another's NIEB_QUERY or NIEB_ERRORS rows, and no call may fail. Prints queries per second and the
// median and 90th percentile latency (translation and rows) for each database.
//   bench_carga [--clients N] [--queries N] [--smoke]
// Loopback only and bounded: a run that passes its time limit stops and fails.
#include "BasePostgres.h"
#include "OraSession.h"
#include "TraduccionServidor.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Reloj = std::chrono::steady_clock;

const QStringList consultas{
    u"SELECT NOMBRE, APELLIDOS, EDAD, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Joven THOLD 0.5 ORDER BY CDEG(*) DESC"_s,
    u"SELECT E.NOMBRE, E.APELLIDOS, E.SUELDO, CDEG(*) FROM EMPLEADOS E JOIN DEPARTAMENTOS D ON "
    u"D.ID_DEPARTAMENTO = E.ID_DEPARTAMENTO WHERE D.CIUDAD = 'Madrid' AND E.SUELDO FEQ $Alto THOLD 0.75 "
    u"ORDER BY CDEG(*) DESC"_s,
    u"SELECT NOMBRE, APELLIDOS, EXPERIENCIA, CARACTER, CDEG(*) FROM CANDIDATOS WHERE EXPERIENCIA FGEQ $Media "
    u"THOLD 0.5 AND CARACTER FEQ $Extrovertido THOLD 0.8 ORDER BY CDEG(*) DESC"_s,
};
const QString ajenas = u"SELECT (SELECT COUNT(*) FROM NIEB_QUERY WHERE SESSIONID <> USERENV('SESSIONID')) + "
                       u"(SELECT COUNT(*) FROM NIEB_ERRORS WHERE SESSIONID <> USERENV('SESSIONID')) FROM DUAL"_s;

struct Medida {
    int consultas = 0;
    int fallos = 0;
    double segundos = 0;
    std::vector<double> latencias; // ms
    QString primerFallo;
};

// The translation and row count a lone session gets for each query.
struct Referencia {
    QStringList sql;
    QList<qint64> filas;
};

Referencia referencia(const QString& nombre, const QString& conexion)
{
    db::OraSession sesion;
    const auto base = sesion.DbOpenDatabase(nombre, conexion, 0);
    Referencia r;
    for (const QString& c : consultas) {
        const auto t = servidor::traducir(*base, c);
        if (t.errores != 0)
            throw db::ErrorOra(0, u"the query does not translate: "_s + c);
        r.sql.append(t.sql);
        r.filas.append(base->DbCreateDynaset(t.sql)->RecordCount());
    }
    return r;
}

Medida cargar(const QString& nombre, const QString& conexion, int clientes, int porCliente, double limite)
{
    const Referencia ref = referencia(nombre, conexion);
    Medida m;
    std::mutex cerrojo;
    std::atomic<bool> agotado = false;
    const auto inicio = Reloj::now();
    const auto fallo = [&](const QString& texto) {
        std::lock_guard l(cerrojo);
        if (m.fallos++ == 0)
            m.primerFallo = texto;
    };
    std::vector<std::thread> hilos;
    for (int c = 0; c < clientes; ++c)
        hilos.emplace_back([&, c] {
            std::vector<double> propias;
            try {
                db::OraSession sesion;
                const auto base = sesion.DbOpenDatabase(nombre, conexion, 0);
                for (int i = 0; i < porCliente && !agotado; ++i) {
                    const int q = (c + i) % int(consultas.size());
                    const auto t0 = Reloj::now();
                    const auto traduccion = servidor::traducir(*base, consultas[q]);
                    const qint64 filas = base->DbCreateDynaset(traduccion.sql)->RecordCount();
                    propias.push_back(std::chrono::duration<double, std::milli>(Reloj::now() - t0).count());
                    if (traduccion.errores != 0 || traduccion.sql != ref.sql[q] || filas != ref.filas[q])
                        fallo(u"client %1, query %2: another translation or row count"_s.arg(c).arg(q));
                    if (base->DbCreateDynaset(ajenas)->Fields()(0).Value().toLongLong() != 0)
                        fallo(u"client %1 sees another session's rows"_s.arg(c));
                    if (std::chrono::duration<double>(Reloj::now() - inicio).count() > limite)
                        agotado = true;
                }
                base->DbExecuteSQL(u"Begin NIEB_PKG.NIEB_FIN; end;"_s);
            } catch (const db::ErrorOra& e) {
                fallo(u"client %1: %2"_s.arg(c).arg(e.texto()));
            }
            std::lock_guard l(cerrojo);
            m.latencias.insert(m.latencias.end(), propias.begin(), propias.end());
        });
    for (auto& h : hilos)
        h.join();
    m.segundos = std::chrono::duration<double>(Reloj::now() - inicio).count();
    m.consultas = int(m.latencias.size());
    if (agotado)
        fallo(u"stopped after %1 s"_s.arg(limite));
    return m;
}

double percentil(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::ranges::sort(v);
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

void informar(const char* titulo, const Medida& m)
{
    std::printf("%-34s %5d queries in %6.2f s: %7.1f queries/s, latency median %6.1f ms, p90 %6.1f ms, %d failures\n",
        titulo, m.consultas, m.segundos, m.segundos > 0 ? m.consultas / m.segundos : 0.0,
        percentil(m.latencias, 0.5), percentil(m.latencias, 0.9), m.fallos);
    if (m.fallos)
        std::printf("  first failure: %s\n", qPrintable(m.primerFallo));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int clientes = 8, porCliente = 200;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        if (a == "--smoke") {
            clientes = 2;
            porCliente = 5;
        } else if (a == "--clients" && i + 1 < argc) {
            clientes = std::clamp(atoi(argv[++i]), 1, 64);
        } else if (a == "--queries" && i + 1 < argc) {
            porCliente = std::clamp(atoi(argv[++i]), 1, 10000);
        } else {
            std::fprintf(stderr, "usage: bench_carga [--clients N] [--queries N] [--smoke]\n");
            return 2;
        }
    }
    const double limite = 600;
    QTemporaryDir datos;
    qputenv("XDG_DATA_HOME", datos.path().toUtf8());
    std::printf("%d clients x %d fuzzy queries each, translated and run; %u cores\n", clientes, porCliente,
        std::thread::hardware_concurrency());
    bool bien = true;
    try {
        // The embedded database is made once, before the clients come.
        db::OraSession().DbOpenDatabase(u"2:"_s, u"scott/ravel"_s, 0);
        const Medida embebida = cargar(u"2:"_s, u"scott/ravel"_s, clientes, porCliente, limite);
        informar("embedded database (SQLite)", embebida);
        bien = embebida.fallos == 0;
        if (const QString falta = BasePostgres::sinServidor(); !falta.isEmpty()) {
            std::printf("PostgreSQL skipped: %s\n", qPrintable(falta));
        } else {
            BasePostgres pg;
            if (!pg.error().isEmpty())
                throw db::ErrorOra(0, pg.error());
            const Medida servidor = cargar(pg.nombre(), BasePostgres::conexion(), clientes, porCliente, limite);
            informar("PostgreSQL (loopback)", servidor);
            bien = bien && servidor.fallos == 0;
        }
    } catch (const db::ErrorOra& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return bien ? 0 : 1;
}
