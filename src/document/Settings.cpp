#include "document/Settings.h"

bool TSettingsStore::ReadBool(const QString& section, const QString& key, bool fallback) const {
    const QVariant v = Value(section, key);
    if (!v.isValid()) return fallback;
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    bool ok = false;
    const int number = v.toString().trimmed().toInt(&ok);
    return ok ? number != 0 : fallback;
}

int TSettingsStore::ReadInteger(const QString& section, const QString& key, int fallback) const {
    const QVariant v = Value(section, key);
    if (!v.isValid()) return fallback;
    bool ok = false;
    const int number = v.toString().trimmed().toInt(&ok);
    return ok ? number : fallback;
}

QString TSettingsStore::ReadString(const QString& section, const QString& key,
                                   const QString& fallback) const {
    const QVariant v = Value(section, key);
    return v.isValid() ? v.toString() : fallback;
}

void TSettingsStore::WriteBool(const QString& section, const QString& key, bool value) {
    SetValue(section, key, value ? 1 : 0);
}

void TSettingsStore::WriteInteger(const QString& section, const QString& key, int value) {
    SetValue(section, key, value);
}

void TSettingsStore::WriteString(const QString& section, const QString& key, const QString& value) {
    SetValue(section, key, value);
}

QVariant TMemorySettings::Value(const QString& section, const QString& key) const {
    return FValues.value(section + QLatin1Char('\n') + key);
}

void TMemorySettings::SetValue(const QString& section, const QString& key, const QVariant& value) {
    FValues.insert(section + QLatin1Char('\n') + key, value);
}
