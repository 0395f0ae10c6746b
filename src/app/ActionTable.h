#pragma once

#include "app/ActionRules.h"

#include <QKeySequence>
#include <QStyle>

#include <vector>

class TCardForm;
class TMainForm;

// The main window's menus, in menu bar order; submenus lie in the menu before them.
enum class TMenuId {
    None,
    File,
    Edit,
    View,
    GridSize,
    Page,
    Object,
    Events,
    Database,
    Tools,
    AutoSave,
    Speech,
    Window,
    Help
};
enum class TToolBarId { None, Standard, Objects, Database };
// Exclusive groups of checkable actions.
enum class TActionGroupId { None, Tools, AutoSave, GridSize };

// One action of the main window: what it shows, what runs it, where it appears and when it
// is enabled. Rows are listed in menu order; the tool bars take theirs by slot.
struct TActionRow {
    const char* Name;
    const char* Caption;
    const char* Keys = ""; // alternatives separated by '|'
    QKeySequence::StandardKey StandardKey = QKeySequence::UnknownKey; // after Keys
    const char* Hint = "";
    void (*Run)(TMainForm& main, int data) = nullptr;
    void (TCardForm::*OnEditor)() = nullptr; // run on the active editing window
    // A checkable action mirroring a setting: toggling it sets the flag, then runs Run.
    bool& (*Flag)() = nullptr;
    TMenuId Menu = TMenuId::None;
    bool MenuSeparator = false; // before the item
    TToolBarId ToolBar = TToolBarId::None;
    int ToolBarSlot = 0;
    bool ToolBarSeparator = false; // before the button
    TActionRule Rule = TActionRule::Free;
    const char* Theme = "";                                  // the desktop theme's icon,
    QStyle::StandardPixmap Fallback = QStyle::SP_CustomBase; // else the style's
    TActionGroupId Group = TActionGroupId::None;
    int Data = 0; // the tool, the minutes or the grid size of a group's action
    bool Checkable = false;
};

// Captions and hints name a "card"; the program calls it a document.
QString DocumentWord(QString text, bool lowerCase);
