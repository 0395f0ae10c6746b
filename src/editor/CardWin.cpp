#include "editor/CardWin.h"

#include "document/AppContext.h"
#include "document/CommandRunner.h"
#include "document/Control.h"
#include "document/LoadOptions.h"
#include "document/Units.h"
#include "editor/ControlWidgets.h"
#include "editor/Cursors.h"
#include "editor/EditorState.h"
#include "editor/FocusTextControl.h"
#include "objects/Headline.h"
#include "objects/Line.h"
#include "objects/RichText.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

constexpr int MaxPanels = TPageGeometry::MaxPanels;

QRect ToQRect(const TRect& r) {
    return TPageGeometry::ToQRect(r);
}

TRect Normalized(const TRect& r) {
    return TPageGeometry::Normalized(r);
}

// Brings the control widget up to date when an event handler returns, however it returns.
struct TControlWidgetSync {
    TCardForm& Form;
    ~TControlWidgetSync() { Form.UpdateControlWidget(); }
};

} // namespace

TCardForm::TCardForm(QWidget* parent, TEditorState* state)
    : QWidget(parent), FState(state ? *state : EditorState()), FSurface(new TQDXWindow(this)),
      FSelection(FGeometry) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FSurface);
    setFocusPolicy(Qt::StrongFocus);
    // Arrow and paging keys nudge objects here; the canvas must not take them for scrolling.
    FSurface->Canvas()->setFocusPolicy(Qt::NoFocus);

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
    FGeometry.SetZoomIndex(TPageGeometry::InitialZoomIndex(FState.LastChosenFormat));

    ConnectSurface();
    ConnectEditor();
    FState.Windows.push_back(this);
    // Control widgets: this window's surface places the controls and shows their widgets.
    FControlWidgets = std::make_unique<TControlWidgets>(*this);
    connect(FSurface, &TQDXWindow::Scrolled, this, [this] { UpdateControlWidget(); });
}

void TCardForm::ConnectSurface() {
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
}

void TCardForm::ConnectEditor() {
    FSelection.Invalidate = [this](TCardObject* object) { InvalidateObject(object); };
    FSelection.Changed = [this] { UpdateControlWidget(); };
    FEditor.BeforeApply = [this] { BeforeStep(); };
    FEditor.AfterApply = [this](const std::vector<TCardObject*>& touched) { AfterStep(touched); };
    FEditor.CardReplaced = [this] {
        FGeometry.SetCard(FEditor.Card());
        AppContext().ActiveCard = FEditor.Card();
    };
}

QWidget* TCardForm::ControlWidget() const {
    return FControlWidgets ? FControlWidgets->Widget() : nullptr;
}

void TCardForm::UpdateControlWidget() {
    if (FControlWidgets) FControlWidgets->Update();
    FollowTextEditing();
}

TCardForm::~TCardForm() {
    FTypingRecord.reset();
    // Editors that wait to be deleted still point at their frames, which go with the card.
    for (TFocusTextControl* editor : findChildren<TFocusTextControl*>())
        delete editor;
    FSelection.Changed = nullptr;
    ClearSelection();
    FState.Windows.erase(std::remove(FState.Windows.begin(), FState.Windows.end(), this),
                         FState.Windows.end());
    if (HasDocument()) AppContext().RemoveOpenCard(FEditor.Card());
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
    if (!HasDocument() || fileName.isEmpty()) return false;
    FinishTyping(); // what was typed is a step before the saved state
    TCard& card = Card();
    try {
        card.Preview = PreviewBitmap(RenderCardPreview(card));
        SaveStoredToFile(fileName, card);
    } catch (const std::exception&) {
        FState.ShowError(
            QStringLiteral("Error writing %1 file %2.").arg(QStringLiteral("Document"), fileName));
        return false;
    }
    card.FileName = fileName;
    card.SetDocumentModified(false);
    FEditor.MarkSaved();
    setWindowTitle(QFileInfo(fileName).completeBaseName());
    FollowTextEditing(); // typing on goes into a step after the saved state
    return true;
}

void TCardForm::AttachDocument(std::unique_ptr<TCard> card) {
    if (!card || card.get() == FEditor.Card()) return;
    FTypingRecord.reset();
    ClearSelection();
    if (HasDocument()) AppContext().RemoveOpenCard(FEditor.Card());
    FEditor.Attach(std::move(card));
    FGeometry.SetCard(FEditor.Card());
    AppContext().AddOpenCard(FEditor.Card());
    AppContext().ActiveCard = FEditor.Card();
    FGeometry.SetPage(0);
    FGeometry.SetShownPanels(0);
    ShowPanels(0);
    ShowPanels(1);
    if (!FState.CreatingPublication)
        SetZoomIndex(FGeometry.ZoomIndex());
    else
        FSurface->SetZoomFactor(FGeometry.ZoomPercent());
    FEditor.ZoomPercent = FGeometry.ZoomPercent();
    if (!Card().FileName.isEmpty())
        setWindowTitle(QFileInfo(Card().FileName).completeBaseName());
    else
        ChooseUntitledName();
    UpdateScrollExtents();
}

// The lowest number no open window uses.
void TCardForm::ChooseUntitledName() {
    for (int n = 0; n < 100; ++n) {
        const bool used =
            std::any_of(FState.Windows.begin(), FState.Windows.end(), [&](const TCardForm* w) {
                return w != this && w->UntitledNumber() == n;
            });
        if (!used) {
            setWindowTitle(QStringLiteral("NONAME%1").arg(n));
            return;
        }
    }
}

void TCardForm::SetPage(int index) {
    if (!HasDocument() || index == CurrentPage() || index < 0 || index >= Card().PageCount())
        return;
    ClearSelection();
    FGeometry.SetPage(index);
    FEditor.SetCurrentPage(index);
    UpdateViewFlags();
    UpdateScrollExtents();
    RefreshSurface();
}

void TCardForm::UpdateViewFlags() {
    FGeometry.Update();
}

void TCardForm::ShowPanels(quint32 mask) {
    if (mask == ShownPanels()) return;
    FGeometry.SetShownPanels(mask);
    ClearSelection();
    UpdateViewFlags();
    UpdateScrollExtents();
    FSurface->SetCurrentPositions(0, 0);
    RefreshSurface();
}

void TCardForm::UpdateScrollExtents() {
    const QSize extents = FGeometry.ScrollExtents();
    FSurface->SetHorizontalExtent(extents.width());
    FSurface->SetVerticalExtent(extents.height());
}

void TCardForm::SetZoomIndex(int index) {
    FGeometry.SetZoomIndex(index);
    const int zoom = FGeometry.ZoomPercent();
    FEditor.ZoomPercent = zoom;
    FSurface->SetZoomFactor(zoom);
    if (HasDocument())
        Card().ForEachObject([zoom](TCardObject* object) { object->ZoomChanged(zoom); });
    UpdateScrollExtents();
    RefreshSurface();
    UpdateControlWidget();
}

void TCardForm::ZoomIn() {
    if (CanZoomIn()) SetZoomIndex(ZoomIndex() + 1);
}

void TCardForm::ZoomOut() {
    if (CanZoomOut()) SetZoomIndex(ZoomIndex() - 1);
}

QRect TCardForm::ObjectWindowRect(const TCardObject* object) const {
    return FGeometry.ObjectWindowRect(object);
}

TCardObject* TCardForm::ObjectAt(QPoint point) const {
    return FGeometry.ObjectAt(point, FSelection.Objects());
}

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
    if (!HasDocument()) return {};
    request.Title = windowTitle();
    const TPrintResult result = ::PrintPublication(Card(), printer, prompts, request);
    // Fields showed other records while printing.
    RefreshSurface();
    return result;
}

void TCardForm::PrinterChanged() {
    if (!HasDocument()) return;
    Card().LayoutAllPages();
    UpdateViewFlags();
    UpdateScrollExtents();
    RefreshSurface();
    UpdateControlWidget();
}

void TCardForm::PaintPage(QPainter& painter, const QRect& clip) {
    FPainter.PaintPage(painter, clip);
}

void TCardForm::PaintOverlay(QPainter& painter) const {
    FPainter.PaintOverlay(painter, FDrag, FState.ObjectInProgress, FDragPanel, FOutlines);
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
    const TDragMode mode = FDrag.Mode();
    if (mode == TDragMode::Band) return ToQRect(Normalized(FDrag.Rect()));
    if ((mode == TDragMode::Creating || mode == TDragMode::Resizing) && FState.ObjectInProgress)
        return ToQRect(Normalized(FState.ObjectInProgress->GetBounds()))
            .translated(PanelOrigin(FDragPanel));
    return FOutlines ? SelectionArea(true) : QRect();
}

void TCardForm::ShowOutlines(bool on) {
    if (on == FOutlines) return;
    InvalidateOverlay(SelectionArea(true));
    FOutlines = on;
}

void TCardForm::ClearSelection() {
    FSelection.Clear();
}

void TCardForm::AddToSelection(TCardObject* object) {
    FSelection.Add(object);
}

void TCardForm::RemoveFromSelection(TCardObject* object) {
    FSelection.Remove(object);
}

void TCardForm::SelectOnly(TCardObject* object) {
    FSelection.SelectOnly(object);
}

bool TCardForm::InsertAtPageCorner(TCardObject* object) {
    int panel = 0;
    while (panel < TPageGeometry::MaxPanels && !(IsShown(panel) && Panel(panel))) ++panel;
    if (panel == TPageGeometry::MaxPanels) {
        delete object;
        return false;
    }
    const int corner = Margin() + 1;
    const TRect at = FGeometry.WindowToUnits(panel, {corner, corner, corner + 1, corner + 1});
    TRect bounds = object->Bounds;
    bounds.Offset(at.Left - bounds.Left, at.Top - bounds.Top);
    object->Bounds = bounds;
    Panel(panel)->AddObject(object);
    object->Realign();
    FEditor.RecordInsert(QStringLiteral("Create %1").arg(object->TypeName()), {object});
    SelectOnly(object);
    InvalidateObject(object);
    return true;
}

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

void TCardForm::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point) {
    if (!HasDocument()) return;
    const TControlWidgetSync sync{*this}; // control widgets
    AppContext().ActiveCard = FEditor.Card();
    setFocus(Qt::MouseFocusReason);
    const int tool = FState.Tool;
    try {
        if (button == Qt::RightButton) {
            if ((tool >= ToolHeadline && tool <= ToolField) || !FDrag.IsIdle()) return;
            RightMouseDown(point);
            return;
        }
        if (button != Qt::LeftButton) return;
        if (tool >= ToolHeadline && tool <= ToolField)
            BeginCreating(tool, point);
        else if (tool == ToolLinkFrom || tool == ToolLinkTo)
            LinkClick(ObjectAt(point));
        else if (tool == ToolEdit)
            EditMouseDown(modifiers, point);
    } catch (...) {
        MouseUp(button, modifiers, point);
        throw;
    }
}

void TCardForm::RightMouseDown(QPoint point) {
    const int tool = FState.Tool;
    FState.ClickEditTool();
    SetCursorNumber(crDefault);
    if (tool == ToolLinkFrom || tool == ToolLinkTo) return;
    if (TCardObject* object = ObjectAt(point)) {
        SelectOnly(object);
        FState.ShowObjectMenu(
            *this, FSurface->Canvas()->viewport()->mapToGlobal(
                       FSurface->Canvas()->LogicalToDevice(QRect(point, QSize(1, 1))).topLeft()));
    }
}

void TCardForm::BeginCreating(int tool, QPoint point) {
    delete FState.ObjectInProgress;
    FState.ObjectInProgress = CreateObjectForTool(tool);
    ClearSelection();
    FDrag.BeginCreate(point, tool == ToolLine);
    FDragPanel = PanelAt(point);
    const QPoint local = point - PanelOrigin(FDragPanel);
    FState.ObjectInProgress->SetBoundsPixels({local.x(), local.y(), local.x(), local.y()});
    InvalidateOverlay(OutlineArea());
}

void TCardForm::EditMouseDown(Qt::KeyboardModifiers modifiers, QPoint point) {
    TCardObject* hit = ObjectAt(point);
    const bool shift = modifiers & Qt::ShiftModifier;
    if (!hit || (hit->SelectState == 0 && !shift)) ClearSelection();
    if (!hit) {
        FDrag.BeginBand(point);
        InvalidateOverlay(OutlineArea());
        return;
    }
    if (shift && hit->SelectState != 0) {
        RemoveFromSelection(hit);
        return;
    }
    if (FCursor != crDefault && FCursor != crHand) {
        BeginResizing(hit); // over a handle
        return;
    }
    const bool wasSelected = hit->SelectState != 0;
    AddToSelection(hit);
    if (wasSelected && !hit->Locked) {
        hit->ShowControl(false);
        FMoveRecord.emplace(FEditor, QStringLiteral("Move"), FSelection.List());
        FDrag.BeginMove(point);
        FOldArea = SelectionArea(true);
        ShowOutlines(true);
        InvalidateOverlay(SelectionArea(true));
    } else {
        FDrag.Finish();
    }
}

void TCardForm::BeginResizing(TCardObject* hit) {
    const QRect old = ObjectWindowRect(hit);
    ClearSelection();
    FMoveRecord.emplace(FEditor, QStringLiteral("Resize"), std::vector<TCardObject*>{hit});
    FState.ObjectInProgress = hit;
    FOldArea = old;
    hit->ShowControl(false);
    FDragPanel = PanelOf(hit);
    TRect bounds = hit->GetBounds();
    bounds.Offset(PanelOrigin(FDragPanel).x(), PanelOrigin(FDragPanel).y());
    auto* line = dynamic_cast<TLineObject*>(hit);
    // The start handle: drag the other end instead.
    if (FDrag.BeginResize(bounds, FCursor, line != nullptr)) line->ExchangeEnds();
    InvalidateOverlay(OutlineArea());
}

void TCardForm::MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint point) {
    UpdateHint();
    if (!HasDocument() || FState.Tool > ToolField) return;
    switch (FDrag.Mode()) {
    case TDragMode::Idle:
        HoverIdle(buttons, modifiers, point);
        return;
    case TDragMode::Moving:
        DragMoving(point);
        return;
    default:
        DragEdges(modifiers, point);
        return;
    }
}

void TCardForm::HoverIdle(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint point) {
    TCardObject* hit = ObjectAt(point);
    if (hit && hit->SelectState != 0) {
        if (modifiers != Qt::NoModifier || buttons != Qt::NoButton || IsToolCursor(FCursor))
            return;
        const THandleUnderPoint handle = HandleUnderPoint(*hit, point - PanelOrigin(PanelOf(hit)));
        FDrag.Hover(handle);
        SetCursorNumber(handle.Cursor);
    } else if (FState.Tool == ToolEdit) {
        FDrag.Hover({});
        SetCursorNumber(crDefault);
    }
}

void TCardForm::DragMoving(QPoint point) {
    SetCursorNumber(crDragHand);
    InvalidateOverlay(SelectionArea(true));
    const QPoint offset = FDrag.MoveTo(point);
    for (int i = 0; i < FSelection.Count(); ++i) {
        TCardObject* object = FSelection.Items(i);
        if (object->Locked) continue;
        TRect r = object->GetBounds();
        r.Offset(offset.x(), offset.y());
        object->SetBoundsPixels(r);
    }
    InvalidateOverlay(SelectionArea(true));
}

// Creating, resizing or band selection: the edges follow the mouse.
void TCardForm::DragEdges(Qt::KeyboardModifiers modifiers, QPoint point) {
    InvalidateOverlay(OutlineArea());
    FDrag.DragTo(point, modifiers);
    if (FDrag.Mode() == TDragMode::Resizing && FDrag.Cursor() != FCursor)
        SetCursorNumber(FDrag.Cursor());
    TCardObject* object = FState.ObjectInProgress;
    if (FDrag.Mode() == TDragMode::Band || !object) {
        InvalidateOverlay(OutlineArea());
        return;
    }
    const TRect& rect = FDrag.Rect();
    FDragPanel = PanelAt({(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2});
    if (FDrag.Mode() == TDragMode::Resizing) {
        const int from = PanelOf(object);
        if (from >= 0 && from != FDragPanel) FSelection.MoveToPanel(object, from, FDragPanel);
    }
    TRect local = rect;
    local.Offset(-PanelOrigin(FDragPanel).x(), -PanelOrigin(FDragPanel).y());
    object->SetBoundsOuter(local);
    InvalidateOverlay(OutlineArea());
}

void TCardForm::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint) {
    if (button != Qt::LeftButton || !HasDocument()) return;
    const TControlWidgetSync sync{*this}; // control widgets
    const int tool = FState.Tool;
    if (tool >= ToolHeadline && tool <= ToolField && FDrag.Mode() == TDragMode::Creating) {
        FinishCreating();
        return;
    }
    if (tool != ToolEdit) {
        FDrag.Finish();
        FMoveRecord.reset();
        return;
    }
    switch (FDrag.Mode()) {
    case TDragMode::Idle:
    case TDragMode::Moving:
        FinishMove();
        break;
    case TDragMode::Resizing:
        FinishResizing();
        break;
    case TDragMode::Band:
        FinishBand();
        break;
    default:
        FDrag.Finish();
        break;
    }
}

// A double click on an object opens its properties, as the Properties command does.
void TCardForm::MouseDoubleClick(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint point) {
    if (button != Qt::LeftButton || !HasDocument() || FState.Tool != ToolEdit) return;
    TCardObject* object = ObjectAt(point);
    if (!object) return;
    if (FSelection.Count() != 1 || FSelection.Items(0) != object) SelectOnly(object);
    FState.RunProperties(*this);
}

void TCardForm::FinishCreating() {
    InvalidateOverlay(OutlineArea());
    TCardObject* object = FState.ObjectInProgress;
    FState.ObjectInProgress = nullptr;
    FDrag.Finish();
    if (!object) return;
    Panel(FDragPanel)->AddObject(object);
    if (auto* control = dynamic_cast<TControlObject*>(object)) control->Control();
    object->Realign();
    FEditor.RecordInsert(QStringLiteral("Create %1").arg(object->TypeName()), {object});
    AddToSelection(object);
    InvalidateObject(object);
    if (!FState.KeepAdding) {
        FState.ClickEditTool();
        SetCursorNumber(crDefault);
    }
    if (FSelection.Count() > 0) FSelection.Items(0)->ShowControl(true);
    AfterEdit();
    FState.RunProperties(*this);
}

void TCardForm::FinishMove() {
    const bool moved = FDrag.Mode() == TDragMode::Moving;
    if (moved) {
        ShowOutlines(false);
        FSelection.Land();
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
    if (FMoveRecord) FMoveRecord->Commit();
    FMoveRecord.reset();
    if (moved) AfterEdit();
    FDrag.Finish();
    FFromKeyboard = false;
}

void TCardForm::FinishResizing() {
    InvalidateOverlay(OutlineArea());
    TCardObject* object = FState.ObjectInProgress;
    FState.ObjectInProgress = nullptr;
    FDrag.Finish();
    if (!object) return;
    if (auto* headline = dynamic_cast<THeadlineObject*>(object)) headline->RefreshText();
    object->Realign();
    if (FMoveRecord) FMoveRecord->Commit();
    FMoveRecord.reset();
    AddToSelection(object);
    InvalidateLogical(FOldArea);
    SetCursorNumber(crDefault);
    AfterEdit();
}

void TCardForm::FinishBand() {
    InvalidateOverlay(OutlineArea());
    const QRect band = ToQRect(Normalized(FDrag.Rect()));
    FDrag.Finish();
    FSelection.AddInBand(band);
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
    if (!FEditor.Link(source, frame)) {
        FState.ShowError(QStringLiteral("You cannot link text objects in a circular manner."));
        return;
    }
    AfterEdit();
    RefreshSurface();
}

void TCardForm::Nudge(int dx, int dy) {
    if (FSelection.Count() == 0) return;
    if (FDrag.IsIdle()) {
        // One step for the whole run, up to the key's release.
        FMoveRecord.emplace(FEditor, QStringLiteral("Move"), FSelection.List());
        FOldArea = SelectionArea(false);
        FDrag.BeginMove(FLastPoint);
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
    if (FDrag.Mode() != TDragMode::Moving) return;
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
    struct TNudgeKey {
        int Key, Dx, Dy;
    };
    static constexpr TNudgeKey Keys[] = {
        {Qt::Key_Left, -1, 0},   {Qt::Key_Up, 0, -1},     {Qt::Key_Right, 1, 0},
        {Qt::Key_Down, 0, 1},    {Qt::Key_Home, -1, -1},  {Qt::Key_PageUp, 1, -1},
        {Qt::Key_End, -1, 1},    {Qt::Key_PageDown, 1, 1},
    };
    if (event->key() == Qt::Key_F1) {
        FState.ShowHelp(10006);
        return;
    }
    const int step = (event->modifiers() & Qt::ShiftModifier) ? 25 : 1;
    for (const TNudgeKey& k : Keys) {
        if (k.Key != event->key()) continue;
        if (FSelection.Count() > 0) Nudge(k.Dx * step, k.Dy * step);
        return;
    }
    if (event->text() == QLatin1String("+"))
        ZoomIn();
    else if (event->text() == QLatin1String("-"))
        ZoomOut();
    else
        QWidget::keyPressEvent(event);
}

void TCardForm::KeyUp(QKeyEvent* event) {
    if (event->isAutoRepeat() || FDrag.Mode() != TDragMode::Moving) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    FinishKeyboardMove();
    const QPoint viewport = FSurface->Canvas()->viewport()->mapFromGlobal(QCursor::pos());
    MouseMove(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers(),
              FSurface->Canvas()->DeviceToLogical(viewport));
}

void TCardForm::SetDocumentModified() {
    if (HasDocument()) Card().SetDocumentModified(true);
    AfterEdit();
}

void TCardForm::AfterEdit() {
    UpdateScrollExtents(); // an object may have grown past the surface
    emit DocumentChanged();
}

void TCardForm::Undo() {
    if (!HasDocument() || !FDrag.IsIdle()) return;
    if (auto* text = TFocusTextControl::Current(); text && FTypingRecord && text->Undo()) return;
    ClearSelection(); // what was typed becomes a step: it is the one undone
    FEditor.Undo();
}

void TCardForm::Redo() {
    if (!HasDocument() || !FDrag.IsIdle()) return;
    if (auto* text = TFocusTextControl::Current(); text && FTypingRecord && text->Redo()) return;
    ClearSelection();
    FEditor.Redo();
}

// A step is applied again: nothing may keep pointing into the document.
void TCardForm::BeforeStep() {
    // A drag in progress ends without its step; an object being made is not in the card.
    if (!FDrag.IsIdle()) {
        if (FDrag.Mode() == TDragMode::Creating) delete FState.ObjectInProgress;
        if (FDrag.Mode() == TDragMode::Creating || FDrag.Mode() == TDragMode::Resizing)
            FState.ObjectInProgress = nullptr;
        FDrag.Finish();
        FMoveRecord.reset();
        ShowOutlines(false);
        SetCursorNumber(crDefault);
    }
    // The stack is moving: what was typed since the last step can no longer be one.
    FTypingRecord.reset();
    FTypingFrame = FTypingHead = nullptr;
    ClearSelection();
    if (FState.LinkSource && RefOf(Card(), FState.LinkSource).IsValid()) {
        FState.LinkSource = nullptr;
        if (FState.Tool == ToolLinkTo) FState.ClickEditTool();
    }
}

void TCardForm::AfterStep(const std::vector<TCardObject*>& touched) {
    const int page = std::clamp(FEditor.CurrentPage(), 0, std::max(0, Card().PageCount() - 1));
    FGeometry.SetCard(FEditor.Card());
    FGeometry.SetPage(page);
    UpdateViewFlags();
    // Selected all at once: an editor for the first one alone would open and close.
    auto changed = std::exchange(FSelection.Changed, nullptr);
    for (TCardObject* object : touched) {
        object->ZoomChanged(FGeometry.ZoomPercent());
        if (PanelOf(object) >= 0) AddToSelection(object);
    }
    FSelection.Changed = std::move(changed);
    UpdateScrollExtents();
    RefreshSurface();
    UpdateControlWidget();
    emit DocumentChanged();
}

// The frame editor keeps its own steps while it is open; its frame's content before and
// after is one step of the window when it closes.
void TCardForm::FollowTextEditing() {
    // The object whose editing widget is open: a text frame, a grid's table.
    TCardObject* edited = ControlWidget() ? FSelection.Sole() : nullptr;
    if (edited == FTypingFrame || (!edited && FContinuingStory)) return;
    auto* frame = dynamic_cast<TRichTextObject*>(edited);
    const TCardObject* head = frame ? frame->Head() : edited;
    // The caret went on into the next frame of the same story: still the same step.
    if (edited && FTypingRecord && head == FTypingHead) {
        FTypingFrame = edited;
        return;
    }
    FinishTyping();
    if (!edited || !HasDocument()) return;
    FTypingFrame = edited;
    FTypingHead = head;
    FTypingRecord.emplace(FEditor,
                          frame ? QStringLiteral("Typing")
                                : QStringLiteral("Edit %1").arg(edited->TypeName()),
                          std::vector<TCardObject*>{edited});
}

void TCardForm::ContinueTyping(TRichTextObject& next) {
    FContinuingStory = true;
    try {
        if (PanelOf(&next) < 0) next.RevealObject();
        SelectOnly(&next);
    } catch (...) {
        FContinuingStory = false;
        throw;
    }
    FContinuingStory = false;
    FollowTextEditing();
}

void TCardForm::FinishTyping() {
    if (FTypingRecord) {
        FTypingRecord->Commit();
        FTypingRecord.reset();
    }
    FTypingFrame = nullptr;
    FTypingHead = nullptr;
}

void TCardForm::Copy() {
    FSelection.CopyTo(FState.Clipboard);
}

void TCardForm::Cut() {
    Copy();
    if (FSelection.Count() == 0) return;
    const std::vector<TCardObject*> objects = FSelection.List();
    for (TCardObject* object : objects)
        InvalidateObject(object);
    ClearSelection();
    FEditor.Delete(QStringLiteral("Cut"), objects);
    SetCursorNumber(crDefault);
    AfterEdit();
}

void TCardForm::Paste() {
    if (!HasDocument()) return;
    ClearSelection();
    const TCardObjectTable& clipboard = FState.Clipboard;
    const std::vector<TCardObject*> pasted = FSelection.PlaceCopies(clipboard);
    FEditor.RecordInsert(QStringLiteral("Paste"), pasted);
    for (TCardObject* object : pasted)
        AddToSelection(object);
    SetCursorNumber(crDefault);
    if (clipboard.Count() > 0) AfterEdit();
}

void TCardForm::DeleteSelection() {
    if (FSelection.Count() == 0) return;
    const std::vector<TCardObject*> objects = FSelection.List();
    for (TCardObject* object : objects)
        InvalidateObject(object);
    ClearSelection();
    FEditor.Delete(QStringLiteral("Delete"), objects);
    UpdateControlWidget();
    SetCursorNumber(crDefault);
    AfterEdit();
}

void TCardForm::SelectAll() {
    FSelection.SelectAll();
}

void TCardForm::BringToFront() {
    TCardObject* object = FSelection.Sole();
    FSelection.BringToFront(FEditor);
    InvalidateObject(object);
    AfterEdit();
}

void TCardForm::SendToBack() {
    TCardObject* object = FSelection.Sole();
    FSelection.SendToBack(FEditor);
    InvalidateObject(object);
    AfterEdit();
}

void TCardForm::UpOneLevel() {
    TCardObject* object = FSelection.Sole();
    FSelection.UpOneLevel(FEditor);
    InvalidateObject(object);
    AfterEdit();
}

void TCardForm::DownOneLevel() {
    TCardObject* object = FSelection.Sole();
    FSelection.DownOneLevel(FEditor);
    InvalidateObject(object);
    AfterEdit();
}

void TCardForm::CenterSelection(bool horizontally) {
    if (FSelection.Count() == 0) return;
    FSelection.Center(FEditor, horizontally);
    AfterEdit();
}

void TCardForm::ToggleLocked() {
    if (!FSelection.Sole()) return;
    FSelection.ToggleLocked(FEditor);
    AfterEdit();
    const QPoint viewport = FSurface->Canvas()->viewport()->mapFromGlobal(QCursor::pos());
    MouseMove(Qt::NoButton, Qt::NoModifier, FSurface->Canvas()->DeviceToLogical(viewport));
}

void TCardForm::RunProperties() {
    TCardObject* object = FSelection.Sole();
    if (!object) return;
    TDocumentEditor::TContentRecord record(FEditor, QStringLiteral("Properties"), {object});
    if (object->EditProperties()) {
        object->Activate();
        InvalidateObject(object);
        record.Commit();
        AfterEdit();
    }
    UpdateControlWidget();
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
    if (HasDocument()) AppContext().ActiveCard = FEditor.Card();
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
    if (!HasDocument()) {
        event->accept();
        return;
    }
    FinishTyping();
    TCard& card = Card();
    const QString name =
        QFileInfo(card.FileName.isEmpty() ? windowTitle() : card.FileName).fileName();
    bool addToRecent = !card.DocumentModified;
    if (card.DocumentModified) {
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
    if (addToRecent && !card.FileName.isEmpty()) FState.AddRecentFile(card.FileName);
    event->accept();
}
