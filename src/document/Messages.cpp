#include "document/Messages.h"

#include <cstdio>

void TStderrMessages::Error(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

void TStderrMessages::Information(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

bool TStderrMessages::Confirm(const QString& text) {
    std::fprintf(stderr, "%s (no)\n", qPrintable(text));
    return false;
}
