#include "Paquete.h"

#include <algorithm>
#include <cctype>

namespace nieb {

namespace {

void exigirArgumentos(const std::vector<Valor>& argumentos, size_t cuantos, const std::string& funcion)
{
    if (argumentos.size() != cuantos)
        throw ErrorLlamada(ErrorLlamada::Motivo::ArgumentosIncorrectos, funcion);
}

} // namespace

Valor Paquete::llamar(std::string_view funcion, const std::vector<Valor>& a)
{
    const auto f = mayusculas(funcion);
    if (f == "NIEB2SQL") {
        exigirArgumentos(a, 1, f);
        return NIEB2SQL(comoTexto(a[0]));
    }
    if (f == "NIEB_OBJ") {
        exigirArgumentos(a, 2, f);
        return NIEB_OBJ(comoTexto(a[0]), comoTexto(a[1]));
    }
    if (f == "NIEB_COL") {
        exigirArgumentos(a, 3, f);
        return NIEB_COL(comoTexto(a[0]), comoTexto(a[1]), comoTexto(a[2]));
    }
    if (f == "NIEB_FTYPE") {
        exigirArgumentos(a, 2, f);
        return std::int64_t{NIEB_FTYPE(comoEntero(a[0]), comoEntero(a[1]))};
    }
    if (f == "NIEB_FIN") {
        exigirArgumentos(a, 0, f);
        NIEB_FIN();
        return {};
    }
    throw ErrorLlamada(ErrorLlamada::Motivo::FuncionDesconocida, f);
}

void Paquete::sesionIniciada()
{
    contar({{"SESIONES", 1}});
    if (conexion_.soloLectura())
        return;
    catalogo_.sincronizarTablas();
    conexion_.ejecutar("DELETE FROM " + conexion_.tablaCompartida("NIEB_QUERY"));
    conexion_.ejecutar("DELETE FROM " + conexion_.tablaCompartida("NIEB_ERRORS"));
}

void Paquete::prepararSesion()
{
    if (conexion_.existeTemporal("NIEB_QUERY") && conexion_.existeTemporal("NIEB_ERRORS"))
        return;
    conexion_.ejecutar(R"(
        CREATE TEMP TABLE IF NOT EXISTS NIEB_QUERY (
          SESSIONID INTEGER NOT NULL,
          INDICE INTEGER NOT NULL,
          ATRIBUTO TEXT,
          PRIMARY KEY (SESSIONID, INDICE));
        CREATE TEMP TABLE IF NOT EXISTS NIEB_ERRORS (
          SESSIONID INTEGER NOT NULL,
          INDICE INTEGER NOT NULL,
          MSG_ERROR TEXT NOT NULL,
          PRIMARY KEY (SESSIONID, INDICE));)");
}

void Paquete::sincronizarTablas()
{
    if (conexion_.soloLectura())
        return;
    // Writes only when a table came or went, each change on its own, so that usually no lock is taken.
    try {
        catalogo_.sincronizarTablas();
        return;
    } catch (const ErrorBaseDatos&) {
        // Another connection numbered the same table at the same moment: look again, with the
        // file to this connection.
    }
    Transaccion t(conexion_, Transaccion::Modo::Escritura);
    catalogo_.sincronizarTablas();
    t.confirmar();
}

std::int64_t Paquete::NIEB2SQL(std::string_view consulta)
{
    prepararSesion();
    // Tables made since the last look get their numbers first, so that the translation after it
    // has nothing to write to the file.
    sincronizarTablas();
    const Traduccion traduccion = traducir(consulta, conexion_, dialecto_);
    const std::int64_t sesion = conexion_.sesion();
    const auto& filas = traduccion.errores.empty() ? traduccion.filas : traduccion.errores;
    const char* insertar = traduccion.errores.empty()
        ? "INSERT INTO NIEB_QUERY (SESSIONID, INDICE, ATRIBUTO) VALUES (?1, ?2, ?3)"
        : "INSERT INTO NIEB_ERRORS (SESSIONID, INDICE, MSG_ERROR) VALUES (?1, ?2, ?3)";
    Transaccion t(conexion_);
    conexion_.ejecutar("DELETE FROM NIEB_QUERY WHERE SESSIONID = ?1", {sesion});
    conexion_.ejecutar("DELETE FROM NIEB_ERRORS WHERE SESSIONID = ?1", {sesion});
    for (size_t i = 0; i < filas.size(); ++i)
        conexion_.ejecutar(insertar, {sesion, static_cast<std::int64_t>(i + 1), filas[i]});
    t.confirmar();
    const auto errores = static_cast<std::int64_t>(traduccion.errores.size());
    if (errores > 0)
        contar({{"TRADUCCIONES", 1}, {"TRADUCCIONES CON ERRORES", 1}, {"ERRORES DE TRADUCCION", errores}});
    else
        contar({{"TRADUCCIONES", 1}});
    return errores;
}

std::int64_t Paquete::NIEB_OBJ(std::string_view esquema, std::string_view tabla)
{
    sincronizarTablas();
    return catalogo_.numeroTabla(esquema, tabla);
}

std::int64_t Paquete::NIEB_COL(std::string_view esquema, std::string_view tabla, std::string_view columna)
{
    sincronizarTablas();
    return catalogo_.numeroColumna(esquema, tabla, columna);
}

int Paquete::NIEB_FTYPE(std::int64_t tabla, std::int64_t columna)
{
    return catalogo_.tipoDifuso(tabla, columna);
}

void Paquete::NIEB_FIN()
{
    prepararSesion();
    Transaccion t(conexion_);
    conexion_.ejecutar("DELETE FROM NIEB_QUERY WHERE SESSIONID = ?1", {conexion_.sesion()});
    conexion_.ejecutar("DELETE FROM NIEB_ERRORS WHERE SESSIONID = ?1", {conexion_.sesion()});
    t.confirmar();
}

void Paquete::contar(const std::vector<std::pair<std::string, std::int64_t>>& eventos)
{
    if (conexion_.soloLectura())
        return;
    std::string sql = "INSERT INTO NIEB_STATS (EVENTO, NUM) VALUES ";
    std::vector<Valor> valores;
    for (const auto& [evento, cuanto] : eventos) {
        const auto n = valores.size();
        sql += (n ? ", (?" : "(?") + std::to_string(n + 1) + ", ?" + std::to_string(n + 2) + ")";
        valores.emplace_back(evento);
        valores.emplace_back(cuanto);
    }
    sql += " ON CONFLICT (EVENTO) DO UPDATE SET NUM = NIEB_STATS.NUM + excluded.NUM";
    try {
        conexion_.ejecutar(sql, valores);
    } catch (const ErrorBaseDatos& e) {
        if (!e.porBloqueo())
            throw;
    }
}

} // namespace nieb
