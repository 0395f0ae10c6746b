#pragma once

#include <memory>

class TMainForm;
class TPrinter;
class TQtPrinter;

// Print, Print Setup and Print Preview, and the printer every document lays itself out for.
class TPrintCommands {
public:
    explicit TPrintCommands(TMainForm& main);
    ~TPrintCommands();

    void Print();
    void PrintSetup();
    void Preview();
    // Every open document takes the margins of the printer now chosen.
    void PrinterChanged();

    // The program's printer; tests put another in its place (null restores it).
    TPrinter& Printer() const { return *FPrinter; }
    TQtPrinter& QtPrinter() const { return *FQtPrinter; }
    void UsePrinter(TPrinter* printer);
    // From the print dialog until the last page has gone to the printer.
    bool IsPrinting() const;

private:
    TMainForm& FMain;
    std::unique_ptr<TQtPrinter> FQtPrinter;
    TPrinter* FPrinter = nullptr;
    bool FPrinting = false;
};
