#include "document/Card.h"
#include "document/Control.h"
#include "support/DocumentFixtures.h"
#include "support/PrintFixtures.h"
#include "types/CardType.h"
#include "web/JpegWriter.h"
#include "web/WebGen.h"
#include "web/WebLinks.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int RedIndex = 9;
const QRgb Red = 0xFF0000;

QStringList FileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Baseline JPEGs carry a SOF0 frame header; progressive ones SOF2.
bool IsBaselineJpeg(const QByteArray& bytes) {
    return bytes.startsWith("\xFF\xD8") && bytes.contains(QByteArray("\xFF\xC0", 2)) &&
           !bytes.contains(QByteArray("\xFF\xC2", 2));
}

TRectangleObject* AddLinkedBox(TCardPanel& panel, const TRect& bounds, int linkType,
                               const QString& target = {}) {
    TRectangleObject* box = AddBox(panel, bounds, RedIndex);
    box->LinkType = quint8(linkType);
    box->LinkTarget = target;
    return box;
}

class WebGenTest : public testing::Test {
protected:
    TTestContext Test;
    QTemporaryDir Folder;
    TWebPageGenerator Generator;

    QString Path(const QString& name) const { return QDir(Folder.path()).filePath(name); }
};

} // namespace

TEST_F(WebGenTest, FourPanelBifoldPublishesFourPagesWithPicturesOfThePanelSize) {
    TCard card(cfBifoldVertical, dtGreetingCard);
    TCardPage& page = *card.Pages(0);
    for (int i = 0; i < 4; ++i) AddBox(*page.Panels(i), {100 + 10 * i, 100, 300, 250}, RedIndex);

    const TWebPublishResult result = Generator.Publish(card, 0, Folder.path());

    EXPECT_EQ(result.Written, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(result.LeftOut.empty());
    for (const char* name : {"index.htm", "Page2.htm", "Page3.htm", "Page4.htm"})
        EXPECT_TRUE(QFile::exists(Path(QString::fromLatin1(name)))) << name;
    EXPECT_FALSE(QFile::exists(Path("Page1.htm")));
    for (int n = 1; n <= 4; ++n) {
        const QString image = Path(QStringLiteral("Image%1.jpg").arg(n));
        EXPECT_TRUE(IsBaselineJpeg(FileBytes(image))) << n;
        const QImage decoded(image);
        ASSERT_FALSE(decoded.isNull()) << n;
        const TCardPanel& panel = *page.Panels(n - 1);
        EXPECT_EQ(decoded.size(), QSize(panel.Width, panel.Height)) << n;
        // The box sits where its bounds say, one pixel per 1/100 inch (JPEG blurs the edges).
        const QColor inside = decoded.pixelColor(200, 175);
        EXPECT_GT(inside.red(), 200);
        EXPECT_LT(inside.green(), 60);
        EXPECT_GT(decoded.pixelColor(50, 50).green(), 240); // white outside
    }
}

TEST_F(WebGenTest, PageHtmlIsTheListedLinesWithAnAreaPerLinkedObject) {
    TCard card(cfBifoldVertical, dtGreetingCard);
    card.SetDescription(QStringLiteral("Birthday"));
    TCardPanel& first = *card.Pages(0)->Panels(0);
    AddBox(first, {10, 10, 50, 50}, RedIndex); // no link: no AREA
    AddLinkedBox(first, {100, 120, 300, 200}, ltAddress, QStringLiteral("http://example.org/"));
    AddLinkedBox(first, {0, 0, 20, 20}, ltNextPage);

    Generator.Publish(card, 0, Folder.path());

    EXPECT_EQ(FileLines(Path("index.htm")),
              (QStringList{"<HTML>", "<HEAD>", "<TITLE>Birthday</TITLE>", "</HEAD>", "<BODY>",
                           "<IMG src=\"Image1.jpg\" usemap=\"#map1\" alt=\"Image1.jpg\" border=0>",
                           "<MAP name=\"map1\">",
                           "<AREA shape=\"rect\" coords=\"100,120,300,200\" "
                           "alt=\"http://example.org/\" href=\"http://example.org/\">",
                           "<AREA shape=\"rect\" coords=\"0,0,20,20\" alt=\"Page2.htm\" "
                           "href=\"Page2.htm\">",
                           "</MAP>", "</BODY>", "</HTML>"}));
    // A page without linked objects has no map at all.
    EXPECT_EQ(FileLines(Path("Page2.htm")),
              (QStringList{"<HTML>", "<HEAD>", "<TITLE>Birthday</TITLE>", "</HEAD>", "<BODY>",
                           "<IMG src=\"Image2.jpg\" usemap=\"#map1\" alt=\"Image2.jpg\" border=0>",
                           "</BODY>", "</HTML>"}));
}

TEST_F(WebGenTest, PageLinksPointAtTheRightFiles) {
    TCard card(cfQuadfoldVertical, dtGreetingCard);
    const int count = card.Pages(0)->PanelCount();
    ASSERT_EQ(count, 4);
    TCardPanel& panel = *card.Pages(0)->Panels(0);
    AddLinkedBox(panel, {0, 0, 1, 1}, ltPreviousPage);
    AddLinkedBox(panel, {1, 1, 2, 2}, ltNextPage);
    AddLinkedBox(panel, {2, 2, 3, 3}, ltFirstPage);
    AddLinkedBox(panel, {3, 3, 4, 4}, ltLastPage);
    AddLinkedBox(panel, {4, 4, 5, 5}, ltPage, QStringLiteral("1"));
    AddLinkedBox(panel, {5, 5, 6, 6}, ltPage, QStringLiteral("3"));
    AddLinkedBox(panel, {6, 6, 7, 7}, ltEmail, QStringLiteral("mailto:ann@example.org"));
    AddLinkedBox(panel, {7, 7, 8, 8}, ltFile, QStringLiteral("notes.txt"));

    auto targets = [&](int pageNumber) {
        QStringList result;
        for (const QString& entry : Generator.MapEntries(panel, pageNumber, count))
            result << entry.section(QLatin1Char('|'), 1);
        return result;
    };
    // The previous page of page 2 is the main page, not "Page1".
    EXPECT_EQ(targets(2), (QStringList{"index.htm", "Page3.htm", "index.htm", "Page4.htm",
                                       "index.htm", "Page3.htm", "mailto:ann@example.org",
                                       "notes.txt"}));
    EXPECT_EQ(targets(4).mid(0, 2), (QStringList{"Page3.htm", "Page5.htm"}));
    EXPECT_EQ(Generator.MapEntries(panel, 2, count).first(), QStringLiteral("0,0,1,1|index.htm"));

    Generator.MainPageName = 1;
    Generator.HtmlExtension = 1;
    EXPECT_EQ(targets(3).mid(0, 4),
              (QStringList{"Page2.html", "Page4.html", "default.html", "Page4.html"}));
}

TEST_F(WebGenTest, UnfoldedPublicationsPublishTheFirstPanelOfEveryPage) {
    TCard card(cfCertificateLandscape, dtGreetingCard);
    card.Add(new TCardPage(card.CardFormat));
    card.Add(new TCardPage(card.CardFormat));
    card.LayoutAllPages();
    ASSERT_EQ(card.PageCount(), 3);
    const std::vector<const TCardPanel*> panels = TWebPageGenerator::WebPanels(card, 1);
    ASSERT_EQ(panels.size(), 3u);
    for (int p = 0; p < 3; ++p) EXPECT_EQ(panels[size_t(p)], card.Pages(p)->Panels(0));

    TCard folded(cfTrifoldVertical, dtGreetingCard);
    EXPECT_EQ(TWebPageGenerator::WebPanels(folded, 0).size(),
              size_t(folded.Pages(0)->PanelCount()));
}

TEST_F(WebGenTest, APageWhosePictureFailsIsLeftOutAndTheOthersStillLinkByNumber) {
    TCard card(cfBifoldVertical, dtGreetingCard);
    AddLinkedBox(*card.Pages(0)->Panels(0), {0, 0, 10, 10}, ltLastPage);
    Generator.UsePictureWriter([](const QImage& picture, const QString& path) {
        return !path.endsWith(QLatin1String("Image2.jpg")) && SaveJpegFile(picture, path);
    });

    const TWebPublishResult result = Generator.Publish(card, 0, Folder.path());

    EXPECT_EQ(result.Written, (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(result.LeftOut, (std::vector<int>{2}));
    EXPECT_FALSE(QFile::exists(Path("Page2.htm")));
    EXPECT_FALSE(QFile::exists(Path("Image2.jpg")));
    EXPECT_TRUE(FileLines(Path("index.htm")).join('\n').contains("href=\"Page4.htm\""));
}

TEST_F(WebGenTest, TitleDefaultsToTheDescriptionAndIsQuoted) {
    TCard card(cfCertificatePortrait, dtGreetingCard);
    card.SetDescription(QStringLiteral("Tom & Jerry's <party>"));
    AddLinkedBox(*card.Pages(0)->Panels(0), {0, 0, 10, 10}, ltAddress,
                 QStringLiteral("http://x.org/?a=1&b=\"2\""));
    Generator.Publish(card, 0, Folder.path());
    const QStringList lines = FileLines(Path("index.htm"));
    EXPECT_EQ(lines.value(2), QStringLiteral("<TITLE>Tom &amp; Jerry's &lt;party&gt;</TITLE>"));
    EXPECT_TRUE(lines.join('\n').contains(
        "href=\"http://x.org/?a=1&amp;b=&quot;2&quot;\""));

    Generator.PageTitle = QStringLiteral("Our club");
    Generator.Publish(card, 0, Folder.path());
    EXPECT_EQ(FileLines(Path("index.htm")).value(2), QStringLiteral("<TITLE>Our club</TITLE>"));
}

TEST_F(WebGenTest, PublishingIntoAFolderThatCannotBeMadeFails) {
    TCard card(cfBifoldVertical, dtGreetingCard);
    QFile blocker(Path("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(Generator.Publish(card, 0, Path("file/site")), std::exception);
}

TEST(JpegWriter, EncodesAnImageTheDecoderReadsBack) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    const QByteArray jpeg = EncodeJpeg(image);
    ASSERT_TRUE(IsBaselineJpeg(jpeg));
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(jpeg, "JPG"));
    EXPECT_EQ(decoded.size(), image.size());
    const QColor c = decoded.pixelColor(30, 20);
    EXPECT_NEAR(c.green(), 200, 6);
    EXPECT_NEAR(c.red(), 10, 6);
    EXPECT_TRUE(EncodeJpeg(QImage()).isEmpty());
}

TEST(WebLinks, AddressesGainTheirSchemeOnlyWhenTheyHaveNone) {
    EXPECT_EQ(LinkTargetFor(ltAddress, "www.x.org"), "http://www.x.org");
    EXPECT_EQ(LinkTargetFor(ltAddress, "HTTP://X.ORG"), "HTTP://X.ORG");
    EXPECT_EQ(LinkTargetFor(ltAddress, "https://x.org"), "https://x.org");
    EXPECT_EQ(LinkTargetFor(ltAddress, "  www.x.org "), "http://www.x.org");
    EXPECT_EQ(LinkTargetFor(ltEmail, "ann@x.org"), "mailto:ann@x.org");
    EXPECT_EQ(LinkTargetFor(ltEmail, "MAILTO:ann@x.org"), "MAILTO:ann@x.org");
    EXPECT_EQ(LinkTargetFor(ltFile, "/home/ann/a b.pdf"), "/home/ann/a b.pdf");
    EXPECT_EQ(LinkTargetFor(ltPage, "ignored", 3), "3");
    EXPECT_EQ(LinkTargetFor(ltNextPage, "ignored"), "");
    EXPECT_EQ(LinkTargetFor(ltNone, "ignored"), "");
    EXPECT_EQ(LinkPageNumber("4"), 4);
    EXPECT_EQ(LinkPageNumber(""), 1);
}

TEST_F(WebGenTest, LinkDialogPagesFollowTheFormat) {
    TCard folded(cfBifoldVertical, dtGreetingCard);
    TRectangleObject* inside = AddBox(*folded.Pages(0)->Panels(2), {0, 0, 10, 10}, RedIndex);
    const TLinkPages panels = LinkPagesOf(folded, 0, *inside);
    EXPECT_EQ(panels.Current, 3);
    EXPECT_EQ(panels.Count, 4);
    EXPECT_TRUE(panels.NextEnabled());
    EXPECT_TRUE(panels.PreviousEnabled());

    TCard certificate(cfCertificateLandscape, dtGreetingCard);
    certificate.Add(new TCardPage(certificate.CardFormat));
    certificate.LayoutAllPages();
    TRectangleObject* last = AddBox(*certificate.Pages(1)->Panels(0), {0, 0, 10, 10}, RedIndex);
    const TLinkPages pages = LinkPagesOf(certificate, 1, *last);
    EXPECT_EQ(pages.Current, 2);
    EXPECT_EQ(pages.Count, 2);
    EXPECT_FALSE(pages.NextEnabled());
    EXPECT_TRUE(pages.PreviousEnabled());
    // Opening on a next link that cannot be chosen here falls back to page 1.
    const TLinkChoice choice = OpeningLinkChoice(ltNextPage, {}, pages);
    EXPECT_EQ(choice.Type, ltPage);
    EXPECT_EQ(choice.Target, "1");
    EXPECT_EQ(OpeningLinkChoice(ltPreviousPage, {}, pages).Type, ltPreviousPage);

    TCard labels(cfLabel, dtLabel);
    TRectangleObject* label = AddBox(*labels.Pages(0)->Panels(0), {0, 0, 10, 10}, RedIndex);
    const TLinkPages none = LinkPagesOf(labels, 0, *label);
    EXPECT_EQ(none.Count, 0);
    EXPECT_FALSE(none.PageInProjectEnabled());
    EXPECT_EQ(OpeningLinkChoice(ltPreviousPage, {}, none).Type, ltPage);
}
