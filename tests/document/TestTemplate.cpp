#include "document/Card.h"
#include "document/Control.h"
#include "document/Template.h"
#include "storage/Exception.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

// A template folder with documents in it, and an index that counts the files it opens.
class TemplateTest : public testing::Test {
protected:
    TemplateTest() {
        Test.Context.TemplateFolder = Root.filePath(QStringLiteral("Template"));
        QDir().mkpath(Test.Context.TemplateFolder);
        Index.SetLoader([this](const QString& path) {
            Opened.append(QFileInfo(path).fileName());
            std::unique_ptr<TStored> root(LoadStoredFromFile(path));
            auto* card = dynamic_cast<TCard*>(root.get());
            if (!card) throw Exception(QStringLiteral("not a document"));
            root.release();
            return std::unique_ptr<TCard>(card);
        });
    }

    QString PathOf(const QString& name) const {
        return QDir(Test.Context.TemplateFolder).filePath(name);
    }

    void SaveTemplate(const QString& name, const QString& description, int type, int objects = 0) {
        TCard card(DocumentTypeInfo(type)->Format, type);
        card.Description = description;
        for (int i = 0; i < objects; ++i)
            card.Pages(0)->Panels(0)->AddObject(new TRectangleObject());
        SaveStoredToFile(PathOf(name), card);
    }

    QStringList Names() const {
        QStringList names;
        for (int i = 0; i < Index.Count(); ++i)
            names.append(Index.Items(i)->FileName);
        return names;
    }

    TTestContext Test;
    QTemporaryDir Root;
    TTemplateTable Index;
    QStringList Opened;
};

} // namespace

TEST_F(TemplateTest, RefreshOpensOnlyNewAndChangedFiles) {
    SaveTemplate(QStringLiteral("Birthday.qdx"), QStringLiteral("Balloons"), 0);
    SaveTemplate(QStringLiteral("NEWS.QDX"), QStringLiteral("Club news"), 1);
    SaveTemplate(QStringLiteral("labels.qdx"), QString(), 10);
    QFile::copy(PathOf(QStringLiteral("NEWS.QDX")), PathOf(QStringLiteral("readme.txt")));
    Index.Refresh();
    EXPECT_EQ(Opened.size(), 3);
    EXPECT_EQ(Names(), (QStringList{"BIRTHDAY.QDX", "LABELS.QDX", "NEWS.QDX"}));
    EXPECT_EQ(Index.FindTemplate(QStringLiteral("/any/where/labels.QDX"))->Description,
              QStringLiteral("(None)"));
    EXPECT_EQ(Index.CountForType(0), 1);
    EXPECT_EQ(Index.CountForType(1), 1);
    EXPECT_EQ(Index.CountForType(10), 1);
    EXPECT_TRUE(Index.Modified());
    // The key is upper-cased; the file is found under its own name.
    EXPECT_EQ(Index.TemplatePath(*Index.FindTemplate(QStringLiteral("birthday.qdx"))),
              PathOf(QStringLiteral("Birthday.qdx")));

    Opened.clear();
    Index.SetModified(false);
    Index.Refresh();
    EXPECT_TRUE(Opened.isEmpty());
    EXPECT_FALSE(Index.Modified());

    SaveTemplate(QStringLiteral("NEWS.QDX"), QStringLiteral("Club news, autumn"), 2, 3);
    Index.Refresh();
    EXPECT_EQ(Opened, QStringList{"NEWS.QDX"});
    EXPECT_EQ(Index.FindTemplate(QStringLiteral("news.qdx"))->Description,
              QStringLiteral("Club news, autumn"));
    EXPECT_EQ(Index.CountForType(1), 0);
    EXPECT_EQ(Index.CountForType(2), 1);
}

TEST_F(TemplateTest, VanishedFilesLeaveTheIndexAndTheirCounts) {
    SaveTemplate(QStringLiteral("a.qdx"), QStringLiteral("A"), 3);
    SaveTemplate(QStringLiteral("b.qdx"), QStringLiteral("B"), 3);
    Index.Refresh();
    EXPECT_EQ(Index.CountForType(3), 2);
    QFile::remove(PathOf(QStringLiteral("a.qdx")));
    Index.Refresh();
    EXPECT_EQ(Names(), QStringList{"B.QDX"});
    EXPECT_EQ(Index.CountForType(3), 1);
}

TEST_F(TemplateTest, UnreadableTemplatesAreReportedAndMovedAside) {
    SaveTemplate(QStringLiteral("good.qdx"), QStringLiteral("Good"), 0);
    QFile bad(PathOf(QStringLiteral("Broken.QDX")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("LCP\x02\x00garbage", 12);
    bad.close();
    Index.Refresh();
    EXPECT_EQ(Test.Messages.Errors, QStringList{QStringLiteral("Error reading Broken.QDX.")});
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("Broken.QDX"))));
    EXPECT_TRUE(QFile::exists(PathOf(QStringLiteral("Error/Broken.QDX"))));
    EXPECT_EQ(Names(), QStringList{"GOOD.QDX"});

    // A second damaged file of the same name does not overwrite the first one kept.
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a document at all");
    bad.close();
    Index.Refresh();
    EXPECT_TRUE(QFile::exists(PathOf(QStringLiteral("Error/Broken (2).QDX"))));
}

TEST_F(TemplateTest, AddingUnderAnExistingNameReplacesTheEntry) {
    SaveTemplate(QStringLiteral("card.qdx"), QStringLiteral("First"), 0);
    Index.AddTemplate(QStringLiteral("card.qdx"), QStringLiteral("First"), 0);
    Index.AddTemplate(QStringLiteral("CARD.qdx"), QStringLiteral("Second"), 0);
    EXPECT_EQ(Index.Count(), 1);
    EXPECT_EQ(Index.CountForType(0), 1);
    EXPECT_EQ(Index.Items(0)->Description, QStringLiteral("Second"));
    EXPECT_NE(Index.Items(0)->FileAge, 0);

    Index.UpdateTemplate(QStringLiteral("card.qdx"), QStringLiteral("Second"), 0);
    EXPECT_EQ(Index.CountForType(0), 1);
    Index.UpdateTemplate(QStringLiteral("card.qdx"), QStringLiteral("Second"), 4);
    EXPECT_EQ(Index.CountForType(0), 0);
    EXPECT_EQ(Index.CountForType(4), 1);
    Index.UpdateTemplate(QStringLiteral("other.qdx"), QStringLiteral("X"), 4); // not there
    EXPECT_EQ(Index.Count(), 1);

    Index.DeleteTemplate(Index.Items(0));
    EXPECT_EQ(Index.Count(), 0);
    EXPECT_EQ(Index.CountForType(4), 0);
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("card.qdx"))));
    Index.RemoveTemplate(QStringLiteral("card.qdx"), 4); // counts never go below zero
    EXPECT_EQ(Index.CountForType(4), 0);
}

TEST_F(TemplateTest, IndexFileRoundTripsAndRefreshesOnOpening) {
    SaveTemplate(QStringLiteral("a.qdx"), QStringLiteral("A"), 5);
    const QString indexFile = Root.filePath(QStringLiteral("Template.dat"));
    {
        auto index = OpenTemplateIndex(indexFile);
        EXPECT_EQ(index->Count(), 1);
        EXPECT_TRUE(SaveTemplateIndex(*index, indexFile));
        EXPECT_FALSE(index->Modified());
    }
    SaveTemplate(QStringLiteral("b.qdx"), QStringLiteral("B"), 5);
    auto index = OpenTemplateIndex(indexFile);
    EXPECT_EQ(index->Count(), 2);
    EXPECT_EQ(index->CountForType(5), 2);
    EXPECT_TRUE(index->Modified());

    // An index that cannot be read is rebuilt from the folder without a word.
    QFile damaged(indexFile);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("LCP\x02\x00\xff\xff\xff\x7f", 9);
    damaged.close();
    auto rebuilt = OpenTemplateIndex(indexFile);
    EXPECT_EQ(rebuilt->Count(), 2);
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());
}

TEST_F(TemplateTest, OlderIndexesKeepTheCountsTheyHad) {
    Index.TypeCounts.fill(3);
    QByteArray bytes = [&] {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        TStorage storage(&buffer, TStorage::TMode::Write);
        storage.WriteRoot(Index);
        storage.Flush();
        return buffer.data();
    }();
    // Make it a version-2 record: 19 counts instead of 32.
    const qint32 classTable = qFromLittleEndian<qint32>(bytes.constData() + 5);
    bytes.remove(classTable - 26, 26);
    qToLittleEndian<qint32>(classTable - 26, bytes.data() + 5);
    const qsizetype entry = bytes.indexOf("\x0ETTemplateTable");
    ASSERT_GT(entry, 0);
    qToLittleEndian<quint16>(2, bytes.data() + entry - 2);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TStorage storage(&buffer, TStorage::TMode::Read);
    std::unique_ptr<TStored> root(storage.ReadRoot());
    auto* old = dynamic_cast<TTemplateTable*>(root.get());
    ASSERT_NE(old, nullptr);
    for (int type = 0; type < TTemplateTable::TypeCount; ++type)
        EXPECT_EQ(old->CountForType(type), type < 19 ? 3 : 0) << type;

    // Version 0 cannot be read: the silent abort asks for a rebuild.
    qToLittleEndian<quint16>(0, bytes.data() + entry - 2);
    QBuffer again(&bytes);
    again.open(QIODevice::ReadOnly);
    TStorage zero(&again, TStorage::TMode::Read);
    EXPECT_THROW(zero.ReadRoot(), EAbort);
}

TEST_F(TemplateTest, AThousandUnchangedTemplatesAreNotOpened) {
    TCard card(0, 0);
    card.Description = QStringLiteral("Same");
    for (int i = 0; i < 1000; ++i)
        SaveStoredToFile(PathOf(QStringLiteral("t%1.qdx").arg(i, 4, 10, QLatin1Char('0'))), card);
    Index.Refresh();
    EXPECT_EQ(Opened.size(), 1000);
    EXPECT_EQ(Index.CountForType(0), 1000);
    Opened.clear();
    Index.Refresh();
    EXPECT_TRUE(Opened.isEmpty());
    EXPECT_EQ(Index.Count(), 1000);
}
