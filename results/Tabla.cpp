#include "Tabla.h"

#include "ExportarTabla.h"
#include "IconosTabla.h"
#include "Module1.h"
#include "PunteroOcupado.h"
#include "ReglasTabla.h"
#include "Rejilla.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The window's size at design time, twips.
constexpr int AltoDiseno = 6825;
constexpr int AnchoDiseno = 11040;

QRect enPixeles(int x, int y, int ancho, int alto)
{
    return {Twips::aPixeles(x), Twips::aPixeles(y), Twips::aPixeles(ancho), Twips::aPixeles(alto)};
}

} // namespace

Tabla::Tabla(Module1& estado, Platform plataforma, QWidget* padre)
    : QMainWindow(padre)
    , m_estado(estado)
    , m_plataforma(plataforma)
{
    setObjectName(u"Tabla"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    crearControles();
    crearMenus();
    crearBarra();
    m_twips = QRect(0, 0, AnchoDiseno, AltoDiseno);
    resize(Twips::aPixeles(QSize(AnchoDiseno, AltoDiseno)));
    Form_Load();
}

Tabla::~Tabla() = default;

void Tabla::crearControles()
{
    auto* centro = new QWidget(this);
    setCentralWidget(centro);
    QFont letraEtiquetas = centro->font(); // the labels keep the design's small size
    letraEtiquetas.setPointSizeF(8.25);
    centro->setFont(letraEtiquetas);

    m_toolbar = new QToolBar(centro);
    m_toolbar->setObjectName(u"Toolbar1"_s);
    m_toolbar->setIconSize(QSize(20, 20));
    m_toolbar->setGeometry(enPixeles(0, 0, 9480, 420));

    auto etiqueta = [centro](const char* nombre, const QString& texto, const QString& ayuda, QRect donde) {
        auto* l = new QLabel(texto, centro);
        l->setObjectName(QString::fromLatin1(nombre));
        l->setToolTip(ayuda);
        l->setGeometry(donde);
        return l;
    };
    m_label3 = etiqueta("Label3", u"Núm. de Columnas : "_s, {}, enPixeles(60, 435, 1800, 285));
    m_numColumnas = etiqueta("NumColumnas", {}, u"Total de atributos que incluye la consulta realizada"_s,
        enPixeles(1875, 420, 2460, 285));
    m_label1 = etiqueta("Label1", u"Filas Recuperadas: "_s, {}, enPixeles(60, 780, 1800, 285));
    m_numTuplas = etiqueta("NumTuplas", {}, u"Total de tuplas resultantes de la consulta"_s,
        enPixeles(1875, 780, 2460, 285));
    m_tiempoTraducir = etiqueta("TiempoTraducir", {}, {}, enPixeles(4440, 435, 4320, 285));
    m_tiempoConsulta = etiqueta("TiempoConsulta", {}, {}, enPixeles(4440, 780, 4320, 285));

    m_cerrar = new QPushButton(u"&Cerrar"_s, centro);
    m_cerrar->setObjectName(u"Cerrar"_s);
    m_cerrar->setToolTip(u"Cerrar (Ctrl-Q)"_s);
    m_cerrar->setDefault(true);
    m_cerrar->setGeometry(enPixeles(9630, 630, 1230, 420));
    connect(m_cerrar, &QPushButton::clicked, this, &QWidget::close);

    m_grid = new rejilla::Rejilla(centro);
    m_grid->setObjectName(u"Grid1"_s);
    QFont letra(u"MS Sans Serif"_s);
    letra.setPointSizeF(8.25);
    m_grid->setFont(letra);
    m_grid->setGeometry(enPixeles(0, 1080, 9375, 5055));

    // Cerrar is both the default and the cancel button: Enter and Escape close the window.
    for (const QKeySequence& tecla : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Escape)}) {
        auto* atajo = new QShortcut(tecla, this);
        atajo->setContext(Qt::WindowShortcut);
        connect(atajo, &QShortcut::activated, this, &QWidget::close);
    }
}

QAction* Tabla::entrada(
    QMenu* menu, const char* nombre, const QString& texto, const QKeySequence& atajo, void (Tabla::*orden)())
{
    auto* a = menu->addAction(texto);
    a->setObjectName(QString::fromLatin1(nombre));
    a->setShortcut(atajo);
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, orden);
    m_menu.insert(a->objectName(), a);
    return a;
}

QMenu* Tabla::submenu(QMenu* padre, const char* nombre, const QString& texto)
{
    QMenu* menu = padre ? padre->addMenu(texto) : menuBar()->addMenu(texto);
    menu->menuAction()->setObjectName(QString::fromLatin1(nombre));
    m_menu.insert(menu->menuAction()->objectName(), menu->menuAction());
    return menu;
}

void Tabla::crearMenus()
{
    QMenu* archivo = submenu(nullptr, "mnuArchivoTabla", u"&Archivo"_s);
    QMenu* guardar = submenu(archivo, "mnuGuardar", u"&Guardar Tabla como..."_s);
    entrada(guardar, "mnuGuardarAltaCalidad", u"Imagen (.BMP) de &Alta Calidad..."_s, Qt::CTRL | Qt::Key_A,
        &Tabla::mnuGuardarAltaCalidad_Click);
    entrada(guardar, "mnuGuardarBajaCalidad", u"Imagen (.BMP) de &Baja Calidad..."_s, Qt::CTRL | Qt::Key_B,
        &Tabla::mnuGuardarBajaCalidad_Click);
    entrada(guardar, "mnuGuardaLaTeX", u"En formato &LaTeX..."_s, Qt::CTRL | Qt::Key_L, &Tabla::mnuGuardaLaTeX_Click);
    entrada(guardar, "mnuGuardaHTML", u"En formato &HTML..."_s, Qt::CTRL | Qt::Key_H, &Tabla::mnuGuardaHTML_Click);
    entrada(guardar, "mnuGuardaCSV", u"En formato &CSV..."_s, {}, &Tabla::mnuGuardaCSV_Click);
    archivo->addSeparator();
    entrada(archivo, "mnuPrintTabla", u"&Imprimir Imagen de la Tabla..."_s, Qt::CTRL | Qt::Key_P,
        &Tabla::mnuPrintTabla_Click);
    archivo->addSeparator();
    entrada(archivo, "mnuCerrarTabla", u"&Cerrar Tabla"_s, Qt::CTRL | Qt::Key_Q, &Tabla::mnuCerrarTabla_Click);

    QMenu* opciones = submenu(nullptr, "mnuOpcionesTabla", u"&Opciones"_s);
    entrada(opciones, "mnuReducir", u"&Reducir Anchura de todas las Columnas"_s, Qt::CTRL | Qt::Key_F1,
        &Tabla::mnuReducir_Click);
    entrada(opciones, "mnuAmpliar", u"&Ampliar Anchura de todas las Columnas"_s, Qt::CTRL | Qt::Key_F2,
        &Tabla::mnuAmpliar_Click);
    opciones->addSeparator();
    entrada(opciones, "mnuOrdenNFila", u"Ordenación Ascendente/Descendente según el &Número de Fila"_s,
        Qt::CTRL | Qt::Key_F3, &Tabla::mnuOrdenNFila_Click);
    entrada(opciones, "mnuOrdenarCol", u"&Ordenación Ascendente/Descendente según Columna actual"_s,
        Qt::CTRL | Qt::Key_F4, &Tabla::mnuOrdenarCol_Click);
    opciones->addSeparator();
    entrada(opciones, "mnuAlinearCol", u"Alineación &Izquierda/Derecha y Arriba/Abajo de la Columna actual"_s,
        Qt::CTRL | Qt::Key_F5, &Tabla::mnuAlinearCol_Click);
    entrada(opciones, "mnuMergeCells", u"&Mezclador de Celdas (desactivar y cambiar tipos)"_s, Qt::CTRL | Qt::Key_F6,
        &Tabla::mnuMergeCells_Click);
    entrada(opciones, "mnuMergeCol", u"Activar/Desactivar Mezclador de Celdas en la &Columna actual"_s,
        Qt::CTRL | Qt::Key_F7, &Tabla::mnuMergeCol_Click);
    entrada(opciones, "mnuMergeRow", u"Activar/Desactivar Mezclador de Celdas en la &Fila actual"_s,
        Qt::CTRL | Qt::Key_F8, &Tabla::mnuMergeRow_Click);
    opciones->addSeparator();
    entrada(opciones, "mnuPonCero", u"&Poner Cero delante de los Números en (0,1) de la Columna actual"_s,
        Qt::CTRL | Qt::Key_F11, &Tabla::mnuPonCero_Click);
    QAction* ajuste = entrada(opciones, "mnuWordWrap",
        u"&Word Wrap (Activar/Desactivar la División de Palabras en las Celdas)"_s, Qt::CTRL | Qt::Key_F12,
        &Tabla::mnuWordWrap_Click);
    ajuste->setCheckable(true);
    ajuste->setChecked(true);
    // The checkmark is the program's own: the handler inverts it.
    disconnect(ajuste, &QAction::triggered, this, nullptr);
    connect(ajuste, &QAction::triggered, this, [this, ajuste] {
        ajuste->setChecked(!ajuste->isChecked()); // undo the toggle Qt already made
        mnuWordWrap_Click();
    });
    opciones->addSeparator();
    QMenu* carac = submenu(opciones, "mnuCaracTabla", u"Características &Tabla"_s);
    entrada(carac, "mnuFonts", u"Tipo de &Letra (Fonts)"_s, Qt::SHIFT | Qt::Key_F1, &Tabla::mnuFonts_Click);
    entrada(carac, "mnuForeColor", u"Color del &Texto"_s, Qt::SHIFT | Qt::Key_F2, &Tabla::mnuForeColor_Click);
    entrada(carac, "mnuBackColor", u"Color del &Fondo"_s, Qt::SHIFT | Qt::Key_F3, &Tabla::mnuBackColor_Click);
    entrada(carac, "mnuEstiloLetra", u"&Estilo de Letra"_s, Qt::SHIFT | Qt::Key_F4, &Tabla::mnuEstiloLetra_Click);
    entrada(carac, "mnuEstiloLetraCab", u"Estilo de Letra &Cabecera"_s, Qt::SHIFT | Qt::Key_F5,
        &Tabla::mnuEstiloLetraCab_Click);
    entrada(carac, "mnuLineasTabla", u"Líneas entre las Cel&das"_s, Qt::SHIFT | Qt::Key_F6,
        &Tabla::mnuLineasTabla_Click);
    QMenu* tamano = submenu(opciones, "mnuTamaVent", u"Tamaño &Ventana"_s);
    entrada(tamano, "mnuAnchuraPant", u"Establecer Anc&hura de la Pantalla"_s, Qt::SHIFT | Qt::Key_F7,
        &Tabla::mnuAnchuraPant_Click);
    entrada(tamano, "mnuAlturaPant", u"Establecer Alt&ura de la Pantalla"_s, Qt::SHIFT | Qt::Key_F8,
        &Tabla::mnuAlturaPant_Click);
}

void Tabla::crearBarra()
{
    const std::pair<const char*, QString> botones[] = {
        {"Reducir", u"Reducir Anchura de todas las Columnas (Ctrl-F1)"_s},
        {"Ampliar", u"Ampliar Anchura de todas las Columnas (Ctrl-F2)"_s},
        {"OrdenarFila", u"Ordenar Filas según el Número de Fila (Ctrl-F3)"_s},
        {"Ordenar", u"Ordenar Filas según Columna seleccionada (Ctrl-F4)"_s},
        {"Salir", u"Salir (Ctrl-Q)"_s},
    };
    for (const auto& [clave, ayuda] : botones) {
        const QString k = QString::fromLatin1(clave);
        if (k == u"Salir"_s)
            m_toolbar->addSeparator();
        QAction* a = m_toolbar->addAction(iconoTabla(k), k);
        a->setObjectName(k);
        a->setToolTip(ayuda);
        connect(a, &QAction::triggered, this, [this, k] { Toolbar1_ButtonClick(k); });
        m_botones.insert(k, a);
    }
}

// --- Geometry, in twips -------------------------------------------------------------------------

QSize Tabla::marco() const
{
    return frameGeometry().size() - size();
}

int Tabla::alto() const
{
    return m_twips.height();
}

int Tabla::ancho() const
{
    return m_twips.width();
}

int Tabla::izquierda() const
{
    return m_twips.x();
}

int Tabla::arriba() const
{
    return m_twips.y();
}

void Tabla::ponerAlto(int twips)
{
    m_twips.setHeight(twips);
    resize(width(), std::max(1, Twips::aPixeles(twips) - marco().height()));
    Form_Resize();
}

void Tabla::ponerAncho(int twips)
{
    m_twips.setWidth(twips);
    resize(std::max(1, Twips::aPixeles(twips) - marco().width()), height());
    Form_Resize();
}

void Tabla::ponerIzquierda(int twips)
{
    m_twips.moveLeft(twips);
    move(Twips::aPixeles(twips), pos().y());
}

void Tabla::ponerArriba(int twips)
{
    m_twips.moveTop(twips);
    move(pos().x(), Twips::aPixeles(twips));
}

void Tabla::resizeEvent(QResizeEvent* evento)
{
    QMainWindow::resizeEvent(evento);
    // A size set in twips is kept exactly; a size the user dragged is taken from the pixels.
    const QSize exterior = size() + marco();
    if (Twips::aPixeles(m_twips.width()) != exterior.width())
        m_twips.setWidth(Twips::desdePixeles(exterior.width()));
    if (Twips::aPixeles(m_twips.height()) != exterior.height())
        m_twips.setHeight(Twips::desdePixeles(exterior.height()));
    Form_Resize();
}

void Tabla::moveEvent(QMoveEvent* evento)
{
    QMainWindow::moveEvent(evento);
    const QPoint esquina = frameGeometry().topLeft();
    if (Twips::aPixeles(m_twips.x()) != esquina.x())
        m_twips.moveLeft(Twips::desdePixeles(esquina.x()));
    if (Twips::aPixeles(m_twips.y()) != esquina.y())
        m_twips.moveTop(Twips::desdePixeles(esquina.y()));
}

// --- Form events --------------------------------------------------------------------------------

void Tabla::Form_Load()
{
    Module1::AparienciaTabla& a = m_estado.aparienciaTabla;
    if (a.mostradaAntes) {
        ponerAlto(a.alto);
        ponerAncho(a.ancho);
        ponerIzquierda(a.izquierda);
        ponerArriba(a.arriba);
        m_grid->setForeColor(a.colorTexto);
        m_grid->setBackColor(a.colorFondo);
        QFont letra = m_grid->font();
        letra.setBold(a.negrita);
        letra.setUnderline(a.subrayado);
        letra.setStrikeOut(a.tachado);
        letra.setItalic(a.cursiva);
        if (!a.fuente.isEmpty())
            letra.setFamilies({a.fuente});
        if (a.tamano > 0)
            letra.setPointSizeF(a.tamano);
        m_grid->setFont(letra);
        m_grid->setTextStyle(int(a.estiloTexto));
        m_grid->setTextStyleFixed(int(a.estiloCabecera));
        m_grid->setGridLines(int(a.lineasRejilla));
        m_grid->setGridLinesFixed(int(a.lineasRejilla));
    } else {
        CentrarVentana(this);
        m_twips.moveTopLeft(Twips::desdePixeles(pos()));
        a.mostradaAntes = true;
    }
    if (m_estado.PonerCeroAuto)
        m_menu.value(u"mnuPonCero"_s)->setEnabled(false);
}

bool Tabla::event(QEvent* evento)
{
    if (evento->type() == QEvent::WindowActivate)
        Form_Activate();
    return QMainWindow::event(evento);
}

void Tabla::showEvent(QShowEvent* evento)
{
    QMainWindow::showEvent(evento);
    // Showing the window activates it; without a window manager no activation event may follow.
    if (!evento->spontaneous())
        Form_Activate();
}

void Tabla::Form_Activate()
{
    m_grid->setWordWrap(m_menu.value(u"mnuWordWrap"_s)->isChecked());
    m_tiempoTraducir->setText(ReglasTabla::textoTiempoTraduccion(m_estado.SegundosTraduccion));
    m_tiempoConsulta->setText(ReglasTabla::textoTiempoConsulta(m_estado.SegundosConsulta));
}

void Tabla::Form_Resize()
{
    if (isMinimized())
        return;
    if (alto() < ReglasTabla::AltoMinimo) {
        ponerAlto(ReglasTabla::AltoMinimo);
        return; // ponerAlto has laid the window out again
    }
    if (ancho() < ReglasTabla::AnchoMinimo) {
        ponerAncho(ReglasTabla::AnchoMinimo);
        return;
    }
    const bool tiempos = ReglasTabla::tiemposVisibles(ancho());
    m_tiempoConsulta->setVisible(tiempos);
    m_tiempoTraducir->setVisible(tiempos);
    colocarControles();
}

void Tabla::colocarControles()
{
    m_grid->setGeometry(enPixeles(0, 1080, ancho() - 120, alto() - 1770));
    m_cerrar->move(Twips::aPixeles(ancho() - 1385), Twips::aPixeles(630));
}

void Tabla::closeEvent(QCloseEvent* evento)
{
    Form_Unload();
    evento->accept();
}

void Tabla::Form_Unload()
{
    if (m_descargada)
        return;
    m_descargada = true;
    Module1::AparienciaTabla& a = m_estado.aparienciaTabla;
    a.alto = ReglasTabla::a16Bits(alto());
    a.ancho = ReglasTabla::a16Bits(ancho());
    a.izquierda = ReglasTabla::a16Bits(izquierda());
    a.arriba = ReglasTabla::a16Bits(arriba());
    a.colorTexto = m_grid->foreColor();
    a.colorFondo = m_grid->backColor();
    const QFont letra = m_grid->font();
    a.negrita = letra.bold();
    a.subrayado = letra.underline();
    a.tachado = letra.strikeOut();
    a.cursiva = letra.italic();
    a.fuente = letra.family();
    a.tamano = float(letra.pointSizeF());
    a.estiloTexto = float(m_grid->textStyle());
    a.estiloCabecera = float(m_grid->textStyleFixed());
    a.lineasRejilla = float(m_grid->gridLines());
}

// --- Commands -----------------------------------------------------------------------------------

void Tabla::Toolbar1_ButtonClick(const QString& clave)
{
    if (clave == u"Reducir"_s)
        mnuReducir_Click();
    else if (clave == u"Ampliar"_s)
        mnuAmpliar_Click();
    else if (clave == u"OrdenarFila"_s)
        mnuOrdenNFila_Click();
    else if (clave == u"Ordenar"_s)
        mnuOrdenarCol_Click();
    else if (clave == u"Salir"_s)
        mnuCerrarTabla_Click();
}

void Tabla::mnuCerrarTabla_Click()
{
    close();
}

void Tabla::mnuReducir_Click()
{
    for (int i = 1; i < m_grid->cols(); ++i)
        if (m_grid->colWidth(i) > 100)
            m_grid->setColWidth(i, m_grid->colWidth(i) - 50);
}

void Tabla::mnuAmpliar_Click()
{
    for (int i = 1; i < m_grid->cols(); ++i)
        m_grid->setColWidth(i, m_grid->colWidth(i) + 50);
}

void Tabla::mnuOrdenarCol_Click()
{
    m_estado.SentidoOrden = short((m_estado.SentidoOrden + 1) % 2);
    m_grid->setSort(m_estado.SentidoOrden + 1);
}

void Tabla::mnuOrdenNFila_Click()
{
    m_grid->setColSel(0);
    m_grid->setCol(0);
    if (m_grid->tag().isEmpty()) {
        m_grid->setSort(rejilla::GenericoDescendente);
        m_grid->setTag(u"DES"_s);
    } else {
        m_grid->setSort(rejilla::GenericoAscendente);
        m_grid->setTag({});
    }
}

void Tabla::mnuAlinearCol_Click()
{
    for (qint64 i = 1; i < m_grid->rows(); ++i) {
        m_grid->setRow(i);
        m_grid->setCellAlignment((m_grid->cellAlignment() + 1) % rejilla::NumAlineaciones);
    }
}

void Tabla::mnuMergeCells_Click()
{
    m_grid->setMergeCells((m_grid->mergeCells() + 1) % 5);
}

void Tabla::mnuMergeCol_Click()
{
    m_grid->setMergeCol(m_grid->col(), !m_grid->mergeCol(m_grid->col()));
}

void Tabla::mnuMergeRow_Click()
{
    m_grid->setMergeRow(m_grid->row(), !m_grid->mergeRow(m_grid->row()));
}

void Tabla::mnuPonCero_Click()
{
    for (qint64 i = 1; i < m_grid->rows(); ++i) {
        m_grid->setRow(i);
        const QString texto = m_grid->text();
        const QString nuevo = ReglasTabla::conCeroDelante(texto);
        if (nuevo != texto)
            m_grid->setText(nuevo);
    }
}

void Tabla::mnuWordWrap_Click()
{
    QAction* ajuste = m_menu.value(u"mnuWordWrap"_s);
    ajuste->setChecked(!ajuste->isChecked());
    m_grid->setWordWrap(ajuste->isChecked());
}

void Tabla::mnuFonts_Click()
{
    const std::optional<EleccionFuente> elegida = m_plataforma.dialogos.fuente(m_ultimaFuente, this);
    if (!elegida)
        return;
    m_ultimaFuente = *elegida;
    QFont letra = m_grid->font();
    letra.setFamilies({elegida->nombre});
    if (elegida->tamano > 0)
        letra.setPointSizeF(elegida->tamano);
    letra.setBold(elegida->negrita);
    letra.setItalic(elegida->cursiva);
    letra.setStrikeOut(elegida->tachado);
    letra.setUnderline(elegida->subrayado);
    m_grid->setFont(letra);
}

void Tabla::mnuForeColor_Click()
{
    if (const std::optional<quint32> color = m_plataforma.dialogos.color(m_ultimoColor, this)) {
        m_ultimoColor = *color;
        m_grid->setForeColor(*color);
    }
}

void Tabla::mnuBackColor_Click()
{
    if (const std::optional<quint32> color = m_plataforma.dialogos.color(m_ultimoColor, this)) {
        m_ultimoColor = *color;
        m_grid->setBackColor(*color);
    }
}

void Tabla::mnuEstiloLetra_Click()
{
    m_grid->setTextStyle((m_grid->textStyle() + 1) % 5);
}

void Tabla::mnuEstiloLetraCab_Click()
{
    m_grid->setTextStyleFixed((m_grid->textStyleFixed() + 1) % 5);
}

void Tabla::mnuLineasTabla_Click()
{
    m_grid->setGridLines((m_grid->gridLines() + 1) % 4);
    m_grid->setGridLinesFixed(m_grid->gridLines());
}

void Tabla::mnuAnchuraPant_Click()
{
    const QScreen* pantalla = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!pantalla)
        return;
    ponerAncho(Twips::desdePixeles(pantalla->geometry().width()));
    ponerIzquierda(0);
}

void Tabla::mnuAlturaPant_Click()
{
    const QScreen* pantalla = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!pantalla)
        return;
    ponerAlto(Twips::desdePixeles(pantalla->geometry().height()));
    ponerArriba(0);
}

// --- Writing the table out ----------------------------------------------------------------------

QString Tabla::elegirFichero(const QString& titulo, const QString& filtro, const QString& extension)
{
    OpcionesFichero opciones;
    opciones.titulo = titulo;
    opciones.filtro = filtro;
    opciones.indiceFiltro = 2;
    opciones.nombreFichero = m_ultimoFichero;
    opciones.extensionPorDefecto = extension;
    const std::optional<EleccionFichero> eleccion = m_plataforma.dialogos.guardarFichero(opciones, this);
    if (!eleccion || eleccion->ruta.isEmpty())
        return {};
    m_ultimoFichero = eleccion->ruta;
    return eleccion->ruta;
}

void Tabla::avisarFallo(const QString& texto)
{
    m_plataforma.mensajes.mostrar(Mensaje::aviso(u"Nimbo"_s, texto, Mensaje::Icono::Critico), this);
}

void Tabla::guardarTexto(const QString& titulo, const QString& filtro, const QString& extension,
    const std::function<std::unique_ptr<exportar::EscritorTabla>(QIODevice&)>& hacerEscritor)
{
    const QString ruta = elegirFichero(titulo, filtro, extension);
    if (ruta.isEmpty())
        return;
    QString error;
    {
        PunteroOcupado ocupado;
        // Written beside the target and put in its place at the end: a failure leaves the old file.
        QSaveFile fichero(ruta);
        if (!fichero.open(QIODevice::WriteOnly)) {
            error = fichero.errorString();
        } else {
            const auto escritor = hacerEscritor(fichero);
            if (!exportar::exportar(exportar::FuenteAlmacen(m_grid->modelo()->almacen()), *escritor))
                error = escritor->error();
            else if (!fichero.commit())
                error = fichero.errorString();
        }
    }
    if (!error.isEmpty())
        avisarFallo(u"No se pudo guardar la tabla en "_s + ruta + u":\r"_s + error);
}

void Tabla::mnuGuardaLaTeX_Click()
{
    guardarTexto(u"Guardar Tabla, con el formato tabular de LaTeX, como..."_s,
        u"Todos los archivos (*.*)|*.*|Ficheros de LaTeX (*.tex)|*.tex|Ficheros de texto (*.txt)|*.txt|LaTeX y Texto (*.t*)|*.t*"_s,
        u"tex"_s, [](QIODevice& d) { return std::make_unique<exportar::EscritorLatex>(d); });
}

void Tabla::mnuGuardaHTML_Click()
{
    const QString titulo = windowTitle();
    guardarTexto(u"Guardar Tabla, con el formato TABLE de HTML, como..."_s,
        u"Todos los archivos (*.*)|*.*|Ficheros de HTML (*.htm*)|*.htm*|Ficheros de texto (*.txt)|*.txt"_s, u"htm"_s,
        [titulo](QIODevice& d) { return std::make_unique<exportar::EscritorHtml>(d, titulo); });
}

void Tabla::mnuGuardaCSV_Click()
{
    guardarTexto(u"Guardar Tabla, con valores separados por comas (CSV), como..."_s,
        u"Todos los archivos (*.*)|*.*|Valores separados por comas (*.csv)|*.csv|Ficheros de texto (*.txt)|*.txt"_s,
        u"csv"_s, [](QIODevice& d) { return std::make_unique<exportar::EscritorCsv>(d); });
}

void Tabla::mnuGuardarAltaCalidad_Click()
{
    m_grid->setPictureType(rejilla::ImagenColor);
    GuardarImagenBMP();
}

void Tabla::mnuGuardarBajaCalidad_Click()
{
    m_grid->setPictureType(rejilla::ImagenMonocroma);
    GuardarImagenBMP();
}

void Tabla::GuardarImagenBMP()
{
    const QString ruta = elegirFichero(u"Guardar Tabla en formato Bit MaP (.BMP) como..."_s,
        u"Todos los archivos (*.*)|*.*|Imagen Bit MaP (*.bmp)|*.bmp"_s, u"bmp"_s);
    if (ruta.isEmpty())
        return;
    QString error;
    {
        PunteroOcupado ocupado;
        const QImage imagen = m_grid->picture();
        QSaveFile fichero(ruta);
        if (imagen.isNull())
            error = u"La tabla es demasiado grande para una sola imagen."_s;
        else if (!fichero.open(QIODevice::WriteOnly))
            error = fichero.errorString();
        else if (!imagen.save(&fichero, "BMP") || !fichero.commit())
            error = fichero.errorString().isEmpty() ? u"No se pudo escribir la imagen."_s : fichero.errorString();
    }
    if (!error.isEmpty())
        avisarFallo(u"No se pudo guardar la imagen de la tabla en "_s + ruta + u":\r"_s + error);
}

void Tabla::mnuPrintTabla_Click()
{
    OpcionesImpresion opciones;
    opciones.titulo = u"Imprimir imagen de la tabla"_s;
    opciones.seleccionPosible = false;
    if (!m_plataforma.dialogos.imprimir(opciones, this))
        return;
    QString error;
    {
        PunteroOcupado ocupado;
        const QImage imagen = m_grid->picture();
        if (imagen.isNull())
            error = u"La tabla es demasiado grande para una sola imagen."_s;
        else if (!m_plataforma.impresora.imprimirImagen(imagen))
            error = u"La impresora no aceptó el documento."_s;
    }
    if (!error.isEmpty())
        avisarFallo(u"No se pudo imprimir la imagen de la tabla:\r"_s + error);
}

// --- The one instance ---------------------------------------------------------------------------

Tabla& InstanciaTabla::ventana()
{
    if (!existente())
        m_ventana = new Tabla(m_estado, m_plataforma);
    return *m_ventana;
}

void InstanciaTabla::descargar()
{
    if (Tabla* t = existente())
        t->close(); // unloads it; it is deleted once back in the event loop
}

void HabilitarOpcionesTabla(InstanciaTabla& instancia)
{
    Tabla& t = instancia.ventana();
    t.entradaMenu(u"mnuArchivoTabla"_s)->setEnabled(true);
    t.entradaMenu(u"mnuOpcionesTabla"_s)->setEnabled(true);
    for (const char* clave : {"Reducir", "Ampliar", "OrdenarFila", "Ordenar", "Salir"})
        t.boton(QString::fromLatin1(clave))->setEnabled(true);
}
