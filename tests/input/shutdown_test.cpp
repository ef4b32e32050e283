// The input worker and the window's close against a DirectInput stand-in
// (a keyboard only) for what real DirectInput under Wine cannot be made to
// do on cue: a read that fails or takes its time, a release in the middle
// of a read, an event refused as Windows does. Checked: what the worker
// logs across failed reads, how the close step stops it, the real window's
// close (last pass before the devices go, or one bound for a hung read).
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "input/device_set.h"
#include "input/input_worker.h"
#include "tests/keys_and_log.h"

struct Reading {
  HRESULT result;
  KeyState state; // written even by a failing read, as junk
};

#define KC_ANSWER(call, value)                                                 \
  HRESULT STDMETHODCALLTYPE call override { return value; }

struct StubKeyboard : IDirectInputDeviceA {
  std::vector<Reading> script; // in order, then DIERR_NOTACQUIRED; set first
  std::atomic<int> reads{0};
  std::atomic<DWORD> readDelayMs{0};
  std::atomic<bool> reading{false}, released{false}, releasedMidRead{false};
  std::atomic<HANDLE> notified{nullptr}, refused{nullptr};

  // Windows refuses a second event while one is set; Wine never does.
  HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE event) override {
    if (event != nullptr && notified != nullptr) {
      refused = event;
      return DIERR_HANDLEEXISTS;
    }
    notified = event;
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override {
    reading = true;
    Sleep(readDelayMs);
    const size_t next = reads;
    const Reading r =
        next < script.size() ? script[next] : Reading{DIERR_NOTACQUIRED, {}};
    memcpy(data, r.state.bytes, size);
    reading = false;
    ++reads;
    return r.result;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    releasedMidRead = releasedMidRead || reading;
    released = true;
    return 0;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  // clang-format off
  KC_ANSWER(Acquire(), DI_OK) KC_ANSWER(Unacquire(), DI_OK)
  KC_ANSWER(SetDataFormat(LPCDIDATAFORMAT), DI_OK)
  KC_ANSWER(SetCooperativeLevel(HWND, DWORD), DI_OK)
  KC_ANSWER(QueryInterface(REFIID, void **), E_NOTIMPL) KC_ANSWER(GetCapabilities(LPDIDEVCAPS), E_NOTIMPL)
  KC_ANSWER(EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD), E_NOTIMPL)
  KC_ANSWER(GetProperty(REFGUID, LPDIPROPHEADER), E_NOTIMPL) KC_ANSWER(SetProperty(REFGUID, LPCDIPROPHEADER), E_NOTIMPL)
  KC_ANSWER(GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD), E_NOTIMPL)
  KC_ANSWER(GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD), E_NOTIMPL)
  KC_ANSWER(GetDeviceInfo(LPDIDEVICEINSTANCEA), E_NOTIMPL) KC_ANSWER(RunControlPanel(HWND, DWORD), E_NOTIMPL)
  KC_ANSWER(Initialize(HINSTANCE, DWORD, REFGUID), E_NOTIMPL)
  // clang-format on
};

struct StubDirectInput : IDirectInputA {
  StubKeyboard keyboard;

  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID guid,
                                         LPDIRECTINPUTDEVICEA *out,
                                         LPUNKNOWN) override {
    *out = IsEqualGUID(guid, GUID_SysKeyboard) ? &keyboard : nullptr;
    return *out != nullptr ? DI_OK : DIERR_DEVICENOTREG;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 0; }
  // No joystick attached: the enumeration calls nothing back.
  KC_ANSWER(EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKA, LPVOID, DWORD), DI_OK)
  // clang-format off
  KC_ANSWER(QueryInterface(REFIID, void **), E_NOTIMPL) KC_ANSWER(GetDeviceStatus(REFGUID), E_NOTIMPL)
  KC_ANSWER(RunControlPanel(HWND, DWORD), E_NOTIMPL) KC_ANSWER(Initialize(HINSTANCE, DWORD), E_NOTIMPL)
  // clang-format on
};

#undef KC_ANSWER

namespace {

std::atomic<HWND> kNoWindow{nullptr};

constexpr char kUsClosing[] =
    "Keyboard type : PC/AT like US English keyboard / DirectX\r\n";

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
    const auto dir = std::filesystem::temp_directory_path() / "kc-shutdown";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    std::filesystem::remove(kLogFileName);
    g_running = 1;
    ASSERT_TRUE(setUpDevicesWith(&directInput, nullptr));
  }
  void TearDown() override {
    directInput.keyboard.readDelayMs = 0;
    EXPECT_TRUE(stopInputWorker(5000));
    releaseAll();
  }
  // A fresh main window closed while reads take readDelayMs: ms to WM_QUIT.
  DWORD closeWindow(DWORD readDelayMs) {
    const HINSTANCE module = GetModuleHandleA(nullptr);
    UnregisterClassA(kWindowTitle, module); // it outlived a closed window
    g_mainWindow = createMainWindow(module);
    directInput.keyboard.readDelayMs = readDelayMs;
    readsAtClose = directInput.keyboard.reads; // the first paint reads too
    const DWORD start = GetTickCount();
    SendMessageA(g_mainWindow, WM_CLOSE, 0, 0);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    return GetTickCount() - start;
  }
  StubDirectInput directInput;
  int readsAtClose = 0;
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

// As an activation with no deactivation before it does, on Windows: the
// refused duplicate is closed (Wine counts no process handles).
TEST_F(Worker, RefusedAttachesKeepTheHeldEventOpenAndLeakNoHandle) {
  HANDLE held = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  attachKeyboardEvent(held);
  int leaked = 0;
  for (int i = 0; i < 100; ++i) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    attachKeyboardEvent(event);
    DWORD flags;
    leaked += GetHandleInformation(directInput.keyboard.refused, &flags);
    CloseHandle(event);
  }
  EXPECT_EQ(leaked, 0);
  EXPECT_TRUE(SetEvent(directInput.keyboard.notified)); // a key change
  EXPECT_EQ(WaitForSingleObject(held, 0), WAIT_OBJECT_0);
  CloseHandle(held);
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

TEST_F(Worker, WindowCloseLetsTheLastPassFinishBeforeReleasingDevices) {
  StubKeyboard &keyboard = directInput.keyboard;
  closeWindow(250);
  EXPECT_GT(keyboard.reads, readsAtClose) << "the close made no last pass";
  EXPECT_TRUE(keyboard.released);
  EXPECT_FALSE(keyboard.releasedMidRead);
  EXPECT_EQ(logOnDisk(), kUsClosing) << "not on disk when WM_CLOSE returned";
}

TEST_F(Worker, WindowCloseTakesOneBoundWhenTheLastReadHangsAndKeepsDevices) {
  const DWORD spent = closeWindow(5000);
  EXPECT_GE(spent, 2900u) << "gave up before its bound";
  EXPECT_LT(spent, 4000u) << "waited again after WM_CLOSE";
  EXPECT_FALSE(directInput.keyboard.released);
  EXPECT_TRUE(stopInputWorker(5000)); // the read ends, then the last pass
  EXPECT_EQ(logOnDisk(), kUsClosing);
}
