#include "objects/ImageDialog.h"

#include "document/AppContext.h"
#include "objects/HeadlineForm.h"
#include "objects/ImageEdits.h"
#include "objects/MetafilePicture.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>

namespace {

// The longer side of the reading that shows a picture too large to hold whole.
constexpr int OversizedPreviewSide = 1024;

// Descriptions and patterns of the picture formats, in the "name|patterns|..." form that
// QtFileFilter turns into Qt's filters with both letter cases.
const char* const PictureFormats =
    "All image file types|*.bmp;*.emf;*.gif;*.jpg;*.jpeg;*.pcx;*.png;*.tga;*.tif;*.tiff;*.wmf|"
    "Windows Bitmap|*.bmp|"
    "Windows Enhanced Metafile|*.emf|"
    "CompuServe GIF|*.gif|"
    "JPEG File Interchange Format|*.jpg;*.jpeg|"
    "PC Paintbrush|*.pcx|"
    "Portable Network Graphics|*.png|"
    "Truevision Targa|*.tga|"
    "Tagged Image File Format|*.tif;*.tiff|"
    "Windows Metafile|*.wmf";

QPushButton* GoToButton(const QString& caption, const char* name, QWidget* parent, int index) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setGeometry(0, index * TQDXImageDialog::GoToPitch, TQDXImageDialog::GoToWidth,
                        TQDXImageDialog::GoToHeight);
    return button;
}

} // namespace

TQDXImageDialog::TQDXImageDialog(QWidget* parent) : QFileDialog(parent) {
    setObjectName(QStringLiteral("ImageDialog"));
    // The desktop's dialog has no room for the preview panel.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilters(NameFilters());
    setOption(QFileDialog::HideNameFilterDetails);

    QWidget* side = BuildSidePanel();
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(side, 0, grid->columnCount(), grid->rowCount(), 1);
    else
        layout()->addWidget(side);

    connect(this, &QFileDialog::currentChanged, this, &TQDXImageDialog::PreviewFile);
    PreviewFile(QString());
}

TQDXImageDialog::~TQDXImageDialog() = default;

QWidget* TQDXImageDialog::BuildSidePanel() {
    auto* side = new QWidget;
    side->setObjectName(QStringLiteral("PreviewSide"));
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);

    auto* panel = new QFrame;
    panel->setObjectName(QStringLiteral("PreviewPanel"));
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel->setFixedSize(PanelWidth, PanelHeight);
    auto* inside = new QVBoxLayout(panel);
    inside->setContentsMargins(PanelBorder, PanelBorder, PanelBorder, PanelBorder);
    inside->setSpacing(4);
    auto* top = new QHBoxLayout;
    FCaption = new QLabel(QStringLiteral("Picture:"));
    FCaption->setObjectName(QStringLiteral("PreviewCaption"));
    FPreviewButton = new QToolButton;
    FPreviewButton->setObjectName(QStringLiteral("PreviewButton"));
    FPreviewButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    FPreviewButton->setToolTip(QStringLiteral("Preview"));
    FPreviewButton->setAutoRaise(true);
    top->addWidget(FCaption, 1);
    top->addWidget(FPreviewButton);
    inside->addLayout(top);
    FPreview = new TPicturePreview;
    FPreview->setObjectName(QStringLiteral("PreviewImage"));
    inside->addWidget(FPreview, 1);
    column->addWidget(panel);

    auto* buttons = new QWidget;
    buttons->setObjectName(QStringLiteral("GoToButtons"));
    buttons->setFixedSize(PanelWidth, 2 * GoToPitch + GoToHeight);
    auto* borders = GoToButton(QStringLiteral("Go to &borders"), "GoToBordersButton", buttons, 0);
    auto* clipArt = GoToButton(QStringLiteral("Go to &clip art"), "GoToClipArtButton", buttons, 1);
    auto* textures =
        GoToButton(QStringLiteral("Go to te&xtures"), "GoToTexturesButton", buttons, 2);
    column->addWidget(buttons);
    column->addStretch();

    connect(FPreviewButton, &QToolButton::clicked, this, &TQDXImageDialog::ShowPreviewWindow);
    connect(FPreview, &TPicturePreview::Clicked, this, &TQDXImageDialog::ShowPreviewWindow);
    connect(borders, &QPushButton::clicked, this, &TQDXImageDialog::GoToBorders);
    connect(clipArt, &QPushButton::clicked, this, &TQDXImageDialog::GoToClipArt);
    connect(textures, &QPushButton::clicked, this, &TQDXImageDialog::GoToTextures);
    return side;
}

QStringList TQDXImageDialog::NameFilters() {
    QStringList filters =
        QtFileFilter(QString::fromLatin1(PictureFormats)).split(QStringLiteral(";;"));
    filters.append(QStringLiteral("All files (*)"));
    return filters;
}

QString TQDXImageDialog::MediaFolder() {
    const QString folder = AppContext().Settings().ReadString(
        QStringLiteral("CD Drive"), QStringLiteral("Media Folder"), QString());
    return folder.isEmpty() ? AppContext().ProgramFolder : folder;
}

QString TQDXImageDialog::BordersFolder() {
    return QDir(MediaFolder()).filePath(QStringLiteral("Borders"));
}

QString TQDXImageDialog::ClipArtFolder() {
    return QDir(MediaFolder()).filePath(QStringLiteral("Clip Art"));
}

QString TQDXImageDialog::TexturesFolder() {
    return AppContext().TexturesFolder;
}

void TQDXImageDialog::PreviewFile(const QString& fileName) {
    const QFileInfo info(fileName);
    FPictureFile = fileName.isEmpty() ? QString() : info.absoluteFilePath();
    FPictureError.clear();
    TPictureData picture;
    if (!fileName.isEmpty() && info.isFile() && info.isReadable()) {
        try {
            picture = LoadPictureFile(FPictureFile);
        } catch (const EPictureTooLarge& e) {
            // Shown from a small reading; the picture form reads it for the object's size.
            try {
                picture = LoadPictureFile(
                    FPictureFile, e.Pixels.scaled(OversizedPreviewSide, OversizedPreviewSide,
                                                  Qt::KeepAspectRatio)
                                      .expandedTo(QSize(1, 1)));
                picture.SourceFile = FPictureFile;
                picture.SourcePixels = e.Pixels;
            } catch (const Exception& again) {
                picture = TPictureData();
                FPictureError = again.Message();
            }
        } catch (const Exception& e) {
            FPictureError = e.Message();
        } catch (const std::exception&) {
            FPictureError = EPictureError(FPictureFile).Message();
        }
    }
    FPreview->SetPicture(picture);
    FCaption->setText(Caption());
    FPreviewButton->setEnabled(!picture.IsEmpty());
}

const TPictureData& TQDXImageDialog::Picture() const {
    return FPreview->Picture();
}

QString TQDXImageDialog::Caption() const {
    const TPictureData& picture = Picture();
    if (picture.IsEmpty()) return QStringLiteral("Picture:");
    const QSize size = picture.PixelSize();
    return QStringLiteral("Picture: (%1x%2)").arg(size.width()).arg(size.height());
}

QDialog* TQDXImageDialog::ShowPreviewWindow() {
    const TPictureData& picture = Picture();
    if (picture.IsEmpty()) return nullptr;
    auto* window = new QDialog(this, Qt::Tool);
    window->setObjectName(QStringLiteral("PreviewWindow"));
    window->setWindowTitle(QStringLiteral("Preview"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new TPicturePreview(window);
    view->setObjectName(QStringLiteral("PreviewWindowImage"));
    view->SetPicture(picture);
    layout->addWidget(view);

    const QRect screen = this->screen()->availableGeometry();
    const QSize most(screen.width() * 3 / 4, screen.height() * 3 / 4);
    const int frame = 2 * TPicturePreview::Frame;
    QSize size = picture.PixelSize() + QSize(frame, frame);
    if (size.width() > most.width() || size.height() > most.height())
        size = size.scaled(most, Qt::KeepAspectRatio);
    window->resize(size.expandedTo({frame + 16, frame + 16}));
    window->move(screen.center() - QPoint(window->width() / 2, window->height() / 2));
    window->show();
    return window;
}

void TQDXImageDialog::GoToBorders() {
    GoToMedia(BordersFolder(), QStringLiteral("borders"), QStringLiteral("were"));
}

void TQDXImageDialog::GoToClipArt() {
    GoToMedia(ClipArtFolder(), QStringLiteral("clip art"), QStringLiteral("was"));
}

void TQDXImageDialog::GoToTextures() {
    RequestFolder(TexturesFolder());
}

void TQDXImageDialog::GoToMedia(const QString& folder, const QString& noun, const QString& verb) {
    TMessageSink& messages = AppContext().Messages();
    if (!QFileInfo(folder).isDir()) {
        const QString missing = QStringLiteral("The %1 %2 not found on the CD.").arg(noun, verb);
        const QString prompt =
            missing + QStringLiteral("  Please insert the CD with the %1 into the %2: drive, and "
                                     "then press OK to continue.")
                          .arg(noun, MediaFolder());
        // Cancel gives up quietly; OK looks again, the disc may now be in.
        if (!messages.Confirm(prompt)) return;
        if (!QFileInfo(folder).isDir()) {
            messages.Error(missing);
            return;
        }
    }
    RequestFolder(folder);
}

void TQDXImageDialog::RequestFolder(const QString& folder) {
    FRequestedFolder = folder;
    reject();
}

void TQDXImageDialog::accept() {
    const QString file = selectedFiles().value(0);
    const QFileInfo info(file);
    // Folders are entered and missing names reported by the dialog itself.
    if (file.isEmpty() || !info.isFile()) {
        QFileDialog::accept();
        return;
    }
    if (FPictureFile != info.absoluteFilePath()) PreviewFile(file);
    if (Picture().IsEmpty()) {
        AppContext().Messages().Error(FPictureError.isEmpty()
                                          ? EPictureError(info.absoluteFilePath()).Message()
                                          : FPictureError);
        return;
    }
    QFileDialog::accept();
}

std::optional<TPictureData>
TQDXImageDialog::ChooseNewPicture(QWidget* parent,
                                  const std::function<int(TQDXImageDialog&)>& run) {
    TSettingsStore& settings = AppContext().Settings();
    const QString options = QStringLiteral("Options");
    const QString key = QStringLiteral("Picture Folder");
    QString requested;
    for (;;) {
        TQDXImageDialog dialog(parent);
        dialog.setWindowTitle(QStringLiteral("New Picture"));
        QString folder = requested;
        if (folder.isEmpty()) {
            const QString remembered = settings.ReadString(options, key, QString());
            folder = !remembered.isEmpty() && QFileInfo(remembered).isDir()
                         ? remembered
                         : AppContext().ProgramFolder;
        }
        requested.clear();
        if (!folder.isEmpty()) dialog.setDirectory(folder);
        const int result = run ? run(dialog) : dialog.exec();
        if (!dialog.RequestedFolder().isEmpty()) {
            requested = dialog.RequestedFolder();
            continue;
        }
        if (result != QDialog::Accepted || dialog.Picture().IsEmpty()) return std::nullopt;
        settings.WriteString(options, key, QFileInfo(dialog.PictureFile()).absolutePath());
        return dialog.Picture();
    }
}
