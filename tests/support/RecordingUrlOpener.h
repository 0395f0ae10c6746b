#pragma once

#include "platform/UrlOpener.h"

#include <QList>
#include <QUrl>

// Records what the program hands to the desktop instead of starting a program; Succeeds says
// whether the desktop has a program for it.
class TRecordingUrlOpener : public TUrlOpener {
public:
    QList<QUrl> Opened;
    bool Succeeds = true;
    bool Open(const QUrl& url) override {
        Opened.append(url);
        return Succeeds;
    }
};
