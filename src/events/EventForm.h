#pragma once

#include <QDate>
#include <QDialog>

#include <vector>

class QCalendarWidget;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class TEvent;
class TEventTable;

// "Event Database": a calendar to pick a day and, below it, one of three pages: the events of
// the day, the description and warning of an event being added or edited, or the events of a
// day being moved to the day picked next. Changes go straight into the table (marked modified).
class TEventForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10008;
    static constexpr int FirstYear = 1900;
    static constexpr int LastYear = 2100;

    TEventForm(TEventTable& events, const QDate& today, QWidget* parent = nullptr);

    QDate SelectedDate() const { return FDate; }
    void SetDate(const QDate& date); // kept within the calendar's years
    QString Status() const;

    void AddButtonClick();
    void EditButtonClick();
    void DeleteButtonClick();
    void MoveButtonClick();
    void EditOkClick();
    void MoveOkClick();
    void PageCancelClick();

    void reject() override; // while adding, editing or moving: back to the events of the day

private:
    enum TPage { pgView, pgEdit, pgMove };
    void MonthComboChange(int index);
    void DaySpinChange(int day);
    void YearSpinChange(int year);
    void ShowPage(TPage page, const QString& status);
    void FillDayList(const TEvent* selected);
    void MarkEventDays();
    void UpdateButtons();
    TEvent* SelectedEvent() const;

    TEventTable& FEvents;
    QDate FToday;
    QDate FDate;
    QDate FRemembered;        // the day shown before adding, editing or moving began
    TEvent* FEdited = nullptr; // null while adding
    std::vector<TEvent*> FDayEvents;  // the view page's list, in its order
    std::vector<TEvent*> FMoveEvents; // the move page's list, in its order

    QComboBox* FMonthCombo;
    QSpinBox* FDaySpin;
    QSpinBox* FYearSpin;
    QPushButton* FPriorButton;
    QPushButton* FNextButton;
    QPushButton* FTodayButton;
    QLabel* FHeading;
    QCalendarWidget* FCalendar;
    QLabel* FStatus;
    QStackedWidget* FPages;
    QListWidget* FEventList;
    QPushButton* FAddButton;
    QPushButton* FEditButton;
    QPushButton* FDeleteButton;
    QPushButton* FMoveButton;
    QLineEdit* FDescriptionEdit;
    QSpinBox* FWarningSpin;
    QListWidget* FMoveList;
    QPushButton* FMoveOkButton;
};
