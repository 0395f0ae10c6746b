#pragma once

#include "platform/SpellingRun.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TSpellChecker;

// "Spelling": one word the checker did not accept, shown in its sentence, with the checker's
// suggestions. The spelling run asks it once for each such word.
class TSpellingForm : public QDialog {
    Q_OBJECT
public:
    explicit TSpellingForm(const TSpellChecker& checker, QWidget* parent = nullptr);

    // The word is text[start, start + length).
    TSpellingAnswer Ask(const QString& text, int start, int length);

    QLabel* Sentence() const { return FSentence; }
    QLineEdit* ChangeTo() const { return FChangeTo; }
    QListWidget* Suggestions() const { return FSuggestions; }
    QPushButton* Button(TSpellingAction action) const;

private:
    void Answer(TSpellingAction action);

    const TSpellChecker& FChecker;
    QLabel* FSentence;
    QLineEdit* FChangeTo;
    QListWidget* FSuggestions;
    QList<QPushButton*> FButtons; // in the order of TSpellingAction
    TSpellingAnswer FAnswer;
};
