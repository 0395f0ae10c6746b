#include "platform/UrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

bool TDesktopUrlOpener::Open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}
