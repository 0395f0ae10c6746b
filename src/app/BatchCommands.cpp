#include "app/BatchCommands.h"

#include "app/AppPaths.h"
#include "app/DocumentJson.h"
#include "document/AppContext.h"
#include "document/Canvas.h"
#include "document/IniFile.h"
#include "document/LoadOptions.h"
#include "document/Card.h"
#include "document/Template.h"
#include "document/Units.h"
#include "events/Event.h"
#include "merge/TableEngine.h"
#include "objects/ObjectClasses.h"
#include "objects/Picture.h"
#include "print/Imposition.h"
#include "print/PdfPrinter.h"
#include "print/PrintPublication.h"
#include "storage/AtomicFile.h"
#include "storage/Exception.h"
#include "storage/Stored.h"
#include "web/PanelPicture.h"
#include "web/WebGen.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>

#include <cstdio>
#include <limits>
#include <memory>

namespace BatchCommands {
namespace {

void PrintError(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// The output is written without the pictures that could not be drawn, but the command says
// which and fails.
int ReportUndrawnPictures() {
    const QStringList reasons = TakeUndrawnPictures();
    for (const QString& reason : reasons) PrintError(reason);
    return reasons.isEmpty() ? 0 : 1;
}

struct TLoaded {
    std::unique_ptr<TStored> Root;
    quint16 StorageVersion = 0;
    std::vector<std::pair<QByteArray, quint16>> Classes;
    TCard* Card() const { return dynamic_cast<TCard*>(Root.get()); }
};

// The user's settings as the window left them (the address book's file among them). Batch
// commands read them and never write them back.
TIniFile& UserSettings() {
    static TIniFile settings;
    return settings;
}

// Loads a storage file as the program opens it, with its folders, the user's settings and the
// table engine (a connected document shows its table's first record); a document at the
// density it was saved with.
TLoaded LoadFile(const QString& fileName) {
    TAppContext& context = AppContext();
    AppPaths::SetContextFolders(context);
    TIniFile& settings = UserSettings();
    settings.SetFileName(AppPaths::SettingsFile());
    if (settings.Load()) context.SetSettings(&settings);
    InstallTableEngine(context);
    context.ScreenPixelsPerInch = 96;
    TLoadOptions options;
    options.FileName = fileName;
    options.AdoptDocumentDensity = true;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) throw EFOpenError(fileName);
    TStorage storage(&file, TStorage::TMode::Read);
    storage.SetReadOptions(&options);
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
        TakeUndrawnPictures();
        const QImage image = PaintPanelPicture(panel, dpi);
        if (image.isNull()) throw Exception(QStringLiteral("The picture would be too large."));
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
            throw Exception(QStringLiteral("Error writing %1.").arg(output));
        WriteFileAtomically(output, png);
        return ReportUndrawnPictures();
    } catch (const std::exception& e) {
        PrintError(QString::fromUtf8(e.what()));
        return 1;
    }
}

namespace {

const char* const PublishWebUsage =
    "usage: qdx publish-web FILE DIR [--main index|default] [--ext htm|html] [--page N]\n"
    "                       [--title TEXT]";

// The position of the value among the choices; -1 when it is none of them.
int ChoiceIndex(const QString& value, const QStringList& choices) {
    return int(choices.indexOf(value.toLower()));
}

} // namespace

int PublishWeb(const QStringList& arguments) {
    if (arguments.size() < 2 || arguments[0].startsWith(QLatin1Char('-')) ||
        arguments[1].startsWith(QLatin1Char('-'))) {
        PrintError(QString::fromLatin1(PublishWebUsage));
        return 2;
    }
    TWebPageGenerator generator;
    generator.MainPageName = ChoiceIndex(Option(arguments, QStringLiteral("--main"), "index"),
                                         {QStringLiteral("index"), QStringLiteral("default")});
    generator.HtmlExtension = ChoiceIndex(Option(arguments, QStringLiteral("--ext"), "htm"),
                                          {QStringLiteral("htm"), QStringLiteral("html")});
    if (arguments.contains(QStringLiteral("--title")))
        generator.PageTitle = Option(arguments, QStringLiteral("--title"), QString());
    bool pageOk = false;
    const int pageNumber = Option(arguments, QStringLiteral("--page"), "1").toInt(&pageOk);
    if (generator.MainPageName < 0 || generator.HtmlExtension < 0 || !pageOk || pageNumber < 1) {
        PrintError(QString::fromLatin1(PublishWebUsage));
        return 2;
    }
    RegisterDocumentClasses();
    try {
        const TLoaded loaded = LoadDocument(arguments[0]);
        const TCard& card = *loaded.Card();
        if (pageNumber > card.PageCount())
            throw Exception(QStringLiteral("The document has no page %1.").arg(pageNumber));
        TakeUndrawnPictures();
        const TWebPublishResult result = generator.Publish(card, pageNumber - 1, arguments[1]);
        int status = ReportUndrawnPictures();
        for (const int n : result.LeftOut) {
            PrintError(QStringLiteral("Web page %1 was left out: its picture could not be saved.")
                           .arg(n));
            status = 1;
        }
        return status;
    } catch (const std::exception& e) {
        PrintError(QString::fromUtf8(e.what()));
        return 1;
    }
}

namespace {

const char* const PrintUsage =
    "usage: qdx print FILE --pdf OUT [--dpi N] [--copies N] [--from A] [--to B] [--records]\n"
    "                 [--data TABLE] [--range FROM-TO] [--start N] [--crop-marks]\n"
    "                 [--margins L,T,R,B] [--offset X,Y] [--scale X,Y] [--pass front|back|both]";

struct TPrintOptions {
    QString File;
    QString Pdf;
    QString Data; // a table to connect the document to for this print
    int Dpi = 300;
    int Copies = 1;
    int From = 0;
    int To = 0;
    int Start = 1;        // label number of a half-used first sheet
    int FirstRecord = 0;  // --range, 1-based; 0 for no bound
    int LastRecord = 0;
    TPrintCalibration Calibration;
    bool Records = false;
    bool CropMarks = false;
    TPrinterMargins Margins;
    TPrintSides Sides = TPrintSides::Both;
};

bool ParseNumber(const QString& text, int low, int high, int& value) {
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < low || number > high) return false;
    value = number;
    return true;
}

// "X,Y" with both numbers (decimals allowed) from low to high.
bool ParsePair(const QString& text, qreal low, qreal high, qreal (&xy)[2]) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2) return false;
    for (int k = 0; k < 2; ++k) {
        bool ok = false;
        xy[k] = parts[k].trimmed().toDouble(&ok);
        if (!ok || !(xy[k] >= low && xy[k] <= high)) return false;
    }
    return true;
}

// "FROM-TO" or "FROM-" (to the table's end), 1-based.
bool ParseRecordRange(const QString& text, int& from, int& to) {
    const qsizetype dash = text.indexOf(QLatin1Char('-'));
    if (dash <= 0) return false;
    constexpr int Largest = std::numeric_limits<int>::max();
    int first = 0, last = 0;
    if (!ParseNumber(text.left(dash), 1, Largest, first)) return false;
    const QString end = text.mid(dash + 1);
    if (!end.isEmpty() && !ParseNumber(end, first, Largest, last)) return false;
    from = first;
    to = last;
    return true;
}

// The options of qdx print; an empty string when they are sound, else what is wrong.
QString ParsePrintOptions(const QStringList& arguments, TPrintOptions& options) {
    static const QStringList valued = {"--pdf",     "--dpi",  "--copies", "--from",
                                       "--to",      "--margins", "--pass", "--data",
                                       "--start",   "--range", "--offset", "--scale"};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--records")) {
            options.Records = true;
        } else if (argument == QLatin1String("--crop-marks")) {
            options.CropMarks = true;
        } else if (valued.contains(argument)) {
            if (i + 1 >= arguments.size()) return QStringLiteral("%1 needs a value").arg(argument);
            const QString value = arguments[++i];
            if (argument == QLatin1String("--pdf")) {
                options.Pdf = value;
            } else if (argument == QLatin1String("--data")) {
                if (value.isEmpty()) return QStringLiteral("--data needs a table file");
                options.Data = value;
            } else if (argument == QLatin1String("--dpi")) {
                if (!ParseNumber(value, 72, 2400, options.Dpi))
                    return QStringLiteral("--dpi takes 72 to 2400");
            } else if (argument == QLatin1String("--copies")) {
                if (!ParseNumber(value, 1, 9999, options.Copies))
                    return QStringLiteral("--copies takes 1 to 9999");
            } else if (argument == QLatin1String("--from")) {
                if (!ParseNumber(value, 1, 32767, options.From))
                    return QStringLiteral("--from takes a page number from 1");
            } else if (argument == QLatin1String("--to")) {
                if (!ParseNumber(value, 1, 32767, options.To))
                    return QStringLiteral("--to takes a page number from 1");
            } else if (argument == QLatin1String("--start")) {
                if (!ParseNumber(value, 1, 9999, options.Start))
                    return QStringLiteral("--start takes a label number from 1");
            } else if (argument == QLatin1String("--range")) {
                if (!ParseRecordRange(value, options.FirstRecord, options.LastRecord))
                    return QStringLiteral(
                        "--range takes FROM-TO, record numbers from 1 (TO may be left out)");
            } else if (argument == QLatin1String("--offset")) {
                qreal xy[2];
                if (!ParsePair(value, -100, 100, xy))
                    return QStringLiteral(
                        "--offset takes two lengths in 1/100 inch, -100 to 100: X,Y");
                options.Calibration.OffsetX = xy[0];
                options.Calibration.OffsetY = xy[1];
            } else if (argument == QLatin1String("--scale")) {
                qreal xy[2];
                if (!ParsePair(value, 80, 120, xy))
                    return QStringLiteral("--scale takes two percentages, 80 to 120: X,Y");
                options.Calibration.ScaleX = xy[0] / 100;
                options.Calibration.ScaleY = xy[1] / 100;
            } else if (argument == QLatin1String("--margins")) {
                const QStringList parts = value.split(QLatin1Char(','));
                int m[4] = {};
                bool ok = parts.size() == 4;
                for (int k = 0; ok && k < 4; ++k)
                    ok = ParseNumber(parts[k].trimmed(), 0, 1000, m[k]);
                if (!ok)
                    return QStringLiteral(
                        "--margins takes four lengths in 1/100 inch, 0 to 1000: L,T,R,B");
                options.Margins = {m[0], m[1], m[2], m[3]};
            } else if (value == QLatin1String("front")) {
                options.Sides = TPrintSides::Front;
            } else if (value == QLatin1String("back")) {
                options.Sides = TPrintSides::Back;
            } else if (value == QLatin1String("both")) {
                options.Sides = TPrintSides::Both;
            } else {
                return QStringLiteral("--pass takes front, back or both");
            }
        } else if (argument.startsWith(QLatin1Char('-'))) {
            return QStringLiteral("unknown option %1").arg(argument);
        } else if (options.File.isEmpty()) {
            options.File = argument;
        } else {
            return QStringLiteral("one document at a time");
        }
    }
    if (options.File.isEmpty()) return QStringLiteral("no document named");
    if (options.Pdf.isEmpty()) return QStringLiteral("--pdf OUT is required");
    if (options.From > 0 && options.To > 0 && options.To < options.From)
        return QStringLiteral("--to comes before --from");
    if (options.FirstRecord > 0 && !options.Records)
        return QStringLiteral("--range needs --records");
    return {};
}

// --start and --range against the document and its table.
void CheckSheetOptions(const TPrintOptions& options, const TCard& card) {
    if (options.Start > 1) {
        if (!IsSheetFormat(card.CardFormat))
            throw Exception(QStringLiteral("--start is for labels and other sheets of items."));
        const int items = ItemsPerSheet(card.CardFormat, card.SheetGeometry);
        if (options.Start > items)
            throw Exception(
                QStringLiteral("The sheet has %1 labels; --start %2 is not one of them.")
                    .arg(items)
                    .arg(options.Start));
    }
    if (options.FirstRecord > 0) {
        const int count = card.DataTable()->RecordCount();
        if (!RecordRange(options.FirstRecord, options.LastRecord > 0 ? options.LastRecord : count,
                         count))
            throw Exception(QStringLiteral("The table has %1 records; the range starts at %2.")
                                .arg(count)
                                .arg(options.FirstRecord));
    }
}

} // namespace

int Print(const QStringList& arguments) {
    TPrintOptions options;
    const QString problem = ParsePrintOptions(arguments, options);
    if (!problem.isEmpty()) {
        PrintError(QStringLiteral("qdx print: %1").arg(problem));
        PrintError(QString::fromLatin1(PrintUsage));
        return 2;
    }
    RegisterDocumentClasses();
    TAppContext& context = AppContext();
    // The layout keeps clear of the simulated printer's margins as of any printer's.
    const TPrinterMargins margins = options.Margins;
    context.PrinterMargins = [margins](bool) { return margins; };
    try {
        const TLoaded loaded = LoadDocument(options.File);
        TCard& card = *loaded.Card();
        if (!options.Data.isEmpty()) {
            const QFileInfo data(options.Data);
            if (!data.isFile())
                throw Exception(DataSourceErrorText(
                    options.Data, data.exists() ? QStringLiteral("It is not a file.")
                                                : QStringLiteral("There is no such file.")));
            // The table is named by its own path, not looked for in the template folder.
            card.DataSourceInTemplateFolder = false;
            card.SetDataSource(data.absoluteFilePath());
            const TRecordSource* table = card.DataTable();
            // SetDataSource has reported the failure already.
            if (!(table && table->IsOpen())) return 1;
        }
        for (const int page : {options.From, options.To})
            if (page > card.PageCount())
                throw Exception(QStringLiteral("The document has no page %1.").arg(page));
        const TRecordSource* table = card.DataTable();
        if (options.Records && !(table && table->IsOpen()))
            throw Exception(QStringLiteral("The document is not connected to a database table."));
        if (options.Sides == TPrintSides::Back && !IsTwoSidedFormat(card.CardFormat))
            throw Exception(QStringLiteral("The document prints on one side of the paper only."));
        CheckSheetOptions(options, card);
        TPdfPrinter printer(options.Pdf, context.Metric, options.Dpi, margins);
        printer.SetPortrait(card.PortraitPaper);
        const QSize printable = printer.PageSizePixels();
        if (printable.width() <= 0 || printable.height() <= 0)
            throw Exception(QStringLiteral("The margins leave nothing of the paper to print on."));
        TAnsweredPrintPrompts prompts(options.Records, options.CropMarks);
        TPrintRequest request;
        request.Title = QFileInfo(options.File).completeBaseName();
        request.Copies = options.Copies;
        request.FromPage = options.From;
        request.ToPage = options.To;
        request.Sides = options.Sides;
        request.StartItem = options.Start - 1;
        request.FirstRecord = options.FirstRecord;
        request.LastRecord = options.LastRecord;
        request.Calibration = options.Calibration;
        TakeUndrawnPictures();
        const TPrintResult result = PrintPublication(card, printer, prompts, request);
        if (result.Pages == 0)
            throw Exception(QStringLiteral("Nothing to print: the document's table has no records."));
        return ReportUndrawnPictures();
    } catch (const std::exception& e) {
        PrintError(QString::fromUtf8(e.what()));
        return 1;
    }
}

} // namespace BatchCommands
