#include "events/Event.h"

#include "storage/Stored.h"

#include <cmath>

namespace {

const QDate DayZero(1899, 12, 30);

} // namespace

TEvent::TEvent(const QDate& date, const QString& description, int warningDays)
    : EventDate(DateToDays(date)), Description(description),
      WarningDays(static_cast<quint8>(warningDays)) {}

qint64 TEvent::DayNumber(double days) {
    return std::isfinite(days) ? static_cast<qint64>(std::trunc(days)) : 0;
}

double TEvent::DateToDays(const QDate& date) { return double(DayZero.daysTo(date)); }

QDate TEvent::DaysToDate(double days) { return DayZero.addDays(DayNumber(days)); }

QDate TEvent::Date() const { return DaysToDate(EventDate); }

void TEvent::SetDate(const QDate& date) { EventDate = DateToDays(date); }

void TEvent::Load(TStorage& storage) {
    EventDate = storage.ReadDouble();
    Description = storage.ReadString();
    WarningDays = storage.ReadByte();
}

void TEvent::Store(TStorage& storage) const {
    storage.WriteDouble(EventDate);
    storage.WriteString(Description);
    storage.WriteByte(WarningDays);
}

