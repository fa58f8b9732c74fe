#pragma once
// The benchmarks' table T: a given number of rows of eight twelve-character texts, made in a new
// SQLite file.
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

inline void exigir(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

inline void crearTabla(const std::string& ruta, long filas)
{
    sqlite3* db = nullptr;
    exigir(sqlite3_open(ruta.c_str(), &db), db);
    const std::string sql = "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
                            "CREATE TABLE T (A TEXT, B TEXT, C TEXT, D TEXT, E TEXT, F TEXT, G TEXT, H TEXT);"
                            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
        + std::to_string(filas)
        + ") INSERT INTO T SELECT printf('a%011d', i), printf('b%011d', i * 7), printf('c%011d', i * 13), "
          "hex(randomblob(6)), printf('e%011d', i * 31), printf('f%011d', i * 37), printf('g%011d', i * 41), "
          "printf('h%011d', i * 43) FROM n;";
    exigir(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

} // namespace bench
