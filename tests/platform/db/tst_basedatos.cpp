#include "BaseEmbebida.h"
#include "ConexionSqlite.h"
#include "Cuentas.h"
#include "ErrorOra.h"
#include "OraSession.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>


using namespace Qt::StringLiterals;
using namespace db;

namespace {

QList<QStringList> filasDe(OraDatabase& base, const QString& sql)
{
    const auto d = base.DbCreateDynaset(sql, 0);
    QList<QStringList> r;
    for (d->DbMoveFirst(); !d->Eof(); d->DbMoveNext()) {
        QStringList fila;
        for (int i = 0; i < d->Fields().Count(); ++i) {
            const QVariant v = d->Fields()(i).Value();
            fila << (v.isNull() ? u"NULL"_s : v.toString());
        }
        r << fila;
    }
    return r;
}

QString unValor(OraDatabase& base, const QString& sql)
{
    const auto r = filasDe(base, sql);
    return r.size() == 1 ? r[0].value(0) : u"<%1 filas>"_s.arg(r.size());
}

// A bound call made in the client's order: output first with 0, then the inputs; removed afterwards,
// on failure too.
qint64 llamar(
    OraDatabase& base, const QString& bloque, const QString& salida, const QList<QPair<QString, QVariant>>& entradas)
{
    base.Parameters().Add(salida, 0, OraParameters::Salida);
    for (const auto& [nombre, valor] : entradas)
        base.Parameters().Add(nombre, valor, OraParameters::Entrada);
    auto quitar = qScopeGuard([&] {
        base.Parameters().Remove(salida);
        for (const auto& e : entradas)
            base.Parameters().Remove(e.first);
    });
    base.DbExecuteSQL(bloque);
    return base.Parameters()(salida).toLongLong();
}

const QString bloqueObj
    = u"declare NUMTABLA ACCESSIBLE_TABLES.OBJ#%TYPE; Begin :NUMTABLA:=NIEB_PKG.NIEB_OBJ (:SCH,:TBL); end;"_s;
const QString bloqueCol
    = u"declare NUMCOL ACCESSIBLE_TABLES.OBJ#%TYPE; Begin :NUMCOL:=NIEB_PKG.NIEB_COL (:SCH,:TBL,:ATT); end;"_s;
const QString bloqueTipo = u"declare FT FCL.F_TYPE%TYPE; Begin :FT:=NIEB_PKG.NIEB_FTYPE (:OO,:CC); end;"_s;
const QString consultaTokens
    = u"SELECT ATRIBUTO FROM NIEB_QUERY WHERE ATRIBUTO IS NOT NULL AND SESSIONID=USERENV('SESSIONID') ORDER BY INDICE"_s;
const QString consultaErrores
    = u"SELECT INDICE,MSG_ERROR FROM NIEB_ERRORS WHERE SESSIONID=USERENV('SESSIONID') ORDER BY INDICE"_s;

QByteArray huella(const QString& ruta)
{
    QFile f(ruta);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class tst_BaseDatos : public QObject {
    Q_OBJECT

    QTemporaryDir datos_;
    OraSession sesion_;
    std::shared_ptr<OraDatabase> demo_;

    std::shared_ptr<OraDatabase> abrirDemo(OraSession& s) { return s.DbOpenDatabase(u"2:"_s, u"scott/ravel"_s, 0); }

    qint64 columna(const QString& tabla, const QString& col)
    {
        return llamar(*demo_, bloqueCol, u"NUMCOL"_s, {{u"SCH"_s, u"SCOTT"_s}, {u"TBL"_s, tabla}, {u"ATT"_s, col}});
    }
    qint64 tabla(const QString& t)
    {
        return llamar(*demo_, bloqueObj, u"NUMTABLA"_s, {{u"SCH"_s, u"SCOTT"_s}, {u"TBL"_s, t}});
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(datos_.isValid());
        qputenv("XDG_DATA_HOME", datos_.path().toUtf8());
        nieb::ConexionSqlite::esperaPorBloqueoMs = 300;
        demo_ = abrirDemo(sesion_);
        QVERIFY(QFile::exists(rutaBaseEmbebida()));
    }

    void catalogueCallsAnswerAsTheClientExpects()
    {
        const qint64 empleados = tabla(u"EMPLEADOS"_s);
        QVERIFY(empleados > 0);
        QCOMPARE(QString::number(empleados),
            unValor(*demo_, u"SELECT OBJ# FROM ACCESSIBLE_TABLES WHERE TABLE_NAME='EMPLEADOS'"_s));
        QCOMPARE(tabla(u"NO_EXISTE"_s), 0);

        // A type-2 attribute is found under its kind column, the name followed by "T".
        QCOMPARE(columna(u"EMPLEADOS"_s, u"EDAD"_s), 0);
        const qint64 edad = columna(u"EMPLEADOS"_s, u"EDADT"_s);
        const qint64 sueldo = columna(u"EMPLEADOS"_s, u"SUELDO"_s);
        const qint64 caracter = columna(u"EMPLEADOS"_s, u"CARACTER"_s);
        const qint64 nombre = columna(u"EMPLEADOS"_s, u"NOMBRE"_s);
        QVERIFY(edad > 0 && sueldo > 0 && caracter > 0 && nombre > 0);

        const auto tipo = [&](qint64 col) {
            return llamar(*demo_, bloqueTipo, u"FT"_s, {{u"OO"_s, qint16(empleados)}, {u"CC"_s, qint16(col)}});
        };
        QCOMPARE(tipo(sueldo), 1);
        QCOMPARE(tipo(edad), 2);
        QCOMPARE(tipo(caracter), 3);
        QCOMPARE(tipo(nombre), 0);
        QCOMPARE(demo_->Parameters().Count(), 0);

        const auto etiquetas = filasDe(*demo_,
            u"SELECT Label, Alfa, Beta, Gamma, Delta FROM LFOC WHERE OBJ#=%1 AND COL#=%2"_s.arg(empleados).arg(edad));
        QVERIFY(etiquetas.size() >= 2);
        for (const auto& e : etiquetas)
            QVERIFY(e[1].toDouble() <= e[2].toDouble() && e[2].toDouble() <= e[3].toDouble()
                && e[3].toDouble() <= e[4].toDouble());
        const auto semejanzas = filasDe(*demo_,
            u"SELECT Label_1, Label_2, Degree FROM LOCT3 WHERE OBJ#=%1 AND COL#=%2"_s.arg(empleados).arg(caracter));
        QVERIFY(semejanzas.size() >= 2);
        const auto compatibles = filasDe(*demo_, u"SELECT * FROM ACT3"_s);
        QVERIFY(!compatibles.isEmpty());
        QVERIFY(compatibles[0].contains(u"CARACTER"_s));
    }

    void infoWindowQueriesWork()
    {
        const auto usuario = filasDe(
            *demo_, u"SELECT USERNAME,USER_ID,DEFAULT_TABLESPACE,TEMPORARY_TABLESPACE,CREATED FROM USER_USERS"_s);
        QCOMPARE(usuario.size(), 1);
        QCOMPARE(usuario[0][0], u"SCOTT"_s);
        QVERIFY(!usuario[0][4].isEmpty() && usuario[0][4] != u"NULL"_s);
        QCOMPARE(unValor(*demo_, u"SELECT USERENV('SESSIONID') FROM DUAL"_s), QString::number(demo_->sesion()));
        QCOMPARE(
            filasDe(*demo_, u"SELECT VALUE FROM NLS_DATABASE_PARAMETERS WHERE PARAMETER='NLS_RDBMS_VERSION'"_s).size(),
            1);
        QVERIFY(!filasDe(*demo_, u"SELECT ROLE FROM SESSION_ROLES"_s).isEmpty());
        QVERIFY(!filasDe(*demo_, u"SELECT PRIVILEGE FROM SESSION_PRIVS"_s).isEmpty());
        QVERIFY(!filasDe(*demo_, u"SELECT RESOURCE_NAME, LIMIT FROM USER_RESOURCE_LIMITS"_s).isEmpty());
        QCOMPARE(filasDe(*demo_,
                     u"SELECT R.RESOURCE_NAME FROM USER_RESOURCE_LIMITS R WHERE R.LIMIT = 'UNLIMITED' ORDER BY R.LIMIT"_s)
                     .size(),
            4);
        // No NOT/AND/OR rows: the client shows the default logic functions.
        for (const auto& op : {u"NOT"_s, u"AND"_s, u"OR"_s})
            QCOMPARE(filasDe(*demo_, u"SELECT VALOR FROM NIEB_OPTIONS WHERE OPCION='%1'"_s.arg(op)).size(), 0);
        QVERIFY(!filasDe(*demo_, u"SELECT OPCION,VALOR FROM NIEB_OPTIONS"_s).isEmpty());
        QVERIFY(!filasDe(*demo_, u"SELECT OPCION,VALOR FROM NIEB_INFO"_s).isEmpty());
        QVERIFY(unValor(*demo_, u"SELECT NUM FROM NIEB_STATS WHERE EVENTO='SESIONES'"_s).toInt() >= 1);
        for (const auto& paquete : {u"NIEB_PKG"_s, u"NIEB_FUNCTIONS"_s, u"NIEB_FUNCTIONS2"_s})
            QCOMPARE(
                unValor(*demo_,
                    u"SELECT status FROM ALL_OBJECTS WHERE object_name='%1' AND object_type='PACKAGE'"_s.arg(paquete)),
                u"VALID"_s);
        QCOMPARE(unValor(*demo_, u"SELECT LEAST(3, 1, 2) || GREATEST('a', 'b') FROM DUAL"_s), u"1b"_s);
        QCOMPARE(unValor(*demo_, u"SELECT LEAST(1, NULL) FROM DUAL"_s), u"NULL"_s);
    }

    void tableNumbersFollowTheTablesLife()
    {
        demo_->DbExecuteSQL(u"CREATE TABLE PRUEBA_VIDA (A NUMBER)"_s);
        const qint64 numero = tabla(u"PRUEBA_VIDA"_s);
        QVERIFY(numero > 0);
        demo_->DbExecuteSQL(u"CREATE TABLE OTRA_MAS (A NUMBER)"_s);
        QCOMPARE(tabla(u"PRUEBA_VIDA"_s), numero);
        demo_->DbExecuteSQL(u"DROP TABLE PRUEBA_VIDA"_s);
        demo_->DbExecuteSQL(u"DROP TABLE OTRA_MAS"_s);
        QCOMPARE(tabla(u"PRUEBA_VIDA"_s), 0);
        QCOMPARE(filasDe(*demo_, u"SELECT * FROM ACCESSIBLE_TABLES WHERE TABLE_NAME='PRUEBA_VIDA'"_s).size(), 0);
    }

    void sessionsAreDistinctAndSeeOnlyTheirRows()
    {
        OraSession otra;
        auto segunda = abrirDemo(otra);
        QVERIFY(segunda->sesion() != demo_->sesion());

        // Another process gets yet another number.
        QProcess p;
        p.start(QStringLiteral(NIMBO_QUERY_BIN), {u"--sql"_s, u"SELECT USERENV('SESSIONID') FROM DUAL"_s});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const qint64 deOtroProceso = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n').value(1).toLongLong();
        QVERIFY(deOtroProceso > 0);
        QVERIFY(deOtroProceso != demo_->sesion() && deOtroProceso != segunda->sesion());

        for (auto* base : {demo_.get(), segunda.get()}) {
            base->DbExecuteSQL(
                u"INSERT INTO NIEB_QUERY VALUES (USERENV('SESSIONID'), 1, 'SELECT %1')"_s.arg(base->sesion()));
            base->DbExecuteSQL(
                u"INSERT INTO NIEB_ERRORS VALUES (USERENV('SESSIONID'), 1, 'error %1')"_s.arg(base->sesion()));
        }
        QCOMPARE(filasDe(*demo_, consultaTokens), QList<QStringList>{{u"SELECT %1"_s.arg(demo_->sesion())}});
        QCOMPARE(
            filasDe(*segunda, consultaErrores), (QList<QStringList>{{u"1"_s, u"error %1"_s.arg(segunda->sesion())}}));

        demo_->DbExecuteSQL(u"Begin NIEB_PKG.NIEB_FIN; end;"_s);
        QVERIFY(filasDe(*demo_, consultaTokens).isEmpty());
        QVERIFY(filasDe(*demo_, consultaErrores).isEmpty());
        QCOMPARE(filasDe(*segunda, consultaTokens).size(), 1);
        segunda->DbExecuteSQL(u"Begin NIEB_PKG.NIEB_FIN; end;"_s);
    }

    void loginFailuresAreReportedOnTheSession_data()
    {
        QTest::addColumn<QString>("conexion");
        QTest::newRow("wrong password") << u"SCOTT/tiger"_s;
        QTest::newRow("password case matters") << u"SCOTT/RAVEL"_s;
        QTest::newRow("unknown user") << u"NADIE/ravel"_s;
        QTest::newRow("no password") << u"SCOTT"_s;
    }
    void loginFailuresAreReportedOnTheSession()
    {
        QFETCH(QString, conexion);
        OraSession s;
        s.LastServerErrReset();
        QVERIFY_THROWS_EXCEPTION(ErrorOra, s.DbOpenDatabase(u"2:"_s, conexion, 0));
        QCOMPARE(s.LastServerErr(), int(OraCredenciales));
        QCOMPARE(s.LastServerErrText(), u"ORA-01017: invalid username/password; logon denied"_s);
        // A user name in other case is the same account.
        QVERIFY(s.DbOpenDatabase(u" 2: "_s, u"Scott/ravel"_s, 0));
    }

    void statementErrorsNameTheirCause_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("causa");
        QTest::newRow("unknown table") << u"SELECT * FROM EMPLEADOZ"_s << int(OraTablaInexistente) << u"EMPLEADOZ"_s;
        QTest::newRow("unknown column") << u"SELECT SUELDAZO FROM EMPLEADOS"_s << int(OraIdentificadorInvalido)
                                        << u"SUELDAZO"_s;
        QTest::newRow("syntax") << u"SELEC 1 FROM DUAL"_s << int(OraSentenciaInvalida) << u"SELEC"_s;
        QTest::newRow("delete") << u"DELETE FROM EMPLEADOS"_s << int(NimboNoEsConsulta) << u"consultas"_s;
        QTest::newRow("update with subselect") << u"UPDATE EMPLEADOS SET SUELDO = (SELECT MAX(SUELDO) FROM EMPLEADOS)"_s
                                               << int(NimboNoEsConsulta) << u"consultas"_s;
        QTest::newRow("ddl") << u"DROP TABLE EMPLEADOS"_s << int(NimboNoEsConsulta) << u"consultas"_s;
        QTest::newRow("writing pragma") << u"PRAGMA user_version = 7"_s << int(NimboNoEsConsulta) << u"consultas"_s;
        QTest::newRow("returning") << u"DELETE FROM EMPLEADOS RETURNING *"_s << int(NimboNoEsConsulta)
                                   << u"consultas"_s;
        QTest::newRow("block") << u"Begin NIEB_PKG.NIEB_FIN; end;"_s << int(NimboNoEsConsulta) << u"consultas"_s;
        QTest::newRow("second statement")
            << u"SELECT 1 FROM DUAL; DELETE FROM EMPLEADOS"_s << int(NimboMasDeUnaSentencia) << u"una sola"_s;
        QTest::newRow("unbound") << u"SELECT :NADA FROM DUAL"_s << int(OraVariableSinEnlazar) << u"NADA"_s;
    }
    void statementErrorsNameTheirCause()
    {
        QFETCH(QString, sql);
        QFETCH(int, codigo);
        QFETCH(QString, causa);
        const QString antes = unValor(*demo_, u"SELECT COUNT(*) || '/' || SUM(SUELDO) FROM EMPLEADOS"_s);
        sesion_.LastServerErrReset();
        QVERIFY_THROWS_EXCEPTION(ErrorOra, demo_->DbCreateDynaset(sql, 0));
        QCOMPARE(demo_->LastServerErr(), codigo);
        QVERIFY2(demo_->LastServerErrText().contains(causa), qPrintable(demo_->LastServerErrText()));
        QCOMPARE(sesion_.LastServerErr(), 0);
        QCOMPARE(unValor(*demo_, u"SELECT COUNT(*) || '/' || SUM(SUELDO) FROM EMPLEADOS"_s), antes);
        sesion_.LastServerErrReset();
        QCOMPARE(demo_->LastServerErr(), 0);
    }

    void blocksFailInTheVendorsWay()
    {
        // A package function that does not exist, and a bound call with a missing input.
        QVERIFY_THROWS_EXCEPTION(ErrorOra, demo_->DbExecuteSQL(u"Begin NIEB_PKG.NO_EXISTE; end;"_s));
        QCOMPARE(demo_->LastServerErr(), int(OraErrorPlsql));
        QVERIFY(demo_->LastServerErrText().contains(u"NO_EXISTE"_s));
        demo_->Parameters().Add(u"NUMTABLA"_s, 0, OraParameters::Salida);
        QVERIFY_THROWS_EXCEPTION(ErrorOra, demo_->DbExecuteSQL(bloqueObj));
        QCOMPARE(demo_->LastServerErr(), int(OraVariableSinEnlazar));
        demo_->Parameters().Remove(u"NUMTABLA"_s);
        demo_->Parameters().Remove(u"NUNCA_ENLAZADO"_s);

        // An SQLite file without the server: the package is not there.
        const QString ruta = datos_.filePath(u"sin_servidor.db"_s);
        nieb::ConexionSqlite(ruta.toStdString(), nieb::ConexionSqlite::Apertura::Crear).ejecutar("CREATE TABLE T (A)");
        OraSession s;
        auto base = s.DbOpenDatabase(ruta, u"cualquiera/cosa"_s, 0);
        QCOMPARE(unValor(*base, u"SELECT USER_ID || USERNAME FROM USER_USERS"_s), u"0CUALQUIERA"_s);
        QCOMPARE(unValor(*base, u"SELECT COUNT(*) FROM ALL_OBJECTS WHERE object_type='PACKAGE'"_s), u"0"_s);
        QVERIFY(base->sesion() > 0);
        QVERIFY_THROWS_EXCEPTION(
            ErrorOra, llamar(*base, bloqueObj, u"NUMTABLA"_s, {{u"SCH"_s, u"A"_s}, {u"TBL"_s, u"T"_s}}));
        QCOMPARE(base->LastServerErr(), int(OraErrorPlsql));
        QVERIFY(base->LastServerErrText().contains(u"NIEB_PKG.NIEB_OBJ"_s));
        QCOMPARE(s.LastServerErr(), 0);
        QCOMPARE(base->Parameters().Count(), 0);
    }

    void aCancelStopsTheStatement()
    {
        int preguntas = 0;
        demo_->setCancelador([&] { return ++preguntas >= 3; });
        QVERIFY_THROWS_EXCEPTION(ErrorOra,
            demo_->DbCreateDynaset(
                u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000000) "
                u"SELECT COUNT(*) FROM n"_s));
        demo_->setCancelador({});
        QCOMPARE(demo_->LastServerErr(), int(OraCancelada));
        QCOMPARE(demo_->LastServerErrText(), u"ORA-01013: user requested cancel of current operation"_s);
        QCOMPARE(unValor(*demo_, u"SELECT 1 FROM DUAL"_s), u"1"_s);
    }

    void dynasetCountsAllAndKeepsTheFirstRows()
    {
        const QString mil = u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                            u"SELECT i, 'fila ' || i AS TEXTO, CASE WHEN i % 2 = 0 THEN NULL ELSE i * 0.5 END AS MEDIO "
                            u"FROM n"_s;
        const auto d = demo_->DbCreateDynaset(mil, QVariant(), 10);
        QCOMPARE(d->RecordCount(), 1000);
        QVERIFY(!d->Bof() && !d->Eof());
        int vistas = 0;
        for (; !d->Eof(); d->DbMoveNext())
            ++vistas;
        QCOMPARE(vistas, 10);
        d->DbMoveLast();
        QCOMPARE(d->Fields()(u"texto"_s).Value().toString(), u"fila 10"_s);
        QVERIFY(d->Fields()(u"MEDIO"_s).esNulo());
        d->DbMovePrevious();
        QCOMPARE(d->Fields()(2).Value().toDouble(), 4.5);
        d->DbMoveFirst();
        d->DbMovePrevious();
        QVERIFY(d->Bof());
        QVERIFY_THROWS_EXCEPTION(ErrorOra, d->Fields()(u"NO_HAY"_s));
        QCOMPARE(d->Fields()(1).OraMaxDSize(), 7); // "fila 10", the longest of the kept values

        const auto vacio = demo_->DbCreateDynaset(u"SELECT * FROM EMPLEADOS WHERE 1 = 0"_s);
        QCOMPARE(vacio->RecordCount(), 0);
        QVERIFY(vacio->Bof() && vacio->Eof());
        QVERIFY(vacio->Fields().Count() > 5);
    }

    void displaySizeComesFromTheDeclaredType()
    {
        demo_->DbExecuteSQL(u"CREATE TABLE TAMANOS (A VARCHAR(30), B NUMBER(6,2), C INTEGER, D VARCHAR2(2000))"_s);
        demo_->DbExecuteSQL(u"INSERT INTO TAMANOS VALUES ('x', 1.5, 2, 'y')"_s);
        const auto d = demo_->DbCreateDynaset(u"SELECT A, B, C, D FROM TAMANOS"_s);
        QCOMPARE(d->Fields()(0).OraMaxDSize(), 30);
        QCOMPARE(d->Fields()(1).OraMaxDSize(), 6);
        QCOMPARE(d->Fields()(2).OraMaxDSize(), 22);
        QCOMPARE(d->Fields()(3).OraMaxDSize(), 2000);
        demo_->DbExecuteSQL(u"DROP TABLE TAMANOS"_s);
    }

    void badFilesGiveClearErrorsAndStayAsTheyWere()
    {
        // Missing: nothing is created.
        OraSession s;
        const QString falta = datos_.filePath(u"no_esta.db"_s);
        QVERIFY_THROWS_EXCEPTION(ErrorOra, s.DbOpenDatabase(falta, u"a/b"_s, 0));
        QCOMPARE(s.LastServerErr(), int(OraSinResolver));
        QVERIFY(s.LastServerErrText().contains(falta));
        QVERIFY(!QFile::exists(falta));

        // Not a database: reported, never overwritten.
        const QString basura = datos_.filePath(u"basura.sqlite"_s);
        {
            QFile f(basura);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(8192, 'x'));
        }
        const QByteArray antes = huella(basura);
        QVERIFY_THROWS_EXCEPTION(ErrorOra, s.DbOpenDatabase(basura, u"a/b"_s, 0));
        QVERIFY(s.LastServerErrText().contains(u"no es una base de datos"_s));
        QCOMPARE(huella(basura), antes);

        // Not a database name this build knows.
        QVERIFY_THROWS_EXCEPTION(ErrorOra, s.DbOpenDatabase(u"servidor:5432/db"_s, u"a/b"_s, 0));
        QCOMPARE(s.LastServerErr(), int(OraSinResolver));
    }

    void aLockedDatabaseIsReportedAsBusy()
    {
        nieb::ConexionSqlite bloqueo(rutaBaseEmbebida().toStdString(), nieb::ConexionSqlite::Apertura::Existente);
        bloqueo.ejecutar("BEGIN EXCLUSIVE");
        OraSession s;
        QVERIFY_THROWS_EXCEPTION(ErrorOra, abrirDemo(s));
        QCOMPARE(s.LastServerErr(), int(OraRecursoOcupado));
        bloqueo.ejecutar("ROLLBACK");
        QVERIFY(abrirDemo(s));
    }

    void passwordsAreSaltedHashes()
    {
        const QString a = cifrarClave(u"ravel"_s), b = cifrarClave(u"ravel"_s);
        QVERIFY(a != b);
        QVERIFY(!a.contains(u"ravel"_s));
        QVERIFY(claveCorrecta(u"ravel"_s, a) && claveCorrecta(u"ravel"_s, b));
        QVERIFY(!claveCorrecta(u"ravel "_s, a));
        QVERIFY(!claveCorrecta(u"ravel"_s, u"pbkdf2-sha256$0$$"_s));
        QVERIFY(!claveCorrecta(u"ravel"_s, u"ravel"_s));
    }

    // Hashes made outside the program from a fixed salt, password and round count: accounts stored
    // in existing files keep logging in whatever becomes of the hashing code.
    void passwordHashesMadeElsewhereAreAccepted_data()
    {
        QTest::addColumn<QString>("clave");
        QTest::addColumn<QString>("guardada");
        QTest::addColumn<bool>("correcta");
        const QString ravel = u"pbkdf2-sha256$1000$TmltYm9TYWwxNmJ5dGVzIQ==$PgpLkPnKPtPmIk/U9IluKefjEWN0KNFa8aOqfwHfv7M="_s;
        QTest::newRow("ascii, 1000 rounds") << u"ravel"_s << ravel << true;
        QTest::newRow("utf-8, one round")
            << u"contraseña ñ€"_s
            << u"pbkdf2-sha256$1$AAECAwQFBgcICQoLDA0ODw==$9AY0oIpYK8cGo4P7bB3js0Xqa2cWQhRN+bR7+cfyyss="_s << true;
        QTest::newRow("empty, two rounds")
            << QString() << u"pbkdf2-sha256$2$c2Fs$xK9W3qZI4hv2TyY2cwLUO77qg5zoV/t66tfw/sKXywE="_s << true;
        QTest::newRow("other case") << u"Ravel"_s << ravel << false;
        QTest::newRow("one round less") << u"ravel"_s << QString(ravel).replace(u"$1000$"_s, u"$999$"_s) << false;
    }
    void passwordHashesMadeElsewhereAreAccepted()
    {
        QFETCH(QString, clave);
        QFETCH(QString, guardada);
        QFETCH(bool, correcta);
        QCOMPARE(claveCorrecta(clave, guardada), correcta);

        // The same through a stored account.
        const QString ruta = datos_.filePath(u"clave-%1.db"_s.arg(QString::fromLatin1(QTest::currentDataTag())));
        instalarEnFichero(ruta, u"eva"_s, u"otra"_s);
        nieb::ConexionSqlite(ruta.toStdString(), nieb::ConexionSqlite::Apertura::Existente)
            .ejecutar("UPDATE NIMBO_CUENTAS SET CLAVE = ?1", {guardada.toStdString()});
        OraSession s;
        try {
            s.DbOpenDatabase(ruta, u"eva/"_s + clave);
            QVERIFY(correcta);
        } catch (const ErrorOra&) {
            QVERIFY(!correcta);
            QCOMPARE(s.LastServerErr(), int(OraCredenciales));
        }
    }

    // User names are kept in capitals and may hold any character, an apostrophe too.
    void accountNamesAreKeptInCapitals_data()
    {
        QTest::addColumn<QString>("escrito");
        QTest::addColumn<QString>("guardado");
        QTest::newRow("lower case") << u"ana"_s << u"ANA"_s;
        QTest::newRow("apostrophe") << u"o'neil"_s << u"O'NEIL"_s;
        QTest::newRow("accents") << u"núñez"_s << u"NÚÑEZ"_s;
    }
    void accountNamesAreKeptInCapitals()
    {
        QFETCH(QString, escrito);
        QFETCH(QString, guardado);
        const QString ruta = datos_.filePath(u"cuenta-%1.db"_s.arg(QString::fromLatin1(QTest::currentDataTag())));
        QVERIFY(instalarEnFichero(ruta, escrito, u"clave"_s));
        OraSession s;
        std::shared_ptr<OraDatabase> base;
        try {
            base = s.DbOpenDatabase(ruta, escrito + u"/clave"_s);
            QVERIFY(s.DbOpenDatabase(ruta, guardado + u"/clave"_s));
            base->DbExecuteSQL(u"CREATE TABLE PROPIA (A NUMBER)"_s);
        } catch (const ErrorOra& e) {
            QFAIL(qPrintable(e.texto()));
        }
        QCOMPARE(unValor(*base, u"SELECT USERNAME FROM NIMBO_CUENTAS"_s), guardado);
        QCOMPARE(unValor(*base, u"SELECT USERNAME FROM USER_USERS"_s), guardado);
        QCOMPARE(unValor(*base, u"SELECT OWNER FROM ALL_OBJECTS WHERE OBJECT_NAME = 'PROPIA'"_s), guardado);
        QCOMPARE(unValor(*base, u"SELECT OWNER FROM ALL_OBJECTS WHERE OBJECT_NAME = 'NIEB_PKG'"_s), guardado);
        // The new table is numbered when the next session opens.
        base = s.DbOpenDatabase(ruta, escrito + u"/clave"_s);
        QCOMPARE(unValor(*base, u"SELECT OWNER FROM ACCESSIBLE_TABLES WHERE TABLE_NAME = 'PROPIA'"_s), guardado);
    }
};

QTEST_GUILESS_MAIN(tst_BaseDatos)
#include "tst_basedatos.moc"
