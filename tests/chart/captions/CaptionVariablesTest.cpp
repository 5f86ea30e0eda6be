#include "captions/CaptionVariables.h"

#include "CaptionTestSupport.h"
#include "captions/CaptionMarkup.h"
#include "util/Exceptions.h"
#include "util/VariableRegistries.h"

#include <QLocale>
#include <QObject>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// A series-like component: variables of its own and the captions that show them.
class TContainer : public QObject, public TVxVariableContainer {
public:
    TContainer(QObject* AOwner, const QString& Name) : QObject(AOwner) { setObjectName(Name); }
    ~TContainer() override { UnregisterContainerEverywhere(this); }
    void AddObjectToUpdate(QObject* Component) override { FObjectsToUpdate.Add(Component); }
    void SetText(const QString& Id, const QString& Value) {
        FTexts[Id] = Value;
        RegisterStringGetter(Id, {}, this, GlobalStringGetters(),
                             [this, Id] { return FTexts.value(Id); });
    }
    void SetNumber(const QString& Id, double Value) {
        FNumbers[Id] = Value;
        RegisterDoubleGetter(Id, {}, this, GlobalDoubleGetters(),
                             [this, Id] { return FNumbers.value(Id); });
    }
    TVxObjectsToUpdate FObjectsToUpdate;
    QHash<QString, QString> FTexts;
    QHash<QString, double> FNumbers;
};

// A caption owner that counts its refreshes.
class TDependent : public QObject, public TVxCaptionDependent {
public:
    explicit TDependent(const QString& Name, std::vector<QString>* Log = nullptr) : FLog(Log) {
        setObjectName(Name);
    }
    void UpdateCaptionVariables() override {
        ++Updates;
        if (FLog)
            FLog->push_back(objectName());
        if (OnUpdate)
            OnUpdate();
    }
    int Updates = 0;
    std::function<void()> OnUpdate;

private:
    std::vector<QString>* FLog;
};

class CaptionVariables : public ::testing::Test {
protected:
    void SetUp() override {
        FForm = std::make_unique<QObject>();
        FForm->setObjectName("Form1");
        FSeries = new TContainer(FForm.get(), "Series1");
        FSeries->SetNumber("Slope", 3.14159);
    }
    TVxFormatSettings English =
        TVxFormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    TVxFormatSettings German =
        TVxFormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    std::unique_ptr<QObject> FForm;
    TContainer* FSeries = nullptr;
};

TEST_F(CaptionVariables, EscapesAndNumbersInTwoLocales) {
    struct TCase {
        QString Text, InEnglish, InGerman;
    };
    const std::vector<TCase> cases = {
        {u"<%<%"_s, u"<%"_s, u"<%"_s},
        {u"a%>%>b"_s, u"a%>b"_s, u"a%>b"_s},
        {u"<%<%x%>"_s, u"<%x%>"_s, u"<%x%>"_s},
        {u"s=<%Form1.Series1.Slope;0.00%>!"_s, u"s=3.14!"_s, u"s=3,14!"_s},
        {u"<%Form1.Series1.Slope;%>"_s, u"3.14159"_s, u"3,14159"_s},
        {u"<%Form1.Series1.Slope%>"_s, u"3.14159"_s, u"3,14159"_s},
        // The pattern keeps its letter case; ";" after the first belongs to the pattern.
        {u"<%form1.series1.slope*2;0.0 'mm'%>"_s, u"6.3 mm"_s, u"6,3 mm"_s},
        {u"<%-Form1.Series1.Slope;0.0;(0.0)%>"_s, u"(3.1)"_s, u"(3,1)"_s},
        {u"<%1+1%><%2*3%>"_s, u"26"_s, u"26"_s},
        // A doubled "%>" inside a placeholder belongs to its content.
        {u"<%1;0'%>%>'%>"_s, u"1%>"_s, u"1%>"_s},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ExpandVariables(c.Text, nullptr, English), c.InEnglish) << c.Text.toStdString();
        EXPECT_EQ(ExpandVariables(c.Text, nullptr, German), c.InGerman) << c.Text.toStdString();
    }
}

TEST_F(CaptionVariables, FailingPlaceholdersStayLiteralAndCheckingRaises) {
    struct TCase {
        QString Text, Shown;
        const char* Error; // the message CheckCaption raises, nullptr: any EVxException
    };
    const std::vector<TCase> cases = {
        {u"a<%NoSuchThing%>b"_s, u"a<%NoSuchThing%>b"_s, nullptr},
        {u"a<%1+%>b"_s, u"a<%1+%>b"_s, nullptr},
        {u"<%%>"_s, u"<%%>"_s, "No valid expression defined"},
        {u"<%1/0;0.0%>"_s, u"<%1/0;0.0%>"_s, "Floating point division by zero"},
        {u"x<%1+2"_s, u"x<%1+2"_s, "No valid expression defined"},
        {u"<%1%>%>"_s, u"<%1%>%>"_s, "No valid expression defined"}, // "%>%>" is content
        {u"<%1%> %>"_s, u"1 %>"_s, ""},                              // fine: "%>" alone is text
        {u"<%"_s, u"<%"_s, "No valid expression defined"},
        {u"ok <%2;0%> then <%bad(%>"_s, u"ok 2 then <%bad(%>"_s, nullptr},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ExpandVariables(c.Text, nullptr, English), c.Shown) << c.Text.toStdString();
        if (c.Error && !*c.Error) {
            EXPECT_NO_THROW(CheckCaption(c.Text, nullptr, English));
            continue;
        }
        try {
            CheckCaption(c.Text, nullptr, English);
            ADD_FAILURE() << "no error for " << c.Text.toStdString();
        } catch (const EVxException& e) {
            if (c.Error) {
                EXPECT_EQ(e.Message(), QString::fromUtf8(c.Error)) << c.Text.toStdString();
            }
        }
    }
    EXPECT_THROW(CheckCaption(u"\\c[A=1]"_s), EVxConvertError);
    EXPECT_THROW(EvaluateVariable(u"NoSuchThing"_s, nullptr), EVxMathError);
}

TEST_F(CaptionVariables, TextVariablesExpandTheirOwnPlaceholdersAndRegisterTheOwner) {
    FSeries->SetText("Caption", u"T=<%Form1.Series1.Slope;0.0%>"_s);
    TDependent axis("Axis");
    EXPECT_EQ(ExpandVariables(u"[<%Form1.Series1.Caption%>]"_s, &axis, English), u"[T=3.1]"_s);
    EXPECT_TRUE(FSeries->FObjectsToUpdate.Contains(&axis));

    // A numeric variable registers its reader too.
    TDependent legend("Legend");
    ExpandVariables(u"<%Form1.Series1.Slope%>"_s, &legend, English);
    EXPECT_TRUE(FSeries->FObjectsToUpdate.Contains(&legend));
    EXPECT_EQ(FSeries->FObjectsToUpdate.Items(), (std::vector<QObject*>{&axis, &legend}));
}

TEST_F(CaptionVariables, SelfReferenceStaysLiteral) {
    FSeries->SetText("Caption", u"A<%Form1.Series1.Caption%>"_s);
    EXPECT_EQ(ExpandVariables(u"<%Form1.Series1.Caption%>"_s, nullptr),
              u"A<%Form1.Series1.Caption%>"_s);
    EXPECT_THROW(CheckCaption(u"<%Form1.Series1.Caption%>"_s), EVxException);

    // Two variables naming each other.
    FSeries->SetText("P", u"p<%Form1.Series1.Q%>"_s);
    FSeries->SetText("Q", u"q<%form1.series1.p%>"_s);
    EXPECT_EQ(ExpandVariables(u"<%Form1.Series1.P%>"_s, nullptr), u"pq<%form1.series1.p%>"_s);
}

TEST_F(CaptionVariables, NestingDepthIsLimited) {
    // V0 = <%V1%><%V1%>, V1 = <%V2%><%V2%>, ...: without a limit 2^20 copies of "x".
    for (int i = 0; i < 20; ++i)
        FSeries->SetText(u"V%1"_s.arg(i),
                         u"<%Form1.Series1.V%1%><%Form1.Series1.V%1%>"_s.arg(i + 1));
    FSeries->SetText("V20", "x");
    // MaxVariableDepth levels are expanded: 2^8 copies of the ninth placeholder remain.
    const QString expected =
        u"<%Form1.Series1.V%1%>"_s.arg(MaxVariableDepth).repeated(1 << MaxVariableDepth);
    EXPECT_EQ(ExpandVariables(u"<%Form1.Series1.V0%>"_s, nullptr), expected);
    EXPECT_THROW(CheckCaption(u"<%Form1.Series1.V0%>"_s), EVxException);
    // Eight levels are fine.
    EXPECT_EQ(ExpandVariables(u"<%Form1.Series1.V13%>"_s, nullptr), u"x"_s.repeated(128));
}

TEST_F(CaptionVariables, InsertedLengthIsLimited) {
    const QString big(40000, u'y');
    FSeries->SetText("Big", big);
    FSeries->SetText("Twice", u"<%Form1.Series1.Big%><%Form1.Series1.Big%>"_s);
    // 42 characters of "Twice" and 40000 of the first copy leave too few for the second.
    EXPECT_EQ(ExpandVariables(u"<%Form1.Series1.Twice%>"_s, nullptr),
              big + u"<%Form1.Series1.Big%>"_s);
    EXPECT_THROW(CheckCaption(u"<%Form1.Series1.Twice%>"_s), EVxException);
    EXPECT_EQ(ExpandVariables(u"<%Form1.Series1.Big%>"_s, nullptr), big);
}

TEST_F(CaptionVariables, ValuesAreNotScannedAgain) {
    // A value that looks like a placeholder stays as it is.
    FSeries->SetText("Raw", u"<%<%1+1%>"_s);
    EXPECT_EQ(ExpandVariables(u"<%Form1.Series1.Raw%>|<%3%>"_s, nullptr), u"<%1+1%>|3"_s);
}

TEST_F(CaptionVariables, EscapedTextShowsLiterally) {
    const std::vector<QString> texts = {
        u"C:\\temp\\b"_s, u"<%Form1.Series1.Slope%>"_s,          u"<%<%"_s,      u"%>%>"_s,
        u"<%>"_s,         u"100%>50% \\c[A=1, R=2, G=3, B=4]"_s, u"a\r\nb\nc"_s, u"\\"_s,
    };
    for (const QString& t : texts) {
        QString expected = t;
        expected.replace(u"\r\n"_s, u"\r"_s).replace(u'\n', u'\r');
        EXPECT_EQ(PlainCaptionText(ExpandVariables(EscapeCaptionText(t), nullptr)), expected)
            << t.toStdString();
    }
}

TEST(ObjectsToUpdate, RefreshesASnapshotInOrder) {
    std::vector<QString> log;
    TVxObjectsToUpdate list;
    TDependent a("A", &log), c("C", &log), d("D", &log);
    auto b = std::make_unique<TDependent>("B", &log);
    QObject plain; // not a caption dependent: skipped
    EXPECT_TRUE(list.Add(&a));
    EXPECT_FALSE(list.Add(&a));
    EXPECT_FALSE(list.Add(nullptr));
    list.Add(&plain);
    list.Add(&c);
    list.Add(b.get());
    // A adds D while the list is being walked; C destroys B before its turn.
    a.OnUpdate = [&] { list.Add(&d); };
    c.OnUpdate = [&] { b.reset(); };
    UpdateDependents(list);
    EXPECT_EQ(log, (std::vector<QString>{"A", "C"}));
    log.clear();
    UpdateDependents(list);
    EXPECT_EQ(log, (std::vector<QString>{"A", "C", "D"}));
    EXPECT_EQ(list.Items(), (std::vector<QObject*>{&a, &plain, &c, &d}));
}

TEST(ObjectsToUpdate, NestedRefreshOfTheSameListReturns) {
    TVxObjectsToUpdate list;
    TDependent a("A");
    a.OnUpdate = [&] { UpdateDependents(list); };
    list.Add(&a);
    UpdateDependents(list);
    EXPECT_EQ(a.Updates, 1);
    UpdateDependents(list);
    EXPECT_EQ(a.Updates, 2);
}

TEST(ObjectsToUpdate, DestroyedMembersDropOut) {
    TVxObjectsToUpdate list;
    auto a = std::make_unique<TDependent>("A");
    TDependent b("B");
    list.Add(a.get());
    list.Add(&b);
    a.reset();
    EXPECT_EQ(list.Items(), (std::vector<QObject*>{&b}));
    EXPECT_TRUE(list.Remove(&b));
    EXPECT_FALSE(list.Remove(&b));
    EXPECT_TRUE(list.Items().empty());
}

} // namespace
