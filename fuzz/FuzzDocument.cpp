// Reads arbitrary bytes as a document, as the program opens a file: every class a document may
// name is registered. Any crash, leak or sanitizer report is a fault.
#include "document/AppContext.h"
#include "document/Card.h"
#include "objects/ObjectClasses.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QBuffer>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// Documents measure text, which needs the application's fonts.
struct TEnvironment {
    TEnvironment() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        Application = std::make_unique<QGuiApplication>(Argc, Argv);
        RegisterDocumentClasses();
        Context.SetMessages(&Silent);
    }
    class TSilent : public TMessageSink {
        void Error(const QString&) override {}
        void Information(const QString&) override {}
        bool Confirm(const QString&) override { return false; }
    } Silent;
    int Argc = 1;
    char Name[8] = "fuzz";
    char* Argv[2] = {Name, nullptr};
    std::unique_ptr<QGuiApplication> Application;
    TAppContext Context;
    TAppContextScope Scope{Context};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TEnvironment environment;
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    try {
        TStorage storage(&buffer, TStorage::TMode::Read);
        std::unique_ptr<TStored> root(storage.ReadRoot());
        if (auto* card = dynamic_cast<TCard*>(root.get())) {
            card->CollectText();
            RenderCardPreview(*card);
        }
    } catch (const Exception&) {
    }
    return 0;
}
