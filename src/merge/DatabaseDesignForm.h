#pragma once

#include "merge/Restructure.h"

#include <QDialog>

class QTableWidget;
class QPushButton;

// The table design grid: one row per field with its name, type, size and required flag. It
// edits a copy of the rows; the caller takes Rows() after OK. Types outside the allowed set
// are not offered, except that a field keeps the type it already has.
class TDatabaseDesignForm : public QDialog {
    Q_OBJECT
public:
    TDatabaseDesignForm(const TDatabaseFieldTable& rows, const TFieldTypeSet& allowed,
                        bool confirmDeletion, QWidget* parent = nullptr);

    const TDatabaseFieldTable& Rows() const { return FRows; }
    QTableWidget* Grid() const { return FGrid; }

    // The grid's buttons, also for tests.
    void AddField();
    void InsertField();
    void DeleteField();
    void MoveField(int delta);
    // Sets the type of a row as its type list would, giving it the type's default size.
    void SetFieldType(int row, TFieldType type);
    void SetFieldSize(int row, int size);

    void accept() override;

private:
    void FillRow(int row);
    void Refill();
    void NameEdited(int row, int column);
    QString UnusedName() const;

    TDatabaseFieldTable FRows;
    TFieldTypeSet FAllowed;
    bool FConfirmDeletion;
    QTableWidget* FGrid;
    QPushButton* FDelete;
    bool FFilling = false;
};
