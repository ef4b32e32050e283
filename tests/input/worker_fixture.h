// What the worker tests share: a fresh current directory for the log, a
// message-only window standing in for the main window, and the log's bytes
// as they are on disk.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "input/device_set.h"
#include "input/input_worker.h"
#include "keymodel/transition_log.h"
#include "tests/support/log_directory_win.h"

class WorkerDirectory : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(enterLogDirectory(dir_));
    window = CreateWindowExA(0, "STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    g_mainWindow = window;
    g_running = 1;
    g_keyboardLayout = LayoutUS;
  }
  void TearDown() override {
    // A test that failed half-way must not leave its worker behind.
    EXPECT_TRUE(stopInputWorker(5000));
    g_mainWindow = nullptr;
    DestroyWindow(window);
    leaveLogDirectory(dir_);
  }

  // Waits until the log holds `text` at its end; false after five seconds.
  static bool logEndsWith(const std::string &text) {
    for (int i = 0; i < 250; ++i) {
      const std::string bytes = logBytes();
      if (bytes.size() >= text.size() &&
          bytes.compare(bytes.size() - text.size(), text.size(), text) == 0)
        return true;
      Sleep(20);
    }
    return false;
  }

  // Repaint requests waiting in the window's queue; takes them out.
  int takeRepaints() {
    int count = 0;
    MSG msg;
    while (
        PeekMessageA(&msg, window, kRepaintMessage, kRepaintMessage, PM_REMOVE))
      ++count;
    return count;
  }

  HWND window = nullptr;

private:
  LogDirectory dir_;
};

inline void signalWaitkey() {
  HANDLE wake = OpenEventA(EVENT_MODIFY_STATE, FALSE, kWakeEventName);
  if (wake == nullptr)
    return;
  SetEvent(wake);
  CloseHandle(wake);
}

constexpr char kUsClosing[] =
    "Keyboard type : PC/AT like US English keyboard / DirectX\r\n";
constexpr char kJpClosing[] =
    "Keyboard type : Japanese 106 keyboard / DirectX\r\n";
