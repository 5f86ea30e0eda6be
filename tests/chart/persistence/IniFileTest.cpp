#include "persistence/IniFile.h"

#include "util/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>

// The ini library itself, as the reference of its own layout.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

TEST(IniFileTest, LineBreaksAreEscapedAndDecodedInAnyCase) {
    const QString caption = QString("A\rB");
    EXPECT_EQ(EncodeIniLineBreaks(caption), "A@\\rB");
    EXPECT_EQ(DecodeIniLineBreaks("A@\\RB"), caption);
    EXPECT_EQ(DecodeIniLineBreaks(EncodeIniLineBreaks("x\r\ny\n")), "x\r\ny\n");
    EXPECT_EQ(DecodeIniLineBreaks("50@\\"), "50@\\");
}

TEST(IniFileTest, TextsThatLookLikeEscapesReadBackAsTheyWere) {
    struct Case {
        const char* Text;
        const char* Written;
    };
    const Case cases[] = {
        {"@\\r", "@\\a\\r"}, // the escape of a line break, as text
        {"@\\N and @\\a", "@\\a\\N and @\\a\\a"},
        {"@@\\r", "@@\\a\\r"},
        {"@\r", "@@\\r"},                   // an at sign before a carriage return
        {"mail@host\n@", "mail@host@\\n@"}, // other at signs stay as they are
        {"\\r@\\", "\\r@\\"},
        {"@\\b", "@\\b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        const QString text = QString::fromUtf8(c.Text);
        EXPECT_EQ(EncodeIniLineBreaks(text), QString::fromUtf8(c.Written));
        EXPECT_EQ(DecodeIniLineBreaks(EncodeIniLineBreaks(text)), text);
    }
}

TEST(IniFileTest, ValuesRoundTripThroughText) {
    TVxIniFile ini;
    ini.WriteCaption("Graph", "Caption", "first\r\nsecond");
    ini.WriteBool("Graph", "Visible", true);
    ini.WriteInteger("Graph", "Width", -3);
    ini.WriteFloat("Graph", "Start", 1e-300);
    ini.WriteString("Graph", "Name", "Form1.Graph1");
    const QByteArray text = ini.SaveToText();
    EXPECT_TRUE(text.contains("Visible=1\n"));
    EXPECT_TRUE(text.contains("Caption=first@\\r@\\nsecond\n"));

    TVxIniFile back;
    back.LoadFromText(text + "[graph]\nextra =  spaced value  \n");
    EXPECT_EQ(back.ReadCaption("GRAPH", "caption", {}), "first\r\nsecond");
    EXPECT_TRUE(back.ReadBool("Graph", "Visible", false));
    EXPECT_EQ(back.ReadInteger("Graph", "Width", 0), -3);
    EXPECT_EQ(back.ReadFloat("Graph", "Start", 0), 1e-300);
    EXPECT_EQ(back.ReadString("Graph", "Extra", {}), "spaced value");
    EXPECT_EQ(back.ReadInteger("Graph", "Name", 9), 9); // not an integer: the default
    EXPECT_EQ(back.ReadFloat("Graph", "Missing", 2.5), 2.5);
    EXPECT_THROW(back.ReadFloat("Graph", "Name", 0), EVxConvertError);
}

TEST(IniFileTest, FailedSaveNamesTheFile) {
    TVxIniFile nowhere("/nonexistent-folder/chart.ini");
    nowhere.WriteInteger("S", "K", 1);
    try {
        nowhere.UpdateFile();
        FAIL() << "no error";
    } catch (const EVxStreamError& e) {
        EXPECT_TRUE(e.Message().contains("/nonexistent-folder/chart.ini")) << e.what();
    }
}

namespace {

// Makes every file of this process larger than Bytes fail to write, as a full device does;
// root is bound by the limit too. Restores the limit and the signal on destruction.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t Bytes) {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
        rlimit limited = FOld;
        limited.rlim_cur = Bytes;
        Active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;
    bool Active = false;

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

} // namespace

TEST(IniFileTest, FailedSaveKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.ini");
    TVxIniFile ini(path);
    ini.WriteInteger("S", "K", 1);
    ini.UpdateFile();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray old = saved.readAll();
    saved.close();

    ini.WriteInteger("S", "K", 2);
    ini.WriteString("S", "Long", QString(8192, u'x'));
    {
        const TFileSizeLimit limit(1024);
        ASSERT_TRUE(limit.Active);
        EXPECT_THROW(ini.UpdateFile(), EVxStreamError);
    }
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), old);
    EXPECT_EQ(TVxIniFile(path).ReadInteger("S", "K", 0), 1);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"chart.ini"});
}

// The text is laid out exactly as the ini library itself writes it (its writer is the
// reference here): loaded and added sections and keys in their order, the unnamed section
// first, empty values, sections without keys, and comments, which are kept.
TEST(IniFileTest, SavedTextIsTheIniLibrarysLayout) {
    struct Case {
        const char* What;
        const char* Loaded;
    };
    const Case cases[] = {
        {"nothing loaded", ""},
        {"keys before any section", "top=1\nnext=\n[B]\nx=1\n"},
        {"sections and gaps", "[Second]\nb=2\na=1\n\n\n[First]\n[Third]\nk = spaced  \n"},
        {"UTF-8 and CR LF", "[Gr\xC3\xA4\x66]\r\nName=\xC2\xBA"
                            "C\r\n"},
        {"a file comment", "; written by hand\n\n[A]\nx=1\n"},
        {"a key comment", "[A]\n# why\nx=1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TVxIniFile ini;
        ini.LoadFromText(c.Loaded);
        CSimpleIniA reference(/*IsUtf8=*/true, /*MultiKey=*/false, /*MultiLine=*/false);
        reference.SetSpaces(false);
        reference.LoadData(c.Loaded);
        // The same changes in both: a new key in a loaded section, a replaced value, a new
        // section, an empty value.
        ini.WriteString("B", "added", "3 4");
        reference.SetValue("B", "added", "3 4");
        ini.WriteString("second", "A", "one");
        reference.SetValue("second", "A", "one");
        ini.WriteString("New", "Empty", "");
        reference.SetValue("New", "Empty", "");
        std::string expected;
        ASSERT_GE(reference.Save(expected), 0);
        EXPECT_EQ(ini.SaveToText().toStdString(), expected);
    }
}

// Long values (a vector's numbers) are held apart from the ini library; every text reads
// and saves as the library itself reads and saves it.
TEST(IniFileTest, LongValuesReadAndSaveAsTheIniLibraryHasThem) {
    const std::string longA(70000, 'a'), longB = std::string(80000, 'b') + " c";
    struct Case {
        const char* What;
        std::string Loaded;
    };
    const Case cases[] = {
        {"a long value among short ones", "[S]\nV=" + longA + "\nW=short\n"},
        {"blanks around key and value", "[S]\n  V \t=  " + longA + " \t\n[T]\nX=1"},
        {"CR LF", "[S]\r\nV=" + longA + "\r\nW=2\r\n"},
        {"a comment", "; file\n[S]\nV=" + longA + "\n"},
        {"the key again, short", "[S]\nV=" + longA + "\nV=short\n"},
        {"the key again, long", "[S]\nV=" + longA + "\nV=" + longB + "\n"},
        {"a marker-like value", "[S]\nM=\x01"
                                "0\x01\nV=" +
                                    longA + "\n"},
        {"a long comment line", "[S]\n;" + longA + "\nV=1\n"},
        {"an empty key", "[S]\n=" + longA + "\nV=1\n"},
        {"no line feed at the end", "[S]\nV=" + longA},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TVxIniFile ini;
        ini.LoadFromText(QByteArray::fromStdString(c.Loaded));
        CSimpleIniA reference(/*IsUtf8=*/true, /*MultiKey=*/false, /*MultiLine=*/false);
        reference.SetSpaces(false);
        ASSERT_GE(reference.LoadData(c.Loaded), 0);
        CSimpleIniA::TNamesDepend sections;
        reference.GetAllSections(sections);
        for (const auto& section : sections) {
            CSimpleIniA::TNamesDepend keys;
            reference.GetAllKeys(section.pItem, keys);
            for (const auto& key : keys) {
                std::string_view ours;
                ASSERT_TRUE(ini.ReadUtf8(section.pItem, key.pItem, ours)) << key.pItem;
                EXPECT_EQ(ours, reference.GetValue(section.pItem, key.pItem)) << key.pItem;
            }
        }
        // The same changes in both: a long value handed over, a long value replaced by a
        // short one, a marker-like value written, a section with a long value erased.
        TVxRoom room = AcquireRoom(longB.size() + 1);
        std::memcpy(room.get(), longB.c_str(), longB.size() + 1);
        ini.WriteUtf8("S", "Added", std::move(room), longB.size());
        reference.SetValue("S", "Added", longB.c_str());
        ini.WriteString("S", "V", "now short");
        reference.SetValue("S", "V", "now short");
        ini.WriteString("S", "M2",
                        "\x01"
                        "1\x01");
        reference.SetValue("S", "M2",
                           "\x01"
                           "1\x01");
        ini.WriteUtf8("Gone", "X", longA.c_str());
        ini.EraseSection("Gone");
        std::string expected;
        ASSERT_GE(reference.Save(expected), 0);
        EXPECT_EQ(ini.SaveToText().toStdString(), expected);
        EXPECT_EQ(ini.ReadString("S", "M2", {}), QString("\x01"
                                                         "1\x01"));
        std::string_view added;
        ASSERT_TRUE(ini.ReadUtf8("S", "Added", added));
        EXPECT_EQ(added, longB);
    }
}

// A value stays one line whichever writer stores it.
TEST(IniFileTest, LineBreaksInRawValuesBecomeSpaces) {
    TVxIniFile ini;
    ini.WriteUtf8("S", "Plain", "1 2 3");
    ini.WriteUtf8("S", "Broken", "1\r2\n3\r\n4");
    TVxIniFile back;
    back.LoadFromText(ini.SaveToText());
    EXPECT_EQ(back.ReadString("S", "Plain", {}), "1 2 3");
    EXPECT_EQ(back.ReadString("S", "Broken", {}), "1 2 3  4");
}
