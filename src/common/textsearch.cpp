#include "textsearch.h"

namespace common {

QString foldForSearch(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        folded.append(c);
    }
    return folded.toCaseFolded();
}

QString foldForSearchSql(const QString& expression)
{
    // Capital and small, comma and cedilla: each letter and the plain one it stands for.
    static const struct {
        const char16_t* letter;
        char plain;
    } kLetters[] = {
        {u"Ă", 'a'}, {u"ă", 'a'}, {u"Â", 'a'}, {u"â", 'a'}, {u"Î", 'i'}, {u"î", 'i'}, {u"Ș", 's'},
        {u"ș", 's'}, {u"Ş", 's'}, {u"ş", 's'}, {u"Ț", 't'}, {u"ț", 't'}, {u"Ţ", 't'}, {u"ţ", 't'},
    };
    QString sql = expression;
    for (const auto& l : kLetters)
        sql = QStringLiteral("REPLACE(%1, '%2', '%3')").arg(sql, QString::fromUtf16(l.letter), QChar::fromLatin1(l.plain));
    return QStringLiteral("LOWER(%1)").arg(sql);
}

} // namespace common
