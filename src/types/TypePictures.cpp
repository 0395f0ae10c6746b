#include "types/TypePictures.h"

#include "types/CardType.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

const QColor Ink(70, 70, 70);
const QColor TextGrey(150, 150, 150);
const QColor Accent(58, 111, 176);
const QColor AccentLight(205, 222, 243);
const QColor Red(192, 57, 43);
const QColor Gold(212, 160, 23);
const QColor Green(76, 154, 42);
const QColor Sky(170, 205, 235);
const QColor Cream(253, 248, 230);
const QColor Shade(222, 222, 222);

QPixmap NewPicture() {
    QPixmap picture(TypePictureSize, TypePictureSize);
    picture.fill(Qt::transparent);
    return picture;
}

// A sheet of paper with a soft shadow.
void DrawSheet(QPainter& p, const QRectF& r, const QColor& fill = Qt::white) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRect(r.translated(2, 2));
    p.setBrush(fill);
    p.setPen(QPen(Ink, 1));
    p.drawRect(r);
    p.restore();
}

// Lines of text, left-aligned (or centred), of varied lengths, every step pixels.
void DrawTextLines(QPainter& p, const QRectF& area, qreal step, bool centred = false,
                   const QColor& colour = TextGrey) {
    static constexpr std::array<qreal, 7> Lengths = {1.0, 0.9, 0.95, 0.7, 1.0, 0.85, 0.6};
    p.save();
    p.setPen(QPen(colour, 1.5, Qt::SolidLine, Qt::RoundCap));
    int i = 0;
    for (qreal y = area.top(); y <= area.bottom() + 0.01; y += step, ++i) {
        const qreal length = area.width() * Lengths[size_t(i) % Lengths.size()];
        const qreal left = centred ? area.center().x() - length / 2 : area.left();
        p.drawLine(QPointF(left, y), QPointF(left + length, y));
    }
    p.restore();
}

void DrawHeart(QPainter& p, QPointF c, qreal size, const QColor& colour) {
    const qreal s = size / 2;
    QPainterPath path;
    path.moveTo(c.x(), c.y() + s);
    path.cubicTo(c.x() - 2 * s, c.y() - 0.2 * s, c.x() - 0.9 * s, c.y() - 1.5 * s, c.x(),
                 c.y() - 0.5 * s);
    path.cubicTo(c.x() + 0.9 * s, c.y() - 1.5 * s, c.x() + 2 * s, c.y() - 0.2 * s, c.x(),
                 c.y() + s);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
    p.restore();
}

void DrawStar(QPainter& p, QPointF c, qreal outer, qreal inner, int points, const QColor& colour) {
    QPolygonF star;
    for (int i = 0; i < 2 * points; ++i) {
        const qreal angle = std::numbers::pi * i / points - std::numbers::pi / 2;
        const qreal r = i % 2 == 0 ? outer : inner;
        star << QPointF(c.x() + r * std::cos(angle), c.y() + r * std::sin(angle));
    }
    p.save();
    p.setPen(QPen(colour.darker(130), 1));
    p.setBrush(colour);
    p.drawPolygon(star);
    p.restore();
}

// A round seal with two ribbons below it.
void DrawSeal(QPainter& p, QPointF c, qreal r) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawPolygon(QPolygonF({c + QPointF(-r * 0.7, 0), c + QPointF(-r * 0.1, 0),
                             c + QPointF(-r * 0.4, r * 1.9), c + QPointF(-r * 0.8, r * 1.6)}));
    p.drawPolygon(QPolygonF({c + QPointF(r * 0.1, 0), c + QPointF(r * 0.7, 0),
                             c + QPointF(r * 0.8, r * 1.6), c + QPointF(r * 0.4, r * 1.9)}));
    p.restore();
    DrawStar(p, c, r, r * 0.82, 12, Gold);
    p.save();
    p.setPen(QPen(Red, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.55, r * 0.55);
    p.restore();
}

// A photograph: sky, sun and hills.
void DrawScene(QPainter& p, const QRectF& r) {
    p.save();
    p.setClipRect(r);
    p.fillRect(r, Sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 60));
    const qreal sun = std::min(r.width(), r.height()) * 0.14;
    p.drawEllipse(QPointF(r.right() - r.width() * 0.22, r.top() + r.height() * 0.28), sun, sun);
    p.setBrush(Green);
    p.drawPolygon(QPolygonF(
        {QPointF(r.left(), r.bottom()), QPointF(r.left(), r.top() + r.height() * 0.65),
         QPointF(r.left() + r.width() * 0.35, r.top() + r.height() * 0.35),
         QPointF(r.left() + r.width() * 0.62, r.top() + r.height() * 0.7),
         QPointF(r.left() + r.width() * 0.8, r.top() + r.height() * 0.55),
         QPointF(r.right(), r.top() + r.height() * 0.75), QPointF(r.right(), r.bottom())}));
    p.restore();
    p.save();
    p.setPen(QPen(Ink, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    p.restore();
}

void DrawDoubleBorder(QPainter& p, const QRectF& sheet, qreal inset) {
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Gold, 2));
    p.drawRect(sheet.adjusted(inset, inset, -inset, -inset));
    p.setPen(QPen(Gold, 0.8));
    p.drawRect(sheet.adjusted(inset + 2.5, inset + 2.5, -inset - 2.5, -inset - 2.5));
    p.restore();
}

void DrawCertificate(QPainter& p, const QRectF& sheet) {
    DrawSheet(p, sheet, Cream);
    const qreal inset = std::min(sheet.width(), sheet.height()) * 0.06;
    DrawDoubleBorder(p, sheet, inset);
    const QPointF c = sheet.center();
    const qreal w = sheet.width();
    const qreal h = sheet.height();
    p.fillRect(QRectF(c.x() - w * 0.25, sheet.top() + h * 0.2, w * 0.5, h * 0.07), Ink);
    DrawTextLines(p, QRectF(c.x() - w * 0.3, sheet.top() + h * 0.4, w * 0.6, h * 0.2), h * 0.08,
                  true);
    p.save();
    p.setPen(QPen(Ink, 1));
    p.drawLine(QPointF(sheet.left() + w * 0.14, sheet.top() + h * 0.8),
               QPointF(sheet.left() + w * 0.45, sheet.top() + h * 0.8));
    p.restore();
    const qreal r = std::min(w, h) * 0.11;
    DrawSeal(p, QPointF(sheet.right() - w * 0.24, sheet.top() + h * 0.72), r);
}

void DrawEnvelope(QPainter& p, const QRectF& r) {
    DrawSheet(p, r, QColor(250, 246, 235));
    p.save();
    p.setPen(QPen(Shade.darker(110), 1));
    p.drawLine(r.topLeft(), QPointF(r.center().x(), r.top() + r.height() * 0.55));
    p.drawLine(r.topRight(), QPointF(r.center().x(), r.top() + r.height() * 0.55));
    p.restore();
    const qreal w = r.width();
    const qreal h = r.height();
    const QRectF stamp(r.right() - w * 0.17, r.top() + h * 0.1, w * 0.12, h * 0.26);
    p.fillRect(stamp, Red);
    p.save();
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(stamp.adjusted(1.5, 1.5, -1.5, -1.5));
    p.restore();
    DrawTextLines(p, QRectF(r.left() + w * 0.06, r.top() + h * 0.14, w * 0.26, h * 0.16), h * 0.08);
    DrawTextLines(p, QRectF(r.left() + w * 0.38, r.top() + h * 0.55, w * 0.34, h * 0.3), h * 0.12,
                  false, Ink);
}

// Document type pictures.

const QRectF PortraitSheet(18, 6, 60, 84);

void DrawGreetingCard(QPainter& p) {
    const QPolygonF back({QPointF(40, 12), QPointF(18, 20), QPointF(18, 90), QPointF(40, 84)});
    p.save();
    p.setPen(QPen(Ink, 1));
    p.setBrush(Shade);
    p.drawPolygon(back);
    p.restore();
    DrawSheet(p, QRectF(40, 12, 42, 72));
    p.save();
    p.setPen(QPen(Ink, 2));
    p.drawLine(QPointF(40, 12), QPointF(40, 84));
    p.restore();
    DrawHeart(p, QPointF(61, 40), 22, Red);
    DrawTextLines(p, QRectF(48, 62, 26, 12), 6, true);
}

void DrawNewsletter(QPainter& p) {
    DrawSheet(p, PortraitSheet);
    p.fillRect(QRectF(22, 10, 52, 9), Accent);
    p.save();
    p.setPen(QPen(Ink, 1));
    p.drawLine(QPointF(22, 22.5), QPointF(74, 22.5));
    p.restore();
    DrawScene(p, QRectF(22, 26, 15, 13));
    DrawTextLines(p, QRectF(22, 43, 15, 42), 4);
    p.fillRect(QRectF(40.5, 26, 15, 3), Ink);
    DrawTextLines(p, QRectF(40.5, 33, 15, 52), 4);
    DrawTextLines(p, QRectF(59, 26, 15, 59), 4);
}

void DrawFlyer(QPainter& p) {
    DrawSheet(p, PortraitSheet);
    p.fillRect(QRectF(24, 12, 48, 8), Red);
    p.fillRect(QRectF(31, 23, 34, 4), Ink);
    DrawStar(p, QPointF(48, 49), 17, 11, 12, QColor(250, 205, 50));
    DrawTextLines(p, QRectF(28, 72, 40, 12), 4, true);
}

void DrawLetterhead(QPainter& p) {
    DrawSheet(p, PortraitSheet);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawEllipse(QPointF(29, 17), 6, 6);
    p.restore();
    p.fillRect(QRectF(38, 12, 32, 5), Ink);
    DrawTextLines(p, QRectF(38, 20.5, 26, 2), 4);
    p.save();
    p.setPen(QPen(Accent, 1.5));
    p.drawLine(QPointF(22, 28), QPointF(74, 28));
    p.restore();
    DrawTextLines(p, QRectF(24, 36, 48, 36), 5);
    DrawTextLines(p, QRectF(36, 85, 24, 1), 4, true);
}

void DrawResume(QPainter& p) {
    DrawSheet(p, PortraitSheet);
    p.fillRect(QRectF(24, 11, 30, 6), Accent.darker(120));
    DrawTextLines(p, QRectF(24, 21, 36, 1), 4);
    for (qreal y : {29.0, 50.0, 70.0}) {
        p.fillRect(QRectF(24, y, 16, 3), Accent);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        for (int i = 1; i <= 3; ++i)
            p.drawEllipse(QPointF(27, y + 2 + 5 * i), 1.2, 1.2);
        p.restore();
        DrawTextLines(p, QRectF(31, y + 7, 41, 10), 5);
    }
}

void DrawBrochure(QPainter& p) {
    const std::array<qreal, 4> x = {12, 36, 60, 84};
    const std::array<qreal, 4> top = {14, 22, 14, 22};
    const std::array<QColor, 3> fill = {QColor(Qt::white), QColor(235, 235, 235),
                                        QColor(Qt::white)};
    for (size_t i = 0; i < 3; ++i) {
        const QPolygonF panel({QPointF(x[i], top[i]), QPointF(x[i + 1], top[i + 1]),
                               QPointF(x[i + 1], top[i + 1] + 62), QPointF(x[i], top[i] + 62)});
        p.save();
        p.setPen(QPen(Ink, 1));
        p.setBrush(fill[i]);
        p.drawPolygon(panel);
        // Text lines follow the slant of the panel.
        const qreal slope = (top[i + 1] - top[i]) / (x[i + 1] - x[i]);
        p.setPen(QPen(i == 0 ? Accent : TextGrey, 1.5, Qt::SolidLine, Qt::RoundCap));
        const qreal first = i == 0 ? 40 : 12;
        for (qreal y = first; y <= 56; y += 5) {
            const qreal left = x[i] + 4;
            const qreal right = x[i + 1] - (y == first ? 8 : 4);
            p.drawLine(QPointF(left, top[i] + y + slope * 4),
                       QPointF(right, top[i] + y + slope * (right - x[i])));
        }
        p.restore();
    }
    DrawScene(p, QRectF(16, 22, 16, 13));
}

void DrawPoster(QPainter& p) {
    DrawSheet(p, QRectF(16, 4, 64, 88));
    DrawScene(p, QRectF(20, 8, 56, 50));
    p.fillRect(QRectF(22, 63, 52, 9), Red);
    DrawTextLines(p, QRectF(28, 78, 40, 8), 4, true);
}

void DrawBusinessCard(QPainter& p) {
    DrawSheet(p, QRectF(30, 20, 56, 32));
    DrawTextLines(p, QRectF(36, 27, 30, 8), 4);
    const QRectF front(10, 44, 56, 32);
    DrawSheet(p, front);
    p.fillRect(QRectF(14, 48, 10, 10), Accent);
    p.fillRect(QRectF(28, 49, 30, 4), Ink);
    DrawTextLines(p, QRectF(28, 59, 28, 12), 4);
}

void DrawLabelSheet(QPainter& p) {
    DrawSheet(p, PortraitSheet);
    p.save();
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 2; ++column) {
            const QRectF label(22 + column * 27, 11 + row * 13, 25, 11);
            p.setPen(QPen(Accent, 1));
            p.setBrush(AccentLight);
            p.drawRoundedRect(label, 2.5, 2.5);
            DrawTextLines(p, QRectF(label.left() + 3, label.top() + 3.5, 16, 4), 4, false, Ink);
        }
    p.restore();
}

void DrawEnvelopePicture(QPainter& p) {
    DrawEnvelope(p, QRectF(8, 24, 80, 48));
}

void DrawBannerStrip(QPainter& p, const QRectF& strip, int sheets) {
    DrawSheet(p, strip);
    p.save();
    p.setPen(QPen(TextGrey, 1, Qt::DashLine));
    for (int i = 1; i < sheets; ++i) {
        const qreal x = strip.left() + strip.width() * i / sheets;
        p.drawLine(QPointF(x, strip.top()), QPointF(x, strip.bottom()));
    }
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(int(strip.height() * 0.62));
    p.setFont(font);
    p.setPen(Red);
    p.drawText(strip, Qt::AlignCenter, QStringLiteral("HELLO"));
    p.restore();
}

void DrawBanner(QPainter& p) {
    DrawBannerStrip(p, QRectF(4, 34, 88, 28), 3);
}

void DrawForm(QPainter& p) {
    DrawSheet(p, PortraitSheet);
    p.fillRect(QRectF(24, 11, 48, 5), Ink);
    p.save();
    for (qreal y = 22; y <= 62; y += 10) {
        p.setPen(QPen(TextGrey, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(24, y + 4), QPointF(33, y + 4));
        p.setPen(QPen(Accent, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(36, y, 37, 7));
    }
    for (qreal y : {73.0, 81.0}) {
        p.setPen(QPen(Accent, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(24, y, 5, 5));
        p.setPen(QPen(TextGrey, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(33, y + 2.5), QPointF(58, y + 2.5));
    }
    p.setPen(QPen(Red, 1.5));
    p.drawPolyline(QPolygonF({QPointF(24.5, 75), QPointF(26.5, 77.5), QPointF(30, 71.5)}));
    p.restore();
}

void DrawPhotoPaper(QPainter& p) {
    DrawSheet(p, PortraitSheet);
    for (qreal y : {11.0, 49.0}) {
        const QRectF photo(23, y, 50, 36);
        DrawScene(p, photo);
        p.save();
        p.setPen(QPen(TextGrey, 0.8, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(photo.adjusted(-2, -1.5, 2, 1.5));
        p.restore();
    }
}

void DrawCertificateLandscape(QPainter& p) {
    DrawCertificate(p, QRectF(6, 18, 84, 60));
}

void DrawCertificatePortrait(QPainter& p) {
    DrawCertificate(p, PortraitSheet);
}

// Card format pictures, drawn to the scale of the sheet.

// Maps 1/100 inch on a sheet of the given size into the picture, centred with a margin.
class TSheetScale {
public:
    explicit TSheetScale(QSizeF units, qreal margin = 8) {
        const qreal room = TypePictureSize - 2 * margin;
        FScale = std::min(room / units.width(), room / units.height());
        FOrigin = QPointF((TypePictureSize - units.width() * FScale) / 2,
                          (TypePictureSize - units.height() * FScale) / 2);
        FSheet = Map(QRectF(QPointF(0, 0), units));
    }
    QRectF Map(const QRectF& units) const {
        return QRectF(FOrigin + units.topLeft() * FScale, units.size() * FScale);
    }
    const QRectF& Sheet() const { return FSheet; }

private:
    qreal FScale = 1;
    QPointF FOrigin;
    QRectF FSheet;
};

// The panels printed on the first side of the sheet with the fold lines between them; the front
// cover is marked, and a panel printed turned shows its contents upside down.
void DrawFolded(QPainter& p, int cardFormat) {
    const TCardFormatInfo* info = CardFormatInfo(cardFormat);
    TSheetGeometry geometry;
    const bool portrait = ComputeSheetGeometry(cardFormat, geometry);
    const QSize paper = PaperSize(portrait, false);
    const TSheetScale scale(paper);
    DrawSheet(p, scale.Sheet());
    const std::vector<TPanelGeometry> panels =
        PanelLayout(cardFormat, portrait, geometry, paper, TPrinterMargins{});
    for (size_t i = 0; i < panels.size(); ++i) {
        const TPanelGeometry& panel = panels[i];
        if (panel.Side != 0) continue;
        const QRectF r = scale.Map(QRectF(panel.SheetX, panel.SheetY, panel.Width, panel.Height));
        p.save();
        p.translate(r.center());
        if (panel.Turned) p.rotate(180);
        const QRectF local(-r.width() / 2, -r.height() / 2, r.width(), r.height());
        const qreal size = std::min(r.width(), r.height());
        if (i == 0) {
            p.fillRect(local.adjusted(1, 1, -1, -1), AccentLight);
            DrawHeart(p, QPointF(0, -size * 0.08), size * 0.42, Red);
            DrawTextLines(p, QRectF(-size * 0.25, size * 0.22, size * 0.5, 1), 4, true, Accent);
        } else if (int(i) == info->Panels - 1) {
            // The back cover: a small mark at its foot.
            p.fillRect(QRectF(-size * 0.1, local.bottom() - size * 0.3, size * 0.2, size * 0.08),
                       TextGrey);
        } else {
            DrawTextLines(p, local.adjusted(size * 0.2, size * 0.2, -size * 0.2, -size * 0.25),
                          4.5);
        }
        p.restore();
    }
    p.save();
    p.setPen(QPen(Ink, 1, Qt::DashLine));
    for (const TPanelGeometry& panel : panels) {
        if (panel.Side != 0) continue;
        const QRectF r = scale.Map(QRectF(panel.SheetX, panel.SheetY, panel.Width, panel.Height));
        if (r.left() > scale.Sheet().left() + 0.5) p.drawLine(r.topLeft(), r.bottomLeft());
        if (r.top() > scale.Sheet().top() + 0.5) p.drawLine(r.topLeft(), r.topRight());
    }
    p.restore();
}

void DrawCellGrid(QPainter& p, const TSheetGeometry& g, bool rounded) {
    const TSheetScale scale(PaperSize(true, false));
    DrawSheet(p, scale.Sheet());
    p.save();
    p.setPen(QPen(Accent, 1));
    p.setBrush(AccentLight);
    for (int row = 0; row < g.NumDown; ++row)
        for (int column = 0; column < g.NumAcross; ++column) {
            const QRectF cell = scale.Map(QRectF(g.SpacingLeft + column * g.SpacingWidth,
                                                 g.SpacingTop + row * g.SpacingHeight, g.LabelWidth,
                                                 g.LabelHeight));
            if (rounded)
                p.drawRoundedRect(cell.adjusted(0.5, 0.5, -0.5, -0.5), 1.5, 1.5);
            else
                p.drawRect(cell);
            p.fillRect(QRectF(cell.left() + 2, cell.top() + 2, 3, 3), Accent);
        }
    p.restore();
}

void DrawBusinessCards(QPainter& p, int cardFormat) {
    TSheetGeometry geometry;
    ComputeSheetGeometry(cardFormat, geometry);
    DrawCellGrid(p, geometry, false);
}

void DrawLabels(QPainter& p) {
    TSheetGeometry geometry;
    geometry.SpacingLeft = 30;
    geometry.SpacingTop = 55;
    geometry.LabelWidth = 250;
    geometry.LabelHeight = 90;
    geometry.SpacingWidth = 275;
    geometry.SpacingHeight = 100;
    geometry.NumAcross = 3;
    geometry.NumDown = 10;
    DrawCellGrid(p, geometry, true);
}

void DrawPosterSheets(QPainter& p) {
    const QSize sheet = PaperSize(true, false);
    const TSheetScale scale(QSizeF(2 * sheet.width(), 2 * sheet.height()));
    DrawSheet(p, scale.Sheet());
    DrawScene(p, scale.Sheet().adjusted(4, 4, -4, -4));
    p.save();
    p.setPen(QPen(Qt::white, 1.5, Qt::DashLine));
    const QPointF c = scale.Sheet().center();
    p.drawLine(QPointF(c.x(), scale.Sheet().top()), QPointF(c.x(), scale.Sheet().bottom()));
    p.drawLine(QPointF(scale.Sheet().left(), c.y()), QPointF(scale.Sheet().right(), c.y()));
    p.restore();
}

void DrawBannerSheets(QPainter& p) {
    const QSize sheet = PaperSize(true, false);
    const TSheetScale scale(QSizeF(3 * sheet.width(), sheet.height()), 4);
    DrawBannerStrip(p, scale.Sheet(), 3);
}

void DrawFormatCertificate(QPainter& p, bool portrait) {
    DrawCertificate(p, TSheetScale(PaperSize(portrait, false)).Sheet());
}

void DrawFormatEnvelope(QPainter& p) {
    DrawEnvelope(p, TSheetScale(QSizeF(950, 413), 6).Sheet());
}

using TDraw = std::function<void(QPainter&)>;

QPixmap Render(const TDraw& draw) {
    QPixmap picture = NewPicture();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return picture;
}

TDraw DocumentTypeArtwork(const QString& name) {
    static const QHash<QString, void (*)(QPainter&)> artwork = {
        {QStringLiteral("ctGreetingCard"), DrawGreetingCard},
        {QStringLiteral("ctNewsletter"), DrawNewsletter},
        {QStringLiteral("ctFlyer"), DrawFlyer},
        {QStringLiteral("ctCertificateL"), DrawCertificateLandscape},
        {QStringLiteral("ctCertificateP"), DrawCertificatePortrait},
        {QStringLiteral("ctLetterhead"), DrawLetterhead},
        {QStringLiteral("ctResume"), DrawResume},
        {QStringLiteral("ctBrochure"), DrawBrochure},
        {QStringLiteral("ctPoster"), DrawPoster},
        {QStringLiteral("ctBusinessCard"), DrawBusinessCard},
        {QStringLiteral("ctLabel"), DrawLabelSheet},
        {QStringLiteral("ctEnvelope"), DrawEnvelopePicture},
        {QStringLiteral("ctBanner"), DrawBanner},
        {QStringLiteral("ctForm"), DrawForm},
        {QStringLiteral("ctPicture"), DrawPhotoPaper},
    };
    const auto found = artwork.constFind(name);
    return found == artwork.constEnd() ? TDraw() : TDraw(*found);
}

TDraw CardFormatArtwork(const QString& key) {
    if (key == QLatin1String("Vert")) return [](QPainter& p) { DrawFolded(p, 0); };
    if (key == QLatin1String("Horz")) return [](QPainter& p) { DrawFolded(p, 1); };
    if (key == QLatin1String("TVert")) return [](QPainter& p) { DrawFolded(p, 2); };
    if (key == QLatin1String("THorz")) return [](QPainter& p) { DrawFolded(p, 3); };
    if (key == QLatin1String("QVert")) return [](QPainter& p) { DrawFolded(p, 4); };
    if (key == QLatin1String("QHorz")) return [](QPainter& p) { DrawFolded(p, 5); };
    if (key == QLatin1String("CHorz")) return [](QPainter& p) { DrawFormatCertificate(p, false); };
    if (key == QLatin1String("CVert")) return [](QPainter& p) { DrawFormatCertificate(p, true); };
    if (key == QLatin1String("Poster")) return DrawPosterSheets;
    if (key == QLatin1String("Bus")) return [](QPainter& p) { DrawBusinessCards(p, 9); };
    if (key == QLatin1String("BusS")) return [](QPainter& p) { DrawBusinessCards(p, 10); };
    if (key == QLatin1String("BusS8")) return [](QPainter& p) { DrawBusinessCards(p, 11); };
    if (key == QLatin1String("Lab")) return DrawLabels;
    if (key == QLatin1String("Ban")) return DrawBannerSheets;
    if (key == QLatin1String("Env")) return DrawFormatEnvelope;
    return TDraw();
}

// The label type pictures: a label of the kind, drawn over a sheet of small labels.
void DrawLabelKind(QPainter& p, const QString& name) {
    DrawSheet(p, QRectF(14, 8, 54, 72));
    p.save();
    p.setPen(QPen(Shade, 1));
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 2; ++c)
            p.drawRoundedRect(QRectF(18 + c * 24, 12 + r * 11, 22, 9), 1.5, 1.5);
    p.restore();
    const QRectF front(34, 40, 52, 40);
    p.save();
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(Qt::white);
    if (name == QLatin1String("bmENVLADDR") || name == QLatin1String("bmENVLRET")) {
        p.drawRect(front);
        p.drawLine(front.topLeft(), front.center());
        p.drawLine(front.topRight(), front.center());
        p.setBrush(name == QLatin1String("bmENVLRET") ? Red : Accent);
        p.setPen(Qt::NoPen);
        p.drawRect(name == QLatin1String("bmENVLRET") ? QRectF(38, 44, 16, 6) : QRectF(52, 62, 26, 8));
    } else if (name == QLatin1String("bmSHIPPING")) {
        p.setBrush(QColor(205, 170, 125));
        p.drawRect(front);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(44, 48, 32, 20));
        DrawTextLines(p, QRectF(48, 53, 24, 12), 5);
    } else if (name == QLatin1String("bmATAPE") || name == QLatin1String("bmVTAPE")) {
        p.setBrush(QColor(60, 60, 60));
        p.drawRoundedRect(front, 3, 3);
        p.setBrush(name == QLatin1String("bmATAPE") ? Gold : Sky);
        p.drawRect(QRectF(40, 44, 40, 12));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(50, 68), 5, 5);
        p.drawEllipse(QPointF(70, 68), 5, 5);
    } else if (name == QLatin1String("bmCOMPUTER")) {
        p.setBrush(Accent);
        p.drawRect(QRectF(40, 36, 44, 44));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(46, 36, 30, 16));
        p.drawRect(QRectF(46, 58, 32, 22));
    } else if (name == QLatin1String("bmIDCARD")) {
        p.drawRoundedRect(front, 4, 4);
        p.setBrush(AccentLight);
        p.drawEllipse(QRectF(40, 48, 16, 20));
        DrawTextLines(p, QRectF(60, 52, 20, 14), 6);
    } else if (name == QLatin1String("bmBUSCARD") || name == QLatin1String("bmPOSTCARD")) {
        p.drawRect(front);
        DrawTextLines(p, QRectF(40, 48, 40, 24), 6, name == QLatin1String("bmBUSCARD"));
        if (name == QLatin1String("bmPOSTCARD")) {
            p.setBrush(Red);
            p.drawRect(QRectF(74, 44, 8, 9));
        }
    } else if (name == QLatin1String("bmFOLDER")) {
        p.setBrush(Gold);
        QPainterPath folder;
        folder.moveTo(34, 46);
        folder.lineTo(50, 46);
        folder.lineTo(54, 42);
        folder.lineTo(86, 42);
        folder.lineTo(86, 80);
        folder.lineTo(34, 80);
        folder.closeSubpath();
        p.drawPath(folder);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(40, 52, 40, 8));
    } else if (name == QLatin1String("bmROTARY")) {
        p.drawRect(QRectF(36, 42, 48, 32));
        p.setBrush(Ink);
        p.drawEllipse(QPointF(54, 74), 3, 3);
        p.drawEllipse(QPointF(66, 74), 3, 3);
        DrawTextLines(p, QRectF(42, 50, 36, 14), 6);
    } else if (name == QLatin1String("bmIDXCARD") || name == QLatin1String("bmINVEN")) {
        p.drawRect(front);
        p.setPen(QPen(name == QLatin1String("bmIDXCARD") ? Red : Accent, 1));
        p.drawLine(QPointF(36, 48), QPointF(84, 48));
        DrawTextLines(p, QRectF(40, 55, 40, 20), 6);
    } else if (name == QLatin1String("bmTENTCARD")) {
        QPolygonF tent;
        tent << QPointF(60, 38) << QPointF(86, 80) << QPointF(34, 80);
        p.setBrush(AccentLight);
        p.drawPolygon(tent);
        DrawTextLines(p, QRectF(48, 64, 24, 10), 5, true, Ink);
    } else {
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c)
                p.drawRoundedRect(QRectF(36 + c * 25, 42 + r * 19, 23, 17), 2, 2);
    }
    p.restore();
}

TDraw LabelKindArtwork(const QString& name) {
    static const QStringList known = {
        QStringLiteral("bmENVLADDR"), QStringLiteral("bmENVLRET"), QStringLiteral("bmSHIPPING"),
        QStringLiteral("bmATAPE"),    QStringLiteral("bmCOMPUTER"), QStringLiteral("bmVTAPE"),
        QStringLiteral("bmIDCARD"),   QStringLiteral("bmBUSCARD"),  QStringLiteral("bmFOLDER"),
        QStringLiteral("bmINVEN"),    QStringLiteral("bmROTARY"),   QStringLiteral("bmALLTYPE"),
        QStringLiteral("bmIDXCARD"),  QStringLiteral("bmPOSTCARD"), QStringLiteral("bmTENTCARD")};
    if (!known.contains(name)) return TDraw();
    return [name](QPainter& p) { DrawLabelKind(p, name); };
}

QPixmap Cached(QHash<QString, QPixmap>& cache, const QString& name,
               const std::function<TDraw(const QString&)>& artwork) {
    const auto found = cache.constFind(name);
    if (found != cache.constEnd()) return *found;
    const TDraw draw = artwork(name);
    if (!draw) return QPixmap();
    const QPixmap picture = Render(draw);
    cache.insert(name, picture);
    return picture;
}

} // namespace

QPixmap DocumentTypePicture(const QString& resourceName) {
    static QHash<QString, QPixmap> cache;
    return Cached(cache, resourceName, DocumentTypeArtwork);
}

QPixmap CardFormatPicture(const QString& key) {
    static QHash<QString, QPixmap> cache;
    return Cached(cache, key, CardFormatArtwork);
}

QPixmap CardFormatPicture(int cardFormat) {
    const TCardFormatInfo* info = CardFormatInfo(cardFormat);
    return info ? CardFormatPicture(QString::fromLatin1(info->Key)) : QPixmap();
}

QPixmap LabelTypePicture(const QString& resourceName) {
    static QHash<QString, QPixmap> cache;
    return Cached(cache, resourceName, LabelKindArtwork);
}
