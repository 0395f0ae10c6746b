#include "app/BatchCommands.h"

#include "app/DocumentJson.h"
#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/Card.h"
#include "document/Template.h"
#include "document/Units.h"
#include "events/Event.h"
#include "objects/ObjectClasses.h"
#include "storage/Exception.h"
#include "storage/Stored.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>

#include <cstdio>
#include <memory>

namespace BatchCommands {
namespace {

void PrintError(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

struct TLoaded {
    std::unique_ptr<TStored> Root;
    quint16 StorageVersion = 0;
    std::vector<std::pair<QByteArray, quint16>> Classes;
    TCard* Card() const { return dynamic_cast<TCard*>(Root.get()); }
};

// Loads a storage file as the program opens it; a document at the density it was saved with.
TLoaded LoadFile(const QString& fileName) {
    TAppContext& context = AppContext();
    context.AdoptDocumentDensity = true;
    context.ScreenPixelsPerInch = 96;
    context.LoadingFileName = fileName;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) throw EFOpenError(fileName);
    TStorage storage(&file, TStorage::TMode::Read);
    TLoaded loaded{std::unique_ptr<TStored>(storage.ReadRoot()), storage.StorageVersion(),
                   storage.FileClasses()};
    if (TCard* card = loaded.Card()) {
        card->FileName = fileName;
        context.AddOpenCard(card);
        context.ActiveCard = card;
    }
    return loaded;
}

TLoaded LoadDocument(const QString& fileName) {
    TLoaded loaded = LoadFile(fileName);
    if (!loaded.Card()) throw Exception(QStringLiteral("%1 is not a document.").arg(fileName));
    return loaded;
}

// "--name value" options after the positional arguments.
QString Option(const QStringList& arguments, const QString& name, const QString& fallback) {
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : fallback;
}

} // namespace

int Dump(const QStringList& arguments) {
    QStringList files = arguments;
    const bool layout = files.removeAll(QStringLiteral("--layout")) > 0;
    if (files.size() != 1) {
        PrintError(QStringLiteral("usage: qdx dump [--layout] FILE"));
        return 2;
    }
    RegisterDocumentClasses();
    RegisterEventClasses();
    try {
        const TLoaded loaded = LoadFile(files[0]);
        QJsonArray classes;
        for (const auto& [name, version] : loaded.Classes)
            classes.append(QJsonObject{{"name", QString::fromLatin1(name)}, {"version", version}});
        QJsonObject root{{"storageVersion", loaded.StorageVersion}, {"classes", classes}};
        if (const TCard* card = loaded.Card())
            root["card"] = CardToJson(*card, layout);
        else if (const auto* index = dynamic_cast<const TTemplateTable*>(loaded.Root.get()))
            root["templateIndex"] = TemplateIndexToJson(*index);
        else if (const auto* events = dynamic_cast<const TEventTable*>(loaded.Root.get()))
            root["events"] = EventsToJson(*events);
        else
            throw Exception(QStringLiteral("%1 is not a document, template index or event file.")
                                .arg(files[0]));
        const QByteArray text = QJsonDocument(root).toJson(QJsonDocument::Indented);
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return 0;
    } catch (const std::exception& e) {
        PrintError(QString::fromUtf8(e.what()));
        return 1;
    }
}

int Render(const QStringList& arguments) {
    if (arguments.isEmpty() || arguments[0].startsWith(QLatin1Char('-'))) {
        PrintError(
            QStringLiteral("usage: qdx render FILE --png OUT [--page N] [--panel P] [--dpi D]"));
        return 2;
    }
    const QString output = Option(arguments, QStringLiteral("--png"), QString());
    bool ok1 = false, ok2 = false, ok3 = false;
    const int pageNumber =
        Option(arguments, QStringLiteral("--page"), QStringLiteral("1")).toInt(&ok1);
    const int panelIndex =
        Option(arguments, QStringLiteral("--panel"), QStringLiteral("0")).toInt(&ok2);
    const int dpi = Option(arguments, QStringLiteral("--dpi"), QStringLiteral("100")).toInt(&ok3);
    if (output.isEmpty() || !ok1 || !ok2 || !ok3 || dpi < 1 || dpi > 2400) {
        PrintError(
            QStringLiteral("usage: qdx render FILE --png OUT [--page N] [--panel P] [--dpi D]"));
        return 2;
    }
    RegisterDocumentClasses();
    try {
        const TLoaded loaded = LoadDocument(arguments[0]);
        const TCard& card = *loaded.Card();
        if (pageNumber < 1 || pageNumber > card.PageCount())
            throw Exception(QStringLiteral("The document has no page %1.").arg(pageNumber));
        const TCardPage& page = *card.Pages(pageNumber - 1);
        if (panelIndex < 0 || panelIndex >= page.PanelCount())
            throw Exception(
                QStringLiteral("Page %1 has no panel %2.").arg(pageNumber).arg(panelIndex));
        const TCardPanel& panel = *page.Panels(panelIndex);
        const QSize size(std::max(1, MulDiv(panel.Width, dpi, 100)),
                         std::max(1, MulDiv(panel.Height, dpi, 100)));
        if (qint64(size.width()) * size.height() > 400'000'000)
            throw Exception(QStringLiteral("The picture would be too large."));
        QImage image(size, QImage::Format_RGB32);
        image.setDotsPerMeterX(MulDiv(dpi, 10000, 254));
        image.setDotsPerMeterY(MulDiv(dpi, 10000, 254));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            TCanvas canvas(painter, dpi, dpi, TCanvas::TKind::Image);
            for (int i = 0; i < panel.Count(); ++i)
                if (TCardObject* object = panel.Items(i)) object->Paint(canvas, 0, 0, false);
        }
        if (!image.save(output, "PNG"))
            throw Exception(QStringLiteral("Error writing %1.").arg(output));
        return 0;
    } catch (const std::exception& e) {
        PrintError(QString::fromUtf8(e.what()));
        return 1;
    }
}

} // namespace BatchCommands
