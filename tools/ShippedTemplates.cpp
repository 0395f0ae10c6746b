#include "ShippedTemplates.h"

#include "TemplateBuilder.h"
#include "document/Control.h"
#include "objects/RichText.h"
#include "storage/Exception.h"

#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <cmath>

QImage TClipArt::Picture(const QString& name, QSize pixels) const {
    const QString path = FFolder.filePath(name + QStringLiteral(".svg"));
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) throw Exception(QStringLiteral("%1 is not a drawing.").arg(path));
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSize size = renderer.defaultSize().scaled(pixels, Qt::KeepAspectRatio);
    renderer.render(&painter, QRectF(QPointF((pixels.width() - size.width()) / 2.0,
                                             (pixels.height() - size.height()) / 2.0),
                                     size));
    return image;
}

namespace {

using T = TTemplateBuilder;
constexpr int Centred = TTemplateBuilder::Centred;

QColor Rgb(QRgb rgb) {
    return QColor(rgb);
}

// Colours of the headlines (the shapes keep to their palette).
const QColor Navy = Rgb(0x1F3A68), Teal = Rgb(0x127A7A), Maroon = Rgb(0x7B1E24),
             Red = Rgb(0xC0392B), Purple = Rgb(0x6C3483), Gray = Rgb(0x555555),
             Olive = Rgb(0x6B6B1F), White = Qt::white;

// A picture from the clip art, stored at about 80 pixels per inch and at most 320 pixels.
void ClipArt(T& t, const TClipArt& art, int panel, const TRect& box, const char* name) {
    const int longer = std::max(box.Width(), box.Height());
    const double scale = std::min(0.8, 320.0 / longer);
    const QSize pixels(std::max(1, int(box.Width() * scale)),
                       std::max(1, int(box.Height() * scale)));
    t.Picture(panel, box, art.Picture(QString::fromLatin1(name), pixels));
}

struct TDot {
    int X, Y, Color;
};

// Small round dots of colour.
void Confetti(T& t, int panel, std::initializer_list<TDot> dots, int size) {
    for (const TDot& d : dots)
        t.Ellipse(panel, Box(d.X, d.Y, size, size), d.Color);
}

// A flower of six round petals on a stem, centred at (cx, cy).
void Flower(T& t, int panel, int cx, int cy, int petal, int color, int stem) {
    t.Line(panel, cx, cy, cx, cy + stem, pGreen, 3);
    t.Ellipse(panel, Box(cx, cy + stem / 2 - petal / 4, petal, petal / 2), pGreen);
    for (int i = 0; i < 6; ++i) {
        const double angle = i * M_PI / 3;
        const int x = cx + int(std::lround(std::cos(angle) * petal * 0.7));
        const int y = cy + int(std::lround(std::sin(angle) * petal * 0.7));
        t.Ellipse(panel, Box(x - petal / 2, y - petal / 2, petal, petal), color, pPurple, 1);
    }
    t.Ellipse(panel, Box(cx - petal * 2 / 5, cy - petal * 2 / 5, petal * 4 / 5, petal * 4 / 5),
              pYellow, pOlive, 1);
}

// A line across a panel with a caption under its middle, for a signature or a date.
void SignatureLine(T& t, int panel, int left, int right, int y, const QString& caption) {
    t.Line(panel, left, y, right, y, pBlack, 1);
    t.HeadlineIn(panel, Box(left, y + 5, right - left, 30), caption, Arial(11).Coloured(Gray));
}

// Greeting cards (front cover 0, inside left 1, inside right 2, back cover 3).

void BirthdayBalloons(T& t, const TClipArt&) {
    t.Rectangle(0, Box(25, 25, 500, 800), pNone, pBlue, 3);
    const std::array<QPoint, 3> knots = {QPoint(165, 280), QPoint(275, 240), QPoint(385, 290)};
    for (const QPoint& k : knots)
        t.Line(0, k.x(), k.y(), 275, 500, pGray, 1);
    t.Ellipse(0, Box(95, 110, 140, 170), pRed, pMaroon, 2);
    t.Ellipse(0, Box(205, 70, 140, 170), pYellow, pOlive, 2);
    t.Ellipse(0, Box(315, 120, 140, 170), pBlue, pNavy, 2);
    for (const QPoint& k : knots)
        t.Ellipse(0, Box(k.x() - 45, k.y() - 140, 22, 40), pWhite);
    t.Headline(0, Centred, 560, QStringLiteral("Happy Birthday!"),
               Arial(36).Bolded().Coloured(Red).Shadowed(2, Qt::gray));
    t.Headline(0, Centred, 650, QStringLiteral("Have a wonderful day"),
               Times(20).Italicised().Coloured(Navy));
    Confetti(t, 0,
             {{60, 80, pFuchsia},
              {470, 60, pLime},
              {60, 430, pAqua},
              {470, 400, pFuchsia},
              {90, 760, pYellow},
              {440, 760, pAqua},
              {265, 770, pRed}},
             18);

    t.Line(1, 90, 135, 140, 260, pGray, 1);
    t.Line(1, 140, 115, 140, 260, pGray, 1);
    t.Ellipse(1, Box(60, 60, 60, 75), pRed, pMaroon, 1);
    t.Ellipse(1, Box(110, 40, 60, 75), pYellow, pOlive, 1);
    t.Headline(1, Centred, 400, QStringLiteral("Make a wish!"),
               Times(28).Italicised().Coloured(Purple));

    t.Headline(2, Centred, 150,
               QStringLiteral("Wishing you a birthday\nfull of laughter, cake\nand your favourite "
                              "people."),
               Times(20).Coloured(Navy));
    t.Line(2, 175, 310, 375, 310, pRed, 1);
    t.TextFrame(2, Box(75, 380, 400, 190));
    t.Headline(2, 100, 600, QStringLiteral("With love,"), Times(20).Italicised().LeftAligned());
    t.TextFrame(2, Box(100, 650, 350, 120));

    t.Ellipse(3, Box(260, 680, 30, 36), pRed, pMaroon, 1);
    t.Headline(3, Centred, 750, QStringLiteral("Made especially for you"),
               Arial(10).Coloured(Gray));
}

void ThankYouFlowers(T& t, const TClipArt&) {
    t.Rectangle(0, Box(25, 25, 500, 800), pNone, pTeal, 3);
    t.Rectangle(0, Box(40, 40, 470, 770), pNone, pTeal, 1);
    Flower(t, 0, 150, 200, 60, pFuchsia, 220);
    Flower(t, 0, 275, 150, 70, pRed, 270);
    Flower(t, 0, 400, 210, 60, pPurple, 210);
    t.Headline(0, Centred, 540, QStringLiteral("Thank You"),
               Times(44).Bolded().Italicised().Coloured(Teal));
    t.Headline(0, Centred, 640, QStringLiteral("for everything"),
               Times(22).Italicised().Coloured(Gray));

    Flower(t, 1, 275, 330, 50, pFuchsia, 150);

    t.Headline(2, Centred, 170, QStringLiteral("Your kindness meant\nso much to me."),
               Times(22).Coloured(Teal));
    t.Line(2, 150, 300, 400, 300, pTeal, 1);
    t.TextFrame(2, Box(75, 340, 400, 260));
    t.Headline(2, 100, 630, QStringLiteral("Gratefully,"), Times(20).Italicised().LeftAligned());
    t.TextFrame(2, Box(100, 680, 350, 100));

    t.Ellipse(3, Box(255, 690, 40, 40), pFuchsia, pPurple, 1);
    t.Headline(3, Centred, 750, QStringLiteral("with thanks"),
               Times(11).Italicised().Coloured(Gray));
}

void GetWellSunshine(T& t, const TClipArt& art) {
    t.RoundedRectangle(0, Box(30, 30, 490, 790), pNone, pOlive, 2);
    // A sun: rays first, the disc over their inner ends.
    const int cx = 275, cy = 250;
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        t.Line(0, cx + int(std::lround(std::cos(a) * 100)),
               cy + int(std::lround(std::sin(a) * 100)), cx + int(std::lround(std::cos(a) * 170)),
               cy + int(std::lround(std::sin(a) * 170)), pOlive, 4);
    }
    t.Ellipse(0, Box(cx - 110, cy - 110, 220, 220), pYellow, pOlive, 3);
    t.Headline(0, Centred, 480, QStringLiteral("Get Well Soon!"),
               Arial(34).Bolded().Coloured(Rgb(0xD35400)).Shadowed(2, Rgb(0xF0C080)));
    t.Headline(0, Centred, 580, QStringLiteral("Sending a little sunshine your way"),
               Times(16).Italicised().Coloured(Gray));

    ClipArt(t, art, 2, Box(200, 60, 150, 150), "Flower");
    t.Headline(2, Centred, 250, QStringLiteral("Rest, relax\nand feel better soon."),
               Times(22).Coloured(Olive));
    t.TextFrame(2, Box(75, 400, 400, 250));
    t.Headline(2, 100, 680, QStringLiteral("Warm wishes,"), Times(20).Italicised().LeftAligned());

    t.Ellipse(3, Box(255, 690, 40, 40), pYellow, pOlive, 1);
    t.Headline(3, Centred, 750, QStringLiteral("Get well soon"), Arial(10).Coloured(Gray));
}

// Newsletters (one page, Letter, portrait).

void ClubNewsletter(T& t, const TClipArt&) {
    t.Rectangle(0, Box(40, 40, 770, 150), pNavy);
    t.Headline(0, Centred, 55, QStringLiteral("The Club Courier"),
               Times(40).Bolded().Coloured(White));
    t.Headline(0, Centred, 135, QStringLiteral("News and notes for our members"),
               Arial(14).Italicised().Coloured(White));
    t.Headline(0, 45, 198, QStringLiteral("Volume 1 · Issue 1 · Spring"),
               Arial(11).LeftAligned().Coloured(Gray));
    t.Line(0, 40, 228, 810, 228, pNavy, 2);
    t.Headline(0, 45, 245, QStringLiteral("Our Lead Story"),
               Arial(24).Bolded().LeftAligned().Coloured(Navy));
    // The story runs from the left column into the right one.
    TRichTextObject& left = t.TextFrame(0, Box(50, 300, 360, 730));
    TRichTextObject& right = t.TextFrame(0, Box(440, 300, 360, 510));
    left.SetSuccessor(&right);
    right.SetPredecessor(&left);
    t.Line(0, 425, 300, 425, 1030, pSilver, 1);
    t.Rectangle(0, Box(440, 830, 360, 200), pSilver);
    t.Headline(0, 455, 840, QStringLiteral("Upcoming Events"),
               Arial(16).Bolded().LeftAligned().Coloured(Navy));
    t.TextFrame(0, Box(455, 880, 330, 140));
    t.Line(0, 40, 1045, 810, 1045, pNavy, 1);
    t.Headline(0, Centred, 1052, QStringLiteral("The Club Courier · Page 1"),
               Arial(9).Coloured(Gray));
}

void FamilyNewsletter(T& t, const TClipArt&) {
    t.Headline(0, Centred, 45, QStringLiteral("News from the [Family Name] Family"),
               Times(30).Bolded().Coloured(Teal));
    t.Line(0, 50, 120, 800, 120, pTeal, 3);
    t.Line(0, 50, 130, 800, 130, pTeal, 1);
    t.Headline(0, Centred, 140, QStringLiteral("Our year in words and pictures"),
               Times(14).Italicised().Coloured(Gray));
    t.Rectangle(0, Box(50, 190, 360, 270), pSilver, pGray, 1);
    t.HeadlineIn(0, Box(50, 190, 360, 270), QStringLiteral("Place a photo here"),
                 Arial(14).Coloured(Gray));
    t.Headline(0, 50, 465, QStringLiteral("Photo caption"),
               Arial(10).Italicised().LeftAligned().Coloured(Gray));
    t.Headline(0, 440, 190, QStringLiteral("Hello from all of us!"),
               Arial(18).Bolded().LeftAligned().Coloured(Teal));
    TRichTextObject& first = t.TextFrame(0, Box(440, 235, 360, 225));
    t.Headline(0, 45, 510, QStringLiteral("Family Highlights"),
               Arial(18).Bolded().LeftAligned().Coloured(Teal));
    TRichTextObject& second = t.TextFrame(0, Box(50, 555, 360, 400));
    TRichTextObject& third = t.TextFrame(0, Box(440, 555, 360, 400));
    first.SetSuccessor(&second);
    second.SetPredecessor(&first);
    second.SetSuccessor(&third);
    third.SetPredecessor(&second);
    t.RoundedRectangle(0, Box(225, 980, 400, 70), pTeal);
    t.HeadlineIn(0, Box(225, 980, 400, 70), QStringLiteral("With love from all of us"),
                 Times(16).Italicised().Coloured(White));
}

// Flyers.

void YardSaleFlyer(T& t, const TClipArt&) {
    t.Rectangle(0, Box(40, 40, 770, 220), pYellow, pBlack, 3);
    t.HeadlineIn(0, Box(40, 40, 770, 220), QStringLiteral("YARD SALE"),
                 Arial(72).Bolded().Coloured(Red).Shadowed(3, Qt::black));
    t.Headline(0, Centred, 290, QStringLiteral("Saturday, May 10 · 8 am to 2 pm"),
               Arial(24).Bolded());
    t.Headline(0, Centred, 350, QStringLiteral("123 Elm Street"), Arial(28).Coloured(Red));
    t.Rectangle(0, Box(80, 430, 690, 370), pNone, pGray, 2);
    t.Headline(0, Centred, 445, QStringLiteral("Furniture · Toys · Books · Tools · Clothes"),
               Arial(18).Italicised().Coloured(Gray));
    t.TextFrame(0, Box(110, 500, 630, 280));
    // Tear-off tabs with the address, cut along the dashed lines.
    const int top = 850, bottom = 1060, left = 45, tab = 95;
    t.Line(0, left, top, left + 8 * tab, top, pGray, 1, 1);
    for (int i = 0; i <= 8; ++i)
        t.Line(0, left + i * tab, top, left + i * tab, bottom, pGray, 1, 1);
    for (int i = 0; i < 8; ++i)
        t.HeadlineIn(0, Box(left + i * tab, top, tab, bottom - top),
                     QStringLiteral("Yard Sale\n123 Elm Street"), Arial(9).Turned(tdUp));
}

void PartyInvitationFlyer(T& t, const TClipArt&) {
    t.Rectangle(0, Box(30, 30, 790, 1040), pNone, pPurple, 4);
    t.Ellipse(0, Box(175, 70, 500, 380), pYellow, pPurple, 3);
    t.HeadlineIn(0, Box(175, 70, 500, 380), QStringLiteral("You're\nInvited!"),
                 Times(48).Bolded().Italicised().Coloured(Purple));
    Confetti(t, 0,
             {{90, 100, pFuchsia},
              {720, 90, pAqua},
              {110, 360, pLime},
              {730, 330, pFuchsia},
              {80, 600, pYellow},
              {750, 620, pRed},
              {90, 980, pAqua},
              {740, 980, pLime}},
             30);
    t.Headline(0, Centred, 490, QStringLiteral("Summer Garden Party"),
               Arial(36).Bolded().Coloured(Rgb(0xAD1457)));
    t.RoundedRectangle(0, Box(145, 580, 560, 250), pSilver, pPurple, 2);
    t.Headline(0, 220, 620, QStringLiteral("Date:   Saturday, June 21"), Arial(20).LeftAligned());
    t.Headline(0, 220, 680, QStringLiteral("Time:   4 pm until late"), Arial(20).LeftAligned());
    t.Headline(0, 220, 740, QStringLiteral("Place:  The Old Orchard"), Arial(20).LeftAligned());
    t.TextFrame(0, Box(145, 860, 560, 120));
    t.Headline(0, Centred, 1000, QStringLiteral("Please reply by June 14"),
               Times(16).Italicised().Coloured(Purple));
}

// Certificates.

void CertificateOfAchievement(T& t, const TClipArt&) {
    t.Rectangle(0, Box(40, 40, 1020, 770), pNone, pNavy, 8);
    t.Rectangle(0, Box(70, 70, 960, 710), pNone, pOlive, 2);
    for (const QPoint& c : {QPoint(70, 70), QPoint(1030, 70), QPoint(70, 780), QPoint(1030, 780)})
        t.Ellipse(0, Box(c.x() - 15, c.y() - 15, 30, 30), pOlive);
    t.Headline(0, Centred, 110, QStringLiteral("Certificate of Achievement"),
               Times(40).Bolded().Coloured(Navy));
    t.Line(0, 300, 195, 800, 195, pOlive, 2);
    t.Headline(0, Centred, 225, QStringLiteral("This certificate is proudly presented to"),
               Times(18).Italicised());
    t.Headline(0, Centred, 285, QStringLiteral("[Recipient Name]"),
               Times(36).Bolded().Italicised().Coloured(Navy));
    t.Line(0, 250, 365, 850, 365, pGray, 1);
    t.Headline(0, Centred, 385,
               QStringLiteral("in recognition of outstanding effort and achievement"),
               Times(16).Italicised());
    t.Ellipse(0, Box(480, 450, 140, 140), pYellow, pOlive, 4);
    t.Ellipse(0, Box(500, 470, 100, 100), pNone, pOlive, 1);
    t.HeadlineIn(0, Box(480, 450, 140, 140), QStringLiteral("AWARD"),
                 Arial(12).Bolded().Coloured(Olive));
    SignatureLine(t, 0, 150, 450, 690, QStringLiteral("Signature"));
    SignatureLine(t, 0, 650, 950, 690, QStringLiteral("Date"));
}

void EmployeeOfTheMonth(T& t, const TClipArt& art) {
    t.Rectangle(0, Box(40, 40, 1020, 770), pNone, pMaroon, 6);
    t.Rectangle(0, Box(80, 80, 940, 690), pNone, pMaroon, 1);
    t.Rectangle(0, Box(80, 80, 940, 120), pMaroon);
    t.HeadlineIn(0, Box(80, 80, 940, 120), QStringLiteral("Employee of the Month"),
                 Times(36).Bolded().Coloured(White));
    t.Headline(0, Centred, 230, QStringLiteral("Presented to"), Times(18).Italicised());
    t.Headline(0, Centred, 280, QStringLiteral("[Employee Name]"),
               Times(40).Bolded().Coloured(Maroon));
    t.Headline(0, Centred, 370, QStringLiteral("[Month and Year]"), Arial(20).Coloured(Gray));
    ClipArt(t, art, 0, Box(490, 430, 120, 120), "Trophy");
    t.Headline(0, Centred, 575, QStringLiteral("Thank you for your dedication and hard work"),
               Times(18).Italicised());
    SignatureLine(t, 0, 180, 480, 690, QStringLiteral("Manager"));
    SignatureLine(t, 0, 620, 920, 690, QStringLiteral("Date"));
}

void CertificateOfCompletion(T& t, const TClipArt&) {
    t.Rectangle(0, Box(40, 40, 770, 1020), pNone, pNavy, 6);
    t.Rectangle(0, Box(70, 70, 710, 960), pNone, pTeal, 2);
    t.Headline(0, Centred, 130, QStringLiteral("Certificate\nof Completion"),
               Times(44).Bolded().Coloured(Teal));
    t.Line(0, 225, 330, 625, 330, pTeal, 2);
    t.Headline(0, Centred, 390, QStringLiteral("This is to certify that"), Times(18).Italicised());
    t.Headline(0, Centred, 445, QStringLiteral("[Name]"), Times(36).Bolded().Coloured(Navy));
    t.Line(0, 175, 525, 675, 525, pGray, 1);
    t.Headline(0, Centred, 550, QStringLiteral("has successfully completed"),
               Times(18).Italicised());
    t.Headline(0, Centred, 610, QStringLiteral("[Course Name]"), Arial(26).Bolded().Coloured(Teal));
    t.Ellipse(0, Box(355, 730, 140, 140), pTeal, pNavy, 3);
    t.Ellipse(0, Box(370, 745, 110, 110), pNone, pWhite, 1);
    t.HeadlineIn(0, Box(355, 730, 140, 140), QStringLiteral("COMPLETED"),
                 Arial(10).Bolded().Coloured(White));
    SignatureLine(t, 0, 120, 380, 950, QStringLiteral("Instructor"));
    SignatureLine(t, 0, 470, 730, 950, QStringLiteral("Date"));
}

void VolunteerAppreciation(T& t, const TClipArt& art) {
    t.Rectangle(0, Box(40, 40, 770, 1020), pNone, pPurple, 5);
    t.Rectangle(0, Box(70, 70, 710, 960), pNone, pFuchsia, 1);
    ClipArt(t, art, 0, Box(350, 120, 150, 150), "Star");
    t.Headline(0, Centred, 300, QStringLiteral("Certificate of Appreciation"),
               Times(32).Bolded().Coloured(Purple));
    t.Headline(0, Centred, 400, QStringLiteral("With heartfelt thanks to"), Times(18).Italicised());
    t.Headline(0, Centred, 460, QStringLiteral("[Volunteer Name]"),
               Times(34).Bolded().Italicised().Coloured(Purple));
    t.Line(0, 175, 535, 675, 535, pPurple, 1);
    t.Headline(0, Centred, 570,
               QStringLiteral("for the time, energy and care\nyou have given to our community"),
               Times(18));
    t.Ellipse(0, Box(395, 730, 60, 60), pPurple);
    t.Ellipse(0, Box(335, 745, 30, 30), pFuchsia);
    t.Ellipse(0, Box(485, 745, 30, 30), pFuchsia);
    SignatureLine(t, 0, 140, 400, 900, QStringLiteral("Coordinator"));
    SignatureLine(t, 0, 450, 710, 900, QStringLiteral("Date"));
}

// Letterheads.

void ClassicLetterhead(T& t, const TClipArt&) {
    t.Headline(0, Centred, 50, QStringLiteral("Your Company Name"),
               Times(32).Bolded().Coloured(Navy));
    t.Headline(0, Centred, 110, QStringLiteral("Quality service since 1990"),
               Times(14).Italicised().Coloured(Gray));
    t.Line(0, 60, 150, 790, 150, pNavy, 3);
    t.Line(0, 60, 158, 790, 158, pNavy, 1);
    t.TextFrame(0, Box(90, 210, 670, 770));
    t.Line(0, 60, 1005, 790, 1005, pNavy, 1);
    t.Headline(0, Centred, 1015,
               QStringLiteral("123 Main Street · Springfield · (555) 010-0100 · info@example.com"),
               Arial(10).Coloured(Gray));
}

void ModernLetterhead(T& t, const TClipArt&) {
    t.Rectangle(0, Box(40, 40, 60, 1020), pTeal);
    t.Rectangle(0, Box(40, 990, 60, 70), pNavy);
    t.Headline(0, 140, 50, QStringLiteral("Jordan Lee"),
               Arial(30).Bolded().LeftAligned().Coloured(Teal));
    t.Headline(0, 140, 110, QStringLiteral("Graphic Design & Illustration"),
               Arial(14).LeftAligned().Coloured(Gray));
    t.HeadlineRight(0, 790, 55, QStringLiteral("(555) 010-0123\njordan@example.com\nexample.com"),
                    Arial(10).RightAligned().Coloured(Gray));
    t.Line(0, 140, 180, 790, 180, pTeal, 1);
    t.TextFrame(0, Box(140, 220, 650, 800));
}

// Résumés.

void ChronologicalResume(T& t, const TClipArt&) {
    t.Headline(0, 70, 50, QStringLiteral("Your Name"), Arial(28).Bolded().LeftAligned());
    t.Headline(
        0, 70, 110,
        QStringLiteral("Street Address · City, State ZIP · (555) 010-0199 · you@example.com"),
        Arial(10).LeftAligned().Coloured(Gray));
    t.Line(0, 70, 145, 780, 145, pBlack, 2);
    struct TSection {
        const char* Title;
        int Top, Height;
    };
    const TSection sections[] = {{"Objective", 170, 70},
                                 {"Employment History", 300, 300},
                                 {"Education", 660, 140},
                                 {"Skills", 860, 150}};
    for (const TSection& s : sections) {
        t.Rectangle(0, Box(70, s.Top + 8, 10, 24), pNavy);
        t.Headline(0, 90, s.Top, QString::fromLatin1(s.Title),
                   Arial(16).Bolded().LeftAligned().Coloured(Navy));
        t.TextFrame(0, Box(110, s.Top + 45, 670, s.Height));
    }
}

void TwoColumnResume(T& t, const TClipArt&) {
    t.Rectangle(0, Box(40, 40, 250, 1020), pSilver);
    t.Headline(0, 60, 70, QStringLiteral("Your\nName"),
               Arial(26).Bolded().LeftAligned().Coloured(Navy));
    struct TSection {
        const char* Title;
        int Top, Height;
    };
    const TSection side[] = {{"Contact", 240, 160}, {"Skills", 460, 260}, {"Languages", 780, 200}};
    for (const TSection& s : side) {
        t.Headline(0, 60, s.Top, QString::fromLatin1(s.Title),
                   Arial(14).Bolded().LeftAligned().Coloured(Navy));
        t.Line(0, 60, s.Top + 35, 270, s.Top + 35, pNavy, 1);
        t.TextFrame(0, Box(60, s.Top + 45, 210, s.Height));
    }
    const TSection main[] = {
        {"Profile", 70, 120}, {"Experience", 250, 430}, {"Education", 740, 270}};
    for (const TSection& s : main) {
        t.Headline(0, 320, s.Top, QString::fromLatin1(s.Title),
                   Arial(18).Bolded().LeftAligned().Coloured(Navy));
        t.Line(0, 320, s.Top + 40, 810, s.Top + 40, pNavy, 2);
        t.TextFrame(0, Box(320, s.Top + 50, 490, s.Height));
    }
}

// Brochures (tri-fold: front cover 0, inside 1 to 3, inside flap 4, back cover 5).

void BusinessBrochure(T& t, const TClipArt& art) {
    const int w0 = t.Width(0);
    t.Rectangle(0, Box(20, 40, w0 - 40, 230), pTeal);
    t.HeadlineIn(0, Box(20, 50, w0 - 40, 140), QStringLiteral("Your Business"),
                 Times(28).Bolded().Coloured(White));
    t.HeadlineIn(0, Box(20, 180, w0 - 40, 70), QStringLiteral("Your tagline here"),
                 Times(14).Italicised().Coloured(White));
    ClipArt(t, art, 0, Box((w0 - 200) / 2, 340, 200, 200), "House");
    t.Headline(0, Centred, 620, QStringLiteral("Call today"), Arial(14).Coloured(Gray));
    t.Headline(0, Centred, 660, QStringLiteral("(555) 010-0123"),
               Arial(18).Bolded().Coloured(Teal));
    t.Rectangle(0, Box(20, 790, w0 - 40, 20), pTeal);

    const char* titles[] = {"Our Services", "Why Choose Us", "What Clients Say"};
    TRichTextObject* previous = nullptr;
    for (int p = 1; p <= 3; ++p) {
        const int w = t.Width(p);
        t.Rectangle(p, Box(20, 40, w - 40, 12), pTeal);
        t.Headline(p, Centred, 70, QString::fromLatin1(titles[p - 1]),
                   Arial(18).Bolded().Coloured(Teal));
        TRichTextObject& frame = t.TextFrame(p, Box(30, 130, w - 60, 660));
        if (previous) {
            previous->SetSuccessor(&frame);
            frame.SetPredecessor(previous);
        }
        previous = &frame;
    }

    const int w4 = t.Width(4);
    t.Headline(4, Centred, 70, QStringLiteral("About Us"), Arial(18).Bolded().Coloured(Teal));
    t.Line(4, 40, 120, w4 - 40, 120, pTeal, 1);
    t.TextFrame(4, Box(30, 140, w4 - 60, 650));

    const int w5 = t.Width(5);
    t.Headline(5, Centred, 70, QStringLiteral("Contact Us"), Arial(18).Bolded().Coloured(Teal));
    t.Headline(5, Centred, 130,
               QStringLiteral("123 Main Street\nSpringfield, ST 01234\n(555) 010-0123\n"
                              "hello@example.com"),
               Arial(11));
    t.Rectangle(5, Box(40, 330, w5 - 80, 250), pSilver, pGray, 1);
    t.HeadlineIn(5, Box(40, 330, w5 - 80, 250), QStringLiteral("Place a map here"),
                 Arial(11).Coloured(Gray));
    t.TextFrame(5, Box(30, 610, w5 - 60, 180));
}

void RestaurantMenu(T& t, const TClipArt&) {
    const int w0 = t.Width(0);
    t.Rectangle(0, Box(25, 30, w0 - 50, 790), pNone, pMaroon, 3);
    t.Headline(0, Centred, 90, QStringLiteral("The Corner\nBistro"),
               Times(30).Bolded().Coloured(Maroon));
    t.Line(0, 80, 230, w0 - 80, 230, pMaroon, 1);
    t.Headline(0, Centred, 250, QStringLiteral("Menu"), Times(40).Italicised().Coloured(Maroon));
    t.Ellipse(0, Box((w0 - 220) / 2, 400, 220, 220), pWhite, pMaroon, 3);
    t.Ellipse(0, Box((w0 - 160) / 2, 430, 160, 160), pNone, pSilver, 2);
    t.Headline(0, Centred, 700, QStringLiteral("Fresh · Local · Seasonal"),
               Times(13).Italicised().Coloured(Gray));

    const char* courses[] = {"Starters", "Main Courses", "Desserts"};
    for (int p = 1; p <= 3; ++p) {
        const int w = t.Width(p);
        t.Headline(p, Centred, 50, QString::fromLatin1(courses[p - 1]),
                   Times(24).Bolded().Coloured(Maroon));
        t.Line(p, 60, 110, w - 60, 110, pMaroon, 1);
        t.TextFrame(p, Box(30, 130, w - 60, 620));
        t.Ellipse(p, Box(w / 2 - 8, 780, 16, 16), pMaroon);
    }

    const int w4 = t.Width(4);
    t.Headline(4, Centred, 50, QStringLiteral("Opening Hours"),
               Times(22).Bolded().Coloured(Maroon));
    t.Line(4, 60, 105, w4 - 60, 105, pMaroon, 1);
    t.TextFrame(4, Box(30, 125, w4 - 60, 330));
    t.RoundedRectangle(4, Box(40, 500, w4 - 80, 200), pMaroon);
    t.HeadlineIn(4, Box(40, 500, w4 - 80, 200), QStringLiteral("Ask about our\ndaily specials"),
                 Times(16).Italicised().Coloured(White));

    t.Headline(5, Centred, 50, QStringLiteral("Reservations"), Times(22).Bolded().Coloured(Maroon));
    t.Headline(5, Centred, 120, QStringLiteral("(555) 010-0188"), Arial(16).Bolded());
    t.Headline(5, Centred, 180, QStringLiteral("42 Market Square\nSpringfield"), Arial(12));
    t.TextFrame(5, Box(30, 300, t.Width(5) - 60, 450));
}

// Posters (twice a Letter sheet each way).

void ConcertPoster(T& t, const TClipArt& art) {
    t.Rectangle(0, Box(60, 60, 1580, 2080), pNone, pPurple, 12);
    t.Headline(0, Centred, 180, QStringLiteral("SPRING CONCERT"),
               Arial(96).Bolded().Coloured(Purple).Shadowed(4, Rgb(0xC39BD3)));
    ClipArt(t, art, 0, Box(550, 430, 600, 600), "Music Notes");
    t.Headline(0, Centred, 1150, QStringLiteral("Friday, April 25 · 7 pm"), Arial(48).Bolded());
    t.Headline(0, Centred, 1270, QStringLiteral("Town Hall Auditorium"), Arial(40).Coloured(Gray));
    t.Rectangle(0, Box(250, 1450, 1200, 300), pPurple);
    t.HeadlineIn(0, Box(250, 1450, 1200, 300), QStringLiteral("Free admission · All welcome"),
                 Arial(48).Bolded().Coloured(White));
    t.TextFrame(0, Box(250, 1820, 1200, 250));
}

void NoticeSign(T& t, const TClipArt&) {
    t.RoundedRectangle(0, Box(80, 80, 1540, 2040), pNone, pRed, 16);
    t.Rectangle(0, Box(200, 260, 1300, 320), pRed);
    t.HeadlineIn(0, Box(200, 260, 1300, 320), QStringLiteral("NOTICE"),
                 Arial(120).Bolded().Coloured(White));
    t.Headline(0, Centred, 840, QStringLiteral("PLEASE KEEP\nTHIS DOOR\nCLOSED"),
               Arial(110).Bolded());
    t.Line(0, 300, 1700, 1400, 1700, pGray, 4);
    t.Headline(0, Centred, 1760, QStringLiteral("Thank you"),
               Times(60).Italicised().Coloured(Gray));
}

// Business cards (3.5 x 2 in).

void ClassicBusinessCard(T& t, const TClipArt&) {
    t.Rectangle(0, Box(290, 25, 35, 35), pNavy);
    t.Headline(0, 20, 20, QStringLiteral("Your Name"), Arial(14).Bolded().LeftAligned());
    t.Headline(0, 20, 50, QStringLiteral("Job Title"),
               Arial(9).Italicised().LeftAligned().Coloured(Gray));
    t.Line(0, 20, 92, 330, 92, pNavy, 1);
    t.Headline(0, 20, 100, QStringLiteral("Company Name"),
               Arial(10).Bolded().LeftAligned().Coloured(Navy));
    t.Headline(0, 20, 125,
               QStringLiteral("(555) 010-0123 · you@example.com\n123 Main Street, Springfield"),
               Arial(7).LeftAligned());
}

void BoldBusinessCard(T& t, const TClipArt&) {
    t.Rectangle(0, Box(0, 0, 110, 200), pTeal);
    t.Ellipse(0, Box(20, 65, 70, 70), pWhite);
    t.HeadlineIn(0, Box(20, 65, 70, 70), QStringLiteral("YN"), Arial(16).Bolded().Coloured(Teal));
    t.Headline(0, 125, 25, QStringLiteral("Your Name"), Arial(13).Bolded().LeftAligned());
    t.Headline(0, 125, 55, QStringLiteral("Job Title"), Arial(8).LeftAligned().Coloured(Gray));
    t.Line(0, 125, 88, 330, 88, pTeal, 2);
    t.Headline(0, 125, 100, QStringLiteral("(555) 010-0123\nyou@example.com\nexample.com"),
               Arial(7).LeftAligned());
}

// Envelopes (No. 10, 9.5 x 4.125 in).

void StampBox(T& t, int x, int y, int w, int h) {
    t.Line(0, x, y, x + w, y, pGray, 1, 2);
    t.Line(0, x + w, y, x + w, y + h, pGray, 1, 2);
    t.Line(0, x + w, y + h, x, y + h, pGray, 1, 2);
    t.Line(0, x, y + h, x, y, pGray, 1, 2);
    t.HeadlineIn(0, Box(x, y, w, h), QStringLiteral("PLACE\nSTAMP\nHERE"), Arial(7).Coloured(Gray));
}

void BusinessEnvelope(T& t, const TClipArt&) {
    t.Rectangle(0, Box(30, 35, 8, 70), pNavy);
    t.Headline(0, 45, 30,
               QStringLiteral("Your Company Name\n123 Main Street\nSpringfield, ST 01234"),
               Arial(10).LeftAligned());
    t.Line(0, 30, 118, 330, 118, pNavy, 1);
    StampBox(t, 810, 30, 100, 120);
    t.Headline(0, 400, 190, QStringLiteral("Recipient Name\nStreet Address\nCity, State ZIP"),
               Arial(12).LeftAligned());
    t.Rectangle(0, Box(30, 370, 890, 8), pNavy);
}

void CelebrationEnvelope(T& t, const TClipArt& art) {
    ClipArt(t, art, 0, Box(30, 30, 80, 80), "Balloons");
    t.Headline(0, 120, 35, QStringLiteral("Your Name\nYour Street\nYour Town, ST 01234"),
               Times(10).Italicised().LeftAligned());
    StampBox(t, 810, 30, 100, 120);
    t.Headline(0, 380, 170, QStringLiteral("Recipient Name\nStreet Address\nCity, State ZIP"),
               Times(14).Italicised().LeftAligned().Coloured(Purple));
    const int colours[] = {pRed, pYellow, pBlue, pFuchsia, pLime, pAqua};
    for (int i = 0; i < 22; ++i)
        t.Ellipse(0, Box(40 + i * 40, 360, 24, 24), colours[i % 6]);
}

// Forms.

// A caption to the left of a field, ending where the field starts.
void Caption(T& t, int fieldX, int y, const QString& text, bool bold = false) {
    TTextStyle style = Arial(11).RightAligned();
    if (bold) style.Bolded();
    t.HeadlineRight(0, fieldX - 10, y, text, style);
}

void OrderForm(T& t, const TClipArt&) {
    t.Rectangle(0, Box(40, 40, 770, 90), pNavy);
    t.HeadlineIn(0, Box(40, 40, 770, 90), QStringLiteral("ORDER FORM"),
                 Arial(28).Bolded().Coloured(White));
    t.Headline(0, Centred, 140, QStringLiteral("Your Company · 123 Main Street · (555) 010-0123"),
               Arial(10).Coloured(Gray));
    Caption(t, 170, 195, QStringLiteral("Name:"));
    t.Field(0, 170, 190, 630, QStringLiteral("Customer"));
    Caption(t, 170, 235, QStringLiteral("Address:"));
    t.Field(0, 170, 230, 630, QStringLiteral("Address"));
    Caption(t, 170, 275, QStringLiteral("City, ZIP:"));
    t.Field(0, 170, 270, 630, QStringLiteral("City"));
    Caption(t, 170, 315, QStringLiteral("Phone:"));
    t.Field(0, 170, 310, 250, QStringLiteral("Phone"));
    Caption(t, 550, 315, QStringLiteral("Date:"));
    t.Field(0, 550, 310, 250, QStringLiteral("Date"));

    t.Rectangle(0, Box(50, 370, 750, 34), pSilver);
    const TTextStyle head = Arial(11).Bolded().LeftAligned();
    t.Headline(0, 55, 373, QStringLiteral("Item"), head);
    t.Headline(0, 475, 373, QStringLiteral("Qty"), head);
    t.Headline(0, 565, 373, QStringLiteral("Price"), head);
    t.Headline(0, 685, 373, QStringLiteral("Amount"), head);
    QStringList amounts;
    for (int row = 1; row <= 8; ++row) {
        const int y = 370 + row * 40;
        const QString n = QString::number(row);
        t.Field(0, 50, y, 410, QStringLiteral("Item") + n);
        t.Field(0, 470, y, 80, QStringLiteral("Qty") + n).Justification = TFieldObject::jRight;
        t.Field(0, 560, y, 110, QStringLiteral("Price") + n, QString(), 2);
        t.Field(0, 680, y, 120, QStringLiteral("Amount") + n,
                QStringLiteral("{Qty%1}*{Price%1}").arg(n), 2);
        amounts << QStringLiteral("{Amount%1}").arg(n);
    }
    Caption(t, 680, 745, QStringLiteral("Subtotal"));
    t.Field(0, 680, 740, 120, QStringLiteral("Subtotal"), amounts.join(QLatin1Char('+')), 2);
    Caption(t, 560, 785, QStringLiteral("Tax rate (%)"));
    t.Field(0, 560, 780, 110, QStringLiteral("TaxRate"), QString(), 2);
    t.Field(0, 680, 780, 120, QStringLiteral("Tax"), QStringLiteral("{Subtotal}*{TaxRate}/100"), 2);
    Caption(t, 680, 825, QStringLiteral("Total"), true);
    TFieldObject& total =
        t.Field(0, 680, 820, 120, QStringLiteral("Total"), QStringLiteral("{Subtotal}+{Tax}"), 2);
    total.Font.Bold = true;
    total.BorderSize = 2;

    t.Headline(0, 45, 880, QStringLiteral("Notes:"), Arial(11).Bolded().LeftAligned());
    t.Rectangle(0, Box(50, 915, 750, 130), pNone, pGray, 1);
    t.TextFrame(0, Box(60, 925, 730, 110));
}

void ExpenseReport(T& t, const TClipArt&) {
    t.Headline(0, 45, 40, QStringLiteral("Expense Report"),
               Arial(28).Bolded().LeftAligned().Coloured(Teal));
    t.Line(0, 50, 105, 800, 105, pTeal, 3);
    Caption(t, 190, 135, QStringLiteral("Employee:"));
    t.Field(0, 190, 130, 310, QStringLiteral("Employee"));
    Caption(t, 620, 135, QStringLiteral("Period:"));
    t.Field(0, 620, 130, 180, QStringLiteral("Period"));
    Caption(t, 190, 175, QStringLiteral("Department:"));
    t.Field(0, 190, 170, 310, QStringLiteral("Department"));

    t.Rectangle(0, Box(50, 230, 750, 34), pTeal);
    const TTextStyle head = Arial(11).Bolded().LeftAligned().Coloured(White);
    t.Headline(0, 55, 233, QStringLiteral("Date"), head);
    t.Headline(0, 175, 233, QStringLiteral("Description"), head);
    t.Headline(0, 505, 233, QStringLiteral("Category"), head);
    t.Headline(0, 685, 233, QStringLiteral("Amount"), head);
    QStringList amounts;
    for (int row = 1; row <= 10; ++row) {
        const int y = 230 + row * 40;
        const QString n = QString::number(row);
        t.Field(0, 50, y, 110, QStringLiteral("Date") + n);
        t.Field(0, 170, y, 320, QStringLiteral("Description") + n);
        t.Field(0, 500, y, 170, QStringLiteral("Category") + n);
        t.Field(0, 680, y, 120, QStringLiteral("Expense") + n, QString(), 2);
        amounts << QStringLiteral("{Expense%1}").arg(n);
    }
    Caption(t, 680, 685, QStringLiteral("Total expenses"), true);
    t.Field(0, 680, 680, 120, QStringLiteral("Expenses"), amounts.join(QLatin1Char('+')), 2)
        .Font.Bold = true;
    Caption(t, 680, 725, QStringLiteral("Less advance"));
    t.Field(0, 680, 720, 120, QStringLiteral("Advance"), QString(), 2);
    Caption(t, 680, 765, QStringLiteral("Amount due"), true);
    TFieldObject& due = t.Field(0, 680, 760, 120, QStringLiteral("AmountDue"),
                                QStringLiteral("{Expenses}-{Advance}"), 2);
    due.Font.Bold = true;
    due.BorderSize = 2;

    SignatureLine(t, 0, 60, 380, 900, QStringLiteral("Employee signature"));
    SignatureLine(t, 0, 470, 790, 900, QStringLiteral("Approved by"));
}

} // namespace

const std::vector<TShippedTemplate>& ShippedTemplates() {
    static const std::vector<TShippedTemplate> templates = {
        {"Birthday Balloons", 0,
         "Birthday card with balloons on the front and room for your own message inside",
         &BirthdayBalloons},
        {"Thank You Flowers", 0, "Thank-you card with a bunch of flowers and a note inside",
         &ThankYouFlowers},
        {"Get Well Sunshine", 0, "Get-well card with a smiling sun and warm wishes inside",
         &GetWellSunshine},
        {"Club Newsletter", 1,
         "Club newsletter with a masthead, a story in two linked columns and an events box",
         &ClubNewsletter},
        {"Family Newsletter", 1,
         "Family newsletter with a photo spot and linked text frames for your news",
         &FamilyNewsletter},
        {"Yard Sale Flyer", 2, "Yard sale flyer with date, place and tear-off address tabs",
         &YardSaleFlyer},
        {"Party Invitation Flyer", 2, "Party invitation with date, time and place",
         &PartyInvitationFlyer},
        {"Certificate of Achievement", 3,
         "Formal achievement certificate with a seal and two signature lines",
         &CertificateOfAchievement},
        {"Employee of the Month", 3, "Employee of the month award with a trophy",
         &EmployeeOfTheMonth},
        {"Certificate of Completion", 4,
         "Certificate of completion for a course, with a seal and signatures",
         &CertificateOfCompletion},
        {"Volunteer Appreciation", 4, "Certificate of appreciation for a volunteer, with a star",
         &VolunteerAppreciation},
        {"Classic Letterhead", 5, "Classic letterhead with a centred name and an address footer",
         &ClassicLetterhead},
        {"Modern Letterhead", 5, "Modern letterhead with a coloured side bar and contact details",
         &ModernLetterhead},
        {"Chronological Resume", 6,
         "Résumé with objective, employment history, education and skills", &ChronologicalResume},
        {"Two Column Resume", 6, "Two-column résumé with a side bar for contact and skills",
         &TwoColumnResume},
        {"Business Brochure", 7,
         "Tri-fold brochure for a business: cover, services, about us and contact panels",
         &BusinessBrochure},
        {"Restaurant Menu", 7, "Tri-fold restaurant menu with starters, main courses and desserts",
         &RestaurantMenu},
        {"Concert Poster", 8, "Concert poster with music notes and the event details",
         &ConcertPoster},
        {"Notice Sign", 8, "Notice sign: please keep this door closed", &NoticeSign},
        {"Classic Business Card", 9, "Classic business card with name, title and contact lines",
         &ClassicBusinessCard},
        {"Bold Business Card", 9, "Business card with a coloured band and your initials",
         &BoldBusinessCard},
        {"Business Envelope", 11, "Business envelope with return address and stamp box",
         &BusinessEnvelope},
        {"Celebration Envelope", 11, "Envelope for invitations and cards, with balloons and dots",
         &CelebrationEnvelope},
        {"Order Form", 13,
         "Order form with customer fields, eight item lines and computed amounts, tax and total",
         &OrderForm},
        {"Expense Report", 13, "Expense report with ten lines, a computed total and amount due",
         &ExpenseReport},
    };
    return templates;
}
