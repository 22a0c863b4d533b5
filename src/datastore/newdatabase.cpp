#include "newdatabase.h"

#include "common/inifile.h"
#include "common/parameters.h"

#include <QDir>
#include <QFileInfo>

namespace datastore {

namespace {

constexpr int kCurrencyCodeSize = 3;

// A currency row, unless one with that code is there already.
void addCurrency(Database& db, const QString& code, const QString& name)
{
    const QVariant found = db.scalar(QStringLiteral("SELECT Moneda FROM \"Valuta.db\" WHERE Moneda = :Moneda"),
                                     {{QStringLiteral("Moneda"), code}});
    if (found.isValid())
        return;
    db.exec(QStringLiteral("INSERT INTO \"Valuta.db\" (Moneda, Denumire) VALUES (:Moneda, :Denumire)"),
            {{QStringLiteral("Moneda"), code}, {QStringLiteral("Denumire"), name}});
}

} // namespace

QDate localCurrencyRateDate()
{
    return QDate(2001, 1, 1);
}

void SeedNewDatabase(Database& db, const QString& referenceCurrency)
{
    const QString lei = QString::fromLatin1(kLocalCurrency);
    UnitOfWork work(db);
    addCurrency(db, lei, lei);
    const QVariant rates = db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Curs.db\" WHERE Valuta = :Valuta"),
                                     {{QStringLiteral("Valuta"), lei}});
    if (rates.toInt() == 0)
        db.exec(QStringLiteral("INSERT INTO \"Curs.db\" (Valuta, Data, Curs) VALUES (:Valuta, :Data, :Curs)"),
                {{QStringLiteral("Valuta"), lei},
                 {QStringLiteral("Data"), localCurrencyRateDate()},
                 {QStringLiteral("Curs"), kLocalCurrencyRate}});
    const QString reference = referenceCurrency.trimmed().toUpper();
    if (!reference.isEmpty() && reference.size() <= kCurrencyCodeSize
        && reference.compare(lei, Qt::CaseInsensitive) != 0)
        addCurrency(db, reference, reference);
    work.commit();
}

QString referenceCurrencyOf(const QString& directory, const QString& inMemory)
{
    const QString file = QDir(directory).filePath(QString::fromLatin1(common::kDefinitionFileName));
    if (!QFileInfo::exists(file))
        return inMemory;
    const common::IniFile ini(file);
    const QString value = ini.readString(QString::fromLatin1(common::kDefaultSection), QStringLiteral("CVal"));
    return value.isEmpty() ? inMemory : value;
}

} // namespace datastore
