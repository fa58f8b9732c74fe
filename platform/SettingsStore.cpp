#include "SettingsStore.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace {
const QString seccion = u"Settings"_s;
QString claveCompleta(const QString& clave)
{
    return seccion + u'/' + clave;
}
} // namespace

QSettingsStore::QSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, u"Nimbo"_s, u"Nimbo"_s))
{
}

QSettingsStore::QSettingsStore(const QString& rutaIni)
    : m_settings(std::make_unique<QSettings>(rutaIni, QSettings::IniFormat))
{
}

QSettingsStore::~QSettingsStore() = default;

QString QSettingsStore::leer(const QString& clave, const QString& porDefecto) const
{
    const QVariant valor = m_settings->value(claveCompleta(clave));
    // A hand-edited list ("a, b") comes back as a string list; it is no value of ours.
    if (!valor.isValid() || valor.typeId() != QMetaType::QString)
        return porDefecto;
    return valor.toString();
}

void QSettingsStore::escribir(const QString& clave, const QString& valor)
{
    m_settings->setValue(claveCompleta(clave), valor);
}

bool QSettingsStore::guardar()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}
