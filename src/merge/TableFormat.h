#pragma once

#include "merge/Table.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

enum class TTextEncoding { Utf8, Windows1252, Utf16LE, Utf16BE };

// What a file format keeps from reading a table to writing it back, so that a rewrite does
// not change the file's conventions.
struct TTableFormatState {
    int CodePage = 1252;         // Paradox and dBase: the code page of text
    QByteArray DbfCodePage;      // dBase: the declared code page ("LDID/n" or the .cpg text)
    int PrimaryKeyFields = 0;    // Paradox: leading key fields; records are kept in key order
    TTextEncoding Encoding = TTextEncoding::Utf8; // text
    bool ByteOrderMark = false;  // text
    QByteArray LineEnd = "\r\n"; // text
};

// Reads the records of an open table file when they are needed, so that a table of any
// length costs the memory of one record.
class TRecordCursor {
public:
    virtual ~TRecordCursor() = default;
    virtual size_t Count() const = 0;
    // The record at the index, in file order, with a value for every field. A file changed in
    // place since it was opened gives empty values, never an error.
    virtual TRecordValues Record(size_t index) = 0;
};

struct TTableData {
    TFieldDefs Fields;
    std::vector<TRecordValues> Records; // empty when Cursor reads them
    std::shared_ptr<TRecordCursor> Cursor;
    TTableFormatState State;
    QString ReadOnlyReason; // set when the file holds what cannot be written back
};

// One file format of recipient tables. Implementations are stateless singletons.
class TTableFormat {
public:
    virtual ~TTableFormat() = default;

    // Reads the fields and checks the records; a format may leave the records in the file and
    // give a cursor over them. Raises EDatabaseError, saying why, when the file is missing,
    // unreadable or malformed.
    virtual TTableData Open(const QString& path) const = 0;
    // Open, with every record read.
    TTableData Read(const QString& path) const;
    // Replaces the table's files; each is written to a temporary file and renamed over the
    // old one, so a failure leaves the old files in place.
    virtual void Write(const QString& path, const TTableData& data) const = 0;
    // The definition as this format stores and reads it back.
    virtual TFieldDef Stored(const TFieldDef& field) const = 0;
    // Suffixes of the files that belong with the table file (".PX", ".MB", ".CPG").
    virtual QStringList CompanionSuffixes() const = 0;

    // The format for a file name's extension; null when the extension is not supported.
    static const TTableFormat* ForFile(const QString& fileName);
};

const TTableFormat& ParadoxFormat();
const TTableFormat& DbfFormat();
const TTableFormat& TextFormat();

namespace TableFiles {

// Tables of thousands of records are a few megabytes; anything this large is not a table.
constexpr qint64 MaxTableFileSize = 256 * 1024 * 1024;

// The whole file, checked against MaxTableFileSize before it is read.
QByteArray ReadWhole(const QString& path);
// Writes the file through a temporary file in the same folder and renames it over the old.
void WriteAtomically(const QString& path, const QByteArray& bytes);
// The file in the folder whose name matches without regard to case (tables named in old
// documents may differ in case from the file); the name as given when none matches.
QString ResolveCase(const QString& path);
// The companion file of a table file ("names.DB" + ".PX"), found without regard to case;
// the upper-case spelling when none exists.
QString Companion(const QString& tablePath, const QString& suffix);
// Copies a table file and its companions (those of the format's suffixes that exist) to
// another table file name, each atomically, the table file last; companions the source lacks
// are removed at the destination.
void CopyTable(const TTableFormat& format, const QString& from, const QString& to);

} // namespace TableFiles
