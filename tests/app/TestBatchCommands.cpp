#include "document/Card.h"
#include "document/Control.h"
#include "document/Template.h"
#include "document/Units.h"
#include "events/Event.h"
#include "objects/Headline.h"
#include "objects/Picture.h"
#include "objects/RichText.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

struct Result {
    int ExitCode;
    QByteArray Out;
    QString Err;
};

// Runs the program; with a program folder, that one instead of the shipped data.
Result RunQdx(const QStringList& arguments, const QString& programFolder = QString()) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM")); // the command picks its own
    environment.insert(QStringLiteral("QDX_MEASURE"), QStringLiteral("inch"));
    // A user folder of the tests' own: the user's settings and address book stay out of it.
    static const QTemporaryDir user;
    environment.insert(QStringLiteral("QDX_HOME"), user.path());
    if (!programFolder.isEmpty())
        environment.insert(QStringLiteral("QDX_PROGRAM_DIR"), programFolder);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QDX_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// A bifold card: a blue rectangle on the front, a field and a headline inside, two linked
// text frames, saved with a preview.
QString SaveSampleCard(const QTemporaryDir& dir) {
    TTestContext test;
    TCard card(0, 0);
    card.SetDescription(QStringLiteral("Sample"));
    auto* r = new TRectangleObject();
    r->Bounds = {100, 100, 300, 200};
    r->FillColor = 12;
    card.Pages(0)->Panels(0)->AddObject(r);
    auto* f = new TFieldObject();
    f->FieldName = QStringLiteral("Qty");
    f->Bounds = {50, 300, 300, 330};
    card.Pages(0)->Panels(1)->AddObject(f);
    auto* h = new THeadlineObject();
    h->Text = QStringLiteral("Dear [Name]");
    h->ScanPlaceholders();
    h->Bounds = {10, 10, 200, 60};
    card.Pages(0)->Panels(1)->AddObject(h);
    auto* a = new TRichTextObject();
    auto* b = new TRichTextObject();
    card.Pages(0)->Panels(1)->AddObject(a);
    card.Pages(0)->Panels(2)->AddObject(b);
    a->SetTextFlow(nullptr, b);
    b->SetTextFlow(a, nullptr);
    card.Preview = PreviewBitmap(RenderCardPreview(card));
    const QString path = dir.filePath(QStringLiteral("sample.qdx"));
    SaveStoredToFile(path, card);
    return path;
}

// A one-panel card holding a headline of the text (codes scanned) in large plain letters.
THeadlineObject* AddHeadline(TCard& card, const QString& text) {
    auto* headline = new THeadlineObject();
    headline->Text = text;
    headline->ScanPlaceholders();
    THeadlineText& h = headline->HeadlineText();
    h.Font = {QStringLiteral("DejaVu Sans"), 36, 0xFF0000};
    h.ShadowDepth = 0;
    h.HighlightDepth = 0;
    headline->Bounds = {20, 20, 400, 100};
    card.Pages(0)->Panels(0)->AddObject(headline);
    headline->RefreshText();
    headline->FitBounds();
    return headline;
}

QString SaveCard(const QTemporaryDir& dir, const QString& name, const TCard& card) {
    const QString path = dir.filePath(name);
    SaveStoredToFile(path, card);
    return path;
}

QImage RenderPanel(const QString& document, const QString& png, const QString& programFolder,
                   int dpi = 96) {
    const Result result = RunQdx({QStringLiteral("render"), document, QStringLiteral("--png"), png,
                                  QStringLiteral("--dpi"), QString::number(dpi)},
                                 programFolder);
    EXPECT_EQ(result.ExitCode, 0) << result.Err.toStdString();
    EXPECT_TRUE(result.Err.isEmpty()) << result.Err.toStdString();
    return QImage(png);
}

} // namespace

TEST(BatchCommands, DumpAndRenderOfATableConnectedDocumentShowItsFirstRecord) {
    QTemporaryDir dir;
    QFile csv(dir.filePath(QStringLiteral("names.csv")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("\"First\",\"Last\"\n\"Mmmmmmmm\",\"Lee\"\n\"Bo\",\"Ray\"\n");
    csv.close();
    QString connected, typed;
    {
        TTestContext test;
        TCard card(7, 4);
        AddHeadline(card, QStringLiteral("Dear <First>"));
        card.SetDataSource(csv.fileName()); // no table engine here: only the name is kept
        connected = SaveCard(dir, QStringLiteral("connected.qdx"), card);
        TCard plain(7, 4);
        AddHeadline(plain, QStringLiteral("Dear Mmmmmmmm"));
        typed = SaveCard(dir, QStringLiteral("typed.qdx"), plain);
    }
    const Result dump = RunQdx({QStringLiteral("dump"), connected});
    ASSERT_EQ(dump.ExitCode, 0) << dump.Err.toStdString();
    EXPECT_TRUE(dump.Err.isEmpty()) << dump.Err.toStdString();
    const QJsonObject headline = QJsonDocument::fromJson(dump.Out)
                                     .object()["card"]
                                     .toObject()["pages"]
                                     .toArray()[0]
                                     .toObject()["panels"]
                                     .toArray()[0]
                                     .toObject()["objects"]
                                     .toArray()[0]
                                     .toObject();
    EXPECT_EQ(headline["Lines"].toArray(), QJsonArray{QStringLiteral("Dear Mmmmmmmm")});

    // Drawn as the same text typed out, in a box of the record's size.
    const QImage fromRecord =
        RenderPanel(connected, dir.filePath(QStringLiteral("connected.png")), QString());
    const QImage fromText = RenderPanel(typed, dir.filePath(QStringLiteral("typed.png")), QString());
    ASSERT_FALSE(fromRecord.isNull());
    EXPECT_EQ(fromRecord, fromText);
}

TEST(BatchCommands, RenderFindsTexturesStoredByNameInTheProgramsTexturesFolder) {
    QTemporaryDir program;
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(program.path()).mkpath(QStringLiteral("Textures")));
    const QString textures = program.filePath(QStringLiteral("Textures"));
    const QString pictures = QStringLiteral(QDX_TEST_DATA "/pictures/");
    // One picture as PNG and as PCX, which only the program's own reader reads.
    ASSERT_TRUE(QFile::copy(pictures + "rgb.png", textures + "/Pattern.png"));
    ASSERT_TRUE(QFile::copy(pictures + "rgb.pcx", textures + "/Pattern.pcx"));
    QString png, pcx;
    {
        TTestContext test;
        test.Context.TexturesFolder = textures;
        for (const QString& name : {QStringLiteral("Pattern.png"), QStringLiteral("Pattern.pcx")}) {
            TCard card(7, 4);
            THeadlineText& h = AddHeadline(card, QStringLiteral("Wood"))->HeadlineText();
            h.BackStyle = basTexture;
            const bool byName = name.endsWith(QLatin1String("png"));
            h.BackTextureFile = byName ? name : QDir(textures).filePath(name);
            (byName ? png : pcx) = SaveCard(dir, name + ".qdx", card);
        }
    }
    // A full path inside the textures folder is read as the bare name.
    const Result dump = RunQdx({QStringLiteral("dump"), pcx}, program.path());
    ASSERT_EQ(dump.ExitCode, 0) << dump.Err.toStdString();
    EXPECT_TRUE(dump.Out.contains("\"BackTextureFile\": \"Pattern.pcx\"")) << dump.Out.data();

    const QImage fromPng = RenderPanel(png, dir.filePath(QStringLiteral("png.png")), program.path());
    const QImage fromPcx = RenderPanel(pcx, dir.filePath(QStringLiteral("pcx.png")), program.path());
    ASSERT_FALSE(fromPng.isNull());
    EXPECT_EQ(fromPcx, fromPng);
    // The texture shows: the box is not left white.
    EXPECT_NE(fromPng.pixel(22, 22), qRgb(255, 255, 255));
}

TEST(BatchCommands, RenderAtLowResolutionKeepsEveryLetterOfAHeadlineInsideItsBox) {
    QTemporaryDir dir;
    QString document;
    TRect bounds;
    {
        TTestContext test;
        TCard card(7, 4);
        THeadlineObject* headline = AddHeadline(card, QStringLiteral("Happy Birthday!"));
        headline->HeadlineText().Font = {QStringLiteral("Times New Roman"), 36, 0xFF0000, true};
        headline->RefreshText();
        headline->FitBounds();
        bounds = headline->Bounds;
        document = SaveCard(dir, QStringLiteral("birthday.qdx"), card);
    }
    constexpr int Dpi = 37;
    const QImage image =
        RenderPanel(document, dir.filePath(QStringLiteral("birthday.png")), QString(), Dpi);
    ASSERT_FALSE(image.isNull());
    const QRect box(QPoint(MulDiv(bounds.Left, Dpi, 100), MulDiv(bounds.Top, Dpi, 100)),
                    QPoint(MulDiv(bounds.Right, Dpi, 100) - 1, MulDiv(bounds.Bottom, Dpi, 100) - 1));
    // The "!" is drawn whole: it ends before the box's last column, not cut off by it.
    int inkRight = -1;
    for (int x = box.left(); x <= box.right(); ++x)
        for (int y = box.top(); y <= box.bottom(); ++y)
            if (qRed(image.pixel(x, y)) < 128) inkRight = x;
    EXPECT_LT(inkRight, box.right());
    EXPECT_GT(inkRight, box.left() + box.width() * 4 / 5);
}

TEST(BatchCommands, DumpPrintsTheDocumentAsJson) {
    QTemporaryDir dir;
    const QString path = SaveSampleCard(dir);
    const Result result = RunQdx({QStringLiteral("dump"), path});
    ASSERT_EQ(result.ExitCode, 0) << result.Err.toStdString();
    EXPECT_TRUE(result.Err.isEmpty()) << result.Err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(result.Out).object();
    EXPECT_EQ(root["storageVersion"].toInt(), 2);
    const QJsonArray classes = root["classes"].toArray();
    ASSERT_FALSE(classes.isEmpty());
    EXPECT_EQ(classes[0].toObject()["name"].toString(), QStringLiteral("TCard"));
    EXPECT_EQ(classes[0].toObject()["version"].toInt(), 9);

    const QJsonObject card = root["card"].toObject();
    EXPECT_EQ(card["Description"].toString(), QStringLiteral("Sample"));
    EXPECT_EQ(card["preview"].toObject()["width"].toInt(), 160);
    EXPECT_EQ(card["preview"].toObject()["height"].toInt(), 124);
    EXPECT_EQ(card["SheetGeometry"].toArray().size(), 8);
    const QJsonObject page = card["pages"].toArray()[0].toObject();
    EXPECT_EQ(page["FieldOrder"].toArray()[0].toString(), QStringLiteral("Qty"));
    const QJsonArray panels = page["panels"].toArray();
    ASSERT_EQ(panels.size(), 4);
    const QJsonObject rectangle = panels[0].toObject()["objects"].toArray()[0].toObject();
    EXPECT_EQ(rectangle["class"].toString(), QStringLiteral("TRectangleObject"));
    EXPECT_EQ(rectangle["Bounds"].toArray(), (QJsonArray{100, 100, 300, 200}));
    EXPECT_EQ(rectangle["FillColor"].toInt(), 12);
    EXPECT_EQ(rectangle["LinkType"].toInt(), 3);
    EXPECT_FALSE(panels[0].toObject().contains(QStringLiteral("Width")));
    const QJsonArray inside = panels[1].toObject()["objects"].toArray();
    const QJsonObject headline = inside[1].toObject();
    EXPECT_EQ(headline["Codes"].toArray()[0].toObject()["class"].toString(),
              QStringLiteral("TPersonalizedText"));
    EXPECT_EQ(headline["Codes"].toArray()[0].toObject()["Position"].toInt(), 6);
    const QJsonObject frame = inside[2].toObject();
    EXPECT_EQ(frame["Successor"].toArray(), (QJsonArray{0, 2, 0}));
    EXPECT_TRUE(frame["Predecessor"].isNull());
}

TEST(BatchCommands, DumpWithLayoutAddsPanelGeometry) {
    QTemporaryDir dir;
    const QString path = SaveSampleCard(dir);
    const Result result = RunQdx({QStringLiteral("dump"), QStringLiteral("--layout"), path});
    ASSERT_EQ(result.ExitCode, 0);
    const QJsonArray panels = QJsonDocument::fromJson(result.Out)
                                  .object()["card"]
                                  .toObject()["pages"]
                                  .toArray()[0]
                                  .toObject()["panels"]
                                  .toArray();
    // Landscape Letter folded down the middle: the front cover is the right half.
    const QJsonObject front = panels[0].toObject();
    EXPECT_EQ(front["SheetX"].toInt(), 550);
    EXPECT_EQ(front["Width"].toInt(), 550);
    EXPECT_EQ(front["Height"].toInt(), 850);
    EXPECT_EQ(front["Side"].toInt(), 0);
    EXPECT_EQ(panels[1].toObject()["Side"].toInt(), 1);
}

TEST(BatchCommands, RenderDrawsOnePanelAtTheGivenResolution) {
    QTemporaryDir dir;
    const QString path = SaveSampleCard(dir);
    const QString png = dir.filePath(QStringLiteral("front.png"));
    const Result result = RunQdx({QStringLiteral("render"), path, QStringLiteral("--png"), png,
                                  QStringLiteral("--dpi"), QStringLiteral("50")});
    ASSERT_EQ(result.ExitCode, 0) << result.Err.toStdString();
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(275, 425));
    EXPECT_EQ(image.pixel(100, 75), qRgb(0, 0, 255)); // the rectangle at 50 dpi
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 255, 255));

    const Result wrongPanel = RunQdx({QStringLiteral("render"), path, QStringLiteral("--png"), png,
                                      QStringLiteral("--panel"), QStringLiteral("9")});
    EXPECT_EQ(wrongPanel.ExitCode, 1);
    EXPECT_TRUE(wrongPanel.Err.contains(QStringLiteral("no panel 9")));
}

TEST(BatchCommands, FilesThatCannotBeLoadedFailWithTheMessage) {
    QTemporaryDir dir;
    const Result missing =
        RunQdx({QStringLiteral("dump"), dir.filePath(QStringLiteral("none.qdx"))});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Err.trimmed(),
              QStringLiteral("Cannot open file %1").arg(dir.filePath(QStringLiteral("none.qdx"))));
    EXPECT_TRUE(missing.Out.isEmpty());

    const QString text = dir.filePath(QStringLiteral("notes.qdx"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("just some text, not a document");
    file.close();
    const Result garbage = RunQdx({QStringLiteral("dump"), text});
    EXPECT_EQ(garbage.ExitCode, 1);
    EXPECT_EQ(garbage.Err.trimmed(), QStringLiteral("Invalid stream format"));

    const QString sample = SaveSampleCard(dir);
    QFile whole(sample);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    whole.close();
    QFile cut(sample);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 2));
    cut.close();
    const Result truncated = RunQdx({QStringLiteral("dump"), sample});
    EXPECT_EQ(truncated.ExitCode, 1);
    EXPECT_EQ(truncated.Err.trimmed(), QStringLiteral("Stream read error"));
}

TEST(BatchCommands, DumpReadsTemplateIndexesAndEventFiles) {
    QTemporaryDir dir;
    {
        TTestContext test;
        RegisterEventClasses();
        test.Context.TemplateFolder = dir.filePath(QStringLiteral("Template"));
        QDir().mkpath(test.Context.TemplateFolder);
        TCard card(9, 9);
        card.Description = QStringLiteral("Cards for the shop");
        SaveStoredToFile(QDir(test.Context.TemplateFolder).filePath(QStringLiteral("Shop.qdx")),
                         card);
        auto index = OpenTemplateIndex(dir.filePath(QStringLiteral("Template.dat")));
        ASSERT_TRUE(SaveTemplateIndex(*index, dir.filePath(QStringLiteral("Template.dat"))));
        TEventTable events;
        events.AddEvent(new TEvent(QDate(2027, 2, 28), QStringLiteral("Mum's birthday"), 10));
        ASSERT_TRUE(SaveEventFile(events, dir.filePath(QStringLiteral("Event.dat"))));
    }
    const Result index =
        RunQdx({QStringLiteral("dump"), dir.filePath(QStringLiteral("Template.dat"))});
    ASSERT_EQ(index.ExitCode, 0) << index.Err.toStdString();
    const QJsonObject templates =
        QJsonDocument::fromJson(index.Out).object()["templateIndex"].toObject();
    EXPECT_EQ(templates["TypeCounts"].toArray().size(), 32);
    EXPECT_EQ(templates["TypeCounts"].toArray()[9].toInt(), 1);
    const QJsonObject entry = templates["templates"].toArray()[0].toObject();
    EXPECT_EQ(entry["FileName"].toString(), QStringLiteral("SHOP.QDX"));
    EXPECT_EQ(entry["Description"].toString(), QStringLiteral("Cards for the shop"));
    EXPECT_EQ(entry["DocumentType"].toInt(), 9);
    EXPECT_NE(entry["FileAge"].toInt(), 0);

    const Result events =
        RunQdx({QStringLiteral("dump"), dir.filePath(QStringLiteral("Event.dat"))});
    ASSERT_EQ(events.ExitCode, 0) << events.Err.toStdString();
    const QJsonObject event =
        QJsonDocument::fromJson(events.Out).object()["events"].toArray()[0].toObject();
    EXPECT_EQ(event["EventDate"].toString(), QStringLiteral("2027-02-28"));
    EXPECT_EQ(event["Description"].toString(), QStringLiteral("Mum's birthday"));
    EXPECT_EQ(event["WarningDays"].toInt(), 10);
}

TEST(BatchCommands, PrintOfAnAddressBookDocumentReadsTheBookAndWritesOnlyInTheUserFolder) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir home, work, documents;
    {
        // The book the user chose in the window's settings, not the default one.
        QFile settings(QDir(home.path()).filePath(QStringLiteral("qdx.ini")));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[Address Book]\nFile=people.vcf\n");
        QFile book(QDir(home.path()).filePath(QStringLiteral("people.vcf")));
        ASSERT_TRUE(book.open(QIODevice::WriteOnly));
        book.write("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\nEND:VCARD\r\n"
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ray;Bob;;;\r\nFN:Bob Ray\r\nEND:VCARD\r\n");
    }
    // The user's own files of the same names in the folder the command runs in.
    const QString ownTable = QDir(work.path()).filePath(TCard::AddressBookTableName);
    for (const QString& own : {ownTable, QDir(work.path()).filePath("TempVantuAddressTable.MB")}) {
        QFile file(own);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the user's own file");
    }
    QString document;
    {
        TTestContext test;
        TCard card(7, 4);
        AddHeadline(card, QStringLiteral("Dear <First> <Last>"));
        card.SetDataSource(TCard::AddressBookTableName); // no address book here: the name stays
        document = SaveCard(documents, QStringLiteral("letters.qdx"), card);
    }
    const QString pdf = QDir(documents.path()).filePath(QStringLiteral("letters.pdf"));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("QDX_HOME"), home.path());
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(work.path());
    process.start(QStringLiteral(QDX_BINARY), {QStringLiteral("print"), document,
                                               QStringLiteral("--pdf"), pdf,
                                               QStringLiteral("--records")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();

    QProcess text;
    text.start(pdftotext, {pdf, QStringLiteral("-")});
    text.waitForFinished(60000);
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QStringLiteral("Dear Ann Lee"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Dear Bob Ray"))) << printed.toStdString();
    // Nothing written or removed where the command ran; nothing left in the user folder.
    EXPECT_EQ(QDir(work.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("TempVantuAddressTable.DB"),
                           QStringLiteral("TempVantuAddressTable.MB")}));
    for (const QString& name : QDir(work.path()).entryList(QDir::Files)) {
        QFile file(QDir(work.path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("the user's own file"));
    }
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("people.vcf"), QStringLiteral("qdx.ini")}));
}

TEST(BatchCommands, APictureThatCannotBeReadIsReportedAndFailsRenderAndPrint) {
    QTemporaryDir dir;
    QString path;
    {
        TTestContext test;
        TCard card(0, 0);
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray broken = BitmapFromImage(image).Bytes;
        qToLittleEndian<quint16>(7, broken.data() + 28); // no such depth
        auto* picture = new TPictureObject();
        picture->Bounds = {50, 50, 250, 150};
        TPictureData data;
        data.Bitmap = {broken};
        picture->SetGraphic(data);
        card.Pages(0)->Panels(0)->AddObject(picture);
        path = SaveCard(dir, QStringLiteral("broken.qdx"), card);
    }
    const QString png = dir.filePath(QStringLiteral("front.png"));
    const Result render = RunQdx({QStringLiteral("render"), path, QStringLiteral("--png"), png});
    EXPECT_EQ(render.ExitCode, 1);
    EXPECT_TRUE(render.Err.contains(QStringLiteral("(20 \u00d7 10 pixels) cannot be read")))
        << render.Err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(png)); // the rest of the panel is still drawn

    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const Result print = RunQdx({QStringLiteral("print"), path, QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(print.ExitCode, 1);
    EXPECT_EQ(print.Err.count(QStringLiteral("cannot be read")), 1) << print.Err.toStdString();
}

TEST(BatchCommands, PublishWebWritesOnePagePerPanelAndSaysWhatIsWrong) {
    QTemporaryDir dir;
    const QString path = SaveSampleCard(dir);
    const QString site = dir.filePath(QStringLiteral("site/new"));
    const Result result =
        RunQdx({QStringLiteral("publish-web"), path, site, QStringLiteral("--main"),
                QStringLiteral("default"), QStringLiteral("--ext"), QStringLiteral("html")});
    ASSERT_EQ(result.ExitCode, 0) << result.Err.toStdString();
    for (const char* name : {"default.html", "Page2.html", "Page3.html", "Page4.html",
                             "Image1.jpg", "Image4.jpg"})
        EXPECT_TRUE(QFileInfo::exists(site + '/' + QLatin1String(name))) << name;
    const QImage front(site + QStringLiteral("/Image1.jpg"));
    EXPECT_EQ(front.size(), QSize(550, 850)); // one pixel per 1/100 inch of the panel
    QFile main(site + QStringLiteral("/default.html"));
    ASSERT_TRUE(main.open(QIODevice::ReadOnly));
    EXPECT_TRUE(main.readAll().contains("<TITLE>Sample</TITLE>"));

    const Result badOption = RunQdx({QStringLiteral("publish-web"), path, site,
                                     QStringLiteral("--ext"), QStringLiteral("php")});
    EXPECT_EQ(badOption.ExitCode, 2);
    EXPECT_TRUE(badOption.Err.contains(QStringLiteral("usage: qdx publish-web")));
    const Result missing = RunQdx({QStringLiteral("publish-web"), dir.filePath("none.qdx"), site});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_FALSE(missing.Err.isEmpty());
    const Result help = RunQdx({QStringLiteral("--help")});
    EXPECT_TRUE(help.Out.contains("qdx publish-web FILE DIR"));
}

namespace {

// The text of every page of a PDF, page by page.
QStringList PdfPages(const QString& pdftotext, const QString& pdf) {
    QProcess text;
    text.start(pdftotext, {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.waitForFinished(60000));
    QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// Labels of one record field, four across and twenty down, and a table of `count` names.
QString SaveNameLabels(const QTemporaryDir& dir, int count, QString& table) {
    table = dir.filePath(QStringLiteral("names.csv"));
    QFile csv(table);
    EXPECT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("\"Name\"\n");
    for (int i = 1; i <= count; ++i) csv.write(QByteArray("\"N") + QByteArray::number(i) + "\"\n");
    csv.close();
    TTestContext test;
    TCard card(cfLabel, 17);
    card.SheetGeometry = {25, 50, 200, 50, 200, 50, 4, 20};
    card.LayoutAllPages();
    THeadlineObject* name = AddHeadline(card, QStringLiteral("<Name>"));
    name->HeadlineText().Font.Size = 10;
    name->Bounds = {10, 10, 150, 40};
    return SaveCard(dir, QStringLiteral("labels.qdx"), card);
}

} // namespace

TEST(BatchCommands, AJobSplitIntoRecordRangesPrintsTheSamePagesAsOneJob) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    QString table;
    const QString labels = SaveNameLabels(dir, 10000, table);
    const QString whole = dir.filePath(QStringLiteral("whole.pdf"));
    const Result one = RunQdx({QStringLiteral("print"), labels, QStringLiteral("--pdf"), whole,
                               QStringLiteral("--records"), QStringLiteral("--data"), table});
    ASSERT_EQ(one.ExitCode, 0) << one.Err.toStdString();
    const QStringList expected = PdfPages(pdftotext, whole);
    ASSERT_EQ(expected.size(), 125);
    EXPECT_TRUE(expected[124].contains(QStringLiteral("N10000")));

    // Ranges of whole sheets; the last runs to the table's end.
    QStringList joined;
    for (const char* range : {"1-2560", "2561-5120", "5121-7680", "7681-"}) {
        const QString part = dir.filePath(QStringLiteral("part%1.pdf").arg(joined.size()));
        const Result r = RunQdx({QStringLiteral("print"), labels, QStringLiteral("--pdf"), part,
                                 QStringLiteral("--records"), QStringLiteral("--data"), table,
                                 QStringLiteral("--range"), QString::fromLatin1(range)});
        ASSERT_EQ(r.ExitCode, 0) << range << r.Err.toStdString();
        joined += PdfPages(pdftotext, part);
    }
    EXPECT_EQ(joined, expected);
}

TEST(BatchCommands, StartRangeAndOffsetOptionsAreCheckedAgainstTheDocument) {
    QTemporaryDir dir;
    QString table;
    const QString labels = SaveNameLabels(dir, 50, table);
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const QStringList base = {QStringLiteral("print"), labels, QStringLiteral("--pdf"), pdf,
                              QStringLiteral("--data"), table};
    struct TCase {
        QStringList Options;
        int ExitCode;
        const char* Says;
    };
    const std::vector<TCase> cases = {
        {{"--records", "--range", "51-60"}, 1, "the range starts at 51"},
        {{"--range", "1-10"}, 2, "--range needs --records"},
        {{"--records", "--range", "9-3"}, 2, "--range takes FROM-TO"},
        {{"--records", "--start", "81"}, 1, "--start 81 is not one of them"},
        {{"--offset", "3"}, 2, "--offset takes two lengths"},
        {{"--scale", "50,100"}, 2, "--scale takes two percentages"},
        {{"--records", "--start", "80", "--range", "41-", "--offset", "-2.5,4"}, 0, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Options.join(' ').toStdString());
        const Result r = RunQdx(base + c.Options);
        EXPECT_EQ(r.ExitCode, c.ExitCode) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.contains(QString::fromLatin1(c.Says))) << r.Err.toStdString();
    }
    // Label 80 is the last of the first sheet: record 41 there, records 42 to 50 on the next.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) return;
    const QStringList pages = PdfPages(pdftotext, pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0].simplified(), QStringLiteral("N41"));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("N42")) && pages[1].contains(QStringLiteral("N50")));
}
