#include "web/JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return.
struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

[[noreturn]] void JumpOnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<TJpegError*>(info->err)->Jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

// Kept free of objects with destructors: a longjmp out of libjpeg skips them.
bool Compress(const QImage& rgb, int quality, unsigned char** bytes, unsigned long* size) {
    jpeg_compress_struct info;
    TJpegError error;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JumpOnError;
    error.Manager.output_message = IgnoreMessage;
    if (setjmp(error.Jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, bytes, size);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

QByteArray EncodeJpeg(const QImage& image, int quality) {
    if (image.isNull()) return {};
    const QImage rgb = image.format() == QImage::Format_RGB888
                           ? image
                           : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) return {};
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    const bool ok = Compress(rgb, quality, &bytes, &size);
    QByteArray result;
    if (ok && bytes && size > 0) result = QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(size));
    std::free(bytes); // jpeg_mem_dest's buffer is the caller's to free
    return result;
}
