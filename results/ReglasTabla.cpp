#include "ReglasTabla.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace ReglasTabla {

QString conCeroDelante(const QString& texto)
{
    if (texto.size() >= 2 && (texto[0] == u',' || texto[0] == u'.') && texto[1] >= u'0' && texto[1] <= u'9')
        return u'0' + texto;
    return texto;
}

QSize tamanoAjustado(QSize twips)
{
    return {std::max(twips.width(), AnchoMinimo), std::max(twips.height(), AltoMinimo)};
}

namespace {

QString segundos(double valor, const QLocale& local)
{
    // At least one integer digit, a group separator every three digits (also in locales that
    // leave four-digit numbers ungrouped), one decimal.
    const QString fijo = QString::number(std::abs(valor), 'f', 1);
    const qsizetype punto = fijo.indexOf(u'.');
    QString entero = fijo.left(punto);
    for (qsizetype i = entero.size() - 3; i > 0; i -= 3)
        entero.insert(i, local.groupSeparator());
    QString salida = entero + local.decimalPoint() + fijo.mid(punto + 1);
    if (valor < 0 && fijo != u"0.0"_s)
        salida.prepend(local.negativeSign());
    return salida;
}

} // namespace

QString textoTiempoTraduccion(double valor, const QLocale& local)
{
    return u"Tiempo Traducción:  "_s + segundos(valor, local) + u"  sgs."_s;
}

QString textoTiempoConsulta(double valor, const QLocale& local)
{
    return u"Tiempo Consulta     :  "_s + segundos(valor, local) + u"  sgs."_s;
}

short a16Bits(int twips)
{
    return short(std::clamp<int>(twips, std::numeric_limits<short>::min(), std::numeric_limits<short>::max()));
}

} // namespace ReglasTabla
