#include "objects/Headline.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Palette.h"
#include "document/Replacement.h"
#include "document/Units.h"
#include "storage/Exception.h"

#include <QFontMetrics>

#include <algorithm>

THeadlineObject::THeadlineObject() : FCodes(std::make_unique<TMultiObjectTable>()) {}

THeadlineObject::~THeadlineObject() = default;

std::unique_ptr<TObjectControl> THeadlineObject::CreateControl() {
    return std::make_unique<THeadlineText>();
}

THeadlineText& THeadlineObject::HeadlineText() {
    return static_cast<THeadlineText&>(Control());
}

const THeadlineText& THeadlineObject::HeadlineText() const {
    return const_cast<THeadlineObject*>(this)->HeadlineText();
}

TReplacementText* THeadlineObject::Code(int index) const {
    return static_cast<TReplacementText*>(FCodes->Items(index));
}

void THeadlineObject::SetTextDirection(quint8 direction) {
    if (TextDirection == direction && HeadlineText().TextDirection == direction) return;
    TextDirection = direction;
    HeadlineText().TextDirection = direction;
    HeadlineText().ComputeBox();
}

void THeadlineObject::ReplaceCodes(TMultiObjectTable* codes) {
    FCodes.reset(codes ? codes : new TMultiObjectTable());
    for (int i = 0; i < FCodes->Count(); ++i)
        if (FCodes->Items(i) && !dynamic_cast<TReplacementText*>(FCodes->Items(i)))
            throw EReadError();
}

void THeadlineObject::ScanPlaceholders() {
    FCodes->Clear();
    QChar awaited; // the closing bracket of the code being read, or none
    int start = 0;
    for (int i = 0; i < Text.size(); ++i) {
        const QChar c = Text[i];
        if (!awaited.isNull() && c == awaited) {
            const QString name = Text.mid(start + 1, i - start - 1).left(255);
            const int position = start + 1; // 1-based, the opening bracket
            if (awaited == QLatin1Char(']'))
                FCodes->Add(new TPersonalizedText(name, position));
            else
                FCodes->Add(new TDatabaseText(name, position, nullptr));
            awaited = QChar();
        } else if (c == QLatin1Char('\r')) {
            awaited = QChar();
            ++i; // the line feed
        } else if (c == QLatin1Char('<')) {
            start = i;
            awaited = QLatin1Char('>');
        } else if (c == QLatin1Char('[')) {
            start = i;
            awaited = QLatin1Char(']');
        }
    }
}

QString THeadlineObject::MergeText() const {
    QString merged = Text;
    int offset = 0;
    for (int i = 0; i < FCodes->Count(); ++i) {
        const TReplacementText* code = Code(i);
        if (!code) continue;
        const QString value = code->GetText();
        const int at = code->Position - 1 + offset;
        if (at < 0 || at > merged.size()) continue;
        merged.replace(at, code->Name.size() + 2, value);
        offset += int(value.size()) - int(code->Name.size()) - 2;
    }
    return merged;
}

void THeadlineObject::RefreshText() {
    HeadlineText().Lines = SplitLines(MergeText());
    HeadlineText().ComputeBox();
}

// The codes show the table's current record (or themselves without a table) and the box
// follows: a document opened on its table is sized for the record, not for the codes.
void THeadlineObject::BindRecordSource(TRecordSource* table) {
    for (int i = 0; i < FCodes->Count(); ++i)
        if (auto* code = dynamic_cast<TDatabaseText*>(FCodes->Items(i))) code->Table = table;
    RefreshText();
    FitBounds();
}

void THeadlineObject::AssignTo(TStored& destination) const {
    TTextControlObject::AssignTo(destination);
    auto* headline = dynamic_cast<THeadlineObject*>(&destination);
    if (!headline) return;
    THeadlineText& target = headline->HeadlineText();
    target.AssignStyle(HeadlineText());
    target.Lines = HeadlineText().Lines;
    headline->Text = Text;
    headline->SetTextDirection(TextDirection);
    auto codes = std::make_unique<TMultiObjectTable>();
    codes->Assign(*FCodes);
    headline->FCodes = std::move(codes);
}

void THeadlineObject::Store(TStorage& storage) const {
    const THeadlineText& h = HeadlineText();
    storage.SetClassVersion(StoredName, 3);
    TTextControlObject::Store(storage);
    storage.WriteString(h.Font.Name);
    storage.WriteLongint(h.Font.Size);
    storage.WriteLongint(qint32(h.Font.Color));
    storage.WriteBoolean(h.Font.Bold);
    storage.WriteBoolean(h.Font.Italic);
    storage.WriteBoolean(h.Font.Underline);
    storage.WriteBoolean(h.Font.StrikeOut);
    storage.WriteLongString(Text);
    storage.WriteByte(quint8(h.Alignment));
    storage.WriteLongint(qint32(h.GraduateFromColor));
    storage.WriteLongint(qint32(h.GraduateToColor));
    storage.WriteByte(h.GraduateStyle);
    storage.WriteString(h.TextureFile);
    storage.WriteBoolean(h.Texture);
    storage.WriteLongint(h.HighlightDepth);
    storage.WriteLongint(h.ShadowDepth);
    storage.WriteByte(h.HighlightStyle);
    storage.WriteByte(h.ShadowStyle);
    storage.WriteLongint(qint32(h.HighlightColor));
    storage.WriteLongint(qint32(h.ShadowColor));
    storage.WriteByte(h.HighlightDirection);
    storage.WriteByte(h.ShadowDirection);
    storage.WriteLongint(qint32(h.Color));
    storage.WriteLongint(qint32(h.BackFromColor));
    storage.WriteLongint(qint32(h.BackToColor));
    storage.WriteByte(h.BackDirection);
    storage.WriteString(h.BackTextureFile);
    storage.WriteByte(h.BackStyle);
    storage.WriteLongint(h.BorderSize());
    storage.WriteLongint(qint32(h.BorderColor));
    storage.WriteBoolean(h.DeleteBlankLines);
    storage.WriteByte(TextDirection);
    storage.WriteInstance(FCodes.get());
}

void THeadlineObject::Load(TStorage& storage) {
    const quint16 legacyVersion = storage.ClassVersion(LegacyName);
    if (legacyVersion != 0) {
        LoadLegacyRecord(storage, legacyVersion);
        return;
    }
    const quint16 version = storage.ClassVersion(StoredName);
    THeadlineText& h = HeadlineText();
    TTextControlObject::Load(storage);
    h.Font.Name = storage.ReadString();
    h.Font.Size = storage.ReadLongint();
    h.Font.Color = quint32(storage.ReadLongint());
    h.Font.Bold = storage.ReadBoolean();
    h.Font.Italic = storage.ReadBoolean();
    h.Font.Underline = storage.ReadBoolean();
    h.Font.StrikeOut = storage.ReadBoolean();
    Text = version >= 2 ? storage.ReadLongString() : storage.ReadString();
    h.Alignment = THeadlineAlignment(storage.ReadByte());
    h.GraduateFromColor = quint32(storage.ReadLongint());
    h.GraduateToColor = quint32(storage.ReadLongint());
    h.GraduateStyle = storage.ReadByte();
    if (version == 0) storage.ReadString(); // a field of the first version only
    h.TextureFile = THeadlineText::TextureName(storage.ReadString());
    h.Texture = storage.ReadBoolean();
    h.HighlightDepth = quint8(storage.ReadLongint());
    h.ShadowDepth = quint8(storage.ReadLongint());
    h.HighlightStyle = storage.ReadByte();
    h.ShadowStyle = storage.ReadByte();
    h.HighlightColor = quint32(storage.ReadLongint());
    h.ShadowColor = quint32(storage.ReadLongint());
    h.HighlightDirection = storage.ReadByte();
    h.ShadowDirection = storage.ReadByte();
    h.Color = quint32(storage.ReadLongint());
    h.BackFromColor = quint32(storage.ReadLongint());
    h.BackToColor = quint32(storage.ReadLongint());
    h.BackDirection = storage.ReadByte();
    h.BackTextureFile = THeadlineText::TextureName(storage.ReadString());
    h.BackStyle = storage.ReadByte();
    h.SetBorderSize(storage.ReadLongint());
    h.BorderColor = quint32(storage.ReadLongint());
    h.DeleteBlankLines = storage.ReadBoolean();
    SetTextDirection(version >= 3 ? storage.ReadByte() : quint8(tdRight));
    ReplaceCodes(storage.ReadInstanceOf<TMultiObjectTable>());
    RefreshText();
}

void THeadlineObject::Loaded() { FitBounds(); }

// Headlines of older documents, stored under the name TTextObject.
void THeadlineObject::LoadLegacyRecord(TStorage& storage, quint16 v) {
    THeadlineText& h = HeadlineText();
    if (v == 1) {
        const TRect pixels = storage.ReadRect();
        Bounds = ScreenToUnits(pixels);
        Bounds = {std::clamp(Bounds.Left, -32768, 32767), std::clamp(Bounds.Top, -32768, 32767),
                  std::clamp(Bounds.Right, -32768, 32767),
                  std::clamp(Bounds.Bottom, -32768, 32767)};
        LinkType = ltNone;
    } else {
        TTextControlObject::Load(storage);
        h.Color = PaletteColorRef(storage.ReadByte());
        h.BackStyle = storage.ReadBoolean() ? basTransparent : basSolid;
        h.BorderColor = storage.ReadByte(); // the byte is the colour value itself
        h.SetBorderSize(storage.ReadByte());
    }
    Text = v >= 5 ? storage.ReadLongString() : storage.ReadPChar();
    if (v < 4) storage.ReadPChar();
    h.Font.Name = storage.ReadString();
    h.Font.Color = quint32(storage.ReadLongint());
    h.Font.Size = std::max(1, storage.ReadSmallint() - 2);
    h.Font.Bold = storage.ReadBoolean();
    h.Font.Italic = storage.ReadBoolean();
    h.Font.Underline = storage.ReadBoolean();
    h.Font.StrikeOut = storage.ReadBoolean();
    h.Alignment = THeadlineAlignment(storage.ReadByte());
    const quint8 shadowKind = storage.ReadByte();
    const quint8 shadowColor = storage.ReadByte(); // the byte is the colour value itself
    const quint8 shadowDepth = storage.ReadByte();
    ApplyShadowKind(shadowKind, shadowColor, shadowDepth);
    if (v < 4) ReplaceCodes(nullptr);
    if (v == 1) {
        const quint8 background = storage.ReadByte();
        if (background == 255) {
            h.BackStyle = basTransparent;
        } else {
            h.BackStyle = basSolid;
            h.Color = PaletteColorRef(background);
        }
        SetTextDirection(storage.ReadByte());
        h.BorderColor = PaletteColorRef(storage.ReadByte());
        h.SetBorderSize(storage.ReadByte());
    } else {
        SetTextDirection(storage.ReadByte());
        if (v >= 3) h.DeleteBlankLines = storage.ReadBoolean();
        if (v >= 4) ReplaceCodes(storage.ReadInstanceOf<TMultiObjectTable>());
    }
    Text = WrapText(Text, h.Font.ToQFont(ScreenPixelsPerInch()), UnitsToScreen(Bounds.Width()));
    RefreshText();
}

// Headlines from old records and from the wizard never had their shading chosen by the user:
// the created one-step shadow and highlight are not theirs, so only the kind's shadow shows.
void THeadlineObject::ApplyShadowKind(int kind, quint32 color, int depth) {
    THeadlineText& h = HeadlineText();
    h.HighlightDepth = 0;
    h.HighlightDirection = sdNone;
    static constexpr quint8 Directions[] = {sdUpLeft, sdUpRight, sdDownLeft, sdDownRight};
    if (kind >= 1 && kind <= 4) {
        h.ShadowDirection = Directions[kind - 1];
        h.ShadowStyle = ssPlain;
        h.ShadowColor = color;
        h.ShadowDepth = quint8(depth);
    } else {
        h.ShadowDepth = 0;
        h.ShadowDirection = sdNone;
    }
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    QString line;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(line);
            line.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            line.append(c);
        }
    }
    if (!line.isEmpty()) lines.append(line);
    return lines;
}

QString WrapText(const QString& text, const QFont& font, int width) {
    const QFontMetrics metrics(font);
    QStringList out;
    for (const QString& paragraph : SplitLines(text)) {
        if (width <= 0 || metrics.horizontalAdvance(paragraph) <= width) {
            out.append(paragraph);
            continue;
        }
        QString line;
        const QStringList words = paragraph.split(QLatin1Char(' '));
        for (const QString& word : words) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (line.isEmpty() || metrics.horizontalAdvance(candidate) <= width) {
                line = candidate;
                continue;
            }
            out.append(line);
            line = word;
        }
        out.append(line);
    }
    return out.join(QStringLiteral("\r\n"));
}

THeadlineObject* THeadlineObject::CreateDefault() {
    const QString section = QStringLiteral("Default Headline");
    const TSettingsStore& s = AppContext().Settings();
    auto read = [&](const char* key, int fallback) {
        return s.ReadInteger(section, QString::fromLatin1(key), fallback);
    };
    auto* headline = new THeadlineObject();
    headline->CenterHorizontally =
        s.ReadBool(section, QStringLiteral("Center Horizontally"), false);
    headline->CenterVertically = s.ReadBool(section, QStringLiteral("Center Vertically"), false);
    THeadlineText& h = headline->HeadlineText();
    headline->SetTextDirection(quint8(read("Text Direction", tdRight)));
    h.Font.Name = s.ReadString(section, QStringLiteral("Font Name"), QStringLiteral("Arial"));
    h.Font.Size = read("Font Size", 20);
    h.Font.Color = quint32(read("Font Color", 0));
    h.Font.SetStyleBits(read("Font Style", 0));
    h.Alignment = THeadlineAlignment(read("Justification", haCentre));
    h.GraduateFromColor = quint32(read("Graduate From Color", 0));
    h.GraduateToColor = quint32(read("Graduate To Color", 0));
    h.GraduateStyle = quint8(read("Graduate Style", gsNone));
    h.TextureFile =
        THeadlineText::TextureName(s.ReadString(section, QStringLiteral("Texture File"), QString()));
    h.Texture = s.ReadBool(section, QStringLiteral("Texture"), false);
    h.HighlightDepth = quint8(read("Highlight Depth", 0));
    h.HighlightStyle = quint8(read("Highlight Style", ssPlain));
    h.HighlightColor = quint32(read("Highlight Color", 0));
    h.HighlightDirection = quint8(read("Highlight Direction", sdNone));
    h.ShadowDepth = quint8(read("Shadow Depth", 0));
    h.ShadowStyle = quint8(read("Shadow Style", ssPlain));
    h.ShadowColor = quint32(read("Shadow Color", 0));
    h.ShadowDirection = quint8(read("Shadow Direction", sdNone));
    h.Color = quint32(read("Background Color", 0));
    h.BackFromColor = quint32(read("Background From Color", 0));
    h.BackToColor = quint32(read("Background To Color", 0));
    h.BackDirection = quint8(read("Background Direction", 0));
    h.BackTextureFile = THeadlineText::TextureName(
        s.ReadString(section, QStringLiteral("Background Texture File"), QString()));
    h.BackStyle = quint8(read("Background Style", basTransparent));
    h.SetBorderSize(read("Border Size", 0));
    h.BorderColor = quint32(read("Border Color", 0));
    h.DeleteBlankLines = s.ReadBool(section, QStringLiteral("Delete Blank Lines"), false);
    // Banners print over many sheets: letters and background stay plain there.
    const TCard* card = AppContext().ActiveCard;
    if (card && IsBannerType(card->DocumentType)) {
        h.GraduateStyle = gsNone;
        h.Texture = false;
        h.TextureFile.clear();
        h.GraduateFromColor = h.GraduateToColor = 0xFFFFFF;
        h.BackTextureFile.clear();
        h.BackFromColor = h.BackToColor = 0xFFFFFF;
        h.BackDirection = 0;
        if (h.BackStyle == basGradient || h.BackStyle == basTexture) h.BackStyle = basTransparent;
    }
    headline->RefreshText();
    return headline;
}

void THeadlineObject::FitBounds() {
    const QSize box = HeadlineText().Box();
    const TRect b = Bounds;
    Bounds = {b.Left, b.Top, b.Left + ScreenToUnits(box.width()), b.Top + ScreenToUnits(box.height())};
}

TRect THeadlineObject::AdjustRect(const TRect& pixels) const {
    // Only the top-left corner counts: the size is the box's (and the control frame's). The
    // box is a cache of the lines and the style, so computing it here changes nothing else.
    const QSize box = const_cast<THeadlineText&>(HeadlineText()).ComputeBox();
    const TRect sized{pixels.Left, pixels.Top, pixels.Left + box.width() + 2 * ControlFrame,
                      pixels.Top + box.height() + 2 * ControlFrame};
    return TTextControlObject::AdjustRect(sized);
}

void THeadlineObject::Draw(TCanvas& canvas, int dx, int dy, bool printing) {
    TRect r = DeviceBounds(canvas);
    r.Offset(dx, dy);
    HeadlineText().DrawInto(canvas, r.ToQRect(), printing);
}

bool THeadlineObject::Personalize() {
    bool completed = true;
    for (int i = 0; i < FCodes->Count(); ++i) {
        auto* code = dynamic_cast<TPersonalizedText*>(FCodes->Items(i));
        if (!code) continue;
        QString value = code->GetText();
        if (!AppContext().Shell().PromptPersonalizedText(Text, code->Name, value)) {
            completed = false;
            break;
        }
        code->SetText(value);
    }
    RefreshText();
    TRect pixels = GetBounds();
    const QSize box = HeadlineText().Box();
    SetBoundsPixels({pixels.Left, pixels.Top, pixels.Left + box.width() + 2 * ControlFrame,
                     pixels.Top + box.height() + 2 * ControlFrame});
    Realign();
    return completed;
}

THeadlineObject* THeadlineObject::CreateForWizard(bool centerHorizontally, bool deleteBlankLines,
                                                  quint32 shadow, THeadlineAlignment alignment,
                                                  const QString& text,
                                                  int fontStyle, quint32 fontColor, int fontSize,
                                                  const QString& fontName, quint16 border,
                                                  bool transparent, int backgroundColor,
                                                  bool centerVertically) {
    auto* headline = new THeadlineObject();
    headline->CenterHorizontally = centerHorizontally;
    headline->CenterVertically = centerVertically;
    THeadlineText& h = headline->HeadlineText();
    h.DeleteBlankLines = deleteBlankLines;
    headline->ApplyShadowKind(int(shadow & 0xFF), (shadow >> 8) & 0xFF, int(shadow >> 16));
    h.Alignment = alignment;
    headline->Text = text;
    h.Font.SetStyleBits(fontStyle);
    h.Font.Color = fontColor;
    h.Font.Size = fontSize;
    h.Font.Name = fontName;
    h.BorderColor = PaletteColorRef(border & 0xFF);
    h.SetBorderSize(border >> 8);
    h.BackStyle = transparent ? basTransparent : basSolid;
    h.Color = PaletteColorRef(backgroundColor);
    headline->RefreshText();
    return headline;
}

namespace {

// Word characters of headline text: everything but control bytes, blanks, punctuation and
// the brackets of codes.
bool IsHeadlineWordCharacter(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 128) return true;
    return !(u <= 13 || (u >= 32 && u <= 47) || (u >= 58 && u <= 64) || (u >= 91 && u <= 96) ||
             (u >= 123 && u <= 127));
}

} // namespace

QString THeadlineObject::BeginSpellCheck(TSpellCheckState& state) {
    state.Reset();
    state.Buffer = Text;
    return NextWord(state);
}

QString THeadlineObject::NextWord(TSpellCheckState& state) {
    const QString& text = state.Buffer;
    bool inCode = false;
    int i = state.Position;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == QLatin1Char('<') || c == QLatin1Char('[')) inCode = true;
        else if (c == QLatin1Char('>') || c == QLatin1Char(']')) inCode = false;
        if (!IsHeadlineWordCharacter(c) || inCode) {
            ++i;
            continue;
        }
        int j = i;
        while (j < text.size() && IsHeadlineWordCharacter(text[j])) ++j;
        return state.TakeWord(i, j);
    }
    return state.TakeEnd();
}

void THeadlineObject::ReplaceWord(TSpellCheckState& state, const QString& word) {
    state.ReplaceLastWord(word);
    Text = state.Buffer;
    RefreshText();
    AppContext().Shell().RepaintObject(*this);
}
