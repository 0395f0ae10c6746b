// Writes the seed corpus of fuzz_storage: valid storage files that reach every primitive
// reader and every kind of table. Usage: make_storage_seeds DIR
#include "storage/Stored.h"
#include "storage/TableCmn.h"
#include "support/BmpBytes.h"
#include "support/StorageFixtures.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <functional>

namespace {

// Writes the opcodes and data that TTestAllPrimitives reads back.
class TPrimitiveScript : public TStored {
public:
    std::function<void(TStorage&)> Script;
    const char* ClassName() const override { return TTestAllPrimitives::StoredName; }
    void Store(TStorage& storage) const override { Script(storage); }
};

void Save(const QString& dir, const QString& name, const TStored& root) {
    QFile file(QDir(dir).filePath(name));
    if (file.open(QIODevice::WriteOnly)) file.write(WriteToBytes(root));
}

QByteArray TinyBmp() {
    return BmpBytes(1, 1);
}

QByteArray TinyWmf() {
    QByteArray wmf(22 + 18 + 6, '\0');
    qToLittleEndian<quint32>(0x9AC6CDD7, wmf.data());
    qToLittleEndian<quint16>(1, wmf.data() + 22);
    qToLittleEndian<quint16>(9, wmf.data() + 24);
    qToLittleEndian<quint32>(12, wmf.data() + 28);
    qToLittleEndian<quint32>(3, wmf.data() + 40);
    return wmf;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    RegisterStorageFixtures();

    TPrimitiveScript all;
    all.Script = [](TStorage& s) {
        TTestLeaf leaf(4, QStringLiteral("leaf"));
        TSortedStringTable strings;
        strings.AddString(QStringLiteral("b"));
        strings.AddString(QStringLiteral("a"));
        TTestLeafTable leaves;
        leaves.Add(new TTestLeaf(1));
        s.WriteByte(20);
        s.WriteByte(0), s.WriteByte(9);
        s.WriteByte(1), s.WriteBoolean(true);
        s.WriteByte(2), s.WriteSmallint(-3);
        s.WriteByte(3), s.WriteWord(65000);
        s.WriteByte(4), s.WriteLongint(-70000);
        s.WriteByte(5), s.WriteDouble(2.25);
        s.WriteByte(6), s.WriteString(QStringLiteral("short"));
        s.WriteByte(7), s.WriteLongString(QStringLiteral("long string"));
        s.WriteByte(8), s.WriteWord(3), s.Write("pch", 3);
        s.WriteByte(9), s.WriteBlock(QByteArray("block"));
        s.WriteByte(10), s.WriteRect({1, -2, 3, -4});
        s.WriteByte(11), s.WriteGraphic(TBitmapData{TinyBmp()});
        s.WriteByte(12), s.WriteGraphic(TMetafileData{TMetafileFormat::Wmf, TinyWmf()});
        s.WriteByte(13), s.WriteLongint(TinyWmf().size()), s.Write(TinyWmf().constData(), 46);
        s.WriteByte(14), s.WriteObject(&leaf);
        s.WriteByte(16), s.WriteInstance(&leaf);
        s.WriteByte(17), s.WriteReference(&leaf);
        s.WriteByte(18), s.WriteInstance(&strings);
        s.WriteByte(19), s.WriteInstance(&leaves);
        s.WriteByte(15), s.WriteObject(nullptr);
    };
    Save(dir, QStringLiteral("all-primitives"), all);

    TTestNode graph(1);
    auto* a = new TTestNode(2);
    auto* b = new TTestNode(3);
    graph.Children.Add(a);
    graph.Children.Add(b);
    a->Link = b;
    b->Link = a;
    graph.Link = &graph;
    Save(dir, QStringLiteral("linked-graph"), graph);

    TLongintTable staticTable;
    staticTable.SetStatic(true);
    for (int i = 0; i < 6; ++i)
        staticTable.AddValue(i);
    staticTable.Delete(2);
    staticTable.Delete(4);
    Save(dir, QStringLiteral("static-longints"), staticTable);

    TObjectTable mixed;
    mixed.SetStatic(true);
    mixed.Add(new TTestLeaf(1));
    mixed.Add(new TTestEmpty());
    mixed.Add(new TSortedWordTable());
    mixed.Delete(1);
    Save(dir, QStringLiteral("static-objects"), mixed);

    TSortedSmallPointTable points;
    points.AddValue({1, 2});
    points.AddValue({-1, 2});
    Save(dir, QStringLiteral("points"), points);

    TMultiObjectTable multi;
    multi.Add(new TSortedByteTable());
    multi.Add(new TStringTable());
    multi.Add(new TDataTable(3));
    Save(dir, QStringLiteral("multi"), multi);
    return 0;
}
