#pragma once

#include <QDialog>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;
class QPushButton;
class TCard;
class TCardForm;
class TCardObject;

// One sheet of paper in the print preview: its outline in window pixels (left and top
// inside, right and bottom just outside) and the title above it.
struct TPreviewSheet {
    QRect Outline;
    QString Title;
    int Pass = 0; // 0 the front of the paper, 1 the back
};

// The sheets the preview shows for a page (numbered from 1): one per pass, at fixed places
// for each layout in inches or in the metric system.
std::vector<TPreviewSheet> PreviewSheets(const TCard& card, int pageNumber, bool metric,
                                         int pixelsPerInch);
// How many times smaller than on screen the preview draws: 8 for a poster, at least 4 and
// enough to fit a banner, 4 otherwise.
int PreviewScaleDivisor(const TCard& card);

// "Print Preview": the current page of the publication as it comes out of the printer, each
// side of the paper in its outline, turned and mirrored panels as printed, sheet items
// repeated and personalized records stepped as printing does. A poster or banner is shown
// whole. While it is open the editing control of the selected object is hidden.
class TPrintPreviewForm : public QDialog {
    Q_OBJECT
public:
    // The dialog's result when the user asked to print.
    static constexpr int PrintRequested = 2;
    // The outlines are laid out for this density whatever the screen's.
    static constexpr int PixelsPerInch = 96;
    static constexpr int HelpContext = 10009;

    // form (optional) is the editing window whose control is hidden meanwhile.
    TPrintPreviewForm(TCard& card, TCardForm* form, QWidget* parent = nullptr);
    ~TPrintPreviewForm() override;

    int Page() const { return FPage; }
    void SetPage(int page);
    int ScaleDivisor() const { return FDivisor; }
    QPushButton* PreviousButton() const { return FPrevious; }
    QPushButton* NextButton() const { return FNext; }
    QPushButton* PrintButton() const { return FPrint; }
    QPushButton* CloseButton() const { return FClose; }
    QWidget* SheetArea() const { return FSheets; }

    // Draws the outlines, their titles and the current page into the sheet area.
    void PaintSheets(QPainter& painter);

private:
    void UpdateButtons();
    void DrawPass(QPainter& painter, const TPreviewSheet& sheet);

    TCard& FCard;
    TCardForm* FForm;
    int FPage = 0;
    int FDivisor = 4;
    bool FMetric = false;
    TCardObject* FHiddenControl = nullptr; // shown again on close
    QWidget* FSheets;
    QPushButton* FPrevious;
    QPushButton* FNext;
    QPushButton* FPrint;
    QPushButton* FClose;
};
