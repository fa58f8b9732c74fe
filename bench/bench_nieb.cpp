// Benchmarks of the NIEB server: how fast queries translate, and what a fuzzy condition costs against
// the equivalent crisp one on a large table. Times are medians of repeated runs in this one process, so
// ratios compare like with like on a busy machine. `--smoke` runs everything small, for CI.
#include "Catalogo.h"
#include "ConexionSqlite.h"
#include "FuncionesDifusas.h"
#include "Traductor.h"


#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

extern const char* const demoSqlite;

namespace {

using Reloj = std::chrono::steady_clock;

double medianaSegundos(int veces, const std::function<void()>& f)
{
    std::vector<double> t;
    for (int i = 0; i < veces; ++i) {
        const auto inicio = Reloj::now();
        f();
        t.push_back(std::chrono::duration<double>(Reloj::now() - inicio).count());
    }
    std::ranges::sort(t);
    return t[t.size() / 2];
}

// Runs each function in turn, `veces` rounds, and gives each one's median: a load that comes and goes
// weighs on all of them alike.
std::vector<double> medianasEnTurno(int veces, const std::vector<std::function<void()>>& fs)
{
    std::vector<std::vector<double>> t(fs.size());
    for (int i = 0; i < veces; ++i)
        for (size_t k = 0; k < fs.size(); ++k) {
            const auto inicio = Reloj::now();
            fs[k]();
            t[k].push_back(std::chrono::duration<double>(Reloj::now() - inicio).count());
        }
    std::vector<double> medianas;
    for (auto& v : t) {
        std::ranges::sort(v);
        medianas.push_back(v[v.size() / 2]);
    }
    return medianas;
}

std::string procesador()
{
    std::ifstream cpu("/proc/cpuinfo");
    for (std::string linea; std::getline(cpu, linea);)
        if (linea.rfind("model name", 0) == 0)
            return linea.substr(linea.find(':') + 2);
    return "?";
}

std::int64_t contar(nieb::ConexionSqlite& c, const std::string& sql)
{
    return nieb::comoEntero(c.consultar(sql).at(0).at(0));
}

std::string traducir(nieb::ConexionSqlite& c, const std::string& consulta, bool prefiltro = true)
{
    nieb::Dialecto d;
    d.prefiltro = prefiltro;
    auto t = nieb::traducir(consulta, c, d);
    if (!t.errores.empty()) {
        std::fprintf(stderr, "%s\n", t.errores.front().c_str());
        std::exit(1);
    }
    return t.sql;
}

// What the server does when a session opens on a database file: open it, register the functions and
// bring the catalogue up to date with the schema.
double conectar(const std::string& ruta)
{
    const auto inicio = Reloj::now();
    nieb::ConexionSqlite c(ruta, nieb::ConexionSqlite::Apertura::Existente);
    nieb::registrarFuncionesComunes(c.handle());
    nieb::registrarFuncionesDifusas(c.handle());
    nieb::Catalogo(c).sincronizarTablas();
    return std::chrono::duration<double>(Reloj::now() - inicio).count();
}

void crearTablas(const std::string& ruta, int desde, int cuantas)
{
    nieb::ConexionSqlite c(ruta, nieb::ConexionSqlite::Apertura::Existente);
    c.ejecutar("BEGIN");
    for (int i = desde; i < desde + cuantas; ++i)
        c.ejecutar("CREATE TABLE T" + std::to_string(i) + " (A INTEGER, B TEXT)");
    c.ejecutar("COMMIT");
}

// Connecting to a file whose tables are all known already, against the demo alone; and the first
// connection after many tables were added.
void medirConexiones(bool humo, int veces)
{
    const auto carpeta = std::filesystem::temp_directory_path() / ("bench_nieb_" + std::to_string(::getpid()));
    std::filesystem::create_directories(carpeta);
    auto crear = [&](const std::string& nombre) {
        const std::string ruta = (carpeta / nombre).string();
        std::filesystem::remove(ruta);
        nieb::ConexionSqlite c(ruta, nieb::ConexionSqlite::Apertura::Crear);
        nieb::registrarFuncionesComunes(c.handle());
        nieb::registrarFuncionesDifusas(c.handle());
        nieb::instalarServidor(c, "SCOTT", "2026-01-01");
        c.ejecutar(demoSqlite);
        return ruta;
    };
    const int muchas = humo ? 800 : 8000, nuevas = humo ? 200 : 2000;
    const std::string vacia = crear("vacia.db"), llena = crear("llena.db");
    crearTablas(llena, 0, muchas);
    conectar(llena); // numbers them
    const double tVacia = medianaSegundos(veces, [&] { conectar(vacia); });
    const double tLlena = medianaSegundos(veces, [&] { conectar(llena); });
    // SQLite reads the whole schema on a connection's first statement; that much any client pays.
    const double tEsquema = medianaSegundos(veces, [&] {
        nieb::ConexionSqlite c(llena, nieb::ConexionSqlite::Apertura::Existente);
        c.consultar("SELECT count(*) FROM sqlite_schema");
    });
    std::printf("connect and sync: demo only %.2f ms, %d more tables already known %.2f ms (+%.2f ms; SQLite's own "
                "reading of that schema %.2f ms)\n",
        tVacia * 1e3, muchas, tLlena * 1e3, (tLlena - tVacia) * 1e3, tEsquema * 1e3);
    std::vector<double> primeras;
    for (int i = 0; i < veces; ++i) {
        const std::string ruta = crear("nuevas.db");
        crearTablas(ruta, 0, muchas);
        conectar(ruta);
        crearTablas(ruta, muchas, nuevas);
        primeras.push_back(conectar(ruta));
    }
    std::ranges::sort(primeras);
    std::printf("  first connect after adding %d tables to %d: %.1f ms (median of %d)\n", nuevas, muchas,
        primeras[primeras.size() / 2] * 1e3, veces);
    std::filesystem::remove_all(carpeta);
}

} // namespace

int main(int argc, char** argv)
{
    const bool humo = argc > 1 && std::string(argv[1]) == "--smoke";
    const int filas = humo ? 20'000 : 1'000'000;
    const int veces = humo ? 3 : 7;

    nieb::ConexionSqlite c(":memory:", nieb::ConexionSqlite::Apertura::Crear);
    nieb::registrarFuncionesComunes(c.handle());
    nieb::registrarFuncionesDifusas(c.handle());
    nieb::instalarServidor(c, "SCOTT", "2026-01-01");
    c.ejecutar(demoSqlite);
    c.setSesion(1);
    std::printf("machine: %s, %u cores; SQLite in memory\n", procesador().c_str(), std::thread::hardware_concurrency());

    // 1. Translation speed on typical queries.
    const std::vector<std::string> tipicas{
        "SELECT NOMBRE, APELLIDOS, EDAD, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Joven THOLD 0.5 ORDER BY CDEG(*) DESC",
        "SELECT E.NOMBRE, E.SUELDO, CDEG(*) FROM EMPLEADOS E JOIN DEPARTAMENTOS D ON D.ID_DEPARTAMENTO = "
        "E.ID_DEPARTAMENTO WHERE D.CIUDAD = 'Madrid' AND E.SUELDO FEQ $Alto THOLD 0.75 ORDER BY CDEG(*) DESC",
        "SELECT NOMBRE, EXPERIENCIA, CARACTER, CDEG(*) FROM CANDIDATOS WHERE EXPERIENCIA FGEQ $Media THOLD 0.5 AND "
        "CARACTER FEQ $Extrovertido THOLD 0.8 ORDER BY CDEG(*) DESC",
        "SELECT * FROM EMPLEADOS WHERE EDAD NFEQ #40 AND NOT (SUELDO FLT 2000) AND CARACTER IS NOT UNKNOWN",
        "SELECT ID_DEPARTAMENTO, COUNT(*) FROM EMPLEADOS WHERE EXPERIENCIA MGT [2,4] GROUP BY ID_DEPARTAMENTO",
        "SELECT NOMBRE FROM DEPARTAMENTOS WHERE ID_DEPARTAMENTO IN (SELECT ID_DEPARTAMENTO FROM EMPLEADOS WHERE "
        "SUELDO FEQ $[2000,2200,2600,3000] THOLD 0.9)",
    };
    const int repeticiones = humo ? 20 : 2000;
    const double t = medianaSegundos(veces, [&] {
        for (int i = 0; i < repeticiones; ++i)
            for (const auto& q : tipicas)
                traducir(c, q);
    });
    const double porConsulta = t / (repeticiones * double(tipicas.size()));
    std::printf("translation: %.1f us per query (median of %d runs of %d x %zu queries), %.0f translations/s\n",
        porConsulta * 1e6, veces, repeticiones, tipicas.size(), 1 / porConsulta);
    // Translation time must grow linearly with the number of conditions, and the SQL must run.
    for (const int n : humo ? std::vector<int>{250, 1000} : std::vector<int>{500, 2000}) {
        std::string q = "SELECT NOMBRE, CDEG(*) FROM EMPLEADOS WHERE ";
        for (int i = 0; i < n; ++i)
            q += (i ? " OR " : "") + ("EDAD FEQ #" + std::to_string(20 + i % 40) + " OR SUELDO FGT " + std::to_string(i));
        q += " ORDER BY CDEG(*) DESC";
        std::string sql;
        const double tn = medianaSegundos(humo ? 1 : 3, [&] { sql = traducir(c, q); });
        const double te = medianaSegundos(humo ? 1 : 3, [&] { c.consultar(sql); });
        std::printf("  %d conditions: translated in %.1f ms, run in %.1f ms\n", 2 * n, tn * 1e3, te * 1e3);
    }

    // 2. A fuzzy condition against the crisp BETWEEN that selects the same rows, on a generated table:
    //    P FEQ $[35,40,60,65] THOLD 0.5 holds exactly for 37.5 <= P <= 62.5.
    c.ejecutar("CREATE TABLE GRANDE (ID INTEGER PRIMARY KEY, P REAL, VT INTEGER, V1 REAL, V2 REAL, V3 REAL, V4 REAL)");
    c.ejecutar("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?1) "
               "INSERT INTO GRANDE SELECT i, (i * 7919 % 100000) / 1000.0, 5, (i * 104729 % 100000) / 1000.0, "
               "(i * 104729 % 100000) / 1000.0 + 2, NULL, NULL FROM n",
        {std::int64_t{filas}});
    c.ejecutar(R"(INSERT INTO NIEB_OBJETOS (TABLE_NAME) VALUES ('GRANDE');
        INSERT INTO FCL SELECT "OBJ#", 2, 1, NULL, 1, 5, NULL FROM NIEB_OBJETOS WHERE TABLE_NAME = 'GRANDE';
        INSERT INTO FCL SELECT "OBJ#", 3, 2, NULL, 1, 5, NULL FROM NIEB_OBJETOS WHERE TABLE_NAME = 'GRANDE';)");
    const std::string nitida = "SELECT COUNT(*) FROM GRANDE WHERE P BETWEEN 37.5 AND 62.5";
    const std::string difusa = traducir(c, "SELECT COUNT(*) FROM GRANDE WHERE P FEQ $[35,40,60,65] THOLD 0.5");
    const std::string sinPrefiltro
        = traducir(c, "SELECT COUNT(*) FROM GRANDE WHERE P FEQ $[35,40,60,65] THOLD 0.5", false);
    if (contar(c, nitida) != contar(c, difusa) || contar(c, nitida) != contar(c, sinPrefiltro)) {
        std::fprintf(stderr, "the fuzzy and crisp queries disagree\n");
        return 1;
    }
    auto medir = [&](const std::vector<std::string>& sqls) {
        std::vector<std::function<void()>> fs;
        for (const auto& sql : sqls)
            fs.emplace_back([&c, sql] { c.consultar(sql); });
        return medianasEnTurno(veces, fs);
    };
    // The same queries once counting the rows (an index alone answers the crisp one) and once reading
    // a column of every row found, as a query whose rows are shown does.
    auto leyendo = [](std::string sql) { return sql.replace(sql.find("COUNT(*)"), 8, "COUNT(*), SUM(V1)"); };
    std::printf(
        "table of %d rows, %lld match; medians of %d runs:\n", filas, static_cast<long long>(contar(c, nitida)), veces);
    for (const bool indice : {false, true}) {
        if (indice)
            c.ejecutar("CREATE INDEX GRANDE_P ON GRANDE (P)");
        for (const bool leer : {false, true}) {
            auto q = [&](const std::string& sql) { return leer ? leyendo(sql) : sql; };
            const auto m = medir({q(nitida), q(difusa), q(sinPrefiltro)});
            const double n = m[0], d = m[1], s = m[2];
            std::printf("  %s, %s: crisp BETWEEN %.1f ms, fuzzy %.1f ms (ratio %.2f), fuzzy without derived range "
                        "%.1f ms (ratio %.2f)\n",
                indice ? "indexed  " : "unindexed", leer ? "reading a column" : "counting        ", n * 1e3, d * 1e3,
                d / n, s * 1e3, s / n);
        }
    }

    // 3. The same for a type-2 attribute (intervals), against a crisp overlap test on its bounds.
    const std::string nitida2 = "SELECT COUNT(*) FROM GRANDE WHERE V1 <= 62.5 AND V2 >= 37.5";
    const std::string difusa2 = traducir(c, "SELECT COUNT(*) FROM GRANDE WHERE V FEQ $[35,40,60,65] THOLD 0.5");
    if (contar(c, nitida2) != contar(c, difusa2)) {
        std::fprintf(stderr, "the type-2 fuzzy and crisp queries disagree\n");
        return 1;
    }
    // Without a threshold the cut's ends are no round numbers: intervals near them go to the function.
    const std::string nitida0 = "SELECT COUNT(*) FROM GRANDE WHERE V1 < 65 AND V2 > 35";
    const std::string difusa0 = traducir(c, "SELECT COUNT(*) FROM GRANDE WHERE V FEQ $[35,40,60,65]");
    if (contar(c, nitida0) != contar(c, difusa0)) {
        std::fprintf(stderr, "the type-2 fuzzy and crisp queries without a threshold disagree\n");
        return 1;
    }
    const auto m2 = medir({nitida2, difusa2, nitida0, difusa0});
    std::printf("  type 2, unindexed: crisp overlap %.1f ms, fuzzy %.1f ms (ratio %.2f); without a threshold: "
                "crisp %.1f ms, fuzzy %.1f ms (ratio %.2f)\n",
        m2[0] * 1e3, m2[1] * 1e3, m2[1] / m2[0], m2[2] * 1e3, m2[3] * 1e3, m2[3] / m2[2]);

    medirConexiones(humo, veces);
    return 0;
}
