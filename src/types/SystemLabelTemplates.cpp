#include "types/SystemLabelTemplates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <cmath>

namespace {

// Debian's largest template file is well under a megabyte; anything far beyond is not one.
constexpr qint64 MaxFileBytes = 8 * 1024 * 1024;
constexpr int MaxFiles = 2000;
constexpr int MaxRows = 50000;
constexpr int MaxTextLength = 200;  // brand, part and description
constexpr int MaxCellsPerAxis = 200;
constexpr double MaxSheetInches = 100;
constexpr double Tolerance = 0.01; // templates round their lengths to the point or 0.1 mm

// A length attribute in inches: a number with pt (the default), in, mm, cm or pc.
std::optional<double> Length(const QXmlStreamAttributes& attributes, const char* name) {
    const QStringView text = attributes.value(QLatin1String(name)).trimmed();
    if (text.isEmpty()) return std::nullopt;
    static const QRegularExpression form(
        QStringLiteral("^([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)\\s*(pt|in|mm|cm|pc)?$"));
    const QRegularExpressionMatch match = form.match(text.toString());
    if (!match.hasMatch()) return std::nullopt;
    bool ok = false;
    const double number = match.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(number)) return std::nullopt;
    const QString unit = match.captured(2);
    if (unit == QLatin1String("in")) return number;
    if (unit == QLatin1String("mm")) return number / 25.4;
    if (unit == QLatin1String("cm")) return number / 2.54;
    if (unit == QLatin1String("pc")) return number / 6;
    return number / 72;
}

std::optional<int> Count(const QXmlStreamAttributes& attributes, const char* name) {
    bool ok = false;
    const int n = attributes.value(QLatin1String(name)).trimmed().toInt(&ok);
    if (!ok || n < 1 || n > MaxCellsPerAxis) return std::nullopt;
    return n;
}

QString Text(const QXmlStreamAttributes& attributes, const char* name) {
    return attributes.value(QLatin1String(name)).trimmed().toString().simplified();
}

// The label and its grid: what a clone copies from its original.
struct TShape {
    QString LabelShape;
    double Width = 0, Height = 0;
    int Labels = 0, Layouts = 0; // label nodes and grids: exactly one of each can be shown
    int NumAcross = 0, NumDown = 0;
    double Left = 0, Top = 0, PitchAcross = 0, PitchDown = 0;
    bool Representable = true;
    QString Size;
    double SheetWidth = 0, SheetHeight = 0;
    QString Description;
    QStringList Categories;
};

// The catalogue's label type for what the template says it is.
QString LabelTypeOf(const QString& description, const QStringList& categories) {
    const QString d = description.toLower();
    const auto has = [&](const char* word) { return d.contains(QLatin1String(word)); };
    const auto in = [&](const char* category) {
        return categories.contains(QLatin1String(category), Qt::CaseInsensitive);
    };
    static const QRegularExpression disc(QStringLiteral("\\b(cd|dvd|cd-rom|disc|media)\\b"));
    if (has("return")) return QStringLiteral("Return");
    if (has("shipping") || has("parcel")) return QStringLiteral("Shipping");
    if (has("business card") || in("business-card")) return QStringLiteral("Business Card");
    if (has("name tag")) return QStringLiteral("Name Tag");
    if (has("badge")) return QStringLiteral("Badge");
    if (has("folder") || has("filing") || has("lever arch") || has("binder"))
        return QStringLiteral("Folder");
    if (has("diskette") || has("floppy") || has("zip disk")) return QStringLiteral("Diskette");
    if (has("video") || has("vhs")) return QStringLiteral("Video");
    if (has("audio") || has("cassette")) return QStringLiteral("Audio");
    if (d.contains(disc) || in("media")) return QStringLiteral("Computer");
    if (has("index card")) return QStringLiteral("Index Card");
    if (has("postcard") || has("post card")) return QStringLiteral("Post Card");
    if (has("tent card")) return QStringLiteral("Tent Card");
    if (has("rotary") || has("rolodex")) return QStringLiteral("Rotary");
    if (has("address") || has("mailing") || in("mail")) return QStringLiteral("Address");
    if (has("full sheet") || has("full-sheet") || has("full page")) return QStringLiteral("Sheet");
    if (has("card") || in("card") || in("foldable") || in("photo")) return QStringLiteral("Card");
    return QStringLiteral("General");
}

// Whether the grid is one a catalogue row can hold on its sheet.
bool Fits(const TShape& s) {
    const auto axis = [](double start, int count, double pitch, double size, double sheet) {
        if (!(size > 0) || !(start >= -Tolerance)) return false;
        if (count > 1 && !(pitch + Tolerance >= size)) return false;
        return start + (count - 1) * (count > 1 ? pitch : 0) + size <= sheet + Tolerance;
    };
    return s.Representable && s.Labels == 1 && s.Layouts == 1 &&
           axis(s.Left, s.NumAcross, s.PitchAcross, s.Width, s.SheetWidth) &&
           axis(s.Top, s.NumDown, s.PitchDown, s.Height, s.SheetHeight);
}

class TTemplateReader {
public:
    void ReadFile(const QByteArray& xml);
    TLabelCatalogue Rows;

private:
    void ReadTemplate(QXmlStreamReader& xml);
    void ReadLabel(QXmlStreamReader& xml, TShape& shape);
    void Add(const QString& brand, const QString& part, const TShape& shape);

    QHash<QString, TShape> FKnown; // "brand\npart", lower case: the originals of clones
    QSet<QString> FNames;          // CatNums given, upper case
};

void TTemplateReader::ReadFile(const QByteArray& text) {
    QXmlStreamReader xml(text);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("Glabels-templates")) return;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("Template"))
            ReadTemplate(xml);
        else
            xml.skipCurrentElement();
        if (Rows.size() >= size_t(MaxRows)) return;
    }
    // A file broken part-way keeps the templates read before the fault.
}

void TTemplateReader::ReadTemplate(QXmlStreamReader& xml) {
    const QXmlStreamAttributes a = xml.attributes();
    const QString brand = Text(a, "brand"), part = Text(a, "part"), equiv = Text(a, "equiv");
    QString description = Text(a, "description");
    if (description.isEmpty()) description = Text(a, "_description");
    TShape shape;
    bool clone = false;
    if (!equiv.isEmpty()) {
        const auto original = FKnown.constFind(brand.toLower() + QLatin1Char('\n') + equiv.toLower());
        if (original == FKnown.constEnd()) {
            xml.skipCurrentElement();
            return;
        }
        shape = *original;
        clone = true;
    } else {
        shape.Size = Text(a, "size");
        if (shape.Size.compare(QLatin1String("Other"), Qt::CaseInsensitive) == 0) {
            shape.SheetWidth = Length(a, "width").value_or(0);
            shape.SheetHeight = Length(a, "height").value_or(0);
        } else if (const std::optional<TSheetInches> named = NamedSheetSize(shape.Size)) {
            shape.SheetWidth = named->Width;
            shape.SheetHeight = named->Height;
        } // a roll or a size not known here leaves the sheet empty: nothing fits on it
        // Rows are portrait sheets.
        if (!(shape.SheetWidth > 0) || shape.SheetWidth > shape.SheetHeight ||
            shape.SheetHeight > MaxSheetInches)
            shape.Representable = false;
    }
    if (!description.isEmpty()) shape.Description = description;

    std::vector<std::pair<QString, QString>> aliases;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        const QXmlStreamAttributes e = xml.attributes();
        if (name == QLatin1String("Meta")) {
            const QString category = Text(e, "category");
            if (!category.isEmpty() && shape.Categories.size() < 20) shape.Categories << category;
            xml.skipCurrentElement();
        } else if (name == QLatin1String("Alias")) {
            if (aliases.size() < 100) aliases.emplace_back(Text(e, "brand"), Text(e, "part"));
            xml.skipCurrentElement();
        } else if (name.startsWith(QLatin1String("Label-")) && !clone) {
            ReadLabel(xml, shape);
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) return;
    if (brand.isEmpty() || part.isEmpty() || brand.size() > MaxTextLength ||
        part.size() > MaxTextLength || shape.Description.size() > MaxTextLength)
        return;
    const QString key = brand.toLower() + QLatin1Char('\n') + part.toLower();
    if (!clone && !FKnown.contains(key)) FKnown.insert(key, shape);
    if (!Fits(shape)) return;
    Add(brand, part, shape);
    for (const auto& [aliasBrand, aliasPart] : aliases)
        if (!aliasBrand.isEmpty() && !aliasPart.isEmpty() && aliasBrand.size() <= MaxTextLength &&
            aliasPart.size() <= MaxTextLength)
            Add(aliasBrand, aliasPart, shape);
}

void TTemplateReader::ReadLabel(QXmlStreamReader& xml, TShape& shape) {
    ++shape.Labels;
    const QStringView kind = xml.name();
    const QXmlStreamAttributes a = xml.attributes();
    if (kind == QLatin1String("Label-rectangle")) {
        shape.Width = Length(a, "width").value_or(0);
        shape.Height = Length(a, "height").value_or(0);
        shape.LabelShape =
            Length(a, "round").value_or(0) > 0 ? QStringLiteral("RRect") : QStringLiteral("Rect");
    } else if (kind == QLatin1String("Label-ellipse")) {
        shape.Width = Length(a, "width").value_or(0);
        shape.Height = Length(a, "height").value_or(0);
        shape.LabelShape = QStringLiteral("Round");
    } else if (kind == QLatin1String("Label-round") ||
               (kind == QLatin1String("Label-cd") && !a.hasAttribute(QLatin1String("width")) &&
                !a.hasAttribute(QLatin1String("height")))) {
        // A disc label is round; one clipped to a card's shape is not.
        shape.Width = shape.Height = 2 * Length(a, "radius").value_or(0);
        shape.LabelShape = QStringLiteral("Round");
    } else {
        shape.Representable = false; // a path, a continuous tape, a clipped disc
    }
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("Layout")) {
            const QXmlStreamAttributes l = xml.attributes();
            if (++shape.Layouts == 1) {
                const std::optional<int> nx = Count(l, "nx"), ny = Count(l, "ny");
                const std::optional<double> x0 = Length(l, "x0"), y0 = Length(l, "y0");
                if (!nx || !ny || !x0 || !y0) shape.Representable = false;
                shape.NumAcross = nx.value_or(0);
                shape.NumDown = ny.value_or(0);
                shape.Left = x0.value_or(0);
                shape.Top = y0.value_or(0);
                shape.PitchAcross = Length(l, "dx").value_or(0);
                shape.PitchDown = Length(l, "dy").value_or(0);
            }
        }
        xml.skipCurrentElement();
    }
}

void TTemplateReader::Add(const QString& brand, const QString& part, const TShape& shape) {
    TLabelCatalogueRow row;
    row.Stock.CatNum = brand + QLatin1Char(' ') + part;
    const QString key = row.Stock.CatNum.toUpper();
    if (FNames.contains(key) || Rows.size() >= size_t(MaxRows)) return;
    FNames.insert(key);
    row.Stock.LabelWidth = shape.Width;
    row.Stock.LabelHeight = shape.Height;
    row.Stock.NumAcross = shape.NumAcross;
    row.Stock.NumDown = shape.NumDown;
    row.Stock.SpacingLeft = std::max(0.0, shape.Left);
    row.Stock.SpacingTop = std::max(0.0, shape.Top);
    // A single column or row has no pitch in its template; one label's size serves.
    row.Stock.SpacingWidth = shape.NumAcross > 1 ? shape.PitchAcross : shape.Width;
    row.Stock.SpacingHeight = shape.NumDown > 1 ? shape.PitchDown : shape.Height;
    row.LabelType = LabelTypeOf(shape.Description, shape.Categories);
    row.Color = QStringLiteral("White");
    row.LabelShape = shape.LabelShape;
    row.LabelFeed = QStringLiteral("Both");
    row.Description = shape.Description;
    row.SheetSize = shape.Size;
    row.SheetWidth = shape.SheetWidth;
    row.SheetHeight = shape.SheetHeight;
    row.FromSystem = true;
    Rows.push_back(std::move(row));
}

} // namespace

QString SystemLabelTemplatesFolder() {
    const QString chosen = qEnvironmentVariable("QDX_LABEL_TEMPLATES");
    return chosen.isEmpty() ? QStringLiteral("/usr/share/libglabels-3.0/templates") : chosen;
}

TLabelCatalogue ParseLabelTemplates(const QByteArray& xml) {
    TTemplateReader reader;
    reader.ReadFile(xml);
    return std::move(reader.Rows);
}

TLabelCatalogue ReadSystemLabelTemplates(const QString& folder) {
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists()) return {};
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.xml"), QStringLiteral("*.template")},
                          QDir::Files | QDir::Readable, QDir::Name);
    TTemplateReader reader;
    int read = 0;
    for (const QFileInfo& info : files) {
        if (++read > MaxFiles) break;
        if (info.size() > MaxFileBytes) continue;
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly)) continue;
        // The file may have grown since it was listed.
        const QByteArray text = file.read(MaxFileBytes + 1);
        if (text.size() > MaxFileBytes) continue;
        reader.ReadFile(text);
    }
    return std::move(reader.Rows);
}
