#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A recipient table as the document sees it: opened by folder, name and type, with a current
// record whose fields are looked up by name without regard to case. The table engine behind
// it is chosen at start-up (TAppContext::RecordSourceFactory).
class TRecordSource {
public:
    enum class TTableType { Default, Paradox, DBase, Ascii };

    virtual ~TRecordSource() = default;

    // Raises an Exception when the table cannot be opened.
    virtual void Open(const QString& folder, const QString& tableName, TTableType type) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual void Refresh() {}

    virtual QStringList FieldNames() const = 0;
    virtual int RecordCount() const = 0;
    // The current record's value of the field as text; nothing when no such field exists.
    virtual std::optional<QString> FieldText(const QString& fieldName) const = 0;

    virtual void First() = 0;
    virtual void Next() = 0;
    virtual void Prior() = 0;
    virtual void Last() = 0;
    virtual bool Bof() const = 0;
    virtual bool Eof() const = 0;
    virtual int RecordNumber() const = 0; // 1-based; 0 when there is no current record
    virtual void MoveTo(int recordNumber) = 0;

    static TTableType TypeForExtension(const QString& fileName);
};

// The link between a card and the user's address book while the card's data source is the
// temporary address table: it writes the table when made, rewrites it whenever the address
// book changes (then tells the card), and deletes the table when destroyed.
class TAddressBookLink {
public:
    virtual ~TAddressBookLink() = default;
    // Opens the address book in the application that edits it (the table is only a copy);
    // says so and returns false when there is none.
    virtual bool OpenInApplication() = 0;
};

// Stands in until a table engine is installed: every open fails.
class TNoRecordSource : public TRecordSource {
public:
    void Open(const QString& folder, const QString& tableName, TTableType type) override;
    void Close() override {}
    bool IsOpen() const override { return false; }
    QStringList FieldNames() const override { return {}; }
    int RecordCount() const override { return 0; }
    std::optional<QString> FieldText(const QString&) const override { return std::nullopt; }
    void First() override {}
    void Next() override {}
    void Prior() override {}
    void Last() override {}
    bool Bof() const override { return true; }
    bool Eof() const override { return true; }
    int RecordNumber() const override { return 0; }
    void MoveTo(int) override {}
};
