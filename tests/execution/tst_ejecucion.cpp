// Running a query from the main window: the checks before it, the translation it reuses, the locked
// and unlocked commands, and the result window it leaves, against a real database.
#include "BaseEmbebida.h"
#include "Ejecucion.h"
#include "FakePlatform.h"
#include "Module1.h"
#include "OraSession.h"
#include "Rejilla.h"
#include "Tabla.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace {

const QStringList botonesDeEnvio = {
    u"Traducir"_s, u"Envio"_s, u"Conexión"_s, u"EnviarSQL"_s, u"Info"_s, u"Desconectar"_s};

// A main window with the controls a run locks, named as the program's.
struct VentanaPrincipal : QMainWindow {
    VentanaPrincipal()
    {
        Consulta = new QPlainTextEdit(this);
        Consulta->setObjectName(u"Consulta"_s);
        setCentralWidget(Consulta);
        auto* barra = addToolBar(u"barra"_s);
        barra->setObjectName(u"tbToolBar"_s);
        for (const QString& clave : botonesDeEnvio)
            barra->addAction(clave)->setObjectName(clave);
        const auto menu = [this](const QString& nombre, const QStringList& entradas) {
            QMenu* m = menuBar()->addMenu(nombre);
            m->setObjectName(nombre);
            m->menuAction()->setObjectName(nombre);
            for (const QString& e : entradas)
                m->addAction(e)->setObjectName(e);
            return m;
        };
        menu(u"mnuEdit"_s, {u"mnuEditCut"_s, u"mnuEditPaste"_s});
        menu(u"mnuSGBD"_s, {u"mnuConnect"_s, u"mnuEnviar"_s, u"mnuSinNIEB"_s, u"mnuDesconectar"_s});
        QMenu* opciones = menu(u"mnuOpciones"_s, {u"mnuVerTabla"_s});
        opciones->actions().first()->setCheckable(true);
        opciones->actions().first()->setChecked(true);
    }
    QAction* accion(const QString& nombre) { return findChild<QAction*>(nombre); }
    QPlainTextEdit* Consulta;
};

} // namespace

class TestEjecucion : public QObject {
    Q_OBJECT

    QTemporaryDir m_carpeta;
    db::OraSession m_sesion;
    std::shared_ptr<db::OraDatabase> m_base;

    // One run of the commands against fake surroundings; the translation is a stand-in that
    // counts its calls and passes the text through.
    struct Banco {
        FakePlatform plataforma;
        Platform servicios = plataforma.servicios();
        Module1 estado;
        VentanaPrincipal principal;
        int traducciones = 0;
        int erroresTraduccion = 0;
        int browsers = 0;
        QList<std::pair<int, QString>> erroresServidor;
        Ejecucion* ejecucion = nullptr;

        explicit Banco(db::OraDatabase* base)
        {
            estado.conexion.conectado = true;
            AnfitrionEjecucion a;
            a.principal = &principal;
            a.textoConsulta = [this] { return principal.Consulta->toPlainText(); };
            a.comprobarConexion = [this] {
                if (!estado.conexion.conectado)
                    plataforma.mensajes.mostrar(Mensaje::aviso(
                        u"Nimbo: Aviso"_s, u"Debe conectarse antes al SGBD."_s, Mensaje::Icono::Informacion));
                return estado.conexion.conectado;
            };
            a.traducirConsulta = [this](const QString& texto) {
                ++traducciones;
                estado.SentenciaSQL = texto;
                estado.SegundosTraduccion = 0.25 * traducciones;
                estado.numErrores = erroresTraduccion;
                return int(Hecho);
            };
            a.mostrarErrores = [this] { ++browsers; };
            a.cerrarErrores = [] {};
            a.mostrarErrorServidor = [this](int codigo, const QString& texto) {
                erroresServidor.append({codigo, texto});
            };
            a.base = [base] { return base; };
            ejecucion = new Ejecucion(estado, servicios, a);
            ejecucion->setIntervaloEventos(0);
        }
        Tabla* tabla() { return ejecucion->tabla().existente(); }
        void escribir(const QString& texto)
        {
            principal.Consulta->setPlainText(texto);
            estado.SentenciaSQL.clear(); // every edit drops the pending translation
        }
        QString contar(db::OraDatabase& base, const QString& sql)
        {
            return base.DbCreateDynaset(sql)->Fields()(0).Value().toString();
        }
    };

private Q_SLOTS:
    void initTestCase();
    void enviarDosVecesTraduceUnaVez();
    void erroresDeTraduccionAbrenElNavegador();
    void pruebaSelect_data();
    void pruebaSelect();
    void sinNiebDejaLaSentenciaVacia();
    void sinConexion();
    void comandosDesbloqueadosTrasCadaEjecucion_data();
    void comandosDesbloqueadosTrasCadaEjecucion();
    void fallidaSinVerTablaNoMuestraVentana();
    void ventanaMayorQueLaPantalla_data();
    void ventanaMayorQueLaPantalla();
};

void TestEjecucion::initTestCase()
{
    const QString ruta = m_carpeta.filePath(u"prueba.db"_s);
    db::instalarEnFichero(ruta, u"SCOTT"_s, u"ravel"_s);
    m_base = m_sesion.DbOpenDatabase(ruta, u"SCOTT/ravel"_s);
    m_base->DbExecuteSQL(u"CREATE TABLE T (ID INTEGER, NOMBRE VARCHAR(30))"_s);
    m_base->DbExecuteSQL(u"INSERT INTO T WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                         "WHERE i < 40) SELECT i, 'fila ' || i FROM n"_s);
}

void TestEjecucion::enviarDosVecesTraduceUnaVez()
{
    Banco b(m_base.get());
    b.escribir(u"SELECT ID, NOMBRE FROM T"_s);
    b.ejecucion->mnuEnviar();
    QCOMPARE(b.traducciones, 1);
    QVERIFY(b.tabla() && b.tabla()->isVisible());
    QCOMPARE(b.tabla()->windowTitle(), u"Nimbo: SELECT ID, NOMBRE FROM T"_s);
    QCOMPARE(b.tabla()->NumTuplas()->text(), u"40 (todas)"_s);
    QCOMPARE(b.tabla()->Grid1()->rows(), 41);
    QCOMPARE(b.tabla()->Grid1()->textMatrix(40, 2), u"fila 40"_s);

    b.ejecucion->mnuEnviar();
    QCOMPARE(b.traducciones, 1);
    QCOMPARE(b.estado.SegundosTraduccion, 0.25);
    QVERIFY(b.tabla() && b.tabla()->isVisible());

    b.escribir(u"SELECT ID FROM T WHERE ID < 3"_s);
    b.ejecucion->mnuEnviar();
    QCOMPARE(b.traducciones, 2);
    QCOMPARE(b.tabla()->NumTuplas()->text(), u"2 (todas)"_s);
}

void TestEjecucion::erroresDeTraduccionAbrenElNavegador()
{
    Banco b(m_base.get());
    b.erroresTraduccion = 2;
    b.escribir(u"SELECT ID FROM T"_s);
    b.ejecucion->mnuEnviar();
    QCOMPARE(b.browsers, 1);
    QVERIFY(!b.tabla() || !b.tabla()->isVisible());
}

void TestEjecucion::pruebaSelect_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("pasa");
    QTest::addColumn<bool>("errorServidor");
    QTest::newRow("lower case") << u"select id from t"_s << true << false;
    QTest::newRow("update without a sub-select") << u"UPDATE T SET NOMBRE = 'x'"_s << false << false;
    QTest::newRow("update with a sub-select") << u"UPDATE T SET NOMBRE = (SELECT 'x' FROM DUAL)"_s << true << true;
}

void TestEjecucion::pruebaSelect()
{
    QFETCH(QString, texto);
    QFETCH(bool, pasa);
    QFETCH(bool, errorServidor);
    Banco b(m_base.get());
    b.escribir(texto);
    b.ejecucion->mnuEnviar();
    QCOMPARE(b.traducciones, pasa ? 1 : 0);
    if (!pasa) {
        QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
        QCOMPARE(b.plataforma.mensajes.mostrados.first(),
            Mensaje::aviso(u"Nimbo: Aviso"_s, u"No es una sentencia SELECT: Nimbo sólo admite sentencias SELECT."_s,
                Mensaje::Icono::Informacion));
    }
    QCOMPARE(b.erroresServidor.size(), errorServidor ? 1 : 0);
    QCOMPARE(b.contar(*m_base, u"SELECT COUNT(*) FROM T WHERE NOMBRE = 'x'"_s), u"0"_s);
}

void TestEjecucion::sinNiebDejaLaSentenciaVacia()
{
    Banco b(m_base.get());
    b.estado.SegundosTraduccion = 3;
    b.escribir(u"SELECT ID FROM T WHERE ID = 7"_s);
    b.ejecucion->mnuSinNIEB();
    QCOMPARE(b.traducciones, 0);
    QVERIFY(b.estado.SentenciaSQL.isEmpty());
    QCOMPARE(b.estado.SegundosTraduccion, 0.0);
    QCOMPARE(b.tabla()->Grid1()->textMatrix(1, 1), u"7"_s);
}

void TestEjecucion::sinConexion()
{
    Banco b(m_base.get());
    b.estado.conexion.conectado = false;
    b.escribir(u"SELECT ID FROM T"_s);
    b.ejecucion->mnuSinNIEB();
    QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
    QCOMPARE(b.plataforma.mensajes.mostrados.first().texto, u"Debe conectarse antes al SGBD."_s);
    QVERIFY(b.estado.SentenciaSQL.isEmpty());
    QVERIFY(!b.tabla());
}

void TestEjecucion::comandosDesbloqueadosTrasCadaEjecucion_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("verTabla");
    QTest::newRow("done, watched") << u"SELECT ID FROM T"_s << true;
    QTest::newRow("done, hidden") << u"SELECT ID FROM T"_s << false;
    QTest::newRow("failed, watched") << u"SELECT * FROM NO_EXISTE"_s << true;
    QTest::newRow("failed, hidden") << u"SELECT * FROM NO_EXISTE"_s << false;
}

void TestEjecucion::comandosDesbloqueadosTrasCadaEjecucion()
{
    QFETCH(QString, texto);
    QFETCH(bool, verTabla);
    Banco b(m_base.get());
    b.principal.accion(u"mnuVerTabla"_s)->setChecked(verTabla);
    // Disabled before the run, the buttons still end enabled; an entry disabled by its own rule stays so.
    b.principal.accion(u"Conexión"_s)->setEnabled(false);
    b.principal.accion(u"mnuSinNIEB"_s)->setEnabled(false);
    b.principal.accion(u"mnuDesconectar"_s)->setEnabled(false);
    b.escribir(texto);
    b.ejecucion->mnuEnviar();
    for (const QString& clave : botonesDeEnvio)
        QVERIFY2(b.principal.accion(clave)->isEnabled(), qPrintable(clave));
    QVERIFY(b.principal.accion(u"mnuSinNIEB"_s)->isEnabled());
    QVERIFY(b.principal.accion(u"mnuSGBD"_s)->isEnabled());
    QVERIFY(b.principal.accion(u"mnuEdit"_s)->isEnabled());
    QVERIFY(b.principal.accion(u"mnuConnect"_s)->isEnabled());
    QVERIFY(!b.principal.accion(u"mnuDesconectar"_s)->isEnabled());
    QVERIFY(b.principal.Consulta->isEnabled());
    QVERIFY(b.principal.findChild<QToolBar*>(u"tbToolBar"_s)->isEnabled());
    QVERIFY(b.principal.isEnabled());
    // The result window's commands are back on whatever the outcome.
    QVERIFY(b.tabla());
    QVERIFY(b.tabla()->entradaMenu(u"mnuArchivoTabla"_s)->isEnabled());
    QVERIFY(b.tabla()->boton(u"Salir"_s)->isEnabled());
}

void TestEjecucion::fallidaSinVerTablaNoMuestraVentana()
{
    Banco b(m_base.get());
    b.principal.accion(u"mnuVerTabla"_s)->setChecked(false);
    b.escribir(u"SELECT * FROM NO_EXISTE"_s);
    b.ejecucion->mnuEnviar();
    QCOMPARE(b.erroresServidor.size(), 1);
    QCOMPARE(b.erroresServidor.first().first, 942);
    QVERIFY(b.tabla());
    QVERIFY(!b.tabla()->isVisible());
    QVERIFY(b.tabla()->windowTitle() != u"Nimbo: SELECT * FROM NO_EXISTE"_s);
}

void TestEjecucion::ventanaMayorQueLaPantalla_data()
{
    QTest::addColumn<QRect>("ventana");
    QTest::addColumn<QRect>("ajustada");
    const QSize pantalla(15000, 12000);
    QTest::newRow("fits") << QRect(300, 400, 9000, 6000) << QRect(300, 400, 9000, 6000);
    QTest::newRow("too wide") << QRect(300, 400, 16000, 6000) << QRect(0, 400, 15000, 6000);
    QTest::newRow("too tall") << QRect(300, 400, 9000, 12001) << QRect(300, 0, 9000, 12000);
    QTest::newRow("screen sized") << QRect(300, 400, 15000, 12000) << QRect(300, 400, 15000, 12000);
    QTest::newRow("both") << QRect(300, 400, 20000, 20000) << QRect(0, 0, 15000, 12000);
}

void TestEjecucion::ventanaMayorQueLaPantalla()
{
    QFETCH(QRect, ventana);
    QFETCH(QRect, ajustada);
    QCOMPARE(ajustadaAPantalla(ventana, QSize(15000, 12000)), ajustada);
}

QTEST_MAIN(TestEjecucion)
#include "tst_ejecucion.moc"
