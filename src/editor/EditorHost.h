#pragma once

#include "document/MainDialogs.h"

#include <QPoint>
#include <QString>

class TCardForm;
class TEditorState;

// What an editing window asks of the window around it. Without a main window the defaults
// apply: the edit tool is chosen in place, Save writes the file, the close query is a
// message box, errors go to the messages, and hints, help and the object menu go nowhere.
class TEditorHost {
public:
    virtual ~TEditorHost() = default;

    // The edit tool was chosen: keep-adding ends.
    virtual void ClickEditTool(TEditorState& state);
    // The properties dialog of the selection.
    virtual void RunProperties(TCardForm& form);
    virtual void ShowObjectMenu(TCardForm& /*form*/, QPoint /*globalPos*/) {}
    // true when saved.
    virtual bool Save(TCardForm& form);
    // Whether to save the changes before the window closes.
    virtual TSaveAnswer AskSave(const QString& question);
    virtual void AddRecentFile(const QString& /*fileName*/) {}
    virtual void ShowHint(const QString& /*hint*/) {}
    virtual void ShowHelp(int /*helpContext*/) {}
    virtual void ShowError(const QString& text);
};
