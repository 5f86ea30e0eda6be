#include "../util/LocaleTable.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "util/Application.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QBuffer>
#include <QLocale>
#include <QTemporaryDir>
#include <bit>
#include <clocale>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (int v : values)
        result.append(char(v));
    return result;
}

QByteArray Record(const TVxDoubleVector& vector) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    vector.WriteTo(buffer);
    return buffer.data();
}

void ReadRecord(TVxDoubleVector& vector, QByteArray data) {
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    vector.ReadFrom(buffer);
}

// The bit patterns of the values; text containers write every NaN as "NAN", so for them
// NaN payloads are compared as the one quiet NaN.
std::vector<uint64_t> Bits(const TVxDoubleVector& vector, bool AnyNaN = false) {
    std::vector<uint64_t> bits;
    for (double v : vector.InternalArray())
        bits.push_back(std::bit_cast<uint64_t>(AnyNaN && std::isnan(v) ? double(NAN) : v));
    return bits;
}

std::vector<uint64_t> BitsOf(const std::vector<double>& Values) {
    std::vector<uint64_t> bits;
    for (double v : Values)
        bits.push_back(std::bit_cast<uint64_t>(v));
    return bits;
}

// A registered form "Form1" owning the vector "V".
class VectorPersistenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form.setObjectName("Form1");
        TVxApplication::Instance().RegisterForm(&Form);
        Vector->SetName("V");
    }
    void TearDown() override { TVxApplication::Instance().Unregister(&Form); }

    QObject Form;
    TVxDoubleVector* Vector = new TVxDoubleVector(&Form);
};

} // namespace

TEST_F(VectorPersistenceTest, BinaryRecordByteForByte) {
    Vector->Add(1.5);
    Vector->Add(-2);
    Vector->AddOutlier(1);
    const QByteArray expected =
        Bytes({7, 0, 0, 0}) + "Form1.V" +
        Bytes({0x80, 0, 0, 0, 0x80, 0, 0, 0, 0, // Increment, Capacity, DBData
               2,    0, 0, 0, 0,    0, 0, 0, 0, 0, 0xF8, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0xC0, // values
               1,    1, 0, 0, 0,    1, 0, 0, 0, // outliers
               0});
    EXPECT_EQ(Record(*Vector), expected);

    TVxDoubleVector empty;
    EXPECT_EQ(Record(empty),
              Bytes({0, 0, 0, 0, 0x80, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    TVxDoubleVector back;
    back.Add(99);
    ReadRecord(back, expected);
    EXPECT_EQ(back.GetCount(), 2);
    EXPECT_EQ(back.GetValue(0), 1.5);
    EXPECT_TRUE(back.IsOutlier(1));
    EXPECT_EQ(back.GetMaximum(), 1.5);
}

// Loading reuses the storage of a vector that held more values: it holds exactly the
// record's values, and slots it later grows into read as zero, not as the old values.
TEST_F(VectorPersistenceTest, LoadingIntoALongerVectorLeavesNoOldValues) {
    Vector->Add(1.5);
    Vector->Add(-2);
    const QByteArray record = Record(*Vector);
    pugi::xml_document doc;
    Vector->WriteTo(doc);
    TVxIniFile ini;
    Vector->WriteTo(ini, "V");

    const std::function<void(TVxDoubleVector&)> loads[] = {
        [&](TVxDoubleVector& v) { ReadRecord(v, record); },
        [&](TVxDoubleVector& v) { v.ReadFrom(doc.child("TVxDoubleVector")); },
        [&](TVxDoubleVector& v) { v.ReadFrom(ini, "V"); },
    };
    for (size_t k = 0; k < std::size(loads); ++k) {
        SCOPED_TRACE(k);
        TVxDoubleVector back;
        for (int i = 0; i < 6; ++i)
            back.Add(7);
        loads[k](back);
        back.SetValue(4, 3);
        EXPECT_EQ(Bits(back), BitsOf({1.5, -2, 0, 0, 3}));
        EXPECT_EQ(back.GetMaximum(), 3);
        EXPECT_EQ(back.GetSum(), 2.5);
    }
}

TEST_F(VectorPersistenceTest, EveryTruncatedRecordRaisesTheStreamError) {
    for (int i = 0; i < 5; ++i)
        Vector->Add(i);
    Vector->AddOutlier(3);
    const QByteArray record = Record(*Vector);
    for (int length = 0; length < record.size(); ++length) {
        TVxDoubleVector back;
        EXPECT_THROW(ReadRecord(back, record.left(length)), EVxStreamError) << length;
        EXPECT_LE(back.GetCount(), back.GetCapacity());
    }
}

TEST_F(VectorPersistenceTest, ForgedCountsAreRejectedWithoutAllocating) {
    const QByteArray huge =
        Bytes({0, 0, 0, 0, 0x80, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0});
    TVxDoubleVector back;
    EXPECT_THROW(ReadRecord(back, huge), EVxStreamError);
    EXPECT_EQ(back.GetCount(), 0);
}

TEST_F(VectorPersistenceTest, BoundVectorStoresItsBinding) {
    auto* source = new TVxDataSource(&Form);
    source->SetName("Source");
    Vector->SetDataSource(source);
    Vector->SetDataField("temp");

    TVxDoubleVector back;
    ReadRecord(back, Record(*Vector));
    EXPECT_EQ(back.DataSource(), source);
    EXPECT_EQ(back.DataField(), "temp");
    EXPECT_TRUE(back.DBData());
    EXPECT_EQ(back.GetCount(), 0);

    pugi::xml_document doc;
    Vector->WriteTo(doc);
    TVxDoubleVector fromXml;
    fromXml.ReadFrom(doc.child("TVxDoubleVector"));
    EXPECT_EQ(fromXml.DataSource(), source);
    EXPECT_EQ(fromXml.DataField(), "temp");

    TVxIniFile ini;
    Vector->WriteTo(ini, "V");
    TVxDoubleVector fromIni;
    fromIni.ReadFrom(ini, "V");
    EXPECT_EQ(fromIni.DataSource(), source);
    EXPECT_EQ(fromIni.DataField(), "temp");
}

// Random doubles, special values included, survive all containers bit for bit under a
// locale whose decimal separator is a comma.
TEST_F(VectorPersistenceTest, RandomValuesRoundTripBitExactlyInEveryContainer) {
    std::mt19937_64 rng(7);
    for (double special :
         {double(NAN), double(INFINITY), -double(INFINITY), -0.0, 5e-324, 1.7976931348623157e308})
        Vector->Add(special);
    for (int i = 0; i < 20000; ++i)
        Vector->Add(std::bit_cast<double>(rng()));
    std::uniform_real_distribution<double> everyday(-1e6, 1e6);
    for (int i = 0; i < 20000; ++i)
        Vector->Add(everyday(rng));
    Vector->AddOutlier(4);
    Vector->AddOutlier(1);
    Vector->SetIncrement(256);
    Vector->SetCapacity(50000);

    auto check = [&](const TVxDoubleVector& back, bool AsText) {
        EXPECT_EQ(Bits(back, AsText), Bits(*Vector, AsText));
        EXPECT_EQ(back.GetIncrement(), 256);
        EXPECT_EQ(back.GetCapacity(), 50000);
        ASSERT_EQ(back.Outliers().GetCount(), 2);
        EXPECT_EQ(back.Outliers().GetValue(0), 4);
        EXPECT_EQ(back.Outliers().GetValue(1), 1);
    };

    // Whatever locale Qt and the C library are set to, the records are the same.
    for (const char* locale : RoundTripLocales) {
        SCOPED_TRACE(locale);
        const TLocaleSwitch in(locale);
        QTemporaryDir dir;
        Vector->WriteTo(dir.filePath("v.bin"));
        TVxDoubleVector fromFile;
        fromFile.ReadFrom(dir.filePath("v.bin"));
        check(fromFile, false);

        pugi::xml_document doc;
        Vector->WriteTo(doc);
        SaveXmlFile(doc, dir.filePath("v.xml"));
        pugi::xml_document loaded;
        LoadXmlFile(loaded, dir.filePath("v.xml"));
        TVxDoubleVector fromXml;
        fromXml.ReadFrom(loaded.child("TVxDoubleVector"));
        check(fromXml, true);
        // The same document read without a trip through text.
        TVxDoubleVector fromTree;
        fromTree.ReadFrom(doc.child("TVxDoubleVector"));
        check(fromTree, true);

        {
            TVxIniFile ini(dir.filePath("v.ini"));
            Vector->WriteTo(ini, "Vector");
            ini.UpdateFile();
        }
        TVxDoubleVector fromIni;
        fromIni.ReadFrom(TVxIniFile(dir.filePath("v.ini")), "Vector");
        check(fromIni, true);
    }
}

// A record written by another program may hold values beyond the double range; they load
// as the nearest double (as strtod reads them), in any list layout.
TEST_F(VectorPersistenceTest, ValuesBeyondTheDoubleRangeLoad) {
    const std::vector<double> expected = {0.0, -std::numeric_limits<double>::infinity(),
                                          std::numeric_limits<double>::infinity(), -0.0, 2.5};
    TVxIniFile ini;
    ini.LoadFromText("[Plain]\nValues=1e-400 -1.8e308 1e999 -1e-400 2.5\n"
                     "[Other]\nValues=1e-400; -1.8e308;1e999  -1e-400 ,2.5\n");
    for (const char* section : {"Plain", "Other"}) {
        Vector->ReadFrom(ini, section);
        EXPECT_EQ(Bits(*Vector), BitsOf(expected)) << section;
    }
    pugi::xml_document doc;
    LoadXmlDocument(doc, "<TVxDoubleVector><Values Count=\"5\"><Item>1e-400</Item>"
                         "<Item>-1.8e308</Item><Item>1e999</Item><Item> -1e-400 </Item>"
                         "<Item>2.5</Item></Values></TVxDoubleVector>");
    Vector->ReadFrom(doc.child("TVxDoubleVector"));
    EXPECT_EQ(Bits(*Vector), BitsOf(expected));
}

TEST_F(VectorPersistenceTest, IniNoneAndBadNumbers) {
    TVxIniFile ini;
    ini.LoadFromText("[V]\nValues=None\nOutliers=None\n"
                     "[W]\nValues=1 NAN -INF 2.5 x\nOutliers=2\n"
                     "[X]\nValues=1 2 +. 3\n");
    Vector->Add(1);
    Vector->ReadFrom(ini, "V");
    EXPECT_EQ(Vector->GetCount(), 0);
    EXPECT_FALSE(Vector->AnyOutliers());

    Vector->ReadFrom(ini, "W");
    ASSERT_EQ(Vector->GetCount(), 4);
    EXPECT_TRUE(std::isnan(Vector->GetValue(1)));
    EXPECT_EQ(Vector->GetValue(2), -INFINITY);
    EXPECT_TRUE(Vector->IsOutlier(2));

    EXPECT_THROW(Vector->ReadFrom(ini, "X"), EVxConvertError);
    EXPECT_EQ(Vector->GetCount(), 2); // what was read before the bad number

    TVxIniFile empty;
    Vector->ReadFrom(empty, "Missing"); // defaults: an empty vector
    EXPECT_EQ(Vector->GetCount(), 0);
}

TEST_F(VectorPersistenceTest, XmlWithBadItemKeepsWhatWasRead) {
    pugi::xml_document doc;
    LoadXmlDocument(doc, "<TVxDoubleVector Name=\"V\" Increment=\"128\" Capacity=\"128\">"
                         "<Values Count=\"3\"><Item>1</Item><Item>2</Item><Item>zz</Item>"
                         "</Values></TVxDoubleVector>");
    EXPECT_THROW(Vector->ReadFrom(doc.child("TVxDoubleVector")), EVxConvertError);
    EXPECT_EQ(Vector->GetCount(), 2);
}

// The file holds one Item line per value (the layout stored files rely on); the tree that
// WriteTo builds holds the values as one text, and ReadFrom takes either form.
TEST_F(VectorPersistenceTest, XmlFileHoldsItemLinesAndTheTreeOneText) {
    TVxDoubleVector vector;
    vector.SetName("V");
    const std::vector<double> values = {1.5, -0.0, NAN, -INFINITY, 1e-7, 123456789012345};
    vector.AddRange(std::span<const double>(values));
    vector.AddOutlier(1);
    pugi::xml_document doc;
    vector.WriteTo(doc.append_child("Chart"));
    EXPECT_EQ(SaveXmlDocument(doc).toStdString(),
              "<?xml version=\"1.0\"?>\n"
              "<Chart>\n"
              "  <TVxDoubleVector Name=\"V\" Increment=\"128\" Capacity=\"128\">\n"
              "    <Values Count=\"6\">\n"
              "      <Item>1.5</Item>\n"
              "      <Item>-0</Item>\n"
              "      <Item>NAN</Item>\n"
              "      <Item>-INF</Item>\n"
              "      <Item>1E-7</Item>\n"
              "      <Item>123456789012345</Item>\n"
              "    </Values>\n"
              "    <Outliers Count=\"1\">\n"
              "      <Item>1</Item>\n"
              "    </Outliers>\n"
              "  </TVxDoubleVector>\n"
              "</Chart>\n");
    const pugi::xml_node element = doc.child("Chart").child("TVxDoubleVector");
    EXPECT_STREQ(element.child("Values").text().get(), "1.5 -0 NAN -INF 1E-7 123456789012345");

    // A tree built by a caller with Item elements.
    pugi::xml_document built;
    pugi::xml_node list = built.append_child("TVxDoubleVector").append_child("Values");
    for (const char* text : {"1.5", "-0", "NAN", "-INF", "1E-7", "123456789012345"})
        list.append_child("Item").text().set(text);
    for (const pugi::xml_node source : {element, built.first_child()}) {
        Vector->ReadFrom(source);
        EXPECT_EQ(Bits(*Vector, true), Bits(vector, true));
    }
}

TEST_F(VectorPersistenceTest, XmlTreeTextWithBadWordKeepsWhatWasRead) {
    pugi::xml_document doc;
    pugi::xml_node list = doc.append_child("TVxDoubleVector").append_child("Values");
    for (const char* text : {"1 2 zz 4", " 1\t2\n zz", "1  2 zz"}) {
        list.text().set(text);
        EXPECT_THROW(Vector->ReadFrom(doc.first_child()), EVxConvertError) << text;
        EXPECT_EQ(Vector->GetCount(), 2) << text;
    }
    list.text().set("\t1\n 2  3 ");
    Vector->ReadFrom(doc.first_child());
    EXPECT_EQ(Bits(*Vector), BitsOf({1.0, 2.0, 3.0}));
}
