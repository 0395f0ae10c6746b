#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class TCard;
class TCardPanel;

// What a publish run wrote: the numbers (1-based) of the pages written and of those left out
// because their picture could not be made or saved.
struct TWebPublishResult {
    std::vector<int> Written;
    std::vector<int> LeftOut;
};

// Turns a publication into a small web site: one JPEG picture and one HTML page per web page,
// with a client-side image map that makes linked objects clickable. The main window keeps one
// for the program's lifetime, so the page name settings last while the program runs.
class TWebPageGenerator {
public:
    static constexpr int MainPageNameCount = 2; // "index", "default"
    static constexpr int HtmlExtensionCount = 2; // "htm", "html"

    int MainPageName = 0;
    int HtmlExtension = 0;
    // Written into every page's TITLE; unset, the publication's description serves.
    std::optional<QString> PageTitle;

    static QString MainPageNameText(int index);
    static QString HtmlExtensionText(int index);
    QString MainPageFile() const;           // "index.htm"
    QString PageFile(int pageNumber) const; // the main page for 1, else "Page%d.htm"
    static QString ImageFile(int pageNumber);

    // The panels that become web pages, in order: every panel of the current page of a
    // folded publication, else the first panel of every page.
    static std::vector<const TCardPanel*> WebPanels(const TCard& card, int currentPage);
    // The panel's picture, one pixel per 1/100 inch; null when it cannot be made.
    static QImage RenderPanel(const TCardPanel& panel);
    // "Left,Top,Right,Bottom|target" of every linked object of the panel, in object order.
    QStringList MapEntries(const TCardPanel& panel, int pageNumber, int pageCount) const;
    // The lines of a page's HTML file.
    QStringList HtmlLines(const QString& title, const QString& imageFile,
                          const QStringList& mapEntries) const;

    // Publishes into the folder (made when missing). Throws Exception with the system's
    // reason when the folder or an HTML file cannot be written; a page whose picture fails is
    // left out.
    TWebPublishResult Publish(const TCard& card, int currentPage, const QString& folder) const;

    // For tests and measurements: what saves a page's picture (default: JPEG into the file).
    using TPictureWriter = std::function<bool(const QImage& picture, const QString& path)>;
    void UsePictureWriter(TPictureWriter writer) { FWriter = std::move(writer); }

private:
    TPictureWriter FWriter;
};

// Saves the picture as a baseline JPEG file (atomically); false on any failure.
bool SaveJpegFile(const QImage& picture, const QString& path);
