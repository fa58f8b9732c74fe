#include "FicheroTexto.h"

#include <QDir>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace FicheroTexto {

QString escribirLinea(const QString& ruta, const QString& texto)
{
    QSaveFile fichero(ruta);
    const QByteArray bytes = texto.toLocal8Bit() + "\r\n";
    if (!fichero.open(QIODevice::WriteOnly) || fichero.write(bytes) != bytes.size() || !fichero.commit())
        return u"No se ha podido guardar la consulta traducida en %1: %2."_s.arg(
            QDir::toNativeSeparators(ruta), fichero.errorString());
    return {};
}

} // namespace FicheroTexto
