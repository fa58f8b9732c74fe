#pragma once

#include "Backend.h"
#include "ConexionSqlite.h"
#include "ErrorOra.h"

#include <optional>

namespace db {

// A connection to an SQLite file. On a file prepared by Nimbo it checks the account and numbers the
// session in the file (in WAL mode, so that neither waits for readers); on any other SQLite file, and
// on a file it cannot write, every user is let in and the session gets a random number. Both see the
// client's dialect: DUAL, USERENV, LEAST/GREATEST and the dictionary views.
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
    ErrorOra revisar(const ErrorOra& error) override;
    QStringList avisos() const override { return avisos_; }
    void anadirAviso(const QString& aviso) { avisos_.append(aviso); }

private:
    void abrirSesion(std::optional<qint64> idCuenta);
    void crearDiccionario(const QString& usuario, std::optional<qint64> idCuenta);
    ErrorOra traducir(const nieb::ErrorBaseDatos& e) const;
    // Refuses any further work that could write once the file was found damaged.
    void exigirSano() const;
    struct Vigilancia;

    QString ruta_;
    nieb::ConexionSqlite conexion_;
    bool servidor_ = false;
    std::function<bool()> cancelar_;
    QStringList avisos_;
};

// Opens the embedded database ("2:") or the SQLite file a name ending in .db, .sqlite or .sqlite3 names;
// nullptr for any other name.
std::unique_ptr<Backend> abrirSqlite(const QString& nombre, const QString& usuario, const QString& clave);

} // namespace db
