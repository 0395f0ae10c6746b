// make_clipart FOLDER PICTURE.svg...
// Renders the shipped clip art drawings into PNG pictures of the same name in FOLDER, on a
// transparent ground, 256 pixels on the longer side.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

constexpr int PictureSize = 256;

bool Render(const QString& source, const QDir& folder) {
    QSvgRenderer renderer(source);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: not a drawing\n", qPrintable(source));
        return false;
    }
    const QSize size = renderer.defaultSize().scaled(PictureSize, PictureSize, Qt::KeepAspectRatio);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    const QString target =
        folder.filePath(QFileInfo(source).completeBaseName() + QStringLiteral(".png"));
    if (!image.save(target, "PNG")) {
        std::fprintf(stderr, "%s: cannot be written\n", qPrintable(target));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_clipart FOLDER PICTURE.svg...\n");
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
    bool ok = true;
    for (qsizetype i = 2; i < arguments.size(); ++i)
        ok = Render(arguments[i], folder) && ok;
    return ok ? 0 : 1;
}
