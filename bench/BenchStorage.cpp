// Writing and reading a storage file whose root is an object table of 100,000 small objects.
#include "storage/Stored.h"
#include "support/StorageFixtures.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int ObjectCount = 100000;

std::unique_ptr<TObjectTable> MakeTable() {
    auto table = std::make_unique<TObjectTable>();
    for (int i = 0; i < ObjectCount; ++i) {
        auto* item = new TBenchItem();
        item->Bounds = {i % 850, i % 1100, i % 850 + 100, i % 1100 + 50};
        item->A = i;
        item->B = -i;
        item->C = i * 7;
        item->D = 42;
        item->Flags = static_cast<quint16>(i);
        item->Kind = static_cast<qint16>(i % 16);
        table->Add(item);
    }
    return table;
}

void BM_SaveObjectTable(benchmark::State& state) {
    RegisterStorageFixtures();
    auto table = MakeTable();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.qdx"));
    for (auto _ : state)
        SaveStoredToFile(path, *table);
    state.SetItemsProcessed(state.iterations() * ObjectCount);
}
BENCHMARK(BM_SaveObjectTable)->Unit(benchmark::kMillisecond);

void BM_LoadObjectTable(benchmark::State& state) {
    RegisterStorageFixtures();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.qdx"));
    SaveStoredToFile(path, *MakeTable());
    for (auto _ : state) {
        std::unique_ptr<TStored> loaded(LoadStoredFromFile(path));
        benchmark::DoNotOptimize(loaded.get());
    }
    state.SetItemsProcessed(state.iterations() * ObjectCount);
}
BENCHMARK(BM_LoadObjectTable)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
