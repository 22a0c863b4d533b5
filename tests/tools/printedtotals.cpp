#include "printedtotals.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace printedtotals {

namespace {

struct Token {
    QString text;
    int start = 0;
    int end() const { return start + int(text.size()); }
};

std::vector<Token> tokensOf(const QString& line)
{
    std::vector<Token> tokens;
    int i = 0;
    while (i < line.size()) {
        if (line.at(i) == u' ') {
            ++i;
            continue;
        }
        const int start = i;
        while (i < line.size() && line.at(i) != u' ')
            ++i;
        tokens.push_back({line.mid(start, i - start), start});
    }
    return tokens;
}

// The money figures of a text: digits in groups of three, the decimal
// separator, decimals (no more than money has: a quantity "2.125" is none).
class Money {
public:
    explicit Money(const MoneyFormat& format)
        : m_format(format),
          m_pattern(QStringLiteral("^(-?)(\\d{1,3}(?:%1\\d{3})*)%2(\\d{2,%3})$")
                        .arg(QRegularExpression::escape(QString(format.thousands)),
                             QRegularExpression::escape(QString(format.decimal)))
                        .arg(format.decimals))
    {
    }

    // The figure in units of its last decimal.
    std::optional<qint64> of(const QString& text) const
    {
        const QRegularExpressionMatch m = m_pattern.match(text);
        if (!m.hasMatch())
            return std::nullopt;
        const QString digits = m.captured(2).remove(m_format.thousands) + m.captured(3).leftJustified(m_format.decimals, u'0');
        const qint64 units = digits.toLongLong();
        return m.captured(1).isEmpty() ? units : -units;
    }

    std::vector<qint64> figures(const std::vector<Token>& tokens) const
    {
        std::vector<qint64> out;
        for (const Token& t : tokens)
            if (const auto units = of(t.text))
                out.push_back(*units);
        return out;
    }

private:
    MoneyFormat m_format;
    QRegularExpression m_pattern;
};

// Whether `line` holds `word` as whole words at `at`.
bool wholeAt(const QString& line, const QString& word, int at)
{
    const int end = at + int(word.size());
    return (at == 0 || line.at(at - 1) == u' ') && (end == line.size() || line.at(end) == u' ');
}

int findWhole(const QString& line, const QString& word, int from = 0)
{
    for (int at = int(line.indexOf(word, from)); at >= 0; at = int(line.indexOf(word, at + 1)))
        if (wholeAt(line, word, at))
            return at;
    return -1;
}

// The columns the layout reads, in their order on the page: each title at
// its first whole-word place in the header that begins at line `first` (on
// its first line or the two under it) not taken by a longer title ("Valoare
// TVA" before "Valoare").
std::vector<Column> columnsAt(const QStringList& lines, qsizetype first, const Layout& layout)
{
    auto wanted = layout.titles;
    std::stable_sort(wanted.begin(), wanted.end(), [](const auto& a, const auto& b) {
        return QString::fromUtf8(a.second).size() > QString::fromUtf8(b.second).size();
    });
    std::vector<std::pair<qsizetype, std::pair<int, int>>> taken; // line, span
    std::vector<std::pair<int, Column>> found;                   // start, column
    for (const auto& [column, text] : wanted) {
        const QString title = QString::fromUtf8(text);
        bool placed = false;
        for (qsizetype l = first; l < std::min(first + 3, lines.size()) && !placed; ++l) {
            for (int at = findWhole(lines.at(l), title); at >= 0 && !placed; at = findWhole(lines.at(l), title, at + 1)) {
                const int end = at + int(title.size());
                if (std::any_of(taken.begin(), taken.end(), [&](const auto& t) {
                        return t.first == l && at < t.second.second && t.second.first < end;
                    }))
                    continue;
                taken.push_back({l, {at, end}});
                found.push_back({at, column});
                placed = true;
            }
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<Column> columns;
    for (const auto& f : found)
        columns.push_back(f.second);
    return columns;
}

QString figureName(Figure f)
{
    switch (f) {
    case Figure::Values: return QStringLiteral("the line values");
    case Figure::Vats: return QStringLiteral("the line VAT");
    case Figure::Document: return QStringLiteral("value total + VAT total");
    }
    return {};
}

QString columnName(Column c)
{
    switch (c) {
    case Column::Price: return QStringLiteral("price");
    case Column::Value: return QStringLiteral("value");
    case Column::Vat: return QStringLiteral("VAT");
    case Column::Last: return QString();
    }
    return {};
}

QList<QStringList> pagesOf(const QString& text)
{
    QList<QStringList> pages;
    for (const QString& line : text.split(u'\n')) {
        if (line.startsWith(QLatin1String("--- pagina ")) || pages.isEmpty())
            pages.append(QStringList());
        if (!line.startsWith(QLatin1String("--- pagina ")))
            pages.last().append(line);
    }
    return pages;
}

// A line of figures under the column header.
struct Row {
    enum Kind { Line, Subtotal, Total } kind = Line;
    QString label;  // a total's label; a subtotal's words
    int indent = 0; // where a subtotal's "Total" begins
    std::vector<qint64> figures;
};

// The figure of `row` under `column`: the columns' figures are the last ones
// of the line, in the order of the columns (a quantity or a figure of a
// column the layout does not read stands before them or prints no money).
std::optional<qint64> figureUnder(const Row& row, Column column, const std::vector<Column>& columns)
{
    if (column == Column::Last)
        return row.figures.back();
    const auto at = std::find(columns.begin(), columns.end(), column);
    if (at == columns.end())
        return std::nullopt;
    const size_t fromEnd = size_t(columns.end() - at) - 1;
    if (fromEnd >= row.figures.size())
        return std::nullopt;
    return row.figures[row.figures.size() - 1 - fromEnd];
}

Printed readColumns(const QString& text, const Layout& layout, const Money& money)
{
    Printed printed;
    QString priceTitle;
    QString valueTitle;
    for (const auto& [column, title] : layout.titles) {
        if (column == Column::Price)
            priceTitle = QString::fromUtf8(title);
        if (column == Column::Value)
            valueTitle = QString::fromUtf8(title);
    }

    // The lines of figures under the column header, and the totals.
    std::vector<Row> rows;
    bool inTotals = false;
    std::vector<Column> columns;
    for (const QStringList& lines : pagesOf(text)) {
        qsizetype first = 0;
        for (qsizetype l = 0; l < lines.size() && !inTotals; ++l) {
            if (findWhole(lines.at(l), priceTitle) >= 0 && findWhole(lines.at(l), valueTitle) >= 0) {
                columns = columnsAt(lines, l, layout);
                first = l + 1;
                break;
            }
        }
        for (qsizetype l = first; l < lines.size() && !columns.empty(); ++l) {
            const QString& line = lines.at(l);
            const std::vector<Token> tokens = tokensOf(line);
            Row row;
            row.figures = money.figures(tokens);
            if (row.figures.empty())
                continue;
            const auto total = std::find_if(layout.totals.begin(), layout.totals.end(),
                                            [&](const Total& t) { return line.contains(QString::fromUtf8(t.label)); });
            if (total != layout.totals.end()) {
                inTotals = true;
                row.kind = Row::Total;
                row.label = QString::fromUtf8(total->label);
            } else if (inTotals) {
                continue; // what follows the totals (a receipt, a breakdown) is not a line
            } else if (tokens.front().text == u"Total") {
                row.kind = Row::Subtotal;
                row.indent = tokens.front().start;
                QStringList words;
                for (const Token& t : tokens)
                    if (!money.of(t.text))
                        words << t.text;
                row.label = words.join(u' ');
            }
            rows.push_back(std::move(row));
        }
    }
    if (columns.empty()) {
        printed.problems << QStringLiteral("no column header with \"%1\" and \"%2\"").arg(priceTitle, valueTitle);
        return printed;
    }

    qint64 sum = 0;
    qint64 vatSum = 0;
    std::vector<std::pair<int, qint64>> marks; // indent of a subtotal, the sum at it
    std::map<QString, const Row*> totals;
    for (const Row& row : rows) {
        if (row.kind == Row::Total) {
            totals[row.label] = &row;
        } else if (row.kind == Row::Subtotal) {
            // The lines since the last subtotal of the same or an outer level.
            qint64 since = 0;
            for (auto it = marks.rbegin(); it != marks.rend(); ++it)
                if (it->first <= row.indent) {
                    since = it->second;
                    break;
                }
            printed.checks.push_back({QStringLiteral("subtotal \"%1\"").arg(row.label), row.figures.back(), sum - since});
            marks.push_back({row.indent, sum});
        } else if (const std::optional<qint64> value = figureUnder(row, Column::Value, columns)) {
            printed.values.push_back(*value);
            printed.vats.push_back(figureUnder(row, Column::Vat, columns).value_or(0));
            sum += *value;
            vatSum += printed.vats.back();
        }
    }

    // The totals, against the lines; the document's total against the printed totals.
    std::map<Figure, qint64> printedFigure;
    std::vector<std::pair<const Total*, qint64>> found;
    for (const Total& t : layout.totals) {
        const QString label = QString::fromUtf8(t.label);
        const auto row = totals.find(label);
        const std::optional<qint64> figure = row == totals.end() ? std::nullopt : figureUnder(*row->second, t.column, columns);
        if (!figure) {
            printed.problems << QStringLiteral("no figure under %1 \"%2\"").arg(columnName(t.column), label);
            continue;
        }
        printedFigure[t.figure] = *figure;
        found.push_back({&t, *figure});
    }
    for (const auto& [t, figure] : found) {
        qint64 expected = 0;
        switch (t->figure) {
        case Figure::Values: expected = sum; break;
        case Figure::Vats: expected = vatSum; break;
        case Figure::Document:
            expected = printedFigure.count(Figure::Values) ? printedFigure.at(Figure::Values) : sum;
            expected += printedFigure.count(Figure::Vats) ? printedFigure.at(Figure::Vats) : 0;
            break;
        }
        const QString column = columnName(t->column);
        printed.checks.push_back({QStringLiteral("\"%1\"%2 = %3")
                                      .arg(QString::fromUtf8(t->label), column.isEmpty() ? QString() : u' ' + column,
                                           figureName(t->figure)),
                                  figure, expected});
    }
    return printed;
}

Printed readPreprinted(const QString& text, const Layout& layout, const Money& money)
{
    Printed printed;
    const size_t wanted = layout.lastFigures.size();
    int next = 1; // the running number of the next line
    qint64 sum = 0;
    qint64 vatSum = 0;
    qint64 rateBases = 0;
    qint64 rateVats = 0;
    bool rates = false;
    const QList<QStringList> pages = pagesOf(text);
    for (qsizetype p = 0; p < pages.size(); ++p) {
        qint64 pageSum = 0;
        qint64 pageVat = 0;
        bool lines = false;
        size_t footer = 0;
        std::map<Figure, qint64> foot; // what the foot of this page prints
        for (const QString& line : pages.at(p)) {
            const std::vector<Token> tokens = tokensOf(line);
            const std::vector<qint64> figures = money.figures(tokens);
            if (!tokens.empty() && tokens.front().text == QString::number(next) && figures.size() >= wanted
                && wanted > 0) {
                ++next;
                lines = true;
                for (size_t k = 0; k < wanted; ++k) {
                    const qint64 units = figures[figures.size() - wanted + k];
                    if (layout.lastFigures[k] == Column::Value) {
                        printed.values.push_back(units);
                        pageSum += units;
                        sum += units;
                    } else if (layout.lastFigures[k] == Column::Vat) {
                        printed.vats.push_back(units);
                        pageVat += units;
                        vatSum += units;
                    }
                }
                continue;
            }
            // The base and VAT of one VAT rate ("din care cota 9 %:", "cota 19 %:"),
            // under the lines when the form has no place for them: they add up
            // to the document's value and VAT.
            static const QRegularExpression rateLine(QStringLiteral("cota\\s+[0-9.,]+\\s*%:"));
            if (lines && figures.size() >= 2 && rateLine.match(line).hasMatch()) {
                rateBases += figures[figures.size() - 2];
                rateVats += figures[figures.size() - 1];
                rates = true;
                continue;
            }
            if (!lines || figures.empty() || footer >= layout.footers.size())
                continue;
            // The foot of the form: the page's figures, the document's on its last page.
            const std::vector<Figure>& row = layout.footers[footer++];
            if (figures.size() < row.size()) {
                printed.problems << QStringLiteral("page %1: the foot line \"%2\" has too few figures").arg(p + 1).arg(line.simplified());
                continue;
            }
            const bool last = p == pages.size() - 1;
            for (size_t k = 0; k < row.size(); ++k) {
                const qint64 units = figures[figures.size() - row.size() + k];
                qint64 expected = 0;
                switch (row[k]) {
                case Figure::Values: expected = last ? sum : pageSum; break;
                case Figure::Vats: expected = last ? vatSum : pageVat; break;
                case Figure::Document:
                    expected = (foot.count(Figure::Values) ? foot.at(Figure::Values) : 0)
                        + (foot.count(Figure::Vats) ? foot.at(Figure::Vats) : 0);
                    break;
                }
                foot[row[k]] = units;
                printed.checks.push_back({QStringLiteral("page %1, foot line %2, figure %3 = %4")
                                              .arg(p + 1)
                                              .arg(footer)
                                              .arg(k + 1)
                                              .arg(figureName(row[k])),
                                          units, expected});
            }
        }
        if (lines && footer < layout.footers.size())
            printed.problems << QStringLiteral("page %1: %2 foot lines of %3").arg(p + 1).arg(footer).arg(layout.footers.size());
    }
    if (rates) {
        printed.checks.push_back({QStringLiteral("the bases of the VAT rates"), rateBases, sum});
        printed.checks.push_back({QStringLiteral("the VAT of the VAT rates"), rateVats, vatSum});
    }
    return printed;
}

} // namespace

Printed read(const QString& text, const Layout& layout, const MoneyFormat& format)
{
    const Money money(format);
    Printed printed = layout.titles.empty() ? readPreprinted(text, layout, money) : readColumns(text, layout, money);
    if (printed.values.empty())
        printed.problems << QStringLiteral("no printed line");
    return printed;
}

QString moneyText(qint64 units, const MoneyFormat& format)
{
    const qint64 scale = qint64(std::llround(std::pow(10.0, format.decimals)));
    const qint64 whole = std::llabs(units) / scale;
    QString digits = QString::number(whole);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(at, format.thousands);
    return (units < 0 ? QStringLiteral("-") : QString()) + digits + format.decimal
        + QString::number(std::llabs(units) % scale).rightJustified(format.decimals, u'0');
}

} // namespace printedtotals
