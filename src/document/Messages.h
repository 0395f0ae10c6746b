#pragma once

#include <QString>

// The three message boxes of the program: errors, information and confirmations. The main
// window shows real boxes; tests record the texts; batch commands print errors on stderr.
class TMessageSink {
public:
    virtual ~TMessageSink() = default;
    virtual void Error(const QString& text) = 0;
    virtual void Information(const QString& text) = 0;
    // true for OK (or Yes)
    virtual bool Confirm(const QString& text) = 0;
};

// Writes errors and information to stderr and answers confirmations with "no".
class TStderrMessages : public TMessageSink {
public:
    void Error(const QString& text) override;
    void Information(const QString& text) override;
    bool Confirm(const QString& text) override;
};
