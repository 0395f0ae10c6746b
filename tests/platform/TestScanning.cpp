#include "document/Settings.h"
#include "platform/Scanner.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <dlfcn.h>

namespace {

QString TestBackend() {
    for (const QString& folder : {QStringLiteral("/usr/lib/x86_64-linux-gnu/sane"),
                                  QStringLiteral("/usr/lib/aarch64-linux-gnu/sane"),
                                  QStringLiteral("/usr/lib/sane")}) {
        QDirIterator it(folder, {QStringLiteral("libsane-test.so*")}, QDir::Files);
        if (it.hasNext()) return it.next();
    }
    return {};
}

// The test backend leaks a little on each run. SANE unloads it at the end, and then the leak
// checker cannot name the library it must excuse; kept loaded, it can.
bool LoadTestBackend() {
    static const bool loaded = [] {
        const QString path = TestBackend();
        return !path.isEmpty() && dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NODELETE);
    }();
    return loaded;
}

// SANE with only its test backend, which makes pictures without hardware: an 80 x 100 mm
// page, set up by the lines given for test.conf. SANE takes its configuration folder once per
// process, so every test uses the same one.
class ScanningTest : public testing::Test {
protected:
    static QTemporaryDir& Config() {
        static QTemporaryDir folder;
        return folder;
    }
    QByteArray Saved = qgetenv("SANE_CONFIG_DIR");

    void SetUp() override {
        if (TestBackend().isEmpty())
            GTEST_SKIP() << "SANE's test backend (libsane1) is not installed";
        ASSERT_TRUE(LoadTestBackend());
        WriteConfig({});
    }
    void TearDown() override {
        if (Saved.isEmpty()) qunsetenv("SANE_CONFIG_DIR");
        else qputenv("SANE_CONFIG_DIR", Saved);
    }

    void WriteConfig(const QByteArray& testOptions) {
        QFile dll(QDir(Config().path()).filePath("dll.conf"));
        ASSERT_TRUE(dll.open(QIODevice::WriteOnly));
        dll.write("test\n");
        dll.close();
        QFile test(QDir(Config().path()).filePath("test.conf"));
        ASSERT_TRUE(test.open(QIODevice::WriteOnly));
        test.write("number_of_devices 1\ntest-picture \"Color pattern\"\n" + testOptions);
        test.close();
        // A trailing colon would add the system's folder, and with it every backend.
        qputenv("SANE_CONFIG_DIR", Config().path().toUtf8());
    }

    static int Expected(double millimetres, int dpi) {
        return int(std::lround(millimetres / 25.4 * dpi));
    }
};

bool HasColour(const QImage& image) {
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7) {
            const QRgb pixel = image.pixel(x, y);
            if (qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel)) return true;
        }
    return false;
}

} // namespace

TEST_F(ScanningTest, TestDeviceIsListedAndScansAColourPageAtTheChosenResolution) {
    TSaneScanner scanner;
    scanner.Refresh();
    ASSERT_TRUE(scanner.Available());
    ASSERT_EQ(scanner.Devices().size(), 1u);
    EXPECT_TRUE(scanner.Devices()[0].Name.startsWith(QLatin1String("test:")));
    EXPECT_FALSE(scanner.Devices()[0].Label().isEmpty());

    QString reason;
    const QImage image = scanner.Scan(QString(), TScanOptions{}, &reason);
    ASSERT_FALSE(image.isNull()) << reason.toStdString();
    EXPECT_NEAR(image.width(), Expected(80, 150), 2);
    EXPECT_NEAR(image.height(), Expected(100, 150), 2);
    EXPECT_TRUE(HasColour(image));
    EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 150, 1);
}

TEST_F(ScanningTest, GrayScanAtLowResolutionIsAGrayPicture) {
    TSaneScanner scanner;
    scanner.Refresh();
    const QImage image = scanner.Scan(scanner.Devices().at(0).Name, TScanOptions{false, 75});
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.format(), QImage::Format_Grayscale8);
    EXPECT_NEAR(image.width(), Expected(80, 75), 2);
    EXPECT_NEAR(image.height(), Expected(100, 75), 2);
}

TEST_F(ScanningTest, ThreeFrameColourMakesTheSamePictureAsOneFrame) {
    QImage single;
    {
        TSaneScanner scanner;
        single = scanner.Scan(QString(), TScanOptions{true, 50});
    }
    ASSERT_FALSE(single.isNull());
    WriteConfig("three-pass true\n");
    TSaneScanner scanner;
    const QImage threePass = scanner.Scan(QString(), TScanOptions{true, 50});
    ASSERT_FALSE(threePass.isNull());
    EXPECT_EQ(threePass.convertToFormat(QImage::Format_RGB32),
              single.convertToFormat(QImage::Format_RGB32));
}

TEST_F(ScanningTest, DeviceOfUnknownLengthAndDeepSamplesStillGivesAPicture) {
    WriteConfig("hand-scanner true\ndepth 16\n");
    TSaneScanner scanner;
    QString reason;
    const QImage image = scanner.Scan(QString(), TScanOptions{true, 50}, &reason);
    ASSERT_FALSE(image.isNull()) << reason.toStdString();
    // The test device makes hand-scanner pages of a width of its own.
    EXPECT_GT(image.width(), 0);
    EXPECT_GT(image.height(), 0);
    EXPECT_TRUE(HasColour(image));
}

TEST_F(ScanningTest, UnknownDeviceOrNoScannerFailsWithAReason) {
    TSaneScanner scanner;
    QString reason;
    EXPECT_TRUE(scanner.Scan(QStringLiteral("nosuch:device"), TScanOptions{}, &reason).isNull());
    EXPECT_FALSE(reason.isEmpty());

    TNoScanner none;
    none.Refresh();
    EXPECT_FALSE(none.Available());
    reason.clear();
    EXPECT_TRUE(none.Scan(QString(), TScanOptions{}, &reason).isNull());
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(UnableToAcquireText(), QStringLiteral("Unable to acquire image"));
}

TEST(ScanSettings, OptionsAndSourceAreRememberedAndResolutionKeptInBounds) {
    TMemorySettings settings;
    const TScanOptions defaults = ReadScanOptions(settings);
    EXPECT_TRUE(defaults.Color);
    EXPECT_EQ(defaults.Resolution, 150);
    EXPECT_TRUE(ReadScanSource(settings).isEmpty());

    WriteScanOptions(settings, TScanOptions{false, 300});
    WriteScanSource(settings, QStringLiteral("test:0"));
    EXPECT_FALSE(ReadScanOptions(settings).Color);
    EXPECT_EQ(ReadScanOptions(settings).Resolution, 300);
    EXPECT_EQ(ReadScanSource(settings), QStringLiteral("test:0"));

    for (const auto& [stored, read] : {std::pair{100000, 1200}, {0, 25}, {-5, 25}}) {
        settings.WriteInteger(ScanSettings::Section, ScanSettings::Resolution, stored);
        EXPECT_EQ(ReadScanOptions(settings).Resolution, read) << stored;
    }
}
