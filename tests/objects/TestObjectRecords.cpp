#include "document/Card.h"
#include "document/Control.h"
#include "document/Replacement.h"
#include "objects/BarCode.h"
#include "objects/Comb.h"
#include "objects/Ellipse.h"
#include "objects/Grid.h"
#include "objects/Headline.h"
#include "objects/Line.h"
#include "objects/Picture.h"
#include "objects/RichText.h"
#include "objects/RoundedRectangle.h"
#include "support/BmpBytes.h"
#include "support/DocumentFixtures.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray TinyBmp(int width, int height) {
    return BmpBytes(width, height);
}

QByteArray TinyEmf() {
    QByteArray emf(108, '\0');
    qToLittleEndian<quint32>(1, emf.data());
    qToLittleEndian<quint32>(88, emf.data() + 4);
    qToLittleEndian<quint32>(0x464D4520, emf.data() + 40);
    qToLittleEndian<quint32>(108, emf.data() + 48);
    qToLittleEndian<quint32>(14, emf.data() + 88);
    qToLittleEndian<quint32>(20, emf.data() + 92);
    return emf;
}

// A document holding one object of every kind, each with values away from its defaults.
std::unique_ptr<TCard> EveryKind() {
    auto card = std::make_unique<TCard>(0, 0);
    card->SetDescription(QStringLiteral("Every kind — ünïcödé"));
    TCardPanel& front = *card->Pages(0)->Panels(0);
    TCardPanel& inside = *card->Pages(0)->Panels(1);

    auto* rectangle = new TRectangleObject(true, false);
    rectangle->Bounds = {10, 20, 110, 220};
    rectangle->FillColor = 3;
    rectangle->BorderColor = 4;
    rectangle->BorderSize = 2;
    rectangle->Locked = true;
    rectangle->LinkType = ltAddress;
    rectangle->LinkTarget = QStringLiteral("https://example.org/qdx");
    front.AddObject(rectangle);

    auto* ellipse = new TEllipseObject(false, true);
    ellipse->Bounds = {0, 0, 50, 60};
    ellipse->ClearFill = true;
    front.AddObject(ellipse);

    auto* rounded = new TRRectangleObject();
    rounded->Bounds = {5, 6, 70, 80};
    rounded->FillColor = 14;
    front.AddObject(rounded);

    auto* line = new TLineObject();
    line->Bounds = {300, 400, 100, 50}; // right to left, bottom to top
    line->LineColor = 9;
    line->LineStyle = 3;
    line->LineWidth = 12;
    front.AddObject(line);

    auto* field = new TFieldObject();
    field->Bounds = {10, 300, 210, 330};
    field->FieldName = QStringLiteral("Total");
    field->Formula = QStringLiteral("{Qty}*{Price}");
    field->DecimalPlaces = 2;
    field->Justification = TFieldObject::jRight;
    field->Font = {QStringLiteral("Courier New"), 14, 0x00FF00, true, false, true, false};
    field->Required = true;
    field->Value = QStringLiteral("6.00");
    front.AddObject(field);

    auto* comb = new TCombObject();
    comb->Bounds = {10, 500, 400, 540};
    comb->CombEdge = false;
    comb->CombStyle = TCombObject::csLeft;
    comb->Spaces = 12;
    comb->BorderSize = 2;
    front.AddObject(comb);

    auto* code = new TBarCodeObject();
    code->Bounds = {100, 600, 300, 680};
    code->BarCodeType = bcCode128;
    code->Data = QStringLiteral("phone");
    code->UseDatabaseField = true;
    code->ShowText = false;
    front.AddObject(code);

    auto* picture = new TPictureObject();
    picture->Bounds = {400, 10, 500, 110};
    picture->HasPicture = true;
    picture->Bitmap.Bytes = TinyBmp(3, 2);
    front.AddObject(picture);

    auto* metafile = new TPictureObject();
    metafile->Bounds = {400, 200, 500, 300};
    metafile->HasPicture = true;
    metafile->IsMetafile = true;
    metafile->Metafile = {TMetafileFormat::Emf, TinyEmf()};
    front.AddObject(metafile);

    front.AddObject(new TPictureObject()); // no picture yet

    auto* headline = new THeadlineObject();
    headline->Bounds = {20, 700, 400, 780};
    headline->Text = QStringLiteral("Dear [Name],\r\nfrom <city>");
    headline->ScanPlaceholders();
    static_cast<TPersonalizedText*>(headline->Code(0))->UserValue = QStringLiteral("Ann");
    THeadlineText& style = headline->HeadlineText();
    style.Font = {QStringLiteral("Arial"), 36, 0x0000FF, true, true, false, true};
    style.Alignment = haCentre;
    style.BackStyle = basGradient;
    style.BackFromColor = 0x112233;
    style.BackToColor = 0x445566;
    style.BackDirection = 1;
    style.BackTextureFile = QStringLiteral("paper.bmp");
    style.GraduateStyle = gsVertical;
    style.GraduateFromColor = 0xAA;
    style.GraduateToColor = 0xBB00;
    style.Texture = true;
    style.TextureFile = QStringLiteral("marble.bmp");
    style.ShadowColor = 0x808080;
    style.ShadowDepth = 5;
    style.ShadowDirection = sdDownLeft;
    style.ShadowStyle = ssGraduated;
    style.HighlightColor = 0xFFFF00;
    style.HighlightDepth = 2;
    style.HighlightDirection = sdUp;
    style.HighlightStyle = ssExtrude;
    style.SetBorderSize(4);
    style.BorderColor = 0x123456;
    style.DeleteBlankLines = true;
    headline->SetTextDirection(tdDown);
    headline->RefreshText();
    headline->FitBounds(); // as every headline on a page is
    inside.AddObject(headline);

    auto* grid = new TGridObject();
    grid->Bounds = {20, 20, 300, 200};
    TGridTable& table = grid->Table();
    table.SetSize(3, 2);
    table.ColumnWidths() = {40, 50, 60};
    table.RowHeights() = {20, 30};
    table.SetCell(0, 0, QStringLiteral("Item"));
    table.SetCell(2, 1, QStringLiteral("9.99"));
    table.Color = 0xEEEEEE;
    table.LineColor = 0x0000FF;
    table.TrueLineWidth = 2;
    table.FontName = QStringLiteral("Times New Roman");
    table.TrueFontSize = 11;
    table.FontColor = 0x00FF00;
    table.FontStyle = 5;
    table.Alignment = 1;
    table.TrueWidth = 160;
    table.TrueHeight = 60;
    inside.AddObject(grid);

    auto* first = new TRichTextObject(true, true, false);
    first->Bounds = {20, 300, 300, 500};
    first->SetContentBlock(QByteArray("QDXRTF1<p>The story begins</p>"));
    auto* second = new TRichTextObject();
    second->Bounds = {20, 20, 300, 500};
    inside.AddObject(first);
    card->Pages(0)->Panels(2)->AddObject(second);
    first->SetSuccessor(second);
    second->SetPredecessor(first);

    card->Add(new TCardPage(0)); // a second, empty page
    return card;
}

} // namespace

TEST(ObjectRecords, EveryKindRoundTripsByteForByte) {
    TTestContext test;
    const auto card = EveryKind();
    const QByteArray first = CardToBytes(*card);
    const auto loaded = CardFromBytes(first);
    const QByteArray second = CardToBytes(*loaded);
    EXPECT_EQ(second, first);
    EXPECT_EQ(CardToBytes(*CardFromBytes(second)), first);
}

TEST(ObjectRecords, EveryKindKeepsItsValues) {
    TTestContext test;
    const auto card = Reloaded(*EveryKind());
    EXPECT_EQ(card->Description, QStringLiteral("Every kind — ünïcödé"));
    const TCardPanel& front = *card->Pages(0)->Panels(0);
    ASSERT_EQ(front.Count(), 10);

    const auto* rectangle = dynamic_cast<const TRectangleObject*>(front.Items(0));
    ASSERT_NE(rectangle, nullptr);
    EXPECT_EQ(rectangle->Bounds, (TRect{10, 20, 110, 220}));
    EXPECT_TRUE(rectangle->CenterHorizontally);
    EXPECT_TRUE(rectangle->Locked);
    EXPECT_EQ(rectangle->LinkType, ltAddress);
    EXPECT_EQ(rectangle->LinkTarget, QStringLiteral("https://example.org/qdx"));
    EXPECT_EQ(rectangle->BorderSize, 2);

    const auto* line = dynamic_cast<const TLineObject*>(front.Items(3));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Bounds, (TRect{300, 400, 100, 50})); // direction kept
    EXPECT_EQ(line->LineWidth, 12);

    const auto* field = dynamic_cast<const TFieldObject*>(front.Items(4));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->Formula, QStringLiteral("{Qty}*{Price}"));
    EXPECT_EQ(field->Font.Name, QStringLiteral("Courier New"));
    EXPECT_TRUE(field->Font.Underline);
    EXPECT_TRUE(field->Required);
    EXPECT_EQ(card->Pages(0)->FieldOrder.Items(0), field);

    const auto* comb = dynamic_cast<const TCombObject*>(front.Items(5));
    ASSERT_NE(comb, nullptr);
    EXPECT_EQ(comb->Spaces, 12);
    EXPECT_EQ(comb->CombStyle, TCombObject::csLeft);

    const auto* code = dynamic_cast<const TBarCodeObject*>(front.Items(6));
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->BarCodeType, bcCode128);
    EXPECT_TRUE(code->UseDatabaseField);
    EXPECT_TRUE(code->UsesRecordData());

    const auto* picture = dynamic_cast<const TPictureObject*>(front.Items(7));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->BitmapSize(), QSize(3, 2));
    const auto* metafile = dynamic_cast<const TPictureObject*>(front.Items(8));
    EXPECT_EQ(metafile->Metafile.Format, TMetafileFormat::Emf);
    EXPECT_FALSE(dynamic_cast<const TPictureObject*>(front.Items(9))->HasPicture);

    const TCardPanel& inside = *card->Pages(0)->Panels(1);
    auto* headline = dynamic_cast<THeadlineObject*>(inside.Items(0));
    ASSERT_NE(headline, nullptr);
    EXPECT_EQ(headline->TextDirection, tdDown);
    ASSERT_EQ(headline->Codes().Count(), 2);
    EXPECT_EQ(headline->Code(0)->Position, 6);
    EXPECT_EQ(headline->MergeText(), QStringLiteral("Dear Ann,\r\nfrom <city>"));
    const THeadlineText& style = headline->HeadlineText();
    EXPECT_EQ(style.ShadowStyle, ssGraduated);
    EXPECT_EQ(style.HighlightDirection, sdUp);
    EXPECT_EQ(style.BorderSize(), 4);
    EXPECT_EQ(style.TextureFile, QStringLiteral("marble.bmp"));
    EXPECT_TRUE(style.Font.StrikeOut);

    auto* grid = dynamic_cast<TGridObject*>(inside.Items(1));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->Table().Cell(2, 1), QStringLiteral("9.99"));
    EXPECT_EQ(grid->Table().ColumnWidths(), (std::vector<int>{40, 50, 60}));

    auto* first = dynamic_cast<TRichTextObject*>(inside.Items(2));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Transparent);
    EXPECT_EQ(first->ContentBlock(), QByteArray("QDXRTF1<p>The story begins</p>"));
    EXPECT_EQ(first->Successor(), card->ObjectAt(0, 2, 0));
    EXPECT_EQ(card->PageCount(), 2);
}

TEST(ObjectRecords, CopiesAreIndependentAndComplete) {
    TTestContext test;
    const auto card = EveryKind();
    card->ForEachObject([](TCardObject* object) {
        std::unique_ptr<TStored> copy(CloneStored(object));
        ASSERT_NE(copy, nullptr);
        EXPECT_STREQ(copy->ClassName(), object->ClassName());
        EXPECT_EQ(static_cast<TCardObject*>(copy.get())->Bounds, object->Bounds);
    });
    auto* headline = static_cast<THeadlineObject*>(card->ObjectAt(0, 1, 0));
    std::unique_ptr<TStored> copy(CloneStored(headline));
    auto* h = static_cast<THeadlineObject*>(copy.get());
    EXPECT_EQ(h->Text, headline->Text);
    EXPECT_EQ(h->Codes().Count(), 2);
    EXPECT_NE(h->Code(0), headline->Code(0));
    EXPECT_EQ(h->HeadlineText().ShadowDepth, 5);
    auto* text = static_cast<TRichTextObject*>(card->ObjectAt(0, 1, 2));
    std::unique_ptr<TStored> textCopy(CloneStored(text));
    EXPECT_EQ(static_cast<TRichTextObject*>(textCopy.get())->Successor(), nullptr); // links stay
    EXPECT_EQ(static_cast<TRichTextObject*>(textCopy.get())->ContentBlock(), text->ContentBlock());
}

TEST(ObjectRecords, PlaceholdersFollowTheirLines) {
    TTestContext test;
    THeadlineObject h;
    h.Text = QStringLiteral("[a<b>]");
    h.ScanPlaceholders();
    ASSERT_EQ(h.Codes().Count(), 1);
    EXPECT_STREQ(h.Code(0)->ClassName(), "TDatabaseText");
    EXPECT_EQ(h.Code(0)->Name, QStringLiteral("b"));
    EXPECT_EQ(h.Code(0)->Position, 3);

    h.Text = QStringLiteral("[Name] and [x\r\ny] and <>");
    h.ScanPlaceholders();
    ASSERT_EQ(h.Codes().Count(), 2);
    EXPECT_EQ(h.Code(0)->Position, 1);
    EXPECT_EQ(h.Code(1)->Name, QString()); // empty brackets make an empty name
    EXPECT_EQ(h.MergeText(), QStringLiteral(" and [x\r\ny] and <>"));

    h.Text = QStringLiteral("Dear [Name], [Name]!");
    h.ScanPlaceholders();
    static_cast<TPersonalizedText*>(h.Code(0))->UserValue = QStringLiteral("Ann");
    static_cast<TPersonalizedText*>(h.Code(1))->UserValue = QStringLiteral("Bob");
    EXPECT_EQ(h.MergeText(), QStringLiteral("Dear Ann, Bob!"));
    h.RefreshText();
    EXPECT_EQ(h.HeadlineText().Lines, QStringList{QStringLiteral("Dear Ann, Bob!")});
}

TEST(ObjectRecords, LinesSplitAtEveryKindOfBreak) {
    EXPECT_EQ(SplitLines(QString()), QStringList());
    EXPECT_EQ(SplitLines(QStringLiteral("a\r\nb\rc\nd\r\n")),
              (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines(QStringLiteral("a\r\n\r\nb")), (QStringList{"a", "", "b"}));
}
