#include "dialogs/DialogTestSupport.h"
#include "document/CardObject.h"
#include "web/LinkForm.h"
#include "web/PageNameForm.h"
#include "web/WebGen.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

const TLinkPages FourPanelsOnTheSecond{2, 4};
const TLinkPages LastOfTwo{2, 2};
const TLinkPages NoPages{0, 0};

} // namespace

TEST(LinkForm, StoresAddressesWithTheirPrefixes) {
    TLinkForm form(ltNone, {}, FourPanelsOnTheSecond);
    EXPECT_EQ(form.ChosenType(), ltNone);
    EXPECT_EQ(form.ChosenTarget(), QString());
    EXPECT_FALSE(Find<QLineEdit>(form, "LinkText")->isEnabled());

    form.KindButton(ltAddress)->click();
    EXPECT_TRUE(Find<QLineEdit>(form, "LinkText")->isEnabled());
    form.SetText(QStringLiteral("www.x.org"));
    EXPECT_EQ(form.ChosenType(), ltAddress);
    EXPECT_EQ(form.ChosenTarget(), QStringLiteral("http://www.x.org"));

    form.KindButton(ltEmail)->click();
    form.SetText(QStringLiteral("ann@x.org"));
    EXPECT_EQ(form.ChosenTarget(), QStringLiteral("mailto:ann@x.org"));

    form.KindButton(ltFile)->click();
    form.AskFileName = [](const QString&) { return QStringLiteral("/home/ann/menu.pdf"); };
    Find<QAbstractButton>(form, "BrowseButton")->click();
    EXPECT_EQ(form.ChosenType(), ltFile);
    EXPECT_EQ(form.ChosenTarget(), QStringLiteral("/home/ann/menu.pdf"));
}

TEST(LinkForm, PageChoicesFollowThePagesOfTheProject) {
    TLinkForm middle(ltNone, {}, FourPanelsOnTheSecond);
    EXPECT_TRUE(middle.KindButton(ltPage)->isEnabled());
    EXPECT_FALSE(middle.PageKindButton(ltFirstPage)->isEnabled()); // until a page is the kind
    middle.KindButton(ltPage)->click();
    EXPECT_TRUE(middle.PageKindButton(ltNextPage)->isEnabled());
    EXPECT_TRUE(middle.PageKindButton(ltPreviousPage)->isEnabled());
    middle.PageKindButton(ltPreviousPage)->click();
    EXPECT_EQ(middle.ChosenType(), ltPreviousPage);
    EXPECT_EQ(middle.ChosenTarget(), QString());
    middle.SetPageNumber(3);
    EXPECT_EQ(middle.ChosenType(), ltPage);
    EXPECT_EQ(middle.ChosenTarget(), QStringLiteral("3"));
    EXPECT_EQ(Find<QSpinBox>(middle, "PageNumber")->maximum(), 4);

    // On the last page "Next" cannot be chosen: a next link opens as a link to page 1.
    TLinkForm last(ltNextPage, {}, LastOfTwo);
    EXPECT_FALSE(last.PageKindButton(ltNextPage)->isEnabled());
    EXPECT_TRUE(last.PageKindButton(ltPreviousPage)->isEnabled());
    EXPECT_EQ(last.ChosenType(), ltPage);
    EXPECT_EQ(last.ChosenTarget(), QStringLiteral("1"));

    // Opening on an existing page link shows it.
    TLinkForm existing(ltPage, QStringLiteral("2"), FourPanelsOnTheSecond);
    EXPECT_EQ(existing.ChosenType(), ltPage);
    EXPECT_EQ(Find<QSpinBox>(existing, "PageNumber")->value(), 2);

    TLinkForm single(ltNone, {}, NoPages);
    EXPECT_FALSE(single.KindButton(ltPage)->isEnabled());
}

TEST(PageNameForm, KeepsTheNamesAndTheTitleInTheGenerator) {
    TWebPageGenerator generator;
    {
        TPageNameForm form(generator, QStringLiteral("Club news"));
        EXPECT_EQ(form.MainPageName()->currentText(), QStringLiteral("index"));
        EXPECT_EQ(form.Extension()->currentText(), QStringLiteral("htm"));
        EXPECT_EQ(form.Title()->text(), QStringLiteral("Club news"));
        form.accept();
        // The description shown unchanged is not made the title of every later publication.
        EXPECT_FALSE(generator.PageTitle.has_value());
    }
    {
        TPageNameForm form(generator, QStringLiteral("Club news"));
        form.MainPageName()->setCurrentIndex(1);
        form.Extension()->setCurrentIndex(1);
        form.Title()->setText(QStringLiteral("Spring 2027"));
        form.accept();
    }
    EXPECT_EQ(generator.MainPageFile(), QStringLiteral("default.html"));
    EXPECT_EQ(generator.PageTitle.value_or(QString()), QStringLiteral("Spring 2027"));
    TPageNameForm again(generator, QStringLiteral("Other"));
    EXPECT_EQ(again.Title()->text(), QStringLiteral("Spring 2027"));
    EXPECT_EQ(again.MainPageName()->currentIndex(), 1);
}
