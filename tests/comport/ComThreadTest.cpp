// The event thread and the hand-over of events to the UI thread, on the fake device. The
// test's own thread plays the UI thread by pumping a TComEventQueue.
#include "comport/ComEventQueue.h"
#include "comport/ComPort.h"
#include "comport/platform/FakeComDevice.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

class ComThreadFake : public ::testing::Test {
protected:
    TComEventQueue Queue;
    std::vector<std::string> Calls; // outlives the port, whose handlers record here
    TFakeComDevice* Device = new TFakeComDevice;
    std::unique_ptr<TComPort> Port =
        std::make_unique<TComPort>(std::unique_ptr<TComDevice>(Device));

    void SetUp() override { Port->SetDispatcher(&Queue); }
    void TearDown() override {
        if (Port)
            Port->Close();
    }

    bool Pump(const std::function<bool()>& Condition) { return Queue.ProcessUntil(Condition, 2s); }
    void WaitForWaiter() {
        ASSERT_TRUE(Pump([this] { return Device->WaitsRunning() == 1; }));
    }
    void Record(TComEventProperty<TComNotifyEvent>& Handler, const std::string& Name) {
        Handler = [this, Name](TCustomComPort&) { Calls.push_back(Name); };
    }
};

TEST_F(ComThreadFake, ThreadRunsOnlyWhileAHandlerIsAssigned) {
    Port->Open();
    EXPECT_EQ(Device->WaitsBegun(), 0);
    Port->OnRxChar = [](TCustomComPort&) {};
    EXPECT_EQ(Device->EventMask(), 0x1u);
    WaitForWaiter();
    Port->OnRxChar = nullptr;
    // Removing the last handler stops and joins the thread before it returns.
    EXPECT_EQ(Device->WaitsRunning(), 0);
    EXPECT_EQ(Device->EventMask(), 0u);
    // A handler assigned while closed starts the thread at open.
    Port->Close();
    Port->OnBreak = [](TCustomComPort&) {};
    EXPECT_EQ(Device->WaitsRunning(), 0);
    Port->Open();
    EXPECT_EQ(Device->EventMask(), 0x40u);
    WaitForWaiter();
}

TEST_F(ComThreadFake, HandlersRunOnTheUiThreadInTheirFixedOrder) {
    Record(Port->OnRxChar, "RxChar");
    Record(Port->OnRxFlag, "RxFlag");
    Record(Port->OnTxEmpty, "TxEmpty");
    Record(Port->OnCTSChange, "CTS");
    Record(Port->OnDSRChange, "DSR");
    Record(Port->OnRLSDChange, "RLSD");
    Record(Port->OnBreak, "Break");
    Port->OnLineError = [this](TCustomComPort&, TLineErrors) { Calls.push_back("LineError"); };
    Record(Port->OnRing, "Ring");
    Record(Port->OnPrinterError, "PrinterError");
    Record(Port->OnRx80PercFull, "Rx80");
    Record(Port->OnEvent1, "Event1");
    Record(Port->OnEvent2, "Event2");
    std::thread::id handlerThread;
    Port->OnRxChar = [this, &handlerThread](TCustomComPort&) {
        Calls.push_back("RxChar");
        handlerThread = std::this_thread::get_id();
    };
    Port->Open();
    EXPECT_EQ(Device->EventMask(), 0x1FFFu);
    Device->RaiseLineErrors(0x0008);
    Device->PushEvents(0x1FFF);
    ASSERT_TRUE(Pump([this] { return Calls.size() == 13; }));
    EXPECT_EQ(Calls, (std::vector<std::string>{"Break", "CTS", "DSR", "LineError", "Event1",
                                               "Event2", "PrinterError", "Ring", "RLSD", "Rx80",
                                               "RxChar", "RxFlag", "TxEmpty"}));
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
}

TEST_F(ComThreadFake, TwoEventsOfOneWaitCallBreakBeforeRxChar) {
    Record(Port->OnRxChar, "RxChar");
    Record(Port->OnBreak, "Break");
    Port->Open();
    Device->PushEvents(ComEvent::RxChar | ComEvent::Break);
    ASSERT_TRUE(Pump([this] { return Calls.size() == 2; }));
    EXPECT_EQ(Calls, (std::vector<std::string>{"Break", "RxChar"}));
}

TEST_F(ComThreadFake, LineErrorEventReachesOnLineError) {
    std::vector<TLineErrors> reports;
    Port->OnLineError = [&reports](TCustomComPort&, TLineErrors E) { reports.push_back(E); };
    Port->Open();
    Device->RaiseLineErrors(0x0002 | 0x0004);
    Device->PushEvents(ComEvent::Err);
    ASSERT_TRUE(Pump([&reports] { return !reports.empty(); }));
    EXPECT_EQ(reports[0], TLineErrors({leOverrun, leParity}));
}

TEST_F(ComThreadFake, ExceptionInAHandlerEndsTheRoundAndIsShownOnce) {
    int rx = 0;
    Port->OnRxChar = [&rx](TCustomComPort&) { ++rx; };
    Port->OnBreak = [](TCustomComPort&) { throw std::runtime_error("bad break"); };
    Port->Open();
    Device->PushEvents(ComEvent::Break | ComEvent::RxChar);
    ASSERT_TRUE(Pump([this] { return !Queue.Shown().empty(); }));
    EXPECT_EQ(Queue.Shown(), std::vector<std::string>{"bad break"});
    EXPECT_EQ(rx, 0);
    // The thread goes on: the next round runs.
    Device->PushEvents(ComEvent::RxChar);
    ASSERT_TRUE(Pump([&rx] { return rx == 1; }));
    // The silent abort shows nothing.
    Port->OnBreak = [](TCustomComPort&) { throw EComAbort(); };
    Device->PushEvents(ComEvent::Break | ComEvent::RxChar);
    Device->PushEvents(ComEvent::RxChar);
    ASSERT_TRUE(Pump([&rx] { return rx == 2; }));
    EXPECT_EQ(Queue.Shown().size(), 1u);
}

TEST_F(ComThreadFake, CloseInsideAHandlerReturnsAndEndsTheRound) {
    int afterClose = 0;
    Port->AfterClose = [&afterClose](TCustomComPort&) { ++afterClose; };
    Port->OnRxChar = [](TCustomComPort& P) { P.Close(); };
    Record(Port->OnTxEmpty, "TxEmpty");
    Port->Open();
    Device->PushEvents(ComEvent::RxChar | ComEvent::TxEmpty);
    ASSERT_TRUE(Pump([&afterClose] { return afterClose == 1; }));
    EXPECT_FALSE(Port->Active());
    Queue.ProcessUntil([] { return false; }, 20ms);
    EXPECT_TRUE(Calls.empty()); // TxEmpty came after the close in the same round
    EXPECT_EQ(afterClose, 1);
    // The port opens again with a new thread.
    Port->OnRxChar = [this](TCustomComPort&) { Calls.push_back("RxChar"); };
    Port->Open();
    Device->PushEvents(ComEvent::RxChar);
    ASSERT_TRUE(Pump([this] { return Calls.size() == 1; }));
}

TEST_F(ComThreadFake, DestroyingThePortInsideItsHandlerIsSafe) {
    bool destroyed = false;
    Port->AfterClose = [&destroyed](TCustomComPort&) { destroyed = true; };
    Port->OnRxChar = [this](TCustomComPort&) { Port.reset(); };
    Record(Port->OnRxFlag, "RxFlag");
    Port->Open();
    Device->PushEvents(ComEvent::RxChar | ComEvent::RxFlag);
    ASSERT_TRUE(Pump([&destroyed] { return destroyed; }));
    Queue.ProcessUntil([] { return false; }, 20ms);
    EXPECT_TRUE(Calls.empty());
}

TEST_F(ComThreadFake, CloseCancelsAHandOverTheUiThreadHasNotRun) {
    int rx = 0;
    Port->OnRxChar = [&rx](TCustomComPort&) { ++rx; };
    Port->Open();
    Device->PushEvents(ComEvent::RxChar);
    // The hand-over is posted but the UI thread is busy elsewhere: closing must not wait
    // for it.
    ASSERT_TRUE(Queue.ProcessUntil([] { return false; }, 0ms) || true);
    std::this_thread::sleep_for(10ms);
    Port->Close();
    EXPECT_FALSE(Port->Active());
    Queue.ProcessPending();
    EXPECT_EQ(rx, 0);
}

TEST_F(ComThreadFake, LostDeviceIsReportedOnceAndClosesThePort) {
    Port->OnError = [this](TCustomComPort&, const EComError& E, TComAction&) {
        Calls.push_back("OnError " + std::to_string(E.ErrorCode()));
    };
    Port->BeforeClose = [this](TCustomComPort&) { Calls.push_back("BeforeClose"); };
    Port->AfterClose = [this](TCustomComPort&) { Calls.push_back("AfterClose"); };
    Port->OnRxChar = [](TCustomComPort&) {};
    Port->Open();
    WaitForWaiter();
    Device->LoseDevice(EIO);
    ASSERT_TRUE(Pump([this] { return !Port->Active(); }));
    Queue.ProcessUntil([] { return false; }, 20ms);
    EXPECT_EQ(Calls, (std::vector<std::string>{"OnError " + std::to_string(EIO), "BeforeClose",
                                               "AfterClose"}));
    EXPECT_EQ(Queue.Shown(), std::vector<std::string>{std::strerror(EIO)});
}

TEST_F(ComThreadFake, AnyWaitFailureClosesThePortAndAbortShowsNothing) {
    Port->OnError = [](TCustomComPort&, const EComError&, TComAction& Action) { Action = caAbort; };
    Port->OnRxChar = [](TCustomComPort&) {};
    Port->Open();
    WaitForWaiter();
    Device->LoseDevice(ENOMEM);
    ASSERT_TRUE(Pump([this] { return !Port->Active(); }));
    EXPECT_TRUE(Queue.Shown().empty());
}

TEST_F(ComThreadFake, UnsynchronizedHandlersRunOnTheEventThreadAndCloseMovesToTheUi) {
    Port->SetSynchronizeEvents(false);
    std::atomic<bool> ranElsewhere{false};
    std::thread::id closedOn;
    const auto ui = std::this_thread::get_id();
    Port->AfterClose = [&closedOn](TCustomComPort&) { closedOn = std::this_thread::get_id(); };
    Port->OnRxChar = [&ranElsewhere, ui](TCustomComPort& P) {
        ranElsewhere = std::this_thread::get_id() != ui;
        P.Close();
    };
    Port->Open();
    Device->PushEvents(ComEvent::RxChar);
    ASSERT_TRUE(Pump([this] { return !Port->Active(); }));
    EXPECT_TRUE(ranElsewhere);
    EXPECT_EQ(closedOn, ui);
}

TEST_F(ComThreadFake, ThreadPriorityReachesTheRunningThread) {
    Port->OnRxChar = [](TCustomComPort&) {};
    Port->Open();
    WaitForWaiter();
    EXPECT_EQ(Device->ThreadPriority(), tpTimeCritical);
    Port->SetThreadPriority(tpLower);
    EXPECT_EQ(Device->ThreadPriority(), tpLower);
}

} // namespace
