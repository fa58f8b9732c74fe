#include "AjustesEditor.h"

#include "SettingsStore.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace AjustesEditor {

namespace {

const QString claveLeft = u"MainLeft"_s;
const QString claveTop = u"MainTop"_s;
const QString claveForeColor = u"ForeColor"_s;
const QString claveBackColor = u"BackColor"_s;
const QString claveFontName = u"FontName"_s;
const QString claveFontSize = u"FontSize"_s;
const QString claveFontBold = u"FontBold"_s;
const QString claveFontItalic = u"FontItalic"_s;
const QString claveFontStrikethru = u"FontStrikethru"_s;
const QString claveFontUnderline = u"FontUnderline"_s;

// The largest point size the editor accepts.
constexpr double tamanoMaximo = 1638;

std::optional<QString> leerTexto(const SettingsStore& ajustes, const QString& clave)
{
    // A null QString is no stored text, so absence and an empty value can be told apart.
    const QString valor = ajustes.leer(clave, QString());
    if (valor.isNull())
        return std::nullopt;
    return valor.trimmed();
}

int leerEntero(const SettingsStore& ajustes, const QString& clave, int porDefecto)
{
    bool ok = false;
    const int valor = leerTexto(ajustes, clave).value_or(QString()).toInt(&ok);
    return ok ? valor : porDefecto;
}

// Colours are written as signed decimals (system colours are negative); an unsigned one is read too.
quint32 leerColor(const SettingsStore& ajustes, const QString& clave, quint32 porDefecto)
{
    bool ok = false;
    const qlonglong valor = leerTexto(ajustes, clave).value_or(QString()).toLongLong(&ok);
    if (!ok || valor < -0x80000000LL || valor > 0xFFFFFFFFLL)
        return porDefecto;
    return quint32(valor);
}

// Sizes are written with a point; a comma, as a Spanish desktop writes them, is read too.
double leerTamano(const SettingsStore& ajustes, const QString& clave, double porDefecto)
{
    bool ok = false;
    const double valor = leerTexto(ajustes, clave).value_or(QString()).replace(u',', u'.').toDouble(&ok);
    return ok && valor > 0 && valor <= tamanoMaximo ? valor : porDefecto;
}

QString textoVerdad(bool valor)
{
    return valor ? u"True"_s : u"False"_s;
}

bool leerVerdadGuardada(const SettingsStore& ajustes, const QString& clave, bool porDefecto)
{
    return AjustesEditor::leerVerdad(leerTexto(ajustes, clave).value_or(QString()), porDefecto);
}

} // namespace

bool leerVerdad(const QString& texto, bool porDefecto)
{
    if (texto.trimmed().isEmpty())
        return porDefecto;
    return !texto.startsWith(u'F');
}

QPoint leerPosicion(const SettingsStore& ajustes)
{
    return {leerEntero(ajustes, claveLeft, 1000), leerEntero(ajustes, claveTop, 1000)};
}

void escribirPosicion(SettingsStore& ajustes, QPoint twips)
{
    ajustes.escribir(claveLeft, QString::number(twips.x()));
    ajustes.escribir(claveTop, QString::number(twips.y()));
}

AparienciaEditor leerApariencia(const SettingsStore& ajustes)
{
    const AparienciaEditor porDefecto;
    AparienciaEditor a;
    a.colorTexto = leerColor(ajustes, claveForeColor, porDefecto.colorTexto);
    a.colorFondo = leerColor(ajustes, claveBackColor, porDefecto.colorFondo);
    const QString fuente = leerTexto(ajustes, claveFontName).value_or(QString());
    a.fuente = fuente.isEmpty() ? porDefecto.fuente : fuente;
    a.tamano = leerTamano(ajustes, claveFontSize, porDefecto.tamano);
    a.negrita = leerVerdadGuardada(ajustes, claveFontBold, porDefecto.negrita);
    a.cursiva = leerVerdadGuardada(ajustes, claveFontItalic, porDefecto.cursiva);
    a.tachado = leerVerdadGuardada(ajustes, claveFontStrikethru, porDefecto.tachado);
    a.subrayado = leerVerdadGuardada(ajustes, claveFontUnderline, porDefecto.subrayado);
    return a;
}

void escribirApariencia(SettingsStore& ajustes, const AparienciaEditor& a)
{
    ajustes.escribir(claveForeColor, QString::number(qint32(a.colorTexto)));
    ajustes.escribir(claveBackColor, QString::number(qint32(a.colorFondo)));
    ajustes.escribir(claveFontName, a.fuente);
    ajustes.escribir(claveFontSize, QString::number(a.tamano));
    ajustes.escribir(claveFontBold, textoVerdad(a.negrita));
    ajustes.escribir(claveFontItalic, textoVerdad(a.cursiva));
    ajustes.escribir(claveFontStrikethru, textoVerdad(a.tachado));
    ajustes.escribir(claveFontUnderline, textoVerdad(a.subrayado));
}

} // namespace AjustesEditor
