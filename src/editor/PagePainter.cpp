#include "editor/PagePainter.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Units.h"
#include "types/CardType.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <iterator>

namespace {

constexpr int MaxPanels = TPageGeometry::MaxPanels;

// Pre-cut paper stocks: x0, y0, w, h, hgap, vgap, columns, rows (1/100 in for the inch
// stocks, 1/100 mm for the metric ones), in the order of the photo paper types.
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
static_assert(std::size(PaperLayouts) == dtLastPhotoPaper - dtFirstPhotoPaper + 1);

QRect ToQRect(const TRect& r) {
    return TPageGeometry::ToQRect(r);
}

TRect Normalized(const TRect& r) {
    return TPageGeometry::Normalized(r);
}

} // namespace

TPagePainter::TPagePainter(const TPageGeometry& geometry, const TCardObjectTable& selection)
    : FGeometry(geometry), FSelection(selection) {}

void TPagePainter::PaintPage(QPainter& painter, const QRect& clip) const {
    PaintDesk(painter, clip);
    if (!FGeometry.Card()) return;
    const TCard& card = *FGeometry.Card();
    PaintPanelMarks(painter, clip, card);
    PaintFoldLines(painter);
    PaintPaperOutlines(painter, card);
    PaintObjects(painter, clip);
}

// The grey desk round the white page.
void TPagePainter::PaintDesk(QPainter& painter, const QRect& clip) const {
    const int m = TPageGeometry::Margin();
    const int r = FGeometry.ViewSize().width() + m + 2;
    const int d = FGeometry.ViewSize().height() + m + 2;
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
}

// Unprintable margins and grid dots of each shown panel.
void TPagePainter::PaintPanelMarks(QPainter& painter, const QRect& clip, const TCard& card) const {
    const int m = TPageGeometry::Margin();
    const int b = m + 1;
    const bool cells = IsCellFormat(card.CardFormat);
    const int g = std::max(1, AppContext().GridSpacing);
    for (int p = 0; p < MaxPanels; ++p) {
        if (!FGeometry.IsShown(p)) continue;
        const TCardPanel* panel = FGeometry.Panel(p);
        const QPoint offset = FGeometry.ViewOffset(p);
        if (!cells) {
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
        if (!AppContext().ShowGrid) continue;
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

// The folds between the panels, and the page's edge.
void TPagePainter::PaintFoldLines(QPainter& painter) const {
    const int m = TPageGeometry::Margin();
    const int b = m + 1;
    const int r = FGeometry.ViewSize().width() + m + 2;
    const int d = FGeometry.ViewSize().height() + m + 2;
    painter.setPen(QPen(QColor(128, 128, 128), 0));
    for (int p = 0; p < MaxPanels; ++p) {
        if (!FGeometry.IsShown(p)) continue;
        const TCardPanel* panel = FGeometry.Panel(p);
        if (panel->SheetX != 0 && !FGeometry.IgnoreX()) {
            const int x = panel->SheetXPixels() + b + panel->CellX - 1;
            painter.drawLine(x, m, x, d - 1);
        }
        if (panel->SheetY != 0 && !FGeometry.IgnoreY()) {
            const int y = panel->SheetYPixels() + b + panel->CellY - 1;
            painter.drawLine(m, y, r - 1, y);
        }
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(m, m, r - m - 1, d - m - 1));
}

// The outlines of pre-cut paper.
void TPagePainter::PaintPaperOutlines(QPainter& painter, const TCard& card) const {
    if (!IsPhotoPaperType(card.DocumentType)) return;
    const int b = TPageGeometry::Margin() + 1;
    const TPaperLayout& l = PaperLayouts[card.DocumentType - dtFirstPhotoPaper];
    const bool millimetres = IsMetricPhotoPaperType(card.DocumentType);
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

void TPagePainter::PaintObjects(QPainter& painter, const QRect& clip) const {
    TCanvas canvas(painter, ScreenPixelsPerInch(), ScreenPixelsPerInch(), TCanvas::TKind::Screen);
    for (int p = 0; p < MaxPanels; ++p) {
        if (!FGeometry.IsShown(p)) continue;
        const TCardPanel* panel = FGeometry.Panel(p);
        const QPoint origin = FGeometry.PanelOrigin(p);
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
        const int panel = FGeometry.PanelOf(object);
        if (panel < 0) continue;
        const QPoint origin = FGeometry.PanelOrigin(panel);
        object->DrawHandles(painter, origin.x(), origin.y());
    }
}

// What lies outside its panel does not print: a red dashed edge round that part of an object
// shows it before printing.
void TPagePainter::PaintUnprintedParts(QPainter& painter, const QRect& clip) const {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(220, 0, 0), 0, Qt::DashLine));
    for (int p = 0; p < MaxPanels; ++p) {
        if (!FGeometry.IsShown(p)) continue;
        const TCardPanel* panel = FGeometry.Panel(p);
        const QPoint origin = FGeometry.PanelOrigin(p);
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

void TPagePainter::PaintOverlay(QPainter& painter, const TDragMachine& drag,
                                const TCardObject* inProgress, int dragPanel,
                                bool outlines) const {
    const TDragMode mode = drag.Mode();
    const bool band = mode == TDragMode::Band;
    const bool creatingOrResizing =
        (mode == TDragMode::Creating || mode == TDragMode::Resizing) && inProgress;
    if (!outlines && !band && !creatingOrResizing) return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setBrush(Qt::NoBrush);
    if (band) {
        painter.setPen(QPen(Qt::white, 0, Qt::DotLine));
        painter.drawRect(ToQRect(Normalized(drag.Rect())).adjusted(0, 0, -1, -1));
    } else if (creatingOrResizing) {
        painter.setPen(QPen(Qt::white, 0, inProgress->OutlinePenStyle()));
        const QPoint origin = FGeometry.PanelOrigin(dragPanel);
        inProgress->DrawOutline(painter, origin.x(), origin.y());
    } else {
        for (int i = 0; i < FSelection.Count(); ++i) {
            const TCardObject* object = FSelection.Items(i);
            const int panel = FGeometry.PanelOf(object);
            if (panel < 0 || object->Locked) continue;
            painter.setPen(QPen(Qt::white, 0, object->OutlinePenStyle()));
            const QPoint origin = FGeometry.PanelOrigin(panel);
            object->DrawOutline(painter, origin.x(), origin.y());
        }
    }
    painter.restore();
}

