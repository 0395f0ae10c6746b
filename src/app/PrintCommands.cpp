#include "app/PrintCommands.h"

#include "app/MainForm.h"
#include "app/PrintPreview.h"
#include "document/AppContext.h"
#include "document/MainDialogs.h"
#include "editor/CardWin.h"
#include "platform/QtPrinter.h"
#include "print/PrintPublication.h"

namespace {

// The questions of printing as message boxes and dialogs of the main window.
class TWindowPrintPrompts : public TPrintPrompts {
public:
    explicit TWindowPrintPrompts(TMainForm& main) : FMain(main) {}
    bool PrintPerRecord() override { return FMain.Messages().Confirm(PerRecordQuestion()); }
    bool PrintCropMarks() override { return FMain.Messages().Confirm(CropMarksQuestion()); }
    bool TurnPaperOver() override { return FMain.Dialogs().TurnPaperOver(); }
    void Busy(bool busy) override {
        if (busy)
            FMain.BeginBusy();
        else
            FMain.EndBusy();
    }

private:
    TMainForm& FMain;
};

} // namespace

TPrintCommands::TPrintCommands(TMainForm& main)
    : FMain(main), FQtPrinter(std::make_unique<TQtPrinter>(AppContext().Metric)),
      FPrinter(FQtPrinter.get()) {}

TPrintCommands::~TPrintCommands() = default;

void TPrintCommands::UsePrinter(TPrinter* printer) {
    FPrinter = printer ? printer : static_cast<TPrinter*>(FQtPrinter.get());
}

bool TPrintCommands::IsPrinting() const {
    return FPrinting || FPrinter->Printing();
}

void TPrintCommands::PrinterChanged() {
    for (TCardForm* form : FMain.Editors())
        form->PrinterChanged();
}

void TPrintCommands::Print() {
    TCardForm* form = FMain.ActiveEditor();
    if (!form || IsPrinting()) return;
    TPrintRequest request;
    request.Title = form->windowTitle();
    const QString printer = FPrinter->Name();
    if (!FMain.Dialogs().Print(form->Card().PageCount(), request)) return;
    if (FPrinter->Name() != printer) PrinterChanged();
    TWindowPrintPrompts prompts(FMain);
    FPrinting = true;
    struct TDone {
        bool& Printing;
        ~TDone() { Printing = false; }
    } done{FPrinting};
    form->PrintPublication(*FPrinter, prompts, request);
}

void TPrintCommands::PrintSetup() {
    if (IsPrinting()) return;
    if (FMain.Dialogs().PrintSetup()) PrinterChanged();
}

void TPrintCommands::Preview() {
    TCardForm* form = FMain.ActiveEditor();
    if (!form) return;
    int result = QDialog::Rejected;
    {
        TPrintPreviewForm preview(form->Card(), form, &FMain);
        result = preview.exec();
    }
    if (result == TPrintPreviewForm::PrintRequested) Print();
}
