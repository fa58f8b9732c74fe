// libFuzzer entry for the NIEB lexer and parser. Besides surviving any input under the sanitizers, the
// tree must hold together: the tokens rebuild the source, every span lies within the tokens, every
// index points into its table, and a recursive walk from the root stays shallow.
#include "Analizador.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace nieb;

void exigir(bool condicion)
{
    if (!condicion)
        std::abort();
}

class Recorrido {
public:
    explicit Recorrido(const Arbol& arbol)
        : a(arbol)
    {
    }

    void consulta(Indice i, int nivel)
    {
        exigir(i < a.consultas.size());
        const Consulta& c = a.consultas[i];
        entrar(c.tramo, nivel);
        if (c.bloque != ninguno)
            bloque(c.bloque, nivel + 1);
        for (const Indice o : c.operandos)
            consulta(o, nivel + 1);
        exigir(c.operandos.empty() || c.operadores.size() + 1 == c.operandos.size());
        if (c.interior != ninguno)
            consulta(c.interior, nivel + 1);
        for (const ElementoOrden& e : c.orden)
            expresion(e.expresion, nivel + 1);
    }

private:
    const Arbol& a;

    void entrar(Tramo t, int nivel)
    {
        exigir(nivel < 4 * profundidadMaxima + 100);
        exigir(t.primero <= t.ultimo && t.ultimo < a.tokens.size());
        exigir(!a.tokens[t.primero].esTrivia() && !a.tokens[t.ultimo].esTrivia());
        (void)a.texto(t);
    }

    void token(Indice i) { exigir(i == ninguno || i < a.tokens.size()); }

    void bloque(Indice i, int nivel)
    {
        exigir(i < a.bloques.size());
        const Bloque& b = a.bloques[i];
        entrar(b.tramo, nivel);
        for (const ElementoSeleccion& e : b.seleccion) {
            token(e.alias);
            if (e.expresion != ninguno)
                expresion(e.expresion, nivel + 1);
        }
        for (const Indice o : b.origenes)
            origen(o, nivel + 1);
        for (const Indice e : b.agrupar)
            expresion(e, nivel + 1);
        if (b.donde != ninguno)
            expresion(b.donde, nivel + 1);
        if (b.tener != ninguno)
            expresion(b.tener, nivel + 1);
    }

    void origen(Indice i, int nivel)
    {
        exigir(i < a.origenes.size());
        const Origen& o = a.origenes[i];
        entrar(o.tramo, nivel);
        token(o.nombre);
        token(o.alias);
        if (o.consulta != ninguno)
            consulta(o.consulta, nivel + 1);
        if (o.base != ninguno)
            origen(o.base, nivel + 1);
        if (o.interior != ninguno)
            origen(o.interior, nivel + 1);
        for (const PasoReunion& p : o.pasos) {
            origen(p.origen, nivel + 1);
            if (p.condicion != ninguno)
                expresion(p.condicion, nivel + 1);
        }
    }

    void expresiones(const std::vector<Indice>& lista, int nivel)
    {
        for (const Indice e : lista)
            expresion(e, nivel);
    }

    void opcional(Indice e, int nivel)
    {
        if (e != ninguno)
            expresion(e, nivel);
    }

    void expresion(Indice i, int nivel)
    {
        exigir(i < a.expresiones.size());
        const Expresion& e = a.expresiones[i];
        entrar(e.tramo, nivel);
        const int n = nivel + 1;
        if (const auto* x = e.como<Funcion>())
            expresiones(x->argumentos, n);
        else if (const auto* x = e.como<Conversion>())
            expresion(x->operando, n);
        else if (const auto* x = e.como<Unaria>())
            expresion(x->operando, n);
        else if (const auto* x = e.como<Operacion>())
            exigir(x->operadores.size() + 1 == x->operandos.size()), expresiones(x->operandos, n);
        else if (const auto* x = e.como<Caso>()) {
            opcional(x->operando, n);
            for (const Caso::Rama& r : x->ramas)
                expresion(r.cuando, n), expresion(r.entonces, n);
            opcional(x->sino, n);
        } else if (const auto* x = e.como<Subconsulta>())
            consulta(x->consulta, n);
        else if (const auto* x = e.como<Lista>())
            expresiones(x->elementos, n);
        else if (const auto* x = e.como<Parentesis>())
            expresion(x->interior, n);
        else if (const auto* x = e.como<Cdeg>())
            opcional(x->columna, n);
        else if (const auto* x = e.como<Comparacion>())
            expresion(x->izquierda, n), expresion(x->derecha, n);
        else if (const auto* x = e.como<ComparacionDifusa>()) {
            expresion(x->izquierda, n);
            opcional(x->columna, n);
            exigir(!x->conUmbral || (x->umbral >= 0 && x->umbral <= 1) || !a.errores.empty());
        } else if (const auto* x = e.como<Entre>())
            expresion(x->operando, n), expresion(x->desde, n), expresion(x->hasta, n);
        else if (const auto* x = e.como<Pertenencia>())
            expresion(x->operando, n), expresion(x->conjunto, n);
        else if (const auto* x = e.como<Patron>())
            expresion(x->operando, n), expresion(x->patron, n), opcional(x->escape, n);
        else if (const auto* x = e.como<Es>())
            expresion(x->operando, n);
        else if (const auto* x = e.como<Existe>())
            consulta(x->consulta, n);
        else if (const auto* x = e.como<No>())
            expresion(x->operando, n);
        else if (const auto* x = e.como<Y>())
            expresiones(x->operandos, n);
        else if (const auto* x = e.como<O>())
            expresiones(x->operandos, n);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano)
{
    const std::string_view fuente(reinterpret_cast<const char*>(datos), tamano);
    const Arbol arbol = analizar(fuente);

    std::string junto;
    for (const Token& t : arbol.tokens) {
        exigir(t.inicio == junto.size() && t.linea >= 1 && t.columna >= 1);
        exigir(t.tipo == TipoToken::Fin || !t.texto.empty());
        if (t.tipo == TipoToken::Ilegal)
            exigir(!arbol.errores.empty());
        junto += t.texto;
    }
    exigir(junto == fuente && arbol.tokens.back().tipo == TipoToken::Fin);
    for (const ErrorSintaxis& e : arbol.errores)
        exigir(e.inicio <= tamano && !e.descripcion.empty());

    Recorrido(arbol).consulta(arbol.raiz, 0);
    return 0;
}
