#include "GradosDifusos.h"

#include "Nombres.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace nieb {

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

bool ordenado(const Trapecio& t)
{
    return t.a <= t.b && t.b <= t.c && t.c <= t.d;
} // false with a NaN

// A ramp with an end at infinity is flat in the limit. Its outer end at infinity makes that side a
// shoulder at 1: (-inf, 5, ...) rises to 1 everywhere below 5. Its inner end at infinity leaves no finite
// point above 0: (5, +inf, +inf, +inf) is empty. Afterwards every ramp has two finite ends.
Trapecio normalizado(Trapecio t)
{
    if (t.a == -inf)
        t.b = -inf;
    if (t.d == inf)
        t.c = inf;
    if (t.b == inf)
        t.a = inf;
    if (t.c == -inf)
        t.d = -inf;
    return t;
}

// No finite point with membership above 0 (only after normalizado).
bool vacio(const Trapecio& t)
{
    return t.b == inf || t.c == -inf;
}

// A membership function as the evaluation sees it: a trapezoid whose vertical edges may be open. An open
// edge excludes its point (membership 0 there): the strict comparators need that.
struct Forma {
    Trapecio t;
    bool izquierdaAbierta = false;
    bool derechaAbierta = false;
};

double en(const Forma& f, double x)
{
    const Trapecio& t = f.t;
    if (x < t.a || x > t.d)
        return 0;
    if (x < t.b)
        return (x - t.a) / (t.b - t.a);
    if (x > t.c)
        return (t.d - x) / (t.d - t.c);
    // Core. x == a here means a == b: a vertical edge, in the core unless open.
    if ((f.izquierdaAbierta && x == t.a) || (f.derechaAbierta && x == t.d))
        return 0;
    return 1;
}

// Limits from below and from above: what a sup or inf over an open stretch can approach without reaching.
double porIzquierda(const Trapecio& t, double x)
{
    if (x <= t.a)
        return 0;
    if (x <= t.b)
        return (x - t.a) / (t.b - t.a);
    if (x <= t.c)
        return 1;
    if (x <= t.d)
        return (t.d - x) / (t.d - t.c);
    return 0;
}

double porDerecha(const Trapecio& t, double x)
{
    if (x < t.a)
        return 0;
    if (x < t.b)
        return (x - t.a) / (t.b - t.a);
    if (x < t.c)
        return 1;
    if (x < t.d)
        return (t.d - x) / (t.d - t.c);
    return 0;
}

double enMenosInfinito(const Trapecio& t)
{
    return t.b == -inf && t.c > -inf ? 1 : 0;
}
double enMasInfinito(const Trapecio& t)
{
    return t.c == inf && t.b < inf ? 1 : 0;
}

// The line sentido * (x - pie) / ancho of a ramp: sentido +1 rises from 0 at pie, -1 falls to 0 at pie.
struct Rampa {
    double pie, ancho, sentido;
};

struct Rampas {
    std::array<Rampa, 2> r;
    int n = 0;
};

// The ramps of t, or of 1 - t (each ramp turned over) when complemento.
Rampas rampas(const Trapecio& t, bool complemento)
{
    Rampas res;
    if (t.a < t.b)
        res.r[res.n++] = complemento ? Rampa{t.b, t.b - t.a, -1} : Rampa{t.a, t.b - t.a, 1};
    if (t.c < t.d)
        res.r[res.n++] = complemento ? Rampa{t.c, t.d - t.c, 1} : Rampa{t.d, t.d - t.c, -1};
    return res;
}

// Where the two lines cross; NaN or infinite when they are parallel.
double cruce(const Rampa& u, const Rampa& v)
{
    const double den = u.sentido * v.ancho - v.sentido * u.ancho;
    return (u.sentido * v.ancho * u.pie - v.sentido * u.ancho * v.pie) / den;
}

// Breakpoints of both functions and crossings of their ramps: at most 8 + 2 * 2.
struct Candidatos {
    std::array<double, 12> x;
    int n = 0;
    void anadir(double v)
    {
        if (std::isfinite(v))
            x[n++] = v;
    }
};

// sup of min(muA, muP) (possibility) or inf of max(1 - muA, muP) (necessity) over the whole line. Between
// two consecutive candidates both functions are linear and do not cross, so the combination is linear
// there and its extreme over the stretch is one of the limits at its ends. Taking each candidate's value,
// its two one-sided limits, and the constant values towards both infinities is therefore exact.
double extremo(Modo modo, const Trapecio& a, const Forma& p)
{
    const bool posibilidad = modo == Modo::Posibilidad;
    auto combinar
        = [posibilidad](double ma, double mp) { return posibilidad ? std::min(ma, mp) : std::max(1 - ma, mp); };
    auto mejor = [posibilidad](double r, double v) { return posibilidad ? std::max(r, v) : std::min(r, v); };
    const double tope = posibilidad ? 1 : 0;

    const double haciaMenosInfinito = combinar(enMenosInfinito(a), enMenosInfinito(p.t));
    double r = mejor(haciaMenosInfinito, combinar(enMasInfinito(a), enMasInfinito(p.t)));
    Candidatos c;
    for (double x : {a.a, a.b, a.c, a.d, p.t.a, p.t.b, p.t.c, p.t.d})
        c.anadir(x);
    const Rampas ra = rampas(a, !posibilidad);
    const Rampas rp = rampas(p.t, false);
    for (int i = 0; i < ra.n; ++i)
        for (int j = 0; j < rp.n; ++j)
            c.anadir(cruce(ra.r[i], rp.r[j]));

    const Forma fa{a};
    for (int i = 0; i < c.n && r != tope; ++i) {
        const double x = c.x[i];
        r = mejor(r, combinar(en(fa, x), en(p, x)));
        r = mejor(r, combinar(porIzquierda(a, x), porIzquierda(p.t, x)));
        r = mejor(r, combinar(porDerecha(a, x), porDerecha(p.t, x)));
    }
    return r;
}

// The predicate "x op b". The strict comparators open the vertical edge at the excluded point; where
// that edge is sloped its foot is 0 anyway.
Forma predicado(Comparador op, const Trapecio& b, double mucho)
{
    switch (op) {
    case Comparador::FEQ: return {b};
    case Comparador::FGEQ: return {{b.a, b.b, inf, inf}};
    case Comparador::FGT: return {{b.c, b.d, inf, inf}, true, false};
    case Comparador::FLEQ: return {{-inf, -inf, b.c, b.d}};
    case Comparador::FLT: return {{-inf, -inf, b.a, b.b}, false, true};
    case Comparador::MGT: return {{b.d, b.d + mucho, inf, inf}, true, false};
    case Comparador::MLT: return {{-inf, -inf, b.a - mucho, b.a}, false, true};
    }
    return {b};
}

struct Nombre {
    std::string_view texto;
    OperadorDifuso op;
};

constexpr std::array<Nombre, 14> nombres{{
    {"FEQ", {Comparador::FEQ, Modo::Posibilidad}},
    {"NFEQ", {Comparador::FEQ, Modo::Necesidad}},
    {"FGEQ", {Comparador::FGEQ, Modo::Posibilidad}},
    {"NFGEQ", {Comparador::FGEQ, Modo::Necesidad}},
    {"FGT", {Comparador::FGT, Modo::Posibilidad}},
    {"NFGT", {Comparador::FGT, Modo::Necesidad}},
    {"FLEQ", {Comparador::FLEQ, Modo::Posibilidad}},
    {"NFLEQ", {Comparador::FLEQ, Modo::Necesidad}},
    {"FLT", {Comparador::FLT, Modo::Posibilidad}},
    {"NFLT", {Comparador::FLT, Modo::Necesidad}},
    {"MGT", {Comparador::MGT, Modo::Posibilidad}},
    {"NMGT", {Comparador::MGT, Modo::Necesidad}},
    {"MLT", {Comparador::MLT, Modo::Posibilidad}},
    {"NMLT", {Comparador::MLT, Modo::Necesidad}},
}};

} // namespace

std::optional<double> grado(Comparador op, Modo modo, const ValorDifuso& a, const ValorDifuso& b, double mucho)
{
    if (a.clase == Clase::Nulo || b.clase == Clase::Nulo)
        return std::nullopt;
    if ((a.clase == Clase::Definido && !ordenado(a.t)) || (b.clase == Clase::Definido && !ordenado(b.t)))
        return std::nullopt;
    const bool usaMucho = op == Comparador::MGT || op == Comparador::MLT;
    if (usaMucho && b.clase == Clase::Definido && !(mucho >= 0))
        return std::nullopt;
    if (a.clase == Clase::Indefinido || b.clase == Clase::Indefinido)
        return 0.0;

    // UNKNOWN on the left: every value possible. On the right: every value admitted, whatever op says.
    constexpr Trapecio todo{-inf, -inf, inf, inf};
    const Trapecio ta = a.clase == Clase::Desconocido ? todo : normalizado(a.t);
    Forma p{todo};
    if (b.clase == Clase::Definido) {
        const Trapecio tb = normalizado(b.t);
        if (vacio(tb))
            return 0.0; // no possible value: as UNDEFINED
        p = predicado(op, tb, mucho);
        p.t = normalizado(p.t);
    }
    if (vacio(ta))
        return 0.0;
    if (ta.a == ta.d)
        return en(p, ta.a); // crisp: possibility and necessity are both muP(v)
    return extremo(modo, ta, p);
}

std::optional<OperadorDifuso> leerComparador(std::string_view nombre)
{
    for (const Nombre& n : nombres)
        if (mismoNombre(nombre, n.texto))
            return n.op;
    return std::nullopt;
}

std::string_view nombreComparador(Comparador comparador, Modo modo)
{
    for (const Nombre& n : nombres)
        if (n.op == OperadorDifuso{comparador, modo})
            return n.texto;
    return {};
}

std::optional<ValorDifuso> decodificarTipo2(const FilaTipo2& fila, double margen)
{
    if (!fila.xt)
        return nulo();
    auto finito = [](const std::optional<double>& x) { return x && std::isfinite(*x); };
    auto siOrdenado = [](Trapecio t) { return ordenado(t) ? std::optional(definido(t)) : std::nullopt; };
    switch (*fila.xt) {
    case 0: return desconocido();
    case 1: return indefinido();
    case 2: return nulo();
    case 3:
        if (finito(fila.x1))
            return nitido(*fila.x1);
        break;
    case 5:
        if (finito(fila.x1) && finito(fila.x2))
            return siOrdenado({*fila.x1, *fila.x1, *fila.x2, *fila.x2});
        break;
    case 6:
        if (finito(fila.x1) && std::isfinite(margen) && margen >= 0)
            return aproximado(*fila.x1, margen);
        break;
    case 7:
        if (finito(fila.x1) && finito(fila.x2) && finito(fila.x3) && finito(fila.x4))
            return siOrdenado({*fila.x1, *fila.x2, *fila.x3, *fila.x4});
        break;
    default: break; // 4 (a label) is resolved by the caller; anything else is not a kind
    }
    return std::nullopt;
}

} // namespace nieb
