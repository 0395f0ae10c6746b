#include "app/ScanCommands.h"

#include "app/MainForm.h"
#include "document/Messages.h"
#include "editor/CardWin.h"
#include "objects/Picture.h"
#include "objects/PictureFiles.h"
#include "platform/PlatformDialogs.h"
#include "platform/Scanner.h"

#include <QImage>

#include <chrono>
#include <cmath>

namespace {

// A scan keeps the size of what lay on the glass: its pixels at its resolution, in document
// units (hundredths of an inch). A picture without a resolution takes one unit a pixel.
TRect ScannedBounds(const QImage& image) {
    auto units = [](int pixels, int dotsPerMeter) {
        const double dpi = dotsPerMeter * 0.0254;
        return std::max(dpi > 1 ? int(std::lround(pixels * 100.0 / dpi)) : pixels, 1);
    };
    return {0, 0, units(image.width(), image.dotsPerMeterX()),
            units(image.height(), image.dotsPerMeterY())};
}

} // namespace

TScanCommands::TScanCommands(TMainForm& main) : FMain(main) {}

TScanCommands::~TScanCommands() {
    if (FListing.valid()) FListing.wait();
}

void TScanCommands::Start() {
    if (FScanner || FListing.valid()) return;
    FListing = std::async(std::launch::async, [] {
        std::unique_ptr<TScanner> scanner = std::make_unique<TSaneScanner>();
        scanner->Refresh();
        return scanner;
    });
}

void TScanCommands::UseScanner(std::unique_ptr<TScanner> scanner) {
    if (FListing.valid()) FListing.wait();
    FListing = {};
    FScanner = std::move(scanner);
    FScanner->Refresh();
}

bool TScanCommands::Available() const {
    if (FListing.valid()) {
        if (FListing.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return false;
        FScanner = FListing.get();
    }
    return FScanner && FScanner->Available();
}

TScanner& TScanCommands::Scanner() {
    if (FListing.valid()) FScanner = FListing.get();
    if (!FScanner) FScanner = std::make_unique<TNoScanner>();
    return *FScanner;
}

void TScanCommands::SelectSource() {
    FMain.PlatformDialogs().ScanSource(Scanner(), FMain.Settings());
}

void TScanCommands::Acquire() {
    TCardForm* form = FMain.ActiveEditor();
    if (!form || !form->HasDocument()) return;
    form->ClearSelection();
    if (!FMain.PlatformDialogs().ScanSettings(FMain.Settings())) return;
    QImage image;
    {
        const TMainForm::TBusy busy(FMain);
        image = Scanner().Scan(ReadScanSource(FMain.Settings()), ReadScanOptions(FMain.Settings()));
    }
    if (image.isNull()) {
        FMain.Messages().Error(UnableToAcquireText());
        return;
    }
    auto* picture = TPictureObject::CreateDefault();
    TPictureData data;
    data.Bitmap = BitmapFromImage(image);
    picture->SetGraphic(data);
    picture->Bounds = ScannedBounds(image);
    form->InsertAtPageCorner(picture);
}
