#include "FicheroConsulta.h"

#include <QFile>
#include <QFileInfo>
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
    lectura.texto = decodificar(bytes);
    lectura.estado = Lectura::Estado::Leido;
    return lectura;
}

} // namespace FicheroConsulta
