#include "objects/HeadlineText.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Palette.h"
#include "document/Units.h"
#include "objects/LetterMask.h"
#include "objects/TextureCache.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

THeadlineText::THeadlineText() {
    Font.Name = QStringLiteral("Times New Roman");
    Font.Size = 20;
}

void THeadlineText::SetBorderSize(int size) {
    FBorderSize = std::clamp(size, 0, 10);
}

void THeadlineText::AssignStyle(const THeadlineText& s) {
    Font = s.Font;
    Alignment = s.Alignment;
    Color = s.Color;
    ShadowColor = s.ShadowColor;
    ShadowDepth = s.ShadowDepth;
    ShadowDirection = s.ShadowDirection;
    ShadowStyle = s.ShadowStyle;
    HighlightColor = s.HighlightColor;
    HighlightDepth = s.HighlightDepth;
    HighlightDirection = s.HighlightDirection;
    HighlightStyle = s.HighlightStyle;
    GraduateFromColor = s.GraduateFromColor;
    GraduateStyle = s.GraduateStyle;
    GraduateToColor = s.GraduateToColor;
    Texture = s.Texture;
    TextureFile = s.TextureFile;
    BackStyle = s.BackStyle;
    BackFromColor = s.BackFromColor;
    BackToColor = s.BackToColor;
    BackTextureFile = s.BackTextureFile;
    BackDirection = s.BackDirection;
    BorderColor = s.BorderColor;
    FBorderSize = s.FBorderSize;
    DeleteBlankLines = s.DeleteBlankLines;
}

namespace {

QPoint Step(quint8 direction) {
    static constexpr int Dx[] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
    static constexpr int Dy[] = {0, -1, -1, 0, 1, 1, 1, 0, -1};
    return direction <= sdUpLeft ? QPoint(Dx[direction], Dy[direction]) : QPoint();
}

// The horizontal and vertical room the two shades need beyond the letters, and how far the
// letters move right and down to leave it (offsets are at most 0 to the left and top).
struct TShadeExtent {
    int Left = 0, Right = 0, Top = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

TShadeExtent ShadeExtent(QPoint highlight, QPoint shadow) {
    return {std::min({highlight.x(), shadow.x(), 0}), std::max({highlight.x(), shadow.x(), 0}),
            std::min({highlight.y(), shadow.y(), 0}), std::max({highlight.y(), shadow.y(), 0})};
}

int Channel(int from, int to, int i, int n) {
    return n > 1 ? from + RoundHalfAway(double(i) * (to - from) / (n - 1)) : from;
}

QColor Blend(quint32 fromRef, quint32 toRef, int i, int n) {
    const QColor from = ColorFromRef(fromRef);
    const QColor to = ColorFromRef(toRef);
    return QColor(Channel(from.red(), to.red(), i, n), Channel(from.green(), to.green(), i, n),
                  Channel(from.blue(), to.blue(), i, n));
}

// One-pixel strips from one colour to the other: rows when vertical, columns otherwise.
void FillGradient(QPainter& painter, const QRect& r, quint32 from, quint32 to, bool vertical) {
    const int n = vertical ? r.height() : r.width();
    for (int i = 0; i < n; ++i) {
        const QRect strip = vertical ? QRect(r.left(), r.top() + i, r.width(), 1)
                                     : QRect(r.left() + i, r.top(), 1, r.height());
        painter.fillRect(strip, Blend(from, to, i, n));
    }
}

int AlignmentFlag(THeadlineAlignment alignment) {
    switch (alignment) {
    case haRight:
        return Qt::AlignRight;
    case haCentre:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

// The widest line's bounding box as a single-line edit field measures it.
int LineWidth(const QFontMetrics& metrics, const QString& line) {
    return metrics
        .boundingRect(QRect(0, 0, 100000, 100000), Qt::TextExpandTabs | Qt::TextSingleLine, line)
        .width();
}

// The largest pixel size, up to the font's own, at which every line is at most width pixels
// wide and lineHeight high.
int FittingPixelSize(QStringList shown, bool deleteBlankLines, const QFont& font, int width,
                     int lineHeight) {
    if (deleteBlankLines) shown.removeAll(QString());
    QFont trial = font;
    const auto fits = [&](int pixels) {
        trial.setPixelSize(pixels);
        const QFontMetrics metrics(trial);
        if (metrics.height() > lineHeight) return false;
        for (const QString& line : shown)
            if (LineWidth(metrics, line) > width) return false;
        return true;
    };
    int largest = font.pixelSize();
    if (shown.isEmpty() || largest <= 1 || fits(largest)) return std::max(largest, 1);
    // The largest size below that fits, found in a few measurements even for poster letters
    // (each size measured loads a font of its own); at least 1 pixel.
    int smallest = 1;
    --largest;
    while (smallest < largest) {
        const int middle = smallest + (largest - smallest + 1) / 2;
        if (fits(middle))
            smallest = middle;
        else
            largest = middle - 1;
    }
    return smallest;
}

// Where the letters go on one device: the effects at its resolution, the font, and the
// insets of the lines within the box.
struct TLetterLayout {
    QFont Font;
    int LineHeight = 0;
    int Border = 0;
    int HighlightDepth = 0, ShadowDepth = 0;
    QPoint HighlightStep, ShadowStep;
    TShadeExtent Shades;
    int Shift = 0; // how far the alignment moves the lines left to make room for the shades
    int Flags = 0;
};

TLetterLayout LayOutLetters(const THeadlineText& h, const TCanvas& canvas, const QRect& r) {
    const int screen = ScreenPixelsPerInch();
    const int dpi = canvas.DpiX();
    // Effects are sized in logical pixels; on other devices they scale with the resolution.
    auto scaled = [&](int value) { return MulDiv(value, dpi, screen); };
    TLetterLayout l;
    l.HighlightDepth = scaled(h.HighlightDepth);
    l.ShadowDepth = scaled(h.ShadowDepth);
    l.Border = scaled(h.BorderSize());
    l.LineHeight = scaled(h.LineHeight);
    l.HighlightStep = Step(h.HighlightDirection);
    l.ShadowStep = Step(h.ShadowDirection);
    l.Shades = ShadeExtent(l.HighlightStep * l.HighlightDepth, l.ShadowStep * l.ShadowDepth);
    l.Font = h.Font.ToQFont(canvas.DpiY());
    // The box was measured on the screen; fonts do not scale in proportion to other
    // resolutions (sizes round to whole pixels, hinting differs), so there the letters are
    // made to fit the room the box gives them.
    if (canvas.EffectivePixelsPerInch() != screen)
        l.Font.setPixelSize(FittingPixelSize(h.Lines, h.DeleteBlankLines, l.Font,
                                             r.width() - l.Shades.Width() - 2 * l.Border,
                                             l.LineHeight));
    l.Shift = h.Alignment == haCentre  ? l.Shades.Width() / 2
              : h.Alignment == haRight ? l.Shades.Width()
                                       : 0;
    l.Flags = AlignmentFlag(h.Alignment) | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextSingleLine;
    return l;
}

// The lines in the painter's pen, moved by offset; each line clipped to its own rectangle.
void DrawLines(QPainter& p, const THeadlineText& h, const TLetterLayout& l, const QRect& box,
               QPoint offset) {
    int top = box.top() + offset.y() - l.Shades.Top + l.Border;
    const int left = box.left() + offset.x() - l.Shades.Left - l.Shift + l.Border;
    const int right = box.right() + 1 + offset.x() - l.Shades.Left - l.Shift - l.Border;
    for (const QString& line : h.Lines) {
        if (h.DeleteBlankLines && line.isEmpty()) continue;
        const QRect lineRect(QPoint(left, top), QPoint(right - 1, top + l.LineHeight - 1));
        p.save();
        p.setClipRect(lineRect, Qt::IntersectClip);
        p.drawText(lineRect, l.Flags, line);
        p.restore();
        top += l.LineHeight;
    }
}

void DrawBackground(QPainter& painter, const THeadlineText& h, const QRect& r) {
    switch (h.BackStyle) {
    case basSolid:
        painter.fillRect(r, ColorFromRef(h.Color));
        break;
    case basGradient:
        FillGradient(painter, r, h.BackFromColor, h.BackToColor, h.BackDirection == 1);
        break;
    case basTexture: {
        painter.fillRect(r, Qt::white);
        const QImage texture = THeadlineText::TexturePicture(h.BackTextureFile);
        if (!texture.isNull()) painter.drawImage(r, texture);
        break;
    }
    default:
        break;
    }
}

// The colour of copy n of a shade: graduated copies run from the shade's colour (the
// farthest) to the letters'.
QColor ShadeColor(const THeadlineText& h, int depth, int n, quint8 style, quint32 base) {
    const QColor from = ColorFromRef(base);
    if (style != ssGraduated || depth <= 1) return from;
    const QColor to = ColorFromRef(h.Font.Color);
    auto channel = [&](int f, int t) {
        return f + RoundHalfAway(double(depth - n) * (t - f) / (depth - 1));
    };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

// A shadow or highlight: copies of the lines along the step, the farthest first.
void DrawShade(QPainter& painter, const THeadlineText& h, const TLetterLayout& l, const QRect& r,
               int depth, QPoint step, quint8 style, quint32 base) {
    if (depth == 0 || step.isNull()) return;
    const bool steps = style != ssPlain && depth > 1;
    for (int n = depth; n >= (steps ? 1 : depth); --n) {
        painter.setPen(ShadeColor(h, depth, n, style, base));
        DrawLines(painter, h, l, r, step * n);
    }
}

// The part of the box that can show: within the clip and the device.
QRect VisiblePart(const QPainter& painter, const QRect& r) {
    QRect visible = r;
    if (painter.hasClipping()) visible &= painter.clipBoundingRect().toAlignedRect();
    if (const QPaintDevice* device = painter.device()) {
        bool invertible = false;
        const QTransform toLogical = painter.worldTransform().inverted(&invertible);
        if (invertible)
            visible &=
                toLogical.mapRect(QRectF(0, 0, device->width(), device->height())).toAlignedRect();
    }
    return visible;
}

// The letter fill of one band: the texture over the whole box, or the gradient across the
// box. (x, y) is the band's first pixel within the box, box the whole box seen from the band.
QImage BandFill(const THeadlineText& h, const QImage& texture, QSize size, const QRect& box, int x,
                int y, const QRect& r) {
    QImage fill(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&fill);
    if (h.Texture) {
        fill.fill(Qt::white);
        if (!texture.isNull()) p.drawImage(box, texture);
    } else if (h.GraduateStyle == gsVertical) {
        for (int i = 0; i < size.height(); ++i)
            p.fillRect(0, i, fill.width(), 1,
                       Blend(h.GraduateFromColor, h.GraduateToColor, y + i, r.height()));
    } else {
        for (int i = 0; i < fill.width(); ++i)
            p.fillRect(i, 0, 1, size.height(),
                       Blend(h.GraduateFromColor, h.GraduateToColor, x + i, r.width()));
    }
    return fill;
}

// The letters' coverage of one band, in black on transparent.
QImage BandMask(const QPainter& painter, const THeadlineText& h, const TLetterLayout& l, QSize size,
                const QRect& box) {
    QImage mask(size, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    QPainter p(&mask);
    p.setRenderHints(painter.renderHints());
    p.setFont(l.Font);
    p.setPen(Qt::black);
    DrawLines(p, h, l, box, QPoint());
    return mask;
}

// A gradient or texture seen through the letters. The fill and the mask are made a band of
// rows at a time, so a headline as large as a poster printed at a fine resolution needs no
// more memory than a small one.
void DrawFilledLetters(QPainter& painter, const THeadlineText& h, const TLetterLayout& l,
                       const QRect& r) {
    const QImage texture = h.Texture ? THeadlineText::TexturePicture(h.TextureFile) : QImage();
    constexpr int BandRows = 512;
    const QRect visible = VisiblePart(painter, r);
    const int x = visible.left() - r.left(); // the first column within the box
    for (int top = visible.top(); top <= visible.bottom(); top += BandRows) {
        const int rows = std::min(BandRows, visible.bottom() + 1 - top);
        const int y = top - r.top();                    // the band's first row within the box
        const QRect box(-x, -y, r.width(), r.height()); // the whole box, seen from the band
        const QSize size(visible.width(), rows);
        QImage fill = BandFill(h, texture, size, box, x, y, r);
        const QImage mask = BandMask(painter, h, l, size, box);
        // The letters' coverage becomes the fill's opacity.
        QPainter p(&fill);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, mask);
        p.end();
        painter.drawImage(QPoint(visible.left(), top), fill);
    }
}

void DrawLetters(QPainter& painter, const THeadlineText& h, const TLetterLayout& l,
                 const QRect& r) {
    if (h.GraduateStyle != gsNone || h.Texture) {
        DrawFilledLetters(painter, h, l, r);
        return;
    }
    painter.setPen(ColorFromRef(h.Font.Color));
    DrawLines(painter, h, l, r, QPoint());
}

// Inside the box.
void DrawBorder(QPainter& painter, const THeadlineText& h, const TLetterLayout& l, const QRect& r) {
    const int b = l.Border;
    if (b <= 0) return;
    QPen pen(ColorFromRef(h.BorderColor), b);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(r).adjusted(b / 2.0, b / 2.0, -b / 2.0, -b / 2.0));
}

// The letters' coverage on a picture of the screen drawing, drawn as the painter would draw
// them there; transform maps the box's logical pixels to the picture's.
TLetterMask LetterMaskOf(const THeadlineText& h, const TLetterLayout& l, const QRect& r,
                         QSize size, const QTransform& transform, QPainter::RenderHints hints) {
    QImage coverage(size, QImage::Format_Alpha8);
    coverage.fill(0);
    QPainter p(&coverage);
    p.setRenderHints(hints);
    p.setWorldTransform(transform);
    p.setClipRect(r);
    p.setFont(l.Font);
    p.setPen(Qt::black);
    DrawLines(p, h, l, r, QPoint());
    p.end();
    return TLetterMask(std::move(coverage));
}

// A shade as copies of the one letter mask, each moved by whole device pixels.
void LayShade(QImage& picture, const TLetterMask& mask, const QTransform& transform,
              const THeadlineText& h, int depth, QPoint step, quint8 style, quint32 base) {
    if (depth == 0 || step.isNull()) return;
    const bool steps = style != ssPlain && depth > 1;
    for (int n = depth; n >= (steps ? 1 : depth); --n) {
        const QPoint shift(qRound(step.x() * n * transform.m11()),
                           qRound(step.y() * n * transform.m22()));
        mask.Lay(picture, shift, ShadeColor(h, depth, n, style, base));
    }
}

// The letter gradient of each picture pixel: the colour of the box's logical row or column
// the pixel lies in.
void LayGradientLetters(QImage& picture, const TLetterMask& mask, const QTransform& transform,
                        const THeadlineText& h, const QRect& r) {
    const bool vertical = h.GraduateStyle == gsVertical;
    const int n = vertical ? r.height() : r.width();
    std::vector<QRgb> colors(size_t(std::max(n, 1)));
    for (int i = 0; i < n; ++i)
        colors[size_t(i)] = Blend(h.GraduateFromColor, h.GraduateToColor, i, n).rgba();
    const double scale = vertical ? transform.m22() : transform.m11();
    const double start = (vertical ? transform.dy() + r.top() * scale
                                   : transform.dx() + r.left() * scale);
    mask.Lay(picture, QPoint(), [&](int x, int y) {
        const int i = int(std::floor(((vertical ? y : x) + 0.5 - start) / scale));
        return colors[size_t(std::clamp(i, 0, std::max(n - 1, 0)))];
    });
}

// The screen drawing made on a picture of the box's device pixels: the letter outlines are
// filled once into a mask and every shade copy and the letters are laid through it.
void RenderOnPicture(QImage& picture, const QTransform& transform, const THeadlineText& h,
                     const TCanvas& canvas, const QRect& r, QPainter::RenderHints hints) {
    QPainter painter(&picture);
    painter.setRenderHints(hints);
    painter.setWorldTransform(transform);
    TCanvas pictureCanvas(painter, canvas.DpiX(), canvas.DpiY(), TCanvas::TKind::Screen);
    const TLetterLayout l = LayOutLetters(h, pictureCanvas, r);
    painter.setClipRect(r);
    DrawBackground(painter, h, r);
    painter.end();
    const TLetterMask mask = LetterMaskOf(h, l, r, picture.size(), transform, hints);
    LayShade(picture, mask, transform, h, l.ShadowDepth, l.ShadowStep, h.ShadowStyle,
             h.ShadowColor);
    LayShade(picture, mask, transform, h, l.HighlightDepth, l.HighlightStep, h.HighlightStyle,
             h.HighlightColor);
    if (!h.Texture && h.GraduateStyle != gsNone)
        LayGradientLetters(picture, mask, transform, h, r);
    else if (!h.Texture)
        mask.Lay(picture, QPoint(), ColorFromRef(h.Font.Color));
    painter.begin(&picture);
    painter.setRenderHints(hints);
    painter.setWorldTransform(transform);
    painter.setClipRect(r);
    painter.setFont(l.Font);
    painter.setBackgroundMode(Qt::TransparentMode);
    if (h.Texture) DrawFilledLetters(painter, h, l, r);
    DrawBorder(painter, h, l, r);
}

} // namespace

QSize THeadlineText::ComputeBox() {
    const TShadeExtent shades =
        ShadeExtent(Step(HighlightDirection) * HighlightDepth, Step(ShadowDirection) * ShadowDepth);
    const QFontMetrics metrics(Font.ToQFont(ScreenPixelsPerInch()));
    int width = 0;
    int measured = 0;
    for (const QString& line : Lines) {
        if (DeleteBlankLines && line.isEmpty()) continue;
        width = std::max(width, LineWidth(metrics, line));
        ++measured;
    }
    LineHeight = measured > 0 ? metrics.height() : 0;
    BoxWidth = width;
    const int w = width + shades.Width() + 2 * FBorderSize;
    const int h = measured * LineHeight + shades.Height() + 2 * FBorderSize;
    FBox = (TextDirection == tdDown || TextDirection == tdUp) ? QSize(h, w) : QSize(w, h);
    return FBox;
}

QString THeadlineText::TextureName(const QString& chosenPath) {
    const QFileInfo file(chosenPath);
    if (chosenPath.isEmpty() || !chosenPath.contains(QLatin1Char('/'))) return chosenPath;
    const QString textures = AppContext().TexturesFolder;
    if (!textures.isEmpty() &&
        QDir::cleanPath(file.absolutePath())
                .compare(QDir::cleanPath(textures), Qt::CaseInsensitive) == 0)
        return file.fileName();
    return chosenPath;
}

QImage THeadlineText::TexturePicture(const QString& name) {
    if (name.isEmpty()) return {};
    const QString path =
        name.contains(QLatin1Char('/')) ? name : QDir(AppContext().TexturesFolder).filePath(name);
    return ProgramTextureCache().Picture(path);
}

QByteArray THeadlineText::AppearanceKey() const {
    QByteArray key;
    QDataStream out(&key, QIODevice::WriteOnly);
    out << Font.Name << Font.Size << Font.Color << Font.StyleBits() << quint8(Alignment) << Color
        << BackStyle << BackFromColor << BackToColor << BackDirection << BackTextureFile
        << BorderColor << FBorderSize << DeleteBlankLines << GraduateFromColor << GraduateToColor
        << GraduateStyle << Texture << TextureFile << ShadowColor << ShadowDepth << ShadowDirection
        << ShadowStyle << HighlightColor << HighlightDepth << HighlightDirection << HighlightStyle
        << Lines << LineHeight << ScreenPixelsPerInch();
    // A texture file changed on disk is a new picture: the kept drawing is stale then.
    if (Texture) out << TexturePicture(TextureFile).cacheKey();
    if (BackStyle == basTexture) out << TexturePicture(BackTextureFile).cacheKey();
    return key;
}

// Large letters are filled as outlines, once per shade copy: a deep shadow costs tens of
// milliseconds. The editing surface repaints far more often than headlines change, so the
// screen drawing is kept as a picture and redrawn from it while nothing it depends on changed.
void THeadlineText::DrawInto(TCanvas& canvas, const QRect& r, bool printing) {
    QPainter& painter = canvas.Painter();
    const QTransform t = painter.worldTransform();
    const bool cacheable = !printing && canvas.Kind() == TCanvas::TKind::Screen &&
                           t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0;
    const QRectF mapped = t.mapRect(QRectF(r));
    const QRect device = mapped.toAlignedRect();
    constexpr qint64 LargestKeptPicture = 8'000'000; // pixels
    if (!cacheable || r.isEmpty() ||
        qint64(device.width()) * device.height() > LargestKeptPicture) {
        Render(canvas, r);
        return;
    }
    QByteArray key = AppearanceKey();
    {
        QDataStream out(&key, QIODevice::Append);
        out << r.size() << t.m11() << t.m22() << mapped.topLeft() - QPointF(device.topLeft())
            << canvas.DpiX() << canvas.DpiY();
    }
    if (key != FRenderedKey || FRendered.size() != device.size()) {
        FRendered = QImage(device.size(), QImage::Format_ARGB32_Premultiplied);
        FRendered.fill(Qt::transparent);
        // The same mapping as the surface's, moved so the box lands at the picture's corner.
        const QTransform toPicture(t.m11(), 0, 0, t.m22(), t.dx() - device.left(),
                                   t.dy() - device.top());
        RenderOnPicture(FRendered, toPicture, *this, canvas, r, painter.renderHints());
        FRenderedKey = std::move(key);
    }
    painter.save();
    painter.resetTransform();
    painter.drawImage(device.topLeft(), FRendered);
    painter.restore();
}

// Background, shadow, highlight, letters, border: each over the one before.
void THeadlineText::Render(TCanvas& canvas, const QRect& r) const {
    QPainter& painter = canvas.Painter();
    const TLetterLayout layout = LayOutLetters(*this, canvas, r);
    painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    painter.setFont(layout.Font);
    painter.setBackgroundMode(Qt::TransparentMode);
    DrawBackground(painter, *this, r);
    DrawShade(painter, *this, layout, r, layout.ShadowDepth, layout.ShadowStep, ShadowStyle,
              ShadowColor);
    DrawShade(painter, *this, layout, r, layout.HighlightDepth, layout.HighlightStep,
              HighlightStyle, HighlightColor);
    DrawLetters(painter, *this, layout, r);
    DrawBorder(painter, *this, layout, r);
    painter.restore();
}
