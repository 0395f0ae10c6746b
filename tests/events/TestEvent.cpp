#include "events/Event.h"
#include "storage/Stored.h"
#include "support/DocumentFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class EventTest : public testing::Test {
protected:
    EventTest() { RegisterEventClasses(); }

    TEvent* Add(const QDate& date, const QString& text, int warning = TEvent::DefaultWarningDays) {
        auto* event = new TEvent(date, text, warning);
        Events.AddEvent(event);
        return event;
    }
    QStringList DueTexts(const QDate& today) const {
        QStringList texts;
        for (const TDueEvent& due : Events.DueList(today))
            texts.append(due.Text);
        return texts;
    }

    TTestContext Test;
    TEventTable Events;
    const QDate Today{2026, 12, 8};
};

} // namespace

TEST_F(EventTest, DatesAreDaysSinceTheEndOf1899) {
    EXPECT_EQ(TEvent::DateToDays(QDate(1899, 12, 30)), 0);
    EXPECT_EQ(TEvent::DateToDays(QDate(2000, 1, 1)), 36526);
    EXPECT_EQ(TEvent::DaysToDate(36526.75), QDate(2000, 1, 1)); // the time of day is ignored
}

TEST_F(EventTest, EventsStaySortedByDayAndAreFoundByDay) {
    Add(QDate(2027, 3, 1), QStringLiteral("Spring"));
    Add(QDate(2026, 12, 24), QStringLiteral("Eve"));
    TEvent* late = Add(QDate(2027, 1, 12), QStringLiteral("Mum"));
    late->EventDate += 0.9; // an evening entry is still on its day
    Add(QDate(2027, 1, 12), QStringLiteral("Ann"));
    EXPECT_EQ(Events.Items(0)->Description, QStringLiteral("Eve"));
    EXPECT_EQ(Events.Items(3)->Description, QStringLiteral("Spring"));
    const std::vector<TEvent*> day = Events.EventsOn(QDate(2027, 1, 12));
    ASSERT_EQ(day.size(), 2u);
    QStringList names{day[0]->Description, day[1]->Description};
    names.sort();
    EXPECT_EQ(names, (QStringList{"Ann", "Mum"}));
    EXPECT_TRUE(Events.EventsOn(QDate(2027, 1, 13)).empty());
    EXPECT_TRUE(Events.Modified());
}

TEST_F(EventTest, DueListRoundsDaysAndAlwaysListsThePast) {
    TEvent* halfDay = Add(Today.addDays(14), QStringLiteral("Fourteen and a half"));
    halfDay->EventDate += 0.5;
    Add(Today.addDays(14), QStringLiteral("Fourteen"));
    Add(Today, QStringLiteral("Today, no warning"), 0);
    Add(Today.addDays(-30), QStringLiteral("Past"), 0);
    Add(Today.addDays(1), QStringLiteral("Tomorrow, no warning"), 0);
    EXPECT_EQ(DueTexts(Today),
              (QStringList{"November 8, 2026 / Past", "December 8, 2026 / Today, no warning",
                           "December 22, 2026 / Fourteen"}));
    // Tomorrow the event without warning is due too, and stays due afterwards.
    EXPECT_TRUE(DueTexts(Today.addDays(1)).contains("December 9, 2026 / Tomorrow, no warning"));
    EXPECT_TRUE(DueTexts(Today.addDays(40)).contains("December 9, 2026 / Tomorrow, no warning"));
}

TEST_F(EventTest, TwoEventsOnOneDayAreBothDue) {
    Add(Today.addDays(3), QStringLiteral("One"));
    Add(Today.addDays(3), QStringLiteral("Two"));
    EXPECT_EQ(Events.DueList(Today).size(), 2u);
}

TEST_F(EventTest, MovingToNextYearKeepsTheDayOrTakesThe28thOfFebruary) {
    TEvent* leap = Add(QDate(2028, 2, 29), QStringLiteral("Leap"));
    TEvent* first = Add(QDate(2027, 6, 1), QStringLiteral("June"));
    Events.SetModified(false);
    Events.MoveToNextYear(leap);
    EXPECT_EQ(leap->Date(), QDate(2029, 2, 28));
    Events.MoveToNextYear(first);
    EXPECT_EQ(first->Date(), QDate(2028, 6, 1));
    EXPECT_EQ(Events.Items(0), first); // re-sorted
    EXPECT_TRUE(Events.Modified());

    Events.MoveEvents({leap, first}, QDate(2027, 1, 1));
    EXPECT_EQ(Events.EventsOn(QDate(2027, 1, 1)).size(), 2u);
    Events.DeleteEvent(leap);
    EXPECT_EQ(Events.Count(), 1);
}

TEST_F(EventTest, TheEventFileIsWrittenOnlyAfterAChange) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Event.dat"));
    auto events = OpenEventFile(file);
    EXPECT_EQ(events->Count(), 0);
    EXPECT_TRUE(SaveEventFile(*events, file));
    EXPECT_FALSE(QFile::exists(file));

    events->AddEvent(new TEvent(QDate(2027, 1, 12), QStringLiteral("Mum's birthday"), 14));
    EXPECT_TRUE(SaveEventFile(*events, file));
    EXPECT_TRUE(QFile::exists(file));
    auto reopened = OpenEventFile(file);
    ASSERT_EQ(reopened->Count(), 1);
    EXPECT_EQ(reopened->Items(0)->Description, QStringLiteral("Mum's birthday"));
    EXPECT_EQ(reopened->Items(0)->Date(), QDate(2027, 1, 12));
    EXPECT_EQ(reopened->Items(0)->WarningDays, 14);
    EXPECT_FALSE(reopened->Modified());
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());
}

TEST_F(EventTest, AnUnreadableEventFileIsKeptAsideAndTheCalendarStartsEmpty) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Event.dat"));
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("LCP\x02\x00truncated", 14);
    damaged.close();
    auto events = OpenEventFile(file);
    EXPECT_EQ(events->Count(), 0);
    EXPECT_EQ(Test.Messages.Errors, QStringList{QStringLiteral("Error reading event file.")});
    EXPECT_FALSE(QFile::exists(file));
    const QStringList kept = QDir(dir.path()).entryList({QStringLiteral("Event (unreadable*")});
    ASSERT_EQ(kept.size(), 1);
    QFile keptFile(dir.filePath(kept[0]));
    ASSERT_TRUE(keptFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptFile.readAll(), QByteArray("LCP\x02\x00truncated", 14));
}

TEST_F(EventTest, AFailedSaveSaysSoAndKeepsTheChanges) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Events.AddEvent(new TEvent(Today, QStringLiteral("x"), 1));
    EXPECT_FALSE(SaveEventFile(Events, dir.filePath(QStringLiteral("not-a-folder/Event.dat"))));
    EXPECT_EQ(Test.Messages.Errors, QStringList{QStringLiteral("Error writing event file.")});
    EXPECT_TRUE(Events.Modified());
}

TEST_F(EventTest, MovedAndDeletedEventsAreFoundByIdentityNotByDay) {
    TEvent* first = Add(Today, QStringLiteral("First"));
    Add(Today.addDays(1), QStringLiteral("Second"));
    TEvent* sameDay = Add(Today.addDays(1), QStringLiteral("Same day"));
    Events.MoveToNextYear(first); // from the front to the end
    EXPECT_EQ(Events.Items(Events.Count() - 1), first);
    EXPECT_EQ(Events.EventsOn(Today.addYears(1)).size(), 1u);
    Events.DeleteEvent(sameDay);
    const std::vector<TEvent*> left = Events.EventsOn(Today.addDays(1));
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0]->Description, QStringLiteral("Second"));
}
