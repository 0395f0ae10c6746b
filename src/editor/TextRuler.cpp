#include "editor/TextFormatBar.h"

#include "document/AppContext.h"
#include "editor/FocusTextControl.h"
#include "objects/RichText.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>

#include <cmath>

// The ruler over the frame being edited: indents and tab stops of the current paragraph.

namespace {

constexpr int Origin = 8; // pixels before the frame's left edge
constexpr int Grab = 5;

QPolygon Triangle(int x, bool up, int top, int height) {
    const int tip = up ? top : top + height;
    const int base = up ? top + height : top;
    return QPolygon({QPoint(x, tip), QPoint(x - 5, base), QPoint(x + 5, base)});
}

} // namespace

TTextRuler::TTextRuler(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TextRuler"));
    setMinimumHeight(26);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

// The ruler runs at the editor's scale: the frame's width in pixels over its width in points.
double TTextRuler::PixelsPerPoint() const {
    TFocusTextControl* editor = TFocusTextControl::Current();
    if (editor && editor->Frame()->Bounds.Width() > 0)
        return editor->width() / (editor->Frame()->Bounds.Width() * 0.72);
    return 96.0 / 72.0;
}

double TTextRuler::ToPoints(int x) const {
    return (x - Origin) / PixelsPerPoint();
}

int TTextRuler::ToPixels(double points) const {
    return Origin + int(std::lround(points * PixelsPerPoint()));
}

void TTextRuler::Refresh() {
    TFocusTextControl* editor = TFocusTextControl::Current();
    if (editor && FDragging == mNone) {
        const QTextBlockFormat f = editor->Cursor().blockFormat();
        FWidth = editor->FrameWidthPoints();
        FLeft = f.leftMargin();
        FFirst = FLeft + f.textIndent();
        FRight = f.rightMargin();
        FTabs.clear();
        for (const QTextOption::Tab& tab : f.tabPositions()) FTabs.append(tab.position);
    }
    update();
}

void TTextRuler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const int right = ToPixels(FWidth);
    painter.fillRect(QRect(Origin, 4, right - Origin, height() - 8), Qt::white);
    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPixelSize(9);
    painter.setFont(font);
    // Inches in eighths, or centimetres in halves.
    const bool metric = AppContext().Metric;
    const double unit = metric ? 72.0 / 2.54 : 72.0;
    const int parts = metric ? 2 : 8;
    for (int i = 0;; ++i) {
        const double points = i * unit / parts;
        if (points > FWidth + 0.01) break;
        const int x = ToPixels(points);
        const int length = i % parts == 0 ? 8 : (!metric && i % (parts / 2) == 0 ? 5 : 3);
        painter.drawLine(x, height() - 5, x, height() - 5 - length);
        if (i % parts == 0 && i > 0)
            painter.drawText(QRect(x - 10, 3, 20, 10), Qt::AlignCenter, QString::number(i / parts));
    }
    painter.setBrush(QColor(0x40, 0x40, 0x40));
    painter.drawPolygon(Triangle(ToPixels(FFirst), false, 2, 6));
    painter.drawPolygon(Triangle(ToPixels(FLeft), true, height() - 8, 6));
    painter.drawPolygon(Triangle(ToPixels(FWidth - FRight), true, height() - 8, 6));
    for (double tab : FTabs) {
        const int x = ToPixels(tab);
        painter.drawLine(x, height() - 12, x, height() - 5);
        painter.drawLine(x, height() - 5, x + 5, height() - 5);
    }
}

void TTextRuler::mousePressEvent(QMouseEvent* event) {
    if (!TFocusTextControl::Current()) return;
    const int x = event->position().toPoint().x();
    const int y = event->position().toPoint().y();
    FDragging = mNone;
    if (std::abs(x - ToPixels(FWidth - FRight)) <= Grab && y > height() / 2)
        FDragging = mRight;
    else if (std::abs(x - ToPixels(FLeft)) <= Grab && y > height() / 2)
        FDragging = mLeft;
    else if (std::abs(x - ToPixels(FFirst)) <= Grab && y <= height() / 2)
        FDragging = mFirst;
    for (int i = 0; FDragging == mNone && i < FTabs.size(); ++i)
        if (std::abs(x - ToPixels(FTabs[i])) <= Grab) {
            FDragging = mTab;
            FTab = i;
        }
    if (FDragging == mNone && x >= Origin && x <= ToPixels(FWidth)) {
        FTabs.append(ToPoints(x));
        std::sort(FTabs.begin(), FTabs.end());
        Apply();
    }
}

void TTextRuler::mouseMoveEvent(QMouseEvent* event) {
    if (FDragging == mNone) return;
    const double at = std::clamp(ToPoints(event->position().toPoint().x()), 0.0, FWidth);
    switch (FDragging) {
    case mFirst: FFirst = at; break;
    case mLeft:
        // The left indent carries the first line along, as rulers do.
        FFirst += at - FLeft;
        FLeft = at;
        break;
    case mRight: FRight = FWidth - at; break;
    case mTab:
        if (FTab >= 0 && FTab < FTabs.size()) FTabs[FTab] = at;
        break;
    case mNone: break;
    }
    update();
}

void TTextRuler::mouseReleaseEvent(QMouseEvent* event) {
    if (FDragging == mNone) return;
    const int y = event->position().toPoint().y();
    if (FDragging == mTab && (y < -10 || y > height() + 10) && FTab < FTabs.size())
        FTabs.removeAt(FTab);
    FDragging = mNone;
    FTab = -1;
    Apply();
}

void TTextRuler::Apply() {
    TFocusTextControl* editor = TFocusTextControl::Current();
    if (!editor) return;
    QTextBlockFormat format;
    format.setLeftMargin(FLeft);
    format.setTextIndent(FFirst - FLeft);
    format.setRightMargin(std::max(0.0, FRight));
    QList<QTextOption::Tab> tabs;
    for (double tab : FTabs) tabs.append(QTextOption::Tab(tab, QTextOption::LeftTab));
    format.setTabPositions(tabs);
    editor->MergeBlockFormat(format);
    editor->setFocus();
    update();
}
