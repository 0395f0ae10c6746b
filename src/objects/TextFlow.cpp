#include "objects/TextFlow.h"

#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cmath>

namespace {

// Paragraph lengths (margins, indents, spacing, tab stops) are points.
constexpr double TwipsPerPoint = 20.0;
constexpr double IndentStep = 360.0; // one indent or list level: a quarter inch
constexpr double MarkerGap = 90.0;   // between a bullet or number and its text

// Fonts are measured against a device of the layout resolution.
const QPaintDevice& ReferenceDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = int(std::lround(TTextFlow::Resolution / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

} // namespace

QFont FlowFont(const QFont& font) {
    QFont measured(font, &ReferenceDevice());
    measured.setHintingPreference(QFont::PreferNoHinting);
    return measured;
}

struct TTextFlow::TBlockLayout {
    std::unique_ptr<QTextLayout> Layout;
    int Position = 0; // document position of the block's first character
    int Length = 0;   // with the paragraph separator
    std::vector<int> LineFrame; // per line; -1 for a line that fits no frame
    std::unique_ptr<QTextLayout> Marker; // bullet or number, drawn before the first line
    QPointF MarkerAt;
    // What the lines were made from, so that an unchanged paragraph that starts where it
    // did is not laid out again.
    QString Text;
    QList<QTextLayout::FormatRange> Formats;
    QTextBlockFormat Format;
    QString MarkerText;
    int StartFrame = 0;
    qreal StartY = 0;
    int EndFrame = 0;
    qreal EndY = 0;
};

TTextFlow::TTextFlow() = default;
TTextFlow::~TTextFlow() = default;

void TTextFlow::Layout(const QTextDocument& document, const std::vector<QSizeF>& frames) {
    std::vector<std::unique_ptr<TBlockLayout>> previous = std::move(FBlocks);
    FBlocks.clear();
    const bool sameFrames = FSizes == frames;
    FSizes = frames;
    FFrames.clear();
    for (const QSizeF& size : frames) FFrames.push_back(TFrame{size, {}, 0, 0});
    FOverflows = false;
    FLaidOutEnd = 0;
    const QFont defaultFont = document.defaultFont();
    const int frameCount = int(FFrames.size());
    int f = 0;
    qreal y = 0;
    QTextBlock block = document.begin();
    for (; block.isValid() && f < frameCount; block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        QList<QTextLayout::FormatRange> formats = block.textFormats();
        const QString text = block.text();
        QTextList* list = block.textList();
        const QString markerText = list ? list->itemText(block) : QString();
        const size_t index = FBlocks.size();
        if (sameFrames && index < previous.size()) {
            std::unique_ptr<TBlockLayout>& old = previous[index];
            if (old->StartFrame == f && old->StartY == y && old->EndFrame >= 0 &&
                old->Text == text && old->Format == format && old->MarkerText == markerText &&
                old->Formats == formats) {
                old->Position = block.position();
                old->Length = block.length();
                for (int line = 0; line < int(old->LineFrame.size()); ++line)
                    FFrames[size_t(old->LineFrame[size_t(line)])].Lines.push_back(
                        {int(index), line});
                f = old->EndFrame;
                y = old->EndY;
                FLaidOutEnd = old->Position + old->Length;
                FBlocks.push_back(std::move(old));
                continue;
            }
        }
        auto laid = std::make_unique<TBlockLayout>();
        laid->Text = text;
        laid->Formats = formats;
        laid->Format = format;
        laid->MarkerText = markerText;
        laid->StartFrame = f;
        laid->StartY = y;
        laid->Position = block.position();
        laid->Length = block.length();
        const QFont base = FlowFont(block.charFormat().font().resolve(defaultFont));
        laid->Layout = std::make_unique<QTextLayout>(text, base, &ReferenceDevice());
        QTextLayout& layout = *laid->Layout;
        layout.setFormats(formats);
        QTextOption option(format.alignment());
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setUseDesignMetrics(true);
        QList<QTextOption::Tab> tabs = format.tabPositions();
        for (QTextOption::Tab& tab : tabs) tab.position *= TwipsPerPoint;
        option.setTabs(tabs);
        layout.setTextOption(option);
        layout.setCacheEnabled(true);

        qreal left = format.leftMargin() * TwipsPerPoint + format.indent() * IndentStep;
        const qreal right = format.rightMargin() * TwipsPerPoint;
        const qreal first = format.textIndent() * TwipsPerPoint;
        if (list) {
            left += std::max(1, list->format().indent()) * IndentStep;
            if (!markerText.isEmpty()) {
                laid->Marker = std::make_unique<QTextLayout>(markerText, base, &ReferenceDevice());
                laid->Marker->beginLayout();
                laid->Marker->createLine();
                laid->Marker->endLayout();
            }
        }
        if (y > 0) y += format.topMargin() * TwipsPerPoint;

        layout.beginLayout();
        for (int lineNumber = 0;; ++lineNumber) {
            QTextLine line = layout.createLine();
            if (!line.isValid()) break;
            const qreal indent = left + (lineNumber == 0 ? first : 0);
            // The line moves on until a frame has room for it.
            while (f < frameCount) {
                const QSizeF size = FFrames[size_t(f)].Size;
                line.setLineWidth(std::max<qreal>(1.0, size.width() - indent - right));
                line.setLeadingIncluded(true);
                if (y + line.height() <= size.height() + 0.5) break;
                ++f;
                y = 0;
            }
            if (f >= frameCount) {
                laid->LineFrame.push_back(-1);
                FLaidOutEnd = laid->Position + line.textStart();
                break;
            }
            line.setPosition(QPointF(indent, y));
            laid->LineFrame.push_back(f);
            FFrames[size_t(f)].Lines.push_back({int(FBlocks.size()), lineNumber});
            if (lineNumber == 0 && laid->Marker) {
                const QTextLine mark = laid->Marker->lineAt(0);
                laid->MarkerAt = QPointF(indent - MarkerGap - mark.naturalTextWidth(),
                                         y + line.ascent() - mark.ascent());
            }
            y += line.height();
            FLaidOutEnd = laid->Position + line.textStart() + line.textLength();
        }
        layout.endLayout();
        const bool complete = !laid->LineFrame.empty() && laid->LineFrame.back() >= 0;
        if (complete) {
            FLaidOutEnd = laid->Position + laid->Length;
            y += format.bottomMargin() * TwipsPerPoint;
        }
        laid->EndFrame = complete ? f : -1;
        laid->EndY = y;
        FBlocks.push_back(std::move(laid));
        if (!complete) break;
    }
    const int end = std::max(0, document.characterCount() - 1);
    FLaidOutEnd = std::min(FLaidOutEnd, end);
    // Only text counts as overflow: empty paragraphs after the last frame do not.
    if (FLaidOutEnd < end) {
        const QString rest = document.toPlainText().mid(FLaidOutEnd);
        FOverflows = std::any_of(rest.begin(), rest.end(), [](QChar c) { return !c.isSpace(); });
    }
    int position = 0;
    for (TFrame& frame : FFrames) {
        frame.Start = position;
        if (!frame.Lines.empty()) {
            frame.Start = FBlocks[size_t(frame.Lines.front().Block)]->Position +
                          FBlocks[size_t(frame.Lines.front().Block)]
                              ->Layout->lineAt(frame.Lines.front().Line)
                              .textStart();
            const TLineRef last = frame.Lines.back();
            const TBlockLayout& block = *FBlocks[size_t(last.Block)];
            const bool blockEnds = last.Line == block.Layout->lineCount() - 1 &&
                                   block.LineFrame.back() >= 0;
            const QTextLine line = block.Layout->lineAt(last.Line);
            position = blockEnds ? block.Position + block.Length
                                 : block.Position + line.textStart() + line.textLength();
            position = std::min(position, end);
        }
        frame.End = position;
    }
}

int TTextFlow::FrameStart(int frame) const {
    return frame >= 0 && frame < FrameCount() ? FFrames[size_t(frame)].Start : 0;
}

int TTextFlow::FrameEnd(int frame) const {
    return frame >= 0 && frame < FrameCount() ? FFrames[size_t(frame)].End : 0;
}

void TTextFlow::DrawFrame(QPainter& painter, int frame, const QPointF& origin) const {
    if (frame < 0 || frame >= FrameCount()) return;
    // Runs without a colour of their own take the pen's.
    painter.setPen(Qt::black);
    for (const TLineRef& ref : FFrames[size_t(frame)].Lines) {
        const TBlockLayout& block = *FBlocks[size_t(ref.Block)];
        block.Layout->lineAt(ref.Line).draw(&painter, origin);
        if (ref.Line == 0 && block.Marker) block.Marker->draw(&painter, origin + block.MarkerAt);
    }
}

const TTextFlow::TBlockLayout* TTextFlow::BlockAt(int position) const {
    const auto after = std::upper_bound(
        FBlocks.begin(), FBlocks.end(), position,
        [](int p, const std::unique_ptr<TBlockLayout>& b) { return p < b->Position; });
    if (after == FBlocks.begin()) return nullptr;
    const TBlockLayout* block = std::prev(after)->get();
    return position < block->Position + block->Length ? block : nullptr;
}

int TTextFlow::FrameOfLine(const TBlockLayout& block, int line) const {
    return line >= 0 && line < int(block.LineFrame.size()) ? block.LineFrame[size_t(line)] : -1;
}

TTextFlow::TCaret TTextFlow::CaretAt(int position) const {
    const TBlockLayout* block = BlockAt(position);
    if (!block) return {};
    const int inBlock = position - block->Position;
    const QTextLine line = block->Layout->lineForTextPosition(inBlock);
    if (!line.isValid()) return {};
    const int frame = FrameOfLine(*block, line.lineNumber());
    if (frame < 0) return {};
    const qreal x = line.cursorToX(inBlock);
    return {frame, QRectF(x, line.y(), 1.0, line.height())};
}

int TTextFlow::PositionAt(int frame, const QPointF& point) const {
    if (frame < 0 || frame >= FrameCount()) return 0;
    const TFrame& f = FFrames[size_t(frame)];
    if (f.Lines.empty()) return f.Start;
    const TLineRef* chosen = &f.Lines.back();
    for (const TLineRef& ref : f.Lines) {
        const QTextLine line = FBlocks[size_t(ref.Block)]->Layout->lineAt(ref.Line);
        if (point.y() < line.y() + line.height()) {
            chosen = &ref;
            break;
        }
    }
    const TBlockLayout& block = *FBlocks[size_t(chosen->Block)];
    const QTextLine line = block.Layout->lineAt(chosen->Line);
    return block.Position + line.xToCursor(point.x());
}

QVector<QRectF> TTextFlow::SelectionRects(int frame, int from, int to) const {
    QVector<QRectF> rects;
    if (frame < 0 || frame >= FrameCount() || from >= to) return rects;
    for (const TLineRef& ref : FFrames[size_t(frame)].Lines) {
        const TBlockLayout& block = *FBlocks[size_t(ref.Block)];
        const QTextLine line = block.Layout->lineAt(ref.Line);
        const int start = block.Position + line.textStart();
        const int end = start + line.textLength();
        const int a = std::max(from, start);
        const int b = std::min(to, end);
        if (a > b || (a == b && to <= end)) continue;
        const qreal x1 = line.cursorToX(a - block.Position);
        // A selection that goes on past the line reaches its right end.
        const qreal x2 =
            to > end ? std::max(line.x() + line.naturalTextWidth(), line.cursorToX(b - block.Position) + 60)
                     : line.cursorToX(b - block.Position);
        rects.append(QRectF(QPointF(std::min(x1, x2), line.y()),
                            QPointF(std::max(x1, x2), line.y() + line.height())));
    }
    return rects;
}

int TTextFlow::PositionOnNextLine(int position, int direction) const {
    const TBlockLayout* block = BlockAt(position);
    if (!block) return -1;
    const QTextLine line = block->Layout->lineForTextPosition(position - block->Position);
    if (!line.isValid()) return -1;
    const int frame = FrameOfLine(*block, line.lineNumber());
    if (frame < 0) return -1;
    const qreal x = line.cursorToX(position - block->Position);
    // The frames' lines in reading order.
    const auto blockIndex = int(std::find_if(FBlocks.begin(), FBlocks.end(),
                                             [&](const auto& b) { return b.get() == block; }) -
                                FBlocks.begin());
    int f = frame;
    const std::vector<TLineRef>* lines = &FFrames[size_t(f)].Lines;
    auto at = std::find_if(lines->begin(), lines->end(), [&](const TLineRef& r) {
        return r.Block == blockIndex && r.Line == line.lineNumber();
    });
    if (at == lines->end()) return -1;
    long index = long(at - lines->begin()) + direction;
    while (index < 0 || index >= long(lines->size())) {
        f += direction;
        if (f < 0 || f >= FrameCount()) return -1;
        lines = &FFrames[size_t(f)].Lines;
        if (lines->empty()) continue;
        index = direction > 0 ? 0 : long(lines->size()) - 1;
    }
    const TLineRef target = (*lines)[size_t(index)];
    const TBlockLayout& to = *FBlocks[size_t(target.Block)];
    return to.Position + to.Layout->lineAt(target.Line).xToCursor(x);
}

std::pair<int, int> TTextFlow::LineRange(int position) const {
    const TBlockLayout* block = BlockAt(position);
    if (!block) return {position, position};
    const QTextLine line = block->Layout->lineForTextPosition(position - block->Position);
    if (!line.isValid() || FrameOfLine(*block, line.lineNumber()) < 0) return {position, position};
    const int start = block->Position + line.textStart();
    int end = start + line.textLength();
    // The caret stays before the space that ends a wrapped line.
    const bool last = line.lineNumber() == block->Layout->lineCount() - 1;
    if (!last && end > start && block->Layout->text().at(end - block->Position - 1).isSpace()) --end;
    return {start, end};
}
