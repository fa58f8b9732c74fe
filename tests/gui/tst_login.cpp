// Logging in and out, the connection indicator, and translating from the main window, against the
// embedded database in a temporary folder. Modal dialogs are driven through their controls.
#include "BaseEmbebida.h"
#include "ComandosSGBD.h"
#include "EditorConsulta.h"
#include "FakePlatform.h"
#include "GuionesLogin.h"
#include "Main.h"
#include "Module1.h"
#include "OraDatabase.h"
#include "SesionSGBD.h"
#include "TraduccionServidor.h"
#include "Traducida.h"
#include "VerErrores.h"
#include "frmLogOraError.h"
#include "frmLogin.h"
#include "frmMain.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

const QString noConectado = u"No conectado al SGBD"_s;
const QString consultaJoven = u"SELECT NOMBRE, EDAD FROM EMPLEADOS WHERE EDAD FEQ $Joven THOLD 0.5"_s;

Guion cancelarLogin()
{
    return [](QDialog& d) { dynamic_cast<frmLogin&>(d).Cancel->click(); };
}

// Reads the translated-query window, then closes it.
Guion leerTraducida(QString* sql, QString* tiempo = nullptr)
{
    return [=](QDialog& d) {
        auto& t = dynamic_cast<Traducida&>(d);
        *sql = t.ConsultaTraducida->toPlainText();
        if (tiempo)
            *tiempo = t.TiempoTraducir->text();
        t.Command1->click();
    };
}

// One run of the program against fake surroundings.
struct Banco {
    FakePlatform plataforma;
    Platform servicios = plataforma.servicios();
    Module1 estado;
    std::unique_ptr<frmMain> ventana = Arrancar(estado, servicios, {});
    ComandosSGBD* comandos = ventana->findChild<ComandosSGBD*>();

    void ejecutar(const QString& entrada) { ventana->entradaMenu(entrada)->trigger(); }
    void guiones(std::initializer_list<Guion> g) { plataforma.modales.guiones.append(g); }
    void conectar()
    {
        guiones({entrar(u"SCOTT"_s, u"ravel"_s)});
        ejecutar(u"mnuConnect"_s);
        QVERIFY(estado.conexion.conectado);
    }
    void escribir(const QString& texto) { ventana->Consulta->setPlainText(texto); }
    // Types the text and translates it; what the translated-query window showed.
    QString traducir(const QString& texto = consultaJoven)
    {
        escribir(texto);
        QString sql;
        guiones({leerTraducida(&sql)});
        ejecutar(u"mnuTraducir"_s);
        return sql;
    }
    QString consejo() const { return ventana->Picture1->toolTip(); }
    const Mensaje& ultimoMensaje() const { return plataforma.mensajes.mostrados.constLast(); }
    // The server's rows left for this connection's session: the translation it holds.
    int filasDelServidor() const
    {
        const auto d = estado.conexion.base->DbCreateDynaset(
            u"SELECT COUNT(*) FROM NIEB_QUERY WHERE SESSIONID=USERENV('SESSIONID')"_s, 0);
        return d->Fields()(0).Value().toInt();
    }
};

} // namespace

class TestLogin : public QObject {
    Q_OBJECT

    QTemporaryDir datos_;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(datos_.isValid());
        qputenv("XDG_DATA_HOME", datos_.path().toUtf8());
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    }

    void emptyUserNameDoesNothing()
    {
        Banco b;
        frmLogin login(b.estado, b.servicios);
        login.lUsername->clear();
        login.lDatabaseName->setText(u"no-existe"_s);
        login.ok->click();
        QCOMPARE(login.result(), int(QDialog::Rejected));
        QVERIFY(b.plataforma.modales.mostrados.isEmpty());
        QVERIFY(!b.estado.conexion.sesion);
        QVERIFY(!b.estado.conexion.conectado);
    }

    void loginDialogStartsWithTheDemoAccount()
    {
        Banco b;
        frmLogin login(b.estado, b.servicios);
        QCOMPARE(login.windowTitle(), u"Oracle Login"_s);
        QCOMPARE(login.lUsername->text(), u"SCOTT"_s);
        QCOMPARE(login.lPassword->text(), u"ravel"_s);
        QCOMPARE(login.lPassword->echoMode(), QLineEdit::Password);
        QCOMPARE(login.lDatabaseName->text(), u"2:"_s);
        QVERIFY(login.ok->isDefault());
    }

    // The 1017 text, state and indicator unchanged; the help asks for topic 1017 and a failure to
    // show it is told in a plain box.
    void wrongPasswordShowsTheServerError()
    {
        Banco b;
        QString texto;
        b.plataforma.ayuda.fallo = u"La ayuda no está instalada."_s;
        b.guiones({entrar(u"SCOTT"_s, u"mala"_s), [&](QDialog& d) {
                       auto& error = dynamic_cast<frmLogOraError&>(d);
                       error.HelpBoton->click();
                       leerError(&texto)(d);
                   }});
        b.ejecutar(u"mnuConnect"_s);
        QCOMPARE(b.plataforma.modales.mostrados, (QStringList{u"frmLogin"_s, u"frmLogOraError"_s}));
        QCOMPARE(texto, u"ORA-01017: invalid username/password; logon denied"_s);
        QVERIFY(!b.estado.conexion.conectado);
        QVERIFY(b.estado.conexion.usuario.isEmpty());
        QCOMPARE(b.consejo(), noConectado);
        QCOMPARE(b.plataforma.ayuda.peticiones.size(), 1);
        QCOMPARE(b.plataforma.ayuda.peticiones[0].contexto, 1017);
        QVERIFY(b.plataforma.ayuda.peticiones[0].fichero.endsWith(u"/Ora.hlp"_s));
        QCOMPARE(b.ultimoMensaje(),
            Mensaje::aviso(u"Nimbo"_s, u"La ayuda no está instalada."_s, Mensaje::Icono::Ninguno));
    }

    // An embedded database emptied by another tool is rebuilt; the login succeeds and says so, once.
    void rebuiltDatabaseIsToldAtLogin()
    {
        QFile vaciado(db::rutaBaseEmbebida());
        QVERIFY(vaciado.open(QIODevice::WriteOnly | QIODevice::Truncate));
        vaciado.close();

        Banco b;
        b.conectar();
        QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
        QCOMPARE(b.ultimoMensaje().icono, Mensaje::Icono::Informacion);
        QVERIFY(b.ultimoMensaje().texto.contains(u"estaba vacía y se ha creado de nuevo"_s));
        QVERIFY(b.estado.conexion.base->DbCreateDynaset(u"SELECT * FROM EMPLEADOS"_s, 0)->RecordCount() > 0);

        // The next login finds the database whole and has nothing to tell.
        Banco otro;
        otro.conectar();
        QVERIFY(otro.plataforma.mensajes.mostrados.isEmpty());
    }

    void failedSecondLoginKeepsTheFirstConnection()
    {
        Banco b;
        b.conectar();
        QCOMPARE(b.consejo(), u"Conectado al SGBD: Usuario: SCOTT"_s);
        const auto primera = b.estado.conexion.base;

        QString texto;
        b.plataforma.mensajes.respuestas = {Respuesta::Si};
        b.guiones({entrar(u"OTRO"_s, u"mala"_s), leerError(&texto)});
        b.ejecutar(u"mnuConnect"_s);
        QCOMPARE(b.plataforma.mensajes.mostrados[0],
            Mensaje::preguntaSiNo(u"¡Ya conectado!"_s,
                u"Ya está conectado como usuario SCOTT a la base de datos 2:.\r¿Desea conectarse con otros datos?"_s));
        QVERIFY(texto.startsWith(u"ORA-01017"_s));
        QVERIFY(b.estado.conexion.conectado);
        QCOMPARE(b.estado.conexion.usuario, u"SCOTT"_s);
        QCOMPARE(b.estado.conexion.base, primera);
        QCOMPARE(b.consejo(), u"Conectado al SGBD: Usuario: SCOTT"_s);

        // Still usable: a translation goes through on the first database.
        const QString sql = b.traducir();
        QVERIFY(sql.startsWith(u"SELECT NOMBRE , EDAD FROM EMPLEADOS"_s) || sql.startsWith(u"SELECT NOMBRE,"_s));
        QCOMPARE(sql, b.estado.SentenciaSQL);
    }

    // Yes and then Cancel in the login still empties the pending SQL; No leaves everything alone.
    void connectedQuestionAndPendingSql()
    {
        Banco b;
        b.conectar();
        b.estado.SentenciaSQL = u"SELECT 1 FROM DUAL"_s;
        b.plataforma.mensajes.respuestas = {Respuesta::No};
        b.ejecutar(u"mnuConnect"_s);
        QCOMPARE(b.estado.SentenciaSQL, u"SELECT 1 FROM DUAL"_s);
        QCOMPARE(b.plataforma.modales.mostrados.size(), 1);

        b.plataforma.mensajes.respuestas = {Respuesta::Si};
        b.guiones({cancelarLogin()});
        b.ejecutar(u"mnuConnect"_s);
        QVERIFY(b.estado.SentenciaSQL.isEmpty());
        QVERIFY(b.estado.conexion.conectado);
        QCOMPARE(b.consejo(), u"Conectado al SGBD: Usuario: SCOTT"_s);
    }

    // Disconnecting ends the user's server state only once a translation has run on the connection.
    void disconnectEndsServerStateOnlyAfterTranslation()
    {
        Banco b;
        b.ejecutar(u"mnuDesconectar"_s);
        QCOMPARE(b.ultimoMensaje(),
            Mensaje::aviso(u"Nimbo: Desconexión imposible"_s, u"No está conectado a ningún SGBD Oracle"_s,
                Mensaje::Icono::Informacion));

        b.conectar();
        b.ventana->mnuSGBD_click();
        QVERIFY(b.ventana->entradaMenu(u"mnuDesconectar"_s)->isEnabled());
        // Translated behind the program's back: the server was not used through it.
        QCOMPARE(servidor::traducir(*b.estado.conexion.base, consultaJoven).errores, 0);
        QVERIFY(b.filasDelServidor() > 0);
        b.plataforma.mensajes.respuestas = {Respuesta::Si};
        b.ejecutar(u"mnuDesconectar"_s);
        QCOMPARE(b.ultimoMensaje(),
            Mensaje::preguntaSiNo(
                u"¿Desconectar?"_s, u"Desea desconectarse como usuario SCOTT de la base de datos 2:?"_s));
        QVERIFY(!b.estado.conexion.conectado);
        QCOMPARE(b.consejo(), noConectado);
        QVERIFY(b.filasDelServidor() > 0);
        b.ventana->mnuSGBD_click();
        QVERIFY(!b.ventana->entradaMenu(u"mnuDesconectar"_s)->isEnabled());

        b.conectar();
        b.traducir();
        QVERIFY(b.filasDelServidor() > 0);
        b.plataforma.mensajes.respuestas = {Respuesta::No};
        b.ejecutar(u"mnuDesconectar"_s);
        QVERIFY(b.estado.conexion.conectado);
        QVERIFY(!b.estado.SentenciaSQL.isEmpty());
        b.plataforma.mensajes.respuestas = {Respuesta::Si};
        b.ejecutar(u"mnuDesconectar"_s);
        QCOMPARE(b.filasDelServidor(), 0);
        QVERIFY(b.estado.SentenciaSQL.isEmpty());
    }

    void closingTheMainWindowEndsServerStateWhenUsed()
    {
        Banco b;
        b.conectar();
        b.traducir();
        QVERIFY(b.filasDelServidor() > 0);
        b.plataforma.mensajes.respuestas = {Respuesta::No}; // not saving the edited query, if asked
        QVERIFY(b.ventana->close());
        QCOMPARE(b.filasDelServidor(), 0);
    }

    void guardWhenNotConnected()
    {
        Banco b;
        b.ejecutar(u"mnuTraducir"_s);
        QCOMPARE(b.ultimoMensaje(),
            Mensaje::aviso(u"Nimbo: Aviso"_s, u"Debe conectarse antes al SGBD."_s, Mensaje::Icono::Informacion));
        QVERIFY(b.plataforma.modales.mostrados.isEmpty());
    }

    // The second F7 shows the pending translation and its old time without asking the server.
    void secondTranslateSendsNothing()
    {
        Banco b;
        b.conectar();
        const QString primera = b.traducir();
        QVERIFY(!primera.isEmpty());

        b.estado.SegundosTraduccion = 1234.5;
        sesion::finSesionServidor(b.estado.conexion);
        QCOMPARE(b.filasDelServidor(), 0);
        QString segunda, tiempo;
        b.guiones({leerTraducida(&segunda, &tiempo)});
        b.ejecutar(u"mnuTraducir"_s);
        QCOMPARE(segunda, primera);
        QCOMPARE(tiempo, u"Tiempo empleado en la traducción: 1.234,50 sgs."_s);
        QCOMPARE(b.filasDelServidor(), 0);

        // An edit empties the pending SQL: the next F7 translates again.
        b.escribir(consultaJoven + u" "_s);
        b.guiones({leerTraducida(&segunda, &tiempo)});
        b.ejecutar(u"mnuTraducir"_s);
        QVERIFY(b.filasDelServidor() > 0);
        QCOMPARE(tiempo, u"Tiempo empleado en la traducción: 0,00 sgs."_s);
    }

    void translationErrorsOpenTheBrowser()
    {
        const QString consulta = u"SELECT NOMBRE FROM EMPLEADOS WHERE EDAD FEQ $Viejo AND SUELDO FEQ $Rico "
                                 u"OR EXPERIENCIA FEQ $Nada"_s;
        Banco b;
        b.conectar();
        b.escribir(consulta);
        b.ejecutar(u"mnuTraducir"_s);
        QCOMPARE(b.plataforma.modales.mostrados, QStringList{u"frmLogin"_s});
        VerErrores* v = b.comandos->verErrores();
        QVERIFY(v && v->isVisible());
        QCOMPARE(v->windowTitle(), u"Errores de la consulta NIEB"_s);
        QCOMPARE(v->Nerrores->text(), u"3"_s);
        QCOMPARE(v->ErrorNum->text(), u"1"_s);
        QVERIFY(v->ErrorMsg->text().contains(u"$Viejo"_s));
        const QList<bool> estados{v->cmdFirst->isEnabled(), v->cmdPrevious->isEnabled(), v->cmdNext->isEnabled(),
            v->cmdLast->isEnabled()};
        QCOMPARE(estados, (QList<bool>{false, false, true, true}));
        QVERIFY(b.estado.SentenciaSQL.isEmpty());
        v->cmdLast->click();
        QCOMPARE(v->ErrorNum->text(), u"3"_s);
        QVERIFY(!v->cmdNext->isEnabled() && v->cmdPrevious->isEnabled());

        // Errors leave a pending SQL alone.
        b.estado.SentenciaSQL = u"SELECT 1 FROM DUAL"_s;
        QCOMPARE(b.comandos->TraducirConsulta(consulta), int(Hecho));
        QCOMPARE(b.estado.numErrores, 3);
        QCOMPARE(b.estado.SentenciaSQL, u"SELECT 1 FROM DUAL"_s);

        // Opening again replaces the browser; a good translation closes it.
        b.estado.SentenciaSQL.clear();
        b.ejecutar(u"mnuTraducir"_s);
        QVERIFY(b.comandos->verErrores() && b.comandos->verErrores() != v);
        QPointer<VerErrores> segundo = b.comandos->verErrores();
        QVERIFY(!b.traducir().isEmpty());
        QVERIFY(!segundo || !segundo->isVisible());
    }

    void databaseWithoutTheServerGivesTheInstallationSentence()
    {
        const QString ruta = datos_.filePath(u"sin_servidor.db"_s);
        QFile vacio(ruta);
        QVERIFY(vacio.open(QIODevice::WriteOnly));
        vacio.close();
        Banco b;
        b.guiones({entrar(u"ana"_s, u"clave"_s, ruta)});
        b.ejecutar(u"mnuConnect"_s);
        QVERIFY(b.estado.conexion.conectado);
        QString texto;
        b.guiones({leerError(&texto)});
        b.ejecutar(u"mnuTraducir"_s);
        QVERIFY2(texto.startsWith(u"Posiblemente el Servidor NIEB NO esté instalado correctamente. VB-440: ORA-06550"_s),
            qPrintable(texto));
        QVERIFY(!b.estado.conexion.servidorUsado);
        QVERIFY(!b.comandos->verErrores());
    }

    // The window shows the pending SQL, which cannot be edited, in the editor's font, and saves it as
    // one CR LF line; a failed write is told and keeps the window open; cancel does nothing.
    void translatedWindowShowsAndSaves()
    {
        Banco b;
        b.conectar();
        b.escribir(consultaJoven);
        const QString ruta = b.plataforma.carpeta.filePath(u"traducida.sql"_s);
        QString fuente;
        int cancelada = -1, fallida = -1, guardada = -1;
        b.guiones({[&](QDialog& d) {
            auto& t = dynamic_cast<Traducida&>(d);
            QCOMPARE(t.windowTitle(), u"Nimbo: Sentencia NIEB traducida a SQL"_s);
            QCOMPARE(t.ConsultaTraducida->toPlainText(), b.estado.SentenciaSQL);
            t.ConsultaTraducida->setPlainText(u"DROP TABLE EMPLEADOS"_s);
            QCOMPARE(t.ConsultaTraducida->toPlainText(), b.estado.SentenciaSQL);
            fuente = t.ConsultaTraducida->font().family();

            t.BotonSalvar->click();
            cancelada = t.result();
            b.plataforma.dialogos.rutas = {u"/no/existe/x.sql"_s};
            t.BotonSalvar->click();
            fallida = t.result();
            b.plataforma.dialogos.rutas = {b.plataforma.carpeta.filePath(u"traducida"_s)};
            t.BotonSalvar->click();
            guardada = t.result();
        }});
        b.ejecutar(u"mnuTraducir"_s);
        QCOMPARE(fuente, u"MS Sans Serif"_s);
        QCOMPARE(cancelada, int(QDialog::Rejected));
        QCOMPARE(fallida, int(QDialog::Rejected));
        QCOMPARE(b.plataforma.mensajes.mostrados.size(), 1);
        QVERIFY(b.ultimoMensaje().texto.contains(u"x.sql"_s));
        QCOMPARE(guardada, int(QDialog::Accepted));

        const auto& dialogo = b.plataforma.dialogos.ficherosMostrados.constLast();
        QCOMPARE(dialogo.tipo, FakeDialogos::Tipo::Guardar);
        QCOMPARE(dialogo.opciones.titulo, u"Guardar consulta NIEB traducida a SQL como..."_s);
        QCOMPARE(dialogo.opciones.indiceFiltro, 3);
        QCOMPARE(dialogo.opciones.extensionPorDefecto, u"sql"_s);
        QFile fichero(ruta);
        QVERIFY(fichero.open(QIODevice::ReadOnly));
        QCOMPARE(fichero.readAll(), b.estado.SentenciaSQL.toUtf8() + "\r\n");
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
