#include "EscritorTsv.h"

#include "Utf8.h"

#include <QFileDevice>
#include <QLocale>
#include <QStringDecoder>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include <unistd.h>

namespace cli {

namespace {

// Lines are handed over once the buffer holds this much.
constexpr size_t TamanoBloque = size_t(64) << 10;

constexpr char Hex[] = "0123456789ABCDEF";

constexpr std::uint64_t repetir(unsigned char b)
{
    return 0x0101010101010101ULL * b;
}

// True when one of the eight bytes of `w` is a backslash, below 0x0E (tab, line feed, carriage
// return and the other controls) or not ASCII: those bytes are looked at one by one.
bool pideAtencion(std::uint64_t w)
{
    constexpr std::uint64_t altos = repetir(0x80);
    const std::uint64_t barra = w ^ repetir('\\');
    const std::uint64_t esBarra = (barra - repetir(0x01)) & ~barra & altos;
    const std::uint64_t esControl = (w - repetir(0x0E)) & ~w & altos;
    return ((w & altos) | esBarra | esControl) != 0;
}

// QString::fromUtf8 without dropping a leading byte order mark.
QString decodificar(std::string_view utf8)
{
    QStringDecoder decodificador(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decodificador(QByteArrayView(utf8.data(), qsizetype(utf8.size())));
}

} // namespace

EscritorTsv::EscritorTsv(Escribir escribir)
    : escribir_(std::move(escribir))
{
    buffer_.reserve(TamanoBloque + 4096);
}

void EscritorTsv::empezar(const QStringList& nombres)
{
    buffer_ += nombres.join(u'\t').toUtf8().toStdString();
    buffer_.push_back('\n');
}

void EscritorTsv::fila(const filas::FuenteFila& fila)
{
    const int columnas = fila.columnas();
    for (int c = 0; c < columnas; ++c) {
        if (c > 0)
            buffer_.push_back('\t');
        celda(fila, c);
    }
    buffer_.push_back('\n');
    if (buffer_.size() >= TamanoBloque) {
        escribir_(buffer_);
        buffer_.clear();
    }
}

void EscritorTsv::terminar()
{
    if (!buffer_.empty())
        escribir_(buffer_);
    buffer_.clear();
}

void EscritorTsv::celda(const filas::FuenteFila& fila, int columna)
{
    switch (fila.tipo(columna)) {
    case filas::TipoCelda::Nulo:
        buffer_ += "NULL";
        return;
    case filas::TipoCelda::Entero: {
        char numero[24];
        const auto fin = std::to_chars(numero, numero + sizeof numero, fila.entero(columna)).ptr;
        buffer_.append(numero, size_t(fin - numero));
        return;
    }
    case filas::TipoCelda::Real:
        // Digits, sign, point, exponent, "inf" or "nan": ASCII only.
        for (const QChar c : QString::number(fila.real(columna), 'g', QLocale::FloatingPointShortest))
            buffer_.push_back(char(c.unicode()));
        return;
    case filas::TipoCelda::Texto:
        texto(fila.bytes(columna));
        return;
    case filas::TipoCelda::Blob: {
        const std::string_view b = fila.bytes(columna);
        buffer_ += "X'";
        for (const char byte : b) {
            buffer_.push_back(Hex[quint8(byte) >> 4]);
            buffer_.push_back(Hex[quint8(byte) & 15]);
        }
        buffer_.push_back('\'');
        return;
    }
    }
}

void EscritorTsv::texto(std::string_view utf8)
{
    const char* p = utf8.data();
    const size_t n = utf8.size();
    const size_t inicio = buffer_.size();
    bool comprobado = false;
    size_t i = 0;
    while (i < n) {
        // Runs of plain bytes are copied eight at a time.
        size_t limpio = i;
        for (std::uint64_t w; limpio + 8 <= n; limpio += 8) {
            std::memcpy(&w, p + limpio, sizeof w);
            if (pideAtencion(w))
                break;
        }
        buffer_.append(p + i, limpio - i);
        i = limpio;
        const size_t hasta = std::min(n, i + 8);
        for (; i < hasta; ++i) {
            const char c = p[i];
            switch (c) {
            case '\\': buffer_ += "\\\\"; break;
            case '\t': buffer_ += "\\t"; break;
            case '\n': buffer_ += "\\n"; break;
            case '\r': buffer_ += "\\r"; break;
            default:
                if (quint8(c) >= 0x80 && !comprobado) {
                    comprobado = true;
                    if (!filas::esUtf8Valido(utf8)) {
                        // Written again from the start, as the valid text a QString makes of it.
                        buffer_.resize(inicio);
                        const QByteArray valido = decodificar(utf8).toUtf8();
                        texto(std::string_view(valido.constData(), size_t(valido.size())));
                        return;
                    }
                }
                buffer_.push_back(c);
            }
        }
    }
}

EscritorTsv::Escribir EscritorTsv::hacia(QTextStream& salida)
{
    salida.flush();
    auto* fichero = qobject_cast<QFileDevice*>(salida.device());
    if (fichero && fichero->handle() >= 0) {
        fichero->flush();
        const int descriptor = fichero->handle();
        return [descriptor](std::string_view bloque) {
            while (!bloque.empty()) {
                const ssize_t escrito = ::write(descriptor, bloque.data(), bloque.size());
                if (escrito < 0 && errno == EINTR)
                    continue;
                if (escrito <= 0)
                    throw std::runtime_error(std::string("cannot write the rows: ") + std::strerror(errno));
                bloque.remove_prefix(size_t(escrito));
            }
        };
    }
    if (QIODevice* dispositivo = salida.device()) {
        return [dispositivo](std::string_view bloque) {
            if (dispositivo->write(bloque.data(), qint64(bloque.size())) != qint64(bloque.size()))
                throw std::runtime_error("cannot write the rows: " + dispositivo->errorString().toStdString());
        };
    }
    return [&salida](std::string_view bloque) { salida << decodificar(bloque); };
}

} // namespace cli
