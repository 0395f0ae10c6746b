#include "kbviewer/Locate.h"

#include "kbviewer/KbServices.h"
#include "kbviewer/QuestionTable.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

bool FieldMatches(const QString& field, const QString& value, TMatchMode mode,
                  Qt::CaseSensitivity sensitivity) {
    switch (mode) {
    case TMatchMode::Exact:
        return field.compare(value, sensitivity) == 0;
    case TMatchMode::Beginning:
        return field.startsWith(value, sensitivity);
    case TMatchMode::Anywhere:
        return field.contains(value, sensitivity);
    }
    return false;
}

TLocateResult LocateNext(const QAbstractItemModel& model, int column, const QString& value,
                         TMatchMode mode, Qt::CaseSensitivity sensitivity, int current) {
    const int rows = model.rowCount();
    if (rows == 0 || column < 0 || column >= model.columnCount()) return {};
    const int start = current < 0 || current >= rows ? 0 : current + 1;
    for (int step = 0; step < rows; ++step) {
        const int row = (start + step) % rows;
        const QString field = model.data(model.index(row, column)).toString();
        if (FieldMatches(field, value, mode, sensitivity))
            return {row, start + step >= rows};
    }
    return {};
}

namespace {

const QString NoteWraps =
    QStringLiteral("Find Next looks below the current row and goes on from the top.");

} // namespace

TLocateDialog::TLocateDialog(QTableView* grid, QWidget* parent)
    : QDialog(parent), FGrid(grid), FFieldCombo(new QComboBox(this)),
      FValueEdit(new QLineEdit(this)), FCaseSensitive(new QCheckBox(QStringLiteral("&Case-sensitive"), this)),
      FNoteLabel(new QLabel(NoteWraps, this)) {
    setObjectName(QStringLiteral("LocateDialog"));
    setWindowTitle(QStringLiteral("Locate Field Value"));
    FFieldCombo->setObjectName(QStringLiteral("FieldCombo"));
    FValueEdit->setObjectName(QStringLiteral("ValueEdit"));
    FCaseSensitive->setObjectName(QStringLiteral("CaseSensitiveCheck"));
    FNoteLabel->setObjectName(QStringLiteral("NoteLabel"));
    FNoteLabel->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Fiel&d:"), FFieldCombo);
    form->addRow(QStringLiteral("Search &value:"), FValueEdit);

    auto* matchBox = new QGroupBox(QStringLiteral("Match"), this);
    FExactButton = new QRadioButton(QStringLiteral("&Exact Match"), matchBox);
    FExactButton->setObjectName(QStringLiteral("ExactButton"));
    FBeginningButton = new QRadioButton(QStringLiteral("&Partial Match at Beginning"), matchBox);
    FBeginningButton->setObjectName(QStringLiteral("BeginningButton"));
    FAnywhereButton = new QRadioButton(QStringLiteral("Partial Match &Anywhere"), matchBox);
    FAnywhereButton->setObjectName(QStringLiteral("AnywhereButton"));
    FAnywhereButton->setChecked(true);
    auto* matchLayout = new QVBoxLayout(matchBox);
    matchLayout->addWidget(FExactButton);
    matchLayout->addWidget(FBeginningButton);
    matchLayout->addWidget(FAnywhereButton);

    auto* buttons = new QDialogButtonBox(this);
    FFindButton = buttons->addButton(QStringLiteral("&Find Next"), QDialogButtonBox::ActionRole);
    FFindButton->setObjectName(QStringLiteral("FindNextButton"));
    FFindButton->setDefault(true);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setAutoDefault(false);
    connect(FFindButton, &QPushButton::clicked, this, &TLocateDialog::FindNext);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(FValueEdit, &QLineEdit::textChanged, this, &TLocateDialog::UpdateFindButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(matchBox);
    layout->addWidget(FCaseSensitive);
    layout->addWidget(FNoteLabel);
    layout->addWidget(buttons);

    RefreshFields();
    UpdateFindButton();
    setMinimumWidth(360);
}

void TLocateDialog::RefreshFields() {
    const QString chosen = FFieldCombo->count() > 0 ? FieldName() : QStringLiteral("Title");
    FFieldCombo->clear();
    QAbstractItemModel* model = FGrid->model();
    if (!model) return;
    QList<QPair<QString, int>> fields;
    for (int column = 0; column < model->columnCount(); ++column) {
        if (FGrid->isColumnHidden(column)) continue;
        QVariant name = model->headerData(column, Qt::Horizontal, TQuestionTable::FieldNameRole);
        if (!name.isValid()) name = model->headerData(column, Qt::Horizontal);
        fields.append({name.toString(), column});
    }
    std::sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });
    for (const auto& [name, column] : fields)
        FFieldCombo->addItem(name, column);
    const int index = FFieldCombo->findText(chosen);
    FFieldCombo->setCurrentIndex(std::max(index, 0));
}

QString TLocateDialog::FieldName() const {
    return FFieldCombo->currentText();
}

TMatchMode TLocateDialog::Mode() const {
    if (FExactButton->isChecked()) return TMatchMode::Exact;
    if (FBeginningButton->isChecked()) return TMatchMode::Beginning;
    return TMatchMode::Anywhere;
}

Qt::CaseSensitivity TLocateDialog::Sensitivity() const {
    return FCaseSensitive->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

QString TLocateDialog::Note() const {
    return FNoteLabel->text();
}

void TLocateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Ready for typing, and a new value replaces the last one.
    FValueEdit->setFocus();
    FValueEdit->selectAll();
}

void TLocateDialog::UpdateFindButton() {
    FFindButton->setEnabled(!FValueEdit->text().isEmpty());
}

QString TLocateDialog::DescribeSearch() const {
    const char* verb = Mode() == TMatchMode::Exact       ? "is"
                       : Mode() == TMatchMode::Beginning ? "begins with"
                                                         : "contains";
    return QStringLiteral("%1 %2 \"%3\"%4")
        .arg(FieldName(), QLatin1String(verb), FValueEdit->text(),
             Sensitivity() == Qt::CaseSensitive ? QStringLiteral(" (case-sensitive)")
                                                : QString());
}

void TLocateDialog::FindNext() {
    QAbstractItemModel* model = FGrid->model();
    const QString value = FValueEdit->text();
    if (!model || value.isEmpty() || FFieldCombo->currentIndex() < 0) return;
    const int column = FFieldCombo->currentData().toInt();
    const QModelIndex current = FGrid->currentIndex();
    const int currentRow = current.isValid() ? current.row() : -1;
    const TLocateResult found =
        LocateNext(*model, column, value, Mode(), Sensitivity(), currentRow);
    if (found.Row < 0) {
        FNoteLabel->setText(NoteWraps);
        KbServices().ShowMessage(this, QStringLiteral("Information"),
                                 QStringLiteral("No row found where %1.").arg(DescribeSearch()),
                                 false);
        return;
    }
    if (found.Row == currentRow) {
        FNoteLabel->setText(NoteWraps);
        KbServices().ShowMessage(
            this, QStringLiteral("Information"),
            QStringLiteral("No more rows found where %1: the current row is the only one.")
                .arg(DescribeSearch()),
            false);
        return;
    }
    FGrid->setCurrentIndex(model->index(found.Row, current.isValid() ? current.column() : column));
    FGrid->scrollTo(FGrid->currentIndex());
    FNoteLabel->setText(found.Wrapped
                            ? QStringLiteral("Reached the last row; found by going on from the top.")
                            : NoteWraps);
}
