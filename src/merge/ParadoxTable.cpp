#include "merge/TableFormat.h"

#include "merge/CodePage.h"
#include "merge/PxDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

// Paradox tables (.DB, with .PX for a keyed table and .MB for blob data) through pxlib.
// pxlib reads from and writes to in-memory streams; the bytes are checked before pxlib sees
// them and saved atomically afterwards. Known faults of pxlib 0.6.8 are worked around here:
// its .MB reader overruns its stack (blob data is read by our own code), it cannot read back
// the BCD fields it writes (BCD is stored as a number), and it does not recode text it writes
// (text is converted to the code page here).
namespace {

// Paradox counts days from 1 January of the year 1 (day 1); Julian day 1721426 is that date.
constexpr qint64 DayZero = 1721425;
constexpr qint64 MillisecondsPerDay = 86400000;

constexpr int FieldInfoV3 = 0x58; // field types and sizes in tables before version 4
constexpr int FieldInfoV4 = 0x78; // after the header extension of version 4 and later

// pxlib fails to make a document only when it is out of memory.
void RequireStarted(const TPxDocument& px) {
    if (!px.Started()) throw EDatabaseError(QStringLiteral("The Paradox library could not start."));
}

struct TFileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using TFile = std::unique_ptr<FILE, TFileCloser>;

// Checks of the file before pxlib reads it.

quint16 U16(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(b.constData()) + at);
}
qint16 S16(const QByteArray& b, qsizetype at) { return qint16(U16(b, at)); }
quint32 U32(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(b.constData()) + at);
}

[[noreturn]] void Malformed(const QString& path, const char* what) {
    throw EDatabaseError(QStringLiteral("%1 is not a valid Paradox table (%2).")
                             .arg(path, QLatin1String(what)));
}

int FixedSize(int type) {
    switch (type) {
    case pxfDate:
    case pxfLong:
    case pxfTime:
    case pxfAutoInc:
        return 4;
    case pxfShort:
        return 2;
    case pxfCurrency:
    case pxfNumber:
    case pxfTimestamp:
        return 8;
    case pxfLogical:
        return 1;
    case pxfBCD:
        return 17;
    default:
        return 0; // sized: Alpha, Bytes and the blob types
    }
}

bool IsBlob(int type) { return type >= pxfMemoBLOb && type <= pxfGraphic; }
bool IsBinaryBlob(int type) { return type == pxfBLOb || type == pxfGraphic; }

void CheckHeader(const QByteArray& b, const QString& path) {
    if (b.size() < FieldInfoV3) Malformed(path, "too short");
    const int recordSize = U16(b, 0x00);
    const int headerSize = U16(b, 0x02);
    const int fileType = quint8(b[0x04]);
    const int blockKb = quint8(b[0x05]);
    const quint32 records = U32(b, 0x06);
    const int fileBlocks = U16(b, 0x0C);
    const int firstBlock = U16(b, 0x0E);
    const int fields = U16(b, 0x21);
    const int version = quint8(b[0x39]);
    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        Malformed(path, "not a data table");
    // Versions 3 (3.0) to 12 (7.x); pxlib frees memory twice after refusing any other.
    if (version < 3 || version > 12) Malformed(path, "unknown version");
    if (!(blockKb >= 1 && blockKb <= 4) && blockKb != 8 && blockKb != 16 && blockKb != 32)
        Malformed(path, "bad block size");
    const int blockSize = blockKb * 1024;
    if (fields < 1 || fields > 255) Malformed(path, "bad field count");
    if (recordSize < 1 || recordSize > blockSize - 6) Malformed(path, "bad record size");
    const int infoStart = version >= 5 ? FieldInfoV4 : FieldInfoV3;
    const int tableNameSize = version >= 12 ? 261 : 79;
    const qsizetype namesStart = infoStart + 2 * fields + 4 + 4 * fields + tableNameSize;
    if (headerSize > b.size() || namesStart > headerSize) Malformed(path, "bad header size");
    int sum = 0;
    for (int f = 0; f < fields; ++f) {
        const int type = quint8(b[infoStart + 2 * f]);
        const int size = quint8(b[infoStart + 2 * f + 1]);
        const bool known = type == pxfAlpha || type == pxfBytes || IsBlob(type) || FixedSize(type);
        if (!known || size == 0) Malformed(path, "unknown field type");
        if (IsBlob(type) && size < 10) Malformed(path, "bad blob field");
        sum += size;
    }
    if (sum != recordSize) Malformed(path, "fields do not fill the record");
    // The field names: one terminated name per field before the header ends.
    qsizetype at = namesStart;
    for (int f = 0; f < fields; ++f) {
        const qsizetype end = b.indexOf('\0', at);
        if (end < 0 || end >= headerSize) Malformed(path, "field names missing");
        at = end + 1;
    }
    if (qint64(headerSize) + qint64(fileBlocks) * blockSize > b.size())
        Malformed(path, "blocks missing");
    // The chain of data blocks, as pxlib walks it.
    quint64 counted = 0;
    int visited = 0;
    for (int block = records ? firstBlock : 0; block != 0; ++visited) {
        if (block > fileBlocks || visited >= fileBlocks) Malformed(path, "bad block chain");
        const qsizetype start = headerSize + qsizetype(block - 1) * blockSize;
        const int lastOffset = S16(b, start + 4);
        if (lastOffset < -recordSize || lastOffset + recordSize > blockSize - 6)
            Malformed(path, "bad block");
        counted += quint64((lastOffset + recordSize) / recordSize);
        block = U16(b, start);
    }
    if (counted != records) Malformed(path, "record count does not match the blocks");
}

// Blob data.

// Reads one blob from the .MB bytes; nothing when the pointer leads outside the file or to
// a block of the wrong kind.
std::optional<QByteArray> ReadBlob(const QByteArray& mb, quint32 offset, quint32 length) {
    constexpr qsizetype Chunk = 4096;
    const qsizetype block = qsizetype(offset & ~0xFFu);
    const int index = int(offset & 0xFF);
    // The last block may end with its data, short of a whole chunk.
    if (block < Chunk || block + 12 + 64 * 5 > mb.size()) return std::nullopt;
    if (index == 0xFF) {
        // A block of one blob: type 2, size in chunks, length, modification number, data.
        if (quint8(mb[block]) != 2) return std::nullopt;
        const qsizetype data = block + 9;
        if (U32(mb, block + 3) != length || data + qsizetype(length) > mb.size())
            return std::nullopt;
        return mb.mid(data, length);
    }
    // A block shared by small blobs: type 3, then 64 five-byte entries from offset 12 of
    // (offset / 16, 16-byte paragraphs used, modification number, bytes used in the last
    // paragraph). Writers disagree on the last two (1..16 with the paragraphs rounded up, or
    // 0..15 with them rounded down); the record's length decides, the entry must fit it.
    if (quint8(mb[block]) != 3 || index >= 64) return std::nullopt;
    const qsizetype entry = block + 12 + index * 5;
    const qsizetype data = block + qsizetype(quint8(mb[entry])) * 16;
    const quint32 paragraphs = quint8(mb[entry + 1]);
    const quint32 rest = quint8(mb[entry + 4]);
    const bool fits = (paragraphs > 0 && rest >= 1 && rest <= 16 &&
                       (paragraphs - 1) * 16 + rest == length) ||
                      (rest < 16 && paragraphs * 16 + rest == length);
    if (!fits || data + qsizetype(length) > qMin(block + Chunk, mb.size())) return std::nullopt;
    return mb.mid(data, length);
}

// Field types.

TFieldType TypeOf(int native) {
    switch (native) {
    case pxfShort:
        return TFieldType::SmallInt;
    case pxfLong:
    case pxfAutoInc:
        return TFieldType::Integer;
    case pxfCurrency:
        return TFieldType::Currency;
    case pxfNumber:
        return TFieldType::Float;
    case pxfBCD:
        return TFieldType::BCD;
    case pxfDate:
        return TFieldType::Date;
    case pxfTime:
        return TFieldType::Time;
    case pxfTimestamp:
        return TFieldType::DateTime;
    case pxfLogical:
        return TFieldType::Boolean;
    case pxfBytes:
        return TFieldType::Bytes;
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb:
        return TFieldType::Memo;
    case pxfBLOb:
    case pxfOLE:
        return TFieldType::Blob;
    case pxfGraphic:
        return TFieldType::Graphic;
    default:
        return TFieldType::String;
    }
}

struct TPxColumn {
    int Native;
    int Length; // bytes in the record
};

TPxColumn ColumnFor(const TFieldDef& field) {
    switch (field.Type) {
    case TFieldType::String:
        return {pxfAlpha, qBound(1, field.Size, 255)};
    case TFieldType::SmallInt:
        return {pxfShort, 2};
    case TFieldType::Integer:
    case TFieldType::Word: // Paradox has no unsigned type
        return {pxfLong, 4};
    case TFieldType::Boolean:
        return {pxfLogical, 1};
    case TFieldType::Float:
    case TFieldType::BCD: // pxlib cannot read back the BCD fields it writes
        return {pxfNumber, 8};
    case TFieldType::Currency:
        return {pxfCurrency, 8};
    case TFieldType::Date:
        return {pxfDate, 4};
    case TFieldType::Time:
        return {pxfTime, 4};
    case TFieldType::DateTime:
        return {pxfTimestamp, 8};
    case TFieldType::Bytes:
        return {pxfBytes, qBound(1, field.Size, 255)};
    case TFieldType::Memo:
        return {pxfMemoBLOb, qBound(1, field.Size, 240) + 10};
    case TFieldType::Graphic:
        return {pxfGraphic, qBound(0, field.Size, 240) + 10};
    default: // VarBytes, Blob
        return {pxfBLOb, qBound(0, field.Size, 240) + 10};
    }
}

TFieldDef DefinitionOf(const QString& name, int native, int length) {
    TFieldDef field{name, TypeOf(native), 0, false};
    if (native == pxfAlpha || native == pxfBytes) field.Size = length;
    if (IsBlob(native)) field.Size = length - 10;
    if (field.Type == TFieldType::Memo) field.Size = qMax(1, field.Size);
    return field;
}

// Reading.

QVariant ReadValue(TPxDocument& px, char* raw, const TPxColumn& column, const QByteArray& mb,
                   int codePage, bool& unreadable) {
    switch (column.Native) {
    case pxfAlpha: {
        char* text = nullptr;
        const int result = PX_get_data_alpha(px.Doc(), raw, column.Length, &text);
        QByteArray bytes = result > 0 && text ? QByteArray(text) : QByteArray();
        px.Free(text);
        return bytes.isEmpty() ? QVariant() : QVariant(CodePage::Decode(bytes, codePage));
    }
    case pxfShort: {
        // Big-endian with the sign bit flipped; all zero bytes are null.
        const quint16 stored = qFromBigEndian<quint16>(raw);
        return stored ? QVariant(int(qint16(stored ^ 0x8000u))) : QVariant();
    }
    case pxfLong:
    case pxfAutoInc:
    case pxfDate:
    case pxfTime: {
        // Decoded here: pxlib takes the null value (all zero bytes) for -2147483648.
        const quint32 stored = qFromBigEndian<quint32>(raw);
        if (stored == 0) return {};
        const qint32 value = qint32(stored ^ 0x80000000u);
        if (column.Native == pxfDate) {
            const QDate date = QDate::fromJulianDay(value + DayZero);
            return date.isValid() ? QVariant(date) : QVariant();
        }
        if (column.Native == pxfTime) {
            const QTime time = QTime::fromMSecsSinceStartOfDay(int(value));
            return time.isValid() ? QVariant(time) : QVariant();
        }
        return int(value);
    }
    case pxfCurrency:
    case pxfNumber:
    case pxfTimestamp: {
        double value = 0;
        if (PX_get_data_double(px.Doc(), raw, 8, &value) <= 0) return {};
        if (column.Native != pxfTimestamp) return value;
        const qint64 ms = qint64(value);
        const QDate date = QDate::fromJulianDay(ms / MillisecondsPerDay + DayZero);
        const QTime time = QTime::fromMSecsSinceStartOfDay(int(ms % MillisecondsPerDay));
        if (!date.isValid() || !time.isValid()) return {};
        return QDateTime(date, time, Qt::UTC);
    }
    case pxfLogical: {
        const auto byte = quint8(raw[0]);
        if (byte == 0) return {};
        return (byte & 0x7F) != 0;
    }
    case pxfBCD: {
        char* text = nullptr;
        const int result = PX_get_data_bcd(px.Doc(), reinterpret_cast<unsigned char*>(raw), 0, &text);
        const QByteArray bytes = result > 0 && text ? QByteArray(text) : QByteArray();
        px.Free(text);
        bool ok = false;
        const double value = bytes.toDouble(&ok);
        return ok ? QVariant(value) : QVariant();
    }
    case pxfBytes: {
        const QByteArray bytes(raw, column.Length);
        return bytes.count('\0') == bytes.size() ? QVariant() : QVariant(bytes);
    }
    default: {
        // A blob: its first bytes in the record, then offset, length and modification number.
        const int leader = column.Length - 10;
        const quint32 offset = qFromLittleEndian<quint32>(raw + leader);
        const quint32 length = qFromLittleEndian<quint32>(raw + leader + 4);
        if (length == 0) return {};
        QByteArray bytes;
        if (length <= quint32(leader)) {
            bytes = QByteArray(raw, length);
        } else if (const std::optional<QByteArray> blob = ReadBlob(mb, offset, length)) {
            bytes = *blob;
        } else {
            unreadable = true;
            return {};
        }
        if (column.Native == pxfMemoBLOb || column.Native == pxfFmtMemoBLOb)
            return CodePage::Decode(bytes, codePage);
        return bytes;
    }
    }
}

TFile OpenMemory(QByteArray& bytes) {
    TFile file(fmemopen(bytes.data(), size_t(bytes.size()), "rb"));
    if (!file) throw EDatabaseError(QStringLiteral("Out of memory reading a Paradox table."));
    return file;
}

QByteArray ReadBack(FILE* file) {
    std::fflush(file);
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    if (size < 0 || size > TableFiles::MaxTableFileSize)
        throw EDatabaseError(QStringLiteral("Cannot write the Paradox table."));
    QByteArray bytes(size, Qt::Uninitialized);
    std::rewind(file);
    if (std::fread(bytes.data(), 1, size_t(size), file) != size_t(size))
        throw EDatabaseError(QStringLiteral("Cannot write the Paradox table."));
    return bytes;
}

// Writing.

int CompareKeys(const QVariant& a, const QVariant& b) {
    if (!a.isValid() || !b.isValid()) return int(a.isValid()) - int(b.isValid());
    if (a.typeId() == QMetaType::QString) return a.toString().compare(b.toString());
    const QPartialOrdering order = QVariant::compare(a, b);
    return order == QPartialOrdering::Less ? -1 : order == QPartialOrdering::Greater ? 1 : 0;
}

// Text of a value in the table's code page, refused when it does not fit.
QByteArray Encoded(const QString& text, const TFieldDef& field, int codePage, int limit) {
    const std::optional<QByteArray> bytes = CodePage::Encode(text, codePage);
    if (!bytes)
        throw EDatabaseError(QStringLiteral("Field '%1': '%2' has characters that code page %3 "
                                            "cannot hold.")
                                 .arg(field.Name, text)
                                 .arg(codePage));
    if (limit > 0 && bytes->size() > limit)
        throw EDatabaseError(QStringLiteral("Field '%1': '%2' is longer than %3 bytes.")
                                 .arg(field.Name, text)
                                 .arg(limit));
    return *bytes;
}

// The table file pxlib wrote into memory: the header and the blocks it counts.
QByteArray WrittenTable(FILE* file, const QByteArray& memory, const QString& path) {
    if (std::fflush(file) != 0 || std::ferror(file))
        throw EDatabaseError(QStringLiteral("Cannot write %1.").arg(path));
    const qint64 size = qint64(U16(memory, 0x02)) +
                        qint64(U16(memory, 0x0C)) * quint8(memory[0x05]) * 1024;
    if (size < FieldInfoV3 || size > memory.size())
        throw EDatabaseError(QStringLiteral("Cannot write %1.").arg(path));
    return memory.left(size);
}

// Gives the fields written as memos for pxlib their binary blob types in the header.
void SetBinaryBlobTypes(QByteArray& table, const std::vector<TPxColumn>& columns,
                        const QString& path) {
    if (table.size() < FieldInfoV3) throw EDatabaseError(QStringLiteral("Cannot write %1.").arg(path));
    const int version = quint8(table[0x39]);
    const qsizetype info = version >= 5 ? FieldInfoV4 : FieldInfoV3;
    if (info + 2 * qsizetype(columns.size()) > table.size())
        throw EDatabaseError(QStringLiteral("Cannot write %1.").arg(path));
    for (size_t f = 0; f < columns.size(); ++f) {
        char& type = table[info + 2 * qsizetype(f)];
        if (IsBinaryBlob(columns[f].Native) && quint8(type) == pxfMemoBLOb)
            type = char(columns[f].Native);
    }
}

class TParadoxFormat final : public TTableFormat {
public:
    TTableData Open(const QString& path) const override {
        QByteArray bytes = TableFiles::ReadWhole(path);
        CheckHeader(bytes, path);
        TTableData data;
        TPxDocument px;
        RequireStarted(px);
        TFile file = OpenMemory(bytes);
        if (PX_open_fp(px.Doc(), file.get()) < 0) {
            px.Abandon();
            throw EDatabaseError(QStringLiteral("%1 is not a valid Paradox table: %2")
                                     .arg(path, px.LastError()));
        }
        px.SetOpen();

        float codePage = 0;
        PX_get_value(px.Doc(), "codepage", &codePage);
        data.State.CodePage = CodePage::IsSupported(int(codePage)) ? int(codePage) : 1252;
        data.State.PrimaryKeyFields = qMax(0, px.Doc()->px_head->px_primarykeyfields);

        const int fieldCount = PX_get_num_fields(px.Doc());
        const pxfield_t* fields = PX_get_fields(px.Doc());
        std::vector<TPxColumn> columns;
        bool hasBlobs = false;
        for (int f = 0; f < fieldCount; ++f) {
            const TPxColumn column{quint8(fields[f].px_ftype), fields[f].px_flen};
            const QString name = CodePage::Decode(QByteArray(fields[f].px_fname), data.State.CodePage);
            data.Fields.append(DefinitionOf(name, column.Native, column.Length));
            columns.push_back(column);
            hasBlobs = hasBlobs || IsBlob(column.Native);
            if (column.Native == pxfAutoInc || column.Native == pxfBCD ||
                column.Native == pxfFmtMemoBLOb || column.Native == pxfOLE)
                data.ReadOnlyReason = QStringLiteral(
                    "The table %1 has fields of a kind this program cannot change.").arg(path);
        }
        QByteArray mb;
        QString mbPath;
        bool mbMissing = false;
        if (hasBlobs) {
            mbPath = TableFiles::Companion(path, QStringLiteral(".MB"));
            mbMissing = !QFileInfo::exists(mbPath);
            if (!mbMissing) mb = TableFiles::ReadWhole(mbPath);
        }

        const int records = PX_get_num_records(px.Doc());
        const int recordSize = PX_get_recordsize(px.Doc());
        QByteArray record(recordSize, '\0');
        bool unreadable = false;
        data.Records.reserve(size_t(records));
        for (int r = 0; r < records; ++r) {
            if (!PX_get_record(px.Doc(), r, record.data()))
                throw EDatabaseError(QStringLiteral("Record %1 of %2 cannot be read.").arg(r + 1).arg(path));
            TRecordValues values(fieldCount);
            int at = 0;
            for (int f = 0; f < fieldCount; ++f) {
                values[f] = ReadValue(px, record.data() + at, columns[size_t(f)], mb,
                                      data.State.CodePage, unreadable);
                at += columns[size_t(f)].Length;
                // Printing without the notes would lose them without a word.
                if (unreadable && mbMissing)
                    throw EDatabaseError(
                        QStringLiteral("The memo file %1 is missing.").arg(mbPath));
                if (unreadable)
                    throw EDatabaseError(
                        QStringLiteral("The memo file %1 is damaged: field %2 of record %3 "
                                       "cannot be read.")
                            .arg(mbPath, data.Fields[f].Name)
                            .arg(r + 1));
            }
            data.Records.push_back(std::move(values));
        }
        return data;
    }

    void Write(const QString& path, const TTableData& data) const override {
        const int codePage = data.State.CodePage;
        const int keys = std::min<int>(data.State.PrimaryKeyFields, int(data.Fields.size()));
        // A keyed table keeps its records in key order, without duplicate keys.
        std::vector<const TRecordValues*> order;
        for (const TRecordValues& record : data.Records)
            order.push_back(&record);
        auto compare = [&](const TRecordValues* a, const TRecordValues* b) {
            for (int k = 0; k < keys; ++k)
                if (const int c = CompareKeys(a->value(k), b->value(k))) return c;
            return 0;
        };
        if (keys > 0) {
            std::stable_sort(order.begin(), order.end(),
                             [&](auto* a, auto* b) { return compare(a, b) < 0; });
            for (size_t i = 1; i < order.size(); ++i)
                if (compare(order[i - 1], order[i]) == 0)
                    throw EDatabaseError(QStringLiteral("Key violation."));
        }

        std::vector<TPxColumn> columns;
        bool hasBlobs = false;
        for (const TFieldDef& field : data.Fields) {
            columns.push_back(ColumnFor(field));
            hasBlobs = hasBlobs || IsBlob(columns.back().Native);
        }

        // The table is built in memory: pxlib rewrites its header field by field after every
        // record, hundreds of seeks that a file turns into system calls. A block holds at least
        // one record and wastes less than one, so twice the records' bytes and room for the
        // header and two blocks of the largest size bound the file.
        qint64 recordSize = 0;
        for (const TPxColumn& column : columns) recordSize += column.Length;
        const qint64 bound = 2 * qint64(order.size()) * recordSize + 256 * 1024;
        if (bound > 2 * TableFiles::MaxTableFileSize)
            throw EDatabaseError(QStringLiteral("The table %1 would be too large.").arg(path));
        QByteArray memory(bound, '\0');
        TFile tableFile(fmemopen(memory.data(), size_t(memory.size()), "w+")), blobFile, indexFile;
        if (!tableFile) throw EDatabaseError(QStringLiteral("Cannot write %1.").arg(path));
        {
            // The names first: nothing may throw between allocating the fields and handing
            // them to pxlib.
            std::vector<QByteArray> names;
            for (const TFieldDef& field : data.Fields)
                names.push_back(Encoded(field.Name, field, codePage, 25));
            TPxDocument table;
            RequireStarted(table);
            pxfield_t* fields = table.NewFields(int(columns.size()));
            if (!fields) throw EDatabaseError(QStringLiteral("Cannot write %1.").arg(path));
            for (int f = 0; f < data.Fields.size(); ++f) {
                const QByteArray& name = names[size_t(f)];
                fields[f].px_fname = table.Copy(name.isEmpty() ? "?" : name.constData());
                fields[f].px_ftype = char(IsBinaryBlob(columns[size_t(f)].Native)
                                              ? pxfMemoBLOb
                                              : columns[size_t(f)].Native);
                fields[f].px_flen = columns[size_t(f)].Length;
                fields[f].px_fdc = 0;
            }
            if (PX_create_fp(table.Doc(), fields, int(columns.size()), tableFile.get(),
                             keys > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB) < 0)
                throw EDatabaseError(QStringLiteral("Cannot create %1: %2").arg(path, table.LastError()));
            table.SetOpen();
            const QByteArray tableName = QFileInfo(path).completeBaseName().toLatin1();
            PX_set_parameter(table.Doc(), "tablename", tableName.constData());
            PX_set_value(table.Doc(), "codepage", float(codePage));
            PX_set_value(table.Doc(), "numprimkeys", float(keys));
            if (hasBlobs) {
                blobFile.reset(std::tmpfile());
                if (!blobFile || PX_set_blob_fp(table.Doc(), blobFile.get()) < 0)
                    throw EDatabaseError(QStringLiteral("Cannot write the blob file of %1.").arg(path));
            }
            QByteArray buffer(recordSize, '\0');
            int position = 0;
            for (const TRecordValues* record : order)
                Put(table, data.Fields, columns, *record, codePage, position++, buffer);
            if (keys > 0) {
                // Written from the still-open table: from a reopened one pxlib gives the index
                // a file type it rejects itself.
                indexFile.reset(std::tmpfile());
                TPxDocument index;
                RequireStarted(index);
                pxfield_t* keyFields = index.NewFields(keys);
                if (!keyFields) throw EDatabaseError(QStringLiteral("Cannot write %1.").arg(path));
                for (int k = 0; k < keys; ++k) {
                    keyFields[k] = fields[k];
                    keyFields[k].px_fname = index.Copy(fields[k].px_fname);
                }
                if (!indexFile ||
                    PX_create_fp(index.Doc(), keyFields, keys, indexFile.get(), pxfFileTypPrimIndex) < 0)
                    throw EDatabaseError(QStringLiteral("Cannot create the index of %1.").arg(path));
                index.SetOpen();
                if (PX_write_primary_index(table.Doc(), index.Doc()) < 0)
                    throw EDatabaseError(QStringLiteral("Cannot write the index of %1.").arg(path));
            }
        }
        QByteArray tableBytes = WrittenTable(tableFile.get(), memory, path);
        SetBinaryBlobTypes(tableBytes, columns, path);
        const QString indexPath = TableFiles::Companion(path, QStringLiteral(".PX"));
        const QString blobPath = TableFiles::Companion(path, QStringLiteral(".MB"));
        // The companions first: a table file never points into blob data that is not there.
        if (blobFile) TableFiles::WriteAtomically(blobPath, ReadBack(blobFile.get()));
        if (indexFile) TableFiles::WriteAtomically(indexPath, ReadBack(indexFile.get()));
        TableFiles::WriteAtomically(path, tableBytes);
        for (const auto& [written, companion] : {std::pair{bool(blobFile), blobPath},
                                                 std::pair{bool(indexFile), indexPath}})
            if (!written && QFileInfo::exists(companion)) QFile::remove(companion);
    }

    TFieldDef Stored(const TFieldDef& field) const override {
        const TPxColumn column = ColumnFor(field);
        // Required is a validity check of the table's .VAL file, which is not written.
        return DefinitionOf(field.Name.left(25), column.Native, column.Length);
    }

    QStringList CompanionSuffixes() const override {
        return {QStringLiteral(".PX"), QStringLiteral(".MB")};
    }

private:
    // Builds the record's bytes and stores it at its position. (PX_insert_record looks for a
    // free slot by reading the file back for every record, which took seconds for a few
    // thousand wide records.) A field left all zero is null.
    static void Put(TPxDocument& table, const TFieldDefs& fields, const std::vector<TPxColumn>& columns,
                    const TRecordValues& record, int codePage, int position, QByteArray& buffer) {
        buffer.fill('\0');
        char* at = buffer.data();
        for (size_t f = 0; f < columns.size(); at += columns[f].Length, ++f) {
            const TFieldDef& field = fields[qsizetype(f)];
            const int native = columns[f].Native;
            const int length = columns[f].Length;
            const QVariant value = record.value(qsizetype(f));
            if (!value.isValid()) continue;
            switch (native) {
            case pxfAlpha: {
                QByteArray text = Encoded(value.toString(), field, codePage, length);
                PX_put_data_alpha(table.Doc(), at, length, text.data());
                break;
            }
            case pxfBytes: {
                QByteArray bytes = value.toByteArray().leftJustified(length, '\0', true);
                PX_put_data_bytes(table.Doc(), at, length, bytes.data());
                break;
            }
            case pxfMemoBLOb:
            case pxfBLOb:
            case pxfGraphic: {
                // Binary blobs lie in the .MB file just as memos do (the fields are made as
                // memos for pxlib and get their type afterwards).
                QByteArray bytes = native == pxfMemoBLOb
                                       ? Encoded(value.toString(), field, codePage, 0)
                                       : value.toByteArray();
                if (bytes.isEmpty()) break;
                if (PX_put_data_blob(table.Doc(), at, length, bytes.data(), int(bytes.size())) < 0)
                    throw EDatabaseError(QStringLiteral("Cannot write the blob data of field '%1'.")
                                             .arg(field.Name));
                break;
            }
            case pxfShort:
                PX_put_data_short(table.Doc(), at, length, short(value.toInt()));
                break;
            case pxfLong:
                PX_put_data_long(table.Doc(), at, length, value.toInt());
                break;
            case pxfLogical:
                PX_put_data_byte(table.Doc(), at, length, value.toBool() ? 1 : 0);
                break;
            case pxfDate:
                PX_put_data_long(table.Doc(), at, length, int(value.toDate().toJulianDay() - DayZero));
                break;
            case pxfTime:
                PX_put_data_long(table.Doc(), at, length, value.toTime().msecsSinceStartOfDay());
                break;
            case pxfTimestamp: {
                const QDateTime stamp = value.toDateTime();
                PX_put_data_double(table.Doc(), at, length,
                                   double((stamp.date().toJulianDay() - DayZero) * MillisecondsPerDay +
                                          stamp.time().msecsSinceStartOfDay()));
                break;
            }
            default:
                PX_put_data_double(table.Doc(), at, length, value.toDouble());
                break;
            }
        }
        if (PX_put_recordn(table.Doc(), buffer.data(), position) < 0)
            throw EDatabaseError(QStringLiteral("Cannot write a record: %1").arg(table.LastError()));
    }
};

} // namespace

const TTableFormat& ParadoxFormat() {
    static const TParadoxFormat format;
    return format;
}
