#include "app/SpellingCommands.h"

#include "app/AppPaths.h"
#include "app/MainForm.h"
#include "document/Card.h"
#include "document/Messages.h"
#include "editor/CardWin.h"
#include "editor/DocumentEditor.h"
#include "platform/PlatformDialogs.h"
#include "platform/Spelling.h"
#include "platform/SpellingRun.h"

#include <QDir>

namespace {

// Asks about each word with the object shown and selected alone, and the frame window
// closed to other commands while the question is open.
class TWindowQuestions : public TSpellingQuestions {
public:
    TWindowQuestions(TMainForm& main, TCardForm& form, const TSpellChecker& checker)
        : FMain(main), FForm(form), FChecker(checker) {}

    TSpellingAnswer Ask(TCardObject& object, const TSpellCheckState& state) override {
        FForm.SelectOnly(&object);
        FMain.setEnabled(false);
        const TSpellingAnswer answer = FMain.PlatformDialogs().Spelling(
            FChecker, state.Buffer, state.WordStart, state.WordLength);
        FMain.setEnabled(true);
        FForm.ClearSelection();
        return answer;
    }

private:
    TMainForm& FMain;
    TCardForm& FForm;
    const TSpellChecker& FChecker;
};

QString CustomDictionaryFile() {
    return QDir(AppPaths::UserFolder()).filePath(QString::fromLatin1(TCustomDictionary::FileName));
}

} // namespace

TSpellingCommands::TSpellingCommands(TMainForm& main) : FMain(main) {}

TSpellingCommands::~TSpellingCommands() = default;

void TSpellingCommands::OpenChecker() {
    FChecker = OpenSpellChecker(QDir(AppPaths::ProgramFolder()).filePath(QStringLiteral("ENGLISH.DCT")),
                                FMain.Settings(), CustomDictionaryFile());
}

TSpellChecker& TSpellingCommands::Checker() {
    if (!FChecker) OpenChecker();
    return *FChecker;
}

void TSpellingCommands::CheckDocument() {
    TCardForm* form = FMain.ActiveEditor();
    if (!form || !form->HasDocument()) return;
    TSpellChecker& checker = Checker();
    if (!checker.Available()) {
        FMain.Messages().Error(QStringLiteral(
            "No spelling dictionary is installed. Install a hunspell dictionary (such as "
            "hunspell-en-us) and choose it with Tools, Spelling Dictionary."));
        return;
    }
    form->ClearSelection();
    TSpellingResult result;
    {
        // The whole run is one step to undo; a run that changed nothing leaves none.
        const TDocumentChange change(form->Editor(), QStringLiteral("Spelling"),
                                     TChangeScope::Card);
        TWindowQuestions questions(FMain, *form, checker);
        result = TSpellingRun(form->Card(), checker, questions).Run();
    }
    form->RefreshSurface();
    if (!result.AddFailure.isEmpty())
        FMain.Messages().Error(
            QStringLiteral("The word could not be kept in the custom dictionary: %1")
                .arg(result.AddFailure));
    if (!result.Interrupted) FMain.Messages().Information(SpellingCompleteText());
}

void TSpellingCommands::EditCustomDictionary() {
    FMain.PlatformDialogs().EditCustomDictionary(Checker().CustomDictionary());
}

void TSpellingCommands::ChooseDictionary() {
    if (FMain.PlatformDialogs().ChooseDictionary(FMain.Settings())) OpenChecker();
}
