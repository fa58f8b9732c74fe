#include "TraduccionServidor.h"

#include "ErrorOra.h"
#include "OraDatabase.h"

#include <QLocale>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace servidor {

QString reconstruirSentencia(const QStringList& filas)
{
    static const QString tokens = u",.=;-+()/*><"_s;
    QString texto;
    bool pegar = false;
    for (qsizetype i = 0; i < filas.size(); ++i) {
        const QString& s = filas[i];
        if (i == 0) {
            texto = s;
        } else if (pegar || (s.size() == 1 && tokens.contains(s[0]))) {
            texto += s;
            pegar = !pegar;
        } else {
            texto += u' ' + s;
        }
    }
    return texto;
}

ResultadoTraduccion traducir(db::OraDatabase& base, const QString& consulta)
{
    auto& p = base.Parameters();
    p.Add(u"NUMERRORES"_s, qint16(0), db::OraParameters::Salida);
    p.Add(u"SELECT_CMD"_s, consulta, db::OraParameters::Entrada);
    const auto desenlazar = qScopeGuard([&] {
        p.Remove(u"NUMERRORES"_s);
        p.Remove(u"SELECT_CMD"_s);
    });
    base.DbExecuteSQL(bloqueTraduccion);
    ResultadoTraduccion r;
    r.errores = qint16(p(u"NUMERRORES"_s).toInt());
    if (r.errores != 0)
        return r;
    const auto filas = base.DbCreateDynaset(consultaTraducida, 0);
    if (filas->RecordCount() == 0)
        throw db::ErrorOra(db::NimboCampoInexistente, u"NIMBO-20102: El servidor no ha dejado ninguna traducción."_s);
    QStringList textos;
    for (; !filas->Eof(); filas->DbMoveNext())
        textos << filas->Fields()(u"atributo"_s).Value().toString();
    r.sql = reconstruirSentencia(textos);
    return r;
}

QStringList erroresDeTraduccion(db::OraDatabase& base)
{
    QStringList mensajes;
    const auto filas = base.DbCreateDynaset(consultaErrores, 0);
    for (; !filas->Eof(); filas->DbMoveNext())
        mensajes << filas->Fields()(u"msg_error"_s).Value().toString();
    return mensajes;
}

} // namespace servidor

namespace servidor {

QString textoSegundos(double segundos, const QLocale& local)
{
    // Every thousand is grouped, also where the locale leaves four-digit numbers whole (Spanish).
    QLocale sinGrupos = local;
    sinGrupos.setNumberOptions(local.numberOptions() | QLocale::OmitGroupSeparator);
    QString texto = sinGrupos.toString(segundos, 'f', 2);
    const qsizetype coma = texto.indexOf(local.decimalPoint());
    const qsizetype inicio = texto.startsWith(local.negativeSign()) ? local.negativeSign().size() : 0;
    for (qsizetype i = (coma < 0 ? texto.size() : coma) - 3; i > inicio; i -= 3)
        texto.insert(i, local.groupSeparator());
    return texto;
}

} // namespace servidor
