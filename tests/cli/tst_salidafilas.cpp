#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The rows nimbo-query prints, byte for byte, against outputs recorded in salidas/ (each file is
// what the program printed before rows were streamed; blobs are now written as X'HEX' and a leading
// byte order mark in a text is kept).
namespace {

const QString Jovenes = u"SELECT NOMBRE, APELLIDOS, EDAD, CDEG(*) FROM EMPLEADOS\n"
                        u"WHERE EDAD FEQ $Joven THOLD 0.5 ORDER BY CDEG(*) DESC"_s;
const QString Madrid = u"SELECT E.NOMBRE, E.APELLIDOS, E.SUELDO, CDEG(*) FROM EMPLEADOS E\n"
                       u"JOIN DEPARTAMENTOS D ON D.ID_DEPARTAMENTO = E.ID_DEPARTAMENTO\n"
                       u"WHERE D.CIUDAD = 'Madrid' AND E.SUELDO FEQ $Alto THOLD 0.75 ORDER BY CDEG(*) DESC"_s;
const QString Candidatos
    = u"SELECT NOMBRE, APELLIDOS, EXPERIENCIA, CARACTER, CDEG(*) FROM CANDIDATOS\n"
      u"WHERE EXPERIENCIA FGEQ $Media THOLD 0.5 AND CARACTER FEQ $Extrovertido THOLD 0.8 ORDER BY CDEG(*) DESC"_s;
const QString Tipos = u"SELECT ID, QUE, V FROM TIPOS ORDER BY ID"_s;

struct Ejecucion {
    int estado = -1;
    QByteArray out, err;
};

QByteArray leer(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing " + ruta.toUtf8() + ")");
}

} // namespace

class tst_SalidaFilas : public QObject {
    Q_OBJECT
    QTemporaryDir datos_;
    QString tipos_; // the file with a table of every kind of cell

    Ejecucion correr(const QStringList& argumentos, const QString& salida = {}, const QByteArray& entrada = {})
    {
        QProcess p;
        auto entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(u"XDG_DATA_HOME"_s, datos_.path());
        entorno.remove(u"NIMBO_PASSWORD"_s);
        p.setProcessEnvironment(entorno);
        if (!salida.isEmpty())
            p.setStandardOutputFile(salida);
        p.start(QStringLiteral(NIMBO_QUERY_BIN), argumentos);
        p.write(entrada);
        p.closeWriteChannel();
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(datos_.isValid());
        tipos_ = datos_.filePath(u"tipos.db"_s);
        QCOMPARE(correr({u"--db"_s, tipos_, u"--install-server"_s}).estado, 0);
        const auto creada = correr({u"--db"_s, tipos_, u"--exec"_s, u"-"_s}, {}, leer(QStringLiteral(SALIDAS "/tipos.sql")));
        QVERIFY2(creada.estado == 0, creada.err.constData());
    }

    void salidaComoAntes_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<bool>("ordenLibre");
        // The README's queries: rows of equal degree may come in any order the translation gives.
        QTest::newRow("jovenes") << u"2:"_s << QStringList{u"--query"_s, Jovenes} << true;
        QTest::newRow("madrid") << u"2:"_s << QStringList{u"--query"_s, Madrid} << true;
        QTest::newRow("candidatos") << u"2:"_s << QStringList{u"--query"_s, Candidatos} << true;
        QTest::newRow("act3") << u"2:"_s << QStringList{u"--sql"_s, u"SELECT * FROM ACT3"_s} << false;
        QTest::newRow("empleados") << u"2:"_s << QStringList{u"--sql"_s, u"SELECT * FROM EMPLEADOS"_s} << false;
        QTest::newRow("empleados_limite")
            << u"2:"_s << QStringList{u"--sql"_s, u"SELECT * FROM EMPLEADOS ORDER BY 1"_s, u"--limit"_s, u"5"_s}
            << false;
        QTest::newRow("jovenes_limite") << u"2:"_s << QStringList{u"--query"_s, Jovenes, u"--limit"_s, u"0"_s}
                                        << false;
        // Every kind of cell: NULL and empty text, integer extremes, reals, escapes, UTF-8 (broken
        // too), NUL bytes; blobs in their own table.
        QTest::newRow("tipos") << u"tipos"_s << QStringList{u"--sql"_s, Tipos} << false;
        QTest::newRow("tipos_limite") << u"tipos"_s << QStringList{u"--sql"_s, Tipos, u"--limit"_s, u"3"_s}
                                      << false;
        QTest::newRow("tipos_vacio") << u"tipos"_s
                                     << QStringList{u"--sql"_s, u"SELECT * FROM TIPOS WHERE ID < 0"_s} << false;
        QTest::newRow("blobs") << u"tipos"_s << QStringList{u"--sql"_s, u"SELECT * FROM BLOBS"_s} << false;
    }

    void salidaComoAntes()
    {
        QFETCH(QString, base);
        QFETCH(QStringList, argumentos);
        QFETCH(bool, ordenLibre);
        const QString nombre = QString::fromLatin1(QTest::currentDataTag());
        const QString esperada = QStringLiteral(SALIDAS "/") + nombre;
        argumentos << u"--db"_s << (base == u"tipos"_s ? tipos_ : base);

        // Through a pipe, and written straight into a file.
        const auto r = correr(argumentos);
        QVERIFY2(r.estado == 0, r.err.constData());
        const QString fichero = datos_.filePath(nombre + u".out"_s);
        QCOMPARE(correr(argumentos, fichero).estado, 0);
        QCOMPARE(leer(fichero), r.out);

        QByteArray salida = r.out, antes = leer(esperada + u".out"_s);
        if (ordenLibre) {
            auto lineas = salida.split('\n'), previas = antes.split('\n');
            std::sort(lineas.begin() + 1, lineas.end());
            std::sort(previas.begin() + 1, previas.end());
            salida = lineas.join('\n');
            antes = previas.join('\n');
        }
        QCOMPARE(salida, antes);
        if (QFile::exists(esperada + u".err"_s))
            QCOMPARE(r.err, leer(esperada + u".err"_s));
        else
            QCOMPARE(r.err, QByteArray());
    }

    void escrituraFallidaNoEsExito()
    {
        if (!QFile::exists(u"/dev/full"_s))
            QSKIP("no /dev/full here");
        // More rows than one block, so that a write happens before the end.
        const auto r = correr({u"--db"_s, tipos_, u"--sql"_s,
                                  u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
                                  u"SELECT i, 'fila' FROM n"_s},
            u"/dev/full"_s);
        QCOMPARE(r.estado, 1);
        QVERIFY2(r.err.startsWith("nimbo-query: cannot write the rows"), r.err.constData());
    }
};

QTEST_GUILESS_MAIN(tst_SalidaFilas)
#include "tst_salidafilas.moc"
