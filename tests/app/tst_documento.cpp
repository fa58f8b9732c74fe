// The query document: reading, the save question on every way out, saving and its failures, the
// dialogs' remembered settings, printing and printer set-up.
#include "BancoPrincipal.h"
#include "ComandosArchivo.h"
#include "DocumentoConsulta.h"
#include "EditorConsulta.h"

#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Tipo = FakeDialogos::Tipo;

namespace {

const QString sinNombre = u"<sin nombre>"_s;

// Files may grow no larger than the given size while it lives, as on a disk that is full.
class LimiteTamano {
public:
    explicit LimiteTamano(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_antes);
        m_senal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite = m_antes;
        limite.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~LimiteTamano()
    {
        setrlimit(RLIMIT_FSIZE, &m_antes);
        std::signal(SIGXFSZ, m_senal);
    }

private:
    rlimit m_antes{};
    void (*m_senal)(int) = nullptr;
};

// A named query whose text has been edited since it was read.
frmMain& consultaEditada(BancoPrincipal& b, const QString& ruta)
{
    frmMain& v = b.arrancar({ruta});
    v.Consulta->setSelStart(v.Consulta->longitudTexto());
    QTest::keyClicks(v.Consulta, u" WHERE X = 1"_s);
    return v;
}

} // namespace

class TestDocumento : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void largestFileIsRead();
    void unreadableFilesAreRefused_data();
    void unreadableFilesAreRefused();
    void windows1252FileReads();
    void newQueryAfterTheQuestion_data();
    void newQueryAfterTheQuestion();
    void everyWayOutAsks_data();
    void everyWayOutAsks();
    void unchangedQueryIsNotAskedAbout();
    void saveAsAddsTheExtension();
    void saveWritesUtf8WithCrLf();
    void dialogSettingsAreKept();
    void failedWriteKeepsTheDocument_data();
    void failedWriteKeepsTheDocument();
    void printing_data();
    void printing();
    void printerSetUp();
};

void TestDocumento::largestFileIsRead()
{
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    const QString ruta = b.escribirFichero(u"grande.vql"_s, "SELECT " + QByteArray(32768 - 7, 'x'));
    b.plataforma.dialogos.rutas = {ruta};
    b.menu(u"mnuFileOpen"_s);
    QCOMPARE(v.Consulta->longitudTexto(), 32768);
    QCOMPARE(v.documento().etiqueta(), ruta);
    QVERIFY(b.plataforma.mensajes.mostrados.isEmpty());
}

void TestDocumento::unreadableFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: no such file
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<QString>("texto"); // %1: the file's path
    const QString lectura = u"Error de Lectura"_s, imposible = u"Imposible abrir el fichero."_s;
    QTest::newRow("missing file") << QByteArray() << lectura << imposible;
    QTest::newRow("NUL bytes") << QByteArray("SELECT\0\0\0\x01\x02", 11) << lectura << imposible;
    QTest::newRow("UTF-16 text") << QByteArray("\xff\xfeS\0E\0L\0", 8) << lectura << imposible;
    QTest::newRow("control characters") << QByteArray("SELECT \x1b[31m FROM T") << lectura << imposible;
    QTest::newRow("32769 bytes") << "SELECT " + QByteArray(32769 - 7, 'x') << u"Imposible abrir fichero"_s
                                 << u"Fichero %1 demasiado extenso para editarlo aquí. Seguramente no se trata de "
                                    u"una consulta SQL/NIEB.\r- Tamaño del fichero: 32769 bytes.\r- Tamaño máximo "
                                    u"de fichero: 32768 bytes (32KB)."_s;
}

void TestDocumento::unreadableFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, titulo);
    QFETCH(QString, texto);
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    const QString ruta = bytes.isEmpty() ? b.ruta(u"no existe.vql"_s) : b.escribirFichero(u"raro.vql"_s, bytes);
    b.plataforma.dialogos.rutas = {ruta};
    b.menu(u"mnuFileOpen"_s);
    QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
    const Mensaje m = b.plataforma.mensajes.mostrados.first();
    QCOMPARE(m.titulo, titulo);
    QCOMPARE(m.icono, Mensaje::Icono::Critico);
    QCOMPARE(m.texto, QString(texto).replace(u"%1"_s, ruta));
    QCOMPARE(v.Consulta->toPlainText(), u"SELECT "_s);
    QCOMPARE(v.documento().etiqueta(), sinNombre);
    QVERIFY(b.estado.FicheroActual.isEmpty());
}

void TestDocumento::windows1252FileReads()
{
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    b.estado.SentenciaSQL = u"SELECT 1 FROM DUAL"_s;
    const QString ruta
        = b.escribirFichero(u"cp1252.vql"_s, "SELECT NOMBRE FROM PERSONAS\r\nWHERE A\xd1O = 1 AND PISO = '3\xba'\r\n");
    b.plataforma.dialogos.rutas = {ruta};
    b.menu(u"mnuFileOpen"_s);
    QCOMPARE(v.Consulta->toPlainText(), u"SELECT NOMBRE FROM PERSONAS\nWHERE AÑO = 1 AND PISO = '3º'\n"_s);
    QCOMPARE(v.documento().etiqueta(), ruta);
    QVERIFY(!v.documento().modificado());
    QVERIFY(b.estado.SentenciaSQL.isEmpty());
}

void TestDocumento::newQueryAfterTheQuestion_data()
{
    QTest::addColumn<bool>("conNombre");
    QTest::addColumn<Respuesta>("respuesta");
    QTest::addColumn<bool>("dialogoAceptado"); // for an unnamed query, "Sí" opens "Guardar como..."
    QTest::addColumn<bool>("nueva");
    QTest::addColumn<bool>("guardada");
    QTest::newRow("named, Sí saves") << true << Respuesta::Si << true << true << true;
    QTest::newRow("named, No drops") << true << Respuesta::No << true << true << false;
    QTest::newRow("named, Cancelar keeps") << true << Respuesta::Cancelar << true << false << false;
    QTest::newRow("unnamed, Sí saves as") << false << Respuesta::Si << true << true << true;
    QTest::newRow("unnamed, Sí then cancel") << false << Respuesta::Si << false << false << false;
    QTest::newRow("unnamed, No drops") << false << Respuesta::No << true << true << false;
    QTest::newRow("unnamed, Cancelar keeps") << false << Respuesta::Cancelar << true << false << false;
}

void TestDocumento::newQueryAfterTheQuestion()
{
    QFETCH(bool, conNombre);
    QFETCH(Respuesta, respuesta);
    QFETCH(bool, dialogoAceptado);
    QFETCH(bool, nueva);
    QFETCH(bool, guardada);
    BancoPrincipal b;
    const QString ruta = b.escribirFichero(u"q.vql"_s, "SELECT A FROM T");
    frmMain& v = conNombre ? consultaEditada(b, ruta) : b.arrancar();
    if (!conNombre)
        QTest::keyClicks(v.Consulta, u"A FROM T WHERE X = 1"_s);
    const QString editado = v.Consulta->toPlainText();
    const QString etiqueta = v.documento().etiqueta();
    v.Consulta->setSelStart(2);
    v.Consulta->setSelLength(4);
    b.plataforma.mensajes.respuestas = {respuesta};
    const QString destino = b.ruta(u"nueva"_s);
    b.plataforma.dialogos.rutas = {dialogoAceptado ? std::optional(destino) : std::nullopt};

    b.menu(u"mnuFileNew"_s);

    QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
    const Mensaje pregunta = b.plataforma.mensajes.mostrados.first();
    QCOMPARE(pregunta.titulo, u"¿Salvar?"_s);
    QCOMPARE(pregunta.texto,
        u"La consulta ha sido modificada y no ha salvado los cambios.\r"
        u"¿Desea guardar las modificaciones en el fichero \r\""_s
            + (conNombre ? ruta : sinNombre) + u"\"?"_s);
    QCOMPARE(pregunta.botones, Mensaje::Botones::SiNoCancelar);
    QCOMPARE(pregunta.porDefecto, Respuesta::Cancelar);
    // Only an unnamed query answered Sí needs a name.
    QCOMPARE(b.plataforma.dialogos.ficherosMostrados.size(), !conNombre && respuesta == Respuesta::Si ? 1 : 0);

    const QString escrito = conNombre ? ruta : destino + u".vql"_s;
    if (guardada)
        QCOMPARE(BancoPrincipal::contenido(escrito), editado.toUtf8());
    else if (conNombre)
        QCOMPARE(BancoPrincipal::contenido(ruta), QByteArray("SELECT A FROM T"));
    else
        QVERIFY(!QFile::exists(escrito));

    if (nueva) {
        QCOMPARE(v.Consulta->toPlainText(), u"SELECT "_s);
        QCOMPARE(v.Consulta->selStart(), 7);
        QCOMPARE(v.documento().etiqueta(), sinNombre);
        QVERIFY(b.estado.FicheroActual.isEmpty());
    } else {
        QCOMPARE(v.Consulta->toPlainText(), editado);
        QCOMPARE(v.documento().etiqueta(), etiqueta);
        QVERIFY(v.documento().modificado());
        QCOMPARE(v.Consulta->selLength(), 0); // Cancelar clears the selection
    }
}

void TestDocumento::everyWayOutAsks_data()
{
    QTest::addColumn<QString>("entrada"); // empty: the window's close box
    QTest::addColumn<Respuesta>("respuesta");
    for (const auto& [entrada, nombre] : {std::pair{u"mnuFileOpen"_s, "Abrir"}, std::pair{u"mnuFileExit"_s, "Salir"},
             std::pair{QString(), "close box"}}) {
        QTest::addRow("%s, Cancelar", nombre) << entrada << Respuesta::Cancelar;
        QTest::addRow("%s, No", nombre) << entrada << Respuesta::No;
    }
}

void TestDocumento::everyWayOutAsks()
{
    QFETCH(QString, entrada);
    QFETCH(Respuesta, respuesta);
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    QTest::keyClicks(v.Consulta, u"* FROM EMPLEADOS"_s);
    b.plataforma.mensajes.respuestas = {respuesta};
    const QString otra = b.escribirFichero(u"otra.vql"_s, "SELECT 2 FROM DUAL");
    b.plataforma.dialogos.rutas = {otra};
    if (entrada.isEmpty())
        v.close();
    else
        b.menu(entrada);
    QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
    QCOMPARE(b.plataforma.mensajes.mostrados.first().titulo, u"¿Salvar?"_s);
    const bool cerrando = entrada != u"mnuFileOpen"_s;
    if (respuesta == Respuesta::Cancelar) {
        QCOMPARE(v.Consulta->toPlainText(), u"SELECT * FROM EMPLEADOS"_s);
        QVERIFY(v.isVisible());
        QVERIFY(b.plataforma.dialogos.ficherosMostrados.isEmpty());
        QCOMPARE(b.guardado(u"FontName"_s), u"<ausente>"_s); // no shut-down ran
    } else if (cerrando) {
        QVERIFY(!v.isVisible());
        QCOMPARE(b.guardado(u"FontName"_s), u"MS Sans Serif"_s);
    } else {
        QCOMPARE(v.Consulta->toPlainText(), u"SELECT 2 FROM DUAL"_s);
    }
}

void TestDocumento::unchangedQueryIsNotAskedAbout()
{
    BancoPrincipal b;
    const QString ruta = b.escribirFichero(u"q.vql"_s, "SELECT A FROM T");
    frmMain& v = b.arrancar({ruta});
    b.menu(u"mnuFileNew"_s);
    QCOMPARE(v.Consulta->toPlainText(), u"SELECT "_s);
    b.menu(u"mnuFileExit"_s);
    QVERIFY(!v.isVisible());
    QVERIFY(b.plataforma.mensajes.mostrados.isEmpty());
}

void TestDocumento::saveAsAddsTheExtension()
{
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    QTest::keyClicks(v.Consulta, u"* FROM T"_s);
    // "Guardar" on an unnamed query asks for a name.
    b.plataforma.dialogos.rutas = {b.ruta(u"consulta"_s)};
    b.menu(u"mnuFileSave"_s);
    QCOMPARE(b.plataforma.dialogos.ficherosMostrados.size(), 1);
    const auto dialogo = b.plataforma.dialogos.ficherosMostrados.first();
    QCOMPARE(dialogo.tipo, Tipo::Guardar);
    QCOMPARE(dialogo.opciones.titulo, u"Guardar consulta SQL/NIEB como..."_s);
    QCOMPARE(dialogo.opciones.extensionPorDefecto, u"vql"_s);
    const QString ruta = b.ruta(u"consulta.vql"_s);
    QCOMPARE(BancoPrincipal::contenido(ruta), QByteArray("SELECT * FROM T"));
    QCOMPARE(b.estado.FicheroActual, ruta);
    QCOMPARE(v.documento().etiqueta(), ruta);

    // A name with its own extension keeps it; an existing file is replaced without a question.
    b.escribirFichero(u"vieja.sql"_s, "DROP TABLE T");
    b.plataforma.dialogos.rutas = {b.ruta(u"vieja.sql"_s)};
    b.menu(u"mnuFileSaveAs"_s);
    QCOMPARE(BancoPrincipal::contenido(b.ruta(u"vieja.sql"_s)), QByteArray("SELECT * FROM T"));
    QVERIFY(b.plataforma.mensajes.mostrados.isEmpty());

    // Cancelling the dialog changes nothing.
    QTest::keyClicks(v.Consulta, u" X"_s);
    b.menu(u"mnuFileSaveAs"_s);
    QCOMPARE(v.documento().etiqueta(), u"» "_s + b.ruta(u"vieja.sql"_s));
}

void TestDocumento::saveWritesUtf8WithCrLf()
{
    BancoPrincipal b;
    const QString ruta = b.escribirFichero(u"q.vql"_s, "SELECT A\r\nFROM T");
    frmMain& v = b.arrancar({ruta});
    v.Consulta->setSelStart(v.Consulta->longitudTexto());
    QTest::keyClick(v.Consulta, Qt::Key_Return);
    QTest::keyClicks(v.Consulta, u"WHERE AÑO = 2"_s);
    QVERIFY(v.documento().modificado());
    b.menu(u"mnuFileSave"_s);
    QCOMPARE(BancoPrincipal::contenido(ruta), QByteArray("SELECT A\r\nFROM T\r\nWHERE A\xc3\x91O = 2"));
    QVERIFY(!v.documento().modificado());
    QVERIFY(b.plataforma.dialogos.ficherosMostrados.isEmpty());
    // What was written reads back as it was.
    b.menu(u"mnuFileNew"_s);
    v.documento().Leer_Fichero(ruta);
    QCOMPARE(v.Consulta->toPlainText(), u"SELECT A\nFROM T\nWHERE AÑO = 2"_s);
}

void TestDocumento::dialogSettingsAreKept()
{
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    const QString ruta = b.escribirFichero(u"q.sql"_s, "SELECT 1");
    QVERIFY(QDir(b.plataforma.carpeta.path()).mkdir(u"guardadas"_s));
    b.plataforma.dialogos.rutas = {ruta, std::nullopt, b.ruta(u"guardadas/r"_s), std::nullopt};
    b.menu(u"mnuFileOpen"_s);
    b.menu(u"mnuFileSaveAs"_s);
    QTest::keyClicks(v.Consulta, u" "_s);
    b.menu(u"mnuFileSaveAs"_s);
    b.menu(u"mnuFileOpen"_s);

    const auto& mostrados = b.plataforma.dialogos.ficherosMostrados;
    QCOMPARE(mostrados.size(), 4);
    const OpcionesFichero& primero = mostrados.at(0).opciones;
    QCOMPARE(mostrados.at(0).tipo, Tipo::Abrir);
    QCOMPARE(primero.titulo, u"Abrir consulta SQL/NIEB"_s);
    QCOMPARE(primero.filtro,
        u"Todos los archivos (*.*)|*.*|Ficheros de consulta (*.?ql)|*.?ql|Ficheros de consulta NIEB (*.vql)|*.vql|"
        u"Ficheros de consulta SQL (*.sql)|*.sql"_s);
    QCOMPARE(primero.indiceFiltro, 2);
    QVERIFY(primero.nombreFichero.isEmpty());
    // Open and save share one dialog: each opens on the file last chosen in either.
    QCOMPARE(mostrados.at(1).opciones.nombreFichero, ruta);
    QCOMPARE(mostrados.at(1).opciones.carpetaInicial, b.plataforma.carpeta.path());
    // A cancelled dialog leaves the settings as they were.
    QCOMPARE(mostrados.at(2).opciones.nombreFichero, ruta);
    QCOMPARE(mostrados.at(3).opciones.nombreFichero, b.ruta(u"guardadas/r.vql"_s));
    QCOMPARE(mostrados.at(3).opciones.carpetaInicial, b.ruta(u"guardadas"_s));
}

void TestDocumento::failedWriteKeepsTheDocument_data()
{
    QTest::addColumn<QString>("caso");
    QTest::newRow("disk full (/dev/full)") << u"lleno"_s;
    QTest::newRow("disk full while replacing a file") << u"limite"_s;
    QTest::newRow("folder that is a file") << u"carpeta"_s;
    QTest::newRow("read-only folder") << u"solo lectura"_s;
}

void TestDocumento::failedWriteKeepsTheDocument()
{
    QFETCH(QString, caso);
    BancoPrincipal b;
    const QByteArray viejo = "SELECT 1 FROM DUAL";
    const QString ruta = b.escribirFichero(u"vieja.vql"_s, viejo);
    frmMain& v = consultaEditada(b, ruta);
    // A long text, so that a file size limit stops it half-way.
    QTest::keyClicks(v.Consulta, QString(300, u'x'));
    const QString editado = v.Consulta->toPlainText();

    QString destino = ruta;
    if (caso == u"lleno") {
        destino = b.ruta(u"lleno.vql"_s);
        QVERIFY(QFile::link(u"/dev/full"_s, destino));
    } else if (caso == u"carpeta") {
        destino = ruta + u"/dentro.vql"_s;
    } else if (caso == u"solo lectura") {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QVERIFY(QFile::setPermissions(b.plataforma.carpeta.path(), QFile::ReadOwner | QFile::ExeOwner));
    }
    if (destino == ruta) {
        std::optional<LimiteTamano> limite;
        if (caso == u"limite")
            limite.emplace(200);
        b.menu(u"mnuFileSave"_s);
    } else {
        b.plataforma.dialogos.rutas = {destino};
        b.menu(u"mnuFileSaveAs"_s);
    }
    QFile::setPermissions(b.plataforma.carpeta.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
    const Mensaje m = b.plataforma.mensajes.mostrados.first();
    QCOMPARE(m.titulo, u"Error de Escritura"_s);
    QCOMPARE(m.icono, Mensaje::Icono::Critico);
    QVERIFY2(m.texto.startsWith(u"Imposible guardar el fichero "_s + destino + u".\r"_s), qPrintable(m.texto));
    // The program goes on with the query still edited, under its old name; the old file is whole.
    QVERIFY(v.isVisible());
    QCOMPARE(v.Consulta->toPlainText(), editado);
    QCOMPARE(v.documento().etiqueta(), u"» "_s + ruta);
    QCOMPARE(b.estado.FicheroActual, ruta);
    QCOMPARE(BancoPrincipal::contenido(ruta), viejo);
    // No half-written file is left behind.
    QCOMPARE(QDir(b.plataforma.carpeta.path()).entryList(QDir::Files).filter(u"vieja"_s), QStringList{u"vieja.vql"_s});
}

void TestDocumento::printing_data()
{
    QTest::addColumn<int>("seleccion"); // characters selected from the start of "FROM"
    QTest::addColumn<std::optional<RangoImpresion>>("rango");
    QTest::addColumn<QString>("impreso"); // empty: nothing printed
    const QString todo = u"SELECT NOMBRE\nFROM EMPLEADOS"_s;
    QTest::newRow("nothing selected prints all") << 0 << std::optional(RangoImpresion::Todo) << todo;
    QTest::newRow("selection") << 4 << std::optional(RangoImpresion::Seleccion) << u"FROM"_s;
    QTest::newRow("selection, but all chosen") << 4 << std::optional(RangoImpresion::Todo) << todo;
    QTest::newRow("cancelled") << 4 << std::optional<RangoImpresion>() << QString();
}

void TestDocumento::printing()
{
    QFETCH(int, seleccion);
    QFETCH(std::optional<RangoImpresion>, rango);
    QFETCH(QString, impreso);
    BancoPrincipal b;
    frmMain& v = b.arrancar();
    v.Consulta->reemplazarTexto(u"SELECT NOMBRE\nFROM EMPLEADOS"_s);
    v.Consulta->setSelStart(14);
    v.Consulta->setSelLength(seleccion);
    b.plataforma.dialogos.impresiones = {rango};
    b.menu(u"mnuFilePrint"_s);

    QCOMPARE(b.plataforma.dialogos.impresionesMostradas.size(), 1);
    const OpcionesImpresion opciones = b.plataforma.dialogos.impresionesMostradas.first();
    QCOMPARE(opciones.titulo, u"Imprimir texto de la Consulta"_s);
    QCOMPARE(opciones.seleccionPosible, seleccion > 0);
    QCOMPARE(opciones.seleccionMarcada, seleccion > 0);
    if (impreso.isEmpty()) {
        QVERIFY(b.plataforma.impresora.textos.isEmpty());
        QVERIFY(!QFile::exists(b.plataforma.impresora.rutaPdf));
        return;
    }
    QCOMPARE(b.plataforma.impresora.textos, QStringList{impreso});
    QVERIFY(BancoPrincipal::contenido(b.plataforma.impresora.rutaPdf).startsWith("%PDF-"));
    QVERIFY(b.plataforma.mensajes.mostrados.isEmpty());
    QCOMPARE(v.Consulta->selLength(), seleccion); // printing leaves the editor as it was
}

void TestDocumento::printerSetUp()
{
    BancoPrincipal b;
    b.arrancar();
    b.plataforma.dialogos.configuraciones = {false};
    b.menu(u"mnuConfigPrinter"_s);
    QCOMPARE(b.plataforma.dialogos.configuracionesMostradas, QStringList{u"Configurar Impresora"_s});
    QVERIFY(b.plataforma.mensajes.mostrados.isEmpty());
}

QTEST_MAIN(TestDocumento)
#include "tst_documento.moc"
