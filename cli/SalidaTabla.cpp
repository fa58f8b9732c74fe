#include "SalidaTabla.h"

#include <QLocale>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace cli {

SalidaTabla::Dispositivo::Dispositivo(Escribir escribir)
    : escribir_(std::move(escribir))
{
    open(QIODevice::WriteOnly);
}

qint64 SalidaTabla::Dispositivo::writeData(const char* datos, qint64 n)
{
    escribir_(std::string_view(datos, size_t(n)));
    return n;
}

SalidaTabla::SalidaTabla(FormatoTabla formato, const QString& titulo, Escribir escribir)
    : dispositivo_(std::move(escribir))
{
    switch (formato) {
    case FormatoTabla::Csv: escritor_ = std::make_unique<exportar::EscritorCsv>(dispositivo_); break;
    case FormatoTabla::Latex: escritor_ = std::make_unique<exportar::EscritorLatex>(dispositivo_); break;
    case FormatoTabla::Html: escritor_ = std::make_unique<exportar::EscritorHtml>(dispositivo_, titulo); break;
    }
}

SalidaTabla::~SalidaTabla() = default;

void SalidaTabla::empezar(const QStringList& nombres)
{
    textos_.assign(size_t(nombres.size()) + 1, {});
    celdas_.assign(textos_.size(), {});
    textos_[0] = "N\xc2\xba Fila";
    for (qsizetype i = 0; i < nombres.size(); ++i)
        textos_[size_t(i) + 1] = nombres[i].toStdString();
    for (size_t i = 0; i < textos_.size(); ++i)
        celdas_[i] = textos_[i];
    escritor_->empezar(int(textos_.size()));
    escritor_->cabecera(celdas_);
    empezada_ = true;
}

void SalidaTabla::fila(const filas::FuenteFila& fila)
{
    textos_[0] = std::to_string(++numero_);
    celdas_[0] = textos_[0];
    for (int c = 0; c < fila.columnas() && size_t(c) + 1 < textos_.size(); ++c) {
        std::string& t = textos_[size_t(c) + 1];
        t.clear();
        switch (fila.tipo(c)) {
        case filas::TipoCelda::Nulo:
            t = "NULL";
            break;
        case filas::TipoCelda::Entero:
            t = std::to_string(fila.entero(c));
            break;
        case filas::TipoCelda::Real:
            t = QString::number(fila.real(c), 'g', QLocale::FloatingPointShortest).toStdString();
            break;
        case filas::TipoCelda::Texto:
            t.assign(fila.bytes(c));
            break;
        case filas::TipoCelda::Blob: {
            static constexpr char hex[] = "0123456789ABCDEF";
            t = "X'";
            for (char b : fila.bytes(c)) {
                t.push_back(hex[quint8(b) >> 4]);
                t.push_back(hex[quint8(b) & 15]);
            }
            t.push_back('\'');
            break;
        }
        }
        celdas_[size_t(c) + 1] = t;
    }
    escritor_->fila(celdas_);
}

void SalidaTabla::terminar()
{
    if (!empezada_)
        return; // the statement failed before its first row: nothing to close
    escritor_->terminar();
    escritor_->vaciar();
}

} // namespace cli
