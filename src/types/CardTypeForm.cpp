#include "types/CardTypeForm.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Template.h"
#include "storage/DialogHelp.h"
#include "types/CardType.h"
#include "types/DialogSupport.h"
#include "types/TypePictures.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace {

const QString CategoriesSection = QStringLiteral("Categories");
constexpr int StandardCategory = 0;
constexpr int PhotoCategory = 2;
constexpr int MetricPhotoCategory = 3;
constexpr int FormType = 13;

TTemplateChooser& DefaultChooser() {
    static TTemplateChooser chooser;
    return chooser;
}

QString CategoryKey(int index) {
    return QStringLiteral("Item%1").arg(index);
}

} // namespace

TWizardRun::TWizardRun(std::unique_ptr<TCard> card) : Card(std::move(card)) {}
TWizardRun::TWizardRun(TWizardRun&&) noexcept = default;
TWizardRun& TWizardRun::operator=(TWizardRun&&) noexcept = default;
TWizardRun::~TWizardRun() = default;

TWizardRun TWizardRun::Template() {
    TWizardRun run;
    run.UseTemplate = true;
    return run;
}

void SetDefaultTemplateChooser(TTemplateChooser chooser) {
    DefaultChooser() = std::move(chooser);
}

TCardTypeForm::TCardTypeForm(const TCardTypeServices& services, QWidget* parent)
    : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("CardTypeForm"));

    FTypeLabel = new QLabel(QStringLiteral("&Pick the type of card to create:"), this);
    FTypeLabel->setObjectName(QStringLiteral("TypeLabel"));
    FTypeList = new QListWidget(this);
    FTypeList->setObjectName(QStringLiteral("TypeList"));
    FTypeLabel->setBuddy(FTypeList);

    FCategoryLabel = new QLabel(QStringLiteral("&Show document types:"), this);
    FCategoryLabel->setObjectName(QStringLiteral("CategoryLabel"));
    FCategoryList = new QListWidget(this);
    FCategoryList->setObjectName(QStringLiteral("CategoryList"));
    FCategoryList->setFixedHeight(FCategoryList->fontMetrics().height() * 3 + 12);
    FCategoryLabel->setBuddy(FCategoryList);

    FPicture = new QLabel(this);
    FPicture->setObjectName(QStringLiteral("TypePicture"));
    FPicture->setAlignment(Qt::AlignCenter);
    FPicture->setFrameShape(QFrame::StyledPanel);
    FPicture->setFrameShadow(QFrame::Sunken);
    FPicture->setFixedSize(TypePictureSize + 24, TypePictureSize + 24);
    FPicture->setBackgroundRole(QPalette::Base);
    FPicture->setAutoFillBackground(true);

    FBlankButton = new QPushButton(QStringLiteral("&Blank card"), this);
    FBlankButton->setObjectName(QStringLiteral("BlankButton"));
    FTemplateButton = new QPushButton(QStringLiteral("Use &Template..."), this);
    FTemplateButton->setObjectName(QStringLiteral("TemplateButton"));
    FWizardButton = new QPushButton(QStringLiteral("Use &Wizard..."), this);
    FWizardButton->setObjectName(QStringLiteral("WizardButton"));
    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Cancel | QDialogButtonBox::Help, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpButton"));

    auto* lists = new QVBoxLayout;
    lists->addWidget(FTypeLabel);
    lists->addWidget(FTypeList, 1);
    lists->addWidget(FCategoryLabel);
    lists->addWidget(FCategoryList);
    auto* picture = new QVBoxLayout;
    picture->addSpacing(FTypeLabel->sizeHint().height() + lists->spacing());
    picture->addWidget(FPicture);
    picture->addStretch(1);
    auto* actions = new QVBoxLayout;
    actions->addSpacing(FTypeLabel->sizeHint().height() + lists->spacing());
    actions->addWidget(FBlankButton);
    actions->addWidget(FTemplateButton);
    actions->addWidget(FWizardButton);
    actions->addStretch(1);
    actions->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(picture);
    layout->addLayout(actions);
    resize(520, 380);

    connect(FTypeList, &QListWidget::currentItemChanged, this, &TCardTypeForm::TypeListChange);
    connect(FTypeList, &QListWidget::itemActivated, this, &TCardTypeForm::TypeListDblClick);
    connect(FCategoryList, &QListWidget::itemChanged, this, &TCardTypeForm::CategoryListChange);
    connect(FBlankButton, &QPushButton::clicked, this, &TCardTypeForm::BlankButtonClick);
    connect(FTemplateButton, &QPushButton::clicked, this, &TCardTypeForm::TemplateButtonClick);
    connect(FWizardButton, &QPushButton::clicked, this, &TCardTypeForm::WizardButtonClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowDialogHelp(HelpContext); });

    FormCreate();
}

TCardTypeForm::~TCardTypeForm() {
    WriteCategories();
}

void TCardTypeForm::FormCreate() {
    setWindowTitle(WithDocumentTerm(QStringLiteral("Card Type")));
    FTypeLabel->setText(WithDocumentTerm(FTypeLabel->text()));
    FBlankButton->setText(WithDocumentTerm(FBlankButton->text()));

    // The NCR category is never offered here; of the photo papers, the measuring system's.
    const TSettingsStore& settings = AppContext().Settings();
    const int photo = AppContext().Metric ? MetricPhotoCategory : PhotoCategory;
    for (int category : {StandardCategory, photo}) {
        const TTypeCategory& range = TypeCategory(category);
        bool offered = false;
        for (int type = range.FirstType; type <= range.LastType; ++type)
            offered = offered || IsOffered(type);
        if (!offered) continue;
        auto* item = new QListWidgetItem(QString::fromUtf8(range.Name));
        item->setData(Qt::UserRole, category);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        const int index = FCategoryList->count();
        item->setCheckState(settings.ReadBool(CategoriesSection, CategoryKey(index), true)
                                ? Qt::Checked
                                : Qt::Unchecked);
        FCategoryList->addItem(item);
    }
    const QSignalBlocker blocker(FCategoryList);
    if (FCategoryList->count() == 1) {
        FCategoryList->item(0)->setCheckState(Qt::Checked);
        FCategoryList->hide();
        FCategoryLabel->hide();
    }
    // Settings that uncheck every category would leave nothing to choose from.
    bool any = false;
    for (int i = 0; i < FCategoryList->count(); ++i)
        any = any || FCategoryList->item(i)->checkState() == Qt::Checked;
    if (!any && FCategoryList->count() > 0) FCategoryList->item(0)->setCheckState(Qt::Checked);
    for (int i = 0; i < FCategoryList->count(); ++i)
        FChecked.push_back(FCategoryList->item(i)->checkState() == Qt::Checked);
    FillTypeList();
    const qsizetype initial = ListedTypes().indexOf(FServices.InitialType);
    if (initial > 0) FTypeList->setCurrentRow(int(initial));
}

bool TCardTypeForm::IsOffered(int documentType) const {
    return FServices.Types.empty() || std::find(FServices.Types.begin(), FServices.Types.end(),
                                                documentType) != FServices.Types.end();
}

void TCardTypeForm::CategoryListChange(QListWidgetItem* item) {
    const int index = FCategoryList->row(item);
    if (index < 0 || size_t(index) >= FChecked.size()) return;
    const bool checked = item->checkState() == Qt::Checked;
    if (checked == FChecked[size_t(index)]) return;
    if (!checked && std::count(FChecked.begin(), FChecked.end(), true) == 1) {
        AppContext().Messages().Error(QStringLiteral("You must check at least one item."));
        const QSignalBlocker blocker(FCategoryList);
        item->setCheckState(Qt::Checked);
        return;
    }
    FChecked[size_t(index)] = checked;
    FillTypeList();
}

void TCardTypeForm::FillTypeList() {
    const QSignalBlocker blocker(FTypeList);
    FTypeList->clear();
    for (int i = 0; i < FCategoryList->count(); ++i) {
        const QListWidgetItem* category = FCategoryList->item(i);
        if (category->checkState() != Qt::Checked) continue;
        const TTypeCategory& range = TypeCategory(category->data(Qt::UserRole).toInt());
        for (int type = range.FirstType; type <= range.LastType; ++type) {
            if (!IsOffered(type)) continue;
            auto* item = new QListWidgetItem(QString::fromUtf8(DocumentTypeInfo(type)->Name));
            item->setData(Qt::UserRole, type);
            FTypeList->addItem(item);
        }
    }
    if (FTypeList->count() > 0) FTypeList->setCurrentRow(0);
    TypeListChange();
}

QList<int> TCardTypeForm::ListedTypes() const {
    QList<int> types;
    for (int i = 0; i < FTypeList->count(); ++i)
        types.append(FTypeList->item(i)->data(Qt::UserRole).toInt());
    return types;
}

void TCardTypeForm::TypeListChange() {
    const QListWidgetItem* item = FTypeList->currentItem();
    FType = item ? item->data(Qt::UserRole).toInt() : -1;
    const TDocumentTypeInfo* info = DocumentTypeInfo(FType);
    FPicture->setPixmap(info ? DocumentTypePicture(QString::fromLatin1(info->Picture)) : QPixmap());
    FBlankButton->setEnabled(info && BlankAllowed(FType));
    FWizardButton->setEnabled(info && WizardAllowed(FType));
    FTemplateButton->setEnabled(info && TemplateAllowed(FType));
    FBlankButton->setDefault(FBlankButton->isEnabled());
}

void TCardTypeForm::TypeListDblClick() {
    for (QPushButton* button : {FBlankButton, FWizardButton, FTemplateButton})
        if (button->isEnabled()) {
            button->click();
            return;
        }
}

int TCardTypeForm::ChosenFormat() const {
    const TDocumentTypeInfo* info = DocumentTypeInfo(FType);
    return info ? info->Format : -1;
}

// Labels and banners are laid out from the label stock or banner text the wizard asks for.
bool TCardTypeForm::BlankAllowed(int documentType) {
    return documentType != 10 && documentType != 12 && documentType != 17 && documentType != 18;
}

// Forms and photo papers have no wizard.
bool TCardTypeForm::WizardExists(int documentType) {
    return documentType != FormType && !(documentType >= 19 && documentType <= 31);
}

bool TCardTypeForm::WizardAllowed(int documentType) const {
    return FServices.RunWizard && WizardExists(documentType);
}

bool TCardTypeForm::TemplateAllowed(int documentType) const {
    return FServices.Templates && FServices.Templates->CountForType(documentType) > 0 &&
           (FServices.ChooseTemplate || DefaultChooser());
}

void TCardTypeForm::SelectType(int documentType) {
    FType = documentType;
    FCard.reset();
    FFromTemplate = false;
}

bool TCardTypeForm::MakeBlank(int documentType) {
    const TDocumentTypeInfo* info = DocumentTypeInfo(documentType);
    if (!info || !BlankAllowed(documentType)) return false;
    SelectType(documentType);
    FCard = std::make_unique<TCard>(info->Format, documentType);
    return true;
}

QString TCardTypeForm::ChooseTemplateFile(int documentType) {
    if (FServices.ChooseTemplate) return FServices.ChooseTemplate(documentType);
    if (!FServices.Templates || !DefaultChooser()) return QString();
    const TCardLoader loader = FServices.LoadTemplate ? FServices.LoadTemplate : LoadTemplateCard;
    return DefaultChooser()(*FServices.Templates, documentType, loader, parentWidget());
}

bool TCardTypeForm::MakeFromTemplate(int documentType) {
    if (!TemplateAllowed(documentType)) return false;
    SelectType(documentType);
    const QString path = ChooseTemplateFile(documentType);
    if (path.isEmpty()) return false;
    try {
        FCard = FServices.LoadTemplate ? FServices.LoadTemplate(path) : LoadTemplateCard(path);
    } catch (const std::exception&) {
        FCard.reset();
    }
    if (!FCard) {
        AppContext().Messages().Error(QStringLiteral("Error opening the file %1.").arg(path));
        return false;
    }
    FFromTemplate = true;
    return true;
}

bool TCardTypeForm::MakeWithWizard(int documentType) {
    if (!WizardAllowed(documentType)) return false;
    SelectType(documentType);
    TWizardRun run = FServices.RunWizard(documentType);
    // The wizard's "Use Template..." hands the choice back to this dialog's template path.
    if (run.UseTemplate) return MakeFromTemplate(documentType);
    FCard = std::move(run.Card);
    return FCard != nullptr;
}

void TCardTypeForm::BlankButtonClick() {
    if (MakeBlank(FType)) accept();
}

void TCardTypeForm::TemplateButtonClick() {
    if (!TemplateAllowed(FType)) return;
    hide();
    if (MakeFromTemplate(FType))
        accept();
    else
        reject();
}

void TCardTypeForm::WizardButtonClick() {
    if (!WizardAllowed(FType)) return;
    hide();
    if (MakeWithWizard(FType))
        accept();
    else
        reject();
}

// A single type needs no choosing: its wizard runs at once; a type without one asks whether to
// start from a template when there are templates of it, and otherwise starts blank.
void TCardTypeForm::TakeShortcut(int documentType) {
    if (WizardAllowed(documentType)) {
        MakeWithWizard(documentType);
        return;
    }
    if (TemplateAllowed(documentType) &&
        (!BlankAllowed(documentType) ||
         AppContext().Messages().Confirm(QStringLiteral("Use a template?")))) {
        MakeFromTemplate(documentType);
        return;
    }
    MakeBlank(documentType);
}

std::unique_ptr<TCard> TCardTypeForm::Execute() {
    FCard.reset();
    FFromTemplate = false;
    const QList<int> types = ListedTypes();
    if (types.size() == 1) {
        TakeShortcut(types.front());
        setResult(FCard ? Accepted : Rejected);
        return std::move(FCard);
    }
    if (exec() != Accepted) FCard.reset();
    return std::move(FCard);
}

std::unique_ptr<TCard> TCardTypeForm::TakeCard() {
    return std::move(FCard);
}

void TCardTypeForm::WriteCategories() const {
    TSettingsStore& settings = AppContext().Settings();
    for (int i = 0; i < FCategoryList->count(); ++i)
        settings.WriteBool(CategoriesSection, CategoryKey(i),
                           FCategoryList->item(i)->checkState() == Qt::Checked);
}
