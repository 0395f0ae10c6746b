#include "merge/Restructure.h"

#include <QFileInfo>
#include <QSet>

TDatabaseField TDatabaseField::NewField(const QString& name, TFieldType type) {
    TDatabaseField field;
    field.Name = name;
    field.FieldTypeCode = quint8(type);
    field.Size = quint16(FieldSizeRule(type).Default);
    field.IsNew = true;
    return field;
}

TDatabaseField TDatabaseField::FromFieldDef(const TFieldDef& def) {
    TDatabaseField field;
    field.Name = def.Name;
    field.FieldTypeCode = quint8(def.Type);
    field.Size = quint16(qMax(0, def.Size));
    field.Required = def.Required;
    field.Mapping = def.Name + QLatin1Char('=') + def.Name;
    field.OldName = def.Name;
    return field;
}

void TDatabaseField::Rename(const QString& newName) {
    Name = newName;
    if (!IsNew && !OldName.isEmpty()) Mapping = newName + QLatin1Char('=') + OldName;
}

QString TDatabaseField::MappedSource() const {
    const qsizetype equals = Mapping.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : Mapping.mid(equals + 1).trimmed();
}

TFieldDef TDatabaseField::ToFieldDef() const {
    const TFieldType type = FieldTypeFromCode(FieldTypeCode).value_or(TFieldType::String);
    return {Name.trimmed(), type, FieldSizeRule(type).HasSize ? int(Size) : 0, Required};
}

TDatabaseFieldTable TDatabaseFieldTable::FromFieldDefs(const TFieldDefs& fields) {
    TDatabaseFieldTable table;
    for (const TFieldDef& field : fields)
        table.Add(TDatabaseField::FromFieldDef(field));
    return table;
}

int TDatabaseFieldTable::IndexOf(const QString& name) const {
    for (int i = 0; i < FRows.size(); ++i)
        if (FRows[i].Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

TFieldDefs TDatabaseFieldTable::ToFieldDefs() const {
    TFieldDefs defs;
    for (const TDatabaseField& row : FRows)
        defs.append(row.ToFieldDef());
    return defs;
}

void TDatabaseFieldTable::Validate() const {
    if (FRows.isEmpty()) throw EDatabaseError(QStringLiteral("A table needs at least one field."));
    QSet<QString> names;
    for (const TDatabaseField& row : FRows) {
        const QString name = row.Name.trimmed();
        if (name.isEmpty()) throw EDatabaseError(QStringLiteral("Every field needs a name."));
        if (name.size() > TDatabaseField::MaxNameLength)
            throw EDatabaseError(QStringLiteral("The field name '%1' is longer than %2 characters.")
                                     .arg(name)
                                     .arg(TDatabaseField::MaxNameLength));
        if (names.contains(name.toUpper()))
            throw EDatabaseError(QStringLiteral("Duplicate field name '%1'.").arg(name));
        names.insert(name.toUpper());
        const std::optional<TFieldType> type = FieldTypeFromCode(row.FieldTypeCode);
        if (!type) throw EDatabaseError(QStringLiteral("Field '%1' has no valid type.").arg(name));
        const TFieldSizeRule rule = FieldSizeRule(*type);
        if (rule.HasSize && (row.Size < rule.Min || row.Size > rule.Max))
            throw EDatabaseError(QStringLiteral("The size of field '%1' must be from %2 to %3.")
                                     .arg(name)
                                     .arg(rule.Min)
                                     .arg(rule.Max));
        if (row.Mapping.size() > TDatabaseField::MaxMappingLength)
            throw EDatabaseError(QStringLiteral("The mapping of field '%1' is too long.").arg(name));
    }
}

QList<TFieldType> TFieldTypeSet::Types() const {
    QList<TFieldType> types;
    for (int code = 0; code < FieldTypeCount; ++code)
        if (Contains(TFieldType(code))) types.append(TFieldType(code));
    return types;
}

namespace {

// "TEMP" with the table's extension, or TEMP1, TEMP2, ... when a table of that name exists:
// a table the user happens to call TEMP is never overwritten.
QString FreeTempName(const TTable& table) {
    const QString extension = QLatin1Char('.') + QFileInfo(table.TableName()).suffix();
    for (int n = 0;; ++n) {
        const QString name = QStringLiteral("TEMP") + (n ? QString::number(n) : QString()) + extension;
        TTable probe;
        probe.SetTable(table.Folder(), name);
        if (!probe.Exists()) return name;
    }
}

} // namespace

void RestructureTable(TTable& table, const TDatabaseFieldTable& fields) {
    if (!table.IsOpen())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset."));
    if (!table.Exclusive()) throw EExclusiveAccess();
    if (table.ReadOnly()) throw EDatabaseError(table.ReadOnlyReason());
    fields.Validate();
    QList<TFieldMap> mapping;
    for (const TDatabaseField& row : fields.Rows()) {
        const QString source = row.MappedSource();
        if (source.isEmpty()) continue;
        if (table.FieldIndex(source) < 0)
            throw EDatabaseError(QStringLiteral("Field '%1' not found.").arg(source));
        mapping.append({row.Name.trimmed(), source});
    }
    table.Post();

    // The copy is of the files themselves, so that a restore gives back the table exactly,
    // with its code page, key and anything this engine does not interpret.
    const QString tempName = FreeTempName(table);
    table.CopyFilesTo(tempName);
    TTable copy;
    copy.SetTable(table.Folder(), tempName);
    copy.SetExclusive(true);
    auto removeCopy = [&] {
        try {
            copy.Delete();
        } catch (const std::exception&) {
            // A leftover copy is harmless; the next restructure picks another name.
        }
    };
    try {
        copy.Open();
        table.Recreate(fields.ToFieldDefs());
        table.AppendFrom(copy, mapping, TConversion::NullOnError);
    } catch (const std::exception&) {
        copy.Close();
        try {
            table.RestoreFilesFrom(tempName);
        } catch (const std::exception&) {
            throw EDatabaseError(
                QStringLiteral("The table %1 could not be restored; its records are in %2.")
                    .arg(table.TableName(), tempName));
        }
        removeCopy();
        throw;
    }
    copy.Close();
    removeCopy();
}
