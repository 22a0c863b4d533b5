#pragma once
// Every report the program runs, by a short name: the main window's
// commands and `mirafel-cli report` run them through this one table.

#include "reportrun.h"

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

} // namespace reports
