#include "pagefurniture.h"

#include <QtGlobal>
#include <memory>

namespace prints {

using reportengine::Band;
using reportengine::BandKind;
using reportengine::Report;
using reportengine::Row;

namespace {

// Counts the pages a layout has begun; set back to none before each layout.
class PageCounter : public reportengine::Label {
public:
    explicit PageCounter(std::shared_ptr<int> pages) : Label(0, 0, 1, QString()), m_pages(std::move(pages))
    {
        setEnabled(false); // prints nothing
    }
    void prepare(Report&) override { *m_pages = 0; }

private:
    std::shared_ptr<int> m_pages;
};

} // namespace

Band& continuationHeader(Report& report, const QString& text, double width)
{
    auto pages = std::make_shared<int>(0);
    Band& band = report.band(BandKind::PageHeader, 7);
    band.add<PageCounter>(pages);
    band.printWhen([pages](const Row&) { return ++*pages > 1; });
    band.label(0, 0.5, width, text).bold();
    band.line(0, 5, width, 5, 0.1);
    return band;
}

PageTotals::PageTotals(const std::vector<std::vector<double>>& lines, std::vector<double> document)
    : m_document(std::move(document))
{
    m_running.emplace_back(m_document.size(), 0.0);
    for (const std::vector<double>& line : lines) {
        std::vector<double> sum = m_running.back();
        for (std::size_t i = 0; i < sum.size() && i < line.size(); ++i)
            sum[i] += line[i];
        m_running.push_back(std::move(sum));
    }
}

int PageTotals::lineOf(const Row& row) const
{
    const int lines = int(m_running.size()) - 1;
    if (row.isEmpty() || !row.has(QStringLiteral("Nr")))
        return 0;
    return qBound(0, int(row.number(QStringLiteral("Nr"))), lines);
}

void PageTotals::pageStarts(const Row& row)
{
    m_firstOnPage = qMax(1, lineOf(row));
}

bool PageTotals::lastPage(const Row& lastPlaced) const
{
    return lineOf(lastPlaced) >= int(m_running.size()) - 1;
}

double PageTotals::figure(const Row& lastPlaced, std::size_t which) const
{
    if (which >= m_document.size())
        return 0;
    if (lastPage(lastPlaced))
        return m_document[which];
    const int last = lineOf(lastPlaced);
    const int first = qBound(1, m_firstOnPage, qMax(last, 1));
    return m_running[std::size_t(last)][which] - m_running[std::size_t(first - 1)][which];
}

} // namespace prints
