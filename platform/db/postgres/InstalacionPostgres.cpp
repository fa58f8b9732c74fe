#include "InstalacionPostgres.h"

#include "ErrorOra.h"
#include "PostgresBackend.h"

#include <QRegularExpression>

extern const char* const servidorPostgres;
extern const char* const demoPostgres;

using namespace Qt::StringLiterals;

namespace db {

QString guionPostgres(GuionPostgres guion)
{
    if (guion == GuionPostgres::Demo)
        return QString::fromUtf8(demoPostgres);
    static const QRegularExpression modulo(u"\\bMODULE_PATHNAME\\b"_s);
    return QString::fromUtf8(servidorPostgres).replace(modulo, u"nieb"_s);
}

bool instalarEnPostgres(const QString& nombre, const QString& usuario, const QString& clave, GuionPostgres guion)
{
    const QString texto = guionPostgres(guion);
    if (texto.trimmed().isEmpty())
        throw ErrorOra(NimboPostgres, u"NIMBO-%1: this build of Nimbo has no PostgreSQL script for the %2"_s.arg(NimboPostgres)
                                          .arg(guion == GuionPostgres::Demo ? u"demo"_s : u"NIEB server"_s));
    PostgresBackend base(nombre, usuario, clave);
    if (guion == GuionPostgres::Servidor && base.servidorInstalado())
        return false;
    if (guion == GuionPostgres::Demo && !base.servidorInstalado())
        throw ErrorOra(NimboPostgres,
            u"NIMBO-%1: the NIEB server is not installed in %2: install it first (--install-server)"_s.arg(NimboPostgres)
                .arg(nombre));
    try {
        base.ejecutarGuion(texto);
    } catch (const ErrorOra& e) {
        // 58P01: the server found no file for the module.
        if (!e.texto().contains(u"58P01"_s))
            throw;
        throw ErrorOra(NimboPostgres,
            u"NIMBO-%1: the PostgreSQL server cannot load the NIEB module 'nieb' (%2). Install it on the server "
            u"(cmake --install BUILD_DIR --component nieb_pg, which puts nieb.so into pg_config --pkglibdir) or "
            u"add the folder holding nieb.so to the server's dynamic_library_path. Nothing was installed."_s
                .arg(NimboPostgres)
                .arg(e.detalle()),
            e.detalle());
    }
    return true;
}

} // namespace db
