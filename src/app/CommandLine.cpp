#include "app/CommandLine.h"

#include "app/BatchCommands.h"

#include <QTextStream>

#include <cstdio>

namespace CommandLine {
namespace {

QTextStream& Out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& Err() {
    static QTextStream stream(stderr);
    return stream;
}

} // namespace

QString VersionText() {
    return QStringLiteral("QDX %1").arg(QStringLiteral(QDX_VERSION));
}

QString HelpText() {
    return QStringLiteral(
        "Usage: qdx [options] [document.qdx ...]\n"
        "\n"
        "QDX lays out and prints small printed pieces: cards, newsletters, labels, banners.\n"
        "\n"
        "Options:\n"
        "  -h, --help       Show this help and exit.\n"
        "  -v, --version    Show the version and exit.\n"
        "\n"
        "Commands (no display needed; errors go to stderr, failure exits non-zero):\n"
        "  qdx dump [--layout] FILE\n"
        "      Print the document (or a template index or event file) as JSON. --layout\n"
        "      adds each panel's computed geometry for a printer without margins.\n"
        "  qdx render FILE --png OUT [--page N] [--panel P] [--dpi D]\n"
        "      Draw one panel (page N from 1, panel P from 0; defaults 1 and 0) into a PNG\n"
        "      at D dots per inch (default 100).\n"
        "  qdx print FILE --pdf OUT [--dpi N] [--copies N] [--from A] [--to B] [--records]\n"
        "            [--data TABLE] [--range FROM-TO] [--start N] [--crop-marks]\n"
        "            [--margins L,T,R,B] [--offset X,Y] [--scale X,Y] [--pass front|back|both]\n"
        "      Print the document into a PDF file as a printer gets it: Letter paper (A4\n"
        "      in the metric system), each side of a folded card on a page of its own,\n"
        "      the front before the back of each sheet, posters and banners over their\n"
        "      sheets, labels and business cards in their grid. --dpi sets the printer's\n"
        "      resolution (default 300), --from and --to the document pages, --records\n"
        "      prints one document per record of its table, --data connects the document\n"
        "      to that table file (.DB, .DBF, .TXT or .CSV) for this print, --range prints\n"
        "      records FROM to TO only (from 1, inclusive; \"FROM-\" to the end), so that a\n"
        "      large job splits into independent ones; --start N begins a half-used sheet\n"
        "      of labels at label N (row by row, first sheet only); --crop-marks adds crop\n"
        "      marks to business cards, --margins simulates a printer's unprintable\n"
        "      margins in 1/100 inch, --offset moves everything printed by X,Y (1/100 inch,\n"
        "      right and down) and --scale scales it by X,Y percent from the paper's corner,\n"
        "      as a printer's calibration does; --pass prints one side of two-sided cards\n"
        "      only.\n"
        "  qdx publish-web FILE DIR [--main index|default] [--ext htm|html] [--page N]\n"
        "                  [--title TEXT]\n"
        "      Publish the document as a web site into DIR (made when missing): one JPEG\n"
        "      picture and one HTML page per panel of page N of a folded card, else per\n"
        "      page, with image maps for the objects' links. The main page is index.htm\n"
        "      unless --main and --ext say otherwise; --title sets every page's title\n"
        "      (default: the document's description).\n");
}

int Run(const QStringList& arguments) {
    if (!arguments.isEmpty()) {
        const QString command = arguments.first();
        if (command == QLatin1String("dump")) return BatchCommands::Dump(arguments.mid(1));
        if (command == QLatin1String("render")) return BatchCommands::Render(arguments.mid(1));
        if (command == QLatin1String("publish-web"))
            return BatchCommands::PublishWeb(arguments.mid(1));
        if (command == QLatin1String("print")) return BatchCommands::Print(arguments.mid(1));
    }
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            Out() << HelpText();
            Out().flush();
            return 0;
        }
        if (argument == QLatin1String("--version") || argument == QLatin1String("-v")) {
            Out() << VersionText() << '\n';
            Out().flush();
            return 0;
        }
        if (argument.startsWith(QLatin1Char('-'))) {
            Err() << "qdx: unknown option " << argument << "\n"
                  << "Try 'qdx --help'.\n";
            Err().flush();
            return 2;
        }
    }
    return -1; // not a batch command: the caller opens the window
}

} // namespace CommandLine

namespace CommandLine {

bool IsBatch(const QStringList& arguments) {
    if (arguments.isEmpty()) return false;
    const QString first = arguments.first();
    return first == QLatin1String("dump") || first == QLatin1String("render") ||
           first == QLatin1String("print") || first == QLatin1String("publish-web") ||
           first.startsWith(QLatin1Char('-'));
}

} // namespace CommandLine
