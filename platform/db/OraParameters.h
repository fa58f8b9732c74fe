#pragma once

#include "Backend.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace db {

// The bind parameters of a database: named values going into a statement (direction 1) or set by it
// (direction 2). Names are matched without regard to case.
class OraParameters {
public:
    enum Direccion { Entrada = 1, Salida = 2 };

    void Add(const QString& nombre, const QVariant& valor, int direccion);
    // Unbinding a name that was never bound is not an error.
    void Remove(const QString& nombre);
    // The server type is chosen from the value; naming one changes nothing.
    void setServerType(const QString&, const QVariant&) { }
    int Count() const { return int(parametros_.size()); }
    bool contiene(const QString& nombre) const;
    // The value of a bound name (after a run, an output's value); throws ErrorOra when not bound.
    QVariant valor(const QString& nombre) const;
    QVariant operator()(const QString& nombre) const { return valor(nombre); }

    void asignar(const QString& nombre, const QVariant& valor);
    Enlaces enlaces() const;

private:
    struct Parametro {
        QString nombre;
        QVariant valor;
        int direccion;
    };
    QList<Parametro> parametros_;
};

} // namespace db
