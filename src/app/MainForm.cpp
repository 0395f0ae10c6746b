#include "app/MainForm.h"

#include "app/AutoSave.h"
#include "app/MainShell.h"
#include "document/AppContext.h"
#include "document/Card.h"
#include "document/CommandRunner.h"
#include "document/Control.h"
#include "editor/CardWin.h"
#include "editor/Cursors.h"
#include "editor/EditorState.h"
#include "events/Event.h"
#include "document/Template.h"
#include "objects/RichText.h"
#include "editor/TextFormatBar.h"
#include "platform/QtPrinter.h"
#include "platform/UrlOpener.h"
#include "print/PrintPublication.h"
#include "storage/Exception.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <iterator>

namespace {

// Captions and hints name a "card"; the program calls it a document.
QString DocumentWord(QString text, bool lowerCase) {
    return lowerCase ? text.replace(QLatin1String("card"), QLatin1String("document"))
                     : text.replace(QLatin1String("Card"), QLatin1String("Document"));
}

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
    // The layout of every document follows this printer's margins.
    FQtPrinter = std::make_unique<TQtPrinter>(AppContext().Metric);
    FPrinter = FQtPrinter.get();
    FDesktopUrlOpener = std::make_unique<TDesktopUrlOpener>();
    FUrlOpener = FDesktopUrlOpener.get();
    AppContext().PrinterMargins = [this](bool portrait) { return FPrinter->Margins(portrait); };
    AskPrint = [this](int pageCount, TPrintRequest& request) {
        return RunPrintDialog(this, *FQtPrinter, pageCount, request);
    };
    AskPrintSetup = [this] { return RunPageSetupDialog(this, *FQtPrinter); };
    AskTurnPaperOver = [this] {
        return QMessageBox::question(this, QStringLiteral("Confirm"), TurnOverQuestion(),
                                     QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Ok) == QMessageBox::Ok;
    };
    FLastUsed->Hint = DocumentWord(FLastUsed->Hint, true);
    connect(FMdi, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* window) { Run([&] { OnSubWindowActivated(window); }); });
    connect(FLastUsed, &TLastUsed::Clicked, this,
            [this](const QString& file) { Run([&] { OpenFile(file); }); });
    FAutoSave = new TAutoSave(*this);

    BuildActions();
    BuildMenus();
    BuildToolBars();
    BuildStatusBar();

    TEditorState& state = EditorState();
    state.ClickEditTool = [this] {
        delete EditorState().ObjectInProgress;
        EditorState().ObjectInProgress = nullptr;
        EditorState().KeepAdding = false;
        SetTool(ToolEdit);
    };
    state.RunProperties = [](TCardForm& form) { form.RunProperties(); };
    state.Save = [this](TCardForm& form) { return Save(form, true); };
    state.AddRecentFile = [this](const QString& file) { FLastUsed->Add(file); };
    state.ShowHint = [this](const QString& hint) { FHintPanel->setText(hint); };
    state.ShowHelp = [this](int context) { ShowHelp(context); };
    state.ShowError = [](const QString& text) { AppContext().Messages().Error(text); };
    state.AskSave = [this](const QString& question) {
        const auto answer =
            QMessageBox::question(this, QStringLiteral("Confirm"), question,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        return answer == QMessageBox::Yes  ? TSaveAnswer::Yes
               : answer == QMessageBox::No ? TSaveAnswer::No
                                           : TSaveAnswer::Cancel;
    };
    state.ShowObjectMenu = [this](TCardForm&, QPoint global) {
        QMenu menu(this);
        for (const char* name : std::initializer_list<const char*>{
                 "ACut", "ACopy", "APaste", "ADelete", nullptr, "ABringToFront", "ASendToBack",
                 "AUpOneLevel", "ADownOneLevel", nullptr, "ACenterHorizontally",
                 "ACenterVertically", nullptr, "AWebLinkProps", "AProperties"}) {
            if (!name)
                menu.addSeparator();
            else
                menu.addAction(Action(QString::fromLatin1(name)));
        }
        UpdateActions();
        menu.exec(global);
    };

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
}

void TMainForm::UseMessages(TMessageSink* sink) {
    FSink = sink ? sink : FMessages.get();
    if (FStarted) AppContext().SetMessages(FSink);
}

void TMainForm::Run(const std::function<void()>& command) {
    RunCommand(command);
}

void TMainForm::ResumeDrawing() {
    while (!FFrozen.empty()) UnfreezeWindow();
}

void TMainForm::NotAvailable(const QString& feature, TNoun noun) {
    FSink->Information(QStringLiteral("%1 %2 not available in this version of QDX yet.")
                           .arg(feature, noun == TNoun::Plural ? QStringLiteral("are")
                                                               : QStringLiteral("is")));
}

QAction* TMainForm::MakeAction(const QString& name, const QString& caption,
                               const QKeySequence& shortcut, const QString& hint,
                               const std::function<void()>& handler) {
    auto* action = new QAction(DocumentWord(caption, false), this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    action->setStatusTip(DocumentWord(hint, true));
    action->setToolTip(DocumentWord(hint, true));
    if (handler) connect(action, &QAction::triggered, this, [this, handler] { Run(handler); });
    FActions.insert(name, action);
    addAction(action);
    return action;
}

QString TMainForm::StatusView() const {
    return FViewPanel->text();
}
QString TMainForm::StatusHint() const {
    return FHintPanel->text();
}

void TMainForm::BuildActions() {
    auto withEditor = [this](void (TCardForm::*method)()) {
        return [this, method] {
            if (TCardForm* form = ActiveEditor()) (form->*method)();
        };
    };
    const QKeySequence none;
    MakeAction("ANew", "&New...", QKeySequence(Qt::CTRL | Qt::Key_N), "Create a new card",
               [this] { ANewExecute(); });
    MakeAction("AOpen", "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O), "Open an existing card",
               [this] { AOpenExecute(); });
    MakeAction("AClose", "&Close", none, "Close the current card", [this] { ACloseExecute(); });
    MakeAction("ASave", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S), "Save the current card",
               [this] { ASaveExecute(); });
    MakeAction("ASaveAs", "Save &As...", none, "Save the current card under another name",
               [this] { ASaveAsExecute(); });
    MakeAction("ASaveAsTemplate", "Save As &Template...", none,
               "Save the current card as a template", [this] { ASaveAsTemplateExecute(); });
    MakeAction("AChangeLabelType", "Change &Label Type...", none,
               "Change the label type of the current document", [this] { AChangeLabelTypeExecute(); });
    MakeAction("AChangeBannerWidth", "Change &Banner Width...", none,
               "Change the width of the current banner", [this] { AChangeBannerWidthExecute(); });
    MakeAction("AChangeBusinessCardType", "Change &Business Card Type...", none,
               "Change the type of the current business card",
               [this] { AChangeBusinessCardTypeExecute(); });
    MakeAction("AChangeCardType", "Change Card T&ype/Description...", none,
               "Change the type and/or description of the current card",
               [this] { AChangeCardTypeExecute(); });
    MakeAction("APrintPreview", "Print Pre&view...", none,
               "Show a preview of what the printed card will look like",
               [this] { APrintPreviewExecute(); });
    MakeAction("APrint", "&Print...", QKeySequence(Qt::CTRL | Qt::Key_P), "Print the current card",
               [this] { APrintExecute(); });
    MakeAction("APrintSetup", "Print Set&up...", none, "Set up the printer",
               [this] { APrintSetupExecute(); });
    MakeAction("ASend", "S&end E-mail...", none, "Send the current card as mail",
               [this] { NotAvailable(QStringLiteral("E-mail")); });
    MakeAction("AExit", "E&xit", none, "Exit the program", [this] { close(); });
    MakeAction("ACut", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X),
               "Cut the selected object(s) to the clipboard", withEditor(&TCardForm::Cut));
    MakeAction("ACopy", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C),
               "Copy the selected object(s) to the clipboard", withEditor(&TCardForm::Copy));
    MakeAction("AGetPhotoService", "&Get from Online Photo Service...", none,
               "Download photos from your online photo service account to current document", {});
    MakeAction("APaste", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V),
               "Paste the clipboard object(s)", withEditor(&TCardForm::Paste));
    MakeAction("ADelete", "De&lete", QKeySequence(Qt::CTRL | Qt::Key_Delete),
               "Delete the selected object(s)", withEditor(&TCardForm::DeleteSelection));
    MakeAction("ASelectAll", "Select &All", QKeySequence(Qt::CTRL | Qt::Key_A),
               "Select all of the objects on the screen", withEditor(&TCardForm::SelectAll));
    MakeAction("AClearForm", "Cl&ear Form", QKeySequence(Qt::Key_F2),
               "Clear the fields of the current form",
               [this] { AClearFormExecute(); });
    MakeAction("AFillInForm", "&Fill In Form...", QKeySequence(Qt::Key_F9),
               "Fill in the fields of the current form",
               [this] { AFillInFormExecute(); });
    MakeAction("AZoomOut", "Zoom &Out", none, "Zooms out from the current card",
               withEditor(&TCardForm::ZoomOut));
    MakeAction("AZoomIn", "Zoom &In", none, "Zooms in to the current card",
               withEditor(&TCardForm::ZoomIn));
    MakeAction("APreviousObject", "&Previous Object", none,
               "Selects the previous object in the object list",
               withEditor(&TCardForm::SelectPreviousObject));
    MakeAction("ANextObject", "&Next Object", none, "Selects the next object in the object list",
               withEditor(&TCardForm::SelectNextObject));
    MakeAction("APreviousPage", "Pre&vious Page", none, "Displays the previous page",
               [this] { APreviousPageExecute(); });
    MakeAction("ANextPage", "Ne&xt Page", none, "Displays the next page",
               [this] { ANextPageExecute(); });
    auto toggle = [this](const char* name, const char* caption, const char* hint, bool& flag) {
        QAction* action = MakeAction(name, caption, {}, hint, {});
        action->setCheckable(true);
        action->setChecked(flag);
        connect(action, &QAction::toggled, this, [this, &flag](bool on) {
            flag = on;
            Run([this] { RepaintAllEditors(); });
        });
    };
    toggle("AShowGrid", "Show &Grid", "If checked, shows a grid to aid object placement",
           AppContext().ShowGrid);
    toggle("ASnapToGrid", "Snap &To Grid",
           "If checked, will position objects to the nearest grid intersection",
           AppContext().SnapToGrid);
    toggle("AShowFieldObjectAreas", "Show &Field Object Areas",
           "Show a dotted-line border around field objects which have no border",
           AppContext().ShowFieldAreas);
    QAction* rulers = MakeAction("AShowRulers", "Show &Rulers", none,
                                 "If checked, shows rulers to aid object placement", {});
    rulers->setCheckable(true);
    rulers->setChecked(EditorState().ShowRulers);
    connect(rulers, &QAction::toggled, this, [this](bool on) {
        EditorState().ShowRulers = on;
        Run([&] {
            for (TCardForm* form : Editors())
                form->QDXWindow()->SetShowRulers(on);
        });
    });
    MakeAction("AInsertNewPage", "&Insert New Page", none,
               "Inserts a new page before the current page", [this] { AInsertNewPageExecute(); });
    MakeAction("AAppendNewPage", "&Append New Page", none,
               "Inserts a new page after the current page", [this] { AAppendNewPageExecute(); });
    MakeAction("ADeleteCurrentPage", "&Delete Current Page...", none, "Deletes the current page",
               [this] { ADeleteCurrentPageExecute(); });
    MakeAction("AGoToPage", "&Go To Page...", QKeySequence(Qt::CTRL | Qt::Key_G),
               "Go to a particular page", [this] { AGoToPageExecute(); });
    MakeAction("ABringToFront", "Bring To &Front", QKeySequence(Qt::CTRL | Qt::Key_F),
               "Move the selected object in front of all other objects",
               withEditor(&TCardForm::BringToFront));
    MakeAction("ASendToBack", "Send To &Back", QKeySequence(Qt::CTRL | Qt::Key_B),
               "Move the selected object behind all other objects",
               withEditor(&TCardForm::SendToBack));
    MakeAction("AUpOneLevel", "&Up One Level", QKeySequence(Qt::CTRL | Qt::Key_U),
               "Move the selected object one level up in the list of objects",
               withEditor(&TCardForm::UpOneLevel));
    MakeAction("ADownOneLevel", "&Down One Level", QKeySequence(Qt::CTRL | Qt::Key_D),
               "Move the selected object one level down in the list of objects",
               withEditor(&TCardForm::DownOneLevel));
    QAction* locked = MakeAction("ALocked", "&Locked", QKeySequence(Qt::CTRL | Qt::Key_L),
                                 "Toggle the locked state of the selected object",
                                 withEditor(&TCardForm::ToggleLocked));
    locked->setCheckable(true);
    MakeAction("AFieldObjectInputOrder", "Field Object &Input Order...",
               QKeySequence(Qt::CTRL | Qt::Key_I),
               "Change the input order of the field objects on the current page",
               [this] { AFieldObjectInputOrderExecute(); });
    MakeAction("ACenterHorizontally", "Center &Horizontally", QKeySequence(Qt::CTRL | Qt::Key_H),
               "Center the selected object horizontally", [this] {
                   if (TCardForm* f = ActiveEditor()) f->CenterSelection(true);
               });
    MakeAction("ACenterVertically", "Center &Vertically", QKeySequence(Qt::CTRL | Qt::Key_T),
               "Center the selected object vertically", [this] {
                   if (TCardForm* f = ActiveEditor()) f->CenterSelection(false);
               });
    MakeAction("AProperties", "P&roperties...", QKeySequence(Qt::CTRL | Qt::Key_R),
               "Change the attributes of the current object",
               withEditor(&TCardForm::RunProperties));

    FToolGroup = new QActionGroup(this);
    const struct {
        const char* Name;
        const char* Caption;
        const char* Hint;
        int Tool;
    } tools[] = {
        {"AEditObjects", "Edit Objects", "Stop adding objects", ToolEdit},
        {"AAddTextObjects", "Add Text Objects", "Add text to the card", ToolText},
        {"AAddHeadlineObjects", "Add Headline Objects", "Add headlines to the card", ToolHeadline},
        {"AAddPictureObjects", "Add Image Objects", "Add images to the card", ToolPicture},
        {"AAddLineObjects", "Add Line Objects", "Add lines to the card", ToolLine},
        {"AAddRectangleObjects", "Add Rectangle Objects", "Add rectangles to the card",
         ToolRectangle},
        {"AAddRoundedRectangleObjects", "Add Rounded Rectangle Objects",
         "Add rounded rectangles to the card", ToolRoundedRectangle},
        {"AAddEllipseObjects", "Add Ellipse Objects", "Add ellipses to the card", ToolEllipse},
        {"AAddBarCodeObjects", "Add Bar Code Objects", "Add bar codes to the card", ToolBarCode},
        {"AAddCombObjects", "Add Comb Objects", "Add combs to the card", ToolComb},
        {"AAddGridObjects", "Add Grid Objects", "Add grids to the card", ToolGrid},
        {"AAddFieldObjects", "Add Field Objects", "Add fields to the card", ToolField}};
    for (const auto& t : tools) {
        const int tool = t.Tool;
        QAction* action = MakeAction(t.Name, t.Caption, {}, t.Hint, [this, tool] {
            if (tool == ToolEdit) {
                EditorState().ClickEditTool();
            } else {
                // A tool button's release comes after this and keeps adding when Shift is held.
                EditorState().KeepAdding = false;
                SetTool(tool);
            }
        });
        action->setCheckable(true);
        action->setChecked(tool == ToolEdit);
        action->setData(tool);
        FToolGroup->addAction(action);
    }
    MakeAction("ALinkTextObjects", "Lin&k Text Objects", none, "Links the text of two text objects",
               [this] { SetTool(ToolLinkFrom); });
    MakeAction("APersonalize", "&Personalize", none, "Prompts for names, etc. in the current card",
               [this] { APersonalizeExecute(); });
    MakeAction("AEventDatabase", "Event &Database...", none, "Edit the event database",
               [this] { AEventDatabaseExecute(); });
    MakeAction("AMessages", "&Messages...", none, "Access the list of event messages",
               [this] { AMessagesExecute(); });
    MakeAction("AImportBirthdays", "Import &Birthdays from Address Book", none,
               "Add the birthdays and anniversaries of the address book as events",
               [this] { AImportBirthdaysExecute(); });
    MakeAction("AExportCalendar", "E&xport to Calendar...", none,
               "Save the events as a calendar file for other calendar programs",
               [this] { AExportCalendarExecute(); });
    for (const auto& [name, caption, hint, handler] :
         std::initializer_list<
             std::tuple<const char*, const char*, const char*, void (TMainForm::*)()>>{
             {"ADatabaseCreate", "C&reate...", "Create a new database",
              &TMainForm::ADatabaseCreateExecute},
             {"ADatabaseConnect", "&Connect...", "Connect to a database",
              &TMainForm::ADatabaseConnectExecute},
             {"ADatabaseConnectAddressBook", "Connect to &Address Book",
              "Connect to the Windows Address Book",
              &TMainForm::ADatabaseConnectAddressBookExecute},
             {"ADatabaseDisconnect", "&Disconnect", "Disconnect from the current database",
              &TMainForm::ADatabaseDisconnectExecute},
             {"ADatabaseEdit", "&Edit...", "Edit the current database",
              &TMainForm::ADatabaseEditExecute},
             {"ADatabaseFirst", "&First", "Go to the first record in the current database",
              &TMainForm::ADatabaseFirstExecute},
             {"ADatabasePrior", "&Prior", "Go to the prior record in the current database",
              &TMainForm::ADatabasePriorExecute},
             {"ADatabaseNext", "&Next", "Go to the next record in the current database",
              &TMainForm::ADatabaseNextExecute},
             {"ADatabaseLast", "&Last", "Go to the last record in the current database",
              &TMainForm::ADatabaseLastExecute}})
        MakeAction(name, caption, none, hint, [this, handler] { (this->*handler)(); });
    MakeAction("ASpelling", "&Spelling...", QKeySequence(Qt::Key_F7),
               "Check the spelling of the text and headline objects in the card",
               [this] { NotAvailable(QStringLiteral("The spelling check")); });
    MakeAction("AEditCustomDictionary", "&Edit Custom Dictionary...", none,
               "Edit the words in the custom dictionary",
               [this] { NotAvailable(QStringLiteral("The custom dictionary")); });
    MakeAction("ACascade", "&Cascade", none, "Arrange windows to overlap",
               [this] { FMdi->cascadeSubWindows(); });
    MakeAction("ATile", "&Tile", none, "Arrange windows without overlap",
               [this] { FMdi->tileSubWindows(); });
    MakeAction("AArrangeIcons", "&Arrange Icons", none,
               "Arrange window icons at bottom of main window", [this] {
                   for (QMdiSubWindow* w : FMdi->subWindowList())
                       if (w->isMinimized()) w->showMinimized();
               });
    MakeAction("AMinimizeAll", "&Minimize All", none, "Minimize all windows", [this] {
        const QList<QMdiSubWindow*> windows = FMdi->subWindowList();
        for (auto it = windows.rbegin(); it != windows.rend(); ++it)
            (*it)->showMinimized();
    });
    MakeAction("AContents", "&Contents", QKeySequence(Qt::ALT | Qt::Key_F1),
               "Show the help's table of contents", [this] { ShowHelp(1); });
    MakeAction("ATopicSearch", "&Topic Search...", QKeySequence(Qt::CTRL | Qt::Key_F1),
               "Search for help on a selected topic",
               [this] { OpenGuide(QStringLiteral("index")); });
    MakeAction("AHowToUseHelp", "&How To Use Help", QKeySequence(Qt::SHIFT | Qt::Key_F1),
               "Shows intructions on using the help system",
               [this] { OpenGuide(QStringLiteral("using-help")); });
    MakeAction("AAbout", "&About...", none, "Information about the program",
               [this] { AAboutExecute(); });
    MakeAction("AWebPublish", "Publish To &Folder...", none,
               "Publish as a Web Page to a file folder.",
               [this] { NotAvailable(QStringLiteral("Web publishing")); });
    MakeAction("AWebPreview", "&Preview Web Site", none, "Preview as a Web Page in a browser",
               [this] { NotAvailable(QStringLiteral("Web preview")); });
    MakeAction("AWebName", "Page &Name Properties...", none, "Select default page name properties",
               [this] { NotAvailable(QStringLiteral("Web page names"), TNoun::Plural); });
    MakeAction("AWebLinkProps", "&Link Properties...", QKeySequence(Qt::CTRL | Qt::Key_K),
               "Change the web link attributes of the current object",
               [this] { NotAvailable(QStringLiteral("Web links"), TNoun::Plural); });
    MakeAction("AAcquire", "Ac&quire...", none,
               "Bring in an image from a scanner or digital camera",
               [this] { NotAvailable(QStringLiteral("Scanning")); });
    MakeAction("ASelectSource", "Select So&urce", none,
               "Choose which scanner or digital camera for acquiring images",
               [this] { NotAvailable(QStringLiteral("Scanning")); });

    FAutoSaveGroup = new QActionGroup(this);
    for (int minutes : {0, 1, 2, 5, 10}) {
        const QString caption = minutes == 0   ? QStringLiteral("&None")
                                : minutes == 1 ? QStringLiteral("&1 minute")
                                               : QStringLiteral("&%1 minutes").arg(minutes);
        const QString hint =
            minutes == 0
                ? QStringLiteral("Turns the AutoSave off")
                : QStringLiteral("Changes the AutoSave frequency to %1").arg(caption.mid(1));
        QAction* action = MakeAction(QStringLiteral("AAutoSave%1").arg(minutes), caption, {}, hint,
                                     [this, minutes] { SetAutoSave(minutes); });
        action->setCheckable(true);
        action->setData(minutes);
        FAutoSaveGroup->addAction(action);
    }
    MakeAction("ASendPhotoService", "Sen&d to Online Photo Service...", none,
               "Upload photos in current document to your online photo service account", {});
    MakeAction("APrintPhotoService", "Print to Online Photo Service...", none,
               "Print selected picture in current document to the online photo service", {});
    MakeAction("ASpeechStartStop", "&Start", none, "Start speech recognition",
               [this] { NotAvailable(QStringLiteral("Speech recognition")); });
    MakeAction("ASpeechUser", "Modify &Users...", none,
               "Add, delete, or change the users of the speech recognition engine",
               [this] { NotAvailable(QStringLiteral("Speech recognition")); });
    MakeAction("ASpeechTrain", "&Train...", none,
               "Train the speech recognition engine for the active user",
               [this] { NotAvailable(QStringLiteral("Speech recognition")); });
    MakeAction("ASpeechSetup", "Set Up &Microphone...", none,
               "Set up the microphone for speech recognition",
               [this] { NotAvailable(QStringLiteral("Speech recognition")); });

    FGridGroup = new QActionGroup(this);
    const char* fractions[] = {"1/32", "1/16", "1/8", "1/4", "1/2", "1"};
    const char* captions[] = {"1/&32\"", "1/1&6\"", "1/&8\"", "1/&4\"", "1/&2\"", "&1\""};
    const int divisors[] = {32, 16, 8, 4, 2, 1};
    for (int i = 0; i < 6; ++i) {
        QAction* action = MakeAction(
            QStringLiteral("AGrid%1").arg(divisors[i]), QString::fromLatin1(captions[i]), {},
            QStringLiteral("Sets the grid to %1\"").arg(QString::fromLatin1(fractions[i])),
            [this, i] { SetGridSize(i); });
        action->setCheckable(true);
        action->setData(i);
        FGridGroup->addAction(action);
    }
    Action(QStringLiteral("AZoomIn"))
        ->setShortcuts({QKeySequence(QStringLiteral("+")), QKeySequence::ZoomIn});
    Action(QStringLiteral("AZoomOut"))
        ->setShortcuts({QKeySequence(QStringLiteral("-")), QKeySequence::ZoomOut});
}

void TMainForm::BuildMenus() {
    auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (!name)
                menu->addSeparator();
            else
                menu->addAction(Action(QString::fromLatin1(name)));
        }
    };
    FFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    add(FFileMenu, {"ANew",
                    "AOpen",
                    "AClose",
                    nullptr,
                    "ASave",
                    "ASaveAs",
                    "ASaveAsTemplate",
                    nullptr,
                    "AChangeLabelType",
                    "AChangeBannerWidth",
                    "AChangeBusinessCardType",
                    "AChangeCardType",
                    nullptr,
                    "APrintPreview",
                    "APrint",
                    "APrintSetup",
                    nullptr,
                    "ASend",
                    nullptr,
                    "AExit"});
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    add(edit,
        {"ACut", "ACopy", "APaste", "ADelete", nullptr, "ASelectAll", nullptr, "AFillInForm",
         "AClearForm", nullptr, "AGetPhotoService", "ASendPhotoService", "APrintPhotoService"});
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    add(view, {"AZoomIn", "AZoomOut", nullptr, "APreviousObject", "ANextObject", nullptr,
               "AShowGrid", "ASnapToGrid"});
    FGridMenu = view->addMenu(QStringLiteral("Grid Si&ze"));
    for (QAction* action : FGridGroup->actions())
        FGridMenu->addAction(action);
    add(view, {"AShowRulers", "AShowFieldObjectAreas"});
    QMenu* page = menuBar()->addMenu(QStringLiteral("Pa&ge"));
    add(page, {"AInsertNewPage", "AAppendNewPage", "ADeleteCurrentPage", nullptr, "APreviousPage",
               "ANextPage", "AGoToPage"});
    QMenu* object = menuBar()->addMenu(QStringLiteral("&Object"));
    add(object, {"AEditObjects",
                 "AAddHeadlineObjects",
                 "AAddTextObjects",
                 "AAddPictureObjects",
                 "AAddLineObjects",
                 "AAddRectangleObjects",
                 "AAddRoundedRectangleObjects",
                 "AAddEllipseObjects",
                 "AAddBarCodeObjects",
                 "AAddCombObjects",
                 "AAddGridObjects",
                 "AAddFieldObjects",
                 nullptr,
                 "ALinkTextObjects",
                 nullptr,
                 "ABringToFront",
                 "ASendToBack",
                 "AUpOneLevel",
                 "ADownOneLevel",
                 nullptr,
                 "ACenterHorizontally",
                 "ACenterVertically",
                 "ALocked",
                 nullptr,
                 "AFieldObjectInputOrder",
                 "APersonalize",
                 nullptr,
                 "AProperties"});
    QMenu* events = menuBar()->addMenu(QStringLiteral("Eve&nts"));
    add(events, {"AEventDatabase", "AMessages", nullptr, "AImportBirthdays", "AExportCalendar"});
    QMenu* database = menuBar()->addMenu(QStringLiteral("&Database"));
    add(database, {"ADatabaseCreate", "ADatabaseConnect", "ADatabaseConnectAddressBook",
                   "ADatabaseDisconnect", "ADatabaseEdit", nullptr, "ADatabaseFirst",
                   "ADatabasePrior", "ADatabaseNext", "ADatabaseLast"});
    FToolsMenu = menuBar()->addMenu(QStringLiteral("&Tools"));
    add(FToolsMenu, {"ASpelling", "AEditCustomDictionary", nullptr, "AWebPublish", "AWebPreview",
                     "AWebName", "AWebLinkProps", nullptr, "AAcquire", "ASelectSource"});
    FAutoSaveMenu = FToolsMenu->addMenu(QStringLiteral("&AutoSave"));
    for (QAction* action : FAutoSaveGroup->actions())
        FAutoSaveMenu->addAction(action);
    QMenu* speech = FToolsMenu->addMenu(QStringLiteral("Speech &Recognition"));
    add(speech, {"ASpeechStartStop", "ASpeechUser", "ASpeechTrain", "ASpeechSetup"});
    speech->menuAction()->setVisible(false); // no speech engine on this system
    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    add(window, {"ACascade", "ATile", "AArrangeIcons", "AMinimizeAll"});
    FHelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    add(FHelpMenu, {"AContents", "ATopicSearch", "AHowToUseHelp", nullptr, "AAbout"});
    FLastUsed->SetMenu(FFileMenu);
}

void TMainForm::BuildToolBars() {
    const struct {
        const char* Action;
        const char* Theme;
        QStyle::StandardPixmap Fallback;
    } icons[] = {{"ANew", "document-new", QStyle::SP_FileIcon},
                 {"AOpen", "document-open", QStyle::SP_DialogOpenButton},
                 {"ASave", "document-save", QStyle::SP_DialogSaveButton},
                 {"APrint", "document-print", QStyle::SP_ComputerIcon},
                 {"ACut", "edit-cut", QStyle::SP_DialogResetButton},
                 {"ACopy", "edit-copy", QStyle::SP_FileDialogContentsView},
                 {"APaste", "edit-paste", QStyle::SP_FileDialogNewFolder},
                 {"ADelete", "edit-delete", QStyle::SP_TrashIcon},
                 {"AZoomOut", "zoom-out", QStyle::SP_ArrowDown},
                 {"AZoomIn", "zoom-in", QStyle::SP_ArrowUp},
                 {"AContents", "help-contents", QStyle::SP_DialogHelpButton},
                 {"APreviousPage", "go-previous", QStyle::SP_ArrowLeft},
                 {"ANextPage", "go-next", QStyle::SP_ArrowRight},
                 {"AGoToPage", "go-jump", QStyle::SP_FileDialogListView}};
    for (const auto& icon : icons)
        Action(QString::fromLatin1(icon.Action))
            ->setIcon(QIcon::fromTheme(QString::fromLatin1(icon.Theme),
                                       style()->standardIcon(icon.Fallback)));
    for (QAction* action : FToolGroup->actions()) {
        const int tool = action->data().toInt();
        action->setIcon(QIcon(ToolIcon(tool)));
    }

    QToolBar* main = addToolBar(QStringLiteral("Standard"));
    main->setObjectName(QStringLiteral("Standard"));
    for (const char* name : std::initializer_list<const char*>{
             "ANew", "AOpen", "ASave", "APrint", nullptr, "ACut", "ACopy", "APaste", "ADelete",
             nullptr, "AZoomOut", "AZoomIn", nullptr, "AContents"}) {
        if (!name)
            main->addSeparator();
        else
            main->addAction(Action(QString::fromLatin1(name)));
    }
    FPageLabel = new QLabel(main);
    FPageLabel->setMinimumWidth(90);
    FZoomLabel = new QLabel(main);
    FZoomLabel->setMinimumWidth(45);
    main->addSeparator();
    main->addAction(Action(QStringLiteral("APreviousPage")));
    main->addAction(Action(QStringLiteral("ANextPage")));
    main->addAction(Action(QStringLiteral("AGoToPage")));
    main->addWidget(FPageLabel);
    main->addWidget(FZoomLabel);

    QToolBar* tools = addToolBar(QStringLiteral("Objects"));
    tools->setObjectName(QStringLiteral("Objects"));
    for (QAction* action : FToolGroup->actions()) {
        tools->addAction(action);
        // Releasing a tool button with Shift held keeps adding objects of that kind.
        if (auto* button = qobject_cast<QToolButton*>(tools->widgetForAction(action))) {
            connect(button, &QToolButton::released, this, [action] {
                EditorState().KeepAdding =
                    QGuiApplication::keyboardModifiers() & Qt::ShiftModifier &&
                    action->data().toInt() != ToolEdit;
            });
        }
    }
    QToolBar* database = addToolBar(QStringLiteral("Database"));
    database->setObjectName(QStringLiteral("Database"));
    database->addAction(Action(QStringLiteral("ADatabaseConnect")));
    database->addAction(Action(QStringLiteral("ADatabaseEdit")));
    // The record navigator: its buttons are the record actions with their own hints.
    auto* navigator = new QWidget(database);
    navigator->setObjectName(QStringLiteral("RecordNavigator"));
    auto* row = new QHBoxLayout(navigator);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const struct {
        const char* Action;
        const char* Hint;
        QStyle::StandardPixmap Icon;
    } moves[] = {{"ADatabaseFirst", "First record", QStyle::SP_MediaSkipBackward},
                 {"ADatabasePrior", "Prior record", QStyle::SP_MediaSeekBackward},
                 {"ADatabaseNext", "Next record", QStyle::SP_MediaSeekForward},
                 {"ADatabaseLast", "Last record", QStyle::SP_MediaSkipForward}};
    for (const auto& move : moves) {
        QAction* action = Action(QString::fromLatin1(move.Action));
        action->setIcon(style()->standardIcon(move.Icon));
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
    database->addSeparator();
    database->addWidget(navigator);

    addToolBarBreak();
    BuildViewNotebook();
    // The formatting bar and the text ruler show while a text frame is edited.
    auto* text = new TTextFormatBar(this);
    addToolBar(text);
    addToolBarBreak();
    addToolBar(text->RulerBar());
    text->Refresh();
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

// ---- editors ----

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

// ---- enabling ----

void TMainForm::UpdateActions() {
    TCardForm* form = ActiveEditor();
    const bool w = form && form->HasDocument();
    const bool v = w && !(FMdi->activeSubWindow() && FMdi->activeSubWindow()->isMinimized());
    const int selected = w ? form->Selection().Count() : 0;
    const bool s = v && selected > 0;
    const TCard* card = w ? &form->Card() : nullptr;
    auto set = [this](const char* name, bool enabled) {
        if (QAction* action = Action(QString::fromLatin1(name))) action->setEnabled(enabled);
    };
    auto show = [this](const char* name, bool visible) {
        if (QAction* action = Action(QString::fromLatin1(name))) action->setVisible(visible);
    };
    const bool room = Editors().size() < MaxWindows;
    set("ANew", room);
    set("AOpen", room);
    for (const char* name : {"AClose", "ASave", "ASaveAs", "ASaveAsTemplate", "APrintPreview",
                             "APrint", "ASend", "ASelectAll", "ACascade", "ATile", "AArrangeIcons",
                             "AMinimizeAll", "APersonalize", "ASpelling"})
        set(name, w);
    show("AChangeLabelType", card && IsLabelType(card->DocumentType));
    show("AChangeBannerWidth", card && IsBannerFormat(card->CardFormat));
    show("AChangeBusinessCardType", card && IsBusinessCardFormat(card->CardFormat));
    show("AChangeCardType", card != nullptr);
    set("ACut", s);
    set("ACopy", s);
    set("ADelete", s);
    set("APaste", v && EditorState().Clipboard.Count() > 0);
    bool hasFields = false;
    if (v && form->CurrentPage() >= 0)
        hasFields = card->Pages(form->CurrentPage())->FieldOrder.Count() > 0;
    set("AClearForm", hasFields);
    set("AFillInForm", hasFields);
    set("AFieldObjectInputOrder", hasFields);
    set("AZoomOut", v && form->CanZoomOut());
    set("AZoomIn", v && form->CanZoomIn());
    set("APreviousObject", v && form->PreviousObject());
    set("ANextObject", v && form->NextObject());
    set("APreviousPage", v && form->CurrentPage() > 0);
    set("ANextPage", v && form->CurrentPage() < card->PageCount() - 1);
    for (const char* name :
         {"AInsertNewPage", "AAppendNewPage", "ADeleteCurrentPage", "AEditObjects",
          "AAddTextObjects", "AAddHeadlineObjects", "AAddPictureObjects", "AAddLineObjects",
          "AAddRectangleObjects", "AAddRoundedRectangleObjects", "AAddEllipseObjects",
          "AAddBarCodeObjects", "AAddCombObjects", "AAddGridObjects", "AAddFieldObjects",
          "ALinkTextObjects", "AWebPublish", "AWebPreview", "AWebName"})
        set(name, v);
    set("AGoToPage", v && card->PageCount() > 1);
    set("ABringToFront", w && form->CanBringForward());
    set("AUpOneLevel", w && form->CanBringForward());
    set("ASendToBack", w && form->CanSendBackward());
    set("ADownOneLevel", w && form->CanSendBackward());
    set("ALocked", selected == 1);
    set("AProperties", selected == 1);
    set("AWebLinkProps", selected == 1);
    set("APrintPhotoService", selected == 1);
    set("ACenterHorizontally", selected >= 1);
    set("ACenterVertically", selected >= 1);
    // A card that names a table is connected even when the table could not be opened, so
    // that the user can disconnect it.
    const bool connected = card && !card->DataSourceName.isEmpty();
    const TRecordSource* table = connected ? card->DataTable() : nullptr;
    const bool open = table && table->IsOpen();
    set("ADatabaseCreate", w && !connected);
    set("ADatabaseConnect", w && !connected);
    set("ADatabaseConnectAddressBook", w && !connected);
    set("ADatabaseDisconnect", w && connected);
    set("ADatabaseEdit", w && connected);
    // As the navigator's buttons: backwards only off the first record, forwards only off the
    // last.
    set("ADatabaseFirst", open && !table->Bof());
    set("ADatabasePrior", open && !table->Bof());
    set("ADatabaseNext", open && !table->Eof());
    set("ADatabaseLast", open && !table->Eof());
    set("AAcquire", false); // no scanner
    set("ASelectSource", false);
    bool oneFrame = false;
    if (selected == 1)
        oneFrame = dynamic_cast<TRichTextObject*>(form->Selection().Items(0)) != nullptr;
    set("ASpeechStartStop", oneFrame);
    if (selected == 1)
        Action(QStringLiteral("ALocked"))->setChecked(form->Selection().Items(0)->Locked);

    FPageLabel->setText(
        w ? QStringLiteral("Page %1 of %2").arg(form->CurrentPage() + 1).arg(card->PageCount())
          : QString());
    FZoomLabel->setText(w ? QStringLiteral("%1%").arg(form->QDXWindow()->ZoomFactor()) : QString());
    UpdateViewNotebook();
    // Autosave runs only while an editing window is active.
    FAutoSave->SetRunning(w);
    emit ActionsUpdated();
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
