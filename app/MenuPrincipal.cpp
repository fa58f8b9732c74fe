#include "MenuPrincipal.h"

#include "Iconos.h"
#include "Paleta.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace MenuPrincipal {

namespace {

// One row of the menu table. A menu title starts a new top-level menu; an entry with no caption
// is a separator line.
struct EntradaMenu {
    QString nombre;
    QString titulo;
    QString atajo;
    bool esMenu = false;
    bool marcada = false;
};

EntradaMenu menu(const QString& nombre, const QString& titulo)
{
    return {nombre, titulo, {}, true, false};
}
EntradaMenu entrada(const QString& nombre, const QString& titulo, const QString& atajo = {})
{
    return {nombre, titulo, atajo};
}
EntradaMenu marcada(const QString& nombre, const QString& titulo)
{
    return {nombre, titulo, {}, false, true};
}
EntradaMenu separador(const QString& nombre)
{
    return {nombre, {}, {}};
}

const QList<EntradaMenu>& tablaMenus()
{
    static const QList<EntradaMenu> tabla = {
        menu(u"mnuFile"_s, u"&Archivo"_s),
        entrada(u"mnuFileNew"_s, u"&Nuevo"_s, u"Ctrl+N"_s),
        entrada(u"mnuFileOpen"_s, u"&Abrir..."_s, u"Ctrl+O"_s),
        separador(u"mnuFileBar1"_s),
        entrada(u"mnuFileSave"_s, u"&Guardar"_s, u"Ctrl+S"_s),
        entrada(u"mnuFileSaveAs"_s, u"G&uardar como..."_s, u"Ctrl+G"_s),
        separador(u"mnuFileBar3"_s),
        entrada(u"mnuBuscarArchivo"_s, u"&Buscar archivos"_s, u"F3"_s),
        separador(u"mnuFileBarx"_s),
        entrada(u"mnuFilePrint"_s, u"Im&primir..."_s, u"Ctrl+P"_s),
        entrada(u"mnuConfigPrinter"_s, u"&Configurar impresora..."_s),
        separador(u"mnuFileBar6"_s),
        entrada(u"mnuFileExit"_s, u"&Salir"_s, u"Ctrl+Q"_s),

        menu(u"mnuEdit"_s, u"&Edición"_s),
        entrada(u"mnuEditUndo"_s, u"&Deshacer"_s, u"Ctrl+Z"_s),
        separador(u"mnuEditBar1"_s),
        entrada(u"mnuEditCut"_s, u"Cor&tar"_s, u"Ctrl+X"_s),
        entrada(u"mnuEditCopy"_s, u"&Copiar"_s, u"Ctrl+C"_s),
        entrada(u"mnuEditPaste"_s, u"&Pegar"_s, u"Ctrl+V"_s),
        entrada(u"mnuSelTodo"_s, u"&Seleccionar todo"_s, u"Ctrl+E"_s),

        menu(u"mnuSGBD"_s, u"&SGBD"_s),
        entrada(u"mnuConnect"_s, u"&Conexión al SGBD Oracle"_s, u"F6"_s),
        entrada(u"mnuTraducir"_s, u"Ver &Traducción a SQL"_s, u"F7"_s),
        entrada(u"mnuEnviar"_s, u"&Enviar consulta NIEB al SGBD"_s, u"F8"_s),
        entrada(u"mnuSinNIEB"_s, u"Enviar consulta &SQL, sin traducir"_s, u"F9"_s),
        entrada(u"mnuLabels"_s, u"Etiquetas de un atributo (&Labels)"_s, u"Ctrl+L"_s),
        entrada(u"mnuAtribCompatibles"_s, u"&Atributos D. Tipo 3 Compatibles"_s, u"Ctrl+A"_s),
        entrada(u"mnuInfo"_s, u"&Información de la conexión"_s, u"F11"_s),
        entrada(u"mnuDesconectar"_s, u"&Desconexión del SGBD"_s, u"F12"_s),

        menu(u"mnuInsertar"_s, u"&Insertar"_s),

        menu(u"mnuOpciones"_s, u"&Opciones"_s),
        marcada(u"mnuPoner0"_s, u"&Poner 0 delante de números en (0,1)"_s),
        marcada(u"mnuVerTabla"_s, u"&Ver tabla mientras es recuperada"_s),
        entrada(u"mnuMaxFilas"_s, u"Número &Máximo de Filas a Recuperar"_s),
        entrada(u"mnuFonts"_s, u"Cambiar Tipo de &Letra (Fonts)"_s),
        entrada(u"mnuForeColor"_s, u"Color del &Texto"_s),
        entrada(u"mnuBackColor"_s, u"Color del &Fondo"_s),
        entrada(u"mnuValoresDefecto"_s, u"&Valores por defecto"_s),

        menu(u"mnuHerramientas"_s, u"&Herramientas"_s),
        entrada(u"mnuCalculadora"_s, u"&Calculadora"_s),
        entrada(u"mnuExplorer"_s, u"&Explorador de ficheros"_s),
        entrada(u"mnuWordPad"_s, u"&WordPad"_s),
        entrada(u"mnuNotePad"_s, u"&Bloc de notas"_s),

        menu(u"mnuHelp"_s, u"Ay&uda"_s),
        entrada(u"mnuHelpContents"_s, u"&Contenido"_s),
        entrada(u"mnuHelpSearch"_s, u"&Buscar Ayuda acerca de..."_s),
        entrada(u"mnuMsgsOra"_s, u"&Oracle: Mensajes y Códigos"_s),
        separador(u"mnuHelpBar1"_s),
        entrada(u"mnuHelpAbout"_s, u"&Acerca de Nimbo..."_s, u"Ctrl+F12"_s),
    };
    return tabla;
}

} // namespace

const QList<BotonBarra>& botones()
{
    static const QList<BotonBarra> tabla = {
        {u"New"_s, u"Nueva consulta NIEB"_s, u"mnuFileNew"_s},
        {u"Open"_s, u"Abrir consulta NIEB"_s, u"mnuFileOpen"_s},
        {u"Save"_s, u"Guardar consulta NIEB"_s, u"mnuFileSave"_s},
        {},
        {u"Print"_s, u"Imprimir consulta NIEB"_s, u"mnuFilePrint"_s},
        {},
        {u"Cut"_s, u"Cortar"_s, u"mnuEditCut"_s},
        {u"Copy"_s, u"Copiar"_s, u"mnuEditCopy"_s},
        {u"Paste"_s, u"Pegar"_s, u"mnuEditPaste"_s},
        {},
        {u"Conexión"_s, u"Conectar al SGBD Oracle (F6)"_s, u"mnuConnect"_s},
        {u"Traducir"_s, u"Ver traducción a SQL (F7)"_s, u"mnuTraducir"_s},
        {u"Envio"_s, u"Efectuar consulta NIEB (F8)"_s, u"mnuEnviar"_s},
        {},
        {u"EnviarSQL"_s, u"Efectuar consulta SQL (F9)"_s, u"mnuSinNIEB"_s},
        {u"Info"_s, u"Información de la Conexión (F11)"_s, u"mnuInfo"_s},
        {u"Desconectar"_s, u"Desconectar del SGBD (F12)"_s, u"mnuDesconectar"_s},
        {},
        {u"About"_s, u"Acerca de Nimbo (Ctrl+F12)"_s, u"mnuHelpAbout"_s},
    };
    return tabla;
}

void construirMenus(QMenuBar* barra)
{
    QMenu* actual = nullptr;
    for (const EntradaMenu& e : tablaMenus()) {
        if (e.esMenu) {
            actual = barra->addMenu(e.titulo);
            actual->setObjectName(e.nombre);
            actual->menuAction()->setObjectName(e.nombre);
            if (e.nombre == u"mnuInsertar")
                Paleta::construirMenu(actual);
            continue;
        }
        QAction* accion = e.titulo.isEmpty() ? actual->addSeparator() : actual->addAction(e.titulo);
        accion->setObjectName(e.nombre);
        if (!e.atajo.isEmpty())
            accion->setShortcut(QKeySequence(e.atajo, QKeySequence::PortableText));
        if (e.marcada) {
            accion->setCheckable(true);
            accion->setChecked(true);
        }
    }
}

void construirBarra(QToolBar* barra)
{
    for (const BotonBarra& b : botones()) {
        if (b.clave.isEmpty()) {
            barra->addSeparator();
            continue;
        }
        QAction* accion = barra->addAction(Iconos::botonBarra(b.clave), b.consejo);
        accion->setObjectName(b.clave);
        accion->setToolTip(b.consejo);
    }
}

} // namespace MenuPrincipal
