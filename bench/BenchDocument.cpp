// Saving and loading a document of 10 pages with 1,000 objects each (rectangles and fields).
#include "document/Card.h"
#include "document/Control.h"
#include "storage/Stored.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <memory>

namespace {

constexpr int PageCount = 10;
constexpr int ObjectsPerPage = 1000;

std::unique_ptr<TCard> MakeDocument() {
    auto card = std::make_unique<TCard>(cfCertificatePortrait, dtForm);
    for (int p = 1; p < PageCount; ++p)
        card->Add(new TCardPage(7));
    card->LayoutAllPages();
    for (int p = 0; p < PageCount; ++p) {
        TCardPanel& panel = *card->Pages(p)->Panels(0);
        for (int i = 0; i < ObjectsPerPage; ++i) {
            const int x = (i * 37) % 800;
            const int y = (i * 53) % 1000;
            if (i % 2 == 0) {
                auto* r = new TRectangleObject();
                r->Bounds = {x, y, x + 40, y + 30};
                r->FillColor = quint8(i % 16);
                r->BorderSize = 1;
                panel.AddObject(r);
            } else {
                auto* f = new TFieldObject();
                f->Bounds = {x, y, x + 120, y + 24};
                f->FieldName = QStringLiteral("Field %1").arg(p * ObjectsPerPage + i);
                f->Value = QStringLiteral("%1.50").arg(i);
                f->DecimalPlaces = 2;
                panel.AddObject(f);
            }
        }
    }
    return card;
}

void BM_SaveDocument(benchmark::State& state) {
    auto card = MakeDocument();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.qdx"));
    for (auto _ : state)
        SaveStoredToFile(path, *card);
    state.SetItemsProcessed(state.iterations() * PageCount * ObjectsPerPage);
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);

void BM_LoadDocument(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.qdx"));
    SaveStoredToFile(path, *MakeDocument());
    size_t heapBytes = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
        std::unique_ptr<TStored> loaded(LoadStoredFromFile(path));
        heapBytes = mallinfo2().uordblks + mallinfo2().hblkhd - before;
        benchmark::DoNotOptimize(loaded.get());
    }
    state.counters["heap_MB"] = double(heapBytes) / (1024 * 1024);
    state.SetItemsProcessed(state.iterations() * PageCount * ObjectsPerPage);
}
BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMillisecond);

} // namespace
