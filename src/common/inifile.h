#pragma once
// Windows-style INI file: [Section] headers and Key=Value lines.
// Sections and keys are compared ignoring case; keys may contain blanks
// ("Decimal separator"); the order of sections and keys is kept; booleans are
// written "1"/"0". Every write is saved to disk at once, like the platform's
// profile functions, so a crash never loses a value that was already written.

#include <QString>
#include <QStringList>
#include <QList>

namespace common {

class IniFile {
public:
    explicit IniFile(QString path); // reads the file when it exists; a missing file is empty
    const QString& path() const { return m_path; }

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
    bool save() const; // writes the whole file (creating its directory is not attempted)

private:
    // A key line, or (verbatim) a comment, blank or unreadable line kept as it
    // stands, its text in `key`.
    struct Entry { QString key; QString value; bool verbatim = false; };
    struct Section { QString name; QList<Entry> entries; };
    const Section* findSection(const QString& name) const;
    Section* findSection(const QString& name);
    static const Entry* findEntry(const Section& section, const QString& key);
    void parse(const QString& text);

    QString m_path;
    QList<Section> m_sections;
    QStringList m_leading; // comment lines before the first section, kept as they are
};

} // namespace common
