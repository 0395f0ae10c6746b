#include "events/Event.h"

#include "document/AppContext.h"
#include "document/Units.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

TEventTable::TEventTable() : TObjectTable(&StoredClassOf<TEvent>()) { SetSorted(true); }

int TEventTable::CompareObjects(const TStored* a, const TStored* b) const {
    const qint64 x = TEvent::DayNumber(static_cast<const TEvent*>(a)->EventDate);
    const qint64 y = TEvent::DayNumber(static_cast<const TEvent*>(b)->EventDate);
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool TEventTable::AcceptsItem(const TStored* object) const {
    return dynamic_cast<const TEvent*>(object) != nullptr;
}

int TEventTable::AddEvent(TEvent* event) {
    const int index = Add(event);
    SetModified(true);
    return index;
}

std::vector<TEvent*> TEventTable::EventsOn(const QDate& day) const {
    TEvent key(day, QString(), 0);
    const TStored* probe = &key;
    int index = -1;
    std::vector<TEvent*> events;
    if (!Search(&probe, index)) return events;
    for (; index < Count() && CompareObjects(&key, Items(index)) == 0; ++index)
        events.push_back(Items(index));
    return events;
}

std::vector<TDueEvent> TEventTable::DueList(const QDate& today) const {
    std::vector<TDueEvent> due;
    const double now = TEvent::DateToDays(today);
    for (int i = 0; i < Count(); ++i) {
        TEvent* event = Items(i);
        if (!event) continue;
        const int days = RoundHalfAway(event->EventDate - now);
        if (days <= event->WarningDays) due.push_back({DueText(*event), event});
    }
    return due;
}

QString DueText(const TEvent& event) {
    const QString date = QLocale(QLocale::English).toString(event.Date(), QStringLiteral("MMMM d, yyyy"));
    return QStringLiteral("%1 / %2").arg(date, event.Description);
}

// By identity: the sorted search finds an event by its day, so it would miss an event whose
// date just changed and may pick another event of the same day.
int TEventTable::IndexOfEvent(const TEvent* event) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i) == event) return i;
    return -1;
}

void TEventTable::DeleteEvent(TEvent* event) {
    const int index = IndexOfEvent(event);
    if (index < 0) return;
    Delete(index);
    SetModified(true);
}

void TEventTable::Resort(TEvent* event) {
    const int index = IndexOfEvent(event);
    if (index >= 0) Reposition(index);
    SetModified(true);
}

void TEventTable::MoveToNextYear(TEvent* event) {
    const double time = event->EventDate - double(TEvent::DayNumber(event->EventDate));
    event->EventDate = TEvent::DateToDays(event->Date().addYears(1)) + time; // 29 Feb -> 28 Feb
    Resort(event);
}

void TEventTable::MoveEvents(const std::vector<TEvent*>& events, const QDate& date) {
    for (TEvent* event : events) {
        event->SetDate(date);
        Resort(event);
    }
}

void TEventTable::Load(TStorage& storage) {
    TObjectTable::Load(storage);
    RemoveEmptySlots();
    SetItemClass(&StoredClassOf<TEvent>());
    SetSorted(false);
    SetSorted(true); // the stored order is not trusted
    SetModified(false);
}

// The event file.

std::unique_ptr<TEventTable> OpenEventFile(const QString& fileName) {
    if (QFile::exists(fileName)) {
        try {
            std::unique_ptr<TStored> root(LoadStoredFromFile(fileName));
            if (auto* table = dynamic_cast<TEventTable*>(root.get())) {
                root.release();
                return std::unique_ptr<TEventTable>(table);
            }
        } catch (const std::exception&) {
        }
        // Keep the damaged file for the user; never delete their events.
        AppContext().Messages().Error(QStringLiteral("Error reading event file."));
        const QFileInfo info(fileName);
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        QString kept = info.dir().filePath(
            QStringLiteral("%1 (unreadable %2).%3").arg(info.completeBaseName(), stamp, info.suffix()));
        for (int n = 2; QFile::exists(kept); ++n)
            kept = info.dir().filePath(QStringLiteral("%1 (unreadable %2-%3).%4")
                                           .arg(info.completeBaseName(), stamp)
                                           .arg(n)
                                           .arg(info.suffix()));
        QFile::rename(fileName, kept);
    }
    auto table = std::make_unique<TEventTable>();
    table->SetModified(false);
    return table;
}

bool SaveEventFile(TEventTable& events, const QString& fileName) {
    if (!events.Modified()) return true;
    try {
        SaveStoredToFile(fileName, events);
    } catch (const std::exception&) {
        AppContext().Messages().Error(QStringLiteral("Error writing event file."));
        return false;
    }
    events.SetModified(false);
    return true;
}

void RegisterEventClasses() {
    RegisterStorageClasses();
    TClassRegistry::Instance().Register<TEvent>();
    TClassRegistry::Instance().Register<TEventTable>();
}
