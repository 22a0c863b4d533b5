#pragma once
// Helpers shared by the tests of the printed documents.

#include "prints/printsettings.h"

#include <QMarginsF>
#include <QSizeF>

namespace printstest {

using namespace prints;

// Two printers and the PDF file. "Laser" (the default) cannot print within
// 4 mm of the left edge, 5 of the top, 6 of the right and 7 of the bottom of
// an upright A4 sheet; "Matrix" keeps 10 mm on every side of its 8 x 12 in
// paper (203 x 305 mm).
class FakePrinters : public Printers {
public:
    QStringList installed{"Laser", "Matrix"};
    QString defaultPrinter = "Laser";

    QStringList names() const override { return installed + QStringList{QString::fromLatin1(kPdfPrinterName)}; }
    QString resolve(const QString& name) const override
    {
        if (installed.contains(name) || name == QLatin1String(kPdfPrinterName))
            return name;
        return defaultPrinter;
    }
    PrinterLimits limits(const PrinterChoice& c) const override
    {
        if (c.printer == "Matrix")
            return printerLimits(QMarginsF(9.5, 9.5, 9.5, 9.5), QSizeF(203.2, 304.8), c.orientation);
        const QSizeF paper = c.paperSize == 11 ? QSizeF(148, 210) : QSizeF(210, 297);
        return printerLimits(QMarginsF(3.2, 4.1, 5.4, 6.6), paper, c.orientation);
    }
    int paperIndex(const PrinterChoice& c) const override { return c.paperSize != 0 ? c.paperSize : kA4PaperSize; }
};

} // namespace printstest
