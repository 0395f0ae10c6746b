#pragma once

// Builds the publication the wizard was asked for: the card of the right format and sheet
// geometry, with the ready-made objects of its type's recipe on the first page. No widgets:
// the dialog hands over the answers only.

#include "types/Wizard.h"

#include <QFont>

#include <memory>

class TCard;
class TCardObject;
class TCardPanel;

// Puts the object on the panel with its left at x and top at y, as wide as the panel leaves
// right of x and down to the panel's printable bottom; then the object applies its own size
// and centring rules (centring needs the panel's card among the open documents). A picture
// keeps its natural size at (x, y). The panel takes the object.
void PlaceObject(TCardPanel& panel, TCardObject* object, int x, int y);

// The banner text's width in screen pixels as the sheet count is measured: the text followed
// by "l" in Arial 500 points.
int BannerTextWidth(const QString& text);

// Sets the sheet geometry of a label card from the stock, or of a banner from its text and
// border, and lays out the first page again.
void ApplyWizardGeometry(TCard& card, const TWizardAnswers& answers);

// The new card of the document type with the objects of its recipe.
std::unique_ptr<TCard> BuildWizardCard(int documentType, const TWizardAnswers& answers);

// The vertical step between the résumé's text boxes: 800 shared by the boxes that are filled
// (the address, the objective and the four sections); 800 when none is.
int ResumeStep(const TWizardAnswers& answers);

// Puts an open label document on the stock the wizard chose in label-type mode: the sheet
// geometry follows the stock and the first page is laid out again; the objects stay where they
// are. Labels that each differ take the table chosen for them.
void ChangeLabelStock(TCard& card, const TWizardAnswers& answers);
