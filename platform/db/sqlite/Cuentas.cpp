#include "Cuentas.h"

#include "ConexionSqlite.h"

#include <QByteArray>
#include <QDateTime>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <array>
#include <cstring>

using namespace Qt::StringLiterals;

namespace db {

namespace {

constexpr int iteraciones = 20000;

// SHA-256 as its standard defines it: the state, compressing 64-byte blocks.
class Sha256 {
public:
    // The state after a message of `procesados` bytes whose last block was compressed.
    std::array<quint32, 8> h{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab,
        0x5be0cd19};
    quint64 procesados = 0;

    void bloque(const uchar* b)
    {
        static constexpr quint32 k[64] = {0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1,
            0x923f82a4, 0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
            0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa,
            0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147,
            0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb,
            0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624,
            0xf40e3585, 0x106aa070, 0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a,
            0x5b9cca4f, 0x682e6ff3, 0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb,
            0xbef9a3f7, 0xc67178f2};
        const auto rotar = [](quint32 x, int n) { return (x >> n) | (x << (32 - n)); };
        quint32 w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = quint32(b[4 * i]) << 24 | quint32(b[4 * i + 1]) << 16 | quint32(b[4 * i + 2]) << 8 | b[4 * i + 3];
        for (int i = 16; i < 64; ++i)
            w[i] = w[i - 16] + (rotar(w[i - 15], 7) ^ rotar(w[i - 15], 18) ^ (w[i - 15] >> 3)) + w[i - 7]
                + (rotar(w[i - 2], 17) ^ rotar(w[i - 2], 19) ^ (w[i - 2] >> 10));
        auto [a, b2, c, d, e, f, g, hh] = h;
        for (int i = 0; i < 64; ++i) {
            const quint32 t1 = hh + (rotar(e, 6) ^ rotar(e, 11) ^ rotar(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
            const quint32 t2 = (rotar(a, 2) ^ rotar(a, 13) ^ rotar(a, 22)) + ((a & b2) ^ (a & c) ^ (b2 & c));
            hh = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b2;
            b2 = a;
            a = t1 + t2;
        }
        const quint32 nuevos[8] = {a, b2, c, d, e, f, g, hh};
        for (int i = 0; i < 8; ++i)
            h[i] += nuevos[i];
        procesados += 64;
    }

    // The digest of everything compressed so far followed by `datos`.
    std::array<uchar, 32> terminar(QByteArrayView datos) const
    {
        Sha256 s = *this;
        const auto* p = reinterpret_cast<const uchar*>(datos.data());
        qsizetype resto = datos.size();
        for (; resto >= 64; resto -= 64, p += 64)
            s.bloque(p);
        const quint64 bits = (s.procesados + quint64(resto)) * 8;
        uchar final[128] = {};
        std::memcpy(final, p, size_t(resto));
        final[resto] = 0x80;
        const qsizetype largo = resto + 9 <= 64 ? 64 : 128;
        for (int i = 0; i < 8; ++i)
            final[largo - 1 - i] = uchar(bits >> (8 * i));
        s.bloque(final);
        if (largo == 128)
            s.bloque(final + 64);
        std::array<uchar, 32> r;
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 4; ++j)
                r[size_t(4 * i + j)] = uchar(s.h[size_t(i)] >> (24 - 8 * j));
        return r;
    }
};

// HMAC-SHA-256 with the key's two padded blocks compressed once, so that each message costs two
// compressions when it is short, as PBKDF2's are.
class Hmac {
public:
    explicit Hmac(const QByteArray& clave)
    {
        QByteArray k = clave.size() > 64 ? QByteArray(reinterpret_cast<const char*>(Sha256().terminar(clave).data()), 32)
                                         : clave;
        k.resize(64, '\0');
        uchar relleno[64];
        for (int i = 0; i < 64; ++i)
            relleno[i] = uchar(k[i]) ^ 0x36;
        interior_.bloque(relleno);
        for (int i = 0; i < 64; ++i)
            relleno[i] = uchar(k[i]) ^ 0x5c;
        exterior_.bloque(relleno);
    }
    std::array<uchar, 32> operator()(QByteArrayView mensaje) const
    {
        const auto interno = interior_.terminar(mensaje);
        return exterior_.terminar(QByteArrayView(interno.data(), qsizetype(interno.size())));
    }

private:
    Sha256 interior_, exterior_;
};

// PBKDF2 with HMAC-SHA-256, one 32-byte block. The rounds are the stretching that makes guessing
// passwords slow: their number stays, only the arithmetic is done without waste.
QByteArray pbkdf2(const QByteArray& clave, const QByteArray& sal, int vueltas)
{
    const Hmac mac(clave);
    auto u = mac(sal + QByteArray::fromHex("00000001"));
    auto t = u;
    for (int i = 1; i < vueltas; ++i) {
        u = mac(QByteArrayView(u.data(), qsizetype(u.size())));
        for (size_t k = 0; k < t.size(); ++k)
            t[k] ^= u[k];
    }
    return QByteArray(reinterpret_cast<const char*>(t.data()), qsizetype(t.size()));
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
