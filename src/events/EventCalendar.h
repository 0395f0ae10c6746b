#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class TEventTable;

// The calendar as an iCalendar file that calendar programs import: one all-day event a year
// per event, from its date on, with a reminder its warning days before. Events on 29 February
// fall on the last day of February in other years, as moving them to the next year does here.
QByteArray EventsToICalendar(const TEventTable& events, const QDateTime& stamp);
// Writes the file atomically; raises the storage write errors.
void ExportEventCalendar(const TEventTable& events, const QString& fileName);
