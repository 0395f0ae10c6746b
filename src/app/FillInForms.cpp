#include "app/FillInForms.h"

#include "document/Control.h"
#include "storage/DialogHelp.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFillInDataForm::TFillInDataForm(const TFieldObject& field, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Fill In Data"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(QStringLiteral("Fill in data for %1:").arg(field.FieldName), this);
    FEdit = new QLineEdit(field.Value, this);
    prompt->setBuddy(FEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    FOk = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(prompt);
    layout->addWidget(FEdit);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (field.Required) {
        auto update = [this] { FOk->setEnabled(!FEdit->text().trimmed().isEmpty()); };
        connect(FEdit, &QLineEdit::textChanged, this, update);
        update();
    }
    FEdit->selectAll();
    resize(360, sizeHint().height());
}

QString TFillInDataForm::Value() const { return FEdit->text(); }

bool TFillInDataForm::Ask(const TFieldObject& field, QString& value, QWidget* parent) {
    TFillInDataForm form(field, parent);
    if (form.exec() != QDialog::Accepted) return false;
    value = form.Value();
    return true;
}

TFieldOrderForm::TFieldOrderForm(const QList<TFieldObject*>& order, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Field Object Input Order"));
    auto* layout = new QVBoxLayout(this);
    FList = new QListWidget(this);
    FList->setToolTip(
        QStringLiteral("Drag and drop the field objects to their new place in the input order"));
    FList->setDragDropMode(QAbstractItemView::InternalMove);
    FList->setDefaultDropAction(Qt::MoveAction);
    for (TFieldObject* field : order) {
        auto* item = new QListWidgetItem(field->FieldName, FList);
        item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(field)));
    }
    if (FList->count() > 0) FList->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    layout->addWidget(FList);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowDialogHelp(HelpContext); });
}

QList<TFieldObject*> TFieldOrderForm::Order() const {
    QList<TFieldObject*> order;
    for (int i = 0; i < FList->count(); ++i)
        order.append(static_cast<TFieldObject*>(FList->item(i)->data(Qt::UserRole).value<void*>()));
    return order;
}

bool TFieldOrderForm::Ask(QList<TFieldObject*>& order, QWidget* parent) {
    TFieldOrderForm form(order, parent);
    if (form.exec() != QDialog::Accepted) return false;
    order = form.Order();
    return true;
}
