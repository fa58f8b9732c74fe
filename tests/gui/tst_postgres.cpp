// The user's road on a PostgreSQL server through the real windows: login (wrong password, then the
// right one), F8 of a fuzzy query against the embedded database's result, and a connection the
// server ends in the middle of a retrieval. Runs when NIMBO_PG names a server.
#include "BasePostgres.h"
#include "EditorConsulta.h"
#include "FakePlatform.h"
#include "GuionesLogin.h"
#include "Main.h"
#include "Module1.h"
#include "OraDatabase.h"
#include "Rejilla.h"
#include "Tabla.h"
#include "frmLogOraError.h"
#include "frmLogin.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString consultaJoven = u"SELECT NOMBRE, APELLIDOS, EDAD, CDEG(*) FROM EMPLEADOS WHERE EDAD FEQ $Joven THOLD 0.5 "
                              u"ORDER BY CDEG(*) DESC, NOMBRE, APELLIDOS"_s;
// Employees beside candidates and pairs of departments: 650,000 rows, far more than the socket's
// buffers hold, so the server is still sending when its session is ended.
const QString consultaLarga = u"SELECT E.NOMBRE, C.NOMBRE, D.NOMBRE, CDEG(*) FROM EMPLEADOS E, CANDIDATOS C, "
                              u"DEPARTAMENTOS D, DEPARTAMENTOS D2 WHERE E.EDAD FGEQ C.EDAD THOLD 0"_s;

struct Banco {
    FakePlatform plataforma;
    Platform servicios = plataforma.servicios();
    Module1 estado;
    std::unique_ptr<frmMain> ventana = Arrancar(estado, servicios, {});

    void ejecutar(const QString& entrada) { ventana->entradaMenu(entrada)->trigger(); }
    void guiones(std::initializer_list<Guion> g) { plataforma.modales.guiones.append(g); }
    // F8 of a query; the result window it leaves.
    Tabla* enviar(const QString& consulta)
    {
        ventana->Consulta->setPlainText(consulta);
        ejecutar(u"mnuEnviar"_s);
        return resultado();
    }
    static Tabla* resultado()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* t = qobject_cast<Tabla*>(w); t && t->isVisible())
                return t;
        return nullptr;
    }
};

// The grid's cells, row by row, headers included.
QStringList celdas(Tabla& tabla)
{
    QStringList lineas;
    auto* g = tabla.Grid1();
    for (int f = 0; f < g->rows(); ++f) {
        QStringList fila;
        for (int c = 0; c < g->cols(); ++c)
            fila << g->textMatrix(f, c);
        lineas << fila.join(u'|');
    }
    return lineas;
}

} // namespace

class TestPostgres : public QObject {
    Q_OBJECT

    QTemporaryDir datos_;
    std::unique_ptr<BasePostgres> base_;

private Q_SLOTS:
    void initTestCase()
    {
        if (const auto no = BasePostgres::sinServidor(); !no.isEmpty())
            QSKIP(qPrintable(no));
        QVERIFY(datos_.isValid());
        qputenv("XDG_DATA_HOME", datos_.path().toUtf8());
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
        base_ = std::make_unique<BasePostgres>();
        QVERIFY2(base_->error().isEmpty(), qPrintable(base_->error()));
    }
    void cleanupTestCase() { base_.reset(); }

    void wrongPasswordThenTheRightOne()
    {
        Banco b;
        QString texto;
        b.guiones({entrar(BasePostgres::usuario(), u"no es la clave"_s, base_->nombre()), leerError(&texto)});
        b.ejecutar(u"mnuConnect"_s);
        QCOMPARE(b.plataforma.modales.mostrados, (QStringList{u"frmLogin"_s, u"frmLogOraError"_s}));
        QCOMPARE(texto, u"ORA-01017: invalid username/password; logon denied"_s);
        QVERIFY(!b.estado.conexion.conectado);

        b.guiones({entrar(BasePostgres::usuario(), BasePostgres::clave(), base_->nombre())});
        b.ejecutar(u"mnuConnect"_s);
        QVERIFY(b.estado.conexion.conectado);
    }

    // The ranked rows of a README query are the embedded database's, cell by cell.
    void f8ShowsTheEmbeddedDatabasesRows()
    {
        Banco embebida;
        embebida.guiones({entrar(u"SCOTT"_s, u"ravel"_s, u"2:"_s)});
        embebida.ejecutar(u"mnuConnect"_s);
        QVERIFY(embebida.estado.conexion.conectado);
        Tabla* t = embebida.enviar(consultaJoven);
        QVERIFY(t);
        const auto esperadas = celdas(*t);
        t->close();
        QVERIFY(esperadas.size() > 10);

        Banco b;
        b.guiones({entrar(BasePostgres::usuario(), BasePostgres::clave(), base_->nombre())});
        b.ejecutar(u"mnuConnect"_s);
        QVERIFY(b.estado.conexion.conectado);
        t = b.enviar(consultaJoven);
        QVERIFY(t);
        QCOMPARE(celdas(*t), esperadas);
        t->close();
    }

    // The server ends the session while rows are being copied: the server error dialog, the rows
    // read so far stay in the window, and after logging in again a query works.
    void connectionEndedInTheMiddleOfARetrieval()
    {
        Banco b;
        b.guiones({entrar(BasePostgres::usuario(), BasePostgres::clave(), base_->nombre())});
        b.ejecutar(u"mnuConnect"_s);
        QVERIFY(b.estado.conexion.conectado);
        const qint64 sesion = b.estado.conexion.base->sesion();

        db::PostgresBackend otra(base_->nombre(), BasePostgres::usuario(), BasePostgres::clave());
        qint64 filasAlCortar = -1;
        QTimer vigia;
        vigia.setInterval(0);
        connect(&vigia, &QTimer::timeout, this, [&] {
            Tabla* t = Banco::resultado();
            if (filasAlCortar >= 0 || !t || t->Grid1()->rows() < 50)
                return;
            filasAlCortar = t->Grid1()->rows();
            otra.consultar(u"SELECT pg_terminate_backend(%1)"_s.arg(sesion), {}, -1);
        });
        vigia.start();
        QString texto;
        b.guiones({leerError(&texto)});
        Tabla* t = b.enviar(consultaLarga);
        vigia.stop();
        QVERIFY2(filasAlCortar > 0, "the retrieval never showed rows before its end");
        QVERIFY(b.plataforma.modales.mostrados.contains(u"frmLogOraError"_s));
        QVERIFY2(texto.contains(u"ORA-03113"_s), qPrintable(texto));
        QVERIFY(t);
        // The rows copied before the end stay, and the counter does not claim them all.
        QVERIFY(t->Grid1()->rows() >= filasAlCortar);
        QVERIFY(!t->Grid1()->textMatrix(filasAlCortar - 1, 1).isEmpty());
        const QStringList contador = t->NumTuplas()->text().split(u'/');
        QCOMPARE(contador.size(), 2);
        QVERIFY2(contador[0].toLongLong() >= filasAlCortar - 1 && contador[0].toLongLong() < contador[1].toLongLong(),
            qPrintable(t->NumTuplas()->text()));
        QVERIFY(!t->Grid1()->textMatrix(contador[0].toLongLong(), 1).isEmpty());
        t->close();

        b.plataforma.mensajes.respuestas = {Respuesta::Si};
        b.guiones({entrar(BasePostgres::usuario(), BasePostgres::clave(), base_->nombre())});
        b.ejecutar(u"mnuConnect"_s);
        QVERIFY(b.estado.conexion.conectado);
        t = b.enviar(consultaJoven);
        QVERIFY(t);
        QVERIFY(t->Grid1()->rows() > 10);
    }
};

QTEST_MAIN(TestPostgres)
#include "tst_postgres.moc"
