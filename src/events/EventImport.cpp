#include "events/EventImport.h"

#include "events/Event.h"
#include "merge/VCardReader.h"

#include <QRegularExpression>

namespace {

// "yyyy-MM-dd" or "--MM-dd", as the vCard reader writes them.
bool ParseOccasionDate(const QString& text, int& month, int& day) {
    static const QRegularExpression form(QStringLiteral("^(?:\\d{4}|--)-?(\\d{2})-(\\d{2})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) return false;
    month = match.captured(1).toInt();
    day = match.captured(2).toInt();
    return QDate(2000, month, day).isValid(); // a leap year, so 29 February is a date
}

QString Described(const QString& name, const QString& occasion) {
    return (name + QStringLiteral("'s ") + occasion).left(TEvent::MaxDescription);
}

} // namespace

QList<TOccasion> OccasionsOf(const QList<QStringList>& contacts) {
    using namespace VCardReader;
    QList<TOccasion> occasions;
    for (const QStringList& row : contacts) {
        if (row.size() < AddressFieldCount) continue;
        if (row[afObjectType] == QLatin1String("group")) continue;
        const QString name = row[afDisplay].simplified();
        if (name.isEmpty()) continue;
        const std::pair<int, QString> kinds[] = {{afBirthday, QStringLiteral("birthday")},
                                                 {afAnniversary, QStringLiteral("anniversary")}};
        for (const auto& [field, occasion] : kinds) {
            int month = 0, day = 0;
            if (ParseOccasionDate(row[field].trimmed(), month, day))
                occasions.append({Described(name, occasion), month, day});
        }
    }
    return occasions;
}

QDate OccasionIn(int year, int month, int day) {
    const QDate date(year, month, day);
    if (date.isValid() || !(month == 2 && day == 29)) return date;
    return QDate(year, 2, 28);
}

QDate NextOccasion(int month, int day, const QDate& today) {
    const QDate thisYear = OccasionIn(today.year(), month, day);
    return thisYear >= today ? thisYear : OccasionIn(today.year() + 1, month, day);
}

int ImportOccasions(TEventTable& events, const QList<QStringList>& contacts, const QDate& today) {
    int added = 0;
    for (const TOccasion& occasion : OccasionsOf(contacts)) {
        bool held = false;
        for (int i = 0; i < events.Count() && !held; ++i) {
            const TEvent* event = events.Items(i);
            if (!event || event->Description != occasion.Description) continue;
            const QDate date = event->Date();
            // 29 February moved on to a leap year from the messages sits on the 28th.
            held = date == OccasionIn(date.year(), occasion.Month, occasion.Day) ||
                   (occasion.Month == 2 && occasion.Day == 29 && date.month() == 2 &&
                    date.day() == 28);
        }
        if (held) continue;
        events.AddEvent(new TEvent(NextOccasion(occasion.Month, occasion.Day, today),
                                   occasion.Description, TEvent::DefaultWarningDays));
        ++added;
    }
    return added;
}
