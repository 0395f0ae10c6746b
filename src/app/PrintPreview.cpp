#include "app/PrintPreview.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Units.h"
#include "editor/CardWin.h"
#include "print/Imposition.h"
#include "print/PrintPublication.h"
#include "types/DialogSupport.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int Poster = 8;
constexpr int Banner = 13;
constexpr int Envelope = 14;
constexpr int SheetAreaHeight = 400;

// Left, top, right and bottom of an outline; right and bottom lie just outside it.
QRect Outline(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

class TSheetArea : public QWidget {
public:
    TSheetArea(TPrintPreviewForm& form, QWidget* parent) : QWidget(parent), FForm(form) {
        setFixedSize(632, SheetAreaHeight);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        FForm.PaintSheets(painter);
    }

private:
    TPrintPreviewForm& FForm;
};

} // namespace

int PreviewScaleDivisor(const TCard& card) {
    if (card.CardFormat == Poster) return 8;
    if (card.CardFormat == Banner)
        return std::max(4, (int(card.SheetGeometry.LabelWidth) + 599) / 600);
    return 4;
}

std::vector<TPreviewSheet> PreviewSheets(const TCard& card, int pageNumber, bool metric,
                                         int pixelsPerInch) {
    const bool portrait = card.PortraitPaper;
    const int format = card.CardFormat;
    if (format == Banner) {
        const TCardPage* page = card.PageCount() > 0 ? card.Pages(0) : nullptr;
        const TCardPanel* panel = page && page->PanelCount() > 0 ? page->Panels(0) : nullptr;
        const int divisor = PreviewScaleDivisor(card);
        const int a = panel ? MulDiv(panel->Width, pixelsPerInch, 100) / (2 * divisor) : 0;
        const int b = panel ? MulDiv(panel->Height, pixelsPerInch, 100) / (2 * divisor) : 0;
        return {{Outline(315 - a, 199 - b, 317 + a, 201 + b),
                 QStringLiteral("Page %1").arg(pageNumber), 0}};
    }
    if (format == Envelope)
        return {{Outline(202, 172, 430, 271), QStringLiteral("Page %1").arg(pageNumber), 0}};
    if (IsTwoSidedFormat(format)) {
        const QRect front = portrait ? (metric ? Outline(62, 88, 268, 375)
                                               : Outline(62, 88, 268, 354))
                                     : (metric ? Outline(25, 88, 312, 292)
                                               : Outline(25, 88, 291, 294));
        const QRect back = portrait ? (metric ? Outline(358, 88, 562, 375)
                                              : Outline(358, 88, 564, 354))
                                    : (metric ? Outline(329, 88, 616, 292)
                                              : Outline(329, 88, 595, 294));
        return {{front, QStringLiteral("Front (Page %1)").arg(pageNumber), 0},
                {back, QStringLiteral("Back (Page %1)").arg(pageNumber), 1}};
    }
    const QRect sheet = portrait ? Outline(213, 88, 419, metric ? 375 : 354)
                                 : (metric ? Outline(172, 88, 459, 292)
                                           : Outline(183, 88, 449, 294));
    return {{sheet, QStringLiteral("Page %1").arg(pageNumber), 0}};
}

TPrintPreviewForm::TPrintPreviewForm(TCard& card, TCardForm* form, QWidget* parent)
    : QDialog(parent), FCard(card), FForm(form), FDivisor(PreviewScaleDivisor(card)),
      FMetric(AppContext().Metric) {
    setWindowTitle(QStringLiteral("Print Preview"));
    setFixedSize(632, 453);
    FSheets = new TSheetArea(*this, this);
    FPrevious = new QPushButton(QStringLiteral("&Previous Page"), this);
    FNext = new QPushButton(QStringLiteral("&Next Page"), this);
    FPrint = new QPushButton(QStringLiteral("&Print..."), this);
    FClose = new QPushButton(QStringLiteral("&Close"), this);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(8, 0, 8, 8);
    buttons->addStretch();
    for (QPushButton* button : {FPrevious, FNext, FPrint, FClose, help})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FSheets);
    layout->addStretch();
    layout->addLayout(buttons);
    FClose->setDefault(true);

    connect(FPrevious, &QPushButton::clicked, this, [this] { SetPage(FPage - 1); });
    connect(FNext, &QPushButton::clicked, this, [this] { SetPage(FPage + 1); });
    connect(FPrint, &QPushButton::clicked, this, [this] { done(PrintRequested); });
    connect(FClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowDialogHelp(HelpContext); });

    if (FForm && FForm->Selection().Count() == 1) {
        TCardObject* selected = FForm->Selection().Items(0);
        if (selected && selected->IsControlVisible()) {
            selected->ShowControl(false);
            FForm->UpdateControlWidget();
            FHiddenControl = selected;
        }
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    UpdateButtons();
}

TPrintPreviewForm::~TPrintPreviewForm() {
    if (FHiddenControl && FForm) {
        FHiddenControl->ShowControl(true);
        FForm->UpdateControlWidget();
    }
}

void TPrintPreviewForm::SetPage(int page) {
    if (page < 0 || page >= FCard.PageCount() || page == FPage) return;
    FPage = page;
    UpdateButtons();
    FSheets->update();
}

void TPrintPreviewForm::UpdateButtons() {
    FPrevious->setEnabled(FPage > 0);
    FNext->setEnabled(FPage < FCard.PageCount() - 1);
}

void TPrintPreviewForm::PaintSheets(QPainter& painter) {
    painter.fillRect(FSheets->rect(), palette().window());
    const std::vector<TPreviewSheet> sheets =
        PreviewSheets(FCard, FPage + 1, FMetric, PixelsPerInch);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(20);
    for (const TPreviewSheet& sheet : sheets) {
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::white);
        painter.drawRect(sheet.Outline.adjusted(0, 0, -1, -1));
        painter.setFont(font);
        painter.setPen(Qt::blue);
        const int centre = sheet.Outline.center().x();
        painter.drawText(QRect(centre - 300, 16, 600, 60), Qt::AlignHCenter | Qt::AlignTop,
                         sheet.Title);
    }
    if (FPage < 0 || FPage >= FCard.PageCount() || !FCard.Pages(FPage)) return;

    // Personalized sheets show one record per item from the first, as they print.
    TRecordSource* table = FCard.DataTable();
    if (table && !table->IsOpen()) table = nullptr;
    const TRecordPositionScope restore(FCard, table);
    if (table) {
        table->First();
        FCard.RefreshRecordObjects();
    }
    const int firstRecord = table ? table->RecordNumber() : 0;
    for (const TPreviewSheet& sheet : sheets) {
        if (table && sheet.Pass > 0 && firstRecord > 0) {
            table->MoveTo(firstRecord);
            FCard.RefreshRecordObjects();
        }
        DrawPass(painter, sheet);
    }
}

void TPrintPreviewForm::DrawPass(QPainter& painter, const TPreviewSheet& sheet) {
    const TCardPage& page = *FCard.Pages(FPage);
    TRecordSource* table = FCard.DataTable();
    if (table && !table->IsOpen()) table = nullptr;
    const bool sheetFormat = IsSheetFormat(FCard.CardFormat);
    painter.save();
    painter.setClipRect(sheet.Outline.adjusted(1, 1, -1, -1));
    TCanvas canvas(painter, PixelsPerInch, PixelsPerInch, TCanvas::TKind::PrintPreview);
    for (const QPoint item : SheetItems(FCard.CardFormat, FCard.SheetGeometry)) {
        if (table && sheetFormat && table->Eof()) break; // the records ran out
        for (int i = 0; i < page.PanelCount(); ++i) {
            const TCardPanel* panel = page.Panels(i);
            if (!panel || panel->Side != sheet.Pass) continue;
            PaintPlacedPanel(
                canvas, *panel,
                PreviewPlacement(*panel, sheet.Outline, PixelsPerInch, FDivisor, item), false);
        }
        if (table && sheetFormat) {
            table->Next();
            FCard.RefreshRecordObjects();
        }
    }
    canvas.SetPanelTurn(false, false);
    painter.restore();
}
