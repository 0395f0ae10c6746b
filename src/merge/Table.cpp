#include "merge/Table.h"

#include "merge/TableFormat.h"
#include "merge/TableLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

#include <sys/stat.h>

namespace {

QString DefaultExtension(TRecordSource::TTableType type) {
    switch (type) {
    case TRecordSource::TTableType::Paradox:
        return QStringLiteral(".DB");
    case TRecordSource::TTableType::DBase:
        return QStringLiteral(".DBF");
    case TRecordSource::TTableType::Ascii:
        return QStringLiteral(".TXT");
    default:
        return {};
    }
}

void ValidateFields(const TFieldDefs& fields) {
    if (fields.isEmpty()) throw EDatabaseError(QStringLiteral("A table needs at least one field."));
    QSet<QString> names;
    for (const TFieldDef& field : fields) {
        if (field.Name.trimmed().isEmpty())
            throw EDatabaseError(QStringLiteral("Every field needs a name."));
        if (int(field.Type) >= FieldTypeCount)
            throw EDatabaseError(QStringLiteral("Field '%1' has no valid type.").arg(field.Name));
        const QString key = field.Name.toUpper();
        if (names.contains(key))
            throw EDatabaseError(QStringLiteral("Duplicate field name '%1'.").arg(field.Name));
        names.insert(key);
        const TFieldSizeRule rule = FieldSizeRule(field.Type);
        if (rule.HasSize && (field.Size < rule.Min || field.Size > rule.Max))
            throw EDatabaseError(QStringLiteral("The size of field '%1' must be from %2 to %3.")
                                     .arg(field.Name)
                                     .arg(rule.Min)
                                     .arg(rule.Max));
    }
}

void CheckRequired(const TFieldDefs& fields, const TRecordValues& values) {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].Required && (i >= values.size() || !values[i].isValid()))
            throw EDatabaseError(
                QStringLiteral("Field '%1' must have a value.").arg(fields[i].Name));
}

} // namespace

TTable::TTable() : FLock(std::make_unique<TTableLock>()) {}

TTable::~TTable() { Close(); }

void TTable::SetTable(const QString& folder, const QString& tableName, TTableType type) {
    if (IsOpen()) Close();
    FFolder = folder;
    FName = tableName;
    if (QFileInfo(tableName).suffix().isEmpty()) FName += DefaultExtension(type);
    FFormat = TTableFormat::ForFile(FName);
    FType = TypeForExtension(FName);
}

QString TTable::FilePath() const {
    return FFolder.isEmpty() ? FName : QDir(FFolder).filePath(FName);
}

bool TTable::Exists() const { return QFileInfo::exists(TableFiles::ResolveCase(FilePath())); }

bool TTable::Exclusive() const { return IsOpen() && FLock->Exclusive(); }

void TTable::RequireType() const {
    if (!FFormat) throw EFileTypeNotSupported();
}

void TTable::RequireOpen() const {
    if (!IsOpen()) throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset."));
}

void TTable::RequireWritable() const {
    RequireOpen();
    if (ReadOnly()) throw EDatabaseError(FReadOnlyReason);
}

void TTable::Open(const QString& folder, const QString& tableName, TTableType type) {
    SetTable(folder, tableName, type);
    Open();
}

void TTable::Open() {
    Close();
    RequireType();
    const QString path = TableFiles::ResolveCase(FilePath());
    if (!QFileInfo::exists(path))
        throw EDatabaseError(QStringLiteral("The table %1 does not exist.").arg(FilePath()));
    FName = QFileInfo(path).fileName();
    if (!FLock->Acquire(path, FWantExclusive)) {
        if (FWantExclusive) throw EExclusiveAccess();
        throw EDatabaseError(QStringLiteral("The table %1 is in use.").arg(FName));
    }
    try {
        ReadFile();
    } catch (...) {
        FLock->Release();
        throw;
    }
    FState = TState::Browse;
    First();
}

TTable::TFileStamp TTable::StampOf(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) return {};
    return {true, qint64(status.st_size),
            qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec,
            quint64(status.st_ino)};
}

void TTable::ReadFile() {
    const QString path = FilePath();
    const TFileStamp stamp = StampOf(path);
    TTableData data = FFormat->Open(path);
    SetFields(std::move(data.Fields));
    FRecords = std::move(data.Records);
    FCursor = std::move(data.Cursor);
    FCursorIndex = -1;
    FCursorValues.clear();
    FFormatState = std::make_shared<TTableFormatState>(data.State);
    FReadOnlyReason = data.ReadOnlyReason;
    FStamp = stamp;
}

void TTable::Close() {
    FLock->Release();
    FState = TState::Inactive;
    SetFields({});
    FRecords.clear();
    FCursor.reset();
    FCursorIndex = -1;
    FCursorValues.clear();
    FBuffer.clear();
    FReadOnlyReason.clear();
    FFormatState.reset();
    FCurrent = -1;
    FBof = FEof = true;
}

void TTable::Refresh() {
    if (!IsOpen()) return;
    const TFileStamp stamp = StampOf(FilePath());
    if (stamp == FStamp) return;
    FStamp = stamp; // a failure below is reported once, not at every refresh
    if (!stamp.Exists)
        throw EDatabaseError(QStringLiteral("The table %1 does not exist.").arg(FilePath()));
    const int number = RecordNumber();
    const TState state = FState;
    // The pending edit by field name, so that it survives a change of the fields.
    QList<std::pair<QString, QVariant>> pending;
    if (state == TState::Edit || state == TState::Insert)
        for (int i = 0; i < FFields.size() && i < FBuffer.size(); ++i)
            pending.append({FFields[i].Name, FBuffer[i]});
    ReadFile();
    FBuffer.clear();
    FState = TState::Browse;
    MoveTo(number);
    if (state == TState::Browse || ReadOnly()) return;
    FState = state == TState::Edit && FCurrent >= 0 ? TState::Edit : TState::Insert;
    FBuffer = FState == TState::Edit ? RecordAt(size_t(FCurrent)) : TRecordValues();
    FBuffer.resize(FFields.size());
    for (const auto& [name, value] : pending) {
        const int index = FieldIndex(name);
        if (index < 0) continue;
        try {
            FBuffer[index] = ConvertFieldValue(value, FFields[index]);
        } catch (const EDatabaseError&) {
            // The field changed its type; the value typed for the old one has no place.
        }
    }
}

QStringList TTable::FieldNames() const {
    QStringList names;
    for (const TFieldDef& field : FFields)
        names.append(field.Name);
    return names;
}

int TTable::FieldIndex(const QString& fieldName) const {
    return FFieldIndex.value(fieldName.toCaseFolded(), -1);
}

void TTable::SetFields(TFieldDefs fields) {
    FFields = std::move(fields);
    FFieldIndex.clear();
    FFieldIndex.reserve(FFields.size());
    // The first of names that fold alike wins, as a search from the first field would find.
    for (int i = int(FFields.size()) - 1; i >= 0; --i)
        FFieldIndex.insert(FFields[i].Name.toCaseFolded(), i);
}

size_t TTable::Count() const { return FCursor ? FCursor->Count() : FRecords.size(); }

TRecordValues TTable::RecordAt(size_t index) const {
    if (!FCursor) return FRecords[index];
    if (FCursorIndex != qint64(index)) {
        FCursorValues = FCursor->Record(index);
        FCursorIndex = qint64(index);
    }
    return FCursorValues;
}

void TTable::LoadRecords() {
    if (!FCursor) return;
    std::vector<TRecordValues> records;
    records.reserve(FCursor->Count());
    for (size_t i = 0; i < FCursor->Count(); ++i) records.push_back(FCursor->Record(i));
    FRecords = std::move(records);
    FCursor.reset();
    FCursorIndex = -1;
    FCursorValues.clear();
}

int TTable::RequireField(const QString& fieldName) const {
    const int index = FieldIndex(fieldName);
    if (index < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found.").arg(fieldName));
    return index;
}

const TRecordValues* TTable::CurrentValues() const {
    if (FState == TState::Edit || FState == TState::Insert) return &FBuffer;
    if (FCurrent < 0 || FCurrent >= int(Count())) return nullptr;
    if (FCursor) {
        RecordAt(size_t(FCurrent));
        return &FCursorValues;
    }
    return &FRecords[size_t(FCurrent)];
}

std::optional<QString> TTable::FieldText(const QString& fieldName) const {
    const int index = FieldIndex(fieldName);
    if (index < 0) return std::nullopt;
    const TRecordValues* values = CurrentValues();
    if (!values || index >= values->size()) return QString();
    return FieldValueText((*values)[index], FFields[index].Type);
}

QVariant TTable::FieldValue(const QString& fieldName) const {
    const int index = RequireField(fieldName);
    const TRecordValues* values = CurrentValues();
    if (!values || index >= values->size()) return {};
    return (*values)[index];
}

void TTable::CheckBrowseMode() {
    if (FState == TState::Edit || FState == TState::Insert) Post();
}

void TTable::First() {
    if (!IsOpen()) return;
    CheckBrowseMode();
    FCurrent = Count() == 0 ? -1 : 0;
    FBof = true;
    FEof = Count() == 0;
}

void TTable::Last() {
    if (!IsOpen()) return;
    CheckBrowseMode();
    FCurrent = int(Count()) - 1;
    FEof = true;
    FBof = Count() == 0;
}

void TTable::Next() {
    if (!IsOpen()) return;
    CheckBrowseMode();
    if (FCurrent + 1 < int(Count())) {
        ++FCurrent;
        FBof = FEof = false;
    } else {
        FEof = true;
        FBof = Count() == 0;
    }
}

void TTable::Prior() {
    if (!IsOpen()) return;
    CheckBrowseMode();
    if (FCurrent > 0) {
        --FCurrent;
        FBof = FEof = false;
    } else {
        FBof = true;
        FEof = Count() == 0;
    }
}

int TTable::RecordNumber() const {
    if (FState == TState::Insert) return 0;
    return FCurrent < 0 ? 0 : FCurrent + 1;
}

void TTable::MoveTo(int recordNumber) {
    if (!IsOpen()) return;
    CheckBrowseMode();
    if (Count() == 0) {
        FCurrent = -1;
        FBof = FEof = true;
        return;
    }
    FCurrent = std::clamp(recordNumber, 1, int(Count())) - 1;
    FBof = FEof = false;
}

void TTable::Append() {
    RequireWritable();
    CheckBrowseMode();
    FBuffer = TRecordValues(FFields.size());
    FState = TState::Insert;
}

void TTable::Edit() {
    RequireWritable();
    if (FState == TState::Edit || FState == TState::Insert) return;
    if (FCurrent < 0) {
        Append();
        return;
    }
    FBuffer = RecordAt(size_t(FCurrent));
    FBuffer.resize(FFields.size());
    FState = TState::Edit;
}

void TTable::SetFieldValue(const QString& fieldName, const QVariant& value) {
    const int index = RequireField(fieldName);
    if (FState != TState::Edit && FState != TState::Insert)
        throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode."));
    FBuffer[index] = ConvertFieldValue(value, FFields[index]);
}

void TTable::SetFieldText(const QString& fieldName, const QString& text) {
    SetFieldValue(fieldName, text);
}

void TTable::Post() {
    if (FState != TState::Edit && FState != TState::Insert) return;
    CheckRequired(FFields, FBuffer);
    LoadRecords();
    std::vector<TRecordValues> records = FRecords;
    int posted;
    if (FState == TState::Insert) {
        records.push_back(FBuffer);
        posted = int(records.size()) - 1;
    } else {
        records[size_t(FCurrent)] = FBuffer;
        posted = FCurrent;
    }
    const TRecordValues values = FBuffer;
    WriteRecords(std::move(records));
    // A keyed table keeps its records in key order, so the posted record may have moved.
    if (posted >= int(FRecords.size()) || FRecords[size_t(posted)] != values)
        for (size_t i = 0; i < FRecords.size(); ++i)
            if (FRecords[i] == values) posted = int(i);
    FBuffer.clear();
    FState = TState::Browse;
    FCurrent = posted;
    FBof = FEof = false;
}

void TTable::Cancel() {
    if (FState != TState::Edit && FState != TState::Insert) return;
    FBuffer.clear();
    FState = TState::Browse;
}

void TTable::DeleteRecord() {
    RequireWritable();
    Cancel();
    if (FCurrent < 0)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset."));
    LoadRecords();
    std::vector<TRecordValues> records = FRecords;
    records.erase(records.begin() + FCurrent);
    WriteRecords(std::move(records));
    FCurrent = std::min(FCurrent, int(FRecords.size()) - 1);
    FBof = FEof = FRecords.empty();
}

void TTable::WriteRecords(std::vector<TRecordValues> records) {
    TTableData data;
    data.Fields = FFields;
    data.Records = std::move(records);
    data.State = *FFormatState;
    FFormat->Write(FilePath(), data);
    FRecords = std::move(data.Records);
    FCursor.reset();
    FCursorIndex = -1;
    FCursorValues.clear();
    TakeStamp();
}

template <typename F> void TTable::WithExclusiveAccess(F&& operation) {
    if (IsOpen()) {
        if (!FLock->Exclusive()) throw EExclusiveAccess();
        operation();
        return;
    }
    TTableLock lock;
    if (!lock.Acquire(TableFiles::ResolveCase(FilePath()), true)) throw EExclusiveAccess();
    operation();
}

TFieldDefs TTable::StoredFieldDefs(const TFieldDefs& fields) const {
    RequireType();
    TFieldDefs stored;
    for (const TFieldDef& field : fields)
        stored.append(FFormat->Stored(field));
    return stored;
}

void TTable::Create(const TFieldDefs& fields, TCreateMode mode) {
    RequireType();
    ValidateFields(fields);
    const TFieldDefs stored = StoredFieldDefs(fields);
    ValidateFields(stored); // names the format shortens may now clash
    if (IsOpen() && !FLock->Exclusive()) throw EExclusiveAccess();
    Close();
    const QString path = TableFiles::ResolveCase(FilePath());
    if (mode == TCreateMode::FailIfExists && QFileInfo::exists(path))
        throw EDatabaseError(QStringLiteral("The table %1 already exists.").arg(FilePath()));
    FName = QFileInfo(path).fileName();
    WithExclusiveAccess([&] {
        TTableData data;
        data.Fields = stored;
        FFormat->Write(path, data);
    });
}

void TTable::Recreate(const TFieldDefs& fields) {
    RequireOpen();
    if (!FLock->Exclusive()) throw EExclusiveAccess();
    ValidateFields(fields);
    const TFieldDefs stored = StoredFieldDefs(fields);
    ValidateFields(stored);
    Cancel();
    TTableFormatState state = *FFormatState;
    state.PrimaryKeyFields = std::min<int>(state.PrimaryKeyFields, int(stored.size()));
    TTableData data;
    data.Fields = stored;
    data.State = state;
    FFormat->Write(FilePath(), data);
    SetFields(stored);
    FRecords.clear();
    FCursor.reset();
    FCursorIndex = -1;
    *FFormatState = state;
    FReadOnlyReason.clear();
    TakeStamp();
    First();
}

void TTable::Empty() {
    RequireType();
    WithExclusiveAccess([&] {
        if (IsOpen()) {
            RequireWritable();
            Cancel();
            WriteRecords({});
            First();
            return;
        }
        const QString path = TableFiles::ResolveCase(FilePath());
        TTableData data = FFormat->Read(path);
        if (!data.ReadOnlyReason.isEmpty()) throw EDatabaseError(data.ReadOnlyReason);
        data.Records.clear();
        FFormat->Write(path, data);
    });
}

void TTable::Delete() {
    RequireType();
    WithExclusiveAccess([&] {
        const QString path = TableFiles::ResolveCase(FilePath());
        if (!QFileInfo::exists(path))
            throw EDatabaseError(QStringLiteral("The table %1 does not exist.").arg(FilePath()));
        QStringList files{path};
        for (const QString& suffix : FFormat->CompanionSuffixes())
            files.append(TableFiles::Companion(path, suffix));
        for (const QString& file : files)
            if (QFileInfo::exists(file) && !QFile::remove(file))
                throw EDatabaseError(QStringLiteral("Cannot delete %1.").arg(file));
    });
    Close();
}

void TTable::AppendFrom(const TTable& source, const std::optional<QList<TFieldMap>>& mapping,
                        TConversion conversion) {
    RequireWritable();
    source.RequireOpen();
    CheckBrowseMode();
    // For each destination field, the source field it takes its value from (-1: none).
    QList<int> from(FFields.size(), -1);
    if (!mapping) {
        for (int i = 0; i < FFields.size(); ++i)
            from[i] = source.FieldIndex(FFields[i].Name);
    } else {
        for (const TFieldMap& map : *mapping)
            from[RequireField(map.Destination)] = source.RequireField(map.Source);
    }
    LoadRecords();
    std::vector<TRecordValues> records = FRecords;
    records.reserve(records.size() + source.Count());
    for (size_t r = 0; r < source.Count(); ++r) {
        const TRecordValues in = source.RecordAt(r);
        TRecordValues out(FFields.size());
        for (int i = 0; i < FFields.size(); ++i)
            if (from[i] >= 0 && from[i] < in.size()) {
                try {
                    out[i] = ConvertFieldValue(in[from[i]], FFields[i]);
                } catch (const EDatabaseError&) {
                    if (conversion == TConversion::Strict) throw;
                }
            }
        CheckRequired(FFields, out);
        records.push_back(std::move(out));
    }
    WriteRecords(std::move(records));
    First();
}

void TTable::CopyFilesTo(const QString& tableName) const {
    RequireType();
    TTable target;
    target.SetTable(FFolder, tableName);
    if (target.FFormat != FFormat) throw EFileTypeNotSupported();
    target.WithExclusiveAccess([&] {
        TableFiles::CopyTable(*FFormat, TableFiles::ResolveCase(FilePath()),
                              TableFiles::ResolveCase(target.FilePath()));
    });
}

void TTable::RestoreFilesFrom(const QString& tableName) {
    RequireOpen();
    if (!FLock->Exclusive()) throw EExclusiveAccess();
    TTable source;
    source.SetTable(FFolder, tableName);
    if (source.FFormat != FFormat) throw EFileTypeNotSupported();
    FBuffer.clear();
    FState = TState::Browse;
    TableFiles::CopyTable(*FFormat, TableFiles::ResolveCase(source.FilePath()), FilePath());
    ReadFile();
    First();
}

void TTable::CopyTo(const QString& folder, const QString& tableName, TCreateMode mode) const {
    RequireOpen();
    TTable copy;
    copy.SetTable(folder, tableName);
    copy.Create(FFields, mode);
    copy.SetExclusive(true);
    copy.Open();
    copy.AppendFrom(*this);
    copy.Close();
}
