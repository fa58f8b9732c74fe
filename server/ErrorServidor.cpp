#include "ErrorServidor.h"

#include "ErrorOra.h"
#include "OraSession.h"

using namespace Qt::StringLiterals;

namespace servidor {

Fallo falloDe(const std::exception& e)
{
    if (const auto* ora = dynamic_cast<const db::ErrorOra*>(&e))
        return {falloAutomatizacion, ora->texto()};
    return {falloInterno, QString::fromLocal8Bit(e.what())};
}

QString textoErrorServidor(const db::OraSession* sesion, const db::OraDatabase* base, const Fallo& fallo)
{
    if (sesion && sesion->LastServerErr() != 0)
        return sesion->LastServerErrText();
    if (!fallo.pendiente())
        return {};
    QString texto;
    if (base && base->LastServerErr() == db::OraErrorPlsql)
        texto = avisoServidorNoInstalado;
    return texto + u"VB-%1: %2"_s.arg(fallo.numero).arg(fallo.descripcion);
}

int contextoAyuda(const db::OraSession* sesion, const db::OraDatabase* base)
{
    if (sesion && sesion->LastServerErr() != 0)
        return sesion->LastServerErr();
    return base ? base->LastServerErr() : 0;
}

} // namespace servidor
