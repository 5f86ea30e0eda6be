#include "persistence/XmlCodec.h"

#include "util/Exceptions.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QString Tricky = QString::fromUtf8("a\rb\nc\r\nd\te <&> \"'\u00BA");
}

TEST(XmlCodecTest, ScalarsRoundTrip) {
    pugi::xml_document doc;
    pugi::xml_node e = doc.append_child("E");
    SetXmlBool(e, "B", true);
    SetXmlInt(e, "I", -7);
    SetXmlFloat(e, "F", 0.1);
    SetXmlText(e, "T", Tricky);
    SetXmlElementText(e.append_child("Item"), Tricky);

    pugi::xml_document back;
    LoadXmlDocument(back, SaveXmlDocument(doc));
    pugi::xml_node r = back.child("E");
    EXPECT_EQ(XmlText(r, "B"), "True");
    EXPECT_TRUE(XmlBool(r, "B"));
    EXPECT_EQ(XmlInt(r, "I"), -7);
    EXPECT_EQ(XmlFloat(r, "F"), 0.1);
    EXPECT_EQ(XmlText(r, "T"), Tricky);
    EXPECT_EQ(XmlElementText(r.child("Item")), Tricky);
    EXPECT_EQ(XmlInt(r, "Missing", 5), 5);
    EXPECT_FALSE(XmlBool(r, "Missing"));
}

TEST(XmlCodecTest, BadValuesAndDocumentsRaise) {
    pugi::xml_document doc;
    pugi::xml_node e = doc.append_child("E");
    SetXmlText(e, "I", "12x");
    SetXmlText(e, "Big", "99999999999");
    SetXmlText(e, "F", "1,5");
    EXPECT_THROW(XmlInt(e, "I"), EVxConvertError);
    EXPECT_THROW(XmlInt(e, "Big"), EVxConvertError);
    EXPECT_THROW(XmlFloat(e, "F"), EVxConvertError);
    EXPECT_THROW(XmlIntInRange(e, "I", 0, 3, 0), EVxConvertError);
    pugi::xml_document bad;
    EXPECT_THROW(LoadXmlDocument(bad, "<E><F></E>"), EVxStreamError);
}

// A standard parser must read the texts we write exactly as we wrote them.
TEST(XmlCodecTest, StandardParserReadsTheSameTexts) {
    if (QProcess::execute("python3", {"-c", "pass"}) != 0)
        GTEST_SKIP() << "python3 not available";
    pugi::xml_document doc;
    pugi::xml_node e = doc.append_child("E");
    SetXmlText(e, "T", Tricky);
    SetXmlElementText(e, Tricky);
    QTemporaryDir dir;
    const QString file = dir.filePath("t.xml");
    SaveXmlFile(doc, file);

    QProcess python;
    python.start("python3", {"-c",
                             "import sys, xml.etree.ElementTree as T\n"
                             "e = T.parse(sys.argv[1]).getroot()\n"
                             "sys.stdout.buffer.write((e.get('T') + '|' + e.text)"
                             ".encode('utf-8'))",
                             file});
    ASSERT_TRUE(python.waitForFinished());
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()), Tricky + "|" + Tricky);
}
