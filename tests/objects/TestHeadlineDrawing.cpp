// Headlines with every effect at once, drawn on the screen, into a picture and for a printer,
// compared pixel for pixel with reference pictures. Set QDX_WRITE_REFERENCE_IMAGES to a folder
// to write the drawings there instead (to renew the references after a wanted change).

#include "document/Canvas.h"
#include "document/Units.h"
#include "objects/Headline.h"
#include "support/DocumentFixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace {

const QString References = QStringLiteral(QDX_TEST_DATA "/headlines/");

// Every letter fill, background, shade style, a border and a blank line.
THeadlineText EveryEffect() {
    THeadlineText h;
    h.Font = {QStringLiteral("DejaVu Sans"), 28, 0x0000C0, true, false, true};
    h.Lines = {QStringLiteral("Grand"), QString(), QStringLiteral("Opening Day")};
    h.Alignment = haCentre;
    h.BackStyle = basGradient;
    h.BackFromColor = 0xF0E0C0;
    h.BackToColor = 0x203040;
    h.BackDirection = 0;
    h.GraduateStyle = gsVertical;
    h.GraduateFromColor = 0x00FFFF;
    h.GraduateToColor = 0xFF00FF;
    h.ShadowStyle = ssGraduated;
    h.ShadowDepth = 6;
    h.ShadowDirection = sdDownRight;
    h.ShadowColor = 0x404040;
    h.HighlightStyle = ssExtrude;
    h.HighlightDepth = 3;
    h.HighlightDirection = sdUpLeft;
    h.HighlightColor = 0xC0FFC0;
    h.BorderColor = 0x008000;
    h.SetBorderSize(4);
    return h;
}

// Textured letters and background, plain shadow, right-aligned, blank lines dropped.
THeadlineText Textured() {
    THeadlineText h = EveryEffect();
    h.Alignment = haRight;
    h.DeleteBlankLines = true;
    h.GraduateStyle = gsNone;
    h.Texture = true;
    h.TextureFile = QStringLiteral("rgb.png");
    h.BackStyle = basTexture;
    h.BackTextureFile = QStringLiteral("grey.png");
    h.ShadowStyle = ssPlain;
    h.ShadowDirection = sdLeft;
    h.HighlightStyle = ssGraduated;
    h.HighlightDirection = sdUp;
    h.SetBorderSize(2);
    return h;
}

// Left-aligned solid background, letters in a horizontal gradient, no border.
THeadlineText Solid() {
    THeadlineText h = EveryEffect();
    h.Alignment = haLeft;
    h.BackStyle = basSolid;
    h.Color = 0xE0FFFF;
    h.GraduateStyle = gsHorizontal;
    h.ShadowDirection = sdDownLeft;
    h.HighlightStyle = ssPlain;
    h.HighlightDirection = sdUpRight;
    h.SetBorderSize(0);
    return h;
}

// The drawing on white, a margin around the box; scale applies the surface's zoom.
QImage Draw(THeadlineText& h, int dpi, TCanvas::TKind kind, bool printing, double scale = 1) {
    h.ComputeBox();
    const QSize box(MulDiv(h.Box().width(), dpi, 96), MulDiv(h.Box().height(), dpi, 96));
    QImage image(QSize(int(box.width() * scale) + 20, int(box.height() * scale) + 20),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    TCanvas canvas(painter, dpi, dpi, kind);
    h.DrawInto(canvas, QRect(QPoint(7, 5), box), printing);
    return image;
}

// "" when equal, else how many pixels differ and the first of them.
std::string Difference(const QImage& drawn, const QImage& reference) {
    if (reference.isNull()) return "no reference picture";
    if (drawn.size() != reference.size())
        return "size " + std::to_string(drawn.width()) + "x" + std::to_string(drawn.height());
    int count = 0;
    QPoint first;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if ((drawn.pixel(x, y) & 0xFFFFFF) != (reference.pixel(x, y) & 0xFFFFFF) &&
                count++ == 0)
                first = {x, y};
    if (count == 0) return "";
    return std::to_string(count) + " pixels, first at " + std::to_string(first.x()) + "," +
           std::to_string(first.y());
}

// "" when nearly every drawn pixel has a colour like one within one pixel of the same place in
// the reference: the zoomed screen drawing moves its shade copies by whole device pixels.
std::string DifferenceBeyondOnePixel(const QImage& drawn, const QImage& reference) {
    // An edge pixel half covered at one place is a blend the other place may not have.
    constexpr int Tolerance = 96;
    auto Close = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= Tolerance &&
               std::abs(qGreen(a) - qGreen(b)) <= Tolerance &&
               std::abs(qBlue(a) - qBlue(b)) <= Tolerance;
    };
    if (reference.isNull()) return "no reference picture";
    if (drawn.size() != reference.size()) return "size differs";
    auto near = [&](int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (reference.rect().contains(x + dx, y + dy) &&
                    Close(reference.pixel(x + dx, y + dy), drawn.pixel(x, y)))
                    return true;
        return false;
    };
    int far = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) far += near(x, y) ? 0 : 1;
    // Crisp edges of copies moved half a pixel the other way: a thin seam, never a shape.
    if (far * 200 <= drawn.width() * drawn.height()) return "";
    return std::to_string(far) + " pixels unlike their neighbourhood";
}

class HeadlineDrawing : public ::testing::Test {
protected:
    HeadlineDrawing() : FApplicationFont(QGuiApplication::font()) {
        QFont crisp = FApplicationFont;
        crisp.setStyleStrategy(QFont::NoAntialias);
        QGuiApplication::setFont(crisp);
        Test.Context.TexturesFolder = QStringLiteral(QDX_TEST_DATA "/pictures");
    }
    ~HeadlineDrawing() override { QGuiApplication::setFont(FApplicationFont); }

    // near: within one pixel's move (see DifferenceBeyondOnePixel).
    void Check(const QImage& drawn, const char* name, bool near = false) {
        const QString file = QString::fromLatin1(name) + QStringLiteral(".png");
        const QString out = qEnvironmentVariable("QDX_WRITE_REFERENCE_IMAGES");
        if (!out.isEmpty()) {
            ASSERT_TRUE(drawn.save(QDir(out).filePath(file)));
            return;
        }
        const QImage reference = QImage(References + file).convertToFormat(drawn.format());
        EXPECT_EQ(near ? DifferenceBeyondOnePixel(drawn, reference) : Difference(drawn, reference),
                  "")
            << name;
    }

    TTestContext Test;

private:
    QFont FApplicationFont;
};

TEST_F(HeadlineDrawing, EveryEffectDrawsAsBefore) {
    if (QFontInfo(QFont(QStringLiteral("DejaVu Sans"))).family() != QStringLiteral("DejaVu Sans"))
        GTEST_SKIP() << "the reference pictures are drawn with DejaVu Sans";
    THeadlineText every = EveryEffect();
    Check(Draw(every, 96, TCanvas::TKind::Image, false), "every-effect");
    Check(Draw(every, 300, TCanvas::TKind::Printer, true), "every-effect-300dpi");
    THeadlineText textured = Textured();
    Check(Draw(textured, 96, TCanvas::TKind::Image, false), "textured");
    // The screen keeps its drawing as a picture: drawn twice, the second comes from it.
    THeadlineText solid = Solid();
    Check(Draw(solid, 96, TCanvas::TKind::Screen, false, 1.5), "solid-zoomed", true);
    Check(Draw(solid, 96, TCanvas::TKind::Screen, false, 1.5), "solid-zoomed", true);
    Check(Draw(solid, 150, TCanvas::TKind::Printer, true), "solid-150dpi");
}

// The screen lays its shades through one letter mask; at 100 % that must come out as the
// copies drawn one by one do, for every effect, a gradient and a texture.
TEST_F(HeadlineDrawing, ScreenDrawingMatchesTheDrawingCopyByCopy) {
    for (THeadlineText h : {EveryEffect(), Textured(), Solid()}) {
        SCOPED_TRACE(h.Lines.join(QLatin1Char('|')).toStdString());
        const QImage direct = Draw(h, 96, TCanvas::TKind::Image, false);
        EXPECT_EQ(Difference(Draw(h, 96, TCanvas::TKind::Screen, false), direct), "");
        h.GraduateStyle = h.GraduateStyle == gsVertical ? gsHorizontal : gsVertical;
        h.HighlightStyle = ssGraduated;
        EXPECT_EQ(Difference(Draw(h, 96, TCanvas::TKind::Screen, false),
                             Draw(h, 96, TCanvas::TKind::Image, false)),
                  "");
    }
}

} // namespace
