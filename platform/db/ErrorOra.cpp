#include "ErrorOra.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace db {

ErrorOra ErrorOra::credenciales()
{
    return {OraCredenciales, u"ORA-01017: invalid username/password; logon denied"_s};
}

ErrorOra ErrorOra::sinResolver(const QString& nombre, const QString& causa)
{
    return {OraSinResolver,
        u"ORA-12154: TNS:could not resolve the connect identifier specified (%1: %2)"_s.arg(nombre, causa)};
}

ErrorOra ErrorOra::bloqueNoDeclarado(int columna, const QString& identificador)
{
    return {OraErrorPlsql,
        u"ORA-06550: line 1, column %1:\nPLS-00201: identifier '%2' must be declared"_s.arg(columna).arg(
            identificador)};
}

ErrorOra ErrorOra::componenteNoDeclarado(int columna, const QString& componente)
{
    return {OraErrorPlsql,
        u"ORA-06550: line 1, column %1:\nPLS-00302: component '%2' must be declared"_s.arg(columna).arg(componente)};
}

ErrorOra ErrorOra::argumentosIncorrectos(int columna, const QString& funcion)
{
    return {OraErrorPlsql,
        u"ORA-06550: line 1, column %1:\nPLS-00306: wrong number or types of arguments in call to '%2'"_s.arg(columna)
            .arg(funcion)};
}

ErrorOra ErrorOra::bloqueNoAdmitido(const QString& causa)
{
    return {OraErrorPlsql,
        u"ORA-06550: line 1, column 1:\nPLS-00103: %1 (only calls of an installed server package can be run)"_s.arg(
            causa)};
}

ErrorOra ErrorOra::variableSinEnlazar(const QString& nombre)
{
    return {OraVariableSinEnlazar, u"ORA-01008: not all variables bound (%1)"_s.arg(nombre)};
}

ErrorOra ErrorOra::cancelada()
{
    return {OraCancelada, u"ORA-01013: user requested cancel of current operation"_s};
}

ErrorOra ErrorOra::noEsConsulta()
{
    return {NimboNoEsConsulta,
        u"NIMBO-20100: Nimbo sólo ejecuta consultas: la sentencia no devuelve filas y no se ha ejecutado."_s};
}

ErrorOra ErrorOra::masDeUnaSentencia()
{
    return {NimboMasDeUnaSentencia,
        u"NIMBO-20101: Se ha escrito más de una sentencia: envíe una sola consulta cada vez. No se ha ejecutado nada."_s};
}

ErrorOra ErrorOra::campoInexistente(const QString& nombre)
{
    return {NimboCampoInexistente, u"NIMBO-20102: El resultado no tiene el campo %1."_s.arg(nombre)};
}

ErrorOra ErrorOra::devuelveFilas()
{
    return {NimboDevuelveFilas,
        u"NIMBO-20103: La sentencia devuelve filas: ejecútela como consulta para verlas. No se ha ejecutado nada."_s};
}

ErrorOra ErrorOra::ficheroDanado(const QString& ruta, const QString& causa)
{
    const QString fichero = ruta.isEmpty() ? u"de la base de datos"_s : ruta;
    return {NimboFicheroDanado,
        u"NIMBO-%1: El fichero %2 no es una base de datos válida o está dañado (%3). Nimbo no escribe nada más "
        u"en él."_s.arg(NimboFicheroDanado)
            .arg(fichero, causa),
        causa};
}

ErrorOra ErrorOra::deSqlite(int codigoSqlite, const QString& mensaje)
{
    const int primario = codigoSqlite & 0xff;
    if (primario == SQLITE_CORRUPT || primario == SQLITE_NOTADB)
        return ficheroDanado({}, mensaje);
    if (mensaje.startsWith(u"no such table"_s) || mensaje.startsWith(u"no such view"_s))
        return {OraTablaInexistente, u"ORA-00942: table or view does not exist (%1)"_s.arg(mensaje)};
    if (mensaje.startsWith(u"no such column"_s))
        return {OraIdentificadorInvalido, u"ORA-00904: invalid identifier (%1)"_s.arg(mensaje)};
    if (mensaje.contains(u"syntax error"_s) || mensaje.startsWith(u"incomplete input"_s)
        || mensaje.startsWith(u"unrecognized token"_s))
        return {OraSentenciaInvalida, u"ORA-00900: invalid SQL statement (%1)"_s.arg(mensaje)};
    switch (primario) {
    case SQLITE_INTERRUPT: return cancelada();
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {OraRecursoOcupado,
            u"ORA-00054: resource busy and acquire with NOWAIT specified or timeout expired (%1)"_s.arg(mensaje),
            mensaje};
    case SQLITE_READONLY:
        return {OraSoloLectura, u"ORA-16000: database open for read-only access (%1)"_s.arg(mensaje), mensaje};
    default:
        return {NimboSqlite + primario, u"NIMBO-%1: SQLite: %2"_s.arg(NimboSqlite + primario).arg(mensaje), mensaje};
    }
}

ErrorOra ErrorOra::dePostgres(const QString& sqlstate, const QString& mensaje)
{
    if (sqlstate == u"42P01"_s)
        return {OraTablaInexistente, u"ORA-00942: table or view does not exist (%1)"_s.arg(mensaje), mensaje};
    if (sqlstate == u"42703"_s || sqlstate == u"42883"_s)
        return {OraIdentificadorInvalido, u"ORA-00904: invalid identifier (%1)"_s.arg(mensaje), mensaje};
    if (sqlstate == u"42601"_s)
        return {OraSentenciaInvalida, u"ORA-00900: invalid SQL statement (%1)"_s.arg(mensaje), mensaje};
    if (sqlstate == u"57014"_s)
        return cancelada();
    if (sqlstate == u"28P01"_s || sqlstate == u"28000"_s)
        return {OraCredenciales, credenciales().texto(), mensaje};
    if (sqlstate == u"55P03"_s || sqlstate == u"40P01"_s)
        return {OraRecursoOcupado,
            u"ORA-00054: resource busy and acquire with NOWAIT specified or timeout expired (%1)"_s.arg(mensaje),
            mensaje};
    // Class 08 (connection exception) and the shutdown or termination of the server process.
    if (sqlstate.startsWith(u"08"_s) || sqlstate == u"57P01"_s || sqlstate == u"57P02"_s || sqlstate == u"57P03"_s)
        return conexionPerdida(mensaje);
    return {NimboPostgres, u"NIMBO-%1: PostgreSQL %2: %3"_s.arg(NimboPostgres).arg(sqlstate, mensaje), mensaje};
}

ErrorOra ErrorOra::conexionPerdida(const QString& mensaje)
{
    return {OraConexionPerdida,
        u"ORA-03113: end-of-file on communication channel (the server closed the connection: %1). "
        u"Connect again to go on."_s.arg(mensaje),
        mensaje};
}

ErrorOra ErrorOra::sinConexion()
{
    return {OraSinConexion,
        u"ORA-03114: not connected to the database server (the connection was lost: connect again)"_s};
}

} // namespace db
