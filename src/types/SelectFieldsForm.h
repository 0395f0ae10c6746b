#pragma once

#include <QDialog>
#include <QStringList>

#include <vector>

class QListWidget;

// "Select Fields": which of the label database's fields appear on the labels.
class TSelectFieldsForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 21000;

    TSelectFieldsForm(const QStringList& fields, const std::vector<bool>& selected,
                      QWidget* parent = nullptr);

    // Shows the dialog on the selection; OK copies the checks back.
    static bool Run(const QStringList& fields, std::vector<bool>& selected,
                    QWidget* parent = nullptr);

    std::vector<bool> Selected() const;
    void CheckAll(bool checked);

private:
    QListWidget* FList;
};
