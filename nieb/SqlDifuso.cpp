#include "SqlDifuso.h"

#include "Lexico.h"
#include "Nombres.h"
#include "ValoresTexto.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <vector>

namespace nieb {

namespace {
constexpr double infinito = std::numeric_limits<double>::infinity();
}

std::string nombreSql(std::string_view nombre)
{
    const bool simple = !nombre.empty() && !std::isdigit(static_cast<unsigned char>(nombre[0]))
        && std::ranges::all_of(nombre, [](unsigned char c) { return std::isalnum(c) || c == '_'; });
    if (simple)
        return std::string(nombre);
    std::string r = "\"";
    for (char c : nombre)
        r += c == '"' ? std::string("\"\"") : std::string(1, c);
    return r + '"';
}

std::string cadenaSql(std::string_view texto)
{
    std::string r = "'";
    for (char c : texto)
        r += c == '\'' ? std::string("''") : std::string(1, c);
    return r + '\'';
}

std::string numeroSql(double x)
{
    const std::string n = numeroExacto(x);
    return x < 0 ? "(" + n + ")" : n;
}

Trapecio predicado(OperadorDifuso op, const Trapecio& b, double mucho)
{
    switch (op.comparador) {
    case Comparador::FEQ: return b;
    case Comparador::FGEQ: return {b.a, b.b, infinito, infinito};
    case Comparador::FGT: return {b.c, b.d, infinito, infinito};
    case Comparador::FLEQ: return {-infinito, -infinito, b.c, b.d};
    case Comparador::FLT: return {-infinito, -infinito, b.a, b.b};
    case Comparador::MGT: return {b.d, b.d + mucho, infinito, infinito};
    case Comparador::MLT: return {-infinito, -infinito, b.a - mucho, b.a};
    }
    return b;
}

// The degree of a precise number x against the constant, written out in SQL: for a crisp value both
// possibility and necessity are P's membership at x, a CASE over P's pieces the database works out
// without calling a function. The strict comparators exclude their end point of a vertical edge.
std::string gradoNitido(OperadorDifuso op, const Trapecio& b, double mucho, const std::string& x, std::string_view tipoReal)
{
    const std::string real = " AS " + std::string(tipoReal) + ")";
    const Trapecio p = predicado(op, b, mucho);
    const bool sinIzquierda = op.comparador == Comparador::FGT || op.comparador == Comparador::MGT;
    const bool sinDerecha = op.comparador == Comparador::FLT || op.comparador == Comparador::MLT;
    std::vector<std::string> nucleo;
    if (!std::isinf(p.b))
        nucleo.push_back(x + (sinIzquierda && p.a == p.b ? " > " : " >= ") + numeroSql(p.b));
    if (!std::isinf(p.c))
        nucleo.push_back(x + (sinDerecha && p.c == p.d ? " < " : " <= ") + numeroSql(p.c));
    std::string sql = "CASE WHEN " + x + " IS NULL THEN NULL WHEN "
        + (nucleo.empty()            ? std::string("1 = 1")
                : nucleo.size() == 1 ? nucleo[0]
                                     : nucleo[0] + " AND " + nucleo[1])
        + " THEN 1";
    if (!std::isinf(p.a) && p.a < p.b)
        sql += " WHEN " + x + " > " + numeroSql(p.a) + " AND " + x + " < " + numeroSql(p.b) + " THEN (CAST(" + x
            + real + " - " + numeroSql(p.a) + ") / " + numeroSql(p.b - p.a);
    if (!std::isinf(p.d) && p.c < p.d)
        sql += " WHEN " + x + " > " + numeroSql(p.c) + " AND " + x + " < " + numeroSql(p.d) + " THEN (" + numeroSql(p.d)
            + " - CAST(" + x + real + ") / " + numeroSql(p.d - p.c);
    return sql + " ELSE 0 END";
}

std::pair<double, double> corte(OperadorDifuso op, const Trapecio& b, double mucho, double umbral)
{
    const Trapecio p = predicado(op, b, mucho);
    return {std::isinf(p.a) ? -infinito : p.a + umbral * (p.b - p.a),
        std::isinf(p.d) ? infinito : p.d - umbral * (p.d - p.c)};
}

double holgura(double x)
{
    return 1e-9 * std::max(1.0, std::fabs(x));
}

bool numeroSeguro(double x)
{
    if (!std::isfinite(x) || std::fabs(x) >= 9007199254740992.0)
        return false;
    double escala = 1;
    for (int e = 0; e <= 15; ++e, escala *= 10) {
        const double y = x * escala; // x's digits as an integer, when the product is exact
        if (std::fabs(y) >= 1e15)
            return false;
        if (y == std::trunc(y) && std::fma(x, escala, -y) == 0)
            return true;
    }
    return false;
}

std::optional<std::pair<double, double>> corteExacto(
    OperadorDifuso op, const Trapecio& b, double mucho, std::optional<double> umbral)
{
    for (const double x : {b.a, b.b, b.c, b.d, mucho})
        if (!numeroSeguro(x))
            return std::nullopt;
    if (umbral && !numeroSeguro(*umbral))
        return std::nullopt;
    const auto cumple = [&](double x) {
        const auto g = grado(op, nitido(x), definido(b), mucho);
        return g && (umbral ? *g >= *umbral : *g > 0);
    };
    // The degree of a precise number rises, holds and falls along the line, each step rounded
    // monotonically, so the numbers that meet the threshold are one stretch of doubles. Its ends lie
    // within a few units in the last place of the cut worked out in real numbers: walk to them.
    const auto extremo = [&](double estimado, double haciaFuera) -> std::optional<double> {
        if (std::isinf(estimado))
            return cumple(std::copysign(std::numeric_limits<double>::max(), haciaFuera)) ? std::optional(estimado)
                                                                                       : std::nullopt;
        double x = estimado;
        for (int paso = 0; paso < 64; ++paso) {
            const double fuera = std::nextafter(x, haciaFuera);
            if (!cumple(x))
                x = std::nextafter(x, -haciaFuera);
            else if (cumple(fuera))
                x = fuera;
            else
                return numeroSeguro(x) ? std::optional(x) : std::nullopt;
        }
        return std::nullopt;
    };
    const auto [desde, hasta] = corte(op, b, mucho, umbral.value_or(0));
    const auto izquierda = extremo(desde, -infinito), derecha = extremo(hasta, infinito);
    if (!izquierda || !derecha || *izquierda > *derecha || (std::isinf(*izquierda) && std::isinf(*derecha)))
        return std::nullopt;
    return std::pair(*izquierda, *derecha);
}

std::string rango(const std::string& x, double desde, double hasta)
{
    std::string r;
    if (!std::isinf(desde))
        r = x + " >= " + numeroSql(desde);
    if (!std::isinf(hasta))
        r += (r.empty() ? "" : " AND ") + x + " <= " + numeroSql(hasta);
    return r;
}

std::string sustituir(std::string_view plantilla, const std::string& x, const std::string& y)
{
    std::string r;
    for (const Token& t : tokenizar(plantilla)) {
        if (t.tipo == TipoToken::Identificador && (esPalabra(t, "X") || esPalabra(t, "Y")))
            r += "(" + (esPalabra(t, "X") ? x : y) + ")";
        else
            r += t.texto;
    }
    return r;
}

} // namespace nieb

namespace nieb {

namespace {

bool finito(double x)
{
    return std::isfinite(x);
}

// The functions a logic option may call: arithmetic that the database has, nothing with side effects.
constexpr std::string_view funcionesAdmitidas[]
    = {"LEAST", "GREATEST", "MIN", "MAX", "ABS", "ROUND", "SQRT", "POWER", "POW", "EXP", "LN", "LOG", "SIGN",
        "COALESCE", "IFNULL"};
// Those that take any number of arguments (MIN and MAX with two or more).
constexpr std::string_view funcionesVariadicas[] = {"LEAST", "GREATEST", "MIN", "MAX"};

template <size_t N> bool esUna(const Token& t, const std::string_view (&lista)[N])
{
    return std::ranges::any_of(lista, [&](std::string_view p) { return esPalabra(t, p); });
}

// Recursive descent over the tokens of a logic option:
//   expresion := termino (('+' | '-') termino)*
//   termino   := factor (('*' | '/') factor)*
//   factor    := '-' factor | numero | X | Y | funcion '(' expresion (',' expresion)* ')' | '(' expresion ')'
class FormaLogica {
public:
    explicit FormaLogica(std::vector<Token> tokens)
        : t_(std::move(tokens))
    {
    }
    bool valida()
    {
        return expresion(0) && t_[i_].tipo == TipoToken::Fin;
    }
    bool usaX = false, usaY = false;

private:
    static constexpr int profundidadMaxima = 32;
    const Token& actual() const { return t_[i_]; }
    bool aceptar(TipoToken tipo)
    {
        if (actual().tipo != tipo)
            return false;
        ++i_;
        return true;
    }
    bool expresion(int nivel)
    {
        if (nivel > profundidadMaxima || !termino(nivel))
            return false;
        while (aceptar(TipoToken::Mas) || aceptar(TipoToken::Menos))
            if (!termino(nivel))
                return false;
        return true;
    }
    bool termino(int nivel)
    {
        if (!factor(nivel))
            return false;
        while (aceptar(TipoToken::Por) || aceptar(TipoToken::Barra))
            if (!factor(nivel))
                return false;
        return true;
    }
    bool factor(int nivel)
    {
        if (aceptar(TipoToken::Menos))
            return nivel < profundidadMaxima && factor(nivel + 1);
        if (aceptar(TipoToken::Numero))
            return true;
        if (aceptar(TipoToken::AbreParentesis))
            return expresion(nivel + 1) && aceptar(TipoToken::CierraParentesis);
        const Token& t = actual();
        if (t.tipo != TipoToken::Identificador)
            return false;
        if (esPalabra(t, "X") || esPalabra(t, "Y")) {
            (esPalabra(t, "X") ? usaX : usaY) = true;
            ++i_;
            return true;
        }
        if (!esUna(t, funcionesAdmitidas))
            return false;
        ++i_;
        if (!aceptar(TipoToken::AbreParentesis))
            return false;
        do {
            if (!expresion(nivel + 1))
                return false;
        } while (aceptar(TipoToken::Coma));
        return aceptar(TipoToken::CierraParentesis);
    }

    std::vector<Token> t_;
    size_t i_ = 0;
};

} // namespace

Logica logicaPorDefecto(OperadorLogico op)
{
    switch (op) {
    case OperadorLogico::No: return {"1 - X", ""};
    case OperadorLogico::Y: return {"LEAST (X,Y)", "LEAST"};
    case OperadorLogico::O: return {"GREATEST (X,Y)", "GREATEST"};
    }
    return {};
}

std::optional<Logica> leerLogicaOpcion(OperadorLogico op, std::string_view valor)
{
    if (valor.size() > 200)
        return std::nullopt;
    std::vector<Token> tokens;
    for (const Token& t : tokenizar(valor))
        if (t.tipo != TipoToken::Espacio)
            tokens.push_back(t);
    const bool binaria = op != OperadorLogico::No;
    // A bare function name stands for its call on X (and Y).
    if (tokens.size() == 2 && tokens[0].tipo == TipoToken::Identificador && esUna(tokens[0], funcionesAdmitidas)) {
        const std::string nombre = mayusculas(tokens[0].texto);
        return Logica{nombre + (binaria ? " (X,Y)" : " (X)"), binaria && esUna(tokens[0], funcionesVariadicas) ? nombre : ""};
    }
    FormaLogica forma(tokens);
    if (!forma.valida() || !forma.usaX || forma.usaY != binaria)
        return std::nullopt;
    Logica r{std::string(valor), ""};
    // NAME(X,Y) or NAME(Y,X) of a variadic function combines flat.
    if (binaria && tokens.size() == 7 && esUna(tokens[0], funcionesVariadicas)
        && tokens[1].tipo == TipoToken::AbreParentesis && tokens[3].tipo == TipoToken::Coma
        && tokens[5].tipo == TipoToken::CierraParentesis
        && ((esPalabra(tokens[2], "X") && esPalabra(tokens[4], "Y"))
            || (esPalabra(tokens[2], "Y") && esPalabra(tokens[4], "X"))))
        r.variadica = mayusculas(tokens[0].texto);
    return r;
}

std::string combinar(const Logica& logica, const std::vector<std::string>& grados)
{
    if (grados.empty())
        return {};
    if (!logica.variadica.empty()) {
        constexpr size_t porLlamada = 100; // SQLite's default limit is 127 arguments
        std::vector<std::string> nivel = grados;
        while (nivel.size() > 1) {
            std::vector<std::string> siguiente;
            for (size_t i = 0; i < nivel.size(); i += porLlamada) {
                const size_t fin = std::min(nivel.size(), i + porLlamada);
                if (fin - i == 1) {
                    siguiente.push_back(std::move(nivel[i]));
                    continue;
                }
                std::string llamada = logica.variadica + "(";
                for (size_t k = i; k < fin; ++k)
                    llamada += (k > i ? ", " : "") + nivel[k];
                siguiente.push_back(llamada + ")");
            }
            nivel = std::move(siguiente);
        }
        return nivel.front();
    }
    // Pairs, then pairs of pairs: each degree is copied about log2(n) times.
    std::vector<std::string> nivel = grados;
    while (nivel.size() > 1) {
        std::vector<std::string> siguiente;
        for (size_t i = 0; i + 1 < nivel.size(); i += 2)
            siguiente.push_back(sustituir(logica.plantilla, nivel[i], nivel[i + 1]));
        if (nivel.size() % 2 == 1)
            siguiente.push_back(std::move(nivel.back()));
        nivel = std::move(siguiente);
    }
    return nivel.front();
}

bool calculable(OperadorDifuso op, const Trapecio& b, double mucho, double margen)
{
    if (!finito(b.a) || !finito(b.b) || !finito(b.c) || !finito(b.d) || !finito(mucho) || !finito(margen))
        return false;
    const Trapecio p = predicado(op, b, mucho);
    const bool derechaInfinita = op.comparador == Comparador::FGEQ || op.comparador == Comparador::FGT
        || op.comparador == Comparador::MGT;
    const bool izquierdaInfinita = op.comparador == Comparador::FLEQ || op.comparador == Comparador::FLT
        || op.comparador == Comparador::MLT;
    const double m = std::max(0.0, margen);
    if (!izquierdaInfinita
        && (!finito(p.a) || !finito(p.b) || !finito(p.b - p.a) || !finito(p.a - m) || !finito(p.b + m)))
        return false;
    if (!derechaInfinita
        && (!finito(p.c) || !finito(p.d) || !finito(p.d - p.c) || !finito(p.d + m) || !finito(p.c - m)))
        return false;
    return true;
}

} // namespace nieb
