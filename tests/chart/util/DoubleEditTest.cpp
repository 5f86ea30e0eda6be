#include "util/DoubleEdit.h"

#include "LocaleTable.h"
#include "QStringPrinter.h"
#include "util/Application.h"
#include "util/Component.h"
#include "util/DateTime.h"
#include "util/DateTimeFormat.h"
#include "util/EventGuard.h"
#include "util/Exceptions.h"
#include "util/IdleSource.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

// A component with a double property for the edit's links.
class TEditLinkTarget : public TVxComponent {
    Q_OBJECT
    Q_PROPERTY(double Start MEMBER Start)

public:
    using TVxComponent::TVxComponent;
    double Start = 0;
};

namespace {

// A shown, active window with the edit and a second box to move the focus to; beeps and
// value notifications are counted.
class DoubleEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        TVxIdleSource::Install(&FIdle);
        TVxCustomDoubleEdit::SetBeepHandler([this] { ++FBeeps; });
        FWindow = std::make_unique<QWidget>();
        FWindow->setObjectName("FormLogger");
        auto* layout = new QVBoxLayout(FWindow.get());
        FEdit = new TVxDoubleEdit(FWindow.get());
        FEdit->setObjectName("IntervalEdit");
        FEdit->SetFormatSettings(TVxFormatSettings::Invariant());
        FEdit->OnValueChanged = [this](TVxCustomDoubleEdit*) { ++FChanges; };
        FOther = new QLineEdit(FWindow.get());
        layout->addWidget(FEdit);
        layout->addWidget(FOther);
        FWindow->resize(200, 80);
        FWindow->show();
        QApplication::setActiveWindow(FWindow.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(FWindow.get()));
        FOther->setFocus();
    }
    void TearDown() override {
        FWindow.reset();
        TVxCustomDoubleEdit::SetBeepHandler({});
        TVxIdleSource::Install(nullptr);
    }

    // The logger's interval settings, in their stored order.
    void LoggerSettings() {
        FEdit->SetAsDateTime(false);
        FEdit->SetAsTimeSpan(false);
        FEdit->SetDoHashes(true);
        FEdit->SetMinValue(0.05);
        FEdit->SetMaxValue(60);
        FEdit->SetValue(0.05);
        FEdit->Loaded();
    }
    void FocusEdit() {
        FEdit->setFocus();
        ASSERT_TRUE(FEdit->hasFocus());
    }
    void LeaveEdit() {
        FOther->setFocus();
        ASSERT_FALSE(FEdit->hasFocus());
    }
    // Focuses the edit, replaces its text by typing Keys one by one.
    void Type(const QString& Keys) {
        FocusEdit();
        FEdit->selectAll();
        QTest::keyClicks(FEdit, Keys);
    }

    // Types Text character by character as a keyboard of any language sends it (QTest
    // only sends Latin-1 characters).
    void TypeText(const QString& Text) {
        FocusEdit();
        FEdit->selectAll();
        for (const QChar c : Text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(FEdit, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(FEdit, &release);
        }
    }

    TVxManualIdleSource FIdle;
    std::unique_ptr<QWidget> FWindow;
    TVxDoubleEdit* FEdit = nullptr;
    QLineEdit* FOther = nullptr;
    int FBeeps = 0;
    int FChanges = 0;
};

} // namespace

TEST_F(DoubleEditTest, LoggerIntervalClampsWhenLeavingWithOneBeep) {
    LoggerSettings();
    EXPECT_EQ(FEdit->Value(), 0.05);
    EXPECT_EQ(FEdit->text(), "0.05");

    FocusEdit();
    FEdit->selectAll();
    QTest::keyClicks(FEdit, "7");
    EXPECT_EQ(FEdit->Value(), 7);
    QTest::keyClicks(FEdit, "5");
    EXPECT_EQ(FEdit->text(), "75");
    EXPECT_EQ(FEdit->Value(), 7); // 75 is out of range: kept until the box is left
    EXPECT_EQ(FBeeps, 0);
    LeaveEdit();
    EXPECT_EQ(FEdit->Value(), 60);
    EXPECT_EQ(FEdit->text(), "60");
    EXPECT_EQ(FBeeps, 1);

    FEdit->SetValue(1);
    Type("0.01");
    LeaveEdit();
    EXPECT_EQ(FEdit->Value(), 0.05);
    EXPECT_EQ(FBeeps, 2);
}

TEST_F(DoubleEditTest, FocusInAndOutWithoutTypingChangesNothing) {
    FEdit->resize(60, FEdit->height());
    FEdit->SetValue(123.456789012345);
    const QString fitted = FEdit->text();
    EXPECT_LT(fitted.size(), QString("123.456789012345").size()) << fitted.toStdString();
    const int changes = FChanges;
    FocusEdit();
    EXPECT_EQ(FEdit->text(), "123.456789012345");
    LeaveEdit();
    EXPECT_EQ(FEdit->Value(), 123.456789012345);
    EXPECT_EQ(FEdit->text(), fitted);
    EXPECT_EQ(FBeeps, 0);
    EXPECT_EQ(FChanges, changes);

    // A date-time shown to the second keeps its milliseconds too.
    FEdit->SetAsDateTime(true);
    const TDateTime stamp = EncodeDateTime(2024, 3, 1, 14, 5, 9, 45);
    FEdit->SetValue(stamp);
    FocusEdit();
    LeaveEdit();
    EXPECT_EQ(FEdit->Value(), stamp);
    EXPECT_EQ(FBeeps, 0);
}

TEST_F(DoubleEditTest, DecimalCommaLocale) {
    FEdit->SetFormatSettings(TVxFormatSettings::FromLocale(QLocale(QLocale::German)));
    Type("1,5");
    EXPECT_EQ(FEdit->Value(), 1.5);
    LeaveEdit();
    EXPECT_EQ(FEdit->text(), "1,5");
    // A point is a group separator here: "2.5" is read neither as 25 nor as 2.5; the
    // value stays what the last valid text "2" gave, and leaving beeps and shows it again.
    Type("2.5");
    EXPECT_EQ(FEdit->Value(), 2);
    LeaveEdit();
    EXPECT_EQ(FEdit->Value(), 2);
    EXPECT_EQ(FEdit->text(), "2");
    EXPECT_EQ(FBeeps, 1);
    FEdit->SetMinValue(0.05);
    FEdit->SetMaxValue(60);
    FEdit->SetValue(0.05);
    EXPECT_EQ(FEdit->text(), "0,05");
}

TEST_F(DoubleEditTest, WithoutLimitsAnyValueIsTaken) {
    Type("1e9");
    LeaveEdit();
    EXPECT_EQ(FEdit->Value(), 1e9);
    EXPECT_EQ(FBeeps, 0);
    FEdit->SetValue(-3.25);
    EXPECT_EQ(FEdit->Value(), -3.25);
}

TEST_F(DoubleEditTest, FittingAndHashes) {
    FEdit->resize(60, FEdit->height());
    FEdit->SetValue(123456.789012345);
    const QString shown = FEdit->text();
    EXPECT_NE(shown, "123456.789012345");
    EXPECT_LE(QFontMetrics(FEdit->font()).horizontalAdvance(shown), FEdit->width());
    EXPECT_NEAR(shown.toDouble(), 123456.789012345, 1000);

    FEdit->resize(8, FEdit->height());
    EXPECT_EQ(FEdit->text(), QString(45, u'#'));
    FEdit->SetDoHashes(false);
    EXPECT_NE(FEdit->text(), QString(45, u'#'));
    FEdit->resize(200, FEdit->height());
    EXPECT_EQ(FEdit->text(), "123456.789012345");

    FEdit->SetFormat("0.00");
    EXPECT_EQ(FEdit->text(), "123456.79");
}

TEST_F(DoubleEditTest, KeyFilterAndEnter) {
    int doubleClicks = 0;
    FEdit->OnDblClick = [&](TVxCustomDoubleEdit*) { ++doubleClicks; };
    FEdit->SetMinValue(0);
    FEdit->SetMaxValue(10);
    Type("2x");
    EXPECT_EQ(FEdit->text(), "2");
    EXPECT_EQ(FBeeps, 1);
    QTest::keyClicks(FEdit, "e1");
    EXPECT_EQ(FEdit->text(), "2e1");
    EXPECT_EQ(FEdit->Value(), 2);
    QTest::keyClick(FEdit, Qt::Key_Return);
    EXPECT_EQ(FEdit->Value(), 10);
    EXPECT_EQ(FEdit->text(), "10");
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(FBeeps, 3); // the clamp and the Enter key itself
    QTest::keyClick(FEdit, Qt::Key_Backspace);
    EXPECT_EQ(FEdit->text(), "1");
    EXPECT_EQ(FEdit->Value(), 1);
}

TEST_F(DoubleEditTest, DateTimeAndTimeSpanModes) {
    FEdit->SetAsTimeSpan(true);
    FEdit->SetAsDateTime(true);
    EXPECT_TRUE(FEdit->AsDateTime());
    EXPECT_FALSE(FEdit->AsTimeSpan());
    FEdit->SetMinValue(-1e9);
    EXPECT_EQ(FEdit->MinValue(), MinDateTime);

    // Day -1 at 06:00 (-1.25) lies before day -1 at 18:00 (-1.75) on the time line.
    FEdit->SetMinValue(-1.75);
    FEdit->SetMaxValue(10);
    FEdit->SetValue(-1.25);
    EXPECT_EQ(FEdit->Value(), -1.75);
    FEdit->SetValue(-1.9);
    EXPECT_EQ(FEdit->Value(), -1.9);

    FEdit->SetMinValue(0);
    FEdit->SetMaxValue(0);
    FEdit->SetAsTimeSpan(true);
    FEdit->SetValue(1.5);
    EXPECT_EQ(FEdit->text(), "1.12:00:00.000");
    Type("2.06:00:00");
    EXPECT_EQ(FEdit->Value(), 2.25);
    LeaveEdit();
    FEdit->SetValue(-1);
    EXPECT_EQ(FEdit->text(), "Error");
}

// A date typed in the locale's own layout (literal text, a marker before the hour) is
// taken; a typed text that is no date-time is never dropped silently: the old value's text
// comes back with a beep.
TEST_F(DoubleEditTest, RetypedDateTimesAreTakenInEveryLocale) {
    FWindow->resize(600, 80);
    const TDateTime before = EncodeDateTime(2024, 3, 1, 14, 5, 9, 0);
    const TDateTime typed = EncodeDateTime(1987, 11, 23, 9, 41, 7, 0);
    for (const char* locale : RoundTripLocales) {
        SCOPED_TRACE(locale);
        const TVxFormatSettings settings = RoundTripSettings(locale);
        FEdit->SetFormatSettings(settings);
        FEdit->SetAsDateTime(true);
        FEdit->SetValue(before);
        FBeeps = 0;
        const QString text = DateTimeToText(typed, settings);
        TypeText(text);
        ASSERT_EQ(FEdit->text(), text); // every character passed the key filter
        LeaveEdit();
        EXPECT_NEAR(FEdit->Value(), typed, 1e-9);
        EXPECT_EQ(FEdit->text(), text);
        EXPECT_EQ(FBeeps, 0);

        TypeText("99");
        QTest::keyClick(FEdit, Qt::Key_Return);
        EXPECT_EQ(FEdit->text(), text);
        EXPECT_EQ(FBeeps, 2); // the refused text and the Enter key itself
        LeaveEdit();
        EXPECT_NEAR(FEdit->Value(), typed, 1e-9);
        EXPECT_EQ(FEdit->text(), text);
    }
}

TEST_F(DoubleEditTest, PropertyLinksFollowAndReceiveTheValue) {
    TVxApplication::Instance().RegisterForm(FWindow.get());
    auto* axis = new TEditLinkTarget(FWindow.get());
    axis->SetName("Axis");
    axis->Start = 5;
    LoggerSettings();
    FEdit->SetPropertyLinkItems({"FormLogger.Axis.Start"});
    FEdit->Loaded();
    EXPECT_EQ(FEdit->Value(), 5);

    axis->Start = 8;
    FIdle.Idle();
    EXPECT_EQ(FEdit->Value(), 8);

    Type("75");
    EXPECT_EQ(axis->Start, 7);
    LeaveEdit();
    EXPECT_EQ(axis->Start, 60);
    FIdle.Idle();
    EXPECT_EQ(FEdit->Value(), 60); // the clamped value is not replaced by the typed one
}

TEST_F(DoubleEditTest, ExceptionsOfHandlersStopAtTheEventBoundary) {
    QStringList reports;
    SetEventExceptionHandler([&](const QString& Message) { reports << Message; });
    FEdit->OnValueChanged = [](TVxCustomDoubleEdit*) { throw EVxException("handler failed"); };
    Type("3");
    EXPECT_EQ(FEdit->Value(), 3);
    EXPECT_EQ(reports, QStringList{"handler failed"});
    SetEventExceptionHandler({});
}

#include "DoubleEditTest.moc"
