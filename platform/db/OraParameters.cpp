#include "OraParameters.h"

#include "ErrorOra.h"

#include <algorithm>

namespace db {

namespace {
QString clave(const QString& nombre)
{
    QString n = nombre.trimmed().toUpper();
    return n.startsWith(u':') ? n.mid(1) : n;
}
} // namespace

void OraParameters::Add(const QString& nombre, const QVariant& valor, int direccion)
{
    Remove(nombre);
    parametros_.append({clave(nombre), valor, direccion});
}

void OraParameters::Remove(const QString& nombre)
{
    const QString c = clave(nombre);
    parametros_.removeIf([&](const Parametro& p) { return p.nombre == c; });
}

bool OraParameters::contiene(const QString& nombre) const
{
    const QString c = clave(nombre);
    return std::ranges::any_of(parametros_, [&](const Parametro& p) { return p.nombre == c; });
}

QVariant OraParameters::valor(const QString& nombre) const
{
    const QString c = clave(nombre);
    for (const auto& p : parametros_)
        if (p.nombre == c)
            return p.valor;
    throw ErrorOra::variableSinEnlazar(nombre);
}

void OraParameters::asignar(const QString& nombre, const QVariant& valor)
{
    const QString c = clave(nombre);
    for (auto& p : parametros_)
        if (p.nombre == c)
            p.valor = valor;
}

Enlaces OraParameters::enlaces() const
{
    Enlaces e;
    for (const auto& p : parametros_)
        e.insert(p.nombre, p.valor);
    return e;
}

} // namespace db
