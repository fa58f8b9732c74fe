// libFuzzer entry for what a catalogue can hold: the demo database's labels renamed to any bytes, their
// points and the columns' margins set to any number, the logic options set to any text, then a fuzzy
// query built from the input translated and run. Whatever the catalogue holds, a translation that
// succeeds must give SQL that SQLite reads whole, with every number in it finite, and that runs.
#include "BaseDemo.h"
#include "Emisor.h"
#include "Lexico.h"
#include "Traductor.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fallo(const char* que, const std::string& sql)
{
    std::fprintf(stderr, "%s\n%s\n", que, sql.c_str());
    std::abort();
}

// A number as a query writes it: ordinary, extreme or tiny, never NaN or infinite (the lexer reads no such).
std::string numero(FuzzedDataProvider& d)
{
    static constexpr double escalas[] = {1, 10, 1000, 1e-300, 1e150, 1e300, 1.7976931348623157e308};
    double x = d.ConsumeFloatingPointInRange<double>(-1, 1) * escalas[d.ConsumeIntegralInRange<size_t>(0, 6)];
    if (!std::isfinite(x))
        x = 0;
    char texto[40];
    std::snprintf(texto, sizeof texto, "%.17g", std::fabs(x));
    return (x < 0 ? "-" : "") + std::string(texto);
}

// Any number the catalogue may store, infinities included.
double numeroCatalogo(FuzzedDataProvider& d)
{
    switch (d.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: return d.ConsumeFloatingPoint<double>();
    case 1: return d.ConsumeBool() ? INFINITY : -INFINITY;
    default: return d.ConsumeFloatingPointInRange<double>(-200, 200);
    }
}

struct Atributo {
    const char* nombre;
    int tipo;
};
constexpr Atributo atributos[] = {{"SUELDO", 1}, {"EDAD", 2}, {"EXPERIENCIA", 2}, {"CARACTER", 3}};
constexpr const char* comparadores[] = {"FEQ", "FGEQ", "FGT", "FLEQ", "FLT", "MGT", "MLT", "NFEQ", "NFGEQ", "NFGT",
    "NFLEQ", "NFLT", "NMGT", "NMLT"};

std::string condicion(FuzzedDataProvider& d, nieb::ConexionSqlite& c)
{
    const Atributo a = atributos[d.ConsumeIntegralInRange<size_t>(0, 3)];
    std::string op = a.tipo == 3 ? (d.ConsumeBool() ? "FEQ" : "NFEQ") : comparadores[d.ConsumeIntegralInRange<size_t>(0, 13)];
    std::string constante;
    switch (d.ConsumeIntegralInRange<int>(0, a.tipo == 3 ? 0 : 4)) {
    case 0: { // a label of the attribute, as stored now: written as it is, even when it cannot be read
        const auto etiquetas = a.tipo == 3
            ? c.consultar("SELECT LABEL_1 FROM LOCT3 UNION SELECT LABEL_2 FROM LOCT3")
            : c.consultar("SELECT l.LABEL FROM LFOC l JOIN FCL f ON f.\"OBJ#\" = l.\"OBJ#\" AND f.\"COL#\" = l.\"COL#\" "
                          "JOIN NIEB_OBJETOS o ON o.\"OBJ#\" = f.\"OBJ#\" WHERE o.TABLE_NAME = 'EMPLEADOS' AND f.F_TYPE = ?1",
                  {std::int64_t{a.tipo}});
        if (etiquetas.empty())
            return std::string(a.nombre) + " IS NULL";
        constante = "$" + nieb::comoTexto(etiquetas[d.ConsumeIntegralInRange<size_t>(0, etiquetas.size() - 1)][0]);
        break;
    }
    case 1: constante = numero(d); break;
    case 2: constante = "[" + numero(d) + "," + numero(d) + "]"; break;
    case 3: constante = "#" + numero(d); break;
    default:
        constante = "$[" + numero(d) + "," + numero(d) + "," + numero(d) + "," + numero(d) + "]";
        break;
    }
    std::string r = std::string(a.nombre) + " " + op + " " + constante;
    if (d.ConsumeBool())
        r += " THOLD " + std::to_string(d.ConsumeIntegralInRange<int>(0, 4) / 4.0);
    return d.ConsumeBool() ? "NOT (" + r + ")" : r;
}

// Reads the statement as SQLite does: it must be one statement, read to its end.
void comprobarSql(nieb::ConexionSqlite& c, const std::string& sql)
{
    sqlite3_stmt* s = nullptr;
    const char* resto = nullptr;
    if (sqlite3_prepare_v2(c.handle(), sql.c_str(), static_cast<int>(sql.size()), &s, &resto) != SQLITE_OK)
        fallo(sqlite3_errmsg(c.handle()), sql);
    const nieb::Sentencia sentencia(s);
    if (resto != sql.c_str() + sql.size())
        fallo("SQLite did not read the whole statement", sql);
    for (const auto& token : nieb::tokenizar(sql)) {
        if (token.tipo == nieb::TipoToken::Numero
            && !std::isfinite(std::strtod(std::string(token.texto).c_str(), nullptr)))
            fallo("a non-finite number reached the SQL", sql);
        if (nieb::esPalabra(token, "INF") || nieb::esPalabra(token, "NAN") || nieb::esPalabra(token, "INFINITY"))
            fallo("a non-finite number reached the SQL", sql);
        if (token.tipo == nieb::TipoToken::Ilegal)
            fallo("the SQL holds an illegal token", sql);
    }
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) { }
    if (rc != SQLITE_DONE)
        fallo(sqlite3_errmsg(c.handle()), sql);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano)
{
    if (tamano > 4096)
        return -1;
    FuzzedDataProvider d(datos, tamano);
    auto& c = demo();
    c.ejecutar("SAVEPOINT fuzz");
    try {
        // Labels of types 1 and 2: new names (any bytes) and points, in order or not.
        const auto lfoc = c.consultar("SELECT rowid FROM LFOC");
        for (size_t i = 0, n = d.ConsumeIntegralInRange<size_t>(0, 4); i < n && !lfoc.empty(); ++i) {
            const auto fila = lfoc[d.ConsumeIntegralInRange<size_t>(0, lfoc.size() - 1)][0];
            const std::string nombre = d.ConsumeRandomLengthString(64);
            try {
                c.ejecutar("UPDATE LFOC SET LABEL = ?1 WHERE rowid = ?2", {nombre, fila});
                if (d.ConsumeBool()) {
                    double p[4] = {numeroCatalogo(d), numeroCatalogo(d), numeroCatalogo(d), numeroCatalogo(d)};
                    std::sort(std::begin(p), std::end(p));
                    c.ejecutar("UPDATE LFOC SET ALFA = ?1, BETA = ?2, GAMMA = ?3, DELTA = ?4 WHERE rowid = ?5",
                        {p[0], p[1], p[2], p[3], fila});
                }
            } catch (const nieb::ErrorBaseDatos&) {
                // A name taken already, or a NaN refused by NOT NULL: the catalogue keeps its row.
            }
        }
        // Type-3 labels: renamed everywhere, in the relation and in the rows.
        for (size_t i = 0, n = d.ConsumeIntegralInRange<size_t>(0, 2); i < n; ++i) {
            static constexpr const char* viejas[] = {"Alegre", "Serio", "Reservado", "Extrovertido", "Tranquilo"};
            const std::string vieja = viejas[d.ConsumeIntegralInRange<size_t>(0, 4)];
            const std::string nueva = d.ConsumeRandomLengthString(64);
            for (const char* sql : {"UPDATE OR IGNORE LOCT3 SET LABEL_1 = ?1 WHERE LABEL_1 = ?2",
                     "UPDATE OR IGNORE LOCT3 SET LABEL_2 = ?1 WHERE LABEL_2 = ?2",
                     "UPDATE EMPLEADOS SET CARACTER = ?1 WHERE CARACTER = ?2",
                     "UPDATE CANDIDATOS SET CARACTER = ?1 WHERE CARACTER = ?2"})
                c.ejecutar(sql, {nueva, vieja});
        }
        if (d.ConsumeBool())
            c.ejecutar("UPDATE FCL SET MARGEN = ?1, MUCHO = ?2 WHERE F_TYPE = ?3",
                {numeroCatalogo(d), numeroCatalogo(d), std::int64_t{d.ConsumeIntegralInRange<int>(1, 2)}});
        if (d.ConsumeBool()) {
            static constexpr const char* opciones[] = {"NOT", "AND", "OR"};
            c.ejecutar("INSERT INTO NIEB_OPTIONS (OPCION, VALOR) VALUES (?1, ?2)",
                {std::string(opciones[d.ConsumeIntegralInRange<size_t>(0, 2)]), d.ConsumeRandomLengthString(40)});
        }

        std::string consulta = "SELECT NOMBRE, EDAD, SUELDO, CARACTER, CDEG(*) FROM EMPLEADOS WHERE " + condicion(d, c);
        for (size_t i = 0, n = d.ConsumeIntegralInRange<size_t>(0, 3); i < n; ++i)
            consulta += (d.ConsumeBool() ? " AND " : " OR ") + condicion(d, c);
        consulta += " ORDER BY CDEG(*) DESC";

        const auto t = nieb::traducir(consulta, c);
        if (t.errores.empty()) {
            if (nieb::reconstruir(t.filas) != t.sql)
                fallo("the rows do not rebuild the statement", t.sql);
            comprobarSql(c, t.sql);
        }
    } catch (const nieb::ErrorBaseDatos& e) {
        fallo(e.what(), "");
    }
    c.ejecutar("ROLLBACK TO fuzz");
    c.ejecutar("RELEASE fuzz");
    return 0;
}
