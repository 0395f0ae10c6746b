// The editing window: repainting a page of 1,000 objects, and one mouse step of a drag of
// 100 selected objects (only their outlines are redrawn during a move).
#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Control.h"
#include "document/Units.h"
#include "editor/CardWin.h"
#include "editor/EditorState.h"
#include "objects/Ellipse.h"
#include "objects/ObjectClasses.h"

#include <QApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

constexpr int ObjectCount = 1000;

std::unique_ptr<TCardForm> MakeWindow() {
    auto form = std::make_unique<TCardForm>();
    form->resize(1400, 1000);
    form->show();
    auto card = std::make_unique<TCard>(cfCertificatePortrait, dtCertificatePortrait);
    TCardPanel& panel = *card->Pages(0)->Panels(0);
    for (int i = 0; i < ObjectCount; ++i) {
        const int x = (i * 37) % 780;
        const int y = (i * 53) % 1040;
        TCardObject* object;
        if (i % 3 == 0) {
            auto* r = new TRectangleObject();
            r->FillColor = quint8(i % 16);
            r->BorderSize = 1;
            object = r;
        } else if (i % 3 == 1) {
            auto* e = new TEllipseObject();
            e->FillColor = quint8((i + 5) % 16);
            e->BorderSize = 1;
            object = e;
        } else {
            auto* f = new TFieldObject();
            f->FieldName = QStringLiteral("F%1").arg(i);
            f->Value = QStringLiteral("%1").arg(i);
            f->ClearFill = true;
            f->BorderSize = 1;
            object = f;
        }
        object->Bounds = {x, y, x + 60, y + 40};
        panel.AddObject(object);
    }
    form->AttachDocument(std::move(card));
    return form;
}

void BM_RepaintPage(benchmark::State& state) {
    auto form = MakeWindow();
    const int zoom = int(state.range(0));
    const QSize size(MulDiv(1000, zoom, 100), MulDiv(1300, zoom, 100));
    QImage image(size, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.scale(zoom / 100.0, zoom / 100.0);
        form->PaintPage(painter, QRect(0, 0, 1000, 1300));
    }
}
BENCHMARK(BM_RepaintPage)->Arg(100)->Arg(250)->Unit(benchmark::kMillisecond);

void BM_DragStepOf100Objects(benchmark::State& state) {
    auto form = MakeWindow();
    form->SetZoomIndex(5);
    const TCardPanel& panel = *form->Card().Pages(0)->Panels(0);
    for (int i = 0; i < 100; ++i)
        form->AddToSelection(panel.Items(i));
    QApplication::processEvents();
    const QPoint origin = form->PanelOrigin(0);
    const TRect b = panel.Items(0)->GetBounds();
    const QPoint start = origin + QPoint((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
    form->MouseDown(Qt::LeftButton, Qt::NoModifier, start);
    int step = 0;
    for (auto _ : state) {
        const QPoint at = start + QPoint(step % 2 ? 3 : -3, step % 2 ? 2 : -2);
        ++step;
        form->MouseMove(Qt::LeftButton, Qt::NoModifier, at);
        form->QDXWindow()->Canvas()->viewport()->repaint(); // the outline repaint it caused
    }
    form->MouseUp(Qt::LeftButton, Qt::NoModifier, start);
}
BENCHMARK(BM_DragStepOf100Objects)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    RegisterDocumentClasses();
    TAppContext& context = AppContext();
    context.ScreenPixelsPerInch = 96;
    EditorState().ApplyGridSpacing();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
