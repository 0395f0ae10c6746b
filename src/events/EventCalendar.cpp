#include "events/EventCalendar.h"

#include "events/Event.h"
#include "storage/AtomicFile.h"

#include <QCryptographicHash>

#include <libical/ical.h>

#include <cstdlib>
#include <memory>

namespace {

struct TComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};

icaltimetype DayOf(const QDate& date) {
    icaltimetype day = icaltime_null_date();
    day.year = date.year();
    day.month = date.month();
    day.day = date.day();
    return day;
}

// The same event exported again keeps its identity, so calendars update it instead of
// adding a copy.
QByteArray UidOf(const TEvent& event) {
    const QByteArray key = event.Date().toString(Qt::ISODate).toUtf8() + '\n' +
                           event.Description.toUtf8();
    return QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex() + "@qdx";
}

icalcomponent* EventComponent(const TEvent& event, const icaltimetype& stamp) {
    const QDate date = event.Date();
    const QByteArray summary = event.Description.toUtf8();
    icalcomponent* component = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(component, icalproperty_new_uid(UidOf(event).constData()));
    icalcomponent_add_property(component, icalproperty_new_dtstamp(stamp));
    icalcomponent_add_property(component, icalproperty_new_dtstart(DayOf(date)));
    icalcomponent_add_property(component, icalproperty_new_dtend(DayOf(date.addDays(1))));
    icalcomponent_add_property(component, icalproperty_new_summary(summary.constData()));
    icalcomponent_add_property(component, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));

    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    rule.freq = ICAL_YEARLY_RECURRENCE;
    if (date.month() == 2 && date.day() == 29) {
        // A yearly 29 February happens only in leap years.
        rule.by_month[0] = 2;
        rule.by_month_day[0] = -1;
    }
    icalcomponent_add_property(component, icalproperty_new_rrule(rule));

    icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_description(summary.constData()));
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_from_int(-int(event.WarningDays) * 24 * 60 * 60);
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    icalcomponent_add_component(component, alarm);
    return component;
}

} // namespace

QByteArray EventsToICalendar(const TEventTable& events, const QDateTime& stamp) {
    std::unique_ptr<icalcomponent, TComponentFree> calendar(
        icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//QDX//Events//EN"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    const icaltimetype now =
        icaltime_from_timet_with_zone(stamp.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
    for (int i = 0; i < events.Count(); ++i)
        if (const TEvent* event = events.Items(i))
            icalcomponent_add_component(calendar.get(), EventComponent(*event, now));
    char* text = icalcomponent_as_ical_string_r(calendar.get());
    const QByteArray bytes(text ? text : "");
    std::free(text);
    return bytes;
}

void ExportEventCalendar(const TEventTable& events, const QString& fileName) {
    WriteFileAtomically(fileName, EventsToICalendar(events, QDateTime::currentDateTimeUtc()));
}
