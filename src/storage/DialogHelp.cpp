#include "storage/DialogHelp.h"

#include <utility>

namespace {

std::function<void(int)>& HelpHandler() {
    static std::function<void(int)> handler;
    return handler;
}

} // namespace

void SetDialogHelpHandler(std::function<void(int)> handler) {
    HelpHandler() = std::move(handler);
}

void ShowDialogHelp(int helpContext) {
    if (HelpHandler()) HelpHandler()(helpContext);
}
