#include "ErrorOra.h"
#include "OraSession.h"

#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;
using namespace db;

// The rows of a query as the backend hands them over: kept in a dynaset under a row limit, or
// streamed to a reader; the rows past the limit are counted, never kept.
namespace {

// Keeps what a reader is given, as text, to compare with a dynaset's rows.
struct Recogedor : LectorFilas {
    QStringList nombres;
    QList<QStringList> filas;
    bool empezado = false;
    void empezar(const QStringList& n) override
    {
        empezado = true;
        nombres = n;
    }
    void fila(const filas::FuenteFila& f) override
    {
        QStringList celdas;
        for (int c = 0; c < f.columnas(); ++c) {
            switch (f.tipo(c)) {
            case filas::TipoCelda::Nulo: celdas << u"NULL"_s; break;
            case filas::TipoCelda::Entero: celdas << QString::number(f.entero(c)); break;
            case filas::TipoCelda::Real: celdas << QString::number(f.real(c)); break;
            default: celdas << QString::fromUtf8(f.bytes(c).data(), qsizetype(f.bytes(c).size()));
            }
        }
        filas << celdas;
    }
};

QStringList texto(const QVariant& v, QStringList& celdas)
{
    celdas << (v.isNull() ? u"NULL"_s : v.typeId() == QMetaType::Double ? QString::number(v.toDouble()) : v.toString());
    return celdas;
}

QList<QStringList> filasDe(OraDynaset& d)
{
    QList<QStringList> filas;
    for (d.DbMoveFirst(); !d.Eof(); d.DbMoveNext()) {
        QStringList celdas;
        for (int c = 0; c < d.Fields().Count(); ++c)
            texto(d.Fields()(c).Value(), celdas);
        filas << celdas;
    }
    return filas;
}

} // namespace

class tst_FilasConsulta : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    OraSession sesion_;
    std::shared_ptr<OraDatabase> base_;

private Q_SLOTS:
    void initTestCase()
    {
        const QByteArray ruta = dir_.filePath(u"filas.db"_s).toUtf8();
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(ruta.constData(), &db), SQLITE_OK);
        const char* esquema = "CREATE TABLE T (ID INTEGER PRIMARY KEY, GRUPO INTEGER, NOMBRE TEXT, PESO REAL, DATOS BLOB);"
                              "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50) "
                              "INSERT INTO T SELECT i, i % 4, 'nombre ' || i, CASE WHEN i % 5 = 0 THEN NULL ELSE i / 8.0 END, "
                              "CASE WHEN i % 3 = 0 THEN X'00FF' END FROM n;";
        QCOMPARE(sqlite3_exec(db, esquema, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        base_ = sesion_.DbOpenDatabase(QString::fromUtf8(ruta), u"ana/clave"_s, 0);
    }

    void limiteCuentaElResto_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<qint64>("total");
        QTest::newRow("scan") << u"SELECT * FROM T"_s << qint64(50);
        QTest::newRow("where") << u"SELECT NOMBRE, PESO FROM T WHERE GRUPO = 1"_s << qint64(13);
        QTest::newRow("sorted") << u"SELECT * FROM T ORDER BY NOMBRE DESC"_s << qint64(50);
        QTest::newRow("grouped") << u"SELECT GRUPO, count(*) FROM T GROUP BY GRUPO"_s << qint64(4);
        QTest::newRow("trailing comment and semicolon") << u"SELECT ID FROM T -- all of them\n ;  "_s << qint64(50);
        QTest::newRow("with") << u"WITH p AS (SELECT * FROM T WHERE ID > 40) SELECT ID FROM p"_s << qint64(10);
        QTest::newRow("values") << u"VALUES (1), (2), (3)"_s << qint64(3);
        QTest::newRow("compound") << u"SELECT ID FROM T UNION ALL SELECT GRUPO FROM T"_s << qint64(100);
        QTest::newRow("limit inside") << u"SELECT ID FROM T LIMIT 7"_s << qint64(7);
        QTest::newRow("pragma") << u"PRAGMA table_info(T)"_s << qint64(5);
        QTest::newRow("bound") << u"SELECT ID FROM T WHERE GRUPO = :G"_s << qint64(13);
        QTest::newRow("none") << u"SELECT * FROM T WHERE ID < 0"_s << qint64(0);
    }

    void limiteCuentaElResto()
    {
        QFETCH(QString, sql);
        QFETCH(qint64, total);
        base_->Parameters().Add(u"G"_s, 2, 1);
        const auto todas = base_->DbCreateDynaset(sql);
        QCOMPARE(todas->RecordCount(), total);
        const auto esperadas = filasDe(*todas);
        QCOMPARE(esperadas.size(), total);

        for (const qint64 limite : {qint64(0), qint64(1), qint64(3), total - 1, total, total + 1}) {
            if (limite < 0)
                continue;
            const qint64 guardadas = std::min(limite, total);
            const auto d = base_->DbCreateDynaset(sql, {}, limite);
            QCOMPARE(d->RecordCount(), total);
            QCOMPARE(filasDe(*d), esperadas.mid(0, guardadas));

            Recogedor r;
            QCOMPARE(base_->recorrerFilas(sql, r, limite), total);
            QVERIFY(r.empezado);
            QCOMPARE(r.nombres.size(), todas->Fields().Count());
            QCOMPARE(r.filas.size(), guardadas);
        }
        Recogedor r;
        QCOMPARE(base_->recorrerFilas(sql, r), total);
        QCOMPARE(r.filas, esperadas);
        base_->Parameters().Remove(u"G"_s);
    }

    void cadaTipoDesdeElDynaset()
    {
        const auto d = base_->DbCreateDynaset(
            u"SELECT NULL, '', -9223372036854775807 - 1, 0.1, 'ñandú' AS C, X'610062', ID FROM T WHERE ID = 3"_s);
        const auto campos = d->Fields();
        QVERIFY(campos(0).esNulo());
        QVERIFY(!campos(1).esNulo());
        QCOMPARE(campos(1).Value().toString(), QString());
        QCOMPARE(campos(2).Value(), QVariant(std::numeric_limits<qlonglong>::min()));
        QCOMPARE(campos(3).Value(), QVariant(0.1));
        QCOMPARE(campos(4).Value(), QVariant(u"ñandú"_s));
        QCOMPARE(campos(5).Value(), QVariant(QByteArray("a\0b", 3)));
        QCOMPARE(campos(6).Value(), QVariant(qlonglong(3)));
        QCOMPARE(campos(4).OraMaxDSize(), 5); // characters, not bytes
        d->DbMoveNext();
        QVERIFY_THROWS_EXCEPTION(ErrorOra, campos(0).Value());
    }

    void unFalloDejaDeEntregarFilas()
    {
        // Failing on the first step: the reader is never started, so nothing was written for it.
        const QString desborde = u"SELECT abs(-9223372036854775807 - 1) FROM T"_s;
        Recogedor antes;
        QVERIFY_THROWS_EXCEPTION(ErrorOra, base_->recorrerFilas(desborde, antes));
        QVERIFY(!antes.empezado);
        QVERIFY(base_->LastServerErr() != 0);

        // Failing later: the rows before were handed over, and the failure is still told.
        Recogedor luego;
        QVERIFY_THROWS_EXCEPTION(ErrorOra,
            base_->recorrerFilas(
                u"SELECT CASE WHEN ID > 3 THEN abs(-9223372036854775807 - 1) ELSE ID END FROM T ORDER BY ID"_s, luego));
        QVERIFY(luego.empezado);
        QCOMPARE(luego.filas.size(), 3);

        Recogedor ninguna;
        QVERIFY_THROWS_EXCEPTION(ErrorOra, base_->recorrerFilas(u"DELETE FROM T"_s, ninguna));
        QCOMPARE(base_->DbCreateDynaset(u"SELECT count(*) FROM T"_s)->Fields()(0).Value().toInt(), 50);
    }
};

QTEST_GUILESS_MAIN(tst_FilasConsulta)
#include "tst_filasconsulta.moc"
