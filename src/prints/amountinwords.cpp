#include "amountinwords.h"

#include "common/formats.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace prints {

namespace {

constexpr std::array<const char*, 10> kUnits{"", "unu", "doi", "trei", "patru", "cinci", "sase", "sapte", "opt", "noua"};

struct Scale {
    const char* plural;
    const char* one; // the group is exactly 1
    const char* two; // the group is exactly 2 (lei only: higher groups write "doua")
};
constexpr std::array<Scale, 5> kScales{{
    {"lei", "un leu", "doi lei"},
    {"mii", "o mie", "doua mii"},
    {"milioane", "un milion", "doua milioane"},
    {"miliarde", "un miliard", "doua miliarde"},
    {"trilioane", "un trilion", "doua trilioane"},
}};

constexpr int kMaxDigits = 16;          // bani below 10^16: lei below 10^14

QString unit(int digit)
{
    return QString::fromLatin1(kUnits[static_cast<std::size_t>(digit)]);
}

bool isDigit(int d)
{
    return d >= 0 && d <= 9;
}

// The amount as a whole number of bani, rounded exactly as the money masks of
// the documents print it (15 significant digits, then half away from zero to
// the hundredth), so that the words always say what the figures say: 2,05 is
// 2,0499999... in binary and gives five bani, 1,005 prints as 1,01 and gives
// one ban.
std::int64_t toBani(double amount)
{
    if (!std::isfinite(amount) || amount < 0)
        throw std::out_of_range("Suma nu poate fi scrisa in litere.");
    common::Formats plain;
    plain.decimalSeparator = u'.';
    QString digits = common::formatFloat(QStringLiteral("0.00"), amount, plain);
    digits.remove(u'.');
    bool ok = false;
    const std::int64_t bani = digits.toLongLong(&ok);
    if (!ok || digits.size() > kMaxDigits)
        throw std::out_of_range("Suma este prea mare pentru a fi scrisa in litere.");
    return bani;
}

} // namespace

QString GroupText(int a, int b, int c, int g)
{
    if (!isDigit(a) || !isDigit(b) || !isDigit(c))
        return {};
    QString text;
    // Hundreds.
    if (a == 1)
        text += QLatin1String("osuta");
    else if (a == 2)
        text += QLatin1String("douasute");
    else if (a >= 3)
        text += unit(a) + QLatin1String("sute");
    // Tens; a teen takes the units digit with it.
    if (b == 1) {
        if (c == 0)
            text += QLatin1String("zece");
        else if (c == 1)
            text += QLatin1String("unsprezece");
        else if (c == 2)
            text += QLatin1String("doisprezece");
        else
            text += unit(c) + QLatin1String("sprezece");
        return text;
    }
    if (b == 2)
        text += QLatin1String("douazeci");
    else if (b >= 3)
        text += unit(b) + QLatin1String("zeci");
    // Units.
    if (c != 0) {
        if (b != 0)
            text += QLatin1String("si");
        if (g >= 2 && c == 1 && (a != 0 || b != 0))
            text += QLatin1String("una");
        else if (g >= 2 && c == 2)
            text += QLatin1String("doua");
        else
            text += unit(c);
    }
    return text;
}

QString AmountInWords(double amount)
{
    if (amount == 0)
        return {};
    std::int64_t bani = toBani(amount);
    if (bani == 0)
        return {}; // below half a ban: printed as 0,00 like 0 itself

    // d[1] is the lowest digit; digits above the number's own count as 0.
    std::array<int, kMaxDigits + 4> d{};
    int k = 0;
    for (std::int64_t n = bani; n > 0; n /= 10)
        d[static_cast<std::size_t>(++k)] = static_cast<int>(n % 10);
    const auto digit = [&d](int i) { return d[static_cast<std::size_t>(i)]; };
    const bool hasLei = bani >= 100;

    QString result;
    const QString baniText = GroupText(0, digit(2), digit(1), 1);
    if (baniText == QLatin1String("unu"))
        result = QStringLiteral("un ban");
    else if (!baniText.isEmpty())
        result = baniText + (digit(2) >= 2 ? QLatin1String("de bani") : QLatin1String("bani"));

    const QChar blank(u' ');
    for (int g = 1; g <= static_cast<int>(kScales.size()); ++g) {
        const int a = digit(3 * g + 2);
        const int b = digit(3 * g + 1);
        const int c = digit(3 * g);
        const QString text = GroupText(a, b, c, g);
        const Scale& scale = kScales[static_cast<std::size_t>(g - 1)];
        if (!text.isEmpty()) {
            if (g == 1 && !result.isEmpty())
                result = QLatin1String("si") + blank + result;
            if (text == QLatin1String("unu"))
                result = blank + QLatin1String(scale.one) + blank + result;
            else if (text == QLatin1String("doi"))
                result = blank + QLatin1String(scale.two) + blank + result;
            else
                result = text + (b >= 2 ? QLatin1String("de") : QLatin1String("")) + blank
                         + QLatin1String(scale.plural) + blank + result;
        } else if (g == 1) {
            if (result.isEmpty())
                result = QLatin1String(scale.plural);
            else if (hasLei) // thousands or more, bani, no units of lei
                result = QLatin1String(scale.plural) + blank + QLatin1String("si") + blank + result;
        }
        if (k < 3 * g + 2)
            break;
    }
    return result;
}

} // namespace prints
