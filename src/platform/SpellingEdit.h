#pragma once

class QPlainTextEdit;
class TSpellChecker;

// Spelling while typing in a text box: words the checker does not accept are underlined in
// red, and the right-click menu offers their replacements and "Add to Dictionary" above the
// usual editing items. The checker must outlive the box.
void AttachSpellChecking(QPlainTextEdit& edit, TSpellChecker& checker);
