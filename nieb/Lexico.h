#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Tokens of the NIEB query language. The tokenizer never fails: whatever it cannot read becomes an
// Ilegal token, so the parser reports every lexical fault in its one pass.
namespace nieb {

enum class TipoToken : std::uint8_t {
    Fin, // zero-length token at the end of the source
    // Trivia: kept as tokens so that the source can be rebuilt from them; the parser skips them.
    Espacio,
    Comentario, // "-- ..." up to the line end (not included) or "/* ... */"
    // Words and literals. Keywords are identifiers: the parser tells them apart, case-insensitively.
    Identificador,               // letter, then letters, digits, _ $ #  (OBJ# is one identifier)
    IdentificadorEntrecomillado, // "..."
    Cadena,                      // '...', with '' inside
    Numero,                      // 12, 1.5, .5, 5., 1e-3 (no sign: a sign is an operator)
    // Pieces of fuzzy constants.
    Etiqueta,       // $Joven
    InicioTrapecio, // $[
    Aproximado,     // #25, #-3, #1.5: the number is part of the token
    // Operators and punctuation.
    Igual,      // =
    Distinto,   // <> != ^= ¬=
    Menor,      // <
    Mayor,      // >
    MenorIgual, // <=
    MayorIgual, // >=
    Concatenar, // ||
    Mas,        // +
    Menos,      // -
    Por,        // *
    Barra,      // /
    AbreParentesis,
    CierraParentesis,
    Coma,
    Punto,
    PuntoYComa,
    AbreCorchete,
    CierraCorchete,
    Ilegal // a stray character, or an unterminated string, quoted identifier or comment
};

struct Token {
    TipoToken tipo = TipoToken::Fin;
    std::string_view texto; // the token's bytes, a view into the source
    std::size_t inicio = 0; // byte offset in the source
    std::uint32_t linea = 1;
    std::uint32_t columna = 1; // in characters, not bytes

    std::size_t longitud() const { return texto.size(); }
    std::size_t fin() const { return inicio + texto.size(); }
    bool esTrivia() const { return tipo == TipoToken::Espacio || tipo == TipoToken::Comentario; }
};

// Kind and byte length of the token that starts at `desde`; Fin with length 0 at or past the end.
// A pure function of the text, usable on its own (for instance to colour an editor line).
struct Lexema {
    TipoToken tipo = TipoToken::Fin;
    std::size_t longitud = 0;
};
Lexema siguienteToken(std::string_view fuente, std::size_t desde);

// Every token of a UTF-8 text, trivia included, ending with a Fin token. The concatenation of the
// texts gives back the source exactly. The views point into `fuente`, which must outlive them.
std::vector<Token> tokenizar(std::string_view fuente);

// Why a token is Ilegal, as a Spanish phrase without position ("cadena sin terminar").
std::string motivoIlegal(const Token& token);

// A name or token as an error message shows it: whole up to 40 bytes, else its first 40 bytes (never
// splitting a character) followed by "…".
std::string recortar(std::string_view texto);

// Case-insensitive comparison of an identifier with an ASCII keyword written in capitals.
bool esPalabra(const Token& token, std::string_view palabraEnMayusculas);

} // namespace nieb
