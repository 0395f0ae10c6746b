#pragma once

#include <QDialog>
#include <QString>

class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

enum class TMatchMode { Exact, Beginning, Anywhere };

bool FieldMatches(const QString& field, const QString& value, TMatchMode mode,
                  Qt::CaseSensitivity sensitivity);

struct TLocateResult {
    int Row = -1;         // -1: no row matches
    bool Wrapped = false; // the search went past the last row and on from the first
};

// Looks for the next row whose value in `column` matches, starting after `current` (at the
// first row when current < 0). Past the last row the search goes on from the first and ends
// with the current row itself, so that the result is the current row only when no other row
// matches.
TLocateResult LocateNext(const QAbstractItemModel& model, int column, const QString& value,
                         TMatchMode mode, Qt::CaseSensitivity sensitivity, int current);

// The "Locate Field Value" dialog over a grid: it offers the grid's visible fields sorted by
// name, and Find Next makes the next matching row the grid's current row. The dialog stays
// open for the next search and keeps its choices between searches.
class TLocateDialog : public QDialog {
    Q_OBJECT
public:
    explicit TLocateDialog(QTableView* grid, QWidget* parent = nullptr);

    // Offers the grid's visible fields again (after the grid's columns changed).
    void RefreshFields();
    QString FieldName() const;
    TMatchMode Mode() const;
    Qt::CaseSensitivity Sensitivity() const;
    // What the last Find Next said in the dialog.
    QString Note() const;

public slots:
    void FindNext();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString DescribeSearch() const;
    void UpdateFindButton();

    QTableView* FGrid;
    QComboBox* FFieldCombo;
    QLineEdit* FValueEdit;
    QRadioButton* FExactButton;
    QRadioButton* FBeginningButton;
    QRadioButton* FAnywhereButton;
    QCheckBox* FCaseSensitive;
    QLabel* FNoteLabel;
    QPushButton* FFindButton;
};
