// The main of the benchmarks that work on documents: no display, the document classes
// registered, and a context of their own at 96 pixels per inch.
#include "document/AppContext.h"
#include "objects/ObjectClasses.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    RegisterDocumentClasses();
    TAppContext context;
    TAppContextScope scope(context);
    context.ScreenPixelsPerInch = 96;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
