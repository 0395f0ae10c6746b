// Reads arbitrary bytes as a Targa picture. Any crash, leak or sanitizer report is a fault.
#include "objects/Tga.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QImage image = ReadTga(bytes);
    // Whatever decodes must have passed the header check the picture loader relies on.
    if (!image.isNull() && !LooksLikeTga(bytes)) std::abort();
    return 0;
}
