#pragma once

#include "Backend.h"

#include <libpq-fe.h>

#include <memory>
#include <optional>

namespace db {

struct CerrarConexionPg {
    void operator()(PGconn* c) const { PQfinish(c); }
};
struct LiberarResultadoPg {
    void operator()(PGresult* r) const { PQclear(r); }
};
using ConexionPg = std::unique_ptr<PGconn, CerrarConexionPg>;
using ResultadoPg = std::unique_ptr<PGresult, LiberarResultadoPg>;

// The libpq connection keywords and values for a name that denotes a PostgreSQL server, or nullopt for
// any other name. Names: "host:port/dbname", "host/dbname" ("[::1]:5432/db" for IPv6) and the URIs
// "postgresql://…" and "postgres://…". The login's user and password win over the URI's; a URI's own
// ones are used when the login leaves them empty.
std::optional<QList<QPair<QByteArray, QByteArray>>> parametrosPostgres(
    const QString& nombre, const QString& usuario, const QString& clave);

// A connection to a PostgreSQL database. The session number is the server process's id. Queries run
// in a read-only transaction, so that one that would change data is refused; their rows are streamed
// one at a time, so only the kept ones take memory. Every statement is sent asynchronously and the
// cancel function is asked while it runs.
class PostgresBackend : public Backend {
public:
    PostgresBackend(const QString& nombre, const QString& usuario, const QString& clave);

    qint64 sesion() const override { return sesion_; }
    void ejecutar(const QString& sql, const Enlaces& enlaces) override;
    Resultado consultar(const QString& sql, const Enlaces& enlaces, qint64 retener) override;
    qint64 recorrer(const QString& sql, const Enlaces& enlaces, LectorFilas& lector, qint64 leer) override;
    QVariant llamar(const LlamadaBloque& llamada, const QList<QVariant>& argumentos) override;
    void setCancelador(std::function<bool()> cancelar) override { cancelar_ = std::move(cancelar); }

    // Runs a script of many statements (functions with dollar-quoted bodies too) in one transaction,
    // unless it manages its own.
    void ejecutarGuion(const QString& guion);
    // Whether the NIEB server's package is installed in the database.
    bool servidorInstalado() const { return servidor_; }

private:
    class Envio;
    class Valores;
    template <typename Empezar, typename Fila>
    qint64 pasarFilas(const QString& sql, const Enlaces& enlaces, qint64 leer, Empezar&& empezar, Fila&& fila);
    // Runs a text of several statements, in a transaction of its own when `propia`.
    void ejecutarTexto(const QString& texto, bool propia);
    // The rows of a query stopped once its rows to read were in, counted in the same snapshot.
    qint64 contarAparte(QString texto, const Valores& valores);
    // Takes the results of statements that return no rows; throws the first failure.
    void terminarSinFilas(Envio& envio);
    // A short statement of the backend's own, run to its end; its failure is thrown.
    ResultadoPg interna(const char* sql);
    void exigirConexion() const;
    ErrorOra errorDe(const PGresult* r) const;
    ErrorOra errorDeLlamada(const PGresult* r, const LlamadaBloque& llamada);

    ConexionPg conexion_;
    qint64 sesion_ = 0;
    bool servidor_ = false;
    std::function<bool()> cancelar_;
};

// Opens the PostgreSQL database a name denotes (see parametrosPostgres); nullptr for any other name.
std::unique_ptr<Backend> abrirPostgres(const QString& nombre, const QString& usuario, const QString& clave);

} // namespace db
