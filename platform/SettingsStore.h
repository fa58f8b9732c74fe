#pragma once

#include <QString>

#include <memory>

class QSettings;

// The per-user settings store: text values by key, in the program's own section.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString leer(const QString& clave, const QString& porDefecto) const = 0;
    virtual void escribir(const QString& clave, const QString& valor) = 0;
    // Writes what is pending to the store; false when it could not be written (no access, disk full).
    virtual bool guardar() = 0;
};

// Settings kept by QSettings in an INI file: the user's "Nimbo" settings, or a file of one's choosing.
class QSettingsStore final : public SettingsStore {
public:
    // The user's settings: organisation and application "Nimbo", section "Settings".
    QSettingsStore();
    // The same layout in the given INI file.
    explicit QSettingsStore(const QString& rutaIni);
    ~QSettingsStore() override;

    QString leer(const QString& clave, const QString& porDefecto) const override;
    void escribir(const QString& clave, const QString& valor) override;
    bool guardar() override;

private:
    std::unique_ptr<QSettings> m_settings;
};
