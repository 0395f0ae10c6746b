// The headline's box, its drawing checked on pixels (shades, letter fills, printer scaling),
// texture names and the shading of headlines whose shading nobody chose.

#include "document/Canvas.h"
#include "document/Card.h"
#include "storage/Stored.h"
#include "document/Units.h"
#include "objects/Headline.h"
#include "support/DocumentFixtures.h"
#include "support/MetafileFixtures.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimeZone>

#include <optional>
#include <vector>

namespace {

constexpr quint32 Blue = 0xFF0000; // colours are 0x00BBGGRR
constexpr quint32 Red = 0x0000FF;
constexpr quint32 Green = 0x00FF00;

QRgb Rgb(quint32 ref) { return qRgb(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF)); }

// A headline style with nothing but letters: no shades, no border, transparent.
THeadlineText PlainStyle(const QStringList& lines, int size = 40) {
    THeadlineText h;
    h.Font = {QStringLiteral("DejaVu Sans"), size, Blue};
    h.ShadowDepth = 0;
    h.ShadowDirection = sdNone;
    h.HighlightDepth = 0;
    h.HighlightDirection = sdNone;
    h.Lines = lines;
    h.ComputeBox();
    return h;
}

// Draws the headline on white at the given resolution.
QImage Render(THeadlineText& h, int dpi = 96, TCanvas::TKind kind = TCanvas::TKind::Image,
              bool printing = false) {
    const QSize box(MulDiv(h.Box().width(), dpi, 96), MulDiv(h.Box().height(), dpi, 96));
    QImage image(box, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TCanvas canvas(painter, dpi, dpi, kind);
    h.DrawInto(canvas, image.rect(), printing);
    return image;
}

struct TRun {
    QRgb Color;
    int Length;
    bool operator==(const TRun&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TRun& run) {
    return out << std::hex << (run.Color & 0xFFFFFF) << std::dec << "x" << run.Length;
}

// The row's colours left to right as runs, without the white margins at both ends.
std::vector<TRun> Runs(const QImage& image, int y) {
    std::vector<TRun> runs;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb c = image.pixel(x, y) & 0xFFFFFF;
        if (!runs.empty() && runs.back().Color == c) ++runs.back().Length;
        else runs.push_back({c, 1});
    }
    const QRgb white = qRgb(255, 255, 255) & 0xFFFFFF;
    if (!runs.empty() && runs.front().Color == white) runs.erase(runs.begin());
    if (!runs.empty() && runs.back().Color == white) runs.pop_back();
    return runs;
}

// The middle of the rows that hold the letters' colour.
int MiddleLetterRow(const QImage& image, QRgb color) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF)) {
                if (first < 0) first = y;
                last = y;
                break;
            }
    return first < 0 ? -1 : (first + last) / 2;
}

// The width of the "l" stem without shades.
int StemWidth() {
    THeadlineText h = PlainStyle({QStringLiteral("l")});
    const QImage image = Render(h);
    const auto runs = Runs(image, MiddleLetterRow(image, Rgb(Blue)));
    return runs.size() == 1 ? runs[0].Length : -1;
}

} // namespace

// Letters without smoothing, so that every pixel is one of the drawn colours: fonts made
// without a strategy of their own take the application font's.
class Headline : public ::testing::Test {
protected:
    Headline() : FApplicationFont(QGuiApplication::font()) {
        QFont crisp = FApplicationFont;
        crisp.setStyleStrategy(QFont::NoAntialias);
        QGuiApplication::setFont(crisp);
    }
    ~Headline() override { QGuiApplication::setFont(FApplicationFont); }

    TTestContext Test;

private:
    QFont FApplicationFont;
};

TEST_F(Headline, BoxFollowsLinesShadesBorderAndDirection) {
    THeadlineText h = PlainStyle({QStringLiteral("A"), QString(), QStringLiteral("B")});
    const QSize threeLines = h.ComputeBox();
    ASSERT_GT(h.LineHeight, 0);
    EXPECT_EQ(threeLines.height(), 3 * h.LineHeight);

    // Blank lines take no room when they are to be deleted.
    h.DeleteBlankLines = true;
    EXPECT_EQ(h.ComputeBox().height(), 2 * h.LineHeight);
    EXPECT_EQ(h.ComputeBox().width(), threeLines.width());

    // A down-right shadow of 4 adds 4 each way; a border adds its width on every side.
    h.ShadowDirection = sdDownRight;
    h.ShadowDepth = 4;
    EXPECT_EQ(h.ComputeBox(), QSize(threeLines.width() + 4, 2 * h.LineHeight + 4));
    h.SetBorderSize(3);
    EXPECT_EQ(h.ComputeBox(), QSize(threeLines.width() + 10, 2 * h.LineHeight + 10));
    h.SetBorderSize(25);
    EXPECT_EQ(h.BorderSize(), 10);
    h.SetBorderSize(0);

    // Shades on opposite sides both need room: up-left 2 and down-right 4 make 6.
    h.HighlightDirection = sdUpLeft;
    h.HighlightDepth = 2;
    EXPECT_EQ(h.ComputeBox(), QSize(threeLines.width() + 6, 2 * h.LineHeight + 6));

    // Downwards and upwards text exchange the sides; the letters stay upright.
    const QSize across = h.ComputeBox();
    h.TextDirection = tdDown;
    EXPECT_EQ(h.ComputeBox(), across.transposed());
    h.TextDirection = tdUp;
    EXPECT_EQ(h.ComputeBox(), across.transposed());
    h.TextDirection = tdLeft;
    EXPECT_EQ(h.ComputeBox(), across);
}

TEST_F(Headline, EmptyTextHasOnlyShadesAndBorder) {
    THeadlineText h = PlainStyle({});
    EXPECT_EQ(h.ComputeBox(), QSize(0, 0));
    EXPECT_EQ(h.LineHeight, 0);
    h.ShadowDirection = sdDownRight;
    h.ShadowDepth = 3;
    h.SetBorderSize(2);
    EXPECT_EQ(h.ComputeBox(), QSize(7, 7));

    // Only the border shows.
    h.BorderColor = Red;
    const QImage image = Render(h);
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, Rgb(Red) & 0xFFFFFF);
    EXPECT_EQ(image.pixel(3, 3) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(Headline, ShadeStylesDrawTheirCopiesFarthestFirst) {
    const int stem = StemWidth();
    ASSERT_GT(stem, 0);
    const int depth = stem + 3; // deeper than the stem, so a single copy leaves a gap
    const QRgb letter = Rgb(Blue) & 0xFFFFFF;
    const QRgb shade = Rgb(Red) & 0xFFFFFF;
    const QRgb white = 0xFFFFFF;

    auto runsFor = [&](quint8 style, int shadeDepth) {
        THeadlineText h = PlainStyle({QStringLiteral("l")});
        h.ShadowDirection = sdRight;
        h.ShadowDepth = quint8(shadeDepth);
        h.ShadowStyle = style;
        h.ShadowColor = Red;
        h.ComputeBox();
        const QImage image = Render(h);
        return Runs(image, MiddleLetterRow(image, letter));
    };

    // Plain: one copy at the full depth.
    EXPECT_EQ(runsFor(ssPlain, depth),
              (std::vector<TRun>{{letter, stem}, {white, depth - stem}, {shade, stem}}));
    // Extruded: a copy at every step, all in the shadow colour.
    EXPECT_EQ(runsFor(ssExtrude, depth), (std::vector<TRun>{{letter, stem}, {shade, depth}}));

    // Graduated: the copy next to the letters has the letters' colour, the farthest the
    // shadow's, and each step between moves evenly from one to the other.
    const auto ramp = runsFor(ssGraduated, depth);
    ASSERT_EQ(int(ramp.size()), depth);
    EXPECT_EQ(ramp[0], (TRun{letter, stem + 1}));
    for (int n = 2; n <= depth; ++n) {
        SCOPED_TRACE(n);
        const int red = RoundHalfAway(double(depth - n) * (0 - 255) / (depth - 1)) + 255;
        const int blue = RoundHalfAway(double(depth - n) * (255 - 0) / (depth - 1));
        EXPECT_EQ(ramp[size_t(n - 1)], (TRun{qRgb(red, 0, blue) & 0xFFFFFF, 1}));
    }

    // Depth 1 is one copy whatever the style.
    for (quint8 style : {ssPlain, ssExtrude, ssGraduated})
        EXPECT_EQ(runsFor(style, 1), (std::vector<TRun>{{letter, stem}, {shade, 1}}));
}

TEST_F(Headline, HighlightLiesOnTheShadow) {
    const int stem = StemWidth();
    ASSERT_GT(stem, 0);
    THeadlineText h = PlainStyle({QStringLiteral("l")});
    h.ShadowDirection = sdRight;
    h.ShadowDepth = 6;
    h.ShadowStyle = ssExtrude;
    h.ShadowColor = Red;
    h.HighlightDirection = sdRight;
    h.HighlightDepth = 3;
    h.HighlightStyle = ssExtrude;
    h.HighlightColor = Green;
    h.ComputeBox();
    const QImage image = Render(h);
    const QRgb letter = Rgb(Blue) & 0xFFFFFF;
    EXPECT_EQ(Runs(image, MiddleLetterRow(image, letter)),
              (std::vector<TRun>{{letter, stem}, {Rgb(Green) & 0xFFFFFF, 3}, {Rgb(Red) & 0xFFFFFF, 3}}));
}

TEST_F(Headline, EffectsScaleWithThePrinterResolution) {
    THeadlineText h = PlainStyle({QStringLiteral("l")});
    h.ShadowDirection = sdRight;
    h.ShadowDepth = 4;
    h.ShadowColor = Red;
    h.ComputeBox();
    const QImage image = Render(h, 600, TCanvas::TKind::Printer, true);
    const QRgb letter = Rgb(Blue) & 0xFFFFFF;
    const auto runs = Runs(image, MiddleLetterRow(image, letter));
    // 4 logical pixels at 600 dots per inch from a 96 pixels-per-inch screen: 25 dots.
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].Color, letter);
    EXPECT_GT(runs[0].Length, 25);
    EXPECT_EQ(runs[1], (TRun{Rgb(Red) & 0xFFFFFF, 25}));
}

TEST_F(Headline, LowResolutionKeepsEveryLetterInsideTheBox) {
    // Fonts do not shrink in proportion with the resolution: measured on the screen, these
    // lines are wider than their box at some of these resolutions, and the last letter was cut.
    struct TCase {
        const char* Font;
        int Size;
        const char* Text;
    };
    const TCase cases[] = {{"Times New Roman", 36, "Happy Birthday!"},
                           {"Arial", 28, "WWW Headline Mimimi!"},
                           {"Courier New", 20, "Courier gjpqy WWW!"},
                           {"DejaVu Sans", 40, "Wide Wonder!"}};
    for (const TCase& c : cases)
        for (const int dpi : {37, 50, 72, 150}) {
            SCOPED_TRACE(testing::Message() << c.Font << " at " << dpi);
            THeadlineText h = PlainStyle({QString::fromLatin1(c.Text)}, c.Size);
            h.Font.Name = QString::fromLatin1(c.Font);
            h.Font.Bold = true;
            h.ComputeBox();
            const QImage image = Render(h, dpi);
            const int right = image.width() - 1;
            int inkRight = -1; // the rightmost column with ink
            for (int x = 0; x <= right; ++x)
                for (int y = 0; y < image.height(); ++y)
                    if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) inkRight = x;
            // The "!" ends inside the box, with its own margin, and not far from its edge.
            EXPECT_LT(inkRight, right);
            EXPECT_GT(inkRight, image.width() * 4 / 5);
        }
}

TEST_F(Headline, LettersShowTheirFillThroughTheMask) {
    QTemporaryDir folder;
    QImage texture(8, 8, QImage::Format_RGB32);
    texture.fill(qRgb(0, 255, 0));
    ASSERT_TRUE(texture.save(folder.filePath(QStringLiteral("moss.png"))));
    Test.Context.TexturesFolder = folder.path();

    THeadlineText h = PlainStyle({QStringLiteral("HH")});
    h.Texture = true;
    h.TextureFile = QStringLiteral("moss.png");
    h.BackStyle = basSolid;
    h.Color = Red;
    const QImage textured = Render(h);
    int green = 0;
    for (int y = 0; y < textured.height(); ++y)
        for (int x = 0; x < textured.width(); ++x) {
            const QRgb c = textured.pixel(x, y) & 0xFFFFFF;
            ASSERT_TRUE(c == 0x00FF00u || c == (Rgb(Red) & 0xFFFFFF)) << x << "," << y;
            green += c == 0x00FF00u;
        }
    EXPECT_GT(green, 50);

    // A horizontal gradient: the letters go from one colour on the left to the other.
    h.Texture = false;
    h.BackStyle = basTransparent;
    h.GraduateStyle = gsHorizontal;
    h.GraduateFromColor = Red;
    h.GraduateToColor = Blue;
    const QImage graded = Render(h);
    const auto runs = Runs(graded, MiddleLetterRow(graded, graded.pixel(graded.width() / 4, graded.height() / 2)));
    ASSERT_GE(runs.size(), 2u);
    EXPECT_GT(qRed(runs.front().Color), qBlue(runs.front().Color));
    EXPECT_GT(qBlue(runs.back().Color), qRed(runs.back().Color));
}

TEST_F(Headline, BackgroundsFillTheBox) {
    THeadlineText h = PlainStyle({QStringLiteral(".")});
    h.BackStyle = basGradient;
    h.BackFromColor = 0x000000;
    h.BackToColor = 0xFFFFFF;
    h.BackDirection = 1; // rows
    const QImage image = Render(h);
    const int last = image.height() - 1;
    EXPECT_EQ(image.pixel(image.width() - 1, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.pixel(image.width() - 1, last) & 0xFFFFFF, 0xFFFFFFu);
    const int middle = qRed(image.pixel(image.width() - 1, last / 2));
    EXPECT_NEAR(middle, 128, 4);
}

TEST_F(Headline, TextureNamesInsideTheTexturesFolderAreBare) {
    QTemporaryDir folder;
    QImage texture(4, 4, QImage::Format_RGB32);
    texture.fill(Qt::gray);
    const QString inside = folder.filePath(QStringLiteral("Stone.png"));
    ASSERT_TRUE(texture.save(inside));
    Test.Context.TexturesFolder = folder.path();

    EXPECT_EQ(THeadlineText::TextureName(inside), QStringLiteral("Stone.png"));
    EXPECT_EQ(THeadlineText::TextureName(folder.path().toUpper() + "/Stone.png"),
              QStringLiteral("Stone.png"));
    EXPECT_EQ(THeadlineText::TextureName(QStringLiteral("/elsewhere/Stone.png")),
              QStringLiteral("/elsewhere/Stone.png"));
    EXPECT_EQ(THeadlineText::TexturePicture(QStringLiteral("Stone.png")).size(), QSize(4, 4));
    EXPECT_TRUE(THeadlineText::TexturePicture(QStringLiteral("missing.png")).isNull());
}

TEST_F(Headline, TexturesOfEveryOfferedFormatFillBackgroundAndLetters) {
    QTemporaryDir folder;
    Test.Context.TexturesFolder = folder.path();
    const QString pictures = QStringLiteral(QDX_TEST_DATA "/pictures/");
    // The same picture as PNG, PCX and Targa; solid green metafiles.
    ASSERT_TRUE(QFile::copy(pictures + "rgb.png", folder.filePath("Pattern.png")));
    ASSERT_TRUE(QFile::copy(pictures + "rgb.pcx", folder.filePath("Pattern.pcx")));
    ASSERT_TRUE(QFile::copy(pictures + "rgb24.tga", folder.filePath("Pattern.tga")));
    const auto save = [&](const char* name, const QByteArray& bytes) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    constexpr QRgb Moss = 0xFF00FF00;
    ASSERT_TRUE(save("Moss.wmf", TWmf()
                                     .Window(0, 0, 1440, 1440)
                                     .SolidBrush(Moss)
                                     .Rectangle(0, 0, 1441, 1441)
                                     .Bytes({{0, 0, 1440, 1440, 1440}})));
    ASSERT_TRUE(save("Moss.emf", TEmf().SolidBrush(Moss).Rectangle(0, 0, 97, 97).Bytes(
                                     {0, 0, 95, 95}, {0, 0, 2540, 2540})));

    THeadlineText h = PlainStyle({QStringLiteral("HH")});
    h.BackStyle = basTexture;
    h.BackTextureFile = QStringLiteral("Pattern.png");
    const QImage fromPng = Render(h);
    for (const char* name : {"Pattern.pcx", "Pattern.tga"}) {
        SCOPED_TRACE(name);
        h.BackTextureFile = QString::fromLatin1(name);
        EXPECT_EQ(Render(h), fromPng);
    }
    for (const char* name : {"Moss.wmf", "Moss.emf"}) {
        SCOPED_TRACE(name);
        h.BackStyle = basTexture;
        h.BackTextureFile = QString::fromLatin1(name);
        h.Texture = false;
        const QImage background = Render(h);
        EXPECT_EQ(background.pixel(2, 2), Moss);
        EXPECT_EQ(background.pixel(background.width() - 3, background.height() - 3), Moss);

        h.BackStyle = basSolid;
        h.Color = Red;
        h.Texture = true;
        h.TextureFile = QString::fromLatin1(name);
        const QImage letters = Render(h);
        int moss = 0;
        for (int y = 0; y < letters.height(); ++y)
            for (int x = 0; x < letters.width(); ++x) moss += letters.pixel(x, y) == Moss;
        EXPECT_GT(moss, 50);
    }
}

TEST_F(Headline, TexturePathInsideTheTexturesFolderIsStoredByNameAfterLoading) {
    QTemporaryDir folder;
    Test.Context.TexturesFolder = folder.path();
    TCard card(7, 4);
    auto* headline = new THeadlineObject();
    headline->Text = QStringLiteral("Wood");
    headline->HeadlineText().TextureFile = folder.filePath(QStringLiteral("Wood.bmp"));
    headline->HeadlineText().BackTextureFile = QStringLiteral("/elsewhere/Paper.bmp");
    card.Pages(0)->Panels(0)->AddObject(headline);
    const auto loaded = Reloaded(card);
    const auto* read = dynamic_cast<const THeadlineObject*>(loaded->ObjectAt(0, 0, 0));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->HeadlineText().TextureFile, QStringLiteral("Wood.bmp"));
    EXPECT_EQ(read->HeadlineText().BackTextureFile, QStringLiteral("/elsewhere/Paper.bmp"));
}

TEST_F(Headline, ObjectSizeFollowsItsText) {
    THeadlineObject headline;
    headline.Bounds = {100, 200, 900, 900};
    headline.Text = QStringLiteral("Hello\r\nWorld");
    THeadlineText& h = headline.HeadlineText();
    h.Font = {QStringLiteral("DejaVu Sans"), 30, Blue};
    headline.RefreshText();
    headline.FitBounds();
    const QSize box = h.Box();
    EXPECT_EQ(headline.Bounds.Left, 100);
    EXPECT_EQ(headline.Bounds.Top, 200);
    EXPECT_EQ(headline.Bounds.Width(), MulDiv(box.width(), 100, 96));
    EXPECT_EQ(headline.Bounds.Height(), MulDiv(box.height(), 100, 96));

    // A dragged rectangle keeps only its corner; the size stays the box's.
    const TRect dragged = headline.AdjustRect({10, 20, 11, 21});
    EXPECT_EQ(dragged.Left, 10);
    EXPECT_EQ(dragged.Top, 20);
    EXPECT_EQ(dragged.Width(), box.width() + 2 * TCardObject::ControlFrame);

    // Turning the text downwards turns the box.
    headline.SetTextDirection(tdDown);
    EXPECT_EQ(h.Box(), box.transposed());

    // After a reload the rectangle is the box again, whatever was stored.
    TCard card(0, 0);
    headline.Bounds = {100, 200, 5000, 5000};
    card.Pages(0)->Panels(0)->AddObject(static_cast<TCardObject*>(CloneStored(&headline)));
    const auto reloaded = Reloaded(card);
    const auto* copy = dynamic_cast<THeadlineObject*>(reloaded->ObjectAt(0, 0, 0));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Bounds.Right, 100 + MulDiv(box.height(), 100, 96));
}

TEST_F(Headline, UnchosenShadingDrawsNothing) {
    // Kind 0 of the wizard: no shadow and no highlight, only the letters.
    std::unique_ptr<THeadlineObject> plain(THeadlineObject::CreateForWizard(
        false, false, 0x00000000, haLeft, QStringLiteral("Wide"), 0, Blue, 30,
        QStringLiteral("DejaVu Sans"), 0, true, 0, false));
    THeadlineText& h = plain->HeadlineText();
    const QImage image = Render(h);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xFFFFFF;
            ASSERT_TRUE(c == 0xFFFFFFu || c == (Rgb(Blue) & 0xFFFFFF)) << x << "," << y;
        }

    // Kind 4 with depth 3 in red: a plain down-right shadow.
    std::unique_ptr<THeadlineObject> shaded(THeadlineObject::CreateForWizard(
        false, false, (3u << 16) | (0xFFu << 8) | 4u, haLeft, QStringLiteral("Wide"), 0, Blue, 30,
        QStringLiteral("DejaVu Sans"), 0x0200, true, 0, false));
    const THeadlineText& s = shaded->HeadlineText();
    EXPECT_EQ(s.ShadowDirection, sdDownRight);
    EXPECT_EQ(s.ShadowDepth, 3);
    EXPECT_EQ(s.ShadowColor, 0xFFu);
    EXPECT_EQ(s.HighlightDepth, 0);
    EXPECT_EQ(s.BorderSize(), 2);
    EXPECT_EQ(shaded->HeadlineText().Box(), QSize(h.Box().width() + 3 + 4, h.Box().height() + 3 + 4));
}

// A texture file rewritten while the program runs is read again: both the picture and a
// headline kept drawn on the screen show the new one.
TEST_F(Headline, AChangedTextureFileIsReadAgain) {
    QTemporaryDir folder;
    Test.Context.TexturesFolder = folder.path();
    const QString path = folder.filePath(QStringLiteral("Wall.png"));
    const auto write = [&](QRgb colour, int size, const QDateTime& modified) {
        QImage texture(size, size, QImage::Format_RGB32);
        texture.fill(colour);
        ASSERT_TRUE(texture.save(path));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    };
    const QDateTime noon(QDate(2026, 5, 1), QTime(12, 0), QTimeZone::utc());
    write(qRgb(255, 0, 0), 4, noon);
    EXPECT_EQ(THeadlineText::TexturePicture(QStringLiteral("Wall.png")).pixel(0, 0),
              qRgb(255, 0, 0));

    THeadlineText h = PlainStyle({QStringLiteral("H")});
    h.BackStyle = basTexture;
    h.BackTextureFile = QStringLiteral("Wall.png");
    h.ComputeBox();
    EXPECT_EQ(Render(h, 96, TCanvas::TKind::Screen).pixel(0, 0), qRgb(255, 0, 0));

    write(qRgb(0, 255, 0), 4, noon.addSecs(60));
    EXPECT_EQ(THeadlineText::TexturePicture(QStringLiteral("Wall.png")).pixel(0, 0),
              qRgb(0, 255, 0));
    EXPECT_EQ(Render(h, 96, TCanvas::TKind::Screen).pixel(0, 0), qRgb(0, 255, 0));
    // Same time, other size: still a new file.
    write(qRgb(0, 0, 255), 6, noon.addSecs(60));
    EXPECT_EQ(THeadlineText::TexturePicture(QStringLiteral("Wall.png")).pixel(0, 0),
              qRgb(0, 0, 255));
    // Gone: no picture.
    QFile::remove(path);
    EXPECT_TRUE(THeadlineText::TexturePicture(QStringLiteral("Wall.png")).isNull());
}

namespace {

struct TFixedSurface : TControlSurface {
    int ZoomPercent() const override { return 100; }
    QPoint ScrollPosition() const override { return {}; }
    std::optional<QPoint> PanelOffset(const TCardPanel*) const override { return std::nullopt; }
};

} // namespace

// Each context places new controls on its own editing surface, or on its spare one.
TEST(ControlSurfaces, NewControlsGoOnTheSurfaceOfTheirContext) {
    TFixedSurface first, second, spare;
    TTestContext a;
    a.Context.ActiveControlSurface = &first;
    THeadlineObject one;
    EXPECT_EQ(one.HeadlineText().Surface(), &first);
    {
        TTestContext b;
        b.Context.ActiveControlSurface = &second;
        THeadlineObject two;
        EXPECT_EQ(two.HeadlineText().Surface(), &second);
        b.Context.ActiveControlSurface = nullptr;
        b.Context.SpareControlSurface = &spare;
        THeadlineObject three;
        EXPECT_EQ(three.HeadlineText().Surface(), &spare);
    }
    THeadlineObject four;
    EXPECT_EQ(four.HeadlineText().Surface(), &first);
    EXPECT_EQ(one.HeadlineText().Surface(), &first);
}

// Each load carries its own options: what one load was given is not seen by the next, and
// nothing of it is left once the load is over.
TEST(LoadOptions, EachLoadSeesOnlyItsOwnOptions) {
    TFixedSurface surface;
    TTestContext test(120);
    test.Context.ActiveControlSurface = &surface;
    TCard card(cfBifoldVertical, dtGreetingCard); // saved at 120 pixels per inch
    auto* headline = new THeadlineObject();
    headline->Text = QStringLiteral("Hello");
    card.Pages(0)->Panels(0)->AddObject(headline);
    const QByteArray bytes = CardToBytes(card);
    const auto headlineOf = [](const TCard& loaded) {
        return dynamic_cast<THeadlineObject*>(loaded.Pages(0)->Panels(0)->Items(0));
    };

    test.Context.ScreenPixelsPerInch = 96;
    TLoadOptions opening;
    opening.Opening = TLoadOptions::TOpening::Document;
    opening.AdoptDocumentDensity = true;
    const std::unique_ptr<TCard> first = CardFromBytes(bytes, &opening);
    EXPECT_EQ(test.Context.ScreenPixelsPerInch, 120);
    ASSERT_NE(headlineOf(*first), nullptr);
    EXPECT_EQ(headlineOf(*first)->HeadlineText().Surface(), nullptr); // made while opening

    test.Context.ScreenPixelsPerInch = 96;
    const std::unique_ptr<TCard> second = CardFromBytes(bytes);
    EXPECT_EQ(test.Context.ScreenPixelsPerInch, 96);
    ASSERT_NE(headlineOf(*second), nullptr);
    EXPECT_EQ(headlineOf(*second)->HeadlineText().Surface(), &surface);
    EXPECT_EQ(CurrentLoadOptions().Opening, TLoadOptions::TOpening::None);
}
