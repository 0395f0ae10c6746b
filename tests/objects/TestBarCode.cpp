// Bar codes: validation and its messages, check characters, the symbologies' patterns, the
// geometry at several resolutions, the object's size and drawing (zoom, printer, records),
// and decoding of rendered codes by zbarimg as an independent reader.

#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Units.h"
#include "objects/BarCode.h"
#include "objects/BarCodeEngine.h"
#include "support/DocumentFixtures.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

QString Bytes(std::initializer_list<int> bytes) {
    QString out;
    for (const int b : bytes)
        out += QChar(b);
    return out;
}

// Bytes outside printable ASCII as "#208", for messages.
QString Readable(const QString& data) {
    QString out;
    for (const QChar c : data)
        out += c.unicode() >= 32 && c.unicode() < 127 ? QString(c)
                                                      : QStringLiteral("#%1").arg(c.unicode());
    return out;
}

// Sets a property whose error only matters once the data is in.
void Quietly(const std::function<void()>& set) {
    try {
        set();
    } catch (const EBarCodeError&) {
    }
}

// The engine as the object sets it up: a type with its narrow width, then the data.
TBarCodeEngine Engine(TBarCodeType type, const QString& data, bool text = true) {
    TBarCodeEngine engine;
    Quietly([&] { engine.SetPrintHumanReadable(text); });
    Quietly([&] { engine.SetBarCodeType(type); });
    Quietly([&] { engine.SetBarWidth(TBarCodeObject::NarrowBarWidth(type)); });
    engine.SetData(data);
    return engine;
}

// The message of the error that setting the data raises, or "" when it validates.
QString DataError(TBarCodeType type, const QString& data, bool calcCheckDigit = true) {
    TBarCodeEngine engine;
    Quietly([&] { engine.SetCalcCheckDigit(calcCheckDigit); });
    Quietly([&] { engine.SetBarCodeType(type); });
    try {
        engine.SetData(data);
    } catch (const EBarCodeError& error) {
        EXPECT_FALSE(engine.IsValid());
        EXPECT_EQ(engine.ErrorMessage(), error.Message());
        return error.Message();
    }
    EXPECT_TRUE(engine.IsValid());
    return QString();
}

// The published form of a POSTNET symbol: "|" tall bar, "." short bar.
QString PostnetBars(const QByteArray& symbol) {
    QString out;
    for (const char element : symbol)
        if (element == BarElement::TallBar || element == BarElement::ShortBar)
            out += element == BarElement::TallBar ? QLatin1Char('|') : QLatin1Char('.');
    return out;
}

// A recipient table in memory.
class TMemoryTable : public TRecordSource {
public:
    QStringList Names;
    QList<QStringList> Rows;
    int Current = 0;
    bool Opened = false;

    void Open(const QString&, const QString&, TTableType) override { Opened = true; }
    void Close() override { Opened = false; }
    bool IsOpen() const override { return Opened; }
    QStringList FieldNames() const override { return Names; }
    int RecordCount() const override { return int(Rows.size()); }
    std::optional<QString> FieldText(const QString& name) const override {
        for (int i = 0; i < Names.size(); ++i)
            if (Names[i].compare(name, Qt::CaseInsensitive) == 0 && Current < Rows.size())
                return Rows[Current].value(i);
        return std::nullopt;
    }
    void First() override { Current = 0; }
    void Next() override { Current = std::min(Current + 1, int(Rows.size())); }
    void Prior() override { Current = std::max(Current - 1, 0); }
    void Last() override { Current = std::max(0, int(Rows.size()) - 1); }
    bool Bof() const override { return Current == 0; }
    bool Eof() const override { return Current >= Rows.size(); }
    int RecordNumber() const override { return Current + 1; }
    void MoveTo(int record) override { Current = record - 1; }
};

constexpr QRgb Grey = 0xFF808080;

// The extent of everything drawn over a grey image.
QRect Painted(const QImage& image) {
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != Grey) r |= QRect(x, y, 1, 1);
    return r;
}

// Dark pixels of one row as '1', others as '0'.
QByteArray Row(const QImage& image, int y, int from, int count) {
    QByteArray out;
    for (int x = from; x < from + count; ++x)
        out += qGray(image.pixel(x, y)) < 128 ? '1' : '0';
    return out;
}

class BarCodeObjectTest : public testing::Test {
protected:
    // The document's table comes from the context's factory when the document is made.
    bool InstallTable() {
        Test.Context.RecordSourceFactory = [this] {
            auto table = std::make_unique<TMemoryTable>();
            Table = table.get();
            return std::unique_ptr<TRecordSource>(std::move(table));
        };
        return true;
    }

    BarCodeObjectTest() : Card(0, 0) {
        Test.Context.AddOpenCard(&Card);
        Test.Context.ActiveCard = &Card;
    }
    ~BarCodeObjectTest() override { Test.Context.RemoveOpenCard(&Card); }

    TBarCodeObject* Add(quint8 type, const QString& data) {
        auto* code = new TBarCodeObject();
        code->BarCodeType = type;
        code->Data = data;
        code->Bounds = {100, 100, 126, 126};
        Card.Pages(0)->Panels(0)->AddObject(code);
        code->Realign();
        return code;
    }

    TMemoryTable* OpenTable(const QStringList& names, const QList<QStringList>& rows) {
        Table->Names = names;
        Table->Rows = rows;
        Card.SetDataSource(QStringLiteral("/tmp/Recipients.csv"));
        return Table;
    }

    // The object drawn through a canvas whose painter carries the zoom, as on screen.
    QImage Render(TBarCodeObject& code, QSize size, int dpi, TCanvas::TKind kind,
                  double zoom = 1.0) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Grey);
        QPainter painter(&image);
        painter.scale(zoom, zoom);
        TCanvas canvas(painter, dpi, dpi, kind);
        code.Paint(canvas, 0, 0, kind == TCanvas::TKind::Printer);
        return image;
    }

    TTestContext Test;
    TMemoryTable* Table = nullptr; // owned by the document
    bool TableInstalled = InstallTable();
    TCard Card;
};

} // namespace

TEST(BarCodeEngine, ReportsEveryDataErrorWithItsMessage) {
    struct Case {
        TBarCodeType Type;
        QString Data;
        bool Calc;
        const char* Message;
    };
    const QString code39 = QStringLiteral(
        "Code 39 barcodes can only contain \"A\"-\"Z\", \"0\"-\"9\", \"$\", \"%\", \"+\", \"-\", "
        "\".\", \"/\" or \" \"");
    const Case cases[] = {
        {bcUPC_A, "0123456789", true, "UPC-A barcodes must be 11 digits (12 with check digit)"},
        {bcUPC_A, "0123456789012", true, "UPC-A barcodes must be 11 digits (12 with check digit)"},
        {bcUPC_A, "01234567890", false,
         "UPC-A barcodes must be 12 digits including the check digit"},
        {bcUPC_A, "0123456789A", true, "UPC-A barcodes must be numeric"},
        {bcEAN_13, "01234567890", true, "EAN-13 barcodes must be 12 digits (13 with check digit)"},
        {bcEAN_13, "012345678901", false,
         "EAN-13 barcodes must be 13 digits including the check digit"},
        {bcEAN_13, "01234567890 ", true, "EAN-13 barcodes must be numeric"},
        {bcInt2of5, "12345-", true, "Interleaved 2 of 5 barcodes must be numeric"},
        {bcInt2of5, "123456789", true,
         "Interleaved 2 of 5 barcodes must have an even number of digits"},
        {bcPostnet, "12345 6789", true, "PostNet barcodes must be numeric"},
        {bcPostnet, "1234567", true, "PostNet barcodes must be 5, 9, or 11 digits long"},
        {bcPostnet, "1234-56789-0", true, "PostNet barcodes must be 5, 9, or 11 digits long"},
        {bcInt2of5, "", true, "Interleaved 2 of 5 barcodes must have at least two digits"},
        {bcCode39, "", true, "Code 39 barcodes must have at least one character"},
        {bcCode39, "**", true, "Code 39 barcodes must have at least one character"},
        {bcCode128, "", true, "Code 128 barcodes must have at least one character"},
        // Without a start character the special bytes are the letters they are in text.
        {bcCode128, Bytes({'A', 209, 'b'}), true,
         "Code 128 cannot contain the character \"\u00D1\""},
        {bcCode128, Bytes({'c', 0xE9}), true, "Code 128 cannot contain the character \"\u00E9\""},
        {bcCode128, Bytes({'c', 0x20AC}), true, "Code 128 cannot contain the character \"\u20AC\""},
        {bcCode128, Bytes({209, 'A', 210, '1', '2'}), true,
         "You cannot have a START code in the middle of the symbol"},
        {bcCode128, Bytes({208, 'A', 'b'}), true, "Only CODE B can contain the character \"b\""},
        {bcCode128, Bytes({209, 'A', 215}), true,
         "Only CODE A can contain characters #211 through #242"},
        {bcCode128, Bytes({210, '1', '2', '3'}), true,
         "The CODE C portion must contain an even number of digits"},
        {bcCode128, Bytes({210, '1', '2', 'A', 'B'}), true, "The CODE C portion must be numeric"},
        {bcCode128, Bytes({210, '1', '2', 203, 'A'}), true,
         "CODE C does not utilize characters #201 through #204"},
        {bcCode128, Bytes({209, 'A', 203, 203, 'b'}), true,
         "You cannot have two shift codes in a row"},
        // CODE A (206) in set B switches to set A, where lower case is not allowed.
        {bcCode128, Bytes({209, 'a', 206, 'b'}), true,
         "Only CODE B can contain the character \"b\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataError(c.Type, c.Data, c.Calc), QString::fromUtf8(c.Message))
            << int(c.Type) << " " << c.Data.toStdString();
    EXPECT_EQ(DataError(bcCode39, QStringLiteral("abc")), code39);
    EXPECT_EQ(DataError(bcCode39, QStringLiteral("AB*C")), code39);

    // The data that these rules accept.
    for (const auto& [type, data] : std::initializer_list<std::pair<TBarCodeType, QString>>{
             {bcUPC_A, "01234567890"},
             {bcUPC_A, "012345678901"},
             {bcEAN_13, "012345678901"},
             {bcInt2of5, "0123456789"},
             {bcPostnet, "12345"},
             {bcPostnet, "12345-6789"},
             {bcPostnet, "12345678901"},
             {bcCode39, "*A-B.C $/+%*"},
             {bcCode39, "HELLO 39"},
             {bcCode128, Bytes({208, '0', '1', '2'})},
             {bcCode128, Bytes({209, 'a', 205, 'b', 203, 'A'})}, // FNC4 keeps set B
             {bcCode128, Bytes({208, 'A', 203, 'a', 'B', 211})}, // SHIFT reaches one character
             {bcCode128, Bytes({210, '1', '2', 207, '3', '4', 205, 'x'})},
             {bcCode128, "555-0123"},
             {bcCode128, Bytes({'a', 127, 0, 31})}})
        EXPECT_EQ(DataError(type, data), QString()) << int(type) << " " << data.toStdString();
}

TEST(BarCodeEngine, RefusesBadSettingsAndCombinations) {
    TBarCodeEngine engine;
    auto message = [&](const std::function<void()>& set) {
        try {
            set();
        } catch (const EBarCodeError& error) {
            return error.Message();
        }
        return QString();
    };
    EXPECT_EQ(message([&] { engine.SetBarWidth(0); }), "The bar width must be greater than 0");
    EXPECT_EQ(engine.BarWidth(), TBarCodeEngine::DefaultBarWidth);
    EXPECT_EQ(message([&] { engine.SetWideBarRatio(-1); }),
              "The wide bar ratio must be greater than 0");
    EXPECT_EQ(engine.WideBarRatio(), 3.0);
    EXPECT_EQ(message([&] { engine.SetAddOn("123"); }),
              "Add-on codes must be either 2 or 5 digits");
    EXPECT_EQ(message([&] { engine.SetAddOn("1a"); }), "Add-on codes must be either 2 or 5 digits");
    EXPECT_TRUE(engine.IsValid());
    EXPECT_EQ(message([&] { engine.SetBearerBars(true); }),
              "Only Interleaved 2 of 5 barcodes can have bearer bars");
    EXPECT_FALSE(engine.IsValid());
    engine.SetBearerBars(false);
    engine.SetAddOn("12");
    EXPECT_TRUE(engine.IsValid());
    EXPECT_EQ(message([&] { engine.SetBarCodeType(bcCode39); }),
              "Only UPC-A and EAN-13 barcodes can have add-on codes");
    EXPECT_FALSE(engine.Layout(300).Valid);
    EXPECT_TRUE(engine.Size(300).isEmpty());
    engine.SetAddOn(QString());
    EXPECT_TRUE(engine.IsValid()); // the data "01234567890" is good Code 39
    engine.SetData("12345");
    EXPECT_EQ(message([&] { engine.SetBarCodeType(bcPostnet); }), QString());
    EXPECT_EQ(message([&] { engine.SetAutoSize(false); }), "PostNet barcodes must be AutoSize'd");
}

TEST(BarCodeEngine, AddsOrReplacesTheCheckDigit) {
    EXPECT_EQ(Engine(bcUPC_A, "01234567890").Data(), QStringLiteral("012345678905"));
    EXPECT_EQ(Engine(bcUPC_A, "012345678901").Data(), QStringLiteral("012345678905"));
    EXPECT_EQ(Engine(bcUPC_A, "03600029145").Data(), QStringLiteral("036000291452"));
    EXPECT_EQ(Engine(bcEAN_13, "400638133393").Data(), QStringLiteral("4006381333931"));
    EXPECT_EQ(Engine(bcEAN_13, "4006381333930").HumanReadable(), QStringLiteral("4006381333931"));
    TBarCodeEngine unchecked;
    Quietly([&] { unchecked.SetCalcCheckDigit(false); });
    unchecked.SetData("012345678901");
    EXPECT_EQ(unchecked.Data(), QStringLiteral("012345678901"));
    // No check character for these two.
    EXPECT_EQ(Engine(bcInt2of5, "0123456789").Data(), QStringLiteral("0123456789"));
    EXPECT_EQ(Engine(bcCode39, "ABC").Data(), QStringLiteral("ABC"));
}

TEST(BarCodeEngine, EncodesUpcAndEanByTheStandardTables) {
    auto bits = [](const QByteArray& symbol) {
        QByteArray out = symbol;
        out.replace(BarElement::NarrowBar, '1').replace(BarElement::NarrowSpace, '0');
        return out;
    };
    const QByteArray upc = bits(Engine(bcUPC_A, "01234567890").Symbol());
    ASSERT_EQ(upc.size(), 95);
    EXPECT_EQ(upc.left(3 + 7), "1010001101"); // guard, 0 with odd parity
    EXPECT_EQ(upc.mid(45, 5), "01010");       // centre guard
    EXPECT_EQ(upc.mid(50, 7), "1010000");     // 6 in the right half
    EXPECT_EQ(upc.mid(85, 10), "1001110101"); // check digit 5, end guard
    // EAN-13: the first digit 4 gives the left half the parity LGLLGG.
    const QByteArray ean = bits(Engine(bcEAN_13, "400638133393").Symbol());
    ASSERT_EQ(ean.size(), 95);
    EXPECT_EQ(ean.mid(3, 14), "0001101"
                              "0100111"); // 0 as L, 0 as G
    EXPECT_EQ(ean.mid(17, 28), "0101111"
                               "0111101"
                               "0001001"
                               "0110011"); // 6 L, 3 L, 8 G, 1 G
}

TEST(BarCodeEngine, BuildsCode128ValuesWithSetSwitchesAndTheCheckCharacter) {
    // Start B, P J J 1 2 3 C: the well-known example with check value 55.
    const QList<int> values = Code128Values(Bytes({209, 'P', 'J', 'J', '1', '2', '3', 'C'}));
    EXPECT_EQ(values, (QList<int>{104, 48, 42, 42, 17, 18, 19, 35}));
    EXPECT_EQ(Code128CheckValue(values), 55);
    // Set B, CODE C, digit pairs; CODE A from C; SHIFT and FNC4.
    EXPECT_EQ(Code128Values(Bytes({209, 'A', 'B', 204, '1', '2', '3', '4', 206, 'C'})),
              (QList<int>{104, 33, 34, 99, 12, 34, 101, 35}));
    EXPECT_EQ(Code128Values(Bytes({208, 'A', 203, 'a', 'B', 211, 242})),
              (QList<int>{103, 33, 98, 65, 34, 64, 95}));
    EXPECT_EQ(Code128Values(Bytes({209, 'a', 205, 'b', 202, 201, 207})),
              (QList<int>{104, 65, 100, 66, 97, 96, 102}));
    EXPECT_EQ(Code128Values(Bytes({210, '0', '0', '9', '9', 207})), (QList<int>{105, 0, 99, 102}));
    // Start C 12 34 56: 105 + 12 + 2*34 + 3*56 = 353, 353 mod 103 = 44.
    EXPECT_EQ(Code128CheckValue(Code128Values(Bytes({210, '1', '2', '3', '4', '5', '6'}))), 44);
    // Every pattern is 11 modules; the stop is 13: start, 3 values, check, stop.
    const QByteArray symbol =
        Engine(bcCode128, Bytes({210, '1', '2', '3', '4', '5', '6'})).Symbol();
    EXPECT_EQ(symbol.size(), 5 * 11 + 13);
    EXPECT_TRUE(symbol.endsWith("bb...bbb.b.bb"));
    // The text under the bars leaves out the special characters.
    EXPECT_EQ(Engine(bcCode128, Bytes({209, 'A', 204, '1', '2'})).HumanReadable(), "A12");
}

// The widths of a symbol's bars and spaces in modules, as the standard tabulates them.
QByteArray ModuleWidths(const QByteArray& symbol) {
    QByteArray out;
    for (int start = 0; start < symbol.size();) {
        int end = start + 1;
        while (end < symbol.size() && symbol[end] == symbol[start])
            ++end;
        out += char('0' + end - start);
        start = end;
    }
    return out;
}

TEST(BarCodeEngine, Code128DataWithAStartCharacterKeepsItsBars) {
    // Recorded from the engine before it learned to choose sets: data that names its start
    // set must keep drawing exactly these bars.
    QString printable;
    for (int c = 32; c < 127; ++c)
        printable += QChar(c);
    const std::pair<QString, const char*> cases[] = {
        {Bytes({208}) + "012345", "2114121231221232212232112211322212312132124111132331112"},
        {Bytes({209}) + "PJJ123C", "2112143131211121331121331232212232112211321313213113212331112"},
        {Bytes({209, 'A', 'B', 204, '1', '2', '3', '4', 206, 'C'}),
         "2112141113231311231131411122321311233111411313213212212331112"},
        {Bytes({208, 'A', 203, 'a', 'B', 211, 242}),
         "2114121113234113111211241311231114221141131322122331112"},
        {Bytes({209, 'a', 205, 'b', 202, 201, 207}),
         "2112141211241141311214214111131143114111312141212331112"},
        {Bytes({210, '0', '0', '9', '9', 207}), "2112322122221131414111311311412331112"},
        {Bytes({210, '1', '2', 207, '3', '4', 205, 'x'}),
         "2112321122324111311311231141314212113122122331112"},
        {Bytes({208, 'A', 9, 'B', 0, 31}), "2114121113231421121311231114221141131242112331112"},
        {Bytes({209}) + printable.left(48),
         "2112142122222221222222211212231213221312221222131223121322122212132213122312121122321221"
         "3212223111322212312212322122321122113222123121321222311231213131122232112232122131221232"
         "2112322211212123212321232121111323131123131321112313132113132311211313231113231311112133"
         "1123311321311131231133211331212411122331112"},
        {Bytes({209}) + printable.mid(48),
         "2112143131212113312311312131132133112131313111233113213311213121133123113321113141112214"
         "1143111111122411142212112412142114112214122111221411241212211412241114211214221124121122"
         "11144131112411121341111112421211421212411142121241121242114112124211124212112121412141214"
         "121211111431113411311413111232331112"},
        {Bytes({209}), "2112142221222331112"},
    };
    for (const auto& [data, widths] : cases)
        EXPECT_EQ(ModuleWidths(Engine(bcCode128, data).Symbol()), QByteArray(widths))
            << Readable(data).toStdString();
}

TEST(BarCodeEngine, FramesCode39AndSpacesEveryCharacter) {
    const TBarCodeEngine plain = Engine(bcCode39, "AB");
    EXPECT_EQ(plain.Symbol(), Engine(bcCode39, "*AB*").Symbol());
    EXPECT_EQ(plain.Symbol(), Engine(bcCode39, "*AB").Symbol());
    // "*", "A", "B", "*": nine elements and a gap each, three of the nine wide.
    const QByteArray symbol = plain.Symbol();
    ASSERT_EQ(symbol.size(), 4 * 10);
    for (int c = 0; c < 4; ++c) {
        const QByteArray character = symbol.mid(10 * c, 9);
        EXPECT_EQ(character.count('B') + character.count('_'), 3) << c;
        EXPECT_EQ(symbol[10 * c + 9], BarElement::Gap);
    }
    EXPECT_EQ(symbol.left(9), "b_b.B.B.b");    // "*"
    EXPECT_EQ(symbol.mid(10, 9), "B.b.b_b.B"); // "A"
    // The gap is two narrow widths: 6 pixels at 300 dpi, where a narrow bar is 3.
    const TBarCodeLayout l = plain.Layout(300);
    EXPECT_EQ(l.Narrow, 3);
    EXPECT_EQ(l.Wide, 9);
    EXPECT_EQ(l.Pattern.size(), 4 * (6 * 3 + 3 * 9 + 6));
    EXPECT_TRUE(l.Pattern.endsWith("1000000"));
}

TEST(BarCodeEngine, DrawsPostnetAsThePublishedBarsWithItsCheckDigit) {
    // 1+2+3+4+5 = 15: the check digit is 5.
    EXPECT_EQ(PostnetBars(Engine(bcPostnet, "12345").Symbol()),
              QStringLiteral("|...||..|.|..||..|..|.|.|..|.|.|"));
    // ZIP+4 with a dash: 9 digits and the check digit 2 (5*5+1+2+3+7 = 38) between frame bars.
    const QString zip4 = PostnetBars(Engine(bcPostnet, "55555-1237").Symbol());
    EXPECT_EQ(zip4.size(), 2 + 10 * 5);
    EXPECT_TRUE(zip4.endsWith(QStringLiteral("..|.||")));
    // Tall bars are the full height, short ones its lowest 40 %.
    const TBarCodeLayout l = Engine(bcPostnet, "12345", false).Layout(300);
    EXPECT_EQ(l.Narrow, 5);
    EXPECT_EQ(l.BarHeight, 32); // round(6.25 * 5) + 1
    EXPECT_EQ(l.BarHeight - l.ShortBarTop, 13);
    EXPECT_EQ(l.Pattern.count('1'), 5 * (2 + 2 * 6));
    EXPECT_EQ(l.Pattern.count('2'), 5 * 3 * 6);
}

TEST(BarCodeEngine, SizesUpcAFromItsNarrowBarAtEachResolution) {
    const TBarCodeEngine engine = Engine(bcUPC_A, "01234567890");
    for (const auto& [dpi, narrow] : {std::pair{96, 1}, {300, 4}, {600, 8}}) {
        const TBarCodeLayout l = engine.Layout(dpi);
        EXPECT_EQ(l.Narrow, narrow) << dpi;
        const int p = 95 * narrow;
        EXPECT_EQ(l.Pattern.size(), p) << dpi;
        EXPECT_EQ(l.QuietZone, RoundHalfAway(0.1 * p)) << dpi;
        EXPECT_EQ(l.Size.width(), p + 2 * l.QuietZone) << dpi;
        EXPECT_EQ(l.BarHeight, RoundHalfAway(0.75 * p)) << dpi;
        EXPECT_GT(l.TextHeight, 0);
        EXPECT_EQ(l.Size.height(), l.BarHeight + l.TextHeight) << dpi;
        EXPECT_EQ(l.LongBarHeight, l.BarHeight + l.TextHeight / 2) << dpi;
        EXPECT_EQ(engine.Size(dpi), l.Size);
    }
    // The digits fit their boxes; without text the code is only the bars.
    const TBarCodeLayout l = engine.Layout(300);
    ASSERT_EQ(l.Texts.size(), 12);
    const QFontMetrics fm(engine.TextFont(l.FontPixels));
    EXPECT_LE(5 * fm.horizontalAdvance('0'), 36 * l.Narrow);
    EXPECT_LT(l.Texts.last().TopLeft.x(), l.Size.width());
    EXPECT_EQ(Engine(bcUPC_A, "01234567890", false).Layout(300).Size.height(), l.BarHeight);
}

TEST(BarCodeEngine, LaysOutQuietZonesHeightsAndExtras) {
    const TBarCodeLayout i25 = Engine(bcInt2of5, "0123456789").Layout(300);
    EXPECT_EQ(i25.Narrow, 5); // round(4.5)
    EXPECT_EQ(i25.Wide, 14);  // round(13.5)
    const int p = int(i25.Pattern.size());
    EXPECT_EQ(p, 4 * 5 + 5 * (6 * 5 + 4 * 14) + (14 + 5 + 5));
    EXPECT_EQ(i25.QuietZone, RoundHalfAway(0.03 * p));
    EXPECT_EQ(i25.BarHeight, RoundHalfAway(0.6 * i25.Size.width()));
    const TBarCodeLayout c128 =
        Engine(bcCode128, TBarCodeObject::SampleData(bcCode128)).Layout(300);
    EXPECT_EQ(c128.QuietZone, 0);
    EXPECT_EQ(c128.BarHeight, RoundHalfAway(0.25 * c128.Size.width()));
    // Code 128 prints each printable character a digit's width apart.
    ASSERT_EQ(c128.Texts.size(), 6);
    EXPECT_EQ(c128.Texts[0].TopLeft.x(), 0);
    EXPECT_GT(c128.Texts[1].TopLeft.x(), 0);
    EXPECT_EQ(c128.Texts[5].TopLeft.x(), 5 * c128.Texts[1].TopLeft.x());
    // A fixed height instead of the automatic one, but never less than 5 pixels.
    TBarCodeEngine fixed = Engine(bcCode39, "1", false);
    fixed.SetAutoSize(false);
    fixed.SetBarHeightInches(0.5);
    EXPECT_EQ(fixed.Layout(300).BarHeight, 150);
    fixed.SetBarHeightInches(0.01);
    EXPECT_EQ(fixed.Layout(300).BarHeight, 5);

    TBarCodeEngine withAddOn = Engine(bcEAN_13, "400638133393");
    const int plainWidth = withAddOn.Layout(300).Size.width();
    withAddOn.SetAddOn("12345");
    const TBarCodeLayout l = withAddOn.Layout(300);
    EXPECT_EQ(l.AddOnPattern.size(), (4 + 5 * 7 + 4 * 2) * l.Narrow);
    EXPECT_EQ(l.Size.width(), plainWidth + l.AddOnPattern.size() + 9 * l.Narrow);
    EXPECT_EQ(l.AddOnLeft, l.QuietZone + l.Pattern.size() + 9 * l.Narrow);

    TBarCodeEngine bearer = Engine(bcInt2of5, "0123456789");
    bearer.SetBearerBars(true);
    EXPECT_EQ(bearer.Layout(300).BearerHeight, 15);
    bearer.Orientation = orTop_Bottom;
    EXPECT_EQ(bearer.Size(300), bearer.Layout(300).Size.transposed());
}

TEST_F(BarCodeObjectTest, SizesItselfAndKeepsItsSizeWhenTheDataGoesBad) {
    TBarCodeObject* code = Add(bcUPC_A, QStringLiteral("01234567890"));
    const QSize size = TBarCodeObject::SizeInScreenPixels(Engine(bcUPC_A, "01234567890"));
    TRect b = code->GetBounds();
    EXPECT_EQ(QSize(b.Width(), b.Height()), size);
    EXPECT_EQ(b.Left, UnitsToScreen(100));

    code->BarCodeType = bcInt2of5;
    code->Data = QStringLiteral("123456789"); // odd: not drawable
    code->Realign();
    EXPECT_EQ(code->GetBounds(), b);
    const QImage image = Render(*code, {300, 300}, 96, TCanvas::TKind::Image);
    EXPECT_TRUE(Painted(image).isEmpty());

    code->Data = QStringLiteral("12345678");
    code->Realign();
    b = code->GetBounds();
    EXPECT_EQ(QSize(b.Width(), b.Height()),
              TBarCodeObject::SizeInScreenPixels(Engine(bcInt2of5, "12345678")));
    // Centring uses the code's own size.
    code->CenterHorizontally = true;
    code->Realign();
    const TRect centred = code->GetBounds();
    EXPECT_EQ(centred.Width(), b.Width());
    EXPECT_LE(std::abs(centred.Left + centred.Right - Card.Pages(0)->Panels(0)->WidthPixels()), 1);
}

TEST_F(BarCodeObjectTest, DrawsTheSizeTheEditorUsesAtEveryZoom) {
    for (const quint8 type : {bcUPC_A, bcCode39, bcPostnet}) {
        TBarCodeObject* code = Add(type, TBarCodeObject::SampleData(type));
        const TRect b = code->GetBounds();
        for (const double zoom : {0.5, 1.0, 2.0, 3.0}) {
            const QImage image = Render(*code, {1200, 800}, 96, TCanvas::TKind::Screen, zoom);
            const QRect painted = Painted(image);
            const QRectF expected(b.Left * zoom, b.Top * zoom, b.Width() * zoom, b.Height() * zoom);
            EXPECT_NEAR(painted.left(), expected.left(), 1) << int(type) << " " << zoom;
            EXPECT_NEAR(painted.top(), expected.top(), 1) << int(type) << " " << zoom;
            EXPECT_NEAR(painted.right() + 1, expected.right(), 1) << int(type) << " " << zoom;
            EXPECT_NEAR(painted.bottom() + 1, expected.bottom(), 1) << int(type) << " " << zoom;
        }
    }
}

TEST_F(BarCodeObjectTest, BuildsThePatternAtThePrintersResolution) {
    TBarCodeObject* code = Add(bcUPC_A, QStringLiteral("01234567890"));
    const TBarCodeLayout l = Engine(bcUPC_A, "012345678905").Layout(600);
    const QImage image = Render(*code, {1600, 1400}, 600, TCanvas::TKind::Printer);
    const TRect device = {MulDiv(code->Bounds.Left, 600, 100), MulDiv(code->Bounds.Top, 600, 100),
                          0, 0};
    EXPECT_EQ(Painted(image), QRect(device.Left, device.Top, l.Size.width(), l.Size.height()));
    // A row through the bars is the pattern, 8 pixels a module.
    EXPECT_EQ(Row(image, device.Top + 10, device.Left + l.QuietZone, int(l.Pattern.size())),
              l.Pattern);
    EXPECT_EQ(l.Pattern.left(24), QByteArray(8, '1') + QByteArray(8, '0') + QByteArray(8, '1'));
    // Guard bars run into the text band; digit bars stop above it.
    const int y = device.Top + l.BarHeight + 2;
    EXPECT_EQ(Row(image, y, device.Left + l.QuietZone, 8), QByteArray(8, '1'));
    EXPECT_EQ(qGray(image.pixel(device.Left + l.QuietZone + 8 * 12, y)), 255);
}

TEST_F(BarCodeObjectTest, PrintsTheSizeItShowsOnThePage) {
    for (quint8 type = bcUPC_A; type <= bcPostnet; ++type) {
        SCOPED_TRACE(int(type));
        TBarCodeObject* code = Add(type, TBarCodeObject::SampleData(type));
        const TRect box = code->GetBounds(); // logical pixels at 96 per inch
        const QRect printed = Painted(Render(*code, {3600, 2400}, 600, TCanvas::TKind::Printer));
        ASSERT_FALSE(printed.isEmpty());
        // Within the rounding of one logical pixel.
        EXPECT_NEAR(printed.width(), box.Width() * 600.0 / 96, 600.0 / 96);
        EXPECT_NEAR(printed.height(), box.Height() * 600.0 / 96, 600.0 / 96);
    }
}

TEST_F(BarCodeObjectTest, ReadsTheCurrentRecordOfTheRecipientTable) {
    TBarCodeObject* code = Add(bcCode39, QStringLiteral("ZIP"));
    code->UseDatabaseField = true;
    // Without a table the field name is not data.
    EXPECT_EQ(code->CurrentData(), QStringLiteral("<ZIP>"));
    TMemoryTable* table = OpenTable({"Name", "Zip"}, {{"Ann", "12345"}, {"Bob", "1234567890"}});
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(Test.Messages.Errors, QStringList());
    EXPECT_TRUE(table->IsOpen());
    EXPECT_EQ(code->CurrentData(), QStringLiteral("12345"));
    Card.RefreshRecordObjects();
    const int first = code->GetBounds().Width();
    EXPECT_EQ(first, TBarCodeObject::SizeInScreenPixels(Engine(bcCode39, "12345")).width());
    table->Next();
    Card.RefreshRecordObjects();
    EXPECT_EQ(code->GetBounds().Width(),
              TBarCodeObject::SizeInScreenPixels(Engine(bcCode39, "1234567890")).width());
    EXPECT_GT(code->GetBounds().Width(), first);
    // A field that does not exist prints as "<name>", which Code 39 cannot encode.
    code->Data = QStringLiteral("Phone");
    EXPECT_EQ(code->CurrentData(), QStringLiteral("<Phone>"));
    TBarCodeEngine engine;
    EXPECT_FALSE(code->PrepareEngine(engine));
    EXPECT_TRUE(Painted(Render(*code, {600, 300}, 96, TCanvas::TKind::Image)).isEmpty());
}

TEST_F(BarCodeObjectTest, MovesButNeverResizesAndStartsFromTheDefaults) {
    TBarCodeObject* code = Add(bcEAN_13, QStringLiteral("012345678901"));
    const TRect b = code->GetBounds();
    for (const QPoint p :
         {QPoint(b.Left, b.Top), QPoint(b.Right, b.Bottom), QPoint((b.Left + b.Right) / 2, b.Top)})
        EXPECT_EQ(code->HitTestHandle(p).Cursor, THandleCursor::ObjectBody);
    code->Locked = true;
    EXPECT_EQ(code->HitTestHandle(QPoint(b.Left, b.Top)).Cursor, THandleCursor::None);

    TSettingsStore& s = Test.Context.Settings();
    const QString section = QStringLiteral("Default Bar Code");
    std::unique_ptr<TBarCodeObject> plain(TBarCodeObject::CreateDefault());
    EXPECT_EQ(plain->BarCodeType, bcUPC_A);
    EXPECT_TRUE(plain->ShowText);
    EXPECT_EQ(plain->Data, QStringLiteral("01234567890"));
    s.WriteInteger(section, QStringLiteral("Bar Code Type"), bcPostnet);
    s.WriteBool(section, QStringLiteral("Show Text"), false);
    s.WriteBool(section, QStringLiteral("Center Vertically"), true);
    std::unique_ptr<TBarCodeObject> fresh(TBarCodeObject::CreateDefault());
    EXPECT_EQ(fresh->BarCodeType, bcPostnet);
    EXPECT_FALSE(fresh->ShowText);
    EXPECT_TRUE(fresh->CenterVertically);
    EXPECT_FALSE(fresh->CenterHorizontally);
    EXPECT_EQ(fresh->Data, QStringLiteral("012345678"));
    // Every type's sample is data it can draw.
    for (int type = 0; type < BarCodeTypeCount; ++type) {
        TBarCodeObject sample;
        sample.BarCodeType = quint8(type);
        sample.Data = TBarCodeObject::SampleData(type);
        TBarCodeEngine engine;
        EXPECT_TRUE(sample.PrepareEngine(engine)) << type;
    }
}

namespace {

// What zbarimg reads in the image; nothing when it finds no code.
std::optional<QString> Decode(const QImage& image, const QStringList& options = {}) {
    const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("code.png"));
    if (!image.save(file)) return std::nullopt;
    QProcess process;
    process.start(zbarimg, QStringList{QStringLiteral("--raw"), QStringLiteral("-q")} + options +
                               QStringList{file});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return std::nullopt;
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    return text;
}

// The code at 300 dpi with white all round.
QImage Rendered(const TBarCodeEngine& engine) {
    const QSize size = engine.Size(300);
    QImage image(size + QSize(160, 160), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    engine.Draw(painter, QPoint(80, 80), 300);
    return image;
}

} // namespace

TEST_F(BarCodeObjectTest, Code128WithoutAStartCharacterDrawsItsData) {
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        GTEST_SKIP() << "zbarimg is not installed";
    TBarCodeObject* code = Add(bcCode128, QStringLiteral("555-0123"));
    TBarCodeEngine engine;
    ASSERT_TRUE(code->PrepareEngine(engine)) << engine.ErrorMessage().toStdString();
    EXPECT_EQ(engine.HumanReadable(), QStringLiteral("555-0123"));
    const TRect b = code->GetBounds();
    EXPECT_EQ(QSize(b.Width(), b.Height()), TBarCodeObject::SizeInScreenPixels(engine));
    // As the printer gets it, on white paper.
    QImage page(2400, 1600, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        TCanvas canvas(painter, 600, 600, TCanvas::TKind::Printer);
        code->Paint(canvas, 0, 0, true);
    }
    EXPECT_EQ(Decode(page), std::optional<QString>(QStringLiteral("555-0123")));
}

TEST(BarCodeDecoding, ZbarReadsEveryLinearSymbologyAsEncoded) {
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        GTEST_SKIP() << "zbarimg is not installed";
    struct Case {
        TBarCodeType Type;
        QString Data;
        QString Expected;
        QStringList Options;
    };
    QString setB;
    for (int c = 32; c < 127; ++c)
        setB += QChar(c);
    QString pairs;
    for (int v = 0; v < 100; ++v)
        pairs += QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
    const QList<Case> cases{
        {bcUPC_A, "01234567890", "012345678905", {"-Supca.enable"}},
        {bcUPC_A, "03600029145", "036000291452", {"-Supca.enable"}},
        {bcEAN_13, "400638133393", "4006381333931", {}},
        {bcEAN_13, "978020137962", "9780201379624", {}},
        {bcInt2of5, "0123456789", "0123456789", {}},
        {bcInt2of5, "98765432", "98765432", {}},
        {bcCode39, "012345", "012345", {}},
        {bcCode39, "*CODE-39 $/+%.*", "CODE-39 $/+%.", {}},
        {bcCode39, "HELLO WORLD", "HELLO WORLD", {}},
        {bcCode128, TBarCodeObject::SampleData(bcCode128), "012345", {}},
        {bcCode128, Bytes({210}) + "0123456789", "0123456789", {}},
        {bcCode128, Bytes({209, 'A', 'b', 204}) + "1234" + Bytes({206}) + "XY", "Ab1234XY", {}},
        {bcCode128, Bytes({208, 'A', 203, 'z', 'Q'}), "AzQ", {}},
        {bcCode128, Bytes({209}) + setB.left(48), setB.left(48), {}},
        {bcCode128, Bytes({209}) + setB.mid(48), setB.mid(48), {}},
        {bcCode128, Bytes({210}) + pairs.left(100), pairs.left(100), {}},
        {bcCode128, Bytes({210}) + pairs.mid(100), pairs.mid(100), {}},
        // Without a start character the sets are chosen, with changes inside the data.
        {bcCode128, "HELLO world", "HELLO world", {}},
        {bcCode128, "12345678", "12345678", {}},
        {bcCode128, "12345", "12345", {}},
        {bcCode128, "Order 123456 of 2024", "Order 123456 of 2024", {}},
        {bcCode128, "A\tB", "A\tB", {}},
        {bcCode128, "abc\tdef", "abc\tdef", {}},
        {bcCode128, "a\t\rb", "a\t\rb", {}},
        {bcCode128, "1234\x1b", "1234\x1b", {}},
    };
    for (const Case& c : cases) {
        const TBarCodeEngine engine = Engine(c.Type, c.Data);
        ASSERT_TRUE(engine.IsValid()) << c.Data.toStdString();
        EXPECT_EQ(Decode(Rendered(engine), c.Options), std::optional<QString>(c.Expected))
            << int(c.Type) << " " << c.Data.toStdString();
    }
    // A white image holds nothing (and zbarimg says so by its exit code).
    QImage blank(400, 200, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(Decode(blank), std::nullopt);
}
