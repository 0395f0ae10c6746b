#pragma once

// The pictures beside the publication-type lists: one per DocumentType picture name
// ("ctGreetingCard", "ctNewsletter", ...) and one per CardFormat key ("Vert", "Bus", ...).
// Drawn once, on first use, and kept; a name that is not known gives a null pixmap.

#include <QPixmap>
#include <QString>

constexpr int TypePictureSize = 96; // pixels, square

QPixmap DocumentTypePicture(const QString& resourceName);
QPixmap CardFormatPicture(const QString& key);
// The picture of the format's key; null for an unknown format.
QPixmap CardFormatPicture(int cardFormat);
// The pictures of the wizard's label types ("bmENVLADDR", "bmALLTYPE", ...).
QPixmap LabelTypePicture(const QString& resourceName);
