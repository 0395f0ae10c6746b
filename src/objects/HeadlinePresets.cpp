#include "objects/HeadlinePresets.h"

#include "document/IniFile.h"
#include "objects/Headline.h"

#include <limits>
#include <vector>

namespace {

struct TNamedColor {
    const char* Name;
    quint32 Value;
};

// The standard colour identifiers; the first name of a value is the one written.
constexpr TNamedColor NamedColors[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    // Aliases, read only.
    {"clDkGray", 0x808080},
    {"clLtGray", 0xC0C0C0},
};

QString Key(const char* name) {
    return QString::fromLatin1(name);
}

} // namespace

QString ColorToText(quint32 color) {
    for (const TNamedColor& named : NamedColors)
        if (named.Value == color) return QString::fromLatin1(named.Name);
    return QStringLiteral("$%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

quint32 TextToColor(const QString& text, bool* ok) {
    if (ok) *ok = true;
    const QString t = text.trimmed();
    if (t.isEmpty()) return 0;
    for (const TNamedColor& named : NamedColors)
        if (t.compare(QLatin1String(named.Name), Qt::CaseInsensitive) == 0) return named.Value;
    bool parsed = false;
    qlonglong value = 0;
    if (t.startsWith(QLatin1Char('$')))
        value = t.mid(1).toLongLong(&parsed, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = t.mid(2).toLongLong(&parsed, 16);
    else
        value = t.toLongLong(&parsed, 10);
    // A 32-bit value, also when written as a negative signed number.
    if (parsed &&
        (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<quint32>::max()))
        parsed = false;
    if (!parsed) {
        if (ok) *ok = false;
        return 0;
    }
    return quint32(value);
}

QString THeadlinePresets::SectionName(int index) {
    return QStringLiteral("Preset%1").arg(index);
}

int THeadlinePresets::Count() const {
    int count = 0;
    while (FFile.HasSection(SectionName(count)))
        ++count;
    return count;
}

bool THeadlinePresets::Exists(int index) const {
    return index >= 0 && index < Count();
}

void THeadlinePresets::Read(int index, THeadlineText& h) const {
    const QString s = SectionName(index);
    auto integer = [&](const char* key, int fallback) {
        return FFile.ReadInteger(s, Key(key), fallback);
    };
    auto boolean = [&](const char* key) { return FFile.ReadBool(s, Key(key), false); };
    auto string = [&](const char* key) { return FFile.ReadString(s, Key(key), QString()); };
    auto color = [&](const char* key) { return TextToColor(string(key)); };

    h.Font.Name =
        FFile.ReadString(s, QStringLiteral("FontName"), QStringLiteral("Times New Roman"));
    h.Font.Size = integer("FontSize", 10);
    h.Font.Color = color("FontColor");
    h.Font.Bold = boolean("FontBold");
    h.Font.Italic = boolean("FontItalic");
    h.Font.Underline = boolean("FontUnderline");
    h.Alignment = THeadlineAlignment(integer("Alignment", haCentre));
    h.GraduateFromColor = color("GraduateFromColor");
    h.GraduateToColor = color("GraduateToColor");
    h.GraduateStyle = quint8(integer("GraduateStyle", gsNone));
    h.TextureFile = THeadlineText::TextureName(string("TextureFile"));
    h.Texture = boolean("Texture");
    h.HighlightDepth = quint8(integer("HighlightDepth", 1));
    h.ShadowDepth = quint8(integer("ShadowDepth", 1));
    h.HighlightStyle = quint8(integer("HighlightStyle", ssPlain));
    h.ShadowStyle = quint8(integer("ShadowStyle", ssPlain));
    h.HighlightColor = color("HighlightColor");
    h.ShadowColor = color("ShadowColor");
    h.HighlightDirection = quint8(integer("HighlightDirection", sdNone));
    h.ShadowDirection = quint8(integer("ShadowDirection", sdNone));
    h.Color = color("BackColor");
    h.BackFromColor = color("BackFromColor");
    h.BackToColor = color("BackToColor");
    h.BackDirection = quint8(integer("BackDirection", 0));
    h.BackTextureFile = THeadlineText::TextureName(string("BackTextureFile"));
    h.BackStyle = quint8(integer("BackStyle", basTransparent));
    h.SetBorderSize(integer("BorderSize", 0));
    h.BorderColor = color("BorderColor");
}

void THeadlinePresets::Write(int index, const THeadlineText& h) {
    const QString s = SectionName(index);
    auto integer = [&](const char* key, int value) { FFile.WriteInteger(s, Key(key), value); };
    auto boolean = [&](const char* key, bool value) { FFile.WriteBool(s, Key(key), value); };
    auto string = [&](const char* key, const QString& value) {
        FFile.WriteString(s, Key(key), value);
    };
    auto color = [&](const char* key, quint32 value) { string(key, ColorToText(value)); };

    string("FontName", h.Font.Name);
    integer("FontSize", h.Font.Size);
    color("FontColor", h.Font.Color);
    boolean("FontBold", h.Font.Bold);
    boolean("FontItalic", h.Font.Italic);
    boolean("FontUnderline", h.Font.Underline);
    integer("Alignment", h.Alignment);
    color("GraduateFromColor", h.GraduateFromColor);
    color("GraduateToColor", h.GraduateToColor);
    integer("GraduateStyle", h.GraduateStyle);
    string("TextureFile", h.TextureFile);
    boolean("Texture", h.Texture);
    integer("HighlightDepth", h.HighlightDepth);
    integer("ShadowDepth", h.ShadowDepth);
    integer("HighlightStyle", h.HighlightStyle);
    integer("ShadowStyle", h.ShadowStyle);
    color("HighlightColor", h.HighlightColor);
    color("ShadowColor", h.ShadowColor);
    integer("HighlightDirection", h.HighlightDirection);
    integer("ShadowDirection", h.ShadowDirection);
    color("BackColor", h.Color);
    color("BackFromColor", h.BackFromColor);
    color("BackToColor", h.BackToColor);
    integer("BackDirection", h.BackDirection);
    string("BackTextureFile", h.BackTextureFile);
    integer("BackStyle", h.BackStyle);
    integer("BorderSize", h.BorderSize());
    color("BorderColor", h.BorderColor);
}

bool THeadlinePresets::Delete(int index) {
    if (!Exists(index)) return false;
    FFile.EraseSection(SectionName(index));
    for (int i = index + 1; FFile.HasSection(SectionName(i)); ++i)
        FFile.RenameSection(SectionName(i), SectionName(i - 1));
    return true;
}

bool THeadlinePresets::MoveUp(int index) {
    if (index <= 0 || !Exists(index)) return false;
    return FFile.ExchangeSections(SectionName(index), SectionName(index - 1));
}

bool THeadlinePresets::MoveDown(int index) {
    if (index < 0 || !Exists(index + 1)) return false;
    return FFile.ExchangeSections(SectionName(index), SectionName(index + 1));
}

namespace {

THeadlineText StarterStyle(const char* font, int size, quint32 color, bool bold, bool italic) {
    THeadlineText style;
    style.Font = {QString::fromLatin1(font), size, color, bold, italic};
    style.Alignment = haCentre;
    style.ShadowDepth = 0;
    style.ShadowDirection = sdNone;
    style.HighlightDepth = 0;
    style.HighlightDirection = sdNone;
    return style;
}

} // namespace

void THeadlinePresets::WriteStarterSet() {
    if (Count() > 0) return;
    std::vector<THeadlineText> styles;

    THeadlineText s = StarterStyle("Arial", 28, 0x0000C0, true, false); // red, grey shadow
    s.ShadowDirection = sdDownRight;
    s.ShadowDepth = 3;
    s.ShadowColor = 0x808080;
    styles.push_back(s);

    s = StarterStyle("Arial", 28, 0x0080FF, true, false); // orange gradient, extruded
    s.GraduateStyle = gsVertical;
    s.GraduateFromColor = 0x00FFFF;
    s.GraduateToColor = 0x0040FF;
    s.ShadowDirection = sdDownRight;
    s.ShadowDepth = 4;
    s.ShadowStyle = ssExtrude;
    s.ShadowColor = 0x404040;
    styles.push_back(s);

    s = StarterStyle("Arial", 28, 0xFFFFFF, true, false); // white on navy, yellow border
    s.BackStyle = basSolid;
    s.Color = 0x800000;
    s.SetBorderSize(3);
    s.BorderColor = 0x00FFFF;
    styles.push_back(s);

    s = StarterStyle("Times New Roman", 28, 0x000000, true, true); // sky background
    s.BackStyle = basGradient;
    s.BackFromColor = 0xFFFF00;
    s.BackToColor = 0xFF0000;
    s.BackDirection = 0;
    styles.push_back(s);

    s = StarterStyle("Times New Roman", 28, 0x004080, true, false); // gold letters
    s.Texture = true;
    s.TextureFile = QStringLiteral("Gold.bmp");
    s.ShadowDirection = sdDownRight;
    s.ShadowDepth = 2;
    s.ShadowColor = 0x004080;
    styles.push_back(s);

    s = StarterStyle("Arial", 28, 0x008000, true, false); // green, graduated shadow
    s.ShadowDirection = sdDownRight;
    s.ShadowDepth = 6;
    s.ShadowStyle = ssGraduated;
    s.ShadowColor = 0x004000;
    s.HighlightDirection = sdUpLeft;
    s.HighlightDepth = 1;
    s.HighlightColor = 0xFFFFFF;
    styles.push_back(s);

    for (size_t i = 0; i < styles.size(); ++i) Write(int(i), styles[i]);
}
