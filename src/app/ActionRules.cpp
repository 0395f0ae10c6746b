#include "app/ActionRules.h"

#include "types/CardType.h"

namespace {

// Labels are told by their document type: a label sheet may use any of several formats.

TActionState Enabled(bool on) {
    TActionState state;
    state.Enabled = on;
    return state;
}

TActionState Visible(bool on) {
    TActionState state;
    state.Visible = on;
    return state;
}

TActionState Step(bool possible, const QString& verb, const QString& text) {
    TActionState state = Enabled(possible);
    state.Caption =
        text.isEmpty() ? QStringLiteral("&%1").arg(verb) : QStringLiteral("&%1 %2").arg(verb, text);
    return state;
}

// The rules of the document in the active window, its table and its undo stack.
TActionState DocumentRuleState(TActionRule rule, const TActionSnapshot& s) {
    const bool shown = s.HasWindow && s.WindowShown;
    const bool document = s.HasWindow;
    switch (rule) {
    case TActionRule::Forward:
        return Enabled(document && s.CanBringForward);
    case TActionRule::Backward:
        return Enabled(document && s.CanSendBackward);
    case TActionRule::Disconnected:
        return Enabled(document && !s.Connected);
    case TActionRule::Connected:
        return Enabled(document && s.Connected);
    // As the navigator's buttons: backwards only off the first record, forwards only off
    // the last.
    case TActionRule::NotFirstRecord:
        return Enabled(document && s.Connected && s.TableOpen && !s.AtFirstRecord);
    case TActionRule::NotLastRecord:
        return Enabled(document && s.Connected && s.TableOpen && !s.AtLastRecord);
    case TActionRule::LabelDocument:
        return Visible(document && IsLabelType(s.DocumentType));
    case TActionRule::BannerDocument:
        return Visible(document && IsBannerFormat(s.CardFormat));
    case TActionRule::BusinessCardDocument:
        return Visible(document && IsBusinessCardFormat(s.CardFormat));
    case TActionRule::AnyDocument:
        return Visible(document);
    // While a frame editor is open the snapshot names its own typing first (its keys go to the
    // editor; the menu's command undoes the typing, then the window's steps).
    case TActionRule::Undo:
        return Step(shown && s.CanUndo, QStringLiteral("Undo"), s.UndoText);
    case TActionRule::Redo:
        return Step(shown && s.CanRedo, QStringLiteral("Redo"), s.RedoText);
    default:
        return {};
    }
}

} // namespace

TActionState ActionState(TActionRule rule, const TActionSnapshot& s) {
    // The selection counts only in a window with a document.
    const int selected = s.HasWindow ? s.SelectedCount : 0;
    const bool shown = s.HasWindow && s.WindowShown;
    const bool document = s.HasWindow;
    switch (rule) {
    case TActionRule::ScanSource:
        return Enabled(s.ScannerAvailable);
    case TActionRule::Acquire:
        return Enabled(shown && s.ScannerAvailable);
    case TActionRule::Dictation: {
        TActionState state = Enabled(s.SpeechAvailable &&
                                     (s.Listening || (selected == 1 && s.SoleSelectedTextFrame)));
        state.Checked = s.Listening;
        state.Caption = s.Listening ? QStringLiteral("&Stop") : QStringLiteral("&Start");
        state.Hint = s.Listening ? QStringLiteral("Stop speech recognition")
                                 : QStringLiteral("Start speech recognition");
        return state;
    }
    case TActionRule::SpeechEngine:
        return Visible(s.SpeechAvailable);
    case TActionRule::Never:
        return Enabled(false);
    case TActionRule::Free:
        return {};
    case TActionRule::RoomForWindow:
        return Enabled(s.RoomForWindow);
    case TActionRule::Window:
        return Enabled(document);
    case TActionRule::ShownWindow:
        return Enabled(shown);
    case TActionRule::NotPrinting:
        return Enabled(!s.Printing);
    case TActionRule::WindowNotPrinting:
        return Enabled(document && !s.Printing);
    // The frame editor takes the clipboard keys while text is edited; the menu items still
    // act on the objects, the edited frame included.
    case TActionRule::Selection:
        return Enabled(shown && selected > 0);
    case TActionRule::Clipboard:
        return Enabled(shown && s.ClipboardFilled);
    case TActionRule::OneSelected:
        return Enabled(selected == 1);
    case TActionRule::AnySelected:
        return Enabled(selected >= 1);
    case TActionRule::Locked: {
        TActionState state = Enabled(selected == 1);
        if (selected == 1) state.Checked = s.SoleSelectedLocked;
        return state;
    }
    case TActionRule::SoleTextFrame:
        return Enabled(selected == 1 && s.SoleSelectedTextFrame);
    case TActionRule::PageFields:
        return Enabled(shown && s.CurrentPage >= 0 && s.PageHasFields);
    case TActionRule::ZoomIn:
        return Enabled(shown && s.CanZoomIn);
    case TActionRule::ZoomOut:
        return Enabled(shown && s.CanZoomOut);
    case TActionRule::PreviousObject:
        return Enabled(shown && s.HasPreviousObject);
    case TActionRule::NextObject:
        return Enabled(shown && s.HasNextObject);
    case TActionRule::PreviousPage:
        return Enabled(shown && s.CurrentPage > 0);
    case TActionRule::NextPage:
        return Enabled(shown && s.CurrentPage < s.PageCount - 1);
    case TActionRule::SeveralPages:
        return Enabled(shown && s.PageCount > 1);
    default:
        return DocumentRuleState(rule, s);
    }
}
