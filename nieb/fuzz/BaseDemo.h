#pragma once

// The demo database in memory with the server installed, made once per fuzzing process: the
// catalogue the translation targets run against.
#include "ConexionSqlite.h"
#include "FuncionesDifusas.h"

#include <memory>

extern const char* const demoSqlite;

inline nieb::ConexionSqlite& demo()
{
    static const auto conexion = [] {
        auto c = std::make_unique<nieb::ConexionSqlite>(":memory:", nieb::ConexionSqlite::Apertura::Crear);
        nieb::registrarFuncionesComunes(c->handle());
        nieb::registrarFuncionesDifusas(c->handle());
        nieb::instalarServidor(*c, "SCOTT", "2026-01-01");
        c->ejecutar(demoSqlite);
        c->setSesion(1);
        return c;
    }();
    return *conexion;
}
