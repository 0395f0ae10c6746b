#include "merge/TableFormat.h"

#include "merge/CodePage.h"
#include "storage/TextCodec.h"

#include <QBuffer>
#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include <csv.h>

#include <limits>
#include <memory>
#include <optional>

// Delimited text tables (.TXT, .CSV): a header line of field names, then one line per record,
// fields separated by commas and double-quoted where they hold commas, quotes or line
// breaks. The file keeps no types: every field is text of at most 255 characters.
//
// The file is read record by record and never whole: opening it checks every record and
// notes where some of them begin, and a record is parsed again from there when it is needed.
// The rules are those of libcsv, which writes the files: values are trimmed of spaces and
// tabs outside quotes, a stray quote inside an unquoted value (O"Brien) is taken as written,
// blank lines are skipped, and CR, LF and CR LF all end a record.
namespace {

constexpr int TextFieldSize = 255;
// Bytes kept of a value while reading: enough for 255 characters of any UTF-8.
constexpr qsizetype KeptBytes = 4 * TextFieldSize;
constexpr qint64 ChunkSize = 64 * 1024;
// Every so many records the cursor keeps where one begins.
constexpr size_t IndexStride = 32;

struct TCell {
    QByteArray Bytes; // the value's first KeptBytes bytes
    qint64 Length = 0;
    void Add(char c) {
        if (Length++ < KeptBytes) Bytes.append(c);
    }
    void Drop(qint64 count) {
        Length = qMax<qint64>(0, Length - count);
        if (Bytes.size() > Length) Bytes.truncate(qsizetype(Length));
    }
    void Clear() {
        Bytes.resize(0);
        Length = 0;
    }
};

// Splits the text of a device into records of cells, one record per call.
class TCsvScanner {
public:
    explicit TCsvScanner(QIODevice& device) : FDevice(device) {}

    void Seek(qint64 offset) {
        FDevice.seek(offset);
        FBuffer.clear();
        FAt = 0;
        FBase = offset;
        FPreviousCR = false;
        FUnterminated.reset();
        FReadError = false;
    }

    // The next record; false at the end of the text or when a quoted value never ends.
    bool NextRow();

    qsizetype CellCount() const { return FCount; }
    const TCell& Cell(qsizetype index) const { return FCells[size_t(index)]; }
    qint64 RowStart() const { return FRowStart; }
    int RowLine() const { return FRowLine; }
    // The line of the quote that opened a value the text ended in.
    std::optional<int> UnterminatedQuote() const { return FUnterminated; }
    bool ReadError() const { return FReadError; }

private:
    bool Fill() {
        FBase += FBuffer.size();
        FBuffer = FDevice.read(ChunkSize);
        FAt = 0;
        if (FBuffer.isEmpty() && !FDevice.atEnd()) FReadError = true;
        return !FBuffer.isEmpty();
    }
    TCell& Open() {
        if (size_t(FCount) == FCells.size()) FCells.emplace_back();
        TCell& cell = FCells[size_t(FCount++)];
        cell.Clear();
        return cell;
    }

    QIODevice& FDevice;
    QByteArray FBuffer;
    qsizetype FAt = 0;
    qint64 FBase = 0; // the device position of FBuffer[0]
    int FLine = 1;
    bool FPreviousCR = false;
    std::vector<TCell> FCells;
    qsizetype FCount = 0;
    qint64 FRowStart = 0;
    int FRowLine = 1;
    std::optional<int> FUnterminated;
    bool FReadError = false;
};

bool TCsvScanner::NextRow() {
    enum { RowNotBegun, FieldNotBegun, FieldBegun, MightHaveEnded } state = RowNotBegun;
    FCount = 0;
    TCell* cell = nullptr;
    bool quoted = false;
    qint64 spaces = 0; // unquoted white space at the end of the value, or after its quote
    int quoteLine = 0;
    auto submit = [&] {
        if (!quoted) cell->Drop(spaces);
        cell = nullptr;
        quoted = false;
        spaces = 0;
        state = FieldNotBegun;
    };
    for (;;) {
        if (FAt == FBuffer.size() && !Fill()) break;
        const char c = FBuffer[FAt];
        const qint64 position = FBase + FAt;
        ++FAt;
        const int line = FLine;
        if (c == '\n') {
            if (!FPreviousCR) ++FLine;
            FPreviousCR = false;
        } else {
            if (c == '\r') ++FLine;
            FPreviousCR = c == '\r';
        }
        const bool space = c == ' ' || c == '\t';
        const bool end = c == '\r' || c == '\n';
        switch (state) {
        case RowNotBegun:
        case FieldNotBegun:
            if (space) break;
            if (end) {
                if (state == RowNotBegun) break; // a blank line, or the LF of CR LF
                cell = &Open();
                submit();
                return true;
            }
            if (state == RowNotBegun) {
                FRowStart = position;
                FRowLine = line;
            }
            cell = &Open();
            if (c == ',') {
                submit();
            } else if (c == '"') {
                state = FieldBegun;
                quoted = true;
                quoteLine = line;
            } else {
                state = FieldBegun;
                cell->Add(c);
            }
            break;
        case FieldBegun:
            if (c == '"') {
                cell->Add(c);
                if (quoted)
                    state = MightHaveEnded;
                else
                    spaces = 0;
            } else if (c == ',' && !quoted) {
                submit();
            } else if (end && !quoted) {
                submit();
                return true;
            } else {
                cell->Add(c);
                if (!quoted) spaces = space ? spaces + 1 : 0;
            }
            break;
        case MightHaveEnded:
            // After a quote inside a quoted value: the value's end, or a doubled quote.
            if (c == ',' || end) {
                cell->Drop(spaces + 1);
                submit();
                if (end) return true;
            } else if (space) {
                cell->Add(c);
                ++spaces;
            } else if (c == '"') {
                if (spaces) {
                    cell->Add(c);
                    spaces = 0;
                } else {
                    state = FieldBegun;
                }
            } else {
                state = FieldBegun;
                spaces = 0;
                cell->Add(c);
            }
            break;
        }
    }
    switch (state) {
    case RowNotBegun:
        return false;
    case FieldBegun:
        if (quoted) {
            FUnterminated = quoteLine;
            return false;
        }
        break;
    case MightHaveEnded:
        cell->Drop(spaces + 1);
        break;
    case FieldNotBegun:
        cell = &Open();
        break;
    }
    submit();
    return true;
}

// Strict UTF-8, fed in pieces.
class TUtf8Check {
public:
    void Feed(QByteArrayView bytes) {
        for (const char ch : bytes) {
            if (!FValid) return;
            const auto b = quint8(ch);
            if (FPending > 0) {
                if ((b & 0xC0) != 0x80 || (FLow && b < FLow) || (FHigh && b > FHigh)) {
                    FValid = false;
                    return;
                }
                FLow = FHigh = 0;
                --FPending;
                continue;
            }
            if (b < 0x80) continue;
            // Bounds of the second byte rule out overlong forms, surrogates and > U+10FFFF.
            if (b >= 0xC2 && b <= 0xDF) {
                FPending = 1;
            } else if (b >= 0xE0 && b <= 0xEF) {
                FPending = 2;
                FLow = b == 0xE0 ? 0xA0 : 0;
                FHigh = b == 0xED ? 0x9F : 0;
            } else if (b >= 0xF0 && b <= 0xF4) {
                FPending = 3;
                FLow = b == 0xF0 ? 0x90 : 0;
                FHigh = b == 0xF4 ? 0x8F : 0;
            } else {
                FValid = false;
            }
        }
    }
    bool Valid() const { return FValid && FPending == 0; }

private:
    bool FValid = true;
    int FPending = 0;
    quint8 FLow = 0, FHigh = 0;
};

// At most 255 characters, never half of a surrogate pair.
QString Cut(QString text) {
    if (text.size() <= TextFieldSize) return text;
    qsizetype length = TextFieldSize;
    if (text.at(length - 1).isHighSurrogate()) --length;
    text.truncate(length);
    return text;
}

class TTextCursor final : public TRecordCursor {
public:
    TTextCursor(std::unique_ptr<QIODevice> device, bool utf8)
        : FDevice(std::move(device)), FScanner(*FDevice), FUtf8(utf8) {}

    // Reads the header and checks every record; raises EDatabaseError naming what is wrong.
    void Scan(const QString& path, qint64 start, TTableData& data) {
        FScanner.Seek(start);
        if (!FScanner.NextRow()) {
            Check(path);
            return; // an empty file: a table without fields
        }
        QSet<QString> names;
        for (qsizetype c = 0; c < FScanner.CellCount(); ++c) {
            const QString name = Decode(FScanner.Cell(c)).trimmed();
            if (name.isEmpty())
                throw EDatabaseError(
                    QStringLiteral("The header of %1 has an empty field name.").arg(path));
            if (names.contains(name.toUpper()))
                throw EDatabaseError(
                    QStringLiteral("The header of %1 names the field %2 twice.").arg(path, name));
            names.insert(name.toUpper());
            data.Fields.append({name, TFieldType::String, TextFieldSize, false});
        }
        FWidth = data.Fields.size();
        bool cut = false;
        while (FScanner.NextRow()) {
            if (FCount % IndexStride == 0) FStarts.push_back(FScanner.RowStart());
            for (qsizetype c = 0; c < FScanner.CellCount(); ++c) {
                const TCell& cell = FScanner.Cell(c);
                if (c >= FWidth && cell.Length > 0)
                    throw EDatabaseError(QStringLiteral("The record on line %1 of %2 has more "
                                                        "values than the header has fields.")
                                             .arg(FScanner.RowLine())
                                             .arg(path));
                // Fewer bytes than the field's size cannot be more characters.
                if (!cut && cell.Length > TextFieldSize)
                    cut = cell.Length > KeptBytes || Whole(cell).size() > TextFieldSize;
            }
            if (++FCount > size_t(std::numeric_limits<int>::max()))
                throw EDatabaseError(QStringLiteral("The table %1 has too many records.").arg(path));
        }
        Check(path);
        if (cut)
            data.ReadOnlyReason =
                QStringLiteral("The table %1 has values longer than %2 characters, which this "
                               "program shows cut short; changing the table would cut them.")
                    .arg(path)
                    .arg(TextFieldSize);
        FNext = FCount; // the scanner is at the end
    }

    size_t Count() const override { return FCount; }

    TRecordValues Record(size_t index) override {
        TRecordValues values(FWidth);
        if (index >= FCount) return values;
        // Onwards from where the scanner is when that is near, else from the nearest start.
        if (index < FNext || index - FNext >= IndexStride) {
            const size_t block = index / IndexStride;
            FScanner.Seek(FStarts[block]);
            FNext = block * IndexStride;
        }
        // A file changed in place since the scan may end early: its records are empty.
        for (; FNext < index; ++FNext)
            if (!FScanner.NextRow()) return values;
        if (!FScanner.NextRow()) return values;
        ++FNext;
        for (qsizetype c = 0; c < FScanner.CellCount() && c < FWidth; ++c) {
            QString text = Decode(FScanner.Cell(c));
            if (!text.isEmpty()) values[c] = std::move(text);
        }
        return values;
    }

private:
    void Check(const QString& path) const {
        if (const std::optional<int> line = FScanner.UnterminatedQuote())
            throw EDatabaseError(
                QStringLiteral("In %1 a quoted value begun on line %2 does not end.")
                    .arg(path)
                    .arg(*line));
        if (FScanner.ReadError())
            throw EDatabaseError(QStringLiteral("Cannot read the table %1.").arg(path));
    }
    QString Whole(const TCell& cell) const {
        return FUtf8 ? QString::fromUtf8(cell.Bytes) : TextCodec::DecodeWindows1252(cell.Bytes);
    }
    QString Decode(const TCell& cell) const { return Cut(Whole(cell)); }

    std::unique_ptr<QIODevice> FDevice;
    TCsvScanner FScanner;
    bool FUtf8;
    qsizetype FWidth = 0;
    size_t FCount = 0;
    std::vector<qint64> FStarts; // of every IndexStride-th record
    size_t FNext = 0;            // the record the scanner reads next
};

class TTextFormat final : public TTableFormat {
public:
    TTableData Open(const QString& path) const override {
        auto file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::ReadOnly))
            throw EDatabaseError(QStringLiteral("Cannot open the table %1.").arg(path));
        if (file->size() > TableFiles::MaxTableFileSize)
            throw EDatabaseError(QStringLiteral("The table %1 is too large.").arg(path));
        TTableData data;
        TTableFormatState& state = data.State;
        const QByteArray mark = file->peek(3);
        std::unique_ptr<QIODevice> device;
        qint64 start = 0;
        if (mark.startsWith("\xFF\xFE") || mark.startsWith("\xFE\xFF")) {
            // UTF-16 ("Unicode text" of spreadsheets) is read as the UTF-8 it decodes to.
            state.Encoding = mark.startsWith("\xFF\xFE") ? TTextEncoding::Utf16LE
                                                         : TTextEncoding::Utf16BE;
            state.ByteOrderMark = true;
            file->skip(2);
            QStringDecoder decoder(state.Encoding == TTextEncoding::Utf16LE
                                       ? QStringConverter::Utf16LE
                                       : QStringConverter::Utf16BE,
                                   QStringConverter::Flag::ConvertInitialBom);
            const QByteArray bytes = file->readAll();
            if (file->error() != QFileDevice::NoError)
                throw EDatabaseError(QStringLiteral("Cannot read the table %1.").arg(path));
            auto buffer = std::make_unique<QBuffer>();
            buffer->setData(QString(decoder.decode(bytes)).toUtf8());
            buffer->open(QIODevice::ReadOnly);
            device = std::move(buffer);
        } else {
            state.ByteOrderMark = mark == "\xEF\xBB\xBF";
            start = state.ByteOrderMark ? 3 : 0;
            device = std::move(file);
        }
        // One pass for what holds for the whole file: its encoding and line ends.
        TUtf8Check utf8;
        bool crlf = false, lf = false;
        char previous = 0;
        device->seek(start);
        for (;;) {
            const QByteArray chunk = device->read(ChunkSize);
            if (chunk.isEmpty()) break;
            utf8.Feed(chunk);
            crlf = crlf || chunk.contains("\r\n") || (previous == '\r' && chunk.front() == '\n');
            lf = lf || chunk.contains('\n');
            previous = chunk.back();
        }
        if (!state.ByteOrderMark || state.Encoding == TTextEncoding::Utf8)
            state.Encoding = state.ByteOrderMark || utf8.Valid() ? TTextEncoding::Utf8
                                                                 : TTextEncoding::Windows1252;
        state.LineEnd = crlf || !lf ? "\r\n" : "\n";

        auto cursor = std::make_shared<TTextCursor>(
            std::move(device), state.Encoding != TTextEncoding::Windows1252);
        cursor->Scan(path, start, data);
        data.Cursor = std::move(cursor);
        return data;
    }

    void Write(const QString& path, const TTableData& data) const override {
        TTextEncoding encoding = data.State.Encoding;
        QList<QList<QString>> lines;
        lines.reserve(qsizetype(data.Records.size()) + 1);
        QList<QString> header;
        for (const TFieldDef& field : data.Fields)
            header.append(field.Name);
        lines.append(header);
        for (const TRecordValues& record : data.Records) {
            QList<QString> cells;
            for (qsizetype c = 0; c < data.Fields.size(); ++c)
                cells.append(c < record.size() ? FieldValueText(record[c], data.Fields[c].Type)
                                               : QString());
            lines.append(cells);
        }
        // A Windows-1252 file stays so unless a value needs more; then it becomes UTF-8.
        for (qsizetype l = 0; encoding == TTextEncoding::Windows1252 && l < lines.size(); ++l)
            for (const QString& cell : lines[l])
                if (!CodePage::Encode(cell, 1252)) encoding = TTextEncoding::Utf8;
        QByteArray bytes;
        for (const QList<QString>& cells : lines) {
            for (qsizetype c = 0; c < cells.size(); ++c) {
                if (c) bytes += ',';
                bytes += Quoted(encoding == TTextEncoding::Windows1252
                                    ? *CodePage::Encode(cells[c], 1252)
                                    : cells[c].toUtf8());
            }
            bytes += data.State.LineEnd;
        }
        if (encoding == TTextEncoding::Utf16LE || encoding == TTextEncoding::Utf16BE) {
            // A UTF-16 file keeps its byte order and its mark.
            QStringEncoder encoder(encoding == TTextEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                                      : QStringConverter::Utf16BE,
                                   QStringConverter::Flag::WriteBom);
            bytes = encoder.encode(QString::fromUtf8(bytes));
        } else if (encoding == TTextEncoding::Utf8 && data.State.ByteOrderMark) {
            bytes.prepend("\xEF\xBB\xBF");
        }
        TableFiles::WriteAtomically(path, bytes);
    }

    TFieldDef Stored(const TFieldDef& field) const override {
        return {field.Name, TFieldType::String, TextFieldSize, false};
    }

    QStringList CompanionSuffixes() const override { return {}; }

private:
    static QByteArray Quoted(const QByteArray& cell) {
        const bool plain = !cell.contains(',') && !cell.contains('"') && !cell.contains('\n') &&
                           !cell.contains('\r') && cell == cell.trimmed();
        if (plain) return cell;
        QByteArray quoted(qsizetype(cell.size()) * 2 + 2, Qt::Uninitialized);
        const size_t length = csv_write(quoted.data(), size_t(quoted.size()), cell.constData(),
                                        size_t(cell.size()));
        quoted.truncate(qsizetype(length));
        return quoted;
    }
};

} // namespace

const TTableFormat& TextFormat() {
    static const TTextFormat format;
    return format;
}
