// Text frames: typing into a linked chain, drawing it, and opening a newsletter of linked
// frames.
#include "document/Canvas.h"
#include "document/Card.h"
#include "objects/RichText.h"
#include "objects/TextFlow.h"
#include "storage/Stored.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QString Words(int count) {
    static const char* const words[] = {"the",    "annual", "meeting", "of",      "members",
                                        "will",   "take",   "place",   "in",      "March",
                                        "with",   "a",      "report",  "written", "by",
                                        "our",    "board",  "and",     "friends", "garden"};
    QString text;
    for (int i = 0; i < count; ++i) {
        text += QString::fromLatin1(words[i % 20]);
        text += (i % 90 == 89) ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    return text;
}

// Three frames (a page column, a half page, a page column) on two pages, 5,000 words.
struct TChain {
    std::unique_ptr<TCard> Card = std::make_unique<TCard>(cfBusinessCardSeparated8, dtNewsletter);
    TRichTextObject* Frames[3];
    TChain() {
        Card->Add(new TCardPage(Card->CardFormat));
        const TRect bounds[] = {{50, 50, 400, 1000}, {450, 50, 800, 500}, {50, 50, 800, 1000}};
        for (int i = 0; i < 3; ++i) {
            Frames[i] = new TRichTextObject();
            Frames[i]->Bounds = bounds[i];
            Card->Pages(i == 2 ? 1 : 0)->Panels(0)->AddObject(Frames[i]);
        }
        Frames[0]->LinkTo(Frames[1]);
        Frames[1]->LinkTo(Frames[2]);
        Frames[0]->Document().setPlainText(Words(5000));
        Frames[0]->Flow();
    }
};

void BM_TypeCharacterIntoChain(benchmark::State& state) {
    TChain chain;
    QTextCursor cursor(&chain.Frames[0]->Document());
    cursor.setPosition(200);
    for (auto _ : state) {
        cursor.insertText(QStringLiteral("x"));
        benchmark::DoNotOptimize(chain.Frames[0]->Flow().FrameEnd(2));
    }
}
BENCHMARK(BM_TypeCharacterIntoChain)->Unit(benchmark::kMillisecond);

void BM_DrawChain(benchmark::State& state) {
    TChain chain;
    const int zoom = int(state.range(0));
    QImage image(850 * zoom / 100, 1050 * zoom / 100, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(zoom / 100.0, zoom / 100.0);
        TCanvas canvas(painter, 96, 96, TCanvas::TKind::Screen);
        for (TRichTextObject* frame : chain.Frames) frame->Paint(canvas, 0, 0, false);
    }
}
BENCHMARK(BM_DrawChain)->Arg(100)->Arg(250)->Unit(benchmark::kMillisecond);

// A newsletter of 8 pages, five linked frames on each, one story of 8,000 words.
QString SaveNewsletter(const QTemporaryDir& dir) {
    TCard card(cfBusinessCardSeparated8, dtNewsletter);
    for (int p = 1; p < 8; ++p) card.Add(new TCardPage(card.CardFormat));
    TRichTextObject* previous = nullptr;
    for (int p = 0; p < 8; ++p) {
        for (int i = 0; i < 5; ++i) {
            auto* frame = new TRichTextObject();
            frame->Bounds = {50 + (i % 2) * 400, 50 + (i / 2) * 330, 400 + (i % 2) * 400,
                             350 + (i / 2) * 330};
            card.Pages(p)->Panels(0)->AddObject(frame);
            if (previous) previous->LinkTo(frame);
            else frame->Document().setPlainText(Words(8000));
            previous = frame;
        }
    }
    const QString path = dir.filePath(QStringLiteral("newsletter.qdx"));
    SaveStoredToFile(path, card);
    return path;
}

void BM_LoadNewsletter(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = SaveNewsletter(dir);
    for (auto _ : state) {
        std::unique_ptr<TStored> loaded(LoadStoredFromFile(path));
        benchmark::DoNotOptimize(loaded.get());
    }
}
BENCHMARK(BM_LoadNewsletter)->Unit(benchmark::kMillisecond);

// The same, and the story laid out through all 40 frames (as the first drawing does).
void BM_LoadNewsletterAndLayOut(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = SaveNewsletter(dir);
    for (auto _ : state) {
        std::unique_ptr<TStored> loaded(LoadStoredFromFile(path));
        auto* card = static_cast<TCard*>(loaded.get());
        auto* first = static_cast<TRichTextObject*>(card->ObjectAt(0, 0, 0));
        benchmark::DoNotOptimize(first->Flow().FrameEnd(39));
    }
}
BENCHMARK(BM_LoadNewsletterAndLayOut)->Unit(benchmark::kMillisecond);

} // namespace
