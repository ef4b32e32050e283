// The window procedure driven in-process: the real window, the real input
// worker and "waitkey" event, stand-in DirectInput devices. Checks what
// each message does to the devices, the timers and the shutdown order.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "input/device_set.h"
#include "input/input_worker.h"
#include "keymodel/grid_paint_win.h"
#include "tests/input/stand_in_dinput.h"
#include "tests/support/log_directory_win.h"

namespace {

const std::string kUsClosing =
    "Keyboard type : PC/AT like US English keyboard / DirectX\r\n";

class MainWindow : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(enterLogDirectory(dir_));

    g_running = 1;
    g_fitPending = true;
    g_keyboardLayout = LayoutUS;
    g_devices = DeviceSet{};
    directInput.mouse = &mouse;
    directInput.keyboard = &keyboard;

    window = createMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(window, nullptr);
    g_mainWindow = window;
    ASSERT_TRUE(setUpDevicesWith(&directInput, window));
    journal.clear();
  }

  void TearDown() override {
    if (IsWindow(window))
      SendMessageA(window, WM_CLOSE, 0, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      ;
    g_mainWindow = nullptr;
    UnregisterClassA(kWindowTitle, GetModuleHandleA(nullptr));
    leaveLogDirectory(dir_);
  }

  // Dispatches the window's messages for a while; counts timer ticks.
  int pumpCountingTicks(DWORD ms) {
    int ticks = 0;
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
      while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
        ticks += msg.message == WM_TIMER && msg.wParam == 1;
        DispatchMessageA(&msg);
      }
      Sleep(2);
    }
    return ticks;
  }

  Journal journal;
  StandInDirectInput directInput{journal};
  StandInDevice mouse{"mouse", journal};
  StandInDevice keyboard{"keyboard", journal};
  HWND window = nullptr;

private:
  LogDirectory dir_;
};

const Journal kAttachAndAcquire = {"mouse.Unacquire()", "keyboard.Unacquire()",
                                   "keyboard.SetEventNotification(event)",
                                   "mouse.Acquire()", "keyboard.Acquire()"};

} // namespace

TEST_F(MainWindow, ActivationTakesWParamWhole) {
  // Inactive in the low word but minimized in the high word: active.
  SendMessageA(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
  EXPECT_EQ(journal, kAttachAndAcquire);
  EXPECT_NE(keyboard.event, nullptr);

  journal.clear();
  SendMessageA(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  EXPECT_EQ(journal, (Journal{"mouse.Unacquire()", "keyboard.Unacquire()",
                              "keyboard.SetEventNotification(null)"}));
  EXPECT_EQ(keyboard.event, nullptr);

  journal.clear();
  SendMessageA(window, WM_ACTIVATE, WA_CLICKACTIVE, 0);
  EXPECT_EQ(journal, kAttachAndAcquire);
}

TEST_F(MainWindow, StartMessageAttachesAcquiresAndTicksOnce) {
  pumpCountingTicks(50);
  journal.clear();
  SendMessageA(window, kStartMessage, 0, 0);
  EXPECT_EQ(journal, kAttachAndAcquire);
  // The 10 ms follow-up repaint fires once, then the timer is gone.
  EXPECT_EQ(pumpCountingTicks(300), 1);
}

TEST_F(MainWindow, WorkerRepaintRequestTicksOnce) {
  pumpCountingTicks(50);
  PostMessageA(window, kRepaintMessage, 0, 0);
  EXPECT_EQ(pumpCountingTicks(300), 1);
  PostMessageA(window, kRepaintMessage, 0, 0);
  PostMessageA(window, kRepaintMessage, 0, 0);
  // A second request before the tick restarts the same timer.
  EXPECT_EQ(pumpCountingTicks(300), 1);
}

TEST_F(MainWindow, CloseLetsTheLastPassFinishBeforeReleasingDevices) {
  keyboard.push({DI_OK, keysDown({0x1E})});
  // The worker's last read is slow: it is held until a quarter second
  // after the close began.
  HANDLE hold = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  keyboard.holdReads = hold;
  std::thread release([hold] {
    Sleep(250);
    SetEvent(hold);
  });
  SendMessageA(window, WM_CLOSE, 0, 0);
  release.join();
  keyboard.holdReads = nullptr;
  CloseHandle(hold);

  // Already on disk when WM_CLOSE returns, with nothing polled for.
  EXPECT_EQ(logBytes(), "A down\r\n" + kUsClosing);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(g_devices.keyboard, nullptr);
  EXPECT_EQ(g_devices.directInput, nullptr);
  EXPECT_NE(std::find(journal.begin(), journal.end(), "keyboard.Release()"),
            journal.end());
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);
}

// Another program's window, on a thread of its own, that takes the focus.
struct OtherWindow {
  OtherWindow() {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread = std::thread([this, ready] {
      HWND other =
          CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW, 400, 300,
                          100, 100, nullptr, nullptr, nullptr, nullptr);
      ShowWindow(other, SW_SHOW);
      SetForegroundWindow(other);
      threadId = GetCurrentThreadId();
      SetEvent(ready);
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
      DestroyWindow(other);
    });
    WaitForSingleObject(ready, 5000);
    CloseHandle(ready);
  }
  ~OtherWindow() {
    PostThreadMessageA(threadId, WM_QUIT, 0, 0);
    thread.join();
  }
  std::thread thread;
  std::atomic<DWORD> threadId{0};
};

TEST_F(MainWindow, PaintsAndFitsOnlyWhileActive) {
  {
    OtherWindow other;
    pumpCountingTicks(100);
    ASSERT_EQ(GetActiveWindow(), nullptr);
    keyboard.push({DI_OK, keysDown({})});
    const int readsBefore = keyboard.reads();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(keyboard.reads(), readsBefore);
    EXPECT_TRUE(g_fitPending);
  }
  SetForegroundWindow(window);
  pumpCountingTicks(100);
  ASSERT_EQ(GetActiveWindow(), window);
  keyboard.push({DI_OK, keysDown({})});
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_FALSE(g_fitPending);
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_GT(outer.right - outer.left, 300);
}
