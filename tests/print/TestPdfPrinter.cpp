#include "print/PdfPrinter.h"

#include "print/PrintPublication.h"
#include "storage/Exception.h"
#include "support/DocumentFixtures.h"
#include "support/PrintFixtures.h"
#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QRgb Red = 0xFF0000, Lime = 0x00FF00, Blue = 0x0000FF, Magenta = 0xFF00FF;
constexpr int RedIndex = 9, LimeIndex = 10, BlueIndex = 12, MagentaIndex = 13;

// Every page of the PDF as poppler draws it, the whole paper at dpi.
std::vector<QImage> RenderPdf(const QString& fileName, int dpi) {
    QTemporaryDir dir;
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), fileName,
                    dir.filePath(QStringLiteral("page"))});
    if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitCode() != 0) return {};
    std::vector<QImage> pages;
    const QStringList names =
        QDir(dir.path()).entryList({QStringLiteral("page-*.png")}, QDir::Files, QDir::Name);
    for (const QString& name : names) pages.push_back(QImage(dir.filePath(name)));
    return pages;
}

QSizeF PageSizePoints(const QString& fileName) {
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {fileName});
    pdfinfo.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(pdfinfo.readAllStandardOutput()).split('\n')) {
        if (!line.startsWith(QLatin1String("Page size:"))) continue;
        const QStringList parts = line.simplified().split(' ');
        return {parts.value(2).toDouble(), parts.value(4).toDouble()};
    }
    return {};
}

// A colour as rendered: anti-aliased edges are left out by taking pure pixels only.
QRect Found(const QImage& page, QRgb colour) {
    return FindColour(page, colour);
}

class PdfPrintTest : public testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
        ASSERT_TRUE(Dir.isValid());
    }
    QString Path(const char* name) const { return Dir.filePath(QString::fromLatin1(name)); }

    TTestContext Test;
    TAnsweredPrintPrompts Prompts{false, false};
    QTemporaryDir Dir;
};

} // namespace

TEST_F(PdfPrintTest, BifoldFrontAndBackLandOnTheirHalvesOfLandscapeLetter) {
    TCard card(0, 0);
    TCardPage& page = *card.Pages(0);
    const TRect mark{100, 100, 200, 300};
    AddBox(*page.Panels(0), mark, RedIndex);
    AddBox(*page.Panels(1), mark, LimeIndex);
    AddBox(*page.Panels(2), mark, BlueIndex);
    AddBox(*page.Panels(3), mark, MagentaIndex);
    TPdfPrinter printer(Path("bifold.pdf"), false, 300);
    const TPrintResult result = PrintPublication(card, printer, Prompts, {});
    EXPECT_EQ(result.Pages, 2);
    EXPECT_EQ(PageSizePoints(Path("bifold.pdf")), QSizeF(792, 612));
    const std::vector<QImage> pages = RenderPdf(Path("bifold.pdf"), 20);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].size(), QSize(220, 170));
    EXPECT_PRED2(Near, Found(pages[0], Red), DeviceRect(650, 100, 750, 300, 20));
    EXPECT_PRED2(Near, Found(pages[0], Magenta), DeviceRect(100, 100, 200, 300, 20));
    EXPECT_TRUE(Found(pages[0], Lime).isNull());
    EXPECT_PRED2(Near, Found(pages[1], Lime), DeviceRect(100, 100, 200, 300, 20));
    EXPECT_PRED2(Near, Found(pages[1], Blue), DeviceRect(650, 100, 750, 300, 20));
}

TEST_F(PdfPrintTest, SimulatedMarginsKeepTheLayoutOnThePaperAndStayBlank) {
    // A horizontal fold on A4 with a printer that cannot reach 0.4 inch at the left, 0.1 at
    // the top, 0.25 at the right and 0.6 at the bottom.
    Test.Context.Metric = true;
    const TPrinterMargins margins{40, 10, 25, 60};
    Test.Context.PrinterMargins = [&](bool) { return margins; };
    TCard card(1, 0);
    card.LayoutAllPages();
    TCardPage& page = *card.Pages(0);
    // The whole front panel in red, a blue corner at its top left; a lime block that runs
    // over the left margin on the back cover.
    AddBox(*page.Panels(0), {0, 0, 827, 584}, RedIndex);
    AddBox(*page.Panels(0), {100, 100, 140, 140}, BlueIndex);
    AddBox(*page.Panels(3), {-50, 100, 100, 200}, LimeIndex);
    TPdfPrinter printer(Path("margins.pdf"), true, 200, margins);
    PrintPublication(card, printer, Prompts, {});
    EXPECT_EQ(PageSizePoints(Path("margins.pdf")).toSize(), QSize(595, 842));
    const std::vector<QImage> pages = RenderPdf(Path("margins.pdf"), 20);
    ASSERT_EQ(pages.size(), 2u);
    const QImage& front = pages[0];
    // The front is turned about the paper's centre: its corner sits above the fold at the
    // right, and the red stops at the margins.
    EXPECT_PRED2(Near, Found(front, Blue), DeviceRect(687, 445, 727, 485, 20));
    const QRect red = Found(front, Red);
    EXPECT_PRED2(Near, red, DeviceRect(40, 10, 827 - 25, 585, 20));
    EXPECT_PRED2(Near, Found(front, Lime), DeviceRect(40, 585 + 100, 100, 585 + 200, 20));
}

TEST_F(PdfPrintTest, AnAbortedJobLeavesTheEarlierFileAndAFailedOneReportsIt) {
    const QString fileName = Path("kept.pdf");
    {
        QFile earlier(fileName);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    {
        TPdfPrinter printer(fileName, false);
        printer.BeginDoc();
        printer.Painter().fillRect(QRect(0, 0, 100, 100), Qt::red);
        printer.Abort();
    }
    {
        TPdfPrinter printer(fileName, false);
        printer.BeginDoc();
        // Destroyed while printing: the same as an abort.
    }
    QFile kept(fileName);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("earlier"));
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.pdf")});

    TPdfPrinter nowhere(Path("missing/folder/out.pdf"), false);
    EXPECT_THROW(nowhere.BeginDoc(), Exception);
    EXPECT_FALSE(nowhere.Printing());
}

TEST(PdfPrinter, AFullDiskFailsTheJobAndKeepsTheEarlierPdf) {
    TSmallDisk disk;
    if (!disk.Mounted()) GTEST_SKIP() << "no small disk can be mounted here";
    const QString fileName = disk.FilePath(QStringLiteral("out.pdf"));
    {
        QFile earlier(fileName);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("%PDF earlier");
    }
    disk.Fill();
    TPdfPrinter printer(fileName, false, 150);
    printer.BeginDoc();
    printer.Painter().fillRect(QRect(0, 0, 500, 500), Qt::red);
    EXPECT_THROW(printer.EndDoc(), EWriteError);
    QFile kept(fileName);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("%PDF earlier"));
    EXPECT_EQ(disk.Files(), QStringList{QStringLiteral("out.pdf")});
}
