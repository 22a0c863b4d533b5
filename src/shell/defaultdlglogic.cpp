#include "defaultdlglogic.h"

#include "common/accountsymbol.h"
#include "datastore/database.h"

#include <cmath>
#include <algorithm>
#include <cmath>

namespace shell {

namespace {

const QString kToleranceMask = QStringLiteral("0.###########");

// One step of a tolerance: a power of ten up or down, never past the limits.
// The result is the double nearest its decimal text, so that repeated steps
// land exactly on the limits. A value of zero or below (written so by hand
// in the file) cannot be multiplied upwards: up brings it to the lower limit.
double stepTolerance(double value, bool up, double upper)
{
    if (up && !(value > 0))
        return DefaultDlgLogic::kMinTolerance;
    if (up ? value >= upper : value <= DefaultDlgLogic::kMinTolerance)
        return value;
    const double next = up ? value * 10 : value / 10;
    return QString::number(next, 'g', 12).toDouble();
}

} // namespace

DefaultDlgLogic::DefaultDlgLogic(common::Parameters& params, common::Formats& formats, common::IniFile& appIni,
                                 QString definitionFile, common::Dialogs& dialogs)
    : m_params(params), m_formats(formats), m_appIni(appIni), m_definitionFile(std::move(definitionFile)),
      m_dialogs(dialogs)
{
    readParameters();
}

QStringList DefaultDlgLogic::currencies(datastore::Database& db)
{
    QStringList codes;
    datastore::Query q = db.query(QStringLiteral("SELECT Moneda FROM \"Valuta.db\" ORDER BY Moneda"));
    while (q.next())
        if (!q.value(0).isNull())
            codes << q.value(0).toString();
    return codes;
}

void DefaultDlgLogic::readParameters()
{
    const common::Parameters& p = m_params;
    DefaultDlgControls& c = controls;
    c.CFurn = p.CFurn;
    c.CCln = p.CCln;
    c.CMf = p.CMf;
    c.CCh = p.CCh;
    c.CTVA_I = p.CTVA_I;
    c.CTVA_E = p.CTVA_E;
    c.CVen = p.CVen;
    c.CAd = p.CAd;
    c.CAcc = p.CAcc;
    c.CCom = p.CCom;
    c.CLot = p.CLot;
    c.CAutoLot = p.CAutoLot;
    c.CRetetar = p.CRetetar;
    c.CCaloric = p.CCaloric;
    c.CCantStoc = p.CCantStoc;
    c.CGetPret = p.CGetPret;
    c.CGenCod = p.CGenCod;
    c.CSerii = p.CSerii;
    c.CodBare = p.CodBare;
    c.CVal = p.CVal;
    c.roundTva = p.roundTva;
    c.calcTva = p.calcTva;
    c.fetchPrice = p.SellPrice == common::SellPriceMode::Fetch;
    c.discountGrid = p.GrilaCalculDisc;
    c.Atention = p.Atention;
    c.checkForNewVersion = p.checkForNewVersion;
    c.backupBdZilnic = p.backupBdZilnic;
    c.CfTVA = p.CfTVA;
    c.TVAZero = p.TVAZero;
    c.TVAMed = p.TVAMed;
    c.TVAStd = p.TVAStd;
    c.County = p.County;
    c.PreprintedInvoice = p.PreprintedInvoice;
    c.SerFact = p.SerFact;
    c.SerCF = p.SerCF;
    c.SerAE = p.SerAE;
    c.FactN1 = p.FactN1;
    c.FactN2 = p.FactN2;
    c.CFN1 = p.CFN1;
    c.CFN2 = p.CFN2;
    c.AEN1 = p.AEN1;
    c.AEN2 = p.AEN2;
    c.ChN1 = p.ChN1;
    c.includeJurnalCump = p.includeJurnalCump;
    c.includeJurnalVanz = p.includeJurnalVanz;
    // The pair is set one after the other, as its two check boxes are: when
    // a file sets both, "Valoarea" wins.
    c.CPretFaraTva = false;
    c.CValEdit = false;
    setPretFaraTva(p.CPretFaraTva);
    if (p.CValEdit)
        setValoarea(true);
}

// ---- controls that act at once ----------------------------------------------

bool DefaultDlgLogic::commaSeparator() const
{
    return m_params.decimalSeparator == QLatin1Char(',');
}

void DefaultDlgLogic::setCommaSeparator(bool comma)
{
    m_params.decimalSeparator = comma ? QLatin1Char(',') : QLatin1Char('.');
    m_formats.setDecimalSeparator(m_params.decimalSeparator);
}

QString DefaultDlgLogic::exampleText() const
{
    return common::formatFloat(QStringLiteral("#,##0.00"), 12345.67, m_formats);
}

QString DefaultDlgLogic::epsilonText() const
{
    return common::formatFloat(kToleranceMask, m_params.Epsilon, m_formats);
}

QString DefaultDlgLogic::epsilon1Text() const
{
    return common::formatFloat(kToleranceMask, m_params.Epsilon1, m_formats);
}

void DefaultDlgLogic::stepEpsilon(bool up)
{
    m_params.Epsilon = stepTolerance(m_params.Epsilon, up, kMaxEpsilon);
}

void DefaultDlgLogic::stepEpsilon1(bool up)
{
    m_params.Epsilon1 = stepTolerance(m_params.Epsilon1, up, kMaxEpsilon1);
}

namespace {
void stepDecimals(int& decimals, int delta)
{
    const int next = decimals + delta;
    if (next >= common::kMinDecimals && next <= common::kMaxDecimals)
        decimals = next;
}
} // namespace

void DefaultDlgLogic::stepDecimalsLei(int delta)
{
    stepDecimals(m_params.nrZecimaleLei, delta);
}

void DefaultDlgLogic::stepDecimalsValuta(int delta)
{
    stepDecimals(m_params.nrZecimaleValuta, delta);
}

// ---- the exclusive pair -----------------------------------------------------

// Checking one unchecks the other, which enables the first again.
void DefaultDlgLogic::setPretFaraTva(bool checked)
{
    controls.CPretFaraTva = checked;
    m_valoareaEnabled = !checked;
    if (checked) {
        controls.CValEdit = false;
        m_pretFaraTvaEnabled = true;
    }
}

void DefaultDlgLogic::setValoarea(bool checked)
{
    controls.CValEdit = checked;
    m_pretFaraTvaEnabled = !checked;
    if (checked) {
        controls.CPretFaraTva = false;
        m_valoareaEnabled = true;
    }
}

// ---- account edits ----------------------------------------------------------

QString& DefaultDlgLogic::account(AccountEdit edit)
{
    switch (edit) {
    case AccountEdit::Supplier: return controls.CFurn;
    case AccountEdit::Client: return controls.CCln;
    case AccountEdit::Goods: return controls.CMf;
    case AccountEdit::Expense: return controls.CCh;
    case AccountEdit::InputVat: return controls.CTVA_I;
    case AccountEdit::OutputVat: break;
    }
    return controls.CTVA_E;
}

bool DefaultDlgLogic::checkAccount(AccountEdit edit)
{
    if (common::CheckAccountSymbol(account(edit)).accepted)
        return true;
    m_dialogs.warning(QLatin1String(kAccountFormatMessage));
    return false;
}

bool DefaultDlgLogic::leaveAccount(AccountEdit edit, bool towardsCancel)
{
    return towardsCancel || checkAccount(edit);
}

// ---- OK -----------------------------------------------------------------------

bool DefaultDlgLogic::checkNumbers()
{
    struct Number {
        const char* key;
        double DefaultDlgControls::*member;
        const char* caption;
        bool series;
    };
    static constexpr Number numbers[] = {
        {"CfTVA", &DefaultDlgControls::CfTVA, "Coeficientul implicit de TVA (%)", false},
        {"TVAZero", &DefaultDlgControls::TVAZero, "TVA minim (marfuri scutite de TVA, %)", false},
        {"TVAMed", &DefaultDlgControls::TVAMed, "TVA redus (%)", false},
        {"TVAStd", &DefaultDlgControls::TVAStd, "TVA standard (%)", false},
        {"FactN1", &DefaultDlgControls::FactN1, "Facturi, de la numarul", true},
        {"FactN2", &DefaultDlgControls::FactN2, "Facturi, pîna la numarul", true},
        {"CFN1", &DefaultDlgControls::CFN1, "Chitante fiscale, de la numarul", true},
        {"CFN2", &DefaultDlgControls::CFN2, "Chitante fiscale, pîna la numarul", true},
        {"AEN1", &DefaultDlgControls::AEN1, "Avize de expeditie, de la numarul", true},
        {"AEN2", &DefaultDlgControls::AEN2, "Avize de expeditie, pîna la numarul", true},
        {"ChN1", &DefaultDlgControls::ChN1, "Primul numar de chitanta", true},
    };
    for (const Number& n : numbers) {
        const double value = controls.*n.member;
        const QString caption = QString::fromUtf8(n.caption);
        if (n.series) {
            const double maximum = common::seriesNumberMax(QLatin1String(n.key));
            if (common::isSeriesNumber(value, maximum))
                continue;
            m_dialogs.warning(QStringLiteral("%1: introduceti un numar intreg de la 0 la %2!")
                                  .arg(caption)
                                  .arg(qint64(maximum)));
        } else {
            if (std::isfinite(value) && value >= kMinRate && value <= kMaxRate)
                continue;
            m_dialogs.warning(
                QStringLiteral("%1: introduceti un numar de la %2 la %3!").arg(caption).arg(kMinRate).arg(kMaxRate));
        }
        m_failedNumber = QLatin1String(n.key);
        return false;
    }
    return true;
}

bool DefaultDlgLogic::accept()
{
    m_failed.reset();
    m_failedNumber.reset();
    for (const AccountEdit edit : kCheckedAccounts) {
        if (!checkAccount(edit)) {
            m_failed = edit;
            return false;
        }
    }
    if (!checkNumbers())
        return false;

    m_failedRate.reset();
    const struct {
        const char* key;
        double value;
    } rates[] = {{"CfTVA", controls.CfTVA}, {"TVAZero", controls.TVAZero}, {"TVAMed", controls.TVAMed},
                 {"TVAStd", controls.TVAStd}};
    for (const auto& r : rates)
        if (r.value != std::round(r.value)) {
            m_dialogs.warning(QString::fromUtf8(kWholeRateMessage));
            m_failedRate = QString::fromLatin1(r.key);
            return false;
        }

    const DefaultDlgControls& c = controls;
    common::Parameters& p = m_params;
    const auto cut = [](const QString& text, int capacity) { return text.left(capacity); };
    const auto rate = [](double value) { return std::max(value, 0.0); };
    p.CCom = c.CCom;
    p.CLot = c.CLot;
    p.CAutoLot = c.CAutoLot;
    p.CRetetar = c.CRetetar;
    p.CCaloric = c.CCaloric;
    p.CCantStoc = c.CCantStoc;
    p.CGetPret = c.CGetPret;
    p.CPretFaraTva = c.CPretFaraTva;
    p.CValEdit = c.CValEdit;
    p.CGenCod = c.CGenCod;
    p.CSerii = c.CSerii;
    p.CodBare = c.CodBare;
    p.CVal = cut(c.CVal, common::kCurrencyCapacity);
    p.CFurn = cut(c.CFurn, common::kAccountCapacity);
    p.CCln = cut(c.CCln, common::kAccountCapacity);
    p.CCh = cut(c.CCh, common::kAccountCapacity);
    p.CMf = cut(c.CMf, common::kAccountCapacity);
    p.CTVA_I = cut(c.CTVA_I, common::kAccountCapacity);
    p.CTVA_E = cut(c.CTVA_E, common::kAccountCapacity);
    p.CVen = cut(c.CVen, common::kAccountCapacity);
    p.CAd = cut(c.CAd, common::kAccountCapacity);
    p.CAcc = cut(c.CAcc, common::kAccountCapacity);
    p.CfTVA = rate(c.CfTVA);
    p.TVAZero = rate(c.TVAZero);
    p.TVAMed = rate(c.TVAMed);
    p.TVAStd = rate(c.TVAStd);
    setCommaSeparator(commaSeparator());
    p.roundTva = c.roundTva;
    p.calcTva = c.calcTva;
    p.includeJurnalCump = c.includeJurnalCump;
    p.includeJurnalVanz = c.includeJurnalVanz;
    p.SellPrice = c.fetchPrice ? common::SellPriceMode::Fetch : common::SellPriceMode::Calc;
    p.PreprintedInvoice = c.PreprintedInvoice;
    p.County = cut(c.County, common::kCountyCapacity);
    p.Atention = c.Atention;
    p.GrilaCalculDisc = c.discountGrid;
    p.checkForNewVersion = c.checkForNewVersion;
    p.backupBdZilnic = c.backupBdZilnic;
    p.SerFact = cut(c.SerFact, common::kSeriesCapacity);
    p.FactN1 = c.FactN1;
    p.FactN2 = c.FactN2;
    p.SerCF = cut(c.SerCF, common::kSeriesCapacity);
    p.CFN1 = c.CFN1;
    p.CFN2 = c.CFN2;
    p.SerAE = cut(c.SerAE, common::kSeriesCapacity);
    p.AEN1 = c.AEN1;
    p.AEN2 = c.AEN2;
    p.ChN1 = c.ChN1;

    common::SaveParameters(p, m_appIni, m_definitionFile);
    return true;
}

} // namespace shell
