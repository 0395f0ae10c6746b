#include "document/Card.h"
#include "document/Control.h"
#include "support/DocumentFixtures.h"
#include "support/PrintFixtures.h"
#include "types/CardType.h"
#include "web/WebGen.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString BrowserTestFolder = QStringLiteral(QDX_SOURCE_DIR "/tests/web/browser");

// ./test.sh installs the browser and the driver; elsewhere the test is skipped unless the
// run asks for it.
bool BrowserRequired() {
    return qEnvironmentVariableIntValue("QDX_REQUIRE_BROWSER") == 1;
}

QString MissingBrowserPart() {
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty()) return "node";
    if (!QFile::exists(QStringLiteral("/usr/bin/chromium"))) return "/usr/bin/chromium";
    if (!QDir(BrowserTestFolder + "/node_modules/playwright-core").exists())
        return "playwright-core (npm ci in tests/web/browser)";
    return {};
}

void AddLink(TCardPanel& panel, const TRect& bounds, int linkType, const QString& target = {}) {
    TRectangleObject* box = AddBox(panel, bounds, 12);
    box->LinkType = quint8(linkType);
    box->LinkTarget = target;
}

} // namespace

// A folded card of four panels: each leads to the next, the last back to the first, and the
// front also straight to the third panel.
TEST(WebBrowser, APublishedSiteLoadsAndItsImageMapsLeadFromPageToPage) {
    if (const QString missing = MissingBrowserPart(); !missing.isEmpty()) {
        if (BrowserRequired()) FAIL() << "missing for the browser test: " << missing.toStdString();
        GTEST_SKIP() << "missing for the browser test: " << missing.toStdString();
    }
    TTestContext test;
    TCard card(cfBifoldVertical, dtGreetingCard);
    TCardPage& page = *card.Pages(0);
    for (int i = 0; i < 4; ++i) {
        AddBox(*page.Panels(i), {40, 300, 200, 400}, 9); // unlinked: not clickable
        AddLink(*page.Panels(i), {50, 50, 250, 150}, i < 3 ? ltNextPage : ltFirstPage);
    }
    AddLink(*page.Panels(0), {50, 180, 250, 260}, ltPage, QStringLiteral("3"));
    QTemporaryDir site;
    TWebPageGenerator generator;
    ASSERT_EQ(generator.Publish(card, 0, site.path()).Written.size(), 4u);

    QProcess node;
    node.setWorkingDirectory(BrowserTestFolder);
    node.setProcessChannelMode(QProcess::MergedChannels);
    node.start(QStringLiteral("node"),
               {QStringLiteral("site.test.mjs"), site.path(), generator.MainPageFile(),
                QStringLiteral("4"), QString::number(page.Panels(0)->Width),
                QString::number(page.Panels(0)->Height)});
    ASSERT_TRUE(node.waitForFinished(120'000));
    const QString output = QString::fromUtf8(node.readAll());
    EXPECT_EQ(node.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("visited index.htm -> Page2.htm -> Page3.htm -> Page4.htm"))
        << output.toStdString();
    EXPECT_TRUE(output.contains("jumped to Page3.htm")) << output.toStdString();
}
