#include "NimboQuery.h"

#include "BaseEmbebida.h"
#include "EscritorTsv.h"
#include "SalidaTabla.h"
#include "ErrorOra.h"
#include "InstalacionPostgres.h"
#include "OraSession.h"
#include "PostgresBackend.h"
#include "TraduccionServidor.h"

#include <QCommandLineParser>
#include <QLocale>
#include <QProcessEnvironment>
#include <QScopeGuard>

#include <csignal>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

volatile std::sig_atomic_t senalRecibida = 0;

// Ends the server's state of the session; a failure changes nothing for the user.
void terminarSesion(db::OraDatabase& base)
{
    try {
        base.DbExecuteSQL(u"Begin NIEB_PKG.NIEB_FIN; end;"_s);
    } catch (const db::ErrorOra&) {
    }
}

// Runs the NIEB server's install script, or the demo's, in a PostgreSQL database.
int instalarEnPostgres(const QString& nombre, const QString& usuario, const QString& clave, bool demo, QTextStream& salida)
{
    const auto guion = demo ? db::GuionPostgres::Demo : db::GuionPostgres::Servidor;
    if (!db::instalarEnPostgres(nombre, usuario, clave, guion))
        salida << "The NIEB server was installed in " << nombre << " already; nothing was done\n";
    else
        salida << (demo ? "Demo tables installed in " : "NIEB server installed in ") << nombre << '\n';
    return 0;
}

// "-" reads the text from standard input.
QString textoDeOpcion(const QString& valor, QTextStream& entrada)
{
    return valor == u"-"_s ? entrada.readAll() : valor;
}

} // namespace

int ejecutar(const QStringList& argumentos, QTextStream& entrada, QTextStream& salida, QTextStream& err)
{
    QCommandLineParser p;
    p.setApplicationDescription(u"Runs statements on a Nimbo database without windows."_s);
    p.addHelpOption();
    const QCommandLineOption optDb(u"db"_s,
        u"Database: \"2:\" (the embedded one, default), an SQLite file, or a PostgreSQL server as host:port/dbname "
        u"or postgresql://… (the login's user and password win over the URI's)."_s,
        u"NAME"_s, db::nombreBaseEmbebida);
    const QCommandLineOption optUsuario(
        u"user"_s, u"User name (default: the demo account)."_s, u"USER"_s, db::usuarioDemo);
    const QCommandLineOption optClave(
        u"password"_s, u"Password (default: $NIMBO_PASSWORD, else the demo account's)."_s, u"PASSWORD"_s);
    const QCommandLineOption optSql(
        u"sql"_s, u"Run a query and print its rows (\"-\": read it from stdin)."_s, u"TEXT"_s);
    const QCommandLineOption optTraducir(u"translate"_s,
        u"Translate a NIEB query and print the SQL, or its numbered errors (\"-\": stdin)."_s, u"TEXT"_s);
    const QCommandLineOption optConsulta(
        u"query"_s, u"Translate a NIEB query, run it and print its rows (\"-\": stdin)."_s, u"TEXT"_s);
    const QCommandLineOption optLimite(
        u"limit"_s, u"Print at most N rows (the whole result is still counted)."_s, u"N"_s);
    const QCommandLineOption optExec(u"exec"_s, u"Run a statement that returns no rows (\"-\": stdin)."_s, u"TEXT"_s);
    const QCommandLineOption optInstalar(u"install-server"_s,
        u"Install the NIEB server into the SQLite file --db and create the account --user/--password; or into the "
        u"PostgreSQL database --db, logged in as --user/--password."_s);
    const QCommandLineOption optDemo(u"install-demo"_s,
        u"Install the demo tables into the PostgreSQL database --db, which has the NIEB server."_s);
    const QCommandLineOption optDonde(u"where"_s, u"Print the path of the embedded database."_s);
    const QCommandLineOption optFormato(u"format"_s,
        u"How --sql and --query print the rows: tsv (default), csv, latex or html."_s, u"FORMAT"_s, u"tsv"_s);
    p.addOptions(
        {optDb, optUsuario, optClave, optSql, optTraducir, optConsulta, optLimite, optExec, optInstalar, optDonde});
    p.addOption(optFormato);
    p.addOption(optDemo);

    if (!p.parse(argumentos)) {
        err << p.errorText() << '\n';
        return 2;
    }
    if (p.isSet(u"help"_s)) {
        salida << p.helpText();
        return 0;
    }
    const int acciones = int(p.isSet(optSql)) + int(p.isSet(optTraducir)) + int(p.isSet(optConsulta))
        + int(p.isSet(optExec)) + int(p.isSet(optInstalar)) + int(p.isSet(optDemo)) + int(p.isSet(optDonde));
    if (acciones != 1 || !p.positionalArguments().isEmpty()) {
        err << "nimbo-query: give exactly one of --sql, --translate, --query, --exec, --install-server, "
               "--install-demo, --where (see --help)\n";
        return 2;
    }
    qint64 limite = -1;
    if (p.isSet(optLimite)) {
        bool ok = false;
        limite = p.value(optLimite).toLongLong(&ok);
        if (!ok || limite < 0 || !(p.isSet(optSql) || p.isSet(optConsulta))) {
            err << "nimbo-query: --limit takes a number of rows, with --sql or --query\n";
            return 2;
        }
    }
    const QString formato = p.value(optFormato);
    if (!QStringList{u"tsv"_s, u"csv"_s, u"latex"_s, u"html"_s}.contains(formato)
        || (p.isSet(optFormato) && !(p.isSet(optSql) || p.isSet(optConsulta)))) {
        err << "nimbo-query: --format takes tsv, csv, latex or html, with --sql or --query\n";
        return 2;
    }
    if (p.isSet(optDonde)) {
        salida << db::rutaBaseEmbebida() << '\n';
        return 0;
    }

    const QString usuario = p.value(optUsuario);
    const QString entorno = QProcessEnvironment::systemEnvironment().value(u"NIMBO_PASSWORD"_s);
    const QString clave = p.isSet(optClave) ? p.value(optClave) : (entorno.isEmpty() ? db::claveDemo : entorno);
    try {
        if (p.isSet(optInstalar) || p.isSet(optDemo)) {
            const QString nombre = p.value(optDb).trimmed();
            if (db::parametrosPostgres(nombre, usuario, clave))
                return instalarEnPostgres(nombre, usuario, clave, p.isSet(optDemo), salida);
            if (p.isSet(optDemo)) {
                err << "nimbo-query: --install-demo needs --db with a PostgreSQL database (the embedded one has it)\n";
                return 2;
            }
            const QString ruta = p.value(optDb);
            if (ruta == db::nombreBaseEmbebida) {
                err << "nimbo-query: --install-server needs --db with the path of an SQLite file\n";
                return 2;
            }
            if (!db::instalarEnFichero(ruta, usuario, clave))
                err << "nimbo-query: the account " << usuario.toUpper() << " existed already and was kept\n";
            salida << "NIEB server installed in " << ruta << '\n';
            return 0;
        }
        db::OraSession sesion;
        const auto base = sesion.DbOpenDatabase(p.value(optDb), usuario + u'/' + clave, 0);
        for (const auto& aviso : base->avisos())
            err << "nimbo-query: " << aviso << '\n';
        // A signal to stop cancels the running statement, so that the way out below is taken.
        base->setCancelador([] { return senalRecibida != 0; });
        // The session's rows in the server go on every way out, failures included.
        bool servidorUsado = false;
        const auto fin = qScopeGuard([&] {
            if (servidorUsado)
                terminarSesion(*base);
        });
        if (p.isSet(optExec)) {
            try {
                base->DbExecuteSQL(textoDeOpcion(p.value(optExec), entrada));
            } catch (const db::ErrorOra& e) {
                if (e.codigo() != db::NimboDevuelveFilas)
                    throw;
                err << "nimbo-query: the statement returns rows: run it with --sql (nothing was run)\n";
                return 2;
            }
            return 0;
        }
        QString sql, titulo;
        if (p.isSet(optSql)) {
            sql = textoDeOpcion(p.value(optSql), entrada);
            titulo = sql;
        } else {
            const auto nieb = textoDeOpcion(p.value(p.isSet(optTraducir) ? optTraducir : optConsulta), entrada);
            titulo = nieb;
            servidorUsado = true;
            const auto traduccion = servidor::traducir(*base, nieb);
            if (traduccion.errores != 0) {
                const auto mensajes = servidor::erroresDeTraduccion(*base);
                for (qsizetype i = 0; i < mensajes.size(); ++i)
                    err << i + 1 << ": " << mensajes[i] << '\n';
                return 3;
            }
            if (p.isSet(optTraducir)) {
                salida << traduccion.sql << '\n';
                return 0;
            }
            sql = traduccion.sql;
        }
        // Each row is written as it is stepped; past the limit rows are only counted.
        qint64 total = 0;
        if (formato == u"tsv"_s) {
            EscritorTsv tsv(EscritorTsv::hacia(salida));
            total = base->recorrerFilas(sql, tsv, limite);
            tsv.terminar();
        } else {
            // Laid out as the result window shows the rows (a row-number column in front), streamed too.
            const auto tipo = formato == u"csv"_s ? FormatoTabla::Csv
                : formato == u"latex"_s           ? FormatoTabla::Latex
                                                  : FormatoTabla::Html;
            SalidaTabla tabla(tipo, titulo, EscritorTsv::hacia(salida));
            total = base->recorrerFilas(sql, tabla, limite);
            tabla.terminar();
        }
        if (limite >= 0 && total > limite)
            err << "nimbo-query: " << limite << " of " << total << " rows printed\n";
        return 0;
    } catch (const db::ErrorOra& e) {
        err << e.codigo() << '\t' << e.texto() << '\n';
        return 1;
    } catch (const std::exception& e) {
        err << "nimbo-query: " << e.what() << '\n';
        return 1;
    }
}

void atenderSenales()
{
    struct sigaction accion {};
    accion.sa_handler = [](int) { senalRecibida = 1; };
    // A second signal ends the program at once.
    accion.sa_flags = SA_RESETHAND;
    sigemptyset(&accion.sa_mask);
    for (const int senal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(senal, &accion, nullptr);
}

} // namespace cli
