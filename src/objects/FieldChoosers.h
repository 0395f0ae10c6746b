#pragma once

// The modal choosers of the field dialog, which tests replace.

#include "document/FontSpec.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Asks for a font (face, size, style and colour); true, with the font changed, when confirmed.
using TFontChooser = std::function<bool(TFontSpec& font, QWidget* parent)>;
// Asks for one of the names; the name chosen, or an empty string when cancelled.
using TFieldNameChooser = std::function<QString(const QStringList& names, QWidget* parent)>;

// The palette's name of a colour value, or its hexadecimal form.
QString ColorName(quint32 colorRef);

// The font dialog of the program: the platform's font choice with a colour list of the 16
// palette colours beneath it.
bool ChooseFontWithColor(TFontSpec& font, QWidget* parent);
// "Insert Field Object": the names in a list, the first one selected.
QString ChooseFieldObjectName(const QStringList& names, QWidget* parent);
