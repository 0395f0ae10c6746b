#include "merge/PxDocument.h"

#include <cstdio>
#include <cstring>

namespace {

void BootPx() {
    static const bool booted = (PX_boot(), true);
    Q_UNUSED(booted);
}

} // namespace

TPxDocument::TPxDocument(TEcho echo) : FEcho(echo) {
    BootPx();
    FDoc = PX_new3(&TPxDocument::Report, nullptr, nullptr, nullptr, this);
}

TPxDocument::~TPxDocument() {
    if (!FDoc) return;
    if (FOpen) PX_close(FDoc);
    PX_delete(FDoc);
}

void TPxDocument::Report(pxdoc_t*, int type, const char* message, void* data) {
    auto* self = static_cast<TPxDocument*>(data);
    self->FLastError = QString::fromLocal8Bit(message);
    if (self->FEcho == TEcho::EchoMessages) std::fprintf(stderr, "pxlib (%d): %s\n", type, message);
}

void TPxDocument::Free(void* memory) const {
    if (memory && FDoc) FDoc->free(FDoc, memory);
}

pxfield_t* TPxDocument::NewFields(int count) const {
    if (!FDoc || count <= 0) return nullptr;
    const size_t bytes = sizeof(pxfield_t) * size_t(count);
    auto* fields = static_cast<pxfield_t*>(FDoc->malloc(FDoc, bytes, "table fields"));
    if (fields) std::memset(static_cast<void*>(fields), 0, bytes);
    return fields;
}

char* TPxDocument::Copy(const char* text) const {
    return FDoc ? PX_strdup(FDoc, text) : nullptr;
}
