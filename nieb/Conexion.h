#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace nieb {

// A value as it crosses between the server and its database: SQL NULL, integer, real or text.
using Valor = std::variant<std::monostate, std::int64_t, double, std::string>;
using Fila = std::vector<Valor>;

inline bool esNulo(const Valor& v)
{
    return std::holds_alternative<std::monostate>(v);
}
// Integer reading of a value the way SQL would take it (text is parsed; NULL and junk give 0).
std::int64_t comoEntero(const Valor& v);
double comoReal(const Valor& v);
std::string comoTexto(const Valor& v);

// A failure of the database under the server. The backend maps it to the client's error codes.
class ErrorBaseDatos : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // True when another connection held a lock longer than the connection waits.
    virtual bool porBloqueo() const { return false; }
};

// A table or a column by its name and by what the database knows it as beyond the name: a number that
// a rename keeps, 0 where the database has none.
struct Identificado {
    std::string nombre;
    std::int64_t identidad = 0;
};

inline std::vector<std::string> nombresDe(std::vector<Identificado> objetos)
{
    std::vector<std::string> r;
    r.reserve(objetos.size());
    for (auto& o : objetos)
        r.push_back(std::move(o.nombre));
    return r;
}

// What the server needs from the database it is installed in: statements with positional
// parameters (?1, ?2, ...) and the number of the session it serves. Each backend provides one.
class Conexion {
public:
    virtual ~Conexion() = default;
    virtual void ejecutar(std::string_view sql, const std::vector<Valor>& parametros = {}) = 0;
    virtual std::vector<Fila> consultar(std::string_view sql, const std::vector<Valor>& parametros = {}) = 0;
    virtual std::int64_t sesion() const = 0;
    // The database's own dictionary: its tables and views, and a table's columns in order.
    virtual std::vector<std::string> tablas() = 0;
    // What a query may name: the tables and views, and the connection's own objects (such as DUAL).
    virtual std::vector<std::string> consultables() { return tablas(); }
    virtual std::vector<std::string> columnas(std::string_view tabla) = 0;
    // The same with each one's identity, which tells a renamed table or column from a new one. Where
    // identities are the objects' own, no other object ever takes one; otherwise one is only a hint, which
    // an object made after another's drop may inherit.
    virtual std::vector<Identificado> tablasIdentificadas() { return sinIdentidad(tablas()); }
    virtual std::vector<Identificado> columnasIdentificadas(std::string_view tabla)
    {
        return sinIdentidad(columnas(tabla));
    }
    virtual bool identidadesPropias() const { return false; }
    // A connection that may not write to the database: the server keeps its output in the session and
    // leaves the shared tables as they are.
    virtual bool soloLectura() const { return false; }
    // Whether a transaction is open on the connection.
    virtual bool enTransaccion() const = 0;
    // Starts a transaction that holds the right to write from its first statement, waiting for
    // other writers rather than failing halfway through.
    virtual void empezarEscritura() { ejecutar("BEGIN IMMEDIATE"); }
    virtual void confirmarTransaccion() { ejecutar("COMMIT"); }
    virtual void deshacerTransaccion() { ejecutar("ROLLBACK"); }
    // A savepoint inside the open transaction; savepoints nest, the last opened is the one closed.
    virtual void abrirPunto() { ejecutar("SAVEPOINT nieb"); }
    virtual void liberarPunto() { ejecutar("RELEASE nieb"); }
    virtual void volverAlPunto()
    {
        ejecutar("ROLLBACK TO nieb");
        ejecutar("RELEASE nieb");
    }

    // What the catalogue needs of the database's own machinery:
    // a number that changes whenever a table or a column is made, dropped, renamed or moved;
    virtual std::int64_t versionEsquema() = 0;
    // the tables that follow columns and tables across changes (NIEB_COLUMNAS and what keeps it
    // filled, NIEB_SINCRONIA, NIEB_ESTRUCTURA), made when an older catalogue lacks them;
    virtual void crearSeguimiento() { }
    // keep other sessions from bringing the catalogue up to date until this transaction ends (where
    // writers do not already wait for each other);
    virtual void bloquearCatalogo() { }
    // leave the checks of foreign keys to the end of the transaction, so that keys can be renumbered;
    virtual void aplazarClavesAjenas() { }
    // the catalogue's own table of that name, not the session's temporary one in front of it;
    virtual std::string tablaCompartida(std::string_view tabla) { return std::string(tabla); }
    // whether the session has its temporary table of that name already (false: make sure it has).
    virtual bool existeTemporal(std::string_view) { return false; }

private:
    static std::vector<Identificado> sinIdentidad(std::vector<std::string> nombres)
    {
        std::vector<Identificado> r;
        r.reserve(nombres.size());
        for (auto& n : nombres)
            r.push_back({std::move(n), 0});
        return r;
    }
};

// Runs a group of statements as one unit: committed by confirmar(), rolled back otherwise. Inside an
// open transaction it is a savepoint of that one. A writing unit opened outside any transaction takes
// the write lock at its start (waiting for other writers), so it cannot fail halfway because another
// connection wrote in between; it should be kept short, as it keeps other writers waiting.
class Transaccion {
public:
    enum class Modo { Lectura, Escritura };
    explicit Transaccion(Conexion& conexion, Modo modo = Modo::Lectura);
    ~Transaccion();
    void confirmar();
    Transaccion(const Transaccion&) = delete;
    Transaccion& operator=(const Transaccion&) = delete;

private:
    Conexion& conexion_;
    bool propia_ = false; // a transaction of its own rather than a savepoint
    bool abierta_ = true;
};

} // namespace nieb
