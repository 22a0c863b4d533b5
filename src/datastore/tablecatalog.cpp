// The compiled table catalog: every table of a database directory,
// its fields in record order with type and size, its primary key and its
// secondary indexes. Fields "added by the upgrade chain" are part of the
// definitions: a database created new has them from the start.

#include "tablecatalog.h"

namespace datastore {

namespace {

QList<TableDef> buildDatabaseTables()
{
    QList<TableDef> t;

    // Versiune.db — version stamp; no index.
    t.append({QStringLiteral("Versiune.db"),
              {text("Ver", 10)},
              {}});

    // Aeser.DB — delivery note series and number.
    t.append({QStringLiteral("Aeser.DB"),
              {floating("Contor"), text("Serie", 10), floating("Number")},
              {primaryKey("Contor")}});

    // Av_in.DB — consolidated input delivery notes.
    t.append({QStringLiteral("Av_in.DB"),
              {floating("Contor"), date("Data_inregistrarii"), floating("Numar"), text("Tip", 3),
               date("Data"), text("Furnizor", 30), text("Explicatie", 255), floating("Contor_fact"),
               text("Agent", 3)},
              {primaryKey("Contor")}});

    // Av_out.DB — consolidated output delivery notes.
    t.append({QStringLiteral("Av_out.DB"),
              {floating("Contor"), date("Data_inregistrarii"), floating("Numar"), text("Tip", 3),
               date("Data"), text("Client", 30), text("Explicatie", 255), date("Data_scadenta"),
               floating("Contor_factura"), text("Agent", 3)},
              {primaryKey("Contor")}});

    // Avit_in.DB — lines of the consolidated input delivery notes.
    t.append({QStringLiteral("Avit_in.DB"),
              {floating("Contor"), floating("Contor_secundar"), text("Cod_gestiune", 4),
               text("Cod_grupa", 8), text("Cod_articol", 30), floating("Cantitate"),
               floating("Pret_achizitie_valuta"), text("Valuta", 3), floating("Pret_achizitie_lei"),
               floating("Pret_echiv_USD"), floating("TVA"), text("Cont_marfa", 20),
               text("Cont_TVA_Intrari", 20)},
              {primaryKey("Contor;Contor_secundar")}});

    // Avit_out.DB — lines of the consolidated output delivery notes.
    t.append({QStringLiteral("Avit_out.DB"),
              {floating("Contor"), floating("Contor_secundar"), text("Cod_gestiune", 4),
               text("Cod_grupa", 8), text("Cod_articol", 30), floating("Cantitate"),
               floating("Pret_achizitie"), floating("Pret_vinzare"), floating("Pret_vz_echiv_USD"),
               floating("TVA"), text("Cont_marfa", 20), text("Cont_cheltuieli", 20),
               text("Cont_TVA_Iesiri", 20), text("Cont_accize", 20), floating("Acciza"),
               text("Cont_adaos", 20), text("Cont_venituri", 20)},
              {primaryKey("Contor;Contor_secundar")}});

    // Catalog.DB — article catalog.
    t.append({QStringLiteral("Catalog.DB"),
              {text("Grupa", 8), text("Cod", 30), text("Denumire", 255), text("Descriere", 255),
               text("Unitate_masura", 4), text("Generic 1", 15), text("Generic 2", 15),
               text("Generic 3", 15), text("Generic 4", 15), floating("Pret_vinzare"),
               text("Moneda", 3), text("Cont_marfa", 20), text("Cont_cheltuieli", 20),
               text("Cont_TVA_Intrari", 20), text("Cont_TVA_Iesiri", 20), floating("Coef_TVA"),
               text("Cont_accize", 20), floating("Coef_accize"), text("Cont_adaos", 20),
               text("Cont_venituri", 20), floating("Stock_minim"), text("Cod_bare", 60),
               floating("CantReteta"),
               // added by the upgrade chain
               floating("Proteine"), floating("Lipide"), floating("Glucide"), floating("Calorii"),
               floating("ZileValabilitate")},
              {primaryKey("Grupa;Cod"),
               secondary("ByName", "Grupa;Denumire"),
               secondary("ByDescript", "Grupa;Descriere")}});

    // Cfser.DB — fiscal receipt series and number.
    t.append({QStringLiteral("Cfser.DB"),
              {floating("Contor"), text("Serie", 10), floating("Number")},
              {primaryKey("Contor")}});

    // Ch_agent.DB — receipts per beneficiary.
    t.append({QStringLiteral("Ch_agent.DB"),
              {text("Agent", 3), date("Data"), text("Tip", 10), text("Chitanta", 10),
               floating("Suma"), memo("Comentariu", 10), text("Emitent", 100)},
              {primaryKey("Agent;Data;Tip;Chitanta")}});

    // Chser.db — receipt number of a collection.
    t.append({QStringLiteral("Chser.db"),
              {floating("Contor"), date("Data_platii"), floating("Numar")},
              {primaryKey("Contor;Data_platii")}});

    // Client.DB — budgets (clients) catalog.
    t.append({QStringLiteral("Client.DB"),
              {text("Cod_client", 30), text("Nume_client", 255), text("Adresa", 30),
               text("Judetul", 15), text("Banca", 255), text("Cont_bancar", 60),
               text("Cod_fiscal", 15), text("ORC", 20), text("Tel", 12), text("Fax", 12),
               text("Cont", 20), floating("Discount"), integer("Grila"), boolean("Lock"),
               floating("Limita_credit"), floating("Credit_actual"), floating("Rest_credit"),
               text("Atentie", 10)},
              {primaryKey("Cod_client"),
               secondary("ByName", "Nume_client")}});

    // Clnpay.DB — collections for output documents.
    t.append({QStringLiteral("Clnpay.DB"),
              {text("Cod_client", 30), floating("Contor_document"), date("Data_platii"),
               autoInc("Nrcrt"), floating("Suma"), text("Comentariu", 255),
               text("Cont_contabil", 20)},
              {primaryKey("Cod_client;Contor_document;Data_platii;Nrcrt")}});

    // Counter.DB — last internal counters; no index.
    t.append({QStringLiteral("Counter.DB"),
              {floating("NewCounterIn"), floating("NewCounterOut"), floating("NewCounterOff"),
               floating("NewCounterCom"), floating("NewCounterOffC"), floating("NewCounterProf")},
              {}});

    // Curs.db — exchange rates.
    t.append({QStringLiteral("Curs.db"),
              {text("Valuta", 3), date("Data"), floating("Curs")},
              {primaryKey("Valuta;Data")}});

    // Doc_Com.Db — order headers.
    t.append({QStringLiteral("Doc_Com.Db"),
              {floating("Contor"), date("Data"), floating("Numar"), text("Cod_Furnizor", 30),
               text("Explicatie", 255)},
              {primaryKey("Contor")}});

    // Doc_in.DB — input document headers.
    t.append({QStringLiteral("Doc_in.DB"),
              {floating("Contor"), date("Data_inregistrarii"), floating("Numar"), text("Tip", 3),
               date("Data"), text("Furnizor", 30), text("Explicatie", 255)},
              {primaryKey("Contor"),
               secondary("ByDate", "Data_inregistrarii")}});

    // Doc_out.DB — output document headers.
    t.append({QStringLiteral("Doc_out.DB"),
              {floating("Contor"), date("Data_inregistrarii"), floating("Numar"), text("Tip", 3),
               date("Data"), text("Client", 30), text("Explicatie", 255), date("Data_scadenta"),
               text("Agent", 3)},
              {primaryKey("Contor"),
               secondary("ByDate", "Data_inregistrarii")}});

    // Doc_prof.DB — proforma / scrapping proposal headers.
    t.append({QStringLiteral("Doc_prof.DB"),
              {floating("Contor"), date("Data_inregistrarii"), floating("Numar"), date("Data"),
               text("Client", 30), text("Explicatie", 255), date("Data_scadenta")},
              {primaryKey("Contor"),
               secondary("ByDate", "Data_inregistrarii")}});

    // Fctser.DB — invoice series and number.
    t.append({QStringLiteral("Fctser.DB"),
              {floating("Contor"), text("Serie", 10), floating("Number")},
              {primaryKey("Contor")}});

    // Firmdata.DB — firm data.
    t.append({QStringLiteral("Firmdata.DB"),
              {smallInt("Cod"), text("Denumire", 255), text("Adresa", 40), text("Judet", 20),
               text("Cod fiscal", 20), text("ORC", 20), text("Banca", 255), text("Cont", 60),
               floating("Capital"), text("Capital_text", 100),
               // added by the upgrade chain
               text("Comisia1", 100), text("Comisia2", 100), text("Comisia3", 100),
               text("Comisia4", 100), text("Comisia5", 100), text("Comisia6", 100)},
              {primaryKey("Cod")}});

    // Furn.DB — supplier catalog.
    t.append({QStringLiteral("Furn.DB"),
              {text("Cod_furnizor", 30), text("Nume_furnizor", 255), text("Cont_creditor", 20),
               text("Adresa", 30), text("Banca", 15), text("Cont_bancar", 60),
               text("Cod_fiscal", 15), text("ORC", 20), text("Tel", 12), text("Fax", 12)},
              {primaryKey("Cod_furnizor"),
               secondary("ByName", "Nume_furnizor")}});

    // Gest.db — warehouse catalog.
    t.append({QStringLiteral("Gest.db"),
              {text("Cod", 4), text("Denumire", 30),
               // added by the upgrade chain
               text("Gestionar", 100)},
              {primaryKey("Cod"),
               secondary("ByName", "Denumire")}});

    // Grup.db — article groups.
    t.append({QStringLiteral("Grup.db"),
              {text("Cod_material", 10), text("Cod_grupa", 8), text("Denumire", 100),
               text("Cont_sint", 20), boolean("Target")},
              {primaryKey("Cod_material;Cod_grupa")}});

    // Item_Com.DB — order lines.
    t.append({QStringLiteral("Item_Com.DB"),
              {floating("Contor"), floating("Contor_secundar"), text("Cod_grupa", 8),
               text("Cod_articol", 30), floating("Cantitate_solicitata"), text("Cod_Agent", 3),
               // added by the upgrade chain
               floating("Pret"), date("Termen")},
              {primaryKey("Contor;Contor_secundar")}});

    // Item_in.DB — input document lines.
    t.append({QStringLiteral("Item_in.DB"),
              {floating("Contor"), floating("Contor_secundar"), text("Cod_gestiune", 4),
               text("Cod_grupa", 8), text("Cod_articol", 30), text("Lot", 30),
               floating("Cantitate"), floating("Pret_achizitie_valuta"), text("Valuta", 3),
               floating("Pret_achizitie_lei"), floating("Pret_echiv_USD"), floating("TVA"),
               text("Cont_marfa", 20), text("Cont_TVA_Intrari", 20), text("Agent", 3),
               floating("Contor_Com"), boolean("Serii"), text("Cod_bare", 60)},
              {primaryKey("Contor;Contor_secundar"),
               secondary("ByCodArt", "Cod_grupa;Cod_articol;Pret_achizitie_lei")}});

    // Item_out.DB — output document lines.
    t.append({QStringLiteral("Item_out.DB"),
              {floating("Contor"), floating("Contor_secundar"), text("Cod_gestiune", 4),
               text("Cod_grupa", 8), text("Cod_articol", 30), floating("Cantitate"),
               floating("Pret_achizitie"), floating("Pret_vinzare"), floating("Pret_vz_echiv_USD"),
               floating("TVA"), text("Cont_marfa", 20), text("Cont_cheltuieli", 20),
               text("Cont_TVA_Iesiri", 20), text("Cont_accize", 20), floating("Acciza"),
               text("Cont_adaos", 20), text("Cont_venituri", 20), text("Lot", 30),
               text("Agent", 3), text("Cod_bare", 60)},
              {primaryKey("Contor;Contor_secundar"),
               secondary("ByCodArt", "Cod_grupa;Cod_articol;Pret_achizitie")}});

    // Item_prof.DB — proforma / scrapping proposal lines.
    t.append({QStringLiteral("Item_prof.DB"),
              {floating("Contor"), floating("Contor_secundar"), text("Cod_gestiune", 4),
               text("Cod_grupa", 8), text("Cod_articol", 30), floating("Cantitate"),
               floating("Pret_achizitie"), floating("Pret_vinzare"), floating("Pret_vz_echiv_USD"),
               floating("TVA"),
               // added by the upgrade chain
               text("Buget", 3), text("Lot", 30)},
              {primaryKey("Contor;Contor_secundar"),
               secondary("ByCodArt", "Cod_grupa;Cod_articol;Pret_achizitie")}});

    // Of_item.DB — offer lines.
    t.append({QStringLiteral("Of_item.DB"),
              {floating("Contor"), floating("ContorSec"), text("Group", 8), text("Art", 30),
               text("Name", 30), text("UM", 4), text("Descript", 255), text("Gen1", 15),
               text("Gen2", 15), text("Gen3", 15), text("Gen4", 15), floating("Price"),
               text("Currency", 3)},
              {primaryKey("Contor;ContorSec")}});

    // OfC_item.DB — lines of offers with quantity.
    t.append({QStringLiteral("OfC_item.DB"),
              {floating("Contor"), floating("ContorSec"), text("Group", 8), text("Art", 30),
               text("Name", 30), text("UM", 4), text("Descript", 255), floating("Price"),
               text("Currency", 3), floating("Cant"), floating("Val")},
              {primaryKey("Contor;ContorSec")}});

    // Offer.DB — offer headers.
    t.append({QStringLiteral("Offer.DB"),
              {floating("Contor"), date("Data"), text("Client", 30), text("Attn", 20),
               text("FilledBy", 20), text("Expl", 40), memo("Header", 2), memo("Footer", 2)},
              {primaryKey("Contor")}});

    // OfferC.DB — headers of offers with quantity.
    t.append({QStringLiteral("OfferC.DB"),
              {floating("Contor"), date("Data"), text("Client", 30), text("Attn", 20),
               text("FilledBy", 20), text("Expl", 40), memo("Header", 2), memo("Footer", 2)},
              {primaryKey("Contor")}});

    // Reteta.DB — recipes.
    t.append({QStringLiteral("Reteta.DB"),
              {text("Cod", 30), text("Cod_MatPrim", 30), text("Cod_Grupa", 8),
               floating("Cant_MatPrim")},
              {primaryKey("Cod;Cod_MatPrim")}});

    // Serie.DB — serial numbers; no index.
    t.append({QStringLiteral("Serie.DB"),
              {floating("Contor"), floating("ContorSec"), text("Grupa", 8), text("Cod_articol", 30),
               floating("SerieFurn"), floating("Serie")},
              {}});

    // Splpay.DB — supplier payments in lei.
    t.append({QStringLiteral("Splpay.DB"),
              {text("Cod_furn", 30), floating("Contor_document"), date("Data_platii"),
               autoInc("Nrcrt"), floating("Suma"), text("Comentariu", 255),
               text("Cont_contabil", 20)},
              {primaryKey("Cod_furn;Contor_document;Data_platii;Nrcrt")}});

    // Splvpay.DB — supplier payments in a currency.
    t.append({QStringLiteral("Splvpay.DB"),
              {text("Cod_furn", 30), floating("Contor_document"), text("Valuta", 3),
               date("Data_platii"), autoInc("NrCtr"), floating("Suma"), text("Comentariu", 255),
               text("Cont_contabil", 20)},
              {primaryKey("Cod_furn;Contor_document;Valuta;Data_platii;NrCtr")}});

    // Stoc.DB — current stock.
    t.append({QStringLiteral("Stoc.DB"),
              {text("Cod_gestiune", 4), text("Cod_grupa", 8), text("Cod_articol", 30),
               floating("Pret_achizitie"), text("Lot", 30), text("Agent", 3),
               floating("Cantitate"), text("Cod_bare", 60)},
              {primaryKey("Cod_gestiune;Cod_grupa;Cod_articol;Pret_achizitie;Lot;Agent")}});

    // Stoc_Com.DB — ordered quantities still expected.
    t.append({QStringLiteral("Stoc_Com.DB"),
              {floating("Contor"), text("Cod_grupa", 8), text("Cod_articol", 30),
               text("Cod_agent", 3), text("Cod_furnizor", 30), floating("Cant_solicitata"),
               floating("Cant_anulata")},
              {primaryKey("Contor;Cod_grupa;Cod_articol;Cod_agent")}});

    // Target.DB — sales targets; no index.
    t.append({QStringLiteral("Target.DB"),
              {text("Cod_gest", 4), text("Cod_grupa", 8), integer("An"), integer("Luna"),
               floating("Target"), text("Moneda", 3)},
              {}});

    // User.db — keepers and beneficiaries.
    t.append({QStringLiteral("User.db"),
              {text("Init", 3), text("Name", 20), text("Psw", 15), smallInt("Acces")},
              {primaryKey("Init")}});

    // Valuta.db — currencies.
    t.append({QStringLiteral("Valuta.db"),
              {text("Moneda", 3), text("Denumire", 20)},
              {primaryKey("Moneda")}});

    // Acces.DB — access levels: Niv_acces, then 46 booleans (one per main-menu command).
    {
        TableDef acces;
        acces.name = QStringLiteral("Acces.DB");
        acces.fields.append(smallInt("Niv_acces"));
        static const char* const commands[] = {
            "Doc_in", "Doc_out", "Cat_art", "Cat_cl", "Cat_fur", "Cat_gest", "Date_firma",
            "Utilizatori", "Stoc_crt", "Stoc_init", "Fact_neinc", "Fact_neac", "Oferta",
            "Intrari", "Iesiri", "Intr_valuta", "Ies_valuta", "Jurnale", "Note_contabile",
            "Balanta", "Balanta_verif", "Incasari", "Plati_Lei", "Plati_Valuta", "Stoc_Lei",
            "Stoc_Valuta", "Arhivare", "Restaurare", "Recalc_stoc", "Valori_implicite",
            "Interval_actualizare", "Consolidare_In", "Consolidare_Out", "Intr_Agenti",
            "Stoc_Agenti", "Comenzi", "Comenzi_Emise", "Comenzi_Neonorate", "Centralizator",
            "Stoc_Total", "Modul_Aux", "Op_Arhivare", "Vinz_Zilnice", "Vinz_Perioada", "Retur",
            "Grila_discount",
        };
        static_assert(sizeof(commands) / sizeof(commands[0]) == 46);
        for (const char* c : commands)
            acces.fields.append(boolean(QString::fromLatin1(c)));
        acces.indexes.append(primaryKey("Niv_acces"));
        t.append(acces);
    }

    // item_grila.DB — discount percent per group within a grid.
    t.append({QStringLiteral("item_grila.DB"),
              {integer("Grila"), text("Cod_grupa", 8), floating("Discount")},
              {primaryKey("Grila;Cod_grupa")}});

    // grila.DB — discount grids.
    t.append({QStringLiteral("grila.DB"),
              {integer("Grila"), text("Nume_grila", 30)},
              {primaryKey("Grila")}});

    // Materiale.db — material classes (account field in capitals).
    t.append({QStringLiteral("Materiale.db"),
              {text("Cod_material", 10), text("Denumire", 100), text("CONT_SINT", 20)},
              {primaryKey("Cod_material")}});

    // ValAlocatie.DB — value of an allocation type from a date on.
    t.append({QStringLiteral("ValAlocatie.DB"),
              {floating("Cod"), date("Data"), floating("Valoare"), date("DataSf")},
              {primaryKey("Cod;Data")}});

    // Alocatie.DB — persons per allocation type on a daily list line.
    t.append({QStringLiteral("Alocatie.DB"),
              {floating("Contor"), floating("Contor_secundar"), floating("CodAlocatie"),
               floating("NrPersoane")},
              {primaryKey("Contor;Contor_secundar;CodAlocatie"),
               secondary("CodAlocatie", "CodAlocatie", /*caseInsensitive=*/false)}});

    // TipAlocatie.DB — allocation types.
    t.append({QStringLiteral("TipAlocatie.DB"),
              {floating("Cod"), text("Denumire", 100),
               // added by the upgrade chain
               floating("ReportNrPers"), floating("ReportDrepturi"), floating("ReportConsum"),
               boolean("EcoDep")},
              {primaryKey("Cod")}});

    return t;
}

QList<TableDef> buildUncheckedTables()
{
    QList<TableDef> t;

    // TargetA.DB — sales targets per beneficiary; neither created nor validated; no index.
    t.append({QStringLiteral("TargetA.DB"),
              {text("Agent", 3), text("Cod_Grupa", 8), integer("An"), integer("Luna"),
               floating("Target"), text("Moneda", 3)},
              {}});

    return t;
}

// The table name without a trailing ".db" (any case).
QString baseName(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        return trimmed.left(trimmed.size() - 3);
    return trimmed;
}

const TableDef* findIn(const QList<TableDef>& list, const QString& base)
{
    for (const TableDef& def : list) {
        if (baseName(def.name).compare(base, Qt::CaseInsensitive) == 0)
            return &def;
    }
    return nullptr;
}

} // namespace

const QList<TableDef>& databaseTables()
{
    static const QList<TableDef> tables = buildDatabaseTables();
    return tables;
}

const QList<TableDef>& uncheckedTables()
{
    static const QList<TableDef> tables = buildUncheckedTables();
    return tables;
}

const TableDef* findTableDef(const QString& name)
{
    const QString base = baseName(name);
    if (base.isEmpty())
        return nullptr;
    if (const TableDef* def = findIn(databaseTables(), base))
        return def;
    return findIn(uncheckedTables(), base);
}

} // namespace datastore
