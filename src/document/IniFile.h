#pragma once

#include "document/Settings.h"

#include <QString>
#include <QStringList>

#include <vector>

// The settings file: sections in brackets, one "key=value" per line, kept in the order read
// or written. Keys are compared without regard to case, as in the files users may edit.
class TIniFile : public TSettingsStore {
public:
    TIniFile() = default;
    explicit TIniFile(const QString& fileName) : FFileName(fileName) {}

    QString FileName() const { return FFileName; }
    void SetFileName(const QString& fileName) { FFileName = fileName; }
    // Reads the file; a missing file is an empty one. False when it exists but cannot be read.
    bool Load();
    // Writes the whole file atomically; false on failure (the old file stays).
    bool Save() const;
    void Parse(const QString& text);
    QString Text() const;

    QVariant Value(const QString& section, const QString& key) const override;
    void SetValue(const QString& section, const QString& key, const QVariant& value) override;
    QStringList Keys(const QString& section) const;
    void EraseSection(const QString& section);
    bool HasSection(const QString& section) const;
    // Gives a section another name where it stands; false when it is missing or the new name
    // is taken by another section.
    bool RenameSection(const QString& from, const QString& to);
    // Two sections exchange names, so their contents swap places in the file.
    bool ExchangeSections(const QString& first, const QString& second);

private:
    struct TSection {
        QString Name;
        std::vector<std::pair<QString, QString>> Entries;
    };
    TSection* Find(const QString& section);
    const TSection* Find(const QString& section) const;

    QString FFileName;
    std::vector<TSection> FSections;
};
