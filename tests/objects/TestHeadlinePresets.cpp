// Headline presets in the settings file: colour text, the key set and its defaults, and the
// renaming of sections when presets are deleted or moved.

#include "document/IniFile.h"
#include "objects/Headline.h"
#include "objects/HeadlinePresets.h"
#include "support/DocumentFixtures.h"

#include <gtest/gtest.h>

namespace {

// Every stored property away from its default.
THeadlineText FullStyle() {
    THeadlineText h;
    h.Font.Name = QStringLiteral("Liberation Serif");
    h.Font.Size = 48;
    h.Font.Color = 0x0000FF;
    h.Font.Bold = true;
    h.Font.Italic = true;
    h.Font.Underline = true;
    h.Alignment = haRight;
    h.GraduateFromColor = 0x123456;
    h.GraduateToColor = 0xFFFFFF;
    h.GraduateStyle = gsVertical;
    h.TextureFile = QStringLiteral("Marble.bmp");
    h.Texture = true;
    h.HighlightDepth = 3;
    h.ShadowDepth = 7;
    h.HighlightStyle = ssExtrude;
    h.ShadowStyle = ssGraduated;
    h.HighlightColor = 0x00FFFF;
    h.ShadowColor = 0x808080;
    h.HighlightDirection = sdUpRight;
    h.ShadowDirection = sdDownLeft;
    h.Color = 0xABCDEF;
    h.BackFromColor = 0x000080;
    h.BackToColor = 0x800000;
    h.BackDirection = 1;
    h.BackTextureFile = QStringLiteral("/home/u/paper.png");
    h.BackStyle = basGradient;
    h.SetBorderSize(4);
    h.BorderColor = 0x00FF00;
    return h;
}

void ExpectSameStoredStyle(const THeadlineText& a, const THeadlineText& b) {
    EXPECT_EQ(a.Font.Name, b.Font.Name);
    EXPECT_EQ(a.Font.Size, b.Font.Size);
    EXPECT_EQ(a.Font.Color, b.Font.Color);
    EXPECT_EQ(a.Font.Bold, b.Font.Bold);
    EXPECT_EQ(a.Font.Italic, b.Font.Italic);
    EXPECT_EQ(a.Font.Underline, b.Font.Underline);
    EXPECT_EQ(a.Alignment, b.Alignment);
    EXPECT_EQ(a.GraduateFromColor, b.GraduateFromColor);
    EXPECT_EQ(a.GraduateToColor, b.GraduateToColor);
    EXPECT_EQ(a.GraduateStyle, b.GraduateStyle);
    EXPECT_EQ(a.TextureFile, b.TextureFile);
    EXPECT_EQ(a.Texture, b.Texture);
    EXPECT_EQ(a.HighlightDepth, b.HighlightDepth);
    EXPECT_EQ(a.ShadowDepth, b.ShadowDepth);
    EXPECT_EQ(a.HighlightStyle, b.HighlightStyle);
    EXPECT_EQ(a.ShadowStyle, b.ShadowStyle);
    EXPECT_EQ(a.HighlightColor, b.HighlightColor);
    EXPECT_EQ(a.ShadowColor, b.ShadowColor);
    EXPECT_EQ(a.HighlightDirection, b.HighlightDirection);
    EXPECT_EQ(a.ShadowDirection, b.ShadowDirection);
    EXPECT_EQ(a.Color, b.Color);
    EXPECT_EQ(a.BackFromColor, b.BackFromColor);
    EXPECT_EQ(a.BackToColor, b.BackToColor);
    EXPECT_EQ(a.BackDirection, b.BackDirection);
    EXPECT_EQ(a.BackTextureFile, b.BackTextureFile);
    EXPECT_EQ(a.BackStyle, b.BackStyle);
    EXPECT_EQ(a.BorderSize(), b.BorderSize());
    EXPECT_EQ(a.BorderColor, b.BorderColor);
}

// A file of four presets named by their font, between two unrelated sections.
TIniFile FourPresets() {
    TIniFile file;
    file.Parse(QStringLiteral("[View]\nGrid On=1\n"
                              "[Preset0]\nFontName=A\n"
                              "[Preset1]\nFontName=B\n"
                              "[Preset2]\nFontName=C\n"
                              "[Preset3]\nFontName=D\n"
                              "[Recent]\nFile 1=x.qdx\n"));
    return file;
}

QStringList FontNames(const TIniFile& file) {
    QStringList names;
    for (int i = 0; file.HasSection(THeadlinePresets::SectionName(i)); ++i)
        names.append(file.ReadString(THeadlinePresets::SectionName(i), QStringLiteral("FontName"),
                                     QString()));
    return names;
}

} // namespace

TEST(ColorText, NamedColoursAndHexBothWays) {
    const struct {
        quint32 Value;
        const char* Text;
    } cases[] = {{0x000000, "clBlack"},     {0x0000FF, "clRed"},        {0xFF0000, "clBlue"},
                 {0x00FF00, "clLime"},      {0x008000, "clGreen"},      {0x000080, "clMaroon"},
                 {0x800000, "clNavy"},      {0x808080, "clGray"},       {0xC0C0C0, "clSilver"},
                 {0xFFFFFF, "clWhite"},     {0xFF00FF, "clFuchsia"},    {0xFFFF00, "clAqua"},
                 {0x00FFFF, "clYellow"},    {0xC0DCC0, "clMoneyGreen"}, {0x123456, "$00123456"},
                 {0x00ABCDEF, "$00ABCDEF"}, {0x80000005, "$80000005"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ColorToText(c.Value), QString::fromLatin1(c.Text)) << c.Text;
        bool ok = false;
        EXPECT_EQ(TextToColor(QString::fromLatin1(c.Text), &ok), c.Value) << c.Text;
        EXPECT_TRUE(ok) << c.Text;
    }
}

TEST(ColorText, ReadsDecimalAndLenientForms) {
    EXPECT_EQ(TextToColor(QStringLiteral("255")), 0x0000FFu);
    EXPECT_EQ(TextToColor(QStringLiteral("-1")), 0xFFFFFFFFu);
    EXPECT_EQ(TextToColor(QStringLiteral("$ff")), 0xFFu);
    EXPECT_EQ(TextToColor(QStringLiteral(" clred ")), 0x0000FFu);
    EXPECT_EQ(TextToColor(QStringLiteral("clDkGray")), 0x808080u);
    EXPECT_EQ(TextToColor(QString()), 0u);
    bool ok = true;
    EXPECT_EQ(TextToColor(QStringLiteral("purple-ish"), &ok), 0u);
    EXPECT_FALSE(ok);
    EXPECT_EQ(TextToColor(QStringLiteral("$1FFFFFFFF"), &ok), 0u); // more than 32 bits
    EXPECT_FALSE(ok);
}

TEST(HeadlinePresets, WriteAndReadBackEveryStoredProperty) {
    TIniFile file;
    THeadlinePresets presets(file);
    const THeadlineText style = FullStyle();
    presets.Write(0, style);

    const QStringList expectedKeys = {
        "FontName",        "FontSize",      "FontColor",          "FontBold",
        "FontItalic",      "FontUnderline", "Alignment",          "GraduateFromColor",
        "GraduateToColor", "GraduateStyle", "TextureFile",        "Texture",
        "HighlightDepth",  "ShadowDepth",   "HighlightStyle",     "ShadowStyle",
        "HighlightColor",  "ShadowColor",   "HighlightDirection", "ShadowDirection",
        "BackColor",       "BackFromColor", "BackToColor",        "BackDirection",
        "BackTextureFile", "BackStyle",     "BorderSize",         "BorderColor"};
    EXPECT_EQ(file.Keys(QStringLiteral("Preset0")), expectedKeys);
    EXPECT_EQ(file.ReadString(QStringLiteral("Preset0"), QStringLiteral("FontColor"), QString()),
              QStringLiteral("clRed"));
    EXPECT_EQ(file.ReadString(QStringLiteral("Preset0"), QStringLiteral("BackColor"), QString()),
              QStringLiteral("$00ABCDEF"));

    // Through the text of the file, as the next session reads it.
    TIniFile reread;
    reread.Parse(file.Text());
    THeadlineText read;
    read.Font.StrikeOut = true;
    read.DeleteBlankLines = true;
    THeadlinePresets(reread).Read(0, read);
    ExpectSameStoredStyle(read, style);
    // Not part of a preset: left as they were.
    EXPECT_TRUE(read.Font.StrikeOut);
    EXPECT_TRUE(read.DeleteBlankLines);
}

TEST(HeadlinePresets, MissingKeysTakeTheirDefaults) {
    TIniFile file;
    file.Parse(QStringLiteral("[Preset0]\nFontName=Arial\nShadowColor=\n"));
    THeadlineText read = FullStyle();
    THeadlinePresets(file).Read(0, read);
    EXPECT_EQ(read.Font.Name, QStringLiteral("Arial"));
    EXPECT_EQ(read.Font.Size, 10);
    EXPECT_EQ(read.Font.Color, 0u);
    EXPECT_FALSE(read.Font.Bold);
    EXPECT_EQ(read.Alignment, 2);
    EXPECT_EQ(read.GraduateFromColor, 0u);
    EXPECT_EQ(read.GraduateStyle, gsNone);
    EXPECT_TRUE(read.TextureFile.isEmpty());
    EXPECT_FALSE(read.Texture);
    EXPECT_EQ(read.HighlightDepth, 1);
    EXPECT_EQ(read.ShadowDepth, 1);
    EXPECT_EQ(read.ShadowColor, 0u);
    EXPECT_EQ(read.HighlightColor, 0u);
    EXPECT_EQ(read.ShadowDirection, sdNone);
    EXPECT_EQ(read.BackStyle, basTransparent);
    EXPECT_EQ(read.BorderSize(), 0);

    TIniFile none;
    THeadlineText fromNothing;
    THeadlinePresets(none).Read(5, fromNothing);
    EXPECT_EQ(fromNothing.Font.Name, QStringLiteral("Times New Roman"));
}

TEST(HeadlinePresets, CountStopsAtTheFirstMissingIndex) {
    TIniFile file;
    EXPECT_EQ(THeadlinePresets(file).Count(), 0);
    file.Parse(
        QStringLiteral("[Preset0]\nFontName=A\n[Preset1]\nFontName=B\n[Preset3]\nFontName=D\n"));
    THeadlinePresets presets(file);
    EXPECT_EQ(presets.Count(), 2);
    EXPECT_TRUE(presets.Exists(1));
    EXPECT_FALSE(presets.Exists(3));
    EXPECT_FALSE(presets.Exists(-1));
}

TEST(HeadlinePresets, StarterSetFillsOnlyAnEmptyGrid) {
    TTestContext test;
    TIniFile file;
    THeadlinePresets presets(file);
    presets.WriteStarterSet();
    ASSERT_GE(presets.Count(), 4);
    // Each reads back as a style that differs from the one before it.
    THeadlineText previous;
    for (int i = 0; i < presets.Count(); ++i) {
        THeadlineText style;
        presets.Read(i, style);
        EXPECT_FALSE(style.Font.Name.isEmpty());
        EXPECT_NE(presets.File().Text().count(QStringLiteral("[Preset%1]").arg(i)), 0);
        if (i > 0) {
            EXPECT_FALSE(style.Font == previous.Font && style.BackStyle == previous.BackStyle &&
                         style.ShadowDepth == previous.ShadowDepth);
        }
        previous = style;
    }
    // The user's own presets are never replaced.
    TIniFile own;
    own.Parse(QStringLiteral("[Preset0]\nFontName=Mine\n"));
    THeadlinePresets(own).WriteStarterSet();
    EXPECT_EQ(THeadlinePresets(own).Count(), 1);
    EXPECT_EQ(own.Value(QStringLiteral("Preset0"), QStringLiteral("FontName")).toString(),
              QStringLiteral("Mine"));
}

TEST(HeadlinePresets, DeleteMovesTheFollowingPresetsDownInPlace) {
    TIniFile file = FourPresets();
    THeadlinePresets presets(file);
    ASSERT_TRUE(presets.Delete(1));
    EXPECT_EQ(FontNames(file), (QStringList{"A", "C", "D"}));
    EXPECT_FALSE(file.HasSection(QStringLiteral("Preset3")));
    EXPECT_EQ(file.Text(), QStringLiteral("[View]\nGrid On=1\n\n"
                                          "[Preset0]\nFontName=A\n\n"
                                          "[Preset1]\nFontName=C\n\n"
                                          "[Preset2]\nFontName=D\n\n"
                                          "[Recent]\nFile 1=x.qdx\n\n"));

    ASSERT_TRUE(presets.Delete(2)); // the last one: nothing follows
    EXPECT_EQ(FontNames(file), (QStringList{"A", "C"}));
    EXPECT_FALSE(presets.Delete(2));
    EXPECT_EQ(FontNames(file), (QStringList{"A", "C"}));
}

TEST(HeadlinePresets, MovesExchangeSectionNamesAndStopAtTheEnds) {
    TIniFile file = FourPresets();
    THeadlinePresets presets(file);
    EXPECT_FALSE(presets.MoveUp(0));
    EXPECT_FALSE(presets.MoveDown(3));
    ASSERT_TRUE(presets.MoveDown(0));
    EXPECT_EQ(FontNames(file), (QStringList{"B", "A", "C", "D"}));
    ASSERT_TRUE(presets.MoveUp(3));
    EXPECT_EQ(FontNames(file), (QStringList{"B", "A", "D", "C"}));
    // The headers change where they stand; contents and the other sections stay put.
    EXPECT_EQ(file.Text(), QStringLiteral("[View]\nGrid On=1\n\n"
                                          "[Preset1]\nFontName=A\n\n"
                                          "[Preset0]\nFontName=B\n\n"
                                          "[Preset3]\nFontName=C\n\n"
                                          "[Preset2]\nFontName=D\n\n"
                                          "[Recent]\nFile 1=x.qdx\n\n"));
}

TEST(HeadlinePresets, WriteOverAnExistingPresetKeepsItsPlace) {
    TIniFile file = FourPresets();
    THeadlinePresets presets(file);
    presets.Write(1, FullStyle());
    EXPECT_EQ(FontNames(file), (QStringList{"A", "Liberation Serif", "C", "D"}));
    EXPECT_EQ(file.Keys(QStringLiteral("Preset1")).size(), 28);
    EXPECT_TRUE(file.Text().indexOf(QStringLiteral("[Preset1]")) <
                file.Text().indexOf(QStringLiteral("[Preset2]")));
}
