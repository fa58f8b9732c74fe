#include "AlmacenFilas.h"

#include "FuenteFila.h"

#include <QLocale>
#include <QStringDecoder>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <cstdio>
#include <limits>
#include <stdexcept>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace filas {

namespace {

// Chunks are large so that a million rows take a few dozen allocations; a row larger than a chunk
// gets one of its own.
constexpr size_t TamanoTrozo = size_t(4) << 20;

quint32 leer32(const char* p)
{
    quint32 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

quint32 leer16(const char* p)
{
    quint16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Rows whose cells take less than this keep their end offsets in two bytes.
constexpr size_t LimiteEstrecho = 0xFFFF;

void anadirNumeroUtf8(std::string& destino, const QString& numero)
{
    for (QChar c : numero)
        destino.push_back(char(c.unicode())); // digits, sign, point and exponent: ASCII only
}

constexpr char Hex[] = "0123456789ABCDEF";

// A chunk's memory. On Linux large chunks are aligned to 2 MiB and asked for in huge pages: filling a
// chunk then takes two page faults instead of a thousand.
char* nuevoTrozo(size_t capacidad)
{
#ifdef __linux__
    constexpr size_t Pagina = size_t(2) << 20;
    if (capacidad >= Pagina) {
        const size_t redondeada = (capacidad + Pagina - 1) / Pagina * Pagina;
        void* p = std::aligned_alloc(Pagina, redondeada);
        if (!p)
            throw std::bad_alloc();
        madvise(p, redondeada, MADV_HUGEPAGE);
        return static_cast<char*>(p);
    }
#endif
    if (void* p = std::malloc(capacidad))
        return static_cast<char*>(p);
    throw std::bad_alloc();
}

// QString::fromUtf8 drops a byte order mark at the start; a cell keeps every character it holds.
QString desdeUtf8(const char* datos, size_t tamano)
{
    if (tamano >= 3 && std::memcmp(datos, "\xEF\xBB\xBF", 3) == 0) {
        QStringDecoder conBom(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return conBom(QByteArrayView(datos, qsizetype(tamano)));
    }
    return QString::fromUtf8(datos, qsizetype(tamano));
}

} // namespace

void AlmacenFilas::Liberar::operator()(char* p) const
{
    std::free(p);
}

AlmacenFilas::AlmacenFilas(int columnas)
    : columnas_(columnas)
{
}

AlmacenFilas::AlmacenFilas(AlmacenFilas&&) noexcept = default;
AlmacenFilas& AlmacenFilas::operator=(AlmacenFilas&&) noexcept = default;
AlmacenFilas::~AlmacenFilas() = default;

qint64 AlmacenFilas::bytesReservados() const
{
    qint64 total = qint64(posiciones_.capacity() * sizeof(Posicion));
    for (const Trozo& t : trozos_)
        total += qint64(t.capacidad);
    return total;
}

void AlmacenFilas::vaciar(int columnas)
{
    columnas_ = columnas;
    trozos_.clear();
    trozos_.shrink_to_fit();
    std::vector<Posicion>().swap(posiciones_);
    enFila_ = false;
}

void AlmacenFilas::empezarFila()
{
    fin_.clear();
    tipos_.clear();
    pendiente_.clear();
    enFila_ = true;
}

void AlmacenFilas::anadirCelda(TipoCelda tipo, const char* datos, size_t tamano)
{
    if (!enFila_)
        throw std::logic_error("AlmacenFilas: cell outside a row");
    pendiente_.append(datos, tamano);
    if (pendiente_.size() > std::numeric_limits<quint32>::max())
        throw std::length_error("AlmacenFilas: row larger than 4 GiB");
    fin_.push_back(quint32(pendiente_.size()));
    tipos_.push_back(tipo);
}

void AlmacenFilas::anadirNulo()
{
    anadirCelda(TipoCelda::Nulo, nullptr, 0);
}

void AlmacenFilas::anadirEntero(qint64 valor)
{
    anadirCelda(TipoCelda::Entero, reinterpret_cast<const char*>(&valor), sizeof valor);
}

void AlmacenFilas::anadirReal(double valor)
{
    anadirCelda(TipoCelda::Real, reinterpret_cast<const char*>(&valor), sizeof valor);
}

void AlmacenFilas::anadirTexto(std::string_view utf8)
{
    anadirCelda(TipoCelda::Texto, utf8.data(), utf8.size());
}

void AlmacenFilas::anadirTexto(const QString& texto)
{
    const QByteArray utf8 = texto.toUtf8();
    anadirTexto(std::string_view(utf8.constData(), size_t(utf8.size())));
}

void AlmacenFilas::anadirBlob(std::string_view bytes)
{
    anadirCelda(TipoCelda::Blob, bytes.data(), bytes.size());
}

void AlmacenFilas::terminarFila()
{
    if (!enFila_ || int(tipos_.size()) != columnas_)
        throw std::logic_error("AlmacenFilas: a row must have exactly one cell per column");
    posiciones_.push_back(escribirPendiente());
    enFila_ = false;
}

void AlmacenFilas::anadirFilaNula()
{
    empezarFila();
    for (int c = 0; c < columnas_; ++c)
        anadirNulo();
    terminarFila();
}

char* AlmacenFilas::reservar(size_t tamano, Posicion& donde)
{
    if (trozos_.empty() || trozos_.back().capacidad - trozos_.back().usado < tamano) {
        Trozo nuevo;
        nuevo.capacidad = std::max(TamanoTrozo, tamano);
        nuevo.datos.reset(nuevoTrozo(nuevo.capacidad));
        trozos_.push_back(std::move(nuevo));
    }
    Trozo& t = trozos_.back();
    donde.trozo = quint32(trozos_.size() - 1) & 0x7FFFFFFF;
    donde.desplazamiento = quint32(t.usado);
    char* p = t.datos.get() + t.usado;
    t.usado += tamano;
    return p;
}

void AlmacenFilas::escribirCabecera(char* p, const quint32* fin, const TipoCelda* tipos, size_t n, bool ancho)
{
    if (ancho) {
        std::memcpy(p, fin, n * sizeof(quint32));
        p += n * sizeof(quint32);
    } else {
        for (size_t c = 0; c < n; ++c, p += sizeof(quint16)) {
            const auto v = quint16(fin[c]);
            std::memcpy(p, &v, sizeof v);
        }
    }
    std::memcpy(p, tipos, n);
}

AlmacenFilas::Posicion AlmacenFilas::escribirPendiente()
{
    const bool ancho = pendiente_.size() > LimiteEstrecho;
    Posicion pos;
    char* p = reservar(cabecera(ancho) + pendiente_.size(), pos);
    pos.ancho = ancho;
    escribirCabecera(p, fin_.data(), tipos_.data(), fin_.size(), ancho);
    if (!pendiente_.empty())
        std::memcpy(p + cabecera(ancho), pendiente_.data(), pendiente_.size());
    return pos;
}

void AlmacenFilas::anadirFila(const FuenteFila& fuente)
{
    if (enFila_ || fuente.columnas() != columnas_)
        throw std::logic_error("AlmacenFilas: a row must have exactly one cell per column");
    const auto n = size_t(columnas_);
    fuente_.resize(n);
    numeros_.resize(n);
    // First every cell's type and size, then the block in one piece.
    size_t datos = 0;
    for (size_t c = 0; c < n; ++c) {
        Celda& celda = fuente_[c];
        celda.tipo = fuente.tipo(int(c));
        switch (celda.tipo) {
        case TipoCelda::Nulo:
            celda = {TipoCelda::Nulo, nullptr, 0};
            break;
        case TipoCelda::Entero:
            numeros_[c] = fuente.entero(int(c));
            celda = {TipoCelda::Entero, reinterpret_cast<const char*>(&numeros_[c]), sizeof(qint64)};
            break;
        case TipoCelda::Real: {
            const double v = fuente.real(int(c));
            std::memcpy(&numeros_[c], &v, sizeof v);
            celda = {TipoCelda::Real, reinterpret_cast<const char*>(&numeros_[c]), sizeof v};
            break;
        }
        case TipoCelda::Texto:
        case TipoCelda::Blob: {
            const std::string_view b = fuente.bytes(int(c));
            celda = {celda.tipo, b.data(), b.size()};
            break;
        }
        }
        datos += celda.tamano;
    }
    if (datos > std::numeric_limits<quint32>::max())
        throw std::length_error("AlmacenFilas: row larger than 4 GiB");
    const bool ancho = datos > LimiteEstrecho;
    Posicion pos;
    char* p = reservar(cabecera(ancho) + datos, pos);
    pos.ancho = ancho;
    char* tipos = p + cabecera(ancho) - n;
    char* destino = p + cabecera(ancho);
    quint32 fin = 0;
    for (size_t c = 0; c < n; ++c) {
        const Celda& celda = fuente_[c];
        if (celda.tamano)
            std::memcpy(destino + fin, celda.datos, celda.tamano);
        fin += quint32(celda.tamano);
        if (ancho) {
            std::memcpy(p + c * sizeof(quint32), &fin, sizeof fin);
        } else {
            const auto corto = quint16(fin);
            std::memcpy(p + c * sizeof(quint16), &corto, sizeof corto);
        }
        tipos[c] = char(celda.tipo);
    }
    posiciones_.push_back(pos);
}

AlmacenFilas::Celda AlmacenFilas::celda(qint64 fila, int columna) const
{
    if (fila < 0 || fila >= filas() || columna < 0 || columna >= columnas_)
        throw std::out_of_range("AlmacenFilas: no such cell");
    const Posicion pos = posiciones_[size_t(fila)];
    const char* base = trozos_[pos.trozo].datos.get() + pos.desplazamiento;
    const auto c = size_t(columna);
    quint32 inicio = 0, fin;
    if (pos.ancho) {
        fin = leer32(base + c * sizeof(quint32));
        if (c > 0)
            inicio = leer32(base + (c - 1) * sizeof(quint32));
    } else {
        fin = leer16(base + c * sizeof(quint16));
        if (c > 0)
            inicio = leer16(base + (c - 1) * sizeof(quint16));
    }
    const size_t cab = cabecera(pos.ancho);
    const auto tipo = TipoCelda(quint8(base[cab - size_t(columnas_) + c]));
    return {tipo, base + cab + inicio, size_t(fin - inicio)};
}

TipoCelda AlmacenFilas::tipo(qint64 fila, int columna) const
{
    return celda(fila, columna).tipo;
}

std::string_view AlmacenFilas::bytes(qint64 fila, int columna) const
{
    const Celda c = celda(fila, columna);
    return {c.datos, c.tamano};
}

qint64 AlmacenFilas::entero(qint64 fila, int columna) const
{
    const Celda c = celda(fila, columna);
    qint64 v = 0;
    if (c.tipo == TipoCelda::Entero)
        std::memcpy(&v, c.datos, sizeof v);
    return v;
}

double AlmacenFilas::real(qint64 fila, int columna) const
{
    const Celda c = celda(fila, columna);
    if (c.tipo == TipoCelda::Entero)
        return double(entero(fila, columna));
    double v = 0;
    if (c.tipo == TipoCelda::Real)
        std::memcpy(&v, c.datos, sizeof v);
    return v;
}

QVariant AlmacenFilas::valor(qint64 fila, int columna) const
{
    const Celda c = celda(fila, columna);
    switch (c.tipo) {
    case TipoCelda::Nulo:
        return {};
    case TipoCelda::Entero:
        return QVariant(qlonglong(entero(fila, columna)));
    case TipoCelda::Real:
        return QVariant(real(fila, columna));
    case TipoCelda::Texto:
        return QVariant(desdeUtf8(c.datos, c.tamano));
    case TipoCelda::Blob:
        return QVariant(QByteArray(c.datos, qsizetype(c.tamano)));
    }
    return {};
}

QString AlmacenFilas::texto(qint64 fila, int columna) const
{
    const Celda c = celda(fila, columna);
    if (c.tipo == TipoCelda::Texto)
        return desdeUtf8(c.datos, c.tamano);
    std::string utf8;
    anadirTextoA(utf8, fila, columna);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

void AlmacenFilas::anadirTextoA(std::string& destino, qint64 fila, int columna) const
{
    const Celda c = celda(fila, columna);
    switch (c.tipo) {
    case TipoCelda::Nulo:
        return;
    case TipoCelda::Entero: {
        char buf[24];
        const int n = std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(entero(fila, columna)));
        destino.append(buf, size_t(n));
        return;
    }
    case TipoCelda::Real:
        anadirNumeroUtf8(destino, QString::number(real(fila, columna), 'g', QLocale::FloatingPointShortest));
        return;
    case TipoCelda::Texto:
        destino.append(c.datos, c.tamano);
        return;
    case TipoCelda::Blob:
        destino += "X'";
        for (size_t i = 0; i < c.tamano; ++i) {
            const auto b = quint8(c.datos[i]);
            destino.push_back(Hex[b >> 4]);
            destino.push_back(Hex[b & 15]);
        }
        destino.push_back('\'');
        return;
    }
}

void AlmacenFilas::reemplazar(qint64 fila, int columna, TipoCelda tipo, const char* datos, size_t tamano)
{
    celda(fila, columna); // range check before anything changes
    // The row is copied out first: the pending buffers are rebuilt from it, then written at the end.
    std::string nuevo;
    std::vector<quint32> fin;
    std::vector<TipoCelda> tipos;
    for (int c = 0; c < columnas_; ++c) {
        const Celda vieja = celda(fila, c);
        if (c == columna) {
            nuevo.append(datos, tamano);
            tipos.push_back(tipo);
        } else {
            nuevo.append(vieja.datos, vieja.tamano);
            tipos.push_back(vieja.tipo);
        }
        fin.push_back(quint32(nuevo.size()));
    }
    fin_.swap(fin);
    tipos_.swap(tipos);
    pendiente_.swap(nuevo);
    posiciones_[size_t(fila)] = escribirPendiente();
}

void AlmacenFilas::ponerTexto(qint64 fila, int columna, std::string_view utf8)
{
    reemplazar(fila, columna, TipoCelda::Texto, utf8.data(), utf8.size());
}

void AlmacenFilas::ponerTexto(qint64 fila, int columna, const QString& texto)
{
    const QByteArray utf8 = texto.toUtf8();
    ponerTexto(fila, columna, std::string_view(utf8.constData(), size_t(utf8.size())));
}

void AlmacenFilas::ponerNulo(qint64 fila, int columna)
{
    reemplazar(fila, columna, TipoCelda::Nulo, nullptr, 0);
}

void AlmacenFilas::redimensionar(qint64 filas)
{
    if (filas < 0)
        filas = 0;
    if (filas <= this->filas()) {
        posiciones_.resize(size_t(filas));
        return;
    }
    // A row is never changed in place (a changed row is written again at the end), so every added
    // row can point to one shared block of NULL cells: growing a grid by a million rows costs only
    // their positions.
    anadirFilaNula();
    posiciones_.resize(size_t(filas), posiciones_.back());
}

void AlmacenFilas::cambiarColumnas(int columnas)
{
    if (columnas == columnas_)
        return;
    AlmacenFilas nuevo(columnas);
    nuevo.posiciones_.reserve(posiciones_.size());
    for (qint64 f = 0; f < filas(); ++f) {
        nuevo.empezarFila();
        for (int c = 0; c < columnas; ++c) {
            if (c < columnas_) {
                const Celda vieja = celda(f, c);
                nuevo.anadirCelda(vieja.tipo, vieja.datos, vieja.tamano);
            } else {
                nuevo.anadirNulo();
            }
        }
        nuevo.terminarFila();
    }
    *this = std::move(nuevo);
}

void AlmacenFilas::permutar(qint64 desde, const std::vector<qint64>& orden)
{
    if (desde < 0 || desde + qint64(orden.size()) > filas())
        throw std::out_of_range("AlmacenFilas: permutation outside the rows");
    std::vector<Posicion> nuevas(orden.size());
    std::vector<bool> visto(orden.size(), false);
    for (size_t i = 0; i < orden.size(); ++i) {
        const qint64 origen = orden[i] - desde;
        if (origen < 0 || origen >= qint64(orden.size()) || visto[size_t(origen)])
            throw std::invalid_argument("AlmacenFilas: not a permutation");
        visto[size_t(origen)] = true;
        nuevas[i] = posiciones_[size_t(orden[i])];
    }
    std::copy(nuevas.begin(), nuevas.end(), posiciones_.begin() + desde);
}

void AlmacenFilas::intercambiar(qint64 a, qint64 b)
{
    if (a < 0 || b < 0 || a >= filas() || b >= filas())
        throw std::out_of_range("AlmacenFilas: no such row");
    std::swap(posiciones_[size_t(a)], posiciones_[size_t(b)]);
}

} // namespace filas
