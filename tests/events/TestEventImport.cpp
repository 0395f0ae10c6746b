#include "events/Event.h"
#include "events/EventCalendar.h"
#include "events/EventImport.h"
#include "merge/VCardReader.h"
#include "support/DocumentFixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <libical/ical.h>

#include <gtest/gtest.h>

#include <map>

namespace {

const QDate Today(2026, 12, 8);

const QByteArray AddressBook = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nN:Lee;Ann;;;\r\n"
                               "BDAY:1961-08-12\r\nX-ANNIVERSARY:1990-06-02\r\nEND:VCARD\r\n"
                               "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Bob Stone\r\nBDAY:--02-29\r\n"
                               "ANNIVERSARY:20001208\r\nEND:VCARD\r\n"
                               "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:No Dates\r\nBDAY:sometime\r\n"
                               "END:VCARD\r\n";

std::map<QString, QDate> EventDays(const TEventTable& events) {
    std::map<QString, QDate> days;
    for (int i = 0; i < events.Count(); ++i)
        days[events.Items(i)->Description] = events.Items(i)->Date();
    return days;
}

} // namespace

TEST(EventImport, BirthdaysAndAnniversariesBecomeEventsOnTheirNextDay) {
    TTestContext test;
    TEventTable events;
    EXPECT_EQ(ImportOccasions(events, VCardReader::ReadContacts(AddressBook), Today), 4);
    const std::map<QString, QDate> expected{
        {"Ann Lee's birthday", QDate(2027, 8, 12)},
        {"Ann Lee's anniversary", QDate(2027, 6, 2)},
        {"Bob Stone's birthday", QDate(2027, 2, 28)}, // 2027 has no 29 February
        {"Bob Stone's anniversary", Today},           // today is still to come
    };
    EXPECT_EQ(EventDays(events), expected);
    for (int i = 0; i < events.Count(); ++i)
        EXPECT_EQ(events.Items(i)->WarningDays, TEvent::DefaultWarningDays);
    EXPECT_TRUE(events.Modified());
}

TEST(EventImport, ImportingAgainAddsNoneTwiceEvenAfterMovingToNextYear) {
    TTestContext test;
    TEventTable events;
    const QList<QStringList> contacts = VCardReader::ReadContacts(AddressBook);
    ASSERT_EQ(ImportOccasions(events, contacts, Today), 4);
    EXPECT_EQ(ImportOccasions(events, contacts, Today), 0);
    // Kept for next time from the messages, 29 February included (moved to 28 February).
    std::vector<TEvent*> all;
    for (int i = 0; i < events.Count(); ++i) all.push_back(events.Items(i));
    for (int year = 0; year < 2; ++year)
        for (TEvent* event : all) events.MoveToNextYear(event);
    EXPECT_EQ(ImportOccasions(events, contacts, Today.addYears(2)), 0);
    EXPECT_EQ(events.Count(), 4);
    // A deleted event comes back; an edited description is another event.
    events.DeleteEvent(events.Items(0));
    EXPECT_EQ(ImportOccasions(events, contacts, Today), 1);
}

TEST(EventImport, LongNamesAreCutToTheDescriptionLimitAndGroupsLeftOut) {
    QStringList person(VCardReader::AddressFieldCount), group(VCardReader::AddressFieldCount);
    person[VCardReader::afObjectType] = QStringLiteral("contact");
    person[VCardReader::afDisplay] = QStringLiteral("Maximiliane Alexandra von Hohenberg-Sternfeld");
    person[VCardReader::afBirthday] = QStringLiteral("--07-04");
    group[VCardReader::afObjectType] = QStringLiteral("group");
    group[VCardReader::afDisplay] = QStringLiteral("Choir");
    group[VCardReader::afBirthday] = QStringLiteral("2001-01-01");
    const QList<TOccasion> occasions = OccasionsOf({person, group});
    ASSERT_EQ(occasions.size(), 1);
    EXPECT_EQ(occasions[0].Description.size(), TEvent::MaxDescription);
    EXPECT_EQ(occasions[0].Month, 7);
    EXPECT_EQ(occasions[0].Day, 4);
}

TEST(EventCalendar, TheExportedFileReadsBackWithEveryEventItsRecurrenceAndAlarm) {
    TTestContext test;
    TEventTable events;
    events.AddEvent(new TEvent(QDate(2027, 1, 12), QStringLiteral("Mum's birthday"), 14));
    events.AddEvent(new TEvent(QDate(2028, 2, 29), QStringLiteral("Leap day"), 0));
    events.AddEvent(new TEvent(QDate(2027, 5, 3), QStringLiteral("Ünïcode, comma; semi"), 180));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("events.ics"));
    ExportEventCalendar(events, file);
    QFile read(file);
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    const QByteArray text = read.readAll();

    icalcomponent* calendar = icalparser_parse_string(text.constData());
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(icalcomponent_isa(calendar), ICAL_VCALENDAR_COMPONENT);
    EXPECT_EQ(icalcomponent_count_errors(calendar), 0);
    struct TRead {
        QDate Start;
        icalrecurrencetype Rule;
        int Trigger;
    };
    std::map<QString, TRead> found;
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         event; event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        const icaltimetype start = icalcomponent_get_dtstart(event);
        EXPECT_TRUE(start.is_date);
        icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
        ASSERT_NE(rule, nullptr);
        icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
        ASSERT_NE(alarm, nullptr);
        icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        ASSERT_NE(trigger, nullptr);
        EXPECT_NE(icalcomponent_get_first_property(event, ICAL_UID_PROPERTY), nullptr);
        EXPECT_NE(icalcomponent_get_first_property(event, ICAL_DTSTAMP_PROPERTY), nullptr);
        found[QString::fromUtf8(icalcomponent_get_summary(event))] = {
            QDate(start.year, start.month, start.day), icalproperty_get_rrule(rule),
            icaldurationtype_as_int(icalproperty_get_trigger(trigger).duration)};
    }
    icalcomponent_free(calendar);

    ASSERT_EQ(found.size(), 3u);
    const TRead& mum = found.at(QStringLiteral("Mum's birthday"));
    EXPECT_EQ(mum.Start, QDate(2027, 1, 12));
    EXPECT_EQ(mum.Rule.freq, ICAL_YEARLY_RECURRENCE);
    EXPECT_EQ(mum.Rule.by_month[0], ICAL_RECURRENCE_ARRAY_MAX);
    EXPECT_EQ(mum.Trigger, -14 * 86400);
    const TRead& leap = found.at(QStringLiteral("Leap day"));
    EXPECT_EQ(leap.Start, QDate(2028, 2, 29));
    EXPECT_EQ(leap.Rule.freq, ICAL_YEARLY_RECURRENCE);
    EXPECT_EQ(leap.Rule.by_month[0], 2); // the last day of February every year
    EXPECT_EQ(leap.Rule.by_month_day[0], -1);
    EXPECT_EQ(leap.Trigger, 0);
    const TRead& odd = found.at(QStringLiteral("Ünïcode, comma; semi"));
    EXPECT_EQ(odd.Trigger, -180 * 86400);
}
