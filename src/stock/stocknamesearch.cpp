#include "stocknamesearch.h"

#include "common/textsearch.h"

namespace stock {

int findStockName(const datastore::Dataset& list, const QString& text)
{
    const QString wanted = common::foldForSearch(text.trimmed());
    const int field = list.fieldIndex(QStringLiteral("Denumire"));
    if (wanted.isEmpty() || field < 0 || !list.isOpen())
        return -1;
    int holding = -1;
    for (int row = 0; row < list.recordCount(); ++row) {
        const QString name = common::foldForSearch(list.value(row, field).toString());
        if (name.startsWith(wanted))
            return row;
        if (holding < 0 && name.contains(wanted))
            holding = row;
    }
    return holding;
}

} // namespace stock
