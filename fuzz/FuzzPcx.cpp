// Reads arbitrary bytes as a PCX picture. Any crash, leak or sanitizer report is a fault; a
// bitmap that comes back must be one the program can take as it stands.
#include "types/Pcx.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const TBitmapData bitmap =
            ReadPcxBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        if (!TBitmapData::IsValidBmp(bitmap.Bytes)) std::abort();
    } catch (const EPcxError&) {
    }
    return 0;
}
