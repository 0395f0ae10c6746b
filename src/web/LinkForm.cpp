#include "web/LinkForm.h"

#include "document/CardObject.h"
#include "web/DialogButtons.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Page kinds are grouped under "Page in Project"; this id stands for all of them there.
constexpr int PageInProject = ltPage;

bool IsPageKind(int linkType) {
    return linkType >= ltPreviousPage && linkType <= ltPage;
}

QRadioButton* AddRadio(QButtonGroup* group, QLayout* layout, const QString& caption, int id,
                       const char* name) {
    auto* button = new QRadioButton(caption);
    button->setObjectName(QLatin1String(name));
    group->addButton(button, id);
    layout->addWidget(button);
    return button;
}

} // namespace

TLinkForm::TLinkForm(int linkType, const QString& target, const TLinkPages& pages,
                     QWidget* parent)
    : QDialog(parent), FPages(pages) {
    setObjectName(QStringLiteral("LinkForm"));
    setWindowTitle(QStringLiteral("Link Properties"));
    AskFileName = [this](const QString& current) {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Browse"), current);
    };

    auto* kindGroup = new QGroupBox(QStringLiteral("Link Type:"), this);
    BuildKindGroup(kindGroup);
    FPageGroup = new QGroupBox(QStringLiteral("Page in your current project:"), this);
    BuildPageGroup(FPageGroup);

    QDialogButtonBox* buttons = AddWebDialogButtons(*this, HelpContext);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(kindGroup);
    layout->addWidget(FPageGroup);
    layout->addWidget(buttons);

    const TLinkChoice opening = OpeningLinkChoice(linkType, target, pages);
    if (IsPageKind(opening.Type)) {
        FPageNumber->setValue(std::clamp(LinkPageNumber(opening.Target), 1, FPageNumber->maximum()));
        if (QAbstractButton* page = FPageKinds->button(opening.Type)) page->setChecked(true);
        Choose(pages.PageInProjectEnabled() ? PageInProject : ltNone);
    } else {
        FText->setText(opening.Target);
        Choose(opening.Type >= ltAddress && opening.Type <= ltNone ? opening.Type : ltNone);
    }
}

void TLinkForm::BuildKindGroup(QGroupBox* group) {
    FKinds = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(group);
    AddRadio(FKinds, layout, QStringLiteral("&Web Address or Document"), ltAddress, "AddressButton");
    AddRadio(FKinds, layout, QStringLiteral("&E-mail Address"), ltEmail, "EmailButton");
    AddRadio(FKinds, layout, QStringLiteral("&File on your computer"), ltFile, "FileButton");
    AddRadio(FKinds, layout, QStringLiteral("&Page in Project"), PageInProject, "PageButton")
        ->setEnabled(FPages.PageInProjectEnabled());
    AddRadio(FKinds, layout, QStringLiteral("&None"), ltNone, "NoneButton");

    auto* textRow = new QHBoxLayout;
    FText = new QLineEdit(group);
    FText->setObjectName(QStringLiteral("LinkText"));
    FBrowse = new QPushButton(QStringLiteral("&Browse..."), group);
    FBrowse->setObjectName(QStringLiteral("BrowseButton"));
    textRow->addWidget(FText, 1);
    textRow->addWidget(FBrowse);
    layout->addLayout(textRow);

    connect(FKinds, &QButtonGroup::idClicked, this, [this] { UpdateEnabling(); });
    connect(FBrowse, &QPushButton::clicked, this, [this] {
        const QString chosen = AskFileName ? AskFileName(FText->text()) : QString();
        if (!chosen.isEmpty()) FText->setText(chosen);
    });
}

void TLinkForm::BuildPageGroup(QGroupBox* group) {
    FPageKinds = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(group);
    AddRadio(FPageKinds, layout, QStringLiteral("Fir&st"), ltFirstPage, "FirstButton")
        ->setChecked(true);
    AddRadio(FPageKinds, layout, QStringLiteral("&Last"), ltLastPage, "LastButton");
    AddRadio(FPageKinds, layout, QStringLiteral("Ne&xt"), ltNextPage, "NextButton")
        ->setEnabled(FPages.NextEnabled());
    AddRadio(FPageKinds, layout, QStringLiteral("Pre&vious"), ltPreviousPage, "PreviousButton")
        ->setEnabled(FPages.PreviousEnabled());
    auto* pageRow = new QHBoxLayout;
    AddRadio(FPageKinds, pageRow, QStringLiteral("Pa&ge"), ltPage, "PageNumberButton");
    FPageNumber = new QSpinBox(group);
    FPageNumber->setObjectName(QStringLiteral("PageNumber"));
    FPageNumber->setRange(1, std::max(1, FPages.Count));
    pageRow->addWidget(FPageNumber);
    pageRow->addStretch();
    layout->addLayout(pageRow);
    connect(FPageKinds, &QButtonGroup::idClicked, this, [this] { UpdateEnabling(); });
}

void TLinkForm::UpdateEnabling() {
    const int kind = FKinds->checkedId();
    FText->setEnabled(kind == ltAddress || kind == ltEmail || kind == ltFile);
    FBrowse->setEnabled(kind == ltFile);
    FPageGroup->setEnabled(kind == PageInProject);
    FPageNumber->setEnabled(kind == PageInProject && FPageKinds->checkedId() == ltPage);
}

void TLinkForm::Choose(int linkType) {
    const int kind = IsPageKind(linkType) ? PageInProject : linkType;
    if (IsPageKind(linkType) && linkType != PageInProject)
        if (QAbstractButton* page = FPageKinds->button(linkType)) page->setChecked(true);
    if (QAbstractButton* button = FKinds->button(kind); button && button->isEnabled())
        button->setChecked(true);
    UpdateEnabling();
}

void TLinkForm::SetText(const QString& text) {
    FText->setText(text);
}

void TLinkForm::SetPageNumber(int number) {
    FPageKinds->button(ltPage)->setChecked(true);
    FPageNumber->setValue(number);
    UpdateEnabling();
}

QAbstractButton* TLinkForm::KindButton(int linkType) const {
    return FKinds->button(linkType);
}

QAbstractButton* TLinkForm::PageKindButton(int linkType) const {
    return FPageKinds->button(linkType);
}

int TLinkForm::ChosenPageKind() const {
    const int page = FPageKinds->checkedId();
    return page < 0 ? ltFirstPage : page;
}

int TLinkForm::ChosenType() const {
    const int kind = FKinds->checkedId();
    if (kind == PageInProject) return ChosenPageKind();
    return kind < 0 ? ltNone : kind;
}

QString TLinkForm::ChosenTarget() const {
    return LinkTargetFor(ChosenType(), FText->text(), FPageNumber->value());
}
