// Reads arbitrary bytes as a storage file whose classes exercise every primitive reader and
// every kind of table. Any crash, leak or sanitizer report is a fault.
#include "storage/Exception.h"
#include "storage/Stored.h"
#include "support/StorageFixtures.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (RegisterStorageFixtures(), true);
    (void)registered;
    try {
        std::unique_ptr<TStored> root(
            ReadFromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))));
    } catch (const Exception&) {
    }
    return 0;
}
