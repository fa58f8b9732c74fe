#pragma once

#include <QString>

#include <exception>

namespace db {

// A failure of the database library: the code and text the session or database reports as its
// LastServerErr and LastServerErrText. Codes follow the vendor's numbering where there is an
// equivalent; the text always names the real cause.
class ErrorOra : public std::exception {
public:
    ErrorOra(int codigo, QString texto, QString detalle = {})
        : codigo_(codigo)
        , texto_(std::move(texto))
        , detalle_(std::move(detalle))
        , utf8_(texto_.toUtf8())
    {
    }

    int codigo() const { return codigo_; }
    const QString& texto() const { return texto_; }
    // The underlying database's own message, when the error came from it.
    const QString& detalle() const { return detalle_; }
    const char* what() const noexcept override { return utf8_.constData(); }

    // The errors the client tells apart.
    static ErrorOra credenciales();
    static ErrorOra sinResolver(const QString& nombre, const QString& causa);
    static ErrorOra bloqueNoDeclarado(int columna, const QString& identificador);
    static ErrorOra componenteNoDeclarado(int columna, const QString& componente);
    static ErrorOra argumentosIncorrectos(int columna, const QString& funcion);
    static ErrorOra bloqueNoAdmitido(const QString& causa);
    static ErrorOra variableSinEnlazar(const QString& nombre);
    static ErrorOra cancelada();
    static ErrorOra noEsConsulta();
    static ErrorOra masDeUnaSentencia();
    static ErrorOra campoInexistente(const QString& nombre);
    static ErrorOra devuelveFilas();
    // A database file SQLite reports as damaged or as no database at all, by its path; nothing more
    // is written to it.
    static ErrorOra ficheroDanado(const QString& ruta, const QString& causa);
    // Maps a backend failure (SQLite's extended result code and message) to a code and text.
    static ErrorOra deSqlite(int codigoSqlite, const QString& mensaje);
    // Maps a PostgreSQL failure (its SQLSTATE and primary message) to a code and text.
    static ErrorOra dePostgres(const QString& sqlstate, const QString& mensaje);
    // The server closed the connection (it was stopped, or the session was ended from outside).
    static ErrorOra conexionPerdida(const QString& mensaje);
    // A statement on a connection that was lost before.
    static ErrorOra sinConexion();

private:
    int codigo_;
    QString texto_;
    QString detalle_;
    QByteArray utf8_;
};

// The codes callers test.
enum CodigoOra : int {
    OraRecursoOcupado = 54,
    OraSentenciaInvalida = 900,
    OraIdentificadorInvalido = 904,
    OraTablaInexistente = 942,
    OraVariableSinEnlazar = 1008,
    OraCancelada = 1013,
    OraCredenciales = 1017,
    OraConexionPerdida = 3113,
    OraSinConexion = 3114,
    OraErrorPlsql = 6550,
    OraSinResolver = 12154,
    OraSoloLectura = 16000,
    NimboNoEsConsulta = 20100,
    NimboMasDeUnaSentencia = 20101,
    NimboCampoInexistente = 20102,
    NimboDevuelveFilas = 20103,
    // Any other failure of SQLite: this base plus SQLite's primary result code.
    NimboSqlite = 29000,
    NimboFicheroDanado = 29011, // SQLite's CORRUPT; files that are no database at all too
    // Any other failure of PostgreSQL; its SQLSTATE is in the text.
    NimboPostgres = 28000,
};

} // namespace db
