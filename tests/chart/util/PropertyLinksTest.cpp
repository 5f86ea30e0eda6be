#include "util/PropertyLinks.h"

#include "QStringPrinter.h"
#include "util/Application.h"
#include "util/Component.h"
#include "util/IdleSource.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

// A component with published properties of several kinds.
class TLinkTarget : public TVxComponent {
    Q_OBJECT
    Q_PROPERTY(double Start MEMBER Start)
    Q_PROPERTY(int Count MEMBER Count)
    Q_PROPERTY(qint16 Small MEMBER Small)
    Q_PROPERTY(bool Flag MEMBER Flag)
    Q_PROPERTY(QString Caption MEMBER Caption)
    Q_PROPERTY(TKind Kind MEMBER Kind)
    Q_PROPERTY(TLinkTarget* Sub MEMBER Sub)

public:
    enum TKind { First, Second, Third };
    Q_ENUM(TKind)

    using TVxComponent::TVxComponent;
    double Start = 0;
    int Count = 0;
    qint16 Small = 0;
    bool Flag = false;
    QString Caption;
    TKind Kind = First;
    TLinkTarget* Sub = nullptr;
};

// The control side: one double property that counts its writes.
class TLinkOwner : public QObject {
    Q_OBJECT
    Q_PROPERTY(double Value READ Value WRITE SetValue)

public:
    double Value() const { return FValue; }
    void SetValue(double x) {
        FValue = x;
        ++Writes;
    }
    int Writes = 0;

private:
    double FValue = 0;
};

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A registered form "Form1" owning components A and B; links driven by a manual idle source.
class PropertyLinksTest : public ::testing::Test {
protected:
    void SetUp() override {
        TVxIdleSource::Install(&FIdle);
        FForm = std::make_unique<QObject>();
        FForm->setObjectName("Form1");
        TVxApplication::Instance().RegisterForm(FForm.get());
        FA = new TLinkTarget(FForm.get());
        FA->SetName("A");
        FB = new TLinkTarget(FForm.get());
        FB->SetName("B");
        FLinks = std::make_unique<TVxPropertyLinks>(&FOwner, "Value");
    }
    void TearDown() override {
        FLinks.reset();
        FForm.reset();
        TVxIdleSource::Install(nullptr);
    }

    TVxManualIdleSource FIdle;
    TLinkOwner FOwner;
    std::unique_ptr<QObject> FForm;
    TLinkTarget* FA = nullptr;
    TLinkTarget* FB = nullptr;
    std::unique_ptr<TVxPropertyLinks> FLinks;
};

} // namespace

TEST_F(PropertyLinksTest, ManagedPropertyDescription) {
    EXPECT_EQ(FLinks->ManagedProperty(), "Value");
    EXPECT_EQ(FLinks->TypeFilter(), "double");
    EXPECT_EQ(FLinks->TypeKind(), TVxTypeKind::Float);
    EXPECT_EQ(FIdle.Count(), 1);
    FLinks.reset();
    EXPECT_EQ(FIdle.Count(), 0);
}

TEST_F(PropertyLinksTest, LinkFollowsAndDrivesAPropertyByPath) {
    FA->Start = 2.5;
    FLinks->SetItems({"Form1.A.Start"});
    FIdle.Idle();
    ASSERT_TRUE(FLinks->PropRecs().at(0).Resolved());
    EXPECT_EQ(FOwner.Value(), 2.5);

    FA->Start = 7;
    FIdle.Idle();
    EXPECT_EQ(FOwner.Value(), 7);

    FLinks->SetLink(3.0);
    EXPECT_EQ(FA->Start, 3);
    // Unchanged values are not copied again at later idle moments.
    const int writes = FOwner.Writes;
    FOwner.SetValue(3);
    FIdle.Idle();
    FIdle.Idle();
    EXPECT_EQ(FOwner.Writes, writes + 1);
}

TEST_F(PropertyLinksTest, MissingFormLeavesTheLinkUnresolvedAndOnlyTheFirstLinkIsFollowed) {
    FA->Start = 1;
    FB->Start = 2;
    FLinks->SetItems({"Nope.A.Start", "Form1.A.Start", "Form1.B.Start"});
    FIdle.Idle();
    EXPECT_FALSE(FLinks->PropRecs().at(0).Resolved());
    EXPECT_EQ(FOwner.Writes, 0); // the first link is unresolved: nothing copied
    FLinks->SetLink(4.0);
    EXPECT_EQ(FA->Start, 4);
    EXPECT_EQ(FB->Start, 4);

    FLinks->SetItems({"Form1.A.Start", "Form1.B.Start"});
    FIdle.Idle();
    EXPECT_EQ(FOwner.Value(), 4);
    FB->Start = 9;
    FIdle.Idle();
    EXPECT_EQ(FOwner.Value(), 4);
    FA->Start = 8;
    FIdle.Idle();
    EXPECT_EQ(FOwner.Value(), 8);
}

TEST_F(PropertyLinksTest, ValuesAreConvertedByTheTargetType) {
    FLinks->SetItems(
        {"Form1.A.Count", "Form1.A.Small", "Form1.A.Flag", "Form1.A.Kind", "Form1.A.Caption"});
    FLinks->CheckLink();
    for (const TVxPropertyRec& rec : FLinks->PropRecs())
        ASSERT_TRUE(rec.Resolved());
    const struct {
        double Value;
        int Count;
        qint16 Small;
        bool Flag;
    } cases[] = {{2.5, 2, 2, true}, {3.5, 4, 4, true}, {-1.5, -2, -2, true}, {0, 0, 0, false}};
    for (const auto& c : cases) {
        FA->Kind = TLinkTarget::First;
        FLinks->SetLink(c.Value);
        EXPECT_EQ(FA->Count, c.Count) << c.Value;
        EXPECT_EQ(FA->Small, c.Small) << c.Value;
        EXPECT_EQ(FA->Flag, c.Flag) << c.Value;
    }
    FLinks->SetLink(2.0);
    EXPECT_EQ(FA->Kind, TLinkTarget::Third);
    EXPECT_EQ(FA->Caption, "2");
    FLinks->SetLink(3.0); // not a value of the enumeration: not written there
    EXPECT_EQ(FA->Kind, TLinkTarget::Third);
    EXPECT_EQ(FA->Caption, "3");
    // Values an integer cannot hold are not written (never reinterpreted).
    FLinks->SetLink(40000.0);
    EXPECT_EQ(FA->Count, 40000);
    EXPECT_EQ(FA->Small, 3);
    FLinks->SetLink(1e20);
    FLinks->SetLink(NaN);
    EXPECT_EQ(FA->Count, 40000);
}

TEST_F(PropertyLinksTest, ObjectValuedPropertiesLeadOnAndNullOnesStayUnresolved) {
    FLinks->SetItems({"Form1.A.Sub.Start"});
    FIdle.Idle();
    EXPECT_FALSE(FLinks->PropRecs().at(0).Resolved());
    FLinks->SetLink(5.0); // nothing to write, nothing dereferenced

    TLinkTarget inner;
    inner.Start = 6;
    FA->Sub = &inner;
    FLinks->Modified();
    FIdle.Idle();
    ASSERT_TRUE(FLinks->PropRecs().at(0).Resolved());
    EXPECT_EQ(FOwner.Value(), 6);
    FLinks->SetLink(1.5);
    EXPECT_EQ(inner.Start, 1.5);

    // Written back as the path of the last component plus the property path.
    FA->SetName("A2");
    FLinks->UpdateLinkNames();
    EXPECT_EQ(FLinks->Items(), QStringList{"Form1.A2.Sub.Start"});
    EXPECT_TRUE(FLinks->ShouldWriteItems());
    FA->Sub = nullptr;
}

TEST_F(PropertyLinksTest, NotANumberEqualsNotANumberAndDeadTargetsAreDropped) {
    FA->Start = NaN;
    FLinks->SetItems({"Form1.A.Start"});
    FIdle.Idle();
    EXPECT_TRUE(std::isnan(FOwner.Value()));
    const int writes = FOwner.Writes;
    for (int i = 0; i < 5; ++i)
        FIdle.Idle();
    EXPECT_EQ(FOwner.Writes, writes);

    delete FA;
    FA = nullptr;
    FLinks->SetLink(1.0);
    FIdle.Idle();
    EXPECT_FALSE(FLinks->PropRecs().at(0).Resolved());
}

TEST_F(PropertyLinksTest, EmptyListDoesNothing) {
    FOwner.SetValue(3);
    FIdle.Idle();
    FLinks->SetLink(1.0);
    EXPECT_FALSE(FLinks->ShouldWriteItems());
    EXPECT_EQ(FOwner.Writes, 1);
}

TEST(PropertyLinksEventLoopTest, EventLoopIdleMomentsDriveTheLinks) {
    TVxIdleSource::Install(nullptr);
    QObject form;
    form.setObjectName("LoopForm");
    TVxApplication::Instance().RegisterForm(&form);
    auto* target = new TLinkTarget(&form);
    target->SetName("T");
    target->Start = 42;
    TLinkOwner owner;
    {
        TVxPropertyLinks links(&owner, "Value");
        links.SetItems({"LoopForm.T.Start"});
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_EQ(owner.Value(), 42);
    }
}

#include "PropertyLinksTest.moc"
