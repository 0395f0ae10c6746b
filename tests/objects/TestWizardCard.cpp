// The publications the wizard builds: formats, sheet geometry and the objects of each recipe
// with their fonts, borders and places.

#include "document/Card.h"
#include "document/Palette.h"
#include "document/Units.h"
#include "objects/Headline.h"
#include "objects/Picture.h"
#include "objects/RichText.h"
#include "objects/WizardCard.h"
#include "support/DocumentFixtures.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

namespace {

constexpr TPrinterMargins Margins{25, 17, 13, 50};

class WizardCardTest : public ::testing::Test {
protected:
    WizardCardTest() {
        Test.Context.PrinterMargins = [](bool) { return Margins; };
    }
    TTestContext Test;
};

std::vector<THeadlineObject*> Headlines(const TCard& card, int panel) {
    std::vector<THeadlineObject*> found;
    const TCardPanel* p = card.Pages(0)->Panels(panel);
    for (int i = 0; i < p->Count(); ++i)
        if (auto* h = dynamic_cast<THeadlineObject*>(p->Items(i))) found.push_back(h);
    return found;
}

int ObjectCount(const TCard& card) {
    int count = 0;
    card.ForEachObject([&](TCardObject*) { ++count; });
    return count;
}

int PanelHeight(const TCard& card, int panel) {
    return card.Pages(0)->Panels(panel)->Height;
}

// Text, font, alignment and place of a headline; top -1 for one centred vertically.
void ExpectHeadline(const THeadlineObject* h, const QString& text, int size, int x, int top,
                    quint8 alignment = 2, const char* font = "Arial") {
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->Text, text);
    EXPECT_EQ(h->HeadlineText().Font.Name, QString::fromLatin1(font));
    EXPECT_EQ(h->HeadlineText().Font.Size, size);
    EXPECT_EQ(h->HeadlineText().Font.Color, 0u);
    EXPECT_EQ(h->HeadlineText().Alignment, alignment);
    EXPECT_EQ(h->HeadlineText().BackStyle, basTransparent);
    EXPECT_EQ(h->HeadlineText().ShadowDepth * (h->HeadlineText().ShadowDirection != sdNone), 0);
    EXPECT_TRUE(h->HeadlineText().DeleteBlankLines);
    if (!h->CenterHorizontally) {
        EXPECT_NEAR(h->Bounds.Left, x, 1);
    }
    if (top >= 0) {
        EXPECT_NEAR(h->Bounds.Top, top, 1);
    }
}

TEST_F(WizardCardTest, GreetingCardPutsFourTextsOnTheirPanels) {
    TWizardAnswers a;
    a.OutsideText = QStringLiteral("Happy Birthday");
    a.InsideLeftText = QStringLiteral("Left");
    a.InsideRightText = QStringLiteral("Many happy\nreturns");
    a.FromText = QStringLiteral("Ann");
    auto card = BuildWizardCard(0, a);
    ASSERT_TRUE(card);
    EXPECT_EQ(card->CardFormat, cfBifoldVertical);
    EXPECT_EQ(card->DocumentType, 0);
    const int h = PanelHeight(*card, 0);
    ASSERT_EQ(Headlines(*card, 0).size(), 1u);
    ExpectHeadline(Headlines(*card, 0)[0], a.OutsideText, 36, 50, h / 2);
    ASSERT_EQ(Headlines(*card, 1).size(), 1u);
    const THeadlineObject* left = Headlines(*card, 1)[0];
    ExpectHeadline(left, a.InsideLeftText, 36, 50, -1);
    EXPECT_TRUE(left->CenterVertically);
    EXPECT_NEAR(left->Bounds.Top + left->Bounds.Bottom, PanelHeight(*card, 1), 2);
    const std::vector<THeadlineObject*> right = Headlines(*card, 2);
    ASSERT_EQ(right.size(), 2u);
    ExpectHeadline(right[0], QStringLiteral("Many happy\r\nreturns"), 36, 50,
                   PanelHeight(*card, 2) / 3);
    ExpectHeadline(right[1], a.FromText, 18, 50, 2 * PanelHeight(*card, 2) / 3);
    EXPECT_EQ(right[1]->HeadlineText().BorderSize(), 0);
    EXPECT_EQ(ObjectCount(*card), 4);
}

TEST_F(WizardCardTest, OnlyTheFromTextMakesOneHeadlineTwoThirdsDownPanelTwo) {
    TWizardAnswers a;
    a.FromText = QStringLiteral("With love, Ann");
    a.OutsideText = QStringLiteral("   ");
    a.BorderSize = 5; // greeting cards take no border
    auto card = BuildWizardCard(0, a);
    ASSERT_EQ(ObjectCount(*card), 1);
    ASSERT_EQ(Headlines(*card, 2).size(), 1u);
    const THeadlineObject* from = Headlines(*card, 2)[0];
    ExpectHeadline(from, a.FromText, 18, 50, 2 * PanelHeight(*card, 2) / 3);
    EXPECT_EQ(from->HeadlineText().BorderSize(), 0);
}

TEST_F(WizardCardTest, TrifoldsAndCertificatesMoveTheTexts) {
    TWizardAnswers a;
    a.OutsideText = QStringLiteral("Out");
    a.InsideLeftText = QStringLiteral("L");
    a.InsideRightText = QStringLiteral("R");
    a.FromText = QStringLiteral("F");
    a.GreetingFold = cfTrifoldVertical;
    auto trifold = BuildWizardCard(0, a);
    ASSERT_EQ(trifold->CardFormat, cfTrifoldVertical);
    const std::vector<THeadlineObject*> flap = Headlines(*trifold, 4);
    ASSERT_EQ(flap.size(), 2u);
    EXPECT_EQ(flap[0]->Text, QStringLiteral("R"));
    EXPECT_NEAR(flap[0]->Bounds.Top, PanelHeight(*trifold, 4) / 3, 1);
    EXPECT_EQ(flap[1]->Text, QStringLiteral("F"));
    EXPECT_TRUE(Headlines(*trifold, 2).empty());

    a.GreetingFold = cfCertificateLandscape;
    auto certificate = BuildWizardCard(14, a);
    ASSERT_EQ(certificate->CardFormat, cfCertificateLandscape);
    // One panel: the outside text a third down, the from text two thirds, no inside texts.
    const std::vector<THeadlineObject*> page = Headlines(*certificate, 0);
    ASSERT_EQ(page.size(), 2u);
    const int h = PanelHeight(*certificate, 0);
    ExpectHeadline(page[0], QStringLiteral("Out"), 36, 50, h / 3);
    ExpectHeadline(page[1], QStringLiteral("F"), 18, 50, 2 * h / 3);
}

TEST_F(WizardCardTest, BusinessCardsJoinSixLinesWithTheBorder) {
    TWizardAnswers a;
    a.BusinessCardChoice = 1;
    a.CardName = QStringLiteral("Ann Lee");
    a.CardCompany = QStringLiteral("Lee & Co");
    a.CardTitle = QStringLiteral("Owner");
    a.CardAddress1 = QStringLiteral("12 Oak Street");
    a.CardAddress2 = QStringLiteral("Springfield");
    a.CardPhone = QStringLiteral("555 0100");
    a.BorderColor = 4;
    a.BorderSize = 3;
    auto card = BuildWizardCard(9, a);
    ASSERT_EQ(card->CardFormat, cfBusinessCardSeparated10);
    EXPECT_EQ(card->SheetGeometry.SpacingWidth, 400);
    ASSERT_EQ(ObjectCount(*card), 1);
    const THeadlineObject* h = Headlines(*card, 0)[0];
    ExpectHeadline(h,
                   QStringLiteral("Ann Lee\r\nOwner\r\nLee & Co\r\n12 Oak Street\r\nSpringfield"
                                  "\r\n555 0100"),
                   10, 50, -1);
    EXPECT_TRUE(h->CenterHorizontally);
    EXPECT_TRUE(h->CenterVertically);
    EXPECT_EQ(h->HeadlineText().BorderSize(), 3);
    EXPECT_EQ(h->HeadlineText().BorderColor, PaletteColorRef(4));
    EXPECT_NEAR(h->Bounds.Left + h->Bounds.Right, 350, 2);
    EXPECT_NEAR(h->Bounds.Top + h->Bounds.Bottom, 200, 2);

    EXPECT_EQ(ObjectCount(*BuildWizardCard(9, TWizardAnswers())), 0);
}

TLabelCatalogueRow Stock5160() {
    TLabelCatalogueRow row;
    row.Stock = {QStringLiteral("5160"), 0.5, 0.1875, 1, 2.75, 1, 2.625, 3, 10};
    row.LabelType = QStringLiteral("Address");
    row.LabelShape = QStringLiteral("RRect");
    return row;
}

TEST_F(WizardCardTest, AddressLabelsMergeTheRecipientFieldsOnTheChosenStock) {
    TWizardAnswers a;
    a.LabelCategory = 0;
    a.LabelStock = Stock5160();
    a.LabelsDifferent = true;
    a.SelectedFields = {"Name", "Street", "City", "State", "Zip"};
    a.Address = PreselectAddressFields(a.SelectedFields);
    a.BorderSize = 0;
    auto card = BuildWizardCard(10, a);
    ASSERT_EQ(card->CardFormat, cfLabel);
    EXPECT_EQ(card->SheetGeometry, (TSheetGeometry{19, 50, 263, 100, 275, 100, 3, 10}));
    EXPECT_EQ(card->Pages(0)->Panels(0)->Width, 263);
    EXPECT_EQ(card->Pages(0)->Panels(0)->Height, 100);
    ASSERT_EQ(ObjectCount(*card), 1);
    THeadlineObject* h = Headlines(*card, 0)[0];
    ExpectHeadline(h, QStringLiteral("<Name>\r\n<Street>\r\n<City>, <State> <Zip>"), 10, 50, -1);
    EXPECT_TRUE(h->CenterHorizontally && h->CenterVertically);
    EXPECT_EQ(h->Codes().Count(), 5);

    // All the same: the typed text.
    a.LabelsDifferent = false;
    a.LabelText = QStringLiteral("Fragile");
    EXPECT_EQ(Headlines(*BuildWizardCard(10, a), 0)[0]->Text, QStringLiteral("Fragile"));
}

TEST_F(WizardCardTest, BannerRunsAcrossTheSheetsItsTextNeeds) {
    TWizardAnswers a;
    a.BannerText = QStringLiteral("WELCOME HOME");
    a.BorderSize = 4;
    a.BorderColor = 1;
    auto card = BuildWizardCard(12, a);
    ASSERT_EQ(card->CardFormat, cfBanner);
    const int printable = 850 - Margins.Left - Margins.Right;
    const double perSheetPixels = printable * 96.0 / 100;
    const int need = BannerTextWidth(a.BannerText) + 2 * (4 + 5);
    const int sheets = int(std::ceil(need / perSheetPixels));
    EXPECT_GT(sheets, 1);
    EXPECT_EQ(card->SheetGeometry.NumAcross, sheets);
    EXPECT_EQ(card->SheetGeometry.LabelWidth, Margins.Left + sheets * printable + Margins.Right);
    EXPECT_EQ(card->Pages(0)->Panels(0)->Width, card->SheetGeometry.LabelWidth);
    ASSERT_EQ(ObjectCount(*card), 1);
    const THeadlineObject* h = Headlines(*card, 0)[0];
    ExpectHeadline(h, a.BannerText, 500, 50, -1);
    EXPECT_TRUE(h->CenterHorizontally && h->CenterVertically);
    EXPECT_EQ(h->HeadlineText().BorderSize(), 4);
    // The text fits the banner it made.
    EXPECT_GE(h->Bounds.Left, 0);
    EXPECT_LE(h->Bounds.Right, card->SheetGeometry.LabelWidth);
}

TEST_F(WizardCardTest, EnvelopeCentresTheMailingAddressByItsLongestLine) {
    TWizardAnswers a;
    a.ReturnAddress = QStringLiteral("Ann Lee\n12 Oak Street");
    a.MailingAddress = QStringLiteral("Bob Marsh\n400 Lake Road, Madison WI 53703");
    auto card = BuildWizardCard(11, a);
    ASSERT_EQ(card->CardFormat, cfEnvelope);
    const std::vector<THeadlineObject*> h = Headlines(*card, 0);
    ASSERT_EQ(h.size(), 2u);
    ExpectHeadline(h[0], QStringLiteral("Ann Lee\r\n12 Oak Street"), 10, 50, 25, 0);
    ExpectHeadline(h[1], QStringLiteral("Bob Marsh\r\n400 Lake Road, Madison WI 53703"), 10, 0,
                   200, 0);
    EXPECT_TRUE(h[1]->CenterHorizontally);
    const QFontMetrics metrics(h[1]->HeadlineText().Font.ToQFont(96));
    const int longest = ScreenToUnits(
        metrics.boundingRect(QStringLiteral("400 Lake Road, Madison WI 53703")).width());
    EXPECT_NEAR(h[1]->Bounds.Width(), longest, 3);
    EXPECT_NEAR(h[1]->Bounds.Left + h[1]->Bounds.Right, 950, 2);
}

TEST_F(WizardCardTest, ResumeStepsDownBySharesOfEightHundred) {
    TWizardAnswers a;
    a.ResumeName = QStringLiteral("Ann Lee");
    a.SectionTexts[0] = QStringLiteral("Lee & Co, 2010 to now");
    EXPECT_EQ(ResumeStep(a), 800);
    auto card = BuildWizardCard(6, a);
    std::vector<THeadlineObject*> h = Headlines(*card, 0);
    ASSERT_EQ(h.size(), 3u);
    ExpectHeadline(h[0], a.ResumeName, 20, 150, 150, 0);
    EXPECT_TRUE(h[0]->HeadlineText().Font.Bold);
    const int y = 150 + h[0]->Bounds.Height();
    ExpectHeadline(h[1], QStringLiteral("Employment History:"), 16, 100, y, 0);
    EXPECT_TRUE(h[1]->HeadlineText().Font.Bold && h[1]->HeadlineText().Font.Underline);
    ExpectHeadline(h[2], a.SectionTexts[0], 12, 150, y + h[1]->Bounds.Height(), 0,
                   "Times New Roman");

    // Two boxes: 400 apart; the objective box first, titled by the choice.
    a.ResumeAddress = QStringLiteral("12 Oak Street");
    a.ObjectiveChoice = 1;
    a.ObjectiveText = QStringLiteral("A post in sales");
    a.SectionTexts[0].clear();
    a.SectionTexts[1] = QStringLiteral("Sales award 2019");
    a.SectionChecks[1] = {false, true, false, false};
    a.ResumeType = 0;
    EXPECT_EQ(ResumeStep(a), 266);
    card = BuildWizardCard(6, a);
    h = Headlines(*card, 0);
    ASSERT_EQ(h.size(), 6u);
    const int address = 150 + h[0]->Bounds.Height();
    EXPECT_NEAR(h[1]->Bounds.Top, address, 1);
    EXPECT_EQ(h[2]->Text, QStringLiteral("Summary:"));
    EXPECT_NEAR(h[2]->Bounds.Top, address + 266, 1);
    EXPECT_EQ(h[4]->Text, QStringLiteral("Awards:"));
    EXPECT_NEAR(h[4]->Bounds.Top, address + 2 * 266, 1);
}

TEST_F(WizardCardTest, ResumeTitlesTakeTheSectionFormatting) {
    TWizardAnswers a;
    a.ResumeType = 1; // Functional: skills first
    a.SectionTexts[0] = QStringLiteral("Welding");
    a.SectionChecks[0] = {true, true};
    a.TitleFormatting = 2;
    auto centred = BuildWizardCard(6, a);
    const THeadlineObject* title = Headlines(*centred, 0)[0];
    EXPECT_EQ(title->Text, QStringLiteral("Skills, Qualifications:"));
    EXPECT_TRUE(title->CenterHorizontally);
    EXPECT_EQ(title->HeadlineText().Alignment, 2);
    EXPECT_NEAR(title->Bounds.Left + title->Bounds.Right, 850, 2);
    EXPECT_NEAR(title->Bounds.Top, 150, 1); // no name: the cursor has not moved

    a.TitleFormatting = 1;
    auto column = BuildWizardCard(6, a);
    title = Headlines(*column, 0)[0];
    EXPECT_EQ(title->Bounds.Left, 100);
    EXPECT_LE(title->Bounds.Width(), 200);
    EXPECT_EQ(QString(title->Text).remove(QStringLiteral("\r\n")).remove(QLatin1Char(' ')),
              QStringLiteral("Skills,Qualifications:"));

    // Nothing filled: the name alone, no step to share.
    TWizardAnswers empty;
    EXPECT_EQ(ResumeStep(empty), 800);
    EXPECT_EQ(ObjectCount(*BuildWizardCard(6, empty)), 0);
}

TEST_F(WizardCardTest, LetterheadPlacesTheAddressUnderTheNameOrAtTheBottom) {
    TWizardAnswers a;
    a.CompanyName = QStringLiteral("Lee & Co");
    a.Address1 = QStringLiteral("12 Oak Street");
    a.Address2 = QStringLiteral("Springfield");
    a.Phone = QStringLiteral("555 0100");
    auto card = BuildWizardCard(5, a);
    std::vector<THeadlineObject*> h = Headlines(*card, 0);
    ASSERT_EQ(h.size(), 2u);
    ExpectHeadline(h[0], a.CompanyName, 36, 50, 50);
    ExpectHeadline(h[1], QStringLiteral("12 Oak Street\r\nSpringfield\r\n555 0100"), 18, 50, 125);
    a.AddressAtBottom = true;
    ExpectHeadline(Headlines(*BuildWizardCard(5, a), 0)[1], h[1]->Text, 18, 50, 950);
    a.Address1.clear();
    EXPECT_EQ(ObjectCount(*BuildWizardCard(5, a)), 1);
}

TEST_F(WizardCardTest, NewsletterFlyerAndPosterRecipes) {
    TWizardAnswers a;
    a.Headline = QStringLiteral("News");
    auto newsletter = BuildWizardCard(1, a);
    const TCardPanel* panel = newsletter->Pages(0)->Panels(0);
    ASSERT_EQ(panel->Count(), 2);
    ExpectHeadline(Headlines(*newsletter, 0)[0], a.Headline, 36, 50, 50);
    auto* frame = dynamic_cast<TRichTextObject*>(panel->Items(1));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->PlainText().isEmpty());
    EXPECT_EQ(frame->Bounds, (TRect{50, 150, 800, 1100 - Margins.Bottom}));

    a.Headline.clear();
    EXPECT_EQ(ObjectCount(*BuildWizardCard(1, a)), 1); // the frame alone

    a.Headline = QStringLiteral("Sale");
    a.Text = QStringLiteral("Saturday only");
    QTemporaryDir folder;
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    a.PictureFile = folder.filePath(QStringLiteral("tree.png"));
    ASSERT_TRUE(image.save(a.PictureFile));
    auto flyer = BuildWizardCard(2, a);
    const TCardPanel* page = flyer->Pages(0)->Panels(0);
    ASSERT_EQ(page->Count(), 3);
    ExpectHeadline(dynamic_cast<THeadlineObject*>(page->Items(0)), a.Headline, 36, 50, 150);
    auto* picture = dynamic_cast<TPictureObject*>(page->Items(1));
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->HasPicture);
    EXPECT_EQ(picture->Bounds.Top, 250);
    EXPECT_NEAR(picture->Bounds.Width(), 120, 2); // through screen pixels
    EXPECT_NEAR(picture->Bounds.Left + picture->Bounds.Right, 850, 2);
    ExpectHeadline(dynamic_cast<THeadlineObject*>(page->Items(2)), a.Text, 18, 50, 800);

    auto poster = BuildWizardCard(8, a);
    ASSERT_EQ(poster->CardFormat, cfPoster);
    const std::vector<THeadlineObject*> texts = Headlines(*poster, 0);
    ASSERT_EQ(texts.size(), 2u);
    ExpectHeadline(texts[0], a.Headline, 72, 50, 300);
    ExpectHeadline(texts[1], a.Text, 36, 50, 1600);
    EXPECT_EQ(poster->Pages(0)->Panels(0)->Items(1)->Bounds.Top, 500);

    a.PictureFile = QStringLiteral(QDX_TEST_DATA "/pictures/missing.png");
    EXPECT_ANY_THROW(BuildWizardCard(2, a));
}

TEST_F(WizardCardTest, CertificatesAndTypesWithoutRecipes) {
    TWizardAnswers a;
    a.MainText = QStringLiteral("Award");
    a.SecondaryText = QStringLiteral("for Ann");
    for (int type : {3, 4}) {
        SCOPED_TRACE(type);
        auto card = BuildWizardCard(type, a);
        const int h = PanelHeight(*card, 0);
        const std::vector<THeadlineObject*> texts = Headlines(*card, 0);
        ASSERT_EQ(texts.size(), 2u);
        ExpectHeadline(texts[0], a.MainText, 36, 50, h / 3);
        ExpectHeadline(texts[1], a.SecondaryText, 18, 50, 2 * h / 3);
    }
    a.GreetingFold = 2;
    a.BrochureFold = 3;
    auto brochure = BuildWizardCard(7, a);
    EXPECT_EQ(brochure->CardFormat, cfTrifoldHorizontal);
    EXPECT_EQ(ObjectCount(*brochure), 0);
    EXPECT_EQ(BuildWizardCard(40, a), nullptr);
}

TEST_F(WizardCardTest, ChangingTheLabelStockKeepsTheObjects) {
    TWizardAnswers a;
    a.LabelStock = Stock5160();
    a.LabelText = QStringLiteral("Fragile");
    auto card = BuildWizardCard(10, a);
    const TRect before = Headlines(*card, 0)[0]->Bounds;
    card->DocumentModified = false;

    TWizardAnswers change;
    change.LabelStock = Stock5160();
    change.LabelStock->Stock = {QStringLiteral("5163"), 0.5, 0.15625, 2, 4.1875, 2, 4, 2, 5};
    ChangeLabelStock(*card, change);
    EXPECT_EQ(card->SheetGeometry, (TSheetGeometry{16, 50, 400, 200, 419, 200, 2, 5}));
    EXPECT_EQ(card->Pages(0)->Panels(0)->Width, 400);
    EXPECT_EQ(card->Pages(0)->Panels(0)->Height, 200);
    EXPECT_EQ(Headlines(*card, 0)[0]->Bounds, before);
    EXPECT_TRUE(card->DocumentModified);

    // Not a label, or no stock: nothing changes.
    auto banner = BuildWizardCard(12, TWizardAnswers());
    const TSheetGeometry geometry = banner->SheetGeometry;
    ChangeLabelStock(*banner, change);
    EXPECT_EQ(banner->SheetGeometry, geometry);
}

} // namespace
