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
    contar("SESIONES");
}

std::int64_t Paquete::NIEB2SQL(std::string_view consulta)
{
    Transaccion t(conexion_);
    const std::int64_t sesion = conexion_.sesion();
    conexion_.ejecutar("DELETE FROM NIEB_QUERY WHERE SESSIONID = ?1", {sesion});
    conexion_.ejecutar("DELETE FROM NIEB_ERRORS WHERE SESSIONID = ?1", {sesion});
    const Traduccion traduccion = traducir(consulta, conexion_, dialecto_);
    const auto& filas = traduccion.errores.empty() ? traduccion.filas : traduccion.errores;
    const char* insertar = traduccion.errores.empty()
        ? "INSERT INTO NIEB_QUERY (SESSIONID, INDICE, ATRIBUTO) VALUES (?1, ?2, ?3)"
        : "INSERT INTO NIEB_ERRORS (SESSIONID, INDICE, MSG_ERROR) VALUES (?1, ?2, ?3)";
    for (size_t i = 0; i < filas.size(); ++i)
        conexion_.ejecutar(insertar, {sesion, static_cast<std::int64_t>(i + 1), filas[i]});
    const auto errores = static_cast<std::int64_t>(traduccion.errores.size());
    contar("TRADUCCIONES");
    if (errores > 0) {
        contar("TRADUCCIONES CON ERRORES");
        contar("ERRORES DE TRADUCCION", errores);
    }
    t.confirmar();
    return errores;
}

std::int64_t Paquete::NIEB_OBJ(std::string_view esquema, std::string_view tabla)
{
    catalogo_.sincronizarTablas();
    return catalogo_.numeroTabla(esquema, tabla);
}

std::int64_t Paquete::NIEB_COL(std::string_view esquema, std::string_view tabla, std::string_view columna)
{
    catalogo_.sincronizarTablas();
    return catalogo_.numeroColumna(esquema, tabla, columna);
}

int Paquete::NIEB_FTYPE(std::int64_t tabla, std::int64_t columna)
{
    return catalogo_.tipoDifuso(tabla, columna);
}

void Paquete::NIEB_FIN()
{
    Transaccion t(conexion_);
    conexion_.ejecutar("DELETE FROM NIEB_QUERY WHERE SESSIONID = ?1", {conexion_.sesion()});
    conexion_.ejecutar("DELETE FROM NIEB_ERRORS WHERE SESSIONID = ?1", {conexion_.sesion()});
    t.confirmar();
}

void Paquete::contar(std::string_view evento, std::int64_t cuanto)
{
    conexion_.ejecutar("INSERT INTO NIEB_STATS (EVENTO, NUM) VALUES (?1, ?2) "
                       "ON CONFLICT (EVENTO) DO UPDATE SET NUM = NUM + ?2",
        {std::string(evento), cuanto});
}

} // namespace nieb
