#include "app/DictationCommands.h"

#include "app/MainForm.h"
#include "document/Messages.h"
#include "editor/CardWin.h"
#include "editor/DocumentEditor.h"
#include "objects/RichText.h"

TDictationCommands::TDictationCommands(TMainForm& main)
    : FMain(main), FDictation(std::make_unique<TSphinxDictation>()) {}

TDictationCommands::~TDictationCommands() {
    FDictation->Stop();
}

void TDictationCommands::UseDictation(std::unique_ptr<TDictation> dictation) {
    Stop();
    FDictation = std::move(dictation);
}

bool TDictationCommands::TargetSelected() const {
    if (!FForm || !FTarget || !FMain.Editors().contains(FForm) || !FForm->HasDocument())
        return false;
    const TCardObjectTable& selection = FForm->Selection();
    return selection.Count() == 1 && selection.Items(0) == FTarget;
}

void TDictationCommands::StartStop() {
    if (FDictation->Listening()) {
        Stop();
        return;
    }
    TCardForm* form = FMain.ActiveEditor();
    if (!form || !form->HasDocument() || form->Selection().Count() != 1) return;
    auto* frame = dynamic_cast<TRichTextObject*>(form->Selection().Items(0));
    if (!frame) return;
    FForm = form;
    FTarget = frame;
    QString reason;
    if (!FDictation->Start(*this, &reason)) {
        FForm = nullptr;
        FTarget = nullptr;
        FMain.Messages().Error(
            QStringLiteral("Speech recognition could not start: %1").arg(reason));
    }
    FMain.UpdateActions();
}

void TDictationCommands::Stop() {
    // Stop hands over the phrase in progress while the frame is still known.
    if (FDictation->Listening()) FDictation->Stop();
    FForm = nullptr;
    FTarget = nullptr;
    FMain.UpdateActions();
}

void TDictationCommands::FollowSelection() {
    if (FDictation->Listening() && !TargetSelected()) Stop();
}

void TDictationCommands::PhraseRecognized(const QString& phrase) {
    if (phrase.trimmed().isEmpty()) return;
    if (!TargetSelected()) return;
    // Each phrase is a step of its own to undo.
    const TDocumentChange change(FForm->Editor(), QStringLiteral("Dictation"), TChangeScope::Page);
    FTarget->InsertText(phrase.trimmed() + QLatin1Char(' '));
}

void TDictationCommands::DictationStopped(const QString& reason) {
    FForm = nullptr;
    FTarget = nullptr;
    if (!reason.isEmpty())
        FMain.Messages().Error(QStringLiteral("Speech recognition stopped: %1").arg(reason));
    FMain.UpdateActions();
}

void TDictationCommands::ShowTopic(TSpeechTopic topic) {
    FMain.Messages().Information(SpeechTopicText(topic));
}
