#pragma once
// Reading the figures of a document print back from its text capture
// (`mirafel-cli print --text`, reportengine::plainText): the value and VAT of
// every printed line, the subtotals and the totals, each total beside what
// the lines above it add up to.
//
// The text places every printed text at its position in characters of 2 mm,
// and a text wider in characters than on paper pushes the texts after it to
// the right, so positions are not to be trusted; the order is. The column
// header names the columns whose figures are read (price, value, VAT) and
// gives their order; their figures are the last money figures of a line, in
// that order. A quantity or a column the layout does not read prints before
// them or prints no money figure (a rate "19", a lot, a budget code). The
// pre-printed forms have no titles: their figures are the last ones of a line
// that begins with its running number, and the totals are the figures at the
// foot of the form.

#include <QString>
#include <QStringList>
#include <vector>

namespace printedtotals {

enum class Column { Price, Value, Vat, Last }; // Last: the line's last figure
enum class Figure {
    Values,   // Σ printed line values
    Vats,     // Σ printed line VAT
    Document  // the printed value total + the printed VAT total
};

// A total of the print: the line holding `label`, its figure under `column`.
struct Total {
    const char* label;
    Column column;
    Figure figure;
};

struct Layout {
    // Column layouts: the titles of the price, value and VAT columns (the
    // header line is the first that holds the price's and the value's), and
    // the totals under the lines. Any other line that begins with the word
    // "Total" is a subtotal of the lines since the previous subtotal of the
    // same or an outer level (less indented).
    std::vector<std::pair<Column, const char*>> titles;
    std::vector<Total> totals;
    // Pre-printed forms (no titles): the columns of a line's last figures, in
    // order, and the figures of the lines under the last line of each form.
    std::vector<Column> lastFigures;
    std::vector<std::vector<Figure>> footers;
};

// Money as printed: thousands separator, decimal separator, `decimals` places.
struct MoneyFormat {
    QChar thousands = QLatin1Char(',');
    QChar decimal = QLatin1Char('.');
    int decimals = 2;
};

struct Check {
    QString what;      // the total and where it stands
    qint64 printed;    // in units of the last decimal
    qint64 expected;   // what the printed lines add up to
};

struct Printed {
    std::vector<qint64> values; // per printed line
    std::vector<qint64> vats;
    std::vector<Check> checks;  // the subtotals and totals, in printing order
    QStringList problems;       // what could not be read (a total missing, ...)
};

Printed read(const QString& text, const Layout& layout, const MoneyFormat& format);

// A figure in units of the last decimal as the text for a message ("1,234.56").
QString moneyText(qint64 units, const MoneyFormat& format);

} // namespace printedtotals
