#include "objects/WizardCard.h"

#include "document/AppContext.h"
#include "document/Card.h"
#include "document/Units.h"
#include "objects/Headline.h"
#include "objects/Picture.h"
#include "objects/RichText.h"

#include <QDir>
#include <QFontMetrics>

#include <algorithm>

namespace {

constexpr THeadlineAlignment Left = haLeft, Centred = haCentre;
constexpr int Bold = 1, Underlined = 4;
constexpr int White = 15;

bool Filled(const QString& text) {
    return !text.trimmed().isEmpty();
}

// Multi-line fields give LF; headline text keeps its lines apart with CR LF.
QString HeadlineLines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

struct THeadlineStyle {
    int Size = 36;
    THeadlineAlignment Align = Centred;
    bool CentreH = false;
    bool CentreV = false;
    quint16 Border = 0;
    int Style = 0;
    const char* Font = "Arial";
};

// Black, without shadow, transparent, blank lines dropped; "<field>" codes read the table.
THeadlineObject* MakeHeadline(const QString& text, const THeadlineStyle& s) {
    THeadlineObject* headline = THeadlineObject::CreateForWizard(
        s.CentreH, true, 0, s.Align, HeadlineLines(text), s.Style, 0, s.Size,
        QString::fromLatin1(s.Font), s.Border, true, White, s.CentreV);
    headline->ScanPlaceholders();
    headline->RefreshText();
    return headline;
}

// The page-21 border as the headline stores it: size in the high byte, colour in the low.
quint16 BorderOf(const TWizardAnswers& a) {
    return quint16((std::clamp(a.BorderSize, 0, 255) << 8) | (std::clamp(a.BorderColor, 0, 255)));
}

bool UsesBorder(int documentType) {
    return documentType == dtBusinessCard || IsLabelType(documentType) ||
           IsBannerType(documentType);
}

bool IsTrifold(int format) {
    return format == cfTrifoldVertical || format == cfTrifoldHorizontal;
}

bool IsFolded(int format) {
    return (format >= cfBifoldVertical && format <= cfQuadfoldHorizontal) ||
           format == cfNcrQuarterFoldVertical || format == cfNcrQuarterFoldHorizontal;
}

bool IsCertificate(int format) {
    return format == cfCertificateLandscape || format == cfCertificatePortrait;
}

class TRecipe {
public:
    TRecipe(TCard& card, const TWizardAnswers& answers, quint16 border)
        : FCard(card), A(answers), FBorder(border) {}

    TCardPanel* Panel(int index) const {
        TCardPage* page = FCard.PageCount() > 0 ? FCard.Pages(0) : nullptr;
        return page && index < page->PanelCount() ? page->Panels(index) : nullptr;
    }
    int Height(int panel) const { return Panel(panel) ? Panel(panel)->Height : 0; }

    // Places the text as a headline unless the field was left empty; the headline placed.
    THeadlineObject* Text(const QString& text, int panel, int x, int y, THeadlineStyle style) {
        if (!Filled(text)) return nullptr;
        return Place(MakeHeadline(text, style), panel, x, y);
    }
    THeadlineObject* Bordered(const QString& text, int panel, int x, int y, THeadlineStyle style) {
        style.Border = FBorder;
        return Text(text, panel, x, y, style);
    }
    void Picture(int panel, int x, int y, bool centreH, bool centreV) {
        if (A.PictureFile.isEmpty()) return;
        auto* picture = new TPictureObject(centreH, centreV);
        try {
            picture->SetGraphic(LoadPictureFile(A.PictureFile));
        } catch (...) {
            delete picture;
            throw;
        }
        Place(picture, panel, x, y);
    }
    template <typename T> T* Place(T* object, int panel, int x, int y) {
        TCardPanel* target = Panel(panel);
        if (!target) {
            delete object;
            return nullptr;
        }
        PlaceObject(*target, object, x, y);
        return object;
    }

    TCard& FCard;
    const TWizardAnswers& A;
    quint16 FBorder;
};

void GreetingCard(TRecipe& r, int format) {
    const TWizardAnswers& a = r.A;
    const THeadlineStyle big{36};
    r.Text(a.OutsideText, 0, 50, IsCertificate(format) ? r.Height(0) / 3 : r.Height(0) / 2, big);
    if (IsFolded(format)) {
        THeadlineStyle middle = big;
        middle.CentreV = true;
        r.Text(a.InsideLeftText, 1, 50, 0, middle);
        const int right = IsTrifold(format) ? 4 : 2;
        r.Text(a.InsideRightText, right, 50, r.Height(right) / 3, big);
    }
    const int from = IsTrifold(format) ? 4 : IsCertificate(format) ? 0 : 2;
    r.Text(a.FromText, from, 50, 2 * r.Height(from) / 3, {18});
}

void Certificate(TRecipe& r, bool pictureCentredVertically) {
    const TWizardAnswers& a = r.A;
    r.Text(a.MainText, 0, 50, r.Height(0) / 3, {36});
    r.Text(a.SecondaryText, 0, 50, 2 * r.Height(0) / 3, {18});
    r.Picture(0, 50, 50, !pictureCentredVertically, pictureCentredVertically);
}

QString JoinLines(std::initializer_list<QString> lines) {
    QStringList list;
    for (const QString& line : lines)
        list.append(line);
    return list.join(QStringLiteral("\r\n"));
}

void Letterhead(TRecipe& r) {
    const TWizardAnswers& a = r.A;
    r.Text(a.CompanyName, 0, 50, 50, {36});
    if (Filled(a.Address1))
        r.Text(JoinLines({a.Address1, a.Address2, a.Phone}), 0, 50, a.AddressAtBottom ? 950 : 125,
               {18});
}

void BusinessCard(TRecipe& r) {
    const TWizardAnswers& a = r.A;
    const QString text = JoinLines(
        {a.CardName, a.CardTitle, a.CardCompany, a.CardAddress1, a.CardAddress2, a.CardPhone});
    THeadlineStyle style{10};
    style.CentreH = style.CentreV = true;
    r.Bordered(text, 0, 50, 0, style);
}

void Envelope(TRecipe& r) {
    const TWizardAnswers& a = r.A;
    r.Text(a.ReturnAddress, 0, 50, 25, {10, Left});
    THeadlineStyle mailing{10, Left};
    mailing.CentreH = true;
    // The headline's box is as wide as its longest line; centring then puts it mid-envelope.
    r.Text(a.MailingAddress, 0, 0, 200, mailing);
}

void Resume(TRecipe& r) {
    const TWizardAnswers& a = r.A;
    const int step = ResumeStep(a);
    int y = 150;
    if (THeadlineObject* name = r.Text(a.ResumeName, 0, 150, 150, {20, Left, false, false, 0, Bold}))
        y += name->Bounds.Height();
    const THeadlineStyle body{12, Left, false, false, 0, 0, "Times New Roman"};
    if (r.Text(a.ResumeAddress, 0, 150, y, body)) y += step;

    auto title = [&](const QString& text) -> int {
        if (text.isEmpty()) return 0;
        THeadlineStyle style{16, Left, false, false, 0, Bold | Underlined};
        QString shown = text;
        int x = 100;
        switch (a.TitleFormatting) {
        case 1: {
            // A column 200 wide at the left: a long title wraps within it.
            TFontSpec font;
            font.Size = style.Size;
            font.SetStyleBits(style.Style);
            shown = WrapText(text, font.ToQFont(ScreenPixelsPerInch()), UnitsToScreen(200));
            break;
        }
        case 2:
            x = 0;
            style.Align = Centred;
            style.CentreH = true;
            break;
        }
        THeadlineObject* placed = r.Text(shown, 0, x, y, style);
        return placed ? placed->Bounds.Height() : 0;
    };

    struct TBox {
        QString Title, Text;
    };
    std::vector<TBox> boxes;
    boxes.push_back({a.ObjectiveChoice == 1 ? QStringLiteral("Summary:") : QStringLiteral("Objective:"),
                     a.ObjectiveText});
    for (int section = 1; section <= 4; ++section)
        boxes.push_back({ResumeSectionTitle(ResumeSectionNames(a.ResumeType, section),
                                            a.SectionChecks[size_t(section - 1)]),
                         a.SectionTexts[size_t(section - 1)]});
    for (const TBox& box : boxes) {
        if (!Filled(box.Text)) continue;
        const int titleHeight = title(box.Title);
        r.Text(box.Text, 0, 150, y + titleHeight, body);
        y += step;
    }
}

} // namespace

void PlaceObject(TCardPanel& panel, TCardObject* object, int x, int y) {
    panel.AddObject(object);
    if (auto* picture = dynamic_cast<TPictureObject*>(object)) {
        picture->Bounds = {x, y, x + TCardObject::MinimumSize, y + TCardObject::MinimumSize};
        picture->RestoreOriginalSize();
    } else {
        object->SetBounds({x, y, panel.Width - x, panel.Height - panel.ClipBottom});
    }
    object->Realign();
}

int BannerTextWidth(const QString& text) {
    TFontSpec font;
    font.Name = QStringLiteral("Arial");
    font.Size = 500;
    const QFontMetrics metrics(font.ToQFont(ScreenPixelsPerInch()));
    return metrics.horizontalAdvance(text + QLatin1Char('l'));
}

void ApplyWizardGeometry(TCard& card, const TWizardAnswers& answers) {
    if (IsLabelFormat(card.CardFormat) && answers.LabelStock) {
        card.ComputeSheetGeometry({&answers.LabelStock->Stock, std::nullopt});
    } else if (IsBannerFormat(card.CardFormat)) {
        const TAppContext& context = AppContext();
        const TPrinterMargins margins = context.PrinterMargins(true);
        const int width = PaperSize(true, context.Metric).width();
        // The border the banner's headline will draw (the headline keeps it within its range).
        THeadlineText probe;
        probe.SetBorderSize(answers.BorderSize);
        // The printer's pixels are taken as hundredths of an inch: the printable width then
        // converts to the banner's unit without rounding.
        const TBannerMeasure measure{BannerTextWidth(answers.BannerText),
                                     probe.BorderSize(),
                                     ScreenPixelsPerInch(),
                                     width - margins.Left - margins.Right,
                                     100,
                                     margins.Left,
                                     margins.Right};
        card.ComputeSheetGeometry({nullptr, measure});
    } else {
        return;
    }
    if (card.PageCount() > 0 && card.Pages(0)) card.LayoutPage(*card.Pages(0));
}

int ResumeStep(const TWizardAnswers& a) {
    int filled = (Filled(a.ResumeAddress) ? 1 : 0) + (Filled(a.ObjectiveText) ? 1 : 0);
    for (const QString& text : a.SectionTexts)
        filled += Filled(text) ? 1 : 0;
    return filled > 0 ? 800 / filled : 800;
}

std::unique_ptr<TCard> BuildWizardCard(int documentType, const TWizardAnswers& answers) {
    const int format = WizardCardFormat(documentType, answers.GreetingFold, answers.BrochureFold,
                                        answers.BusinessCardChoice);
    if (!CardFormatInfo(format)) return nullptr;
    auto card = std::make_unique<TCard>(format, documentType);
    ApplyWizardGeometry(*card, answers);

    // Centring asks each object's panel, found through the open documents.
    struct TOpenWhileBuilding {
        TCard* Card;
        explicit TOpenWhileBuilding(TCard* card) : Card(card) { AppContext().AddOpenCard(card); }
        ~TOpenWhileBuilding() { AppContext().RemoveOpenCard(Card); }
    } open(card.get());

    TRecipe r(*card, answers, UsesBorder(documentType) ? BorderOf(answers) : 0);
    const TWizardAnswers& a = answers;
    int recipe = documentType;
    if (documentType == dtNcrHalfFoldCard || documentType == dtNcrQuarterFoldCard)
        recipe = dtGreetingCard;
    if (documentType == dtNcrPictureCard)
        recipe = card->PortraitPaper ? dtCertificateLandscape : dtCertificatePortrait;
    switch (recipe) {
    case dtGreetingCard:
        GreetingCard(r, format);
        break;
    case dtNewsletter:
        r.Text(a.Headline, 0, 50, 50, {36});
        r.Place(TRichTextObject::CreateDefault(), 0, 50, 150);
        break;
    case dtFlyer:
        r.Text(a.Headline, 0, 50, 150, {36});
        r.Picture(0, 50, 250, true, false);
        r.Text(a.Text, 0, 50, 800, {18});
        break;
    case dtCertificateLandscape:
        Certificate(r, true);
        break;
    case dtCertificatePortrait:
        Certificate(r, false);
        break;
    case dtLetterhead:
        Letterhead(r);
        break;
    case dtResume:
        Resume(r);
        break;
    case dtPoster:
        r.Text(a.Headline, 0, 50, 300, {72});
        r.Picture(0, 50, 500, true, false);
        r.Text(a.Text, 0, 50, 1600, {36});
        break;
    case dtBusinessCard:
        BusinessCard(r);
        break;
    case dtLabel: {
        THeadlineStyle style{10};
        style.CentreH = style.CentreV = true;
        r.Bordered(WizardLabelText(a), 0, 50, 0, style);
        break;
    }
    case dtEnvelope:
        Envelope(r);
        break;
    case dtBanner: {
        THeadlineStyle style{500};
        style.CentreH = style.CentreV = true;
        r.Bordered(a.BannerText, 0, 50, 0, style);
        break;
    }
    }

    if (recipe == dtLabel) {
        if (a.UseAddressBook)
            card->SetDataSource(TCard::AddressBookTableName);
        else if (!a.TableName.isEmpty())
            card->SetDataSource(QDir(a.TableFolder).filePath(a.TableName));
        card->BindDatabaseTexts();
    }
    card->DocumentModified = true;
    return card;
}

void ChangeLabelStock(TCard& card, const TWizardAnswers& answers) {
    if (!IsLabelFormat(card.CardFormat) || !answers.LabelStock) return;
    ApplyWizardGeometry(card, answers);
    if (answers.LabelsDifferent) {
        if (answers.UseAddressBook)
            card.SetDataSource(TCard::AddressBookTableName);
        else if (!answers.TableName.isEmpty())
            card.SetDataSource(QDir(answers.TableFolder).filePath(answers.TableName));
        card.BindDatabaseTexts();
    }
    card.DocumentModified = true;
}
