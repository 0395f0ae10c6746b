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

namespace {

std::function<void(QObject&)>& TypingAssist() {
    static std::function<void(QObject&)> assist;
    return assist;
}

} // namespace

void SetTypingAssist(std::function<void(QObject&)> assist) {
    TypingAssist() = std::move(assist);
}

void AssistTyping(QObject& editor) {
    if (TypingAssist()) TypingAssist()(editor);
}
