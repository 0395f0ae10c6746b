#include "platform/SpellHighlighter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

TSpellHighlighter::TSpellHighlighter(QTextDocument* document, const TSpellChecker& checker)
    : QSyntaxHighlighter(document), FChecker(checker) {}

void TSpellHighlighter::highlightBlock(const QString& text) {
    if (!FChecker.Available()) return;
    for (const TWordSpan& span : WordsOf(text)) {
        if (FChecker.Check(span.Word)) continue;
        // Merged with the text's own format, so bold and colour stay.
        QTextCharFormat marked = format(span.Start);
        marked.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
        marked.setUnderlineColor(UnderlineColor());
        setFormat(span.Start, span.Length, marked);
    }
}

TMisspelling MisspellingAt(const QString& text, int position, const TSpellChecker& checker) {
    const TWordSpan span = WordAt(text, position);
    if (span.IsEmpty() || checker.Check(span.Word)) return {};
    return {span.Start, span.Length, span.Word, checker.Suggest(span.Word)};
}

TMisspelling MisspellingAt(const QTextDocument& document, int position,
                           const TSpellChecker& checker) {
    const QTextBlock block = document.findBlock(position);
    if (!block.isValid()) return {};
    TMisspelling word = MisspellingAt(block.text(), position - block.position(), checker);
    if (!word.IsEmpty()) word.Start += block.position();
    return word;
}

QString ReplaceMisspelling(const QString& text, const TMisspelling& word, const QString& replacement) {
    if (word.IsEmpty() || text.mid(word.Start, word.Length) != word.Word) return text;
    QString changed = text;
    changed.replace(word.Start, word.Length, replacement);
    return changed;
}

void ReplaceMisspelling(QTextDocument& document, const TMisspelling& word,
                        const QString& replacement) {
    if (word.IsEmpty()) return;
    QTextCursor cursor(&document);
    cursor.setPosition(word.Start);
    cursor.setPosition(word.Start + word.Length, QTextCursor::KeepAnchor);
    // The document changed since the word was found: leave it alone.
    if (cursor.selectedText() != word.Word) return;
    const QTextCharFormat format = cursor.charFormat();
    cursor.beginEditBlock();
    cursor.insertText(replacement, format);
    cursor.endEditBlock();
}
