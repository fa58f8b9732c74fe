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

// Names travel as hexadecimal digits, so that no byte of theirs (a separator, a quote, a NUL) can
// reach the list's structure or the SQL text it is written into.
std::string hexadecimal(std::string_view s)
{
    static constexpr char digitos[] = "0123456789ABCDEF";
    std::string r;
    r.reserve(s.size() * 2);
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        r += digitos[b >> 4];
        r += digitos[b & 0xF];
    }
    return r;
}

std::optional<std::string> deHexadecimal(std::string_view s)
{
    auto valor = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    if (s.size() % 2 != 0)
        return std::nullopt;
    std::string r;
    r.reserve(s.size() / 2);
    for (size_t i = 0; i < s.size(); i += 2) {
        const int alto = valor(s[i]), bajo = valor(s[i + 1]);
        if (alto < 0 || bajo < 0)
            return std::nullopt;
        r += static_cast<char>(alto * 16 + bajo);
    }
    return r;
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
    if (std::isnan(x))
        return "nan";
    if (std::isinf(x))
        return x > 0 ? "inf" : "-inf";
    if (x == 0)
        return "0";
    // The shortest digits that read back as x, laid out without an exponent while that stays short.
    char texto[64];
    const auto [fin, ec] = std::to_chars(texto, texto + sizeof texto, x, std::chars_format::scientific);
    if (ec != std::errc{})
        return "0";
    const std::string_view cientifico(texto, static_cast<size_t>(fin - texto));
    const size_t e = cientifico.find('e');
    int exponente = 0;
    std::from_chars(cientifico.data() + e + (cientifico[e + 1] == '+' ? 2 : 1), cientifico.data() + cientifico.size(),
        exponente);
    std::string digitos;
    for (const char c : cientifico.substr(0, e))
        if (c >= '0' && c <= '9')
            digitos += c;
    const std::string signo = x < 0 ? "-" : "";
    const int n = static_cast<int>(digitos.size());
    if (exponente >= 21 || exponente < -6) {
        std::string r = signo + digitos.substr(0, 1);
        if (n > 1)
            r += '.' + digitos.substr(1);
        return r + 'e' + std::to_string(exponente);
    }
    if (exponente < 0)
        return signo + "0." + std::string(static_cast<size_t>(-exponente - 1), '0') + digitos;
    if (exponente + 1 >= n)
        return signo + digitos + std::string(static_cast<size_t>(exponente + 1 - n), '0');
    return signo + digitos.substr(0, static_cast<size_t>(exponente + 1)) + '.'
        + digitos.substr(static_cast<size_t>(exponente + 1));
}

std::string codificarEtiquetas(const std::vector<EtiquetaCodificada>& etiquetas)
{
    std::string r;
    for (const auto& e : etiquetas) {
        if (!r.empty())
            r += ';';
        r += std::to_string(e.id) + '|' + hexadecimal(e.nombre) + '|' + numeroExacto(e.t.a) + '|' + numeroExacto(e.t.b) + '|'
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
        const auto nombre = deHexadecimal(campos[1]);
        const auto a = leerNumero(campos[2]), b = leerNumero(campos[3]), c = leerNumero(campos[4]),
                   d = leerNumero(campos[5]);
        if (id && nombre && a && b && c && d)
            r.push_back({static_cast<std::int64_t>(*id), *nombre, {*a, *b, *c, *d}});
    }
    return r;
}

std::string codificarSemejanzas(const std::vector<Semejanza>& semejanzas)
{
    std::string r;
    for (const auto& s : semejanzas) {
        if (!r.empty())
            r += ';';
        r += hexadecimal(s.a) + '|' + hexadecimal(s.b) + '|' + numeroExacto(s.grado);
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
        const auto a = deHexadecimal(campos[0]), b = deHexadecimal(campos[1]);
        const auto g = leerNumero(campos[2]);
        if (a && b && g)
            r.push_back({*a, *b, *g});
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
