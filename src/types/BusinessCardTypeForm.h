#pragma once

#include <QDialog>

class QLabel;
class QRadioButton;
class TCard;

// "Change Business Card Type": switches a business card between cards touching side by side
// (Connected, format 9) and cards with a gap between the columns (Separated, format 10).
class TBusinessCardTypeForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10037;
    static constexpr int ConnectedFormat = 9;

    explicit TBusinessCardTypeForm(TCard& card, QWidget* parent = nullptr);

    // Shows the dialog; on OK the card has the chosen format. True when confirmed.
    static bool Run(TCard& card, QWidget* parent = nullptr);

    int ItemIndex() const; // 0 Connected, 1 Separated
    void SetItemIndex(int index);
    // The card format that OK gives the card.
    int ChosenFormat() const { return ConnectedFormat + ItemIndex(); }

    void accept() override;

private:
    void TypeGroupClick();

    TCard& FCard;
    QRadioButton* FConnected;
    QRadioButton* FSeparated;
    QLabel* FPicture;
};
