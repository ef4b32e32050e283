// The calls made on devices already set up: acquiring, reading the state
// and the type, handing the keyboard its event, and releasing, each also
// with devices missing.
#include <cstring>

#include "tests/input/device_fixture.h"

namespace {

class DeviceCalls : public StandInDevices {
protected:
  void fillAll() {
    directInput.refs = 1;
    mouse.refs = keyboard.refs = joystick.refs = 1;
    g_devices.directInput = &directInput;
    g_devices.mouse = &mouse;
    g_devices.keyboard = &keyboard;
    g_devices.joystick = &joystick;
  }
  StandInDevice joystick{"joystick", journal};
};

bool isOpen(HANDLE handle) {
  DWORD flags;
  return GetHandleInformation(handle, &flags) != 0;
}

bool isSignalled(HANDLE event) {
  return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

} // namespace

TEST_F(DeviceCalls, AcquireAndUnacquireGoMouseKeyboardJoystickSkippingGaps) {
  fillAll();
  acquireAll();
  unacquireAll();
  EXPECT_EQ(journal, (Journal{"mouse.Acquire()", "keyboard.Acquire()",
                              "joystick.Acquire()", "mouse.Unacquire()",
                              "keyboard.Unacquire()", "joystick.Unacquire()"}));

  journal.clear();
  g_devices.mouse = nullptr;
  g_devices.joystick = nullptr;
  acquireAll();
  unacquireAll();
  EXPECT_EQ(journal, (Journal{"keyboard.Acquire()", "keyboard.Unacquire()"}));
}

TEST_F(DeviceCalls, ReadingCopiesAGoodStateWithByteFFCleared) {
  fillAll();
  // Wine's Japanese ^ key: 0x90 and 0xFF together.
  KeyState served = keysDown({0x1E, 0x90, 0xFE, 0xFF});
  keyboard.push({DI_OK, served});
  KeyState state{};
  ASSERT_TRUE(readKeyboardState(state));
  EXPECT_EQ(keyboard.stateSizeSeen, 256u);
  served.bytes[0xFF] = 0;
  EXPECT_EQ(0, std::memcmp(state.bytes, served.bytes, 256));
}

TEST_F(DeviceCalls, FailedReadLeavesTheBufferAsItWas) {
  fillAll();
  KeyState before = keysDown({0x10, 0x11, 0xFF});
  KeyState state = before;
  // The stand-in writes its bytes even when it fails.
  keyboard.push({DIERR_INPUTLOST, keysDown({0x1E, 0x30})});
  EXPECT_FALSE(readKeyboardState(state));
  keyboard.push({DI_NOTATTACHED, keysDown({0x1E, 0x30})});
  EXPECT_FALSE(readKeyboardState(state)) << "only DI_OK is a good read";
  EXPECT_EQ(0, std::memcmp(state.bytes, before.bytes, 256));

  g_devices.keyboard = nullptr;
  EXPECT_FALSE(readKeyboardState(state));
  EXPECT_EQ(0, std::memcmp(state.bytes, before.bytes, 256));
  EXPECT_EQ(keyboard.reads(), 2);
}

TEST_F(DeviceCalls, KeyboardTypeComesFromAFullSizeDeviceRecord) {
  fillAll();
  keyboard.devType = 0x0A03;
  DWORD devType = 0;
  ASSERT_TRUE(readKeyboardType(devType));
  EXPECT_EQ(devType, 0x0A03u);
  EXPECT_EQ(keyboard.infoSizeSeen, 580u);

  keyboard.infoResult = DIERR_INVALIDPARAM;
  devType = 7;
  EXPECT_FALSE(readKeyboardType(devType));
  EXPECT_EQ(devType, 7u);

  g_devices.keyboard = nullptr;
  EXPECT_FALSE(readKeyboardType(devType));
  EXPECT_EQ(devType, 7u);
}

TEST_F(DeviceCalls, KeyboardKeepsWorkingEventAfterTheCallerClosedItsOwn) {
  fillAll();
  HANDLE first = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE watch;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), first, GetCurrentProcess(),
                              &watch, 0, FALSE, DUPLICATE_SAME_ACCESS));
  attachKeyboardEvent(first);
  CloseHandle(first);
  HANDLE held = keyboard.event;
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held, g_devices.keyboardEvent);
  EXPECT_TRUE(SetEvent(held)) << "the keyboard's handle died with the caller's";
  EXPECT_TRUE(isSignalled(watch));

  // Replacing it: the keyboard lets go of the old handle before it closes.
  HANDLE second = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  attachKeyboardEvent(second);
  CloseHandle(second);
  EXPECT_FALSE(isOpen(held));
  EXPECT_TRUE(isOpen(keyboard.event));
  EXPECT_NE(keyboard.event, held);

  attachKeyboardEvent(nullptr);
  EXPECT_EQ(keyboard.event, nullptr);
  EXPECT_EQ(g_devices.keyboardEvent, nullptr);
  EXPECT_EQ(journal, (Journal{"keyboard.SetEventNotification(event)",
                              "keyboard.SetEventNotification(event)",
                              "keyboard.SetEventNotification(null)"}));
  CloseHandle(watch);
}

TEST_F(DeviceCalls, RefusedEventLeavesTheKeyboardWithItsOpenHandle) {
  fillAll();
  HANDLE first = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  attachKeyboardEvent(first);
  CloseHandle(first);
  HANDLE held = keyboard.event;

  // DirectInput refuses a new event while the device is acquired.
  keyboard.notificationResult = DIERR_ACQUIRED;
  HANDLE second = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  attachKeyboardEvent(second);
  CloseHandle(second);
  EXPECT_EQ(keyboard.event, held);
  EXPECT_EQ(g_devices.keyboardEvent, held);
  EXPECT_TRUE(isOpen(held));
}

TEST_F(DeviceCalls, EventIsNotDuplicatedWithoutAKeyboard) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  attachKeyboardEvent(event);
  EXPECT_EQ(g_devices.keyboardEvent, nullptr);
  EXPECT_TRUE(journal.empty());
  CloseHandle(event);
}

TEST_F(DeviceCalls, ReleaseGoesJoystickKeyboardMouseObjectAndNullsEach) {
  fillAll();
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  attachKeyboardEvent(event);
  CloseHandle(event);
  HANDLE held = g_devices.keyboardEvent;
  journal.clear();

  releaseAll();

  EXPECT_EQ(journal, (Journal{"joystick.Release()", "keyboard.Release()",
                              "mouse.Release()", "di.Release()"}));
  EXPECT_TRUE(keyboard.eventOpenAtRelease);
  EXPECT_FALSE(isOpen(held));
  EXPECT_EQ(g_devices.keyboardEvent, nullptr);
  EXPECT_EQ(g_devices.directInput, nullptr);
  EXPECT_EQ(g_devices.mouse, nullptr);
  EXPECT_EQ(g_devices.keyboard, nullptr);
  EXPECT_EQ(g_devices.joystick, nullptr);
  EXPECT_EQ(mouse.refs + keyboard.refs + joystick.refs + directInput.refs, 0);

  // Once released, nothing is released again.
  releaseAll();
  EXPECT_EQ(journal.size(), 4u);
}

TEST_F(DeviceCalls, ReleaseSkipsAbsentDevices) {
  g_devices.directInput = &directInput;
  g_devices.keyboard = &keyboard;
  keyboard.refs = 1;
  releaseAll();
  EXPECT_EQ(journal, (Journal{"keyboard.Release()", "di.Release()"}));
}
