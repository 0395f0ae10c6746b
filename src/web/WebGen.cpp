#include "web/WebGen.h"

#include "document/Card.h"
#include "document/CardObject.h"
#include "storage/AtomicFile.h"
#include "storage/Exception.h"
#include "types/CardType.h"
#include "web/JpegWriter.h"
#include "web/PanelPicture.h"

#include <QDir>

namespace {

// One pixel per 1/100 inch: the panel's size in document units is the picture's in pixels.
constexpr int WebPictureDpi = 100;

// Titles and targets come from the user: quoted so that a "<" or a quote cannot end the
// element or attribute early. Browsers read the entities back, so links work as entered.
QString Quoted(const QString& text) {
    return text.toHtmlEscaped();
}

} // namespace

QString TWebPageGenerator::MainPageNameText(int index) {
    return index == 1 ? QStringLiteral("default") : QStringLiteral("index");
}

QString TWebPageGenerator::HtmlExtensionText(int index) {
    return index == 1 ? QStringLiteral("html") : QStringLiteral("htm");
}

QString TWebPageGenerator::MainPageFile() const {
    return QStringLiteral("%1.%2").arg(MainPageNameText(MainPageName),
                                       HtmlExtensionText(HtmlExtension));
}

QString TWebPageGenerator::PageFile(int pageNumber) const {
    if (pageNumber <= 1) return MainPageFile();
    return QStringLiteral("Page%1.%2").arg(pageNumber).arg(HtmlExtensionText(HtmlExtension));
}

QString TWebPageGenerator::ImageFile(int pageNumber) {
    return QStringLiteral("Image%1.jpg").arg(pageNumber);
}

std::vector<const TCardPanel*> TWebPageGenerator::WebPanels(const TCard& card, int currentPage) {
    std::vector<const TCardPanel*> panels;
    if (IsFoldedFormat(card.CardFormat)) {
        if (const TCardPage* page = card.Pages(currentPage))
            for (int i = 0; i < page->PanelCount(); ++i) panels.push_back(page->Panels(i));
        return panels;
    }
    for (int p = 0; p < card.PageCount(); ++p) {
        const TCardPage* page = card.Pages(p);
        if (page && page->PanelCount() > 0) panels.push_back(page->Panels(0));
    }
    return panels;
}

QImage TWebPageGenerator::RenderPanel(const TCardPanel& panel) {
    return PaintPanelPicture(panel, WebPictureDpi);
}

QStringList TWebPageGenerator::MapEntries(const TCardPanel& panel, int pageNumber,
                                          int pageCount) const {
    QStringList entries;
    for (int i = 0; i < panel.Count(); ++i) {
        const TCardObject* object = panel.Items(i);
        if (!object || object->LinkType == ltNone) continue;
        QString target;
        switch (object->LinkType) {
        case ltAddress:
        case ltEmail:
        case ltFile: target = object->LinkTarget; break;
        case ltPreviousPage: target = PageFile(pageNumber < 3 ? 1 : pageNumber - 1); break;
        case ltNextPage: target = PageFile(pageNumber + 1); break;
        case ltFirstPage: target = MainPageFile(); break;
        case ltLastPage: target = PageFile(pageCount); break;
        case ltPage: {
            // A number names its page's file; other text is kept as the page's name.
            const QString page = object->LinkTarget.trimmed();
            bool ok = false;
            const int number = page.toInt(&ok);
            target = ok ? PageFile(number)
                        : QStringLiteral("Page%1.%2").arg(page, HtmlExtensionText(HtmlExtension));
            break;
        }
        default: continue; // a kind this version does not know links nowhere
        }
        const TRect& r = object->Bounds;
        entries << QStringLiteral("%1,%2,%3,%4|%5")
                       .arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom).arg(target);
    }
    return entries;
}

QStringList TWebPageGenerator::HtmlLines(const QString& title, const QString& imageFile,
                                         const QStringList& mapEntries) const {
    QStringList lines{QStringLiteral("<HTML>"), QStringLiteral("<HEAD>"),
                      QStringLiteral("<TITLE>%1</TITLE>").arg(Quoted(title)),
                      QStringLiteral("</HEAD>"), QStringLiteral("<BODY>"),
                      QStringLiteral("<IMG src=\"%1\" usemap=\"#map1\" alt=\"%1\" border=0>")
                          .arg(Quoted(imageFile))};
    if (!mapEntries.isEmpty()) {
        lines << QStringLiteral("<MAP name=\"map1\">");
        for (const QString& entry : mapEntries) {
            const qsizetype bar = entry.indexOf(QLatin1Char('|'));
            const QString target = Quoted(entry.mid(bar + 1));
            lines << QStringLiteral("<AREA shape=\"rect\" coords=\"%1\" alt=\"%2\" href=\"%2\">")
                         .arg(entry.left(bar), target);
        }
        lines << QStringLiteral("</MAP>");
    }
    lines << QStringLiteral("</BODY>") << QStringLiteral("</HTML>");
    return lines;
}

TWebPublishResult TWebPageGenerator::Publish(const TCard& card, int currentPage,
                                             const QString& folder) const {
    if (!QDir().mkpath(folder))
        throw Exception(QStringLiteral("Unable to create the folder %1.").arg(folder));
    const QDir dir(folder);
    const QString title = PageTitle.value_or(card.Description);
    const std::vector<const TCardPanel*> panels = WebPanels(card, currentPage);
    const int count = int(panels.size());
    TWebPublishResult result;
    for (int n = 1; n <= count; ++n) {
        const TCardPanel& panel = *panels[size_t(n - 1)];
        const QString image = ImageFile(n);
        const QImage picture = RenderPanel(panel);
        const bool saved = !picture.isNull() && (FWriter ? FWriter(picture, dir.filePath(image))
                                                         : SaveJpegFile(picture, dir.filePath(image)));
        if (!saved) {
            result.LeftOut.push_back(n);
            continue;
        }
        const QStringList html = HtmlLines(title, image, MapEntries(panel, n, count));
        WriteFileAtomically(dir.filePath(PageFile(n)), (html.join(QLatin1Char('\n')) + '\n').toUtf8());
        result.Written.push_back(n);
    }
    return result;
}

bool SaveJpegFile(const QImage& picture, const QString& path) {
    const QByteArray jpeg = EncodeJpeg(picture);
    if (jpeg.isEmpty()) return false;
    try {
        WriteFileAtomically(path, jpeg);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
