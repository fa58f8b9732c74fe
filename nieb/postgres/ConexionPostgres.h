#pragma once

#include "Conexion.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nieb {

// A statement PostgreSQL refused, with its SQLSTATE (five characters) and message.
class ErrorPostgres : public ErrorBaseDatos {
public:
    ErrorPostgres(std::string sqlstate, const std::string& mensaje)
        : ErrorBaseDatos(mensaje)
        , sqlstate(std::move(sqlstate))
    {
    }
    bool porBloqueo() const override;
    // A cancel, a timeout or a shutdown: nothing more may run in this call.
    bool interrumpe() const;
    std::string sqlstate;
};

// The server inside PostgreSQL: statements through SPI, in the transaction of the call that runs it.
// Each statement runs in a subtransaction of its own, so that a statement PostgreSQL refuses becomes
// an ErrorPostgres and leaves the transaction usable; savepoints are subtransactions too. Lives
// between SPI_connect and SPI_finish of one call.
class ConexionPostgres : public Conexion {
public:
    ConexionPostgres() = default;
    ~ConexionPostgres() override;
    ConexionPostgres(const ConexionPostgres&) = delete;
    ConexionPostgres& operator=(const ConexionPostgres&) = delete;

    void ejecutar(std::string_view sql, const std::vector<Valor>& parametros = {}) override;
    std::vector<Fila> consultar(std::string_view sql, const std::vector<Valor>& parametros = {}) override;
    std::int64_t sesion() const override;
    std::vector<std::string> tablas() override;
    std::vector<std::string> consultables() override;
    std::vector<std::string> columnas(std::string_view tabla) override;
    std::vector<Identificado> tablasIdentificadas() override;
    std::vector<Identificado> columnasIdentificadas(std::string_view tabla) override;
    bool identidadesPropias() const override { return true; }
    bool soloLectura() const override;
    bool enTransaccion() const override { return true; }

    void empezarEscritura() override { abrirPunto(); }
    void confirmarTransaccion() override { liberarPunto(); }
    void deshacerTransaccion() override { volverAlPunto(); }
    void abrirPunto() override;
    void liberarPunto() override;
    void volverAlPunto() override;

    std::int64_t versionEsquema() override;
    void crearSeguimiento() override;
    void bloquearCatalogo() override;
    std::string tablaCompartida(std::string_view tabla) override;
    bool existeTemporal(std::string_view tabla) override;

    // The first cancel or timeout met in this call, which the caller must report rather than any
    // later error.
    const std::optional<ErrorPostgres>& interrupcion() const { return interrupcion_; }

private:
    std::vector<Fila> correr(std::string_view sql, const std::vector<Valor>& parametros, bool conFilas);
    [[noreturn]] void fallar(const char* sqlstate, const char* mensaje);
    void cerrarPunto(char orden);
    // Conditions on pg_namespace n: the schemas whose tables a query names without a schema (those of
    // the user's search path, the server's NIEB_PKG left out), and their order.
    std::string esquemasVisibles() const;
    std::string ordenDeBusqueda() const;
    // The catalogue is brought up to date as the role that owns it, so that any user's session may
    // renumber and drop attributes while only the owner may write labels; back to the user when the
    // savepoint it began under ends.
    void serPropietario();
    void dejarDeSerPropietario();

    struct Propietario {
        size_t punto;          // savepoints open when it began
        std::uint32_t usuario; // the user's role and security context, restored at the end
        int seguridad;
        int nivelGuc;
    };
    std::optional<Propietario> propietario_;
    std::string esquemas_ = "current_schemas(false)";
    std::optional<ErrorPostgres> interrupcion_;
    std::vector<std::pair<void*, void*>> puntos_; // memory context and resource owner under each savepoint
    std::string esquemaCatalogo_;
};

// "?1", "?2" written as "$1", "$2", outside strings, quoted names and comments.
std::string parametrosPostgres(std::string_view sql);

} // namespace nieb
