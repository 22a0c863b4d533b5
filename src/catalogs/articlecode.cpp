#include "articlecode.h"

namespace catalogs {

namespace {

constexpr qsizetype kPrefixLength = 3;
constexpr qsizetype kCounterLength = 3;

// The three characters after the prefix as a whole number; nullopt when they are not one.
std::optional<int> counterOf(const QString& code, qsizetype position)
{
    const QString suffix = code.mid(position, kCounterLength);
    if (suffix.isEmpty())
        return std::nullopt;
    for (const QChar c : suffix)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return suffix.toInt();
}

} // namespace

QString productTypeMark(ProductType type)
{
    switch (type) {
    case ProductType::RawMaterial: return QStringLiteral(".");
    case ProductType::SemiFinished: return QStringLiteral(";");
    case ProductType::FinishedProduct: return QString();
    }
    return QString();
}

std::optional<QString> GenerateArticleCode(datastore::Database& db, common::Dialogs& dialogs, const QString& name,
                                           const QString& currentCode, const ProductTypeQuestion& askProductType)
{
    if (name.size() < kPrefixLength) {
        dialogs.warning(QStringLiteral("Denumirea trebuie sa contina minim 3 caractere!"));
        return std::nullopt;
    }
    QString prefix = name.left(kPrefixLength).toUpper();
    if (askProductType)
        prefix = productTypeMark(askProductType()) + prefix;

    // The highest code of the prefix. The prefix travels as a parameter (a
    // name may hold quotes); LIKE only narrows the rows, since it ignores
    // letter case and treats '%' and '_' of a name as wildcards: the codes
    // are compared exactly here.
    datastore::Query q = db.query(QStringLiteral("SELECT DISTINCT Cod\n"
                                                 "FROM \"Catalog.DB\" \n"
                                                 "WHERE\n"
                                                 "(Cod LIKE :Prefix)\n"
                                                 " AND (Cod < 'ZZZZZ')\n"
                                                 "ORDER BY Cod DESC"),
                                  {{QStringLiteral("Prefix"), prefix + u'%'}});
    QString highest;
    bool found = false;
    while (q.next()) {
        const QString code = q.value(0).toString();
        if (code.startsWith(prefix, Qt::CaseSensitive)) {
            highest = code;
            found = true;
            break;
        }
    }

    int counter = 1;
    if (found) {
        if (const auto n = counterOf(highest, prefix.size())) {
            if (*n >= 999) {
                // Only an article that still needs a code is held up by a full counter.
                if (!currentCode.isEmpty())
                    return currentCode;
                dialogs.warning(QStringLiteral("Pentru acest produs nu se poate genera cod automat!"));
                return std::nullopt;
            }
            counter = *n + 1;
        }
    }
    if (!currentCode.isEmpty())
        return currentCode;
    return prefix + QStringLiteral("%1").arg(counter, kCounterLength, 10, QLatin1Char('0'));
}

} // namespace catalogs
