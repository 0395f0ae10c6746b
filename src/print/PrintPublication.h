#pragma once

#include "print/PrinterCalibration.h"
#include "types/CardType.h"

#include <QString>

#include <optional>

class TCanvas;
class TCard;
class TCardPanel;
class TPrinter;
class TRecordSource;
struct TPanelPlacement;

enum class TPrintSides { Both, Front, Back };

// What the print dialog (or the command line) chose.
struct TPrintRequest {
    QString Title; // of the print job
    int Copies = 1;
    int FromPage = 0; // 1-based range of document pages; 0 for no bound
    int ToPage = 0;
    TPrintSides Sides = TPrintSides::Both; // of two-sided formats
    // Sheet formats: the first free position of a half-used first sheet, 0-based, row by row.
    // Only the first sheet of the job starts there.
    int StartItem = 0;
    // Where the dialog offers StartItem: the grid of the publication's sheet.
    std::optional<TSheetGeometry> StartSheet;
    // Records FirstRecord to LastRecord of the table (1-based, inclusive; 0 for no bound)
    // when one document is printed per record.
    int FirstRecord = 0;
    int LastRecord = 0;
    // Undoes the printer's own misplacement on every sheet.
    TPrintCalibration Calibration;
    // The dialog's choice whether the printer's calibration also applies to a file.
    bool CalibrateFile = false;
};

// The questions printing asks. The editing window asks with message boxes; batch printing
// answers from its options.
class TPrintPrompts {
public:
    virtual ~TPrintPrompts() = default;
    // PerRecordQuestion(), asked when the publication is connected to a table.
    virtual bool PrintPerRecord() = 0;
    // CropMarksQuestion(), asked for business cards.
    virtual bool PrintCropMarks() = 0;
    // TurnOverQuestion(), asked before the back of each sheet; false stops printing.
    virtual bool TurnPaperOver() = 0;
    // Around each pass the printer works on (the hourglass).
    virtual void Busy(bool) {}
};

// Answers given in advance; the paper is always ready to print its other side.
class TAnsweredPrintPrompts : public TPrintPrompts {
public:
    TAnsweredPrintPrompts(bool perRecord, bool cropMarks)
        : FPerRecord(perRecord), FCropMarks(cropMarks) {}
    bool PrintPerRecord() override { return FPerRecord; }
    bool PrintCropMarks() override { return FCropMarks; }
    bool TurnPaperOver() override { return true; }

private:
    bool FPerRecord;
    bool FCropMarks;
};

QString PerRecordQuestion();
QString CropMarksQuestion();
QString TurnOverQuestion();

struct TPrintResult {
    int Jobs = 0;  // print jobs begun
    int Pages = 0; // pages the printer received
    bool Cancelled = false; // at the question before a back
};

// Prints the publication: every copy, every document (one per record when asked), every
// sheet of a tiled or sheet format, every page in the range, every pass of it. Each pass is
// its own job on paper; a printer that writes a file gets every pass in one job. The record
// source is back on its record afterwards, also after an error or a cancel. Throws an
// Exception when the printer fails.
TPrintResult PrintPublication(TCard& card, TPrinter& printer, TPrintPrompts& prompts,
                              const TPrintRequest& request);

// Draws the panel's objects where `at` places them, publishing the panel's turn to them
// through the canvas; `printing` as for TCardObject::Paint.
void PaintPlacedPanel(TCanvas& canvas, const TCardPanel& panel, const TPanelPlacement& at,
                      bool printing);

// Printing and previewing step through a card's records; when the scope ends the table is
// back on the record it was on and the card's objects show it again.
class TRecordPositionScope {
public:
    TRecordPositionScope(TCard& card, TRecordSource* table);
    ~TRecordPositionScope();
    TRecordPositionScope(const TRecordPositionScope&) = delete;
    TRecordPositionScope& operator=(const TRecordPositionScope&) = delete;

private:
    TCard& FCard;
    TRecordSource* FTable;
    int FSaved;
};
