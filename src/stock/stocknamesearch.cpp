#include "stocknamesearch.h"

namespace stock {

QString foldForSearch(const QString& text)
{
    // Decomposed, a letter with a mark is the letter followed by the mark
    // (ș: s and the comma below, ş: s and the cedilla): the marks go.
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            folded += c;
    return folded.toCaseFolded();
}

int findStockName(const datastore::Dataset& list, const QString& text)
{
    const QString wanted = foldForSearch(text.trimmed());
    const int field = list.fieldIndex(QStringLiteral("Denumire"));
    if (wanted.isEmpty() || field < 0 || !list.isOpen())
        return -1;
    int holding = -1;
    for (int row = 0; row < list.recordCount(); ++row) {
        const QString name = foldForSearch(list.value(row, field).toString());
        if (name.startsWith(wanted))
            return row;
        if (holding < 0 && name.contains(wanted))
            holding = row;
    }
    return holding;
}

} // namespace stock
