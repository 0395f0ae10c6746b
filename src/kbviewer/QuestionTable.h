#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <array>

// The knowledge-base table "qandadb.dat": an SQLite file holding the table "qanda" with the
// fields PublicationType, Title, Tip (rich text as HTML), Ver, InternalComment and Keywords,
// in this order. The file is opened read-only and read whole (a knowledge base is a few
// hundred rows at most); the model shows one column per field, named after it.
class TQuestionTable : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TField { PublicationType, Title, Tip, Ver, InternalComment, Keywords, FieldCount };
    // Header data in this role is the field's name, whatever the column's title.
    static constexpr int FieldNameRole = Qt::UserRole + 1;

    explicit TQuestionTable(QObject* parent = nullptr);

    static QString FieldName(int field);
    // Reads the table of the file. On failure the table is empty and LastError() holds the
    // table engine's message.
    bool Open(const QString& file);
    QString LastError() const { return FLastError; }
    QString FileName() const { return FFileName; }
    QString Value(int row, int field) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    using TRow = std::array<QString, FieldCount>;
    QList<TRow> FRows;
    QString FLastError;
    QString FFileName;
};
