#include "VisorAyuda.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

using namespace Qt::StringLiterals;

std::optional<QString> CarpetaAyuda::mostrar(const PeticionAyuda& peticion, QWidget*)
{
    const QFileInfo fichero(peticion.fichero);
    if (!fichero.isFile())
        return u"La ayuda no está instalada: no se encuentra el fichero %1."_s.arg(
            QDir::toNativeSeparators(fichero.absoluteFilePath()));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(fichero.absolutePath())))
        return u"No se ha podido abrir la carpeta de la ayuda %1."_s.arg(
            QDir::toNativeSeparators(fichero.absolutePath()));
    return std::nullopt;
}
