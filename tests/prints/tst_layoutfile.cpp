// Layout files: the placement of layout elements from the file (and the keys
// written back from the design), and the layout editor.

#include <gtest/gtest.h>

#include "testsupport.h"

#include "common/inifile.h"
#include "common/scripteddialogs.h"
#include "prints/layoutfile.h"
#include "prints/tqrinieditform.h"
#include "reportengine/canvas.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QSpinBox>
#include <QTableView>
#include <functional>
#include <map>

using namespace prints;
using namespace reportengine;

namespace {

// A4 with a bottom margin of 10 and, in design order, a page header of 20, a
// title of 30, a detail of 10 and a page footer of 15: the detail's origin
// is 50, the title's 20, the page footer's 297 - 15 - 10 = 272.
struct LayoutReport {
    Report r;
    Band* header;
    Band* title;
    Band* detail;
    Band* footer;
    LayoutReport()
    {
        r.page(kPaperA4).margins(8, 10, 8, 10);
        header = &r.band(BandKind::PageHeader, 20);
        title = &r.band(BandKind::Title, 30);
        detail = &r.band(BandKind::Detail, 10);
        footer = &r.band(BandKind::PageFooter, 15);
    }
};

// The fields the elements below print, without rows.
ListSource noRows()
{
    return ListSource({"Cantitate", "Pret_vinzare", "Den"});
}

using Keys = std::map<QString, int>; // key -> value in section "Pozitie"
using Written = std::map<QString, QVariant>; // key -> text written by hand before the print

QString readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(LayoutFile, PlacementRules)
{
    struct Case {
        const char* name;
        BandKind band;
        std::function<Element&(LayoutFile&, Band&)> make; // an element named "Cant" in section "Pozitie"
        Written before;
        double x, y, width;   // placed
        Keys after;           // the file's keys afterwards
        double bandHeight = 0; // the band's height afterwards, when it matters
    };
    auto text = [](double x, double y, double w, bool right = false) {
        return [=](LayoutFile& f, Band& b) -> Element& {
            Element& e = b.add<TQRIniDBText>(f, "Pozitie", "Cant", x, y, w, "Cantitate");
            if (right)
                e.right();
            return e;
        };
    };
    const QList<Case> cases{
        {"new keys are written from the design", BandKind::Detail, text(30, 2, 40), {},
         30, 2, 40, {{"Cant_stinga", 30}, {"Cant_sus", 52}, {"Cant_ext", 40}}},
        {"right-aligned: the right edge under _dreapta", BandKind::Detail, text(30, 2, 40, true), {},
         30, 2, 40, {{"Cant_dreapta", 70}, {"Cant_sus", 52}, {"Cant_ext", 40}}},
        {"keys present decide", BandKind::Detail, text(30, 2, 40), {{"Cant_stinga", 12}, {"Cant_sus", 55}, {"Cant_ext", 25}},
         12, 5, 25, {{"Cant_stinga", 12}, {"Cant_sus", 55}, {"Cant_ext", 25}}},
        {"right-aligned keeps its right edge with a new width", BandKind::Detail, text(30, 2, 40, true),
         {{"Cant_dreapta", 100}, {"Cant_sus", 50}, {"Cant_ext", 25}},
         75, 0, 25, {{"Cant_dreapta", 100}, {"Cant_sus", 50}, {"Cant_ext", 25}}},
        {"a top above the band's origin is the band's top", BandKind::Detail, text(30, 2, 40),
         {{"Cant_stinga", 30}, {"Cant_sus", 40}, {"Cant_ext", 40}},
         30, 0, 40, {{"Cant_stinga", 30}, {"Cant_sus", 40}, {"Cant_ext", 40}}},
        {"values that are not whole numbers leave the element where it is", BandKind::Detail, text(30, 2, 40, true),
         {{"Cant_dreapta", "7O"}, {"Cant_sus", "5,5"}, {"Cant_ext", "lat"}},
         30, 2, 40, {{"Cant_dreapta", -1}, {"Cant_sus", -1}, {"Cant_ext", -1}}},
        {"origin of the title is the page header's height", BandKind::Title, text(5, 3, 10), {},
         5, 3, 10, {{"Cant_stinga", 5}, {"Cant_sus", 23}, {"Cant_ext", 10}}},
        {"positions are written in whole millimetres", BandKind::Detail, text(30.6, 2.4, 39.5), {},
         30.6, 2.4, 39.5, {{"Cant_stinga", 31}, {"Cant_sus", 52}, {"Cant_ext", 40}}},
        {"a label sizing itself has no width key", BandKind::Detail,
         [](LayoutFile& f, Band& b) -> Element& { return b.add<TQRIniLabel>(f, "Pozitie", "Cant", 30, 2, 0, "Total"); },
         {}, 30, 2, 0, {{"Cant_stinga", 30}, {"Cant_sus", 52}}},
        {"page footer: origin from the paper's bottom", BandKind::PageFooter, text(30, 2, 40), {},
         30, 2, 40, {{"Cant_stinga", 30}, {"Cant_sus", 274}, {"Cant_ext", 40}}, 15},
        {"page footer: height from Inaltime of the section", BandKind::PageFooter, text(30, 2, 40),
         {{"Inaltime", 25}, {"Cant_stinga", 30}, {"Cant_sus", 270}, {"Cant_ext", 40}},
         30, 8, 40, {{"Inaltime", 25}, {"Cant_stinga", 30}, {"Cant_sus", 270}, {"Cant_ext", 40}}, 25},
        {"key names set on the element", BandKind::Detail,
         [](LayoutFile& f, Band& b) -> Element& {
             auto& e = b.add<TQRIniDBText>(f, "Pozitie", "Pret", 30, 2, 40, "Pret_vinzare");
             e.IniLeftTopic = "Pret_stings";
             e.IniWidthTopic = "Pret_latime";
             e.IniTopTopic = "_sus"; // only the suffix: the name goes before it
             return e;
         },
         {{"Pret_stings", 44}}, 44, 2, 40, {{"Pret_stings", 44}, {"Pret_sus", 52}, {"Pret_latime", 40}}},
        {"an expression is placed like the others", BandKind::Detail,
         [](LayoutFile& f, Band& b) -> Element& {
             return b.add<TQRIniExpr>(f, "Pozitie", "Cant", 30, 2, 40, Aggregate::Sum, "Cantitate");
         },
         {{"Cant_stinga", 60}}, 60, 2, 40, {{"Cant_stinga", 60}, {"Cant_sus", 52}, {"Cant_ext", 40}}},
    };
    for (const Case& c : cases) {
        testsupport::TempDir dir;
        const QString path = dir.file("Factura.INI");
        {
            common::IniFile ini(path);
            for (const auto& [key, value] : c.before)
                ini.writeString("Pozitie", key, value.toString());
        }
        LayoutFile file;
        ASSERT_TRUE(file.OpenLayoutFile(path));
        LayoutReport lr;
        Band& band = *lr.r.findBand(c.band);
        Element& e = c.make(file, band);
        ListSource rows = noRows();
        lr.r.layout(rows); // the engine's prepare step places the element

        EXPECT_DOUBLE_EQ(e.x(), c.x) << c.name;
        EXPECT_DOUBLE_EQ(e.y(), c.y) << c.name;
        EXPECT_DOUBLE_EQ(e.width(), c.width) << c.name;
        if (c.bandHeight > 0) {
            EXPECT_DOUBLE_EQ(band.height(), c.bandHeight) << c.name;
        }
        const common::IniFile saved(path);
        Keys after;
        for (const QString& key : saved.keys("Pozitie"))
            after[key] = saved.readInteger("Pozitie", key, -1);
        EXPECT_EQ(after, c.after) << c.name;
    }
}

TEST(LayoutFile, NewFileStartsWithItsCommentAndDeletedKeysComeBack)
{
    testsupport::TempDir dir;
    const QString path = dir.file("Aviz.INI");
    LayoutFile file;
    EXPECT_FALSE(file.isOpen());
    ASSERT_TRUE(file.OpenLayoutFile(path));
    EXPECT_TRUE(file.isOpen());
    EXPECT_EQ(readFile(path), ";pozitiile elementelor de pe raport sint specificate in milimetri\r\n\r\n");

    LayoutReport lr;
    Element& e = lr.detail->add<TQRIniDBText>(file, "Pozitie aviz", "Den", 30, 2, 40, "Den");
    ListSource rows = noRows();
    lr.r.layout(rows);
    EXPECT_EQ(readFile(path), ";pozitiile elementelor de pe raport sint specificate in milimetri\r\n"
                              "\r\n"
                              "[Pozitie aviz]\r\n"
                              "Den_stinga=30\r\n"
                              "Den_sus=52\r\n"
                              "Den_ext=40\r\n")
        << "the design positions, in the order left, top, width";
    file.ini()->writeInteger("Pozitie aviz", "Den_stinga", 55);
    lr.r.layout(rows);
    EXPECT_DOUBLE_EQ(e.x(), 55);
    file.ini()->deleteKey("Pozitie aviz", "Den_stinga");
    lr.r.layout(rows);
    EXPECT_DOUBLE_EQ(e.x(), 30);
    EXPECT_EQ(common::IniFile(path).readInteger("Pozitie aviz", "Den_stinga", -1), 30)
        << "the design position is written back";

    file.CloseLayoutFile();
    EXPECT_FALSE(file.isOpen());
    e.setX(12);
    lr.r.layout(rows); // without a file the element keeps its design place
    EXPECT_DOUBLE_EQ(e.x(), 30) << "each layout starts from the design";
    EXPECT_FALSE(file.OpenLayoutFile(dir.file("lipsa/Factura.INI")));
    EXPECT_FALSE(file.isOpen());
}

TEST(LayoutFile, PlacedElementsPrintWhereTheFileSays)
{
    testsupport::TempDir dir;
    LayoutFile file;
    ASSERT_TRUE(file.OpenLayoutFile(dir.file("Factura.INI")));
    file.ini()->writeInteger("Pozitie factura", "Cant_dreapta", 120);
    file.ini()->writeInteger("Pozitie factura", "Cant_sus", 53);
    LayoutReport lr;
    lr.detail->add<TQRIniDBText>(file, "Pozitie factura", "Cant", 30, 0, 20, "Cantitate", "#,##0.00").right();
    ListSource rows({"Cantitate"}, {{12.5}});
    const TextCapture printed = capture(lr.r.layout(rows));
    const auto found = printed.find("12,50");
    ASSERT_EQ(found.size(), 1);
    EXPECT_NEAR(found.first().box.right(), 8 + 120, 1e-9) << "right edge from the left margin";
    // The detail prints under the page header (20) and the title (30), from the top margin.
    EXPECT_NEAR(found.first().y, 10 + 20 + 30 + 3, 1e-9);
}

TEST(LayoutEditor, ListsSectionsAndSavesTheValues)
{
    testsupport::TempDir dir;
    const QString path = dir.file("Factura.INI");
    common::ScriptedDialogs dialogs;
    LayoutFile file;
    LayoutReport lr;
    lr.title->add<TQRIniDBText>(file, "Antet firma", "Firma", 20, 5, 80, "Denumire");
    lr.title->add<TQRIniLabel>(file, "Antet firma", "Titlu", 20, 12, 0, "FACTURA");
    lr.detail->add<TQRIniDBText>(file, "Pozitie factura", "Cant", 100, 0, 20, "Cantitate").right();
    lr.detail->add<TQRIniDBCalc>(file, "Pozitie factura", "Val", 130, 0, 25, [](const Row&) { return 1.0; });
    lr.detail->field(0, 0, 10, "Cantitate"); // an engine element: not in the editor

    TQRIniEditLogic closed(file, lr.r, dialogs);
    EXPECT_FALSE(closed.load());
    EXPECT_EQ(dialogs.texts(), QStringList{"IniFile must be initialised!"});
    EXPECT_FALSE(EditLayoutFile(nullptr, lr.r, file, dialogs));
    EXPECT_EQ(dialogs.messages.size(), 2);
    dialogs.clear();

    ASSERT_TRUE(file.OpenLayoutFile(path));
    TQRIniEditLogic logic(file, lr.r, dialogs);
    ASSERT_TRUE(logic.load());
    EXPECT_EQ(logic.caption(), "Editare " + path);
    EXPECT_EQ(logic.sections().sections(), (QStringList{"Antet firma", "Pozitie factura"}));
    EXPECT_EQ(logic.page().top, 10);
    EXPECT_EQ(logic.page().left, 8);
    EXPECT_EQ(logic.page().right, 8);
    EXPECT_EQ(logic.page().bottom, 10);
    EXPECT_EQ(logic.page().headerHeight, 95);
    EXPECT_EQ(logic.page().footerHeight, 50);

    LayoutElementsModel& rows = logic.elements();
    EXPECT_EQ(rows.shownSection(), "Antet firma");
    ASSERT_EQ(rows.rowCount(), 2);
    auto cell = [&](int row, int column) { return rows.data(rows.index(row, column), Qt::DisplayRole); };
    EXPECT_EQ(cell(0, 0).toString(), "Firma");
    EXPECT_EQ(cell(0, 1).toInt(), 20);
    EXPECT_EQ(cell(0, 2).toInt(), 25) << "the title lies under the page header";
    EXPECT_EQ(cell(0, 3).toInt(), 80);
    EXPECT_EQ(cell(1, 0).toString(), "Titlu");
    EXPECT_EQ(cell(1, 3).toInt(), 0) << "no width key: 0";
    logic.selectSection(1);
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(rows.shownRow(0)->LeftTopic, "Cant_dreapta");
    EXPECT_EQ(cell(0, 1).toInt(), 120);
    EXPECT_EQ(cell(0, 2).toInt(), 50);

    EXPECT_FALSE(rows.flags(rows.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(rows.setData(rows.index(0, 0), "Alt nume", Qt::EditRole));
    EXPECT_TRUE(rows.setData(rows.index(0, 1), 118, Qt::EditRole));
    EXPECT_TRUE(rows.setData(rows.index(1, 3), 30, Qt::EditRole));
    EXPECT_FALSE(rows.removeRows(0, 1)) << "rows cannot be deleted";
    logic.page().top = 12;
    logic.page().footerHeight = 40;

    const QString beforeSave = readFile(path);
    logic.save();
    const common::IniFile saved(path);
    EXPECT_EQ(saved.readInteger("Pozitie factura", "Cant_dreapta", -1), 118);
    EXPECT_EQ(saved.readInteger("Pozitie factura", "Val_ext", -1), 30);
    EXPECT_EQ(saved.readInteger("Antet firma", "Titlu_ext", -1), 0);
    EXPECT_EQ(saved.readInteger("Margini", "Sus", -1), 12);
    EXPECT_EQ(saved.readInteger("Margini", "Stinga", -1), 8);
    EXPECT_EQ(saved.readInteger("Margini", "Dreapta", -1), 8);
    EXPECT_EQ(saved.readInteger("Margini", "Jos", -1), 10);
    EXPECT_EQ(saved.readInteger("Antet+cap tabel", "Inaltime", -1), 95);
    EXPECT_EQ(saved.readInteger("Baza Subsol", "Inaltime", -1), 40);
    EXPECT_NE(readFile(path), beforeSave);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(LayoutEditor, WindowBindsTheLists)
{
    testsupport::TempDir dir;
    common::ScriptedDialogs dialogs;
    LayoutFile file;
    ASSERT_TRUE(file.OpenLayoutFile(dir.file("Aviz.INI")));
    file.ini()->writeInteger("Margini", "Sus", 14);
    LayoutReport lr;
    lr.title->add<TQRIniDBText>(file, "Antet aviz", "Numar", 150, 5, 30, "Numar");
    lr.title->add<TQRIniDBText>(file, "Antet client", "Firma", 20, 5, 80, "Nume_client");
    lr.detail->add<TQRIniDBText>(file, "Pozitie aviz", "Den", 20, 0, 90, "Den");
    TQRIniEditLogic logic(file, lr.r, dialogs);
    ASSERT_TRUE(logic.load());
    TQRIniEditForm form(logic);
    form.show();
    QApplication::processEvents();

    EXPECT_EQ(form.windowTitle(), "Editare " + file.fileName());
    EXPECT_EQ(form.topBox()->value(), 14);
    EXPECT_EQ(form.headerHeightBox()->value(), 95);
    form.sectionList()->setCurrentIndex(logic.sections().index(2));
    EXPECT_EQ(logic.elements().shownSection(), "Pozitie aviz");
    EXPECT_EQ(form.elementTable()->model()->rowCount(), 1);

    if (const QString shots = qEnvironmentVariable("MIRAFEL_SHOTS_DIR"); !shots.isEmpty()) {
        QDir().mkpath(shots);
        EXPECT_TRUE(form.grab().save(QDir(shots).filePath("layout_editor.png")));
    }

    form.bottomBox()->setValue(12);
    form.accept();
    EXPECT_EQ(common::IniFile(file.fileName()).readInteger("Margini", "Jos", -1), 12);
}

// Values the editor cannot show as they stand (a fraction, a text with a NUL
// in it, numbers outside the boxes' range) stay in the file byte for byte
// when "&Salveaza" is pressed without an edit; an edit rewrites only its key.
TEST(LayoutEditor, SavingWithoutAnEditLeavesTheFileAsItWas)
{
    testsupport::TempDir dir;
    const QString path = dir.file("Factura.INI");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(";pozitii\r\n\r\n[Antet firma]\r\nFirma_stinga=20.5\r\nFirma_sus=abc\r\nFirma_ext=1")
                + QByteArray(1, '\0')
                + " 25\r\n"
                  "[Pozitie factura]\r\nCant_dreapta= 118 \r\nCant_sus=50\r\nCant_ext=20\r\n"
                  "[Margini]\r\nSus=2000\r\nStinga=7.5\r\nDreapta=-5\r\nJos=1e1\r\n"
                  "[Antet+cap tabel]\r\nInaltime=95,5\r\n[Baza Subsol]\r\nInaltime=1000\r\n");
    }
    common::ScriptedDialogs dialogs;
    LayoutFile file;
    ASSERT_TRUE(file.OpenLayoutFile(path));
    LayoutReport lr;
    lr.title->add<TQRIniDBText>(file, "Antet firma", "Firma", 20, 5, 80, "Denumire");
    lr.detail->add<TQRIniDBText>(file, "Pozitie factura", "Cant", 100, 0, 20, "Cantitate").right();

    const auto bytes = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    {
        TQRIniEditLogic logic(file, lr.r, dialogs);
        ASSERT_TRUE(logic.load());
        const QByteArray loaded = bytes();
        TQRIniEditForm form(logic);
        form.show();
        QApplication::processEvents();
        form.accept();
        EXPECT_EQ(bytes(), loaded);
    }
    {
        TQRIniEditLogic logic(file, lr.r, dialogs);
        ASSERT_TRUE(logic.load());
        const QByteArray loaded = bytes();
        TQRIniEditForm form(logic);
        logic.selectSection(1);
        LayoutElementsModel& rows = logic.elements();
        EXPECT_TRUE(rows.setData(rows.index(0, LayoutElementsModel::TopColumn), 52, Qt::EditRole));
        form.bottomBox()->setValue(12);
        form.accept();
        QByteArray expected = loaded;
        expected.replace("Cant_sus=50\r\n", "Cant_sus=52\r\n");
        expected.replace("Jos=1e1\r\n", "Jos=12\r\n");
        EXPECT_EQ(bytes(), expected);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
