#include "BancoPrincipal.h"
#include "ComandosHerramientas.h"
#include "ProgramasEscritorio.h"

#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Mensaje informacion(const QString& titulo, const QString& texto)
{
    return Mensaje::aviso(titulo, texto, Mensaje::Icono::Informacion);
}

} // namespace

class TestHerramientas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void herramientaNoEncontrada_data();
    void herramientaNoEncontrada();
    void ayuda();
};

void TestHerramientas::herramientaNoEncontrada_data()
{
    QTest::addColumn<QString>("entrada");
    for (const auto& h : ProgramasEscritorio::herramientas())
        QTest::addRow("%s", qPrintable(h.entrada)) << h.entrada;
}

// Both tries fail: the tool's message once and its entry disabled. The other tools still start,
// by bare name alone or by full path after it.
void TestHerramientas::herramientaNoEncontrada()
{
    QFETCH(QString, entrada);
    BancoPrincipal banco;
    banco.arrancar();
    banco.menu(entrada);
    QCOMPARE(banco.plataforma.programas.intentos.size(), 2);
    QCOMPARE(banco.plataforma.mensajes.mostrados,
        QList<Mensaje>{informacion(u"Programa no encontrado"_s, ProgramasEscritorio::herramienta(entrada)->mensaje)});

    bool porRuta = false;
    for (const auto& h : ProgramasEscritorio::herramientas()) {
        QCOMPARE(banco.ventana->entradaMenu(h.entrada)->isEnabled(), h.entrada != entrada);
        if (h.entrada == entrada)
            continue;
        banco.plataforma.programas.intentos.clear();
        banco.plataforma.programas.instalados = {porRuta ? h.ruta.programa : h.nombre.programa};
        banco.menu(h.entrada);
        QCOMPARE(banco.plataforma.programas.intentos.size(), porRuta ? 2 : 1);
        QVERIFY(banco.plataforma.programas.intentos.last().startsWith(banco.plataforma.programas.instalados[0]));
        porRuta = !porRuta;
    }
    QCOMPARE(banco.plataforma.mensajes.mostrados.size(), 1);
}

void TestHerramientas::ayuda()
{
    BancoPrincipal banco;
    frmMain& ventana = banco.arrancar();
    auto& mostrados = banco.plataforma.mensajes.mostrados;
    auto& peticiones = banco.plataforma.ayuda.peticiones;

    // Without an application help file the viewer is not asked.
    ComandosHerramientas(banco.servicios, &ventana, {}, {}).mnuHelpContents_Click();
    QCOMPARE(mostrados,
        QList<Mensaje>{informacion(u"Nimbo"_s,
            u"Imposible mostrar los contenidos de la Ayuda. No hay una Ayuda asociada con este proyecto."_s)});
    QVERIFY(peticiones.isEmpty());

    mostrados.clear();
    ComandosHerramientas(banco.servicios, &ventana, u"/usr/share/nimbo/Ora.hlp"_s, {}).mnuHelpContents_Click();
    banco.menu(u"mnuMsgsOra"_s);
    QVERIFY(mostrados.isEmpty());
    QCOMPARE(peticiones,
        QList<PeticionAyuda>({{u"/usr/share/nimbo/Ora.hlp"_s, PeticionAyuda::Orden::Contenido, 0},
            {QCoreApplication::applicationDirPath() + u"/Ora.hlp"_s, PeticionAyuda::Orden::Contexto, 0}}));

    // A viewer that fails is reported; searching never asks it.
    banco.plataforma.ayuda.fallo = u"La ayuda no está instalada"_s;
    banco.menu(u"mnuMsgsOra"_s);
    banco.menu(u"mnuHelpSearch"_s);
    QCOMPARE(peticiones.size(), 3);
    QCOMPARE(mostrados,
        QList<Mensaje>({informacion(u"Error"_s, u"La ayuda no está instalada"_s),
            informacion(u"Error"_s, u"Fichero de ayuda no encontrado."_s)}));
}

QTEST_MAIN(TestHerramientas)
#include "tst_herramientas.moc"
