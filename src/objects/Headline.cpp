#include "objects/Headline.h"

#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Palette.h"
#include "document/Replacement.h"
#include "document/Units.h"
#include "objects/PictureFiles.h"
#include "storage/Exception.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <algorithm>

// ---- THeadlineText ----

THeadlineText::THeadlineText() {
    Font.Name = QStringLiteral("Times New Roman");
    Font.Size = 20;
}

void THeadlineText::SetBorderSize(int size) {
    FBorderSize = std::clamp(size, 0, 10);
}

void THeadlineText::AssignStyle(const THeadlineText& s) {
    Font = s.Font;
    Alignment = s.Alignment;
    Color = s.Color;
    ShadowColor = s.ShadowColor;
    ShadowDepth = s.ShadowDepth;
    ShadowDirection = s.ShadowDirection;
    ShadowStyle = s.ShadowStyle;
    HighlightColor = s.HighlightColor;
    HighlightDepth = s.HighlightDepth;
    HighlightDirection = s.HighlightDirection;
    HighlightStyle = s.HighlightStyle;
    GraduateFromColor = s.GraduateFromColor;
    GraduateStyle = s.GraduateStyle;
    GraduateToColor = s.GraduateToColor;
    Texture = s.Texture;
    TextureFile = s.TextureFile;
    BackStyle = s.BackStyle;
    BackFromColor = s.BackFromColor;
    BackToColor = s.BackToColor;
    BackTextureFile = s.BackTextureFile;
    BackDirection = s.BackDirection;
    BorderColor = s.BorderColor;
    FBorderSize = s.FBorderSize;
    DeleteBlankLines = s.DeleteBlankLines;
}

// ---- THeadlineObject ----

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
    storage.WriteByte(h.Alignment);
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
    h.Alignment = storage.ReadByte();
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
    h.Alignment = storage.ReadByte();
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

// ---- text helpers ----

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
    h.Alignment = quint8(read("Justification", 2));
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
    if (card && card->DocumentType == 12) {
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

// ---- the box and the drawing ----

namespace {

QPoint Step(quint8 direction) {
    static constexpr int Dx[] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
    static constexpr int Dy[] = {0, -1, -1, 0, 1, 1, 1, 0, -1};
    return direction <= sdUpLeft ? QPoint(Dx[direction], Dy[direction]) : QPoint();
}

// The horizontal and vertical room the two shades need beyond the letters, and how far the
// letters move right and down to leave it (offsets are at most 0 to the left and top).
struct TShadeExtent {
    int Left = 0, Right = 0, Top = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

TShadeExtent ShadeExtent(QPoint highlight, QPoint shadow) {
    return {std::min({highlight.x(), shadow.x(), 0}), std::max({highlight.x(), shadow.x(), 0}),
            std::min({highlight.y(), shadow.y(), 0}), std::max({highlight.y(), shadow.y(), 0})};
}

int Channel(int from, int to, int i, int n) {
    return n > 1 ? from + RoundHalfAway(double(i) * (to - from) / (n - 1)) : from;
}

QColor Blend(quint32 fromRef, quint32 toRef, int i, int n) {
    const QColor from = ColorFromRef(fromRef);
    const QColor to = ColorFromRef(toRef);
    return QColor(Channel(from.red(), to.red(), i, n), Channel(from.green(), to.green(), i, n),
                  Channel(from.blue(), to.blue(), i, n));
}

// One-pixel strips from one colour to the other: rows when vertical, columns otherwise.
void FillGradient(QPainter& painter, const QRect& r, quint32 from, quint32 to, bool vertical) {
    const int n = vertical ? r.height() : r.width();
    for (int i = 0; i < n; ++i) {
        const QRect strip = vertical ? QRect(r.left(), r.top() + i, r.width(), 1)
                                     : QRect(r.left() + i, r.top(), 1, r.height());
        painter.fillRect(strip, Blend(from, to, i, n));
    }
}

int AlignmentFlag(quint8 alignment) {
    switch (alignment) {
    case 1: return Qt::AlignRight;
    case 2: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

} // namespace

QSize THeadlineText::ComputeBox() {
    const TShadeExtent shades = ShadeExtent(Step(HighlightDirection) * HighlightDepth,
                                            Step(ShadowDirection) * ShadowDepth);
    const QFontMetrics metrics(Font.ToQFont(ScreenPixelsPerInch()));
    int width = 0;
    int measured = 0;
    for (const QString& line : Lines) {
        if (DeleteBlankLines && line.isEmpty()) continue;
        const QRect r = metrics.boundingRect(QRect(0, 0, 100000, 100000),
                                             Qt::TextExpandTabs | Qt::TextSingleLine, line);
        width = std::max(width, r.width());
        ++measured;
    }
    LineHeight = measured > 0 ? metrics.height() : 0;
    BoxWidth = width;
    const int w = width + shades.Width() + 2 * FBorderSize;
    const int h = measured * LineHeight + shades.Height() + 2 * FBorderSize;
    FBox = (TextDirection == tdDown || TextDirection == tdUp) ? QSize(h, w) : QSize(w, h);
    return FBox;
}

QString THeadlineText::TextureName(const QString& chosenPath) {
    const QFileInfo file(chosenPath);
    if (chosenPath.isEmpty() || !chosenPath.contains(QLatin1Char('/'))) return chosenPath;
    const QString textures = AppContext().TexturesFolder;
    if (!textures.isEmpty() &&
        QDir::cleanPath(file.absolutePath()).compare(QDir::cleanPath(textures), Qt::CaseInsensitive) == 0)
        return file.fileName();
    return chosenPath;
}

QImage THeadlineText::TexturePicture(const QString& name) {
    if (name.isEmpty()) return {};
    const QString path = name.contains(QLatin1Char('/'))
                             ? name
                             : QDir(AppContext().TexturesFolder).filePath(name);
    static QHash<QString, QImage> cache;
    auto found = cache.constFind(path);
    if (found != cache.constEnd()) return *found;
    const QImage picture = LoadPictureImage(path);
    if (cache.size() > 32) cache.clear();
    cache.insert(path, picture);
    return picture;
}

QByteArray THeadlineText::AppearanceKey() const {
    QByteArray key;
    QDataStream out(&key, QIODevice::WriteOnly);
    out << Font.Name << Font.Size << Font.Color << Font.StyleBits() << Alignment << Color
        << BackStyle << BackFromColor << BackToColor << BackDirection << BackTextureFile
        << BorderColor << FBorderSize << DeleteBlankLines << GraduateFromColor << GraduateToColor
        << GraduateStyle << Texture << TextureFile << ShadowColor << ShadowDepth
        << ShadowDirection << ShadowStyle << HighlightColor << HighlightDepth
        << HighlightDirection << HighlightStyle << Lines << LineHeight
        << ScreenPixelsPerInch();
    return key;
}

// Large letters are filled as outlines, once per shade copy: a deep shadow costs tens of
// milliseconds. The editing surface repaints far more often than headlines change, so the
// screen drawing is kept as a picture and redrawn from it while nothing it depends on changed.
void THeadlineText::DrawInto(TCanvas& canvas, const QRect& r, bool printing) {
    QPainter& painter = canvas.Painter();
    const QTransform t = painter.worldTransform();
    const bool cacheable = !printing && canvas.Kind() == TCanvas::TKind::Screen &&
                           t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0;
    const QRectF mapped = t.mapRect(QRectF(r));
    const QRect device = mapped.toAlignedRect();
    constexpr qint64 LargestKeptPicture = 8'000'000; // pixels
    if (!cacheable || r.isEmpty() || qint64(device.width()) * device.height() > LargestKeptPicture) {
        Render(canvas, r);
        return;
    }
    QByteArray key = AppearanceKey();
    {
        QDataStream out(&key, QIODevice::Append);
        out << r.size() << t.m11() << t.m22() << mapped.topLeft() - QPointF(device.topLeft())
            << canvas.DpiX() << canvas.DpiY();
    }
    if (key != FRenderedKey || FRendered.size() != device.size()) {
        FRendered = QImage(device.size(), QImage::Format_ARGB32_Premultiplied);
        FRendered.fill(Qt::transparent);
        QPainter picture(&FRendered);
        picture.setRenderHints(painter.renderHints());
        // The same mapping as the surface's, moved so the box lands at the picture's corner.
        picture.setWorldTransform(QTransform(t.m11(), 0, 0, t.m22(), t.dx() - device.left(),
                                             t.dy() - device.top()));
        TCanvas pictureCanvas(picture, canvas.DpiX(), canvas.DpiY(), TCanvas::TKind::Screen);
        Render(pictureCanvas, r);
        picture.end();
        FRenderedKey = std::move(key);
    }
    painter.save();
    painter.resetTransform();
    painter.drawImage(device.topLeft(), FRendered);
    painter.restore();
}

int THeadlineText::FittingPixelSize(const QFont& font, int width, int lineHeight) const {
    QStringList shown = Lines;
    if (DeleteBlankLines) shown.removeAll(QString());
    QFont trial = font;
    const auto fits = [&](int pixels) {
        trial.setPixelSize(pixels);
        const QFontMetrics metrics(trial);
        if (metrics.height() > lineHeight) return false;
        for (const QString& line : shown) {
            const QRect r = metrics.boundingRect(QRect(0, 0, 100000, 100000),
                                                 Qt::TextExpandTabs | Qt::TextSingleLine, line);
            if (r.width() > width) return false;
        }
        return true;
    };
    int largest = font.pixelSize();
    if (shown.isEmpty() || largest <= 1 || fits(largest)) return std::max(largest, 1);
    // The largest size below that fits, found in a few measurements even for poster letters
    // (each size measured loads a font of its own); at least 1 pixel.
    int smallest = 1;
    --largest;
    while (smallest < largest) {
        const int middle = smallest + (largest - smallest + 1) / 2;
        if (fits(middle))
            smallest = middle;
        else
            largest = middle - 1;
    }
    return smallest;
}

void THeadlineText::Render(TCanvas& canvas, const QRect& r) {
    QPainter& painter = canvas.Painter();
    const int screen = ScreenPixelsPerInch();
    const int dpi = canvas.DpiX();
    // Effects are sized in logical pixels; on other devices they scale with the resolution.
    auto scaled = [&](int value) { return MulDiv(value, dpi, screen); };
    const int hd = scaled(HighlightDepth);
    const int sd = scaled(ShadowDepth);
    const int b = scaled(FBorderSize);
    const int lh = scaled(LineHeight);
    const QPoint hStep = Step(HighlightDirection);
    const QPoint sStep = Step(ShadowDirection);
    const TShadeExtent shades = ShadeExtent(hStep * hd, sStep * sd);
    QFont font = Font.ToQFont(canvas.DpiY());
    // The box was measured on the screen; fonts do not scale in proportion to other
    // resolutions (sizes round to whole pixels, hinting differs), so there the letters are
    // made to fit the room the box gives them.
    if (canvas.EffectivePixelsPerInch() != screen)
        font.setPixelSize(FittingPixelSize(font, r.width() - shades.Width() - 2 * b, lh));
    const int shift = Alignment == 2 ? shades.Width() / 2 : (Alignment == 1 ? shades.Width() : 0);
    const int flags = AlignmentFlag(Alignment) | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextSingleLine;

    painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    painter.setFont(font);
    painter.setBackgroundMode(Qt::TransparentMode);
    auto drawLines = [&](QPainter& p, const QRect& box, QPoint offset) {
        int top = box.top() + offset.y() - shades.Top + b;
        const int left = box.left() + offset.x() - shades.Left - shift + b;
        const int right = box.right() + 1 + offset.x() - shades.Left - shift - b;
        for (const QString& line : Lines) {
            if (DeleteBlankLines && line.isEmpty()) continue;
            const QRect lineRect(QPoint(left, top), QPoint(right - 1, top + lh - 1));
            p.save();
            p.setClipRect(lineRect, Qt::IntersectClip);
            p.drawText(lineRect, flags, line);
            p.restore();
            top += lh;
        }
    };

    // Background.
    switch (BackStyle) {
    case basSolid: painter.fillRect(r, ColorFromRef(Color)); break;
    case basGradient: FillGradient(painter, r, BackFromColor, BackToColor, BackDirection == 1); break;
    case basTexture: {
        painter.fillRect(r, Qt::white);
        const QImage texture = TexturePicture(BackTextureFile);
        if (!texture.isNull()) painter.drawImage(r, texture);
        break;
    }
    default: break;
    }

    // Shadow, then highlight: the farthest copy first.
    auto drawShade = [&](int depth, QPoint step, quint8 style, quint32 base) {
        if (depth == 0 || step.isNull()) return;
        const bool steps = style != ssPlain && depth > 1;
        const QColor from = ColorFromRef(base);
        const QColor to = ColorFromRef(Font.Color);
        for (int n = depth; n >= (steps ? 1 : depth); --n) {
            QColor color = from;
            if (style == ssGraduated && depth > 1) {
                auto channel = [&](int f, int t) {
                    return f + RoundHalfAway(double(depth - n) * (t - f) / (depth - 1));
                };
                color = QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                               channel(from.blue(), to.blue()));
            }
            painter.setPen(color);
            drawLines(painter, r, step * n);
        }
    };
    drawShade(sd, sStep, ShadowStyle, ShadowColor);
    drawShade(hd, hStep, HighlightStyle, HighlightColor);

    // Letters: plain, or a gradient or texture seen through the letters. The fill and the
    // mask are made a band of rows at a time, so a headline as large as a poster printed at
    // a fine resolution needs no more memory than a small one.
    if (GraduateStyle != gsNone || Texture) {
        const QImage texture = Texture ? TexturePicture(TextureFile) : QImage();
        constexpr int BandRows = 512;
        // Only what can show: the box within the clip and the device.
        QRect visible = r;
        if (painter.hasClipping()) visible &= painter.clipBoundingRect().toAlignedRect();
        if (const QPaintDevice* device = painter.device()) {
            bool invertible = false;
            const QTransform toLogical = painter.worldTransform().inverted(&invertible);
            if (invertible)
                visible &= toLogical.mapRect(QRectF(0, 0, device->width(), device->height()))
                               .toAlignedRect();
        }
        const int x = visible.left() - r.left(); // the first column within the box
        for (int top = visible.top(); top <= visible.bottom(); top += BandRows) {
            const int rows = std::min(BandRows, visible.bottom() + 1 - top);
            const int y = top - r.top(); // the band's first row within the box
            const QRect box(-x, -y, r.width(), r.height()); // the whole box, seen from the band
            QImage fill(visible.width(), rows, QImage::Format_ARGB32_Premultiplied);
            {
                QPainter p(&fill);
                if (Texture) {
                    fill.fill(Qt::white);
                    if (!texture.isNull()) p.drawImage(box, texture);
                } else if (GraduateStyle == gsVertical) {
                    for (int i = 0; i < rows; ++i)
                        p.fillRect(0, i, fill.width(), 1,
                                   Blend(GraduateFromColor, GraduateToColor, y + i, r.height()));
                } else {
                    for (int i = 0; i < fill.width(); ++i)
                        p.fillRect(i, 0, 1, rows,
                                   Blend(GraduateFromColor, GraduateToColor, x + i, r.width()));
                }
            }
            QImage mask(fill.size(), QImage::Format_ARGB32_Premultiplied);
            mask.fill(Qt::transparent);
            {
                QPainter p(&mask);
                p.setRenderHints(painter.renderHints());
                p.setFont(font);
                p.setPen(Qt::black);
                drawLines(p, box, QPoint());
            }
            // The letters' coverage becomes the fill's opacity.
            QPainter p(&fill);
            p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            p.drawImage(0, 0, mask);
            p.end();
            painter.drawImage(QPoint(visible.left(), top), fill);
        }
    } else {
        painter.setPen(ColorFromRef(Font.Color));
        drawLines(painter, r, QPoint());
    }

    // Border, inside the box.
    if (b > 0) {
        QPen pen(ColorFromRef(BorderColor), b);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(r).adjusted(b / 2.0, b / 2.0, -b / 2.0, -b / 2.0));
    }
    painter.restore();
}

// ---- the object ----

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
                                                  quint32 shadow, int alignment, const QString& text,
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
    h.Alignment = quint8(alignment);
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

QString THeadlineObject::BeginSpellCheck() {
    TSpellCheckState& state = TSpellCheckState::Instance();
    state.Reset();
    state.Buffer = Text;
    return NextWord();
}

QString THeadlineObject::NextWord() {
    TSpellCheckState& state = TSpellCheckState::Instance();
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

void THeadlineObject::ReplaceWord(const QString& word) {
    TSpellCheckState& state = TSpellCheckState::Instance();
    state.ReplaceLastWord(word);
    Text = state.Buffer;
    RefreshText();
    AppContext().Shell().RepaintObject(*this);
}
