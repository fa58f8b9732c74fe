#include "EnlaceEjecucion.h"

#include "ComandosSGBD.h"
#include "EditorConsulta.h"
#include "Ejecucion.h"
#include "ErrorOra.h"
#include "Module1.h"
#include "frmMain.h"

using namespace Qt::StringLiterals;

Ejecucion* enlazarEjecucion(frmMain& principal, Module1& estado, const Platform& plataforma, ComandosSGBD& sgbd)
{
    AnfitrionEjecucion anfitrion;
    anfitrion.principal = &principal;
    anfitrion.textoConsulta = [&principal] { return principal.Consulta->toPlainText(); };
    anfitrion.comprobarConexion = [&sgbd] { return sgbd.comprobarConexion(); };
    anfitrion.traducirConsulta = [&sgbd](const QString& consulta) { return sgbd.TraducirConsulta(consulta); };
    anfitrion.mostrarErrores = [&sgbd] { sgbd.MostrarErrores(); };
    anfitrion.cerrarErrores = [&sgbd] { sgbd.cerrarErrores(); };
    anfitrion.mostrarErrorServidor = [&sgbd](int codigo, const QString& texto) {
        sgbd.mostrarErrorServidor(servidor::falloDe(db::ErrorOra(codigo, texto)));
    };
    anfitrion.sesion = [&estado] { return estado.conexion.sesion.get(); };
    anfitrion.base = [&estado] { return estado.conexion.base.get(); };

    auto* ejecucion = new Ejecucion(estado, plataforma, std::move(anfitrion));
    principal.registrarComando(u"mnuEnviar"_s, [ejecucion] { ejecucion->mnuEnviar(); });
    principal.registrarComando(u"mnuSinNIEB"_s, [ejecucion] { ejecucion->mnuSinNIEB(); });
    principal.registrarComando(u"mnuMaxFilas"_s, [ejecucion] { ejecucion->mnuMaxFilas(); });
    return ejecucion;
}
