#include "document/OpenTemp.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Template.h"
#include "storage/DialogHelp.h"
#include "types/CardTypeForm.h"
#include "types/DialogSupport.h"
#include "types/TypePictures.h"

#include <QCollator>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <vector>

namespace {

QLabel* NewLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(WithDocumentTerm(text), parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TOpenTemplateForm::TOpenTemplateForm(TTemplateTable& templates, int documentType, TLoader loader,
                                     QWidget* parent)
    : QDialog(parent), FTemplates(templates),
      FLoader(loader ? std::move(loader) : TLoader(LoadTemplateCard)) {
    setObjectName(QStringLiteral("OpenTemplateForm"));
    setWindowTitle(WithDocumentTerm(QStringLiteral("Open Template")));

    FDescriptionList = new QListWidget(this);
    FDescriptionList->setObjectName(QStringLiteral("DescriptionList"));
    QLabel* descriptionLabel = NewLabel(QStringLiteral("&Template Description:"),
                                        QStringLiteral("DescriptionLabel"), this);
    descriptionLabel->setBuddy(FDescriptionList);

    FTemplateText = new QPlainTextEdit(this);
    FTemplateText->setObjectName(QStringLiteral("TemplateText"));
    FTemplateText->setReadOnly(true);

    FShapePicture = new QLabel(this);
    FShapePicture->setObjectName(QStringLiteral("ShapePicture"));
    FShapePicture->setAlignment(Qt::AlignCenter);
    FShapePicture->setFixedSize(TypePictureSize + 8, TypePictureSize + 8);

    FFileNameLabel = new QLabel(this);
    FFileNameLabel->setObjectName(QStringLiteral("FileNameLabel"));

    FPreview = new TPreviewFrame(this);

    auto* deleteButton = new QPushButton(QStringLiteral("&Delete Template..."), this);
    deleteButton->setObjectName(QStringLiteral("DeleteButton"));
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpButton"));

    auto* left = new QVBoxLayout;
    left->addWidget(descriptionLabel);
    left->addWidget(FDescriptionList, 2);
    left->addWidget(NewLabel(QStringLiteral("Template Text:"), QStringLiteral("TextLabel"), this));
    left->addWidget(FTemplateText, 1);
    auto* right = new QGridLayout;
    right->addWidget(
        NewLabel(QStringLiteral("Template Shape:"), QStringLiteral("ShapeLabel"), this), 0, 0);
    right->addWidget(FShapePicture, 1, 0, Qt::AlignLeft | Qt::AlignTop);
    right->addWidget(NewLabel(QStringLiteral("Preview:"), QStringLiteral("PreviewLabel"), this), 0,
                     1);
    right->addWidget(FPreview, 1, 1, 3, 1);
    right->addWidget(
        NewLabel(QStringLiteral("Template file name:"), QStringLiteral("FileNameCaption"), this), 2,
        0, Qt::AlignBottom);
    right->addWidget(FFileNameLabel, 3, 0, Qt::AlignTop);
    right->setRowStretch(4, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(deleteButton);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    resize(600, 440);

    connect(FDescriptionList, &QListWidget::currentItemChanged, this,
            &TOpenTemplateForm::DescriptionListChange);
    // A click shows the item again even when it is selected already (a file that could not be
    // read is tried again).
    connect(FDescriptionList, &QListWidget::itemClicked, this, &TOpenTemplateForm::ShowSelected);
    connect(FDescriptionList, &QListWidget::itemActivated, this, &TOpenTemplateForm::accept);
    connect(deleteButton, &QPushButton::clicked, this, &TOpenTemplateForm::DeleteButtonClick);
    connect(buttons, &QDialogButtonBox::accepted, this, &TOpenTemplateForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowDialogHelp(HelpContext); });

    // The list keeps itself in description order; equal descriptions stay in index order.
    std::vector<const TTemplate*> entries;
    for (int i = 0; i < templates.Count(); ++i)
        if (const TTemplate* entry = templates.Items(i))
            if (entry->DocumentType == documentType) entries.push_back(entry);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(entries.begin(), entries.end(),
                     [&collator](const TTemplate* a, const TTemplate* b) {
                         return collator.compare(a->Description, b->Description) < 0;
                     });
    {
        const QSignalBlocker blocker(FDescriptionList);
        for (const TTemplate* entry : entries) {
            auto* item = new QListWidgetItem(entry->Description);
            item->setData(Qt::UserRole, entry->FileName);
            FDescriptionList->addItem(item);
        }
        if (FDescriptionList->count() > 0) FDescriptionList->setCurrentRow(0);
    }
    ShowSelected();
}

TOpenTemplateForm::~TOpenTemplateForm() {
    FShown.reset();
    AppContext().Shell().ShowPreview(nullptr);
}

QString TOpenTemplateForm::Execute() {
    FResultPath.clear();
    return exec() == Accepted ? FResultPath : QString();
}

QStringList TOpenTemplateForm::Descriptions() const {
    QStringList descriptions;
    for (int i = 0; i < FDescriptionList->count(); ++i)
        descriptions.append(FDescriptionList->item(i)->text());
    return descriptions;
}

QString TOpenTemplateForm::SelectedFileName() const {
    const QListWidgetItem* item = FDescriptionList->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

TTemplate* TOpenTemplateForm::SelectedEntry() const {
    const QString key = SelectedFileName();
    return key.isEmpty() ? nullptr : FTemplates.FindTemplate(key);
}

void TOpenTemplateForm::DescriptionListChange() {
    ShowSelected();
}

void TOpenTemplateForm::ShowSelected() {
    const TTemplate* entry = SelectedEntry();
    // The card shown already is kept when it is the same file.
    if (!entry || entry->FileName.toUpper() != FShownKey.toUpper()) {
        FShown.reset();
        FShownKey.clear();
    }
    FTemplateText->clear();
    FShapePicture->clear();
    FFileNameLabel->clear();
    FPreview->SetPreview(QImage());
    if (!entry) return;

    const QString path = FTemplates.TemplatePath(*entry);
    if (!FShown) {
        try {
            FShown = FLoader(path);
        } catch (const std::exception&) {
            FShown.reset();
        }
        if (!FShown) {
            AppContext().Messages().Error(
                QStringLiteral("Error reading %1.").arg(QFileInfo(path).fileName()));
            return;
        }
        FShownKey = entry->FileName;
    }
    FPreview->SetPreview(DecodePreview(FShown->Preview.Bytes));
    FFileNameLabel->setText(QFileInfo(path).fileName());
    FShapePicture->setPixmap(CardFormatPicture(FShown->CardFormat));
    QString text = FShown->CollectText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    FTemplateText->setPlainText(text);
}

void TOpenTemplateForm::DeleteButtonClick() {
    QListWidgetItem* item = FDescriptionList->currentItem();
    TTemplate* entry = SelectedEntry();
    if (!item || !entry) return;
    if (!AppContext().Messages().Confirm(
            QStringLiteral("Delete the template with the description '%1'?").arg(item->text())))
        return;
    FShown.reset();
    FShownKey.clear();
    FTemplates.DeleteTemplate(entry);
    {
        const QSignalBlocker blocker(FDescriptionList);
        delete FDescriptionList->takeItem(FDescriptionList->row(item));
        if (FDescriptionList->count() > 0) FDescriptionList->setCurrentRow(0);
    }
    if (FDescriptionList->count() == 0) {
        ShowSelected();
        reject();
        return;
    }
    ShowSelected();
}

void TOpenTemplateForm::accept() {
    const TTemplate* entry = SelectedEntry();
    if (!FShown || !entry) {
        AppContext().Messages().Error(QStringLiteral("There is no template selected."));
        return;
    }
    FResultPath = FTemplates.TemplatePath(*entry);
    QDialog::accept();
}

void InstallTemplateChooser() {
    SetDefaultTemplateChooser([](TTemplateTable& templates, int documentType,
                                 const TCardLoader& loader, QWidget* parent) {
        TOpenTemplateForm form(templates, documentType, loader, parent);
        return form.Execute();
    });
}
