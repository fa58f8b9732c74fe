#include "NumeroFilas.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace NumeroFilas {

namespace {

bool esDigito(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

std::variant<qint32, Rechazo> leer(const QString& texto, const QLocale& idioma)
{
    const QString t = texto.trimmed();
    const QString separador = idioma.decimalPoint();
    qsizetype i = 0;
    bool negativo = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negativo = t[i] == u'-';
        ++i;
    }
    QString entera, fraccion;
    while (i < t.size() && esDigito(t[i]))
        entera += t[i++];
    if (t.mid(i, separador.size()) == separador && !separador.isEmpty()) {
        i += separador.size();
        while (i < t.size() && esDigito(t[i]))
            fraccion += t[i++];
    }
    if (i != t.size() || (entera.isEmpty() && fraccion.isEmpty()))
        return Rechazo::NoEsNumero;

    // Leading zeros say nothing; trailing zeros of the fraction neither.
    while (entera.startsWith(u'0'))
        entera.remove(0, 1);
    while (fraccion.endsWith(u'0'))
        fraccion.chop(1);
    if (negativo || (entera.isEmpty() && fraccion.isEmpty()))
        return Rechazo::NoPositivo;

    constexpr qint64 mayor = std::numeric_limits<qint32>::max();
    if (entera.size() > 10)
        return Rechazo::DemasiadoGrande;
    qint64 valor = entera.isEmpty() ? 0 : entera.toLongLong();
    if (!fraccion.isEmpty()) {
        // Above one half rounds up, below it down, and exactly one half goes to the even neighbour.
        const bool mitad = fraccion == u"5"_s;
        const bool masDeMitad = fraccion[0] > u'5' || (fraccion[0] == u'5' && !mitad);
        if (masDeMitad || (mitad && valor % 2 != 0))
            ++valor;
    }
    if (valor > mayor)
        return Rechazo::DemasiadoGrande;
    // A limit of no rows at all is what the positive test is there to keep out.
    if (valor == 0)
        return Rechazo::NoPositivo;
    return qint32(valor);
}

QString mensaje(Rechazo rechazo)
{
    switch (rechazo) {
    case Rechazo::NoEsNumero:
        return u"No ha tecleado un número"_s;
    case Rechazo::NoPositivo:
        return u"El número máximo de tuplas a recuperar debe ser estrictamente MAYOR QUE 0."_s;
    case Rechazo::DemasiadoGrande:
        break;
    }
    return u"El número que ha tecleado no es válido. Probablemente sea demasiado grande y/o contenga "
           "demasiados dígitos."_s;
}

} // namespace NumeroFilas
