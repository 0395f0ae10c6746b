#include "merge/DatabaseDesignForm.h"

#include "document/AppContext.h"
#include "merge/Table.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// An engine message as a sentence: some already end with a full stop.
QString Sentence(const char* what) {
    QString text = QString::fromUtf8(what);
    if (!text.endsWith(QLatin1Char('.'))) text += QLatin1Char('.');
    return text;
}

enum TColumn { ColName, ColType, ColSize, ColRequired, ColumnCount };

// Field names are typed in place, no longer than the table formats allow.
class TNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(TDatabaseField::MaxNameLength);
        return editor;
    }
};

} // namespace

TDatabaseDesignForm::TDatabaseDesignForm(const TDatabaseFieldTable& rows,
                                         const TFieldTypeSet& allowed, bool confirmDeletion,
                                         QWidget* parent)
    : QDialog(parent), FRows(rows), FAllowed(allowed), FConfirmDeletion(confirmDeletion),
      FGrid(new QTableWidget(0, ColumnCount, this)) {
    setWindowTitle(QStringLiteral("Database Fields"));
    FGrid->setHorizontalHeaderLabels({QStringLiteral("Field Name"), QStringLiteral("Type"),
                                      QStringLiteral("Size"), QStringLiteral("Required")});
    FGrid->setItemDelegateForColumn(ColName, new TNameDelegate(FGrid));
    FGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FGrid->horizontalHeader()->setSectionResizeMode(ColName, QHeaderView::Stretch);
    FGrid->verticalHeader()->setDefaultSectionSize(FGrid->fontMetrics().height() + 12);
    connect(FGrid, &QTableWidget::cellChanged, this, &TDatabaseDesignForm::NameEdited);

    auto* add = new QPushButton(QStringLiteral("&Add"), this);
    auto* insert = new QPushButton(QStringLiteral("&Insert"), this);
    FDelete = new QPushButton(QStringLiteral("&Delete"), this);
    auto* up = new QPushButton(QStringLiteral("Move &Up"), this);
    auto* down = new QPushButton(QStringLiteral("Move Do&wn"), this);
    connect(add, &QPushButton::clicked, this, &TDatabaseDesignForm::AddField);
    connect(insert, &QPushButton::clicked, this, &TDatabaseDesignForm::InsertField);
    connect(FDelete, &QPushButton::clicked, this, &TDatabaseDesignForm::DeleteField);
    connect(up, &QPushButton::clicked, this, [this] { MoveField(-1); });
    connect(down, &QPushButton::clicked, this, [this] { MoveField(1); });
    auto* side = new QVBoxLayout;
    for (QPushButton* button : {add, insert, FDelete, up, down}) {
        button->setAutoDefault(false);
        side->addWidget(button);
    }
    side->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TDatabaseDesignForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TDatabaseDesignForm::reject);
    auto* top = new QHBoxLayout;
    top->addWidget(FGrid, 1);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    resize(560, 380);
    Refill();
    if (FRows.Count() > 0) FGrid->setCurrentCell(0, ColName);
}

void TDatabaseDesignForm::Refill() {
    FFilling = true;
    FGrid->setRowCount(FRows.Count());
    for (int row = 0; row < FRows.Count(); ++row)
        FillRow(row);
    FFilling = false;
    FDelete->setEnabled(FRows.Count() > 0);
}

void TDatabaseDesignForm::FillRow(int row) {
    const bool filling = FFilling;
    FFilling = true;
    const TDatabaseField& field = FRows.At(row);
    FGrid->setItem(row, ColName, new QTableWidgetItem(field.Name));

    auto* type = new QComboBox;
    const TFieldType current = FieldTypeFromCode(field.FieldTypeCode).value_or(TFieldType::String);
    for (int code = 0; code < FieldTypeCount; ++code) {
        const auto candidate = TFieldType(code);
        if (FAllowed.Contains(candidate) || candidate == current)
            type->addItem(FieldTypeName(candidate), code);
    }
    type->setCurrentIndex(type->findData(int(current)));
    connect(type, &QComboBox::activated, this, [this, type] {
        // The row of a cell widget changes when rows move; look it up at the time.
        for (int r = 0; r < FGrid->rowCount(); ++r)
            if (FGrid->cellWidget(r, ColType) == type)
                SetFieldType(r, TFieldType(type->currentData().toInt()));
    });
    FGrid->setCellWidget(row, ColType, type);

    const TFieldSizeRule rule = FieldSizeRule(current);
    auto* size = new QSpinBox;
    size->setRange(rule.Min, rule.Max);
    size->setValue(field.Size);
    size->setEnabled(rule.HasSize);
    if (!rule.HasSize) size->setSpecialValueText(QStringLiteral(" "));
    connect(size, &QSpinBox::valueChanged, this, [this, size](int value) {
        for (int r = 0; r < FGrid->rowCount(); ++r)
            if (FGrid->cellWidget(r, ColSize) == size && !FFilling)
                FRows.At(r).Size = quint16(value);
    });
    FGrid->setCellWidget(row, ColSize, size);

    auto* required = new QTableWidgetItem;
    required->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    required->setCheckState(field.Required ? Qt::Checked : Qt::Unchecked);
    FGrid->setItem(row, ColRequired, required);
    FFilling = filling;
}

void TDatabaseDesignForm::NameEdited(int row, int column) {
    if (FFilling || row < 0 || row >= FRows.Count()) return;
    if (column == ColName) {
        const QString name = FGrid->item(row, ColName)->text().left(TDatabaseField::MaxNameLength);
        if (name != FRows.At(row).Name) FRows.At(row).Rename(name);
    } else if (column == ColRequired) {
        FRows.At(row).Required = FGrid->item(row, ColRequired)->checkState() == Qt::Checked;
    }
}

QString TDatabaseDesignForm::UnusedName() const {
    for (int n = FRows.Count() + 1;; ++n) {
        const QString name = QStringLiteral("Field%1").arg(n);
        if (FRows.IndexOf(name) < 0) return name;
    }
}

void TDatabaseDesignForm::AddField() {
    FRows.Add(TDatabaseField::NewField(UnusedName(), FAllowed.Types().value(0)));
    Refill();
    FGrid->setCurrentCell(FRows.Count() - 1, ColName);
    FGrid->editItem(FGrid->item(FRows.Count() - 1, ColName));
}

void TDatabaseDesignForm::InsertField() {
    const int row = qMax(0, FGrid->currentRow());
    FRows.Insert(qMin(row, FRows.Count()),
                 TDatabaseField::NewField(UnusedName(), FAllowed.Types().value(0)));
    Refill();
    FGrid->setCurrentCell(row, ColName);
    FGrid->editItem(FGrid->item(row, ColName));
}

void TDatabaseDesignForm::DeleteField() {
    const int row = FGrid->currentRow();
    if (row < 0 || row >= FRows.Count()) return;
    if (FConfirmDeletion &&
        !AppContext().Messages().Confirm(
            QStringLiteral("Delete the field '%1'?").arg(FRows.At(row).Name)))
        return;
    FRows.Delete(row);
    Refill();
    if (FRows.Count() > 0) FGrid->setCurrentCell(qMin(row, FRows.Count() - 1), ColName);
}

void TDatabaseDesignForm::MoveField(int delta) {
    const int row = FGrid->currentRow();
    const int to = row + delta;
    if (row < 0 || to < 0 || to >= FRows.Count()) return;
    FRows.Move(row, to);
    Refill();
    FGrid->setCurrentCell(to, ColName);
}

void TDatabaseDesignForm::SetFieldType(int row, TFieldType type) {
    if (row < 0 || row >= FRows.Count()) return;
    TDatabaseField& field = FRows.At(row);
    if (field.FieldTypeCode == quint8(type)) return;
    field.FieldTypeCode = quint8(type);
    field.Size = quint16(FieldSizeRule(type).Default);
    FillRow(row);
}

void TDatabaseDesignForm::SetFieldSize(int row, int size) {
    if (auto* spin = qobject_cast<QSpinBox*>(FGrid->cellWidget(row, ColSize))) spin->setValue(size);
}

void TDatabaseDesignForm::accept() {
    // A name still being typed counts.
    if (QWidget* editor = FGrid->indexWidget(FGrid->currentIndex()))
        QMetaObject::invokeMethod(FGrid, "commitData", Q_ARG(QWidget*, editor));
    try {
        if (FRows.Count() == 0)
            throw EDatabaseError(QStringLiteral("A table needs at least one field"));
        FRows.Validate();
    } catch (const std::exception& e) {
        AppContext().Messages().Error(Sentence(e.what()));
        return;
    }
    QDialog::accept();
}
