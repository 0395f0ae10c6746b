#include "web/WebLinks.h"

#include "document/Card.h"
#include "document/CardObject.h"
#include "types/CardType.h"

namespace {

// A target that already names a scheme keeps it: "HTTP://X.ORG" and "https://x.org" get no
// second "http://".
bool HasWebScheme(const QString& address) {
    return address.contains(QLatin1String("://"));
}

} // namespace

QString LinkTargetFor(int linkType, const QString& entered, int pageNumber) {
    const QString text = entered.trimmed();
    switch (linkType) {
    case ltAddress:
        if (text.isEmpty() || HasWebScheme(text)) return text;
        return QStringLiteral("http://") + text;
    case ltEmail:
        if (text.isEmpty() || text.toLower().contains(QLatin1String("mailto:"))) return text;
        return QStringLiteral("mailto:") + text;
    case ltFile:
        return entered;
    case ltPage:
        return QString::number(pageNumber);
    default:
        return {};
    }
}

int LinkPageNumber(const QString& target) {
    bool ok = false;
    const int number = target.toInt(&ok);
    return ok && number >= 1 ? number : 1;
}

TLinkPages LinkPagesOf(const TCard& card, int currentPage, const TCardObject& object) {
    if (IsFoldedFormat(card.CardFormat)) {
        const TCardPage* page = card.Pages(currentPage);
        if (!page) return {};
        for (int i = 0; i < page->PanelCount(); ++i)
            if (page->Panels(i)->IndexOfObject(&object) >= 0) return {i + 1, page->PanelCount()};
        return {0, page->PanelCount()};
    }
    if (IsCertificateFormat(card.CardFormat)) {
        for (int p = 0; p < card.PageCount(); ++p) {
            const TCardPage* page = card.Pages(p);
            for (int i = 0; i < page->PanelCount(); ++i)
                if (page->Panels(i)->IndexOfObject(&object) >= 0) return {p + 1, card.PageCount()};
        }
        return {currentPage + 1, card.PageCount()};
    }
    return {};
}

TLinkChoice OpeningLinkChoice(int linkType, const QString& target, const TLinkPages& pages) {
    if ((linkType == ltPreviousPage && !pages.PreviousEnabled()) ||
        (linkType == ltNextPage && !pages.NextEnabled()))
        return {ltPage, QStringLiteral("1")};
    return {linkType, target};
}
