#include "partnercatalogs.h"

namespace catalogs {

namespace {

using ui::GridColumn;

PartnerCatalogDef suppliers()
{
    PartnerCatalogDef d;
    d.kind = PartnerKind::Suppliers;
    d.windowClass = "TFurnLookupForm";
    d.table = QStringLiteral("Furn.DB");
    d.codeField = QStringLiteral("Cod_furnizor");
    d.nameField = QStringLiteral("Nume_furnizor");
    d.pickerCaption = QStringLiteral("Selectie de furnizori");
    d.childCaption = QStringLiteral("Catalog furnizori");
    d.gridHint = QStringLiteral("Selectati furnizorul dorit si apasati butonul OK sau Enter");
    d.columns = {
        GridColumn(QStringLiteral("Cod_furnizor"), QStringLiteral("Cod furnizor"), 90),
        GridColumn(QStringLiteral("Nume_furnizor"), QStringLiteral("Nume furnizor"), 200),
        GridColumn(QStringLiteral("Cont_creditor"), QStringLiteral("Cont contabil"), 90),
        GridColumn(QStringLiteral("Adresa"), QString(), 160),
        GridColumn(QStringLiteral("Banca"), QString(), 110),
        GridColumn(QStringLiteral("Cont_bancar"), QStringLiteral("Cont bancar"), 210),
        GridColumn(QStringLiteral("ORC"), QString(), 90),
        GridColumn(QStringLiteral("Tel"), QStringLiteral("Telefon"), 90),
        GridColumn(QStringLiteral("Fax"), QString(), 90),
        GridColumn(QStringLiteral("Cod_fiscal"), QString(), 100),
    };
    d.accountField = QStringLiteral("Cont_creditor");
    d.defaultAccount = &common::Parameters::CFurn;
    d.saveCheckMessage = QStringLiteral("Completati cel putin codul si denumirea furnizorului!");
    d.layoutFile = QStringLiteral("furnlook.cfg");
    d.emptyWarning = QStringLiteral("Adaugati furnizori în catalog!");
    d.openError = QStringLiteral("Eroare de acces la catalogul de furnizori!");
    d.reactsToRefresh = true;
    return d;
}

PartnerCatalogDef budgets()
{
    PartnerCatalogDef d;
    d.kind = PartnerKind::Budgets;
    d.windowClass = "TClientLookupForm";
    d.table = QStringLiteral("Client.DB");
    d.codeField = QStringLiteral("Cod_client");
    d.nameField = QStringLiteral("Nume_client");
    d.pickerCaption = QStringLiteral("Selectie de bugete");
    d.childCaption = QStringLiteral("Catalog surse de finantare");
    d.gridHint = QStringLiteral("Selectati bugetul si apasati butonul OK sau Enter");
    d.columns = {
        GridColumn(QStringLiteral("Cod_client"), QStringLiteral("Cod buget"), 90),
        GridColumn(QStringLiteral("Nume_client"), QStringLiteral("Denumire"), 280),
        GridColumn(QStringLiteral("Lock"), QStringLiteral("Calc Eco/Dep"), 80)
            .withPickList({QStringLiteral("True"), QStringLiteral("False")})
            .asHidden(),
    };
    d.accountField = QStringLiteral("Cont");
    d.defaultAccount = &common::Parameters::CCln;
    d.saveCheckMessage = QStringLiteral("Completati toate datele inregistrarii!");
    d.codeLength = 3;
    d.codeLengthMessage =
        QStringLiteral("Codul bugetului poate avea cel mult 3 caractere: documentele si stocurile pastreaza numai 3!");
    d.layoutFile = QStringLiteral("clnlook.cfg");
    d.emptyWarning = QStringLiteral("Adaugati bugete în catalog!");
    d.openError = QStringLiteral("Eroare de acces la catalogul de bugete!");
    d.reactsToRefresh = true;
    return d;
}

PartnerCatalogDef warehouses()
{
    PartnerCatalogDef d;
    d.kind = PartnerKind::Warehouses;
    d.windowClass = "TGestlookupForm";
    d.table = QStringLiteral("Gest.db");
    d.codeField = QStringLiteral("Cod");
    d.nameField = QStringLiteral("Denumire");
    d.pickerCaption = QStringLiteral("Catalog de gestiuni");
    d.childCaption = QStringLiteral("Catalog de gestiuni");
    d.gridHint = QStringLiteral("Selectati gestiunea si apasati butonul OK sau Enter");
    d.columns = {
        GridColumn(QStringLiteral("Cod"), QStringLiteral("Cod gestiune"), 90),
        GridColumn(QStringLiteral("Denumire"), QString(), 220),
        GridColumn(QStringLiteral("Gestionar"), QString(), 200),
    };
    d.saveCheckMessage = QStringLiteral("Completati codul gestiunii!");
    d.nameRequired = false;
    d.emptyWarning = QStringLiteral("Adaugati gestiuni în catalog!");
    d.openError = QStringLiteral("Eroare de acces la catalogul de gestiuni!");
    return d;
}

} // namespace

const PartnerCatalogDef& partnerCatalog(PartnerKind kind)
{
    static const PartnerCatalogDef defs[] = {suppliers(), budgets(), warehouses()};
    return defs[static_cast<int>(kind)];
}

} // namespace catalogs
