#pragma once
// The VAT of an input line, as the input documents window computes it when
// the quantity or the price is entered, and as every other place that makes
// input lines (the consolidation of delivery notes into an invoice) must
// compute it, so that a line carries the same VAT whoever wrote it.
//
//   - with "Calc TVA" on a type other than "FCT" and "CF": 0;
//   - the base is the acquisition price (Pret_achizitie_lei), except with
//     CPretFaraTva and a price without VAT typed (Pret_achizitie_valuta):
//     the acquisition price then includes the VAT, and the VAT is computed
//     on the price without it (net 100 at 19 % -> 19, not 22.61);
//   - price or quantity empty: 0;
//   - otherwise R(rate × base price × quantity) / 100, to the ban, and with
//     "Round TVA" R of that, to the leu (R: to the nearest whole number,
//     halves to even, common::roundHalfEven).

#include "common/parameters.h"

#include <QString>
#include <QVariant>

namespace stock {

// `rate`: the article's Coef_TVA, percent; `price`: Pret_achizitie_lei;
// `netPrice`: Pret_achizitie_valuta; `type`: the document's Tip.
double InputLineVat(const common::Parameters& parameters, const QString& type, double rate, const QVariant& price,
                    const QVariant& netPrice, const QVariant& quantity);

} // namespace stock
