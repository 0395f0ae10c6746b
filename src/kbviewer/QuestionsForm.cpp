#include "kbviewer/QuestionsForm.h"

#include "kbviewer/KbServices.h"
#include "kbviewer/LinkLabel.h"
#include "kbviewer/Locate.h"
#include "kbviewer/QuestionTable.h"
#include "kbviewer/TipPrinter.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

const QString TForm1::Caption = QStringLiteral("QDX Questions and Answers");

namespace {

// Grid column widths, in characters of the grid's font.
constexpr int PublicationTypeChars = 15;
constexpr int TitleChars = 50;

} // namespace

TForm1::TForm1(const TKbSettings& settings, QWidget* parent)
    : QMainWindow(parent), FSettings(settings), FTable(new TQuestionTable(this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Caption);

    FGrid = new QTableView(this);
    FGrid->setObjectName(QStringLiteral("Grid"));
    FGrid->setModel(FTable);
    FGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGrid->setAlternatingRowColors(true);
    FGrid->setWordWrap(false);
    FGrid->verticalHeader()->hide();
    FGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FGrid->verticalHeader()->setDefaultSectionSize(FGrid->fontMetrics().height() + 6);
    FGrid->horizontalHeader()->setHighlightSections(false);
    FGrid->horizontalHeader()->setStretchLastSection(true);
    for (int field = 0; field < TQuestionTable::FieldCount; ++field)
        FGrid->setColumnHidden(field, field != TQuestionTable::PublicationType &&
                                          field != TQuestionTable::Title);
    SizeGridColumns();

    FTipView = new QTextEdit(this);
    FTipView->setObjectName(QStringLiteral("TipView"));
    FTipView->setReadOnly(true);
    FTipView->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard |
                                      Qt::LinksAccessibleByMouse);
    FTipView->setToolTip(QStringLiteral("Click F2 to print"));

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("Splitter"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(FGrid);
    splitter->addWidget(FTipView);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);

    FSearchButton = new QPushButton(QStringLiteral("&Search"), this);
    FSearchButton->setObjectName(QStringLiteral("SearchButton"));
    FSearchButton->setToolTip(QStringLiteral("Look for a question by its title or type"));
    connect(FSearchButton, &QPushButton::clicked, this, &TForm1::SearchButtonClick);


    // The navigator: prior and next only.
    auto navigatorButton = [this](const char* name, Qt::ArrowType arrow, const char* hint) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setArrowType(arrow);
        button->setToolTip(QLatin1String(hint));
        button->setAutoRepeat(true);
        button->setFixedSize(FSearchButton->sizeHint().height() + 4,
                             FSearchButton->sizeHint().height());
        return button;
    };
    FPriorButton = navigatorButton("PriorButton", Qt::UpArrow, "Prior question");
    FNextButton = navigatorButton("NextButton", Qt::DownArrow, "Next question");
    connect(FPriorButton, &QToolButton::clicked, this, &TForm1::PriorButtonClick);
    connect(FNextButton, &QToolButton::clicked, this, &TForm1::NextButtonClick);

    FWebLink = new TLinkLabel(QStringLiteral("Click here to visit our web site"), this);
    FWebLink->setObjectName(QStringLiteral("WebLink"));
    FWebLink->setToolTip(FSettings.WebSite);
    connect(FWebLink, &TLinkLabel::Clicked, this, &TForm1::WebLinkClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FPriorButton);
    buttons->addWidget(FNextButton);
    buttons->addSpacing(12);
    buttons->addWidget(FSearchButton);
    buttons->addStretch();
    buttons->addWidget(FWebLink);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    setCentralWidget(central);

    FStatusPanel = new QLabel(KbStatusText(FSettings.Date), this);
    FStatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    statusBar()->addWidget(FStatusPanel, 1);

    auto* print = new QAction(QStringLiteral("Print"), this);
    print->setObjectName(QStringLiteral("PrintAction"));
    print->setShortcut(QKeySequence(Qt::Key_F2));
    print->setShortcutContext(Qt::WindowShortcut);
    connect(print, &QAction::triggered, this, &TForm1::PrintTip);
    addAction(print);

    connect(FGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TForm1::CurrentRowChanged);
    connect(FTable, &QAbstractItemModel::modelReset, this, &TForm1::CurrentRowChanged);

    FLocate = new TLocateDialog(FGrid, this);

    // Wide enough for both columns, centred on the screen.
    const int gridWidth = FGrid->columnWidth(TQuestionTable::PublicationType) +
                          FGrid->columnWidth(TQuestionTable::Title) +
                          FGrid->verticalScrollBar()->sizeHint().width() + 4 * FGrid->frameWidth();
    resize(std::max(640, gridWidth + layout->contentsMargins().left() +
                             layout->contentsMargins().right()),
           600);
    if (QScreen* screen = this->screen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
    CurrentRowChanged();
}

void TForm1::SizeGridColumns() {
    const int character = FGrid->fontMetrics().averageCharWidth();
    // Room for the cell's own margins beside the characters.
    const int padding = 2 * FGrid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr,
                                                         FGrid) + 8;
    FGrid->setColumnWidth(TQuestionTable::PublicationType,
                          PublicationTypeChars * character + padding);
    FGrid->setColumnWidth(TQuestionTable::Title, TitleChars * character + padding);
}

bool TForm1::OpenTable() {
    const QString file = KbPaths::TableFile(FSettings.FilePath);
    const bool opened = FTable->Open(file);
    FLocate->RefreshFields();
    if (!opened) {
        KbServices().ShowMessage(this, QStringLiteral("Error"),
                                 QStringLiteral("The knowledge base %1 cannot be opened.\n\n%2")
                                     .arg(QDir::toNativeSeparators(file), FTable->LastError()),
                                 true);
        return false;
    }
    if (FTable->rowCount() > 0) SetCurrentRow(0);
    return true;
}

QString TForm1::StatusText() const {
    return FStatusPanel->text();
}

int TForm1::CurrentRow() const {
    const QModelIndex current = FGrid->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TForm1::SetCurrentRow(int row) {
    if (row < 0 || row >= FTable->rowCount()) return;
    const QModelIndex current = FGrid->currentIndex();
    const int column = current.isValid() ? current.column() : int(TQuestionTable::Title);
    FGrid->setCurrentIndex(FTable->index(row, column));
    FGrid->scrollTo(FGrid->currentIndex());
}

void TForm1::CurrentRowChanged() {
    const int row = CurrentRow();
    FTipView->setHtml(FTable->Value(row, TQuestionTable::Tip));
    FPriorButton->setEnabled(row > 0);
    FNextButton->setEnabled(row >= 0 && row < FTable->rowCount() - 1);
}

void TForm1::PriorButtonClick() {
    SetCurrentRow(CurrentRow() - 1);
}

void TForm1::NextButtonClick() {
    SetCurrentRow(CurrentRow() + 1);
}

void TForm1::SearchButtonClick() {
    FLocate->RefreshFields();
    FLocate->exec();
}

void TForm1::WebLinkClick() {
    const QUrl address = QUrl::fromUserInput(FSettings.WebSite, KbPaths::ProgramFolder());
    if (!address.isValid() || !KbServices().OpenUrl(address))
        KbServices().ShowMessage(this, QStringLiteral("Error"),
                                 QStringLiteral("%1 cannot be opened.").arg(FSettings.WebSite),
                                 true);
}

void TForm1::PrintTip() {
    const int row = CurrentRow();
    if (row < 0 || FTipView->document()->isEmpty()) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(FTable->Value(row, TQuestionTable::Title));
    if (!KbServices().RunPrintDialog(printer, this)) return;
    PrintTipText(*FTipView->document(), printer);
}
