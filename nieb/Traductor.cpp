#include "Traductor.h"

#include "Analizador.h"
#include "Catalogo.h"
#include "Emisor.h"
#include "EsquemaDifuso.h"
#include "GradosDifusos.h"
#include "SqlDifuso.h"
#include "ValoresTexto.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

namespace nieb {

namespace {

constexpr size_t maximoErrores = 100;

// A name as written in a query: quoted names lose their quotes, bare names are compared in capitals.
std::string nombreDeToken(std::string_view texto)
{
    if (texto.size() >= 2 && texto.front() == '"' && texto.back() == '"')
        return std::string(texto.substr(1, texto.size() - 2));
    return std::string(texto);
}

struct OrigenAmbito {
    std::string calificador;      // the alias, or the table's name as written
    const Tabla* tabla = nullptr; // null for a subquery
};

struct Referencia {
    enum class Estado { Encontrada, Ambigua, Desconocida, Incierta } estado = Estado::Desconocida;
    const OrigenAmbito* origen = nullptr;
    const Atributo* atributo = nullptr; // when the name is a fuzzy attribute

    std::string clave() const
    {
        return origen ? mayusculas(origen->calificador) + '.' + mayusculas(atributo->nombre) : "";
    }
};

// A fuzzy condition once translated: its degree and the attributes it is about, for CDEG.
struct HojaDifusa {
    std::string grado;
    std::set<std::string> atributos;
};

class Traductor {
public:
    Traductor(std::string_view consulta, Conexion& conexion, const Dialecto& dialecto)
        : arbol_(analizar(consulta))
        , conexion_(conexion)
        , catalogo_(conexion)
        , esquema_(conexion, catalogo_)
        , dialecto_(dialecto)
    {
    }

    Traduccion traducir();

private:
    // Errors
    void error(Indice token, std::string descripcion);

    // Catalogue
    void leerLogica();

    // Walking the tree
    void consulta(Indice c);
    void bloque(Indice b);
    void origen(Indice o, std::vector<OrigenAmbito>& ambito);
    void expresion(Indice e, Indice bloque, bool enSeleccion = false, bool enOrden = false);
    void difusa(Indice e, Indice bloque);
    void es(Indice e, Indice bloque);
    Referencia resolver(const Columna& c, Indice bloque);
    std::string referencia(const Referencia& r, std::string_view columna) const;
    std::string nombreColumna(std::string_view columna) const;
    std::string texto(const Referencia& r) const;
    std::string condicionTipo2(const Referencia& r, bool necesidad, std::pair<double, double> fuera,
        std::pair<double, double> dentro, std::optional<std::pair<double, double>> exacto,
        const std::string& porGrado) const;
    std::string argumentos(const Referencia& r) const;
    std::optional<std::string> cdeg(Indice e, const std::string& clave);
    void agrupar(const std::vector<Indice>& operandos, size_t desde, size_t hasta);
    std::string cdegDeBloque(Indice cdegExpr, Indice bloque);
    void reemplazar(Tramo tramo, std::string texto) { reemplazos_[tramo.primero] = {tramo.ultimo, std::move(texto)}; }

    Arbol arbol_;
    Conexion& conexion_;
    Catalogo catalogo_;
    EsquemaDifuso esquema_;
    Dialecto dialecto_;
    std::vector<std::pair<size_t, std::string>> errores_;
    std::map<Indice, std::vector<OrigenAmbito>> ambitos_; // per block
    std::map<Indice, HojaDifusa> hojas_;                  // per fuzzy condition
    struct Reemplazo {
        Indice ultimo;
        std::string texto;
    };
    std::map<Indice, Reemplazo> reemplazos_;
    Logica opNot_, opAnd_, opOr_;
    std::vector<std::string> avisos_;
    bool cdegAdmitido_ = false; // walking a select list or an ORDER BY, where CDEG may stand
    // Parentheses put around runs of AND/OR operands, so that long chains nest only logarithmically.
    std::map<Indice, std::string> antes_, despues_;
    std::map<Indice, std::set<std::string>> columnasCdeg_; // per block: CDEG columns of its select list
};

void Traductor::error(Indice token, std::string descripcion)
{
    const Token& t = arbol_.tokens[std::min<size_t>(token, arbol_.tokens.size() - 1)];
    errores_.emplace_back(t.inicio, ErrorSintaxis{t.linea, t.columna, t.inicio, std::move(descripcion)}.texto());
}

// The logic function with the database's own names for what it lacks or reads otherwise.
void renombrarFunciones(Logica& logica)
{
    const auto nombre = [](const Token& t) -> std::string {
        if (t.tipo != TipoToken::Identificador)
            return std::string(t.texto);
        if (esPalabra(t, "LEAST") || esPalabra(t, "MIN"))
            return "NIEB_LEAST";
        if (esPalabra(t, "GREATEST") || esPalabra(t, "MAX"))
            return "NIEB_GREATEST";
        if (esPalabra(t, "IFNULL"))
            return "COALESCE";
        return std::string(t.texto);
    };
    std::string plantilla;
    for (const Token& t : tokenizar(logica.plantilla))
        plantilla += nombre(t);
    logica.plantilla = plantilla;
    if (!logica.variadica.empty())
        logica.variadica = nombre(tokenizar(logica.variadica).front());
}

// The server's functions for the logic operators: a NIEB_OPTIONS row when there is exactly one and it
// has a shape the translator accepts; the default otherwise, with a notice.
void Traductor::leerLogica()
{
    opNot_ = logicaPorDefecto(OperadorLogico::No);
    opAnd_ = logicaPorDefecto(OperadorLogico::Y);
    opOr_ = logicaPorDefecto(OperadorLogico::O);
    std::map<std::string, std::vector<std::string>> filas;
    for (const auto& f :
        conexion_.consultar("SELECT OPCION, VALOR FROM NIEB_OPTIONS WHERE OPCION IN ('NOT', 'AND', 'OR')"))
        filas[comoTexto(f[0])].push_back(comoTexto(f[1]));
    for (auto [op, clase, destino] : {std::tuple{"NOT", OperadorLogico::No, &opNot_},
             std::tuple{"AND", OperadorLogico::Y, &opAnd_}, std::tuple{"OR", OperadorLogico::O, &opOr_}}) {
        const auto& valores = filas[op];
        if (valores.empty())
            continue;
        const auto logica = valores.size() == 1 ? leerLogicaOpcion(clase, valores[0]) : std::nullopt;
        if (logica)
            *destino = *logica;
        else
            avisos_.push_back("La opción " + std::string(op) + " de NIEB_OPTIONS ("
                + (valores.size() == 1 ? recortar(valores[0]) : std::to_string(valores.size()) + " filas")
                + ") no es una función ni una expresión en X e Y válida: se usa " + destino->plantilla);
    }
    if (dialecto_.extremosDelServidor)
        for (Logica* l : {&opNot_, &opAnd_, &opOr_})
            renombrarFunciones(*l);
}

// ---- Scopes and names ----------------------------------------------------------------------------

void Traductor::origen(Indice o, std::vector<OrigenAmbito>& ambito)
{
    if (o == ninguno)
        return;
    const Origen& origen = arbol_.origenes[o];
    switch (origen.clase) {
    case Origen::Clase::Tabla: {
        const std::string nombre = nombreDeToken(arbol_.texto(origen.nombre));
        const Tabla* t = esquema_.tabla(nombre);
        if (!t)
            error(origen.nombre, "la tabla " + recortar(nombre) + " no existe o no es accesible");
        if (origen.esquema != ninguno && dialecto_.sinPropietario) {
            const std::string esquema = nombreDeToken(arbol_.texto(origen.esquema));
            if (!mismoNombre(esquema, esquema_.propietario()))
                error(origen.esquema,
                    "la tabla " + recortar(nombre) + " no pertenece a " + recortar(esquema) + ", sino a " + esquema_.propietario());
            reemplazar({origen.esquema, origen.nombre}, std::string(arbol_.texto(origen.nombre)));
        }
        ambito.push_back({std::string(arbol_.texto(origen.alias != ninguno ? origen.alias : origen.nombre)), t});
        break;
    }
    case Origen::Clase::Subconsulta:
        consulta(origen.consulta);
        ambito.push_back({origen.alias != ninguno ? std::string(arbol_.texto(origen.alias)) : std::string(), nullptr});
        break;
    case Origen::Clase::Reunion:
        this->origen(origen.base, ambito);
        for (const auto& paso : origen.pasos)
            this->origen(paso.origen, ambito);
        break;
    case Origen::Clase::Parentesis: this->origen(origen.interior, ambito); break;
    case Origen::Clase::Erroneo: break;
    }
}

Referencia Traductor::resolver(const Columna& c, Indice b)
{
    Referencia r;
    if (c.nombre == ninguno)
        return r;
    const std::string nombre = nombreDeToken(arbol_.texto(c.nombre));
    for (Indice bloque = b; bloque != ninguno; bloque = arbol_.bloques[bloque].exterior) {
        bool incierta = false;
        for (const auto& o : ambitos_[bloque]) {
            if (c.tabla != ninguno && !mismoNombre(nombreDeToken(arbol_.texto(c.tabla)), nombreDeToken(o.calificador)))
                continue;
            if (!o.tabla) {
                incierta = true;
                continue;
            }
            const Atributo* a = o.tabla->atributo(nombre);
            if (!a && !o.tabla->tieneColumna(nombre))
                continue;
            if (r.origen) {
                r.estado = Referencia::Estado::Ambigua;
                return r;
            }
            r = {Referencia::Estado::Encontrada, &o, a};
        }
        if (r.origen)
            return r;
        if (incierta)
            return {Referencia::Estado::Incierta, nullptr, nullptr};
    }
    return r;
}

std::string Traductor::referencia(const Referencia& r, std::string_view columna) const
{
    return (r.origen->calificador.empty() ? std::string() : r.origen->calificador + '.') + nombreColumna(columna);
}

// A column's name as the database reads it back: where bare names fold to lower case, one with
// capitals keeps them only in quotes.
std::string Traductor::nombreColumna(std::string_view columna) const
{
    if (!dialecto_.nombresEnMinusculas || std::ranges::none_of(columna, [](char c) { return c >= 'A' && c <= 'Z'; }))
        return nombreSql(columna);
    std::string r = "\"";
    for (const char c : columna)
        r += c == '"' ? std::string("\"\"") : std::string(1, c);
    return r + '"';
}

// The condition on a type-2 attribute against a constant, written so that the degree function runs
// only where comparisons cannot tell. A row of a crisp kind (number, interval, approximate value,
// trapezoid) whose support misses [fuera] (the predicate's cut, widened by a hair) fails; one that
// surely reaches the threshold passes: for possibility, its core meets [dentro] (the cut shrunk by a
// hair); for necessity, its whole support lies inside it, points in order and finite as the degree
// function requires. Given `exacto`, the cut exactly as the function draws it (possibility only),
// numbers and intervals are decided by it alone. UNKNOWN and labels go to the function; the other kinds
// never reach a degree above 0.
// All in AND/OR, which the database short-circuits in a WHERE (inside a CASE it would work out every
// operand, the function's call included). The tests most rows fail come before the kind: X1 is the
// support's left end for every kind but the approximate value, which is let past the first one.
std::string Traductor::condicionTipo2(const Referencia& r, bool necesidad, std::pair<double, double> fuera,
    std::pair<double, double> dentro, std::optional<std::pair<double, double>> exacto,
    const std::string& porGrado) const
{
    constexpr double limite = 1e308; // above this a stored point may be infinite
    const Atributo& a = *r.atributo;
    const std::string xt = referencia(r, a.xt), x1 = referencia(r, a.x1), x2 = referencia(r, a.x2),
                      x3 = referencia(r, a.x3), x4 = referencia(r, a.x4);
    const double m = a.difuso.margen;
    const bool margenValido = std::isfinite(m) && m >= 0 && m <= limite;
    const std::string lo = numeroSql(std::isinf(dentro.first) ? -limite : dentro.first);
    const std::string hi = numeroSql(std::isinf(dentro.second) ? limite : dentro.second);
    const std::string finito1 = x1 + " >= " + numeroSql(-limite);
    const bool conSeguras = dentro.first < dentro.second;

    auto y = [](const std::vector<std::string>& partes) {
        std::string r;
        for (const auto& p : partes)
            if (!p.empty())
                r += (r.empty() ? "" : " AND ") + p;
        return r;
    };
    auto desde = [](const std::string& col, double v) { return std::isinf(v) ? std::string() : col + " >= " + numeroSql(v); };
    auto hasta = [](const std::string& col, double v) { return std::isinf(v) ? std::string() : col + " <= " + numeroSql(v); };
    auto dentroDe = [&](const std::string& desdeCol, const std::string& hastaCol) {
        return desdeCol + " >= " + lo + " AND " + hastaCol + " <= " + hi;
    };
    auto toca = [&](const std::string& desdeCol, const std::string& hastaCol) {
        return desdeCol + " <= " + hi + " AND " + hastaCol + " >= " + lo;
    };
    // A row that passes the sure test, or else reaches the threshold by the function.
    auto oGrado = [&](const std::string& segura) {
        return conSeguras && !segura.empty() ? "(" + segura + " OR " + porGrado + ")" : porGrado;
    };
    const auto [izquierda, derecha] = exacto.value_or(fuera);

    std::string numero, intervalo;
    if (exacto) {
        // Inside the exact cut a number meets the threshold, and so does an interval that reaches it.
        const std::string finito = y({std::isinf(izquierda) ? finito1 : "",
            std::isinf(derecha) ? x1 + " <= " + numeroSql(limite) : ""});
        numero = y({xt + " = 3", desde(x1, izquierda), finito.empty() ? "" : "(" + finito + " OR " + porGrado + ")"});
        intervalo = y({desde(x2, izquierda), xt + " = 5",
            "(" + x2 + " - " + x1 + " BETWEEN 0 AND " + numeroSql(limite) + " OR " + porGrado + ")"});
    } else {
        numero = y({xt + " = 3", desde(x1, fuera.first), oGrado(dentroDe(x1, x1))});
        intervalo = y({desde(x2, fuera.first), xt + " = 5",
            oGrado(x1 + " <= " + x2 + " AND "
                + (necesidad ? dentroDe(x1, x2)
                             : toca(x1, x2) + " AND " + finito1 + " AND " + x2 + " <= " + numeroSql(limite)))});
    }
    const std::string ordenado = x1 + " <= " + x2 + " AND " + x2 + " <= " + x3 + " AND " + x3 + " <= " + x4;
    const std::string trapecio = y({xt + " = 7", desde(x4, fuera.first),
        oGrado(ordenado + " AND "
            + (necesidad ? dentroDe(x1, x4)
                         : toca(x2, x3) + " AND " + finito1 + " AND " + x4 + " <= " + numeroSql(limite)))});
    const std::string aproximado = margenValido
        ? y({xt + " = 6", hasta(x1, fuera.second + m), desde(x1 + " + " + numeroSql(m), fuera.first),
              oGrado(necesidad ? dentroDe(x1 + " - " + numeroSql(m), x1 + " + " + numeroSql(m)) : dentroDe(x1, x1))})
        : xt + " = 6 AND " + porGrado;
    const std::string otras = "(" + numero + ") OR (" + trapecio + ") OR (" + aproximado + ") OR (" + xt
        + " IN (0, 4) AND " + porGrado + ")";
    // Kinds other than 3, 5 and 7 go past it; not as an IN list, which SQLite tests through a temporary
    // index, row by row.
    const std::string primera = std::isinf(derecha)
        ? ""
        : "(" + hasta(x1, derecha) + " OR (" + xt + " <> 3 AND " + xt + " <> 5 AND " + xt + " <> 7))";
    return y({primera, "((" + intervalo + ") OR (" + xt + " <> 5 AND (" + otras + ")))"});
}

// A type-2 attribute shown as text.
std::string Traductor::texto(const Referencia& r) const
{
    const Atributo& a = *r.atributo;
    return "NIEB_TEXTO(" + referencia(r, a.xt) + ", " + referencia(r, a.x1) + ", " + referencia(r, a.x2) + ", "
        + referencia(r, a.x3) + ", " + referencia(r, a.x4) + ", " + cadenaSql(a.etiquetasSql) + ")";
}

// The seven arguments that carry a value of type 1 or 2 to NIEB_GRADO.
std::string Traductor::argumentos(const Referencia& r) const
{
    const Atributo& a = *r.atributo;
    if (a.difuso.tipo == 1)
        return "3, " + referencia(r, a.x) + ", NULL, NULL, NULL, 0, ''";
    return referencia(r, a.xt) + ", " + referencia(r, a.x1) + ", " + referencia(r, a.x2) + ", " + referencia(r, a.x3)
        + ", " + referencia(r, a.x4) + ", " + numeroSql(a.difuso.margen) + ", " + cadenaSql(a.etiquetasSql);
}

// ---- Queries and blocks --------------------------------------------------------------------------

void Traductor::consulta(Indice c)
{
    if (c == ninguno)
        return;
    const Consulta& q = arbol_.consultas[c];
    switch (q.clase) {
    case Consulta::Clase::Bloque: bloque(q.bloque); break;
    case Consulta::Clase::Conjunto:
        for (const Indice o : q.operandos)
            consulta(o);
        break;
    case Consulta::Clase::Parentesis: consulta(q.interior); break;
    case Consulta::Clase::Erronea: break;
    }
    if (q.clase == Consulta::Clase::Conjunto && dialecto_.conjuntosAgrupados && q.operandos.size() > 2) {
        // ((A op B) op C) op D
        antes_[arbol_.consultas[q.operandos.front()].tramo.primero] += std::string(q.operandos.size() - 2, '(');
        for (size_t i = 1; i + 1 < q.operandos.size(); ++i)
            despues_[arbol_.consultas[q.operandos[i]].tramo.ultimo] += ')';
    }
    if (q.clase == Consulta::Clase::Conjunto && dialecto_.exceptoEnVezDeMinus) {
        for (Indice t = q.tramo.primero; t <= q.tramo.ultimo && t < arbol_.tokens.size(); ++t)
            if (esPalabra(arbol_.tokens[t], "MINUS"))
                reemplazar({t, t}, "EXCEPT");
    }
    const Indice bloqueOrden = q.clase == Consulta::Clase::Bloque ? q.bloque : ninguno;
    const bool cdegFuera = std::exchange(cdegAdmitido_, true);
    for (const auto& o : q.orden)
        expresion(o.expresion, bloqueOrden, false, true);
    cdegAdmitido_ = cdegFuera;
}

void Traductor::bloque(Indice b)
{
    if (b == ninguno)
        return;
    const bool cdegFuera = std::exchange(cdegAdmitido_, false);
    std::vector<OrigenAmbito> ambito;
    for (const Indice o : arbol_.bloques[b].origenes)
        origen(o, ambito);
    ambitos_[b] = std::move(ambito);
    const Bloque& bl = arbol_.bloques[b];
    for (const Indice o : bl.origenes) // ON conditions, now that every name is known
        for (Indice pendiente = o; pendiente != ninguno;) {
            const Origen& or_ = arbol_.origenes[pendiente];
            for (const auto& paso : or_.pasos)
                expresion(paso.condicion, b);
            pendiente = or_.clase == Origen::Clase::Parentesis ? or_.interior : ninguno;
        }
    expresion(bl.donde, b);
    for (const auto& s : bl.seleccion) {
        if (s.clase == ElementoSeleccion::Clase::Expresion) {
            cdegAdmitido_ = true;
            expresion(s.expresion, b, s.alias == ninguno);
            cdegAdmitido_ = false;
            continue;
        }
        // * and t.*: a type-2 attribute is shown as one column of text instead of its five.
        std::string lista;
        bool cambia = false;
        for (const auto& o : ambitos_[b]) {
            if (s.clase == ElementoSeleccion::Clase::TodoDeTabla
                && !mismoNombre(nombreDeToken(arbol_.texto(s.tabla)), nombreDeToken(o.calificador)))
                continue;
            if (!o.tabla || o.calificador.empty()) {
                lista.clear();
                cambia = false;
                break;
            }
            for (const auto& c : o.tabla->columnas) {
                const Atributo* tipo2 = nullptr;
                bool oculta = false;
                for (const auto& a : o.tabla->atributos)
                    if (a.difuso.tipo == 2) {
                        if (mismoNombre(a.xt, c))
                            tipo2 = &a;
                        oculta = oculta || mismoNombre(a.x1, c) || mismoNombre(a.x2, c) || mismoNombre(a.x3, c)
                            || mismoNombre(a.x4, c);
                    }
                if (oculta)
                    continue;
                if (!lista.empty())
                    lista += ", ";
                if (tipo2) {
                    cambia = true;
                    lista += texto({Referencia::Estado::Encontrada, &o, tipo2}) + " AS " + nombreColumna(tipo2->nombre);
                } else {
                    lista += o.calificador + '.' + nombreColumna(c);
                }
            }
        }
        if (cambia)
            reemplazar(s.tramo, lista);
    }
    for (const Indice g : bl.agrupar)
        expresion(g, b);
    expresion(bl.tener, b);
    cdegAdmitido_ = cdegFuera;
}

// ---- Expressions ---------------------------------------------------------------------------------

void Traductor::expresion(Indice e, Indice b, bool enSeleccion, bool enOrden)
{
    if (e == ninguno)
        return;
    Expresion& x = arbol_.expresiones[e];
    auto visitar = [&](Indice hijo) { expresion(hijo, b, false, enOrden); };
    std::visit(
        [&](auto& d) {
            using T = std::decay_t<decltype(d)>;
            if constexpr (std::is_same_v<T, Columna>) {
                const Referencia r = resolver(d, b);
                const std::string nombre = std::string(arbol_.texto(x.tramo));
                if (r.estado == Referencia::Estado::Ambigua)
                    error(d.nombre, "la columna " + recortar(nombre) + " es ambigua: indique su tabla");
                else if (r.estado == Referencia::Estado::Desconocida && !enOrden && d.tabla != ninguno)
                    error(d.nombre, "la columna " + recortar(nombre) + " no existe");
                if (r.estado == Referencia::Estado::Encontrada && r.atributo && r.atributo->difuso.tipo == 2)
                    reemplazar(x.tramo, texto(r) + (enSeleccion ? " AS " + nombreColumna(r.atributo->nombre) : ""));
                else if (d.esquema != ninguno && dialecto_.sinPropietario)
                    reemplazar({d.esquema, d.tabla - 1}, ""); // the owner and its dot
            } else if constexpr (std::is_same_v<T, ComparacionDifusa>) {
                difusa(e, b);
            } else if constexpr (std::is_same_v<T, Es>) {
                es(e, b);
            } else if constexpr (std::is_same_v<T, Cdeg>) {
                if (!cdegAdmitido_)
                    return; // the parser has reported a CDEG out of place
                const std::string nombre = "CDEG("
                    + mayusculas(d.columna == ninguno ? "*" : arbol_.texto(arbol_.expresiones[d.columna].tramo)) + ")";
                // ORDER BY a degree the select list shows: sort by that column instead of working it out again.
                if (enOrden && b != ninguno && columnasCdeg_[b].contains(nombre)) {
                    reemplazar(x.tramo, nombreSql(nombre));
                    return;
                }
                const std::string sql = cdegDeBloque(e, b);
                if (!sql.empty()) {
                    reemplazar(x.tramo, enSeleccion ? sql + " AS " + nombreSql(nombre) : sql);
                    if (enSeleccion)
                        columnasCdeg_[b].insert(nombre);
                }
            } else if constexpr (std::is_same_v<T, Funcion>) {
                for (const Indice a : d.argumentos)
                    visitar(a);
            } else if constexpr (std::is_same_v<T, Conversion>) {
                visitar(d.operando);
            } else if constexpr (std::is_same_v<T, Unaria>) {
                visitar(d.operando);
            } else if constexpr (std::is_same_v<T, Operacion>) {
                for (const Indice o : d.operandos)
                    visitar(o);
            } else if constexpr (std::is_same_v<T, Caso>) {
                visitar(d.operando);
                for (const auto& r : d.ramas) {
                    visitar(r.cuando);
                    visitar(r.entonces);
                }
                visitar(d.sino);
            } else if constexpr (std::is_same_v<T, Subconsulta> || std::is_same_v<T, Existe>) {
                consulta(d.consulta);
            } else if constexpr (std::is_same_v<T, Lista>) {
                for (const Indice o : d.elementos)
                    visitar(o);
            } else if constexpr (std::is_same_v<T, Parentesis>) {
                visitar(d.interior);
            } else if constexpr (std::is_same_v<T, Comparacion>) {
                // The vendor's other spellings of "different", which SQLite does not read.
                if (d.tokenOperador != ninguno && d.operador == OperadorComparacion::Distinto)
                    reemplazar({d.tokenOperador, d.tokenOperador}, "<>");
                visitar(d.izquierda);
                visitar(d.derecha);
            } else if constexpr (std::is_same_v<T, Entre>) {
                visitar(d.operando);
                visitar(d.desde);
                visitar(d.hasta);
            } else if constexpr (std::is_same_v<T, Pertenencia>) {
                visitar(d.operando);
                visitar(d.conjunto);
            } else if constexpr (std::is_same_v<T, Patron>) {
                visitar(d.operando);
                visitar(d.patron);
                visitar(d.escape);
            } else if constexpr (std::is_same_v<T, No>) {
                visitar(d.operando);
            } else if constexpr (std::is_same_v<T, Y> || std::is_same_v<T, O>) {
                for (const Indice o : d.operandos)
                    visitar(o);
                if (!d.operandos.empty())
                    agrupar(d.operandos, 0, d.operandos.size() - 1);
            }
        },
        x.datos);
}

// The predicate's cut at the threshold, widened by a hair against rounding: no row whose degree
// reaches the threshold lies outside it. Infinite ends stay infinite.
void Traductor::difusa(Indice e, Indice b)
{
    const Expresion& x = arbol_.expresiones[e];
    const auto& d = *x.como<ComparacionDifusa>();
    const std::string nombreOp(nombreComparador(d.comparador));
    const OperadorDifuso* op = &d.comparador;
    const Indice izquierda = d.izquierda == ninguno ? ninguno : arbol_.sinParentesis(d.izquierda);
    const auto* columna = izquierda == ninguno ? nullptr : arbol_.expresiones[izquierda].como<Columna>();
    if (!columna) {
        error(d.tokenComparador, "a la izquierda de " + nombreOp + " debe haber un atributo difuso");
        return;
    }
    const std::string nombre(arbol_.texto(arbol_.expresiones[izquierda].tramo));
    const Referencia a = resolver(*columna, b);
    if (a.estado == Referencia::Estado::Ambigua) {
        error(columna->nombre, "la columna " + recortar(nombre) + " es ambigua: indique su tabla");
        return;
    }
    if (a.estado != Referencia::Estado::Encontrada) {
        error(columna->nombre, "la columna " + recortar(nombre) + " no existe");
        return;
    }
    if (!a.atributo) {
        error(
            columna->nombre, "la columna " + recortar(nombre) + " no es un atributo difuso: no admite el comparador " + nombreOp);
        return;
    }
    const Atributo& atributo = *a.atributo;
    const int tipo = atributo.difuso.tipo;
    if (tipo == 3 && op->comparador != Comparador::FEQ) {
        error(d.tokenComparador,
            "el comparador " + nombreOp + " no se puede usar con " + recortar(nombre)
                + ", atributo difuso de tipo 3 (solo FEQ y NFEQ)");
        return;
    }
    const char* modo = op->modo == Modo::Necesidad ? "'N'" : "'P'";
    HojaDifusa hoja;
    hoja.atributos.insert(a.clave());
    std::string prefiltro, seguro, porClase;
    if (d.contraAtributo()) {
        const auto* otra = arbol_.expresiones[d.columna].como<Columna>();
        const std::string nombreB(arbol_.texto(arbol_.expresiones[d.columna].tramo));
        const Referencia rb = otra ? resolver(*otra, b) : Referencia{};
        if (rb.estado != Referencia::Estado::Encontrada || !rb.atributo) {
            error(arbol_.expresiones[d.columna].tramo.primero,
                rb.estado == Referencia::Estado::Ambigua ? "la columna " + recortar(nombreB) + " es ambigua: indique su tabla"
                                                         : recortar(nombreB) + " no es un atributo difuso");
            return;
        }
        const int tipoB = rb.atributo->difuso.tipo;
        if ((tipo == 3) != (tipoB == 3)) {
            error(arbol_.expresiones[d.columna].tramo.primero,
                "no se pueden comparar " + recortar(nombre) + " y " + recortar(nombreB) + ": solo uno de ellos es de tipo 3");
            return;
        }
        if (tipo == 3
            && !catalogo_.compatibles(atributo.difuso.tabla, atributo.difuso.columna, rb.atributo->difuso.tabla,
                rb.atributo->difuso.columna)) {
            error(arbol_.expresiones[d.columna].tramo.primero,
                "los atributos de tipo 3 " + recortar(nombre) + " y " + recortar(nombreB) + " no son compatibles");
            return;
        }
        for (const Atributo* x : {&atributo, rb.atributo})
            if (!std::isfinite(x->difuso.margen) || !std::isfinite(x->difuso.mucho)) {
                error(columna->nombre, "el margen o la distancia de " + recortar(x->nombre)
                        + " en el catálogo no son números finitos");
                return;
            }
        hoja.atributos.insert(rb.clave());
        hoja.grado = tipo == 3 ? "NIEB_GRADO3(" + std::string(modo) + ", " + referencia(a, atributo.x) + ", "
                + referencia(rb, rb.atributo->x) + ", " + cadenaSql(atributo.semejanzasSql) + ")"
                               : "NIEB_GRADO('" + nombreOp + "', " + argumentos(a) + ", " + argumentos(rb) + ", "
                + numeroSql(atributo.difuso.mucho) + ")";
    } else {
        const ConstanteDifusa& k = d.constante;
        const Indice donde = k.tramo.primero;
        using C = ConstanteDifusa::Clase;
        if (k.clase == C::Undefined || k.clase == C::Null) {
            const std::string valor = k.clase == C::Undefined ? "UNDEFINED" : "NULL";
            error(donde, valor + " no se puede comparar con " + nombreOp + ": use " + recortar(nombre) + " IS " + valor);
            return;
        }
        if (tipo == 3) {
            if (k.clase == C::Unknown) {
                hoja.grado = "NIEB_GRADO3(" + std::string(modo) + ", " + referencia(a, atributo.x) + ", 'UNKNOWN', '')";
            } else if (k.clase != C::Etiqueta) {
                error(
                    donde, recortar(nombre) + " es un atributo difuso de tipo 3: compárelo con una de sus etiquetas ($Etiqueta)");
                return;
            } else if (!atributo.etiquetas3.contains(etiquetaEnMayusculas(k.etiqueta))) {
                error(donde, "la etiqueta " + recortar("$" + std::string(k.etiqueta)) + " no está definida para " + recortar(nombre));
                return;
            } else {
                hoja.grado = "NIEB_GRADO3(" + std::string(modo) + ", " + referencia(a, atributo.x) + ", "
                    + cadenaSql(k.etiqueta) + ", " + cadenaSql(atributo.semejanzasSql) + ")";
            }
        } else {
            std::optional<Trapecio> t;
            const auto& p = k.puntos;
            switch (k.clase) {
            case C::Numero: t = Trapecio{p[0], p[0], p[0], p[0]}; break;
            case C::Intervalo: t = Trapecio{p[0], p[0], p[1], p[1]}; break;
            case C::Aproximado:
                t = Trapecio{p[0] - atributo.difuso.margen, p[0], p[0], p[0] + atributo.difuso.margen};
                break;
            case C::Trapecio: t = Trapecio{p[0], p[1], p[2], p[3]}; break;
            case C::Etiqueta: {
                const auto e = std::ranges::find_if(
                    atributo.etiquetas, [&](const Etiqueta& e) { return mismaEtiqueta(e.nombre, k.etiqueta); });
                if (e == atributo.etiquetas.end()) {
                    error(donde, "la etiqueta " + recortar("$" + std::string(k.etiqueta)) + " no está definida para " + recortar(nombre));
                    return;
                }
                t = Trapecio{e->alfa, e->beta, e->gamma, e->delta};
                break;
            }
            default: break;
            }
            if (t && !calculable(*op, *t, atributo.difuso.mucho, atributo.difuso.margen)) {
                error(donde,
                    "la constante " + recortar(arbol_.texto(k.tramo)) + " comparada con " + recortar(nombre)
                        + " lleva a números fuera del rango que se puede calcular");
                return;
            }
            const std::string constante = t ? "7, " + numeroSql(t->a) + ", " + numeroSql(t->b) + ", " + numeroSql(t->c)
                    + ", " + numeroSql(t->d) + ", 0, ''"
                                            : std::string("0, NULL, NULL, NULL, NULL, 0, ''");
            if (tipo == 1 && t)
                hoja.grado = gradoNitido(*op, *t, atributo.difuso.mucho, referencia(a, atributo.x), dialecto_.tipoReal);
            else if (tipo == 1)
                hoja.grado = "CASE WHEN " + referencia(a, atributo.x) + " IS NULL THEN NULL ELSE 1 END";
            else
                hoja.grado = "NIEB_GRADO('" + nombreOp + "', " + argumentos(a) + ", " + constante + ", "
                    + numeroSql(atributo.difuso.mucho) + ")";
            // A crisp range on the stored columns that every row meeting the threshold lies in, so
            // the database can use an index and works out degrees only for candidates.
            if (dialecto_.prefiltro && t && !(d.conUmbral && d.umbral == 0)) {
                const auto [desde, hasta] = corte(*op, *t, atributo.difuso.mucho, d.conUmbral ? d.umbral : 0);
                const double desdeFuera = desde - holgura(desde), hastaFuera = hasta + holgura(hasta);
                if (tipo == 1) {
                    // A precise number well inside the cut meets the threshold for sure: only the few
                    // near its ends need their degree worked out.
                    const std::string col = referencia(a, atributo.x);
                    prefiltro = rango(col, desdeFuera, hastaFuera);
                    const double desdeDentro = desde + holgura(desde), hastaDentro = hasta - holgura(hasta);
                    if (desdeDentro < hastaDentro && !(std::isinf(desde) && std::isinf(hasta)))
                        seguro = rango(col, desdeDentro, hastaDentro);
                } else {
                    const double desdeDentro = desde + holgura(desde), hastaDentro = hasta - holgura(hasta);
                    const bool necesidad = op->modo == Modo::Necesidad;
                    const auto exacto = necesidad ? std::nullopt
                                                  : corteExacto(*op, *t, atributo.difuso.mucho,
                                                        d.conUmbral ? std::optional(d.umbral) : std::nullopt);
                    porClase = condicionTipo2(a, necesidad, {desdeFuera, hastaFuera}, {desdeDentro, hastaDentro},
                        exacto, hoja.grado + (d.conUmbral ? " >= " + numeroExacto(d.umbral) : " > 0"));
                }
            }
        }
    }
    const std::string umbral = d.conUmbral ? " >= " + numeroExacto(d.umbral) : " > 0";
    std::string condicion = porClase.empty() ? hoja.grado + umbral : porClase;
    if (!seguro.empty())
        condicion = "(" + seguro + ") OR " + condicion;
    reemplazar(x.tramo, prefiltro.empty() ? "(" + condicion + ")" : "((" + prefiltro + ") AND (" + condicion + "))");
    hojas_[e] = std::move(hoja);
}

void Traductor::es(Indice e, Indice b)
{
    const Expresion& x = arbol_.expresiones[e];
    const auto& d = *x.como<Es>();
    const Indice operando = d.operando == ninguno ? ninguno : arbol_.sinParentesis(d.operando);
    const auto* columna = operando == ninguno ? nullptr : arbol_.expresiones[operando].como<Columna>();
    const Referencia r = columna ? resolver(*columna, b) : Referencia{};
    const std::string nombre
        = operando == ninguno ? std::string() : std::string(arbol_.texto(arbol_.expresiones[operando].tramo));
    if (d.valor != Es::Valor::Null && (r.estado != Referencia::Estado::Encontrada || !r.atributo)) {
        const char* valor = d.valor == Es::Valor::Unknown ? "UNKNOWN" : "UNDEFINED";
        if (r.estado != Referencia::Estado::Incierta)
            error(operando == ninguno ? x.tramo.primero : arbol_.expresiones[operando].tramo.primero,
                std::string("IS ") + valor + " solo se aplica a atributos difusos, y " + recortar(nombre) + " no lo es");
        return;
    }
    if (r.estado != Referencia::Estado::Encontrada || !r.atributo) {
        expresion(d.operando, b);
        return;
    }
    const Atributo& a = *r.atributo;
    const std::string igual = d.negado ? " <> " : " = ";
    std::string sql;
    if (a.difuso.tipo == 2) {
        const int codigo = d.valor == Es::Valor::Unknown ? 0 : d.valor == Es::Valor::Undefined ? 1 : 2;
        sql = "COALESCE(" + referencia(r, a.xt) + ", 2)" + igual + std::to_string(codigo);
    } else if (d.valor == Es::Valor::Null) {
        sql = referencia(r, a.x) + (d.negado ? " IS NOT NULL" : " IS NULL");
    } else if (a.difuso.tipo == 1) {
        sql = d.negado ? "1 = 1" : "1 = 0"; // a precise number is never UNKNOWN or UNDEFINED
    } else {
        sql = "COALESCE(UPPER(" + referencia(r, a.x) + "), '')" + igual
            + (d.valor == Es::Valor::Unknown ? "'UNKNOWN'" : "'UNDEFINED'");
    }
    reemplazar(x.tramo, "(" + sql + ")");
}

// ---- CDEG ----------------------------------------------------------------------------------------

// The degree of condition e restricted to the fuzzy conditions about `clave` (all of them when
// empty), combined along AND, OR and NOT; nullopt when none is inside.
std::optional<std::string> Traductor::cdeg(Indice e, const std::string& clave)
{
    if (e == ninguno)
        return std::nullopt;
    const Expresion& x = arbol_.expresiones[e];
    if (const auto hoja = hojas_.find(e); hoja != hojas_.end()) {
        if (clave.empty() || hoja->second.atributos.contains(clave))
            return hoja->second.grado;
        return std::nullopt;
    }
    if (const auto* p = x.como<Parentesis>())
        return cdeg(p->interior, clave);
    if (const auto* n = x.como<No>()) {
        const auto g = cdeg(n->operando, clave);
        return g ? std::optional(sustituir(opNot_.plantilla, *g, *g)) : std::nullopt;
    }
    const std::vector<Indice>* operandos = nullptr;
    const Logica* logica = nullptr;
    if (const auto* y = x.como<Y>()) {
        operandos = &y->operandos;
        logica = &opAnd_;
    } else if (const auto* o = x.como<O>()) {
        operandos = &o->operandos;
        logica = &opOr_;
    } else {
        return std::nullopt;
    }
    std::vector<std::string> grados;
    for (const Indice o : *operandos)
        if (auto g = cdeg(o, clave))
            grados.push_back(std::move(*g));
    if (grados.empty())
        return std::nullopt;
    return combinar(*logica, grados);
}

// Puts the operands [desde, hasta] of a long AND/OR chain into parentheses by halves, down to short
// runs: the database then nests the chain about log2(n) deep instead of n.
void Traductor::agrupar(const std::vector<Indice>& operandos, size_t desde, size_t hasta)
{
    constexpr size_t tramoCorto = 16;
    if (hasta - desde + 1 <= tramoCorto)
        return;
    const size_t medio = desde + (hasta - desde) / 2;
    for (const auto& [i, j] : {std::pair{desde, medio}, std::pair{medio + 1, hasta}}) {
        if (j == i)
            continue;
        antes_[arbol_.expresiones[operandos[i]].tramo.primero] += '(';
        despues_[arbol_.expresiones[operandos[j]].tramo.ultimo] += ')';
        agrupar(operandos, i, j);
    }
}

std::string Traductor::cdegDeBloque(Indice e, Indice b)
{
    const auto& d = *arbol_.expresiones[e].como<Cdeg>();
    const Indice token = arbol_.expresiones[e].tramo.primero;
    if (b == ninguno) {
        error(token, "CDEG solo puede ordenar una consulta simple, no una unión de consultas");
        return {};
    }
    std::string clave;
    std::string nombre = "*";
    if (d.columna != ninguno) {
        nombre = std::string(arbol_.texto(arbol_.expresiones[d.columna].tramo));
        const auto* c = arbol_.expresiones[d.columna].como<Columna>();
        const Referencia r = c ? resolver(*c, b) : Referencia{};
        if (r.estado != Referencia::Estado::Encontrada || !r.atributo) {
            error(token, "CDEG(" + recortar(nombre) + "): " + recortar(nombre) + " no es un atributo difuso de la consulta");
            return {};
        }
        clave = r.clave();
    }
    const auto g = cdeg(arbol_.bloques[b].donde, clave);
    if (!g) {
        error(token,
            "CDEG(" + recortar(nombre) + "): no hay ninguna condición difusa sobre "
                + (d.columna == ninguno ? std::string("ningún atributo") : recortar(nombre)) + " en el WHERE");
        return {};
    }
    return *g;
}

Traduccion Traductor::traducir()
{
    Traduccion r;
    for (const auto& e : arbol_.errores)
        errores_.emplace_back(e.inicio, e.texto());
    // Comments go into the SQL as they are: a NUL byte in one would end the statement there.
    for (Indice t = 0; t < arbol_.tokens.size(); ++t)
        if (arbol_.tokens[t].tipo == TipoToken::Comentario && arbol_.tokens[t].texto.find('\0') != std::string_view::npos)
            error(t, "carácter nulo (código 0) dentro de un comentario");
    try {
        catalogo_.sincronizarTablas(); // attributes follow their columns after a schema change
    } catch (const ErrorBaseDatos&) {
        // A database that cannot be written to keeps the numbers it has; reading goes on.
    }
    leerLogica();
    r.avisos = avisos_;
    try {
        catalogo_.anotarAvisos(avisos_);
    } catch (const ErrorBaseDatos&) {
        // Read-only: the notice stays in the translation's result only.
    }
    consulta(arbol_.raiz);
    if (!errores_.empty()) {
        std::ranges::stable_sort(errores_, {}, &std::pair<size_t, std::string>::first);
        for (auto& [_, texto] : errores_)
            if (r.errores.size() < maximoErrores)
                r.errores.push_back(std::move(texto));
        if (errores_.size() > maximoErrores)
            r.errores.back()
                = "Hay más de " + std::to_string(maximoErrores) + " errores: corrija estos y traduzca de nuevo.";
        return r;
    }
    Emisor emisor;
    const Tramo todo = arbol_.consultas[arbol_.raiz].tramo;
    for (Indice t = todo.primero; t <= todo.ultimo && t < arbol_.tokens.size(); ++t) {
        if (const auto a = antes_.find(t); a != antes_.end())
            emisor.fragmento(a->second);
        if (const auto it = reemplazos_.find(t); it != reemplazos_.end()) {
            emisor.fragmento(it->second.texto);
            t = it->second.ultimo;
        } else {
            const Token& token = arbol_.tokens[t];
            if (token.tipo == TipoToken::Comentario)
                emisor.fragmento(token.texto);
            else if (!token.esTrivia() && token.tipo != TipoToken::Fin)
                emisor.fila(std::string(token.texto));
        }
        if (const auto d = despues_.find(t); d != despues_.end())
            emisor.fragmento(d->second);
    }
    r.filas = emisor.filas();
    r.sql = emisor.sql();
    return r;
}

} // namespace

Traduccion traducir(std::string_view consulta, Conexion& conexion, const Dialecto& dialecto)
{
    return Traductor(consulta, conexion, dialecto).traducir();
}

} // namespace nieb
