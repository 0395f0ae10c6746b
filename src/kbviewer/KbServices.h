#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QUrl;
class QWidget;

// What the viewer asks of the desktop: message boxes, the print dialog and opening an
// address. Tests replace them with recording doubles.
struct TKbServices {
    // error: an error box (else an information box).
    std::function<void(QWidget* parent, const QString& caption, const QString& text, bool error)>
        ShowMessage;
    // Lets the user choose the printer (or a PDF file); false when cancelled.
    std::function<bool(QPrinter& printer, QWidget* parent)> RunPrintDialog;
    // Opens a web address or a local file with the desktop's program for it.
    std::function<bool(const QUrl& address)> OpenUrl;
};

// The services in use; they start as the real desktop's.
TKbServices& KbServices();
// Puts the real desktop's services back.
void ResetKbServices();
