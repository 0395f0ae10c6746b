#include "types/SelectFieldsForm.h"
#include "storage/DialogHelp.h"


#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TSelectFieldsForm::TSelectFieldsForm(const QStringList& fields, const std::vector<bool>& selected,
                                     QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("SelectFieldsForm"));
    setWindowTitle(QStringLiteral("Select Fields"));
    auto* label = new QLabel(QStringLiteral("&Select fields that will appear on labels:"), this);
    FList = new QListWidget(this);
    FList->setObjectName(QStringLiteral("FieldList"));
    label->setBuddy(FList);
    for (int i = 0; i < fields.size(); ++i) {
        auto* item = new QListWidgetItem(fields[i], FList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(size_t(i) < selected.size() && selected[size_t(i)] ? Qt::Checked
                                                                               : Qt::Unchecked);
    }
    auto* all = new QPushButton(QStringLiteral("&All"), this);
    all->setObjectName(QStringLiteral("AllButton"));
    auto* clear = new QPushButton(QStringLiteral("&Clear"), this);
    clear->setObjectName(QStringLiteral("ClearButton"));
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(all, &QPushButton::clicked, this, [this] { CheckAll(true); });
    connect(clear, &QPushButton::clicked, this, [this] { CheckAll(false); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowDialogHelp(HelpContext); });

    auto* side = new QVBoxLayout;
    side->addWidget(all);
    side->addWidget(clear);
    side->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(FList, 1);
    row->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row, 1);
    layout->addWidget(buttons);
}

std::vector<bool> TSelectFieldsForm::Selected() const {
    std::vector<bool> selected;
    for (int i = 0; i < FList->count(); ++i)
        selected.push_back(FList->item(i)->checkState() == Qt::Checked);
    return selected;
}

void TSelectFieldsForm::CheckAll(bool checked) {
    for (int i = 0; i < FList->count(); ++i)
        FList->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool TSelectFieldsForm::Run(const QStringList& fields, std::vector<bool>& selected,
                            QWidget* parent) {
    TSelectFieldsForm form(fields, selected, parent);
    if (form.exec() != QDialog::Accepted) return false;
    selected = form.Selected();
    return true;
}
