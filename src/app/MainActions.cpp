#include "app/MainForm.h"

#include "app/ActionTable.h"
#include "app/DictationCommands.h"
#include "app/ScanCommands.h"
#include "app/AutoSave.h"
#include "app/LastUsed.h"
#include "app/PrintCommands.h"
#include "document/AppContext.h"
#include "document/Card.h"
#include "editor/CardWin.h"
#include "editor/Cursors.h"
#include "editor/EditorState.h"
#include "editor/FocusTextControl.h"
#include "editor/TextFormatBar.h"
#include "objects/RichText.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <map>

QString DocumentWord(QString text, bool lowerCase) {
    return lowerCase ? text.replace(QLatin1String("card"), QLatin1String("document"))
                     : text.replace(QLatin1String("Card"), QLatin1String("Document"));
}

namespace {

QList<QKeySequence> Shortcuts(const TActionRow& row) {
    QList<QKeySequence> keys;
    const QString text = QString::fromLatin1(row.Keys);
    if (!text.isEmpty())
        for (const QString& key : text.split(QLatin1Char('|')))
            keys.append(QKeySequence(key));
    if (row.StandardKey != QKeySequence::UnknownKey) keys.append(QKeySequence(row.StandardKey));
    return keys;
}

struct TMenuInfo {
    TMenuId Id;
    TMenuId Parent; // None: on the menu bar
    const char* Title;
};

// In menu bar order.
constexpr TMenuInfo MenuInfos[] = {{TMenuId::File, TMenuId::None, "&File"},
                                   {TMenuId::Edit, TMenuId::None, "&Edit"},
                                   {TMenuId::View, TMenuId::None, "&View"},
                                   {TMenuId::GridSize, TMenuId::View, "Grid Si&ze"},
                                   {TMenuId::Page, TMenuId::None, "Pa&ge"},
                                   {TMenuId::Object, TMenuId::None, "&Object"},
                                   {TMenuId::Events, TMenuId::None, "Eve&nts"},
                                   {TMenuId::Database, TMenuId::None, "&Database"},
                                   {TMenuId::Tools, TMenuId::None, "&Tools"},
                                   {TMenuId::AutoSave, TMenuId::Tools, "&AutoSave"},
                                   {TMenuId::Speech, TMenuId::Tools, "Speech &Recognition"},
                                   {TMenuId::Window, TMenuId::None, "&Window"},
                                   {TMenuId::Help, TMenuId::None, "&Help"}};

const TMenuInfo& MenuInfo(TMenuId id) {
    return *std::find_if(std::begin(MenuInfos), std::end(MenuInfos),
                         [id](const TMenuInfo& info) { return info.Id == id; });
}

// The rows on one tool bar, in slot order.
std::vector<const TActionRow*> ToolBarRows(TToolBarId bar) {
    std::vector<const TActionRow*> rows;
    for (const TActionRow& row : TMainForm::ActionRows())
        if (row.ToolBar == bar) rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(), [](const TActionRow* a, const TActionRow* b) {
        return a->ToolBarSlot < b->ToolBarSlot;
    });
    return rows;
}

} // namespace

QAction* TMainForm::MakeAction(const TActionRow& row) {
    const QString name = QString::fromLatin1(row.Name);
    auto* action = new QAction(DocumentWord(QString::fromLatin1(row.Caption), false), this);
    action->setObjectName(name);
    action->setShortcuts(Shortcuts(row));
    const QString hint = DocumentWord(QString::fromLatin1(row.Hint), true);
    action->setStatusTip(hint);
    action->setToolTip(hint);
    if (row.Flag) {
        action->setCheckable(true);
        action->setChecked(row.Flag());
        connect(action, &QAction::toggled, this, [this, &row](bool on) {
            row.Flag() = on;
            Run([&] { row.Run(*this, row.Data); });
        });
    } else if (row.OnEditor) {
        connect(action, &QAction::triggered, this, [this, &row] {
            Run([&] {
                if (TCardForm* form = ActiveEditor()) (form->*row.OnEditor)();
            });
        });
    } else if (row.Run) {
        connect(action, &QAction::triggered, this,
                [this, &row] { Run([&] { row.Run(*this, row.Data); }); });
    }
    FActions.insert(name, action);
    addAction(action);
    return action;
}

void TMainForm::BuildActions() {
    FToolGroup = new QActionGroup(this);
    FAutoSaveGroup = new QActionGroup(this);
    FGridGroup = new QActionGroup(this);
    for (const TActionRow& row : ActionRows()) {
        QAction* action = MakeAction(row);
        if (row.Checkable) action->setCheckable(true);
        if (*row.Theme)
            action->setIcon(QIcon::fromTheme(QString::fromLatin1(row.Theme),
                                             style()->standardIcon(row.Fallback)));
        else if (row.Fallback != QStyle::SP_CustomBase)
            action->setIcon(style()->standardIcon(row.Fallback));
        QActionGroup* group = row.Group == TActionGroupId::Tools      ? FToolGroup
                              : row.Group == TActionGroupId::AutoSave ? FAutoSaveGroup
                              : row.Group == TActionGroupId::GridSize ? FGridGroup
                                                                      : nullptr;
        if (!group) continue;
        action->setCheckable(true);
        action->setData(row.Data);
        if (group == FToolGroup) {
            action->setChecked(row.Data == ToolEdit);
            action->setIcon(QIcon(ToolIcon(row.Data)));
        } else {
            group->addAction(action);
        }
    }
    // The tools are grouped in their tool bar's order.
    for (const TActionRow* row : ToolBarRows(TToolBarId::Objects))
        if (row->Group == TActionGroupId::Tools)
            FToolGroup->addAction(Action(QString::fromLatin1(row->Name)));
}

void TMainForm::BuildMenus() {
    std::map<TMenuId, QMenu*> menus;
    for (const TMenuInfo& info : MenuInfos)
        if (info.Parent == TMenuId::None)
            menus[info.Id] = menuBar()->addMenu(QString::fromLatin1(info.Title));
    for (const TActionRow& row : ActionRows()) {
        if (row.Menu == TMenuId::None) continue;
        QMenu*& menu = menus[row.Menu];
        // A submenu takes its place among its parent's items with its first item.
        if (!menu) {
            const TMenuInfo& info = MenuInfo(row.Menu);
            menu = menus[info.Parent]->addMenu(QString::fromLatin1(info.Title));
        }
        if (row.MenuSeparator) menu->addSeparator();
        menu->addAction(Action(QString::fromLatin1(row.Name)));
    }
    FFileMenu = menus[TMenuId::File];
    FToolsMenu = menus[TMenuId::Tools];
    FHelpMenu = menus[TMenuId::Help];
    FAutoSaveMenu = menus[TMenuId::AutoSave];
    FGridMenu = menus[TMenuId::GridSize];
    FSpeechMenu = menus[TMenuId::Speech];
    FLastUsed->SetMenu(FFileMenu);
}

QToolBar* TMainForm::AddActionBar(const QString& name, TToolBarId id) {
    QToolBar* bar = addToolBar(name);
    bar->setObjectName(name);
    for (const TActionRow* row : ToolBarRows(id)) {
        if (row->ToolBarSeparator) bar->addSeparator();
        bar->addAction(Action(QString::fromLatin1(row->Name)));
    }
    return bar;
}

void TMainForm::BuildToolBars() {
    QToolBar* main = AddActionBar(QStringLiteral("Standard"), TToolBarId::Standard);
    FPageLabel = new QLabel(main);
    FPageLabel->setMinimumWidth(90);
    FZoomLabel = new QLabel(main);
    FZoomLabel->setMinimumWidth(45);
    main->addWidget(FPageLabel);
    main->addWidget(FZoomLabel);

    QToolBar* tools = AddActionBar(QStringLiteral("Objects"), TToolBarId::Objects);
    for (QAction* action : FToolGroup->actions()) {
        // Releasing a tool button with Shift held keeps adding objects of that kind.
        if (auto* button = qobject_cast<QToolButton*>(tools->widgetForAction(action))) {
            connect(button, &QToolButton::released, this, [action] {
                EditorState().KeepAdding =
                    QGuiApplication::keyboardModifiers() & Qt::ShiftModifier &&
                    action->data().toInt() != ToolEdit;
            });
        }
    }
    QToolBar* database = AddActionBar(QStringLiteral("Database"), TToolBarId::Database);
    database->addSeparator();
    database->addWidget(BuildRecordNavigator(database));

    addToolBarBreak();
    BuildViewNotebook();
    // The formatting bar and the text ruler show while a text frame is edited.
    auto* text = new TTextFormatBar(this);
    addToolBar(text);
    addToolBarBreak();
    addToolBar(text->RulerBar());
    text->Refresh();
}

// The record navigator: its buttons are the record actions with hints of their own.
QWidget* TMainForm::BuildRecordNavigator(QWidget* parent) {
    auto* navigator = new QWidget(parent);
    navigator->setObjectName(QStringLiteral("RecordNavigator"));
    auto* row = new QHBoxLayout(navigator);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const struct {
        const char* Action;
        const char* Hint;
    } moves[] = {{"ADatabaseFirst", "First record"},
                 {"ADatabasePrior", "Prior record"},
                 {"ADatabaseNext", "Next record"},
                 {"ADatabaseLast", "Last record"}};
    for (const auto& move : moves) {
        QAction* action = Action(QString::fromLatin1(move.Action));
        // Not the action's own button: that would take the action's longer hint.
        auto* button = new QToolButton(navigator);
        button->setIcon(action->icon());
        button->setAutoRaise(true);
        button->setEnabled(action->isEnabled());
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, button,
                [button, action] { button->setEnabled(action->isEnabled()); });
        button->setIconSize(QSize(16, 16));
        button->setFixedSize(24, 24);
        button->setToolTip(QString::fromLatin1(move.Hint));
        row->addWidget(button);
    }
    navigator->setFixedWidth(97);
    return navigator;
}

void TMainForm::ChooseTool(int tool) {
    TEditorState& state = EditorState();
    if (tool == ToolEdit) {
        state.ClickEditTool();
        return;
    }
    // A tool button's release comes after this and keeps adding when Shift is held.
    state.KeepAdding = false;
    SetTool(tool);
}

void TMainForm::CenterSelection(bool horizontally) {
    if (TCardForm* form = ActiveEditor()) form->CenterSelection(horizontally);
}

void TMainForm::ShowRulers() {
    for (TCardForm* form : Editors())
        form->QDXWindow()->SetShowRulers(EditorState().ShowRulers);
}

void TMainForm::ArrangeIcons() {
    for (QMdiSubWindow* window : FMdi->subWindowList())
        if (window->isMinimized()) window->showMinimized();
}

void TMainForm::MinimizeAll() {
    const QList<QMdiSubWindow*> windows = FMdi->subWindowList();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        (*it)->showMinimized();
}

// The check marks of the settings' toggles, after the settings were read.
void TMainForm::ShowSettingToggles() {
    for (const TActionRow& row : ActionRows())
        if (row.Flag) Action(QString::fromLatin1(row.Name))->setChecked(row.Flag());
}

namespace {

// What Undo and Redo would do now: the open frame editor's typing first, else the window's
// steps.
void FillUndoSteps(TActionSnapshot& s, TCardForm& form, const TFocusTextControl* typing) {
    const QUndoStack& stack = form.UndoStack();
    const bool typingUndo = typing && typing->CanUndo();
    const bool typingRedo = typing && typing->CanRedo();
    s.CanUndo = typingUndo || stack.canUndo();
    s.CanRedo = typingRedo || stack.canRedo();
    s.UndoText = typingUndo ? QStringLiteral("Typing") : stack.undoText();
    s.RedoText = typingRedo ? QStringLiteral("Typing") : stack.redoText();
}

} // namespace

TActionSnapshot TMainForm::Snapshot() const {
    TActionSnapshot s;
    s.RoomForWindow = Editors().size() < MaxWindows;
    s.Printing = FPrinting->IsPrinting();
    s.ClipboardFilled = EditorState().Clipboard.Count() > 0;
    s.ScannerAvailable = FScanning->Available();
    s.SpeechAvailable = FDictation->Available();
    s.Listening = FDictation->Listening();
    TCardForm* form = ActiveEditor();
    if (!form || !form->HasDocument()) return s;
    const TCard& card = form->Card();
    s.HasWindow = true;
    s.WindowShown = !(FMdi->activeSubWindow() && FMdi->activeSubWindow()->isMinimized());
    s.PageCount = card.PageCount();
    s.CurrentPage = form->CurrentPage();
    s.CardFormat = card.CardFormat;
    s.DocumentType = card.DocumentType;
    s.SelectedCount = form->Selection().Count();
    if (s.SelectedCount == 1) {
        const TCardObject* sole = form->Selection().Items(0);
        s.SoleSelectedLocked = sole->Locked;
        s.SoleSelectedTextFrame = dynamic_cast<const TRichTextObject*>(sole) != nullptr;
    }
    const TFocusTextControl* editor = TFocusTextControl::Current();
    s.EditingText = editor && form->isAncestorOf(editor);
    FillUndoSteps(s, *form, s.EditingText ? editor : nullptr);
    if (s.CurrentPage >= 0 && s.CurrentPage < s.PageCount)
        s.PageHasFields = card.Pages(s.CurrentPage)->FieldOrder.Count() > 0;
    s.CanZoomIn = form->CanZoomIn();
    s.CanZoomOut = form->CanZoomOut();
    s.HasPreviousObject = form->PreviousObject() != nullptr;
    s.HasNextObject = form->NextObject() != nullptr;
    s.CanBringForward = form->CanBringForward();
    s.CanSendBackward = form->CanSendBackward();
    // A card that names a table is connected even when the table could not be opened, so
    // that the user can disconnect it.
    s.Connected = !card.DataSourceName.isEmpty();
    const TRecordSource* table = s.Connected ? card.DataTable() : nullptr;
    s.TableOpen = table && table->IsOpen();
    s.AtFirstRecord = s.TableOpen && table->Bof();
    s.AtLastRecord = s.TableOpen && table->Eof();
    return s;
}

void TMainForm::UpdateActions() {
    FDictation->FollowSelection();
    const TActionSnapshot snapshot = Snapshot();
    for (const TActionRow& row : ActionRows()) {
        if (row.Rule == TActionRule::Free) continue;
        const TActionState state = ActionState(row.Rule, snapshot);
        QAction* action = Action(QString::fromLatin1(row.Name));
        if (!action) continue;
        if (state.Enabled) action->setEnabled(*state.Enabled);
        if (state.Visible) action->setVisible(*state.Visible);
        if (state.Checked) action->setChecked(*state.Checked);
        if (!state.Caption.isEmpty()) action->setText(state.Caption);
        if (!state.Hint.isEmpty()) {
            action->setStatusTip(state.Hint);
            action->setToolTip(state.Hint);
        }
    }
    // Without a recogniser there is nothing to start or set up.
    FSpeechMenu->menuAction()->setVisible(snapshot.SpeechAvailable);
    TCardForm* form = snapshot.HasWindow ? ActiveEditor() : nullptr;
    FPageLabel->setText(
        form ? QStringLiteral("Page %1 of %2").arg(snapshot.CurrentPage + 1).arg(snapshot.PageCount)
             : QString());
    FZoomLabel->setText(form ? QStringLiteral("%1%").arg(form->QDXWindow()->ZoomFactor())
                             : QString());
    UpdateViewNotebook();
    // Autosave runs only while an editing window is active.
    FAutoSave->SetRunning(snapshot.HasWindow);
    emit ActionsUpdated();
}
