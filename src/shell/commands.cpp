#include "commands.h"

namespace shell {

QString MenuEntry::menuKey() const
{
    return path.isEmpty() ? caption : parentKey() + QLatin1Char('/') + caption;
}

namespace {

constexpr bool Y = true;
constexpr bool N = false;
using C = CommandId;

MenuEntry menu(QStringList path, QString caption, bool shown = Y, bool enabled = Y)
{
    MenuEntry e;
    e.path = std::move(path);
    e.kind = EntryKind::Menu;
    e.caption = std::move(caption);
    e.shown = shown;
    e.enabled = enabled;
    return e;
}

MenuEntry item(QStringList path, QString caption, bool shown, bool enabled, QString shortcut,
               CommandId command, QString hint = {})
{
    MenuEntry e;
    e.path = std::move(path);
    e.kind = EntryKind::Item;
    e.caption = std::move(caption);
    e.shown = shown;
    e.enabled = enabled;
    e.shortcut = std::move(shortcut);
    e.command = command;
    e.hint = std::move(hint);
    return e;
}

MenuEntry check(QStringList path, QString caption, bool shown, bool enabled, CommandId command,
                bool checked)
{
    MenuEntry e = item(std::move(path), std::move(caption), shown, enabled, {}, command);
    e.checkable = true;
    e.checked = checked;
    return e;
}

MenuEntry separator(QStringList path)
{
    MenuEntry e;
    e.path = std::move(path);
    e.kind = EntryKind::Separator;
    return e;
}

std::vector<MenuEntry> buildEntries()
{
    const QStringList sis{QStringLiteral("&Sistem")};
    const QStringList set{QStringLiteral("Setari")};
    const QStringList lst{QStringLiteral("Listari")};
    const QStringList lstCom{QStringLiteral("Listari"), QStringLiteral("Comenzi")};
    const QStringList lstIn{QStringLiteral("Listari"), QStringLiteral("&Intrari")};
    const QStringList lstOut{QStringLiteral("Listari"), QStringLiteral("I&esiri")};
    const QStringList lstOutBen{QStringLiteral("Listari"), QStringLiteral("I&esiri"), QStringLiteral("&Beneficiari")};
    const QStringList act{QStringLiteral("A&ctiuni")};
    const QStringList fer{QStringLiteral("F&erestre")};
    const QStringList asi{QStringLiteral("&Asistent")};
    const QStringList ajt{QStringLiteral("Ajutor")};
    const QStringList unpaid{QStringLiteral("&Sistem"), QStringLiteral("Facturi n&eachitate")};
    const QStringList offer{QStringLiteral("&Sistem"), QStringLiteral("&Oferta")};

    std::vector<MenuEntry> t;

    // ---- &Sistem --------------------------------------------------------
    t.push_back(menu({}, sis[0]));
    t.push_back(item(sis, "&Buget de lucru", Y, Y, {}, C::SelectDatabase,
                     " Selecteaza si deschide o baza de date de gestiune de stocuri"));
    t.push_back(item(sis, "Unitatea", Y, Y, {}, C::FirmData,
                     "Specificati datele care descriu societatea pentru care se exploateaza baza de date."));
    t.push_back(separator(sis));
    t.push_back(item(sis, "Intrari", Y, Y, {}, C::InputDocuments,
                     " Introducere si modificare de documente de intrare in gestiunea de stocuri"));
    t.push_back(item(sis, "Iesiri", Y, Y, {}, C::OutputDocuments,
                     " Introducere si modificare de facturi si documente de iesire din gestiunea de stocuri"));
    t.push_back(item(sis, "Comenzi", Y, Y, {}, C::Orders));
    t.push_back(item(sis, "Propuneri de casare", Y, Y, {}, C::ScrappingProposals));
    t.push_back(item(sis, "Documente de retur", N, N, {}, C::None));
    t.push_back(item(sis, "Date pentru facturi proforma", N, Y, {}, C::ScrappingProposals));
    t.push_back(item(sis, "Editare grila &discount", N, N, {}, C::DiscountGrids));
    t.push_back(separator(sis));
    t.push_back(item(sis, "Produse", Y, Y, {}, C::Articles, " Introducere si modificare de articole"));
    t.push_back(item(sis, "Clase si grupe de articole", Y, Y, {}, C::MaterialGroups,
                     " Introducere si modificare de clase de materiale si grupe de articole"));
    t.push_back(item(sis, "&Furnizori", Y, Y, {}, C::Suppliers, " Introducere si modificare de date despre furnizori"));
    t.push_back(item(sis, "Gestiuni", Y, Y, {}, C::Warehouses, " Intretinere catalog de gestiuni"));
    t.push_back(item(sis, "Gestionari/Beneficiari", Y, Y, {}, C::KeepersBeneficiaries,
                     "Nomenclator gestionari, beneficiari"));
    t.push_back(item(sis, "Bugete", Y, Y, {}, C::Budgets, "Nomenclator bugete"));
    t.push_back(item(sis, "Valute si cursuri", Y, Y, {}, C::Currencies,
                     " Valute, cursuri valutare si importul cursurilor BNR"));
    t.push_back(item(sis, "Target pe gestiuni", N, Y, {}, C::WarehouseTargets));
    t.push_back(item(sis, "Target pe agenti", N, Y, {}, C::AgentTargets));
    t.push_back(separator(sis));
    t.push_back(item(sis, "Stocuri &initiale", Y, Y, {}, C::InitialStock, " Introducere si modificare de stocuri initiale"));
    t.push_back(item(sis, "&Stocuri curente", Y, Y, {}, C::CurrentStock, " Inspectare stocuri curente"));
    t.push_back(item(sis, "Facturi &neincasate", N, N, {}, C::None));
    t.push_back(menu(sis, unpaid[1], N));
    t.push_back(item(unpaid, "în &Lei", N, Y, {}, C::Warehouses));
    t.push_back(item(unpaid, "în &valuta", N, Y, {}, C::None));
    t.push_back(item(sis, "Situatie Comenzi", N, Y, {}, C::OrderSituation));
    t.push_back(menu(sis, offer[1], N, N));
    t.push_back(item(offer, "Oferta ", N, N, {}, C::None));
    t.push_back(item(offer, "Oferta cu cantitate", N, N, {}, C::None));
    t.push_back(item(sis, "Inchide fereastra", N, Y, "Ctrl+F4", C::CloseWindow));
    t.push_back(separator(sis));
    t.push_back(item(sis, "Iesire", Y, Y, "Alt+X", C::Exit, " Inchide aplicatia de gestiune de stocuri."));

    // ---- Setari ---------------------------------------------------------
    t.push_back(menu({}, set[0]));
    t.push_back(item(set, "Interval de &actualizare", N, Y, {}, C::RefreshInterval));
    t.push_back(item(set, "Parametri aplicatiei", Y, Y, {}, C::Parameters,
                     " Specificare valori implicite pentru conturi de furnizori, clienti, marfa/materiale, "
                     "cheltuieli, TVA, coeficienti TVA"));
    t.push_back(item(set, "Tipuri de alocatie", Y, Y, {}, C::AllocationTypes));
    t.push_back(item(set, "Recalculare &stocuri", Y, Y, {}, C::RecalculateStock, "Recalculeaza stocurile curente"));
    t.push_back(item(set, "&Imagini...", N, Y, {}, C::Images));
    t.push_back(item(set, "&Arhivare", N, Y, {}, C::ArchiverOptions));
    t.push_back(separator(set));
    t.push_back(item(set, "Sterge fisierele .cfg", Y, Y, {}, C::DeleteLayoutFiles,
                     "Seteaza configuratia implicita pentru tabele din dialoguri"));
    t.push_back(check(set, "Rapoarte in Germana", N, N, C::GermanReports, false));
    t.push_back(item(set, "Director de control in retea", N, Y, {}, C::NetworkControlDir));
    t.push_back(separator(set));
    t.push_back(item(set, "Module Au&xiliare", Y, Y, {}, C::AddOnModules));

    // ---- Listari --------------------------------------------------------
    t.push_back(menu({}, lst[0]));
    t.push_back(menu(lst, lstCom[1], N));
    t.push_back(item(lstCom, "Beneficiari/Gestionari", N, Y, {}, C::StockPerBeneficiary));
    t.push_back(item(lstCom, "Neonorate", N, Y, {}, C::OrdersUnfulfilled));
    t.push_back(item(lstCom, "Centralizator", N, Y, {}, C::OrdersSummary));
    t.push_back(item(lstCom, "în &Lei", N, Y, {}, C::InputDocumentsLeiReport));
    t.push_back(item(lstCom, "în &valuta", N, Y, {}, C::InputDocumentsCurrencyReport));
    t.push_back(item(lstCom, "în &Lei", N, Y, {}, C::OutputDocumentsLeiReport));
    t.push_back(item(lstCom, "în Valuta", N, Y, {}, C::OutputDocumentsCurrencyReport));
    t.push_back(item(lstCom, "Agenti", N, Y, {}, C::LotStockAgents));
    t.push_back(item(lstCom, "in Valuta", N, Y, {}, C::LotStockAgentsCurrency));
    t.push_back(item(lstCom, "in Lei", N, Y, {}, C::LotStockLei));
    t.push_back(item(lstCom, "in Valuta", N, Y, {}, C::LotStockCurrency));
    t.push_back(item(lstCom, "Gestiuni", N, Y, {}, C::StockAtDatePerWarehouse));

    t.push_back(menu(lst, lstIn[1]));
    t.push_back(item(lstIn, "&Documente", Y, Y, {}, C::InputsDocumentsPerSupplier,
                     "Lista documentelor de intrare dintr-o perioada data, grupate pe furnizor"));
    t.push_back(item(lstIn, "&Articole", Y, Y, {}, C::InputsPerArticle,
                     "Listarea înregistrarilor de intrare dintr-o perioada data, grupate pe articole."));
    t.push_back(item(lstIn, "&Furnizori", Y, Y, {}, C::InputsPerSupplier));
    t.push_back(item(lstIn, "Bugete", Y, Y, {}, C::InputsPerBudget));

    t.push_back(menu(lst, lstOut[1]));
    t.push_back(item(lstOut, "&Bugete si beneficiari", Y, Y, {}, C::OutputsPerBudgetAndBeneficiary,
                     "Centralizator a iesirilor pentru o anumita perioada, grupate pe clienti."));
    t.push_back(item(lstOut, "&Documente", Y, Y, {}, C::OutputsDocuments,
                     "Lista documentelor de iesire dintr-o perioada data, grupate pe client."));
    t.push_back(menu(lstOut, lstOutBen[2], N));
    t.push_back(item(lstOutBen, "Iesiri &totale", N, Y, {}, C::OutputsPerBeneficiaryAll));
    t.push_back(item(lstOutBen, "&Consumuri", N, Y, {}, C::OutputsPerBeneficiaryConsumption));
    t.push_back(item(lstOut, "&Articole (detaliat)", Y, Y, {}, C::OutputsPerArticleDetailed,
                     "Lista inregistrarilor de iesire dintr-o perioada data, grupate pe coduri de articol."));
    t.push_back(item(lstOut, "A&rticole (total)", Y, Y, {}, C::OutputsPerArticleTotal,
                     "Total valoare, valoare vînzare si adaos comercial per articol"));
    t.push_back(item(lstOut, "Ar&ticole (selectie)", Y, Y, {}, C::OutputsPerArticleSelection,
                     "Total valoare, valoare vînzare si adaos comercial pentru articole selectate dupa denumire"));
    t.push_back(item(lstOut, "Zilnice cu totaluri", N, Y, {}, C::DailyOutputsWithTotals));
    t.push_back(item(lstOut, "Zilnice detaliat", N, Y, {}, C::DailyOutputsDetailed));
    t.push_back(item(lstOut, "Iesiri pe perioada...", N, Y, {}, C::OutputsPerPeriod));
    t.push_back(item(lstOut, "Iesiri pe perioada,  pe gestiune", N, Y, {}, C::OutputsPerPeriodPerWarehouse));

    const QStringList journals{QStringLiteral("Listari"), QStringLiteral("&Jurnale")};
    t.push_back(menu(lst, journals[1], N));
    t.push_back(item(journals, "&Achizitii (receptii)", N, Y, {}, C::PurchaseJournal));
    t.push_back(item(journals, "&Iesiri (consumuri)", N, Y, {}, C::OutputJournal));
    t.push_back(item(lst, "&Note contabile", N, Y, {}, C::AccountingNotes));
    t.push_back(separator(lst));
    t.push_back(item(lst, "&Balanta", Y, Y, {}, C::TurnoverBalance,
                     " Balanta de intrari si iesiri pentru o anumita perioada"));
    t.push_back(item(lst, "Balanta de &verificare", Y, Y, {}, C::DetailedTurnoverBalance,
                     " Balanta detaliata de intrari si iesiri pentru o anumita perioada."));
    t.push_back(item(lst, "Fisa de magazie", Y, Y, {}, C::StockCard));
    t.push_back(item(lst, "Lista intrari/iesiri in perioada", Y, Y, {}, C::PeriodList));
    t.push_back(item(lst, "Fisa de cont analitic cu valori", Y, Y, {}, C::StockCardWithValues));
    t.push_back(item(lst, "&Incasari", N, Y, {}, C::Collections));
    const QStringList payments{QStringLiteral("Listari"), QStringLiteral("&Plati")};
    t.push_back(menu(lst, payments[1], N));
    t.push_back(item(payments, "în &Lei", N, Y, {}, C::PaymentsLei));
    t.push_back(item(payments, "în &valuta", N, Y, {}, C::PaymentsCurrency));
    t.push_back(separator(lst));
    t.push_back(item(lst, "&Lista de inventar la data...", Y, Y, {}, C::InventoryListAtDate,
                     " Situatia stocurilor la o data specificata."));
    t.push_back(item(lst, "Stocuri la data...", Y, Y, {}, C::StockAtDate));
    t.push_back(item(lst, "Centralizator inventar", Y, Y, {}, C::InventorySummary));
    t.push_back(item(lst, "Centralizator liste zilnice", Y, Y, {}, C::DailyListsSummary));
    const QStringList totals{QStringLiteral("Listari"), QStringLiteral("Stocuri totale")};
    t.push_back(menu(lst, totals[1], N));
    t.push_back(item(totals, "Defalcat pe gestiuni", N, Y, {}, C::TotalStockPerWarehouse));
    t.push_back(item(totals, "Fara defalcare pe gestiuni", N, Y, {}, C::TotalStockOverall));
    t.push_back(item(lst, "Stocul minim", N, Y, {}, C::MinimumStock));
    t.push_back(item(lst, "Target indeplinit pe gestiuni", N, Y, {}, C::WarehouseTargetReport));
    t.push_back(item(lst, "Target indeplinit pe agenti", N, Y, {}, C::AgentTargetReport));
    t.push_back(item(lst, "Vanzari pe agent", N, N, {}, C::None));

    // ---- A&ctiuni (hidden) ----------------------------------------------
    t.push_back(menu({}, act[0], N));
    t.push_back(item(act, "&Arhivare", N, N, {}, C::Archive));
    t.push_back(item(act, "&Restaurare", N, N, {}, C::Restore));
    t.push_back(item(act, "Consolidare I&ntrari", N, N, {}, C::ConsolidateInputs));
    t.push_back(item(act, "Consolidare Ie&siri", N, N, {}, C::ConsolidateOutputs));
    t.push_back(item(act, "Conversie la RON", N, Y, {}, C::ConvertToRon,
                     "Conversia bazei de date din lei vechi in lei noi"));

    // ---- F&erestre (hidden) ---------------------------------------------
    t.push_back(menu({}, fer[0], N));
    t.push_back(item(fer, "&Cascada", N, Y, {}, C::Cascade));
    t.push_back(item(fer, "&Domino", N, Y, {}, C::Tile));
    t.push_back(item(fer, "&Inchide tot", N, Y, {}, C::CloseAll));
    t.push_back(check(fer, "&Butoane vizibile", N, Y, C::ToolbarVisible, true));

    // ---- &Asistent (hidden) ---------------------------------------------
    t.push_back(menu({}, asi[0], N));
    t.push_back(item(asi, "Help", N, Y, "F1", C::Help));
    t.push_back(item(asi, "&Despre...", N, Y, {}, C::About));
    t.push_back(item(asi, "&Verifica versiunea", N, Y, {}, C::CheckVersion));

    // ---- Ajutor ---------------------------------------------------------
    t.push_back(menu({}, ajt[0]));
    t.push_back(item(ajt, "Actualizare online", Y, Y, {}, C::OnlineUpdate));
    return t;
}

} // namespace

const std::vector<MenuEntry>& menuEntries()
{
    static const std::vector<MenuEntry> entries = buildEntries();
    return entries;
}

const std::vector<SpeedButtonDef>& speedButtons()
{
    static const std::vector<SpeedButtonDef> buttons{
        {"Intrari", " Introducere si modificare de documente de intrare in gestiunea de stocuri", C::InputDocuments},
        {"Furnizori", " Introducere si modificare de date despre furnizori", C::Suppliers},
        {"Produse", " Introducere si modificare de articole", C::Articles},
        {"Gestiuni", "Plati la facturi neachitate", C::Warehouses},
        {"Gestionari", " Introducere si modificare de date despre clienti", C::KeepersBeneficiaries},
        {"Stocuri", " Inspectare stocuri curente", C::CurrentStock},
        {"Iesiri", " Introducere si modificare de documente de iesire din gestiunea de stocuri", C::OutputDocuments},
    };
    return buttons;
}

const MenuEntry* findMenuItem(CommandId command)
{
    for (const MenuEntry& e : menuEntries())
        if (e.kind == EntryKind::Item && e.command == command)
            return &e;
    return nullptr;
}

const MenuEntry* findMenuEntry(const QStringList& path, const QString& caption)
{
    for (const MenuEntry& e : menuEntries())
        if (e.kind != EntryKind::Separator && e.path == path && e.caption == caption)
            return &e;
    return nullptr;
}

bool isVisibleInMenuBar(const MenuEntry& entry)
{
    if (!entry.shown)
        return false;
    for (qsizetype depth = entry.path.size(); depth > 0; --depth) {
        const QStringList parentPath = entry.path.mid(0, depth - 1);
        const MenuEntry* parent = findMenuEntry(parentPath, entry.path.at(depth - 1));
        if (!parent || !parent->shown)
            return false;
    }
    return true;
}

bool isWindowCommand(CommandId command)
{
    switch (command) {
    case C::CloseWindow:
    case C::CloseAll:
    case C::Tile:
    case C::Cascade:
        return true;
    default:
        return false;
    }
}

const std::vector<ReportCommand>& reportCommands()
{
    // The hidden "Comenzi" submenu holds the stock reports of the family in
    // the order "Agenti" (per budget and lot), "in Valuta" (in currency), "in
    // Lei" (per lot), "in Valuta" (per lot in currency), then "Gestiuni" (the
    // stock at a date).
    static const std::vector<ReportCommand> commands{
        {C::InventoryListAtDate, QStringLiteral("inventory-list")},
        {C::StockAtDate, QStringLiteral("stock-at-date")},
        {C::StockAtDatePerWarehouse, QStringLiteral("stock-at-date")},
        {C::LotStockAgentsCurrency, QStringLiteral("stock-currency")},
        {C::LotStockLei, QStringLiteral("stock-lot")},
        {C::LotStockCurrency, QStringLiteral("stock-lot-currency")},
        {C::StockPerBeneficiary, QStringLiteral("stock-budget")},
        {C::LotStockAgents, QStringLiteral("stock-budget-lot")},
        {C::TotalStockPerWarehouse, QStringLiteral("stock-totals-split")},
        {C::TotalStockOverall, QStringLiteral("stock-totals")},
        {C::MinimumStock, QStringLiteral("critical-stocks")},
        {C::TurnoverBalance, QStringLiteral("balance")},
        {C::DetailedTurnoverBalance, QStringLiteral("verification-balance")},
        {C::StockCard, QStringLiteral("stock-card")},
        {C::PeriodList, QStringLiteral("inputs-outputs")},
        {C::StockCardWithValues, QStringLiteral("account-card")},
        {C::InventorySummary, QStringLiteral("inventory-centraliser")},
    };
    return commands;
}

QString reportOfCommand(CommandId command)
{
    for (const ReportCommand& c : reportCommands())
        if (c.command == command)
            return c.report;
    return {};
}

} // namespace shell
