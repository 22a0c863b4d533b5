#pragma once
// Layout files: INI files in millimetres that place the elements of the
// documents printed on pre-printed forms (`Factura.INI`, `Aviz.INI`).
//
// A print opens its layout file (OpenLayoutFile), builds its report from the
// layout elements below, prints, and closes the file (CloseLayoutFile). Before
// the report is laid out each layout element takes its place from the file;
// a key the file does not have yet is written from the design, so a new file
// fills itself on the first print and from then on the file decides.
//
//   prints::LayoutFile layout;
//   layout.OpenLayoutFile(programDir + "/Factura.INI");
//   Band& h = report.band(BandKind::Title, 95);
//   h.add<prints::TQRIniDBText>(layout, "Antet firma", "Firma", 20, 10, 80, "Denumire");
//   ...  ApplyPrintSettings(report, ...)
//   layout.CloseLayoutFile();

#include "printsettings.h"

#include "common/inifile.h"
#include "reportengine/reportengine.h"

#include <QString>
#include <memory>

namespace prints {

// The first line of a new layout file (an empty line follows it).
inline constexpr const char* kLayoutFileComment = ";pozitiile elementelor de pe raport sint specificate in milimetri";
// Section and keys of the page settings kept in layout files.
inline constexpr const char* kMarginsSection = "Margini";
inline constexpr const char* kMarginTopKey = "Sus";
inline constexpr const char* kMarginLeftKey = "Stinga";
inline constexpr const char* kMarginRightKey = "Dreapta";
inline constexpr const char* kMarginBottomKey = "Jos";
inline constexpr const char* kPageSection = "Pagina";
inline constexpr const char* kPaperKey = "Format";
inline constexpr const char* kHeaderSection = "Antet+cap tabel";
inline constexpr const char* kInvoiceFooterSection = "Baza Factura";
inline constexpr const char* kHeightKey = "Inaltime";
// Key suffixes after the element's name.
inline constexpr const char* kLeftSuffix = "_stinga";
inline constexpr const char* kRightSuffix = "_dreapta";
inline constexpr const char* kTopSuffix = "_sus";
inline constexpr const char* kWidthSuffix = "_ext";

// The page of a pre-printed form as its layout file keeps it, over
// `settings`: the margins of section Margini (Sus 10, Stinga 8, Dreapta 8,
// Jos 10), the paper of Pagina/Format (9, A4), in portrait. Nothing is written.
PrintSettings layoutPageSettings(const common::IniFile& layout, const PrintSettings& settings);
// After a print: the margins and the paper the report was printed with, the
// height of its page header (Antet+cap tabel/Inaltime) and, when
// `footerSection` is given, the height of its page footer under that
// section. False when the file cannot be written.
bool writeLayoutPage(common::IniFile& layout, const reportengine::Report& report, const QString& footerSection = {});

// The layout file a print works with; one at a time.
class LayoutFile {
public:
    LayoutFile() = default;
    ~LayoutFile();
    LayoutFile(const LayoutFile&) = delete;
    LayoutFile& operator=(const LayoutFile&) = delete;

    // Makes the file the current layout file (closing the one open before).
    // A file that does not exist is created with its comment line; false
    // when it cannot be created (nothing is open then).
    bool OpenLayoutFile(const QString& fileName);
    void CloseLayoutFile();

    bool isOpen() const { return m_ini != nullptr; }
    const QString& fileName() const { return m_fileName; }
    common::IniFile* ini() const { return m_ini.get(); } // null when none is open

private:
    std::unique_ptr<common::IniFile> m_ini;
    QString m_fileName;
};

// Where an element's position lives in a layout file: the section and the
// three key names, as set on the element (empty, or only the suffix, means
// the element's name followed by the suffix).
class LayoutKeys {
public:
    QString IniSection;
    QString IniLeftTopic;
    QString IniTopTopic;
    QString IniWidthTopic;

    // The key names in use for an element of that name and alignment.
    QString leftKey(const reportengine::Element& element) const;
    QString topKey(const reportengine::Element& element) const;
    QString widthKey(const reportengine::Element& element) const;
};

// The vertical origin of a band in layout-file millimetres: a page footer's
// top measured from the paper's top (paper height − band height − bottom
// margin), otherwise the sum of the heights of the bands above it in the
// design; 0 for no band.
double bandOrigin(const reportengine::Report& report, const reportengine::Band* band);

// Places an element from the layout file, writing the keys it lacks:
//  1. a page-footer band first takes its height from `Inaltime` of the section;
//  2. left: from its key (right-aligned elements: the key is their right
//     edge, the left is the value minus the width read from the file), or
//     written;
//  3. top within the band: the key's value minus the band's origin, at least
//     0, or written as the origin plus the top;
//  4. width (elements that do not size themselves): from its key, or written.
// Values are whole millimetres; a key whose value is not a whole number is
// kept and leaves the element where it is. Does nothing without a file.
void placeElement(reportengine::Element& element, const LayoutKeys& keys, common::IniFile* file,
                  const reportengine::Report& report);

// The four layout elements: the engine's label, data field, calculated field
// and expression, placed from the current layout file before each layout.
// Each placement starts from the element's design position (remembered on
// the first), so a key deleted from the file gets the design value back.
class LayoutElement : public LayoutKeys {
public:
    explicit LayoutElement(LayoutFile& file) : m_file(&file) {}
    virtual ~LayoutElement() = default;
    LayoutFile& layoutFile() const { return *m_file; }
    virtual reportengine::Element& element() = 0;
    void place(const reportengine::Report& report);

private:
    LayoutFile* m_file;
    bool m_designKnown = false;
    double m_designX = 0;
    double m_designY = 0;
    double m_designWidth = 0;
};

class TQRIniLabel : public reportengine::Label, public LayoutElement {
public:
    TQRIniLabel(LayoutFile& file, const QString& section, const QString& name, double x, double y, double width,
                const QString& caption);
    reportengine::Element& element() override { return *this; }
    void prepare(reportengine::Report& report) override { place(report); }
};

class TQRIniDBText : public reportengine::DataField, public LayoutElement {
public:
    TQRIniDBText(LayoutFile& file, const QString& section, const QString& name, double x, double y, double width,
                 const QString& field, const QString& mask = {});
    reportengine::Element& element() override { return *this; }
    void prepare(reportengine::Report& report) override { place(report); }
};

class TQRIniDBCalc : public reportengine::CalcField, public LayoutElement {
public:
    TQRIniDBCalc(LayoutFile& file, const QString& section, const QString& name, double x, double y, double width,
                 reportengine::CalcFn calc, const QString& mask = {});
    reportengine::Element& element() override { return *this; }
    void prepare(reportengine::Report& report) override { place(report); }
};

class TQRIniExpr : public reportengine::ExprField, public LayoutElement {
public:
    TQRIniExpr(LayoutFile& file, const QString& section, const QString& name, double x, double y, double width,
               reportengine::Aggregate aggregate, const QString& field, const QString& mask = {});
    reportengine::Element& element() override { return *this; }
    void prepare(reportengine::Report& report) override { place(report); }
};

} // namespace prints
