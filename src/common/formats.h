#pragma once
// Regional formats and the number, date and message formatting built on them.
// A Formats value is fixed at start-up and handed to whoever prints or reads
// numbers and dates; nothing here reads a global setting.

#include <QChar>
#include <QDate>
#include <QString>
#include <QVariantList>
#include <array>
#include <optional>

namespace common {

struct Formats {
    QChar thousandSeparator = u'.';
    QChar decimalSeparator = u',';
    QChar dateSeparator = u'.';
    QString shortDateFormat = QStringLiteral("d.m.yyyy");
    QString longDateFormat = QStringLiteral("dd.mm.yyyy");
    std::array<QString, 12> shortMonthNames;
    std::array<QString, 12> longMonthNames;
    std::array<QString, 7> shortDayNames; // Sunday first
    std::array<QString, 7> longDayNames;  // Sunday first

    Formats(); // the Romanian formats, same as romanian()
    static Formats romanian();

    // Sets the decimal separator; the thousands separator becomes the other of
    // ',' and '.' (',' for '.', '.' for anything else).
    void setDecimalSeparator(QChar separator);
};

// Number mask in the style of the system's reports:
//   '0' digit, '#' optional digit, '.' decimal point (printed as the decimal
//   separator, and only when a decimal digit follows it), ',' in the integer
//   part turns on thousands grouping, up to three sections "positive;negative;zero",
//   '...' or "..." literal text, any other character is copied.
// Rounds half away from zero on 15 significant digits. A value that rounds to
// zero is printed without a sign (and with the zero section when there is one).
// A negative section prints the absolute value: its own text supplies the sign.
// An empty mask prints the value in general format.
QString formatFloat(const QString& mask, double value, const Formats& formats);

// Date pattern (letters ignoring case):
//   d, dd day; ddd, dddd short and long day name; ddddd short date format;
//   dddddd long date format; m, mm month; mmm, mmmm short and long month name;
//   yy (or y) two-digit year, yyyy (or yyy) full year; '/' date separator;
//   '...' or "..." literal text; any other character is copied.
// A null or invalid date gives "".
QString formatDate(const QString& format, const QDate& date, const Formats& formats);

// Reads a date written in the order of the short date format with the date
// separator: "1.2.2024", "01.02.2024", "1.2.24". Years of one or two digits
// are 2000-2049 for 0-49 and 1950-1999 for 50-99. Surrounding blanks are
// ignored. Anything else, or a day that does not exist, gives nullopt.
std::optional<QDate> parseDate(const QString& text, const Formats& formats);

// Message template in the style of the system's messages:
//   "%" [index ":"] ["-"] [width] ["." precision] type, and "%%" for "%".
// Types (ignoring case):
//   s  text (QString, QChar or QByteArray); precision = at most that many characters
//   d  integer; precision = at least that many digits
//   u  non-negative integer, as d
//   x  integer in upper-case hexadecimal; precision as d
//   f  fixed, precision decimals (default 2)
//   n  as f with thousands separators
//   m  money: as n
//   e  scientific, precision significant digits (default 15): "1,50000000000000E+000"
//   g  shortest of fixed and scientific, at most precision significant digits (default 15)
// f, n, m, e and g accept any number (integers too); d, u and x only integers.
// Width pads with blanks on the left, or on the right with "-". Index and width
// may be "*", taken from the next argument. An explicit index makes the
// following specifiers continue from the argument after it.
// A specifier whose argument is missing or of the wrong type, or whose type is
// unknown, is copied to the result as written (the argument is still used up),
// so a wrong call shows in the text instead of failing.
QString formatMessage(const QString& templ, const QVariantList& args, const Formats& formats);

// True when a value holds a number (an integer or a floating type).
bool isNumber(const QVariant& v);

// Reads a number: an optional sign, digits, the decimal separator, an optional
// exponent ("1,5E3"); surrounding blanks are ignored. A '.' is always accepted
// as the decimal point: when the decimal separator is ',' and the text has no
// ',', a single '.' is the decimal point ("1.5" -> 1.5). Otherwise the
// thousands separator may group the integer part in threes ("1.234.567,5");
// it is ignored there and refused anywhere else. Empty or malformed text gives nullopt.
std::optional<double> parseFloat(const QString& text, const Formats& formats);

} // namespace common
