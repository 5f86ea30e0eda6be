#include "util/VariableRegistries.h"

#include "QStringPrinter.h"
#include "util/Exceptions.h"
#include "util/ExpressionParser.h"

#include <QObject>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

// A component whose variables captions can show; it remembers who depends on it.
class TContainer : public QObject, public TVxVariableContainer {
public:
    TContainer(QObject* AOwner, const QString& Name) : QObject(AOwner) { setObjectName(Name); }
    void AddObjectToUpdate(QObject* Component) override {
        if (std::find(Dependents.begin(), Dependents.end(), Component) == Dependents.end())
            Dependents.push_back(Component);
    }
    std::vector<QObject*> Dependents;
};

template <class Fn> QString MessageOf(Fn&& Body) {
    try {
        Body();
    } catch (const EVxException& e) {
        return e.Message();
    }
    return {};
}

// Form1 owns Series1 and Series2, which register "Slope" and the array "Values" (10, 20,
// 30, 40; other indexes raise the range error).
class VariableRegistriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        FForm = std::make_unique<QObject>();
        FForm->setObjectName("Form1");
        FSeries1 = new TContainer(FForm.get(), "Series1");
        FSeries2 = new TContainer(FForm.get(), "Series2");
        for (TContainer* series : {FSeries1, FSeries2}) {
            RegisterDoubleGetter("Slope", "Slope of the line", series, GlobalDoubleGetters(),
                                 [this, series] { return series == FSeries1 ? FSlope : -1.0; });
            RegisterDoubleArray("Values", "", series, GlobalDoubleArrays(), [](int Idx) {
                if (Idx < 0 || Idx > 3)
                    throw EVxRangeError(EVxRangeError::ForIndex(Idx));
                return 10.0 * (Idx + 1);
            });
        }
    }
    void TearDown() override {
        for (TContainer* series : {FSeries1, FSeries2})
            UnregisterContainerEverywhere(series);
    }

    static double Evaluate(const QString& Text, QObject* Owner = nullptr) {
        TVxFunctionParser parser(Owner);
        parser.SetExpression(Text);
        return parser.Result();
    }

    std::unique_ptr<QObject> FForm;
    TContainer* FSeries1 = nullptr;
    TContainer* FSeries2 = nullptr;
    double FSlope = 2.5;
};

TEST_F(VariableRegistriesTest, QualifiedNamesResolveInAnyCase) {
    EXPECT_EQ(QualifiedName("Slope", FSeries1), "Form1.Series1.Slope");
    EXPECT_EQ(QualifiedName("Slope", nullptr), "Slope");
    EXPECT_EQ(Evaluate("Form1.Series1.Slope*2"), 5.0);
    EXPECT_EQ(Evaluate("form1.SERIES2.slope"), -1.0);
    EXPECT_EQ(MessageOf([] { Evaluate("Series1.Slope"); }),
              "Parsing error in function:\rSERIES1.SLOPE");
    EXPECT_EQ(MessageOf([] { Evaluate("Slope"); }), "Parsing error in function:\rSLOPE");
}

TEST_F(VariableRegistriesTest, SameContainerAndIdReplacesOtherwiseAppends) {
    const int count = GlobalDoubleGetters().Count();
    RegisterDoubleGetter("SLOPE", "", FSeries1, GlobalDoubleGetters(), [] { return 7.0; });
    EXPECT_EQ(GlobalDoubleGetters().Count(), count);
    EXPECT_EQ(Evaluate("Form1.Series1.Slope"), 7.0);
    EXPECT_EQ(Evaluate("Form1.Series2.Slope"), -1.0);
    RegisterDoubleGetter("Offset", "", FSeries1, GlobalDoubleGetters(), [] { return 1.0; });
    EXPECT_EQ(GlobalDoubleGetters().Count(), count + 1);
}

TEST_F(VariableRegistriesTest, IndexedVariables) {
    EXPECT_EQ(Evaluate("Form1.Series1.Values(0)+Form1.Series2.Values[3]"), 50.0);
    // The index rounds to the nearest integer, halves to even.
    EXPECT_EQ(Evaluate("Form1.Series1.Values(1.5)"), 30.0);
    EXPECT_EQ(Evaluate("Form1.Series1.Values(2.5)"), 30.0);
    EXPECT_EQ(Evaluate("Form1.Series1.Values(-0.5)"), 10.0);
    EXPECT_THROW(Evaluate("Form1.Series1.Values(4)"), EVxRangeError);
    EXPECT_EQ(MessageOf([] { Evaluate("Form1.Series1.Values(7)"); }), "i=7 index out of range");
    // Indexes that are no int never reach the array.
    TVxFunctionParser parser;
    double index = std::numeric_limits<double>::quiet_NaN();
    RegisterDoubleGetter("I", "", nullptr, parser.VariablesList, [&] { return index; });
    parser.SetExpression("Form1.Series1.Values(I)");
    EXPECT_EQ(MessageOf([&] { parser.Result(); }), "i=NAN index out of range");
    index = 1e20;
    EXPECT_EQ(MessageOf([&] { parser.Result(); }), "i=1E+20 index out of range");
    index = -std::numeric_limits<double>::infinity();
    EXPECT_EQ(MessageOf([&] { parser.Result(); }), "i=-INF index out of range");
}

TEST_F(VariableRegistriesTest, OwnerBecomesDependentOfTheContainersItUses) {
    QObject label;
    Evaluate("Form1.Series1.Slope+Form1.Series1.Slope*Form1.Series1.Values(1)", &label);
    EXPECT_EQ(FSeries1->Dependents, std::vector<QObject*>{&label});
    EXPECT_TRUE(FSeries2->Dependents.empty());
    Evaluate("Form1.Series2.Values(1)");
    EXPECT_TRUE(FSeries2->Dependents.empty());
    // A plain QObject container has no list of dependents; nothing happens.
    QObject plain;
    plain.setObjectName("Plain");
    RegisterDoubleGetter("V", "", &plain, GlobalDoubleGetters(), [] { return 3.0; });
    EXPECT_EQ(Evaluate("Plain.V", &label), 3.0);
}

TEST_F(VariableRegistriesTest, UnregisteringKeepsTheOrderOfTheOthers) {
    TVxDoubleGetterList list;
    QObject a, b;
    for (const auto& [id, container] :
         {std::pair{"x", &a}, std::pair{"y", &b}, std::pair{"z", &a}, std::pair{"w", &b}})
        RegisterDoubleGetter(id, "", container, list, [] { return 0.0; });
    UnregisterContainer(&a, list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Id, "y");
    EXPECT_EQ(list[1].Id, "w");
}

TEST_F(VariableRegistriesTest, CompiledExpressionFollowsUnregistering) {
    TVxFunctionParser parser;
    parser.SetExpression("Form1.Series1.Slope+1");
    EXPECT_EQ(parser.Result(), 3.5);
    const auto generation = RegistryGeneration();
    UnregisterContainerEverywhere(FSeries1);
    EXPECT_GT(RegistryGeneration(), generation);
    EXPECT_EQ(MessageOf([&] { parser.Result(); }),
              "Parsing error in function:\rFORM1.SERIES1.SLOPE");
    EXPECT_EQ(MessageOf([&] { parser.Result(); }),
              "Parsing error in function:\rFORM1.SERIES1.SLOPE");
    EXPECT_THROW(Evaluate("Form1.Series1.Values(1)"), EVxMathError);
    // Registered again, the same text works again.
    RegisterDoubleGetter("Slope", "", FSeries1, GlobalDoubleGetters(), [] { return 4.0; });
    EXPECT_EQ(parser.Result(), 5.0);
}

// Compiling registers the owner as a dependent again, which shows when a parser recompiles.
TEST_F(VariableRegistriesTest, RecompilesOnlyWhenAListItReadsChanged) {
    QObject label;
    TVxFunctionParser parser(&label);
    parser.SetExpression("Form1.Series1.Slope");
    FSeries1->Dependents.clear();
    {
        TVxFunctionParser other; // another parser's own lists change
        RegisterDoubleGetter("Q", "", nullptr, other.VariablesList, [] { return 0.0; });
    }
    EXPECT_EQ(parser.Result(), 2.5);
    EXPECT_TRUE(FSeries1->Dependents.empty());
    RegisterDoubleGetter("Q", "", nullptr, parser.VariablesList, [] { return 0.0; });
    EXPECT_EQ(parser.Result(), 2.5);
    EXPECT_EQ(FSeries1->Dependents, std::vector<QObject*>{&label});
    FSeries1->Dependents.clear();
    RegisterDoubleGetter("Other", "", FSeries2, GlobalDoubleGetters(), [] { return 0.0; });
    EXPECT_EQ(parser.Result(), 2.5);
    EXPECT_EQ(FSeries1->Dependents, std::vector<QObject*>{&label});
}

TEST_F(VariableRegistriesTest, DestroyedContainerLeavesEveryList) {
    auto* series = new TContainer(FForm.get(), "Series3");
    auto value = std::make_shared<double>(6.0);
    RegisterDoubleGetter("Mean", "", series, GlobalDoubleGetters(), [series, value] {
        return *value + double(series->Dependents.size()); // reads the object itself
    });
    RegisterStringGetter("Caption", "", series, GlobalStringGetters(), [] { return "c"; });
    RegisterDoubleArray("Values", "", series, GlobalDoubleArrays(), [](int) { return 1.0; });
    TVxFunctionParser parser;
    parser.SetExpression("Form1.Series3.Mean");
    EXPECT_EQ(parser.Result(), 6.0);
    ASSERT_TRUE(FindStringGetter(u"FORM1.SERIES3.CAPTION").has_value());
    const int getters = GlobalDoubleGetters().Count();
    delete series; // without unregistering
    EXPECT_EQ(GlobalDoubleGetters().Count(), getters - 1);
    EXPECT_FALSE(FindStringGetter(u"Form1.Series3.Caption").has_value());
    EXPECT_EQ(GlobalDoubleArrays().Find(u"Form1.Series3.Values"), nullptr);
    EXPECT_THROW(parser.Result(), EVxMathError);
}

TEST_F(VariableRegistriesTest, LookupByNameForCaptions) {
    RegisterStringGetter("Caption", "Series caption", FSeries1, GlobalStringGetters(),
                         [] { return QString("Temperature <%Form1.Series1.Slope%>"); });
    const std::optional<TVxStringGetterRec> caption = FindStringGetter(u"FORM1.series1.caption");
    ASSERT_TRUE(caption.has_value());
    EXPECT_EQ(caption->AGetter(), "Temperature <%Form1.Series1.Slope%>");
    EXPECT_EQ(caption->Container, FSeries1);
    const std::optional<TVxDoubleGetterRec> slope = FindDoubleGetter(u"Form1.Series1.Slope");
    ASSERT_TRUE(slope.has_value());
    EXPECT_EQ(slope->AGetter(), 2.5);
    EXPECT_FALSE(FindDoubleGetter(u"Form1.Series1").has_value());
    EXPECT_FALSE(FindDoubleGetter(u"Form1.Series1.Slop").has_value());
    EXPECT_FALSE(FindDoubleGetter(u"XForm1.Series1.Slope").has_value());
    UnregisterContainer(FSeries1, GlobalStringGetters());
    EXPECT_FALSE(FindStringGetter(u"Form1.Series1.Caption").has_value());
}

TEST_F(VariableRegistriesTest, ParserVariableShadowsGlobalOne) {
    TVxFunctionParser parser;
    RegisterDoubleGetter("Form1.Series1.Slope", "", nullptr, parser.VariablesList,
                         [] { return 100.0; });
    parser.SetExpression("Form1.Series1.Slope");
    EXPECT_EQ(parser.Result(), 100.0);
}

} // namespace
