#pragma once

#include "InstalacionPostgres.h"
#include "PostgresBackend.h"

#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QString>

// A database of its own for a test on the PostgreSQL server the environment names: NIMBO_PG (a
// database to connect to, host:port/dbname), NIMBO_PG_USUARIO and NIMBO_PG_CLAVE (a role that may
// create databases and install C functions). The database, "nimbo_" and random letters, is created
// with the NIEB server (and the demo) installed, and dropped with every connection to it when the
// object goes, so that tests may run at the same time.
class BasePostgres {
public:
    enum class Contenido { Vacia, Servidor, ServidorYDemo };

    // Why tests on PostgreSQL cannot run here, or empty when they can.
    static QString sinServidor()
    {
        if (variable("NIMBO_PG").isEmpty())
            return QStringLiteral("NIMBO_PG is not set (scripts/postgres.sh start prints the variables)");
        return {};
    }

    // Whether this build has the scripts that install the server and the demo.
    static bool conGuiones()
    {
        return !db::guionPostgres(db::GuionPostgres::Servidor).trimmed().isEmpty()
            && !db::guionPostgres(db::GuionPostgres::Demo).trimmed().isEmpty();
    }

    explicit BasePostgres(Contenido contenido = Contenido::ServidorYDemo)
        : admin_(variable("NIMBO_PG"))
    {
        if (admin_.isEmpty()) {
            error_ = sinServidor();
            return;
        }
        const auto barra = admin_.lastIndexOf(u'/');
        base_ = QStringLiteral("nimbo_%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QChar(u'0'));
        nombre_ = admin_.left(barra + 1) + base_;
        try {
            db::PostgresBackend(admin_, usuario(), clave()).ejecutar(QStringLiteral("CREATE DATABASE ") + base_, {});
            creada_ = true;
            if (contenido != Contenido::Vacia)
                db::instalarEnPostgres(nombre_, usuario(), clave(), db::GuionPostgres::Servidor);
            if (contenido == Contenido::ServidorYDemo)
                db::instalarEnPostgres(nombre_, usuario(), clave(), db::GuionPostgres::Demo);
        } catch (const db::ErrorOra& e) {
            error_ = e.texto();
        }
    }
    ~BasePostgres()
    {
        if (!creada_)
            return;
        try {
            db::PostgresBackend(admin_, usuario(), clave())
                .ejecutar(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(base_), {});
        } catch (const db::ErrorOra&) {
        }
    }
    BasePostgres(const BasePostgres&) = delete;
    BasePostgres& operator=(const BasePostgres&) = delete;

    // The name to open it by, and the login.
    const QString& nombre() const { return nombre_; }
    static QString usuario() { return variable("NIMBO_PG_USUARIO"); }
    static QString clave() { return variable("NIMBO_PG_CLAVE"); }
    static QString conexion() { return usuario() + u'/' + clave(); }
    // What went wrong making it ready; empty when it is.
    const QString& error() const { return error_; }

private:
    static QString variable(const char* nombre)
    {
        return QProcessEnvironment::systemEnvironment().value(QString::fromLatin1(nombre));
    }

    QString admin_;
    QString base_;
    QString nombre_;
    QString error_;
    bool creada_ = false;
};
