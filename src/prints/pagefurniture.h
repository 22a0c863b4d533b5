#pragma once
// What the document prints put on their pages besides their lines: the
// heading of the pages after the first, and the figures at the foot of each
// page of a pre-printed form.

#include "reportengine/reportengine.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace prints {

// A page header that prints on every page but the first: `text` (the
// document, its series, number and date) over a thin line, `width` wide.
// The title band keeps the first page.
reportengine::Band& continuationHeader(reportengine::Report& report, const QString& text, double width);

// The figures at the foot of the pages of a form: a page shows the sums of
// its own lines, the page of the document's last line shows the document's
// totals. Rows carry their line number, from 1, in the field "Nr"; the page
// header tells where a page starts (pageStarts, with the row it prints
// with) and the page footer asks with the last row placed on its page.
class PageTotals {
public:
    // `lines`: the figures of each printed line, in order, all of the same
    // size; `document`: the document's totals, one per figure.
    PageTotals(const std::vector<std::vector<double>>& lines, std::vector<double> document);

    void pageStarts(const reportengine::Row& row);
    // Whether the page whose last row is `lastPlaced` holds the document's last line.
    bool lastPage(const reportengine::Row& lastPlaced) const;
    double figure(const reportengine::Row& lastPlaced, std::size_t which) const;

private:
    int lineOf(const reportengine::Row& row) const;

    std::vector<std::vector<double>> m_running; // after line n: the sums of lines 1..n
    std::vector<double> m_document;
    int m_firstOnPage = 1;
};

} // namespace prints
