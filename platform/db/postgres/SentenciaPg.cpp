#include "SentenciaPg.h"

#include "ErrorOra.h"

using namespace Qt::StringLiterals;

namespace db {

namespace {

bool parteNombre(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
}

// The tag of a dollar quote starting at i ("$$", "$cuerpo$"), or empty when none starts there.
QStringView etiquetaDolar(const QString& s, qsizetype i)
{
    if (s[i] != u'$' || (i > 0 && parteNombre(s[i - 1])))
        return {};
    qsizetype j = i + 1;
    if (j < s.size() && s[j].isDigit())
        return {}; // $1 is a parameter
    while (j < s.size() && (s[j].isLetterOrNumber() || s[j] == u'_'))
        ++j;
    if (j < s.size() && s[j] == u'$')
        return QStringView(s).mid(i, j + 1 - i);
    return {};
}

// Length of the string, quoted identifier, comment or cast operator starting at i; 0 when none does.
qsizetype salto(const QString& s, qsizetype i)
{
    const QChar c = s[i];
    const auto siguiente = [&](qsizetype k) { return k < s.size() ? s[k] : QChar(); };
    if (c == u'\'' || c == u'"') {
        // E'…' strings take backslash escapes.
        const bool barras = c == u'\'' && i > 0 && (s[i - 1] == u'E' || s[i - 1] == u'e')
            && (i < 2 || !parteNombre(s[i - 2]));
        qsizetype j = i + 1;
        while (j < s.size()) {
            if (barras && s[j] == u'\\') {
                j += 2;
                continue;
            }
            if (s[j] == c) {
                if (siguiente(j + 1) == c) {
                    j += 2;
                    continue;
                }
                return j + 1 - i;
            }
            ++j;
        }
        return s.size() - i;
    }
    if (c == u'-' && siguiente(i + 1) == u'-') {
        const qsizetype fin = s.indexOf(u'\n', i);
        return (fin < 0 ? s.size() : fin) - i;
    }
    if (c == u'/' && siguiente(i + 1) == u'*') {
        // PostgreSQL's block comments nest.
        int nivel = 0;
        qsizetype j = i;
        while (j < s.size()) {
            if (s[j] == u'/' && siguiente(j + 1) == u'*') {
                ++nivel;
                j += 2;
            } else if (s[j] == u'*' && siguiente(j + 1) == u'/') {
                j += 2;
                if (--nivel == 0)
                    return j - i;
            } else
                ++j;
        }
        return s.size() - i;
    }
    if (c == u':' && siguiente(i + 1) == u':')
        return 2;
    if (const QStringView etiqueta = etiquetaDolar(s, i); !etiqueta.isEmpty()) {
        const qsizetype fin = s.indexOf(etiqueta, i + etiqueta.size());
        return fin < 0 ? s.size() - i : fin + etiqueta.size() - i;
    }
    return 0;
}

// Calls `enlace(nombre)` for each :NAME of the text and `copia(trozo)` for everything else, in order.
template <typename Copia, typename Enlace> void recorrerEnlaces(const QString& sql, Copia&& copia, Enlace&& enlace)
{
    qsizetype i = 0, desde = 0;
    while (i < sql.size()) {
        if (const qsizetype n = salto(sql, i)) {
            i += n;
            continue;
        }
        if (sql[i] == u':' && i + 1 < sql.size() && (sql[i + 1].isLetter() || sql[i + 1] == u'_')
            && (i == 0 || !parteNombre(sql[i - 1]))) {
            qsizetype j = i + 1;
            while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == u'_'))
                ++j;
            copia(QStringView(sql).mid(desde, i - desde));
            enlace(sql.mid(i + 1, j - i - 1).toUpper());
            i = desde = j;
            continue;
        }
        ++i;
    }
    copia(QStringView(sql).mid(desde));
}

} // namespace

ClaseValor claseDe(const QVariant& v)
{
    if (v.isNull())
        return ClaseValor::Nulo;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::Bool: return ClaseValor::Entero;
    case QMetaType::Double:
    case QMetaType::Float: return ClaseValor::Real;
    default: return ClaseValor::Texto;
    }
}

SentenciaPg numerarEnlaces(const QString& sql)
{
    SentenciaPg r;
    r.texto.reserve(sql.size());
    recorrerEnlaces(
        sql, [&](QStringView trozo) { r.texto += trozo; },
        [&](const QString& nombre) {
            qsizetype n = r.enlaces.indexOf(nombre);
            if (n < 0) {
                n = r.enlaces.size();
                r.enlaces.append(nombre);
            }
            r.texto += u'$' + QString::number(n + 1);
        });
    return r;
}

QString escribirEnlaces(const QString& sql, const Enlaces& enlaces, const std::function<QString(const QString&)>& citar)
{
    QString r;
    r.reserve(sql.size());
    recorrerEnlaces(
        sql, [&](QStringView trozo) { r += trozo; },
        [&](const QString& nombre) {
            const auto it = enlaces.constFind(nombre);
            if (it == enlaces.constEnd())
                throw ErrorOra::variableSinEnlazar(u':' + nombre);
            const QVariant& v = *it;
            switch (claseDe(v)) {
            case ClaseValor::Nulo: r += u"NULL"_s; break;
            case ClaseValor::Entero: r += QString::number(v.toLongLong()); break;
            case ClaseValor::Real: r += u"'%1'::float8"_s.arg(QString::number(v.toDouble(), 'g', 17)); break;
            case ClaseValor::Texto: r += citar(v.toString()); break;
            }
        });
    return r;
}

} // namespace db
