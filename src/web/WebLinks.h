#pragma once

#include <QString>

class TCard;
class TCardObject;

// What the user entered in the Link Properties dialog, turned into an object's link target:
// a web address without a scheme gains "http://", an e-mail address without "mailto:" gains
// it, a page link keeps its number as decimal text; the page kinds and "none" keep nothing.
QString LinkTargetFor(int linkType, const QString& entered, int pageNumber = 1);

// The text the dialog shows for a stored target (the address as stored, the page number).
int LinkPageNumber(const QString& target); // 1 when the target holds no page number

// The page of the project the link dialog works with: the object's page (or panel, for
// folded publications) and how many there are; 0 and 0 where pages cannot be linked.
struct TLinkPages {
    int Current = 0;
    int Count = 0;

    bool PageInProjectEnabled() const { return Count >= 2; }
    bool NextEnabled() const { return PageInProjectEnabled() && Current < Count; }
    bool PreviousEnabled() const { return PageInProjectEnabled() && Current > 1; }
};
TLinkPages LinkPagesOf(const TCard& card, int currentPage, const TCardObject& object);

// The choice the dialog opens on: a previous or next link whose choice is not allowed here
// becomes a link to page 1.
struct TLinkChoice {
    int Type;
    QString Target;
};
TLinkChoice OpeningLinkChoice(int linkType, const QString& target, const TLinkPages& pages);
