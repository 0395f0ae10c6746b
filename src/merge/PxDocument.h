#pragma once

// One pxlib document for the table engine and the label catalogue generator: pxlib started
// once per process, the document closed and freed with its owner, pxlib's last message kept
// for the error the caller throws.

#include <QString>

// paradox.h declares C functions without extern "C".
extern "C" {
#include <paradox.h>
}

class TPxDocument {
public:
    // EchoMessages: pxlib's messages also go to stderr (for the build-time generator).
    enum class TEcho { Quiet, EchoMessages };

    explicit TPxDocument(TEcho echo = TEcho::Quiet);
    ~TPxDocument();
    TPxDocument(const TPxDocument&) = delete;
    TPxDocument& operator=(const TPxDocument&) = delete;

    // False when pxlib could not make a document; the caller throws its own error.
    bool Started() const { return FDoc != nullptr; }
    pxdoc_t* Doc() const { return FDoc; }
    // After a successful open or create: the document is closed before it is freed.
    void SetOpen() { FOpen = true; }
    // After pxlib refuses to open a file its document may hold memory it has already freed
    // (PX_delete then frees it twice), so the document is left alone: a small leak instead.
    void Abandon() { FDoc = nullptr; }

    // Memory pxlib allocated for the caller (texts it decoded).
    void Free(void* memory) const;
    // count fields from the document's allocator, zeroed: pxlib frees the list with the
    // document it is handed to. Nothing may throw between this and that hand-over.
    pxfield_t* NewFields(int count) const;
    // A copy of the text from the document's allocator, as the field names must be.
    char* Copy(const char* text) const;

    const QString& LastError() const { return FLastError; }

private:
    static void Report(pxdoc_t* doc, int type, const char* message, void* data);

    pxdoc_t* FDoc = nullptr;
    bool FOpen = false;
    TEcho FEcho;
    QString FLastError;
};
