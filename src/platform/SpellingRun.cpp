#include "platform/SpellingRun.h"

#include "document/Card.h"
#include "platform/Spelling.h"
#include "storage/Exception.h"

bool TSpellingRun::IsNumber(const QString& word) {
    if (word.isEmpty()) return false;
    for (const QChar c : word)
        if (!c.isDigit()) return false;
    return true;
}

TSpellingResult TSpellingRun::Run() {
    FResult = TSpellingResult();
    FChangeAll.clear();
    for (int p = 0; p < FCard.PageCount(); ++p) {
        const TCardPage* page = FCard.Pages(p);
        for (int n = 0; n < page->PanelCount(); ++n) {
            const TCardPanel* panel = page->Panels(n);
            for (int i = 0; i < panel->Count(); ++i) {
                TCardObject* object = panel->Items(i);
                if (!object || !object->HasSpellText()) continue;
                if (!CheckObject(*object)) {
                    FResult.Interrupted = true;
                    return FResult;
                }
            }
        }
    }
    return FResult;
}

bool TSpellingRun::CheckObject(TCardObject& object) {
    // The object lets go of the run's text however the walk ends.
    struct TEnd {
        TCardObject& Object;
        TSpellCheckState& State;
        ~TEnd() { Object.EndSpellCheck(State); }
    } end{object, FState};
    for (QString word = object.BeginSpellCheck(FState); !word.isEmpty();
         word = object.NextWord(FState)) {
        if (!CheckWord(object, word)) return false;
    }
    return true;
}

bool TSpellingRun::Ignored(const QString& word) const {
    return FCard.IgnoredWords.IndexOfString(word.toUpper()) >= 0;
}

bool TSpellingRun::CheckWord(TCardObject& object, const QString& word) {
    if (IsNumber(word)) return true;
    const auto recorded = FChangeAll.constFind(word);
    if (recorded != FChangeAll.constEnd()) {
        object.ReplaceWord(FState, *recorded);
        ++FResult.Changed;
        return true;
    }
    if (Ignored(word) || FChecker.Check(word)) return true;

    object.RevealWord(FState);
    ++FResult.Asked;
    const TSpellingAnswer answer = FQuestions.Ask(object, FState);
    switch (answer.Action) {
    case TSpellingAction::Cancel:
        return false;
    case TSpellingAction::ChangeAll:
        FChangeAll.insert(word, answer.Replacement);
        [[fallthrough]];
    case TSpellingAction::Change:
        if (answer.Replacement != word) {
            object.ReplaceWord(FState, answer.Replacement);
            ++FResult.Changed;
        }
        return true;
    case TSpellingAction::IgnoreAll:
        FCard.IgnoredWords.AddString(word.toUpper());
        return true;
    case TSpellingAction::Add:
        try {
            FChecker.AddWord(word);
        } catch (const Exception& error) {
            // The word is accepted for the rest of the run even when the file failed.
            if (FResult.AddFailure.isEmpty()) FResult.AddFailure = error.Message();
        }
        return true;
    case TSpellingAction::Ignore:
        return true;
    }
    return true;
}
