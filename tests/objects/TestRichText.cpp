#include "objects/RichText.h"

#include "document/Canvas.h"
#include "support/DocumentFixtures.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Dark pixels of the frame drawn on a white picture through a canvas of the kind.
int InkOfFrameDrawnOn(TCanvas::TKind kind) {
    TRichTextObject frame;
    frame.Bounds = {10, 10, 310, 160};
    QImage image(340, 180, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TCanvas canvas(painter, 96, 96, kind);
        frame.Paint(canvas, 0, 0, kind == TCanvas::TKind::Printer);
    }
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 160) ++ink;
    return ink;
}

} // namespace

TEST(RichText, AFrameSaysOnScreenThatTextFramesAreNotAvailableAndPrintsNothing) {
    TTestContext test;
    EXPECT_GT(InkOfFrameDrawnOn(TCanvas::TKind::Screen), 50);
    for (TCanvas::TKind kind :
         {TCanvas::TKind::Printer, TCanvas::TKind::PrintPreview, TCanvas::TKind::Image})
        EXPECT_EQ(InkOfFrameDrawnOn(kind), 0) << int(kind);
}
