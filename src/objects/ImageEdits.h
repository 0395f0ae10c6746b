#pragma once

// The picture edits of the "Modify Picture" editor and the geometry its views share, free of
// widgets so that they work (and are tested) headless. Every function returns a new image and
// leaves its argument alone.

#include <QImage>
#include <QRect>
#include <QSize>

// Quarter turns: positive turns clockwise, negative anticlockwise.
QImage RotatedQuarters(const QImage& image, int quarterTurns);
QImage FlippedHorizontally(const QImage& image); // left and right swap
QImage FlippedVertically(const QImage& image);   // top and bottom swap
// The part of the image inside the rectangle (pixels), clipped to the image; null when nothing
// of the rectangle lies on it.
QImage Cropped(const QImage& image, const QRect& pixels);

// Brightness and contrast from -100 to 100 each, 0 leaving the image as it is. Brightness
// shifts every channel by up to the full range; contrast scales the distance from the middle
// grey by a factor from 0 (flat grey) through 1 to 4. Alpha is kept; indexed images keep their
// format and change their colour table only.
QImage AdjustedTone(const QImage& image, int brightness, int contrast);

// The largest rectangle of the picture's proportions that fits the area, centred in it;
// empty when either is empty.
QRect FittedRect(QSize picture, const QRect& area);
// A rectangle of a view that shows the picture in `shown` (as FittedRect gives it), in the
// picture's pixels: scaled, normalised and clipped to the picture.
QRect ViewToPicture(const QRect& view, const QRect& shown, QSize picture);

// A bitmap's pixel size reduced for print: the pixels needed to print `units` (1/100 inch) at
// `dotsPerInch` are units x dpi / 100 each way. When the bitmap has more than 1.5 times that
// on both sides, the result keeps its proportions and just covers the need on both sides;
// otherwise (or for an empty size) it is empty, meaning no reduction is worth offering.
QSize PrintReductionSize(QSize pixels, QSize units, int dotsPerInch = 300);
