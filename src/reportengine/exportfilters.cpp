#include "exportfilters.h"

#include "canvas.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace reportengine {

// ---------------------------------------------------------------------------
// Rows

TextRows::TextRows(double fontSize) : m_cell(fontSize * 3.5278)
{
    if (m_cell <= 0)
        m_cell = 10 * 3.5278;
}

void TextRows::add(double x, double y, const QString& text)
{
    const double line = y / m_cell;
    const double column = x / m_cell * 1.5;
    for (Line& row : m_rows) {
        if (std::abs(row.line - line) > 1.5)
            continue;
        qsizetype at = 0;
        while (at < row.items.size() && row.items.at(at).column < column)
            ++at;
        row.items.insert(at, Item{column, text});
        return;
    }
    m_rows.append(Line{line, {Item{column, text}}});
}

// ---------------------------------------------------------------------------
// Filters

ExportFilter::~ExportFilter() = default;

bool ExportFilter::start(const QString& path, double fontSize)
{
    m_error.clear();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        m_error = QStringLiteral("Fisierul %1 nu poate fi scris!").arg(QFileInfo(path).absoluteFilePath());
        return false;
    }
    m_out.setDevice(&m_file);
    m_out.setEncoding(QStringConverter::Utf8);
    m_out.setGenerateByteOrderMark(true);
    m_rows = std::make_unique<TextRows>(fontSize);
    writeStart(m_out);
    return true;
}

void ExportFilter::text(double x, double y, const QString& text)
{
    if (m_rows)
        m_rows->add(x, y, text);
}

void ExportFilter::endPage()
{
    if (!m_rows)
        return;
    writePage(m_out, m_rows->rows());
    m_rows->clear();
}

bool ExportFilter::finish()
{
    if (!m_rows)
        return false;
    writeEnd(m_out);
    m_out.flush();
    const bool ok = m_out.status() == QTextStream::Ok && m_file.error() == QFileDevice::NoError;
    m_file.close();
    m_out.setDevice(nullptr);
    m_rows.reset();
    if (!ok)
        m_error = QStringLiteral("Fisierul %1 nu poate fi scris!").arg(QFileInfo(m_file).absoluteFilePath());
    return ok;
}

void HtmlExportFilter::writeStart(QTextStream& out)
{
    out << "<html>\n";
}

void HtmlExportFilter::writePage(QTextStream& out, const QList<TextRows::Line>& rows)
{
    bool inTable = false;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QList<TextRows::Item>& items = rows.at(r).items;
        QString line;
        if (items.size() == 1) {
            if (inTable)
                line += QStringLiteral("</TABLE>");
            inTable = false;
            line += items.first().text.toHtmlEscaped() + QStringLiteral("<BR>");
        } else {
            line += inTable ? QStringLiteral("<TR><TD>") : QStringLiteral("<TABLE BORDER=1 WIDTH=100%><TD>");
            inTable = true;
            line += items.first().text.toHtmlEscaped();
            for (qsizetype i = 1; i < items.size(); ++i)
                line += QStringLiteral("<TD>") + items.at(i).text.toHtmlEscaped();
            if (r == rows.size() - 1)
                line += QStringLiteral("</TABLE>");
        }
        out << line << "\n";
    }
}

void HtmlExportFilter::writeEnd(QTextStream& out)
{
    out << "</HTML>\n";
}

namespace {

QString csvText(const QString& text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

void CsvExportFilter::writeStart(QTextStream&) {}

void CsvExportFilter::writePage(QTextStream& out, const QList<TextRows::Line>& rows)
{
    for (const TextRows::Line& row : rows) {
        QStringList texts;
        for (const TextRows::Item& item : row.items)
            texts << csvText(item.text);
        out << texts.join(u';') << "\n";
    }
}

void CsvExportFilter::writeEnd(QTextStream& out)
{
    out << "</CSV>\n";
}

std::vector<std::unique_ptr<ExportFilter>> exportFilters()
{
    std::vector<std::unique_ptr<ExportFilter>> out;
    out.push_back(std::make_unique<HtmlExportFilter>());
    out.push_back(std::make_unique<CsvExportFilter>());
    return out;
}

bool exportReport(const PageList& pages, ExportFilter& filter, const QString& path, QString* error)
{
    const double fontSize = pages.setup.font.pointSizeF();
    if (!filter.start(path, fontSize)) {
        if (error)
            *error = filter.error();
        return false;
    }
    const TextCapture texts = capture(pages);
    qsizetype i = 0;
    for (int page = 0; page < pages.pageCount(); ++page) {
        for (; i < texts.texts.size() && texts.texts.at(i).page == page; ++i) {
            const TextCapture::Text& t = texts.texts.at(i);
            filter.text(t.x * 10, t.y * 10, t.text);
        }
        filter.endPage();
    }
    if (!filter.finish()) {
        if (error)
            *error = filter.error();
        return false;
    }
    return true;
}

} // namespace reportengine

namespace reportengine {

QString plainText(const PageList& pages)
{
    const TextCapture captured = capture(pages);
    QString result;
    for (int page = 0; page < captured.pageCount; ++page) {
        QList<TextCapture::Text> texts;
        for (const TextCapture::Text& t : captured.texts)
            if (t.page == page)
                texts.append(t);
        std::stable_sort(texts.begin(), texts.end(), [](const TextCapture::Text& a, const TextCapture::Text& b) {
            return a.y < b.y;
        });
        result += QStringLiteral("--- pagina %1 ---\n").arg(page + 1);
        qsizetype i = 0;
        while (i < texts.size()) {
            const double top = texts.at(i).y;
            qsizetype end = i;
            while (end < texts.size() && texts.at(end).y - top < 1.0)
                ++end;
            QList<TextCapture::Text> row = texts.mid(i, end - i);
            std::stable_sort(row.begin(), row.end(), [](const TextCapture::Text& a, const TextCapture::Text& b) {
                return a.x < b.x;
            });
            QString line;
            for (const TextCapture::Text& t : row) {
                const qsizetype column = qMax<qsizetype>(0, qRound(t.x / 2.0));
                if (line.size() < column)
                    line += QString(column - line.size(), u' ');
                else if (!line.isEmpty())
                    line += u' ';
                line += t.text;
            }
            while (line.endsWith(u' '))
                line.chop(1);
            result += line + u'\n';
            i = end;
        }
    }
    return result;
}

} // namespace reportengine
