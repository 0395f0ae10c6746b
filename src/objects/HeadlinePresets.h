#pragma once

#include <QString>

class TIniFile;
class THeadlineText;

// Colour values (0x00BBGGRR) as the preset sections hold them: the identifier of a standard
// named colour ("clRed"), otherwise "$" and eight upper-case hexadecimal digits.
QString ColorToText(quint32 color);
// Reads what ColorToText writes, and decimal numbers too. Missing or empty text reads as 0
// (black); so does text that is none of these, with ok set to false.
quint32 TextToColor(const QString& text, bool* ok = nullptr);

// The user's stored headline styles, one section "Preset<n>" of the settings file each, with
// n running from 0 without gaps. Works on the file in memory; saving is the caller's business.
class THeadlinePresets {
public:
    explicit THeadlinePresets(TIniFile& file) : FFile(file) {}

    static QString SectionName(int index);

    TIniFile& File() const { return FFile; }
    // Preset0, Preset1, ... up to the first missing index.
    int Count() const;
    bool Exists(int index) const;
    // The stored style; keys that are missing take their defaults. Strike-out, blank-line
    // deletion and the text direction are not part of a preset and are left alone.
    void Read(int index, THeadlineText& style) const;
    // Writes every key of the style in the fixed key order (over an existing section, in place).
    void Write(int index, const THeadlineText& style);
    // Removes the preset; the ones after it move down one index. False when it does not exist.
    bool Delete(int index);
    // The preset and its neighbour exchange places; false at either end.
    bool MoveUp(int index);
    bool MoveDown(int index);

    // A first set of styles for a new settings file, so the grid is not empty on first use.
    // Writes nothing when presets exist.
    void WriteStarterSet();

private:
    TIniFile& FFile;
};
