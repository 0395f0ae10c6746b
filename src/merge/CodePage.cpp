#include "merge/CodePage.h"

#include "storage/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace CodePage {
namespace {

QByteArray ConverterName(int codePage) {
    switch (codePage) {
    case 65001:
        return "UTF-8";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 10000:
        return "macintosh";
    default:
        break;
    }
    if (codePage == 874 || (codePage >= 1250 && codePage <= 1258))
        return "windows-" + QByteArray::number(codePage);
    return "cp" + QByteArray::number(codePage);
}

} // namespace

bool IsSupported(int codePage) {
    if (codePage == 1252) return true;
    if (codePage <= 0) return false;
    return QStringDecoder(ConverterName(codePage).constData()).isValid();
}

QString Decode(const QByteArray& bytes, int codePage) {
    // Our own table for the common case: it keeps the five undefined bytes as C1 controls
    // instead of dropping them, so text survives a read and write unchanged.
    if (codePage == 1252 || !IsSupported(codePage)) return TextCodec::DecodeWindows1252(bytes);
    QStringDecoder decoder(ConverterName(codePage).constData());
    return decoder.decode(bytes);
}

std::optional<QByteArray> Encode(const QString& text, int codePage) {
    if (codePage == 1252 || !IsSupported(codePage)) {
        QByteArray bytes = TextCodec::EncodeWindows1252(text);
        if (TextCodec::DecodeWindows1252(bytes) != text) return std::nullopt;
        return bytes;
    }
    QStringEncoder encoder(ConverterName(codePage).constData());
    QByteArray bytes = encoder.encode(text);
    // Converters may put a substitute for what the code page lacks without saying so.
    if (encoder.hasError() || Decode(bytes, codePage) != text) return std::nullopt;
    return bytes;
}

int FromDbfLanguageDriver(int ldid) {
    struct TDriver {
        int Id, CodePage;
    };
    // The language driver ids of dBase, FoxPro and the shapefile writers.
    static constexpr TDriver Drivers[] = {
        {0x01, 437},  {0x02, 850},  {0x03, 1252}, {0x04, 10000}, {0x08, 865},  {0x09, 437},
        {0x0A, 850},  {0x0B, 437},  {0x0D, 437},  {0x0E, 850},   {0x0F, 437},  {0x10, 850},
        {0x11, 437},  {0x12, 850},  {0x13, 932},  {0x14, 850},   {0x15, 437},  {0x16, 850},
        {0x17, 865},  {0x18, 437},  {0x19, 437},  {0x1A, 850},   {0x1B, 437},  {0x1C, 863},
        {0x1D, 850},  {0x1F, 852},  {0x22, 852},  {0x23, 852},   {0x24, 860},  {0x25, 850},
        {0x26, 866},  {0x37, 850},  {0x40, 852},  {0x4D, 936},   {0x4E, 949},  {0x4F, 950},
        {0x50, 874},  {0x57, 1252}, {0x58, 1252}, {0x59, 1252},  {0x64, 852},  {0x65, 866},
        {0x66, 865},  {0x67, 861},  {0x6A, 737},  {0x6B, 857},   {0x78, 950},  {0x79, 949},
        {0x7A, 936},  {0x7B, 932},  {0x7C, 874},  {0x7D, 1255},  {0x7E, 1256}, {0xC8, 1250},
        {0xC9, 1251}, {0xCA, 1254}, {0xCB, 1253}, {0xCC, 1257},
    };
    for (const TDriver& driver : Drivers)
        if (driver.Id == ldid) return driver.CodePage;
    return 0;
}

int FromCpgText(const QByteArray& text) {
    QByteArray name = text.trimmed().toUpper();
    if (name == "UTF-8" || name == "UTF8" || name == "65001") return 65001;
    if (name == "ISO-8859-1" || name == "ISO8859-1" || name == "LATIN1") return 1252;
    for (const char* prefix : {"ANSI ", "CP", "WINDOWS-", "OEM ", "IBM"})
        if (name.startsWith(prefix)) {
            name = name.mid(qsizetype(qstrlen(prefix))).trimmed();
            break;
        }
    bool ok = false;
    const int number = name.toInt(&ok);
    return ok && IsSupported(number) ? number : 0;
}

} // namespace CodePage
