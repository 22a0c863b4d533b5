#include "common/inifile.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

using common::IniFile;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString writeFile(const QByteArray& bytes, const QString& name = QStringLiteral("test.ini"))
    {
        const QString path = dir.file(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static QByteArray contents(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    testsupport::TempDir dir;
};

const QByteArray sample =
    "; definitii\r\n"
    "[Default]\r\n"
    "CLot=1\r\n"
    "Decimal separator = Coma \r\n"
    "; comentariu in sectiune\r\n"
    "Nr zecimale lei=2\r\n"
    "\r\n"
    "[Series]\r\n"
    "SerFact=AB\r\n"
    "Comanda=copy /b a+b c=d\r\n"
    "Gol=\r\n";

} // namespace

TEST_F(IniFileTest, ReadsIgnoringCaseAndTrimming)
{
    const IniFile ini(writeFile(sample));
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const std::vector<Case> cases{
        {"Default", "CLot", "1"},
        {"DEFAULT", "clot", "1"},
        {"default", "Decimal separator", "Coma"},
        {"Default", "DECIMAL SEPARATOR", "Coma"},
        {"Default", "Nr zecimale lei", "2"},
        {"series", "SERFACT", "AB"},
        {"Series", "Comanda", "copy /b a+b c=d"},
        {"Series", "Gol", ""},
        {"Series", "CLot", "<lipsa>"},
        {"Nimic", "CLot", "<lipsa>"},
        {"Default", "; comentariu in sectiune", "<lipsa>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.readString(c.section, c.key, "<lipsa>"), QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;

    EXPECT_EQ(ini.sections(), QStringList({"Default", "Series"}));
    EXPECT_EQ(ini.keys("default"), QStringList({"CLot", "Decimal separator", "Nr zecimale lei"}));
    EXPECT_TRUE(ini.sectionExists("SERIES"));
    EXPECT_FALSE(ini.sectionExists("Permision"));
    EXPECT_TRUE(ini.valueExists("series", "gol"));
    EXPECT_FALSE(ini.valueExists("Default", "Gol"));
}

TEST_F(IniFileTest, TypedReads)
{
    const IniFile ini(writeFile("[V]\r\nunu=1\r\nzero=0\r\ndoi=2\r\nminus=-1\r\nblank= 0 \r\n"
                                "text=da\r\nfloat=0,001\r\npoint=2.5\r\ngol=\r\n"));
    struct Case {
        const char* key;
        bool boolFalseDefault;
        bool boolTrueDefault;
        int integer; // default 99
        double real; // default -1
    };
    const std::vector<Case> cases{
        {"unu", true, true, 1, 1},
        {"zero", false, false, 0, 0},
        {"doi", true, true, 2, 2},
        {"minus", true, true, -1, -1},
        {"blank", false, false, 0, 0},
        {"text", false, true, 99, -1},
        {"float", false, true, 99, 0.001},
        {"point", false, true, 99, 2.5},
        {"gol", false, true, 99, -1},
        {"absent", false, true, 99, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.readBool("V", c.key, false), c.boolFalseDefault) << c.key;
        EXPECT_EQ(ini.readBool("V", c.key, true), c.boolTrueDefault) << c.key;
        EXPECT_EQ(ini.readInteger("V", c.key, 99), c.integer) << c.key;
        EXPECT_DOUBLE_EQ(ini.readFloat("V", c.key, -1), c.real) << c.key;
    }
}

TEST_F(IniFileTest, MissingFileIsEmptyAndCreatedOnFirstWrite)
{
    const QString path = dir.file("nou.ini");
    IniFile ini(path);
    EXPECT_TRUE(ini.sections().isEmpty());
    EXPECT_EQ(ini.readString("Options", "Refresh", "30"), "30");
    EXPECT_EQ(ini.readInteger("Options", "Refresh", 30), 30);
    EXPECT_FALSE(QFile::exists(path));

    EXPECT_TRUE(ini.writeInteger("Options", "Refresh", 45));
    EXPECT_TRUE(ini.writeBool("Options", "Check for new version", false));
    EXPECT_TRUE(ini.writeBool("Options", "Backup BD zilnic", true));
    EXPECT_EQ(contents(path), QByteArray("[Options]\r\nRefresh=45\r\nCheck for new version=0\r\nBackup BD zilnic=1\r\n"));
}

TEST_F(IniFileTest, RewriteKeepsOrderCommentsAndLines)
{
    const QString path = writeFile(sample);
    IniFile ini(path);
    EXPECT_TRUE(ini.writeString("DEFAULT", "decimal SEPARATOR", "Period")); // existing key, other case
    EXPECT_TRUE(ini.writeString("Default", "Epsilon", "0,001"));            // new key, before the blank line
    EXPECT_TRUE(ini.writeString("Permision", "Conversie la RON", "Da"));   // new section at the end
    const QByteArray expected =
        "; definitii\r\n"
        "[Default]\r\n"
        "CLot=1\r\n"
        "Decimal separator=Period\r\n"
        "; comentariu in sectiune\r\n"
        "Nr zecimale lei=2\r\n"
        "Epsilon=0,001\r\n"
        "\r\n"
        "[Series]\r\n"
        "SerFact=AB\r\n"
        "Comanda=copy /b a+b c=d\r\n"
        "Gol=\r\n"
        "[Permision]\r\n"
        "Conversie la RON=Da\r\n";
    EXPECT_EQ(contents(path), expected);

    // What was written reads back the same from a fresh object.
    const IniFile again(path);
    EXPECT_EQ(again.readString("default", "Decimal separator"), "Period");
    EXPECT_EQ(again.readString("permision", "conversie la ron"), "Da");
}

TEST_F(IniFileTest, DeleteKeyAndEraseSection)
{
    const QString path = writeFile(sample);
    IniFile ini(path);
    EXPECT_TRUE(ini.deleteKey("series", "comanda"));
    EXPECT_TRUE(ini.deleteKey("Series", "NuExista"));
    EXPECT_TRUE(ini.eraseSection("DEFAULT"));
    EXPECT_TRUE(ini.eraseSection("NuExista"));
    EXPECT_EQ(contents(path), QByteArray("; definitii\r\n[Series]\r\nSerFact=AB\r\nGol=\r\n"));
    EXPECT_EQ(ini.sections(), QStringList({"Series"}));
}

TEST_F(IniFileTest, ReadsOtherEncodingsAndLineEnds)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* expected;
    };
    const std::vector<Case> cases{
        // Windows-1250: ş ţ ă Ş î
        {"cp1250", QByteArray("[Firma]\r\nNume=\xBA\xFE\xE3\xAA\xEE\r\n"), "şţăŞî"},
        {"utf8", QByteArray("[Firma]\r\nNume=şţăŞî\r\n"), "şţăŞî"},
        {"utf8 with BOM", QByteArray("\xEF\xBB\xBF[Firma]\nNume=şţăŞî\n"), "şţăŞî"},
        {"LF only, no final line break", QByteArray("[Firma]\nNume=şţăŞî"), "şţăŞî"},
    };
    for (const Case& c : cases) {
        const IniFile ini(writeFile(c.bytes));
        EXPECT_EQ(ini.readString("Firma", "Nume"), QString::fromUtf8(c.expected)) << c.name;
    }
}

TEST_F(IniFileTest, FloatsRoundTrip)
{
    IniFile ini(dir.file("f.ini"));
    for (const double value : {0.0, 0.001, 1e-7, -2.5, 1234567.891}) {
        EXPECT_TRUE(ini.writeFloat("F", "v", value));
        EXPECT_DOUBLE_EQ(IniFile(ini.path()).readFloat("F", "v", 99), value) << value;
    }
}

TEST_F(IniFileTest, ReloadSeesChangesMadeOnDisk)
{
    const QString path = writeFile("[A]\r\nk=1\r\n");
    IniFile ini(path);
    writeFile("[A]\r\nk=2\r\n");
    EXPECT_EQ(ini.readInteger("A", "k", 0), 1);
    ini.reload();
    EXPECT_EQ(ini.readInteger("A", "k", 0), 2);
}

TEST_F(IniFileTest, WriteFailsWhenTheDirectoryIsMissing)
{
    IniFile ini(dir.file("lipsa/test.ini"));
    EXPECT_FALSE(ini.writeString("A", "k", "v"));
    EXPECT_EQ(ini.readString("A", "k"), "v"); // kept in memory
}

// Each line is decoded on its own: one line in the old code page (or one
// stray byte) leaves the UTF-8 lines and the byte-order mark alone.
TEST_F(IniFileTest, DecodesEachLineOnItsOwn)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* section;
        const char* key;
        const char* expected;
    };
    const QByteArray bomAndStrayByte = "\xEF\xBB\xBF[Default]\r\nCLot=1\r\nCVal=EUR\r\nNume=\xAA\r\n";
    const QByteArray strayByte = "[Firma]\r\nNume=Școala\r\nAlt=\xBA\xFE\r\nOras=Târgu Mureș\r\n";
    const std::vector<Case> cases{
        {"BOM, then a byte that is not UTF-8", bomAndStrayByte, "Default", "CLot", "1"},
        {"BOM, then a byte that is not UTF-8", bomAndStrayByte, "Default", "CVal", "EUR"},
        {"BOM, then a byte that is not UTF-8", bomAndStrayByte, "Default", "Nume", "Ş"},
        {"one stray byte", strayByte, "Firma", "Nume", "Școala"},
        {"one stray byte", strayByte, "Firma", "Alt", "şţ"},
        {"one stray byte", strayByte, "Firma", "Oras", "Târgu Mureș"},
        {"BOM alone on a UTF-8 file", "\xEF\xBB\xBF[A]\nk=ș\n", "A", "k", "ș"},
    };
    for (const Case& c : cases) {
        const IniFile ini(writeFile(c.bytes));
        EXPECT_EQ(ini.readString(c.section, c.key, "<lipsa>"), QString::fromUtf8(c.expected)) << c.name << " " << c.key;
        EXPECT_EQ(ini.sections().size(), 1) << c.name;
    }
}

// Saving writes back every line it did not change byte for byte (code page,
// line ends, blanks, no final line break); the byte-order mark is dropped;
// a changed or new line is UTF-8 with the file's line end; writing a value
// the key already has changes nothing.
TEST_F(IniFileTest, SavingRewritesOnlyTheLinesItChanged)
{
    const QByteArray original = "\xEF\xBB\xBF; firma \xAA\n"
                                "[Default]\n"
                                "CLot = 1 \n"
                                "Nume=\xBA\xFE\xE3\n"
                                "Oras=Târgu Mureș\r\n"
                                "Decimal separator = Coma\n"
                                "[Series]\n"
                                "FactN1=10";
    const QString path = writeFile(original);
    IniFile ini(path);
    EXPECT_TRUE(ini.writeString("Default", "CLot", "1"));                 // the same value
    EXPECT_TRUE(ini.writeString("default", "decimal separator", "Coma")); // the same value, other case
    EXPECT_EQ(contents(path), original.mid(3));

    EXPECT_TRUE(ini.writeString("Default", "CVal", "Ș" "EU"));
    EXPECT_TRUE(ini.writeString("Series", "FactN2", "20"));
    EXPECT_TRUE(ini.writeString("Default", "Nume", "Ștefan"));
    EXPECT_EQ(contents(path), QByteArray("; firma \xAA\n"
                                         "[Default]\n"
                                         "CLot = 1 \n"
                                         "Nume=Ștefan\n"
                                         "Oras=Târgu Mureș\r\n"
                                         "Decimal separator = Coma\n"
                                         "CVal=Ș" "EU\n"
                                         "[Series]\n"
                                         "FactN1=10\n"
                                         "FactN2=20\n"));
    const IniFile again(path);
    EXPECT_EQ(again.readString("Default", "Oras"), QString::fromUtf8("Târgu Mureș"));
    EXPECT_EQ(again.readString("Default", "Nume"), QString::fromUtf8("Ștefan"));
}

// What stands at the path but cannot be read as a small regular file is
// reported, read as nothing and never saved over; nothing waits on a pipe or
// reads a device without end.
TEST_F(IniFileTest, WhatCannotBeReadIsNeverSavedOver)
{
    const QByteArray kept = "[Default]\r\nCLot=1\r\n";
    struct Case {
        const char* name;
        std::function<QString()> make; // the path; empty to skip the case here
    };
    const std::vector<Case> cases{
        {"a directory",
         [&] {
             QDir(dir.path()).mkdir("dir.ini");
             return dir.file("dir.ini");
         }},
        {"a pipe",
         [&] {
             const QString path = dir.file("pipe.ini");
             return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
         }},
        {"a link to a device", [&] { return QFile::link("/dev/zero", dir.file("zero.ini")) ? dir.file("zero.ini") : QString(); }},
        {"a link to nothing", [&] { return QFile::link(dir.file("nimic"), dir.file("dangling.ini")) ? dir.file("dangling.ini") : QString(); }},
        {"a huge file",
         [&] {
             const QString path = writeFile(kept, "huge.ini");
             QFile f(path);
             return f.resize(common::kMaxIniFileSize + 1) ? path : QString();
         }},
        {"no permission",
         [&] {
             if (::geteuid() == 0)
                 return QString(); // root reads whatever the permissions say
             const QString path = writeFile(kept, "locked.ini");
             QFile::setPermissions(path, QFileDevice::WriteOwner);
             return path;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.make();
        if (path.isEmpty())
            continue;
        const QFileInfo before(path);
        const qint64 size = before.isFile() ? before.size() : -1;
        IniFile ini(path);
        EXPECT_FALSE(ini.isReadable());
        EXPECT_FALSE(ini.readError().isEmpty());
        EXPECT_TRUE(ini.sections().isEmpty());
        EXPECT_FALSE(ini.writeString("Default", "CLot", "0"));
        EXPECT_FALSE(ini.save());
        const QFileInfo after(path);
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.isDir(), before.isDir());
        if (size >= 0) {
            EXPECT_EQ(after.size(), size);
        }
    }
    // A missing file is no error: it is created by the first write.
    IniFile fresh(dir.file("nou.ini"));
    EXPECT_TRUE(fresh.isReadable());
    EXPECT_TRUE(fresh.writeString("Default", "CLot", "1"));
}
