#include "formats.h"

#include <QMetaType>
#include <algorithm>
#include <cmath>

namespace common {

// ---------------------------------------------------------------------------
// Formats

Formats::Formats()
    : shortMonthNames{QStringLiteral("IAN"), QStringLiteral("FEB"), QStringLiteral("MAR"),
                      QStringLiteral("APR"), QStringLiteral("MAI"), QStringLiteral("IUN"),
                      QStringLiteral("IUL"), QStringLiteral("AUG"), QStringLiteral("SEP"),
                      QStringLiteral("OCT"), QStringLiteral("NOI"), QStringLiteral("DEC")},
      longMonthNames{QStringLiteral("Ianuarie"), QStringLiteral("Februarie"), QStringLiteral("Martie"),
                     QStringLiteral("Aprilie"), QStringLiteral("Mai"), QStringLiteral("Iunie"),
                     QStringLiteral("Iulie"), QStringLiteral("August"), QStringLiteral("Septembrie"),
                     QStringLiteral("Octombrie"), QStringLiteral("Noiembrie"), QStringLiteral("Decembrie")},
      shortDayNames{QStringLiteral("Dum"), QStringLiteral("Lun"), QStringLiteral("Mar"), QStringLiteral("Mie"),
                    QStringLiteral("Joi"), QStringLiteral("Vin"), QStringLiteral("Sîm")},
      longDayNames{QStringLiteral("Duminica"), QStringLiteral("Luni"), QStringLiteral("Marti"),
                   QStringLiteral("Miercuri"), QStringLiteral("Joi"), QStringLiteral("Vineri"),
                   QStringLiteral("Sîmbata")}
{
}

Formats Formats::romanian()
{
    return Formats();
}

void Formats::setDecimalSeparator(QChar separator)
{
    decimalSeparator = separator;
    thousandSeparator = separator == u',' ? u'.' : u',';
}

// ---------------------------------------------------------------------------
// Decimal digits of a double, rounded the way the printed texts need it.

namespace {

// |value| = 0.digits × 10^exponent; digits has no leading or trailing zeros
// and is empty for zero.
struct Decimal {
    QString digits;
    int exponent = 0;

    bool isZero() const { return digits.isEmpty(); }

    void normalise()
    {
        while (!digits.isEmpty() && digits.back() == u'0')
            digits.chop(1);
        if (digits.isEmpty())
            exponent = 0;
    }

    // Keeps `count` leading digits, rounding half away from zero.
    void keepDigits(int count)
    {
        if (count >= digits.size())
            return;
        if (count < 0) {
            digits.clear();
            exponent = 0;
            return;
        }
        const bool up = digits.at(count) >= u'5';
        digits.truncate(count);
        if (up) {
            int i = count - 1;
            while (i >= 0 && digits.at(i) == u'9') {
                digits[i] = u'0';
                --i;
            }
            if (i < 0) {
                digits.prepend(u'1');
                ++exponent;
            } else {
                digits[i] = QChar(digits.at(i).unicode() + 1);
            }
        }
        normalise();
    }

    void roundToDecimals(int decimals) { keepDigits(exponent + decimals); }

    // Integer digits, "" for a value below 1.
    QString integerDigits() const
    {
        if (exponent <= 0)
            return {};
        QString s = digits.left(exponent);
        return s + QString(exponent - s.size(), u'0');
    }

    // Fraction digits without trailing zeros.
    QString fractionDigits() const
    {
        if (exponent >= digits.size())
            return {};
        if (exponent >= 0)
            return digits.mid(exponent);
        return QString(-exponent, u'0') + digits;
    }
};

// 15 significant digits, like the reports have always printed them.
Decimal toDecimal(double value)
{
    Decimal d;
    if (value == 0.0)
        return d;
    const QString s = QString::number(std::fabs(value), 'e', 14); // d.dddddddddddddde±xx
    const qsizetype e = s.indexOf(u'e');
    d.digits = s.left(1) + s.mid(2, e - 2);
    d.exponent = s.mid(e + 1).toInt() + 1;
    d.normalise();
    return d;
}

QString groupDigits(const QString& digits, QChar separator)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        out += digits.at(i);
        const qsizetype pos = n - 1 - i;
        if (pos > 0 && pos % 3 == 0)
            out += separator;
    }
    return out;
}

QString nonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// Fixed notation with exactly `decimals` decimals.
QString fixedText(double value, int decimals, bool grouping, const Formats& f)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    Decimal d = toDecimal(value);
    d.roundToDecimals(decimals);
    QString integer = d.integerDigits();
    if (integer.isEmpty())
        integer = QStringLiteral("0");
    if (grouping)
        integer = groupDigits(integer, f.thousandSeparator);
    QString out = (value < 0 && !d.isZero()) ? QStringLiteral("-") : QString();
    out += integer;
    if (decimals > 0) {
        QString fraction = d.fractionDigits();
        fraction += QString(decimals - fraction.size(), u'0');
        out += f.decimalSeparator + fraction;
    }
    return out;
}

QString exponentText(int exponent, bool plusSign, int minDigits)
{
    QString out = exponent < 0 ? QStringLiteral("-") : (plusSign ? QStringLiteral("+") : QString());
    const QString n = QString::number(std::abs(exponent));
    return out + QString(std::max<qsizetype>(0, minDigits - n.size()), u'0') + n;
}

// Scientific notation with `precision` significant digits: "1,50E+000".
QString scientificText(double value, int precision, const Formats& f)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    precision = std::clamp(precision, 1, 18);
    Decimal d = toDecimal(value);
    d.keepDigits(precision);
    QString digits = d.digits;
    digits += QString(precision - digits.size(), u'0');
    QString out = (value < 0 && !d.isZero()) ? QStringLiteral("-") : QString();
    out += digits.at(0);
    if (precision > 1)
        out += f.decimalSeparator + digits.mid(1);
    return out + u'E' + exponentText(d.isZero() ? 0 : d.exponent - 1, true, 3);
}

// Shortest text with at most `precision` significant digits: fixed when the
// integer part fits the precision and the value is at least 0.00001,
// scientific otherwise.
QString generalText(double value, int precision, int exponentDigits, const Formats& f)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    precision = std::clamp(precision, 1, 18);
    Decimal d = toDecimal(value);
    d.keepDigits(precision);
    if (d.isZero())
        return QStringLiteral("0");
    QString out = value < 0 ? QStringLiteral("-") : QString();
    if (d.exponent <= precision && d.exponent >= -4) {
        const QString integer = d.integerDigits();
        const QString fraction = d.fractionDigits();
        out += integer.isEmpty() ? QStringLiteral("0") : integer;
        if (!fraction.isEmpty())
            out += f.decimalSeparator + fraction;
        return out;
    }
    out += d.digits.at(0);
    if (d.digits.size() > 1)
        out += f.decimalSeparator + d.digits.mid(1);
    return out + u'E' + exponentText(d.exponent - 1, false, exponentDigits);
}

// ---------------------------------------------------------------------------
// Number masks

struct MaskItem {
    enum Kind { Literal, IntegerDigit, DecimalPoint, FractionDigit } kind;
    QString text; // literal text
};

struct Mask {
    QList<MaskItem> items;
    int integerPlaceholders = 0;
    int minInteger = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool grouping = false;
};

QStringList splitSections(const QString& mask)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (const QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

Mask parseMask(const QString& section)
{
    Mask m;
    bool inFraction = false;
    bool seenZero = false;
    const qsizetype n = section.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = section.at(i);
        if (c == u'\'' || c == u'"') {
            const qsizetype end = section.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n : end;
            m.items.append(MaskItem{MaskItem::Literal, section.mid(i + 1, stop - i - 1)});
            i = stop;
        } else if (c == u'0' || c == u'#') {
            if (inFraction) {
                m.items.append(MaskItem{MaskItem::FractionDigit, {}});
                ++m.maxDecimals;
                if (c == u'0')
                    m.minDecimals = m.maxDecimals;
            } else {
                m.items.append(MaskItem{MaskItem::IntegerDigit, {}});
                ++m.integerPlaceholders;
                seenZero = seenZero || c == u'0';
                if (seenZero)
                    ++m.minInteger;
            }
        } else if (c == u'.') {
            if (!inFraction) {
                inFraction = true;
                m.items.append(MaskItem{MaskItem::DecimalPoint, {}});
            }
        } else if (c == u',') {
            if (!inFraction)
                m.grouping = true;
        } else {
            m.items.append(MaskItem{MaskItem::Literal, QString(c)});
        }
    }
    return m;
}

QString applyMask(const Mask& m, const Decimal& d, bool minus, const Formats& f)
{
    QString integer = d.integerDigits();
    if (integer.size() < m.minInteger)
        integer.prepend(QString(m.minInteger - integer.size(), u'0'));
    QString fraction = d.fractionDigits();
    if (fraction.size() < m.minDecimals)
        fraction += QString(m.minDecimals - fraction.size(), u'0');

    const qsizetype len = integer.size();
    QString out = minus ? QStringLiteral("-") : QString();
    auto emitDigit = [&](qsizetype pos) { // pos counted from the right, 0-based
        out += integer.at(len - 1 - pos);
        if (m.grouping && pos > 0 && pos % 3 == 0)
            out += f.thousandSeparator;
    };

    int integerIndex = 0;
    int fractionIndex = 0;
    for (const MaskItem& item : m.items) {
        switch (item.kind) {
        case MaskItem::Literal:
            out += item.text;
            break;
        case MaskItem::IntegerDigit: {
            const qsizetype pos = m.integerPlaceholders - 1 - integerIndex;
            if (integerIndex == 0) {
                for (qsizetype p = len - 1; p >= pos; --p)
                    emitDigit(p);
            } else if (pos < len) {
                emitDigit(pos);
            }
            ++integerIndex;
            break;
        }
        case MaskItem::DecimalPoint:
            if (m.integerPlaceholders == 0)
                for (qsizetype p = len - 1; p >= 0; --p)
                    emitDigit(p);
            if (!fraction.isEmpty())
                out += f.decimalSeparator;
            break;
        case MaskItem::FractionDigit:
            if (fractionIndex < fraction.size())
                out += fraction.at(fractionIndex);
            ++fractionIndex;
            break;
        }
    }
    return out;
}

} // namespace

QString formatFloat(const QString& mask, double value, const Formats& formats)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const QStringList sections = splitSections(mask);
    auto sectionAt = [&](int i) { return i < sections.size() ? sections.at(i) : QString(); };
    const QString zeroSection = sectionAt(2);

    int chosen = 0;
    if (value < 0 && !sectionAt(1).isEmpty())
        chosen = 1;
    if (value == 0.0 && !zeroSection.isEmpty())
        chosen = 2;

    if (sectionAt(chosen).isEmpty())
        return generalText(value, 15, 0, formats);

    Mask m = parseMask(sectionAt(chosen));
    Decimal d = toDecimal(value);
    d.roundToDecimals(m.maxDecimals);
    if (d.isZero() && chosen != 2) {
        // A value that rounds to zero is printed as zero, never as "-0".
        chosen = zeroSection.isEmpty() ? 0 : 2;
        m = parseMask(sectionAt(chosen));
        d = Decimal();
    }
    return applyMask(m, d, chosen == 0 && value < 0 && !d.isZero(), formats);
}

// ---------------------------------------------------------------------------
// Dates

namespace {

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString formatDateDepth(const QString& format, const QDate& date, const Formats& f, int depth)
{
    QString out;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = format.at(i);
        const QChar lower = c.toLower();
        if (c == u'\'' || c == u'"') {
            const qsizetype end = format.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n : end;
            out += format.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (lower == u'd' || lower == u'm' || lower == u'y') {
            qsizetype run = 1;
            while (i + run < n && format.at(i + run).toLower() == lower)
                ++run;
            i += run;
            if (lower == u'd') {
                const int weekday = date.dayOfWeek() % 7; // Sunday first
                switch (run) {
                case 1: out += QString::number(date.day()); break;
                case 2: out += twoDigits(date.day()); break;
                case 3: out += f.shortDayNames.at(weekday); break;
                case 4: out += f.longDayNames.at(weekday); break;
                case 5:
                    if (depth < 2)
                        out += formatDateDepth(f.shortDateFormat, date, f, depth + 1);
                    break;
                default:
                    if (depth < 2)
                        out += formatDateDepth(f.longDateFormat, date, f, depth + 1);
                    break;
                }
            } else if (lower == u'm') {
                switch (run) {
                case 1: out += QString::number(date.month()); break;
                case 2: out += twoDigits(date.month()); break;
                case 3: out += f.shortMonthNames.at(date.month() - 1); break;
                default: out += f.longMonthNames.at(date.month() - 1); break;
                }
            } else if (run <= 2) {
                out += twoDigits(date.year() % 100);
            } else {
                out += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            }
            continue;
        }
        out += c == u'/' ? f.dateSeparator : c;
        ++i;
    }
    return out;
}

// Order of day, month and year in the short date format, as "dmy", "mdy", ...
QString dateOrder(const QString& format)
{
    QString order;
    for (const QChar c : format) {
        const QChar lower = c.toLower();
        if ((lower == u'd' || lower == u'm' || lower == u'y') && !order.contains(lower))
            order += lower;
    }
    return order.size() == 3 ? order : QStringLiteral("dmy");
}

bool allDigits(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

QString formatDate(const QString& format, const QDate& date, const Formats& formats)
{
    if (!date.isValid())
        return {};
    return formatDateDepth(format, date, formats, 0);
}

std::optional<QDate> parseDate(const QString& text, const Formats& formats)
{
    const QStringList parts = text.trimmed().split(formats.dateSeparator);
    if (parts.size() != 3)
        return std::nullopt;
    const QString order = dateOrder(formats.shortDateFormat);
    int day = 0, month = 0, year = 0;
    for (int i = 0; i < 3; ++i) {
        const QString& part = parts.at(i);
        if (!allDigits(part))
            return std::nullopt;
        const int value = part.toInt();
        switch (order.at(i).unicode()) {
        case 'd':
            if (part.size() > 2)
                return std::nullopt;
            day = value;
            break;
        case 'm':
            if (part.size() > 2)
                return std::nullopt;
            month = value;
            break;
        default:
            if (part.size() > 4)
                return std::nullopt;
            year = part.size() <= 2 ? (value < 50 ? 2000 + value : 1900 + value) : value;
            break;
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1)
        return std::nullopt;
    return date;
}

// ---------------------------------------------------------------------------
// Message templates

namespace {

bool isIntegerType(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

} // namespace

bool isNumber(const QVariant& v)
{
    const int id = v.metaType().id();
    return isIntegerType(v) || id == QMetaType::Double || id == QMetaType::Float;
}

namespace {

bool isUnsignedType(const QVariant& v)
{
    const int id = v.metaType().id();
    return id == QMetaType::UInt || id == QMetaType::ULongLong || id == QMetaType::ULong
        || id == QMetaType::UShort || id == QMetaType::UChar;
}

// Negative integers print as their two's complement of the argument's size.
quint64 unsignedValue(const QVariant& v)
{
    if (isUnsignedType(v))
        return v.toULongLong();
    const qint64 n = v.toLongLong();
    if (n >= 0)
        return quint64(n);
    const int id = v.metaType().id();
    if (id == QMetaType::LongLong || (id == QMetaType::Long && sizeof(long) == 8))
        return quint64(n);
    return quint64(quint32(qint32(n)));
}

QString withMinDigits(const QString& digits, int precision)
{
    return digits.size() < precision ? QString(precision - digits.size(), u'0') + digits : digits;
}

// Formats one argument; nullopt when the argument does not fit the type.
std::optional<QString> formatArgument(QChar type, const QVariant& arg, int precision, const Formats& f)
{
    switch (type.toLower().unicode()) {
    case 's': {
        QString s;
        const int id = arg.metaType().id();
        if (id == QMetaType::QString || id == QMetaType::QChar || id == QMetaType::Char)
            s = arg.toString();
        else if (id == QMetaType::QByteArray)
            s = QString::fromUtf8(arg.toByteArray());
        else
            return std::nullopt;
        return precision >= 0 ? s.left(precision) : s;
    }
    case 'd': {
        if (!isIntegerType(arg))
            return std::nullopt;
        if (isUnsignedType(arg))
            return withMinDigits(QString::number(arg.toULongLong()), precision);
        const qint64 n = arg.toLongLong();
        const QString digits = withMinDigits(QString::number(n < 0 ? -(quint64(n)) : quint64(n)), precision);
        return n < 0 ? u'-' + digits : digits;
    }
    case 'u':
        if (!isIntegerType(arg))
            return std::nullopt;
        return withMinDigits(QString::number(unsignedValue(arg)), precision);
    case 'x':
        if (!isIntegerType(arg))
            return std::nullopt;
        return withMinDigits(QString::number(unsignedValue(arg), 16).toUpper(), precision);
    case 'f':
        if (!isNumber(arg))
            return std::nullopt;
        return fixedText(arg.toDouble(), precision >= 0 ? std::min(precision, 18) : 2, false, f);
    case 'n':
    case 'm':
        if (!isNumber(arg))
            return std::nullopt;
        return fixedText(arg.toDouble(), precision >= 0 ? std::min(precision, 18) : 2, true, f);
    case 'e':
        if (!isNumber(arg))
            return std::nullopt;
        return scientificText(arg.toDouble(), precision >= 0 ? precision : 15, f);
    case 'g':
        if (!isNumber(arg))
            return std::nullopt;
        return generalText(arg.toDouble(), precision >= 0 ? precision : 15, 3, f);
    default:
        return std::nullopt;
    }
}

bool isKnownType(QChar c)
{
    return QStringLiteral("sduxfnmeg").contains(c.toLower());
}

} // namespace

QString formatMessage(const QString& templ, const QVariantList& args, const Formats& formats)
{
    QString out;
    qsizetype argIndex = 0;
    const qsizetype n = templ.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = templ.at(i);
        if (c != u'%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < n && templ.at(i + 1) == u'%') {
            out += u'%';
            i += 2;
            continue;
        }

        const qsizetype start = i;
        qsizetype pos = i + 1;
        bool failed = false;

        // A number, or "*" for the next argument as an integer; -1 when absent.
        auto readNumber = [&]() -> int {
            if (pos < n && templ.at(pos) == u'*') {
                ++pos;
                if (argIndex < args.size() && isIntegerType(args.at(argIndex)))
                    return int(args.at(argIndex++).toLongLong());
                failed = true;
                return -1;
            }
            const qsizetype from = pos;
            while (pos < n && templ.at(pos).isDigit() && pos - from < 9)
                ++pos;
            return pos > from ? templ.mid(from, pos - from).toInt() : -1;
        };

        int first = readNumber();
        if (!failed && first >= 0 && pos < n && templ.at(pos) == u':') {
            argIndex = first;
            first = -1;
            ++pos;
        }
        bool leftAlign = false;
        int width = first;
        if (!failed && width < 0) {
            if (pos < n && templ.at(pos) == u'-') {
                leftAlign = true;
                ++pos;
            }
            width = readNumber();
        }
        int precision = -1;
        if (!failed && pos < n && templ.at(pos) == u'.') {
            ++pos;
            precision = readNumber();
            if (precision < 0)
                precision = 0;
        }

        if (failed || pos >= n || !isKnownType(templ.at(pos))) {
            // Unknown or unfinished specifier: copied as written.
            const qsizetype stop = (!failed && pos < n && templ.at(pos).isLetter()) ? pos + 1 : pos;
            out += templ.mid(start, stop - start);
            i = stop;
            continue;
        }

        const QChar type = templ.at(pos);
        i = pos + 1;
        const std::optional<QString> text =
            argIndex < args.size() ? formatArgument(type, args.at(argIndex), precision, formats) : std::nullopt;
        ++argIndex;
        if (!text) {
            out += templ.mid(start, i - start);
            continue;
        }
        QString piece = *text;
        if (width > piece.size()) {
            const QString pad(width - piece.size(), u' ');
            piece = leftAlign ? piece + pad : pad + piece;
        }
        out += piece;
    }
    return out;
}

// ---------------------------------------------------------------------------
// Reading numbers

std::optional<double> parseFloat(const QString& text, const Formats& formats)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;

    QChar decimal = formats.decimalSeparator;
    QChar thousands = formats.thousandSeparator == decimal ? QChar() : formats.thousandSeparator;
    if (decimal != u'.' && !t.contains(decimal) && t.count(u'.') == 1) {
        decimal = u'.';
        thousands = QChar();
    }

    QString normal;
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (t.at(0) == u'+' || t.at(0) == u'-') {
        normal += t.at(0);
        ++i;
    }
    // Integer part: digits, possibly grouped in threes.
    int digitsInGroup = 0;
    int integerDigits = 0;
    bool grouped = false;
    for (; i < n; ++i) {
        const QChar c = t.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            normal += c;
            ++digitsInGroup;
            ++integerDigits;
        } else if (!thousands.isNull() && c == thousands) {
            if (digitsInGroup == 0 || (grouped && digitsInGroup != 3) || (!grouped && digitsInGroup > 3))
                return std::nullopt;
            grouped = true;
            digitsInGroup = 0;
        } else {
            break;
        }
    }
    if (grouped && digitsInGroup != 3)
        return std::nullopt;
    // Fraction.
    int fractionDigits = 0;
    if (i < n && t.at(i) == decimal) {
        normal += u'.';
        for (++i; i < n && t.at(i).isDigit() && t.at(i).unicode() < 128; ++i) {
            normal += t.at(i);
            ++fractionDigits;
        }
    }
    if (integerDigits + fractionDigits == 0)
        return std::nullopt;
    // Exponent.
    if (i < n && (t.at(i) == u'e' || t.at(i) == u'E')) {
        normal += u'e';
        ++i;
        if (i < n && (t.at(i) == u'+' || t.at(i) == u'-'))
            normal += t.at(i++);
        const qsizetype from = i;
        for (; i < n && t.at(i).isDigit() && t.at(i).unicode() < 128; ++i)
            normal += t.at(i);
        if (i == from)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double value = normal.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace common
