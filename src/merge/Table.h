#pragma once

#include "document/RecordSource.h"
#include "storage/Exception.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

class TRecordCursor;
class TTableFormat;
class TTableLock;
struct TTableFormatState;

// Errors of the table engine; what() is the message shown to the user.
class EDatabaseError : public Exception {
    using Exception::Exception;
};

class EExclusiveAccess : public EDatabaseError {
public:
    EExclusiveAccess()
        : EDatabaseError(QStringLiteral("You do not have exclusive access to the database.")) {}
};

class EFileTypeNotSupported : public EDatabaseError {
public:
    EFileTypeNotSupported() : EDatabaseError(QStringLiteral("File type not supported.")) {}
};

// The field types of the design dialog, in the order of its type list (the code is the
// index). Each file format stores the nearest type it has; see StoredFieldDef.
enum class TFieldType : quint8 {
    String,
    SmallInt,
    Integer,
    Word,
    Boolean,
    Float,
    Currency,
    BCD,
    Date,
    Time,
    DateTime,
    Bytes,
    VarBytes,
    Blob,
    Memo,
    Graphic,
};
constexpr int FieldTypeCount = 16;

QString FieldTypeName(TFieldType type); // "String", "Small Integer", ...
std::optional<TFieldType> FieldTypeFromCode(int code);

// The size rule of the field dialog for a type: types without a size have Min = Max = 0.
struct TFieldSizeRule {
    bool HasSize = false;
    int Min = 0;
    int Max = 0;
    int Default = 0;
};
TFieldSizeRule FieldSizeRule(TFieldType type);

struct TFieldDef {
    QString Name;
    TFieldType Type = TFieldType::String;
    int Size = 0; // characters or bytes for sized types, decimals for BCD, else 0
    bool Required = false;

    bool operator==(const TFieldDef&) const = default;
};
using TFieldDefs = QList<TFieldDef>;

// One record's values in field order. A null value is an invalid QVariant; otherwise the
// value has the field type's C++ kind: QString (String, Memo), int (the integer types),
// bool, double (Float, Currency, BCD), QDate, QTime, QDateTime (UTC: the files keep no time
// zone), QByteArray (the byte types).
using TRecordValues = QList<QVariant>;

// Destination field <- source field, for copying records between tables.
struct TFieldMap {
    QString Destination;
    QString Source;
};
// Parses "Destination=Source" lines; a line without '=' maps a field to its namesake.
QList<TFieldMap> ParseFieldMappings(const QStringList& lines);

// The value converted to the kind of the field type; text is parsed (C locale, ISO dates).
// Raises EDatabaseError naming the field when it does not convert; empty text is null.
QVariant ConvertFieldValue(const QVariant& value, const TFieldDef& field);
// The value as the text that merges show: numbers in the C locale, ISO dates, True/False,
// bytes in hexadecimal; null is empty.
QString FieldValueText(const QVariant& value, TFieldType type);

enum class TCreateMode { FailIfExists, ReplaceExisting };
// What copying records does with a value that does not convert to the destination's type.
enum class TConversion { Strict, NullOnError };

// A recipient table: a Paradox (.DB), dBase (.DBF) or delimited text (.TXT, .CSV) file. A
// Paradox table is read whole when opened; the others are checked when opened and then read
// record by record as they are visited, until a change needs them all. Every change of records (Post, DeleteRecord, AppendFrom, Empty) rewrites
// the file atomically, so a failed write leaves the file as it was. While open, the table
// holds a shared lock, or an exclusive one when Exclusive is set, on a hidden lock file next
// to it; other TTable objects in this or another process respect it.
class TTable final : public TRecordSource {
public:
    enum class TState { Inactive, Browse, Edit, Insert };

    TTable();
    ~TTable() override;
    TTable(const TTable&) = delete;
    TTable& operator=(const TTable&) = delete;

    // Where the table lies. The name includes its extension; the type follows the extension
    // (TTableType::Default or a type that disagrees with the extension is resolved from it).
    void SetTable(const QString& folder, const QString& tableName,
                  TTableType type = TTableType::Default);
    QString Folder() const { return FFolder; }
    QString TableName() const { return FName; }
    QString FilePath() const;
    bool Exists() const;
    // Takes effect at the next Open.
    void SetExclusive(bool exclusive) { FWantExclusive = exclusive; }
    bool Exclusive() const;

    // TRecordSource
    void Open(const QString& folder, const QString& tableName, TTableType type) override;
    void Close() override;
    bool IsOpen() const override { return FState != TState::Inactive; }
    // Re-reads the file when it changed on disk since it was read or written. A pending edit
    // is kept (its values go to the fields of the same names). A file that vanished or no
    // longer reads raises EDatabaseError once; the table keeps what it had until the file
    // changes again.
    void Refresh() override;
    QStringList FieldNames() const override;
    int RecordCount() const override { return int(Count()); }
    std::optional<QString> FieldText(const QString& fieldName) const override;
    void First() override;
    void Next() override;
    void Prior() override;
    void Last() override;
    bool Bof() const override { return FBof; }
    bool Eof() const override { return FEof; }
    int RecordNumber() const override;
    void MoveTo(int recordNumber) override;

    // Opens the table set by SetTable. Raises EFileTypeNotSupported, EExclusiveAccess or
    // EDatabaseError.
    void Open();
    // True when the file holds data this engine cannot write back unchanged (for example
    // fields of a kind it cannot write, or text values longer than their field); changes are
    // then refused.
    bool ReadOnly() const { return !FReadOnlyReason.isEmpty(); }
    QString ReadOnlyReason() const { return FReadOnlyReason; }

    const TFieldDefs& FieldDefs() const { return FFields; }
    int FieldIndex(const QString& fieldName) const; // without regard to case; -1 when absent

    // Creates the table file from field definitions (as the format stores them, see
    // StoredFieldDefs) and leaves the table closed. An existing table is replaced only with
    // ReplaceExisting, and only when nobody has it open.
    void Create(const TFieldDefs& fields, TCreateMode mode = TCreateMode::FailIfExists);
    // Replaces the open table's file by an empty table with these fields, keeping the table
    // open with its lock and the file's conventions (code page, key). Needs an exclusive open.
    void Recreate(const TFieldDefs& fields);
    // The definitions as this table's format would store and read them back.
    TFieldDefs StoredFieldDefs(const TFieldDefs& fields) const;
    // Removes every record. Needs exclusive access (an exclusive open, or nobody else's).
    void Empty();
    // Deletes the table's files. The table must be closed, or open exclusively (it is closed).
    void Delete();
    // Appends the source's records; each destination field takes the mapped source field's
    // value converted to its type, fields no mapping names stay empty (without a mapping,
    // fields are paired by name). One write: a failure appends nothing.
    void AppendFrom(const TTable& source,
                    const std::optional<QList<TFieldMap>>& mapping = std::nullopt,
                    TConversion conversion = TConversion::Strict);
    // Copies the table's files, companions included, to another name in the same folder
    // (replacing a table of that name). The copy is byte for byte, so it keeps everything.
    void CopyFilesTo(const QString& tableName) const;
    // Replaces the open table's files by those of a table of the same type in the same folder
    // (saved by CopyFilesTo) and reads them. Needs an exclusive open.
    void RestoreFilesFrom(const QString& tableName);
    // Writes a new table with this table's fields and records.
    void CopyTo(const QString& folder, const QString& tableName,
                TCreateMode mode = TCreateMode::FailIfExists) const;

    TState State() const { return FState; }
    void Append();
    void Edit();
    void SetFieldValue(const QString& fieldName, const QVariant& value);
    void SetFieldText(const QString& fieldName, const QString& text);
    // The current record's (or the edit buffer's) value; null when there is none.
    QVariant FieldValue(const QString& fieldName) const;
    // Checks required fields and writes the file. On failure the edit stays pending.
    void Post();
    void Cancel();
    void DeleteRecord();

private:
    void RequireType() const;
    void RequireOpen() const;
    void RequireWritable() const;
    void CheckBrowseMode();
    void ReadFile();
    void WriteRecords(std::vector<TRecordValues> records);
    // Runs an operation that needs nobody else to have the table open.
    template <typename F> void WithExclusiveAccess(F&& operation);
    const TRecordValues* CurrentValues() const;
    int RequireField(const QString& fieldName) const;
    size_t Count() const;
    TRecordValues RecordAt(size_t index) const;
    // Reads the records still in the file, before a change rewrites it.
    void LoadRecords();
    void SetFields(TFieldDefs fields);

    QString FFolder, FName;
    TTableType FType = TTableType::Default;
    const TTableFormat* FFormat = nullptr;
    bool FWantExclusive = false;
    std::unique_ptr<TTableLock> FLock;

    TState FState = TState::Inactive;
    TFieldDefs FFields;
    QHash<QString, int> FFieldIndex; // by case-folded name
    std::vector<TRecordValues> FRecords;
    // While set, the records are read from the file through it and FRecords is empty.
    std::shared_ptr<TRecordCursor> FCursor;
    mutable TRecordValues FCursorValues; // the record last read through the cursor
    mutable qint64 FCursorIndex = -1;
    std::shared_ptr<TTableFormatState> FFormatState; // what the format keeps across a rewrite
    QString FReadOnlyReason;
    // What the file was when last read or written; a rename over it changes the inode.
    struct TFileStamp {
        bool Exists = false;
        qint64 Size = -1, Modified = 0;
        quint64 Inode = 0;
        bool operator==(const TFileStamp&) const = default;
    };
    static TFileStamp StampOf(const QString& path);
    void TakeStamp() { FStamp = StampOf(FilePath()); }
    TFileStamp FStamp;

    int FCurrent = -1; // index into FRecords; -1 when empty
    bool FBof = true, FEof = true;
    TRecordValues FBuffer; // the pending edit
};
