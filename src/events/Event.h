#pragma once

#include "storage/Table.h"

#include <QDate>
#include <QString>

#include <memory>
#include <vector>

// A dated occasion the user makes cards for, with days of warning before it.
class TEvent : public TStored {
    QDX_STORED_CLASS("TEvent")
public:
    static constexpr int DefaultWarningDays = 14;
    static constexpr int MaxDescription = 40;

    TEvent() = default;
    TEvent(const QDate& date, const QString& description, int warningDays);

    double EventDate = 0; // days since 30 December 1899; only the calendar day counts
    QString Description;
    quint8 WarningDays = DefaultWarningDays;

    QDate Date() const;
    void SetDate(const QDate& date);

    void Load(TStorage& storage) override;
    void Store(TStorage& storage) const override;

    static double DateToDays(const QDate& date);
    static QDate DaysToDate(double days);
    // The calendar day of a stored date: the whole days, whatever the time.
    static qint64 DayNumber(double days);
};

// A line of the due list: "August 12, 2027 / Mum's birthday".
struct TDueEvent {
    QString Text;
    TEvent* Event;
};

// The event calendar, kept sorted by calendar day (events of one day in no particular order).
class TEventTable : public TObjectTable {
    QDX_STORED_CLASS("TEventTable")
public:
    TEventTable();

    TEvent* Items(int index) const { return static_cast<TEvent*>(TObjectTable::Items(index)); }
    int AddEvent(TEvent* event);
    std::vector<TEvent*> EventsOn(const QDate& day) const;
    // Every event due within its warning, or already past, as of today.
    std::vector<TDueEvent> DueList(const QDate& today) const;
    void DeleteEvent(TEvent* event);
    void MoveToNextYear(TEvent* event);
    void MoveEvents(const std::vector<TEvent*>& events, const QDate& date);
    // After an event's date changed, put it back in order.
    void Resort(TEvent* event);

    void Load(TStorage& storage) override;

protected:
    int IndexOfEvent(const TEvent* event) const;
    int CompareObjects(const TStored* a, const TStored* b) const override;
    bool AcceptsItem(const TStored* object) const override;
};

QString DueText(const TEvent& event);

// The event file of the user folder. A file that cannot be read is kept under another name
// (reported with "Error reading event file.") and the program starts with an empty calendar.
std::unique_ptr<TEventTable> OpenEventFile(const QString& fileName);
// Saves the calendar when it changed; false (after "Error writing event file.") on failure.
bool SaveEventFile(TEventTable& events, const QString& fileName);

// Registers TEvent and TEventTable for reading the event file.
void RegisterEventClasses();
