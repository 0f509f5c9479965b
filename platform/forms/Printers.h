// Whether a printer is installed, and printing to a PDF file without ever leaving a damaged one:
// the report and layout windows print through these.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QPagedPaintDevice;
class QPrinter;

namespace forms {

// True when the system lists at least one printer, unless a test pinned the answer.
bool hasPrinter();
// Pins the answer for tests; std::nullopt asks the system again.
void setHasPrinter(std::optional<bool> answer);

// What the print commands say where no printer is installed and the page goes to a PDF file.
QString pdfFallbackNotice();

// True when printing on `printer` writes a PDF file (no printer installed, or "print to file"),
// false for a real printer and for the preview's own pass over the pages.
bool printsToPdfFile(QPrinter &printer);

// Prints what `paint` draws into the PDF file the printer names, laid out as on the printer (page
// layout, resolution, document name). The document is made in memory, checked (the painter's end
// and a complete, non-empty document) and put in place by vb::replaceFile, so on any failure the
// old file stays as it was. paint returns false when its drawing did not end well. Throws
// vb::Error with an Italian description that names the file.
void printPdfFile(QPrinter &printer, const std::function<bool(QPagedPaintDevice &)> &paint);

}  // namespace forms
