#include "FilaPg.h"

#include <charconv>

namespace db {

namespace {

using Lectura = FilaPg::Lectura;

Lectura lecturaDe(Oid tipo)
{
    switch (tipo) {
    case TipoInt2:
    case TipoInt4:
    case TipoInt8:
    case TipoOid: return Lectura::Entero;
    case TipoFloat4:
    case TipoFloat8: return Lectura::Real;
    case TipoNumeric: return Lectura::Numerico;
    case TipoBool: return Lectura::Logico;
    case TipoBytea: return Lectura::Bytea;
    default: return Lectura::Texto;
    }
}

} // namespace

int tamanoDeclaradoPg(Oid tipo, int modificador)
{
    switch (tipo) {
    case TipoBpchar:
    case TipoVarchar: return modificador >= 4 ? qBound(1, modificador - 4, 4000) : 0;
    case TipoNumeric: return modificador >= 4 ? qBound(1, ((modificador - 4) >> 16) & 0xffff, 4000) : 22;
    case TipoInt2:
    case TipoInt4:
    case TipoInt8:
    case TipoOid:
    case TipoFloat4:
    case TipoFloat8: return 22;
    default: return 0;
    }
}

QString nombreColumnaPg(const char* nombre)
{
    const QString n = QString::fromUtf8(nombre);
    return n == n.toLower() ? n.toUpper() : n;
}

FilaPg::FilaPg(const PGresult* r)
{
    for (int c = 0; c < PQnfields(r); ++c)
        lecturas_.push_back(lecturaDe(PQftype(r, c)));
    celdas_.resize(lecturas_.size());
}

void FilaPg::leer(const PGresult* r, int fila)
{
    for (int c = 0; c < int(lecturas_.size()); ++c) {
        Celda& celda = celdas_[size_t(c)];
        if (PQgetisnull(r, fila, c)) {
            celda.tipo = filas::TipoCelda::Nulo;
            continue;
        }
        const std::string_view texto(PQgetvalue(r, fila, c), size_t(PQgetlength(r, fila, c)));
        celda.tipo = filas::TipoCelda::Texto;
        celda.bytes = texto;
        switch (lecturas_[size_t(c)]) {
        case Lectura::Entero: entero(celda, texto); break;
        case Lectura::Real: real(celda, texto); break;
        case Lectura::Numerico: numerico(celda, texto); break;
        case Lectura::Logico:
            celda.tipo = filas::TipoCelda::Entero;
            celda.entero = texto == "t" ? 1 : 0;
            break;
        case Lectura::Bytea: bytea(celda, texto); break;
        case Lectura::Texto: break;
        }
    }
}

std::string_view FilaPg::bytes(int c) const
{
    const Celda& celda = celdas_[size_t(c)];
    return celda.tipo == filas::TipoCelda::Texto || celda.tipo == filas::TipoCelda::Blob ? celda.bytes
                                                                                         : std::string_view();
}

QVariant FilaPg::valor(int c) const
{
    switch (tipo(c)) {
    case filas::TipoCelda::Nulo: return {};
    case filas::TipoCelda::Entero: return entero(c);
    case filas::TipoCelda::Real: return real(c);
    case filas::TipoCelda::Blob: return QByteArray(bytes(c).data(), qsizetype(bytes(c).size()));
    case filas::TipoCelda::Texto: return QString::fromUtf8(bytes(c).data(), qsizetype(bytes(c).size()));
    }
    return {};
}

void FilaPg::entero(Celda& celda, std::string_view t)
{
    if (std::from_chars(t.data(), t.data() + t.size(), celda.entero).ec == std::errc())
        celda.tipo = filas::TipoCelda::Entero;
}

void FilaPg::real(Celda& celda, std::string_view t)
{
    if (std::from_chars(t.data(), t.data() + t.size(), celda.real).ec == std::errc())
        celda.tipo = filas::TipoCelda::Real;
}

// A numeric without fraction (or a zero one: 25.00) is an integer, as the embedded database keeps
// it; one of at most 15 significant digits is a real, which shows it back exactly; a longer one
// stays text so that no digit is lost.
void FilaPg::numerico(Celda& celda, std::string_view t)
{
    const size_t punto = t.find('.');
    const std::string_view parteEntera = t.substr(0, punto);
    const std::string_view fraccion = punto == std::string_view::npos ? std::string_view() : t.substr(punto + 1);
    if (fraccion.find_first_not_of('0') == std::string_view::npos
        && std::from_chars(parteEntera.data(), parteEntera.data() + parteEntera.size(), celda.entero).ec
            == std::errc()
        && !parteEntera.empty()) {
        celda.tipo = filas::TipoCelda::Entero;
        return;
    }
    int significativas = 0;
    bool empezadas = false;
    for (const char ch : t) {
        if (ch >= '1' && ch <= '9')
            empezadas = true;
        if (empezadas && ch >= '0' && ch <= '9')
            ++significativas;
    }
    if (significativas <= 15)
        real(celda, t);
}

void FilaPg::bytea(Celda& celda, std::string_view t)
{
    size_t largo = 0;
    unsigned char* crudo = PQunescapeBytea(reinterpret_cast<const unsigned char*>(t.data()), &largo);
    if (!crudo)
        return;
    celda.blob.assign(reinterpret_cast<const char*>(crudo), largo);
    PQfreemem(crudo);
    celda.bytes = celda.blob;
    celda.tipo = filas::TipoCelda::Blob;
}

} // namespace db
