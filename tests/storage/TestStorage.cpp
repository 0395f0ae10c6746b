#include "storage/Exception.h"
#include "storage/Stored.h"
#include "support/StorageFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class StorageTest : public testing::Test {
protected:
    void SetUp() override {
        RegisterStorageFixtures();
        FLiveAtStart = TInstanceCounted::Live();
    }
    void TearDown() override { EXPECT_EQ(TInstanceCounted::Live(), FLiveAtStart) << "leaked"; }

    static QString LoadError(const QByteArray& bytes) {
        try {
            std::unique_ptr<TStored> root(ReadFromBytes(bytes));
        } catch (const Exception& e) {
            return e.Message();
        }
        return QStringLiteral("(loaded)");
    }

    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray FileBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    int FLiveAtStart = 0;
};

// A root that owns three nodes; the first refers forward to the third, the third back to the
// first, and the second to itself.
std::unique_ptr<TTestNode> LinkedGraph() {
    auto root = std::make_unique<TTestNode>(1);
    auto* a = new TTestNode(10);
    auto* b = new TTestNode(20);
    auto* c = new TTestNode(30);
    root->Children.Add(a);
    root->Children.Add(b);
    root->Children.Add(c);
    a->Link = c;
    b->Link = b;
    c->Link = a;
    return root;
}

void ExpectLinkedGraph(const TStored* loaded) {
    const auto* root = dynamic_cast<const TTestNode*>(loaded);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->Children.Count(), 3);
    auto* a = root->Children.ItemAs<TTestNode>(0);
    auto* b = root->Children.ItemAs<TTestNode>(1);
    auto* c = root->Children.ItemAs<TTestNode>(2);
    EXPECT_EQ(a->Id, 10);
    EXPECT_EQ(b->Id, 20);
    EXPECT_EQ(c->Id, 30);
    EXPECT_EQ(a->Link, c); // referenced before its record
    EXPECT_EQ(b->Link, b);
    EXPECT_EQ(c->Link, a); // referenced after its record
    EXPECT_EQ(root->Link, nullptr);
}

} // namespace

TEST_F(StorageTest, MinimalFileIsByteExact) {
    const QByteArray bytes = WriteToBytes(TTestEmpty());
    const QByteArray expected = QByteArray("LCP", 3) +
                                QByteArray::fromHex("0200"
                                                    "0e000000") +
                                QByteArray::fromHex("0000"
                                                    "ffff"
                                                    "01") + // object record
                                QByteArray::fromHex("0100"
                                                    "0000"
                                                    "0a") +
                                "TTestEmpty" + QByteArray::fromHex("0000"); // no references
    EXPECT_EQ(bytes.toHex(), expected.toHex());
    std::unique_ptr<TStored> loaded(ReadFromBytes(bytes));
    EXPECT_NE(dynamic_cast<TTestEmpty*>(loaded.get()), nullptr);
}

TEST_F(StorageTest, ClassVersionsAreWrittenPerClassAndReadBack) {
    TTestNode root(7);
    root.Children.Add(new TTestLeaf(5, QStringLiteral("five")));
    const QByteArray bytes = WriteToBytes(root);
    std::unique_ptr<TStored> loaded(ReadFromBytes(bytes));
    auto* leaf = static_cast<TTestNode*>(loaded.get())->Children.ItemAs<TTestLeaf>(0);
    EXPECT_EQ(leaf->Value, 5);
    EXPECT_EQ(leaf->Name, QStringLiteral("five"));

    // With the leaf's class version patched to 0 the reader skips the name, so the name's
    // bytes are taken for the node's link: the reader must have gone by the version.
    QByteArray old = bytes;
    const qsizetype entry = old.indexOf("\x09TTestLeaf");
    ASSERT_GT(entry, 2);
    old[entry - 2] = 0;
    EXPECT_EQ(LoadError(old), QStringLiteral("Stream read error"));
}

TEST_F(StorageTest, ReferencesBeforeAndAfterTheirObjectResolveToTheOwnedInstance) {
    auto root = LinkedGraph();
    const QByteArray bytes = WriteToBytes(*root);
    std::unique_ptr<TStored> loaded(ReadFromBytes(bytes));
    ExpectLinkedGraph(loaded.get());
    // Writing what was read gives the same bytes.
    EXPECT_EQ(WriteToBytes(*loaded), bytes);
}

TEST_F(StorageTest, LoadingIntoATargetFillsIt) {
    auto root = LinkedGraph();
    root->Link = root.get(); // the root itself is referred to
    const QByteArray bytes = WriteToBytes(*root);
    TTestNode target;
    EXPECT_EQ(ReadFromBytes(bytes, &target), &target);
    EXPECT_EQ(target.Link, &target);
    EXPECT_EQ(target.Children.Count(), 3);
}

TEST_F(StorageTest, Version1FileWith16BitReferencesLoadsAndSavesAsVersion2) {
    // Node 1 owns leaf-less nodes 2 and 3; node 2 refers to node 3 through reference 0.
    QByteArray v1 = QByteArray("LCP", 3) + QByteArray::fromHex("0100") + QByteArray(4, '\0');
    auto table = [](int count) {
        QByteArray t = QByteArray::fromHex("0400"
                                           "00"
                                           "00"
                                           "00"
                                           "00"
                                           "ffffff7f"
                                           "0400");
        t += QByteArray(reinterpret_cast<const char*>(&count), 4) + QByteArray::fromHex("01"
                                                                                        "00");
        return t;
    };
    v1 += QByteArray::fromHex("0000"
                              "ffff"
                              "01") +
          QByteArray::fromHex("01000000") + table(2);
    v1 += QByteArray::fromHex("0000"
                              "ffff"
                              "01") +
          QByteArray::fromHex("02000000") + table(0) +
          QByteArray::fromHex("0000"); // 16-bit reference 0
    v1 += QByteArray::fromHex("0000"
                              "0000"
                              "01") +
          QByteArray::fromHex("03000000") + table(0) + QByteArray::fromHex("ffff"); // 16-bit "none"
    v1 += QByteArray::fromHex("ffff"); // root's own link: none
    const qint32 classTable = v1.size();
    qToLittleEndian<qint32>(classTable, v1.data() + 5);
    v1 += QByteArray::fromHex("0300"
                              "0000"
                              "09") +
          "TTestNode";
    v1 += QByteArray::fromHex("0100"
                              "0c") +
          "TObjectTable";
    v1 += QByteArray::fromHex("0200"
                              "0a") +
          "TBaseTable";
    v1 += QByteArray::fromHex("0100"
                              "0000"); // one reference, of class 0

    std::unique_ptr<TStored> loaded(ReadFromBytes(v1));
    auto* root = static_cast<TTestNode*>(loaded.get());
    ASSERT_EQ(root->Children.Count(), 2);
    EXPECT_EQ(root->Children.ItemAs<TTestNode>(0)->Link, root->Children.Items(1));
    EXPECT_EQ(root->Children.ItemAs<TTestNode>(1)->Link, nullptr);

    const QByteArray v2 = WriteToBytes(*loaded);
    EXPECT_EQ(qFromLittleEndian<quint16>(v2.constData() + 3), 2);
    // A reference becomes a flag and 32 bits (+3 bytes), "none" a single flag (-1 byte each).
    EXPECT_EQ(v2.size(), v1.size() + 3 - 1 - 1);
    std::unique_ptr<TStored> again(ReadFromBytes(v2));
    auto* root2 = static_cast<TTestNode*>(again.get());
    EXPECT_EQ(root2->Children.ItemAs<TTestNode>(0)->Link, root2->Children.Items(1));
}

TEST_F(StorageTest, Version0FileHasNoPresenceBytes) {
    QByteArray v0 = QByteArray("LCP", 3) + QByteArray::fromHex("0000") + QByteArray(4, '\0');
    v0 += QByteArray::fromHex("0000"
                              "ffff") +
          QByteArray::fromHex("2a000000") + QByteArray::fromHex("03") + "old";
    qToLittleEndian<qint32>(v0.size(), v0.data() + 5);
    v0 += QByteArray::fromHex("0100"
                              "0100"
                              "09") +
          "TTestLeaf" + QByteArray::fromHex("0000");
    std::unique_ptr<TStored> loaded(ReadFromBytes(v0));
    auto* leaf = dynamic_cast<TTestLeaf*>(loaded.get());
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->Value, 42);
    EXPECT_EQ(leaf->Name, QStringLiteral("old"));
}

TEST_F(StorageTest, HeaderAndClassTableFaultsHaveTheirMessages) {
    QByteArray good = WriteToBytes(TTestLeaf(1));
    EXPECT_EQ(LoadError("XYZ" + good.mid(3)), QStringLiteral("Invalid stream format"));
    QByteArray pastEnd = good;
    qToLittleEndian<qint32>(good.size() + 100, pastEnd.data() + 5);
    EXPECT_EQ(LoadError(pastEnd), QStringLiteral("Stream read error"));
    QByteArray badIndex = good;
    badIndex[9] = 5; // class index outside the class table
    EXPECT_EQ(LoadError(badIndex), QStringLiteral("<unknown>"));
    QByteArray renamed = good;
    renamed.replace("TTestLeaf", "TNotThere");
    EXPECT_EQ(LoadError(renamed), QStringLiteral("Class TNotThere not found"));
}

TEST_F(StorageTest, UnregisteredReferencedClassFailsWithoutLeaking) {
    auto root = LinkedGraph();
    root->Children.Add(new TTestLeaf(99)); // only the last class name will be unknown
    QByteArray bytes = WriteToBytes(*root);
    bytes.replace("TTestLeaf", "TMissings");
    EXPECT_EQ(LoadError(bytes), QStringLiteral("Class TMissings not found"));
    // TearDown checks that the pre-made referenced nodes were all freed.
}

TEST_F(StorageTest, DamagedReferencesAreReadErrors) {
    auto root = LinkedGraph();
    const QByteArray bytes = WriteToBytes(*root);
    // The reference table holds three entries of class 0; make a reference index point past it.
    QByteArray outside = bytes;
    const qsizetype firstLink = outside.indexOf(QByteArray::fromHex("0102000000"));
    ASSERT_GT(firstLink, 0);
    outside[firstLink + 1] = 9;
    EXPECT_EQ(LoadError(outside), QStringLiteral("Stream read error"));

    // Two records claiming the same reference slot would give one object two owners.
    QByteArray twice = bytes;
    const qsizetype slot1 = twice.indexOf(QByteArray::fromHex("0000"
                                                              "0100"
                                                              "01"
                                                              "14000000"));
    ASSERT_GT(slot1, 0);
    twice[slot1 + 2] = 0;
    EXPECT_EQ(LoadError(twice), QStringLiteral("Stream read error"));
}

TEST_F(StorageTest, EveryTruncationFailsCleanly) {
    auto root = LinkedGraph();
    root->Children.Add(new TTestLeaf(3, QStringLiteral("three")));
    const QByteArray bytes = WriteToBytes(*root);
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        const QString error = LoadError(bytes.left(length));
        EXPECT_NE(error, QStringLiteral("(loaded)")) << "length " << length;
    }
}

TEST_F(StorageTest, ReferenceToAnObjectWrittenOnlyAsInstanceFailsAndLeavesNoFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.qdx"));
    TTestNode root(1);
    TTestLeaf loose(5);
    root.Link = &loose; // never written with WriteObject
    try {
        SaveStoredToFile(path, root);
        FAIL() << "saved";
    } catch (const EBadObjectRef& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Reference to unknown object (referenced object "
                                              "may have been written with WriteInstance)"));
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(StorageTest, FailedSaveKeepsThePreviousFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.qdx"));
    SaveStoredToFile(path, TTestLeaf(1, QStringLiteral("first")));
    const QByteArray before = FileBytes(path);

    TTestNode broken(2);
    TTestLeaf loose(5);
    broken.Link = &loose;
    EXPECT_THROW(SaveStoredToFile(path, broken), EBadObjectRef);
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"doc.qdx"});

    SaveStoredToFile(path, TTestLeaf(2, QStringLiteral("second")));
    std::unique_ptr<TStored> loaded(LoadStoredFromFile(path));
    EXPECT_EQ(static_cast<TTestLeaf*>(loaded.get())->Name, QStringLiteral("second"));
}

TEST_F(StorageTest, SaveIntoAnUnwritableFolderReportsCannotCreate) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.qdx"));
    SaveStoredToFile(path, TTestLeaf(1));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    try {
        SaveStoredToFile(path, TTestLeaf(2));
        ADD_FAILURE() << "saved";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot create file %1").arg(path));
    }
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    std::unique_ptr<TStored> loaded(LoadStoredFromFile(path));
    EXPECT_EQ(static_cast<TTestLeaf*>(loaded.get())->Value, 1);
}

TEST_F(StorageTest, FullDiskIsAWriteErrorAndKeepsThePreviousFile) {
    if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP();
    // Writing to /dev/full fails the way a full disk does.
    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    TStorage storage(&full, TStorage::TMode::Write);
    TObjectTable big;
    for (int i = 0; i < 2000; ++i)
        big.Add(new TTestLeaf(i));
    EXPECT_THROW(storage.WriteRoot(big), EWriteError);
}

TEST_F(StorageTest, MoreReferencedObjectsThanASlotCanNameFailsAndLeavesNoFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("many.qdx"));
    TTestNode root(0);
    for (int i = 0; i <= TStorage::MaxReferences; ++i) {
        auto* node = new TTestNode(i);
        node->Link = node;
        root.Children.Add(node);
    }
    EXPECT_THROW(SaveStoredToFile(path, root), EWriteError);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(StorageTest, OpeningAMissingFileSaysSo) {
    const QString path = QStringLiteral("/nonexistent/doc.qdx");
    try {
        LoadStoredFromFile(path);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot open file /nonexistent/doc.qdx"));
    }
}

TEST_F(StorageTest, CloneMakesAnEqualObjectOfTheSameClass) {
    TTestLeaf leaf(12, QStringLiteral("twelve"));
    std::unique_ptr<TStored> copy(CloneStored(&leaf));
    auto* clone = dynamic_cast<TTestLeaf*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone, &leaf);
    EXPECT_EQ(clone->Value, 12);
    EXPECT_EQ(clone->Name, QStringLiteral("twelve"));
    EXPECT_EQ(CloneStored(nullptr), nullptr);
    // A class without copying is left as constructed.
    std::unique_ptr<TStored> node(CloneStored(LinkedGraph().get()));
    EXPECT_EQ(static_cast<TTestNode*>(node.get())->Id, 0);
}

TEST_F(StorageTest, AliasCreatesTheRegisteredClass) {
    TClassRegistry::Instance().RegisterAlias("TOldLeaf", StoredClassOf<TTestLeaf>());
    QByteArray bytes = WriteToBytes(TTestLeaf(8));
    bytes.replace("\x09TTestLeaf", "\x08TOldLeaf");
    std::unique_ptr<TStored> loaded(ReadFromBytes(bytes));
    ASSERT_NE(dynamic_cast<TTestLeaf*>(loaded.get()), nullptr);
    // The record was written under another name, so its version reads as 0 (no name).
    EXPECT_EQ(static_cast<TTestLeaf*>(loaded.get())->Value, 8);
}

TEST_F(StorageTest, FilesTheFuzzerFoundFailCleanly) {
    const QDir dir(QStringLiteral(QDX_TEST_DATA "/malformed/storage"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        EXPECT_NE(LoadError(FileBytes(dir.filePath(name))), QStringLiteral("(loaded)"))
            << name.toStdString();
    }
}

TEST_F(StorageTest, FuzzSeedsAreReadableFiles) {
    const QDir dir(QStringLiteral(QDX_FUZZ_CORPUS "/storage"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files)
        EXPECT_EQ(LoadError(FileBytes(dir.filePath(name))), QStringLiteral("(loaded)"))
            << name.toStdString();
}
