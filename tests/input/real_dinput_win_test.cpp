// The device set and the worker against Wine's own DirectInput, with key
// presses injected through SendInput: what set-up brings up on this
// platform, the keyboard's type, and a key's road from the device to the
// log on disk.
#include "tests/input/debug_capture.h"
#include "tests/input/worker_fixture.h"

namespace {

LRESULT CALLBACK plainWindowProc(HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// A visible top-level window in front, as the main window is when the
// program starts: the keyboard is acquired in the foreground only.
HWND createFrontWindow() {
  static ATOM atom = 0;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (atom == 0) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = plainWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "InputTestWindow";
    atom = RegisterClassA(&windowClass);
  }
  HWND window = CreateWindowA("InputTestWindow", "input test",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                              nullptr, nullptr, instance, nullptr);
  SetForegroundWindow(window);
  return window;
}

void pumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageA(&msg);
}

void pressScanCode(WORD code, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = code;
  input.ki.dwFlags = KEYEVENTF_SCANCODE | (up ? KEYEVENTF_KEYUP : 0);
  SendInput(1, &input, sizeof input);
}

} // namespace

TEST(WineDirectInput, MouseAndKeyboardComeUpWithoutAJoystick) {
  HWND window = createFrontWindow();
  ASSERT_NE(window, nullptr);
  g_devices = DeviceSet{};
  startDebugCapture();
  EXPECT_TRUE(setUpDevices(GetModuleHandleA(nullptr), window));
  stopDebugCapture();
  EXPECT_NE(g_devices.directInput, nullptr);
  EXPECT_NE(g_devices.mouse, nullptr);
  EXPECT_NE(g_devices.keyboard, nullptr);
  EXPECT_EQ(g_devices.joystick, nullptr);
  EXPECT_EQ(capturedDebugOutput(), joystickMessage());

  DWORD devType = 0;
  ASSERT_TRUE(readKeyboardType(devType));
  EXPECT_EQ(devType & 0xFF, static_cast<DWORD>(DIDEVTYPE_KEYBOARD));
  EXPECT_EQ(layoutFromDeviceType(devType), LayoutUS) << std::hex << devType;

  releaseAll();
  EXPECT_EQ(g_devices.directInput, nullptr);
  EXPECT_EQ(g_devices.mouse, nullptr);
  EXPECT_EQ(g_devices.keyboard, nullptr);
  EXPECT_EQ(g_devices.joystick, nullptr);
  DestroyWindow(window);
}

class WineKeyToLog : public WorkerDirectory {};

// The whole road the window procedure sets up: the worker's event handed
// to the keyboard (and the caller's handle closed at once, which Wine's
// DirectInput does not survive on its own), the keyboard acquired, a key
// pressed and let go.
TEST_F(WineKeyToLog, KeyPressReachesTheLogThroughTheWorker) {
  HWND front = createFrontWindow();
  ASSERT_NE(front, nullptr);
  g_devices = DeviceSet{};
  ASSERT_TRUE(setUpDevices(GetModuleHandleA(nullptr), front));
  ASSERT_TRUE(startInputWorker());
  HANDLE wake = nullptr;
  for (int i = 0; i < 250 && wake == nullptr; ++i, Sleep(20))
    wake = OpenEventA(EVENT_ALL_ACCESS, FALSE, kWakeEventName);
  ASSERT_NE(wake, nullptr);
  unacquireAll();
  attachKeyboardEvent(wake);
  CloseHandle(wake);
  acquireAll();
  pumpMessages();

  pressScanCode(0x1E, false);
  EXPECT_TRUE(logEndsWith("A down\r\n")) << logBytes();
  pressScanCode(0x1E, true);
  EXPECT_TRUE(logEndsWith("A down\r\nA up\r\n")) << logBytes();
  EXPECT_GE(takeRepaints(), 2);

  EXPECT_TRUE(stopInputWorker(5000));
  releaseAll();
  EXPECT_EQ(logBytes(), std::string("A down\r\nA up\r\n") + kUsClosing);
  DestroyWindow(front);
}
