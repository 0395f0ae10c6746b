#pragma once

#include "platform/Spelling.h"

#include <QSyntaxHighlighter>

class QTextDocument;

// Underlines the words the checker does not accept with a red wave, as the user types. The
// checker must outlive the highlighter; Rehighlight after the custom dictionary changed.
class TSpellHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    TSpellHighlighter(QTextDocument* document, const TSpellChecker& checker);

    static QColor UnderlineColor() { return Qt::red; }

protected:
    void highlightBlock(const QString& text) override;

private:
    const TSpellChecker& FChecker;
};

// A word the checker does not accept, where a right click found it, with its replacements.
// Start is the position in the text (or the document) it was found in.
struct TMisspelling {
    int Start = 0;
    int Length = 0;
    QString Word;
    QStringList Suggestions;
    bool IsEmpty() const { return Length == 0; }
};

// The misspelled word at the cursor position; empty when the word there is accepted or there
// is none.
TMisspelling MisspellingAt(const QString& text, int position, const TSpellChecker& checker);
TMisspelling MisspellingAt(const QTextDocument& document, int position,
                           const TSpellChecker& checker);
// The text with the word replaced.
QString ReplaceMisspelling(const QString& text, const TMisspelling& word, const QString& replacement);
// Replaces the word in the document as one undo step, in the word's own character format.
void ReplaceMisspelling(QTextDocument& document, const TMisspelling& word,
                        const QString& replacement);
