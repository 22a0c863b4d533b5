// The command table of the main menu and the speed buttons.

#include <gtest/gtest.h>

#include "shelltest.h"

#include "reports/reportlist.h"
#include "shell/commands.h"

#include <QSet>

using namespace shell;

namespace {

struct Row {
    QStringList path;
    QString caption;
    bool visible; // shown in the menu bar (itself and every menu above it)
    bool enabled;
    QString shortcut;
    QString hint;
    CommandId command;
};

const std::vector<Row>& sampleRows()
{
    static const std::vector<Row> rows{
        {{"&Sistem"}, "&Buget de lucru", true, true, "",
         " Selecteaza si deschide o baza de date de gestiune de stocuri", CommandId::SelectDatabase},
        {{"&Sistem"}, "Unitatea", true, true, "",
         "Specificati datele care descriu societatea pentru care se exploateaza baza de date.", CommandId::FirmData},
        {{"&Sistem"}, "Iesiri", true, true, "",
         " Introducere si modificare de facturi si documente de iesire din gestiunea de stocuri",
         CommandId::OutputDocuments},
        {{"&Sistem"}, "Comenzi", true, true, "", "", CommandId::Orders},
        {{"&Sistem"}, "Documente de retur", false, false, "", "", CommandId::None},
        {{"&Sistem"}, "Date pentru facturi proforma", false, true, "", "", CommandId::ScrappingProposals},
        {{"&Sistem"}, "Editare grila &discount", false, false, "", "", CommandId::DiscountGrids},
        {{"&Sistem"}, "Gestionari/Beneficiari", true, true, "", "Nomenclator gestionari, beneficiari",
         CommandId::KeepersBeneficiaries},
        {{"&Sistem", "Facturi n&eachitate"}, "în &Lei", false, true, "", "", CommandId::Warehouses},
        {{"&Sistem", "&Oferta"}, "Oferta ", false, false, "", "", CommandId::None},
        {{"&Sistem"}, "Inchide fereastra", false, true, "Ctrl+F4", "", CommandId::CloseWindow},
        {{"&Sistem"}, "Iesire", true, true, "Alt+X", " Inchide aplicatia de gestiune de stocuri.", CommandId::Exit},
        {{"Setari"}, "Parametri aplicatiei", true, true, "",
         " Specificare valori implicite pentru conturi de furnizori, clienti, marfa/materiale, cheltuieli, TVA, "
         "coeficienti TVA",
         CommandId::Parameters},
        {{"Setari"}, "Sterge fisierele .cfg", true, true, "",
         "Seteaza configuratia implicita pentru tabele din dialoguri", CommandId::DeleteLayoutFiles},
        {{"Setari"}, "Rapoarte in Germana", false, false, "", "", CommandId::GermanReports},
        {{"Setari"}, "Module Au&xiliare", true, true, "", "", CommandId::AddOnModules},
        {{"Listari", "Comenzi"}, "Gestiuni", false, true, "", "", CommandId::StockAtDatePerWarehouse},
        {{"Listari", "&Intrari"}, "&Articole", true, true, "",
         "Listarea înregistrarilor de intrare dintr-o perioada data, grupate pe articole.",
         CommandId::InputsPerArticle},
        {{"Listari", "I&esiri"}, "Ar&ticole (selectie)", true, true, "",
         "Total valoare, valoare vînzare si adaos comercial pentru articole selectate dupa denumire",
         CommandId::OutputsPerArticleSelection},
        {{"Listari", "I&esiri", "&Beneficiari"}, "&Consumuri", false, true, "", "",
         CommandId::OutputsPerBeneficiaryConsumption},
        {{"Listari", "I&esiri"}, "Iesiri pe perioada,  pe gestiune", false, true, "", "",
         CommandId::OutputsPerPeriodPerWarehouse},
        {{"Listari"}, "Balanta de &verificare", true, true, "",
         " Balanta detaliata de intrari si iesiri pentru o anumita perioada.", CommandId::DetailedTurnoverBalance},
        {{"Listari"}, "&Lista de inventar la data...", true, true, "", " Situatia stocurilor la o data specificata.",
         CommandId::InventoryListAtDate},
        {{"Listari"}, "Vanzari pe agent", false, false, "", "", CommandId::None},
        {{"A&ctiuni"}, "Consolidare Ie&siri", false, false, "", "", CommandId::ConsolidateOutputs},
        {{"A&ctiuni"}, "Conversie la RON", false, true, "", "Conversia bazei de date din lei vechi in lei noi",
         CommandId::ConvertToRon},
        {{"F&erestre"}, "&Domino", false, true, "", "", CommandId::Tile},
        {{"&Asistent"}, "Help", false, true, "F1", "", CommandId::Help},
        {{"&Asistent"}, "&Despre...", false, true, "", "", CommandId::About},
        {{"Ajutor"}, "Actualizare online", true, true, "", "", CommandId::OnlineUpdate},
    };
    return rows;
}

} // namespace

TEST(CommandTable, SampleRowsCarryTheirCaptionsStatesShortcutsAndHints)
{
    for (const Row& r : sampleRows()) {
        SCOPED_TRACE((r.path.join('/') + " / " + r.caption).toStdString());
        const MenuEntry* e = findMenuEntry(r.path, r.caption);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->kind, EntryKind::Item);
        EXPECT_EQ(isVisibleInMenuBar(*e), r.visible);
        EXPECT_EQ(e->enabled, r.enabled);
        EXPECT_EQ(e->shortcut, r.shortcut);
        EXPECT_EQ(e->hint, r.hint);
        EXPECT_EQ(e->command, r.command);
    }
}

TEST(CommandTable, SevenTopMenusOfWhichThreeAreHidden)
{
    QStringList captions;
    QStringList shown;
    for (const MenuEntry& e : menuEntries()) {
        if (e.kind == EntryKind::Menu && e.path.isEmpty()) {
            captions << e.caption;
            if (e.shown)
                shown << e.caption;
        }
    }
    EXPECT_EQ(captions, (QStringList{"&Sistem", "Setari", "Listari", "A&ctiuni", "F&erestre", "&Asistent", "Ajutor"}));
    EXPECT_EQ(shown, (QStringList{"&Sistem", "Setari", "Listari", "Ajutor"}));
}

TEST(CommandTable, EveryEntryHangsUnderAMenuDefinedBeforeIt)
{
    QSet<QString> menus;
    for (const MenuEntry& e : menuEntries()) {
        if (!e.path.isEmpty()) {
            EXPECT_TRUE(menus.contains(e.parentKey())) << e.caption.toStdString();
        }
        if (e.kind == EntryKind::Menu)
            menus.insert(e.menuKey());
    }
}

TEST(CommandTable, ItemsUnderHiddenMenusAreHiddenToo)
{
    for (const MenuEntry& e : menuEntries()) {
        if (e.kind != EntryKind::Item || e.path.isEmpty())
            continue;
        const MenuEntry* top = findMenuEntry({}, e.path.first());
        ASSERT_NE(top, nullptr);
        if (!top->shown) {
            EXPECT_FALSE(e.shown) << e.caption.toStdString();
        }
    }
}

TEST(CommandTable, WindowCommandsAreTheFourWindowItems)
{
    QStringList captions;
    for (const MenuEntry& e : menuEntries())
        if (e.kind == EntryKind::Item && isWindowCommand(e.command))
            captions << e.caption;
    EXPECT_EQ(captions, (QStringList{"Inchide fereastra", "&Cascada", "&Domino", "&Inchide tot"}));
}

TEST(SpeedButtons, SevenButtonsLeftToRight)
{
    struct Button {
        QString caption;
        QString hint;
        CommandId command;
    };
    const std::vector<Button> expected{
        {"Intrari", " Introducere si modificare de documente de intrare in gestiunea de stocuri",
         CommandId::InputDocuments},
        {"Furnizori", " Introducere si modificare de date despre furnizori", CommandId::Suppliers},
        {"Produse", " Introducere si modificare de articole", CommandId::Articles},
        {"Gestiuni", "Plati la facturi neachitate", CommandId::Warehouses},
        {"Gestionari", " Introducere si modificare de date despre clienti", CommandId::KeepersBeneficiaries},
        {"Stocuri", " Inspectare stocuri curente", CommandId::CurrentStock},
        {"Iesiri", " Introducere si modificare de documente de iesire din gestiunea de stocuri",
         CommandId::OutputDocuments},
    };
    const auto& buttons = speedButtons();
    ASSERT_EQ(buttons.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].caption.toStdString());
        EXPECT_EQ(buttons[i].caption, expected[i].caption);
        EXPECT_EQ(buttons[i].hint, expected[i].hint);
        EXPECT_EQ(buttons[i].command, expected[i].command);
    }
}

TEST(ReportCommands, TheHiddenOrdersSubmenuRunsTheStockReportsInItsOrder)
{
    // "Listari" / "Comenzi", top to bottom: the report each item runs ("" for
    // the items whose reports this edition does not have yet).
    const std::vector<std::pair<QString, QString>> expected{
        {"Beneficiari/Gestionari", "stock-budget"},
        {"Neonorate", ""},
        {"Centralizator", ""},
        {"în &Lei", ""},
        {"în &valuta", ""},
        {"în &Lei", ""},
        {"în Valuta", ""},
        {"Agenti", "stock-budget-lot"},
        {"in Valuta", "stock-currency"}, // the stock in currency
        {"in Lei", "stock-lot"},
        {"in Valuta", "stock-lot-currency"},
        {"Gestiuni", "stock-at-date"},
    };
    std::vector<std::pair<QString, QString>> items;
    for (const MenuEntry& e : menuEntries())
        if (e.kind == EntryKind::Item && e.path == QStringList{"Listari", "Comenzi"})
            items.emplace_back(e.caption, reportOfCommand(e.command));
    EXPECT_EQ(items, expected);
}

TEST(ReportCommands, EveryReportCommandRunsAReportOfTheTableFromAMenuItem)
{
    QSet<int> commands;
    for (const ReportCommand& c : reportCommands()) {
        SCOPED_TRACE(c.report.toStdString());
        EXPECT_NE(reports::findReportKind(c.report), nullptr);
        EXPECT_NE(findMenuItem(c.command), nullptr);
        EXPECT_FALSE(commands.contains(int(c.command))) << "listed twice";
        commands.insert(int(c.command));
    }
    // Every report of the table is reached from the menu.
    for (const reports::ReportKind& kind : reports::reportKinds()) {
        bool reached = false;
        for (const ReportCommand& c : reportCommands())
            reached = reached || c.report == kind.name;
        EXPECT_TRUE(reached) << kind.name.toStdString();
    }
}
