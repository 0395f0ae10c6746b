#include "types/WizardForm.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "merge/AddressBook.h"
#include "merge/DatabaseDialog.h"
#include "merge/LabelCatalogueTable.h"
#include "merge/Table.h"
#include "objects/ColorGrid.h"
#include "objects/PictureFiles.h"
#include "objects/WizardCard.h"
#include "storage/DialogHelp.h"
#include "types/DialogSupport.h"
#include "types/SelectFieldsForm.h"
#include "types/TypePictures.h"
#include "types/SystemLabelTemplates.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <exception>

namespace {

constexpr int PixelsPerInch = 15; // of the sheet previews
const QSize SheetPreviewSize(127, 165);

QPlainTextEdit* MultiLine(QWidget* parent, int lines = 4) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setTabChangesFocus(true);
    edit->setFixedHeight(edit->fontMetrics().lineSpacing() * lines + 12);
    return edit;
}

// A framed picture of a label sheet, as large as the previews draw it.
QLabel* SheetPreviewLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFixedSize(SheetPreviewSize + QSize(2, 2));
    label->setFrameShape(QFrame::Box);
    return label;
}

QString Plain(const QPlainTextEdit* edit) {
    return edit->toPlainText();
}

int Checked(const QButtonGroup* group) {
    return std::max(group->checkedId(), 0);
}

void Check(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) button->setChecked(true);
}

QString Inches(double value) {
    return QString::number(value, 'g', 6) + QStringLiteral("\"");
}

} // namespace

TLabelCatalogue TWizardServices::LabelStocks() {
    return GatherLabelStocks(AppContext().ProgramFolder);
}

QString TWizardServices::OpenDatabaseFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(
        parent, QStringLiteral("Open Database Table"), QString(),
        QStringLiteral("Paradox and dBase files (*.db *.dbf *.DB *.DBF);;"
                       "Text file (*.txt *.TXT);;Comma-separated file (*.csv *.CSV)"));
}

QString TWizardServices::NewDatabaseFile(QWidget* parent) {
    return QFileDialog::getSaveFileName(
        parent, QStringLiteral("Create Database"), QString(),
        QStringLiteral("Paradox files (*.db);;dBase files (*.dbf);;Text file (*.txt)"));
}

bool TWizardServices::DesignDatabase(TDatabaseDialog& dialog, QWidget* parent) {
    return dialog.Execute(parent);
}

bool TWizardServices::SelectFields(const QStringList& fields, std::vector<bool>& selected,
                                   QWidget* parent) {
    return TSelectFieldsForm::Run(fields, selected, parent);
}

bool TWizardServices::HasTemplates(int) {
    return false;
}

TLabelCatalogue GatherLabelStocks(const QString& programFolder) {
    TLabelCatalogue rows = ReadLabelCatalogue(programFolder);
    // The system's label templates join the shipped rows, after them; a stock the shipped
    // catalogue already names keeps its shipped row.
    QSet<QString> known;
    for (const TLabelCatalogueRow& row : rows)
        known.insert(row.Stock.CatNum.toCaseFolded());
    for (TLabelCatalogueRow& row : ReadSystemLabelTemplates(SystemLabelTemplatesFolder()))
        if (!known.contains(row.Stock.CatNum.toCaseFolded()))
            rows.push_back(std::move(row));
    return rows;
}

QImage LabelSheetPicture(const TLabelCatalogueRow& row, QSize sheetSize, TLabelMarks marks) {
    QImage picture(sheetSize, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    const TLabelStock& s = row.Stock;
    const auto px = [](double inches) { return qRound(inches * PixelsPerInch); };
    const int width = px(s.LabelWidth), height = px(s.LabelHeight);
    QFont font = p.font();
    if (height < 15)
        font.setPixelSize(std::max(1, height / 2));
    else
        font.setPointSize(8);
    p.setFont(font);
    int number = 0;
    // A damaged row cannot ask for more labels than any sheet holds.
    const int across = std::clamp(s.NumAcross, 0, MaxSheetCells);
    const int down = std::clamp(s.NumDown, 0, MaxSheetCells);
    for (int r = 0; r < down; ++r) {
        for (int c = 0; c < across; ++c) {
            const QRect box(px(s.SpacingLeft + c * s.SpacingWidth),
                            px(s.SpacingTop + r * s.SpacingHeight), width, height);
            if (row.LabelShape.compare(QLatin1String("RRect"), Qt::CaseInsensitive) == 0)
                p.drawRoundedRect(box, 3, 3);
            else if (row.LabelShape.compare(QLatin1String("Round"), Qt::CaseInsensitive) == 0)
                p.drawEllipse(box);
            else
                p.drawRect(box);
            ++number;
            if (marks == TLabelMarks::None) continue;
            p.save();
            p.setPen(Qt::red);
            p.drawText(box, Qt::AlignCenter,
                       marks == TLabelMarks::Same ? QStringLiteral("A") : QString::number(number));
            p.restore();
        }
    }
    return picture;
}

TWizardForm::TWizardForm(int documentType, TWizardServices& services, bool labelTypeMode,
                         QWidget* parent)
    : QDialog(parent), FServices(services),
      FNavigation(documentType, ProgramWizardLastPages(), labelTypeMode) {
    setObjectName(QStringLiteral("WizardForm"));
    setWindowTitle(DocumentTerm() + QStringLiteral(" Wizard"));

    FTitle = new QLabel(this);
    FTitle->setObjectName(QStringLiteral("PageTitle"));
    QFont bold = FTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    FTitle->setFont(bold);
    FPages = new QStackedWidget(this);
    FPages->setObjectName(QStringLiteral("Pages"));

    FStartButton = new QPushButton(QStringLiteral("<< &Start"), this);
    FStartButton->setObjectName(QStringLiteral("StartButton"));
    FPreviousButton = new QPushButton(QStringLiteral("< &Previous"), this);
    FPreviousButton->setObjectName(QStringLiteral("PreviousButton"));
    FNextButton = new QPushButton(QStringLiteral("&Next >"), this);
    FNextButton->setObjectName(QStringLiteral("NextButton"));
    FCreateButton = new QPushButton(QStringLiteral("&Create"), this);
    FCreateButton->setObjectName(QStringLiteral("CreateButton"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("HelpButton"));
    for (QPushButton* button : {FStartButton, FPreviousButton, FNextButton, FCreateButton, cancel,
                                help})
        button->setAutoDefault(false);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FStartButton);
    buttons->addWidget(FPreviousButton);
    buttons->addWidget(FNextButton);
    buttons->addWidget(FCreateButton);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FTitle);
    layout->addWidget(FPages, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);

    connect(FStartButton, &QPushButton::clicked, this, &TWizardForm::StartClick);
    connect(FPreviousButton, &QPushButton::clicked, this, &TWizardForm::PreviousClick);
    connect(FNextButton, &QPushButton::clicked, this, &TWizardForm::NextClick);
    connect(FCreateButton, &QPushButton::clicked, this, &TWizardForm::CreateClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowDialogHelp(HelpContext); });

    BuildPages();
    // The first choice of every choice page, and the fold pictures.
    for (QButtonGroup* group : {FGreetingFold, FBrochureFold, FAddressPosition, FResumeType,
                                FBusinessCard, FCategory, FObjective, FTitleFormatting})
        Check(group, 0);
    Check(FSimilarity, FNavigation.LabelsDifferent() ? 1 : 0);
    FoldChanged(FGreetingFold, FGreetingPicture);
    FoldChanged(FBrochureFold, FBrochurePicture);
    GreetingFoldChanged();
    FBusinessCardPicture->setPixmap(CardFormatPicture(cfBusinessCardConnected));
    resize(640, 500);
    ShowPage();
}

TWizardForm::~TWizardForm() = default;

QWidget* TWizardForm::NewPage(int page, QWidget* firstControl) {
    auto* widget = FPages->widget(page);
    if (firstControl) FFirstControl[size_t(page)] = firstControl;
    return widget;
}

QButtonGroup* TWizardForm::RadioGroup(QWidget* page, QBoxLayout* layout, const QStringList& names,
                                      const QString& title) {
    auto* box = new QGroupBox(title, page);
    auto* inner = new QVBoxLayout(box);
    auto* group = new QButtonGroup(page);
    for (int i = 0; i < names.size(); ++i) {
        auto* radio = new QRadioButton(names[i], box);
        inner->addWidget(radio);
        group->addButton(radio, i);
    }
    layout->addWidget(box);
    return group;
}

void TWizardForm::BuildPages() {
    std::array<QWidget*, WizardPageCount> pages{};
    for (int i = 0; i < WizardPageCount; ++i) {
        pages[size_t(i)] = new QWidget(FPages);
        pages[size_t(i)]->setObjectName(QStringLiteral("Page%1").arg(i));
        FPages->addWidget(pages[size_t(i)]);
    }
    auto page = [&](int i) { return pages[size_t(i)]; };
    auto lineEdit = [](QWidget* parent, const char* name) {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    // Fields at the top of the page, the room left over below them.
    auto form = [](QWidget* parent) {
        auto* page = new QVBoxLayout(parent);
        auto* layout = new QFormLayout;
        layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        page->addLayout(layout);
        page->addStretch(1);
        return layout;
    };

    // Fold choices with their pictures.
    auto foldPage = [&](int i, QButtonGroup*& group, QLabel*& picture) {
        auto* row = new QHBoxLayout(page(i));
        auto* left = new QVBoxLayout;
        group = RadioGroup(page(i), left, WizardFoldNames());
        left->addStretch(1);
        row->addLayout(left);
        picture = new QLabel(page(i));
        picture->setFixedSize(TypePictureSize + 16, TypePictureSize + 16);
        picture->setAlignment(Qt::AlignCenter);
        row->addWidget(picture, 0, Qt::AlignTop);
        row->addStretch(1);
        NewPage(i, group->button(0));
        connect(group, &QButtonGroup::idClicked, this,
                [this, g = group, p = picture] { FoldChanged(g, p); });
    };
    foldPage(wpGreetingCardType, FGreetingFold, FGreetingPicture);
    connect(FGreetingFold, &QButtonGroup::idClicked, this, &TWizardForm::GreetingFoldChanged);
    foldPage(wpBrochure, FBrochureFold, FBrochurePicture);

    {
        QFormLayout* f = form(page(wpNewsletter));
        FNewsHeadline = lineEdit(page(wpNewsletter), "NewsletterHeadline");
        f->addRow(QStringLiteral("Headline:"), FNewsHeadline);
        NewPage(wpNewsletter, FNewsHeadline);
    }
    auto headlineAndText = [&](int i, QLineEdit*& headline, QPlainTextEdit*& text,
                               const char* name) {
        QFormLayout* f = form(page(i));
        headline = lineEdit(page(i), name);
        text = MultiLine(page(i), 6);
        f->addRow(QStringLiteral("Headline:"), headline);
        f->addRow(QStringLiteral("Text:"), text);
        NewPage(i, headline);
    };
    headlineAndText(wpFlyer, FFlyerHeadline, FFlyerText, "FlyerHeadline");
    headlineAndText(wpPoster, FPosterHeadline, FPosterText, "PosterHeadline");
    for (int k = 0; k < 2; ++k) {
        const int i = k == 0 ? wpCertificateLandscape : wpCertificatePortrait;
        QFormLayout* f = form(page(i));
        FMainText[size_t(k)] = lineEdit(page(i), k == 0 ? "MainTextL" : "MainTextP");
        FSecondaryText[size_t(k)] = lineEdit(page(i), k == 0 ? "SecondaryTextL" : "SecondaryTextP");
        f->addRow(QStringLiteral("Main Text:"), FMainText[size_t(k)]);
        f->addRow(QStringLiteral("Secondary Text:"), FSecondaryText[size_t(k)]);
        NewPage(i, FMainText[size_t(k)]);
    }
    {
        QWidget* p = page(wpLetterhead);
        auto* v = new QVBoxLayout(p);
        auto* f = new QFormLayout;
        FCompany = lineEdit(p, "CompanyName");
        FAddress1 = lineEdit(p, "Address1");
        FAddress2 = lineEdit(p, "Address2");
        FPhone = lineEdit(p, "Phone");
        f->addRow(QStringLiteral("Company Name:"), FCompany);
        f->addRow(QStringLiteral("Address Line 1:"), FAddress1);
        f->addRow(QStringLiteral("Address Line 2:"), FAddress2);
        f->addRow(QStringLiteral("Phone Number:"), FPhone);
        v->addLayout(f);
        FAddressPosition = RadioGroup(
            p, v, {QStringLiteral("Directly under name"), QStringLiteral("At bottom of page")},
            QStringLiteral("Address Position"));
        v->addStretch(1);
        NewPage(wpLetterhead, FCompany);
    }
    {
        auto* v = new QVBoxLayout(page(wpResumeType));
        FResumeType = RadioGroup(page(wpResumeType), v, ResumeTypeNames());
        v->addStretch(1);
        NewPage(wpResumeType, FResumeType->button(0));
    }
    {
        QWidget* p = page(wpBusinessCardType);
        auto* row = new QHBoxLayout(p);
        auto* v = new QVBoxLayout;
        FBusinessCard = RadioGroup(p, v,
                                   {QStringLiteral("Connected"), QStringLiteral("Separated (10)"),
                                    QStringLiteral("Separated (8)")},
                                   QStringLiteral("Business Card Type"));
        auto* templ = new QPushButton(QStringLiteral("Use &Template..."), p);
        templ->setObjectName(QStringLiteral("BusinessCardTemplateButton"));
        v->addWidget(templ, 0, Qt::AlignLeft);
        v->addStretch(1);
        row->addLayout(v);
        FBusinessCardPicture = new QLabel(p);
        FBusinessCardPicture->setFixedSize(TypePictureSize + 16, TypePictureSize + 16);
        FBusinessCardPicture->setAlignment(Qt::AlignCenter);
        row->addWidget(FBusinessCardPicture, 0, Qt::AlignTop);
        row->addStretch(1);
        connect(FBusinessCard, &QButtonGroup::idClicked, this, [this](int id) {
            FBusinessCardPicture->setPixmap(CardFormatPicture(cfBusinessCardConnected + id));
        });
        connect(templ, &QPushButton::clicked, this, &TWizardForm::TemplateClick);
        templ->setEnabled(FServices.HasTemplates(FNavigation.DocumentType()));
        NewPage(wpBusinessCardType, FBusinessCard->button(0));
    }
    {
        QWidget* p = page(wpLabelCategory);
        auto* v = new QVBoxLayout(p);
        FCategory = RadioGroup(p, v, LabelCategoryNames(), QStringLiteral("Label Category"));
        auto* templ = new QPushButton(QStringLiteral("Use &Template..."), p);
        templ->setObjectName(QStringLiteral("LabelTemplateButton"));
        v->addWidget(templ, 0, Qt::AlignLeft);
        v->addStretch(1);
        connect(templ, &QPushButton::clicked, this, &TWizardForm::TemplateClick);
        templ->setEnabled(!FNavigation.LabelTypeMode() &&
                          FServices.HasTemplates(FNavigation.DocumentType()));
        NewPage(wpLabelCategory, FCategory->button(0));
    }
    {
        QWidget* p = page(wpEnvelope);
        QFormLayout* f = form(p);
        FReturnAddress = MultiLine(p);
        FReturnAddress->setObjectName(QStringLiteral("ReturnAddress"));
        FMailingAddress = MultiLine(p);
        FMailingAddress->setObjectName(QStringLiteral("MailingAddress"));
        auto* ret = new QLabel(QStringLiteral("&Return Address:"), p);
        ret->setBuddy(FReturnAddress);
        auto* mail = new QLabel(QStringLiteral("&Mailing Address:"), p);
        mail->setBuddy(FMailingAddress);
        f->addRow(ret, FReturnAddress);
        f->addRow(mail, FMailingAddress);
        NewPage(wpEnvelope, FReturnAddress);
    }
    {
        QWidget* p = page(wpBannerText);
        auto* v = new QVBoxLayout(p);
        auto* f = new QFormLayout;
        FBannerText = lineEdit(p, "BannerText");
        f->addRow(QStringLiteral("Banner Text:"), FBannerText);
        v->addLayout(f);
        auto* templ = new QPushButton(QStringLiteral("Use &Template..."), p);
        templ->setObjectName(QStringLiteral("BannerTemplateButton"));
        v->addWidget(templ, 0, Qt::AlignLeft);
        v->addStretch(1);
        connect(templ, &QPushButton::clicked, this, &TWizardForm::TemplateClick);
        templ->setEnabled(FServices.HasTemplates(FNavigation.DocumentType()));
        NewPage(wpBannerText, FBannerText);
    }
    {
        QWidget* p = page(wpBusinessCardText);
        QFormLayout* f = form(p);
        const char* labels[] = {"Name:", "Company Name:", "Title:", "Address Line 1:",
                                "Address Line 2:", "Phone Number:"};
        const char* names[] = {"CardName", "CardCompany", "CardTitle", "CardAddress1",
                               "CardAddress2", "CardPhone"};
        for (size_t i = 0; i < FCardLines.size(); ++i) {
            FCardLines[i] = lineEdit(p, names[i]);
            f->addRow(QString::fromLatin1(labels[i]), FCardLines[i]);
        }
        NewPage(wpBusinessCardText, FCardLines[0]);
    }
    {
        QWidget* p = page(wpLabelType);
        auto* grid = new QHBoxLayout(p);
        auto* left = new QVBoxLayout;
        FLabelTypes = new QListWidget(p);
        FLabelTypes->setObjectName(QStringLiteral("LabelTypes"));
        FLabelTypes->setMaximumWidth(150);
        FLabelTypePicture = new QLabel(p);
        FLabelTypePicture->setObjectName(QStringLiteral("LabelTypePicture"));
        FLabelTypePicture->setFixedSize(TypePictureSize + 8, TypePictureSize + 8);
        FLabelTypePicture->setAlignment(Qt::AlignCenter);
        left->addWidget(new QLabel(QStringLiteral("Label Type:"), p));
        left->addWidget(FLabelTypes, 1);
        left->addWidget(FLabelTypePicture, 0, Qt::AlignHCenter);
        auto* middle = new QVBoxLayout;
        auto* stockLabel = new QLabel(QStringLiteral("Label Stock:"), p);
        FStockSearch = new QLineEdit(p);
        FStockSearch->setObjectName(QStringLiteral("StockSearch"));
        FStockSearch->setPlaceholderText(QStringLiteral("Search by number or size"));
        FStockSearch->setClearButtonEnabled(true);
        FStockList = new QListWidget(p);
        FStockList->setObjectName(QStringLiteral("StockList"));
        FStockList->setMinimumHeight(FStockList->fontMetrics().lineSpacing() * 12 + 8);
        stockLabel->setBuddy(FStockList);
        FStockDetails = new QLabel(p);
        FStockDetails->setObjectName(QStringLiteral("StockDetails"));
        middle->addWidget(stockLabel);
        middle->addWidget(FStockSearch);
        middle->addWidget(FStockList, 1);
        middle->addWidget(FStockDetails);
        FSheetPreview = SheetPreviewLabel(p, QStringLiteral("SheetPreview"));
        grid->addLayout(left);
        grid->addLayout(middle, 1);
        grid->addWidget(FSheetPreview, 0, Qt::AlignTop);
        connect(FLabelTypes, &QListWidget::currentRowChanged, this, &TWizardForm::LabelTypeChanged);
        connect(FCategory, &QButtonGroup::idClicked, this, &TWizardForm::FillLabelTypes);
        connect(FStockSearch, &QLineEdit::textChanged, this, &TWizardForm::RunLabelQuery);
        connect(FStockList, &QListWidget::currentRowChanged, this, &TWizardForm::StockChanged);
        NewPage(wpLabelType, FLabelTypes);
    }
    {
        QWidget* p = page(wpLabelSimilarity);
        auto* row = new QHBoxLayout(p);
        auto* v = new QVBoxLayout;
        FSimilarity = RadioGroup(p, v,
                                 {QStringLiteral("All labels will be the same"),
                                  QStringLiteral("Each label will be different")});
        v->addStretch(1);
        row->addLayout(v);
        FSimilarityPreview = SheetPreviewLabel(p, QStringLiteral("SimilarityPreview"));
        row->addWidget(FSimilarityPreview, 0, Qt::AlignTop);
        connect(FSimilarity, &QButtonGroup::idClicked, this, &TWizardForm::SimilarityChanged);
        NewPage(wpLabelSimilarity, FSimilarity->button(0));
    }
    {
        QWidget* p = page(wpLabelText);
        QFormLayout* f = form(p);
        FLabelText = MultiLine(p, 6);
        FLabelText->setObjectName(QStringLiteral("LabelText"));
        f->addRow(QStringLiteral("Label Text:"), FLabelText);
        NewPage(wpLabelText, FLabelText);
    }
    {
        QWidget* p = page(wpLabelDatabase);
        auto* row = new QHBoxLayout(p);
        auto* v = new QVBoxLayout;
        auto* open = new QPushButton(QStringLiteral("&Open Database..."), p);
        open->setObjectName(QStringLiteral("OpenDatabaseButton"));
        auto* create = new QPushButton(QStringLiteral("Create &Database..."), p);
        create->setObjectName(QStringLiteral("CreateDatabaseButton"));
        auto* book = new QPushButton(QStringLiteral("Use Windows &Address Book"), p);
        book->setObjectName(QStringLiteral("AddressBookButton"));
        FSelectFields = new QPushButton(QStringLiteral("Se&lect Label Fields..."), p);
        FSelectFields->setObjectName(QStringLiteral("SelectFieldsButton"));
        FSelectFields->setEnabled(false);
        for (QPushButton* b : {open, create, book}) {
            b->setAutoDefault(false);
            v->addWidget(b);
        }
        v->addStretch(1);
        v->addWidget(FSelectFields);
        auto* right = new QVBoxLayout;
        FTableName = new QLabel(p);
        FTableName->setObjectName(QStringLiteral("TableName"));
        FFieldList = new QListWidget(p);
        FFieldList->setObjectName(QStringLiteral("FieldList"));
        right->addWidget(FTableName);
        right->addWidget(FFieldList, 1);
        row->addLayout(v);
        row->addLayout(right, 1);
        connect(open, &QPushButton::clicked, this, &TWizardForm::OpenDatabaseClick);
        connect(create, &QPushButton::clicked, this, &TWizardForm::CreateDatabaseClick);
        connect(book, &QPushButton::clicked, this, &TWizardForm::AddressBookClick);
        connect(FSelectFields, &QPushButton::clicked, this, &TWizardForm::SelectFieldsClick);
        NewPage(wpLabelDatabase, open);
    }
    {
        QWidget* p = page(wpLabelFields);
        auto* v = new QVBoxLayout(p);
        auto* f = new QFormLayout;
        const char* labels[] = {"City:", "State:", "ZIP Code:"};
        const char* names[] = {"CityChoice", "StateChoice", "ZipChoice"};
        for (size_t i = 0; i < FAddressChoices.size(); ++i) {
            FAddressChoices[i] = new QComboBox(p);
            FAddressChoices[i]->setObjectName(QString::fromLatin1(names[i]));
            f->addRow(QString::fromLatin1(labels[i]), FAddressChoices[i]);
            connect(FAddressChoices[i], &QComboBox::currentIndexChanged, this,
                    &TWizardForm::UpdateCombinedLine);
        }
        v->addLayout(f);
        FCombinedLine = new QLabel(p);
        FCombinedLine->setObjectName(QStringLiteral("CombinedLine"));
        v->addWidget(FCombinedLine);
        v->addStretch(1);
        NewPage(wpLabelFields, FAddressChoices[0]);
    }
    {
        QWidget* p = page(wpGreetingCardText);
        auto* f = form(p);
        FOutsideText = MultiLine(p, 3);
        FOutsideText->setObjectName(QStringLiteral("OutsideText"));
        FInsideLeftText = MultiLine(p, 3);
        FInsideLeftText->setObjectName(QStringLiteral("InsideLeftText"));
        FInsideRightText = MultiLine(p, 3);
        FInsideRightText->setObjectName(QStringLiteral("InsideRightText"));
        FFromText = MultiLine(p, 2);
        FFromText->setObjectName(QStringLiteral("FromText"));
        FOutsideLabel = new QLabel(QStringLiteral("Outside text:"), p);
        FInsideLeftLabel = new QLabel(p);
        FInsideLeftLabel->setObjectName(QStringLiteral("InsideLeftLabel"));
        FInsideRightLabel = new QLabel(p);
        FInsideRightLabel->setObjectName(QStringLiteral("InsideRightLabel"));
        f->addRow(FOutsideLabel, FOutsideText);
        f->addRow(FInsideLeftLabel, FInsideLeftText);
        f->addRow(FInsideRightLabel, FInsideRightText);
        f->addRow(QStringLiteral("\"From\" text:"), FFromText);
        NewPage(wpGreetingCardText, FOutsideText);
    }
    {
        QWidget* p = page(wpResumeInformation);
        auto* v = new QVBoxLayout(p);
        auto* f = new QFormLayout;
        FResumeName = lineEdit(p, "ResumeName");
        FResumeAddress = MultiLine(p, 2);
        FResumeAddress->setObjectName(QStringLiteral("ResumeAddress"));
        f->addRow(QStringLiteral("Name:"), FResumeName);
        f->addRow(QStringLiteral("Address && Phone:"), FResumeAddress);
        auto* objective = new QHBoxLayout;
        FObjective = new QButtonGroup(p);
        for (int i = 0; i < 2; ++i) {
            auto* radio = new QRadioButton(i == 0 ? QStringLiteral("Objective")
                                                  : QStringLiteral("Summary"),
                                           p);
            FObjective->addButton(radio, i);
            objective->addWidget(radio);
        }
        objective->addStretch(1);
        FObjectiveText = MultiLine(p, 2);
        FObjectiveText->setObjectName(QStringLiteral("ObjectiveText"));
        auto* objectiveBox = new QVBoxLayout;
        objectiveBox->addLayout(objective);
        objectiveBox->addWidget(FObjectiveText);
        f->addRow(objectiveBox);
        for (size_t i = 0; i < 4; ++i) {
            FSectionTitles[i] = new QLabel(p);
            FSectionChecksBox[i] = new QWidget(p);
            auto* checks = new QHBoxLayout(FSectionChecksBox[i]);
            checks->setContentsMargins(0, 0, 0, 0);
            FSectionTexts[i] = MultiLine(p, 2);
            FSectionTexts[i]->setObjectName(QStringLiteral("SectionText%1").arg(i + 1));
            auto* box = new QVBoxLayout;
            box->addWidget(FSectionTitles[i]);
            box->addWidget(FSectionChecksBox[i]);
            box->addWidget(FSectionTexts[i]);
            f->addRow(box);
        }
        v->addLayout(f);
        auto* formatting = new QHBoxLayout;
        FTitleFormatting = RadioGroup(p, formatting, SectionTitleFormattingNames(),
                                      QStringLiteral("Section Title Formatting"));
        v->addLayout(formatting);
        NewPage(wpResumeInformation, FResumeName);
    }
    {
        QWidget* p = page(wpAddBorder);
        auto* f = form(p);
        FBorderColor = new TColorGrid(p);
        FBorderColor->setObjectName(QStringLiteral("BorderColor"));
        FBorderColor->SetSelectedIndex(0);
        FBorderSize = new QSpinBox(p);
        FBorderSize->setObjectName(QStringLiteral("BorderSize"));
        FBorderSize->setRange(0, 100);
        f->addRow(QStringLiteral("Border Color:"), FBorderColor);
        f->addRow(QStringLiteral("Border Size:"), FBorderSize);
        NewPage(wpAddBorder, FBorderColor);
    }
    {
        QWidget* p = page(wpAddPicture);
        auto* row = new QHBoxLayout(p);
        FFolders = new QFileSystemModel(this);
        FFolders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
        FFolders->setRootPath(QString());
        FFolderView = new QTreeView(p);
        FFolderView->setObjectName(QStringLiteral("PictureFolders"));
        FFolderView->setModel(FFolders);
        for (int column = 1; column < FFolders->columnCount(); ++column)
            FFolderView->hideColumn(column);
        FFolderView->setHeaderHidden(true);
        FFiles = new QFileSystemModel(this);
        FFiles->setFilter(QDir::Files);
        FFiles->setNameFilters({QStringLiteral("*.bmp"), QStringLiteral("*.jpg"),
                                QStringLiteral("*.pcx"), QStringLiteral("*.png"),
                                QStringLiteral("*.tga"), QStringLiteral("*.tif"),
                                QStringLiteral("*.wmf")});
        FFiles->setNameFilterDisables(false);
        FFileView = new QListView(p);
        FFileView->setObjectName(QStringLiteral("PictureFiles"));
        FFileView->setModel(FFiles);
        FPicturePreview = new QLabel(p);
        FPicturePreview->setObjectName(QStringLiteral("PicturePreview"));
        FPicturePreview->setFixedSize(160, 160);
        FPicturePreview->setAlignment(Qt::AlignCenter);
        FPicturePreview->setFrameShape(QFrame::Box);
        auto* files = new QVBoxLayout;
        files->addWidget(new QLabel(QStringLiteral("Pictures (*.BMP;*.JPG;*.PCX;*.PNG;*.TGA;*.TIF;*.WMF)"), p));
        files->addWidget(FFileView, 1);
        row->addWidget(FFolderView, 1);
        row->addLayout(files, 1);
        row->addWidget(FPicturePreview, 0, Qt::AlignTop);
        connect(FFolderView->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &TWizardForm::PictureFolderChosen);
        connect(FFileView, &QListView::clicked, this, &TWizardForm::PictureFileChosen);
        connect(FFileView, &QListView::activated, this, &TWizardForm::PictureFileChosen);
        NewPage(wpAddPicture, FFolderView);
    }
    FillLabelTypes();
}

TWizardForm::TResult TWizardForm::Run() {
    FResult = Cancelled;
    if (exec() != Accepted && FResult != UseTemplate) FResult = Cancelled;
    if (FResult != Created) FCard.reset();
    return FResult;
}

std::unique_ptr<TCard> TWizardForm::TakeCard() {
    return std::move(FCard);
}

void TWizardForm::ShowPage() {
    const int page = FNavigation.CurrentPage();
    if (page < 0) return;
    FPages->setCurrentIndex(page);
    FTitle->setText(WizardPageName(page));
    EnterPage(page);
    UpdateButtons();
    if (QWidget* first = FFirstControl[size_t(page)]) first->setFocus();
}

void TWizardForm::UpdateButtons() {
    const int page = FNavigation.CurrentPage();
    // Labels are laid out on a stock: none listed, none to go on with.
    const bool stockMissing = page == wpLabelType && !CurrentStock();
    FStartButton->setEnabled(FNavigation.StartEnabled());
    FPreviousButton->setEnabled(FNavigation.PreviousEnabled());
    FNextButton->setEnabled(FNavigation.NextEnabled() && !stockMissing);
    FCreateButton->setEnabled(FNavigation.CreateEnabled() && !stockMissing &&
                              !(page == wpLabelDatabase && FFields.isEmpty()));
    (FCreateButton->isEnabled() ? FCreateButton : FNextButton)->setDefault(true);
}

void TWizardForm::EnterPage(int page) {
    switch (page) {
    case wpLabelType:
        RunLabelQuery();
        break;
    case wpLabelSimilarity:
        UpdateSimilarityPreview();
        break;
    case wpLabelFields:
        FillAddressChoices();
        break;
    case wpGreetingCardText:
        GreetingFoldChanged();
        break;
    case wpResumeInformation:
        FillResumeSections();
        break;
    }
}

void TWizardForm::StartClick() {
    FNavigation.Start();
    ShowPage();
}

void TWizardForm::PreviousClick() {
    if (FNavigation.Previous()) ShowPage();
}

void TWizardForm::NextClick() {
    if (!FNextButton->isEnabled()) return;
    if (FNavigation.Next()) ShowPage();
}

void TWizardForm::CreateClick() {
    if (!FCreateButton->isEnabled()) return;
    if (FNavigation.LabelTypeMode()) {
        FResult = Created;
        accept();
        return;
    }
    try {
        FCard = BuildWizardCard(FNavigation.DocumentType(), Answers());
    } catch (const std::exception& e) {
        FCard.reset();
        AppContext().Messages().Error(QString::fromUtf8(e.what()));
        return;
    }
    if (!FCard) return;
    FResult = Created;
    accept();
}

void TWizardForm::TemplateClick() {
    FResult = UseTemplate;
    done(Rejected);
}

void TWizardForm::FoldChanged(QButtonGroup* group, QLabel* picture) {
    picture->setPixmap(CardFormatPicture(Checked(group)));
}

void TWizardForm::GreetingFoldChanged() {
    const int fold = Checked(FGreetingFold);
    const bool topBottom = FoldHasTopAndBottom(fold);
    FInsideLeftLabel->setText(topBottom ? QStringLiteral("Inside top text:")
                                        : QStringLiteral("Inside left text:"));
    FInsideRightLabel->setText(topBottom ? QStringLiteral("Inside bottom text:")
                                         : QStringLiteral("Inside right text:"));
    const bool inside = FoldHasInside(fold);
    for (QWidget* w : std::initializer_list<QWidget*>{FInsideLeftLabel, FInsideLeftText,
                                                      FInsideRightLabel, FInsideRightText})
        w->setVisible(inside);
}

void TWizardForm::FillLabelTypes() {
    const bool categories = FNavigation.LabelTypeMode() || FNavigation.DocumentType() == 10;
    {
        const QSignalBlocker blocker(FLabelTypes);
        FLabelTypes->clear();
        if (categories)
            for (const TLabelTypeItem& item : LabelTypeItems(Checked(FCategory)))
                FLabelTypes->addItem(item.Name);
        if (FLabelTypes->count() > 0) FLabelTypes->setCurrentRow(0);
    }
    FLabelTypes->setVisible(categories);
    FLabelTypePicture->setVisible(categories);
    LabelTypeChanged();
}

void TWizardForm::LabelTypeChanged() {
    const std::vector<TLabelTypeItem>& items = LabelTypeItems(Checked(FCategory));
    const int row = FLabelTypes->currentRow();
    FLabelTypePicture->setPixmap(row >= 0 && row < int(items.size())
                                     ? LabelTypePicture(items[size_t(row)].Picture)
                                     : QPixmap());
    if (FNavigation.CurrentPage() == wpLabelType) RunLabelQuery();
}

void TWizardForm::RunLabelQuery() {
    if (!FCatalogueRead) {
        FCatalogueRead = true;
        try {
            FCatalogue = FServices.LabelStocks();
        } catch (const std::exception& e) {
            AppContext().Messages().Error(QString::fromUtf8(e.what()));
        }
    }
    const bool categories = FNavigation.LabelTypeMode() || FNavigation.DocumentType() == 10;
    const QString previous = CurrentStock() ? CurrentStock()->Stock.CatNum : QString();
    FListed = SearchLabelCatalogue(
        QueryLabelCatalogue(FCatalogue, FNavigation.DocumentType(),
                            categories ? Checked(FCategory) : -1,
                            categories ? std::max(FLabelTypes->currentRow(), 0) : 0),
        FStockSearch->text());
    const QSignalBlocker blocker(FStockList);
    FStockList->clear();
    int keep = 0;
    for (size_t i = 0; i < FListed.size(); ++i) {
        const TLabelCatalogueRow& row = FListed[i];
        FStockList->addItem(row.FromSystem ? row.Stock.CatNum + QStringLiteral(" (system)")
                                           : row.Stock.CatNum);
        if (row.Stock.CatNum == previous) keep = int(i);
    }
    if (!FListed.empty()) FStockList->setCurrentRow(keep);
    StockChanged();
}

std::optional<TLabelCatalogueRow> TWizardForm::CurrentStock() const {
    const int row = FStockList->currentRow();
    if (row < 0 || row >= int(FListed.size())) return std::nullopt;
    return FListed[size_t(row)];
}

void TWizardForm::StockChanged() {
    const std::optional<TLabelCatalogueRow> row = CurrentStock();
    if (!row) {
        FStockDetails->clear();
        FSheetPreview->clear();
    } else {
        const TLabelStock& s = row->Stock;
        FStockDetails->setText(
            QStringLiteral("Label Width: %1\nLabel Height: %2\nLabels per page: %3 x %4\n"
                           "Color: %5\nPrinter Type: %6")
                .arg(Inches(s.LabelWidth), Inches(s.LabelHeight))
                .arg(s.NumAcross)
                .arg(s.NumDown)
                .arg(row->Color, row->LabelFeed));
        FSheetPreview->setPixmap(
            QPixmap::fromImage(LabelSheetPicture(*row, SheetPreviewSize, TLabelMarks::None)));
    }
    UpdateButtons();
}

void TWizardForm::SimilarityChanged() {
    FNavigation.SetLabelsDifferent(Checked(FSimilarity) == 1);
    UpdateSimilarityPreview();
    UpdateButtons();
}

void TWizardForm::UpdateSimilarityPreview() {
    const std::optional<TLabelCatalogueRow> row = CurrentStock();
    if (!row) {
        FSimilarityPreview->clear();
        return;
    }
    FSimilarityPreview->setPixmap(QPixmap::fromImage(LabelSheetPicture(
        *row, SheetPreviewSize,
        FNavigation.LabelsDifferent() ? TLabelMarks::Numbered : TLabelMarks::Same)));
}

void TWizardForm::DatabaseChosen(const QString& name, const QStringList& fields) {
    FTableName->setText(name);
    FFields = fields;
    FSelected.assign(size_t(fields.size()), true);
    FFieldList->clear();
    FFieldList->addItems(fields);
    FSelectFields->setEnabled(true);
    FNavigation.SetDatabaseChosen(true);
    UpdateButtons();
}

void TWizardForm::OpenDatabaseClick() {
    const QString file = FServices.OpenDatabaseFile(this);
    if (file.isEmpty()) return;
    const QFileInfo info(file);
    auto table = std::make_unique<TTable>();
    try {
        table->SetTable(info.absolutePath(), info.fileName());
        table->Open();
    } catch (const std::exception& e) {
        AppContext().Messages().Error(QString::fromUtf8(e.what()));
        return;
    }
    QStringList fields;
    for (const TFieldDef& field : table->FieldDefs())
        fields.append(field.Name);
    FTable = std::move(table);
    FUseAddressBook = false;
    DatabaseChosen(info.fileName(), fields);
}

// The design dialog needs the table's name first: the new table's file is asked for before.
void TWizardForm::CreateDatabaseClick() {
    QString file = FServices.NewDatabaseFile(this);
    if (file.isEmpty()) return;
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".db");
    const QFileInfo info(file);
    auto table = std::make_unique<TTable>();
    bool created = false;
    try {
        table->SetTable(info.absolutePath(), info.fileName());
        TDatabaseDialog dialog;
        dialog.DataSet = table.get();
        dialog.AllowedFieldTypes.SetBits(TFieldTypeSet::CreateCommand);
        dialog.InitialDir = info.absolutePath();
        created = FServices.DesignDatabase(dialog, this);
        if (created) table->Open();
    } catch (const std::exception& e) {
        AppContext().Messages().Error(QString::fromUtf8(e.what()));
        return;
    }
    if (!created) return;
    QStringList fields;
    for (const TFieldDef& field : table->FieldDefs())
        fields.append(field.Name);
    FTable = std::move(table);
    FUseAddressBook = false;
    DatabaseChosen(info.fileName(), fields);
}

void TWizardForm::AddressBookClick() {
    FTable.reset();
    FUseAddressBook = true;
    DatabaseChosen(QStringLiteral("Address Book"), TAddressBook::FieldNames());
}

void TWizardForm::SelectFieldsClick() {
    std::vector<bool> selected = FSelected;
    if (!FServices.SelectFields(FFields, selected, this)) return;
    selected.resize(size_t(FFields.size()), false);
    FSelected = selected;
}

void TWizardForm::FillAddressChoices() {
    QStringList selected;
    for (int i = 0; i < FFields.size(); ++i)
        if (size_t(i) < FSelected.size() && FSelected[size_t(i)]) selected.append(FFields[i]);
    const TAddressFields preset = PreselectAddressFields(selected);
    const QString presets[] = {preset.City, preset.State, preset.Zip};
    for (size_t i = 0; i < FAddressChoices.size(); ++i) {
        QComboBox* box = FAddressChoices[i];
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItem(QString());
        box->addItems(selected);
        box->setCurrentIndex(std::max(0, box->findText(presets[i])));
    }
    UpdateCombinedLine();
}

void TWizardForm::UpdateCombinedLine() {
    FCombinedLine->setText(CombinedAddressLine(Answers().Address));
}

void TWizardForm::FillResumeSections() {
    const int type = Checked(FResumeType);
    if (type == FResumeSectionsType) return;
    FResumeSectionsType = type;
    for (size_t i = 0; i < 4; ++i) {
        const QStringList names = ResumeSectionNames(type, int(i) + 1);
        for (QCheckBox* check : FSectionChecks[i])
            delete check;
        FSectionChecks[i].clear();
        if (names.size() == 1) {
            FSectionTitles[i]->setText(names.front() + QLatin1Char(':'));
            FSectionChecksBox[i]->hide();
            continue;
        }
        FSectionTitles[i]->setText(QStringLiteral("Section %1:").arg(i + 1));
        for (int k = 0; k < names.size(); ++k) {
            auto* check = new QCheckBox(names[k], FSectionChecksBox[i]);
            check->setChecked(k == 0);
            FSectionChecksBox[i]->layout()->addWidget(check);
            FSectionChecks[i].push_back(check);
        }
        FSectionChecksBox[i]->show();
    }
    // The check boxes are made after the text boxes: Tab still goes down the page.
    QWidget* previous = FObjectiveText;
    for (size_t i = 0; i < 4; ++i) {
        for (QCheckBox* check : FSectionChecks[i]) {
            setTabOrder(previous, check);
            previous = check;
        }
        setTabOrder(previous, FSectionTexts[i]);
        previous = FSectionTexts[i];
    }
}

void TWizardForm::PictureFolderChosen() {
    const QString folder = FFolders->filePath(FFolderView->currentIndex());
    FFileView->setRootIndex(FFiles->setRootPath(folder));
}

void TWizardForm::PictureFileChosen() {
    const QString file = FFiles->filePath(FFileView->currentIndex());
    QImage image;
    try {
        image = LoadPictureImage(file);
    } catch (const std::exception& e) {
        AppContext().Messages().Error(QString::fromUtf8(e.what()));
    }
    if (image.isNull()) {
        FPictureFile.clear();
        FPicturePreview->clear();
        return;
    }
    FPictureFile = file;
    FPicturePreview->setPixmap(QPixmap::fromImage(
        image.scaled(FPicturePreview->size() - QSize(4, 4), Qt::KeepAspectRatio,
                     Qt::SmoothTransformation)));
}

TWizardAnswers TWizardForm::Answers() const {
    TWizardAnswers a;
    const int type = FNavigation.DocumentType();
    a.GreetingFold = Checked(FGreetingFold);
    a.BrochureFold = Checked(FBrochureFold);
    switch (type) {
    case 1:
        a.Headline = FNewsHeadline->text();
        break;
    case 2:
        a.Headline = FFlyerHeadline->text();
        a.Text = Plain(FFlyerText);
        break;
    case 8:
        a.Headline = FPosterHeadline->text();
        a.Text = Plain(FPosterText);
        break;
    }
    const size_t certificate = type == 4 ? 1 : 0;
    a.MainText = FMainText[certificate]->text();
    a.SecondaryText = FSecondaryText[certificate]->text();
    a.CompanyName = FCompany->text();
    a.Address1 = FAddress1->text();
    a.Address2 = FAddress2->text();
    a.Phone = FPhone->text();
    a.AddressAtBottom = Checked(FAddressPosition) == 1;
    a.ResumeType = Checked(FResumeType);
    a.BusinessCardChoice = Checked(FBusinessCard);
    a.ReturnAddress = Plain(FReturnAddress);
    a.MailingAddress = Plain(FMailingAddress);
    a.BannerText = FBannerText->text();
    a.CardName = FCardLines[0]->text();
    a.CardCompany = FCardLines[1]->text();
    a.CardTitle = FCardLines[2]->text();
    a.CardAddress1 = FCardLines[3]->text();
    a.CardAddress2 = FCardLines[4]->text();
    a.CardPhone = FCardLines[5]->text();
    a.OutsideText = Plain(FOutsideText);
    if (FoldHasInside(a.GreetingFold)) {
        a.InsideLeftText = Plain(FInsideLeftText);
        a.InsideRightText = Plain(FInsideRightText);
    }
    a.FromText = Plain(FFromText);
    a.ResumeName = FResumeName->text();
    a.ResumeAddress = Plain(FResumeAddress);
    a.ObjectiveChoice = Checked(FObjective);
    a.ObjectiveText = Plain(FObjectiveText);
    for (size_t i = 0; i < 4; ++i) {
        a.SectionTexts[i] = Plain(FSectionTexts[i]);
        for (const QCheckBox* check : FSectionChecks[i])
            a.SectionChecks[i].push_back(check->isChecked());
    }
    a.TitleFormatting = Checked(FTitleFormatting);
    a.BorderColor = std::max(FBorderColor->SelectedIndex(), 0);
    a.BorderSize = FBorderSize->value();
    a.PictureFile = FPictureFile;
    const bool categories = FNavigation.LabelTypeMode() || type == 10;
    a.LabelCategory = categories ? Checked(FCategory) : -1;
    a.LabelStock = CurrentStock();
    a.LabelsDifferent = FNavigation.LabelsDifferent();
    a.LabelText = Plain(FLabelText);
    a.UseAddressBook = FUseAddressBook;
    if (FTable) {
        a.TableFolder = FTable->Folder();
        a.TableName = FTable->TableName();
    }
    for (int i = 0; i < FFields.size(); ++i)
        if (size_t(i) < FSelected.size() && FSelected[size_t(i)]) a.SelectedFields.append(FFields[i]);
    a.Address = {FAddressChoices[0]->currentText(), FAddressChoices[1]->currentText(),
                 FAddressChoices[2]->currentText()};
    return a;
}
