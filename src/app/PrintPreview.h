#pragma once

#include "app/PreviewLayout.h"
#include "print/Imposition.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPainter;
class QPushButton;
class QScrollArea;
class TCard;
class TCardForm;
class TCardObject;

// "Print Preview": the sheets the publication comes out of the printer on, one after the
// other, each side of the paper in its outline, turned and mirrored panels as printed, sheet
// items repeated and personalized records stepped as printing one document per record does.
// A poster or banner is shown whole. The window can be resized: at Fit the sheets grow and
// shrink with it, at 100 % and 200 % they scroll. While it is open the editing control of the
// selected object is hidden.
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

    // The sheet shown, from 0, of SheetCount(); the page of the document it prints.
    int Sheet() const { return FSheet; }
    int SheetCount() const { return FPrinted.Count(); }
    int Page() const;
    void SetSheet(int sheet);
    // "Sheet 2 of 2", as shown beside the buttons.
    QString SheetText() const;

    TPreviewZoom Zoom() const { return FZoom; }
    void SetZoom(TPreviewZoom zoom);
    void ZoomIn();
    void ZoomOut();

    int ScaleDivisor() const { return FDivisor; }
    QPushButton* PreviousButton() const { return FPrevious; }
    QPushButton* NextButton() const { return FNext; }
    QPushButton* PrintButton() const { return FPrint; }
    QPushButton* CloseButton() const { return FClose; }
    QComboBox* ZoomBox() const { return FZoomBox; }
    // What the sheets are drawn on, inside the scroll area.
    QWidget* SheetArea() const { return FSheets; }
    QScrollArea* ScrollArea() const { return FScroll; }

    // Where the current sheet goes at the current zoom when the sheets can use `area`.
    TPreviewLayout LayOut(QSize area) const;
    // Draws the outlines, their titles and the current sheet as `layout` places them.
    void PaintSheets(QPainter& painter, const TPreviewLayout& layout);

private:
    void AddShortcuts();
    void UpdateControls();
    void DrawPass(QPainter& painter, const TPreviewSheetFrame& frame, const TPrintedSheet& printed);

    TCard& FCard;
    TCardForm* FForm;
    int FDivisor = 4;
    bool FMetric = false;
    TPrintedSheets FPrinted;
    int FSheet = 0;
    TPreviewZoom FZoom = TPreviewZoom::Fit;
    TCardObject* FHiddenControl = nullptr; // shown again on close
    bool FPaintFailed = false;
    QScrollArea* FScroll;
    QWidget* FSheets;
    QLabel* FSheetLabel;
    QComboBox* FZoomBox;
    QPushButton* FPrevious;
    QPushButton* FNext;
    QPushButton* FPrint;
    QPushButton* FClose;
};
