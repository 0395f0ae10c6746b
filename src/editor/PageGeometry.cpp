#include "editor/PageGeometry.h"

#include "document/Units.h"
#include "types/CardType.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr quint32 SinglePanelMasks[] = {1, 2, 4, 8, 16, 32};
// The outside of a quadfold: its back and front panels side by side.
constexpr quint32 QuadfoldOutsideMask = 9;

int Distance(QPoint a, QPoint b) {
    const double dx = a.x() - b.x();
    const double dy = a.y() - b.y();
    return RoundHalfAway(std::sqrt(dx * dx + dy * dy));
}

} // namespace

int TPageGeometry::Margin() {
    static const int margin = ScreenPixelsPerInch() / 2;
    return margin;
}

int TPageGeometry::InitialZoomIndex(int cardFormat) {
    if (IsCellFormat(cardFormat)) return 5; // 100 %: a business card or label is small
    return IsBannerFormat(cardFormat) ? 0 : 2;
}

QRect TPageGeometry::ToQRect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

TRect TPageGeometry::Normalized(const TRect& r) {
    return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
            std::max(r.Top, r.Bottom)};
}

int TPageGeometry::ZoomPercent() const {
    return ZoomTable[std::clamp(FZoomIndex & 127, 0, ZoomCount - 1)];
}

bool TPageGeometry::CanZoomIn() const {
    // A banner is long: more than 100 % would make a surface of many thousand pixels.
    const int limit = FCard && IsBannerFormat(FCard->CardFormat) ? 5 : ZoomCount - 1;
    return FZoomIndex < limit;
}

void TPageGeometry::Update() {
    FIgnoreX = std::find(std::begin(SinglePanelMasks), std::end(SinglePanelMasks), FShown) !=
               std::end(SinglePanelMasks);
    FIgnoreY = FIgnoreX ||
               (FShown == QuadfoldOutsideMask && FCard && IsQuadfoldFormat(FCard->CardFormat));
    int width = 0;
    int height = 0;
    for (int i = 0; i < MaxPanels; ++i) {
        const TCardPanel* panel = IsShown(i) ? Panel(i) : nullptr;
        if (!panel) continue;
        if (panel->SheetY == 0 || FIgnoreY) width += panel->WidthPixels();
        if (panel->SheetX == 0 || FIgnoreX) height += panel->HeightPixels();
        if (panel->SheetX != 0 && !FIgnoreX) width += 1;
        if (panel->SheetY != 0 && !FIgnoreY) height += 1;
    }
    FViewSize = {width, height};
}

QSize TPageGeometry::ScrollExtents() const {
    const int m = Margin();
    // Objects that reach past the page and its desk (a headline sized by its text) widen the
    // surface, so that their handles can always be scrolled to.
    const QRect objects = ShownObjectsArea();
    return {std::max(FViewSize.width() + 6 * ScreenPixelsPerInch() + 2 * (m + 1),
                     objects.right() + m),
            std::max(FViewSize.height() + 2 * (m + 1), objects.bottom() + m)};
}

QRect TPageGeometry::ShownObjectsArea() const {
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

TCardPanel* TPageGeometry::Panel(int index) const {
    if (!FCard || FPage < 0 || FPage >= FCard->PageCount()) return nullptr;
    const TCardPage* page = FCard->Pages(FPage);
    return index >= 0 && index < page->PanelCount() ? page->Panels(index) : nullptr;
}

bool TPageGeometry::IsShown(int panel) const {
    return panel >= 0 && panel < 32 && (FShown & (1u << panel)) && Panel(panel);
}

QPoint TPageGeometry::ViewOffset(int index) const {
    const TCardPanel* panel = Panel(index);
    if (!panel) return {};
    return {FIgnoreX ? 0 : panel->SheetXPixels() + panel->CellX,
            FIgnoreY ? 0 : panel->SheetYPixels() + panel->CellY};
}

QPoint TPageGeometry::PanelOrigin(int panel) const {
    return QPoint(Margin() + 1, Margin() + 1) + ViewOffset(panel);
}

int TPageGeometry::PanelOf(const TCardObject* object) const {
    for (int i = 0; i < MaxPanels; ++i) {
        const TCardPanel* panel = Panel(i);
        if (panel && panel->IndexOfObject(object) >= 0) return i;
    }
    return -1;
}

int TPageGeometry::PanelAt(QPoint point) const {
    int best = -1;
    int bestNearest = 0;
    int bestSum = 0;
    for (int p = 0; p < MaxPanels; ++p) {
        if (!IsShown(p)) continue;
        const TCardPanel* panel = Panel(p);
        const QPoint o = PanelOrigin(p);
        const int w = panel->WidthPixels();
        const int h = panel->HeightPixels();
        if (QRect(o, QSize(w, h)).contains(point)) return p;
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

QRect TPageGeometry::WindowRect(const TCardObject* object, const TRect& panelRect) const {
    const int panel = PanelOf(object);
    if (panel < 0) return {};
    return ToQRect(Normalized(panelRect)).translated(PanelOrigin(panel));
}

QRect TPageGeometry::ObjectWindowRect(const TCardObject* object) const {
    return WindowRect(object, object->GetRepaintRect());
}

TRect TPageGeometry::WindowToUnits(int panel, const TRect& window) const {
    TRect local = window;
    local.Offset(-PanelOrigin(panel).x(), -PanelOrigin(panel).y());
    return ScreenToUnits(local);
}

TRect TPageGeometry::UnitsToWindow(int panel, const TRect& units) const {
    TRect window = UnitsToScreen(units);
    window.Offset(PanelOrigin(panel).x(), PanelOrigin(panel).y());
    return window;
}

// The selected objects are hit first: a handle may lie over another object.
TCardObject* TPageGeometry::ObjectAt(QPoint point, const TCardObjectTable& selectedFirst) const {
    for (int i = 0; i < selectedFirst.Count(); ++i) {
        TCardObject* object = selectedFirst.Items(i);
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
