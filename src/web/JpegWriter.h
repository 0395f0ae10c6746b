#pragma once

#include <QByteArray>
#include <QImage>

// Baseline JPEG encoding with the library's default settings (quality 75, 4:2:0 sampling,
// the slow integer DCT): the same bytes a command-line encoder makes of the same pixels.
// Empty on failure (a null image, or an error inside the encoder).
QByteArray EncodeJpeg(const QImage& image, int quality = 75);
