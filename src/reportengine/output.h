#pragma once
// A page list on paper, in a PDF file or in a picture.

#include "pagelist.h"

#include <QImage>
#include <QPageLayout>
#include <QString>

class QPrinter;

namespace reportengine {

// The paper and orientation of the setup, without margins (pages are drawn
// from the paper's corner).
QPageLayout pageLayout(const PageSetup& setup);

// Writes the pages to a PDF file; false with a message in `error` when the
// file cannot be written.
bool writePdf(const PageList& pages, const QString& path, QString* error = nullptr);

// Prints the pages first..last (0-based; last -1: to the end) on the printer
// as it is set up (copies, printer); sets its paper and orientation from the
// page list. False when the printer cannot be started.
bool printPages(const PageList& pages, QPrinter& printer, int first = 0, int last = -1);

// One page as a picture at `dpi` dots per inch, on white.
QImage renderPage(const PageList& pages, int page, double dpi);

} // namespace reportengine
