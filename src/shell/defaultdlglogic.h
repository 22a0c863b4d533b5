#pragma once
// The rules of the parameters dialog ("Optiuni", opened by "Parametri
// aplicatiei"), without widgets. The window (TDefaultDlg) shows `controls`,
// hands back what the user typed and calls these operations.
//
// Most controls reach the parameters only with OK. A few act at once and
// "Renunta" does not undo them: the decimal separator, the two tolerances and
// the two decimal counts; they change the parameters (and the formats) as
// soon as they are clicked and reach the file with OK.

#include "common/dialogs.h"
#include "common/formats.h"
#include "common/inifile.h"
#include "common/parameters.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace datastore {
class Database;
}

namespace shell {

inline constexpr const char* kAccountFormatMessage = "Specificati contul in format (9)999.(9)99.(9)99 !";
// The VAT rates are kept as whole percentages (so in the file), and what is
// used is what is kept: a rate with decimals is refused.
inline constexpr const char* kWholeRateMessage = "Coeficientii de TVA se specifica in procente intregi, fara zecimale!";

// The account edits that are checked, in the order OK checks them.
enum class AccountEdit { Supplier, Client, Goods, Expense, InputVat, OutputVat };
inline constexpr AccountEdit kCheckedAccounts[] = {AccountEdit::Supplier, AccountEdit::Client,
                                                   AccountEdit::Goods,    AccountEdit::Expense,
                                                   AccountEdit::InputVat, AccountEdit::OutputVat};

// What the controls that act only with OK hold.
struct DefaultDlgControls {
    // "&Valori implicite": the account edits.
    QString CFurn, CCln, CMf, CCh, CTVA_I, CTVA_E, CVen, CAd, CAcc;
    // "&Optiuni de &calcul"
    bool CCom = false, CLot = false, CAutoLot = false, CRetetar = false, CCaloric = false, CCantStoc = false;
    bool CGetPret = false, CPretFaraTva = false, CValEdit = false, CGenCod = false, CSerii = false;
    bool CodBare = false;
    QString CVal;
    bool roundTva = true, calcTva = false;
    bool fetchPrice = true;      // "Preia pretul de vînzare specificat în catalog " (else Calc)
    bool discountGrid = false;   // "Foloseste grila de discounturi in mod automat"
    bool Atention = false;
    bool checkForNewVersion = true, backupBdZilnic = true;
    // "Coeficienti &TVA"
    double CfTVA = 0, TVAZero = 0, TVAMed = 0, TVAStd = 0;
    // "Documente"
    QString County;
    bool PreprintedInvoice = false;
    QString SerFact, SerCF, SerAE;
    double FactN1 = 0, FactN2 = 0, CFN1 = 0, CFN2 = 0, AEN1 = 0, AEN2 = 0, ChN1 = 0;
    // The journal page (hidden).
    QString includeJurnalCump, includeJurnalVanz;
};

class DefaultDlgLogic {
public:
    // The tolerances move by powers of ten between these limits.
    static constexpr double kMinTolerance = 1e-10;
    static constexpr double kMaxEpsilon = 1;
    static constexpr double kMaxEpsilon1 = 1000;

    // `formats` are the program's formats: the separator buttons change them.
    DefaultDlgLogic(common::Parameters& params, common::Formats& formats, common::IniFile& appIni,
                    QString definitionFile, common::Dialogs& dialogs);

    // The currency codes of Valuta.db, in key order.
    static QStringList currencies(datastore::Database& db);

    // Set from the parameters when the dialog opens.
    DefaultDlgControls controls;

    // --- controls that act at once --------------------------------------
    bool commaSeparator() const;
    void setCommaSeparator(bool comma);
    QString exampleText() const;  // 12345.67 as "#,##0.00" with the current separators
    QString epsilonText() const;  // "0.###########"
    QString epsilon1Text() const;
    void stepEpsilon(bool up);    // down divides by 10, up multiplies by 10, within the limits
    void stepEpsilon1(bool up);
    void stepDecimalsLei(int delta);    // a step that leaves 2..10 is ignored
    void stepDecimalsValuta(int delta);
    int decimalsLei() const { return m_params.nrZecimaleLei; }
    int decimalsValuta() const { return m_params.nrZecimaleValuta; }

    // --- "Pret fara TVA" and "Valoarea" exclude each other ---------------
    void setPretFaraTva(bool checked);
    void setValoarea(bool checked);
    bool pretFaraTvaEnabled() const { return m_pretFaraTvaEnabled; }
    bool valoareaEnabled() const { return m_valoareaEnabled; }

    // --- account edits -----------------------------------------------------
    QString& account(AccountEdit edit);
    // Checks the edit's text; on failure warns. Leaving towards "Renunta" is
    // never checked. True when the focus may leave the edit.
    bool leaveAccount(AccountEdit edit, bool towardsCancel = false);

    // --- OK ------------------------------------------------------------------
    // Checks the six account edits in order and stops at the first failure
    // (false; failedAccount() tells which); then the numbers: a rate outside
    // kMinRate..kMaxRate or a series number that is not a whole number in its
    // range (a value that is not a number is NaN) is refused with a warning
    // (false; failedNumber() names its key), never brought into range; then
    // the four VAT rates (a rate with decimals: false, failedRate() names its
    // key). Otherwise copies the controls into the parameters and saves them
    // (EParameters when a file cannot be written).
    bool accept();
    std::optional<AccountEdit> failedAccount() const { return m_failed; }
    std::optional<QString> failedNumber() const { return m_failedNumber; }
    std::optional<QString> failedRate() const { return m_failedRate; }

    // The range a rate may be typed in (below 0 is saved as 0).
    static constexpr double kMinRate = -999;
    static constexpr double kMaxRate = 999;

private:
    void readParameters();
    bool checkAccount(AccountEdit edit);
    bool checkNumbers();

    common::Parameters& m_params;
    common::Formats& m_formats;
    common::IniFile& m_appIni;
    QString m_definitionFile;
    common::Dialogs& m_dialogs;
    bool m_pretFaraTvaEnabled = true;
    bool m_valoareaEnabled = true;
    std::optional<AccountEdit> m_failed;
    std::optional<QString> m_failedRate;
    std::optional<QString> m_failedNumber;
};

} // namespace shell
