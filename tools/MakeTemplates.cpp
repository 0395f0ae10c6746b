// make_templates FOLDER CLIPART_FOLDER
// Writes the shipped templates into FOLDER, taking their pictures from the clip art drawings
// in CLIPART_FOLDER. The documents are made at 96 pixels per inch on Letter paper.

#include "ShippedTemplates.h"
#include "TemplateBuilder.h"
#include "document/AppContext.h"
#include "objects/ObjectClasses.h"

#include <QGuiApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_templates FOLDER CLIPART_FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const QDir folder(arguments[1]);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "%s: cannot be created\n", argv[1]);
        return 1;
    }
    const TClipArt clipArt{QDir(arguments[2])};

    RegisterDocumentClasses();
    TAppContext context;
    context.ScreenPixelsPerInch = 96;
    context.Metric = false;
    TAppContextScope scope(context);

    int failures = 0;
    for (const TShippedTemplate& shipped : ShippedTemplates()) {
        try {
            TTemplateBuilder builder(shipped.DocumentType, QString::fromUtf8(shipped.Description));
            shipped.Build(builder, clipArt);
            builder.Save(folder, QString::fromUtf8(shipped.Name));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", shipped.Name, e.what());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
