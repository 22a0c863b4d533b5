#pragma once
// The prices and taxes of an output line. An issued line is valued at its
// acquisition price (Val = Pret_achizitie × Cantitate); beside it the line
// carries a sale price (Pret_vinzare): derived from the acquisition price and
// the article's mark-up when sale prices are calculated, typed otherwise,
// changed by the discount grid of the line's budget and by a discount applied
// to the whole document, and shown in the reference currency
// (Pret_vz_echiv_USD = Pret_vinzare / rate of CVal on the document's date).
//
// VAT and excise (TVA, Acciza) are the article's rates applied to the line's
// tax base: the acquisition value, except on fiscal invoices ("FCT", "CF"),
// whose printed value is quantity × sale price: there, a line with a sale
// price is taxed on that sale value, so the invoice's VAT is its rate times
// the value it prints and the paid-in-full amount is the invoice's total.
//
// Every rounding is R(x): to the nearest whole number, halves to the even one.
//
// The functions here are pure; OutputPricing adds the look-ups they need.

#include "common/parameters.h"
#include "datastore/database.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

namespace stock {

struct PricingRules {
    common::SellPriceMode sellPrice = common::SellPriceMode::Fetch;
    int decimals = 2;      // "Nr zecimale lei"
    bool roundTva = true;  // "Round TVA": prices and taxes to whole lei
    bool calcTva = false;  // "Calc TVA": only fiscal invoices carry VAT
    bool gridDiscount = false; // GrilaCalculDisc

    static PricingRules from(const common::Parameters& parameters);
};

struct TaxRates {
    double vat = 0;    // Coef_TVA, percent
    double excise = 0; // Coef_accize, percent
};

struct LineTaxes {
    double vat = 0;
    double excise = 0;
    friend bool operator==(const LineTaxes&, const LineTaxes&) = default;
};

// The article's figures the pricing reads from the catalog.
struct ArticlePricing {
    bool found = false;
    TaxRates rates;
    double markup = 0; // catalog Pret_vinzare: the mark-up percentage when sale prices are calculated
};

// "FCT" and "CF": the documents that print the sale value.
bool IsFiscalInvoice(const QString& type);

// The sale price calculated from the acquisition price and the mark-up:
// R(acquisition × (1 + markup/100) × 10^decimals) / 10^decimals, then, with
// "Round TVA", R of that.
double MarkedUpPrice(double acquisitionPrice, double markupPercent, const PricingRules& rules);

// A price changed by a signed percentage: price × (percent/100 + 1).
double WithPercent(double price, double percent);

// The value a line's VAT and excise are computed on: quantity × sale price for
// a fiscal invoice line with a sale price, quantity × acquisition price
// otherwise; nothing when the acquisition price or the quantity is empty.
std::optional<double> TaxBase(const QString& type, const QVariant& acquisitionPrice, const QVariant& quantity,
                              const QVariant& salePrice);

// The line's VAT and excise (the quantity is not negative): 0 with "Calc TVA"
// on any type but the fiscal invoices, 0 without a tax base; otherwise
// R(rate × base) / 100, each rounded again with "Round TVA".
LineTaxes ComputeLineTaxes(const QString& type, const QVariant& acquisitionPrice, const QVariant& quantity,
                           const QVariant& salePrice, const TaxRates& rates, const PricingRules& rules);

// The line's price in the reference currency: sale price / rate, 0 for a zero rate.
double CurrencyPrice(double salePrice, double rate);

// The new sale price of a line under a document discount of `percent`: from
// the marked-up acquisition price when sale prices are calculated, from the
// line's sale price otherwise; whole lei with "Round TVA".
double DiscountedPrice(double acquisitionPrice, double salePrice, double markupPercent, double percent,
                       const PricingRules& rules);

// Whether a line has a sale price: one other than empty or zero. A fiscal
// invoice prints its lines at their sale prices, so a line without one
// prints a price and a value of 0.
bool HasSalePrice(const QVariant& salePrice);

// The look-ups of the pricing, on the document database.
class OutputPricing {
public:
    OutputPricing(datastore::Database& db, const common::Parameters& parameters);

    const PricingRules& rules() const { return m_rules; }
    const QString& referenceCurrency() const { return m_currency; }

    ArticlePricing article(const QString& group, const QString& code) const;
    // The percentage of the discount grid that budget `budget` names for
    // article group `group`; 0 when the budget is empty, names no grid, or
    // the grid has no row for the group. Where a grid holds several rows for
    // one group (a table that lost its key), the smallest percentage: the
    // lowest price any of them gives. Throws the storage's errors.
    double gridDiscount(const QString& budget, const QString& group) const;
    // The budget's own discount (Client.DB Discount); 0 when none.
    double budgetDiscount(const QString& budget) const;
    // The rate of the reference currency on `date`; nothing when it has no rate.
    std::optional<double> referenceRate(const QDate& date) const;

private:
    datastore::Database& m_db;
    PricingRules m_rules;
    QString m_currency;
};

} // namespace stock
