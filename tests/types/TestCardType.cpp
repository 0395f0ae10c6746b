#include "types/CardType.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

static void PrintTo(const TPanelGeometry& p, std::ostream* os) {
    *os << "box (" << p.SheetX << "," << p.SheetY << "," << p.Width << "," << p.Height << ") side "
        << int(p.Side) << " cell (" << p.CellX << "," << p.CellY << ") clip (" << p.ClipLeft << ","
        << p.ClipTop << "," << p.ClipRight << "," << p.ClipBottom << ") turned " << int(p.Turned)
        << " mirrored " << int(p.Mirrored) << " turn (" << p.TurnX << "," << p.TurnY << ")";
}

static void PrintTo(const TSheetGeometry& g, std::ostream* os) {
    *os << "{" << g.SpacingLeft << "," << g.SpacingTop << "," << g.LabelWidth << ","
        << g.LabelHeight << "," << g.SpacingWidth << "," << g.SpacingHeight << "," << g.NumAcross
        << "," << g.NumDown << "}";
}

namespace {

constexpr bool Letter = false;
constexpr bool A4 = true;

// Distinct margins, so a clip taken from the wrong edge shows.
constexpr int L = 25, T = 17, R = 13, B = 50;
constexpr TPrinterMargins Margins{L, T, R, B};

// Whatever a document held before; every field differs from what any format sets.
constexpr TSheetGeometry Garbage{11, 12, 13, 14, 15, 16, 17, 18};

std::vector<TPanelGeometry> Layout(int format, bool metric, const TSheetGeometry& g = {}) {
    const bool portrait = CardFormatInfo(format)->Portrait;
    return PanelLayout(format, portrait, g, PaperSize(portrait, metric), Margins);
}

TEST(CardTypeTables, DocumentTypeRows) {
    struct Row {
        int Type;
        const char* Name;
        const char* Picture;
        int Format;
    };
    const Row rows[] = {
        {0, "Greeting Card", "ctGreetingCard", 0},
        {3, "Award/Certificate (Landscape)", "ctCertificateL", 6},
        {7, "Brochure", "ctBrochure", 2},
        {10, "Label", "ctLabel", 12},
        {12, "Banner", "ctBanner", 13},
        {15, "NCR Quarter-Fold Note Card", "ctGreetingCard", 15},
        {16, "NCR Picture Card (3 Up)", "ctPicture", 12},
        {31, "Photo Paper PH-108, 10-up (54 x 85)", "ctPicture", 7},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Type);
        const TDocumentTypeInfo* info = DocumentTypeInfo(row.Type);
        ASSERT_NE(info, nullptr);
        EXPECT_STREQ(info->Name, row.Name);
        EXPECT_STREQ(info->Picture, row.Picture);
        EXPECT_EQ(info->Format, row.Format);
    }
    EXPECT_EQ(QString::fromUtf8(DocumentTypeInfo(6)->Name), QStringView(u"R\u00e9sum\u00e9"));
    for (int type = 0; type < DocumentTypeCount; ++type)
        EXPECT_NE(CardFormatInfo(DocumentTypeInfo(type)->Format), nullptr) << type;
    EXPECT_EQ(DocumentTypeInfo(-1), nullptr);
    EXPECT_EQ(DocumentTypeInfo(DocumentTypeCount), nullptr);
}

TEST(CardTypeTables, CategoriesCoverEveryTypeOnce) {
    const char* names[] = {"Standard Types", "NCR Types", "Photo Paper Types",
                           "Photo Paper Types (Metric)"};
    const int firsts[] = {0, 14, 19, 26};
    int next = 0;
    for (int i = 0; i < CategoryCount; ++i) {
        EXPECT_STREQ(TypeCategory(i).Name, names[i]);
        EXPECT_EQ(TypeCategory(i).FirstType, firsts[i]);
        EXPECT_EQ(TypeCategory(i).FirstType, next);
        next = TypeCategory(i).LastType + 1;
    }
    EXPECT_EQ(next, DocumentTypeCount);
    EXPECT_GT(TypeCategory(CategoryCount).FirstType, TypeCategory(CategoryCount).LastType);
}

TEST(CardTypeTables, CardFormatRows) {
    struct Row {
        int Format;
        const char* Name;
        const char* Key;
        bool Portrait;
        int Panels;
    };
    const Row rows[] = {
        {0, "Bifold (Vertical)", "Vert", false, 4},
        {1, "Bifold (Horizontal)", "Horz", true, 4},
        {3, "Trifold (Horizontal)", "THorz", true, 6},
        {5, "Quadfold (Horizontal)", "QHorz", false, 4},
        {8, "Poster", "Poster", true, 1},
        {11, "Business Card (Separated, 8)", "BusS8", true, 1},
        {14, "Envelope", "Env", false, 1},
        {15, "NCR Quarter-Fold (Vertical)", "Vert", true, 4},
        {16, "NCR Quarter-Fold (Horizontal)", "Horz", false, 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Format);
        const TCardFormatInfo* info = CardFormatInfo(row.Format);
        ASSERT_NE(info, nullptr);
        EXPECT_STREQ(info->Name, row.Name);
        EXPECT_STREQ(info->Key, row.Key);
        EXPECT_EQ(info->Portrait, row.Portrait);
        EXPECT_EQ(info->Panels, row.Panels);
    }
    EXPECT_EQ(CardFormatInfo(-1), nullptr);
    EXPECT_EQ(CardFormatInfo(CardFormatCount), nullptr);
}

// The named codes are the stored values: a renumbered constant would misread every file.
TEST(CardTypeCodes, NamesAreTheStoredValuesAndAgreeWithTheTables) {
    EXPECT_EQ(cfLabel, 12);
    EXPECT_EQ(cfBanner, 13);
    EXPECT_EQ(cfNcrQuarterFoldHorizontal, CardFormatCount - 1);
    EXPECT_EQ(dtLabel, 10);
    EXPECT_EQ(dtBanner, 12);
    EXPECT_EQ(dtLastPhotoPaper, DocumentTypeCount - 1);
    const std::pair<int, int> typeFormats[] = {
        {dtGreetingCard, cfBifoldVertical},
        {dtBrochure, cfTrifoldVertical},
        {dtCertificateLandscape, cfCertificateLandscape},
        {dtCertificatePortrait, cfCertificatePortrait},
        {dtPoster, cfPoster},
        {dtBusinessCard, cfBusinessCardConnected},
        {dtLabel, cfLabel},
        {dtEnvelope, cfEnvelope},
        {dtBanner, cfBanner},
        {dtNcrQuarterFoldCard, cfNcrQuarterFoldVertical},
    };
    for (const auto& [type, format] : typeFormats)
        EXPECT_EQ(DocumentTypeInfo(type)->Format, format) << type;
    EXPECT_STREQ(DocumentTypeInfo(dtNcrReturnAddressLabels)->Name, "NCR Return Address Labels");
    EXPECT_STREQ(DocumentTypeInfo(dtPhotoPaper3_4x7)->Name, "Photo Paper PH-009, 3-up (3.4 x 7)");
    EXPECT_STREQ(DocumentTypeInfo(dtPhotoPaper127x177)->Name,
                 "Photo Paper PH-102, 2-up (127 x 177)");
}

TEST(CardTypeCodes, PhotoPaperPredicatesFollowTheCategories) {
    for (int type = -1; type <= DocumentTypeCount; ++type) {
        SCOPED_TRACE(type);
        const bool inch = type >= TypeCategory(2).FirstType && type <= TypeCategory(2).LastType;
        const bool metric = type >= TypeCategory(3).FirstType && type <= TypeCategory(3).LastType;
        EXPECT_EQ(IsPhotoPaperType(type), inch || metric);
        EXPECT_EQ(IsMetricPhotoPaperType(type), metric);
        EXPECT_EQ(IsDocumentType(type), DocumentTypeInfo(type) != nullptr);
        EXPECT_EQ(IsNcrLabelType(type), type == 17 || type == 18);
    }
}

TEST(CardTypeCodes, FormatPredicatesOnEveryFormat) {
    // F folded, Q quadfold, C certificate, B business card, L label, N NCR, S sheet grid.
    const char* expected[CardFormatCount] = {
        "F", "F", "F", "F", "FQ", "FQ", "C", "C", "", "BS", "BS", "BS", "LS", "", "", "NS", "NS",
    };
    for (int format = 0; format < CardFormatCount; ++format) {
        SCOPED_TRACE(format);
        std::string got;
        if (IsFoldedFormat(format)) got += 'F';
        if (IsQuadfoldFormat(format)) got += 'Q';
        if (IsCertificateFormat(format)) got += 'C';
        if (IsBusinessCardFormat(format)) got += 'B';
        if (IsLabelFormat(format)) got += 'L';
        if (IsNcrFormat(format)) got += 'N';
        if (IsSheetFormat(format)) got += 'S';
        EXPECT_EQ(got, expected[format]);
        EXPECT_EQ(IsCellFormat(format), IsBusinessCardFormat(format) || IsLabelFormat(format));
        EXPECT_EQ(IsBannerFormat(format), format == 13);
        EXPECT_EQ(IsPosterFormat(format), format == 8);
        EXPECT_EQ(IsEnvelopeFormat(format), format == 14);
    }
    for (const int outside : {-1, CardFormatCount, 255}) {
        EXPECT_FALSE(IsCardFormat(outside));
        EXPECT_FALSE(IsSheetFormat(outside));
        EXPECT_FALSE(IsFoldedFormat(outside));
    }
}

TEST(CardTypeTables, PanelNamesAndViews) {
    struct View {
        const char* Name;
        int Mask;
    };
    struct Row {
        int Format;
        std::vector<const char*> Names;
        std::vector<View> Views;
    };
    const std::vector<View> bifold = {{"Outside", 9}, {"Inside", 6}};
    const std::vector<View> trifold = {{"Outside", 49}, {"Inside", 14}};
    const Row rows[] = {
        {0, {"Front cover", "Inside left", "Inside right", "Back cover"}, bifold},
        {1, {"Front cover", "Inside top", "Inside bottom", "Back cover"}, bifold},
        {2,
         {"Front cover", "Inside left", "Inside middle", "Inside right", "Inside flap",
          "Back cover"},
         trifold},
        {3,
         {"Front cover", "Inside top", "Inside middle", "Inside bottom", "Inside flap",
          "Back cover"},
         trifold},
        {5,
         {"Front cover", "Inside left", "Inside right", "Back cover"},
         {{"Outside", 9}, {"Inside", 6}, {"Entire card", 15}}},
        {7, {"Full page"}, {{"Full page", 1}}},
        {8, {"Full page"}, {{"Full page", 1}}},
        {10, {"Front of card"}, {{"Front of card", 1}}},
        {12, {""}, {}},
        {13, {""}, {}},
        {14, {"Full envelope"}, {{"Full envelope", 1}}},
        {15, {"Front cover", "Inside left", "Inside right", "Back cover"}, bifold},
        {16, {"Front cover", "Inside top", "Inside bottom", "Back cover"}, bifold},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Format);
        for (int panel = 0; panel < int(row.Names.size()); ++panel)
            EXPECT_EQ(PanelName(row.Format, panel), QString::fromLatin1(row.Names[panel]));
        const std::vector<TPanelView> views = PanelViews(row.Format);
        ASSERT_EQ(views.size(), row.Views.size());
        for (size_t i = 0; i < views.size(); ++i) {
            EXPECT_EQ(views[i].Name, QString::fromLatin1(row.Views[i].Name));
            EXPECT_EQ(views[i].Mask, row.Views[i].Mask);
        }
    }
    for (int format = 0; format < CardFormatCount; ++format) {
        const int panels = CardFormatInfo(format)->Panels;
        EXPECT_EQ(PanelName(format, -1), QString()) << format;
        EXPECT_EQ(PanelName(format, panels), QString()) << format;
        for (const TPanelView& view : PanelViews(format))
            EXPECT_LT(view.Mask, 1 << panels) << format << " " << view.Name.toStdString();
    }
    EXPECT_EQ(PanelName(CardFormatCount, 0), QString());
    EXPECT_TRUE(PanelViews(CardFormatCount).empty());
}

TEST(SheetGeometry, BusinessCards) {
    const std::pair<int, TSheetGeometry> rows[] = {
        {9, {75, 50, 350, 200, 350, 200, 2, 5}},  // ten cards touching side by side
        {10, {50, 50, 350, 200, 400, 200, 2, 5}}, // half-inch gap between the columns
        {11, {50, 75, 350, 200, 400, 250, 2, 4}}, // gaps both ways, eight cards
    };
    for (const auto& [format, expected] : rows) {
        TSheetGeometry g = Garbage;
        EXPECT_TRUE(ComputeSheetGeometry(format, g)) << format;
        EXPECT_EQ(g, expected) << format;
    }
}

TEST(SheetGeometry, PageFormatsStartFromOneCell) {
    struct Row {
        int Format;
        TSheetGeometry Expected;
        bool Portrait;
    };
    const TSheetGeometry one{0, 0, 0, 0, 0, 0, 1, 1};
    const Row rows[] = {
        {0, one, false},
        {1, one, true},
        {2, one, false},
        {3, one, true},
        {4, one, true},
        {5, one, false},
        {6, one, false},
        {7, one, true},
        {8, one, true},
        {13, one, true}, // banner with nothing measured
        {15, {0, 0, 0, 0, 0, 550, 1, 2}, true},
        {16, {0, 0, 0, 0, 550, 0, 2, 1}, false},
    };
    for (const Row& row : rows) {
        TSheetGeometry g = Garbage;
        EXPECT_EQ(ComputeSheetGeometry(row.Format, g), row.Portrait) << row.Format;
        EXPECT_EQ(g, row.Expected) << row.Format;
    }
}

TEST(SheetGeometry, KeptWhenNothingToCompute) {
    // A label without a catalogue record came from a file or template; envelopes and unknown
    // formats have no cells.
    const std::pair<int, bool> rows[] = {
        {12, true}, {14, false}, {17, false}, {-1, false}, {255, false}};
    for (const auto& [format, portrait] : rows) {
        TSheetGeometry g = Garbage;
        EXPECT_EQ(ComputeSheetGeometry(format, g), portrait) << format;
        EXPECT_EQ(g, Garbage) << format;
    }
}

TEST(SheetGeometry, LabelFromStockRecordRoundsToUnits) {
    const TLabelStock stock{"5160", 0.5, 0.1875, 1.0, 2.75, 1.0, 2.625, 3, 10};
    TSheetGeometry g = Garbage;
    EXPECT_TRUE(ComputeSheetGeometry(12, g, {&stock, {}}));
    EXPECT_EQ(g, (TSheetGeometry{19, 50, 263, 100, 275, 100, 3, 10}));

    // Counts and lengths beyond 16 bits stay at the limit instead of wrapping.
    const TLabelStock huge{"X", 400.0, -400.0, 1.0, 1.0, 1.0, 1.0, 70000, -70000};
    ComputeSheetGeometry(12, g, {&huge, {}});
    EXPECT_EQ(g.SpacingTop, 32767);
    EXPECT_EQ(g.SpacingLeft, -32768);
    EXPECT_EQ(g.NumAcross, 32767);
    EXPECT_EQ(g.NumDown, -32768);
}

TEST(Units, InchesToUnitsRoundsHalvesAwayFromZero) {
    const std::pair<double, int> rows[] = {
        {0.5, 50},       {2.625, 263},     {0.1875, 19},       {1.005, 101},      {-1.005, -101},
        {0.004, 0},      {0.005, 1},       {-0.005, -1},       {0.0, 0},          {-2.625, -263},
        {327.67, 32767}, {1e300, INT_MAX}, {-1e300, -INT_MAX}, {std::nan(""), 0},
    };
    for (const auto& [inches, units] : rows)
        EXPECT_EQ(InchesToUnits(inches), units) << inches;
}

TEST(Units, CentimetreRoundTripKeepsUnits) {
    EXPECT_DOUBLE_EQ(InchesToCentimetres(1.0), 2.54);
    EXPECT_DOUBLE_EQ(CentimetresToInches(10.0), 3.937);
    EXPECT_EQ(InchesToUnits(CentimetresToInches(25.4)), 1000);
    EXPECT_EQ(InchesToUnits(CentimetresToInches(InchesToCentimetres(12.34))), 1234);
}

TEST(SheetGeometry, BannerSheetsAtTheBoundary) {
    struct Row {
        int TextWidth;
        int ScreenDpi;
        int PrintableWidth; // printer pixels at 600 dpi
        int Sheets;
        int Width;
    };
    // Border 3 adds 2 * (3 + 5) = 16 pixels; margins 25 + 20.
    const Row rows[] = {
        // 8 in printable = 768 screen pixels at 96 dpi = 800 units a sheet.
        {752, 96, 4800, 1, 845},
        {753, 96, 4800, 2, 1645},
        {1520, 96, 4800, 2, 1645},
        {1521, 96, 4800, 3, 2445},
        {0, 96, 4800, 1, 845},
        // 960 screen pixels at 120 dpi.
        {944, 120, 4800, 1, 845},
        {945, 120, 4800, 2, 1645},
        // 4790 printer pixels = 766.4 screen pixels, 798.33 units a sheet.
        {750, 96, 4790, 1, 843},
        {751, 96, 4790, 2, 1641},
        // 4797 printer pixels = 767.52 screen pixels, 799.5 units rounded up.
        {751, 96, 4797, 1, 845},
        {752, 96, 4797, 2, 1645},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.TextWidth);
        TSheetInputs inputs;
        inputs.Banner =
            TBannerMeasure{row.TextWidth, 3, row.ScreenDpi, row.PrintableWidth, 600, 25, 20};
        TSheetGeometry g = Garbage;
        EXPECT_TRUE(ComputeSheetGeometry(13, g, inputs));
        EXPECT_EQ(g, (TSheetGeometry{0, 0, qint16(row.Width), 0, 0, 0, qint16(row.Sheets), 1}));
    }
}

TEST(SheetGeometry, BannerStaysWithinSixteenBits) {
    TSheetInputs inputs;
    inputs.Banner = TBannerMeasure{10'000'000, 3, 96, 4800, 600, 400, 400};
    TSheetGeometry g;
    ComputeSheetGeometry(13, g, inputs);
    EXPECT_EQ(g.NumAcross, 39); // the most 800-unit sheets that fit with the margins
    EXPECT_EQ(g.LabelWidth, 800 + 39 * 800);

    // A printer that reports nothing cannot divide the text into sheets.
    inputs.Banner = TBannerMeasure{1000, 3, 96, 0, 0, 25, 20};
    ComputeSheetGeometry(13, g, inputs);
    EXPECT_EQ(g, (TSheetGeometry{0, 0, 0, 0, 0, 0, 1, 1}));
}

TEST(PaperSize, BothSystemsAndOrientations) {
    EXPECT_EQ(PaperSize(true, false), QSize(850, 1100));
    EXPECT_EQ(PaperSize(false, false), QSize(1100, 850));
    EXPECT_EQ(PaperSize(true, true), QSize(827, 1169));
    EXPECT_EQ(PaperSize(false, true), QSize(1169, 827));
}

struct TExpectedPanel {
    int Format;
    bool Metric;
    int Panel;
    std::array<int, 4> Box; // SheetX, SheetY, Width, Height
    int Side;
    std::array<int, 2> Cell;
    std::array<int, 4> Clip;                  // left, top, right, bottom
    std::optional<std::array<int, 2>> Turn{}; // set for panels printed turned
};

TPanelGeometry Expected(const TExpectedPanel& e) {
    TPanelGeometry p;
    p.SheetX = e.Box[0];
    p.SheetY = e.Box[1];
    p.Width = e.Box[2];
    p.Height = e.Box[3];
    p.Side = quint8(e.Side);
    p.CellX = e.Cell[0];
    p.CellY = e.Cell[1];
    p.ClipLeft = e.Clip[0];
    p.ClipTop = e.Clip[1];
    p.ClipRight = e.Clip[2];
    p.ClipBottom = e.Clip[3];
    if (e.Turn) {
        p.TurnX = (*e.Turn)[0];
        p.TurnY = (*e.Turn)[1];
        p.Turned = p.Mirrored = 1;
    }
    return p;
}

// Letter is 1100 x 850 landscape, A4 1169 x 827; halves and thirds of odd lengths differ.
// clang-format off
const TExpectedPanel ExpectedPanels[] = {
    // Bifold, vertical fold: on A4 the 1169 split is 584 + 585 on each side.
    {0, A4,     0, {585, 0, 584, 827},  0, {1, 0}, {0, T, R, B}},
    {0, A4,     1, {0, 0, 584, 827},    1, {0, 0}, {L, T, 0, B}},
    {0, A4,     2, {584, 0, 585, 827},  1, {1, 0}, {0, T, R, B}},
    {0, A4,     3, {0, 0, 585, 827},    0, {0, 0}, {L, T, 0, B}},
    {0, Letter, 0, {550, 0, 550, 850},  0, {1, 0}, {0, T, R, B}},
    // Bifold, fold across: the front cover is printed turned.
    {1, Letter, 0, {0, 0, 850, 550},    0, {0, 0}, {L, 0, R, B}, {{0, 550}}},
    {1, Letter, 1, {0, 0, 850, 550},    1, {0, 0}, {L, T, R, 0}},
    {1, A4,     0, {0, 0, 827, 584},    0, {0, 0}, {L, 0, R, B}, {{0, 584}}},
    {1, A4,     2, {0, 584, 827, 585},  1, {0, 1}, {L, 0, R, B}},
    {1, A4,     3, {0, 585, 827, 585},  0, {0, 1}, {L, 0, R, B}},
    // Trifold in columns: 366 + 367 + 367 on Letter.
    {2, Letter, 0, {734, 0, 366, 850},  0, {2, 0}, {0, T, R, B}},
    {2, Letter, 1, {0, 0, 366, 850},    1, {0, 0}, {L, T, 0, B}},
    {2, Letter, 2, {366, 0, 367, 850},  1, {1, 0}, {0, T, 0, B}},
    {2, Letter, 3, {733, 0, 367, 850},  1, {2, 0}, {0, T, R, B}},
    {2, Letter, 4, {0, 0, 367, 850},    0, {0, 0}, {L, T, 0, B}},
    {2, Letter, 5, {367, 0, 367, 850},  0, {1, 0}, {0, T, 0, B}},
    {2, A4,     0, {780, 0, 389, 827},  0, {2, 0}, {0, T, R, B}},
    {2, A4,     3, {779, 0, 390, 827},  1, {2, 0}, {0, T, R, B}},
    // Trifold in rows: front cover and flap turned.
    {3, Letter, 0, {0, 0, 850, 366},    0, {0, 0}, {L, 0, R, B}, {{0, 733}}},
    {3, Letter, 2, {0, 366, 850, 367},  1, {0, 1}, {L, 0, R, 0}},
    {3, Letter, 4, {0, 734, 850, 367},  0, {0, 2}, {L, T, R, 0}, {{0, 0}}},
    {3, A4,     0, {0, 0, 827, 389},    0, {0, 0}, {L, 0, R, B}, {{0, 779}}},
    {3, A4,     3, {0, 779, 827, 390},  1, {0, 2}, {L, 0, R, B}},
    {3, A4,     5, {0, 390, 827, 390},  0, {0, 1}, {L, 0, R, 0}},
    // Quadfolds: four quarters on one side, the top row turned.
    {4, Letter, 0, {425, 550, 425, 550}, 0, {1, 1}, {0, 0, R, B}},
    {4, Letter, 2, {425, 0, 425, 550},   0, {1, 0}, {0, 0, R, B}, {{425, 550}}},
    {4, A4,     0, {413, 584, 414, 585}, 0, {1, 1}, {0, 0, R, B}},
    {4, A4,     1, {0, 0, 413, 584},     0, {0, 0}, {L, 0, 0, B}, {{0, 585}}},
    {4, A4,     2, {413, 0, 414, 584},   0, {1, 0}, {0, 0, R, B}, {{414, 585}}},
    {4, A4,     3, {0, 584, 413, 585},   0, {0, 1}, {L, 0, 0, B}},
    {5, Letter, 1, {0, 0, 550, 425},     0, {0, 0}, {L, 0, 0, B}, {{0, 425}}},
    {5, Letter, 3, {0, 425, 550, 425},   0, {0, 1}, {L, 0, 0, B}},
    {5, A4,     0, {584, 413, 585, 414}, 0, {1, 1}, {0, 0, R, B}},
    {5, A4,     2, {584, 0, 585, 413},   0, {1, 0}, {0, 0, R, B}, {{585, 414}}},
    // Single panels.
    {6,  Letter, 0, {0, 0, 1100, 850},  0, {0, 0}, {L, T, R, B}},
    {6,  A4,     0, {0, 0, 1169, 827},  0, {0, 0}, {L, T, R, B}},
    {7,  Letter, 0, {0, 0, 850, 1100},  0, {0, 0}, {L, T, R, B}},
    {7,  A4,     0, {0, 0, 827, 1169},  0, {0, 0}, {L, T, R, B}},
    {8,  Letter, 0, {0, 0, 1700, 2200}, 0, {0, 0}, {L + R, T + B, L + R, T + B}},
    {8,  A4,     0, {0, 0, 1654, 2338}, 0, {0, 0}, {L + R, T + B, L + R, T + B}},
    {9,  Letter, 0, {0, 0, 350, 200},   0, {0, 0}, {L, T, R, B}},
    {10, A4,     0, {0, 0, 350, 200},   0, {0, 0}, {L, T, R, B}},
    {11, Letter, 0, {0, 0, 350, 200},   0, {0, 0}, {L, T, R, B}},
    {12, Letter, 0, {0, 0, 2450, 100},  0, {0, 0}, {L, T, R, B}},
    {12, A4,     0, {0, 0, 2450, 100},  0, {0, 0}, {L, T, R, B}},
    {13, Letter, 0, {0, 0, 2450, 1100}, 0, {0, 0}, {L, T, R, B}},
    {13, A4,     0, {0, 0, 2450, 1169}, 0, {0, 0}, {L, T, R, B}},
    {14, Letter, 0, {0, 0, 950, 413},   0, {0, 0}, {L, T, R, B}},
    {14, A4,     0, {0, 0, 950, 413},   0, {0, 0}, {L, T, R, B}},
    // NCR quarter-folds: two bifolds on a sheet, half as high (15) or half as wide (16).
    {15, Letter, 0, {425, 0, 425, 550}, 0, {1, 0}, {0, T, R, B}},
    {15, Letter, 1, {0, 0, 425, 550},   1, {0, 0}, {L, T, 0, B}},
    {15, A4,     2, {413, 0, 414, 584}, 1, {1, 0}, {0, T, R, B}},
    {15, A4,     3, {0, 0, 414, 584},   0, {0, 0}, {L, T, 0, B}},
    {16, Letter, 0, {0, 0, 550, 425},   0, {0, 0}, {L, 0, R, B}, {{0, 425}}},
    {16, Letter, 3, {0, 425, 550, 425}, 0, {0, 1}, {L, 0, R, B}},
    {16, A4,     2, {0, 413, 584, 414}, 1, {0, 1}, {L, 0, R, B}},
    {16, A4,     3, {0, 414, 584, 414}, 0, {0, 1}, {L, 0, R, B}},
};
// clang-format on

TEST(PanelLayout, PanelsMatchTheFormatTables) {
    const TSheetGeometry sheet{0, 0, 2450, 100, 0, 0, 1, 1};
    for (const TExpectedPanel& e : ExpectedPanels) {
        SCOPED_TRACE(testing::Message() << "format " << e.Format << (e.Metric ? " A4" : " Letter")
                                        << " panel " << e.Panel);
        const std::vector<TPanelGeometry> panels = Layout(e.Format, e.Metric, sheet);
        ASSERT_LT(e.Panel, int(panels.size()));
        EXPECT_EQ(panels[e.Panel], Expected(e));
    }
}

TEST(PanelLayout, ThirdsOfALengthWithOneOver) {
    // Letter and A4 both leave two over, where (n+1)/3 and (n+2)/3 agree; 1000 tells them apart
    // (333, 333, 334).
    struct Row {
        int Format;
        int Panel;
        int Offset; // SheetX across the columns, SheetY down the rows
        int Length; // Width or Height
        int Turn;   // TurnY, or -1 when the panel is upright
    };
    const Row rows[] = {
        {2, 0, 667, 333, -1}, {2, 2, 333, 334, -1}, {2, 3, 667, 333, -1},
        {2, 5, 333, 334, -1}, {3, 0, 0, 333, 667},  {3, 2, 333, 334, -1},
        {3, 3, 667, 333, -1}, {3, 4, 667, 333, 0},  {3, 5, 333, 334, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "format " << row.Format << " panel " << row.Panel);
        const bool columns = row.Format == 2;
        const std::vector<TPanelGeometry> panels =
            PanelLayout(row.Format, !columns, {}, QSize(700, 1000), {});
        const TPanelGeometry& p = panels.at(row.Panel);
        EXPECT_EQ(columns ? p.SheetX : p.SheetY, row.Offset);
        EXPECT_EQ(columns ? p.Width : p.Height, row.Length);
        EXPECT_EQ(p.Turned ? p.TurnY : -1, row.Turn);
    }
}

TEST(PanelLayout, EveryFormatOnBothPapersIsConsistent) {
    for (int format = 0; format < CardFormatCount; ++format) {
        for (bool metric : {Letter, A4}) {
            SCOPED_TRACE(testing::Message() << "format " << format << " metric " << metric);
            const std::vector<TPanelGeometry> panels = Layout(format, metric);
            ASSERT_EQ(int(panels.size()), CardFormatInfo(format)->Panels);
            for (const TPanelGeometry& p : panels) {
                EXPECT_EQ(p.Mirrored, p.Turned);
                if (!p.Turned) {
                    EXPECT_EQ(p.TurnX, 0);
                    EXPECT_EQ(p.TurnY, 0);
                }
                EXPECT_LE(p.Side, 1);
            }
            // No two panels of a side share a cell.
            for (size_t i = 0; i < panels.size(); ++i) {
                for (size_t j = i + 1; j < panels.size(); ++j) {
                    const TPanelGeometry &a = panels[i], &b = panels[j];
                    EXPECT_FALSE(a.Side == b.Side && a.CellX == b.CellX && a.CellY == b.CellY)
                        << i << " " << j;
                }
            }
        }
    }
}

TEST(PanelLayout, FoldedPanelsCoverEachPrintedSideExactly) {
    // Odd halves and thirds must add up to the sheet, not leave or double a strip.
    for (int format : {0, 1, 2, 3, 4, 5}) {
        for (bool metric : {Letter, A4}) {
            const bool portrait = CardFormatInfo(format)->Portrait;
            const QSize paper = PaperSize(portrait, metric);
            long long area[2] = {0, 0};
            for (const TPanelGeometry& p : Layout(format, metric))
                area[p.Side] += static_cast<long long>(p.Width) * p.Height;
            const long long sheet = static_cast<long long>(paper.width()) * paper.height();
            const bool twoSided = format <= 3;
            EXPECT_EQ(area[0], sheet) << format << " " << metric;
            EXPECT_EQ(area[1], twoSided ? sheet : 0) << format << " " << metric;
        }
    }
}

TEST(PanelLayout, PaperMayBeGivenInEitherOrientation) {
    const TSheetGeometry sheet;
    for (int format : {1, 2, 7}) {
        const bool portrait = CardFormatInfo(format)->Portrait;
        const QSize paper = PaperSize(portrait, true);
        EXPECT_EQ(PanelLayout(format, portrait, sheet, paper.transposed(), Margins),
                  PanelLayout(format, portrait, sheet, paper, Margins))
            << format;
    }
}

TEST(PanelLayout, UnknownFormatHasNoPanels) {
    for (int format : {-1, CardFormatCount, 255})
        EXPECT_TRUE(PanelLayout(format, true, {}, PaperSize(true, false), Margins).empty());
}

TEST(PanelLayout, NewLabelCardUsesTheStockCellSize) {
    const TLabelStock stock{"5160", 0.5, 0.1875, 1.0, 2.75, 1.0, 2.625, 3, 10};
    TSheetGeometry g;
    const bool portrait = ComputeSheetGeometry(12, g, {&stock, {}});
    const std::vector<TPanelGeometry> panels =
        PanelLayout(12, portrait, g, PaperSize(portrait, false), {});
    ASSERT_EQ(panels.size(), 1u);
    EXPECT_EQ(QSize(panels[0].Width, panels[0].Height), QSize(263, 100));
}

} // namespace
