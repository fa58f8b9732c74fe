#pragma once

#include "Conexion.h"

#include <string>
#include <string_view>
#include <vector>

namespace nieb {

// What the translated SQL may use of the backend's language.
struct Dialecto {
    bool exceptoEnVezDeMinus = true; // SQLite writes MINUS as EXCEPT
    bool sinPropietario = true;      // SQLite has no owners: OWNER.TABLE becomes TABLE
    bool prefiltro = true;           // add the crisp range derived from each fuzzy condition
    bool nombresEnMinusculas = false; // bare names fold to lower case: a column name with capitals is quoted
    std::string_view tipoReal = "REAL"; // the type of a double, for casts
    // The logic functions' LEAST/MIN and GREATEST/MAX become the server's NIEB_LEAST and NIEB_GREATEST
    // (NULL when any argument is NULL, where the database's own skip NULLs), IFNULL becomes COALESCE.
    bool extremosDelServidor = false;
    // UNION, INTERSECT and MINUS are of one precedence, left to right: where the database binds
    // INTERSECT tighter, a chain of them is put in parentheses from the left.
    bool conjuntosAgrupados = false;

    // PostgreSQL: EXCEPT for MINUS, and owners dropped as on SQLite, since the client's owner is its
    // login name, which is no schema there. INTERSECT binds tighter there than the others. Its REAL is single precision: degrees are worked out in
    // DOUBLE PRECISION, to give the same doubles as SQLite.
    static constexpr Dialecto postgresql()
    {
        Dialecto d;
        d.nombresEnMinusculas = true;
        d.tipoReal = "DOUBLE PRECISION";
        d.extremosDelServidor = true;
        d.conjuntosAgrupados = true;
        return d;
    }
};

struct Traduccion {
    std::vector<std::string> errores; // "Línea 1, columna 8: ...", in source order; empty when translated
    std::vector<std::string> filas;   // the statement as NIEB_QUERY rows
    std::string sql;                  // the statement the client rebuilds from the rows
    std::vector<std::string> avisos;  // settings the translator did not take, such as a malformed NIEB_OPTIONS row
};

// Translates a NIEB query into the backend's SQL, reading the fuzzy attributes, labels, margins and
// logic functions from the catalogue of the database behind `conexion`. Every error found is reported,
// not only the first; no input makes it crash or hang.
Traduccion traducir(std::string_view consulta, Conexion& conexion, const Dialecto& dialecto = {});

} // namespace nieb
