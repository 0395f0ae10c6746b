#pragma once

// The label catalogue as the wizard sees it: one row per label stock, with what the wizard's
// label type page filters and shows. Rows come from the shipped catalogue (LABLIST.DB, read by
// the table engine) and, where the system has them, from its shared label templates.

#include "types/CardType.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct TLabelCatalogueRow {
    TLabelStock Stock;   // CatNum and the sheet geometry (inches, counts)
    QString LabelType;   // "Address", "Return", "Shipping", ...
    QString Color;
    QString LabelShape;  // "Rect", "RRect", "Round" or "SHAPE"
    QString LabelFeed;   // the printer type
    QString Description;
    // The sheet the labels are cut from: its name ("Letter", "A4", or the system's name for
    // it) and its portrait size in inches.
    QString SheetSize = QStringLiteral("Letter");
    double SheetWidth = 8.5, SheetHeight = 11.0;
    bool FromSystem = false; // from the system's label templates, not the shipped catalogue
};
using TLabelCatalogue = std::vector<TLabelCatalogueRow>;

// The portrait size in inches of a named sheet: "Letter"/"US-Letter", "Legal", "A3" to "A6",
// "B5", ... case-insensitive; nothing for a name it does not know.
struct TSheetInches {
    double Width, Height;
};
std::optional<TSheetInches> NamedSheetSize(const QString& name);

// The rows whose CatNum, description or dimensions as the label type page shows them
// (width, height and "3 x 10", e.g. "2.625") contain text, case-insensitive, in their order.
// Empty text gives every row.
TLabelCatalogue SearchLabelCatalogue(const TLabelCatalogue& rows, const QString& text);
