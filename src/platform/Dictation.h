#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// Sound for the recogniser: 16 kHz, mono, 16-bit samples.
class TAudioSource {
public:
    static constexpr int SampleRate = 16000;

    virtual ~TAudioSource() = default;
    // False with the reason when there is no sound to be had.
    virtual bool Open(QString& reason) = 0;
    // Up to count samples, waiting at most about a tenth of a second; 0 at the end of the
    // sound, -1 when it failed.
    virtual qint64 Read(qint16* samples, qint64 count) = 0;
};

// A WAV file of 16-bit PCM samples, mono or stereo, at any rate: made 16 kHz mono on opening.
class TWavFileSource : public TAudioSource {
public:
    static constexpr qint64 MaxDataSize = 256LL * 1024 * 1024;

    explicit TWavFileSource(const QString& path) : FPath(path) {}
    bool Open(QString& reason) override;
    qint64 Read(qint16* samples, qint64 count) override;

    // The samples of a WAV file's bytes at 16 kHz mono; false with the reason when the bytes
    // are not such a file.
    static bool Decode(const QByteArray& bytes, std::vector<qint16>& samples, QString& reason);

private:
    QString FPath;
    std::vector<qint16> FSamples;
    size_t FPosition = 0;
};

struct pa_simple;

// The default microphone through the sound server.
class TPulseMicrophone : public TAudioSource {
public:
    ~TPulseMicrophone() override;
    bool Open(QString& reason) override;
    qint64 Read(qint16* samples, qint64 count) override;

private:
    pa_simple* FStream = nullptr;
};

// Where the recogniser's acoustic model, language model and pronunciation dictionary are.
struct TSpeechModel {
    QString Acoustic;
    QString Language;
    QString Dictionary;
    // The US English model the system's package installs.
    static TSpeechModel Installed();
    bool Exists() const;
};

// Told of the recogniser's phrases, on the thread that started it.
class TDictationListener {
public:
    virtual ~TDictationListener() = default;
    virtual void PhraseRecognized(const QString& phrase) = 0;
    // The listening ended by itself: the sound ended (reason empty) or failed. Not called
    // after Stop.
    virtual void DictationStopped(const QString& /*reason*/) {}
};

// Dictation: listens until stopped and turns each phrase (speech between pauses) into text.
class TDictation {
public:
    virtual ~TDictation() = default;
    virtual bool Available() const = 0;
    // False with the reason when it cannot listen. The listener must be there until Stop
    // returns or it is told that the listening stopped.
    virtual bool Start(TDictationListener& listener, QString* reason = nullptr) = 0;
    // Waits until the phrase in progress is recognised; the listener has heard every phrase
    // when it returns.
    virtual void Stop() = 0;
    virtual bool Listening() const = 0;
};

// No recogniser or no model on this system.
class TNoDictation : public TDictation {
public:
    bool Available() const override { return false; }
    bool Start(TDictationListener& listener, QString* reason = nullptr) override;
    void Stop() override {}
    bool Listening() const override { return false; }
};

struct ps_decoder_s;
struct cmd_ln_s;

// The PocketSphinx recogniser over an audio source (the microphone in the program). The
// recogniser runs on a thread of its own; its model is loaded at the first start and kept.
class TSphinxDictation : public TDictation {
public:
    using TSourceFactory = std::function<std::unique_ptr<TAudioSource>()>;

    explicit TSphinxDictation(const TSpeechModel& model = TSpeechModel::Installed(),
                              TSourceFactory openSource = {});
    ~TSphinxDictation() override;
    TSphinxDictation(const TSphinxDictation&) = delete;
    TSphinxDictation& operator=(const TSphinxDictation&) = delete;

    bool Available() const override { return FModel.Exists(); }
    bool Start(TDictationListener& listener, QString* reason = nullptr) override;
    void Stop() override;
    // False as soon as the sound ended, before the listener is told.
    bool Listening() const override { return FListening && !FEnded; }

private:
    bool LoadModel(QString& reason);
    void Listen(std::unique_ptr<TAudioSource> source, TDictationListener* listener, int run);
    void Deliver(TDictationListener* listener, const QString& phrase);
    void Finished(TDictationListener* listener, const QString& reason, int run);
    QString EndPhrase();

    TSpeechModel FModel;
    TSourceFactory FOpenSource;
    cmd_ln_s* FConfig = nullptr;
    ps_decoder_s* FDecoder = nullptr;
    std::thread FThread;
    std::atomic<bool> FStopping{false};
    std::atomic<bool> FEnded{false}; // the thread is done with the sound
    bool FListening = false;
    int FRun = 0; // counts the starts, so that the end of an earlier run is not taken for this one
    // Lives on the starting thread: what the recogniser's thread hands its results through.
    QObject FReceiver;
};
