// The input worker on the real "waitkey" event with a stand-in keyboard
// that serves scripted states: the log lines and the closing line on disk,
// the repaint requests, failed reads, and every way the worker ends.
#include "tests/input/stand_in_dinput.h"
#include "tests/input/worker_fixture.h"

namespace {

class Worker : public WorkerDirectory {
protected:
  void SetUp() override {
    WorkerDirectory::SetUp();
    g_devices = DeviceSet{};
    g_devices.keyboard = &keyboard;
  }
  void TearDown() override {
    if (holdReads != nullptr)
      SetEvent(holdReads);
    WorkerDirectory::TearDown();
    if (holdReads != nullptr)
      CloseHandle(holdReads);
    g_devices = DeviceSet{};
  }

  // Queues one reading and wakes the worker until the keyboard has served
  // it. A wake-up that lands while a pass is still running is dropped by
  // the pass's ResetEvent, so the signal is repeated; extra wake-ups find
  // the queue empty and fail, which changes nothing.
  bool feed(HRESULT result, const KeyState &state) {
    keyboard.push({result, state});
    for (int i = 0; i < 250; ++i) {
      signalWaitkey();
      if (WaitForSingleObject(keyboard.served, 20) == WAIT_OBJECT_0)
        return true;
    }
    return false;
  }

  Journal journal;
  StandInDevice keyboard{"keyboard", journal};
  HANDLE holdReads = nullptr;
};

const KeyState kNone{};

// The other copy's worker, reduced to one wait.
struct Thief {
  HANDLE event, ready;
  DWORD woke;
};

DWORD WINAPI takeOneSignal(LPVOID context) {
  Thief &thief = *static_cast<Thief *>(context);
  SetEvent(thief.ready);
  thief.woke = WaitForSingleObject(thief.event, 5000);
  return 0;
}

} // namespace

TEST_F(Worker, LogsEachChangeOnceAndClosesOnStop) {
  ASSERT_TRUE(startInputWorker());
  ASSERT_TRUE(feed(DI_OK, keysDown({0x1E})));
  ASSERT_TRUE(feed(DI_OK, keysDown({0x1E, 0x30, 0x9C})));
  ASSERT_TRUE(feed(DI_OK, keysDown({0x30})));
  ASSERT_TRUE(feed(DI_OK, kNone));
  const std::string lines = "A down\r\n"
                            "B down\r\n"
                            "NumPad En down\r\n"
                            "A up\r\n"
                            "NumPad En up\r\n"
                            "B up\r\n";
  ASSERT_TRUE(logEndsWith(lines)) << logBytes();
  EXPECT_EQ(logBytes(), lines) << "closing line before the stop";

  EXPECT_TRUE(stopInputWorker(5000));
  EXPECT_EQ(logBytes(), lines + kUsClosing);
  EXPECT_EQ(takeRepaints(), 4);
  EXPECT_EQ(keyboard.readingsLeft(), 0u);

  // The worker has ended: a later signal reads nothing.
  const int reads = keyboard.reads();
  signalWaitkey();
  Sleep(50);
  EXPECT_EQ(keyboard.reads(), reads);
  EXPECT_TRUE(stopInputWorker(100)) << "a second stop finds nothing to stop";
}

TEST_F(Worker, FailedReadsNeitherRepeatNorLoseChanges) {
  ASSERT_TRUE(startInputWorker());
  ASSERT_TRUE(feed(DI_OK, keysDown({0x1E})));
  // A lost acquisition between readings; the bytes it leaves are junk.
  ASSERT_TRUE(feed(DIERR_INPUTLOST, keysDown({0x1E, 0x2E})));
  ASSERT_TRUE(feed(DI_OK, keysDown({0x1E, 0x30})));
  ASSERT_TRUE(feed(DIERR_NOTACQUIRED, kNone));
  ASSERT_TRUE(feed(DI_OK, kNone));
  EXPECT_TRUE(stopInputWorker(5000));

  EXPECT_EQ(logBytes(), std::string("A down\r\n"
                                    "B down\r\n"
                                    "A up\r\n"
                                    "B up\r\n") +
                            kUsClosing);
  // Failed passes ask for no repaint.
  EXPECT_EQ(takeRepaints(), 3);
}

TEST_F(Worker, HeldJapaneseCaretLogsNoFillers) {
  g_keyboardLayout = LayoutJP;
  ASSERT_TRUE(startInputWorker());
  // Wine reports the ^ key as 0x90 and 0xFF, the fillers' code.
  ASSERT_TRUE(feed(DI_OK, keysDown({0x90, 0xFF})));
  ASSERT_TRUE(feed(DI_OK, kNone));
  EXPECT_TRUE(stopInputWorker(5000));
  EXPECT_EQ(logBytes(), std::string("^ down\r\n^ up\r\n") + kJpClosing);
}

TEST_F(Worker, WithoutAWindowItStillLogs) {
  g_mainWindow = nullptr;
  ASSERT_TRUE(startInputWorker());
  ASSERT_TRUE(feed(DI_OK, keysDown({0x1E})));
  EXPECT_TRUE(stopInputWorker(5000));
  EXPECT_EQ(logBytes(), std::string("A down\r\n") + kUsClosing);
  EXPECT_EQ(takeRepaints(), 0);
}

TEST_F(Worker, NameTakenByAMutexEndsTheWorkerWithoutASpin) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kWakeEventName);
  ASSERT_NE(mutex, nullptr);
  ASSERT_TRUE(startInputWorker());
  // It ends on its own, while running is still set.
  EXPECT_TRUE(logEndsWith(kUsClosing)) << logBytes();
  EXPECT_EQ(g_running, 1);
  EXPECT_EQ(keyboard.reads(), 0);
  EXPECT_EQ(logBytes(), kUsClosing);
  const DWORD start = GetTickCount();
  EXPECT_TRUE(stopInputWorker(5000));
  EXPECT_LT(GetTickCount() - start, 1000u);
  CloseHandle(mutex);
}

TEST_F(Worker, StopGivesUpAtItsBoundAndCanBeRepeated) {
  ASSERT_TRUE(startInputWorker());
  ASSERT_TRUE(feed(DI_OK, keysDown({0x1E})));
  // A read that hangs, which the worker is inside of before the stop.
  holdReads = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  keyboard.holdReads = holdReads;
  bool stuck = false;
  for (int i = 0; i < 250 && !stuck; ++i) {
    signalWaitkey();
    stuck = WaitForSingleObject(keyboard.held, 20) == WAIT_OBJECT_0;
  }
  ASSERT_TRUE(stuck);
  const DWORD start = GetTickCount();
  EXPECT_FALSE(stopInputWorker(300));
  const DWORD spent = GetTickCount() - start;
  EXPECT_GE(spent, 290u);
  EXPECT_LT(spent, 1000u);
  EXPECT_EQ(logBytes(), "A down\r\n");

  SetEvent(holdReads);
  EXPECT_TRUE(stopInputWorker(5000));
  EXPECT_EQ(logBytes(), std::string("A down\r\n") + kUsClosing);
}

TEST(WorkerStop, NoWorkerStartedMeansNothingToWaitFor) {
  EXPECT_TRUE(stopInputWorker(0));
  g_running = 1;
}

// A second copy of the program waits on the same auto-reset event; one
// signal wakes only one of the two workers.
TEST_F(Worker, StopSignalsAgainWhenAnotherWaiterTookTheSignal) {
  // The other copy's worker creates the event first and so waits first.
  HANDLE other = CreateEventA(nullptr, FALSE, FALSE, kWakeEventName);
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Thief thief{other, ready, WAIT_FAILED};
  HANDLE thread = CreateThread(nullptr, 0, takeOneSignal, &thief, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(ready, 1000), WAIT_OBJECT_0);
  Sleep(100);
  ASSERT_TRUE(startInputWorker());
  Sleep(200);

  EXPECT_TRUE(stopInputWorker(3000));
  WaitForSingleObject(thread, 5000);
  EXPECT_EQ(thief.woke, WAIT_OBJECT_0) << "the other waiter got no signal";
  EXPECT_EQ(logBytes(), kUsClosing);
  CloseHandle(thread);
  CloseHandle(ready);
  CloseHandle(other);
}
