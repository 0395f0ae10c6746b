#pragma once

#include "platform/Dictation.h"
#include "platform/SpeechForms.h"

#include <memory>

class TCardForm;
class TMainForm;
class TRichTextObject;

// Dictation into the one selected text frame: each phrase the recogniser hears goes into the
// frame with a space after it. Listening stops when the frame is no longer the only object
// selected (or its window closed).
class TDictationCommands : public TDictationListener {
public:
    explicit TDictationCommands(TMainForm& main);
    ~TDictationCommands() override;

    // The recogniser of the system, or another (tests).
    void UseDictation(std::unique_ptr<TDictation> dictation);
    bool Available() const { return FDictation->Available(); }
    bool Listening() const { return FDictation->Listening(); }

    void StartStop();
    void Stop();
    // After the selection or the windows changed: stops when the frame is not selected alone.
    void FollowSelection();

    // The training, users and microphone commands: what this recogniser needs of them.
    void ShowTopic(TSpeechTopic topic);

    void PhraseRecognized(const QString& phrase) override;
    void DictationStopped(const QString& reason) override;

private:
    // The frame is still the only selection of a window of the program.
    bool TargetSelected() const;

    TMainForm& FMain;
    std::unique_ptr<TDictation> FDictation;
    TCardForm* FForm = nullptr;
    TRichTextObject* FTarget = nullptr;
};
