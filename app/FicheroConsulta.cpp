#include "FicheroConsulta.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace FicheroConsulta {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five unassigned bytes keep their code.
constexpr char16_t windows1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
    0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString desdeWindows1252(const QByteArray& bytes)
{
    QString texto;
    texto.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        texto.append(b >= 0x80 && b < 0xA0 ? QChar(windows1252[b - 0x80]) : QChar(char16_t(b)));
    }
    return texto;
}

// Text files hold no control characters but tab, line and page breaks; a DOS end-of-file mark may
// close them.
bool esBinario(const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        if (b >= 0x20 || b == '\t' || b == '\n' || b == '\v' || b == '\f' || b == '\r')
            continue;
        if (b == 0x1A && i == bytes.size() - 1)
            continue;
        return true;
    }
    return false;
}

} // namespace

QString decodificar(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8.decode(bytes);
    if (utf8.hasError())
        texto = desdeWindows1252(bytes);
    else if (texto.startsWith(QChar(0xFEFF)))
        texto.remove(0, 1);
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    texto.replace(u'\r', u'\n');
    return texto;
}

Lectura leer(const QString& ruta)
{
    Lectura lectura;
    QFile fichero(ruta);
    if (!QFileInfo(ruta).isFile() || !fichero.open(QIODevice::ReadOnly))
        return lectura;
    lectura.tamano = fichero.size();
    if (lectura.tamano > tamanoMaximo) {
        lectura.estado = Lectura::Estado::DemasiadoGrande;
        return lectura;
    }
    const QByteArray bytes = fichero.read(tamanoMaximo + 1);
    if (fichero.error() != QFileDevice::NoError)
        return lectura;
    if (bytes.size() > tamanoMaximo) { // the file grew since its size was taken
        lectura.tamano = bytes.size();
        lectura.estado = Lectura::Estado::DemasiadoGrande;
        return lectura;
    }
    if (esBinario(bytes))
        return lectura;
    lectura.texto = decodificar(bytes.endsWith('\x1A') ? bytes.chopped(1) : bytes);
    lectura.estado = Lectura::Estado::Leido;
    return lectura;
}

QByteArray codificar(const QString& texto)
{
    QString conCrLf = texto;
    conCrLf.replace(u'\n', QStringLiteral("\r\n"));
    return conCrLf.toUtf8();
}

namespace {

Escritura escribirEn(QFileDevice& fichero, const QByteArray& bytes)
{
    if (fichero.write(bytes) != bytes.size() || !fichero.flush())
        return {false, fichero.errorString()};
    return {true, {}};
}

} // namespace

Escritura escribir(const QString& ruta, const QString& texto)
{
    const QByteArray bytes = codificar(texto);
    const QFileInfo destino(ruta);
    if (destino.exists() && !destino.isFile() && !destino.isDir()) {
        QFile dispositivo(ruta);
        if (!dispositivo.open(QIODevice::WriteOnly))
            return {false, dispositivo.errorString()};
        Escritura escritura = escribirEn(dispositivo, bytes);
        dispositivo.close();
        if (escritura.hecha && dispositivo.error() != QFileDevice::NoError)
            escritura = {false, dispositivo.errorString()};
        return escritura;
    }
    QSaveFile fichero(ruta);
    if (!fichero.open(QIODevice::WriteOnly))
        return {false, fichero.errorString()};
    Escritura escritura = escribirEn(fichero, bytes);
    if (!escritura.hecha) {
        fichero.cancelWriting();
        return escritura;
    }
    if (!fichero.commit())
        return {false, fichero.errorString()};
    return escritura;
}

} // namespace FicheroConsulta
