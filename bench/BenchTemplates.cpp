// Refreshing the template index over a folder of 1,000 templates: unchanged (no file may be
// opened) and all changed (every file read again).
#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Template.h"
#include "storage/Stored.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int TemplateCount = 1000;

struct TFolder {
    TFolder() {
        AppContext().TemplateFolder = Dir.path();
        TCard card(cfBifoldVertical, dtGreetingCard);
        card.Description = QStringLiteral("A birthday card");
        for (int i = 0; i < TemplateCount; ++i)
            SaveStoredToFile(Dir.filePath(QStringLiteral("t%1.qdx").arg(i)), card);
    }
    QTemporaryDir Dir;
};

void BM_RefreshUnchanged(benchmark::State& state) {
    TFolder folder;
    TTemplateTable index;
    index.Refresh();
    for (auto _ : state)
        index.Refresh();
    state.SetItemsProcessed(state.iterations() * TemplateCount);
}
BENCHMARK(BM_RefreshUnchanged)->Unit(benchmark::kMillisecond);

void BM_RefreshAllChanged(benchmark::State& state) {
    TFolder folder;
    for (auto _ : state) {
        TTemplateTable index; // nothing known: every file is read
        index.Refresh();
        benchmark::DoNotOptimize(index.Count());
    }
    state.counters["us_per_template"] = benchmark::Counter(
        double(state.iterations()) * TemplateCount,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_RefreshAllChanged)->Unit(benchmark::kMillisecond);

} // namespace
