// The client's side of the server without windows: the error dialog's message, the error browser's
// moves, logging in and the translation call, against the embedded database.
#include "BaseEmbebida.h"
#include "ErrorOra.h"
#include "ErrorServidor.h"
#include "FakePlatform.h"
#include "Module1.h"
#include "NavegadorErrores.h"
#include "OraSession.h"
#include "SesionSGBD.h"
#include "TraduccionServidor.h"
#include "VisorAyuda.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using servidor::NavegadorErrores;

namespace {

// A clock whose every reading is later than the one before by a fixed step.
class RelojQueAvanza final : public Clock {
public:
    RelojQueAvanza(QDateTime inicio, qint64 pasoMs)
        : m_momento(std::move(inicio))
        , m_paso(pasoMs)
    {
    }
    QDateTime ahora() const override
    {
        const QDateTime ahora = m_momento;
        m_momento = m_momento.addMSecs(m_paso);
        return ahora;
    }

private:
    mutable QDateTime m_momento;
    qint64 m_paso;
};

// Error rows as the server leaves them: (INDICE, MSG_ERROR) for 1..n.
QString filasDeErrores(int n)
{
    if (n == 0)
        return u"SELECT 1 AS INDICE, 'x' AS MSG_ERROR WHERE 0"_s;
    QStringList filas;
    for (int i = 1; i <= n; ++i)
        filas << u"SELECT %1 AS INDICE, 'error %1' AS MSG_ERROR"_s.arg(i);
    return filas.join(u" UNION ALL "_s);
}

const QString consultaJoven = u"SELECT NOMBRE FROM EMPLEADOS WHERE EDAD FEQ $Joven THOLD 0.5"_s;

} // namespace

class tst_SesionSGBD : public QObject {
    Q_OBJECT

    QTemporaryDir datos_;
    std::shared_ptr<db::OraDatabase> demo_;

    NavegadorErrores navegador(int numErrores, int filas)
    {
        return NavegadorErrores(numErrores, demo_->DbCreateDynaset(filasDeErrores(filas), 0));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(datos_.isValid());
        qputenv("XDG_DATA_HOME", datos_.path().toUtf8());
        db::OraSession s;
        demo_ = s.DbOpenDatabase(db::nombreBaseEmbebida, u"SCOTT/ravel"_s, 0);
    }

    // The session's server error wins; without one, a pending failure is told as a "VB-" line, after
    // the sentence about the server's installation when the database reports 6550.
    void errorDialogMessage()
    {
        db::OraSession conClaveMala;
        QVERIFY_THROWS_EXCEPTION(db::ErrorOra, conClaveMala.DbOpenDatabase(u"2:"_s, u"SCOTT/mala"_s, 0));
        db::OraSession limpia;
        auto base = limpia.DbOpenDatabase(u"2:"_s, u"SCOTT/ravel"_s, 0);
        const servidor::Fallo fallo{servidor::falloAutomatizacion, u"algo falló"_s};

        QCOMPARE(servidor::textoErrorServidor(&conClaveMala, base.get(), fallo),
            u"ORA-01017: invalid username/password; logon denied"_s);
        QCOMPARE(servidor::contextoAyuda(&conClaveMala, base.get()), 1017);
        QCOMPARE(servidor::textoErrorServidor(&limpia, base.get(), fallo), u"VB-440: algo falló"_s);
        QCOMPARE(servidor::textoErrorServidor(&limpia, base.get(), {}), QString());
        QCOMPARE(servidor::textoErrorServidor(nullptr, nullptr, {servidor::falloInterno, u"sin memoria"_s}),
            u"VB-51: sin memoria"_s);

        base->Parameters().Add(u"NUMTABLA"_s, 0, db::OraParameters::Salida);
        QVERIFY_THROWS_EXCEPTION(db::ErrorOra, base->DbExecuteSQL(u"Begin :NUMTABLA:=NO_PKG.F (1); end;"_s));
        base->Parameters().Remove(u"NUMTABLA"_s);
        QCOMPARE(base->LastServerErr(), int(db::OraErrorPlsql));
        QCOMPARE(servidor::textoErrorServidor(&limpia, base.get(), fallo),
            servidor::avisoServidorNoInstalado + u"VB-440: algo falló"_s);
        QCOMPARE(servidor::contextoAyuda(&limpia, base.get()), 6550);
    }

    // Until there is a viewer, a missing help file is told rather than silently ignored.
    void helpWithoutItsFileSaysSo()
    {
        CarpetaAyuda ayuda;
        const auto fallo = ayuda.mostrar({datos_.filePath(u"Ora.hlp"_s), PeticionAyuda::Orden::Contexto, 1017});
        QVERIFY(fallo);
        QVERIFY(fallo->startsWith(u"La ayuda no está instalada"_s));
        QVERIFY(fallo->contains(u"Ora.hlp"_s));
    }

    void translationTimeFollowsTheLocale_data()
    {
        QTest::addColumn<double>("segundos");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("texto");
        // Spanish thousands and zero: the login suite reads them in the translated-query window.
        QTest::newRow("rounded to two") << 0.126 << u"es_ES"_s << u"0,13"_s;
        QTest::newRow("english millions") << 12345678.9 << u"en_US"_s << u"12,345,678.90"_s;
        QTest::newRow("three digits stay whole") << 999.994 << u"es_ES"_s << u"999,99"_s;
        QTest::newRow("hundred thousands") << 123456.0 << u"es_ES"_s << u"123.456,00"_s;
    }
    void translationTimeFollowsTheLocale()
    {
        QFETCH(double, segundos);
        QFETCH(QString, local);
        QFETCH(QString, texto);
        QCOMPARE(servidor::textoSegundos(segundos, QLocale(local)), texto);
    }

    // Which moves the browser offers on each error, and where a move runs into an end.
    void browserButtonsAndEnds()
    {
        using B = NavegadorErrores::Botones;
        NavegadorErrores uno = navegador(1, 1);
        QCOMPARE(uno.errorNum(), u"1"_s);
        QCOMPARE(uno.errorMsg(), u"error 1"_s);
        QCOMPARE(uno.botones(), (B{false, false, false, false}));

        NavegadorErrores tres = navegador(3, 3);
        QCOMPARE(tres.botones(), (B{false, false, true, true}));
        QVERIFY(!tres.siguiente());
        QCOMPARE(tres.errorNum(), u"2"_s);
        QCOMPARE(tres.botones(), (B{true, true, true, true}));
        QVERIFY(!tres.ultimo());
        QCOMPARE(tres.errorMsg(), u"error 3"_s);
        QCOMPARE(tres.botones(), (B{true, true, false, false}));
        QVERIFY(tres.siguiente()); // past the last: beep, back on the last
        QCOMPARE(tres.errorNum(), u"3"_s);
        QVERIFY(!tres.primero());
        QCOMPARE(tres.errorNum(), u"1"_s);
        QVERIFY(tres.anterior()); // before the first: beep, back on the first
        QCOMPARE(tres.errorNum(), u"1"_s);
        QCOMPARE(tres.botones(), (B{false, false, true, true}));

        // No rows to show: the labels empty, the buttons as they were.
        NavegadorErrores vacio = navegador(2, 0);
        QCOMPARE(vacio.errorNum(), QString());
        QCOMPARE(vacio.botones(), (B{true, true, true, true}));
        QVERIFY(vacio.primero());
        QVERIFY(vacio.ultimo());
    }

    // A failed open, or a session that cannot be made, leaves an existing connection as it was.
    void failedLoginKeepsTheConnection()
    {
        Module1::Conexion c;
        QVERIFY(sesion::iniciarSesion(c, u"SCOTT"_s, u"ravel"_s, u"2:"_s).conectado);
        const auto primera = c.base;
        QCOMPARE(c.usuario, u"SCOTT"_s);

        const sesion::IntentoLogin mala = sesion::iniciarSesion(c, u"OTRO"_s, u"mala"_s, u"2:"_s);
        QVERIFY(!mala.conectado);
        QCOMPARE(mala.sesion->LastServerErr(), int(db::OraCredenciales));
        QCOMPARE(c.sesion, mala.sesion); // the attempt's session replaced the old one
        QVERIFY(c.conectado);
        QCOMPARE(c.usuario, u"SCOTT"_s);
        QCOMPARE(c.base, primera);
        QCOMPARE(primera->DbCreateDynaset(u"SELECT 1 FROM DUAL"_s, 0)->RecordCount(), 1);

        const auto sinSesion = [] () -> std::shared_ptr<db::OraSession> { throw std::bad_alloc(); };
        const sesion::IntentoLogin fallida = sesion::iniciarSesion(c, u"SCOTT"_s, u"ravel"_s, u"2:"_s, sinSesion);
        QVERIFY(!fallida.conectado);
        QVERIFY(!fallida.sesion);
        QCOMPARE(fallida.fallo.numero, servidor::falloInterno);
        QVERIFY(!fallida.fallo.descripcion.isEmpty());
        QCOMPARE(c.sesion, mala.sesion);
        QVERIFY(c.conectado);
    }

    // A translation that spans midnight still takes a positive time.
    void translationTimedAcrossMidnight()
    {
        Module1 estado;
        QVERIFY(sesion::iniciarSesion(estado.conexion, u"SCOTT"_s, u"ravel"_s, u"2:"_s).conectado);
        const RelojQueAvanza reloj(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59, 500)), 1250);
        QVERIFY(!sesion::traducirConsulta(estado, consultaJoven, reloj));
        QCOMPARE(estado.SegundosTraduccion, 1.25);
        QVERIFY(estado.SentenciaSQL.startsWith(u"SELECT NOMBRE FROM EMPLEADOS WHERE"_s));
        QVERIFY(estado.conexion.servidorUsado);
    }

    // Errors and failures leave the pending SQL alone; a failure keeps the old time and used flag.
    void translationErrorsAndFailures()
    {
        Module1 estado;
        QVERIFY(sesion::iniciarSesion(estado.conexion, u"SCOTT"_s, u"ravel"_s, u"2:"_s).conectado);
        FakeClock reloj;
        estado.SentenciaSQL = u"SELECT 1 FROM DUAL"_s;
        QVERIFY(!sesion::traducirConsulta(
            estado, u"SELECT NOMBRE FROM EMPLEADOS WHERE EDAD FEQ $Viejo AND SUELDO FEQ $Rico"_s, reloj));
        QCOMPARE(estado.numErrores, 2);
        QCOMPARE(estado.SentenciaSQL, u"SELECT 1 FROM DUAL"_s);
        QVERIFY(estado.conexion.servidorUsado);

        // An SQLite file without the server: the call itself fails.
        const QString ruta = datos_.filePath(u"sin_servidor.db"_s);
        QFile vacio(ruta);
        QVERIFY(vacio.open(QIODevice::WriteOnly));
        vacio.close();
        Module1 otro;
        QVERIFY(sesion::iniciarSesion(otro.conexion, u"ana"_s, u"x"_s, ruta).conectado);
        otro.SegundosTraduccion = 7;
        const auto fallo = sesion::traducirConsulta(otro, consultaJoven, reloj);
        QVERIFY(fallo);
        QCOMPARE(fallo->numero, servidor::falloAutomatizacion);
        QVERIFY(fallo->descripcion.startsWith(u"ORA-06550"_s));
        QCOMPARE(otro.conexion.base->Parameters().Count(), 0);
        QCOMPARE(otro.SegundosTraduccion, 7.0);
        QVERIFY(!otro.conexion.servidorUsado);
        QCOMPARE(servidor::textoErrorServidor(otro.conexion.sesion.get(), otro.conexion.base.get(), *fallo),
            servidor::avisoServidorNoInstalado + u"VB-440: "_s + fallo->descripcion);
    }
};

QTEST_GUILESS_MAIN(tst_SesionSGBD)
#include "tst_sesionsgbd.moc"
