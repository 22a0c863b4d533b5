#include "common/inifile.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QFile>

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
