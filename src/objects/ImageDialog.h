#pragma once

#include "objects/PictureFiles.h"
#include "objects/PicturePreview.h"

#include <QFileDialog>
#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QLabel;
class QPushButton;
class QToolButton;
class TMetafilePicture;

// The picture file dialog: Qt's own (not the desktop's) file dialog, so that a preview panel
// fits on its right. The panel shows the selected file decoded as the picture object would
// take it, with its size; below it three buttons close the dialog with a request to be opened
// again in the borders, clip art or textures folder. The borders and clip art live in the
// media folder (settings "CD Drive", "Media Folder"; the program folder when empty), which may
// be a removable disc: when one of them is missing the user is asked to insert it.
class TQDXImageDialog : public QFileDialog {
    Q_OBJECT
public:
    static constexpr int PanelWidth = 200;
    static constexpr int PanelHeight = 169;
    static constexpr int PanelBorder = 6;
    static constexpr int GoToWidth = 121;
    static constexpr int GoToHeight = 23;
    static constexpr int GoToPitch = 24;

    explicit TQDXImageDialog(QWidget* parent = nullptr);
    ~TQDXImageDialog() override;

    // The Qt name filters of the picture formats, "All image file types" first.
    static QStringList NameFilters();
    static QString MediaFolder();
    static QString BordersFolder();
    static QString ClipArtFolder();
    static QString TexturesFolder();

    // What a change of the selected file does: decode it into the preview and caption.
    void PreviewFile(const QString& fileName);
    // The picture decoded from the file last previewed (the chosen one after OK); empty when
    // that file did not decode.
    const TPictureData& Picture() const;
    QString PictureFile() const { return FPictureFile; }
    // "Picture:" with the size of a decoded picture.
    QString Caption() const;
    TPicturePreview* Preview() const { return FPreview; }
    QToolButton* PreviewButton() const { return FPreviewButton; }
    // The "Preview" tool window of the current picture; it deletes itself when closed.
    QDialog* ShowPreviewWindow();

    // Set by a "Go to" button as it closes the dialog; empty otherwise.
    QString RequestedFolder() const { return FRequestedFolder; }
    void GoToBorders();
    void GoToClipArt();
    void GoToTextures();

    // "New Picture": shows the dialog until a picture is chosen or the user cancels, reopening
    // it in the folder a "Go to" button asks for; otherwise it opens in the folder of the last
    // chosen picture (settings "Options", "Picture Folder") when that exists, else in the
    // program folder. Remembers the chosen picture's folder. `run` shows the dialog and returns
    // its result (tests drive the dialog through it); by default exec().
    static std::optional<TPictureData>
    ChooseNewPicture(QWidget* parent, const std::function<int(TQDXImageDialog&)>& run = {});

public slots:
    // A file that does not decode cannot be taken: the error is shown and the dialog stays.
    void accept() override;

private:
    // Closes with a request for the media folder's subfolder, asking for the disc while it is
    // missing; noun and verb word the messages ("borders" "were", "clip art" "was").
    void GoToMedia(const QString& folder, const QString& noun, const QString& verb);
    void RequestFolder(const QString& folder);
    QWidget* BuildSidePanel();

    QLabel* FCaption;
    QToolButton* FPreviewButton;
    TPicturePreview* FPreview;
    QString FPictureFile;
    QString FPictureError;
    QString FRequestedFolder;
};
