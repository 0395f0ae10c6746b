#pragma once

#include "types/LabelCatalogue.h"

// Reads the shipped label catalogue "LABLIST.DB" of the program folder, in the table's order.
// Throws the table engine's error when the table cannot be read.
TLabelCatalogue ReadLabelCatalogue(const QString& programFolder);
