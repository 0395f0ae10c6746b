#include "document/Card.h"
#include "events/Event.h"
#include "events/EventForm.h"
#include "events/EventMsg.h"
#include "support/DocumentFixtures.h"
#include "types/CardType.h"
#include "types/CardTypeForm.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

template <typename T = QWidget> T* Find(const QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QStringList Texts(const QListWidget& list) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row) texts.append(list.item(row)->text());
    return texts;
}

void Click(const QWidget& dialog, const char* name) {
    QPushButton* button = Find<QPushButton>(dialog, name);
    ASSERT_TRUE(button->isEnabled()) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

void ClickOk(const QWidget& dialog, const char* box) {
    QTest::mouseClick(Find<QDialogButtonBox>(dialog, box)->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
}

class EventFormTest : public testing::Test {
protected:
    EventFormTest() { RegisterEventClasses(); }

    TEvent* Add(const QDate& date, const QString& text, int warning = 14) {
        auto* event = new TEvent(date, text, warning);
        Events.AddEvent(event);
        return event;
    }
    bool Bold(const TEventForm& form, const QDate& date) {
        return Find<QCalendarWidget>(form, "Calendar")->dateTextFormat(date).fontWeight() ==
               QFont::Bold;
    }

    TTestContext Test;
    TEventTable Events;
    const QDate Today{2026, 12, 8};
};

} // namespace

TEST_F(EventFormTest, AddingAnEventNeedsADescriptionAndMarksItsDay) {
    TEventForm form(Events, Today);
    form.show();
    EXPECT_EQ(form.Status(), QStringLiteral("Viewing events"));
    EXPECT_EQ(Find<QLabel>(form, "Heading")->text(), QStringLiteral("December 8, 2026"));
    EXPECT_FALSE(Find<QPushButton>(form, "EditButton")->isEnabled());
    EXPECT_FALSE(Find<QListWidget>(form, "EventList")->isEnabled());

    Click(form, "NextButton");
    Find<QSpinBox>(form, "DaySpin")->setValue(12);
    EXPECT_EQ(form.SelectedDate(), QDate(2027, 1, 12));
    Click(form, "AddButton");
    EXPECT_EQ(form.Status(), QStringLiteral("Adding a new event"));
    EXPECT_EQ(Find<QSpinBox>(form, "WarningSpin")->value(), 14);
    EXPECT_EQ(Find<QLineEdit>(form, "DescriptionEdit")->maxLength(), 40);
    ClickOk(form, "EditButtons");
    EXPECT_EQ(Test.Messages.Errors, QStringList{"You must enter a description."});
    EXPECT_EQ(form.Status(), QStringLiteral("Adding a new event"));
    EXPECT_EQ(Events.Count(), 0);

    QTest::keyClicks(Find<QLineEdit>(form, "DescriptionEdit"), QStringLiteral("Mum's birthday"));
    Find<QSpinBox>(form, "WarningSpin")->setValue(30);
    ClickOk(form, "EditButtons");
    EXPECT_EQ(form.Status(), QStringLiteral("Viewing events"));
    ASSERT_EQ(Events.Count(), 1);
    EXPECT_EQ(Events.Items(0)->Date(), QDate(2027, 1, 12));
    EXPECT_EQ(Events.Items(0)->WarningDays, 30);
    EXPECT_TRUE(Events.Modified());
    auto* list = Find<QListWidget>(form, "EventList");
    EXPECT_EQ(Texts(*list), QStringList{"Mum's birthday"});
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_TRUE(Find<QPushButton>(form, "EditButton")->isEnabled());
    EXPECT_TRUE(Bold(form, QDate(2027, 1, 12)));
    EXPECT_FALSE(Bold(form, QDate(2027, 1, 13)));
}

TEST_F(EventFormTest, EditingMovesTheEventToThePickedDayAndCancelReturnsToTheRememberedDay) {
    TEvent* event = Add(QDate(2027, 1, 12), QStringLiteral("Mum"));
    Add(QDate(2027, 1, 20), QStringLiteral("Later"));
    Events.SetModified(false);
    TEventForm form(Events, Today);
    form.show();
    form.SetDate(QDate(2027, 1, 12));
    auto* events = Find<QListWidget>(form, "EventList");

    // Cancelled: nothing changes and the day shown before comes back.
    emit events->itemDoubleClicked(events->item(0)); // a double click opens the event
    EXPECT_EQ(form.Status(), QStringLiteral("Editing an existing event"));
    EXPECT_EQ(Find<QLineEdit>(form, "DescriptionEdit")->text(), QStringLiteral("Mum"));
    Find<QComboBox>(form, "MonthCombo")->setCurrentIndex(4);
    form.reject(); // Escape while editing
    EXPECT_EQ(form.Status(), QStringLiteral("Viewing events"));
    EXPECT_EQ(form.SelectedDate(), QDate(2027, 1, 12));
    EXPECT_FALSE(Events.Modified());

    Click(form, "EditButton");
    Find<QLineEdit>(form, "DescriptionEdit")->setText(QStringLiteral("Mum's birthday"));
    Find<QComboBox>(form, "MonthCombo")->setCurrentIndex(1); // February, then the 28th
    Find<QSpinBox>(form, "DaySpin")->setValue(28);
    ClickOk(form, "EditButtons");
    EXPECT_EQ(event->Date(), QDate(2027, 2, 28));
    EXPECT_EQ(event->Description, QStringLiteral("Mum's birthday"));
    EXPECT_EQ(Events.Items(1), event); // re-sorted after "Later"
    EXPECT_TRUE(Events.Modified());
    EXPECT_EQ(Texts(*Find<QListWidget>(form, "EventList")), QStringList{"Mum's birthday"});
    EXPECT_FALSE(Bold(form, QDate(2027, 1, 12)));
}

TEST_F(EventFormTest, DeletingAsksFirst) {
    Add(QDate(2027, 1, 12), QStringLiteral("Mum"));
    TEventForm form(Events, QDate(2027, 1, 12));
    form.show();
    Test.Messages.ConfirmAnswer = false;
    Click(form, "DeleteButton");
    EXPECT_EQ(Test.Messages.Confirmations,
              QStringList{"Are you sure that you want to delete the event 'Mum'?"});
    EXPECT_EQ(Events.Count(), 1);
    Test.Messages.ConfirmAnswer = true;
    Click(form, "DeleteButton");
    EXPECT_EQ(Events.Count(), 0);
    EXPECT_FALSE(Find<QPushButton>(form, "DeleteButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(form, "MoveButton")->isEnabled());
}

TEST_F(EventFormTest, MovingTakesOnlyTheSelectedEventsToTheNewDay) {
    TEvent* a = Add(QDate(2027, 3, 1), QStringLiteral("A"));
    TEvent* b = Add(QDate(2027, 3, 1), QStringLiteral("B"));
    TEvent* c = Add(QDate(2027, 3, 1), QStringLiteral("C"));
    TEventForm form(Events, QDate(2027, 3, 1));
    form.show();
    Click(form, "MoveButton");
    EXPECT_EQ(form.Status(), QStringLiteral("Moving a group of events to a new date"));
    auto* list = Find<QListWidget>(form, "MoveList");
    ASSERT_EQ(list->count(), 3);
    QPushButton* ok = Find<QDialogButtonBox>(form, "MoveButtons")->button(QDialogButtonBox::Ok);
    EXPECT_FALSE(ok->isEnabled());
    for (int row = 0; row < 3; ++row)
        if (list->item(row)->text() != QLatin1String("B")) list->item(row)->setSelected(true);
    EXPECT_TRUE(ok->isEnabled());
    Find<QSpinBox>(form, "YearSpin")->setValue(2028);
    Find<QSpinBox>(form, "DaySpin")->setValue(15);
    EXPECT_EQ(list->count(), 3); // the list stays while the day is picked
    ClickOk(form, "MoveButtons");
    EXPECT_EQ(a->Date(), QDate(2028, 3, 15));
    EXPECT_EQ(c->Date(), QDate(2028, 3, 15));
    EXPECT_EQ(b->Date(), QDate(2027, 3, 1));
    EXPECT_EQ(form.Status(), QStringLiteral("Viewing events"));
    EXPECT_EQ(Find<QListWidget>(form, "EventList")->count(), 2);
    EXPECT_EQ(Events.EventsOn(QDate(2028, 3, 15)).size(), 2u);
}

TEST_F(EventFormTest, TheCalendarKeepsWithinItsYearsAndClampsTheDay) {
    TEventForm form(Events, QDate(1900, 1, 31));
    form.show();
    QPushButton* prior = Find<QPushButton>(form, "PriorButton");
    QPushButton* next = Find<QPushButton>(form, "NextButton");
    EXPECT_FALSE(prior->isEnabled());
    EXPECT_TRUE(next->isEnabled());
    EXPECT_EQ(Find<QSpinBox>(form, "YearSpin")->minimum(), 1900);
    EXPECT_EQ(Find<QSpinBox>(form, "YearSpin")->maximum(), 2100);

    Click(form, "NextButton"); // 31 January: February is shorter
    EXPECT_EQ(form.SelectedDate(), QDate(1900, 2, 28));
    EXPECT_EQ(Find<QSpinBox>(form, "DaySpin")->value(), 28);
    Find<QComboBox>(form, "MonthCombo")->setCurrentIndex(3);
    Find<QSpinBox>(form, "DaySpin")->setValue(31); // April has 30
    EXPECT_EQ(form.SelectedDate(), QDate(1900, 4, 30));
    EXPECT_EQ(Find<QSpinBox>(form, "DaySpin")->value(), 30);

    form.SetDate(QDate(2100, 12, 31));
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(prior->isEnabled());
    form.SetDate(QDate(2100, 11, 30));
    EXPECT_TRUE(next->isEnabled());
    form.SetDate(QDate(2300, 1, 1));
    EXPECT_EQ(form.SelectedDate(), QDate(2100, 12, 31));
    Click(form, "TodayButton");
    EXPECT_EQ(form.SelectedDate(), QDate(1900, 1, 31));

    // Leap day: another year keeps the month and takes its last day.
    form.SetDate(QDate(2028, 2, 29));
    Find<QSpinBox>(form, "YearSpin")->setValue(2029);
    EXPECT_EQ(form.SelectedDate(), QDate(2029, 2, 28));
}

TEST_F(EventFormTest, MessagesDeleteOrKeepForNextYearUntilNoLineRemains) {
    TEvent* leap = Add(QDate(2028, 2, 29), QStringLiteral("Leap"));
    Add(QDate(2028, 2, 20), QStringLiteral("Old"));
    const QDate today(2028, 3, 1);
    TEventMsgForm form(Events, Events.DueList(today));
    form.show();
    auto* list = Find<QListWidget>(form, "MessageList");
    EXPECT_EQ(Texts(*list), (QStringList{"February 20, 2028 / Old", "February 29, 2028 / Leap"}));
    EXPECT_EQ(list->currentRow(), 0);
    Events.SetModified(false);

    Test.Messages.ConfirmAnswer = true;
    Click(form, "DeleteButton");
    EXPECT_EQ(Test.Messages.Confirmations,
              QStringList{"Are you sure that you want to delete the event 'Old'?"});
    EXPECT_EQ(Events.Count(), 1);
    EXPECT_EQ(Texts(*list), QStringList{"February 29, 2028 / Leap"});
    EXPECT_TRUE(Events.Modified());

    Click(form, "MoveButton");
    EXPECT_EQ(leap->Date(), QDate(2029, 2, 28));
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(list->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(form, "DeleteButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(form, "MoveButton")->isEnabled());
    EXPECT_TRUE(Events.DueList(today).empty());

    EXPECT_FALSE(form.MakeCardChosen());
    Click(form, "MakeCardButton");
    EXPECT_TRUE(form.MakeCardChosen());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST(CardTypeForm, OpensOnTheTypeTheCallerAsksFor) {
    TTestContext test;
    for (int type : {dtGreetingCard, 1, 2}) {
        SCOPED_TRACE(type);
        TCardTypeServices services;
        services.InitialType = type;
        TCardTypeForm form(services);
        EXPECT_EQ(form.ChosenType(), type);
        form.BlankButtonClick();
        std::unique_ptr<TCard> card = form.TakeCard();
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->DocumentType, type);
    }
}
