// Web publishing: drawing a full-page panel into its picture, encoding it as JPEG, and a whole
// publish of 20 such pages. QDX_WEB_DOCUMENT names the document (default: the shipped
// "Yard Sale Flyer" template); QDX_WEB_PPM, when set, receives the panel's pixels so that
// bench/web_publish.sh can time a command-line encoder on the very same picture.
#include "document/Card.h"
#include "storage/Stored.h"
#include "web/JpegWriter.h"
#include "web/WebGen.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<TCard> LoadDocument() {
    QString path = qEnvironmentVariable("QDX_WEB_DOCUMENT");
    if (path.isEmpty())
        path = QStringLiteral(QDX_BUILD_DIR "/share/qdx/Template/Yard Sale Flyer.qdx");
    std::unique_ptr<TCard> card(dynamic_cast<TCard*>(LoadStoredFromFile(path)));
    if (!card) std::fprintf(stderr, "%s is not a document\n", qPrintable(path));
    return card;
}

// The document's first page, its panel drawn once; the pixels saved for the comparison.
struct TFixture {
    std::unique_ptr<TCard> Card = LoadDocument();
    QImage Picture;
    TFixture() {
        if (!Card) return;
        Picture = TWebPageGenerator::RenderPanel(*Card->Pages(0)->Panels(0));
        if (const QString ppm = qEnvironmentVariable("QDX_WEB_PPM"); !ppm.isEmpty())
            Picture.convertToFormat(QImage::Format_RGB888).save(ppm, "PPM");
    }
};

TFixture& Fixture() {
    static TFixture fixture;
    return fixture;
}

void BM_DrawPanelPicture(benchmark::State& state) {
    TFixture& fixture = Fixture();
    if (!fixture.Card) return state.SkipWithError("no document");
    const TCardPanel& panel = *fixture.Card->Pages(0)->Panels(0);
    for (auto _ : state) benchmark::DoNotOptimize(TWebPageGenerator::RenderPanel(panel));
    state.counters["pixels"] = double(fixture.Picture.width()) * fixture.Picture.height();
}
BENCHMARK(BM_DrawPanelPicture)->Unit(benchmark::kMillisecond);

void BM_EncodeJpeg(benchmark::State& state) {
    TFixture& fixture = Fixture();
    if (!fixture.Card) return state.SkipWithError("no document");
    qint64 bytes = 0;
    for (auto _ : state) bytes = EncodeJpeg(fixture.Picture).size();
    state.counters["jpeg_bytes"] = double(bytes);
}
BENCHMARK(BM_EncodeJpeg)->Unit(benchmark::kMillisecond);

// Twenty pages made of the document's first page: pictures, HTML and files, per page.
void BM_PublishTwentyPages(benchmark::State& state) {
    TFixture& fixture = Fixture();
    if (!fixture.Card) return state.SkipWithError("no document");
    TCard& card = *fixture.Card;
    while (card.PageCount() < 20) card.Add(CloneStored(card.Pages(0)));
    card.LayoutAllPages();
    QTemporaryDir site;
    TWebPageGenerator generator;
    for (auto _ : state) benchmark::DoNotOptimize(generator.Publish(card, 0, site.path()));
    state.SetItemsProcessed(state.iterations() * 20);
}
BENCHMARK(BM_PublishTwentyPages)->Unit(benchmark::kMillisecond);

} // namespace
