#include "platform/Dictation.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

QByteArray WavBytes(const std::vector<qint16>& samples, int rate, int channels = 1,
                    qint64 dataSizeField = -1) {
    QByteArray bytes("RIFF\0\0\0\0WAVEfmt ", 16);
    const auto put32 = [&bytes](quint32 value) {
        char raw[4];
        qToLittleEndian(value, raw);
        bytes.append(raw, 4);
    };
    const auto put16 = [&bytes](quint16 value) {
        char raw[2];
        qToLittleEndian(value, raw);
        bytes.append(raw, 2);
    };
    put32(16);
    put16(1);
    put16(quint16(channels));
    put32(quint32(rate));
    put32(quint32(rate * channels * 2));
    put16(quint16(channels * 2));
    put16(16);
    bytes.append("data");
    put32(quint32(dataSizeField >= 0 ? dataSizeField : qint64(samples.size()) * 2));
    for (qint16 sample : samples) put16(quint16(sample));
    return bytes;
}

// Gives the phrases and waits for the end of the sound.
class TPhraseRecorder : public TDictationListener {
public:
    QStringList Phrases;
    int Stops = 0;
    QString Reason;
    void PhraseRecognized(const QString& phrase) override { Phrases.append(phrase); }
    void DictationStopped(const QString& reason) override {
        ++Stops;
        Reason = reason;
        FLoop.quit();
    }
    bool WaitForStop(int seconds) {
        QTimer::singleShot(seconds * 1000, &FLoop, &QEventLoop::quit);
        FLoop.exec();
        return Stops > 0;
    }

private:
    QEventLoop FLoop;
};

// Endless silence, read slowly like a microphone.
class TSilence : public TAudioSource {
public:
    bool Open(QString&) override { return true; }
    qint64 Read(qint16* samples, qint64 count) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::fill_n(samples, count, qint16(0));
        return count;
    }
};

// The samples of a file as fast as they are asked for, then silence as slowly as a microphone
// gives it.
class TFileThenSilence : public TSilence {
public:
    explicit TFileThenSilence(std::vector<qint16> samples) : FSamples(std::move(samples)) {}
    std::atomic<bool>* Drained = nullptr;
    qint64 Read(qint16* samples, qint64 count) override {
        if (FPosition < FSamples.size()) {
            const qint64 taken = std::min<qint64>(count, qint64(FSamples.size() - FPosition));
            std::copy_n(FSamples.begin() + qint64(FPosition), taken, samples);
            FPosition += size_t(taken);
            return taken;
        }
        if (Drained) *Drained = true;
        return TSilence::Read(samples, count);
    }

private:
    std::vector<qint16> FSamples;
    size_t FPosition = 0;
};

class DictationTest : public testing::Test {
protected:
    QTemporaryDir Folder;

    void SetUp() override {
        if (!TSpeechModel::Installed().Exists())
            GTEST_SKIP() << "the speech model (pocketsphinx-en-us) is not installed";
    }

    // The sentence spoken by the speech synthesiser, as a WAV file at its own rate (22 kHz).
    QString Spoken(const QString& name, const QString& sentence) {
        if (QStandardPaths::findExecutable("espeak-ng").isEmpty()) return {};
        const QString path = QDir(Folder.path()).filePath(name);
        // Its Klatt voice is the one the recogniser understands best.
        const int code = QProcess::execute("espeak-ng", {"-v", "en-us+klatt", "-s", "140", "-w", path, sentence});
        return code == 0 ? path : QString();
    }

    static int WordsHeard(const QStringList& phrases, const QStringList& words) {
        const QStringList heard = phrases.join(' ').split(' ');
        return int(std::count_if(words.begin(), words.end(),
                                 [&heard](const QString& word) { return heard.contains(word); }));
    }
};

} // namespace

TEST(WavFile, SamplesBecomeSixteenKilohertzMono) {
    std::vector<qint16> stereo;
    for (int i = 0; i < 8000; ++i) {
        stereo.push_back(qint16(1000));
        stereo.push_back(qint16(3000));
    }
    std::vector<qint16> samples;
    QString reason;
    ASSERT_TRUE(TWavFileSource::Decode(WavBytes(stereo, 8000, 2), samples, reason)) << reason.toStdString();
    EXPECT_EQ(samples.size(), 16000u); // one second
    EXPECT_EQ(samples.front(), 2000);
    EXPECT_EQ(samples.back(), 2000);

    const std::vector<qint16> ramp{0, 100, 200, 300};
    ASSERT_TRUE(TWavFileSource::Decode(WavBytes(ramp, 16000), samples, reason));
    EXPECT_EQ(samples, ramp);
    // A data size left open by the writer means the rest of the file.
    ASSERT_TRUE(TWavFileSource::Decode(WavBytes(ramp, 16000, 1, 0xFFFFFFFF), samples, reason));
    EXPECT_EQ(samples, ramp);
}

TEST(WavFile, DamagedOrForeignFilesAreRefusedWithoutReadingPastTheEnd) {
    const QByteArray good = WavBytes({1, 2, 3, 4}, 16000);
    QByteArray eightBit = good;
    eightBit[34] = 8;
    QByteArray compressed = good;
    compressed[20] = 2;
    QByteArray hugeFormat = good;
    hugeFormat[16] = char(0xFF);
    hugeFormat[17] = char(0xFF);
    QByteArray noRate = good;
    noRate.replace(24, 4, QByteArray(4, '\0'));
    const struct {
        const char* Name;
        QByteArray Bytes;
    } cases[] = {
        {"empty", {}},
        {"not RIFF", QByteArray("RIFX") + good.mid(4)},
        {"header only", good.left(12)},
        {"cut in fmt", good.left(30)},
        {"no data chunk", good.left(36)},
        {"8-bit", eightBit},
        {"compressed", compressed},
        {"fmt larger than the file", hugeFormat},
        {"rate 0", noRate},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Name);
        std::vector<qint16> samples{9};
        QString reason;
        EXPECT_FALSE(TWavFileSource::Decode(test.Bytes, samples, reason));
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_TRUE(samples.empty());
    }
    TWavFileSource missing(QStringLiteral("/nonexistent/x.wav"));
    QString reason;
    EXPECT_FALSE(missing.Open(reason));
}

TEST_F(DictationTest, SpokenSentenceFromAWavFileArrivesAsWords) {
    const QString wav = Spoken("sentence.wav", "please send the letter to my mother today");
    if (wav.isEmpty()) GTEST_SKIP() << "espeak-ng is not installed";
    TSphinxDictation dictation(TSpeechModel::Installed(),
                               [wav] { return std::make_unique<TWavFileSource>(wav); });
    ASSERT_TRUE(dictation.Available());
    TPhraseRecorder recorder;
    QString reason;
    ASSERT_TRUE(dictation.Start(recorder, &reason)) << reason.toStdString();
    EXPECT_TRUE(dictation.Listening());
    ASSERT_TRUE(recorder.WaitForStop(120));
    EXPECT_FALSE(dictation.Listening());
    EXPECT_TRUE(recorder.Reason.isEmpty());
    EXPECT_GE(WordsHeard(recorder.Phrases, {"please", "send", "letter", "mother", "today"}), 3)
        << recorder.Phrases.join('|').toStdString();
}

TEST_F(DictationTest, PauseBetweenSentencesMakesTwoPhrasesAndTheEngineListensAgain) {
    const QString first = Spoken("first.wav", "please send the letter to my mother today");
    const QString second = Spoken("second.wav", "good morning how are you");
    if (first.isEmpty() || second.isEmpty()) GTEST_SKIP() << "espeak-ng is not installed";
    std::vector<qint16> joined;
    for (const QString& path : {first, second}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        std::vector<qint16> samples;
        QString reason;
        ASSERT_TRUE(TWavFileSource::Decode(file.readAll(), samples, reason));
        joined.insert(joined.end(), samples.begin(), samples.end());
        joined.insert(joined.end(), TAudioSource::SampleRate * 3 / 2, qint16(0));
    }
    const QString both = QDir(Folder.path()).filePath("both.wav");
    QFile out(both);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(WavBytes(joined, TAudioSource::SampleRate));
    out.close();

    TSphinxDictation dictation(TSpeechModel::Installed(),
                               [both] { return std::make_unique<TWavFileSource>(both); });
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        TPhraseRecorder recorder;
        ASSERT_TRUE(dictation.Start(recorder));
        ASSERT_TRUE(recorder.WaitForStop(180));
        EXPECT_EQ(recorder.Phrases.size(), 2) << recorder.Phrases.join('|').toStdString();
        if (round == 0) {
            EXPECT_GE(WordsHeard(recorder.Phrases, {"morning", "how", "are", "you"}), 2);
        }
    }
}

TEST_F(DictationTest, StopEndsListeningPromptlyWithoutReportingAnEnd) {
    TSphinxDictation dictation(TSpeechModel::Installed(), [] { return std::make_unique<TSilence>(); });
    TPhraseRecorder recorder;
    ASSERT_TRUE(dictation.Start(recorder));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto before = std::chrono::steady_clock::now();
    dictation.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_FALSE(dictation.Listening());
    recorder.WaitForStop(1);
    EXPECT_EQ(recorder.Stops, 0);
    EXPECT_TRUE(recorder.Phrases.isEmpty());
}

TEST_F(DictationTest, StopDeliversThePhraseInProgressBeforeItReturns) {
    const QString wav = Spoken("sentence.wav", "please send the letter to my mother today");
    if (wav.isEmpty()) GTEST_SKIP() << "espeak-ng is not installed";
    QFile file(wav);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<qint16> samples;
    QString reason;
    ASSERT_TRUE(TWavFileSource::Decode(file.readAll(), samples, reason));
    std::atomic<bool> drained{false};
    TSphinxDictation dictation(TSpeechModel::Installed(), [&samples, &drained] {
        auto source = std::make_unique<TFileThenSilence>(samples);
        source->Drained = &drained;
        return source;
    });
    TPhraseRecorder recorder;
    ASSERT_TRUE(dictation.Start(recorder));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!drained && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(drained);
    dictation.Stop(); // no event loop ran in between
    EXPECT_GE(WordsHeard(recorder.Phrases, {"please", "send", "letter", "mother", "today"}), 3)
        << recorder.Phrases.join('|').toStdString();
    EXPECT_EQ(recorder.Stops, 0);
}

TEST_F(DictationTest, StartingAgainBeforeTheEndWasHeardListensAgainAndReportsOneEnd) {
    const QString wav = Spoken("sentence.wav", "please send the letter to my mother today");
    if (wav.isEmpty()) GTEST_SKIP() << "espeak-ng is not installed";
    TSphinxDictation dictation(TSpeechModel::Installed(),
                               [wav] { return std::make_unique<TWavFileSource>(wav); });
    TPhraseRecorder recorder;
    ASSERT_TRUE(dictation.Start(recorder));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (dictation.Listening() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(dictation.Listening()); // the sound ended; no event loop ran yet
    ASSERT_TRUE(dictation.Start(recorder));
    EXPECT_TRUE(dictation.Listening());
    ASSERT_TRUE(recorder.WaitForStop(120));
    recorder.WaitForStop(1); // a second report of an end would come now
    EXPECT_EQ(recorder.Stops, 1);
    EXPECT_GE(WordsHeard(recorder.Phrases, {"please", "send", "letter", "mother", "today"}), 3);
}

TEST(Dictation, MissingModelOrEngineCannotStart) {
    TSphinxDictation missingModel(TSpeechModel{"/nonexistent", "/nonexistent.lm", "/nonexistent.dict"});
    EXPECT_FALSE(missingModel.Available());
    TPhraseRecorder recorder;
    QString reason;
    EXPECT_FALSE(missingModel.Start(recorder, &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(missingModel.Listening());

    TNoDictation none;
    reason.clear();
    EXPECT_FALSE(none.Start(recorder, &reason));
    EXPECT_FALSE(reason.isEmpty());
}
