#include "app/MainForm.h"

#include "app/ActionTable.h"
#include "app/AutoSave.h"
#include "app/DatabaseCommands.h"
#include "app/FileCommands.h"
#include "app/MainShell.h"
#include "app/PrintCommands.h"
#include "app/QtMainDialogs.h"
#include "app/DictationCommands.h"
#include "app/MailCommands.h"
#include "app/ScanCommands.h"
#include "app/SpellingCommands.h"
#include "app/WebCommands.h"
#include "document/AppContext.h"
#include "document/Card.h"
#include "document/CommandRunner.h"
#include "document/Control.h"
#include "document/Template.h"
#include "editor/CardWin.h"
#include "editor/Cursors.h"
#include "editor/EditorState.h"
#include "events/Event.h"
#include "platform/Mail.h"
#include "platform/QtPlatformDialogs.h"
#include "platform/UrlOpener.h"
#include "print/Printer.h"
#include "storage/DialogHelp.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <iterator>

namespace {

// The formats with view buttons, one notebook page each, in page order. The quarter-fold
// formats share the bifolds' pages; labels and banners have none.
constexpr int ViewNotebookFormats[] = {
    cfBifoldVertical,        cfBifoldHorizontal,        cfTrifoldVertical,
    cfTrifoldHorizontal,     cfQuadfoldVertical,        cfQuadfoldHorizontal,
    cfCertificateLandscape,  cfCertificatePortrait,     cfPoster,
    cfBusinessCardConnected, cfBusinessCardSeparated10, cfBusinessCardSeparated8,
    cfEnvelope};

// The notebook page of a format's view buttons, -1 when it has none.
int ViewNotebookPage(int cardFormat) {
    if (cardFormat == cfNcrQuarterFoldVertical) return ViewNotebookPage(cfBifoldVertical);
    if (cardFormat == cfNcrQuarterFoldHorizontal) return ViewNotebookPage(cfBifoldHorizontal);
    const auto* found =
        std::find(std::begin(ViewNotebookFormats), std::end(ViewNotebookFormats), cardFormat);
    return found == std::end(ViewNotebookFormats)
               ? -1
               : int(std::distance(std::begin(ViewNotebookFormats), found));
}

// The number of the view button that shows a panel mask (buttons 0 to 3 show one panel).
int ViewButtonNumber(quint32 mask) {
    switch (mask) {
    case 1:
        return 0;
    case 2:
        return 1;
    case 4:
        return 2;
    case 8:
        return 3;
    case 9:
    case 16:
        return 4;
    case 6:
    case 32:
        return 5;
    case 15:
    case 49:
        return 6;
    case 14:
        return 7;
    default:
        return -1;
    }
}

} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), FMdi(new QMdiArea(this)), FLastUsed(new TLastUsed(this)) {
    setWindowTitle(QStringLiteral("QDX"));
    setCentralWidget(FMdi);
    setAcceptDrops(true);
    FMessages = std::make_unique<TMessageBoxes>(this);
    FSink = FMessages.get();
    FShell = std::make_unique<TMainShell>(*this);
    FFiles = std::make_unique<TFileCommands>(*this);
    FWeb = std::make_unique<TWebCommands>(*this);
    FDatabase = std::make_unique<TDatabaseCommands>(*this);
    FPrinting = std::make_unique<TPrintCommands>(*this);
    FQtDialogs = std::make_unique<TQtMainDialogs>(*this, FPrinting->QtPrinter());
    FDialogs = FQtDialogs.get();
    FSpelling = std::make_unique<TSpellingCommands>(*this);
    FScanning = std::make_unique<TScanCommands>(*this);
    FDictation = std::make_unique<TDictationCommands>(*this);
    FMail = std::make_unique<TMailCommands>(*this);
    FQtPlatformDialogs = std::make_unique<TQtPlatformDialogs>(this, FSink);
    FPlatformDialogs = FQtPlatformDialogs.get();
    FDesktopUrlOpener = std::make_unique<TDesktopUrlOpener>();
    FUrlOpener = FDesktopUrlOpener.get();
    // The layout of every document follows the printer's margins.
    AppContext().PrinterMargins = [this](bool portrait) {
        return FPrinting->Printer().Margins(portrait);
    };
    FLastUsed->Hint = DocumentWord(FLastUsed->Hint, true);
    connect(FMdi, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* window) { Run([&] { OnSubWindowActivated(window); }); });
    connect(FLastUsed, &TLastUsed::Clicked, this,
            [this](const QString& file) { Run([&] { FFiles->OpenFile(file); }); });
    FAutoSave = new TAutoSave(*this);

    BuildActions();
    BuildMenus();
    BuildToolBars();
    BuildStatusBar();

    FEditorHost = std::make_unique<TMainEditorHost>(*this);
    EditorState().UseHost(FEditorHost.get());

    // The rules are applied whenever the program has nothing else to do.
    auto* idle = new QTimer(this);
    idle->setInterval(100);
    connect(idle, &QTimer::timeout, this, &TMainForm::UpdateActions);
    idle->start();
}

TMainForm::~TMainForm() {
    TAppContext& context = AppContext();
    context.PrinterMargins = [](bool) { return TPrinterMargins{}; };
    context.SetShell(nullptr);
    context.SetMessages(nullptr);
    context.SetSettings(nullptr);
    EditorState().UseHost(nullptr);
    SetTypingAssist({});
}

void TMainForm::UseMessages(TMessageSink* sink) {
    FSink = sink ? sink : FMessages.get();
    FQtPlatformDialogs->SetMessages(FSink);
    if (FStarted) AppContext().SetMessages(FSink);
}

void TMainForm::UseDialogs(TMainDialogs* dialogs) {
    FDialogs = dialogs ? dialogs : FQtDialogs.get();
}

void TMainForm::UsePlatformDialogs(TPlatformDialogs* dialogs) {
    FPlatformDialogs = dialogs ? dialogs : FQtPlatformDialogs.get();
}

void TMainForm::ShowEditor(TCardForm* form) {
    QMdiSubWindow* window = FMdi->addSubWindow(form);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->showMaximized();
}

void TMainForm::CloseActiveWindow() {
    if (QMdiSubWindow* window = FMdi->activeSubWindow()) window->close();
}

void TMainForm::AutoSaveTick() {
    FAutoSave->Tick();
}

void TMainForm::Run(const std::function<void()>& command) {
    RunCommand(command);
}

void TMainForm::ResumeDrawing() {
    while (!FFrozen.empty()) UnfreezeWindow();
}

QString TMainForm::StatusView() const {
    return FViewPanel->text();
}
void TMainForm::ShowHint(const QString& hint) {
    FHintPanel->setText(hint);
}

QString TMainForm::StatusHint() const {
    return FHintPanel->text();
}

void TMainForm::BuildViewNotebook() {
    QToolBar* bar = addToolBar(QStringLiteral("Views"));
    bar->setObjectName(QStringLiteral("Views"));
    FViewNotebook = new QStackedWidget(bar);
    for (int format : ViewNotebookFormats) {
        auto* page = new QWidget(FViewNotebook);
        auto* layout = new QHBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* group = new QButtonGroup(page);
        group->setExclusive(true);
        const TCardFormatInfo* info = CardFormatInfo(format);
        auto addButton = [&](int number, const QString& panelName, quint32 mask) {
            const QString name = QString::fromLatin1(info->Key) + QString::number(number);
            // The front of a connected business card stays a card.
            const QString hint =
                name == QLatin1String("Bus0") ? panelName : DocumentWord(panelName, true);
            auto* button = new QToolButton(page);
            button->setObjectName(name);
            button->setText(hint);
            button->setToolTip(hint);
            button->setStatusTip(hint);
            button->setCheckable(true);
            button->setProperty("mask", mask);
            group->addButton(button, number);
            layout->addWidget(button);
            connect(button, &QToolButton::clicked, this, [this, hint, mask] {
                Run([&] {
                    if (TCardForm* form = ActiveEditor()) form->ShowPanels(mask);
                    FViewPanel->setText(hint);
                });
            });
        };
        for (int panel = 0; panel < info->Panels && panel < 6; ++panel) {
            const QString name = PanelName(format, panel);
            if (!name.isEmpty()) addButton(panel, name, 1u << panel);
        }
        if (info->Panels > 1) // a single panel is its own view
            for (const TPanelView& view : PanelViews(format))
                addButton(ViewButtonNumber(view.Mask), view.Name, view.Mask);
        layout->addStretch();
        FViewButtons.insert(FViewNotebook->addWidget(page), group);
    }
    FViewNotebookAction = bar->addWidget(FViewNotebook);
}

void TMainForm::BuildStatusBar() {
    FViewPanel = new QLabel(this);
    FViewPanel->setFixedWidth(96);
    FViewPanel->setAlignment(Qt::AlignCenter);
    FHintPanel = new QLabel(this);
    FHintPanel->setAlignment(Qt::AlignCenter);
    statusBar()->addWidget(FViewPanel);
    statusBar()->addWidget(FHintPanel, 1);
    statusBar()->setFixedHeight(20 + statusBar()->contentsMargins().top());
    // Action hints go to the hint panel rather than over the panels.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (!text.isEmpty()) {
            FHintPanel->setText(text);
            statusBar()->clearMessage();
        }
    });
}

QList<TCardForm*> TMainForm::Editors() const {
    QList<TCardForm*> forms;
    for (QMdiSubWindow* window : FMdi->subWindowList())
        if (auto* form = qobject_cast<TCardForm*>(window->widget())) forms.append(form);
    return forms;
}

TCardForm* TMainForm::ActiveEditor() const {
    QMdiSubWindow* window = FMdi->activeSubWindow();
    if (!window) window = FMdi->currentSubWindow();
    return window ? qobject_cast<TCardForm*>(window->widget()) : nullptr;
}

TCard* TMainForm::ActiveDocument() const {
    TCardForm* form = ActiveEditor();
    return form && form->HasDocument() ? &form->Card() : nullptr;
}

int TMainForm::CurrentPageIndex() const {
    TCardForm* form = ActiveEditor();
    return form ? form->CurrentPage() : -1;
}

void TMainForm::OnSubWindowActivated(QMdiSubWindow* window) {
    TCardForm* form = window ? qobject_cast<TCardForm*>(window->widget()) : nullptr;
    if (form == FLastActive) return;
    if (FLastActive && Editors().contains(FLastActive)) FLastActive->Deactivated();
    FLastActive = form;
    if (form)
        form->Activated();
    else
        FViewPanel->clear();
    UpdateActions();
}

void TMainForm::SetTool(int tool) {
    TEditorState& state = EditorState();
    if (tool == state.Tool) return;
    const bool linking = state.Tool > ToolField || tool > ToolField;
    state.Tool = tool;
    for (QAction* action : FToolGroup->actions())
        if (action->data().toInt() == tool) action->setChecked(true);
    if (tool > ToolField) FToolGroup->actions().first()->setChecked(true);
    for (TCardForm* form : Editors())
        form->QDXWindow()->Canvas()->viewport()->setCursor(CursorFor(ToolCursor(tool)));
    if (linking) RepaintAllEditors();
}

void TMainForm::RepaintAllEditors() {
    for (TCardForm* form : Editors())
        form->RefreshSurface();
}

void TMainForm::UpdateGridSpacing() {
    EditorState().GridSizeIndex = std::clamp(EditorState().GridSizeIndex, 0, 5);
    EditorState().ApplyGridSpacing();
}

void TMainForm::SetGridSize(int index) {
    EditorState().GridSizeIndex = index;
    UpdateGridSpacing();
    for (QAction* action : FGridGroup->actions())
        if (action->data().toInt() == index) {
            action->setChecked(true);
            FGridMenu->setTitle(QStringLiteral("Grid Si&ze\t%1")
                                    .arg(QString(action->text()).remove(QLatin1Char('&'))));
        }
    RepaintAllEditors();
}

void TMainForm::SetAutoSave(int minutes) {
    FAutoSave->SetMinutes(minutes);
    for (QAction* action : FAutoSaveGroup->actions())
        if (action->data().toInt() == minutes) {
            action->setChecked(true);
            FAutoSaveMenu->setTitle(QStringLiteral("&AutoSave\t%1")
                                        .arg(QString(action->text()).remove(QLatin1Char('&'))));
        }
    UpdateActions();
}

int TMainForm::AutoSaveMinutes() const {
    return FAutoSave->Minutes();
}

QTimer& TMainForm::AutoSaveTimer() {
    return FAutoSave->Timer();
}

void TMainForm::BeginBusy() {
    if (FBusy++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TMainForm::EndBusy() {
    if (FBusy > 0 && --FBusy == 0) QApplication::restoreOverrideCursor();
}

void TMainForm::FreezeWindow(QWidget* window) {
    if (!FFrozen.empty() && FFrozen.back().first == window) {
        ++FFrozen.back().second;
        return;
    }
    if (!FFrozen.empty() && FFrozen.back().first) FFrozen.back().first->setUpdatesEnabled(true);
    FFrozen.emplace_back(window, 1);
    if (window) window->setUpdatesEnabled(false);
}

void TMainForm::UnfreezeWindow() {
    if (FFrozen.empty()) return;
    if (--FFrozen.back().second > 0) return;
    if (QWidget* window = FFrozen.back().first) window->setUpdatesEnabled(true);
    FFrozen.pop_back();
    if (!FFrozen.empty() && FFrozen.back().first) FFrozen.back().first->setUpdatesEnabled(false);
}

void TMainForm::UpdateViewNotebook() {
    const TCard* card = ActiveDocument();
    const int page = card ? ViewNotebookPage(card->CardFormat) : -1;
    FViewNotebookAction->setVisible(page >= 0);
    if (page < 0) {
        FViewPanel->setText(card ? PanelName(card->CardFormat, 0) : QString());
        return;
    }
    FViewNotebook->setCurrentIndex(page);
    QButtonGroup* group = FViewButtons.value(page);
    QAbstractButton* button =
        group ? group->button(ViewButtonNumber(ActiveEditor()->ShownPanels())) : nullptr;
    if (!button) return;
    if (!button->isChecked()) button->setChecked(true);
    // Also when the button was down already: it may have been down for another window.
    FViewPanel->setText(button->toolTip());
}
