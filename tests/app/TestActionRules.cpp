#include "app/ActionRules.h"
#include "app/ActionTable.h"
#include "app/MainForm.h"
#include "types/CardType.h"

#include <QSet>

#include <gtest/gtest.h>

#include <functional>

namespace {

const TActionRow* Row(const char* name) {
    for (const TActionRow& row : TMainForm::ActionRows())
        if (qstrcmp(row.Name, name) == 0) return &row;
    return nullptr;
}

// A shown window on the first of three pages of a greeting card, nothing selected.
TActionSnapshot OpenCard() {
    TActionSnapshot s;
    s.HasWindow = true;
    s.WindowShown = true;
    s.PageCount = 3;
    s.CurrentPage = 0;
    s.CardFormat = cfBifoldVertical;
    s.DocumentType = 0;
    return s;
}

enum class TAspect { Enabled, Visible, Checked };

struct TExpect {
    const char* Action;
    TAspect Aspect;
    std::optional<bool> Value; // unset: the rule leaves it alone
};

struct TCase {
    const char* Situation;
    std::function<TActionSnapshot()> Snapshot;
    std::vector<TExpect> Expected;
};

std::optional<bool> Aspect(const TActionState& state, TAspect aspect) {
    switch (aspect) {
    case TAspect::Enabled:
        return state.Enabled;
    case TAspect::Visible:
        return state.Visible;
    case TAspect::Checked:
        return state.Checked;
    }
    return std::nullopt;
}

constexpr auto On = TAspect::Enabled;
constexpr auto Shown = TAspect::Visible;
constexpr auto Ticked = TAspect::Checked;

TActionSnapshot Selected(int count) {
    TActionSnapshot s = OpenCard();
    s.SelectedCount = count;
    return s;
}

const std::vector<TCase>& Cases() {
    static const std::vector<TCase> cases = {
        {"no window",
         [] {
             TActionSnapshot s;
             s.ClipboardFilled = true;
             s.SelectedCount = 2; // left over from a closed window: counts for nothing
             return s;
         },
         {{"ANew", On, true}, {"AOpen", On, true}, {"AClose", On, false}, {"ASave", On, false},
          {"APrint", On, false}, {"APrintSetup", On, true}, {"ACut", On, false},
          {"APaste", On, false}, {"AProperties", On, false}, {"ACenterHorizontally", On, false},
          {"ALocked", On, false}, {"ALocked", Ticked, std::nullopt}, {"AZoomIn", On, false},
          {"AChangeCardType", Shown, false}, {"AChangeLabelType", Shown, false},
          {"ADatabaseConnect", On, false}, {"ADatabaseDisconnect", On, false},
          {"AInsertNewPage", On, false}, {"AAddTextObjects", On, false},
          {"AExit", On, std::nullopt}, {"AAcquire", On, false}}},
        {"no room for another window",
         [] {
             TActionSnapshot s = OpenCard();
             s.RoomForWindow = false;
             return s;
         },
         {{"ANew", On, false}, {"AOpen", On, false}, {"AClose", On, true}}},
        {"nothing selected",
         [] { return Selected(0); },
         {{"AClose", On, true}, {"ASave", On, true}, {"ASelectAll", On, true},
          {"ACut", On, false}, {"ACopy", On, false}, {"ADelete", On, false},
          {"APaste", On, false}, {"AProperties", On, false}, {"ALocked", On, false},
          {"ALocked", Ticked, std::nullopt}, {"ACenterVertically", On, false},
          {"AChangeCardType", Shown, true}, {"AChangeLabelType", Shown, false},
          {"AChangeBannerWidth", Shown, false}, {"AChangeBusinessCardType", Shown, false},
          {"AAddTextObjects", On, true}, {"ADatabaseConnect", On, true},
          {"ADatabaseEdit", On, false}, {"ADatabaseFirst", On, false}}},
        {"one object selected",
         [] { return Selected(1); },
         {{"ACut", On, true}, {"ACopy", On, true}, {"ADelete", On, true},
          {"AProperties", On, true}, {"AWebLinkProps", On, true}, {"ALocked", On, true},
          {"ALocked", Ticked, false}, {"ACenterHorizontally", On, true},
          {"ASpeechStartStop", On, false}}},
        {"two objects selected",
         [] { return Selected(2); },
         {{"ACut", On, true}, {"ADelete", On, true}, {"AProperties", On, false},
          {"ALocked", On, false}, {"ALocked", Ticked, std::nullopt},
          {"ACenterHorizontally", On, true}, {"ACenterVertically", On, true}}},
        {"a locked object selected",
         [] {
             TActionSnapshot s = Selected(1);
             s.SoleSelectedLocked = true;
             return s;
         },
         {{"ALocked", On, true}, {"ALocked", Ticked, true}, {"AProperties", On, true}}},
        {"a text frame selected",
         [] {
             TActionSnapshot s = Selected(1);
             s.SoleSelectedTextFrame = true;
             s.SpeechAvailable = true;
             return s;
         },
         {{"ASpeechStartStop", On, true}, {"ASpeechStartStop", Ticked, false},
          {"ASpeechTrain", Shown, true}, {"ACut", On, true}}},
        {"a text frame selected without a recogniser",
         [] {
             TActionSnapshot s = Selected(1);
             s.SoleSelectedTextFrame = true;
             return s;
         },
         {{"ASpeechStartStop", On, false}, {"ASpeechTrain", Shown, false},
          {"ASpeechUser", Shown, false}, {"ASpeechSetup", Shown, false}}},
        {"listening after the selection went",
         [] {
             TActionSnapshot s = Selected(0);
             s.SpeechAvailable = true;
             s.Listening = true;
             return s;
         },
         {{"ASpeechStartStop", On, true}, {"ASpeechStartStop", Ticked, true}}},
        {"a scanner listed",
         [] {
             TActionSnapshot s = Selected(0);
             s.ScannerAvailable = true;
             return s;
         },
         {{"AAcquire", On, true}, {"ASelectSource", On, true}}},
        {"a scanner listed but no window",
         [] {
             TActionSnapshot s;
             s.ScannerAvailable = true;
             return s;
         },
         {{"AAcquire", On, false}, {"ASelectSource", On, true}}},
        {"a text frame being edited",
         [] {
             TActionSnapshot s = Selected(1);
             s.SoleSelectedTextFrame = true;
             s.SpeechAvailable = true;
             s.EditingText = true;
             s.ClipboardFilled = true;
             return s;
         },
         // The menu items still act on the objects (the frame editor has the keys).
         {{"ACut", On, true}, {"ACopy", On, true}, {"ADelete", On, true},
          {"APaste", On, true}, {"AProperties", On, true}, {"ALocked", Ticked, false},
          {"ASpeechStartStop", On, true}}},
        {"a label",
         [] {
             TActionSnapshot s = OpenCard();
             s.CardFormat = cfLabel;
             s.DocumentType = 10;
             return s;
         },
         {{"AChangeLabelType", Shown, true}, {"AChangeBannerWidth", Shown, false},
          {"AChangeBusinessCardType", Shown, false}, {"AChangeCardType", Shown, true}}},
        {"a banner",
         [] {
             TActionSnapshot s = OpenCard();
             s.CardFormat = cfBanner;
             return s;
         },
         {{"AChangeBannerWidth", Shown, true}, {"AChangeLabelType", Shown, false}}},
        {"a business card",
         [] {
             TActionSnapshot s = OpenCard();
             s.CardFormat = cfBusinessCardSeparated10;
             return s;
         },
         {{"AChangeBusinessCardType", Shown, true}, {"AChangeBannerWidth", Shown, false}}},
        {"a minimized window",
         [] {
             TActionSnapshot s = Selected(1);
             s.WindowShown = false;
             s.CanBringForward = true;
             s.CanZoomIn = true;
             return s;
         },
         // The window commands stay; what acts on the shown page does not.
         {{"AClose", On, true}, {"ACut", On, false}, {"AZoomIn", On, false},
          {"ANextPage", On, false}, {"AAddLineObjects", On, false}, {"AProperties", On, true},
          {"ABringToFront", On, true}}},
        {"the first of three pages",
         [] { return OpenCard(); },
         {{"APreviousPage", On, false}, {"ANextPage", On, true}, {"AGoToPage", On, true}}},
        {"the last of three pages",
         [] {
             TActionSnapshot s = OpenCard();
             s.CurrentPage = 2;
             return s;
         },
         {{"APreviousPage", On, true}, {"ANextPage", On, false}}},
        {"a single page",
         [] {
             TActionSnapshot s = OpenCard();
             s.PageCount = 1;
             return s;
         },
         {{"APreviousPage", On, false}, {"ANextPage", On, false}, {"AGoToPage", On, false}}},
        {"fields on the page and a filled clipboard",
         [] {
             TActionSnapshot s = OpenCard();
             s.PageHasFields = true;
             s.ClipboardFilled = true;
             return s;
         },
         {{"AFillInForm", On, true}, {"AClearForm", On, true},
          {"AFieldObjectInputOrder", On, true}, {"APaste", On, true}}},
        {"stacking and zoom at their limits",
         [] {
             TActionSnapshot s = Selected(1);
             s.CanBringForward = true;
             s.CanZoomOut = true;
             s.HasNextObject = true;
             return s;
         },
         {{"ABringToFront", On, true}, {"AUpOneLevel", On, true}, {"ASendToBack", On, false},
          {"ADownOneLevel", On, false}, {"AZoomOut", On, true}, {"AZoomIn", On, false},
          {"ANextObject", On, true}, {"APreviousObject", On, false}}},
        {"connected to an open table on its first record",
         [] {
             TActionSnapshot s = OpenCard();
             s.Connected = true;
             s.TableOpen = true;
             s.AtFirstRecord = true;
             return s;
         },
         {{"ADatabaseCreate", On, false}, {"ADatabaseConnect", On, false},
          {"ADatabaseConnectAddressBook", On, false}, {"ADatabaseDisconnect", On, true},
          {"ADatabaseEdit", On, true}, {"ADatabaseFirst", On, false},
          {"ADatabasePrior", On, false}, {"ADatabaseNext", On, true},
          {"ADatabaseLast", On, true}}},
        {"connected to a table that did not open",
         [] {
             TActionSnapshot s = OpenCard();
             s.Connected = true;
             return s;
         },
         // It can still be disconnected.
         {{"ADatabaseDisconnect", On, true}, {"ADatabaseFirst", On, false},
          {"ADatabaseLast", On, false}}},
        {"printing",
         [] {
             TActionSnapshot s = OpenCard();
             s.Printing = true;
             return s;
         },
         {{"APrint", On, false}, {"APrintSetup", On, false}, {"APrintPreview", On, true}}},
    };
    return cases;
}

} // namespace

TEST(ActionRules, EachSituationSetsTheActionsItConcerns) {
    for (const TCase& c : Cases()) {
        SCOPED_TRACE(c.Situation);
        const TActionSnapshot snapshot = c.Snapshot();
        for (const TExpect& expect : c.Expected) {
            SCOPED_TRACE(expect.Action);
            const TActionRow* row = Row(expect.Action);
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(Aspect(ActionState(row->Rule, snapshot), expect.Aspect), expect.Value);
        }
    }
}

TEST(ActionRules, UndoAndRedoNameTheirStep) {
    TActionSnapshot s = OpenCard();
    EXPECT_EQ(ActionState(TActionRule::Undo, s).Enabled, false);
    EXPECT_EQ(ActionState(TActionRule::Undo, s).Caption, QStringLiteral("&Undo"));
    s.CanUndo = true;
    s.UndoText = QStringLiteral("Move");
    EXPECT_EQ(ActionState(TActionRule::Undo, s).Enabled, true);
    EXPECT_EQ(ActionState(TActionRule::Undo, s).Caption, QStringLiteral("&Undo Move"));
    EXPECT_EQ(ActionState(TActionRule::Redo, s).Enabled, false);
    s.CanRedo = true;
    s.RedoText = QStringLiteral("Delete");
    EXPECT_EQ(ActionState(TActionRule::Redo, s).Caption, QStringLiteral("&Redo Delete"));
    // Hidden behind a minimized window, nothing is undone.
    s.WindowShown = false;
    EXPECT_EQ(ActionState(TActionRule::Undo, s).Enabled, false);
    EXPECT_EQ(ActionState(TActionRule::Redo, s).Enabled, false);
}

TEST(ActionTable, NamesAndShortcutsAreUnique) {
    QSet<QString> names;
    QSet<QString> keys;
    for (const TActionRow& row : TMainForm::ActionRows()) {
        const QString name = QString::fromLatin1(row.Name);
        EXPECT_FALSE(names.contains(name)) << row.Name;
        names.insert(name);
        const QString shortcuts = QString::fromLatin1(row.Keys);
        if (shortcuts.isEmpty()) continue;
        for (const QString& key : shortcuts.split(QLatin1Char('|'))) {
            const QString portable = QKeySequence(key).toString(QKeySequence::PortableText);
            EXPECT_FALSE(portable.isEmpty()) << row.Name << " " << key.toStdString();
            EXPECT_FALSE(keys.contains(portable)) << row.Name << " " << key.toStdString();
            keys.insert(portable);
        }
    }
}

TEST(ActionTable, EveryRowHasSomethingToDoOrSaysItIsInert) {
    // Only the photo service items are placeholders without a handler.
    for (const TActionRow& row : TMainForm::ActionRows()) {
        const bool inert = QByteArray(row.Name).contains("PhotoService");
        EXPECT_EQ(!row.Run && !row.OnEditor, inert) << row.Name;
        EXPECT_TRUE(row.Menu != TMenuId::None) << row.Name;
    }
}
