#pragma once
// Windows-style INI file: [Section] headers and Key=Value lines.
// Sections and keys are compared ignoring case; keys may contain blanks
// ("Decimal separator"); the order of sections and keys is kept; booleans are
// written "1"/"0". Every write is saved to disk at once, like the platform's
// profile functions, so a crash never loses a value that was already written.
//
// Files written by older programs are in the Central European code page
// (windows-1250), newer ones in UTF-8, and an edited file may mix both. Each
// line is decoded on its own: UTF-8 when its bytes are valid UTF-8, the code
// page otherwise; a byte-order mark at the start is dropped. Saving writes
// every line that was not changed back byte for byte (its encoding and line
// end included); new and changed lines are UTF-8.
//
// Only a regular file of at most kMaxIniFileSize bytes is read. Anything else
// that stands at the path (a directory, a pipe, a device, a link to one, a
// file that cannot be opened, a huge file) leaves the object empty with
// readError() saying why, and every write is then refused, so a file that
// could not be read is never saved over.

#include <QString>
#include <QByteArrayView>
#include <QStringList>
#include <QList>

namespace common {

inline constexpr qint64 kMaxIniFileSize = 1024 * 1024;

// One line of a text file: UTF-8 when its bytes are valid UTF-8, otherwise
// the Central European code page of older files.
QString decodeTextLine(QByteArrayView bytes);
// Why the file at `path` cannot be read, or nothing when it is a regular file
// of at most `maxSize` bytes (or is not there at all). Nothing is opened
// before the type is known: opening a pipe would wait for a writer.
QString unreadableFileReason(const QString& path, qint64 maxSize);

class IniFile {
public:
    explicit IniFile(QString path); // reads the file when it exists; a missing file is empty
    const QString& path() const { return m_path; }

    // Why the file at the path could not be read, in Romanian ("nu este un
    // fisier obisnuit"); empty when it was read or does not exist.
    const QString& readError() const { return m_readError; }
    bool isReadable() const { return m_readError.isEmpty(); }

    QString readString(const QString& section, const QString& key, const QString& def = {}) const;
    int readInteger(const QString& section, const QString& key, int def) const;   // non-numeric -> def
    double readFloat(const QString& section, const QString& key, double def) const; // '.' or ',' accepted
    bool readBool(const QString& section, const QString& key, bool def) const;    // "0" false, other numbers true

    // Each write stores the value and saves the file at once; false when the file cannot be written.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInteger(const QString& section, const QString& key, int value);
    bool writeFloat(const QString& section, const QString& key, double value);
    bool writeBool(const QString& section, const QString& key, bool value); // "1" / "0"

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    QStringList sections() const;
    QStringList keys(const QString& section) const;
    bool eraseSection(const QString& section);
    bool deleteKey(const QString& section, const QString& key);

    void reload();     // re-reads the file from disk
    bool save() const; // writes the whole file (creating its directory is not attempted); false when unreadable

private:
    // A key line, or (verbatim) a comment, blank or unreadable line kept as it
    // stands, its text in `key`. `raw` holds the line's bytes as read, line
    // end included, until the line is changed; a new line has none.
    struct Entry {
        QString key;
        QString value;
        bool verbatim = false;
        QByteArray raw;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
        QByteArray raw;
    };
    const Section* findSection(const QString& name) const;
    Section* findSection(const QString& name);
    static const Entry* findEntry(const Section& section, const QString& key);
    void parse(QByteArray bytes);

    QString m_path;
    QString m_readError;
    QList<Section> m_sections;
    QList<Entry> m_leading; // lines before the first section, kept as they are
    QByteArray m_eol = "\r\n"; // the line end of new and changed lines: the file's first one
};

} // namespace common
