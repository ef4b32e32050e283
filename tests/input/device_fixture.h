// A device set built from stand-ins, emptied around every test, with the
// debug output captured; shared by the set-up and the device-call tests.
#pragma once

#include <gtest/gtest.h>

#include "input/device_set.h"
#include "tests/input/debug_capture.h"
#include "tests/input/stand_in_dinput.h"

class StandInDevices : public ::testing::Test {
protected:
  void SetUp() override {
    g_devices = DeviceSet{};
    startDebugCapture();
  }
  void TearDown() override {
    stopDebugCapture();
    if (g_devices.keyboardEvent != nullptr)
      CloseHandle(g_devices.keyboardEvent);
    g_devices = DeviceSet{};
  }

  Journal journal;
  StandInDirectInput directInput{journal};
  StandInDevice mouse{"mouse", journal};
  StandInDevice keyboard{"keyboard", journal};
  // Any non-null handle serves: the stand-ins only record it.
  HWND window = reinterpret_cast<HWND>(0x1234);
};
