#include "print/PrintPublication.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Units.h"
#include "print/Imposition.h"
#include "print/Printer.h"

#include <QPainter>

#include <algorithm>

QString PerRecordQuestion() {
    return QStringLiteral("Print one %1 for each database record?")
        .arg(QStringLiteral("Document").toLower());
}

QString CropMarksQuestion() {
    return QStringLiteral("Print crop marks?");
}

QString TurnOverQuestion() {
    return QStringLiteral(
        "When the printer is ready, prepare it to print the other side of the page by turning "
        "the page over, putting the page back in the printer, and pressing the OK button.  "
        "Press the Cancel button to stop printing the other side of the page.");
}

TRecordPositionScope::TRecordPositionScope(TCard& card, TRecordSource* table)
    : FCard(card), FTable(table), FSaved(table ? table->RecordNumber() : 0) {}

TRecordPositionScope::~TRecordPositionScope() {
    if (!FTable) return;
    try {
        if (FSaved > 0) FTable->MoveTo(FSaved);
        FCard.RefreshRecordObjects();
    } catch (...) {
        // What printed (or the preview) matters more than the position of the table.
    }
}

void PaintPlacedPanel(TCanvas& canvas, const TCardPanel& panel, const TPanelPlacement& at,
                      bool printing) {
    canvas.Painter().setWorldTransform(at.Transform);
    canvas.SetPanelTurn(panel.Turned, panel.Mirrored);
    for (int i = 0; i < panel.Count(); ++i)
        if (TCardObject* object = panel.Items(i))
            object->Paint(canvas, at.Origin.x(), at.Origin.y(), printing);
}

namespace {

class TPrintRun {
public:
    TPrintRun(TCard& card, TPrinter& printer, TPrintPrompts& prompts,
              const TPrintRequest& request)
        : FCard(card), FPrinter(printer), FPrompts(prompts), FRequest(request),
          FFormat(card.CardFormat), FGeometry(card.SheetGeometry),
          FSheetFormat(IsSheetFormat(card.CardFormat)) {}

    TPrintResult Run();

private:
    TSheetRun SheetRun(bool firstCopy) const;
    bool PrintPage(const TCardPage& page, const TPrintedSheet& sheet);
    void DrawPass(const TCardPage& page, const TPrintedSheet& sheet, int pass);
    void DrawPanel(TCanvas& canvas, const TCardPanel& panel, QPoint item, QPoint shift);
    void DrawCropMarks(QPainter& painter);
    void StartPage();
    void RefreshFields() { FCard.RefreshRecordObjects(); }
    void SetBusy(bool busy) {
        if (busy != FBusy) FPrompts.Busy(busy);
        FBusy = busy;
    }
    int Units(int pixels) const { return MulDiv(pixels, 100, FDpi); }

    TCard& FCard;
    TPrinter& FPrinter;
    TPrintPrompts& FPrompts;
    const TPrintRequest& FRequest;
    const int FFormat;
    const TSheetGeometry FGeometry;
    const bool FSheetFormat;
    TRecordSource* FTable = nullptr; // while printing one document per record
    QTransform FCalibration;
    bool FCropMarks = false;
    int FDpi = 100;
    QSize FPaper;     // units
    QPoint FOffset;   // the printable area's top-left on the paper, units
    QSize FPrintable; // units
    TPrintResult FResult;
    bool FBusy = false;
};

TPrintResult TPrintRun::Run() {
    TRecordSource* table = FCard.DataTable();
    if (table && table->IsOpen() && FPrompts.PrintPerRecord()) FTable = table;
    FCropMarks = IsBusinessCardFormat(FFormat) && FPrompts.PrintCropMarks();

    FPrinter.SetPortrait(FCard.PortraitPaper);
    FPrinter.SetTitle(FRequest.Title);
    FDpi = std::max(1, FPrinter.PixelsPerInch());
    FPaper = PaperSize(FCard.PortraitPaper, AppContext().Metric);
    const QPoint offset = FPrinter.PrintableOffsetPixels();
    FOffset = {Units(offset.x()), Units(offset.y())};
    const QSize page = FPrinter.PageSizePixels();
    FPrintable = {Units(page.width()), Units(page.height())};
    FCalibration = CalibrationTransform(FRequest.Calibration, offset, FDpi);
    if (FRequest.Copies <= 0) return FResult;

    const int firstPage = std::max(1, FRequest.FromPage);
    const int lastPage =
        FRequest.ToPage > 0 ? std::min(FRequest.ToPage, FCard.PageCount()) : FCard.PageCount();
    const TPageRange pages{firstPage - 1, lastPage - 1};

    TRecordPositionScope restore(FCard, FTable);
    try {
        for (int copy = 0; copy < FRequest.Copies; ++copy) {
            // A half-used sheet is used up by the first copy.
            const TPrintedSheets sheets(FFormat, FGeometry, pages, SheetRun(copy == 0));
            for (int i = 0; i < sheets.Count(); ++i) {
                const TPrintedSheet sheet = sheets.At(i);
                const TCardPage* cardPage = FCard.Pages(sheet.Page);
                if (!cardPage) continue;
                if (!PrintPage(*cardPage, sheet)) {
                    FResult.Cancelled = true;
                    if (FPrinter.Printing()) FPrinter.EndDoc();
                    return FResult;
                }
            }
        }
        if (FPrinter.Printing()) FPrinter.EndDoc();
    } catch (...) {
        if (FPrinter.Printing()) FPrinter.Abort();
        SetBusy(false);
        throw;
    }
    return FResult;
}

TSheetRun TPrintRun::SheetRun(bool firstCopy) const {
    TSheetRun run;
    if (FTable) {
        const int count = FTable->RecordCount();
        const int from = std::max(1, FRequest.FirstRecord);
        const int to = FRequest.LastRecord > 0 ? FRequest.LastRecord : count;
        // A range past the table prints nothing rather than other records.
        run = RecordRange(from, to, count).value_or(TSheetRun{0, 0, 0});
    }
    if (firstCopy) run.SkippedItems = FRequest.StartItem;
    return run;
}

// Every pass of one page of the document; false when the user stopped at the turn-over.
bool TPrintRun::PrintPage(const TCardPage& page, const TPrintedSheet& sheet) {
    bool frontPrinted = false;
    for (int pass = 0; pass < PassCount(FFormat); ++pass) {
        if (pass == 0 && FRequest.Sides == TPrintSides::Back) continue;
        if (pass == 1 && FRequest.Sides == TPrintSides::Front) continue;
        if (pass == 1 && frontPrinted && !FPrinter.WritesFile() && !FPrompts.TurnPaperOver())
            return false;
        // Every pass shows the same records: the back of each card belongs to its front.
        if (FTable) {
            FTable->MoveTo(sheet.FirstRecord + 1);
            RefreshFields();
        }
        SetBusy(true);
        StartPage();
        DrawPass(page, sheet, pass);
        if (!FPrinter.WritesFile()) FPrinter.EndDoc();
        SetBusy(false);
        frontPrinted = pass == 0;
    }
    return true;
}

// A page of its own: on paper a job of its own, in a file the next page of the one job.
void TPrintRun::StartPage() {
    if (FPrinter.Printing()) {
        FPrinter.NewPage();
    } else {
        FPrinter.BeginDoc();
        ++FResult.Jobs;
    }
    ++FResult.Pages;
}

void TPrintRun::DrawPass(const TCardPage& page, const TPrintedSheet& sheet, int pass) {
    QPainter& painter = FPrinter.Painter();
    TCanvas canvas(painter, FDpi, FDpi, TCanvas::TKind::Printer);
    const QPoint shift = TileShift(FFormat, FGeometry, sheet.Tile, FPrintable);
    const std::vector<QPoint> items = SheetItems(FFormat, FGeometry);
    // Records running out leave the rest of the sheet empty.
    const size_t first = std::min(items.size(), size_t(sheet.FirstItem));
    const size_t drawn = FTable && FSheetFormat
                             ? std::min(items.size(), first + size_t(sheet.Records))
                             : items.size();
    for (size_t item = first; item < drawn; ++item) {
        for (int i = 0; i < page.PanelCount(); ++i) {
            const TCardPanel* panel = page.Panels(i);
            if (panel && panel->Side == pass) DrawPanel(canvas, *panel, items[item], shift);
        }
        if (FTable && FSheetFormat) {
            FTable->Next();
            RefreshFields();
        }
    }
    canvas.SetPanelTurn(false, false);
    if (FCropMarks) DrawCropMarks(painter);
}

void TPrintRun::DrawPanel(TCanvas& canvas, const TCardPanel& panel, QPoint item, QPoint shift) {
    TPanelPlacement at = PrintPlacement(panel, FPaper, FOffset, FDpi, item, shift);
    at.Transform *= FCalibration;
    QPainter& painter = canvas.Painter();
    painter.save();
    PaintPlacedPanel(canvas, panel, at, true);
    painter.restore();
}

void TPrintRun::DrawCropMarks(QPainter& painter) {
    painter.save();
    painter.setWorldTransform(FCalibration);
    QPen pen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap);
    painter.setPen(pen);
    auto device = [this](int x, int y) {
        return QPoint(MulDiv(x - FOffset.x(), FDpi, 100), MulDiv(y - FOffset.y(), FDpi, 100));
    };
    for (const QLine& mark : CropMarks(FFormat, FGeometry))
        painter.drawLine(device(mark.x1(), mark.y1()), device(mark.x2(), mark.y2()));
    painter.restore();
}

} // namespace

TPrintResult PrintPublication(TCard& card, TPrinter& printer, TPrintPrompts& prompts,
                              const TPrintRequest& request) {
    return TPrintRun(card, printer, prompts, request).Run();
}
