#include "outputpricing.h"

#include "catalogs/rates.h"
#include "common/rounding.h"

#include <cmath>

namespace stock {

using common::roundHalfEven;

PricingRules PricingRules::from(const common::Parameters& parameters)
{
    PricingRules r;
    r.sellPrice = parameters.SellPrice;
    r.decimals = parameters.nrZecimaleLei;
    r.roundTva = parameters.roundTva;
    r.calcTva = parameters.calcTva;
    r.gridDiscount = parameters.GrilaCalculDisc;
    return r;
}

bool IsFiscalInvoice(const QString& type)
{
    return type == QLatin1String("FCT") || type == QLatin1String("CF");
}

double MarkedUpPrice(double acquisitionPrice, double markupPercent, const PricingRules& rules)
{
    const double scale = std::pow(10.0, rules.decimals);
    double p = roundHalfEven(acquisitionPrice * (1 + markupPercent / 100) * scale) / scale;
    if (rules.roundTva)
        p = roundHalfEven(p);
    return p;
}

double WithPercent(double price, double percent)
{
    return price * (percent / 100 + 1);
}

bool HasSalePrice(const QVariant& salePrice)
{
    return !salePrice.isNull() && salePrice.toDouble() != 0;
}

std::optional<double> TaxBase(const QString& type, const QVariant& acquisitionPrice, const QVariant& quantity,
                              const QVariant& salePrice)
{
    if (acquisitionPrice.isNull() || quantity.isNull())
        return std::nullopt;
    const double q = quantity.toDouble();
    if (IsFiscalInvoice(type) && HasSalePrice(salePrice))
        return q * salePrice.toDouble();
    return q * acquisitionPrice.toDouble();
}

LineTaxes ComputeLineTaxes(const QString& type, const QVariant& acquisitionPrice, const QVariant& quantity,
                           const QVariant& salePrice, const TaxRates& rates, const PricingRules& rules)
{
    if (rules.calcTva && !IsFiscalInvoice(type))
        return {};
    const std::optional<double> base = TaxBase(type, acquisitionPrice, quantity, salePrice);
    if (!base)
        return {};
    LineTaxes t{roundHalfEven(rates.vat * *base) / 100, roundHalfEven(rates.excise * *base) / 100};
    if (rules.roundTva) {
        t.vat = roundHalfEven(t.vat);
        t.excise = roundHalfEven(t.excise);
    }
    return t;
}

double CurrencyPrice(double salePrice, double rate)
{
    if (rate == 0)
        return 0;
    const double price = salePrice / rate;
    return std::isfinite(price) ? price : 0;
}

double DiscountedPrice(double acquisitionPrice, double salePrice, double markupPercent, double percent,
                       const PricingRules& rules)
{
    double q;
    if (rules.sellPrice == common::SellPriceMode::Calc) {
        q = acquisitionPrice * (1 + markupPercent / 100);
        if (rules.roundTva)
            q = roundHalfEven(q);
        q = WithPercent(q, percent);
    } else {
        q = WithPercent(salePrice, percent);
    }
    if (rules.roundTva)
        q = roundHalfEven(q);
    return q;
}

// ---- look-ups --------------------------------------------------------------------------

OutputPricing::OutputPricing(datastore::Database& db, const common::Parameters& parameters)
    : m_db(db), m_rules(PricingRules::from(parameters)), m_currency(parameters.CVal)
{
}

ArticlePricing OutputPricing::article(const QString& group, const QString& code) const
{
    ArticlePricing a;
    datastore::Query q =
        m_db.query(QStringLiteral("SELECT Coef_TVA, Coef_accize, Pret_vinzare FROM CATALOG WHERE Grupa = :g AND Cod = :c"),
                   {{QStringLiteral("g"), group}, {QStringLiteral("c"), code}});
    if (q.next()) {
        a.found = true;
        a.rates = {q.value(0).toDouble(), q.value(1).toDouble()};
        a.markup = q.value(2).toDouble();
    }
    return a;
}

double OutputPricing::gridDiscount(const QString& budget, const QString& group) const
{
    if (budget.isEmpty())
        return 0;
    // The key (grid, group) allows one row; a table that lost it may hold
    // several. The smallest percentage is taken, an empty one counting as 0:
    // the client is never charged more than any row of its grid says, and
    // both engines give the same row.
    datastore::Query q = m_db.query(
        QStringLiteral("SELECT DISTINCT COALESCE(Discount, 0) AS Discount FROM ITEM_GRILA WHERE Grila = "
                       "(SELECT Grila FROM CLIENT WHERE Cod_client = :b) AND Cod_grupa = :g "
                       "ORDER BY COALESCE(Discount, 0)"),
        {{QStringLiteral("b"), budget}, {QStringLiteral("g"), group}});
    return q.next() ? q.value(0).toDouble() : 0;
}

double OutputPricing::budgetDiscount(const QString& budget) const
{
    if (budget.isEmpty())
        return 0;
    return m_db.scalar(QStringLiteral("SELECT Discount FROM CLIENT WHERE Cod_client = :b"),
                       {{QStringLiteral("b"), budget}})
        .toDouble();
}

std::optional<double> OutputPricing::referenceRate(const QDate& date) const
{
    if (!date.isValid())
        return std::nullopt;
    return catalogs::RateAtDate(m_db, m_currency, date);
}

} // namespace stock
