#pragma once

#include "Catalogo.h"
#include "Conexion.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// The tables a query names, as the translator sees them: their columns and their fuzzy attributes
// with labels, margins and similarities, read from the catalogue once per translation.
namespace nieb {

// A fuzzy attribute of a table, with what its translation needs.
struct Atributo {
    std::string nombre; // the name queries use: the column's, or XT's without the final T
    AtributoDifuso difuso;
    std::string x;                    // types 1 and 3: the column
    std::string xt, x1, x2, x3, x4;   // type 2
    std::vector<Etiqueta> etiquetas;  // types 1 and 2
    std::string etiquetasSql;         // encoded for the SQL functions
    std::set<std::string> etiquetas3; // type 3, in capitals
    std::string semejanzasSql;
};

struct Tabla {
    std::string nombre;
    std::vector<std::string> columnas;
    std::vector<Atributo> atributos;

    const Atributo* atributo(std::string_view nombre) const
    {
        for (const auto& a : atributos)
            if (mismoNombre(a.nombre, nombre))
                return &a;
        return nullptr;
    }
    bool tieneColumna(std::string_view nombre) const
    {
        return std::ranges::any_of(columnas, [&](const std::string& c) { return mismoNombre(c, nombre); });
    }
};

class EsquemaDifuso {
public:
    EsquemaDifuso(Conexion& conexion, Catalogo& catalogo)
        : conexion_(conexion)
        , catalogo_(catalogo)
        , propietario_(catalogo.propietario())
    {
    }

    // The owner of every table, as the catalogue names it.
    const std::string& propietario() const { return propietario_; }
    // The table or view of that name (case aside), or null when the database has none.
    const Tabla* tabla(std::string_view nombre);

private:
    Conexion& conexion_;
    Catalogo& catalogo_;
    std::string propietario_;
    std::map<std::string, std::unique_ptr<Tabla>> tablas_;
    std::optional<std::vector<std::string>> nombres_;
    bool sincronizado_ = false;
};

} // namespace nieb
