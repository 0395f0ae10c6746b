#include "editor/CardWin.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/CommandRunner.h"
#include "document/Control.h"
#include "document/LoadOptions.h"
#include "document/Units.h"
#include "editor/ControlWidgets.h"
#include "editor/Cursors.h"
#include "editor/EditorState.h"
#include "objects/BarCode.h"
#include "objects/Comb.h"
#include "objects/Ellipse.h"
#include "objects/Grid.h"
#include "objects/Headline.h"
#include "objects/Line.h"
#include "objects/Picture.h"
#include "objects/RichText.h"
#include "objects/RoundedRectangle.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr quint32 SinglePanelMasks[] = {1, 2, 4, 8, 16, 32};
constexpr int MaxPanels = 6;

// Pre-cut paper stocks: x0, y0, w, h, hgap, vgap, columns, rows (1/100 in for 19..25,
// 1/100 mm for 26..31).
struct TPaperLayout {
    int X0, Y0, W, H, HGap, VGap, Columns, Rows;
};
constexpr TPaperLayout PaperLayouts[] = {
    {25, 19, 800, 1000, 0, 0, 1, 1},
    {78, 18, 700, 495, 0, 18, 1, 2},
    {125, 100, 600, 400, 0, 100, 1, 2},
    {52, 19, 350, 500, 50, 10, 2, 2},
    {64, 142, 350, 225, 25, 68, 2, 3},
    {75, 50, 350, 200, 0, 0, 2, 5},
    {75, 20, 700, 340, 0, 0, 1, 3},
    {1650, 1900, 17700, 12700, 0, 500, 1, 2},
    {3000, 3000, 15000, 10000, 0, 3700, 1, 2},
    {889, 534, 8890, 12700, 1442, 909, 2, 2},
    {1330, 4600, 8890, 5715, 640, 1815, 2, 3},
    {1500, 2350, 9000, 5000, 0, 0, 2, 5},
    {1500, 1390, 8500, 5440, 1000, 0, 2, 5},
};

QRect ToQRect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

TRect Normalized(const TRect& r) {
    return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
            std::max(r.Top, r.Bottom)};
}

int Distance(QPoint a, QPoint b) {
    const double dx = a.x() - b.x();
    const double dy = a.y() - b.y();
    return RoundHalfAway(std::sqrt(dx * dx + dy * dy));
}

} // namespace

// ---- construction ----

TCardForm::TCardForm(QWidget* parent, TEditorState* state)
    : QWidget(parent), FState(state ? *state : EditorState()), FSurface(new TQDXWindow(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FSurface);
    setFocusPolicy(Qt::StrongFocus);
    // Arrow and paging keys nudge objects here; the canvas must not take them for scrolling.
    FSurface->Canvas()->setFocusPolicy(Qt::NoFocus);
    FSelection.SetOwnsObjects(false);

    FSurface->SetZoomFactor(100);
    FSurface->Canvas()->SetMinZoomFactor(TZoomableCanvas::DefaultMinZoom);
    FSurface->Canvas()->SetMaxZoomFactor(TZoomableCanvas::DefaultMaxZoom);
    // The half-inch starting offset is given in inches; the rulers convert it to the unit
    // of the measuring system.
    FSurface->SetMeasurement(TRuler::TMeasurement::Inches);
    FSurface->SetRulerStartingOffsets(-500, -500);
    FSurface->SetShowCurrentPosition(true);
    FSurface->Canvas()->SetDrawBackground(false);
    FSurface->SetMeasurement(AppContext().Metric ? TRuler::TMeasurement::Centimeters
                                                 : TRuler::TMeasurement::Inches);
    FSurface->SetShowRulers(FState.ShowRulers);

    const int format = FState.LastChosenFormat;
    FZoomIndex = IsCellFormat(format) ? 5 : (IsBannerFormat(format) ? 0 : 2);

    connect(FSurface, &TQDXWindow::Paint, this, &TCardForm::OnPaint);
    // What the mouse does reaches the model (and dialogs): nothing may escape the slots.
    connect(FSurface, &TQDXWindow::MousePressed, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point) {
                RunCommand([&] { MouseDown(button, modifiers, point); });
            });
    connect(FSurface, &TQDXWindow::MouseMoved, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint point) {
                RunCommand([&] { MouseMove(buttons, modifiers, point); });
            });
    connect(FSurface, &TQDXWindow::MouseReleased, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point) {
                RunCommand([&] { MouseUp(button, modifiers, point); });
            });
    connect(FSurface, &TQDXWindow::MouseDoubleClicked, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point) {
                RunCommand([&] { MouseDoubleClick(button, modifiers, point); });
            });
    connect(FSurface, &TQDXWindow::MouseEntered, this, [this] { UpdateHint(); });
    connect(FSurface, &TQDXWindow::MouseLeft, this, [this] {
        FHint.clear();
        emit HintChanged(FHint);
        FState.ShowHint(FHint);
    });
    connect(FSurface, &TQDXWindow::Zoomed, this,
            [this] { FStale = QRegion(0, 0, INT_MAX / 2, INT_MAX / 2); });
    connect(FSurface, &TQDXWindow::Scrolled, this,
            [this] { FStale = QRegion(0, 0, INT_MAX / 2, INT_MAX / 2); });
    FState.Windows.push_back(this);
    // Control widgets: this window's surface places the controls and shows their widgets.
    FControlWidgets = std::make_unique<TControlWidgets>(*this);
    connect(FSurface, &TQDXWindow::Scrolled, this, [this] { UpdateControlWidget(); });
}

// ---- control widgets (begin) ----

namespace {
// Brings the control widget up to date when an event handler returns, however it returns.
struct TControlWidgetSync {
    TCardForm& Form;
    ~TControlWidgetSync() { Form.UpdateControlWidget(); }
};
} // namespace

QWidget* TCardForm::ControlWidget() const {
    return FControlWidgets ? FControlWidgets->Widget() : nullptr;
}

void TCardForm::UpdateControlWidget() {
    if (FControlWidgets) FControlWidgets->Update();
}

// ---- control widgets (end) ----

TCardForm::~TCardForm() {
    ClearSelection();
    FState.Windows.erase(std::remove(FState.Windows.begin(), FState.Windows.end(), this),
                         FState.Windows.end());
    if (FCard) AppContext().RemoveOpenCard(FCard.get());
}

int TCardForm::Margin() {
    static const int margin = ScreenPixelsPerInch() / 2;
    return margin;
}

std::unique_ptr<TCard> TCardForm::OpenDocument(const QString& fileName) {
    TLoadOptions options;
    options.Opening = TLoadOptions::TOpening::Document;
    options.FileName = fileName;
    std::unique_ptr<TStored> root(LoadStoredFromFile(fileName, nullptr, &options));
    auto* card = dynamic_cast<TCard*>(root.get());
    if (!card) throw Exception(QStringLiteral("Error opening the file %1.").arg(fileName));
    root.release();
    card->FileName = fileName;
    return std::unique_ptr<TCard>(card);
}

bool TCardForm::SaveToFile(const QString& fileName) {
    if (!FCard || fileName.isEmpty()) return false;
    try {
        FCard->Preview = PreviewBitmap(RenderCardPreview(*FCard));
        SaveStoredToFile(fileName, *FCard);
    } catch (const std::exception&) {
        FState.ShowError(
            QStringLiteral("Error writing %1 file %2.").arg(QStringLiteral("Document"), fileName));
        return false;
    }
    FCard->FileName = fileName;
    FCard->SetDocumentModified(false);
    setWindowTitle(QFileInfo(fileName).completeBaseName());
    return true;
}

void TCardForm::AttachDocument(std::unique_ptr<TCard> card) {
    if (!card || card.get() == FCard.get()) return;
    if (FCard) AppContext().RemoveOpenCard(FCard.get());
    FCard = std::move(card);
    AppContext().AddOpenCard(FCard.get());
    AppContext().ActiveCard = FCard.get();
    FPage = 0;
    FShownPanels = 0;
    ShowPanels(0);
    ShowPanels(1);
    if (!FState.CreatingPublication)
        SetZoomIndex(FZoomIndex);
    else
        FSurface->SetZoomFactor(ZoomTable[FZoomIndex]);
    if (!FCard->FileName.isEmpty()) {
        setWindowTitle(QFileInfo(FCard->FileName).completeBaseName());
    } else {
        // The lowest number no open window uses.
        for (int n = 0; n < 100; ++n) {
            const bool used =
                std::any_of(FState.Windows.begin(), FState.Windows.end(), [&](const TCardForm* w) {
                    return w != this && w->UntitledNumber() == n;
                });
            if (!used) {
                setWindowTitle(QStringLiteral("NONAME%1").arg(n));
                break;
            }
        }
    }
    UpdateScrollExtents();
}

// ---- pages, views, zoom ----

TCardPanel* TCardForm::Panel(int index) const {
    if (!FCard || FPage < 0 || FPage >= FCard->PageCount()) return nullptr;
    const TCardPage* page = FCard->Pages(FPage);
    return index >= 0 && index < page->PanelCount() ? page->Panels(index) : nullptr;
}

bool TCardForm::IsShown(int panel) const {
    return panel >= 0 && panel < 32 && (FShownPanels & (1u << panel)) && Panel(panel);
}

void TCardForm::SetPage(int index) {
    if (!FCard || index == FPage || index < 0 || index >= FCard->PageCount()) return;
    ClearSelection();
    FPage = index;
    UpdateViewFlags();
    UpdateScrollExtents();
    RefreshSurface();
}

void TCardForm::UpdateViewFlags() {
    FIgnoreX = std::find(std::begin(SinglePanelMasks), std::end(SinglePanelMasks), FShownPanels) !=
               std::end(SinglePanelMasks);
    FIgnoreY = FIgnoreX ||
               (FShownPanels == 9 && FCard && IsQuadfoldFormat(FCard->CardFormat));
    FViewWidth = 0;
    FViewHeight = 0;
    for (int i = 0; i < MaxPanels; ++i) {
        const TCardPanel* panel = IsShown(i) ? Panel(i) : nullptr;
        if (!panel) continue;
        if (panel->SheetY == 0 || FIgnoreY) FViewWidth += panel->WidthPixels();
        if (panel->SheetX == 0 || FIgnoreX) FViewHeight += panel->HeightPixels();
        if (panel->SheetX != 0 && !FIgnoreX) FViewWidth += 1;
        if (panel->SheetY != 0 && !FIgnoreY) FViewHeight += 1;
    }
}

void TCardForm::ShowPanels(quint32 mask) {
    if (mask == FShownPanels) return;
    FShownPanels = mask;
    ClearSelection();
    UpdateViewFlags();
    UpdateScrollExtents();
    FSurface->SetCurrentPositions(0, 0);
    RefreshSurface();
}

void TCardForm::UpdateScrollExtents() {
    const int m = Margin();
    // Objects that reach past the page and its desk (a headline sized by its text) widen the
    // surface, so that their handles can always be scrolled to.
    const QRect objects = ShownObjectsArea();
    FSurface->SetHorizontalExtent(
        std::max(FViewWidth + 6 * ScreenPixelsPerInch() + 2 * (m + 1), objects.right() + m));
    FSurface->SetVerticalExtent(std::max(FViewHeight + 2 * (m + 1), objects.bottom() + m));
}

QRect TCardForm::ShownObjectsArea() const {
    QRect area;
    for (int p = 0; p < MaxPanels; ++p) {
        if (!IsShown(p)) continue;
        const TCardPanel* panel = Panel(p);
        const QPoint origin = PanelOrigin(p);
        for (int i = 0; i < panel->Count(); ++i)
            area |= ToQRect(Normalized(panel->Items(i)->GetBounds()))
                        .translated(origin)
                        .adjusted(-TCardObject::HandleHalf, -TCardObject::HandleHalf,
                                  TCardObject::HandleHalf, TCardObject::HandleHalf);
    }
    return area;
}

void TCardForm::SetZoomIndex(int index) {
    FZoomIndex = index;
    const int zoom = ZoomTable[std::clamp(index & 127, 0, ZoomCount - 1)];
    FSurface->SetZoomFactor(zoom);
    if (FCard) FCard->ForEachObject([zoom](TCardObject* object) { object->ZoomChanged(zoom); });
    UpdateScrollExtents();
    RefreshSurface();
    UpdateControlWidget();
}

bool TCardForm::CanZoomIn() const {
    const int limit = FCard && IsBannerFormat(FCard->CardFormat) ? 5 : ZoomCount - 1;
    return FZoomIndex < limit;
}

void TCardForm::ZoomIn() {
    if (CanZoomIn()) SetZoomIndex(FZoomIndex + 1);
}

void TCardForm::ZoomOut() {
    if (CanZoomOut()) SetZoomIndex(FZoomIndex - 1);
}

// ---- geometry ----

QPoint TCardForm::ViewOffset(int index) const {
    const TCardPanel* panel = Panel(index);
    if (!panel) return {};
    return {FIgnoreX ? 0 : panel->SheetXPixels() + panel->CellX,
            FIgnoreY ? 0 : panel->SheetYPixels() + panel->CellY};
}

QPoint TCardForm::PanelOrigin(int panel) const {
    return QPoint(Margin() + 1, Margin() + 1) + ViewOffset(panel);
}

int TCardForm::PanelOf(const TCardObject* object) const {
    for (int i = 0; i < MaxPanels; ++i) {
        const TCardPanel* panel = Panel(i);
        if (panel && panel->IndexOfObject(object) >= 0) return i;
    }
    return -1;
}

QRect TCardForm::WindowRect(const TCardObject* object, const TRect& panelRect) const {
    const int panel = PanelOf(object);
    if (panel < 0) return {};
    QRect r = ToQRect(Normalized(panelRect));
    return r.translated(PanelOrigin(panel));
}

QRect TCardForm::ObjectWindowRect(const TCardObject* object) const {
    return WindowRect(object, object->GetRepaintRect());
}

TCardObject* TCardForm::ObjectAt(QPoint point) const {
    for (int i = 0; i < FSelection.Count(); ++i) {
        TCardObject* object = FSelection.Items(i);
        const int panel = PanelOf(object);
        if (panel >= 0 && object->HitTest(point - PanelOrigin(panel))) return object;
    }
    for (int p = 0; p < MaxPanels; ++p) {
        if (!IsShown(p)) continue;
        const TCardPanel* panel = Panel(p);
        const QPoint local = point - PanelOrigin(p);
        for (int i = panel->Count() - 1; i >= 0; --i)
            if (panel->Items(i)->HitTest(local)) return panel->Items(i);
    }
    return nullptr;
}

int TCardForm::PanelAt(QPoint point) const {
    int best = -1;
    int bestNearest = 0;
    int bestSum = 0;
    for (int p = 0; p < MaxPanels; ++p) {
        if (!IsShown(p)) continue;
        const TCardPanel* panel = Panel(p);
        const QPoint o = PanelOrigin(p);
        const int w = panel->WidthPixels();
        const int h = panel->HeightPixels();
        if (point.x() >= o.x() && point.x() < o.x() + w && point.y() >= o.y() &&
            point.y() < o.y() + h)
            return p;
        const int d[4] = {Distance(point, o), Distance(point, o + QPoint(w, 0)),
                          Distance(point, o + QPoint(0, h)), Distance(point, o + QPoint(w, h))};
        const int nearest = *std::min_element(d, d + 4);
        const int sum = d[0] + d[1] + d[2] + d[3];
        if (best < 0 || nearest < bestNearest || (nearest == bestNearest && sum < bestSum)) {
            best = p;
            bestNearest = nearest;
            bestSum = sum;
        }
    }
    return best < 0 ? 0 : best;
}

// ---- painting ----

void TCardForm::InvalidateLogical(const QRect& logical) {
    if (logical.isEmpty()) return;
    const QRect device = FSurface->Canvas()->LogicalToDevice(logical.adjusted(-1, -1, 1, 1));
    FStale += device;
    FSurface->Canvas()->viewport()->update(device);
}

void TCardForm::InvalidateOverlay(const QRect& logical) {
    if (logical.isEmpty()) return;
    FSurface->Canvas()->viewport()->update(
        FSurface->Canvas()->LogicalToDevice(logical.adjusted(-2, -2, 2, 2)));
}

void TCardForm::RefreshSurface() {
    FStale = QRegion(0, 0, INT_MAX / 2, INT_MAX / 2);
    FSurface->Canvas()->viewport()->update();
}

void TCardForm::InvalidateObject(TCardObject* object) {
    if (object) InvalidateLogical(ObjectWindowRect(object));
}

void TCardForm::OnPaint(QPainter& painter) {
    const QSize size = FSurface->Canvas()->viewport()->size();
    if (FPageCache.size() != size) {
        FPageCache = QImage(size, QImage::Format_RGB32);
        FStale = QRegion(FPageCache.rect());
    }
    const QTransform toDevice = painter.worldTransform();
    const QRegion update =
        painter.hasClipping() ? toDevice.map(painter.clipRegion()) : QRegion(FPageCache.rect());
    const QRegion redraw = FStale.intersected(update);
    if (!redraw.isEmpty()) {
        QPainter cache(&FPageCache);
        cache.setClipRegion(redraw);
        cache.setWorldTransform(toDevice);
        PaintPage(cache, toDevice.inverted().mapRect(redraw.boundingRect()).adjusted(-1, -1, 1, 1));
        FStale -= redraw;
    }
    painter.save();
    painter.resetTransform();
    for (const QRect& r : update)
        painter.drawImage(r, FPageCache, r);
    painter.restore();
    PaintOverlay(painter);
}

TPrintResult TCardForm::PrintPublication(TPrinter& printer, TPrintPrompts& prompts,
                                         TPrintRequest request) {
    if (!FCard) return {};
    request.Title = windowTitle();
    const TPrintResult result = ::PrintPublication(*FCard, printer, prompts, request);
    // Fields showed other records while printing.
    RefreshSurface();
    return result;
}

void TCardForm::PrinterChanged() {
    if (!FCard) return;
    FCard->LayoutAllPages();
    UpdateViewFlags();
    UpdateScrollExtents();
    RefreshSurface();
    UpdateControlWidget();
}

void TCardForm::PaintPage(QPainter& painter, const QRect& clip) {
    const int m = Margin();
    const int b = m + 1;
    const int r = FViewWidth + m + 2;
    const int d = FViewHeight + m + 2;
    const int farRight = std::max(clip.right() + 1, r);
    const int farBottom = std::max(clip.bottom() + 1, d);
    auto fill = [&](int left, int top, int right, int bottom, const QColor& color) {
        const QRect area =
            QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(clip);
        if (!area.isEmpty()) painter.fillRect(area, color);
    };
    const QColor silver(192, 192, 192);
    fill(0, 0, farRight, m, silver);
    fill(0, m, m, d, silver);
    fill(r, m, farRight, d, silver);
    fill(0, d, farRight, farBottom, silver);
    fill(m, m, r, d, Qt::white);
    if (!FCard) return;

    // Unprintable margins, grid dots, fold lines.
    const bool sheetFormat = IsCellFormat(FCard->CardFormat);
    const int g = std::max(1, AppContext().GridSpacing);
    for (int p = 0; p < MaxPanels; ++p) {
        if (!IsShown(p)) continue;
        const TCardPanel* panel = Panel(p);
        const QPoint offset = ViewOffset(p);
        if (!sheetFormat) {
            const int left = UnitsToScreen(panel->ClipLeft);
            const int top = UnitsToScreen(panel->ClipTop);
            const int right = UnitsToScreen(panel->ClipRight);
            const int bottom = UnitsToScreen(panel->ClipBottom);
            const int x0 = m + left + offset.x();
            const int y0 = m + top + offset.y();
            const int x1 = m + 1 + panel->WidthPixels() - right + offset.x();
            const int y1 = m + 1 + panel->HeightPixels() - bottom + offset.y();
            painter.setPen(QPen(QColor(0, 255, 255), 0));
            if (left) painter.drawLine(x0, y0, x0, y1 - 1);
            if (top) painter.drawLine(x0, y0, x1 - 1, y0);
            if (right) painter.drawLine(x1 - 1, y0, x1 - 1, y1 - 1);
            if (bottom) painter.drawLine(x0, y1 - 1, x1 - 1, y1 - 1);
        }
        if (AppContext().ShowGrid) {
            painter.setPen(QPen(Qt::black, 0));
            const int columns = panel->WidthPixels() / g;
            const int rows = panel->HeightPixels() / g;
            for (int i = 1; i <= columns; ++i) {
                const int x = b + offset.x() + g * i - 1;
                if (x < clip.left() || x > clip.right()) continue;
                for (int j = 1; j <= rows; ++j) {
                    const int y = b + offset.y() + g * j - 1;
                    if (y >= clip.top() && y <= clip.bottom()) painter.drawPoint(x, y);
                }
            }
        }
    }
    painter.setPen(QPen(QColor(128, 128, 128), 0));
    for (int p = 0; p < MaxPanels; ++p) {
        if (!IsShown(p)) continue;
        const TCardPanel* panel = Panel(p);
        if (panel->SheetX != 0 && !FIgnoreX) {
            const int x = panel->SheetXPixels() + b + panel->CellX - 1;
            painter.drawLine(x, m, x, d - 1);
        }
        if (panel->SheetY != 0 && !FIgnoreY) {
            const int y = panel->SheetYPixels() + b + panel->CellY - 1;
            painter.drawLine(m, y, r - 1, y);
        }
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(m, m, r - m - 1, d - m - 1));

    // The outlines of pre-cut paper.
    if (IsPhotoPaperType(FCard->DocumentType)) {
        const TPaperLayout& l = PaperLayouts[FCard->DocumentType - dtFirstPhotoPaper];
        const bool millimetres = IsMetricPhotoPaperType(FCard->DocumentType);
        auto px = [millimetres](int value) {
            return millimetres ? MetricToScreen(value) : UnitsToScreen(value);
        };
        painter.setPen(QPen(QColor(0, 0, 255), 0, Qt::DotLine));
        for (int row = 0; row < l.Rows; ++row)
            for (int column = 0; column < l.Columns; ++column)
                painter.drawRect(QRect(b + px(l.X0 + column * (l.W + l.HGap)),
                                       b + px(l.Y0 + row * (l.H + l.VGap)), px(l.W) - 1,
                                       px(l.H) - 1));
    }

    TCanvas canvas(painter, ScreenPixelsPerInch(), ScreenPixelsPerInch(), TCanvas::TKind::Screen);
    for (int p = 0; p < MaxPanels; ++p) {
        if (!IsShown(p)) continue;
        const TCardPanel* panel = Panel(p);
        const QPoint origin = PanelOrigin(p);
        for (int i = 0; i < panel->Count(); ++i) {
            TCardObject* object = panel->Items(i);
            if (!object->DrawsItself()) continue;
            if (!ToQRect(object->GetRepaintRect()).translated(origin).intersects(clip)) continue;
            painter.save();
            object->Paint(canvas, origin.x(), origin.y(), false);
            painter.restore();
        }
    }
    PaintUnprintedParts(painter, clip);
    for (int i = 0; i < FSelection.Count(); ++i) {
        TCardObject* object = FSelection.Items(i);
        const int panel = PanelOf(object);
        if (panel < 0) continue;
        const QPoint origin = PanelOrigin(panel);
        object->DrawHandles(painter, origin.x(), origin.y());
    }
}

// What lies outside its panel does not print: a red dashed edge round that part of an object
// shows it before printing.
void TCardForm::PaintUnprintedParts(QPainter& painter, const QRect& clip) const {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(220, 0, 0), 0, Qt::DashLine));
    for (int p = 0; p < MaxPanels; ++p) {
        if (!IsShown(p)) continue;
        const TCardPanel* panel = Panel(p);
        const QPoint origin = PanelOrigin(p);
        const QRect printed(origin, QSize(panel->WidthPixels(), panel->HeightPixels()));
        for (int i = 0; i < panel->Count(); ++i) {
            const QRect object =
                ToQRect(Normalized(panel->Items(i)->GetBounds())).translated(origin);
            if (printed.contains(object) || !object.intersects(clip)) continue;
            QPainterPath outside;
            outside.addRect(object.adjusted(0, 0, -1, -1));
            QPainterPath inside;
            inside.addRect(printed);
            painter.drawPath(outside.subtracted(inside));
        }
    }
    painter.restore();
}

void TCardForm::PaintOverlay(QPainter& painter) const {
    const bool band = FDragMode == dmBand;
    TCardObject* inProgress = FState.ObjectInProgress;
    const bool creatingOrResizing =
        (FDragMode == dmCreating || FDragMode == dmResizing) && inProgress;
    if (!FOutlines && !band && !creatingOrResizing) return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setBrush(Qt::NoBrush);
    if (band) {
        painter.setPen(QPen(Qt::white, 0, Qt::DotLine));
        painter.drawRect(ToQRect(Normalized(FDragRect)).adjusted(0, 0, -1, -1));
    } else if (creatingOrResizing) {
        painter.setPen(QPen(Qt::white, 0, inProgress->OutlinePenStyle()));
        const QPoint origin = PanelOrigin(FDragPanel);
        inProgress->DrawOutline(painter, origin.x(), origin.y());
    } else {
        for (int i = 0; i < FSelection.Count(); ++i) {
            const TCardObject* object = FSelection.Items(i);
            const int panel = PanelOf(object);
            if (panel < 0 || object->Locked) continue;
            painter.setPen(QPen(Qt::white, 0, object->OutlinePenStyle()));
            const QPoint origin = PanelOrigin(panel);
            object->DrawOutline(painter, origin.x(), origin.y());
        }
    }
    painter.restore();
}

QRect TCardForm::SelectionArea(bool unlockedOnly) const {
    QRect area;
    for (int i = 0; i < FSelection.Count(); ++i) {
        const TCardObject* object = FSelection.Items(i);
        if (unlockedOnly && object->Locked) continue;
        area |= ObjectWindowRect(object);
    }
    return area;
}

// Where the overlay draws now: outlines of the selection, the object in progress or the band.
QRect TCardForm::OutlineArea() const {
    if (FDragMode == dmBand) return ToQRect(Normalized(FDragRect));
    if ((FDragMode == dmCreating || FDragMode == dmResizing) && FState.ObjectInProgress)
        return ToQRect(Normalized(FState.ObjectInProgress->GetBounds()))
            .translated(PanelOrigin(FDragPanel));
    return FOutlines ? SelectionArea(true) : QRect();
}

void TCardForm::ShowOutlines(bool on) {
    if (on == FOutlines) return;
    InvalidateOverlay(SelectionArea(true));
    FOutlines = on;
}

// ---- selection ----

void TCardForm::ClearSelection() {
    for (int i = 0; i < FSelection.Count(); ++i) {
        TCardObject* object = FSelection.Items(i);
        InvalidateObject(object);
        object->SetSelectState(0);
    }
    FSelection.Clear();
    UpdateControlWidget();
}

void TCardForm::AddToSelection(TCardObject* object) {
    if (!object || object->SelectState != 0) return;
    if (FSelection.Count() == 0) {
        object->SetSelectState(1);
    } else {
        if (FSelection.Count() == 1) {
            FSelection.Items(0)->SetSelectState(2);
            InvalidateObject(FSelection.Items(0));
        }
        object->SetSelectState(2);
    }
    FSelection.Add(object);
    InvalidateObject(object);
    if (FSelection.Count() == 1) object->Activate();
    UpdateControlWidget();
}

void TCardForm::RemoveFromSelection(TCardObject* object) {
    if (!object || object->SelectState == 0) return;
    InvalidateObject(object);
    FSelection.RemoveObject(object);
    object->SetSelectState(0);
    if (FSelection.Count() == 1) {
        FSelection.Items(0)->SetSelectState(1);
        InvalidateObject(FSelection.Items(0));
    }
    UpdateControlWidget();
}

void TCardForm::SelectOnly(TCardObject* object) {
    ClearSelection();
    AddToSelection(object);
}

// ---- mouse ----

void TCardForm::SetCursorNumber(int number) {
    FCursor = number;
    FSurface->Canvas()->viewport()->setCursor(CursorFor(number));
}

void TCardForm::UpdateHint() {
    if (FSurface->ShowRulers()) {
        const QString unit = AppContext().Metric ? QStringLiteral("cm") : QStringLiteral("in");
        FHint = QStringLiteral("%1, %2 %3")
                    .arg(QString::asprintf("%.2f", FSurface->CurrentPositionHorz() / 1000.0),
                         QString::asprintf("%.2f", FSurface->CurrentPositionVert() / 1000.0), unit);
    } else {
        FHint.clear();
    }
    emit HintChanged(FHint);
    FState.ShowHint(FHint);
}

TCardObject* TCardForm::CreateForTool(int tool) const {
    switch (tool) {
    case ToolHeadline:
        return THeadlineObject::CreateDefault();
    case ToolText:
        return TRichTextObject::CreateDefault();
    case ToolPicture:
        return TPictureObject::CreateDefault();
    case ToolLine:
        return TLineObject::CreateDefault();
    case ToolRectangle:
        return TRectangleObject::CreateDefault();
    case ToolRoundedRectangle:
        return TRRectangleObject::CreateDefault();
    case ToolEllipse:
        return TEllipseObject::CreateDefault();
    case ToolBarCode:
        return TBarCodeObject::CreateDefault();
    case ToolComb:
        return TCombObject::CreateDefault();
    case ToolGrid:
        return TGridObject::CreateDefault();
    case ToolField:
        return TFieldObject::CreateDefault();
    default:
        return nullptr;
    }
}

void TCardForm::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point) {
    if (!FCard) return;
    const TControlWidgetSync sync{*this}; // control widgets
    AppContext().ActiveCard = FCard.get();
    setFocus(Qt::MouseFocusReason);
    const int tool = FState.Tool;
    try {
        if (button == Qt::RightButton) {
            if ((tool >= ToolHeadline && tool <= ToolField) || FDragMode != dmIdle) return;
            FState.ClickEditTool();
            SetCursorNumber(crDefault);
            if (tool == ToolLinkFrom || tool == ToolLinkTo) return;
            if (TCardObject* object = ObjectAt(point)) {
                SelectOnly(object);
                FState.ShowObjectMenu(
                    *this,
                    FSurface->Canvas()->viewport()->mapToGlobal(
                        FSurface->Canvas()->LogicalToDevice(QRect(point, QSize(1, 1))).topLeft()));
            }
            return;
        }
        if (button != Qt::LeftButton) return;

        if (tool >= ToolHeadline && tool <= ToolField) {
            delete FState.ObjectInProgress;
            FState.ObjectInProgress = CreateForTool(tool);
            ClearSelection();
            FDragRect = {point.x(), point.y(), point.x(), point.y()};
            FDragPanel = PanelAt(point);
            const QPoint local = point - PanelOrigin(FDragPanel);
            FState.ObjectInProgress->SetBoundsPixels({local.x(), local.y(), local.x(), local.y()});
            FDragMode = dmCreating;
            FFlipX = FFlipY = false;
            InvalidateOverlay(OutlineArea());
            return;
        }
        if (tool == ToolLinkFrom || tool == ToolLinkTo) {
            LinkClick(ObjectAt(point));
            return;
        }
        if (tool != ToolEdit) return;

        TCardObject* hit = ObjectAt(point);
        const bool shift = modifiers & Qt::ShiftModifier;
        if (!hit || (hit->SelectState == 0 && !shift)) ClearSelection();
        if (!hit) {
            FDragRect = {point.x(), point.y(), point.x(), point.y()};
            FDragMode = dmBand;
            InvalidateOverlay(OutlineArea());
            return;
        }
        if (shift && hit->SelectState != 0) {
            RemoveFromSelection(hit);
            return;
        }
        if (FCursor != crDefault && FCursor != crHand) {
            // Over a handle: resize.
            const QRect old = ObjectWindowRect(hit);
            ClearSelection();
            FDragMode = dmResizing;
            FState.ObjectInProgress = hit;
            FOldArea = old;
            hit->ShowControl(false);
            if (auto* line = dynamic_cast<TLineObject*>(hit); line && FFlipX) {
                line->ExchangeEnds(); // the start handle: drag the other end instead
                FFlipX = false;
            }
            FDragPanel = PanelOf(hit);
            TRect bounds = hit->GetBounds();
            bounds.Offset(PanelOrigin(FDragPanel).x(), PanelOrigin(FDragPanel).y());
            FDragRect = bounds;
            InvalidateOverlay(OutlineArea());
            return;
        }
        const bool wasSelected = hit->SelectState != 0;
        AddToSelection(hit);
        if (wasSelected && !hit->Locked) {
            hit->ShowControl(false);
            FDragMode = dmMoving;
            FLastPoint = point;
            FOldArea = SelectionArea(true);
            ShowOutlines(true);
            InvalidateOverlay(SelectionArea(true));
        } else {
            FDragMode = dmIdle;
        }
    } catch (...) {
        MouseUp(button, modifiers, point);
        throw;
    }
}

void TCardForm::MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint point) {
    UpdateHint();
    if (!FCard || FState.Tool > ToolField) return;
    switch (FDragMode) {
    case dmIdle: {
        TCardObject* hit = ObjectAt(point);
        if (hit && hit->SelectState != 0) {
            if (modifiers != Qt::NoModifier || buttons != Qt::NoButton || IsToolCursor(FCursor))
                return;
            const int panel = PanelOf(hit);
            const THandleHit handle = hit->HitTestHandle(point - PanelOrigin(panel));
            FFlipX = handle.MovesLeft;
            FFlipY = handle.MovesTop;
            int number = crDefault;
            switch (handle.Cursor) {
            case THandleCursor::None:
                number = crDefault;
                break;
            case THandleCursor::ObjectBody:
                number = crHand;
                break;
            case THandleCursor::SizeWE:
                number = crSizeWE;
                break;
            case THandleCursor::SizeNS:
                number = crSizeNS;
                break;
            case THandleCursor::SizeNWSE:
                number = crSizeNWSE;
                break;
            case THandleCursor::SizeNESW:
                number = crSizeNESW;
                break;
            case THandleCursor::LineEnd:
                number = crLineEnd;
                break;
            }
            SetCursorNumber(number);
        } else if (FState.Tool == ToolEdit) {
            SetCursorNumber(crDefault);
        }
        return;
    }
    case dmMoving: {
        SetCursorNumber(crDragHand);
        InvalidateOverlay(SelectionArea(true));
        const int dx = point.x() - FLastPoint.x();
        const int dy = point.y() - FLastPoint.y();
        for (int i = 0; i < FSelection.Count(); ++i) {
            TCardObject* object = FSelection.Items(i);
            if (object->Locked) continue;
            TRect r = object->GetBounds();
            r.Offset(dx, dy);
            object->SetBoundsPixels(r);
        }
        FLastPoint = point;
        InvalidateOverlay(SelectionArea(true));
        return;
    }
    default:
        break;
    }

    // Creating, resizing or band selection: the edges follow the mouse.
    InvalidateOverlay(OutlineArea());
    const bool band = FDragMode == dmBand;
    TCardObject* object = FState.ObjectInProgress;
    const bool isLine = dynamic_cast<TLineObject*>(object) != nullptr;
    if (!band && isLine && (modifiers & Qt::ShiftModifier))
        FDragRect.Right = FDragRect.Left;
    else if (FFlipX)
        FDragRect.Left = point.x();
    else if (FCursor != crSizeNS)
        FDragRect.Right = point.x();
    if (!band && isLine && (modifiers & Qt::ControlModifier))
        FDragRect.Bottom = FDragRect.Top;
    else if (FFlipY)
        FDragRect.Top = point.y();
    else if (FCursor != crSizeWE)
        FDragRect.Bottom = point.y();
    // Lines keep their direction: their rectangle is never normalised.
    if (FState.Tool != ToolLine && FCursor != crSizeAll && FCursor != crLineEnd) {
        if (FDragRect.Right < FDragRect.Left) {
            FFlipX = !FFlipX;
            std::swap(FDragRect.Left, FDragRect.Right);
            if (FCursor == crSizeNWSE)
                SetCursorNumber(crSizeNESW);
            else if (FCursor == crSizeNESW)
                SetCursorNumber(crSizeNWSE);
        }
        if (FDragRect.Bottom < FDragRect.Top) {
            FFlipY = !FFlipY;
            std::swap(FDragRect.Top, FDragRect.Bottom);
            if (FCursor == crSizeNWSE)
                SetCursorNumber(crSizeNESW);
            else if (FCursor == crSizeNESW)
                SetCursorNumber(crSizeNWSE);
        }
    }
    if (band || !object) {
        InvalidateOverlay(OutlineArea());
        return;
    }
    FDragPanel =
        PanelAt({(FDragRect.Left + FDragRect.Right) / 2, (FDragRect.Top + FDragRect.Bottom) / 2});
    if (FDragMode == dmResizing) {
        const int from = PanelOf(object);
        if (from >= 0 && from != FDragPanel) MoveToPanel(object, from, FDragPanel);
    }
    TRect local = FDragRect;
    local.Offset(-PanelOrigin(FDragPanel).x(), -PanelOrigin(FDragPanel).y());
    object->SetBoundsOuter(local);
    InvalidateOverlay(OutlineArea());
}

void TCardForm::MoveToPanel(TCardObject* object, int fromPanel, int toPanel) {
    TCardPanel* from = Panel(fromPanel);
    TCardPanel* to = Panel(toPanel);
    if (!from || !to || from == to) return;
    const int index = from->IndexOfObject(object);
    if (index < 0) return;
    // The object stays on the same page, so a field keeps its place in the fill-in order.
    from->Detach(index);
    to->Add(object);
}

void TCardForm::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint) {
    if (button != Qt::LeftButton || !FCard) return;
    const TControlWidgetSync sync{*this}; // control widgets
    const int tool = FState.Tool;
    if (tool >= ToolHeadline && tool <= ToolField && FDragMode == dmCreating) {
        FinishCreating();
        return;
    }
    if (tool != ToolEdit) {
        FDragMode = dmIdle;
        return;
    }
    switch (FDragMode) {
    case dmIdle:
    case dmMoving:
        FinishMove();
        break;
    case dmResizing:
        FinishResizing();
        break;
    case dmBand:
        FinishBand();
        break;
    default:
        FDragMode = dmIdle;
        break;
    }
}

// A double click on an object opens its properties, as the Properties command does.
void TCardForm::MouseDoubleClick(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint point) {
    if (button != Qt::LeftButton || !FCard || FState.Tool != ToolEdit) return;
    TCardObject* object = ObjectAt(point);
    if (!object) return;
    if (FSelection.Count() != 1 || FSelection.Items(0) != object) SelectOnly(object);
    FState.RunProperties(*this);
}

void TCardForm::FinishCreating() {
    InvalidateOverlay(OutlineArea());
    TCardObject* object = FState.ObjectInProgress;
    FState.ObjectInProgress = nullptr;
    FDragMode = dmIdle;
    if (!object) return;
    Panel(FDragPanel)->AddObject(object);
    if (auto* control = dynamic_cast<TControlObject*>(object)) control->Control();
    object->Realign();
    AddToSelection(object);
    InvalidateObject(object);
    if (!FState.KeepAdding) {
        FState.ClickEditTool();
        SetCursorNumber(crDefault);
    }
    if (FSelection.Count() > 0) FSelection.Items(0)->ShowControl(true);
    SetDocumentModified();
    FState.RunProperties(*this);
}

void TCardForm::FinishMove() {
    const bool moved = FDragMode == dmMoving;
    if (moved) {
        ShowOutlines(false);
        for (int i = 0; i < FSelection.Count(); ++i) {
            TCardObject* object = FSelection.Items(i);
            const int from = PanelOf(object);
            if (from < 0) continue;
            const QRect window =
                ToQRect(Normalized(object->GetBounds())).translated(PanelOrigin(from));
            const int to = PanelAt(window.center());
            if (to != from) {
                // The position on the sheet stays the same.
                const TCardPanel* a = Panel(from);
                const TCardPanel* b = Panel(to);
                TRect bounds = object->Bounds;
                bounds.Offset(a->SheetX - b->SheetX, a->SheetY - b->SheetY);
                MoveToPanel(object, from, to);
                object->SetBounds(bounds);
            }
            object->Realign();
        }
        if (FCursor == crDragHand || FFromKeyboard) {
            const QRect now = SelectionArea(false);
            if (now != FOldArea) {
                InvalidateLogical(FOldArea);
                InvalidateLogical(now);
            }
        }
    }
    SetCursorNumber(crDefault);
    if (FSelection.Count() > 0) {
        TCardObject* last = FSelection.Items(FSelection.Count() - 1);
        last->ShowControl(true);
        last->Activate();
    }
    if (moved) SetDocumentModified();
    FDragMode = dmIdle;
    FFromKeyboard = false;
}

void TCardForm::FinishResizing() {
    InvalidateOverlay(OutlineArea());
    TCardObject* object = FState.ObjectInProgress;
    FState.ObjectInProgress = nullptr;
    FDragMode = dmIdle;
    if (!object) return;
    if (auto* headline = dynamic_cast<THeadlineObject*>(object)) headline->RefreshText();
    object->Realign();
    AddToSelection(object);
    InvalidateLogical(FOldArea);
    SetCursorNumber(crDefault);
    SetDocumentModified();
}

bool TCardForm::LineCrossesBand(const TCardObject* line, int panel, const QRect& band) const {
    const QPoint origin = PanelOrigin(panel);
    const TRect b = UnitsToScreen(line->Bounds);
    int x0 = b.Left + origin.x(), y0 = b.Top + origin.y();
    const int x1 = b.Right + origin.x(), y1 = b.Bottom + origin.y();
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        if (band.contains(x0, y0)) return true;
        if (x0 == x1 && y0 == y1) return false;
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void TCardForm::FinishBand() {
    InvalidateOverlay(OutlineArea());
    const QRect band = ToQRect(Normalized(FDragRect));
    FDragMode = dmIdle;
    for (int p = 0; p < MaxPanels; ++p) {
        if (!IsShown(p)) continue;
        const TCardPanel* panel = Panel(p);
        for (int i = 0; i < panel->Count(); ++i) {
            TCardObject* object = panel->Items(i);
            const bool caught = dynamic_cast<TLineObject*>(object)
                                    ? LineCrossesBand(object, p, band)
                                    : ObjectWindowRect(object).intersects(band);
            if (caught) AddToSelection(object);
        }
    }
}

void TCardForm::LinkClick(TCardObject* object) {
    auto* frame = dynamic_cast<TRichTextObject*>(object);
    if (!frame) return;
    if (FState.Tool == ToolLinkFrom) {
        FState.LinkSource = frame;
        FState.Tool = ToolLinkTo;
        SetCursorNumber(crLinkTo);
        return;
    }
    TRichTextObject* source = FState.LinkSource;
    FState.ClickEditTool();
    SetCursorNumber(crDefault);
    FState.LinkSource = nullptr;
    if (!source) return;
    // A link to the source itself removes the link leaving it.
    if (!source->LinkTo(frame)) {
        FState.ShowError(QStringLiteral("You cannot link text objects in a circular manner."));
        return;
    }
    SetDocumentModified();
    RefreshSurface();
}

// ---- keyboard ----

void TCardForm::Nudge(int dx, int dy) {
    if (FSelection.Count() == 0) return;
    if (FDragMode == dmIdle) {
        FOldArea = SelectionArea(false);
        FDragMode = dmMoving;
        FFromKeyboard = true;
        ShowOutlines(true);
    }
    InvalidateOverlay(SelectionArea(true));
    for (int i = 0; i < FSelection.Count(); ++i) {
        TCardObject* object = FSelection.Items(i);
        TRect bounds = object->Bounds;
        bounds.Offset(dx, dy);
        object->SetBounds(bounds);
    }
    InvalidateOverlay(SelectionArea(true));
    UpdateControlWidget();
}

void TCardForm::FinishKeyboardMove() {
    if (FDragMode != dmMoving) return;
    FFromKeyboard = true;
    FinishMove();
}

void TCardForm::keyPressEvent(QKeyEvent* event) {
    RunCommand([&] { KeyDown(event); });
}

void TCardForm::keyReleaseEvent(QKeyEvent* event) {
    RunCommand([&] { KeyUp(event); });
}

void TCardForm::KeyDown(QKeyEvent* event) {
    const int step = (event->modifiers() & Qt::ShiftModifier) ? 25 : 1;
    int dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_F1:
        FState.ShowHelp(10006);
        return;
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    case Qt::Key_Home:
        dx = dy = -1;
        break;
    case Qt::Key_PageUp:
        dx = 1;
        dy = -1;
        break;
    case Qt::Key_End:
        dx = -1;
        dy = 1;
        break;
    case Qt::Key_PageDown:
        dx = dy = 1;
        break;
    default:
        if (event->text() == QLatin1String("+"))
            ZoomIn();
        else if (event->text() == QLatin1String("-"))
            ZoomOut();
        else
            QWidget::keyPressEvent(event);
        return;
    }
    if (FSelection.Count() > 0) Nudge(dx * step, dy * step);
}

void TCardForm::KeyUp(QKeyEvent* event) {
    if (event->isAutoRepeat() || FDragMode != dmMoving) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    FinishKeyboardMove();
    const QPoint viewport = FSurface->Canvas()->viewport()->mapFromGlobal(QCursor::pos());
    MouseMove(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers(),
              FSurface->Canvas()->DeviceToLogical(viewport));
}

// ---- commands ----

void TCardForm::SetDocumentModified() {
    if (FCard) FCard->SetDocumentModified(true);
    UpdateScrollExtents(); // an object may have grown past the surface
    emit DocumentChanged();
}

void TCardForm::Copy() {
    TCardObjectTable& clipboard = FState.Clipboard;
    clipboard.Clear();
    const bool ignoreX = FIgnoreX, ignoreY = FIgnoreY;
    FIgnoreX = FIgnoreY = true;
    int left = INT_MAX, top = INT_MAX;
    for (int i = 0; i < FSelection.Count(); ++i) {
        const TCardObject* object = FSelection.Items(i);
        clipboard.Add(CloneStored(object));
        const TRect b = Normalized(object->Bounds);
        left = std::min(left, b.Left);
        top = std::min(top, b.Top);
    }
    for (int i = 0; i < clipboard.Count(); ++i) {
        auto* copy = static_cast<TCardObject*>(clipboard.Items(i));
        copy->Bounds.Offset(-left, -top);
        // The clipboard outlives this window: its copies must not point at it.
        if (auto* control = dynamic_cast<TControlObject*>(copy); control && control->HasControl())
            control->Control().SetSurface(nullptr);
    }
    FIgnoreX = ignoreX;
    FIgnoreY = ignoreY;
}

void TCardForm::Cut() {
    Copy();
    DeleteSelection();
}

void TCardForm::Paste() {
    if (!FCard) return;
    ClearSelection();
    const TCardObjectTable& clipboard = FState.Clipboard;
    for (int i = 0; i < clipboard.Count(); ++i) {
        auto* copy = static_cast<TCardObject*>(CloneStored(clipboard.Items(i)));
        copy->ZoomChanged(ZoomTable[FZoomIndex]);
        const QRect r = ToQRect(Normalized(copy->GetBounds()));
        const int panel = PanelAt(r.center());
        Panel(panel)->AddObject(copy);
        copy->Realign();
        AddToSelection(copy);
    }
    SetCursorNumber(crDefault);
    if (clipboard.Count() > 0) SetDocumentModified();
}

void TCardForm::DeleteSelection() {
    if (FSelection.Count() == 0) return;
    for (int i = 0; i < FSelection.Count(); ++i) {
        TCardObject* object = FSelection.Items(i);
        InvalidateObject(object);
        const int p = PanelOf(object);
        if (p < 0) continue;
        TCardPanel* panel = Panel(p);
        panel->DeleteObject(panel->IndexOfObject(object));
    }
    FSelection.Clear();
    UpdateControlWidget();
    SetCursorNumber(crDefault);
    SetDocumentModified();
}

void TCardForm::SelectAll() {
    for (int p = 0; p < MaxPanels; ++p) {
        if (!IsShown(p)) continue;
        const TCardPanel* panel = Panel(p);
        for (int i = 0; i < panel->Count(); ++i)
            AddToSelection(panel->Items(i));
    }
}

bool TCardForm::CanBringForward() const {
    if (FSelection.Count() != 1) return false;
    const TCardObject* object = FSelection.Items(0);
    const TCardPanel* panel = Panel(PanelOf(object));
    return panel && panel->IndexOfObject(object) < panel->Count() - 1;
}

bool TCardForm::CanSendBackward() const {
    if (FSelection.Count() != 1) return false;
    const TCardObject* object = FSelection.Items(0);
    const TCardPanel* panel = Panel(PanelOf(object));
    return panel && panel->IndexOfObject(object) > 0;
}

namespace {
void Restack(TCardForm& form, TCardObject* object, int to) {
    TCardPanel* panel = form.Panel(form.PanelOf(object));
    if (!panel) return;
    const int from = panel->IndexOfObject(object);
    to = std::clamp(to, 0, panel->Count() - 1);
    if (from < 0 || from == to) return;
    panel->MoveItem(from, to);
    form.InvalidateObject(object);
    form.SetDocumentModified();
}
} // namespace

void TCardForm::BringToFront() {
    if (CanBringForward()) Restack(*this, FSelection.Items(0), INT_MAX);
}

void TCardForm::SendToBack() {
    if (CanSendBackward()) Restack(*this, FSelection.Items(0), 0);
}

void TCardForm::UpOneLevel() {
    if (!CanBringForward()) return;
    TCardObject* object = FSelection.Items(0);
    Restack(*this, object, Panel(PanelOf(object))->IndexOfObject(object) + 1);
}

void TCardForm::DownOneLevel() {
    if (!CanSendBackward()) return;
    TCardObject* object = FSelection.Items(0);
    Restack(*this, object, Panel(PanelOf(object))->IndexOfObject(object) - 1);
}

void TCardForm::CenterSelection(bool horizontally) {
    for (int i = 0; i < FSelection.Count(); ++i) {
        TCardObject* object = FSelection.Items(i);
        const TCardPanel* panel = Panel(PanelOf(object));
        if (!panel) continue;
        InvalidateObject(object);
        TRect r = object->GetBounds();
        if (horizontally)
            r.Offset((panel->WidthPixels() - r.Width()) / 2 - r.Left, 0);
        else
            r.Offset(0, (panel->HeightPixels() - r.Height()) / 2 - r.Top);
        object->SetBoundsPixels(r);
        InvalidateObject(object);
    }
    UpdateControlWidget();
    if (FSelection.Count() > 0) SetDocumentModified();
}

void TCardForm::ToggleLocked() {
    if (FSelection.Count() != 1) return;
    TCardObject* object = FSelection.Items(0);
    object->SetLocked(!object->Locked);
    AppContext().Shell().SetLockedCheck(object->Locked);
    InvalidateObject(object);
    SetDocumentModified();
    const QPoint viewport = FSurface->Canvas()->viewport()->mapFromGlobal(QCursor::pos());
    MouseMove(Qt::NoButton, Qt::NoModifier, FSurface->Canvas()->DeviceToLogical(viewport));
}

void TCardForm::RunProperties() {
    if (FSelection.Count() != 1) return;
    TCardObject* object = FSelection.Items(0);
    if (object->EditProperties()) {
        object->Activate();
        InvalidateObject(object);
        SetDocumentModified();
    }
    UpdateControlWidget();
}

TCardObject* TCardForm::NextObject() const {
    int panel = 0;
    int index = -1;
    const bool selected = FSelection.Count() > 0;
    if (selected) {
        panel = PanelOf(FSelection.Items(0));
        index = panel >= 0 ? Panel(panel)->IndexOfObject(FSelection.Items(0)) : -1;
        if (panel < 0) return nullptr;
    }
    const int startPanel = panel;
    for (int steps = 0; steps <= MaxPanels * 2; ++steps) {
        const TCardPanel* p = IsShown(panel) ? Panel(panel) : nullptr;
        if (p && index + 1 < p->Count()) return p->Items(index + 1);
        panel = (panel + 1) % MaxPanels;
        index = -1;
        if (!selected && panel == 0) return nullptr;
        if (selected && panel == startPanel && steps > MaxPanels) return nullptr;
    }
    return nullptr;
}

TCardObject* TCardForm::PreviousObject() const {
    int panel = 0;
    int index = 0;
    const bool selected = FSelection.Count() > 0;
    if (selected) {
        panel = PanelOf(FSelection.Items(0));
        if (panel < 0) return nullptr;
        index = Panel(panel)->IndexOfObject(FSelection.Items(0));
    }
    const int startPanel = panel;
    for (int steps = 0; steps <= MaxPanels * 2; ++steps) {
        const TCardPanel* p = IsShown(panel) ? Panel(panel) : nullptr;
        if (p && index - 1 >= 0 && index - 1 < p->Count()) return p->Items(index - 1);
        panel = (panel + MaxPanels - 1) % MaxPanels;
        const TCardPanel* next = IsShown(panel) ? Panel(panel) : nullptr;
        index = next ? next->Count() : 0;
        if (!selected && panel == 0 && !(next && next->Count() > 0)) return nullptr;
        if (selected && panel == startPanel && steps > MaxPanels) return nullptr;
    }
    return nullptr;
}

void TCardForm::SelectNextObject() {
    if (TCardObject* object = NextObject()) SelectOnly(object);
}

void TCardForm::SelectPreviousObject() {
    if (TCardObject* object = PreviousObject()) SelectOnly(object);
}

int TCardForm::UntitledNumber() const {
    const QString caption = windowTitle();
    if (!caption.startsWith(QLatin1String("NONAME"))) return -1;
    const QString digits = caption.mid(6, 2);
    bool ok = false;
    const int number = digits.toInt(&ok);
    return ok ? number : -1;
}

void TCardForm::Activated() {
    ClearSelection();
    if (FCard) AppContext().ActiveCard = FCard.get();
}

void TCardForm::Deactivated() {
    ClearSelection();
    if (FState.Tool == ToolLinkFrom || FState.Tool == ToolLinkTo) FState.ClickEditTool();
}

void TCardForm::closeEvent(QCloseEvent* event) {
    // A close query that fails keeps the window and its document.
    if (!RunCommand([&] { CloseQuery(event); })) event->ignore();
}

void TCardForm::CloseQuery(QCloseEvent* event) {
    if (!FCard) {
        event->accept();
        return;
    }
    const QString name =
        QFileInfo(FCard->FileName.isEmpty() ? windowTitle() : FCard->FileName).fileName();
    bool addToRecent = !FCard->DocumentModified;
    if (FCard->DocumentModified) {
        setFocus();
        const TSaveAnswer answer =
            FState.AskSave(QStringLiteral("Save the %1 %2?").arg(QStringLiteral("document"), name));
        if (answer == TSaveAnswer::Cancel) {
            event->ignore();
            return;
        }
        if (answer == TSaveAnswer::Yes) {
            if (!FState.Save(*this)) {
                event->ignore();
                return;
            }
            addToRecent = true;
        } else {
            addToRecent = UntitledNumber() < 0;
        }
    }
    if (addToRecent && !FCard->FileName.isEmpty()) FState.AddRecentFile(FCard->FileName);
    event->accept();
}
