#include "Catalogo.h"

#include <algorithm>
#include <cctype>

namespace nieb {

void Catalogo::sincronizarTablas()
{
    const auto existentes = conexion_.tablas();
    const auto numeradas = conexion_.consultar(R"(SELECT TABLE_NAME FROM NIEB_OBJETOS)");
    auto contiene = [](const auto& lista, const std::string& nombre, auto nombreDe) {
        return std::ranges::any_of(lista, [&](const auto& e) { return mismoNombre(nombreDe(e), nombre); });
    };
    auto deFila = [](const Fila& f) { return comoTexto(f[0]); };
    auto deNombre = [](const std::string& s) { return s; };
    for (const auto& fila : numeradas) {
        const auto nombre = comoTexto(fila[0]);
        if (!contiene(existentes, nombre, deNombre))
            conexion_.ejecutar(R"(DELETE FROM NIEB_OBJETOS WHERE TABLE_NAME = ?1)", {nombre});
    }
    for (const auto& nombre : existentes) {
        if (!contiene(numeradas, nombre, deFila))
            conexion_.ejecutar(R"(INSERT INTO NIEB_OBJETOS (TABLE_NAME) VALUES (?1))", {nombre});
    }
}

std::string Catalogo::propietario()
{
    const auto filas = conexion_.consultar("SELECT VALOR FROM NIEB_INFO WHERE OPCION = 'PROPIETARIO'");
    return filas.empty() ? std::string() : comoTexto(filas[0][0]);
}

std::int64_t Catalogo::numeroTabla(std::string_view esquema, std::string_view tabla)
{
    const auto filas = conexion_.consultar(R"(SELECT "OBJ#" FROM ACCESSIBLE_TABLES
        WHERE UPPER(OWNER) = UPPER(?1) AND UPPER(TABLE_NAME) = UPPER(?2))",
        {std::string(esquema), std::string(tabla)});
    return filas.empty() ? 0 : comoEntero(filas[0][0]);
}

std::int64_t Catalogo::numeroColumna(std::string_view esquema, std::string_view tabla, std::string_view columna)
{
    if (numeroTabla(esquema, tabla) == 0)
        return 0;
    const auto columnas = conexion_.columnas(tabla);
    const auto it = std::ranges::find_if(columnas, [&](const std::string& c) { return mismoNombre(c, columna); });
    return it == columnas.end() ? 0 : (it - columnas.begin()) + 1;
}

int Catalogo::tipoDifuso(std::int64_t tabla, std::int64_t columna)
{
    const auto a = atributo(tabla, columna);
    return a ? a->tipo : 0;
}

std::optional<AtributoDifuso> Catalogo::atributo(std::int64_t tabla, std::int64_t columna)
{
    const auto filas = conexion_.consultar(
        R"(SELECT F_TYPE, MARGEN, MUCHO FROM FCL WHERE "OBJ#" = ?1 AND "COL#" = ?2)", {tabla, columna});
    if (filas.empty())
        return std::nullopt;
    return AtributoDifuso{
        tabla, columna, static_cast<int>(comoEntero(filas[0][0])), comoReal(filas[0][1]), comoReal(filas[0][2])};
}

std::vector<AtributoDifuso> Catalogo::atributos(std::int64_t tabla)
{
    std::vector<AtributoDifuso> r;
    for (const auto& f : conexion_.consultar(
             R"(SELECT "COL#", F_TYPE, MARGEN, MUCHO FROM FCL WHERE "OBJ#" = ?1 ORDER BY "COL#")", {tabla}))
        r.push_back({tabla, comoEntero(f[0]), static_cast<int>(comoEntero(f[1])), comoReal(f[2]), comoReal(f[3])});
    return r;
}

std::vector<Etiqueta> Catalogo::etiquetas(std::int64_t tabla, std::int64_t columna)
{
    std::vector<Etiqueta> resultado;
    for (const auto& f : conexion_.consultar(R"(SELECT FUZZY_ID, LABEL, ALFA, BETA, GAMMA, DELTA FROM LFOC
            WHERE "OBJ#" = ?1 AND "COL#" = ?2 ORDER BY FUZZY_ID)",
             {tabla, columna}))
        resultado.push_back(
            {comoEntero(f[0]), comoTexto(f[1]), comoReal(f[2]), comoReal(f[3]), comoReal(f[4]), comoReal(f[5])});
    return resultado;
}

double Catalogo::semejanza(std::int64_t tabla, std::int64_t columna, std::string_view l1, std::string_view l2)
{
    if (mismoNombre(l1, l2))
        return 1.0;
    const auto filas = conexion_.consultar(R"(SELECT DEGREE FROM LOCT3 WHERE "OBJ#" = ?1 AND "COL#" = ?2
        AND ((UPPER(LABEL_1) = UPPER(?3) AND UPPER(LABEL_2) = UPPER(?4))
          OR (UPPER(LABEL_1) = UPPER(?4) AND UPPER(LABEL_2) = UPPER(?3))))",
        {tabla, columna, std::string(l1), std::string(l2)});
    return filas.empty() ? 0.0 : comoReal(filas[0][0]);
}

bool Catalogo::compatibles(std::int64_t tabla1, std::int64_t columna1, std::int64_t tabla2, std::int64_t columna2)
{
    if (tabla1 == tabla2 && columna1 == columna2)
        return true;
    const auto filas = conexion_.consultar(R"(SELECT 1 FROM NIEB_COMPATIBLES
        WHERE ("OBJ1#" = ?1 AND "COL1#" = ?2 AND "OBJ2#" = ?3 AND "COL2#" = ?4)
           OR ("OBJ1#" = ?3 AND "COL1#" = ?4 AND "OBJ2#" = ?1 AND "COL2#" = ?2))",
        {tabla1, columna1, tabla2, columna2});
    return !filas.empty();
}

} // namespace nieb
