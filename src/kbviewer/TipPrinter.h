#pragma once

class QPrinter;
class QTextDocument;

// Prints rich text with one-inch margins on every side, page after page, in the printer's
// page range. The printer is set up (printer or PDF file, paper) before.
void PrintTipText(const QTextDocument& text, QPrinter& printer);
