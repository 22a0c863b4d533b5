#include "inputvat.h"

#include "common/rounding.h"

namespace stock {

double InputLineVat(const common::Parameters& parameters, const QString& type, double rate, const QVariant& price,
                    const QVariant& netPrice, const QVariant& quantity)
{
    if (parameters.calcTva && type != u"FCT" && type != u"CF")
        return 0;
    const QVariant base = parameters.CPretFaraTva && !netPrice.isNull() ? netPrice : price;
    if (base.isNull() || quantity.isNull())
        return 0;
    double vat = common::roundHalfEven(rate * base.toDouble() * quantity.toDouble()) / 100;
    if (parameters.roundTva)
        vat = common::roundHalfEven(vat);
    return vat;
}

} // namespace stock
