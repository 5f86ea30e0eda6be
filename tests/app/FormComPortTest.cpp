#include "FormComPort.h"

#include "LogText.h"
#include "LogView.h"
#include "MemoLog.h"
#include "comport/platform/FakeComDevice.h"
#include "graph/Graph.h"
#include "tools/SimDevice.h"
#include "util/DoubleEdit.h"
#include "util/FormatSettings.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// 1 March 2024, 14:05:09 as a TDateTime: 45352 days after 30 December 1899.
constexpr double ReadingTime = 45352 + (14 * 3600 + 5 * 60 + 9) / 86400.0;

class TFakeClock final : public TFrameClock {
public:
    double LocalNow() const override { return Local; }
    double MonotonicSeconds() const override { return Monotonic; }
    double Local = ReadingTime;
    double Monotonic = 1000;
};

// Records the boxes a person would see and answers the save dialog.
class TRecordingDialogs final : public TUserDialogs {
public:
    void ShowError(QWidget*, const QString& Text) override { Errors += Text; }
    std::optional<QString> AskSaveFileName(QWidget*) override {
        ++SaveDialogs;
        return SaveAs;
    }
    QStringList Errors;
    std::optional<QString> SaveAs;
    int SaveDialogs = 0;
};

class FormComPortTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The log line's decimal point does not depend on the machine running the tests.
        TVxFormatSettings::SetCurrent(TVxFormatSettings::Invariant());
    }

    // A window listing Ports (nullptr: the system's), shown like the program shows it.
    std::unique_ptr<TFormComPort> NewForm(std::vector<std::string> Ports) {
        TFormComPortServices services;
        services.Dialogs = &Dialogs;
        services.Clock = &Clock;
        services.EnumPorts = [Ports](std::vector<std::string>& list) {
            list.insert(list.end(), Ports.begin(), Ports.end());
        };
        auto form = std::make_unique<TFormComPort>(std::move(services));
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    std::unique_ptr<TFormComPort> NewFormOnDevice() {
        return NewForm({"ttyS0", Device.SlavePath()});
    }

    static void Click(TFormComPort& Form) {
        QTest::mouseClick(Form.SpeedButtonOpenClose, Qt::LeftButton);
    }

    // Waits until the memo holds Count lines.
    static bool WaitForLines(TFormComPort& Form, int Count) {
        return QTest::qWaitFor([&] { return MemoLines(*Form.Memo).size() >= Count; }, 5000);
    }

    TRecordingDialogs Dialogs;
    TFakeClock Clock;
    TSimDevice Device;
};

} // namespace

TEST_F(FormComPortTest, ControlsHaveTheirDesignValues) {
    auto form = NewForm({});
    EXPECT_EQ(form->objectName(), "FormComPort");
    EXPECT_EQ(form->windowTitle(), "Quenby");
    EXPECT_EQ(form->size(), QSize(694, 476));
    EXPECT_EQ(form->font().pixelSize(), 11);

    struct TPlace {
        QWidget* Widget;
        const char* Name;
        QRect Geometry;
        QWidget* Parent;
    };
    const TPlace places[] = {
        {form->Memo, "Memo", {135, 8, 550, 249}, form.get()},
        {form->GroupBox1, "GroupBox1", {8, 8, 121, 105}, form.get()},
        {form->ComboBoxDeviceName, "ComboBoxDeviceName", {16, 24, 81, 21}, form->GroupBox1},
        {form->SpeedButtonOpenClose, "SpeedButtonOpenClose", {16, 60, 81, 25}, form->GroupBox1},
        {form->GroupBox2, "GroupBox2", {8, 119, 121, 66}, form.get()},
        {form->VxDoubleEditDataFrequency,
         "VxDoubleEditDataFrequency",
         {16, 24, 81, 21},
         form->GroupBox2},
        {form->GroupBox3, "GroupBox3", {8, 191, 121, 66}, form.get()},
        {form->ButtonSave, "ButtonSave", {16, 24, 81, 25}, form->GroupBox3},
        {form->Chart.VxGraph2D1, "VxGraph2D1", {8, 272, 677, 199}, form.get()}};
    for (const TPlace& p : places) {
        EXPECT_EQ(p.Widget->objectName(), p.Name);
        EXPECT_EQ(p.Widget->geometry(), p.Geometry) << p.Name;
        EXPECT_EQ(p.Widget->parentWidget(), p.Parent) << p.Name;
    }
    EXPECT_EQ(form->GroupBox1->title(), "Select COM port");
    EXPECT_EQ(form->GroupBox2->title(), "Data frequency, min");
    EXPECT_EQ(form->GroupBox3->title(), "Save");
    EXPECT_EQ(form->SpeedButtonOpenClose->text(), "Open");
    EXPECT_EQ(form->ButtonSave->text(), "Save");

    EXPECT_FALSE(form->Memo->isEnabled());
    EXPECT_EQ(form->Memo->font().pixelSize(), 19);
    EXPECT_EQ(form->Memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form->Memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(form->ComboBoxDeviceName->isEditable());

    const TVxDoubleEdit& interval = *form->VxDoubleEditDataFrequency;
    EXPECT_EQ(interval.MinValue(), 0.05);
    EXPECT_EQ(interval.MaxValue(), 60.0);
    EXPECT_EQ(interval.Value(), 0.05);
    EXPECT_TRUE(interval.DoHashes());
    EXPECT_FALSE(interval.AsDateTime());
    EXPECT_FALSE(interval.AsTimeSpan());
    EXPECT_EQ(form->DataFrequency(), 0.05);

    EXPECT_FALSE(form->ComPort->Active());
    EXPECT_EQ(form->ComPort->Options(), TOptions{});
    EXPECT_EQ(form->ComPort->Timeouts().WriteMultiplier(), 100);
    EXPECT_EQ(form->ComPort->Timeouts().WriteConstant(), 3000);
    for (TVxDoubleVector* v : {form->VxDoubleVector1, form->VxDoubleVector2}) {
        EXPECT_FALSE(v->PersistentValues());
        EXPECT_EQ(v->GetCapacity(), 128);
        EXPECT_EQ(v->GetIncrement(), 128);
        EXPECT_EQ(v->GetCount(), 0);
    }
}

TEST_F(FormComPortTest, AnchoredControlsFollowTheWindowSize) {
    auto form = NewForm({});
    form->resize(794, 526);
    EXPECT_EQ(form->Memo->geometry(), QRect(135, 8, 650, 249));
    EXPECT_EQ(form->Chart.VxGraph2D1->geometry(), QRect(8, 272, 777, 249));
    EXPECT_EQ(form->GroupBox1->geometry(), QRect(8, 8, 121, 105));
    EXPECT_EQ(form->GroupBox3->geometry(), QRect(8, 191, 121, 66));
}

TEST_F(FormComPortTest, PortListIsSortedAndNamesThePort) {
    auto form = NewForm({"ttyUSB0", "/tmp/quenby-sim", "ttyACM1", "COM3"});
    QStringList items;
    for (int i = 0; i < form->ComboBoxDeviceName->count(); ++i)
        items += form->ComboBoxDeviceName->itemText(i);
    EXPECT_EQ(items, QStringList({"/tmp/quenby-sim", "COM3", "ttyACM1", "ttyUSB0"}));
    EXPECT_EQ(form->ComboBoxDeviceName->currentIndex(), 0);
    EXPECT_EQ(form->ComPort->DeviceName(), "/tmp/quenby-sim");

    form->ComboBoxDeviceName->setCurrentIndex(2);
    EXPECT_EQ(form->ComPort->DeviceName(), "\\\\.\\ttyACM1");
    EXPECT_TRUE(Dialogs.Errors.isEmpty());
}

TEST_F(FormComPortTest, TwoClicksOpenAndCloseWithTheControlsFollowing) {
    auto form = NewFormOnDevice();
    form->SelectDevice(QString::fromStdString(Device.SlavePath()));
    EXPECT_EQ(form->ComPort->DeviceName(), Device.SlavePath());

    Click(*form);
    ASSERT_TRUE(form->ComPort->Active()) << Dialogs.Errors.join("; ").toStdString();
    EXPECT_EQ(form->SpeedButtonOpenClose->text(), "Close");
    EXPECT_TRUE(form->Memo->isEnabled());
    EXPECT_TRUE(form->Memo->hasFocus());
    EXPECT_FALSE(form->ComboBoxDeviceName->isEnabled());
    EXPECT_EQ(form->ComPort->BaudRate(), br19200);
    EXPECT_EQ(form->ComPort->Parity(), paNone);
    EXPECT_EQ(form->ComPort->StopBits(), sb1);
    EXPECT_EQ(form->ComPort->DataBits(), db8);

    Click(*form);
    EXPECT_FALSE(form->ComPort->Active());
    EXPECT_EQ(form->SpeedButtonOpenClose->text(), "Open");
    EXPECT_FALSE(form->Memo->isEnabled());
    EXPECT_TRUE(form->ComboBoxDeviceName->isEnabled());
    EXPECT_TRUE(Dialogs.Errors.isEmpty()) << Dialogs.Errors.join("; ").toStdString();
}

TEST_F(FormComPortTest, EmptyPortListShowsTheSystemErrorAndStaysClosed) {
    auto form = NewForm({});
    EXPECT_EQ(form->ComboBoxDeviceName->count(), 0);
    EXPECT_EQ(form->ComPort->DeviceName(), "\\\\.\\");
    Click(*form);
    EXPECT_FALSE(form->ComPort->Active());
    EXPECT_EQ(form->SpeedButtonOpenClose->text(), "Open");
    EXPECT_FALSE(form->Memo->isEnabled());
    // "\\.\" names the device directory itself, which cannot be opened as a port.
    ASSERT_EQ(Dialogs.Errors.size(), 1);
    EXPECT_EQ(Dialogs.Errors[0], QStringLiteral("Error %1: %2")
                                     .arg(EISDIR)
                                     .arg(QString::fromLocal8Bit(std::strerror(EISDIR))));
}

TEST_F(FormComPortTest, FramesBecomeMemoLinesAndPointsAndSurviveAReopen) {
    auto form = NewFormOnDevice();
    form->SelectDevice(QString::fromStdString(Device.SlavePath()));
    Click(*form);
    ASSERT_TRUE(form->ComPort->Active());

    ASSERT_TRUE(Device.SendFrame(234));
    ASSERT_TRUE(WaitForLines(*form, 1));
    EXPECT_EQ(MemoLines(*form->Memo),
              QStringList{QString::fromUtf8("2024-03-01 14:05:09; 23.4ºC")});
    ASSERT_EQ(form->VxDoubleVector1->GetCount(), 1);
    ASSERT_EQ(form->VxDoubleVector2->GetCount(), 1);
    EXPECT_EQ(form->VxDoubleVector1->GetValue(0), ReadingTime);
    EXPECT_EQ(form->VxDoubleVector2->GetValue(0), double(23.4f));

    // Within the interval a frame is dropped.
    Clock.Monotonic += 2.9;
    ASSERT_TRUE(Device.SendFrame(250));
    QTest::qWait(300);
    EXPECT_EQ(MemoLines(*form->Memo).size(), 1);

    Click(*form);
    Click(*form);
    ASSERT_TRUE(form->ComPort->Active());
    EXPECT_EQ(MemoLines(*form->Memo).size(), 1);

    Clock.Monotonic += 3.1; // 6 s after the first reading
    Clock.Local += 6 / 86400.0;
    ASSERT_TRUE(Device.SendFrame(0xFFFF));
    ASSERT_TRUE(WaitForLines(*form, 2));
    EXPECT_EQ(MemoLines(*form->Memo)[1], QString::fromUtf8("2024-03-01 14:05:15; 6553.5ºC"));
    EXPECT_EQ(form->VxDoubleVector1->GetCount(), 2);
    EXPECT_EQ(form->VxDoubleVector2->GetValue(1), double(6553.5f));

    // A new interval typed into its field applies from the next frame on.
    form->VxDoubleEditDataFrequency->setFocus();
    form->VxDoubleEditDataFrequency->selectAll();
    QTest::keyClicks(form->VxDoubleEditDataFrequency, "1");
    QTest::keyClick(form->VxDoubleEditDataFrequency, Qt::Key_Return);
    ASSERT_EQ(form->DataFrequency(), 1.0);
    Clock.Monotonic += 59;
    ASSERT_TRUE(Device.SendFrame(100));
    QTest::qWait(300);
    EXPECT_EQ(MemoLines(*form->Memo).size(), 2);
    Clock.Monotonic += 1;
    ASSERT_TRUE(Device.SendFrame(100));
    ASSERT_TRUE(WaitForLines(*form, 3));
    EXPECT_TRUE(Dialogs.Errors.isEmpty()) << Dialogs.Errors.join("; ").toStdString();
}

TEST_F(FormComPortTest, DeviceGoneShowsTheErrorAndReturnsToTheClosedState) {
    auto form = NewFormOnDevice();
    form->SelectDevice(QString::fromStdString(Device.SlavePath()));
    Click(*form);
    ASSERT_TRUE(form->ComPort->Active());
    Device.Unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->ComPort->Active(); }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(form->SpeedButtonOpenClose->text(), "Open");
    EXPECT_TRUE(form->ComboBoxDeviceName->isEnabled());
    ASSERT_EQ(Dialogs.Errors.size(), 1);
    EXPECT_TRUE(Dialogs.Errors[0].startsWith("Error ")) << Dialogs.Errors[0].toStdString();
}

TEST_F(FormComPortTest, LineErrorsShowOneBoxEachInTheirOrder) {
    auto form = NewForm({});
    TLineErrors all;
    for (int e = leBreak; e <= leTxFull; ++e)
        all.Include(TLineError(e));
    // The port's handler is the window's.
    form->ComPort->OnLineError.Get()(*form->ComPort, all);
    EXPECT_EQ(Dialogs.Errors,
              QStringList({"Break detected", "Device not selected", "Frame error", "IO error",
                           "Mode error", "Out of paper", "Overrun error", "Device timeout",
                           "Receiver overflow", "Parity error", "Transmitter full"}));

    Dialogs.Errors.clear();
    form->ComPortLineError(*form->ComPort, {leTxFull, leParity, leBreak});
    EXPECT_EQ(Dialogs.Errors, QStringList({"Break detected", "Parity error", "Transmitter full"}));
}

TEST_F(FormComPortTest, LineErrorsOfAnEventAreShownAndItsFrameIsStillLogged) {
    auto fake = std::make_unique<TFakeComDevice>();
    TFakeComDevice& device = *fake;
    TFormComPortServices services;
    services.Dialogs = &Dialogs;
    services.Clock = &Clock;
    services.Device = std::move(fake);
    services.EnumPorts = [](std::vector<std::string>& list) { list.push_back("ttyS7"); };
    TFormComPort form(std::move(services));
    form.show();
    Click(form);
    ASSERT_TRUE(form.ComPort->Active());

    device.Receive(std::string("\xA5\x5A\xC3\x3C\x00\xEA\x00\x01", 8));
    device.RaiseLineErrors(LineErrorFlag(leParity) | LineErrorFlag(leFrame));
    device.PushEvents(ComEvent::Err | ComEvent::RxChar);
    ASSERT_TRUE(WaitForLines(form, 1));
    EXPECT_EQ(Dialogs.Errors, QStringList({"Frame error", "Parity error"}));
    EXPECT_EQ(MemoLines(*form.Memo), QStringList{QString::fromUtf8("2024-03-01 14:05:09; 23.4ºC")});
}

TEST_F(FormComPortTest, PortErrorIsShownOnceAndBecomesTheSilentAbort) {
    auto form = NewForm({});
    TComAction action = caFail;
    form->ComPortError(*form->ComPort, EComError(5, "Access denied"), action);
    EXPECT_EQ(action, caAbort);
    EXPECT_EQ(Dialogs.Errors, QStringList{"Error 5: Access denied"});

    // The port's errors reach the window's handler: one box, then the silent abort.
    Dialogs.Errors.clear();
    EXPECT_THROW(form->ComPort->SetBreak(), EComAbort);
    EXPECT_EQ(Dialogs.Errors,
              QStringList{"Error 0: Can't perform this operation on a closed port"});
}

TEST_F(FormComPortTest, SaveWritesTheMemoLinesExactly) {
    QTemporaryDir dir;
    auto form = NewForm({});
    const QString fileName = dir.filePath("log.txt");

    // An empty memo replaces an existing file by an empty one.
    {
        QFile old(fileName);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    Dialogs.SaveAs = fileName;
    QTest::mouseClick(form->ButtonSave, Qt::LeftButton);
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray());
    file.close();

    TMemoLines(*form->Memo).AppendLine(QString::fromUtf8("2024-03-01 14:05:09; 23.4ºC"));
    QTest::mouseClick(form->ButtonSave, Qt::LeftButton);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("2024-03-01 14:05:09; 23.4\xBA"
                                         "C\r\n"));
    file.close();
    EXPECT_TRUE(Dialogs.Errors.isEmpty());

    // Cancelling writes nothing.
    TMemoLines(*form->Memo).AppendLine("second");
    Dialogs.SaveAs.reset();
    QTest::mouseClick(form->ButtonSave, Qt::LeftButton);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("2024-03-01 14:05:09; 23.4\xBA"
                                         "C\r\n"));
    file.close();
    EXPECT_EQ(Dialogs.SaveDialogs, 3);
}

TEST_F(FormComPortTest, FailedSaveNamesTheFileAndKeepsWhatWasThere) {
    QTemporaryDir dir;
    auto form = NewForm({});
    TMemoLines(*form->Memo).AppendLine("a line");

    const QString missing = dir.filePath("no-such-folder/log.txt");
    Dialogs.SaveAs = missing;
    QTest::mouseClick(form->ButtonSave, Qt::LeftButton);
    ASSERT_EQ(Dialogs.Errors.size(), 1);
    EXPECT_TRUE(Dialogs.Errors[0].startsWith(QStringLiteral("Cannot save \"%1\": ").arg(missing)))
        << Dialogs.Errors[0].toStdString();

    // A folder in the file's place stays as it was.
    Dialogs.Errors.clear();
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    Dialogs.SaveAs = dir.filePath("taken");
    QTest::mouseClick(form->ButtonSave, Qt::LeftButton);
    EXPECT_EQ(Dialogs.Errors.size(), 1);
    EXPECT_TRUE(QFileInfo(dir.filePath("taken")).isDir());
}

TEST(LogTextTest, LinesAreWindows1252WithCrLf) {
    struct TCase {
        const char* Text; // UTF-8
        QByteArray Bytes;
    };
    const TCase cases[] = {{"23.4ºC", "23.4\xBA"
                                      "C"},
                           {"é€™Ÿ", "\xE9\x80\x99\x9F"},
                           {"Ω≈", "??"},
                           {"a😀b", "a?b"},    // one character outside the basic plane, one "?"
                           {"\xC2\x81", "?"}, // a control code the code page leaves undefined
                           {"", ""}};
    for (const TCase& c : cases)
        EXPECT_EQ(EncodeWindows1252(QString::fromUtf8(c.Text)), c.Bytes) << c.Text;
    EXPECT_EQ(EncodeLogLines({}), QByteArray());
    EXPECT_EQ(EncodeLogLines({"", "b"}), QByteArray("\r\nb\r\n"));
}

TEST(MemoLogTest, MemoLinesAreWhatAPersonSees) {
    TLogView memo;
    EXPECT_EQ(MemoLines(memo), QStringList());
    TMemoLines lines(memo);
    for (const char* line : {"a", "", "b"})
        lines.AppendLine(line);
    EXPECT_EQ(MemoLines(memo), QStringList({"a", "", "b"}));
}

TEST(MemoLogTest, AppendingKeepsTheLastLineInView) {
    TLogView memo;
    memo.resize(200, 100);
    memo.show();
    TMemoLines lines(memo);
    for (int i = 0; i < 50; ++i)
        lines.AppendLine(QString::number(i));
    QScrollBar* bar = memo.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setValue(0); // a person scrolled up
    lines.AppendLine("50");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GT(memo.FirstVisibleLine() + memo.FullyVisibleLines(), 50);
    EXPECT_EQ(MemoLines(memo).size(), 51);
}
