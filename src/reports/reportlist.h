#pragma once
// Every report the program runs, by a short name: the main window's
// commands and `mirafel-cli report` run them through this one table.

#include "reportrun.h"

#include "prints/printstore.h"

#include <QString>
#include <functional>
#include <vector>

namespace reports {

struct ReportKind {
    QString name;    // "inventory-list", ...
    QString caption; // the menu's caption
    std::function<bool(ReportContext&)> run;
};

// In a fixed order.
const std::vector<ReportKind>& reportKinds();
const ReportKind* findReportKind(const QString& name);

// The print settings of a report, kept in `store`: a report starts on A4
// portrait in Arial 8 with margins of 5 mm, and the reports with default
// print parameters set their orientation when they run (step 1), until the
// user chooses the report's settings in its print setup.
prints::PrintSettings& reportPrintSettings(prints::PrintSettingsStore& store, const ReportKind& kind);
// The caption without its accelerator and dots ("Lista de inventar la data").
QString reportPrintCaption(const ReportKind& kind);

} // namespace reports
