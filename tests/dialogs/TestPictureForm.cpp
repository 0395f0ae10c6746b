// The picture properties dialog (what it shows, what OK and Cancel do, the reduction of
// oversized bitmaps), the picture file dialog with its preview, "Go to" buttons and "New
// Picture" loop, and the "Modify Picture" editor.

#include "document/Card.h"
#include "document/PropertyDialogs.h"
#include "objects/ImageDialog.h"
#include "objects/ImageEditor.h"
#include "objects/Picture.h"
#include "objects/PictureForm.h"
#include "support/DocumentFixtures.h"
#include "support/LargeBitmaps.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTransform>

#include <gtest/gtest.h>

namespace {

template <typename T = QWidget> T* Child(const QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

bool Shown(const QWidget& parent, const char* name) {
    const QWidget* widget = Child(parent, name);
    return widget && widget->isVisibleTo(&parent);
}

QImage Filled(int width, int height, QColor color = Qt::darkCyan) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

TPictureData Bitmap(int width, int height) {
    TPictureData picture;
    picture.Bitmap = BitmapFromImage(Filled(width, height));
    return picture;
}

class TRecordingShell : public TShell {
public:
    int Repaints = 0;
    void RepaintObject(TCardObject&) override { ++Repaints; }
};

// An open document whose first panel holds the picture object under test.
class PictureDialogTest : public testing::Test {
protected:
    PictureDialogTest() : Card(0, 0) {
        Test.Context.AddOpenCard(&Card);
        Test.Context.ActiveCard = &Card;
        Test.Context.SetShell(&Shell);
        Object = new TPictureObject();
        Object->Bounds = {10, 20, 310, 220};
        Card.Pages(0)->Panels(0)->AddObject(Object);
        Card.DocumentModified = false;
    }
    ~PictureDialogTest() override {
        Test.Context.SetShell(nullptr);
        Test.Context.RemoveOpenCard(&Card);
    }

    TSettingsStore& Settings() { return Test.Context.Settings(); }
    QVariant Setting(const char* section, const char* key) {
        return Settings().Value(QString::fromLatin1(section), QString::fromLatin1(key));
    }
    // A picture file in the temporary folder.
    QString WritePng(const QString& name, int width, int height) {
        const QString path = Folder.filePath(name);
        EXPECT_TRUE(Filled(width, height).save(path, "PNG"));
        return path;
    }
    QString WriteText(const QString& name, const QByteArray& bytes) {
        const QString path = Folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    TTestContext Test;
    TRecordingShell Shell;
    TCard Card;
    TPictureObject* Object;
    QTemporaryDir Folder;
};

} // namespace

// The properties dialog.

TEST_F(PictureDialogTest, ModifyAndRestoreAreOfferedOnlyWhereTheyApply) {
    TPictureForm form;
    form.AskNewPicture = [] { return std::nullopt; };
    form.Fill(*Object);
    EXPECT_FALSE(Shown(form, "ModifyPictureButton")); // no picture
    EXPECT_FALSE(Shown(form, "RestoreSizeCheck"));
    EXPECT_EQ(Child<QLabel>(form, "SizeLabel")->text(), QStringLiteral("No picture"));

    // A 300 x 200 bitmap on an object of 300 x 200 hundredths: already its own size.
    Object->SetGraphic(Bitmap(300, 200));
    form.Fill(*Object);
    EXPECT_TRUE(Shown(form, "ModifyPictureButton"));
    EXPECT_FALSE(Shown(form, "RestoreSizeCheck"));

    // A new picture of another size offers the restore; one of the object's size hides it again
    // and a checked box does not survive being hidden.
    form.SetPicture(Bitmap(40, 200));
    EXPECT_TRUE(Shown(form, "RestoreSizeCheck"));
    Child<QCheckBox>(form, "RestoreSizeCheck")->setChecked(true);
    form.SetPicture(Bitmap(300, 200));
    EXPECT_FALSE(Shown(form, "RestoreSizeCheck"));
    EXPECT_FALSE(Child<QCheckBox>(form, "RestoreSizeCheck")->isChecked());

    // Metafiles cannot be edited.
    TPictureData metafile;
    metafile.IsMetafile = true;
    metafile.Metafile.Format = TMetafileFormat::Emf;
    metafile.Metafile.Bytes = QByteArray(100, '\0');
    form.SetPicture(metafile);
    EXPECT_FALSE(Shown(form, "ModifyPictureButton"));
}

TEST_F(PictureDialogTest, OkStoresPictureSizeFlagsAndDefaults) {
    Object->SetGraphic(Bitmap(50, 50));
    TPictureForm form;
    form.Fill(*Object);
    // Sizes in whole screen pixels, so that aligning does not round them.
    form.SetPicture(Bitmap(125, 75));
    Child<QCheckBox>(form, "RestoreSizeCheck")->setChecked(true);
    Child<QCheckBox>(form, "CenterVerticallyCheck")->setChecked(true);
    Child<QCheckBox>(form, "DefaultCheck")->setChecked(true);
    form.ApplyTo(*Object);

    EXPECT_TRUE(Object->HasPicture);
    EXPECT_FALSE(Object->IsMetafile);
    EXPECT_EQ(Object->BitmapSize(), QSize(125, 75));
    EXPECT_EQ(Object->Bounds.Width(), 125);
    EXPECT_EQ(Object->Bounds.Height(), 75);
    EXPECT_EQ(Object->Bounds.Left, 10);
    EXPECT_FALSE(Object->CenterHorizontally);
    EXPECT_TRUE(Object->CenterVertically);
    EXPECT_NE(Object->Bounds.Top, 20); // centred on the panel
    EXPECT_EQ(Shell.Repaints, 2);      // the old area and the new one
    EXPECT_TRUE(Card.DocumentModified);
    EXPECT_TRUE(Test.Messages.Confirmations.isEmpty()); // small picture: nothing to reduce
    EXPECT_EQ(Setting("Default Picture", "Center Horizontally").toString(), QStringLiteral("0"));
    EXPECT_EQ(Setting("Default Picture", "Center Vertically").toString(), QStringLiteral("1"));
    std::unique_ptr<TPictureObject> fresh(TPictureObject::CreateDefault());
    EXPECT_TRUE(fresh->CenterVertically);
    EXPECT_FALSE(fresh->HasPicture);

    // Without "Default" the defaults stay as they are.
    TPictureForm again;
    again.Fill(*Object);
    Child<QCheckBox>(again, "CenterVerticallyCheck")->setChecked(false);
    again.ApplyTo(*Object);
    EXPECT_FALSE(Object->CenterVertically);
    EXPECT_EQ(Setting("Default Picture", "Center Vertically").toString(), QStringLiteral("1"));
}

TEST_F(PictureDialogTest, RegisteredDialogCancelChangesNothingAndOkApplies) {
    RegisterPictureDialog();
    Object->SetGraphic(Bitmap(300, 200));
    Object->CenterHorizontally = true;
    const QByteArray bytes = Object->Bitmap.Bytes;
    const TPropertyDialog* dialog = PropertyDialogFor(*Object);
    ASSERT_NE(dialog, nullptr);

    QString title;
    QTimer::singleShot(0, [&title] {
        auto* form = qobject_cast<TPictureForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        title = form->windowTitle();
        form->SetPicture(Bitmap(10, 10));
        Child<QCheckBox>(*form, "CenterHorizontallyCheck")->setChecked(false);
        Child<QCheckBox>(*form, "DefaultCheck")->setChecked(true);
        Child<QPushButton>(*form, "CancelButton")->click();
    });
    EXPECT_FALSE((*dialog)(*Object));
    EXPECT_EQ(title, QStringLiteral("Picture Object Properties"));
    EXPECT_EQ(Object->Bitmap.Bytes, bytes);
    EXPECT_TRUE(Object->CenterHorizontally);
    EXPECT_EQ(Object->Bounds, (TRect{10, 20, 310, 220}));
    EXPECT_EQ(Shell.Repaints, 0);
    EXPECT_FALSE(Card.DocumentModified);
    EXPECT_FALSE(Setting("Default Picture", "Center Horizontally").isValid());

    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<TPictureForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        form->SetPicture(Bitmap(10, 10));
        Child<QPushButton>(*form, "OkButton")->click();
    });
    EXPECT_TRUE((*dialog)(*Object));
    EXPECT_EQ(Object->BitmapSize(), QSize(10, 10));
    EXPECT_TRUE(Card.DocumentModified);
}

TEST_F(PictureDialogTest, NewPictureRunsAsTheDialogOpensOnlyWithoutAPicture) {
    int asked = 0;
    {
        TPictureForm form;
        form.AskNewPicture = [&asked]() -> std::optional<TPictureData> {
            ++asked;
            return Bitmap(64, 48);
        };
        form.Fill(*Object);
        form.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(form.Picture().PixelSize(), QSize(64, 48));
        EXPECT_TRUE(form.PictureChanged());
        EXPECT_TRUE(Shown(form, "ModifyPictureButton"));
        EXPECT_EQ(Child<QLabel>(form, "SizeLabel")->text(), QStringLiteral("64 \u00d7 48 pixels"));
        // Shown again (e.g. after being hidden) it does not ask a second time.
        form.hide();
        form.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(asked, 1);
    }
    Object->SetGraphic(Bitmap(30, 30));
    TPictureForm form;
    form.AskNewPicture = [&asked]() -> std::optional<TPictureData> {
        ++asked;
        return std::nullopt;
    };
    form.Fill(*Object);
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(asked, 1);
    // The button asks; a cancelled choice keeps the picture.
    Child<QPushButton>(form, "NewPictureButton")->click();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(form.Picture().PixelSize(), QSize(30, 30));
    EXPECT_FALSE(form.PictureChanged());
}

TEST_F(PictureDialogTest, OversizedBitmapIsReducedOnlyWhenTheUserAgrees) {
    Object->Bounds = {0, 0, 100, 100}; // one inch: 300 x 300 pixels print it
    TPictureForm form;
    form.Fill(*Object);
    form.SetPicture(Bitmap(1200, 900));
    form.ApplyTo(*Object);
    ASSERT_EQ(Test.Messages.Confirmations.size(), 1);
    EXPECT_EQ(Test.Messages.Confirmations[0],
              QStringLiteral("This picture has far more detail (1200 \u00d7 900 pixels) than "
                             "printing it at this size can use. Reduce it to 400 \u00d7 300 "
                             "pixels to keep the document small?"));
    EXPECT_EQ(Object->BitmapSize(), QSize(400, 300));
    EXPECT_EQ(Object->BitmapImage().pixelColor(200, 150), QColor(Qt::darkCyan));

    Test.Messages.Confirmations.clear();
    Test.Messages.ConfirmAnswer = false;
    TPictureForm declined;
    declined.Fill(*Object);
    declined.SetPicture(Bitmap(1200, 900));
    declined.ApplyTo(*Object);
    EXPECT_EQ(Test.Messages.Confirmations.size(), 1);
    EXPECT_EQ(Object->BitmapSize(), QSize(1200, 900));

    // A picture the dialog did not change is not questioned again, nor one that is being
    // restored to its own size (a pixel per hundredth of an inch never has too much detail).
    Test.Messages.Confirmations.clear();
    TPictureForm unchanged;
    unchanged.Fill(*Object);
    unchanged.ApplyTo(*Object);
    TPictureForm restoring;
    restoring.Fill(*Object);
    restoring.SetPicture(Bitmap(1300, 900));
    Child<QCheckBox>(restoring, "RestoreSizeCheck")->setChecked(true);
    restoring.ApplyTo(*Object);
    EXPECT_TRUE(Test.Messages.Confirmations.isEmpty());
    EXPECT_EQ(Object->BitmapSize(), QSize(1300, 900));
}

TEST_F(PictureDialogTest, AFileTooLargeToHoldWholeIsOfferedForReductionAndNeverStoredWhole) {
    const QString scan = WriteText(QStringLiteral("scan.bmp"), BandedBmp(6000, 6000));
    TQDXImageDialog dialog;
    dialog.PreviewFile(scan);
    EXPECT_EQ(dialog.Caption(), QStringLiteral("Picture: (6000x6000)"));
    const TPictureData chosen = dialog.Picture();
    ASSERT_TRUE(chosen.IsOversized());

    Object->Bounds = {0, 0, 300, 200}; // 900 x 600 pixels print it
    TPictureForm form;
    form.Fill(*Object);
    form.SetPicture(chosen);
    form.ApplyTo(*Object);
    ASSERT_EQ(Test.Messages.Confirmations.size(), 1);
    EXPECT_TRUE(Test.Messages.Confirmations[0].contains(
        QStringLiteral("(6000 \u00d7 6000 pixels) than printing it at this size can use. "
                       "Reduce it to 900 \u00d7 900 pixels")));
    EXPECT_EQ(Object->BitmapSize(), QSize(900, 900));
    EXPECT_EQ(Object->BitmapImage().pixel(450, 450), BandColours[2]);

    // Declined, the picture keeps the most a picture holds, and the user is told so.
    Test.Messages.ConfirmAnswer = false;
    TPictureForm declined;
    declined.Fill(*Object);
    declined.SetPicture(chosen);
    declined.ApplyTo(*Object);
    EXPECT_EQ(Object->BitmapSize(), WithinPictureLimit(QSize(6000, 6000)));
    ASSERT_EQ(Test.Messages.Informations.size(), 1);
    EXPECT_TRUE(Test.Messages.Informations[0].contains(QStringLiteral("the most one picture")));
}

TEST_F(PictureDialogTest, ModifyPictureTakesTheEditedBitmap) {
    QImage image = Filled(40, 20);
    image.setPixelColor(0, 0, Qt::red);
    TPictureData picture;
    picture.Bitmap = BitmapFromImage(image);
    Object->SetGraphic(picture);
    TPictureForm form;
    form.Fill(*Object);
    QSize given;
    form.AskModifiedImage = [&given](const QImage& original) -> std::optional<QImage> {
        given = original.size();
        return original.transformed(QTransform().rotate(90));
    };
    Child<QPushButton>(form, "ModifyPictureButton")->click();
    EXPECT_EQ(given, QSize(40, 20));
    EXPECT_EQ(form.Picture().PixelSize(), QSize(20, 40));
    EXPECT_TRUE(form.PictureChanged());
    form.ApplyTo(*Object);
    EXPECT_EQ(Object->BitmapImage().pixelColor(19, 0), QColor(Qt::red));

    // A cancelled edit keeps the picture unchanged.
    TPictureForm cancelled;
    cancelled.Fill(*Object);
    cancelled.AskModifiedImage = [](const QImage&) { return std::nullopt; };
    Child<QPushButton>(cancelled, "ModifyPictureButton")->click();
    EXPECT_FALSE(cancelled.PictureChanged());
}

// The picture file dialog.

TEST_F(PictureDialogTest, PreviewShowsDecodedPicturesAndNoneForOthers) {
    const QString png = WritePng(QStringLiteral("photo.png"), 30, 20);
    TQDXImageDialog dialog;
    EXPECT_EQ(dialog.Caption(), QStringLiteral("Picture:"));
    EXPECT_EQ(dialog.Preview()->Text(), QStringLiteral("(None)"));

    dialog.PreviewFile(png);
    EXPECT_EQ(dialog.Caption(), QStringLiteral("Picture: (30x20)"));
    EXPECT_EQ(Child<QLabel>(dialog, "PreviewCaption")->text(), dialog.Caption());
    EXPECT_TRUE(dialog.Preview()->Text().isEmpty());
    EXPECT_TRUE(dialog.PreviewButton()->isEnabled());
    EXPECT_EQ(dialog.Picture().PixelSize(), QSize(30, 20));

    for (const QString& other : {WriteText(QStringLiteral("notes.png"), "not a picture at all"),
                                 Folder.path(), Folder.filePath(QStringLiteral("missing.bmp"))}) {
        dialog.PreviewFile(other);
        EXPECT_EQ(dialog.Caption(), QStringLiteral("Picture:")) << other.toStdString();
        EXPECT_EQ(dialog.Preview()->Text(), QStringLiteral("(None)"));
        EXPECT_FALSE(dialog.PreviewButton()->isEnabled());
        EXPECT_TRUE(dialog.Picture().IsEmpty());
    }

    // Bytes that claim to be a bitmap but do not draw.
    TPictureData broken;
    broken.Bitmap.Bytes = QByteArray("BM") + QByteArray(60, '\x7f');
    dialog.Preview()->SetPicture(broken);
    EXPECT_EQ(dialog.Preview()->Text(), QStringLiteral("Invalid image"));

    // The filters offer both letter cases; GIF and TIFF are among the formats.
    const QStringList filters = TQDXImageDialog::NameFilters();
    ASSERT_FALSE(filters.isEmpty());
    for (const char* pattern : {"*.bmp", "*.BMP", "*.jpeg", "*.JPEG", "*.gif", "*.tiff", "*.wmf"})
        EXPECT_TRUE(filters[0].contains(QString::fromLatin1(pattern))) << pattern;
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("All image file types (")));
}

TEST_F(PictureDialogTest, PreviewWindowFitsThePictureAndClosesWithEscape) {
    TQDXImageDialog dialog;
    EXPECT_EQ(dialog.ShowPreviewWindow(), nullptr); // nothing to show

    dialog.PreviewFile(WritePng(QStringLiteral("small.png"), 120, 90));
    QPointer<QDialog> window = dialog.ShowPreviewWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Preview"));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(window->size(), QSize(124, 94)); // the picture and its frame
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_LE((window->geometry().center() - screen.center()).manhattanLength(), 2);
    QTest::keyClick(window, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());

    // A picture larger than the screen keeps its proportions within three quarters of it.
    const QSize big(screen.width() * 2, screen.width());
    dialog.PreviewFile(WritePng(QStringLiteral("big.png"), big.width(), big.height()));
    window = dialog.ShowPreviewWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_LE(window->width(), screen.width() * 3 / 4);
    EXPECT_LE(window->height(), screen.height() * 3 / 4);
    EXPECT_NEAR(double(window->width()) / window->height(), 2.0, 0.05);
    window->close();
}

TEST_F(PictureDialogTest, AcceptRefusesAFileThatDoesNotDecode) {
    TQDXImageDialog dialog;
    dialog.setDirectory(Folder.path());
    const QString junk = WriteText(QStringLiteral("junk.jpg"), "JFIF? no");
    dialog.selectFile(junk);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(Test.Messages.Errors.size(), 1);
    EXPECT_TRUE(Test.Messages.Errors[0].contains(QStringLiteral("junk.jpg")));

    // A good file is taken even when the preview never saw it (a typed name).
    const QString png = WritePng(QStringLiteral("typed.png"), 8, 6);
    dialog.selectFile(png);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Picture().PixelSize(), QSize(8, 6));
}

TEST_F(PictureDialogTest, NewPictureReopensWhereGoToAsksAndRemembersTheFolder) {
    const QString textures = Folder.filePath(QStringLiteral("Textures"));
    const QString remembered = Folder.filePath(QStringLiteral("Pictures"));
    ASSERT_TRUE(QDir().mkpath(textures));
    ASSERT_TRUE(QDir().mkpath(remembered));
    Test.Context.TexturesFolder = textures;
    Test.Context.ProgramFolder = Folder.path();
    Settings().WriteString(QStringLiteral("Options"), QStringLiteral("Picture Folder"), remembered);
    const QString wood = QDir(textures).filePath(QStringLiteral("Wood.png"));
    ASSERT_TRUE(Filled(16, 12).save(wood));

    QStringList opened;
    QStringList titles;
    const auto picture = TQDXImageDialog::ChooseNewPicture(nullptr, [&](TQDXImageDialog& d) {
        opened.append(d.directory().absolutePath());
        titles.append(d.windowTitle());
        if (opened.size() == 1) {
            Child<QPushButton>(d, "GoToTexturesButton")->click();
        } else {
            d.PreviewFile(wood);
            d.selectFile(wood);
            d.accept();
        }
        return d.result();
    });
    ASSERT_TRUE(picture.has_value());
    EXPECT_FALSE(picture->IsMetafile);
    EXPECT_EQ(picture->PixelSize(), QSize(16, 12));
    EXPECT_EQ(opened, QStringList({remembered, textures}));
    EXPECT_EQ(titles, QStringList({QStringLiteral("New Picture"), QStringLiteral("New Picture")}));
    EXPECT_EQ(Settings().ReadString(QStringLiteral("Options"), QStringLiteral("Picture Folder"),
                                    QString()),
              textures);

    // Cancelled: nothing is chosen and nothing remembered. A remembered folder that is gone
    // gives way to the program folder.
    ASSERT_TRUE(QDir(textures).removeRecursively());
    opened.clear();
    const auto cancelled = TQDXImageDialog::ChooseNewPicture(nullptr, [&](TQDXImageDialog& d) {
        opened.append(d.directory().absolutePath());
        d.reject();
        return d.result();
    });
    EXPECT_FALSE(cancelled.has_value());
    EXPECT_EQ(opened, QStringList({Folder.path()}));
    EXPECT_EQ(Settings().ReadString(QStringLiteral("Options"), QStringLiteral("Picture Folder"),
                                    QString()),
              textures);
}

namespace {

// Answers the "insert the CD" question by making the folder appear.
class TDiscInserter : public TRecordingMessages {
public:
    QString Folder;
    bool Confirm(const QString& text) override {
        QDir().mkpath(Folder);
        return TRecordingMessages::Confirm(text);
    }
};

} // namespace

TEST_F(PictureDialogTest, MissingMediaFoldersAskForTheDiscAndKeepTheDialogOpen) {
    const QString media = Folder.filePath(QStringLiteral("media"));
    Settings().WriteString(QStringLiteral("CD Drive"), QStringLiteral("Media Folder"), media);
    TQDXImageDialog dialog;
    Child<QPushButton>(dialog, "GoToBordersButton")->click();
    EXPECT_EQ(Test.Messages.Confirmations,
              QStringList({QStringLiteral("The borders were not found on the CD.  Please insert "
                                          "the CD with the borders into the %1: drive, and then "
                                          "press OK to continue.")
                               .arg(media)}));
    EXPECT_EQ(Test.Messages.Errors,
              QStringList({QStringLiteral("The borders were not found on the CD.")}));
    EXPECT_TRUE(dialog.RequestedFolder().isEmpty());
    EXPECT_EQ(dialog.result(), 0);

    // Cancel on the question gives up without the error.
    Test.Messages.Confirmations.clear();
    Test.Messages.Errors.clear();
    Test.Messages.ConfirmAnswer = false;
    Child<QPushButton>(dialog, "GoToClipArtButton")->click();
    EXPECT_EQ(Test.Messages.Confirmations,
              QStringList({QStringLiteral("The clip art was not found on the CD.  Please insert "
                                          "the CD with the clip art into the %1: drive, and then "
                                          "press OK to continue.")
                               .arg(media)}));
    EXPECT_TRUE(Test.Messages.Errors.isEmpty());
    EXPECT_TRUE(dialog.RequestedFolder().isEmpty());

    // The disc goes in while the question is up: the request is made.
    TDiscInserter inserter;
    inserter.Folder = QDir(media).filePath(QStringLiteral("Clip Art"));
    Test.Context.SetMessages(&inserter);
    Child<QPushButton>(dialog, "GoToClipArtButton")->click();
    Test.Context.SetMessages(&Test.Messages);
    EXPECT_EQ(inserter.Confirmations.size(), 1);
    EXPECT_TRUE(inserter.Errors.isEmpty());
    EXPECT_EQ(dialog.RequestedFolder(), inserter.Folder);

    // Present folders are gone to without a question; an empty setting means the program folder.
    Settings().WriteString(QStringLiteral("CD Drive"), QStringLiteral("Media Folder"), QString());
    Test.Context.ProgramFolder = media;
    ASSERT_TRUE(QDir().mkpath(QDir(media).filePath(QStringLiteral("Borders"))));
    TQDXImageDialog second;
    Child<QPushButton>(second, "GoToBordersButton")->click();
    EXPECT_EQ(second.RequestedFolder(), QDir(media).filePath(QStringLiteral("Borders")));
    EXPECT_EQ(inserter.Confirmations.size(), 1);
}

// The picture editor.

TEST(ImageEditor, ButtonsDragAndSlidersEditThePicture) {
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(QColor(100, 100, 100));
    image.setPixelColor(0, 0, Qt::red);
    TImageEditor editor(image);
    editor.resize(800, 500);
    editor.show();
    QCoreApplication::processEvents();

    QTest::mouseClick(Child<QPushButton>(editor, "RotateRightButton"), Qt::LeftButton);
    EXPECT_EQ(editor.Picture().size(), QSize(100, 200));
    EXPECT_EQ(editor.Picture().pixelColor(99, 0), QColor(Qt::red));
    QTest::mouseClick(Child<QPushButton>(editor, "FlipHorizontalButton"), Qt::LeftButton);
    EXPECT_EQ(editor.Picture().pixelColor(0, 0), QColor(Qt::red));
    QTest::mouseClick(Child<QPushButton>(editor, "FlipVerticalButton"), Qt::LeftButton);
    EXPECT_EQ(editor.Picture().pixelColor(0, 199), QColor(Qt::red));
    QTest::mouseClick(Child<QPushButton>(editor, "RotateLeftButton"), Qt::LeftButton);
    EXPECT_EQ(editor.Picture().size(), QSize(200, 100));
    EXPECT_EQ(editor.Picture().pixelColor(199, 99), QColor(Qt::red));

    // Dragging across the top-left quarter of the picture selects it; Crop keeps it.
    auto* crop = Child<QPushButton>(editor, "CropButton");
    EXPECT_FALSE(crop->isEnabled());
    TImageCanvas* canvas = editor.Canvas();
    const QRect shown = canvas->ShownRect();
    ASSERT_FALSE(shown.isEmpty());
    QTest::mousePress(canvas, Qt::LeftButton, {}, shown.topLeft() - QPoint(5, 5));
    QTest::mouseMove(canvas, shown.center());
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, shown.center());
    const QRect selection = canvas->Selection();
    EXPECT_EQ(selection.topLeft(), QPoint(0, 0));
    EXPECT_NEAR(selection.width(), 100, 2);
    EXPECT_NEAR(selection.height(), 50, 2);
    ASSERT_TRUE(crop->isEnabled());
    QTest::mouseClick(crop, Qt::LeftButton);
    EXPECT_EQ(editor.Picture().size(), selection.size());
    EXPECT_TRUE(canvas->Selection().isEmpty());
    // A click without a drag selects nothing.
    QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->ShownRect().center());
    EXPECT_TRUE(canvas->Selection().isEmpty());

    // Brightness applies to the result; Reset brings everything back.
    Child<QSlider>(editor, "BrightnessSlider")->setValue(50);
    EXPECT_EQ(editor.Result().pixelColor(10, 10), QColor(228, 228, 228));
    EXPECT_EQ(editor.Picture().pixelColor(10, 10), QColor(100, 100, 100));
    QTest::mouseClick(Child<QPushButton>(editor, "ResetButton"), Qt::LeftButton);
    EXPECT_EQ(Child<QSlider>(editor, "BrightnessSlider")->value(), 0);
    EXPECT_EQ(editor.Result(), image);
}
