#include "Impresora.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include <memory>

namespace {
// A picture that does not say its resolution was taken from a screen of 96 dots an inch.
constexpr double puntosPorMetroPantalla = 96 / 0.0254;
} // namespace

QtImpresora::QtImpresora() = default;
QtImpresora::~QtImpresora() = default;

QPrinter& QtImpresora::qprinter()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void QtImpresora::setSalidaPdf(const QString& ruta)
{
    qprinter().setOutputFormat(QPrinter::PdfFormat);
    qprinter().setOutputFileName(ruta);
}

// Lays the text out on the printer's pages and draws them one by one. QTextDocument::print would do
// the same but cannot tell whether the printer could be opened.
bool QtImpresora::imprimirTexto(const QTextDocument& texto)
{
    QPrinter& printer = qprinter();
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const std::unique_ptr<QTextDocument> copia(texto.clone());
    // Measured at the printer's resolution, a point is a point on paper.
    copia->documentLayout()->setPaintDevice(&printer);
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    copia->setPageSize(area.size());
    const int paginas = copia->pageCount();
    for (int pagina = 0; pagina < paginas; ++pagina) {
        if (pagina > 0 && !printer.newPage())
            return false;
        const QRectF recorte(0, pagina * area.height(), area.width(), area.height());
        painter.save();
        painter.translate(0, -recorte.top());
        copia->drawContents(&painter, recorte);
        painter.restore();
    }
    return painter.end();
}

bool QtImpresora::imprimirImagen(const QImage& imagen)
{
    QPrinter& printer = qprinter();
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const double ppmX = imagen.dotsPerMeterX() > 0 ? imagen.dotsPerMeterX() : puntosPorMetroPantalla;
    const double ppmY = imagen.dotsPerMeterY() > 0 ? imagen.dotsPerMeterY() : puntosPorMetroPantalla;
    const double ancho = imagen.width() / ppmX / 0.0254 * printer.resolution();
    const double alto = imagen.height() / ppmY / 0.0254 * printer.resolution();
    painter.drawImage(QRectF(0, 0, ancho, alto), imagen);
    return painter.end();
}
