#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class TEventTable;

// Birthdays and anniversaries of the address book as events of the calendar: each becomes an
// event on its next day from today on ("Ann Lee's birthday"), with the default warning.
struct TOccasion {
    QString Description;
    int Month;
    int Day;
};

// The occasions of address table rows (VCardReader's fields; dates with or without a year).
// Groups and dates that are no dates are left out.
QList<TOccasion> OccasionsOf(const QList<QStringList>& contacts);

// The day of the occasion in that year: 29 February is kept on 28 February in other years.
QDate OccasionIn(int year, int month, int day);
// The first day of the occasion on or after today.
QDate NextOccasion(int month, int day, const QDate& today);

// Adds every occasion the calendar does not hold yet (an event of the same description on the
// occasion's day of its own year, so one moved to next year still counts); the number added.
int ImportOccasions(TEventTable& events, const QList<QStringList>& contacts, const QDate& today);
