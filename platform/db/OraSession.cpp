#include "OraSession.h"

#include "ErrorOra.h"

namespace db {

std::shared_ptr<OraDatabase> OraSession::DbOpenDatabase(const QString& nombre, const QString& conexion, int)
{
    try {
        // The password may itself contain "/": only the first one separates it from the user name.
        const auto barra = conexion.indexOf(u'/');
        const QString usuario = barra < 0 ? conexion : conexion.left(barra);
        const QString clave = barra < 0 ? QString() : conexion.mid(barra + 1);
        auto base = std::make_shared<OraDatabase>(nombre.trimmed(), abrirBackend(nombre, usuario, clave));
        bases_.push_back(base);
        return base;
    } catch (const ErrorOra& e) {
        codigo_ = e.codigo();
        texto_ = e.texto();
        throw;
    }
}

void OraSession::LastServerErrReset()
{
    codigo_ = 0;
    texto_.clear();
    std::erase_if(bases_, [](const std::weak_ptr<OraDatabase>& b) { return b.expired(); });
    for (const auto& b : bases_)
        if (const auto base = b.lock())
            base->LastServerErrReset();
}

} // namespace db
