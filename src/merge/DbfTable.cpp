#include "merge/TableFormat.h"

#include "merge/CodePage.h"
#include "merge/DbfMemoryFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <string>

#include <shapefil.h>

// dBase tables (.DBF) through shapelib. shapelib reads and writes through file hooks; ours
// keep the files in memory, so the bytes are checked before shapelib sees them and written
// back with an atomic save.
namespace {

struct TDbfCloser {
    void operator()(DBFInfo* handle) const { DBFClose(handle); }
};
using TDbf = std::unique_ptr<DBFInfo, TDbfCloser>;

// Checks and conversions.

[[noreturn]] void Malformed(const QString& path, const char* what) {
    throw EDatabaseError(QStringLiteral("%1 is not a valid dBase table (%2).")
                             .arg(path, QLatin1String(what)));
}

// The header's sizes agree with each other and with the file of fileSize bytes, so that
// only what is there is read. bytes holds at least the header.
void CheckHeader(const QByteArray& bytes, qint64 fileSize, const QString& path) {
    if (bytes.size() < 32) Malformed(path, "too short");
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const quint32 records = qFromLittleEndian<quint32>(data + 4);
    const quint16 headerLength = qFromLittleEndian<quint16>(data + 8);
    const quint16 recordLength = qFromLittleEndian<quint16>(data + 10);
    if (headerLength < 32 + 32 + 1 || headerLength > bytes.size())
        Malformed(path, "bad header length");
    if (recordLength < 1) Malformed(path, "bad record length");
    if (quint64(records) * recordLength > quint64(fileSize - headerLength))
        Malformed(path, "records missing");
    if (records > quint32(std::numeric_limits<int>::max())) Malformed(path, "too many records");
    int width = 1; // the deletion flag
    int fields = 0;
    for (int offset = 32; offset + 32 <= headerLength && data[offset] != 0x0D; offset += 32) {
        width += data[offset + 16];
        ++fields;
    }
    if (fields == 0) Malformed(path, "no fields");
    if (width > recordLength) Malformed(path, "fields wider than the record");
}

struct TDbfColumn {
    char Native = 'C';
    int Width = 0;
    int Decimals = 0;
    int Offset = 0;
};

QByteArray CodePageText(int codePage) {
    return codePage == 1252 ? QByteArray("LDID/3") : QByteArray::number(codePage);
}

int CodePageOf(const QByteArray& declared) {
    int codePage = 0;
    if (declared.startsWith("LDID/"))
        codePage = CodePage::FromDbfLanguageDriver(declared.mid(5).toInt());
    else if (!declared.isEmpty())
        codePage = CodePage::FromCpgText(declared);
    return codePage ? codePage : 1252;
}

TFieldType TypeOf(const TDbfColumn& column) {
    switch (column.Native) {
    case 'C':
        return TFieldType::String;
    case 'L':
        return TFieldType::Boolean;
    case 'D':
        return TFieldType::Date;
    case 'N':
    case 'F':
        if (column.Decimals > 0 || column.Width > 11) return TFieldType::Float;
        return column.Width <= 6 ? TFieldType::SmallInt : TFieldType::Integer;
    case 'M':
        return TFieldType::Memo;
    default:
        return TFieldType::String;
    }
}

QVariant ReadValue(const QByteArray& raw, const TDbfColumn& column, TFieldType type,
                   int codePage) {
    switch (column.Native) {
    case 'L': {
        const char c = raw.trimmed().isEmpty() ? '?' : raw.trimmed()[0];
        if (std::strchr("TtYy", c)) return true;
        if (std::strchr("FfNn", c)) return false;
        return {};
    }
    case 'D': {
        const QDate date = QDate::fromString(QString::fromLatin1(raw.trimmed()), QStringLiteral("yyyyMMdd"));
        return date.isValid() ? QVariant(date) : QVariant();
    }
    case 'N':
    case 'F': {
        const QByteArray text = raw.trimmed();
        bool ok = false;
        if (type == TFieldType::Float) {
            const double value = text.toDouble(&ok);
            return ok ? QVariant(value) : QVariant();
        }
        // Other programs fill wide integer columns beyond 32 bits; such a value is kept as a
        // number rather than lost.
        const qlonglong value = text.toLongLong(&ok);
        if (!ok) {
            const double number = text.toDouble(&ok);
            return ok ? QVariant(number) : QVariant();
        }
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
            return double(value);
        return int(value);
    }
    default: {
        qsizetype end = raw.size();
        while (end > 0 && (raw[end - 1] == ' ' || raw[end - 1] == '\0'))
            --end;
        if (end == 0) return {};
        return CodePage::Decode(raw.left(end), codePage);
    }
    }
}

// The records of a table file, read from it one by one; deleted ones are passed over.
class TDbfCursor final : public TRecordCursor {
public:
    static constexpr size_t IndexStride = 32;

    TDbfCursor(std::unique_ptr<QFile> file, int headerLength, int recordLength, int codePage,
               std::vector<TDbfColumn> columns, TFieldDefs fields)
        : FFile(std::move(file)), FHeaderLength(headerLength), FRecordLength(recordLength),
          FCodePage(codePage), FColumns(std::move(columns)), FFields(std::move(fields)) {}

    // Finds the records that are not deleted.
    void Scan(const QString& path, int records) {
        // Whole records at a time, about a megabyte.
        const qint64 batch = qMax<qint64>(1, (1 << 20) / FRecordLength);
        for (qint64 first = 0; first < records; first += batch) {
            const qint64 count = qMin<qint64>(batch, records - first);
            if (!FFile->seek(FHeaderLength + first * FRecordLength))
                Malformed(path, "records missing");
            const QByteArray bytes = FFile->read(count * FRecordLength);
            if (bytes.size() != count * FRecordLength) Malformed(path, "records missing");
            for (qint64 r = 0; r < count; ++r) {
                if (bytes[qsizetype(r * FRecordLength)] == '*') continue; // deleted
                if (FCount % IndexStride == 0) FStarts.push_back(quint32(first + r));
                ++FCount;
            }
        }
        FPhysical = -1;
    }

    size_t Count() const override { return FCount; }

    TRecordValues Record(size_t index) override {
        TRecordValues values(FFields.size());
        if (index >= FCount) return values;
        if (FPhysical < 0 || index < FNext || index - FNext >= IndexStride) {
            FNext = index / IndexStride * IndexStride;
            FPhysical = FStarts[index / IndexStride];
            FFile->seek(FHeaderLength + FPhysical * FRecordLength);
        }
        QByteArray raw;
        for (;;) {
            raw = FFile->read(FRecordLength);
            ++FPhysical;
            // A file changed in place since the scan may end early: its records are empty.
            if (raw.size() != FRecordLength) {
                FPhysical = -1;
                return values;
            }
            if (raw[0] == '*') continue;
            if (FNext++ == index) break;
        }
        for (qsizetype f = 0; f < FFields.size(); ++f) {
            const TDbfColumn& column = FColumns[size_t(f)];
            if (column.Native == 'M') continue;
            values[f] = ReadValue(raw.mid(column.Offset, column.Width), column, FFields[f].Type,
                                  FCodePage);
        }
        return values;
    }

private:
    std::unique_ptr<QFile> FFile;
    const qint64 FHeaderLength, FRecordLength;
    const int FCodePage;
    const std::vector<TDbfColumn> FColumns;
    const TFieldDefs FFields;
    size_t FCount = 0;
    std::vector<quint32> FStarts; // the file's record number of every IndexStride-th one
    size_t FNext = 0;             // the record read next
    qint64 FPhysical = -1;        // its file record number, where the file stands; -1: unknown
};

class TDbfFormat final : public TTableFormat {
public:
    TTableData Open(const QString& path) const override {
        auto file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::ReadOnly))
            throw EDatabaseError(QStringLiteral("Cannot open the table %1.").arg(path));
        const qint64 fileSize = file->size();
        if (fileSize > TableFiles::MaxTableFileSize)
            throw EDatabaseError(QStringLiteral("The table %1 is too large.").arg(path));
        // shapelib reads the header only: the records are read by the cursor.
        const QByteArray start = file->read(32);
        const int headerLength =
            start.size() == 32 ? qFromLittleEndian<quint16>(start.constData() + 8) : 0;
        const QByteArray bytes = start + file->read(qMax(0, headerLength - 32));
        CheckHeader(bytes, fileSize, path);
        TMemoryScope memory;
        memory.Put("table.dbf", bytes);
        const QString cpg = TableFiles::Companion(path, QStringLiteral(".CPG"));
        if (QFileInfo(cpg).isFile() && QFileInfo(cpg).size() < 256)
            memory.Put("table.cpg", TableFiles::ReadWhole(cpg));
        TDbf dbf(DBFOpenLL("table.dbf", "rb", &memory.Hooks));
        if (!dbf) throw EDatabaseError(QStringLiteral("%1 is not a valid dBase table: %2")
                                           .arg(path, memory.LastError()));

        TTableData data;
        const char* declared = DBFGetCodePage(dbf.get());
        data.State.DbfCodePage = declared ? QByteArray(declared) : QByteArray("LDID/0");
        data.State.CodePage = CodePageOf(data.State.DbfCodePage);
        const int codePage = data.State.CodePage;

        const int fieldCount = DBFGetFieldCount(dbf.get());
        std::vector<TDbfColumn> columns;
        for (int f = 0; f < fieldCount; ++f) {
            char name[XBASE_FLDNAME_LEN_READ + 1] = {};
            int width = 0, decimals = 0;
            DBFGetFieldInfo(dbf.get(), f, name, &width, &decimals);
            TDbfColumn column{DBFGetNativeFieldType(dbf.get(), f), width, decimals,
                              dbf->panFieldOffset[f]};
            if (column.Offset < 0 || column.Offset + column.Width > dbf->nRecordLength)
                Malformed(path, "field outside the record");
            const TFieldType type = TypeOf(column);
            TFieldDef field{CodePage::Decode(QByteArray(name).trimmed(), codePage), type, 0, false};
            if (type == TFieldType::String) field.Size = qBound(1, width, 255);
            if (type == TFieldType::Memo) {
                field.Size = 1;
                // The text lies in a .DBT file we do not read: writing would lose it.
                data.ReadOnlyReason = QStringLiteral(
                    "The table %1 has memo fields, which this program cannot change.").arg(path);
            }
            if (column.Native != 'C' && column.Native != 'N' && column.Native != 'F' &&
                column.Native != 'L' && column.Native != 'D' && column.Native != 'M')
                data.ReadOnlyReason = QStringLiteral(
                    "The table %1 has fields of a kind this program cannot change.").arg(path);
            data.Fields.append(field);
            columns.push_back(column);
        }

        const int records = DBFGetRecordCount(dbf.get());
        auto cursor = std::make_shared<TDbfCursor>(std::move(file), dbf->nHeaderLength,
                                                   dbf->nRecordLength, codePage,
                                                   std::move(columns), data.Fields);
        cursor->Scan(path, records);
        data.Cursor = std::move(cursor);
        return data;
    }

    void Write(const QString& path, const TTableData& data) const override {
        const QByteArray declared =
            data.State.DbfCodePage.isEmpty() ? CodePageText(data.State.CodePage) : data.State.DbfCodePage;
        const int codePage = CodePageOf(declared);
        TMemoryScope memory;
        {
            TDbf dbf(DBFCreateLL("table.dbf", declared.constData(), &memory.Hooks));
            if (!dbf) throw EDatabaseError(QStringLiteral("Cannot create %1: %2").arg(path, memory.LastError()));
            std::vector<TDbfColumn> columns;
            for (const TFieldDef& field : data.Fields) {
                const TDbfColumn column = ColumnFor(field);
                const std::optional<QByteArray> name = CodePage::Encode(field.Name, codePage);
                if (!name || name->isEmpty() || name->size() > XBASE_FLDNAME_LEN_WRITE)
                    throw EDatabaseError(QStringLiteral("'%1' cannot be a dBase field name.").arg(field.Name));
                const int added = DBFAddNativeFieldType(dbf.get(), name->constData(), column.Native,
                                                        column.Width, column.Decimals);
                if (added < 0)
                    throw EDatabaseError(QStringLiteral("Cannot add the field '%1' to %2: %3")
                                             .arg(field.Name, path, memory.LastError()));
                columns.push_back(column);
            }
            int row = 0;
            for (const TRecordValues& record : data.Records) {
                for (int f = 0; f < data.Fields.size(); ++f)
                    WriteValue(dbf.get(), row, f, f < record.size() ? record[f] : QVariant(),
                               data.Fields[f], columns[size_t(f)], codePage);
                ++row;
            }
            if (data.Records.empty()) DBFUpdateHeader(dbf.get());
        }
        const std::optional<QByteArray> table = memory.Get("table.dbf");
        if (!table) throw EDatabaseError(QStringLiteral("Cannot write %1.").arg(path));
        const QString cpgPath = TableFiles::Companion(path, QStringLiteral(".CPG"));
        if (const std::optional<QByteArray> cpg = memory.Get("table.cpg"))
            TableFiles::WriteAtomically(cpgPath, *cpg);
        else if (QFileInfo::exists(cpgPath) && !QFile::remove(cpgPath))
            throw EDatabaseError(QStringLiteral("Cannot delete %1.").arg(cpgPath));
        TableFiles::WriteAtomically(path, *table);
    }

    TFieldDef Stored(const TFieldDef& field) const override {
        TFieldDef stored{field.Name.left(XBASE_FLDNAME_LEN_WRITE), field.Type, 0, false};
        const TDbfColumn column = ColumnFor(field);
        stored.Type = TypeOf(column);
        if (stored.Type == TFieldType::String) stored.Size = column.Width;
        return stored;
    }

    QStringList CompanionSuffixes() const override { return {QStringLiteral(".CPG")}; }

private:
    // The dBase column for a field type; types dBase lacks are kept as text.
    static TDbfColumn ColumnFor(const TFieldDef& field) {
        switch (field.Type) {
        case TFieldType::String:
            return {'C', qBound(1, field.Size, 254)};
        case TFieldType::SmallInt:
            return {'N', 6};
        case TFieldType::Integer:
        case TFieldType::Word:
            return {'N', 11};
        case TFieldType::Boolean:
            return {'L', 1};
        case TFieldType::Float:
            return {'N', 20, 6};
        case TFieldType::Currency:
            return {'N', 20, 4};
        case TFieldType::BCD:
            return {'N', 20, qBound(1, field.Size, 15)};
        case TFieldType::Date:
            return {'D', 8};
        case TFieldType::Time:
            return {'C', 12};
        case TFieldType::DateTime:
            return {'C', 23};
        case TFieldType::Memo:
            return {'C', 254};
        default: // the byte types, in hexadecimal
            return {'C', qBound(2, field.Size > 0 ? 2 * field.Size : 254, 254)};
        }
    }

    static void WriteValue(DBFInfo* dbf, int row, int f, const QVariant& value,
                           const TFieldDef& field, const TDbfColumn& column, int codePage) {
        auto fail = [&](const QString& why) {
            throw EDatabaseError(QStringLiteral("Field '%1': %2").arg(field.Name, why));
        };
        int ok = 0;
        if (!value.isValid()) {
            // Blanks: shapelib's own null is asterisks in number fields, which dBase shows as
            // an overflow.
            char blank[] = "";
            ok = DBFWriteAttributeDirectly(dbf, row, f, blank);
        } else if (column.Native == 'C') {
            const QString text = FieldValueText(value, field.Type);
            const std::optional<QByteArray> bytes = CodePage::Encode(text, codePage);
            if (!bytes)
                fail(QStringLiteral("'%1' has characters that code page %2 cannot hold.")
                         .arg(text)
                         .arg(codePage));
            if (bytes->size() > column.Width)
                fail(QStringLiteral("'%1' is longer than %2 bytes.").arg(text).arg(column.Width));
            ok = DBFWriteStringAttribute(dbf, row, f, bytes->constData());
        } else if (column.Native == 'L') {
            ok = DBFWriteLogicalAttribute(dbf, row, f, value.toBool() ? 'T' : 'F');
        } else if (column.Native == 'D') {
            // shapelib writes dates given as text as "0": the bytes go in directly.
            const QByteArray date = value.toDate().toString(QStringLiteral("yyyyMMdd")).toLatin1();
            if (date.size() != 8) fail(QStringLiteral("the date does not fit."));
            QByteArray copy = date;
            ok = DBFWriteAttributeDirectly(dbf, row, f, copy.data());
        } else if (column.Decimals == 0 && value.typeId() != QMetaType::Double) {
            ok = DBFWriteIntegerAttribute(dbf, row, f, value.toInt());
        } else {
            ok = DBFWriteDoubleAttribute(dbf, row, f, value.toDouble());
        }
        if (!ok) fail(QStringLiteral("the value %1 does not fit.").arg(FieldValueText(value, field.Type)));
    }
};

} // namespace

const TTableFormat& DbfFormat() {
    static const TDbfFormat format;
    return format;
}
