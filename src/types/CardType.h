#pragma once

// Publication types and how a publication uses the sheet: the DocumentType and CardFormat
// tables, the sheet geometry stored in a card and the position of every panel on the sheet.
// Pure functions of their inputs; all lengths are in 1/100 inch.

#include <QSize>
#include <QString>

#include <optional>
#include <vector>

constexpr int DocumentTypeCount = 32;
constexpr int CardFormatCount = 17;

// The document types, as documents store them (rows of DocumentTypeInfo). Plain ints, as
// the code keeps them in lists and arrays beside other ints.
constexpr int dtGreetingCard = 0;
constexpr int dtNewsletter = 1;
constexpr int dtFlyer = 2;
constexpr int dtCertificateLandscape = 3;
constexpr int dtCertificatePortrait = 4;
constexpr int dtLetterhead = 5;
constexpr int dtResume = 6;
constexpr int dtBrochure = 7;
constexpr int dtPoster = 8;
constexpr int dtBusinessCard = 9;
constexpr int dtLabel = 10;
constexpr int dtEnvelope = 11;
constexpr int dtBanner = 12;
constexpr int dtForm = 13;
constexpr int dtNcrHalfFoldCard = 14;
constexpr int dtNcrQuarterFoldCard = 15;
constexpr int dtNcrPictureCard = 16;
constexpr int dtNcrMailingLabels = 17;
constexpr int dtNcrReturnAddressLabels = 18;
constexpr int dtPhotoPaper8x10 = 19; // PH-001 .. PH-009: inch stocks
constexpr int dtPhotoPaper5x7 = 20;
constexpr int dtPhotoPaper4x6 = 21;
constexpr int dtPhotoPaper3_5x5 = 22;
constexpr int dtPhotoPaper2_25x3_5 = 23;
constexpr int dtPhotoPaper2x3_5 = 24;
constexpr int dtPhotoPaper3_4x7 = 25;
constexpr int dtPhotoPaper127x177 = 26; // PH-102 .. PH-108: millimetre stocks
constexpr int dtPhotoPaper100x150 = 27;
constexpr int dtPhotoPaper90x130 = 28;
constexpr int dtPhotoPaper57x89 = 29;
constexpr int dtPhotoPaper51x90 = 30;
constexpr int dtPhotoPaper54x85 = 31;
constexpr int dtFirstPhotoPaper = dtPhotoPaper8x10;
constexpr int dtFirstMetricPhotoPaper = dtPhotoPaper127x177;
constexpr int dtLastPhotoPaper = dtPhotoPaper54x85;

inline bool IsDocumentType(int documentType) {
    return documentType >= 0 && documentType < DocumentTypeCount;
}
inline bool IsLabelType(int documentType) { return documentType == dtLabel; }
inline bool IsBannerType(int documentType) { return documentType == dtBanner; }
// The NCR label stocks (mailing and return address); like dtLabel they need the wizard.
inline bool IsNcrLabelType(int documentType) {
    return documentType == dtNcrMailingLabels || documentType == dtNcrReturnAddressLabels;
}
// Pre-cut photo paper: its outlines are drawn on the page and it has no wizard.
inline bool IsPhotoPaperType(int documentType) {
    return documentType >= dtFirstPhotoPaper && documentType <= dtLastPhotoPaper;
}
// Photo paper whose cut layout is measured in 1/100 mm rather than 1/100 in.
inline bool IsMetricPhotoPaperType(int documentType) {
    return documentType >= dtFirstMetricPhotoPaper && documentType <= dtLastPhotoPaper;
}

// What a publication is for. Name is UTF-8; Format is the CardFormat a blank one gets.
struct TDocumentTypeInfo {
    const char* Name;
    const char* Picture;
    int Format;
};
const TDocumentTypeInfo* DocumentTypeInfo(int documentType); // null outside 0..31

// How the sheet is used. Key names the format's picture; Panels is the panel count of a page.
struct TCardFormatInfo {
    const char* Name;
    const char* Key;
    bool Portrait;
    int Panels;
};
const TCardFormatInfo* CardFormatInfo(int cardFormat); // null outside 0..16

// The card formats, as documents store them.
enum TCardFormatCode : int {
    cfBifoldVertical = 0,
    cfBifoldHorizontal = 1,
    cfTrifoldVertical = 2,
    cfTrifoldHorizontal = 3,
    cfQuadfoldVertical = 4,
    cfQuadfoldHorizontal = 5,
    cfCertificateLandscape = 6,
    cfCertificatePortrait = 7,
    cfPoster = 8,
    cfBusinessCardConnected = 9,
    cfBusinessCardSeparated10 = 10,
    cfBusinessCardSeparated8 = 11,
    cfLabel = 12,
    cfBanner = 13,
    cfEnvelope = 14,
    cfNcrQuarterFoldVertical = 15,
    cfNcrQuarterFoldHorizontal = 16,
};
inline bool IsCardFormat(int cardFormat) { return cardFormat >= 0 && cardFormat < CardFormatCount; }
// Bi-, tri- and quadfolds: one sheet folded into panels.
inline bool IsFoldedFormat(int cardFormat) {
    return cardFormat >= cfBifoldVertical && cardFormat <= cfQuadfoldHorizontal;
}
// Quadfolds: four panels on one side of the sheet, folded twice.
inline bool IsQuadfoldFormat(int cardFormat) {
    return cardFormat == cfQuadfoldVertical || cardFormat == cfQuadfoldHorizontal;
}
inline bool IsCertificateFormat(int cardFormat) {
    return cardFormat == cfCertificateLandscape || cardFormat == cfCertificatePortrait;
}
inline bool IsBusinessCardFormat(int cardFormat) {
    return cardFormat >= cfBusinessCardConnected && cardFormat <= cfBusinessCardSeparated8;
}
inline bool IsPosterFormat(int cardFormat) { return cardFormat == cfPoster; }
inline bool IsLabelFormat(int cardFormat) { return cardFormat == cfLabel; }
inline bool IsBannerFormat(int cardFormat) { return cardFormat == cfBanner; }
inline bool IsEnvelopeFormat(int cardFormat) { return cardFormat == cfEnvelope; }
// The NCR note cards, two up on one sheet.
inline bool IsNcrFormat(int cardFormat) {
    return cardFormat == cfNcrQuarterFoldVertical || cardFormat == cfNcrQuarterFoldHorizontal;
}
// Business cards and labels, the cells of one grid on the sheet (edited as one cell).
inline bool IsCellFormat(int cardFormat) {
    return IsBusinessCardFormat(cardFormat) || IsLabelFormat(cardFormat);
}
// Formats that repeat their panels in a grid of items on one sheet: business cards, labels
// and the NCR two-up cards.
inline bool IsSheetFormat(int cardFormat) {
    return IsCellFormat(cardFormat) || IsNcrFormat(cardFormat);
}

// Document types grouped by inclusive range.
struct TTypeCategory {
    const char* Name;
    int FirstType;
    int LastType;
};
constexpr int CategoryCount = 4;
const TTypeCategory& TypeCategory(int index); // 0..3; outside, an empty category named ""

// Page-button hint of a panel; "" when the format has no page buttons (labels, banners) or
// the panel is out of range.
QString PanelName(int cardFormat, int panel);

// A view shows a set of panels: bit i of Mask = panel i.
struct TPanelView {
    QString Name;
    quint8 Mask;
};
std::vector<TPanelView> PanelViews(int cardFormat); // empty for labels, banners, unknown formats

// The most cells a sheet has across or down (or a banner sheets across) that a document may
// hold; counts beyond it come only from damaged files.
constexpr int MaxSheetCells = 1000;

// Stored in the document in exactly this order (eight 16-bit signed values). The first six
// are lengths; NumAcross and NumDown are counts of cells (sheets across, for a banner).
struct TSheetGeometry {
    qint16 SpacingLeft = 0, SpacingTop = 0, LabelWidth = 0, LabelHeight = 0, SpacingWidth = 0,
           SpacingHeight = 0, NumAcross = 0, NumDown = 0;
    bool operator==(const TSheetGeometry&) const = default;
};

// One row of the label stock catalogue (inches, counts).
struct TLabelStock {
    QString CatNum;
    double SpacingTop = 0, SpacingLeft = 0, SpacingHeight = 0, SpacingWidth = 0, LabelHeight = 0,
           LabelWidth = 0;
    int NumAcross = 0, NumDown = 0;
};

// What the banner computation needs measured outside this library.
struct TBannerMeasure {
    int TextWidthPixels; // screen pixels of the banner text + "l" in Arial 500 pt
    int BorderSize;      // the banner headline's border size (logical pixels)
    int ScreenPixelsPerInch;
    int PrintableWidthPixels; // printer's printable width in printer pixels (portrait)
    int PrinterPixelsPerInch;
    int LeftMargin, RightMargin; // printer's unprintable margins, 1/100 in
};

struct TSheetInputs {
    const TLabelStock* Label = nullptr;   // format 12: null keeps the geometry as read
    std::optional<TBannerMeasure> Banner; // format 13: absent leaves one sheet, width 0
};

// Sets the geometry a card of this format needs and returns its PortraitPaper. An unknown
// format leaves the geometry unchanged and returns false.
bool ComputeSheetGeometry(int cardFormat, TSheetGeometry& geometry,
                          const TSheetInputs& inputs = {});

struct TPrinterMargins {
    int Left = 0, Top = 0, Right = 0, Bottom = 0; // unprintable margins, 1/100 in
};

// US Letter 850 x 1100, or A4 827 x 1169 in the metric system; exchanged for landscape.
QSize PaperSize(bool portrait, bool metric);

// Where a panel lies on the sheet. A turned panel is printed rotated by 180 degrees, placed
// from (TurnX, TurnY); Clip* is the unprintable margin at each edge (0 inside the sheet).
struct TPanelGeometry {
    int Width = 0, Height = 0;
    quint8 Side = 0;
    int SheetX = 0, SheetY = 0, TurnX = 0, TurnY = 0, CellX = 0, CellY = 0, ClipLeft = 0,
        ClipTop = 0, ClipRight = 0, ClipBottom = 0;
    quint8 Turned = 0, Mirrored = 0;
    bool operator==(const TPanelGeometry&) const = default;
};

// One entry per panel of the format; empty for an unknown format. paper may be given in
// either orientation: portrait decides which side is the width.
std::vector<TPanelGeometry> PanelLayout(int cardFormat, bool portrait,
                                        const TSheetGeometry& geometry, QSize paper,
                                        const TPrinterMargins& margins);

int InchesToUnits(double inches);          // x 100, rounded to nearest, halves away from zero
double CentimetresToInches(double cm);     // x 0.3937
double InchesToCentimetres(double inches); // x 2.54
