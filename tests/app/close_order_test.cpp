// The real window procedure in-process, with the stub keyboard: closing
// lets the worker's last pass finish, and its closing line reach the disk,
// before the devices are released.
#include "app/main_window.h"
#include "tests/input/stub_keyboard.h"

TEST(MainWindow, CloseLetsTheLastPassFinishBeforeReleasingDevices) {
  enterFreshDirectory("kc-close-order");
  HWND window = createMainWindow(GetModuleHandleA(nullptr));
  ASSERT_NE(window, nullptr);
  g_mainWindow = window;
  StubDirectInput directInput;
  ASSERT_TRUE(setUpDevicesWith(&directInput, window));
  StubKeyboard &keyboard = directInput.keyboard;
  keyboard.readDelayMs = 250;

  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_GE(keyboard.reads, 1) << "the close made no last pass";
  EXPECT_TRUE(keyboard.released);
  EXPECT_FALSE(keyboard.releasedMidRead);
  EXPECT_EQ(logOnDisk(), kUsClosing);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    ;
}
