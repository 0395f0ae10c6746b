// Reads arbitrary bytes as a PCX picture, whole and reduced. Any crash, leak or sanitizer
// report is a fault; a bitmap that comes back must be one the program can take as it stands.
#include "types/Pcx.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QSize reduced : {QSize(), QSize(7, 3)}) {
        try {
            const TBitmapData bitmap = ReadPcxBytes(bytes, reduced);
            if (!TBitmapData::IsValidBmp(bitmap.Bytes)) std::abort();
        } catch (const EPcxError&) {
        }
    }
    return 0;
}
