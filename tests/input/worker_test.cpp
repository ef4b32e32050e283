// The input worker on the real "waitkey" event, with the stub keyboard:
// what it logs across failed reads, and how the close step stops it.
#include "input/input_worker.h"
#include "tests/input/stub_keyboard.h"

namespace {

std::atomic<HWND> kNoWindow{nullptr};

KeyState keysDown(std::initializer_list<uint8_t> codes) {
  KeyState state{};
  for (uint8_t code : codes)
    state.bytes[code] = 0x80;
  return state;
}

// Wakes the worker until it has made `reads` reads: a signal that lands
// during a pass is dropped by the pass's ResetEvent.
bool wakeUntil(StubKeyboard &keyboard, int reads) {
  for (int i = 0; i < 500 && keyboard.reads < reads && !keyboard.reading; ++i) {
    OpenedWakeEvent wake;
    SetEvent(wake.handle);
    Sleep(10);
  }
  return keyboard.reads >= reads || keyboard.reading;
}

struct Worker : ::testing::Test {
  void SetUp() override {
    enterFreshDirectory("kc-worker");
    g_running = 1;
    ASSERT_TRUE(setUpDevicesWith(&directInput, nullptr));
  }
  void TearDown() override {
    directInput.keyboard.readDelayMs = 0;
    EXPECT_TRUE(stopInputWorker(5000));
    releaseAll();
  }
  StubDirectInput directInput;
};

DWORD WINAPI takeOneSignal(LPVOID event) {
  return WaitForSingleObject(event, 5000);
}

} // namespace

TEST_F(Worker, FailedReadsNeitherRepeatNorLoseChangesAndFillersStayQuiet) {
  StubKeyboard &keyboard = directInput.keyboard;
  // The fillers' code 0xFF comes with A, as Wine sends it with the
  // Japanese ^ key; the failed reads are lost acquisitions leaving junk.
  keyboard.script = {{DI_OK, keysDown({0x1E, 0xFF})},
                     {DIERR_INPUTLOST, keysDown({0x1E, 0x2E})},
                     {DI_OK, keysDown({0x1E, 0x30})},
                     {DIERR_NOTACQUIRED, {}},
                     {DI_OK, {}}};
  ASSERT_TRUE(startInputWorker(kNoWindow, 0));
  for (int reads = 1; reads <= 5; ++reads)
    ASSERT_TRUE(wakeUntil(keyboard, reads));
  EXPECT_TRUE(stopInputWorker(5000));
  EXPECT_EQ(logOnDisk(),
            std::string("A down\r\nB down\r\nA up\r\nB up\r\n") + kUsClosing);
}

TEST_F(Worker, StopGivesUpAtItsBoundWhileAReadHangsThenSucceeds) {
  directInput.keyboard.readDelayMs = 1500;
  ASSERT_TRUE(startInputWorker(kNoWindow, 0));
  ASSERT_TRUE(wakeUntil(directInput.keyboard, 1));
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
TEST_F(Worker, StopSignalsAgainWhenAnotherCopyTookTheSignal) {
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
