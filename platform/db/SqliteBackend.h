#pragma once

#include "Backend.h"
#include "ConexionSqlite.h"
#include "ErrorOra.h"

#include <optional>

namespace db {

// A connection to an SQLite file. On a file prepared by Nimbo it checks the account and numbers the
// session in the file; on any other SQLite file every user is let in and the session gets a random
// number. Both see the client's dialect: DUAL, USERENV, LEAST/GREATEST and the dictionary views.
class SqliteBackend : public Backend {
public:
    SqliteBackend(const QString& ruta, const QString& usuario, const QString& clave);
    ~SqliteBackend() override;

    qint64 sesion() const override { return conexion_.sesion(); }
    void ejecutar(const QString& sql, const Enlaces& enlaces) override;
    Resultado consultar(const QString& sql, const Enlaces& enlaces, qint64 retener) override;
    qint64 recorrer(const QString& sql, const Enlaces& enlaces, LectorFilas& lector, qint64 leer) override;
    QVariant llamar(const LlamadaBloque& llamada, const QList<QVariant>& argumentos) override;
    void setCancelador(std::function<bool()> cancelar) override { cancelar_ = std::move(cancelar); }

private:
    void crearDiccionario(const QString& usuario, std::optional<qint64> idCuenta);
    ErrorOra traducir(const nieb::ErrorBaseDatos& e) const;
    struct Vigilancia;

    nieb::ConexionSqlite conexion_;
    bool servidor_ = false;
    std::function<bool()> cancelar_;
};

} // namespace db
