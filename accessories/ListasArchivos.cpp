#include "ListasArchivos.h"

#include "ArbolCarpetas.h"

#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QStorageInfo>
#include <QStyle>

using namespace Qt::StringLiterals;

ListaUnidades::ListaUnidades(QWidget* padre)
    : QComboBox(padre)
{
    QStringList unidades;
    for (const QStorageInfo& volumen : QStorageInfo::mountedVolumes()) {
        if (volumen.isValid() && volumen.isReady())
            unidades.append(volumen.rootPath());
    }
    unidades.sort();
    unidades.removeDuplicates();
    addItems(unidades);
}

QString ListaUnidades::unidadDe(const QString& ruta)
{
    const QStorageInfo volumen(ruta);
    return volumen.isValid() ? volumen.rootPath() : QDir::rootPath();
}

void ListaUnidades::seleccionar(const QString& unidad)
{
    const QSignalBlocker bloqueo(this);
    int i = findText(unidad);
    if (i < 0) {
        addItem(unidad);
        i = count() - 1;
    }
    setCurrentIndex(i);
}

ListaCarpetas::ListaCarpetas(const ArbolCarpetas& arbol, QWidget* padre)
    : QListWidget(padre)
    , m_arbol(arbol)
{
    // Enter is left to the window's default button, which opens the highlighted folder first.
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { ponerRuta(resaltada()); });
}

QString ListaCarpetas::ponerRuta(const QString& carpeta)
{
    const QString destino = QDir::cleanPath(QFileInfo(carpeta).absoluteFilePath());
    const ArbolCarpetas::Listado subcarpetas = m_arbol.subcarpetas(destino, true);
    if (!subcarpetas.error.isEmpty())
        return subcarpetas.error;

    clear();
    const QIcon abierta = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon cerrada = style()->standardIcon(QStyle::SP_DirClosedIcon);
    // The folders from the root down to this one, each a step further in.
    QStringList partes = destino.split(u'/', Qt::SkipEmptyParts);
    QString camino = QDir::rootPath();
    QListWidgetItem* propia = new QListWidgetItem(abierta, camino, this);
    propia->setData(Qt::UserRole, camino);
    for (qsizetype i = 0; i < partes.size(); ++i) {
        camino = rutaEn(camino, partes.at(i));
        propia = new QListWidgetItem(abierta, QString(2 * (i + 1), u' ') + partes.at(i), this);
        propia->setData(Qt::UserRole, camino);
    }
    const QString sangria(2 * (partes.size() + 1), u' ');
    for (const QString& nombre : subcarpetas.nombres) {
        auto* item = new QListWidgetItem(cerrada, sangria + nombre, this);
        item->setData(Qt::UserRole, rutaEn(destino, nombre));
    }
    m_cuenta = int(subcarpetas.nombres.size());
    setCurrentItem(propia);
    scrollToItem(propia, QAbstractItemView::PositionAtTop);

    const bool distinta = destino != m_ruta;
    m_ruta = destino;
    if (distinta)
        Q_EMIT cambiada();
    return {};
}

QString ListaCarpetas::resaltada() const
{
    const QListWidgetItem* item = currentItem();
    return item ? item->data(Qt::UserRole).toString() : m_ruta;
}

void ListaCarpetas::focusOutEvent(QFocusEvent* evento)
{
    QListWidget::focusOutEvent(evento);
    // Going to another window or a menu keeps the focus here for when the user comes back.
    if (evento->reason() != Qt::ActiveWindowFocusReason && evento->reason() != Qt::PopupFocusReason)
        Q_EMIT focoPerdido();
}

ListaFicheros::ListaFicheros(const ArbolCarpetas& arbol, QWidget* padre)
    : QListWidget(padre)
    , m_arbol(arbol)
{
}

void ListaFicheros::ponerRuta(const QString& carpeta)
{
    m_ruta = carpeta;
    releer();
}

void ListaFicheros::ponerPatron(const QString& patron)
{
    m_patron = patron;
    releer();
}

void ListaFicheros::releer()
{
    clear();
    if (!m_ruta.isEmpty())
        addItems(m_arbol.ficheros(m_ruta, patronesDe(m_patron)).nombres);
}
