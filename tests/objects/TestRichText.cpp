#include "objects/RichText.h"

#include "document/Canvas.h"
#include "document/Card.h"
#include "objects/TextFlow.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"

#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

QString Story(int words) {
    QStringList list;
    for (int i = 0; i < words; ++i) list << QStringLiteral("word%1").arg(i);
    return list.join(QLatin1Char(' '));
}

// Three frames of different sizes on two pages, linked in order; the story in the first.
struct TThreeFrames {
    std::unique_ptr<TCard> Card = std::make_unique<TCard>(11, 1);
    TRichTextObject* A = new TRichTextObject();
    TRichTextObject* B = new TRichTextObject();
    TRichTextObject* C = new TRichTextObject();

    explicit TThreeFrames(const QString& text) {
        Card->Add(new TCardPage(Card->CardFormat));
        A->Bounds = {50, 50, 350, 250};
        B->Bounds = {50, 50, 250, 450};
        C->Bounds = {400, 50, 800, 300};
        Card->Pages(0)->Panels(0)->AddObject(A);
        Card->Pages(0)->Panels(0)->AddObject(B);
        Card->Pages(1)->Panels(0)->AddObject(C);
        EXPECT_TRUE(A->LinkTo(B));
        EXPECT_TRUE(B->LinkTo(C));
        A->Document().setPlainText(text);
    }
};

// Every frame's range follows the previous one's without a gap or an overlap.
void ExpectContiguous(const TTextFlow& flow) {
    for (int f = 1; f < flow.FrameCount(); ++f)
        EXPECT_EQ(flow.FrameStart(f), flow.FrameEnd(f - 1)) << "frame " << f;
}

QImage DrawFrame(TRichTextObject& frame, TCanvas::TKind kind, QColor background = Qt::white) {
    QImage image(frame.Bounds.Right + 20, frame.Bounds.Bottom + 20, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    TCanvas canvas(painter, 100, 100, kind);
    frame.Paint(canvas, 0, 0, kind == TCanvas::TKind::Printer);
    return image;
}

int Count(const QImage& image, const std::function<bool(QRgb)>& test) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

int Ink(const QImage& image) {
    return Count(image, [](QRgb p) { return qGray(p) < 128; });
}

int Red(const QImage& image) {
    return Count(image, [](QRgb p) { return qRed(p) > 150 && qGreen(p) < 80 && qBlue(p) < 80; });
}

} // namespace

TEST(RichText, TextFlowsThroughFramesOfDifferentSizesOnTwoPages) {
    TTestContext test;
    TThreeFrames chain(Story(140));
    const TTextFlow& flow = chain.A->Flow();
    ASSERT_EQ(flow.FrameCount(), 3);
    EXPECT_EQ(flow.FrameStart(0), 0);
    EXPECT_GT(flow.FrameEnd(0), 0);
    ExpectContiguous(flow);
    EXPECT_GT(flow.FrameEnd(2), flow.FrameStart(2)); // the last frame receives text too
    // The narrow second frame holds fewer characters per line but is taller.
    EXPECT_EQ(&chain.B->Flow(), &flow);
    EXPECT_EQ(chain.C->ChainIndex(), 2);
    EXPECT_FALSE(flow.Overflows());
    EXPECT_EQ(flow.FrameEnd(2), chain.A->Document().characterCount() - 1);
}

TEST(RichText, ResizingTheFirstFrameMovesTheSplitAndDeletingTheMiddleFrameRelinks) {
    TTestContext test;
    TThreeFrames chain(Story(400));
    const int split = chain.A->Flow().FrameEnd(0);
    chain.A->SetBounds({50, 50, 350, 150}); // half as high
    const TTextFlow& flow = chain.A->Flow();
    EXPECT_LT(flow.FrameEnd(0), split);
    EXPECT_GT(flow.FrameEnd(0), 0);
    ExpectContiguous(flow);

    const int secondEnds = flow.FrameEnd(1);
    TCardPanel& panel = *chain.Card->Pages(0)->Panels(0);
    panel.DeleteObject(1); // B
    EXPECT_EQ(chain.A->Successor(), chain.C);
    EXPECT_EQ(chain.C->Predecessor(), chain.A);
    const TTextFlow& relinked = chain.A->Flow();
    ASSERT_EQ(relinked.FrameCount(), 2);
    EXPECT_EQ(relinked.FrameStart(1), relinked.FrameEnd(0)); // C continues where A stops
    EXPECT_LT(relinked.FrameEnd(1), secondEnds + 1 + chain.A->Document().characterCount());
}

TEST(RichText, DeletingTheFirstFrameKeepsTheStoryInTheChain) {
    TTestContext test;
    TThreeFrames chain(Story(50));
    const QString text = chain.A->PlainText();
    chain.Card->Pages(0)->Panels(0)->DeleteObject(0); // A
    EXPECT_EQ(chain.B->Predecessor(), nullptr);
    EXPECT_EQ(chain.B->PlainText(), text);
    EXPECT_EQ(chain.B->Flow().FrameStart(0), 0);
}

TEST(RichText, ASplitInsideABoldRunKeepsTheRunBold) {
    TTestContext test;
    const auto inkOfSecondFrame = [](bool bold) {
        TThreeFrames chain(Story(120));
        QTextCursor all(&chain.A->Document());
        all.select(QTextCursor::Document);
        QTextCharFormat format;
        format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        all.mergeCharFormat(format);
        const TTextFlow& flow = chain.A->Flow();
        EXPECT_GT(flow.FrameEnd(1), flow.FrameStart(1));
        // The split falls inside the paragraph (and so inside the run).
        EXPECT_EQ(chain.A->Document().blockCount(), 1);
        return Ink(DrawFrame(*chain.B, TCanvas::TKind::Printer));
    };
    const int regular = inkOfSecondFrame(false);
    const int bold = inkOfSecondFrame(true);
    EXPECT_GT(regular, 200);
    EXPECT_GT(bold, regular * 11 / 10);
}

TEST(RichText, TextPastTheLastFrameIsKeptMarkedAndStored) {
    TTestContext test;
    TThreeFrames chain(Story(3000));
    const TTextFlow& flow = chain.A->Flow();
    EXPECT_TRUE(flow.Overflows());
    EXPECT_LT(flow.LaidOutEnd(), chain.A->Document().characterCount() - 1);
    // The mark shows on screen on the last frame only, and never prints.
    EXPECT_GT(Red(DrawFrame(*chain.C, TCanvas::TKind::Screen)), 10);
    EXPECT_EQ(Red(DrawFrame(*chain.B, TCanvas::TKind::Screen)), 0);
    EXPECT_EQ(Red(DrawFrame(*chain.C, TCanvas::TKind::Printer)), 0);

    const auto loaded = Reloaded(*chain.Card);
    auto* a = dynamic_cast<TRichTextObject*>(loaded->ObjectAt(0, 0, 0));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->PlainText(), Story(3000));
    EXPECT_EQ(a->Successor(), loaded->ObjectAt(0, 0, 1));
    EXPECT_EQ(a->Chain().size(), 3u);
    EXPECT_EQ(a->Flow().LaidOutEnd(), flow.LaidOutEnd());
}

TEST(RichText, FormattingAndParagraphsSurviveSaveAndLoad) {
    TTestContext test;
    TThreeFrames chain(QStringLiteral("Heading\nBody text ünïcödé"));
    QTextCursor cursor(&chain.A->Document());
    cursor.setPosition(0);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
    EXPECT_TRUE(chain.A->ContentBlock().startsWith(TRichTextObject::ContentTag()));
    EXPECT_TRUE(chain.B->ContentBlock().isEmpty()); // successors hold nothing of their own

    const auto loaded = Reloaded(*chain.Card);
    auto* a = static_cast<TRichTextObject*>(loaded->ObjectAt(0, 0, 0));
    const QTextBlock first = a->Document().begin();
    EXPECT_EQ(first.text(), QStringLiteral("Heading"));
    EXPECT_EQ(first.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(first.textFormats().front().format.fontWeight(), QFont::Bold);
    EXPECT_EQ(first.next().text(), QStringLiteral("Body text ünïcödé"));
    EXPECT_NE(first.next().textFormats().front().format.fontWeight(), QFont::Bold);
}

TEST(RichText, ABlockOfAnotherEngineIsKeptByteForByteUntilReplaced) {
    TTestContext test;
    const QByteArray foreign("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Annual \\b report\\b0\\par "
                             "caf\\'e9 \\u0}");
    TCard card(11, 1);
    auto* frame = new TRichTextObject();
    frame->Bounds = {10, 10, 400, 300};
    frame->SetContentBlock(foreign);
    card.Pages(0)->Panels(0)->AddObject(frame);
    EXPECT_TRUE(frame->HoldsForeignBlock());
    EXPECT_EQ(frame->ForeignWords(), QStringLiteral("Annual report café"));
    // Drawing, laying out, copying and reading its text change nothing.
    DrawFrame(*frame, TCanvas::TKind::Screen);
    frame->Flow();
    EXPECT_EQ(frame->PlainText(), QStringLiteral("Annual report café"));
    std::unique_ptr<TStored> copy(CloneStored(frame));
    EXPECT_EQ(static_cast<TRichTextObject*>(copy.get())->ContentBlock(), foreign);

    auto loaded = Reloaded(card);
    auto* again = static_cast<TRichTextObject*>(loaded->ObjectAt(0, 0, 0));
    EXPECT_EQ(again->ContentBlock(), foreign);
    // Clicking in offers the words; until they change, the old block stays.
    again->BeginEditing();
    EXPECT_EQ(again->Document().toPlainText(), QStringLiteral("Annual report café"));
    EXPECT_EQ(again->ContentBlock(), foreign);
    const auto twice = Reloaded(*loaded);
    EXPECT_EQ(static_cast<TRichTextObject*>(twice->ObjectAt(0, 0, 0))->ContentBlock(), foreign);
    again->EditCursor().insertText(QStringLiteral("New "));
    EXPECT_FALSE(again->HoldsForeignBlock());
    EXPECT_TRUE(again->ContentBlock().startsWith(TRichTextObject::ContentTag()));
    auto replaced = Reloaded(*loaded);
    EXPECT_EQ(static_cast<TRichTextObject*>(replaced->ObjectAt(0, 0, 0))->PlainText(),
              QStringLiteral("New Annual report café"));
}

TEST(RichText, AForeignBlockIsDrawnAsAPlaceholderOnScreenOnly) {
    TTestContext test;
    TRichTextObject frame;
    frame.Bounds = {10, 10, 310, 160};
    frame.SetContentBlock(QByteArray("\x01\x02binary\x00\x03", 10));
    EXPECT_GT(Ink(DrawFrame(frame, TCanvas::TKind::Screen)), 50);
    EXPECT_EQ(Ink(DrawFrame(frame, TCanvas::TKind::Printer)), 0);
}

TEST(RichText, ATransparentFrameLeavesItsBackgroundUnlessEdited) {
    TTestContext test;
    const auto background = [](bool transparent) {
        TRichTextObject frame(false, transparent, false);
        frame.Bounds = {10, 10, 200, 100};
        const QImage image = DrawFrame(frame, TCanvas::TKind::Printer, Qt::blue);
        return image.pixel(100, 50);
    };
    EXPECT_EQ(background(true), QColor(Qt::blue).rgb());
    EXPECT_EQ(background(false), QColor(Qt::white).rgb());
}

TEST(RichText, CopiesKeepContentAndFlagButNotLinks) {
    TTestContext test;
    TThreeFrames chain(QStringLiteral("Copied story"));
    chain.A->Transparent = true;
    std::unique_ptr<TStored> copy(CloneStored(chain.A));
    auto* frame = static_cast<TRichTextObject*>(copy.get());
    EXPECT_EQ(frame->PlainText(), QStringLiteral("Copied story"));
    EXPECT_TRUE(frame->Transparent);
    EXPECT_EQ(frame->Successor(), nullptr);
    EXPECT_EQ(frame->Predecessor(), nullptr);
    EXPECT_EQ(chain.A->Successor(), chain.B);
    // The copy's text is its own.
    frame->Document().setPlainText(QStringLiteral("changed"));
    EXPECT_EQ(chain.A->PlainText(), QStringLiteral("Copied story"));
}

TEST(RichText, LinkingRefusesCirclesAndJoinsTheTargetsText) {
    TTestContext test;
    TThreeFrames chain(QStringLiteral("first"));
    EXPECT_FALSE(chain.C->LinkTo(chain.A));
    EXPECT_FALSE(chain.C->LinkTo(chain.B));
    EXPECT_EQ(chain.C->Successor(), nullptr);
    EXPECT_EQ(chain.A->Successor(), chain.B);
    // A link to itself removes the frame's outgoing link.
    EXPECT_TRUE(chain.B->LinkTo(chain.B));
    EXPECT_EQ(chain.B->Successor(), nullptr);
    EXPECT_EQ(chain.C->Predecessor(), nullptr);
    chain.C->Document().setPlainText(QStringLiteral("second"));
    EXPECT_TRUE(chain.B->LinkTo(chain.C));
    chain.A->Flow();
    EXPECT_EQ(chain.A->PlainText(), QStringLiteral("first\nsecond"));
    EXPECT_TRUE(chain.C->PlainText().isEmpty());
}

TEST(RichText, InsertTextAndSpellingWorkOnTheStory) {
    TTestContext test;
    TThreeFrames chain{QString()};
    chain.A->InsertText(QStringLiteral("Newsletter text..."), QStringLiteral("Arial"), 12);
    EXPECT_EQ(chain.A->PlainText(), QStringLiteral("Newsletter text..."));
    EXPECT_EQ(chain.A->Document().begin().textFormats().front().format.fontPointSize(), 12);
    chain.A->Document().setPlainText(QStringLiteral("Teh cat, teh dog.\nEnd"));
    TSpellCheckState run;
    EXPECT_EQ(chain.A->BeginSpellCheck(run), QStringLiteral("Teh"));
    chain.A->ReplaceWord(run, QStringLiteral("The"));
    EXPECT_EQ(chain.A->NextWord(run), QStringLiteral("cat"));
    EXPECT_EQ(chain.A->NextWord(run), QStringLiteral("teh"));
    chain.A->ReplaceWord(run, QStringLiteral("the"));
    EXPECT_EQ(chain.A->NextWord(run), QStringLiteral("dog"));
    EXPECT_EQ(chain.A->NextWord(run), QStringLiteral("End"));
    EXPECT_TRUE(chain.A->NextWord(run).isEmpty());
    chain.A->EndSpellCheck(run);
    EXPECT_EQ(chain.A->PlainText(), QStringLiteral("The cat, the dog.\nEnd"));
    // Successors hold no words of their own.
    EXPECT_TRUE(chain.B->BeginSpellCheck(run).isEmpty());
}

TEST(RichText, CaretsAndHitsFindTheFrameThatShowsThePosition) {
    TTestContext test;
    TThreeFrames chain(Story(400));
    const TTextFlow& flow = chain.A->Flow();
    const int inSecond = flow.FrameStart(1) + 3;
    const TTextFlow::TCaret caret = flow.CaretAt(inSecond);
    EXPECT_EQ(caret.Frame, 1);
    EXPECT_EQ(flow.PositionAt(1, caret.Rect.center()), inSecond);
    // Down from the last line of the first frame lands on the second frame's first line.
    const int lastOfFirst = flow.FrameEnd(0) - 1;
    const int below = flow.PositionOnNextLine(lastOfFirst, 1);
    EXPECT_EQ(flow.CaretAt(below).Frame, 1);
    EXPECT_EQ(flow.PositionOnNextLine(flow.FrameStart(0), -1), -1);
    EXPECT_FALSE(flow.SelectionRects(1, flow.FrameStart(0), flow.FrameEnd(2)).isEmpty());
}
