#pragma once

#include "Conexion.h"
#include "Nombres.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nieb {

// A fuzzy attribute as catalogued in FCL.
struct AtributoDifuso {
    std::int64_t tabla = 0;
    std::int64_t columna = 0; // 1-based; for type 2 the position of the kind column XT
    int tipo = 0;
    double margen = 0.0;
    double mucho = 0.0;
};

struct Etiqueta {
    std::int64_t id = 0;
    std::string nombre;
    double alfa = 0, beta = 0, gamma = 0, delta = 0;
};

// Reads the server's catalogue. Names are compared without regard to case, as the database does.
class Catalogo {
public:
    explicit Catalogo(Conexion& conexion)
        : conexion_(conexion)
    {
    }

    // Brings the catalogue up to date with the database's schema, in one transaction and only when the
    // schema changed since the last time: new tables get a number, the rows of dropped tables and of
    // dropped fuzzy columns go, a renamed table keeps its number and a fuzzy attribute whose column
    // moved or was renamed is renumbered with it (COL# is the column's position; the column itself is
    // followed by name, and through a rename where the database leaves no doubt about it).
    void sincronizarTablas();
    // Keeps the translator's notices as 'AVISO' rows of NIEB_INFO, written only when they change, so
    // that each is reported once and shown in the server's information.
    void anotarAvisos(const std::vector<std::string>& avisos);

    std::string propietario();
    std::int64_t numeroTabla(std::string_view esquema, std::string_view tabla);
    std::int64_t numeroColumna(std::string_view esquema, std::string_view tabla, std::string_view columna);
    int tipoDifuso(std::int64_t tabla, std::int64_t columna);
    std::optional<AtributoDifuso> atributo(std::int64_t tabla, std::int64_t columna);
    std::vector<AtributoDifuso> atributos(std::int64_t tabla);
    std::vector<Etiqueta> etiquetas(std::int64_t tabla, std::int64_t columna);
    // Similarity of two type-3 labels: 1 for the same label, 0 for a pair not listed.
    double semejanza(std::int64_t tabla, std::int64_t columna, std::string_view l1, std::string_view l2);
    bool compatibles(std::int64_t tabla1, std::int64_t columna1, std::int64_t tabla2, std::int64_t columna2);

private:
    Conexion& conexion_;
};

} // namespace nieb
