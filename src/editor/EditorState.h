#pragma once

#include "document/CardObject.h"
#include "editor/EditorHost.h"

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

// What all editing windows share and the main window owns: the current tool, the object
// clipboard, the object being created, the open windows, and the host whose commands an
// editing window calls. A window reads these at the moment of use.
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

    // The window the editing windows live in (null: the defaults of TEditorHost).
    void UseHost(TEditorHost* host) { FHost = host ? host : &FDefaultHost; }
    TEditorHost& Host() const { return *FHost; }
    // The host's commands, as the editing windows call them.
    void ClickEditTool() { FHost->ClickEditTool(*this); }
    void RunProperties(TCardForm& form) { FHost->RunProperties(form); }
    void ShowObjectMenu(TCardForm& form, QPoint globalPos) {
        FHost->ShowObjectMenu(form, globalPos);
    }
    bool Save(TCardForm& form) { return FHost->Save(form); }
    TSaveAnswer AskSave(const QString& question) { return FHost->AskSave(question); }
    void AddRecentFile(const QString& fileName) { FHost->AddRecentFile(fileName); }
    void ShowHint(const QString& hint) { FHost->ShowHint(hint); }
    void ShowHelp(int helpContext) { FHost->ShowHelp(helpContext); }
    void ShowError(const QString& text) { FHost->ShowError(text); }

    // Grid spacing in logical pixels for the grid size index and measuring system.
    static int GridSpacing(int sizeIndex, bool metric, int pixelsPerInch);
    void ApplyGridSpacing() const;

private:
    TEditorHost FDefaultHost;
    TEditorHost* FHost = &FDefaultHost;
};

// The program-wide editing state.
TEditorState& EditorState();
