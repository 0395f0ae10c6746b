#pragma once

#include <future>
#include <memory>

class TMainForm;
class TScanner;

// The scanning commands. The system's scanners are listed on a thread of their own when the
// program starts (network devices answer slowly), so that the window comes up at once; the
// commands stay disabled until the list is in and holds a device.
class TScanCommands {
public:
    explicit TScanCommands(TMainForm& main);
    ~TScanCommands();

    // Lists the devices in the background.
    void Start();
    // Another scanner interface in place of the system's (tests), listed now.
    void UseScanner(std::unique_ptr<TScanner> scanner);
    // The list is in and holds a device.
    bool Available() const;

    void Acquire();
    void SelectSource();

private:
    // The scanner, waiting for its list when it is still being made.
    TScanner& Scanner();

    TMainForm& FMain;
    mutable std::unique_ptr<TScanner> FScanner;
    mutable std::future<std::unique_ptr<TScanner>> FListing;
};
