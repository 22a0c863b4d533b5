#include "inifile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace common {

namespace {

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark is
// dropped), otherwise the Central European code page of older files.
QString decode(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1250("windows-1250");
    if (cp1250.isValid())
        return cp1250(bytes);
    return QString::fromLatin1(bytes);
}

bool isBlank(const QString& line)
{
    return line.trimmed().isEmpty();
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path))
{
    reload();
}

void IniFile::reload()
{
    m_sections.clear();
    m_leading.clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    parse(decode(file.readAll()));
}

void IniFile::parse(const QString& text)
{
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(u'\r', u'\n');
    QStringList lines = normal.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the final line break ends the last line

    Section* current = nullptr;
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (t.startsWith(u'[') && t.endsWith(u']')) {
            m_sections.append(Section{t.mid(1, t.size() - 2).trimmed(), {}});
            current = &m_sections.last();
            continue;
        }
        const qsizetype eq = t.indexOf(u'=');
        const bool isKey = current && !t.startsWith(u';') && eq > 0;
        if (!current) {
            m_leading.append(line);
        } else if (isKey) {
            current->entries.append(Entry{t.left(eq).trimmed(), t.mid(eq + 1).trimmed(), false});
        } else {
            current->entries.append(Entry{line, {}, true});
        }
    }
}

bool IniFile::save() const
{
    QString text;
    const QString eol = QStringLiteral("\r\n");
    for (const QString& line : m_leading)
        text += line + eol;
    for (const Section& s : m_sections) {
        text += u'[' + s.name + u']' + eol;
        for (const Entry& e : s.entries)
            text += (e.verbatim ? e.key : e.key + u'=' + e.value) + eol;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

const IniFile::Section* IniFile::findSection(const QString& name) const
{
    for (const Section& s : m_sections)
        if (sameName(s.name, name))
            return &s;
    return nullptr;
}

IniFile::Section* IniFile::findSection(const QString& name)
{
    for (Section& s : m_sections)
        if (sameName(s.name, name))
            return &s;
    return nullptr;
}

const IniFile::Entry* IniFile::findEntry(const Section& section, const QString& key)
{
    for (const Entry& e : section.entries)
        if (!e.verbatim && sameName(e.key, key))
            return &e;
    return nullptr;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    const Section* s = findSection(section);
    const Entry* e = s ? findEntry(*s, key) : nullptr;
    return e ? e->value : def;
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const
{
    bool ok = false;
    const int value = readString(section, key).trimmed().toInt(&ok);
    return ok ? value : def;
}

double IniFile::readFloat(const QString& section, const QString& key, double def) const
{
    QString text = readString(section, key).trimmed();
    text.replace(u',', u'.');
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : def;
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    Section* s = findSection(section);
    if (!s) {
        m_sections.append(Section{section, {}});
        s = &m_sections.last();
    }
    bool found = false;
    for (Entry& e : s->entries) {
        if (!e.verbatim && sameName(e.key, key)) {
            e.value = value;
            found = true;
            break;
        }
    }
    if (!found) {
        // After the last line that is not blank, so the blank lines that
        // separate this section from the next stay where they are.
        qsizetype at = s->entries.size();
        while (at > 0 && s->entries.at(at - 1).verbatim && isBlank(s->entries.at(at - 1).key))
            --at;
        s->entries.insert(at, Entry{key, value, false});
    }
    return save();
}

bool IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeFloat(const QString& section, const QString& key, double value)
{
    return writeString(section, key, QString::number(value, 'g', 15));
}

bool IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::sectionExists(const QString& section) const
{
    return findSection(section) != nullptr;
}

bool IniFile::valueExists(const QString& section, const QString& key) const
{
    const Section* s = findSection(section);
    return s && findEntry(*s, key);
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const Section& s : m_sections)
        out << s.name;
    return out;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList out;
    if (const Section* s = findSection(section))
        for (const Entry& e : s->entries)
            if (!e.verbatim)
                out << e.key;
    return out;
}

bool IniFile::eraseSection(const QString& section)
{
    bool removed = false;
    for (qsizetype i = m_sections.size() - 1; i >= 0; --i) {
        if (sameName(m_sections.at(i).name, section)) {
            m_sections.removeAt(i);
            removed = true;
        }
    }
    return removed ? save() : true;
}

bool IniFile::deleteKey(const QString& section, const QString& key)
{
    Section* s = findSection(section);
    if (!s)
        return true;
    for (qsizetype i = 0; i < s->entries.size(); ++i) {
        const Entry& e = s->entries.at(i);
        if (!e.verbatim && sameName(e.key, key)) {
            s->entries.removeAt(i);
            return save();
        }
    }
    return true;
}

} // namespace common
