// The input worker on the real "waitkey" event, with the stub keyboard:
// what it logs across failed reads, and how the close step stops it.
#include "input/input_worker.h"
#include "tests/input/stub_keyboard.h"

namespace {

std::atomic<HWND> kNoWindow{nullptr};

void signalWaitkey() {
  OpenedWakeEvent wake;
  if (wake.handle != nullptr)
    SetEvent(wake.handle);
}

// Queues one reading and wakes the worker until it has been read: a signal
// that lands during a pass is dropped by the pass's ResetEvent.
bool feed(StubKeyboard &keyboard, HRESULT result, const KeyState &state) {
  const int before = keyboard.reads;
  {
    std::lock_guard<std::mutex> hold(keyboard.lock);
    keyboard.queue.push_back({result, state});
  }
  for (int i = 0; i < 250 && keyboard.reads == before; ++i) {
    signalWaitkey();
    Sleep(20);
  }
  return keyboard.reads > before;
}

struct Worker : ::testing::Test {
  void SetUp() override {
    enterFreshDirectory("kc-worker");
    g_running = 1;
    ASSERT_TRUE(setUpDevicesWith(&directInput, nullptr));
    ASSERT_TRUE(startInputWorker(kNoWindow, 0));
  }
  void TearDown() override {
    directInput.keyboard.readDelayMs = 0;
    EXPECT_TRUE(stopInputWorker(5000));
    releaseAll();
  }
  StubDirectInput directInput;
};

// The other copy's worker, reduced to one wait on the shared event.
DWORD WINAPI takeOneSignal(LPVOID event) {
  return WaitForSingleObject(event, 5000);
}

} // namespace

TEST_F(Worker, FailedReadsNeitherRepeatNorLoseChangesAndFillersStayQuiet) {
  StubKeyboard &keyboard = directInput.keyboard;
  // The fillers' code 0xFF is set along with A, as Wine does with the
  // Japanese ^ key: no filler may be logged.
  ASSERT_TRUE(feed(keyboard, DI_OK, keysDown({0x1E, 0xFF})));
  // A lost acquisition between readings, leaving junk behind.
  ASSERT_TRUE(feed(keyboard, DIERR_INPUTLOST, keysDown({0x1E, 0x2E})));
  ASSERT_TRUE(feed(keyboard, DI_OK, keysDown({0x1E, 0x30})));
  ASSERT_TRUE(feed(keyboard, DIERR_NOTACQUIRED, {}));
  ASSERT_TRUE(feed(keyboard, DI_OK, {}));
  EXPECT_TRUE(stopInputWorker(5000));
  EXPECT_EQ(logOnDisk(),
            std::string("A down\r\nB down\r\nA up\r\nB up\r\n") + kUsClosing);
}

TEST_F(Worker, StopGivesUpAtItsBoundWhileAReadHangsThenSucceeds) {
  StubKeyboard &keyboard = directInput.keyboard;
  keyboard.readDelayMs = 1500;
  for (int i = 0; i < 250 && !keyboard.reading; ++i) {
    signalWaitkey();
    Sleep(10);
  }
  ASSERT_TRUE(keyboard.reading);
  const DWORD start = GetTickCount();
  EXPECT_FALSE(stopInputWorker(300));
  const DWORD spent = GetTickCount() - start;
  EXPECT_GE(spent, 290u);
  EXPECT_LT(spent, 1000u);
  EXPECT_TRUE(stopInputWorker(5000));
  EXPECT_EQ(logOnDisk(), kUsClosing);
}

// A second copy of the program waits on the same auto-reset event, and one
// signal wakes only one of the two workers.
TEST(WorkerStop, SignalsAgainWhenAnotherCopyTookTheSignal) {
  enterFreshDirectory("kc-worker-thief");
  g_running = 1;
  // The other copy created the event first and so waits first.
  HANDLE shared = CreateEventA(nullptr, FALSE, FALSE, kWakeEventName);
  HANDLE thief = CreateThread(nullptr, 0, takeOneSignal, shared, 0, nullptr);
  Sleep(100);
  ASSERT_TRUE(startInputWorker(kNoWindow, 0));
  Sleep(200);
  EXPECT_TRUE(stopInputWorker(3000));
  DWORD thiefWoke = WAIT_FAILED;
  WaitForSingleObject(thief, 5000);
  GetExitCodeThread(thief, &thiefWoke);
  EXPECT_EQ(thiefWoke, WAIT_OBJECT_0) << "the other copy got no signal";
  EXPECT_EQ(logOnDisk(), kUsClosing);
  CloseHandle(thief);
  CloseHandle(shared);
}
