// Reads arbitrary bytes as an address book file. Any crash, leak or sanitizer report is a
// fault, and so is a row without exactly the address table's fields.
#include "merge/VCardReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QStringList> contacts = VCardReader::ReadContacts(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (const QStringList& row : contacts) {
        if (row.size() != VCardReader::AddressFieldCount) std::abort();
        for (const QString& value : row)
            if (value.size() > VCardReader::MaxAddressValueLength) std::abort();
    }
    return 0;
}
