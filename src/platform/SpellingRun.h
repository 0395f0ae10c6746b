#pragma once

#include "document/CardObject.h"

#include <QHash>
#include <QString>

class TCard;
class TSpellChecker;

enum class TSpellingAction { Change, ChangeAll, Ignore, IgnoreAll, Add, Cancel };

struct TSpellingAnswer {
    TSpellingAction Action = TSpellingAction::Cancel;
    QString Replacement; // for Change and Change All
};

// Who answers for a word the checker did not accept. The object has revealed the word (the
// state holds it: Buffer[WordStart, WordStart + WordLength)).
class TSpellingQuestions {
public:
    virtual ~TSpellingQuestions() = default;
    virtual TSpellingAnswer Ask(TCardObject& object, const TSpellCheckState& state) = 0;
};

struct TSpellingResult {
    bool Interrupted = false;
    int Changed = 0;       // words replaced, by the user or from the change-all table
    int Asked = 0;         // words put to the user
    QString AddFailure;    // why a word could not be kept in the custom dictionary
};

// One spelling check of a document: every object with text of every panel of every page,
// word by word. Words of digits only are skipped; a word the user changed with Change All is
// replaced wherever it comes again in this run; a word ignored with Ignore All is kept,
// upper-cased, in the open document's list and skipped from then on (in later runs too).
class TSpellingRun {
public:
    TSpellingRun(TCard& card, TSpellChecker& checker, TSpellingQuestions& questions)
        : FCard(card), FChecker(checker), FQuestions(questions) {}

    TSpellingResult Run();

    static bool IsNumber(const QString& word);

private:
    // False when the user cancelled.
    bool CheckObject(TCardObject& object);
    // Whether the run goes on after the word (false: cancelled).
    bool CheckWord(TCardObject& object, const QString& word);
    bool Ignored(const QString& word) const;

    TCard& FCard;
    TSpellChecker& FChecker;
    TSpellingQuestions& FQuestions;
    TSpellCheckState FState;
    QHash<QString, QString> FChangeAll;
    TSpellingResult FResult;
};
