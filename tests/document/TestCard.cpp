#include "document/Card.h"
#include "document/Control.h"
#include "objects/Headline.h"
#include "objects/RichText.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"
#include "support/StorageFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <new>

TEST(Card, NewCardsHaveOnePageWithTheFormatsPanelsLaidOut) {
    TTestContext test;
    for (int format = 0; format < CardFormatCount; ++format) {
        TCard card(format, 0);
        ASSERT_EQ(card.PageCount(), 1);
        const TCardPage& page = *card.Pages(0);
        EXPECT_EQ(page.PageFormat, format);
        EXPECT_EQ(page.PanelCount(), CardFormatInfo(format)->Panels) << format;
        EXPECT_EQ(card.PortraitPaper, CardFormatInfo(format)->Portrait) << format;
        EXPECT_TRUE(card.DocumentModified);
        EXPECT_EQ(card.SavedPixelsPerInch, 96);
        if (format != 12 && format != 13) { // labels and banners take their size elsewhere
            EXPECT_GT(page.Panels(0)->Width, 0) << format;
        }
        for (int i = 0; i < page.PanelCount(); ++i)
            EXPECT_EQ(page.Panels(i)->Page(), &page);
    }
    TCard business(10, 9);
    EXPECT_EQ(business.SheetGeometry.NumDown, 5);
    EXPECT_EQ(business.Pages(0)->Panels(0)->Width, 350);
}

TEST(Card, PageExtentCountsTheFirstSide) {
    TTestContext test;
    TCard bifold(0, 0); // landscape Letter, fold down the middle
    EXPECT_EQ(bifold.Pages(0)->PageExtent(), QSize(1101, 850));
    TCard certificate(7, 4);
    EXPECT_EQ(certificate.Pages(0)->PageExtent(), QSize(850, 1100));
}

TEST(Card, PreviewIs160PixelsOnTheLongerSide) {
    TTestContext test;
    TCard wide(0, 0);
    const QImage preview = RenderCardPreview(wide);
    EXPECT_EQ(preview.size(), QSize(160, 124));
    TCard tall(7, 4);
    EXPECT_EQ(RenderCardPreview(tall).size(), QSize(124, 160));

    // Saved with the document and read back; without one only a false flag is stored.
    wide.Preview = PreviewBitmap(preview);
    const auto reloaded = Reloaded(wide);
    EXPECT_EQ(QImage::fromData(reloaded->Preview.Bytes, "BMP").size(), QSize(160, 124));
    wide.Preview = TBitmapData();
    const QByteArray without = CardToBytes(wide);
    EXPECT_TRUE(Reloaded(wide)->Preview.IsEmpty());
    wide.Preview = PreviewBitmap(preview);
    EXPECT_EQ(CardToBytes(wide).size(), without.size() + 4 + wide.Preview.Bytes.size());
}

TEST(Card, PreviewShowsTheObjectsOfTheFirstSide) {
    TTestContext test;
    TCard card(7, 4);
    auto* r = new TRectangleObject();
    r->Bounds = {0, 0, 850, 550}; // the top half of the page
    r->FillColor = 12;
    card.Pages(0)->Panels(0)->AddObject(r);
    const QImage preview = RenderCardPreview(card);
    EXPECT_EQ(preview.pixel(60, 30), qRgb(0, 0, 255));
    EXPECT_EQ(preview.pixel(60, 130), qRgb(255, 255, 255));
}

TEST(Card, BoundsKeepTheirUnitsOnTheSameScreenAndRescaleOnAnother) {
    QByteArray bytes;
    {
        TTestContext test(96);
        TCard card(7, 4);
        auto* r = new TRectangleObject();
        r->Bounds = {96, 192, 480, 300};
        card.Pages(0)->Panels(0)->AddObject(r);
        bytes = CardToBytes(card);
        const auto same = CardFromBytes(bytes);
        EXPECT_EQ(same->Pages(0)->Panels(0)->Items(0)->Bounds, (TRect{96, 192, 480, 300}));
        EXPECT_FALSE(same->DocumentModified);
    }
    TTestContext test(120);
    const auto card = CardFromBytes(bytes);
    EXPECT_EQ(card->Pages(0)->Panels(0)->Items(0)->Bounds, (TRect{120, 240, 600, 375}));
    EXPECT_EQ(card->SavedPixelsPerInch, 120);
}

TEST(Card, DataSourceThatCannotOpenIsReportedAndKept) {
    TTestContext test;
    QTemporaryDir dir;
    test.Context.TemplateFolder = dir.filePath(QStringLiteral("Template"));
    TCard card(12, 10);
    card.DocumentModified = false;
    const QString name = dir.filePath(QStringLiteral("people.txt"));
    card.SetDataSource(name);
    // The message names the table; the reason for refusing it follows on a line of its own.
    ASSERT_EQ(test.Messages.Errors.size(), 1);
    const QStringList lines = test.Messages.Errors[0].split(QLatin1Char('\n'));
    EXPECT_EQ(lines.value(0), QStringLiteral("Error opening database %1.").arg(name));
    EXPECT_EQ(lines.size(), 2);
    EXPECT_EQ(card.DataSourceName, name);
    EXPECT_FALSE(card.DataSourceInTemplateFolder);
    EXPECT_TRUE(card.DocumentModified);

    card.SetDataSource(name); // the same name again does nothing
    EXPECT_EQ(test.Messages.Errors.size(), 1);

    card.SetDataSource(QDir(test.Context.TemplateFolder).filePath(QStringLiteral("list.db")));
    EXPECT_TRUE(card.DataSourceInTemplateFolder);

    // Loading reports the same and still opens the document.
    const auto reloaded = Reloaded(card);
    EXPECT_EQ(reloaded->DataSourceName, card.DataSourceName);
    EXPECT_EQ(test.Messages.Errors.size(), 3);
}

TEST(Card, TextFlowLinksAreSavedAsIndicesAndRestored) {
    TTestContext test;
    TCard card(0, 0);
    auto* first = new TRichTextObject();
    auto* second = new TRichTextObject();
    auto* third = new TRichTextObject();
    card.Pages(0)->Panels(1)->AddObject(first);
    card.Pages(0)->Panels(1)->AddObject(new TRectangleObject());
    card.Pages(0)->Panels(2)->AddObject(second);
    card.Pages(0)->Panels(3)->AddObject(third);
    first->SetSuccessor(second);
    second->SetPredecessor(first);
    second->SetSuccessor(third);
    third->SetPredecessor(second);

    const QByteArray bytes = CardToBytes(card);
    const auto loaded = CardFromBytes(bytes);
    auto* a = static_cast<TRichTextObject*>(loaded->ObjectAt(0, 1, 0));
    auto* b = static_cast<TRichTextObject*>(loaded->ObjectAt(0, 2, 0));
    auto* c = static_cast<TRichTextObject*>(loaded->ObjectAt(0, 3, 0));
    EXPECT_EQ(a->Successor(), b);
    EXPECT_EQ(b->Predecessor(), a);
    EXPECT_EQ(b->Successor(), c);
    EXPECT_EQ(c->Predecessor(), b);
    EXPECT_EQ(a->Predecessor(), nullptr);
    EXPECT_EQ(CardToBytes(*loaded), bytes);

    // A frame leaving the chain joins its neighbours.
    loaded->Pages(0)->Panels(2)->DeleteObject(0);
    EXPECT_EQ(a->Successor(), c);
    EXPECT_EQ(c->Predecessor(), a);
}

TEST(Card, TextFlowCyclesAreBrokenOnLoad) {
    TTestContext test;
    TCard card(7, 4);
    auto* a = new TRichTextObject();
    auto* b = new TRichTextObject();
    card.Pages(0)->Panels(0)->AddObject(a);
    card.Pages(0)->Panels(0)->AddObject(b);
    a->SetTextFlow(b, b);
    b->SetTextFlow(a, a);
    const auto loaded = Reloaded(card);
    auto* la = static_cast<TRichTextObject*>(loaded->ObjectAt(0, 0, 0));
    auto* lb = static_cast<TRichTextObject*>(loaded->ObjectAt(0, 0, 1));
    EXPECT_EQ(la->Successor(), lb);
    EXPECT_EQ(lb->Predecessor(), la);
    EXPECT_EQ(lb->Successor(), nullptr); // would close the circle
    EXPECT_EQ(la->Predecessor(), nullptr);
}

TEST(Card, FrameLinkDiesWithTheFrameItNamesEvenWhenItsAddressComesBack) {
    TTestContext test;
    // One-sided links (from damaged files) must not outlive the frame they name either; and a
    // new frame made in the freed frame's memory is not that frame.
    alignas(TRichTextObject) unsigned char memory[sizeof(TRichTextObject)];
    TRichTextObject before;
    TRichTextObject after;
    auto* gone = new (memory) TRichTextObject();
    before.SetSuccessor(gone);
    after.SetPredecessor(gone);
    after.SetSuccessor(gone);
    gone->~TRichTextObject();
    auto* reborn = new (memory) TRichTextObject();
    EXPECT_EQ(before.Successor(), nullptr);
    EXPECT_EQ(after.Predecessor(), nullptr);
    EXPECT_EQ(after.Successor(), nullptr);

    // Links the new frame takes are its own, and go when the frame that holds them goes.
    {
        TRichTextObject holder;
        holder.SetSuccessor(reborn);
        reborn->SetPredecessor(&holder);
    }
    EXPECT_EQ(reborn->Predecessor(), nullptr);
    reborn->~TRichTextObject();

    // A chain still closes up around a frame that leaves it, however it was linked.
    TRichTextObject first, third;
    auto* middle = new TRichTextObject();
    first.SetTextFlow(nullptr, middle);
    middle->SetTextFlow(&first, &third);
    third.SetTextFlow(middle, nullptr);
    delete middle;
    EXPECT_EQ(first.Successor(), &third);
    EXPECT_EQ(third.Predecessor(), &first);
}

TEST(Card, CollectedTextRunsByPanelThenTopEdge) {
    TTestContext test;
    TCard card(0, 0);
    auto headline = [](const QString& text, int top) {
        auto* h = new THeadlineObject();
        h->Text = text;
        h->Bounds = {0, top, 100, top + 40};
        return h;
    };
    card.Pages(0)->Panels(0)->AddObject(headline(QStringLiteral("lower"), 300));
    card.Pages(0)->Panels(0)->AddObject(new TRectangleObject());
    card.Pages(0)->Panels(0)->AddObject(headline(QStringLiteral("upper"), 10));
    card.Pages(0)->Panels(2)->AddObject(headline(QStringLiteral("inside"), 0));
    EXPECT_EQ(card.CollectText(), QStringLiteral("upper\r\nlower\r\ninside\r\n"));
}

TEST(Card, DescriptionAndFormatChangesMarkTheCard) {
    TTestContext test;
    TCard card(0, 0);
    card.DocumentModified = false;
    card.SetDescription(QStringLiteral("For Ann"));
    EXPECT_TRUE(card.DocumentModified);
    card.Add(new TCardPage(0));
    card.SetCardFormat(1);
    EXPECT_EQ(card.Pages(0)->PageFormat, 1);
    EXPECT_EQ(card.Pages(1)->PageFormat, 1);
}

TEST(Card, SaveToFileAndOpenAgain) {
    TTestContext test;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ann.qdx"));
    TCard card(0, 0);
    card.SetDescription(QStringLiteral("Birthday card for Ann"));
    auto* field = new TFieldObject();
    field->FieldName = QStringLiteral("Qty");
    card.Pages(0)->Panels(0)->AddObject(field);
    SaveStoredToFile(path, card);
    std::unique_ptr<TStored> loaded(LoadStoredFromFile(path));
    auto* opened = dynamic_cast<TCard*>(loaded.get());
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->Description, QStringLiteral("Birthday card for Ann"));
    ASSERT_EQ(opened->Pages(0)->FieldOrder.Count(), 1);
    EXPECT_EQ(opened->Pages(0)->FieldOrder.Items(0)->FieldName, QStringLiteral("Qty"));
}

TEST(Card, DocumentsNeverHoldForeignItems) {
    TTestContext test;
    TCard card(7, 4);
    QByteArray bytes = CardToBytes(card);
    // The page table's item class named as something else is refused, not trusted.
    bytes.replace("\x0ATCardPanel", "\x0ATByteTable");
    EXPECT_THROW(CardFromBytes(bytes), Exception);
}

// Files the fuzzer found: each loads or fails with a message, and nothing it holds is left
// for the program to trip over (every page, panel and object slot holds an object).
TEST(Card, DamagedDocumentsLoadSoundlyOrFailCleanly) {
    TTestContext test;
    const QDir dir(QStringLiteral(QDX_TEST_DATA "/malformed/documents"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        try {
            const auto card = CardFromBytes(file.readAll());
            for (int p = 0; p < card->PageCount(); ++p) {
                ASSERT_NE(card->Pages(p), nullptr) << name.toStdString();
                for (int q = 0; q < card->Pages(p)->PanelCount(); ++q) {
                    const TCardPanel* panel = card->Pages(p)->Panels(q);
                    ASSERT_NE(panel, nullptr) << name.toStdString();
                    for (int i = 0; i < panel->Count(); ++i)
                        EXPECT_NE(panel->Items(i), nullptr) << name.toStdString();
                }
            }
            card->CollectText();
            RenderCardPreview(*card);
        } catch (const Exception&) {
        } catch (const std::runtime_error&) { // not a document at all
        }
    }
}

TEST(Card, ADamagedSheetGeometryCannotAskForABillionLabels) {
    TTestContext test;
    TCard card(12, 10);
    card.SheetGeometry.NumAcross = 32767;
    card.SheetGeometry.NumDown = -5;
    const std::unique_ptr<TCard> loaded = Reloaded(card);
    EXPECT_EQ(loaded->SheetGeometry.NumAcross, MaxSheetCells);
    EXPECT_EQ(loaded->SheetGeometry.NumDown, 0);
    card.SheetGeometry.NumAcross = 3;
    card.SheetGeometry.NumDown = 10;
    EXPECT_EQ(Reloaded(card)->SheetGeometry, card.SheetGeometry); // real stocks as they were
}
