#include "merge/TableFormat.h"

#include "merge/CodePage.h"
#include "storage/TextCodec.h"

#include <QSet>

#include <csv.h>

// Delimited text tables (.TXT, .CSV): a header line of field names, then one line per record,
// fields separated by commas and double-quoted where they hold commas, quotes or line
// breaks. The file keeps no types: every field is text.
namespace {

constexpr int TextFieldSize = 255;

// libcsv reports fields and row ends through C callbacks; nothing may throw across them, so
// the rows are collected first and interpreted afterwards.
struct TCsvRows {
    std::vector<QList<QByteArray>> Rows;
    QList<QByteArray> Current;
    static void Field(void* text, size_t length, void* data) {
        auto* self = static_cast<TCsvRows*>(data);
        self->Current.append(text ? QByteArray(static_cast<const char*>(text), qsizetype(length))
                                  : QByteArray());
    }
    static void RowEnd(int, void* data) {
        auto* self = static_cast<TCsvRows*>(data);
        self->Rows.push_back(std::move(self->Current));
        self->Current.clear();
    }
};

bool IsUtf8(const QByteArray& bytes) {
    // Invalid sequences decode to replacement characters, which encode differently.
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

class TTextFormat final : public TTableFormat {
public:
    TTableData Read(const QString& path) const override {
        QByteArray bytes = TableFiles::ReadWhole(path);
        TTableData data;
        TTableFormatState& state = data.State;
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            state.ByteOrderMark = true;
            bytes.remove(0, 3);
        }
        state.Utf8 = state.ByteOrderMark || IsUtf8(bytes);
        state.LineEnd = bytes.contains("\r\n") || !bytes.contains('\n') ? "\r\n" : "\n";

        csv_parser parser;
        // A stray quote inside an unquoted value (O"Brien) is taken as written, as
        // spreadsheets do; only a quoted value that never ends is an error.
        if (csv_init(&parser, 0) != 0)
            throw EDatabaseError(QStringLiteral("The text table reader could not start."));
        TCsvRows rows;
        const size_t parsed = csv_parse(&parser, bytes.constData(), size_t(bytes.size()),
                                        &TCsvRows::Field, &TCsvRows::RowEnd, &rows);
        // libcsv checks for a quoted value left open only in strict mode; state 2 is a field
        // begun, and a quoted one is still open.
        constexpr int FieldBegun = 2;
        const bool unterminated = parser.pstate == FieldBegun && parser.quoted;
        const bool ok = parsed == size_t(bytes.size()) && !unterminated &&
                        csv_fini(&parser, &TCsvRows::Field, &TCsvRows::RowEnd, &rows) == 0;
        const QString error = unterminated ? QStringLiteral("a quoted value does not end")
                                           : QString::fromLatin1(csv_strerror(csv_error(&parser)));
        csv_free(&parser);
        if (!ok)
            throw EDatabaseError(QStringLiteral("%1 is not a valid text table after record %2: %3")
                                     .arg(path)
                                     .arg(qMax<qsizetype>(0, qsizetype(rows.Rows.size()) - 1))
                                     .arg(error));

        auto decode = [&](const QByteArray& cell) {
            return state.Utf8 ? QString::fromUtf8(cell) : TextCodec::DecodeWindows1252(cell);
        };
        if (rows.Rows.empty()) return data; // an empty file: a table without fields
        QSet<QString> names;
        for (const QByteArray& cell : rows.Rows.front()) {
            const QString name = decode(cell).trimmed();
            if (name.isEmpty())
                throw EDatabaseError(QStringLiteral("The header of %1 has an empty field name.").arg(path));
            if (names.contains(name.toUpper()))
                throw EDatabaseError(
                    QStringLiteral("The header of %1 names the field %2 twice.").arg(path, name));
            names.insert(name.toUpper());
            data.Fields.append({name, TFieldType::String, TextFieldSize, false});
        }
        const qsizetype width = data.Fields.size();
        data.Records.reserve(rows.Rows.size() - 1);
        for (size_t r = 1; r < rows.Rows.size(); ++r) {
            const QList<QByteArray>& cells = rows.Rows[r];
            TRecordValues values(width);
            for (qsizetype c = 0; c < cells.size(); ++c) {
                if (c >= width) {
                    if (cells[c].isEmpty()) continue;
                    throw EDatabaseError(QStringLiteral("Record %1 of %2 has more values than the "
                                                        "header has fields.")
                                             .arg(r)
                                             .arg(path));
                }
                const QString text = decode(cells[c]);
                if (!text.isEmpty()) values[c] = text;
            }
            data.Records.push_back(std::move(values));
        }
        return data;
    }

    void Write(const QString& path, const TTableData& data) const override {
        bool utf8 = data.State.Utf8;
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
        for (qsizetype l = 0; !utf8 && l < lines.size(); ++l)
            for (const QString& cell : lines[l])
                if (!CodePage::Encode(cell, 1252)) utf8 = true;
        QByteArray bytes;
        if (utf8 && data.State.ByteOrderMark) bytes += "\xEF\xBB\xBF";
        for (const QList<QString>& cells : lines) {
            for (qsizetype c = 0; c < cells.size(); ++c) {
                if (c) bytes += ',';
                bytes += Quoted(utf8 ? cells[c].toUtf8() : *CodePage::Encode(cells[c], 1252));
            }
            bytes += data.State.LineEnd;
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
