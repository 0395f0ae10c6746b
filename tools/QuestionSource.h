#pragma once

#include <QList>
#include <QString>

#include <stdexcept>

// One question of the knowledge base as its readable source gives it. Body is the answer in
// Markdown; the table holds it as rich text (HTML).
struct TQuestionEntry {
    QString PublicationType;
    QString Title;
    QString Body;
    QString Ver;
    QString InternalComment;
    QString Keywords;
    int Line = 0; // of the title, for messages
};

// A fault in the source; the message names the line.
class EQuestionSource : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Widths of the table's text fields, in characters.
inline constexpr int PublicationTypeWidth = 30;
inline constexpr int TitleWidth = 70;
inline constexpr int VerWidth = 3;
inline constexpr int KeywordsWidth = 250;

// Reads the source. A line "# Type" starts the questions of a publication type and "## Title"
// a question. The lines right below a title, up to the first blank line, may give the other
// fields: "Keywords: ...", "Ver: ..." and "Note: ..." (the internal comment, one or more);
// the rest up to the next heading is the answer.
// Text before the first type is a preamble, where a line "Ver: ..." sets the default version.
// Fenced code blocks are part of the answer, whatever they hold.
QList<TQuestionEntry> ParseQuestionSource(const QString& text);

// The answer as the rich text the viewer shows.
QString AnswerHtml(const QString& markdown);

// Writes the table "qanda" with its six fields into a new SQLite file. The file is written
// beside the target and renamed over it, so a failed run leaves no half-made table.
void WriteQuestionTable(const QList<TQuestionEntry>& entries, const QString& file);
