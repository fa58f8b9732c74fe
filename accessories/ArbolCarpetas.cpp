#include "ArbolCarpetas.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// Why a folder cannot be listed, in the words the program's messages use; empty when it can.
QString motivoIlegible(const QString& carpeta)
{
    const QFileInfo info(carpeta);
    if (!info.exists() || !info.isDir())
        return u"No se ha encontrado la ruta de acceso"_s;
    if (!info.isReadable() || !info.isExecutable())
        return u"Permiso denegado"_s;
    return {};
}

ArbolCarpetas::Listado listar(const QString& carpeta, const QStringList& patrones, QDir::Filters filtro)
{
    const QString motivo = motivoIlegible(carpeta);
    if (!motivo.isEmpty())
        return {{}, motivo};
    const QDir dir(carpeta, {}, QDir::Name | QDir::IgnoreCase, filtro);
    return {patrones.isEmpty() ? dir.entryList() : dir.entryList(patrones), {}};
}

} // namespace

ArbolCarpetas::Listado ArbolDisco::subcarpetas(const QString& carpeta, bool conLosEnlaces) const
{
    QDir::Filters filtro = QDir::Dirs | QDir::NoDotAndDotDot;
    if (!conLosEnlaces)
        filtro |= QDir::NoSymLinks;
    return listar(carpeta, {}, filtro);
}

ArbolCarpetas::Listado ArbolDisco::ficheros(const QString& carpeta, const QStringList& patrones) const
{
    return listar(carpeta, patrones, QDir::Files);
}

QStringList patronesDe(const QString& texto)
{
    QStringList patrones;
    for (const QString& parte : texto.split(u';', Qt::SkipEmptyParts)) {
        const QString patron = parte.trimmed();
        if (!patron.isEmpty())
            patrones.append(patron);
    }
    return patrones;
}

QString rutaEn(const QString& carpeta, const QString& nombre)
{
    return carpeta.endsWith(u'/') ? carpeta + nombre : carpeta + u'/' + nombre;
}
