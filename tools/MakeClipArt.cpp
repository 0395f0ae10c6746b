// make_clipart [--size PIXELS] FOLDER PICTURE.svg...
// Renders the shipped drawings (clip art, page borders) into PNG pictures of the same name in
// FOLDER, on a transparent ground, PIXELS on the longer side (256 unless told) and with the
// proportions of the drawing.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

constexpr int DefaultPictureSize = 256;
constexpr int LargestPictureSize = 8192;

bool Render(const QString& source, const QDir& folder, int pictureSize) {
    QSvgRenderer renderer(source);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: not a drawing\n", qPrintable(source));
        return false;
    }
    // The view box gives the proportions; a drawing without one falls back on its size.
    const QSizeF drawing = renderer.viewBoxF().isEmpty() ? QSizeF(renderer.defaultSize())
                                                         : renderer.viewBoxF().size();
    if (drawing.isEmpty()) {
        std::fprintf(stderr, "%s: the drawing has no size\n", qPrintable(source));
        return false;
    }
    const QSize size = drawing.scaled(pictureSize, pictureSize, Qt::KeepAspectRatio).toSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    const QString target =
        folder.filePath(QFileInfo(source).completeBaseName() + QStringLiteral(".png"));
    if (!image.save(target, "PNG")) {
        std::fprintf(stderr, "%s: cannot be written\n", qPrintable(target));
        return false;
    }
    return true;
}

// Qt warns that the runtime folder is unset when there is no session, as in many builds; the
// build runs the renderer once a drawing, and its log is for the drawings' own errors.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    qt_message_output(type, context, text);
}

void Usage() {
    std::fprintf(stderr, "usage: make_clipart [--size PIXELS] FOLDER PICTURE.svg...\n");
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(FilterMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QStringList arguments = application.arguments();
    arguments.removeFirst();
    int pictureSize = DefaultPictureSize;
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("--size")) {
        bool ok = false;
        pictureSize = arguments.size() > 1 ? arguments[1].toInt(&ok) : 0;
        if (!ok || pictureSize < 1 || pictureSize > LargestPictureSize) {
            std::fprintf(stderr, "make_clipart: --size wants a number of pixels from 1 to %d\n",
                         LargestPictureSize);
            return 2;
        }
        arguments.remove(0, 2);
    }
    if (arguments.size() < 2) {
        Usage();
        return 2;
    }
    const QDir folder(arguments[0]);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "%s: cannot be created\n", qPrintable(arguments[0]));
        return 1;
    }
    bool ok = true;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        ok = Render(arguments[i], folder, pictureSize) && ok;
    return ok ? 0 : 1;
}
