#include "Conexion.h"

#include <charconv>
#include <cstdlib>

namespace nieb {

std::int64_t comoEntero(const Valor& v)
{
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return *i;
    if (const auto* d = std::get_if<double>(&v))
        return static_cast<std::int64_t>(*d);
    if (const auto* s = std::get_if<std::string>(&v)) {
        std::int64_t n = 0;
        std::from_chars(s->data(), s->data() + s->size(), n);
        return n;
    }
    return 0;
}

double comoReal(const Valor& v)
{
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* s = std::get_if<std::string>(&v))
        return std::strtod(s->c_str(), nullptr);
    return 0.0;
}

std::string comoTexto(const Valor& v)
{
    if (const auto* s = std::get_if<std::string>(&v))
        return *s;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&v)) {
        char texto[32];
        auto [fin, ec] = std::to_chars(texto, texto + sizeof texto, *d);
        return ec == std::errc{} ? std::string(texto, fin) : std::string();
    }
    return {};
}

Transaccion::Transaccion(Conexion& conexion, Modo modo)
    : conexion_(conexion)
    , propia_(modo == Modo::Escritura && !conexion.enTransaccion())
{
    if (propia_)
        conexion_.empezarEscritura();
    else
        conexion_.abrirPunto();
}

Transaccion::~Transaccion()
{
    if (!abierta_)
        return;
    try {
        if (propia_)
            conexion_.deshacerTransaccion();
        else
            conexion_.volverAlPunto();
    } catch (const ErrorBaseDatos&) {
        // The connection is gone; there is nothing left to undo on it.
    }
}

void Transaccion::confirmar()
{
    if (propia_)
        conexion_.confirmarTransaccion();
    else
        conexion_.liberarPunto();
    abierta_ = false;
}

} // namespace nieb
