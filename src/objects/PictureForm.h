#pragma once

#include "objects/PictureFiles.h"
#include "storage/Rect.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class TPictureObject;
class TPicturePreview;

// Registers the picture's properties dialog with the document model. The user interface calls
// it once at start-up.
void RegisterPictureDialog();

// "Picture Object Properties": the object's picture with a preview, replaced through the picture
// file dialog or edited in "Modify Picture" (bitmaps only), the centring flags, "Restore to
// original size" and "Default". The dialog works on its own copy of the picture; the object
// takes it on OK. A bitmap chosen or edited here that holds far more pixels than printing the
// object needs is offered for reduction on OK, since the document embeds every pixel.
// Object names: PicturePreview, SizeLabel, NewPictureButton, ModifyPictureButton,
// RestoreSizeCheck, CenterHorizontallyCheck, CenterVerticallyCheck, DefaultCheck.
class TPictureForm : public QDialog {
    Q_OBJECT
public:
    // The resolution a picture must keep for printing.
    static constexpr int PrintDotsPerInch = 300;

    explicit TPictureForm(QWidget* parent = nullptr);
    ~TPictureForm() override;

    // Shows the dialog for the object; true when confirmed.
    static bool Run(TPictureObject& picture, QWidget* parent = nullptr);
    // The picture, size and centring flags from the object; "Restore" and "Default" unchecked.
    void Fill(const TPictureObject& picture);
    // What OK does: offers the reduction, writes the defaults when asked, and the object takes
    // the picture, size and centring flags, is aligned, repainted and its document modified.
    void ApplyTo(TPictureObject& picture);

    const TPictureData& Picture() const { return FPicture; }
    // A new picture from outside the object (chosen or edited); it counts as changed.
    void SetPicture(const TPictureData& picture);
    bool PictureChanged() const { return FChanged; }

    void NewPicture();
    void ModifyPicture();

    // Stand-ins for the modal dialogs (tests); when unset the real ones are shown.
    // "New Picture": the chosen picture, nothing when cancelled.
    std::function<std::optional<TPictureData>()> AskNewPicture;
    // "Modify Picture" on a bitmap: the edited image, nothing when cancelled.
    std::function<std::optional<QImage>(const QImage& image)> AskModifiedImage;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowPicture();
    void UpdateRules();
    // Reduces the picture for print when it is a changed bitmap far larger than the object
    // needs and the user agrees.
    void OfferReduction();
    void TakeOversized(QSize reduced);
    static QString ReductionQuestion(QSize pixels, QSize reduced);

    TPictureData FPicture;
    TRect FBounds; // the object's, in 1/100 inch
    bool FChanged = false;
    bool FOfferedNew = false; // "New Picture" ran as the dialog opened

    TPicturePreview* FPreview;
    QLabel* FSizeLabel;
    QPushButton* FNew;
    QPushButton* FModify;
    QCheckBox* FRestore;
    QCheckBox* FCenterHorizontally;
    QCheckBox* FCenterVertically;
    QCheckBox* FDefault;
};
