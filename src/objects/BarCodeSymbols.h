#pragma once

#include "storage/Exception.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Data that a bar code cannot encode; the message is the one the engine reports.
class EBarCodeError : public Exception {
    using Exception::Exception;
};

// The symbologies' encodings as strings of elements, independent of any resolution. The
// engine turns each element into device pixels: narrow elements (modules of UPC, EAN and
// Code 128) are one narrow width, wide elements the wide width.
namespace BarElement {
constexpr char NarrowBar = 'b';
constexpr char WideBar = 'B';
constexpr char NarrowSpace = '.';
constexpr char WideSpace = '_';
constexpr char Gap = 'g';          // the space after each Code 39 character
constexpr char TallBar = 'T';      // POSTNET
constexpr char ShortBar = 't';     // POSTNET
constexpr char PostnetSpace = ':'; // POSTNET, between any two bars
} // namespace BarElement

// The modulo-10 check digit of UPC-A and EAN-13 (weights 3 and 1 from the right) for the
// digits without their check digit.
int UpcEanCheckDigit(const QString& digits);
// The digit that makes the sum of the digits a multiple of 10 (dashes are ignored).
int PostnetCheckDigit(const QString& digits);

// Twelve digits, check digit included.
QByteArray EncodeUpcA(const QString& digits);
// Thirteen digits, check digit included; the first one sets the parity of the left half.
QByteArray EncodeEan13(const QString& digits);
// The 2- or 5-digit add-on of UPC-A and EAN-13.
QByteArray EncodeEanAddOn(const QString& digits);
// An even number of digits, between the start and stop patterns.
QByteArray EncodeInterleaved2of5(const QString& digits);
// Characters of Code 39 including the "*" start and stop; a gap follows every character.
QByteArray EncodeCode39(const QString& text);
// The digits to encode (check digit included), between the frame bars.
QByteArray EncodePostnet(const QString& digits);

// Code 128 data as bytes: 208, 209 or 210 starts set A, B or C; 201 to 207 are FNC3, FNC2,
// SHIFT, CODE C, CODE B (FNC4 in B), CODE A (FNC4 in A) and FNC1; 211 to 242 are the set A
// control characters. Data without a start character gets its sets chosen (see
// Code128ValuesWithChosenSets). The values of the symbol from the start character on, without
// the check character; raises EBarCodeError for data the sets cannot hold.
QList<int> Code128Values(const QString& data);
int Code128CheckValue(const QList<int>& values);
// Start, values, check character and stop.
QByteArray EncodeCode128(const QList<int>& values);
