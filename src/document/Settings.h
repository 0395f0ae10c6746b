#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

// The program's settings: sections of named values (defaults of new objects, grid, recent
// files...). The main window backs it with its settings file; tests and batch commands use
// the in-memory store.
class TSettingsStore {
public:
    virtual ~TSettingsStore() = default;
    virtual QVariant Value(const QString& section, const QString& key) const = 0;
    virtual void SetValue(const QString& section, const QString& key, const QVariant& value) = 0;

    bool ReadBool(const QString& section, const QString& key, bool fallback) const;
    int ReadInteger(const QString& section, const QString& key, int fallback) const;
    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    void WriteBool(const QString& section, const QString& key, bool value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteString(const QString& section, const QString& key, const QString& value);
};

class TMemorySettings : public TSettingsStore {
public:
    QVariant Value(const QString& section, const QString& key) const override;
    void SetValue(const QString& section, const QString& key, const QVariant& value) override;

private:
    QHash<QString, QVariant> FValues; // "section\nkey" -> value
};
