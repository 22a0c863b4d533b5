#include "inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace common {

namespace {

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}


bool isBlank(const QString& line)
{
    return line.trimmed().isEmpty();
}


} // namespace

QString decodeTextLine(QByteArrayView bytes)
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

QString unreadableFileReason(const QString& path, qint64 maxSize)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        if (info.isSymLink())
            return QStringLiteral("este o legatura catre un fisier care nu exista");
        return {};
    }
    if (!info.isFile())
        return info.isDir() ? QStringLiteral("este un director") : QStringLiteral("nu este un fisier obisnuit");
    if (info.size() > maxSize)
        return QStringLiteral("are %1 octeti, peste limita de %2").arg(info.size()).arg(maxSize);
    return {};
}

IniFile::IniFile(QString path) : m_path(std::move(path))
{
    reload();
}

void IniFile::reload()
{
    m_sections.clear();
    m_leading.clear();
    m_eol = "\r\n";
    m_readError = unreadableFileReason(m_path, kMaxIniFileSize);
    if (!m_readError.isEmpty())
        return;
    QFile file(m_path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        m_readError = QStringLiteral("nu poate fi deschis <%1>").arg(file.errorString());
        return;
    }
    // The type was checked by name; what was opened may still be something
    // else by now, so never read more than the limit.
    QByteArray bytes = file.read(kMaxIniFileSize + 1);
    if (bytes.size() > kMaxIniFileSize || file.isSequential()) {
        m_readError = QStringLiteral("nu este un fisier obisnuit de cel mult %1 octeti").arg(kMaxIniFileSize);
        return;
    }
    if (file.error() != QFileDevice::NoError) {
        m_readError = QStringLiteral("nu poate fi citit <%1>").arg(file.errorString());
        return;
    }
    parse(std::move(bytes));
}

void IniFile::parse(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3); // the byte-order mark belongs to no line

    bool eolSeen = false;
    Section* current = nullptr;
    qsizetype at = 0;
    while (at < bytes.size()) {
        // One line and its line end (CR LF, LF or CR; none at the end of the file).
        qsizetype end = at;
        while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        qsizetype next = end;
        if (next < bytes.size()) {
            next += (bytes.at(next) == '\r' && next + 1 < bytes.size() && bytes.at(next + 1) == '\n') ? 2 : 1;
            if (!eolSeen) {
                m_eol = bytes.mid(end, next - end);
                eolSeen = true;
            }
        }
        const QByteArray raw = bytes.mid(at, next - at);
        const QString line = decodeTextLine(QByteArrayView(bytes).sliced(at, end - at));
        at = next;

        const QString t = line.trimmed();
        if (t.startsWith(u'[') && t.endsWith(u']')) {
            m_sections.append(Section{t.mid(1, t.size() - 2).trimmed(), {}, raw});
            current = &m_sections.last();
            continue;
        }
        const qsizetype eq = t.indexOf(u'=');
        const bool isKey = current && !t.startsWith(u';') && eq > 0;
        if (!current) {
            m_leading.append(Entry{line, {}, true, raw});
        } else if (isKey) {
            current->entries.append(Entry{t.left(eq).trimmed(), t.mid(eq + 1).trimmed(), false, raw});
        } else {
            current->entries.append(Entry{line, {}, true, raw});
        }
    }
}

bool IniFile::save() const
{
    if (!isReadable())
        return false; // never over a file that could not be read
    QByteArray out;
    const auto put = [&](const QByteArray& raw, const QString& text) {
        // A line that had no line end (the last one of the file) gets one
        // when something follows it.
        if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
            out += m_eol;
        out += raw.isEmpty() ? text.toUtf8() + m_eol : raw;
    };
    for (const Entry& e : m_leading)
        put(e.raw, e.key);
    for (const Section& s : m_sections) {
        put(s.raw, u'[' + s.name + u']');
        for (const Entry& e : s.entries)
            put(e.raw, e.verbatim ? e.key : e.key + u'=' + e.value);
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(out);
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
        m_sections.append(Section{section, {}, {}});
        s = &m_sections.last();
    }
    bool found = false;
    for (Entry& e : s->entries) {
        if (!e.verbatim && sameName(e.key, key)) {
            if (e.value != value) {
                e.value = value;
                e.raw.clear(); // written anew; the same value leaves the line as it is
            }
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
        s->entries.insert(at, Entry{key, value, false, {}});
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
