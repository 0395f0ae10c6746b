#include "platform/Dictation.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QtEndian>

#include <pocketsphinx.h>
#include <sphinxbase/err.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <cstring>

namespace {

quint32 Le32(const char* bytes) {
    return qFromLittleEndian<quint32>(bytes);
}

quint16 Le16(const char* bytes) {
    return qFromLittleEndian<quint16>(bytes);
}

} // namespace

bool TWavFileSource::Decode(const QByteArray& bytes, std::vector<qint16>& samples, QString& reason) {
    samples.clear();
    reason = QStringLiteral("The file is not a WAV file of 16-bit samples.");
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") return false;
    const char* data = bytes.constData();
    qint64 offset = 12;
    int channels = 0;
    quint32 rate = 0;
    const char* pcm = nullptr;
    qint64 pcmSize = 0;
    while (offset + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(offset, 4);
        const qint64 size = Le32(data + offset + 4);
        const qint64 body = offset + 8;
        // A writer that could not seek back leaves the data size open: the rest of the file.
        const qint64 available = bytes.size() - body;
        if (id == "fmt ") {
            if (size < 16 || size > available) return false;
            const quint16 format = Le16(data + body);
            channels = Le16(data + body + 2);
            rate = Le32(data + body + 4);
            const quint16 bits = Le16(data + body + 14);
            // 0xFFFE is the extensible header, which also carries plain PCM.
            if ((format != 1 && format != 0xFFFE) || bits != 16 || channels < 1 || channels > 2 ||
                rate < 4000 || rate > 192000)
                return false;
        } else if (id == "data") {
            pcm = data + body;
            pcmSize = std::min(size, available);
            break;
        }
        if (size > available) return false;
        offset = body + size + (size & 1);
    }
    if (!pcm || channels == 0) return false;
    if (pcmSize > MaxDataSize) {
        reason = QStringLiteral("The sound is too long.");
        return false;
    }
    const qint64 frames = pcmSize / (2 * channels);
    const auto frame = [&](qint64 index) {
        int sum = 0;
        for (int channel = 0; channel < channels; ++channel)
            sum += qint16(Le16(pcm + 2 * (index * channels + channel)));
        return double(sum) / channels;
    };
    // Linear interpolation is enough for speech: the recogniser listens below 7 kHz.
    const qint64 count = frames * SampleRate / rate;
    samples.reserve(size_t(count));
    for (qint64 i = 0; i < count; ++i) {
        const double at = double(i) * rate / SampleRate;
        const qint64 left = std::min(qint64(at), frames - 1);
        const qint64 right = std::min(left + 1, frames - 1);
        const double value = frame(left) + (frame(right) - frame(left)) * (at - double(left));
        samples.push_back(qint16(std::clamp(std::lround(value), -32768L, 32767L)));
    }
    reason.clear();
    return true;
}

bool TWavFileSource::Open(QString& reason) {
    QFile file(FPath);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return false;
    }
    if (file.size() > MaxDataSize + 1024 * 1024) {
        reason = QStringLiteral("The sound is too long.");
        return false;
    }
    FPosition = 0;
    return Decode(file.readAll(), FSamples, reason);
}

qint64 TWavFileSource::Read(qint16* samples, qint64 count) {
    const qint64 left = qint64(FSamples.size() - FPosition);
    const qint64 taken = std::clamp(count, qint64(0), left);
    std::copy_n(FSamples.begin() + qint64(FPosition), taken, samples);
    FPosition += size_t(taken);
    return taken;
}

TPulseMicrophone::~TPulseMicrophone() {
    if (FStream) pa_simple_free(FStream);
}

bool TPulseMicrophone::Open(QString& reason) {
    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = SampleRate;
    sampleFormat.channels = 1;
    // Small fragments, so that each read returns within a tenth of a second.
    pa_buffer_attr attributes;
    std::memset(&attributes, 0xFF, sizeof attributes);
    attributes.fragsize = SampleRate / 10 * 2;
    int error = 0;
    FStream = pa_simple_new(nullptr, "QDX", PA_STREAM_RECORD, nullptr, "Dictation",
                            &sampleFormat, nullptr, &attributes, &error);
    if (!FStream) {
        reason = QStringLiteral("The microphone cannot be used: %1").arg(QString::fromUtf8(pa_strerror(error)));
        return false;
    }
    return true;
}

qint64 TPulseMicrophone::Read(qint16* samples, qint64 count) {
    if (!FStream) return -1;
    const qint64 taken = std::min<qint64>(count, SampleRate / 10);
    int error = 0;
    if (pa_simple_read(FStream, samples, size_t(taken) * sizeof(qint16), &error) < 0) return -1;
    return taken;
}

TSpeechModel TSpeechModel::Installed() {
    const QString folder = QStringLiteral("/usr/share/pocketsphinx/model/en-us/");
    return {folder + QStringLiteral("en-us"), folder + QStringLiteral("en-us.lm.bin"),
            folder + QStringLiteral("cmudict-en-us.dict")};
}

bool TSpeechModel::Exists() const {
    return QFileInfo(Acoustic).isDir() && QFileInfo::exists(Acoustic + QStringLiteral("/mdef")) &&
           QFileInfo::exists(Language) && QFileInfo::exists(Dictionary);
}

bool TNoDictation::Start(TDictationListener&, QString* reason) {
    if (reason) *reason = QStringLiteral("Speech recognition is not installed on this system.");
    return false;
}

TSphinxDictation::TSphinxDictation(const TSpeechModel& model, TSourceFactory openSource)
    : FModel(model), FOpenSource(std::move(openSource)) {
    if (!FOpenSource) FOpenSource = [] { return std::make_unique<TPulseMicrophone>(); };
}

TSphinxDictation::~TSphinxDictation() {
    Stop();
    if (FDecoder) ps_free(FDecoder);
    if (FConfig) cmd_ln_free_r(FConfig);
}

bool TSphinxDictation::LoadModel(QString& reason) {
    if (FDecoder) return true;
    if (!FModel.Exists()) {
        reason = QStringLiteral("The speech recognition model is not installed.");
        return false;
    }
    const QByteArray acoustic = QFile::encodeName(FModel.Acoustic);
    const QByteArray language = QFile::encodeName(FModel.Language);
    const QByteArray dictionary = QFile::encodeName(FModel.Dictionary);
    // The recogniser's progress reports would fill the terminal.
    err_set_logfp(nullptr);
    FConfig = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", acoustic.constData(), "-lm",
                          language.constData(), "-dict", dictionary.constData(), "-logfn",
                          "/dev/null", nullptr);
    if (FConfig) FDecoder = ps_init(FConfig);
    if (!FDecoder) {
        if (FConfig) cmd_ln_free_r(FConfig);
        FConfig = nullptr;
        reason = QStringLiteral("The speech recognition model cannot be loaded.");
        return false;
    }
    return true;
}

bool TSphinxDictation::Start(TDictationListener& listener, QString* reason) {
    QString why;
    if (Listening()) return true;
    // A run that ended by itself but whose end the listener has not heard yet: that news is
    // stale now.
    if (FListening) {
        ++FRun;
        FListening = false;
    }
    if (FThread.joinable()) FThread.join();
    std::unique_ptr<TAudioSource> source = FOpenSource();
    if (!LoadModel(why) || !source || !source->Open(why)) {
        if (reason) *reason = why.isEmpty() ? QStringLiteral("There is no sound to listen to.") : why;
        return false;
    }
    FStopping = false;
    FEnded = false;
    FListening = true;
    ++FRun;
    FThread = std::thread(&TSphinxDictation::Listen, this, std::move(source), &listener, FRun);
    return true;
}

void TSphinxDictation::Stop() {
    FStopping = true;
    if (FThread.joinable()) FThread.join();
    if (FListening) ++FRun; // the end the thread reported is not news any more
    FListening = false;
    // The last phrases reach the listener now, while it is surely still there.
    QCoreApplication::sendPostedEvents(&FReceiver, QEvent::MetaCall);
}

QString TSphinxDictation::EndPhrase() {
    ps_end_utt(FDecoder);
    qint32 score = 0;
    const char* hypothesis = ps_get_hyp(FDecoder, &score);
    return QString::fromUtf8(hypothesis ? hypothesis : "").trimmed();
}

void TSphinxDictation::Deliver(TDictationListener* listener, const QString& phrase) {
    if (phrase.isEmpty()) return;
    QMetaObject::invokeMethod(&FReceiver, [listener, phrase] { listener->PhraseRecognized(phrase); },
                              Qt::QueuedConnection);
}

void TSphinxDictation::Finished(TDictationListener* listener, const QString& reason, int run) {
    QMetaObject::invokeMethod(
        &FReceiver,
        [this, listener, reason, run] {
            if (run != FRun || !FListening) return;
            if (FThread.joinable()) FThread.join();
            FListening = false;
            listener->DictationStopped(reason);
        },
        Qt::QueuedConnection);
}

void TSphinxDictation::Listen(std::unique_ptr<TAudioSource> source, TDictationListener* listener,
                              int run) {
    std::vector<qint16> buffer(TAudioSource::SampleRate / 10);
    ps_start_utt(FDecoder);
    bool inSpeech = false;
    QString failure;
    while (!FStopping) {
        const qint64 read = source->Read(buffer.data(), qint64(buffer.size()));
        if (read < 0) failure = QStringLiteral("The sound could not be read.");
        if (read <= 0) break;
        ps_process_raw(FDecoder, buffer.data(), size_t(read), FALSE, FALSE);
        const bool speaking = ps_get_in_speech(FDecoder);
        if (speaking) inSpeech = true;
        if (!speaking && inSpeech) {
            // A pause ends the phrase.
            Deliver(listener, EndPhrase());
            ps_start_utt(FDecoder);
            inSpeech = false;
        }
    }
    Deliver(listener, EndPhrase());
    FEnded = true;
    if (!FStopping) Finished(listener, failure, run);
}
