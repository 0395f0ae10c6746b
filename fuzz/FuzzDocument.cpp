// Reads arbitrary bytes as a document, as the program opens a file: every class a document may
// name is registered. Any crash, leak or sanitizer report is a fault.
#include "FuzzEnvironment.h"
#include "document/Card.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TFuzzEnvironment environment;
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    try {
        TStorage storage(&buffer, TStorage::TMode::Read);
        std::unique_ptr<TStored> root(storage.ReadRoot());
        if (auto* card = dynamic_cast<TCard*>(root.get())) {
            // Open as in a window: record-bound objects follow the next record on the page.
            environment.Context.AddOpenCard(card);
            if (card->DataTable() && card->DataTable()->IsOpen()) card->DataTable()->Next();
            card->RefreshRecordObjects();
            card->CollectText();
            RenderCardPreview(*card);
        }
    } catch (const Exception&) {
    }
    return 0;
}
