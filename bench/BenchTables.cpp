// Opening delimited text tables with a huge field, and a scan of every field of every record
// of a table of 10,000 columns. Peak memory: bench/table_memory.sh.
#include "merge/Table.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

constexpr qsizetype FieldBytes = 50 * 1024 * 1024;

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

// The table file, written once per process, in pieces: the writer's memory stays out of
// the figures.
QString Make(const char* name, const std::function<void(QFile&)>& write) {
    const QString path = Folder().filePath(QString::fromLatin1(name));
    if (!QFile::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        write(file);
    }
    return QString::fromLatin1(name);
}

void Open(benchmark::State& state, const QString& name) {
    for (auto _ : state) {
        TTable table;
        table.Open(Folder().path(), name, TRecordSource::TTableType::Default);
        benchmark::DoNotOptimize(table.FieldText(QStringLiteral("Note")));
    }
}

void BM_OpenFiftyMegabyteField(benchmark::State& state) {
    Open(state, Make("field.csv", [](QFile& file) {
        file.write("Name,Note\r\nAnn,");
        const QByteArray piece(1024 * 1024, 'x');
        for (qsizetype written = 0; written < FieldBytes; written += piece.size()) file.write(piece);
        file.write("\r\nBob,short\r\n");
    }));
}
BENCHMARK(BM_OpenFiftyMegabyteField)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_OpenFiftyMegabyteQuotedFieldWithLineBreaks(benchmark::State& state) {
    Open(state, Make("quoted.csv", [](QFile& file) {
        file.write("Name,Note\r\nAnn,\"");
        const QByteArray line = "a line of the note, \"\"quoted\"\"\r\n";
        for (qsizetype written = 0; written < FieldBytes; written += line.size()) file.write(line);
        file.write("\"\r\nBob,short\r\n");
    }));
}
BENCHMARK(BM_OpenFiftyMegabyteQuotedFieldWithLineBreaks)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ScanTenThousandColumns(benchmark::State& state) {
    constexpr int Columns = 10000, Rows = 30;
    const QString name = Make("wide.csv", [](QFile& file) {
        QByteArray text;
        for (int c = 0; c < Columns; ++c) text += (c ? ",F" : "F") + QByteArray::number(c);
        text += "\r\n";
        for (int r = 0; r < Rows; ++r) {
            for (int c = 0; c < Columns; ++c) text += (c ? "," : "") + QByteArray::number(r * c);
            text += "\r\n";
        }
        file.write(text);
    });
    TTable table;
    table.Open(Folder().path(), name, TRecordSource::TTableType::Default);
    const QStringList fields = table.FieldNames();
    for (auto _ : state) {
        qsizetype characters = 0;
        for (table.First(); !table.Eof(); table.Next())
            for (const QString& field : fields) characters += table.FieldText(field)->size();
        benchmark::DoNotOptimize(characters);
    }
}
BENCHMARK(BM_ScanTenThousandColumns)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
