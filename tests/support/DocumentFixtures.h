#pragma once

// Helpers for tests of documents and objects: a context of their own (fixed screen density,
// inches, recorded messages) and documents in memory.

#include "document/AppContext.h"
#include "document/Card.h"
#include "document/LoadOptions.h"
#include "support/QtPrinters.h"

#include <QByteArray>
#include <QStringList>

#include <memory>

// Records the message boxes instead of showing them.
class TRecordingMessages : public TMessageSink {
public:
    QStringList Errors;
    QStringList Informations;
    QStringList Confirmations;
    bool ConfirmAnswer = true;
    void Error(const QString& text) override { Errors.append(text); }
    void Information(const QString& text) override { Informations.append(text); }
    bool Confirm(const QString& text) override {
        Confirmations.append(text);
        return ConfirmAnswer;
    }
};

// A context installed for the lifetime of the fixture: 96 pixels per inch, inches, no grid.
class TTestContext {
public:
    explicit TTestContext(int pixelsPerInch = 96);
    ~TTestContext();
    TAppContext Context;
    TRecordingMessages Messages;

private:
    TAppContextScope FScope;
};

QByteArray CardToBytes(const TCard& card);
std::unique_ptr<TCard> CardFromBytes(const QByteArray& bytes,
                                     const TReadOptions* options = nullptr);
// A round trip through the storage format.
std::unique_ptr<TCard> Reloaded(const TCard& card);
