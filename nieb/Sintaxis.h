#pragma once

#include "GradosDifusos.h"
#include "Lexico.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The syntax tree of a NIEB query. Nodes live in vectors of the tree and refer to each other by index,
// so destroying a tree never recurses and a node is cheap to refer to from the translator's own tables.
//
// Every node keeps its span of tokens. The tokens include blanks and comments, so the text of a span is
// the source exactly as written (strings, quoted names, spacing, comments inside): the translator copies
// the crisp parts from the source and writes only the fuzzy ones.
//
// Chains of the same operator (a AND b AND c, a + b - c, UNION, joins) are flat lists, and nesting is
// limited by the parser, so the tree is never deeper than a few hundred levels and may be walked
// recursively.
namespace nieb {

using Indice = std::uint32_t;
inline constexpr Indice ninguno = std::numeric_limits<Indice>::max();

// First and last token of a node, both included, as indices into Arbol::tokens. Neither is trivia.
struct Tramo {
    Indice primero = 0;
    Indice ultimo = 0;
};

// ---- Fuzzy constants ----------------------------------------------------------------------------

struct ConstanteDifusa {
    enum class Clase : std::uint8_t {
        Numero,     // 25: puntos[0]
        Etiqueta,   // $Joven: etiqueta
        Intervalo,  // [20,30]: puntos[0], puntos[1]
        Aproximado, // #25: puntos[0]
        Trapecio,   // $[20,25,30,35]: puntos[0..3]
        Unknown,
        Undefined,
        Null
    };
    Clase clase = Clase::Numero;
    Tramo tramo;                    // signs included
    std::array<double, 4> puntos{}; // as written; checked in order by the parser
    std::string_view etiqueta;      // the label's name, without '$'
};

// ---- Expressions and conditions -----------------------------------------------------------------
// Conditions are expressions of the kinds marked "condition" below; Expresion::condicion tells them
// apart. The parser accepts a condition only where one is expected (WHERE, HAVING, ON, CASE WHEN,
// AND, OR, NOT) and a value everywhere else.

struct ExpresionErronea { }; // stands where the parser found an error; its span is the offending token

struct Literal { }; // a number, a string, NULL, or DATE/TIMESTAMP followed by a string: see the tokens

struct Columna { // a, t.a, s.t.a, quoted or not: token indices
    Indice esquema = ninguno;
    Indice tabla = ninguno;
    Indice nombre = ninguno;
};

struct Funcion {                  // f(a, b), pkg.f(a), COUNT(*), COUNT(DISTINCT x)
    std::vector<Indice> nombre;   // tokens of the name's parts
    Indice modificador = ninguno; // the DISTINCT or ALL token inside the parentheses
    bool asterisco = false;       // f(*)
    std::vector<Indice> argumentos;
};

struct Conversion { // CAST(operando AS tipo)
    Indice operando = ninguno;
    Tramo tipo;
};

struct Unaria {                // -x, +x
    Indice operador = ninguno; // token
    Indice operando = ninguno;
};

// A chain of operators of one precedence, evaluated left to right: a + b - c, a * b / c, a || b.
struct Operacion {
    std::vector<Indice> operandos;
    std::vector<Indice> operadores; // tokens, one fewer than operandos
};

struct Caso { // CASE [operando] WHEN ... THEN ... [ELSE ...] END
    struct Rama {
        Indice cuando = ninguno; // a condition, or a value when the CASE has an operand
        Indice entonces = ninguno;
    };
    Indice operando = ninguno;
    std::vector<Rama> ramas;
    Indice sino = ninguno;
};

struct Subconsulta { // a scalar subquery, or the right side of IN, ANY, ALL
    Indice consulta = ninguno;
};

struct Lista { // (a, b, c): the right side of IN, ANY, ALL; a row (a, b) on the left
    std::vector<Indice> elementos;
};

struct Parentesis {
    Indice interior = ninguno;
};

struct Cdeg {                 // CDEG(columna) or CDEG(*): only in a select list or an ORDER BY
    Indice columna = ninguno; // a Columna expression; ninguno for '*'
};

enum class OperadorComparacion : std::uint8_t { Igual, Distinto, Menor, Mayor, MenorIgual, MayorIgual };
enum class Cuantificador : std::uint8_t { Ninguno, Alguno, Todos }; // ANY and SOME are Alguno

struct Comparacion { // condition: a = b, a <> ANY (subquery)
    OperadorComparacion operador = OperadorComparacion::Igual;
    Indice tokenOperador = ninguno;
    Cuantificador cuantificador = Cuantificador::Ninguno;
    Indice izquierda = ninguno;
    Indice derecha = ninguno; // with a quantifier: a Subconsulta or a Lista
};

// "NFGEQ" for (FGEQ, Necesidad).
inline std::string_view nombreComparador(OperadorDifuso op)
{
    return nombreComparador(op.comparador, op.modo);
}

struct ComparacionDifusa { // condition: izquierda COMP (constante | columna) [THOLD umbral]
    OperadorDifuso comparador{Comparador::FEQ, Modo::Posibilidad};
    Indice tokenComparador = ninguno;
    Indice izquierda = ninguno;
    Indice columna = ninguno;  // a Columna expression when the right side is another attribute
    ConstanteDifusa constante; // the right side otherwise
    bool conUmbral = false;
    double umbral = 0;            // within [0, 1], checked by the parser
    Indice tokenUmbral = ninguno; // the THOLD keyword

    bool contraAtributo() const { return columna != ninguno; }
};

struct Entre { // condition: operando [NOT] BETWEEN desde AND hasta
    bool negado = false;
    Indice operando = ninguno;
    Indice desde = ninguno;
    Indice hasta = ninguno;
};

struct Pertenencia { // condition: operando [NOT] IN (lista | subconsulta)
    bool negado = false;
    Indice operando = ninguno;
    Indice conjunto = ninguno; // a Lista or a Subconsulta
};

struct Patron { // condition: operando [NOT] LIKE patron [ESCAPE escape]
    bool negado = false;
    Indice operando = ninguno;
    Indice patron = ninguno;
    Indice escape = ninguno;
};

struct Es { // condition: operando IS [NOT] NULL | UNKNOWN | UNDEFINED
    enum class Valor : std::uint8_t { Null, Unknown, Undefined };
    bool negado = false;
    Valor valor = Valor::Null;
    Indice operando = ninguno;
};

struct Existe { // condition: EXISTS (consulta)
    Indice consulta = ninguno;
};

struct No { // condition: NOT operando
    Indice operando = ninguno;
};

struct Y { // condition: a AND b AND ...
    std::vector<Indice> operandos;
};

struct O { // condition: a OR b OR ...
    std::vector<Indice> operandos;
};

struct Expresion {
    Tramo tramo;
    bool condicion = false;
    std::variant<ExpresionErronea, Literal, Columna, Funcion, Conversion, Unaria, Operacion, Caso, Subconsulta, Lista,
        Parentesis, Cdeg, Comparacion, ComparacionDifusa, Entre, Pertenencia, Patron, Es, Existe, No, Y, O>
        datos;

    template <class T> const T* como() const { return std::get_if<T>(&datos); }
    template <class T> T* como() { return std::get_if<T>(&datos); }
    bool esDifusa() const { return std::holds_alternative<ComparacionDifusa>(datos); }
};

// ---- FROM items ---------------------------------------------------------------------------------

enum class TipoReunion : std::uint8_t { Interna, Izquierda, Derecha, Completa, Cruzada };

struct PasoReunion { // [INNER | LEFT | ... ] JOIN origen [ON condicion | USING (columnas)]
    Tramo tramo;     // from the join's first keyword to its condition's end
    TipoReunion tipo = TipoReunion::Interna;
    Indice origen = ninguno;      // the item joined on
    Indice condicion = ninguno;   // ON
    std::vector<Indice> columnas; // USING: tokens of the column names
};

struct Origen {
    enum class Clase : std::uint8_t {
        Tabla,       // [esquema.]nombre [alias]
        Subconsulta, // (consulta) [alias]
        Reunion,     // base followed by its joins, left to right
        Parentesis,  // (interior): a parenthesised join
        Erroneo
    };
    Clase clase = Clase::Erroneo;
    Tramo tramo;
    Indice esquema = ninguno; // tokens
    Indice nombre = ninguno;
    Indice alias = ninguno;
    Indice consulta = ninguno; // Subconsulta
    Indice base = ninguno;     // Reunion
    std::vector<PasoReunion> pasos;
    Indice interior = ninguno; // Parentesis
};

// ---- SELECT blocks and queries ------------------------------------------------------------------

struct ElementoSeleccion {
    enum class Clase : std::uint8_t {
        Todo,        // *
        TodoDeTabla, // t.*, s.t.*
        Expresion    // expresion [[AS] alias]; CDEG(...) is one
    };
    Clase clase = Clase::Expresion;
    Tramo tramo; // the alias included
    Indice expresion = ninguno;
    Indice esquema = ninguno; // tokens, TodoDeTabla
    Indice tabla = ninguno;
    Indice alias = ninguno; // token
};

struct ElementoOrden {
    enum class Direccion : std::uint8_t { Ninguna, Asc, Desc };
    enum class Nulos : std::uint8_t { Ninguno, Primero, Ultimo };
    Tramo tramo;
    Indice expresion = ninguno;
    Direccion direccion = Direccion::Ninguna;
    Nulos nulos = Nulos::Ninguno;
};

struct Bloque { // SELECT [DISTINCT | ALL] ... FROM ... [WHERE] [GROUP BY] [HAVING]
    Tramo tramo;
    Indice consulta = ninguno;    // the Consulta of class Bloque that holds it
    Indice exterior = ninguno;    // the block a subquery appears in (for correlated names); ninguno at the top
    Indice modificador = ninguno; // DISTINCT or ALL token
    bool distinto = false;
    std::vector<ElementoSeleccion> seleccion;
    std::vector<Indice> origenes; // FROM items, comma-separated
    Indice donde = ninguno;       // a condition
    std::vector<Indice> agrupar;  // GROUP BY
    Indice tener = ninguno;       // HAVING: a condition
};

enum class OperadorConjunto : std::uint8_t { Union, UnionTodo, Interseccion, Diferencia };

struct Consulta { // a query expression with its ORDER BY; a subquery is one too
    enum class Clase : std::uint8_t {
        Bloque,     // one SELECT
        Conjunto,   // operandos joined by UNION [ALL], INTERSECT, MINUS, all of one precedence, left to right
        Parentesis, // (interior)
        Erronea
    };
    Clase clase = Clase::Erronea;
    Tramo tramo; // ORDER BY included
    Indice bloque = ninguno;
    std::vector<Indice> operandos;            // Consulta indices
    std::vector<OperadorConjunto> operadores; // one fewer than operandos
    Indice interior = ninguno;
    std::vector<ElementoOrden> orden;
};

// ---- The tree -----------------------------------------------------------------------------------

struct ErrorSintaxis {
    std::uint32_t linea = 1;
    std::uint32_t columna = 1;
    std::size_t inicio = 0;  // byte offset, to order the errors and to place the editor's caret
    std::string descripcion; // "se esperaba FROM y se ha encontrado 'WHERE'"

    // "Línea 2, columna 14: se esperaba FROM y se ha encontrado 'WHERE'."
    std::string texto() const
    {
        return "Línea " + std::to_string(linea) + ", columna " + std::to_string(columna) + ": " + descripcion + ".";
    }
};

struct Arbol {
    std::string_view fuente; // not owned: it must outlive the tree
    std::vector<Token> tokens;
    std::vector<Consulta> consultas;
    std::vector<Bloque> bloques;
    std::vector<Origen> origenes;
    std::vector<Expresion> expresiones;
    Indice raiz = ninguno;              // a Consulta; always set, even when there are errors
    std::vector<ErrorSintaxis> errores; // in source order

    // The source text from the first token of the span to the end of the last, trivia inside included.
    std::string_view texto(Tramo tramo) const
    {
        const Token& a = tokens[tramo.primero];
        return fuente.substr(a.inicio, tokens[tramo.ultimo].fin() - a.inicio);
    }
    std::string_view texto(Indice token) const { return tokens[token].texto; }

    // The expression inside any number of parentheses.
    Indice sinParentesis(Indice expresion) const
    {
        while (const auto* p = expresiones[expresion].como<Parentesis>())
            expresion = p->interior;
        return expresion;
    }
};

} // namespace nieb
