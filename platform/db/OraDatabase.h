#pragma once

#include "Backend.h"
#include "OraDynaset.h"
#include "OraParameters.h"

#include <memory>

namespace db {

// An open database: runs statements and package calls for its connection, keeps the bind
// parameters and the last server error. Every failing member records the error and throws ErrorOra.
class OraDatabase {
public:
    OraDatabase(QString nombre, std::unique_ptr<Backend> backend);

    const QString& nombre() const { return nombre_; }
    qint64 sesion() const { return backend_->sesion(); }
    OraParameters& Parameters() { return parametros_; }

    // Runs a statement without rows, or a PL/SQL block calling an installed server package with the
    // bound parameters; its output is stored in the parameter named on the left of ":=".
    void DbExecuteSQL(const QString& sql);
    // Runs a query. `retener` keeps only the first rows (all when negative); RecordCount is always the
    // whole result's. A statement that returns no rows is refused before it runs.
    std::unique_ptr<OraDynaset> DbCreateDynaset(const QString& sql, const QVariant& opciones = {}, qint64 retener = -1);
    // Runs a query and hands its rows to `lector` as they are stepped, keeping none: the first `leer`
    // (all when negative), the others only counted. Returns the whole result's row count.
    qint64 recorrerFilas(const QString& sql, LectorFilas& lector, qint64 leer = -1);

    int LastServerErr() const { return codigo_; }
    QString LastServerErrText() const { return texto_; }
    void LastServerErrReset();

    // Notices of the opening of the database, for the user.
    QStringList avisos() const { return backend_->avisos(); }

    // Asked now and then while a statement runs; returning true cancels it (error 1013).
    void setCancelador(std::function<bool()> cancelar) { backend_->setCancelador(std::move(cancelar)); }

private:
    template <typename F> auto registrando(F&& f);

    QString nombre_;
    std::unique_ptr<Backend> backend_;
    OraParameters parametros_;
    int codigo_ = 0;
    QString texto_;
};

} // namespace db
