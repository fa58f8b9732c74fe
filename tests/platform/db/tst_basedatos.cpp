#include "BaseEmbebida.h"
#include "BasePostgres.h"
#include "ConexionSqlite.h"
#include "Cuentas.h"
#include "ErrorOra.h"
#include "OraSession.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
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

// Picks the row's backend, or skips the row when it cannot run here.
#define ELEGIR_MOTOR()                                                                                                 \
    QFETCH(QString, motor);                                                                                            \
    if (const QString falta = elegir(motor); !falta.isEmpty())                                                         \
    QSKIP(qPrintable(falta))

// The cases that hold for every backend run once per backend ("sqlite": the embedded demo database,
// "postgres": a database with the server and the demo on the server NIMBO_PG names); the others
// belong to one of them.
class tst_BaseDatos : public QObject {
    Q_OBJECT

    QTemporaryDir datos_;
    OraSession sesion_;
    std::shared_ptr<OraDatabase> demo_;
    std::unique_ptr<BasePostgres> pg_;
    std::shared_ptr<OraDatabase> demoPg_;
    // The demo database of the current row's backend, and its login.
    OraDatabase* base_ = nullptr;
    QString nombre_, conexion_, esquema_;

    std::shared_ptr<OraDatabase> abrirDemo(OraSession& s) { return s.DbOpenDatabase(u"2:"_s, u"scott/ravel"_s, 0); }
    std::shared_ptr<OraDatabase> abrirOtra(OraSession& s) { return s.DbOpenDatabase(nombre_, conexion_, 0); }

    static void motores()
    {
        QTest::addColumn<QString>("motor");
        QTest::newRow("sqlite") << u"sqlite"_s;
        QTest::newRow("postgres") << u"postgres"_s;
    }
    // Points base_ at the row's backend; empty, or why the row cannot run. Without the NIEB server's
    // scripts in this build the PostgreSQL database is an empty one.
    QString elegir(const QString& motor, bool conServidor = true)
    {
        if (motor == u"sqlite"_s) {
            base_ = demo_.get();
            nombre_ = u"2:"_s;
            conexion_ = u"scott/ravel"_s;
            esquema_ = u"SCOTT"_s;
            return {};
        }
        if (!pg_)
            return BasePostgres::sinServidor();
        if (!demoPg_)
            return u"no PostgreSQL database: "_s + pg_->error();
        if (conServidor && !BasePostgres::conGuiones())
            return u"this build has no scripts for the NIEB server on PostgreSQL"_s;
        base_ = demoPg_.get();
        nombre_ = pg_->nombre();
        conexion_ = BasePostgres::conexion();
        esquema_ = BasePostgres::usuario().toUpper();
        return {};
    }

    qint64 columna(const QString& tabla, const QString& col)
    {
        return llamar(*base_, bloqueCol, u"NUMCOL"_s, {{u"SCH"_s, esquema_}, {u"TBL"_s, tabla}, {u"ATT"_s, col}});
    }
    qint64 tabla(const QString& t)
    {
        return llamar(*base_, bloqueObj, u"NUMTABLA"_s, {{u"SCH"_s, esquema_}, {u"TBL"_s, t}});
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(datos_.isValid());
        qputenv("XDG_DATA_HOME", datos_.path().toUtf8());
        nieb::ConexionSqlite::esperaPorBloqueoMs = 300;
        demo_ = abrirDemo(sesion_);
        QVERIFY(QFile::exists(rutaBaseEmbebida()));
        if (!BasePostgres::sinServidor().isEmpty())
            return;
        pg_ = std::make_unique<BasePostgres>(
            BasePostgres::conGuiones() ? BasePostgres::Contenido::ServidorYDemo : BasePostgres::Contenido::Vacia);
        QVERIFY2(pg_->error().isEmpty(), qPrintable(pg_->error()));
        demoPg_ = sesion_.DbOpenDatabase(pg_->nombre(), BasePostgres::conexion(), 0);
    }

    void catalogueCallsAnswerAsTheClientExpects_data() { motores(); }
    void catalogueCallsAnswerAsTheClientExpects()
    {
        ELEGIR_MOTOR();
        const qint64 empleados = tabla(u"EMPLEADOS"_s);
        QVERIFY(empleados > 0);
        // Both servers name the table in capitals, as the client's table list shows it.
        QCOMPARE(QString::number(empleados),
            unValor(*base_, u"SELECT OBJ# FROM ACCESSIBLE_TABLES WHERE TABLE_NAME='EMPLEADOS'"_s));
        QCOMPARE(tabla(u"NO_EXISTE"_s), 0);

        // A type-2 attribute is found under its kind column, the name followed by "T".
        QCOMPARE(columna(u"EMPLEADOS"_s, u"EDAD"_s), 0);
        const qint64 edad = columna(u"EMPLEADOS"_s, u"EDADT"_s);
        const qint64 sueldo = columna(u"EMPLEADOS"_s, u"SUELDO"_s);
        const qint64 caracter = columna(u"EMPLEADOS"_s, u"CARACTER"_s);
        const qint64 nombre = columna(u"EMPLEADOS"_s, u"NOMBRE"_s);
        QVERIFY(edad > 0 && sueldo > 0 && caracter > 0 && nombre > 0);

        const auto tipo = [&](qint64 col) {
            return llamar(*base_, bloqueTipo, u"FT"_s, {{u"OO"_s, qint16(empleados)}, {u"CC"_s, qint16(col)}});
        };
        QCOMPARE(tipo(sueldo), 1);
        QCOMPARE(tipo(edad), 2);
        QCOMPARE(tipo(caracter), 3);
        QCOMPARE(tipo(nombre), 0);
        QCOMPARE(base_->Parameters().Count(), 0);

        const auto etiquetas = filasDe(*base_,
            u"SELECT Label, Alfa, Beta, Gamma, Delta FROM LFOC WHERE OBJ#=%1 AND COL#=%2"_s.arg(empleados).arg(edad));
        QVERIFY(etiquetas.size() >= 2);
        for (const auto& e : etiquetas)
            QVERIFY(e[1].toDouble() <= e[2].toDouble() && e[2].toDouble() <= e[3].toDouble()
                && e[3].toDouble() <= e[4].toDouble());
        const auto semejanzas = filasDe(*base_,
            u"SELECT Label_1, Label_2, Degree FROM LOCT3 WHERE OBJ#=%1 AND COL#=%2"_s.arg(empleados).arg(caracter));
        QVERIFY(semejanzas.size() >= 2);
        const auto compatibles = filasDe(*base_, u"SELECT * FROM ACT3"_s);
        QVERIFY(!compatibles.isEmpty());
        QVERIFY(compatibles[0].join(u' ').contains(u"CARACTER"_s, Qt::CaseInsensitive));
    }

    void infoWindowQueriesWork_data() { motores(); }
    void infoWindowQueriesWork()
    {
        ELEGIR_MOTOR();
        const auto usuario = filasDe(
            *base_, u"SELECT USERNAME,USER_ID,DEFAULT_TABLESPACE,TEMPORARY_TABLESPACE,CREATED FROM USER_USERS"_s);
        QCOMPARE(usuario.size(), 1);
        QCOMPARE(usuario[0][0], esquema_);
        // PostgreSQL does not record when a role was made.
        if (motor == u"sqlite"_s)
            QVERIFY(!usuario[0][4].isEmpty() && usuario[0][4] != u"NULL"_s);
        QCOMPARE(unValor(*base_, u"SELECT USERENV('SESSIONID') FROM DUAL"_s), QString::number(base_->sesion()));
        QCOMPARE(
            filasDe(*base_, u"SELECT VALUE FROM NLS_DATABASE_PARAMETERS WHERE PARAMETER='NLS_RDBMS_VERSION'"_s).size(),
            1);
        // A PostgreSQL role may have been granted none.
        const auto roles = filasDe(*base_, u"SELECT ROLE FROM SESSION_ROLES"_s);
        QVERIFY(motor == u"postgres"_s || !roles.isEmpty());
        QVERIFY(!filasDe(*base_, u"SELECT PRIVILEGE FROM SESSION_PRIVS"_s).isEmpty());
        QVERIFY(!filasDe(*base_, u"SELECT RESOURCE_NAME, LIMIT FROM USER_RESOURCE_LIMITS"_s).isEmpty());
        QCOMPARE(filasDe(*base_,
                     u"SELECT R.RESOURCE_NAME FROM USER_RESOURCE_LIMITS R WHERE R.LIMIT = 'UNLIMITED' ORDER BY R.LIMIT"_s)
                     .size(),
            4);
        // No NOT/AND/OR rows: the client shows the default logic functions.
        for (const auto& op : {u"NOT"_s, u"AND"_s, u"OR"_s})
            QCOMPARE(filasDe(*base_, u"SELECT VALOR FROM NIEB_OPTIONS WHERE OPCION='%1'"_s.arg(op)).size(), 0);
        QVERIFY(!filasDe(*base_, u"SELECT OPCION,VALOR FROM NIEB_OPTIONS"_s).isEmpty());
        QVERIFY(!filasDe(*base_, u"SELECT OPCION,VALOR FROM NIEB_INFO"_s).isEmpty());
        QVERIFY(unValor(*base_, u"SELECT NUM FROM NIEB_STATS WHERE EVENTO='SESIONES'"_s).toInt() >= 1);
        for (const auto& paquete : {u"NIEB_PKG"_s, u"NIEB_FUNCTIONS"_s, u"NIEB_FUNCTIONS2"_s})
            QCOMPARE(
                unValor(*base_,
                    u"SELECT status FROM ALL_OBJECTS WHERE object_name='%1' AND object_type='PACKAGE'"_s.arg(paquete)),
                u"VALID"_s);
        QCOMPARE(unValor(*base_, u"SELECT LEAST(3, 1, 2) || GREATEST('a', 'b') FROM DUAL"_s), u"1b"_s);
        // Typed SQL gets the database's own LEAST: PostgreSQL's skips NULLs (translations use the server's).
        if (motor == u"sqlite"_s)
            QCOMPARE(unValor(*base_, u"SELECT LEAST(1, NULL) FROM DUAL"_s), u"NULL"_s);
    }

    void tableNumbersFollowTheTablesLife_data() { motores(); }
    void tableNumbersFollowTheTablesLife()
    {
        ELEGIR_MOTOR();
        base_->DbExecuteSQL(u"CREATE TABLE PRUEBA_VIDA (A INTEGER)"_s);
        const qint64 numero = tabla(u"PRUEBA_VIDA"_s);
        QVERIFY(numero > 0);
        base_->DbExecuteSQL(u"CREATE TABLE OTRA_MAS (A INTEGER)"_s);
        QCOMPARE(tabla(u"PRUEBA_VIDA"_s), numero);
        base_->DbExecuteSQL(u"DROP TABLE PRUEBA_VIDA"_s);
        base_->DbExecuteSQL(u"DROP TABLE OTRA_MAS"_s);
        QCOMPARE(tabla(u"PRUEBA_VIDA"_s), 0);
        QCOMPARE(filasDe(*base_, u"SELECT * FROM ACCESSIBLE_TABLES WHERE UPPER(TABLE_NAME)='PRUEBA_VIDA'"_s).size(), 0);
    }

    void sessionsAreDistinctAndSeeOnlyTheirRows_data() { motores(); }
    void sessionsAreDistinctAndSeeOnlyTheirRows()
    {
        ELEGIR_MOTOR();
        OraSession otra;
        auto segunda = abrirOtra(otra);
        QVERIFY(segunda->sesion() != base_->sesion());

        // Another process gets yet another number.
        QProcess p;
        const auto barra = conexion_.indexOf(u'/');
        p.start(QStringLiteral(NIMBO_QUERY_BIN),
            {u"--db"_s, nombre_, u"--user"_s, conexion_.left(barra), u"--password"_s, conexion_.mid(barra + 1), u"--sql"_s,
                u"SELECT USERENV('SESSIONID') FROM DUAL"_s});
        QVERIFY(p.waitForFinished(30000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const qint64 deOtroProceso = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n').value(1).toLongLong();
        QVERIFY(deOtroProceso > 0);
        QVERIFY(deOtroProceso != base_->sesion() && deOtroProceso != segunda->sesion());

        for (auto* base : {base_, segunda.get()}) {
            base->DbExecuteSQL(
                u"INSERT INTO NIEB_QUERY VALUES (USERENV('SESSIONID'), 1, 'SELECT %1')"_s.arg(base->sesion()));
            base->DbExecuteSQL(
                u"INSERT INTO NIEB_ERRORS VALUES (USERENV('SESSIONID'), 1, 'error %1')"_s.arg(base->sesion()));
        }
        QCOMPARE(filasDe(*base_, consultaTokens), QList<QStringList>{{u"SELECT %1"_s.arg(base_->sesion())}});
        QCOMPARE(
            filasDe(*segunda, consultaErrores), (QList<QStringList>{{u"1"_s, u"error %1"_s.arg(segunda->sesion())}}));

        // Written into the session's own tables: a third session sees none of them.
        OraSession tercera;
        QCOMPARE(unValor(*abrirOtra(tercera), u"SELECT COUNT(*) FROM NIEB_QUERY"_s), u"0"_s);

        base_->DbExecuteSQL(u"Begin NIEB_PKG.NIEB_FIN; end;"_s);
        QVERIFY(filasDe(*base_, consultaTokens).isEmpty());
        QVERIFY(filasDe(*base_, consultaErrores).isEmpty());
        QCOMPARE(filasDe(*segunda, consultaTokens).size(), 1);
        segunda->DbExecuteSQL(u"Begin NIEB_PKG.NIEB_FIN; end;"_s);
    }

    void loginFailuresGiveTheLogonDeniedText_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("conexion");
        QTest::newRow("sqlite: wrong password") << u"sqlite"_s << u"SCOTT/tiger"_s;
        QTest::newRow("sqlite: password case matters") << u"sqlite"_s << u"SCOTT/RAVEL"_s;
        QTest::newRow("sqlite: unknown user") << u"sqlite"_s << u"NADIE/ravel"_s;
        QTest::newRow("sqlite: no password") << u"sqlite"_s << u"SCOTT"_s;
        QTest::newRow("postgres: wrong password") << u"postgres"_s << BasePostgres::usuario() + u"/mal"_s;
        QTest::newRow("postgres: unknown role") << u"postgres"_s << u"nadie_en_absoluto/"_s + BasePostgres::clave();
    }
    void loginFailuresGiveTheLogonDeniedText()
    {
        QFETCH(QString, motor);
        QFETCH(QString, conexion);
        if (const QString falta = elegir(motor, false); !falta.isEmpty())
            QSKIP(qPrintable(falta));
        OraSession s;
        s.LastServerErrReset();
        QVERIFY_THROWS_EXCEPTION(ErrorOra, s.DbOpenDatabase(nombre_, conexion, 0));
        QCOMPARE(s.LastServerErr(), int(OraCredenciales));
        QCOMPARE(s.LastServerErrText(), u"ORA-01017: invalid username/password; logon denied"_s);
        // The session still logs in; the name may be written with blanks or a scheme, the user in other case.
        if (motor == u"sqlite"_s)
            QVERIFY(s.DbOpenDatabase(u" 2: "_s, u"Scott/ravel"_s, 0));
        else
            QVERIFY(s.DbOpenDatabase(u"postgresql://"_s + nombre_, conexion_, 0));
    }

    void statementErrorsNameTheirCause_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("causa");
        const QList<std::tuple<const char*, QString, int, QString>> casos{
            {"unknown table", u"SELECT * FROM EMPLEADOZ"_s, OraTablaInexistente, u"EMPLEADOZ"_s},
            {"unknown column", u"SELECT SUELDAZO FROM EMPLEADOS"_s, OraIdentificadorInvalido, u"SUELDAZO"_s},
            {"syntax", u"SELEC 1 FROM DUAL"_s, OraSentenciaInvalida, u"SELEC"_s},
            {"delete", u"DELETE FROM EMPLEADOS"_s, NimboNoEsConsulta, u"consultas"_s},
            {"update with subselect", u"UPDATE EMPLEADOS SET SUELDO = (SELECT MAX(SUELDO) FROM EMPLEADOS)"_s,
                NimboNoEsConsulta, u"consultas"_s},
            {"ddl", u"DROP TABLE EMPLEADOS"_s, NimboNoEsConsulta, u"consultas"_s},
            {"returning", u"DELETE FROM EMPLEADOS RETURNING *"_s, NimboNoEsConsulta, u"consultas"_s},
            {"block", u"Begin NIEB_PKG.NIEB_FIN; end;"_s, NimboNoEsConsulta, u"consultas"_s},
            {"second statement", u"SELECT 1 FROM DUAL; DELETE FROM EMPLEADOS"_s, NimboMasDeUnaSentencia,
                u"una sola"_s},
            {"unbound", u"SELECT :NADA FROM DUAL"_s, OraVariableSinEnlazar, u"NADA"_s},
        };
        for (const char* motor : {"sqlite", "postgres"})
            for (const auto& [nombre, sql, codigo, causa] : casos)
                QTest::addRow("%s: %s", motor, nombre) << QString::fromLatin1(motor) << sql << codigo << causa;
        QTest::newRow("sqlite: writing pragma")
            << u"sqlite"_s << u"PRAGMA user_version = 7"_s << int(NimboNoEsConsulta) << u"consultas"_s;
        QTest::newRow("postgres: a statement without rows")
            << u"postgres"_s << u"SET search_path = nada"_s << int(NimboNoEsConsulta) << u"consultas"_s;
        QTest::newRow("postgres: other errors keep their SQLSTATE")
            << u"postgres"_s << u"SELECT 1 / 0 FROM DUAL"_s << int(NimboPostgres) << u"22012"_s;
    }
    void statementErrorsNameTheirCause()
    {
        ELEGIR_MOTOR();
        QFETCH(QString, sql);
        QFETCH(int, codigo);
        QFETCH(QString, causa);
        const QString cuenta = u"SELECT COUNT(*) || '/' || SUM(SUELDO) FROM EMPLEADOS"_s;
        const QString antes = unValor(*base_, cuenta);
        sesion_.LastServerErrReset();
        QVERIFY_THROWS_EXCEPTION(ErrorOra, base_->DbCreateDynaset(sql, 0));
        QCOMPARE(base_->LastServerErr(), codigo);
        QVERIFY2(base_->LastServerErrText().contains(causa, Qt::CaseInsensitive), qPrintable(base_->LastServerErrText()));
        QCOMPARE(sesion_.LastServerErr(), 0);
        QCOMPARE(unValor(*base_, cuenta), antes);
        sesion_.LastServerErrReset();
        QCOMPARE(base_->LastServerErr(), 0);
    }

    void severalStatementsRunAllOrNone_data() { motores(); }
    void severalStatementsRunAllOrNone()
    {
        ELEGIR_MOTOR();
        base_->DbExecuteSQL(u"CREATE TABLE LOTE (A INTEGER, B VARCHAR(20))"_s);
        auto quitar = qScopeGuard([&] { base_->DbExecuteSQL(u"DROP TABLE LOTE"_s); });
        base_->Parameters().Add(u"TEXTO"_s, u"o'neil; :A"_s, OraParameters::Entrada);
        auto quitarEnlace = qScopeGuard([&] { base_->Parameters().Remove(u"TEXTO"_s); });
        base_->DbExecuteSQL(u"INSERT INTO LOTE VALUES (1, :TEXTO); INSERT INTO LOTE VALUES (2, ':TEXTO')"_s);
        QCOMPARE(filasDe(*base_, u"SELECT A, B FROM LOTE ORDER BY A"_s),
            (QList<QStringList>{{u"1"_s, u"o'neil; :A"_s}, {u"2"_s, u":TEXTO"_s}}));

        // A failure, or a query among them, and none of them stays.
        QVERIFY_THROWS_EXCEPTION(
            ErrorOra, base_->DbExecuteSQL(u"INSERT INTO LOTE VALUES (3, 'x'); INSERT INTO NADA VALUES (1)"_s));
        QCOMPARE(base_->LastServerErr(), int(OraTablaInexistente));
        QVERIFY_THROWS_EXCEPTION(ErrorOra, base_->DbExecuteSQL(u"INSERT INTO LOTE VALUES (4, 'x'); SELECT 1 FROM DUAL"_s));
        QCOMPARE(base_->LastServerErr(), int(NimboDevuelveFilas));
        QVERIFY_THROWS_EXCEPTION(ErrorOra, base_->DbExecuteSQL(u"SELECT A FROM LOTE"_s));
        QCOMPARE(base_->LastServerErr(), int(NimboDevuelveFilas));
        QCOMPARE(unValor(*base_, u"SELECT COUNT(*) FROM LOTE"_s), u"2"_s);

        // In a transaction the user opened, queries and statements leave it open and undoable ("BEGIN"
        // is taken for a block; SQLite has no other way to open one).
        if (motor == u"sqlite"_s)
            return;
        base_->DbExecuteSQL(u"START TRANSACTION"_s);
        base_->DbExecuteSQL(u"INSERT INTO LOTE VALUES (5, 'y')"_s);
        QCOMPARE(unValor(*base_, u"SELECT COUNT(*) FROM LOTE"_s), u"3"_s);
        base_->DbExecuteSQL(u"INSERT INTO LOTE VALUES (6, 'y'); INSERT INTO LOTE VALUES (7, 'y')"_s);
        QCOMPARE(unValor(*base_, u"SELECT COUNT(*) FROM LOTE"_s), u"5"_s);
        base_->DbExecuteSQL(u"ROLLBACK"_s);
        QCOMPARE(unValor(*base_, u"SELECT COUNT(*) FROM LOTE"_s), u"2"_s);
    }

    void blocksFailInTheVendorsWay_data() { motores(); }
    void blocksFailInTheVendorsWay()
    {
        ELEGIR_MOTOR();
        // A package function that does not exist, and a bound call with a missing input.
        QVERIFY_THROWS_EXCEPTION(ErrorOra, base_->DbExecuteSQL(u"Begin NIEB_PKG.NO_EXISTE; end;"_s));
        QCOMPARE(base_->LastServerErr(), int(OraErrorPlsql));
        QVERIFY(base_->LastServerErrText().contains(u"NO_EXISTE"_s));
        base_->Parameters().Add(u"NUMTABLA"_s, 0, OraParameters::Salida);
        QVERIFY_THROWS_EXCEPTION(ErrorOra, base_->DbExecuteSQL(bloqueObj));
        QCOMPARE(base_->LastServerErr(), int(OraVariableSinEnlazar));
        base_->Parameters().Remove(u"NUMTABLA"_s);
        base_->Parameters().Remove(u"NUNCA_ENLAZADO"_s);

        // A database without the server: the package is not there.
        OraSession s;
        std::shared_ptr<OraDatabase> base;
        std::unique_ptr<BasePostgres> vacia;
        if (motor == u"sqlite"_s) {
            const QString ruta = datos_.filePath(u"sin_servidor.db"_s);
            nieb::ConexionSqlite(ruta.toStdString(), nieb::ConexionSqlite::Apertura::Crear)
                .ejecutar("CREATE TABLE T (A)");
            base = s.DbOpenDatabase(ruta, u"cualquiera/cosa"_s, 0);
            QCOMPARE(unValor(*base, u"SELECT USER_ID || USERNAME FROM USER_USERS"_s), u"0CUALQUIERA"_s);
            QCOMPARE(unValor(*base, u"SELECT COUNT(*) FROM ALL_OBJECTS WHERE object_type='PACKAGE'"_s), u"0"_s);
        } else {
            vacia = std::make_unique<BasePostgres>(BasePostgres::Contenido::Vacia);
            QVERIFY2(vacia->error().isEmpty(), qPrintable(vacia->error()));
            base = s.DbOpenDatabase(vacia->nombre(), conexion_, 0);
        }
        QVERIFY(base->sesion() > 0);
        QVERIFY_THROWS_EXCEPTION(
            ErrorOra, llamar(*base, bloqueObj, u"NUMTABLA"_s, {{u"SCH"_s, u"A"_s}, {u"TBL"_s, u"T"_s}}));
        QCOMPARE(base->LastServerErr(), int(OraErrorPlsql));
        QVERIFY(base->LastServerErrText().contains(u"NIEB_PKG.NIEB_OBJ"_s));
        QCOMPARE(s.LastServerErr(), 0);
        QCOMPARE(base->Parameters().Count(), 0);
    }

    void aCancelStopsTheStatement_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("sql");
        QTest::newRow("sqlite") << u"sqlite"_s
                                << u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000000) "
                                   u"SELECT COUNT(*) FROM n"_s;
        QTest::newRow("postgres") << u"postgres"_s << u"SELECT pg_sleep(60) FROM DUAL"_s;
    }
    void aCancelStopsTheStatement()
    {
        ELEGIR_MOTOR();
        QFETCH(QString, sql);
        // Cancelled at the third question, 20 ms in at the earliest.
        int preguntas = 0;
        QElapsedTimer reloj, desdeCancelar;
        reloj.start();
        base_->setCancelador([&] {
            if (reloj.elapsed() < 20 || ++preguntas < 3)
                return false;
            if (!desdeCancelar.isValid())
                desdeCancelar.start();
            return true;
        });
        QVERIFY_THROWS_EXCEPTION(ErrorOra, base_->DbCreateDynaset(sql));
        const qint64 espera = desdeCancelar.elapsed();
        base_->setCancelador({});
        QCOMPARE(base_->LastServerErr(), int(OraCancelada));
        QCOMPARE(base_->LastServerErrText(), u"ORA-01013: user requested cancel of current operation"_s);
        // Typically a few milliseconds; the bound leaves room for a loaded machine.
        QVERIFY2(espera < 2000, qPrintable(u"%1 ms from the cancel to the error"_s.arg(espera)));
        QCOMPARE(unValor(*base_, u"SELECT 1 FROM DUAL"_s), u"1"_s);
    }

    void dynasetCountsAllAndKeepsTheFirstRows_data() { motores(); }
    void dynasetCountsAllAndKeepsTheFirstRows()
    {
        ELEGIR_MOTOR();
        const QString mil = u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                            u"SELECT i, 'fila ' || i AS TEXTO, CASE WHEN i % 2 = 0 THEN NULL ELSE i * 0.5 END AS MEDIO "
                            u"FROM n"_s;
        const auto d = base_->DbCreateDynaset(mil, QVariant(), 10);
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

        const auto vacio = base_->DbCreateDynaset(u"SELECT * FROM EMPLEADOS WHERE 1 = 0"_s);
        QCOMPARE(vacio->RecordCount(), 0);
        QVERIFY(vacio->Bof() && vacio->Eof());
        QVERIFY(vacio->Fields().Count() > 5);
        QCOMPARE(vacio->Fields()(0).Name(), vacio->Fields()(0).Name().toUpper());
    }

    // The rows past those kept are counted without being read, also for a text that cannot be
    // wrapped in a count (a ";" before a trailing comment).
    void rowsPastTheKeptOnesAreCounted_data() { motores(); }
    void rowsPastTheKeptOnesAreCounted()
    {
        ELEGIR_MOTOR();
        const QString n = u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) SELECT i FROM n"_s;
        for (const QString& sql : {n.arg(3000000), n.arg(1000000) + u"; -- fin"_s}) {
            const auto d = base_->DbCreateDynaset(sql, QVariant(), 5);
            QCOMPARE(d->celdas().filas(), 5);
            QCOMPARE(d->RecordCount(), sql.contains(u"3000000"_s) ? 3000000 : 1000000);
            d->DbMoveLast();
            QCOMPARE(d->Fields()(0).Value().toLongLong(), 5);
        }
        QCOMPARE(unValor(*base_, u"SELECT 1 FROM DUAL"_s), u"1"_s);
    }

    void displaySizeComesFromTheDeclaredType_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("tabla");
        QTest::newRow("sqlite") << u"sqlite"_s << u"A VARCHAR(30), B NUMBER(6,2), C INTEGER, D VARCHAR2(2000)"_s;
        QTest::newRow("postgres") << u"postgres"_s << u"A VARCHAR(30), B NUMERIC(6,2), C INTEGER, D CHAR(2000)"_s;
    }
    void displaySizeComesFromTheDeclaredType()
    {
        ELEGIR_MOTOR();
        QFETCH(QString, tabla);
        base_->DbExecuteSQL(u"CREATE TABLE TAMANOS (%1)"_s.arg(tabla));
        auto quitar = qScopeGuard([&] { base_->DbExecuteSQL(u"DROP TABLE TAMANOS"_s); });
        base_->DbExecuteSQL(u"INSERT INTO TAMANOS VALUES ('x', 1.5, 2, 'y')"_s);
        const auto d = base_->DbCreateDynaset(u"SELECT A, B, C, D FROM TAMANOS"_s);
        QCOMPARE(d->Fields()(0).OraMaxDSize(), 30);
        QCOMPARE(d->Fields()(1).OraMaxDSize(), 6);
        QCOMPARE(d->Fields()(2).OraMaxDSize(), 22);
        QCOMPARE(d->Fields()(3).OraMaxDSize(), 2000);
    }

    // PostgreSQL only from here to the SQLite-only cases.

    // The server ends the session while rows stream: the rows read stay read, the failure says the
    // connection is gone, and a new session works.
    void postgresSessionEndedMidRetrieval()
    {
        if (const QString falta = elegir(u"postgres"_s, false); !falta.isEmpty())
            QSKIP(qPrintable(falta));
        OraSession s;
        auto base = s.DbOpenDatabase(nombre_, conexion_, 0);
        struct Lector : LectorFilas {
            std::function<void()> alPrimero;
            qint64 filas = 0;
            void empezar(const QStringList&) override { }
            void fila(const filas::FuenteFila&) override
            {
                if (filas++ == 0)
                    alPrimero();
            }
        } lector;
        lector.alPrimero = [&] {
            QCOMPARE(unValor(*demoPg_, u"SELECT pg_terminate_backend(%1)"_s.arg(base->sesion())), u"1"_s);
        };
        QVERIFY_THROWS_EXCEPTION(ErrorOra,
            base->recorrerFilas(u"SELECT generate_series(1, 50000000), repeat('x', 100)"_s, lector));
        QCOMPARE(base->LastServerErr(), int(OraConexionPerdida));
        QVERIFY2(lector.filas > 0 && lector.filas < 50000000, qPrintable(QString::number(lector.filas)));
        QVERIFY_THROWS_EXCEPTION(ErrorOra, base->DbCreateDynaset(u"SELECT 1"_s));
        QCOMPARE(base->LastServerErr(), int(OraSinConexion));

        auto nueva = s.DbOpenDatabase(nombre_, conexion_, 0);
        QCOMPARE(unValor(*nueva, u"SELECT 1"_s), u"1"_s);
    }

    void postgresBindsAndCellTypes()
    {
        if (const QString falta = elegir(u"postgres"_s, false); !falta.isEmpty())
            QSKIP(qPrintable(falta));
        base_->Parameters().Add(u"A"_s, u"valor"_s, OraParameters::Entrada);
        base_->Parameters().Add(u"N"_s, 7, OraParameters::Entrada);
        auto quitar = qScopeGuard([&] {
            base_->Parameters().Remove(u"A"_s);
            base_->Parameters().Remove(u"N"_s);
        });
        // Binds inside strings, quoted names, comments and casts are left alone.
        QCOMPARE(filasDe(*base_,
                     u"SELECT ':A', :A, $$:A$$, :A::varchar(2), :N + 1, \":A\" FROM (SELECT 1 AS \":A\") t -- :A"_s),
            (QList<QStringList>{{u":A"_s, u"valor"_s, u":A"_s, u"va"_s, u"8"_s, u"1"_s}}));

        const auto d = base_->DbCreateDynaset(
            u"SELECT 1::int2 AS a, 10000000000::int8 AS b, 2.5::float4 AS c, 1.25::numeric AS d, 25.00::numeric AS e, "
            u"0.123456789012345678::numeric AS f, 'x'::bytea AS g, true AS h, NULL::int AS i, "
            u"'ñ'::varchar(5) AS \"Mixto\", now()::date AS j"_s);
        const auto valor = [&](int i) { return d->Fields()(i).Value(); };
        QCOMPARE(valor(0).typeId(), QMetaType::LongLong);
        QCOMPARE(valor(1).toLongLong(), 10000000000);
        QCOMPARE(valor(2).toDouble(), 2.5);
        QCOMPARE(valor(3).toDouble(), 1.25);
        QCOMPARE(valor(4).typeId(), QMetaType::LongLong);
        // More digits than a double keeps: shown as the server wrote it.
        QCOMPARE(valor(5).toString(), u"0.123456789012345678"_s);
        QCOMPARE(valor(6).toByteArray(), QByteArray("x"));
        QCOMPARE(valor(7).toLongLong(), 1);
        QVERIFY(valor(8).isNull());
        QCOMPARE(d->Fields()(9).Name(), u"Mixto"_s);
        QCOMPARE(d->Fields()(9).OraMaxDSize(), 5);
        QCOMPARE(d->Fields()(10).Name(), u"J"_s);
        QCOMPARE(d->Fields()(10).OraMaxDSize(), 10);
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
        QVERIFY_THROWS_EXCEPTION(ErrorOra, s.DbOpenDatabase(u"servidor:5432"_s, u"a/b"_s, 0));
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
        QTest::newRow("a key longer than a block, three rounds")
            << u"contraseña larga con ñ"_s.repeated(5)
            << u"pbkdf2-sha256$3$AP8A/wD/AP8A/wD/AP8A/w==$O9qOcS74/qsz2q58d3EBLCVRiGLhRwN0GAWGAiPHfoM="_s << true;
        QTest::newRow("the program's own round count")
            << u"ravel"_s
            << u"pbkdf2-sha256$20000$MDEyMzQ1Njc4OWFiY2RlZg==$yGuu6ikqu6Vnw+69LPUuoEkQQcwTx7YRT2IEz6M0cfY="_s << true;
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
