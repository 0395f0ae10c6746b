#include "LayerCheck.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <functional>

namespace {

QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

QString Unquoted(QString cell) {
    cell = cell.trimmed();
    if (cell.startsWith(u'`') && cell.endsWith(u'`') && cell.size() >= 2)
        cell = cell.mid(1, cell.size() - 2);
    return cell;
}

} // namespace

QList<TLayer> ReadLayerTable(const QString& readmePath) {
    QList<TLayer> layers;
    bool inSection = false;
    for (const QString& line : ReadText(readmePath).split(u'\n')) {
        if (line.startsWith(u'#')) {
            inSection = line.trimmed() == QStringLiteral("### Layers");
            continue;
        }
        if (!inSection || !line.startsWith(u'|')) continue;
        const QStringList cells = line.split(u'|');
        if (cells.size() < 5) continue;
        const QString library = Unquoted(cells[1]);
        const QString folder = Unquoted(cells[2]);
        if (!library.startsWith(QStringLiteral("qdx_")) || !folder.startsWith(QStringLiteral("src/")))
            continue; // the heading and the rule below it
        layers.append({library, folder.mid(4), !cells[3].trimmed().isEmpty()});
    }
    return layers;
}

namespace {

// Every match of the call in the CMake files of each folder of src/, with its folder.
void ForEachCMakeCall(const QString& srcDir, const QRegularExpression& call,
                      const std::function<void(const QString&, const QRegularExpressionMatch&)>& use) {
    const QDir src(srcDir);
    for (const QString& folder : src.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(src.filePath(folder));
        for (const QString& name : dir.entryList({QStringLiteral("CMakeLists.txt"), QStringLiteral("*.cmake")})) {
            auto matches = call.globalMatch(ReadText(dir.filePath(name)));
            while (matches.hasNext()) use(folder, matches.next());
        }
    }
}

} // namespace

QMap<QString, QStringList> ReadLibrarySources(const QString& srcDir) {
    static const QRegularExpression call(QStringLiteral(R"(qdx_add_library\(\s*(\w+)([^)]*)\))"));
    static const QRegularExpression space(QStringLiteral("\\s+"));
    QMap<QString, QStringList> sources;
    ForEachCMakeCall(srcDir, call, [&](const QString& folder, const QRegularExpressionMatch& match) {
        QStringList& files = sources[match.captured(1)];
        for (const QString& token : match.captured(2).split(space, Qt::SkipEmptyParts))
            if (token.endsWith(QStringLiteral(".cpp")) || token.endsWith(QStringLiteral(".h")))
                files.append(folder + u'/' + token);
    });
    return sources;
}

QMap<QString, QStringList> ReadLibraryLinks(const QString& srcDir) {
    static const QRegularExpression call(
        QStringLiteral(R"((qdx_add_library|target_link_libraries)\(\s*(qdx_\w+)([^)]*)\))"));
    static const QRegularExpression space(QStringLiteral("\\s+"));
    QMap<QString, QStringList> links;
    ForEachCMakeCall(srcDir, call, [&](const QString&, const QRegularExpressionMatch& match) {
        QStringList& linked = links[match.captured(2)];
        for (const QString& token : match.captured(3).split(space, Qt::SkipEmptyParts))
            if (token.startsWith(QStringLiteral("qdx_"))) linked.append(token);
    });
    return links;
}

QStringList LayerViolations(const QString& root, const QString& widgetHeaders) {
    const QList<TLayer> layers = ReadLayerTable(QDir(root).filePath(QStringLiteral("README.md")));
    if (layers.isEmpty()) return {QStringLiteral("README.md has no layer table")};
    QMap<QString, int> rank;
    QSet<QString> widgets;
    for (int i = 0; i < layers.size(); ++i) {
        rank.insert(layers[i].Library, i);
        if (layers[i].Widgets) widgets.insert(layers[i].Library);
    }

    const QString srcDir = QDir(root).filePath(QStringLiteral("src"));
    QMap<QString, QString> libraryOf; // "types/Pcx.cpp" -> "qdx_types"
    const QMap<QString, QStringList> sources = ReadLibrarySources(srcDir);
    for (auto it = sources.begin(); it != sources.end(); ++it)
        for (const QString& file : it.value()) libraryOf.insert(file, it.key());

    QStringList violations;
    const QDir src(srcDir);
    for (const QString& folder : src.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString own = QStringLiteral("qdx_") + folder;
        if (!rank.contains(own))
            violations.append(QStringLiteral("src/%1 has no library %2 in the layer table").arg(folder, own));
    }
    if (!violations.isEmpty()) return violations;
    auto library = [&](const QString& file) {
        const QString listed = libraryOf.value(file);
        return rank.contains(listed) ? listed : QStringLiteral("qdx_") + file.section(u'/', 0, 0);
    };

    const QMap<QString, QStringList> links = ReadLibraryLinks(srcDir);
    for (auto it = links.begin(); it != links.end(); ++it)
        for (const QString& linked : it.value())
            if (rank.contains(it.key()) && rank.contains(linked) && rank[linked] > rank[it.key()])
                violations.append(QStringLiteral("%1 links %2").arg(it.key(), linked));

    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"),
                                            QRegularExpression::MultilineOption);
    QDirIterator it(srcDir, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = src.relativeFilePath(it.next());
        const QString from = library(file);
        auto matches = include.globalMatch(ReadText(it.filePath()));
        while (matches.hasNext()) {
            const auto match = matches.next();
            const QString header = match.captured(2);
            if (match.captured(1) == QStringLiteral("<")) {
                const bool widgetHeader =
                    header.startsWith(QStringLiteral("QtWidgets/")) ||
                    (!header.contains(u'/') && QFileInfo::exists(QDir(widgetHeaders).filePath(header)));
                if (widgetHeader && !widgets.contains(from))
                    violations.append(QStringLiteral("%1 (%2) includes the widgets header <%3>")
                                          .arg(file, from, header));
                continue;
            }
            if (!QFileInfo::exists(src.filePath(header))) continue; // not one of src's headers
            const QString to = library(header);
            if (rank.value(to) > rank.value(from))
                violations.append(QStringLiteral("%1 (%2) includes %3 (%4)").arg(file, from, header, to));
        }
    }
    violations.sort();
    return violations;
}
