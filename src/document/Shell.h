#pragma once

#include <QString>

class QImage;
class TCard;
class TCardObject;

// What the document asks of the user interface: repaints, dialogs and the main window's
// displays. The editing windows install a real shell; without one (tests, batch commands)
// every request is a no-op and every dialog answers "cancelled".
class TShell {
public:
    virtual ~TShell() = default;

    virtual void RepaintObject(TCardObject&) {}
    // The check mark of the "&Locked" menu item follows the selected object.
    virtual void SetLockedCheck(bool) {}
    // The preview picture of a document being opened (null for none).
    virtual void ShowPreview(const QImage*) {}
    // A document of an older format asks for its type and description.
    virtual void ChooseCardType(TCard&, const QString& /*fileName*/) {}
    virtual bool EditProperties(TCardObject&) { return false; }
    // One prompt of the Personalize dialog; false when cancelled.
    virtual bool PromptPersonalizedText(const QString& /*originalText*/, const QString& /*name*/,
                                        QString& /*value*/) {
        return false;
    }
    virtual void RevealObject(TCardObject&) {}
    // A command failed: drawing that it froze resumes before the error is shown.
    virtual void ResumeDrawing() {}
};
