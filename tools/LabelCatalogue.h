#pragma once

// The label stock catalogue shipped in the program folder as the Paradox table LABLIST.DB
// (with its primary index LABLIST.PX), made from a CSV source at build time. The wizard lists
// stocks from it by LabelType and takes a stock's sheet layout from it.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// One stock: what it is and how its labels lie on its sheet. Lengths in inches.
struct TLabelStockRow {
    QString CatNum;     // the key
    QString LabelType;  // one of LabelTypes()
    QString Color;      // "White", "Clear", ...
    QString LabelShape; // "Rect", "RRect", "Round" or "SHAPE"
    QString LabelFeed;  // the printers it suits: "Laser", "Ink" or "Both"
    double SpacingTop = 0, SpacingLeft = 0, SpacingHeight = 0, SpacingWidth = 0, LabelHeight = 0,
           LabelWidth = 0;
    int NumAcross = 0, NumDown = 0;
    QString SheetSize = QStringLiteral("Letter"); // one of SheetSizes()
    QString Description;                          // what the list and the search show
};

namespace LabelCatalogue {

// Widths of the text fields, in bytes of the table's code page.
constexpr int CatNumWidth = 24, LabelTypeWidth = 24, ColorWidth = 6, LabelShapeWidth = 8,
              LabelFeedWidth = 5, SheetSizeWidth = 8, DescriptionWidth = 80;
// The code page the table's text is stored in.
constexpr int CodePage = 1252;

// The LabelType values the wizard's label categories ask for.
const QStringList& LabelTypes();

// The sheets a stock may be cut from: "Letter" (8.5 x 11 in) and "A4" (210 x 297 mm).
const QStringList& SheetSizes();

// Reads the CSV source: a header line naming the columns (the table's fields, in any order;
// SheetSize and Description may be left out, giving Letter and no description), then one
// stock per line. Throws Exception naming the line of a malformed row.
std::vector<TLabelStockRow> Read(const QByteArray& csv);

// What is wrong with the rows, one message per fault: unknown or empty values, text that does
// not fit its field or the code page, duplicate numbers, labels that overlap or leave the
// sheet. Empty when the catalogue can be shipped.
QStringList Check(const std::vector<TLabelStockRow>& rows);

// Writes LABLIST.DB and LABLIST.PX into folder, rows in key order. Throws Exception on
// failure, leaving neither file behind.
void Write(const std::vector<TLabelStockRow>& rows, const QString& folder);

} // namespace LabelCatalogue
