#include "Analizador.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <type_traits>
#include <utility>

namespace nieb {

namespace {

// Words that cannot name a column, a table or an alias without quotes.
constexpr std::string_view reservadas[] = {"ALL", "AND", "ANY", "AS", "ASC", "BETWEEN", "BY", "CASE", "CROSS", "DESC",
    "DISTINCT", "ELSE", "END", "ESCAPE", "EXISTS", "FEQ", "FGEQ", "FGT", "FLEQ", "FLT", "FROM", "FULL", "GROUP",
    "HAVING", "IN", "INNER", "INTERSECT", "IS", "JOIN", "LEFT", "LIKE", "MGT", "MINUS", "MLT", "NATURAL", "NFEQ",
    "NFGEQ", "NFGT", "NFLEQ", "NFLT", "NMGT", "NMLT", "NOT", "NULL", "ON", "OR", "ORDER", "OUTER", "RIGHT", "SELECT",
    "SOME", "THEN", "THOLD", "UNDEFINED", "UNION", "UNKNOWN", "USING", "WHEN", "WHERE"};

// Keywords that open a clause: where the parser resumes after an error.
constexpr std::string_view clausulas[] = {"FROM", "WHERE", "GROUP", "HAVING", "ORDER", "UNION", "INTERSECT", "MINUS"};

bool esReservada(const Token& t)
{
    return std::any_of(std::begin(reservadas), std::end(reservadas), [&](auto p) { return esPalabra(t, p); });
}

template <class T, class... Clases> constexpr bool esUnaDe = (std::is_same_v<T, Clases> || ...);
template <class T>
constexpr bool esTipoCondicion
    = esUnaDe<T, Comparacion, ComparacionDifusa, Entre, Pertenencia, Patron, Es, Existe, No, Y, O>;

// The token as an error message shows it: quoted, cut at a line end or after 40 bytes.
std::string describir(const Token& t)
{
    if (t.tipo == TipoToken::Fin)
        return "el final de la consulta";
    const std::string_view linea = t.texto.substr(0, t.texto.find('\n'));
    std::string texto = recortar(linea);
    if (linea.size() < t.texto.size() && texto.size() == linea.size())
        texto += "…"; // cut at the line end
    return "'" + texto + "'";
}

class Analizador {
public:
    explicit Analizador(Arbol& arbol)
        : a(arbol)
    {
    }

    void analizar();

private:
    // Counts one level of nesting while alive.
    class Nivel {
    public:
        explicit Nivel(Analizador& an)
            : an(an)
        {
            ++an.profundidad;
        }
        ~Nivel() { --an.profundidad; }
        Nivel(const Nivel&) = delete;
        Nivel& operator=(const Nivel&) = delete;
        bool excedido() const { return an.profundidad > profundidadMaxima; }

    private:
        Analizador& an;
    };

    Arbol& a;
    std::vector<Indice> sig; // the tokens that are not trivia; the last is Fin
    std::size_t pos = 0;     // into sig
    // After a syntax error the parser is "in panic" until it reaches a synchronisation point: no
    // further error is reported meanwhile, since it would only echo the first.
    bool panico = false;
    bool abortado = false; // nesting too deep: the rest of the input is skipped
    int profundidad = 0;
    Indice bloqueActual = ninguno;
    bool cdegPermitido = false;
    Indice ultimoError = ninguno;    // token of the last error the parser reported
    std::size_t finDeParentesis = 0; // end of the last run of '(' looked through, and what follows it
    bool parentesisAntesDeSelect = false;

    // ---- Tokens ----
    const Token& tok(std::size_t k = 0) const { return a.tokens[sig[std::min(pos + k, sig.size() - 1)]]; }
    Indice indice() const { return sig[pos]; }
    bool es(TipoToken t, std::size_t k = 0) const { return tok(k).tipo == t; }
    bool esP(std::string_view palabra, std::size_t k = 0) const { return esPalabra(tok(k), palabra); }
    void avanzar()
    {
        if (pos + 1 < sig.size())
            ++pos;
    }
    Indice consumir()
    {
        const Indice i = indice();
        avanzar();
        return i;
    }
    bool aceptar(TipoToken t) { return es(t) ? (avanzar(), true) : false; }
    bool aceptarP(std::string_view palabra) { return esP(palabra) ? (avanzar(), true) : false; }
    // A name: a quoted identifier or an identifier that is not a reserved word.
    bool esNombre(std::size_t k = 0) const
    {
        const Token& t = tok(k);
        return t.tipo == TipoToken::IdentificadorEntrecomillado
            || (t.tipo == TipoToken::Identificador && !esReservada(t));
    }
    bool esClausula() const
    {
        return std::any_of(std::begin(clausulas), std::end(clausulas), [&](auto p) { return esP(p); });
    }
    bool esFinDeClausula() const
    {
        return esClausula() || es(TipoToken::CierraParentesis) || es(TipoToken::PuntoYComa) || es(TipoToken::Fin);
    }
    // '(' followed, after any more '(', by SELECT. The answer holds for the whole run of '(', so it is
    // found once per run: "((((...(" nested to the limit costs one scan, not one per level.
    bool empiezaSubconsulta()
    {
        if (!es(TipoToken::AbreParentesis))
            return false;
        if (pos >= finDeParentesis) {
            finDeParentesis = pos;
            while (finDeParentesis + 1 < sig.size() && a.tokens[sig[finDeParentesis]].tipo == TipoToken::AbreParentesis)
                ++finDeParentesis;
            parentesisAntesDeSelect = esPalabra(a.tokens[sig[finDeParentesis]], "SELECT");
        }
        return parentesisAntesDeSelect;
    }
    Tramo tramoDesde(std::size_t inicio) const { return {sig[inicio], sig[pos > inicio ? pos - 1 : inicio]}; }

    // ---- Errors ----
    void registrar(const Token& t, std::string descripcion)
    {
        a.errores.push_back({t.linea, t.columna, t.inicio, std::move(descripcion)});
    }
    // A syntax error puts the parser in panic; an error in what was read (a trapezoid out of order)
    // does not. An illegal token was reported by itself already, and a second error on the token of
    // the last one would only echo it.
    void error(Indice token, std::string descripcion, bool sintactico = true)
    {
        const bool callar = panico || abortado || a.tokens[token].tipo == TipoToken::Ilegal || token == ultimoError;
        if (sintactico)
            panico = true;
        if (callar)
            return;
        registrar(a.tokens[token], std::move(descripcion));
        ultimoError = token;
    }
    void esperado(std::string_view que)
    {
        error(indice(), "se esperaba " + std::string(que) + " y se ha encontrado " + describir(tok()));
    }
    bool esperar(TipoToken t, std::string_view que)
    {
        if (aceptar(t))
            return true;
        esperado(que);
        return false;
    }
    bool esperarP(std::string_view palabra)
    {
        if (aceptarP(palabra))
            return true;
        esperado(palabra);
        return false;
    }
    void abortarPorProfundidad()
    {
        if (!abortado)
            registrar(tok(),
                "la consulta anida más de " + std::to_string(profundidadMaxima)
                    + " niveles de paréntesis, subconsultas u operadores");
        abortado = panico = true;
        pos = sig.size() - 1;
    }

    // ---- Synchronisation ----
    // After a clause: anything left before the next clause keyword, ')' or ';' is an error; resume there.
    void terminarClausula()
    {
        if (!panico && !esFinDeClausula())
            error(indice(), "no se esperaba " + describir(tok()) + " en este punto");
        sincronizar();
    }
    // After an error: resume at the next clause keyword, ')' that closes this level, ';' or the end.
    void sincronizar()
    {
        if (!panico)
            return;
        int nivel = 0;
        for (; !es(TipoToken::Fin); avanzar()) {
            if (es(TipoToken::AbreParentesis)) {
                ++nivel;
            } else if (es(TipoToken::CierraParentesis)) {
                if (nivel-- == 0)
                    break;
            } else if (nivel == 0 && (es(TipoToken::PuntoYComa) || esClausula())) {
                break;
            }
        }
        panico = abortado;
    }
    // Closes a parenthesis this parser opened; after an error inside, skips to the matching ')'.
    void cerrarParentesis()
    {
        if (!panico) {
            if (aceptar(TipoToken::CierraParentesis))
                return;
            esperado("')'");
        }
        for (int nivel = 0; !es(TipoToken::Fin); avanzar()) {
            if (es(TipoToken::AbreParentesis)) {
                ++nivel;
            } else if (es(TipoToken::CierraParentesis) && nivel-- == 0) {
                avanzar();
                panico = abortado;
                return;
            }
        }
    }

    // ---- Nodes ----
    template <class T> Indice nueva(std::size_t inicio, T datos)
    {
        bool condicion = esTipoCondicion<T>;
        if constexpr (std::is_same_v<T, Parentesis>)
            condicion = a.expresiones[datos.interior].condicion;
        a.expresiones.push_back({tramoDesde(inicio), condicion, std::move(datos)});
        return static_cast<Indice>(a.expresiones.size() - 1);
    }
    Indice erronea() { return nueva(pos, ExpresionErronea{}); }
    Consulta consultaDe(Consulta::Clase clase, std::size_t inicio) const
    {
        Consulta c;
        c.clase = clase;
        c.tramo = tramoDesde(inicio);
        return c;
    }
    Origen origenDe(Origen::Clase clase, std::size_t inicio) const
    {
        Origen o;
        o.clase = clase;
        o.tramo = tramoDesde(inicio);
        return o;
    }
    Indice nuevoOrigen(Origen o)
    {
        a.origenes.push_back(std::move(o));
        return static_cast<Indice>(a.origenes.size() - 1);
    }
    Indice nuevaConsulta(Consulta c)
    {
        a.consultas.push_back(std::move(c));
        return static_cast<Indice>(a.consultas.size() - 1);
    }
    // A value or a condition where the other was wanted. When an illegal token follows, the
    // expression was cut short by it, and that has been reported.
    void exigirValor(Indice e)
    {
        const Expresion& x = a.expresiones[e];
        if (x.condicion && !es(TipoToken::Ilegal))
            error(x.tramo.primero, "se esperaba un valor y se ha encontrado la condición " + describirTramo(x.tramo),
                false);
    }
    void exigirCondicion(Indice e)
    {
        const Expresion& x = a.expresiones[a.sinParentesis(e)];
        if (!x.condicion && !x.como<ExpresionErronea>() && !es(TipoToken::Ilegal))
            error(x.tramo.primero, "se esperaba una condición y se ha encontrado " + describirTramo(x.tramo), false);
    }
    std::string describirTramo(Tramo t) const
    {
        Token falso = a.tokens[t.primero];
        falso.texto = a.texto(t);
        return describir(falso);
    }

    // ---- Grammar ----
    Indice consulta();
    Indice operandoConjunto();
    std::optional<OperadorConjunto> operadorConjunto();
    Indice bloque();
    ElementoSeleccion elementoSeleccion();
    std::size_t prefijoAsterisco() const;
    Indice alias();
    std::vector<ElementoOrden> ordenacion();
    Indice origen();
    Indice origenSimple();
    bool empiezaReunion() const;
    PasoReunion pasoReunion();
    void condicionDeReunion(PasoReunion& paso);

    Indice condicion() { return o(); }
    Indice condicionExigida()
    {
        const Indice c = condicion();
        exigirCondicion(c);
        return c;
    }
    Indice o();
    Indice y();
    Indice no();
    Indice predicado();
    Indice predicadoSinUmbral();
    Indice comparacion(std::size_t inicio, Indice izquierda);
    Indice comparacionDifusa(std::size_t inicio, Indice izquierda, OperadorDifuso comparador);
    std::optional<OperadorDifuso> comparadorDifuso() const;
    ConstanteDifusa constanteDifusa();
    void decimalesConComa(Indice numero);
    std::vector<std::pair<double, Indice>> numerosHasta(TipoToken cierre, std::string_view nombreCierre);
    std::optional<double> numeroConSigno();
    double valorNumerico(std::string_view texto, Indice token);
    Indice conjuntoEntreParentesis();

    Indice valor()
    {
        const Indice e = expresion();
        exigirValor(e);
        return e;
    }
    Indice expresion();
    Indice termino();
    Indice cadenaDeOperadores(bool multiplicativa);
    Indice factor();
    Indice primario();
    Indice parentesis();
    Indice referencia();
    Indice referenciaColumna();
    Indice columna(std::size_t inicio, const std::vector<Indice>& partes);
    Indice caso();
    Indice cdeg();
    Indice conversion();
};

void Analizador::analizar()
{
    for (Indice i = 0; i < a.tokens.size(); ++i) {
        const Token& t = a.tokens[i];
        if (t.esTrivia())
            continue;
        sig.push_back(i);
        if (t.tipo == TipoToken::Ilegal)
            registrar(t, motivoIlegal(t));
    }
    a.raiz = consulta();
    if (!panico)
        aceptar(TipoToken::PuntoYComa);
    if (!es(TipoToken::Fin))
        esperado("el final de la consulta");
    std::stable_sort(a.errores.begin(), a.errores.end(),
        [](const ErrorSintaxis& x, const ErrorSintaxis& y) { return x.inicio < y.inicio; });
}

// ---- Queries ----------------------------------------------------------------------------------

Indice Analizador::consulta()
{
    Nivel nivel(*this);
    const std::size_t inicio = pos;
    if (nivel.excedido()) {
        abortarPorProfundidad();
        return nuevaConsulta(consultaDe(Consulta::Clase::Erronea, inicio));
    }
    const bool cdegFuera = cdegPermitido;
    cdegPermitido = false;
    Indice resultado = operandoConjunto();
    if (auto operador = operadorConjunto()) {
        std::vector<Indice> operandos{resultado};
        std::vector<OperadorConjunto> operadores;
        for (; operador; operador = operadorConjunto()) {
            operadores.push_back(*operador);
            operandos.push_back(operandoConjunto());
        }
        Consulta c = consultaDe(Consulta::Clase::Conjunto, inicio);
        c.operandos = std::move(operandos);
        c.operadores = std::move(operadores);
        resultado = nuevaConsulta(std::move(c));
    }
    if (esP("ORDER")) {
        auto orden = ordenacion();
        a.consultas[resultado].orden = std::move(orden);
        a.consultas[resultado].tramo = tramoDesde(inicio);
    }
    cdegPermitido = cdegFuera;
    return resultado;
}

Indice Analizador::operandoConjunto()
{
    const std::size_t inicio = pos;
    if (aceptar(TipoToken::AbreParentesis)) {
        const Indice interior = consulta();
        cerrarParentesis();
        Consulta c = consultaDe(Consulta::Clase::Parentesis, inicio);
        c.interior = interior;
        return nuevaConsulta(std::move(c));
    }
    if (!esP("SELECT")) {
        esperado("SELECT");
        return nuevaConsulta(consultaDe(Consulta::Clase::Erronea, inicio));
    }
    const Indice b = bloque();
    Consulta c = consultaDe(Consulta::Clase::Bloque, inicio);
    c.bloque = b;
    const Indice i = nuevaConsulta(std::move(c));
    a.bloques[b].consulta = i;
    return i;
}

std::optional<OperadorConjunto> Analizador::operadorConjunto()
{
    if (aceptarP("UNION"))
        return aceptarP("ALL") ? OperadorConjunto::UnionTodo : OperadorConjunto::Union;
    if (aceptarP("INTERSECT"))
        return OperadorConjunto::Interseccion;
    if (aceptarP("MINUS"))
        return OperadorConjunto::Diferencia;
    return std::nullopt;
}

Indice Analizador::bloque()
{
    const std::size_t inicio = pos;
    // The index is taken first so that subqueries can name this block as theirs.
    const auto indiceBloque = static_cast<Indice>(a.bloques.size());
    a.bloques.emplace_back();
    Bloque b;
    b.exterior = std::exchange(bloqueActual, indiceBloque);
    avanzar(); // SELECT
    if (esP("DISTINCT") || esP("ALL")) {
        b.distinto = esP("DISTINCT");
        b.modificador = consumir();
    }
    cdegPermitido = true;
    do {
        b.seleccion.push_back(elementoSeleccion());
    } while (aceptar(TipoToken::Coma));
    cdegPermitido = false;
    sincronizar();
    if (esperarP("FROM")) {
        do {
            b.origenes.push_back(origen());
        } while (aceptar(TipoToken::Coma));
    }
    terminarClausula();
    if (aceptarP("WHERE")) {
        b.donde = condicionExigida();
        terminarClausula();
    }
    if (aceptarP("GROUP")) {
        esperarP("BY");
        do {
            b.agrupar.push_back(valor());
        } while (aceptar(TipoToken::Coma));
        terminarClausula();
    }
    if (aceptarP("HAVING")) {
        b.tener = condicionExigida();
        terminarClausula();
    }
    b.tramo = tramoDesde(inicio);
    bloqueActual = b.exterior;
    a.bloques[indiceBloque] = std::move(b);
    return indiceBloque;
}

// 1 for "t.*", 2 for "s.t.*", 0 otherwise.
std::size_t Analizador::prefijoAsterisco() const
{
    if (!esNombre() || !es(TipoToken::Punto, 1))
        return 0;
    if (es(TipoToken::Por, 2))
        return 1;
    return esNombre(2) && es(TipoToken::Punto, 3) && es(TipoToken::Por, 4) ? 2 : 0;
}

ElementoSeleccion Analizador::elementoSeleccion()
{
    const std::size_t inicio = pos;
    ElementoSeleccion e;
    if (aceptar(TipoToken::Por)) {
        e.clase = ElementoSeleccion::Clase::Todo;
    } else if (const std::size_t partes = prefijoAsterisco()) {
        e.clase = ElementoSeleccion::Clase::TodoDeTabla;
        if (partes == 2) {
            e.esquema = consumir();
            avanzar();
        }
        e.tabla = consumir();
        avanzar(); // .
        avanzar(); // *
    } else {
        e.expresion = valor();
        e.alias = alias();
    }
    e.tramo = tramoDesde(inicio);
    return e;
}

// [AS] name, for select items and FROM items; ninguno when there is none.
Indice Analizador::alias()
{
    if (aceptarP("AS")) {
        if (esNombre())
            return consumir();
        esperado("un alias");
        return ninguno;
    }
    return esNombre() ? consumir() : ninguno;
}

std::vector<ElementoOrden> Analizador::ordenacion()
{
    avanzar(); // ORDER
    esperarP("BY");
    cdegPermitido = true;
    std::vector<ElementoOrden> orden;
    do {
        const std::size_t inicio = pos;
        ElementoOrden e;
        e.expresion = valor();
        if (aceptarP("ASC"))
            e.direccion = ElementoOrden::Direccion::Asc;
        else if (aceptarP("DESC"))
            e.direccion = ElementoOrden::Direccion::Desc;
        if (esP("NULLS") && (esP("FIRST", 1) || esP("LAST", 1))) {
            avanzar();
            e.nulos = esP("FIRST") ? ElementoOrden::Nulos::Primero : ElementoOrden::Nulos::Ultimo;
            avanzar();
        }
        e.tramo = tramoDesde(inicio);
        orden.push_back(e);
    } while (aceptar(TipoToken::Coma));
    cdegPermitido = false;
    return orden;
}

// ---- FROM -------------------------------------------------------------------------------------

Indice Analizador::origen()
{
    Nivel nivel(*this);
    const std::size_t inicio = pos;
    if (nivel.excedido()) {
        abortarPorProfundidad();
        return nuevoOrigen(origenDe(Origen::Clase::Erroneo, inicio));
    }
    const Indice base = origenSimple();
    if (!empiezaReunion())
        return base;
    std::vector<PasoReunion> pasos;
    while (empiezaReunion())
        pasos.push_back(pasoReunion());
    Origen r = origenDe(Origen::Clase::Reunion, inicio);
    r.base = base;
    r.pasos = std::move(pasos);
    return nuevoOrigen(std::move(r));
}

Indice Analizador::origenSimple()
{
    const std::size_t inicio = pos;
    Origen o;
    if (es(TipoToken::AbreParentesis)) {
        const bool subconsulta = empiezaSubconsulta();
        avanzar();
        if (subconsulta) {
            o.clase = Origen::Clase::Subconsulta;
            o.consulta = consulta();
            cerrarParentesis();
            o.alias = alias();
        } else {
            o.clase = Origen::Clase::Parentesis;
            o.interior = origen();
            cerrarParentesis();
        }
    } else if (esNombre()) {
        o.clase = Origen::Clase::Tabla;
        o.nombre = consumir();
        if (es(TipoToken::Punto) && esNombre(1)) {
            avanzar();
            o.esquema = std::exchange(o.nombre, consumir());
        }
        o.alias = alias();
    } else {
        esperado("un nombre de tabla");
    }
    o.tramo = tramoDesde(inicio);
    return nuevoOrigen(std::move(o));
}

bool Analizador::empiezaReunion() const
{
    return esP("JOIN") || esP("INNER") || esP("LEFT") || esP("RIGHT") || esP("FULL") || esP("CROSS");
}

PasoReunion Analizador::pasoReunion()
{
    const std::size_t inicio = pos;
    PasoReunion paso;
    if (aceptarP("LEFT"))
        paso.tipo = TipoReunion::Izquierda;
    else if (aceptarP("RIGHT"))
        paso.tipo = TipoReunion::Derecha;
    else if (aceptarP("FULL"))
        paso.tipo = TipoReunion::Completa;
    else if (aceptarP("CROSS"))
        paso.tipo = TipoReunion::Cruzada;
    else
        aceptarP("INNER");
    if (paso.tipo != TipoReunion::Interna && paso.tipo != TipoReunion::Cruzada)
        aceptarP("OUTER");
    esperarP("JOIN");
    paso.origen = origenSimple();
    if (paso.tipo != TipoReunion::Cruzada)
        condicionDeReunion(paso);
    paso.tramo = tramoDesde(inicio);
    return paso;
}

void Analizador::condicionDeReunion(PasoReunion& paso)
{
    if (aceptarP("ON")) {
        paso.condicion = condicionExigida();
    } else if (aceptarP("USING")) {
        if (esperar(TipoToken::AbreParentesis, "'('")) {
            do {
                if (!esNombre()) {
                    esperado("un nombre de columna");
                    break;
                }
                paso.columnas.push_back(consumir());
            } while (aceptar(TipoToken::Coma));
            cerrarParentesis();
        }
    } else {
        esperado("ON o USING");
    }
}

// ---- Conditions -------------------------------------------------------------------------------

Indice Analizador::o()
{
    const std::size_t inicio = pos;
    const Indice primero = y();
    if (!esP("OR"))
        return primero;
    O nodo;
    exigirCondicion(primero);
    nodo.operandos.push_back(primero);
    while (aceptarP("OR")) {
        const Indice otro = y();
        exigirCondicion(otro);
        nodo.operandos.push_back(otro);
    }
    return nueva(inicio, std::move(nodo));
}

Indice Analizador::y()
{
    const std::size_t inicio = pos;
    const Indice primero = no();
    if (!esP("AND"))
        return primero;
    Y nodo;
    exigirCondicion(primero);
    nodo.operandos.push_back(primero);
    while (aceptarP("AND")) {
        const Indice otro = no();
        exigirCondicion(otro);
        nodo.operandos.push_back(otro);
    }
    return nueva(inicio, std::move(nodo));
}

Indice Analizador::no()
{
    if (!esP("NOT"))
        return predicado();
    Nivel nivel(*this);
    if (nivel.excedido()) {
        abortarPorProfundidad();
        return erronea();
    }
    const std::size_t inicio = pos;
    avanzar();
    const Indice operando = no();
    exigirCondicion(operando);
    return nueva(inicio, No{operando});
}

Indice Analizador::predicado()
{
    const Indice p = predicadoSinUmbral();
    // A threshold after anything but a fuzzy comparison (which took its own) is misplaced.
    if (esP("THOLD")) {
        error(indice(), "THOLD solo puede ir tras una comparación difusa", false);
        avanzar();
        numeroConSigno();
    }
    return p;
}

Indice Analizador::predicadoSinUmbral()
{
    const std::size_t inicio = pos;
    if (aceptarP("EXISTS")) {
        if (!esperar(TipoToken::AbreParentesis, "'('"))
            return erronea();
        const Indice c = consulta();
        cerrarParentesis();
        return nueva(inicio, Existe{c});
    }
    const Indice izquierda = expresion();
    switch (tok().tipo) {
    case TipoToken::Igual:
    case TipoToken::Distinto:
    case TipoToken::Menor:
    case TipoToken::Mayor:
    case TipoToken::MenorIgual:
    case TipoToken::MayorIgual: return comparacion(inicio, izquierda);
    default: break;
    }
    if (const auto comparador = comparadorDifuso())
        return comparacionDifusa(inicio, izquierda, *comparador);

    bool negado = false;
    if (esP("NOT")) {
        if (!esP("BETWEEN", 1) && !esP("IN", 1) && !esP("LIKE", 1)) {
            avanzar();
            esperado("BETWEEN, IN o LIKE");
            return erronea();
        }
        avanzar();
        negado = true;
    }
    if (aceptarP("BETWEEN")) {
        exigirValor(izquierda);
        Entre e{negado, izquierda};
        e.desde = valor();
        esperarP("AND");
        e.hasta = valor();
        return nueva(inicio, e);
    }
    if (aceptarP("IN")) {
        exigirValor(izquierda);
        Pertenencia p{negado, izquierda};
        p.conjunto = es(TipoToken::AbreParentesis) ? conjuntoEntreParentesis() : (esperado("'('"), erronea());
        return nueva(inicio, p);
    }
    if (aceptarP("LIKE")) {
        exigirValor(izquierda);
        Patron p{negado, izquierda};
        p.patron = valor();
        if (aceptarP("ESCAPE"))
            p.escape = valor();
        return nueva(inicio, p);
    }
    if (aceptarP("IS")) {
        exigirValor(izquierda);
        Es e;
        e.operando = izquierda;
        e.negado = aceptarP("NOT");
        if (aceptarP("NULL"))
            e.valor = Es::Valor::Null;
        else if (aceptarP("UNKNOWN"))
            e.valor = Es::Valor::Unknown;
        else if (aceptarP("UNDEFINED"))
            e.valor = Es::Valor::Undefined;
        else
            esperado("NULL, UNKNOWN o UNDEFINED");
        return nueva(inicio, e);
    }
    return izquierda; // a value, or a parenthesised condition
}

Indice Analizador::comparacion(std::size_t inicio, Indice izquierda)
{
    exigirValor(izquierda);
    Comparacion c;
    switch (tok().tipo) {
    case TipoToken::Distinto: c.operador = OperadorComparacion::Distinto; break;
    case TipoToken::Menor: c.operador = OperadorComparacion::Menor; break;
    case TipoToken::Mayor: c.operador = OperadorComparacion::Mayor; break;
    case TipoToken::MenorIgual: c.operador = OperadorComparacion::MenorIgual; break;
    case TipoToken::MayorIgual: c.operador = OperadorComparacion::MayorIgual; break;
    default: c.operador = OperadorComparacion::Igual; break;
    }
    c.tokenOperador = consumir();
    c.izquierda = izquierda;
    if (esP("ANY") || esP("SOME") || esP("ALL")) {
        c.cuantificador = esP("ALL") ? Cuantificador::Todos : Cuantificador::Alguno;
        avanzar();
        c.derecha = es(TipoToken::AbreParentesis) ? conjuntoEntreParentesis() : (esperado("'('"), erronea());
    } else {
        c.derecha = valor();
    }
    return nueva(inicio, c);
}

// (subquery) or (value, ...): the right side of IN, ANY, ALL.
Indice Analizador::conjuntoEntreParentesis()
{
    const std::size_t inicio = pos;
    const bool subconsulta = empiezaSubconsulta();
    avanzar(); // (
    if (subconsulta) {
        const Indice c = consulta();
        cerrarParentesis();
        return nueva(inicio, Subconsulta{c});
    }
    Lista l;
    do {
        l.elementos.push_back(valor());
    } while (aceptar(TipoToken::Coma));
    cerrarParentesis();
    return nueva(inicio, std::move(l));
}

std::optional<OperadorDifuso> Analizador::comparadorDifuso() const
{
    return es(TipoToken::Identificador) ? leerComparador(tok().texto) : std::nullopt;
}

Indice Analizador::comparacionDifusa(std::size_t inicio, Indice izquierda, OperadorDifuso comparador)
{
    exigirValor(izquierda);
    ComparacionDifusa d;
    d.comparador = comparador;
    d.tokenComparador = consumir();
    d.izquierda = izquierda;
    if (esNombre()) {
        d.columna = referenciaColumna();
        if (es(TipoToken::AbreParentesis))
            error(indice(),
                "tras " + std::string(a.texto(d.tokenComparador))
                    + " va una constante difusa o una columna, no una función");
    } else {
        d.constante = constanteDifusa();
    }
    if (esP("THOLD")) {
        d.tokenUmbral = consumir();
        const Indice numero = indice();
        if (const auto umbral = numeroConSigno()) {
            d.conUmbral = true;
            d.umbral = *umbral;
            if (*umbral < 0 || *umbral > 1)
                error(numero, "el umbral de THOLD debe estar entre 0 y 1", false);
            decimalesConComa(numero);
        }
    }
    return nueva(inicio, std::move(d));
}

// "THOLD 0,5" written with the Spanish decimal comma: say so instead of "unexpected ','".
void Analizador::decimalesConComa(Indice numero)
{
    const Token& anterior = a.tokens[sig[pos - 1]];
    if (!es(TipoToken::Coma) || !es(TipoToken::Numero, 1) || tok().inicio != anterior.fin()
        || tok(1).inicio != tok().fin())
        return;
    error(numero,
        "los decimales se escriben con punto: " + std::string(anterior.texto) + "." + std::string(tok(1).texto), false);
    avanzar();
    avanzar();
}

ConstanteDifusa Analizador::constanteDifusa()
{
    const std::size_t inicio = pos;
    ConstanteDifusa k;
    const Token& t = tok();
    switch (t.tipo) {
    case TipoToken::InicioTrapecio: {
        const Indice apertura = consumir();
        const auto puntos = numerosHasta(TipoToken::CierraCorchete, "']'");
        k.clase = ConstanteDifusa::Clase::Trapecio;
        if (puntos.size() != 4) {
            error(apertura, "el trapecio debe tener cuatro puntos", false);
            break;
        }
        for (std::size_t i = 0; i < puntos.size(); ++i) {
            k.puntos[i] = puntos[i].first;
            if (i > 0 && puntos[i].first < puntos[i - 1].first) {
                error(puntos[i].second, "los puntos del trapecio deben ir en orden creciente", false);
                break;
            }
        }
        break;
    }
    case TipoToken::AbreCorchete: {
        const Indice apertura = consumir();
        const auto extremos = numerosHasta(TipoToken::CierraCorchete, "']'");
        k.clase = ConstanteDifusa::Clase::Intervalo;
        if (extremos.size() != 2) {
            error(apertura, "el intervalo debe tener dos extremos", false);
            break;
        }
        k.puntos[0] = extremos[0].first;
        k.puntos[1] = extremos[1].first;
        if (k.puntos[1] < k.puntos[0])
            error(extremos[1].second, "el extremo final del intervalo es menor que el inicial", false);
        break;
    }
    case TipoToken::Aproximado: {
        // "#-3": the sign is part of the token.
        std::string_view numero = t.texto.substr(1);
        const bool negativo = numero.starts_with('-');
        if (negativo || numero.starts_with('+'))
            numero.remove_prefix(1);
        k.clase = ConstanteDifusa::Clase::Aproximado;
        k.puntos[0] = valorNumerico(numero, indice());
        if (negativo)
            k.puntos[0] = -k.puntos[0];
        avanzar();
        break;
    }
    case TipoToken::Etiqueta:
        k.clase = ConstanteDifusa::Clase::Etiqueta;
        k.etiqueta = t.texto.substr(1);
        avanzar();
        break;
    default:
        if (aceptarP("UNKNOWN")) {
            k.clase = ConstanteDifusa::Clase::Unknown;
        } else if (aceptarP("UNDEFINED")) {
            k.clase = ConstanteDifusa::Clase::Undefined;
        } else if (aceptarP("NULL")) {
            k.clase = ConstanteDifusa::Clase::Null;
        } else if (es(TipoToken::Numero)
            || ((es(TipoToken::Mas) || es(TipoToken::Menos)) && es(TipoToken::Numero, 1))) {
            k.clase = ConstanteDifusa::Clase::Numero;
            k.puntos[0] = numeroConSigno().value_or(0);
        } else {
            esperado("una constante difusa o una columna");
        }
        break;
    }
    k.tramo = tramoDesde(inicio);
    return k;
}

// Signed numbers separated by commas up to the closing bracket, each with its first token.
std::vector<std::pair<double, Indice>> Analizador::numerosHasta(TipoToken cierre, std::string_view nombreCierre)
{
    std::vector<std::pair<double, Indice>> numeros;
    if (!es(cierre)) {
        do {
            const Indice primero = indice();
            const auto n = numeroConSigno();
            if (!n)
                break;
            numeros.emplace_back(*n, primero);
        } while (aceptar(TipoToken::Coma));
    }
    esperar(cierre, nombreCierre);
    return numeros;
}

std::optional<double> Analizador::numeroConSigno()
{
    const bool negativo = es(TipoToken::Menos);
    if ((negativo || es(TipoToken::Mas)) && es(TipoToken::Numero, 1))
        avanzar();
    if (!es(TipoToken::Numero)) {
        esperado("un número");
        return std::nullopt;
    }
    const double v = valorNumerico(tok().texto, indice());
    avanzar();
    return negativo ? -v : v;
}

double Analizador::valorNumerico(std::string_view texto, Indice token)
{
    double v = 0;
    const auto [fin, ec] = std::from_chars(texto.data(), texto.data() + texto.size(), v);
    (void)fin;
    if (ec != std::errc())
        error(token, "el número " + describir(a.tokens[token]) + " está fuera de rango", false);
    return v;
}

// ---- Values -----------------------------------------------------------------------------------

Indice Analizador::expresion()
{
    return cadenaDeOperadores(false);
}
Indice Analizador::termino()
{
    return cadenaDeOperadores(true);
}

// a + b - c || d (additive) or a * b / c (multiplicative), as one flat node.
Indice Analizador::cadenaDeOperadores(bool multiplicativa)
{
    auto esOperador = [&] {
        return multiplicativa ? es(TipoToken::Por) || es(TipoToken::Barra)
                              : es(TipoToken::Mas) || es(TipoToken::Menos) || es(TipoToken::Concatenar);
    };
    auto operando = [&] { return multiplicativa ? factor() : termino(); };
    const std::size_t inicio = pos;
    const Indice primero = operando();
    if (!esOperador())
        return primero;
    Operacion op;
    exigirValor(primero);
    op.operandos.push_back(primero);
    while (esOperador()) {
        op.operadores.push_back(consumir());
        const Indice otro = operando();
        exigirValor(otro);
        op.operandos.push_back(otro);
    }
    return nueva(inicio, std::move(op));
}

Indice Analizador::factor()
{
    Nivel nivel(*this);
    if (nivel.excedido()) {
        abortarPorProfundidad();
        return erronea();
    }
    if (!es(TipoToken::Mas) && !es(TipoToken::Menos))
        return primario();
    const std::size_t inicio = pos;
    Unaria u;
    u.operador = consumir();
    u.operando = factor();
    exigirValor(u.operando);
    return nueva(inicio, u);
}

Indice Analizador::primario()
{
    const std::size_t inicio = pos;
    const Token& t = tok();
    switch (t.tipo) {
    case TipoToken::Numero:
    case TipoToken::Cadena: avanzar(); return nueva(inicio, Literal{});
    case TipoToken::AbreParentesis: return parentesis();
    case TipoToken::Identificador:
    case TipoToken::IdentificadorEntrecomillado: break;
    case TipoToken::Etiqueta:
    case TipoToken::InicioTrapecio:
    case TipoToken::Aproximado:
    case TipoToken::AbreCorchete:
        error(indice(), "una constante difusa solo puede ir tras un comparador difuso");
        return erronea();
    default: esperado("una expresión"); return erronea();
    }
    if (t.tipo == TipoToken::Identificador) {
        if (aceptarP("NULL"))
            return nueva(inicio, Literal{});
        if ((esP("DATE") || esP("TIMESTAMP")) && es(TipoToken::Cadena, 1)) {
            avanzar();
            avanzar();
            return nueva(inicio, Literal{});
        }
        if (esP("CASE"))
            return caso();
        if (esP("CDEG") && es(TipoToken::AbreParentesis, 1))
            return cdeg();
        if (esP("CAST") && es(TipoToken::AbreParentesis, 1))
            return conversion();
        if (esP("UNKNOWN") || esP("UNDEFINED")) {
            error(indice(), std::string(t.texto) + " solo puede ir tras un comparador difuso o tras IS");
            return erronea();
        }
        if (esReservada(t)) {
            esperado("una expresión");
            return erronea();
        }
    }
    return referencia();
}

// (subquery), (condition or value), or a list (a, b, ...).
Indice Analizador::parentesis()
{
    const std::size_t inicio = pos;
    if (empiezaSubconsulta()) {
        avanzar();
        const Indice c = consulta();
        cerrarParentesis();
        return nueva(inicio, Subconsulta{c});
    }
    avanzar();
    const Indice primero = condicion();
    if (!es(TipoToken::Coma)) {
        cerrarParentesis();
        return nueva(inicio, Parentesis{primero});
    }
    Lista l;
    exigirValor(primero);
    l.elementos.push_back(primero);
    while (aceptar(TipoToken::Coma))
        l.elementos.push_back(valor());
    cerrarParentesis();
    return nueva(inicio, std::move(l));
}

// A column, or a function call when a parenthesis follows the name.
Indice Analizador::referencia()
{
    const std::size_t inicio = pos;
    std::vector<Indice> partes{consumir()};
    while (es(TipoToken::Punto) && esNombre(1)) {
        avanzar();
        partes.push_back(consumir());
    }
    if (!es(TipoToken::AbreParentesis))
        return columna(inicio, partes);
    if (partes.size() > 3)
        error(partes.front(), "un nombre de función tiene como mucho tres partes", false);
    Funcion f;
    f.nombre = std::move(partes);
    avanzar(); // (
    if (aceptar(TipoToken::Por)) {
        f.asterisco = true;
    } else if (!es(TipoToken::CierraParentesis)) {
        if (esP("DISTINCT") || esP("ALL"))
            f.modificador = consumir();
        do {
            f.argumentos.push_back(valor());
        } while (aceptar(TipoToken::Coma));
    }
    cerrarParentesis();
    return nueva(inicio, std::move(f));
}

Indice Analizador::referenciaColumna()
{
    const std::size_t inicio = pos;
    std::vector<Indice> partes{consumir()};
    while (es(TipoToken::Punto) && esNombre(1)) {
        avanzar();
        partes.push_back(consumir());
    }
    return columna(inicio, partes);
}

Indice Analizador::columna(std::size_t inicio, const std::vector<Indice>& partes)
{
    if (partes.size() > 3)
        error(partes.front(), "un nombre de columna tiene como mucho tres partes: esquema.tabla.columna", false);
    Columna c;
    const std::size_t n = partes.size();
    c.nombre = partes[n - 1];
    if (n >= 2)
        c.tabla = partes[n - 2];
    if (n >= 3)
        c.esquema = partes[n - 3];
    return nueva(inicio, c);
}

Indice Analizador::caso()
{
    const std::size_t inicio = pos;
    avanzar(); // CASE
    Caso c;
    if (!esP("WHEN"))
        c.operando = valor();
    if (!esP("WHEN"))
        esperado("WHEN");
    while (aceptarP("WHEN")) {
        Caso::Rama r;
        r.cuando = c.operando == ninguno ? condicionExigida() : valor();
        esperarP("THEN");
        r.entonces = valor();
        c.ramas.push_back(r);
    }
    if (aceptarP("ELSE"))
        c.sino = valor();
    esperarP("END");
    return nueva(inicio, std::move(c));
}

Indice Analizador::cdeg()
{
    const std::size_t inicio = pos;
    const Indice palabra = consumir();
    avanzar(); // (
    Cdeg c;
    if (!aceptar(TipoToken::Por)) {
        if (esNombre())
            c.columna = referenciaColumna();
        else
            esperado("una columna o '*'");
    }
    cerrarParentesis();
    if (!cdegPermitido)
        error(palabra, "CDEG solo puede ir en la lista de selección o en ORDER BY", false);
    return nueva(inicio, c);
}

Indice Analizador::conversion()
{
    const std::size_t inicio = pos;
    avanzar(); // CAST
    avanzar(); // (
    Conversion c;
    c.operando = valor();
    if (esperarP("AS")) {
        // The type is copied as written: NUMBER(5,2), VARCHAR2(20 CHAR), DOUBLE PRECISION...
        const std::size_t inicioTipo = pos;
        for (int nivel = 0; !es(TipoToken::Fin) && !(nivel == 0 && es(TipoToken::CierraParentesis)); avanzar()) {
            if (es(TipoToken::AbreParentesis))
                ++nivel;
            else if (es(TipoToken::CierraParentesis))
                --nivel;
        }
        if (pos == inicioTipo)
            esperado("un tipo de datos");
        else
            c.tipo = tramoDesde(inicioTipo);
    }
    cerrarParentesis();
    return nueva(inicio, c);
}

} // namespace

Arbol analizar(std::string_view fuente)
{
    Arbol arbol;
    arbol.fuente = fuente;
    arbol.tokens = tokenizar(fuente);
    Analizador(arbol).analizar();
    return arbol;
}

} // namespace nieb
