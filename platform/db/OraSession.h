#pragma once

#include "OraDatabase.h"

#include <memory>
#include <vector>

namespace db {

// The library's entry: opens databases and reports the last server error of its actions. A database
// opened from a session lives on its own: it stays usable when the session is replaced.
class OraSession {
public:
    // Opens `nombre` with a connect string "user/password". The options value is accepted and unused.
    // On failure the error is recorded here and thrown as ErrorOra.
    std::shared_ptr<OraDatabase> DbOpenDatabase(const QString& nombre, const QString& conexion, int opciones = 0);

    int LastServerErr() const { return codigo_; }
    QString LastServerErrText() const { return texto_; }
    // Clears the last server error here and on the databases opened from this session.
    void LastServerErrReset();

private:
    int codigo_ = 0;
    QString texto_;
    std::vector<std::weak_ptr<OraDatabase>> bases_;
};

} // namespace db
