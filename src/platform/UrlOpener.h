#pragma once

class QUrl;

// Hands addresses and files to the programs the desktop opens them with: the browser for the
// user guide, the targets of the Tool Programs and Help Links menus.
class TUrlOpener {
public:
    virtual ~TUrlOpener() = default;
    // false when the desktop has no program for it
    virtual bool Open(const QUrl& url) = 0;
};

// The desktop's own choice of program.
class TDesktopUrlOpener : public TUrlOpener {
public:
    bool Open(const QUrl& url) override;
};
