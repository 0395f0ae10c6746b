#pragma once

#include <QDialog>
#include <QList>

class QLineEdit;
class QListWidget;
class QPushButton;
class TFieldObject;

// "Fill In Data": one line for the value of a field object; blank input is refused when the
// field is required.
class TFillInDataForm : public QDialog {
    Q_OBJECT
public:
    TFillInDataForm(const TFieldObject& field, QWidget* parent = nullptr);
    QString Value() const;
    QLineEdit* Edit() const { return FEdit; }
    QPushButton* OkButton() const { return FOk; }

    // Asks for the field's value; false when cancelled.
    static bool Ask(const TFieldObject& field, QString& value, QWidget* parent);

private:
    QLineEdit* FEdit;
    QPushButton* FOk;
};

// "Field Object Input Order": the page's fields by name, reordered by drag and drop on a copy
// of the order.
class TFieldOrderForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10042;
    TFieldOrderForm(const QList<TFieldObject*>& order, QWidget* parent = nullptr);
    // The order as the list shows it now.
    QList<TFieldObject*> Order() const;
    QListWidget* List() const { return FList; }

    // Shows the dialog on the order; true with the new order when confirmed.
    static bool Ask(QList<TFieldObject*>& order, QWidget* parent);

private:
    QListWidget* FList;
};
