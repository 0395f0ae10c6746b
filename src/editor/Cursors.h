#pragma once

#include <QCursor>

// Cursor numbers of the editing windows: 0 the default arrow, 101 to 115 the program's own
// pictures, and the system size cursors under their negative numbers.
enum TCursorNumber : int {
    crDefault = 0,
    crHand = 101,     // over a selected object: it can be moved
    crDragHand = 102, // while moving
    crHeadline = 103,
    crText = 104,
    crPicture = 105,
    crLine = 106,
    crRectangle = 107,
    crRRectangle = 108,
    crEllipse = 109,
    crBarCode = 110,
    crComb = 111,
    crGrid = 112,
    crField = 113,
    crLinkFrom = 114,
    crLinkTo = 115,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crSizeAll = -22,
    crLineEnd = 234, // over an end of a selected line
};

QCursor CursorFor(int number);
// The picture of a tool's button.
QPixmap ToolIcon(int tool);
// The cursor every editing window shows while a tool is current.
int ToolCursor(int tool);
bool IsToolCursor(int number);
