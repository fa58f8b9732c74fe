#include "BaseEmbebida.h"

#include "ConexionSqlite.h"
#include "Cuentas.h"
#include "ErrorOra.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

extern const char* const demoSqlite;

namespace db {

QString rutaBaseEmbebida()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Nimbo/nimbo.db"_s;
}

bool instalarEnFichero(const QString& ruta, const QString& usuario, const QString& clave, bool conDemo)
{
    try {
        nieb::ConexionSqlite conexion(QFile::encodeName(ruta).toStdString(), nieb::ConexionSqlite::Apertura::Crear);
        conexion.ejecutar("PRAGMA foreign_keys = ON");
        nieb::Transaccion t(conexion);
        cuentas::instalar(conexion);
        const bool creada = cuentas::crear(conexion, usuario, clave);
        if (!nieb::servidorInstalado(conexion)) {
            nieb::instalarServidor(conexion, usuario.trimmed().toUpper().toStdString(),
                QDate::currentDate().toString(Qt::ISODate).toStdString());
            if (conDemo) {
                conexion.ejecutar(demoSqlite);
            }
        }
        t.confirmar();
        return creada;
    } catch (const nieb::ErrorSqlite& e) {
        throw ErrorOra::deSqlite(e.codigo, u"%1 (%2)"_s.arg(QString::fromStdString(e.what()), ruta));
    } catch (const nieb::ErrorBaseDatos& e) {
        throw ErrorOra::deSqlite(1, u"%1 (%2)"_s.arg(QString::fromStdString(e.what()), ruta));
    }
}

void asegurarBaseEmbebida()
{
    const QString ruta = rutaBaseEmbebida();
    if (QFileInfo::exists(ruta))
        return;
    const QString carpeta = QFileInfo(ruta).absolutePath();
    if (!QDir().mkpath(carpeta))
        throw ErrorOra::sinResolver(nombreBaseEmbebida, u"no se puede crear la carpeta %1"_s.arg(carpeta));

    // Built under a temporary name and renamed when complete, so an interrupted creation never
    // leaves a half-made database behind, and two programs starting at once end with one database.
    QTemporaryFile temporal(carpeta + u"/nimbo-XXXXXX.db"_s);
    if (!temporal.open())
        throw ErrorOra::sinResolver(nombreBaseEmbebida, temporal.errorString());
    temporal.close();
    instalarEnFichero(temporal.fileName(), usuarioDemo, claveDemo, true);
    if (!QFile::rename(temporal.fileName(), ruta) && !QFileInfo::exists(ruta))
        throw ErrorOra::sinResolver(nombreBaseEmbebida, u"no se puede crear %1"_s.arg(ruta));
}

} // namespace db
