#include "persistence/IniFile.h"

#include "util/Exceptions.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(IniFileTest, LineBreaksAreEscapedAndDecodedInAnyCase) {
    const QString caption = QString("A\rB");
    EXPECT_EQ(EncodeIniLineBreaks(caption), "A@\\rB");
    EXPECT_EQ(DecodeIniLineBreaks("A@\\RB"), caption);
    EXPECT_EQ(DecodeIniLineBreaks(EncodeIniLineBreaks("x\r\ny\n")), "x\r\ny\n");
    EXPECT_EQ(DecodeIniLineBreaks("50@\\"), "50@\\");
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

TEST(IniFileTest, FailedSaveKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.ini");
    TVxIniFile ini(path);
    ini.WriteInteger("S", "K", 1);
    ini.UpdateFile();
    EXPECT_EQ(TVxIniFile(path).ReadInteger("S", "K", 0), 1);

    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    ini.WriteInteger("S", "K", 2);
    if (QFile(dir.filePath("probe")).open(QIODevice::WriteOnly))
        GTEST_SKIP() << "running with permissions that ignore the read-only folder";
    EXPECT_THROW(ini.UpdateFile(), EVxStreamError);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(TVxIniFile(path).ReadInteger("S", "K", 0), 1);
}
