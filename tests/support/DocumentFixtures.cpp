#include "support/DocumentFixtures.h"

#include "objects/ObjectClasses.h"
#include "support/StorageFixtures.h"

#include <stdexcept>

TTestContext::TTestContext(int pixelsPerInch) : FScope(Context) {
    RegisterDocumentClasses();
    Context.ScreenPixelsPerInch = pixelsPerInch;
    Context.Metric = false;
    Context.SetMessages(&Messages);
}

TTestContext::~TTestContext() { Context.SetMessages(nullptr); }

QByteArray CardToBytes(const TCard& card) { return WriteToBytes(card); }

std::unique_ptr<TCard> CardFromBytes(const QByteArray& bytes, const TReadOptions* options) {
    std::unique_ptr<TStored> root(ReadFromBytes(bytes, nullptr, options));
    auto* card = dynamic_cast<TCard*>(root.get());
    if (!card) throw std::runtime_error("not a card");
    root.release();
    return std::unique_ptr<TCard>(card);
}

std::unique_ptr<TCard> Reloaded(const TCard& card) { return CardFromBytes(CardToBytes(card)); }
