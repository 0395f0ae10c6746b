// The Events menu: the event database, the messages about due events, birthdays from the
// address book and the calendar file for other calendar programs.

#include "app/MainForm.h"

#include "app/FileCommands.h"
#include "document/MainDialogs.h"

#include "document/Messages.h"
#include "events/Event.h"
#include "events/EventCalendar.h"
#include "events/EventForm.h"
#include "events/EventImport.h"
#include "events/EventMsg.h"
#include "merge/AddressBook.h"
#include "merge/VCardReader.h"
#include "storage/Exception.h"
#include "types/CardType.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>

void TMainForm::AEventDatabaseExecute() {
    if (!FEvents) return;
    {
        TEventForm dialog(*FEvents, QDate::currentDate(), this);
        dialog.exec();
    }
    ShowDueEvents();
}

void TMainForm::AMessagesExecute() {
    if (FEvents) ShowEventMessages();
}

void TMainForm::ShowDueEvents() {
    if (FEvents && !FEvents->DueList(QDate::currentDate()).empty()) ShowEventMessages();
}

void TMainForm::ShowEventMessages() {
    bool makeCard = false;
    {
        TEventMsgForm dialog(*FEvents, FEvents->DueList(QDate::currentDate()), this);
        dialog.exec();
        makeCard = dialog.MakeCardChosen();
    }
    // The reminder leads straight to the card.
    if (makeCard) FFiles->New(dtGreetingCard);
}

void TMainForm::AImportBirthdaysExecute() {
    if (!FEvents) return;
    const QString file = TAddressBook::ConfiguredFileName();
    if (file.isEmpty() || !QFile::exists(file)) {
        FSink->Information(QStringLiteral("There is no address book at %1.")
                               .arg(QDir::toNativeSeparators(file)));
        return;
    }
    const int added =
        ImportOccasions(*FEvents, VCardReader::ReadContactsFromFile(file), QDate::currentDate());
    if (added == 0)
        FSink->Information(QStringLiteral("The address book holds no birthdays or anniversaries "
                                          "that are not in the event database already."));
    else if (added == 1)
        FSink->Information(QStringLiteral("1 event was added from the address book."));
    else
        FSink->Information(QStringLiteral("%1 events were added from the address book.").arg(added));
}

void TMainForm::AExportCalendarExecute() {
    if (!FEvents) return;
    const QString name = Dialogs().CalendarFileName();
    if (name.isEmpty()) return;
    try {
        ExportEventCalendar(*FEvents, name);
    } catch (const std::exception&) {
        FSink->Error(QStringLiteral("Error writing calendar file %1.").arg(name));
        return;
    }
    FSink->Information(QStringLiteral("%1 events were saved to %2.")
                           .arg(FEvents->Count())
                           .arg(QDir::toNativeSeparators(name)));
}
