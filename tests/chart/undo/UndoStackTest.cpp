// The undo stack: recording, undo and redo of every kind of value, groups, the step limit,
// file logs, records of objects that died, component, edit and vector states.
// Reference values: undo_reference.py.

#include "undo/UndoStack.h"

#include "util/Application.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QTemporaryDir>
#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace {

// A chart-like object with one property of every encoding; its setters record the old
// value on the stack before they change anything, as chart objects do.
class TRich : public QObject {
    Q_OBJECT

public:
    enum TShade { Light, Medium, Dark };
    Q_ENUM(TShade)
    enum TSide { NoSide = 0, Left = 1, Right = 2, Top = 4 };
    Q_DECLARE_FLAGS(TSides, TSide)
    Q_FLAG(TSides)

private:
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_PROPERTY(float Single READ Single WRITE SetSingle)
    Q_PROPERTY(int Count READ Count WRITE SetCount)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(uint Mask READ Mask WRITE SetMask)
    Q_PROPERTY(qint64 Big READ Big WRITE SetBig)
    Q_PROPERTY(QChar Letter READ Letter WRITE SetLetter)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(TShade Shade READ Shade WRITE SetShade)
    Q_PROPERTY(TSides Sides READ Sides WRITE SetSides)
    Q_PROPERTY(TRich* Partner READ Partner WRITE SetPartner)
    Q_PROPERTY(QObject* Link READ Link WRITE SetLink)
    Q_PROPERTY(QStringList Lines READ Lines WRITE SetLines)
    Q_PROPERTY(QList<double> Levels READ Levels WRITE SetLevels)
    Q_PROPERTY(QPointF Anchor READ Anchor WRITE SetAnchor)

public:
    explicit TRich(TVxUndoStack* Stack = nullptr, QObject* AOwner = nullptr)
        : QObject(AOwner), FStack(Stack) {}

    TVxUndoStack* FStack;
    int FSetterCalls = 0;

    double Value() const { return FValue; }
    void SetValue(double V) { Set("Value", FValue, V); }
    float Single() const { return FSingle; }
    void SetSingle(float V) { Set("Single", FSingle, V); }
    int Count() const { return FCount; }
    void SetCount(int V) { Set("Count", FCount, V); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool V) { Set("Visible", FVisible, V); }
    uint Mask() const { return FMask; }
    void SetMask(uint V) { Set("Mask", FMask, V); }
    qint64 Big() const { return FBig; }
    void SetBig(qint64 V) { Set("Big", FBig, V); }
    QChar Letter() const { return FLetter; }
    void SetLetter(QChar V) { Set("Letter", FLetter, V); }
    QString Text() const { return FText; }
    void SetText(const QString& V) { Set("Text", FText, V); }
    TShade Shade() const { return FShade; }
    void SetShade(TShade V) { Set("Shade", FShade, V); }
    TSides Sides() const { return FSides; }
    void SetSides(TSides V) { Set("Sides", FSides, V); }
    TRich* Partner() const { return FPartner; }
    void SetPartner(TRich* V) { Set("Partner", FPartner, V); }
    QObject* Link() const { return FLink; }
    void SetLink(QObject* V) { Set("Link", FLink, V); }
    QStringList Lines() const { return FLines; }
    void SetLines(const QStringList& V) { Set("Lines", FLines, V); }
    QList<double> Levels() const { return FLevels; }
    void SetLevels(const QList<double>& V) { Set("Levels", FLevels, V); }
    QPointF Anchor() const { return FAnchor; }
    void SetAnchor(QPointF V) { Set("Anchor", FAnchor, V); }

private:
    template <typename T> void Set(const char* Name, T& Field, const T& V) {
        ++FSetterCalls;
        if (FStack != nullptr)
            FStack->PushProperty(this, QString("Set ") + Name, Name);
        Field = V;
    }

    double FValue = 0;
    float FSingle = 0;
    int FCount = 0;
    bool FVisible = false;
    uint FMask = 0;
    qint64 FBig = 0;
    QChar FLetter;
    QString FText;
    TShade FShade = Light;
    TSides FSides;
    TRich* FPartner = nullptr;
    QObject* FLink = nullptr;
    QStringList FLines;
    QList<double> FLevels;
    QPointF FAnchor;
};

// The bits of 0.1 + 0.2 (undo_reference.py): a log that kept 4-byte floats would lose them.
constexpr uint64_t PointThreeBits = 0x3FD3333333333334ULL;

// Points TMPDIR at a fresh folder for the life of the fixture, so that file logs can be
// counted and nothing is left in the real temporary folder.
class TTempDirGuard {
public:
    TTempDirGuard() : FOld(qgetenv("TMPDIR")), FHad(qEnvironmentVariableIsSet("TMPDIR")) {
        qputenv("TMPDIR", FDir.path().toLocal8Bit());
    }
    ~TTempDirGuard() {
        if (FHad)
            qputenv("TMPDIR", FOld);
        else
            qunsetenv("TMPDIR");
    }
    QString Path() const { return FDir.path(); }
    QStringList Files() const {
        return QDir(FDir.path())
            .entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

private:
    QTemporaryDir FDir;
    QByteArray FOld;
    bool FHad;
};

// Every behaviour runs with logs in memory and in files.
class UndoStackTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { Stack.SetToMemoryStream(GetParam()); }

    TTempDirGuard TempDir;
    TVxUndoStack Stack;
};

INSTANTIATE_TEST_SUITE_P(Logs, UndoStackTest, ::testing::Values(true, false),
                         [](const auto& Info) { return Info.param ? "Memory" : "Files"; });

TEST_P(UndoStackTest, LimitKeepsNewestStepsAndUndoRedoRestoresThem) {
    TRich sample(&Stack);
    for (int i = 1; i <= 25; ++i)
        sample.setProperty("Value", double(i));
    EXPECT_EQ(Stack.UndoCount(), 20);
    const QStringList list = Stack.UndoList();
    ASSERT_EQ(list.size(), 20);
    EXPECT_EQ(list[0], "Set Value");
    // Each step sets the value i; 20 undos go back to the value before step 6, which is 5.
    for (int k = 0; k < 20; ++k)
        ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(sample.Value(), 5.0);
    EXPECT_FALSE(Stack.CanUndo());
    EXPECT_EQ(Stack.RedoCount(), 20);
    for (int k = 0; k < 20; ++k)
        ASSERT_TRUE(Stack.Redo(0));
    EXPECT_EQ(sample.Value(), 25.0);
    EXPECT_FALSE(Stack.CanRedo());
    // The writer continues at the end of the trimmed log: more steps still undo exactly.
    for (int i = 26; i <= 30; ++i)
        sample.setProperty("Value", double(i));
    ASSERT_TRUE(Stack.Undo(19));
    EXPECT_EQ(sample.Value(), 10.0);
}

TEST_P(UndoStackTest, DescriptionsOfStepsAreListedNewestFirst) {
    TRich sample(&Stack);
    sample.SetCount(1);
    sample.SetText("x");
    sample.SetValue(2);
    EXPECT_EQ(Stack.UndoList(), QStringList({"Set Value", "Set Text", "Set Count"}));
    ASSERT_TRUE(Stack.Undo(1));
    EXPECT_EQ(Stack.UndoList(), QStringList({"Set Count"}));
    EXPECT_EQ(Stack.UndoCount(), 3);
    EXPECT_EQ(Stack.RedoList(), QStringList({"Set Text", "Set Value"}));
}

TEST_P(UndoStackTest, LoweredLimitTrimsEveryExtraStep) {
    Stack.SetLimit(0);
    TRich sample(&Stack);
    for (int i = 1; i <= 12; ++i)
        sample.SetValue(i);
    EXPECT_EQ(Stack.UndoCount(), 12);
    Stack.SetLimit(3);
    EXPECT_EQ(Stack.UndoCount(), 3);
    sample.SetValue(13);
    EXPECT_EQ(Stack.UndoCount(), 3);
    ASSERT_TRUE(Stack.Undo(10));
    EXPECT_EQ(sample.Value(), 10.0);
}

// Every encoding comes back exactly: the table holds each property's first and second value.
TEST_P(UndoStackTest, EveryKindOfValueComesBackExactly) {
    TRich first(nullptr), second(nullptr);
    first.setObjectName("NotRegistered"); // a name whose path does not resolve
    const double pointThree = 0.1 + 0.2;
    ASSERT_EQ(std::bit_cast<uint64_t>(pointThree), PointThreeBits);
    struct TCase {
        const char* Name;
        QVariant Before;
        QVariant After;
    };
    const std::vector<TCase> cases = {
        {"Value", pointThree, 1e300},
        {"Single", 0.1f, -2.5f},
        {"Count", -7, 2147483647},
        {"Visible", true, false},
        {"Mask", 4000000000u, 1u},
        {"Big", qint64(-9007199254740993LL), qint64(1) << 62},
        {"Letter", QChar(0x00E9), QChar(u'Z')},
        {"Text", QString::fromUtf8("\xC3\xA9t\xC3\xA9 1\n2"), QString()},
        {"Shade", QVariant::fromValue(TRich::Dark), QVariant::fromValue(TRich::Medium)},
        {"Sides", QVariant::fromValue(TRich::TSides(TRich::Left | TRich::Top)),
         QVariant::fromValue(TRich::TSides(TRich::Right))},
        {"Partner", QVariant::fromValue<TRich*>(nullptr), QVariant::fromValue(&second)},
        {"Link", QVariant::fromValue<QObject*>(&first), QVariant::fromValue<QObject*>(&second)},
        {"Lines", QStringList({"a", "", "b c"}), QStringList()},
        {"Levels", QVariant::fromValue(QList<double>({pointThree, -0.0, 5e-324})),
         QVariant::fromValue(QList<double>({1}))},
        {"Anchor", QPointF(pointThree, -1), QPointF(2, 3)},
    };
    TRich sample(nullptr);
    for (const TCase& c : cases)
        ASSERT_TRUE(sample.setProperty(c.Name, c.Before)) << c.Name;
    sample.FStack = &Stack;
    for (const TCase& c : cases)
        ASSERT_TRUE(sample.setProperty(c.Name, c.After)) << c.Name;
    ASSERT_EQ(Stack.UndoCount(), int(cases.size()));

    for (size_t k = 0; k < cases.size(); ++k)
        ASSERT_TRUE(Stack.Undo(0));
    for (const TCase& c : cases)
        EXPECT_EQ(sample.property(c.Name), c.Before) << c.Name;
    EXPECT_EQ(std::bit_cast<uint64_t>(sample.Value()), PointThreeBits);
    EXPECT_EQ(std::bit_cast<uint64_t>(sample.Levels()[0]), PointThreeBits);
    EXPECT_TRUE(std::signbit(sample.Levels()[1]));
    EXPECT_EQ(sample.Partner(), nullptr);
    EXPECT_EQ(sample.Link(), &first);
    EXPECT_EQ(Stack.UndoCount(), int(cases.size())); // setters called by undo record nothing

    for (size_t k = 0; k < cases.size(); ++k)
        ASSERT_TRUE(Stack.Redo(0));
    for (const TCase& c : cases)
        EXPECT_EQ(sample.property(c.Name), c.After) << c.Name;
    EXPECT_EQ(sample.Partner(), &second);
    EXPECT_EQ(sample.Link(), &second);
}

TEST_P(UndoStackTest, UnknownPropertyRaisesAndRecordsNothing) {
    TRich sample(&Stack);
    sample.SetValue(1);
    sample.SetValue(2);
    ASSERT_TRUE(Stack.Undo(0));
    try {
        Stack.PushProperty(&sample, "Bad", "NoSuchProperty");
        FAIL() << "no exception";
    } catch (const EVxStreamError& e) {
        EXPECT_EQ(e.Message(), "Property: \"NoSuchProperty\" not found");
    }
    // Nothing was written: the undone step is still there to redo.
    EXPECT_EQ(Stack.UndoCount(), 2);
    EXPECT_EQ(Stack.UndoList(), QStringList({"Set Value"}));
    ASSERT_TRUE(Stack.Redo(0));
    EXPECT_EQ(sample.Value(), 2.0);
}

TEST_P(UndoStackTest, NestedGroupsMakeOneStep) {
    TRich sample(&Stack);
    Stack.StartGroup("Outer");
    sample.SetValue(1);
    EXPECT_FALSE(Stack.Undo(0)); // the open step is not finished
    EXPECT_EQ(sample.Value(), 1.0);
    Stack.StartGroup("Inner");
    sample.SetText("t");
    sample.SetValue(2); // the same property twice in one step
    Stack.StopGroup();
    sample.SetCount(3);
    Stack.StopGroup();
    sample.SetCount(4);
    EXPECT_EQ(Stack.UndoList(), QStringList({"Set Count", "Outer"}));

    ASSERT_TRUE(Stack.Undo(1));
    EXPECT_EQ(sample.Value(), 0.0);
    EXPECT_EQ(sample.Text(), "");
    EXPECT_EQ(sample.Count(), 0);
    EXPECT_EQ(Stack.RedoList(), QStringList({"Outer", "Set Count"}));

    ASSERT_TRUE(Stack.Redo(0));
    EXPECT_EQ(sample.Value(), 2.0);
    EXPECT_EQ(sample.Text(), "t");
    EXPECT_EQ(sample.Count(), 3);
    EXPECT_EQ(Stack.UndoList(), QStringList({"Outer"}));
    ASSERT_TRUE(Stack.Redo(0));
    EXPECT_EQ(sample.Count(), 4);
}

TEST_P(UndoStackTest, LoneStopGroupRaisesAndChangesNothing) {
    TRich sample(&Stack);
    Stack.StartGroup("G");
    sample.SetValue(1);
    Stack.StopGroup();
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            Stack.StopGroup();
            FAIL() << "no exception";
        } catch (const EVxRangeError& e) {
            EXPECT_EQ(e.Message(), "Undo stack has too many StopGroup statements");
        }
    }
    EXPECT_EQ(Stack.UndoCount(), 1);
    // The next record still starts a step of its own.
    sample.SetValue(2);
    EXPECT_EQ(Stack.UndoList(), QStringList({"Set Value", "G"}));
    ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(sample.Value(), 1.0);
    ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(sample.Value(), 0.0);
}

TEST_P(UndoStackTest, SingleUndosEachLeaveAStepToRedo) {
    TRich sample(&Stack);
    for (int i = 1; i <= 5; ++i)
        sample.SetCount(i);
    for (int k = 0; k < 5; ++k)
        ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(sample.Count(), 0);
    EXPECT_EQ(Stack.RedoCount(), 5);
    EXPECT_EQ(Stack.RedoList().size(), 5);
    ASSERT_TRUE(Stack.Redo(1));
    EXPECT_EQ(sample.Count(), 2);
    // Undo after a partial redo: redo records again and the rest stays redoable.
    ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(sample.Count(), 1);
    ASSERT_TRUE(Stack.Redo(3));
    EXPECT_EQ(sample.Count(), 5);
    EXPECT_FALSE(Stack.CanRedo());
}

TEST_P(UndoStackTest, UndoBeyondTheFirstStepStopsThere) {
    TRich sample(&Stack);
    sample.SetCount(1);
    sample.SetCount(2);
    ASSERT_TRUE(Stack.Undo(5));
    EXPECT_EQ(sample.Count(), 0);
    EXPECT_FALSE(Stack.CanUndo());
    EXPECT_FALSE(Stack.Undo(0));
    EXPECT_EQ(Stack.RedoList().size(), 2);
}

TEST_P(UndoStackTest, NewRecordAfterUndoDiscardsRedo) {
    TRich sample(&Stack);
    sample.SetCount(1);
    sample.SetCount(2);
    ASSERT_TRUE(Stack.Undo(0));
    sample.SetText("new");
    EXPECT_FALSE(Stack.CanRedo());
    EXPECT_EQ(Stack.RedoCount(), 0);
    EXPECT_EQ(Stack.UndoCount(), 2);
    EXPECT_EQ(Stack.UndoList(), QStringList({"Set Text", "Set Count"}));
    ASSERT_TRUE(Stack.Undo(1));
    EXPECT_EQ(sample.Text(), "");
    EXPECT_EQ(sample.Count(), 0);
}

TEST_P(UndoStackTest, DisabledStackRecordsNothing) {
    TRich sample(&Stack);
    sample.SetCount(1);
    Stack.SetEnabled(false);
    EXPECT_FALSE(Stack.CanUndo());
    sample.SetCount(2);
    Stack.StartGroup("G");
    Stack.StopGroup();
    Stack.SetEnabled(true);
    EXPECT_EQ(Stack.UndoCount(), 1);
}

TEST_P(UndoStackTest, RecordOfDestroyedObjectIsSkipped) {
    TRich kept(&Stack);
    auto* doomed = new TRich(&Stack);
    Stack.StartGroup("Both");
    kept.SetValue(1);
    doomed->SetValue(1);
    Stack.StopGroup();
    doomed->SetValue(2);
    delete doomed;
    // The step of the dead object alone and the group both undo; only the live one changes.
    ASSERT_TRUE(Stack.Undo(1));
    EXPECT_EQ(kept.Value(), 0.0);
    EXPECT_EQ(Stack.RedoList().size(), 2);
    ASSERT_TRUE(Stack.Redo(1));
    EXPECT_EQ(kept.Value(), 1.0);
    // A new object that may reuse the dead one's address is its own object to the stack:
    // its own step undoes, the dead object's steps do not touch it.
    auto newcomer = std::make_unique<TRich>(&Stack);
    newcomer->SetValue(5);
    ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(newcomer->Value(), 0.0);
    newcomer->FStack = nullptr;
    newcomer->SetValue(8);
    ASSERT_TRUE(Stack.Undo(1));
    EXPECT_EQ(kept.Value(), 0.0);
    EXPECT_EQ(newcomer->Value(), 8.0);
}

TEST_P(UndoStackTest, ObjectsAreFoundByTheirPathFirst) {
    QObject form;
    form.setObjectName("UndoPathForm");
    TVxApplication::Instance().RegisterForm(&form);
    auto* sample = new TRich(&Stack, &form);
    sample->setObjectName("Sample1");
    sample->SetValue(3);
    EXPECT_EQ(ComponentPath(sample), "UndoPathForm.Sample1");
    // The object is replaced by another of the same path, as a reloaded chart would be.
    delete sample;
    TRich replacement(nullptr, &form);
    replacement.setObjectName("Sample1");
    replacement.SetValue(9);
    ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(replacement.Value(), 0.0);
    TVxApplication::Instance().Unregister(&form);
}

// A setter that refuses a value: the undo that writes it fails.
class TPicky : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Level READ Level WRITE SetLevel)

public:
    int Level() const { return FLevel; }
    void SetLevel(int V) {
        if (V < 0)
            throw EVxRangeError("negative level");
        FLevel = V;
    }
    int FLevel = -1;
};

TEST_P(UndoStackTest, FailedUndoClearsTheLogsAndSaysSo) {
    TRich sample(&Stack);
    TPicky picky;
    int undoCalls = 0, redoCalls = 0;
    Stack.OnUndo = [&](TVxUndoStack*) { ++undoCalls; };
    Stack.OnRedo = [&](TVxUndoStack*) { ++redoCalls; };
    sample.SetValue(1);
    ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(undoCalls, 1);
    EXPECT_EQ(redoCalls, 0);
    ASSERT_TRUE(Stack.Redo(0));
    EXPECT_EQ(redoCalls, 1);

    Stack.PushProperty(&picky, "Level", "Level"); // saves -1, which SetLevel refuses
    picky.SetLevel(4);
    EXPECT_FALSE(Stack.Undo(1));
    EXPECT_EQ(undoCalls, 1);
    EXPECT_EQ(redoCalls, 1);
    EXPECT_FALSE(Stack.Restoring());
    EXPECT_EQ(Stack.UndoCount(), 0);
    EXPECT_FALSE(Stack.CanUndo());
    EXPECT_FALSE(Stack.CanRedo());
    // The stack keeps recording afterwards.
    sample.SetValue(5);
    ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(sample.Value(), 1.0);
}

// Keeps a value outside its properties, as a series keeps its layer.
class TLayered : public QObject, public TVxUndoSpecialValues {
    Q_OBJECT

public:
    bool GetUndoSpecialValue(const QByteArray& Name, qint64& Value) const override {
        if (Name != "Layer")
            return false;
        Value = FLayer;
        return true;
    }
    void SetUndoSpecialValue(const QByteArray& Name, qint64 Value) override {
        if (Name == "Layer")
            FLayer = int(Value);
    }
    int FLayer = 2;
};

TEST_P(UndoStackTest, SpecialValuesRoundTrip) {
    TLayered series;
    Stack.PushProperty(&series, "Layer", "Layer");
    series.FLayer = 7;
    ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(series.FLayer, 2);
    ASSERT_TRUE(Stack.Redo(0));
    EXPECT_EQ(series.FLayer, 7);
    EXPECT_THROW(Stack.PushProperty(&series, "Other", "Other"), EVxStreamError);
}

TEST_P(UndoStackTest, VectorStateRoundTrips) {
    TVxDoubleVector vector;
    const std::vector<double> before = {0.1 + 0.2, -1e-300, 4};
    vector.AddRange(std::span<const double>(before));
    vector.AddOutlier(1);
    Stack.PushVectorState(&vector, "Graph series data");
    vector.Clear(true);
    for (int i = 0; i < 1000; ++i)
        vector.Add(i * 0.5);
    vector.AddOutlier(999);

    ASSERT_TRUE(Stack.Undo(0));
    ASSERT_EQ(vector.GetCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::bit_cast<uint64_t>(vector.GetValue(i)),
                  std::bit_cast<uint64_t>(before[size_t(i)]));
    EXPECT_TRUE(vector.IsOutlier(1));
    EXPECT_FALSE(vector.IsOutlier(0));

    ASSERT_TRUE(Stack.Redo(0));
    ASSERT_EQ(vector.GetCount(), 1000);
    EXPECT_EQ(vector.GetValue(999), 499.5);
    EXPECT_TRUE(vector.IsOutlier(999));
    EXPECT_FALSE(vector.IsOutlier(1));
}

// A component that the stack can make anew: its constructor is known to the meta-object
// system.
class TPart : public QObject {
    Q_OBJECT
    Q_PROPERTY(double Width READ Width WRITE SetWidth)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    Q_INVOKABLE explicit TPart(QObject* AOwner = nullptr) : QObject(AOwner) {}
    double Width() const { return FWidth; }
    void SetWidth(double V) { FWidth = V; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& V) { FCaption = V; }
    double FWidth = 1;
    QString FCaption;
};

class UndoComponentTest : public UndoStackTest {
protected:
    void SetUp() override {
        UndoStackTest::SetUp();
        Form.setObjectName("UndoForm");
        TVxApplication::Instance().RegisterForm(&Form);
    }
    void TearDown() override { TVxApplication::Instance().Unregister(&Form); }

    QObject Form;
};

INSTANTIATE_TEST_SUITE_P(Logs, UndoComponentTest, ::testing::Values(true, false),
                         [](const auto& Info) { return Info.param ? "Memory" : "Files"; });

TEST_P(UndoComponentTest, ComponentStateRoundTrips) {
    auto* part = new TPart(&Form);
    part->setObjectName("Part1");
    part->SetWidth(0.1 + 0.2);
    part->SetCaption("before");
    Stack.PushComponent(part, "Edit part");
    part->SetWidth(7);
    part->SetCaption("after");
    ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(std::bit_cast<uint64_t>(part->Width()), PointThreeBits);
    EXPECT_EQ(part->Caption(), "before");
    ASSERT_TRUE(Stack.Redo(0));
    EXPECT_EQ(part->Width(), 7.0);
    EXPECT_EQ(part->Caption(), "after");
}

TEST_P(UndoComponentTest, FreedComponentIsMadeAnewWithItsState) {
    auto* part = new TPart(&Form);
    part->setObjectName("Part2");
    part->SetCaption("saved");
    Stack.PushComponent(part, "Delete part");
    delete part;
    ASSERT_TRUE(Stack.Undo(0));
    auto* again = qobject_cast<TPart*>(FindComponentByPath(u"UndoForm.Part2"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->parent(), &Form);
    EXPECT_EQ(again->Caption(), "saved");
    // Redo takes the deletion back again.
    ASSERT_TRUE(Stack.Redo(0));
    EXPECT_EQ(FindComponentByPath(u"UndoForm.Part2"), nullptr);
}

TEST_P(UndoComponentTest, CreatedComponentIsFreedByUndoAndMadeAgainByRedo) {
    auto* part = new TPart(&Form);
    part->setObjectName("Part3");
    part->SetWidth(4);
    Stack.PushFreeComponent(part, "Add part");
    ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(FindComponentByPath(u"UndoForm.Part3"), nullptr);
    ASSERT_TRUE(Stack.Redo(0));
    auto* again = qobject_cast<TPart*>(FindComponentByPath(u"UndoForm.Part3"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Width(), 4.0);

    TPart unnamed(&Form);
    try {
        Stack.PushFreeComponent(&unnamed, "Add part");
        FAIL() << "no exception";
    } catch (const EVxStreamError& e) {
        EXPECT_EQ(e.Message(), "Component does not have a name");
    }
}

TEST_P(UndoStackTest, EditStateRoundTrips) {
    QLineEdit edit;
    edit.setText("hello world");
    edit.setSelection(6, 5);
    Stack.PushEditState(&edit, edit.text(), 6, 5, "Typing");
    edit.setText("bye");
    edit.setCursorPosition(1);
    ASSERT_TRUE(Stack.Undo(0));
    EXPECT_EQ(edit.text(), "hello world");
    EXPECT_EQ(edit.selectionStart(), 6);
    EXPECT_EQ(edit.selectedText(), "world");
    ASSERT_TRUE(Stack.Redo(0));
    EXPECT_EQ(edit.text(), "bye");
    EXPECT_EQ(edit.cursorPosition(), 1);
    EXPECT_FALSE(edit.hasSelectedText());
}

TEST(UndoStackFiles, LogsAreCreatedExclusivelyAndDeletedWithTheStack) {
    TTempDirGuard tmp;
    const QString base =
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".VxUndoStack.";
    // A file and a symbolic link already hold the first two names; the link's target must
    // not be touched.
    QFile taken(tmp.Path() + "/" + base + "0");
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.write("mine");
    taken.close();
    const QString victim = tmp.Path() + "/victim";
    QFile victimFile(victim);
    ASSERT_TRUE(victimFile.open(QIODevice::WriteOnly));
    victimFile.write("keep");
    victimFile.close();
    ASSERT_TRUE(QFile::link(victim, tmp.Path() + "/" + base + "1"));
    {
        TVxUndoStack stack;
        stack.SetToMemoryStream(false);
        EXPECT_EQ(tmp.Files().size(), 3); // nothing is created before the first record
        TRich sample(&stack);
        sample.SetValue(1);
        const QStringList expected = {base + "0", base + "1", base + "2",
                                      base + "3", base + "4", "victim"};
        EXPECT_EQ(tmp.Files(), expected);
        for (const char* n : {"2", "3", "4"}) {
            struct stat info {};
            ASSERT_EQ(::lstat(QFile::encodeName(tmp.Path() + "/" + base + n).constData(), &info),
                      0);
            EXPECT_TRUE(S_ISREG(info.st_mode));
            EXPECT_EQ(info.st_mode & 0777, 0600u) << n;
        }
        ASSERT_TRUE(stack.Undo(0));
        EXPECT_EQ(sample.Value(), 0.0);
    }
    EXPECT_EQ(tmp.Files(), QStringList({base + "0", base + "1", "victim"}));
    QFile check(victim);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), "keep");
}

} // namespace

#include "UndoStackTest.moc"
