#include "document/AppContext.h"

#include <QLocale>

#include <algorithm>

namespace {
TAppContext* Installed = nullptr;
} // namespace

TAppContext::TAppContext()
    : Metric(MetricFromEnvironment()), FOwnSettings(std::make_unique<TMemorySettings>()),
      FOwnMessages(std::make_unique<TStderrMessages>()), FOwnShell(std::make_unique<TShell>()),
      FSettings(FOwnSettings.get()), FMessages(FOwnMessages.get()), FShell(FOwnShell.get()) {
    PrinterMargins = [](bool) { return TPrinterMargins{}; };
    RecordSourceFactory = [] { return std::make_unique<TNoRecordSource>(); };
}

TAppContext::~TAppContext() = default;

void TAppContext::SetSettings(TSettingsStore* settings) {
    FSettings = settings ? settings : FOwnSettings.get();
}

void TAppContext::SetMessages(TMessageSink* messages) {
    FMessages = messages ? messages : FOwnMessages.get();
}

void TAppContext::SetShell(TShell* shell) {
    FShell = shell ? shell : FOwnShell.get();
}

void TAppContext::AddOpenCard(TCard* card) {
    if (std::find(OpenCards.begin(), OpenCards.end(), card) == OpenCards.end())
        OpenCards.push_back(card);
}

void TAppContext::RemoveOpenCard(TCard* card) {
    OpenCards.erase(std::remove(OpenCards.begin(), OpenCards.end(), card), OpenCards.end());
    if (ActiveCard == card) ActiveCard = nullptr;
}

bool TAppContext::MetricFromEnvironment() {
    const QByteArray measure = qgetenv("QDX_MEASURE").toLower();
    if (measure == "metric") return true;
    if (measure == "inch") return false;
    return QLocale::system().measurementSystem() == QLocale::MetricSystem;
}

TAppContext& AppContext() {
    if (Installed) return *Installed;
    static TAppContext fallback;
    return fallback;
}

TAppContextScope::TAppContextScope(TAppContext& context) : FPrevious(Installed) {
    Installed = &context;
}

TAppContextScope::~TAppContextScope() {
    Installed = FPrevious;
}
