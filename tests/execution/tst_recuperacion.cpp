// Retrieval of a statement's rows into the result grid, against a real database and a recording view.
#include "AlmacenFilas.h"
#include "BaseEmbebida.h"
#include "BasePostgres.h"
#include "CopiaFilas.h"
#include "FakePlatform.h"
#include "Module1.h"
#include "OraSession.h"
#include "Recuperacion.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <map>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Records what a retrieval shows. The grid is a row store below a header row, as the real one.
class VistaFalsa final : public VistaRecuperacion {
public:
    void deshabilitarOpcionesTabla() override { anotar(u"deshabilitarOpcionesTabla"_s); }
    void habilitarOpcionesTabla() override { anotar(u"habilitarOpcionesTabla"_s); }
    void ponerNumTuplas(const QString& texto) override { numTuplas = texto; }
    void ponerNumColumnas(const QString& texto) override { numColumnas = texto; }
    void ponerColumnas(int n) override
    {
        columnas = n;
        celdas.vaciar(n);
    }
    void ponerFilas(qint64 n) override
    {
        filas = n;
        celdas.redimensionar(std::max<qint64>(n - 1, 0));
    }
    void ponerFijas(int f, int c) override
    {
        anotar(u"ponerFijas"_s);
        fijas = {f, c};
    }
    void ponerCabecera(int columna, const QString& texto, int ancho, int alineacion) override
    {
        anotar(u"ponerCabecera"_s);
        cabecera[columna] = {texto, ancho, alineacion};
    }
    void ponerAncho(int columna, int ancho) override { std::get<1>(cabecera.at(columna)) = ancho; }
    filas::AlmacenFilas& lote() override { return celdas; }
    void publicar() override { filas = celdas.filas() + 1; }
    void mostrarPeonza() override { anotar(u"mostrarPeonza"_s); }
    void peonzaEncima(bool encima) override { anotar(u"peonzaEncima "_s + QString::number(encima)); }
    void descargarPeonza() override { anotar(u"descargarPeonza"_s); }
    void ponerContaRecu(const QString& texto) override { contaRecu = texto; }
    void ponerNumFilas(const QString& texto) override
    {
        numFilas = texto;
        textosNumFilas << texto;
    }
    void ponerProgreso(qint64 v, qint64 m) override
    {
        anotar(u"ponerProgreso"_s);
        valor = v;
        maximo = m;
    }
    void trasCancelar() override { anotar(u"trasCancelar"_s); }
    void puntero(PunteroPantalla::Forma forma) override { anotar(u"puntero "_s + QString::number(forma)); }
    void procesarEventos() override
    {
        if (alProcesar)
            alProcesar(registro.isEmpty() ? QString() : registro.last());
    }
    void mostrarErrorServidor(int codigo, const QString& texto) override
    {
        anotar(u"mostrarErrorServidor"_s);
        errores.append({codigo, texto});
    }

    // A cell of the grid as it would show: header row 0, data from row 1.
    QString texto(qint64 fila, int columna) const
    {
        if (fila == 0)
            return std::get<0>(cabecera.at(columna));
        return celdas.texto(fila - 1, columna);
    }

    void anotar(const QString& que) { registro << que; }

    QStringList registro;
    // Runs at every round of window events, told the last thing shown before it.
    std::function<void(const QString&)> alProcesar;
    filas::AlmacenFilas celdas;
    int columnas = 0;
    qint64 filas = 0;
    std::pair<int, int> fijas = {-1, -1};
    std::map<int, std::tuple<QString, int, int>> cabecera;
    QString numTuplas = u"<sin tocar>"_s, numColumnas = u"<sin tocar>"_s;
    QString contaRecu = u"Contando filas..."_s, numFilas = u"(espere un momento)"_s;
    QStringList textosNumFilas;
    qint64 valor = 0, maximo = 100;
    QList<std::pair<int, QString>> errores;
};

} // namespace

// Every case runs on an embedded SQLite file and, where NIMBO_PG names a PostgreSQL server, on a
// database of its own there, with the same tables and the same expectations.
class TestRecuperacion : public QObject {
    Q_OBJECT

    QTemporaryDir m_carpeta;
    db::OraSession m_sesion;
    std::shared_ptr<db::OraDatabase> m_sqlite, m_postgres;
    std::unique_ptr<BasePostgres> m_basePg;
    // The current row's database.
    db::OraDatabase* m_base = nullptr;
    bool m_enPostgres = false;

    struct Banco {
        FakePlatform plataforma;
        Module1 estado;
        VistaFalsa vista;
        Recuperacion recuperacion{estado, plataforma.reloj, vista};
        // Either every row to copy is kept by the counting, or none is and the rows are streamed.
        explicit Banco(bool enFlujo = false)
        {
            recuperacion.setIntervaloEventos(0);
            if (enFlujo)
                recuperacion.setFilasRetenidas(0);
        }
    };

    static void porAmbosCaminos()
    {
        QTest::addColumn<bool>("enFlujo");
        QTest::newRow("kept") << false;
        QTest::newRow("streamed") << true;
    }

    QString unValor(const QString& sql)
    {
        const auto d = m_base->DbCreateDynaset(sql);
        return d->Fields()(0).Value().toString();
    }
    // A statement the two databases write differently, for the current row.
    QString segun(const QString& sqlite, const QString& postgres) const { return m_enPostgres ? postgres : sqlite; }
    static void crearTablas(db::OraDatabase& base);
    // Opens the PostgreSQL database at its first row; why it cannot, or empty.
    QString abrirPostgres();

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void resultadoSinFilas();
    void limiteDeFilas_data();
    void limiteDeFilas();
    void textosDeLasCeldas_data();
    void textosDeLasCeldas();
    void copiaDirectaComoPorValores_data();
    void copiaDirectaComoPorValores();
    void anchosYAlineaciones_data();
    void anchosYAlineaciones();
    void ordenDeLaSalidaNormal();
    void laCuentaDejaLaCacheComoEstaba();
    void cancelarEnLaFila37_data();
    void cancelarEnLaFila37();
    void filasCambiadasEntreLaCuentaYLaCopia_data();
    void filasCambiadasEntreLaCuentaYLaCopia();
    void cancelarAntesDeLasFilas_data();
    void cancelarAntesDeLasFilas();
    void cancelarUnaSentenciaLarga();
    void cancelarMientrasCuenta();
    void sentenciaRechazada_data();
    void sentenciaRechazada();
    void puntoYComaFinal_data();
    void puntoYComaFinal();
    void segundosConsultaAunqueCruceLaMedianoche();
};

void TestRecuperacion::initTestCase_data()
{
    QTest::addColumn<bool>("postgres");
    QTest::newRow("sqlite") << false;
    QTest::newRow("postgres") << true;
}

void TestRecuperacion::initTestCase()
{
    QVERIFY(m_carpeta.isValid());
    const QString ruta = m_carpeta.filePath(u"prueba.db"_s);
    db::instalarEnFichero(ruta, u"SCOTT"_s, u"ravel"_s);
    m_sqlite = m_sesion.DbOpenDatabase(ruta, u"SCOTT/ravel"_s);
    crearTablas(*m_sqlite);
}

void TestRecuperacion::crearTablas(db::OraDatabase& base)
{
    base.DbExecuteSQL(u"CREATE TABLE T250 (ID INTEGER, NOMBRE VARCHAR(30))"_s);
    base.DbExecuteSQL(u"INSERT INTO T250 WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                      "WHERE i < 250) SELECT i, 'fila ' || i FROM n"_s);
    base.DbExecuteSQL(u"CREATE TABLE ANCHOS (CORTO VARCHAR(30), LARGO VARCHAR(2000), MEDIO VARCHAR(999))"_s);
    base.DbExecuteSQL(u"INSERT INTO ANCHOS VALUES ('a', 'b', 'c')"_s);
}

QString TestRecuperacion::abrirPostgres()
{
    if (m_postgres)
        return {};
    if (const QString falta = BasePostgres::sinServidor(); !falta.isEmpty())
        return falta;
    if (!BasePostgres::conGuiones())
        return u"this build has no scripts for the NIEB server on PostgreSQL"_s;
    if (!m_basePg)
        m_basePg = std::make_unique<BasePostgres>(BasePostgres::Contenido::Servidor);
    if (!m_basePg->error().isEmpty())
        return u"no PostgreSQL database: "_s + m_basePg->error();
    m_postgres = m_sesion.DbOpenDatabase(m_basePg->nombre(), BasePostgres::conexion());
    crearTablas(*m_postgres);
    return {};
}

void TestRecuperacion::init()
{
    QFETCH_GLOBAL(bool, postgres);
    m_enPostgres = postgres;
    m_base = m_sqlite.get();
    if (postgres) {
        const QString falta = abrirPostgres();
        if (!falta.isEmpty())
            QSKIP(qPrintable(falta));
        m_base = m_postgres.get();
    }
    QCOMPARE(unValor(u"SELECT COUNT(*) FROM T250"_s), u"250"_s);
}

void TestRecuperacion::resultadoSinFilas()
{
    Banco b;
    b.estado.SentenciaSQL = u"SELECT ID, NOMBRE FROM T250 WHERE ID < 0"_s;
    QCOMPARE(b.recuperacion.RecuperarTabla(*m_base), Hecho);
    QCOMPARE(b.vista.filas, 2);
    QCOMPARE(b.vista.columnas, 3);
    QCOMPARE(b.vista.fijas, std::make_pair(1, 1));
    QCOMPARE(b.vista.texto(0, 0), u"Nº Fila"_s);
    QCOMPARE(b.vista.texto(0, 2), u"NOMBRE"_s);
    QCOMPARE(b.vista.texto(1, 1), QString());
    QCOMPARE(b.vista.numTuplas, u"0 (todas)"_s);
    QCOMPARE(b.vista.numFilas, u"0 filas (todas)"_s);
    QCOMPARE(b.vista.numColumnas, u"2"_s);
    QVERIFY(b.vista.registro.contains(u"descargarPeonza"_s));
    QCOMPARE(b.vista.registro.last(), u"habilitarOpcionesTabla"_s);
}

void TestRecuperacion::limiteDeFilas_data()
{
    QTest::addColumn<bool>("todas");
    QTest::addColumn<int>("limite");
    QTest::addColumn<int>("copiadas");
    QTest::addColumn<QString>("numTuplas");
    QTest::addColumn<QString>("numFilasAlContar");
    QTest::addColumn<bool>("enFlujo");
    for (const bool enFlujo : {false, true}) {
        const char* como = enFlujo ? ", streamed" : ", kept";
        const QString todas = u"250 (todas)"_s, filasTodas = u"250 filas (todas)"_s;
        QTest::addRow("no limit%s", como) << true << 100 << 250 << todas << filasTodas << enFlujo;
        QTest::addRow("limit below the total%s", como)
            << false << 100 << 100 << u"100/250"_s << u"100 filas de 250"_s << enFlujo;
        QTest::addRow("limit equal to the total%s", como) << false << 250 << 250 << todas << filasTodas << enFlujo;
        QTest::addRow("limit above the total%s", como) << false << 500 << 250 << todas << filasTodas << enFlujo;
        QTest::addRow("limit of one%s", como) << false << 1 << 1 << u"1/250"_s << u"1 filas de 250"_s << enFlujo;
    }
}

void TestRecuperacion::limiteDeFilas()
{
    QFETCH(bool, todas);
    QFETCH(int, limite);
    QFETCH(int, copiadas);
    QFETCH(QString, numTuplas);
    QFETCH(QString, numFilasAlContar);
    QFETCH(bool, enFlujo);
    Banco b(enFlujo);
    b.estado.TodasLasFilas = todas;
    b.estado.LimiteFilas = limite;
    b.estado.SentenciaSQL = u"SELECT ID, NOMBRE FROM T250 ORDER BY ID"_s;
    QCOMPARE(b.recuperacion.RecuperarTabla(*m_base), Hecho);
    QCOMPARE(b.vista.filas, copiadas + 1);
    QCOMPARE(b.vista.numTuplas, numTuplas);
    QCOMPARE(b.vista.textosNumFilas.first(), numFilasAlContar);
    QCOMPARE(b.vista.numFilas, u"fila %1 de %1"_s.arg(copiadas));
    QCOMPARE(b.vista.valor, copiadas);
    QCOMPARE(b.vista.maximo, copiadas + 1);
    for (const int r : {1, copiadas / 2 + 1, copiadas}) {
        QCOMPARE(b.vista.texto(r, 0), QString::number(r));
        QCOMPARE(b.vista.texto(r, 1), QString::number(r));
        QCOMPARE(b.vista.texto(r, 2), u"fila "_s + QString::number(r));
    }
}

void TestRecuperacion::textosDeLasCeldas_data()
{
    QTest::addColumn<bool>("ponerCero");
    QTest::addColumn<QStringList>("esperados");
    QTest::addColumn<bool>("enFlujo");
    for (const bool enFlujo : {false, true}) {
        const char* como = enFlujo ? ", streamed" : ", kept";
        const QStringList resto = {u"-.5"_s, u"NULL"_s, u"NULL"_s, u".x"_s, u"0.25"_s, u"7"_s, u"."_s, u"X'00FF'"_s};
        QTest::addRow("leading zero on%s", como) << true << QStringList{u"0.5"_s, u"0,5"_s} + resto << enFlujo;
        QTest::addRow("leading zero off%s", como) << false << QStringList{u".5"_s, u",5"_s} + resto << enFlujo;
    }
}

void TestRecuperacion::textosDeLasCeldas()
{
    QFETCH(bool, ponerCero);
    QFETCH(QStringList, esperados);
    QFETCH(bool, enFlujo);
    Banco b(enFlujo);
    b.estado.PonerCeroAuto = ponerCero;
    b.estado.SentenciaSQL = u"SELECT '.5', ',5', '-.5', NULL, 'NULL', '.x', 0.25, 7, '.', %1 FROM DUAL"_s.arg(
        segun(u"X'00FF'"_s, u"'\\x00ff'::bytea"_s));
    QCOMPARE(b.recuperacion.RecuperarTabla(*m_base), Hecho);
    QCOMPARE(b.vista.filas, 2);
    QStringList vistos;
    for (int c = 1; c <= esperados.size(); ++c)
        vistos << b.vista.texto(1, c);
    QCOMPARE(vistos, esperados);
}

void TestRecuperacion::copiaDirectaComoPorValores_data()
{
    QTest::addColumn<bool>("ponerCero");
    QTest::newRow("leading zero on") << true;
    QTest::newRow("leading zero off") << false;
}

// The grid made from the dynaset's bytes is the one made from each cell's value, cell for cell and
// type for type, whatever the cell holds.
void TestRecuperacion::copiaDirectaComoPorValores()
{
    QFETCH(bool, ponerCero);
    // PostgreSQL text holds valid UTF-8 only, and its blobs are bytea.
    const auto d = m_base->DbCreateDynaset(
        segun(u"SELECT '.5', ',5', '.', '', NULL, 'ñandú .5', ',x', -3, 0.125, 1e300, X'00FF', X'', "
              "CAST(X'2E35FF' AS TEXT), CAST(X'C3' AS TEXT), '.9' || char(233) FROM DUAL "
              "UNION ALL SELECT '5.', '0,5', ' .5', 'a', 'NULL', '€', '..5', 0, -0.5, 2, NULL, X'41', "
              "'.0', ',9', '' FROM DUAL"_s,
            u"SELECT '.5', ',5', '.', '', NULL, 'ñandú .5', ',x', -3, 0.125, 1e300, '\\x00ff'::bytea, ''::bytea, "
            "'.5ÿ', 'Ã', '.9' || chr(233) FROM DUAL "
            "UNION ALL SELECT '5.', '0,5', ' .5', 'a', 'NULL', '€', '..5', 0, -0.5, 2, NULL, '\\x41'::bytea, "
            "'.0', ',9', '' FROM DUAL"_s));
    const db::OraFields campos = d->Fields();
    const int columnas = campos.Count();
    filas::AlmacenFilas directo(columnas + 1), porValores(columnas + 1);
    CopiaFilas copia(directo, columnas, ponerCero);
    for (qint64 f = 0; !d->Eof(); ++f, d->DbMoveNext()) {
        copia.anadir(filas::FilaDeAlmacen(d->celdas(), f), f + 1);
        porValores.empezarFila();
        porValores.anadirEntero(f + 1);
        for (int j = 0; j < columnas; ++j) {
            const QVariant v = campos(j).Value();
            if (v.isNull())
                porValores.anadirTexto("NULL");
            else if (v.typeId() == QMetaType::LongLong)
                porValores.anadirEntero(v.toLongLong());
            else if (v.typeId() == QMetaType::Double)
                porValores.anadirReal(v.toDouble());
            else if (v.typeId() == QMetaType::QByteArray)
                porValores.anadirTexto(u"X'"_s + QString::fromLatin1(v.toByteArray().toHex().toUpper()) + u"'"_s);
            else
                porValores.anadirTexto(ponerCero ? CopiaFilas::ponerCero(v.toString()) : v.toString());
        }
        porValores.terminarFila();
    }
    QCOMPARE(directo.filas(), 2);
    QCOMPARE(porValores.filas(), 2);
    for (qint64 f = 0; f < 2; ++f)
        for (int c = 0; c <= columnas; ++c) {
            const QByteArray donde = QByteArray::number(f) + ',' + QByteArray::number(c);
            QVERIFY2(directo.tipo(f, c) == porValores.tipo(f, c), donde);
            QVERIFY2(directo.texto(f, c) == porValores.texto(f, c), donde + ": " + directo.texto(f, c).toUtf8());
            QVERIFY2(directo.bytes(f, c) == porValores.bytes(f, c), donde);
        }
    QCOMPARE(directo.texto(0, 1), ponerCero ? u"0.5"_s : u".5"_s);
}

void TestRecuperacion::anchosYAlineaciones_data()
{
    porAmbosCaminos();
}

// Declared sizes give the widths; a column of no declared type is as wide as its longest value
// among the rows copied, in characters, when that reaches 1000.
void TestRecuperacion::anchosYAlineaciones()
{
    QFETCH(bool, enFlujo);
    Banco b(enFlujo);
    // 1200 characters; 999 characters in 1001 bytes.
    b.estado.SentenciaSQL = segun(
        u"SELECT CORTO, LARGO, MEDIO, CORTO || printf('%.1199c', 'x'), printf('%.997c', 'n') || 'ññ' FROM ANCHOS"_s,
        u"SELECT CORTO, LARGO, MEDIO, CORTO || repeat('x', 1199), repeat('n', 997) || 'ññ' FROM ANCHOS"_s);
    QCOMPARE(b.recuperacion.RecuperarTabla(*m_base), Hecho);
    QCOMPARE(b.vista.cabecera.at(0), std::make_tuple(u"Nº Fila"_s, 550, 2));
    QCOMPARE(b.vista.cabecera.at(1), std::make_tuple(u"CORTO"_s, 1000, 1));
    QCOMPARE(b.vista.cabecera.at(2), std::make_tuple(u"LARGO"_s, 2000, 1));
    QCOMPARE(b.vista.cabecera.at(3), std::make_tuple(u"MEDIO"_s, 1000, 1));
    QCOMPARE(std::get<1>(b.vista.cabecera.at(4)), 1200);
    QCOMPARE(std::get<1>(b.vista.cabecera.at(5)), 1000);
    QCOMPARE(std::get<2>(b.vista.cabecera.at(5)), 1);
}

void TestRecuperacion::ordenDeLaSalidaNormal()
{
    Banco b;
    b.estado.SentenciaSQL = u"SELECT ID FROM T250 WHERE ID <= 3"_s;
    QCOMPARE(b.recuperacion.RecuperarTabla(*m_base), Hecho);
    QStringList pasos = b.vista.registro;
    pasos.removeAll(u"ponerProgreso"_s);
    pasos.removeAll(u"ponerCabecera"_s);
    const QStringList esperados = {u"deshabilitarOpcionesTabla"_s, u"puntero 11"_s, u"mostrarPeonza"_s,
        u"peonzaEncima 1"_s, u"puntero 13"_s, u"ponerFijas"_s, u"puntero 0"_s, u"peonzaEncima 0"_s,
        u"descargarPeonza"_s, u"habilitarOpcionesTabla"_s};
    QCOMPARE(pasos, esperados);
}

// Counting past a limit goes through a small page cache; the connection gets its own back.
void TestRecuperacion::laCuentaDejaLaCacheComoEstaba()
{
    if (m_enPostgres)
        QSKIP("the page cache is SQLite's");
    const QString antes = unValor(u"PRAGMA cache_size"_s);
    Banco b;
    b.estado.TodasLasFilas = false;
    b.estado.LimiteFilas = 10;
    b.estado.SentenciaSQL = u"SELECT ID FROM T250"_s;
    QCOMPARE(b.recuperacion.RecuperarTabla(*m_base), Hecho);
    QCOMPARE(b.vista.numTuplas, u"10/250"_s);
    QCOMPARE(unValor(u"PRAGMA cache_size"_s), antes);
}

void TestRecuperacion::cancelarEnLaFila37_data()
{
    porAmbosCaminos();
}

void TestRecuperacion::cancelarEnLaFila37()
{
    QFETCH(bool, enFlujo);
    Banco b(enFlujo);
    b.estado.SegundosConsulta = -1;
    b.estado.SentenciaSQL = u"SELECT ID, NOMBRE FROM T250 WHERE ID <= 100 ORDER BY ID"_s;
    b.vista.alProcesar = [&](const QString&) {
        if (b.vista.numFilas == u"fila 37 de 100"_s)
            b.estado.OperacionCancelada = true;
    };
    QCOMPARE(b.recuperacion.RecuperarTabla(*m_base), NoHecho);
    QCOMPARE(b.vista.numTuplas, u"37/100"_s);
    QCOMPARE(b.vista.filas, 101);
    QCOMPARE(b.vista.texto(37, 2), u"fila 37"_s);
    QCOMPARE(b.vista.texto(38, 0), QString());
    QCOMPARE(b.vista.texto(100, 2), QString());
    QVERIFY(b.estado.SegundosConsulta >= 0);
    // The busy window goes by itself at its next tick: the retrieval leaves it be.
    QVERIFY(!b.vista.registro.contains(u"descargarPeonza"_s));
    QVERIFY(b.vista.registro.contains(u"trasCancelar"_s));
    QCOMPARE(b.vista.registro.last(), u"habilitarOpcionesTabla"_s);
}

void TestRecuperacion::filasCambiadasEntreLaCuentaYLaCopia_data()
{
    QTest::addColumn<QString>("cambio");
    QTest::addColumn<int>("copiadas");
    QTest::addColumn<QString>("numTuplas");
    QTest::newRow("rows added") << u"INSERT INTO CAMBIANTE SELECT ID + 20 FROM CAMBIANTE WHERE ID <= 5"_s << 20
                                << u"20/25"_s;
    QTest::newRow("rows removed") << u"DELETE FROM CAMBIANTE WHERE ID > 12"_s << 12 << u"12 (todas)"_s;
}

// A streamed result that changed after it was counted: the counters tell what the grid got, and the
// grid has no row left empty.
void TestRecuperacion::filasCambiadasEntreLaCuentaYLaCopia()
{
    QFETCH(QString, cambio);
    QFETCH(int, copiadas);
    QFETCH(QString, numTuplas);
    m_base->DbExecuteSQL(u"CREATE TABLE CAMBIANTE AS SELECT ID FROM T250 WHERE ID <= 20"_s);
    Banco b(true);
    b.estado.SentenciaSQL = u"SELECT ID FROM CAMBIANTE"_s;
    // Once, on the retrieval's own connection, before the copy's statement runs.
    bool cambiado = false;
    b.vista.alProcesar = [&](const QString& ultimo) {
        if (ultimo == u"ponerCabecera"_s && !std::exchange(cambiado, true))
            m_base->DbExecuteSQL(cambio);
    };
    const auto quitar = qScopeGuard([&] { m_base->DbExecuteSQL(u"DROP TABLE CAMBIANTE"_s); });
    const Resultado resultado = b.recuperacion.RecuperarTabla(*m_base);
    QVERIFY2(b.vista.errores.isEmpty(), qPrintable(b.vista.errores.value(0).second));
    QCOMPARE(resultado, Hecho);
    QCOMPARE(b.vista.numTuplas, numTuplas);
    QCOMPARE(b.vista.filas, copiadas + 1);
    QCOMPARE(b.vista.celdas.filas(), copiadas);
    QCOMPARE(b.vista.texto(copiadas, 0), QString::number(copiadas));
}

void TestRecuperacion::cancelarAntesDeLasFilas_data()
{
    QTest::addColumn<QString>("trasPaso");
    QTest::addColumn<QString>("numTuplas");
    QTest::newRow("busy window just shown") << u"mostrarPeonza"_s << u"<sin tocar>"_s;
    QTest::newRow("result opened, not counted") << u"peonzaEncima 1"_s << u"<sin tocar>"_s;
    QTest::newRow("grid sized") << u"ponerProgreso"_s << u"0/250"_s;
    QTest::newRow("fixed row and column") << u"ponerFijas"_s << u"0/250"_s;
    QTest::newRow("header written") << u"ponerCabecera"_s << u"0/250"_s;
}

void TestRecuperacion::cancelarAntesDeLasFilas()
{
    QFETCH(QString, trasPaso);
    QFETCH(QString, numTuplas);
    Banco b;
    b.estado.SegundosConsulta = 12.5;
    b.estado.SentenciaSQL = u"SELECT ID, NOMBRE FROM T250"_s;
    b.vista.alProcesar = [&](const QString& ultimo) {
        if (ultimo == trasPaso)
            b.estado.OperacionCancelada = true;
    };
    QCOMPARE(b.recuperacion.RecuperarTabla(*m_base), NoHecho);
    QCOMPARE(b.vista.numTuplas, numTuplas);
    QCOMPARE(b.vista.celdas.filas() == 0 || b.vista.texto(1, 0).isEmpty(), true);
    QCOMPARE(b.estado.SegundosConsulta, 12.5);
    QVERIFY(b.vista.errores.isEmpty());
    QCOMPARE(b.vista.registro.last(), u"habilitarOpcionesTabla"_s);
}

// A statement that takes long before its first row is stopped by the cancel, without an error.
void TestRecuperacion::cancelarUnaSentenciaLarga()
{
    Banco b;
    b.estado.SentenciaSQL
        = segun(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500000000) "
                "SELECT COUNT(*) FROM n"_s,
            u"SELECT COUNT(*) FROM generate_series(1, 100000) a, generate_series(1, 100000) b"_s);
    int rondas = 0;
    b.vista.alProcesar = [&](const QString& ultimo) {
        if (ultimo == u"peonzaEncima 1"_s && ++rondas == 3)
            b.estado.OperacionCancelada = true;
    };
    QCOMPARE(b.recuperacion.RecuperarTabla(*m_base), NoHecho);
    QCOMPARE(rondas, 3);
    QVERIFY(b.vista.errores.isEmpty());
    QCOMPARE(b.vista.numTuplas, u"<sin tocar>"_s);
    // The database is ready for the next statement, without the cancel function.
    QCOMPARE(unValor(u"SELECT COUNT(*) FROM T250"_s), u"250"_s);
}

// Counting the rows of a large result past a limit lets window events run, and a cancel stops it.
void TestRecuperacion::cancelarMientrasCuenta()
{
    m_base->DbExecuteSQL(u"CREATE TABLE GRANDE AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                         "WHERE i < 200000) SELECT i AS ID FROM n"_s);
    Banco b;
    b.estado.TodasLasFilas = false;
    b.estado.LimiteFilas = 10;
    // Far too many rows to count before the cancel, on any database.
    b.estado.SentenciaSQL = u"SELECT A.ID FROM GRANDE A, GRANDE B"_s;
    int rondas = 0;
    b.vista.alProcesar = [&](const QString& ultimo) {
        if (ultimo == u"peonzaEncima 1"_s && ++rondas == 3)
            b.estado.OperacionCancelada = true;
    };
    const Resultado resultado = b.recuperacion.RecuperarTabla(*m_base);
    m_base->DbExecuteSQL(u"DROP TABLE GRANDE"_s);
    QCOMPARE(resultado, NoHecho);
    QVERIFY(rondas >= 3);
    QVERIFY(b.vista.errores.isEmpty());
    QCOMPARE(b.vista.numTuplas, u"<sin tocar>"_s);
}

void TestRecuperacion::sentenciaRechazada_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("codigo");
    QTest::newRow("no such table") << u"SELECT * FROM NO_EXISTE"_s << 942;
    QTest::newRow("update with a sub-select") << u"UPDATE T250 SET NOMBRE = (SELECT 'x' FROM DUAL)"_s << -1;
}

void TestRecuperacion::sentenciaRechazada()
{
    QFETCH(QString, sql);
    QFETCH(int, codigo);
    Banco b;
    b.estado.SegundosConsulta = 12.5;
    b.estado.SentenciaSQL = sql;
    QCOMPARE(b.recuperacion.RecuperarTabla(*m_base), NoHecho);
    QCOMPARE(b.vista.errores.size(), 1);
    if (codigo >= 0)
        QCOMPARE(b.vista.errores.first().first, codigo);
    QVERIFY(!b.vista.errores.first().second.isEmpty());
    QCOMPARE(b.vista.registro.last(), u"mostrarErrorServidor"_s);
    const QStringList fin = b.vista.registro.mid(b.vista.registro.size() - 5);
    QCOMPARE(fin, (QStringList{u"habilitarOpcionesTabla"_s, u"peonzaEncima 0"_s, u"descargarPeonza"_s,
                      u"puntero 0"_s, u"mostrarErrorServidor"_s}));
    QCOMPARE(b.estado.SegundosConsulta, 12.5);
    QCOMPARE(unValor(u"SELECT COUNT(*) FROM T250 WHERE NOMBRE = 'x'"_s), u"0"_s);
}

void TestRecuperacion::puntoYComaFinal_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("queda");
    QTest::newRow("at the end") << u"SELECT ID FROM T250 WHERE ID = 1;"_s << u"SELECT ID FROM T250 WHERE ID = 1"_s;
    QTest::newRow("only one of two") << u"SELECT ID FROM T250 WHERE ID = 1;;"_s
                                     << u"SELECT ID FROM T250 WHERE ID = 1;"_s;
    QTest::newRow("followed by a blank") << u"SELECT ID FROM T250 WHERE ID = 1; "_s
                                         << u"SELECT ID FROM T250 WHERE ID = 1; "_s;
    QTest::newRow("followed by a line break") << u"SELECT ID FROM T250 WHERE ID = 1;\r\n"_s
                                              << u"SELECT ID FROM T250 WHERE ID = 1;\r\n"_s;
}

void TestRecuperacion::puntoYComaFinal()
{
    QFETCH(QString, sql);
    QFETCH(QString, queda);
    Banco b;
    b.estado.SentenciaSQL = sql;
    b.recuperacion.RecuperarTabla(*m_base);
    QCOMPARE(b.estado.SentenciaSQL, queda);
    if (queda == u"SELECT ID FROM T250 WHERE ID = 1"_s)
        QCOMPARE(b.vista.texto(1, 1), u"1"_s);
}

// The clock of the day restarts at midnight; the time of a query must not.
void TestRecuperacion::segundosConsultaAunqueCruceLaMedianoche()
{
    Banco b;
    b.plataforma.reloj.momento = QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59, 500));
    b.estado.SentenciaSQL = u"SELECT ID FROM T250"_s;
    // The statement runs past midnight: the time moves once the query has started.
    b.vista.alProcesar = [&](const QString& ultimo) {
        if (ultimo == u"peonzaEncima 1"_s)
            b.plataforma.reloj.momento = QDateTime(QDate(2026, 12, 7), QTime(0, 0, 1));
    };
    QCOMPARE(b.recuperacion.RecuperarTabla(*m_base), Hecho);
    QCOMPARE(b.estado.SegundosConsulta, 1.5);
}

QTEST_MAIN(TestRecuperacion)
#include "tst_recuperacion.moc"
