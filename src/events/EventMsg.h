#pragma once

#include "events/Event.h"

#include <QDialog>

#include <vector>

class QListWidget;
class QPushButton;

// "Event Messages": the events that are due, to delete or to keep for next year. Both change
// the table at once and take the line off the list. "Make a Card..." closes the dialog so that
// the caller can start a greeting card.
class TEventMsgForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10010;

    TEventMsgForm(TEventTable& events, std::vector<TDueEvent> due, QWidget* parent = nullptr);

    bool MakeCardChosen() const { return FMakeCard; }
    int LineCount() const { return int(FDue.size()); }

    void DeleteButtonClick();
    void MoveButtonClick();
    void MakeCardButtonClick();

private:
    void RemoveLine(int row);
    void UpdateButtons();

    TEventTable& FEvents;
    std::vector<TDueEvent> FDue; // in the list's order
    bool FMakeCard = false;

    QListWidget* FEventList;
    QPushButton* FDeleteButton;
    QPushButton* FMoveButton;
    QPushButton* FMakeCardButton;
};

// "Are you sure that you want to delete the event '%s'?"
QString DeleteEventQuestion(const TEvent& event);
