#pragma once

#include "Conexion.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace nieb {

// Owns a prepared statement: finalised with the object.
struct FinalizarSentencia {
    void operator()(sqlite3_stmt* s) const;
};
using Sentencia = std::unique_ptr<sqlite3_stmt, FinalizarSentencia>;

// One SQLite database handle, closed with the object. Errors become ErrorSqlite with SQLite's own
// result code and message, for the caller to map.
class ErrorSqlite : public ErrorBaseDatos {
public:
    ErrorSqlite(int codigo, const std::string& mensaje)
        : ErrorBaseDatos(mensaje)
        , codigo(codigo)
    {
    }
    bool porBloqueo() const override;
    // True when SQLite found the file damaged, or not a database at all.
    bool porDano() const;
    int codigo; // SQLite's extended result code
};

class ConexionSqlite : public Conexion {
public:
    // Inmutable reads a file nobody can write to, when SQLite cannot set up its shared reading state
    // beside it (a WAL database in a folder that cannot be written).
    enum class Apertura { Existente, Crear, Inmutable };

    ConexionSqlite(const std::string& ruta, Apertura apertura);
    ~ConexionSqlite() override;
    ConexionSqlite(const ConexionSqlite&) = delete;
    ConexionSqlite& operator=(const ConexionSqlite&) = delete;

    sqlite3* handle() const { return db_; }
    void setSesion(std::int64_t sesion) { sesion_ = sesion; }

    void ejecutar(std::string_view sql, const std::vector<Valor>& parametros = {}) override;
    // Runs every statement of the text in turn, each bound by `enlazar` before it runs.
    void ejecutarSentencias(std::string_view sql, const std::function<void(sqlite3_stmt*)>& enlazar);
    std::vector<Fila> consultar(std::string_view sql, const std::vector<Valor>& parametros = {}) override;
    std::int64_t sesion() const override { return sesion_; }
    std::vector<std::string> tablas() override;
    std::vector<std::string> consultables() override;
    std::vector<Identificado> tablasIdentificadas() override;
    std::vector<std::string> columnas(std::string_view tabla) override;

    std::int64_t versionEsquema() override;
    void crearSeguimiento() override;
    void aplazarClavesAjenas() override;
    std::string tablaCompartida(std::string_view tabla) override { return "main." + std::string(tabla); }

    bool existeTabla(std::string_view nombre);
    bool soloLectura() const override;
    bool enTransaccion() const override;

    // Once SQLite has reported the file as damaged the connection writes nothing more to it: every
    // change is refused, and closing does not copy the journal into the file.
    bool danada() const { return danada_; }
    void marcarDanada();

    // How long a statement waits for another connection's lock before it fails as busy.
    static inline int esperaPorBloqueoMs = 5000;
    // Throws SQLite's error for `codigo`; a damaged file marks the connection.
    [[noreturn]] void fallar(int codigo);

private:
    sqlite3* db_ = nullptr;
    std::int64_t sesion_ = 0;
    bool danada_ = false;
    std::map<std::string, std::shared_ptr<sqlite3_stmt>, std::less<>> preparadas_;
};

// The server's SQL functions that do not depend on a session: LEAST and GREATEST as the client's
// statements expect them (NULL when any argument is NULL).
void registrarFuncionesComunes(sqlite3* db);

// Puts a database into WAL mode, in which readers and one writer do not wait for each other. Needs a
// moment when no other connection is reading; false when there was none or the file refuses it.
bool usarWal(ConexionSqlite& conexion);

// True when the NIEB catalogue is installed in the database.
bool servidorInstalado(ConexionSqlite& conexion);

// Installs the NIEB catalogue and package into the database, owned by `propietario`, in one transaction.
// `versionSgbd` is recorded in NIEB_INFO; `fecha` is the installation date (YYYY-MM-DD).
void instalarServidor(ConexionSqlite& conexion, const std::string& propietario, const std::string& fecha);

} // namespace nieb
