#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Control.h"
#include "document/Units.h"
#include "support/DocumentFixtures.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A panel of the given size (units) inside an open document, for placement rules.
struct TPlacedRectangle {
    TPlacedRectangle(TAppContext& context, int panelWidth, int panelHeight)
        : Card(7, 4), Context(context) {
        Panel = Card.Pages(0)->Panels(0);
        Panel->Width = panelWidth;
        Panel->Height = panelHeight;
        Object = new TRectangleObject();
        Panel->AddObject(Object);
        Context.AddOpenCard(&Card);
    }
    ~TPlacedRectangle() { Context.RemoveOpenCard(&Card); }
    TCard Card;
    TAppContext& Context;
    TCardPanel* Panel;
    TRectangleObject* Object;
};

} // namespace

TEST(Units, MulDivRoundsToNearestWithHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(100, 96, 100), 96);
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(5, 1, 3), 2);
    EXPECT_EQ(MulDiv(-5, 1, 3), -2);
    EXPECT_EQ(MulDiv(1 << 30, 8, 16), 1 << 29); // the product needs 64 bits
    EXPECT_EQ(MulDiv(7, 3, 0), -1);
    EXPECT_EQ(RoundHalfAway(2.5), 3);
    EXPECT_EQ(RoundHalfAway(-2.5), -3);
}

TEST(Units, ScreenConversionFollowsTheScreenDensity) {
    {
        TTestContext test(96);
        TRectangleObject r;
        r.Bounds = {100, 100, 200, 150};
        EXPECT_EQ(r.GetBounds(), (TRect{96, 96, 192, 144}));
        EXPECT_EQ(ScreenToUnits(96), 100);
        EXPECT_EQ(ScreenToTwips(96), 1440);
    }
    {
        TTestContext test(120);
        TRectangleObject r;
        r.Bounds = {100, 100, 200, 150};
        EXPECT_EQ(r.GetBounds(), (TRect{120, 120, 240, 180}));
        EXPECT_EQ(MetricToScreen(2540), 120); // 25.4 mm is an inch
    }
}

TEST(CardObject, NoObjectIsSmallerThan26UnitsEitherWay) {
    TTestContext test;
    TRectangleObject r;
    r.SetBounds({10, 10, 20, 200});
    EXPECT_EQ(r.Bounds, (TRect{10, 10, 36, 200}));
    r.SetBounds({0, 50, 100, 40});
    EXPECT_EQ(r.Bounds, (TRect{0, 50, 100, 76}));
}

TEST(CardObject, RepaintAreaAndHitTestMakeRoomForHandlesWhenSelected) {
    TTestContext test;
    TRectangleObject r;
    r.Bounds = {100, 100, 200, 150}; // 96..192 x 96..144 pixels
    EXPECT_EQ(r.GetRepaintRect(), (TRect{95, 95, 193, 145}));
    EXPECT_TRUE(r.HitTest({95, 95}));
    EXPECT_FALSE(r.HitTest({193, 120})); // right edge excluded
    r.SetSelectState(1);
    EXPECT_EQ(r.GetRepaintRect(), (TRect{84, 84, 204, 156}));
    EXPECT_TRUE(r.HitTest({200, 150}));
}

TEST(CardObject, HandlesAreTestedInOrderAndTheFirstHitWins) {
    TTestContext test(100);
    TRectangleObject r;
    r.Bounds = {100, 100, 200, 140}; // 100..200 x 100..140, mid (150, 120)
    struct Case {
        QPoint Point;
        THandleCursor Cursor;
        bool MovesLeft;
        bool MovesTop;
    };
    const Case cases[] = {
        {{100, 120}, THandleCursor::SizeWE, true, false},
        {{204, 124}, THandleCursor::SizeWE, false, false},
        {{96, 96}, THandleCursor::SizeNWSE, true, true},
        {{200, 140}, THandleCursor::SizeNWSE, false, false},
        {{150, 100}, THandleCursor::SizeNS, false, true},
        {{146, 144}, THandleCursor::SizeNS, false, false},
        {{200, 100}, THandleCursor::SizeNESW, false, true},
        {{100, 140}, THandleCursor::SizeNESW, true, false},
        {{105, 120}, THandleCursor::ObjectBody, false, false}, // boxes end before x + 5
        {{150, 130}, THandleCursor::ObjectBody, false, false},
    };
    for (const Case& c : cases) {
        const THandleHit hit = r.HitTestHandle(c.Point);
        EXPECT_EQ(hit.Cursor, c.Cursor) << c.Point.x() << "," << c.Point.y();
        EXPECT_EQ(hit.MovesLeft, c.MovesLeft) << c.Point.x() << "," << c.Point.y();
        EXPECT_EQ(hit.MovesTop, c.MovesTop) << c.Point.x() << "," << c.Point.y();
    }
    // On a short object the middle handles overlap the corners: the left-middle one wins.
    r.Bounds = {100, 100, 200, 106};
    EXPECT_EQ(r.HitTestHandle({100, 100}).Cursor, THandleCursor::SizeWE);

    r.Locked = true;
    EXPECT_EQ(r.HitTestHandle({100, 100}).Cursor, THandleCursor::None);
    EXPECT_EQ(r.HitTestHandle({150, 103}).Cursor, THandleCursor::None);
}

TEST(CardObject, FieldsOfferOnlyTheirTwoSideHandles) {
    TTestContext test(100);
    TFieldObject field;
    field.Bounds = {100, 100, 200, 140};
    EXPECT_EQ(field.HitTestHandle({100, 120}).Cursor, THandleCursor::SizeWE);
    EXPECT_TRUE(field.HitTestHandle({100, 120}).MovesLeft);
    EXPECT_EQ(field.HitTestHandle({200, 120}).Cursor, THandleCursor::SizeWE);
    EXPECT_EQ(field.HitTestHandle({100, 100}).Cursor, THandleCursor::ObjectBody);
}

TEST(CardObject, SnappingMovesToOnePixelBeforeTheNearestGridLine) {
    TTestContext test(100);
    test.Context.SnapToGrid = true;
    test.Context.GridSpacing = 10;
    TPlacedRectangle placed(test.Context, 850, 1100);
    EXPECT_EQ(placed.Object->AdjustRect({14, 15, 64, 65}), (TRect{9, 19, 59, 69}));
    EXPECT_EQ(placed.Object->AdjustRect({15, 14, 65, 64}), (TRect{19, 9, 69, 59}));
    test.Context.SnapToGrid = false;
    EXPECT_EQ(placed.Object->AdjustRect({14, 15, 64, 65}), (TRect{14, 15, 64, 65}));
}

TEST(CardObject, CentringIgnoresTheStoredPositionAndSnapsOnlyTheOtherAxis) {
    TTestContext test(100);
    test.Context.SnapToGrid = true;
    test.Context.GridSpacing = 10;
    TPlacedRectangle placed(test.Context, 400, 300);
    placed.Object->CenterHorizontally = true;
    EXPECT_EQ(placed.Object->AdjustRect({333, 14, 433, 64}), (TRect{150, 9, 250, 59}));
    placed.Object->CenterVertically = true;
    EXPECT_EQ(placed.Object->AdjustRect({3, 14, 103, 64}), (TRect{150, 125, 250, 175}));

    placed.Object->Bounds = {7, 7, 107, 57};
    placed.Object->Realign();
    EXPECT_EQ(placed.Object->Bounds, (TRect{150, 125, 250, 175}));
}

TEST(CardObject, AnObjectInNoOpenDocumentHasNoContainer) {
    TTestContext test;
    TCardObjectTable clipboard;
    auto* object = new TRectangleObject();
    clipboard.Add(object);
    EXPECT_EQ(object->OwnerCard(), nullptr);
    EXPECT_EQ(object->PageIndex(), -1);
    EXPECT_EQ(object->PanelIndex(), -1);
    EXPECT_EQ(object->IndexInPanel(), -1);
    // Without a panel, AdjustRect leaves the rectangle alone.
    object->CenterHorizontally = true;
    EXPECT_EQ(object->AdjustRect({5, 5, 50, 50}), (TRect{5, 5, 50, 50}));
}

TEST(CardObject, OwnerLookupFindsPagePanelAndSlot) {
    TTestContext test;
    TCard card(0, 0); // four panels
    test.Context.AddOpenCard(&card);
    auto* a = new TRectangleObject();
    auto* b = new TRectangleObject();
    card.Pages(0)->Panels(2)->AddObject(a);
    card.Pages(0)->Panels(2)->AddObject(b);
    EXPECT_EQ(b->OwnerCard(), &card);
    EXPECT_EQ(b->OwnerPanel(), card.Pages(0)->Panels(2));
    EXPECT_EQ(b->PageIndex(), 0);
    EXPECT_EQ(b->PanelIndex(), 2);
    EXPECT_EQ(b->IndexInPanel(), 1);
    test.Context.RemoveOpenCard(&card);
}

TEST(CardObject, HandlesAreFilledWhenFreeAndHollowWhenLocked) {
    TTestContext test(100);
    TRectangleObject r;
    r.Bounds = {20, 20, 80, 60};
    r.SetSelectState(1);
    auto render = [&](bool locked) {
        r.Locked = locked;
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(locked ? Qt::black : Qt::white); // hollow handles merge with what is below
        QPainter painter(&image);
        r.DrawHandles(painter, 0, 0);
        return image;
    };
    const QImage free = render(false);
    EXPECT_EQ(free.pixel(20, 20), qRgb(0, 0, 0)); // inside the top-left square
    EXPECT_EQ(free.pixel(15, 15), qRgb(0, 0, 0)); // its corner
    EXPECT_EQ(free.pixel(25, 25), qRgb(255, 255, 255));
    const QImage locked = render(true);
    EXPECT_EQ(locked.pixel(15, 15), qRgb(255, 255, 255)); // the outline
    EXPECT_EQ(locked.pixel(20, 20), qRgb(0, 0, 0));       // hollow inside
    r.SetSelectState(2);
    EXPECT_EQ(render(false).pixel(20, 20), qRgb(0x80, 0x80, 0x80)); // one of several
}

TEST(CardObject, CopyingTakesBoundsAndCentringButNotLockOrLink) {
    TTestContext test;
    TRectangleObject source;
    source.Bounds = {1, 2, 300, 400};
    source.CenterHorizontally = true;
    source.Locked = true;
    source.LinkType = ltEmail;
    source.LinkTarget = QStringLiteral("a@b.c");
    source.FillColor = 9;
    std::unique_ptr<TStored> copy(CloneStored(&source));
    auto* r = static_cast<TRectangleObject*>(copy.get());
    EXPECT_EQ(r->Bounds, source.Bounds);
    EXPECT_TRUE(r->CenterHorizontally);
    EXPECT_FALSE(r->Locked);
    EXPECT_EQ(r->LinkType, ltNone);
    EXPECT_EQ(r->FillColor, 9);
}

TEST(CardObject, ShapesDrawTheirBorderInsideTheRectangle) {
    TTestContext test(100);
    TRectangleObject r;
    r.Bounds = {10, 10, 50, 40};
    r.FillColor = 12;  // blue
    r.BorderColor = 9; // red
    r.BorderSize = 3;
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TCanvas canvas(painter, 100, 100, TCanvas::TKind::Image);
        r.Paint(canvas, 0, 0, false);
    }
    EXPECT_EQ(image.pixel(9, 20), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(10, 20), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(12, 20), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(13, 20), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(49, 20), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(50, 20), qRgb(255, 255, 255));

    // Without a border only the fill; with a clear fill too, nothing at all.
    r.BorderSize = 0;
    r.ClearFill = true;
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TCanvas canvas(painter, 100, 100, TCanvas::TKind::Image);
        r.Paint(canvas, 0, 0, false);
    }
    EXPECT_EQ(image.pixel(10, 20), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(30, 20), qRgb(255, 255, 255));
}

TEST(CardObject, LockedHandlesShowOnWhitePaperAndOnBlack) {
    TTestContext test;
    TRectangleObject r;
    r.Bounds = {100, 100, 200, 150}; // 96..192 x 96..144 pixels
    r.SetSelectState(1);
    r.Locked = true;
    for (const QColor paper : {QColor(Qt::white), QColor(Qt::black)}) {
        SCOPED_TRACE(paper.name().toStdString());
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(paper);
        {
            QPainter painter(&image);
            r.DrawHandles(painter, 0, 0);
        }
        // The top-left handle's edge differs from the paper; its inside is left alone.
        EXPECT_NE(image.pixelColor(91, 91), paper);
        EXPECT_EQ(image.pixelColor(96, 96), paper);
    }
}
