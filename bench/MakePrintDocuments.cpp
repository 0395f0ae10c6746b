// Writes the documents the printing benchmarks and the print checks by eye use:
//   make_print_documents labels-merge OUT     3 x 10 address labels, one headline of three
//                                             lines of database codes (Name; Street;
//                                             City, State Zip)
//   make_print_documents labels-barcode OUT   3 x 10 labels, a headline and a bar code each
//   make_print_documents samples FOLDER       a bifold, a horizontal bifold, a trifold, a
//                                             quadfold, a poster, a banner and business cards,
//                                             every panel named in large letters so that the
//                                             printed sheets can be folded in the head

#include "TemplateBuilder.h"
#include "document/AppContext.h"
#include "objects/BarCode.h"
#include "objects/ObjectClasses.h"
#include "storage/Stored.h"

#include <QGuiApplication>

#include <cstdio>
#include <exception>

namespace {

constexpr int MailingLabels = 17; // format 12

// Avery-style address labels: 2.625 x 1 inch, three across and ten down on Letter.
void MakeAddressSheet(TCard& card) {
    card.SheetGeometry = {19, 50, 263, 100, 275, 100, 3, 10};
    card.LayoutAllPages();
}

void LabelsMerge(const QString& fileName) {
    TTemplateBuilder builder(MailingLabels, QStringLiteral("Address labels"));
    MakeAddressSheet(builder.Card());
    builder.Headline(0, 12, 8, QStringLiteral("<Name>\n<Street>\n<City>, <State> <Zip>"),
                     Arial(9).LeftAligned());
    SaveStoredToFile(fileName, builder.Card());
}

void LabelsBarcode(const QString& fileName) {
    TTemplateBuilder builder(MailingLabels, QStringLiteral("Bar code labels"));
    MakeAddressSheet(builder.Card());
    builder.Headline(0, 12, 6, QStringLiteral("Parts Bin 42"), Arial(10).Bolded().LeftAligned());
    auto* code = new TBarCodeObject();
    code->BarCodeType = bcCode39;
    code->Data = QStringLiteral("QDX00042");
    code->ShowText = true;
    code->SetBounds({12, 35, 12 + 200, 35 + 55}); // sized to the code
    builder.Card().Pages(0)->Panels(0)->AddObject(code);
    SaveStoredToFile(fileName, builder.Card());
}

// Each panel: its name as a headline near the top, and a bar along the top edge so that the
// panel's "up" shows in the print.
void Name(TTemplateBuilder& builder, int panel, const QString& name) {
    builder.Rectangle(panel, Box(20, 20, builder.Width(panel) - 40, 30), pBlue);
    builder.Headline(panel, TTemplateBuilder::Centred, 80, name, Arial(36).Bolded());
}

void Samples(const QDir& folder) {
    struct TSample {
        int Type;
        const char* File;
        std::vector<const char*> Panels;
    };
    const std::vector<TSample> samples = {
        {0, "bifold", {"FRONT", "INSIDE L", "INSIDE R", "BACK"}},
        {15, "quarterfold", {"FRONT", "INSIDE L", "INSIDE R", "BACK"}},
        {7, "trifold", {"FRONT", "IN LEFT", "IN MID", "IN RIGHT", "FLAP", "BACK"}},
        {9, "buscards", {"CARD"}},
        {8, "poster", {"POSTER"}},
    };
    for (const TSample& sample : samples) {
        TTemplateBuilder builder(sample.Type, QString::fromLatin1(sample.File));
        for (size_t p = 0; p < sample.Panels.size(); ++p)
            Name(builder, int(p), QString::fromLatin1(sample.Panels[p]));
        SaveStoredToFile(folder.filePath(QString::fromLatin1(sample.File) + ".qdx"),
                         builder.Card());
    }
    // Horizontal bifold and quadfold: formats 1 and 4 have no document type of their own.
    for (const auto& [format, file] :
         {std::pair{1, "bifold-horizontal"}, std::pair{4, "quadfold"}}) {
        TTemplateBuilder builder(0, QString::fromLatin1(file));
        builder.Card().SetCardFormat(format);
        builder.Card().ComputeSheetGeometry();
        builder.Card().LayoutAllPages();
        const char* names[] = {"FRONT", "INSIDE 1", "INSIDE 2", "BACK"};
        for (int p = 0; p < 4; ++p) Name(builder, p, QString::fromLatin1(names[p]));
        SaveStoredToFile(folder.filePath(QString::fromLatin1(file) + ".qdx"), builder.Card());
    }
    // A banner over three sheets of a printer without margins.
    TTemplateBuilder banner(12, QStringLiteral("banner"));
    TCard& card = banner.Card();
    card.SheetGeometry.NumAcross = 3;
    card.SheetGeometry.LabelWidth = 3 * 850;
    card.LayoutAllPages();
    banner.Rectangle(0, Box(20, 20, 3 * 850 - 40, 30), pBlue);
    for (int s = 0; s < 3; ++s)
        banner.Headline(0, 850 * s + 200, 300, QStringLiteral("SHEET %1").arg(s + 1),
                        Arial(60).Bolded());
    SaveStoredToFile(folder.filePath(QStringLiteral("banner.qdx")), card);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: make_print_documents labels-merge|labels-barcode OUT\n"
                     "       make_print_documents samples FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    RegisterDocumentClasses();
    TAppContext context;
    context.ScreenPixelsPerInch = 96;
    context.Metric = false;
    TAppContextScope scope(context);
    try {
        if (arguments[1] == QLatin1String("labels-merge")) {
            LabelsMerge(arguments[2]);
        } else if (arguments[1] == QLatin1String("labels-barcode")) {
            LabelsBarcode(arguments[2]);
        } else if (arguments[1] == QLatin1String("samples")) {
            const QDir folder(arguments[2]);
            folder.mkpath(QStringLiteral("."));
            Samples(folder);
        } else {
            std::fprintf(stderr, "unknown kind %s\n", argv[1]);
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
