// Documents written by older versions of the program: card, page and panel records of every
// older version, loaded from files built byte by byte (tests/data/documents/make_documents.py).

#include "document/Card.h"
#include "document/Control.h"
#include "objects/Headline.h"
#include "objects/RichText.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"

#include <QImage>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

namespace {

QString FixturePath(const char* name) {
    return QStringLiteral(QDX_TEST_DATA "/documents/") + QLatin1String(name);
}

// Records what loading asks of the user interface.
class TRecordingShell : public TShell {
public:
    int PreviewCalls = 0;
    std::optional<QImage> Preview; // the last preview shown, none when none was
    QStringList CardTypeRequests;  // file names of the documents that asked for their type

    void ShowPreview(const QImage* image) override {
        ++PreviewCalls;
        Preview = image ? std::optional<QImage>(*image) : std::nullopt;
    }
    void ChooseCardType(TCard&, const QString& fileName) override {
        CardTypeRequests.append(fileName);
    }
};

QString RectText(const TRect& r) {
    return QStringLiteral("(%1,%2,%3,%4)").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom);
}

QString FrameName(const TCardObject* object) {
    const auto* frame = dynamic_cast<const TRichTextObject*>(object);
    return frame ? QString::fromLatin1(frame->ContentBlock()) : QStringLiteral("-");
}

// Every stored value of a card in readable form, so that two cards can be compared whole.
QStringList Describe(const TCard& card) {
    QStringList out;
    const TSheetGeometry& g = card.SheetGeometry;
    out << QStringLiteral("format %1 type %2 portrait %3 ppi %4")
               .arg(int(card.CardFormat))
               .arg(int(card.DocumentType))
               .arg(int(card.PortraitPaper))
               .arg(int(card.SavedPixelsPerInch));
    out << QStringLiteral("geometry %1 %2 %3 %4 %5 %6 %7 %8")
               .arg(g.SpacingLeft)
               .arg(g.SpacingTop)
               .arg(g.LabelWidth)
               .arg(g.LabelHeight)
               .arg(g.SpacingWidth)
               .arg(g.SpacingHeight)
               .arg(g.NumAcross)
               .arg(g.NumDown);
    out << QStringLiteral("source '%1' in templates %2 description '%3' preview %4")
               .arg(card.DataSourceName)
               .arg(int(card.DataSourceInTemplateFolder))
               .arg(card.Description)
               .arg(QString::fromLatin1(card.Preview.Bytes.toHex()));
    for (int p = 0; p < card.PageCount(); ++p) {
        const TCardPage& page = *card.Pages(p);
        QStringList order;
        for (int i = 0; i < page.FieldOrder.Count(); ++i)
            order << page.FieldOrder.Items(i)->FieldName;
        out << QStringLiteral("page %1 format %2 panels %3 order [%4]")
                   .arg(p)
                   .arg(int(page.PageFormat))
                   .arg(page.PanelCount())
                   .arg(order.join(QLatin1Char(',')));
        for (int q = 0; q < page.PanelCount(); ++q) {
            const TCardPanel& panel = *page.Panels(q);
            for (int i = 0; i < panel.Count(); ++i) {
                const TCardObject* o = panel.Items(i);
                QString line = QStringLiteral("  %1.%2 %3 %4 centre %5%6 locked %7 link %8 '%9'")
                                   .arg(q)
                                   .arg(i)
                                   .arg(QLatin1String(o->ClassName()), RectText(o->Bounds))
                                   .arg(int(o->CenterHorizontally))
                                   .arg(int(o->CenterVertically))
                                   .arg(int(o->Locked))
                                   .arg(int(o->LinkType))
                                   .arg(o->LinkTarget);
                if (const auto* shape = dynamic_cast<const TShapeObject*>(o))
                    line += QStringLiteral(" fill %1").arg(int(shape->FillColor));
                if (const auto* field = dynamic_cast<const TFieldObject*>(o))
                    line += QStringLiteral(" name %1").arg(field->FieldName);
                if (const auto* frame = dynamic_cast<const TRichTextObject*>(o))
                    line += QStringLiteral(" frame %1 after %2 before %3")
                                .arg(FrameName(frame), FrameName(frame->Predecessor()),
                                     FrameName(frame->Successor()));
                out << line;
            }
        }
    }
    return out;
}

class CardOldVersions : public testing::Test {
protected:
    CardOldVersions() { Test.Context.SetShell(&Shell); }
    ~CardOldVersions() override { Test.Context.SetShell(nullptr); }

    std::unique_ptr<TCard> Load(const char* name) {
        const QString path = FixturePath(name);
        TLoadOptions options;
        options.FileName = path;
        std::unique_ptr<TStored> root(LoadStoredFromFile(path, nullptr, &options));
        auto* card = dynamic_cast<TCard*>(root.get());
        if (!card) return nullptr;
        root.release();
        return std::unique_ptr<TCard>(card);
    }

    // The loaded document saved and loaded again holds the same values, and its saved form
    // is stable: saving the reloaded document gives the bytes of the first save, twice.
    static void ExpectStableRoundTrip(const TCard& card) {
        const QByteArray saved = CardToBytes(card);
        const std::unique_ptr<TCard> reloaded = CardFromBytes(saved);
        EXPECT_EQ(Describe(*reloaded), Describe(card));
        EXPECT_EQ(CardToBytes(*reloaded), saved);
        EXPECT_EQ(CardToBytes(*reloaded), CardToBytes(*reloaded));
    }

    TTestContext Test;
    TRecordingShell Shell;
};

struct TOldCard {
    const char* File;
    int CardFormat;
    int DocumentType;
    bool PortraitPaper;
    bool AsksForType; // records before version 8 had no document type
    std::vector<int> PageFormats;
    std::optional<TSheetGeometry> Geometry; // as stored, or Computed
};

const std::optional<TSheetGeometry> Computed; // computed for the (exchanged) format

// clang-format off
const TOldCard OldCards[] = {
    // Before version 4 formats 8 and 9 had each other's codes; the document type follows the
    // format as it is now, so an old business card stays a business card.
    {"card-v0.qdx",              8,  8,  true,  true,  {8},          Computed},
    {"card-v1.qdx",              7,  0,  true,  true,  {7},          Computed},
    {"card-v2-panels.qdx",       0,  0,  false, true,  {0},          Computed},
    {"card-v3-format8.qdx",      9,  9,  true,  true,  {9, 9},       Computed},
    {"card-v3-format9.qdx",      8,  8,  true,  true,  {8},          Computed},
    {"card-v4.qdx",              8,  8,  true,  true,  {8},          Computed},
    // The sheet geometry is stored from version 5 on. Page records before version 3
    // number the formats from 11 on one lower.
    {"card-v5-page-v2.qdx",      13, 12, true,  true,  {13, 12, 10},
     TSheetGeometry{0, 0, 2550, 0, 0, 0, 3, 1}},
    {"card-v6-template-flag.qdx", 11, 9, true,  true,  {11},
     TSheetGeometry{75, 50, 350, 200, 350, 200, 2, 4}},
    {"card-v7-extra-string.qdx", 12, 10, true,  true,  {12},
     TSheetGeometry{19, 50, 263, 100, 275, 100, 3, 10}},
    // Version 8 stores the type but not PortraitPaper: format 15 derives false.
    {"card-v8-no-portrait.qdx",  15, 15, false, false, {15},
     TSheetGeometry{0, 0, 0, 0, 0, 550, 1, 2}},
    // Version 9 stores PortraitPaper, here against what the format would derive.
    {"card-v9-preview.qdx",      1,  0,  false, false, {1},
     TSheetGeometry{0, 0, 0, 0, 0, 0, 1, 1}},
    {"card-v9-no-preview.qdx",   0,  0,  true,  false, {0},
     TSheetGeometry{0, 0, 0, 0, 0, 0, 1, 1}},
};
// clang-format on

} // namespace

TEST_F(CardOldVersions, EveryVersionGivesTodaysFormatsTypeAndSheet) {
    for (const TOldCard& expected : OldCards) {
        SCOPED_TRACE(expected.File);
        Shell.CardTypeRequests.clear();
        const std::unique_ptr<TCard> card = Load(expected.File);
        ASSERT_TRUE(card);
        EXPECT_EQ(card->CardFormat, expected.CardFormat);
        EXPECT_EQ(card->DocumentType, expected.DocumentType);
        EXPECT_EQ(card->PortraitPaper, expected.PortraitPaper);
        std::vector<int> pageFormats;
        for (int p = 0; p < card->PageCount(); ++p)
            pageFormats.push_back(card->Pages(p)->PageFormat);
        EXPECT_EQ(pageFormats, expected.PageFormats);

        TSheetGeometry geometry;
        if (expected.Geometry)
            geometry = *expected.Geometry;
        else
            ComputeSheetGeometry(expected.CardFormat, geometry);
        EXPECT_EQ(card->SheetGeometry, geometry);
        EXPECT_EQ(card->SavedPixelsPerInch, 96);
        EXPECT_FALSE(card->DocumentModified);

        // Older documents ask the user for their type and description.
        EXPECT_EQ(card->OldFormat, expected.AsksForType);
        EXPECT_EQ(Shell.CardTypeRequests,
                  expected.AsksForType ? QStringList{FixturePath(expected.File)} : QStringList{});

        // Panels are laid out for the format they are loaded with.
        for (int p = 0; p < card->PageCount(); ++p) {
            const TCardPage& page = *card->Pages(p);
            ASSERT_GE(page.PanelCount(), 1);
            for (int q = 0; q < page.PanelCount(); ++q)
                EXPECT_EQ(page.Panels(q)->Page(), &page);
            if (expected.CardFormat != 12 && expected.CardFormat != 13) {
                EXPECT_GT(page.Panels(0)->Width, 0);
            }
        }
        ExpectStableRoundTrip(*card);
    }
}

TEST_F(CardOldVersions, PanelsHeldByTheCardBecomeOnePageInTheirOrder) {
    const std::unique_ptr<TCard> card = Load("card-v2-panels.qdx");
    ASSERT_TRUE(card);
    ASSERT_EQ(card->PageCount(), 1);
    ASSERT_TRUE(card->ItemClass());
    EXPECT_STREQ(card->ItemClass()->Name, "TCardPage");
    const TCardPage& page = *card->Pages(0);
    ASSERT_EQ(page.PanelCount(), 4);
    for (int q = 0; q < 4; ++q) {
        SCOPED_TRACE(q);
        const TCardPanel& panel = *page.Panels(q);
        ASSERT_EQ(panel.Count(), q == 0 ? 2 : 1);
        const auto* rectangle = dynamic_cast<const TRectangleObject*>(panel.Items(0));
        ASSERT_TRUE(rectangle);
        EXPECT_EQ(rectangle->FillColor, q);
        // A base record of version 1 holds units already.
        EXPECT_EQ(rectangle->Bounds, (TRect{10 * q, 20, 10 * q + 100, 120}));
    }
    // Version 2 stores no text-flow links.
    const auto* frame = dynamic_cast<const TRichTextObject*>(page.Panels(0)->Items(1));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->ContentBlock(), QByteArray("frame"));
    EXPECT_EQ(frame->Predecessor(), nullptr);
    EXPECT_EQ(frame->Successor(), nullptr);

    // The adopted panels are laid out as the format's panels, in order.
    TSheetGeometry geometry;
    const bool portrait = ComputeSheetGeometry(0, geometry);
    const std::vector<TPanelGeometry> layout =
        PanelLayout(0, portrait, geometry, PaperSize(portrait, false), TPrinterMargins{});
    ASSERT_EQ(layout.size(), 4u);
    for (int q = 0; q < 4; ++q)
        EXPECT_EQ(static_cast<const TPanelGeometry&>(*page.Panels(q)), layout[size_t(q)]) << q;
}

TEST_F(CardOldVersions, ScreenDensityIsStoredFromVersion1On) {
    struct TCase {
        const char* File;
        int PixelsPerInch;
        TRect Bounds;
    };
    const TCase cases[] = {
        // Version 0 stores no density: the document takes the current one and converts the
        // pixel rectangles of its version-0 objects, (24, 48, 120, 96), with it, without
        // rescaling them again.
        {"card-v0.qdx", 96, {25, 50, 125, 100}},
        {"card-v0.qdx", 120, {20, 40, 100, 80}},
        // Version 1 was made at 120 pixels per inch: (100, 200, 300, 400) units are scaled
        // to another screen, and kept on one of the same density.
        {"card-v1.qdx", 96, {80, 160, 240, 320}},
        {"card-v1.qdx", 120, {100, 200, 300, 400}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.File << " at " << c.PixelsPerInch);
        TTestContext test(c.PixelsPerInch);
        const std::unique_ptr<TStored> root(LoadStoredFromFile(FixturePath(c.File)));
        const auto* card = dynamic_cast<const TCard*>(root.get());
        ASSERT_TRUE(card);
        EXPECT_EQ(card->SavedPixelsPerInch, c.PixelsPerInch);
        ASSERT_EQ(card->PageCount(), 1);
        ASSERT_EQ(card->Pages(0)->PanelCount(), 1);
        const TCardPanel& panel = *card->Pages(0)->Panels(0);
        ASSERT_EQ(panel.Count(), 1);
        EXPECT_EQ(panel.Items(0)->Bounds, c.Bounds);
    }
}

TEST_F(CardOldVersions, PageFieldOrderByPageVersion) {
    struct TCase {
        const char* File;
        std::vector<QStringList> Order; // per page
    };
    const TCase cases[] = {
        // Version 0 stores no order, version 1 one that is not trusted: both are rebuilt
        // from the fields of the panels in panel and object order.
        {"card-v3-format9.qdx", {{QStringLiteral("Only")}}},
        {"card-v3-format8.qdx",
         {{QStringLiteral("F1"), QStringLiteral("F2")}, {QStringLiteral("F3")}}},
        // Version 2 keeps the stored order. Names match exactly ("f1" is skipped) and the
        // first field of a name is taken; a name that matches no field is skipped, and a
        // field the order does not name stays out of it.
        {"card-v5-page-v2.qdx", {{QStringLiteral("F3"), QStringLiteral("F1")}, {}, {}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        const std::unique_ptr<TCard> card = Load(c.File);
        ASSERT_TRUE(card);
        ASSERT_EQ(size_t(card->PageCount()), c.Order.size());
        for (int p = 0; p < card->PageCount(); ++p) {
            const TCardPage& page = *card->Pages(p);
            QStringList names;
            for (int i = 0; i < page.FieldOrder.Count(); ++i) {
                TFieldObject* field = page.FieldOrder.Items(i);
                ASSERT_TRUE(field);
                names << field->FieldName;
                // The order refers to the very objects in the page's panels, the first of
                // each name.
                EXPECT_EQ(page.FindField(field->FieldName), field);
            }
            EXPECT_EQ(names, c.Order[size_t(p)]) << "page " << p;
        }
    }
}

TEST_F(CardOldVersions, TemplateFolderFlagFromVersion6AndDescriptionFromVersion7) {
    struct TCase {
        const char* File;
        bool InTemplateFolder;
        QString Description;
    };
    const TCase cases[] = {
        {"card-v5-page-v2.qdx", false, QString()},
        {"card-v6-template-flag.qdx", true, QString()},
        // Windows-1252 text of older documents reads as such.
        {"card-v7-extra-string.qdx", true, QStringLiteral("R\u00e9sum\u00e9 labels")},
        {"card-v9-preview.qdx", false, QStringLiteral("With preview")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        const std::unique_ptr<TCard> card = Load(c.File);
        ASSERT_TRUE(card);
        EXPECT_EQ(card->DataSourceInTemplateFolder, c.InTemplateFolder);
        EXPECT_EQ(card->Description, c.Description);
        EXPECT_TRUE(card->DataSourceName.isEmpty());
    }
}

TEST_F(CardOldVersions, Version7DiscardsTheStringAfterTheDescription) {
    const std::unique_ptr<TCard> card = Load("card-v7-extra-string.qdx");
    ASSERT_TRUE(card);
    // What follows the discarded string is read in step: the frame's links and the preview.
    const auto* frame = dynamic_cast<const TRichTextObject*>(card->ObjectAt(0, 0, 0));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Predecessor(), nullptr);
    EXPECT_EQ(frame->Successor(), nullptr);
    EXPECT_EQ(frame->ContentBlock(), QByteArray("label text"));
    EXPECT_EQ(card->Preview.Bytes.size(), 70);
}

TEST_F(CardOldVersions, DataSourceOfAnOlderRecordIsOpenedAndKeptWhenItFails) {
    const std::unique_ptr<TCard> card = Load("card-v8-no-portrait.qdx");
    ASSERT_TRUE(card);
    EXPECT_EQ(card->DataSourceName, QStringLiteral("Recipients.DBF"));
    ASSERT_EQ(Test.Messages.Errors.size(), 1);
    EXPECT_EQ(Test.Messages.Errors[0].section(QLatin1Char('\n'), 0, 0),
              QStringLiteral("Error opening database Recipients.DBF."));
    EXPECT_FALSE(card->DocumentModified);
}

namespace {

const char* const ConnectedOldCards[] = {"card-v2-missing-table.qdx", "card-v3-missing-table.qdx",
                                          "card-v5-missing-table.qdx", "card-v9-missing-table.qdx"};
const QString MissingTable = QStringLiteral("C:\\Data\\Customers.DB");

// A table that opens whatever it is asked for: one record whose First is Ann.
class TAnyNameTable : public TRecordSource {
public:
    QStringList Opened; // folder and name of each open
    bool IsOpenNow = false;
    void Open(const QString& folder, const QString& tableName, TTableType) override {
        Opened << folder + QLatin1Char('|') + tableName;
        IsOpenNow = true;
    }
    void Close() override { IsOpenNow = false; }
    bool IsOpen() const override { return IsOpenNow; }
    QStringList FieldNames() const override { return {QStringLiteral("First")}; }
    int RecordCount() const override { return 1; }
    std::optional<QString> FieldText(const QString& name) const override {
        if (name.compare(QLatin1String("First"), Qt::CaseInsensitive) != 0) return std::nullopt;
        return QStringLiteral("Ann");
    }
    void First() override {}
    void Next() override {}
    void Prior() override {}
    void Last() override {}
    bool Bof() const override { return true; }
    bool Eof() const override { return false; }
    int RecordNumber() const override { return 1; }
    void MoveTo(int) override {}
};

QStringList HeadlineLines(const TCard& card) {
    QStringList lines;
    card.ForEachObject([&](TCardObject* object) {
        if (auto* headline = dynamic_cast<THeadlineObject*>(object))
            lines << headline->HeadlineText().Lines;
    });
    return lines;
}

} // namespace

TEST_F(CardOldVersions, OldConnectedCardOpensWhenTableIsMissing) {
    for (const char* file : ConnectedOldCards) {
        SCOPED_TRACE(file);
        Test.Messages.Errors.clear();
        const std::unique_ptr<TCard> card = Load(file);
        ASSERT_TRUE(card);
        ASSERT_EQ(card->PageCount(), 1);
        EXPECT_EQ(card->Pages(0)->PanelCount(), 4);
        EXPECT_EQ(card->DataSourceName, MissingTable);
        ASSERT_EQ(Test.Messages.Errors.size(), 1);
        EXPECT_EQ(Test.Messages.Errors[0].section(QLatin1Char('\n'), 0, 0),
                  QStringLiteral("Error opening database %1.").arg(MissingTable));
        // Without a table the code shows as typed.
        EXPECT_EQ(HeadlineLines(*card), QStringList{QStringLiteral("Dear <First>")});
        EXPECT_FALSE(card->DocumentModified);
        Test.Messages.Errors.clear();
        ExpectStableRoundTrip(*card);
    }
}

TEST_F(CardOldVersions, OldConnectedCardShowsTheFirstRecordOfItsTable) {
    for (const char* file : ConnectedOldCards) {
        SCOPED_TRACE(file);
        TAnyNameTable* table = nullptr;
        Test.Context.RecordSourceFactory = [&table] {
            auto made = std::make_unique<TAnyNameTable>();
            table = made.get();
            return made;
        };
        const std::unique_ptr<TCard> card = Load(file);
        ASSERT_TRUE(card);
        ASSERT_TRUE(table);
        EXPECT_EQ(table->Opened, QStringList{QStringLiteral(".|") + MissingTable});
        EXPECT_TRUE(Test.Messages.Errors.isEmpty()) << Test.Messages.Errors.join(' ').toStdString();
        EXPECT_EQ(HeadlineLines(*card), QStringList{QStringLiteral("Dear Ann")});
        EXPECT_FALSE(card->DocumentModified);
    }
}

TEST_F(CardOldVersions, StaticSlotTablesKeepTheirTextFlowLinks) {
    const std::unique_ptr<TCard> card = Load("textflow-static-slots.qdx");
    ASSERT_TRUE(card);
    // The free slots are gone; the frames keep their order and their links.
    ASSERT_EQ(card->PageCount(), 2);
    EXPECT_EQ(card->Pages(0)->Panels(0)->Count(), 3);
    EXPECT_EQ(FrameName(card->ObjectAt(0, 0, 0)), QStringLiteral("A"));
    EXPECT_TRUE(dynamic_cast<TRectangleObject*>(card->ObjectAt(0, 0, 1)));
    EXPECT_EQ(FrameName(card->ObjectAt(0, 0, 2)), QStringLiteral("B"));
    EXPECT_EQ(FrameName(card->ObjectAt(1, 1, 0)), QStringLiteral("C"));
    auto* a = dynamic_cast<TRichTextObject*>(card->ObjectAt(0, 0, 0));
    ASSERT_TRUE(a);
    ASSERT_TRUE(a->Successor());
    EXPECT_EQ(FrameName(a->Successor()), QStringLiteral("B"));
    ASSERT_TRUE(a->Successor()->Successor());
    EXPECT_EQ(FrameName(a->Successor()->Successor()), QStringLiteral("C"));
    EXPECT_EQ(a->Successor()->Successor()->Predecessor(), a->Successor());
    ExpectStableRoundTrip(*card);
}

TEST_F(CardOldVersions, PreviewIsReadFromVersion7OnAndHandedToTheMainWindow) {
    for (const char* file : {"card-v7-extra-string.qdx", "card-v9-preview.qdx"}) {
        SCOPED_TRACE(file);
        Shell.PreviewCalls = 0;
        const std::unique_ptr<TCard> card = Load(file);
        ASSERT_TRUE(card);
        EXPECT_EQ(card->Preview.Bytes.size(), 70);
        EXPECT_EQ(Shell.PreviewCalls, 1);
        ASSERT_TRUE(Shell.Preview);
        const QImage& image = *Shell.Preview;
        ASSERT_EQ(image.size(), QSize(2, 2));
        EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(1, 0), qRgb(255, 255, 255));
        EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 255));
        EXPECT_EQ(image.pixel(1, 1), qRgb(0, 255, 0));
        const std::unique_ptr<TCard> reloaded = Reloaded(*card);
        EXPECT_EQ(reloaded->Preview.Bytes, card->Preview.Bytes);
    }
    // Without a preview (a false flag, or a record before version 7) the main window is
    // handed none.
    for (const char* file :
         {"card-v9-no-preview.qdx", "card-v8-no-portrait.qdx", "card-v5-page-v2.qdx"}) {
        SCOPED_TRACE(file);
        Shell.PreviewCalls = 0;
        Shell.Preview = QImage(1, 1, QImage::Format_RGB32);
        const std::unique_ptr<TCard> card = Load(file);
        ASSERT_TRUE(card);
        EXPECT_TRUE(card->Preview.IsEmpty());
        EXPECT_EQ(Shell.PreviewCalls, 1);
        EXPECT_FALSE(Shell.Preview);
    }
}

TEST_F(CardOldVersions, TextFlowLinksAreRestoredAndBadOnesDropped) {
    struct TCase {
        const char* File;
        std::map<QString, QString> Successors; // every link that must remain
    };
    const TCase cases[] = {
        // A -> B -> C across panels and pages.
        {"textflow-linked.qdx", {{"A", "B"}, {"B", "C"}}},
        // Links beyond the objects, panels or pages, with negative indices or at an object
        // that is not a frame yield no link.
        {"textflow-dangling.qdx", {{"A", "D"}}},
        // A -> B -> C -> A: the link that closes the circle goes; so does D -> D.
        {"textflow-cycle.qdx", {{"A", "B"}, {"B", "C"}}},
        // Indices of static tables count their free slots.
        {"textflow-static-slots.qdx", {{"A", "B"}, {"B", "C"}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        const std::unique_ptr<TCard> card = Load(c.File);
        ASSERT_TRUE(card);
        const std::unique_ptr<TCard> reloaded = Reloaded(*card);
        for (const TCard* document : {card.get(), reloaded.get()}) {
            SCOPED_TRACE(document == card.get() ? "loaded" : "reloaded");
            std::map<QString, QString> successors;
            int frames = 0;
            document->ForEachObject([&](TCardObject* object) {
                auto* frame = dynamic_cast<TRichTextObject*>(object);
                if (!frame) return;
                ++frames;
                if (TRichTextObject* next = frame->Successor()) {
                    successors[FrameName(frame)] = FrameName(next);
                    EXPECT_EQ(next->Predecessor(), frame) << FrameName(frame).toStdString();
                }
                if (TRichTextObject* before = frame->Predecessor()) {
                    EXPECT_EQ(before->Successor(), frame) << FrameName(frame).toStdString();
                }
                // No chain runs in a circle.
                int steps = 0;
                for (const TRichTextObject* walk = frame->Successor(); walk && steps <= frames + 4;
                     walk = walk->Successor())
                    ++steps;
                EXPECT_LE(steps, 4) << FrameName(frame).toStdString();
            });
            EXPECT_GE(frames, 3);
            EXPECT_EQ(successors, c.Successors);
        }
        ExpectStableRoundTrip(*card);
    }
}

TEST_F(CardOldVersions, TextFlowFramesKeepTheirPlaces) {
    const std::unique_ptr<TCard> card = Load("textflow-linked.qdx");
    ASSERT_TRUE(card);
    EXPECT_EQ(FrameName(card->ObjectAt(0, 0, 0)), QStringLiteral("A"));
    EXPECT_EQ(FrameName(card->ObjectAt(0, 2, 1)), QStringLiteral("B"));
    EXPECT_EQ(FrameName(card->ObjectAt(1, 0, 0)), QStringLiteral("C"));
    EXPECT_TRUE(dynamic_cast<TRectangleObject*>(card->ObjectAt(0, 0, 1)));
    EXPECT_TRUE(dynamic_cast<TRectangleObject*>(card->ObjectAt(0, 2, 0)));
}
