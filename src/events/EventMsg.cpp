#include "events/EventMsg.h"

#include "document/AppContext.h"
#include "storage/DialogHelp.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

QString DeleteEventQuestion(const TEvent& event) {
    return QStringLiteral("Are you sure that you want to delete the event '%1'?")
        .arg(event.Description);
}

TEventMsgForm::TEventMsgForm(TEventTable& events, std::vector<TDueEvent> due, QWidget* parent)
    : QDialog(parent), FEvents(events), FDue(std::move(due)) {
    setObjectName(QStringLiteral("EventMsgForm"));
    setWindowTitle(QStringLiteral("Event Messages"));

    FEventList = new QListWidget(this);
    FEventList->setObjectName(QStringLiteral("MessageList"));
    for (const TDueEvent& line : FDue)
        FEventList->addItem(line.Text);
    auto* label = new QLabel(QStringLiteral("&Events:"), this);
    label->setBuddy(FEventList);

    auto button = [this](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    FDeleteButton = button(QStringLiteral("&Delete"), "DeleteButton");
    FMoveButton = button(QStringLiteral("&Move to next year"), "MoveButton");
    FMakeCardButton = button(QStringLiteral("Make a &Card..."), "MakeCardButton");
    FMakeCardButton->setToolTip(QStringLiteral("Start a new greeting card"));
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {FDeleteButton, FMoveButton, FMakeCardButton})
        side->addWidget(b);
    side->addStretch();
    auto* closeButtons = new QDialogButtonBox(QDialogButtonBox::Close | QDialogButtonBox::Help, this);
    closeButtons->setObjectName(QStringLiteral("CloseButtons"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(FEventList, 1, 0);
    layout->addLayout(side, 1, 1);
    layout->addWidget(closeButtons, 2, 0, 1, 2);

    connect(FDeleteButton, &QPushButton::clicked, this, &TEventMsgForm::DeleteButtonClick);
    connect(FMoveButton, &QPushButton::clicked, this, &TEventMsgForm::MoveButtonClick);
    connect(FMakeCardButton, &QPushButton::clicked, this, &TEventMsgForm::MakeCardButtonClick);
    connect(closeButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(closeButtons, &QDialogButtonBox::helpRequested, this,
            [] { ShowDialogHelp(HelpContext); });

    if (!FDue.empty()) FEventList->setCurrentRow(0);
    resize(520, 300);
    UpdateButtons();
}

void TEventMsgForm::DeleteButtonClick() {
    const int row = FEventList->currentRow();
    if (row < 0 || size_t(row) >= FDue.size()) return;
    TEvent* event = FDue[size_t(row)].Event;
    if (!AppContext().Messages().Confirm(DeleteEventQuestion(*event))) return;
    FEvents.DeleteEvent(event);
    RemoveLine(row);
}

void TEventMsgForm::MoveButtonClick() {
    const int row = FEventList->currentRow();
    if (row < 0 || size_t(row) >= FDue.size()) return;
    FEvents.MoveToNextYear(FDue[size_t(row)].Event);
    RemoveLine(row);
}

void TEventMsgForm::MakeCardButtonClick() {
    FMakeCard = true;
    accept();
}

void TEventMsgForm::RemoveLine(int row) {
    FDue.erase(FDue.begin() + row);
    delete FEventList->takeItem(row);
    if (!FDue.empty()) FEventList->setCurrentRow(std::min(row, int(FDue.size()) - 1));
    UpdateButtons();
}

void TEventMsgForm::UpdateButtons() {
    const bool lines = !FDue.empty();
    FEventList->setEnabled(lines);
    FDeleteButton->setEnabled(lines);
    FMoveButton->setEnabled(lines);
}
