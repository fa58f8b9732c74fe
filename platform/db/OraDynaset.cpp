#include "OraDynaset.h"

#include "ErrorOra.h"

using namespace Qt::StringLiterals;

namespace db {

QString OraField::Name() const
{
    return dynaset_.r_.nombres.value(indice_);
}

int OraField::OraMaxDSize() const
{
    return dynaset_.r_.tamanos.value(indice_);
}

QVariant OraField::Value() const
{
    const auto& r = dynaset_.r_;
    if (dynaset_.Bof() || dynaset_.Eof())
        throw ErrorOra(
            NimboCampoInexistente, u"NIMBO-20102: No hay fila actual: se ha pasado del principio o del final."_s);
    return r.celdas.valor(dynaset_.fila_, indice_);
}

int OraFields::Count() const
{
    return int(dynaset_.r_.nombres.size());
}

OraField OraFields::operator()(int posicion) const
{
    if (posicion < 0 || posicion >= Count())
        throw ErrorOra::campoInexistente(QString::number(posicion));
    return OraField(dynaset_, posicion);
}

OraField OraFields::operator()(const QString& nombre) const
{
    for (int i = 0; i < Count(); ++i)
        if (dynaset_.r_.nombres[i].compare(nombre, Qt::CaseInsensitive) == 0)
            return OraField(dynaset_, i);
    throw ErrorOra::campoInexistente(nombre);
}

} // namespace db
