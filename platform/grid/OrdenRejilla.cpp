#include "OrdenRejilla.h"

#include <algorithm>
#include <charconv>
#include <deque>
#include <string>

namespace rejilla {

bool leerNumero(std::string_view texto, double* valor)
{
    size_t i = 0, n = texto.size();
    while (i < n && texto[i] == ' ')
        ++i;
    while (n > i && texto[n - 1] == ' ')
        --n;
    if (i == n)
        return false;
    // The digits are copied with the decimal comma made a point; anything else ends the number.
    char buffer[64];
    size_t b = 0;
    bool digitos = false, separador = false;
    if (texto[i] == '+' || texto[i] == '-')
        buffer[b++] = texto[i++];
    for (; i < n && b < sizeof buffer - 1; ++i) {
        const char c = texto[i];
        if (c >= '0' && c <= '9') {
            digitos = true;
            buffer[b++] = c;
        } else if ((c == '.' || c == ',') && !separador) {
            separador = true;
            buffer[b++] = '.';
        } else {
            break;
        }
    }
    if (!digitos)
        return false;
    if (i < n && (texto[i] == 'e' || texto[i] == 'E')) {
        buffer[b++] = 'e';
        ++i;
        if (i < n && (texto[i] == '+' || texto[i] == '-'))
            buffer[b++] = texto[i++];
        bool exponente = false;
        for (; i < n && texto[i] >= '0' && texto[i] <= '9' && b < sizeof buffer - 1; ++i) {
            buffer[b++] = texto[i];
            exponente = true;
        }
        if (!exponente)
            return false;
    }
    if (i != n)
        return false;
    const char* inicio = buffer[0] == '+' ? buffer + 1 : buffer;
    double v = 0;
    const auto [fin, error] = std::from_chars(inicio, buffer + b, v);
    if (error != std::errc() || fin != buffer + b)
        return false;
    *valor = v;
    return true;
}

namespace {

struct Clave {
    std::string_view texto;
    quint64 prefijo = 0; // the first eight bytes, big-endian: most comparisons end here
    double numero = 0;
    bool esNumero = false;
};

quint64 prefijo(std::string_view t)
{
    quint64 p = 0;
    for (size_t i = 0; i < 8; ++i)
        p = p << 8 | (i < t.size() ? quint8(t[i]) : 0u);
    return p;
}

int comparar(const Clave& a, const Clave& b)
{
    if (a.esNumero && b.esNumero)
        return a.numero < b.numero ? -1 : (b.numero < a.numero ? 1 : 0);
    if (a.prefijo != b.prefijo)
        return a.prefijo < b.prefijo ? -1 : 1;
    const int c = a.texto.compare(b.texto);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

std::vector<qint64> ordenGenerico(
    const filas::AlmacenFilas& celdas, qint64 desde, qint64 hasta, const std::vector<int>& claves, bool descendente)
{
    std::vector<qint64> orden;
    if (hasta < desde)
        return orden;
    const size_t n = size_t(hasta - desde + 1);
    const size_t k = claves.size();
    // One key per row and key column, worked out once; typed numbers get their text only here.
    std::vector<Clave> tabla(n * k);
    std::deque<std::string> textos;
    for (size_t f = 0; f < n; ++f) {
        const qint64 fila = desde + qint64(f);
        for (size_t j = 0; j < k; ++j) {
            Clave& c = tabla[f * k + j];
            switch (celdas.tipo(fila, claves[j])) {
            case filas::TipoCelda::Nulo:
                break;
            case filas::TipoCelda::Entero:
            case filas::TipoCelda::Real:
                c.esNumero = true;
                c.numero = celdas.real(fila, claves[j]);
                textos.emplace_back();
                celdas.anadirTextoA(textos.back(), fila, claves[j]);
                c.texto = textos.back();
                break;
            case filas::TipoCelda::Texto:
                c.texto = celdas.bytes(fila, claves[j]);
                c.esNumero = leerNumero(c.texto, &c.numero);
                break;
            case filas::TipoCelda::Blob:
                textos.emplace_back();
                celdas.anadirTextoA(textos.back(), fila, claves[j]);
                c.texto = textos.back();
                break;
            }
            c.prefijo = prefijo(c.texto);
        }
    }
    std::vector<quint32> indices(n);
    for (size_t i = 0; i < n; ++i)
        indices[i] = quint32(i);
    // A merge sort: mixed numbers and texts need not form a strict order, and a merge stays within
    // its bounds whatever the comparisons say.
    std::stable_sort(indices.begin(), indices.end(), [&](quint32 a, quint32 b) {
        for (size_t j = 0; j < k; ++j) {
            const int c = comparar(tabla[a * k + j], tabla[b * k + j]);
            if (c != 0)
                return descendente ? c > 0 : c < 0;
        }
        return false;
    });
    orden.resize(n);
    for (size_t i = 0; i < n; ++i)
        orden[i] = desde + qint64(indices[i]);
    return orden;
}

} // namespace rejilla
