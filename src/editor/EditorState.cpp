#include "editor/EditorState.h"

#include "document/AppContext.h"
#include "document/Units.h"
#include "editor/CardWin.h"
#include "document/Control.h"
#include "objects/BarCode.h"
#include "objects/Comb.h"
#include "objects/Ellipse.h"
#include "objects/Grid.h"
#include "objects/Headline.h"
#include "objects/Line.h"
#include "objects/Picture.h"
#include "objects/RichText.h"
#include "objects/RoundedRectangle.h"

#include <QMessageBox>

#include <algorithm>
#include <cmath>

namespace {

std::vector<TEditorState*>& LiveStates() {
    static std::vector<TEditorState*> states;
    return states;
}

} // namespace

void TEditorHost::ClickEditTool(TEditorState& state) {
    state.Tool = ToolEdit;
    state.KeepAdding = false;
}

void TEditorHost::RunProperties(TCardForm& form) {
    form.RunProperties();
}

bool TEditorHost::Save(TCardForm& form) {
    return form.SaveToFile(form.Card().FileName);
}

TSaveAnswer TEditorHost::AskSave(const QString& question) {
    const auto answer =
        QMessageBox::question(nullptr, QStringLiteral("Confirm"), question,
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return answer == QMessageBox::Yes  ? TSaveAnswer::Yes
           : answer == QMessageBox::No ? TSaveAnswer::No
                                       : TSaveAnswer::Cancel;
}

void TEditorHost::ShowError(const QString& text) {
    AppContext().Messages().Error(text);
}

TEditorState::TEditorState() {
    // A frame picked as the source of a link that goes ends the link.
    LiveStates().push_back(this);
    TRichTextObject::FrameDestroyed() = [](TRichTextObject* frame) {
        for (TEditorState* state : LiveStates()) {
            if (state->LinkSource != frame) continue;
            state->LinkSource = nullptr;
            if (state->Tool == ToolLinkTo) state->ClickEditTool();
        }
    };
}

TEditorState::~TEditorState() {
    std::vector<TEditorState*>& states = LiveStates();
    states.erase(std::remove(states.begin(), states.end(), this), states.end());
}

int TEditorState::GridSpacing(int sizeIndex, bool metric, int pixelsPerInch) {
    static constexpr int Divisors[] = {32, 16, 8, 4, 2, 1};
    static constexpr int Millimetres[] = {2, 5, 10, 15, 20, 25};
    const int index = std::clamp(sizeIndex, 0, 5);
    if (!metric) return pixelsPerInch / Divisors[index];
    return RoundHalfAway(Millimetres[index] * 0.03937 * pixelsPerInch);
}

void TEditorState::ApplyGridSpacing() const {
    TAppContext& context = AppContext();
    context.GridSpacing =
        std::max(1, GridSpacing(GridSizeIndex, context.Metric, context.ScreenPixelsPerInch));
}

TEditorState& EditorState() {
    static TEditorState state;
    return state;
}

TCardObject* CreateObjectForTool(int tool) {
    switch (tool) {
    case ToolHeadline:
        return THeadlineObject::CreateDefault();
    case ToolText:
        return TRichTextObject::CreateDefault();
    case ToolPicture:
        return TPictureObject::CreateDefault();
    case ToolLine:
        return TLineObject::CreateDefault();
    case ToolRectangle:
        return TRectangleObject::CreateDefault();
    case ToolRoundedRectangle:
        return TRRectangleObject::CreateDefault();
    case ToolEllipse:
        return TEllipseObject::CreateDefault();
    case ToolBarCode:
        return TBarCodeObject::CreateDefault();
    case ToolComb:
        return TCombObject::CreateDefault();
    case ToolGrid:
        return TGridObject::CreateDefault();
    case ToolField:
        return TFieldObject::CreateDefault();
    default:
        return nullptr;
    }
}
