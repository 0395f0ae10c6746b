#include "types/CardType.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// clang-format off
constexpr std::array<TDocumentTypeInfo, DocumentTypeCount> DocumentTypes = {{
    {"Greeting Card",                             "ctGreetingCard",  0},
    {"Newsletter",                                "ctNewsletter",    7},
    {"Flyer",                                     "ctFlyer",         7},
    {"Award/Certificate (Landscape)",             "ctCertificateL",  6},
    {"Award/Certificate (Portrait)",              "ctCertificateP",  7},
    {"Letterhead",                                "ctLetterhead",    7},
    {"Résumé",                                    "ctResume",        7},
    {"Brochure",                                  "ctBrochure",      2},
    {"Poster/Sign",                               "ctPoster",        8},
    {"Business Card",                             "ctBusinessCard",  9},
    {"Label",                                     "ctLabel",        12},
    {"Envelope",                                  "ctEnvelope",     14},
    {"Banner",                                    "ctBanner",       13},
    {"Form",                                      "ctForm",          7},
    {"NCR Half-Fold Greeting Card",               "ctGreetingCard",  0},
    {"NCR Quarter-Fold Note Card",                "ctGreetingCard", 15},
    {"NCR Picture Card (3 Up)",                   "ctPicture",      12},
    {"NCR Mailing Labels",                        "ctLabel",        12},
    {"NCR Return Address Labels",                 "ctLabel",        12},
    {"Photo Paper PH-001, 1-up (8 x 10)",         "ctPicture",       7},
    {"Photo Paper PH-002, 2-up (5 x 7)",          "ctPicture",       7},
    {"Photo Paper PH-003, 2-up (4 x 6)",          "ctPicture",       7},
    {"Photo Paper PH-004, 4-up (3.5 x 5)",        "ctPicture",       7},
    {"Photo Paper PH-005, 6-up (2.25 x 3.5)",     "ctPicture",       7},
    {"Photo Paper PH-007, 10-up (2 x 3.5)",       "ctPicture",       7},
    {"Photo Paper PH-009, 3-up (3.4 x 7)",        "ctPicture",       7},
    {"Photo Paper PH-102, 2-up (127 x 177)",      "ctPicture",       7},
    {"Photo Paper PH-103, 2-up (100 x 150)",      "ctPicture",       7},
    {"Photo Paper PH-104, 4-up (90 x 130)",       "ctPicture",       7},
    {"Photo Paper PH-105, 6-up (57.17 x 88.95)",  "ctPicture",       7},
    {"Photo Paper PH-107, 10-up (50.8 x 90)",     "ctPicture",       7},
    {"Photo Paper PH-108, 10-up (54 x 85)",       "ctPicture",       7},
}};

constexpr std::array<TCardFormatInfo, CardFormatCount> CardFormats = {{
    {"Bifold (Vertical)",              "Vert",   false, 4},
    {"Bifold (Horizontal)",            "Horz",   true,  4},
    {"Trifold (Vertical)",             "TVert",  false, 6},
    {"Trifold (Horizontal)",           "THorz",  true,  6},
    {"Quadfold (Vertical)",            "QVert",  true,  4},
    {"Quadfold (Horizontal)",          "QHorz",  false, 4},
    {"Certificate (Landscape)",        "CHorz",  false, 1},
    {"Certificate (Portrait)",         "CVert",  true,  1},
    {"Poster",                         "Poster", true,  1},
    {"Business Card (Connected)",      "Bus",    true,  1},
    {"Business Card (Separated, 10)",  "BusS",   true,  1},
    {"Business Card (Separated, 8)",   "BusS8",  true,  1},
    {"Label",                          "Lab",    true,  1},
    {"Banner",                         "Ban",    true,  1},
    {"Envelope",                       "Env",    false, 1},
    // Portrait: two 4.25 x 5.5 in cards one above the other, 5.5 in apart (the pitch that
    // ComputeSheetGeometry sets). On a landscape sheet the second card would run 1.25 in
    // off the bottom edge.
    {"NCR Quarter-Fold (Vertical)",    "Vert",   true,  4},
    {"NCR Quarter-Fold (Horizontal)",  "Horz",   false, 4},
}};

constexpr std::array<TTypeCategory, CategoryCount> Categories = {{
    {"Standard Types",             0,  13},
    {"NCR Types",                  14, 18},
    {"Photo Paper Types",          19, 25},
    {"Photo Paper Types (Metric)", 26, 31},
}};
// clang-format on

bool IsHorz(int cardFormat) {
    return std::strcmp(CardFormats[cardFormat].Key, "Horz") == 0;
}

qint16 ToInt16(long long value) {
    return static_cast<qint16>(std::clamp<long long>(value, SHRT_MIN, SHRT_MAX));
}

void SetBusinessCards(int cardFormat, TSheetGeometry& g) {
    g.SpacingLeft = cardFormat == 9 ? 75 : 50;
    g.SpacingTop = cardFormat == 11 ? 75 : 50;
    g.LabelWidth = 350;
    g.LabelHeight = 200;
    g.SpacingWidth = cardFormat == 9 ? 350 : 400;
    g.SpacingHeight = cardFormat == 11 ? 250 : 200;
    g.NumAcross = 2;
    g.NumDown = cardFormat == 11 ? 4 : 5;
}

void SetLabel(const TLabelStock& stock, TSheetGeometry& g) {
    g.SpacingLeft = ToInt16(InchesToUnits(stock.SpacingLeft));
    g.SpacingTop = ToInt16(InchesToUnits(stock.SpacingTop));
    g.LabelWidth = ToInt16(InchesToUnits(stock.LabelWidth));
    g.LabelHeight = ToInt16(InchesToUnits(stock.LabelHeight));
    g.SpacingWidth = ToInt16(InchesToUnits(stock.SpacingWidth));
    g.SpacingHeight = ToInt16(InchesToUnits(stock.SpacingHeight));
    g.NumAcross = ToInt16(stock.NumAcross);
    g.NumDown = ToInt16(stock.NumDown);
}

// The banner runs across as many portrait sheets as its text needs. P, the printable width
// in screen pixels, is PrintableWidthPixels * ScreenPixelsPerInch / PrinterPixelsPerInch;
// sheets = ceiling(need / P) is computed exactly in integers as
// ceiling(need * PrinterPixelsPerInch / (PrintableWidthPixels * ScreenPixelsPerInch)), so a
// text exactly P wide takes one sheet and one pixel more takes two. P in 1/100 in is taken
// straight from the printer pixels, PrintableWidthPixels * 100 / PrinterPixelsPerInch
// rounded to nearest, so no screen rounding enters the banner width.
void SetBanner(const TBannerMeasure& m, TSheetGeometry& g) {
    if (m.PrintableWidthPixels <= 0 || m.PrinterPixelsPerInch <= 0 || m.ScreenPixelsPerInch <= 0)
        return; // nothing measured to divide by: keep one sheet
    const long long need = static_cast<long long>(m.TextWidthPixels) + 2LL * (m.BorderSize + 5);
    const long long perSheet =
        static_cast<long long>(m.PrintableWidthPixels) * m.ScreenPixelsPerInch;
    long long sheets = need <= 0 ? 1 : (need * m.PrinterPixelsPerInch + perSheet - 1) / perSheet;
    const long long sheetUnits =
        (static_cast<long long>(m.PrintableWidthPixels) * 200 + m.PrinterPixelsPerInch) /
        (2LL * m.PrinterPixelsPerInch);
    // The width is stored in 16 bits: a longer banner keeps the sheets that fit.
    const long long margins = static_cast<long long>(m.LeftMargin) + m.RightMargin;
    if (sheetUnits > 0) sheets = std::min(sheets, (SHRT_MAX - margins) / sheetUnits);
    sheets = std::max(sheets, 1LL);
    g.NumAcross = ToInt16(sheets);
    g.LabelWidth = ToInt16(margins + sheets * sheetUnits);
}

// Lengths in the layout tables are sums of up to two parts of the sheet's width (or height)
// n. The thirds add up to n: n/3 + (n+1)/3 + (n+2)/3 == n.
enum TPart : quint8 { Zero, Half, HalfUp, Third, Third1, Third2, Full };

struct TLen {
    TPart A = Zero, B = Zero;
    constexpr TLen(TPart a = Zero, TPart b = Zero) : A(a), B(b) {}
};

int PartOf(TPart part, int n) {
    switch (part) {
    case Zero:
        return 0;
    case Half:
        return n / 2;
    case HalfUp:
        return (n + 1) / 2;
    case Third:
        return n / 3;
    case Third1:
        return (n + 1) / 3;
    case Third2:
        return (n + 2) / 3;
    case Full:
        return n;
    }
    return 0;
}

int Eval(TLen len, int n) {
    return PartOf(len.A, n) + PartOf(len.B, n);
}

// Unprintable margins as a set of sheet edges; each panel edge clips by the sum of the set.
enum : quint8 { L = 1, T = 2, R = 4, B = 8 };

struct TTurn {
    bool Turned = false;
    TLen X, Y;
};
constexpr TTurn Upright{};
constexpr TTurn Turn(TLen x, TLen y) {
    return {true, x, y};
}

struct TPanelRow {
    TLen X, Y, Width, Height; // the box on the sheet; X and Width of W, Y and Height of H
    quint8 Side;
    TTurn Turned;
    int CellX, CellY;
    quint8 ClipLeft, ClipTop, ClipRight, ClipBottom;
};

using TRows = std::vector<TPanelRow>;

// clang-format off
// Vert: landscape sheet folded down the middle.
const TRows Format0 = {
    //  X       Y     Width   Height Side Turn     Cell    Clip
    {HalfUp,  Zero, Half,   Full,  0,   Upright, 1, 0,   0, T, R, B},
    {Zero,    Zero, Half,   Full,  1,   Upright, 0, 0,   L, T, 0, B},
    {Half,    Zero, HalfUp, Full,  1,   Upright, 1, 0,   0, T, R, B},
    {Zero,    Zero, HalfUp, Full,  0,   Upright, 0, 0,   L, T, 0, B},
};

// Horz: portrait sheet folded across; the front cover is printed upside down.
const TRows Format1 = {
    {Zero, Zero,   Full, Half,   0, Turn(Zero, Half), 0, 0,   L, 0, R, B},
    {Zero, Zero,   Full, Half,   1, Upright,          0, 0,   L, T, R, 0},
    {Zero, Half,   Full, HalfUp, 1, Upright,          0, 1,   L, 0, R, B},
    {Zero, HalfUp, Full, HalfUp, 0, Upright,          0, 1,   L, 0, R, B},
};

// TVert: landscape sheet in three columns.
const TRows Format2 = {
    {{Third1, Third2}, Zero, Third,  Full, 0, Upright, 2, 0,   0, T, R, B},
    {Zero,             Zero, Third,  Full, 1, Upright, 0, 0,   L, T, 0, B},
    {Third,            Zero, Third2, Full, 1, Upright, 1, 0,   0, T, 0, B},
    {{Third, Third2},  Zero, Third1, Full, 1, Upright, 2, 0,   0, T, R, B},
    {Zero,             Zero, Third1, Full, 0, Upright, 0, 0,   L, T, 0, B},
    {Third1,           Zero, Third2, Full, 0, Upright, 1, 0,   0, T, 0, B},
};

// THorz: portrait sheet in three rows; front cover and flap are printed upside down.
const TRows Format3 = {
    {Zero, Zero,             Full, Third,  0, Turn(Zero, {Third, Third2}), 0, 0,   L, 0, R, B},
    {Zero, Zero,             Full, Third,  1, Upright,                     0, 0,   L, T, R, 0},
    {Zero, Third,            Full, Third2, 1, Upright,                     0, 1,   L, 0, R, 0},
    {Zero, {Third, Third2},  Full, Third1, 1, Upright,                     0, 2,   L, 0, R, B},
    {Zero, {Third1, Third2}, Full, Third1, 0, Turn(Zero, Zero),            0, 2,   L, T, R, 0},
    {Zero, Third1,           Full, Third2, 0, Upright,                     0, 1,   L, 0, R, 0},
};

// QVert and QHorz: four quarters on one side, folded twice; the top row is upside down.
const TRows Formats4And5 = {
    {Half, Half, HalfUp, HalfUp, 0, Upright,              1, 1,   0, 0, R, B},
    {Zero, Zero, Half,   Half,   0, Turn(Zero, HalfUp),   0, 0,   L, 0, 0, B},
    {Half, Zero, HalfUp, Half,   0, Turn(HalfUp, HalfUp), 1, 0,   0, 0, R, B},
    {Zero, Half, Half,   HalfUp, 0, Upright,              0, 1,   L, 0, 0, B},
};
// clang-format on

// The NCR quarter-folds print two cards per sheet: each is the bifold with half the height
// (Vertical) or half the width (Horizontal).
TRows WithHalf(TRows rows, TLen TPanelRow::*length) {
    for (TPanelRow& row : rows)
        row.*length = Half;
    return rows;
}
const TRows Format15 = WithHalf(Format0, &TPanelRow::Height);
const TRows Format16 = WithHalf(Format1, &TPanelRow::Width);

const TRows* FoldedRows(int cardFormat) {
    switch (cardFormat) {
    case 0:
        return &Format0;
    case 1:
        return &Format1;
    case 2:
        return &Format2;
    case 3:
        return &Format3;
    case 4:
    case 5:
        return &Formats4And5;
    case 15:
        return &Format15;
    case 16:
        return &Format16;
    }
    return nullptr;
}

int Clip(quint8 edges, const TPrinterMargins& m) {
    return (edges & L ? m.Left : 0) + (edges & T ? m.Top : 0) + (edges & R ? m.Right : 0) +
           (edges & B ? m.Bottom : 0);
}

TPanelGeometry FromRow(const TPanelRow& row, int w, int h, const TPrinterMargins& m) {
    TPanelGeometry p;
    p.SheetX = Eval(row.X, w);
    p.SheetY = Eval(row.Y, h);
    p.Width = Eval(row.Width, w);
    p.Height = Eval(row.Height, h);
    p.Side = row.Side;
    if (row.Turned.Turned) {
        p.TurnX = Eval(row.Turned.X, w);
        p.TurnY = Eval(row.Turned.Y, h);
        p.Turned = p.Mirrored = 1;
    }
    p.CellX = row.CellX;
    p.CellY = row.CellY;
    p.ClipLeft = Clip(row.ClipLeft, m);
    p.ClipTop = Clip(row.ClipTop, m);
    p.ClipRight = Clip(row.ClipRight, m);
    p.ClipBottom = Clip(row.ClipBottom, m);
    return p;
}

QSize SinglePanelSize(int cardFormat, int w, int h, const TSheetGeometry& g) {
    switch (cardFormat) {
    case 8:
        return {2 * w, 2 * h}; // the poster spans four sheets
    case 9:
    case 10:
    case 11:
        return {350, 200};
    case 12:
        return {g.LabelWidth, g.LabelHeight};
    case 13:
        return {g.LabelWidth, h};
    case 14:
        return {950, 413};
    }
    return {w, h};
}

} // namespace

const TDocumentTypeInfo* DocumentTypeInfo(int documentType) {
    if (documentType < 0 || documentType >= DocumentTypeCount) return nullptr;
    return &DocumentTypes[documentType];
}

const TCardFormatInfo* CardFormatInfo(int cardFormat) {
    return IsCardFormat(cardFormat) ? &CardFormats[cardFormat] : nullptr;
}

const TTypeCategory& TypeCategory(int index) {
    static constexpr TTypeCategory None{"", 0, -1};
    if (index < 0 || index >= CategoryCount) return None;
    return Categories[index];
}

QString PanelName(int cardFormat, int panel) {
    if (!IsCardFormat(cardFormat) || panel < 0 || panel >= CardFormats[cardFormat].Panels)
        return {};
    const bool horz = IsHorz(cardFormat);
    switch (cardFormat) {
    case 0:
    case 1:
    case 4:
    case 5:
    case 15:
    case 16: {
        const char* names[] = {"Front cover", horz ? "Inside top" : "Inside left",
                               horz ? "Inside bottom" : "Inside right", "Back cover"};
        return QString::fromLatin1(names[panel]);
    }
    case 2:
    case 3: {
        const bool top = cardFormat == 3;
        const char* names[] = {"Front cover",   top ? "Inside top" : "Inside left",
                               "Inside middle", top ? "Inside bottom" : "Inside right",
                               "Inside flap",   "Back cover"};
        return QString::fromLatin1(names[panel]);
    }
    case 6:
    case 7:
    case 8:
        return QStringLiteral("Full page");
    case 9:
    case 10:
    case 11:
        return QStringLiteral("Front of card");
    case 14:
        return QStringLiteral("Full envelope");
    }
    return {}; // labels and banners have no page buttons
}

std::vector<TPanelView> PanelViews(int cardFormat) {
    switch (cardFormat) {
    case 0:
    case 1:
    case 15:
    case 16:
        return {{QStringLiteral("Outside"), 0b1001}, {QStringLiteral("Inside"), 0b0110}};
    case 2:
    case 3:
        return {{QStringLiteral("Outside"), 0b110001}, {QStringLiteral("Inside"), 0b001110}};
    case 4:
    case 5:
        return {{QStringLiteral("Outside"), 0b1001},
                {QStringLiteral("Inside"), 0b0110},
                {QStringLiteral("Entire card"), 0b1111}};
    }
    const QString name = PanelName(cardFormat, 0);
    if (name.isEmpty()) return {};
    return {{name, 1}};
}

bool ComputeSheetGeometry(int cardFormat, TSheetGeometry& geometry, const TSheetInputs& inputs) {
    if (!IsCardFormat(cardFormat)) return false;
    switch (cardFormat) {
    case 9:
    case 10:
    case 11:
        SetBusinessCards(cardFormat, geometry);
        break;
    case 12:
        // Without a catalogue record the geometry came from a file or template: keep it.
        if (inputs.Label) SetLabel(*inputs.Label, geometry);
        break;
    case 14:
        break;
    default:
        geometry = {};
        geometry.NumAcross = cardFormat == 16 ? 2 : 1;
        geometry.NumDown = cardFormat == 15 ? 2 : 1;
        if (cardFormat == 15) geometry.SpacingHeight = 550;
        if (cardFormat == 16) geometry.SpacingWidth = 550;
        if (cardFormat == 13 && inputs.Banner) SetBanner(*inputs.Banner, geometry);
        break;
    }
    return CardFormats[cardFormat].Portrait;
}

QSize PaperSize(bool portrait, bool metric) {
    // A4 is 210 x 297 mm, times 0.03937 times 100, rounded.
    const QSize size = metric ? QSize(827, 1169) : QSize(850, 1100);
    return portrait ? size : size.transposed();
}

std::vector<TPanelGeometry> PanelLayout(int cardFormat, bool portrait,
                                        const TSheetGeometry& geometry, QSize paper,
                                        const TPrinterMargins& margins) {
    if (!IsCardFormat(cardFormat)) return {};
    const int shortSide = std::min(paper.width(), paper.height());
    const int longSide = std::max(paper.width(), paper.height());
    const int w = portrait ? shortSide : longSide;
    const int h = portrait ? longSide : shortSide;

    std::vector<TPanelGeometry> panels;
    if (const TRows* rows = FoldedRows(cardFormat)) {
        for (const TPanelRow& row : *rows)
            panels.push_back(FromRow(row, w, h, margins));
        return panels;
    }

    TPanelGeometry p;
    const QSize size = SinglePanelSize(cardFormat, w, h, geometry);
    p.Width = size.width();
    p.Height = size.height();
    if (cardFormat == 8) {
        // A cautious guide: each seam between the poster's sheets loses both margins of an axis.
        p.ClipLeft = p.ClipRight = margins.Left + margins.Right;
        p.ClipTop = p.ClipBottom = margins.Top + margins.Bottom;
    } else {
        p.ClipLeft = margins.Left;
        p.ClipTop = margins.Top;
        p.ClipRight = margins.Right;
        p.ClipBottom = margins.Bottom;
    }
    panels.push_back(p);
    return panels;
}

int InchesToUnits(double inches) {
    if (!std::isfinite(inches)) return 0;
    // Decimal halves such as 1.005 in are stored a hair below the half; the tiny nudge rounds
    // them away from zero as written, far below any difference a catalogue could mean.
    const double magnitude = std::floor(std::abs(inches) * 100.0 + 1e-9 + 0.5);
    const int units = magnitude >= INT_MAX ? INT_MAX : static_cast<int>(magnitude);
    return inches < 0 ? -units : units;
}

double CentimetresToInches(double cm) {
    return cm * 0.3937;
}

double InchesToCentimetres(double inches) {
    return inches * 2.54;
}
