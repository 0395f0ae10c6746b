#include "kbviewer/QuestionTable.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

TQuestionTable::TQuestionTable(QObject* parent) : QAbstractTableModel(parent) {}

QString TQuestionTable::FieldName(int field) {
    static const char* const names[FieldCount] = {"PublicationType", "Title",           "Tip",
                                                  "Ver",             "InternalComment", "Keywords"};
    return field >= 0 && field < FieldCount ? QString::fromLatin1(names[field]) : QString();
}

bool TQuestionTable::Open(const QString& file) {
    beginResetModel();
    FRows.clear();
    FLastError.clear();
    FFileName = file;
    const QString connection = QStringLiteral("qdxquestions-%1").arg(quintptr(this));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        // Read-only also keeps the engine from making an empty database where none is.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            FLastError = db.lastError().text();
        } else {
            QStringList fields;
            for (int field = 0; field < FieldCount; ++field)
                fields.append(FieldName(field));
            QSqlQuery query(db);
            query.setForwardOnly(true);
            if (query.exec(QStringLiteral("SELECT %1 FROM qanda ORDER BY rowid")
                               .arg(fields.join(QStringLiteral(", "))))) {
                while (query.next()) {
                    TRow row;
                    for (int field = 0; field < FieldCount; ++field)
                        row[field] = query.value(field).toString();
                    FRows.append(row);
                }
            }
            if (query.lastError().isValid()) {
                FLastError = query.lastError().text();
                FRows.clear();
            }
            query.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    endResetModel();
    return FLastError.isEmpty();
}

QString TQuestionTable::Value(int row, int field) const {
    if (row < 0 || row >= FRows.size() || field < 0 || field >= FieldCount) return {};
    return FRows[row][field];
}

int TQuestionTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(FRows.size());
}

int TQuestionTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FieldCount;
}

QVariant TQuestionTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    // A title wider than its column shows whole in the tool tip.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return Value(index.row(), index.column());
    return {};
}

QVariant TQuestionTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == FieldNameRole))
        return FieldName(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
