#include "app/AppPaths.h"
#include "app/MainForm.h"
#include "editor/EditorState.h"
#include "events/Event.h"
#include "events/EventForm.h"
#include "events/EventMsg.h"
#include "support/DocumentFixtures.h"
#include "support/ModalAnswer.h"
#include "types/CardType.h"
#include "types/CardTypeForm.h"
#include "MainWindowFixture.h"
#include "ProgramFolders.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A main window over fresh folders whose event file holds the events the test gives.
class EventCommandsTest : public TMainWindowFixture {
protected:
    void SetUp() override {
        RegisterEventClasses();
        TMainWindowFixture::SetUp();
    }
    void WriteEvents(const std::vector<TEvent*>& events) {
        TEventTable table;
        for (TEvent* event : events) table.AddEvent(event);
        ASSERT_TRUE(SaveEventFile(table, User.filePath(QStringLiteral("Event.dat"))));
    }
    void StartMain() {
        MakeMain();
        Dialogs.AnswerNewCard = nullptr; // the Card Type dialog itself
        ASSERT_TRUE(Main->Start());
        Main->show();
    }
    void AnswerNextDialog(const std::function<void(QDialog&)>& answer) {
        AnswerNextModalDialog(Main.get(), answer);
    }
    static QStringList Lines(const QDialog& dialog) {
        QStringList lines;
        if (auto* list = dialog.findChild<QListWidget*>(QStringLiteral("MessageList")))
            for (int row = 0; row < list->count(); ++row) lines << list->item(row)->text();
        return lines;
    }
    static void Press(QDialog& dialog, const char* button) {
        auto* b = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        b->click();
    }

    const QDate Today = QDate::currentDate();
};

} // namespace

TEST_F(EventCommandsTest, AtStartTheDueEventsAreListedAndCanBeKeptForNextYear) {
    auto* halfDay = new TEvent(Today.addDays(14), QStringLiteral("Fourteen and a half"), 14);
    halfDay->EventDate += 0.5;
    WriteEvents({new TEvent(Today.addDays(3), QStringLiteral("Soon"), 14),
                 new TEvent(Today, QStringLiteral("Today"), 0), halfDay,
                 new TEvent(Today.addDays(1), QStringLiteral("Tomorrow, no warning"), 0)});
    StartMain();
    QStringList lines;
    AnswerNextDialog([&](QDialog& dialog) {
        ASSERT_NE(qobject_cast<TEventMsgForm*>(&dialog), nullptr);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Event Messages"));
        lines = Lines(dialog);
        Press(dialog, "MoveButton"); // the first line: today's
    });
    Main->OpenArguments({});
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" / Today")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" / Soon")));
    const std::vector<TEvent*> moved = Main->Events()->EventsOn(Today.addYears(1));
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0]->Description, QStringLiteral("Today"));

    // Kept at exit.
    Main->close();
    Main.reset();
    EXPECT_TRUE(Test.Messages.Errors.isEmpty()) << Test.Messages.Errors.join(";").toStdString();
    auto reread = OpenEventFile(User.filePath(QStringLiteral("Event.dat")));
    EXPECT_EQ(reread->Count(), 4);
    EXPECT_EQ(reread->EventsOn(Today.addYears(1)).size(), 1u);
    EXPECT_TRUE(reread->EventsOn(Today).empty());
}

TEST_F(EventCommandsTest, NothingDueShowsNoDialogAtStart) {
    WriteEvents({new TEvent(Today.addDays(20), QStringLiteral("Later"), 14)});
    StartMain();
    bool shown = false;
    AnswerNextDialog([&](QDialog&) { shown = true; });
    Main->OpenArguments({});
    QTest::qWait(50);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());
}

TEST_F(EventCommandsTest, AnEventAddedInTheDatabaseIsListedWhenItClosesAndLeadsToACard) {
    StartMain();
    QStringList lines;
    int typeSelected = -2;
    AnswerNextDialog([&](QDialog& dialog) {
        auto* form = qobject_cast<TEventForm*>(&dialog);
        ASSERT_NE(form, nullptr);
        form->SetDate(Today.addDays(2));
        form->AddButtonClick();
        form->findChild<QLineEdit*>(QStringLiteral("DescriptionEdit"))
            ->setText(QStringLiteral("Mum's birthday"));
        form->EditOkClick();
        AnswerNextDialog([&](QDialog& messages) {
            lines = Lines(messages);
            AnswerNextDialog([&](QDialog& types) {
                if (auto* typeForm = qobject_cast<TCardTypeForm*>(&types))
                    typeSelected = typeForm->ChosenType();
            });
            Press(messages, "MakeCardButton");
        });
    });
    Main->Action(QStringLiteral("AEventDatabase"))->trigger();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(" / Mum's birthday")));
    EXPECT_EQ(typeSelected, dtGreetingCard);
    EXPECT_TRUE(Main->Events()->Modified());
}

TEST_F(EventCommandsTest, TheEventsMenuOffersEveryCommand) {
    StartMain();
    QMenu* events = nullptr;
    for (QAction* top : Main->menuBar()->actions())
        if (top->text() == QStringLiteral("Eve&nts")) events = top->menu();
    ASSERT_NE(events, nullptr);
    QStringList items;
    for (QAction* action : events->actions())
        if (!action->isSeparator()) items << action->text();
    EXPECT_EQ(items, (QStringList{"Event &Database...", "&Messages...",
                                  "Import &Birthdays from Address Book", "E&xport to Calendar..."}));
    Main->UpdateActions();
    for (QAction* action : events->actions()) EXPECT_TRUE(action->isEnabled());

    // Messages opens even with nothing due.
    bool shown = false;
    AnswerNextDialog([&](QDialog& dialog) { shown = Lines(dialog).isEmpty(); });
    Main->Action(QStringLiteral("AMessages"))->trigger();
    EXPECT_TRUE(shown);
}

TEST_F(EventCommandsTest, ImportingTheAddressBookTwiceAddsItsBirthdaysOnce) {
    StartMain();
    Main->Action(QStringLiteral("AImportBirthdays"))->trigger();
    ASSERT_EQ(Test.Messages.Informations.size(), 1);
    EXPECT_TRUE(Test.Messages.Informations[0].startsWith(QStringLiteral("There is no address book")));

    QFile book(User.filePath(QStringLiteral("contacts.vcf")));
    ASSERT_TRUE(book.open(QIODevice::WriteOnly));
    book.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nBDAY:1961-08-12\r\n"
               "X-ANNIVERSARY:--06-02\r\nEND:VCARD\r\n");
    book.close();
    Test.Messages.Informations.clear();
    Main->Action(QStringLiteral("AImportBirthdays"))->trigger();
    Main->Action(QStringLiteral("AImportBirthdays"))->trigger();
    EXPECT_EQ(Test.Messages.Informations,
              (QStringList{"2 events were added from the address book.",
                           "The address book holds no birthdays or anniversaries that are not in "
                           "the event database already."}));
    ASSERT_EQ(Main->Events()->Count(), 2);
}

TEST_F(EventCommandsTest, ExportToCalendarWritesTheFileChosenAndCancelWritesNothing) {
    WriteEvents({new TEvent(Today.addDays(40), QStringLiteral("Later"), 0),
                 new TEvent(Today.addDays(50), QStringLiteral("Much later"), 0)});
    StartMain();
    const QString path = User.filePath(QStringLiteral("events.ics"));
    Dialogs.AnswerCalendarFileName = [] { return QString(); };
    Main->Action(QStringLiteral("AExportCalendar"))->trigger();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(Test.Messages.Informations.isEmpty());
    Dialogs.AnswerCalendarFileName = [path] { return path; };
    Main->Action(QStringLiteral("AExportCalendar"))->trigger();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray calendar = file.readAll();
    EXPECT_TRUE(calendar.contains("Much later"));
    EXPECT_EQ(Test.Messages.Informations,
              QStringList{QStringLiteral("2 events were saved to %1.")
                              .arg(QDir::toNativeSeparators(path))});
    EXPECT_EQ(Dialogs.Asked.count(QStringLiteral("CalendarFileName")), 2);
}
