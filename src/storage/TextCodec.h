#pragma once

#include <QByteArray>
#include <QString>

// Text inside storage files: written as UTF-8; read as UTF-8 when the bytes are valid UTF-8,
// otherwise as Windows-1252 (the encoding of documents written by older versions).
namespace TextCodec {

QString DecodeStoredText(const QByteArray& bytes);
QString DecodeWindows1252(const QByteArray& bytes);
QByteArray EncodeWindows1252(const QString& text); // unmappable characters become '?'

// UTF-8 of text, cut on a character boundary so that it is at most maxBytes long.
QByteArray EncodeUtf8Limited(const QString& text, qsizetype maxBytes);

} // namespace TextCodec
