#include "app/MainForm.h"
#include "app/PrintPreview.h"
#include "document/Card.h"
#include "editor/CardWin.h"
#include "editor/EditorState.h"
#include "objects/Headline.h"
#include "objects/RichText.h"
#include "objects/TextFlow.h"
#include "storage/Exception.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"
#include "support/SmallDisk.h"
#include "support/PrintFixtures.h"
#include "MainWindowFixture.h"
#include "ProgramFolders.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr int RedIndex = 9, LimeIndex = 10, BlueIndex = 12, MagentaIndex = 13;
const QRgb Red = 0xFF0000, Lime = 0x00FF00, Blue = 0x0000FF, Magenta = 0xFF00FF;

struct TRun {
    int ExitCode;
    QString Err;
};

TRun RunQdx(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("QDX_MEASURE"), QStringLiteral("inch"));
    // A user folder of the tests' own: the user's settings and address book stay out of it.
    static const QTemporaryDir user;
    environment.insert(QStringLiteral("QDX_HOME"), user.path());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QDX_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QString Tool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// What a poppler tool prints for the file.
QString Poppler(const char* tool, const QStringList& arguments) {
    QProcess process;
    process.start(Tool(tool), arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPages(const QString& fileName) {
    for (const QString& line : Poppler("pdfinfo", {fileName}).split('\n'))
        if (line.startsWith(QLatin1String("Pages:"))) return line.mid(6).trimmed().toInt();
    return -1;
}

QImage PdfPage(const QString& fileName, int page, int dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("p"));
    Poppler("pdftoppm", {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                         QString::number(page), QStringLiteral("-l"), QString::number(page),
                         QStringLiteral("-singlefile"), QStringLiteral("-png"), fileName,
                         prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

class PrintCommandTest : public testing::Test {
protected:
    void SetUp() override {
        if (Tool("pdftoppm").isEmpty() || Tool("pdfinfo").isEmpty() || Tool("pdftotext").isEmpty())
            GTEST_SKIP() << "poppler-utils is not installed";
    }
    QString Path(const QString& name) const { return Dir.filePath(name); }

    // A vertical bifold: red on the front cover, lime inside left.
    QString SaveBifold() {
        TTestContext test;
        TCard card(0, 0);
        AddBox(*card.Pages(0)->Panels(0), {100, 100, 200, 300}, RedIndex);
        AddBox(*card.Pages(0)->Panels(1), {100, 100, 200, 300}, LimeIndex);
        SaveStoredToFile(Path(QStringLiteral("bifold.qdx")), card);
        return Path(QStringLiteral("bifold.qdx"));
    }

    QTemporaryDir Dir;
};

} // namespace

TEST_F(PrintCommandTest, PrintOnAFullDiskFailsAndKeepsTheEarlierPdf) {
    TSmallDisk disk(512);
    if (!disk.Mounted()) GTEST_SKIP() << "no small disk can be mounted here";
    const QString card = SaveBifold();
    const QString pdf = disk.FilePath(QStringLiteral("card.pdf"));
    ASSERT_EQ(RunQdx({QStringLiteral("print"), card, QStringLiteral("--pdf"), pdf}).ExitCode, 0);
    QFile first(pdf);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray earlier = first.readAll();
    first.close();
    disk.Fill();
    const TRun full = RunQdx({QStringLiteral("print"), card, QStringLiteral("--pdf"), pdf,
                              QStringLiteral("--copies"), QStringLiteral("3")});
    EXPECT_EQ(full.ExitCode, 1);
    EXPECT_TRUE(full.Err.contains(QStringLiteral("Error writing"))) << full.Err.toStdString();
    QFile kept(pdf);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), earlier);
    EXPECT_EQ(PdfPages(pdf), 2);
}

TEST_F(PrintCommandTest, PrintWritesEachPassAsAPageAndOnePassWhenAsked) {
    const QString card = SaveBifold();
    const QString pdf = Path(QStringLiteral("out.pdf"));
    const TRun both = RunQdx({QStringLiteral("print"), card, QStringLiteral("--pdf"), pdf,
                              QStringLiteral("--dpi"), QStringLiteral("100")});
    ASSERT_EQ(both.ExitCode, 0) << both.Err.toStdString();
    EXPECT_EQ(PdfPages(pdf), 2);
    const QImage front = PdfPage(pdf, 1, 20);
    EXPECT_EQ(front.size(), QSize(220, 170)); // landscape Letter
    EXPECT_PRED2(Near, FindColour(front, Red), DeviceRect(650, 100, 750, 300, 20));
    EXPECT_PRED2(Near, FindColour(PdfPage(pdf, 2, 20), Lime), DeviceRect(100, 100, 200, 300, 20));

    const TRun back = RunQdx({QStringLiteral("print"), card, QStringLiteral("--pdf"), pdf,
                              QStringLiteral("--pass"), QStringLiteral("back"),
                              QStringLiteral("--copies"), QStringLiteral("2")});
    ASSERT_EQ(back.ExitCode, 0) << back.Err.toStdString();
    EXPECT_EQ(PdfPages(pdf), 2); // the back of each copy
    EXPECT_TRUE(FindColour(PdfPage(pdf, 1, 20), Red).isNull());
    EXPECT_FALSE(FindColour(PdfPage(pdf, 2, 20), Lime).isNull());
}

TEST_F(PrintCommandTest, BadRequestsFailWithAMessageAndLeaveNoFile) {
    const QString card = SaveBifold();
    const QString pdf = Path(QStringLiteral("never.pdf"));
    struct TCase {
        QStringList Arguments;
        int ExitCode;
        QString Message;
    };
    const std::vector<TCase> cases = {
        {{card}, 2, QStringLiteral("--pdf OUT is required")},
        {{card, "--pdf", pdf, "--dpi", "0"}, 2, QStringLiteral("--dpi takes 72 to 2400")},
        {{card, "--pdf", pdf, "--margins", "10,10"}, 2, QStringLiteral("--margins takes")},
        {{card, "--pdf", pdf, "--pass", "middle"}, 2, QStringLiteral("--pass takes")},
        {{card, "--pdf", pdf, "--from", "2", "--to", "1"}, 2, QStringLiteral("--to comes before")},
        {{card, "--pdf", pdf, "--from", "3"}, 1, QStringLiteral("no page 3")},
        {{card, "--pdf", pdf, "--records"}, 1, QStringLiteral("not connected to a database")},
        {{card, "--pdf", pdf, "--margins", "600,0,600,0"}, 1, QStringLiteral("nothing of the paper")},
        {{Path("none.qdx"), "--pdf", pdf}, 1, QStringLiteral("Cannot open file")},
        {{card, "--pdf", pdf, "--data", Path("none.csv")}, 1,
         QStringLiteral("Error opening database %1.\nThere is no such file.").arg(Path("none.csv"))},
    };
    for (const TCase& c : cases) {
        const TRun run = RunQdx(QStringList{QStringLiteral("print")} + c.Arguments);
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Arguments.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains(c.Message))
            << c.Arguments.join(' ').toStdString() << ": " << run.Err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf)) << c.Arguments.join(' ').toStdString();
    }
}

TEST_F(PrintCommandTest, RecordsFromATableFillTheLabelSheetsInOrder) {
    {
        TTestContext test;
        TCard card(12, 17);
        card.SheetGeometry = {19, 50, 263, 100, 275, 100, 3, 10};
        card.LayoutAllPages();
        auto* headline = new THeadlineObject();
        headline->Text = QStringLiteral("<Name>");
        // Plain text, drawn once: no shadow or highlight copies.
        THeadlineText& look = headline->HeadlineText();
        look.ShadowDepth = 0;
        look.ShadowDirection = sdNone;
        look.HighlightDepth = 0;
        look.HighlightDirection = sdNone;
        headline->ScanPlaceholders();
        headline->Bounds = {10, 10, 250, 60};
        card.Pages(0)->Panels(0)->AddObject(headline);
        SaveStoredToFile(Path(QStringLiteral("labels.qdx")), card);
    }
    QFile csv(Path(QStringLiteral("names.csv")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("\"Name\"\n");
    for (int i = 1; i <= 31; ++i) csv.write(QStringLiteral("\"Name%1x\"\n").arg(i).toUtf8());
    csv.close();
    const QString pdf = Path(QStringLiteral("labels.pdf"));
    const TRun run = RunQdx({QStringLiteral("print"), Path(QStringLiteral("labels.qdx")),
                             QStringLiteral("--pdf"), pdf, QStringLiteral("--records"),
                             QStringLiteral("--data"), csv.fileName()});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(PdfPages(pdf), 2); // 30 labels, then one
    const QString text = Poppler("pdftotext", {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    QStringList names;
    for (const QString& word : text.split(QRegularExpression(QStringLiteral("\\s+"))))
        if (word.startsWith(QLatin1String("Name"))) names.append(word);
    QStringList expected;
    for (int i = 1; i <= 31; ++i) expected.append(QStringLiteral("Name%1x").arg(i));
    EXPECT_EQ(names, expected);
    const QString last = Poppler("pdftotext", {QStringLiteral("-f"), QStringLiteral("2"),
                                               QStringLiteral("-l"), QStringLiteral("2"), pdf,
                                               QStringLiteral("-")});
    EXPECT_EQ(last.simplified(), QStringLiteral("Name31x"));
}

TEST_F(PrintCommandTest, AParadoxTableWithoutItsMemoFileIsNotPrintedWithoutTheNotes) {
    const QString card = SaveBifold();
    const QString pdf = Path(QStringLiteral("never.pdf"));
    const QString table = Path(QStringLiteral("contacts.DB"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QDX_TEST_DATA "/tables/contacts.DB"), table));
    const TRun run = RunQdx({QStringLiteral("print"), card, QStringLiteral("--pdf"), pdf,
                             QStringLiteral("--records"), QStringLiteral("--data"), table});
    EXPECT_EQ(run.ExitCode, 1);
    const QStringList lines = run.Err.trimmed().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 2) << run.Err.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Error opening database %1.").arg(table));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("contacts.MB is missing"))) << run.Err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

namespace {

// The record each label of a 3 x 10 sheet shows in the preview's fixed layout (the sheet at
// (213, 88), a quarter scale), -1 where it is blank.
std::vector<int> PreviewLabels(const QImage& image) {
    std::vector<int> records;
    for (int item = 0; item < 30; ++item) {
        const int x = 214 + MulDiv(19 + (item % 3) * 275 + 130, 96, 400);
        const int y = 89 + MulDiv(50 + (item / 3) * 100 + 50, 96, 400);
        records.push_back(TRecordSwatch::RecordOf(image.pixel(x, y)));
    }
    return records;
}

std::vector<int> Expected(int first, int count, int total = 30) {
    std::vector<int> records(size_t(total), -1);
    for (int i = 0; i < count; ++i) records[size_t(i)] = first + i;
    return records;
}

// The middle of the blue title pixels between left and right, top and bottom.
int BlueCentre(const QImage& image, int left, int right, int top, int bottom) {
    int from = image.width(), to = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (qBlue(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 80) {
                from = std::min(from, x);
                to = std::max(to, x);
            }
    return (from + to) / 2;
}

class PrintWindowTest : public TMainWindowFixture {
protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        MakeMain();
        Dialogs.AnswerPrint = [this](int pageCount, TPrintRequest& request) {
            DialogPages = pageCount;
            request.Copies = Copies;
            return PrintAnswer;
        };
        Dialogs.AnswerTurnPaperOver = [this] {
            ++TurnOverQuestions;
            return TurnOverAnswer;
        };
        Main->Printing().UsePrinter(&Printer);
        ASSERT_TRUE(Main->Start());
        Main->resize(1000, 800);
        Main->show();
    }
    TCard& NewCard(int format) {
        NewFormat = format;
        Main->Files().New();
        return Main->ActiveEditor()->Card();
    }
    void Trigger(const char* name) {
        Main->UpdateActions();
        Main->Action(QString::fromLatin1(name))->trigger();
    }
    // A new 3 x 10 label sheet whose table has `records` numbered records, each label showing
    // its record.
    TNumberedTable& ConnectedLabels(int records) {
        Test.Context.RecordSourceFactory = [records] {
            return std::make_unique<TNumberedTable>(records);
        };
        TCard& card = NewCard(12);
        card.SheetGeometry = {19, 50, 263, 100, 275, 100, 3, 10};
        card.LayoutAllPages();
        card.SetDataSource(QStringLiteral("/tmp/names.csv"));
        auto& table = dynamic_cast<TNumberedTable&>(*card.DataTable());
        auto* swatch = new TRecordSwatch(&table);
        swatch->Bounds = {0, 0, 263, 100};
        card.Pages(0)->Panels(0)->AddObject(swatch);
        return table;
    }
    // The sheet area as the window draws it.
    static QImage Shown(TPrintPreviewForm& preview) {
        preview.show();
        QApplication::processEvents();
        return preview.SheetArea()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static QString SheetLabel(const TPrintPreviewForm& preview) {
        return preview.findChild<QLabel*>(QStringLiteral("SheetLabel"))->text();
    }

    TImagePrinter Printer{20};
    int DialogPages = 0;
    int Copies = 1;
    bool PrintAnswer = true;
    bool TurnOverAnswer = true;
    int TurnOverQuestions = 0;
};

} // namespace

TEST_F(PrintWindowTest, PrintAsksTheDialogThenPrintsEachPassAsAJobNamedAfterTheWindow) {
    TCard& card = NewCard(0);
    AddBox(*card.Pages(0)->Panels(0), {100, 100, 200, 300}, RedIndex);
    AddBox(*card.Pages(0)->Panels(2), {100, 100, 200, 300}, BlueIndex);
    Copies = 2;
    Trigger("APrint");
    EXPECT_EQ(DialogPages, 1);
    ASSERT_EQ(Printer.Jobs.size(), 4u);
    EXPECT_EQ(TurnOverQuestions, 2);
    EXPECT_EQ(Printer.Jobs[0].Title, Main->ActiveEditor()->windowTitle());
    EXPECT_FALSE(FindColour(Printer.Jobs[2].Pages[0], Red).isNull());
    EXPECT_FALSE(FindColour(Printer.Jobs[3].Pages[0], Blue).isNull());
    EXPECT_FALSE(Main->Printing().IsPrinting());

    // Cancel in the dialog prints nothing; Cancel before the back stops after the front.
    Printer.Jobs.clear();
    PrintAnswer = false;
    Trigger("APrint");
    EXPECT_TRUE(Printer.Jobs.empty());
    PrintAnswer = true;
    TurnOverAnswer = false;
    Trigger("APrint");
    ASSERT_EQ(Printer.Jobs.size(), 1u);
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());
}

TEST_F(PrintWindowTest, PrintSetupLaysEveryOpenDocumentOutForThePrintersMargins) {
    TCard& first = NewCard(0);
    TCard& second = NewCard(9);
    TImagePrinter narrow(20, {850, 1100}, {30, 40, 20, 10});
    Main->Printing().UsePrinter(&narrow);
    Dialogs.AnswerPrintSetup = [] { return true; };
    Trigger("APrintSetup");
    EXPECT_EQ(first.Pages(0)->PrinterLeftMargin, 30);
    EXPECT_EQ(first.Pages(0)->Panels(1)->ClipLeft, 30);
    EXPECT_EQ(first.Pages(0)->Panels(0)->ClipRight, 20);
    EXPECT_EQ(second.Pages(0)->PrinterTopMargin, 40);
    Main->Printing().UsePrinter(&Printer);
}

TEST_F(PrintWindowTest, PreviewShowsBothSidesWithTitlesAndTurnedPanels) {
    TCard& card = NewCard(1); // portrait, front cover turned above the fold
    AddBox(*card.Pages(0)->Panels(0), {0, 0, 850, 550}, RedIndex);
    AddBox(*card.Pages(0)->Panels(0), {0, 0, 100, 100}, MagentaIndex); // the front's top left
    AddBox(*card.Pages(0)->Panels(2), {0, 0, 850, 550}, LimeIndex);
    card.Add(new TCardPage(1));
    card.LayoutAllPages();
    TPrintPreviewForm preview(card, Main->ActiveEditor());
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Print Preview"));
    const QImage image = Shown(preview);
    EXPECT_EQ(preview.size(), QSize(632, 453));
    EXPECT_EQ(image.size(), QSize(632, 400));
    EXPECT_FALSE(preview.PreviousButton()->isEnabled());
    EXPECT_TRUE(preview.NextButton()->isEnabled());
    EXPECT_EQ(SheetLabel(preview), QStringLiteral("Sheet 1 of 2"));

    // Front (62, 88, 268, 354) and back (358, 88, 564, 354): black borders, a quarter scale.
    EXPECT_EQ(image.pixel(62, 200) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.pixel(358, 88) & 0xFFFFFF, 0u);
    const QRect red = FindColour(image, Red);
    EXPECT_PRED2(Near, red, QRect(QPoint(63, 89), QPoint(266, 220)));
    // Turned: the front's top-left corner lies next to the fold, at the right.
    const QRect corner = FindColour(image, Magenta);
    EXPECT_NEAR(corner.right(), 266, 1);
    EXPECT_NEAR(corner.bottom(), 220, 1);
    const QRect lime = FindColour(image, Lime);
    EXPECT_NEAR(lime.left(), 359, 1);
    EXPECT_NEAR(lime.top(), 89 + 132, 2);
    // The titles are blue and centred over their sheets at the top.
    EXPECT_NEAR(BlueCentre(image, 0, 316, 16, 60), (62 + 268) / 2, 4);
    EXPECT_NEAR(BlueCentre(image, 316, 632, 16, 60), (358 + 564) / 2, 4);

    preview.NextButton()->click();
    EXPECT_EQ(preview.Page(), 1);
    EXPECT_TRUE(preview.PreviousButton()->isEnabled());
    EXPECT_FALSE(preview.NextButton()->isEnabled());
    EXPECT_EQ(SheetLabel(preview), QStringLiteral("Sheet 2 of 2"));
}

TEST_F(PrintWindowTest, PreviewStepsRecordsOverTheLabelsAndRestoresThePosition) {
    TNumberedTable& table = ConnectedLabels(5);
    table.MoveTo(4);
    TPrintPreviewForm preview(Main->ActiveEditor()->Card(), nullptr);
    EXPECT_EQ(PreviewLabels(Shown(preview)), Expected(1, 5));
    EXPECT_EQ(SheetLabel(preview), QStringLiteral("Sheet 1 of 1"));
    EXPECT_EQ(table.RecordNumber(), 4);
}

// Only the first sheet of a personalized label job could be seen.
TEST_F(PrintWindowTest, PreviewOfA45RecordLabelJobPagesToItsSecondSheetWithRecords31To45) {
    TNumberedTable& table = ConnectedLabels(45);
    TCard& card = Main->ActiveEditor()->Card();
    table.MoveTo(4);
    TPrintPreviewForm preview(card, nullptr);
    EXPECT_EQ(PreviewLabels(Shown(preview)), Expected(1, 30));
    EXPECT_EQ(SheetLabel(preview), QStringLiteral("Sheet 1 of 2"));
    ASSERT_TRUE(preview.NextButton()->isEnabled());

    preview.NextButton()->click();
    EXPECT_EQ(preview.Sheet(), 1);
    EXPECT_EQ(preview.Page(), 0);
    EXPECT_EQ(PreviewLabels(Shown(preview)), Expected(31, 15));
    EXPECT_EQ(SheetLabel(preview), QStringLiteral("Sheet 2 of 2"));
    EXPECT_FALSE(preview.NextButton()->isEnabled());
    EXPECT_TRUE(preview.PreviousButton()->isEnabled());
    EXPECT_EQ(table.RecordNumber(), 4);

    // The keys page too, and stop at either end.
    const std::vector<std::pair<Qt::Key, int>> keys = {
        {Qt::Key_PageUp, 0}, {Qt::Key_PageUp, 0}, {Qt::Key_PageDown, 1},
        {Qt::Key_PageDown, 1}, {Qt::Key_Home, 0}, {Qt::Key_End, 1}};
    for (const auto& [key, sheet] : keys) {
        QTest::keyClick(&preview, key);
        EXPECT_EQ(preview.Sheet(), sheet) << QKeySequence(key).toString().toStdString();
    }

    // Printing one label per record takes as many sheets as the preview shows.
    TAnsweredPrintPrompts perRecord(true, false);
    TImagePrinter printer(20);
    PrintPublication(card, printer, perRecord, {});
    EXPECT_EQ(int(printer.Jobs.size()), preview.SheetCount());
}

TEST_F(PrintWindowTest, PreviewOpensAtItsSizeAndScalesTheSheetsWithTheWindow) {
    TCard& card = NewCard(7); // one portrait sheet
    AddBox(*card.Pages(0)->Panels(0), {100, 100, 500, 300}, RedIndex);
    TPrintPreviewForm preview(card, nullptr);
    EXPECT_TRUE(preview.windowFlags() & Qt::WindowMaximizeButtonHint);
    const QImage fixed = Shown(preview);
    EXPECT_EQ(preview.size(), QSize(632, 453));
    // The sheet (213, 88, 419, 354); the box a quarter of its size on screen.
    EXPECT_EQ(fixed.pixel(213, 200) & 0xFFFFFF, 0u);
    EXPECT_PRED2(Near, FindColour(fixed, Red),
                 QRect(QPoint(214 + 24, 89 + 24), QPoint(214 + 120 - 1, 89 + 72 - 1)));

    // Twice as wide and high: the whole layout at twice the size, borders one pixel wide.
    preview.resize(2 * 632, 2 * 400 + 53);
    const QImage twice = Shown(preview);
    EXPECT_EQ(twice.size(), QSize(2 * 632, 2 * 400));
    EXPECT_EQ(twice.pixel(426, 400) & 0xFFFFFF, 0u);
    EXPECT_NE(twice.pixel(427, 400) & 0xFFFFFF, 0u);
    EXPECT_PRED2(Near, FindColour(twice, Red),
                 QRect(QPoint(427 + 48, 177 + 48), QPoint(427 + 240 - 1, 177 + 144 - 1)));
    EXPECT_NEAR(BlueCentre(twice, 0, 2 * 632, 32, 120), 632, 6);

    // Wider only: as large as the height allows, centred across.
    preview.resize(1000, 453);
    const QImage wide = Shown(preview);
    EXPECT_PRED2(Near, FindColour(wide, Red), FindColour(fixed, Red).translated(184, 0));

    preview.showMaximized();
    QApplication::processEvents();
    EXPECT_GT(preview.SheetArea()->width(), 632);
    EXPECT_EQ(preview.Zoom(), TPreviewZoom::Fit);
}

TEST_F(PrintWindowTest, ZoomDrawsTheSheetsAtTheirSizeOnPaperInAScrollArea) {
    TCard& card = NewCard(7);
    AddBox(*card.Pages(0)->Panels(0), {100, 100, 500, 300}, RedIndex);
    TPrintPreviewForm preview(card, nullptr);
    Shown(preview);
    EXPECT_EQ(preview.ZoomBox()->currentText(), QStringLiteral("Fit"));

    // At 100 % the box is as large as on screen at 96 pixels per inch, at 200 % twice.
    for (const int percent : {100, 200}) {
        preview.ZoomBox()->setCurrentIndex(percent / 100);
        emit preview.ZoomBox()->activated(percent / 100);
        const QImage image = Shown(preview);
        const int scale = percent / 100;
        EXPECT_EQ(preview.Zoom(), percent == 100 ? TPreviewZoom::Actual : TPreviewZoom::Double);
        EXPECT_EQ(image.width(), 16 + 816 * scale + 2 + 16) << percent;
        EXPECT_EQ(image.height(), 88 + 1056 * scale + 2 + 16) << percent;
        const QRect red = FindColour(image, Red);
        EXPECT_NEAR(red.width(), 384 * scale, 2) << percent;
        EXPECT_NEAR(red.height(), 192 * scale, 2) << percent;
        EXPECT_NEAR(red.left(), 17 + 96 * scale, 2) << percent;
        EXPECT_TRUE(preview.ScrollArea()->verticalScrollBar()->isVisible()) << percent;
    }

    // + and - step through the zoom levels, Ctrl+0 fits.
    const std::vector<std::pair<QKeyCombination, TPreviewZoom>> keys = {
        {Qt::Key_Minus, TPreviewZoom::Actual}, {Qt::Key_Minus, TPreviewZoom::Fit},
        {Qt::Key_Minus, TPreviewZoom::Fit},    {Qt::Key_Plus, TPreviewZoom::Actual},
        {Qt::Key_Plus, TPreviewZoom::Double},  {Qt::Key_Plus, TPreviewZoom::Double},
        {Qt::CTRL | Qt::Key_0, TPreviewZoom::Fit}};
    for (const auto& [key, zoom] : keys) {
        QTest::keyClick(&preview, key.key(), key.keyboardModifiers());
        EXPECT_EQ(preview.Zoom(), zoom) << QKeySequence(key).toString().toStdString();
    }
    EXPECT_EQ(preview.ZoomBox()->currentText(), QStringLiteral("Fit"));
    EXPECT_EQ(Shown(preview).size(), QSize(632, 400));
    EXPECT_FALSE(preview.ScrollArea()->verticalScrollBar()->isVisible());
}

TEST_F(PrintWindowTest, PreviewShowsAPosterWholeAndSaysHowManySheetsItTakes) {
    TCard& card = NewCard(8);
    TPrintPreviewForm preview(card, nullptr);
    EXPECT_EQ(preview.SheetCount(), 1);
    EXPECT_EQ(SheetLabel(preview), QStringLiteral("Poster 1 of 1\n(4 sheets)"));
    // However long the text, the window opens at its size.
    Shown(preview);
    EXPECT_EQ(preview.size(), QSize(632, 453));
}

TEST_F(PrintWindowTest, ATableThatFailsWhilePreviewingIsReportedOnceAndDrawsNoRecords) {
    // A table that cannot leave its record, as one whose pending edit cannot be saved.
    class TStuckTable : public TNumberedTable {
    public:
        using TNumberedTable::TNumberedTable;
        void MoveTo(int) override { throw Exception(QStringLiteral("Table is locked")); }
    };
    Test.Context.RecordSourceFactory = [] { return std::make_unique<TStuckTable>(5); };
    TCard& card = NewCard(12);
    card.SheetGeometry = {19, 50, 263, 100, 275, 100, 3, 10};
    card.LayoutAllPages();
    card.SetDataSource(QStringLiteral("/tmp/names.csv"));
    auto* swatch = new TRecordSwatch(card.DataTable());
    swatch->Bounds = {0, 0, 263, 100};
    card.Pages(0)->Panels(0)->AddObject(swatch);
    TPrintPreviewForm preview(card, nullptr);
    Shown(preview);
    preview.SheetArea()->repaint();
    QApplication::processEvents();
    EXPECT_EQ(Test.Messages.Errors, QStringList{QStringLiteral("Table is locked")});
    EXPECT_EQ(PreviewLabels(Shown(preview)), Expected(0, 0));
}

TEST_F(PrintWindowTest, PrintFromThePreviewClosesItAndRunsPrint) {
    NewCard(7);
    QTimer::singleShot(0, [] {
        if (auto* preview = qobject_cast<TPrintPreviewForm*>(QApplication::activeModalWidget()))
            preview->PrintButton()->click();
    });
    Trigger("APrintPreview");
    EXPECT_EQ(DialogPages, 1);
    EXPECT_EQ(Printer.Jobs.size(), 1u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(PrintCommandTest, APrintedTwoFrameStoryHoldsEveryWordOnceSplitWhereTheScreenSplitsIt) {
    QStringList words;
    for (int i = 1; i <= 600; ++i) words.append(QStringLiteral("w%1").arg(i));
    int split = 0; // words shown in the first frame
    {
        TTestContext test;
        TCard card(7, 1); // a full Letter page
        card.Add(new TCardPage(card.CardFormat));
        auto* first = new TRichTextObject();
        auto* second = new TRichTextObject();
        first->Bounds = {100, 100, 500, 400};
        second->Bounds = {100, 100, 700, 900};
        card.Pages(0)->Panels(0)->AddObject(first);
        card.Pages(1)->Panels(0)->AddObject(second);
        ASSERT_TRUE(first->LinkTo(second));
        first->Document().setPlainText(words.join(QLatin1Char(' ')));
        const int end = first->Flow().FrameEnd(0);
        split = int(first->PlainText().left(end).split(QLatin1Char(' '), Qt::SkipEmptyParts).size());
        ASSERT_GT(split, 10);
        ASSERT_LT(split, 600);
        ASSERT_FALSE(first->Flow().Overflows());
        SaveStoredToFile(Path(QStringLiteral("story.qdx")), card);
    }
    const QString pdf = Path(QStringLiteral("story.pdf"));
    const TRun run = RunQdx({QStringLiteral("print"), Path(QStringLiteral("story.qdx")),
                             QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    ASSERT_EQ(PdfPages(pdf), 2);
    const auto pageWords = [&](int page) {
        const QString text = Poppler("pdftotext", {QStringLiteral("-f"), QString::number(page),
                                                   QStringLiteral("-l"), QString::number(page),
                                                   QStringLiteral("-raw"), pdf, QStringLiteral("-")});
        return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    };
    const QStringList one = pageWords(1);
    const QStringList two = pageWords(2);
    EXPECT_EQ(one.size(), split);
    EXPECT_EQ(one + two, words);
    EXPECT_EQ(one, words.mid(0, split));
    EXPECT_EQ(two, words.mid(split));
}
