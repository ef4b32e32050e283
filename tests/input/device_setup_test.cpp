// Device set-up against stand-ins: the calls and arguments DirectInput
// sees, which joystick is taken, what each failure writes to the debugger
// and leaves in the slots, and when set-up as a whole fails.
#include "tests/input/device_fixture.h"

namespace {

const GUID kWheel = {0x1001, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
const GUID kPad = {0x1002, 0, 0, {0, 0, 0, 0, 0, 0, 0, 2}};
const GUID kBroken = {0x1003, 0, 0, {0, 0, 0, 0, 0, 0, 0, 3}};
const GUID kOld = {0x1004, 0, 0, {0, 0, 0, 0, 0, 0, 0, 4}};

class DeviceSetUp : public StandInDevices {
protected:
  StandInDevice wheel{"wheel", journal};
  StandInDevice pad{"pad", journal};
  StandInDevice old{"old", journal};
};

const Journal kMouseAndKeyboardCalls = {
    "di.CreateDevice(SysMouse)",       "mouse.SetDataFormat(c_dfDIMouse)",
    "mouse.SetCooperativeLevel(6)",    "mouse.Acquire()",
    "di.CreateDevice(SysKeyboard)",    "keyboard.SetDataFormat(c_dfDIKeyboard)",
    "keyboard.SetCooperativeLevel(6)", "keyboard.Acquire()",
};

Journal joined(Journal head, const Journal &tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

} // namespace

TEST_F(DeviceSetUp, ForceFeedbackStickIsTakenOverAPlainOneListedFirst) {
  directInput.mouse = &mouse;
  directInput.keyboard = &keyboard;
  directInput.joysticks = {{kPad, false, &pad}, {kWheel, true, &wheel}};

  EXPECT_TRUE(setUpDevicesWith(&directInput, window));

  EXPECT_EQ(journal, joined(kMouseAndKeyboardCalls,
                            {
                                "di.AddRef()",
                                "di.EnumDevices(4, 0x101)",
                                "di.CreateDevice(joystick 0x1001)",
                                "wheel.QueryInterface(Device2A)",
                                "wheel.Release()",
                                "callback -> 0",
                                "di.Release()",
                                "wheel.SetDataFormat(c_dfDIJoystick)",
                                "wheel.SetCooperativeLevel(9)",
                                "wheel.Acquire()",
                            }));
  EXPECT_EQ(directInput.refsDuringEnumeration, 2);
  EXPECT_EQ(directInput.refs, 1);
  EXPECT_EQ(g_devices.directInput, &directInput);
  EXPECT_EQ(g_devices.mouse, &mouse);
  EXPECT_EQ(g_devices.keyboard, &keyboard);
  EXPECT_EQ(g_devices.joystick, &wheel);
  // Only the IDirectInputDevice2A reference is kept.
  EXPECT_EQ(wheel.refs, 1);
  EXPECT_EQ(pad.refs, 0);
  EXPECT_EQ(mouse.window, window);
  EXPECT_EQ(keyboard.window, window);
  EXPECT_EQ(wheel.window, window);
  EXPECT_EQ(capturedDebugOutput(), "");
}

TEST_F(DeviceSetUp, SecondPassTakesAnyStickAndSkipsUnusableOnes) {
  directInput.mouse = &mouse;
  directInput.keyboard = &keyboard;
  old.queryResult = E_NOINTERFACE;
  directInput.joysticks = {
      {kBroken, false, nullptr}, {kOld, false, &old}, {kPad, false, &pad}};

  EXPECT_TRUE(setUpDevicesWith(&directInput, window));

  EXPECT_EQ(journal, joined(kMouseAndKeyboardCalls,
                            {
                                "di.AddRef()",
                                "di.EnumDevices(4, 0x101)",
                                "di.EnumDevices(4, 0x1)",
                                "di.CreateDevice(joystick 0x1003)",
                                "callback -> 1",
                                "di.CreateDevice(joystick 0x1004)",
                                "old.QueryInterface(Device2A)",
                                "old.Release()",
                                "callback -> 1",
                                "di.CreateDevice(joystick 0x1002)",
                                "pad.QueryInterface(Device2A)",
                                "pad.Release()",
                                "callback -> 0",
                                "di.Release()",
                                "pad.SetDataFormat(c_dfDIJoystick)",
                                "pad.SetCooperativeLevel(9)",
                                "pad.Acquire()",
                            }));
  EXPECT_EQ(g_devices.joystick, &pad);
  EXPECT_EQ(old.refs, 0) << "the device without IDirectInputDevice2A leaks";
  EXPECT_EQ(directInput.refs, 1);
}

TEST_F(DeviceSetUp, NoJoystickWritesItsMessageAndTheRestRunsOn) {
  directInput.mouse = &mouse;
  directInput.keyboard = &keyboard;

  EXPECT_TRUE(setUpDevicesWith(&directInput, window));

  EXPECT_EQ(journal, joined(kMouseAndKeyboardCalls,
                            {"di.AddRef()", "di.EnumDevices(4, 0x101)",
                             "di.EnumDevices(4, 0x1)", "di.Release()"}));
  EXPECT_EQ(capturedDebugOutput(), joystickMessage());
  EXPECT_EQ(g_devices.joystick, nullptr);
  EXPECT_EQ(g_devices.keyboard, &keyboard);
  EXPECT_EQ(directInput.refs, 1);
}

TEST_F(DeviceSetUp, EachFailingStepWritesItsOwnMessageThenAllIsReleased) {
  // The oracle itself: the byte counts of the three Shift-JIS texts.
  ASSERT_EQ(mouseMessage().size(), 25u);
  ASSERT_EQ(keyboardMessage().size(), 29u);
  ASSERT_EQ(joystickMessage().size(), 35u);
  EXPECT_EQ(mouseMessage().substr(0, 2), "\x83\x7D");

  // No mouse at all; a keyboard that refuses its level; a stick that
  // refuses its format.
  directInput.keyboard = &keyboard;
  keyboard.levelResult = DIERR_INVALIDPARAM;
  wheel.dataFormatResult = DIERR_ACQUIRED;
  directInput.joysticks = {{kWheel, true, &wheel}};

  EXPECT_FALSE(setUpDevicesWith(&directInput, window));

  EXPECT_EQ(capturedDebugOutput(),
            mouseMessage() + keyboardMessage() + joystickMessage());
  EXPECT_EQ(journal, (Journal{
                         "di.CreateDevice(SysMouse)",
                         "di.CreateDevice(SysKeyboard)",
                         "keyboard.SetDataFormat(c_dfDIKeyboard)",
                         "keyboard.SetCooperativeLevel(6)",
                         "di.AddRef()",
                         "di.EnumDevices(4, 0x101)",
                         "di.CreateDevice(joystick 0x1001)",
                         "wheel.QueryInterface(Device2A)",
                         "wheel.Release()",
                         "callback -> 0",
                         "di.Release()",
                         "wheel.SetDataFormat(c_dfDIJoystick)",
                         "wheel.Release()",
                         "keyboard.Release()",
                         "di.Release()",
                     }));
  EXPECT_EQ(wheel.refs + keyboard.refs + directInput.refs, 0);
  EXPECT_EQ(g_devices.directInput, nullptr);
  EXPECT_EQ(g_devices.keyboard, nullptr);
  EXPECT_EQ(g_devices.joystick, nullptr);
}

TEST_F(DeviceSetUp, RefusedDevicesStayWhenAnotherCameUp) {
  directInput.mouse = &mouse;
  directInput.keyboard = &keyboard;
  keyboard.levelResult = DIERR_INVALIDPARAM;
  wheel.dataFormatResult = DIERR_ACQUIRED;
  directInput.joysticks = {{kWheel, true, &wheel}};

  EXPECT_TRUE(setUpDevicesWith(&directInput, window));

  EXPECT_EQ(capturedDebugOutput(), keyboardMessage() + joystickMessage());
  // To be treated like any other device afterwards.
  EXPECT_EQ(g_devices.mouse, &mouse);
  EXPECT_EQ(g_devices.keyboard, &keyboard);
  EXPECT_EQ(g_devices.joystick, &wheel);
  EXPECT_EQ(g_devices.directInput, &directInput);
  EXPECT_EQ(journal.back(), "wheel.SetDataFormat(c_dfDIJoystick)");
}

TEST_F(DeviceSetUp, RefusedFormatStopsBeforeTheLevelAndAcquireDoesNotCount) {
  directInput.mouse = &mouse;
  directInput.keyboard = &keyboard;
  mouse.dataFormatResult = DIERR_INVALIDPARAM;
  keyboard.acquireResult = DIERR_OTHERAPPHASPRIO;

  EXPECT_TRUE(setUpDevicesWith(&directInput, window));

  // Only DI_OK counts as success for the format and the level.
  EXPECT_EQ(journal[1], "mouse.SetDataFormat(c_dfDIMouse)");
  EXPECT_EQ(journal[2], "di.CreateDevice(SysKeyboard)");
  EXPECT_EQ(capturedDebugOutput(), mouseMessage() + joystickMessage());
  EXPECT_EQ(g_devices.mouse, &mouse);
  EXPECT_EQ(g_devices.keyboard, &keyboard);
}

TEST_F(DeviceSetUp, PositiveResultOfTheLevelCallIsAFailureToo) {
  directInput.keyboard = &keyboard;
  keyboard.levelResult = S_FALSE;
  directInput.joysticks = {{kPad, false, &pad}};

  EXPECT_TRUE(setUpDevicesWith(&directInput, window));

  EXPECT_EQ(capturedDebugOutput(), mouseMessage() + keyboardMessage());
  EXPECT_EQ(g_devices.joystick, &pad);
}

TEST_F(DeviceSetUp, NothingUpReleasesEverythingAndFails) {
  // The keyboard is created but refuses its format, so it sits in its slot
  // until set-up gives up and releases it with the rest.
  directInput.keyboard = &keyboard;
  keyboard.dataFormatResult = DIERR_INVALIDPARAM;

  EXPECT_FALSE(setUpDevicesWith(&directInput, window));

  EXPECT_EQ(capturedDebugOutput(),
            mouseMessage() + keyboardMessage() + joystickMessage());
  EXPECT_EQ(journal.back(), "di.Release()");
  EXPECT_EQ(journal[journal.size() - 2], "keyboard.Release()");
  EXPECT_EQ(keyboard.refs, 0);
  EXPECT_EQ(directInput.refs, 0);
  EXPECT_EQ(g_devices.directInput, nullptr);
  EXPECT_EQ(g_devices.keyboard, nullptr);
}

TEST_F(DeviceSetUp, WithoutADirectInputObjectNothingHappens) {
  EXPECT_FALSE(setUpDevicesWith(nullptr, window));
  EXPECT_EQ(g_devices.directInput, nullptr);
  EXPECT_EQ(capturedDebugOutput(), "");
}
