#include "OraDatabase.h"

#include "DialectoOracle.h"
#include "ErrorOra.h"

namespace db {

OraDatabase::OraDatabase(QString nombre, std::unique_ptr<Backend> backend)
    : nombre_(std::move(nombre))
    , backend_(std::move(backend))
{
}

void OraDatabase::LastServerErrReset()
{
    codigo_ = 0;
    texto_.clear();
}

template <typename F> auto OraDatabase::registrando(F&& f)
{
    try {
        return f();
    } catch (const ErrorOra& e) {
        const ErrorOra revisado = backend_->revisar(e);
        codigo_ = revisado.codigo();
        texto_ = revisado.texto();
        throw revisado;
    }
}

void OraDatabase::DbExecuteSQL(const QString& sql)
{
    registrando([&] {
        if (!esBloque(sql)) {
            backend_->ejecutar(adaptarIdentificadores(sql), parametros_.enlaces());
            return;
        }
        QString causa;
        const auto llamada = analizarBloque(sql, &causa);
        if (!llamada)
            throw ErrorOra::bloqueNoAdmitido(causa);
        QList<QVariant> argumentos;
        for (const auto& a : llamada->argumentos)
            argumentos.append(a.enlace.isEmpty() ? a.literal : parametros_.valor(a.enlace));
        if (!llamada->salida.isEmpty() && !parametros_.contiene(llamada->salida))
            throw ErrorOra::variableSinEnlazar(llamada->salida);
        const QVariant resultado = backend_->llamar(*llamada, argumentos);
        if (!llamada->salida.isEmpty())
            parametros_.asignar(llamada->salida, resultado);
    });
}

std::unique_ptr<OraDynaset> OraDatabase::DbCreateDynaset(const QString& sql, const QVariant&, qint64 retener)
{
    return registrando([&] {
        if (esBloque(sql))
            throw ErrorOra::noEsConsulta();
        return std::make_unique<OraDynaset>(
            backend_->consultar(adaptarIdentificadores(sql), parametros_.enlaces(), retener));
    });
}

qint64 OraDatabase::recorrerFilas(const QString& sql, LectorFilas& lector, qint64 leer)
{
    return registrando([&] {
        if (esBloque(sql))
            throw ErrorOra::noEsConsulta();
        return backend_->recorrer(adaptarIdentificadores(sql), parametros_.enlaces(), lector, leer);
    });
}

} // namespace db
