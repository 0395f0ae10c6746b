#pragma once

#include <QImage>
#include <QString>

#include <vector>

class TSettingsStore;

struct TScanDevice {
    QString Name; // what opens it
    QString Vendor;
    QString Model;
    QString Type;
    QString Label() const; // "Vendor Model (type)"
};

struct TScanOptions {
    static constexpr int DefaultResolution = 150;
    static constexpr int MinResolution = 25;
    static constexpr int MaxResolution = 1200;
    bool Color = true;
    int Resolution = DefaultResolution; // dots per inch
};

// Scanners and cameras. The device list is made by Refresh (which may take a while: network
// devices answer slowly), so Available can be asked whenever the menus are updated.
class TScanner {
public:
    virtual ~TScanner() = default;
    virtual void Refresh() = 0;
    virtual const std::vector<TScanDevice>& Devices() const = 0;
    bool Available() const { return !Devices().empty(); }
    // One page from the device (the first device when the name is empty), without the
    // device's own dialogs. A null image when it fails, with the reason set when asked.
    virtual QImage Scan(const QString& device, const TScanOptions& options,
                        QString* reason = nullptr) = 0;
};

// No scanning on this system.
class TNoScanner : public TScanner {
public:
    void Refresh() override {}
    const std::vector<TScanDevice>& Devices() const override { return FNone; }
    QImage Scan(const QString&, const TScanOptions&, QString* reason) override;

private:
    std::vector<TScanDevice> FNone;
};

// Scanning through SANE: its backends are set up by the system's sane.d folder, or the one
// SANE_CONFIG_DIR names (read once per process). One at a time: SANE is initialised for its
// lifetime. Scanning blocks until the page is in.
class TSaneScanner : public TScanner {
public:
    // Each picture may have at most this many pixels (a Letter page at 1200 dpi has 135
    // million): a larger one is a broken device reply.
    static constexpr qint64 MaxPixels = 200LL * 1000 * 1000;

    TSaneScanner();
    ~TSaneScanner() override;
    TSaneScanner(const TSaneScanner&) = delete;
    TSaneScanner& operator=(const TSaneScanner&) = delete;

    bool Initialised() const { return FInitialised; }
    void Refresh() override;
    const std::vector<TScanDevice>& Devices() const override { return FDevices; }
    QImage Scan(const QString& device, const TScanOptions& options,
                QString* reason = nullptr) override;

private:
    bool FInitialised = false;
    std::vector<TScanDevice> FDevices;
};

namespace ScanSettings {
inline constexpr const char* Section = "Scanning";
inline constexpr const char* Source = "Source";         // the chosen device's name
inline constexpr const char* Color = "Color";           // 1 for colour, 0 for gray
inline constexpr const char* Resolution = "Resolution"; // dots per inch
} // namespace ScanSettings

QString UnableToAcquireText(); // "Unable to acquire image"

TScanOptions ReadScanOptions(const TSettingsStore& settings);
void WriteScanOptions(TSettingsStore& settings, const TScanOptions& options);
// The device chosen with Select Source; empty for the first one.
QString ReadScanSource(const TSettingsStore& settings);
void WriteScanSource(TSettingsStore& settings, const QString& device);
