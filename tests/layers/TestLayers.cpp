#include "LayerCheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void Write(const QDir& dir, const QString& path, const QByteArray& text) {
    ASSERT_TRUE(dir.mkpath(QFileInfo(dir.filePath(path)).path()));
    QFile file(dir.filePath(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

const QByteArray Readme = "# X\n\n### Layers\n\n"
                          "| Library | Folder | Widgets |\n"
                          "|---------|--------|---------|\n"
                          "| `qdx_low` | `src/low` | |\n"
                          "| `qdx_high` | `src/high` | |\n"
                          "| `qdx_low_dialogs` | `src/low` | widgets |\n"
                          "\n## Next\n\n| `qdx_other` | `src/other` | |\n";

// A tree of two folders whose libraries follow the table.
class LayerCheckTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Root.isValid());
        Write(Dir, "README.md", Readme);
        Write(Dir, "src/low/CMakeLists.txt",
              "qdx_add_library(qdx_low\n    SOURCES\n        A.cpp A.h\n    PUBLIC_LINK Qt6::Core)\n");
        Write(Dir, "src/low/Dialogs.cmake",
              "qdx_add_library(qdx_low_dialogs SOURCES Form.cpp Form.h PUBLIC_LINK qdx_high)\n");
        Write(Dir, "src/high/CMakeLists.txt", "qdx_add_library(qdx_high SOURCES B.cpp B.h)\n");
        Write(Dir, "src/low/A.h", "#pragma once\n#include <QString>\n");
        Write(Dir, "src/low/A.cpp", "#include \"low/A.h\"\n");
        Write(Dir, "src/high/B.h", "#pragma once\n#include \"low/A.h\"\n");
        Write(Dir, "src/high/B.cpp", "#include \"high/B.h\"\n#include \"support/Fixture.h\"\n");
        Write(Dir, "src/low/Form.h", "#pragma once\n#include <QDialog>\n");
        Write(Dir, "src/low/Form.cpp", "#include \"low/Form.h\"\n#include \"high/B.h\"\n");
        Write(Dir, "widgets/QDialog", "");
    }
    QStringList Violations() const { return LayerViolations(Root.path(), Dir.filePath("widgets")); }

    QTemporaryDir Root;
    QDir Dir{Root.path()};
};

} // namespace

TEST_F(LayerCheckTest, ReadsTheTableOfItsSectionOnly) {
    const QList<TLayer> layers = ReadLayerTable(Dir.filePath("README.md"));
    ASSERT_EQ(layers.size(), 3);
    EXPECT_EQ(layers[0].Library, QStringLiteral("qdx_low"));
    EXPECT_EQ(layers[0].Folder, QStringLiteral("low"));
    EXPECT_FALSE(layers[0].Widgets);
    EXPECT_EQ(layers[2].Library, QStringLiteral("qdx_low_dialogs"));
    EXPECT_TRUE(layers[2].Widgets);

    const auto sources = ReadLibrarySources(Dir.filePath("src"));
    EXPECT_EQ(sources.value("qdx_low"), (QStringList{"low/A.cpp", "low/A.h"}));
    EXPECT_EQ(sources.value("qdx_low_dialogs"), (QStringList{"low/Form.cpp", "low/Form.h"}));
}

TEST_F(LayerCheckTest, AcceptsIncludesDownTheLayers) {
    // The dialogs of the low folder sit above the high library, so they may include it.
    EXPECT_EQ(Violations(), QStringList());
}

TEST_F(LayerCheckTest, ReportsAnIncludeUpTheLayers) {
    Write(Dir, "src/low/A.cpp", "#include \"low/A.h\"\n  #  include \"high/B.h\"\n");
    EXPECT_EQ(Violations(),
              QStringList{QStringLiteral("low/A.cpp (qdx_low) includes high/B.h (qdx_high)")});
}

TEST_F(LayerCheckTest, ReportsTheCoreIncludingDialogsOrWidgets) {
    Write(Dir, "src/high/B.cpp", "#include \"high/B.h\"\n#include \"low/Form.h\"\n");
    Write(Dir, "src/low/A.h", "#pragma once\n#include <QDialog>\n#include <QtWidgets/QLabel>\n");
    EXPECT_EQ(Violations(),
              (QStringList{QStringLiteral("high/B.cpp (qdx_high) includes low/Form.h (qdx_low_dialogs)"),
                           QStringLiteral("low/A.h (qdx_low) includes the widgets header <QDialog>"),
                           QStringLiteral("low/A.h (qdx_low) includes the widgets header <QtWidgets/QLabel>")}));
}

TEST_F(LayerCheckTest, ReportsALibraryLinkingOneAboveIt) {
    Write(Dir, "src/low/CMakeLists.txt",
          "qdx_add_library(qdx_low SOURCES A.cpp A.h PUBLIC_LINK Qt6::Core qdx_high)\n"
          "target_link_libraries(qdx_low PRIVATE qdx_low_dialogs)\n");
    EXPECT_EQ(ReadLibraryLinks(Dir.filePath("src")).value("qdx_low"),
              (QStringList{"qdx_high", "qdx_low_dialogs"}));
    EXPECT_EQ(Violations(), (QStringList{QStringLiteral("qdx_low links qdx_high"),
                                         QStringLiteral("qdx_low links qdx_low_dialogs")}));
}

TEST_F(LayerCheckTest, AFileInNoListBelongsToItsFolderLibrary) {
    Write(Dir, "src/low/Loose.h", "#pragma once\n#include \"high/B.h\"\n");
    EXPECT_EQ(Violations(),
              QStringList{QStringLiteral("low/Loose.h (qdx_low) includes high/B.h (qdx_high)")});
}

TEST_F(LayerCheckTest, AFolderMissingFromTheTableFails) {
    Write(Dir, "src/web/C.cpp", "");
    EXPECT_EQ(Violations(),
              QStringList{QStringLiteral("src/web has no library qdx_web in the layer table")});
    Write(Dir, "README.md", "# X\n");
    EXPECT_EQ(Violations(), QStringList{QStringLiteral("README.md has no layer table")});
}

TEST(Layers, NoSourceIncludesALayerAboveItsOwn) {
    const QStringList violations = LayerViolations(QDX_SOURCE_ROOT, QDX_QT_WIDGETS_HEADERS);
    EXPECT_TRUE(violations.isEmpty()) << violations.join(u'\n').toStdString();
}
