#pragma once

// Label stocks from the system's shared label template database: the XML template files a
// Debian system installs for label programs (the glabels-data package). They are read where
// they lie, at run time; the program ships none of them. Only what the catalogue can show
// becomes a row: one rectangular, rounded, round or elliptic label in one regular grid on a
// portrait sheet.

#include "types/LabelCatalogue.h"

#include <QByteArray>
#include <QString>

// Where the system keeps its templates: the QDX_LABEL_TEMPLATES environment variable when
// set, otherwise /usr/share/libglabels-3.0/templates.
QString SystemLabelTemplatesFolder();

// The stocks of every template file (*.xml, *.template) of folder, files in name order and
// templates in file order, each followed by its aliases; empty when the folder is missing.
// A clone (equiv) takes the label of the template of its brand read before it. Files that
// are too large or not template files are passed over, as are templates that cannot be
// shown; a stock named twice keeps its first row.
TLabelCatalogue ReadSystemLabelTemplates(const QString& folder);

// The stocks of one template file's text, as above.
TLabelCatalogue ParseLabelTemplates(const QByteArray& xml);
