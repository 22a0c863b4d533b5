#pragma once
// The text export filters of the report preview: HTML and comma-delimited.
//
// Both gather the texts of a page into rows. A character cell is the report
// font's size in points × 3.5278 tenths of a millimetre, in both directions;
// a text printed at (x, y) (tenths of a millimetre from the paper's corner)
// lies on line y / cell and column x / cell × 1.5. A text joins the first row
// whose line is at most 1.5 lines away, placed by column (before a text of
// the same column); otherwise it starts a new row after the last. At the end
// of each page the rows are written and forgotten.
//
// HTML: "<html>" first; a row of one text is the text and "<BR>" (after
// "</TABLE>" when the row before it was a table row); a row of several texts
// opens a table ("<TABLE BORDER=1 WIDTH=100%><TD>" and its first text) or
// continues it ("<TR><TD>" and its first text), each further text adding
// "<TD>" and the text; the last row of a page closes its table; "</HTML>"
// last. Comma-delimited: each row is its texts joined by ";", "</CSV>" last.
// One line per row. Files are UTF-8 (with a byte-order mark, so that browsers
// and spreadsheets read the diacritics right). Texts are written safely: HTML
// escapes "<", ">", "&" and quotes, and a comma-delimited text holding ";",
// a double quote or a line break is put between double quotes (its quotes
// doubled), so that a text never breaks the file's structure.

#include "pagelist.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QTextStream>
#include <memory>

namespace reportengine {

// The texts of one page gathered into rows.
class TextRows {
public:
    struct Item {
        double column = 0;
        QString text;
    };
    struct Line {
        double line = 0;
        QList<Item> items;
    };

    explicit TextRows(double fontSize); // points
    double cell() const { return m_cell; }
    void add(double x, double y, const QString& text); // tenths of a millimetre
    const QList<Line>& rows() const { return m_rows; }
    void clear() { m_rows.clear(); }

private:
    double m_cell;
    QList<Line> m_rows;
};

class ExportFilter {
public:
    virtual ~ExportFilter();
    virtual QString name() const = 0;      // "HTML filter"
    virtual QString files() const = 0;     // "HTML files"
    virtual QString extension() const = 0; // "HTML"

    // Creates the file; false (message in error()) when it cannot be created.
    bool start(const QString& path, double fontSize);
    void text(double x, double y, const QString& text); // tenths of a millimetre
    void endPage();
    bool finish(); // false when the file could not be written completely
    const QString& error() const { return m_error; }

protected:
    virtual void writeStart(QTextStream& out) = 0;
    virtual void writePage(QTextStream& out, const QList<TextRows::Line>& rows) = 0;
    virtual void writeEnd(QTextStream& out) = 0;

private:
    QFile m_file;
    QTextStream m_out;
    std::unique_ptr<TextRows> m_rows;
    QString m_error;
};

class HtmlExportFilter : public ExportFilter {
public:
    QString name() const override { return QStringLiteral("HTML filter"); }
    QString files() const override { return QStringLiteral("HTML files"); }
    QString extension() const override { return QStringLiteral("HTML"); }

protected:
    void writeStart(QTextStream& out) override;
    void writePage(QTextStream& out, const QList<TextRows::Line>& rows) override;
    void writeEnd(QTextStream& out) override;
};

class CsvExportFilter : public ExportFilter {
public:
    QString name() const override { return QStringLiteral("Comma delimited filter"); }
    QString files() const override { return QStringLiteral("Comma delimited files"); }
    QString extension() const override { return QStringLiteral("CSV"); }

protected:
    void writeStart(QTextStream& out) override;
    void writePage(QTextStream& out, const QList<TextRows::Line>& rows) override;
    void writeEnd(QTextStream& out) override;
};

// The registered filters, in the order the preview offers them.
std::vector<std::unique_ptr<ExportFilter>> exportFilters();

// Runs the filter over the page list's texts into `path`; false with a
// message in `error` when the file cannot be written.
bool exportReport(const PageList& pages, ExportFilter& filter, const QString& path, QString* error = nullptr);

} // namespace reportengine

namespace reportengine {

// The pages as plain text, for the command line's text output and the golden
// files of the tests: "--- pagina N ---" before each page, then one line per
// printed row (texts whose tops lie within 1 mm of each other), every text at
// the column of its left edge (2 mm a column), at least one blank between
// two texts. Lines and boxes are not shown. The same pages give the same text.
QString plainText(const PageList& pages);

} // namespace reportengine
