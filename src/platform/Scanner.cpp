#include "platform/Scanner.h"

#include "document/Settings.h"

#include <QByteArray>

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

QString TScanDevice::Label() const {
    QString label = QStringLiteral("%1 %2").arg(Vendor, Model).trimmed();
    if (label.isEmpty()) label = Name;
    if (!Type.isEmpty()) label += QStringLiteral(" (%1)").arg(Type);
    return label;
}

QString UnableToAcquireText() {
    return QStringLiteral("Unable to acquire image");
}

QImage TNoScanner::Scan(const QString&, const TScanOptions&, QString* reason) {
    if (reason) *reason = QStringLiteral("No scanner or camera was found.");
    return {};
}

TSaneScanner::TSaneScanner() {
    SANE_Int version = 0;
    FInitialised = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
}

TSaneScanner::~TSaneScanner() {
    if (FInitialised) sane_exit();
}

void TSaneScanner::Refresh() {
    FDevices.clear();
    if (!FInitialised) return;
    const SANE_Device** list = nullptr;
    if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list) return;
    for (int i = 0; list[i]; ++i) {
        const auto text = [](const char* value) { return QString::fromUtf8(value ? value : ""); };
        FDevices.push_back({text(list[i]->name), text(list[i]->vendor), text(list[i]->model),
                            text(list[i]->type)});
    }
}

namespace {

// Closes the device, cancelling a scan still under way.
class TOpenDevice {
public:
    explicit TOpenDevice(SANE_Handle handle) : FHandle(handle) {}
    ~TOpenDevice() {
        sane_cancel(FHandle);
        sane_close(FHandle);
    }
    TOpenDevice(const TOpenDevice&) = delete;
    TOpenDevice& operator=(const TOpenDevice&) = delete;
    SANE_Handle Handle() const { return FHandle; }

private:
    SANE_Handle FHandle;
};

const SANE_Option_Descriptor* FindOption(SANE_Handle handle, const char* name, SANE_Int& index) {
    SANE_Int count = 0;
    if (sane_control_option(handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return nullptr;
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* option = sane_get_option_descriptor(handle, i);
        if (option && option->name && std::strcmp(option->name, name) == 0 &&
            SANE_OPTION_IS_ACTIVE(option->cap) && SANE_OPTION_IS_SETTABLE(option->cap)) {
            index = i;
            return option;
        }
    }
    return nullptr;
}

// Devices name their modes differently ("Color", "color", "24bit Color"): the exact name
// first, then any that mentions it.
void SetMode(SANE_Handle handle, bool color) {
    SANE_Int index = 0;
    const SANE_Option_Descriptor* option = FindOption(handle, SANE_NAME_SCAN_MODE, index);
    if (!option || option->type != SANE_TYPE_STRING ||
        option->constraint_type != SANE_CONSTRAINT_STRING_LIST || option->size <= 0)
        return;
    const QString wanted = color ? QStringLiteral(SANE_VALUE_SCAN_MODE_COLOR)
                                 : QStringLiteral(SANE_VALUE_SCAN_MODE_GRAY);
    const char* chosen = nullptr;
    for (const SANE_String_Const* mode = option->constraint.string_list; *mode; ++mode) {
        const QString name = QString::fromUtf8(*mode);
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) {
            chosen = *mode;
            break;
        }
        if (!chosen && name.contains(wanted, Qt::CaseInsensitive)) chosen = *mode;
    }
    if (!chosen || std::strlen(chosen) >= size_t(option->size)) return;
    QByteArray value(option->size, '\0');
    std::memcpy(value.data(), chosen, std::strlen(chosen));
    sane_control_option(handle, index, SANE_ACTION_SET_VALUE, value.data(), nullptr);
}

void SetResolution(SANE_Handle handle, int dpi) {
    SANE_Int index = 0;
    const SANE_Option_Descriptor* option = FindOption(handle, SANE_NAME_SCAN_RESOLUTION, index);
    if (!option || option->size != SANE_Int(sizeof(SANE_Word)) ||
        (option->type != SANE_TYPE_INT && option->type != SANE_TYPE_FIXED))
        return;
    const bool fixed = option->type == SANE_TYPE_FIXED;
    const auto toDpi = [fixed](SANE_Word word) { return fixed ? SANE_UNFIX(word) : double(word); };
    double value = dpi;
    if (option->constraint_type == SANE_CONSTRAINT_RANGE && option->constraint.range) {
        const SANE_Range& range = *option->constraint.range;
        value = std::clamp(value, toDpi(range.min), toDpi(range.max));
        const double quant = toDpi(range.quant);
        if (quant > 0) value = toDpi(range.min) + std::round((value - toDpi(range.min)) / quant) * quant;
    } else if (option->constraint_type == SANE_CONSTRAINT_WORD_LIST && option->constraint.word_list) {
        const SANE_Word* list = option->constraint.word_list;
        double nearest = value;
        double distance = -1;
        for (SANE_Word i = 1; i <= list[0]; ++i) {
            const double candidate = toDpi(list[i]);
            if (distance < 0 || std::abs(candidate - value) < distance) {
                distance = std::abs(candidate - value);
                nearest = candidate;
            }
        }
        value = nearest;
    }
    SANE_Word word = fixed ? SANE_FIX(value) : SANE_Word(std::lround(value));
    sane_control_option(handle, index, SANE_ACTION_SET_VALUE, &word, nullptr);
}

struct TFrame {
    SANE_Parameters Parameters{};
    QByteArray Data;
};

// One sample of a line as 0..255. 16-bit samples are in the host's byte order; a set bit of
// a 1-bit gray line is black.
int SampleAt(const uchar* line, const SANE_Parameters& parameters, int index) {
    switch (parameters.depth) {
    case 1: {
        const bool set = (line[index / 8] >> (7 - index % 8)) & 1;
        const bool gray = parameters.format == SANE_FRAME_GRAY || parameters.format == SANE_FRAME_RED ||
                          parameters.format == SANE_FRAME_GREEN || parameters.format == SANE_FRAME_BLUE;
        return gray ? (set ? 0 : 255) : (set ? 255 : 0);
    }
    case 16: {
        quint16 sample;
        std::memcpy(&sample, line + 2 * index, 2);
        return sample >> 8;
    }
    default:
        return line[index];
    }
}

bool ValidParameters(const SANE_Parameters& parameters, QString& reason) {
    const int channels = parameters.format == SANE_FRAME_RGB ? 3 : 1;
    const bool knownFormat = parameters.format == SANE_FRAME_GRAY || parameters.format == SANE_FRAME_RGB ||
                             parameters.format == SANE_FRAME_RED || parameters.format == SANE_FRAME_GREEN ||
                             parameters.format == SANE_FRAME_BLUE;
    if (!knownFormat || (parameters.depth != 1 && parameters.depth != 8 && parameters.depth != 16)) {
        reason = QStringLiteral("The device sends pictures of a kind this program cannot read.");
        return false;
    }
    const qint64 bits = qint64(parameters.pixels_per_line) * channels * parameters.depth;
    if (parameters.pixels_per_line <= 0 || parameters.bytes_per_line < (bits + 7) / 8 ||
        parameters.bytes_per_line > (bits + 7) / 8 + 4096 ||
        (parameters.lines > 0 &&
         qint64(parameters.pixels_per_line) * parameters.lines > TSaneScanner::MaxPixels)) {
        reason = QStringLiteral("The device reported an impossible picture size.");
        return false;
    }
    return true;
}

bool ReadFrame(SANE_Handle handle, TFrame& frame, QString& reason) {
    const SANE_Parameters& parameters = frame.Parameters;
    const qint64 lineLimit = TSaneScanner::MaxPixels / parameters.pixels_per_line;
    const qint64 limit =
        qint64(parameters.bytes_per_line) * (parameters.lines > 0 ? parameters.lines : lineLimit);
    // Announced sizes are trusted only as far as a first allocation of moderate size.
    if (parameters.lines > 0) frame.Data.reserve(std::min<qint64>(limit, 64 * 1024 * 1024));
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    for (;;) {
        SANE_Int length = 0;
        const SANE_Status status = sane_read(handle, reinterpret_cast<SANE_Byte*>(chunk.data()),
                                             SANE_Int(chunk.size()), &length);
        if (status == SANE_STATUS_EOF) return true;
        if (status != SANE_STATUS_GOOD) {
            reason = QString::fromUtf8(sane_strstatus(status));
            return false;
        }
        if (length < 0 || length > chunk.size()) {
            reason = QStringLiteral("The device sent more than it was asked for.");
            return false;
        }
        // Only whole lines count; a device that sends more than it announced is cut off.
        if (frame.Data.size() + length > limit) {
            frame.Data.append(chunk.constData(), limit - frame.Data.size());
            return true;
        }
        frame.Data.append(chunk.constData(), length);
    }
}

QImage MakeImage(const std::vector<TFrame>& frames) {
    const SANE_Parameters& first = frames.front().Parameters;
    const int width = first.pixels_per_line;
    qint64 lines = first.lines > 0 ? first.lines : std::numeric_limits<qint64>::max();
    for (const TFrame& frame : frames) {
        if (frame.Parameters.pixels_per_line != width) return {};
        lines = std::min(lines, qint64(frame.Data.size() / frame.Parameters.bytes_per_line));
    }
    if (lines <= 0) return {};
    const bool gray = frames.size() == 1 && first.format == SANE_FRAME_GRAY;
    QImage image(width, int(lines), gray ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (image.isNull()) return {};
    if (gray) image.fill(Qt::white);
    else image.fill(Qt::black);
    for (const TFrame& frame : frames) {
        const SANE_Parameters& parameters = frame.Parameters;
        for (int y = 0; y < lines; ++y) {
            const auto* line = reinterpret_cast<const uchar*>(frame.Data.constData()) +
                               qint64(y) * parameters.bytes_per_line;
            if (gray) {
                uchar* out = image.scanLine(y);
                for (int x = 0; x < width; ++x) out[x] = uchar(SampleAt(line, parameters, x));
                continue;
            }
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                QRgb pixel = out[x];
                switch (parameters.format) {
                case SANE_FRAME_RGB:
                    pixel = qRgb(SampleAt(line, parameters, 3 * x), SampleAt(line, parameters, 3 * x + 1),
                                 SampleAt(line, parameters, 3 * x + 2));
                    break;
                case SANE_FRAME_RED:
                    pixel = qRgb(SampleAt(line, parameters, x), qGreen(pixel), qBlue(pixel));
                    break;
                case SANE_FRAME_GREEN:
                    pixel = qRgb(qRed(pixel), SampleAt(line, parameters, x), qBlue(pixel));
                    break;
                case SANE_FRAME_BLUE:
                    pixel = qRgb(qRed(pixel), qGreen(pixel), SampleAt(line, parameters, x));
                    break;
                default: {
                    const int value = SampleAt(line, parameters, x);
                    pixel = qRgb(value, value, value);
                }
                }
                out[x] = pixel;
            }
        }
    }
    return image;
}

} // namespace

QImage TSaneScanner::Scan(const QString& device, const TScanOptions& options, QString* reason) {
    QString failure;
    const auto fail = [&](const QString& why) {
        if (reason) *reason = why;
        return QImage();
    };
    if (!FInitialised) return fail(QStringLiteral("Scanning is not available on this system."));
    QString name = device;
    if (name.isEmpty()) {
        if (FDevices.empty()) Refresh();
        if (FDevices.empty()) return fail(QStringLiteral("No scanner or camera was found."));
        name = FDevices.front().Name;
    }
    SANE_Handle handle = nullptr;
    SANE_Status status = sane_open(name.toUtf8().constData(), &handle);
    if (status != SANE_STATUS_GOOD || !handle) return fail(QString::fromUtf8(sane_strstatus(status)));
    TOpenDevice open(handle);
    SetMode(handle, options.Color);
    SetResolution(handle, std::clamp(options.Resolution, TScanOptions::MinResolution,
                                     TScanOptions::MaxResolution));

    // A colour picture may come as three frames, one per channel.
    std::vector<TFrame> frames;
    for (;;) {
        status = sane_start(handle);
        if (status != SANE_STATUS_GOOD) return fail(QString::fromUtf8(sane_strstatus(status)));
        TFrame frame;
        status = sane_get_parameters(handle, &frame.Parameters);
        if (status != SANE_STATUS_GOOD) return fail(QString::fromUtf8(sane_strstatus(status)));
        if (!ValidParameters(frame.Parameters, failure)) return fail(failure);
        if (!ReadFrame(handle, frame, failure)) return fail(failure);
        const bool last = frame.Parameters.last_frame;
        frames.push_back(std::move(frame));
        if (last) break;
        if (frames.size() >= 3) return fail(QStringLiteral("The device sent too many frames."));
    }
    QImage image = MakeImage(frames);
    if (image.isNull()) return fail(QStringLiteral("The device sent no picture."));
    const int dotsPerMeter = int(std::lround(options.Resolution / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

TScanOptions ReadScanOptions(const TSettingsStore& settings) {
    TScanOptions options;
    options.Color = settings.ReadBool(ScanSettings::Section, ScanSettings::Color, options.Color);
    options.Resolution = std::clamp(
        settings.ReadInteger(ScanSettings::Section, ScanSettings::Resolution, options.Resolution),
        TScanOptions::MinResolution, TScanOptions::MaxResolution);
    return options;
}

void WriteScanOptions(TSettingsStore& settings, const TScanOptions& options) {
    settings.WriteBool(ScanSettings::Section, ScanSettings::Color, options.Color);
    settings.WriteInteger(ScanSettings::Section, ScanSettings::Resolution, options.Resolution);
}

QString ReadScanSource(const TSettingsStore& settings) {
    return settings.ReadString(ScanSettings::Section, ScanSettings::Source, QString());
}

void WriteScanSource(TSettingsStore& settings, const QString& device) {
    settings.WriteString(ScanSettings::Section, ScanSettings::Source, device);
}
