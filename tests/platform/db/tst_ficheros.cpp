// Database files in every state a user's disk can hold them: missing, empty, foreign, damaged,
// read-only, not files at all. Nothing of the user's is ever lost or written to when it should not be.
#include "BaseEmbebida.h"
#include "ConexionSqlite.h"
#include "ErrorOra.h"
#include "OraSession.h"
#include "TraduccionServidor.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace db;

namespace {

QByteArray huella(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void escribir(const QString& ruta, const QByteArray& datos, qint64 desde = -1)
{
    QFile f(ruta);
    QVERIFY(f.open(desde < 0 ? QIODevice::WriteOnly : QIODevice::ReadWrite));
    if (desde >= 0)
        QVERIFY(f.seek(desde));
    QCOMPARE(f.write(datos), datos.size());
}

qint64 leerEntero(const QString& ruta, const char* sql, const std::string& parametro = {})
{
    nieb::ConexionSqlite c(ruta.toStdString(), nieb::ConexionSqlite::Apertura::Existente);
    const auto filas = parametro.empty() ? c.consultar(sql) : c.consultar(sql, {parametro});
    return filas.empty() ? -1 : nieb::comoEntero(filas[0][0]);
}

QString modoDiario(const QString& ruta)
{
    nieb::ConexionSqlite c(ruta.toStdString(), nieb::ConexionSqlite::Apertura::Existente);
    return QString::fromStdString(nieb::comoTexto(c.consultar("PRAGMA journal_mode")[0][0])).toLower();
}

// Overwrites the pages SQLite keeps a table in (or, for "schema", the rest of the first page after
// the file header), leaving the header valid.
void romper(const QString& ruta, const QString& que)
{
    const qint64 pagina = leerEntero(ruta, "PRAGMA page_size");
    QVERIFY(pagina > 0);
    if (que == u"schema"_s) {
        escribir(ruta, QByteArray(pagina - 100, '\xa5'), 100);
        return;
    }
    const qint64 raiz = leerEntero(ruta, "SELECT rootpage FROM sqlite_schema WHERE name = ?1", que.toStdString());
    QVERIFY(raiz > 1);
    escribir(ruta, QByteArray(pagina, '\xa5'), (raiz - 1) * pagina);
}

struct Salida {
    int estado = -1;
    QString out, err;
};

// nimbo-query where "nobody" may run it: the build folder may sit where only root may enter.
QString nimboQueryParaTodos()
{
    static QTemporaryDir carpeta;
    static const QString copia = [] {
        const auto todos = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
            | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        const QString destino = carpeta.filePath(u"nimbo-query"_s);
        if (!QFile::setPermissions(carpeta.path(), todos) || !QFile::copy(QStringLiteral(NIMBO_QUERY_BIN), destino)
            || !QFile::setPermissions(destino, todos))
            qFatal("cannot copy nimbo-query for another user");
        return destino;
    }();
    return copia;
}

// Runs nimbo-query as a user who may not write here: as root, under the unprivileged "nobody".
Salida nimboQuerySinPermisos(const QStringList& argumentos, const QString& datos = {})
{
    QProcess p;
    if (!datos.isEmpty()) {
        auto entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(u"XDG_DATA_HOME"_s, datos);
        p.setProcessEnvironment(entorno);
    }
    if (geteuid() == 0)
        p.start(u"setpriv"_s,
            QStringList{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, nimboQueryParaTodos()}
                + argumentos);
    else
        p.start(QStringLiteral(NIMBO_QUERY_BIN), argumentos);
    Salida s;
    if (!p.waitForFinished(60000))
        return s;
    s.estado = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    s.out = QString::fromUtf8(p.readAllStandardOutput());
    s.err = QString::fromUtf8(p.readAllStandardError());
    return s;
}

} // namespace

class tst_Ficheros : public QObject {
    Q_OBJECT

    QTemporaryDir datos_;
    QString demo_; // a closed copy of the demo database

    // Points the embedded database to a folder of its own, named after the test row.
    QString carpetaPropia(const QString& nombre)
    {
        const QString datos = datos_.filePath(nombre);
        QDir().mkpath(datos + u"/Nimbo"_s);
        qputenv("XDG_DATA_HOME", datos.toUtf8());
        return datos + u"/Nimbo"_s;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(datos_.isValid());
        // Other users must be able to reach the files the read-only tests hand them.
        QFile::setPermissions(datos_.path(), QFile::permissions(datos_.path()) | QFile::ReadOther | QFile::ExeOther);
        qunsetenv("NIMBO_PASSWORD");
        nieb::ConexionSqlite::esperaPorBloqueoMs = 300;
        carpetaPropia(u"origen"_s);
        {
            OraSession s;
            QVERIFY(s.DbOpenDatabase(nombreBaseEmbebida, u"scott/ravel"_s));
        }
        demo_ = datos_.filePath(u"demo.db"_s);
        QVERIFY(QFile::copy(rutaBaseEmbebida(), demo_));
    }

    void embeddedFileWithoutServerIsSetAsideAndRebuilt_data()
    {
        QTest::addColumn<QString>("contenido");
        QTest::addColumn<bool>("apartada");
        QTest::addColumn<QString>("aviso");
        QTest::newRow("missing") << u"none"_s << false << QString();
        QTest::newRow("empty") << u"empty"_s << false << u"vacía"_s;
        QTest::newRow("not a database") << u"junk"_s << true << u"apartado"_s;
        QTest::newRow("database without the server") << u"foreign"_s << true << u"apartado"_s;
        QTest::newRow("header overwritten") << u"header"_s << true << u"apartado"_s;
    }
    void embeddedFileWithoutServerIsSetAsideAndRebuilt()
    {
        QFETCH(QString, contenido);
        QFETCH(bool, apartada);
        QFETCH(QString, aviso);
        const QString carpeta = carpetaPropia(u"estado-"_s + QString::fromLatin1(QTest::currentDataTag()));
        const QString ruta = rutaBaseEmbebida();
        QCOMPARE(ruta, carpeta + u"/nimbo.db"_s);
        if (contenido == u"empty"_s)
            escribir(ruta, {});
        else if (contenido == u"junk"_s)
            escribir(ruta, QByteArray(8192, 'x'));
        else if (contenido == u"foreign"_s)
            nieb::ConexionSqlite(ruta.toStdString(), nieb::ConexionSqlite::Apertura::Crear)
                .ejecutar("CREATE TABLE MIA (A); INSERT INTO MIA VALUES (1)");
        else if (contenido == u"header"_s) {
            QVERIFY(QFile::copy(demo_, ruta));
            escribir(ruta, QByteArray(100, '\x5a'), 0);
        }
        const QByteArray antes = huella(ruta);

        OraSession s;
        std::shared_ptr<OraDatabase> base;
        try {
            base = s.DbOpenDatabase(nombreBaseEmbebida, u"scott/ravel"_s);
        } catch (const ErrorOra& e) {
            QFAIL(qPrintable(e.texto()));
        }
        try {
            const auto cuenta = base->DbCreateDynaset(u"SELECT COUNT(*) FROM EMPLEADOS"_s);
            QCOMPARE(cuenta->Fields()(0).Value().toInt(), 200);
        } catch (const ErrorOra& e) {
            QFAIL(qPrintable(e.texto()));
        }

        const QStringList apartados = QDir(carpeta).entryList({u"nimbo-apartado-*.db"_s}, QDir::Files);
        QCOMPARE(apartados.size(), apartada ? 1 : 0);
        const QStringList avisos = base->avisos();
        QCOMPARE(avisos.size(), aviso.isEmpty() ? 0 : 1);
        if (!aviso.isEmpty()) {
            QVERIFY2(avisos[0].contains(ruta) && avisos[0].contains(aviso), qPrintable(avisos[0]));
            if (apartada) {
                // The set-aside file is the user's file as it was, and the notice says where it went.
                const QString apartado = carpeta + u'/' + apartados[0];
                QVERIFY2(avisos[0].contains(apartado), qPrintable(avisos[0]));
                QCOMPARE(huella(apartado), antes);
            }
        }
    }

    void damagedFilesAreReportedAndNeverWritten_data()
    {
        QTest::addColumn<bool>("embebida");
        QTest::addColumn<QString>("rota");
        QTest::newRow("embedded, schema page") << true << u"schema"_s;
        QTest::newRow("other file, schema page") << false << u"schema"_s;
        QTest::newRow("other file, a table's pages") << false << u"EMPLEADOS"_s;
    }
    void damagedFilesAreReportedAndNeverWritten()
    {
        QFETCH(bool, embebida);
        QFETCH(QString, rota);
        const QString carpeta = carpetaPropia(u"danada-"_s + QString::fromLatin1(QTest::currentDataTag()));
        const QString ruta = embebida ? rutaBaseEmbebida() : carpeta + u"/copia.db"_s;
        QVERIFY(QFile::copy(demo_, ruta));
        romper(ruta, rota);
        if (QTest::currentTestFailed())
            return;
        const QByteArray antes = huella(ruta);
        const auto esMensajeDeDano = [&](const ErrorOra& e) {
            return e.codigo() == NimboFicheroDanado && e.texto().contains(ruta) && e.texto().contains(u"dañado"_s)
                && e.texto().contains(u"no escribe nada más"_s);
        };

        {
            OraSession s;
            std::shared_ptr<OraDatabase> base;
            try {
                base = s.DbOpenDatabase(embebida ? nombreBaseEmbebida : ruta, u"scott/ravel"_s);
            } catch (const ErrorOra& e) {
                QVERIFY2(esMensajeDeDano(e), qPrintable(e.texto()));
                QCOMPARE(s.LastServerErr(), int(NimboFicheroDanado));
            }
            if (base) {
                // The damage is met on the first read of the broken table; from then on nothing is
                // written, whatever is asked.
                QVERIFY(rota != u"schema"_s);
                for (const auto& intento : {u"SELECT COUNT(*) FROM EMPLEADOS"_s,
                         u"INSERT INTO DEPARTAMENTOS VALUES (99, 'Nuevo', 'Soria')"_s, servidor::bloqueTraduccion}) {
                    try {
                        if (intento.startsWith(u"SELECT"_s))
                            base->DbCreateDynaset(intento);
                        else if (intento.startsWith(u"INSERT"_s))
                            base->DbExecuteSQL(intento);
                        else
                            servidor::traducir(*base, u"SELECT NOMBRE FROM DEPARTAMENTOS"_s);
                        QFAIL(qPrintable(u"no error from: "_s + intento));
                    } catch (const ErrorOra& e) {
                        QVERIFY2(esMensajeDeDano(e), qPrintable(e.texto()));
                        QCOMPARE(base->LastServerErr(), int(NimboFicheroDanado));
                    }
                }
            }
        }
        QCOMPARE(huella(ruta), antes);
        QVERIFY(QDir(carpeta).entryList({u"nimbo-apartado-*"_s}).isEmpty());
    }

    void namesThatAreNoFileSayWhatTheyAre_data()
    {
        QTest::addColumn<bool>("embebida");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("dice");
        QTest::newRow("missing") << false << u"none"_s << u"no existe"_s;
        QTest::newRow("folder") << false << u"folder"_s << u"carpeta"_s;
        QTest::newRow("fifo") << false << u"fifo"_s << u"fifo"_s;
        QTest::newRow("embedded path is a folder") << true << u"folder"_s << u"carpeta"_s;
    }
    void namesThatAreNoFileSayWhatTheyAre()
    {
        QFETCH(bool, embebida);
        QFETCH(QString, tipo);
        QFETCH(QString, dice);
        const QString carpeta = carpetaPropia(u"nombres-"_s + QString::fromLatin1(QTest::currentDataTag()));
        const QString ruta = embebida ? rutaBaseEmbebida() : carpeta + u"/otra.db"_s;
        if (tipo == u"folder"_s)
            QVERIFY(QDir().mkpath(ruta));
        else if (tipo == u"fifo"_s)
            QCOMPARE(::mkfifo(QFile::encodeName(ruta).constData(), 0600), 0);
        OraSession s;
        QVERIFY_THROWS_EXCEPTION(ErrorOra, s.DbOpenDatabase(embebida ? nombreBaseEmbebida : ruta, u"scott/ravel"_s));
        QCOMPARE(s.LastServerErr(), int(OraSinResolver));
        // The path, then what it is.
        const QString texto = s.LastServerErrText();
        QVERIFY2(texto.contains(ruta) && texto.mid(texto.indexOf(ruta) + ruta.size()).contains(dice), qPrintable(texto));
        QCOMPARE(QFileInfo(ruta).isDir(), tipo == u"folder"_s);
    }

    void leftoversOfAnInterruptedCreationAreRemoved()
    {
        const QString carpeta = carpetaPropia(u"restos"_s);
        const QStringList restos{u"nimbo-a1B2c3.db"_s, u"nimbo-a1B2c3.db-journal"_s, u"nimbo-ZZ9900.db-wal"_s};
        const QStringList ajenos{u"nimbo-apartado-20260101-000000.db"_s, u"nimbo-notas.txt"_s, u"nimbo-abc.db"_s};
        for (const auto& nombre : restos + ajenos)
            escribir(carpeta + u'/' + nombre, "x");
        OraSession s;
        QVERIFY(s.DbOpenDatabase(nombreBaseEmbebida, u"scott/ravel"_s));
        for (const auto& nombre : restos)
            QVERIFY2(!QFile::exists(carpeta + u'/' + nombre), qPrintable(nombre));
        for (const auto& nombre : ajenos)
            QVERIFY2(QFile::exists(carpeta + u'/' + nombre), qPrintable(nombre));
    }

    void anUnwritableDataFolderIsNamed()
    {
        const QString carpeta = carpetaPropia(u"sin-permiso"_s);
        QFile::setPermissions(carpeta, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        QFile::setPermissions(QFileInfo(carpeta).path(), QFile::permissions(carpeta));
        const auto s = nimboQuerySinPermisos({u"--sql"_s, u"SELECT 1 FROM DUAL"_s}, QFileInfo(carpeta).path());
        QFile::setPermissions(carpeta, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(s.estado, 1);
        QVERIFY2(s.err.contains(carpeta), qPrintable(s.err));
        QVERIFY(!QFile::exists(carpeta + u"/nimbo.db"_s));
    }

    // A file the user may only read serves reads and translations (the session numbered without
    // writing), refuses writes, and stays as it was.
    void aReadOnlyFileServesReads()
    {
        const QString carpeta = carpetaPropia(u"solo-lectura"_s);
        const QString ruta = carpeta + u"/lectura.db"_s;
        QVERIFY(QFile::copy(demo_, ruta));
        QVERIFY(QFile::setPermissions(ruta, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(carpeta, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        const QByteArray antes = huella(ruta);
        const QString consulta = u"SELECT NOMBRE, EDAD, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Joven THOLD 0.5 "
                                 u"ORDER BY CDEG(*) DESC, ID_EMPLEADO"_s;
        QProcess escribible;
        escribible.start(QStringLiteral(NIMBO_QUERY_BIN), {u"--db"_s, demo_, u"--query"_s, consulta});
        QVERIFY(escribible.waitForFinished(60000));
        const QString esperada = QString::fromUtf8(escribible.readAllStandardOutput());
        QVERIFY(esperada.count(u'\n') > 10);

        const QStringList db{u"--db"_s, ruta};
        const auto cuenta = nimboQuerySinPermisos(db + QStringList{u"--sql"_s, u"SELECT COUNT(*) FROM EMPLEADOS"_s});
        QCOMPARE(cuenta.out, u"COUNT(*)\n200\n"_s);
        QCOMPARE(cuenta.estado, 0);
        const auto sesion = nimboQuerySinPermisos(db + QStringList{u"--sql"_s, u"SELECT USERENV('SESSIONID') FROM DUAL"_s});
        QVERIFY2(sesion.out.section(u'\n', 1, 1).toLongLong() > 0, qPrintable(sesion.out + sesion.err));
        const auto difusa = nimboQuerySinPermisos(db + QStringList{u"--query"_s, consulta});
        QCOMPARE(difusa.estado, 0);
        QCOMPARE(difusa.out, esperada);
        const auto cambio = nimboQuerySinPermisos(
            db + QStringList{u"--exec"_s, u"INSERT INTO DEPARTAMENTOS VALUES (99, 'Nuevo', 'Soria')"_s});
        QCOMPARE(cambio.estado, 1);
        QVERIFY2(cambio.err.startsWith(u"16000\t"_s), qPrintable(cambio.err));

        QFile::setPermissions(carpeta, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(huella(ruta), antes);
    }

    void nimboFilesUseWal_data()
    {
        QTest::addColumn<QString>("fichero");
        QTest::addColumn<QString>("modo");
        QTest::newRow("made by nimbo") << u"new"_s << u"wal"_s;
        QTest::newRow("nimbo's, from before") << u"rollback"_s << u"wal"_s;
        QTest::newRow("someone else's") << u"foreign"_s << u"delete"_s;
    }
    void nimboFilesUseWal()
    {
        QFETCH(QString, fichero);
        QFETCH(QString, modo);
        const QString ruta = carpetaPropia(u"wal-"_s + QString::fromLatin1(QTest::currentDataTag())) + u"/f.db"_s;
        if (fichero == u"foreign"_s) {
            nieb::ConexionSqlite(ruta.toStdString(), nieb::ConexionSqlite::Apertura::Crear).ejecutar("CREATE TABLE T (A)");
        } else {
            instalarEnFichero(ruta, u"ana"_s, u"clave"_s);
            if (fichero == u"rollback"_s) {
                nieb::ConexionSqlite(ruta.toStdString(), nieb::ConexionSqlite::Apertura::Existente)
                    .ejecutar("PRAGMA journal_mode = DELETE");
                QCOMPARE(modoDiario(ruta), u"delete"_s);
            }
        }
        OraSession s;
        QVERIFY(s.DbOpenDatabase(ruta, u"ana/clave"_s));
        QCOMPARE(modoDiario(ruta), modo);
    }
};

QTEST_GUILESS_MAIN(tst_Ficheros)
#include "tst_ficheros.moc"
