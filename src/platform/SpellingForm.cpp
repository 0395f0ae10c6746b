#include "platform/SpellingForm.h"

#include "platform/Spelling.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TSpellingForm::TSpellingForm(const TSpellChecker& checker, QWidget* parent)
    : QDialog(parent), FChecker(checker) {
    setObjectName(QStringLiteral("SpellingForm"));
    setWindowTitle(QStringLiteral("Spelling"));

    FSentence = new QLabel(this);
    FSentence->setObjectName(QStringLiteral("Sentence"));
    FSentence->setTextFormat(Qt::RichText);
    FSentence->setWordWrap(true);
    FSentence->setMinimumWidth(320);
    FChangeTo = new QLineEdit(this);
    FChangeTo->setObjectName(QStringLiteral("ChangeTo"));
    FSuggestions = new QListWidget(this);
    FSuggestions->setObjectName(QStringLiteral("Suggestions"));
    connect(FSuggestions, &QListWidget::currentTextChanged, FChangeTo, &QLineEdit::setText);
    connect(FSuggestions, &QListWidget::itemDoubleClicked, this,
            [this] { Answer(TSpellingAction::Change); });

    const auto label = [this](const QString& caption, QWidget* buddy) {
        auto* text = new QLabel(caption, this);
        text->setBuddy(buddy);
        return text;
    };
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Not in Dictionary:"), this), 0, 0, 1, 2);
    grid->addWidget(FSentence, 1, 0, 1, 2);
    grid->addWidget(label(QStringLiteral("Change &To:"), FChangeTo), 2, 0);
    grid->addWidget(FChangeTo, 3, 0);
    grid->addWidget(label(QStringLiteral("Suggestio&ns:"), FSuggestions), 4, 0);
    grid->addWidget(FSuggestions, 5, 0);

    auto* column = new QVBoxLayout;
    const struct {
        TSpellingAction Action;
        const char* Caption;
        const char* Name;
    } buttons[] = {
        {TSpellingAction::Change, "&Change", "ChangeButton"},
        {TSpellingAction::ChangeAll, "Change A&ll", "ChangeAllButton"},
        {TSpellingAction::Ignore, "&Ignore", "IgnoreButton"},
        {TSpellingAction::IgnoreAll, "I&gnore All", "IgnoreAllButton"},
        {TSpellingAction::Add, "&Add", "AddButton"},
        {TSpellingAction::Cancel, "Cancel", "CancelButton"},
    };
    for (const auto& entry : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(entry.Caption), this);
        button->setObjectName(QLatin1String(entry.Name));
        button->setAutoDefault(false);
        const TSpellingAction action = entry.Action;
        connect(button, &QPushButton::clicked, this, [this, action] { Answer(action); });
        column->addWidget(button);
        FButtons.append(button);
    }
    column->addStretch();
    Button(TSpellingAction::Change)->setDefault(true);
    grid->addLayout(column, 2, 1, 4, 1);
}

QPushButton* TSpellingForm::Button(TSpellingAction action) const {
    return FButtons.value(int(action));
}

TSpellingAnswer TSpellingForm::Ask(const QString& text, int start, int length) {
    const QString word = text.mid(start, length);
    const TSentence sentence = SentenceAround(text, start, length);
    FSentence->setText(sentence.Text.left(sentence.WordStart).toHtmlEscaped() +
                       QStringLiteral("<b><font color=\"red\">") +
                       sentence.Text.mid(sentence.WordStart, sentence.WordLength).toHtmlEscaped() +
                       QStringLiteral("</font></b>") +
                       sentence.Text.mid(sentence.WordStart + sentence.WordLength).toHtmlEscaped());
    FSuggestions->clear();
    const QStringList suggestions = FChecker.Suggest(word);
    FSuggestions->addItems(suggestions);
    if (suggestions.isEmpty()) {
        FSuggestions->addItem(QStringLiteral("(no suggestions)"));
        FSuggestions->setEnabled(false);
        FChangeTo->setText(word);
    } else {
        FSuggestions->setEnabled(true);
        FSuggestions->setCurrentRow(0);
    }
    FChangeTo->selectAll();
    FChangeTo->setFocus();
    FAnswer = {};
    exec();
    return FAnswer;
}

void TSpellingForm::Answer(TSpellingAction action) {
    FAnswer.Action = action;
    FAnswer.Replacement = FChangeTo->text();
    if (action == TSpellingAction::Cancel) reject();
    else accept();
}
