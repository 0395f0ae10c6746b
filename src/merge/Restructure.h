#pragma once

#include "merge/Table.h"

#include <QList>
#include <QString>

// One row of the table design grid. Rows of fields that the table had when the design began
// carry OldName and the mapping "Name=OldName"; renaming keeps the mapping pointing at the
// old field, so A renamed to B and then to C maps C=A. Rows added during the design (IsNew)
// have no mapping and start empty.
struct TDatabaseField {
    static constexpr int MaxNameLength = 25;
    static constexpr int MaxMappingLength = 53;

    QString Name;
    quint8 FieldTypeCode = 0; // TFieldType as a number
    quint16 Size = 0;
    bool Required = false;
    QString Mapping; // "Destination=Source"
    QString OldName;
    bool IsNew = false;

    // A row for a field added during the design: the type's default size, no mapping.
    static TDatabaseField NewField(const QString& name, TFieldType type = TFieldType::String);
    // A row for a field the table has.
    static TDatabaseField FromFieldDef(const TFieldDef& field);

    void Rename(const QString& newName);
    // The source field of the mapping; empty when there is none.
    QString MappedSource() const;
    TFieldDef ToFieldDef() const;

    bool operator==(const TDatabaseField&) const = default;
};

// The rows of the design grid in field order.
class TDatabaseFieldTable {
public:
    TDatabaseFieldTable() = default;
    // The rows for a table's current fields.
    static TDatabaseFieldTable FromFieldDefs(const TFieldDefs& fields);

    int Count() const { return int(FRows.size()); }
    TDatabaseField& At(int index) { return FRows[index]; }
    const TDatabaseField& At(int index) const { return FRows[index]; }
    const QList<TDatabaseField>& Rows() const { return FRows; }
    void Add(const TDatabaseField& field) { FRows.append(field); }
    void Insert(int index, const TDatabaseField& field) { FRows.insert(index, field); }
    void Delete(int index) { FRows.removeAt(index); }
    void Move(int from, int to) { FRows.move(from, to); }
    int IndexOf(const QString& name) const; // without regard to case; -1 when absent

    TFieldDefs ToFieldDefs() const;
    // Raises EDatabaseError for an empty, too long or repeated name, a bad type or size, or
    // a mapping that is too long.
    void Validate() const;

private:
    QList<TDatabaseField> FRows;
};

// The field types a design dialog offers, as a 16-bit set of type codes (bit n: code n).
class TFieldTypeSet {
public:
    static constexpr quint16 All = 0xFFFF;
    // What the Create Database command offers: String, Integer, Boolean, Floating Point,
    // Currency, Date and Time (codes 0, 2, 4, 5, 6, 8, 9).
    static constexpr quint16 CreateCommand = 885;

    TFieldTypeSet() = default;
    explicit TFieldTypeSet(quint16 bits) { SetBits(bits); }

    quint16 Bits() const { return FBits; }
    // An empty set would leave nothing to choose: it stores {String}.
    void SetBits(quint16 bits) { FBits = bits ? bits : quint16(1); }
    bool Contains(TFieldType type) const { return FBits & (1u << unsigned(type)); }
    QList<TFieldType> Types() const; // in code order

private:
    quint16 FBits = All;
};

// Gives the open table the fields of the design rows. The table must be open exclusively
// (else EExclusiveAccess). Its files are copied to a table "TEMP" (or "TEMP1", ... when that
// name is taken) in the same folder, the table is recreated with the new fields, and the
// records are appended back from the copy through the rows' mappings: values that do not
// convert to a field's new type become empty, fields without a mapping start empty, and data
// of fields no row maps is dropped. Any failure puts the copied files back, so the table is
// byte for byte what it was, and raises the error; the copy is deleted afterwards (kept only
// when even the restore failed).
void RestructureTable(TTable& table, const TDatabaseFieldTable& fields);
