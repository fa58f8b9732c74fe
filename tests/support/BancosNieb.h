#pragma once

// The database a server test works on, with the fuzzy server and the demo in it: the embedded server
// in SQLite, or (built with NIMBO_PRUEBAS_POSTGRES) the one installed in PostgreSQL, reached through
// libpq and translating through NIEB_PKG as the client does.
#include "Catalogo.h"
#include "ConexionSqlite.h"
#include "FuncionesDifusas.h"
#include "Paquete.h"
#include "Traductor.h"
#ifdef NIMBO_PRUEBAS_POSTGRES
#include "ServidorPq.h"
#endif

#include <regex>
#include <string>
#include <vector>

extern const char* const demoSqlite;

// Statements with ?N parameters, the translation as the client receives it, and the catalogue's numbers.
class Banco {
public:
    virtual ~Banco() = default;
    virtual void ejecutar(const std::string& sql, const std::vector<nieb::Valor>& p = {}) = 0;
    virtual std::vector<nieb::Fila> consultar(const std::string& sql, const std::vector<nieb::Valor>& p = {}) = 0;
    virtual nieb::Traduccion traducir(const std::string& consulta) = 0;
    // NIEB_PKG.NIEB2SQL: the number of errors, the rows left in the session's tables.
    virtual std::int64_t nieb2sql(const std::string& consulta) = 0;
    virtual std::int64_t sesion() = 0;
    // Numbers of a table and of its column, 0 when there is none, after the catalogue follows the schema.
    virtual std::int64_t tabla(const std::string& nombre) = 0;
    virtual std::int64_t columna(const std::string& tabla, const std::string& columna) = 0;
    virtual int tipoDifuso(std::int64_t tabla, std::int64_t columna) = 0;
};

// The embedded server: a fresh in-memory copy of the demo, or a database file that already holds it.
class BancoSqlite : public Banco {
public:
    explicit BancoSqlite(std::string propietario = "SCOTT")
        : db_(":memory:", nieb::ConexionSqlite::Apertura::Crear)
        , propietario_(std::move(propietario))
    {
        registrarFunciones();
        db_.ejecutar("PRAGMA foreign_keys = ON");
        nieb::instalarServidor(db_, propietario_, "2026-01-01");
        db_.ejecutar(demoSqlite);
        db_.setSesion(1);
    }
    BancoSqlite(const std::string& fichero, std::string propietario)
        : db_(fichero, nieb::ConexionSqlite::Apertura::Existente)
        , propietario_(std::move(propietario))
    {
        registrarFunciones();
        db_.setSesion(1);
    }
    nieb::ConexionSqlite& conexion() { return db_; }

    void ejecutar(const std::string& sql, const std::vector<nieb::Valor>& p) override { db_.ejecutar(sql, p); }
    std::vector<nieb::Fila> consultar(const std::string& sql, const std::vector<nieb::Valor>& p) override
    {
        return db_.consultar(sql, p);
    }
    nieb::Traduccion traducir(const std::string& consulta) override { return nieb::traducir(consulta, db_); }
    std::int64_t nieb2sql(const std::string& consulta) override { return nieb::Paquete(db_).NIEB2SQL(consulta); }
    std::int64_t sesion() override { return db_.sesion(); }
    std::int64_t tabla(const std::string& nombre) override
    {
        nieb::Catalogo c(db_);
        c.sincronizarTablas();
        return c.numeroTabla(propietario_, nombre);
    }
    std::int64_t columna(const std::string& t, const std::string& col) override
    {
        tabla(t);
        return nieb::Catalogo(db_).numeroColumna(propietario_, t, col);
    }
    int tipoDifuso(std::int64_t t, std::int64_t col) override { return nieb::Catalogo(db_).tipoDifuso(t, col); }

private:
    void registrarFunciones()
    {
        nieb::registrarFuncionesComunes(db_.handle());
        nieb::registrarFuncionesDifusas(db_.handle());
    }

    nieb::ConexionSqlite db_;
    std::string propietario_;
};

#ifdef NIMBO_PRUEBAS_POSTGRES
// The demo in a database on the PostgreSQL server. Tests that share one may each work inside a
// transaction rolled back at its end (empezar, terminar).
class BancoPostgres : public Banco {
public:
    explicit BancoPostgres(const std::string& base)
        : pg_(base)
        , propietario_(nieb::comoTexto(
              pg_.consultar("SELECT VALOR FROM NIEB_INFO WHERE OPCION = 'PROPIETARIO'").at(0).at(0)))
    {
        // The session's own tables are made outside any test's transaction, so none takes them away.
        pg_.traducir("SELECT NOMBRE FROM DEPARTAMENTOS");
    }
    const std::string& propietario() const { return propietario_; }
    void empezar() { pg_.ejecutar("BEGIN"); }
    void terminar() { pg_.ejecutar("ROLLBACK"); }

    void ejecutar(const std::string& sql, const std::vector<nieb::Valor>& p) override
    {
        if (p.empty())
            pg_.ejecutar(sql);
        else
            pg_.consultar(posicionales(sql), p);
    }
    std::vector<nieb::Fila> consultar(const std::string& sql, const std::vector<nieb::Valor>& p) override
    {
        return pg_.consultar(posicionales(sql), p);
    }
    nieb::Traduccion traducir(const std::string& consulta) override { return pg_.traducir(consulta); }
    std::int64_t nieb2sql(const std::string& consulta) override
    {
        return pg_.entero("SELECT NIEB_PKG.NIEB2SQL($1)", {consulta});
    }
    std::int64_t sesion() override { return pg_.entero("SELECT USERENV('SESSIONID')"); }
    std::int64_t tabla(const std::string& nombre) override
    {
        return pg_.entero("SELECT NIEB_PKG.NIEB_OBJ($1, $2)", {propietario_, nombre});
    }
    std::int64_t columna(const std::string& t, const std::string& col) override
    {
        return pg_.entero("SELECT NIEB_PKG.NIEB_COL($1, $2, $3)", {propietario_, t, col});
    }
    int tipoDifuso(std::int64_t t, std::int64_t col) override
    {
        return int(pg_.entero("SELECT NIEB_PKG.NIEB_FTYPE($1, $2)", {t, col}));
    }

private:
    // ?1 as PostgreSQL writes it: $1.
    static std::string posicionales(const std::string& sql)
    {
        static const std::regex parametro(R"(\?(\d+))");
        return std::regex_replace(sql, parametro, "$$$1");
    }

    pq::Pq pg_;
    std::string propietario_;
};
#endif
