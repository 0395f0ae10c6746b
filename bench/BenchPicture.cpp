// A document holding a 4000 x 3000 photograph: saving it, loading it, and drawing the picture
// on the editing surface the first time and when repainted.
#include "document/Canvas.h"
#include "document/Card.h"
#include "objects/Picture.h"
#include "objects/PictureFiles.h"
#include "storage/Stored.h"
#include "support/LargeBitmaps.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

// A picture that does not compress to nothing: smooth gradients with noise, like a photograph.
QImage Photograph() {
    QImage image(4000, 3000, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int(random() % 32);
            line[x] = qRgb((x / 16 + noise) & 255, (y / 12 + noise) & 255, ((x + y) / 28) & 255);
        }
    }
    return image;
}

std::unique_ptr<TCard> CardWithPhotograph() {
    auto card = std::make_unique<TCard>(cfBifoldVertical, dtGreetingCard);
    auto* picture = new TPictureObject();
    picture->Bounds = {50, 50, 450, 350};
    TPictureData data;
    data.Bitmap = BitmapFromImage(Photograph());
    picture->SetGraphic(data);
    card->Pages(0)->Panels(0)->AddObject(picture);
    return card;
}

void BM_SaveDocument(benchmark::State& state) {
    const auto card = CardWithPhotograph();
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("photo.qdx"));
    for (auto _ : state) SaveStoredToFile(file, *card);
    state.counters["MB"] = double(QFileInfo(file).size()) / 1e6;
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);

void BM_LoadDocument(benchmark::State& state) {
    const auto card = CardWithPhotograph();
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("photo.qdx"));
    SaveStoredToFile(file, *card);
    for (auto _ : state) {
        std::unique_ptr<TStored> loaded(LoadStoredFromFile(file));
        benchmark::DoNotOptimize(loaded.get());
    }
}
BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMillisecond);

// The first drawing decodes and scales; the next ones reuse the scaled picture.
void DrawPicture(benchmark::State& state, bool first) {
    const auto card = CardWithPhotograph();
    auto* picture = static_cast<TPictureObject*>(card->ObjectAt(0, 0, 0));
    QImage surface(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        if (first) {
            state.PauseTiming();
            // Bytes of its own, so that nothing decoded before is found in the cache.
            TPictureData fresh = picture->Graphic();
            fresh.Bitmap.Bytes = QByteArray(fresh.Bitmap.Bytes.constData(), fresh.Bitmap.Bytes.size());
            picture->SetGraphic(fresh);
            state.ResumeTiming();
        }
        QPainter painter(&surface);
        TCanvas canvas(painter, 96, 96, TCanvas::TKind::Screen);
        picture->Draw(canvas, 0, 0, false);
    }
}
void BM_DrawPictureFirstTime(benchmark::State& state) { DrawPicture(state, true); }
BENCHMARK(BM_DrawPictureFirstTime)->Unit(benchmark::kMillisecond);
void BM_DrawPictureAgain(benchmark::State& state) { DrawPicture(state, false); }
BENCHMARK(BM_DrawPictureAgain)->Unit(benchmark::kMillisecond);

// A 6,000 x 6,000 scan, past what is decoded at once, printed 4 inches square at 300 dpi: read
// row by row at the output's resolution. Each round gets its own copy of the bytes, so that
// nothing decoded before is found in the cache.
void BM_PrintPicturePastTheDecodingLimit(benchmark::State& state) {
    TCard card(cfBifoldVertical, dtGreetingCard);
    auto* picture = new TPictureObject();
    picture->Bounds = {0, 0, 400, 400};
    card.Pages(0)->Panels(0)->AddObject(picture);
    TPictureData data;
    data.Bitmap = {BandedBmp(6000, 6000)};
    QImage page(1200, 1200, QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        TPictureData copy;
        copy.Bitmap.Bytes = QByteArray(data.Bitmap.Bytes.constData(), data.Bitmap.Bytes.size());
        picture->SetGraphic(copy);
        state.ResumeTiming();
        QPainter painter(&page);
        TCanvas canvas(painter, 300, 300, TCanvas::TKind::Printer);
        picture->Draw(canvas, 0, 0, true);
    }
}
BENCHMARK(BM_PrintPicturePastTheDecodingLimit)->Unit(benchmark::kMillisecond);

} // namespace
