#pragma once

#include "storage/Stored.h"

#include <QString>

// How a file is being opened: given to the loading functions and carried by the storage to
// the objects it reads. Each load has its own; nothing of it stays on the context afterwards.
struct TLoadOptions : TReadOptions {
    // While a document or template is being opened some work is deferred.
    enum class TOpening { None, Document, Template };
    TOpening Opening = TOpening::None;
    QString FileName; // the file being opened, for messages about it
    // Batch commands take the screen density a document was saved with, so that loading does
    // not rescale it.
    bool AdoptDocumentDensity = false;
};

// The options the storage was given; the defaults when it has none of these.
const TLoadOptions& LoadOptionsOf(const TStorage& storage);
// The options of the innermost read in progress; the defaults when no read is.
const TLoadOptions& CurrentLoadOptions();
