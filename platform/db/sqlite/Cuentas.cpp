#include "Cuentas.h"

#include "ConexionSqlite.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDateTime>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace db {

namespace {

constexpr int iteraciones = 20000;

// PBKDF2 with HMAC-SHA-256, one 32-byte block.
QByteArray pbkdf2(const QByteArray& clave, const QByteArray& sal, int vueltas)
{
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, clave);
    mac.addData(sal);
    mac.addData(QByteArray::fromHex("00000001"));
    QByteArray u = mac.result();
    QByteArray t = u;
    for (int i = 1; i < vueltas; ++i) {
        mac.reset();
        mac.addData(u);
        u = mac.result();
        for (qsizetype k = 0; k < t.size(); ++k)
            t[k] = static_cast<char>(t[k] ^ u[k]);
    }
    return t;
}

bool igualesEnTiempoConstante(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diferencia = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diferencia |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diferencia == 0;
}

std::string texto(const QString& s)
{
    return s.toStdString();
}

} // namespace

QString cifrarClave(const QString& clave)
{
    QByteArray sal(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(sal.data()), sal.size() / 4);
    return u"pbkdf2-sha256$%1$%2$%3"_s.arg(iteraciones)
        .arg(QString::fromLatin1(sal.toBase64()),
            QString::fromLatin1(pbkdf2(clave.toUtf8(), sal, iteraciones).toBase64()));
}

bool claveCorrecta(const QString& clave, const QString& guardada)
{
    const auto partes = guardada.split(u'$');
    if (partes.size() != 4 || partes[0] != u"pbkdf2-sha256"_s)
        return false;
    bool ok = false;
    const int vueltas = partes[1].toInt(&ok);
    if (!ok || vueltas < 1 || vueltas > 10'000'000)
        return false;
    const QByteArray sal = QByteArray::fromBase64(partes[2].toLatin1());
    const QByteArray hash = QByteArray::fromBase64(partes[3].toLatin1());
    return igualesEnTiempoConstante(pbkdf2(clave.toUtf8(), sal, vueltas), hash);
}

namespace cuentas {

bool instaladas(nieb::ConexionSqlite& conexion)
{
    return conexion.existeTabla("NIMBO_CUENTAS") && conexion.existeTabla("NIMBO_SESIONES");
}

void instalar(nieb::ConexionSqlite& conexion)
{
    conexion.ejecutar(R"(
            CREATE TABLE IF NOT EXISTS NIMBO_CUENTAS (
              USER_ID INTEGER PRIMARY KEY AUTOINCREMENT,
              USERNAME TEXT NOT NULL UNIQUE COLLATE NOCASE,
              CLAVE TEXT NOT NULL,
              CREATED TEXT NOT NULL,
              DEFAULT_TABLESPACE TEXT NOT NULL DEFAULT 'USERS',
              TEMPORARY_TABLESPACE TEXT NOT NULL DEFAULT 'TEMP');
            CREATE TABLE IF NOT EXISTS NIMBO_SESIONES (
              SESSIONID INTEGER PRIMARY KEY AUTOINCREMENT,
              USER_ID INTEGER,
              INICIO TEXT NOT NULL);)");
}

bool crear(nieb::ConexionSqlite& conexion, const QString& usuario, const QString& clave)
{
    const auto nombre = usuario.trimmed().toUpper();
    if (!conexion.consultar("SELECT 1 FROM NIMBO_CUENTAS WHERE USERNAME = ?1", {texto(nombre)}).empty())
        return false;
    conexion.ejecutar("INSERT INTO NIMBO_CUENTAS (USERNAME, CLAVE, CREATED) VALUES (?1, ?2, ?3)",
        {texto(nombre), texto(cifrarClave(clave)),
            texto(QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_s))});
    return true;
}

std::optional<Cuenta> verificar(nieb::ConexionSqlite& conexion, const QString& usuario, const QString& clave)
{
    const auto filas
        = conexion.consultar("SELECT USER_ID, USERNAME, CLAVE, CREATED FROM NIMBO_CUENTAS WHERE USERNAME = ?1",
            {texto(usuario.trimmed().toUpper())});
    if (filas.empty()) {
        // Spend the same time as a real check, so a wrong name cannot be told from a wrong password.
        cifrarClave(clave);
        return std::nullopt;
    }
    const auto& f = filas[0];
    if (!claveCorrecta(clave, QString::fromStdString(nieb::comoTexto(f[2]))))
        return std::nullopt;
    return Cuenta{nieb::comoEntero(f[0]), QString::fromStdString(nieb::comoTexto(f[1])),
        QString::fromStdString(nieb::comoTexto(f[3]))};
}

qint64 nuevaSesion(nieb::ConexionSqlite& conexion, qint64 idCuenta)
{
    conexion.ejecutar("INSERT INTO NIMBO_SESIONES (USER_ID, INICIO) VALUES (?1, datetime('now'))", {idCuenta});
    return sqlite3_last_insert_rowid(conexion.handle());
}

} // namespace cuentas

} // namespace db
