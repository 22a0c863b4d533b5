#pragma once
// The command table of the main window: every menu, menu item and speed
// button as data. The main window builds its menu bar and its bottom panel
// from these tables; menus and items that this edition hides are still
// created (as invisible actions), so their state can be changed at run time.

#include <QString>
#include <QStringList>
#include <vector>

namespace shell {

enum class CommandId {
    None, // an item that does nothing

    // "&Sistem"
    SelectDatabase,       // "&Buget de lucru"
    FirmData,             // "Unitatea"
    InputDocuments,       // "Intrari" (one instance)
    OutputDocuments,      // "Iesiri" (one instance)
    Orders,               // "Comenzi" (one instance)
    ScrappingProposals,   // "Propuneri de casare", also "Date pentru facturi proforma" (one instance)
    DiscountGrids,        // "Editare grila &discount"
    Articles,             // "Produse"
    MaterialGroups,       // "Clase si grupe de articole" (one instance)
    Currencies,           // "Valute si cursuri" (one instance)
    Suppliers,            // "&Furnizori"
    Warehouses,           // "Gestiuni", also "Facturi n&eachitate" / "în &Lei"
    KeepersBeneficiaries, // "Gestionari/Beneficiari"
    Budgets,              // "Bugete"
    WarehouseTargets,     // "Target pe gestiuni"
    AgentTargets,         // "Target pe agenti"
    InitialStock,         // "Stocuri &initiale"
    CurrentStock,         // "&Stocuri curente"
    OrderSituation,       // "Situatie Comenzi"
    CloseWindow,          // "Inchide fereastra"
    Exit,                 // "Iesire"

    // "Setari"
    RefreshInterval,      // "Interval de &actualizare"
    Parameters,           // "Parametri aplicatiei"
    AllocationTypes,      // "Tipuri de alocatie"
    RecalculateStock,     // "Recalculare &stocuri"
    Images,               // "&Imagini..."
    ArchiverOptions,      // "&Arhivare" (options)
    DeleteLayoutFiles,    // "Sterge fisierele .cfg"
    GermanReports,        // "Rapoarte in Germana" (check mark only)
    NetworkControlDir,    // "Director de control in retea"
    AddOnModules,         // "Module Au&xiliare"

    // "Listari" / "Comenzi" (hidden submenu)
    StockPerBeneficiary,
    OrdersUnfulfilled,
    OrdersSummary,
    InputDocumentsLeiReport,
    InputDocumentsCurrencyReport,
    OutputDocumentsLeiReport,
    OutputDocumentsCurrencyReport,
    LotStockAgents,
    LotStockAgentsCurrency,
    LotStockLei,
    LotStockCurrency,
    StockAtDatePerWarehouse,
    // "Listari" / "&Intrari"
    InputsDocumentsPerSupplier,
    InputsPerArticle,
    InputsPerSupplier,
    InputsPerBudget,
    // "Listari" / "I&esiri"
    OutputsPerBudgetAndBeneficiary,
    OutputsDocuments,
    OutputsPerBeneficiaryAll,
    OutputsPerBeneficiaryConsumption,
    OutputsPerArticleDetailed,
    OutputsPerArticleTotal,
    OutputsPerArticleSelection,
    DailyOutputsWithTotals,
    DailyOutputsDetailed,
    OutputsPerPeriod,
    OutputsPerPeriodPerWarehouse,
    // "Listari"
    PurchaseJournal,
    OutputJournal,
    AccountingNotes,
    TurnoverBalance,
    DetailedTurnoverBalance,
    StockCard,
    PeriodList,
    StockCardWithValues,
    Collections,
    PaymentsLei,
    PaymentsCurrency,
    InventoryListAtDate,
    StockAtDate,
    InventorySummary,
    DailyListsSummary,
    TotalStockPerWarehouse,
    TotalStockOverall,
    MinimumStock,
    WarehouseTargetReport,
    AgentTargetReport,

    // "A&ctiuni"
    Archive,
    Restore,
    ConsolidateInputs,
    ConsolidateOutputs,
    ConvertToRon,

    // "F&erestre"
    Cascade,
    Tile,
    CloseAll,
    ToolbarVisible,       // "&Butoane vizibile" (check mark only)

    // "&Asistent"
    Help,
    About,
    CheckVersion,

    // "Ajutor"
    OnlineUpdate,
};

enum class EntryKind { Menu, Item, Separator };

struct MenuEntry {
    QStringList path;  // captions of the menus above it; empty for a top-level menu
    EntryKind kind = EntryKind::Item;
    QString caption;   // with its '&' accelerator, exactly as shown
    bool shown = true;
    bool enabled = true;
    QString shortcut;  // portable key text ("Alt+X", "Ctrl+F4", "F1"), empty when none
    CommandId command = CommandId::None;
    QString hint;      // status-line text while the pointer rests on it
    bool checkable = false;
    bool checked = false;

    // The key a menu is found by: its path and caption joined with '/'.
    QString menuKey() const;
    QString parentKey() const { return path.join(QLatin1Char('/')); }
};

struct SpeedButtonDef {
    QString caption;
    QString hint;
    CommandId command;
};

// Every menu, item and separator of the main menu, in menu order; a menu
// comes before the entries under it.
const std::vector<MenuEntry>& menuEntries();
// The seven speed buttons of the bottom panel, left to right.
const std::vector<SpeedButtonDef>& speedButtons();

// The first item with this command; nullptr when none.
const MenuEntry* findMenuItem(CommandId command);
// The entry with this path and caption; nullptr when none.
const MenuEntry* findMenuEntry(const QStringList& path, const QString& caption);
// True when the entry and every menu above it are shown.
bool isVisibleInMenuBar(const MenuEntry& entry);

// The commands that are enabled exactly while a child window is open.
bool isWindowCommand(CommandId command);

// The report commands of "Listari" and the report each runs (a name of
// reports::reportKinds()). A command of the menu not listed here has no
// report yet and says so when chosen.
struct ReportCommand {
    CommandId command;
    QString report;
};
const std::vector<ReportCommand>& reportCommands();
// The report a command runs; empty when none.
QString reportOfCommand(CommandId command);

} // namespace shell
