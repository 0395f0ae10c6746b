// Object records of older versions, loaded from documents built byte by byte
// (tests/data/documents/make_documents.py): the base record, headlines and their legacy
// "TTextObject" form, rich text, pictures, grids and fields.

#include "document/Card.h"
#include "document/Control.h"
#include "document/Palette.h"
#include "document/Replacement.h"
#include "document/Units.h"
#include "objects/BarCode.h"
#include "objects/Comb.h"
#include "objects/Ellipse.h"
#include "objects/Grid.h"
#include "objects/Headline.h"
#include "objects/Line.h"
#include "objects/Picture.h"
#include "objects/RichText.h"
#include "objects/RoundedRectangle.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using TObjects = std::vector<TCardObject*>;

constexpr quint32 Red = 0x0000FF; // colour values are 0x00BBGGRR
constexpr quint32 Blue = 0xFF0000;

class ObjectOldRecords : public testing::Test {
protected:
    // Runs check on the objects of the fixture's only panel as loaded, and again after the
    // document was saved and loaded back; saving the reloaded document must give the same
    // bytes as the first save.
    void CheckLoadedAndReloaded(const char* name,
                                const std::function<void(const TObjects&)>& check) {
        const QString path = QStringLiteral(QDX_TEST_DATA "/documents/") + QLatin1String(name);
        std::unique_ptr<TStored> root(LoadStoredFromFile(path));
        auto* card = dynamic_cast<TCard*>(root.get());
        ASSERT_TRUE(card) << name;
        {
            SCOPED_TRACE("loaded");
            check(ObjectsOf(*card));
        }
        const QByteArray saved = CardToBytes(*card);
        const std::unique_ptr<TCard> reloaded = CardFromBytes(saved);
        {
            SCOPED_TRACE("reloaded");
            check(ObjectsOf(*reloaded));
        }
        EXPECT_EQ(CardToBytes(*reloaded), saved);
    }

    static TObjects ObjectsOf(const TCard& card) {
        TObjects objects;
        if (card.PageCount() != 1 || card.Pages(0)->PanelCount() != 1) return objects;
        const TCardPanel& panel = *card.Pages(0)->Panels(0);
        for (int i = 0; i < panel.Count(); ++i)
            objects.push_back(panel.Items(i));
        return objects;
    }

    TTestContext Test;
};

template <typename T> T* As(TCardObject* object) {
    auto* typed = dynamic_cast<T*>(object);
    EXPECT_TRUE(typed) << (object ? object->ClassName() : "no object");
    return typed;
}

// Every fixture ends with this rectangle: reading it proves the record before it was read
// to its end and no further.
void ExpectClosingRectangle(TCardObject* object) {
    const auto* rectangle = As<TRectangleObject>(object);
    if (!rectangle) return;
    EXPECT_EQ(rectangle->Bounds, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(rectangle->FillColor, 7);
}

void ExpectBase(const TCardObject* object, const TRect& bounds, bool centerHorizontally,
                bool locked) {
    EXPECT_EQ(object->Bounds, bounds) << object->ClassName();
    EXPECT_EQ(object->CenterHorizontally, centerHorizontally) << object->ClassName();
    EXPECT_FALSE(object->CenterVertically) << object->ClassName();
    EXPECT_EQ(object->Locked, locked) << object->ClassName();
    // No record before version 4 has a web link.
    EXPECT_EQ(object->LinkType, ltNone) << object->ClassName();
    EXPECT_TRUE(object->LinkTarget.isEmpty()) << object->ClassName();
}

void ExpectShape(const TShapeObject* shape, int fill, bool clear, int borderColor, int borderSize) {
    EXPECT_EQ(shape->FillColor, fill) << shape->ClassName();
    EXPECT_EQ(shape->ClearFill, clear) << shape->ClassName();
    EXPECT_EQ(shape->BorderColor, borderColor) << shape->ClassName();
    EXPECT_EQ(shape->BorderSize, borderSize) << shape->ClassName();
}

QStringList TextLines(const QString& text) {
    return text.split(QStringLiteral("\r\n"));
}

} // namespace

TEST_F(ObjectOldRecords, BaseRecordVersion0HoldsScreenPixels) {
    // At 96 pixels per inch: units = pixels x 100 / 96, halves rounded away from zero.
    CheckLoadedAndReloaded("object-base-v0.qdx", [](const TObjects& objects) {
        ASSERT_EQ(objects.size(), 2u);
        if (const auto* rectangle = As<TRectangleObject>(objects[0])) {
            ExpectBase(rectangle, {-13, 13, 38, 63}, false, false); // (-12, 12, 36, 60) pixels
            EXPECT_EQ(rectangle->FillColor, 3);
        }
        if (const auto* line = As<TLineObject>(objects[1])) {
            ExpectBase(line, {10, 21, 115, 73}, false, false); // (10, 20, 110, 70) pixels
            EXPECT_EQ(line->LineColor, 1);
            EXPECT_EQ(line->LineWidth, 2);
        }
    });
}

TEST_F(ObjectOldRecords, BaseRecordVersions1To3AddCentringThenLock) {
    struct TCase {
        const char* File;
        bool Centred; // the fixtures store centre-horizontally where the version has it
        bool Locked;
    };
    for (const TCase& c :
         {TCase{"object-base-v1.qdx", false, false}, TCase{"object-base-v2.qdx", true, false},
          TCase{"object-base-v3.qdx", true, true}}) {
        SCOPED_TRACE(c.File);
        CheckLoadedAndReloaded(c.File, [&](const TObjects& objects) {
            ASSERT_EQ(objects.size(), 7u);
            if (const auto* rectangle = As<TRectangleObject>(objects[0])) {
                ExpectBase(rectangle, {10, 20, 110, 70}, c.Centred, c.Locked);
                ExpectShape(rectangle, 9, false, 12, 3);
            }
            if (const auto* line = As<TLineObject>(objects[1])) {
                // The corners keep the direction of the line.
                ExpectBase(line, {200, 150, 100, 50}, c.Centred, c.Locked);
                EXPECT_EQ(line->LineColor, 4);
                EXPECT_EQ(line->LineStyle, 2);
                EXPECT_EQ(line->LineWidth, 6);
            }
            if (const auto* ellipse = As<TEllipseObject>(objects[2])) {
                ExpectBase(ellipse, {0, 0, 80, 40}, c.Centred, c.Locked);
                ExpectShape(ellipse, 2, true, 5, 0);
            }
            if (const auto* rounded = As<TRRectangleObject>(objects[3])) {
                ExpectBase(rounded, {30, 30, 230, 130}, c.Centred, c.Locked);
                ExpectShape(rounded, 14, false, 1, 2);
            }
            if (const auto* code = As<TBarCodeObject>(objects[4])) {
                ExpectBase(code, {40, 300, 240, 380}, c.Centred, c.Locked);
                EXPECT_EQ(code->BarCodeType, bcCode39);
                EXPECT_EQ(code->Data, QStringLiteral("ABC-123"));
                EXPECT_FALSE(code->UseDatabaseField);
                EXPECT_TRUE(code->ShowText);
            }
            if (const auto* comb = As<TCombObject>(objects[5])) {
                ExpectBase(comb, {40, 400, 340, 440}, c.Centred, c.Locked);
                ExpectShape(comb, 11, false, 6, 2);
                EXPECT_FALSE(comb->CombEdge);
                EXPECT_EQ(comb->CombStyle, TCombObject::csDown);
                EXPECT_EQ(comb->Spaces, 7);
            }
            if (const auto* field = As<TFieldObject>(objects[6])) {
                ExpectBase(field, {40, 500, 340, 530}, c.Centred, c.Locked);
                EXPECT_EQ(field->FieldName, QStringLiteral("Amount"));
                EXPECT_EQ(field->Value, QStringLiteral("12.5"));
                EXPECT_EQ(field->DecimalPlaces, 2);
                EXPECT_TRUE(field->Required);
            }
        });
    }
}

TEST_F(ObjectOldRecords, HeadlineRecordVersions0To3) {
    for (int version = 0; version <= 3; ++version) {
        SCOPED_TRACE(version);
        const std::string file = "headline-v" + std::to_string(version) + ".qdx";
        CheckLoadedAndReloaded(file.c_str(), [&](const TObjects& objects) {
            ASSERT_EQ(objects.size(), 2u);
            ExpectClosingRectangle(objects[1]);
            auto* headline = As<THeadlineObject>(objects[0]);
            if (!headline) return;
            EXPECT_EQ(headline->Bounds.Left, 100);
            EXPECT_EQ(headline->Bounds.Top, 100);
            EXPECT_EQ(headline->LinkType, ltAddress);
            EXPECT_EQ(headline->LinkTarget, QStringLiteral("http://example.com/"));
            EXPECT_EQ(headline->Text, QStringLiteral("Dear [Name], <City>"));
            // The text direction came with version 3.
            EXPECT_EQ(headline->TextDirection, version >= 3 ? tdDown : tdRight);

            const THeadlineText& h = headline->HeadlineText();
            EXPECT_EQ(h.TextDirection, headline->TextDirection);
            EXPECT_EQ(h.Font.Name, QStringLiteral("Georgia"));
            EXPECT_EQ(h.Font.Size, 28);
            EXPECT_EQ(h.Font.Color, Red);
            EXPECT_TRUE(h.Font.Bold);
            EXPECT_FALSE(h.Font.Italic);
            EXPECT_TRUE(h.Font.Underline);
            EXPECT_FALSE(h.Font.StrikeOut);
            EXPECT_EQ(h.Alignment, 1);
            EXPECT_EQ(h.GraduateFromColor, 0x00FF00u);
            EXPECT_EQ(h.GraduateToColor, Blue);
            EXPECT_EQ(h.GraduateStyle, gsVertical);
            EXPECT_EQ(h.TextureFile, QStringLiteral("stone.bmp"));
            EXPECT_TRUE(h.Texture);
            EXPECT_EQ(h.HighlightDepth, 3); // stored as 0x103: the low 8 bits are kept
            EXPECT_EQ(h.HighlightStyle, ssExtrude);
            EXPECT_EQ(h.HighlightColor, 0xFFFFFFu);
            EXPECT_EQ(h.HighlightDirection, sdUpRight);
            EXPECT_EQ(h.ShadowDepth, 4);
            EXPECT_EQ(h.ShadowStyle, ssGraduated);
            EXPECT_EQ(h.ShadowColor, 0x404040u);
            EXPECT_EQ(h.ShadowDirection, sdDownLeft);
            EXPECT_EQ(h.Color, 0x00FFFFu);
            EXPECT_EQ(h.BackFromColor, 1u);
            EXPECT_EQ(h.BackToColor, 2u);
            EXPECT_EQ(h.BackDirection, 1);
            EXPECT_EQ(h.BackTextureFile, QStringLiteral("paper.bmp"));
            EXPECT_EQ(h.BackStyle, basTexture);
            EXPECT_EQ(h.BorderSize(), 10); // 12 stored, brought within 0..10
            EXPECT_EQ(h.BorderColor, 0xAAu);
            EXPECT_TRUE(h.DeleteBlankLines);

            // The codes, and the text shown with them.
            ASSERT_EQ(headline->Codes().Count(), 2);
            const auto* name = dynamic_cast<const TPersonalizedText*>(headline->Code(0));
            ASSERT_TRUE(name);
            EXPECT_EQ(name->Name, QStringLiteral("Name"));
            EXPECT_EQ(name->Position, 6);
            EXPECT_EQ(name->UserValue, QStringLiteral("Ann"));
            const auto* city = dynamic_cast<const TDatabaseText*>(headline->Code(1));
            ASSERT_TRUE(city);
            EXPECT_EQ(city->Name, QStringLiteral("City"));
            EXPECT_EQ(city->Position, 14);
            EXPECT_EQ(h.Lines, QStringList{QStringLiteral("Dear Ann, <City>")});
        });
    }
}

TEST_F(ObjectOldRecords, LegacyTextObjectRecords) {
    // Five headlines, one per shadow kind 0..4, then a long text in a narrow frame.
    for (int version : {1, 2, 3, 4, 5}) {
        SCOPED_TRACE(version);
        const std::string file = "textobject-v" + std::to_string(version) + ".qdx";
        CheckLoadedAndReloaded(file.c_str(), [&](const TObjects& objects) {
            ASSERT_EQ(objects.size(), 7u);
            ExpectClosingRectangle(objects[6]);
            for (int kind = 0; kind < 5; ++kind) {
                SCOPED_TRACE(kind);
                auto* headline = As<THeadlineObject>(objects[size_t(kind)]);
                if (!headline) continue;
                const THeadlineText& h = headline->HeadlineText();
                const int top = 60 * kind;
                // Only the corner is read: the size is the box of the text. Version 1 gave
                // it in screen pixels, (10, top) at 96 pixels per inch.
                const int tops[] = {0, 63, 125, 188, 250};
                EXPECT_EQ(headline->Bounds.Left, 10);
                EXPECT_EQ(headline->Bounds.Top, version == 1 ? tops[kind] : top);
                EXPECT_EQ(headline->Bounds.Width(), ScreenToUnits(h.Box().width()));
                EXPECT_EQ(headline->Bounds.Height(), ScreenToUnits(h.Box().height()));
                EXPECT_EQ(headline->LinkType, ltNone);

                // The code table exists from version 4 on; before, brackets are plain text.
                if (kind == 0) {
                    EXPECT_EQ(
                        TextLines(headline->Text),
                        (QStringList{QStringLiteral("Line one"), QStringLiteral("Line [two]")}));
                    if (version >= 4) {
                        ASSERT_EQ(headline->Codes().Count(), 1);
                        const auto* code =
                            dynamic_cast<const TPersonalizedText*>(headline->Code(0));
                        ASSERT_TRUE(code);
                        EXPECT_EQ(code->Name, QStringLiteral("two"));
                        EXPECT_EQ(code->Position, 16);
                        EXPECT_EQ(h.Lines, (QStringList{QStringLiteral("Line one"),
                                                        QStringLiteral("Line 2")}));
                    } else {
                        EXPECT_EQ(headline->Codes().Count(), 0);
                        EXPECT_EQ(h.Lines, (QStringList{QStringLiteral("Line one"),
                                                        QStringLiteral("Line [two]")}));
                    }
                } else {
                    EXPECT_EQ(headline->Text, QStringLiteral("Shadow %1").arg(kind));
                    EXPECT_EQ(headline->Codes().Count(), 0);
                }

                // The font: its size is two points smaller, but at least 1.
                EXPECT_EQ(h.Font.Name, QStringLiteral("Courier New"));
                EXPECT_EQ(h.Font.Color, 0x112233u);
                EXPECT_EQ(h.Font.Size, kind == 1 ? 1 : 22);
                EXPECT_FALSE(h.Font.Bold);
                EXPECT_TRUE(h.Font.Italic);
                EXPECT_FALSE(h.Font.Underline);
                EXPECT_TRUE(h.Font.StrikeOut);
                EXPECT_EQ(h.Alignment, 2);

                // Shadow kinds 1..4 are plain shadows up-left, up-right, down-left and
                // down-right; the colour byte is the colour value. Kind 0 has no shadow. Old
                // headlines had no highlight.
                const quint8 directions[] = {sdNone, sdUpLeft, sdUpRight, sdDownLeft,
                                             sdDownRight};
                EXPECT_EQ(h.ShadowDirection, directions[kind]);
                EXPECT_EQ(h.ShadowStyle, ssPlain);
                EXPECT_EQ(h.ShadowColor, kind == 0 ? 0u : 0x80u);
                EXPECT_EQ(h.ShadowDepth, kind == 0 ? 0 : 3 + kind);
                EXPECT_EQ(h.HighlightDepth, 0);

                // Background and border: version 1 gives palette indexes (background 255 is
                // transparent); later versions a palette background with a transparent
                // flag, and a border colour byte taken as the colour value.
                const bool transparent = kind == 0;
                EXPECT_EQ(h.BackStyle, transparent ? basTransparent : basSolid);
                if (version > 1 || !transparent) {
                    EXPECT_EQ(h.Color, Red);
                }
                EXPECT_EQ(h.BorderColor, version == 1 ? Blue : 12u);
                EXPECT_EQ(h.BorderSize(), 2 + kind);

                EXPECT_EQ(headline->TextDirection, kind % 4);
                EXPECT_EQ(h.TextDirection, kind % 4);
                // The flag to delete blank lines came with version 3.
                EXPECT_EQ(h.DeleteBlankLines, version >= 3);
            }

            // The text is word-wrapped to the width of the frame.
            if (auto* narrow = As<THeadlineObject>(objects[5])) {
                const QStringList lines = TextLines(narrow->Text);
                EXPECT_GT(lines.size(), 1);
                EXPECT_EQ(lines.join(QLatin1Char(' ')),
                          QStringLiteral("the quick brown fox jumps over the lazy dog"));
                EXPECT_EQ(narrow->HeadlineText().Font.Size, 12);
            }
        });
    }
}

TEST_F(ObjectOldRecords, RichTextVersion0HasNoLinksAndNoTransparency) {
    CheckLoadedAndReloaded("richtext-v0.qdx", [](const TObjects& objects) {
        ASSERT_EQ(objects.size(), 3u);
        ExpectClosingRectangle(objects[2]);
        const auto* first = As<TRichTextObject>(objects[0]);
        const auto* second = As<TRichTextObject>(objects[1]);
        if (!first || !second) return;
        EXPECT_EQ(first->Bounds, (TRect{10, 10, 300, 200}));
        EXPECT_TRUE(first->CenterHorizontally);
        EXPECT_TRUE(first->CenterVertically);
        EXPECT_EQ(first->ContentBlock(), QByteArray("{\\rtf1 first}"));
        EXPECT_FALSE(first->Transparent);
        EXPECT_EQ(first->Successor(), nullptr);
        EXPECT_EQ(first->Predecessor(), nullptr);
        // The size after the block is the one kept.
        EXPECT_EQ(second->ContentBlock(), QByteArray("abcde"));
        EXPECT_FALSE(second->Transparent);
    });
}

TEST_F(ObjectOldRecords, RichTextVersion1HasLinksButNoTransparency) {
    // In a storage file of version 1, whose references are 16 bits wide.
    CheckLoadedAndReloaded("richtext-v1.qdx", [](const TObjects& objects) {
        ASSERT_EQ(objects.size(), 3u);
        ExpectClosingRectangle(objects[2]);
        auto* one = As<TRichTextObject>(objects[0]);
        auto* two = As<TRichTextObject>(objects[1]);
        if (!one || !two) return;
        EXPECT_EQ(one->ContentBlock(), QByteArray("one"));
        EXPECT_EQ(two->ContentBlock(), QByteArray("two"));
        EXPECT_EQ(one->Successor(), two);
        EXPECT_EQ(two->Predecessor(), one);
        EXPECT_EQ(one->Predecessor(), nullptr);
        EXPECT_EQ(two->Successor(), nullptr);
        EXPECT_FALSE(one->Transparent);
        EXPECT_FALSE(two->Transparent);
    });
}

namespace {

constexpr int WmfSize = 80; // placeable header 22, metafile header 18, records 40
constexpr int BmpSize = 70; // 2 x 2 pixels, 24 bits

void ExpectBitmapPicture(TCardObject* object) {
    const auto* picture = As<TPictureObject>(object);
    if (!picture) return;
    EXPECT_TRUE(picture->HasPicture);
    EXPECT_FALSE(picture->IsMetafile);
    EXPECT_EQ(picture->Bitmap.Bytes.size(), BmpSize);
    EXPECT_EQ(picture->BitmapSize(), QSize(2, 2));
}

void ExpectWmfPicture(TCardObject* object) {
    const auto* picture = As<TPictureObject>(object);
    if (!picture) return;
    EXPECT_TRUE(picture->HasPicture);
    EXPECT_TRUE(picture->IsMetafile);
    EXPECT_EQ(picture->Metafile.Format, TMetafileFormat::Wmf);
    EXPECT_EQ(picture->Metafile.Bytes.size(), WmfSize);
    EXPECT_EQ(TMetafileData::DeclaredSize(picture->Metafile.Bytes), WmfSize);
    EXPECT_TRUE(picture->Bitmap.IsEmpty());
}

} // namespace

TEST_F(ObjectOldRecords, PictureVersion0HasNoPresenceFlagAndTheOlderMetafileCount) {
    CheckLoadedAndReloaded("picture-v0.qdx", [](const TObjects& objects) {
        ASSERT_EQ(objects.size(), 3u);
        ExpectBitmapPicture(objects[0]);
        ExpectWmfPicture(objects[1]);
        ExpectClosingRectangle(objects[2]);
    });
}

TEST_F(ObjectOldRecords, PictureVersion1ReadsMetafilesInEitherCount) {
    CheckLoadedAndReloaded("picture-v1.qdx", [](const TObjects& objects) {
        ASSERT_EQ(objects.size(), 5u);
        if (const auto* none = As<TPictureObject>(objects[0])) {
            EXPECT_FALSE(none->HasPicture);
            EXPECT_TRUE(none->Bitmap.IsEmpty());
            EXPECT_TRUE(none->Metafile.IsEmpty());
            EXPECT_EQ(none->Bounds, (TRect{0, 0, 100, 100}));
        }
        ExpectWmfPicture(objects[1]); // the count of the image alone
        ExpectWmfPicture(objects[2]); // the standard count, four more bytes after the image
        ExpectBitmapPicture(objects[3]);
        ExpectClosingRectangle(objects[4]);
    });
}

TEST_F(ObjectOldRecords, GridVersion0SharesTheObjectAmongColumnsAndRows) {
    // Font and alignment of the oldest grids come from the grid defaults.
    TSettingsStore& settings = Test.Context.Settings();
    const QString section = QStringLiteral("Default Grid");
    settings.WriteString(section, QStringLiteral("Font Name"), QStringLiteral("Times New Roman"));
    settings.WriteInteger(section, QStringLiteral("Font Size"), 14);
    settings.WriteInteger(section, QStringLiteral("Font Color"), 0x00AA00);
    settings.WriteInteger(section, QStringLiteral("Font Style"), 2);
    settings.WriteInteger(section, QStringLiteral("Justification"), 0);

    struct TExpected {
        quint32 Color, LineColor;
        int LineWidth;
        std::vector<int> Widths, Heights;
    };
    const TExpected grids[] = {
        // 104 x 63 units = 100 x 60 pixels; (100 - 4 x 1) div 3 and (60 - 3 x 1) div 2.
        {Red, Blue, 1, {32, 32, 32}, {28, 28}},
        // Clear: white. 204 x 100 units = 196 x 96 pixels; (196 - 5 x 3) div 4, 96 - 2 x 3.
        {0xFFFFFF, PaletteColorRef(2), 3, {45, 45, 45, 45}, {90}},
    };
    CheckLoadedAndReloaded("grid-v0.qdx", [&](const TObjects& objects) {
        ASSERT_EQ(objects.size(), 3u);
        ExpectClosingRectangle(objects[2]);
        for (size_t g = 0; g < 2; ++g) {
            SCOPED_TRACE(g);
            auto* grid = As<TGridObject>(objects[g]);
            if (!grid) continue;
            const TGridTable& t = grid->Table();
            EXPECT_EQ(t.Color, grids[g].Color);
            EXPECT_EQ(t.LineColor, grids[g].LineColor);
            EXPECT_EQ(t.TrueLineWidth, grids[g].LineWidth);
            EXPECT_EQ(t.ColumnWidths(), grids[g].Widths);
            EXPECT_EQ(t.RowHeights(), grids[g].Heights);
            for (int r = 0; r < t.RowCount(); ++r)
                for (int c = 0; c < t.ColumnCount(); ++c)
                    EXPECT_TRUE(t.Cell(c, r).isEmpty());
            EXPECT_EQ(t.FontName, QStringLiteral("Times New Roman"));
            EXPECT_EQ(t.TrueFontSize, 14);
            EXPECT_EQ(t.FontColor, 0x00AA00u);
            EXPECT_EQ(t.FontStyle, 2);
            EXPECT_EQ(t.Alignment, 0);
        }
    });
}

TEST_F(ObjectOldRecords, GridVersion1TakesItsTotalSizeFromTheObject) {
    CheckLoadedAndReloaded("grid-v1.qdx", [](const TObjects& objects) {
        ASSERT_EQ(objects.size(), 2u);
        ExpectClosingRectangle(objects[1]);
        auto* grid = As<TGridObject>(objects[0]);
        if (!grid) return;
        const TGridTable& t = grid->Table();
        EXPECT_EQ(t.TrueWidth, 240); // 250 x 125 units at 96 pixels per inch
        EXPECT_EQ(t.TrueHeight, 120);
        EXPECT_EQ(t.Color, 0x00E0E0u);
        EXPECT_EQ(t.LineColor, 0x000080u);
        EXPECT_EQ(t.TrueLineWidth, 2);
        EXPECT_EQ(t.FontName, QStringLiteral("Verdana"));
        EXPECT_EQ(t.TrueFontSize, 11);
        EXPECT_EQ(t.FontColor, 0x123456u);
        EXPECT_EQ(t.FontStyle, 5);
        EXPECT_EQ(t.Alignment, 1);
        EXPECT_EQ(t.ColumnWidths(), (std::vector<int>{70, 90}));
        EXPECT_EQ(t.RowHeights(), (std::vector<int>{20, 25, 30}));
        EXPECT_EQ(t.Cell(0, 0), QStringLiteral("a1"));
        EXPECT_EQ(t.Cell(1, 0), QStringLiteral("b1"));
        EXPECT_EQ(t.Cell(0, 1), QStringLiteral("a2"));
        EXPECT_EQ(t.Cell(1, 1), QStringLiteral("b2"));
        EXPECT_EQ(t.Cell(0, 2), QString());
        EXPECT_EQ(t.Cell(1, 2), QStringLiteral("Caf\u00e9"));
    });
}

TEST_F(ObjectOldRecords, FieldVersion0HasNoRequiredFlag) {
    CheckLoadedAndReloaded("field-v0.qdx", [](const TObjects& objects) {
        ASSERT_EQ(objects.size(), 3u);
        ExpectClosingRectangle(objects[2]);
        if (const auto* total = As<TFieldObject>(objects[0])) {
            EXPECT_EQ(total->Bounds, (TRect{10, 10, 210, 40}));
            ExpectShape(total, 14, false, 4, 1);
            EXPECT_EQ(total->Justification, TFieldObject::jRight);
            EXPECT_EQ(total->Font.Name, QStringLiteral("Tahoma"));
            EXPECT_EQ(total->Font.Color, Red);
            EXPECT_EQ(total->Font.Size, 9);
            EXPECT_TRUE(total->Font.Bold);
            EXPECT_FALSE(total->Font.Italic);
            EXPECT_EQ(total->DecimalPlaces, 3);
            EXPECT_EQ(total->Formula, QStringLiteral("{A}+{B}"));
            EXPECT_EQ(total->FieldName, QStringLiteral("Total"));
            EXPECT_FALSE(total->Required);
        }
        if (const auto* a = As<TFieldObject>(objects[1])) {
            EXPECT_EQ(a->FieldName, QStringLiteral("A"));
            EXPECT_EQ(a->Value, QStringLiteral("2"));
            EXPECT_FALSE(a->Required);
        }
    });
}
