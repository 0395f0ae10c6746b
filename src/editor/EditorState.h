#pragma once

#include "document/CardObject.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TCardForm;
class TRichTextObject;

// Tool codes of the editing windows.
enum TTool : int {
    ToolEdit = 0,
    ToolHeadline = 1,
    ToolText = 2,
    ToolPicture = 3,
    ToolLine = 4,
    ToolRectangle = 5,
    ToolRoundedRectangle = 6,
    ToolEllipse = 7,
    ToolBarCode = 8,
    ToolComb = 9,
    ToolGrid = 10,
    ToolField = 11,
    ToolLinkFrom = 13,
    ToolLinkTo = 14
};

// A new object of the kind a creating tool makes, in its default form; null for other tools.
TCardObject* CreateObjectForTool(int tool);

// Answers of the close query.
enum class TSaveAnswer { Yes, No, Cancel };

// What all editing windows share and the main window owns: the current tool, the object
// clipboard, the object being created, the open windows, and the main window's commands that
// an editing window calls. A window reads these at the moment of use.
class TEditorState {
public:
    TEditorState();
    ~TEditorState();

    int Tool = ToolEdit;
    bool KeepAdding = false;
    bool ShowRulers = true;
    int GridSizeIndex = 3; // 1/32 in .. 1 in, or 2 .. 25 mm
    // The card format last chosen for a new publication (-1 before any), for the first zoom.
    int LastChosenFormat = -1;
    bool Opening = false; // New or Open is in progress
    bool CreatingPublication = false;

    TCardObjectTable Clipboard;              // owns its objects
    TCardObject* ObjectInProgress = nullptr; // owned by the window creating it until placed
    TRichTextObject* LinkSource = nullptr;
    std::vector<TCardForm*> Windows; // open editing windows, in order

    // The main window's commands; each has a working default for a window without one.
    std::function<void()> ClickEditTool;           // tool 0, keep-adding off
    std::function<void(TCardForm&)> RunProperties; // EditProperties of the selection
    std::function<void(TCardForm&, QPoint globalPos)> ShowObjectMenu;
    std::function<bool(TCardForm&)> Save; // true when saved
    std::function<TSaveAnswer(const QString&)> AskSave;
    std::function<void(const QString&)> AddRecentFile;
    std::function<void(const QString&)> ShowHint;
    std::function<void(int helpContext)> ShowHelp;
    std::function<void(const QString&)> ShowError;

    // Grid spacing in logical pixels for the grid size index and measuring system.
    static int GridSpacing(int sizeIndex, bool metric, int pixelsPerInch);
    void ApplyGridSpacing() const;
};

// The program-wide editing state.
TEditorState& EditorState();
