#pragma once

#include <QList>
#include <QString>

// Code 128 values for data that does not begin with a start character: the start set and
// every change of set are chosen here, the way the symbology's own guidelines for a short
// symbol do it. Set C takes runs of digits in pairs (a run of four or more at the start, four
// or more at the end, six or more elsewhere), set A the control characters, set B the rest;
// a single character of the other of A and B is shifted when the set in use is needed again
// before the other one. Only ASCII can be encoded this way: the special bytes of data with
// a start character (function, shift and set characters) are ordinary letters here. The values
// run from the start character on, without the check character; raises EBarCodeError for data
// the symbology cannot hold.
QList<int> Code128ValuesWithChosenSets(const QString& data);
