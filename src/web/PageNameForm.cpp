#include "web/PageNameForm.h"

#include "web/DialogButtons.h"
#include "web/WebGen.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox* NewChoice(QWidget* parent, const char* name, const QStringList& items, int current) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    box->setCurrentIndex(current);
    return box;
}

} // namespace

TPageNameForm::TPageNameForm(TWebPageGenerator& generator, const QString& defaultTitle,
                             QWidget* parent)
    : QDialog(parent), FGenerator(generator), FDefaultTitle(defaultTitle) {
    setObjectName(QStringLiteral("PageNameForm"));
    setWindowTitle(QStringLiteral("Page Name Properties"));

    auto* group = new QGroupBox(QStringLiteral("HTML Page Properties:"), this);
    FMainPage = NewChoice(group, "MainPageName",
                          {TWebPageGenerator::MainPageNameText(0),
                           TWebPageGenerator::MainPageNameText(1)},
                          generator.MainPageName);
    FExtension = NewChoice(group, "HtmlExtension",
                           {TWebPageGenerator::HtmlExtensionText(0),
                            TWebPageGenerator::HtmlExtensionText(1)},
                           generator.HtmlExtension);
    FTitle = new QLineEdit(generator.PageTitle.value_or(defaultTitle), group);
    FTitle->setObjectName(QStringLiteral("PageTitle"));
    auto* form = new QFormLayout(group);
    const auto addRow = [form, group](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, group);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(QStringLiteral("&Main Page Name:"), FMainPage);
    addRow(QStringLiteral("HTML File &Extension:"), FExtension);
    addRow(QStringLiteral("Page &Title:"), FTitle);

    QDialogButtonBox* buttons = AddWebDialogButtons(*this, HelpContext);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void TPageNameForm::accept() {
    FGenerator.MainPageName = FMainPage->currentIndex();
    FGenerator.HtmlExtension = FExtension->currentIndex();
    // A title left as the description keeps following the description of each publication.
    if (FTitle->text() != FDefaultTitle || FGenerator.PageTitle) FGenerator.PageTitle = FTitle->text();
    QDialog::accept();
}
