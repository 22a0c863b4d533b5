#include "accountsymbol.h"

#include <QStringList>

namespace common {

namespace {
constexpr qsizetype kFirstSegmentLength = 10;
constexpr qsizetype kOtherSegmentLength = 20;
constexpr qsizetype kSyntheticLength = 3;
} // namespace

AccountSymbol CheckAccountSymbol(const QString& text)
{
    AccountSymbol result;
    const QStringList segments = text.split(QLatin1Char('.'));
    if (segments.size() > 3)
        return result;
    if (segments.at(0).size() > kFirstSegmentLength)
        return result;
    for (qsizetype i = 1; i < segments.size(); ++i)
        if (segments.at(i).size() > kOtherSegmentLength)
            return result;

    result.accepted = true;
    result.synthetic = segments.at(0).left(kSyntheticLength);
    result.rest = segments.at(0).mid(kSyntheticLength);
    if (segments.size() > 1)
        result.second = segments.at(1);
    if (segments.size() > 2)
        result.third = segments.at(2);
    return result;
}

} // namespace common
