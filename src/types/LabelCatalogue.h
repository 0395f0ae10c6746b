#pragma once

// The label catalogue as the wizard sees it: one row per label stock, with what the wizard's
// label type page filters and shows. Rows come from the shipped catalogue (LABLIST.DB, read by
// the table engine) and, where the system has them, from its shared label templates.

#include "types/CardType.h"

#include <QString>
#include <QStringList>

#include <vector>

struct TLabelCatalogueRow {
    TLabelStock Stock;   // CatNum and the sheet geometry (inches, counts)
    QString LabelType;   // "Address", "Return", "Shipping", ...
    QString Color;
    QString LabelShape;  // "Rect", "RRect", "Round" or "SHAPE"
    QString LabelFeed;   // the printer type
    QString Description;
    bool FromSystem = false; // from the system's label templates, not the shipped catalogue
};
using TLabelCatalogue = std::vector<TLabelCatalogueRow>;

// The rows whose stock number or dimensions contain the text, in order; all rows for no text.
TLabelCatalogue SearchLabelCatalogue(const TLabelCatalogue& rows, const QString& text);
