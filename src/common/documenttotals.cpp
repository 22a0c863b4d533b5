#include "documenttotals.h"

#include "rounding.h"

#include <QHash>
#include <algorithm>
#include <tuple>

namespace common {

QList<TotalLine> valuedLines(const QList<PricedLine>& lines, int decimals)
{
    QList<TotalLine> out;
    out.reserve(lines.size());
    for (const PricedLine& line : lines) {
        TotalLine t;
        static_cast<PricedLine&>(t) = line;
        t.value = lineValue(line.quantity, line.price, decimals);
        out.push_back(t);
    }
    return out;
}

QList<TotalLine> mergedInvoiceLines(const QList<PricedLine>& lines, int decimals)
{
    QList<TotalLine> out;
    QHash<QString, qsizetype> at;
    for (const PricedLine& line : lines) {
        // Prices and rates are compared as stored: the same double is the same key.
        const QString key = line.group + QChar(0x1f) + line.article + QChar(0x1f) +
                            QString::number(line.price, 'g', 17) + QChar(0x1f) + QString::number(line.vatRate, 'g', 17);
        const auto found = at.constFind(key);
        if (found == at.constEnd()) {
            at.insert(key, out.size());
            TotalLine t;
            static_cast<PricedLine&>(t) = line;
            out.push_back(t);
        } else {
            TotalLine& t = out[*found];
            t.quantity += line.quantity;
            t.vat += line.vat;
            t.excise += line.excise;
        }
    }
    for (TotalLine& t : out) {
        t.value = lineValue(t.quantity, t.price, decimals);
        // Sums of values already rounded to the ban are brought back to it.
        t.vat = roundMoney(t.vat, 9);
        t.excise = roundMoney(t.excise, 9);
    }
    return out;
}

double DocumentTotals::total() const
{
    return roundMoney(value + vat, 9);
}

DocumentTotals totalsOf(const QList<TotalLine>& printed)
{
    DocumentTotals totals;
    for (const TotalLine& t : printed) {
        totals.value += t.value;
        totals.vat += t.vat;
        totals.excise += t.excise;
        auto rate = std::find_if(totals.byRate.begin(), totals.byRate.end(),
                                 [&](const RateTotal& r) { return r.rate == t.vatRate; });
        if (rate == totals.byRate.end()) {
            totals.byRate.push_back({t.vatRate, 0, 0});
            rate = totals.byRate.end() - 1;
        }
        rate->base += t.value;
        rate->vat += t.vat;
    }
    std::sort(totals.byRate.begin(), totals.byRate.end(),
              [](const RateTotal& a, const RateTotal& b) { return a.rate < b.rate; });
    // A sum of figures each rounded to the ban is a figure of bani: the
    // binary noise of the additions is taken off.
    const auto clean = [](double x) { return roundMoney(x, 9); };
    totals.value = clean(totals.value);
    totals.vat = clean(totals.vat);
    totals.excise = clean(totals.excise);
    for (RateTotal& r : totals.byRate) {
        r.base = clean(r.base);
        r.vat = clean(r.vat);
    }
    return totals;
}

} // namespace common
