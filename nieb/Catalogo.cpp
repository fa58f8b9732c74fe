#include "Catalogo.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace nieb {

namespace {

std::optional<std::int64_t> versionSincronizada(Conexion& conexion)
{
    try {
        // No version either while a table with fuzzy attributes has no shape kept (attributes defined
        // since the last time, or a catalogue from before shapes were kept): keeping it now lets the
        // next change of schema tell a rename from a drop.
        const auto filas = conexion.consultar(R"(SELECT VERSION_ESQUEMA FROM NIEB_SINCRONIA WHERE NOT EXISTS (
              SELECT 1 FROM FCL f JOIN NIEB_OBJETOS o ON o."OBJ#" = f."OBJ#" WHERE NOT EXISTS (
                SELECT 1 FROM NIEB_ESTRUCTURA e WHERE e."OBJ#" = f."OBJ#" AND e."COL#" = 0)))");
        return filas.empty() ? std::int64_t{-1} : comoEntero(filas[0][0]);
    } catch (const ErrorBaseDatos&) {
        return std::nullopt; // a catalogue from before the version or the shapes were kept
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

// 1-based position of a name in a list, 0 when it is not there.
std::int64_t posicion(const std::vector<Identificado>& lista, std::string_view nombre)
{
    const auto it = std::ranges::find_if(lista, [&](const Identificado& x) { return mismoNombre(x.nombre, nombre); });
    return it == lista.end() ? 0 : (it - lista.begin()) + 1;
}

// Whether the columns of the last synchronisation line up with today's, position by position: each one
// the same, or renamed (its old name gone, the new one not a column before); columns added only at the
// end, where an added column goes. A drop shifts the columns after it, and a drop with an add leaves
// no way to tell a rename: either breaks the line.
bool alineadas(const std::vector<Identificado>& antes, const std::vector<Identificado>& ahora)
{
    if (ahora.size() < antes.size())
        return false;
    for (size_t i = 0; i < antes.size(); ++i)
        if (!mismoNombre(antes[i].nombre, ahora[i].nombre)
            && (posicion(ahora, antes[i].nombre) != 0 || posicion(antes, ahora[i].nombre) != 0))
            return false;
    return true;
}

// A table with fuzzy attributes as the last synchronisation saw it.
struct Estructura {
    std::int64_t identidad = 0;
    std::vector<Identificado> columnas;
};

// One synchronisation, inside the transaction that holds the catalogue. Tables and columns are followed
// by name; one whose name is gone is followed through a rename when the database tells so for sure
// (identities of its own), or when its identity hint and the line of its columns leave no doubt.
class Sincronizacion {
public:
    explicit Sincronizacion(Conexion& c)
        : c_(c)
    {
        for (const auto& f : c_.consultar(R"(SELECT "OBJ#", "COL#", NOMBRE, IDENTIDAD FROM NIEB_ESTRUCTURA
                ORDER BY "OBJ#", "COL#")")) {
            auto& e = previas_[comoEntero(f[0])];
            if (comoEntero(f[1]) == 0)
                e.identidad = comoEntero(f[3]);
            else
                e.columnas.push_back({comoTexto(f[2]), comoEntero(f[3])});
        }
    }

    // Table numbers: a dropped table's number goes with its attributes, a renamed one keeps its own, a
    // new table gets one.
    void seguirTablas()
    {
        tablas_ = c_.tablasIdentificadas();
        std::unordered_map<std::string, size_t> porNombre;
        std::unordered_map<std::int64_t, size_t> porIdentidad;
        for (size_t i = 0; i < tablas_.size(); ++i) {
            porNombre.emplace(mayusculas(tablas_[i].nombre), i);
            if (tablas_[i].identidad != 0)
                porIdentidad.emplace(tablas_[i].identidad, i);
        }
        std::vector<bool> tomada(tablas_.size());
        std::vector<std::int64_t> sinNombre;
        for (const auto& f : c_.consultar(R"(SELECT "OBJ#", TABLE_NAME FROM NIEB_OBJETOS)")) {
            const std::int64_t obj = comoEntero(f[0]);
            const auto it = porNombre.find(mayusculas(comoTexto(f[1])));
            if (it != porNombre.end() && !tomada[it->second]) {
                tomada[it->second] = true;
                numeradas_[obj] = it->second;
            } else {
                sinNombre.push_back(obj);
            }
        }
        for (const std::int64_t obj : sinNombre) {
            const auto previa = previas_.find(obj);
            const auto it = previa == previas_.end() ? porIdentidad.end() : porIdentidad.find(previa->second.identidad);
            if (it != porIdentidad.end() && !tomada[it->second]
                && (c_.identidadesPropias()
                    || alineadas(previa->second.columnas, c_.columnasIdentificadas(tablas_[it->second].nombre)))) {
                // Renamed: no other row has its new name, which would have claimed the table above.
                tomada[it->second] = true;
                numeradas_[obj] = it->second;
                c_.ejecutar(
                    R"(UPDATE NIEB_OBJETOS SET TABLE_NAME = ?2 WHERE "OBJ#" = ?1)", {obj, tablas_[it->second].nombre});
                continue;
            }
            for (const auto& col : c_.consultar(R"(SELECT "COL#" FROM FCL WHERE "OBJ#" = ?1)", {obj}))
                borrarAtributo(c_, obj, comoEntero(col[0]));
            c_.ejecutar(R"(DELETE FROM NIEB_OBJETOS WHERE "OBJ#" = ?1)", {obj});
        }
        // Another session may be numbering the same new table at this moment: its number stands.
        for (size_t i = 0; i < tablas_.size(); ++i)
            if (!tomada[i])
                c_.ejecutar(
                    R"(INSERT INTO NIEB_OBJETOS (TABLE_NAME) VALUES (?1) ON CONFLICT DO NOTHING)", {tablas_[i].nombre});
    }

    // Fuzzy attributes follow their columns: a dropped column takes its attribute along, a column that
    // moved or was renamed keeps it, at its new position (COL#) and under its new name.
    void seguirColumnas()
    {
        std::map<std::int64_t, std::vector<Atributo>> porTabla;
        for (const auto& f : c_.consultar(R"(SELECT f."OBJ#", f."COL#", k.NOMBRE FROM FCL f
                LEFT JOIN NIEB_COLUMNAS k ON k."OBJ#" = f."OBJ#" AND k."COL#" = f."COL#")"))
            if (numeradas_.contains(comoEntero(f[0])))
                porTabla[comoEntero(f[0])].push_back(
                    {comoEntero(f[1]), esNulo(f[2]) ? std::optional<std::string>{} : comoTexto(f[2])});
        std::vector<std::tuple<std::int64_t, std::int64_t, std::int64_t>> movidos;    // table, from, to
        std::vector<std::tuple<std::int64_t, std::int64_t, std::string>> renombrados; // table, at, name
        for (auto& [obj, atributos] : porTabla) {
            const auto& tabla = tablas_[numeradas_.at(obj)];
            auto& ahora = estructuras_[obj] = Estructura{tabla.identidad, c_.columnasIdentificadas(tabla.nombre)};
            const auto previa = previas_.find(obj);
            // What the last synchronisation saw holds only for the same table, not one made since by its name.
            const Estructura* antes = previa != previas_.end() && previa->second.identidad != 0
                    && previa->second.identidad == tabla.identidad
                ? &previa->second
                : nullptr;
            ubicar(atributos, ahora.columnas, antes);
            for (const auto& a : atributos) {
                if (!a.nombre)
                    continue; // no name known (catalogued outside the triggers): left where it is
                if (a.destino == 0) {
                    borrarAtributo(c_, obj, a.columna);
                    continue;
                }
                if (a.destino != a.columna)
                    movidos.emplace_back(obj, a.columna, a.destino);
                if (const auto& nombre = ahora.columnas[static_cast<size_t>(a.destino - 1)].nombre; nombre != *a.nombre)
                    renombrados.emplace_back(obj, a.destino, nombre);
            }
        }
        // Through negative numbers, so that no two attributes ever share a position on the way.
        for (const auto& [obj, desde, hasta] : movidos)
            moverAtributo(c_, obj, desde, -hasta);
        for (const auto& [obj, desde, hasta] : movidos)
            moverAtributo(c_, obj, -hasta, hasta);
        for (const auto& [obj, col, nombre] : renombrados)
            c_.ejecutar(
                R"(UPDATE NIEB_COLUMNAS SET NOMBRE = ?3 WHERE "OBJ#" = ?1 AND "COL#" = ?2)", {obj, col, nombre});
    }

    // Keeps the tables that still have fuzzy attributes as they are now, for the next synchronisation.
    void guardarEstructuras()
    {
        c_.ejecutar("DELETE FROM NIEB_ESTRUCTURA");
        std::unordered_set<std::int64_t> difusas;
        for (const auto& f : c_.consultar(R"(SELECT DISTINCT "OBJ#" FROM FCL)"))
            difusas.insert(comoEntero(f[0]));
        const char* insertar
            = R"(INSERT INTO NIEB_ESTRUCTURA ("OBJ#", "COL#", NOMBRE, IDENTIDAD) VALUES (?1, ?2, ?3, ?4))";
        for (const auto& [obj, e] : estructuras_) {
            if (!difusas.contains(obj))
                continue;
            c_.ejecutar(insertar, {obj, std::int64_t{0}, tablas_[numeradas_.at(obj)].nombre, e.identidad});
            for (size_t i = 0; i < e.columnas.size(); ++i)
                c_.ejecutar(
                    insertar, {obj, static_cast<std::int64_t>(i + 1), e.columnas[i].nombre, e.columnas[i].identidad});
        }
    }

private:
    struct Atributo {
        std::int64_t columna;
        std::optional<std::string> nombre; // of its column when it was catalogued or last followed
        std::int64_t destino = 0;          // its column's position now; 0: the column is gone
    };

    // Finds each attribute's column among today's, each column taken by one attribute at most: by its
    // identity where that is the column's own, else by name, else (the columns lined up) by position.
    void ubicar(std::vector<Atributo>& atributos, const std::vector<Identificado>& ahora, const Estructura* antes) const
    {
        std::vector<bool> ocupada(ahora.size() + 1);
        const auto tomar = [&](Atributo& a, std::int64_t pos) {
            if (a.destino == 0 && pos > 0 && static_cast<size_t>(pos) <= ahora.size()
                && !ocupada[static_cast<size_t>(pos)]) {
                a.destino = pos;
                ocupada[static_cast<size_t>(pos)] = true;
            }
        };
        const bool propias = c_.identidadesPropias();
        if (antes && propias)
            for (auto& a : atributos)
                if (const auto p = a.nombre ? posicion(antes->columnas, *a.nombre) : 0; p > 0) {
                    const auto id = antes->columnas[static_cast<size_t>(p - 1)].identidad;
                    const auto it = std::ranges::find(ahora, id, &Identificado::identidad);
                    if (id != 0 && it != ahora.end())
                        tomar(a, (it - ahora.begin()) + 1);
                }
        for (auto& a : atributos)
            if (a.nombre)
                tomar(a, posicion(ahora, *a.nombre));
        if (antes && !propias && alineadas(antes->columnas, ahora))
            for (auto& a : atributos)
                if (const auto p = a.nombre && a.destino == 0 ? posicion(antes->columnas, *a.nombre) : 0; p > 0)
                    tomar(a, p);
    }

    Conexion& c_;
    std::unordered_map<std::int64_t, Estructura> previas_; // by table number
    std::vector<Identificado> tablas_;                     // the database's tables now
    std::unordered_map<std::int64_t, size_t> numeradas_;   // table number: its table now
    std::map<std::int64_t, Estructura> estructuras_;       // tables with fuzzy attributes, as they are now
};

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

    // Tables first, so that each attribute's table is known by its name of now.
    Sincronizacion s(conexion_);
    s.seguirTablas();
    s.seguirColumnas();
    s.guardarEstructuras();

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
