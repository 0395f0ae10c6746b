#pragma once

#include <QDialog>

class QDoubleSpinBox;
class QLabel;
class TCard;

// "Change Banner Width": the length of a banner, in inches or, in the metric system, in
// centimetres. The number of sheets stays as it is; the panels are laid out again.
class TBannerWidthForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10036;
    static constexpr double MinimumInches = 10;
    static constexpr double MaximumInches = 100;

    explicit TBannerWidthForm(TCard& card, QWidget* parent = nullptr);

    // Shows the dialog; true when the user confirmed it.
    static bool Run(TCard& card, QWidget* parent = nullptr);

    bool Metric() const { return FMetric; }
    // The width shown, in the field's unit.
    double Width() const;
    void SetWidth(double width);
    // The banner width (1/100 inch) that OK stores.
    int ChosenWidth() const;

    void accept() override;

private:
    TCard& FCard;
    bool FMetric;
    QLabel* FWidthLabel;
    QDoubleSpinBox* FWidthEdit;
};
