#pragma once

#include "Catalogo.h"
#include "Conexion.h"
#include "Traductor.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nieb {

// A call the package cannot take: an unknown function, or the wrong number of arguments.
class ErrorLlamada : public std::runtime_error {
public:
    enum class Motivo { FuncionDesconocida, ArgumentosIncorrectos };
    ErrorLlamada(Motivo motivo, const std::string& funcion)
        : std::runtime_error(funcion)
        , motivo(motivo)
    {
    }
    Motivo motivo;
};

// NIEB_PKG: the server's entry points, run inside the caller's database session.
class Paquete {
public:
    static constexpr std::string_view nombre = "NIEB_PKG";

    explicit Paquete(Conexion& conexion, Dialecto dialecto = {})
        : conexion_(conexion)
        , catalogo_(conexion)
        , dialecto_(dialecto)
    {
    }

    // Runs NIEB_PKG.<funcion>(argumentos). Procedures return NULL.
    Valor llamar(std::string_view funcion, const std::vector<Valor>& argumentos);

    // The backend calls it when a connection opens, inside a short writing transaction: counts the
    // session in NIEB_STATS, numbers new tables and drops rows that earlier versions left in the
    // shared NIEB_QUERY and NIEB_ERRORS.
    void sesionIniciada();

    // Gives the session its own NIEB_QUERY and NIEB_ERRORS: temporary tables of the connection that
    // stand in front of the catalogue's. No other session sees them, they go with the connection
    // however it ends (a killed process too), and filling them never locks the database file.
    void prepararSesion();

    // Translates a NIEB query: 0 and the SQL in NIEB_QUERY, or the number of errors and their texts in
    // NIEB_ERRORS. Either way the session's previous rows of both go. The translation itself only
    // reads the catalogue; the file is written, briefly, to number tables made since the last look and
    // to count the translation.
    std::int64_t NIEB2SQL(std::string_view consulta);
    std::int64_t NIEB_OBJ(std::string_view esquema, std::string_view tabla);
    std::int64_t NIEB_COL(std::string_view esquema, std::string_view tabla, std::string_view columna);
    int NIEB_FTYPE(std::int64_t tabla, std::int64_t columna);
    void NIEB_FIN();

private:
    // Adds to NIEB_STATS counters. Counting is dropped, not the caller's work, when the file cannot
    // be written or another connection holds it longer than the wait.
    void contar(const std::vector<std::pair<std::string, std::int64_t>>& eventos);
    void sincronizarTablas();

    Conexion& conexion_;
    Catalogo catalogo_;
    Dialecto dialecto_;
};

} // namespace nieb
