#include "BaseEmbebida.h"

#include "ConexionSqlite.h"
#include "Cuentas.h"
#include "ErrorOra.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdio>

using namespace Qt::StringLiterals;

extern const char* const demoSqlite;

namespace db {

namespace {

// The files SQLite keeps beside a database.
const QStringList acompanantes{u"-wal"_s, u"-journal"_s, u"-shm"_s};

enum class Estado { Falta, Vacia, ConServidor, NoTocar, Ajena };

qint64 tamano(const QString& ruta)
{
    const QFileInfo info(ruta);
    return info.exists() ? info.size() : 0;
}

// What is at the embedded path. A damaged database, or one that cannot be read just now, is left
// for the opening to report.
Estado estadoDe(const QString& ruta)
{
    const QFileInfo info(ruta);
    if (!info.exists())
        return Estado::Falta;
    if (info.size() == 0) {
        // A journal beside an empty file may still hold the data: that is set aside, not dropped.
        for (const auto& sufijo : {u"-wal"_s, u"-journal"_s})
            if (tamano(ruta + sufijo) > 0)
                return Estado::Ajena;
        return Estado::Vacia;
    }
    try {
        nieb::ConexionSqlite conexion(QFile::encodeName(ruta).toStdString(), nieb::ConexionSqlite::Apertura::Existente);
        return nieb::servidorInstalado(conexion) ? Estado::ConServidor : Estado::Ajena;
    } catch (const nieb::ErrorSqlite& e) {
        if ((e.codigo & 0xff) == SQLITE_NOTADB)
            return Estado::Ajena;
        return Estado::NoTocar;
    }
}

// Moves a file and its journals under a new name; SQLite finds the journals by that name.
bool mover(const QString& de, const QString& a)
{
    if (std::rename(QFile::encodeName(de).constData(), QFile::encodeName(a).constData()) != 0)
        return false;
    for (const auto& sufijo : acompanantes) {
        if (!QFileInfo::exists(de + sufijo))
            continue;
        if (sufijo == u"-shm"_s)
            QFile::remove(de + sufijo); // only an index of the WAL, made again from it
        else
            std::rename(QFile::encodeName(de + sufijo).constData(), QFile::encodeName(a + sufijo).constData());
    }
    return true;
}

QString nombreApartado(const QString& ruta)
{
    const QFileInfo info(ruta);
    const QString base = info.absolutePath() + u'/' + info.completeBaseName() + u"-apartado-"_s
        + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    QString nombre = base + u".db"_s;
    for (int n = 2; QFileInfo::exists(nombre) || QFileInfo(nombre).isSymLink(); ++n)
        nombre = base + u'-' + QString::number(n) + u".db"_s;
    return nombre;
}

// Removes what interrupted creations left: "nimbo-" and six letters or digits, ".db", and journals.
void limpiarTemporales(const QString& carpeta)
{
    static const QRegularExpression temporal(u"^nimbo-[A-Za-z0-9]{6}\\.db(-journal|-wal|-shm)?$"_s);
    QDir dir(carpeta);
    for (const auto& nombre : dir.entryList({u"nimbo-*"_s}, QDir::Files | QDir::Hidden))
        if (temporal.match(nombre).hasMatch())
            dir.remove(nombre);
}

// Builds the database under a temporary name and puts it in place when complete, so that an
// interruption never leaves a half-made database at the real path.
void crear(const QString& carpeta, const QString& ruta)
{
    QTemporaryFile temporal(carpeta + u"/nimbo-XXXXXX.db"_s);
    if (!temporal.open())
        throw ErrorOra::sinResolver(
            nombreBaseEmbebida, u"no se puede escribir en la carpeta %1 (%2)"_s.arg(carpeta, temporal.errorString()));
    temporal.close();
    instalarEnFichero(temporal.fileName(), usuarioDemo, claveDemo, true);
    if (std::rename(QFile::encodeName(temporal.fileName()).constData(), QFile::encodeName(ruta).constData()) != 0)
        throw ErrorOra::sinResolver(nombreBaseEmbebida, u"no se puede crear %1"_s.arg(ruta));
    temporal.setAutoRemove(false);
}

} // namespace

QString rutaBaseEmbebida()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Nimbo/nimbo.db"_s;
}

QString queNoEsFichero(const QString& ruta)
{
    struct stat st {};
    if (::stat(QFile::encodeName(ruta).constData(), &st) != 0)
        return QFileInfo(ruta).isSymLink() ? u"es un enlace a un fichero que no existe"_s : u"el fichero no existe"_s;
    if (S_ISREG(st.st_mode))
        return {};
    if (S_ISDIR(st.st_mode))
        return u"es una carpeta, no un fichero"_s;
    if (S_ISFIFO(st.st_mode))
        return u"es una tubería con nombre (fifo), no un fichero"_s;
    if (S_ISSOCK(st.st_mode))
        return u"es un socket, no un fichero"_s;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return u"es un dispositivo, no un fichero"_s;
    return u"no es un fichero normal"_s;
}

bool instalarEnFichero(const QString& ruta, const QString& usuario, const QString& clave, bool conDemo)
{
    if (QFileInfo(ruta).exists())
        if (const QString motivo = queNoEsFichero(ruta); !motivo.isEmpty())
            throw ErrorOra::sinResolver(ruta, motivo);
    try {
        nieb::ConexionSqlite conexion(QFile::encodeName(ruta).toStdString(), nieb::ConexionSqlite::Apertura::Crear);
        conexion.ejecutar("PRAGMA foreign_keys = ON");
        nieb::Transaccion t(conexion, nieb::Transaccion::Modo::Escritura);
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
        nieb::usarWal(conexion);
        return creada;
    } catch (const nieb::ErrorSqlite& e) {
        if (e.porDano())
            throw ErrorOra::ficheroDanado(ruta, QString::fromStdString(e.what()));
        throw ErrorOra::deSqlite(e.codigo, u"%1 (%2)"_s.arg(QString::fromStdString(e.what()), ruta));
    } catch (const nieb::ErrorBaseDatos& e) {
        throw ErrorOra::deSqlite(1, u"%1 (%2)"_s.arg(QString::fromStdString(e.what()), ruta));
    }
}

QString asegurarBaseEmbebida()
{
    const QString ruta = rutaBaseEmbebida();
    const auto noEsFichero = [&] {
        const QString motivo = queNoEsFichero(ruta);
        return ErrorOra::sinResolver(nombreBaseEmbebida, u"%1 %2"_s.arg(ruta, motivo));
    };
    if (QFileInfo(ruta).exists() && !QFileInfo(ruta).isFile())
        throw noEsFichero();
    Estado estado = estadoDe(ruta);
    if (estado == Estado::ConServidor || estado == Estado::NoTocar)
        return {};

    const QString carpeta = QFileInfo(ruta).absolutePath();
    if (!QDir().mkpath(carpeta))
        throw ErrorOra::sinResolver(nombreBaseEmbebida, u"no se puede crear la carpeta %1"_s.arg(carpeta));
    // One program at a time makes the database; the others wait and then find it made.
    QLockFile cerrojo(carpeta + u"/nimbo.db.lock"_s);
    if (!cerrojo.tryLock(30000)) {
        if (cerrojo.error() == QLockFile::LockFailedError)
            throw ErrorOra::sinResolver(
                nombreBaseEmbebida, u"otro programa lleva demasiado tiempo creando %1"_s.arg(ruta));
        throw ErrorOra::sinResolver(nombreBaseEmbebida, u"no se puede escribir en la carpeta %1"_s.arg(carpeta));
    }
    if (QFileInfo(ruta).exists() && !QFileInfo(ruta).isFile())
        throw noEsFichero();
    estado = estadoDe(ruta);
    if (estado == Estado::ConServidor || estado == Estado::NoTocar)
        return {};
    limpiarTemporales(carpeta);

    QString aviso;
    if (estado == Estado::Ajena) {
        const QString apartado = nombreApartado(ruta);
        if (!mover(ruta, apartado))
            throw ErrorOra::sinResolver(nombreBaseEmbebida,
                u"%1 no es una base de datos con el servidor NIEB y no se puede apartar como %2"_s.arg(ruta, apartado));
        aviso = u"%1 no era una base de datos con el servidor NIEB: se ha apartado como %2 y se ha creado de nuevo."_s
                    .arg(ruta, apartado);
    } else if (estado == Estado::Vacia) {
        for (const auto& sufijo : acompanantes)
            QFile::remove(ruta + sufijo);
        aviso = u"%1 estaba vacía y se ha creado de nuevo."_s.arg(ruta);
    }
    crear(carpeta, ruta);
    return aviso;
}

} // namespace db
