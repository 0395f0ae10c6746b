#pragma once

// The Help buttons of every dialog call the installed handler with their dialog's help
// context; the main window installs one at start-up, without it Help does nothing. Kept this
// low so that any layer's dialogs reach it without seeing the document.

#include <functional>

void SetDialogHelpHandler(std::function<void(int helpContext)> handler);
void ShowDialogHelp(int helpContext);

class QObject;

// The text boxes where users type prose (a headline's text) are handed to the installed
// helper, which adds spelling underlines and suggestions; without one they stay plain.
void SetTypingAssist(std::function<void(QObject& editor)> assist);
void AssistTyping(QObject& editor);
