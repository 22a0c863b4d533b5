#include "parameters.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace common {

// ---------------------------------------------------------------------------
// Values by key name

namespace {

struct KeyAccess {
    const char* key;
    QVariant (*get)(const Parameters&);
};

#define MIRAFEL_KEY(member) {#member, [](const Parameters& p) -> QVariant { return p.member; }}
#define MIRAFEL_NAMED_KEY(name, member) {name, [](const Parameters& p) -> QVariant { return p.member; }}

const KeyAccess kKeys[] = {
    // TBXDEF.INI, Default
    MIRAFEL_KEY(CCom),
    MIRAFEL_KEY(CLot),
    MIRAFEL_KEY(CAutoLot),
    MIRAFEL_KEY(CRetetar),
    MIRAFEL_KEY(CCaloric),
    MIRAFEL_KEY(CCantStoc),
    MIRAFEL_KEY(CGetPret),
    MIRAFEL_KEY(CPretFaraTva),
    MIRAFEL_KEY(CValEdit),
    MIRAFEL_KEY(CGenCod),
    MIRAFEL_KEY(CSerii),
    MIRAFEL_KEY(CodBare),
    MIRAFEL_KEY(CVal),
    MIRAFEL_KEY(CFurn),
    MIRAFEL_KEY(CCln),
    MIRAFEL_KEY(CCh),
    MIRAFEL_KEY(CMf),
    MIRAFEL_KEY(CTVA_I),
    MIRAFEL_KEY(CTVA_E),
    MIRAFEL_KEY(CVen),
    MIRAFEL_KEY(CAd),
    MIRAFEL_KEY(CAcc),
    MIRAFEL_KEY(CfTVA),
    MIRAFEL_KEY(TVAZero),
    MIRAFEL_KEY(TVAMed),
    MIRAFEL_KEY(TVAStd),
    {"Decimal separator",
     [](const Parameters& p) -> QVariant {
         return p.decimalSeparator == QLatin1Char(',') ? QStringLiteral("Coma") : QStringLiteral("Period");
     }},
    MIRAFEL_NAMED_KEY("Round TVA", roundTva),
    MIRAFEL_NAMED_KEY("Calc TVA", calcTva),
    MIRAFEL_NAMED_KEY("Include Jurnal Cump", includeJurnalCump),
    MIRAFEL_NAMED_KEY("Include Jurnal Vanz", includeJurnalVanz),
    {"SellPrice",
     [](const Parameters& p) -> QVariant {
         return p.SellPrice == SellPriceMode::Fetch ? QStringLiteral("Fetch") : QStringLiteral("Calc");
     }},
    MIRAFEL_KEY(PreprintedInvoice),
    MIRAFEL_KEY(County),
    MIRAFEL_NAMED_KEY("Nr zecimale valuta", nrZecimaleValuta),
    MIRAFEL_NAMED_KEY("Nr zecimale lei", nrZecimaleLei),
    MIRAFEL_KEY(Epsilon),
    MIRAFEL_KEY(Epsilon1),
    MIRAFEL_KEY(Atention),
    MIRAFEL_KEY(GrilaCalculDisc),
    MIRAFEL_KEY(FirmNo),
    MIRAFEL_KEY(CodProdusPeFact),
    // TBXDEF.INI, Series
    MIRAFEL_KEY(SerFact),
    MIRAFEL_KEY(FactN1),
    MIRAFEL_KEY(FactN2),
    MIRAFEL_KEY(SerCF),
    MIRAFEL_KEY(CFN1),
    MIRAFEL_KEY(CFN2),
    MIRAFEL_KEY(SerAE),
    MIRAFEL_KEY(AEN1),
    MIRAFEL_KEY(AEN2),
    MIRAFEL_KEY(ChN1),
    // TBXDEF.INI, Permision
    MIRAFEL_NAMED_KEY("Conversie la RON", conversieLaRon),
    // Application INI file, Options
    MIRAFEL_KEY(Refresh),
    MIRAFEL_NAMED_KEY("Check for new version", checkForNewVersion),
    MIRAFEL_NAMED_KEY("Backup BD zilnic", backupBdZilnic),
    MIRAFEL_KEY(ImageBackground),
    MIRAFEL_KEY(ImageHeader),
    MIRAFEL_KEY(Toolbar),
    MIRAFEL_KEY(Germana),
};

#undef MIRAFEL_KEY
#undef MIRAFEL_NAMED_KEY

} // namespace

QVariant Parameters::value(const QString& key) const
{
    for (const KeyAccess& k : kKeys)
        if (key.compare(QLatin1String(k.key), Qt::CaseInsensitive) == 0)
            return k.get(*this);
    return {};
}

const QStringList& Parameters::keyNames()
{
    static const QStringList names = [] {
        QStringList out;
        for (const KeyAccess& k : kKeys)
            out << QLatin1String(k.key);
        return out;
    }();
    return names;
}

double seriesNumberMax(const QString& key)
{
    return key.compare(QLatin1String("ChN1"), Qt::CaseInsensitive) == 0 ? kReceiptNumberMax : kSeriesNumberMax;
}

std::optional<double> parseSeriesNumber(const QString& text, double maximum)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 15)
        return std::nullopt;
    for (const QChar c : digits)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const double value = double(digits.toLongLong());
    if (value > maximum)
        return std::nullopt;
    return value;
}

bool isSeriesNumber(double value, double maximum)
{
    return std::isfinite(value) && value >= 0 && value <= maximum && value == std::floor(value);
}

QString unreadableParameterFileMessage(const IniFile& file)
{
    return QStringLiteral("Fisierul de parametri %1 nu poate fi citit: %2. Parametrii nu au fost incarcati din el "
                          "si nu vor fi salvati peste el.")
        .arg(QDir::toNativeSeparators(file.path()), file.readError());
}

QChar Parameters::thousandSeparator() const
{
    return decimalSeparator == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
}

Formats Parameters::formatsWith(Formats base) const
{
    base.setDecimalSeparator(decimalSeparator);
    return base;
}

// ---------------------------------------------------------------------------
// Loading

namespace {

// One section of a file as the loading reads it: an absent key, or one whose
// value is not of its type, leaves the target as it is.
class SectionReader {
public:
    SectionReader(const IniFile& ini, const char* section) : m_ini(ini), m_section(QLatin1String(section)) {}

    void boolean(const char* key, bool& target) const { target = m_ini.readBool(m_section, name(key), target); }
    void integer(const char* key, int& target) const { target = m_ini.readInteger(m_section, name(key), target); }
    void whole(const char* key, double& target) const
    {
        if (!m_ini.valueExists(m_section, name(key)))
            return;
        bool ok = false;
        const int value = m_ini.readString(m_section, name(key)).toInt(&ok);
        if (ok)
            target = value;
    }
    void text(const char* key, QString& target, int capacity = -1) const
    {
        if (!m_ini.valueExists(m_section, name(key)))
            return;
        const QString value = m_ini.readString(m_section, name(key));
        target = capacity >= 0 ? value.left(capacity) : value;
    }
    void number(const char* key, double& target, const Formats& formats) const
    {
        if (!m_ini.valueExists(m_section, name(key)))
            return;
        if (const std::optional<double> value = parseFloat(m_ini.readString(m_section, name(key)), formats))
            target = *value;
    }
    // A series number, read exactly: anything else stops the loading.
    void seriesNumber(const char* key, double& target) const
    {
        if (!m_ini.valueExists(m_section, name(key)))
            return;
        const QString text = m_ini.readString(m_section, name(key));
        const double maximum = seriesNumberMax(name(key));
        const std::optional<double> value = parseSeriesNumber(text, maximum);
        if (!value)
            throw EParameters(QStringLiteral("Valoarea \"%1\" a cheii %2 din sectiunea [%3] a fisierului %4 "
                                             "nu este un numar valid (un numar intreg de la 0 la %5).")
                                  .arg(text, name(key), m_section, QDir::toNativeSeparators(m_ini.path()))
                                  .arg(qint64(maximum)));
        target = *value;
    }
    QString string(const char* key, const QString& def) const { return m_ini.readString(m_section, name(key), def); }
    bool fixedBoolean(const char* key, bool def) const { return m_ini.readBool(m_section, name(key), def); }
    int fixedInteger(const char* key, int def) const { return m_ini.readInteger(m_section, name(key), def); }

private:
    static QString name(const char* key) { return QLatin1String(key); }
    const IniFile& m_ini;
    QString m_section;
};

} // namespace

LoadedParameters LoadParameters(Parameters& p, Formats& formats, const QString& definitionFile)
{
    const IniFile ini(definitionFile);
    if (!ini.isReadable())
        throw EParameterFileUnreadable(unreadableParameterFileMessage(ini));
    const SectionReader def(ini, kDefaultSection);

    // Keys are read in this order.
    def.boolean("CCom", p.CCom);
    def.boolean("CLot", p.CLot);
    def.boolean("CAutoLot", p.CAutoLot);
    def.boolean("CRetetar", p.CRetetar);
    def.boolean("CCaloric", p.CCaloric);
    def.boolean("CCantStoc", p.CCantStoc);
    def.boolean("CGetPret", p.CGetPret);
    def.boolean("CPretFaraTva", p.CPretFaraTva);
    def.boolean("CValEdit", p.CValEdit);
    def.boolean("CGenCod", p.CGenCod);
    def.boolean("CSerii", p.CSerii);
    def.boolean("CodBare", p.CodBare);
    def.text("CVal", p.CVal, kCurrencyCapacity);
    def.text("CFurn", p.CFurn, kAccountCapacity);
    def.text("CCln", p.CCln, kAccountCapacity);
    def.text("CCh", p.CCh, kAccountCapacity);
    def.text("CMf", p.CMf, kAccountCapacity);
    def.text("CTVA_I", p.CTVA_I, kAccountCapacity);
    def.text("CTVA_E", p.CTVA_E, kAccountCapacity);
    def.whole("CfTVA", p.CfTVA);
    def.whole("TVAZero", p.TVAZero);
    def.whole("TVAMed", p.TVAMed);
    def.whole("TVAStd", p.TVAStd);
    def.text("CAcc", p.CAcc, kAccountCapacity);
    def.text("CAd", p.CAd, kAccountCapacity);
    def.text("CVen", p.CVen, kAccountCapacity);
    p.roundTva = def.fixedBoolean("Round TVA", true);
    p.calcTva = def.fixedBoolean("Calc TVA", false);
    def.text("Include Jurnal Cump", p.includeJurnalCump);
    def.text("Include Jurnal Vanz", p.includeJurnalVanz);

    // The separator holds from here on: the numbers below are read with it.
    const bool comma =
        def.string("Decimal separator", QStringLiteral("Period")).compare(QLatin1String("Coma"), Qt::CaseInsensitive) == 0;
    p.decimalSeparator = comma ? QLatin1Char(',') : QLatin1Char('.');
    formats.setDecimalSeparator(p.decimalSeparator);

    p.CodProdusPeFact = def.fixedBoolean("CodProdusPeFact", true);
    p.SellPrice = def.string("SellPrice", QStringLiteral("Fetch")).compare(QLatin1String("FETCH"), Qt::CaseInsensitive) == 0
                      ? SellPriceMode::Fetch
                      : SellPriceMode::Calc;
    def.boolean("PreprintedInvoice", p.PreprintedInvoice);
    def.text("County", p.County, kCountyCapacity);

    const SectionReader series(ini, kSeriesSection);
    series.text("SerFact", p.SerFact, kSeriesCapacity);
    series.seriesNumber("FactN1", p.FactN1);
    series.seriesNumber("FactN2", p.FactN2);
    series.text("SerCF", p.SerCF, kSeriesCapacity);
    series.seriesNumber("CFN1", p.CFN1);
    series.seriesNumber("CFN2", p.CFN2);
    series.text("SerAE", p.SerAE, kSeriesCapacity);
    series.seriesNumber("AEN1", p.AEN1);
    series.seriesNumber("AEN2", p.AEN2);
    series.seriesNumber("ChN1", p.ChN1);

    // Decimals outside 2..10 are brought to the nearest limit: the dialog
    // offers no other value and the prices need at least two.
    def.integer("Nr zecimale valuta", p.nrZecimaleValuta);
    p.nrZecimaleValuta = std::clamp(p.nrZecimaleValuta, kMinDecimals, kMaxDecimals);
    def.integer("Nr zecimale lei", p.nrZecimaleLei);
    p.nrZecimaleLei = std::clamp(p.nrZecimaleLei, kMinDecimals, kMaxDecimals);
    def.number("Epsilon", p.Epsilon, formats);
    def.number("Epsilon1", p.Epsilon1, formats);
    p.FirmNo = def.fixedInteger("FirmNo", 0);
    def.boolean("Atention", p.Atention);
    def.boolean("GrilaCalculDisc", p.GrilaCalculDisc);

    // Last the conversion marker; nothing about it can fail the loading.
    const SectionReader permision(ini, kPermisionSection);
    p.conversieLaRon = permision.string("Conversie la RON", QString());
    LoadedParameters loaded;
    loaded.convertToRonVisible = p.conversieLaRon != QLatin1String("1");
    return loaded;
}

void LoadOptions(Parameters& p, const IniFile& appIni)
{
    const SectionReader options(appIni, kAppOptionsSection);
    options.integer("Refresh", p.Refresh);
    options.boolean("Check for new version", p.checkForNewVersion);
    options.boolean("Backup BD zilnic", p.backupBdZilnic);
    options.text("ImageBackground", p.ImageBackground);
    options.text("ImageHeader", p.ImageHeader);
    options.boolean("Toolbar", p.Toolbar);
    options.boolean("Germana", p.Germana);
}

// ---------------------------------------------------------------------------
// Saving

namespace {

class SectionWriter {
public:
    SectionWriter(IniFile& ini, const char* section) : m_ini(ini), m_section(QLatin1String(section)) {}

    void boolean(const char* key, bool value) const { check(m_ini.writeBool(m_section, QLatin1String(key), value)); }
    void integer(const char* key, int value) const { check(m_ini.writeInteger(m_section, QLatin1String(key), value)); }
    void text(const char* key, const QString& value) const
    {
        check(m_ini.writeString(m_section, QLatin1String(key), value));
    }
    // A percentage: a whole number, never below 0.
    void rate(const char* key, double value) const
    {
        integer(key, value > 0 ? int(std::lround(std::min(value, 1e9))) : 0);
    }
    // A series number (checked before anything is written): plain digits.
    void whole(const char* key, double value) const { text(key, QString::number(qint64(value))); }

private:
    void check(bool written) const
    {
        if (!written)
            throw EParameters(
                QStringLiteral("Nu pot scrie fisierul %1!").arg(QDir::toNativeSeparators(m_ini.path())));
    }
    IniFile& m_ini;
    QString m_section;
};

} // namespace

void SaveParameters(const Parameters& p, IniFile& appIni, const QString& definitionFile)
{
    IniFile ini(definitionFile);
    if (!ini.isReadable())
        throw EParameterFileUnreadable(unreadableParameterFileMessage(ini));
    // Only what reads back the same is written: a series number that is not
    // a whole number in its range stops the saving before the first key.
    const std::pair<const char*, double> seriesNumbers[] = {
        {"FactN1", p.FactN1}, {"FactN2", p.FactN2}, {"CFN1", p.CFN1}, {"CFN2", p.CFN2},
        {"AEN1", p.AEN1},     {"AEN2", p.AEN2},     {"ChN1", p.ChN1},
    };
    for (const auto& [key, value] : seriesNumbers) {
        const double maximum = seriesNumberMax(QLatin1String(key));
        if (!isSeriesNumber(value, maximum))
            throw EParameters(QStringLiteral("Numarul %1 al cheii %2 nu este un numar intreg de la 0 la %3. "
                                             "Parametrii nu au fost salvati.")
                                  .arg(QString::number(value, 'g', 17), QLatin1String(key))
                                  .arg(qint64(maximum)));
    }

    const SectionWriter options(appIni, kAppOptionsSection);
    options.boolean("Check for new version", p.checkForNewVersion);
    options.boolean("Backup BD zilnic", p.backupBdZilnic);

    const Formats formats = p.formatsWith();
    const SectionWriter def(ini, kDefaultSection);
    // Keys are written in this order.
    def.boolean("CCom", p.CCom);
    def.boolean("CLot", p.CLot);
    def.boolean("CAutoLot", p.CAutoLot);
    def.boolean("CRetetar", p.CRetetar);
    def.boolean("CCaloric", p.CCaloric);
    def.boolean("CCantStoc", p.CCantStoc);
    def.boolean("CGetPret", p.CGetPret);
    def.boolean("CPretFaraTva", p.CPretFaraTva);
    def.boolean("CValEdit", p.CValEdit);
    def.boolean("CGenCod", p.CGenCod);
    def.boolean("CSerii", p.CSerii);
    def.boolean("CodBare", p.CodBare);
    def.text("CVal", p.CVal);
    def.text("CFurn", p.CFurn);
    def.text("CCln", p.CCln);
    def.text("CCh", p.CCh);
    def.text("CMf", p.CMf);
    def.text("CTVA_I", p.CTVA_I);
    def.text("CTVA_E", p.CTVA_E);
    def.text("CVen", p.CVen);
    def.text("CAd", p.CAd);
    def.text("CAcc", p.CAcc);
    def.rate("CfTVA", p.CfTVA);
    def.rate("TVAZero", p.TVAZero);
    def.rate("TVAMed", p.TVAMed);
    def.rate("TVAStd", p.TVAStd);
    def.text("Decimal separator",
             p.decimalSeparator == QLatin1Char(',') ? QStringLiteral("Coma") : QStringLiteral("Period"));
    def.boolean("Round TVA", p.roundTva);
    def.boolean("Calc TVA", p.calcTva);
    def.text("Include Jurnal Cump", p.includeJurnalCump);
    def.text("Include Jurnal Vanz", p.includeJurnalVanz);
    def.text("SellPrice", p.SellPrice == SellPriceMode::Calc ? QStringLiteral("Calc") : QStringLiteral("Fetch"));
    def.boolean("PreprintedInvoice", p.PreprintedInvoice);
    def.text("County", p.County);

    const SectionWriter series(ini, kSeriesSection);
    series.text("SerFact", p.SerFact);
    series.whole("FactN1", p.FactN1);
    series.whole("FactN2", p.FactN2);
    series.text("SerCF", p.SerCF);
    series.whole("CFN1", p.CFN1);
    series.whole("CFN2", p.CFN2);
    series.text("SerAE", p.SerAE);
    series.whole("AEN1", p.AEN1);
    series.whole("AEN2", p.AEN2);
    series.whole("ChN1", p.ChN1);

    def.integer("Nr zecimale valuta", p.nrZecimaleValuta);
    def.integer("Nr zecimale lei", p.nrZecimaleLei);
    def.text("Epsilon", formatFloat(QStringLiteral("0.###########"), p.Epsilon, formats));
    def.text("Epsilon1", formatFloat(QStringLiteral("0.###########"), p.Epsilon1, formats));
    def.boolean("Atention", p.Atention);
    def.boolean("GrilaCalculDisc", p.GrilaCalculDisc);
}

} // namespace common
