#include "merge/RecordEditForm.h"

#include "document/AppContext.h"
#include "merge/Table.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// An engine message as a sentence: some already end with a full stop.
QString Sentence(const char* what) {
    QString text = QString::fromUtf8(what);
    if (!text.endsWith(QLatin1Char('.'))) text += QLatin1Char('.');
    return text;
}

} // namespace

TRecordEditForm::TRecordEditForm(TTable& table, QWidget* parent)
    : QDialog(parent), FTable(table), FGrid(new QTableWidget(this)), FStatus(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Edit Database - %1").arg(table.TableName()));
    FGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(FGrid, &QTableWidget::cellChanged, this, &TRecordEditForm::CellEdited);
    connect(FGrid, &QTableWidget::currentCellChanged, this,
            &TRecordEditForm::CurrentCellChanged);

    auto* navigator = new QHBoxLayout;
    const struct {
        const char* Name;
        const char* Text;
        const char* Hint;
        void (TRecordEditForm::*Handler)();
    } buttons[] = {
        {"First", "|<", "First record", &TRecordEditForm::First},
        {"Prior", "<", "Prior record", &TRecordEditForm::Prior},
        {"Next", ">", "Next record", &TRecordEditForm::Next},
        {"Last", ">|", "Last record", &TRecordEditForm::Last},
        {"Insert", "+", "Insert record", &TRecordEditForm::AppendRecord},
        {"Delete", "-", "Delete record", &TRecordEditForm::DeleteRecord},
        {"Post", "\u2713", "Post edit", nullptr},
        {"Cancel", "\u2717", "Cancel edit", &TRecordEditForm::CancelRecord},
    };
    for (const auto& b : buttons) {
        auto* button = new QToolButton(this);
        button->setText(QString::fromUtf8(b.Text));
        button->setToolTip(QString::fromLatin1(b.Hint));
        button->setObjectName(QString::fromLatin1(b.Name));
        button->setMinimumWidth(28);
        if (b.Handler)
            connect(button, &QToolButton::clicked, this, b.Handler);
        else
            connect(button, &QToolButton::clicked, this, [this] { PostRecord(); });
        navigator->addWidget(button);
        FButtons.insert(QString::fromLatin1(b.Name), button);
    }
    navigator->addSpacing(12);
    navigator->addWidget(FStatus, 1);
    FRestructureButton = new QToolButton(this);
    FRestructureButton->setText(QStringLiteral("&Restructure..."));
    FRestructureButton->setToolTip(QStringLiteral("Change the fields of the database"));
    FRestructureButton->setVisible(false);
    connect(FRestructureButton, &QToolButton::clicked, this, [this] {
        if (!FRestructure || !PostRecord()) return;
        try {
            if (FRestructure()) Reload(FTable.RecordNumber());
        } catch (const std::exception& e) {
            AppContext().Messages().Error(Sentence(e.what()));
            Reload(FTable.RecordNumber());
        }
    });
    navigator->addWidget(FRestructureButton);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &TRecordEditForm::accept);
    navigator->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FGrid, 1);
    layout->addLayout(navigator);
    resize(640, 400);
    Reload(FTable.RecordNumber());
}

void TRecordEditForm::SetRestructure(std::function<bool()> restructure) {
    FRestructure = std::move(restructure);
    FRestructureButton->setVisible(bool(FRestructure));
}

void TRecordEditForm::Reload(int currentRecord) {
    FLoading = true;
    FPending.clear();
    FEditRow = -1;
    FInserting = false;
    const TFieldDefs& fields = FTable.FieldDefs();
    FGrid->clear();
    FGrid->setColumnCount(int(fields.size()));
    QStringList headers;
    for (const TFieldDef& field : fields)
        headers.append(field.Name);
    FGrid->setHorizontalHeaderLabels(headers);
    const int count = FTable.IsOpen() ? FTable.RecordCount() : 0;
    FGrid->setRowCount(count);
    for (int row = 0; row < count; ++row) {
        FTable.MoveTo(row + 1);
        for (int column = 0; column < fields.size(); ++column) {
            const TFieldDef& field = fields[column];
            FGrid->setItem(row, column,
                           new QTableWidgetItem(
                               FieldValueText(FTable.FieldValue(field.Name), field.Type)));
        }
    }
    if (count > 0) {
        FTable.MoveTo(currentRecord);
        FGrid->setCurrentCell(FTable.RecordNumber() - 1, qMax(0, FGrid->currentColumn()));
    }
    FLoading = false;
    UpdateButtons();
}

void TRecordEditForm::UpdateButtons() {
    const int row = FGrid->currentRow();
    const int rows = FGrid->rowCount();
    const bool editing = FEditRow >= 0;
    FButtons.value(QStringLiteral("First"))->setEnabled(row > 0);
    FButtons.value(QStringLiteral("Prior"))->setEnabled(row > 0);
    FButtons.value(QStringLiteral("Next"))->setEnabled(row >= 0 && row < rows - 1);
    FButtons.value(QStringLiteral("Last"))->setEnabled(row >= 0 && row < rows - 1);
    FButtons.value(QStringLiteral("Insert"))->setEnabled(!FTable.ReadOnly());
    FButtons.value(QStringLiteral("Delete"))->setEnabled(!FTable.ReadOnly() && row >= 0);
    FButtons.value(QStringLiteral("Post"))->setEnabled(editing);
    FButtons.value(QStringLiteral("Cancel"))->setEnabled(editing);
    // No editing on a click into the current cell: it starts late and races the keys typed
    // meanwhile.
    FGrid->setEditTriggers(FTable.ReadOnly()
                               ? QAbstractItemView::NoEditTriggers
                               : QAbstractItemView::DoubleClicked |
                                     QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::AnyKeyPressed);
    FStatus->setText(editing ? (FInserting ? QStringLiteral("New record, not yet posted")
                                           : QStringLiteral("Record %1 changed, not yet posted")
                                                 .arg(FEditRow + 1))
                     : rows ? QStringLiteral("Record %1 of %2").arg(qMax(0, row) + 1).arg(rows)
                            : QStringLiteral("No records"));
}

void TRecordEditForm::CellEdited(int row, int column) {
    if (FLoading) return;
    if (FEditRow < 0) FEditRow = row;
    if (row != FEditRow) return; // cannot happen: leaving the row posts it first
    if (QTableWidgetItem* item = FGrid->item(row, column)) FPending.insert(column, item->text());
    UpdateButtons();
}

void TRecordEditForm::CurrentCellChanged(int row, int, int, int) {
    if (FLoading) return;
    if (FEditRow >= 0 && row != FEditRow) {
        if (!PostRecord()) {
            // Stay on the row that holds the typed values.
            const int back = FEditRow;
            QTimer::singleShot(0, this, [this, back] {
                if (FEditRow == back) {
                    FLoading = true;
                    FGrid->setCurrentCell(back, qMax(0, FGrid->currentColumn()));
                    FLoading = false;
                    UpdateButtons();
                }
            });
            return;
        }
        return; // PostRecord reloaded the grid and chose the row
    }
    if (row >= 0 && row != FEditRow && FTable.IsOpen()) FTable.MoveTo(row + 1);
    UpdateButtons();
}

bool TRecordEditForm::PostRecord() {
    // The cell being typed in counts.
    if (QWidget* editor = FGrid->indexWidget(FGrid->currentIndex()))
        QMetaObject::invokeMethod(FGrid, "commitData", Q_ARG(QWidget*, editor));
    if (FEditRow < 0) return true;
    const int targetRow = FGrid->currentRow();
    try {
        if (FInserting) {
            FTable.Append();
        } else {
            FTable.MoveTo(FEditRow + 1);
            FTable.Edit();
        }
        const TFieldDefs& fields = FTable.FieldDefs();
        for (auto it = FPending.cbegin(); it != FPending.cend(); ++it)
            if (it.key() < fields.size()) FTable.SetFieldText(fields[it.key()].Name, it.value());
        FTable.Post();
    } catch (const std::exception& e) {
        FTable.Cancel();
        AppContext().Messages().Error(Sentence(e.what()));
        UpdateButtons();
        return false;
    }
    const int posted = FTable.RecordNumber();
    const bool movedAway = targetRow >= 0 && targetRow != FEditRow;
    Reload(movedAway && !FInserting ? targetRow + 1 : posted);
    return true;
}

void TRecordEditForm::CancelRecord() {
    Reload(FInserting ? FTable.RecordCount() : FEditRow + 1);
}

void TRecordEditForm::GoToRow(int row) {
    if (row < 0 || row >= FGrid->rowCount()) return;
    FGrid->setCurrentCell(row, qMax(0, FGrid->currentColumn()));
    UpdateButtons();
}

void TRecordEditForm::First() { GoToRow(0); }
void TRecordEditForm::Prior() { GoToRow(FGrid->currentRow() - 1); }
void TRecordEditForm::Next() { GoToRow(FGrid->currentRow() + 1); }
void TRecordEditForm::Last() { GoToRow(FGrid->rowCount() - 1); }

void TRecordEditForm::AppendRecord() {
    if (!PostRecord()) return;
    const int row = FGrid->rowCount();
    FLoading = true;
    FGrid->setRowCount(row + 1);
    for (int column = 0; column < FGrid->columnCount(); ++column)
        FGrid->setItem(row, column, new QTableWidgetItem);
    FGrid->setCurrentCell(row, 0);
    FLoading = false;
    FEditRow = row;
    FInserting = true;
    FPending.clear();
    UpdateButtons();
}

void TRecordEditForm::DeleteRecord() {
    const int row = FGrid->currentRow();
    if (row < 0) return;
    if (FInserting && row == FEditRow) {
        CancelRecord();
        return;
    }
    if (!AppContext().Messages().Confirm(QStringLiteral("Delete record?"))) return;
    try {
        FTable.MoveTo(row + 1);
        FTable.DeleteRecord();
    } catch (const std::exception& e) {
        AppContext().Messages().Error(Sentence(e.what()));
    }
    Reload(row + 1);
}

void TRecordEditForm::done(int result) {
    // Closing posts the row being edited; a refused post keeps the dialog open.
    if (!PostRecord()) return;
    QDialog::done(result);
}
