#pragma once

#include <QDialog>
#include <QString>

class QImage;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TCard;

// "Choose Card Type/Description": sets the document type and description of a publication,
// showing its file name, text, preview and shape. A document of an older file version, which
// does not know its type, must be answered: the dialog then cannot be cancelled. Nothing but
// the type and description changes (no scaling, no new format).
class TConvertCardTypeForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10045;
    static constexpr int ListedTypeCount = 14;

    // preview: the picture to show (null: the card's own preview picture, if any).
    TConvertCardTypeForm(TCard& card, const QString& fileName, const QImage* preview,
                         bool oldFormat, QWidget* parent = nullptr);

    // Shows the dialog; true when the card took the chosen type and description.
    static bool Run(TCard& card, const QString& fileName, const QImage* preview, bool oldFormat,
                    QWidget* parent = nullptr);

    int ChosenType() const; // -1 when no item is selected
    QString ChosenDescription() const;

    void accept() override;
    void reject() override;

private:
    void DescriptionEditChange();

    TCard& FCard;
    bool FOldFormat;
    QListWidget* FTypeList;
    QLineEdit* FDescriptionEdit;
    QPushButton* FOkButton;
};
