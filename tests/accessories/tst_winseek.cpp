// The file finder: the walk's order and paths, the ways a search is abandoned, and the window's states.
#include "ArbolCarpetas.h"
#include "BusquedaArchivos.h"
#include "FakePlatform.h"
#include "ListasArchivos.h"
#include "WinSeek.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A folder tree in memory: each folder's subfolders and files, or the reason it cannot be read.
class ArbolFalso final : public ArbolCarpetas {
public:
    struct Carpeta {
        QStringList subcarpetas;
        QStringList ficheros;
        QString error;
    };
    Listado subcarpetas(const QString& carpeta, bool) const override
    {
        const Carpeta c = carpetas.value(carpeta);
        return {c.error.isEmpty() ? c.subcarpetas : QStringList(), c.error};
    }
    Listado ficheros(const QString& carpeta, const QStringList&) const override
    {
        const Carpeta c = carpetas.value(carpeta);
        return {c.error.isEmpty() ? c.ficheros : QStringList(), c.error};
    }
    QHash<QString, Carpeta> carpetas;
};

// / holds a/ and b/, b/ holds c/; every folder one query file.
ArbolFalso arbolDesdeLaRaiz()
{
    ArbolFalso arbol;
    arbol.carpetas.insert(u"/"_s, {{u"a"_s, u"b"_s}, {u"R.SQL"_s}, {}});
    arbol.carpetas.insert(u"/a"_s, {{}, {u"a1.sql"_s, u"a2.vql"_s}, {}});
    arbol.carpetas.insert(u"/b"_s, {{u"c"_s}, {u"b.sql"_s}, {}});
    arbol.carpetas.insert(u"/b/c"_s, {{}, {u"c.sql"_s}, {}});
    return arbol;
}

// Records what a search shows; cancels when it enters the folder named in cancelarEn.
struct Registro {
    QStringList hallados;
    QStringList carpetas;
    QString cancelarEn;
    BusquedaArchivos* busqueda = nullptr;

    AnfitrionBusqueda anfitrion()
    {
        AnfitrionBusqueda a;
        a.hallado = [this](const QString& ruta) { hallados.append(ruta); };
        a.mostrarCarpeta = [this](const QString& carpeta) { carpetas.append(carpeta); };
        a.atenderEventos = [this] {
            if (carpetas.constLast() == cancelarEn)
                busqueda->cancelar();
        };
        return a;
    }
};

void escribir(const QString& ruta)
{
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

} // namespace

class TestWinSeek : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recorreEnProfundidadDesdeLaUltimaSubcarpeta();
    void abandonos_data();
    void abandonos();
    void discoFiltraPorPatronSinSeguirEnlaces();
    void buscarYVolver();
    void conOtraCarpetaResaltadaSoloCambiaDeCarpeta();
    void unidadIlegibleNoCambiaNada();
    void escapeDuranteLaBusquedaCancela();
    void cerrarDuranteLaBusquedaCierraAlParar();
};

void TestWinSeek::recorreEnProfundidadDesdeLaUltimaSubcarpeta()
{
    const ArbolFalso arbol = arbolDesdeLaRaiz();
    FakeMessageBoxes mensajes;
    Registro registro;
    BusquedaArchivos busqueda(arbol, mensajes, registro.anfitrion());
    registro.busqueda = &busqueda;

    QVERIFY(!busqueda.buscar(u"/"_s, {}));
    // A folder's own files come after all of its subfolders'; from the root, a single separator.
    QCOMPARE(
        registro.hallados, QStringList({u"/b/c/c.sql"_s, u"/b/b.sql"_s, u"/a/a1.sql"_s, u"/a/a2.vql"_s, u"/R.SQL"_s}));
    QCOMPARE(registro.carpetas.constLast(), u"/"_s);
    QVERIFY(mensajes.mostrados.isEmpty());

    // Below the root, one separator between folder and name too.
    registro.hallados.clear();
    busqueda.limpiar();
    QVERIFY(!busqueda.buscar(u"/b"_s, {}));
    QCOMPARE(registro.hallados, QStringList({u"/b/c/c.sql"_s, u"/b/b.sql"_s}));
}

void TestWinSeek::abandonos_data()
{
    QTest::addColumn<QString>("ilegible");
    QTest::addColumn<QString>("cancelarEn");
    QTest::addColumn<int>("capacidad");
    QTest::addColumn<QStringList>("hallados");
    QTest::addColumn<QString>("ultimaCarpeta");
    QTest::addColumn<QString>("mensaje");

    const QString ninguno;
    QTest::newRow("cancel on entering a folder")
        << ninguno << u"/a"_s << 100 << QStringList({u"/b/c/c.sql"_s, u"/b/b.sql"_s}) << u"/a"_s << ninguno;
    QTest::newRow("full list") << ninguno << ninguno << 3
                               << QStringList({u"/b/c/c.sql"_s, u"/b/b.sql"_s, u"/a/a1.sql"_s}) << u"/a"_s
                               << u"Se ha llenado el cuadro de lista. Abandonando la búsqueda..."_s;
    QTest::newRow("unreadable folder") << u"/a"_s << ninguno << 100 << QStringList({u"/b/c/c.sql"_s, u"/b/b.sql"_s})
                                       << u"/"_s << u"Permiso denegado\r/a"_s;
}

// Each abandon stops the whole walk at once, keeps what was found and leaves the program running.
void TestWinSeek::abandonos()
{
    QFETCH(QString, ilegible);
    QFETCH(QString, cancelarEn);
    QFETCH(int, capacidad);
    QFETCH(QStringList, hallados);
    QFETCH(QString, ultimaCarpeta);
    QFETCH(QString, mensaje);

    ArbolFalso arbol = arbolDesdeLaRaiz();
    if (!ilegible.isEmpty())
        arbol.carpetas[ilegible].error = u"Permiso denegado"_s;
    FakeMessageBoxes mensajes;
    Registro registro;
    registro.cancelarEn = cancelarEn;
    BusquedaArchivos busqueda(arbol, mensajes, registro.anfitrion(), capacidad);
    registro.busqueda = &busqueda;

    QVERIFY(busqueda.buscar(u"/"_s, {}));
    QCOMPARE(registro.hallados, hallados);
    QCOMPARE(busqueda.hallados(), int(hallados.size()));
    QCOMPARE(registro.carpetas.constLast(), ultimaCarpeta);
    QVERIFY(!busqueda.buscando());
    if (mensaje.isEmpty()) {
        QVERIFY(mensajes.mostrados.isEmpty());
    } else {
        QCOMPARE(mensajes.mostrados, QList<Mensaje>({Mensaje::aviso(u"Nimbo"_s, mensaje, Mensaje::Icono::Ninguno)}));
    }
}

void TestWinSeek::discoFiltraPorPatronSinSeguirEnlaces()
{
    QTemporaryDir raiz;
    const QString r = raiz.path();
    QVERIFY(QDir(r).mkpath(u"sub/dentro"_s));
    QVERIFY(QDir(r).mkpath(u".oculta"_s));
    for (const char* nombre : {"X.SQL", "b.vql", "c.sqlx", "d.txt", ".e.sql", "sub/f.sql", ".oculta/g.sql"})
        escribir(rutaEn(r, QString::fromLatin1(nombre)));
    // A link back up would make the walk endless.
    QVERIFY(QFile::link(r, rutaEn(r, u"sub/dentro/bucle"_s)));

    const ArbolDisco disco;
    QCOMPARE(disco.ficheros(r, patronesDe(u"*.?ql"_s)).nombres, QStringList({u"b.vql"_s, u"X.SQL"_s}));
    QCOMPARE(disco.ficheros(r, patronesDe(u" *.txt ; c.* "_s)).nombres, QStringList({u"c.sqlx"_s, u"d.txt"_s}));
    QCOMPARE(disco.subcarpetas(rutaEn(r, u"sub/dentro"_s), true).nombres, QStringList({u"bucle"_s}));
    QVERIFY(disco.subcarpetas(rutaEn(r, u"sub/dentro"_s), false).nombres.isEmpty());
    QCOMPARE(disco.subcarpetas(rutaEn(r, u"falta"_s), false).error, u"No se ha encontrado la ruta de acceso"_s);

    FakeMessageBoxes mensajes;
    QStringList hallados;
    AnfitrionBusqueda anfitrion;
    anfitrion.hallado = [&hallados](const QString& ruta) { hallados.append(ruta); };
    BusquedaArchivos busqueda(disco, mensajes, anfitrion);
    QVERIFY(!busqueda.buscar(r, patronesDe(u"*.?ql"_s)));
    QCOMPARE(hallados, QStringList({r + u"/sub/f.sql"_s, r + u"/b.vql"_s, r + u"/X.SQL"_s}));
}

namespace {

// A tree with two subfolders and one query file in each folder, and a finder opened on it.
struct Buscador {
    QTemporaryDir raiz;
    FakePlatform falsa;
    QPointer<WinSeek> ventana;

    Buscador()
    {
        QDir(raiz.path()).mkpath(u"uno"_s);
        QDir(raiz.path()).mkpath(u"dos"_s);
        for (const char* nombre : {"r.sql", "uno/u.sql", "dos/d.sql", "dos/nada.txt"})
            escribir(rutaEn(raiz.path(), QString::fromLatin1(nombre)));
        ventana = new WinSeek(falsa.servicios());
        ventana->show();
        ventana->dirList->ponerRuta(raiz.path());
    }
    ~Buscador() { delete ventana.data(); }

    bool criteriosALaVista() const
    {
        return ventana->Picture1->isVisible() && !ventana->Picture2->isVisible()
            && ventana->cmdSearch->text() == u"&Buscar"_s && ventana->cmdExit->text() == u"&Salir"_s;
    }
    bool resultadosALaVista() const
    {
        return !ventana->Picture1->isVisible() && ventana->Picture2->isVisible()
            && ventana->cmdSearch->text() == u"&Volver"_s && ventana->cmdSearch->isEnabled()
            && ventana->cmdExit->text() == u"&Salir"_s;
    }
    QStringList encontrados() const
    {
        QStringList rutas;
        for (int i = 0; i < ventana->lstFoundFiles->count(); ++i)
            rutas.append(ventana->lstFoundFiles->item(i)->text());
        return rutas;
    }
};

} // namespace

void TestWinSeek::buscarYVolver()
{
    Buscador b;
    QVERIFY(b.criteriosALaVista());

    b.ventana->cmdSearch->click();
    QVERIFY(b.resultadosALaVista());
    const QString r = b.raiz.path();
    QCOMPARE(b.encontrados(), QStringList({r + u"/uno/u.sql"_s, r + u"/dos/d.sql"_s, r + u"/r.sql"_s}));
    QCOMPARE(b.ventana->lblCount->text(), u"3"_s);
    QCOMPARE(b.ventana->dirList->ruta(), r);
    QVERIFY(b.falsa.mensajes.mostrados.isEmpty());

    b.ventana->cmdSearch->click();
    QVERIFY(b.criteriosALaVista());
    QVERIFY(b.encontrados().isEmpty());
    QCOMPARE(b.ventana->lblCount->text(), u"0"_s);

    // No match anywhere: an empty list and the count 0; the next search counts from zero again.
    b.ventana->txtSearchSpec->setText(u"*.nada"_s);
    b.ventana->cmdSearch->click();
    QVERIFY(b.resultadosALaVista());
    QVERIFY(b.encontrados().isEmpty());
    QCOMPARE(b.ventana->lblCount->text(), u"0"_s);
    b.ventana->cmdSearch->click();
    b.ventana->txtSearchSpec->setText(u"*.txt"_s);
    b.ventana->cmdSearch->click();
    QCOMPARE(b.encontrados(), QStringList({r + u"/dos/nada.txt"_s}));
    QCOMPARE(b.ventana->lblCount->text(), u"1"_s);
}

void TestWinSeek::conOtraCarpetaResaltadaSoloCambiaDeCarpeta()
{
    Buscador b;
    const QString dos = rutaEn(b.raiz.path(), u"dos"_s);
    const auto items = b.ventana->dirList->findItems(u"dos"_s, Qt::MatchEndsWith);
    QCOMPARE(items.size(), 1);
    b.ventana->dirList->setCurrentItem(items.first());

    b.ventana->cmdSearch->click();
    QVERIFY(b.criteriosALaVista());
    QCOMPARE(b.ventana->dirList->ruta(), dos);
    QCOMPARE(b.ventana->dirList->cuenta(), 0);
    QCOMPARE(b.ventana->filList->count(), 1);

    b.ventana->cmdSearch->click();
    QVERIFY(b.resultadosALaVista());
    QCOMPARE(b.encontrados(), QStringList({dos + u"/d.sql"_s}));
}

void TestWinSeek::unidadIlegibleNoCambiaNada()
{
    Buscador b;
    b.ventana->drvList->addItem(rutaEn(b.raiz.path(), u"falta"_s));
    b.ventana->drvList->setCurrentIndex(b.ventana->drvList->count() - 1);
    QCOMPARE(b.ventana->dirList->ruta(), b.raiz.path());
    QCOMPARE(b.ventana->drvList->unidad(), ListaUnidades::unidadDe(b.raiz.path()));
    QCOMPARE(b.ventana->filList->count(), 1);
    QVERIFY(b.falsa.mensajes.mostrados.isEmpty());
}

void TestWinSeek::escapeDuranteLaBusquedaCancela()
{
    Buscador b;
    // Seen when the search first lets events run, on entering the starting folder.
    QCoreApplication::postEvent(b.ventana, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    b.ventana->cmdSearch->click();
    QVERIFY(b.ventana->isVisible());
    QVERIFY(b.resultadosALaVista());
    QVERIFY(b.encontrados().isEmpty());
    QCOMPARE(b.ventana->dirList->ruta(), b.raiz.path());

    // After the search Escape is Salir again.
    QTest::keyClick(b.ventana, Qt::Key_Escape);
    QVERIFY(!b.ventana->isVisible());
}

void TestWinSeek::cerrarDuranteLaBusquedaCierraAlParar()
{
    Buscador b;
    QMetaObject::invokeMethod(b.ventana, &QWidget::close, Qt::QueuedConnection);
    b.ventana->cmdSearch->click();
    // The close stopped the walk at its first folder; the window went once the walk had unwound.
    QVERIFY(b.encontrados().isEmpty());
    QVERIFY(!b.ventana->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(b.ventana.isNull());
}

QTEST_MAIN(TestWinSeek)
#include "tst_winseek.moc"
