#include "app/ActionTable.h"

#include "app/WebCommands.h"

#include "app/DatabaseCommands.h"
#include "app/DictationCommands.h"
#include "app/FileCommands.h"
#include "app/MailCommands.h"
#include "app/MainForm.h"
#include "app/PrintCommands.h"
#include "app/ScanCommands.h"
#include "app/SpellingCommands.h"
#include "document/AppContext.h"
#include "editor/CardWin.h"
#include "editor/EditorState.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <vector>

namespace {

using M = TMenuId;
using B = TToolBarId;
using R = TActionRule;
using G = TActionGroupId;
using S = QStyle;
using F = TCardForm;

} // namespace

// The rows by menu, each in menu order. Members of a friend, so that the handlers reach the
// main window's own helpers.
struct TMainActionRows {
    static std::vector<TActionRow> FileRows();
    static std::vector<TActionRow> EditRows();
    static std::vector<TActionRow> ViewRows();
    static std::vector<TActionRow> PageRows();
    static std::vector<TActionRow> ToolRows();
    static std::vector<TActionRow> ObjectRows();
    static std::vector<TActionRow> EventRows();
    static std::vector<TActionRow> DatabaseRows();
    static std::vector<TActionRow> ToolsMenuRows();
    static std::vector<TActionRow> WindowRows();
    static std::vector<TActionRow> HelpRows();
    static void ChooseTool(TMainForm& main, int tool) { main.ChooseTool(tool); }
};

std::vector<TActionRow> TMainActionRows::FileRows() {
    return {
        {.Name = "ANew", .Caption = "&New...", .Keys = "Ctrl+N", .Hint = "Create a new card",
         .Run = [](TMainForm& m, int) { m.Files().New(); }, .Menu = M::File,
         .ToolBar = B::Standard, .ToolBarSlot = 10, .Rule = R::RoomForWindow,
         .Theme = "document-new", .Fallback = S::SP_FileIcon},
        {.Name = "AOpen", .Caption = "&Open...", .Keys = "Ctrl+O", .Hint = "Open an existing card",
         .Run = [](TMainForm& m, int) { m.Files().Open(); }, .Menu = M::File,
         .ToolBar = B::Standard, .ToolBarSlot = 20, .Rule = R::RoomForWindow,
         .Theme = "document-open", .Fallback = S::SP_DialogOpenButton},
        {.Name = "AClose", .Caption = "&Close", .Hint = "Close the current card",
         .Run = [](TMainForm& m, int) { m.Files().Close(); }, .Menu = M::File, .Rule = R::Window},
        {.Name = "ASave", .Caption = "&Save", .Keys = "Ctrl+S", .Hint = "Save the current card",
         .Run = [](TMainForm& m, int) { m.Files().Save(); }, .Menu = M::File,
         .MenuSeparator = true, .ToolBar = B::Standard, .ToolBarSlot = 30, .Rule = R::Window,
         .Theme = "document-save", .Fallback = S::SP_DialogSaveButton},
        {.Name = "ASaveAs", .Caption = "Save &As...",
         .Hint = "Save the current card under another name",
         .Run = [](TMainForm& m, int) { m.Files().SaveAs(); }, .Menu = M::File, .Rule = R::Window},
        {.Name = "ASaveAsTemplate", .Caption = "Save As &Template...",
         .Hint = "Save the current card as a template",
         .Run = [](TMainForm& m, int) { m.Files().SaveAsTemplate(); }, .Menu = M::File,
         .Rule = R::Window},
        {.Name = "AChangeLabelType", .Caption = "Change &Label Type...",
         .Hint = "Change the label type of the current document",
         .Run = [](TMainForm& m, int) { m.AChangeLabelTypeExecute(); }, .Menu = M::File,
         .MenuSeparator = true, .Rule = R::LabelDocument},
        {.Name = "AChangeBannerWidth", .Caption = "Change &Banner Width...",
         .Hint = "Change the width of the current banner",
         .Run = [](TMainForm& m, int) { m.AChangeBannerWidthExecute(); }, .Menu = M::File,
         .Rule = R::BannerDocument},
        {.Name = "AChangeBusinessCardType", .Caption = "Change &Business Card Type...",
         .Hint = "Change the type of the current business card",
         .Run = [](TMainForm& m, int) { m.AChangeBusinessCardTypeExecute(); }, .Menu = M::File,
         .Rule = R::BusinessCardDocument},
        {.Name = "AChangeCardType", .Caption = "Change Card T&ype/Description...",
         .Hint = "Change the type and/or description of the current card",
         .Run = [](TMainForm& m, int) { m.AChangeCardTypeExecute(); }, .Menu = M::File,
         .Rule = R::AnyDocument},
        {.Name = "APrintPreview", .Caption = "Print Pre&view...",
         .Hint = "Show a preview of what the printed card will look like",
         .Run = [](TMainForm& m, int) { m.Printing().Preview(); }, .Menu = M::File,
         .MenuSeparator = true, .Rule = R::Window},
        {.Name = "APrint", .Caption = "&Print...", .Keys = "Ctrl+P",
         .Hint = "Print the current card",
         .Run = [](TMainForm& m, int) { m.Printing().Print(); }, .Menu = M::File,
         .ToolBar = B::Standard, .ToolBarSlot = 40, .Rule = R::WindowNotPrinting,
         .Theme = "document-print", .Fallback = S::SP_ComputerIcon},
        {.Name = "APrintSetup", .Caption = "Print Set&up...", .Hint = "Set up the printer",
         .Run = [](TMainForm& m, int) { m.Printing().PrintSetup(); }, .Menu = M::File,
         .Rule = R::NotPrinting},
        {.Name = "ASend", .Caption = "S&end E-mail...", .Hint = "Send the current card as mail",
         .Run = [](TMainForm& m, int) { m.Mail().Send(); },
         .Menu = M::File, .MenuSeparator = true, .Rule = R::Window},
        {.Name = "AExit", .Caption = "E&xit", .Hint = "Exit the program",
         .Run = [](TMainForm& m, int) { m.close(); }, .Menu = M::File, .MenuSeparator = true},
    };
}

std::vector<TActionRow> TMainActionRows::EditRows() {
    return {
        {.Name = "AUndo", .Caption = "&Undo", .Keys = "Ctrl+Z", .Hint = "Undo the last change",
         .OnEditor = &F::Undo, .Menu = M::Edit, .ToolBar = B::Standard, .ToolBarSlot = 95,
         .ToolBarSeparator = true, .Rule = R::Undo, .Theme = "edit-undo",
         .Fallback = S::SP_ArrowBack},
        {.Name = "ARedo", .Caption = "&Redo", .Keys = "Ctrl+Y|Ctrl+Shift+Z",
         .Hint = "Redo the change last undone", .OnEditor = &F::Redo, .Menu = M::Edit,
         .ToolBar = B::Standard, .ToolBarSlot = 96, .Rule = R::Redo, .Theme = "edit-redo",
         .Fallback = S::SP_ArrowForward},
        {.Name = "ACut", .Caption = "Cu&t", .Keys = "Ctrl+X",
         .Hint = "Cut the selected object(s) to the clipboard", .OnEditor = &F::Cut,
         .Menu = M::Edit, .MenuSeparator = true, .ToolBar = B::Standard, .ToolBarSlot = 60, .ToolBarSeparator = true,
         .Rule = R::Selection, .Theme = "edit-cut", .Fallback = S::SP_DialogResetButton},
        {.Name = "ACopy", .Caption = "&Copy", .Keys = "Ctrl+C",
         .Hint = "Copy the selected object(s) to the clipboard", .OnEditor = &F::Copy,
         .Menu = M::Edit, .ToolBar = B::Standard, .ToolBarSlot = 70, .Rule = R::Selection,
         .Theme = "edit-copy", .Fallback = S::SP_FileDialogContentsView},
        {.Name = "APaste", .Caption = "&Paste", .Keys = "Ctrl+V",
         .Hint = "Paste the clipboard object(s)", .OnEditor = &F::Paste, .Menu = M::Edit,
         .ToolBar = B::Standard, .ToolBarSlot = 80, .Rule = R::Clipboard, .Theme = "edit-paste",
         .Fallback = S::SP_FileDialogNewFolder},
        {.Name = "ADelete", .Caption = "De&lete", .Keys = "Ctrl+Del",
         .Hint = "Delete the selected object(s)", .OnEditor = &F::DeleteSelection,
         .Menu = M::Edit, .ToolBar = B::Standard, .ToolBarSlot = 90, .Rule = R::Selection,
         .Theme = "edit-delete", .Fallback = S::SP_TrashIcon},
        {.Name = "ASelectAll", .Caption = "Select &All", .Keys = "Ctrl+A",
         .Hint = "Select all of the objects on the screen", .OnEditor = &F::SelectAll,
         .Menu = M::Edit, .MenuSeparator = true, .Rule = R::Window},
        {.Name = "AFillInForm", .Caption = "&Fill In Form...", .Keys = "F9",
         .Hint = "Fill in the fields of the current form",
         .Run = [](TMainForm& m, int) { m.AFillInFormExecute(); }, .Menu = M::Edit,
         .MenuSeparator = true, .Rule = R::PageFields},
        {.Name = "AClearForm", .Caption = "Cl&ear Form", .Keys = "F2",
         .Hint = "Clear the fields of the current form",
         .Run = [](TMainForm& m, int) { m.AClearFormExecute(); }, .Menu = M::Edit,
         .Rule = R::PageFields},
        {.Name = "AGetPhotoService", .Caption = "&Get from Online Photo Service...",
         .Hint = "Download photos from your online photo service account to current document",
         .Menu = M::Edit, .MenuSeparator = true},
        {.Name = "ASendPhotoService", .Caption = "Sen&d to Online Photo Service...",
         .Hint = "Upload photos in current document to your online photo service account",
         .Menu = M::Edit},
        {.Name = "APrintPhotoService", .Caption = "Print to Online Photo Service...",
         .Hint = "Print selected picture in current document to the online photo service",
         .Menu = M::Edit, .Rule = R::OneSelected},
    };
}

std::vector<TActionRow> TMainActionRows::ViewRows() {
    return {
        {.Name = "AZoomIn", .Caption = "Zoom &In", .Keys = "+",
         .StandardKey = QKeySequence::ZoomIn, .Hint = "Zooms in to the current card",
         .OnEditor = &F::ZoomIn, .Menu = M::View, .ToolBar = B::Standard, .ToolBarSlot = 120,
         .Rule = R::ZoomIn, .Theme = "zoom-in", .Fallback = S::SP_ArrowUp},
        {.Name = "AZoomOut", .Caption = "Zoom &Out", .Keys = "-",
         .StandardKey = QKeySequence::ZoomOut, .Hint = "Zooms out from the current card",
         .OnEditor = &F::ZoomOut, .Menu = M::View, .ToolBar = B::Standard, .ToolBarSlot = 110,
         .ToolBarSeparator = true, .Rule = R::ZoomOut, .Theme = "zoom-out",
         .Fallback = S::SP_ArrowDown},
        {.Name = "APreviousObject", .Caption = "&Previous Object",
         .Hint = "Selects the previous object in the object list",
         .OnEditor = &F::SelectPreviousObject, .Menu = M::View, .MenuSeparator = true,
         .Rule = R::PreviousObject},
        {.Name = "ANextObject", .Caption = "&Next Object",
         .Hint = "Selects the next object in the object list", .OnEditor = &F::SelectNextObject,
         .Menu = M::View, .Rule = R::NextObject},
        {.Name = "AShowGrid", .Caption = "Show &Grid",
         .Hint = "If checked, shows a grid to aid object placement",
         .Run = [](TMainForm& m, int) { m.RepaintAllEditors(); },
         .Flag = []() -> bool& { return AppContext().ShowGrid; }, .Menu = M::View,
         .MenuSeparator = true},
        {.Name = "ASnapToGrid", .Caption = "Snap &To Grid",
         .Hint = "If checked, will position objects to the nearest grid intersection",
         .Run = [](TMainForm& m, int) { m.RepaintAllEditors(); },
         .Flag = []() -> bool& { return AppContext().SnapToGrid; }, .Menu = M::View},
        {.Name = "AGrid32", .Caption = "1/&32\"", .Hint = "Sets the grid to 1/32\"",
         .Run = [](TMainForm& m, int size) { m.SetGridSize(size); }, .Menu = M::GridSize,
         .Group = G::GridSize, .Data = 0},
        {.Name = "AGrid16", .Caption = "1/1&6\"", .Hint = "Sets the grid to 1/16\"",
         .Run = [](TMainForm& m, int size) { m.SetGridSize(size); }, .Menu = M::GridSize,
         .Group = G::GridSize, .Data = 1},
        {.Name = "AGrid8", .Caption = "1/&8\"", .Hint = "Sets the grid to 1/8\"",
         .Run = [](TMainForm& m, int size) { m.SetGridSize(size); }, .Menu = M::GridSize,
         .Group = G::GridSize, .Data = 2},
        {.Name = "AGrid4", .Caption = "1/&4\"", .Hint = "Sets the grid to 1/4\"",
         .Run = [](TMainForm& m, int size) { m.SetGridSize(size); }, .Menu = M::GridSize,
         .Group = G::GridSize, .Data = 3},
        {.Name = "AGrid2", .Caption = "1/&2\"", .Hint = "Sets the grid to 1/2\"",
         .Run = [](TMainForm& m, int size) { m.SetGridSize(size); }, .Menu = M::GridSize,
         .Group = G::GridSize, .Data = 4},
        {.Name = "AGrid1", .Caption = "&1\"", .Hint = "Sets the grid to 1\"",
         .Run = [](TMainForm& m, int size) { m.SetGridSize(size); }, .Menu = M::GridSize,
         .Group = G::GridSize, .Data = 5},
        {.Name = "AShowRulers", .Caption = "Show &Rulers",
         .Hint = "If checked, shows rulers to aid object placement",
         .Run = [](TMainForm& m, int) { m.ShowRulers(); },
         .Flag = []() -> bool& { return EditorState().ShowRulers; }, .Menu = M::View},
        {.Name = "AShowFieldObjectAreas", .Caption = "Show &Field Object Areas",
         .Hint = "Show a dotted-line border around field objects which have no border",
         .Run = [](TMainForm& m, int) { m.RepaintAllEditors(); },
         .Flag = []() -> bool& { return AppContext().ShowFieldAreas; }, .Menu = M::View},
    };
}

std::vector<TActionRow> TMainActionRows::PageRows() {
    return {
        {.Name = "AInsertNewPage", .Caption = "&Insert New Page",
         .Hint = "Inserts a new page before the current page",
         .Run = [](TMainForm& m, int) { m.AInsertNewPageExecute(); }, .Menu = M::Page,
         .Rule = R::ShownWindow},
        {.Name = "AAppendNewPage", .Caption = "&Append New Page",
         .Hint = "Inserts a new page after the current page",
         .Run = [](TMainForm& m, int) { m.AAppendNewPageExecute(); }, .Menu = M::Page,
         .Rule = R::ShownWindow},
        {.Name = "ADeleteCurrentPage", .Caption = "&Delete Current Page...",
         .Hint = "Deletes the current page",
         .Run = [](TMainForm& m, int) { m.ADeleteCurrentPageExecute(); }, .Menu = M::Page,
         .Rule = R::ShownWindow},
        {.Name = "APreviousPage", .Caption = "Pre&vious Page", .Hint = "Displays the previous page",
         .Run = [](TMainForm& m, int) { m.APreviousPageExecute(); }, .Menu = M::Page,
         .MenuSeparator = true, .ToolBar = B::Standard, .ToolBarSlot = 160,
         .ToolBarSeparator = true, .Rule = R::PreviousPage, .Theme = "go-previous",
         .Fallback = S::SP_ArrowLeft},
        {.Name = "ANextPage", .Caption = "Ne&xt Page", .Hint = "Displays the next page",
         .Run = [](TMainForm& m, int) { m.ANextPageExecute(); }, .Menu = M::Page,
         .ToolBar = B::Standard, .ToolBarSlot = 170, .Rule = R::NextPage, .Theme = "go-next",
         .Fallback = S::SP_ArrowRight},
        {.Name = "AGoToPage", .Caption = "&Go To Page...", .Keys = "Ctrl+G",
         .Hint = "Go to a particular page", .Run = [](TMainForm& m, int) { m.AGoToPageExecute(); },
         .Menu = M::Page, .ToolBar = B::Standard, .ToolBarSlot = 180, .Rule = R::SeveralPages,
         .Theme = "go-jump", .Fallback = S::SP_FileDialogListView},
    };
}

std::vector<TActionRow> TMainActionRows::ToolRows() {
    return {
        {.Name = "AEditObjects", .Caption = "Edit Objects", .Hint = "Stop adding objects",
         .Run = ChooseTool, .Menu = M::Object,
         .ToolBar = B::Objects, .ToolBarSlot = 10, .Rule = R::ShownWindow, .Group = G::Tools,
         .Data = ToolEdit},
        {.Name = "AAddHeadlineObjects", .Caption = "Add Headline Objects",
         .Hint = "Add headlines to the card", .Run = ChooseTool,
         .Menu = M::Object, .ToolBar = B::Objects, .ToolBarSlot = 30, .Rule = R::ShownWindow,
         .Group = G::Tools, .Data = ToolHeadline},
        {.Name = "AAddTextObjects", .Caption = "Add Text Objects", .Hint = "Add text to the card",
         .Run = ChooseTool, .Menu = M::Object,
         .ToolBar = B::Objects, .ToolBarSlot = 20, .Rule = R::ShownWindow, .Group = G::Tools,
         .Data = ToolText},
        {.Name = "AAddPictureObjects", .Caption = "Add Image Objects",
         .Hint = "Add images to the card", .Run = ChooseTool,
         .Menu = M::Object, .ToolBar = B::Objects, .ToolBarSlot = 40, .Rule = R::ShownWindow,
         .Group = G::Tools, .Data = ToolPicture},
        {.Name = "AAddLineObjects", .Caption = "Add Line Objects", .Hint = "Add lines to the card",
         .Run = ChooseTool, .Menu = M::Object,
         .ToolBar = B::Objects, .ToolBarSlot = 50, .Rule = R::ShownWindow, .Group = G::Tools,
         .Data = ToolLine},
        {.Name = "AAddRectangleObjects", .Caption = "Add Rectangle Objects",
         .Hint = "Add rectangles to the card",
         .Run = ChooseTool, .Menu = M::Object,
         .ToolBar = B::Objects, .ToolBarSlot = 60, .Rule = R::ShownWindow, .Group = G::Tools,
         .Data = ToolRectangle},
        {.Name = "AAddRoundedRectangleObjects", .Caption = "Add Rounded Rectangle Objects",
         .Hint = "Add rounded rectangles to the card",
         .Run = ChooseTool, .Menu = M::Object,
         .ToolBar = B::Objects, .ToolBarSlot = 70, .Rule = R::ShownWindow, .Group = G::Tools,
         .Data = ToolRoundedRectangle},
        {.Name = "AAddEllipseObjects", .Caption = "Add Ellipse Objects",
         .Hint = "Add ellipses to the card",
         .Run = ChooseTool, .Menu = M::Object,
         .ToolBar = B::Objects, .ToolBarSlot = 80, .Rule = R::ShownWindow, .Group = G::Tools,
         .Data = ToolEllipse},
        {.Name = "AAddBarCodeObjects", .Caption = "Add Bar Code Objects",
         .Hint = "Add bar codes to the card",
         .Run = ChooseTool, .Menu = M::Object,
         .ToolBar = B::Objects, .ToolBarSlot = 90, .Rule = R::ShownWindow, .Group = G::Tools,
         .Data = ToolBarCode},
        {.Name = "AAddCombObjects", .Caption = "Add Comb Objects", .Hint = "Add combs to the card",
         .Run = ChooseTool, .Menu = M::Object,
         .ToolBar = B::Objects, .ToolBarSlot = 100, .Rule = R::ShownWindow, .Group = G::Tools,
         .Data = ToolComb},
        {.Name = "AAddGridObjects", .Caption = "Add Grid Objects", .Hint = "Add grids to the card",
         .Run = ChooseTool, .Menu = M::Object,
         .ToolBar = B::Objects, .ToolBarSlot = 110, .Rule = R::ShownWindow, .Group = G::Tools,
         .Data = ToolGrid},
        {.Name = "AAddFieldObjects", .Caption = "Add Field Objects",
         .Hint = "Add fields to the card",
         .Run = ChooseTool, .Menu = M::Object,
         .ToolBar = B::Objects, .ToolBarSlot = 120, .Rule = R::ShownWindow, .Group = G::Tools,
         .Data = ToolField},
    };
}

std::vector<TActionRow> TMainActionRows::ObjectRows() {
    return {
        {.Name = "ALinkTextObjects", .Caption = "Lin&k Text Objects",
         .Hint = "Links the text of two text objects",
         .Run = [](TMainForm& m, int) { m.SetTool(ToolLinkFrom); }, .Menu = M::Object,
         .MenuSeparator = true, .Rule = R::ShownWindow},
        {.Name = "ABringToFront", .Caption = "Bring To &Front", .Keys = "Ctrl+F",
         .Hint = "Move the selected object in front of all other objects",
         .OnEditor = &F::BringToFront, .Menu = M::Object, .MenuSeparator = true,
         .Rule = R::Forward},
        {.Name = "ASendToBack", .Caption = "Send To &Back", .Keys = "Ctrl+B",
         .Hint = "Move the selected object behind all other objects", .OnEditor = &F::SendToBack,
         .Menu = M::Object, .Rule = R::Backward},
        {.Name = "AUpOneLevel", .Caption = "&Up One Level", .Keys = "Ctrl+U",
         .Hint = "Move the selected object one level up in the list of objects",
         .OnEditor = &F::UpOneLevel, .Menu = M::Object, .Rule = R::Forward},
        {.Name = "ADownOneLevel", .Caption = "&Down One Level", .Keys = "Ctrl+D",
         .Hint = "Move the selected object one level down in the list of objects",
         .OnEditor = &F::DownOneLevel, .Menu = M::Object, .Rule = R::Backward},
        {.Name = "ACenterHorizontally", .Caption = "Center &Horizontally", .Keys = "Ctrl+H",
         .Hint = "Center the selected object horizontally",
         .Run = [](TMainForm& m, int) { m.CenterSelection(true); }, .Menu = M::Object,
         .MenuSeparator = true, .Rule = R::AnySelected},
        {.Name = "ACenterVertically", .Caption = "Center &Vertically", .Keys = "Ctrl+T",
         .Hint = "Center the selected object vertically",
         .Run = [](TMainForm& m, int) { m.CenterSelection(false); }, .Menu = M::Object,
         .Rule = R::AnySelected},
        {.Name = "ALocked", .Caption = "&Locked", .Keys = "Ctrl+L",
         .Hint = "Toggle the locked state of the selected object", .OnEditor = &F::ToggleLocked,
         .Menu = M::Object, .Rule = R::Locked, .Checkable = true},
        {.Name = "AFieldObjectInputOrder", .Caption = "Field Object &Input Order...",
         .Keys = "Ctrl+I",
         .Hint = "Change the input order of the field objects on the current page",
         .Run = [](TMainForm& m, int) { m.AFieldObjectInputOrderExecute(); }, .Menu = M::Object,
         .MenuSeparator = true, .Rule = R::PageFields},
        {.Name = "APersonalize", .Caption = "&Personalize",
         .Hint = "Prompts for names, etc. in the current card",
         .Run = [](TMainForm& m, int) { m.APersonalizeExecute(); }, .Menu = M::Object,
         .Rule = R::Window},
        {.Name = "AProperties", .Caption = "P&roperties...", .Keys = "Ctrl+R",
         .Hint = "Change the attributes of the current object", .OnEditor = &F::RunProperties,
         .Menu = M::Object, .MenuSeparator = true, .Rule = R::OneSelected},
    };
}

std::vector<TActionRow> TMainActionRows::EventRows() {
    return {
        {.Name = "AEventDatabase", .Caption = "Event &Database...",
         .Hint = "Edit the event database",
         .Run = [](TMainForm& m, int) { m.AEventDatabaseExecute(); }, .Menu = M::Events},
        {.Name = "AMessages", .Caption = "&Messages...",
         .Hint = "Access the list of event messages",
         .Run = [](TMainForm& m, int) { m.AMessagesExecute(); }, .Menu = M::Events},
        {.Name = "AImportBirthdays", .Caption = "Import &Birthdays from Address Book",
         .Hint = "Add the birthdays and anniversaries of the address book as events",
         .Run = [](TMainForm& m, int) { m.AImportBirthdaysExecute(); }, .Menu = M::Events,
         .MenuSeparator = true},
        {.Name = "AExportCalendar", .Caption = "E&xport to Calendar...",
         .Hint = "Save the events as a calendar file for other calendar programs",
         .Run = [](TMainForm& m, int) { m.AExportCalendarExecute(); }, .Menu = M::Events},
    };
}

std::vector<TActionRow> TMainActionRows::DatabaseRows() {
    return {
        {.Name = "ADatabaseCreate", .Caption = "C&reate...", .Hint = "Create a new database",
         .Run = [](TMainForm& m, int) { m.Database().Create(); }, .Menu = M::Database,
         .Rule = R::Disconnected},
        {.Name = "ADatabaseConnect", .Caption = "&Connect...", .Hint = "Connect to a database",
         .Run = [](TMainForm& m, int) { m.Database().Connect(); }, .Menu = M::Database,
         .ToolBar = B::Database, .ToolBarSlot = 10, .Rule = R::Disconnected},
        {.Name = "ADatabaseConnectAddressBook", .Caption = "Connect to &Address Book",
         .Hint = "Connect to the Windows Address Book",
         .Run = [](TMainForm& m, int) { m.Database().ConnectAddressBook(); },
         .Menu = M::Database, .Rule = R::Disconnected},
        {.Name = "ADatabaseDisconnect", .Caption = "&Disconnect",
         .Hint = "Disconnect from the current database",
         .Run = [](TMainForm& m, int) { m.Database().Disconnect(); }, .Menu = M::Database,
         .Rule = R::Connected},
        {.Name = "ADatabaseEdit", .Caption = "&Edit...", .Hint = "Edit the current database",
         .Run = [](TMainForm& m, int) { m.Database().Edit(); }, .Menu = M::Database,
         .ToolBar = B::Database, .ToolBarSlot = 20, .Rule = R::Connected},
        {.Name = "ADatabaseFirst", .Caption = "&First",
         .Hint = "Go to the first record in the current database",
         .Run = [](TMainForm& m, int) { m.Database().First(); }, .Menu = M::Database,
         .MenuSeparator = true, .Rule = R::NotFirstRecord, .Fallback = S::SP_MediaSkipBackward},
        {.Name = "ADatabasePrior", .Caption = "&Prior",
         .Hint = "Go to the prior record in the current database",
         .Run = [](TMainForm& m, int) { m.Database().Prior(); }, .Menu = M::Database,
         .Rule = R::NotFirstRecord, .Fallback = S::SP_MediaSeekBackward},
        {.Name = "ADatabaseNext", .Caption = "&Next",
         .Hint = "Go to the next record in the current database",
         .Run = [](TMainForm& m, int) { m.Database().Next(); }, .Menu = M::Database,
         .Rule = R::NotLastRecord, .Fallback = S::SP_MediaSeekForward},
        {.Name = "ADatabaseLast", .Caption = "&Last",
         .Hint = "Go to the last record in the current database",
         .Run = [](TMainForm& m, int) { m.Database().Last(); }, .Menu = M::Database,
         .Rule = R::NotLastRecord, .Fallback = S::SP_MediaSkipForward},
    };
}

std::vector<TActionRow> TMainActionRows::ToolsMenuRows() {
    return {
        {.Name = "ASpelling", .Caption = "&Spelling...", .Keys = "F7",
         .Hint = "Check the spelling of the text and headline objects in the card",
         .Run = [](TMainForm& m, int) { m.Spelling().CheckDocument(); },
         .Menu = M::Tools, .Rule = R::Window},
        {.Name = "AEditCustomDictionary", .Caption = "&Edit Custom Dictionary...",
         .Hint = "Edit the words in the custom dictionary",
         .Run = [](TMainForm& m, int) { m.Spelling().EditCustomDictionary(); },
         .Menu = M::Tools},
        {.Name = "ASpellingDictionary", .Caption = "Spelling &Dictionary...",
         .Hint = "Choose the dictionary the spelling check uses",
         .Run = [](TMainForm& m, int) { m.Spelling().ChooseDictionary(); },
         .Menu = M::Tools},
        {.Name = "AWebPublish", .Caption = "Publish To &Folder...",
         .Hint = "Publish as a Web Page to a file folder.",
         .Run = [](TMainForm& m, int) { m.Web().PublishToFolder(); },
         .Menu = M::Tools, .MenuSeparator = true, .Rule = R::ShownWindow},
        {.Name = "AWebPreview", .Caption = "&Preview Web Site",
         .Hint = "Preview as a Web Page in a browser",
         .Run = [](TMainForm& m, int) { m.Web().Preview(); },
         .Menu = M::Tools, .Rule = R::ShownWindow},
        {.Name = "AWebName", .Caption = "Page &Name Properties...",
         .Hint = "Select default page name properties",
         .Run = [](TMainForm& m, int) { m.Web().PageNameProperties(); },
         .Menu = M::Tools, .Rule = R::ShownWindow},
        {.Name = "AWebLinkProps", .Caption = "&Link Properties...", .Keys = "Ctrl+K",
         .Hint = "Change the web link attributes of the current object",
         .Run = [](TMainForm& m, int) { m.Web().LinkProperties(); },
         .Menu = M::Tools, .Rule = R::OneSelected},
        {.Name = "AAcquire", .Caption = "Ac&quire...",
         .Hint = "Bring in an image from a scanner or digital camera",
         .Run = [](TMainForm& m, int) { m.Scanning().Acquire(); },
         .Menu = M::Tools, .MenuSeparator = true, .Rule = R::Acquire},
        {.Name = "ASelectSource", .Caption = "Select So&urce",
         .Hint = "Choose which scanner or digital camera for acquiring images",
         .Run = [](TMainForm& m, int) { m.Scanning().SelectSource(); },
         .Menu = M::Tools, .Rule = R::ScanSource},
        {.Name = "AAutoSave0", .Caption = "&None", .Hint = "Turns the AutoSave off",
         .Run = [](TMainForm& m, int minutes) { m.SetAutoSave(minutes); }, .Menu = M::AutoSave,
         .Group = G::AutoSave, .Data = 0},
        {.Name = "AAutoSave1", .Caption = "&1 minute",
         .Hint = "Changes the AutoSave frequency to 1 minute",
         .Run = [](TMainForm& m, int minutes) { m.SetAutoSave(minutes); }, .Menu = M::AutoSave,
         .Group = G::AutoSave, .Data = 1},
        {.Name = "AAutoSave2", .Caption = "&2 minutes",
         .Hint = "Changes the AutoSave frequency to 2 minutes",
         .Run = [](TMainForm& m, int minutes) { m.SetAutoSave(minutes); }, .Menu = M::AutoSave,
         .Group = G::AutoSave, .Data = 2},
        {.Name = "AAutoSave5", .Caption = "&5 minutes",
         .Hint = "Changes the AutoSave frequency to 5 minutes",
         .Run = [](TMainForm& m, int minutes) { m.SetAutoSave(minutes); }, .Menu = M::AutoSave,
         .Group = G::AutoSave, .Data = 5},
        {.Name = "AAutoSave10", .Caption = "&10 minutes",
         .Hint = "Changes the AutoSave frequency to 10 minutes",
         .Run = [](TMainForm& m, int minutes) { m.SetAutoSave(minutes); }, .Menu = M::AutoSave,
         .Group = G::AutoSave, .Data = 10},
        {.Name = "ASpeechStartStop", .Caption = "&Start", .Hint = "Start speech recognition",
         .Run = [](TMainForm& m, int) { m.Dictation().StartStop(); },
         .Menu = M::Speech, .ToolBar = B::Standard, .ToolBarSlot = 190, .ToolBarSeparator = true,
         .Rule = R::Dictation, .Theme = "audio-input-microphone", .Fallback = S::SP_MediaPlay,
         .Checkable = true},
        {.Name = "ASpeechUser", .Caption = "Modify &Users...",
         .Hint = "Add, delete, or change the users of the speech recognition engine",
         .Run = [](TMainForm& m, int) { m.Dictation().ShowTopic(TSpeechTopic::Users); },
         .Menu = M::Speech, .Rule = R::SpeechEngine},
        {.Name = "ASpeechTrain", .Caption = "&Train...",
         .Hint = "Train the speech recognition engine for the active user",
         .Run = [](TMainForm& m, int) { m.Dictation().ShowTopic(TSpeechTopic::Training); },
         .Menu = M::Speech, .Rule = R::SpeechEngine},
        {.Name = "ASpeechSetup", .Caption = "Set Up &Microphone...",
         .Hint = "Set up the microphone for speech recognition",
         .Run = [](TMainForm& m, int) { m.Dictation().ShowTopic(TSpeechTopic::Microphone); },
         .Menu = M::Speech, .Rule = R::SpeechEngine},
    };
}

std::vector<TActionRow> TMainActionRows::WindowRows() {
    return {
        {.Name = "ACascade", .Caption = "&Cascade", .Hint = "Arrange windows to overlap",
         .Run = [](TMainForm& m, int) { m.FMdi->cascadeSubWindows(); }, .Menu = M::Window,
         .Rule = R::Window},
        {.Name = "ATile", .Caption = "&Tile", .Hint = "Arrange windows without overlap",
         .Run = [](TMainForm& m, int) { m.FMdi->tileSubWindows(); }, .Menu = M::Window,
         .Rule = R::Window},
        {.Name = "AArrangeIcons", .Caption = "&Arrange Icons",
         .Hint = "Arrange window icons at bottom of main window",
         .Run = [](TMainForm& m, int) { m.ArrangeIcons(); }, .Menu = M::Window, .Rule = R::Window},
        {.Name = "AMinimizeAll", .Caption = "&Minimize All", .Hint = "Minimize all windows",
         .Run = [](TMainForm& m, int) { m.MinimizeAll(); }, .Menu = M::Window, .Rule = R::Window},
    };
}

std::vector<TActionRow> TMainActionRows::HelpRows() {
    return {
        {.Name = "AContents", .Caption = "&Contents", .Keys = "Alt+F1",
         .Hint = "Show the help's table of contents",
         .Run = [](TMainForm& m, int) { m.ShowHelp(1); },
         .Menu = M::Help, .ToolBar = B::Standard, .ToolBarSlot = 140, .ToolBarSeparator = true,
         .Theme = "help-contents", .Fallback = S::SP_DialogHelpButton},
        {.Name = "ATopicSearch", .Caption = "&Topic Search...", .Keys = "Ctrl+F1",
         .Hint = "Search for help on a selected topic",
         .Run = [](TMainForm& m, int) { m.OpenGuide(QStringLiteral("index")); }, .Menu = M::Help},
        {.Name = "AHowToUseHelp", .Caption = "&How To Use Help", .Keys = "Shift+F1",
         .Hint = "Shows intructions on using the help system",
         .Run = [](TMainForm& m, int) { m.OpenGuide(QStringLiteral("using-help")); },
         .Menu = M::Help},
        {.Name = "AAbout", .Caption = "&About...", .Hint = "Information about the program",
         .Run = [](TMainForm& m, int) { m.AAboutExecute(); }, .Menu = M::Help,
         .MenuSeparator = true},
    };
}

const std::vector<TActionRow>& TMainForm::ActionRows() {
    static const std::vector<TActionRow> rows = [] {
        std::vector<TActionRow> all;
        for (auto part : {&TMainActionRows::FileRows, &TMainActionRows::EditRows,
                          &TMainActionRows::ViewRows, &TMainActionRows::PageRows,
                          &TMainActionRows::ToolRows, &TMainActionRows::ObjectRows,
                          &TMainActionRows::EventRows, &TMainActionRows::DatabaseRows,
                          &TMainActionRows::ToolsMenuRows, &TMainActionRows::WindowRows,
                          &TMainActionRows::HelpRows}) {
            const std::vector<TActionRow> rows = part();
            all.insert(all.end(), rows.begin(), rows.end());
        }
        return all;
    }();
    return rows;
}
