#include "SesionSGBD.h"

#include "Clock.h"
#include "ErrorOra.h"
#include "OraSession.h"
#include "TraduccionServidor.h"

using namespace Qt::StringLiterals;

namespace sesion {

std::shared_ptr<db::OraSession> sesionNueva()
{
    return std::make_shared<db::OraSession>();
}

IntentoLogin iniciarSesion(Module1::Conexion& conexion, const QString& usuario, const QString& clave,
    const QString& baseDeDatos, const FabricaSesion& fabrica)
{
    IntentoLogin intento;
    try {
        intento.sesion = fabrica();
        if (!intento.sesion)
            throw std::runtime_error("no se ha podido crear la sesión de la biblioteca de base de datos");
    } catch (const std::exception& e) {
        intento.fallo = servidor::falloDe(e);
        return intento;
    }
    conexion.sesion = intento.sesion;
    try {
        conexion.sesion->LastServerErrReset();
        auto base = conexion.sesion->DbOpenDatabase(baseDeDatos, usuario + u'/' + clave, 0);
        if (base) {
            intento.avisos = base->avisos();
            conexion.base = std::move(base);
        }
    } catch (const std::exception& e) {
        intento.fallo = servidor::falloDe(e);
    }
    if (intento.fallo.pendiente() || conexion.sesion->LastServerErr() != 0)
        return intento;
    conexion.conectado = true;
    conexion.usuario = usuario;
    conexion.baseDeDatos = baseDeDatos;
    intento.conectado = true;
    return intento;
}

void finSesionServidor(Module1::Conexion& conexion)
{
    if (!conexion.base)
        return;
    try {
        conexion.base->DbExecuteSQL(bloqueFinSesion);
    } catch (const std::exception&) {
        // The user's server state is only tidied up here; nothing depends on it.
    }
}

std::optional<servidor::Fallo> traducirConsulta(Module1& estado, const QString& consulta, const Clock& reloj)
{
    const double inicio = reloj.segundosMonotonos();
    Module1::Conexion& c = estado.conexion;
    try {
        if (c.sesion)
            c.sesion->LastServerErrReset();
        if (!c.base)
            throw std::runtime_error("no hay ninguna base de datos abierta");
        // A session replaced by a failed login no longer reaches the database it did not open.
        c.base->LastServerErrReset();
        const servidor::ResultadoTraduccion r = servidor::traducir(*c.base, consulta);
        estado.numErrores = r.errores;
        if (r.errores == 0)
            estado.SentenciaSQL = r.sql;
    } catch (const std::exception& e) {
        return servidor::falloDe(e);
    }
    estado.SegundosTraduccion = reloj.segundosMonotonos() - inicio;
    c.servidorUsado = true;
    return std::nullopt;
}

} // namespace sesion
