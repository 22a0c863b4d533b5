#include "printstore.h"

#include <limits>

namespace prints {

PageDesign documentPage(PageOrientation orientation)
{
    PageDesign design;
    design.orientation = orientation;
    return design;
}

PageDesign reportPage(PageOrientation orientation)
{
    PageDesign design;
    design.orientation = orientation;
    design.topMargin = design.leftMargin = design.bottomMargin = design.rightMargin = 5;
    return design;
}

PageDesign layoutFilePage()
{
    PageDesign design;
    design.pageFromLayoutFile = true;
    return design;
}

PrintSettings designedSettings(const PageDesign& design)
{
    PrintSettings s;
    s.fontName = design.fontName;
    s.fontSize = design.fontSize;
    s.fontPitch = FontPitch::Default;
    s.orientation = design.orientation;
    s.paperSize = design.paperSize;
    s.topMargin = design.topMargin;
    s.leftMargin = design.leftMargin;
    s.bottomMargin = design.bottomMargin;
    s.rightMargin = design.rightMargin;
    return s;
}

QString printSection(const QString& printName)
{
    return QStringLiteral("Print ") + printName;
}

QString reportSection(const QString& reportName)
{
    return QStringLiteral("Report ") + reportName;
}

// ---------------------------------------------------------------------------
// One print's section

namespace {

// An integer key: absent, not a number or outside [low, high] gives `def`.
int readBounded(const common::IniFile& ini, const QString& section, const char* key, int low, int high, int def)
{
    const int value = ini.readInteger(section, QString::fromLatin1(key), def);
    return value < low || value > high ? def : value;
}

// The keys of the single set of parameters that earlier versions kept for
// every print, beside the printer.
constexpr const char* kFormerKeys[] = {"FontName",  "FontSize",   "FontPitch",    "PageOrientation", "PaperSize",
                                       "TopMargin", "LeftMargin", "BottomMargin", "RightMargin"};

} // namespace

PrintSettings readPrintSettings(const common::IniFile& ini, const QString& section, const PrintSettings& current,
                                bool page)
{
    constexpr int kAny = std::numeric_limits<int>::max();
    PrintSettings s = current;
    const QString font = ini.readString(section, QStringLiteral("FontName")).left(kMaxFontNameLength);
    if (!font.trimmed().isEmpty())
        s.fontName = font;
    s.fontSize = readBounded(ini, section, "FontSize", 1, kAny, current.fontSize);
    s.fontPitch = static_cast<FontPitch>(readBounded(ini, section, "FontPitch", 0, 2, int(current.fontPitch)));
    if (!page)
        return s;
    s.orientation =
        static_cast<PageOrientation>(readBounded(ini, section, "PageOrientation", 0, 1, int(current.orientation)));
    s.paperSize = readBounded(ini, section, "PaperSize", 0, kAny, current.paperSize);
    s.topMargin = readBounded(ini, section, "TopMargin", 0, kAny, current.topMargin);
    s.leftMargin = readBounded(ini, section, "LeftMargin", 0, kAny, current.leftMargin);
    s.bottomMargin = readBounded(ini, section, "BottomMargin", 0, kAny, current.bottomMargin);
    s.rightMargin = readBounded(ini, section, "RightMargin", 0, kAny, current.rightMargin);
    return s;
}

bool writePrintSettings(common::IniFile& ini, const QString& section, const PrintSettings& s, bool page)
{
    bool ok = ini.writeString(section, QStringLiteral("FontName"), s.fontName);
    ok = ini.writeInteger(section, QStringLiteral("FontSize"), s.fontSize) && ok;
    ok = ini.writeInteger(section, QStringLiteral("FontPitch"), static_cast<int>(s.fontPitch)) && ok;
    if (!page)
        return ok;
    ok = ini.writeInteger(section, QStringLiteral("PageOrientation"), static_cast<int>(s.orientation)) && ok;
    ok = ini.writeInteger(section, QStringLiteral("PaperSize"), s.paperSize) && ok;
    ok = ini.writeInteger(section, QStringLiteral("TopMargin"), s.topMargin) && ok;
    ok = ini.writeInteger(section, QStringLiteral("LeftMargin"), s.leftMargin) && ok;
    ok = ini.writeInteger(section, QStringLiteral("BottomMargin"), s.bottomMargin) && ok;
    ok = ini.writeInteger(section, QStringLiteral("RightMargin"), s.rightMargin) && ok;
    return ok;
}

// ---------------------------------------------------------------------------
// The store

PrintSettingsStore::PrintSettingsStore() = default;

PrintSettingsStore::PrintSettingsStore(common::IniFile& ini) : m_ini(&ini)
{
    read();
}

PrintSettingsStore::~PrintSettingsStore() = default;

void PrintSettingsStore::read()
{
    if (!m_ini)
        return;
    m_printer = m_ini->readString(QString::fromLatin1(kPrinterSettingsSection), QStringLiteral("Printer"));
    for (auto& [section, entry] : m_entries)
        entry->settings.printer = m_printer;
}

// The print setup changes the printer of the print it was shown for: that
// printer becomes every print's.
void PrintSettingsStore::sharePrinter()
{
    for (auto& [section, entry] : m_entries)
        if (entry->settings.printer != m_printer) {
            m_printer = entry->settings.printer;
            break;
        }
    for (auto& [section, entry] : m_entries)
        entry->settings.printer = m_printer;
}

PrintSettings& PrintSettingsStore::settings(const QString& section, const PageDesign& design)
{
    sharePrinter();
    std::unique_ptr<Entry>& entry = m_entries[section.toLower()];
    if (!entry) {
        entry = std::make_unique<Entry>();
        entry->section = section;
        entry->pageFromLayoutFile = design.pageFromLayoutFile;
        PrintSettings& s = entry->settings;
        s = designedSettings(design);
        if (m_ini && m_ini->sectionExists(section)) {
            s = readPrintSettings(*m_ini, section, s, !design.pageFromLayoutFile);
            s.userChoice = true;
        }
        s.printer = m_printer;
    }
    return entry->settings;
}

QString PrintSettingsStore::printer()
{
    sharePrinter();
    return m_printer;
}

bool PrintSettingsStore::write()
{
    sharePrinter();
    if (!m_ini)
        return true;
    const QString shared = QString::fromLatin1(kPrinterSettingsSection);
    bool ok = m_ini->writeString(shared, QStringLiteral("Printer"), m_printer);
    for (const char* key : kFormerKeys)
        if (m_ini->valueExists(shared, QString::fromLatin1(key)))
            ok = m_ini->deleteKey(shared, QString::fromLatin1(key)) && ok;
    for (const auto& [key, entry] : m_entries)
        if (entry->settings.userChoice)
            ok = writePrintSettings(*m_ini, entry->section, entry->settings, !entry->pageFromLayoutFile) && ok;
    return ok;
}

} // namespace prints
