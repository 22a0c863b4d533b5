#pragma once
// The application parameters: one in-memory set of named values that tune the
// documents, catalogs and reports. Most of them live in the definition file
// TBXDEF.INI of the database directory (sections Default, Series and
// Permision), so each database carries its own; a few machine-related ones in
// section Options of the application INI file.
//
// Members whose key is a plain identifier carry the key's own name
// (CLot, Epsilon, SellPrice); the others are named after their key text
// ("Round TVA" -> roundTva). Every value is also readable by its key name
// through Parameters::value().

#include "formats.h"
#include "inifile.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <stdexcept>

namespace common {

inline constexpr const char* kDefinitionFileName = "TBXDEF.INI";

// Sections.
inline constexpr const char* kDefaultSection = "Default";
inline constexpr const char* kSeriesSection = "Series";
inline constexpr const char* kPermisionSection = "Permision";
inline constexpr const char* kAppOptionsSection = "Options";

// Capacities: longer texts are cut when loaded or taken from the dialog.
inline constexpr int kCurrencyCapacity = 4; // CVal
inline constexpr int kAccountCapacity = 12; // CFurn, CCln, CCh, CMf, CTVA_I, CTVA_E, CVen, CAd, CAcc
inline constexpr int kCountyCapacity = 4;   // County
inline constexpr int kSeriesCapacity = 4;   // SerFact, SerCF, SerAE

// Decimals of prices: "Nr zecimale lei", "Nr zecimale valuta".
inline constexpr int kMinDecimals = 2;
inline constexpr int kMaxDecimals = 10;

// Series numbers (section Series): whole numbers from 0 to their maximum,
// written as plain digits and read back only as plain digits, so a number is
// always read exactly as it was written.
inline constexpr double kSeriesNumberMax = 9999999999.0; // FactN1, FactN2, CFN1, CFN2, AEN1, AEN2: 10 digits
inline constexpr double kReceiptNumberMax = 99999999.0;  // ChN1: 8 digits

// The maximum of a series number key ("ChN1" -> kReceiptNumberMax).
double seriesNumberMax(const QString& key);
// The number a series text holds: digits only (blanks around them allowed),
// at most `maximum`; nothing for anything else ("1.000", "1e3", "-5", "").
std::optional<double> parseSeriesNumber(const QString& text, double maximum);
// A whole number from 0 to `maximum`.
bool isSeriesNumber(double value, double maximum);

// Catalog.Pret_vinzare holds a sale price (Fetch) or a markup percentage (Calc).
enum class SellPriceMode { Fetch, Calc };

struct Parameters {
    // --- TBXDEF.INI, section Default -------------------------------------
    bool CCom = false;          // order handling in input documents
    bool CLot = false;          // stock is kept per lot
    bool CAutoLot = false;      // new lots are numbered MAX+1
    bool CRetetar = false;      // production recipes
    bool CCaloric = false;      // nutrition columns of the article catalog
    bool CCantStoc = false;     // picking a stock line proposes its whole quantity
    bool CGetPret = false;      // prices are copied from the catalog
    bool CPretFaraTva = false;  // input lines are entered with the price without VAT
    bool CValEdit = false;      // input lines are entered by value
    bool CGenCod = false;       // automatic article codes
    bool CSerii = false;        // serial numbers of input lines
    bool CodBare = false;       // bar-code entry in input documents
    QString CVal = QStringLiteral("USD"); // reference currency
    // Default accounts of new suppliers, budgets and articles.
    QString CFurn = QStringLiteral("401");
    QString CCln = QStringLiteral("411");
    QString CCh = QStringLiteral("607");
    QString CMf = QStringLiteral("371");
    QString CTVA_I = QStringLiteral("4426");
    QString CTVA_E = QStringLiteral("4427");
    QString CVen = QStringLiteral("707");
    QString CAd = QStringLiteral("378");
    QString CAcc = QStringLiteral("446");
    // VAT rates in percent: whole numbers, in memory as in the file (the
    // dialog refuses decimals; a fraction is rounded when saved).
    double CfTVA = 19;   // VAT rate of new articles
    double TVAZero = 0;  // first VAT column of the journals
    double TVAMed = 11;  // reduced VAT column of the journals
    double TVAStd = 19;  // standard VAT column of the journals
    QChar decimalSeparator = QLatin1Char('.'); // "Decimal separator": "Coma" for ',', "Period" for '.'
    bool roundTva = true;                      // "Round TVA"
    bool calcTva = false;                      // "Calc TVA"
    QString includeJurnalCump = QStringLiteral("AE;FCT"); // "Include Jurnal Cump"
    QString includeJurnalVanz = QStringLiteral("AE;FCT"); // "Include Jurnal Vanz"
    SellPriceMode SellPrice = SellPriceMode::Fetch;
    bool PreprintedInvoice = false;       // invoices and notes on pre-printed forms
    QString County = QStringLiteral("MS"); // county initials printed on invoices and notes
    int nrZecimaleValuta = 2;             // "Nr zecimale valuta", 2..10
    int nrZecimaleLei = 2;                // "Nr zecimale lei", 2..10
    double Epsilon = 0.00001;             // a quantity or amount within it of zero counts as zero
    double Epsilon1 = 0.01;               // tolerance of collections and payments
    bool Atention = false;
    bool GrilaCalculDisc = false;         // discounts come from the client's discount grid
    int FirmNo = 0;                       // Firmdata.Cod of the current firm
    bool CodProdusPeFact = true;          // article codes are printed on invoices and notes

    // --- TBXDEF.INI, section Series --------------------------------------
    QString SerFact;     // invoice series
    double FactN1 = 0;   // invoice numbers: first and last of the range
    double FactN2 = 0;
    QString SerCF;       // fiscal receipt series
    double CFN1 = 0;
    double CFN2 = 0;
    QString SerAE;       // delivery note series
    double AEN1 = 0;     // delivery note numbers: first and last of the range
    double AEN2 = 0;
    double ChN1 = 0;     // first receipt number

    // --- TBXDEF.INI, section Permision -----------------------------------
    QString conversieLaRon; // "Conversie la RON": "1" once the database holds new lei

    // --- application INI file, section Options ---------------------------
    int Refresh = 30;               // seconds between refresh ticks; 0 stops them
    bool checkForNewVersion = true; // "Check for new version"
    bool backupBdZilnic = true;     // "Backup BD zilnic"
    QString ImageBackground;        // background picture of the main window
    QString ImageHeader;            // picture for the header of printed offers
    bool Toolbar = true;            // written at exit
    bool Germana = false;           // written at exit

    // The value of a key, by its name ignoring case ("CLot", "Round TVA",
    // "Nr zecimale lei", "Refresh"): booleans as bool, texts as QString,
    // whole numbers of the Default and Options sections as int, rates, series
    // numbers and tolerances as double; "Decimal separator" and SellPrice as
    // the text the file holds ("Coma"/"Period", "Fetch"/"Calc"). An unknown
    // key gives an invalid QVariant.
    QVariant value(const QString& key) const;
    // Every key name, in the order of the files.
    static const QStringList& keyNames();

    // The thousands separator that goes with the decimal separator.
    QChar thousandSeparator() const;
    // Formats with these separators (the other regional settings as given).
    Formats formatsWith(Formats base = Formats()) const;
};

// Loading or saving failed: a Series number that is not a number, or a file
// that cannot be written. The message is the user's.
class EParameters : public std::runtime_error {
public:
    explicit EParameters(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// The definition file is there but cannot be read (no permission, a
// directory, a pipe, a device, a huge file): nothing was loaded from it, and
// nothing may be saved over it.
class EParameterFileUnreadable : public EParameters {
public:
    using EParameters::EParameters;
};

// "Fisierul de parametri ... nu poate fi citit ...": the message of a file
// that could not be read.
QString unreadableParameterFileMessage(const IniFile& file);

struct LoadedParameters {
    // The menu item "Conversie la RON" is shown and enabled, unless the
    // database already holds new lei.
    bool convertToRonVisible = true;
};

// Reads sections Default, Series and Permision of a definition file into
// `params`. Keys are read in a fixed order; an absent key keeps the value in
// memory (the built-in one at the first opening, the previous database's
// after a switch), except "Round TVA", "Calc TVA", "Decimal separator",
// CodProdusPeFact, SellPrice, FirmNo and "Conversie la RON", whose absence
// gives their built-in value. A value that is not a number counts as absent.
// The decimal separator goes into `formats` as soon as it is read, so the
// numbers after it are read with it. A Series number that is not a whole
// number in its range (plain digits) throws EParameters; the keys before it
// are already in `params`, the keys after it are not read. A file that is
// there but cannot be read throws EParameterFileUnreadable before anything
// is changed.
LoadedParameters LoadParameters(Parameters& params, Formats& formats, const QString& definitionFile);

// Reads section Options of the application INI file (absent keys keep the
// value in memory).
void LoadOptions(Parameters& params, const IniFile& appIni);

// Writes "Check for new version" and "Backup BD zilnic" to the application
// INI file, then sections Default and Series of the definition file, key by
// key in a fixed order. Booleans are "1"/"0"; rates whole numbers (below 0
// written as 0); whole numbers in fixed notation; Epsilon and Epsilon1 with
// "0.###########". FirmNo and CodProdusPeFact belong to their own windows and
// are not written. Throws EParameters when a file cannot be written or a
// series number is not a whole number in its range (nothing is written
// then), EParameterFileUnreadable when the definition file cannot be read.
void SaveParameters(const Parameters& params, IniFile& appIni, const QString& definitionFile);

} // namespace common
