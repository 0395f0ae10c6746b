#include "app/PrintPreview.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Messages.h"
#include "editor/CardWin.h"
#include "print/PrintPublication.h"
#include "storage/DialogHelp.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace {

constexpr QSize InitialSize{632, 453};
constexpr int ButtonBarHeight = InitialSize.height() - PreviewLayoutSize.height();

TRecordSource* OpenTable(const TCard& card) {
    TRecordSource* table = card.DataTable();
    return table && table->IsOpen() ? table : nullptr;
}

// A connected publication is previewed as printing one document per record prints it.
TPrintedSheets PreviewedSheets(const TCard& card) {
    const TRecordSource* table = OpenTable(card);
    return TPrintedSheets(card.CardFormat, card.SheetGeometry, {0, card.PageCount() - 1},
                          table ? std::optional<int>(table->RecordCount()) : std::nullopt,
                          TPrintedSheets::TTiles::Whole);
}

// Restores the painter however the drawing ends.
class TPainterState {
public:
    explicit TPainterState(QPainter& painter) : FPainter(painter) { FPainter.save(); }
    ~TPainterState() { FPainter.restore(); }
    TPainterState(const TPainterState&) = delete;
    TPainterState& operator=(const TPainterState&) = delete;

private:
    QPainter& FPainter;
};

// Draws the preview, as large as the scroll area's viewport at Fit, else as large as the
// layout asks.
class TSheetArea : public QWidget {
public:
    TSheetArea(TPrintPreviewForm& form, QWidget* parent) : QWidget(parent), FForm(form) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        FForm.PaintSheets(painter, FForm.LayOut(size()));
    }

private:
    TPrintPreviewForm& FForm;
};

} // namespace

TPrintPreviewForm::TPrintPreviewForm(TCard& card, TCardForm* form, QWidget* parent)
    : QDialog(parent), FCard(card), FForm(form), FDivisor(PreviewScaleDivisor(card)),
      FMetric(AppContext().Metric), FPrinted(PreviewedSheets(card)) {
    setWindowTitle(QStringLiteral("Print Preview"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(InitialSize);

    FScroll = new QScrollArea(this);
    FScroll->setFrameShape(QFrame::NoFrame);
    FScroll->setAlignment(Qt::AlignCenter);
    FScroll->setBackgroundRole(QPalette::Window);
    FSheets = new TSheetArea(*this, FScroll);
    FScroll->setWidget(FSheets);

    FSheetLabel = new QLabel(this);
    FSheetLabel->setObjectName(QStringLiteral("SheetLabel"));
    FZoomBox = new QComboBox(this);
    FZoomBox->addItems({QStringLiteral("Fit"), QStringLiteral("100 %"), QStringLiteral("200 %")});
    FZoomBox->setToolTip(QStringLiteral("Zoom"));
    FPrevious = new QPushButton(QStringLiteral("&Previous Page"), this);
    FNext = new QPushButton(QStringLiteral("&Next Page"), this);
    FPrint = new QPushButton(QStringLiteral("&Print..."), this);
    FClose = new QPushButton(QStringLiteral("&Close"), this);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);

    auto* bar = new QWidget(this);
    bar->setFixedHeight(ButtonBarHeight);
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(8, 0, 8, 8);
    // The buttons stay centred; the sheet's number takes what room is left beside them and
    // wraps rather than widening the window.
    FSheetLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    FSheetLabel->setWordWrap(true);
    buttons->addWidget(FSheetLabel, 1);
    for (QPushButton* button : {FPrevious, FNext, FPrint, FClose, help})
        buttons->addWidget(button);
    auto* zoom = new QHBoxLayout();
    zoom->addStretch();
    zoom->addWidget(FZoomBox);
    buttons->addLayout(zoom, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FScroll, 1);
    layout->addWidget(bar);
    FClose->setDefault(true);

    connect(FPrevious, &QPushButton::clicked, this, [this] { SetSheet(FSheet - 1); });
    connect(FNext, &QPushButton::clicked, this, [this] { SetSheet(FSheet + 1); });
    connect(FPrint, &QPushButton::clicked, this, [this] { done(PrintRequested); });
    connect(FClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowDialogHelp(HelpContext); });
    connect(FZoomBox, &QComboBox::activated, this,
            [this](int index) { SetZoom(TPreviewZoom(index)); });
    AddShortcuts();

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
    SetZoom(TPreviewZoom::Fit);
    UpdateControls();
}

TPrintPreviewForm::~TPrintPreviewForm() {
    if (FHiddenControl && FForm) {
        FHiddenControl->ShowControl(true);
        FForm->UpdateControlWidget();
    }
}

void TPrintPreviewForm::AddShortcuts() {
    auto bind = [this](const QList<QKeySequence>& keys, auto handler) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        connect(shortcut, &QShortcut::activated, this, handler);
    };
    bind({Qt::Key_PageDown}, [this] { SetSheet(FSheet + 1); });
    bind({Qt::Key_PageUp}, [this] { SetSheet(FSheet - 1); });
    bind({Qt::Key_Home}, [this] { SetSheet(0); });
    bind({Qt::Key_End}, [this] { SetSheet(SheetCount() - 1); });
    bind({Qt::Key_Plus, Qt::Key_Equal, QKeySequence::ZoomIn, Qt::KeypadModifier | Qt::Key_Plus},
         [this] { ZoomIn(); });
    bind({Qt::Key_Minus, QKeySequence::ZoomOut, Qt::KeypadModifier | Qt::Key_Minus},
         [this] { ZoomOut(); });
    bind({Qt::CTRL | Qt::Key_0}, [this] { SetZoom(TPreviewZoom::Fit); });
}

int TPrintPreviewForm::Page() const {
    return SheetCount() > 0 ? FPrinted.At(FSheet).Page : 0;
}

void TPrintPreviewForm::SetSheet(int sheet) {
    if (sheet < 0 || sheet >= SheetCount() || sheet == FSheet) return;
    FSheet = sheet;
    UpdateControls();
    FSheets->update();
}

QString TPrintPreviewForm::SheetText() const {
    if (SheetCount() == 0) return QStringLiteral("Nothing to print");
    const int paper = FPrinted.PaperSheetsPerEntry();
    if (paper == 1)
        return QStringLiteral("Sheet %1 of %2").arg(FSheet + 1).arg(SheetCount());
    // A poster or banner is seen whole but printed on several sheets.
    return QStringLiteral("%1 %2 of %3\n(%4 sheets)")
        .arg(IsPosterFormat(FCard.CardFormat) ? QStringLiteral("Poster") : QStringLiteral("Banner"))
        .arg(FSheet + 1)
        .arg(SheetCount())
        .arg(paper);
}

void TPrintPreviewForm::SetZoom(TPreviewZoom zoom) {
    FZoom = zoom;
    FZoomBox->setCurrentIndex(int(zoom));
    const bool fit = zoom == TPreviewZoom::Fit;
    const Qt::ScrollBarPolicy bars = fit ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    FScroll->setHorizontalScrollBarPolicy(bars);
    FScroll->setVerticalScrollBarPolicy(bars);
    FScroll->setWidgetResizable(fit);
    if (!fit) FSheets->resize(LayOut({}).Size);
    FSheets->update();
}

void TPrintPreviewForm::ZoomIn() {
    SetZoom(FZoom == TPreviewZoom::Fit ? TPreviewZoom::Actual : TPreviewZoom::Double);
}

void TPrintPreviewForm::ZoomOut() {
    SetZoom(FZoom == TPreviewZoom::Double ? TPreviewZoom::Actual : TPreviewZoom::Fit);
}

void TPrintPreviewForm::UpdateControls() {
    FPrevious->setEnabled(FSheet > 0);
    FNext->setEnabled(FSheet < SheetCount() - 1);
    FSheetLabel->setText(SheetText());
}

TPreviewLayout TPrintPreviewForm::LayOut(QSize area) const {
    return LayOutPreview(PreviewSheets(FCard, Page() + 1, FMetric, PixelsPerInch), FZoom, area,
                         FDivisor);
}

void TPrintPreviewForm::PaintSheets(QPainter& painter, const TPreviewLayout& layout) {
    painter.fillRect(QRect(QPoint(), layout.Size), palette().window());
    for (const TPreviewSheetFrame& frame : layout.Frames) {
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::white);
        painter.drawRect(frame.Outline.adjusted(0, 0, -1, -1));
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(frame.TitlePoints);
        painter.setFont(font);
        painter.setPen(Qt::blue);
        painter.drawText(frame.TitleBox, Qt::AlignHCenter | Qt::AlignTop, frame.Sheet.Title);
    }
    if (SheetCount() == 0) return;
    const TPrintedSheet printed = FPrinted.At(FSheet);
    if (!FCard.Pages(printed.Page)) return;

    TRecordSource* table = OpenTable(FCard);
    const TRecordPositionScope restore(FCard, table);
    try {
        for (const TPreviewSheetFrame& frame : layout.Frames) {
            // Every pass shows the same records: the back of each card belongs to its front.
            if (table) {
                table->MoveTo(printed.FirstRecord + 1);
                FCard.RefreshRecordObjects();
            }
            DrawPass(painter, frame, printed);
        }
    } catch (const std::exception& e) {
        // Nothing may escape a paint; the table's failure is told once, after the paint.
        if (FPaintFailed) return;
        FPaintFailed = true;
        QTimer::singleShot(0, this, [message = QString::fromUtf8(e.what())] {
            AppContext().Messages().Error(message);
        });
    }
}

void TPrintPreviewForm::DrawPass(QPainter& painter, const TPreviewSheetFrame& frame,
                                 const TPrintedSheet& printed) {
    const TCardPage& page = *FCard.Pages(printed.Page);
    TRecordSource* table = OpenTable(FCard);
    const bool stepRecords = table && IsSheetFormat(FCard.CardFormat);
    const std::vector<QPoint> items = SheetItems(FCard.CardFormat, FCard.SheetGeometry);
    const size_t drawn = stepRecords ? std::min(items.size(), size_t(printed.Records))
                                     : items.size();
    const TPainterState state(painter);
    painter.setClipRect(frame.Outline.adjusted(1, 1, -1, -1));
    TCanvas canvas(painter, PixelsPerInch, PixelsPerInch, TCanvas::TKind::PrintPreview);
    for (size_t item = 0; item < drawn; ++item) {
        for (int i = 0; i < page.PanelCount(); ++i) {
            const TCardPanel* panel = page.Panels(i);
            if (!panel || panel->Side != frame.Sheet.Pass) continue;
            TPanelPlacement at = PreviewPlacement(*panel, frame.Sheet.Outline, PixelsPerInch,
                                                  FDivisor, items[item]);
            at.Transform *= frame.FromLayout;
            PaintPlacedPanel(canvas, *panel, at, false);
        }
        if (stepRecords) {
            table->Next();
            FCard.RefreshRecordObjects();
        }
    }
    canvas.SetPanelTurn(false, false);
}
