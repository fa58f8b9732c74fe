#include "Dialogos.h"

#include "ColorValue.h"
#include "Impresora.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGroupBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

using namespace Qt::StringLiterals;

QString OpcionesFichero::completar(const QString& ruta) const
{
    if (ruta.isEmpty() || extensionPorDefecto.isEmpty() || !QFileInfo(ruta).suffix().isEmpty())
        return ruta;
    return ruta.endsWith(u'.') ? ruta + extensionPorDefecto : ruta + u'.' + extensionPorDefecto;
}

namespace {

// "desc|pattern|desc|pattern" as Qt's name filters, "desc (pattern)" each.
QStringList filtrosQt(const QString& filtro)
{
    QStringList filtros;
    const QStringList partes = filtro.split(u'|');
    for (qsizetype i = 0; i + 1 < partes.size(); i += 2) {
        const QString& descripcion = partes.at(i);
        QString patron = partes.at(i + 1);
        patron.replace(u';', u' ');
        // Qt takes the patterns from the last parentheses; a description that shows them already
        // is used as it is.
        filtros.append(descripcion.endsWith(u'(' + patron + u')') ? descripcion : descripcion + u" ("_s + patron + u')');
    }
    return filtros;
}

std::optional<EleccionFichero> dialogoFichero(
    const OpcionesFichero& opciones, QWidget* propietario, QFileDialog::AcceptMode modo)
{
    QFileDialog dialogo(propietario ? propietario : QApplication::activeWindow(), opciones.titulo);
    dialogo.setAcceptMode(modo);
    dialogo.setFileMode(QFileDialog::AnyFile);
    dialogo.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filtros = filtrosQt(opciones.filtro);
    dialogo.setNameFilters(filtros);
    if (opciones.indiceFiltro >= 1 && opciones.indiceFiltro <= filtros.size())
        dialogo.selectNameFilter(filtros.at(opciones.indiceFiltro - 1));
    if (!opciones.carpetaInicial.isEmpty())
        dialogo.setDirectory(opciones.carpetaInicial);
    if (!opciones.nombreFichero.isEmpty())
        dialogo.selectFile(opciones.nombreFichero);
    dialogo.setDefaultSuffix(opciones.extensionPorDefecto);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return std::nullopt;
    EleccionFichero eleccion;
    eleccion.ruta = opciones.completar(dialogo.selectedFiles().constFirst());
    eleccion.indiceFiltro = int(filtros.indexOf(dialogo.selectedNameFilter())) + 1;
    if (eleccion.indiceFiltro < 1)
        eleccion.indiceFiltro = opciones.indiceFiltro;
    return eleccion;
}

QWidget* ventanaPara(QWidget* propietario)
{
    return propietario ? propietario : QApplication::activeWindow();
}

} // namespace

std::optional<EleccionFichero> QtDialogos::abrirFichero(const OpcionesFichero& opciones, QWidget* propietario)
{
    return dialogoFichero(opciones, propietario, QFileDialog::AcceptOpen);
}

std::optional<EleccionFichero> QtDialogos::guardarFichero(const OpcionesFichero& opciones, QWidget* propietario)
{
    return dialogoFichero(opciones, propietario, QFileDialog::AcceptSave);
}

std::optional<EleccionFuente> QtDialogos::fuente(const EleccionFuente& inicial, QWidget* propietario)
{
    QFont actual(inicial.nombre);
    if (inicial.tamano > 0)
        actual.setPointSizeF(inicial.tamano);
    actual.setBold(inicial.negrita);
    actual.setItalic(inicial.cursiva);
    // The dialog finds the preset style by its name, and the name it makes up for bold or italic is
    // translated ("Negrita"), so it would miss the face's own "Bold": name the face's style.
    const QStringList estilos = QFontDatabase::styles(inicial.nombre);
    for (const QString& estilo : estilos) {
        const QFont cara = QFontDatabase::font(inicial.nombre, estilo, 12);
        // Oblique faces stand for italic as the editor shows them.
        if (cara.bold() == inicial.negrita && (cara.style() != QFont::StyleNormal) == inicial.cursiva) {
            actual.setStyleName(estilo);
            break;
        }
    }
    // Qt's own dialog, so that its effects group can be left out: strikethrough and underline are not
    // chosen here.
    QFontDialog dialogo(actual, ventanaPara(propietario));
    dialogo.setOption(QFontDialog::DontUseNativeDialog);
    const auto grupos = dialogo.findChildren<QGroupBox*>();
    for (QGroupBox* grupo : grupos) {
        if (!grupo->findChildren<QCheckBox*>().isEmpty())
            grupo->hide();
        else // the sample keeps the height the effects gave its row
            grupo->setMinimumHeight(grupo->fontMetrics().height() * 5);
    }
    if (dialogo.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont elegida = dialogo.selectedFont();
    EleccionFuente eleccion = inicial;
    eleccion.nombre = elegida.family();
    eleccion.tamano = elegida.pointSizeF() > 0 ? elegida.pointSizeF() : inicial.tamano;
    eleccion.negrita = elegida.bold();
    eleccion.cursiva = elegida.italic();
    return eleccion;
}

std::optional<quint32> QtDialogos::color(quint32 inicial, QWidget* propietario)
{
    const QColor elegido
        = QColorDialog::getColor(ColorValue::aColor(inicial, QApplication::palette()), ventanaPara(propietario));
    if (!elegido.isValid())
        return std::nullopt;
    return ColorValue::desdeColor(elegido);
}

std::optional<RangoImpresion> QtDialogos::imprimir(const OpcionesImpresion& opciones, QWidget* propietario)
{
    QPrinter& printer = m_impresora.qprinter();
    QPrintDialog dialogo(&printer, ventanaPara(propietario));
    dialogo.setWindowTitle(opciones.titulo);
    // Printing to a file is not offered, unless no printer is installed: a PDF is then the only way.
    dialogo.setOption(QAbstractPrintDialog::PrintToFile, QPrinterInfo::availablePrinters().isEmpty());
    dialogo.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialogo.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialogo.setOption(QAbstractPrintDialog::PrintSelection, opciones.seleccionPosible);
    dialogo.setPrintRange(opciones.seleccionPosible && opciones.seleccionMarcada ? QAbstractPrintDialog::Selection
                                                                                 : QAbstractPrintDialog::AllPages);
    if (dialogo.exec() != QDialog::Accepted)
        return std::nullopt;
    return opciones.seleccionPosible && printer.printRange() == QPrinter::Selection ? RangoImpresion::Seleccion
                                                                                     : RangoImpresion::Todo;
}

bool QtDialogos::configurarImpresora(const QString& titulo, QWidget* propietario)
{
    QPageSetupDialog dialogo(&m_impresora.qprinter(), ventanaPara(propietario));
    dialogo.setWindowTitle(titulo);
    return dialogo.exec() == QDialog::Accepted;
}
