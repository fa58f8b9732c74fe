#include "Catalogo.h"

#include <algorithm>
#include <cctype>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace nieb {

namespace {

std::optional<std::int64_t> versionSincronizada(Conexion& conexion)
{
    try {
        const auto filas = conexion.consultar("SELECT VERSION_ESQUEMA FROM NIEB_SINCRONIA");
        return filas.empty() ? std::int64_t{-1} : comoEntero(filas[0][0]);
    } catch (const ErrorBaseDatos&) {
        return std::nullopt; // a catalogue from before the version was kept
    }
}

// Removes a fuzzy attribute with its labels, similarities and compatibilities.
void borrarAtributo(Conexion& c, std::int64_t obj, std::int64_t col)
{
    c.ejecutar(R"(DELETE FROM LFOC WHERE "OBJ#" = ?1 AND "COL#" = ?2)", {obj, col});
    c.ejecutar(R"(DELETE FROM LOCT3 WHERE "OBJ#" = ?1 AND "COL#" = ?2)", {obj, col});
    c.ejecutar(R"(DELETE FROM NIEB_COMPATIBLES WHERE ("OBJ1#" = ?1 AND "COL1#" = ?2) OR ("OBJ2#" = ?1 AND "COL2#" = ?2))",
        {obj, col});
    c.ejecutar(R"(DELETE FROM FCL WHERE "OBJ#" = ?1 AND "COL#" = ?2)", {obj, col});
}

// Moves a fuzzy attribute and everything that names it from one column position to another.
void moverAtributo(Conexion& c, std::int64_t obj, std::int64_t desde, std::int64_t hasta)
{
    c.ejecutar(R"(UPDATE FCL SET "COL#" = ?3 WHERE "OBJ#" = ?1 AND "COL#" = ?2)", {obj, desde, hasta});
    c.ejecutar(R"(UPDATE LFOC SET "COL#" = ?3 WHERE "OBJ#" = ?1 AND "COL#" = ?2)", {obj, desde, hasta});
    c.ejecutar(R"(UPDATE LOCT3 SET "COL#" = ?3 WHERE "OBJ#" = ?1 AND "COL#" = ?2)", {obj, desde, hasta});
    c.ejecutar(R"(UPDATE NIEB_COMPATIBLES SET "COL1#" = ?3 WHERE "OBJ1#" = ?1 AND "COL1#" = ?2)", {obj, desde, hasta});
    c.ejecutar(R"(UPDATE NIEB_COMPATIBLES SET "COL2#" = ?3 WHERE "OBJ2#" = ?1 AND "COL2#" = ?2)", {obj, desde, hasta});
}

} // namespace

void Catalogo::sincronizarTablas()
{
    // Nothing to do while the schema is the one last synchronised: one look at its version.
    auto sincronizada = versionSincronizada(conexion_);
    if (sincronizada && *sincronizada == conexion_.versionEsquema())
        return;
    Transaccion t(conexion_);
    // One session at a time; the one that waited finds the work done.
    conexion_.bloquearCatalogo();
    sincronizada = versionSincronizada(conexion_);
    if (sincronizada && *sincronizada == conexion_.versionEsquema())
        return;
    if (!sincronizada)
        conexion_.crearSeguimiento();
    // Renumbering moves parent keys that labels refer to; the references agree again at the end.
    conexion_.aplazarClavesAjenas();

    // Table numbers: one pass over each list, names looked up in a hash set (case aside, as SQL does).
    std::unordered_set<std::string> existentes;
    const auto tablas = conexion_.tablas();
    for (const auto& nombre : tablas)
        existentes.insert(mayusculas(nombre));
    std::unordered_set<std::string> numeradas;
    for (const auto& fila : conexion_.consultar(R"(SELECT "OBJ#", TABLE_NAME FROM NIEB_OBJETOS)")) {
        const auto nombre = comoTexto(fila[1]);
        if (existentes.contains(mayusculas(nombre))) {
            numeradas.insert(mayusculas(nombre));
            continue;
        }
        const std::int64_t obj = comoEntero(fila[0]);
        for (const auto& f : conexion_.consultar(R"(SELECT "COL#" FROM FCL WHERE "OBJ#" = ?1)", {obj}))
            borrarAtributo(conexion_, obj, comoEntero(f[0]));
        conexion_.ejecutar(R"(DELETE FROM NIEB_OBJETOS WHERE "OBJ#" = ?1)", {obj});
    }
    // Another session may be numbering the same new table at this moment: its number stands.
    for (const auto& nombre : tablas)
        if (!numeradas.contains(mayusculas(nombre)))
            conexion_.ejecutar(R"(INSERT INTO NIEB_OBJETOS (TABLE_NAME) VALUES (?1) ON CONFLICT DO NOTHING)", {nombre});

    // Fuzzy attributes follow their columns: a dropped column takes its attribute along, a column that
    // moved takes it to its new position.
    std::int64_t objActual = 0;
    std::unordered_map<std::string, std::int64_t> posiciones;
    std::vector<std::tuple<std::int64_t, std::int64_t, std::int64_t>> movidos; // table, from, to
    for (const auto& f : conexion_.consultar(R"(SELECT f."OBJ#", f."COL#", k.NOMBRE, o.TABLE_NAME FROM FCL f
            JOIN NIEB_OBJETOS o ON o."OBJ#" = f."OBJ#"
            LEFT JOIN NIEB_COLUMNAS k ON k."OBJ#" = f."OBJ#" AND k."COL#" = f."COL#"
            ORDER BY f."OBJ#", f."COL#")")) {
        const std::int64_t obj = comoEntero(f[0]), col = comoEntero(f[1]);
        if (obj != objActual) {
            objActual = obj;
            posiciones.clear();
            const auto columnas = conexion_.columnas(comoTexto(f[3]));
            for (size_t i = 0; i < columnas.size(); ++i)
                posiciones.emplace(mayusculas(columnas[i]), static_cast<std::int64_t>(i + 1));
        }
        if (esNulo(f[2]))
            continue; // no name known (catalogued outside the triggers): left where it is
        const auto it = posiciones.find(mayusculas(comoTexto(f[2])));
        if (it == posiciones.end())
            borrarAtributo(conexion_, obj, col);
        else if (it->second != col)
            movidos.emplace_back(obj, col, it->second);
    }
    // Through negative numbers, so that no two attributes ever share a position on the way.
    for (const auto& [obj, desde, hasta] : movidos)
        moverAtributo(conexion_, obj, desde, -hasta);
    for (const auto& [obj, desde, hasta] : movidos)
        moverAtributo(conexion_, obj, -hasta, hasta);

    conexion_.ejecutar("DELETE FROM NIEB_SINCRONIA");
    conexion_.ejecutar("INSERT INTO NIEB_SINCRONIA (VERSION_ESQUEMA) VALUES (?1)", {conexion_.versionEsquema()});
    t.confirmar();
}

void Catalogo::anotarAvisos(const std::vector<std::string>& avisos)
{
    // Compared as sorted lists: the rows keep no order of their own on every database.
    std::vector<std::string> anotados, nuevos = avisos;
    for (const auto& f : conexion_.consultar("SELECT VALOR FROM NIEB_INFO WHERE OPCION = 'AVISO'"))
        anotados.push_back(comoTexto(f[0]));
    std::ranges::sort(anotados);
    std::ranges::sort(nuevos);
    if (anotados == nuevos)
        return;
    Transaccion t(conexion_);
    // As the catalogue's update does: one session at a time, and on a database with roles as the
    // catalogue's owner, so that any user's translation keeps its notices.
    conexion_.bloquearCatalogo();
    conexion_.ejecutar("DELETE FROM NIEB_INFO WHERE OPCION = 'AVISO'");
    for (const auto& aviso : avisos)
        conexion_.ejecutar("INSERT INTO NIEB_INFO (OPCION, VALOR) VALUES ('AVISO', ?1)", {aviso});
    t.confirmar();
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
    if (mismaEtiqueta(l1, l2))
        return 1.0;
    // Labels compare without regard to case over Unicode, which SQL's UPPER does not do: compare here.
    for (const auto& f : conexion_.consultar(
             R"(SELECT LABEL_1, LABEL_2, DEGREE FROM LOCT3 WHERE "OBJ#" = ?1 AND "COL#" = ?2)", {tabla, columna})) {
        const auto a = comoTexto(f[0]), b = comoTexto(f[1]);
        if ((mismaEtiqueta(a, l1) && mismaEtiqueta(b, l2)) || (mismaEtiqueta(a, l2) && mismaEtiqueta(b, l1)))
            return comoReal(f[2]);
    }
    return 0.0;
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
