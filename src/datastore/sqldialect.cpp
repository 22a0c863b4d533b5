#include "sqldialect.h"

#include "dberror.h"
#include "tablecatalog.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace datastore {

namespace {

bool isWordStart(QChar c) { return c.isLetter() || c == u'_' || c == u'$' || c == u'#'; }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#'; }

[[noreturn]] void syntaxError(const QString& what, const QString& sql)
{
    throw DbError(DbErrorKind::Syntax, what, sql);
}

QString quoteIdent(const QString& name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString quoteString(const QString& text)
{
    QString q = text;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

// A text constant of the dialect in SQLite's terms: the date constants
// 'MM/DD/YYYY' become the stored form 'yyyy-MM-dd', 'TRUE' and 'FALSE' the
// boolean constants; any other text stays a string.
QString constantText(const QString& text)
{
    static const QRegularExpression dateForm(QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{4})$)"));
    if (const auto m = dateForm.match(text); m.hasMatch()) {
        const QDate date(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
        if (date.isValid())
            return quoteString(date.toString(Qt::ISODate));
    }
    if (text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("TRUE");
    if (text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("FALSE");
    return quoteString(text);
}

// Whether a double-quoted name may be a field: a field of a catalog table, or
// a name made of letters, digits, '_', inner blanks and dots that does not start
// with a digit. SQLite turns a double-quoted name that is no field into a
// string; a server does not, so the translation decides with this.
bool couldBeField(const QString& name)
{
    static const QSet<QString> catalogFields = [] {
        QSet<QString> names;
        for (const QList<TableDef>* list : {&databaseTables(), &uncheckedTables()})
            for (const TableDef& t : *list)
                for (const FieldDef& f : t.fields)
                    names.insert(f.name.toLower());
        return names;
    }();
    if (catalogFields.contains(name.toLower()))
        return true;
    static const QRegularExpression plain(QStringLiteral(R"(^[A-Za-z_](?:[A-Za-z0-9_ .]*[A-Za-z0-9_])?$)"));
    return plain.match(name).hasMatch();
}

// Words of the statement's own grammar: never a field, an alias or a table's alias.
bool isKeyword(const SqlToken& t)
{
    static const QSet<QString> words = {
        "ALL", "AND", "AS", "ASC", "BETWEEN", "BY", "CASE", "CROSS", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP",
        "DESC", "DISTINCT", "ELSE", "END", "ESCAPE", "EXCEPT", "EXISTS", "FALSE", "FROM", "FULL", "GLOB", "GROUP", "HAVING",
        "ILIKE", "IN", "INNER", "INTERSECT", "INTO", "IS", "JOIN", "LEFT", "LIKE", "LIMIT", "NATURAL", "NOT", "NULL", "OFFSET",
        "ON", "OR", "ORDER", "OUTER", "OVER", "RIGHT", "SELECT", "SET", "THEN", "TRUE", "UNION", "USING", "VALUES", "WHEN",
        "WHERE", "WINDOW"};
    return t.kind == SqlToken::Word && words.contains(t.text.toUpper());
}

// A token as it was written (a double-quoted name with its quotes).
QString writtenText(const SqlToken& t)
{
    return t.kind == SqlToken::Quoted ? quoteIdent(t.text) : t.text;
}

// The text of a single-quoted string token.
QString unquoted(const QString& token)
{
    QString t = token.mid(1);
    if (t.endsWith(u'\''))
        t.chop(1);
    return t.replace(QStringLiteral("''"), QStringLiteral("'"));
}

// Cursor over the significant tokens of a statement (spaces skipped).
class TokenCursor {
public:
    TokenCursor(const QList<SqlToken>& all, const QString& sql) : m_sql(sql)
    {
        for (const SqlToken& t : all)
            if (t.kind != SqlToken::Space)
                m_tokens.append(t);
    }
    bool atEnd() const { return m_pos >= m_tokens.size(); }
    const SqlToken& peek(int ahead = 0) const
    {
        static const SqlToken end{SqlToken::Punct, QString()};
        return m_pos + ahead < m_tokens.size() ? m_tokens[m_pos + ahead] : end;
    }
    SqlToken take()
    {
        if (atEnd())
            syntaxError(QStringLiteral("Unexpected end of statement"), m_sql);
        return m_tokens[m_pos++];
    }
    bool isWord(const char* w, int ahead = 0) const
    {
        const SqlToken& t = peek(ahead);
        return t.kind == SqlToken::Word && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    bool isPunct(const char* p, int ahead = 0) const
    {
        const SqlToken& t = peek(ahead);
        return t.kind == SqlToken::Punct && t.text == QLatin1String(p);
    }
    void expectWord(const char* w)
    {
        if (!isWord(w))
            syntaxError(QStringLiteral("Expected %1").arg(QLatin1String(w)), m_sql);
        ++m_pos;
    }
    void expectPunct(const char* p)
    {
        if (!isPunct(p))
            syntaxError(QStringLiteral("Expected '%1'").arg(QLatin1String(p)), m_sql);
        ++m_pos;
    }
    bool acceptWord(const char* w)
    {
        if (!isWord(w))
            return false;
        ++m_pos;
        return true;
    }
    bool acceptPunct(const char* p)
    {
        if (!isPunct(p))
            return false;
        ++m_pos;
        return true;
    }
    // A name: a word or a double-quoted name.
    QString name()
    {
        const SqlToken t = take();
        if (t.kind != SqlToken::Word && t.kind != SqlToken::Quoted)
            syntaxError(QStringLiteral("Expected a name"), m_sql);
        return t.text;
    }
    // A table as written: word, "quoted", or word.DB.
    QString tableName()
    {
        QString n = name();
        if (isPunct(".") && isWord("DB", 1)) {
            m_pos += 2;
            n += QStringLiteral(".DB");
        }
        return n;
    }
    // The text of a type: word with an optional parenthesised size.
    QString typeText()
    {
        QString t = name();
        if (acceptPunct("(")) {
            t += u'(';
            while (!isPunct(")")) {
                t += take().text;
            }
            expectPunct(")");
            t += u')';
        }
        return t;
    }

private:
    QList<SqlToken> m_tokens;
    int m_pos = 0;
    const QString& m_sql;
};

// A field of CREATE TABLE or ALTER TABLE ... ADD from its written type. The
// size of a text or memo field must lie in 1..65535: anything else (0, a
// number too large for any field) would leave a column that keeps nothing.
std::optional<FieldDef> fieldOfStatement(const QString& name, const QString& type, const QString& sql)
{
    std::optional<FieldDef> f = fieldFromDeclaredType(name, type);
    if (!f)
        syntaxError(QStringLiteral("Unknown field type %1").arg(type), sql);
    if (f->type == FieldType::Text || f->type == FieldType::Memo) {
        static const QRegularExpression sizeText(QStringLiteral(R"(\(\s*(\d+))"));
        const auto m = sizeText.match(type);
        if (m.hasMatch()) {
            bool ok = false;
            const qulonglong size = m.captured(1).toULongLong(&ok);
            if (!ok || size < 1 || size > kMaxFieldSize)
                syntaxError(QStringLiteral("Dimensiune invalida %1 pentru cimpul %2: se admite intre 1 si %3")
                                .arg(m.captured(1), name)
                                .arg(kMaxFieldSize),
                            sql);
        }
    }
    return f;
}

// A path as written in a statement: the windows join a directory and a file
// with a backslash whatever the platform, so both separators count.
QString forwardSlashes(QString path)
{
    return path.replace(u'\\', u'/');
}

QString stripExtension(const QString& name)
{
    if (name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        return name.left(name.size() - 3);
    return name;
}

QString normalDir(const QString& dir)
{
    QString d = QDir::cleanPath(forwardSlashes(dir));
    while (d.size() > 1 && d.endsWith(u'/'))
        d.chop(1);
    return d;
}

} // namespace

QList<SqlToken> tokenizeSql(const QString& sql)
{
    QList<SqlToken> out;
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        const int start = i;
        if (c.isSpace()) {
            while (i < n && sql[i].isSpace())
                ++i;
            out.append({SqlToken::Space, sql.mid(start, i - start)});
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
            out.append({SqlToken::Space, sql.mid(start, i - start)});
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const int end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            out.append({SqlToken::Space, sql.mid(start, i - start)});
        } else if (c == u'\'') {
            ++i;
            while (i < n) {
                if (sql[i] == u'\'') {
                    if (i + 1 < n && sql[i + 1] == u'\'') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.append({SqlToken::String, sql.mid(start, i - start)});
        } else if (c == u'"') {
            QString text;
            ++i;
            while (i < n) {
                if (sql[i] == u'"') {
                    if (i + 1 < n && sql[i + 1] == u'"') {
                        text += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += sql[i++];
            }
            out.append({SqlToken::Quoted, text});
        } else if (c == u':' && i + 1 < n && isWordStart(sql[i + 1])) {
            ++i;
            while (i < n && isWordChar(sql[i]))
                ++i;
            out.append({SqlToken::Param, sql.mid(start, i - start)});
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            while (i < n && (sql[i].isDigit() || sql[i] == u'.'))
                ++i;
            if (i < n && (sql[i] == u'e' || sql[i] == u'E')) {
                int j = i + 1;
                if (j < n && (sql[j] == u'+' || sql[j] == u'-'))
                    ++j;
                if (j < n && sql[j].isDigit()) {
                    i = j;
                    while (i < n && sql[i].isDigit())
                        ++i;
                }
            }
            out.append({SqlToken::Number, sql.mid(start, i - start)});
        } else if (isWordStart(c)) {
            while (i < n && isWordChar(sql[i]))
                ++i;
            out.append({SqlToken::Word, sql.mid(start, i - start)});
        } else {
            static const QStringList twoChar = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">="),
                                                QStringLiteral("!="), QStringLiteral("||"), QStringLiteral("==")};
            const QString two = sql.mid(i, 2);
            if (twoChar.contains(two)) {
                i += 2;
                out.append({SqlToken::Punct, two});
            } else {
                ++i;
                out.append({SqlToken::Punct, QString(c)});
            }
        }
    }
    return out;
}

SqlDialect::SqlDialect(QString ownAlias, QString ownDir, QHash<QString, QString> attached)
    : m_ownAlias(std::move(ownAlias)), m_ownDir(normalDir(ownDir)), m_attached(std::move(attached))
{
}

TableRef SqlDialect::resolveTable(const QString& written) const
{
    QString w = written.trimmed();
    TableRef ref;
    if (w.startsWith(u':')) {
        const int second = w.indexOf(u':', 1);
        if (second < 0)
            throw DbError(DbErrorKind::Syntax, QStringLiteral("Invalid table name %1").arg(written));
        const QString alias = w.mid(1, second - 1).toUpper();
        w = w.mid(second + 1);
        if (alias != m_ownAlias.toUpper()) {
            if (!m_attached.contains(alias))
                throw DbError(DbErrorKind::NoSuchTable, QStringLiteral("Unknown alias %1").arg(alias));
            ref.schema = alias;
        }
    } else if (w.contains(u'/') || w.contains(u'\\')) {
        const QFileInfo fi(forwardSlashes(w));
        const QString dir = normalDir(fi.path());
        w = fi.fileName();
        if (dir.compare(m_ownDir, Qt::CaseInsensitive) != 0) {
            bool found = false;
            for (auto it = m_attached.cbegin(); it != m_attached.cend(); ++it) {
                if (normalDir(it.value()).compare(dir, Qt::CaseInsensitive) == 0) {
                    ref.schema = it.key();
                    found = true;
                    break;
                }
            }
            if (!found)
                throw DbError(DbErrorKind::NoSuchTable,
                              QStringLiteral("Directory %1 is not connected").arg(fi.path()));
        }
    }
    w = stripExtension(w);
    if (const TableDef* def = findTableDef(w))
        w = stripExtension(def->name);
    ref.name = w;
    return ref;
}

QString SqlDialect::quoted(const TableRef& ref)
{
    return ref.schema.isEmpty() ? quoteIdent(ref.name) : quoteIdent(ref.schema) + u'.' + quoteIdent(ref.name);
}

QString SqlDialect::quotedTable(const TableRef& ref) const
{
    // The server folds names written bare to lower case: its names are kept so.
    if (m_target == Target::Postgres)
        return quoted(TableRef{m_schemaNames.value(ref.schema.toUpper(), ref.schema), ref.name.toLower()});
    return quoted(ref);
}

QString SqlDialect::translate(const QString& sql) const
{
    const QList<SqlToken> tokens = tokenizeSql(sql);
    // The closing parenthesis of every opening one (-1 when it has none),
    // found once so that no rule has to search for it.
    QList<int> closing(tokens.size(), -1);
    QList<int> open;
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (tokens[i].kind != SqlToken::Punct)
            continue;
        if (tokens[i].text == QLatin1String("("))
            open.append(i);
        else if (tokens[i].text == QLatin1String(")") && !open.isEmpty())
            closing[open.takeLast()] = i;
    }
    return translateTokens({tokens, closing, sql}, 0, int(tokens.size()), 0);
}

QString SqlDialect::translateTokens(const Tokens& all, int from, int to, int nesting) const
{
    const QList<SqlToken>& tokens = all.tokens;
    const bool server = m_target == Target::Postgres;
    QString out;
    if (nesting == 0)
        out.reserve(all.sql.size() + all.sql.size() / 2 + 16); // blanks grow: "= ''" -> "IS NULL"
    // Significant tokens around the current one, for the context rules.
    auto prevIndex = [&](int i) -> int {
        for (int j = i - 1; j >= from; --j) {
            if (tokens[j].kind != SqlToken::Space)
                return j;
        }
        return -1;
    };
    auto prevSignificant = [&](int i) -> const SqlToken* {
        const int j = prevIndex(i);
        return j < 0 ? nullptr : &tokens[j];
    };
    auto nextSignificant = [&](int i) -> int {
        for (int j = i + 1; j < to; ++j)
            if (tokens[j].kind != SqlToken::Space)
                return j;
        return -1;
    };
    auto isWord = [](const SqlToken* t, const char* w) {
        return t && t->kind == SqlToken::Word && t->text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    };
    auto isPunct = [](const SqlToken* t, const char* p) {
        return t && t->kind == SqlToken::Punct && t->text == QLatin1String(p);
    };
    auto isOneOf = [&](const SqlToken& t, std::initializer_list<const char*> words) {
        for (const char* w : words)
            if (isWord(&t, w))
                return true;
        return false;
    };
    auto isPunctOf = [](const SqlToken* t, std::initializer_list<const char*> puncts) {
        if (!t || t->kind != SqlToken::Punct)
            return false;
        for (const char* p : puncts)
            if (t->text == QLatin1String(p))
                return true;
        return false;
    };
    auto isName = [](const SqlToken& t) { return (t.kind == SqlToken::Word && !isKeyword(t)) || t.kind == SqlToken::Quoted; };
    // A name in the server's spelling (a double-quoted one lowered, as every name there).
    auto serverName = [](const SqlToken& t) { return t.kind == SqlToken::Quoted ? quoteIdent(t.text.toLower()) : t.text; };

    // On the server, the catalog tables the statement has named so far, by
    // their name and alias in lower case: an integer written against one of
    // their boolean fields becomes TRUE or FALSE (the server has no implicit
    // cast from integer to boolean; SQLite stores booleans as 0 and 1).
    QHash<QString, const TableDef*> namedTables;
    QList<const TableDef*> tableOrder;
    const TableDef* awaitingAlias = nullptr; // a table just named: a name right after it is its alias
    const TableDef* insertInto = nullptr;    // the catalog table of an INSERT
    int insertTableEnd = -1;                 // the last token of its name
    QStringList insertColumns;
    auto nameTable = [&](const TableRef& ref, int first, int last) {
        if (!server)
            return;
        const TableDef* def = findTableDef(ref.name);
        awaitingAlias = def;
        if (!def)
            return;
        namedTables.insert(ref.name.toLower(), def);
        tableOrder.append(def);
        if (isWord(prevSignificant(first), "INTO")) {
            insertInto = def;
            insertTableEnd = last;
        }
    };
    auto isBooleanIn = [](const TableDef* def, const QString& name) {
        const FieldDef* f = def ? def->field(name) : nullptr;
        return f && f->type == FieldType::Boolean;
    };
    auto isBooleanField = [&](const QString& qualifier, const QString& name) {
        if (!qualifier.isEmpty())
            return isBooleanIn(namedTables.value(qualifier.toLower()), name);
        for (const TableDef* def : tableOrder)
            if (def->field(name))
                return isBooleanIn(def, name);
        return false;
    };
    // The field written just before token j + 1 ("Serii", "I.Serii"), or after
    // token j - 1; empty when there is none.
    auto fieldEndingAt = [&](int j, QString* qualifier) -> QString {
        if (j < 0 || !isName(tokens[j]))
            return {};
        if (j - 2 >= from && isPunct(&tokens[j - 1], ".") && isName(tokens[j - 2]))
            *qualifier = tokens[j - 2].text;
        return tokens[j].text;
    };
    auto fieldStartingAt = [&](int j, QString* qualifier) -> QString {
        if (j < 0 || !isName(tokens[j]))
            return {};
        if (j + 2 < to && isPunct(&tokens[j + 1], ".") && isName(tokens[j + 2])) {
            *qualifier = tokens[j].text;
            return tokens[j + 2].text;
        }
        return tokens[j].text;
    };

    // What the rules need to know of the parentheses around a token, kept
    // while reading forward (one level per open parenthesis):
    //  - whether they are the list of an IN;
    //  - whether the nearest clause word before the token at its own level is
    //    SET (among SET, WHERE, ON, WHEN, HAVING, SELECT): "X = ''" there is
    //    an assignment;
    //  - whether it is FROM (among FROM, SELECT, WHERE, GROUP, ORDER, HAVING,
    //    SET, VALUES): a comma there separates tables;
    //  - on the server, whether they hold the field list or the VALUES of an
    //    INSERT, and which item is being read;
    //  - on the server, the select list or GROUP BY being read at this level:
    //    its current item, and the bare columns of the select list.
    struct SelectColumn {
        int outStart; // the item's text in the output
        int outEnd;
        QString column;  // qualifier and name in the server's spelling
        QString name;    // the name a column gets: its alias, else the field's name
        QString grouped; // "qualifier.name" in lower case, or "name"
        QString field;   // the field's name in lower case
        QString alias;   // in lower case
        QString qualifier; // as written, for the field's type
        QString written;
    };
    struct Level {
        bool inList = false;
        bool afterSet = false;
        bool afterFrom = false;
        enum class Items { None, Columns, Values } items = Items::None;
        int item = 0;
        enum class Clause { None, SelectList, GroupBy, OrderBy } clause = Clause::None;
        bool leading = false; // DISTINCT, ALL or BY may come before the first item
        int itemFirst = -1;   // the first token of the current item
        int itemOut = 0;      // where its text begins in the output
        QList<SelectColumn> columns;
        QSet<QString> grouped;      // bare columns of GROUP BY: "qualifier.name" or "name"
        QSet<QString> groupedNames; // their names
        bool groupedQuery = false;  // the SELECT at this level has a GROUP BY
        bool aggregated = false;    // its select list calls an aggregate
        QSet<QString> selectNames;  // names of its columns (aliases, bare fields), lower case
        bool derivedTable = false;  // a SELECT in parentheses where a table stands
        bool valuesRows = false;    // after VALUES of an INSERT: every "(" opens a row
    };
    QList<Level> levels(1);
    int derivedTables = 0;
    auto isGrouped = [](const Level& lv, const QString& qualified, const QString& field, const QString& alias) {
        return lv.grouped.contains(qualified) || lv.grouped.contains(field)
            || (qualified == field && lv.groupedNames.contains(field)) || (!alias.isEmpty() && lv.grouped.contains(alias));
    };

    // The end of an item of a select list or GROUP BY (tokens itemFirst..end-1).
    // A select-list item that is an expression without an alias is named by
    // its text as written, as SQLite names it; the server would call it after
    // its function or "?column?".
    auto endItem = [&](Level& lv, int end) {
        if (lv.itemFirst < 0)
            return;
        int head[3] = {-1, -1, -1};
        int count = 0, last = -1, beforeLast = -1;
        for (int j = lv.itemFirst; j < end; ++j) {
            if (tokens[j].kind == SqlToken::Space)
                continue;
            if (count < 3)
                head[count] = j;
            ++count;
            beforeLast = last;
            last = j;
        }
        int exprCount = count, exprLast = last;
        QString alias;
        if (count >= 2 && isName(tokens[last]) && !isPunct(&tokens[beforeLast], ".")) {
            const SqlToken& b = tokens[beforeLast];
            if (isWord(&b, "AS")) {
                alias = serverName(tokens[last]);
                exprCount = count - 2;
                exprLast = prevIndex(beforeLast);
            } else if (isName(b) || b.kind == SqlToken::Number || b.kind == SqlToken::String || b.kind == SqlToken::Param
                       || isPunct(&b, ")") || isOneOf(b, {"NULL", "TRUE", "FALSE", "END"})) {
                alias = serverName(tokens[last]);
                exprCount = count - 1;
                exprLast = beforeLast;
            }
        }
        QString qualifier, field;
        if (exprCount == 1 && isName(tokens[head[0]])
            && (tokens[head[0]].kind == SqlToken::Word || couldBeField(tokens[head[0]].text))) {
            field = tokens[head[0]].text;
        } else if (exprCount == 3 && isName(tokens[head[0]]) && isPunct(&tokens[head[1]], ".") && isName(tokens[head[2]])) {
            qualifier = tokens[head[0]].text;
            field = tokens[head[2]].text;
        }
        const bool star = (exprCount == 1 && isPunct(&tokens[head[0]], "*"))
            || (exprCount == 3 && isPunct(&tokens[head[1]], ".") && isPunct(&tokens[head[2]], "*"));
        int outEnd = int(out.size());
        while (outEnd > lv.itemOut && out[outEnd - 1].isSpace())
            --outEnd;
        if (lv.clause == Level::Clause::SelectList) {
            if (!alias.isEmpty() || !field.isEmpty())
                lv.selectNames.insert(alias.isEmpty() ? field.toLower() : alias.toLower());
            if (!field.isEmpty()) {
                const SqlToken& nameToken = tokens[exprCount == 1 ? head[0] : head[2]];
                const QString column = exprCount == 1 ? serverName(nameToken)
                                                      : serverName(tokens[head[0]]) + u'.' + serverName(nameToken);
                lv.columns.append({lv.itemOut, outEnd, column, alias.isEmpty() ? serverName(nameToken) : alias,
                                   qualifier.isEmpty() ? field.toLower() : qualifier.toLower() + u'.' + field.toLower(),
                                   field.toLower(), alias.toLower(), qualifier, field});
            } else if (alias.isEmpty() && !star && exprLast >= 0) {
                QString text;
                for (int j = lv.itemFirst; j <= exprLast; ++j)
                    text += writtenText(tokens[j]);
                out.insert(outEnd, QStringLiteral(" AS ") + quoteIdent(text));
            }
        } else if (lv.clause == Level::Clause::OrderBy) {
            // SQLite puts empty values first in an ascending order, the
            // server last: the place of NULL is written out.
            const bool chosen = count >= 2 && isWord(&tokens[beforeLast], "NULLS");
            const bool descending = isWord(&tokens[last], "DESC");
            const bool direction = descending || isWord(&tokens[last], "ASC");
            // A bare column neither grouped nor a column of the select list,
            // in the order of a grouped SELECT: as in the select list.
            const int n = count - (direction ? 1 : 0);
            const bool bare = n == 1 && tokens[head[0]].kind == SqlToken::Word && !isKeyword(tokens[head[0]]);
            const bool dotted = n == 3 && isName(tokens[head[0]]) && isPunct(&tokens[head[1]], ".") && isName(tokens[head[2]]);
            if (!chosen && lv.groupedQuery && (bare || dotted)) {
                const SqlToken& nameToken = tokens[bare ? head[0] : head[2]];
                const QString orderField = nameToken.text.toLower();
                const QString qualified = bare ? orderField : tokens[head[0]].text.toLower() + u'.' + orderField;
                if (!(bare && lv.selectNames.contains(orderField)) && !isGrouped(lv, qualified, orderField, QString())) {
                    const QString column = bare ? serverName(nameToken) : serverName(tokens[head[0]]) + u'.' + serverName(nameToken);
                    const bool boolean = isBooleanField(bare ? QString() : tokens[head[0]].text, nameToken.text);
                    out.truncate(lv.itemOut); // the item is the end of the text
                    out += (boolean ? QStringLiteral("BOOL_OR(") : QStringLiteral("MIN(")) + column + u')';
                    if (direction)
                        out += descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
                    outEnd = int(out.size());
                }
            }
            // SQLite puts empty values first in an ascending order, the
            // server last: the place of NULL is written out.
            if (!chosen && last >= 0)
                out.insert(outEnd, descending ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST"));
        } else if (!field.isEmpty()) {
            lv.grouped.insert(qualifier.isEmpty() ? field.toLower() : qualifier.toLower() + u'.' + field.toLower());
            lv.groupedNames.insert(field.toLower());
        }
        lv.itemFirst = -1;
    };
    // SQLite lets a grouped SELECT (GROUP BY, or an aggregate without it)
    // name a column that is neither grouped nor aggregated and takes its value
    // from a row of the group; the server refuses it. Such a select-list item
    // that is a bare column becomes MIN(column) (BOOL_OR for a boolean field)
    // under the column's name: the same value wherever the group's rows agree
    // on it. The text is copied once, from the first such column on.
    auto wrapLoose = [&](Level& lv) {
        QList<const SelectColumn*> loose;
        for (const SelectColumn& c : lv.columns)
            if (!isGrouped(lv, c.grouped, c.field, c.alias))
                loose.append(&c);
        if (!loose.isEmpty()) {
            QString tail;
            int copied = loose.first()->outStart;
            tail.reserve(int(out.size()) - copied + 24 * int(loose.size()));
            for (const SelectColumn* c : loose) {
                tail += QStringView(out).mid(copied, c->outStart - copied);
                // the tables are all named by now
                const bool boolean = isBooleanField(c->qualifier, c->written);
                tail += (boolean ? QStringLiteral("BOOL_OR(") : QStringLiteral("MIN(")) + c->column
                    + QStringLiteral(") AS ") + c->name;
                copied = c->outEnd;
            }
            tail += QStringView(out).mid(copied);
            out.truncate(loose.first()->outStart);
            out += tail;
        }
        lv.columns.clear();
    };
    // The end of a select list, GROUP BY or ORDER BY.
    auto endClause = [&](Level& lv, int end) {
        endItem(lv, end);
        if (lv.clause == Level::Clause::GroupBy)
            wrapLoose(lv);
        lv.clause = Level::Clause::None;
    };
    // The end of a SELECT's clauses up to ORDER BY: an aggregate without
    // GROUP BY groups all rows into one.
    auto endSelect = [&](Level& lv) {
        if (lv.aggregated && !lv.groupedQuery && !lv.columns.isEmpty()) {
            wrapLoose(lv);
            lv.groupedQuery = true;
        }
    };

    for (int i = from; i < to; ++i) {
        const SqlToken& t = tokens[i];
        if (server && t.kind != SqlToken::Space) {
            Level& lv = levels.back();
            if (awaitingAlias && !isWord(&t, "AS")) {
                if (isName(t))
                    namedTables.insert(t.text.toLower(), awaitingAlias);
                awaitingAlias = nullptr;
            }
            if (lv.items == Level::Items::Columns && isName(t))
                insertColumns << t.text;
            bool clauseWord = false;
            if (t.kind == SqlToken::Word) {
                if (lv.clause == Level::Clause::SelectList
                    && isOneOf(t, {"FROM", "WHERE", "GROUP", "ORDER", "HAVING", "UNION", "EXCEPT", "INTERSECT", "LIMIT", "INTO"}))
                    endClause(lv, i);
                else if (lv.clause == Level::Clause::GroupBy
                         && isOneOf(t, {"HAVING", "ORDER", "LIMIT", "OFFSET", "UNION", "EXCEPT", "INTERSECT", "WINDOW"}))
                    endClause(lv, i);
                else if (lv.clause == Level::Clause::OrderBy
                         && isOneOf(t, {"LIMIT", "OFFSET", "UNION", "EXCEPT", "INTERSECT", "ROWS", "RANGE", "GROUPS"}))
                    endClause(lv, i);
                if (isOneOf(t, {"ORDER", "LIMIT", "OFFSET", "UNION", "EXCEPT", "INTERSECT"}))
                    endSelect(lv);
                const int after = nextSignificant(i);
                if (lv.clause == Level::Clause::SelectList && after > 0 && isPunct(&tokens[after], "(")
                    && isOneOf(t, {"COUNT", "SUM", "MIN", "MAX", "AVG", "TOTAL", "GROUP_CONCAT"})) {
                    const int close = all.closing[after];
                    const int over = close > 0 ? nextSignificant(close) : -1;
                    lv.aggregated = lv.aggregated || !(over > 0 && isWord(&tokens[over], "OVER"));
                }
                if (isWord(&t, "SELECT")) {
                    lv.clause = Level::Clause::SelectList;
                    lv.columns.clear();
                    lv.selectNames.clear();
                    lv.groupedQuery = false;
                    lv.aggregated = false;
                    clauseWord = true;
                } else if (isWord(&t, "GROUP") && after > 0 && isWord(&tokens[after], "BY")) {
                    lv.clause = Level::Clause::GroupBy;
                    lv.grouped.clear();
                    lv.groupedNames.clear();
                    lv.groupedQuery = true;
                    clauseWord = true;
                } else if (isWord(&t, "ORDER") && after > 0 && isWord(&tokens[after], "BY")) {
                    lv.clause = Level::Clause::OrderBy;
                    clauseWord = true;
                }
                if (clauseWord) {
                    lv.leading = true;
                    lv.itemFirst = -1;
                }
            }
            if (isPunct(&t, ")")) {
                endClause(lv, i); // the level closes below
                endSelect(lv);
            } else if (lv.clause != Level::Clause::None && !clauseWord) {
                if (isPunct(&t, ","))
                    endItem(lv, i);
                else if (lv.itemFirst < 0 && !(lv.leading && isOneOf(t, {"DISTINCT", "ALL", "BY"}))) {
                    lv.leading = false;
                    lv.itemFirst = i;
                    lv.itemOut = int(out.size());
                }
            }
        }
        Level& level = levels.back();
        switch (t.kind) {
        case SqlToken::String: {
            // A table named by the path of its file in single quotes (the
            // reports qualify their answer tables so); any other text constant.
            const QString text = unquoted(t.text);
            const SqlToken* prev = prevSignificant(i);
            const bool tablePosition = isWord(prev, "FROM") || isWord(prev, "JOIN") || isWord(prev, "INTO")
                || isWord(prev, "UPDATE") || (isPunct(prev, ",") && level.afterFrom);
            if ((text.contains(u'/') || text.contains(u'\\')) && tablePosition) {
                const TableRef ref = resolveTable(text);
                nameTable(ref, i, i);
                out += quotedTable(ref);
            } else {
                out += constantText(text);
            }
            break;
        }
        case SqlToken::Number: {
            if (server) {
                const int p = prevIndex(i);
                const int n = nextSignificant(i);
                const SqlToken* before = p >= 0 ? &tokens[p] : nullptr;
                const SqlToken* after = n >= 0 ? &tokens[n] : nullptr;
                const auto equality = {"=", "==", "<>", "!="};
                const auto arithmetic = {"+", "-", "*", "/", "%", "||"};
                bool boolean = false;
                QString qualifier;
                if (level.items == Level::Items::Values && insertInto && isPunctOf(before, {"(", ","})
                    && isPunctOf(after, {",", ")"})) {
                    const QString column = insertColumns.isEmpty() ? insertInto->fields.value(level.item).name
                                                                   : insertColumns.value(level.item);
                    boolean = isBooleanIn(insertInto, column);
                } else if (isPunctOf(before, equality) && !isPunctOf(after, arithmetic)) {
                    const QString field = fieldEndingAt(prevIndex(p), &qualifier);
                    boolean = !field.isEmpty() && isBooleanField(qualifier, field);
                } else if (isPunctOf(after, equality) && !isPunctOf(before, arithmetic)) {
                    const QString field = fieldStartingAt(nextSignificant(n), &qualifier);
                    boolean = !field.isEmpty() && isBooleanField(qualifier, field);
                }
                if (boolean) {
                    out += t.text.toDouble() != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                    break;
                }
            }
            out += t.text;
            break;
        }
        case SqlToken::Punct: {
            if (t.text == QLatin1String("(")) {
                const int p = prevIndex(i);
                const bool fromPosition = isWord(prevSignificant(i), "FROM") || isWord(prevSignificant(i), "JOIN")
                    || (isPunct(prevSignificant(i), ",") && level.afterFrom);
                const int first = nextSignificant(i);
                levels.append(Level());
                levels.back().inList = isWord(prevSignificant(i), "IN");
                levels.back().derivedTable = server && fromPosition && first > 0 && isWord(&tokens[first], "SELECT");
                if (server && insertInto && p >= 0) {
                    // The rows of a multi-row VALUES list: each one after a comma.
                    const Level& outer = levels[levels.size() - 2];
                    if (p == insertTableEnd)
                        levels.back().items = Level::Items::Columns;
                    else if (isWord(&tokens[p], "VALUES") || (outer.valuesRows && isPunct(&tokens[p], ",")))
                        levels.back().items = Level::Items::Values;
                    if (isWord(&tokens[p], "VALUES"))
                        levels[levels.size() - 2].valuesRows = true;
                }
                out += t.text;
                break;
            }
            if (t.text == QLatin1String(")")) {
                // A parenthesis closed without one opened hides what came before.
                const bool derived = levels.size() > 1 && levels.back().derivedTable;
                if (levels.size() > 1)
                    levels.removeLast();
                else
                    levels.back() = Level();
                out += t.text;
                // The server wants a name for a SELECT in FROM; SQLite does not.
                if (derived) {
                    const int after = nextSignificant(i);
                    const bool named = after > 0
                        && ((tokens[after].kind == SqlToken::Word && !isKeyword(tokens[after])) || isWord(&tokens[after], "AS")
                            || tokens[after].kind == SqlToken::Quoted);
                    if (!named)
                        out += QStringLiteral(" AS \"sq#%1\"").arg(++derivedTables);
                }
                break;
            }
            if (t.text == QLatin1String(",") && level.items != Level::Items::None)
                ++level.item;
            // An empty text is a blank field, and a blank field is stored empty
            // (NULL): "X = ''" asks whether X is blank. Assignments stay.
            const int next = nextSignificant(i);
            const bool equals = t.text == QLatin1String("=") || t.text == QLatin1String("==");
            const bool differs = t.text == QLatin1String("<>") || t.text == QLatin1String("!=");
            auto isEmptyText = [](const SqlToken& e) {
                return (e.kind == SqlToken::String && e.text == QLatin1String("''"))
                    || (e.kind == SqlToken::Quoted && e.text.isEmpty());
            };
            if ((equals || differs) && next > 0 && isEmptyText(tokens[next]) && !level.afterSet) {
                if (!out.isEmpty() && !out.back().isSpace())
                    out += u' ';
                out += equals ? QStringLiteral("IS NULL") : QStringLiteral("IS NOT NULL");
                i = next;
                break;
            }
            out += t.text;
            break;
        }
        case SqlToken::Quoted: {
            const QString& name = t.text;
            const bool tableLike = name.startsWith(u':') || name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive)
                || name.contains(u'/') || name.contains(u'\\');
            const SqlToken* prev = prevSignificant(i);
            const bool afterComparison = prev
                && ((prev->kind == SqlToken::Punct
                     && (prev->text == QLatin1String("=") || prev->text == QLatin1String("<>")
                         || prev->text == QLatin1String("!=") || prev->text == QLatin1String("<")
                         || prev->text == QLatin1String(">") || prev->text == QLatin1String("<=")
                         || prev->text == QLatin1String(">=") || prev->text == QLatin1String("==")))
                    || isWord(prev, "LIKE"));
            if (tableLike && !afterComparison) {
                const TableRef ref = resolveTable(name);
                nameTable(ref, i, i);
                out += quotedTable(ref);
            } else if (afterComparison || ((isPunct(prev, "(") || isPunct(prev, ",")) && level.inList)) {
                out += constantText(name);
            } else if (server && !couldBeField(name)) {
                out += constantText(name); // SQLite reads such a name as a string itself
            } else {
                out += server ? quoteIdent(name.toLower()) : quoteIdent(name);
            }
            break;
        }
        case SqlToken::Word: {
            if (server) {
                // "X IS :v" / "X IS NOT :v" compare values with NULL equal to NULL.
                if (isWord(&t, "IS")) {
                    int n = nextSignificant(i);
                    const bool negated = n > 0 && isWord(&tokens[n], "NOT");
                    if (negated)
                        n = nextSignificant(n);
                    if (n > 0 && !isOneOf(tokens[n], {"NULL", "TRUE", "FALSE", "DISTINCT", "UNKNOWN", "NOT"})) {
                        out += negated ? QStringLiteral("IS DISTINCT FROM ") : QStringLiteral("IS NOT DISTINCT FROM ");
                        i = n - 1;
                        break;
                    }
                }
                // LIMIT -1: no limit.
                if (isWord(&t, "LIMIT")) {
                    const int minus = nextSignificant(i);
                    const int one = minus > 0 && isPunct(&tokens[minus], "-") ? nextSignificant(minus) : -1;
                    if (one > 0 && tokens[one].text == QLatin1String("1")) {
                        out += QStringLiteral("LIMIT ALL");
                        i = one;
                        break;
                    }
                }
                // The row number of the last row this connection inserted
                // (kept by the table's trigger).
                if (t.text.compare(QLatin1String("last_insert_rowid"), Qt::CaseInsensitive) == 0) {
                    const int open = nextSignificant(i);
                    const int close = open > 0 && isPunct(&tokens[open], "(") ? nextSignificant(open) : -1;
                    if (close > 0 && isPunct(&tokens[close], ")")) {
                        out += QStringLiteral("CAST(current_setting('mirafel.rowid', true) AS bigint)");
                        i = close;
                        break;
                    }
                }
            }
            if (isOneOf(t, {"SET", "WHERE", "ON", "WHEN", "HAVING", "SELECT"}))
                level.afterSet = isWord(&t, "SET");
            if (isOneOf(t, {"FROM", "SELECT", "WHERE", "GROUP", "ORDER", "HAVING", "SET", "VALUES"}))
                level.afterFrom = isWord(&t, "FROM");
            // EXTRACT(part FROM expr)
            if (isWord(&t, "EXTRACT")) {
                const int open = nextSignificant(i);
                const int partIx = open > 0 && isPunct(&tokens[open], "(") ? nextSignificant(open) : -1;
                const int fromIx = partIx > 0 ? nextSignificant(partIx) : -1;
                const int close = open > 0 ? all.closing[open] : -1;
                if (fromIx > 0 && isWord(&tokens[fromIx], "FROM") && close > fromIx && close < to) {
                    const QString part = tokens[partIx].text.toUpper();
                    const char* fmt = part == QLatin1String("YEAR") ? "%Y"
                        : part == QLatin1String("MONTH")            ? "%m"
                        : part == QLatin1String("DAY")              ? "%d"
                                                                    : nullptr;
                    if (fmt) {
                        if (nesting >= kMaxExtractNesting)
                            syntaxError(QStringLiteral("Expresii EXTRACT incluse una in alta pe mai mult de %1 niveluri")
                                            .arg(kMaxExtractNesting),
                                        all.sql);
                        const QString expr = translateTokens(all, fromIx + 1, close, nesting + 1).trimmed();
                        if (m_target == Target::Postgres)
                            out += QStringLiteral("CAST(EXTRACT(%1 FROM %2) AS INTEGER)").arg(part, expr);
                        else
                            out += QStringLiteral("CAST(strftime('%1', %2) AS INTEGER)").arg(QLatin1String(fmt), expr);
                        i = close; // the parentheses are balanced: the level stays as it was
                        break;
                    }
                }
            }
            // A catalog table named bare where a table stands: quoted on the
            // server, where some of their names (User) are reserved words.
            if (server) {
                const SqlToken* prev = prevSignificant(i);
                const int after = nextSignificant(i);
                const bool tablePosition = isWord(prev, "FROM") || isWord(prev, "JOIN") || isWord(prev, "INTO")
                    || isWord(prev, "UPDATE") || isWord(prev, "TABLE") || (isPunct(prev, ",") && level.afterFrom);
                const bool dotted = after == i + 1 && isPunct(&tokens[after], ".");
                if (tablePosition && !dotted && findTableDef(t.text)) {
                    const TableRef ref = resolveTable(t.text);
                    nameTable(ref, i, i);
                    out += quotedTable(ref);
                    break;
                }
            }
            // Name.DB written bare
            const int dot = nextSignificant(i);
            if (dot > 0 && dot == i + 1 && isPunct(&tokens[dot], ".") && dot + 1 < to
                && tokens[dot + 1].kind == SqlToken::Word
                && tokens[dot + 1].text.compare(QLatin1String("DB"), Qt::CaseInsensitive) == 0) {
                const TableRef ref = resolveTable(t.text);
                nameTable(ref, i, dot + 1);
                out += quotedTable(ref);
                i = dot + 1;
                break;
            }
            // The rounding of money: a function of each server connection.
            if (server && isWord(&t, "ROUND_MONEY")) {
                const int open = nextSignificant(i);
                if (open > 0 && isPunct(&tokens[open], "(")) {
                    out += QStringLiteral("pg_temp.round_money");
                    break;
                }
            }
            // LIKE ignores the letter case of ASCII letters on SQLite.
            if (server && isWord(&t, "LIKE")) {
                out += QStringLiteral("ILIKE");
                break;
            }
            out += t.text;
            break;
        }
        default:
            out += t.text;
            break;
        }
    }
    if (server)
        for (int l = int(levels.size()) - 1; l >= 0; --l) {
            endClause(levels[l], to);
            endSelect(levels[l]);
        }
    return out;
}

SqlDialect::Ddl SqlDialect::ddlKind(const QString& sql)
{
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(CREATE\s+TABLE|ALTER\s+TABLE|CREATE\s+(UNIQUE\s+)?((ASC|DESC|ASCENDING|DESCENDING)\s+)?INDEX|DROP\s+INDEX|DROP\s+TABLE)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(sql);
    if (!m.hasMatch())
        return Ddl::None;
    const QString head = m.captured(1).toUpper().simplified();
    if (head.startsWith(QLatin1String("CREATE TABLE")))
        return Ddl::CreateTable;
    if (head.startsWith(QLatin1String("ALTER")))
        return Ddl::AlterTable;
    if (head.startsWith(QLatin1String("CREATE")))
        return Ddl::CreateIndex;
    if (head.startsWith(QLatin1String("DROP INDEX")))
        return Ddl::DropIndex;
    return Ddl::DropTable;
}

SqlDialect::CreateTableStmt SqlDialect::parseCreateTable(const QString& sql) const
{
    TokenCursor c(tokenizeSql(sql), sql);
    c.expectWord("CREATE");
    c.expectWord("TABLE");
    CreateTableStmt st;
    const QString written = c.tableName();
    st.table = resolveTable(written);
    st.def.name = QFileInfo(forwardSlashes(written.mid(written.lastIndexOf(u':') + 1))).fileName();
    if (!st.def.name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        st.def.name += QStringLiteral(".DB");
    c.expectPunct("(");
    while (true) {
        if (c.acceptWord("PRIMARY")) {
            c.expectWord("KEY");
            c.expectPunct("(");
            QStringList keys;
            do {
                keys << c.name();
            } while (c.acceptPunct(","));
            c.expectPunct(")");
            st.def.indexes.prepend(primaryKey(keys.join(u';')));
        } else {
            const QString fname = c.name();
            std::optional<FieldDef> f = fieldOfStatement(fname, c.typeText(), sql);
            if (c.acceptWord("NOT")) {
                c.expectWord("NULL");
                f->required = true;
            }
            st.def.fields.append(*f);
        }
        if (c.acceptPunct(","))
            continue;
        c.expectPunct(")");
        break;
    }
    return st;
}

SqlDialect::AlterTableStmt SqlDialect::parseAlterTable(const QString& sql) const
{
    TokenCursor c(tokenizeSql(sql), sql);
    c.expectWord("ALTER");
    c.expectWord("TABLE");
    AlterTableStmt st;
    st.table = resolveTable(c.tableName());
    do {
        if (c.acceptWord("ADD")) {
            c.acceptWord("COLUMN");
            const QString fname = c.name();
            st.actions.append({true, *fieldOfStatement(fname, c.typeText(), sql)});
        } else if (c.acceptWord("DROP")) {
            c.acceptWord("COLUMN");
            FieldDef f;
            f.name = c.name();
            st.actions.append({false, f});
        } else {
            syntaxError(QStringLiteral("Expected ADD or DROP"), sql);
        }
    } while (c.acceptPunct(","));
    c.acceptPunct(";");
    if (!c.atEnd())
        syntaxError(QStringLiteral("Unexpected text after ALTER TABLE"), sql);
    return st;
}

SqlDialect::CreateIndexStmt SqlDialect::parseCreateIndex(const QString& sql) const
{
    TokenCursor c(tokenizeSql(sql), sql);
    c.expectWord("CREATE");
    CreateIndexStmt st;
    if (c.acceptWord("UNIQUE"))
        st.index.options |= IxUnique;
    if (c.acceptWord("DESC") || c.acceptWord("DESCENDING"))
        st.index.options |= IxDescending;
    else if (!c.acceptWord("ASC"))
        c.acceptWord("ASCENDING");
    c.expectWord("INDEX");
    st.index.name = c.name();
    c.expectWord("ON");
    st.table = resolveTable(c.tableName());
    c.expectPunct("(");
    QStringList fields;
    do {
        fields << c.name();
    } while (c.acceptPunct(","));
    c.expectPunct(")");
    st.index.fields = fields.join(u';');
    return st;
}

SqlDialect::DropIndexStmt SqlDialect::parseDropIndex(const QString& sql) const
{
    TokenCursor c(tokenizeSql(sql), sql);
    c.expectWord("DROP");
    c.expectWord("INDEX");
    DropIndexStmt st;
    const QString table = c.tableName();
    c.expectPunct(".");
    st.table = resolveTable(table);
    if (c.acceptWord("PRIMARY"))
        st.index.clear();
    else
        st.index = c.name();
    return st;
}

SqlDialect::DropTableStmt SqlDialect::parseDropTable(const QString& sql) const
{
    TokenCursor c(tokenizeSql(sql), sql);
    c.expectWord("DROP");
    c.expectWord("TABLE");
    return {resolveTable(c.tableName())};
}

QString declaredType(const FieldDef& f)
{
    switch (f.type) {
    case FieldType::Text: return QStringLiteral("CHAR(%1)").arg(f.size);
    case FieldType::Memo: return QStringLiteral("MEMOTEXT(%1)").arg(f.size);
    case FieldType::SmallInt: return QStringLiteral("SMALLINT");
    case FieldType::Integer: return QStringLiteral("INT");
    case FieldType::Boolean: return QStringLiteral("BOOLEAN");
    case FieldType::Float: return QStringLiteral("FLOAT");
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::AutoIncrement: return QStringLiteral("AUTOINC");
    }
    return QStringLiteral("FLOAT");
}

std::optional<FieldDef> fieldFromDeclaredType(const QString& name, const QString& declared)
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*([A-Za-z_ ]+?)\s*(?:\(\s*(\d+)\s*(?:,\s*(\d+)\s*)?\))?\s*$)"));
    const auto m = re.match(declared);
    if (!m.hasMatch())
        return std::nullopt;
    const QString base = m.captured(1).toUpper().simplified();
    const bool hasSize = !m.captured(2).isEmpty();
    const int size = m.captured(2).toInt();
    FieldDef f;
    f.name = name;
    if (base == QLatin1String("CHAR") || base == QLatin1String("VARCHAR") || base == QLatin1String("CHARACTER")
        || base == QLatin1String("ALPHA") || base == QLatin1String("TEXT")) {
        f.type = FieldType::Text;
        f.size = hasSize ? size : 255;
    } else if (base == QLatin1String("MEMOTEXT") || base == QLatin1String("MEMO")
               || (base == QLatin1String("BLOB") && m.captured(3) == QLatin1String("1"))) {
        f.type = FieldType::Memo;
        f.size = hasSize ? size : 1;
    } else if (base == QLatin1String("SMALLINT") || base == QLatin1String("SHORT")) {
        f.type = FieldType::SmallInt;
    } else if (base == QLatin1String("INT") || base == QLatin1String("INTEGER") || base == QLatin1String("LONG")) {
        f.type = FieldType::Integer;
    } else if (base == QLatin1String("BOOLEAN") || base == QLatin1String("BOOL") || base == QLatin1String("LOGICAL")) {
        f.type = FieldType::Boolean;
    } else if (base == QLatin1String("FLOAT") || base == QLatin1String("NUMERIC") || base == QLatin1String("DECIMAL")
               || base == QLatin1String("DOUBLE") || base == QLatin1String("DOUBLE PRECISION")
               || base == QLatin1String("REAL") || base == QLatin1String("MONEY") || base == QLatin1String("NUMBER")) {
        f.type = FieldType::Float;
    } else if (base == QLatin1String("DATE")) {
        f.type = FieldType::Date;
    } else if (base == QLatin1String("AUTOINC")) {
        f.type = FieldType::AutoIncrement;
    } else {
        return std::nullopt;
    }
    return f;
}

QString sqlIndexName(const QString& table, const QString& index)
{
    return table + u'.' + index;
}

} // namespace datastore
