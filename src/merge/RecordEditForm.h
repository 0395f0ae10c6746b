#pragma once

#include <QDialog>
#include <QHash>

#include <functional>

class QLabel;
class QTableWidget;
class QToolButton;
class TTable;

// The record grid of an open table: one row per record, one column per field, with a record
// navigator. The grid itself holds the row being edited: typed values reach the table when the
// row is posted (leaving the row, Post, Close), and a post the table refuses shows the error
// and keeps the row and its typed values in edit.
class TRecordEditForm : public QDialog {
    Q_OBJECT
public:
    explicit TRecordEditForm(TTable& table, QWidget* parent = nullptr);

    // Runs the table design on the table; true when its fields changed. Unset: no button.
    void SetRestructure(std::function<bool()> restructure);

    QTableWidget* Grid() const { return FGrid; }
    int EditRow() const { return FEditRow; }
    bool Inserting() const { return FInserting; }

    // The navigator's buttons.
    void First();
    void Prior();
    void Next();
    void Last();
    void AppendRecord();
    void DeleteRecord();
    bool PostRecord();
    void CancelRecord();

    void done(int result) override;

private:
    void Reload(int currentRecord);
    void GoToRow(int row);
    void CellEdited(int row, int column);
    void CurrentCellChanged(int row, int column, int previousRow, int previousColumn);
    void UpdateButtons();

    TTable& FTable;
    QTableWidget* FGrid;
    QLabel* FStatus;
    QHash<QString, QToolButton*> FButtons;
    QToolButton* FRestructureButton = nullptr;
    std::function<bool()> FRestructure;
    int FEditRow = -1;        // the grid row holding typed values not yet posted
    bool FInserting = false;  // that row is a new record
    QHash<int, QString> FPending; // column -> typed text
    bool FLoading = false;
};
