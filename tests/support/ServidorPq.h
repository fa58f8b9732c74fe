#pragma once

// The NIEB server inside PostgreSQL seen through libpq, for the tests that compare it with the
// embedded one: a connection that reads rows as the server's values and translates through NIEB_PKG
// as the client does, and a database of its own with the server and the demo installed.
#include "Conexion.h"
#include "Emisor.h"
#include "Traductor.h"

#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QString>

#include <libpq-fe.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

extern const char* const demoPostgres;
extern const char* const servidorPostgres;

namespace pq {

inline std::string entorno(const char* nombre)
{
    return QProcessEnvironment::systemEnvironment().value(QString::fromLatin1(nombre)).toStdString();
}

// A value as libpq takes it: text, NULL as no pointer, infinite numbers by PostgreSQL's names.
struct Parametro {
    bool nulo = false;
    std::string texto;
};
inline Parametro parametro(const nieb::Valor& v)
{
    if (nieb::esNulo(v))
        return {true, {}};
    if (const auto* d = std::get_if<double>(&v); d && std::isinf(*d))
        return {false, *d > 0 ? "Infinity" : "-Infinity"};
    return {false, nieb::comoTexto(v)};
}

// One libpq connection, closed with the object.
class Pq {
public:
    explicit Pq(const std::string& base)
        : c_(nullptr, PQfinish)
    {
        const std::string direccion = entorno("NIMBO_PG"); // host:port/dbname
        const auto dosPuntos = direccion.find(':'), barra = direccion.find('/');
        const char* claves[] = {"host", "port", "dbname", "user", "password", nullptr};
        const std::string valores[] = {direccion.substr(0, dosPuntos),
            direccion.substr(dosPuntos + 1, barra - dosPuntos - 1), base.empty() ? direccion.substr(barra + 1) : base,
            entorno("NIMBO_PG_USUARIO"), entorno("NIMBO_PG_CLAVE")};
        const char* v[] = {valores[0].c_str(), valores[1].c_str(), valores[2].c_str(), valores[3].c_str(),
            valores[4].c_str(), nullptr};
        c_.reset(PQconnectdbParams(claves, v, 0));
        if (PQstatus(c_.get()) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(c_.get()));
    }

    // Any number of statements, as one transaction.
    void ejecutar(const std::string& sql)
    {
        const std::unique_ptr<PGresult, void (*)(PGresult*)> r(PQexec(c_.get(), sql.c_str()), PQclear);
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK && PQresultStatus(r.get()) != PGRES_TUPLES_OK)
            throw std::runtime_error(PQresultErrorMessage(r.get()));
    }

    // The rows, numbers as numbers and anything else as text.
    std::vector<nieb::Fila> consultar(const std::string& sql, const std::vector<nieb::Valor>& parametros = {})
    {
        std::vector<Parametro> textos;
        for (const auto& v : parametros)
            textos.push_back(parametro(v));
        std::vector<const char*> p;
        for (const auto& t : textos)
            p.push_back(t.nulo ? nullptr : t.texto.c_str());
        const std::unique_ptr<PGresult, void (*)(PGresult*)> r(
            PQexecParams(c_.get(), sql.c_str(), static_cast<int>(p.size()), nullptr, p.data(), nullptr, nullptr, 0),
            PQclear);
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK && PQresultStatus(r.get()) != PGRES_TUPLES_OK)
            throw std::runtime_error(PQresultErrorMessage(r.get()) + sql.substr(0, 3000));
        std::vector<nieb::Fila> filas;
        for (int i = 0; i < PQntuples(r.get()); ++i) {
            nieb::Fila f;
            for (int j = 0; j < PQnfields(r.get()); ++j) {
                const char* v = PQgetvalue(r.get(), i, j);
                if (PQgetisnull(r.get(), i, j))
                    f.emplace_back();
                else if (const Oid t = PQftype(r.get(), j); t == 20 || t == 21 || t == 23)
                    f.emplace_back(std::int64_t{std::strtoll(v, nullptr, 10)});
                else if (t == 700 || t == 701 || t == 1700)
                    f.emplace_back(std::strtod(v, nullptr));
                else
                    f.emplace_back(std::string(v));
            }
            filas.push_back(std::move(f));
        }
        return filas;
    }
    std::int64_t entero(const std::string& sql, const std::vector<nieb::Valor>& parametros = {})
    {
        return nieb::comoEntero(consultar(sql, parametros).at(0).at(0));
    }

    // Translates through NIEB_PKG, as the client does: the errors, or the SQL rebuilt from NIEB_QUERY.
    nieb::Traduccion traducir(const std::string& consulta)
    {
        nieb::Traduccion t;
        if (entero("SELECT NIEB_PKG.NIEB2SQL($1)", {consulta}) > 0) {
            for (const auto& f :
                consultar("SELECT MSG_ERROR FROM NIEB_ERRORS WHERE SESSIONID = USERENV('SESSIONID') ORDER BY INDICE"))
                t.errores.push_back(nieb::comoTexto(f[0]));
            return t;
        }
        for (const auto& f : consultar("SELECT ATRIBUTO FROM NIEB_QUERY WHERE ATRIBUTO IS NOT NULL AND "
                                       "SESSIONID = USERENV('SESSIONID') ORDER BY INDICE"))
            t.filas.push_back(nieb::comoTexto(f[0]));
        t.sql = nieb::reconstruir(t.filas);
        return t;
    }

private:
    std::unique_ptr<PGconn, void (*)(PGconn*)> c_;
};

// A database of its own on the server, with the NIEB server and the demo, dropped with the object.
class BaseDePrueba {
public:
    BaseDePrueba()
        : nombre_("nimbo_" + QString::number(QRandomGenerator::global()->generate64(), 36).toStdString())
    {
        Pq("").ejecutar("CREATE DATABASE " + nombre_);
        std::string servidor = servidorPostgres;
        for (size_t i = 0; (i = servidor.find("MODULE_PATHNAME", i)) != std::string::npos;)
            servidor.replace(i, 15, "nieb");
        // One simple query: the scripts run as one transaction.
        Pq(nombre_).ejecutar(servidor + ";\n" + demoPostgres);
    }
    ~BaseDePrueba()
    {
        try {
            Pq("").ejecutar("DROP DATABASE IF EXISTS " + nombre_ + " WITH (FORCE)");
        } catch (const std::exception&) {
        }
    }
    BaseDePrueba(const BaseDePrueba&) = delete;
    BaseDePrueba& operator=(const BaseDePrueba&) = delete;
    const std::string& nombre() const { return nombre_; }

private:
    std::string nombre_;
};

// Rows compared as values: a number is its double, whatever integer or real type carried it.
inline std::vector<nieb::Fila> normalizadas(std::vector<nieb::Fila> filas)
{
    for (auto& f : filas)
        for (auto& v : f)
            if (std::holds_alternative<std::int64_t>(v))
                v = nieb::comoReal(v);
    std::ranges::sort(filas);
    return filas;
}

} // namespace pq
