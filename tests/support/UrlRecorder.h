#pragma once

// Takes the addresses the program hands to the desktop (QDesktopServices) instead of starting
// the desktop's program: install it with QDesktopServices::setUrlHandler(scheme, &recorder,
// "Open") and unset the handler before the recorder goes.

#include <QList>
#include <QObject>
#include <QUrl>

class TUrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Urls;
public Q_SLOTS:
    void Open(const QUrl& url) { Urls.append(url); }
};
