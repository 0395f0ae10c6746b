#pragma once

#include <QString>

#include <optional>

// What the enabling of the main window's actions depends on: the active editing window, its
// document and selection, and the program around them. Plain values, so that the rules can
// be tried without any window.
struct TActionSnapshot {
    bool RoomForWindow = true; // fewer editing windows than the frame allows
    bool HasWindow = false;    // an editing window with a document is active
    bool WindowShown = false;  // ... and it is not minimized
    int PageCount = 0;
    int CurrentPage = -1;
    int CardFormat = -1;
    int DocumentType = -1;
    int SelectedCount = 0;
    bool SoleSelectedLocked = false;    // the one selected object is locked
    bool SoleSelectedTextFrame = false; // the one selected object is a text frame
    bool EditingText = false;           // a text frame's editor is open
    bool PageHasFields = false;         // the current page has field objects to fill in
    bool CanZoomIn = false;
    bool CanZoomOut = false;
    bool HasPreviousObject = false;
    bool HasNextObject = false;
    bool CanBringForward = false;
    bool CanSendBackward = false;
    bool Connected = false; // the document names a data source, open or not
    bool TableOpen = false;
    bool AtFirstRecord = false;
    bool AtLastRecord = false;
    bool Printing = false;
    bool ClipboardFilled = false;
    bool CanUndo = false;
    bool CanRedo = false;
    bool ScannerAvailable = false; // the system lists a scanner or camera
    bool SpeechAvailable = false;  // a recogniser and its model are installed
    bool Listening = false;        // dictation is on
    QString UndoText; // what the next undo or redo step does
    QString RedoText;
};

// The rule an action follows. Free actions keep whatever state they have.
enum class TActionRule {
    Free,
    RoomForWindow, // another window may open
    Window,        // an editing window is active
    ShownWindow,   // ... and shown
    NotPrinting,
    WindowNotPrinting,
    Selection, // some objects selected in a shown window
    Clipboard, // the object clipboard holds something
    OneSelected,
    AnySelected,
    Locked,        // one selected; checked while that one is locked
    SoleTextFrame, // one text frame selected
    PageFields,
    ZoomIn,
    ZoomOut,
    PreviousObject,
    NextObject,
    PreviousPage,
    NextPage,
    SeveralPages,
    Forward, // the selection can move up in the stacking order
    Backward,
    Disconnected, // a window whose document has no data source
    Connected,
    NotFirstRecord, // an open table not on its first record
    NotLastRecord,
    LabelDocument, // shown for label documents only
    BannerDocument,
    BusinessCardDocument,
    AnyDocument,
    Undo, // an edit to undo and no frame editor open; captioned with it
    Redo,
    ScanSource, // a scanner is listed
    Acquire,    // ... and an editing window is shown
    Dictation,  // one text frame selected, or listening; checked while listening
    SpeechEngine, // shown only with a recogniser
    Never
};

// The state an action is given; what is unset is left as it is, and a non-empty caption
// replaces the action's text.
struct TActionState {
    std::optional<bool> Enabled;
    std::optional<bool> Visible;
    std::optional<bool> Checked;
    QString Caption;
    QString Hint; // replaces the status line text when not empty
};

// The state an action following `rule` takes in the situation `snapshot`.
TActionState ActionState(TActionRule rule, const TActionSnapshot& snapshot);
