#include "Lexico.h"

#include <cstdio>

namespace nieb {

namespace {

struct Caracter {
    char32_t punto = 0;
    std::size_t longitud = 0; // 0: not a valid UTF-8 sequence
};

Caracter decodificar(std::string_view s, std::size_t i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80)
        return {b0, 1};
    std::size_t n = 0;
    char32_t punto = 0;
    char32_t minimo = 0;
    if ((b0 & 0xE0) == 0xC0) {
        n = 2, punto = b0 & 0x1F, minimo = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 3, punto = b0 & 0x0F, minimo = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 4, punto = b0 & 0x07, minimo = 0x10000;
    } else {
        return {};
    }
    if (i + n > s.size())
        return {};
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return {};
        punto = (punto << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not characters.
    if (punto < minimo || punto > 0x10FFFF || (punto >= 0xD800 && punto <= 0xDFFF))
        return {};
    return {punto, n};
}

bool esLetraAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool esDigito(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// Letters beyond ASCII (ñ, á, ç, ...) may be part of names, as in Oracle's national identifiers;
// the signs of Latin-1 and the punctuation and symbol blocks may not.
bool esLetraUnicode(char32_t p)
{
    if (p < 0xC0 || p == 0xD7 || p == 0xF7 || p == 0xFEFF)
        return false;
    return !(p >= 0x2000 && p <= 0x2BFF) && !(p >= 0x3000 && p <= 0x303F);
}

// Bytes of the letter that starts at i, 0 when there is none.
std::size_t longitudLetra(std::string_view s, std::size_t i)
{
    if (i >= s.size())
        return 0;
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80)
        return esLetraAscii(c) ? 1 : 0;
    const Caracter car = decodificar(s, i);
    return car.longitud != 0 && esLetraUnicode(car.punto) ? car.longitud : 0;
}

// Bytes of the blank that starts at i, 0 when there is none. A no-break space pasted from a web
// page and a byte-order mark left by an editor count as blanks.
std::size_t longitudEspacio(std::string_view s, std::size_t i)
{
    switch (s[i]) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case '\f':
    case '\v': return 1;
    default: break;
    }
    const Caracter car = decodificar(s, i);
    return car.longitud != 0 && (car.punto == 0xA0 || car.punto == 0xFEFF) ? car.longitud : 0;
}

std::size_t finIdentificador(std::string_view s, std::size_t i)
{
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (esLetraAscii(c) || esDigito(c) || c == '_' || c == '$' || c == '#') {
            ++i;
        } else if (const std::size_t n = c >= 0x80 ? longitudLetra(s, i) : 0) {
            i += n;
        } else {
            break;
        }
    }
    return i;
}

bool empiezaNumero(std::string_view s, std::size_t i)
{
    if (i >= s.size())
        return false;
    const auto c = static_cast<unsigned char>(s[i]);
    return esDigito(c) || (c == '.' && i + 1 < s.size() && esDigito(static_cast<unsigned char>(s[i + 1])));
}

// End of the number that starts at i (digits, optional fraction, optional exponent). An "e" not
// followed by digits is not part of it.
std::size_t finNumero(std::string_view s, std::size_t i)
{
    auto digito = [&](std::size_t k) { return k < s.size() && esDigito(static_cast<unsigned char>(s[k])); };
    while (digito(i))
        ++i;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (digito(i))
            ++i;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t k = i + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-'))
            ++k;
        if (digito(k)) {
            while (digito(k))
                ++k;
            i = k;
        }
    }
    return i;
}

Lexema cadena(std::string_view s, std::size_t desde)
{
    std::size_t i = desde + 1;
    for (;;) {
        const std::size_t cierre = s.find('\'', i);
        if (cierre == std::string_view::npos)
            return {TipoToken::Ilegal, s.size() - desde};
        if (cierre + 1 < s.size() && s[cierre + 1] == '\'') {
            i = cierre + 2; // '' is a quote inside the string
            continue;
        }
        return {TipoToken::Cadena, cierre + 1 - desde};
    }
}

// Operators and punctuation; Fin when the character is none of them.
Lexema simbolo(std::string_view s, std::size_t desde)
{
    const char siguiente = desde + 1 < s.size() ? s[desde + 1] : '\0';
    switch (s[desde]) {
    case '=': return {TipoToken::Igual, 1};
    case '<':
        if (siguiente == '>')
            return {TipoToken::Distinto, 2};
        if (siguiente == '=')
            return {TipoToken::MenorIgual, 2};
        return {TipoToken::Menor, 1};
    case '>':
        if (siguiente == '=')
            return {TipoToken::MayorIgual, 2};
        return {TipoToken::Mayor, 1};
    case '!':
    case '^': return siguiente == '=' ? Lexema{TipoToken::Distinto, 2} : Lexema{TipoToken::Ilegal, 1};
    case '|': return siguiente == '|' ? Lexema{TipoToken::Concatenar, 2} : Lexema{TipoToken::Ilegal, 1};
    case '+': return {TipoToken::Mas, 1};
    case '-': return {TipoToken::Menos, 1};
    case '*': return {TipoToken::Por, 1};
    case '/': return {TipoToken::Barra, 1};
    case '(': return {TipoToken::AbreParentesis, 1};
    case ')': return {TipoToken::CierraParentesis, 1};
    case ',': return {TipoToken::Coma, 1};
    case '.': return {TipoToken::Punto, 1};
    case ';': return {TipoToken::PuntoYComa, 1};
    case '[': return {TipoToken::AbreCorchete, 1};
    case ']': return {TipoToken::CierraCorchete, 1};
    default: break;
    }
    // "¬=" (U+00AC then '='), the third spelling of "distinct" on Spanish keyboards.
    if (s.substr(desde, 3) == "\xC2\xAC=")
        return {TipoToken::Distinto, 3};
    return {};
}

// Strings and quoted names pass through to the database as they are; a NUL byte inside one would end
// the statement there, so such a token is illegal. (A comment stays trivia for the parser; the
// translator refuses one that holds a NUL.)
Lexema sinNulos(std::string_view s, std::size_t desde, Lexema l)
{
    if (s.substr(desde, l.longitud).find('\0') != std::string_view::npos)
        l.tipo = TipoToken::Ilegal;
    return l;
}

Lexema lexema(std::string_view s, std::size_t desde);

} // namespace

Lexema siguienteToken(std::string_view s, std::size_t desde)
{
    const Lexema l = lexema(s, desde);
    switch (l.tipo) {
    case TipoToken::Cadena:
    case TipoToken::IdentificadorEntrecomillado: return sinNulos(s, desde, l);
    default: return l;
    }
}

namespace {

Lexema lexema(std::string_view s, std::size_t desde)
{
    if (desde >= s.size())
        return {};
    if (longitudEspacio(s, desde) != 0) {
        std::size_t i = desde;
        while (i < s.size()) {
            const std::size_t n = longitudEspacio(s, i);
            if (n == 0)
                break;
            i += n;
        }
        return {TipoToken::Espacio, i - desde};
    }
    const char c = s[desde];
    const char siguiente = desde + 1 < s.size() ? s[desde + 1] : '\0';
    if (c == '-' && siguiente == '-') {
        const std::size_t fin = s.find('\n', desde);
        return {TipoToken::Comentario, (fin == std::string_view::npos ? s.size() : fin) - desde};
    }
    if (c == '/' && siguiente == '*') {
        const std::size_t fin = s.find("*/", desde + 2);
        if (fin == std::string_view::npos)
            return {TipoToken::Ilegal, s.size() - desde};
        return {TipoToken::Comentario, fin + 2 - desde};
    }
    if (c == '\'')
        return cadena(s, desde);
    if (c == '"') {
        const std::size_t cierre = s.find('"', desde + 1);
        if (cierre == std::string_view::npos)
            return {TipoToken::Ilegal, s.size() - desde};
        return {TipoToken::IdentificadorEntrecomillado, cierre + 1 - desde};
    }
    if (empiezaNumero(s, desde))
        return {TipoToken::Numero, finNumero(s, desde) - desde};
    if (c == '$') {
        if (siguiente == '[')
            return {TipoToken::InicioTrapecio, 2};
        if (longitudLetra(s, desde + 1) != 0)
            return {TipoToken::Etiqueta, finIdentificador(s, desde + 1) - desde};
        return {TipoToken::Ilegal, 1};
    }
    if (c == '#') {
        std::size_t i = desde + 1;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (empiezaNumero(s, i))
            return {TipoToken::Aproximado, finNumero(s, i) - desde};
        return {TipoToken::Ilegal, 1};
    }
    if (longitudLetra(s, desde) != 0)
        return {TipoToken::Identificador, finIdentificador(s, desde) - desde};
    if (const Lexema l = simbolo(s, desde); l.tipo != TipoToken::Fin)
        return l;
    // Anything else is one illegal character (or one byte of broken UTF-8).
    const std::size_t n = decodificar(s, desde).longitud;
    return {TipoToken::Ilegal, n == 0 ? 1 : n};
}

} // namespace

std::vector<Token> tokenizar(std::string_view fuente)
{
    std::vector<Token> tokens;
    std::uint32_t linea = 1;
    std::uint32_t columna = 1;
    std::size_t i = 0;
    for (;;) {
        const Lexema l = siguienteToken(fuente, i);
        tokens.push_back({l.tipo, fuente.substr(i, l.longitud), i, linea, columna});
        if (l.tipo == TipoToken::Fin)
            return tokens;
        for (std::size_t k = i; k < i + l.longitud;) {
            if (fuente[k] == '\n') {
                ++linea;
                columna = 1;
                ++k;
                continue;
            }
            const std::size_t n = decodificar(fuente, k).longitud;
            k += n == 0 ? 1 : n;
            ++columna;
        }
        i += l.longitud;
    }
}

std::string motivoIlegal(const Token& token)
{
    const std::string_view t = token.texto;
    if (t.size() > 1 && t.find('\0') != std::string_view::npos)
        return "carácter nulo (código 0) dentro de "
            + std::string(t.starts_with('\'') ? "una cadena" : "un identificador entre comillas");
    if (t.starts_with('\''))
        return "cadena sin terminar";
    if (t.starts_with('"'))
        return "identificador entre comillas sin terminar";
    if (t.starts_with("/*"))
        return "comentario sin terminar";
    if (t == "#")
        return "se esperaba un número tras '#'";
    if (t == "$")
        return "se esperaba el nombre de una etiqueta o '[' tras '$'";
    if (t == "|")
        return "carácter no válido '|' (la concatenación se escribe '||')";
    const Caracter car = t.empty() ? Caracter{} : decodificar(t, 0);
    char codigo[48];
    if (car.longitud == 0) {
        std::snprintf(codigo, sizeof codigo, "byte no válido en UTF-8 (0x%02X)",
            t.empty() ? 0u : static_cast<unsigned>(static_cast<unsigned char>(t[0])));
        return codigo;
    }
    if (car.punto < 0x20 || car.punto == 0x7F) {
        std::snprintf(
            codigo, sizeof codigo, "carácter de control no válido (código %u)", static_cast<unsigned>(car.punto));
        return codigo;
    }
    return "carácter no válido '" + std::string(t) + "'";
}

std::string recortar(std::string_view texto)
{
    constexpr std::size_t maximo = 40;
    if (texto.size() <= maximo)
        return std::string(texto);
    std::size_t corte = maximo;
    while (corte > 0 && (static_cast<unsigned char>(texto[corte]) & 0xC0) == 0x80)
        --corte; // never in the middle of a character
    return std::string(texto.substr(0, corte)) + "…";
}

bool esPalabra(const Token& token, std::string_view palabra)
{
    if (token.tipo != TipoToken::Identificador || token.texto.size() != palabra.size())
        return false;
    for (std::size_t i = 0; i < palabra.size(); ++i) {
        char c = token.texto[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != palabra[i])
            return false;
    }
    return true;
}

} // namespace nieb
