#pragma once

#include "storage/Stored.h"

#include <QString>

class TRecordSource;

// A stored object with a name.
class TNamedObject : public TStored {
public:
    QString Name;
    virtual QString GetName() const { return Name; }
    virtual void SetName(const QString& name) { Name = name; }
    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;
};

// A placeholder in a headline's text: a name between brackets at a position (1-based, the
// opening bracket) and the value that replaces it.
class TReplacementText : public TNamedObject {
public:
    qint16 Position = 0;
    virtual QString GetText() const = 0;
    virtual void SetText(const QString&) {}
    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;

protected:
    TReplacementText() = default;
    TReplacementText(const QString& name, int position);
    void AssignTo(TStored& destination) const override;
};

// "[name]": a value the user types once per document (Personalize), saved with it.
class TPersonalizedText : public TReplacementText {
    QDX_STORED_CLASS("TPersonalizedText")
public:
    TPersonalizedText() = default;
    TPersonalizedText(const QString& name, int position) : TReplacementText(name, position) {}
    QString UserValue;
    QString GetText() const override { return UserValue; }
    void SetText(const QString& text) override { UserValue = text; }
    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;

protected:
    void AssignTo(TStored& destination) const override;
};

// "<name>": the field of that name in the current record of the publication's recipient
// table; shows as "<name>" while there is no such field or record.
class TDatabaseText : public TReplacementText {
    QDX_STORED_CLASS("TDatabaseText")
public:
    TDatabaseText() = default;
    TDatabaseText(const QString& name, int position, TRecordSource* table)
        : TReplacementText(name, position), Table(table) {}
    TRecordSource* Table = nullptr; // not owned, not stored
    QString GetText() const override;
};
