#include "events/EventForm.h"

#include "document/AppContext.h"
#include "events/Event.h"
#include "events/EventMsg.h"
#include "storage/DialogHelp.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTextCharFormat>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TEventForm::TEventForm(TEventTable& events, const QDate& today, QWidget* parent)
    : QDialog(parent), FEvents(events), FToday(today) {
    setObjectName(QStringLiteral("EventForm"));
    setWindowTitle(QStringLiteral("Event Database"));
    const QLocale english(QLocale::English);

    FMonthCombo = new QComboBox(this);
    FMonthCombo->setObjectName(QStringLiteral("MonthCombo"));
    for (int month = 1; month <= 12; ++month)
        FMonthCombo->addItem(english.monthName(month));
    FDaySpin = new QSpinBox(this);
    FDaySpin->setObjectName(QStringLiteral("DaySpin"));
    FDaySpin->setRange(1, 31);
    FYearSpin = new QSpinBox(this);
    FYearSpin->setObjectName(QStringLiteral("YearSpin"));
    FYearSpin->setRange(FirstYear, LastYear);
    FPriorButton = Button(QStringLiteral("<"), "PriorButton", this);
    FPriorButton->setToolTip(QStringLiteral("Move backward by month"));
    FNextButton = Button(QStringLiteral(">"), "NextButton", this);
    FNextButton->setToolTip(QStringLiteral("Move forward by month"));
    FTodayButton = Button(QStringLiteral("&Today"), "TodayButton", this);
    FTodayButton->setToolTip(QStringLiteral("Go to today's date"));
    FHeading = new QLabel(this);
    FHeading->setObjectName(QStringLiteral("Heading"));
    QFont headingFont = FHeading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    FHeading->setFont(headingFont);
    FHeading->setAlignment(Qt::AlignCenter);
    FCalendar = new QCalendarWidget(this);
    FCalendar->setObjectName(QStringLiteral("Calendar"));
    FCalendar->setNavigationBarVisible(false);
    FCalendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    FCalendar->setLocale(english);
    FCalendar->setDateRange(QDate(FirstYear, 1, 1), QDate(LastYear, 12, 31));

    FStatus = new QLabel(this);
    FStatus->setObjectName(QStringLiteral("Status"));
    FStatus->setFrameShape(QFrame::StyledPanel);
    FStatus->setFrameShadow(QFrame::Sunken);
    FPages = new QStackedWidget(this);
    FPages->setObjectName(QStringLiteral("Pages"));

    // The events of the day.
    auto* view = new QWidget(FPages);
    FEventList = new QListWidget(view);
    FEventList->setObjectName(QStringLiteral("EventList"));
    FAddButton = Button(QStringLiteral("&Add Event..."), "AddButton", view);
    FEditButton = Button(QStringLiteral("&Edit Event..."), "EditButton", view);
    FDeleteButton = Button(QStringLiteral("&Delete Event..."), "DeleteButton", view);
    FMoveButton = Button(QStringLiteral("&Move Events..."), "MoveButton", view);
    auto* viewButtons = new QVBoxLayout;
    for (QPushButton* button : {FAddButton, FEditButton, FDeleteButton, FMoveButton})
        viewButtons->addWidget(button);
    viewButtons->addStretch();
    auto* viewLayout = new QGridLayout(view);
    viewLayout->setContentsMargins(0, 0, 0, 0);
    viewLayout->addWidget(Label(QStringLiteral("E&vents:"), FEventList, view), 0, 0);
    viewLayout->addWidget(FEventList, 1, 0);
    viewLayout->addLayout(viewButtons, 1, 1);
    FPages->addWidget(view);

    // The event being added or edited.
    auto* edit = new QWidget(FPages);
    FDescriptionEdit = new QLineEdit(edit);
    FDescriptionEdit->setObjectName(QStringLiteral("DescriptionEdit"));
    FDescriptionEdit->setMaxLength(TEvent::MaxDescription);
    FWarningSpin = new QSpinBox(edit);
    FWarningSpin->setObjectName(QStringLiteral("WarningSpin"));
    FWarningSpin->setRange(0, 180);
    auto* editButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, edit);
    editButtons->setObjectName(QStringLiteral("EditButtons"));
    auto* editLayout = new QGridLayout(edit);
    editLayout->setContentsMargins(0, 0, 0, 0);
    editLayout->addWidget(Label(QStringLiteral("&Description:"), FDescriptionEdit, edit), 0, 0);
    editLayout->addWidget(FDescriptionEdit, 0, 1);
    editLayout->addWidget(
        Label(QStringLiteral("Da&ys before event to send message:"), FWarningSpin, edit), 1, 0);
    editLayout->addWidget(FWarningSpin, 1, 1, Qt::AlignLeft);
    editLayout->setRowStretch(2, 1);
    editLayout->addWidget(editButtons, 3, 0, 1, 2);
    FPages->addWidget(edit);

    // The events of a day being moved.
    auto* move = new QWidget(FPages);
    FMoveList = new QListWidget(move);
    FMoveList->setObjectName(QStringLiteral("MoveList"));
    FMoveList->setSelectionMode(QAbstractItemView::MultiSelection);
    auto* moveButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, move);
    moveButtons->setObjectName(QStringLiteral("MoveButtons"));
    FMoveOkButton = moveButtons->button(QDialogButtonBox::Ok);
    auto* moveLayout = new QVBoxLayout(move);
    moveLayout->setContentsMargins(0, 0, 0, 0);
    moveLayout->addWidget(new QLabel(
        QStringLiteral("Pick the events to move, then the new date in the calendar:"), move));
    moveLayout->addWidget(FMoveList);
    moveLayout->addWidget(moveButtons);
    FPages->addWidget(move);

    auto* closeButtons = new QDialogButtonBox(QDialogButtonBox::Close | QDialogButtonBox::Help, this);
    closeButtons->setObjectName(QStringLiteral("CloseButtons"));

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(Label(QStringLiteral("Month:"), FMonthCombo, this));
    dateRow->addWidget(FMonthCombo);
    dateRow->addWidget(Label(QStringLiteral("Day:"), FDaySpin, this));
    dateRow->addWidget(FDaySpin);
    dateRow->addWidget(Label(QStringLiteral("Year:"), FYearSpin, this));
    dateRow->addWidget(FYearSpin);
    dateRow->addStretch();
    dateRow->addWidget(FPriorButton);
    dateRow->addWidget(FNextButton);
    dateRow->addWidget(FTodayButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dateRow);
    layout->addWidget(FHeading);
    layout->addWidget(FCalendar, 1);
    layout->addWidget(FStatus);
    layout->addWidget(FPages);
    layout->addWidget(closeButtons);

    connect(FMonthCombo, &QComboBox::currentIndexChanged, this, &TEventForm::MonthComboChange);
    connect(FDaySpin, &QSpinBox::valueChanged, this, &TEventForm::DaySpinChange);
    connect(FYearSpin, &QSpinBox::valueChanged, this, &TEventForm::YearSpinChange);
    connect(FPriorButton, &QPushButton::clicked, this, [this] { SetDate(FDate.addMonths(-1)); });
    connect(FNextButton, &QPushButton::clicked, this, [this] { SetDate(FDate.addMonths(1)); });
    connect(FTodayButton, &QPushButton::clicked, this, [this] { SetDate(FToday); });
    connect(FCalendar, &QCalendarWidget::selectionChanged, this,
            [this] { SetDate(FCalendar->selectedDate()); });
    connect(FCalendar, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
        // Scrolling the calendar keeps the day where it can.
        if (year != FDate.year() || month != FDate.month())
            SetDate(QDate(year, month, std::min(FDate.day(), QDate(year, month, 1).daysInMonth())));
    });
    connect(FEventList, &QListWidget::itemDoubleClicked, this, &TEventForm::EditButtonClick);
    connect(FAddButton, &QPushButton::clicked, this, &TEventForm::AddButtonClick);
    connect(FEditButton, &QPushButton::clicked, this, &TEventForm::EditButtonClick);
    connect(FDeleteButton, &QPushButton::clicked, this, &TEventForm::DeleteButtonClick);
    connect(FMoveButton, &QPushButton::clicked, this, &TEventForm::MoveButtonClick);
    connect(editButtons, &QDialogButtonBox::accepted, this, &TEventForm::EditOkClick);
    connect(editButtons, &QDialogButtonBox::rejected, this, &TEventForm::PageCancelClick);
    connect(moveButtons, &QDialogButtonBox::accepted, this, &TEventForm::MoveOkClick);
    connect(moveButtons, &QDialogButtonBox::rejected, this, &TEventForm::PageCancelClick);
    connect(FMoveList, &QListWidget::itemSelectionChanged, this, &TEventForm::UpdateButtons);
    connect(closeButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(closeButtons, &QDialogButtonBox::helpRequested, this,
            [] { ShowDialogHelp(HelpContext); });

    resize(560, 620);
    ShowPage(pgView, QStringLiteral("Viewing events"));
    SetDate(today.isValid() ? today : QDate(FirstYear, 1, 1));
    MarkEventDays();
}

QString TEventForm::Status() const { return FStatus->text(); }

void TEventForm::SetDate(const QDate& date) {
    const QDate first(FirstYear, 1, 1), last(LastYear, 12, 31);
    const QDate day = !date.isValid() ? FDate : std::clamp(date, first, last);
    const bool changed = day != FDate;
    FDate = day;
    {
        const QSignalBlocker blockMonth(FMonthCombo), blockDay(FDaySpin), blockYear(FYearSpin),
            blockCalendar(FCalendar);
        FMonthCombo->setCurrentIndex(day.month() - 1);
        FDaySpin->setValue(day.day());
        FYearSpin->setValue(day.year());
        FCalendar->setSelectedDate(day);
    }
    FHeading->setText(QLocale(QLocale::English).toString(day, QStringLiteral("MMMM d, yyyy")));
    FPriorButton->setEnabled(day >= QDate(FirstYear, 2, 1));
    FNextButton->setEnabled(day < QDate(LastYear, 12, 1));
    if (changed && FPages->currentIndex() == pgView) FillDayList(nullptr);
    UpdateButtons();
}

// A month shorter than the day takes its last day.
void TEventForm::MonthComboChange(int index) {
    if (index < 0) return;
    const QDate first(FDate.year(), index + 1, 1);
    SetDate(QDate(first.year(), first.month(), std::min(FDate.day(), first.daysInMonth())));
}

void TEventForm::DaySpinChange(int day) {
    SetDate(QDate(FDate.year(), FDate.month(), std::min(day, FDate.daysInMonth())));
}

void TEventForm::YearSpinChange(int year) {
    const QDate first(year, FDate.month(), 1);
    SetDate(QDate(year, FDate.month(), std::min(FDate.day(), first.daysInMonth())));
}

void TEventForm::ShowPage(TPage page, const QString& status) {
    FPages->setCurrentIndex(page);
    FStatus->setText(status);
    UpdateButtons();
}

void TEventForm::FillDayList(const TEvent* selected) {
    FDayEvents = FEvents.EventsOn(FDate);
    const QSignalBlocker blocker(FEventList);
    FEventList->clear();
    int row = 0;
    for (size_t i = 0; i < FDayEvents.size(); ++i) {
        FEventList->addItem(FDayEvents[i]->Description);
        if (FDayEvents[i] == selected) row = int(i);
    }
    if (!FDayEvents.empty()) FEventList->setCurrentRow(row);
    UpdateButtons();
}

// Days with events are bold, wherever the user scrolls.
void TEventForm::MarkEventDays() {
    FCalendar->setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int i = 0; i < FEvents.Count(); ++i)
        if (const TEvent* event = FEvents.Items(i)) FCalendar->setDateTextFormat(event->Date(), bold);
}

void TEventForm::UpdateButtons() {
    const bool viewing = FPages->currentIndex() == pgView;
    const bool hasEvents = !FDayEvents.empty();
    FEventList->setEnabled(hasEvents);
    FEditButton->setEnabled(viewing && hasEvents);
    FDeleteButton->setEnabled(viewing && hasEvents);
    FMoveButton->setEnabled(viewing && hasEvents);
    FAddButton->setEnabled(viewing);
    FMoveOkButton->setEnabled(!FMoveList->selectedItems().isEmpty());
}

TEvent* TEventForm::SelectedEvent() const {
    const int row = FEventList->currentRow();
    return row >= 0 && size_t(row) < FDayEvents.size() ? FDayEvents[size_t(row)] : nullptr;
}

void TEventForm::AddButtonClick() {
    FRemembered = FDate;
    FEdited = nullptr;
    FDescriptionEdit->clear();
    FWarningSpin->setValue(TEvent::DefaultWarningDays);
    ShowPage(pgEdit, QStringLiteral("Adding a new event"));
    FDescriptionEdit->setFocus();
}

void TEventForm::EditButtonClick() {
    TEvent* event = SelectedEvent();
    if (!event || FPages->currentIndex() != pgView) return;
    FRemembered = FDate;
    FEdited = event;
    FDescriptionEdit->setText(event->Description);
    FWarningSpin->setValue(event->WarningDays);
    ShowPage(pgEdit, QStringLiteral("Editing an existing event"));
    FDescriptionEdit->setFocus();
}

void TEventForm::DeleteButtonClick() {
    TEvent* event = SelectedEvent();
    if (!event || !AppContext().Messages().Confirm(DeleteEventQuestion(*event))) return;
    FEvents.DeleteEvent(event);
    FillDayList(nullptr);
    MarkEventDays();
}

void TEventForm::MoveButtonClick() {
    if (FDayEvents.empty()) return;
    FRemembered = FDate;
    FMoveEvents = FDayEvents;
    FMoveList->clear();
    for (const TEvent* event : FMoveEvents)
        FMoveList->addItem(event->Description);
    ShowPage(pgMove, QStringLiteral("Moving a group of events to a new date"));
}

void TEventForm::EditOkClick() {
    const QString description = FDescriptionEdit->text().trimmed();
    if (description.isEmpty()) {
        AppContext().Messages().Error(QStringLiteral("You must enter a description."));
        FDescriptionEdit->setFocus();
        return;
    }
    TEvent* event = FEdited;
    if (event) {
        // The day picked in the calendar meanwhile is the event's new day.
        event->Description = description;
        event->WarningDays = quint8(FWarningSpin->value());
        event->SetDate(FDate);
        FEvents.Resort(event);
    } else {
        event = new TEvent(FDate, description, FWarningSpin->value());
        FEvents.AddEvent(event);
    }
    FEdited = nullptr;
    ShowPage(pgView, QStringLiteral("Viewing events"));
    FillDayList(event);
    MarkEventDays();
}

void TEventForm::MoveOkClick() {
    std::vector<TEvent*> moving;
    for (int row = 0; row < FMoveList->count(); ++row)
        if (FMoveList->item(row)->isSelected()) moving.push_back(FMoveEvents[size_t(row)]);
    if (moving.empty()) return;
    FEvents.MoveEvents(moving, FDate);
    FMoveEvents.clear();
    FMoveList->clear();
    ShowPage(pgView, QStringLiteral("Viewing events"));
    FillDayList(moving.front());
    MarkEventDays();
}

void TEventForm::PageCancelClick() {
    FEdited = nullptr;
    FMoveEvents.clear();
    FMoveList->clear();
    ShowPage(pgView, QStringLiteral("Viewing events"));
    SetDate(FRemembered);
    FillDayList(nullptr);
}

void TEventForm::reject() {
    if (FPages->currentIndex() != pgView) {
        PageCancelClick();
        return;
    }
    QDialog::reject();
}
