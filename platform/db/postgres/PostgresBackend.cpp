#include "PostgresBackend.h"

#include "ErrorOra.h"
#include "FilaPg.h"
#include "Libpq.h"
#include "SentenciaPg.h"
#include "Utf8.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>

#include <poll.h>

using namespace Qt::StringLiterals;

namespace db {

namespace {

QString textoDe(const char* s)
{
    return QString::fromUtf8(s ? s : "").trimmed();
}

struct LiberarCancelacion {
    void operator()(PGcancel* c) const { PQfreeCancel(c); }
};

} // namespace

// The bound values of one statement, as libpq takes them: numbers typed, texts left for the server to
// type from where they stand.
class PostgresBackend::Valores {
public:
    Valores(const QStringList& nombres, const Enlaces& enlaces, bool textosComoText)
    {
        for (const QString& nombre : nombres) {
            const auto it = enlaces.constFind(nombre);
            if (it == enlaces.constEnd())
                throw ErrorOra::variableSinEnlazar(u':' + nombre);
            switch (claseDe(*it)) {
            case ClaseValor::Nulo: anadir(0, {}, true); break;
            case ClaseValor::Entero: anadir(TipoInt8, QByteArray::number(it->toLongLong())); break;
            case ClaseValor::Real: anadir(TipoFloat8, QByteArray::number(it->toDouble(), 'g', 17)); break;
            case ClaseValor::Texto: anadir(textosComoText ? TipoText : Oid(0), it->toString().toUtf8()); break;
            }
        }
        for (qsizetype i = 0; i < datos_.size(); ++i)
            punteros_.push_back(nulos_[size_t(i)] ? nullptr : datos_[i].constData());
    }
    int cuantos() const { return int(tipos_.size()); }
    const Oid* tipos() const { return tipos_.data(); }
    const char* const* valores() const { return punteros_.data(); }

private:
    void anadir(Oid tipo, QByteArray dato, bool nulo = false)
    {
        tipos_.push_back(tipo);
        datos_.append(std::move(dato));
        nulos_.push_back(nulo);
    }
    std::vector<Oid> tipos_;
    QList<QByteArray> datos_;
    std::vector<bool> nulos_;
    std::vector<const char*> punteros_;
};


// One statement in flight: its results taken one at a time while the cancel function is asked. The
// first failure is kept and the rest of the results drained, so the connection is ready for the next
// statement however this one ends. The server may drop a cancel that comes early, while it still
// compiles the statement to machine code (JIT): a stop is sent again until the statement ends.
class PostgresBackend::Envio {
public:
    static constexpr int reenvioMs = 100;

    Envio(PostgresBackend& backend)
        : c_(backend.conexion_.get())
        , backend_(backend)
    {
    }
    ~Envio()
    {
        if (abierto_) {
            cancelar();
            while (siguiente()) { }
        }
    }

    void enviar(const QString& sql, const Valores& valores, bool filaAFila)
    {
        const QByteArray texto = sql.toUtf8();
        if (!PQsendQueryParams(
                c_, texto.constData(), valores.cuantos(), valores.tipos(), valores.valores(), nullptr, nullptr, 0))
            throw backend_.errorDe(nullptr);
        abierto_ = true;
        if (filaAFila)
            PQsetSingleRowMode(c_);
    }
    void enviarTexto(const QString& sql)
    {
        if (!PQsendQuery(c_, sql.toUtf8().constData()))
            throw backend_.errorDe(nullptr);
        abierto_ = true;
    }

    // The next result, or null after the last.
    ResultadoPg siguiente()
    {
        if ((++resultados_ & 1023) == 0)
            preguntar();
        reenviar();
        while (PQisBusy(c_)) {
            preguntar();
            reenviar();
            pollfd p{PQsocket(c_), POLLIN, 0};
            if (p.fd < 0)
                break;
            // A few milliseconds: the cancel function is asked that often while the server works.
            if (poll(&p, 1, 5) != 0 && !PQconsumeInput(c_))
                break;
        }
        ResultadoPg r(PQgetResult(c_));
        if (!r)
            abierto_ = false;
        return r;
    }

    // Keeps the first failure; the results are still drained.
    void fallo(ErrorOra error)
    {
        if (!error_)
            error_ = std::move(error);
    }
    bool fallido() const { return error_.has_value() || cancelado_; }
    bool canceladoPorUsuario() const { return cancelado_; }

    // Stops the statement without it counting as the user's cancel.
    void detener()
    {
        const std::unique_ptr<PGcancel, LiberarCancelacion> cancelacion(PQgetCancel(c_));
        char error[256];
        if (cancelacion)
            PQcancel(cancelacion.get(), error, int(sizeof error));
        detenido_.start();
    }

    // After the last result: the failure, or the cancel when the user asked for one.
    void comprobar() const
    {
        if (error_ && error_->codigo() != OraCancelada)
            throw *error_;
        if (cancelado_ || error_)
            throw ErrorOra::cancelada();
    }

private:
    void preguntar()
    {
        if (!cancelado_ && backend_.cancelar_ && backend_.cancelar_())
            cancelar();
    }
    void cancelar()
    {
        cancelado_ = true;
        detener();
    }
    void reenviar()
    {
        if (detenido_.isValid() && detenido_.hasExpired(reenvioMs))
            detener();
    }

    PGconn* c_;
    PostgresBackend& backend_;
    bool abierto_ = false;
    bool cancelado_ = false;
    unsigned resultados_ = 0;
    std::optional<ErrorOra> error_;
    QElapsedTimer detenido_; // since the last stop sent
};

std::optional<QList<QPair<QByteArray, QByteArray>>> parametrosPostgres(
    const QString& nombre, const QString& usuario, const QString& clave)
{
    QList<QPair<QByteArray, QByteArray>> p;
    const auto poner = [&](const char* k, const QByteArray& v) { p.append(qMakePair(QByteArray(k), v)); };
    static const QRegularExpression uri(u"^postgres(ql)?://"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression servidor(u"^(?:\\[([0-9A-Fa-f:.]+)\\]|([A-Za-z0-9][A-Za-z0-9_.-]*))(?::(\\d{1,5}))?/([^/\\s]+)$"_s);
    if (uri.match(nombre).hasMatch()) {
        poner("dbname", nombre.toUtf8());
    } else if (const auto m = servidor.match(nombre); m.hasMatch()) {
        poner("host", (m.hasCaptured(1) ? m.captured(1) : m.captured(2)).toUtf8());
        if (m.hasCaptured(3))
            poner("port", m.captured(3).toUtf8());
        poner("dbname", m.captured(4).toUtf8());
    } else {
        return std::nullopt;
    }
    // After the URI, so that they win over its own.
    if (!usuario.isEmpty())
        poner("user", usuario.toUtf8());
    if (!clave.isEmpty())
        poner("password", clave.toUtf8());
    poner("client_encoding", "UTF8");
    poner("application_name", "Nimbo");
    poner("connect_timeout", "10");
    return p;
}

PostgresBackend::PostgresBackend(const QString& nombre, const QString& usuario, const QString& clave)
{
    const auto parametros = parametrosPostgres(nombre, usuario, clave);
    if (!parametros)
        throw ErrorOra::sinResolver(nombre, u"no es el nombre de un servidor PostgreSQL"_s);
    if (QString fallo; !libpqCargada(&fallo))
        throw ErrorOra::sinResolver(
            nombre, u"no se encuentra la biblioteca de PostgreSQL libpq (paquete libpq5): %1"_s.arg(fallo));
    std::vector<const char*> claves, valores;
    for (const auto& [k, v] : *parametros) {
        claves.push_back(k.constData());
        valores.push_back(v.constData());
    }
    claves.push_back(nullptr);
    valores.push_back(nullptr);
    // Only a URI is taken apart; a database name is used as written.
    const bool esUri = nombre.contains(u"://"_s);
    conexion_.reset(PQconnectdbParams(claves.data(), valores.data(), esUri ? 1 : 0));
    if (!conexion_)
        throw ErrorOra::sinResolver(nombre, u"sin memoria"_s);
    if (PQstatus(conexion_.get()) != CONNECTION_OK) {
        const QString mensaje = textoDe(PQerrorMessage(conexion_.get()));
        // The server tells a wrong password and an unknown role alike; libpq says when none was given.
        static const QRegularExpression credenciales(
            u"password authentication failed|role \".*\" does not exist|no password supplied|authentication failed"_s);
        if (credenciales.match(mensaje).hasMatch())
            throw ErrorOra(OraCredenciales, ErrorOra::credenciales().texto(), mensaje);
        throw ErrorOra::sinResolver(nombre, mensaje);
    }
    // The server's notices ("… does not exist, skipping") are not for the user: libpq would print them.
    PQsetNoticeProcessor(conexion_.get(), [](void*, const char*) {}, nullptr);
    // A client that dies mid-statement (killed, or its machine gone) ends its statement on the server
    // within a second, where a long fuzzy join would otherwise run on for minutes for nobody. The
    // setting is PostgreSQL 14's: older servers are left as they are.
    PQclear(PQexec(conexion_.get(), "SELECT CASE WHEN current_setting('server_version_num')::int >= 140000 "
                                    "THEN set_config('client_connection_check_interval', '1000', false) END"));
    sesion_ = PQbackendPID(conexion_.get());
    const ResultadoPg r = interna("SELECT to_regnamespace('nieb_pkg') IS NOT NULL");
    servidor_ = PQgetvalue(r.get(), 0, 0) == std::string_view("t");
    // The package's first call counts the session and gives it its own NIEB_QUERY and NIEB_ERRORS,
    // temporary tables in front of the catalogue's: from now on it sees and writes only its rows,
    // which go with the connection. A failing server still lets the user in.
    if (servidor_)
        PQclear(PQexec(conexion_.get(), "SELECT NIEB_PKG.NIEB_FIN()"));
}

void PostgresBackend::exigirConexion() const
{
    if (PQstatus(conexion_.get()) != CONNECTION_OK)
        throw ErrorOra::sinConexion();
}

ErrorOra PostgresBackend::errorDe(const PGresult* r) const
{
    const QString mensaje = r ? textoDe(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY))
                              : textoDe(PQerrorMessage(conexion_.get()));
    if (PQstatus(conexion_.get()) != CONNECTION_OK) {
        // libpq's first line says what happened; the rest is its guess at why.
        const QString causa = mensaje.isEmpty() ? textoDe(PQerrorMessage(conexion_.get())) : mensaje;
        return ErrorOra::conexionPerdida(causa.section(u'\n', 0, 0).trimmed());
    }
    const QString sqlstate = r ? textoDe(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QString();
    return ErrorOra::dePostgres(sqlstate, mensaje.isEmpty() && r ? textoDe(PQresultErrorMessage(r)) : mensaje);
}

ResultadoPg PostgresBackend::interna(const char* sql)
{
    ResultadoPg r(PQexec(conexion_.get(), sql));
    const auto estado = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (estado != PGRES_COMMAND_OK && estado != PGRES_TUPLES_OK)
        throw errorDe(r.get());
    return r;
}

template <typename Empezar, typename Fila>
qint64 PostgresBackend::pasarFilas(const QString& sql, const Enlaces& enlaces, qint64 leer, Empezar&& empezar, Fila&& fila)
{
    exigirConexion();
    if (variasSentencias(sql))
        throw ErrorOra::masDeUnaSentencia();
    const SentenciaPg sentencia = numerarEnlaces(sql);
    // A read-only transaction refuses whatever would change data; it is rolled back however it ends.
    // Inside a transaction the user opened, a savepoint undoes what the statement did and leaves the
    // user's work as it was. The rows past those to read are counted in the same snapshot (repeatable
    // read), from the savepoint nimbo_filas.
    const bool propia = PQtransactionStatus(conexion_.get()) == PQTRANS_IDLE;
    const char* abrir = propia ? "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY; SAVEPOINT nimbo_filas"
                               : "SAVEPOINT nimbo_consulta; SAVEPOINT nimbo_filas";
    const char* deshacer = propia ? "ROLLBACK" : "ROLLBACK TO SAVEPOINT nimbo_consulta; RELEASE nimbo_consulta";
    interna(abrir);
    const auto fin = qScopeGuard([&] {
        if (PQstatus(conexion_.get()) == CONNECTION_OK)
            PQclear(PQexec(conexion_.get(), deshacer));
    });
    // A text bound where nothing gives it a type (SELECT :A), or given two (:A, :A::int), is sent again
    // typed as text.
    for (const bool textosComoText : {false, true}) {
        const Valores valores(sentencia.enlaces, enlaces, textosComoText);
        Envio envio(*this);
        envio.enviar(sentencia.texto, valores, true);
        std::optional<FilaPg> actual;
        qint64 total = 0;
        bool sinTipo = false;
        // Once the rows to read are in, the statement is stopped and the rest counted apart, unless
        // it ends first.
        bool parado = false, cortado = false;
        while (const ResultadoPg r = envio.siguiente()) {
            if (envio.fallido())
                continue;
            switch (PQresultStatus(r.get())) {
            case PGRES_SINGLE_TUPLE:
            case PGRES_TUPLES_OK:
                if (!actual) {
                    actual.emplace(r.get());
                    empezar(r.get());
                }
                if (PQntuples(r.get()) == 0)
                    break;
                if (leer < 0 || total < leer) {
                    actual->leer(r.get());
                    fila(*actual);
                } else if (!parado) {
                    envio.detener();
                    parado = true;
                }
                ++total;
                break;
            case PGRES_COMMAND_OK:
            case PGRES_EMPTY_QUERY: envio.fallo(ErrorOra::noEsConsulta()); break;
            default: {
                const QString sqlstate = textoDe(PQresultErrorField(r.get(), PG_DIAG_SQLSTATE));
                if (parado && sqlstate == u"57014"_s) {
                    cortado = true;
                    break;
                }
                sinTipo = (sqlstate == u"42P18"_s || sqlstate == u"42P08"_s) && !actual && !textosComoText;
                if (sqlstate == u"25006"_s) // a write in the read-only transaction
                    envio.fallo(ErrorOra::noEsConsulta());
                else
                    envio.fallo(errorDe(r.get()));
            }
            }
        }
        if (sinTipo) {
            interna(deshacer);
            interna(abrir);
            continue;
        }
        envio.comprobar();
        return cortado ? std::max(total, contarAparte(sentencia.texto, valores)) : total;
    }
    return 0;
}

qint64 PostgresBackend::contarAparte(QString texto, const Valores& valores)
{
    interna("ROLLBACK TO SAVEPOINT nimbo_filas");
    while (!texto.isEmpty() && (texto.back().isSpace() || texto.back() == u';'))
        texto.chop(1);
    // The line break ends a trailing "--" comment before the parenthesis.
    for (const bool envuelta : {true, false}) {
        Envio envio(*this);
        envio.enviar(envuelta ? u"SELECT count(*) FROM (%1\n) nimbo_cuenta"_s.arg(texto) : texto, valores, !envuelta);
        qint64 n = 0;
        while (const ResultadoPg r = envio.siguiente()) {
            const auto estado = PQresultStatus(r.get());
            if (estado == PGRES_SINGLE_TUPLE)
                ++n;
            else if (estado == PGRES_TUPLES_OK && envuelta && PQntuples(r.get()) == 1)
                n = QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
            else if (estado != PGRES_TUPLES_OK)
                envio.fallo(errorDe(r.get()));
        }
        // A text that cannot be wrapped so has its rows stepped once more, only counted.
        if (envuelta && envio.fallido() && !envio.canceladoPorUsuario()) {
            interna("ROLLBACK TO SAVEPOINT nimbo_filas");
            continue;
        }
        envio.comprobar();
        return n;
    }
    return 0;
}

Resultado PostgresBackend::consultar(const QString& sql, const Enlaces& enlaces, qint64 retener)
{
    Resultado r;
    QList<int> sinDeclarar; // the columns whose display size the values tell
    r.total = pasarFilas(
        sql, enlaces, retener,
        [&](const PGresult* cabecera) {
            const int columnas = PQnfields(cabecera);
            r.celdas.vaciar(columnas);
            for (int i = 0; i < columnas; ++i) {
                r.nombres.append(nombreColumnaPg(PQfname(cabecera, i)));
                r.tamanos.append(tamanoDeclaradoPg(PQftype(cabecera, i), PQfmod(cabecera, i)));
                if (r.tamanos[i] == 0)
                    sinDeclarar.append(i);
            }
        },
        [&](const filas::FuenteFila& fila) {
            r.celdas.anadirFila(fila);
            for (const int i : sinDeclarar) {
                int& tamano = r.tamanos[i];
                const std::string_view bytes = fila.bytes(i);
                // A text has no more characters than bytes: shorter ones cannot raise the size.
                if (tamano >= 4000 || bytes.size() <= size_t(tamano))
                    continue;
                const qsizetype largo = fila.tipo(i) == filas::TipoCelda::Texto && filas::esUtf8Valido(bytes)
                    ? filas::longitudUtf16(bytes)
                    : qsizetype(bytes.size());
                tamano = int(std::min<qsizetype>(std::max<qsizetype>(tamano, largo), 4000));
            }
        });
    for (const int i : sinDeclarar) {
        // Numbers in an untyped column count as the vendor's 22.
        int& tamano = r.tamanos[i];
        for (qint64 f = 0; f < r.celdas.filas() && tamano < 22; ++f)
            if (const auto t = r.celdas.tipo(f, i); t == filas::TipoCelda::Entero || t == filas::TipoCelda::Real)
                tamano = 22;
        tamano = std::max<int>({tamano, int(r.nombres[i].size()), 1});
    }
    return r;
}

qint64 PostgresBackend::recorrer(const QString& sql, const Enlaces& enlaces, LectorFilas& lector, qint64 leer)
{
    return pasarFilas(
        sql, enlaces, leer,
        [&](const PGresult* cabecera) {
            QStringList nombres;
            for (int i = 0; i < PQnfields(cabecera); ++i)
                nombres.append(nombreColumnaPg(PQfname(cabecera, i)));
            lector.empezar(nombres);
        },
        [&](const filas::FuenteFila& fila) { lector.fila(fila); });
}

void PostgresBackend::ejecutar(const QString& sql, const Enlaces& enlaces)
{
    exigirConexion();
    if (variasSentencias(sql)) {
        // Several statements go as one text, with the values written in; they run all or none, unless
        // the text manages its own transactions.
        const auto citar = [&](const QString& texto) {
            const QByteArray utf8 = texto.toUtf8();
            char* citado = PQescapeLiteral(conexion_.get(), utf8.constData(), size_t(utf8.size()));
            if (!citado)
                throw errorDe(nullptr);
            const QString r = QString::fromUtf8(citado);
            PQfreemem(citado);
            return r;
        };
        ejecutarTexto(escribirEnlaces(sql, enlaces, citar), !controlaTransacciones(sql));
        return;
    }
    const SentenciaPg sentencia = numerarEnlaces(sql);
    Envio envio(*this);
    envio.enviar(sentencia.texto, Valores(sentencia.enlaces, enlaces, false), false);
    terminarSinFilas(envio);
}

void PostgresBackend::terminarSinFilas(Envio& envio)
{
    // A query would run and show nothing; statements that write and return rows are fine.
    static const QRegularExpression escribe(u"^(INSERT|UPDATE|DELETE|MERGE)\\b"_s);
    while (const ResultadoPg r = envio.siguiente()) {
        const auto estado = PQresultStatus(r.get());
        if (estado == PGRES_TUPLES_OK) {
            if (!escribe.match(QString::fromLatin1(PQcmdStatus(r.get()))).hasMatch())
                envio.fallo(ErrorOra::devuelveFilas());
        } else if (estado != PGRES_COMMAND_OK && estado != PGRES_EMPTY_QUERY)
            envio.fallo(errorDe(r.get()));
    }
    envio.comprobar();
}

void PostgresBackend::ejecutarTexto(const QString& texto, bool propia)
{
    // Inside a transaction the user opened, the statements are part of it.
    const bool transaccionPropia = propia && PQtransactionStatus(conexion_.get()) == PQTRANS_IDLE;
    if (transaccionPropia)
        interna("BEGIN");
    bool confirmado = false;
    const auto fin = qScopeGuard([&] {
        if (transaccionPropia && !confirmado && PQstatus(conexion_.get()) == CONNECTION_OK)
            PQclear(PQexec(conexion_.get(), "ROLLBACK"));
    });
    {
        Envio envio(*this);
        envio.enviarTexto(texto);
        terminarSinFilas(envio);
    }
    if (transaccionPropia)
        interna("COMMIT");
    confirmado = true;
}

void PostgresBackend::ejecutarGuion(const QString& guion)
{
    exigirConexion();
    ejecutarTexto(guion, !controlaTransacciones(guion));
}

QVariant PostgresBackend::llamar(const LlamadaBloque& llamada, const QList<QVariant>& argumentos)
{
    exigirConexion();
    // The package and function names are words (the block's grammar allows nothing else).
    QString sql = u"SELECT %1.%2("_s.arg(llamada.paquete, llamada.funcion);
    Enlaces enlaces;
    QStringList nombres;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        sql += (i ? u", $"_s : u"$"_s) + QString::number(i + 1);
        nombres.append(u"A%1"_s.arg(i + 1));
        enlaces.insert(nombres.last(), argumentos[i]);
    }
    sql += u')';
    Envio envio(*this);
    envio.enviar(sql, Valores(nombres, enlaces, false), false);
    QVariant valor;
    while (const ResultadoPg r = envio.siguiente()) {
        if (envio.fallido())
            continue;
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK) {
            envio.fallo(errorDeLlamada(r.get(), llamada));
            continue;
        }
        if (PQntuples(r.get()) == 1 && PQnfields(r.get()) == 1) {
            FilaPg fila(r.get());
            fila.leer(r.get());
            valor = fila.valor(0);
        }
    }
    envio.comprobar();
    return llamada.salida.isEmpty() ? QVariant() : valor;
}

// A missing package or function is told as the vendor's PL/SQL errors.
ErrorOra PostgresBackend::errorDeLlamada(const PGresult* r, const LlamadaBloque& llamada)
{
    const QString sqlstate = textoDe(PQresultErrorField(r, PG_DIAG_SQLSTATE));
    const int columnaFuncion = llamada.columna + int(llamada.paquete.size()) + 1;
    if (sqlstate == u"3F000"_s)
        return ErrorOra::bloqueNoDeclarado(llamada.columna, llamada.paquete + u'.' + llamada.funcion);
    if (sqlstate != u"42883"_s)
        return errorDe(r);
    // The function is missing, or takes other arguments: the catalogue says which.
    const QByteArray esquema = llamada.paquete.toLower().toUtf8(), funcion = llamada.funcion.toLower().toUtf8();
    const char* valores[] = {esquema.constData(), funcion.constData()};
    const ResultadoPg c(PQexecParams(conexion_.get(),
        "SELECT (SELECT count(*) FROM pg_namespace WHERE nspname = $1), "
        "(SELECT count(*) FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace "
        "WHERE n.nspname = $1 AND p.proname = $2)",
        2, nullptr, valores, nullptr, nullptr, 0));
    if (PQresultStatus(c.get()) != PGRES_TUPLES_OK)
        return errorDe(r);
    if (PQgetvalue(c.get(), 0, 0) == std::string_view("0"))
        return ErrorOra::bloqueNoDeclarado(llamada.columna, llamada.paquete + u'.' + llamada.funcion);
    if (PQgetvalue(c.get(), 0, 1) == std::string_view("0"))
        return ErrorOra::componenteNoDeclarado(columnaFuncion, llamada.funcion);
    return ErrorOra::argumentosIncorrectos(columnaFuncion, llamada.funcion);
}

std::unique_ptr<Backend> abrirPostgres(const QString& nombre, const QString& usuario, const QString& clave)
{
    if (!parametrosPostgres(nombre, usuario, clave))
        return nullptr;
    return std::make_unique<PostgresBackend>(nombre, usuario, clave);
}

} // namespace db
