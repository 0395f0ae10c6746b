#include "platform/CustomDictionaryForm.h"

#include "document/Messages.h"
#include "platform/Spelling.h"
#include "storage/Exception.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

TCustomDictionaryForm::TCustomDictionaryForm(TCustomDictionary& dictionary, TMessageSink& messages,
                                             QWidget* parent)
    : QDialog(parent), FDictionary(dictionary), FMessages(messages) {
    setObjectName(QStringLiteral("CustomDictionaryForm"));
    setWindowTitle(QStringLiteral("Edit Custom Dictionary"));

    FNewWord = new QLineEdit(this);
    FNewWord->setObjectName(QStringLiteral("NewWord"));
    FWords = new QListWidget(this);
    FWords->setObjectName(QStringLiteral("Words"));
    FWords->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FWords->addItems(dictionary.Words());

    auto* add = new QPushButton(QStringLiteral("&Add"), this);
    add->setObjectName(QStringLiteral("AddButton"));
    add->setAutoDefault(false);
    auto* remove = new QPushButton(QStringLiteral("&Delete"), this);
    remove->setObjectName(QStringLiteral("DeleteButton"));
    remove->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &TCustomDictionaryForm::AddNewWord);
    connect(FNewWord, &QLineEdit::returnPressed, this, &TCustomDictionaryForm::AddNewWord);
    connect(remove, &QPushButton::clicked, this, &TCustomDictionaryForm::DeleteSelected);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Ok)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* wordLabel = new QLabel(QStringLiteral("&Word:"), this);
    wordLabel->setBuddy(FNewWord);
    auto* listLabel = new QLabel(QStringLiteral("&Dictionary:"), this);
    listLabel->setBuddy(FWords);
    auto* grid = new QGridLayout(this);
    grid->addWidget(wordLabel, 0, 0);
    grid->addWidget(FNewWord, 1, 0);
    grid->addWidget(add, 1, 1);
    grid->addWidget(listLabel, 2, 0);
    grid->addWidget(FWords, 3, 0, 2, 1);
    grid->addWidget(remove, 3, 1, Qt::AlignTop);
    grid->addWidget(buttons, 5, 0, 1, 2);
}

void TCustomDictionaryForm::AddNewWord() {
    const QString word = FNewWord->text().trimmed();
    FNewWord->clear();
    if (word.isEmpty() || !FWords->findItems(word, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty())
        return;
    FWords->addItem(word);
    FWords->setCurrentRow(FWords->count() - 1);
}

void TCustomDictionaryForm::DeleteSelected() {
    for (QListWidgetItem* item : FWords->selectedItems()) delete item;
}

void TCustomDictionaryForm::accept() {
    QStringList words;
    for (int i = 0; i < FWords->count(); ++i) words.append(FWords->item(i)->text());
    const QStringList before = FDictionary.Words();
    FDictionary.SetWords(words);
    try {
        FDictionary.Save();
    } catch (const Exception& error) {
        FDictionary.SetWords(before);
        FMessages.Error(error.Message());
        return;
    }
    QDialog::accept();
}
