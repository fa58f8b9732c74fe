#include "DialectoOracle.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace db {

namespace {

bool inicioIdentificador(QChar c)
{
    return c.isLetter() || c == u'_';
}
bool parteIdentificador(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
}

// Length of the string, quoted identifier or comment starting at i, or 0 when none starts there.
qsizetype saltoLiteral(const QString& s, qsizetype i)
{
    const QChar c = s[i];
    if (c == u'\'' || c == u'"') {
        qsizetype j = i + 1;
        while (j < s.size()) {
            if (s[j] == c) {
                if (j + 1 < s.size() && s[j + 1] == c) {
                    j += 2;
                    continue;
                }
                return j + 1 - i;
            }
            ++j;
        }
        return s.size() - i;
    }
    if (c == u'-' && i + 1 < s.size() && s[i + 1] == u'-') {
        const qsizetype fin = s.indexOf(u'\n', i);
        return (fin < 0 ? s.size() : fin) - i;
    }
    if (c == u'/' && i + 1 < s.size() && s[i + 1] == u'*') {
        const qsizetype fin = s.indexOf(u"*/"_s, i + 2);
        return (fin < 0 ? s.size() : fin + 2) - i;
    }
    return 0;
}

} // namespace

// LIMIT is an ordinary name for the vendor (USER_RESOURCE_LIMITS has a column LIMIT) and a keyword
// for SQLite: it is a name where a select-list item or a qualified name stands.
static bool limiteComoNombre(const QString& sql, qsizetype fin, const QString& anterior)
{
    if (anterior == u","_s || anterior == u"."_s || anterior == u"("_s
        || anterior.compare(u"SELECT"_s, Qt::CaseInsensitive) == 0
        || anterior.compare(u"DISTINCT"_s, Qt::CaseInsensitive) == 0)
        return true;
    qsizetype j = fin;
    while (j < sql.size() && sql[j].isSpace())
        ++j;
    return (j < sql.size() && sql[j] == u',')
        || QStringView(sql).mid(j, 4).compare(u"FROM"_s, Qt::CaseInsensitive) == 0;
}

QString adaptarIdentificadores(const QString& sql)
{
    if (!sql.contains(u'#') && !sql.contains(u"LIMIT"_s, Qt::CaseInsensitive))
        return sql;
    QString r;
    r.reserve(sql.size() + 8);
    QString anterior;
    qsizetype i = 0;
    while (i < sql.size()) {
        if (const qsizetype n = saltoLiteral(sql, i)) {
            r += QStringView(sql).mid(i, n);
            if (sql[i] == u'\'' || sql[i] == u'"')
                anterior = u"'"_s;
            i += n;
        } else if (inicioIdentificador(sql[i]) && (i == 0 || !parteIdentificador(sql[i - 1]))) {
            qsizetype j = i;
            while (j < sql.size() && parteIdentificador(sql[j]))
                ++j;
            const QString palabra = sql.mid(i, j - i);
            const bool comillas = palabra.contains(u'#')
                || (palabra.compare(u"LIMIT"_s, Qt::CaseInsensitive) == 0 && limiteComoNombre(sql, j, anterior));
            r += comillas ? u'"' + palabra + u'"' : palabra;
            anterior = palabra;
            i = j;
        } else {
            if (!sql[i].isSpace())
                anterior = sql[i];
            r += sql[i++];
        }
    }
    return r;
}

bool esBloque(const QString& sql)
{
    static const QRegularExpression inicio(u"^\\s*(declare|begin)\\b"_s, QRegularExpression::CaseInsensitiveOption);
    return inicio.match(sql).hasMatch();
}

std::optional<LlamadaBloque> analizarBloque(const QString& sql, QString* causa)
{
    static const QRegularExpression forma(
        uR"(^\s*(?:declare\b.*?)?\bbegin\s+(?::(\w+)\s*:=\s*)?(\w+)\s*\.\s*(\w+)\s*(?:\((.*)\))?\s*;\s*end\s*;?\s*$)"_s,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = forma.match(sql);
    if (!m.hasMatch()) {
        if (causa)
            *causa = u"Encountered a block that is not a single package call"_s;
        return std::nullopt;
    }
    LlamadaBloque llamada;
    llamada.salida = m.captured(1).toUpper();
    llamada.paquete = m.captured(2).toUpper();
    llamada.funcion = m.captured(3).toUpper();
    llamada.columna = static_cast<int>(m.capturedStart(2)) + 1;

    // Arguments: binds (:NAME), strings ('...' with '' inside) or numbers, separated by commas.
    static const QRegularExpression argumento(
        uR"(\G\s*(?::(\w+)|'((?:[^']|'')*)'|([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?))\s*(,|$))"_s);
    const QString lista = m.captured(4);
    if (!lista.trimmed().isEmpty()) {
        qsizetype pos = 0;
        while (pos < lista.size()) {
            const auto a = argumento.match(lista, pos);
            if (!a.hasMatch()) {
                if (causa)
                    *causa = u"Encountered an argument that is not a bind variable or a literal"_s;
                return std::nullopt;
            }
            LlamadaBloque::Argumento arg;
            if (a.hasCaptured(1))
                arg.enlace = a.captured(1).toUpper();
            else if (a.hasCaptured(2))
                arg.literal = a.captured(2).replace(u"''"_s, u"'"_s);
            else
                arg.literal = a.captured(3).toDouble();
            llamada.argumentos.append(arg);
            pos = a.capturedEnd(0);
            if (a.captured(4).isEmpty())
                break;
        }
    }
    return llamada;
}

bool variasSentencias(const QString& sql)
{
    qsizetype i = 0;
    bool trasPuntoYComa = false;
    while (i < sql.size()) {
        if (const qsizetype n = saltoLiteral(sql, i)) {
            const QChar c = sql[i];
            if (trasPuntoYComa && (c == u'\'' || c == u'"'))
                return true;
            i += n;
            continue;
        }
        const QChar c = sql[i++];
        if (c == u';')
            trasPuntoYComa = true;
        else if (trasPuntoYComa && !c.isSpace())
            return true;
    }
    return false;
}

bool controlaTransacciones(const QString& sql)
{
    static const QRegularExpression control(u"^(BEGIN|COMMIT|END|ROLLBACK|SAVEPOINT|RELEASE|VACUUM)\\b"_s,
        QRegularExpression::CaseInsensitiveOption);
    // The first word of each statement: what follows the start or a ";", past blanks and comments.
    bool inicio = true;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        const qsizetype n = saltoLiteral(sql, i);
        if (n && c != u'\'' && c != u'"') { // a comment
            i += n;
            continue;
        }
        if (inicio && !c.isSpace()) {
            if (control.match(QStringView(sql).mid(i, 10).toString()).hasMatch())
                return true;
            inicio = false;
        }
        if (n) {
            i += n;
            continue;
        }
        if (c == u';')
            inicio = true;
        ++i;
    }
    return false;
}

} // namespace db
