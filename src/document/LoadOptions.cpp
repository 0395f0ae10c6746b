#include "document/LoadOptions.h"

namespace {
const TLoadOptions Defaults;
} // namespace

const TLoadOptions& LoadOptionsOf(const TStorage& storage) {
    const auto* options = dynamic_cast<const TLoadOptions*>(storage.ReadOptions());
    return options ? *options : Defaults;
}

const TLoadOptions& CurrentLoadOptions() {
    const TStorage* reading = TStorage::Reading();
    return reading ? LoadOptionsOf(*reading) : Defaults;
}
