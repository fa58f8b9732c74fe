#include "ValoresTexto.h"

#include <charconv>
#include <cmath>

namespace nieb {

namespace {

std::vector<std::string_view> partir(std::string_view texto, char separador)
{
    std::vector<std::string_view> partes;
    while (!texto.empty()) {
        const auto p = texto.find(separador);
        partes.push_back(texto.substr(0, p));
        if (p == std::string_view::npos)
            break;
        texto.remove_prefix(p + 1);
    }
    return partes;
}

std::optional<double> leerNumero(std::string_view s)
{
    double x = 0;
    const auto [fin, ec] = std::from_chars(s.data(), s.data() + s.size(), x);
    if (ec != std::errc{} || fin != s.data() + s.size())
        return std::nullopt;
    return x;
}

} // namespace

std::string numeroExacto(double x)
{
    if (std::isinf(x))
        return x > 0 ? "1e999" : "-1e999";
    if (x == 0)
        return "0";
    char texto[400];
    const auto [fin, ec] = std::to_chars(texto, texto + sizeof texto, x, std::chars_format::fixed);
    return ec == std::errc{} ? std::string(texto, fin) : std::string("0");
}

std::string codificarEtiquetas(const std::vector<EtiquetaCodificada>& etiquetas)
{
    std::string r;
    for (const auto& e : etiquetas) {
        if (!r.empty())
            r += ';';
        r += std::to_string(e.id) + '|' + e.nombre + '|' + numeroExacto(e.t.a) + '|' + numeroExacto(e.t.b) + '|'
            + numeroExacto(e.t.c) + '|' + numeroExacto(e.t.d);
    }
    return r;
}

std::vector<EtiquetaCodificada> decodificarEtiquetas(std::string_view texto)
{
    std::vector<EtiquetaCodificada> r;
    for (const auto parte : partir(texto, ';')) {
        const auto campos = partir(parte, '|');
        if (campos.size() != 6)
            continue;
        const auto id = leerNumero(campos[0]);
        const auto a = leerNumero(campos[2]), b = leerNumero(campos[3]), c = leerNumero(campos[4]),
                   d = leerNumero(campos[5]);
        if (id && a && b && c && d)
            r.push_back({static_cast<std::int64_t>(*id), std::string(campos[1]), {*a, *b, *c, *d}});
    }
    return r;
}

std::string codificarSemejanzas(const std::vector<Semejanza>& semejanzas)
{
    std::string r;
    for (const auto& s : semejanzas) {
        if (!r.empty())
            r += ';';
        r += s.a + '|' + s.b + '|' + numeroExacto(s.grado);
    }
    return r;
}

std::vector<Semejanza> decodificarSemejanzas(std::string_view texto)
{
    std::vector<Semejanza> r;
    for (const auto parte : partir(texto, ';')) {
        const auto campos = partir(parte, '|');
        if (campos.size() != 3)
            continue;
        if (const auto g = leerNumero(campos[2]))
            r.push_back({std::string(campos[0]), std::string(campos[1]), *g});
    }
    return r;
}

std::optional<std::string> textoTipo2(const FilaTipo2& fila, const std::vector<EtiquetaCodificada>& etiquetas)
{
    if (!fila.xt)
        return std::nullopt;
    switch (*fila.xt) {
    case 0: return "UNKNOWN";
    case 1: return "UNDEFINED";
    case 2: return std::nullopt;
    case 4:
        if (fila.x1)
            for (const auto& e : etiquetas)
                if (static_cast<double>(e.id) == *fila.x1)
                    return '$' + e.nombre;
        return std::nullopt;
    default: break;
    }
    const auto valor = decodificarTipo2(fila, 0);
    if (!valor)
        return std::nullopt;
    switch (*fila.xt) {
    case 3: return numeroExacto(*fila.x1);
    case 5: return '[' + numeroExacto(*fila.x1) + ',' + numeroExacto(*fila.x2) + ']';
    case 6: return '#' + numeroExacto(*fila.x1);
    case 7:
        return "$[" + numeroExacto(*fila.x1) + ',' + numeroExacto(*fila.x2) + ',' + numeroExacto(*fila.x3) + ','
            + numeroExacto(*fila.x4) + ']';
    default: return std::nullopt;
    }
}

} // namespace nieb
